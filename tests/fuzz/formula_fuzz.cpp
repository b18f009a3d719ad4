// Calculated columns: the answer to "Nova coluna" ("title=expression" or just the
// expression) checked, compiled and evaluated over every row and the totals.
#include "ApoioFuzz.h"
#include "table/Formula.h"
#include "table/TabelaResultados.h"

using namespace dorvan;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* dados, std::size_t tamanho) {
    fuzz::Prepara();
    const std::string_view resposta = fuzz::Texto(dados, tamanho);
    fuzz::Tenta([&] {
        TabelaResultados t;
        t.AlocaLinhas(3, 3);
        const double valores[][3] = {{1, 0, -2.5}, {1e300, 3, 0}, {7, 0.001, 12}};
        const char* titulos[] = {"Obitos", "Pop", "Taxa (%)"};
        for (std::int32_t c = 1; c <= 3; ++c) {
            AcrescentaColuna(t, titulos[c - 1], c - 1);
            for (std::int32_t r = 1; r <= 3; ++r)
                t.Dado(c, r) = valores[c - 1][r - 1];
            CalculaTotal(t, c);
        }
        for (std::int32_t r = 1; r <= 3; ++r)
            t.Rotulo(r) = "Linha " + std::to_string(r);
        PosFixa(resposta);
        NovaColuna(t, resposta);
    });
    return 0;
}

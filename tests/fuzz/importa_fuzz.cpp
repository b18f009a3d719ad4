// Text tables brought into an open table: columns imported by row key (a CSV or a
// .prn file) and text pasted from the clipboard, merged into the table or read anew.
#include "ApoioFuzz.h"
#include "data/Index.h"
#include "table/ImportacaoTabela.h"
#include "table/TabelaResultados.h"

using namespace dorvan;

namespace {
// Regions with a two-character code and their population, as a tabulation leaves them.
TabelaResultados Regioes() {
    TabelaResultados t;
    const char* rotulos[] = {"12 Nordeste", "11 Norte", "13 Sul"};
    t.AlocaLinhas(3, 3);
    for (std::int32_t r = 1; r <= 3; ++r)
        t.Rotulo(r) = rotulos[r - 1];
    AcrescentaColuna(t, "Pop", 0);
    for (std::int32_t r = 1; r <= 3; ++r)
        t.Dado(1, r) = 100.0 * r;
    CalculaTotal(t, 1);
    t.DefineNomeColuna(0, "Regi\xE3o");
    t.TamCodigo = 2;
    t.Titulo1 = "Popula\xE7\xE3o";
    return t;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* dados, std::size_t tamanho) {
    if (tamanho < 1) return 0;
    fuzz::Prepara();
    const char marca = dados[0] & 1 ? ',' : '.';
    const std::string texto(fuzz::Texto(dados + 1, tamanho - 1));
    fuzz::Tenta([&] {
        TabelaResultados t = Regioes();
        TIndice chaves;
        CriaIndice(chaves, 10);
        for (std::int32_t r = 1; r <= t.NumLinhas; ++r)
            InsereIndice(chaves, ChaveLinha(t.Rotulo(r), t.TamCodigo), r);
        IncluiTextoTabela(t, chaves, texto, "clip", marca);
    });
    fuzz::Tenta([&] {
        const TabelaResultados aberta = Regioes();
        TabelaResultados t;
        ColaTexto(t, &aberta, texto, "clip", marca);
    });
    fuzz::Tenta([&] {
        TabelaResultados t;
        ColaTexto(t, nullptr, texto, "clip", marca);
    });
    return 0;
}

// A conversion table (CNV) loaded as a dimension of the tabulation, then every code
// of its range classified.
#include "ApoioFuzz.h"
#include "tabulation/Utab.h"

using namespace dorvan;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* dados, std::size_t tamanho) {
    fuzz::Prepara();
    fuzz::Grava("t.cnv", fuzz::Texto(dados, tamanho));
    DirTabelas = fuzz::Pasta().string();
    fuzz::Tenta([&] {
        TDimensao d;
        if (LeDimensao("Variavel           X,1,t.cnv", MaximoLinhas, d)) {
            for (const char* v : {"", "0", "1", "01", "10", "99", "123", "A", "ZZZZ", "  1"})
                Categoria(v, d);
        }
        LiberaDimensao(d);
    });
    return 0;
}

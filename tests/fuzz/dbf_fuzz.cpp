// A DBF as the browser and the exports read it: header, every field of every record,
// the structure report and the CSV, XML, SQL and conversion-table exports.
#include "ApoioFuzz.h"
#include "data/LeDBF32.h"
#include "query/NavegaDBF.h"

#include <filesystem>

using namespace dorvan;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* dados, std::size_t tamanho) {
    fuzz::Prepara();
    const std::string nome = fuzz::Grava("x.dbf", fuzz::Texto(dados, tamanho));
    fuzz::Tenta([&] {
        dbfRecord h;
        if (!AbreParaLeitura(h, nome)) return;
        InformacaoDBF(h, tamanho);
        for (std::int64_t n = 1; n <= h.NumRegs; ++n) {
            readDBF(h, n);
            for (int i = 1; i <= h.NumCampos; ++i)
                TextoCampo(h, i, true);
        }
        // Each export writes a file: one code page per input keeps the run fast.
        const bool cp850 = tamanho % 2 == 1;
        fuzz::Tenta([&] { GravaCSVDBF(h, cp850); });
        fuzz::Tenta([&] { GravaXMLDBF(h, cp850); });
        fuzz::Tenta([&] { GravaSQLDBF(h, cp850); });
        fuzz::Tenta([&] { GravaCNVDBF(h); });
    });
    return 0;
}

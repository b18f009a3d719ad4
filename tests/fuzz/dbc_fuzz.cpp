// A DBC as the tabulation scans it (the stream cut into records, the CRC checked)
// and as the expansion writes it back to a DBF.
#include "ApoioFuzz.h"
#include "data/LeDBF32.h"
#include "data/Ucomprim.h"

using namespace dorvan;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* dados, std::size_t tamanho) {
    fuzz::Prepara();
    const std::string nome = fuzz::Grava("x.dbc", fuzz::Texto(dados, tamanho));
    fuzz::Tenta([&] {
        dbfRecord h;
        OpenDBF(h, nome, true);
        if (h.Estado == 0) return;
        for (const bool crc : {true, false})
            ScanDBF(
                h,
                [](dbfRecord& r) {
                    for (int i = 1; i <= r.NumCampos; ++i)
                        GetFieldDBF(r, i);
                },
                crc);
    });
    fuzz::Tenta([&] { ExpandeDBC(nome, (fuzz::Pasta() / "x.dbf").string(), SemProgresso(), true); });
    return 0;
}

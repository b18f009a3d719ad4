// Saved query files, in both forms (.sql with its comment header, .xml).
#include "ApoioFuzz.h"
#include "query/ArquivoConsulta.h"

using namespace dorvan;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* dados, std::size_t tamanho) {
    if (tamanho < 1) return 0;
    fuzz::Prepara();
    const std::string nome = fuzz::Grava(dados[0] & 1 ? "x.xml" : "x.sql", fuzz::Texto(dados + 1, tamanho - 1));
    fuzz::Tenta([&] {
        const ConsultaSalva c = LeConsultaPorExtensao(nome);
        TituloDoArquivo(nome);
        GravaConsultaPorExtensao((fuzz::Pasta() / "y.sql").string(), c, "QPSQL");
    });
    return 0;
}

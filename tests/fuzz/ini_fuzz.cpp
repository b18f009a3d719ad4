// The settings file: read, every key looked up, written and read back unchanged.
#include "ApoioFuzz.h"
#include "platform/Ini.h"

using namespace dorvan;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* dados, std::size_t tamanho) {
    fuzz::Prepara();
    const std::string texto(fuzz::Texto(dados, tamanho));
    fuzz::Tenta([&] {
        ArquivoIni ini;
        ini.LeTexto(texto);
        for (const std::string& s : ini.Secoes())
            for (const std::string& c : ini.Chaves(s)) {
                ini.LeInteiro(s, c, 0);
                ini.LeBooleano(s, c, false);
            }
        const std::string escrito = ini.Texto();
        ArquivoIni de_novo;
        de_novo.LeTexto(escrito);
        if (de_novo.Texto() != escrito) std::abort();
    });
    return 0;
}

// A tabulation definition (DEF) read as the tabulation dialog reads it.
#include "ApoioFuzz.h"
#include "tabulation/Utabula.h"

#include <memory>

using namespace dorvan;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* dados, std::size_t tamanho) {
    fuzz::Prepara();
    const std::string nome = fuzz::Grava("x.def", fuzz::Texto(dados, tamanho));
    fuzz::Tenta([&] {
        auto def = std::make_unique<DefTabulacao>();
        LeDEF(*def, nome, true);
        LiberaSelecao(*def);
    });
    return 0;
}

#include "platform/Erros.h"

#include "platform/Texto1252.h"

#include <cstring>

namespace dorvan {

ErroES::ErroES(const std::string& arquivo, const std::string& motivo)
    : std::runtime_error("Erro de E/S em " + DeUtf8(arquivo) + ": " + motivo), arquivo_(arquivo), motivo_(motivo) {}

ErroES ErroES::DoSistema(const std::string& arquivo, int codigoErrno) {
    // strerror text is UTF-8 (or ASCII) on Linux; messages travel as 1252.
    return ErroES(arquivo, DeUtf8(std::strerror(codigoErrno)));
}

} // namespace dorvan

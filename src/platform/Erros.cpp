#include "platform/Erros.h"

#include "platform/Texto1252.h"

#include <cstring>
#include <new>
#include <regex>
#include <system_error>

namespace dorvan {

ErroES::ErroES(const std::string& arquivo, const std::string& motivo)
    : std::runtime_error("Erro de E/S em " + DeUtf8(arquivo) + ": " + motivo), arquivo_(arquivo), motivo_(motivo) {}

ErroES ErroES::DoSistema(const std::string& arquivo, int codigoErrno) {
    // strerror text is UTF-8 (or ASCII) on Linux; messages travel as 1252.
    return ErroES(arquivo, DeUtf8(std::strerror(codigoErrno)));
}

std::string TextoDoErroParaUsuario(std::exception_ptr e) {
    try {
        std::rethrow_exception(e);
    } catch (const std::bad_alloc&) {
        return MensagemSemMemoria;
    } catch (const std::length_error&) {
        // A container asked for more than it can hold: memory, as the user sees it.
        return MensagemSemMemoria;
    } catch (const std::runtime_error& ex) {
        // Ours carry the user's text; the standard library's own kinds do not.
        const bool daBiblioteca = dynamic_cast<const std::system_error*>(&ex) ||
                                  dynamic_cast<const std::range_error*>(&ex) ||
                                  dynamic_cast<const std::overflow_error*>(&ex) ||
                                  dynamic_cast<const std::underflow_error*>(&ex) ||
                                  dynamic_cast<const std::regex_error*>(&ex);
        return daBiblioteca ? MensagemErroInterno : ex.what();
    } catch (const std::exception&) {
        return MensagemErroInterno;
    } catch (...) {
        return "Erro desconhecido";
    }
}

} // namespace dorvan

#include "platform/Erros.h"

#include "platform/Texto1252.h"

#include <cerrno>
#include <cstring>
#include <new>
#include <regex>
#include <system_error>

namespace dorvan {

ErroES::ErroES(const std::string& arquivo, const std::string& motivo)
    : std::runtime_error("Erro de E/S em " + DeUtf8(arquivo) + ": " + motivo), arquivo_(arquivo), motivo_(motivo) {}

std::string MotivoDoSistema(int codigoErrno) {
    switch (codigoErrno) {
    case ENOENT:
        return "arquivo n\xE3o encontrado";
    case EACCES:
    case EPERM:
        return "acesso negado";
    case ENOSPC:
        return "disco cheio";
    case EDQUOT:
        return "cota de disco esgotada";
    case EROFS:
        return "disco somente para leitura";
    case EISDIR:
        return "\xE9 uma pasta, n\xE3o um arquivo";
    case ENOTDIR:
        return "pasta n\xE3o encontrada no caminho";
    case EEXIST:
        return "arquivo j\xE1 existe";
    case ENAMETOOLONG:
        return "nome longo demais";
    case EFBIG:
        return "arquivo grande demais";
    case EMFILE:
    case ENFILE:
        return "arquivos abertos demais";
    case EIO:
        return "erro de leitura ou grava\xE7\xE3o no dispositivo";
    case EBUSY:
    case ETXTBSY:
        return "arquivo em uso";
    case ENOMEM:
        return "mem\xF3ria insuficiente";
    default:
        // Rare causes keep the system's own words rather than none.
        return DeUtf8(std::strerror(codigoErrno));
    }
}

ErroES ErroES::DoSistema(const std::string& arquivo, int codigoErrno) {
    return ErroES(arquivo, MotivoDoSistema(codigoErrno));
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

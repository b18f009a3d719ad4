#pragma once
// The two kinds of error every room throws. Messages are code page 1252 bytes,
// exactly the text the user is shown.
#include <exception>
#include <stdexcept>
#include <string>

namespace dorvan {

// A condition after which the command cannot go on ("the program ends" in the
// original design): the window layer shows the text and keeps running.
class ErroFatal : public std::runtime_error {
public:
    explicit ErroFatal(const std::string& mensagem) : std::runtime_error(mensagem) {}
};

// A file could not be read or written. Carries the file name and the system's reason.
class ErroES : public std::runtime_error {
public:
    // arquivo is the file name as the system gives it (UTF-8); motivo is 1252 text.
    ErroES(const std::string& arquivo, const std::string& motivo);
    const std::string& Arquivo() const { return arquivo_; }
    const std::string& Motivo() const { return motivo_; }

    // Builds the error from errno after a failed system call.
    static ErroES DoSistema(const std::string& arquivo, int codigoErrno);

private:
    std::string arquivo_;
    std::string motivo_;
};

// The reason of a failed system call in the user's words (1252 text): the common
// causes in Portuguese, like every other message.
std::string MotivoDoSistema(int codigoErrno);

// The text a user is shown for an exception that reached the window layer. Our
// own errors (runtime_error and its kinds) carry their message in 1252; what the
// standard library throws (out of memory, a length or range fault, a system
// error) carries an English text meant for programmers, so it is said in
// Portuguese instead.
std::string TextoDoErroParaUsuario(std::exception_ptr e);

inline const char* const MensagemSemMemoria =
    "Mem\xF3ria insuficiente para concluir a opera\xE7\xE3o. Nada foi alterado pela opera\xE7\xE3o interrompida.";
inline const char* const MensagemErroInterno = "Erro interno: a opera\xE7\xE3o n\xE3o p\xF4" "de ser conclu\xED" "da.";

} // namespace dorvan

#pragma once
// File names as the data, DEF and CNV files carry them: written on a system that
// ignores the case of letters and separates folders with '\'.
#include "platform/Texto.h"

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace dorvan {

// Turns every '\' into '/'.
std::string BarrasNormais(std::string_view caminho);

// The name of an existing file or folder whose path equals `caminho` ignoring the
// case of ASCII letters in each component ('\' read as '/'), or empty when none.
// An exact match wins over others.
std::string ResolveNome(std::string_view caminho);

// Wildcard match ('*' and '?') ignoring case of ASCII letters. A trailing ".*"
// also matches a name without any '.', so "*.*" matches every name.
bool CasaCuringa(std::string_view padrao, std::string_view nome);

// Regular files in `pasta` whose names match `padrao` ignoring case, sorted by name.
std::vector<std::string> ListaArquivos(const std::string& pasta, std::string_view padrao);

// The name with its extension (from the last '.' after the last '/') replaced by
// ext (".csv"); a name without an extension gets ext added.
std::string TrocaExtensao(const std::string& nome, const std::string& ext);

// The name to write in `pasta` (empty: the current folder): an existing file whose
// name differs only in the case of its letters is the one replaced, as on the
// system the files come from; otherwise `nome` itself.
std::string NomeDeSaida(const std::string& pasta, const std::string& nome);

// Writes a file that takes its name only when complete (Confirma): until then it has
// no name at all where the system allows (else a hidden temporary in the same
// folder), so a run killed at any moment leaves no partial file and no temporary.
// If the object goes away without Confirma, an existing file of that name stays as
// it was. A file the user made read-only is refused (ErroES). A symbolic link of the
// user's own stays a link: the file it points to is the one replaced. A link someone
// else made (in a shared folder such as /tmp) is never followed: it is replaced
// itself. Errors name the file the caller gave, never the temporary.
class GravacaoSegura {
public:
    explicit GravacaoSegura(std::string destino); // throws ErroES when the file cannot be written
    ~GravacaoSegura();
    GravacaoSegura(const GravacaoSegura&) = delete;
    GravacaoSegura& operator=(const GravacaoSegura&) = delete;

    std::FILE* Arquivo() const { return arquivo_; } // opened for reading and writing
    const std::string& Destino() const { return destino_; }
    void Escreve(std::string_view bytes); // throws ErroES
    void Confirma();                       // flushes, closes and names the file; throws ErroES
    void Abandona();                       // closes and drops what was written

private:
    void RemoveTemporario();
    std::string destino_; // the name the caller gave, for messages
    std::string real_;    // the file replaced: destino_, or what its link points to
    std::string pasta_;   // real_'s folder
    std::string temporario_; // the named temporary, when there is one
    std::FILE* arquivo_ = nullptr;
    int vaga_ = -1; // where the interruption handler finds the temporary
};

// A folder of its own, base/prefixo followed by six random characters, for files no
// other run or program may share; removed with all it holds when the object goes.
class PastaPrivada {
public:
    PastaPrivada(const std::string& base, const std::string& prefixo); // throws ErroES
    ~PastaPrivada();
    PastaPrivada(const PastaPrivada&) = delete;
    PastaPrivada& operator=(const PastaPrivada&) = delete;

    const std::string& Caminho() const { return caminho_; } // with a trailing '/'
    std::string operator/(const std::string& nome) const { return caminho_ + nome; }

private:
    std::string caminho_;
};

// The folder of this run for files of fixed names that other programs read (the
// clipboard table, the pages opened in the browser or spreadsheet, R's exchange
// files): created on first use under the system's temporary folder, readable by
// this user only, removed with everything in it when the program ends. No other
// user can plant a link or a file there. With a trailing '/'. Throws ErroES.
std::string PastaDaExecucao();

// From now on, SIGINT and SIGTERM remove the temporaries of every GravacaoSegura
// still open, and the run's folder (PastaDaExecucao) with what it holds, before the
// process ends as the signal would end it.
void RemoveTemporariosAoInterromper();

// Reads up to n bytes at position pos of an open file descriptor; fewer only at the
// end of the file. Throws ErroES naming `nome` on a read error.
std::size_t LeNaPosicao(int fd, char* destino, std::size_t n, std::uint64_t pos, const std::string& nome);

// Reads a whole file as bytes; throws ErroES.
std::string LeArquivoInteiro(const std::string& nome);
// Writes a whole file safely (GravacaoSegura); throws ErroES.
void GravaArquivoInteiro(const std::string& nome, std::string_view bytes);

} // namespace dorvan

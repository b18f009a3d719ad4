#pragma once
// Small helpers shared by the test programs.
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>
#include <functional>
#include <vector>

namespace dorvan {
struct Alias;
}

namespace dorvan::teste {

// A fresh folder under the system's temporary folder, removed with everything in it.
class PastaTemporaria {
public:
    PastaTemporaria();
    ~PastaTemporaria();
    PastaTemporaria(const PastaTemporaria&) = delete;
    PastaTemporaria& operator=(const PastaTemporaria&) = delete;

    const std::filesystem::path& Caminho() const { return caminho_; }
    std::string operator/(std::string_view nome) const { return (caminho_ / nome).string(); }

    // Writes a file of these bytes and returns its full name.
    std::string Grava(std::string_view nome, std::string_view bytes) const;
    std::string Le(std::string_view nome) const;

private:
    std::filesystem::path caminho_;
};

// A small disk of its own: a tmpfs of `bytes` mounted on a fresh folder, for tests
// of what a full disk does. Only the administrator may mount (CI runs as one);
// Montado() is false otherwise, and the test skips (DORVAN_PULA_SEM_DISCO).
class DiscoPequeno {
public:
    explicit DiscoPequeno(std::size_t bytes);
    ~DiscoPequeno();
    DiscoPequeno(const DiscoPequeno&) = delete;
    DiscoPequeno& operator=(const DiscoPequeno&) = delete;
    bool Montado() const { return montado_; }
    const std::filesystem::path& Caminho() const { return pasta_.Caminho(); }
    std::string operator/(std::string_view nome) const { return pasta_ / nome; }
    // The names in it, sorted.
    std::vector<std::string> Nomes() const;

private:
    PastaTemporaria pasta_;
    bool montado_ = false;
};
#define DORVAN_PULA_SEM_DISCO(disco)                                                                                   \
    do {                                                                                                               \
        if (!(disco).Montado()) GTEST_SKIP() << "a small tmpfs needs the administrator to mount it";                  \
    } while (0)

// Runs trabalho in a child process and kills it with SIGKILL once it has written
// `marca` bytes of progress to the descriptor it is given (or when it ends). True
// when the child was killed while working.
bool MataDuranteTrabalho(const std::function<void(int avisa)>& trabalho, std::size_t marca = 1);

// Runs a command line through the shell (only for tests) and returns its exit code;
// its standard output goes into *saida when given.
int Executa(const std::string& comando, std::string* saida = nullptr);

// A word of a PDF page as pdftotext -bbox gives it, in points.
struct PalavraPDF {
    std::string texto;
    double x0, y0, x1, y1;
};
// The words of a PDF file's pages; the first page's width and height (points) go
// into *larguraPagina and *alturaPagina when given.
std::vector<PalavraPDF> PalavrasPDF(const std::string& pdf, double* larguraPagina = nullptr,
                                    double* alturaPagina = nullptr);

// The PostgreSQL server of the libpq environment (PGHOST): false when there is none.
bool TemPostgreSQL();
// In a test body or SetUp: without a server the test skips, unless
// DORVAN_EXIGE_POSTGRESQL says the run must have one, when it fails.
#define DORVAN_PULA_SEM_POSTGRESQL()                                                                                   \
    do {                                                                                                               \
        if (!::dorvan::teste::TemPostgreSQL()) {                                                                       \
            if (std::getenv("DORVAN_EXIGE_POSTGRESQL")) FAIL() << "PostgreSQL server required but PGHOST is not set";  \
            GTEST_SKIP() << "no PostgreSQL server configured (PGHOST)";                                                \
        }                                                                                                              \
    } while (0)
// The alias nome over that server's database (PGDATABASE, else "postgres"), working
// in schema esquema (first on its search path).
Alias AliasPostgreSQL(const std::string& nome, const std::string& esquema);
// Runs an SQL script file through psql in a fresh schema of its own, first on the
// search path and dropped afterwards; the exit code, rows as "a|b" lines in *saida.
// pararNoErro: the first error ends the script with a non-zero code.
int ExecutaPsql(const std::string& arquivo, std::string* saida = nullptr, bool pararNoErro = true);

// An application object for logic tests that need one (Qt's SQL drivers, event
// delivery): the one there is, else one made now that lives to the program's end.
void GaranteAplicacao();

} // namespace dorvan::teste

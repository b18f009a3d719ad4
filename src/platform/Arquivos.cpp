#include "platform/Arquivos.h"

#include "platform/Erros.h"
#include "platform/Texto.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <mutex>
#include <pthread.h>
#include <dirent.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace dorvan {

namespace {

bool IguaisSemCaso(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (MaiusculaAscii(a[i]) != MaiusculaAscii(b[i])) return false;
    return true;
}

bool Casa(std::string_view p, std::string_view n) {
    // Iterative wildcard match with one backtrack point.
    size_t i = 0, j = 0, estrela = std::string_view::npos, marca = 0;
    while (j < n.size()) {
        if (i < p.size() && (p[i] == '?' || MaiusculaAscii(p[i]) == MaiusculaAscii(n[j]))) {
            ++i;
            ++j;
        } else if (i < p.size() && p[i] == '*') {
            estrela = i++;
            marca = j;
        } else if (estrela != std::string_view::npos) {
            i = estrela + 1;
            j = ++marca;
        } else {
            return false;
        }
    }
    while (i < p.size() && p[i] == '*') ++i;
    return i == p.size();
}

// One entry as getdents64 lays it out.
struct EntradaPasta {
    std::uint64_t inode;
    std::int64_t deslocamento;
    unsigned short tamanho;
    unsigned char tipo;
    char nome[1];
};

// The temporaries of writers still open, where a signal handler can find them:
// fixed slots with atomic states, since the handler may run at any moment.
constexpr int VagasTemporarios = 32;
struct VagaTemporario {
    std::atomic<int> estado{0}; // 0 free, 1 being filled, 2 holds a name
    char nome[4096];
};
VagaTemporario vagas[VagasTemporarios];

int RegistraTemporario(const std::string& nome) {
    if (nome.size() >= sizeof vagas[0].nome) return -1;
    for (int i = 0; i < VagasTemporarios; ++i) {
        int livre = 0;
        if (vagas[i].estado.compare_exchange_strong(livre, 1)) {
            std::memcpy(vagas[i].nome, nome.c_str(), nome.size() + 1);
            vagas[i].estado.store(2);
            return i;
        }
    }
    return -1;
}

void LiberaTemporario(int& vaga) {
    if (vaga >= 0) vagas[vaga].estado.store(0);
    vaga = -1;
}

// The run's private folder, where the handler finds it (empty: none yet).
char pastaDaExecucao[4096];
std::atomic<bool> temPastaDaExecucao{false};

// Empties and removes a folder with calls a signal handler may make (no allocation,
// no library locks); folders inside it are taken a few levels deep.
void RemovePastaNoSinal(int pai, const char* nome, int nivel) {
    const int fd = ::openat(pai, nome, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) {
        ::unlinkat(pai, nome, 0); // a link put in its place goes itself
        return;
    }
    alignas(8) char buf[4096];
    for (;;) {
        const long n = ::syscall(SYS_getdents64, fd, buf, sizeof buf);
        if (n <= 0) break;
        for (long p = 0; p < n;) {
            const auto* d = reinterpret_cast<const EntradaPasta*>(buf + p);
            p += d->tamanho;
            const char* n2 = d->nome;
            if ((n2[0] == '.' && n2[1] == 0) || (n2[0] == '.' && n2[1] == '.' && n2[2] == 0)) continue;
            if (d->tipo == DT_DIR) {
                if (nivel < 4) RemovePastaNoSinal(fd, n2, nivel + 1);
            } else {
                ::unlinkat(fd, n2, 0);
            }
        }
    }
    ::close(fd);
    ::unlinkat(pai, nome, AT_REMOVEDIR);
}

// SIGINT and SIGTERM wait while it lives: a temporary is made and registered for
// removal with no interruption between the two.
class InterrupcoesAdiadas {
public:
    InterrupcoesAdiadas() {
        sigset_t interrupcoes;
        sigemptyset(&interrupcoes);
        sigaddset(&interrupcoes, SIGINT);
        sigaddset(&interrupcoes, SIGTERM);
        pthread_sigmask(SIG_BLOCK, &interrupcoes, &antes_);
    }
    ~InterrupcoesAdiadas() { pthread_sigmask(SIG_SETMASK, &antes_, nullptr); }
    InterrupcoesAdiadas(const InterrupcoesAdiadas&) = delete;
    InterrupcoesAdiadas& operator=(const InterrupcoesAdiadas&) = delete;

private:
    sigset_t antes_{};
};

extern "C" void RemoveTemporariosESai(int sinal) {
    for (VagaTemporario& v : vagas)
        if (v.estado.load() == 2) ::unlink(v.nome);
    if (temPastaDaExecucao.load()) RemovePastaNoSinal(AT_FDCWD, pastaDaExecucao, 0);
    // The handler was installed to run once: the signal now ends the process as usual.
    ::raise(sinal);
}

// Why an existing file may not be written over, or empty when it may: made
// read-only (no write permission at all in its mode, checked by the mode because
// the administrator may write anything and would pass over the user's protection),
// or not ours to write. Replacing it by renaming would go around both.
std::string MotivoProtecao(const std::string& caminho) {
    struct stat st {};
    if (::stat(caminho.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return {};
    if ((st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) return "arquivo somente para leitura";
    if (::access(caminho.c_str(), W_OK) != 0 && (errno == EACCES || errno == EPERM)) return MotivoDoSistema(EACCES);
    return {};
}

// A link is followed only when it is the user's own: in a folder others can write
// to, a link planted by someone else would make us overwrite what it points to.
bool LigacaoPropria(const std::string& caminho) {
    struct stat l {};
    return ::lstat(caminho.c_str(), &l) == 0 && S_ISLNK(l.st_mode) && l.st_uid == ::geteuid();
}

} // namespace

std::string TrocaExtensao(const std::string& nome, const std::string& ext) {
    const std::size_t barra = nome.find_last_of('/');
    const std::size_t ponto = nome.find_last_of('.');
    if (ponto == std::string::npos || (barra != std::string::npos && ponto < barra)) return nome + ext;
    return nome.substr(0, ponto) + ext;
}

std::string NomeDeSaida(const std::string& pasta, const std::string& nome) {
    const std::string existente = ResolveNome((fs::path(pasta) / nome).string());
    return existente.empty() ? nome : fs::path(existente).filename().string();
}

std::string PastaDaExecucao() {
    // Removed by its destructor when the program ends normally.
    static std::unique_ptr<PastaPrivada> pasta;
    static std::mutex trava;
    std::lock_guard<std::mutex> guarda(trava);
    // Made again if something (a cleaner of old temporary files) took it away; a
    // link or someone else's folder under its name is not ours to write into.
    auto nossa = [](const std::string& caminho) {
        struct stat st {};
        const std::string semBarra = caminho.substr(0, caminho.size() - 1);
        return ::lstat(semBarra.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == ::geteuid();
    };
    if (!pasta || !nossa(pasta->Caminho())) {
        std::error_code ec;
        fs::path base = fs::temp_directory_path(ec);
        if (ec) base = "/tmp";
        temPastaDaExecucao.store(false);
        pasta = std::make_unique<PastaPrivada>(base.string(), "dorvan-");
        const std::string semBarra = pasta->Caminho().substr(0, pasta->Caminho().size() - 1);
        if (semBarra.size() < sizeof pastaDaExecucao) {
            std::memcpy(pastaDaExecucao, semBarra.c_str(), semBarra.size() + 1);
            temPastaDaExecucao.store(true);
        }
    }
    return pasta->Caminho();
}

void RemoveTemporariosAoInterromper() {
    struct sigaction sa {};
    sa.sa_handler = RemoveTemporariosESai;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESETHAND;
    for (int sinal : {SIGINT, SIGTERM})
        ::sigaction(sinal, &sa, nullptr);
}

std::string BarrasNormais(std::string_view caminho) {
    std::string s(caminho);
    std::replace(s.begin(), s.end(), '\\', '/');
    return s;
}

bool CasaCuringa(std::string_view padrao, std::string_view nome) {
    if (Casa(padrao, nome)) return true;
    // As on the system the masks come from, a trailing ".*" also takes names
    // without an extension: "*.*" is every file, "DADOS.*" takes "DADOS".
    if (padrao.size() >= 2 && padrao.substr(padrao.size() - 2) == ".*" && nome.find('.') == std::string_view::npos)
        return Casa(padrao.substr(0, padrao.size() - 2), nome);
    return false;
}

std::string ResolveNome(std::string_view caminho) {
    std::string c = BarrasNormais(caminho);
    if (c.empty()) return {};
    std::error_code ec;
    if (fs::exists(c, ec)) return c;
    fs::path p(c);
    fs::path atual = p.is_absolute() ? p.root_path() : fs::path(".");
    fs::path resultado = p.is_absolute() ? p.root_path() : fs::path();
    for (const auto& parte : p.relative_path()) {
        std::string nome = parte.string();
        if (nome.empty() || nome == ".") continue;
        fs::path exato = atual / nome;
        if (nome == ".." || fs::exists(exato, ec)) {
            atual = exato;
            resultado /= nome;
            continue;
        }
        // Several names may differ only in case; take the lowest so the answer
        // does not depend on the order the folder lists them in.
        std::string achado;
        for (fs::directory_iterator it(atual, ec), fim; !ec && it != fim; it.increment(ec)) {
            std::string n = it->path().filename().string();
            if (IguaisSemCaso(n, nome) && (achado.empty() || n < achado)) achado = n;
        }
        if (achado.empty()) return {};
        atual /= achado;
        resultado /= achado;
    }
    return resultado.string();
}

std::vector<std::string> ListaArquivos(const std::string& pasta, std::string_view padrao) {
    std::vector<std::string> nomes;
    std::error_code ec;
    for (fs::directory_iterator it(pasta.empty() ? "." : pasta, ec), fim; !ec && it != fim; it.increment(ec)) {
        if (!it->is_regular_file(ec)) continue;
        std::string n = it->path().filename().string();
        if (CasaCuringa(padrao, n)) nomes.push_back(n);
    }
    std::sort(nomes.begin(), nomes.end(), [](const std::string& a, const std::string& b) {
        std::string ma = MaiusculasAscii(a), mb = MaiusculasAscii(b);
        return ma != mb ? ma < mb : a < b;
    });
    return nomes;
}

PastaPrivada::PastaPrivada(const std::string& base, const std::string& prefixo) {
    const std::string modelo = base + (!base.empty() && base.back() == '/' ? "" : "/") + prefixo + "XXXXXX";
    std::string nome = modelo;
    if (!::mkdtemp(nome.data())) throw ErroES::DoSistema(modelo, errno);
    caminho_ = nome + "/";
}

PastaPrivada::~PastaPrivada() {
    // Without the trailing '/': a link put in the folder's place goes itself, what
    // it points to is not emptied.
    std::error_code ec;
    fs::remove_all(caminho_.substr(0, caminho_.size() - 1), ec);
}

GravacaoSegura::GravacaoSegura(std::string destino) : destino_(std::move(destino)), real_(destino_) {
    // Through a symbolic link of the user's own, replace the file it points to, not the link.
    std::error_code ec;
    if (LigacaoPropria(real_)) {
        fs::path alvo = fs::weakly_canonical(real_, ec);
        if (!ec) real_ = alvo.string();
    }
    // A file the user made read-only is not replaced by a new one either.
    if (const std::string motivo = MotivoProtecao(real_); !motivo.empty()) throw ErroES(destino_, motivo);
    fs::path d(real_);
    pasta_ = d.has_parent_path() ? d.parent_path().string() : std::string(".");
    mode_t mascara = umask(0);
    umask(mascara);
    // A file without a name while it is written: a run killed at any moment, even
    // with no chance to clean up, leaves nothing behind. It gets a name only when
    // complete (Confirma). Where the system cannot make one, a named temporary
    // stands in, removed on interruption.
    int fd = -1;
    int erro = 0;
    if (::access("/proc/self/fd", X_OK) == 0) {
        fd = ::open(pasta_.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0666 & ~mascara);
        erro = errno;
    }
    if (fd < 0 && erro != 0 && erro != EOPNOTSUPP && erro != EISDIR && erro != EINVAL)
        throw ErroES::DoSistema(destino_, erro);
    if (fd < 0) {
        std::string modelo = (fs::path(pasta_) / ("." + d.filename().string() + ".XXXXXX")).string();
        std::vector<char> buf(modelo.begin(), modelo.end());
        buf.push_back('\0');
        {
            // An interruption between the creation and the registration would leave the
            // file behind: neither happens without the other.
            const InterrupcoesAdiadas adiadas;
            // Close-on-exec: a program started meanwhile must not hold our half-written file.
            fd = mkostemp(buf.data(), O_CLOEXEC);
            erro = errno;
            if (fd >= 0) vaga_ = RegistraTemporario(buf.data());
        }
        if (fd < 0) throw ErroES::DoSistema(destino_, erro);
        temporario_ = buf.data();
    }
    arquivo_ = fdopen(fd, "w+b");
    if (!arquivo_) {
        int e = errno;
        ::close(fd);
        RemoveTemporario();
        throw ErroES::DoSistema(destino_, e);
    }
    // A replaced file keeps its own permissions; a new one gets the usual ones.
    struct stat atual;
    if (::lstat(real_.c_str(), &atual) == 0 && S_ISREG(atual.st_mode))
        fchmod(fd, atual.st_mode & 07777);
    else
        fchmod(fd, 0666 & ~mascara);
}

GravacaoSegura::~GravacaoSegura() { Abandona(); }

void GravacaoSegura::RemoveTemporario() {
    if (!temporario_.empty()) ::unlink(temporario_.c_str());
    LiberaTemporario(vaga_);
    temporario_.clear();
}

void GravacaoSegura::Escreve(std::string_view bytes) {
    if (!arquivo_) throw ErroES(destino_, "arquivo fechado");
    if (!bytes.empty() && std::fwrite(bytes.data(), 1, bytes.size(), arquivo_) != bytes.size())
        throw ErroES::DoSistema(destino_, errno);
}

void GravacaoSegura::Confirma() {
    if (!arquivo_) throw ErroES(destino_, "arquivo fechado");
    int e = 0;
    if (std::fflush(arquivo_) != 0 || ::fsync(fileno(arquivo_)) != 0) e = errno;
    if (e == 0 && temporario_.empty()) {
        // The unnamed file gets a hidden name beside the target, then the target's.
        const std::string proprio = "/proc/self/fd/" + std::to_string(fileno(arquivo_));
        const std::string base = (fs::path(pasta_) / ("." + fs::path(real_).filename().string() + ".")).string();
        for (int tentativa = 0; tentativa < 100; ++tentativa) {
            std::string nome = base + std::to_string(::getpid()) + "-" + std::to_string(tentativa);
            int r, erro;
            {
                const InterrupcoesAdiadas adiadas;
                r = ::linkat(AT_FDCWD, proprio.c_str(), AT_FDCWD, nome.c_str(), AT_SYMLINK_FOLLOW);
                erro = errno;
                if (r == 0) {
                    temporario_ = nome;
                    vaga_ = RegistraTemporario(nome);
                }
            }
            if (r == 0) break;
            if (erro != EEXIST) {
                e = erro;
                break;
            }
        }
        if (e == 0 && temporario_.empty()) e = EEXIST;
    }
    if (std::fclose(arquivo_) != 0 && e == 0) e = errno;
    arquivo_ = nullptr;
    if (e == 0 && std::rename(temporario_.c_str(), real_.c_str()) != 0) e = errno;
    if (e != 0) {
        RemoveTemporario();
        throw ErroES::DoSistema(destino_, e);
    }
    LiberaTemporario(vaga_);
    temporario_.clear();
    // The new name must survive a crash too, not only the bytes.
    int fdPasta = ::open(pasta_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fdPasta >= 0) {
        ::fsync(fdPasta);
        ::close(fdPasta);
    }
}

void GravacaoSegura::Abandona() {
    if (arquivo_) {
        std::fclose(arquivo_);
        arquivo_ = nullptr;
    }
    RemoveTemporario();
}

std::size_t LeNaPosicao(int fd, char* destino, std::size_t n, std::uint64_t pos, const std::string& nome) {
    std::size_t lidos = 0;
    while (lidos < n) {
        ssize_t r = ::pread(fd, destino + lidos, n - lidos, static_cast<off_t>(pos + lidos));
        if (r < 0) {
            if (errno == EINTR) continue;
            throw ErroES::DoSistema(nome, errno);
        }
        if (r == 0) break;
        lidos += static_cast<std::size_t>(r);
    }
    return lidos;
}

std::string LeArquivoInteiro(const std::string& nome) {
    std::FILE* f = std::fopen(nome.c_str(), "rbe");
    if (!f) throw ErroES::DoSistema(nome, errno);
    std::string s;
    char buf[65536];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) s.append(buf, n);
    bool erro = std::ferror(f);
    int e = errno;
    std::fclose(f);
    if (erro) throw ErroES::DoSistema(nome, e);
    return s;
}

void GravaArquivoInteiro(const std::string& nome, std::string_view bytes) {
    GravacaoSegura g(nome);
    g.Escreve(bytes);
    g.Confirma();
}

} // namespace dorvan

#include "platform/Processos.h"

#include <QStandardPaths>
#include <QString>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <poll.h>
#include <spawn.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace dorvan {

void SinaisDoFilho(posix_spawnattr_t& atributos) {
    sigset_t vazio, padrao;
    sigemptyset(&vazio);
    sigemptyset(&padrao);
    sigaddset(&padrao, SIGPIPE);
    sigaddset(&padrao, SIGXFSZ);
    posix_spawnattr_setsigmask(&atributos, &vazio);
    posix_spawnattr_setsigdefault(&atributos, &padrao);
}

namespace {

int CodigoDoStatus(int status) { return WIFEXITED(status) ? WEXITSTATUS(status) : -1; }

int EsperaFim(pid_t pid) {
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0)
        if (errno != EINTR) return -1;
    return CodigoDoStatus(status);
}

// A program not waited for is still our child; someone must collect its end.
void ColheSozinho(pid_t pid) {
    std::thread([pid] { EsperaFim(pid); }).detach();
}

// Waits for the child, calling enquantoEspera every intervalo. A pidfd wakes us
// the moment it ends; kernels without one fall back to polling.
int EsperaComRetorno(pid_t pid, const std::function<void()>& enquantoEspera) {
    constexpr int kIntervaloMs = 50;
    int pidfd = static_cast<int>(::syscall(SYS_pidfd_open, pid, 0));
    int status = 0;
    try {
        if (pidfd >= 0) {
            pollfd p{pidfd, POLLIN, 0};
            for (;;) {
                int r = ::poll(&p, 1, kIntervaloMs);
                if (r > 0) break;
                if (r < 0 && errno != EINTR) break;
                if (r == 0) enquantoEspera();
            }
            ::close(pidfd);
            pidfd = -1;
            return EsperaFim(pid);
        }
        int esperado = 0;
        for (;;) {
            pid_t r = ::waitpid(pid, &status, WNOHANG);
            if (r == pid) return CodigoDoStatus(status);
            if (r < 0 && errno != EINTR) return -1;
            ::usleep(5000);
            esperado += 5;
            if (esperado >= kIntervaloMs) {
                esperado = 0;
                enquantoEspera();
            }
        }
    } catch (...) {
        if (pidfd >= 0) ::close(pidfd);
        ColheSozinho(pid);
        throw;
    }
}

} // namespace

ResultadoPrograma ExecutaComArgumentos(const std::string& programa, const std::vector<std::string>& argumentos,
                                       bool esperar, const std::string& pasta,
                                       const std::function<void()>& enquantoEspera) {
    ResultadoPrograma r;
    // A relative path names a file from here, not from the folder the program runs in.
    std::string caminho = programa;
    if (caminho.find('/') != std::string::npos && caminho[0] != '/') {
        std::error_code ec;
        auto abs = std::filesystem::absolute(caminho, ec);
        if (!ec) caminho = abs.string();
    }

    std::vector<char*> argv;
    argv.push_back(caminho.data());
    std::vector<std::string> copias(argumentos);
    for (auto& a : copias) argv.push_back(a.data());
    argv.push_back(nullptr);

    posix_spawn_file_actions_t acoes;
    posix_spawn_file_actions_init(&acoes);
    if (!pasta.empty()) posix_spawn_file_actions_addchdir_np(&acoes, pasta.c_str());
    posix_spawn_file_actions_addclosefrom_np(&acoes, 3);

    posix_spawnattr_t atributos;
    posix_spawnattr_init(&atributos);
    SinaisDoFilho(atributos);
    posix_spawnattr_setflags(&atributos, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);

    pid_t pid = 0;
    int erro = ::posix_spawnp(&pid, caminho.c_str(), &acoes, &atributos, argv.data(), environ);
    posix_spawn_file_actions_destroy(&acoes);
    posix_spawnattr_destroy(&atributos);
    if (erro != 0) {
        r.codigoErro = erro;
        r.erro = std::strerror(erro);
        return r;
    }
    r.iniciou = true;
    if (!esperar) {
        ColheSozinho(pid);
        return r;
    }
    r.codigoSaida = enquantoEspera ? EsperaComRetorno(pid, enquantoEspera) : EsperaFim(pid);
    return r;
}

std::string AchaNoPath(const std::string& programa) {
    return QStandardPaths::findExecutable(QString::fromStdString(programa)).toStdString();
}

} // namespace dorvan

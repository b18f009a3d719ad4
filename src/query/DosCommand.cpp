#include "query/DosCommand.h"

#include "platform/Processos.h"
#include "platform/Texto1252.h"

#include <QMetaObject>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <deque>
#include <fcntl.h>
#include <mutex>
#include <poll.h>
#include <pthread.h>
#include <spawn.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace dorvan {

namespace {

// How long the reader waits for output before it looks at the program's end,
// the limits and a stop request again.
constexpr int kEsperaMs = 20;

void Fecha(int& fd) {
    if (fd >= 0) ::close(fd);
    fd = -1;
}

// Waits for the child; false while it runs (with espera false).
bool Colhe(pid_t pid, bool espera) {
    int status = 0;
    for (;;) {
        pid_t r = ::waitpid(pid, &status, espera ? 0 : WNOHANG);
        if (r == pid) return true;
        if (r == 0) return false;
        if (errno != EINTR) return true; // not our child any more: nothing to wait for
    }
}

} // namespace

std::int64_t TProcessTimer::Agora() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

void TProcessTimer::Reinicia() {
    const std::int64_t t = Agora();
    inicio_ = t;
    ultimaLinha_ = t;
}

void TProcessTimer::NovaLinha() { ultimaLinha_ = Agora(); }

std::int64_t TProcessTimer::SegundosDesdeInicio() const { return (Agora() - inicio_) / 1000; }

std::int64_t TProcessTimer::SegundosDesdeUltimaLinha() const { return (Agora() - ultimaLinha_) / 1000; }

// What the reader of one run shares with the runner.
struct TDosCommand::Execucao {
    pid_t pid = -1;
    int saida = -1;   // read end of the program's standard output and error
    int entrada = -1; // write end of its standard input
    std::uint64_t geracao = 0;
    bool inputToOutput = false;
    int maxInicio = 0, maxUltimaLinha = 0;
    std::atomic<bool> terminar{false};
    std::mutex m;
    std::deque<std::string> entradas; // marker first, as EnviaEntrada takes them
};

TDosCommand::TDosCommand(QObject* dono) : QObject(dono) {}

TDosCommand::~TDosCommand() { Para(); }

void TDosCommand::Para() {
    if (execucao_) execucao_->terminar = true;
    if (leitor_.joinable()) leitor_.join();
    execucao_.reset();
}

void TDosCommand::Terminate() {
    if (execucao_) execucao_->terminar = true;
}

void TDosCommand::EnviaEntrada(const std::string& item) {
    if (!execucao_) return;
    std::lock_guard<std::mutex> trava(execucao_->m);
    execucao_->entradas.push_back(item);
}

void TDosCommand::Execute() {
    if (CommandLine.empty() || CommandLine.front().empty()) return;
    Para();
    ++geracao_; // events of an earlier run still queued are not this run's
    executando_ = false;
    saida_.clear();

    std::string linha;
    for (const auto& a : CommandLine)
        linha += (linha.empty() ? "" : " ") + a;
    int tubo[2], tuboEntrada[2];
    if (::pipe2(tubo, O_CLOEXEC) != 0) throw TCreateProcessError(DeUtf8(linha + ": " + std::strerror(errno)));
    if (::pipe2(tuboEntrada, O_CLOEXEC) != 0) {
        const int erro = errno;
        ::close(tubo[0]);
        ::close(tubo[1]);
        throw TCreateProcessError(DeUtf8(linha + ": " + std::strerror(erro)));
    }

    posix_spawn_file_actions_t acoes;
    posix_spawn_file_actions_init(&acoes);
    posix_spawn_file_actions_adddup2(&acoes, tuboEntrada[0], 0);
    posix_spawn_file_actions_adddup2(&acoes, tubo[1], 1);
    posix_spawn_file_actions_adddup2(&acoes, tubo[1], 2);
    posix_spawn_file_actions_addclosefrom_np(&acoes, 3);
    posix_spawnattr_t atributos;
    posix_spawnattr_init(&atributos);
    SinaisDoFilho(atributos);
    // A group of its own, so that stopping the run stops what the program started too.
    posix_spawnattr_setpgroup(&atributos, 0);
    posix_spawnattr_setflags(&atributos, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETPGROUP);

    std::vector<std::string> copias(CommandLine);
    std::vector<char*> argv;
    for (auto& a : copias)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    pid_t pid = -1;
    const int erro = ::posix_spawnp(&pid, argv[0], &acoes, &atributos, argv.data(), environ);
    posix_spawn_file_actions_destroy(&acoes);
    posix_spawnattr_destroy(&atributos);
    ::close(tubo[1]);
    ::close(tuboEntrada[0]);
    if (erro != 0) {
        ::close(tubo[0]);
        ::close(tuboEntrada[1]);
        throw TCreateProcessError(DeUtf8(linha) + " doesn't exist.");
    }

    auto e = std::make_shared<Execucao>();
    e->pid = pid;
    e->saida = tubo[0];
    e->entrada = tuboEntrada[1];
    e->geracao = geracao_;
    e->inputToOutput = InputToOutput;
    e->maxInicio = MaxTimeAfterBeginning;
    e->maxUltimaLinha = MaxTimeAfterLastOutput;
    execucao_ = e;
    timer_.Reinicia();
    executando_ = true;
    leitor_ = std::thread([this, e] { Le(*e); });
}

void TDosCommand::Entrega(std::uint64_t geracao, std::string linha, int tipo, bool registra) {
    QMetaObject::invokeMethod(
        this,
        [this, geracao, linha = std::move(linha), tipo, registra] {
            if (geracao != geracao_) return;
            if (registra) saida_.push_back(linha);
            if (OnNewLine) OnNewLine(*this, linha, tipo);
        },
        Qt::QueuedConnection);
}

void TDosCommand::EntregaFim(std::uint64_t geracao) {
    QMetaObject::invokeMethod(
        this,
        [this, geracao] {
            if (geracao != geracao_) return;
            executando_ = false;
            if (OnTerminated) OnTerminated(*this);
        },
        Qt::QueuedConnection);
}

// The worker thread: reads the program's output into lines until the program
// ends, a limit passes or a stop is asked for.
void TDosCommand::Le(Execucao& e) {
    // A program that stops reading its input must not take this process with it.
    sigset_t sinalPipe;
    sigemptyset(&sinalPipe);
    sigaddset(&sinalPipe, SIGPIPE);
    pthread_sigmask(SIG_BLOCK, &sinalPipe, nullptr);
    ::fcntl(e.saida, F_SETFL, ::fcntl(e.saida, F_GETFL) | O_NONBLOCK);

    std::vector<char> buffer(1024);
    std::string pendente;
    bool aposCR = false; // the last byte read was a CR: an LF right after it ends nothing
    bool fimDaSaida = false;
    bool terminou = false;

    // Reads what is waiting; false when nothing was.
    auto leDisponivel = [&]() -> bool {
        int esperando = 0;
        if (::ioctl(e.saida, FIONREAD, &esperando) == 0 && static_cast<std::size_t>(esperando) > buffer.size())
            buffer.resize(static_cast<std::size_t>(esperando));
        ssize_t n = ::read(e.saida, buffer.data(), buffer.size());
        if (n == 0) fimDaSaida = true;
        if (n <= 0) return false;
        for (ssize_t i = 0; i < n && !e.terminar; ++i) {
            const char c = buffer[static_cast<std::size_t>(i)];
            const bool eraCR = aposCR;
            aposCR = c == '\r';
            if (c == '\0') continue;
            if (c == '\n' && eraCR) continue;
            if (c == '\n' || c == '\r') {
                timer_.NovaLinha();
                Entrega(e.geracao, std::move(pendente), 0, true);
                pendente.clear();
                continue;
            }
            pendente += c;
        }
        if (!pendente.empty()) Entrega(e.geracao, pendente, 1, false);
        return true;
    };

    auto enviaEntradas = [&] {
        for (;;) {
            std::string item;
            {
                std::lock_guard<std::mutex> trava(e.m);
                if (e.entradas.empty()) return;
                item = std::move(e.entradas.front());
                e.entradas.pop_front();
            }
            if (item.empty()) continue;
            std::string texto = item.substr(1);
            std::string bytes = texto + (item[0] == '_' ? "\r\n" : "");
            std::size_t feito = 0;
            while (feito < bytes.size() && !e.terminar) {
                ssize_t n = ::write(e.entrada, bytes.data() + feito, bytes.size() - feito);
                if (n < 0 && errno == EINTR) continue;
                if (n < 0) break; // the program closed its input
                feito += static_cast<std::size_t>(n);
            }
            if (e.inputToOutput) {
                Entrega(e.geracao, pendente + texto, 0, false);
                pendente.clear();
            }
        }
    };

    for (;;) {
        if (e.terminar) break;
        bool leu = false;
        if (!fimDaSaida) {
            pollfd p{e.saida, POLLIN, 0};
            if (::poll(&p, 1, kEsperaMs) > 0) leu = leDisponivel();
        } else {
            ::usleep(kEsperaMs * 1000);
        }
        if (!leu) enviaEntradas();
        if (Colhe(e.pid, false)) {
            // The program has ended: what it wrote before is still in the pipe.
            while (!fimDaSaida && leDisponivel()) {
            }
            terminou = true;
            break;
        }
        if (e.maxInicio >= 1 && timer_.SegundosDesdeInicio() > e.maxInicio) break;
        if (e.maxUltimaLinha >= 1 && timer_.SegundosDesdeUltimaLinha() > e.maxUltimaLinha) break;
    }
    if (!terminou) {
        // A stop request or a passed limit: the program and what it started go.
        ::kill(-e.pid, SIGKILL);
        ::kill(e.pid, SIGKILL);
        Colhe(e.pid, true);
    }
    if (!pendente.empty()) Entrega(e.geracao, std::move(pendente), 0, true);
    Fecha(e.saida);
    Fecha(e.entrada);
    // A SIGPIPE of a write to a program gone is pending on this thread; drop it.
    timespec zero{0, 0};
    while (sigtimedwait(&sinalPipe, nullptr, &zero) > 0) {
    }
    EntregaFim(e.geracao);
}

} // namespace dorvan

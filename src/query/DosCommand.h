#pragma once
// Runs one console program with its standard input, output and error on pipes and
// hands each line it writes to the thread that owns the runner while it runs. A
// worker thread reads the pipe; the lines and the end of the run reach the owner
// through its event loop, in output order, so the handlers may touch windows and
// open files of that thread freely. The program is started from an argument list,
// never through a shell.
#include <QObject>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

namespace dorvan {

// The program could not be started: the command line followed by " doesn't exist.".
class TCreateProcessError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Whole seconds since the start of a run and since its last complete line. Read by
// the worker, reset by it and by the owner: plain atomic clock readings.
class TProcessTimer {
public:
    void Reinicia();
    void NovaLinha();
    std::int64_t SegundosDesdeInicio() const;
    std::int64_t SegundosDesdeUltimaLinha() const;

private:
    static std::int64_t Agora();
    std::atomic<std::int64_t> inicio_{0};
    std::atomic<std::int64_t> ultimaLinha_{0};
};

class TDosCommand : public QObject {
public:
    // OutputType 0: a complete line; 1: the line so far, not yet ended.
    using TNewLineEvent = std::function<void(TDosCommand& sender, const std::string& newLine, int outputType)>;
    using TNotifyEvent = std::function<void(TDosCommand& sender)>;

    explicit TDosCommand(QObject* dono = nullptr);
    // A program still running is killed and its reader waited for; its events
    // that have not been delivered yet are dropped.
    ~TDosCommand() override;

    // The program (a name without '/' is looked up on PATH) and its arguments, as
    // system text; passed to the program unchanged.
    std::vector<std::string> CommandLine;
    TNewLineEvent OnNewLine;
    TNotifyEvent OnTerminated;
    // Input sent to the program is also handed to OnNewLine as a complete line.
    bool InputToOutput = false;
    // Seconds; 0 is no limit. A run that passes one ends like the program's end,
    // and the program is stopped.
    int MaxTimeAfterBeginning = 0;
    int MaxTimeAfterLastOutput = 0;

    // Starts the program and returns at once; nothing happens when CommandLine is
    // empty. The output list is cleared. A run still going is stopped first and
    // its remaining events dropped. Throws TCreateProcessError when the program
    // cannot be started; no event follows then.
    void Execute();
    // Asks the run to stop: the program is killed; the last partial line and
    // OnTerminated still follow.
    void Terminate();
    // From Execute until OnTerminated has been delivered.
    bool Executando() const { return executando_; }

    // Queues a text for the program's standard input, sent while it writes
    // nothing. The first character is a marker: '_' sends the rest followed by
    // CR LF, any other sends the rest as it is.
    void EnviaEntrada(const std::string& item);

    // The complete lines of the last run, as delivered so far.
    const std::vector<std::string>& Output() const { return saida_; }
    const TProcessTimer& Timer() const { return timer_; }

private:
    struct Execucao;
    void Entrega(std::uint64_t geracao, std::string linha, int tipo, bool registra);
    void EntregaFim(std::uint64_t geracao);
    void Le(Execucao& e);
    void Para();

    std::vector<std::string> saida_;
    TProcessTimer timer_;
    std::shared_ptr<Execucao> execucao_;
    std::thread leitor_;
    std::uint64_t geracao_ = 0;
    bool executando_ = false;
};

} // namespace dorvan

#pragma once
// The file loop: worker threads tabulate files, the calling thread receives each
// file's result in file order and merges it.
#include "platform/Progresso.h"
#include "tabulation/RoteiroArquivos.h"
#include "tabulation/TabulaArquivo.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace dorvan::tabulacao {

// Receives each step's result in order (null for non-file steps); false stops the loop.
using AplicaPasso = std::function<bool(const Passo&, ResultadoArquivo*)>;

class Execucao {
public:
    // juntados: the records already merged into the table. Progress shows those and
    // the records read so far of the file the merge waits for, never the records
    // of files read ahead, which a cancel may leave out of the table.
    Execucao(const Configuracao& cfg, int threads, Progresso& progresso, std::function<std::int64_t()> juntados);

    // Tabulates the files of `passos`, handing each step to `aplica` in order.
    // Returns false when stopped.
    bool Executa(const std::vector<Passo>& passos, const AplicaPasso& aplica, const std::string& andamentoInicial);

private:
    using Relogio = std::chrono::steady_clock;

    // `aguardado`: the file the merge waits for; npos when none.
    void Mostra(const std::string& atual, std::size_t aguardado);
    // No file at or after `fim` is started or finished.
    void Limita(std::size_t fim);
    void Trabalha(const std::vector<Passo>& passos, const std::vector<std::size_t>& arquivos);

    const Configuracao& cfg_;
    int threads_;
    bool paralelo_ = false;
    Progresso& progresso_;
    Relogio::time_point ultimaVez_ = Relogio::now();
    std::mutex mutex_;
    std::condition_variable cv_;
    std::vector<std::unique_ptr<ResultadoArquivo>> slots_;
    std::vector<char> pronto_;
    std::size_t proximo_ = 0;
    std::size_t cometidos_ = 0;
    std::atomic<std::size_t> limite_{0};
    std::atomic<bool> parar_{false};
    std::function<std::int64_t()> juntados_;
    std::unique_ptr<std::atomic<std::int64_t>[]> lidos_; // records read so far, per file
};

} // namespace dorvan::tabulacao

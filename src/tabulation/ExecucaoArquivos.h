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
    Execucao(const Configuracao& cfg, int threads, Progresso& progresso);

    // Tabulates the files of `passos`, handing each step to `aplica` in order.
    // Returns false when stopped.
    bool Executa(const std::vector<Passo>& passos, const AplicaPasso& aplica, const std::string& andamentoInicial);

private:
    using Relogio = std::chrono::steady_clock;

    void Mostra(const std::string& atual);
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
    std::atomic<std::int64_t> contador_{0};
    std::int64_t base_ = 0;
};

} // namespace dorvan::tabulacao

#include "tabulation/ExecucaoArquivos.h"

#include <algorithm>
#include <thread>

namespace dorvan::tabulacao {

Execucao::Execucao(const Configuracao& cfg, int threads, Progresso& progresso,
                   std::function<std::int64_t()> juntados)
    : cfg_(cfg), threads_(std::max(1, threads)), progresso_(progresso), juntados_(std::move(juntados)) {}

bool Execucao::Executa(const std::vector<Passo>& passos, const AplicaPasso& aplica,
                       const std::string& andamentoInicial) {
    std::vector<std::size_t> arquivos; // positions of file steps
    for (std::size_t i = 0; i < passos.size(); ++i)
        if (passos[i].tipo == Passo::Arquivo) arquivos.push_back(i);
    const std::size_t n = arquivos.size();
    slots_.clear();
    slots_.resize(n);
    pronto_.assign(n, 0);
    lidos_ = std::make_unique<std::atomic<std::int64_t>[]>(n);
    proximo_ = 0;
    limite_.store(n, std::memory_order_relaxed);
    parar_.store(false);
    cometidos_ = 0;

    std::vector<std::thread> fios;
    const std::size_t nf = std::min<std::size_t>(static_cast<std::size_t>(threads_), n);
    // Cores left over when there are fewer files than threads expand DBC files.
    paralelo_ = nf * 2 <= static_cast<std::size_t>(threads_);
    for (std::size_t f = 0; f < nf; ++f)
        fios.emplace_back([this, &passos, &arquivos] { Trabalha(passos, arquivos); });

    struct Junta {
        Execucao* e;
        std::vector<std::thread>& fios;
        ~Junta() {
            e->Limita(0);
            for (auto& f : fios)
                if (f.joinable()) f.join();
        }
    } junta{this, fios};
    bool continua = true;
    std::string atual = andamentoInicial;
    std::size_t arq = 0;
    for (std::size_t i = 0; i < passos.size() && continua; ++i) {
        if (passos[i].tipo != Passo::Arquivo) {
            continua = aplica(passos[i], nullptr);
            continue;
        }
        atual = passos[i].texto;
        // Wait for this file, showing progress and watching for a cancel.
        {
            std::unique_lock<std::mutex> trava(mutex_);
            while (!pronto_[arq]) {
                cv_.wait_for(trava, std::chrono::milliseconds(40));
                trava.unlock();
                Mostra(atual, arq);
                if (progresso_.Cancelado()) Limita(arq + 1);
                trava.lock();
            }
        }
        std::unique_ptr<ResultadoArquivo> r = std::move(slots_[arq]);
        {
            std::lock_guard<std::mutex> trava(mutex_);
            cometidos_ = arq + 1;
        }
        cv_.notify_all();
        continua = aplica(passos[i], r.get());
        // Many quick files never make the merge wait: keep the window alive anyway.
        if (Relogio::now() - ultimaVez_ >= std::chrono::milliseconds(50)) Mostra(atual, std::string::npos);
        r.reset();
        ++arq;
        if (continua && progresso_.Cancelado()) continua = false;
    }
    Limita(0);
    for (auto& f : fios)
        f.join();
    // What the table holds, as the messages that may follow (a cancel) find it.
    Mostra(atual, std::string::npos);
    return continua;
}

void Execucao::Mostra(const std::string& atual, std::size_t aguardado) {
    ultimaVez_ = Relogio::now();
    std::int64_t feito = juntados_();
    if (aguardado != std::string::npos) feito += lidos_[aguardado].load(std::memory_order_relaxed);
    progresso_.Agora(static_cast<std::uint64_t>(feito), 0, atual);
}

void Execucao::Limita(std::size_t fim) {
    {
        std::lock_guard<std::mutex> trava(mutex_);
        if (fim < limite_.load()) limite_.store(fim);
        parar_.store(true);
    }
    cv_.notify_all();
}

void Execucao::Trabalha(const std::vector<Passo>& passos, const std::vector<std::size_t>& arquivos) {
    Trabalhador t(cfg_);
    t.paralelo_ = paralelo_;
    while (true) {
        std::size_t i;
        {
            std::unique_lock<std::mutex> trava(mutex_);
            // Keep at most threads_ files ahead of the merge, so finished results
            // waiting for it stay few.
            cv_.wait(trava, [&] {
                return proximo_ >= limite_.load() || proximo_ < cometidos_ + static_cast<std::size_t>(threads_);
            });
            if (proximo_ >= limite_.load()) return;
            i = proximo_++;
        }
        auto r = std::make_unique<ResultadoArquivo>();
        // A file the merge may still need is always finished.
        std::function<bool()> parar = [this, i] { return parar_.load() && i >= limite_.load(); };
        t.Tabula(passos[arquivos[i]].texto, *r, parar, lidos_[i]);
        {
            std::lock_guard<std::mutex> trava(mutex_);
            slots_[i] = std::move(r);
            pronto_[i] = 1;
        }
        cv_.notify_all();
    }
}

} // namespace dorvan::tabulacao

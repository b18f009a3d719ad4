#pragma once
// Long work (a tabulation, a compression, a query into a file) reports progress
// here and asks whether the user cancelled. Calling Avanca once per record is
// cheap: the clock is looked at every 256 calls and the display refreshed at most
// every intervalo milliseconds. Steps that are slow on their own (one per file) call Agora.
#include <atomic>
#include <chrono>
#include <cstdint>
#include <string>

namespace dorvan {

class Progresso {
public:
    explicit Progresso(std::chrono::milliseconds intervalo = std::chrono::milliseconds(50)) : intervalo_(intervalo) {}
    virtual ~Progresso() = default;

    // Reports `feito` of `total` (total 0 when unknown) with a short text.
    void Avanca(std::uint64_t feito, std::uint64_t total, const std::string& texto = {}) {
        if (++chamadas_ % 256 != 0 && !primeira_) return;
        auto agora = Relogio();
        if (!primeira_ && agora - ultima_ < intervalo_) return;
        primeira_ = false;
        ultima_ = agora;
        Mostra(feito, total, texto);
    }
    // Forces a refresh (at the end of a file, say).
    void Agora(std::uint64_t feito, std::uint64_t total, const std::string& texto = {}) {
        ultima_ = Relogio();
        primeira_ = false;
        Mostra(feito, total, texto);
    }

    virtual bool Cancelado() const { return cancelado_; }
    void Cancela() { cancelado_ = true; }
    void Reinicia() { cancelado_ = false; primeira_ = true; }

protected:
    // Shows the figures; the window version also lets pending events run.
    virtual void Mostra(std::uint64_t, std::uint64_t, const std::string&) {}
    // The time the throttle goes by; tests put a clock of their own here.
    virtual std::chrono::steady_clock::time_point Relogio() const { return std::chrono::steady_clock::now(); }

private:
    std::chrono::milliseconds intervalo_;
    std::chrono::steady_clock::time_point ultima_{};
    std::uint64_t chamadas_ = 0;
    bool primeira_ = true;
    std::atomic<bool> cancelado_{false};
};

// Reports nothing and never cancels.
inline Progresso& SemProgresso() {
    static Progresso p;
    return p;
}

} // namespace dorvan

#pragma once
// The cells one file adds to. A wide table (thousands of rows by thousands of
// columns, as residence by occurrence) gets from each file only the cells its
// records touch, kept in a hash: no file, and no thread, holds a copy of the whole
// table, and nothing the size of the table is cleared or moved per file. A small
// table's cells are a plain array, the fastest to add to; cells past it (rows of
// new codes) still go to the hash.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace dorvan::tabulacao {

class CelulasArquivo {
public:
    CelulasArquivo() : vagas_(kVagasIniciais) {}

    // Cells below this many are in an array when they fit in kMaximoDensas; the
    // rest are counted where used.
    void Prepara(std::uint64_t celulas) {
        densas_.assign(celulas <= kMaximoDensas ? static_cast<std::size_t>(celulas) : 0, 0.0);
    }

    // The sum of cell `celula` (a row-major index), created at 0 when first used.
    double& operator[](std::uint64_t celula) {
        if (celula < densas_.size()) return densas_[static_cast<std::size_t>(celula)];
        const std::uint64_t chave = celula + 1;
        std::size_t i = Posicao(chave, vagas_.size() - 1);
        while (true) {
            Vaga& v = vagas_[i];
            if (v.chave == chave) return v.valor;
            if (v.chave == 0) {
                if ((ocupadas_ + 1) * 2 > vagas_.size()) {
                    Cresce();
                    return (*this)[celula];
                }
                ++ocupadas_;
                v.chave = chave;
                return v.valor;
            }
            i = (i + 1) & (vagas_.size() - 1);
        }
    }

    // f(celula, soma) for every cell used (array cells: those not 0), in no particular order.
    template <typename F> void ParaCada(F&& f) const {
        for (std::size_t i = 0; i < densas_.size(); ++i)
            if (densas_[i] != 0) f(std::uint64_t{i}, densas_[i]);
        for (const Vaga& v : vagas_)
            if (v.chave != 0) f(v.chave - 1, v.valor);
    }

private:
    static constexpr std::size_t kVagasIniciais = 1024;
    static constexpr std::uint64_t kMaximoDensas = std::uint64_t{1} << 18; // 2 MB

    // A used cell and its sum; chave 0 marks a free slot.
    struct Vaga {
        std::uint64_t chave = 0;
        double valor = 0;
    };

    static std::size_t Posicao(std::uint64_t chave, std::size_t mascara) {
        return static_cast<std::size_t>((chave * 0x9E3779B97F4A7C15ull) >> 32) & mascara;
    }

    void Cresce() {
        std::vector<Vaga> novas(vagas_.size() * 2);
        const std::size_t mascara = novas.size() - 1;
        for (const Vaga& v : vagas_) {
            if (v.chave == 0) continue;
            std::size_t i = Posicao(v.chave, mascara);
            while (novas[i].chave != 0)
                i = (i + 1) & mascara;
            novas[i] = v;
        }
        vagas_.swap(novas);
    }

    std::vector<double> densas_;
    std::vector<Vaga> vagas_;
    std::size_t ocupadas_ = 0;
};

} // namespace dorvan::tabulacao

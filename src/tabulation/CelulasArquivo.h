#pragma once
// The cells one file adds to. A wide table (thousands of rows by thousands of
// columns, as residence by occurrence) gets from each file only the cells its
// records touch: no file, and no thread, holds a copy of the whole table, and
// nothing the size of the table is cleared or moved per file. A small table's
// cells are a plain array, the fastest to add to. Any other cell (all of a wide
// table's, and rows of new codes) is first noted with its value, in record order;
// at the end of the file, or when many are pending, the notes are sorted by
// column and row (a stable radix sort) and summed cell by cell in record order.
// Writing notes in sequence and sorting them costs far less than adding each
// record into a hash or a table spread over hundreds of megabytes.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace dorvan::tabulacao {

class CelulasArquivo {
public:
    // A table of `linhas` x `largura` cells (row-major indices). Cells below
    // kMaximoDensas in all are in an array; the rest are noted where used.
    void Prepara(std::uint64_t linhas, std::uint64_t largura) {
        largura_ = largura;
        const std::uint64_t celulas = linhas * largura;
        densas_.assign(celulas <= kMaximoDensas ? static_cast<std::size_t>(celulas) : 0, 0.0);
        notas_.clear();
        somas_.clear();
        if (densas_.empty()) notas_.reserve(kNotasPorVez);
    }

    // Adds `valor` to the cell at (linha, coluna); coluna < largura.
    void Soma(std::uint32_t linha, std::uint32_t coluna, double valor) {
        const std::uint64_t celula = std::uint64_t{linha} * largura_ + coluna;
        if (celula < densas_.size()) {
            densas_[static_cast<std::size_t>(celula)] += valor;
            return;
        }
        notas_.push_back({(std::uint64_t{coluna} << 32) | linha, valor});
        if (notas_.size() >= std::max(kNotasPorVez, somas_.size())) Resume();
    }

    // Sums the notes still pending and frees their room (the result may wait for
    // the merge); call once the file is read, before ParaCada.
    void Conclui() {
        Resume();
        std::vector<Nota>().swap(notas_);
        std::vector<Nota>().swap(aux_);
    }

    // f(linha, coluna, soma) for every cell used (array cells: those not 0), in no
    // particular order.
    template <typename F> void ParaCada(F&& f) const {
        for (std::size_t i = 0; i < densas_.size(); ++i)
            if (densas_[i] != 0)
                f(static_cast<std::uint32_t>(i / largura_), static_cast<std::uint32_t>(i % largura_), densas_[i]);
        for (const Nota& s : somas_)
            f(static_cast<std::uint32_t>(s.chave), static_cast<std::uint32_t>(s.chave >> 32), s.valor);
    }

private:
    static constexpr std::uint64_t kMaximoDensas = std::uint64_t{1} << 18; // 2 MB
    // Notes summed at a time at least (16 MB); more when the sums already hold more.
    static constexpr std::size_t kNotasPorVez = std::size_t{1} << 20;

    // A cell, as column << 32 | row, and a value (a note) or its sum so far (somas_).
    struct Nota {
        std::uint64_t chave;
        double valor;
    };

    // Sorts the notes by cell keeping record order within a cell, then merges them
    // into somas_ (sorted by cell): each cell's sum goes on from where it stood,
    // adding its values in record order, as the array cells do.
    void Resume() {
        if (notas_.empty()) return;
        OrdenaNotas();
        std::vector<Nota> juntas;
        juntas.reserve(somas_.size() + notas_.size());
        std::size_t i = 0, j = 0;
        while (j < notas_.size()) {
            const std::uint64_t chave = notas_[j].chave;
            while (i < somas_.size() && somas_[i].chave < chave)
                juntas.push_back(somas_[i++]);
            double soma = 0;
            if (i < somas_.size() && somas_[i].chave == chave) soma = somas_[i++].valor;
            for (; j < notas_.size() && notas_[j].chave == chave; ++j)
                soma += notas_[j].valor;
            juntas.push_back({chave, soma});
        }
        juntas.insert(juntas.end(), somas_.begin() + static_cast<std::ptrdiff_t>(i), somas_.end());
        somas_.swap(juntas);
        notas_.clear();
    }

    // Stable least-significant-digit radix sort of the notes by key, over only the
    // bits the rows and the columns use.
    void OrdenaNotas() {
        std::uint32_t maxLinha = 0, maxColuna = 0;
        for (const Nota& n : notas_) {
            maxLinha = std::max(maxLinha, static_cast<std::uint32_t>(n.chave));
            maxColuna = std::max(maxColuna, static_cast<std::uint32_t>(n.chave >> 32));
        }
        std::vector<Nota>& aux = aux_;
        aux.resize(notas_.size());
        auto passa = [&](unsigned desloc, unsigned bits) {
            const std::size_t baldes = std::size_t{1} << bits;
            const std::uint64_t mascara = baldes - 1;
            std::vector<std::size_t> inicio(baldes + 1, 0);
            for (const Nota& n : notas_)
                ++inicio[((n.chave >> desloc) & mascara) + 1];
            for (std::size_t b = 0; b < baldes; ++b)
                inicio[b + 1] += inicio[b];
            for (const Nota& n : notas_)
                aux[inicio[(n.chave >> desloc) & mascara]++] = n;
            notas_.swap(aux);
        };
        auto campo = [&](unsigned desloc, std::uint32_t maximo) {
            unsigned bits = 0;
            while (bits < 32 && (maximo >> bits) != 0)
                ++bits;
            if (bits == 0) return;
            const unsigned passos = (bits + kBitsPorPasso - 1) / kBitsPorPasso;
            const unsigned largura = (bits + passos - 1) / passos;
            for (unsigned p = 0; p < passos; ++p)
                passa(desloc + p * largura, std::min(largura, bits - p * largura));
        };
        campo(0, maxLinha);
        campo(32, maxColuna);
    }

    static constexpr unsigned kBitsPorPasso = 13;

    std::uint64_t largura_ = 1;
    std::vector<double> densas_;
    std::vector<Nota> notas_;
    std::vector<Nota> somas_; // sorted by key, one per cell
    std::vector<Nota> aux_;   // the sort's other half
};

} // namespace dorvan::tabulacao

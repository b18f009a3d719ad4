// A file's cells sum each cell's values in record order, however many records the
// file has and however the pending ones are sorted and summed along the way.
#include "tabulation/CelulasArquivo.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <utility>

namespace dorvan::teste {
namespace {

TEST(CelulasArquivo, EveryCellIsTheRecordOrderSumAcrossManyBatchesOfNotes) {
    tabulacao::CelulasArquivo celulas;
    const std::uint32_t linhas = 200000, largura = 3000; // far past the array: every cell is noted
    celulas.Prepara(linhas, largura);
    std::map<std::pair<std::uint32_t, std::uint32_t>, double> esperado;
    std::uint64_t semente = 99;
    auto sorteio = [&semente](std::uint64_t n) {
        semente = semente * 6364136223846793005ull + 1442695040888963407ull;
        return (semente >> 33) % n;
    };
    // Values whose sums depend on their order (1e16 + 1 - 1e16 is not 1), over few
    // cells and many, so each batch meets cells summed by an earlier one.
    const double valores[] = {1e16, 1.0, -1e16, 0.1, 3.0, -0.7};
    for (int i = 0; i < 2500000; ++i) {
        const bool poucas = i % 16 != 0;
        const auto linha = static_cast<std::uint32_t>(poucas ? sorteio(3) * 70000 : sorteio(linhas));
        const auto coluna = static_cast<std::uint32_t>(poucas ? 2999 - sorteio(2) : sorteio(largura));
        const double v = valores[sorteio(6)];
        celulas.Soma(linha, coluna, v);
        esperado[{linha, coluna}] += v;
    }
    celulas.Conclui();
    std::size_t vistas = 0, diferentes = 0;
    celulas.ParaCada([&](std::uint32_t linha, std::uint32_t coluna, double soma) {
        ++vistas;
        auto it = esperado.find({linha, coluna});
        if (it == esperado.end() || it->second != soma) ++diferentes;
    });
    EXPECT_EQ(vistas, esperado.size());
    EXPECT_EQ(diferentes, 0u);
}

TEST(CelulasArquivo, ASmallTableKeepsItsCellsInAnArray) {
    tabulacao::CelulasArquivo celulas;
    celulas.Prepara(10, 4);
    celulas.Soma(9, 3, 2.5);
    celulas.Soma(0, 1, 1.0);
    celulas.Soma(9, 3, 0.5);
    celulas.Soma(12, 0, 7.0); // a row of a new code, past the array
    celulas.Conclui();
    std::map<std::pair<std::uint32_t, std::uint32_t>, double> vistas;
    celulas.ParaCada([&](std::uint32_t linha, std::uint32_t coluna, double soma) { vistas[{linha, coluna}] = soma; });
    EXPECT_EQ(vistas, (std::map<std::pair<std::uint32_t, std::uint32_t>, double>{
                          {{0, 1}, 1.0}, {{9, 3}, 3.0}, {{12, 0}, 7.0}}));
}

} // namespace
} // namespace dorvan::teste

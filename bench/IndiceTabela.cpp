// Figures for the key index and the results table at the sizes the producers
// reach: 199001 keys inserted in random and in sorted order, lookups, and sorting
// a column of 199001 rows.
#include "data/Index.h"
#include "table/TabelaResultados.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "Medida.h"

using dorvan::bench::Segundos;

int main() {
    using namespace dorvan;
    const std::int32_t n = MaxLinhasTabela;
    std::vector<std::string> chaves;
    chaves.reserve(static_cast<std::size_t>(n));
    for (std::int32_t i = 0; i < n; ++i) {
        char buf[16];
        std::snprintf(buf, sizeof buf, "%07d", i * 7);
        chaves.emplace_back(buf);
    }

    TIndice t;
    auto inicio = std::chrono::steady_clock::now();
    CriaIndice(t, n);
    for (std::int32_t i = 0; i < n; ++i)
        InsereIndice(t, chaves[static_cast<std::size_t>(i)], i + 1);
    std::printf("TIndice: %d keys in sorted order: %.3f s\n", n, Segundos(inicio));

    std::mt19937 gerador(1);
    std::vector<std::string> embaralhadas = chaves;
    std::shuffle(embaralhadas.begin(), embaralhadas.end(), gerador);
    inicio = std::chrono::steady_clock::now();
    CriaIndice(t, n);
    for (std::int32_t i = 0; i < n; ++i)
        InsereIndice(t, embaralhadas[static_cast<std::size_t>(i)], i + 1);
    std::printf("TIndice: %d keys in random order: %.3f s\n", n, Segundos(inicio));

    inicio = std::chrono::steady_clock::now();
    long long soma = 0;
    for (int volta = 0; volta < 5; ++volta)
        for (const std::string& c : embaralhadas)
            soma += ValorIndice(t, c);
    std::printf("TIndice: %d lookups: %.3f s (%lld)\n", 5 * n, Segundos(inicio), soma);

    TabelaResultados tab;
    tab.AlocaLinhas(n, n);
    AcrescentaColuna(tab, "v", 0);
    std::uniform_real_distribution<double> dist(-1e6, 1e6);
    for (std::int32_t r = 1; r <= n; ++r)
        tab.Dado(1, r) = dist(gerador);
    inicio = std::chrono::steady_clock::now();
    OrdenaPorColuna(tab, 1);
    std::printf("OrdenaPorColuna: %d rows: %.3f s\n", n, Segundos(inicio));
    return 0;
}

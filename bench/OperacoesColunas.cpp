// Figures for the column commands at the producers' row limit: a calculated
// column over 199001 rows, normalising, a regression, descriptive statistics,
// and transposing the widest table that may be transposed (5999 rows).
#include "table/Estatisticas.h"
#include "table/Formula.h"
#include "table/OperacoesColunas.h"
#include "table/TabelaResultados.h"

#include <chrono>
#include <cstdio>
#include <random>

#include "Medida.h"

using dorvan::bench::Segundos;

namespace {

dorvan::TabelaResultados Tabela(std::int32_t linhas, std::int32_t colunas) {
    using namespace dorvan;
    TabelaResultados t;
    t.AlocaLinhas(linhas, linhas);
    std::mt19937 gerador(1);
    std::uniform_real_distribution<double> valor(0, 1000);
    for (std::int32_t r = 1; r <= linhas; ++r)
        t.Rotulo(r) = "linha " + std::to_string(r);
    for (std::int32_t c = 1; c <= colunas; ++c) {
        AcrescentaColuna(t, "V" + std::to_string(c), 2);
        for (std::int32_t r = 1; r <= linhas; ++r)
            t.Dado(c, r) = valor(gerador);
        CalculaTotal(t, c);
    }
    return t;
}

} // namespace

int main() {
    using namespace dorvan;
    TabelaResultados t = Tabela(MaxLinhasTabela, 3);

    auto inicio = std::chrono::steady_clock::now();
    NovaColuna(t, "Taxa=(V1+V2)/V3*1000-LN(V1)^2");
    std::printf("calculated column over %d rows: %.3f s\n", t.NumLinhas, Segundos(inicio));

    inicio = std::chrono::steady_clock::now();
    Normaliza(t, {1, 2, 3});
    std::printf("three Z columns over %d rows: %.3f s\n", t.NumLinhas, Segundos(inicio));

    inicio = std::chrono::steady_clock::now();
    std::vector<std::string> linhas;
    Regressao(t, 1, 2, linhas);
    auto d = Descritivas(t, {1, 2, 3});
    std::printf("regression and three descriptive statistics over %d rows: %.3f s\n", t.NumLinhas, Segundos(inicio));

    TabelaResultados larga = Tabela(5999, 50);
    inicio = std::chrono::steady_clock::now();
    Transpoe(larga);
    std::printf("transpose of 5999 rows x 50 columns: %.3f s\n", Segundos(inicio));
    return linhas.empty() || d.empty() ? 1 : 0;
}

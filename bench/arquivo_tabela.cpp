// Writing and reading a .tab file at a producer's largest size, with peak memory:
//   bench_arquivo_tabela [rows] [columns]      (default 199001 rows, 12 columns)
// Each step runs three times; the best run is reported.
#include "platform/Arquivos.h"
#include "table/TabelaArquivo.h"
#include "Medida.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

using namespace dorvan;
using dorvan::bench::PicoMemoriaKB;

namespace {

template <typename F>
double Melhor(F&& f) {
    double melhor = 1e30;
    for (int vez = 0; vez < 3; ++vez) {
        auto t0 = std::chrono::steady_clock::now();
        f();
        double s = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
        if (s < melhor) melhor = s;
    }
    return melhor;
}

} // namespace

int main(int argc, char** argv) {
    const int linhas = argc > 1 ? std::atoi(argv[1]) : MaxLinhasTabela;
    const int colunas = argc > 2 ? std::atoi(argv[2]) : 12;
    TabelaResultados t;
    t.AlocaLinhas(linhas, linhas);
    for (int c = 1; c <= colunas; ++c) AcrescentaColuna(t, "Coluna " + std::to_string(c), c % 3);
    for (int r = 1; r <= linhas; ++r) {
        t.Rotulo(r) = std::to_string(100000 + r) + " Munic\xEDpio " + std::to_string(r);
        for (int c = 1; c <= colunas; ++c) t.Dado(c, r) = (r * 7919 + c * 104729) % 100003 / 7.0 - 1000;
    }
    for (int c = 1; c <= colunas; ++c) CalculaTotal(t, c);

    const std::string nome = (std::filesystem::temp_directory_path() / "bench_arquivo_tabela.tab").string();
    double grava = Melhor([&] { GravaTab(t, nome, {"linha de log"}); });
    const auto bytes = std::filesystem::file_size(nome);
    TabelaResultados lida;
    double le = Melhor([&] { LeTabela(lida, nome, ','); });
    std::printf("%d rows x %d columns, %.1f MB\n", linhas, colunas, static_cast<double>(bytes) / 1e6);
    std::printf("GravaTab: %.3f s (%.1f MB/s)\n", grava, static_cast<double>(bytes) / 1e6 / grava);
    std::printf("LeTabela: %.3f s (%.1f MB/s), %d rows read\n", le, static_cast<double>(bytes) / 1e6 / le,
                lida.NumLinhas);
    std::printf("peak memory: %ld KB\n", PicoMemoriaKB());
    std::filesystem::remove(nome);
    return lida.NumLinhas == linhas ? 0 : 1;
}

// Figures for the workbook writer: a table of 65 000 rows and 50 columns (the most
// rows a sheet takes, with room for titles and totals) saved as a workbook; time
// and file size, and the same for the compound file alone.
#include "output/XLSWrite.h"
#include "platform/ArquivoComposto.h"

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <unistd.h>

#include "Medida.h"

using dorvan::bench::Segundos;

int main() {
    const std::int32_t linhas = 65000, colunas = 50;
    dorvan::TabelaResultados t;
    t.AlocaLinhas(linhas, linhas);
    for (std::int32_t r = 1; r <= linhas; ++r) t.Rotulo(r) = std::to_string(100000 + r) + " Munic\xEDpio " + std::to_string(r);
    for (std::int32_t c = 1; c <= colunas; ++c) {
        dorvan::AcrescentaColuna(t, "Coluna " + std::to_string(c), c % 3);
        for (std::int32_t r = 1; r <= linhas; ++r) t.Dado(c, r) = r * 1.25 + c;
        dorvan::CalculaTotal(t, c);
    }
    const std::string arquivo =
        (std::filesystem::temp_directory_path() / ("bench_planilha_" + std::to_string(getpid()) + ".xls")).string();
    auto inicio = std::chrono::steady_clock::now();
    dorvan::SalvaXLS(t, arquivo);
    const double s = Segundos(inicio);
    std::printf("workbook of %d rows x %d columns: %.2f s, %.1f MB\n", linhas, colunas, s,
                static_cast<double>(std::filesystem::file_size(arquivo)) / 1e6);
    std::filesystem::remove(arquivo);

    const std::string dados(static_cast<std::size_t>(64) << 20, 'x');
    inicio = std::chrono::steady_clock::now();
    const std::string composto = dorvan::MontaArquivoComposto({{"Workbook", dados}});
    std::printf("compound file of a 64 MB stream: %.2f s\n", Segundos(inicio));
    inicio = std::chrono::steady_clock::now();
    const std::size_t lido = dorvan::LeFluxoComposto(composto, "Workbook").size();
    std::printf("strict reading back: %.2f s (%zu bytes)\n", Segundos(inicio), lido);
    return 0;
}

// Figures for one map redraw, which reads the whole .MAP file again each time:
// a base map of 5570 areas of 400 vertices each (about the size of a country's
// municipalities), matched to a table of as many rows, with and without names,
// values and seat marks, and the map read as a table.
#include "maps/DesenhoMapa.h"
#include "maps/MapaTabela.h"

#include <chrono>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "Medida.h"

using dorvan::bench::Segundos;

int main() {
    using namespace dorvan;
    namespace fs = std::filesystem;
    const int areas = 5570, vertices = 400, lado = 75;
    const fs::path pasta = fs::temp_directory_path() / "dorvan_bench_mapa";
    fs::create_directories(pasta);
    const std::string mapa = (pasta / "municipios.map").string();

    auto inicio = std::chrono::steady_clock::now();
    {
        GravadorMapa g(mapa);
        RegistroMapa r;
        for (int i = 0; i < areas; ++i) {
            const float cx = static_cast<float>(i % lado), cy = static_cast<float>(i / lado);
            char codigo[16];
            std::snprintf(codigo, sizeof codigo, "%06d", i);
            r.Codigo = codigo;
            r.Nome = "Municipio " + std::to_string(i);
            r.RotuloX = cx + 0.5f;
            r.RotuloY = cy + 0.5f;
            r.Pontos.clear();
            for (int v = 0; v < vertices; ++v) {
                const double a = 2 * M_PI * v / vertices;
                r.Pontos.push_back({cx + 0.5f + 0.45f * static_cast<float>(std::cos(a)),
                                    cy + 0.5f + 0.45f * static_cast<float>(std::sin(a))});
            }
            r.Pontos.push_back(r.Pontos.front());
            g.Grava(r);
        }
        g.Fecha();
    }
    std::printf("writing %d areas of %d vertices (%.1f MB): %.3f s\n", areas, vertices,
                static_cast<double>(fs::file_size(mapa)) / 1e6, Segundos(inicio));

    inicio = std::chrono::steady_clock::now();
    const RotulosDoMapa rotulos = LeRotulosDoMapa(mapa, true);
    TabelaResultados t;
    PreencheTabelaDoMapa(t, rotulos, mapa);
    std::printf("map read as a table (%d rows): %.3f s\n", t.NumLinhas, Segundos(inicio));
    for (std::int32_t r = 1; r <= t.NumLinhas; ++r)
        t.Dado(1, r) = r % 97;
    EstadoEscala e;
    PreparaMapaColuna(t, 1, e);
    MontaIndiceLinhas(t);

    long long figuras = 0, pontos = 0;
    const DestinoDesenho conta = [&](const PrimitivaMapa& f) {
        ++figuras;
        pontos += static_cast<long long>(f.Pontos.size());
    };
    for (bool rotulosLigados : {false, true}) {
        OpcoesMapa o;
        o.MostraLegendas = o.MostraValores = o.MostraSede = rotulosLigados;
        VistaMapa v;
        const int vezes = 5;
        figuras = pontos = 0;
        inicio = std::chrono::steady_clock::now();
        for (int k = 0; k < vezes; ++k)
            DesenhaMapa(t, mapa, o, v, 1920, 1080, conta);
        std::printf("redraw%s: %.3f s each (%lld figures, %lld points)\n",
                    rotulosLigados ? " with names, values and seats" : "", Segundos(inicio) / vezes, figuras / vezes,
                    pontos / vezes);
    }
    fs::remove_all(pasta);
    return 0;
}

// Figures for a GPX layer of many waypoints: reading the file once and the redraws
// after it, which draw from the points kept in the layer.
#include "maps/Camadas.h"
#include "platform/Arquivos.h"

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>

#include "Medida.h"

using dorvan::bench::Segundos;

int main() {
    using namespace dorvan;
    namespace fs = std::filesystem;
    const fs::path pasta = fs::temp_directory_path() / "dorvan_bench_gpx";
    fs::create_directories(pasta);
    const std::string arquivo = (pasta / "pontos.gpx").string();
    for (int pontos : {10000, 100000, 400000}) {
        std::string texto = "<?xml version=\"1.0\"?>\n<gpx>\n";
        for (int i = 0; i < pontos; ++i)
            texto += "<wpt lat=\"-" + std::to_string(i % 30) + ".5\" lon=\"-" + std::to_string(40 + i % 20) +
                     ".25\"><name>Ponto " + std::to_string(i) + "</name></wpt>\n";
        texto += "</gpx>\n";
        GravaArquivoInteiro(arquivo, texto);

        CamadaDoMapa c;
        c.ArquivoCamada = arquivo;
        c.ComLegenda = true;
        VistaMapa v;
        std::size_t figuras = 0;
        const DestinoDesenho conta = [&](const PrimitivaMapa&) { ++figuras; };
        auto inicio = std::chrono::steady_clock::now();
        DesenhaCamadaGPX(v, c, conta);
        const double primeira = Segundos(inicio);
        inicio = std::chrono::steady_clock::now();
        for (int k = 0; k < 10; ++k)
            DesenhaCamadaGPX(v, c, conta);
        const double redesenho = Segundos(inicio) / 10;
        std::printf("%7d waypoints (%5.1f MB): first drawing %.3f s, each redraw %.3f s, %zu figures\n", pontos,
                    static_cast<double>(texto.size()) / 1e6, primeira, redesenho, figuras / 11);
    }
    fs::remove_all(pasta);
    return 0;
}

// One foreign map importer (chosen when building: IMPORTADOR and EXTENSAO), its
// .MAP output read back. The shapefile and the MapInfo file take two files: the
// input holds the .SHP (.MIF) as its first part and the .DBF (.MID) as the rest
// (see DuasPartes); a shapefile's import may only succeed when the .DBF holds
// every record its header counts.
#include "ApoioFuzz.h"
#include "maps/ArquivoMapa.h"
#include "maps/Importadores.h"

#include <cstdio>

using namespace dorvan;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* dados, std::size_t tamanho) {
    fuzz::Prepara();
    const std::string_view texto = fuzz::Texto(dados, tamanho);
    std::string nome;
    std::string_view dbf;
    if (std::string_view(EXTENSAO) == ".shp") {
        const auto partes = fuzz::DuasPartes(texto);
        nome = fuzz::Grava("x.shp", partes.first);
        dbf = partes.second;
        fuzz::Grava("x.dbf", dbf);
    } else if (std::string_view(EXTENSAO) == ".mif") {
        // Without its .MID the importer stops at once.
        const auto partes = fuzz::DuasPartes(texto);
        nome = fuzz::Grava("x.mif", partes.first);
        fuzz::Grava("x.mid", partes.second);
    } else {
        nome = fuzz::Grava(std::string("x") + EXTENSAO, texto);
    }
    fuzz::Tenta([&] {
        const std::string mapa = IMPORTADOR(nome);
        if (mapa.empty()) return;
        LeMapa(mapa);
        // The counts as the header states them (the DBF layer may trust the file's size instead).
        if (std::string_view(EXTENSAO) == ".shp" && dbf.size() >= 32) {
            auto byte = [&](std::size_t k) { return static_cast<std::uint64_t>(static_cast<unsigned char>(dbf[k])); };
            const std::uint64_t registros = byte(4) | byte(5) << 8 | byte(6) << 16 | byte(7) << 24;
            const std::uint64_t cabecalho = byte(8) | byte(9) << 8, tamRegistro = byte(10) | byte(11) << 8;
            if (dbf.size() < cabecalho + registros * tamRegistro) {
                std::fprintf(stderr, "imported with a short DBF\n");
                std::abort();
            }
        }
    });
    return 0;
}

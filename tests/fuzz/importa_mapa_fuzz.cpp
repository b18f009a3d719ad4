// One foreign map importer (chosen when building: IMPORTADOR and EXTENSAO), its
// .MAP output read back. The shapefile takes two files: the input holds the .SHP
// as its first part and the .DBF as the rest (see DuasPartes); its import may only
// succeed when the .DBF holds every record its header counts.
#include "ApoioFuzz.h"
#include "data/LeDBF32.h"
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
    } else {
        nome = fuzz::Grava(std::string("x") + EXTENSAO, texto);
    }
    fuzz::Tenta([&] {
        const std::string mapa = IMPORTADOR(nome);
        if (mapa.empty()) return;
        LeMapa(mapa);
        if (std::string_view(EXTENSAO) == ".shp") {
            dbfRecord h;
            OpenDBF(h, (fuzz::Pasta() / "x.dbf").string(), true);
            if (h.Estado != 0 && dbf.size() < static_cast<std::uint64_t>(h.TamCabecalho) +
                                                  static_cast<std::uint64_t>(h.NumRegs) * h.TamRegistro) {
                std::fprintf(stderr, "imported with a short DBF\n");
                std::abort();
            }
        }
    });
    return 0;
}

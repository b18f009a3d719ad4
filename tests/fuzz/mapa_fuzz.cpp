// A .MAP file as the map window reads it: header checks, every record, its rings
// and the point inside it where the label goes.
#include "ApoioFuzz.h"
#include "maps/ArquivoMapa.h"

using namespace dorvan;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* dados, std::size_t tamanho) {
    fuzz::Prepara();
    const std::string nome = fuzz::Grava("x.map", fuzz::Texto(dados, tamanho));
    fuzz::Tenta([&] {
        const Mapa m = LeMapa(nome);
        ProblemaCabecalhoTela(nome, m.Cabecalho);
        ProblemaCabecalhoImpressora(m.Cabecalho);
        MapaGeografico(m.Cabecalho);
        for (const RegistroMapa& r : m.Registros) {
            AneisDoRegistro(r);
            PontoInterno(r);
            RegistroNaJanela(r, -10, -10, 10, 10);
        }
    });
    return 0;
}

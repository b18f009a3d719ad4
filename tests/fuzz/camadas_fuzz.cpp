// The map layers read at every redraw: a GPX file of waypoints, a DBF of points and a
// flow DBF (its arrows counted and drawn). The first byte picks the kind.
#include "ApoioFuzz.h"
#include "maps/Camadas.h"
#include "maps/FluxoMapa.h"

using namespace dorvan;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* dados, std::size_t tamanho) {
    if (tamanho < 1) return 0;
    fuzz::Prepara();
    const std::string_view texto = fuzz::Texto(dados + 1, tamanho - 1);
    VistaMapa v;
    std::size_t figuras = 0;
    const DestinoDesenho conta = [&](const PrimitivaMapa&) { ++figuras; };
    const AvisoCamada aviso = [](const std::string&) {};
    fuzz::Tenta([&] {
        switch (dados[0] % 3) {
        case 0: {
            CamadaDoMapa c;
            c.ArquivoCamada = fuzz::Grava("x.gpx", texto);
            c.ComLegenda = true;
            DesenhaCamadaGPX(v, c, conta);
            DesenhaCamadaGPX(v, c, conta); // the redraw, from the points kept
            break;
        }
        case 1: {
            CamadaDoMapa c;
            c.ArquivoCamada = fuzz::Grava("x.dbf", texto);
            c.ComLegenda = true;
            DesenhaCamadaDBF(v, c, 1, dados[0] & 4, conta, aviso);
            break;
        }
        default: {
            ConfiguracaoSetas s;
            s.MostraSetas = true;
            s.ArquivoFluxo = fuzz::Grava("f.dbf", texto);
            s.Dominante = dados[0] & 4;
            s.Setor = dados[0] & 8;
            s.FluxoMinimo = 0;
            s.DistanciaMinima = 0;
            ContaSetas(s.ArquivoFluxo, s);
            DesenhaSetas(v, s, 1, conta, aviso);
            break;
        }
        }
    });
    return 0;
}

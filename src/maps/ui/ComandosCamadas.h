#pragma once
// The map window's layers, printing and picture commands. LigaCamadasMapa attaches
// them to a map window and hooks the overlays (layers, flows, circles) into its redraw.
#include "maps/Camadas.h"

#include <functional>
#include <string>

class QPrinter;

namespace dorvan {

struct LigacoesCamadas;

class TMapa;

// Where these commands ask the user; tests answer them directly.
struct PerguntasCamadas {
    // An open dialog: title, filter ("Texto|*.a|..."), folder + pattern. Empty = cancelled.
    std::function<std::string(const std::string& titulo, const std::string& filtro, const std::string& inicial)>
        AbreCamada;
    // The layer dialog, already filled; returns its modal result (0 cancel, 1 OK, 3 remove).
    std::function<int(class TfCamada& d)> MostraDialogo;
    // A save dialog asking before overwriting: filter, 1-based index, default suffix. Empty = cancelled.
    std::function<std::string(const std::string& filtro, int indice, const std::string& sufixo,
                              const std::string& inicial)>
        SalvaArquivo;
    // The printer set-up dialog; false when cancelled.
    std::function<bool(QPrinter& p)> ConfiguraImpressora;
};
PerguntasCamadas& PerguntasDasCamadas();

// The one printer of the map (kept between prints, like the platform's printer).
QPrinter& ImpressoraDoMapa();

// The layers of a map window (its flows are its own Fluxos).
CamadasDoMapa& CamadasDaJanela(TMapa& m);

// The commands (also called by the tests).
void PoeCamadaClick(TMapa& m);
void CamadaClick(TMapa& m, int k);
void ImprimeMapa(TMapa& m);
void ConfigurarImpressora1Click(TMapa& m);
void CopiaClick(TMapa& m);
void GravarClick(TMapa& m);
void GravaMetaFileClick(TMapa& m);

// Attaches the commands and overlays to m and returns what the map itself calls.
LigacoesCamadas LigaCamadasMapa(TMapa& m);

} // namespace dorvan

#pragma once
// The map on paper and in picture files. The page is drawn by its own transform
// (a square of 7/10 of the page height, 2 margins from the top-left corner) with the
// record, class-colour and label rules of the screen; the vector picture is the
// screen's redraw without the legend boxes, with its legend in a second picture;
// the bitmap carries the legend texts beside the boxes of the last redraw.
#include "maps/Camadas.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace dorvan {

// Width in device pixels of a text at a size in points (0 = the map's label font).
using MedeTexto = std::function<std::int32_t(const std::string& texto, std::int32_t pontos)>;

// GeoParaPapel: the page transform.
struct TransformacaoPapel {
    double Escala = 0;       // the larger range of the map (or of the zoom window)
    std::int32_t Lado = 0;   // page height · 7 div 10
    std::int32_t Margem = 0; // page height div 10
    double MinX = 0, MaxY = 0;
};
TransformacaoPapel TransformacaoDoPapel(double minX, double minY, double maxX, double maxY, std::int32_t alturaPagina);
PontoTela GeoParaPapel(const TransformacaoPapel& p, double x, double y);

struct PaginaMapa {
    std::int32_t Largura = 0, Altura = 0; // device pixels of the printable page
    std::int32_t Resolucao = 300;         // device pixels per inch
};

// The figures of the printed page in order: areas, active layers, names/values/seat
// marks, titles and the legend. Proportional circles and flow lines are not printed.
// Marks and the legend keep the size their pixel figures have on a 300 dpi printer
// whatever the resolution of the page.
// Returns the text that stops the print before a page ("Versão inválida do arquivo
// de mapas :<n>") or empty. Missing layer fields are reported through aviso.
std::string DesenhaMapaPapel(const TabelaResultados& t, const std::string& nomeMapa, const OpcoesMapa& o,
                             const VistaMapa& vista, const CamadasDoMapa& camadas, const PaginaMapa& pagina,
                             const MedeTexto& mede, const DestinoDesenho& destino, const AvisoCamada& aviso);

// The DBF layer on paper: only fields named exactly LATITUDE and LONGITUDE.
void ImprimeCamadaDBF(const VistaMapa& v, std::int32_t deslocaX, const CamadaDoMapa& c, const DestinoDesenho& destino,
                      const AvisoCamada& aviso);

// The legend picture: its size and figures (title, then a box and a text per class).
struct LegendaImagem {
    std::int32_t Largura = 0, Altura = 0;
    std::vector<PrimitivaMapa> Figuras;
};
LegendaImagem LegendaMetafile(const TabelaResultados& t, const MedeTexto& mede);

// The screen's redraw for the map picture: the same figures, without the legend
// boxes, the identification values and the whole-area fill of a zoom into one area.
std::string DesenhaMetafile(const TabelaResultados& t, const std::string& nomeMapa, const OpcoesMapa& o, VistaMapa& v,
                            std::int32_t largura, std::int32_t altura, const DestinoDesenho& destino,
                            const CamadasMapa& extras);

// The name a picture is written under: the chosen one with the extension of what
// it holds (".svg" or ".png"), whatever extension was typed or none.
std::string NomeDaImagem(const std::string& escolhido, const std::string& extensao);

// The legend picture's name: the chosen folder + the chosen name up to its first
// '.' + "_esc" + the extension of the pictures written.
std::string NomeLegendaMetafile(const std::string& escolhido, const std::string& extensao);

// The legend texts written on the window before it is copied as a bitmap.
std::vector<PrimitivaMapa> TextosLegendaBitmap(const TabelaResultados& t, std::int32_t larguraCliente);

} // namespace dorvan

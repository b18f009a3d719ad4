#pragma once
// The thematic map on the screen, apart from the window: the view transform with
// zoom and pan, and one redraw turned into drawing primitives (areas filled by
// class, seat marks, names and values, the legend boxes). The window paints the
// primitives with QPainter into the visible picture and, where a primitive carries
// an identification value, into the hidden identification picture that picking reads.
// Every redraw reads the .MAP file again record by record; nothing of it is kept.
#include "maps/ArquivoMapa.h"
#include "maps/Classes.h"
#include "table/TabelaResultados.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace dorvan {

inline constexpr std::int32_t IntervaloRedesenhoMs = 900;       // debounce of setting changes
inline constexpr std::int32_t AlturaStatus = 19;                // the status bar under the map
inline constexpr std::int32_t RaioPontoMapa = 2;                // base-map points, pixels
inline constexpr std::uint32_t IdentificacaoVazia = 0x00FFFFFF; // white: nothing here

// Bounds of a zoom window in map units.
struct JanelaMapa {
    float MaxX = 0, MaxY = 0, MinX = 0, MinY = 0;
};

// VistaMapa: how map units land on the client area.
struct VistaMapa {
    float EscalaMapa = 0;      // the map range spanning LadoMapa pixels
    std::int32_t LadoMapa = 0; // pixels
    std::int32_t TopoMapa = 0; // top margin in pixels
    JanelaMapa JanelaZoom;
    bool EmZoom = false;
    // The bounds in force at the last fit: the header's, or JanelaZoom while zoomed.
    float MinX = 0, MinY = 0, MaxX = 0, MaxY = 0;
};

struct PontoTela {
    std::int32_t X = 0, Y = 0;
    bool operator==(const PontoTela&) const = default;
};

// Fits the bounds of c (JanelaZoom instead while EmZoom) to a client area of
// largura × altura pixels (status bar included). A client area too small for the
// margins keeps LadoMapa at 1 so the transform stays defined.
void AjustaVista(VistaMapa& v, const CabecalhoMapa& c, std::int32_t largura, std::int32_t altura);

PontoTela GeoParaTela(const VistaMapa& v, double x, double y);
double TelaParaLon(const VistaMapa& v, std::int32_t x);
double TelaParaLat(const VistaMapa& v, std::int32_t y);

// The part of the map the client area shows, for clipping records while zoomed.
JanelaMapa JanelaVisivel(const VistaMapa& v, std::int32_t largura, std::int32_t altura);

// The zoom window of a rubber rectangle between two screen points (either drag
// direction). False, and v unchanged, when they share an x or a y.
bool ZoomRetangulo(VistaMapa& v, PontoTela a, PontoTela b);
// Moves the zoom window by a drag from `de` to `para`.
void DeslocaVista(VistaMapa& v, PontoTela de, PontoTela para);

// ---- what one redraw draws --------------------------------------------------------

enum class FiguraMapa : std::uint8_t {
    Poligono,  // closed filled ring (Pontos)
    Linha,     // open line (Pontos), pen only
    Circulo,   // circle of Raio around Pontos[0]
    Retangulo, // Pontos[0] top left, Pontos[1] bottom right (exclusive)
    Preenche,  // the whole client area in Preenchimento
    Texto,     // Texto at Pontos[0] (see Alinhamento)
};
enum class AlinhaTexto : std::uint8_t {
    Centro, // centred on the point both ways
    Acima,  // centred horizontally, bottom on the point
    Canto,  // top left corner on the point
    Topo,   // centred horizontally, top on the point
};

inline constexpr std::int64_t SemIdentificacao = -1;

struct PrimitivaMapa {
    FiguraMapa Figura = FiguraMapa::Poligono;
    std::vector<PontoTela> Pontos;
    std::int32_t Raio = 0;
    std::uint32_t Preenchimento = CorBranca; // stored colour (0x00BBGGRR)
    bool ComPreenchimento = true;
    std::uint32_t Caneta = 0; // stored colour of the outline or line
    // The value painted into the identification picture (fill; outlines read 0),
    // or SemIdentificacao when the figure is not painted there.
    std::int64_t Identificacao = SemIdentificacao;
    std::string Texto; // 1252
    AlinhaTexto Alinhamento = AlinhaTexto::Centro;
    std::int32_t LarguraCaneta = 1; // outline and line width in pixels
    std::int32_t TamanhoFonte = 0;  // points; 0 = the map's label font
};

using DestinoDesenho = std::function<void(const PrimitivaMapa&)>;

// Black text at p; pontos = 0 is the map's label font.
PrimitivaMapa TextoMapa(std::string s, PontoTela p, std::int32_t pontos, AlinhaTexto a);

// A map point placed on the screen or on the page.
using TransformaPonto = std::function<PontoTela(double x, double y)>;

// The shape of one record with f's colours: a line, a point as a circle of `raioPonto`
// (sent to `destinoPonto`), or each ring of an area as one polygon. Returns how many
// rings were drawn.
std::int32_t DesenhaForma(const RegistroMapa& r, PrimitivaMapa& f, std::int32_t raioPonto,
                          const TransformaPonto& transforma, const DestinoDesenho& destino,
                          const DestinoDesenho& destinoPonto);

// The window's display choices that the redraw reads.
struct OpcoesMapa {
    bool MostraLegendas = false;
    bool MostraValores = false;
    bool MostraSede = false;
    bool BordasPretas = true;
    bool PegaLegendaDoMapa = false; // names from the .MAP instead of the row labels
    std::int32_t LinhaDoZoom = 0;   // row under the last zoom rectangle's release
};

// Steps the window takes between the areas and the legend boxes (layers, flows,
// circles belong to other parts of the map window); each may be empty.
struct CamadasMapa {
    std::function<void(const VistaMapa&, const DestinoDesenho&)> Camadas;
    std::function<void(const VistaMapa&, const DestinoDesenho&)> Setas;
    std::function<void(const VistaMapa&, const DestinoDesenho&)> Circulos;
};

// DesenhaMapa: reads nomeMapa, fits v to the client area and sends the figures in
// drawing order: the background, every record by its row's class colour, the whole
// area of LinhaDoZoom when a zoom shows only the inside of one area, the layers,
// names/values/seat marks, flows, circles, and last the legend boxes. Returns the
// text that stopped the drawing ("... não é um arquivo de mapa do Dorvan.", "Não é
// possível mapear um único ponto.") or empty; a damaged file throws ErroES.
std::string DesenhaMapa(const TabelaResultados& t, const std::string& nomeMapa, const OpcoesMapa& o, VistaMapa& v,
                        std::int32_t largura, std::int32_t altura, const DestinoDesenho& destino,
                        const CamadasMapa& camadas = {});

// EscreveRotulos: per record, the seat mark and the name and/or value at its label point.
void EscreveRotulos(const TabelaResultados& t, const std::string& nomeMapa, const OpcoesMapa& o, const VistaMapa& v,
                    const DestinoDesenho& destino);

// A right click at (x, y) on the legend boxes of a client area `largura` wide: the
// class whose colour to change, or 0 outside the boxes.
std::int32_t ClasseDoCliqueLegenda(const TabelaResultados& t, std::int32_t largura, std::int32_t x, std::int32_t y);

// All figures of one redraw, for tests and small maps.
struct DesenhoMapa {
    std::string Problema;
    std::vector<PrimitivaMapa> Figuras;
};
DesenhoMapa ColetaDesenho(const TabelaResultados& t, const std::string& nomeMapa, const OpcoesMapa& o, VistaMapa& v,
                          std::int32_t largura, std::int32_t altura);

} // namespace dorvan

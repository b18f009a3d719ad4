#pragma once
// The chart as data: which series the chart window holds, built from columns of
// the results table, with the per-series and per-axis options the window's
// dialogs edit. The window only draws this model, so every decision about what a
// command adds, clears or changes is made (and tested) here.
#include "maps/Classes.h"
#include "table/TabelaResultados.h"

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace dorvan {

enum class TipoSerie { Linha, Barra, BarraHorizontal, Area, Setor, Ponto, Bolha, Seta };

// Point-derived series: those with a pointer, whose points answer a click.
bool DerivadaDePonto(TipoSerie tipo);
// Series drawn against the row positions 0, 1, 2 ... (their labels on the category axis).
bool SerieDeCategorias(TipoSerie tipo);

// Colours as 0x00BBGGRR (white is the maps' CorBranca).
inline constexpr std::uint32_t CorAzul = 0x00FF0000;     // RGB 0,0,255
inline constexpr std::uint32_t CorVermelha = 0x000000FF; // RGB 255,0,0
// A point drawn in its series' colour (a pie slice: in the palette colour of its place).
inline constexpr std::uint32_t CorAutomatica = 0x20000000;
// The palette colour of series (or pie slice) number i, from 0.
std::uint32_t CorDaPaleta(std::size_t i);

// Mark (label) contents, in the order of the series dialog's list.
enum class EstiloEtiqueta {
    Valor,
    Percentagem,
    Descricao,
    DescricaoPercentagem,
    DescricaoValor,
    Legenda,
    PercentagemTotal,
    DescricaoPercentagemTotal,
    ValorX
};
inline constexpr int NumEstilosEtiqueta = 9;

enum class MultiBarra { Nenhuma, LadoALado, Empilhadas, Empilhadas100 }; // "Posição da barra"
enum class EstiloBarra { Retangulo, Piramide, PiramideInvertida, Cilindro, Elipse, Seta, Gradiente };
enum class MultiArea { Nenhuma, Empilhadas, Empilhadas100 }; // "Posição da área"
enum class EstiloMarcador {
    Retangulo,
    Circulo,
    Triangulo,
    TrianguloInvertido,
    Cruz,
    CruzDiagonal,
    Estrela,
    Losango,
    PontoPequeno
};

struct PontoGrafico {
    double X = 0;      // position on the bottom axis (row index for category series)
    double Y = 0;      // value; for arrows the row number
    double XFim = 0;   // arrows: end position
    double Raio = 0;   // bubbles: radius in units of the vertical axis
    std::string Texto; // the row label (1252)
    std::uint32_t Cor = CorAutomatica;
};

struct SerieGrafico {
    TipoSerie Tipo = TipoSerie::Linha;
    std::string Titulo; // legend text and the series list's row (1252)
    std::uint32_t Cor = 0;
    std::int32_t Decimais = 0; // of the column, for the marks
    bool EixoDireito = false;  // vertical axis: left or right
    bool Etiquetas = false;
    EstiloEtiqueta Etiqueta = EstiloEtiqueta::Valor;
    ::dorvan::MultiBarra MultiBarra = MultiBarra::LadoALado;
    ::dorvan::EstiloBarra EstiloBarra = EstiloBarra::Retangulo;
    int LarguraBarra = 70; // percent of the room a bar may take
    ::dorvan::MultiArea MultiArea = MultiArea::Nenhuma;
    bool Marcador = false;
    ::dorvan::EstiloMarcador FormaMarcador = EstiloMarcador::Retangulo;
    int LarguraLinha = 2;
    bool Degraus = false;
    int LarguraSeta = 32, AlturaSeta = 24; // arrow head, pixels
    std::vector<PontoGrafico> Pontos;
};

enum class EstiloRotulos { Automatico, Valor, Texto };

struct FonteGrafico {
    std::string Nome; // empty: the window's default
    int Tamanho = 0;  // points; 0: default
    bool Negrito = false, Italico = false;
    std::uint32_t Cor = 0;
    bool operator==(const FonteGrafico&) const = default;
};

struct EixoGrafico {
    bool Grade = true;
    bool Logaritmico = false;
    bool Invertido = false;
    bool MostraRotulos = true;
    EstiloRotulos Rotulos = EstiloRotulos::Automatico;
    std::string Titulo;
    FonteGrafico FonteTitulo, FonteRotulos;
    // Range: automatic, or fixed ends each of which may stay automatic.
    bool Automatico = true;
    bool MinimoAutomatico = true, MaximoAutomatico = true;
    double Minimo = 0, Maximo = 0;
};

enum class QualEixo { Esquerdo, Inferior, Direito };

struct ModeloGrafico {
    std::string Titulo;
    FonteGrafico FonteTitulo;
    bool TresD = false;
    bool Legenda = false;
    std::uint32_t CorFundo = CorBranca;
    std::string ImagemFundo; // bitmap file drawn inside the axes; empty = none
    EixoGrafico Esquerdo, Inferior, Direito;
    std::vector<SerieGrafico> Series;

    EixoGrafico& Eixo(QualEixo e) {
        return e == QualEixo::Esquerdo ? Esquerdo : e == QualEixo::Inferior ? Inferior : Direito;
    }
    const EixoGrafico& Eixo(QualEixo e) const {
        return e == QualEixo::Esquerdo ? Esquerdo : e == QualEixo::Inferior ? Inferior : Direito;
    }
};

// ---- adding series ----------------------------------------------------------------

// Creates an empty series of a kind with the next palette colour and pen width
// for the current 3D state, and returns it.
SerieGrafico& NovaSerie(ModeloGrafico& m, TipoSerie tipo);

// Fills the newest series from column c: title = the column's header, one point
// per data row 1..NumLinhas in storage order (never the totals row), the row
// label as its text. No series: nothing happens.
void CarregaSerie(ModeloGrafico& m, const TabelaResultados& t, std::int32_t c);

// Lines, bars, horizontal bars and areas: one series per column, in order. No
// column: nothing at all. Bars hide the bottom grid first, horizontal bars the
// left and right grids. Returns the number of series added.
int AcrescentaSeries(ModeloGrafico& m, const TabelaResultados& t, TipoSerie tipo,
                     const std::vector<std::int32_t>& colunas);

// Pie of one column; 0 adds nothing.
bool AcrescentaSetor(ModeloGrafico& m, const TabelaResultados& t, std::int32_t c);

// Points: x from column cx ("Ordenadas"), y from cy ("Abcissas"); titles the
// bottom axis with cx's header and the left with cy's; series title "A + B".
// A column 0 adds nothing.
bool AcrescentaPontos(ModeloGrafico& m, const TabelaResultados& t, std::int32_t cx, std::int32_t cy);
// Bubbles: as points, with radius from column cr.
bool AcrescentaBolhas(ModeloGrafico& m, const TabelaResultados& t, std::int32_t cx, std::int32_t cy, std::int32_t cr);
// Arrows from (start, i) to (end, i) for row i; blue when start > end, else red;
// series title "A --> B".
bool AcrescentaSetas(ModeloGrafico& m, const TabelaResultados& t, std::int32_t cInicio, std::int32_t cFim);

// Clears the chart: no series, all grids and labels shown, axis titles cleared,
// bottom and left labels automatic. Other axis options and the chart's own stay.
void LimpaGrafico(ModeloGrafico& m);

// 3D view on or off; line pens become 1 wide in 3D and 2 wide in 2D.
void Define3D(ModeloGrafico& m, bool tresD);

// ---- options dialogs --------------------------------------------------------------

// What the series dialog shows and returns.
struct OpcoesSerie {
    bool EixoDireito = false;
    bool Etiquetas = false;
    int Etiqueta = 0;
    int MultiBarra = 0, EstiloBarra = 0;
    bool BarrasJuntas = false;
    int MultiArea = 0;
    bool Marcador = false;
    int EstiloMarcador = 0;
    int LarguraLinha = 1;
    bool Degraus = false;
    std::uint32_t Cor = 0;
};
// Which control groups the series dialog shows for a kind.
struct ControlesSerie {
    bool Barras = false, Area = false, Marcador = false, Linha = false;
};
ControlesSerie ControlesDaSerie(TipoSerie tipo);
OpcoesSerie OpcoesDaSerie(const SerieGrafico& s);
// Writes the dialog back; list indices outside their lists are clamped and the
// line width is kept within 1..9.
void AplicaOpcoesSerie(SerieGrafico& s, const OpcoesSerie& o);
// The same for series k of a chart: the stacking of bars and areas is the chart's,
// so a new bar position reaches every series of that kind, and an area position
// every area.
void AplicaOpcoesSerie(ModeloGrafico& m, std::size_t k, const OpcoesSerie& o);
// "Série: <title>"
std::string TituloDialogoSerie(const SerieGrafico& s);

struct OpcoesEixo {
    bool Grade = true, Logaritmico = false, Invertido = false, MostraRotulos = true;
    std::string Titulo;
    FonteGrafico Fonte;
    bool MostraZero = false; // ticked when the axis is not automatic
};
OpcoesEixo OpcoesDoEixo(const EixoGrafico& e);
// Writes the axis dialog back. With MostraZero the range is widened to take 0:
// a range wholly above 0 gets minimum 0 and an automatic maximum, one wholly
// below 0 maximum 0 and an automatic minimum; unticked the axis is automatic.
void AplicaOpcoesEixo(ModeloGrafico& m, QualEixo qual, const OpcoesEixo& o);
// The hint of an axis button, the dialog's caption.
const char* NomeEixo(QualEixo e);

// ---- drawing helpers ----------------------------------------------------------------

// The data range an axis spans with its automatic settings (nullopt: no data on it).
// Category series span their row positions on the bottom axis; stacked bars and
// areas their stacked totals; horizontal bars put their values on the bottom axis.
std::optional<std::pair<double, double>> FaixaDados(const ModeloGrafico& m, QualEixo e);
// The range the axis shows: the data range with the axis's fixed ends applied.
std::optional<std::pair<double, double>> FaixaEixo(const ModeloGrafico& m, QualEixo e);

// Lower and upper edge of every point of area series k, with stacking of the
// areas before it that share its mode (stacked 100% in percent of the row sum).
std::pair<std::vector<double>, std::vector<double>> LimitesArea(const ModeloGrafico& m, std::size_t k);

// The mark of point i of series s in its mark style (1252).
std::string TextoEtiqueta(const SerieGrafico& s, std::size_t i);

// Whether the bottom axis shows the row labels of the category series.
bool InferiorComTextos(const ModeloGrafico& m);
// Whether the left axis shows row labels (horizontal bars, or arrows with text labels).
bool EsquerdoComTextos(const ModeloGrafico& m);
// The labels of the category positions: the first category series' point texts.
std::vector<std::string> TextosCategorias(const ModeloGrafico& m);

// ---- pictures -----------------------------------------------------------------------

enum class FormatoImagem { Nenhum, Metafile, Bitmap };
// ".EMF", ".WMF" and ".SVG" are pictures in vectors (written as SVG); ".BMP" and
// ".PNG" bitmaps (written as PNG). Others and no extension: Nenhum.
FormatoImagem FormatoPorNome(const std::string& arquivo);
// The save dialog's check: empty when the name may close the dialog, otherwise
// the message to show. A name without extension is refused too, since it would
// match no format and write nothing.
std::string ConfereExtensaoImagem(const std::string& arquivo);
// The file actually written: the extension becomes ".svg" or ".png", the format written.
std::string ArquivoImagem(const std::string& arquivo);

} // namespace dorvan

#pragma once
// The logic of the R plot viewer: which plot buttons show, the plot file of a
// button, where a printed picture goes on the page, and the file names a picture
// is saved under. R leaves its plots as "dorvan01.svg", "dorvan02.svg", ... in the
// folder of the run ("dorvan01.png", ... from an R without the svglite package).
#include <array>
#include <string>
#include <vector>

namespace dorvan {

// The name the plot of a button caption ("01" ... "09") is looked for under in pasta
// (ending with '/'): pasta + "dorvan01" + extensao.
std::string NomeGraficoR(const std::string& pasta, const std::string& legenda, const char* extensao = ".svg");
// Plot file of a button caption ("01" ... "09") in pasta (ending with '/'):
// pasta + "dorvan01.svg", else pasta + "dorvan01.png"; "" when there is neither.
std::string ArquivoGraficoR(const std::string& pasta, const std::string& legenda);
// Names of the plot files of a run in pasta ("dorvan??.svg", "dorvan??.png").
std::vector<std::string> GraficosR(const std::string& pasta);

// The SVG text of a plot made ready for the viewer's renderer, which follows no
// style sheet: every shape gets the drawing defaults of the sheet R's svglite
// package writes (no fill, black round strokes) as its own attributes; what an
// element says in its style attribute still wins. Other SVG comes back as it is.
std::string SvgParaDesenho(const std::string& svg);

// State of the nine plot buttons and of "Ver demais gráficos".
struct BotoesGraficoR {
    std::array<bool, 9> visivel{}; // sb01 ... sb09
    std::array<bool, 9> ativo{};   // enabled
    bool mais = false;             // bMais: a tenth plot exists
};
// What the viewer shows for the plots found in pasta (ending with '/'): sb01 and
// sb02 when a second plot exists (sb01 disabled, its plot is on show), sb03 ...
// sb09 for their plots, bMais for a tenth plot.
BotoesGraficoR EstadoBotoesGraficoR(const std::string& pasta);

// The square a picture is printed in: the smaller page side less 100 units,
// centred on the page.
struct QuadroImpressao {
    int esquerda = 0, topo = 0, lado = 0;
};
QuadroImpressao QuadroImpressaoGrafico(int larguraPagina, int alturaPagina);

// Kinds of picture the viewer shows.
enum class TipoFiguraR { Nenhum, Vetorial, Bitmap };
// By extension, any case: ".svg" (and ".wmf"/".emf", which are written as SVG
// here) are vectors, ".png" and ".bmp" bitmaps.
TipoFiguraR TipoFiguraPorNome(const std::string& arquivo);
// The name a picture of this kind is saved under: the chosen name with the
// extension its content needs (".svg" for vectors, ".png" for bitmaps).
std::string NomeParaSalvar(const std::string& escolhido, TipoFiguraR tipo);

} // namespace dorvan

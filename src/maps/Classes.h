#pragma once
// Classes of a mapped column: the 17 colour palettes, the class limits, the class of
// a value, the counts behind the class chart and the texts and boxes of the legend.
// The state lives in the results table (ColunaMapa, NumClasses, Cor, Classe, IndCor,
// MaximoMapa, MinimoMapa); the map window and the histogram share it.
#include "table/TabelaResultados.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace dorvan {

inline constexpr std::int32_t NumPaletas = 17;
inline constexpr std::int32_t CoresPorPaleta = 10;
inline constexpr std::int32_t PaletaNormal = 3;
inline constexpr std::int32_t ClassesIniciais = 5;
inline constexpr double LimiteInferiorClasses = -1e20; // Classe[0]

// A colour given as red-green-blue hexadecimal (0xRRGGBB) in the form the table
// keeps and the platform stores (0x00BBGGRR), and back.
constexpr std::uint32_t CorDeRGB(std::uint32_t rgb) {
    return ((rgb >> 16) & 0xFF) | (rgb & 0xFF00) | ((rgb & 0xFF) << 16);
}
constexpr std::uint32_t RGBDeCor(std::uint32_t cor) { return CorDeRGB(cor); }
inline constexpr std::uint32_t CorBranca = 0x00FFFFFF;
inline constexpr std::uint32_t CorPreta = 0;

// The ten colours of palette tipo (0..16; others act as 0), stored form.
const std::array<std::uint32_t, CoresPorPaleta>& Paleta(std::int32_t tipo);

// Fills Cor[1..NumClasses] from palette tipo, thinned to NumClasses colours over the
// whole ramp: the first entry, entry i·(10 div n) for i = 2..n−1, the last entry.
// Cor[NumClasses+1..10] keep the ramp's entries. With fewer than two classes all
// ten entries are loaded as they are.
void MontaPaleta(TabelaResultados& t, std::int32_t tipo);

// The default palette: palette 3 in Cor[1..10], IndCor := 3.
void CorNormal(TabelaResultados& t);

// "Muda paleta de cores": the next palette after IndCor (16 wraps to 0) into Cor.
void ProximaPaleta(TabelaResultados& t);

// How the limits are formed (the items of "Classes de ").
enum class ModoClasses : std::int32_t { IgualFrequencia = 0, IgualValor = 1, Manual = 2 };

// MaximoMapa and MinimoMapa from the data rows of ColunaMapa (0 when it has no rows
// or is not a column); Classe[0] := −1e20.
void CalculaExtremos(TabelaResultados& t);

// Fills Classe[1..NumClasses]. The last limit is MaximoMapa + 0.4/10^decimals in
// every mode, so the largest value falls in the last class. "Igual freqüência"
// takes the value at sorted position i·(NumLinhas div n) (the smallest value when
// that position is 0), read from the column's values in ascending order whatever the
// display order; "Igual valor" splits MinimoMapa..MaximoMapa into n equal steps;
// "Manual" keeps the others as typed.
void CalculaLimitesClasses(TabelaResultados& t, ModoClasses modo);

// The colour of value v: Cor[k] of the first k with Classe[k−1] < v ≤ Classe[k];
// white when none.
std::uint32_t CorDaClasse(const TabelaResultados& t, double v);

// A class limit as the chart, the limits grid and the legend show it: grouped
// fixed-point with the column's decimals, right-aligned in LarguraValor(0, MaximoMapa).
std::string FormataLimite(const TabelaResultados& t, double limite);
// A percentage as "%6.2N" followed by "%".
std::string FormataPercentual(double p);

// One class of the class chart.
struct BarraClasse {
    std::int32_t Contagem = 0;   // rows in the class
    std::string Rotulo;          // the upper limit, FormataLimite
    std::uint32_t Cor = 0;       // Cor[k]
    double Acumulado = 0;        // rows in classes 1..k, in % of NumLinhas
    std::string RotuloAcumulado; // FormataPercentual(Acumulado)
};
struct ContagemClasses {
    std::vector<BarraClasse> Barras; // classes 1..NumClasses
    std::int32_t LarguraBarra = 70;  // % of the slot: 100 in "Igual valor"
};
// ContaClasses: rows per class (Classe[k−1] < v ≤ Classe[k]; a value counts in the
// first class that holds it) and the cumulative line.
ContagemClasses ContaClasses(const TabelaResultados& t, ModoClasses modo);

// PreencheGradeFaixas: "Limite Superior", then the limits 1..NumClasses formatted.
std::vector<std::string> PreencheGradeFaixas(const TabelaResultados& t);

// EscreveLegendaDasClasses: the title of ColunaMapa, "até " + limit 1, then
// "limit k−1 --| limit k" for k = 2..NumClasses (limits trimmed).
std::vector<std::string> EscreveLegendaDasClasses(const TabelaResultados& t);

// DesenhaCaixasLegenda: boxes 1..NumClasses at the right of the map window, filled
// with their colour and a black pen; when the view is not zoomed, also the places
// of boxes NumClasses+1..10 in white with a white pen (erasing a larger legend).
struct CaixaLegenda {
    std::int32_t Classe = 0; // 1..10
    std::int32_t X1 = 0, Y1 = 0, X2 = 0, Y2 = 0;
    std::uint32_t Cor = 0;    // fill
    std::uint32_t Caneta = 0; // outline
};
std::vector<CaixaLegenda> CaixasLegenda(const TabelaResultados& t, std::int32_t larguraCliente, bool ampliado);
// The class whose box holds the point (x, y), or 0.
std::int32_t ClasseNaLegenda(const TabelaResultados& t, std::int32_t larguraCliente, std::int32_t x, std::int32_t y);

} // namespace dorvan

#pragma once
// The "Estatísticas" menu: descriptive statistics of columns, Pearson's
// correlation of two columns and simple linear regression. Each returns the text
// lines of the information window (1252 text); the regression also appends the
// fitted values as a column. Sums are taken around the mean (two passes), so data
// far from zero loses no precision, and the display order is never touched.
#include "table/TabelaResultados.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace dorvan {

// Shown where a figure does not exist (one row, a constant column).
extern const std::string TextoIndefinido;

// A number in its shortest form with up to 15 significant digits and the
// locale's decimal mark ("0,333333333333333", "2", "1E20").
std::string NumeroCurtoLocal(double valor);

// The sum of a column over the data rows, its mean (0 without rows) and the sum
// of squared deviations from that mean, taken in a second pass.
struct SomasColuna {
    double soma = 0;
    double media = 0;
    double quadrados = 0;
};
SomasColuna SomasCentradas(const TabelaResultados& t, const ColunaResultados& col);

// Lines of the statistics of column c (count, zeros, sum, mean, median, minimum,
// maximum, range, variances, deviations, coefficient of variation).
std::vector<std::string> EstatisticasColuna(const TabelaResultados& t, std::int32_t c);
// The statistics of each listed column, one after the other.
std::vector<std::string> Descritivas(const TabelaResultados& t, const std::vector<std::int32_t>& colunas);

// Pearson's r of columns a and b; nullopt when a column does not vary.
std::optional<double> CoeficienteCorrelacao(const TabelaResultados& t, std::int32_t a, std::int32_t b);
// The two lines of the correlation of columns a and b.
std::vector<std::string> Correlacao(const TabelaResultados& t, std::int32_t a, std::int32_t b);

struct AjusteLinear {
    double linear = 0;                // intercept
    double angular = 0;               // slope
    std::optional<double> correlacao; // none when y does not vary
    std::optional<double> erroPadrao; // none with fewer than 3 rows
};
// The least-squares line of y on x; nullopt when x does not vary.
std::optional<AjusteLinear> AjustaReta(const TabelaResultados& t, std::int32_t x, std::int32_t y);

// Writes the regression of y on x into linhas and appends the column "Estim_" +
// title of y holding the fitted values (true). When x does not vary the lines
// say the regression is undefined and no column is added; none either at the
// column limit.
bool Regressao(TabelaResultados& t, std::int32_t x, std::int32_t y, std::vector<std::string>& linhas);

// The menu commands, given the columns marked in the marking dialog (which the
// window opens only when PrecisaMarcar says so).
// "Descritivas de coluna": with one column its statistics, otherwise those of
// each marked column.
std::vector<std::string> DescritivasMarcadas(const TabelaResultados& t, const std::vector<std::int32_t>& marcadas);
// "Coeficiente de correlação": with exactly two columns those two, otherwise the
// first two marked; nothing when fewer than two are marked.
std::vector<std::string> CorrelacaoMarcadas(const TabelaResultados& t, const std::vector<std::int32_t>& marcadas);
// Whether the descriptive (two = false) or correlation (two = true) command must
// ask which columns to use.
bool PrecisaMarcar(const TabelaResultados& t, bool duas);

} // namespace dorvan

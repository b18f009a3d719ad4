#pragma once
// What the main window's grid does to the table when the user types in a cell,
// edits a note or the attributes of a column. Grid rows: 0 the titles, 1 the
// totals, 2.. the data in display order (LinhaReal).
#include "table/TabelaResultados.h"

#include <string>

namespace dorvan {

// The text a grid cell shows when it is edited or drawn without locale grouping:
// titles, labels (without their code when the code is hidden) and values are
// given to the caller to format; this gives the label column's text.
std::string RotuloMostrado(const TabelaResultados& t, std::int32_t linha);

// Stores what was typed into grid cell (g, c). Row 0 sets the column title, row 1
// is never stored; on a data row column 0 sets the label and a value column keeps
// only '-', digits and the decimal mark (a '-' only in front), so "1.234,5" is
// 1234.5 where ',' is the mark; an empty result or a lone '-' leaves the value.
// Anything stored marks the table modified and recomputes that column's total.
// True when something changed.
bool EditaCelula(TabelaResultados& t, std::int32_t g, std::int32_t c, const std::string& texto, char marcaDecimal);

// Sets the text of the note on (linha, coluna): creates it when absent (refused
// with "Máximo de notas foi atingido." at 100 notes), deletes it when the text is
// empty. Text is cut to 80 characters. True (and the table modified) when the
// notes changed.
bool EditaNota(TabelaResultados& t, std::int32_t linha, std::int32_t coluna, const std::string& texto);

// The text of the note on (linha, coluna), or empty.
std::string TextoNota(const TabelaResultados& t, std::int32_t linha, std::int32_t coluna);

struct AtributosColuna {
    std::string titulo;
    std::int32_t largura = LarguraInicial; // 1..100
    std::int32_t decimais = 0;             // 0..10
    TipoTotal tipoTotal = TipoTotal::Soma;
    std::string nota; // the column's note (the note of row 0)
};
AtributosColuna AtributosDe(const TabelaResultados& t, std::int32_t c);
// Stores the attributes (ranges clamped); value columns get their total again.
void AplicaAtributos(TabelaResultados& t, std::int32_t c, const AtributosColuna& a);

} // namespace dorvan

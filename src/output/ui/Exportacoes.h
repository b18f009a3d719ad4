#pragma once
// The window side of the table exports: the input box of the SPRING export, and
// the busy cursor and live window while the handheld converter runs.
#include "table/TabelaResultados.h"

#include <string>

class QWidget;

namespace dorvan {

// Asks for the SPRING object category ("Categoria de objeto para o SPRING");
// the label column's title is offered, and cancel keeps it.
std::string PerguntaCategoriaSPRING(QWidget* pai, const TabelaResultados& t);

// Asks for the category, then writes the SPRING table.
void GravaSPRINGPerguntando(QWidget* pai, const TabelaResultados& t, const std::string& arquivo);

// The handheld exports under the hourglass, with window events running while the
// converter works.
bool GravaPalmNaJanela(const TabelaResultados& t, const std::string& arquivo, const std::string& conversor);
bool GravaMobileDBNaJanela(const TabelaResultados& t, const std::string& arquivo, const std::string& conversor);

} // namespace dorvan

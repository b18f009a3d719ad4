#pragma once
// The "Editar" menu's work on the table: finding a text among the row labels,
// turning DOS-accented labels into Windows text, and the save dialog's default
// extension by file type.
#include "table/TabelaResultados.h"

#include <string>
#include <string_view>

namespace dorvan {

// Whether a row label holds texto, both compared without accents and, unless
// diferenciaMaiusculas, without letter case. An empty texto is in no label.
bool RotuloContem(std::string_view rotulo, std::string_view texto, bool diferenciaMaiusculas);

// The first grid row (2 .. NumLinhas + 1, as LinhaReal maps them) from `inicio`
// on, going down or up, whose label holds texto; 0 when none does.
std::int32_t LocalizaRotulo(const TabelaResultados& t, std::string_view texto, bool diferenciaMaiusculas,
                            bool paraBaixo, std::int32_t inicio);

// The find command's search: from the row just below the grid's top row down to
// the last, or from the row just above it up to the first (the top row itself is
// where the previous match was put).
std::int32_t LocalizaDesdeOTopo(const TabelaResultados& t, std::string_view texto, bool diferenciaMaiusculas,
                                bool paraBaixo, std::int32_t topo);

// The message of a search that found nothing: "<texto>" não encontrado!
std::string MensagemNaoEncontrado(std::string_view texto);

// Every row label from the DOS code page to the Windows one; nothing else changes
// (the table is not marked modified).
void ConverteRotulosDOS(TabelaResultados& t);

// The extension the save dialog adds to a name typed without one, by the 1-based
// index of the chosen file type; none for the SPRING type, whose files need their
// own "_tab.spr" ending, and none for an unknown index.
std::string ExtensaoDoTipoSalvar(int indice);

} // namespace dorvan

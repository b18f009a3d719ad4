#pragma once
// The last step of a run: the table is finished once every file is merged.
#include "table/LogExecucao.h"
#include "table/TabelaResultados.h"
#include "tabulation/CarregaDimensoes.h"

namespace dorvan::tabulacao {

// Column totals, empty columns and rows dropped as chosen, subtotal rows, the
// "Total" column, widths, the code prefix and the map name.
void FinalizaTabela(TabelaResultados& t, const FormaTabela& f, const OpcoesTabulacao& op, LogExecucao& log);

} // namespace dorvan::tabulacao

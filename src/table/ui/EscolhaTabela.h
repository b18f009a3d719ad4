#pragma once
// The column choosers over the results table: the main window's commands pass the
// table and the question, the titles come from the table. Every chooser answers
// "no choice" when cancelled, so a cancelled command changes nothing.
#include "table/OperacoesColunas.h"
#include "table/TabelaResultados.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace dorvan {

// Titles of columns 1..NumColunas (primeira = 1) or 0..NumColunas (primeira = 0).
std::vector<std::string> TitulosColunas(const TabelaResultados& t, std::int32_t primeira = 1);

// One column 1..NumColunas ("Escolhe Coluna"); 0 when cancelled. A table of one
// column answers 1 without asking.
std::int32_t EscolheColuna(const TabelaResultados& t, const std::string& pergunta);

// Columns 1..NumColunas marked ("Marque Colunas"), in list order; they also go
// into t.Selecionadas. None when cancelled.
std::vector<std::int32_t> MarcaColunas(TabelaResultados& t, const std::string& pergunta);

// Columns 0..NumColunas marked, the label column first ("Marque Colunas");
// into t.Selecionadas too. None when cancelled or without columns.
std::vector<std::int32_t> MarcaVariasColunas(TabelaResultados& t, const std::string& pergunta);

// One column 0..NumColunas, the label column preselected ("Escolhe Coluna");
// nullopt when cancelled; 0 without asking when the table has no columns.
std::optional<std::int32_t> EscolheUmaColuna(const TabelaResultados& t, const std::string& pergunta);

// The comparison of "Suprimir/agregar linhas" ("Escolha", "Critério de
// comparação"), the first item preselected; OK needs a selection. nullopt when
// cancelled.
std::optional<CriterioSupressao> EscolheCriterio();

} // namespace dorvan

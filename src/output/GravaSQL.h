#pragma once
// The SQL script of the results table: one CREATE TABLE and one INSERT per row,
// in stored order, code page 1252. The script runs as it is in SQLite and in
// PostgreSQL: names are made valid identifiers and every value fits its column.
// Write errors throw ErroES and leave an existing file as it was.
#include "table/TabelaResultados.h"

#include <string>
#include <string_view>
#include <vector>

namespace dorvan {

// Identifier from a title: accents removed, everything but letters, digits and
// "_" turned into "_", "_" in front of a leading digit, "_" after an SQL
// reserved word; an empty result gives `padrao`. Case is kept.
std::string NomeSQL(std::string_view titulo, std::string_view padrao);

// The table name (from the file name before its first '.'), the label column's
// and the value columns' names, all distinct ignoring case.
struct NomesSQL {
    std::string Tabela;
    std::string Rotulo;
    std::vector<std::string> Colunas; // [0] is column 1
};
NomesSQL NomesParaSQL(const TabelaResultados& t, const std::string& arquivo);

// The most columns a table of the script may have: PostgreSQL's limit (SQLite's is 2000).
inline constexpr std::int32_t MaxColunasSQL = 1600;

// A table of more columns than MaxColunasSQL (the label column included) is
// refused with a message that says so: false, nothing written.
bool GravaSQL(const TabelaResultados& t, const std::string& arquivo);

} // namespace dorvan

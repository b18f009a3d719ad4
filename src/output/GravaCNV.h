#pragma once
// Exports that need a code at the start of every row label: the conversion
// table (.CNV) that the tabulation loads back as a dimension, and the table of
// the SPRING GIS (*_tab.spr). Rows go in stored order; text is code page 1252.
#include "table/TabelaResultados.h"

#include <string>
#include <string_view>

namespace dorvan {

// Rows a .CNV can hold: its loader reads the category count and the category
// number from four characters.
inline constexpr std::int32_t MaxLinhasCNV = 9999;

// Writes "N width", then per row its number in 7 characters, two blanks, the
// name (code and name with MostraCodigo) in 51 characters and the code from
// column 61. Refused with a message (false, nothing written) for labels without
// a code, more than MaxLinhasCNV rows, or a code holding ';' or ','. The ';' of
// names is dropped (it would start a comment).
bool GravaCNV(const TabelaResultados& t, const std::string& arquivo);

// The input box that asks for the SPRING object category.
inline constexpr const char* TituloCategoriaSPRING = "Categoria de objeto para o SPRING";
inline constexpr const char* TextoCategoriaSPRING = "Entre o nome da categoria de objetos";
// The category offered: the label column's title.
std::string CategoriaPadraoSPRING(const TabelaResultados& t);

// Field name for SPRING: accents removed, upper case, only letters and "_",
// at most 8 characters.
std::string NomeCampoSPRING(std::string_view titulo);

// Writes the SPRING table with that object category. Field names are made
// distinct (also against T_KEY and T_NAME) and never empty.
void GravaSPRING(const TabelaResultados& t, const std::string& arquivo, const std::string& categoria);

} // namespace dorvan

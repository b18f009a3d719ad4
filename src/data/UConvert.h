#pragma once
// Character tables over code page 1252 text: to and from DOS code page 850 (the
// source DBF files), accent removal for matching names, case changes, and HTML
// entities for the web exports. Every routine leaves its input untouched and
// converts the whole text.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace dorvan {

using TabelaCaracteres = std::array<std::uint8_t, 256>;

// Each table gives the replacement of every byte. The tables are constant data,
// ready before any code runs.
extern const TabelaCaracteres TabAnsiOem;            // 1252 -> 850 (0xB2/0xB3 go to 0xFC/0xFD)
extern const TabelaCaracteres TabOemAnsi;            // 850 -> 1252, the 96 pairs above reversed
extern const TabelaCaracteres TabSemAcento;          // accents removed, case kept
extern const TabelaCaracteres TabMaiusculaSemAcento; // upper case without accents
extern const TabelaCaracteres TabMaiuscula;          // upper case keeping accents
extern const TabelaCaracteres TabMinuscula;          // lower case

// Passes every byte of s through the table.
std::string Converte(const TabelaCaracteres& tabela, std::string_view s);

std::string AnsiParaOem(std::string_view s);
std::string OemParaAnsi(std::string_view s);
std::string TiraAcentos(std::string_view s);
std::string MaiusculasSemAcento(std::string_view s);
std::string ParaMaiusculas(std::string_view s); // accents kept
std::string ParaMinusculas(std::string_view s);

// Turns the 30 accented letters of Portuguese, Spanish and French text into
// HTML named entities ("&ccedil;"); everything else, '&', '<' and '>' included,
// is copied as it is.
std::string ParaHTML(std::string_view s);

} // namespace dorvan

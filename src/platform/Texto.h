#pragma once
// Small text routines on 1252 bytes: blanks at the ends, ASCII letter case.
#include <string>
#include <string_view>

namespace dorvan {

// What counts as a blank differs by source: DBF fields may pad with NULs and text
// lines may keep a tab or a CR, so most callers drop every byte up to the space;
// some formats drop only spaces, or spaces and tabs.
bool EBranco(char c);      // the space and every control byte
bool EEspacoOuTab(char c); // ' ' and '\t'
bool EEspaco(char c);      // ' ' only

std::string TiraBrancos(std::string_view s, bool (*branco)(char) = EBranco);    // both ends
std::string TiraBrancosEsq(std::string_view s, bool (*branco)(char) = EBranco); // leading
std::string TiraBrancosDir(std::string_view s, bool (*branco)(char) = EBranco); // trailing

// Letter case of the ASCII letters only; accented letters stay as they are.
char MaiusculaAscii(char c);
std::string MaiusculasAscii(std::string_view s);
std::string MinusculasAscii(std::string_view s);

// The text between two `aspa`s with every `aspa` inside doubled: the one quoting
// rule of the CSV fields and SQL literals, so no reader ends the field early.
std::string EntreAspasDobradas(std::string_view s, char aspa = '"');

} // namespace dorvan

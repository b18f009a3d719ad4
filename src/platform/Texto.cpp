#include "platform/Texto.h"

namespace dorvan {

bool EBranco(char c) { return static_cast<unsigned char>(c) <= ' '; }

bool EEspacoOuTab(char c) { return c == ' ' || c == '\t'; }

bool EEspaco(char c) { return c == ' '; }

std::string TiraBrancosDir(std::string_view s, bool (*branco)(char)) {
    std::size_t f = s.size();
    while (f > 0 && branco(s[f - 1]))
        --f;
    return std::string(s.substr(0, f));
}

std::string TiraBrancosEsq(std::string_view s, bool (*branco)(char)) {
    std::size_t i = 0;
    while (i < s.size() && branco(s[i]))
        ++i;
    return std::string(s.substr(i));
}

std::string TiraBrancos(std::string_view s, bool (*branco)(char)) {
    std::size_t i = 0, f = s.size();
    while (i < f && branco(s[i]))
        ++i;
    while (f > i && branco(s[f - 1]))
        --f;
    return std::string(s.substr(i, f - i));
}

char MaiusculaAscii(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

std::string MaiusculasAscii(std::string_view s) {
    std::string r(s);
    for (char& c : r)
        c = MaiusculaAscii(c);
    return r;
}

std::string MinusculasAscii(std::string_view s) {
    std::string r(s);
    for (char& c : r)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return r;
}

std::string EntreAspasDobradas(std::string_view s, char aspa) {
    std::string r(1, aspa);
    r.reserve(s.size() + 2);
    for (char c : s) {
        r += c;
        if (c == aspa) r += c;
    }
    r += aspa;
    return r;
}

} // namespace dorvan

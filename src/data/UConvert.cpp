#include "data/UConvert.h"

#include <utility>

namespace dorvan {

namespace {

// Code page 1252 byte -> code page 850 byte for 0x83 and 0xA1..0xFF. 0xB2 and
// 0xB3 are swapped against code page 850 on purpose: stored files depend on it.
constexpr std::pair<std::uint8_t, std::uint8_t> ParesAnsiOem[] = {
    {0x83, 0x9F}, {0xA1, 0xAD}, {0xA2, 0xBD}, {0xA3, 0x9C}, {0xA4, 0xCF}, {0xA5, 0xBE}, {0xA6, 0xDD}, {0xA7, 0xF5},
    {0xA8, 0xF9}, {0xA9, 0xB8}, {0xAA, 0xA6}, {0xAB, 0xAE}, {0xAC, 0xAA}, {0xAD, 0xF0}, {0xAE, 0xA9}, {0xAF, 0xEE},
    {0xB0, 0xF8}, {0xB1, 0xF1}, {0xB2, 0xFC}, {0xB3, 0xFD}, {0xB4, 0xEF}, {0xB5, 0xE6}, {0xB6, 0xF4}, {0xB7, 0xFA},
    {0xB8, 0xF7}, {0xB9, 0xFB}, {0xBA, 0xA7}, {0xBB, 0xAF}, {0xBC, 0xAC}, {0xBD, 0xAB}, {0xBE, 0xF3}, {0xBF, 0xA8},
    {0xC0, 0xB7}, {0xC1, 0xB5}, {0xC2, 0xB6}, {0xC3, 0xC7}, {0xC4, 0x8E}, {0xC5, 0x8F}, {0xC6, 0x92}, {0xC7, 0x80},
    {0xC8, 0xD4}, {0xC9, 0x90}, {0xCA, 0xD2}, {0xCB, 0xD3}, {0xCC, 0xDE}, {0xCD, 0xD6}, {0xCE, 0xD7}, {0xCF, 0xD8},
    {0xD0, 0xD1}, {0xD1, 0xA5}, {0xD2, 0xE3}, {0xD3, 0xE0}, {0xD4, 0xE2}, {0xD5, 0xE5}, {0xD6, 0x99}, {0xD7, 0x9E},
    {0xD8, 0x9D}, {0xD9, 0xEB}, {0xDA, 0xE9}, {0xDB, 0xEA}, {0xDC, 0x9A}, {0xDD, 0xED}, {0xDE, 0xE8}, {0xDF, 0xE1},
    {0xE0, 0x85}, {0xE1, 0xA0}, {0xE2, 0x83}, {0xE3, 0xC6}, {0xE4, 0x84}, {0xE5, 0x86}, {0xE6, 0x91}, {0xE7, 0x87},
    {0xE8, 0x8A}, {0xE9, 0x82}, {0xEA, 0x88}, {0xEB, 0x89}, {0xEC, 0x8D}, {0xED, 0xA1}, {0xEE, 0x8C}, {0xEF, 0x8B},
    {0xF0, 0xD0}, {0xF1, 0xA4}, {0xF2, 0x95}, {0xF3, 0xA2}, {0xF4, 0x93}, {0xF5, 0xE4}, {0xF6, 0x94}, {0xF7, 0xF6},
    {0xF8, 0x9B}, {0xF9, 0x97}, {0xFA, 0xA3}, {0xFB, 0x96}, {0xFC, 0x81}, {0xFD, 0xEC}, {0xFE, 0xE7}, {0xFF, 0x98},
};
static_assert(std::size(ParesAnsiOem) == 96);

constexpr TabelaCaracteres Identidade() {
    TabelaCaracteres t{};
    for (int k = 0; k < 256; ++k)
        t[static_cast<std::size_t>(k)] = static_cast<std::uint8_t>(k);
    return t;
}

constexpr void Faixa(TabelaCaracteres& t, int de, int ate, char para) {
    for (int k = de; k <= ate; ++k)
        t[static_cast<std::size_t>(k)] = static_cast<std::uint8_t>(para);
}

// Each byte of [de, ate] goes to the byte at the same distance from `inicio`.
constexpr void Desloca(TabelaCaracteres& t, int de, int ate, int inicio) {
    for (int k = de; k <= ate; ++k)
        t[static_cast<std::size_t>(k)] = static_cast<std::uint8_t>(inicio + (k - de));
}

constexpr TabelaCaracteres FazAnsiOem() {
    TabelaCaracteres t = Identidade();
    for (auto [a, o] : ParesAnsiOem)
        t[a] = o;
    return t;
}

constexpr TabelaCaracteres FazOemAnsi() {
    TabelaCaracteres t = Identidade();
    for (auto [a, o] : ParesAnsiOem)
        t[o] = a;
    return t;
}

// The plain letters of the accented ones, upper or lower case as given.
constexpr void LetrasSemAcento(TabelaCaracteres& t, bool maiusculas) {
    auto m = [maiusculas](char c) { return maiusculas ? static_cast<char>(c - 'a' + 'A') : c; };
    Faixa(t, 0xC0, 0xC5, 'A');
    t[0xC7] = 'C';
    Faixa(t, 0xC8, 0xCB, 'E');
    Faixa(t, 0xCC, 0xCF, 'I');
    t[0xD1] = 'N';
    Faixa(t, 0xD2, 0xD6, 'O');
    Faixa(t, 0xD9, 0xDC, 'U');
    t[0xDD] = 'Y';
    Faixa(t, 0xE0, 0xE5, m('a'));
    t[0xE7] = static_cast<std::uint8_t>(m('c'));
    Faixa(t, 0xE8, 0xEB, m('e'));
    Faixa(t, 0xEC, 0xEF, m('i'));
    t[0xF1] = static_cast<std::uint8_t>(m('n'));
    Faixa(t, 0xF2, 0xF6, m('o'));
    Faixa(t, 0xF9, 0xFC, m('u'));
    t[0xFD] = static_cast<std::uint8_t>(m('y'));
    t[0xFF] = static_cast<std::uint8_t>(m('y'));
}

constexpr TabelaCaracteres FazSemAcento() {
    TabelaCaracteres t = Identidade();
    LetrasSemAcento(t, false);
    return t;
}

constexpr TabelaCaracteres FazMaiusculaSemAcento() {
    TabelaCaracteres t = Identidade();
    Desloca(t, 'a', 'z', 'A');
    LetrasSemAcento(t, true);
    return t;
}

// The letters that have both cases: `quantos` lower-case bytes from `minuscula`
// pair with as many upper-case ones from `maiuscula`. Both case tables read it,
// one in each direction.
struct ParCaixa {
    int minuscula, maiuscula, quantos;
};
constexpr ParCaixa ParesCaixa[] = {
    {'a', 'A', 26},  {0xE0, 0xC0, 6}, {0xE7, 0xC7, 1}, {0xE8, 0xC8, 8},
    {0xF1, 0xD1, 1}, {0xF2, 0xD2, 5}, {0xF9, 0xD9, 5},
};

constexpr TabelaCaracteres FazMaiuscula() {
    TabelaCaracteres t = Identidade();
    for (const ParCaixa& p : ParesCaixa)
        Desloca(t, p.minuscula, p.minuscula + p.quantos - 1, p.maiuscula);
    t[0xFF] = 'Y'; // the y with diaeresis becomes a plain Y
    return t;
}

constexpr TabelaCaracteres FazMinuscula() {
    TabelaCaracteres t = Identidade();
    for (const ParCaixa& p : ParesCaixa)
        Desloca(t, p.maiuscula, p.maiuscula + p.quantos - 1, p.minuscula);
    return t;
}

// The entity name of each letter ParaHTML replaces, by 1252 byte.
struct Entidade {
    std::uint8_t byte;
    const char* nome;
};
constexpr Entidade Entidades[] = {
    {0xC0, "Agrave"}, {0xC1, "Aacute"}, {0xC2, "Acirc"},  {0xC3, "Atilde"}, {0xC7, "Ccedil"}, {0xC8, "Egrave"},
    {0xC9, "Eacute"}, {0xCA, "Ecirc"},  {0xCD, "Iacute"}, {0xD2, "Ograve"}, {0xD3, "Oacute"}, {0xD4, "Ocirc"},
    {0xD5, "Otilde"}, {0xDA, "Uacute"}, {0xDC, "Uuml"},   {0xE0, "agrave"}, {0xE1, "aacute"}, {0xE2, "acirc"},
    {0xE3, "atilde"}, {0xE7, "ccedil"}, {0xE8, "egrave"}, {0xE9, "eacute"}, {0xEA, "ecirc"},  {0xED, "iacute"},
    {0xF2, "ograve"}, {0xF3, "oacute"}, {0xF4, "ocirc"},  {0xF5, "otilde"}, {0xFA, "uacute"}, {0xFC, "uuml"},
};
static_assert(std::size(Entidades) == 30);

constexpr std::array<const char*, 256> FazNomesEntidades() {
    std::array<const char*, 256> t{};
    for (const Entidade& e : Entidades)
        t[e.byte] = e.nome;
    return t;
}
constexpr std::array<const char*, 256> NomesEntidades = FazNomesEntidades();

} // namespace

constinit const TabelaCaracteres TabAnsiOem = FazAnsiOem();
constinit const TabelaCaracteres TabOemAnsi = FazOemAnsi();
constinit const TabelaCaracteres TabSemAcento = FazSemAcento();
constinit const TabelaCaracteres TabMaiusculaSemAcento = FazMaiusculaSemAcento();
constinit const TabelaCaracteres TabMaiuscula = FazMaiuscula();
constinit const TabelaCaracteres TabMinuscula = FazMinuscula();

std::string Converte(const TabelaCaracteres& tabela, std::string_view s) {
    std::string r(s.size(), '\0');
    for (std::size_t i = 0; i < s.size(); ++i)
        r[i] = static_cast<char>(tabela[static_cast<unsigned char>(s[i])]);
    return r;
}

std::string AnsiParaOem(std::string_view s) { return Converte(TabAnsiOem, s); }
std::string OemParaAnsi(std::string_view s) { return Converte(TabOemAnsi, s); }
std::string TiraAcentos(std::string_view s) { return Converte(TabSemAcento, s); }
std::string MaiusculasSemAcento(std::string_view s) { return Converte(TabMaiusculaSemAcento, s); }
std::string ParaMaiusculas(std::string_view s) { return Converte(TabMaiuscula, s); }
std::string ParaMinusculas(std::string_view s) { return Converte(TabMinuscula, s); }

std::string ParaHTML(std::string_view s) {
    std::string r;
    r.reserve(s.size());
    for (char c : s) {
        const char* nome = NomesEntidades[static_cast<unsigned char>(c)];
        if (nome) {
            r += '&';
            r += nome;
            r += ';';
        } else {
            r += c;
        }
    }
    return r;
}

} // namespace dorvan

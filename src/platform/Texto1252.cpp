#include "platform/Texto1252.h"

#include <QList>
#include <array>
#include <unordered_map>

namespace dorvan {

namespace {

// 0x80..0x9F: the only range where 1252 differs from Latin-1.
constexpr std::array<char32_t, 32> kFaixa80 = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

const std::unordered_map<char32_t, char>& TabelaInversa() {
    static const std::unordered_map<char32_t, char> tabela = [] {
        std::unordered_map<char32_t, char> t;
        for (int b = 0x80; b < 0xA0; ++b) t.emplace(kFaixa80[b - 0x80], static_cast<char>(b));
        return t;
    }();
    return tabela;
}

} // namespace

char32_t CodigoUnicode1252(unsigned char byte) {
    if (byte >= 0x80 && byte < 0xA0) return kFaixa80[byte - 0x80];
    return byte;
}

char ByteDe1252(char32_t codigo) {
    if (codigo < 0x80 || (codigo >= 0xA0 && codigo <= 0xFF)) return static_cast<char>(codigo);
    const auto& inv = TabelaInversa();
    auto it = inv.find(codigo);
    return it == inv.end() ? '?' : it->second;
}

QString ParaQString(std::string_view texto) {
    QString s;
    s.reserve(static_cast<qsizetype>(texto.size()));
    for (unsigned char c : texto) s.append(QChar(static_cast<char16_t>(CodigoUnicode1252(c))));
    return s;
}

std::string DeQString(const QString& texto) {
    std::string s;
    s.reserve(static_cast<size_t>(texto.size()));
    for (char32_t cp : texto.toUcs4()) s.push_back(ByteDe1252(cp));
    return s;
}

std::string ParaUtf8(std::string_view texto) {
    std::string s;
    s.reserve(texto.size() + texto.size() / 4);
    for (unsigned char c : texto) {
        char32_t cp = CodigoUnicode1252(c);
        if (cp < 0x80) {
            s.push_back(static_cast<char>(cp));
        } else if (cp < 0x800) {
            s.push_back(static_cast<char>(0xC0 | (cp >> 6)));
            s.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        } else {
            s.push_back(static_cast<char>(0xE0 | (cp >> 12)));
            s.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
            s.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        }
    }
    return s;
}

std::string DeUtf8(std::string_view utf8) {
    std::string s;
    s.reserve(utf8.size());
    size_t i = 0;
    while (i < utf8.size()) {
        unsigned char c = static_cast<unsigned char>(utf8[i]);
        char32_t cp;
        size_t n;
        if (c < 0x80) { cp = c; n = 1; }
        else if ((c & 0xE0) == 0xC0) { cp = c & 0x1F; n = 2; }
        else if ((c & 0xF0) == 0xE0) { cp = c & 0x0F; n = 3; }
        else if ((c & 0xF8) == 0xF0) { cp = c & 0x07; n = 4; }
        else { s.push_back('?'); ++i; continue; }
        if (i + n > utf8.size()) { s.push_back('?'); ++i; continue; }
        bool ok = true;
        for (size_t k = 1; k < n; ++k) {
            unsigned char d = static_cast<unsigned char>(utf8[i + k]);
            if ((d & 0xC0) != 0x80) { ok = false; break; }
            cp = (cp << 6) | (d & 0x3F);
        }
        if (!ok) { s.push_back('?'); ++i; continue; }
        // Overlong forms (a disguised '/' or NUL) and surrogates are not text.
        static constexpr char32_t kMinimo[] = {0, 0, 0x80, 0x800, 0x10000};
        if (cp < kMinimo[n] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) cp = 0xFFFD;
        s.push_back(ByteDe1252(cp));
        i += n;
    }
    return s;
}

} // namespace dorvan

#include "platform/Texto.h"

#include <gtest/gtest.h>

namespace dorvan {
namespace {

using namespace std::string_literals;

// Each source has its own idea of a blank: DBF fields (NUL padding), text lines
// (tabs), fixed-column formats (spaces only).
TEST(Texto, CadaFonteTiraOsSeusBrancos) {
    const std::string s = "\t\0 a b \r\0"s;
    EXPECT_EQ(TiraBrancos(s), "a b");
    EXPECT_EQ(TiraBrancosEsq(s), std::string("a b \r\0"s));
    EXPECT_EQ(TiraBrancosDir(s), std::string("\t\0 a b"s));
    EXPECT_EQ(TiraBrancos(" \ta\t ", EEspacoOuTab), "a");
    EXPECT_EQ(TiraBrancos(" \ta\t ", EEspaco), "\ta\t");
    EXPECT_EQ(TiraBrancosDir("a \t", EEspaco), "a \t");
    EXPECT_EQ(TiraBrancos("   "), "");
    EXPECT_EQ(TiraBrancos(""), "");
}

TEST(Texto, CaixaSoDasLetrasAscii) {
    EXPECT_EQ(MaiusculasAscii("a\xE7z1.dbf"), "A\xE7Z1.DBF");
    EXPECT_EQ(MinusculasAscii("A\xC7Z1.DBF"), "a\xC7z1.dbf");
    EXPECT_EQ(MaiusculaAscii('q'), 'Q');
    EXPECT_EQ(MaiusculaAscii('{'), '{');
}

// A CSV field and an SQL literal: only the quote that encloses is doubled.
TEST(Texto, EntreAspasDobraSoAAspaQueEnvolve) {
    EXPECT_EQ(EntreAspasDobradas("Ana \"A\" O'Neil"), "\"Ana \"\"A\"\" O'Neil\"");
    EXPECT_EQ(EntreAspasDobradas("O'Neil \"x\"", '\''), "'O''Neil \"x\"'");
    EXPECT_EQ(EntreAspasDobradas(""), "\"\"");
}

} // namespace
} // namespace dorvan

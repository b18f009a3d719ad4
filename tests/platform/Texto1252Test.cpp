#include "platform/Texto1252.h"

#include "support/ApoioTeste.h"

#include <gtest/gtest.h>

namespace dorvan {
namespace {

TEST(Texto1252, EveryByteRoundTripsThroughQString) {
    std::string todos;
    for (int b = 0; b < 256; ++b) todos.push_back(static_cast<char>(b));
    EXPECT_EQ(DeQString(ParaQString(todos)), todos);
    EXPECT_EQ(DeUtf8(ParaUtf8(todos)), todos);
}

TEST(Texto1252, TableAgreesWithIconvForEveryDefinedByte) {
    teste::PastaTemporaria pasta;
    std::string todos;
    for (int b = 1; b < 256; ++b)
        if (b != 0x81 && b != 0x8D && b != 0x8F && b != 0x90 && b != 0x9D) todos.push_back(static_cast<char>(b));
    std::string arquivo = pasta.Grava("cp1252.bin", todos);
    std::string utf8;
    ASSERT_EQ(teste::Executa("iconv -f CP1252 -t UTF-8 " + arquivo, &utf8), 0);
    EXPECT_EQ(ParaUtf8(todos), utf8);

    // And back: iconv reads our UTF-8 into the same 1252 bytes.
    std::string deVolta;
    ASSERT_EQ(teste::Executa("iconv -f UTF-8 -t CP1252 " + pasta.Grava("utf8.txt", ParaUtf8(todos)), &deVolta), 0);
    EXPECT_EQ(deVolta, todos);
    EXPECT_EQ(DeUtf8(utf8), todos);
}

TEST(Texto1252, CharactersOutsideTheCodePageBecomeQuestionMarks) {
    EXPECT_EQ(DeQString(QString::fromUtf8("a\u4E2Db\u20AC")), std::string("a?b\x80"));
    EXPECT_EQ(DeUtf8("\xE7\xE3o"), "??o"); // stray bytes that are not UTF-8
    EXPECT_EQ(DeUtf8("a\xC3"), "a?");      // cut sequence
    EXPECT_EQ(DeUtf8("\xE7o"), "?o");
    // Overlong forms must not smuggle in a '/' or a NUL; surrogates are not characters.
    EXPECT_EQ(DeUtf8("a\xC0\xAF" "b"), "a?b");
    EXPECT_EQ(DeUtf8("\xE0\x80\x80"), "?");
    EXPECT_EQ(DeUtf8("\xED\xA0\x80"), "?");
    EXPECT_EQ(DeUtf8("\xC3\xA7\xC3\xA3o \xE2\x82\xAC"), "\xE7\xE3o \x80");
}

} // namespace
} // namespace dorvan

#include "data/UConvert.h"

#include "support/ApoioTeste.h"

#include <gtest/gtest.h>

namespace dorvan {
namespace {

// Bytes 0x83 and 0xA1..0xFF: the ones that have a place in code page 850.
std::string BytesComPar() {
    std::string s = "\x83";
    for (int b = 0xA1; b <= 0xFF; ++b)
        s.push_back(static_cast<char>(b));
    return s;
}

std::string Iconv(const teste::PastaTemporaria& pasta, const std::string& de, const std::string& para,
                  const std::string& bytes) {
    std::string arquivo = pasta.Grava("entrada.bin", bytes);
    std::string saida;
    EXPECT_EQ(teste::Executa("iconv -f " + de + " -t " + para + " " + arquivo, &saida), 0);
    return saida;
}

TEST(TabelasCaracteres, AnsiToDosAgreesWithIconvExceptTheSuperscriptSwap) {
    teste::PastaTemporaria pasta;
    const std::string ansi = BytesComPar();
    const std::string oem = AnsiParaOem(ansi);
    std::string esperado = Iconv(pasta, "CP1252", "CP850", ansi);
    ASSERT_EQ(esperado.size(), ansi.size());
    for (std::size_t i = 0; i < ansi.size(); ++i) {
        auto a = static_cast<unsigned char>(ansi[i]);
        auto o = static_cast<unsigned char>(oem[i]);
        auto e = static_cast<unsigned char>(esperado[i]);
        SCOPED_TRACE(a);
        if (a == 0xB2) {
            EXPECT_EQ(o, 0xFC);
            EXPECT_EQ(e, 0xFD);
        } else if (a == 0xB3) {
            EXPECT_EQ(o, 0xFD);
            EXPECT_EQ(e, 0xFC);
        } else {
            EXPECT_EQ(o, e);
        }
    }
    // And the way back, from the DOS bytes to the Windows ones.
    std::string volta = Iconv(pasta, "CP850", "CP1252", oem);
    std::string nosso = OemParaAnsi(oem);
    ASSERT_EQ(volta.size(), nosso.size());
    for (std::size_t i = 0; i < nosso.size(); ++i) {
        auto o = static_cast<unsigned char>(oem[i]);
        SCOPED_TRACE(o);
        if (o == 0xFC || o == 0xFD)
            EXPECT_NE(nosso[i], volta[i]);
        else
            EXPECT_EQ(nosso[i], volta[i]);
    }
    EXPECT_EQ(nosso, ansi); // every paired byte survives the round trip
}

TEST(TabelasCaracteres, BytesWithoutCounterpartStayAndDoNotSurviveRoundTrip) {
    for (int b = 0; b < 0xA1; ++b) {
        if (b == 0x83) continue;
        EXPECT_EQ(TabAnsiOem[static_cast<std::size_t>(b)], b) << b;
    }
    EXPECT_EQ(AnsiParaOem("\x80"), "\x80");
    EXPECT_EQ(OemParaAnsi("\x80"), "\xC7"); // the euro sign comes back as a C cedilla
    // Box drawing and 0xFF of code page 850 have no pair and stay.
    EXPECT_EQ(OemParaAnsi("\xB0\xC4\xFF"), "\xB0\xC4\xFF");
}

TEST(TabelasCaracteres, RoutinesOnWords) {
    struct Caso {
        std::string (*rotina)(std::string_view);
        std::string entrada, saida;
    } casos[] = {
        {AnsiParaOem, "\xE7\xE3o", "\x87\xC6o"},
        {OemParaAnsi, "\x87\xC6o", "\xE7\xE3o"},
        {TiraAcentos, "S\xE3o Paulo", "Sao Paulo"},
        {MaiusculasSemAcento, "S\xE3o Paulo", "SAO PAULO"},
        {ParaMinusculas, "\xC1GUA", "\xE1gua"},
        {TiraAcentos, "\xC0\xC7\xC9\xCD\xD1\xD5\xDC\xDD\xE0\xE7\xEA\xEF\xF1\xF6\xFC\xFD\xFF", "ACEINOUYaceinouyy"},
        {MaiusculasSemAcento, "a\xE0\xE7\xEA\xEF\xF1\xF6\xFC\xFD\xFFz", "AACEINOUYYZ"},
        {ParaMinusculas, "AZ\xC0\xC5\xC7\xC8\xCF\xD1\xD2\xD6\xD9\xDD", "az\xE0\xE5\xE7\xE8\xEF\xF1\xF2\xF6\xF9\xFD"},
    };
    for (const Caso& c : casos)
        EXPECT_EQ(c.rotina(c.entrada), c.saida) << c.entrada;
}

TEST(TabelasCaracteres, LettersWithoutPlainFormAreLeftAlone) {
    // sharp s, ae, o slash, thorn and their capitals, eth, multiplication and division signs
    const std::string outras = "\xDF\xE6\xF8\xFE\xC6\xD0\xD7\xD8\xDE\xF0\xF7";
    EXPECT_EQ(TiraAcentos(outras), outras);
    EXPECT_EQ(MaiusculasSemAcento(outras), outras);
    EXPECT_EQ(ParaMinusculas(outras), outras);
}

TEST(TabelasCaracteres, UpperCaseTablesAgree) {
    for (int b = 0; b < 256; ++b) {
        auto u = static_cast<std::size_t>(b);
        // Upper case without accents is upper case of the text without accents.
        std::uint8_t plano = TabSemAcento[u];
        std::uint8_t maior = plano >= 'a' && plano <= 'z' ? static_cast<std::uint8_t>(plano - 32) : plano;
        EXPECT_EQ(TabMaiusculaSemAcento[u], maior) << b;
        // Lower case undoes the accent-keeping upper case (0xFF has no capital in the code page).
        if (TabMaiuscula[u] != b && b != 0xFF) {
            EXPECT_EQ(TabMinuscula[TabMaiuscula[u]], b) << b;
        }
    }
    EXPECT_EQ(TabMaiuscula[0xFF], 'Y');
    EXPECT_EQ(TabMaiuscula[0xE6], 0xE6); // ae keeps its case
}

TEST(TabelasCaracteres, LongTextsAreConvertedWhole) {
    std::string longo(70000, '\xE7');
    longo += "\xC3";
    std::string r = AnsiParaOem(longo);
    ASSERT_EQ(r.size(), longo.size());
    EXPECT_EQ(r.find_first_not_of('\x87'), 70000u);
    EXPECT_EQ(r.back(), '\xC7');
    EXPECT_EQ(OemParaAnsi(r), longo);
    EXPECT_EQ(TiraAcentos(longo).substr(69990), std::string(10, 'c') + "A");
    EXPECT_EQ(ParaHTML(longo).size(), 70000u * 8 + 8);
}

TEST(TabelasCaracteres, HtmlEntitiesForAccentedLetters) {
    EXPECT_EQ(ParaHTML("A\xE7\xE3o"), "A&ccedil;&atilde;o");
    EXPECT_EQ(ParaHTML("\xC6 & <b>"), "\xC6 & <b>");
    EXPECT_EQ(ParaHTML("\xC0\xC1\xC2\xC3\xC7\xC8\xC9\xCA\xCD\xD2\xD3\xD4\xD5\xDA\xDC"),
              "&Agrave;&Aacute;&Acirc;&Atilde;&Ccedil;&Egrave;&Eacute;&Ecirc;&Iacute;&Ograve;&Oacute;&Ocirc;"
              "&Otilde;&Uacute;&Uuml;");
    EXPECT_EQ(ParaHTML("\xE0\xE1\xE2\xE3\xE7\xE8\xE9\xEA\xED\xF2\xF3\xF4\xF5\xFA\xFC"),
              "&agrave;&aacute;&acirc;&atilde;&ccedil;&egrave;&eacute;&ecirc;&iacute;&ograve;&oacute;&ocirc;"
              "&otilde;&uacute;&uuml;");
    // Letters outside the list stay as they are.
    EXPECT_EQ(ParaHTML("\xC4\xCB\xCC\xCE\xD1\xD9\xDB\xE4\xEE\xF1\xFB"), "\xC4\xCB\xCC\xCE\xD1\xD9\xDB\xE4\xEE\xF1\xFB");
}

} // namespace
} // namespace dorvan

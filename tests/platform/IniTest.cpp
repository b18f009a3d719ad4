#include "platform/Ini.h"

#include "platform/Erros.h"
#include "support/ApoioTeste.h"

#include <gtest/gtest.h>

namespace dorvan {
namespace {

// A settings file as another program left it: LF and CR LF lines, blanks around
// names, comments, a key repeated, text with 1252 accents.
const char* const kArquivo = "; comentario\n"
                             "[Diretorios]\r\n"
                             "Mapas=C:\\Dorvan\\Mapas\\\r\n"
                             "  Salva = \r\n"
                             "[Opcoes]\n"
                             "DBF_CP850=0\n"
                             "FontFixa=Courier New\n"
                             "fontfixa=Lucida Console\n"
                             "Titulo=Popula\xE7\xE3o = total\n"
                             "linha sem igual\n"
                             "[RGrafico]\n"
                             "Top=10\n"
                             "Width=99999999999\n";

TEST(ArquivoIni, ReadsNamesIgnoringCaseAndKeepsValuesExactly) {
    ArquivoIni ini;
    ini.LeTexto(kArquivo);
    EXPECT_EQ(ini.Secoes(), (std::vector<std::string>{"Diretorios", "Opcoes", "RGrafico"}));
    EXPECT_EQ(ini.Chaves("OPCOES"), (std::vector<std::string>{"DBF_CP850", "FontFixa", "Titulo"}));
    struct Caso {
        const char *secao, *chave, *esperado;
    } casos[] = {
        {"diretorios", "MAPAS", "C:\\Dorvan\\Mapas\\"},
        {"Diretorios", "Salva", ""},
        {"Opcoes", "FONTFIXA", "Lucida Console"}, // the later line wins
        {"opcoes", "titulo", "Popula\xE7\xE3o = total"},
        {"Opcoes", "Falta", "padrao"},
        {"Nenhuma", "Mapas", "padrao"},
    };
    for (const auto& c : casos) EXPECT_EQ(ini.LeTexto(c.secao, c.chave, "padrao"), c.esperado) << c.chave;
    EXPECT_TRUE(ini.Existe("diretorios", "salva"));
    EXPECT_FALSE(ini.Existe("Diretorios", "Dados"));
}

// Many keys: each found by name in any case, a repeated one (in another case)
// taking the later value in the first one's place, and a deleted one leaving the
// rest found and in order.
TEST(ArquivoIni, ManyKeysAreFoundRepeatedAndDeletedByName) {
    std::string texto = "[Muitas]\n";
    for (int i = 0; i < 3000; ++i) texto += "Chave" + std::to_string(i) + "=" + std::to_string(i) + "\n";
    texto += "CHAVE7=sete\n[Outra]\nx=1\n[MUITAS]\nchave2999=fim\nNova=n\n";
    ArquivoIni ini;
    ini.LeTexto(texto);
    EXPECT_EQ(ini.Secoes(), (std::vector<std::string>{"Muitas", "Outra"}));
    std::vector<std::string> chaves = ini.Chaves("muitas");
    ASSERT_EQ(chaves.size(), 3001u);
    EXPECT_EQ(chaves[7], "Chave7");
    EXPECT_EQ(chaves.back(), "Nova");
    EXPECT_EQ(ini.LeTexto("Muitas", "chave7", ""), "sete");
    EXPECT_EQ(ini.LeTexto("Muitas", "Chave2999", ""), "fim");
    EXPECT_EQ(ini.LeTexto("Muitas", "CHAVE1234", ""), "1234");
    ini.ApagaChave("muitas", "CHAVE10");
    ini.ApagaChave("muitas", "naoha");
    ini.ApagaChave("naoha", "Chave1");
    EXPECT_FALSE(ini.Existe("Muitas", "Chave10"));
    EXPECT_EQ(ini.LeTexto("Muitas", "Chave11", ""), "11");
    ini.GravaTexto("muitas", "chave11", "onze");
    ini.GravaTexto("muitas", "Chave10", "dez");
    chaves = ini.Chaves("Muitas");
    ASSERT_EQ(chaves.size(), 3001u);
    EXPECT_EQ(chaves[10], "Chave11");
    EXPECT_EQ(chaves.back(), "Chave10");
    EXPECT_EQ(ini.LeTexto("MUITAS", "CHAVE11", ""), "onze");
    EXPECT_EQ(ini.LeTexto("MUITAS", "CHAVE12", ""), "12");
    // A copy finds its keys on its own.
    ArquivoIni copia = ini;
    ini.LeTexto("");
    EXPECT_EQ(copia.LeTexto("muitas", "chave10", ""), "dez");
}

TEST(ArquivoIni, NumbersAndBooleansFallBackToTheDefaultWhenUnreadable) {
    ArquivoIni ini;
    ini.LeTexto("[S]\nA=1\nB=0\nC=TRUE\nD=talvez\nE=-12\nF=12abc\nG=99999999999\nH= 7 \nI=\n");
    struct Caso {
        const char* chave;
        int inteiro;
        bool booleano;
    } casos[] = {
        {"A", 1, true},   {"B", 0, false}, {"C", -5, true},  {"D", -5, true}, {"E", -12, true},
        {"F", -5, true},  {"G", -5, true}, {"H", 7, true},   {"I", -5, true}, {"Falta", -5, true},
    };
    for (const auto& c : casos) {
        EXPECT_EQ(ini.LeInteiro("S", c.chave, -5), c.inteiro) << c.chave;
        EXPECT_EQ(ini.LeBooleano("S", c.chave, true), c.booleano) << c.chave;
    }
    EXPECT_FALSE(ini.LeBooleano("S", "I", false));
}

TEST(ArquivoIni, WritesInFirstSeenOrderWithOneZeroBooleans) {
    ArquivoIni ini;
    ini.LeTexto(kArquivo);
    ini.GravaBooleano("opcoes", "dbf_cp850", true); // keeps the name as first written
    ini.GravaBooleano("Opcoes", "MostraLog", false);
    ini.GravaInteiro("RGrafico", "width", -300);
    ini.GravaTexto("fQuery", "Top", "5");
    ini.ApagaChave("OPCOES", "titulo");
    EXPECT_EQ(ini.Texto(), "[Diretorios]\r\n"
                           "Mapas=C:\\Dorvan\\Mapas\\\r\n"
                           "Salva=\r\n"
                           "\r\n"
                           "[Opcoes]\r\n"
                           "DBF_CP850=1\r\n"
                           "FontFixa=Lucida Console\r\n"
                           "MostraLog=0\r\n"
                           "\r\n"
                           "[RGrafico]\r\n"
                           "Top=10\r\n"
                           "Width=-300\r\n"
                           "\r\n"
                           "[fQuery]\r\n"
                           "Top=5\r\n");
}

TEST(ArquivoIni, RoundTripsThroughTheFile) {
    teste::PastaTemporaria pasta;
    ArquivoIni ini(pasta / "Dorvan.ini");
    ini.Le(); // a missing file is an empty one
    EXPECT_TRUE(ini.Secoes().empty());
    ini.GravaTexto("Diretorios", "Dados", "/dados/sih");
    ini.GravaBooleano("Opcoes", "FontFixa", false);
    ini.GravaTexto("Opcoes", "XSLT", "Transforma\xE7\xE3o");
    ini.Grava();
    const std::string gravado = pasta.Le("Dorvan.ini");
    EXPECT_EQ(gravado, "[Diretorios]\r\nDados=/dados/sih\r\n\r\n[Opcoes]\r\nFontFixa=0\r\nXSLT=Transforma\xE7\xE3o\r\n");

    ArquivoIni relido(pasta / "Dorvan.ini");
    relido.Le();
    EXPECT_EQ(relido.Texto(), gravado);
    EXPECT_FALSE(relido.LeBooleano("OPCOES", "fontfixa", true));

    ArquivoIni semPasta(pasta / "falta/Dorvan.ini");
    semPasta.GravaTexto("A", "B", "C");
    EXPECT_THROW(semPasta.Grava(), ErroES);
}

} // namespace
} // namespace dorvan

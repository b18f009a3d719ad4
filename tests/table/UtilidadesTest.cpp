#include "table/Utilidades.h"

#include "platform/Mensagens.h"
#include "support/ApoioTeste.h"

#include <QCoreApplication>
#include <atomic>
#include <filesystem>
#include <gtest/gtest.h>

namespace dorvan {
namespace {

TEST(SubstituiTodos, ReplacesUntilNoneIsLeftAndRefusesEndlessReplacements) {
    struct Caso {
        const char *texto, *antigo, *novo, *esperado;
    } casos[] = {
        {"aXbXc", "X", "YY", "aYYbYYc"},
        {"aXbXc", "X", "XX", "aXbXc"},      // would never end
        {"aXbXc", "", "Y", "aXbXc"},        // nothing to look for
        {"aaaa", "aa", "a", "a"},           // each replacement searched again from the start
        {"abcabc", "abc", "", ""},
        {"xaabby", "ab", "", "xy"},          // a new occurrence made by the replacement
        {"sem nada", "Z", "W", "sem nada"},
        {"", "a", "b", ""},
    };
    for (const auto& c : casos)
        EXPECT_EQ(SubstituiTodos(c.texto, c.antigo, c.novo), c.esperado) << c.texto << " " << c.antigo;
}

TEST(SubstituiTodos, OverlapAfterTheReplacedPartIsFoundLikeASearchFromTheStart) {
    // "ab" -> "b" on "aaab": aab, ab, b.
    EXPECT_EQ(SubstituiTodos("aaab", "ab", "b"), "b");
    EXPECT_EQ(SubstituiTodos("c" + std::string(5000, 'a') + "b", "ab", "b"), "cb");
}

// The rule as it reads: search from the start, replace, and again until none is left.
std::string ProcuraDoInicio(std::string t, const std::string& antigo, const std::string& novo) {
    for (int k = 0; k < 20000; ++k) {
        std::size_t p = t.find(antigo);
        if (p == std::string::npos) return t;
        t.replace(p, antigo.size(), novo);
    }
    return "(sem fim)";
}

TEST(SubstituiTodos, GivesWhatASearchFromTheStartAfterEachReplacementGives) {
    // Every text of up to 8 letters over {a, b} against short rules, including ones
    // whose replacement makes new occurrences on either side.
    const char* regras[][2] = {{"ab", "b"},  {"ab", "ba"},  {"ba", "aab"}, {"aab", "ab"}, {"ab", ""},
                               {"aa", "b"},  {"aba", "b"},  {"b", "aa"},   {"ab", "bba"}, {"bab", "aa"},
                               {"abb", "ba"}, {"a", ""}};
    int comparados = 0;
    for (const auto& r : regras) {
        for (int n = 0; n <= 8; ++n)
            for (int bits = 0; bits < (1 << n); ++bits) {
                std::string t;
                for (int k = 0; k < n; ++k) t += (bits >> k) & 1 ? 'b' : 'a';
                std::string esperado = ProcuraDoInicio(t, r[0], r[1]);
                if (esperado == "(sem fim)") continue;
                ASSERT_EQ(SubstituiTodos(t, r[0], r[1]), esperado) << t << " " << r[0] << "->" << r[1];
                ++comparados;
            }
    }
    EXPECT_GT(comparados, 5000);
}

TEST(SubstituiTodos, LargeTextsAndManyOccurrencesAreReplacedToo) {
    std::string muitos;
    for (int i = 0; i < 300000; ++i) muitos += "1;";
    std::string esperado;
    for (int i = 0; i < 300000; ++i) esperado += "1,";
    EXPECT_EQ(SubstituiTodos(muitos, ";", ","), esperado);

    std::string grande(65u * 1024u * 1024u, 'x');
    grande += "FIM";
    std::string r = SubstituiTodos(grande, "FIM", "fim!");
    EXPECT_EQ(r.size(), grande.size() + 1);
    EXPECT_EQ(r.substr(r.size() - 5), "xfim!");
}

TEST(TextosCurtos, TrimSplitAndWords) {
    EXPECT_EQ(TiraCaractere('B', ' ', "  a  b  "), "a  b");
    EXPECT_EQ(TiraCaractere('L', ' ', "  a  "), "a  ");
    EXPECT_EQ(TiraCaractere('R', ' ', "  a  "), "  a");
    EXPECT_EQ(TiraCaractere('A', '.', "1.234.5"), "12345");
    EXPECT_EQ(TiraCaractere('X', ' ', " a "), " a ");
    EXPECT_EQ(TiraCaractere('B', ' ', "    "), "");

    std::string texto = "nome;idade;sexo", parte;
    SeparaEm(texto, ";", parte);
    EXPECT_EQ(parte, "nome");
    EXPECT_EQ(texto, "idade;sexo");
    texto = "sozinho";
    SeparaEm(texto, ";", parte);
    EXPECT_EQ(parte, "sozinho");
    EXPECT_EQ(texto, "");

    std::string frase = "  SELECT  a FROM", palavra;
    ASSERT_TRUE(ProximaPalavra(frase, palavra));
    EXPECT_EQ(palavra, "SELECT");
    EXPECT_EQ(frase, "  a FROM");
    ASSERT_TRUE(ProximaPalavra(frase, palavra));
    EXPECT_EQ(palavra, "a");
    ASSERT_TRUE(ProximaPalavra(frase, palavra));
    EXPECT_EQ(palavra, "FROM");
    EXPECT_FALSE(ProximaPalavra(frase, palavra));
    std::string brancos = "   ";
    EXPECT_FALSE(ProximaPalavra(brancos, palavra));

    EXPECT_EQ(Brancos(3), "   ");
    EXPECT_EQ(Brancos(0), "");
    EXPECT_EQ(Brancos(-2), "");
    EXPECT_EQ(Brancos(300).size(), 300u);
    EXPECT_EQ(Minimo(3, -2), -2);
    EXPECT_EQ(Maximo(3, -2), 3);
    EXPECT_EQ(BarraParaFrente("C:\\dados\\x.dbf"), "C:/dados/x.dbf");
    EXPECT_EQ(BarraParaTras("a/b/c"), "a\\b\\c");
}

TEST(LeCampoCSV, TakesFieldsInTurnKeepingQuotes) {
    const std::string linha = "\"Sao Paulo; capital\";  12 ;\"x\"y;z;\"aberto";
    std::size_t cursor = 0;
    std::string campo;
    std::vector<std::string> campos;
    while (cursor < linha.size()) {
        LeCampoCSV(linha, cursor, ';', campo);
        campos.push_back(campo);
    }
    EXPECT_EQ(campos, (std::vector<std::string>{"\"Sao Paulo; capital\"", "12 ", "\"x\"y", "z", "\"aberto"}));
    EXPECT_EQ(cursor, linha.size());

    // Doubled quotes are not special: the field ends at the first separator after the second quote.
    std::string l2 = "\"a\"\";b\";c";
    cursor = 0;
    LeCampoCSV(l2, cursor, ';', campo);
    EXPECT_EQ(campo, "\"a\"\"");
    // An empty last field after a trailing separator.
    std::string l3 = "a,";
    cursor = 0;
    LeCampoCSV(l3, cursor, ',', campo);
    EXPECT_EQ(campo, "a");
    LeCampoCSV(l3, cursor, ',', campo);
    EXPECT_EQ(campo, "");
    EXPECT_EQ(cursor, l3.size());
}

// A title is only ever the subject: '&', '=', '?', '#', '%' and blanks are
// encoded, accents go as UTF-8, and the cut at 120 never splits an escape.
TEST(EnderecoEnviarPara, EncodesTheTitleSoItCannotAddFields) {
    EXPECT_EQ(EnderecoEnviarPara("suporte@dorvan.org", "Casos&body=x&attach=/etc/passwd"),
              "mailto:suporte@dorvan.org?subject=Casos%26body%3Dx%26attach%3D%2Fetc%2Fpasswd");
    EXPECT_EQ(EnderecoEnviarPara("a@b.c", "\xD3" "bitos 100% ?#+"), "mailto:a@b.c?subject=%C3%93bitos%20100%25%20%3F%23%2B");
    EXPECT_EQ(EnderecoEnviarPara("x?cc=y@z", ""), "mailto:x%3Fcc%3Dy@z?subject=");
    const std::string url = EnderecoEnviarPara("a@b.c", std::string(200, '\xE7'));
    EXPECT_LE(url.size(), 120u);
    EXPECT_EQ((url.size() - std::string("mailto:a@b.c?subject=").size()) % 6, 0u); // whole "%C3%A7" only
}

// The words, as ProximaPalavra gives them in turn, also of a long line.
TEST(Palavras, SplitsAtBlanksAsProximaPalavraDoes) {
    EXPECT_EQ(Palavras("  Region  3 a\tb  "), (std::vector<std::string>{"Region", "3", "a\tb"}));
    EXPECT_TRUE(Palavras("   ").empty());
    std::string longa;
    for (int i = 0; i < 5000; ++i) longa += std::to_string(i % 10) + "  ";
    std::string resto = longa, palavra;
    std::vector<std::string> umaAUma;
    while (ProximaPalavra(resto, palavra)) umaAUma.push_back(palavra);
    EXPECT_EQ(Palavras(longa), umaAUma);
}

TEST(MilissegundosEntre, CountsTimeOfDayAndCrossesMidnight) {
    EXPECT_EQ(MilissegundosEntre(QTime(23, 59, 59, 0), QTime(0, 0, 1, 500)), 2500);
    EXPECT_EQ(MilissegundosEntre(QTime(10, 0, 0, 0), QTime(10, 0, 1, 250)), 1250);
    // Dates are ignored.
    EXPECT_EQ(MilissegundosEntre(QDateTime(QDate(2020, 1, 1), QTime(8, 0)), QDateTime(QDate(2024, 5, 9), QTime(9, 0))),
              3600000);
}

TEST(Potencia, RaisesPositiveBasesAndGivesZeroOtherwise) {
    EXPECT_DOUBLE_EQ(Potencia(0.5, 9), 3.0);
    EXPECT_DOUBLE_EQ(Potencia(2, 10), 100.0);
    EXPECT_EQ(Potencia(2, -8), 0.0);
    EXPECT_EQ(Potencia(2, 0), 0.0);
}

TEST(DiretorioExiste, AcceptsOneTrailingSlashAndIgnoresCase) {
    teste::PastaTemporaria pasta;
    std::filesystem::create_directories(pasta.Caminho() / "Dados");
    pasta.Grava("arquivo.txt", "x");
    EXPECT_TRUE(DiretorioExiste(pasta / "Dados"));
    EXPECT_TRUE(DiretorioExiste(pasta / "Dados/"));
    EXPECT_TRUE(DiretorioExiste(pasta / "Dados\\"));
    EXPECT_TRUE(DiretorioExiste(pasta / "DADOS"));
    EXPECT_FALSE(DiretorioExiste(pasta / "arquivo.txt"));
    EXPECT_FALSE(DiretorioExiste(pasta / "falta"));
    EXPECT_FALSE(DiretorioExiste(""));
    EXPECT_TRUE(DiretorioExiste("/"));
    EXPECT_TRUE(DiretorioExiste(DiretorioTemporario()));
}

TEST(ExecutaPrograma, WaitsForTheExitCodeAndPassesArgumentsUnchanged) {
    teste::PastaTemporaria pasta;
    std::string saida = pasta / "saida.txt";
    // An argument with blanks, quotes and a ';' reaches the program as one piece.
    int r = ExecutaPrograma("sh", {"-c", "printf '%s' \"$1\" > \"$2\"; exit 7", "sh", "a b'\"; rm -rf x", saida},
                            SW_ESCONDIDA, true);
    EXPECT_EQ(r, 7);
    EXPECT_EQ(pasta.Le("saida.txt"), "a b'\"; rm -rf x");
    EXPECT_EQ(ExecutaPrograma("true", {}, SW_NORMAL, false), 0);
}

TEST(ExecutaPrograma, KeepsCallingTheWaitHookWhileTheProgramRuns) {
    std::atomic<int> chamadas{0};
    DefineEnquantoEspera([&] { ++chamadas; });
    EXPECT_EQ(ExecutaPrograma("sleep", {"0.3"}, SW_ESCONDIDA, true), 0);
    DefineEnquantoEspera({});
    EXPECT_GE(chamadas.load(), 3);
}

TEST(ExecutaPrograma, AProgramThatCannotStartRaisesTheSystemCode) {
    try {
        ExecutaPrograma("/nao/existe/programa", {}, SW_NORMAL, true);
        FAIL() << "no error";
    } catch (const ErroPrograma& e) {
        EXPECT_STREQ(e.what(), "Falha ao executar programa. C\xF3" "digo de erro 2");
        EXPECT_EQ(e.Codigo(), 2);
    }
    teste::PastaTemporaria pasta;
    std::string semPermissao = pasta.Grava("script.sh", "#!/bin/sh\nexit 0\n");
    EXPECT_THROW(ExecutaPrograma(semPermissao, {}, SW_NORMAL, true), ErroPrograma);
}

TEST(ExploreWeb, ReportsMissingFilesAndOpenerFailuresWithTheirCaptions) {
    teste::PastaTemporaria pasta;
    std::string doc = pasta.Grava("leia.html", "<p>");
    std::vector<std::string> abertos;
    int resposta = 42;
    DefineAbridorDocumentos([&](const std::string& a) {
        abertos.push_back(a);
        return resposta;
    });
    MensagensRoteiro roteiro;
    UsaMensagens usa(roteiro);
    for (int i = 0; i < 4; ++i) roteiro.Responde("0");

    ExploreWeb(doc);
    ExploreWeb("https://exemplo.org/pagina");
    ExploreWeb(pasta / "falta.html");
    ExploreWeb(pasta / "sem/pasta/falta.html");
    resposta = 31;
    ExploreWeb(doc);
    resposta = 11;
    ExploreWeb(doc);

    EXPECT_EQ(abertos, (std::vector<std::string>{doc, "https://exemplo.org/pagina", doc, doc}));
    ASSERT_EQ(roteiro.Registros().size(), 4u);
    EXPECT_EQ(roteiro.Registros()[0].titulo, "Erro em ExploreWeb");
    EXPECT_EQ(roteiro.Registros()[0].texto, "File not found");
    EXPECT_EQ(roteiro.Registros()[1].texto, "Path not found");
    EXPECT_EQ(roteiro.Registros()[2].titulo, "Error ExploreWeb");
    EXPECT_EQ(roteiro.Registros()[2].texto, "Error Nr: 31 in ShellExecute");
    EXPECT_EQ(roteiro.Registros()[3].titulo, "Erro em ExploreWeb");
    EXPECT_EQ(roteiro.Registros()[3].texto, "Wrong format in EXE");
}

} // namespace
} // namespace dorvan

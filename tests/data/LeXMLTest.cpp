#include "data/LeXML.h"

#include "platform/Erros.h"
#include "support/ApoioTeste.h"

#include <gtest/gtest.h>

#include <random>

namespace dorvan {
namespace {

TEST(TextoTag, WholeFileIsReadByteForByte) {
    teste::PastaTemporaria pasta;
    std::string bytes("<a>\r\nx\0y\xE7\r\n", 11);
    std::string nome = pasta.Grava("esquema.rx", bytes);
    EXPECT_EQ(LeArquivoTexto(nome), bytes);
    EXPECT_THROW(LeArquivoTexto(pasta / "falta.rx"), ErroES);
}

TEST(TextoTag, ContentOfNamedElement) {
    struct Caso {
        const char* tag;
        std::string texto, valor;
    } casos[] = {
        {"titulo", "<r><titulo>  Minha an\xE1lise \t\r\n</titulo></r>", "Minha an\xE1lise"},
        {"titulo", "<titulo id=\"1\">x</titulo>", ""}, // attributes in the start tag
        {"titulo", "<Titulo>x</Titulo>", ""},          // case matters
        {"titulo", "</titulo><titulo>x", ""},          // closing marker first
        {"titulo", "<titulo>x", ""},                   // no closing marker
        {"titulo", "x</titulo>", ""},                  // no opening marker
        {"a", "<a></a>", ""},
        {"a", "<a>\x01 \x1F</a>", ""},                  // only blanks and controls
        {"a", "<a><a>x</a></a>", "<a>x"},               // no nesting
        {"a", "<a>1 &amp; 2</a><a>3</a>", "1 &amp; 2"}, // first element, entities kept
        {"a", "<a>", ""},                               // "</a>" nowhere
        {"", "<>v</>", "v"},
    };
    for (const Caso& c : casos)
        EXPECT_EQ(TextoDaTag(c.tag, c.texto), c.valor) << c.texto;
}

TEST(TextoTag, ClosingMarkerInsideTheOpeningOneGivesNothing) {
    // "</a></a>" is found at 3, inside the opening marker "<a></a>" that ends at 7.
    EXPECT_EQ(TextoDaTag("a></a", "<a></a></a>"), "");
    EXPECT_EQ(TextoDaTag("a></a", "<a></a> x </a></a>"), "x");
}

TEST(Atributos, QuotedValuesUpToTheClosingBracket) {
    std::string s = "  lat=\"15.5\" lon='47.9'>resto <x>";
    std::vector<std::string> lista{"velho"};
    EXPECT_TRUE(LeAtributos(s, lista));
    EXPECT_EQ(lista, (std::vector<std::string>{"lat=15.5", "lon=47.9"}));
    EXPECT_EQ(s, ">resto <x>");
}

TEST(Atributos, EarlyEnds) {
    struct Caso {
        std::string entrada;
        bool resultado;
        std::vector<std::string> lista;
        std::string resto;
    } casos[] = {
        {"  a=\"1\"", false, {}, "a=\"1\""},            // no '>': only blanks removed
        {" >a=\"1\">", false, {}, "a=\"1\">"},          // '>' first is removed
        {"semigual>", false, {}, "semigual>"},          // no '='
        {"a>b=\"1\"", false, {}, "a>b=\"1\""},          // '>' before '='
        {"a=\"\">", true, {"a="}, ">"},                 // empty value
        {"a=\"1\" b>", false, {"a=1"}, "b>"},           // second attribute without '='
        {"a=\"1\"b=\"2\">", true, {"a=1\"b=\"2"}, ">"}, // quotes kept where no blank separates
        {"a=>", false, {}, "a=>"},                      // no room for quotes
        {"a= \"1\">", false, {}, "a= \"1\">"},
        {"=\"\">", true, {"="}, ">"},
    };
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.entrada);
        std::string s = c.entrada;
        std::vector<std::string> lista;
        EXPECT_EQ(LeAtributos(s, lista), c.resultado);
        EXPECT_EQ(lista, c.lista);
        EXPECT_EQ(s, c.resto);
    }
}

TEST(Atributos, AnyInputEndsWithoutReadingOutsideTheText) {
    std::mt19937 gerador(11);
    const char alfabeto[] = "= \"'>ab";
    for (int i = 0; i < 20000; ++i) {
        std::string s;
        int tamanho = static_cast<int>(gerador() % 12);
        for (int j = 0; j < tamanho; ++j)
            s += alfabeto[gerador() % 7];
        std::string original = s;
        std::vector<std::string> lista;
        bool ok = LeAtributos(s, lista);
        ASSERT_LE(s.size(), original.size()) << original;
        if (ok) {
            ASSERT_EQ(s.front(), '>') << original;
        }
    }
}

TEST(Entidades, BasicEntitiesBothWays) {
    struct Caso {
        std::string (*rotina)(std::string_view);
        std::string entrada, saida;
    } casos[] = {
        {FazEntidadesXML, "A&B", "A&amp;B"},
        {FazEntidadesXML, "A&amp;B", "A&amp;B"},
        {FazEntidadesXML, "&lt;", "&amp;lt;"},
        {FazEntidadesXML, "\"<'>&", "&quot;&lt;'&gt;&amp;"},
        {FazEntidadesXML, "&am", "&amp;am"},
        {DesfazEntidadesXML, "A&amp;B", "A&B"},
        {DesfazEntidadesXML, "&quot;&lt;&gt;&apos;&amp;amp;", "\"<>&apos;&amp;"},
        {DesfazEntidadesXML, "&&lt&gt", "&&lt&gt"},
        {DesfazEntidadesXML, "fim&", "fim&"},
    };
    for (const Caso& c : casos)
        EXPECT_EQ(c.rotina(c.entrada), c.saida) << c.entrada;
}

} // namespace
} // namespace dorvan

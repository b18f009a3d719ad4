#include "output/GravaXML.h"

#include "Fixture.h"

#include <QLocale>

namespace dorvan {
namespace {

using teste::Linhas;
using teste::PastaTemporaria;
using teste::TabelaExemplo;

TEST(NomeTagXML, MakesAValidElementNameFromAnyTitle) {
    const std::vector<std::pair<std::string, std::string>> casos = {
        {"Popula\xE7\xE3o", "Popula\xE7\xE3o"}, // a letter first: no prefix, accents stay
        {"1991", "_1991"},                      // a digit first: "_" in front, the digit kept
        {"\xC9"
         "bitos",
         "_\xC9"
         "bitos"}, // an accented capital first likewise
        {"Taxa/100 mil", "Taxa_100_mil"},
        {"a+b.c:d<e>f", "a_b_c_d_e_f"},
        {"a-b\xB7"
         "c",
         "a-b\xB7"
         "c"},           // name characters stay
        {"<x", "__x"},   // "<" or ">" first would make no name
        {"[x]", "__x_"}, // signs between Z and a cannot start or stand in a name
        {"_a", "_a"},
        {" a", "__a"},
        {"x\x80y\xD7z", "x_y_z"}, // 1252-only bytes and the multiplication sign
        {"", "_"},
    };
    for (const auto& [titulo, esperado] : casos)
        EXPECT_EQ(NomeTagXML(titulo), esperado) << titulo;
}

const std::string XMLEsperado = Linhas({
    "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>",
    "<Tabela>",
    "  <Titulo1>Popula\xE7\xE3o residente</Titulo1>",
    "  <Titulo2>Brasil &amp; regi\xF5"
    "es &lt;2020&gt;</Titulo2>",
    "  <Rodape>Fonte: \"IBGE\"; 2020</Rodape>",
    "  <NomeMapa>mapas\\regiao.map</NomeMapa>",
    "<Log>",
    "Tabula\xE7\xE3o de teste",
    "linha &lt;2&gt; &amp; fim",
    "</Log>",
    "  <Nota Numero=\"1\" Linha=\"0\" Coluna=\"1\">Fonte censo</Nota>",
    "  <Nota Numero=\"2\" Linha=\"2\" Coluna=\"2\">Estimativa &amp; &lt;corrigida&gt;</Nota>",
    "  <Nota Numero=\"3\" Linha=\"-1\" Coluna=\"1\">total</Nota>",
    "  <Linha>",
    "    <Codigo>11</Codigo>",
    "    <Nome>Norte \"grande\", 'amaz\xF4nia'</Nome>",
    "    <Popula\xE7\xE3o>1000</Popula\xE7\xE3o>",
    "    <Taxa_100_mil>1.50</Taxa_100_mil>",
    "    <_1991>3</_1991>",
    "  </Linha>",
    "  <Linha>",
    "    <Codigo>12</Codigo>",
    "    <Nome>Nordeste; &amp; &lt;sert\xE3o&gt;</Nome>",
    "    <Popula\xE7\xE3o>25000</Popula\xE7\xE3o>",
    "    <Taxa_100_mil>-2.25</Taxa_100_mil>",
    "    <_1991>0</_1991>",
    "  </Linha>",
    "  <Linha>",
    "    <Codigo>13</Codigo>",
    "    <Nome>S\xE3o Paulo &#8364; euro</Nome>",
    "    <Popula\xE7\xE3o>0</Popula\xE7\xE3o>",
    "    <Taxa_100_mil>0.00</Taxa_100_mil>",
    "    <_1991>7</_1991>",
    "  </Linha>",
    "  <Linha>",
    "    <Codigo>14</Codigo>",
    "    <Nome>Sul</Nome>",
    "    <Popula\xE7\xE3o>123456789</Popula\xE7\xE3o>",
    "    <Taxa_100_mil>10.13</Taxa_100_mil>",
    "    <_1991>0</_1991>",
    "  </Linha>",
    "</Tabela>",
});

TEST(GravaXML, WritesTitlesLogNotesAndRowsWithEscapedText) {
    PastaTemporaria p;
    GravaXML(TabelaExemplo(), p / "tabela.xml", teste::LogExemplo);
    EXPECT_EQ(p.Le("tabela.xml"), XMLEsperado);
}

TEST(GravaXML, XmllintAcceptsTheDocumentAndLabelsDecodeToTheOriginal) {
    PastaTemporaria p;
    const TabelaResultados t = TabelaExemplo();
    GravaXML(t, p / "tabela.xml", teste::LogExemplo);
    std::string saida;
    EXPECT_EQ(teste::Executa("xmllint --noout '" + (p / "tabela.xml") + "' 2>&1", &saida), 0);
    EXPECT_EQ(saida, "");
    for (std::int32_t r : {1, 2, 3}) {
        ASSERT_EQ(teste::Executa("xmllint --xpath 'string(/Tabela/Linha[" + std::to_string(r) + "]/Nome)' '" +
                                     (p / "tabela.xml") + "'",
                                 &saida),
                  0);
        EXPECT_EQ(saida, ParaUtf8(t.Rotulo(r).substr(3)) + "\n");
    }
}

TEST(GravaXML, WithoutCodesTheWholeLabelIsTheNameAndAnEmptyLogIsLeftOut) {
    PastaTemporaria p;
    TabelaResultados t = TabelaExemplo();
    t.TamCodigo = SemCodigo;
    GravaXML(t, p / "t.xml");
    const std::string s = p.Le("t.xml");
    EXPECT_EQ(s.find("<Log>"), std::string::npos);
    EXPECT_EQ(s.find("<Codigo>"), std::string::npos);
    EXPECT_NE(s.find("    <Nome>14 Sul</Nome>\r\n"), std::string::npos);
}

// The page with the user's fragments, in the Brazilian number form.
std::string PaginaEsperada() {
    return Linhas({
        "<!DOCTYPE html PUBLIC \"-//W3C//DTD XHTML 1.0 Transitional//EN\" "
        "\"http://www.w3.org/TR/xhtml1/DTD/xhtml1-transitional.dtd\">",
        "<html>",
        "<head>",
        "<title>Popula&ccedil;&atilde;o residente</title>",
        "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=windows-1252\" />",
        "</head>",
        "<body bgcolor=\"#FFFFFF\">",
        "<p>In\xED"
        "cio</p>",
        "<center>",
        "<h1 align=\"center\">",
        "Popula&ccedil;&atilde;o residente",
        "</h1>",
        "<h2 align=\"center\">",
        "Brasil &amp; regi&otilde;es &lt;2020&gt;",
        "</h2>",
        "",
        "<table width=100%>",
        "<tr align=\"right\" bgcolor=\"#C0C0C0\">",
        "<th align=\"left\">Regi&atilde;o</th><td><a href=\"#1\"><font size=\"-2\">(1)</font></a>"
        "Popula&ccedil;&atilde;o</td><td>Taxa/100 mil</td><td>1991</td>",
        "</tr>",
        "<tr align=\"right\">",
        "<th align=\"left\"> TOTAL </th><td><a href=\"#3\"><font size=\"-2\">(3)</font></a>123.482.789</td>"
        "<td>9,38</td><td>10</td>",
        "</tr>",
        "<tr align=\"right\">",
        "<th align=\"left\">14 Sul</th><td>123.456.789</td><td>10,13</td><td>-</td>",
        "</tr>",
        "<tr align=\"right\">",
        "<th align=\"left\">12 Nordeste; &amp; &lt;sert&atilde;o&gt;</th><td>25.000</td>"
        "<td><a href=\"#2\"><font size=\"-2\">(2)</font></a>-2,25</td><td>-</td>",
        "</tr>",
        "<tr align=\"right\">",
        "<th align=\"left\">11 Norte \"grande\", 'amaz&ocirc;nia'</th><td>1.000</td><td>1,50</td><td>3</td>",
        "</tr>",
        "<tr align=\"right\">",
        "<th align=\"left\">13 S&atilde;o Paulo \x80 euro</th><td>-</td><td>-</td><td>7</td>",
        "</tr>",
        "</table>",
        "</center>",
        "<p />",
        "Fonte: \"IBGE\"; 2020<p />",
        "<font size=\"-1\">",
        "<a name=\"1\">(1)</a>Fonte; censo<br />",
        "<a name=\"2\">(2)</a>Estimativa &amp; &lt;corrigida&gt;<br />",
        "<a name=\"3\">(3)</a>total<br />",
        "</font>",
        "<p>Fim</p>",
        "</body>",
        "</html>",
    });
}

class GravaHTMLTest : public ::testing::Test {
protected:
    void SetUp() override { QLocale::setDefault(QLocale(QLocale::Portuguese, QLocale::Brazil)); }
    void TearDown() override { QLocale::setDefault(QLocale::c()); }
};

TEST_F(GravaHTMLTest, WritesTotalsFirstThenRowsInDisplayOrderWithZerosAsDashes) {
    PastaTemporaria p;
    p.Grava("INICIO.HTM", "<p>In\xED"
                          "cio</p>\r\n");
    p.Grava("termino.htm", "<p>Fim</p>\n");
    GravaHTML(TabelaExemplo(), p / "tabela.htm", p.Caminho().string());
    EXPECT_EQ(p.Le("tabela.htm"), PaginaEsperada());
}

TEST_F(GravaHTMLTest, XmllintReadsThePageAsHtml) {
    PastaTemporaria p;
    GravaHTML(TabelaExemplo(), p / "tabela.htm", p.Caminho().string());
    std::string saida;
    EXPECT_EQ(teste::Executa("xmllint --html --noout '" + (p / "tabela.htm") + "' 2>&1", &saida), 0);
    EXPECT_EQ(saida, "");
    ASSERT_EQ(teste::Executa("xmllint --html --xpath 'string(//tr[6]/th)' '" + (p / "tabela.htm") + "'", &saida), 0);
    EXPECT_EQ(saida, ParaUtf8("13 S\xE3o Paulo \x80 euro") + "\n");
}

TEST_F(GravaHTMLTest, LongLinesOfTheStartFragmentAreCut) {
    PastaTemporaria p;
    p.Grava("inicio.htm", std::string(300, 'x') + "\n");
    GravaHTML(TabelaExemplo(), p / "t.htm", p.Caminho().string());
    const std::string s = p.Le("t.htm");
    EXPECT_NE(s.find("\r\n" + std::string(255, 'x') + "\r\n<center>"), std::string::npos);
}

} // namespace
} // namespace dorvan

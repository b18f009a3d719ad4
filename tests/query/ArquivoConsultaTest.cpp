#include "query/ArquivoConsulta.h"

#include "platform/Mensagens.h"
#include "support/ApoioTeste.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace dorvan {
namespace {

using Linhas = std::vector<std::string>;

ConsultaSalva Exemplo() {
    return {"Casos por m\xEAs", "Saude", "ano", {"select mes, count(*)", "from casos where ano = :ano", "group by mes"}};
}

TEST(ConsultaSQL, WritesTheThreeHeaderLinesAndReadsThemBack) {
    teste::PastaTemporaria pasta;
    GravaConsultaSQL(pasta / "q.sql", Exemplo());
    EXPECT_EQ(pasta.Le("q.sql"), "#Casos por m\xEAs\r\n#Saude\r\n#ano\r\nselect mes, count(*)\r\n"
                                 "from casos where ano = :ano\r\ngroup by mes\r\n");
    ConsultaSalva c = LeConsultaSQL(pasta / "q.sql");
    EXPECT_EQ(c.titulo, "Casos por m\xEAs");
    EXPECT_EQ(c.alias, "Saude");
    EXPECT_EQ(c.parametro, "ano");
    EXPECT_EQ(c.linhas, Exemplo().linhas);

    // An empty title still writes its '#', and reads back empty.
    GravaConsultaSQL(pasta / "v.sql", {"", "", "", {"select 1"}});
    EXPECT_EQ(pasta.Le("v.sql"), "#\r\n#\r\n#\r\nselect 1\r\n");
    ConsultaSalva v = LeConsultaSQL(pasta / "v.sql");
    EXPECT_EQ(v.titulo, "");
    EXPECT_EQ(v.linhas, Linhas{"select 1"});
}

TEST(ConsultaSQL, HeaderLinesAreTakenOnlyWhileTheyBeginWithHash) {
    struct Caso {
        const char* nome;
        const char* texto;
        const char* titulo;
        const char* alias;
        const char* parametro;
        Linhas linhas;
    } casos[] = {
        {"no header", "select a\nfrom t\n", "", "", "", {"select a", "from t"}},
        {"empty first line", "\n#T\nselect 1", "", "", "", {"", "#T", "select 1"}},
        {"title only", "#T\nselect 1\r\n", "T", "", "", {"select 1"}},
        {"blank line ends header", "#T\n\n#x\nselect 1", "T", "", "", {"", "#x", "select 1"}},
        {"a fourth # line is SQL", "#T\n#A\n#p\n#resto\n", "T", "A", "p", {"#resto"}},
        {"CR line ends", "#T\r#A\r#p\rselect 2\r", "T", "A", "p", {"select 2"}},
    };
    teste::PastaTemporaria pasta;
    for (const auto& c : casos) {
        ConsultaSalva lida = LeConsultaSQL(pasta.Grava("c.sql", c.texto));
        EXPECT_EQ(lida.titulo, c.titulo) << c.nome;
        EXPECT_EQ(lida.alias, c.alias) << c.nome;
        EXPECT_EQ(lida.parametro, c.parametro) << c.nome;
        EXPECT_EQ(lida.linhas, c.linhas) << c.nome;
    }
}

TEST(ConsultaXML, WritesElementsAsTheyAreAndParamOnlyWhenNotBlank) {
    teste::PastaTemporaria pasta;
    GravaConsultaXML(pasta / "q.xml", Exemplo());
    EXPECT_EQ(pasta.Le("q.xml"), "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\r\n<Consulta>\r\n"
                                 "<Titulo>Casos por m\xEAs</Titulo>\r\n<Database>Saude</Database>\r\n"
                                 "<SQL>select mes, count(*)\r\nfrom casos where ano = :ano\r\ngroup by mes\r\n</SQL>\r\n"
                                 "<Param>ano</Param>\r\n</Consulta>\r\n");
    ConsultaSalva c = LeConsultaXML(pasta / "q.xml");
    EXPECT_EQ(c.titulo, Exemplo().titulo);
    EXPECT_EQ(c.alias, "Saude");
    EXPECT_EQ(c.parametro, "ano");
    EXPECT_EQ(c.linhas, Exemplo().linhas);

    ConsultaSalva semParametro = Exemplo();
    semParametro.parametro = "  ";
    GravaConsultaXML(pasta / "s.xml", semParametro);
    EXPECT_EQ(pasta.Le("s.xml").find("<Param>"), std::string::npos);

    // The file is well-formed XML in the encoding it declares.
    std::string saida;
    EXPECT_EQ(teste::Executa("xmllint --noout '" + (pasta / "q.xml") + "' 2>&1", &saida), 0) << saida;
    EXPECT_EQ(teste::Executa("xmllint --xpath 'string(/Consulta/Titulo)' '" + (pasta / "q.xml") + "'", &saida), 0);
    EXPECT_EQ(saida, "Casos por m\xC3\xAAs\n"); // UTF-8 from xmllint
}

TEST(ScriptR, WarnsAndStillWritesAScriptRParses) {
    teste::PastaTemporaria pasta;
    ConsultaSalva c = Exemplo();
    c.titulo = "  Casos \"novos\" \\ ";
    c.linhas = {"select nome, \"valor\" from t", "where nome like 'a\\_%'"};
    MensagensRoteiro msg;
    {
        UsaMensagens usa(msg);
        GravaScriptR(pasta / "q.r", c, "STANDARD");
    }
    EXPECT_EQ(msg.Textos(), (Linhas{"ano: Par\xE2metro de texto n\xE3o suportado por RODBC",
                                    "Driver=STANDARD :Somente \"Alias\" do tipo ODBC podem ser acessados pelo R"}));
    EXPECT_EQ(pasta.Le("q.r"), "library(RODBC)\r\n"
                               "titulo=\"Casos \\\"novos\\\" \\\\\"\r\n"
                               "rodape=\"Executado sobre Saude\"\r\n"
                               "db = odbcConnect(\"Saude\")\r\n"
                               "tabela = sqlQuery(db,\"select nome, 'valor' from t\r\nwhere nome like 'a\\\\_%'\")\r\n"
                               "odbcClose(db)\r\n"
                               "rownames(tabela) = tabela[,1]\r\n"
                               "tabela=tabela[2:length(tabela)]\r\n");
    // R itself reads the strings back as they were meant.
    std::string saida;
    const std::string r = "Rscript -e 'e <- parse(\"" + (pasta / "q.r") +
                          "\"); cat(e[[2]][[3]], \"|\", e[[5]][[3]][[3]], sep=\"\")' 2>&1";
    ASSERT_EQ(teste::Executa(r, &saida), 0) << saida;
    EXPECT_EQ(saida, "Casos \"novos\" \\|select nome, 'valor' from t\nwhere nome like 'a\\_%'");

    msg.Limpa();
    c.parametro.clear();
    {
        UsaMensagens usa(msg);
        GravaScriptR(pasta / "o.r", c, "ODBC");
    }
    EXPECT_TRUE(msg.Textos().empty());
}

// R reads scripts as UTF-8 here: accents in the title and the query must reach it whole.
TEST(ScriptR, AccentsReachRWhole) {
    teste::PastaTemporaria pasta;
    ConsultaSalva c = Exemplo();
    c.parametro.clear();
    c.titulo = "\xD3" "bitos por m\xEAs";
    c.linhas = {"select * from t where nome = 'S\xE3o Paulo'"};
    MensagensRoteiro msg;
    {
        UsaMensagens usa(msg);
        GravaScriptR(pasta / "a.r", c, "ODBC");
    }
    std::string saida;
    const std::string r = "Rscript -e 'e <- parse(\"" + (pasta / "a.r") +
                          "\", encoding=\"UTF-8\"); cat(e[[2]][[3]], \"|\", e[[5]][[3]][[3]], sep=\"\")' 2>&1";
    ASSERT_EQ(teste::Executa(r, &saida), 0) << saida;
    EXPECT_EQ(saida, "\xC3\x93" "bitos por m\xC3\xAAs|select * from t where nome = 'S\xC3\xA3o Paulo'");
}

TEST(GravaConsultaPorExtensao, TheExtensionInAnyCaseChoosesTheFormAndOthersWriteNothing) {
    teste::PastaTemporaria pasta;
    MensagensRoteiro msg;
    UsaMensagens usa(msg);
    EXPECT_TRUE(GravaConsultaPorExtensao(pasta / "a.SQL", Exemplo(), "ODBC"));
    EXPECT_EQ(pasta.Le("a.SQL").substr(0, 3), "#Ca");
    EXPECT_TRUE(GravaConsultaPorExtensao(pasta / "b.Xml", Exemplo(), "ODBC"));
    EXPECT_EQ(pasta.Le("b.Xml").substr(0, 5), "<?xml");
    EXPECT_TRUE(GravaConsultaPorExtensao(pasta / "c.R", Exemplo(), "ODBC"));
    EXPECT_EQ(pasta.Le("c.R").substr(0, 14), "library(RODBC)");
    EXPECT_FALSE(GravaConsultaPorExtensao(pasta / "d.txt", Exemplo(), "ODBC"));
    EXPECT_FALSE(std::filesystem::exists(pasta / "d.txt"));
    EXPECT_EQ(LeConsultaPorExtensao(pasta / "a.SQL").titulo, Exemplo().titulo);
    EXPECT_EQ(LeConsultaPorExtensao(pasta / "b.Xml").titulo, Exemplo().titulo);
}

TEST(ListaConsultas, ListsTitledSqlAndXmlFilesSortedIgnoringCase) {
    teste::PastaTemporaria pasta;
    pasta.Grava("um.sql", "#beta\n#X\n#\nselect 1\n");
    pasta.Grava("dois.XML", "<?xml version=\"1.0\"?>\n<Consulta>\n<Titulo> Alfa </Titulo>\n<SQL>select 2</SQL>\n");
    pasta.Grava("tres.sql", "#\nselect 3\n");               // empty title
    pasta.Grava("quatro.sql", "select 4\n");               // no header
    pasta.Grava("cinco.xml", "<Consulta><Titulo>X</Titulo>"); // title not on the third line
    pasta.Grava("seis.tbl", "#Tabela\n");                  // matches the mask, neither kind
    pasta.Grava("sete.txt", "#Texto\n");
    pasta.Grava("oito.Sql", "#Gama\r\n");
    auto itens = ListaConsultas(pasta.Caminho().string());
    ASSERT_EQ(itens.size(), 3u);
    EXPECT_EQ(itens[0].entrada, "Alfa [dois.XML]");
    EXPECT_EQ(itens[0].arquivo, "dois.XML");
    EXPECT_EQ(itens[1].entrada, "beta [um.sql]");
    EXPECT_EQ(itens[2].entrada, "Gama [oito.Sql]");
}

} // namespace
} // namespace dorvan

// The query builder's model: editing, the SQL it generates (run by the sqlite3
// program over a database the test builds) and its ".qb" file.
#include "query/ModeloConstrutor.h"

#include "platform/Mensagens.h"
#include "query/ArquivoConsulta.h"
#include "support/ApoioTeste.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <map>

namespace dorvan {
namespace {

using Linhas = std::vector<std::string>;

const std::map<std::string, Linhas> Catalogo = {
    {"casos", {"id", "mun", "obitos"}},
    {"mun", {"id", "nome", "uf"}},
    {"uf", {"sigla", "nome"}},
};

std::optional<Linhas> Campos(const std::string& t) {
    auto it = Catalogo.find(t);
    if (it == Catalogo.end()) return std::nullopt;
    return it->second;
}

std::optional<Linhas> LeCampos(const std::string& banco, const std::string& t) {
    EXPECT_EQ(banco, "Saude");
    return Campos(t);
}

class Construtor : public ::testing::Test {
protected:
    void Insere(const std::string& t, int topo = 10, int esquerda = 20) {
        ASSERT_TRUE(m.InsereTabela(t, *Campos(t), topo, esquerda));
    }
    std::string Junta(const Linhas& l) {
        std::string s;
        for (const auto& x : l)
            s += x + "\n";
        return s;
    }
    MensagensRoteiro msg;
    UsaMensagens usa{msg};
    ModeloConstrutor m;
};

TEST_F(Construtor, TablesFieldsAndLinksFollowTheAreaRules) {
    Insere("casos");
    EXPECT_FALSE(m.InsereTabela("casos", {"x"}));
    EXPECT_EQ(msg.Textos(), Linhas{"Esta tabela j\xE1 foi inserida!"});
    Insere("mun");
    EXPECT_EQ(m.tabelas[0].campos, (Linhas{"*", "id", "mun", "obitos"}));

    m.MarcaCampo("casos", 1, true);
    m.MarcaCampo("mun", 1, true);
    ASSERT_EQ(m.colunas.size(), 2u);
    // Unticking casos.id keeps mun.id: a field of the same name in another table.
    m.MarcaCampo("casos", 1, false);
    ASSERT_EQ(m.colunas.size(), 1u);
    EXPECT_EQ(m.colunas[0].tabela, "mun");

    // A field dropped on the grid goes in at the drop column.
    m.InsereColuna(0, "casos", 3);
    EXPECT_EQ(m.colunas[0].campo, "obitos");
    EXPECT_TRUE(m.tabelas[0].marcados[3]);
    EXPECT_EQ(m.colunas[0].mostra, "Show");

    m.SelecionaTodos("casos");
    EXPECT_EQ(m.tabelas[0].marcados, (std::vector<bool>{false, true, true, true}));
    EXPECT_EQ(m.colunas.size(), 4u); // obitos was ticked already: only id and mun appended
    m.DeselecionaTodos("casos");
    EXPECT_EQ(m.colunas.size(), 1u);

    // The grid's Remove unticks only when no other column shows that field.
    m.MarcaCampo("mun", 2, true);
    m.InsereColuna(2, "mun", 2);
    m.RemoveColuna(2);
    EXPECT_TRUE(m.tabelas[1].marcados[2]);
    m.RemoveColuna(1);
    EXPECT_FALSE(m.tabelas[1].marcados[2]);

    msg.Limpa();
    EXPECT_FALSE(m.Liga("casos", 0, "mun", 1)); // "*" links nothing
    EXPECT_TRUE(m.Liga("casos", 2, "mun", 1));
    EXPECT_FALSE(m.Liga("mun", 1, "casos", 2));
    EXPECT_EQ(msg.Textos(), Linhas{"Estas tabelas j\xE1 est\xE3o conectadas!"});
    EXPECT_TRUE(m.Liga("casos", 1, "casos", 2)); // a table with itself, other field
    EXPECT_TRUE(m.CampoLigado("mun", 1));
    EXPECT_EQ(m.NomeLigacao(0), "casos :: mun");

    m.RemoveTabela("mun");
    EXPECT_EQ(m.ligacoes.size(), 1u);
    EXPECT_FALSE(m.CampoLigado("casos", 3));
    for (const auto& c : m.colunas)
        EXPECT_NE(c.tabela, "mun");
}

TEST_F(Construtor, AliasesAreFirstLettersNumberedWhenRepeated) {
    EXPECT_EQ(GeraApelidos({"casos", "cidade", "Mun", "cep", "uf"}), (Linhas{"c", "c2", "m", "c3", "u"}));
}

TEST_F(Construtor, NoShownColumnKeepsTheSQLAndSaysSo) {
    Insere("casos");
    EXPECT_FALSE(GeraSQL(m));
    m.MarcaCampo("casos", 1, true);
    m.colunas[0].mostra = "";
    EXPECT_FALSE(GeraSQL(m));
    EXPECT_EQ(msg.Textos(), (Linhas{"N\xE3o h\xE1 colunas selecionadas!", "N\xE3o h\xE1 colunas selecionadas!"}));
}

TEST_F(Construtor, InnerLinksGoToWhereAndOuterLinksToFrom) {
    ASSERT_TRUE(m.InsereTabela("Casos", {"ID", "MUN", "OBITOS"}));
    Insere("mun");
    Insere("uf");
    m.MarcaCampo("mun", 2, true);
    m.MarcaCampo("Casos", 3, true);
    m.colunas[1].funcao = "Count";
    m.colunas[1].ordem = "Desc";
    m.colunas[0].agrupa = "Group";
    m.colunas[0].ordem = "Asc";
    ASSERT_TRUE(m.Liga("Casos", 2, "mun", 1));
    ASSERT_TRUE(m.Liga("mun", 3, "uf", 1));
    m.ligacoes[1].tipo = 1;
    m.ligacoes[0].operador = 5;
    const auto sql = GeraSQL(m);
    ASSERT_TRUE(sql);
    EXPECT_EQ(*sql, (Linhas{"SELECT ", "  mun.nome, ", "  COUNT(casos.obitos)",
                            "FROM  mun LEFT OUTER JOIN uf ON mun.uf=uf.sigla, Casos", "WHERE  ", "  casos.mun<>mun.id",
                            "GROUP BY  mun.nome", "ORDER BY  mun.nome, 2 DESC"}));
}

TEST_F(Construtor, LongFromListsWrapAfterSeventyCharacters) {
    for (const char* t :
         {"tabela_de_nome_bem_comprido_um", "tabela_de_nome_bem_comprido_dois", "tabela_de_nome_bem_comprido_tres"})
        ASSERT_TRUE(m.InsereTabela(t, {"a"}));
    m.MarcaCampo("tabela_de_nome_bem_comprido_um", 1, true);
    const auto sql = GeraSQL(m);
    ASSERT_TRUE(sql);
    EXPECT_EQ((*sql)[2], "FROM  tabela_de_nome_bem_comprido_um, tabela_de_nome_bem_comprido_dois, ");
    EXPECT_EQ((*sql)[3], "  tabela_de_nome_bem_comprido_tres");
}

TEST_F(Construtor, GeneratedSQLRunsInSQLite) {
    teste::PastaTemporaria pasta;
    const std::string banco = pasta / "b.sqlite";
    ASSERT_EQ(teste::Executa("sqlite3 '" + banco +
                             "' \"CREATE TABLE casos (id INTEGER, mun INTEGER, obitos INTEGER);"
                             "CREATE TABLE mun (id INTEGER, nome TEXT, uf TEXT);"
                             "CREATE TABLE uf (sigla TEXT, nome TEXT);"
                             "INSERT INTO casos VALUES (1,10,3),(2,10,4),(3,20,5),(4,30,1);"
                             "INSERT INTO mun VALUES (10,'Adamantina','SP'),(20,'Adolfo','SP'),(30,'Lins','XX');"
                             "INSERT INTO uf VALUES ('SP','Sao Paulo');\""),
              0);
    Insere("casos");
    Insere("mun");
    Insere("uf");
    m.MarcaCampo("mun", 2, true);
    m.MarcaCampo("uf", 2, true);
    m.MarcaCampo("casos", 3, true);
    m.colunas[0].agrupa = "Group";
    m.colunas[1].agrupa = "Group";
    m.colunas[2].funcao = "Sum";
    m.colunas[2].ordem = "Desc";
    ASSERT_TRUE(m.Liga("casos", 2, "mun", 1));
    ASSERT_TRUE(m.Liga("mun", 3, "uf", 1));
    m.ligacoes[1].tipo = 1;
    const auto sql = GeraSQL(m);
    ASSERT_TRUE(sql);
    std::string texto = Junta(*sql);
    pasta.Grava("q.sql", texto + ";");
    std::string saida;
    ASSERT_EQ(teste::Executa("sqlite3 '" + banco + "' < '" + (pasta / "q.sql") + "'", &saida), 0) << texto;
    EXPECT_EQ(saida, "Adamantina|Sao Paulo|7\nAdolfo|Sao Paulo|5\nLins||1\n") << texto;
}

// A summary is sorted by its place among the shown columns: both engines refuse a
// place beyond the select list.
TEST_F(Construtor, SortedSummariesCountOnlyShownColumnsOnBothEngines) {
    teste::PastaTemporaria pasta;
    const std::string dados = "CREATE TABLE casos (id INTEGER, mun INTEGER, obitos INTEGER);"
                              "CREATE TABLE mun (id INTEGER, nome TEXT, uf TEXT);"
                              "INSERT INTO casos VALUES (1,10,3),(2,10,4),(3,20,5),(4,30,1),(5,30,0),(6,30,0);"
                              "INSERT INTO mun VALUES (10,'Adamantina','SP'),(20,'Adolfo','SP'),(30,'Lins','SP');";
    Insere("casos");
    Insere("mun");
    m.MarcaCampo("mun", 3, true);   // uf: grouped, hidden
    m.MarcaCampo("mun", 2, true);   // nome
    m.MarcaCampo("casos", 1, true); // id: counted, hidden, sorts first
    m.MarcaCampo("casos", 3, true); // obitos: summed, sorts next
    m.colunas[0].mostra = "";
    m.colunas[0].agrupa = "Group";
    m.colunas[1].agrupa = "Group";
    m.colunas[2].mostra = "";
    m.colunas[2].funcao = "Count";
    m.colunas[2].ordem = "Asc";
    m.colunas[3].funcao = "Sum";
    m.colunas[3].ordem = "Desc";
    ASSERT_TRUE(m.Liga("casos", 2, "mun", 1));
    const auto sql = GeraSQL(m);
    ASSERT_TRUE(sql);
    const std::string texto = Junta(*sql) + ";\n";
    const std::string esperado = "Adolfo|5\nAdamantina|7\nLins|1\n";

    const std::string banco = pasta / "b.sqlite";
    ASSERT_EQ(teste::Executa("sqlite3 '" + banco + "' \"" + dados + "\""), 0);
    std::string saida;
    EXPECT_EQ(teste::Executa("sqlite3 '" + banco + "' < '" + pasta.Grava("q.sql", texto) + "' 2>&1", &saida), 0)
        << texto << saida;
    EXPECT_EQ(saida, esperado) << texto;

    DORVAN_PULA_SEM_POSTGRESQL();
    EXPECT_EQ(teste::ExecutaPsql(pasta.Grava("pg.sql", dados + "\n" + texto), &saida), 0) << texto;
    EXPECT_EQ(saida, esperado) << texto;
}

TEST_F(Construtor, ModelFileRoundTripsAndHasItsLayout) {
    Insere("casos", 12, 34);
    Insere("mun", 56, 78);
    m.MarcaCampo("casos", 3, true);
    m.MarcaCampo("mun", 2, true);
    m.colunas[0].funcao = "Count";
    m.colunas[0].ordem = "Desc";
    m.colunas[1].agrupa = "Group";
    ASSERT_TRUE(m.Liga("casos", 2, "mun", 1));
    m.ligacoes[0].operador = 3;
    m.ligacoes[0].tipo = 2;
    m.banco = "Saude";
    m.topo = 5, m.esquerda = 6, m.altura = 400, m.largura = 600;
    m.larguraTabelas = 150;
    m.colunasVisiveis = false;
    m.alturaColunas = 90;
    const std::string texto = TextoModelo(m);
    EXPECT_EQ(texto, "# QBuilder\r\n# Don't change this file !\r\n[Options]\r\n5,6,400,600;\r\n1,150,0,90;\r\n"
                     "[Database]\r\nSaude,0;\r\n[Tables]\r\ncasos,12,34,0,0,0,1;\r\nmun,56,78,0,0,1,0;\r\n"
                     "[Links]\r\ncasos,2,mun,1,3,2;\r\n[Columns]\r\n1,obitos,casos,Show,Desc,Count,;\r\n"
                     "2,nome,mun,Show,,,Group;\r\n[End]\r\n");
    teste::PastaTemporaria pasta;
    GravaModelo(pasta / "modelo.qb", m);
    const auto lido = LeModelo(pasta / "modelo.qb", LeCampos);
    ASSERT_TRUE(lido);
    EXPECT_EQ(TextoModelo(*lido), texto);
    EXPECT_EQ(GeraSQL(*lido), GeraSQL(m));

    m.maximizada = true;
    EXPECT_EQ(SeparaLinhas(TextoModelo(m))[3], "+");
    const auto max = LeTextoModelo(TextoModelo(m), "x.qb", LeCampos);
    ASSERT_TRUE(max);
    EXPECT_TRUE(max->maximizada);
    EXPECT_TRUE(msg.Textos().empty());
}

TEST_F(Construtor, ReadingSkipsTablesThatCannotBeOpenedAndRefusesOtherFiles) {
    const std::string texto =
        "# QBuilder\n# Don't change this file !\n[Options]\n+\n1,140,1,130;\n[Database]\nSaude,1;\n"
        "[Tables]\nsumiu,1,2,0,1;\ncasos,3,4,0,1,0,0,1;\n[Links]\nsumiu,1,casos,1,0,0;\n"
        "casos,1,casos,9,0,0;\ncasos,1,casos,2,9,7;\n[Columns]\n1,a,sumiu,Show,,,;\n"
        "2,id,casos,Show,,,;\n[End]\n";
    const auto m2 = LeTextoModelo(texto, "t.qb", LeCampos);
    ASSERT_TRUE(m2);
    EXPECT_TRUE(m2->tabelasSistema);
    ASSERT_EQ(m2->tabelas.size(), 1u);
    EXPECT_EQ(m2->tabelas[0].marcados, (std::vector<bool>{false, true, false, false}));
    ASSERT_EQ(m2->ligacoes.size(), 1u);
    EXPECT_EQ(m2->ligacoes[0].operador, 5);
    EXPECT_EQ(m2->ligacoes[0].tipo, 3);
    ASSERT_EQ(m2->colunas.size(), 1u);
    EXPECT_EQ(m2->colunas[0].campo, "id");

    EXPECT_FALSE(LeTextoModelo("[Options]\n", "x.qb", LeCampos));
    EXPECT_FALSE(LeTextoModelo("", "vazio.qb", LeCampos));
    EXPECT_EQ(msg.Textos(), (Linhas{"Arquivo x.qb n\xE3o cont\xE9m modelo de consulta!",
                                    "Arquivo vazio.qb n\xE3o cont\xE9m modelo de consulta!"}));
}

// Numbers no window position can be ("1e+11", beyond an int) read as 0, as an
// unreadable one does, instead of whatever the conversion happens to give.
TEST_F(Construtor, NumbersOutOfRangeReadAsZero) {
    const std::string texto = "# QBuilder\n# Don't change this file !\n[Options]\n1e+11,-1e+11,nan,7;\n"
                              "1,1e+300,0,2147483648;\n[Database]\nSaude,0;\n[Tables]\ncasos,1e+11,5,0,0,0,0;\n"
                              "[Links]\ncasos,1e+11,casos,2,1e+11,-1e+11;\n[Columns]\n[End]\n";
    const auto m = LeTextoModelo(texto, "g.qb", LeCampos);
    ASSERT_TRUE(m);
    EXPECT_EQ(m->topo, 0);
    EXPECT_EQ(m->esquerda, 0);
    EXPECT_EQ(m->altura, 0);
    EXPECT_EQ(m->largura, 7);
    EXPECT_EQ(m->larguraTabelas, 0);
    EXPECT_EQ(m->alturaColunas, 0);
    ASSERT_EQ(m->tabelas.size(), 1u);
    EXPECT_EQ(m->tabelas[0].topo, 0);
    EXPECT_EQ(m->tabelas[0].esquerda, 5);
    ASSERT_EQ(m->ligacoes.size(), 1u);
    EXPECT_EQ(m->ligacoes[0].campo1, 0);
    EXPECT_EQ(m->ligacoes[0].operador, 0);
    EXPECT_EQ(m->ligacoes[0].tipo, 0);
}

} // namespace
} // namespace dorvan

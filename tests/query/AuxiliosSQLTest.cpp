// The SQL window's composing aids as edits of the editor's lines.
#include "query/AuxiliosSQL.h"

#include <gtest/gtest.h>

namespace dorvan {
namespace {

using Linhas = std::vector<std::string>;

Linhas ComTabela(Linhas l, const std::string& t) {
    AplicaEdicao(l, IncluiTabelaNoFrom(l, t));
    return l;
}

TEST(AuxiliosSQL, TableNamesLoseOnlyATrailingDbfExtension) {
    EXPECT_EQ(TiraExtensaoDBF("CASOS.DBF"), "CASOS");
    EXPECT_EQ(TiraExtensaoDBF("casos.dbf"), "casos");
    EXPECT_EQ(TiraExtensaoDBF("dbf.txt"), "dbf.txt");
    EXPECT_EQ(TiraExtensaoDBF("DBF"), "DBF");
}

TEST(AuxiliosSQL, AddingATableToFromAppendsOrExtendsTheFromLineOnce) {
    struct Caso {
        Linhas antes;
        std::string tabela;
        Linhas depois;
    };
    const Caso casos[] = {
        {{"select a"}, "casos", {"select a", "from casos"}},
        {{}, "casos", {"from casos"}},
        {{"select a", "FROM casos", "where x"}, "mun", {"select a", "FROM casos, mun", "where x"}},
        // Already named: nothing changes, also in other case.
        {{"select a", "from casos, mun"}, "MUN", {"select a", "from casos, mun"}},
        // A name that only begins another one is not taken for it.
        {{"select a", "from casos"}, "caso", {"select a", "from casos, caso"}},
        // "from" without a blank after it is no FROM clause.
        {{"select fromage"}, "t", {"select fromage", "from t"}},
    };
    for (const auto& c : casos)
        EXPECT_EQ(ComTabela(c.antes, c.tabela), c.depois) << c.tabela;
    // Twice: the second changes nothing.
    EXPECT_EQ(ComTabela(ComTabela({"select a"}, "t"), "t"), (Linhas{"select a", "from t"}));
}

TEST(AuxiliosSQL, SumsGroupingAndDroppedColumnsComposeTheirText) {
    EXPECT_EQ(NomeColuna("casos", "obitos", true), "casos.obitos");
    EXPECT_EQ(NomeColuna("casos", "obitos", false), "obitos");
    EXPECT_EQ(TextoSoma({"a", "casos.b"}), "sum(a), sum(casos.b)");
    EXPECT_EQ(TextoAgrupa("casos", {"uf", "mun"}),
              (Linhas{"select", "  uf, mun,", "  count(*)", "from casos", "group by  uf, mun"}));
    EXPECT_EQ(TextoAgrupa("casos", {"uf"})[LinhaContagemAgrupa], "  count(*)");
    EXPECT_EQ(TextoColunasSoltas({"select "}, {"a", "b"}), "a, b");
    EXPECT_EQ(TextoColunasSoltas({"select"}, {"a"}), ", a");
    EXPECT_EQ(TextoColunasSoltas({"select a"}, {"b"}), ", b");
    EXPECT_EQ(TextoColunasSoltas({}, {"b"}), ", b");
}

TEST(AuxiliosSQL, JoinsAddWhereOrAnd) {
    const std::string c = CondicaoJuncao("casos", "mun", "mun", "id");
    EXPECT_EQ(c, " casos.mun = mun.id");
    EXPECT_EQ(LinhaJuncao({"select a", "from casos, mun"}, c), "where casos.mun = mun.id");
    EXPECT_EQ(LinhaJuncao({"select a", "from casos", "WHERE x = 1"}, c), "  and casos.mun = mun.id");
    EXPECT_EQ(ColunaDaJuncao({"ID", "NOME"}, "nome"), 1);
    EXPECT_EQ(ColunaDaJuncao({"ID", "NOME"}, "uf"), 0);
    EXPECT_EQ(ColunaDaJuncao({}, "uf"), -1);
}

TEST(AuxiliosSQL, ListSearchIgnoresAccentsAndCaseBothWays) {
    const Linhas itens = {"MUNICIPIO", "popula\xE7\xE3o", "Regi\xE3o", "codigo"};
    EXPECT_EQ(ProcuraItens(itens, "munic\xEDpio"), (std::vector<int>{0}));
    EXPECT_EQ(ProcuraItens(itens, "POPULACAO"), (std::vector<int>{1}));
    EXPECT_EQ(ProcuraItens(itens, "\xE3o"), (std::vector<int>{1, 2}));
    EXPECT_EQ(ProcuraItens({}, "x"), (std::vector<int>{}));
    EXPECT_EQ(MensagemNaoEncontrada("abc"), "Seq\xFC\xEAncia 'abc' n\xE3o encontrada!");
}

} // namespace
} // namespace dorvan

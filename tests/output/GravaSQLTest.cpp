#include "output/GravaSQL.h"

#include "Fixture.h"
#include "data/LeDBF32.h"
#include "platform/Mensagens.h"
#include "table/TabelaArquivo.h"

#include <filesystem>
#include <tuple>

#include <cmath>
#include <cstdlib>
#include <unistd.h>
#include <limits>

namespace dorvan {
namespace {

using teste::Linhas;
using teste::PastaTemporaria;
using teste::TabelaExemplo;

const std::string SQLEsperado = Linhas({
    "CREATE TABLE tabela (",
    "  regiao CHAR(29),",
    "  Populacao Numeric(13,0),",
    "  Taxa_100_mil Numeric(13,2),",
    "  _1991 Numeric(13,0));",
    "INSERT INTO tabela VALUES('11 Norte \"grande\", ''amaz\xF4nia''',1000,1.50,3);",
    "INSERT INTO tabela VALUES('12 Nordeste; & <sert\xE3o>',25000,-2.25,0);",
    "INSERT INTO tabela VALUES('13 S\xE3o Paulo \x80 euro',0,0.00,7);",
    "INSERT INTO tabela VALUES('14 Sul',123456789,10.13,0);",
});

TEST(GravaSQL, WritesTheCreateAndOneInsertPerRowWithValidNames) {
    PastaTemporaria p;
    GravaSQL(TabelaExemplo(), p / "tabela.v2.sql");
    EXPECT_EQ(p.Le("tabela.v2.sql"), SQLEsperado);
}

TEST(NomeSQL, TitlesBecomeIdentifiersThatBothDatabasesAccept) {
    const std::vector<std::pair<std::string, std::string>> casos = {
        {"Popula\xE7\xE3o", "Populacao"},
        {"Taxa/100 mil", "Taxa_100_mil"},
        {"1991", "_1991"},
        {"Select", "Select_"},
        {"order", "order_"},
        {"", "col"},
        {"a\"b;c", "a_b_c"},
        {std::string(70, 'x'), std::string(63, 'x')},
    };
    for (const auto& [titulo, esperado] : casos)
        EXPECT_EQ(NomeSQL(titulo, "col"), esperado) << titulo;
}

TEST(GravaSQL, RepeatedNamesAreNumberedAndANumericColumnHoldsItsWidestValue) {
    PastaTemporaria p;
    TabelaResultados t = TabelaExemplo();
    t.DefineNomeColuna(0, "Taxa 100 mil");
    t.DefineNomeColuna(1, "Total");
    t.DefineNomeColuna(3, "TOTAL");
    t.Coluna(1).Largura = 5;
    GravaSQL(t, p / "9x.sql");
    const std::string s = p.Le("9x.sql");
    EXPECT_NE(s.find("CREATE TABLE _9x (\r\n  taxa_100_mil CHAR(29),\r\n  Total Numeric(9,0),\r\n"
                     "  Taxa_100_mil_2 Numeric(13,2),\r\n  TOTAL_2 Numeric(13,0));\r\n"),
              std::string::npos)
        << s;
}

TEST(GravaSQL, TheTableIsNamedAfterTheFileNameReadAsText) {
    PastaTemporaria p;
    const std::vector<std::pair<std::string, std::string>> casos = {
        {"regi\xC3\xB5"
         "es.sql",
         "regioes"}, // the system's UTF-8 name, accents removed
        {"S\xC3\xA3o Paulo.v2.sql", "Sao_Paulo"},
    };
    for (const auto& [arquivo, tabela] : casos) {
        GravaSQL(TabelaExemplo(), p / arquivo);
        EXPECT_EQ(p.Le(arquivo).substr(0, 15 + tabela.size()), "CREATE TABLE " + tabela + " (") << arquivo;
    }
}

// Runs the script in SQLite (converted from 1252 as a client would) and returns
// the column names, the first label and the column sums.
std::string NoSQLite(const PastaTemporaria& p, const std::string& script, const std::string& consulta) {
    std::string saida;
    const int rc = teste::Executa("cd '" + p.Caminho().string() + "' && rm -f t.db && iconv -f CP1252 -t UTF-8 '" +
                                      script + "' | sqlite3 -bail t.db && sqlite3 t.db \"" + consulta + "\" 2>&1",
                                  &saida);
    EXPECT_EQ(rc, 0) << saida;
    return saida;
}

TEST(GravaSQL, TheScriptRunsInSQLiteWithTheTablesNamesLabelsAndSums) {
    PastaTemporaria p;
    const TabelaResultados t = TabelaExemplo();
    GravaSQL(t, p / "tabela.sql");
    EXPECT_EQ(NoSQLite(p, "tabela.sql",
                       "select group_concat(name, '|') from pragma_table_info('tabela');"
                       "select regiao from tabela where rowid = 1;"
                       "select sum(Populacao), sum(Taxa_100_mil), sum(_1991) from tabela;"),
              "regiao|Populacao|Taxa_100_mil|_1991\n" + ParaUtf8(t.Rotulo(1)) + "\n123482789|9.38|10\n");
}

TEST(GravaSQL, ATableWithoutColumnsAndValuesThatAreNotNumbersStillGiveValidSQL) {
    PastaTemporaria p;
    TabelaResultados t = TabelaExemplo();
    t.Dado(2, 1) = std::numeric_limits<double>::quiet_NaN();
    GravaSQL(t, p / "nulos.sql");
    EXPECT_EQ(NoSQLite(p, "nulos.sql", "select count(*), count(Taxa_100_mil) from nulos;"), "4|3\n");
    while (t.NumColunas() > 0)
        RemoveUltimaColuna(t);
    GravaSQL(t, p / "vazia.sql");
    EXPECT_EQ(p.Le("vazia.sql").substr(0, 43), "CREATE TABLE vazia (\r\n  regiao CHAR(29));\r\n");
    EXPECT_EQ(NoSQLite(p, "vazia.sql", "select count(*) from vazia;"), "4\n");
}

// A DBF whose texts are padded with NUL bytes, read as a table: the labels come
// without the padding and the script runs in sqlite3 with every row.
TEST(GravaSQL, LabelsOfADbfPaddedWithNulBytesGiveAScriptSQLiteRuns) {
    PastaTemporaria p;
    {
        dbfRecord h;
        CreateDBF(h, p / "nulos.dbf", {{"COD", 'C', 4, 0, 0}, {"NOME", 'C', 10, 0, 0}, {"N", 'N', 5, 0, 0}}, 3);
        for (const auto& [cod, nome, n] : std::vector<std::tuple<std::string, std::string, std::string>>{
                 {std::string("11\0\0", 4), std::string("Norte\0\0\0\0\0", 10), "    3"},
                 {"12  ", std::string("Sul\0 \0\0\0\0\0", 10), std::string("\0\0\0\0\0", 5)}}) {
            std::string r(h.TamRegistro, ' ');
            r.replace(1, 4, cod);
            r.replace(5, 10, nome);
            r.replace(15, 5, n);
            AppendDBF(h, r.data());
        }
        CloseDBF(h);
    }
    TabelaResultados t;
    ASSERT_TRUE(LeDBFComoTabela(
        t, p / "nulos.dbf", [](const std::vector<std::string>&) { return EscolhaCamposDBF{1, 2, true}; }, false));
    ASSERT_EQ(t.NumLinhas, 2);
    EXPECT_EQ(t.Rotulo(1).find('\0'), std::string::npos);
    EXPECT_EQ(t.Rotulo(2).find('\0'), std::string::npos);
    GravaSQL(t, p / "nulos.sql");
    EXPECT_EQ(p.Le("nulos.sql").find('\0'), std::string::npos);
    EXPECT_EQ(NoSQLite(p, "nulos.sql", "select count(*), sum(n) from nulos; select rtrim(nome) from nulos;"),
              "2|3\n11   Norte\n12   Sul\n");
}

// sqlite3 takes 2000 columns and PostgreSQL 1600: a wider table is refused with a
// message naming the limit, and no script is written.
TEST(GravaSQL, ATableWiderThanTheEnginesTakeIsRefused) {
    PastaTemporaria p;
    TabelaResultados t = TabelaExemplo();
    while (t.NumColunas() < 1599)
        ASSERT_TRUE(AcrescentaColuna(t, "c" + std::to_string(t.NumColunas()), 0));
    MensagensRoteiro m;
    UsaMensagens usa(m);
    GravaSQL(t, p / "larga.sql");
    EXPECT_TRUE(m.Textos().empty());
    EXPECT_EQ(NoSQLite(p, "larga.sql", "select count(*) from pragma_table_info('larga');"), "1600\n");
    ASSERT_TRUE(AcrescentaColuna(t, "demais", 0));
    GravaSQL(t, p / "demais.sql");
    ASSERT_EQ(m.Textos().size(), 1u);
    EXPECT_NE(m.Textos()[0].find("1600"), std::string::npos) << m.Textos()[0];
    EXPECT_NE(m.Textos()[0].find("CSV"), std::string::npos) << m.Textos()[0];
    EXPECT_FALSE(std::filesystem::exists(p / "demais.sql"));
}

// Runs in the server the test run was given (PGHOST set, as under pg_virtualenv),
// in a database of its own; otherwise starts a throw-away one with pg_virtualenv.
// Skips only when no server can be had and CI did not ask for one.
TEST(GravaSQL, TheScriptRunsInPostgreSQL) {
    const bool exige = std::getenv("DORVAN_EXIGE_POSTGRESQL") != nullptr;
    const bool temServidor = std::getenv("PGHOST") != nullptr;
    if (!temServidor && teste::Executa("command -v pg_virtualenv >/dev/null") != 0) {
        if (exige) FAIL() << "PostgreSQL exigido, mas nem PGHOST nem pg_virtualenv";
        GTEST_SKIP() << "pg_virtualenv n\xE3o instalado";
    }
    PastaTemporaria p;
    const TabelaResultados t = TabelaExemplo();
    GravaSQL(t, p / "tabela.sql");
    const std::string banco = "dorvan_gravasql_" + std::to_string(::getpid());
    p.Grava("roda.sh", "set -e\n"
                       "echo sim > iniciou.txt\n"
                       "dropdb --if-exists " + banco + "\n"
                       "createdb -E UTF8 -T template0 " + banco + "\n"
                       "export PGDATABASE=" + banco + "\n"
                       "trap 'dropdb --if-exists " + banco + "' EXIT\n"
                       "export PGCLIENTENCODING=WIN1252\n"
                       "psql -q -v ON_ERROR_STOP=1 -f tabela.sql\n"
                       "export PGCLIENTENCODING=UTF8\n"
                       "exec > resultado.txt\n"
                       "psql -At -c \"select string_agg(column_name, '|' order by ordinal_position) from "
                       "information_schema.columns where table_name = 'tabela'\"\n"
                       "psql -At -c \"select rtrim(regiao) from tabela where regiao like '13%'\"\n"
                       "psql -At -c \"select sum(populacao), sum(taxa_100_mil), sum(_1991) from tabela\"\n");
    std::string saida;
    const int rc = teste::Executa("cd '" + p.Caminho().string() + "' && chmod -R a+rwx . && " +
                                      (temServidor ? "sh roda.sh 2>&1" : "pg_virtualenv sh roda.sh 2>&1"),
                                  &saida);
    // Only a server that could not be started skips; a script PostgreSQL refuses fails.
    if (p.Le("iniciou.txt").empty()) {
        if (exige) FAIL() << "PostgreSQL exigido e n\xE3o iniciado: " << saida;
        GTEST_SKIP() << "PostgreSQL n\xE3o p\xF4"
                        "de ser iniciado";
    }
    EXPECT_EQ(rc, 0) << saida;
    EXPECT_EQ(p.Le("resultado.txt"),
              "regiao|populacao|taxa_100_mil|_1991\n" + ParaUtf8(t.Rotulo(3)) + "\n123482789|9.38|10\n");
}

} // namespace
} // namespace dorvan

namespace dorvan {
namespace {

// A zero byte in a label (a damaged table file) would end the script where the
// programs that run it read it: it is left out, and every row still goes in.
TEST(GravaSQL, AZeroByteInALabelIsLeftOut) {
    PastaTemporaria p;
    TabelaResultados t = TabelaExemplo();
    t.Rotulo(1) = std::string("ab\0cd", 5);
    GravaSQL(t, p / "zero.sql");
    EXPECT_EQ(p.Le("zero.sql").find('\0'), std::string::npos);
    std::string saida;
    EXPECT_EQ(teste::Executa("cd '" + p.Caminho().string() + "' && sqlite3 -bail z.db < zero.sql && sqlite3 z.db "
                                                             "\"select count(*) from zero; select regiao from zero "
                                                             "where rowid = 1;\" 2>&1",
                             &saida),
              0)
        << saida;
    EXPECT_EQ(saida, std::to_string(t.NumLinhas) + "\nabcd\n");
}

} // namespace
} // namespace dorvan

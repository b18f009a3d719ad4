#include "query/ExecutaConsulta.h"

#include "data/LeDBF32.h"
#include "data/TabelasDBF.h"
#include "platform/Mensagens.h"
#include "query/BancoPadrao.h"
#include "support/ApoioTeste.h"

#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <unistd.h>

namespace dorvan {
namespace {

using Linhas = std::vector<std::string>;

// Qt loads its SQL drivers only under an application object.
struct ComAplicacao : ::testing::Environment {
    void SetUp() override { teste::GaranteAplicacao(); }
};
const auto* const g_app = ::testing::AddGlobalTestEnvironment(new ComAplicacao);

const char* const NaoEhConsulta = "Modo seguro: o comando n\xE3o \xE9 uma consulta somente de leitura.";

const QDateTime Quando(QDate(2026, 3, 9), QTime(14, 5, 7));

// SQLITE aliases: "Saude" over a database that the sqlite3 program builds, and
// "Arquivo" over a file of its own.
class ConsultaSQLite : public ::testing::Test {
protected:
    void SetUp() override {
        Sqlite(pasta / "dorvan.sqlite",
               "CREATE TABLE casos (municipio TEXT, obitos INTEGER, taxa REAL, obs TEXT);"
               "INSERT INTO casos VALUES ('350010 Adamantina', 3, 1.5, 'x');"
               "INSERT INTO casos VALUES ('350020 Adolfo', 7, 0.25, NULL);"
               "INSERT INTO casos VALUES ('350030 Aguai', NULL, 2, '12');"
               "CREATE TABLE log (n INTEGER);");
        Sqlite(pasta / "outro.sqlite", "CREATE TABLE t (a INTEGER);");
        ASSERT_EQ(motor.Inicia(), 0);
        motor.DefineAlias({"Saude", "SQLITE", pasta / "dorvan.sqlite", "", 0, "", ""});
        motor.DefineAlias({"Arquivo", "SQLITE", pasta / "outro.sqlite", "", 0, "", ""});
    }
    static void Sqlite(const std::string& banco, const std::string& sql, std::string* saida = nullptr) {
        ASSERT_EQ(teste::Executa("sqlite3 '" + banco + "' \"" + sql + "\"", saida), 0) << sql;
    }
    std::string Le(const std::string& sql) {
        std::string s;
        Sqlite(pasta / "dorvan.sqlite", sql, &s);
        return s;
    }
    DesfechoConsulta Roda(PedidoConsulta p, PerguntaParametro pergunta = {}) {
        UsaMensagens usa(msg);
        return ExecutaConsulta(motor, p, t, pergunta, SemProgresso(), Quando);
    }

    teste::PastaTemporaria pasta;
    MotorBD motor{pasta / "Aliases.ini"};
    MensagensRoteiro msg;
    TabelaResultados t;
};

TEST_F(ConsultaSQLite, ASelectFillsTheTableFromLabelAndValueFields) {
    PedidoConsulta p{"saude", {"   select municipio, obitos, taxa AS \"Taxa por mil\", obs", "from casos order by 1"},
                     "", "Casos no estado", true};
    ASSERT_EQ(Roda(p), DesfechoConsulta::Tabela);
    EXPECT_TRUE(msg.Textos().empty());
    ASSERT_EQ(t.NumLinhas, 3);
    EXPECT_EQ(t.CapLinhas(), 3);
    ASSERT_EQ(t.NumColunas(), 3);
    EXPECT_EQ(t.NomeColuna(0), "municipio");
    EXPECT_EQ(t.NomeColuna(2), "Taxa por mil");
    EXPECT_EQ(t.Rotulo(1), "350010 Adamantina");
    EXPECT_EQ(t.Rotulo(3), "350030 Aguai");
    // NULL and text that is not a number give 0; a numeric text is read.
    EXPECT_EQ(t.Dado(1, 3), 0);
    EXPECT_EQ(t.Dado(3, 1), 0);
    EXPECT_EQ(t.Dado(3, 3), 12);
    EXPECT_EQ(t.Dado(2, 2), 0.25);
    for (std::int32_t k = 1; k <= 3; ++k) EXPECT_EQ(t.Ordem(k), k);
    EXPECT_EQ(t.Coluna(1).Total, 10);
    EXPECT_EQ(t.Coluna(2).Total, 3.75);
    EXPECT_EQ(t.Coluna(2).TipoTotal, TipoTotal::Soma);
    EXPECT_EQ(t.Coluna(1).Decimais, 0);
    EXPECT_EQ(t.Coluna(2).Decimais, 2);
    EXPECT_EQ(t.Coluna(2).Largura, 13); // the title "Taxa por mil" + 1
    EXPECT_EQ(t.Coluna(1).Largura, std::max(LarguraValor(0, 10), 7));
    EXPECT_EQ(t.Coluna(0).Largura, 17); // "350010 Adamantina"
    EXPECT_EQ(t.TamCodigo, 6);
    EXPECT_TRUE(t.MostraCodigo);
    EXPECT_EQ(t.Titulo1, "Casos no estado");
    EXPECT_EQ(t.Titulo2, "");
    EXPECT_EQ(t.Rodape, "Executado sobre saude em 09/03/2026 as 14:05:07");
    EXPECT_EQ(t.ColunaOrdem, 0);
    EXPECT_FALSE(t.OrdemDecrescente);
}

// "~ Ignorar" goes wherever the engine's order puts it, not only from the end.
TEST_F(ConsultaSQLite, TheIgnoredRowGoesWhereverItComesAndTheRestIsRenamed) {
    struct Caso {
        const char* sql;
        Linhas rotulos;
        double total;
    } casos[] = {
        {"select 'a', 1 union all select '~ Ignorar', 2", {"a"}, 1},
        {"select '~ Ignorar', 2", {"~ Ignorar"}, 2},
        {"select 'a', 1 union all select '~ N\xE3o classificado', 2", {"a", "N\xE3o classificados"}, 3},
        {"select '~ Ignorar', 1 union all select 'b', 2", {"b"}, 2},
        {"select 'a', 1 union all select '~ Ignorar', 2 union all select '~ N\xE3o classificado', 4 union all "
         "select '~ Ignorar', 8",
         {"a", "N\xE3o classificados"},
         5},
    };
    for (const auto& c : casos) {
        ASSERT_EQ(Roda({"Saude", {c.sql}, "", "", true}), DesfechoConsulta::Tabela) << c.sql;
        Linhas r;
        for (std::int32_t i = 1; i <= t.NumLinhas; ++i) r.push_back(t.Rotulo(i));
        EXPECT_EQ(r, c.rotulos) << c.sql;
        EXPECT_EQ(t.Coluna(1).Total, c.total) << c.sql;
    }
}

TEST_F(ConsultaSQLite, RefusalsSayWhyAndRunNothing) {
    struct Caso {
        PedidoConsulta pedido;
        const char* mensagem;
    } casos[] = {
        {{"Nada", {"select 1"}, "", "", true}, "Nada n\xE3o \xE9 um banco de dados v\xE1lido!"},
        {{"Saude", {"", "  "}, "", "", true}, "Entre com o texto do SQL na janela inferior!"},
        {{"Saude", {}, "", "", true}, "Entre com o texto do SQL na janela inferior!"},
        {{"Saude", {"select * from casos where 1 = 0"}, "", "", true}, "Nenhum registro selecionado!"},
        // SELECT not on the first line is a statement: refused off the standard alias in safe mode.
        {{"Arquivo", {"", "select * from t"}, "", "", true}, "Comando SELECT obrigat\xF3rio na primeira linha!"},
        {{"Arquivo", {"insert into t values (1)"}, "", "", true}, "Comando SELECT obrigat\xF3rio na primeira linha!"},
    };
    for (const auto& c : casos) {
        msg.Limpa();
        EXPECT_EQ(Roda(c.pedido), DesfechoConsulta::Recusada) << c.mensagem;
        EXPECT_EQ(msg.Textos(), Linhas{c.mensagem});
        EXPECT_EQ(t.NumLinhas, 0);
    }
    std::string n;
    Sqlite(pasta / "outro.sqlite", "select count(*) from t", &n);
    EXPECT_EQ(n, "0\n");
}

TEST_F(ConsultaSQLite, StatementsRunOneByOneWithSafeModeOff) {
    // Two statements, the first ending in ';', a blank line inside the second.
    ASSERT_EQ(Roda({"Saude", {"insert into log values (1);", "insert into log", "", "  values (2)"}, "", "", false}),
              DesfechoConsulta::Comandos);
    EXPECT_EQ(Le("select group_concat(n) from log"), "1,2\n");
    // A SELECT on the second line runs as a statement: no table, no message.
    ASSERT_EQ(Roda({"Saude", {"", "select * from casos"}, "", "", false}), DesfechoConsulta::Comandos);
    EXPECT_EQ(t.NumLinhas, 0);
    EXPECT_TRUE(msg.Textos().empty());
    ASSERT_EQ(Roda({"Arquivo", {"insert into t values (5)"}, "", "", false}), DesfechoConsulta::Comandos);
    std::string n;
    Sqlite(pasta / "outro.sqlite", "select a from t", &n);
    EXPECT_EQ(n, "5\n");
}

// Safe mode does not trust the first line: SQLite itself refuses to write, and its
// message reaches the caller.
TEST_F(ConsultaSQLite, SafeModeLetsTheEngineRefuseEveryWrite) {
    Sqlite(pasta / "outro.sqlite", "INSERT INTO t VALUES (1);");
    struct Caso {
        const char* alias;
        Linhas linhas;
        const char* mensagem;
    } casos[] = {
        {"Arquivo", {"delete from t where a = 1 -- select"}, NaoEhConsulta},
        {"Saude", {"delete from casos where obitos = 3 -- select"}, NaoEhConsulta},
        {"Saude", {"with x as (select 3) delete from casos where obitos in x"}, "readonly"},
        {"Saude", {"insert into log select count(*) from casos"}, NaoEhConsulta},
        {"Saude", {"select 1; delete from casos"}, "multiple statements"},
        // A statement that turns the guard off is followed by one that writes: each
        // run sets the guard again.
        {"Saude", {"pragma query_only = 0 -- select"}, ""},
        {"Saude", {"delete from casos -- select"}, NaoEhConsulta},
        {"Saude", {"update casos set obitos = 0 where municipio = :m -- select"}, NaoEhConsulta},
    };
    for (const auto& c : casos) {
        try {
            Roda({c.alias, c.linhas, "m", "", true}, [](const std::string&) { return std::string("x"); });
            ADD_FAILURE() << c.linhas[0] << ": no error";
        } catch (const ErroBD& e) {
            EXPECT_NE(std::string(e.what()).find(c.mensagem), std::string::npos) << c.linhas[0] << ": " << e.what();
        }
    }
    EXPECT_EQ(Le("select count(*), sum(obitos) from casos; select count(*) from log"), "3|10\n0\n");
    std::string n;
    Sqlite(pasta / "outro.sqlite", "select count(*) from t", &n);
    EXPECT_EQ(n, "1\n");

    // The guard is off again after a safe query: statements and queries with safe
    // mode off still write.
    ASSERT_EQ(Roda({"Saude", {"insert into log values (1)"}, "", "", false}), DesfechoConsulta::Comandos);
    EXPECT_THROW(Roda({"Saude", {"delete from casos where obitos = 3 -- select"}, "", "", false}), ErroBD);
    EXPECT_EQ(Le("select count(*) from casos; select count(*) from log"), "2\n1\n");
}

// What query_only lets through still writes outside the database: a file attached
// or vacuumed into. Safe mode runs queries only; queries of every form still run.
TEST_F(ConsultaSQLite, SafeModeRunsQueriesOnlyAndCreatesNoFile) {
    const std::string novo = pasta / "novo.db";
    const std::string copia = pasta / "copia.db";
    for (const Linhas& linhas :
         {Linhas{"attach '" + novo + "' as n -- select"},
          Linhas{"/* select */ ATTACH DATABASE '" + novo + "' AS n -- select"},
          Linhas{"vacuum into '" + copia + "' -- select"}, Linhas{"detach database main -- select"},
          // SQLite's block comments do not nest, and a line comment ends at a line feed only.
          Linhas{"/* /* */ attach '" + novo + "' as n -- */ select"},
          Linhas{"-- \rselect", "attach '" + novo + "' as n"}}) {
        for (const char* alias : {"Saude", "Arquivo"}) {
            try {
                Roda({alias, linhas, "", "", true});
                ADD_FAILURE() << linhas[0] << ": no error";
            } catch (const ErroBD& e) {
                EXPECT_EQ(std::string(e.what()), NaoEhConsulta) << linhas[0];
            }
        }
    }
    EXPECT_FALSE(std::filesystem::exists(novo));
    EXPECT_FALSE(std::filesystem::exists(copia));
    // Nothing stayed attached: the name is free for a query.
    EXPECT_THROW(Roda({"Saude", {"select name, 1 from n.sqlite_master"}, "", "", true}), ErroBD);

    for (const Linhas& linhas :
         {Linhas{"select municipio, obitos from casos"}, Linhas{"  select municipio, obitos from casos"},
          Linhas{"-- select", "select municipio, obitos from casos"},
          Linhas{"/* x /* y */ with x as (select municipio, obitos from casos) select * from x"},
          Linhas{"values ('a', 1), ('b', 2), ('c', 3) -- select"}}) {
        ASSERT_EQ(Roda({"Saude", linhas, "", "", true}), DesfechoConsulta::Tabela) << linhas.back();
        EXPECT_EQ(t.NumLinhas, 3) << linhas.back();
    }
}

TEST_F(ConsultaSQLite, EveryPlaceholderIsBound) {
    auto valor = [](std::string v) { return [v](const std::string&) { return std::optional<std::string>(v); }; };
    for (bool seguro : {true, false}) {
        ASSERT_EQ(Roda({"Saude",
                        {"select municipio, obitos from casos where obitos = ? -- ? or :n: no mark"},
                        "n",
                        "",
                        seguro},
                       valor("7")),
                  DesfechoConsulta::Tabela);
        ASSERT_EQ(t.NumLinhas, 1);
        EXPECT_EQ(t.Rotulo(1), "350020 Adolfo");
        ASSERT_EQ(Roda({"Saude",
                        {"select municipio || '?:n', 1 from casos", "where obitos = :N or taxa = :n or obs = ?"},
                        "n",
                        "",
                        seguro},
                       valor("12")),
                  DesfechoConsulta::Tabela);
        ASSERT_EQ(t.NumLinhas, 1);
        EXPECT_EQ(t.Rotulo(1), "350030 Aguai?:n");
    }
    ASSERT_EQ(
        Roda({"Saude", {"insert into log values (?);", "insert into log values (:n + 1)"}, "n", "", false}, valor("4")),
        DesfechoConsulta::Comandos);
    EXPECT_EQ(Le("select group_concat(n) from log"), "4,5\n");
}

TEST(SeparaComandos, SemicolonOrLastLineEndsAStatementAndBlankLinesAreSkipped) {
    struct Caso {
        Linhas linhas;
        std::vector<Linhas> comandos;
    } casos[] = {
        {{"a;", "b"}, {{"a;"}, {"b"}}},
        {{"a", "", "b;", "c"}, {{"a", "b;"}, {"c"}}},
        {{"a;", "", " "}, {{"a;"}}},
        {{"x; y", "z"}, {{"x; y"}, {"z"}}},
        {{""}, {}},
        {{}, {}},
    };
    for (const auto& c : casos) EXPECT_EQ(SeparaComandos(c.linhas), c.comandos);
}

TEST_F(ConsultaSQLite, TheParameterIsAskedBoundAsTextAndNamedInTheSubtitle) {
    std::vector<std::string> perguntas;
    auto responde = [&](std::optional<std::string> r) {
        return [&perguntas, r](const std::string& nome) {
            perguntas.push_back(nome);
            return r;
        };
    };
    PedidoConsulta p{"Saude", {"select municipio, obitos from casos where municipio = :Mun"}, " Mun ", "T", true};
    ASSERT_EQ(Roda(p, responde("350020 Adolfo")), DesfechoConsulta::Tabela);
    EXPECT_EQ(perguntas, Linhas{"Mun"});
    ASSERT_EQ(t.NumLinhas, 1);
    EXPECT_EQ(t.Dado(1, 1), 7);
    EXPECT_EQ(t.Titulo2, "Mun = 350020 Adolfo");

    // A quote in the value is data, not SQL.
    EXPECT_EQ(Roda(p, responde("x' or '1'='1")), DesfechoConsulta::Recusada);
    EXPECT_EQ(msg.Textos(), Linhas{"Nenhum registro selecionado!"});

    // A cancelled value runs nothing.
    PedidoConsulta ins{"Saude", {"insert into log values (:n);", "insert into log values (9)"}, "n", "", false};
    EXPECT_EQ(Roda(ins, responde(std::nullopt)), DesfechoConsulta::Cancelada);
    EXPECT_EQ(Le("select count(*) from log"), "0\n");
    // Statements that do not name the parameter run without it.
    EXPECT_EQ(Roda(ins, responde("4")), DesfechoConsulta::Comandos);
    EXPECT_EQ(Le("select group_concat(n) from log"), "4,9\n");

    const std::string longo(100, 'v');
    ASSERT_EQ(Roda({"Saude", {"select :p, 1"}, "p", "", true}, responde(longo)), DesfechoConsulta::Tabela);
    EXPECT_EQ(t.Titulo2, ("p = " + longo).substr(0, 80));
}

TEST_F(ConsultaSQLite, EngineErrorsReachTheCallerAndLeaveTheTableEmpty) {
    try {
        Roda({"Saude", {"select * from inexistente"}, "", "", true});
        FAIL() << "no error";
    } catch (const ErroBD& e) {
        EXPECT_NE(std::string(e.what()).find("inexistente"), std::string::npos) << e.what();
    }
    EXPECT_EQ(t.NumLinhas, 0);
    EXPECT_THROW(Roda({"Saude", {"delete from"}, "", "", false}), ErroBD);
}

TEST_F(ConsultaSQLite, OneFieldGivesLabelsOnlyAndTitlesAreCut) {
    const std::string titulo(90, 't');
    ASSERT_EQ(Roda({"Saude", {"select municipio as " + std::string(70, 'm') + " from casos"}, "", titulo, true}),
              DesfechoConsulta::Tabela);
    EXPECT_EQ(t.NumColunas(), 0);
    EXPECT_EQ(t.NumLinhas, 3);
    EXPECT_EQ(t.NomeColuna(0), std::string(60, 'm'));
    EXPECT_EQ(t.Coluna(0).Largura, 60);
    EXPECT_EQ(t.Titulo1, titulo.substr(0, 80));
}

TEST_F(ConsultaSQLite, RowsBeyondTheTableLimitAreLeftOutWithAMessage) {
    const std::string sql = "with recursive c(x) as (select 1 union all select x + 1 from c where x < " +
                            std::to_string(MaxLinhasTabela + 1) + ") select x, x from c";
    ASSERT_EQ(Roda({"Saude", {"select x, x from (" + sql + ")"}, "", "", true}), DesfechoConsulta::Tabela);
    EXPECT_EQ(msg.Textos(), Linhas{"Limite de linhas excedido"});
    EXPECT_EQ(t.NumLinhas, MaxLinhasTabela);
    EXPECT_EQ(t.CapLinhas(), MaxLinhasTabela);
    EXPECT_EQ(t.Dado(1, MaxLinhasTabela), MaxLinhasTabela);
    EXPECT_EQ(t.Rotulo(MaxLinhasTabela), std::to_string(MaxLinhasTabela));
}

TEST(DecimaisDoTexto, CountsWhatFollowsTheCommaOfTheGeneralText) {
    struct Caso {
        double valor;
        std::int32_t decimais;
    } casos[] = {
        {0, 0},       {10, 0},         {3.75, 2},          {-0.5, 1},   {0.1 + 0.2, 1}, {1.0 / 3, 15},
        {0.0001, 4},  {1e-5, 0},       {1.5e-5, 4},        {1e20, 0},   {1.25e20, 5},   {123456789012345.0, 0},
        {2.5e-12, 5},
    };
    for (const auto& c : casos) EXPECT_EQ(DecimaisDoTexto(c.valor), c.decimais) << c.valor;
}

TEST(DialetoDeRealce, StandardIsInterBaseAndTheNameDecidesTheRest) {
    struct Caso {
        const char* driver;
        DialetoRealce dialeto;
        bool geraCase;
    } casos[] = {
        {"STANDARD", DialetoRealce::InterBase6, false}, {"ORACLE", DialetoRealce::Oracle, true},
        {"MYSQL", DialetoRealce::MySQL, true},          {"SQLITE", DialetoRealce::SQLite, true},
        {"FIREBIRD", DialetoRealce::Firebird, true},    {"INTRBASE", DialetoRealce::InterBase6, false},
        {"INGRES", DialetoRealce::Ingres, true},        {"POSTGRESQL", DialetoRealce::PostgreSQL, true},
        {"ODBC", DialetoRealce::Sybase, true},          {"sqlite", DialetoRealce::SQLite, true},
    };
    for (const auto& c : casos) {
        EXPECT_EQ(DialetoDeRealce(c.driver), c.dialeto) << c.driver;
        EXPECT_EQ(GeraCaseNoDialeto(c.dialeto), c.geraCase) << c.driver;
    }
    // A STANDARD alias runs on SQLite: it gets CASE code, as an SQLITE alias does.
    EXPECT_TRUE(GeraCaseNoDriver("STANDARD"));
    EXPECT_FALSE(GeraCaseNoDriver("INTRBASE"));
}

TEST_F(ConsultaSQLite, NewAliasChecksAndIndexedColumns) {
    EXPECT_EQ(RecusaNovoAlias(motor, " "), "Primeiro entre com o nome do Banco de dados ser adicionado!");
    EXPECT_EQ(RecusaNovoAlias(motor, "SAUDE"), "SAUDE j\xE1 existe!");
    EXPECT_EQ(RecusaNovoAlias(motor, "Novo"), "");

    Sqlite(pasta / "dorvan.sqlite", "CREATE INDEX i_ob ON casos (obitos, municipio);");
    const auto indices = motor.Indices("Saude", "casos");
    EXPECT_TRUE(ColunaIndexada("OBITOS", indices));
    EXPECT_TRUE(ColunaIndexada("municipio", indices));
    EXPECT_FALSE(ColunaIndexada("taxa", indices));
    EXPECT_FALSE(ColunaIndexada("obit", indices)); // a part of a name is not the name
}

// A STANDARD alias over a folder of DBF files: queries fill the table, and
// statements, which safe mode lets through there, reach the files' refusal.
TEST(ConsultaPadrao, QueriesRunOnTheFilesAndStatementsAreRefusedByThem) {
    teste::PastaTemporaria pasta;
    {
        dbfRecord h;
        CreateDBF(h, pasta / "OBITOS.DBF", {{"UF", 'C', 2, 0, 0}, {"IDADE", 'N', 3, 0, 0}}, 3);
        for (const char* r : {" SP 30", " SP 40", " RJ 50", "*RJ 60"})
            AppendDBF(h, r);
        CloseDBF(h);
    }
    const std::string antes = pasta.Le("OBITOS.DBF");
    MotorBD motor(pasta / "Aliases.ini");
    motor.DefineFontePadrao(FonteArquivosDBF([] { return false; }));
    ASSERT_EQ(motor.Inicia(), 0);
    motor.AdicionaAliasPadrao("Dados", pasta.Caminho().string());
    MensagensRoteiro msg;
    UsaMensagens usa(msg);
    TabelaResultados t;
    ASSERT_EQ(ExecutaConsulta(motor,
                              {"Dados", {"select uf, count(*), sum(idade) from obitos group by uf"}, "", "", true}, t,
                              {}, SemProgresso(), Quando),
              DesfechoConsulta::Tabela);
    ASSERT_EQ(t.NumLinhas, 2);
    EXPECT_EQ(t.Rotulo(1), "RJ");
    EXPECT_EQ(t.Dado(1, 1), 1);
    EXPECT_EQ(t.Dado(2, 2), 70);
    try {
        ExecutaConsulta(motor, {"Dados", {"delete from obitos"}, "", "", true}, t, {}, SemProgresso(), Quando);
        ADD_FAILURE() << "no error";
    } catch (const ErroBD& e) {
        EXPECT_EQ(std::string(e.what()), MensagemSomenteLeitura("OBITOS"));
    }
    EXPECT_EQ(pasta.Le("OBITOS.DBF"), antes);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(pasta.Caminho()), {}), 1);
}

// ------------------------------------------------------------ PostgreSQL

// A server comes from the libpq environment; without one the test skips, unless
// DORVAN_EXIGE_POSTGRESQL says the run must have one. Each test program works in a
// schema of its own, first on its search path.
class ConsultaPostgreSQL : public ::testing::Test {
protected:
    void SetUp() override {
        DORVAN_PULA_SEM_POSTGRESQL();
        ASSERT_EQ(motor.Inicia(), 0);
        motor.DefineAlias(teste::AliasPostgreSQL("Servidor", esquema));
        ASSERT_EQ(roda({"DROP SCHEMA IF EXISTS " + esquema + " CASCADE;", "CREATE SCHEMA " + esquema + ";",
                        "CREATE TABLE uf (sigla CHAR(2), pop NUMERIC(12,1), nome VARCHAR(30));",
                        "INSERT INTO uf VALUES ('SP', 46.5, 'S\xE3o Paulo'), ('RJ', 17.4, 'Rio');"},
                       false),
                  DesfechoConsulta::Comandos);
    }
    void TearDown() override {
        if (motor.Iniciado() && motor.AliasExiste("Servidor")) roda({"DROP SCHEMA " + esquema + " CASCADE"}, false);
    }
    DesfechoConsulta roda(const Linhas& linhas, bool seguro, const std::string& parametro = {},
                          std::optional<std::string> valor = {}) {
        UsaMensagens usa(msg);
        return ExecutaConsulta(
            motor, {"Servidor", linhas, parametro, "PG", seguro}, t, [&](const std::string&) { return valor; },
            SemProgresso(), Quando);
    }
    // The rows of uf, read with safe mode on.
    std::string Siglas() {
        EXPECT_EQ(roda({"select string_agg(sigla, ',' order by sigla), 1 from uf"}, true), DesfechoConsulta::Tabela);
        return t.NumLinhas == 1 ? t.Rotulo(1) : std::string();
    }

    const std::string esquema = "dorvan_q" + std::to_string(getpid());
    teste::PastaTemporaria pasta;
    MotorBD motor{pasta / "Aliases.ini"};
    MensagensRoteiro msg;
    TabelaResultados t;
};

TEST_F(ConsultaPostgreSQL, ASelectFillsTheTableAndSafeModeKeepsStatementsOff) {
    EXPECT_EQ(roda({"insert into uf values ('MG', 1, 'x')"}, true), DesfechoConsulta::Recusada);
    EXPECT_EQ(msg.Textos(), Linhas{"Comando SELECT obrigat\xF3rio na primeira linha!"});
    ASSERT_EQ(roda({"SELECT sigla, pop, nome FROM uf WHERE nome <> :n ORDER BY sigla"}, true, "n", "x'y"),
              DesfechoConsulta::Tabela);
    ASSERT_EQ(t.NumLinhas, 2);
    EXPECT_EQ(t.Rotulo(1), "RJ");
    EXPECT_DOUBLE_EQ(t.Dado(1, 2), 46.5);
    EXPECT_DOUBLE_EQ(t.Coluna(1).Total, 63.9);
    EXPECT_EQ(t.Coluna(1).Decimais, 1);
    EXPECT_EQ(t.Dado(2, 1), 0); // text
    EXPECT_EQ(t.Titulo2, "n = x'y");
}

// Safe mode does not trust the first line: the server runs the text in a read-only
// transaction, one statement only, and says why it refuses.
TEST_F(ConsultaPostgreSQL, SafeModeLetsTheServerRefuseEveryWrite) {
    ASSERT_EQ(roda({"create function apaga() returns int language sql as", "$$ delete from uf; select 1 $$;",
                    "create sequence s;"},
                   false),
              DesfechoConsulta::Comandos);
    struct Caso {
        Linhas linhas;
        const char* mensagem;
    } casos[] = {
        {{"delete from uf where sigla = 'RJ' -- select"}, NaoEhConsulta},
        {{"with d as (delete from uf returning *) select * from d"}, "read-only transaction"},
        {{"select * from uf; delete from uf"}, "multiple commands"},
        {{"select 1; commit; delete from uf"}, "multiple commands"},
        {{"select 1; set transaction read write; delete from uf"}, "multiple commands"},
        {{"select apaga()"}, "read-only transaction"},
        {{"select nextval('s')"}, "read-only transaction"},
        {{"update uf set pop = 0 where sigla = :n -- select"}, NaoEhConsulta},
    };
    for (const auto& c : casos) {
        try {
            roda(c.linhas, true, "n", "SP");
            ADD_FAILURE() << c.linhas[0] << ": no error";
        } catch (const ErroBD& e) {
            EXPECT_NE(std::string(e.what()).find(c.mensagem), std::string::npos) << c.linhas[0] << ": " << e.what();
        }
    }
    // The connection is left usable and outside any transaction, also after a
    // result left unread.
    EXPECT_EQ(Siglas(), "RJ,SP");
    ASSERT_EQ(roda({"select x, x from generate_series(1, " + std::to_string(MaxLinhasTabela + 5) + ") x"}, true),
              DesfechoConsulta::Tabela);
    EXPECT_EQ(t.NumLinhas, MaxLinhasTabela);
    EXPECT_EQ(Siglas(), "RJ,SP");
    EXPECT_THROW(roda({"select sum(pop) from uf where pop > 0; delete from uf"}, true), ErroBD);
    ASSERT_EQ(roda({"select sum(pop), 1 from uf where pop > 0"}, true), DesfechoConsulta::Tabela);
    EXPECT_EQ(t.Rotulo(1), "63.9");

    // Safe mode off: the same text writes.
    EXPECT_THROW(roda({"delete from uf where sigla = 'RJ' -- select"}, false), ErroBD); // no rows came back
    EXPECT_EQ(Siglas(), "SP");
    EXPECT_EQ(roda({"insert into uf values ('MG', 1, 'x')"}, false), DesfechoConsulta::Comandos);
    EXPECT_EQ(Siglas(), "MG,SP");
}

// A read-only transaction still lets COPY write a file on the server or run a
// program (the test's role is the server's superuser): safe mode runs queries only,
// and queries of every form still run.
TEST_F(ConsultaPostgreSQL, SafeModeRunsQueriesOnlyAndTheServerWritesNoFile) {
    // A folder the server can write to whatever user it runs as.
    const std::string arquivo = "/tmp/dorvan_copia_" + std::to_string(getpid());
    const std::string marca = arquivo + ".programa";
    std::filesystem::remove(arquivo);
    std::filesystem::remove(marca);
    for (const Linhas& linhas :
         {Linhas{"copy (select 1) to '" + arquivo + "' -- select"},
          Linhas{"/* select */ (copy (select 1) to '" + arquivo + "') -- select"},
          Linhas{"copy uf to program 'touch " + marca + "' -- select"},
          Linhas{"select 1 -- a", "; copy uf to '" + arquivo + "'"}, Linhas{"set role none -- select"},
          // The server ends a line comment at a carriage return too.
          Linhas{"-- select\rcopy (", "select 1) to '" + arquivo + "'"}}) {
        try {
            roda(linhas, true);
            ADD_FAILURE() << linhas[0] << ": no error";
        } catch (const ErroBD&) {
        }
    }
    // Past the word check, a statement that gives no columns is no query either.
    for (const char* texto : {"with x as (select 'MG') insert into uf (sigla) select * from x",
                              "select 1 as a into nova -- select", "select from uf"}) {
        try {
            roda({texto}, true);
            ADD_FAILURE() << texto << ": no error";
        } catch (const ErroBD& e) {
            EXPECT_EQ(std::string(e.what()), NaoEhConsulta) << texto;
        }
    }
    EXPECT_FALSE(std::filesystem::exists(arquivo));
    EXPECT_FALSE(std::filesystem::exists(marca));

    for (const Linhas& linhas :
         {Linhas{"select sigla, pop from uf"}, Linhas{"(select sigla, pop from uf)"},
          Linhas{"/* a /* b */ c */ -- select", "with x as (select sigla, pop from uf) select * from x"},
          Linhas{"values ('RJ', 1), ('SP', 2) -- select"}, Linhas{"table uf -- select"}}) {
        ASSERT_EQ(roda(linhas, true), DesfechoConsulta::Tabela) << linhas.back();
        EXPECT_EQ(t.NumLinhas, 2) << linhas.back();
    }
}

// Every mark of the parameter is bound: "?" and ":name" alike, also twice; marks in
// strings and comments are text.
TEST_F(ConsultaPostgreSQL, EveryPlaceholderIsBound) {
    for (bool seguro : {true, false}) {
        ASSERT_EQ(roda({"select sigla, 1 from uf where sigla = ? -- a ? or :n here is no mark"}, seguro, "n", "RJ"),
                  DesfechoConsulta::Tabela);
        ASSERT_EQ(t.NumLinhas, 1);
        EXPECT_EQ(t.Rotulo(1), "RJ");
        ASSERT_EQ(
            roda({"select sigla || '?:n', 1 from uf", "where sigla = :N or nome = :n or nome = ?"}, seguro, "n", "SP"),
            DesfechoConsulta::Tabela);
        ASSERT_EQ(t.NumLinhas, 1);
        EXPECT_EQ(t.Rotulo(1), "SP?:n");
        EXPECT_EQ(roda({"select sigla, 1 from uf where nome = ?"}, seguro, "n", "x'); delete from uf; --"),
                  DesfechoConsulta::Recusada);
    }
    EXPECT_EQ(roda({"update uf set pop = 2 where sigla = ?"}, false, "n", "SP"), DesfechoConsulta::Comandos);
    ASSERT_EQ(roda({"select sigla, pop from uf where pop = 2"}, true), DesfechoConsulta::Tabela);
    EXPECT_EQ(t.Rotulo(1), "SP");
}

} // namespace
} // namespace dorvan

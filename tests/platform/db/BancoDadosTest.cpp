#include "platform/db/BancoDados.h"

#include "platform/Arquivos.h"
#include "support/ApoioTeste.h"

#include <QSqlTableModel>
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <mutex>
#include <thread>
#include <unistd.h>

namespace dorvan {
namespace {

// Qt loads its SQL drivers only under an application object.
struct ComAplicacao : ::testing::Environment {
    void SetUp() override { teste::GaranteAplicacao(); }
};
const auto* const g_app = ::testing::AddGlobalTestEnvironment(new ComAplicacao);

// Every warning Qt prints while a test runs.
std::vector<std::string>& Avisos() {
    static std::vector<std::string> avisos;
    return avisos;
}
void GuardaAviso(QtMsgType, const QMessageLogContext&, const QString& texto) {
    Avisos().push_back(texto.toStdString());
}

// The message of the ErroBD that acao raises; "(nenhum erro)" when it raises none.
template <typename F>
std::string ErroDe(F acao) {
    try {
        acao();
    } catch (const ErroBD& e) {
        return e.what();
    }
    return "(nenhum erro)";
}

std::vector<std::string> LeTodos(ConsultaBD& q, int campo) {
    std::vector<std::string> r;
    for (q.Abre(); !q.Fim(); q.Proximo()) r.push_back(q.Texto(campo));
    return r;
}

TEST(DialetoDoDriver, PostgreSQLIsNotTakenForIngres) {
    struct Caso {
        const char* driver;
        Dialeto dialeto;
    } casos[] = {
        {"POSTGRESQL", Dialeto::PostgreSQL}, {"postgres", Dialeto::PostgreSQL}, {"INGRES", Dialeto::Ingres},
        {"STANDARD", Dialeto::Padrao},       {"SQLITE", Dialeto::SQLite},       {"ORACLE", Dialeto::Oracle},
        {"MYSQL ODBC", Dialeto::MySQL},      {"INTRBASE", Dialeto::InterBase},  {"FIREBIRD", Dialeto::Firebird},
        {"MSACCESS", Dialeto::MSAccess},     {"ODBC", Dialeto::ODBC},           {"DB2", Dialeto::Outro},
    };
    for (const auto& c : casos) EXPECT_EQ(DialetoDoDriver(c.driver), c.dialeto) << c.driver;
}

TEST(ConfiguracaoAliases, RoundTripsSortedMatchingCaseAndKeepsNoPassword) {
    teste::PastaTemporaria pasta;
    ConfiguracaoAliases config(pasta / "Aliases.ini");
    config.Define({"vendas", "postgresql", "loja", "db.exemplo", 5433, "ana", "connect_timeout=3"});
    config.Define({"Arquivo", "STANDARD", "/dados", "", 0, "", ""});
    config.Define({"SA\xDA" "DE", "SQLITE", "/dados/saude.sqlite", "", 0, "", ""});
    config.Define({"VENDAS", "POSTGRESQL", "loja2", "db.exemplo", 5432, "ana", ""}); // same alias, replaced
    config.Grava();

    ConfiguracaoAliases lida(pasta / "Aliases.ini");
    lida.Le();
    EXPECT_EQ(lida.Nomes(), (std::vector<std::string>{"Arquivo", "SA\xDA" "DE", "VENDAS"})); // the later spelling
    auto v = lida.Acha("Vendas");
    ASSERT_TRUE(v);
    EXPECT_EQ(v->driver, "POSTGRESQL");
    EXPECT_EQ(v->banco, "loja2");
    EXPECT_EQ(v->host, "db.exemplo");
    EXPECT_EQ(v->porta, 5432);
    EXPECT_EQ(v->usuario, "ana");
    EXPECT_TRUE(lida.Existe("sa\xfa" "de"));
    EXPECT_FALSE(lida.Existe("outro"));
    std::string texto = pasta.Le("Aliases.ini");
    EXPECT_EQ(texto.find("PASSWORD"), std::string::npos);
    EXPECT_NE(texto.find("[Arquivo]\r\nDRIVER=STANDARD\r\nDATABASE=/dados\r\n"), std::string::npos);

    EXPECT_TRUE(lida.Apaga("ARQUIVO"));
    EXPECT_FALSE(lida.Apaga("ARQUIVO"));
    for (const char* ruim : {"", " a", "a]", "[a", "x=y", "a;b", "a\tb"})
        EXPECT_THROW(lida.Define({ruim, "STANDARD", "/", "", 0, "", ""}), ErroBD) << ruim;
    EXPECT_THROW(lida.Define({"x", "ORACLE", "", "", 0, "", ""}), ErroBD);
}

TEST(ConfiguracaoAliases, AValueWithALineBreakCannotAddLinesToTheFile) {
    teste::PastaTemporaria pasta;
    ConfiguracaoAliases config(pasta / "Aliases.ini");
    config.Define({"Loja", "SQLITE", "/dados/loja.sqlite", "", 0, "", ""});
    const std::string injetado = "\r\n[Intruso]\r\nDRIVER=STANDARD\r\nDATABASE=/";
    for (int campo = 0; campo < 4; ++campo) {
        Alias a{"Loja", "POSTGRESQL", "loja", "db", 0, "ana", ""};
        std::string* alvos[] = {&a.banco, &a.host, &a.usuario, &a.opcoes};
        *alvos[campo] += campo % 2 ? injetado : "\n[Intruso]";
        EXPECT_EQ(ErroDe([&] { config.Define(a); }), "Valor inv\xE1lido no banco de dados \"Loja\"") << campo;
    }
    config.Grava();
    ConfiguracaoAliases lida(pasta / "Aliases.ini");
    lida.Le();
    EXPECT_EQ(lida.Nomes(), std::vector<std::string>{"Loja"});
    EXPECT_EQ(lida.Acha("Loja")->driver, "SQLITE");
}

TEST(ConfiguracaoAliases, TheEnvironmentNamesTheFileForTests) {
    setenv("DORVAN_ALIASES", "/tmp/outro/Aliases.ini", 1);
    EXPECT_EQ(ConfiguracaoAliases::ArquivoPadrao(), "/tmp/outro/Aliases.ini");
    unsetenv("DORVAN_ALIASES");
    EXPECT_EQ(std::filesystem::path(ConfiguracaoAliases::ArquivoPadrao()).filename(), "Aliases.ini");
}

// A source of STANDARD tables that gives none: the record files are read by a layer above.
class FonteVazia : public FontePadrao {
public:
    std::string Prepara(void* sqlite, const std::string& pasta) override {
        pastas.push_back(pasta);
        return sqlite ? "" : "sem conex\xE3o";
    }
    std::vector<std::string> pastas;
};

class MotorSQLite : public ::testing::Test {
protected:
    void SetUp() override {
        // An SQLite file alias: the engine never makes up the file itself.
        ASSERT_EQ(teste::Executa("sqlite3 '" + arquivo + "' 'PRAGMA user_version = 1'"), 0);
        ASSERT_EQ(motor.Inicia(), 0);
        motor.DefineAlias({"Local", DriverSQLite, arquivo, "", 0, "", ""});
        ConsultaBD q(motor);
        q.DatabaseName = "LOCAL";
        for (const char* sql :
             {"CREATE TABLE pessoas (id INTEGER PRIMARY KEY AUTOINCREMENT, nome VARCHAR(40), idade INTEGER, "
              "peso DOUBLE, nascido DATE)",
              "CREATE INDEX pessoas_nome_idade ON pessoas (nome, idade)",
              "CREATE TABLE cidades (uf CHAR(2), codigo INTEGER, nome TEXT, PRIMARY KEY (uf, codigo))",
              "CREATE VIEW adultos AS SELECT * FROM pessoas WHERE idade >= 18"}) {
            q.SQL = {sql};
            q.Executa();
        }
        q.SQL = {"INSERT INTO pessoas (nome, idade, peso, nascido)", "VALUES (:nome, 30, 61.5, '1994-02-03')"};
        for (const char* nome : {"Ana", "O'Brien", "Jo\xE3o", "x'); DROP TABLE pessoas; --"}) {
            q.DefineParametro("nome", nome);
            EXPECT_EQ(q.Executa(), 1);
        }
    }

    teste::PastaTemporaria pasta;
    const std::string arquivo = pasta / "banco.sqlite";
    MotorBD motor{pasta / "Aliases.ini"};
};

TEST_F(MotorSQLite, AParameterHoldingAQuoteIsBoundNotPasted) {
    ConsultaBD q(motor);
    q.DatabaseName = "local";
    q.SQL = {"SELECT nome FROM pessoas WHERE nome = :nome"};
    q.DefineParametro("nome", "O'Brien");
    EXPECT_EQ(LeTodos(q, 0), std::vector<std::string>{"O'Brien"});
    q.DefineParametro("nome", "x'); DROP TABLE pessoas; --");
    EXPECT_EQ(LeTodos(q, 0), std::vector<std::string>{"x'); DROP TABLE pessoas; --"});
    q.DefineParametro("nome", "Jo\xE3o");
    EXPECT_EQ(LeTodos(q, 0), std::vector<std::string>{"Jo\xE3o"});
    q.LimpaParametros();
    q.SQL = {"SELECT COUNT(*) FROM pessoas"};
    EXPECT_EQ(LeTodos(q, 0), std::vector<std::string>{"4"});
}

TEST_F(MotorSQLite, RowsAreCountedAsTheyAreReadAndFieldsDescribed) {
    ConsultaBD q(motor);
    q.DatabaseName = "Local";
    q.SQL = {"SELECT id, nome, peso, nascido, 'abc' AS texto FROM pessoas ORDER BY id"};
    q.Abre();
    EXPECT_EQ(q.RecordCount(), 1);
    ASSERT_EQ(q.NumCampos(), 5);
    EXPECT_EQ(q.Campo(1).nome, "nome");
    EXPECT_EQ(q.Campo(1).tipo, TipoCampo::Texto);
    EXPECT_EQ(q.Campo(2).tipo, TipoCampo::Real);
    EXPECT_EQ(q.Texto(2), "61.5");
    EXPECT_DOUBLE_EQ(q.Real(2), 61.5);
    EXPECT_EQ(q.Texto(3), "1994-02-03");
    EXPECT_EQ(ErroDe([&] { q.Real(4); }), "'abc' n\xE3o \xE9 um n\xFAmero v\xE1lido");
    while (!q.Fim()) q.Proximo();
    EXPECT_EQ(q.RecordCount(), 4);
    q.Primeiro();
    EXPECT_EQ(q.Texto(1), "Ana");
    EXPECT_EQ(q.RecordCount(), 1);
    q.Fecha();
    EXPECT_FALSE(q.Aberta());
}

TEST_F(MotorSQLite, FirstGoesBackToTheOnlyRowAfterReadingPastIt) {
    ConsultaBD q(motor);
    q.DatabaseName = "Local";
    q.SQL = {"SELECT nome FROM pessoas WHERE id = 1"};
    q.Abre();
    q.Proximo();
    ASSERT_TRUE(q.Fim());
    q.Primeiro();
    EXPECT_FALSE(q.Fim());
    EXPECT_EQ(q.Texto(0), "Ana");
    EXPECT_EQ(q.RecordCount(), 1);
}

TEST_F(MotorSQLite, AFieldPositionOutsideTheResultIsAnErrorNotAnEmptyValue) {
    ConsultaBD q(motor);
    q.DatabaseName = "Local";
    q.SQL = {"SELECT nome, idade FROM pessoas"};
    q.Abre();
    for (int i : {-1, 2, 40}) {
        const std::string esperado = "Campo inexistente: " + std::to_string(i);
        EXPECT_EQ(ErroDe([&] { q.Texto(i); }), esperado);
        EXPECT_EQ(ErroDe([&] { q.Real(i); }), esperado);
        EXPECT_EQ(ErroDe([&] { q.Nulo(i); }), esperado);
        EXPECT_EQ(ErroDe([&] { q.Campo(i); }), esperado);
    }
    EXPECT_EQ(q.Texto(1), "30");
}

TEST_F(MotorSQLite, EngineErrorsCarryTheEnginesOwnMessage) {
    ConsultaBD q(motor);
    q.DatabaseName = "Local";
    q.SQL = {"SELECT * FROM nada"};
    EXPECT_EQ(ErroDe([&] { q.Abre(); }), "no such table: nada");
    EXPECT_FALSE(q.Aberta());
    q.DatabaseName = "falta";
    EXPECT_THROW(q.Abre(), ErroBD);
}

TEST_F(MotorSQLite, TablesLeaveOutSystemTablesAndIndexesComeFromTheCatalog) {
    EXPECT_EQ(motor.NomesTabelas("Local", "*.*", true, false),
              (std::vector<std::string>{"adultos", "cidades", "pessoas"}));
    auto comSistema = motor.NomesTabelas("Local", "", false, true);
    EXPECT_NE(std::find(comSistema.begin(), comSistema.end(), "sqlite_sequence"), comSistema.end());
    EXPECT_EQ(motor.NomesTabelas("Local", "p*"), std::vector<std::string>{"pessoas"});

    auto indices = motor.Indices("Local", "pessoas");
    ASSERT_EQ(indices.size(), 2u);
    EXPECT_EQ(indices[0].nome, "PRIMARY");
    EXPECT_EQ(indices[0].campos, "id");
    EXPECT_EQ(indices[1].nome, "pessoas_nome_idade");
    EXPECT_EQ(indices[1].campos, "nome;idade");
    auto cidades = motor.Indices("Local", "cidades");
    ASSERT_EQ(cidades.size(), 1u);
    EXPECT_EQ(cidades[0].campos, "uf;codigo");
    // The table name is bound: a name with a quote is simply not found.
    EXPECT_TRUE(motor.Indices("Local", "x'); DROP TABLE pessoas; --").empty());
    EXPECT_EQ(motor.NomesCampos("Local", "cidades"), (std::vector<std::string>{"uf", "codigo", "nome"}));
    EXPECT_TRUE(motor.EhServidorSQL("local"));
    EXPECT_EQ(motor.NomeDriverAlias("LOCAL"), "SQLITE");
}

TEST_F(MotorSQLite, TheDatabaseIsAPlainSQLiteFileOthersCanRead) {
    std::string saida;
    ASSERT_EQ(teste::Executa("sqlite3 '" + arquivo + "' \"SELECT nome FROM pessoas WHERE id = 2\"", &saida), 0);
    EXPECT_EQ(saida, "O'Brien\n");
    // A file alias over the same file, and one over a missing file.
    motor.DefineAlias({"Arquivo", "SQLITE", arquivo, "", 0, "", ""});
    EXPECT_TRUE(motor.EhServidorSQL("arquivo"));
    EXPECT_EQ(motor.NomesTabelas("Arquivo"), (std::vector<std::string>{"adultos", "cidades", "pessoas"}));
    motor.DefineAlias({"Falta", "SQLITE", pasta / "falta.sqlite", "", 0, "", ""});
    EXPECT_THROW(motor.NomesTabelas("Falta"), ErroBD);
    EXPECT_FALSE(std::filesystem::exists(pasta / "falta.sqlite"));
    EXPECT_FALSE(motor.TestaConexao({"x", "SQLITE", pasta / "falta.sqlite", "", 0, "", ""}).empty());
    EXPECT_EQ(motor.TestaConexao({"x", "SQLITE", arquivo, "", 0, "", ""}), "");
}

TEST_F(MotorSQLite, EndingTheEngineDropsQueriesAndModelsWithoutWarnings) {
    ConsultaBD q(motor);
    q.DatabaseName = "Local";
    q.SQL = {"SELECT nome FROM pessoas"};
    q.Abre();
    QSqlTableModel* modelo = motor.CriaModelo("Local", "pessoas");
    EXPECT_EQ(modelo->rowCount(), 4);
    motor.GravaConfiguracao();

    Avisos().clear();
    QtMessageHandler antigo = qInstallMessageHandler(GuardaAviso);
    motor.Encerra();
    qInstallMessageHandler(antigo);
    EXPECT_TRUE(Avisos().empty()) << Avisos().front();
    EXPECT_FALSE(q.Aberta());
    EXPECT_THROW(q.Abre(), ErroBD); // the engine is not running

    // Started again, the saved aliases and the data are there.
    ASSERT_EQ(motor.Inicia(), 0);
    motor.DefineAlias({"Outro", DriverSQLite, arquivo, "", 0, "", ""});
    EXPECT_EQ(LeTodos(q, 0).size(), 4u);
    q.DatabaseName = "Outro";
    EXPECT_EQ(LeTodos(q, 0).size(), 4u);
    EXPECT_THROW(motor.AdicionaAliasPadrao("outro", "/"), ErroBD);
}

TEST_F(MotorSQLite, RemovingAnAliasDropsTheQueriesAndModelsOnItsConnection) {
    motor.DefineAlias({"Outro", DriverSQLite, arquivo, "", 0, "", ""});
    ConsultaBD q(motor);
    q.DatabaseName = "Local";
    q.SQL = {"SELECT nome FROM pessoas"};
    q.Abre();
    q.DatabaseName = "Outro"; // the next run goes elsewhere; the result still holds Local's connection
    ConsultaBD outra(motor);
    outra.DatabaseName = "Outro";
    outra.SQL = {"SELECT nome FROM pessoas"};
    outra.Abre();
    motor.CriaModelo("Local", "pessoas");

    Avisos().clear();
    QtMessageHandler antigo = qInstallMessageHandler(GuardaAviso);
    motor.ApagaAlias("local");
    qInstallMessageHandler(antigo);
    EXPECT_TRUE(Avisos().empty()) << Avisos().front();
    EXPECT_FALSE(q.Aberta());
    EXPECT_TRUE(outra.Aberta()); // another alias's result is left alone
    EXPECT_EQ(LeTodos(q, 0).size(), 4u);
}

TEST(ConsultaBD, AQueryKeptLongerThanItsEngineNoLongerReachesIt) {
    teste::PastaTemporaria pasta;
    auto motor = std::make_unique<MotorBD>(pasta / "Aliases.ini");
    motor->DefineFontePadrao(std::make_shared<FonteVazia>());
    ASSERT_EQ(motor->Inicia(), 0);
    motor->AdicionaAliasPadrao("Local", pasta.Caminho().string());
    auto q = std::make_unique<ConsultaBD>(*motor);
    q->DatabaseName = "Local";
    q->SQL = {"SELECT 1"};
    q->Abre();
    motor.reset();
    EXPECT_FALSE(q->Aberta());
    EXPECT_EQ(ErroDe([&] { q->Abre(); }), "O motor de banco de dados n\xE3o foi iniciado.");
    q.reset();
}

TEST(MotorPadrao, AStandardAliasIsAFolderItsSourceFillsAndNothingIsWrittenThere) {
    teste::PastaTemporaria pasta;
    std::filesystem::create_directories(pasta.Caminho() / "dados");
    const std::string dados = pasta / "dados";
    MotorBD motor(pasta / "Aliases.ini");
    ASSERT_EQ(motor.Inicia(), 0);
    motor.AdicionaAliasPadrao("Dados", dados);
    // Without the layer that reads the files, such an alias does not open.
    EXPECT_EQ(ErroDe([&] { motor.NomesTabelas("Dados"); }), "Bancos de dados STANDARD n\xE3o est\xE3o dispon\xEDveis.");
    auto fonte = std::make_shared<FonteVazia>();
    motor.DefineFontePadrao(fonte);
    EXPECT_TRUE(motor.NomesTabelas("Dados").empty());
    ConsultaBD q(motor);
    q.DatabaseName = "dados";
    q.SQL = {"SELECT 1"};
    EXPECT_EQ(LeTodos(q, 0), std::vector<std::string>{"1"});
    // Each statement lets the source see the folder again.
    EXPECT_EQ(fonte->pastas, (std::vector<std::string>{dados, dados}));
    EXPECT_FALSE(motor.EhServidorSQL("Dados"));
    EXPECT_TRUE(std::filesystem::is_empty(dados));
    EXPECT_EQ(motor.TestaConexao({"x", DriverPadrao, pasta / "falta", "", 0, "", ""}),
              "Diret\xF3rio n\xE3o encontrado: " + (pasta / "falta"));
}

TEST_F(MotorSQLite, SavedAliasesAreThereAfterARestart) {
    motor.GravaConfiguracao();
    MotorBD outro(pasta / "Aliases.ini");
    ASSERT_EQ(outro.Inicia(), 0);
    EXPECT_EQ(outro.NomesAliases(), std::vector<std::string>{"Local"});
    ConsultaBD q(outro);
    q.DatabaseName = "local";
    q.SQL = {"SELECT nome FROM pessoas WHERE id = 1"};
    EXPECT_EQ(LeTodos(q, 0), std::vector<std::string>{"Ana"});
    outro.ApagaAlias("LOCAL");
    EXPECT_FALSE(outro.AliasExiste("Local"));
    EXPECT_THROW(outro.NomeDriverAlias("Local"), ErroBD);
}

TEST_F(MotorSQLite, ConnectionsServeOnlyTheThreadThatStartedTheEngine) {
    std::string erro;
    std::thread t([&] { erro = ErroDe([&] { motor.NomesTabelas("Local"); }); });
    t.join();
    EXPECT_EQ(erro, "O banco de dados s\xF3 pode ser usado pela janela principal.");
}

// ------------------------------------------------------------ PostgreSQL

// A server comes from the libpq environment (PGHOST, PGDATABASE, ...). Without one
// the tests skip, unless DORVAN_EXIGE_POSTGRESQL says CI must have one.
class MotorPostgreSQL : public ::testing::Test {
protected:
    void SetUp() override {
        DORVAN_PULA_SEM_POSTGRESQL();
        ASSERT_EQ(motor.Inicia(), 0);
        // Test programs run side by side: each works in schemas of its own, the first on its search path.
        esquema = "dorvan_t" + std::to_string(getpid());
        outro = esquema + "_x";
        motor.DefineAlias(AliasDoServidor());
        ASSERT_EQ(motor.TestaConexao(AliasDoServidor()), "");
        Executa("DROP SCHEMA IF EXISTS " + esquema + " CASCADE");
        Executa("DROP SCHEMA IF EXISTS " + outro + " CASCADE");
        Executa("CREATE SCHEMA " + esquema);
        Executa("CREATE SCHEMA " + outro);
        Executa("CREATE TABLE dorvan_pessoas (id SERIAL PRIMARY KEY, nome VARCHAR(40), idade INTEGER, "
                "peso NUMERIC(6,2))");
        Executa("CREATE INDEX dorvan_pessoas_idade_nome ON dorvan_pessoas (idade, nome)");
        Executa("CREATE TABLE " + outro + ".cidades (uf CHAR(2), codigo INTEGER, PRIMARY KEY (codigo, uf))");
        ConsultaBD q(motor);
        q.DatabaseName = "servidor";
        q.SQL = {"INSERT INTO dorvan_pessoas (nome, idade, peso) VALUES (:nome, 40, 70.25)"};
        for (const char* nome : {"Ana", "O'Brien", "Jo\xE3o", "a\\'b"}) {
            q.DefineParametro("nome", nome);
            q.Executa();
        }
    }
    void TearDown() override {
        if (motor.Iniciado() && motor.AliasExiste("Servidor")) {
            Executa("DROP SCHEMA IF EXISTS " + esquema + " CASCADE");
            Executa("DROP SCHEMA IF EXISTS " + outro + " CASCADE");
        }
    }
    Alias AliasDoServidor() const { return teste::AliasPostgreSQL("Servidor", esquema); }
    void Executa(const std::string& sql) {
        ConsultaBD q(motor);
        q.DatabaseName = "Servidor";
        q.SQL = {sql};
        q.Executa();
    }

    teste::PastaTemporaria pasta;
    MotorBD motor{pasta / "Aliases.ini"};
    std::string esquema, outro;
};

TEST_F(MotorPostgreSQL, AParameterHoldingAQuoteIsBoundNotPasted) {
    ConsultaBD q(motor);
    q.DatabaseName = "Servidor";
    q.SQL = {"SELECT nome FROM dorvan_pessoas WHERE nome = :nome"};
    for (const char* nome : {"O'Brien", "Jo\xE3o", "a\\'b"}) {
        q.DefineParametro("nome", nome);
        EXPECT_EQ(LeTodos(q, 0), std::vector<std::string>{nome});
    }
    q.LimpaParametros();
    q.SQL = {"SELECT id, nome, peso, idade::text || 'x' AS t FROM dorvan_pessoas ORDER BY id"};
    q.Abre();
    EXPECT_EQ(q.Campo(1).tipo, TipoCampo::Texto);
    EXPECT_EQ(q.Campo(1).tamanho, 40);
    EXPECT_DOUBLE_EQ(q.Real(2), 70.25);
    EXPECT_THROW(q.Real(3), ErroBD);
    while (!q.Fim()) q.Proximo();
    EXPECT_EQ(q.RecordCount(), 4);
}

TEST_F(MotorPostgreSQL, EngineErrorsCarryTheServersMessage) {
    ConsultaBD q(motor);
    q.DatabaseName = "Servidor";
    q.SQL = {"SELECT * FROM dorvan_nada"};
    const std::string erro = ErroDe([&] { q.Abre(); });
    EXPECT_NE(erro.find("relation \"dorvan_nada\" does not exist"), std::string::npos) << erro;
    Alias errado{"x", "POSTGRESQL", "dorvan_banco_que_falta", std::getenv("PGHOST"), 0, "", ""};
    if (const char* p = std::getenv("PGPORT")) errado.porta = std::atoi(p);
    EXPECT_NE(motor.TestaConexao(errado).find("dorvan_banco_que_falta"), std::string::npos);
}

TEST_F(MotorPostgreSQL, TablesLeaveOutCatalogsAndIndexesComeFromTheCatalog) {
    auto tabelas = motor.NomesTabelas("Servidor", "*.*", true, false);
    EXPECT_NE(std::find(tabelas.begin(), tabelas.end(), "dorvan_pessoas"), tabelas.end());
    EXPECT_EQ(std::count(tabelas.begin(), tabelas.end(), outro + ".cidades"), 1);
    for (const auto& t : tabelas) {
        EXPECT_NE(t.rfind("pg_", 0), 0u) << t;
        EXPECT_EQ(t.find("information_schema"), std::string::npos) << t;
    }
    auto sistema = motor.NomesTabelas("Servidor", "", false, true);
    EXPECT_NE(std::find(sistema.begin(), sistema.end(), "pg_catalog.pg_class"), sistema.end());

    auto indices = motor.Indices("Servidor", "dorvan_pessoas");
    ASSERT_EQ(indices.size(), 2u);
    EXPECT_EQ(indices[0].nome, "dorvan_pessoas_idade_nome");
    EXPECT_EQ(indices[0].campos, "idade;nome");
    EXPECT_EQ(indices[1].nome, "dorvan_pessoas_pkey");
    EXPECT_EQ(indices[1].campos, "id");
    auto cidades = motor.Indices("Servidor", outro + ".cidades");
    ASSERT_EQ(cidades.size(), 1u);
    EXPECT_EQ(cidades[0].campos, "codigo;uf");
    EXPECT_TRUE(motor.Indices("Servidor", "x'; DROP TABLE dorvan_pessoas; --").empty());
    EXPECT_TRUE(motor.EhServidorSQL("Servidor"));
}

TEST_F(MotorPostgreSQL, ATableListedWithCapitalsOpensUnderThatName) {
    Executa("CREATE TABLE \"Cidades\" (\"Codigo\" INTEGER PRIMARY KEY, nome TEXT)");
    Executa("CREATE TABLE " + outro + ".\"Estados\" (uf CHAR(2))");
    Executa("INSERT INTO \"Cidades\" VALUES (1, 'Lins')");
    auto tabelas = motor.NomesTabelas("Servidor");
    ASSERT_NE(std::find(tabelas.begin(), tabelas.end(), "Cidades"), tabelas.end());
    ASSERT_NE(std::find(tabelas.begin(), tabelas.end(), outro + ".Estados"), tabelas.end());
    EXPECT_EQ(motor.NomesCampos("Servidor", "Cidades"), (std::vector<std::string>{"Codigo", "nome"}));
    EXPECT_EQ(motor.NomesCampos("Servidor", outro + ".Estados"), std::vector<std::string>{"uf"});
    EXPECT_EQ(motor.CriaModelo("Servidor", "Cidades")->rowCount(), 1);
    auto indices = motor.Indices("Servidor", "Cidades");
    ASSERT_EQ(indices.size(), 1u);
    EXPECT_EQ(indices[0].campos, "Codigo");
}

TEST_F(MotorPostgreSQL, EndingAndRestartingTheEngineLeavesNoConnectionInUse) {
    ConsultaBD q(motor);
    q.DatabaseName = "Servidor";
    q.SQL = {"SELECT nome FROM dorvan_pessoas"};
    q.Abre();
    motor.CriaModelo("Servidor", "dorvan_pessoas");
    Avisos().clear();
    QtMessageHandler antigo = qInstallMessageHandler(GuardaAviso);
    motor.Encerra();
    qInstallMessageHandler(antigo);
    EXPECT_TRUE(Avisos().empty()) << Avisos().front();
    ASSERT_EQ(motor.Inicia(), 0); // the aliases file was never written: define again
    motor.DefineAlias(AliasDoServidor());
    EXPECT_EQ(LeTodos(q, 0).size(), 4u);
}

} // namespace
} // namespace dorvan

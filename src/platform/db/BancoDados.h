#pragma once
// The database engine: every SQL operation of the program goes through here, over
// Qt SQL. An alias is a named connection kept in a settings file of its own; the
// "STANDARD" kind is a folder of record files, queried by an SQLite database held
// in memory (nothing is written into the folder) whose tables the engine's
// FontePadrao provides. Connections live on the thread that started the engine (the window
// thread). Names and SQL text are 1252; connection fields (database, host, user,
// options) are system text (UTF-8), as file names are.
#include <QString>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

class QObject;
class QSqlDatabase;
class QSqlQuery;
class QSqlTableModel;
class QThread;

namespace dorvan {

// An error of the engine, carrying the engine's own message.
class ErroBD : public std::runtime_error {
public:
    explicit ErroBD(const std::string& mensagem) : std::runtime_error(mensagem) {}
};

// Driver names an alias can have.
inline constexpr const char* DriverPadrao = "STANDARD";
inline constexpr const char* DriverSQLite = "SQLITE";
inline constexpr const char* DriverPostgreSQL = "POSTGRESQL";
inline constexpr const char* DriverODBC = "ODBC";

// The SQL dialect a driver name stands for. Driver names are tested by parts of
// their name; POSTGRESQL is looked at before "GRES", which would take it for INGRES.
enum class Dialeto { Padrao, Oracle, MySQL, SQLite, Firebird, InterBase, PostgreSQL, Ingres, ODBC, MSAccess, Outro };
Dialeto DialetoDoDriver(const std::string& driver);

// Drivers whose Qt plugin is installed, in the order the alias editor offers them.
std::vector<std::string> DriversDisponiveis();

struct Alias {
    std::string nome;    // 1252; matched ignoring case
    std::string driver;  // one of the Driver* names
    std::string banco;   // STANDARD: folder; SQLITE: file; POSTGRESQL: database; ODBC: data source
    std::string host;
    int porta = 0;       // 0: the driver's default
    std::string usuario;
    std::string opcoes;  // the driver's connect options, "name=value;name=value"
};

// The aliases file. Passwords are never kept here: PostgreSQL takes them from its
// own password file or environment.
class ConfiguracaoAliases {
public:
    // $DORVAN_ALIASES when set, else "Aliases.ini" beside the program (and Dorvan.ini).
    static std::string ArquivoPadrao();

    explicit ConfiguracaoAliases(std::string arquivo = ArquivoPadrao()) : arquivo_(std::move(arquivo)) {}
    const std::string& Arquivo() const { return arquivo_; }

    void Le();          // a missing file has no aliases; throws ErroES
    void Grava() const; // throws ErroES

    std::vector<std::string> Nomes() const; // sorted ignoring case
    bool Existe(const std::string& nome) const;
    std::optional<Alias> Acha(const std::string& nome) const;
    // Adds or replaces (same name ignoring case). Throws ErroBD for a name the
    // file cannot hold or an unknown driver.
    void Define(const Alias& alias);
    bool Apaga(const std::string& nome);

private:
    std::string arquivo_;
    std::vector<Alias> aliases_;
};

enum class TipoCampo {
    Desconhecido, Texto, Inteiro16, Inteiro, Inteiro64, Palavra, Logico, Real, Moeda, BCD, Data, Hora, DataHora, Bytes,
    VarBytes, Outro
};

struct CampoBD {
    std::string nome;
    TipoCampo tipo = TipoCampo::Desconhecido;
    int tamanho = 0;
};

// One value of a result row: its text and the kind the engine gave it.
struct ValorBD {
    std::string texto;
    TipoCampo tipo = TipoCampo::Desconhecido;
};

struct IndiceBD {
    std::string nome;
    std::string campos; // field names separated by ';'
};

// The text of a statement ready to bind one parameter: every placeholder of it
// outside quotes and comments (":nome" in any case, and "?") becomes the engine's
// own mark, "?" or, numerada, "$1", "$2", ...; comments are blanked, so no mark
// hides in them. marcas counts the placeholders; 0 leaves the text as it was.
struct TextoMarcado {
    QString texto;
    int marcas = 0;
};
TextoMarcado MarcaParametros(const QString& sql, const QString& nome, bool numerada);

class ConsultaBD;

// Where the tables of STANDARD aliases come from: the record files of the alias's
// folder, read by a layer above the engine. The program hands one to the engine
// before it starts it; without it a STANDARD alias does not open.
class FontePadrao {
public:
    virtual ~FontePadrao() = default;
    // Makes the open SQLite connection (a sqlite3*) show the folder's tables as they
    // are now. An error text, empty when it worked.
    virtual std::string Prepara(void* sqlite, const std::string& pasta) = 0;
};

class MotorBD {
public:
    // An engine over the given aliases file.
    explicit MotorBD(std::string arquivoAliases = ConfiguracaoAliases::ArquivoPadrao());
    ~MotorBD();
    MotorBD(const MotorBD&) = delete;
    MotorBD& operator=(const MotorBD&) = delete;

    // 0 when the engine is ready: the SQLite driver exists and the aliases file was
    // read. 1: no SQL driver; 2: the aliases file cannot be read; 3: no application object.
    int Inicia();
    // Drops every query and model, then every connection.
    void Encerra();
    bool Iniciado() const { return iniciado_; }
    void DefineFontePadrao(std::shared_ptr<FontePadrao> fonte) { fontePadrao_ = std::move(fonte); }

    const ConfiguracaoAliases& Aliases() const { return aliases_; }
    std::vector<std::string> NomesAliases() const;
    bool AliasExiste(const std::string& nome) const;
    // "STANDARD" or the driver's name; throws ErroBD for an unknown alias.
    std::string NomeDriverAlias(const std::string& nome) const;
    // A standard alias of that folder; throws ErroBD when the name exists.
    void AdicionaAliasPadrao(const std::string& nome, const std::string& pasta);
    // Adds or replaces an alias; its open connection, if any, is closed first.
    void DefineAlias(const Alias& alias);
    void ApagaAlias(const std::string& nome);
    void GravaConfiguracao() const;

    // Tables (and views) of the alias matching padrao ("*", "*.*" or empty: all).
    // System tables (sqlite_*, PostgreSQL catalogs) only when asked. Names outside
    // PostgreSQL's search path carry their schema. comExtensoes has no effect: the
    // tables of a STANDARD alias are named after their files without extension,
    // as SQL (and Qt) would read a dot in a name as a schema's.
    std::vector<std::string> NomesTabelas(const std::string& alias, const std::string& padrao = {},
                                          bool comExtensoes = false, bool comSistema = false);
    // False only for standard aliases.
    bool EhServidorSQL(const std::string& alias) const;
    // Opens a connection with these settings and closes it again; empty when it
    // works, else the engine's message.
    std::string TestaConexao(const Alias& alias);

    // A table model for browsing and editing, owned by the engine and deleted when
    // the engine ends or LiberaModelo is called. Throws ErroBD.
    QSqlTableModel* CriaModelo(const std::string& alias, const std::string& tabela);
    void LiberaModelo(QSqlTableModel* modelo);

    // The index definitions of a table, from its engine's catalog.
    std::vector<IndiceBD> Indices(const std::string& alias, const std::string& tabela);
    std::vector<std::string> NomesCampos(const std::string& alias, const std::string& tabela);

private:
    friend class ConsultaBD;
    struct Conexao;
    // Opens (once) the connection of an alias and gives its Qt name.
    QString AbreConexao(const std::string& alias);
    void PreparaPadrao(const Alias& a, const QSqlDatabase& db);
    void FechaConexao(const std::string& alias);
    void ExigeIniciado() const;
    Alias AliasOuErro(const std::string& nome) const;
    void Registra(ConsultaBD* c);
    void Desregistra(ConsultaBD* c);

    ConfiguracaoAliases aliases_;
    std::shared_ptr<FontePadrao> fontePadrao_;
    bool iniciado_ = false;
    QThread* thread_ = nullptr;
    int numero_;
    std::vector<std::unique_ptr<Conexao>> conexoes_;
    std::vector<ConsultaBD*> consultas_;
    std::vector<std::unique_ptr<QSqlTableModel>> modelos_;
};

// The program's engine.
MotorBD& MotorAtual();

// A query, owned by its caller; the engine drops its result when it ends. Rows are
// read forward only and counted as they are read.
class ConsultaBD {
public:
    explicit ConsultaBD(MotorBD& motor = MotorAtual());
    ~ConsultaBD();
    ConsultaBD(const ConsultaBD&) = delete;
    ConsultaBD& operator=(const ConsultaBD&) = delete;

    std::string DatabaseName;     // the alias
    std::vector<std::string> SQL; // lines of 1252 text
    // Only a query runs (its first word SELECT, WITH, VALUES or TABLE; on PostgreSQL
    // also one statement only, giving columns), and so the engine itself refuses
    // every write: on PostgreSQL inside "BEGIN READ ONLY", on SQLite with
    // "PRAGMA query_only". Other engines have no such mode and get the word check only.
    bool SomenteLeitura = false;

    void LimpaParametros();
    // The one string input parameter, bound to every placeholder of that name
    // (":nome") and to every "?"; a statement with none runs without it.
    void DefineParametro(const std::string& nome, const std::string& texto);

    void Abre();     // runs a statement with rows; positions on the first; throws ErroBD
    void Primeiro(); // back to the first row (runs the statement again when past it)
    void Proximo();
    bool Fim() const { return fim_; }
    long long RecordCount() const { return lidos_; }
    bool Aberta() const { return aberta_; }

    int NumCampos() const;
    CampoBD Campo(int i) const;
    bool Nulo(int i) const;
    std::string Texto(int i) const;
    double Real(int i) const; // throws ErroBD for a value that is not a number
    // The kind of the current row's value, which may differ from the column's
    // (an SQLite column holds any kind); Desconhecido when null.
    TipoCampo TipoValor(int i) const;
    // The current row's value as Texto gives it with its TipoValor, read once;
    // nullopt when null.
    std::optional<ValorBD> Valor(int i) const;

    void Fecha();
    // Runs a statement without rows; the number of rows it touched (-1 when unknown).
    long long Executa();

private:
    friend class MotorBD;
    void Solta(); // the engine is ending: drop the result now
    void Prepara();
    void ComecaLeitura(const QString& textoEnviado, bool preparado); // throws ErroBD
    void TerminaLeitura();
    void ExigeCampo(int i) const; // throws ErroBD for a position outside the open result
    bool Moeda(int i) const;      // column i is PostgreSQL's money
    MotorBD* motor_; // null once the engine object is gone
    std::unique_ptr<QSqlQuery> q_;
    QString conexao_; // the connection q_ runs on, whatever DatabaseName says now
    std::optional<std::pair<std::string, std::string>> parametro_; // name, value
    enum class Leitura { Nenhuma, PostgreSQL, SQLite };
    Leitura leitura_ = Leitura::Nenhuma; // the read-only mode in force on conexao_
    bool aberta_ = false;
    bool fim_ = true;
    int numCampos_ = 0; // the open result's columns, counted once when it opens
    std::vector<bool> moeda_; // per column: PostgreSQL's money, which comes as the server's currency text
    long long lidos_ = 0;
};

} // namespace dorvan

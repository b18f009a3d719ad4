#include "platform/db/BancoDados.h"

#include "platform/Arquivos.h"
#include "platform/Erros.h"
#include "platform/Ini.h"
#include "platform/Numeros.h"
#include "platform/Texto.h"
#include "platform/Texto1252.h"

#include <QCoreApplication>
#include <QDate>
#include <QDateTime>
#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlField>
#include <QSqlIndex>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QSqlTableModel>
#include <QThread>
#include <QTime>
#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <libpq-fe.h>

namespace dorvan {

namespace {

// The type number PostgreSQL gives its money columns (pg_type "money").
constexpr int OidMoeda = 790;

QString Chave(const std::string& nome) { return ParaQString(nome).toUpper(); }
bool MesmoNome(const std::string& a, const std::string& b) { return Chave(a) == Chave(b); }

QString Sistema(const std::string& s) { return QString::fromStdString(s); }

std::string MensagemDoErro(const QSqlError& e) {
    QString t = e.databaseText().trimmed();
    // SQLite's own text for a statement Qt refused before running it.
    if (t == QLatin1String("not an error")) t = e.driverText().trimmed();
    // SQLite's answer to what a STANDARD alias's connection may not do.
    if (t == QLatin1String("not authorized") || t == QLatin1String("authorization denied"))
        t = ParaQString("Comando n\xE3o permitido: um banco de dados STANDARD n\xE3o cria nem remove tabelas ou "
                        "arquivos.");
    if (t.isEmpty()) t = e.text().trimmed();
    if (t.isEmpty()) t = QStringLiteral("Erro do banco de dados");
    return DeQString(t);
}

const char* DriverQt(const std::string& driver) {
    if (driver == DriverPadrao || driver == DriverSQLite) return "QSQLITE";
    if (driver == DriverPostgreSQL) return "QPSQL";
    if (driver == DriverODBC) return "QODBC";
    return nullptr;
}

std::atomic<int> g_motores{0};

} // namespace

Dialeto DialetoDoDriver(const std::string& driver) {
    const std::string d = MaiusculasAscii(driver);
    auto tem = [&](const char* parte) { return d.find(parte) != std::string::npos; };
    if (d == "STANDARD") return Dialeto::Padrao;
    if (d == "MSACCESS") return Dialeto::MSAccess;
    if (tem("POSTGRES")) return Dialeto::PostgreSQL;
    if (tem("ORACLE")) return Dialeto::Oracle;
    if (tem("MYSQL")) return Dialeto::MySQL;
    if (tem("SQLITE")) return Dialeto::SQLite;
    if (tem("FIREBIRD")) return Dialeto::Firebird;
    if (tem("INTRBASE")) return Dialeto::InterBase;
    if (tem("GRES")) return Dialeto::Ingres;
    if (tem("ODBC")) return Dialeto::ODBC;
    return Dialeto::Outro;
}

std::vector<std::string> DriversDisponiveis() {
    std::vector<std::string> r;
    for (const char* d : {DriverPadrao, DriverSQLite, DriverPostgreSQL, DriverODBC})
        if (QSqlDatabase::isDriverAvailable(QString::fromLatin1(DriverQt(d)))) r.push_back(d);
    return r;
}

// ---------------------------------------------------------------- aliases file

std::string ConfiguracaoAliases::ArquivoPadrao() {
    if (const char* e = std::getenv("DORVAN_ALIASES"); e && *e) return e;
    std::error_code ec;
    auto programa = std::filesystem::read_symlink("/proc/self/exe", ec);
    auto pasta = ec ? std::filesystem::current_path(ec) : programa.parent_path();
    return (pasta / "Aliases.ini").string();
}

void ConfiguracaoAliases::Le() {
    ArquivoIni ini(arquivo_);
    ini.Le();
    aliases_.clear();
    for (const auto& secao : ini.Secoes()) {
        Alias a;
        a.nome = secao;
        a.driver = MaiusculasAscii(ini.LeTexto(secao, "DRIVER", DriverPadrao));
        a.banco = ini.LeTexto(secao, "DATABASE", "");
        a.host = ini.LeTexto(secao, "HOST", "");
        a.porta = ini.LeInteiro(secao, "PORT", 0);
        a.usuario = ini.LeTexto(secao, "USER", "");
        a.opcoes = ini.LeTexto(secao, "OPTIONS", "");
        if (a.nome.empty() || Existe(a.nome)) continue; // the first of a repeated name wins
        aliases_.push_back(std::move(a));
    }
}

void ConfiguracaoAliases::Grava() const {
    ArquivoIni ini(arquivo_);
    for (const auto& nome : Nomes()) {
        const Alias a = *Acha(nome);
        ini.GravaTexto(a.nome, "DRIVER", a.driver);
        ini.GravaTexto(a.nome, "DATABASE", a.banco);
        if (!a.host.empty()) ini.GravaTexto(a.nome, "HOST", a.host);
        if (a.porta) ini.GravaInteiro(a.nome, "PORT", a.porta);
        if (!a.usuario.empty()) ini.GravaTexto(a.nome, "USER", a.usuario);
        if (!a.opcoes.empty()) ini.GravaTexto(a.nome, "OPTIONS", a.opcoes);
    }
    ini.Grava();
}

std::vector<std::string> ConfiguracaoAliases::Nomes() const {
    std::vector<std::string> r;
    for (const auto& a : aliases_) r.push_back(a.nome);
    std::stable_sort(r.begin(), r.end(), [](const std::string& x, const std::string& y) {
        return ParaQString(x).compare(ParaQString(y), Qt::CaseInsensitive) < 0;
    });
    return r;
}

bool ConfiguracaoAliases::Existe(const std::string& nome) const { return Acha(nome).has_value(); }

std::optional<Alias> ConfiguracaoAliases::Acha(const std::string& nome) const {
    for (const auto& a : aliases_)
        if (MesmoNome(a.nome, nome)) return a;
    return std::nullopt;
}

void ConfiguracaoAliases::Define(const Alias& alias) {
    const std::string& n = alias.nome;
    bool valido = !n.empty() && n.front() != ' ' && n.back() != ' ';
    for (unsigned char c : n)
        if (c < 32 || c == '[' || c == ']' || c == '=' || c == ';') valido = false;
    if (!valido) throw ErroBD("Nome de banco de dados inv\xE1lido: \"" + n + "\"");
    // A line break in a value would start new lines, even new aliases, in the file.
    for (const std::string* campo : {&alias.banco, &alias.host, &alias.usuario, &alias.opcoes})
        if (campo->find_first_of("\r\n") != std::string::npos)
            throw ErroBD("Valor inv\xE1lido no banco de dados \"" + n + "\"");
    Alias a = alias;
    a.driver = MaiusculasAscii(a.driver.empty() ? std::string(DriverPadrao) : a.driver);
    if (!DriverQt(a.driver)) throw ErroBD("Driver desconhecido: " + a.driver);
    for (auto& x : aliases_)
        if (MesmoNome(x.nome, n)) {
            x = a;
            return;
        }
    aliases_.push_back(a);
}

bool ConfiguracaoAliases::Apaga(const std::string& nome) {
    auto it = std::find_if(aliases_.begin(), aliases_.end(), [&](const Alias& a) { return MesmoNome(a.nome, nome); });
    if (it == aliases_.end()) return false;
    aliases_.erase(it);
    return true;
}

// ---------------------------------------------------------------- engine

namespace {

// Fills a Qt connection from an alias; an error text when it cannot stand.
std::string Configura(QSqlDatabase& db, const Alias& a) {
    if (a.driver == DriverPadrao) {
        std::error_code ec;
        if (!std::filesystem::is_directory(a.banco, ec)) return "Diret\xF3rio n\xE3o encontrado: " + a.banco;
        // The folder's files are read as tables; the database itself is only memory.
        db.setDatabaseName(QStringLiteral(":memory:"));
    } else if (a.driver == DriverSQLite) {
        // An SQLite file is never made up by a mistyped name.
        std::error_code ec;
        if (!std::filesystem::is_regular_file(a.banco, ec)) return "Arquivo n\xE3o encontrado: " + a.banco;
        db.setDatabaseName(Sistema(a.banco));
    } else {
        db.setDatabaseName(Sistema(a.banco));
        if (!a.host.empty()) db.setHostName(Sistema(a.host));
        if (a.porta > 0) db.setPort(a.porta);
        if (!a.usuario.empty()) db.setUserName(Sistema(a.usuario));
    }
    if (!a.opcoes.empty()) db.setConnectOptions(Sistema(a.opcoes));
    return {};
}

// Adds the Qt connection nomeQt for an alias and opens it; when it cannot, the
// connection is removed again and the error text returned.
std::string Conecta(const Alias& a, const QString& nomeQt) {
    const char* driver = DriverQt(a.driver);
    if (!driver || !QSqlDatabase::isDriverAvailable(QString::fromLatin1(driver)))
        return "Driver n\xE3o instalado: " + a.driver;
    std::string erro;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QString::fromLatin1(driver), nomeQt);
        erro = Configura(db, a);
        if (erro.empty() && !db.open()) erro = MensagemDoErro(db.lastError());
    }
    if (!erro.empty()) QSqlDatabase::removeDatabase(nomeQt);
    return erro;
}

// Closes and removes a Qt connection; no query or model may hold it any more.
void Desconecta(const QString& nomeQt) {
    {
        QSqlDatabase db = QSqlDatabase::database(nomeQt, false);
        db.close();
    }
    QSqlDatabase::removeDatabase(nomeQt);
}

} // namespace

struct MotorBD::Conexao {
    QString chave;   // the alias name folded
    QString nomeQt;  // Qt's connection name
};

MotorBD::MotorBD(std::string arquivoAliases) : aliases_(std::move(arquivoAliases)), numero_(++g_motores) {}

MotorBD::~MotorBD() {
    Encerra();
    // A query its caller keeps longer must not reach back into a freed engine.
    for (ConsultaBD* c : consultas_) c->motor_ = nullptr;
}

MotorBD& MotorAtual() {
    static MotorBD motor;
    return motor;
}

int MotorBD::Inicia() {
    if (iniciado_) return 0;
    if (!QCoreApplication::instance()) return 3;
    if (!QSqlDatabase::isDriverAvailable(QStringLiteral("QSQLITE"))) return 1;
    try {
        aliases_.Le();
    } catch (const ErroES&) {
        return 2;
    }
    thread_ = QThread::currentThread();
    iniciado_ = true;
    return 0;
}

void MotorBD::Encerra() {
    // Results and models hold the driver; they go before the connections do.
    for (ConsultaBD* c : consultas_) c->Solta();
    modelos_.clear();
    for (const auto& c : conexoes_) Desconecta(c->nomeQt);
    conexoes_.clear();
    iniciado_ = false;
    thread_ = nullptr;
}

void MotorBD::ExigeIniciado() const {
    if (!iniciado_) throw ErroBD("O motor de banco de dados n\xE3o foi iniciado.");
    if (QThread::currentThread() != thread_)
        throw ErroBD("O banco de dados s\xF3 pode ser usado pela janela principal.");
}

std::vector<std::string> MotorBD::NomesAliases() const { return aliases_.Nomes(); }
bool MotorBD::AliasExiste(const std::string& nome) const { return aliases_.Existe(nome); }

Alias MotorBD::AliasOuErro(const std::string& nome) const {
    auto a = aliases_.Acha(nome);
    if (!a) throw ErroBD("Banco de dados desconhecido: " + nome);
    return *a;
}

std::string MotorBD::NomeDriverAlias(const std::string& nome) const { return AliasOuErro(nome).driver; }

void MotorBD::AdicionaAliasPadrao(const std::string& nome, const std::string& pasta) {
    if (aliases_.Existe(nome)) throw ErroBD(nome + " j\xE1 existe!");
    Alias a;
    a.nome = nome;
    a.driver = DriverPadrao;
    a.banco = pasta;
    aliases_.Define(a);
}

void MotorBD::DefineAlias(const Alias& alias) {
    FechaConexao(alias.nome);
    aliases_.Define(alias);
}

void MotorBD::ApagaAlias(const std::string& nome) {
    FechaConexao(nome);
    aliases_.Apaga(nome);
}

void MotorBD::GravaConfiguracao() const { aliases_.Grava(); }

bool MotorBD::EhServidorSQL(const std::string& alias) const { return NomeDriverAlias(alias) != DriverPadrao; }

QString MotorBD::AbreConexao(const std::string& alias) {
    ExigeIniciado();
    const Alias a = AliasOuErro(alias);
    if (a.driver == DriverPadrao && !fontePadrao_)
        throw ErroBD("Bancos de dados STANDARD n\xE3o est\xE3o dispon\xEDveis.");
    QString chave = Chave(a.nome);
    for (const auto& c : conexoes_)
        if (c->chave == chave) {
            QSqlDatabase db = QSqlDatabase::database(c->nomeQt, false);
            if (!db.isOpen() && !db.open()) throw ErroBD(MensagemDoErro(db.lastError()));
            PreparaPadrao(a, db);
            return c->nomeQt;
        }
    QString nomeQt = QStringLiteral("dorvan-%1-%2").arg(numero_).arg(chave);
    if (std::string erro = Conecta(a, nomeQt); !erro.empty()) throw ErroBD(erro);
    conexoes_.push_back(std::make_unique<Conexao>(Conexao{chave, nomeQt}));
    try {
        PreparaPadrao(a, QSqlDatabase::database(nomeQt, false));
    } catch (...) {
        FechaConexao(a.nome);
        throw;
    }
    return nomeQt;
}

void MotorBD::PreparaPadrao(const Alias& a, const QSqlDatabase& db) {
    if (a.driver != DriverPadrao) return;
    // Files may have come or gone since the last statement.
    const QVariant h = db.driver() ? db.driver()->handle() : QVariant();
    if (!h.isValid() || qstrcmp(h.typeName(), "sqlite3*") != 0) throw ErroBD("Conex\xE3o SQLite indispon\xEDvel.");
    void* sqlite = *static_cast<void* const*>(h.constData());
    if (std::string erro = fontePadrao_->Prepara(sqlite, a.banco); !erro.empty()) throw ErroBD(erro);
}

void MotorBD::FechaConexao(const std::string& alias) {
    QString chave = Chave(alias);
    auto it = std::find_if(conexoes_.begin(), conexoes_.end(), [&](const auto& c) { return c->chave == chave; });
    if (it == conexoes_.end()) return;
    QString nomeQt = (*it)->nomeQt;
    for (ConsultaBD* c : consultas_)
        if (c->q_ && c->conexao_ == nomeQt) c->Solta();
    modelos_.erase(std::remove_if(modelos_.begin(), modelos_.end(),
                                  [&](const auto& m) { return m->database().connectionName() == nomeQt; }),
                   modelos_.end());
    Desconecta(nomeQt);
    conexoes_.erase(it);
}

std::string MotorBD::TestaConexao(const Alias& alias) {
    Alias a = alias;
    a.driver = MaiusculasAscii(a.driver);
    const QString nomeQt = QStringLiteral("dorvan-teste-%1").arg(numero_);
    std::string erro = Conecta(a, nomeQt);
    if (erro.empty()) Desconecta(nomeQt);
    return erro;
}

namespace {

bool TudoCasa(const std::string& padrao) { return padrao.empty() || padrao == "*" || padrao == "*.*"; }

// Runs a catalog query whose values are bound, never pasted into its text.
QSqlQuery Catalogo(const QString& conexao, const QString& sql, const QVariantList& valores) {
    QSqlQuery q(QSqlDatabase::database(conexao, false));
    q.setForwardOnly(true);
    if (!q.prepare(sql)) throw ErroBD(MensagemDoErro(q.lastError()));
    for (int i = 0; i < valores.size(); ++i) q.bindValue(i, valores[i]);
    if (!q.exec()) throw ErroBD(MensagemDoErro(q.lastError()));
    return q;
}

// "esquema.tabela" or a bare name (searched along PostgreSQL's search path).
std::pair<QString, QString> EsquemaETabela(const std::string& tabela) {
    QString t = ParaQString(tabela);
    int p = t.indexOf(u'.');
    if (p < 0) return {QString(), t};
    return {t.left(p), t.mid(p + 1)};
}

} // namespace

std::vector<std::string> MotorBD::NomesTabelas(const std::string& alias, const std::string& padrao, bool,
                                               bool comSistema) {
    QString conexao = AbreConexao(alias);
    const std::string driver = NomeDriverAlias(alias);
    std::vector<std::string> nomes;
    if (driver == DriverPadrao || driver == DriverSQLite) {
        QSqlQuery q = Catalogo(conexao,
                               QStringLiteral("SELECT name FROM sqlite_master WHERE type IN ('table','view') "
                                              "ORDER BY name"),
                               {});
        while (q.next()) {
            std::string n = DeQString(q.value(0).toString());
            if (!comSistema && MaiusculasAscii(n).rfind("SQLITE_", 0) == 0) continue;
            nomes.push_back(n);
        }
        if (comSistema) nomes.insert(nomes.begin(), "sqlite_master");
    } else if (driver == DriverPostgreSQL) {
        QSqlQuery q = Catalogo(
            conexao,
            QStringLiteral("SELECT t.table_schema, t.table_name, "
                           "t.table_schema = ANY (current_schemas(false)) AS no_caminho "
                           "FROM information_schema.tables t "
                           "WHERE ? OR (t.table_schema NOT IN ('pg_catalog', 'information_schema') "
                           "AND t.table_schema NOT LIKE 'pg\\_%') "
                           "ORDER BY t.table_schema, t.table_name"),
            {comSistema});
        while (q.next()) {
            std::string esquema = DeQString(q.value(0).toString());
            std::string n = DeQString(q.value(1).toString());
            nomes.push_back(q.value(2).toBool() ? n : esquema + "." + n);
        }
    } else {
        QSqlDatabase db = QSqlDatabase::database(conexao, false);
        QSql::TableType tipos = comSistema ? QSql::AllTables : QSql::TableType(QSql::Tables | QSql::Views);
        for (const QString& t : db.tables(tipos)) nomes.push_back(DeQString(t));
    }
    if (!TudoCasa(padrao))
        nomes.erase(std::remove_if(nomes.begin(), nomes.end(),
                                   [&](const std::string& n) { return !CasaCuringa(padrao, n); }),
                    nomes.end());
    return nomes;
}

std::vector<IndiceBD> MotorBD::Indices(const std::string& alias, const std::string& tabela) {
    QString conexao = AbreConexao(alias);
    const std::string driver = NomeDriverAlias(alias);
    std::vector<IndiceBD> r;
    auto acrescenta = [&](const std::string& indice, const std::string& campo) {
        if (r.empty() || r.back().nome != indice)
            r.push_back({indice, campo});
        else
            r.back().campos += ";" + campo;
    };
    if (driver == DriverPadrao || driver == DriverSQLite) {
        QSqlQuery q = Catalogo(conexao,
                               QStringLiteral("SELECT il.name, ii.name FROM pragma_index_list(?) AS il "
                                              "JOIN pragma_index_info(il.name) AS ii ORDER BY il.name, ii.seqno"),
                               {ParaQString(tabela)});
        bool temChavePrimaria = false;
        while (q.next()) acrescenta(DeQString(q.value(0).toString()), DeQString(q.value(1).toString()));
        QSqlQuery origem = Catalogo(conexao, QStringLiteral("SELECT 1 FROM pragma_index_list(?) WHERE origin = 'pk'"),
                                    {ParaQString(tabela)});
        temChavePrimaria = origem.next();
        // An INTEGER PRIMARY KEY is the row id and has no index of its own in the catalog.
        if (!temChavePrimaria) {
            QSqlQuery pk = Catalogo(conexao,
                                    QStringLiteral("SELECT name FROM pragma_table_info(?) WHERE pk > 0 ORDER BY pk"),
                                    {ParaQString(tabela)});
            std::string campos;
            while (pk.next()) campos += (campos.empty() ? "" : ";") + DeQString(pk.value(0).toString());
            if (!campos.empty()) r.insert(r.begin(), IndiceBD{"PRIMARY", campos});
        }
    } else if (driver == DriverPostgreSQL) {
        auto [esquema, nome] = EsquemaETabela(tabela);
        // A bare name is found along the search path, as the query itself would find it.
        const QString qual = esquema.isEmpty() ? QStringLiteral("c.oid = to_regclass(quote_ident(?))")
                                               : QStringLiteral("n.nspname = ? AND c.relname = ?");
        QVariantList valores;
        if (esquema.isEmpty())
            valores << nome;
        else
            valores << esquema << nome;
        QSqlQuery q = Catalogo(conexao,
                               QStringLiteral("SELECT i.relname, a.attname FROM pg_index x "
                                              "JOIN pg_class c ON c.oid = x.indrelid "
                                              "JOIN pg_class i ON i.oid = x.indexrelid "
                                              "JOIN pg_namespace n ON n.oid = c.relnamespace "
                                              "CROSS JOIN LATERAL unnest(x.indkey) WITH ORDINALITY AS k(attnum, ord) "
                                              "JOIN pg_attribute a ON a.attrelid = c.oid AND a.attnum = k.attnum "
                                              "WHERE ") +
                                   qual + QStringLiteral(" ORDER BY i.relname, k.ord"),
                               valores);
        while (q.next()) acrescenta(DeQString(q.value(0).toString()), DeQString(q.value(1).toString()));
    } else {
        QSqlDatabase db = QSqlDatabase::database(conexao, false);
        QSqlIndex pk = db.primaryIndex(ParaQString(tabela));
        std::string campos;
        for (int i = 0; i < pk.count(); ++i) campos += (i ? ";" : "") + DeQString(pk.fieldName(i));
        if (!campos.empty()) r.push_back({DeQString(pk.name()), campos});
    }
    return r;
}

std::vector<std::string> MotorBD::NomesCampos(const std::string& alias, const std::string& tabela) {
    QString conexao = AbreConexao(alias);
    QSqlRecord rec = QSqlDatabase::database(conexao, false).record(ParaQString(tabela));
    if (rec.isEmpty()) throw ErroBD("Tabela n\xE3o encontrada: " + tabela);
    std::vector<std::string> r;
    for (int i = 0; i < rec.count(); ++i) r.push_back(DeQString(rec.fieldName(i)));
    return r;
}

QSqlTableModel* MotorBD::CriaModelo(const std::string& alias, const std::string& tabela) {
    QString conexao = AbreConexao(alias);
    auto m = std::make_unique<QSqlTableModel>(nullptr, QSqlDatabase::database(conexao, false));
    m->setTable(ParaQString(tabela));
    if (!m->select()) throw ErroBD(MensagemDoErro(m->lastError()));
    modelos_.push_back(std::move(m));
    return modelos_.back().get();
}

void MotorBD::LiberaModelo(QSqlTableModel* modelo) {
    modelos_.erase(std::remove_if(modelos_.begin(), modelos_.end(), [&](const auto& m) { return m.get() == modelo; }),
                   modelos_.end());
}

void MotorBD::Registra(ConsultaBD* c) { consultas_.push_back(c); }
void MotorBD::Desregistra(ConsultaBD* c) { consultas_.erase(std::remove(consultas_.begin(), consultas_.end(), c), consultas_.end()); }

// ---------------------------------------------------------------- query

ConsultaBD::ConsultaBD(MotorBD& motor) : motor_(&motor) { motor_->Registra(this); }

ConsultaBD::~ConsultaBD() {
    Solta();
    if (motor_) motor_->Desregistra(this);
}

void ConsultaBD::Solta() {
    q_.reset();
    TerminaLeitura();
    conexao_.clear();
    aberta_ = false;
    fim_ = true;
    numCampos_ = 0;
    moeda_.clear();
}

void ConsultaBD::LimpaParametros() { parametro_.reset(); }
void ConsultaBD::DefineParametro(const std::string& nome, const std::string& texto) { parametro_.emplace(nome, texto); }

namespace {

bool LetraDeNome(QChar c) { return c.isLetterOrNumber() || c == u'_'; }

// Whether s[i] starts a ":name" placeholder (a colon of "::" does not).
bool MarcaComNome(const QString& s, qsizetype i) {
    return s[i] == u':' && (i == 0 || s[i - 1] != u':') && i + 1 < s.size() && LetraDeNome(s[i + 1]);
}

// Whether Qt would still take something of the text for a placeholder and rewrite
// it before sending: Qt skips only quoted text (' " `) and sees marks in comments.
bool QtAchaMarca(const QString& s) {
    QChar fecha;
    for (qsizetype i = 0; i < s.size(); ++i) {
        const QChar c = s[i];
        if (!fecha.isNull()) {
            if (c == fecha) fecha = QChar();
        } else if (c == u'?' || MarcaComNome(s, i)) {
            return true;
        } else if (c == u'\'' || c == u'"' || c == u'`') {
            fecha = c;
        }
    }
    return false;
}

// The libpq connection under a Qt PostgreSQL connection.
PGconn* ConexaoPQ(const QSqlDatabase& db) {
    const QVariant h = db.driver() ? db.driver()->handle() : QVariant();
    // Qt names the type after libpq's struct.
    if (!h.isValid() || (qstrcmp(h.typeName(), "pg_conn*") != 0 && qstrcmp(h.typeName(), "PGconn*") != 0))
        return nullptr;
    return *static_cast<PGconn* const*>(h.constData());
}

const char* const NaoEhConsulta = "Modo seguro: o comando n\xE3o \xE9 uma consulta somente de leitura.";

// The first word of the statement, upper-cased, past blanks, comments and opening
// parentheses, read as the engine reads them: on PostgreSQL block comments nest and
// a line comment ends at a carriage return too; SQLite and the rest do neither.
// Read otherwise, a comment could hide from this what the engine runs.
QString PrimeiraPalavra(const QString& s, bool postgresql) {
    const qsizetype n = s.size();
    auto branco = [](QChar c) { return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r' || c == u'\f'; };
    qsizetype i = 0;
    while (i < n) {
        if (branco(s[i]) || s[i] == u'(') {
            ++i;
        } else if (s[i] == u'-' && i + 1 < n && s[i + 1] == u'-') {
            while (i < n && s[i] != u'\n' && !(postgresql && s[i] == u'\r'))
                ++i;
        } else if (s[i] == u'/' && i + 1 < n && s[i + 1] == u'*') {
            int nivel = 0;
            do {
                if (s[i] == u'/' && i + 1 < n && s[i + 1] == u'*' && (postgresql || nivel == 0)) {
                    ++nivel;
                    i += 2;
                } else if (s[i] == u'*' && i + 1 < n && s[i + 1] == u'/') {
                    --nivel;
                    i += 2;
                } else {
                    ++i;
                }
            } while (nivel > 0 && i < n);
        } else {
            break;
        }
    }
    qsizetype f = i;
    while (f < n && LetraDeNome(s[f]))
        ++f;
    return s.mid(i, f - i).toUpper();
}

// Only a query may run in safe mode: what else reads "read-only" to an engine may
// still write outside the database (a file attached or copied to, a program run).
void ExigeConsulta(const QString& texto, bool postgresql) {
    static const QStringList consultas{QStringLiteral("SELECT"), QStringLiteral("WITH"), QStringLiteral("VALUES"),
                                       QStringLiteral("TABLE")};
    if (!consultas.contains(PrimeiraPalavra(texto, postgresql))) throw ErroBD(NaoEhConsulta);
}

// The server parses the text as an unnamed prepared statement, which holds one
// statement only: "select 1; commit; delete ..." is refused before anything runs.
// A statement that would give no columns is no query either.
void ExigeUmaConsulta(const QSqlDatabase& db, const QString& texto) {
    PGconn* c = ConexaoPQ(db);
    if (!c) throw ErroBD("Conex\xE3o PostgreSQL indispon\xEDvel.");
    auto erroDe = [](PGresult* r) {
        const std::string e = DeQString(QString::fromUtf8(PQresultErrorMessage(r)).trimmed());
        PQclear(r);
        return ErroBD(e.empty() ? std::string("Erro do banco de dados") : e);
    };
    PGresult* r = PQprepare(c, "", texto.toUtf8().constData(), 0, nullptr);
    if (PQresultStatus(r) != PGRES_COMMAND_OK) throw erroDe(r);
    PQclear(r);
    r = PQdescribePrepared(c, "");
    if (PQresultStatus(r) != PGRES_COMMAND_OK) throw erroDe(r);
    const int colunas = PQnfields(r);
    PQclear(r);
    if (colunas == 0) throw ErroBD(NaoEhConsulta);
}

} // namespace

TextoMarcado MarcaParametros(const QString& sql, const QString& nome, bool numerada) {
    TextoMarcado r;
    const QString alvo = nome.trimmed();
    const qsizetype n = sql.size();
    QString t;
    t.reserve(n + 16);
    auto marca = [&] {
        ++r.marcas;
        t += numerada ? QStringLiteral("$%1").arg(r.marcas) : QStringLiteral("?");
    };
    // A comment becomes blanks, its line ends kept.
    auto apaga = [&](qsizetype de, qsizetype ate) {
        for (qsizetype k = de; k < ate; ++k)
            t += sql[k] == u'\n' ? u'\n' : u' ';
    };
    for (qsizetype i = 0; i < n;) {
        const QChar c = sql[i];
        if (c == u'\'' || c == u'"') {
            // Up to the closing quote; a doubled quote closes and opens again.
            qsizetype f = sql.indexOf(c, i + 1);
            f = f < 0 ? n : f + 1;
            t += sql.mid(i, f - i);
            i = f;
        } else if (c == u'-' && i + 1 < n && sql[i + 1] == u'-') {
            qsizetype f = sql.indexOf(u'\n', i);
            if (f < 0) f = n;
            apaga(i, f);
            i = f;
        } else if (c == u'/' && i + 1 < n && sql[i + 1] == u'*') {
            qsizetype f = sql.indexOf(QStringLiteral("*/"), i + 2);
            f = f < 0 ? n : f + 2;
            apaga(i, f);
            i = f;
        } else if (c == u'?') {
            marca();
            ++i;
        } else if (MarcaComNome(sql, i)) {
            qsizetype f = i + 1;
            while (f < n && LetraDeNome(sql[f]))
                ++f;
            if (!alvo.isEmpty() && sql.mid(i + 1, f - i - 1).compare(alvo, Qt::CaseInsensitive) == 0)
                marca();
            else
                t += sql.mid(i, f - i);
            i = f;
        } else {
            t += c;
            ++i;
        }
    }
    r.texto = r.marcas ? t : sql;
    return r;
}

void ConsultaBD::ComecaLeitura(const QString& textoEnviado, bool preparado) {
    QSqlDatabase db = QSqlDatabase::database(conexao_, false);
    const QSqlDriver::DbmsType tipo = db.driver() ? db.driver()->dbmsType() : QSqlDriver::UnknownDbms;
    ExigeConsulta(textoEnviado, tipo == QSqlDriver::PostgreSQL);
    auto roda = [&](const QString& comando) {
        QSqlQuery q(db);
        if (!q.exec(comando)) throw ErroBD(MensagemDoErro(q.lastError()));
    };
    switch (tipo) {
    case QSqlDriver::PostgreSQL:
        // What the server checks must be what it runs: Qt may not rewrite the text.
        if (preparado && QtAchaMarca(textoEnviado))
            throw ErroBD("O comando tem marcas de par\xE2metro que n\xE3o s\xE3o do par\xE2metro " + parametro_->first +
                         ".");
        ExigeUmaConsulta(db, textoEnviado);
        roda(QStringLiteral("BEGIN READ ONLY"));
        leitura_ = Leitura::PostgreSQL;
        break;
    case QSqlDriver::SQLite:
        // Qt runs one statement per call, so the statement cannot switch this off
        // before it writes.
        roda(QStringLiteral("PRAGMA query_only = 1"));
        leitura_ = Leitura::SQLite;
        break;
    default:
        break;
    }
}

void ConsultaBD::TerminaLeitura() {
    if (leitura_ == Leitura::Nenhuma) return;
    const Leitura l = leitura_;
    leitura_ = Leitura::Nenhuma;
    QSqlDatabase db = QSqlDatabase::database(conexao_, false);
    if (!db.isOpen()) return;
    QSqlQuery q(db);
    q.exec(l == Leitura::PostgreSQL ? QStringLiteral("ROLLBACK") : QStringLiteral("PRAGMA query_only = 0"));
}

void ConsultaBD::Prepara() {
    Solta();
    lidos_ = 0;
    if (!motor_) throw ErroBD("O motor de banco de dados n\xE3o foi iniciado.");
    QString conexao = motor_->AbreConexao(DatabaseName);
    QString texto;
    for (std::size_t i = 0; i < SQL.size(); ++i) {
        if (i) texto += u'\n';
        texto += ParaQString(SQL[i]);
    }
    QSqlDatabase db = QSqlDatabase::database(conexao, false);
    TextoMarcado m;
    if (parametro_) {
        // PostgreSQL gets its own numbered marks, so Qt sends the text unchanged.
        const bool numerada = db.driver() && db.driver()->dbmsType() == QSqlDriver::PostgreSQL;
        m = MarcaParametros(texto, ParaQString(parametro_->first), numerada);
        if (m.marcas) texto = m.texto;
    }
    conexao_ = conexao;
    try {
        if (SomenteLeitura) ComecaLeitura(texto, m.marcas > 0);
    } catch (...) {
        Solta();
        throw;
    }
    q_ = std::make_unique<QSqlQuery>(db);
    q_->setForwardOnly(true);
    // Decimal columns as the engine's own text: a double would change their digits.
    q_->setNumericalPrecisionPolicy(QSql::HighPrecision);
    bool ok;
    if (m.marcas) {
        ok = q_->prepare(texto);
        const QString valor = ParaQString(parametro_->second);
        for (int i = 0; ok && i < m.marcas; ++i)
            q_->bindValue(i, valor);
        if (ok) ok = q_->exec();
    } else {
        ok = q_->exec(texto);
    }
    if (!ok) {
        std::string erro = MensagemDoErro(q_->lastError());
        Solta();
        throw ErroBD(erro);
    }
}

void ConsultaBD::Abre() {
    Prepara();
    if (!q_->isSelect()) {
        Solta();
        throw ErroBD("A consulta n\xE3o devolveu registros.");
    }
    aberta_ = true;
    fim_ = !q_->next();
    if (!fim_) lidos_ = 1;
    // Qt builds a whole row to give its record: the count is taken once.
    const QSqlRecord registro = q_->record();
    numCampos_ = registro.count();
    const bool postgres = q_->driver() && q_->driver()->dbmsType() == QSqlDriver::PostgreSQL;
    moeda_.assign(static_cast<std::size_t>(numCampos_), false);
    for (int i = 0; postgres && i < numCampos_; ++i)
        moeda_[static_cast<std::size_t>(i)] = registro.field(i).typeID() == OidMoeda;
}

void ConsultaBD::Primeiro() {
    if (!aberta_) throw ErroBD("A consulta n\xE3o est\xE1 aberta.");
    // Still on the first row, or the result is empty: nothing to read again.
    if (lidos_ == 0 || (lidos_ == 1 && !fim_)) return;
    Abre();
}

void ConsultaBD::Proximo() {
    if (!aberta_ || fim_) return;
    fim_ = !q_->next();
    if (!fim_) {
        ++lidos_;
        return;
    }
    // An error while the rows come is not the end of the result.
    if (q_->lastError().isValid()) {
        std::string erro = MensagemDoErro(q_->lastError());
        Solta();
        throw ErroBD(erro);
    }
}

int ConsultaBD::NumCampos() const { return aberta_ ? numCampos_ : 0; }

namespace {

// The currency text of a money value ("$1,234.56", "-R$ 1.234,56", "($5.00)") as a
// plain number: its digits, with a decimal point before the one or two that end it
// after a '.' or ','.
std::string NumeroDaMoeda(const std::string& texto) {
    const bool negativo = texto.find_first_of("-(") != std::string::npos;
    std::string digitos;
    std::size_t decimais = 0;
    bool depoisDaMarca = false;
    for (char c : texto) {
        if (c >= '0' && c <= '9') {
            digitos += c;
            if (depoisDaMarca) ++decimais;
        } else if (c == '.' || c == ',') {
            depoisDaMarca = true;
            decimais = 0;
        }
    }
    if (digitos.empty()) return texto;
    if (!depoisDaMarca || decimais == 0 || decimais > 2) decimais = 0;
    std::string r = digitos.substr(0, digitos.size() - decimais);
    r.erase(0, std::min(r.find_first_not_of('0'), r.size()));
    if (r.empty()) r = "0";
    if (decimais) r += "." + digitos.substr(digitos.size() - decimais);
    return (negativo ? "-" : "") + r;
}

TipoCampo TipoDe(const QSqlField& f) {
    switch (f.metaType().id()) {
    case QMetaType::QString:
    case QMetaType::QChar: return TipoCampo::Texto;
    case QMetaType::Short:
    case QMetaType::SChar:
    case QMetaType::Char: return TipoCampo::Inteiro16;
    case QMetaType::Int:
    case QMetaType::Long: return f.length() == 2 ? TipoCampo::Inteiro16 : TipoCampo::Inteiro; // 2 bytes: smallint

    case QMetaType::UShort:
    case QMetaType::UChar: return TipoCampo::Palavra;
    case QMetaType::Bool: return TipoCampo::Logico;
    case QMetaType::Double:
    case QMetaType::Float: return TipoCampo::Real;
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::UInt: return TipoCampo::Inteiro64;
    case QMetaType::QDate: return TipoCampo::Data;
    case QMetaType::QTime: return TipoCampo::Hora;
    case QMetaType::QDateTime: return TipoCampo::DataHora;
    case QMetaType::QByteArray: return f.length() > 0 ? TipoCampo::Bytes : TipoCampo::VarBytes;
    case QMetaType::UnknownType: return TipoCampo::Desconhecido;
    default: return TipoCampo::Outro; // UUIDs, arrays and the like
    }
}

} // namespace

void ConsultaBD::ExigeCampo(int i) const {
    if (!aberta_ || i < 0 || i >= numCampos_) throw ErroBD("Campo inexistente: " + std::to_string(i));
}

CampoBD ConsultaBD::Campo(int i) const {
    ExigeCampo(i);
    QSqlField f = q_->record().field(i);
    return {DeQString(f.name()), Moeda(i) ? TipoCampo::Moeda : TipoDe(f), std::max(0, f.length())};
}

bool ConsultaBD::Moeda(int i) const {
    return i >= 0 && static_cast<std::size_t>(i) < moeda_.size() && moeda_[static_cast<std::size_t>(i)];
}

bool ConsultaBD::Nulo(int i) const {
    if (!aberta_) return true;
    ExigeCampo(i);
    return fim_ || q_->value(i).isNull();
}

namespace {

std::string TextoDe(const QVariant& v) {
    switch (v.metaType().id()) {
    case QMetaType::Double:
    case QMetaType::Float: return NumeroCurto(v.toDouble());
    case QMetaType::QDate: return v.toDate().toString(Qt::ISODate).toStdString();
    case QMetaType::QTime: return v.toTime().toString(Qt::ISODateWithMs).toStdString();
    case QMetaType::QDateTime: {
        const QDateTime d = v.toDateTime();
        return d.toString(d.time().msec() ? QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz")
                                          : QStringLiteral("yyyy-MM-dd HH:mm:ss"))
            .toStdString();
    }
    case QMetaType::QByteArray: return v.toByteArray().toStdString();
    default: return DeQString(v.toString());
    }
}

TipoCampo TipoDoValor(const QVariant& v) { return TipoDe(QSqlField(QString(), v.metaType())); }

} // namespace

std::string ConsultaBD::Texto(int i) const {
    if (Nulo(i)) return {};
    const std::string t = TextoDe(q_->value(i));
    return Moeda(i) ? NumeroDaMoeda(t) : t;
}

TipoCampo ConsultaBD::TipoValor(int i) const {
    if (Nulo(i)) return TipoCampo::Desconhecido;
    return Moeda(i) ? TipoCampo::Moeda : TipoDoValor(q_->value(i));
}

std::optional<ValorBD> ConsultaBD::Valor(int i) const {
    if (!aberta_) return std::nullopt;
    ExigeCampo(i);
    if (fim_) return std::nullopt;
    const QVariant v = q_->value(i);
    if (v.isNull()) return std::nullopt;
    if (Moeda(i)) return ValorBD{NumeroDaMoeda(TextoDe(v)), TipoCampo::Moeda};
    return ValorBD{TextoDe(v), TipoDoValor(v)};
}

double ConsultaBD::Real(int i) const {
    if (Nulo(i)) return 0.0;
    if (Moeda(i)) {
        if (auto n = LeNumeroMaquina(Texto(i))) return *n;
    }
    QVariant v = q_->value(i);
    switch (v.metaType().id()) {
    case QMetaType::QString:
    case QMetaType::QByteArray: {
        std::string t = DeQString(v.toString());
        if (auto n = LeNumeroMaquina(t)) return *n;
        throw ErroBD("'" + t + "' n\xE3o \xE9 um n\xFAmero v\xE1lido");
    }
    case QMetaType::Bool: return v.toBool() ? 1.0 : 0.0;
    default: {
        bool ok = false;
        double d = v.toDouble(&ok);
        if (!ok) throw ErroBD("'" + Texto(i) + "' n\xE3o \xE9 um n\xFAmero v\xE1lido");
        return d;
    }
    }
}

void ConsultaBD::Fecha() {
    Solta();
    lidos_ = 0;
}

long long ConsultaBD::Executa() {
    Prepara();
    long long n = q_->numRowsAffected();
    Solta();
    return n;
}

} // namespace dorvan

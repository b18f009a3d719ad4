#include "data/TabelasDBF.h"

#include "data/LeDBF32.h"
#include "data/UConvert.h"
#include "data/Ucomprim.h"
#include "platform/Compressao.h"
#include "platform/Mensagens.h"
#include "platform/Texto1252.h"

#include <algorithm>
#include <atomic>
#include <charconv>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <filesystem>
#include <map>
#include <memory>
#include <mutex>
#include <sqlite3.h>
#include <thread>
#include <unistd.h>

namespace dorvan {

namespace cmp = compressao;

namespace {

namespace fs = std::filesystem;

std::string Maiusculas(std::string s) {
    for (char& c : s)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return s;
}

// The layer shows what it cannot open; here that becomes the statement's error.
class GuardaMensagem : public Mensagens {
public:
    void Mostra(const std::string& texto) override {
        if (ultima.empty()) ultima = texto;
    }
    int Confirma(const std::string&, const std::string&, const std::vector<std::string>& b) override {
        return b.empty() ? 0 : static_cast<int>(b.size()) - 1;
    }
    bool SimOuNao(const std::string&, const std::string&) override { return false; }
    std::string EntraTexto(const std::string&, const std::string& padrao) override { return padrao; }
    bool PerguntaNumero(const std::string&, const std::string&, std::string&) override { return false; }
    std::string ultima;
};

bool EhDBC(const std::string& arquivo) { return Maiusculas(fs::path(arquivo).extension().string()) == ".DBC"; }

// Opens the file for reading; an error text when it cannot.
std::string Abre(dbfRecord& h, const std::string& arquivo) {
    GuardaMensagem m;
    UsaMensagens usa(m);
    try {
        OpenDBF(h, arquivo, true);
    } catch (const std::exception& e) {
        return DeUtf8(arquivo) + ": " + e.what();
    }
    if (h.Estado != 1) return m.ultima.empty() ? "Erro ao abrir " + DeUtf8(arquivo) : m.ultima;
    return {};
}

enum class Coluna { Texto, Inteiro, Real, Data, Logico };

struct Tabela {
    sqlite3_vtab base{};
    std::string nome;    // UTF-8
    std::string arquivo; // UTF-8 path
    bool dbc = false;
    std::vector<CampoDBF> campos;
    std::vector<Coluna> colunas;
    std::uint16_t tamRegistro = 0;
    int tamCabecalho = 0;
    std::int64_t numRegs = 0;
    std::function<bool()> cp850;
};

// A DBC expanded as a stream on a thread of its own, its records handed over in
// batches: at most a few batches wait at a time, whatever the file's size.
class FluxoDBC {
public:
    FluxoDBC(int fd, std::int64_t inicio, std::size_t tamRegistro)
        : fd_(fd), pos_(inicio), L_(std::max<std::size_t>(tamRegistro, 1)) {
        t_ = std::thread([this] { Trabalha(); });
    }
    ~FluxoDBC() {
        {
            std::lock_guard<std::mutex> l(m_);
            cancela_ = true;
        }
        cv_.notify_all();
        t_.join();
    }
    FluxoDBC(const FluxoDBC&) = delete;
    FluxoDBC& operator=(const FluxoDBC&) = delete;

    // The next record, or nullptr at the end; throws at a damaged stream.
    const char* Proximo() {
        if (atualPos_ + L_ <= atual_.size()) {
            const char* r = atual_.data() + atualPos_;
            atualPos_ += L_;
            return r;
        }
        std::unique_lock<std::mutex> l(m_);
        cv_.wait(l, [&] { return !prontos_.empty() || terminou_; });
        if (!prontos_.empty()) {
            atual_ = std::move(prontos_.front());
            prontos_.pop_front();
            atualPos_ = 0;
            l.unlock();
            cv_.notify_all();
            return Proximo();
        }
        if (!erro_.empty()) throw std::runtime_error(erro_);
        return nullptr;
    }

private:
    static constexpr std::size_t TamLote = 1u << 19;
    static constexpr std::size_t MaxProntos = 2;
    struct Cancelado {};

    static unsigned Le(char* buffer, unsigned* tamanho, void* param) {
        auto* f = static_cast<FluxoDBC*>(param);
        if (f->cancela_) return cmp::CMP_LEITURA_ABORTA;
        ssize_t n = ::pread(f->fd_, buffer, *tamanho, f->pos_);
        if (n < 0) {
            f->erroLeitura_ = true;
            return cmp::CMP_LEITURA_ABORTA;
        }
        f->pos_ += n;
        return static_cast<unsigned>(n);
    }
    static void Grava(char* buffer, unsigned* tamanho, void* param) {
        static_cast<FluxoDBC*>(param)->corta_->Pedaco(buffer, *tamanho);
    }

    void Entrega() {
        std::unique_lock<std::mutex> l(m_);
        cv_.wait(l, [&] { return prontos_.size() < MaxProntos || cancela_; });
        if (cancela_) throw Cancelado{};
        prontos_.push_back(std::move(lote_));
        lote_ = {};
        lote_.reserve(TamLote + L_);
        l.unlock();
        cv_.notify_all();
    }

    void Trabalha() {
        std::string erro;
        try {
            lote_.reserve(TamLote + L_);
            CortaRegistros corta(L_, [&](char* r) {
                lote_.insert(lote_.end(), r, r + L_);
                if (lote_.size() >= TamLote) Entrega();
            });
            corta_ = &corta;
            auto trabalho = std::make_unique<char[]>(cmp::TAM_TRABALHO_EXPLODE);
            unsigned codigo = cmp::explode(Le, Grava, trabalho.get(), this);
            if (erroLeitura_)
                erro = "Erro de leitura do arquivo";
            else if (codigo != cmp::CMP_OK && !cancela_)
                erro = MensagemCodec(codigo);
            if (erro.empty() && !lote_.empty()) Entrega();
        } catch (const Cancelado&) {
        } catch (const std::exception& e) {
            erro = e.what();
        }
        {
            std::lock_guard<std::mutex> l(m_);
            erro_ = erro;
            terminou_ = true;
        }
        cv_.notify_all();
    }

    int fd_;
    std::int64_t pos_;
    std::size_t L_;
    CortaRegistros* corta_ = nullptr;
    std::vector<char> lote_; // the worker's batch being filled
    std::atomic<bool> cancela_{false};
    bool erroLeitura_ = false;
    std::mutex m_;
    std::condition_variable cv_;
    std::deque<std::vector<char>> prontos_;
    bool terminou_ = false;
    std::string erro_;
    std::thread t_;
    std::vector<char> atual_; // the reader's batch
    std::size_t atualPos_ = 0;
};

struct Cursor {
    sqlite3_vtab_cursor base{};
    dbfRecord h;
    std::unique_ptr<FluxoDBC> fluxo;
    const char* registro = nullptr;
    std::int64_t numero = 0; // record number in the file, the row id
    bool fim = true;
    bool cp850 = false;
    std::string texto;
};

// Per connection: the files behind its tables, and whether the connection itself is
// changing its tables now (the only time it may).
struct EstadoConexao {
    std::map<std::string, std::string> tabelas; // SQL name upper-cased -> file
    std::map<std::string, std::string> nomes;   // SQL name upper-cased -> SQL name
    std::function<bool()> cp850;
    bool preparando = false;
};

std::mutex g_mEstados;
std::map<sqlite3*, EstadoConexao*> g_estados;

void ApagaEstado(void* p) {
    auto* e = static_cast<EstadoConexao*>(p);
    {
        std::lock_guard<std::mutex> l(g_mEstados);
        for (auto it = g_estados.begin(); it != g_estados.end();)
            it = it->second == e ? g_estados.erase(it) : std::next(it);
    }
    delete e;
}

std::string Aspas(const std::string& nome) {
    std::string r = "\"";
    for (char c : nome) {
        if (c == '"') r += '"';
        r += c;
    }
    return r + '"';
}

int Erro(sqlite3_vtab* v, const std::string& mensagem1252) {
    sqlite3_free(v->zErrMsg);
    v->zErrMsg = sqlite3_mprintf("%s", ParaUtf8(mensagem1252).c_str());
    return SQLITE_ERROR;
}

int Conecta(sqlite3* db, void* aux, int argc, const char* const* argv, sqlite3_vtab** vtab, char** erro) {
    auto* e = static_cast<EstadoConexao*>(aux);
    if (argc < 3) return SQLITE_ERROR;
    auto it = e->tabelas.find(Maiusculas(argv[2]));
    if (it == e->tabelas.end()) {
        *erro = sqlite3_mprintf("%s", ParaUtf8("Tabela sem arquivo: ").append(argv[2]).c_str());
        return SQLITE_ERROR;
    }
    dbfRecord h;
    if (std::string falha = Abre(h, it->second); !falha.empty()) {
        *erro = sqlite3_mprintf("%s", ParaUtf8(falha).c_str());
        return SQLITE_ERROR;
    }
    auto t = std::make_unique<Tabela>();
    t->nome = argv[2];
    t->arquivo = it->second;
    t->dbc = EhDBC(it->second);
    t->campos = h.Campos;
    t->tamRegistro = h.TamRegistro;
    t->tamCabecalho = h.TamCabecalho;
    t->numRegs = h.NumRegs;
    t->cp850 = e->cp850;
    std::string sql = "CREATE TABLE x(";
    std::vector<std::string> usados; // the column names so far, upper-cased
    for (std::size_t i = 0; i < t->campos.size(); ++i) {
        const CampoDBF& c = t->campos[i];
        Coluna k = Coluna::Texto;
        const char* tipo = "TEXT";
        switch (c.Tipo) {
        case 'N':
            if (c.Decimais > 0) {
                k = Coluna::Real;
                tipo = "REAL";
            } else {
                k = Coluna::Inteiro;
                tipo = "INTEGER";
            }
            break;
        case 'F':
            k = Coluna::Real;
            tipo = "REAL";
            break;
        case 'D':
            k = Coluna::Data;
            tipo = "DATE";
            break;
        case 'L':
            k = Coluna::Logico;
            tipo = "BOOLEAN";
            break;
        default:
            break;
        }
        t->colunas.push_back(k);
        if (i) sql += ", ";
        std::string nome = c.Nome.empty() ? "CAMPO" + std::to_string(i + 1) : c.Nome;
        // A name taken already (case ignored, as SQL does) gets its position, and a
        // number more while even that is taken: SQL needs every column apart.
        auto tomado = [&](const std::string& n) {
            return std::find(usados.begin(), usados.end(), Maiusculas(n)) != usados.end();
        };
        if (tomado(nome)) {
            const std::string base = nome + "_" + std::to_string(i + 1);
            nome = base;
            for (int k = 2; tomado(nome); ++k)
                nome = base + "_" + std::to_string(k);
        }
        usados.push_back(Maiusculas(nome));
        sql += Aspas(ParaUtf8(nome)) + " " + tipo;
    }
    sql += ")";
    if (int rc = sqlite3_declare_vtab(db, sql.c_str()); rc != SQLITE_OK) return rc;
    *vtab = &t.release()->base;
    return SQLITE_OK;
}

int Desconecta(sqlite3_vtab* v) {
    delete reinterpret_cast<Tabela*>(v);
    return SQLITE_OK;
}

int MelhorIndice(sqlite3_vtab* v, sqlite3_index_info* info) {
    // Every query reads the file from start to end; only the columns it uses are
    // ever decoded, as SQLite asks for nothing else.
    const auto* t = reinterpret_cast<Tabela*>(v);
    info->estimatedCost = static_cast<double>(t->numRegs) + 10.0;
    info->estimatedRows = std::max<sqlite3_int64>(t->numRegs, 1);
    return SQLITE_OK;
}

int AbreCursor(sqlite3_vtab*, sqlite3_vtab_cursor** c) {
    *c = &(new Cursor)->base;
    return SQLITE_OK;
}

int FechaCursor(sqlite3_vtab_cursor* c) {
    delete reinterpret_cast<Cursor*>(c);
    return SQLITE_OK;
}

int Avanca(Cursor* c) {
    auto* t = reinterpret_cast<Tabela*>(c->base.pVtab);
    try {
        for (;;) {
            if (c->fluxo) {
                c->registro = c->fluxo->Proximo();
                if (!c->registro) break;
                ++c->numero;
            } else {
                if (c->numero >= c->h.NumRegs) break;
                readDBF(c->h, ++c->numero);
                c->registro = c->h.RegistroAtual;
            }
            if (c->registro[0] != '*') return SQLITE_OK;
        }
    } catch (const std::exception& e) {
        c->fim = true;
        return Erro(&t->base, DeUtf8(t->arquivo) + ": " + e.what());
    }
    c->fim = true;
    c->registro = nullptr;
    return SQLITE_OK;
}

int Filtra(sqlite3_vtab_cursor* cur, int, const char*, int, sqlite3_value**) {
    auto* c = reinterpret_cast<Cursor*>(cur);
    auto* t = reinterpret_cast<Tabela*>(cur->pVtab);
    c->fluxo.reset();
    c->h = dbfRecord();
    c->numero = 0;
    c->fim = false;
    if (std::string falha = Abre(c->h, t->arquivo); !falha.empty()) {
        c->fim = true;
        return Erro(&t->base, falha);
    }
    bool mesma = c->h.TamRegistro == t->tamRegistro && c->h.Campos.size() == t->campos.size();
    for (std::size_t i = 0; mesma && i < t->campos.size(); ++i)
        mesma = c->h.Campos[i].Tipo == t->campos[i].Tipo && c->h.Campos[i].Tamanho == t->campos[i].Tamanho &&
                c->h.Campos[i].Deslocamento == t->campos[i].Deslocamento;
    if (!mesma) {
        c->fim = true;
        return Erro(&t->base, "A estrutura de " + DeUtf8(t->arquivo) + " mudou: escolha o banco de dados de novo.");
    }
    c->cp850 = TextoEmCP850(c->h, t->cp850 ? t->cp850() : false);
    if (t->dbc) c->fluxo = std::make_unique<FluxoDBC>(c->h.Arquivo, c->h.TamCabecalho + 4, c->h.TamRegistro);
    return Avanca(c);
}

int Proximo(sqlite3_vtab_cursor* cur) { return Avanca(reinterpret_cast<Cursor*>(cur)); }

int Fim(sqlite3_vtab_cursor* cur) { return reinterpret_cast<Cursor*>(cur)->fim ? 1 : 0; }

std::string_view Apara(std::string_view s) {
    while (!s.empty() && (s.back() == ' ' || s.back() == '\0'))
        s.remove_suffix(1);
    while (!s.empty() && s.front() == ' ')
        s.remove_prefix(1);
    return s;
}

bool SoAscii(std::string_view s) {
    for (unsigned char ch : s)
        if (ch >= 0x80) return false;
    return true;
}

int Valor(sqlite3_vtab_cursor* cur, sqlite3_context* ctx, int i) {
    auto* c = reinterpret_cast<Cursor*>(cur);
    auto* t = reinterpret_cast<Tabela*>(cur->pVtab);
    if (!c->registro || i < 0 || i >= static_cast<int>(t->campos.size())) return SQLITE_OK;
    const CampoDBF& campo = t->campos[static_cast<std::size_t>(i)];
    std::string_view bruto(c->registro + campo.Deslocamento, campo.Tamanho);
    switch (t->colunas[static_cast<std::size_t>(i)]) {
    case Coluna::Texto: {
        std::string_view v = bruto;
        while (!v.empty() && (v.back() == ' ' || v.back() == '\0'))
            v.remove_suffix(1);
        if (v.empty()) break;
        if (SoAscii(v)) {
            sqlite3_result_text(ctx, v.data(), static_cast<int>(v.size()), SQLITE_TRANSIENT);
        } else {
            c->texto = ParaUtf8(c->cp850 ? OemParaAnsi(v) : std::string(v));
            sqlite3_result_text(ctx, c->texto.data(), static_cast<int>(c->texto.size()), SQLITE_TRANSIENT);
        }
        break;
    }
    case Coluna::Inteiro: {
        std::string_view v = Apara(bruto);
        if (v.empty()) break;
        if (v.front() == '+') v.remove_prefix(1);
        sqlite3_int64 n = 0;
        auto [p, ec] = std::from_chars(v.data(), v.data() + v.size(), n);
        if (ec == std::errc() && p == v.data() + v.size()) {
            sqlite3_result_int64(ctx, n);
            break;
        }
        [[fallthrough]];
    }
    case Coluna::Real: {
        std::string_view v = Apara(bruto);
        if (!v.empty() && v.front() == '+') v.remove_prefix(1);
        double d = 0;
        auto [p, ec] = std::from_chars(v.data(), v.data() + v.size(), d);
        if (!v.empty() && ec == std::errc() && p == v.data() + v.size()) sqlite3_result_double(ctx, d);
        break;
    }
    case Coluna::Data: {
        std::string_view v = Apara(bruto);
        if (v.empty() || v == "00000000") break; // no date
        bool digitos = v.size() == 8 && std::all_of(v.begin(), v.end(), [](char ch) { return ch >= '0' && ch <= '9'; });
        if (digitos) {
            char d[10] = {v[0], v[1], v[2], v[3], '-', v[4], v[5], '-', v[6], v[7]};
            sqlite3_result_text(ctx, d, 10, SQLITE_TRANSIENT);
        } else {
            c->texto = ParaUtf8(v);
            sqlite3_result_text(ctx, c->texto.data(), static_cast<int>(c->texto.size()), SQLITE_TRANSIENT);
        }
        break;
    }
    case Coluna::Logico: {
        const char l = bruto.empty() ? ' ' : bruto.front();
        if (std::strchr("TtYySs", l))
            sqlite3_result_int(ctx, 1);
        else if (std::strchr("FfNn", l))
            sqlite3_result_int(ctx, 0);
        break;
    }
    }
    return SQLITE_OK;
}

int IdLinha(sqlite3_vtab_cursor* cur, sqlite3_int64* id) {
    *id = reinterpret_cast<Cursor*>(cur)->numero;
    return SQLITE_OK;
}

int Altera(sqlite3_vtab* v, int, sqlite3_value**, sqlite3_int64*) {
    return Erro(v, MensagemSomenteLeitura(DeUtf8(reinterpret_cast<Tabela*>(v)->nome)));
}

sqlite3_module g_modulo = [] {
    sqlite3_module m{};
    m.iVersion = 1;
    m.xCreate = Conecta;
    m.xConnect = Conecta;
    m.xBestIndex = MelhorIndice;
    m.xDisconnect = Desconecta;
    m.xDestroy = Desconecta;
    m.xOpen = AbreCursor;
    m.xClose = FechaCursor;
    m.xFilter = Filtra;
    m.xNext = Proximo;
    m.xEof = Fim;
    m.xColumn = Valor;
    m.xRowid = IdLinha;
    m.xUpdate = Altera;
    return m;
}();

// Outside the moments it changes its own tables, the connection makes and drops
// nothing of its main database and attaches no file; temporary tables are its own.
int Autoriza(void* p, int acao, const char*, const char*, const char*, const char*) {
    if (static_cast<EstadoConexao*>(p)->preparando) return SQLITE_OK;
    switch (acao) {
    case SQLITE_ATTACH:
    case SQLITE_DETACH:
    case SQLITE_CREATE_INDEX:
    case SQLITE_CREATE_TABLE:
    case SQLITE_CREATE_TRIGGER:
    case SQLITE_CREATE_VIEW:
    case SQLITE_CREATE_VTABLE:
    case SQLITE_DROP_INDEX:
    case SQLITE_DROP_TABLE:
    case SQLITE_DROP_TRIGGER:
    case SQLITE_DROP_VIEW:
    case SQLITE_DROP_VTABLE:
    case SQLITE_ALTER_TABLE:
        return SQLITE_DENY;
    default:
        return SQLITE_OK;
    }
}

} // namespace

std::string MensagemSomenteLeitura(const std::string& tabela) {
    return "A tabela " + tabela +
           " \xE9 um arquivo DBF ou DBC e s\xF3 pode ser lida: comandos SQL n\xE3o alteram esses arquivos.";
}

std::vector<TabelaDeArquivo> TabelasDaPasta(const std::string& pasta) {
    std::vector<std::pair<std::string, std::string>> arquivos; // extension upper-cased, path
    std::error_code ec;
    for (fs::directory_iterator it(pasta, ec), fim; !ec && it != fim; it.increment(ec)) {
        std::error_code ec2;
        if (!it->is_regular_file(ec2)) continue;
        const std::string ext = Maiusculas(it->path().extension().string());
        if (ext == ".DBF" || ext == ".DBC") arquivos.emplace_back(ext, it->path().string());
    }
    // The DBF first, so it keeps the bare name when a DBC of the same name is there too.
    std::sort(arquivos.begin(), arquivos.end(), [](const auto& a, const auto& b) {
        if (a.first != b.first) return a.first == ".DBF";
        return a.second < b.second;
    });
    std::vector<TabelaDeArquivo> r;
    std::map<std::string, bool> usados;
    for (const auto& [ext, arquivo] : arquivos) {
        std::string nome = fs::path(arquivo).stem().string();
        if (usados.count(Maiusculas(nome))) nome += "_" + fs::path(arquivo).extension().string().substr(1);
        if (nome.empty() || usados.count(Maiusculas(nome))) continue;
        usados[Maiusculas(nome)] = true;
        r.push_back({nome, arquivo});
    }
    std::sort(r.begin(), r.end(), [](const auto& a, const auto& b) { return Maiusculas(a.nome) < Maiusculas(b.nome); });
    return r;
}

std::string PreparaTabelasDBF(sqlite3* db, const std::string& pasta, std::function<bool()> dbfComCP850) {
    EstadoConexao* e = nullptr;
    {
        std::lock_guard<std::mutex> l(g_mEstados);
        if (auto it = g_estados.find(db); it != g_estados.end()) e = it->second;
    }
    if (!e) {
        e = new EstadoConexao;
        if (sqlite3_create_module_v2(db, "dorvan_dbf", &g_modulo, e, ApagaEstado) != SQLITE_OK)
            return DeUtf8(sqlite3_errmsg(db)); // the module's destructor has freed e
        {
            std::lock_guard<std::mutex> l(g_mEstados);
            g_estados[db] = e;
        }
        sqlite3_set_authorizer(db, Autoriza, e);
    }
    e->cp850 = std::move(dbfComCP850);
    e->preparando = true;
    struct Fim {
        EstadoConexao* e;
        ~Fim() { e->preparando = false; }
    } fimPreparo{e};

    const std::vector<TabelaDeArquivo> atuais = TabelasDaPasta(pasta);
    std::map<std::string, const TabelaDeArquivo*> novas;
    for (const auto& t : atuais)
        novas[Maiusculas(t.nome)] = &t;
    // Tables whose file is gone (or is now another file) go first.
    for (auto it = e->tabelas.begin(); it != e->tabelas.end();) {
        auto n = novas.find(it->first);
        if (n != novas.end() && n->second->arquivo == it->second && n->second->nome == e->nomes[it->first]) {
            ++it;
            continue;
        }
        const std::string sql = "DROP TABLE IF EXISTS main." + Aspas(e->nomes[it->first]);
        if (sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr) != SQLITE_OK) {
            ++it; // still in use by an open statement: dropped next time
            continue;
        }
        e->nomes.erase(it->first);
        it = e->tabelas.erase(it);
    }
    for (const auto& t : atuais) {
        const std::string chave = Maiusculas(t.nome);
        if (e->tabelas.count(chave)) continue;
        e->tabelas[chave] = t.arquivo;
        e->nomes[chave] = t.nome;
        const std::string sql = "CREATE VIRTUAL TABLE main." + Aspas(t.nome) + " USING dorvan_dbf";
        // A file that cannot be read as a table stays out of the list.
        if (sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr) != SQLITE_OK) {
            e->tabelas.erase(chave);
            e->nomes.erase(chave);
        }
    }
    return {};
}

} // namespace dorvan

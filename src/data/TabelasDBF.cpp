#include "data/TabelasDBF.h"

#include "data/Binario.h"
#include "data/LeDBF32.h"
#include "data/UConvert.h"
#include "data/Ucomprim.h"
#include "platform/Compressao.h"
#include "platform/Mensagens.h"
#include "platform/Progresso.h"
#include "platform/Texto.h"
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
#include <sys/stat.h>
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

std::atomic<std::int64_t> g_registrosVisitados{0};

// A column's value as the table gives it; a text may point into the record.
struct ValorCampo {
    enum Tipo { Nulo, Inteiro, Real, Texto } tipo = Nulo;
    std::int64_t i = 0;
    double d = 0;
    std::string_view s;
};

// Text columns and dates are compared as text, the others as numbers.
bool ChaveNumerica(Coluna k) { return k == Coluna::Inteiro || k == Coluna::Real || k == Coluna::Logico; }

std::uint64_t HashNumero(double d) {
    if (d == 0) d = 0; // -0 and 0 are equal
    std::uint64_t b = 0;
    std::memcpy(&b, &d, sizeof b);
    b ^= b >> 33;
    b *= 0xff51afd7ed558ccdULL;
    b ^= b >> 33;
    return b;
}

std::uint64_t HashTexto(std::string_view s) { return std::hash<std::string_view>{}(s); }

// Record numbers by the hash of a column's value: one pass over the file makes it,
// then '=' visits only the records whose hash matches. Unequal values of the same
// hash only add records that SQLite checks again and leaves out. It keeps 12 bytes
// per live record with a value (the hash and the record number), 16 more while it
// is being sorted, and is built only when a query filters or joins by that column;
// scans keep constant memory.
struct IndiceColuna {
    std::vector<std::uint64_t> hashes;    // sorted
    std::vector<std::uint32_t> registros; // the record number of each hash, ascending within equal hashes
    std::int64_t distintos = 0;
    bool cp850 = false;
};

// What tells a file changed: same place, size and time of change.
struct Assinatura {
    dev_t dev = 0;
    ino_t ino = 0;
    off_t tamanho = -1;
    std::int64_t mtime = 0;
    bool operator==(const Assinatura&) const = default;
};

Assinatura AssinaturaDe(const std::string& arquivo) {
    Assinatura a;
    struct stat st {};
    if (::stat(arquivo.c_str(), &st) != 0) return a;
    a.dev = st.st_dev;
    a.ino = st.st_ino;
    a.tamanho = st.st_size;
    a.mtime = static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    return a;
}

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
    // Indexes built for '=' on a column, kept while the file stays as it was; a DBC
    // is read through its expansion, made for the first of them.
    std::map<int, std::shared_ptr<const IndiceColuna>> indices;
    Assinatura assinatura;
    std::string copia; // the expanded DBC in the run's folder, removed with the table
    ~Tabela() { DescartaIndices(); }
    void DescartaIndices() {
        indices.clear();
        if (!copia.empty()) {
            std::error_code ec;
            fs::remove(copia, ec);
            copia.clear();
        }
    }
};

// A DBC expanded as a stream on a thread of its own, its records handed over in
// batches: at most a few batches wait at a time, whatever the file's size. A stream
// read to its end is checked against the file's CRC (header and records).
class FluxoDBC {
public:
    FluxoDBC(int fd, std::int64_t tamCabecalho, std::size_t tamRegistro, std::int64_t contados, std::string nome)
        : fd_(fd), tamCabecalho_(static_cast<std::size_t>(std::max<std::int64_t>(tamCabecalho, 0))),
          pos_(tamCabecalho + 4), L_(std::max<std::size_t>(tamRegistro, 1)), contados_(contados),
          nome_(std::move(nome)) {
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
        auto* f = static_cast<FluxoDBC*>(param);
        unsigned n = *tamanho;
        f->crc_ = cmp::crc32(buffer, &n, &f->crc_);
        f->corta_->Pedaco(buffer, *tamanho);
    }

    // The CRC of the header, and the one the file keeps after it; false when the file
    // is too short for them (a read error throws, naming the file).
    bool LeCabecalho(std::uint32_t& guardado) {
        std::vector<char> cab(tamCabecalho_ + 4);
        if (LeNaPosicao(fd_, cab.data(), cab.size(), 0, nome_) < cab.size()) return false;
        unsigned n = static_cast<unsigned>(tamCabecalho_);
        crc_ = cmp::crc32(cab.data(), &n, &crc_);
        guardado = Le32(cab.data() + tamCabecalho_);
        return true;
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
            CortaRegistros corta(L_, contados_, [&](char* r) {
                lote_.insert(lote_.end(), r, r + L_);
                if (lote_.size() >= TamLote) Entrega();
            });
            corta_ = &corta;
            std::uint32_t guardado = 0;
            if (!LeCabecalho(guardado)) erroLeitura_ = true;
            auto trabalho = std::make_unique<char[]>(cmp::TAM_TRABALHO_EXPLODE);
            unsigned codigo = erroLeitura_ ? cmp::CMP_OK : cmp::explode(Le, Grava, trabalho.get(), this);
            if (erroLeitura_)
                erro = "Erro de leitura do arquivo";
            else if (codigo != cmp::CMP_OK && !cancela_)
                erro = MensagemCodec(codigo);
            else if (!cancela_ && ~crc_ != guardado)
                erro = "Erro de CRC em " + DeUtf8(nome_);
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
    std::size_t tamCabecalho_;
    std::int64_t pos_;
    std::size_t L_;
    std::int64_t contados_; // the header's count
    std::string nome_;
    std::uint32_t crc_ = 0xFFFFFFFFu;
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

// Column i of a record as the table shows it; a converted text goes to `texto`.
ValorCampo Decodifica(const Tabela& t, const char* registro, std::size_t i, bool cp850, std::string& texto) {
    ValorCampo r;
    const CampoDBF& campo = t.campos[i];
    std::string_view bruto(registro + campo.Deslocamento, campo.Tamanho);
    switch (t.colunas[i]) {
    case Coluna::Texto: {
        std::string_view v = bruto;
        while (!v.empty() && (v.back() == ' ' || v.back() == '\0'))
            v.remove_suffix(1);
        if (v.empty()) break;
        r.tipo = ValorCampo::Texto;
        if (SoAscii(v)) {
            r.s = v;
        } else {
            texto = ParaUtf8(cp850 ? OemParaAnsi(v) : std::string(v));
            r.s = texto;
        }
        break;
    }
    case Coluna::Inteiro: {
        std::string_view v = Apara(bruto);
        if (v.empty()) break;
        if (v.front() == '+') v.remove_prefix(1);
        std::int64_t n = 0;
        auto [p, ec] = std::from_chars(v.data(), v.data() + v.size(), n);
        if (ec == std::errc() && p == v.data() + v.size()) {
            r.tipo = ValorCampo::Inteiro;
            r.i = n;
            break;
        }
        [[fallthrough]];
    }
    case Coluna::Real: {
        std::string_view v = Apara(bruto);
        if (!v.empty() && v.front() == '+') v.remove_prefix(1);
        double d = 0;
        auto [p, ec] = std::from_chars(v.data(), v.data() + v.size(), d);
        if (!v.empty() && ec == std::errc() && p == v.data() + v.size()) {
            r.tipo = ValorCampo::Real;
            r.d = d;
        }
        break;
    }
    case Coluna::Data: {
        std::string_view v = Apara(bruto);
        if (v.empty() || v == "00000000") break; // no date
        bool digitos = v.size() == 8 && std::all_of(v.begin(), v.end(), [](char ch) { return ch >= '0' && ch <= '9'; });
        r.tipo = ValorCampo::Texto;
        if (digitos) {
            texto = {v[0], v[1], v[2], v[3], '-', v[4], v[5], '-', v[6], v[7]};
        } else {
            texto = ParaUtf8(v);
        }
        r.s = texto;
        break;
    }
    case Coluna::Logico: {
        const char l = bruto.empty() ? ' ' : bruto.front();
        // strchr finds the terminator too: a zero byte is no answer.
        if (l == '\0') break;
        if (std::strchr("TtYySs", l)) {
            r.tipo = ValorCampo::Inteiro;
            r.i = 1;
        } else if (std::strchr("FfNn", l)) {
            r.tipo = ValorCampo::Inteiro;
            r.i = 0;
        }
        break;
    }
    }
    return r;
}

// The hash of a value for the index of a column of that kind.
std::uint64_t HashDe(const ValorCampo& v) {
    switch (v.tipo) {
    case ValorCampo::Inteiro:
        return HashNumero(static_cast<double>(v.i));
    case ValorCampo::Real:
        return HashNumero(v.d);
    default:
        return HashTexto(v.s);
    }
}

struct Cursor {
    sqlite3_vtab_cursor base{};
    dbfRecord h;
    std::unique_ptr<FluxoDBC> fluxo;
    const char* registro = nullptr;
    std::int64_t numero = 0; // record number in the file, the row id
    bool fim = true;
    bool cp850 = false;
    std::string texto;
    // The indexed plan: the records to visit, in file order.
    std::shared_ptr<const IndiceColuna> indice;
    std::size_t proximo = 0, ate = 0;
    std::vector<char> avulso; // the record read
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
        sql += EntreAspasDobradas(ParaUtf8(nome)) + " " + tipo;
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
    // A full scan reads the file from start to end; only the columns the query uses
    // are ever decoded, as SQLite asks for nothing else. An '=' on a column may go
    // through the column's index instead: SQLite still checks every row it gets, so
    // the index may hand over more records than match, never fewer.
    const auto* t = reinterpret_cast<Tabela*>(v);
    const double n = static_cast<double>(std::max<std::int64_t>(t->numRegs, 1));
    info->estimatedCost = n + 10.0;
    info->estimatedRows = static_cast<sqlite3_int64>(n);
    for (int i = 0; i < info->nConstraint; ++i) {
        const auto& r = info->aConstraint[i];
        if (!r.usable || r.op != SQLITE_INDEX_CONSTRAINT_EQ || r.iColumn < 0 ||
            r.iColumn >= static_cast<int>(t->colunas.size()))
            continue;
        // The index keys text byte by byte: another collation may match other texts.
        const char* colacao = sqlite3_vtab_collation(info, i);
        if (!ChaveNumerica(t->colunas[static_cast<std::size_t>(r.iColumn)]) && colacao &&
            sqlite3_stricmp(colacao, "BINARY") != 0)
            continue;
        double linhas = std::min(n, 10.0);
        if (auto it = t->indices.find(r.iColumn); it != t->indices.end())
            linhas = std::max(1.0, n / static_cast<double>(std::max<std::int64_t>(it->second->distintos, 1)));
        info->idxNum = r.iColumn + 1;
        info->aConstraintUsage[i].argvIndex = 1;
        info->aConstraintUsage[i].omit = 0;
        info->estimatedRows = static_cast<sqlite3_int64>(linhas);
        info->estimatedCost = 10.0 + 2.0 * linhas; // records read one by one
        break;
    }
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
            if (c->indice) {
                if (c->proximo >= c->ate) break;
                c->numero = c->indice->registros[c->proximo++];
                if (c->numero > c->h.NumRegs) continue;
                // One record alone: the block cache would read a whole block for it.
                const std::size_t L = c->h.TamRegistro;
                c->avulso.resize(L);
                const std::uint64_t pos =
                    static_cast<std::uint64_t>(c->h.TamCabecalho) + static_cast<std::uint64_t>(c->numero - 1) * L;
                if (LeNaPosicao(c->h.Arquivo, c->avulso.data(), L, pos, c->h.Nome) < L) continue;
                c->registro = c->avulso.data();
            } else if (c->fluxo) {
                c->registro = c->fluxo->Proximo();
                if (!c->registro) break;
                ++c->numero;
            } else {
                if (c->numero >= c->h.NumRegs) break;
                readDBF(c->h, ++c->numero);
                c->registro = c->h.RegistroAtual;
            }
            g_registrosVisitados.fetch_add(1, std::memory_order_relaxed);
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

// The index of column i, built by one pass over the file (a DBC is first expanded
// into the run's folder, its CRC checked); an error text when it cannot be.
std::string IndiceDe(Tabela& t, int i, bool cp850, std::shared_ptr<const IndiceColuna>& indice) {
    const Assinatura agora = AssinaturaDe(t.arquivo);
    if (!(agora == t.assinatura)) {
        t.DescartaIndices();
        t.assinatura = agora;
    }
    if (auto it = t.indices.find(i); it != t.indices.end() && it->second->cp850 == cp850) {
        indice = it->second;
        return {};
    }
    try {
        if (t.dbc && t.copia.empty()) {
            static std::atomic<unsigned> g_copias{0};
            const std::string copia =
                PastaDaExecucao() + "tabela" + std::to_string(getpid()) + "_" + std::to_string(++g_copias) + ".dbf";
            GuardaMensagem m;
            UsaMensagens usa(m);
            const ResultadoCodec r = ExpandeDBC(t.arquivo, copia, SemProgresso(), true);
            if (!r.Ok()) {
                std::error_code ec;
                fs::remove(copia, ec);
                return m.ultima.empty() ? DeUtf8(t.arquivo) + ": " + MensagemCodec(r.codigo) : m.ultima;
            }
            t.copia = copia;
        }
        dbfRecord h;
        if (std::string falha = Abre(h, t.dbc ? t.copia : t.arquivo); !falha.empty()) return falha;
        auto novo = std::make_shared<IndiceColuna>();
        novo->cp850 = cp850;
        std::vector<std::pair<std::uint64_t, std::uint32_t>> pares;
        std::string texto;
        const auto col = static_cast<std::size_t>(i);
        for (std::int64_t n = 1; n <= h.NumRegs; ++n) {
            readDBF(h, n);
            if (h.RegistroAtual[0] == '*') continue;
            const ValorCampo v = Decodifica(t, h.RegistroAtual, col, cp850, texto);
            if (v.tipo == ValorCampo::Nulo || (v.tipo == ValorCampo::Real && v.d != v.d)) continue; // never '='
            pares.emplace_back(HashDe(v), static_cast<std::uint32_t>(n));
        }
        std::sort(pares.begin(), pares.end());
        novo->hashes.reserve(pares.size());
        novo->registros.reserve(pares.size());
        for (std::size_t k = 0; k < pares.size(); ++k) {
            if (k == 0 || pares[k].first != pares[k - 1].first) ++novo->distintos;
            novo->hashes.push_back(pares[k].first);
            novo->registros.push_back(pares[k].second);
        }
        t.indices[i] = novo;
        indice = std::move(novo);
    } catch (const std::exception& e) {
        return DeUtf8(t.arquivo) + ": " + e.what();
    }
    return {};
}

int Filtra(sqlite3_vtab_cursor* cur, int idxNum, const char*, int argc, sqlite3_value** argv) {
    auto* c = reinterpret_cast<Cursor*>(cur);
    auto* t = reinterpret_cast<Tabela*>(cur->pVtab);
    c->fluxo.reset();
    c->indice.reset();
    c->proximo = c->ate = 0;
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
    const int col = idxNum - 1;
    if (col >= 0 && col < static_cast<int>(t->colunas.size()) && argc == 1) {
        ValorCampo v;
        const int tipo = sqlite3_value_type(argv[0]);
        if (tipo == SQLITE_NULL) { // '=' with NULL holds for no row
            c->fim = true;
            return SQLITE_OK;
        }
        const bool numerica = ChaveNumerica(t->colunas[static_cast<std::size_t>(col)]);
        if (numerica && tipo == SQLITE_INTEGER) {
            v.tipo = ValorCampo::Inteiro;
            v.i = sqlite3_value_int64(argv[0]);
        } else if (numerica && tipo == SQLITE_FLOAT) {
            v.tipo = ValorCampo::Real;
            v.d = sqlite3_value_double(argv[0]);
        } else if (!numerica && tipo == SQLITE_TEXT) {
            v.tipo = ValorCampo::Texto;
            const auto* p = reinterpret_cast<const char*>(sqlite3_value_text(argv[0]));
            v.s = std::string_view(p ? p : "", static_cast<std::size_t>(sqlite3_value_bytes(argv[0])));
        }
        // A value of another kind may still equal some rows by SQLite's conversions:
        // those come from the full scan below.
        if (v.tipo != ValorCampo::Nulo) {
            std::shared_ptr<const IndiceColuna> indice;
            if (std::string falha = IndiceDe(*t, col, c->cp850, indice); !falha.empty()) {
                c->fim = true;
                return Erro(&t->base, falha);
            }
            if (t->dbc) {
                c->h = dbfRecord();
                if (std::string falha = Abre(c->h, t->copia); !falha.empty()) {
                    c->fim = true;
                    return Erro(&t->base, falha);
                }
            }
            const std::uint64_t chave = HashDe(v);
            auto [de, ate] = std::equal_range(indice->hashes.begin(), indice->hashes.end(), chave);
            c->proximo = static_cast<std::size_t>(de - indice->hashes.begin());
            c->ate = static_cast<std::size_t>(ate - indice->hashes.begin());
            c->indice = std::move(indice);
            return Avanca(c);
        }
    }
    if (t->dbc) c->fluxo = std::make_unique<FluxoDBC>(c->h.Arquivo, c->h.TamCabecalho, c->h.TamRegistro,
                                                         c->h.RegsNoCabecalho, c->h.Nome);
    return Avanca(c);
}

int Proximo(sqlite3_vtab_cursor* cur) { return Avanca(reinterpret_cast<Cursor*>(cur)); }

int Fim(sqlite3_vtab_cursor* cur) { return reinterpret_cast<Cursor*>(cur)->fim ? 1 : 0; }

int Valor(sqlite3_vtab_cursor* cur, sqlite3_context* ctx, int i) {
    auto* c = reinterpret_cast<Cursor*>(cur);
    auto* t = reinterpret_cast<Tabela*>(cur->pVtab);
    if (!c->registro || i < 0 || i >= static_cast<int>(t->campos.size())) return SQLITE_OK;
    const ValorCampo v = Decodifica(*t, c->registro, static_cast<std::size_t>(i), c->cp850, c->texto);
    switch (v.tipo) {
    case ValorCampo::Nulo:
        break;
    case ValorCampo::Inteiro:
        sqlite3_result_int64(ctx, v.i);
        break;
    case ValorCampo::Real:
        sqlite3_result_double(ctx, v.d);
        break;
    case ValorCampo::Texto:
        sqlite3_result_text(ctx, v.s.data(), static_cast<int>(v.s.size()), SQLITE_TRANSIENT);
        break;
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

std::int64_t RegistrosVisitadosDBF() { return g_registrosVisitados.load(); }

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
        const std::string sql = "DROP TABLE IF EXISTS main." + EntreAspasDobradas(e->nomes[it->first]);
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
        const std::string sql = "CREATE VIRTUAL TABLE main." + EntreAspasDobradas(t.nome) + " USING dorvan_dbf";
        // A file that cannot be read as a table stays out of the list.
        if (sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr) != SQLITE_OK) {
            e->tabelas.erase(chave);
            e->nomes.erase(chave);
        }
    }
    return {};
}

} // namespace dorvan

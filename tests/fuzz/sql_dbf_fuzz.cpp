// SQL over a DBF and over the DBC made from it, through the engine's own tables of
// record files: counts, the whole file sorted, a lookup and a self-join by record
// number (the table's index) and a join on the first field. A DBF that holds just
// the records its header counts gives the same answers as its DBC.
#include "ApoioFuzz.h"
#include "data/Ucomprim.h"
#include "platform/db/BancoDados.h"
#include "query/BancoPadrao.h"

#include <QCoreApplication>
#include <cstdio>
#include <optional>
#include <vector>

using namespace dorvan;

namespace {

using Linhas = std::vector<std::vector<std::string>>;

MotorBD& Motor() {
    static int argc = 1;
    static char nome[] = "fuzz_sql_dbf";
    static char* argv[] = {nome, nullptr};
    static QCoreApplication app(argc, argv);
    static MotorBD* motor = [] {
        std::filesystem::create_directories(fuzz::Pasta() / "dados");
        auto* m = new MotorBD((fuzz::Pasta() / "Aliases.ini").string());
        m->DefineFontePadrao(FonteArquivosDBF([] { return false; }));
        if (m->Inicia() != 0) std::abort();
        m->AdicionaAliasPadrao("F", (fuzz::Pasta() / "dados").string());
        return m;
    }();
    return *motor;
}

std::optional<Linhas> Consulta(const std::string& sql) {
    try {
        ConsultaBD q(Motor());
        q.DatabaseName = "F";
        q.SQL = {sql};
        q.Abre();
        Linhas r;
        for (; !q.Fim() && r.size() < 5000; q.Proximo()) {
            std::vector<std::string> l;
            for (int i = 0; i < q.NumCampos(); ++i)
                l.push_back(q.Nulo(i) ? "NULL" : q.Texto(i));
            r.push_back(std::move(l));
        }
        return r;
    } catch (const ErroBD&) {
    } catch (const ErroES&) {
    } catch (const ErroFatal&) {
    }
    return std::nullopt;
}

std::string Aspas(const std::string& nome) {
    std::string r = "\"";
    for (char c : nome)
        r += c == '"' ? std::string("\"\"") : std::string(1, c);
    return r + "\"";
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* dados, std::size_t tamanho) {
    fuzz::Prepara();
    Motor(); // its folder first
    const std::string_view bytes = fuzz::Texto(dados, tamanho);
    const std::string dbf = fuzz::Grava("dados/a.dbf", bytes);
    const std::string dbc = (fuzz::Pasta() / "dados/b.dbc").string();
    std::filesystem::remove(dbc);
    bool comDBC = false;
    fuzz::Tenta([&] { comDBC = ComprimeDBF(dbf, dbc, SemProgresso(), false).Ok(); });
    // The DBC scan goes on past the count to the end byte; the DBF stops at the count.
    if (comDBC && bytes.size() >= 12) {
        auto byte = [&](std::size_t k) { return static_cast<std::uint64_t>(static_cast<unsigned char>(bytes[k])); };
        const std::uint64_t registros = byte(4) | byte(5) << 8 | byte(6) << 16 | byte(7) << 24;
        const std::uint64_t cabecalho = byte(8) | byte(9) << 8, tamRegistro = byte(10) | byte(11) << 8;
        const std::uint64_t fim = cabecalho + registros * tamRegistro;
        comDBC = bytes.size() == fim || (bytes.size() == fim + 1 && bytes.back() == '\x1A');
    }
    std::string primeiro;
    if (auto c = Consulta("select name from pragma_table_info('a')"); c && !c->empty() && !c->front().empty())
        primeiro = c->front().front();
    std::vector<std::string> consultas = {"select count(*) from %t",
                                          "select * from %t order by 1 desc",
                                          "select * from %t where rowid = 2",
                                          "select count(*) from %t x join %t y on x.rowid = y.rowid"};
    if (!primeiro.empty()) {
        const std::string c = Aspas(primeiro);
        consultas.push_back("select x." + c + ", count(*) from %t x join %t y on x." + c + " = y." + c +
                            " group by 1 order by 1");
        consultas.push_back("select * from %t where " + c + " = (select min(" + c + ") from %t)");
    }
    for (const std::string& modelo : consultas) {
        auto para = [&](const std::string& tabela) {
            std::string s = modelo;
            for (std::size_t p; (p = s.find("%t")) != std::string::npos;)
                s.replace(p, 2, tabela);
            return s;
        };
        const auto viaDBF = Consulta(para("a"));
        if (!comDBC) continue;
        const auto viaDBC = Consulta(para("b"));
        if (viaDBF && viaDBC && *viaDBF != *viaDBC) {
            std::fprintf(stderr, "the DBC answers otherwise than its DBF: %s\n", modelo.c_str());
            std::abort();
        }
    }
    // The next input's files are other tables: the alias set again opens afresh.
    Alias a;
    a.nome = "F";
    a.driver = DriverPadrao;
    a.banco = (fuzz::Pasta() / "dados").string();
    Motor().DefineAlias(a);
    return 0;
}

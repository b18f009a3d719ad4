// SQL over a folder of record files through a STANDARD alias, against R:
//   bench_consulta_padrao <folder> <table> <column> [--semR]
// Times "SELECT <column>, count(*) FROM <table> GROUP BY <column>" (best of three,
// page cache warm), a WHERE on that one column, and, back to back in the same run,
// R reading the file with foreign::read.dbf and counting it with table(). Peak
// memory is printed after each step: it must not follow the file's size.
//   bench_consulta_padrao --juncao <folder> <records>
// Writes A.DBF and B.DBF of that many records each into the folder (every key twice
// in each file) and times their join on the key: through the inner file's index
// (its first run builds it), and, back to back, as every outer record going through
// the whole inner file, which is measured over the first 200 outer records only and
// projected to all of them.
#include "data/LeDBF32.h"
#include "platform/db/BancoDados.h"
#include "query/BancoPadrao.h"
#include "Medida.h"

#include <QCoreApplication>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

using namespace dorvan;
using dorvan::bench::PicoMemoriaKB;

namespace {

double Segundos(std::chrono::steady_clock::duration d) { return std::chrono::duration<double>(d).count(); }

// Best of three runs of a query; its rows and the sum of its second column.
double Roda(MotorBD& motor, const std::string& sql, long long& linhas, double& soma) {
    double melhor = 1e30;
    for (int vez = 0; vez < 3; ++vez) {
        auto t0 = std::chrono::steady_clock::now();
        ConsultaBD q(motor);
        q.DatabaseName = "Bench";
        q.SQL = {sql};
        q.Abre();
        linhas = 0;
        soma = 0;
        for (; !q.Fim(); q.Proximo()) {
            ++linhas;
            soma += q.Real(q.NumCampos() - 1);
        }
        melhor = std::min(melhor, Segundos(std::chrono::steady_clock::now() - t0));
    }
    return melhor;
}

// One run of a query: its time and its first column's value.
double Uma(MotorBD& motor, const std::string& sql, std::string& valor) {
    auto t0 = std::chrono::steady_clock::now();
    ConsultaBD q(motor);
    q.DatabaseName = "Bench";
    q.SQL = {sql};
    q.Abre();
    valor = q.Fim() ? "" : q.Texto(0);
    return Segundos(std::chrono::steady_clock::now() - t0);
}

// This run's aliases file.
std::string ArquivoAliases() { return "/tmp/bench_consulta_padrao_" + std::to_string(getpid()) + ".ini"; }

// Starts the engine with a STANDARD alias "Bench" over pasta; false (said) when it does not start.
bool IniciaComAlias(MotorBD& motor, const std::string& pasta) {
    motor.DefineFontePadrao(FonteArquivosDBF([] { return false; }));
    if (motor.Inicia() != 0) {
        std::fprintf(stderr, "the database engine did not start\n");
        return false;
    }
    motor.AdicionaAliasPadrao("Bench", pasta);
    return true;
}

int Juncao(const std::string& pasta, long long n) {
    std::filesystem::create_directories(pasta);
    for (const char* nome : {"A.DBF", "B.DBF"}) {
        dbfRecord h;
        CreateDBF(h, pasta + "/" + nome, {{"CHAVE", 'C', 8, 0, 0}, {"V", 'N', 8, 0, 0}, {"T", 'C', 60, 0, 0}}, 3);
        std::string r(h.TamRegistro, ' ');
        for (long long i = 0; i < n; ++i) {
            const long long k = (nome[0] == 'A' ? i : n - 1 - i) % ((n + 1) / 2);
            PutFieldDBF(h, 1, std::to_string(k), r.data());
            PutFieldDBF(h, 2, std::to_string(i % 1000), r.data());
            AppendDBF(h, r.data());
        }
        CloseDBF(h);
    }
    const std::string aliases = ArquivoAliases();
    MotorBD motor(aliases);
    if (!IniciaComAlias(motor, pasta)) return 1;
    const long long parte = std::min(200LL, n);
    const std::string todas = "SELECT count(*), sum(b.v) FROM a JOIN b ON a.chave = b.chave";
    const std::string comIndice = todas + " WHERE a.rowid <= " + std::to_string(parte);
    // '+' on both sides leaves SQLite no column constraint to offer: every outer record
    // goes through the whole inner file, as before the index.
    const std::string semIndice =
        "SELECT count(*), sum(b.v) FROM a JOIN b ON +a.chave = +b.chave WHERE a.rowid <= " + std::to_string(parte);
    std::string valor;
    std::printf("%lld records per file\n", n);
    const double primeira = Uma(motor, todas, valor);
    std::printf("join, first run (index built): %.3f s, %s pairs, peak %ld KB\n", primeira, valor.c_str(),
                PicoMemoriaKB());
    double depois = 1e30;
    for (int vez = 0; vez < 3; ++vez)
        depois = std::min(depois, Uma(motor, todas, valor));
    std::printf("join, index kept: %.3f s, %s pairs\n", depois, valor.c_str());
    const double parteDepois = Uma(motor, comIndice, valor);
    std::string valorAntes;
    const double parteAntes = Uma(motor, semIndice, valorAntes);
    std::printf("first %lld outer records: index %.4f s (%s pairs), whole inner file per record %.3f s (%s pairs): "
                "%.0fx\n",
                parte, parteDepois, valor.c_str(), parteAntes, valorAntes.c_str(), parteAntes / parteDepois);
    const double projetado = parteAntes * static_cast<double>(n) / static_cast<double>(parte);
    std::printf("whole join without the index, projected: %.0f s; with it (first run) %.3f s: %.0fx\n", projetado,
                primeira, projetado / primeira);
    motor.Encerra();
    std::filesystem::remove(aliases);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 4 && std::string(argv[1]) == "--juncao") {
        QCoreApplication app(argc, argv);
        try {
            return Juncao(argv[2], std::atoll(argv[3]));
        } catch (const std::exception& e) {
            std::fprintf(stderr, "%s\n", e.what());
            return 1;
        }
    }
    if (argc < 4) {
        std::fprintf(stderr, "usage: %s <folder> <table> <column> [--semR] | --juncao <folder> <records>\n", argv[0]);
        return 2;
    }
    const std::string pasta = argv[1], tabela = argv[2], coluna = argv[3];
    const bool comR = !(argc > 4 && std::string(argv[4]) == "--semR");
    QCoreApplication app(argc, argv);
    const std::string aliases = ArquivoAliases();
    MotorBD motor(aliases);
    if (!IniciaComAlias(motor, pasta)) return 1;
    std::printf("memory at start: %ld KB\n", PicoMemoriaKB());
    try {
        long long linhas = 0;
        double soma = 0;
        const double sGrupo =
            Roda(motor, "SELECT " + coluna + ", count(*) FROM " + tabela + " GROUP BY " + coluna, linhas, soma);
        std::printf("SQL GROUP BY %s: %.3f s, %lld groups, %.0f records, peak %ld KB\n", coluna.c_str(), sGrupo, linhas,
                    soma, PicoMemoriaKB());
        const double sOnde =
            Roda(motor, "SELECT count(*) FROM " + tabela + " WHERE " + coluna + " = '1'", linhas, soma);
        std::printf("SQL WHERE %s = '1': %.3f s, %.0f records, peak %ld KB\n", coluna.c_str(), sOnde, soma,
                    PicoMemoriaKB());
        if (comR) {
            std::string arquivo;
            for (const auto& e : std::filesystem::directory_iterator(pasta))
                if (e.path().stem() == tabela && (e.path().extension() == ".dbf" || e.path().extension() == ".DBF"))
                    arquivo = e.path().string();
            setenv("DORVAN_BENCH_DBF", arquivo.c_str(), 1);
            setenv("DORVAN_BENCH_COLUNA", coluna.c_str(), 1);
            const std::string cmd = "Rscript -e 'd <- foreign::read.dbf(Sys.getenv(\"DORVAN_BENCH_DBF\"), as.is=TRUE); "
                                    "x <- table(d[[Sys.getenv(\"DORVAN_BENCH_COLUNA\")]]); cat(length(x), sum(x), "
                                    "\"\\n\")' > /dev/null";
            auto t0 = std::chrono::steady_clock::now();
            const int rc = std::system(cmd.c_str());
            const double sR = Segundos(std::chrono::steady_clock::now() - t0);
            std::printf("R read.dbf + table(): %.3f s (rc %d); R / SQL GROUP BY = %.1fx\n", sR, rc, sR / sGrupo);
        }
    } catch (const ErroBD& e) {
        std::fprintf(stderr, "%s\n", e.what());
        motor.Encerra();
        std::filesystem::remove(aliases);
        return 1;
    }
    motor.Encerra();
    std::filesystem::remove(aliases);
    return 0;
}

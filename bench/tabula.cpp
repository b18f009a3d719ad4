// Runs one tabulation with no window and prints the table:
//
//   bench_tabula <def> --linha <label> [--coluna <label>] [--incr <label>]...
//                [--sel <label>=<k>,<k>...]... [--modo ignorar|incluir|discriminar]
//                [--suplin] [--semsupcol] [--crc] [--threads <n>] [--semR] [--expande] [--resumo]
//                [<data file>...]
//
// Labels are the DEF's, as written there (UTF-8 on the command line). Without data
// files every file the DEF's wildcard matches is read. Output (UTF-8): the column
// titles, one line "label;value;..." per row in machine number form, the totals
// line, then the run log with each line prefixed by "#" and the lines "#Titulo1=",
// "#Titulo2=" and "#Rodape=" with the finished table's texts. The elapsed time goes to
// stderr with the table's cell storage and the peak resident memory of the run;
// --expande adds the time of a bare scan of each file; --resumo prints a digest of
// the table (labels, cells and totals to the bit) instead of the table. When R is installed
// (and without --semR) the time R takes to read each DBF with foreign::read.dbf and
// cross its row and column fields with table() follows.
#include "data/LeDBF32.h"
#include "data/Ucomprim.h"
#include "platform/Arquivos.h"
#include "platform/Mensagens.h"
#include "platform/Numeros.h"
#include "platform/Texto1252.h"
#include "table/LogExecucao.h"
#include "table/TabelaResultados.h"
#include "tabulation/ExecutaTabulacao.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "Medida.h"

using dorvan::bench::Segundos;

using namespace dorvan;

namespace {

// Messages to stderr, so the table stays clean on stdout.
class MensagensErro : public MensagensConsole {
public:
    void Mostra(const std::string& texto) override { std::fprintf(stderr, "%s\n", ParaUtf8(texto).c_str()); }
};

int Item(const std::vector<std::string>& lista, const std::string& rotulo) {
    for (std::size_t i = 0; i < lista.size(); ++i)
        if (TiraBrancosDir(lista[i].substr(0, 19)) == rotulo || TiraBrancosDir(lista[i].substr(0, 18)) == rotulo)
            return static_cast<int>(i);
    std::fprintf(stderr, "sem o item \"%s\" na DEF\n", ParaUtf8(rotulo).c_str());
    std::exit(2);
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 4) {
        std::fprintf(stderr, "uso: %s <def> --linha <r\xC3\xB3tulo> [--coluna <r>] [--incr <r>]... [--sel <r>=1,2]...\n"
                             "   [--modo ignorar|incluir|discriminar] [--suplin] [--semsupcol] [--crc] [--threads n]\n"
                             "   [--semR] [--expande] [--resumo] [arquivos...]\n",
                     argv[0]);
        return 2;
    }
    MensagensErro mensagens;
    DefineMensagens(&mensagens);
    DefTabulacao def;
    try {
        LeDEF(def, argv[1]);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", ParaUtf8(e.what()).c_str());
        return 1;
    }
    OpcoesTabulacao op;
    op.Legenda = argv[1];
    op.Incrementos.clear();
    bool comR = std::system("command -v Rscript > /dev/null 2>&1") == 0, expande = false, resumo = false;
    std::vector<std::string> arquivos;
    std::string linhaCampo, colunaCampo;
    for (int i = 2; i < argc; ++i) {
        std::string a = argv[i];
        auto proximo = [&] {
            if (i + 1 >= argc) {
                std::fprintf(stderr, "falta o valor de %s\n", a.c_str());
                std::exit(2);
            }
            return DeUtf8(argv[++i]);
        };
        if (a == "--linha") {
            op.Linha = Item(def.ListLinha, proximo());
        } else if (a == "--coluna") {
            op.Coluna = Item(def.ListColunas, proximo());
        } else if (a == "--incr") {
            op.Incrementos.push_back(Item(def.ListIncr, proximo()));
        } else if (a == "--sel") {
            std::string s = proximo();
            std::size_t igual = s.find('=');
            int pos = Seleciona(def, Item(def.ListInicial, s.substr(0, igual)));
            if (pos < 0) return 1;
            std::string marcas = igual == std::string::npos ? std::string() : s.substr(igual + 1);
            for (std::size_t p = 0; p < marcas.size();) {
                std::size_t v = marcas.find(',', p);
                if (v == std::string::npos) v = marcas.size();
                int k = std::atoi(marcas.substr(p, v - p).c_str());
                if (k >= 1 && k <= def.Selecao(pos).NumCategorias) def.Selecao(pos).Marcadas[static_cast<std::size_t>(k - 1)] = 1;
                p = v + 1;
            }
        } else if (a == "--modo") {
            std::string m = proximo();
            op.ModoNaoClassificados = m == "incluir" ? 1 : m == "discriminar" ? 2 : 0;
        } else if (a == "--suplin") {
            op.SupLinhas = true;
        } else if (a == "--semsupcol") {
            op.SupColunas = false;
        } else if (a == "--crc") {
            op.TestaCRC = true;
        } else if (a == "--threads") {
            op.Threads = std::atoi(proximo().c_str());
        } else if (a == "--semR") {
            comR = false;
        } else if (a == "--expande") {
            expande = true;
        } else if (a == "--resumo") {
            resumo = true;
        } else {
            arquivos.push_back(a);
        }
    }
    if (op.Incrementos.empty() && op.Coluna == 0) op.Incrementos = {0};
    if (arquivos.empty()) {
        op.Arquivos = ListaArquivosDEF(def);
    } else {
        // Files named on the command line are read from where they are.
        def.EspecArquivos.clear();
        for (auto& f : arquivos) op.Arquivos.push_back(std::filesystem::absolute(f).string());
    }
    auto campoDoItem = [](const std::string& item) {
        return item.size() > 19 ? MaiusculasAscii(item.substr(19, item.find(',', 19) - 19)) : std::string();
    };
    if (op.Linha >= 0) linhaCampo = campoDoItem(def.ListLinha[static_cast<std::size_t>(op.Linha)]);
    if (op.Coluna > 0) colunaCampo = campoDoItem(def.ListColunas[static_cast<std::size_t>(op.Coluna)]);

    TabelaResultados t;
    LogExecucao log;
    InterfaceTabulacao ui;
    auto t0 = std::chrono::steady_clock::now();
    ResultadoTabulacao r;
    try {
        r = ExecutaTabulacao(def, op, t, log, ui, SemProgresso());
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", ParaUtf8(e.what()).c_str());
        return 1;
    }
    double s = Segundos(t0);
    if (r.Fim == FimTabulacao::Verificacao || r.Fim == FimTabulacao::Dimensao) return 1;

    // Memory right after the run, before any output is built.
    long picoKb = 0;
    {
        std::ifstream status("/proc/self/status");
        for (std::string l; std::getline(status, l);)
            if (l.rfind("VmHWM:", 0) == 0) picoKb = std::atol(l.c_str() + 6);
    }
    double bytesTabela = 0;
    for (int c = 0; c <= t.NumColunas(); ++c)
        bytesTabela += static_cast<double>(t.Coluna(c).Dados.size()) * 8.0;

    if (resumo) {
        // A digest of every label, cell and total to the bit, instead of the text.
        std::uint64_t h = 14695981039346656037ull;
        auto mistura = [&h](const void* p, std::size_t n) {
            for (std::size_t i = 0; i < n; ++i) h = (h ^ static_cast<const unsigned char*>(p)[i]) * 1099511628211ull;
        };
        for (int c = 0; c <= t.NumColunas(); ++c) mistura(t.NomeColuna(c).data(), t.NomeColuna(c).size());
        for (int k = 1; k <= t.NumLinhas; ++k) mistura(t.Rotulo(t.Ordem(k)).data(), t.Rotulo(t.Ordem(k)).size());
        for (int c = 1; c <= t.NumColunas(); ++c) // column by column, as the cells lie
            for (int k = 1; k <= t.NumLinhas; ++k) {
                double v = t.Dado(c, t.Ordem(k));
                mistura(&v, sizeof v);
            }
        for (int c = 1; c <= t.NumColunas(); ++c) mistura(&t.Coluna(c).Total, sizeof(double));
        std::printf("%d linhas x %d colunas, resumo %016llx\n", t.NumLinhas, t.NumColunas(),
                    static_cast<unsigned long long>(h));
    } else {
        // Written line by line: a 5,570 x 5,570 table is some 100 MB of text.
        auto escreve = [](const std::string& s) { std::fputs(ParaUtf8(s).c_str(), stdout); };
        std::string linha = t.NomeColuna(0);
        for (int c = 1; c <= t.NumColunas(); ++c)
            linha += ";" + t.NomeColuna(c);
        escreve(linha + "\n");
        for (int k = 1; k <= t.NumLinhas; ++k) {
            linha = t.Rotulo(t.Ordem(k));
            for (int c = 1; c <= t.NumColunas(); ++c)
                linha += ";" + NumeroMaquina(t.Dado(c, t.Ordem(k)), t.Coluna(c).Decimais);
            escreve(linha + "\n");
        }
        linha = "Total";
        for (int c = 1; c <= t.NumColunas(); ++c)
            linha += ";" + NumeroMaquina(t.Coluna(c).Total, t.Coluna(c).Decimais);
        escreve(linha + "\n");
        for (const auto& l : log.Linhas())
            escreve("#" + l + "\n");
    }
    // The titles and the footer (with its period) as the finished table holds them.
    const std::string textos = "#Titulo1=" + t.Titulo1 + "\n#Titulo2=" + t.Titulo2 + "\n#Rodape=" + t.Rodape + "\n";
    std::fputs(ParaUtf8(textos).c_str(), stdout);
    std::fprintf(stderr, "tabula\xC3\xA7\xC3\xA3o: %lld registros em %.3f s (%.0f registros/s)\n",
                 static_cast<long long>(r.RegistrosLidos), s, r.RegistrosLidos / s);
    std::fprintf(
        stderr,
        "tabela: %d linhas x %d colunas, %.1f MB de c\xC3\xA9lulas; mem\xC3\xB3ria residente m\xC3\xA1xima %.1f MB\n",
        t.NumLinhas, t.NumColunas(), bytesTabela / 1e6, picoKb * 1024 / 1e6);

    std::string pasta = PastaDaCuringa(def);
    double sVarredura = 0;
    for (const auto& item : op.Arquivos) {
        std::string nome = item.starts_with("/") ? item : NomeReal(pasta, item);
        std::string m = MaiusculasAscii(nome);
        if (expande) {
            dbfRecord h;
            OpenDBF(h, nome, true);
            if (h.Estado == 0) continue;
            auto t1 = std::chrono::steady_clock::now();
            std::int64_t n = 0;
            ScanDBF(
                h, [&](dbfRecord&) { ++n; }, op.TestaCRC);
            const double sArquivo = Segundos(t1);
            sVarredura += sArquivo;
            std::fprintf(stderr, "varredura sem tabular de %s: %lld registros em %.3f s\n", nome.c_str(),
                         static_cast<long long>(n), sArquivo);
        }
        if (comR && m.ends_with(".DBF") && !linhaCampo.empty()) {
            // Names reach R through the environment: no quote in a file or field name
            // can break the script or the shell command.
            setenv("DORVAN_BENCH_DBF", nome.c_str(), 1);
            setenv("DORVAN_BENCH_LINHA", linhaCampo.c_str(), 1);
            setenv("DORVAN_BENCH_COLUNA", colunaCampo.c_str(), 1);
            std::string script = "suppressMessages(library(foreign)); "
                                 "d <- read.dbf(Sys.getenv(\"DORVAN_BENCH_DBF\"), as.is=TRUE); "
                                 "col <- Sys.getenv(\"DORVAN_BENCH_COLUNA\"); "
                                 "x <- if (nzchar(col)) table(d[[Sys.getenv(\"DORVAN_BENCH_LINHA\")]], d[[col]]) "
                                 "else table(d[[Sys.getenv(\"DORVAN_BENCH_LINHA\")]]); "
                                 "cat(dim(x), \"celulas\\n\")";
            std::string cmd = "Rscript -e '" + script + "' 1>&2";
            auto t1 = std::chrono::steady_clock::now();
            int rc = std::system(cmd.c_str());
            std::fprintf(stderr, "R (read.dbf + table) de %s: %.3f s (rc %d)\n", nome.c_str(), Segundos(t1), rc);
        }
    }
    if (expande)
        std::fprintf(stderr, "varredura sem tabular de todos: %.3f s; tabula\xC3\xA7\xC3\xA3o / varredura = %.2f\n",
                     sVarredura, s / sVarredura);
    return 0;
}

// A municipality-by-municipality flow table (5,570 x 5,570, most cells zero) saved
// and reopened as .tab, exported as CSV, and scrolled in the grid:
//   bench_tabela_larga [rows=5570] [columns=rows] [pages=40]
// Save, reopen and export run three times each and report the best, with the text
// size and MB/s (processor time of this thread, and wall time); the grid step
// shows the table as the main window does, then pages down and right, repainting
// every page. Runs with QT_QPA_PLATFORM=offscreen.
#include "output/GravaTexto.h"
#include "table/TabelaArquivo.h"
#include "table/ui/GradeFixa.h"
#include "table/ui/ModeloTabela.h"

#include <QApplication>
#include <QFontMetrics>
#include <QScrollBar>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <random>
#include <string>
#include <sys/resource.h>
#include <unistd.h>

using namespace dorvan;

namespace {

struct Tempo {
    double processador = 1e30, parede = 1e30;
};

double Processador() {
    timespec t;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

template <typename F> Tempo Mede(int vezes, F&& f) {
    Tempo melhor;
    for (int vez = 0; vez < vezes; ++vez) {
        const double p0 = Processador();
        const auto w0 = std::chrono::steady_clock::now();
        f();
        melhor.processador = std::min(melhor.processador, Processador() - p0);
        melhor.parede =
            std::min(melhor.parede, std::chrono::duration<double>(std::chrono::steady_clock::now() - w0).count());
    }
    return melhor;
}

void Mostra(const char* passo, const Tempo& t, std::uintmax_t bytes) {
    std::printf("%-22s %7.3f s cpu (%6.1f MB/s)  %7.3f s wall (%6.1f MB/s)  %.1f MB\n", passo, t.processador,
                static_cast<double>(bytes) / 1e6 / t.processador, t.parede, static_cast<double>(bytes) / 1e6 / t.parede,
                static_cast<double>(bytes) / 1e6);
}

// Flows: each municipality keeps most of its own events, a few dozen others get some.
void Preenche(TabelaResultados& t, int linhas, int colunas) {
    std::mt19937 g(5570);
    t.AlocaLinhas(linhas, linhas);
    for (int c = 1; c <= colunas; ++c)
        AcrescentaColuna(t, std::to_string(110000 + c * 7) + " Munic\xEDpio de ocorr\xEAncia " + std::to_string(c), 0);
    for (int r = 1; r <= linhas; ++r) {
        t.Rotulo(r) = std::to_string(110000 + r * 7) + " Munic\xEDpio de resid\xEAncia " + std::to_string(r);
        if (r <= colunas) t.Dado(r, r) = 50 + g() % 5000;
        for (int k = g() % 60; k > 0; --k)
            t.Dado(1 + static_cast<int>(g() % colunas), r) += 1 + g() % 40;
    }
    for (int c = 1; c <= colunas; ++c)
        CalculaTotal(t, c);
}

long PicoMemoriaMB() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_maxrss / 1024;
}

} // namespace

int main(int argc, char** argv) {
    const int linhas = argc > 1 ? std::atoi(argv[1]) : 5570;
    const int colunas = argc > 2 ? std::atoi(argv[2]) : linhas;
    const int paginas = argc > 3 ? std::atoi(argv[3]) : 40;
    qputenv("QT_QPA_PLATFORM",
            qgetenv("QT_QPA_PLATFORM").isEmpty() ? QByteArray("offscreen") : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);

    TabelaResultados t;
    Tempo preenche = Mede(1, [&] { Preenche(t, linhas, colunas); });
    std::printf("%d rows x %d columns, filled in %.2f s\n", linhas, colunas, preenche.processador);

    const auto pasta = std::filesystem::temp_directory_path();
    const std::string tab = (pasta / ("bench_tabela_larga_" + std::to_string(getpid()) + ".tab")).string();
    const std::string csv = (pasta / ("bench_tabela_larga_" + std::to_string(getpid()) + ".csv")).string();

    Tempo grava = Mede(3, [&] { GravaTab(t, tab, {"linha de log"}); });
    const auto bytesTab = std::filesystem::file_size(tab);
    Mostra("save .tab (GravaTab)", grava, bytesTab);

    TabelaResultados lida;
    Tempo le = Mede(3, [&] { LeTabela(lida, tab, ','); });
    Mostra("reopen .tab (LeTabela)", le, bytesTab);
    bool igual = lida.NumLinhas == t.NumLinhas && lida.NumColunas() == t.NumColunas();
    for (int r = 1; igual && r <= t.NumLinhas; r += 97)
        for (int c = 1; igual && c <= t.NumColunas(); ++c)
            igual = lida.Dado(c, r) == t.Dado(c, r);
    if (!igual) std::printf("reopened table DIFFERS\n");

    Tempo exporta = Mede(3, [&] { GravaCSV(t, csv); });
    const auto bytesCsv = std::filesystem::file_size(csv);
    Mostra("export CSV (GravaCSV)", exporta, bytesCsv);
    std::filesystem::remove(tab);
    std::filesystem::remove(csv);

    // The grid as the main window sets it up for a table just opened.
    ModeloTabela modelo(lida);
    GradeFixa grade([](int, int) {}, [](int, int) {});
    grade.setFont(QFont(QStringLiteral("Arial"), 8));
    grade.setModel(&modelo);
    grade.setItemDelegate(new DelegadoGrade(&grade));
    grade.resize(1280, 800);
    const QFontMetrics fm(grade.font());
    Tempo mostra = Mede(1, [&] {
        modelo.Recarrega();
        grade.DefineFixas(2, 1);
        for (int c = 0; c <= lida.NumColunas(); ++c)
            grade.DefineLargura(c, fm.horizontalAdvance(QLatin1Char('0')) * lida.Coluna(c).Largura + 5);
        grade.DefineAlturaLinhas(fm.height() + 4);
        grade.show();
        grade.repaint();
        QApplication::processEvents();
    });
    std::printf("%-22s %7.3f s cpu  %7.3f s wall\n", "grid shown", mostra.processador, mostra.parede);

    auto rola = [&](QScrollBar* barra) {
        return Mede(1, [&] {
            for (int p = 1; p <= paginas; ++p) {
                barra->setValue(barra->minimum() + (barra->maximum() - barra->minimum()) * p / paginas);
                grade.repaint();
                for (QTableView* v : {grade.Topo(), grade.Esquerda(), grade.Canto()})
                    if (v) v->repaint();
                QApplication::processEvents();
            }
        });
    };
    Tempo desce = rola(grade.verticalScrollBar());
    std::printf("%-22s %7.3f s cpu  %7.3f s wall  (%d pages, %.1f ms cpu a page)\n", "grid scrolled down",
                desce.processador, desce.parede, paginas, desce.processador * 1e3 / paginas);
    Tempo direita = rola(grade.horizontalScrollBar());
    std::printf("%-22s %7.3f s cpu  %7.3f s wall  (%d pages, %.1f ms cpu a page)\n", "grid scrolled right",
                direita.processador, direita.parede, paginas, direita.processador * 1e3 / paginas);
    std::printf("peak memory: %ld MB\n", PicoMemoriaMB());
    return igual ? 0 : 1;
}

// The sample's base maps: one area per category of its area tables, found by the
// tabulation's map rule, and coloured through the main window's "Mapa".
#include "app/ui/ProgramaMontado.h"
#include "maps/ArquivoMapa.h"
#include "maps/MapaTabela.h"
#include "maps/ui/PintaMapa.h"
#include "maps/ui/TMapa.h"
#include "platform/Arquivos.h"
#include "table/TabelaResultados.h"
#include "tabulation/Utabula.h"
#include "tabulation/ui/TTabula.h"

#include <QAction>
#include <QApplication>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <algorithm>
#include <filesystem>
#include <gtest/gtest.h>
#include <map>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

namespace dorvan::teste {
namespace {

std::string Apara(std::string s) {
    while (!s.empty() && (s.back() == ' ' || s.back() == '\r'))
        s.pop_back();
    return s;
}

// Code (from column 61) -> label of every category line of a CNV of the sample.
std::map<std::string, std::string> Categorias(const std::string& cnv) {
    std::map<std::string, std::string> c;
    const std::string texto = LeArquivoInteiro(cnv);
    bool cabecalho = true;
    for (std::size_t i = 0, f; i < texto.size(); i = f + 1) {
        f = texto.find('\n', i);
        if (f == std::string::npos) f = texto.size();
        const std::string linha = Apara(texto.substr(i, f - i));
        if (linha.empty() || linha[0] == ';') continue;
        if (std::exchange(cabecalho, false) || linha.size() <= 60) continue;
        c[Apara(linha.substr(60))] = Apara(linha.substr(9, 50));
    }
    return c;
}

TEST(AmostraMapa, EveryAreaTableHasTheMapItsRowsFindWithOneAreaPerCode) {
    for (const auto& [cnv, mapa, quantas] :
         {std::tuple<std::string, std::string, std::size_t>{"UF.CNV", "brasil.map", 27},
          {"MUNICBR.CNV", "BR.map", 5570}}) {
        SCOPED_TRACE(cnv);
        // The name the tabulation gives the map of this row table, in the sample's folder.
        EXPECT_EQ(NomeMapaDaTabela(cnv, Amostra(), ""), Amostra() + "/" + mapa);
        const auto categorias = Categorias(Amostra() + "/" + cnv);
        ASSERT_EQ(categorias.size(), quantas);
        const struct Mapa m = LeMapa(Amostra() + "/" + mapa);
        EXPECT_TRUE(MapaGeografico(m.Cabecalho));
        ASSERT_EQ(m.Registros.size(), quantas);
        std::map<std::string, int> vistos;
        for (const RegistroMapa& r : m.Registros) {
            ++vistos[r.Codigo];
            ASSERT_TRUE(categorias.count(r.Codigo)) << r.Codigo;
            // The label a row gets is the code, a blank and the area's name.
            EXPECT_EQ(categorias.at(r.Codigo), r.Codigo + " " + r.Nome);
            EXPECT_EQ(r.Tipo, TipoPoligono);
            ASSERT_EQ(r.Pontos.size(), 5u);
            EXPECT_EQ(r.Pontos.front(), r.Pontos.back());
            const auto [x0, x1] = std::minmax({r.Pontos[0].X, r.Pontos[2].X});
            const auto [y0, y1] = std::minmax({r.Pontos[0].Y, r.Pontos[2].Y});
            EXPECT_LT(x0, x1);
            EXPECT_LT(y0, y1);
            EXPECT_TRUE(r.RotuloX > x0 && r.RotuloX < x1 && r.RotuloY > y0 && r.RotuloY < y1) << r.Codigo;
        }
        for (const auto& [codigo, n] : vistos)
            EXPECT_EQ(n, 1) << codigo;
    }
}

// A map hidden by its name (".C.map") is in no file dialog: the user could never
// open it by hand.
TEST(AmostraMapa, EveryMapTheSampleTablesNameIsAVisibleFile) {
    int mapas = 0;
    for (const auto& entrada : std::filesystem::directory_iterator(Amostra())) {
        const std::string nome = entrada.path().filename().string();
        if (!nome.ends_with(".CNV")) continue;
        const std::string mapa = NomeMapaDaTabela(nome, Amostra(), "");
        if (mapa.empty()) continue;
        ++mapas;
        EXPECT_TRUE(std::filesystem::is_regular_file(mapa)) << nome << " -> " << mapa;
        EXPECT_NE(std::filesystem::path(mapa).filename().string().front(), '.') << nome << " -> " << mapa;
    }
    EXPECT_EQ(mapas, 2);
}

// Runs the sample DEF with "UF residência" on the rows, no column variable and the
// unclassified records included.
void TabulaPorUF() {
    Prepara(Estado::SemTabela);
    bool rodou = false;
    const Efeito e = TabulaAmostra(
        [](TTabula& tabula) {
            const auto uf = tabula.ListLinha->findItems(QStringLiteral(u"UF resid\u00EAncia"), Qt::MatchStartsWith);
            ASSERT_EQ(uf.size(), 1);
            tabula.ListLinha->setCurrentItem(uf.front());
            tabula.ListColunas->setCurrentRow(0);
            tabula.rbIncluir->click();
        },
        nullptr, &rodou);
    ASSERT_TRUE(rodou) << e.Descreve();
    ASSERT_GT(Principal().Tabela().NumLinhas, 0) << e.Descreve();
}

TEST(AmostraMapa, TabulatedByStateTheMapCommandColoursEveryState) {
    ASSERT_NO_FATAL_FAILURE(TabulaPorUF());
    TabelaResultados& t = Principal().Tabela();
    ASSERT_EQ(t.NumColunas(), 1);
    const struct Mapa mapa = LeMapa(Amostra() + "/brasil.map");

    // "Mapa" finds the map by itself: no dialog may open (one that does is closed).
    std::vector<std::string> dialogos;
    QTimer vigia;
    vigia.setInterval(10);
    QObject::connect(&vigia, &QTimer::timeout, [&] {
        if (QWidget* w = QApplication::activeModalWidget(); w && w->isVisible()) {
            dialogos.push_back(w->windowTitle().toStdString());
            w->close();
        }
    });
    vigia.start();
    Principal().Acao(QStringLiteral("Mapa1"))->trigger();
    QApplication::processEvents();
    vigia.stop();
    EXPECT_TRUE(dialogos.empty()) << dialogos.front();
    ASSERT_NE(Mapa, nullptr);
    ASSERT_TRUE(Mapa->isVisible());
    Mapa->Repinta();
    QApplication::processEvents();

    // Every row but the unclassified one has its state, found by its code.
    std::vector<int> areas(static_cast<std::size_t>(t.NumLinhas) + 1, 0);
    for (const RegistroMapa& r : mapa.Registros) {
        const std::int32_t linha = LinhaDoRegistro(t.IndiceLinhas, r);
        ASSERT_GT(linha, 0) << r.Codigo;
        EXPECT_EQ(t.Rotulo(linha).substr(0, 3), r.Codigo + " ");
        ++areas[static_cast<std::size_t>(linha)];
    }
    for (std::int32_t i = 1; i <= t.NumLinhas; ++i)
        if (t.Rotulo(i).substr(0, 3) != "N\xE3o") {
            EXPECT_EQ(areas[static_cast<std::size_t>(i)], 1) << t.Rotulo(i);
        }

    // On the window each state is painted as its row, in a colour of its class.
    const QImage& imagem = Mapa->Imagem();
    for (const RegistroMapa& r : mapa.Registros) {
        const PontoTela p = GeoParaTela(Mapa->Vista, r.RotuloX, r.RotuloY);
        const Identificado id = Identifica(ValorIdentificacao(Mapa->BitmapIdentificacao(), p.X, p.Y), t.NumLinhas);
        EXPECT_EQ(id.tipo, Identificado::Tipo::Linha) << r.Codigo;
        EXPECT_EQ(id.Linha, LinhaDoRegistro(t.IndiceLinhas, r)) << r.Codigo;
        ASSERT_TRUE(imagem.valid(p.X, p.Y)) << r.Codigo;
        EXPECT_NE(imagem.pixel(p.X, p.Y) & 0xFFFFFFu, 0xFFFFFFu) << r.Codigo << " is white";
    }
    Mapa->close();
    Prepara(Estado::SemTabela);
}

} // namespace
} // namespace dorvan::teste

#include "maps/ui/TMapa.h"

#include "maps/ui/PintaMapa.h"
#include "maps/ui/TEscolheNome.h"
#include "maps/ui/TFEscala.h"
#include "platform/Arquivos.h"
#include "platform/Mensagens.h"
#include "maps/ApoioMapas.h"
#include "support/ApoioTeste.h"
#include "support/DirigeJanelas.h"
#include "table/Configuracao.h"
#include "table/TabelaTeste.h"
#include "table/ui/TEscolhe_Coluna.h"
#include "table/ui/TForm1.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QMenu>
#include <QTableWidget>
#include <QThread>
#include <QTimer>
#include <QToolButton>
#include <gtest/gtest.h>

#include <filesystem>

namespace dorvan {
namespace {

using teste::MontaTabela;
using teste::PastaTemporaria;
using teste::Quadrado;

// Two areas side by side in 0..100 × 0..50: "01" with 10 cases, "02" with 50.
struct Cenario {
    PastaTemporaria pasta;
    std::string mapa = pasta / "base.map";
    TabelaResultados t;
    Configuracao cfg;
    std::unique_ptr<TMapa> janela;

    Cenario() {
        GravaMapa(mapa, {Quadrado("01", "Norte", 0, 0, 50), Quadrado("02", "Sul", 50, 0, 50)});
        janela = std::make_unique<TMapa>(t, cfg);
        t = MontaTabela({"01 Norte", "02 Sul"}, {{"Casos", {10, 50}, 0}});
        t.DefineNomeColuna(0, "Lugar");
        t.TamCodigo = 2;
        t.NomeMapa = mapa;
        EXPECT_TRUE(PreparaMapaColuna(t, 1, EstadoEscalaAtual()));
        MontaIndiceLinhas(t);
        janela->resize(700, 600);
        janela->show();
        QApplication::processEvents();
        janela->DesenhaMapa();
    }
    // A point inside the area of (x, y) map units on the current view.
    QPoint Em(double x, double y) const {
        const PontoTela p = GeoParaTela(janela->Vista, x, y);
        return {p.X, p.Y};
    }
    QColor Cor(QPoint p) const { return janela->Imagem().pixelColor(p); }
};

TEST(TMapa, AreasArePaintedInTheirClassColourAndIdentifyTheirRow) {
    Cenario c;
    ASSERT_FALSE(c.janela->Imagem().isNull());
    ASSERT_EQ(c.janela->Imagem().width(), c.janela->Cliente->width());
    const QPoint norte = c.Em(25, 25), sul = c.Em(75, 25);
    EXPECT_EQ(c.Cor(norte), CorQt(CorDaClasse(c.t, 10)));
    EXPECT_EQ(c.Cor(sul), CorQt(CorDaClasse(c.t, 50)));
    EXPECT_EQ(ValorIdentificacao(c.janela->BitmapIdentificacao(), norte.x(), norte.y()), 1u);
    EXPECT_EQ(ValorIdentificacao(c.janela->BitmapIdentificacao(), sul.x(), sul.y()), 2u);
    // Outside the map: white, nothing to identify.
    const QPoint fora = c.Em(25, 60);
    EXPECT_EQ(c.Cor(fora), QColor(Qt::white));
    EXPECT_EQ(ValorIdentificacao(c.janela->BitmapIdentificacao(), fora.x(), fora.y()), IdentificacaoVazia);
    // The outline between the two areas is black, and with the borders off takes the fill.
    const QPoint borda = c.Em(50, 25);
    EXPECT_EQ(c.Cor(borda), QColor(Qt::black));
    c.janela->bBordaPretaClick();
    EXPECT_TRUE(c.janela->Timer1->isActive());
    c.janela->Timer1Timer();
    EXPECT_NE(c.Cor(c.Em(0, 25)), QColor(Qt::black));
    EXPECT_EQ(c.Cor(c.Em(0, 25)), CorQt(CorDaClasse(c.t, 10)));

    // The status bar follows the cursor.
    c.janela->MouseMove(sul, false);
    EXPECT_EQ(c.janela->Status[0]->text(), QStringLiteral("02 Sul"));
    EXPECT_EQ(c.janela->Status[1]->text(), QStringLiteral(" 50")); // as wide as the largest value
    c.janela->MouseMove(fora, false);
    EXPECT_EQ(c.janela->Status[0]->text(), QString());
}

TEST(TMapa, RightClicksShowTheAreaAndRecolourAClassAtOnce) {
    Cenario c;
    MensagensRoteiro roteiro;
    UsaMensagens usa(roteiro);
    c.janela->MouseDown(Qt::RightButton, c.Em(75, 25));
    EXPECT_EQ(roteiro.Textos(), (std::vector<std::string>{"Lugar\nNome: 02 Sul\nCasos:            50"}));
    roteiro.Limpa();
    c.janela->MouseDown(Qt::RightButton, c.Em(25, 60)); // outside any area: nothing
    EXPECT_TRUE(roteiro.Textos().empty());

    // The class of 10 is class 1; its box is the first one.
    const auto antes = PerguntasDoMapa().EscolheCor;
    PerguntasDoMapa().EscolheCor = [](const QColor&) { return std::optional<QColor>(QColor(1, 2, 3)); };
    const int w = c.janela->Cliente->width();
    c.janela->MouseDown(Qt::RightButton, {w - 140, 30});
    PerguntasDoMapa().EscolheCor = antes;
    EXPECT_FALSE(c.janela->Timer1->isActive());
    EXPECT_EQ(c.Cor(c.Em(25, 25)), QColor(1, 2, 3));
    EXPECT_EQ(c.Cor({w - 140, 30}), QColor(1, 2, 3));
}

TEST(TMapa, ZoomIntoOneAreaPaintsTheWindowInItsColourAndZoomOutComesBack) {
    Cenario c;
    c.janela->ZoomClick();
    EXPECT_TRUE(c.janela->ModoZoom);
    const QPoint a = c.Em(70, 30), b = c.Em(80, 20); // inside "02", no vertex in view
    c.janela->MouseDown(Qt::LeftButton, b);
    c.janela->MouseMove(a, true);
    EXPECT_TRUE(c.janela->Label1->text().startsWith(QStringLiteral("Lon. 6")) ||
                c.janela->Label1->text().startsWith(QStringLiteral("Lon. 70")));
    EXPECT_TRUE(c.janela->Label2->text().startsWith(QStringLiteral("Lat.  ")));
    c.janela->MouseUp(Qt::LeftButton, a);
    EXPECT_TRUE(c.janela->Vista.EmZoom);
    EXPECT_FALSE(c.janela->ModoZoom);
    EXPECT_EQ(c.janela->Opcoes.LinhaDoZoom, 2);
    EXPECT_TRUE(c.janela->ZoomOut->isEnabled());
    EXPECT_TRUE(c.janela->bPan->isEnabled());
    EXPECT_TRUE(c.janela->Label1->text().isEmpty());
    c.janela->DesenhaMapa();
    const QColor sul = CorQt(CorDaClasse(c.t, 50));
    EXPECT_EQ(c.Cor({5, 5}), sul);
    EXPECT_EQ(c.Cor({c.janela->Cliente->width() / 3, c.janela->Cliente->height() / 2}), sul);

    // Pan while zoomed moves the window by the drag.
    c.janela->bPanClick();
    ASSERT_TRUE(c.janela->ModoPan);
    const float minX = c.janela->Vista.JanelaZoom.MinX;
    c.janela->MouseDown(Qt::LeftButton, {200, 200});
    c.janela->MouseUp(Qt::LeftButton, {100, 200});
    EXPECT_GT(c.janela->Vista.JanelaZoom.MinX, minX);
    EXPECT_FALSE(c.janela->ModoPan);

    c.janela->ZoomOutClick();
    EXPECT_FALSE(c.janela->Vista.EmZoom);
    EXPECT_FALSE(c.janela->ZoomOut->isEnabled());
    c.janela->DesenhaMapa();
    EXPECT_EQ(c.Cor(c.Em(25, 25)), CorQt(CorDaClasse(c.t, 10)));
}

TEST(TMapa, TogglesWaitForTheTimerAndAResizeRetitles) {
    Cenario c;
    c.janela->setWindowTitle(QStringLiteral("Mapa: T : Casos"));
    c.janela->BLegendaClick();
    c.janela->bValorClick();
    EXPECT_TRUE(c.janela->Opcoes.MostraLegendas);
    EXPECT_TRUE(c.janela->Acao(QStringLiteral("MostrarValores1"))->isChecked());
    EXPECT_TRUE(c.janela->Timer1->isActive());
    EXPECT_EQ(c.janela->Timer1->interval(), 900);
    c.janela->resize(640, 500);
    QApplication::processEvents();
    const int w = c.janela->Cliente->width(), h = c.janela->Cliente->height();
    EXPECT_EQ(c.janela->windowTitle(), QStringLiteral("Mapa(%1X%2): T : Casos").arg(w).arg(h - 19));
    EXPECT_EQ(c.janela->StringGrid1->width(), 97);
}

TEST(TMapa, ABadMapLeavesTheWindowEmptyWithItsMessage) {
    Cenario c;
    CabecalhoMapa velho;
    velho.Versao = 7;
    c.t.NomeMapa = c.pasta.Grava("velho.map", BytesCabecalho(velho));
    MensagensRoteiro roteiro;
    UsaMensagens usa(roteiro);
    c.janela->DesenhaMapa();
    EXPECT_EQ(roteiro.Textos(),
              (std::vector<std::string>{c.t.NomeMapa + " n\xE3o \xE9 um arquivo de mapa do Dorvan."}));
    EXPECT_EQ(c.Cor({30, 30}), QColor(Qt::white));
}

TEST(TMapa, UnfinishedCommandsSayTheyAreNotAvailable) {
    Cenario c;
    MensagensRoteiro roteiro;
    UsaMensagens usa(roteiro);
    c.janela->Acao(QStringLiteral("Informacao1"))->trigger();
    EXPECT_EQ(roteiro.Textos(), (std::vector<std::string>{"Comando ainda n\xE3o dispon\xEDvel nesta vers\xE3o."}));
}

TEST(ComandosMapa, TableRowsFromAMapReplaceTheTable) {
    PastaTemporaria pasta;
    const std::string mapa = pasta / "Estados.map";
    GravaMapa(mapa, {Quadrado("35", "Paulista", 0, 0, 1), Quadrado("33", "Fluminense", 1, 0, 1)});
    TabelaResultados& t = TabelaAtual();
    t = MontaTabela({"x"}, {{"v", {1}, 0}});
    Configuracao cfg;
    TForm1 f(t, cfg);
    LigaComandosMapa(f);
    const auto antes = PerguntasDoMapa().AbreArquivo;
    PerguntasDoMapa().AbreArquivo = [&mapa](const std::string& titulo, const std::string&, int indice,
                                            const std::string&) {
        EXPECT_EQ(titulo, "Abrir arquivo de mapa");
        EXPECT_EQ(indice, 1);
        return mapa;
    };
    MensagensRoteiro roteiro;
    UsaMensagens usa(roteiro);
    roteiro.Responde("N");
    CriarLinhadeMAP1Click(f);
    PerguntasDoMapa().AbreArquivo = antes;
    ASSERT_FALSE(roteiro.Registros().empty());
    EXPECT_EQ(roteiro.Registros()[0].texto, "Mostrar o c\xF3"
                                            "digo da \xE1rea?");
    EXPECT_EQ(t.NumLinhas, 2);
    EXPECT_EQ(t.Rotulo(1), "Fluminense");
    EXPECT_EQ(t.NomeColuna(1), "Selecionada");
    EXPECT_EQ(t.NomeMapa, mapa);
    EXPECT_FALSE(t.MostraCodigo);
    EXPECT_EQ(cfg.DirMapas, pasta.Caminho().string() + "/");

    // A one-column table maps its column without asking and the window opens.
    ASSERT_NE(Mapa, nullptr);
    Mapa1Click(f);
    EXPECT_TRUE(Mapa->MapaAberto);
    EXPECT_EQ(t.ColunaMapa, 1);
    EXPECT_EQ(t.IndiceLinhas.Quantidade(), 2);
    EXPECT_EQ(Mapa->StringGrid1->rowCount(), 1 + t.NumClasses);
    Mapa->BSairClick();
    EXPECT_FALSE(Mapa->MapaAberto);
    EXPECT_EQ(t.IndiceLinhas.Quantidade(), 0);
    t = TabelaResultados();
}

TEST(TMapa, SelectionModeTogglesTheClickedRowsCell) {
    Cenario c;
    c.janela->ModoSelecao = true;
    c.janela->ColunaSelecao = 1;
    c.janela->MouseDown(Qt::LeftButton, c.Em(25, 25));
    EXPECT_EQ(c.t.Dado(1, 1), 0);
    c.janela->MouseDown(Qt::LeftButton, c.Em(25, 25));
    EXPECT_EQ(c.t.Dado(1, 1), 1);
    EXPECT_EQ(c.t.Dado(1, 2), 50);
    EXPECT_TRUE(c.janela->Timer1->isActive());
    c.janela->MouseDown(Qt::LeftButton, c.Em(25, 60)); // outside: nothing
    EXPECT_EQ(c.t.Dado(1, 1), 1);
}

// A stand-in for the outside GIS that writes the arguments it was given, one a line.
std::string ProgramaFalso(const PastaTemporaria& pasta) {
    std::filesystem::create_directories(pasta / "tv");
    const std::string programa =
        pasta.Grava("tv/terraview", "#!/bin/sh\nprintf '%s\\n' \"$@\" > \"" + (pasta / "tv/args.txt") + "\"\n");
    std::filesystem::permissions(programa, std::filesystem::perms::owner_all);
    return programa;
}

TEST(TMapa, TerraViewGetsTheTableTheDatabaseAndTheLayer) {
    PastaTemporaria pasta;
    ProgramaFalso(pasta);
    Configuracao cfg;
    cfg.ArquivoIni = pasta.Grava("Dorvan.ini", "[TerraView]\ninstallDirectory=" + (pasta / "tv") + "\n");
    cfg.DirTrabalho = pasta.Caminho().string() + "/";
    TabelaResultados t = MontaTabela({"35 SP"}, {{"Casos", {4}, 0}});
    TMapa j(t, cfg);
    EXPECT_FALSE(j.bTerraView->isHidden());
    t.NomeMapa = pasta / "SPmunic.map";
    pasta.Grava("sp.MDB", "");
    j.bTerraViewClick();
    std::string args;
    for (int i = 0; i < 250 && args.empty(); ++i) {
        QThread::msleep(20);
        if (std::filesystem::exists(pasta / "tv/args.txt")) args = pasta.Le("tv/args.txt");
    }
    EXPECT_EQ(args, "dorvan\n" + (pasta / "tabela.dbf") + "\n" + (pasta / "sp.MDB") + "\nmunic\n");
    EXPECT_TRUE(std::filesystem::exists(pasta / "tabela.dbf"));

    // Without the database the user is asked for it; cancel stops.
    t.NomeMapa = pasta / "RJmeso.map";
    std::filesystem::remove(pasta / "tv/args.txt");
    const auto antes = PerguntasDoMapa().AbreArquivo;
    std::string titulo;
    PerguntasDoMapa().AbreArquivo = [&titulo](const std::string& t, const std::string&, int, const std::string&) {
        titulo = t;
        return std::string();
    };
    j.bTerraViewClick();
    PerguntasDoMapa().AbreArquivo = antes;
    EXPECT_EQ(titulo, "Escolha o Banco de dados do TerraView");
    QThread::msleep(100);
    EXPECT_FALSE(std::filesystem::exists(pasta / "tv/args.txt"));
}

TEST(TMapa, TerraViewNamedButMissingSaysSoAndNoSettingHidesTheButton) {
    PastaTemporaria pasta;
    Configuracao cfg;
    cfg.ArquivoIni = pasta.Grava("Dorvan.ini", "[TerraView]\ninstallDirectory=" + (pasta / "nada") + "\n");
    TabelaResultados t;
    TMapa j(t, cfg);
    MensagensRoteiro roteiro;
    UsaMensagens usa(roteiro);
    j.bTerraViewClick();
    EXPECT_EQ(roteiro.Textos(),
              (std::vector<std::string>{"TerraView n\xE3o encontrado: " + (pasta / "nada/terraview")}));

    Configuracao semChave;
    semChave.ArquivoIni = pasta.Grava("Outro.ini", "[Opcoes]\nx=1\n");
    TMapa k(t, semChave);
    EXPECT_TRUE(k.bTerraView->isHidden());
}

TEST(ComandosMapa, ForeignMapsGoThroughTheirImporterOrEndWithTheirError) {
    PastaTemporaria pasta;
    const std::string bnd = pasta.Grava("limites.bnd", "\"_CORNERS\",2\n0,0\n1,1\n\"Serra\",4\n0,0\n1,0\n1,1\n0,0\n");
    const std::string shp = pasta.Grava("limites.shp", "x");
    TabelaResultados& t = TabelaAtual();
    t = MontaTabela({"x"}, {{"v", {1}, 0}});
    Configuracao cfg;
    TForm1 f(t, cfg);
    std::string escolhido;
    const auto antes = PerguntasDoMapa().AbreArquivo;
    PerguntasDoMapa().AbreArquivo = [&escolhido](const std::string&, const std::string&, int, const std::string&) {
        return escolhido;
    };
    MensagensRoteiro roteiro;
    UsaMensagens usa(roteiro);
    escolhido = shp;
    CriarLinhadeMAP1Click(f);
    ASSERT_EQ(roteiro.Textos().size(), 1u);
    EXPECT_NE(roteiro.Textos()[0].find("limites"), std::string::npos) << roteiro.Textos()[0];
    EXPECT_EQ(t.Rotulo(1), "x");

    // The .BND codes are made from the names: the names alone label the rows.
    roteiro.Limpa();
    escolhido = bnd;
    CriarLinhadeMAP1Click(f);
    PerguntasDoMapa().AbreArquivo = antes;
    EXPECT_TRUE(roteiro.Textos().empty());
    EXPECT_EQ(t.NumLinhas, 1);
    EXPECT_EQ(t.Rotulo(1), "Serra");
    EXPECT_EQ(t.NomeMapa, pasta / "limites.MAP");
    t = TabelaResultados();
}

TEST(ComandosMapa, AMapOpenedForATableThatWasClosedIsBuiltAgain) {
    PastaTemporaria pasta;
    const std::string mapa = pasta / "m.map";
    GravaMapa(mapa, {Quadrado("01", "A", 0, 0, 1), Quadrado("02", "B", 1, 0, 1)});
    TabelaResultados& t = TabelaAtual();
    t = MontaTabela({"01 A", "02 B"}, {{"v", {1, 2}, 0}});
    t.TamCodigo = 2;
    t.NomeMapa = mapa;
    Configuracao cfg;
    TForm1 f(t, cfg);
    LigaComandosMapa(f);
    Mapa1Click(f);
    ASSERT_TRUE(Mapa->MapaAberto);
    EXPECT_EQ(ValorIndice(t.IndiceLinhas, "02"), 2);

    // Another producer replaces the table: only "02" now, in row 1.
    ASSERT_TRUE(f.FechaTabela());
    t.AlocaLinhas(1, 1);
    t.Rotulo(1) = "02 B";
    t.TamCodigo = 2;
    AcrescentaColuna(t, "w", 0);
    t.NomeMapa = mapa;
    Mapa1Click(f);
    EXPECT_TRUE(Mapa->MapaAberto);
    EXPECT_EQ(ValorIndice(t.IndiceLinhas, "02"), 1);
    EXPECT_EQ(ValorIndice(t.IndiceLinhas, "01"), 0);
    // Opened for the current table: the next command only shows the window.
    Mapa->Opcoes.MostraValores = true;
    Mapa1Click(f);
    EXPECT_TRUE(Mapa->Opcoes.MostraValores);
    Mapa->BSairClick();
    t = TabelaResultados();
}

TEST(ComandosMapa, MappingAnotherColumnOfTheSameTableClassesItsOwnValues) {
    PastaTemporaria pasta;
    const std::string mapa = pasta / "m.map";
    GravaMapa(mapa, {Quadrado("01", "A", 0, 0, 1), Quadrado("02", "B", 1, 0, 1)});
    TabelaResultados& t = TabelaAtual();
    // Counts in the tens, then rates far above them.
    t = MontaTabela({"01 A", "02 B"}, {{"Casos", {10, 50}, 0}, {"Taxa", {900, 4000}, 0}});
    t.TamCodigo = 2;
    t.NomeMapa = mapa;
    Configuracao cfg;
    TForm1 f(t, cfg);
    LigaComandosMapa(f);
    TEscolhe_Coluna escolhe;
    Escolhe_Coluna = &escolhe;
    auto mapeia = [&](int coluna) {
        teste::QuandoModal([coluna](QWidget* w) {
            auto* c = qobject_cast<TEscolhe_Coluna*>(w);
            ASSERT_NE(c, nullptr);
            c->ListBox1->item(coluna - 1)->setSelected(true);
            c->bOK->click();
        });
        Mapa1Click(f);
        ASSERT_TRUE(Mapa->MapaAberto);
        Mapa->resize(700, 600);
        QApplication::processEvents();
        Mapa->DesenhaMapa();
    };
    auto corEm = [](double x, double y) {
        const PontoTela p = GeoParaTela(Mapa->Vista, x, y);
        return Mapa->Imagem().pixelColor(p.X, p.Y);
    };
    mapeia(1);
    EXPECT_EQ(corEm(0.5, 0.5), CorQt(CorDaClasse(t, 10)));
    const QColor primeira = corEm(0.5, 0.5), ultima = corEm(1.5, 0.5);
    Mapa->BSairClick();

    mapeia(2);
    Escolhe_Coluna = nullptr;
    EXPECT_EQ(t.ColunaMapa, 2);
    EXPECT_EQ(Mapa->windowTitle().contains(QStringLiteral("Taxa")), true);
    // Not blank: each area in a class of its own values, the smallest in the first
    // class and the largest in the last, as for the first column.
    EXPECT_NE(corEm(0.5, 0.5), QColor(Qt::white));
    EXPECT_EQ(corEm(0.5, 0.5), primeira);
    EXPECT_EQ(corEm(1.5, 0.5), ultima);
    EXPECT_EQ(Mapa->StringGrid1->item(0, 0)->text(), QStringLiteral("Taxa"));
    Mapa->BSairClick();
    t = TabelaResultados();
}

TEST(TMapa, LayerMenuIsCamadasWithTheAddItemThenASeparator) {
    TabelaResultados t;
    Configuracao cfg;
    TMapa janela(t, cfg);
    auto* menu = janela.findChild<QMenu*>(QStringLiteral("Camadas1"));
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(menu->title(), QStringLiteral("&Camadas"));
    const QList<QAction*> itens = menu->actions();
    ASSERT_GE(itens.size(), 3);
    EXPECT_EQ(itens[0]->objectName(), QStringLiteral("AdicionaCamada1"));
    EXPECT_TRUE(itens[1]->isSeparator());
    EXPECT_EQ(itens[2]->objectName(), QStringLiteral("Camada1"));
}

TEST(TMapa, ClassMenuChangesTheModeThroughTheClassDialog) {
    Cenario c;
    c.t.NumClasses = 2;
    teste::QuandoModal([](QWidget* w) { static_cast<QDialog*>(w)->accept(); });
    c.janela->Acao(QStringLiteral("IntervalosIguais1"))->trigger();
    EXPECT_TRUE(c.janela->Acao(QStringLiteral("IntervalosIguais1"))->isChecked());
    EXPECT_FALSE(c.janela->Acao(QStringLiteral("IgualFrequencia1"))->isChecked());
    EXPECT_EQ(EstadoEscalaAtual().Modo, ModoClasses::IgualValor);
    EXPECT_DOUBLE_EQ(c.t.Classe[1], 30);
    EXPECT_EQ(c.janela->StringGrid1->rowCount(), 3);
    EXPECT_EQ(c.janela->StringGrid1->item(1, 0)->text(), QString::fromUtf8("até 30"));
    EXPECT_TRUE(c.janela->Timer1->isActive());
}

} // namespace
} // namespace dorvan

namespace dorvan {
namespace {

// "Abrir/importar mapa" with a foreign map turns it into a .MAP beside it and
// reads that one as the table, without asking about codes (XY has none).
TEST(ComandosMapa, AForeignMapIsImportedThenReadAsTheTable) {
    PastaTemporaria pasta;
    const std::string xy =
        pasta.Grava("Zonas.xy", "! zonas\n!\nunidades\nNorte,0,0\n4,0\n4,4\n0,0\nSul,0,5\n4,5\n4,9\n0,5\n");
    TabelaResultados& t = TabelaAtual();
    t = TabelaResultados();
    Configuracao cfg;
    TForm1 f(t, cfg);
    LigaComandosMapa(f);
    LigaEscolheNome();
    const auto antes = PerguntasDoMapa().AbreArquivo;
    PerguntasDoMapa().AbreArquivo = [&xy](const std::string&, const std::string&, int, const std::string&) {
        return xy;
    };
    MensagensRoteiro roteiro;
    UsaMensagens usa(roteiro);
    CriarLinhadeMAP1Click(f);
    PerguntasDoMapa().AbreArquivo = antes;
    EXPECT_TRUE(roteiro.Registros().empty());
    EXPECT_EQ(t.NumLinhas, 2);
    EXPECT_EQ(MaiusculasAscii(std::filesystem::path(t.NomeMapa).filename().string()), "ZONAS.MAP");
    t = TabelaResultados();
}

} // namespace
} // namespace dorvan

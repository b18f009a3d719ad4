#include "maps/ui/ComandosCamadas.h"
#include "maps/ui/TfSetas.h"

#include "data/LeDBF32.h"
#include "maps/ui/TFEscala.h"
#include "maps/ui/TMapa.h"
#include "platform/Arquivos.h"
#include "platform/Mensagens.h"
#include "maps/ApoioMapas.h"
#include "support/ApoioTeste.h"
#include "support/DirigeJanelas.h"
#include "table/Configuracao.h"
#include "table/TabelaTeste.h"
#include "table/ui/TForm1.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <gtest/gtest.h>

#include <filesystem>

namespace dorvan {
namespace {

using teste::MontaTabela;
using teste::PastaTemporaria;
using teste::Quadrado;

// A plane map of two areas and a flow matrix between them, with the map window open.
struct Cenario {
    PastaTemporaria pasta;
    std::string mapa = pasta / "base.map";
    Configuracao cfg;
    TabelaResultados& t = TabelaAtual();
    std::unique_ptr<TForm1> f;
    PerguntasSetas antes = PerguntasDasSetas();
    PerguntasMapa antesMapa = PerguntasDoMapa();

    Cenario() {
        GravaMapa(mapa, {Quadrado("01", "Norte", 0, 0, 500), Quadrado("02", "Sul", 500, 0, 500)});
        t = MontaTabela({"01", "02"}, {{"01", {5, 3}, 0}, {"02", {2, 0}, 0}, {"Total", {7, 3}, 0}});
        t.TamCodigo = 2;
        t.NomeMapa = mapa;
        f = std::make_unique<TForm1>(t, cfg);
        LigaComandosMapa(*f);
        LigaComandosSetas(*f);
        EXPECT_TRUE(PreparaMapaColuna(t, 1, EstadoEscalaAtual()));
        MontaIndiceLinhas(t);
        Mapa->MapaAberto = true;
        Mapa->resize(700, 600);
        Mapa->show();
        QApplication::processEvents();
        Mapa->DesenhaMapa();
    }
    ~Cenario() {
        PerguntasDasSetas() = antes;
        PerguntasDoMapa() = antesMapa;
        if (Mapa) Mapa->BSairClick();
        f.reset();
        t = TabelaResultados();
    }
    void Aciona(const char* acao) { Mapa->Acao(QString::fromLatin1(acao))->trigger(); }
};

// Red pixels of the map window's picture (the flows' colour; the areas' palette has none).
int Vermelhos(const QImage& imagem) {
    int n = 0;
    for (int y = 0; y < imagem.height(); ++y)
        for (int x = 0; x < imagem.width(); ++x)
            if (imagem.pixelColor(x, y) == QColor(Qt::red)) ++n;
    return n;
}

// The flows drawn now, as figures.
std::size_t FigurasDeFluxo() {
    std::size_t n = 0;
    if (Mapa->Camadas.Setas) Mapa->Camadas.Setas(Mapa->Vista, [&n](const PrimitivaMapa&) { ++n; });
    return n;
}

TEST(TfSetas, FlowTableIsWrittenThenTheDialogPreviewsAndOkTurnsArrowsOn) {
    Cenario c;
    const std::string fluxo = c.pasta / "fluxo.dbf";
    PerguntasDasSetas().SalvaArquivo = [&](const std::string&, const std::string& filtro, int, const std::string& ini) {
        EXPECT_EQ(filtro, "Arquivo dBaseIII+|*.dbf");
        EXPECT_EQ(ini, "*.dbf");
        return fluxo;
    };
    QString numero, total, maior;
    teste::QuandoModal([&](QWidget* w) {
        auto* d = qobject_cast<QDialog*>(w);
        ASSERT_EQ(d, fSetas);
        EXPECT_TRUE(fSetas->Timer1->isActive());
        fSetas->chkDominante->setChecked(false);
        fSetas->Timer1Timer();
        numero = fSetas->lNumSetas->text();
        total = fSetas->lFluxoTotal->text();
        maior = fSetas->lMaiorFluxo->text();
        fSetas->edFluxo->setText(QStringLiteral("3"));
        fSetas->OK->click();
    });
    c.Aciona("GravarFluxo1");
    EXPECT_TRUE(std::filesystem::exists(fluxo));
    // 01→01 (internal, distance 0, left out by the minimum distance 1), 01→02 and 02→01.
    EXPECT_EQ(numero, QString::fromUtf8("Número de setas = 2"));
    EXPECT_EQ(total, QStringLiteral("Fluxo Total = 5"));
    EXPECT_EQ(maior, QStringLiteral("Maior Fluxo = 3"));
    EXPECT_TRUE(Mapa->Fluxos.MostraSetas);
    EXPECT_EQ(Mapa->Fluxos.ArquivoFluxo, fluxo);
    EXPECT_EQ(Mapa->Fluxos.FluxoMinimo, 3);
    EXPECT_FALSE(Mapa->Fluxos.Dominante);
    EXPECT_TRUE(Mapa->Opcoes.MostraSede);
    // The layer drawing reads the same choices.
    Mapa->DesenhaMapa();
    EXPECT_GT(FigurasDeFluxo(), 0u);

    // Cancel turns them off; "Retornar" too.
    teste::QuandoModal([](QWidget*) { fSetas->Cancela->click(); });
    c.Aciona("bSetas");
    EXPECT_FALSE(Mapa->Fluxos.MostraSetas);
    EXPECT_EQ(FigurasDeFluxo(), 0u);
    Mapa->Fluxos.MostraSetas = true;
    Mapa->Reinicia();
    EXPECT_FALSE(Mapa->Fluxos.MostraSetas);
}

// Leaving the map turns the flows off: the next map, its base-map swap and its
// picture draw none of the old arrows.
TEST(TfSetas, LeavingTheMapTurnsTheFlowsOffForTheNextMap) {
    Cenario c;
    const std::string fluxo = c.pasta / "fluxo.dbf";
    PerguntasDasSetas().SalvaArquivo = [&](const std::string&, const std::string&, int, const std::string&) {
        return fluxo;
    };
    teste::QuandoModal([&](QWidget*) {
        fSetas->chkDominante->setChecked(false);
        fSetas->OK->click();
    });
    c.Aciona("GravarFluxo1");
    ASSERT_TRUE(Mapa->Fluxos.MostraSetas);
    Mapa->DesenhaMapa();
    EXPECT_GT(FigurasDeFluxo(), 0u);
    EXPECT_GT(Vermelhos(Mapa->Imagem()), 0);

    Mapa->BSairClick();
    EXPECT_FALSE(Mapa->Fluxos.MostraSetas);
    Mapa->MapaAberto = true;
    Mapa->show();
    QApplication::processEvents();
    Mapa->DesenhaMapa();
    EXPECT_EQ(FigurasDeFluxo(), 0u) << "the old arrows are drawn over the new map";
    EXPECT_EQ(Vermelhos(Mapa->Imagem()), 0);
}

TEST(TfSetas, MissingFieldsShowTheMessageAndKeepTheCounts) {
    Cenario c;
    {
        dbfRecord h;
        CreateDBF(h, c.pasta / "x.dbf", {{"TIPO", 'N', 1, 0, 0}}, 0);
        CloseDBF(h);
    }
    MensagensRoteiro roteiro;
    UsaMensagens usa(roteiro);
    fSetas->edNomeDBF->setText(QString::fromStdString(c.pasta / "x.dbf"));
    fSetas->Timer1Timer();
    EXPECT_EQ(roteiro.Textos(), std::vector<std::string>{c.pasta / "x.dbf" +
                                                         " n\xE3o cont\xE9m os campos Tipo, Fluxo, Distancia ou Tot1"});
    EXPECT_EQ(fSetas->lNumSetas->text(), QString::fromUtf8("Número de setas"));
}

TEST(ComandosSetas, SelectionModeFindsOrAddsItsColumnAndTogglesOff) {
    Cenario c;
    c.Aciona("SelecionarAreas1");
    EXPECT_TRUE(Mapa->ModoSelecao);
    ASSERT_EQ(c.t.NumColunas(), 4);
    EXPECT_EQ(Mapa->ColunaSelecao, 4);
    EXPECT_TRUE(Mapa->Acao(QStringLiteral("SelecionarAreas1"))->isChecked());
    c.Aciona("SelecionarAreas1");
    EXPECT_FALSE(Mapa->ModoSelecao);
    EXPECT_FALSE(Mapa->Acao(QStringLiteral("SelecionarAreas1"))->isChecked());
    c.Aciona("SelecionarAreas1");
    EXPECT_EQ(c.t.NumColunas(), 4);
}

TEST(ComandosSetas, DistanceColumnFromTheReleasedPixel) {
    Cenario c;
    c.Aciona("GerarColunaDistancias1");
    const PontoTela p = GeoParaTela(Mapa->Vista, 250, 250);
    Mapa->MouseDown(Qt::LeftButton, {p.X, p.Y});
    Mapa->MouseUp(Qt::LeftButton, {p.X, p.Y});
    ASSERT_EQ(c.t.NumColunas(), 4);
    EXPECT_EQ(c.t.NomeColuna(4), "Distancias");
    EXPECT_NEAR(c.t.Dado(4, 1), 0, 5);   // the click lands on the label point of 01
    EXPECT_NEAR(c.t.Dado(4, 2), 500, 5); // 02 lies 500 units east
    // The mode ends with the click.
    Mapa->MouseUp(Qt::LeftButton, {p.X, p.Y});
    EXPECT_EQ(c.t.NumColunas(), 4);
}

TEST(ComandosSetas, ExportWritesTheChosenFormatAnd3DWithoutTheToolSaysSo) {
    Cenario c;
    const std::string saida = c.pasta / "base.mme";
    PerguntasDasSetas().SalvaArquivo = [&](const std::string&, const std::string& filtro, int indice,
                                           const std::string&) {
        EXPECT_EQ(filtro, "R source - polylist (r)|*.r|Epimap 2 (bnd)|*.bnd|Atlas GIS (bna)|*.bna|Map Maker "
                          "Export (mme)|*.mme");
        EXPECT_EQ(indice, 3);
        return saida;
    };
    c.Aciona("ExportarMapa1");
    EXPECT_EQ(LeArquivoInteiro(saida).substr(0, 20), "[header]\r\nobjects=2\r");

    MensagensRoteiro roteiro;
    UsaMensagens usa(roteiro);
    c.cfg.DirPrograma = c.pasta.Caminho().string() + "/";
    fSetas->parentWidget(); // still alive
    Mapa->Acao(QStringLiteral("b3D"))->trigger();
    EXPECT_EQ(roteiro.Textos(),
              std::vector<std::string>{"Zintorel n\xE3o encontrado: " + c.cfg.DirPrograma + "Zintorel.exe"});
}

} // namespace
} // namespace dorvan

// The chart window offscreen: every series kind drawn, the commands with their
// column choosers, the series and axis dialogs, point clicks, the save dialog's
// check and the pictures written (read back by outside readers).
#include "analysis/ui/ComandosGrafico.h"
#include "analysis/ui/TFChart.h"
#include "analysis/ui/TFChartAxis.h"
#include "analysis/ui/TfChartOp.h"
#include "platform/Mensagens.h"
#include "platform/Texto1252.h"
#include "support/ApoioTeste.h"
#include "support/DirigeJanelas.h"
#include "table/TabelaTeste.h"
#include "table/ui/TEscolhe_Coluna.h"
#include "table/ui/TForm1.h"

#include <QAction>
#include <QAreaSeries>
#include <QClipboard>
#include <QMimeData>
#include <QBarSeries>
#include <QCheckBox>
#include <QFileDialog>
#include <QHorizontalBarSeries>
#include <QImageReader>
#include <QLabel>
#include <QLineEdit>
#include <QLineSeries>
#include <QListWidget>
#include <QMenu>
#include <QPieSeries>
#include <QPrinter>
#include <QPushButton>
#include <QScatterSeries>
#include <QSpinBox>
#include <QSvgRenderer>
#include <QTableWidget>
#include <QTest>
#include <QToolButton>
#include <QValueAxis>
#include <cmath>
#include <filesystem>
#include <limits>
#include <gtest/gtest.h>
#include <memory>

using namespace dorvan;

namespace {

TabelaResultados Tabela() {
    TabelaResultados t = teste::MontaTabela({"11 Norte", "22 Sul", "33 Leste"},
                                            {{"Casos", {30, 10, 20}}, {"Obitos", {3, 1, 2}}, {"Raio", {1, 2, 1}}});
    t.Titulo1 = "Casos por regi\xE3o";
    return t;
}

// Answers the next column choosers in order (0-based rows, or none = cancel), recording their prompts.
void Responde(std::vector<std::vector<int>> respostas, std::shared_ptr<std::vector<std::string>> perguntas) {
    if (respostas.empty()) return;
    teste::QuandoModal([respostas, perguntas](QWidget* w) mutable {
        auto* j = qobject_cast<TEscolhe_Coluna*>(w);
        if (!j) {
            ADD_FAILURE() << "not a chooser";
            w->close();
            return;
        }
        perguntas->push_back(DeQString(j->Label1->text()));
        const std::vector<int> r = respostas.front();
        respostas.erase(respostas.begin());
        Responde(respostas, perguntas);
        j->ListBox1->clearSelection();
        for (int l : r)
            j->ListBox1->item(l)->setSelected(true);
        (r.empty() ? j->bCancela : j->bOK)->click();
    });
}

class JanelaGrafico : public ::testing::Test {
protected:
    void SetUp() override {
        janela = std::make_unique<TFChart>(tabela);
        janela->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(janela.get()));
    }
    std::vector<std::string> Lista() const {
        std::vector<std::string> r;
        for (int k = 0; k < janela->StringGrid1->rowCount(); ++k)
            r.push_back(DeQString(janela->StringGrid1->item(k, 0)->text()));
        return r;
    }
    // Distinct colours in the drawn chart: a chart with something drawn has many.
    int CoresDesenhadas() const {
        QApplication::processEvents();
        const QImage img = janela->Chart1->grab().toImage();
        QSet<QRgb> cores;
        for (int y = 0; y < img.height(); y += 3)
            for (int x = 0; x < img.width(); x += 3)
                cores.insert(img.pixel(x, y));
        return static_cast<int>(cores.size());
    }

    TabelaResultados tabela = Tabela();
    MensagensRoteiro mensagens;
    UsaMensagens usa{mensagens};
    std::unique_ptr<TFChart> janela;
};

TEST_F(JanelaGrafico, EachSeriesKindIsDrawnAndListed) {
    struct Caso {
        const char* nome;
        std::function<void(ModeloGrafico&, const TabelaResultados&)> acrescenta;
        std::function<bool(QAbstractSeries*)> confere;
        std::string lista;
    } casos[] = {
        {"linhas", [](auto& m, auto& t) { AcrescentaSeries(m, t, TipoSerie::Linha, {1}); },
         [](QAbstractSeries* s) { return qobject_cast<QLineSeries*>(s) != nullptr; }, "Casos"},
        {"barras", [](auto& m, auto& t) { AcrescentaSeries(m, t, TipoSerie::Barra, {1}); },
         [](QAbstractSeries* s) { return qobject_cast<QBarSeries*>(s) != nullptr; }, "Casos"},
        {"barras horizontais", [](auto& m, auto& t) { AcrescentaSeries(m, t, TipoSerie::BarraHorizontal, {2}); },
         [](QAbstractSeries* s) { return qobject_cast<QHorizontalBarSeries*>(s) != nullptr; }, "Obitos"},
        {"area", [](auto& m, auto& t) { AcrescentaSeries(m, t, TipoSerie::Area, {1}); },
         [](QAbstractSeries* s) { return qobject_cast<QAreaSeries*>(s) != nullptr; }, "Casos"},
        {"setor", [](auto& m, auto& t) { AcrescentaSetor(m, t, 1); },
         [](QAbstractSeries* s) {
             auto* p = qobject_cast<QPieSeries*>(s);
             return p && p->count() == 3 && p->slices()[1]->value() == 10 &&
                    p->slices()[1]->label() == QStringLiteral("10");
         },
         "Casos"},
        {"pontos", [](auto& m, auto& t) { AcrescentaPontos(m, t, 1, 2); },
         [](QAbstractSeries* s) { return qobject_cast<QScatterSeries*>(s) != nullptr; }, "Casos + Obitos"},
        {"bolhas", [](auto& m, auto& t) { AcrescentaBolhas(m, t, 1, 2, 3); },
         [](QAbstractSeries* s) { return qobject_cast<QScatterSeries*>(s) != nullptr; }, "Casos + Obitos"},
        {"setas", [](auto& m, auto& t) { AcrescentaSetas(m, t, 2, 1); },
         [](QAbstractSeries* s) { return qobject_cast<QScatterSeries*>(s) != nullptr; }, "Obitos --> Casos"},
    };
    const int vazio = CoresDesenhadas();
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.nome);
        janela->bSairClick(false);
        EXPECT_FALSE(janela->StringGrid1->isVisible());
        c.acrescenta(janela->Modelo, tabela);
        for (SerieGrafico& s : janela->Modelo.Series)
            s.Etiquetas = true;
        janela->Atualiza();
        const QList<QAbstractSeries*> series = janela->Chart1->chart()->series();
        ASSERT_EQ(series.size(), 1);
        EXPECT_TRUE(c.confere(series[0]));
        EXPECT_EQ(Lista(), std::vector<std::string>{c.lista});
        EXPECT_TRUE(janela->StringGrid1->isVisible());
        EXPECT_GT(CoresDesenhadas(), vazio + 3);
    }
}

TEST_F(JanelaGrafico, ShowTakesTheTableTitleAndHidesTheLegend) {
    EXPECT_EQ(janela->Chart1->chart()->title(), ParaQString("Casos por regi\xE3o"));
    EXPECT_FALSE(janela->cbLegenda->isChecked());
    EXPECT_FALSE(janela->Chart1->chart()->legend()->isVisible());
    janela->cbLegenda->click();
    EXPECT_TRUE(janela->Chart1->chart()->legend()->isVisible());
    janela->cb3D->click();
    EXPECT_TRUE(janela->Modelo.TresD);
}

TEST_F(JanelaGrafico, LinesAskForColumnsAndACancelAddsNothing) {
    auto perguntas = std::make_shared<std::vector<std::string>>();
    Responde({{}}, perguntas);
    janela->bLineClick();
    EXPECT_TRUE(janela->Modelo.Series.empty());
    Responde({{0, 1}}, perguntas);
    janela->bBarClick();
    EXPECT_EQ(Lista(), (std::vector<std::string>{"Casos", "Obitos"}));
    EXPECT_EQ(*perguntas, (std::vector<std::string>{"Colunas para plotar", "Colunas para plotar"}));
    EXPECT_FALSE(janela->Modelo.Inferior.Grade);
}

TEST_F(JanelaGrafico, ScatterBubblesAndArrowsAskTheirColumnsInOrder) {
    auto perguntas = std::make_shared<std::vector<std::string>>();
    Responde({{0}, {1}}, perguntas);
    janela->bScatterClick();
    Responde({{0}, {1}, {2}}, perguntas);
    janela->bBubbleClick();
    Responde({{0}, {1}}, perguntas);
    janela->bSetasClick();
    Responde({{0}, {}}, perguntas);
    janela->bSetasClick(); // cancelled: nothing
    EXPECT_EQ(*perguntas, (std::vector<std::string>{"Ordenadas", "Abcissas", "Ordenadas", "Abcissas", "Raio da bolha",
                                                    "Posi\xE7\xE3o inicial", "Posi\xE7\xE3o final",
                                                    "Posi\xE7\xE3o inicial", "Posi\xE7\xE3o final"}));
    EXPECT_EQ(Lista(), (std::vector<std::string>{"Casos + Obitos", "Casos + Obitos", "Casos --> Obitos"}));
}

TEST_F(JanelaGrafico, ClickOnAPointShowsItsRowLabel) {
    for (TipoSerie tipo : {TipoSerie::Ponto, TipoSerie::Seta, TipoSerie::Bolha}) {
        janela->bSairClick(false);
        if (tipo == TipoSerie::Ponto) AcrescentaPontos(janela->Modelo, tabela, 1, 2);
        if (tipo == TipoSerie::Seta) AcrescentaSetas(janela->Modelo, tabela, 2, 1);
        if (tipo == TipoSerie::Bolha) AcrescentaBolhas(janela->Modelo, tabela, 1, 2, 3);
        janela->Atualiza();
        QApplication::processEvents();
        QPointF onde;
        ASSERT_TRUE(janela->Chart1->PosicaoDoPonto(0, 1, onde));
        mensagens.Limpa();
        QTest::mouseClick(janela->Chart1->viewport(), Qt::LeftButton, {}, onde.toPoint());
        EXPECT_EQ(mensagens.Textos(), std::vector<std::string>{"22 Sul"});
    }
}

TEST_F(JanelaGrafico, SeriesDialogShowsTheKindsControlsAndWritesThemBack) {
    AcrescentaSeries(janela->Modelo, tabela, TipoSerie::Linha, {1});
    janela->Atualiza();
    std::string titulo;
    bool barras = true, linha = false;
    teste::QuandoModal([&](QWidget* w) {
        auto* d = dynamic_cast<TfChartOp*>(w);
        ASSERT_TRUE(d);
        titulo = DeQString(d->windowTitle());
        barras = d->RadioGroup1->isVisibleTo(d);
        linha = d->seLargLin->isVisibleTo(d);
        EXPECT_FALSE(d->RadioGroup6->isEnabled()); // no marker yet
        d->cbMarcador->click();
        EXPECT_TRUE(d->RadioGroup6->isEnabled());
        d->RadioGroup6->DefineItemIndex(1);
        d->seLargLin->setValue(5);
        d->cbDegrau->setChecked(true);
        d->RadioGroup3->DefineItemIndex(1);
        d->bOK->click();
    });
    janela->StringGrid1MouseDown(0);
    EXPECT_EQ(titulo, "S\xE9rie: Casos");
    EXPECT_FALSE(barras);
    EXPECT_TRUE(linha);
    const SerieGrafico& s = janela->Modelo.Series[0];
    EXPECT_TRUE(s.Marcador);
    EXPECT_EQ(s.FormaMarcador, EstiloMarcador::Circulo);
    EXPECT_EQ(s.LarguraLinha, 5);
    EXPECT_TRUE(s.Degraus);
    EXPECT_TRUE(s.EixoDireito);
    EXPECT_EQ(janela->Chart1->chart()->axes(Qt::Vertical).size(), 2);
}

TEST_F(JanelaGrafico, AxisDialogIsCaptionedByItsButtonAndShowsZero) {
    AcrescentaSeries(janela->Modelo, tabela, TipoSerie::Linha, {1});
    janela->Atualiza();
    std::string titulo;
    teste::QuandoModal([&](QWidget* w) {
        auto* d = dynamic_cast<TFChartAxis*>(w);
        ASSERT_TRUE(d);
        titulo = DeQString(d->windowTitle());
        EXPECT_TRUE(d->cbGrade->isChecked());
        d->cbMostraZero->setChecked(true);
        d->edTitulo->setText(QStringLiteral("Casos"));
        d->bOK->click();
    });
    janela->bEixoEsq->click();
    EXPECT_EQ(titulo, "Eixo da esquerda");
    auto* eixo = qobject_cast<QValueAxis*>(janela->Chart1->chart()->axes(Qt::Vertical).value(0));
    ASSERT_TRUE(eixo);
    EXPECT_EQ(eixo->min(), 0);
    EXPECT_GE(eixo->max(), 30);
    EXPECT_EQ(eixo->titleText(), QStringLiteral("Casos"));
}

TEST_F(JanelaGrafico, PicturesAreWrittenAsPngAndSvg) {
    teste::PastaTemporaria pasta;
    AcrescentaSeries(janela->Modelo, tabela, TipoSerie::Barra, {1, 2});
    AcrescentaBolhas(janela->Modelo, tabela, 1, 2, 3);
    janela->Atualiza();
    const QSize tamanho = janela->Chart1->size();

    const std::string png = janela->GravaImagem(pasta / "grafico.bmp");
    EXPECT_EQ(png, pasta / "grafico.png");
    QImageReader leitor(QString::fromStdString(png));
    EXPECT_EQ(leitor.format(), QByteArray("png"));
    EXPECT_EQ(leitor.size(), tamanho);
    std::string saida;
    ASSERT_EQ(teste::Executa("file -b '" + png + "'", &saida), 0);
    EXPECT_NE(
        saida.find("PNG image data, " + std::to_string(tamanho.width()) + " x " + std::to_string(tamanho.height())),
        std::string::npos)
        << saida;

    const std::string svg = janela->GravaImagem(pasta / "grafico.EMF");
    EXPECT_EQ(svg, pasta / "grafico.svg");
    EXPECT_TRUE(QSvgRenderer(QString::fromStdString(svg)).isValid());
    ASSERT_EQ(teste::Executa("xmllint --noout '" + svg + "' 2>&1", &saida), 0) << saida;
    ASSERT_EQ(teste::Executa("xmllint --xpath 'local-name(/*)' '" + svg + "'", &saida), 0);
    EXPECT_EQ(saida.substr(0, 3), "svg");
    EXPECT_EQ(janela->GravaImagem(pasta / "grafico"), "");
    EXPECT_FALSE(std::filesystem::exists(pasta / "grafico"));
}

TEST_F(JanelaGrafico, SaveDialogRefusesOtherExtensionsAndStaysOpen) {
    teste::PastaTemporaria pasta;
    AcrescentaSeries(janela->Modelo, tabela, TipoSerie::Linha, {1});
    janela->Atualiza();
    bool ficouAberto = false;
    teste::QuandoModal([&](QWidget* w) {
        auto* d = qobject_cast<QFileDialog*>(w);
        ASSERT_TRUE(d);
        d->selectFile(QString::fromStdString(pasta / "grafico.txt"));
        static_cast<QDialog*>(d)->accept();
        ficouAberto = d->isVisible();
        d->selectFile(QString::fromStdString(pasta / "grafico.bmp"));
        static_cast<QDialog*>(d)->accept();
    });
    janela->bGravaClick();
    EXPECT_TRUE(ficouAberto);
    EXPECT_EQ(mensagens.Textos(), std::vector<std::string>{"Extens\xE3o do arquivo deve ser .emf, .bmp ou .wmf"});
    EXPECT_TRUE(std::filesystem::exists(pasta / "grafico.png"));
}

TEST_F(JanelaGrafico, AnExistingPictureIsReplacedOnlyWhenConfirmed) {
    teste::PastaTemporaria pasta;
    AcrescentaSeries(janela->Modelo, tabela, TipoSerie::Linha, {1});
    janela->Atualiza();
    const std::string antigo = pasta.Grava("grafico.svg", "antigo");
    for (const char* resposta : {"N", "S"}) {
        mensagens.Responde(resposta);
        bool ficouAberto = false;
        teste::QuandoModal([&](QWidget* w) {
            auto* d = qobject_cast<QFileDialog*>(w);
            ASSERT_TRUE(d);
            d->selectFile(QString::fromStdString(pasta / "grafico.wmf"));
            static_cast<QDialog*>(d)->accept();
            ficouAberto = d->isVisible();
            if (ficouAberto) d->reject();
        });
        janela->bGravaClick();
        EXPECT_EQ(ficouAberto, std::string(resposta) == "N");
        EXPECT_EQ(pasta.Le("grafico.svg") == "antigo", std::string(resposta) == "N");
    }
    ASSERT_EQ(mensagens.Registros().size(), 2u);
    EXPECT_EQ(mensagens.Registros()[0].texto, DeUtf8(antigo) + " j\xE1 existe. Substituir?");
}

TEST_F(JanelaGrafico, BackgroundPictureFillsThePlotArea) {
    teste::PastaTemporaria pasta;
    QImage img(8, 8, QImage::Format_RGB32);
    img.fill(QColor(0, 0, 255));
    const std::string bmp = pasta / "fundo.bmp";
    ASSERT_TRUE(img.save(QString::fromStdString(bmp), "BMP"));
    AcrescentaSeries(janela->Modelo, tabela, TipoSerie::Linha, {1});
    janela->EscolheImagemFundo = [&] { return bmp; };
    janela->bImagem->click();
    EXPECT_EQ(janela->Modelo.ImagemFundo, bmp);
    EXPECT_TRUE(janela->Chart1->chart()->isPlotAreaBackgroundVisible());
    QApplication::processEvents();
    const QRectF area = janela->Chart1->chart()->plotArea();
    const QImage foto = janela->Chart1->grab().toImage();
    const QPoint dentro =
        janela->Chart1->mapFromScene(area.topLeft() + QPointF(area.width() * 0.9, area.height() * 0.9));
    EXPECT_EQ(QColor(foto.pixel(dentro)).blue(), 255);
    janela->EscolheImagemFundo = [] { return std::string(); }; // cancelled: the picture stays
    janela->bImagem->click();
    EXPECT_EQ(janela->Modelo.ImagemFundo, bmp);
}

TEST_F(JanelaGrafico, EmptyTablesAndCellsWithoutNumbersStillDraw) {
    TabelaResultados vazia = teste::MontaTabela({}, {{"Casos", {}}, {"Obitos", {}}, {"Raio", {}}});
    TabelaResultados lacunas = Tabela();
    lacunas.Dado(1, 2) = std::nan("");
    lacunas.Dado(2, 3) = std::numeric_limits<double>::infinity();
    for (const TabelaResultados* t : {&vazia, &lacunas}) {
        janela->bSairClick(false);
        for (TipoSerie tipo : {TipoSerie::Linha, TipoSerie::Barra, TipoSerie::BarraHorizontal, TipoSerie::Area})
            AcrescentaSeries(janela->Modelo, *t, tipo, {1, 2});
        AcrescentaSetor(janela->Modelo, *t, 1);
        AcrescentaPontos(janela->Modelo, *t, 1, 2);
        AcrescentaBolhas(janela->Modelo, *t, 1, 2, 3);
        AcrescentaSetas(janela->Modelo, *t, 1, 2);
        for (SerieGrafico& s : janela->Modelo.Series)
            s.Etiquetas = true;
        janela->Atualiza();
        EXPECT_EQ(janela->StringGrid1->rowCount(), 12);
        EXPECT_FALSE(janela->Chart1->grab().isNull());
    }
}

TEST_F(JanelaGrafico, CopyPutsAPictureInVectorsAndAnImageOnTheClipboard) {
    AcrescentaSeries(janela->Modelo, tabela, TipoSerie::Area, {1});
    janela->Atualiza();
    janela->bClipBoard->click();
    const QMimeData* dados = QGuiApplication::clipboard()->mimeData();
    ASSERT_TRUE(dados);
    const QByteArray svg = dados->data(QStringLiteral("image/svg+xml"));
    EXPECT_TRUE(QSvgRenderer(svg).isValid());
    EXPECT_EQ(qvariant_cast<QImage>(dados->imageData()).size(), janela->Chart1->size());
}

TEST_F(JanelaGrafico, PrintsOnALandscapePage) {
    teste::PastaTemporaria pasta;
    AcrescentaSeries(janela->Modelo, tabela, TipoSerie::Linha, {1});
    janela->Atualiza();
    QPrinter impressora;
    impressora.setOutputFormat(QPrinter::PdfFormat);
    impressora.setOutputFileName(QString::fromStdString(pasta / "grafico.pdf"));
    impressora.setPageOrientation(QPageLayout::Portrait);
    janela->Imprime(impressora);
    EXPECT_EQ(impressora.pageLayout().orientation(), QPageLayout::Portrait); // restored
    EXPECT_GT(std::filesystem::file_size(pasta / "grafico.pdf"), 500u);
}

TEST_F(JanelaGrafico, ReturnClearsTheChartAndClosesTheWindow) {
    AcrescentaSeries(janela->Modelo, tabela, TipoSerie::Barra, {1});
    janela->Atualiza();
    janela->bSair->click();
    EXPECT_TRUE(janela->Modelo.Series.empty());
    EXPECT_TRUE(janela->Chart1->chart()->series().isEmpty());
    EXPECT_EQ(janela->StringGrid1->rowCount(), 0);
    EXPECT_FALSE(janela->isVisible());
}

TEST(ComandosGrafico, MenuFollowsTheColumnCountAndCommandsReachTheWindow) {
    teste::PastaTemporaria pasta;
    TabelaResultados tabela;
    Configuracao cfg;
    cfg.DirPrograma = pasta.Caminho().string() + "/";
    cfg.ArquivoIni = pasta / "Dorvan.ini";
    MensagensRoteiro mensagens;
    UsaMensagens usa{mensagens};
    TForm1 f(tabela, cfg);
    TFChart* janela = LigaComandosGrafico(f);
    auto* menu = f.findChild<QMenu*>(QStringLiteral("Grafico1"));
    ASSERT_TRUE(menu);
    const struct {
        int colunas;
        std::vector<const char*> ligados, desligados;
    } casos[] = {
        {0, {}, {"Linhas1", "Graficovazio1", "Scater1", "Bolhas1"}},
        {1, {"Linhas1", "Setores1", "Mapa1"}, {"Scater1", "Setas1", "Bolhas1"}},
        {2, {"Scater1", "Setas1"}, {"Bolhas1"}},
        {3, {"Bolhas1"}, {}},
    };
    for (const auto& c : casos) {
        while (tabela.NumColunas() < c.colunas)
            AcrescentaColuna(tabela, "c", 0);
        emit menu->aboutToShow();
        for (const char* n : c.ligados)
            EXPECT_TRUE(f.Acao(QString::fromLatin1(n))->isEnabled()) << n << c.colunas;
        for (const char* n : c.desligados)
            EXPECT_FALSE(f.Acao(QString::fromLatin1(n))->isEnabled()) << n << c.colunas;
    }

    tabela = Tabela();
    f.HabilitaComandos();
    auto perguntas = std::make_shared<std::vector<std::string>>();
    Responde({{1}, {0}}, perguntas);
    f.Acao(QStringLiteral("Scater1"))->trigger();
    EXPECT_TRUE(janela->isVisible());
    ASSERT_EQ(janela->Modelo.Series.size(), 1u);
    EXPECT_EQ(janela->Modelo.Series[0].Titulo, "Obitos + Casos");
    f.Acao(QStringLiteral("Graficovazio1"))->trigger();
    EXPECT_TRUE(janela->Modelo.Series.empty());
    EXPECT_TRUE(janela->isVisible()); // not the window's own button: it stays
    Responde({{0}}, perguntas);
    f.Acao(QStringLiteral("bLinhas"))->trigger();
    EXPECT_EQ(janela->Modelo.Series.size(), 1u);
    EXPECT_TRUE(mensagens.Textos().empty());
}

} // namespace

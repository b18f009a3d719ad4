#pragma once
// The chart window: columns of the results table drawn as lines, bars,
// horizontal bars, areas, pies, points, bubbles and arrows, several series at
// once. The series and options live in a ModeloGrafico; the chart is drawn again
// from it after every change. Bubbles and arrows, which the chart library lacks,
// are painted over the chart at the positions of a hidden point series.
#include "analysis/Grafico.h"

#include <QChartView>
#include <QColor>
#include <QFont>
#include <QPolygonF>
#include <QWidget>
#include <functional>
#include <string>
#include <vector>

class QCheckBox;
class QLabel;
class QPrinter;
class QTableWidget;
class QToolButton;
class QAbstractSeries;

namespace dorvan {

class TfChartOp;
class TFChartAxis;

// The chart control: draws the model's own series kinds and answers point clicks.
class VistaGrafico : public QChartView {
public:
    explicit VistaGrafico(QWidget* pai = nullptr);
    // Builds a new chart from the model (the old one is freed).
    void Desenha(const ModeloGrafico& m);
    // Point (series k, point i) under a position of the view, if any point-derived one is there.
    bool PontoEm(const QPoint& posicao, std::size_t& k, std::size_t& i) const;
    // Where point i of series k is drawn, in view coordinates (false: not drawn).
    bool PosicaoDoPonto(std::size_t k, std::size_t i, QPointF& posicao) const;

    std::function<void(std::size_t serie, std::size_t ponto)> AoClicarPonto;

    // A name the view writes itself: a pie slice's beside it (on its arm), or a
    // legend entry (after its colour box), in scene coordinates.
    struct Nome {
        QString texto;
        QColor cor;
        QFont fonte;
        QRectF caixa;
        QRectF marca;
        QPolygonF arco;
    };

protected:
    void drawForeground(QPainter* p, const QRectF& area) override;
    void mousePressEvent(QMouseEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;

private:
    // Where the end of bar i of series k is drawn, in scene coordinates.
    bool PontaDaBarra(std::size_t k, std::size_t i, QPointF& ponta) const;

    // Lays the legend out for the view's size: the chart's own, or ours in columns.
    void ArrumaLegenda();
    // Sizes each pie so the names of its slices fit, and places them.
    void ArrumaPizzas();

    const ModeloGrafico* modelo_ = nullptr;
    // The chart series that positions each model series (null for pies and bars).
    std::vector<QAbstractSeries*> xy_;
    // The bar set of each bar series within its group (-1 for the other kinds).
    std::vector<int> conjunto_;
    QImage fundo_;
    std::vector<Nome> legenda_;
    std::vector<Nome> nomesFatias_;
    double larguraLegenda_ = 0;
};

class TFChart : public QWidget {
public:
    explicit TFChart(TabelaResultados& t, QWidget* pai = nullptr);
    ~TFChart() override;

    ModeloGrafico Modelo;

    // Fills the newest series from one column and lists it; shows the window.
    void CarregaSerie(std::int32_t coluna);

    void bLineClick();
    void bBarClick();
    void bBarraHorizClick();
    void bAreaClick();
    void bPieClick();
    void bScatterClick();
    void bBubbleClick();
    void bSetasClick();
    // Clears the chart; from the window's own button the window closes too.
    void bSairClick(bool doBotao = true);
    void cb3DClick();
    void cbLegendaClick();
    void bImprimeClick();
    void bZoomOutClick();
    void bClipBoardClick();
    void bGravaClick();
    void bImagemClick();
    void bEixoClick(QualEixo eixo);
    void bCorClick();
    void bTituloClick();
    void StringGrid1MouseDown(int linha);
    void Chart1ClickSeries(std::size_t serie, std::size_t ponto);

    // Writes the chart as a picture by the name's extension (SVG for metafiles, PNG
    // for bitmaps); returns the file written, or empty when the name fits no format.
    std::string GravaImagem(const std::string& arquivo);
    // Draws the chart again from Modelo and refreshes the series list.
    void Atualiza();

    // Where the window asks for files; tests replace them. Empty = cancelled.
    std::function<std::string()> EscolheArquivoSalvar;
    std::function<std::string()> EscolheImagemFundo;
    // Prints the chart on a page of the printer, landscape, filling the page.
    void Imprime(QPrinter& impressora);

    QToolButton *bLine, *bBar, *bPie, *bSair, *bScatter, *bImprime, *bZoomOut, *bClipBoard, *bGrava, *bBubble, *bArea,
        *bImagem, *bBarraHoriz, *bSetas, *bEixoEsq, *bEixoInf, *bEixoDir, *bCor, *bTitulo;
    QCheckBox* cb3D;
    QCheckBox* cbLegenda;
    QLabel* lOpcoes;
    QTableWidget* StringGrid1;
    VistaGrafico* Chart1;

protected:
    void showEvent(QShowEvent* e) override;

private:
    void FormShow();
    void AcrescentaDaTabela(TipoSerie tipo);
    void AtualizaLista();

    TabelaResultados& t_;
};

// The chart window once created (null before).
extern TFChart* FChart;

} // namespace dorvan

// What the charts and the histogram show a user at their default sizes: every class
// its own bar, labels whole, numbers in the locale's form.
#include "app/ui/ProgramaMontado.h"

#include "analysis/Grafico.h"
#include "analysis/ui/TFChart.h"
#include "maps/ui/TFEscala.h"
#include "platform/Texto1252.h"
#include "table/TabelaTeste.h"

#include <QAbstractBarSeries>
#include <QAction>
#include <QApplication>
#include <QBarCategoryAxis>
#include <QBarSet>
#include <QButtonGroup>
#include <QCheckBox>
#include <QAbstractButton>
#include <QChart>
#include <QChartView>
#include <QFontMetrics>
#include <QGraphicsScene>
#include <QGraphicsTextItem>
#include <QLegendMarker>
#include <QLineSeries>
#include <QLocale>
#include <QSpinBox>
#include <QPainter>
#include <QPrinter>
#include <QSvgGenerator>
#include <QBuffer>
#include <QXmlStreamReader>
#include <QTransform>
#include <QScreen>
#include <QTest>
#include <QWindow>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <set>

using namespace dorvan;
using namespace dorvan::teste;
using ::testing::Contains;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::Not;

namespace {

// Puts a table of one or more columns into the program, as a load does.
void PoeTabela(const std::vector<std::string>& rotulos, const std::vector<ColunaTeste>& colunas) {
    TForm1& f = Principal();
    f.Tabela().Modificada = false;
    f.FechaTabela();
    f.Tabela() = MontaTabela(rotulos, colunas);
    f.Tabela().DefineNomeColuna(0, "Lugar");
    f.Tabela().Titulo1 = "Casos por lugar";
    f.MostraTabela();
    f.Tabela().Modificada = false;
    f.HabilitaComandos();
    Msgs().textos.clear();
}

// The texts the chart shows now (axes, title, legend), drawn as on the screen.
std::vector<std::string> TextosDesenhados(QChartView* vista) {
    vista->grab(); // lays the chart out as a paint does
    QApplication::processEvents();
    vista->grab();
    std::vector<std::string> r;
    for (QGraphicsItem* i : vista->scene()->items()) {
        if (!i->isVisible()) continue;
        if (auto* texto = dynamic_cast<QGraphicsTextItem*>(i)) r.push_back(texto->toPlainText().toStdString());
        if (auto* texto = dynamic_cast<QGraphicsSimpleTextItem*>(i)) r.push_back(texto->text().toStdString());
    }
    return r;
}

// A text as it is painted: what it reads and the box it takes in the view.
struct TextoPintado {
    std::string texto;
    QRectF caixa;
};

// Every text a view paints, as the painter receives it (a text the chart shortens
// reaches the painter shortened), with where it stands. Read from an SVG rendering.
std::vector<TextoPintado> TextosPintados(QGraphicsView* vista) {
    vista->grab();
    QApplication::processEvents();
    QBuffer svg;
    svg.open(QIODevice::WriteOnly);
    QSvgGenerator g;
    g.setOutputDevice(&svg);
    g.setResolution(vista->logicalDpiX());
    g.setSize(vista->viewport()->size());
    g.setViewBox(QRect(QPoint(0, 0), vista->viewport()->size()));
    {
        QPainter p(&g);
        vista->render(&p, QRectF(), vista->viewport()->rect());
    }
    std::vector<TextoPintado> r;
    QXmlStreamReader x(svg.data());
    std::vector<QTransform> pilha{QTransform()};
    while (!x.atEnd()) {
        x.readNext();
        if (x.isStartElement()) {
            QTransform t = pilha.back();
            const QString m = x.attributes().value("transform").toString();
            if (m.startsWith("matrix(")) {
                const QStringList n = m.mid(7, m.size() - 8).split(',');
                if (n.size() == 6)
                    t = QTransform(n[0].toDouble(), n[1].toDouble(), n[2].toDouble(), n[3].toDouble(), n[4].toDouble(),
                                   n[5].toDouble()) *
                        t;
            }
            pilha.push_back(t);
            if (x.name() == QLatin1String("text")) {
                QFont f(x.attributes().value("font-family").toString());
                // The size is written in the picture's units, the view's pixels here.
                f.setPointSizeF(x.attributes().value("font-size").toDouble() * 72.0 / vista->logicalDpiY());
                const QPointF base(x.attributes().value("x").toDouble(), x.attributes().value("y").toDouble());
                const QString texto = x.readElementText(QXmlStreamReader::IncludeChildElements);
                pilha.pop_back();
                const QFontMetricsF fm(f, vista);
                const QRectF local(base.x(), base.y() - fm.ascent(), fm.horizontalAdvance(texto), fm.height());
                r.push_back({texto.toStdString(), t.mapRect(local)});
            }
        } else if (x.isEndElement()) {
            pilha.pop_back();
        }
    }
    return r;
}

bool Cortado(const std::string& s) {
    return s.find("...") != std::string::npos || s.find("\u2026") != std::string::npos;
}

// The 27 places of a national table, as their labels read in the grid.
std::vector<std::string> Lugares() {
    const char* nomes[] = {"Rond\xF4nia",
                           "Acre",
                           "Amazonas",
                           "Roraima",
                           "Par\xE1",
                           "Amap\xE1",
                           "Tocantins",
                           "Maranh\xE3o",
                           "Piau\xED",
                           "Cear\xE1",
                           "Rio Grande do Norte",
                           "Para\xED"
                           "ba",
                           "Pernambuco",
                           "Alagoas",
                           "Sergipe",
                           "Bahia",
                           "Minas Gerais",
                           "Esp\xEDrito Santo",
                           "Rio de Janeiro",
                           "S\xE3o Paulo",
                           "Paran\xE1",
                           "Santa Catarina",
                           "Rio Grande do Sul",
                           "Mato Grosso do Sul",
                           "Mato Grosso",
                           "Goi\xE1s",
                           "Distrito Federal"};
    const int codigos[] = {11, 12, 13, 14, 15, 16, 17, 21, 22, 23, 24, 25, 26, 27,
                           28, 29, 31, 32, 33, 35, 41, 42, 43, 50, 51, 52, 53};
    std::vector<std::string> r;
    for (int i = 0; i < 27; ++i)
        r.push_back(std::to_string(codigos[i]) + " " + nomes[i]);
    return r;
}

std::vector<double> Contagens(int n) {
    std::vector<double> v;
    for (int i = 0; i < n; ++i)
        v.push_back(100 + 37 * i);
    return v;
}

// A chart window with the series the command of this kind adds for column 1, shown.
TFChart& GraficoDe(TipoSerie tipo) {
    TFChart& g = *FChart;
    g.bSairClick(false);
    if (tipo == TipoSerie::Setor)
        AcrescentaSetor(g.Modelo, Principal().Tabela(), 1);
    else
        AcrescentaSeries(g.Modelo, Principal().Tabela(), tipo, {1});
    g.Atualiza();
    g.show();
    QApplication::processEvents();
    return g;
}

// The places by six age bands: six columns of 27 rows.
void PoeFaixasEtarias() {
    std::vector<ColunaTeste> colunas;
    for (const char* f : {"Menor de 1 ano", "1 a 4 anos", "5 a 14 anos", "15 a 29 anos", "30 a 49 anos",
                          "50 a 64 anos"})
        colunas.push_back({f, Contagens(27), 0});
    PoeTabela(Lugares(), colunas);
}

// The chart window at its default size with its legend on.
void MostraComLegenda(TFChart& g) {
    g.resize(600, 440);
    if (!g.cbLegenda->isChecked()) g.cbLegenda->click();
}

std::vector<std::string> Utf8(const std::vector<std::string>& ansi) {
    std::vector<std::string> r;
    for (const std::string& s : ansi)
        r.push_back(ParaQString(s).toStdString());
    return r;
}

// ---- the histogram ----

struct Histograma {
    std::vector<std::string> categorias;
    std::vector<double> contagens; // per class, the bar drawn for it
    std::vector<QPointF> acumulado;
    std::vector<std::string> textos;
};

// Opens "Histograma" over the table's first column and reads what its chart shows.
Histograma AbreHistograma() {
    Histograma h;
    bool visto = false;
    Dispara(Principal().Acao(QStringLiteral("Histograma1")), [&](QWidget* w) {
        auto* e = qobject_cast<TFEscala*>(w);
        if (!e) return;
        visto = true;
        auto* vista = static_cast<QChartView*>(e->Chart1);
        h.textos = TextosDesenhados(vista);
        for (QAbstractAxis* a : vista->chart()->axes())
            if (auto* c = qobject_cast<QBarCategoryAxis*>(a))
                for (const QString& s : c->categories())
                    h.categorias.push_back(s.toStdString());
        for (QAbstractSeries* s : vista->chart()->series()) {
            if (auto* b = qobject_cast<QAbstractBarSeries*>(s)) {
                const int n = b->barSets().isEmpty() ? 0 : static_cast<int>(b->barSets().first()->count());
                h.contagens.assign(static_cast<std::size_t>(n), 0);
                for (QBarSet* conjunto : b->barSets())
                    for (int k = 0; k < n; ++k)
                        h.contagens[static_cast<std::size_t>(k)] += conjunto->at(k);
            }
            if (auto* l = qobject_cast<QLineSeries*>(s); l && l->count() > 1) {
                const QList<QPointF> pontos = l->points();
                h.acumulado.assign(pontos.begin(), pontos.end());
            }
        }
        e->accept();
    });
    EXPECT_TRUE(visto) << "no histogram came up";
    return h;
}

// Counts of a small integer range: classes whose limits print alike keep their own bar.
TEST(Histograma, EveryClassKeepsItsBarAndPointWhateverItsPrintedLimit) {
    PoeTabela({"1", "2", "3", "4", "5", "6", "7"}, {{"Idade", {0, 1, 1, 2, 3, 3, 3}, 0}});
    Principal().Tabela().SemClasses = true;
    const Histograma h = AbreHistograma();
    ASSERT_EQ(h.contagens.size(), 5u);
    EXPECT_EQ(h.contagens, (std::vector<double>{1, 2, 0, 1, 3}));
    EXPECT_EQ(h.categorias.size(), 5u);
    std::vector<std::string> vistos;
    for (const std::string& c : h.categorias)
        vistos.push_back(QString::fromStdString(c).remove(QChar(0x200B)).trimmed().toStdString());
    EXPECT_EQ(vistos, (std::vector<std::string>{"1", "1", "2", "2", "3"}));
    ASSERT_EQ(h.acumulado.size(), 5u);
    EXPECT_DOUBLE_EQ(h.acumulado.back().x(), 4);
    EXPECT_DOUBLE_EQ(h.acumulado.back().y(), 100);
    for (const std::string& t : h.textos)
        EXPECT_FALSE(Cortado(t)) << t;

    // A constant column: five classes, all rows in the first.
    PoeTabela({"1", "2", "3"}, {{"Casos", {4, 4, 4}, 0}});
    Principal().Tabela().SemClasses = true;
    const Histograma c = AbreHistograma();
    EXPECT_EQ(c.contagens, (std::vector<double>{3, 0, 0, 0, 0}));
    EXPECT_EQ(c.categorias.size(), 5u);
}

// The limits under the bars stay whole from 7 classes on and in "Manual", where the
// limits grid takes room beside the chart.
TEST(Histograma, LimitLabelsAreWholeWithManyClassesAndInManual) {
    PoeTabela(Lugares(), {{"Taxa", Contagens(27), 2}});
    for (int n : {7, 10}) {
        Principal().Tabela().SemClasses = true;
        bool visto = false;
        std::vector<std::string> textos, manual;
        Dispara(Principal().Acao(QStringLiteral("Histograma1")), [&](QWidget* w) {
            auto* e = qobject_cast<TFEscala*>(w);
            if (!e) return;
            visto = true;
            e->SpinEdit1->setValue(n);
            textos = TextosDesenhados(static_cast<QChartView*>(e->Chart1));
            e->Modos->button(2)->click();
            manual = TextosDesenhados(static_cast<QChartView*>(e->Chart1));
            e->accept();
        });
        ASSERT_TRUE(visto);
        for (const std::string& t : textos)
            EXPECT_FALSE(Cortado(t)) << n << " classes: " << t;
        for (const std::string& t : manual)
            EXPECT_FALSE(Cortado(t)) << n << " classes, Manual: " << t;
    }
}

// The cumulative labels are drawn the same on the first show as on every later one.
TEST(Histograma, CumulativeLabelsAreWholeOnTheFirstShow) {
    PoeTabela({"1", "2", "3", "4", "5", "6", "7"}, {{"Casos", {10, 20, 30, 40, 50, 60, 70}, 0}});
    Principal().Tabela().SemClasses = true;
    QImage primeira, depois;
    Dispara(Principal().Acao(QStringLiteral("Histograma1")), [&](QWidget* w) {
        auto* e = qobject_cast<TFEscala*>(w);
        if (!e) return;
        auto* vista = static_cast<QChartView*>(e->Chart1);
        primeira = vista->grab().toImage();
        e->ContaClasses();
        QApplication::processEvents();
        depois = vista->grab().toImage();
        e->accept();
    });
    ASSERT_FALSE(primeira.isNull());
    ASSERT_EQ(primeira.size(), depois.size());
    // The cumulative line and its labels are the green of the picture.
    auto verde = [](const QImage& i, int x, int y) {
        const QColor c = i.pixelColor(x, y);
        return c.green() > c.red() + 40 && c.green() > c.blue() + 40;
    };
    int diferentes = 0, verdes = 0;
    for (int y = 0; y < primeira.height(); ++y)
        for (int x = 0; x < primeira.width(); ++x) {
            verdes += verde(depois, x, y);
            diferentes += verde(primeira, x, y) != verde(depois, x, y);
        }
    EXPECT_GT(verdes, 0);
    EXPECT_EQ(diferentes, 0) << "the first show draws other labels";
}

// Lets the dialog repaint what changed, as it does on the screen between two clicks.
void DeixaPintar(QChartView* vista) {
    QTest::qWait(50);
    vista->grab(); // a chart still to be laid out settles here, as at a paint
    QTest::qWait(50);
}

// Where the cumulative label of each point may stand: up to three lines above it, as
// wide as the widest share, kept inside the view.
std::vector<QRect> CaixasDosRotulos(QChartView* vista) {
    std::vector<QRect> r;
    const QFontMetrics fm(vista->font());
    const int largura = fm.horizontalAdvance(QStringLiteral("100.00%")) + 12;
    for (QAbstractSeries* s : vista->chart()->series()) {
        auto* linha = qobject_cast<QLineSeries*>(s);
        if (!linha || linha->count() < 2) continue;
        for (const QPointF& p : linha->points()) {
            const QPoint ponto =
                vista->mapFromScene(vista->chart()->mapToScene(vista->chart()->mapToPosition(p, linha)));
            QRect caixa(ponto.x() - largura / 2, ponto.y() - 3 * fm.height(), largura, 3 * fm.height() + 2);
            if (caixa.top() < 0) caixa.moveTop(0);
            r.push_back(caixa & vista->rect());
        }
    }
    return r;
}

// The chart as the screen shows it now, and as a paint of the whole of it draws it.
int PixelsDiferentes(const QImage& tela, const QImage& cheia, const QRect& caixa) {
    int n = 0;
    for (int y = caixa.top(); y <= caixa.bottom(); ++y)
        for (int x = caixa.left(); x <= caixa.right(); ++x)
            n += tela.pixel(x, y) != cheia.pixel(x, y);
    return n;
}

// After each change in the dialog the screen shows every cumulative label whole, where
// a fresh paint puts it: none cut by the repaint of only the bars that changed, none
// left from the layout before.
TEST(Histograma, CumulativeLabelsOnTheScreenAreWholeAfterEachChange) {
    PoeTabela(Lugares(), {{"Casos",
                           {39, 23,  37,  8,  108, 17,  84, 141, 119, 106, 88, 125, 102, 51,
                            39, 180, 330, 18, 34,  165, 75, 53,  36,  6,   6,  6,   0},
                           0}});
    Principal().Tabela().SemClasses = true;
    std::vector<std::string> falhas;
    bool visto = false;
    Dispara(Principal().Acao(QStringLiteral("Histograma1")), [&](QWidget* w) {
        auto* e = qobject_cast<TFEscala*>(w);
        if (!e) return;
        visto = true;
        auto* vista = static_cast<QChartView*>(e->Chart1);
        auto confere = [&](const std::string& passo) {
            DeixaPintar(vista);
            const QRect area(vista->mapTo(e, QPoint(0, 0)), vista->size());
            const QImage tela = e->windowHandle()
                                    ->screen()
                                    ->grabWindow(e->winId())
                                    .toImage()
                                    .copy(area)
                                    .convertToFormat(QImage::Format_RGB32);
            const QImage cheia = vista->grab().toImage().convertToFormat(QImage::Format_RGB32);
            ASSERT_EQ(tela.size(), cheia.size());
            const std::vector<QRect> caixas = CaixasDosRotulos(vista);
            if (caixas.empty()) falhas.push_back(passo + ": no cumulative line");
            for (std::size_t k = 0; k < caixas.size(); ++k)
                if (const int n = PixelsDiferentes(tela, cheia, caixas[k]))
                    falhas.push_back(passo + ": label of class " + std::to_string(k + 1) + ", " + std::to_string(n) +
                                     " pixels unlike a full paint");
        };
        e->Modos->button(static_cast<int>(ModoClasses::IgualFrequencia))->click();
        confere("equal frequency");
        e->SpinEdit1->setValue(7);
        confere("7 classes");
        e->Modos->button(static_cast<int>(ModoClasses::IgualValor))->click();
        confere("equal value");
        e->Modos->button(static_cast<int>(ModoClasses::Manual))->click();
        confere("manual");
        e->accept();
    });
    ASSERT_TRUE(visto);
    EXPECT_THAT(falhas, IsEmpty());
}

// ---- the chart window ----

// A bar chart of 27 rows at the window's default size names each bar whole.
TEST(JanelaGrafico, CategoryLabelsAreReadableAtTheDefaultSize) {
    PoeTabela(Lugares(), {{"Casos", Contagens(27), 0}});
    for (TipoSerie tipo : {TipoSerie::Barra, TipoSerie::Linha, TipoSerie::BarraHorizontal}) {
        TFChart& g = GraficoDe(tipo);
        g.resize(600, 440);
        const std::vector<std::string> textos = TextosDesenhados(g.Chart1);
        int nomes = 0;
        for (const std::string& t : textos) {
            EXPECT_FALSE(Cortado(t)) << t;
            for (const std::string& l : Utf8(Lugares()))
                if (t == l) ++nomes;
        }
        // Labels may be thinned where they cannot all stand, never cut.
        EXPECT_GE(nomes, 9) << "kind " << static_cast<int>(tipo);
    }
    FChart->bSairClick(true);
}

// The pie names its slices and its legend; the label style reaches every kind.
TEST(JanelaGrafico, PieNamesItsSlicesAndTheLabelStyleReachesBars) {
    PoeTabela({"11 Norte", "22 Sul", "33 Leste"}, {{"Casos", {30, 10, 20}, 0}});
    TFChart& g = GraficoDe(TipoSerie::Setor);
    g.cbLegenda->click();
    std::vector<std::string> legenda;
    for (QLegendMarker* m : g.Chart1->chart()->legend()->markers())
        if (m->isVisible()) legenda.push_back(m->label().toStdString());
    EXPECT_EQ(legenda, (std::vector<std::string>{"11 Norte", "22 Sul", "33 Leste"}));
    // Each name painted twice: in the legend and beside its slice.
    std::map<std::string, int> vezes;
    for (const TextoPintado& t : TextosPintados(g.Chart1))
        ++vezes[t.texto];
    for (const char* nome : {"11 Norte", "22 Sul", "33 Leste"})
        EXPECT_EQ(vezes[nome], 2) << nome;

    // Each label style draws other marks on bars and horizontal bars.
    for (TipoSerie tipo : {TipoSerie::Barra, TipoSerie::BarraHorizontal}) {
        TFChart& b = GraficoDe(tipo);
        SerieGrafico& s = b.Modelo.Series.back();
        s.Etiquetas = true;
        std::vector<QImage> imagens;
        for (EstiloEtiqueta e : {EstiloEtiqueta::Valor, EstiloEtiqueta::Descricao, EstiloEtiqueta::Percentagem}) {
            s.Etiqueta = e;
            b.Atualiza();
            imagens.push_back(b.Chart1->grab().toImage());
        }
        EXPECT_FALSE(imagens[0] == imagens[1]) << "kind " << static_cast<int>(tipo) << ": description drawn as value";
        EXPECT_FALSE(imagens[0] == imagens[2]) << "kind " << static_cast<int>(tipo) << ": percentage drawn as value";
    }
    FChart->bSairClick(true);
}

// A pie of 27 rows at the window's default size: its legend names every row, and
// every name, in the legend or beside a slice, is painted whole inside the view.
TEST(JanelaGrafico, APieOfManyRowsNamesEveryRowWholeInsideTheView) {
    PoeTabela(Lugares(), {{"Casos", Contagens(27), 0}});
    TFChart& g = GraficoDe(TipoSerie::Setor);
    MostraComLegenda(g);
    const std::vector<TextoPintado> pintados = TextosPintados(g.Chart1);
    const QRectF vista = QRectF(g.Chart1->viewport()->rect()).adjusted(-1, -1, 1, 1);
    std::map<std::string, int> vezes;
    for (const TextoPintado& t : pintados) {
        EXPECT_FALSE(Cortado(t.texto)) << t.texto;
        EXPECT_TRUE(vista.contains(t.caixa)) << t.texto << " stands outside the view";
        ++vezes[t.texto];
    }
    int aoLado = 0;
    for (const std::string& l : Utf8(Lugares())) {
        EXPECT_GE(vezes[l], 1) << l << " is not named";
        aoLado += vezes[l] > 1;
    }
    // The wider slices are named beside them too.
    EXPECT_GE(aoLado, 9);
    FChart->bSairClick(true);
}

// The legend down the right stands below the title, which keeps the chart's whole
// width: a title longer than the room beside the legend still shows whole.
TEST(JanelaGrafico, ALongTitleStaysWholeOverTheLegendDownTheRight) {
    PoeTabela(Lugares(), {{"Casos", Contagens(27), 0}});
    TFChart& g = GraficoDe(TipoSerie::Setor);
    MostraComLegenda(g);
    const std::string titulo = "\xD3" "bitos por unidade da federa\xE7\xE3o de resid\xEAncia, 2019";
    g.Modelo.Titulo = titulo;
    g.Atualiza();
    const std::vector<TextoPintado> pintados = TextosPintados(g.Chart1);
    const auto t = std::find_if(pintados.begin(), pintados.end(),
                                [&](const TextoPintado& p) { return p.texto == ParaQString(titulo).toStdString(); });
    ASSERT_TRUE(t != pintados.end()) << "the title is not shown whole";
    EXPECT_TRUE(QRectF(g.Chart1->viewport()->rect()).contains(t->caixa));
    // It is longer than the room the legend leaves beside it.
    double esquerdaLegenda = g.Chart1->viewport()->width();
    const std::vector<std::string> lugares = Utf8(Lugares());
    for (const TextoPintado& p : pintados)
        if (std::find(lugares.begin(), lugares.end(), p.texto) != lugares.end()) {
            esquerdaLegenda = std::min(esquerdaLegenda, p.caixa.left());
            EXPECT_FALSE(p.caixa.intersects(t->caixa)) << p.texto << " covers the title";
        }
    EXPECT_GT(t->caixa.right(), esquerdaLegenda);
    FChart->bSairClick(true);
}

// Bars of several columns list their names down the right; each colour box shows
// its series' colour, a gradient bar's too (not the black of a gradient's base).
TEST(JanelaGrafico, TheLegendDownTheRightShowsEachSeriesColour) {
    PoeFaixasEtarias();
    TFChart& g = *FChart;
    g.bSairClick(false);
    AcrescentaSeries(g.Modelo, Principal().Tabela(), TipoSerie::Barra, {1, 2, 3, 4, 5, 6});
    g.Modelo.Series[0].EstiloBarra = EstiloBarra::Gradiente;
    g.Atualiza();
    g.show();
    MostraComLegenda(g);
    const std::vector<TextoPintado> pintados = TextosPintados(g.Chart1);
    const QImage tela = g.Chart1->viewport()->grab().toImage();
    for (std::size_t k = 0; k < g.Modelo.Series.size(); ++k) {
        const std::string nome = g.Modelo.Series[k].Titulo;
        const auto t = std::find_if(pintados.begin(), pintados.end(),
                                    [&](const TextoPintado& p) { return p.texto == nome; });
        ASSERT_TRUE(t != pintados.end()) << nome << " is not in the legend";
        // The box stands just left of its name, a little taller than the type's x-height.
        const QPoint meio(static_cast<int>(t->caixa.left()) - 11, static_cast<int>(t->caixa.center().y()));
        const QColor visto = tela.pixelColor(meio);
        const std::uint32_t c = g.Modelo.Series[k].Cor;
        const QColor esperado(static_cast<int>(c & 0xFF), static_cast<int>((c >> 8) & 0xFF),
                              static_cast<int>((c >> 16) & 0xFF));
        EXPECT_LE(std::abs(visto.red() - esperado.red()) + std::abs(visto.green() - esperado.green()) +
                      std::abs(visto.blue() - esperado.blue()),
                  60)
            << nome << ": box " << visto.name().toStdString() << ", series " << esperado.name().toStdString();
    }
    FChart->bSairClick(true);
}

// The printed chart shows its names as the window does, at the size they have
// against the window: beside a pie's slices and in its legend, and over bars.
TEST(JanelaGrafico, APrintedChartShowsItsNamesAtTheWindowsScale) {
    PoeTabela(Lugares(), {{"Casos", Contagens(27), 0}});
    const std::string pdf = Pasta() / "grafico impresso.pdf";
    for (TipoSerie tipo : {TipoSerie::Setor, TipoSerie::Barra}) {
        SCOPED_TRACE(static_cast<int>(tipo));
        TFChart& g = GraficoDe(tipo);
        g.resize(600, 440);
        if (tipo == TipoSerie::Barra) {
            g.Modelo.Series[0].Etiquetas = true;
            g.Atualiza();
        } else if (!g.cbLegenda->isChecked()) {
            g.cbLegenda->click();
        }
        QApplication::processEvents();
        std::filesystem::remove(pdf);
        // As the print command makes it, with a file for its printer.
        QPrinter impressora(QPrinter::HighResolution);
        impressora.setOutputFormat(QPrinter::PdfFormat);
        impressora.setOutputFileName(QString::fromStdString(pdf));
        g.Imprime(impressora);
        double largura = 0, altura = 0;
        const std::vector<PalavraPDF> palavras = PalavrasPDF(pdf, &largura, &altura);
        ASSERT_GT(altura, 0);
        // The window is some 440 pixels high and its names a line of about 15.
        std::map<std::string, int> vezes;
        for (const PalavraPDF& p : palavras) {
            // Across its line, whether the text runs level or upright.
            const double grossura = std::min(p.x1 - p.x0, p.y1 - p.y0);
            EXPECT_LE(grossura, altura / 15) << "'" << p.texto << "' printed in a line " << grossura << " pt thick";
            EXPECT_TRUE(p.x0 >= 0 && p.x1 <= largura && p.y0 >= 0 && p.y1 <= altura)
                << "'" << p.texto << "' printed off the page";
            ++vezes[p.texto];
        }
        if (tipo == TipoSerie::Setor) {
            EXPECT_EQ(vezes["Gerais"], 2) << "the widest slice, named beside it and in the legend";
        } else {
            int marcas = 0;
            const std::vector<double> contagens = Contagens(27);
            for (const auto& [texto, n] : vezes) {
                std::string digitos;
                for (char ch : texto)
                    if (ch >= '0' && ch <= '9') digitos += ch;
                if (!digitos.empty() && digitos.size() + 1 >= texto.size() &&
                    std::count(contagens.begin(), contagens.end(), std::stod(digitos)))
                    marcas += n;
            }
            EXPECT_GE(marcas, 5) << "the marks over the bars";
        }
    }
    FChart->bSairClick(true);
}

// Axis numbers take the locale's form, as the labels do.
TEST(JanelaGrafico, AxisNumbersUseTheLocalesForm) {
    const QLocale antes;
    QLocale::setDefault(QLocale(QLocale::Portuguese, QLocale::Brazil));
    PoeTabela({"11 Norte", "22 Sul", "33 Leste"}, {{"Casos", {6000, 1000, 2000}, 0}});
    TFChart& g = GraficoDe(TipoSerie::Barra);
    const std::vector<std::string> textos = TextosDesenhados(g.Chart1);
    EXPECT_THAT(textos, Contains("6.000"));
    EXPECT_THAT(textos, Not(Contains("6000")));
    FChart->bSairClick(true);

    Principal().Tabela().SemClasses = true;
    const Histograma h = AbreHistograma();
    EXPECT_THAT(h.textos, Contains("100,0"));
    EXPECT_THAT(h.textos, Not(Contains("100.0")));
    QLocale::setDefault(antes);
}

} // namespace

namespace {

// The row labels a chart draws, by row, with where they stand in the view.
std::map<int, QRectF> RotulosDeLinhas(QChartView* vista) {
    vista->grab();
    QApplication::processEvents();
    vista->grab();
    const std::vector<std::string> lugares = Utf8(Lugares());
    std::map<int, QRectF> r;
    for (QGraphicsItem* i : vista->scene()->items()) {
        auto* texto = dynamic_cast<QGraphicsTextItem*>(i);
        if (!texto || !texto->isVisible()) continue;
        const auto onde = std::find(lugares.begin(), lugares.end(), texto->toPlainText().toStdString());
        if (onde != lugares.end())
            r[static_cast<int>(onde - lugares.begin())] = texto->mapRectToScene(texto->boundingRect());
    }
    return r;
}

} // namespace

// 27 rows at the default size: labels thinned at a regular step, and every row
// given a label shows it whole inside the view (none left out by the chart), also
// beside the legend of several columns down the right, which narrows the plot.
TEST(JanelaGrafico, RowLabelsAreThinnedRegularlyAndNoneLeftOut) {
    PoeFaixasEtarias();
    const struct {
        TipoSerie tipo;
        bool varias;
    } casos[] = {{TipoSerie::BarraHorizontal, false},
                 {TipoSerie::Barra, false},
                 {TipoSerie::Barra, true},
                 {TipoSerie::Linha, true}};
    for (const auto& caso : casos) {
        SCOPED_TRACE("kind " + std::to_string(static_cast<int>(caso.tipo)) + (caso.varias ? ", six columns" : ""));
        TFChart& g = GraficoDe(caso.tipo);
        if (caso.varias) {
            g.bSairClick(false);
            AcrescentaSeries(g.Modelo, Principal().Tabela(), caso.tipo, {1, 2, 3, 4, 5, 6});
            g.Modelo.Legenda = true;
            g.Atualiza();
        }
        g.resize(600, 440);
        const std::map<int, QRectF> rotulos = RotulosDeLinhas(g.Chart1);
        const std::vector<std::string> lugares = Utf8(Lugares());
        std::vector<int> dados;
        for (QAbstractAxis* a : g.Chart1->chart()->axes())
            if (auto* c = qobject_cast<QBarCategoryAxis*>(a))
                for (qsizetype i = 0; i < c->categories().size(); ++i)
                    if (std::find(lugares.begin(), lugares.end(), c->categories()[i].toStdString()) != lugares.end())
                        dados.push_back(static_cast<int>(i));
        std::vector<int> vistos;
        for (const auto& [linha, onde] : rotulos) {
            vistos.push_back(linha);
            EXPECT_TRUE(QRectF(g.Chart1->rect()).contains(onde)) << "row " << linha << " stands outside the view";
        }
        EXPECT_EQ(vistos, dados) << "rows given a label but not shown";
        ASSERT_GE(vistos.size(), 9u);
        const int passo = vistos[1] - vistos[0];
        for (std::size_t k = 1; k < vistos.size(); ++k)
            EXPECT_EQ(vistos[k] - vistos[k - 1], passo) << "thinning not regular";
        // No room left unused at either end: the first and the last shown are within a step of the ends.
        EXPECT_LE(vistos.front(), passo - 1);
        EXPECT_GE(vistos.back(), 27 - passo);
    }
    FChart->bSairClick(true);
}

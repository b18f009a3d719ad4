#include "analysis/ui/TFChart.h"

#include "analysis/ui/TFChartAxis.h"
#include "analysis/ui/TfChartOp.h"
#include "platform/ui/EixoCategorias.h"
#include "platform/ui/Janelas.h"
#include "platform/Erros.h"
#include "platform/Mensagens.h"
#include "platform/Texto1252.h"
#include "table/ui/EscolhaTabela.h"

#include <QAreaSeries>
#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QBuffer>
#include <QCategoryAxis>
#include <QChart>
#include <QCheckBox>
#include <QClipboard>
#include <QColorDialog>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QFontDialog>
#include <QGridLayout>
#include <QGraphicsLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QHorizontalBarSeries>
#include <QHorizontalPercentBarSeries>
#include <QHorizontalStackedBarSeries>
#include <QLabel>
#include <QLegend>
#include <QLegendMarker>
#include <QLocale>
#include <QLineSeries>
#include <QLogValueAxis>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPercentBarSeries>
#include <QPieSeries>
#include <QPrintDialog>
#include <QPrinter>
#include <QScatterSeries>
#include <QSet>
#include <QStackedBarSeries>
#include <QSvgGenerator>
#include <QTableWidget>
#include <QToolButton>
#include <QVBoxLayout>
#include <QValueAxis>
#include <cmath>
#include <map>

namespace dorvan {

TFChart* FChart = nullptr;

namespace {

QColor ParaQColor(std::uint32_t c) { return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF); }
std::uint32_t DeQColor(const QColor& c) {
    return static_cast<std::uint32_t>(c.red()) | static_cast<std::uint32_t>(c.green()) << 8 |
           static_cast<std::uint32_t>(c.blue()) << 16;
}

QColor CorDoPonto(const SerieGrafico& s, const PontoGrafico& p) {
    return ParaQColor(p.Cor == CorAutomatica ? s.Cor : p.Cor);
}

QStringList Textos(const std::vector<std::string>& textos) {
    QStringList r;
    for (const std::string& t : textos)
        r << ParaQString(t);
    return r;
}

// A pie slice narrower than this (degrees) holds no line of text beside it.
constexpr double AnguloMinimoRotulo = 10;

bool Finito(double x, double y) { return std::isfinite(x) && std::isfinite(y); }

// The marker of a point-derived or line series, drawn in its shape.
QImage Marcador(EstiloMarcador forma, const QColor& cor) {
    const int lado = forma == EstiloMarcador::PontoPequeno ? 3 : 9;
    QImage img(lado, lado, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(cor.darker(), 1));
    p.setBrush(cor);
    const QRectF r(0.5, 0.5, lado - 1, lado - 1);
    const QPointF c = r.center();
    switch (forma) {
    case EstiloMarcador::Retangulo:
    case EstiloMarcador::PontoPequeno:
        p.drawRect(r);
        break;
    case EstiloMarcador::Circulo:
        p.drawEllipse(r);
        break;
    case EstiloMarcador::Triangulo:
        p.drawPolygon(QPolygonF({r.bottomLeft(), r.bottomRight(), QPointF(c.x(), r.top())}));
        break;
    case EstiloMarcador::TrianguloInvertido:
        p.drawPolygon(QPolygonF({r.topLeft(), r.topRight(), QPointF(c.x(), r.bottom())}));
        break;
    case EstiloMarcador::Cruz:
        p.setPen(QPen(cor, 2));
        p.drawLine(QPointF(c.x(), r.top()), QPointF(c.x(), r.bottom()));
        p.drawLine(QPointF(r.left(), c.y()), QPointF(r.right(), c.y()));
        break;
    case EstiloMarcador::CruzDiagonal:
        p.setPen(QPen(cor, 2));
        p.drawLine(r.topLeft(), r.bottomRight());
        p.drawLine(r.topRight(), r.bottomLeft());
        break;
    case EstiloMarcador::Estrela: {
        QPolygonF estrela;
        for (int k = 0; k < 10; ++k) {
            const double raio = (k % 2 ? 0.45 : 1.0) * r.width() / 2;
            const double a = M_PI / 2 + k * M_PI / 5;
            estrela << QPointF(c.x() + raio * std::cos(a), c.y() - raio * std::sin(a));
        }
        p.drawPolygon(estrela);
        break;
    }
    case EstiloMarcador::Losango:
        p.drawPolygon(QPolygonF({QPointF(c.x(), r.top()), QPointF(r.right(), c.y()), QPointF(c.x(), r.bottom()),
                                 QPointF(r.left(), c.y())}));
        break;
    }
    return img;
}

QImage SemMarcador() {
    QImage img(1, 1, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    return img;
}

QAbstractAxis* EixoDeValores(const ModeloGrafico& m, QualEixo q) {
    const EixoGrafico& e = m.Eixo(q);
    auto faixa = FaixaEixo(m, q).value_or(std::pair<double, double>{0, 1});
    if (faixa.first == faixa.second) {
        faixa.first -= 1;
        faixa.second += 1;
    }
    if (e.Logaritmico && faixa.first > 0) {
        auto* a = new QLogValueAxis;
        a->setBase(10);
        a->setLabelFormat(QStringLiteral("%g"));
        a->setRange(faixa.first, faixa.second);
        return a;
    }
    auto* a = new QValueAxis;
    a->setRange(faixa.first, faixa.second);
    a->applyNiceNumbers();
    // Fixed ends stay where the user put them.
    if (!e.Automatico && !e.MinimoAutomatico) a->setMin(faixa.first);
    if (!e.Automatico && !e.MaximoAutomatico) a->setMax(faixa.second);
    // As many decimals as the steps between the ticks need (counts show none).
    const double passo = (a->max() - a->min()) / std::max(1, a->tickCount() - 1);
    int decimais = 0;
    for (double escala = 1; decimais < 6; ++decimais, escala *= 10)
        if (std::fabs(passo * escala - std::round(passo * escala)) < 1e-6 * std::max(1.0, passo * escala)) break;
    a->setLabelFormat(QStringLiteral("%.%1f").arg(decimais));
    return a;
}

void AplicaEixo(QAbstractAxis* a, const EixoGrafico& e) {
    if (!a) return;
    a->setGridLineVisible(e.Grade);
    a->setMinorGridLineVisible(false);
    a->setLabelsVisible(e.MostraRotulos);
    a->setReverse(e.Invertido);
    a->setTitleText(ParaQString(e.Titulo));
    a->setTitleFont(ParaQFont(e.FonteTitulo, a->titleFont()));
    a->setLabelsFont(ParaQFont(e.FonteRotulos, a->labelsFont()));
}

QAbstractBarSeries* NovasBarras(bool horizontal, MultiBarra modo) {
    switch (modo) {
    case MultiBarra::Empilhadas:
        return horizontal ? static_cast<QAbstractBarSeries*>(new QHorizontalStackedBarSeries) : new QStackedBarSeries;
    case MultiBarra::Empilhadas100:
        return horizontal ? static_cast<QAbstractBarSeries*>(new QHorizontalPercentBarSeries) : new QPercentBarSeries;
    default:
        return horizontal ? static_cast<QAbstractBarSeries*>(new QHorizontalBarSeries) : new QBarSeries;
    }
}

double Distancia(const QPointF& p, const QPointF& a, const QPointF& b) {
    const QPointF ab = b - a;
    const double l2 = QPointF::dotProduct(ab, ab);
    const double t = l2 > 0 ? std::clamp(QPointF::dotProduct(p - a, ab) / l2, 0.0, 1.0) : 0.0;
    const QPointF d = p - (a + t * ab);
    return std::hypot(d.x(), d.y());
}

// Room the legend leaves around its names: the colour box and the gaps beside it.
constexpr double LadoMarcaLegenda = 10;
constexpr double FolgaLegenda = 6;

// The font sized in the screen's pixels: the names the view writes itself then
// scale with the chart on a page or a picture of another resolution, as its own
// texts do, rather than grow to the points of that resolution.
QFont EmPixels(QFont fonte) {
    fonte.setPixelSize(QFontInfo(fonte).pixelSize());
    return fonte;
}

// The colour a legend marker shows: its fill, or its line where it has no fill.
// A gradient's own colour is black; its last stop is the series' colour.
QColor CorDaMarca(const QLegendMarker* mk) {
    const QBrush pincel = mk->brush();
    if (const QGradient* g = pincel.gradient(); g && !g->stops().isEmpty()) return g->stops().last().second;
    return pincel.style() != Qt::NoBrush ? pincel.color() : mk->pen().color();
}

// The names of a pie's slices beside it, for a pie of the given centre and radius:
// each on an arm from its slice's middle, the names of each side moved apart
// just enough not to cover one another, and kept within the room given. A name
// that still cannot stand there is left out (the legend names every slice);
// `todos` tells whether none was.
std::vector<VistaGrafico::Nome> NomesDaPizza(const std::vector<QPieSlice*>& fatias, const QPointF& centro,
                                             double raio, const QFont& fonte, const QRectF& livre, bool& todos) {
    const QFontMetricsF fm(fonte);
    const double alto = fm.height();
    struct Posto {
        QPieSlice* fatia;
        QPointF borda, cotovelo;
        double y;
    };
    std::vector<VistaGrafico::Nome> r;
    todos = true;
    for (const double lado : {1.0, -1.0}) {
        std::vector<Posto> postos;
        for (QPieSlice* f : fatias) {
            const double meio = (f->startAngle() + f->angleSpan() / 2) * M_PI / 180;
            const QPointF u(std::sin(meio), -std::cos(meio));
            if ((u.x() >= 0) != (lado > 0)) continue;
            const QPointF cotovelo = centro + u * (raio + std::max(8.0, raio * 0.1));
            postos.push_back({f, centro + u * raio, cotovelo, cotovelo.y()});
        }
        std::sort(postos.begin(), postos.end(), [](const Posto& a, const Posto& b) { return a.y < b.y; });
        // Down from the top, then back up from the bottom, a line apart.
        const double topo = livre.top() + alto / 2, fundo = livre.bottom() - alto / 2;
        for (std::size_t i = 0; i < postos.size(); ++i)
            postos[i].y = std::max(postos[i].y, i ? postos[i - 1].y + alto : topo);
        for (std::size_t i = postos.size(); i-- > 0;)
            postos[i].y = std::min(postos[i].y, i + 1 < postos.size() ? postos[i + 1].y - alto : fundo);
        for (const Posto& p : postos) {
            VistaGrafico::Nome n;
            n.texto = p.fatia->label();
            n.cor = p.fatia->color().darker(130);
            n.fonte = fonte;
            const QPointF ponta(p.cotovelo.x() + lado * 8, p.y);
            n.arco << p.borda << p.cotovelo << ponta;
            const double largura = fm.horizontalAdvance(n.texto) + 2;
            n.caixa = QRectF(lado > 0 ? ponta.x() + 2 : ponta.x() - 2 - largura, p.y - alto / 2, largura, alto);
            if (!livre.contains(n.caixa)) {
                todos = false;
                continue;
            }
            r.push_back(std::move(n));
        }
    }
    return r;
}

} // namespace

// ---- the chart control ----------------------------------------------------------------

VistaGrafico::VistaGrafico(QWidget* pai) : QChartView(new QChart, pai) {
    setObjectName(QStringLiteral("Chart1"));
    setRenderHint(QPainter::Antialiasing);
    setRubberBand(QChartView::RectangleRubberBand);
}

void VistaGrafico::Desenha(const ModeloGrafico& m) {
    modelo_ = &m;
    xy_.assign(m.Series.size(), nullptr);
    auto* c = new QChart;
    c->setAnimationOptions(QChart::NoAnimation);
    c->setTitle(ParaQString(m.Titulo));
    c->setTitleFont(ParaQFont(m.FonteTitulo, c->titleFont()));
    c->setTitleBrush(ParaQColor(m.FonteTitulo.Cor));
    c->setBackgroundBrush(ParaQColor(m.CorFundo));
    c->setBackgroundRoundness(0);
    c->setDropShadowEnabled(m.TresD);
    // Numbers on the axes in the locale's form, as the marks are.
    c->setLocalizeNumbers(true);
    c->setLocale(QLocale());
    fundo_ = m.ImagemFundo.empty() ? QImage() : QImage(QString::fromStdString(m.ImagemFundo));

    const bool comEixos =
        std::any_of(m.Series.begin(), m.Series.end(), [](const SerieGrafico& s) { return s.Tipo != TipoSerie::Setor; });
    const bool comHorizontais = std::any_of(m.Series.begin(), m.Series.end(),
                                            [](const SerieGrafico& s) { return s.Tipo == TipoSerie::BarraHorizontal; });
    QAbstractAxis* eixoX = nullptr;
    QAbstractAxis* eixoY = nullptr;
    QAbstractAxis* eixoY2 = nullptr;
    QAbstractAxis* eixoXValores = nullptr; // horizontal bars beside category series
    if (comEixos) {
        if (InferiorComTextos(m)) {
            eixoX = new QBarCategoryAxis;
            if (comHorizontais) eixoXValores = EixoDeValores(m, QualEixo::Inferior);
        } else {
            eixoX = eixoXValores = EixoDeValores(m, QualEixo::Inferior);
        }
        if (EsquerdoComTextos(m) && comHorizontais) {
            eixoY = new QBarCategoryAxis;
        } else if (EsquerdoComTextos(m)) {
            // Arrows: the row labels at the rows' heights.
            auto* a = new QCategoryAxis;
            a->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
            std::vector<std::string> textos;
            for (const SerieGrafico& s : m.Series)
                if (s.Tipo == TipoSerie::Seta) {
                    for (const PontoGrafico& p : s.Pontos)
                        textos.push_back(p.Texto);
                    break;
                }
            const QStringList rotulos = RotulosUnicos(Textos(textos));
            for (qsizetype i = 0; i < rotulos.size(); ++i)
                a->append(rotulos[i], static_cast<double>(i + 1));
            a->setRange(0.5, static_cast<double>(rotulos.size()) + 0.5);
            eixoY = a;
        } else {
            eixoY = EixoDeValores(m, QualEixo::Esquerdo);
        }
        if (std::any_of(m.Series.begin(), m.Series.end(),
                        [](const SerieGrafico& s) { return s.EixoDireito && s.Tipo != TipoSerie::Setor; }))
            eixoY2 = EixoDeValores(m, QualEixo::Direito);
        c->addAxis(eixoX, Qt::AlignBottom);
        if (eixoXValores && eixoXValores != eixoX) c->addAxis(eixoXValores, Qt::AlignBottom);
        c->addAxis(eixoY, Qt::AlignLeft);
        if (eixoY2) c->addAxis(eixoY2, Qt::AlignRight);
        AplicaEixo(eixoX, m.Inferior);
        if (eixoXValores != eixoX) AplicaEixo(eixoXValores, m.Inferior);
        AplicaEixo(eixoY, m.Esquerdo);
        AplicaEixo(eixoY2, m.Direito);
        // The row labels, fitted to the room in the fonts just chosen.
        if (auto* a = qobject_cast<QBarCategoryAxis*>(eixoX))
            MostraRotulosCategorias(c, a, Textos(TextosCategorias(m)), true);
        if (auto* a = qobject_cast<QBarCategoryAxis*>(eixoY))
            MostraRotulosCategorias(c, a, Textos(TextosCategorias(m)), false);
    }
    auto prende = [&](QAbstractSeries* a, QAbstractAxis* x, const SerieGrafico& s) {
        if (x) a->attachAxis(x);
        QAbstractAxis* y = s.EixoDireito && eixoY2 ? eixoY2 : eixoY;
        if (y) a->attachAxis(y);
    };

    // Bars of one direction and vertical axis are drawn as one group.
    std::map<std::pair<bool, bool>, QAbstractBarSeries*> barras;
    conjunto_.assign(m.Series.size(), -1);
    for (std::size_t k = 0; k < m.Series.size(); ++k) {
        const SerieGrafico& s = m.Series[k];
        const QColor cor = ParaQColor(s.Cor);
        const QString titulo = ParaQString(s.Titulo);
        switch (s.Tipo) {
        case TipoSerie::Linha: {
            auto* l = new QLineSeries;
            l->setName(titulo);
            l->setPen(QPen(cor, s.LarguraLinha));
            // Cells that hold no number leave a point out rather than break the line's range.
            for (std::size_t i = 0; i < s.Pontos.size(); ++i) {
                const PontoGrafico& p = s.Pontos[i];
                if (!Finito(p.X, p.Y)) continue;
                if (s.Degraus && i > 0 && Finito(p.X, s.Pontos[i - 1].Y)) l->append(p.X, s.Pontos[i - 1].Y);
                l->append(p.X, p.Y);
            }
            l->setMarkerSize(s.FormaMarcador == EstiloMarcador::PontoPequeno ? 3 : 9);
            l->setLightMarker(s.Marcador ? Marcador(s.FormaMarcador, cor) : QImage());
            l->setPointsVisible(s.Marcador);
            c->addSeries(l);
            prende(l, eixoX, s);
            xy_[k] = l;
            break;
        }
        case TipoSerie::Area: {
            const auto [baixo, alto] = LimitesArea(m, k);
            auto* sup = new QLineSeries;
            auto* inf = new QLineSeries;
            for (std::size_t i = 0; i < s.Pontos.size(); ++i) {
                if (!Finito(alto[i], baixo[i])) continue;
                sup->append(s.Pontos[i].X, alto[i]);
                inf->append(s.Pontos[i].X, baixo[i]);
            }
            auto* a = new QAreaSeries(sup, inf);
            // The area does not own its edges; they go with it.
            sup->setParent(a);
            inf->setParent(a);
            a->setName(titulo);
            QColor preenche = cor;
            if (s.MultiArea == MultiArea::Nenhuma) preenche.setAlpha(200);
            a->setBrush(preenche);
            a->setPen(QPen(cor.darker(), 1));
            c->addSeries(a);
            prende(a, eixoX, s);
            xy_[k] = a;
            break;
        }
        case TipoSerie::Barra:
        case TipoSerie::BarraHorizontal: {
            const bool horizontal = s.Tipo == TipoSerie::BarraHorizontal;
            QAbstractBarSeries*& grupo = barras[{horizontal, s.EixoDireito}];
            if (!grupo) {
                grupo = NovasBarras(horizontal, s.MultiBarra);
                grupo->setBarWidth(s.LarguraBarra / 100.0);
                c->addSeries(grupo);
                if (horizontal) {
                    if (eixoXValores) grupo->attachAxis(eixoXValores);
                    if (eixoY) grupo->attachAxis(eixoY);
                } else {
                    prende(grupo, eixoX, s);
                }
            }
            auto* b = new QBarSet(titulo);
            if (s.EstiloBarra == EstiloBarra::Gradiente) {
                QLinearGradient g(0, 0, 1, 0);
                g.setCoordinateMode(QGradient::ObjectBoundingMode);
                g.setColorAt(0, cor.lighter(170));
                g.setColorAt(1, cor);
                b->setBrush(g);
            } else {
                b->setColor(cor);
            }
            b->setBorderColor(cor.darker());
            for (const PontoGrafico& p : s.Pontos)
                b->append(std::isfinite(p.Y) ? p.Y : 0.0);
            conjunto_[k] = static_cast<int>(grupo->count());
            grupo->append(b);
            xy_[k] = grupo;
            break;
        }
        case TipoSerie::Setor: {
            auto* pizza = new QPieSeries;
            pizza->setName(titulo);
            // Room around the pie for the names of its slices.
            pizza->setPieSize(0.55);
            for (std::size_t i = 0; i < s.Pontos.size(); ++i) {
                const PontoGrafico& p = s.Pontos[i];
                QPieSlice* fatia = pizza->append(ParaQString(p.Texto), std::isfinite(p.Y) ? std::fabs(p.Y) : 0.0);
                fatia->setColor(ParaQColor(p.Cor == CorAutomatica ? CorDaPaleta(i) : p.Cor));
            }
            // Slices are named by their rows (the legend too), or by the marks the user
            // chose; slices too thin to hold a line of text stay unnamed on the chart.
            for (std::size_t i = 0; i < s.Pontos.size(); ++i) {
                QPieSlice* fatia = pizza->slices().at(static_cast<qsizetype>(i));
                if (s.Etiquetas) fatia->setLabel(ParaQString(TextoEtiqueta(s, i)));
                // Named by the view, where the names fit (see ArrumaPizzas).
                fatia->setLabelVisible(false);
            }
            c->addSeries(pizza);
            const QList<QLegendMarker*> marcas = c->legend()->markers(pizza);
            for (qsizetype i = 0; i < marcas.size() && i < static_cast<qsizetype>(s.Pontos.size()); ++i)
                marcas[i]->setLabel(ParaQString(s.Pontos[static_cast<std::size_t>(i)].Texto));
            xy_[k] = pizza;
            break;
        }
        case TipoSerie::Ponto:
        case TipoSerie::Bolha:
        case TipoSerie::Seta: {
            // Points show their markers; bubbles and arrows are painted over the
            // chart, and this series only places them and names them in the legend.
            auto* p = new QScatterSeries;
            p->setName(titulo);
            p->setColor(cor);
            p->setBorderColor(cor.darker());
            const bool marcadores = s.Tipo == TipoSerie::Ponto && s.Marcador;
            p->setMarkerSize(marcadores ? (s.FormaMarcador == EstiloMarcador::PontoPequeno ? 3 : 9) : 1);
            p->setLightMarker(marcadores ? Marcador(s.FormaMarcador, cor) : SemMarcador());
            for (const PontoGrafico& q : s.Pontos) {
                if (Finito(q.X, q.Y)) p->append(q.X, q.Y);
                if (s.Tipo == TipoSerie::Seta && Finito(q.XFim, q.Y)) p->append(q.XFim, q.Y);
            }
            c->addSeries(p);
            prende(p, eixoXValores ? eixoXValores : eixoX, s);
            xy_[k] = p;
            break;
        }
        }
    }
    QChart* antigo = chart();
    setChart(c);
    delete antigo;
    connect(c, &QChart::plotAreaChanged, this, [this] { ArrumaPizzas(); });
    ArrumaLegenda();
    ArrumaPizzas();
    if (!fundo_.isNull()) {
        c->setPlotAreaBackgroundVisible(true);
        auto ajusta = [c, this](const QRectF& area) {
            if (area.width() < 1 || area.height() < 1) return;
            QBrush pincel(fundo_.scaled(area.size().toSize(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
            pincel.setTransform(QTransform::fromTranslate(area.left(), area.top()));
            c->setPlotAreaBackgroundBrush(pincel);
        };
        connect(c, &QChart::plotAreaChanged, c, ajusta);
        ajusta(c->plotArea());
    }
    viewport()->update();
}

bool VistaGrafico::PosicaoDoPonto(std::size_t k, std::size_t i, QPointF& posicao) const {
    if (!modelo_ || k >= modelo_->Series.size() || k >= xy_.size() || !xy_[k]) return false;
    const SerieGrafico& s = modelo_->Series[k];
    if (i >= s.Pontos.size() || s.Tipo == TipoSerie::Setor || s.Tipo == TipoSerie::Barra ||
        s.Tipo == TipoSerie::BarraHorizontal)
        return false;
    const PontoGrafico& p = s.Pontos[i];
    double y = p.Y;
    if (s.Tipo == TipoSerie::Area) y = LimitesArea(*modelo_, k).second[i];
    const QPointF cena = chart()->mapToScene(chart()->mapToPosition(QPointF(p.X, y), xy_[k]));
    posicao = mapFromScene(cena);
    return std::isfinite(cena.x()) && std::isfinite(cena.y());
}

bool VistaGrafico::PontoEm(const QPoint& posicao, std::size_t& k, std::size_t& i) const {
    if (!modelo_) return false;
    for (std::size_t kk = modelo_->Series.size(); kk-- > 0;) {
        const SerieGrafico& s = modelo_->Series[kk];
        if (!DerivadaDePonto(s.Tipo) || kk >= xy_.size() || !xy_[kk]) continue;
        for (std::size_t ii = 0; ii < s.Pontos.size(); ++ii) {
            const PontoGrafico& p = s.Pontos[ii];
            const QPointF a = mapFromScene(chart()->mapToScene(chart()->mapToPosition(QPointF(p.X, p.Y), xy_[kk])));
            bool acerta = false;
            if (s.Tipo == TipoSerie::Seta) {
                const QPointF b =
                    mapFromScene(chart()->mapToScene(chart()->mapToPosition(QPointF(p.XFim, p.Y), xy_[kk])));
                acerta = Distancia(posicao, a, b) <= 4;
            } else if (s.Tipo == TipoSerie::Bolha) {
                const QPointF borda = mapFromScene(
                    chart()->mapToScene(chart()->mapToPosition(QPointF(p.X, p.Y + std::fabs(p.Raio)), xy_[kk])));
                acerta =
                    std::hypot(posicao.x() - a.x(), posicao.y() - a.y()) <= std::max(4.0, std::fabs(borda.y() - a.y()));
            } else {
                acerta = std::hypot(posicao.x() - a.x(), posicao.y() - a.y()) <= 6;
            }
            if (acerta) {
                k = kk;
                i = ii;
                return true;
            }
        }
    }
    return false;
}

void VistaGrafico::drawForeground(QPainter* p, const QRectF& area) {
    QChartView::drawForeground(p, area);
    if (!modelo_) return;
    QChart* c = chart();
    auto posicao = [c](double x, double y, QAbstractSeries* s) {
        return c->mapToScene(c->mapToPosition(QPointF(x, y), s));
    };
    p->save();
    p->setRenderHint(QPainter::Antialiasing);
    p->setClipRect(c->mapToScene(c->plotArea()).boundingRect());
    for (std::size_t k = 0; k < modelo_->Series.size() && k < xy_.size(); ++k) {
        const SerieGrafico& s = modelo_->Series[k];
        QAbstractSeries* serie = xy_[k];
        if (!serie) continue;
        if (s.Tipo == TipoSerie::Bolha) {
            for (const PontoGrafico& q : s.Pontos) {
                if (!Finito(q.X, q.Y) || !std::isfinite(q.Raio)) continue;
                const QPointF centro = posicao(q.X, q.Y, serie);
                const double raio = std::fabs(posicao(q.X, q.Y + std::fabs(q.Raio), serie).y() - centro.y());
                QColor cor = CorDoPonto(s, q);
                p->setPen(QPen(cor.darker(), 1));
                cor.setAlpha(190);
                p->setBrush(cor);
                if (std::isfinite(raio)) p->drawEllipse(centro, raio, raio);
            }
        } else if (s.Tipo == TipoSerie::Seta) {
            for (const PontoGrafico& q : s.Pontos) {
                if (!Finito(q.X, q.Y) || !std::isfinite(q.XFim)) continue;
                const QPointF a = posicao(q.X, q.Y, serie);
                const QPointF b = posicao(q.XFim, q.Y, serie);
                const QColor cor = CorDoPonto(s, q);
                p->setPen(QPen(cor, 2));
                p->drawLine(a, b);
                const double comprimento = std::hypot(b.x() - a.x(), b.y() - a.y());
                if (comprimento < 1) continue;
                // The head: its length and width from the series, never longer than the arrow.
                const QPointF u = (b - a) / comprimento;
                const QPointF n(-u.y(), u.x());
                const double altura = std::min(s.AlturaSeta / 2.0, comprimento);
                const double meia = s.LarguraSeta / 4.0;
                const QPointF base = b - u * altura;
                p->setBrush(cor);
                p->drawPolygon(QPolygonF({b, base + n * meia, base - n * meia}));
            }
        }
    }
    // Marks of the series the library does not label point by point. A mark that
    // would cover one already written is left out rather than make both unreadable.
    p->setClipping(false);
    p->setPen(Qt::black);
    p->setFont(EmPixels(font()));
    const QFontMetrics fm(p->font());
    std::vector<QRectF> escritas;
    for (std::size_t k = 0; k < modelo_->Series.size() && k < xy_.size(); ++k) {
        const SerieGrafico& s = modelo_->Series[k];
        if (!s.Etiquetas || !xy_[k] || s.Tipo == TipoSerie::Setor) continue;
        std::vector<double> alto;
        if (s.Tipo == TipoSerie::Area) alto = LimitesArea(*modelo_, k).second;
        for (std::size_t i = 0; i < s.Pontos.size(); ++i) {
            const PontoGrafico& q = s.Pontos[i];
            const QString texto = ParaQString(TextoEtiqueta(s, i));
            QRectF caixa(0, 0, fm.horizontalAdvance(texto) + 6, fm.height() + 2);
            if (s.Tipo == TipoSerie::Barra || s.Tipo == TipoSerie::BarraHorizontal) {
                QPointF ponta;
                if (!PontaDaBarra(k, i, ponta)) continue;
                // Beyond the bar's end: above a column, to the right of a horizontal bar.
                if (s.Tipo == TipoSerie::Barra)
                    caixa.moveCenter(ponta - QPointF(0, caixa.height() / 2 + 2));
                else
                    caixa.moveCenter(ponta + QPointF(caixa.width() / 2 + 2, 0));
            } else {
                const double x = s.Tipo == TipoSerie::Seta ? q.XFim : q.X;
                const double y = s.Tipo == TipoSerie::Area ? alto[i] : q.Y;
                if (!Finito(x, y)) continue;
                caixa.moveCenter(posicao(x, y, xy_[k]) - QPointF(0, fm.height()));
            }
            if (std::any_of(escritas.begin(), escritas.end(), [&](const QRectF& r) { return r.intersects(caixa); }))
                continue;
            escritas.push_back(caixa);
            p->setBrush(QColor(255, 255, 225));
            p->drawRect(caixa);
            p->drawText(caixa, Qt::AlignCenter, texto);
        }
    }
    // The names of the slices and, where it is ours, the legend.
    p->setBrush(Qt::NoBrush);
    for (const std::vector<Nome>* nomes : {&nomesFatias_, &legenda_})
        for (const Nome& n : *nomes) {
            if (!n.arco.isEmpty()) {
                p->setPen(QPen(n.cor, 1));
                p->drawPolyline(n.arco);
            }
            if (!n.marca.isEmpty()) {
                p->setPen(n.cor.darker());
                p->setBrush(n.cor);
                p->drawRect(n.marca);
                p->setBrush(Qt::NoBrush);
            }
            p->setPen(Qt::black);
            p->setFont(n.fonte);
            p->drawText(n.caixa, Qt::AlignLeft | Qt::AlignVCenter, n.texto);
        }
    p->restore();
}

void VistaGrafico::resizeEvent(QResizeEvent* e) {
    QChartView::resizeEvent(e);
    ArrumaLegenda();
    ArrumaPizzas();
}

// The legend stays the chart's own at the bottom while its names fit in one row
// there. More names (the rows of a pie) are listed down the right side in as many
// columns as the height asks for, in smaller type down to 7 px, each name whole.
void VistaGrafico::ArrumaLegenda() {
    legenda_.clear();
    larguraLegenda_ = 0;
    QChart* c = chart();
    QLegend* lg = c->legend();
    const QList<QLegendMarker*> marcas = lg->markers();
    const QRectF todo = c->geometry();
    QFont fonte = lg->font();
    const QFontMetricsF medida(fonte);
    double linha = 0;
    for (const QLegendMarker* mk : marcas)
        linha += medida.horizontalAdvance(mk->label()) + 30;
    const bool nossa = modelo_ && modelo_->Legenda && linha > todo.width() * 0.9;
    // Ours is drawn where the chart's own stands, empty, at the right: the chart
    // keeps that room below its title, which still spans the whole width.
    lg->setVisible(modelo_ && modelo_->Legenda);
    lg->setAlignment(nossa ? Qt::AlignRight : Qt::AlignBottom);
    for (QLegendMarker* mk : marcas)
        mk->setVisible(!nossa);
    if (!nossa) {
        lg->setMinimumWidth(0);
        lg->setMaximumWidth(QWIDGETSIZE_MAX);
        return;
    }
    // The chart places its legend below the title; ours starts there too.
    if (c->layout()) c->layout()->activate();
    const double topo = lg->geometry().height() > 0 ? lg->geometry().top() : todo.top() + 8;
    const double alto = std::max(1.0, todo.bottom() - 8 - topo);
    const auto n = static_cast<int>(marcas.size());
    for (int px = std::max(7, QFontInfo(fonte).pixelSize());; --px) {
        fonte.setPixelSize(px);
        const QFontMetricsF fm(fonte);
        const double entrada = fm.height() + 2;
        const int porColuna = std::max(1, static_cast<int>(alto / entrada));
        const int colunas = (n + porColuna - 1) / porColuna;
        double nome = 0;
        for (const QLegendMarker* mk : marcas)
            nome = std::max(nome, fm.horizontalAdvance(mk->label()) + 2);
        const double coluna = LadoMarcaLegenda + FolgaLegenda + nome + FolgaLegenda;
        const double cabe = todo.width() * 0.5;
        if (colunas * coluna > cabe && px > 7) continue;
        // At the smallest type, the columns that fit; the names past them are left out, not cut.
        const int usadas = std::min(colunas, std::max(1, static_cast<int>(cabe / coluna)));
        const int mostradas = std::min(n, usadas * porColuna);
        const int linhas = std::min(porColuna, mostradas);
        larguraLegenda_ = usadas * coluna + 8;
        const double x0 = todo.right() - larguraLegenda_;
        const double y0 = topo + (alto - linhas * entrada) / 2;
        for (int i = 0; i < mostradas; ++i) {
            const double x = x0 + (i / porColuna) * coluna;
            const double y = y0 + (i % porColuna) * entrada;
            Nome e;
            e.texto = marcas[i]->label();
            e.cor = CorDaMarca(marcas[i]);
            e.fonte = fonte;
            e.marca = QRectF(x, y + (entrada - LadoMarcaLegenda) / 2, LadoMarcaLegenda, LadoMarcaLegenda);
            e.caixa = QRectF(x + LadoMarcaLegenda + FolgaLegenda, y, nome, entrada);
            legenda_.push_back(e);
        }
        break;
    }
    const double reservada = std::max(0.0, larguraLegenda_ - c->margins().right());
    lg->setMinimumWidth(reservada);
    lg->setMaximumWidth(reservada);
}

// Each pie is made as large as lets the names of its slices stand whole beside it
// (slices too thin to hold a line stay unnamed, as does a name that would cover
// one already placed); the legend names every slice in any case.
void VistaGrafico::ArrumaPizzas() {
    nomesFatias_.clear();
    QChart* c = chart();
    const QRectF area = c->mapRectToScene(c->plotArea());
    const QRectF todo = c->geometry();
    const QRectF livre(todo.left() + 2, area.top(), todo.width() - 4 - larguraLegenda_, todo.bottom() - 2 - area.top());
    if (area.width() < 1 || area.height() < 1 || livre.width() < 1 || livre.height() < 1) return;
    for (QAbstractSeries* serie : c->series()) {
        auto* pizza = qobject_cast<QPieSeries*>(serie);
        if (!pizza || pizza->slices().isEmpty()) continue;
        const QFont fonte = EmPixels(pizza->slices().first()->labelFont());
        std::vector<QPieSlice*> nomeadas;
        for (QPieSlice* f : pizza->slices())
            if (f->angleSpan() >= AnguloMinimoRotulo) nomeadas.push_back(f);
        const QPointF centro(area.left() + area.width() * pizza->horizontalPosition(),
                             area.top() + area.height() * pizza->verticalPosition());
        const double lado = std::min(area.width(), area.height());
        // From 0.85 of the plot down to 0.3, in steps of 0.05, until every name fits.
        double tamanho = 0;
        std::vector<Nome> nomes;
        bool todos = false;
        for (int passo = 0; passo <= 11 && !todos; ++passo) {
            tamanho = 0.85 - 0.05 * passo;
            nomes = NomesDaPizza(nomeadas, centro, tamanho * lado / 2, fonte, livre, todos);
        }
        if (std::fabs(pizza->pieSize() - tamanho) > 1e-9) pizza->setPieSize(tamanho);
        nomesFatias_.insert(nomesFatias_.end(), nomes.begin(), nomes.end());
    }
    viewport()->update();
}

bool VistaGrafico::PontaDaBarra(std::size_t k, std::size_t i, QPointF& ponta) const {
    if (k >= conjunto_.size() || conjunto_[k] < 0) return false;
    auto* grupo = qobject_cast<QAbstractBarSeries*>(xy_[k]);
    if (!grupo) return false;
    const QList<QBarSet*> conjuntos = grupo->barSets();
    const auto j = static_cast<qsizetype>(conjunto_[k]);
    const auto indice = static_cast<qsizetype>(i);
    if (j >= conjuntos.size() || indice >= conjuntos[j]->count()) return false;
    const double valor = conjuntos[j]->at(indice);
    double lugar = static_cast<double>(i);
    double fim = valor;
    const bool horizontal = grupo->type() == QAbstractSeries::SeriesTypeHorizontalBar ||
                            grupo->type() == QAbstractSeries::SeriesTypeHorizontalStackedBar ||
                            grupo->type() == QAbstractSeries::SeriesTypeHorizontalPercentBar;
    switch (grupo->type()) {
    case QAbstractSeries::SeriesTypeBar:
    case QAbstractSeries::SeriesTypeHorizontalBar: {
        // Side by side: the category's width shared out among the sets in order.
        const double largura = grupo->barWidth();
        lugar += -largura / 2 + (static_cast<double>(j) + 0.5) * largura / static_cast<double>(conjuntos.size());
        break;
    }
    default: {
        // Stacked: the end of this set's piece, over the pieces of the same sign below it.
        double soma = 0, total = 0;
        for (qsizetype c = 0; c < conjuntos.size(); ++c) {
            const double v = indice < conjuntos[c]->count() ? conjuntos[c]->at(indice) : 0.0;
            total += std::fabs(v);
            if (c <= j && (v < 0) == (valor < 0)) soma += v;
        }
        fim = soma;
        if (grupo->type() == QAbstractSeries::SeriesTypePercentBar ||
            grupo->type() == QAbstractSeries::SeriesTypeHorizontalPercentBar)
            fim = total > 0 ? soma * 100 / total : 0;
        break;
    }
    }
    if (!std::isfinite(fim)) return false;
    const QPointF dominio = horizontal ? QPointF(fim, lugar) : QPointF(lugar, fim);
    ponta = chart()->mapToScene(chart()->mapToPosition(dominio, grupo));
    return std::isfinite(ponta.x()) && std::isfinite(ponta.y());
}

void VistaGrafico::mousePressEvent(QMouseEvent* e) {
    std::size_t k = 0, i = 0;
    if (e->button() == Qt::LeftButton && PontoEm(e->position().toPoint(), k, i) && AoClicarPonto) {
        AoClicarPonto(k, i);
        return;
    }
    QChartView::mousePressEvent(e);
}

// ---- the window -----------------------------------------------------------------------

TFChart::TFChart(TabelaResultados& t, QWidget* pai) : QWidget(pai, JanelaAuxiliar), t_(t) {
    setObjectName(QStringLiteral("FChart"));
    setWindowTitle(ParaQString("Gr\xE1"
                               "fico"));
    setProperty("ContextoAjuda", 34);
    resize(600, 440);

    auto* h = new QHBoxLayout(this);
    h->setContentsMargins(2, 2, 2, 2);
    Chart1 = new VistaGrafico(this);
    h->addWidget(Chart1, 1);
    auto* painel = new QWidget(this);
    painel->setObjectName(QStringLiteral("Panel1"));
    painel->setFixedWidth(100);
    auto* v = new QVBoxLayout(painel);
    v->setContentsMargins(2, 2, 2, 2);
    auto* grade = new QGridLayout;
    grade->setSpacing(1);
    int n = 0;
    auto botao = [&](const char* nome, const char* dica, const char* rotulo, auto acao) {
        auto* b = new QToolButton(painel);
        b->setObjectName(QString::fromLatin1(nome));
        b->setToolTip(ParaQString(dica));
        b->setText(ParaQString(rotulo));
        b->setAutoRaise(true);
        b->setFixedSize(46, 24);
        connect(b, &QToolButton::clicked, this, acao);
        grade->addWidget(b, n / 2, n % 2);
        ++n;
        return b;
    };
    bLine = botao("bLine", "Adiciona linhas", "Lin", [this] { bLineClick(); });
    bBar = botao("bBar", "Adiciona barras", "Bar", [this] { bBarClick(); });
    bBarraHoriz = botao("bBarraHoriz", "Adiciona barras horizontais", "BarH", [this] { bBarraHorizClick(); });
    bArea = botao("bArea", "Adiciona \xE1rea", "\xC1rea", [this] { bAreaClick(); });
    bPie = botao("bPie", "Grafico de setor", "Set", [this] { bPieClick(); });
    bScatter = botao("bScatter", "Adiciona dispers\xE3o", "Pts", [this] { bScatterClick(); });
    bBubble = botao("bBubble", "Adiciona bolhas", "Bol", [this] { bBubbleClick(); });
    bSetas = botao("bSetas", "Adiciona setas", "Set->", [this] { bSetasClick(); });
    bEixoEsq = botao("bEixoEsq", "Eixo da esquerda", "EixoE", [this] { bEixoClick(QualEixo::Esquerdo); });
    bEixoInf = botao("bEixoInf", "Eixo inferior", "EixoI", [this] { bEixoClick(QualEixo::Inferior); });
    bEixoDir = botao("bEixoDir", "Eixo da direita", "EixoD", [this] { bEixoClick(QualEixo::Direito); });
    bCor = botao("bCor", "Cor de fundo", "Cor", [this] { bCorClick(); });
    bTitulo = botao("bTitulo", "Fonte do t\xEDtulo", "T\xEDt", [this] { bTituloClick(); });
    bImagem = botao("bImagem", "Carrega imagem de fundo", "Img", [this] { bImagemClick(); });
    bZoomOut = botao("bZoomOut", "Zoom out", "Zoom", [this] { bZoomOutClick(); });
    bImprime = botao("bImprime", "Imprime", "Impr", [this] { bImprimeClick(); });
    bClipBoard = botao("bClipBoard", "Copia para clipboard", "Copia", [this] { bClipBoardClick(); });
    bGrava = botao("bGrava", "Salva em disco", "Salva", [this] { bGravaClick(); });
    bSair = botao("bSair", "Retorna", "Sair", [this] { bSairClick(true); });
    v->addLayout(grade);
    cb3D = new QCheckBox(QStringLiteral("&3D"), painel);
    cb3D->setObjectName(QStringLiteral("cb3D"));
    cbLegenda = new QCheckBox(QStringLiteral("&Legenda"), painel);
    cbLegenda->setObjectName(QStringLiteral("cbLegenda"));
    v->addWidget(cb3D);
    v->addWidget(cbLegenda);
    lOpcoes = new QLabel(ParaQString("Op\xE7\xF5"
                                     "es da s\xE9rie"),
                         painel);
    v->addWidget(lOpcoes);
    StringGrid1 = new QTableWidget(0, 1, painel);
    StringGrid1->setObjectName(QStringLiteral("StringGrid1"));
    StringGrid1->horizontalHeader()->hide();
    StringGrid1->verticalHeader()->hide();
    StringGrid1->setColumnWidth(0, 91);
    StringGrid1->verticalHeader()->setMinimumSectionSize(13);
    StringGrid1->verticalHeader()->setDefaultSectionSize(13);
    StringGrid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    StringGrid1->setSelectionMode(QAbstractItemView::SingleSelection);
    StringGrid1->setFont(QFont(StringGrid1->font().family(), 7));
    StringGrid1->hide();
    v->addWidget(StringGrid1, 1);
    h->addWidget(painel);

    connect(cb3D, &QCheckBox::clicked, this, [this] { cb3DClick(); });
    connect(cbLegenda, &QCheckBox::clicked, this, [this] { cbLegendaClick(); });
    connect(StringGrid1, &QTableWidget::cellClicked, this, [this](int linha, int) { StringGrid1MouseDown(linha); });
    Chart1->AoClicarPonto = [this](std::size_t k, std::size_t i) { Chart1ClickSeries(k, i); };

    EscolheArquivoSalvar = [this]() -> std::string {
        // A dialog that keeps itself open on a name of no known picture type.
        class DialogoImagem : public QFileDialog {
        public:
            using QFileDialog::QFileDialog;
            void accept() override {
                const QStringList nomes = selectedFiles();
                if (!nomes.isEmpty()) {
                    const std::string erro = ConfereExtensaoImagem(nomes.first().toStdString());
                    if (!erro.empty()) {
                        MensagensAtuais().Mostra(erro);
                        return;
                    }
                    // The file written may differ from the name typed, so that is the one asked about.
                    const std::string destino = ArquivoImagem(nomes.first().toStdString());
                    if (QFileInfo::exists(QString::fromStdString(destino)) &&
                        !MensagensAtuais().SimOuNao("", DeUtf8(destino) + " j\xE1 existe. Substituir?"))
                        return;
                }
                QFileDialog::accept();
            }
        };
        DialogoImagem d(this);
        d.setObjectName(QStringLiteral("SaveDialog1"));
        d.setOption(QFileDialog::DontUseNativeDialog);
        d.setOption(QFileDialog::DontConfirmOverwrite);
        d.setAcceptMode(QFileDialog::AcceptSave);
        d.setNameFilters({QStringLiteral("Enhanced Meta File (*.emf)"), QStringLiteral("Windows Meta File (*.wmf)"),
                          QStringLiteral("Windows BitMap (*.bmp)")});
        if (d.exec() != QDialog::Accepted || d.selectedFiles().isEmpty()) return {};
        return d.selectedFiles().first().toStdString();
    };
    EscolheImagemFundo = [this]() -> std::string {
        return QFileDialog::getOpenFileName(this, QStringLiteral("Escolha o arquivo bitmap"), QString(),
                                            QStringLiteral("Bitmaps (*.bmp)"))
            .toStdString();
    };

    Atualiza();
    FChart = this;
}

TFChart::~TFChart() {
    if (FChart == this) FChart = nullptr;
}

void TFChart::Atualiza() {
    Chart1->Desenha(Modelo);
    AtualizaLista();
}

void TFChart::AtualizaLista() {
    const int n = static_cast<int>(Modelo.Series.size());
    StringGrid1->setRowCount(n);
    for (int k = 0; k < n; ++k) {
        auto* item = new QTableWidgetItem(ParaQString(Modelo.Series[static_cast<std::size_t>(k)].Titulo));
        item->setForeground(ParaQColor(Modelo.Series[static_cast<std::size_t>(k)].Cor));
        item->setBackground(ParaQColor(Modelo.CorFundo));
        StringGrid1->setItem(k, 0, item);
    }
    StringGrid1->setVisible(n > 0);
}

void TFChart::showEvent(QShowEvent* e) {
    QWidget::showEvent(e);
    FormShow();
}

void TFChart::FormShow() {
    const std::string& t = t_.Titulo1;
    Modelo.Titulo = t.substr(0, t.find_first_of("\r\n"));
    cb3D->setChecked(Modelo.TresD);
    Modelo.Legenda = false;
    cbLegenda->setChecked(false);
    Atualiza();
}

void TFChart::CarregaSerie(std::int32_t coluna) {
    dorvan::CarregaSerie(Modelo, t_, coluna);
    Atualiza();
    show();
}

void TFChart::AcrescentaDaTabela(TipoSerie tipo) {
    const std::vector<std::int32_t> colunas = MarcaColunas(t_, "Colunas para plotar");
    if (AcrescentaSeries(Modelo, t_, tipo, colunas) == 0) return;
    Atualiza();
    show();
}

void TFChart::bLineClick() { AcrescentaDaTabela(TipoSerie::Linha); }
void TFChart::bBarClick() { AcrescentaDaTabela(TipoSerie::Barra); }
void TFChart::bBarraHorizClick() { AcrescentaDaTabela(TipoSerie::BarraHorizontal); }
void TFChart::bAreaClick() { AcrescentaDaTabela(TipoSerie::Area); }

void TFChart::bPieClick() {
    if (!AcrescentaSetor(Modelo, t_, EscolheColuna(t_, "Coluna para plotar"))) return;
    Atualiza();
    show();
}

void TFChart::bScatterClick() {
    // A cancelled first choice asks nothing more.
    const std::int32_t x = EscolheColuna(t_, "Ordenadas");
    if (x == 0) return;
    const std::int32_t y = EscolheColuna(t_, "Abcissas");
    if (AcrescentaPontos(Modelo, t_, x, y)) Atualiza();
}

void TFChart::bBubbleClick() {
    const std::int32_t x = EscolheColuna(t_, "Ordenadas");
    if (x == 0) return;
    const std::int32_t y = EscolheColuna(t_, "Abcissas");
    if (y == 0) return;
    const std::int32_t r = EscolheColuna(t_, "Raio da bolha");
    if (AcrescentaBolhas(Modelo, t_, x, y, r)) Atualiza();
}

void TFChart::bSetasClick() {
    const std::int32_t a = EscolheColuna(t_, "Posi\xE7\xE3o inicial");
    if (a == 0) return;
    const std::int32_t b = EscolheColuna(t_, "Posi\xE7\xE3o final");
    if (AcrescentaSetas(Modelo, t_, a, b)) Atualiza();
}

void TFChart::bSairClick(bool doBotao) {
    LimpaGrafico(Modelo);
    Atualiza();
    if (doBotao) close();
}

void TFChart::cb3DClick() {
    Define3D(Modelo, cb3D->isChecked());
    Atualiza();
}

void TFChart::cbLegendaClick() {
    Modelo.Legenda = cbLegenda->isChecked();
    Atualiza();
}

void TFChart::Imprime(QPrinter& impressora) {
    const QPageLayout::Orientation antes = impressora.pageLayout().orientation();
    impressora.setPageOrientation(QPageLayout::Landscape);
    {
        QPainter p(&impressora);
        const QRectF pagina = impressora.pageLayout().paintRectPixels(impressora.resolution());
        Chart1->render(&p, QRectF(QPointF(0, 0), pagina.size()), Chart1->viewport()->rect());
    }
    impressora.setPageOrientation(antes);
}

void TFChart::bImprimeClick() {
    QPrinter impressora(QPrinter::HighResolution);
    impressora.setPageOrientation(QPageLayout::Landscape);
    QPrintDialog d(&impressora, this);
    if (d.exec() != QDialog::Accepted) return;
    Imprime(impressora);
}

void TFChart::bZoomOutClick() { Chart1->chart()->zoomReset(); }

void TFChart::bClipBoardClick() {
    QByteArray svg;
    {
        QBuffer buffer(&svg);
        buffer.open(QIODevice::WriteOnly);
        QSvgGenerator g;
        g.setOutputDevice(&buffer);
        g.setSize(Chart1->size());
        g.setViewBox(QRect(QPoint(0, 0), Chart1->size()));
        QPainter p(&g);
        Chart1->render(&p);
    }
    auto* dados = new QMimeData;
    dados->setData(QStringLiteral("image/svg+xml"), svg);
    dados->setImageData(Chart1->grab().toImage());
    QGuiApplication::clipboard()->setMimeData(dados);
}

std::string TFChart::GravaImagem(const std::string& arquivo) {
    const std::string destino = ArquivoImagem(arquivo);
    if (destino.empty()) return {};
    const QString nome = QString::fromStdString(destino);
    if (FormatoPorNome(arquivo) == FormatoImagem::Bitmap) {
        if (!Chart1->grab().toImage().save(nome, "PNG")) throw ErroES(destino, "Erro de grava\xE7\xE3o");
        return destino;
    }
    {
        QSvgGenerator g;
        g.setFileName(nome);
        g.setSize(Chart1->size());
        g.setViewBox(QRect(QPoint(0, 0), Chart1->size()));
        g.setTitle(ParaQString(Modelo.Titulo));
        QPainter p;
        if (!p.begin(&g)) throw ErroES(destino, "Erro de grava\xE7\xE3o");
        Chart1->render(&p);
    }
    if (QFileInfo(nome).size() <= 0) throw ErroES(destino, "Erro de grava\xE7\xE3o");
    return destino;
}

void TFChart::bGravaClick() {
    const std::string arquivo = EscolheArquivoSalvar ? EscolheArquivoSalvar() : std::string();
    if (arquivo.empty()) return;
    GravaImagem(arquivo);
}

void TFChart::bImagemClick() {
    const std::string arquivo = EscolheImagemFundo ? EscolheImagemFundo() : std::string();
    if (!arquivo.empty()) Modelo.ImagemFundo = arquivo;
    Atualiza();
}

void TFChart::bEixoClick(QualEixo eixo) {
    TFChartAxis d(this);
    d.setWindowTitle(ParaQString(NomeEixo(eixo)));
    d.Mostra(OpcoesDoEixo(Modelo.Eixo(eixo)));
    if (d.exec() != QDialog::Accepted) return;
    AplicaOpcoesEixo(Modelo, eixo, d.Opcoes());
    Atualiza();
}

void TFChart::bCorClick() {
    const QColor c = QColorDialog::getColor(ParaQColor(Modelo.CorFundo), this);
    if (!c.isValid()) return;
    Modelo.CorFundo = DeQColor(c);
    Atualiza();
}

void TFChart::bTituloClick() {
    bool ok = false;
    const QFont f = QFontDialog::getFont(&ok, ParaQFont(Modelo.FonteTitulo, Chart1->chart()->titleFont()), this);
    if (!ok) return;
    const std::string& t = t_.Titulo1;
    Modelo.Titulo = t.substr(0, t.find_first_of("\r\n"));
    const std::uint32_t cor = Modelo.FonteTitulo.Cor;
    Modelo.FonteTitulo = DeQFont(f);
    Modelo.FonteTitulo.Cor = cor;
    Atualiza();
}

void TFChart::StringGrid1MouseDown(int linha) {
    if (Modelo.Series.empty() || linha < 0 || linha >= static_cast<int>(Modelo.Series.size())) return;
    SerieGrafico& s = Modelo.Series[static_cast<std::size_t>(linha)];
    TfChartOp d(this);
    d.setWindowTitle(ParaQString(TituloDialogoSerie(s)));
    d.Mostra(OpcoesDaSerie(s), ControlesDaSerie(s.Tipo));
    if (d.exec() != QDialog::Accepted) return;
    AplicaOpcoesSerie(Modelo, static_cast<std::size_t>(linha), d.Opcoes());
    Atualiza();
}

void TFChart::Chart1ClickSeries(std::size_t serie, std::size_t ponto) {
    if (serie >= Modelo.Series.size() || ponto >= Modelo.Series[serie].Pontos.size()) return;
    if (!DerivadaDePonto(Modelo.Series[serie].Tipo)) return;
    MensagensAtuais().Mostra(Modelo.Series[serie].Pontos[ponto].Texto);
}

} // namespace dorvan

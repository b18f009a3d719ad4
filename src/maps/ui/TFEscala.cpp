#include "maps/ui/TFEscala.h"

#include "platform/Mensagens.h"
#include "platform/Texto1252.h"
#include "platform/ui/EixoCategorias.h"
#include "table/ui/TEscolhe_Coluna.h"
#include "table/ui/TForm1.h"

#include <QBarCategoryAxis>
#include <QBarSet>
#include <QButtonGroup>
#include <QChart>
#include <QChartView>
#include <QFont>
#include <QFontMetricsF>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QLineSeries>
#include <QLocale>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QStackedBarSeries>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>
#include <QValueAxis>
#include <algorithm>
#include <vector>

namespace dorvan {

namespace {

QColor CorQt(std::uint32_t cor) { return QColor(cor & 0xFF, (cor >> 8) & 0xFF, (cor >> 16) & 0xFF); }

char SeparadorDecimal() {
    const std::string s = DeQString(QLocale().decimalPoint());
    return s.empty() ? ',' : s[0];
}

// The chart writes the cumulative shares itself, above their points, where the
// points stand at each paint.
class VistaEscala : public QChartView {
public:
    VistaEscala(QChart* c, QWidget* pai) : QChartView(c, pai) {
        // The labels belong to no item of the chart: a repaint of only the items that
        // moved would cut them, or leave them where an earlier layout put them.
        setViewportUpdateMode(QGraphicsView::FullViewportUpdate);
    }
    void Rotula(QLineSeries* linha, QStringList textos) {
        linha_ = linha;
        textos_ = std::move(textos);
        viewport()->update();
    }
    const QStringList& Textos() const { return textos_; }

protected:
    void drawForeground(QPainter* p, const QRectF& area) override {
        QChartView::drawForeground(p, area);
        if (!linha_ || chart()->series().indexOf(linha_) < 0) return;
        const QFontMetricsF fm(p->font());
        const QRectF grafico = chart()->mapToScene(chart()->plotArea()).boundingRect();
        std::vector<QRectF> escritas;
        // From the last share (100 %) back: a label that would cover one already
        // written is left out rather than make both unreadable.
        for (qsizetype k = std::min(textos_.size(), static_cast<qsizetype>(linha_->count())); k-- > 0;) {
            const QPointF ponto = chart()->mapToScene(chart()->mapToPosition(linha_->at(k), linha_));
            QRectF caixa(0, 0, fm.horizontalAdvance(textos_[k]) + 2, fm.height());
            caixa.moveCenter(ponto - QPointF(0, fm.height() * 0.8));
            // Whole over the plot, clear of the axes' numbers; the last share stands
            // on the chart's top edge.
            caixa.moveTop(std::max(caixa.top(), 0.0));
            caixa.moveLeft(
                std::clamp(caixa.left(), grafico.left(), std::max(grafico.left(), grafico.right() - caixa.width())));
            if (std::any_of(escritas.begin(), escritas.end(), [&](const QRectF& r) { return r.intersects(caixa); }))
                continue;
            escritas.push_back(caixa);
            p->setPen(Qt::darkGreen);
            p->drawText(caixa, Qt::AlignCenter, textos_[k]);
        }
    }

private:
    QLineSeries* linha_ = nullptr;
    QStringList textos_;
};

} // namespace

TFEscala::TFEscala(TabelaResultados& t, EstadoEscala& e, QWidget* pai) : QDialog(pai), t_(t), e_(e) {
    setWindowTitle(ParaQString("Escala do mapa tem\xE1tico"));
    setFixedSize(609, 395);

    auto* grafico = new QChart;
    grafico->legend()->hide();
    auto* vista = new VistaEscala(grafico, this);
    vista->setRenderHint(QPainter::Antialiasing);
    Chart1 = vista;

    RadioGroup1 = new QGroupBox(QStringLiteral("Classes de "), this);
    Modos = new QButtonGroup(this);
    auto* itens = new QVBoxLayout(RadioGroup1);
    const char* nomes[] = {"Igual freq\xFC\xEAncia", "Igual valor", "Manual"};
    for (int i = 0; i < 3; ++i) {
        auto* b = new QRadioButton(ParaQString(nomes[i]), RadioGroup1);
        Modos->addButton(b, i);
        itens->addWidget(b);
    }
    Label1 = new QLabel(ParaQString("N\xFAmero de classes"), this);
    SpinEdit1 = new QSpinBox(this);
    SpinEdit1->setRange(2, MaxClasses);
    SpinEdit1->setValue(ClassesIniciais);
    QFont fonte(QStringLiteral("Arial"));
    fonte.setPixelSize(13);
    fonte.setBold(true);
    SpinEdit1->setFont(fonte);
    // Only the arrows change the count, so every value seen is a valid one.
    if (auto* edicao = SpinEdit1->findChild<QLineEdit*>()) edicao->setReadOnly(true);

    GridFaixas = new QTableWidget(this);
    GridFaixas->setColumnCount(1);
    GridFaixas->horizontalHeader()->hide();
    GridFaixas->verticalHeader()->hide();
    GridFaixas->verticalHeader()->setDefaultSectionSize(16);
    GridFaixas->horizontalHeader()->setStretchLastSection(true);
    OK = new QPushButton(QStringLiteral("OK"), this);
    OK->setDefault(true);
    Timer1 = new QTimer(this);
    Timer1->setSingleShot(true);
    Timer1->setInterval(IntervaloEscalaMs);

    auto* lado = new QVBoxLayout;
    lado->addWidget(RadioGroup1);
    lado->addWidget(Label1);
    lado->addWidget(SpinEdit1);
    lado->addWidget(GridFaixas, 1);
    lado->addWidget(OK);
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(Chart1, 1);
    layout->addLayout(lado);

    connect(Modos, &QButtonGroup::idClicked, this, [this](int) { RadioGroup1Click(); });
    connect(SpinEdit1, &QSpinBox::valueChanged, this, [this](int) { SpinEdit1Change(); });
    connect(GridFaixas, &QTableWidget::itemChanged, this, [this](QTableWidgetItem* item) {
        if (!preenchendo_) GridFaixasSetEditText(item->row(), item->text());
    });
    connect(Timer1, &QTimer::timeout, this, [this] { Timer1Timer(); });
    connect(OK, &QPushButton::clicked, this, &QDialog::accept);
}

void TFEscala::showEvent(QShowEvent* ev) {
    setWindowTitle(ParaQString(AbreEscala(t_, e_)));
    {
        // Showing the saved count must not recompute the saved limits.
        const QSignalBlocker bloqueio(SpinEdit1);
        SpinEdit1->setValue(std::clamp(t_.NumClasses, 2, MaxClasses));
    }
    if (auto* b = Modos->button(static_cast<int>(e_.Modo))) b->setChecked(true);
    MostraGrade();
    ContaClasses();
    Timer1->start();
    QDialog::showEvent(ev);
}

void TFEscala::done(int r) {
    Timer1->stop();
    FechaEscala(t_, e_);
    QDialog::done(r);
}

void TFEscala::MostraGrade() { GridFaixas->setVisible(e_.Modo == ModoClasses::Manual); }

void TFEscala::ContaClasses() {
    contagem_ = dorvan::ContaClasses(t_, e_.Modo);
    auto* grafico = static_cast<QChartView*>(Chart1)->chart();
    grafico->removeAllSeries();
    for (QAbstractAxis* eixo : grafico->axes())
        grafico->removeAxis(eixo);

    // One set per class so each bar takes its class colour; the others hold 0 there.
    auto* barras = new QStackedBarSeries;
    barras->setBarWidth(contagem_.LarguraBarra / 100.0);
    QStringList rotulos, percentuais;
    const auto n = static_cast<int>(contagem_.Barras.size());
    auto* acumulado = new QLineSeries;
    acumulado->setColor(Qt::green);
    acumulado->setPointsVisible(true);
    double maior = 1;
    for (int k = 0; k < n; ++k) {
        const BarraClasse& b = contagem_.Barras[static_cast<std::size_t>(k)];
        auto* conjunto = new QBarSet(QString::number(k + 1));
        for (int j = 0; j < n; ++j)
            *conjunto << (j == k ? b.Contagem : 0);
        conjunto->setColor(CorQt(b.Cor));
        barras->append(conjunto);
        rotulos << ParaQString(b.Rotulo).trimmed();
        acumulado->append(k, b.Acumulado);
        percentuais << ParaQString(b.RotuloAcumulado);
        maior = std::max(maior, static_cast<double>(b.Contagem));
    }
    // Numbers on the axes in the locale's form, as the labels are.
    grafico->setLocalizeNumbers(true);
    grafico->setLocale(QLocale());
    grafico->addSeries(barras);
    grafico->addSeries(acumulado);
    auto* eixoX = new QBarCategoryAxis;
    eixoX->setGridLineVisible(false);
    // Classes whose limits print alike keep a category each.
    MostraRotulosCategorias(grafico, eixoX, rotulos, true);
    auto* eixoY = new QValueAxis;
    eixoY->setRange(0, maior);
    eixoY->setGridLineVisible(false);
    auto* eixoDireito = new QValueAxis;
    eixoDireito->setRange(0, 100);
    eixoDireito->setGridLineVisible(false);
    grafico->addAxis(eixoX, Qt::AlignBottom);
    grafico->addAxis(eixoY, Qt::AlignLeft);
    grafico->addAxis(eixoDireito, Qt::AlignRight);
    barras->attachAxis(eixoX);
    barras->attachAxis(eixoY);
    acumulado->attachAxis(eixoX);
    acumulado->attachAxis(eixoDireito);
    static_cast<VistaEscala*>(Chart1)->Rotula(acumulado, percentuais);
    connect(barras, &QAbstractBarSeries::clicked, this, [this](int indice, QBarSet*) { Chart1ClickSeries(indice); });
    PreencheGradeFaixas();
}

QStringList TFEscala::RotulosAcumulado() const { return static_cast<const VistaEscala*>(Chart1)->Textos(); }

void TFEscala::PreencheGradeFaixas() {
    preenchendo_ = true;
    const std::vector<std::string> linhas = dorvan::PreencheGradeFaixas(t_);
    GridFaixas->setRowCount(static_cast<int>(linhas.size()));
    for (int r = 0; r < static_cast<int>(linhas.size()); ++r) {
        auto* item = new QTableWidgetItem(ParaQString(linhas[static_cast<std::size_t>(r)]));
        if (r == 0 && linhas.size() > 1) item->setFlags(item->flags() & ~Qt::ItemIsEditable);
        GridFaixas->setItem(r, 0, item);
    }
    preenchendo_ = false;
}

void TFEscala::RadioGroup1Click() {
    MudaModoEscala(t_, e_, static_cast<ModoClasses>(Modos->checkedId()));
    MostraGrade();
    ContaClasses();
}

void TFEscala::SpinEdit1Change() {
    MudaNumClassesEscala(t_, e_, SpinEdit1->value());
    ContaClasses();
}

void TFEscala::GridFaixasSetEditText(int linha, const QString& texto) {
    EditaLimiteEscala(t_, e_, linha, DeQString(texto), SeparadorDecimal());
    if (auto* b = Modos->button(static_cast<int>(e_.Modo))) b->setChecked(true);
    Timer1->start(IntervaloEscalaMs);
}

void TFEscala::Timer1Timer() {
    Timer1->stop();
    ContaClasses();
}

void TFEscala::Chart1ClickSeries(int classe) {
    if (classe < 0 || classe >= static_cast<int>(contagem_.Barras.size())) return;
    MensagensAtuais().Mostra(TextoCliqueBarra(t_, contagem_.Barras[static_cast<std::size_t>(classe)].Contagem));
}

EstadoEscala& EstadoEscalaAtual() {
    static EstadoEscala estado;
    return estado;
}

void MostraEscala(TabelaResultados& t, QWidget* pai) {
    TFEscala janela(t, EstadoEscalaAtual(), pai);
    janela.exec();
}

bool Histograma1Click(TabelaResultados& t, QWidget* pai) {
    std::int32_t coluna = ColunaSemPerguntar(t);
    if (coluna == 0) {
        std::vector<std::string> titulos;
        for (std::int32_t c = 1; c <= t.NumColunas(); ++c)
            titulos.push_back(t.NomeColuna(c));
        coluna = EscolheColuna(PerguntaHistograma, titulos);
    }
    OrdemAnterior ordem;
    if (!PreparaHistograma(t, coluna, EstadoEscalaAtual(), ordem)) return false;
    MostraEscala(t, pai);
    TerminaHistograma(t, ordem);
    return true;
}

void InstalaHistograma(TForm1& f) {
    f.DefineComando(QStringLiteral("Histograma1Click"), [&f] {
        if (Histograma1Click(f.Tabela(), &f)) f.AtualizaGrade();
    });
}

} // namespace dorvan

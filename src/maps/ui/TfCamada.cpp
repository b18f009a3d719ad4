#include "maps/ui/TfCamada.h"

#include "maps/ui/PintaMapa.h"
#include "platform/Texto1252.h"

#include <QCheckBox>
#include <QHeaderView>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <algorithm>

namespace dorvan {

TfCamada::TfCamada(QWidget* pai) : QDialog(pai) {
    setObjectName(QStringLiteral("fCamada"));
    setFixedSize(327, 165);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    cbAtiva = new QCheckBox(QStringLiteral("Ativa"), this);
    cbAtiva->setObjectName(QStringLiteral("cbAtiva"));
    cbAtiva->setGeometry(8, 8, 110, 20);
    cbLegenda = new QCheckBox(QStringLiteral("Com legenda"), this);
    cbLegenda->setObjectName(QStringLiteral("cbLegenda"));
    cbLegenda->setGeometry(8, 30, 110, 20);
    cbTransparente = new QCheckBox(QStringLiteral("Transparente"), this);
    cbTransparente->setObjectName(QStringLiteral("cbTransparente"));
    cbTransparente->setGeometry(8, 52, 110, 20);

    dgCor = new QTableWidget(4, 4, this);
    dgCor->setObjectName(QStringLiteral("dgCor"));
    dgCor->horizontalHeader()->hide();
    dgCor->verticalHeader()->hide();
    // Cells of 20 pixels whatever the font (a header keeps its sections at least as
    // tall as its text), and the grid as large as its cells and frame.
    for (QHeaderView* h : {dgCor->horizontalHeader(), dgCor->verticalHeader()}) {
        h->setMinimumSectionSize(1);
        h->setSectionResizeMode(QHeaderView::Fixed);
        h->setDefaultSectionSize(20);
    }
    const int lado = 4 * 20 + 2 * dgCor->frameWidth();
    dgCor->setGeometry(128, 8, lado, lado);
    // A chosen cell keeps showing its own colour; the focus frame marks it.
    dgCor->setSelectionMode(QAbstractItemView::NoSelection);
    dgCor->setEditTriggers(QAbstractItemView::NoEditTriggers);
    dgCor->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    dgCor->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    for (int i = 0; i < 16; ++i) {
        auto* item = new QTableWidgetItem;
        item->setBackground(CorQt(CoresCamada[static_cast<std::size_t>(i)]));
        dgCor->setItem(i / 4, i % 4, item);
    }
    connect(dgCor, &QTableWidget::cellClicked, this, [this](int l, int c) { dgCorSelectCell(l, c); });

    lRaio = new QLabel(ParaQString("Largura da linha ou raio do c\xEDrculo "), this);
    lRaio->setObjectName(QStringLiteral("lRaio"));
    lRaio->setGeometry(8, 100, 200, 18);
    lRaio->adjustSize();
    lRaio->resize(std::max(200, lRaio->width()), std::max(18, lRaio->height()));
    SpinEdit1 = new QSpinBox(this);
    SpinEdit1->setObjectName(QStringLiteral("SpinEdit1"));
    SpinEdit1->setRange(1, 99);
    SpinEdit1->setGeometry(8, 122, 60, 24);
    bOK = new QPushButton(QStringLiteral("OK"), this);
    bOK->setObjectName(QStringLiteral("bOK"));
    bOK->setDefault(true);
    bOK->setGeometry(150, 128, 75, 26);
    bRemover = new QPushButton(QStringLiteral("&Remover"), this);
    bRemover->setObjectName(QStringLiteral("bRemover"));
    bRemover->setGeometry(236, 128, 80, 26);
    connect(bOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(bRemover, &QPushButton::clicked, this, [this] { done(ResultadoRemover); });
    // The preview follows every change of colour, width and fill.
    connect(SpinEdit1, &QSpinBox::valueChanged, this, [this] { update(); });
    connect(cbTransparente, &QCheckBox::clicked, this, [this] { update(); });
}

void TfCamada::Carrega(const CamadaDoMapa& c, bool removivel) {
    setWindowTitle(QString::fromStdString(c.ArquivoCamada));
    cbAtiva->setChecked(c.Ativa);
    cbLegenda->setChecked(c.ComLegenda);
    cbTransparente->setChecked(c.Transparente);
    cor_ = c.CorCamada;
    SpinEdit1->setValue(c.LarguraCamada);
    bRemover->setEnabled(removivel);
    update();
}

void TfCamada::Aplica(CamadaDoMapa& c) const {
    c.CorCamada = cor_;
    c.ComLegenda = cbLegenda->isChecked();
    c.Transparente = cbTransparente->isChecked();
    c.LarguraCamada = SpinEdit1->value();
}

void TfCamada::dgCorSelectCell(int linha, int coluna) {
    if (linha < 0 || linha > 3 || coluna < 0 || coluna > 3) return;
    cor_ = CoresCamada[static_cast<std::size_t>(linha * 4 + coluna)];
    update();
}

void TfCamada::paintEvent(QPaintEvent* e) {
    QDialog::paintEvent(e);
    QPainter p(this);
    p.setPen(QPen(CorQt(cor_), 1));
    p.setBrush(cbTransparente->isChecked() ? QBrush(Qt::NoBrush) : QBrush(CorQt(cor_)));
    const int r = SpinEdit1->value();
    p.drawEllipse(QPoint(258, 80), r, r);
}

} // namespace dorvan

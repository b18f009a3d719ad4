#include "analysis/ui/TfChartOp.h"

#include "platform/Texto1252.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QColorDialog>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace dorvan {

namespace {
QColor ParaQColor(std::uint32_t c) { return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF); }
std::uint32_t DeQColor(const QColor& c) {
    return static_cast<std::uint32_t>(c.red()) | static_cast<std::uint32_t>(c.green()) << 8 |
           static_cast<std::uint32_t>(c.blue()) << 16;
}
} // namespace

RadioGroup::RadioGroup(const QString& nome, const char* titulo1252, std::initializer_list<const char*> itens1252,
                       QWidget* pai)
    : QGroupBox(ParaQString(titulo1252), pai), grupo_(new QButtonGroup(this)) {
    setObjectName(nome);
    auto* v = new QVBoxLayout(this);
    v->setSpacing(0);
    int i = 0;
    for (const char* item : itens1252) {
        auto* b = new QRadioButton(ParaQString(item), this);
        grupo_->addButton(b, i++);
        v->addWidget(b);
    }
}

int RadioGroup::ItemIndex() const { return grupo_->checkedId(); }
int RadioGroup::Itens() const { return static_cast<int>(grupo_->buttons().size()); }

void RadioGroup::DefineItemIndex(int i) {
    if (QAbstractButton* b = grupo_->button(i)) b->setChecked(true);
}

TfChartOp::TfChartOp(QWidget* pai) : QDialog(pai) {
    setObjectName(QStringLiteral("fChartOp"));
    auto* g = new QGridLayout(this);
    RadioGroup3 = new RadioGroup(QStringLiteral("RadioGroup3"), "Eixo &vertical:", {"Esquerda", "Direita"}, this);
    cbEtiqueta = new QCheckBox(ParaQString("Mostrar &etiqueta"), this);
    cbEtiqueta->setObjectName(QStringLiteral("cbEtiqueta"));
    RadioGroup4 = new RadioGroup(QStringLiteral("RadioGroup4"),
                                 "&Conte\xFA"
                                 "do da etiqueta:",
                                 {"Valor", "Percentagem", "Descri\xE7\xE3o", "Descri\xE7\xE3o e percentagem",
                                  "Descri\xE7\xE3o e valor", "Legenda", "Percentagem e total",
                                  "Descri\xE7\xE3o, percentagem e total", "Valor de X"},
                                 this);
    RadioGroup1 = new RadioGroup(QStringLiteral("RadioGroup1"), "&Posi\xE7\xE3o da barra:",
                                 {"Uma na frente da outra", "Lado a lado", "Empilhadas", "Empilhadas 100%"}, this);
    RadioGroup2 = new RadioGroup(
        QStringLiteral("RadioGroup2"), "&Tipo de barra:",
        {"Ret\xE2ngulo", "Pir\xE2mide", "Pir\xE2mide inv.", "Cilindro", "Elipse", "Seta", "Gradiente"}, this);
    cbJuntas = new QCheckBox(QStringLiteral("Barras juntas"), this);
    cbJuntas->setObjectName(QStringLiteral("cbJuntas"));
    RadioGroup5 = new RadioGroup(QStringLiteral("RadioGroup5"), "&Posi\xE7\xE3o da \xE1rea",
                                 {"Uma na frente da outra", "Empilhadas", "Empilhadas 100%"}, this);
    cbMarcador = new QCheckBox(ParaQString("&Mostrar marcador"), this);
    cbMarcador->setObjectName(QStringLiteral("cbMarcador"));
    RadioGroup6 = new RadioGroup(QStringLiteral("RadioGroup6"), "&Forma do marcador",
                                 {"Ret\xE2ngulo", "C\xEDrculo", "Tri\xE2ngulo", "Tri\xE2ngulo invert", "Cruz",
                                  "Cruz diagonal", "Estrela", "Lozango", "Ponto pequeno"},
                                 this);
    lLargLin = new QLabel(QStringLiteral("Largura da linha"), this);
    seLargLin = new QSpinBox(this);
    seLargLin->setObjectName(QStringLiteral("seLargLin"));
    seLargLin->setRange(1, 9);
    cbDegrau = new QCheckBox(QStringLiteral("Em degraus"), this);
    cbDegrau->setObjectName(QStringLiteral("cbDegrau"));
    bCor = new QPushButton(ParaQString("Muda &cor"), this);
    bCor->setObjectName(QStringLiteral("bCor"));
    Panel1 = new QFrame(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setFrameShape(QFrame::Panel);
    Panel1->setMinimumSize(40, 20);
    Panel1->setAutoFillBackground(true);
    bOK = new QPushButton(QStringLiteral("OK"), this);
    bOK->setObjectName(QStringLiteral("bOK"));
    bOK->setDefault(true);

    auto* col1 = new QVBoxLayout;
    col1->addWidget(RadioGroup3);
    col1->addWidget(cbEtiqueta);
    col1->addWidget(RadioGroup4);
    auto* cor = new QHBoxLayout;
    cor->addWidget(bCor);
    cor->addWidget(Panel1);
    col1->addLayout(cor);
    col1->addStretch();
    auto* col2 = new QVBoxLayout;
    col2->addWidget(RadioGroup1);
    col2->addWidget(RadioGroup2);
    col2->addWidget(cbJuntas);
    col2->addWidget(RadioGroup5);
    col2->addStretch();
    auto* col3 = new QVBoxLayout;
    col3->addWidget(cbMarcador);
    col3->addWidget(RadioGroup6);
    auto* larg = new QHBoxLayout;
    larg->addWidget(lLargLin);
    larg->addWidget(seLargLin);
    col3->addLayout(larg);
    col3->addWidget(cbDegrau);
    col3->addStretch();
    col3->addWidget(bOK);
    g->addLayout(col1, 0, 0);
    g->addLayout(col2, 0, 1);
    g->addLayout(col3, 0, 2);

    connect(cbMarcador, &QCheckBox::toggled, this, [this] { cbMarcadorClick(); });
    connect(bCor, &QPushButton::clicked, this, [this] { bCorClick(); });
    connect(bOK, &QPushButton::clicked, this, &QDialog::accept);
}

void TfChartOp::Mostra(const OpcoesSerie& o, const ControlesSerie& c) {
    DefineCor(o.Cor);
    RadioGroup3->DefineItemIndex(o.EixoDireito ? 1 : 0);
    cbEtiqueta->setChecked(o.Etiquetas);
    RadioGroup4->DefineItemIndex(o.Etiqueta);
    for (QWidget* w : std::initializer_list<QWidget*>{RadioGroup1, RadioGroup2, cbJuntas})
        w->setVisible(c.Barras);
    cbJuntas->setChecked(o.BarrasJuntas);
    RadioGroup1->DefineItemIndex(o.MultiBarra);
    RadioGroup2->DefineItemIndex(o.EstiloBarra);
    RadioGroup5->setVisible(c.Area);
    RadioGroup5->DefineItemIndex(o.MultiArea);
    cbMarcador->setVisible(c.Marcador);
    RadioGroup6->setVisible(c.Marcador);
    cbMarcador->setChecked(o.Marcador);
    RadioGroup6->DefineItemIndex(o.EstiloMarcador);
    cbMarcadorClick();
    for (QWidget* w : std::initializer_list<QWidget*>{lLargLin, seLargLin, cbDegrau})
        w->setVisible(c.Linha);
    seLargLin->setValue(o.LarguraLinha);
    cbDegrau->setChecked(o.Degraus);
}

OpcoesSerie TfChartOp::Opcoes() const {
    OpcoesSerie o;
    o.EixoDireito = RadioGroup3->ItemIndex() == 1;
    o.Etiquetas = cbEtiqueta->isChecked();
    o.Etiqueta = RadioGroup4->ItemIndex();
    o.MultiBarra = RadioGroup1->ItemIndex();
    o.EstiloBarra = RadioGroup2->ItemIndex();
    o.BarrasJuntas = cbJuntas->isChecked();
    o.MultiArea = RadioGroup5->ItemIndex();
    o.Marcador = cbMarcador->isChecked();
    o.EstiloMarcador = RadioGroup6->ItemIndex();
    o.LarguraLinha = seLargLin->text().toInt();
    o.Degraus = cbDegrau->isChecked();
    o.Cor = cor_;
    return o;
}

void TfChartOp::cbMarcadorClick() { RadioGroup6->setEnabled(cbMarcador->isChecked()); }

void TfChartOp::bCorClick() {
    const QColor c = QColorDialog::getColor(ParaQColor(cor_), this);
    if (c.isValid()) DefineCor(DeQColor(c));
}

void TfChartOp::DefineCor(std::uint32_t cor) {
    cor_ = cor & 0x00FFFFFF;
    QPalette p = Panel1->palette();
    p.setColor(QPalette::Window, ParaQColor(cor_));
    Panel1->setPalette(p);
}

} // namespace dorvan

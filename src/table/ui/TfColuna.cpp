#include "table/ui/TfColuna.h"

#include "platform/Texto1252.h"

#include <QButtonGroup>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace dorvan {

TfColuna::TfColuna(QWidget* pai) : QDialog(pai) {
    setObjectName(QStringLiteral("fColuna"));
    setWindowTitle(QStringLiteral("Atributos da coluna"));
    auto* forma = new QFormLayout;
    edTitulo = new QLineEdit(this);
    edTitulo->setObjectName(QStringLiteral("edTitulo"));
    edTitulo->setMaxLength(static_cast<int>(MaxTituloColuna));
    forma->addRow(ParaQString("Cabe\xE7" "alho"), edTitulo);
    spLargura = new QSpinBox(this);
    spLargura->setObjectName(QStringLiteral("spLargura"));
    spLargura->setRange(1, 100);
    forma->addRow(QStringLiteral("Largura"), spLargura);
    Label3 = new QLabel(QStringLiteral("Decimais"), this);
    spDecimais = new QSpinBox(this);
    spDecimais->setObjectName(QStringLiteral("spDecimais"));
    spDecimais->setRange(0, 10);
    forma->addRow(Label3, spDecimais);
    edNota = new QLineEdit(this);
    edNota->setObjectName(QStringLiteral("edNota"));
    edNota->setMaxLength(80);
    forma->addRow(ParaQString("Nota t\xE9" "cnica"), edNota);

    rgTipoTotal = new QGroupBox(QStringLiteral("Tipo de total"), this);
    rgTipoTotal->setObjectName(QStringLiteral("rgTipoTotal"));
    grupoTotal = new QButtonGroup(this);
    auto* grade = new QGridLayout(rgTipoTotal);
    for (int k = 0; k < NumTiposTotal; ++k) {
        auto* b = new QRadioButton(ParaQString(NomeTipoTotal(static_cast<TipoTotal>(k))), rgTipoTotal);
        grupoTotal->addButton(b, k);
        grade->addWidget(b, k % 5, k / 5);
    }

    bOK = new QPushButton(QStringLiteral("OK"), this);
    bOK->setObjectName(QStringLiteral("bOK"));
    bOK->setDefault(true);
    bCancel = new QPushButton(QStringLiteral("Cancela"), this);
    bCancel->setObjectName(QStringLiteral("bCancel"));
    connect(bOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(bCancel, &QPushButton::clicked, this, &QDialog::reject);
    auto* botoes = new QHBoxLayout;
    botoes->addStretch();
    botoes->addWidget(bOK);
    botoes->addWidget(bCancel);

    auto* v = new QVBoxLayout(this);
    v->addLayout(forma);
    v->addWidget(rgTipoTotal);
    v->addLayout(botoes);
}

void TfColuna::Carrega(std::int32_t c, const AtributosColuna& a) {
    setWindowTitle(QStringLiteral("Atributos da coluna ") + QString::number(c));
    edTitulo->setText(ParaQString(a.titulo));
    spLargura->setValue(a.largura);
    spDecimais->setValue(a.decimais);
    edNota->setText(ParaQString(a.nota));
    if (auto* b = grupoTotal->button(static_cast<int>(a.tipoTotal))) b->setChecked(true);
    Label3->setVisible(c != 0);
    spDecimais->setVisible(c != 0);
    rgTipoTotal->setEnabled(c != 0);
}

AtributosColuna TfColuna::Resultado() const {
    AtributosColuna a;
    a.titulo = DeQString(edTitulo->text());
    a.largura = spLargura->value();
    a.decimais = spDecimais->value();
    a.nota = DeQString(edNota->text());
    a.tipoTotal = TipoTotalDeNumero(grupoTotal->checkedId() < 0 ? 1 : grupoTotal->checkedId());
    return a;
}

void TfColuna::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    edTitulo->setFocus();
}

} // namespace dorvan

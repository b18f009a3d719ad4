#include "table/ui/TLocaliza.h"

#include "platform/Texto1252.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace dorvan {

TLocaliza::TLocaliza(QWidget* pai) : QDialog(pai) {
    setObjectName(QStringLiteral("FindDialog1"));
    setWindowTitle(QStringLiteral("Localizar"));
    setModal(false);
    edTexto = new QLineEdit(this);
    edTexto->setObjectName(QStringLiteral("edTexto"));
    cbMaiusculas = new QCheckBox(ParaQString("Diferenciar mai\xFAsculas de min\xFAsculas"), this);
    auto* direcao = new QGroupBox(ParaQString("Dire\xE7\xE3o"), this);
    rbAcima = new QRadioButton(QStringLiteral("Acima"), direcao);
    rbAbaixo = new QRadioButton(QStringLiteral("Abaixo"), direcao);
    rbAbaixo->setChecked(true);
    auto* hd = new QHBoxLayout(direcao);
    hd->addWidget(rbAcima);
    hd->addWidget(rbAbaixo);
    bLocaliza = new QPushButton(ParaQString("Localizar pr\xF3xima"), this);
    bLocaliza->setDefault(true);
    bCancela = new QPushButton(QStringLiteral("Cancelar"), this);
    connect(bLocaliza, &QPushButton::clicked, this, [this] {
        if (AoLocalizar && !edTexto->text().isEmpty()) AoLocalizar();
    });
    connect(bCancela, &QPushButton::clicked, this, &QDialog::close);
    connect(edTexto, &QLineEdit::textChanged, this, [this](const QString& s) { bLocaliza->setEnabled(!s.isEmpty()); });
    bLocaliza->setEnabled(false);

    auto* linha = new QHBoxLayout;
    linha->addWidget(new QLabel(QStringLiteral("Localizar:"), this));
    linha->addWidget(edTexto, 1);
    auto* opcoes = new QHBoxLayout;
    opcoes->addWidget(cbMaiusculas);
    opcoes->addWidget(direcao);
    auto* esquerda = new QVBoxLayout;
    esquerda->addLayout(linha);
    esquerda->addLayout(opcoes);
    auto* botoes = new QVBoxLayout;
    botoes->addWidget(bLocaliza);
    botoes->addWidget(bCancela);
    botoes->addStretch();
    auto* tudo = new QHBoxLayout(this);
    tudo->addLayout(esquerda, 1);
    tudo->addLayout(botoes);
}

std::string TLocaliza::Texto() const { return DeQString(edTexto->text()); }
bool TLocaliza::DiferenciaMaiusculas() const { return cbMaiusculas->isChecked(); }
bool TLocaliza::ParaBaixo() const { return !rbAcima->isChecked(); }

} // namespace dorvan

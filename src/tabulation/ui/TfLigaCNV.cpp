#include "tabulation/ui/TfLigaCNV.h"

#include "platform/Texto1252.h"
#include "tabulation/Utabula.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace dorvan {

TfLigaCNV* fLigaCNV = nullptr;

TfLigaCNV::TfLigaCNV(QWidget* pai) : QDialog(pai) {
    setObjectName(QStringLiteral("fLigaCNV"));
    setWindowTitle(QStringLiteral("Liga CNV \u00E0 coluna:"));
    edDescr = new QLineEdit(this);
    edNomeCNV = new QLineEdit(this);
    edInicio = new QLineEdit(QStringLiteral("1"), this);
    lbCNV = new QListWidget(this);
    cbxLinhas = new QCheckBox(QStringLiteral("Linhas"), this);
    cbxColunas = new QCheckBox(QStringLiteral("Colunas"), this);
    cbxSelecao = new QCheckBox(QStringLiteral("Sele\u00E7\u00E3o"), this);
    cbxQuadro = new QCheckBox(QStringLiteral("Quadro"), this);
    bOK = new QPushButton(QStringLiteral("OK"), this);
    bCancela = new QPushButton(QStringLiteral("Cancela"), this);
    bOK->setDefault(true);
    connect(lbCNV, &QListWidget::itemClicked, this, &TfLigaCNV::lbCNVClick);
    connect(bOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(bCancela, &QPushButton::clicked, this, &QDialog::reject);

    auto* campos = new QFormLayout;
    campos->addRow(QStringLiteral("Descri\u00E7\u00E3o da op\u00E7\u00E3o"), edDescr);
    campos->addRow(QStringLiteral("Nome do arquivo CNV selecionado"), edNomeCNV);
    campos->addRow(QStringLiteral("Posi\u00E7\u00E3o inicial"), edInicio);
    auto* caixas = new QHBoxLayout;
    for (auto* c : {cbxLinhas, cbxColunas, cbxSelecao, cbxQuadro}) caixas->addWidget(c);
    auto* botoes = new QHBoxLayout;
    botoes->addStretch();
    botoes->addWidget(bOK);
    botoes->addWidget(bCancela);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(campos);
    layout->addWidget(new QLabel(QStringLiteral("Arquivos CNV dispon\u00EDveis"), this));
    layout->addWidget(lbCNV, 1);
    layout->addLayout(caixas);
    layout->addLayout(botoes);
    resize(420, 380);
}

void TfLigaCNV::lbCNVClick() {
    auto* item = lbCNV->currentItem();
    if (!item) return;
    edNomeCNV->setText(item->text());
    edDescr->setText(ParaQString(DescricaoDaTabela(DeQString(item->text()))));
}

} // namespace dorvan

#include "tabulation/ui/TDualListDlg.h"

#include "platform/Texto1252.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace dorvan {

TDualListDlg* DualListDlg = nullptr;

TDualListDlg::TDualListDlg(QWidget* pai) : QDialog(pai) {
    setObjectName(QStringLiteral("DualListDlg"));
    setWindowTitle(QStringLiteral("Escolhe Campos"));
    SrcList = new QListWidget(this);
    DstList = new QListWidget(this);
    SrcList->setObjectName(QStringLiteral("SrcList"));
    DstList->setObjectName(QStringLiteral("DstList"));
    for (auto* l : {SrcList, DstList}) l->setSelectionMode(QAbstractItemView::ExtendedSelection);
    IncludeBtn = new QPushButton(QStringLiteral(">"), this);
    IncAllBtn = new QPushButton(QStringLiteral(">>"), this);
    ExcludeBtn = new QPushButton(QStringLiteral("<"), this);
    ExAllBtn = new QPushButton(QStringLiteral("<<"), this);
    OKBtn = new QPushButton(QStringLiteral("OK"), this);
    CancelBtn = new QPushButton(QStringLiteral("Cancela"), this);
    OKBtn->setDefault(true);
    ExcludeBtn->setEnabled(false);
    ExAllBtn->setEnabled(false);

    connect(IncludeBtn, &QPushButton::clicked, this, &TDualListDlg::IncludeBtnClick);
    connect(ExcludeBtn, &QPushButton::clicked, this, &TDualListDlg::ExcludeBtnClick);
    connect(IncAllBtn, &QPushButton::clicked, this, &TDualListDlg::IncAllBtnClick);
    connect(ExAllBtn, &QPushButton::clicked, this, &TDualListDlg::ExcAllBtnClick);
    connect(SrcList, &QListWidget::itemDoubleClicked, this, &TDualListDlg::IncludeBtnClick);
    connect(DstList, &QListWidget::itemDoubleClicked, this, &TDualListDlg::ExcludeBtnClick);
    connect(OKBtn, &QPushButton::clicked, this, &QDialog::accept);
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);

    auto* grade = new QGridLayout;
    grade->addWidget(new QLabel(QStringLiteral("Campos entrada:"), this), 0, 0);
    grade->addWidget(new QLabel(QStringLiteral("Campos sa\u00EDda:"), this), 0, 2);
    grade->addWidget(SrcList, 1, 0);
    auto* meio = new QVBoxLayout;
    meio->addStretch();
    for (auto* b : {IncludeBtn, IncAllBtn, ExcludeBtn, ExAllBtn}) meio->addWidget(b);
    meio->addStretch();
    grade->addLayout(meio, 1, 1);
    grade->addWidget(DstList, 1, 2);
    auto* botoes = new QHBoxLayout;
    botoes->addStretch();
    botoes->addWidget(OKBtn);
    botoes->addWidget(CancelBtn);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grade, 1);
    layout->addLayout(botoes);
    resize(400, 300);
}

bool TDualListDlg::Escolhe(const std::vector<std::string>& campos, std::vector<std::string>& escolhidos) {
    SrcList->clear();
    DstList->clear();
    for (const auto& c : campos) SrcList->addItem(ParaQString(c));
    SetButtons();
    escolhidos.clear();
    if (exec() != QDialog::Accepted) return false;
    for (int i = 0; i < DstList->count(); ++i) escolhidos.push_back(DeQString(DstList->item(i)->text()));
    return !escolhidos.empty();
}

int TDualListDlg::GetFirstSelection(QListWidget* lista) {
    for (int i = 0; i < lista->count(); ++i)
        if (lista->item(i)->isSelected()) return i;
    return -1;
}

void TDualListDlg::SetItem(QListWidget* lista, int indice) {
    lista->clearSelection();
    if (lista->count() == 0) return;
    if (indice < 0) indice = 0;
    if (indice >= lista->count()) indice = lista->count() - 1;
    lista->item(indice)->setSelected(true);
    lista->setCurrentRow(indice, QItemSelectionModel::Current);
}

void TDualListDlg::MoveSelected(QListWidget* lista, QListWidget* destino) {
    for (int i = lista->count() - 1; i >= 0; --i)
        if (lista->item(i)->isSelected()) destino->addItem(lista->takeItem(i));
    destino->clearSelection();
}

void TDualListDlg::SetButtons() {
    const bool temOrigem = SrcList->count() > 0, temDestino = DstList->count() > 0;
    IncludeBtn->setEnabled(temOrigem);
    IncAllBtn->setEnabled(temOrigem);
    ExcludeBtn->setEnabled(temDestino);
    ExAllBtn->setEnabled(temDestino);
}

void TDualListDlg::IncludeBtnClick() {
    int indice = GetFirstSelection(SrcList);
    MoveSelected(SrcList, DstList);
    SetItem(SrcList, indice);
    SetButtons();
}

void TDualListDlg::ExcludeBtnClick() {
    int indice = GetFirstSelection(DstList);
    MoveSelected(DstList, SrcList);
    SetItem(DstList, indice);
    SetButtons();
}

void TDualListDlg::IncAllBtnClick() {
    while (SrcList->count() > 0) DstList->addItem(SrcList->takeItem(0));
    DstList->clearSelection();
    SetItem(SrcList, 0);
    SetButtons();
}

void TDualListDlg::ExcAllBtnClick() {
    while (DstList->count() > 0) SrcList->addItem(DstList->takeItem(0));
    SrcList->clearSelection();
    SetItem(DstList, 0);
    SetButtons();
}

} // namespace dorvan

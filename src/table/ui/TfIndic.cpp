#include "table/ui/TfIndic.h"

#include "platform/Texto1252.h"
#include "table/OperacoesColunas.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include <algorithm>

namespace dorvan {

namespace {

// What the dialog keeps between uses.
struct Lembranca {
    int escala = 0;
    int decimais = 0;
    std::string titulo;
};
Lembranca& Ultimo() {
    static Lembranca l;
    return l;
}

QButtonGroup* Grupo(QWidget* dono, QGroupBox* caixa, const QStringList& itens) {
    auto* grupo = new QButtonGroup(dono);
    auto* layout = new QVBoxLayout(caixa);
    for (int i = 0; i < itens.size(); ++i) {
        auto* b = new QRadioButton(itens[i], caixa);
        grupo->addButton(b, i);
        layout->addWidget(b);
    }
    return grupo;
}

} // namespace

TfIndic::TfIndic(QWidget* pai) : QDialog(pai) {
    setWindowTitle(QStringLiteral("Calcula Indicador"));
    lbNumerador = new QListWidget(this);
    lbDenominador = new QListWidget(this);
    QStringList escalas;
    for (const std::string& e : EscalasIndicador)
        escalas << ParaQString(e);
    auto* caixaEscala = new QGroupBox(QStringLiteral("Escala"), this);
    rgEscala = Grupo(this, caixaEscala, escalas);
    auto* caixaDecimais = new QGroupBox(QStringLiteral("Casas decimais"), this);
    rgDecimais = Grupo(this, caixaDecimais, {"0", "1", "2", "3", "4"});
    edTitulo = new QLineEdit(this);
    edTitulo->setMaxLength(static_cast<int>(MaxTituloColuna));
    bOK = new QPushButton(QStringLiteral("OK"), this);
    bCancela = new QPushButton(QStringLiteral("Cancela"), this);
    bOK->setDefault(true);

    auto* grade = new QGridLayout;
    grade->addWidget(new QLabel(QStringLiteral("Numerador"), this), 0, 0);
    grade->addWidget(new QLabel(QStringLiteral("Denominador"), this), 0, 1);
    grade->addWidget(lbNumerador, 1, 0);
    grade->addWidget(lbDenominador, 1, 1);
    grade->addWidget(caixaEscala, 1, 2);
    grade->addWidget(caixaDecimais, 1, 3);
    auto* botoes = new QHBoxLayout;
    botoes->addStretch();
    botoes->addWidget(bOK);
    botoes->addWidget(bCancela);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grade);
    layout->addWidget(new QLabel(ParaQString("T\xEDtulo da coluna"), this));
    layout->addWidget(edTitulo);
    layout->addLayout(botoes);

    // A choice made with the keys counts as a click, as it does in a list box.
    for (QListWidget* lista : {lbNumerador, lbDenominador}) {
        connect(lista, &QListWidget::itemClicked, this, &TfIndic::lbNumeradorClick);
        connect(lista, &QListWidget::currentRowChanged, this, &TfIndic::lbNumeradorClick);
    }
    connect(rgEscala, &QButtonGroup::idClicked, this, &TfIndic::lbNumeradorClick);
    connect(bOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(bCancela, &QPushButton::clicked, this, &QDialog::reject);
}

void TfIndic::Prepara(const TabelaResultados& t) {
    // Filling the lists is no choice of the user's: the remembered title stays.
    tabela_ = nullptr;
    lbNumerador->clear();
    lbDenominador->clear();
    for (std::int32_t c = 1; c <= t.NumColunas(); ++c) {
        lbNumerador->addItem(ParaQString(t.NomeColuna(c)));
        lbDenominador->addItem(ParaQString(t.NomeColuna(c)));
    }
    lbNumerador->setCurrentRow(0);
    lbDenominador->setCurrentRow(0);
    rgEscala->button(Ultimo().escala)->setChecked(true);
    rgDecimais->button(Ultimo().decimais)->setChecked(true);
    edTitulo->setText(ParaQString(Ultimo().titulo));
    tabela_ = &t;
}

std::int32_t TfIndic::Numerador() const { return lbNumerador->currentRow() + 1; }
std::int32_t TfIndic::Denominador() const { return lbDenominador->currentRow() + 1; }
std::int32_t TfIndic::Escala() const { return std::max(rgEscala->checkedId(), 0); }
std::int32_t TfIndic::Decimais() const { return std::max(rgDecimais->checkedId(), 0); }
std::string TfIndic::Titulo() const { return DeQString(edTitulo->text()); }

void TfIndic::lbNumeradorClick() {
    if (!tabela_ || Numerador() < 1 || Denominador() < 1) return;
    edTitulo->setText(ParaQString(TituloIndicador(*tabela_, Numerador(), Denominador(), Escala())));
}

void TfIndic::done(int resultado) {
    Ultimo() = {Escala(), Decimais(), Titulo()};
    QDialog::done(resultado);
}

bool Indicador1Click(TabelaResultados& t, QWidget* pai) {
    if (t.NumColunas() < 1) return false;
    TfIndic janela(pai);
    janela.Prepara(t);
    if (janela.exec() != QDialog::Accepted) return false;
    return Indicador(t, janela.Numerador(), janela.Denominador(), janela.Escala(), janela.Decimais(), janela.Titulo());
}

} // namespace dorvan

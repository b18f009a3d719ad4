#include "table/ui/TfTipoTot.h"

#include "platform/Texto1252.h"
#include "table/OperacoesColunas.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace dorvan {

TfTipoTot::TfTipoTot(QWidget* pai) : QDialog(pai) {
    setWindowTitle(QStringLiteral("Tipo de Total"));
    auto* caixa = new QGroupBox(QStringLiteral("Tipo de total"), this);
    auto* itens = new QVBoxLayout(caixa);
    rgTipoTotal = new QButtonGroup(this);
    for (int i = 0; i < NumTiposTotal; ++i) {
        auto* b = new QRadioButton(ParaQString(NomeTipoTotal(static_cast<TipoTotal>(i))), caixa);
        rgTipoTotal->addButton(b, i);
        itens->addWidget(b);
    }
    bOK = new QPushButton(QStringLiteral("OK"), this);
    bCancela = new QPushButton(QStringLiteral("Cancela"), this);
    bOK->setDefault(true);
    auto* botoes = new QHBoxLayout;
    botoes->addStretch();
    botoes->addWidget(bOK);
    botoes->addWidget(bCancela);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(caixa);
    layout->addLayout(botoes);
    connect(bOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(bCancela, &QPushButton::clicked, this, &QDialog::reject);
    DefineTipo(TipoTotal::Soma);
}

void TfTipoTot::DefineTipo(TipoTotal tipo) {
    if (auto* b = rgTipoTotal->button(static_cast<int>(tipo))) b->setChecked(true);
}

TipoTotal TfTipoTot::Tipo() const { return TipoTotalDeNumero(rgTipoTotal->checkedId()); }

bool Tipodetotal1Click(TabelaResultados& t, const std::vector<std::int32_t>& colunas, QWidget* pai) {
    if (colunas.empty() || colunas.front() < 1 || colunas.front() > t.NumColunas()) return false;
    TfTipoTot janela(pai);
    janela.DefineTipo(t.Coluna(colunas.front()).TipoTotal);
    if (janela.exec() != QDialog::Accepted) return false;
    DefineTipoTotal(t, colunas, janela.Tipo());
    return true;
}

} // namespace dorvan

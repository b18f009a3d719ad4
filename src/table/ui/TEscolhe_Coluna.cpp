#include "table/ui/TEscolhe_Coluna.h"

#include "platform/Texto1252.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>
#include <memory>

namespace dorvan {

TEscolhe_Coluna* Escolhe_Coluna = nullptr;

TEscolhe_Coluna::TEscolhe_Coluna(QWidget* pai) : QDialog(pai) {
    setObjectName(QStringLiteral("Escolhe_Coluna"));
    setWindowTitle(QStringLiteral("Escolha a coluna"));
    Label1 = new QLabel(this);
    Label1->setWordWrap(true);
    ListBox1 = new QListWidget(this);
    ListBox1->setObjectName(QStringLiteral("ListBox1"));
    QFont negrito = ListBox1->font();
    negrito.setBold(true);
    ListBox1->setFont(negrito);
    bOK = new QPushButton(QStringLiteral("OK"), this);
    bCancela = new QPushButton(QStringLiteral("Cancela"), this);
    bOK->setDefault(true);
    connect(bOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(bCancela, &QPushButton::clicked, this, &QDialog::reject);
    connect(ListBox1, &QListWidget::itemDoubleClicked, this, &QDialog::accept);
    auto* botoes = new QHBoxLayout;
    botoes->addStretch();
    botoes->addWidget(bOK);
    botoes->addWidget(bCancela);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Label1);
    layout->addWidget(ListBox1, 1);
    layout->addLayout(botoes);
    resize(320, 380);
}

void TEscolhe_Coluna::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    ListBox1->setFocus();
}

bool TEscolhe_Coluna::Mostra(const std::string& titulo, const std::string& pergunta,
                             const std::vector<std::string>& itens, bool varios) {
    setWindowTitle(ParaQString(titulo));
    Label1->setText(ParaQString(pergunta));
    ListBox1->clear();
    ListBox1->setSelectionMode(varios ? QAbstractItemView::MultiSelection : QAbstractItemView::SingleSelection);
    for (const auto& item : itens) ListBox1->addItem(ParaQString(item));
    ListBox1->clearSelection();
    ListBox1->setCurrentRow(-1);
    return exec() == QDialog::Accepted;
}

std::vector<int> TEscolhe_Coluna::Marcados() const {
    std::vector<int> r;
    for (int i = 0; i < ListBox1->count(); ++i)
        if (ListBox1->item(i)->isSelected()) r.push_back(i + 1);
    return r;
}

namespace {

// The window created at start-up, or one made for this call.
template <typename F>
auto ComJanela(F f) {
    if (Escolhe_Coluna) return f(*Escolhe_Coluna);
    TEscolhe_Coluna janela(QApplication::activeWindow());
    return f(janela);
}

std::vector<int> Marca(const std::string& pergunta, const std::vector<std::string>& itens) {
    if (itens.empty()) return {};
    return ComJanela([&](TEscolhe_Coluna& j) {
        // A cancelled choice is no choice: callers must not act on marks left behind.
        if (!j.Mostra("Marque Colunas", pergunta, itens, true)) return std::vector<int>{};
        return j.Marcados();
    });
}

} // namespace

int EscolheColuna(const std::string& pergunta, const std::vector<std::string>& titulos) {
    if (titulos.size() <= 1) return static_cast<int>(titulos.size());
    return ComJanela([&](TEscolhe_Coluna& j) {
        if (!j.Mostra("Escolhe Coluna", pergunta, titulos, false)) return 0;
        auto marcados = j.Marcados();
        return marcados.empty() ? 0 : marcados.front();
    });
}

std::vector<int> MarcaColunas(const std::string& pergunta, const std::vector<std::string>& titulos) {
    return Marca(pergunta, titulos);
}

std::vector<int> MarcaCamposDBF(const std::vector<std::string>& nomesCampos, const std::string& pergunta) {
    return Marca(pergunta, nomesCampos);
}

} // namespace dorvan

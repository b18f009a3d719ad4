#include "query/ui/TFVerTabela.h"

#include "platform/Erros.h"
#include "platform/Mensagens.h"
#include "platform/Texto1252.h"
#include "platform/db/BancoDados.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QPushButton>
#include <QSqlError>
#include <QSqlTableModel>
#include <QTableView>
#include <QToolButton>
#include <QVBoxLayout>
#include <memory>

namespace dorvan {

TFVerTabela* FVerTabela = nullptr;

namespace {

struct DescricaoBotao {
    const char* nome;
    const char* simbolo;
    const char* dica; // 1252
};
const DescricaoBotao Descricoes[TFVerTabela::NumBotoes] = {
    {"nbFirst", "|<", "Primeiro registro"},    {"nbPrior", "<", "Registro anterior"},
    {"nbNext", ">", "Pr\xF3ximo registro"},    {"nbLast", ">|", "\xDAltimo registro"},
    {"nbInsert", "+", "Insere registro"},      {"nbDelete", "-", "Remove registro"},
    {"nbEdit", "^", "Altera registro"},        {"nbPost", "\xFC", "Efetiva altera\xE7\xE3o"},
    {"nbCancel", "x", "Cancela altera\xE7\xE3o"}, {"nbRefresh", "@", "Atualiza os dados"},
};

} // namespace

TFVerTabela::TFVerTabela(QWidget* pai) : QDialog(pai) {
    setObjectName(QStringLiteral("FVerTabela"));
    setWindowTitle(QStringLiteral("Ver Tabela"));
    setSizeGripEnabled(true);
    resize(640, 420);

    auto* topo = new QHBoxLayout;
    DBNavigator1 = new QWidget(this);
    DBNavigator1->setObjectName(QStringLiteral("DBNavigator1"));
    auto* nav = new QHBoxLayout(DBNavigator1);
    nav->setContentsMargins(0, 0, 0, 0);
    nav->setSpacing(1);
    for (int b = 0; b < NumBotoes; ++b) {
        auto* botao = new QToolButton(DBNavigator1);
        botao->setObjectName(QString::fromLatin1(Descricoes[b].nome));
        botao->setText(ParaQString(Descricoes[b].simbolo));
        botao->setToolTip(ParaQString(Descricoes[b].dica));
        connect(botao, &QToolButton::clicked, this, [this, b] { Navega(static_cast<Botao>(b)); });
        nav->addWidget(botao);
        Botoes[static_cast<std::size_t>(b)] = botao;
    }
    sbAltera = new QToolButton(this);
    sbAltera->setObjectName(QStringLiteral("sbAltera"));
    sbAltera->setText(QStringLiteral("Alterar"));
    sbAltera->setToolTip(QStringLiteral("Alterar o banco de dados!"));
    bFechar = new QPushButton(QStringLiteral("&Retorna"), this);
    bFechar->setObjectName(QStringLiteral("bFechar"));
    bFechar->setAutoDefault(false);
    topo->addWidget(DBNavigator1);
    topo->addWidget(sbAltera);
    topo->addStretch();
    topo->addWidget(bFechar);

    DBGrid1 = new QTableView(this);
    DBGrid1->setObjectName(QStringLiteral("DBGrid1"));
    DBGrid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    auto* v = new QVBoxLayout(this);
    v->addLayout(topo);
    v->addWidget(DBGrid1, 1);

    connect(sbAltera, &QToolButton::clicked, this, [this] { sbAlteraClick(); });
    connect(bFechar, &QPushButton::clicked, this, &QDialog::reject);
    MostraBotoes(false);
    Botoes[Atualiza]->setVisible(true);
}

TFVerTabela::~TFVerTabela() {
    if (FVerTabela == this) FVerTabela = nullptr;
}

void TFVerTabela::DefineModelo(QSqlTableModel* modelo, std::function<void()> aoFechar) {
    modelo_ = modelo;
    aoFechar_ = std::move(aoFechar);
    // Like a data-aware grid: a changed row is written when the user leaves it.
    if (modelo_) modelo_->setEditStrategy(QSqlTableModel::OnRowChange);
    DBGrid1->setModel(modelo_);
    DBGrid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    if (modelo_ && modelo_->rowCount() > 0) DBGrid1->setCurrentIndex(modelo_->index(0, 0));
}

void TFVerTabela::MostraBotoes(bool todos) {
    for (int b = 0; b < NumBotoes; ++b) Botoes[static_cast<std::size_t>(b)]->setVisible(todos || b <= Ultimo);
}

bool TFVerTabela::TodosBotoes() const { return !Botoes[Insere]->isHidden(); }

bool TFVerTabela::GradeEditavel() const { return DBGrid1->editTriggers() != QAbstractItemView::NoEditTriggers; }

void TFVerTabela::sbAlteraClick() { MostraBotoes(!TodosBotoes()); }

void TFVerTabela::DBNavigator1BeforeAction(Botao b) {
    DBGrid1->setEditTriggers(b == Insere || b == Altera ? QAbstractItemView::DoubleClicked |
                                                              QAbstractItemView::EditKeyPressed |
                                                              QAbstractItemView::AnyKeyPressed
                                                        : QAbstractItemView::NoEditTriggers);
}

void TFVerTabela::Posta() {
    if (!modelo_) return;
    // Leaving the cell closes an open editor, which hands over its text.
    const QModelIndex atual = DBGrid1->currentIndex();
    const int linha = atual.row(), coluna = atual.column();
    DBGrid1->setCurrentIndex(QModelIndex());
    if (modelo_->isDirty() && !modelo_->submitAll()) {
        const QString erro = modelo_->lastError().text();
        MensagensAtuais().Mostra(DeQString(erro.isEmpty() ? QStringLiteral("Erro ao gravar o registro") : erro));
    }
    if (linha >= 0 && linha < modelo_->rowCount()) DBGrid1->setCurrentIndex(modelo_->index(linha, coluna));
}

void TFVerTabela::Navega(Botao b) {
    DBNavigator1BeforeAction(b);
    if (!modelo_) return;
    const int linhas = modelo_->rowCount();
    const QModelIndex atual = DBGrid1->currentIndex();
    const int linha = atual.isValid() ? atual.row() : 0;
    const int coluna = atual.isValid() ? atual.column() : 0;
    auto vai = [&](int r) {
        if (r >= 0 && r < modelo_->rowCount()) DBGrid1->setCurrentIndex(modelo_->index(r, coluna));
    };
    switch (b) {
    case Primeiro: vai(0); break;
    case Anterior: vai(linha - 1); break;
    case Proximo: vai(linha + 1); break;
    case Ultimo: vai(linhas - 1); break;
    case Insere: {
        const int r = linhas == 0 ? 0 : linha + 1;
        if (modelo_->insertRow(r)) {
            vai(r);
            DBGrid1->edit(DBGrid1->currentIndex());
        }
        break;
    }
    case Remove:
        if (linhas > 0 && atual.isValid() &&
            MensagensAtuais().SimOuNao("Confirme", "Remove o registro?")) {
            if (!modelo_->removeRow(linha) || (modelo_->isDirty() && !modelo_->submitAll()))
                MensagensAtuais().Mostra(DeQString(modelo_->lastError().text()));
            modelo_->select();
            vai(std::min(linha, modelo_->rowCount() - 1));
        }
        break;
    case Altera:
        if (atual.isValid()) DBGrid1->edit(atual);
        break;
    case Efetiva: Posta(); break;
    case Cancela: modelo_->revertAll(); break;
    case Atualiza:
        Posta();
        modelo_->select();
        vai(std::min(linha, modelo_->rowCount() - 1));
        break;
    case NumBotoes: break;
    }
}

void TFVerTabela::done(int r) {
    // FormClose: what was typed is kept, the table closed, and the next opening browses.
    Posta();
    DBGrid1->setModel(nullptr);
    modelo_ = nullptr;
    if (aoFechar_) {
        auto fecha = std::move(aoFechar_);
        aoFechar_ = nullptr;
        fecha();
    }
    if (TodosBotoes()) sbAlteraClick();
    DBGrid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    QDialog::done(r);
}

void MostraVerTabela(MotorBD& motor, const std::string& alias, const std::string& tabela, bool podeAlterar,
                     QWidget* pai) {
    QSqlTableModel* modelo = nullptr;
    try {
        modelo = motor.CriaModelo(alias, tabela);
    } catch (const std::exception&) {
        MensagensAtuais().Mostra(TextoDoErroParaUsuario(std::current_exception()));
        return;
    }
    std::unique_ptr<TFVerTabela> local;
    TFVerTabela* j = FVerTabela;
    if (!j) {
        local = std::make_unique<TFVerTabela>(pai);
        j = local.get();
    }
    j->setWindowTitle(ParaQString(alias + ":" + tabela));
    j->sbAltera->setVisible(podeAlterar);
    j->DefineModelo(modelo, [&motor, modelo] { motor.LiberaModelo(modelo); });
    j->exec();
}

} // namespace dorvan

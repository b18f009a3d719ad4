#include "query/ui/AuxiliosConsulta.h"

#include "platform/Mensagens.h"
#include "platform/Texto1252.h"
#include "platform/db/BancoDados.h"
#include "query/ArquivoConsulta.h"
#include "query/AuxiliosSQL.h"
#include "query/ui/TOQBForm.h"
#include "query/ui/TfQuery.h"
#include "table/Utilidades.h"

#include <Qsci/qsciscintilla.h>

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QShortcut>
#include <QVBoxLayout>

namespace dorvan {

// The find and replace dialog: one text, or two for replacing, and the options.
class DialogoProcura : public QDialog {
public:
    DialogoProcura(AuxiliosConsulta& aux, QWidget* pai) : QDialog(pai), aux_(aux) {
        setObjectName(QStringLiteral("DialogoProcura"));
        texto = new QLineEdit(this);
        texto->setObjectName(QStringLiteral("edProcura"));
        novo = new QLineEdit(this);
        novo->setObjectName(QStringLiteral("edSubstitui"));
        rotuloNovo = new QLabel(QStringLiteral("Substituir por:"), this);
        maiusculas = new QCheckBox(ParaQString("Diferenciar mai\xFAsculas e min\xFAsculas"), this);
        palavra = new QCheckBox(QStringLiteral("Palavra inteira"), this);
        acima = new QRadioButton(QStringLiteral("Acima"), this);
        abaixo = new QRadioButton(QStringLiteral("Abaixo"), this);
        abaixo->setChecked(true);
        bProxima = new QPushButton(ParaQString("Localizar pr\xF3xima"), this);
        bSubstitui = new QPushButton(QStringLiteral("Substituir"), this);
        bTodas = new QPushButton(QStringLiteral("Substituir todas"), this);
        auto* bCancela = new QPushButton(QStringLiteral("Cancelar"), this);
        bProxima->setDefault(true);
        auto* grade = new QGridLayout;
        grade->addWidget(new QLabel(QStringLiteral("Localizar:"), this), 0, 0);
        grade->addWidget(texto, 0, 1);
        grade->addWidget(rotuloNovo, 1, 0);
        grade->addWidget(novo, 1, 1);
        grade->addWidget(maiusculas, 2, 0, 1, 2);
        grade->addWidget(palavra, 3, 0, 1, 2);
        auto* direcao = new QHBoxLayout;
        direcao->addWidget(new QLabel(ParaQString("Dire\xE7\xE3o:"), this));
        direcao->addWidget(acima);
        direcao->addWidget(abaixo);
        grade->addLayout(direcao, 4, 0, 1, 2);
        auto* botoes = new QVBoxLayout;
        for (QPushButton* b : {bProxima, bSubstitui, bTodas, bCancela})
            botoes->addWidget(b);
        botoes->addStretch();
        auto* tudo = new QHBoxLayout(this);
        tudo->addLayout(grade, 1);
        tudo->addLayout(botoes);
        connect(bProxima, &QPushButton::clicked, this, [this] { aux_.Procura(Texto(), Opcoes()); });
        connect(bSubstitui, &QPushButton::clicked, this,
                [this] { aux_.Substitui(Texto(), DeQString(novo->text()), Opcoes(), false); });
        connect(bTodas, &QPushButton::clicked, this, [this] {
            hide();
            aux_.Substitui(Texto(), DeQString(novo->text()), Opcoes(), true);
        });
        connect(bCancela, &QPushButton::clicked, this, &QDialog::hide);
    }
    void Modo(bool substituir) {
        setWindowTitle(substituir ? QStringLiteral("Substituir") : QStringLiteral("Localizar"));
        for (QWidget* w : std::initializer_list<QWidget*>{rotuloNovo, novo, bSubstitui, bTodas})
            w->setVisible(substituir);
    }
    std::string Texto() const { return DeQString(texto->text()); }
    OpcoesProcura Opcoes() const { return {maiusculas->isChecked(), palavra->isChecked(), acima->isChecked()}; }

    QLineEdit* texto;
    QLineEdit* novo;
    QLabel* rotuloNovo;
    QCheckBox* maiusculas;
    QCheckBox* palavra;
    QRadioButton* acima;
    QRadioButton* abaixo;
    QPushButton* bProxima;
    QPushButton* bSubstitui;
    QPushButton* bTodas;

private:
    AuxiliosConsulta& aux_;
};

namespace {

std::vector<std::string> Entradas(const QListWidget* l) {
    std::vector<std::string> r;
    for (int i = 0; i < l->count(); ++i)
        r.push_back(DeQString(l->item(i)->text()));
    return r;
}

} // namespace

AuxiliosConsulta::AuxiliosConsulta(TfQuery& janela, MotorBD& motor) : QObject(&janela), j_(janela), motor_(motor) {
    setObjectName(QStringLiteral("AuxiliosConsulta"));
    connect(j_.bSoma, &QPushButton::clicked, this, [this] { bSomaClick(); });
    connect(j_.bAgrupa, &QPushButton::clicked, this, [this] { bAgrupaClick(); });
    connect(j_.bOQB, &QPushButton::clicked, this, [this] { bOQBClick(); });
    connect(j_.lbColunas, &QListWidget::itemDoubleClicked, this, [this] { lbColunasDblClick(); });
    connect(j_.lbTabelas, &QListWidget::itemDoubleClicked, this, [this] { lbTabelasDblClick(); });

    j_.lbColunas->setDragEnabled(true);
    j_.lbColunas->setDragDropMode(QAbstractItemView::DragOnly);
    j_.lbTabelas->setDragEnabled(true);
    j_.lbTabelas->setAcceptDrops(true);
    j_.lbTabelas->setDragDropMode(QAbstractItemView::DragDrop);
    j_.Memo1->setAcceptDrops(true);
    for (QWidget* w : {j_.Memo1->viewport(), j_.lbTabelas->viewport(), j_.lbColunas->viewport()})
        w->installEventFilter(this);

    auto* f = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_F), &j_);
    connect(f, &QShortcut::activated, this, [this] { MostraProcura(false); });
    auto* r = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_R), &j_);
    connect(r, &QShortcut::activated, this, [this] { MostraProcura(true); });

    PerguntaBusca = [this]() -> std::optional<std::string> {
        bool ok = false;
        const QString v =
            QInputDialog::getText(&j_, QStringLiteral("Escolha item"), ParaQString("Entre descri\xE7\xE3o"),
                                  QLineEdit::Normal, QString(), &ok);
        if (!ok) return std::nullopt;
        return DeQString(v);
    };
    Construtor = [this](const std::string& alias) { return ExecutaConstrutor(motor_, alias, &j_); };
}

std::string AuxiliosConsulta::Tabela() const {
    const QListWidgetItem* i = j_.lbTabelas->currentItem();
    return i ? TiraExtensaoDBF(DeQString(i->text())) : std::string();
}

void AuxiliosConsulta::Insere(const std::string& texto) { j_.Memo1->replaceSelectedText(ParaQString(texto)); }

std::vector<std::string> AuxiliosConsulta::ColunasSelecionadas(bool qualifica) const {
    std::vector<std::string> r;
    const std::string tabela = Tabela();
    for (int i = 0; i < j_.lbColunas->count(); ++i)
        if (j_.lbColunas->item(i)->isSelected())
            r.push_back(NomeColuna(tabela, DeQString(j_.lbColunas->item(i)->text()), qualifica));
    return r;
}

void AuxiliosConsulta::IncluiTabelaNoFrom(const std::string& tabela) {
    const EdicaoLinha e = dorvan::IncluiTabelaNoFrom(j_.LinhasSQL(), tabela);
    if (!e.muda) return;
    QsciScintilla* m = j_.Memo1;
    int linha = 0, indice = 0;
    m->getCursorPosition(&linha, &indice);
    if (e.novaLinha) {
        const QString atual = m->text();
        const QString antes = atual.isEmpty() || atual.endsWith(QLatin1Char('\n')) ? QString() : QStringLiteral("\n");
        m->append(antes + ParaQString(e.texto));
    } else {
        const long fim =
            m->SendScintilla(QsciScintillaBase::SCI_GETLINEENDPOSITION, static_cast<unsigned long>(e.linha));
        const QByteArray bytes = ParaQString(e.texto).toUtf8();
        m->SendScintilla(QsciScintillaBase::SCI_INSERTTEXT, static_cast<unsigned long>(fim), bytes.constData());
    }
    m->setCursorPosition(linha, indice);
}

void AuxiliosConsulta::lbColunasDblClick() {
    const QListWidgetItem* i = j_.lbColunas->currentItem();
    if (!i) return;
    Insere(j_.SeparadorInsercao + NomeColuna(Tabela(), DeQString(i->text()), j_.cbQualifica->isChecked()));
    j_.SeparadorInsercao = ", ";
}

void AuxiliosConsulta::lbTabelasDblClick() {
    if (!j_.lbTabelas->currentItem()) return;
    Insere(j_.SeparadorInsercao + Tabela());
    j_.SeparadorInsercao = ", ";
}

void AuxiliosConsulta::bSomaClick() {
    const auto colunas = ColunasSelecionadas(j_.cbQualifica->isChecked());
    if (colunas.empty()) return;
    Insere(j_.SeparadorInsercao + TextoSoma(colunas));
    j_.SeparadorInsercao = ", ";
    IncluiTabelaNoFrom(Tabela());
}

void AuxiliosConsulta::bAgrupaClick() {
    const auto colunas = ColunasSelecionadas(j_.cbQualifica->isChecked());
    if (colunas.empty()) return;
    j_.DefineLinhasSQL(TextoAgrupa(Tabela(), colunas));
    j_.Memo1->setCursorPosition(LinhaContagemAgrupa, 0);
}

void AuxiliosConsulta::SoltaNoEditor(QListWidget* origem) {
    if (origem == j_.lbColunas) {
        const auto colunas = ColunasSelecionadas(j_.cbQualifica->isChecked());
        if (colunas.empty()) return;
        Insere(TextoColunasSoltas(j_.LinhasSQL(), colunas));
        IncluiTabelaNoFrom(Tabela());
    } else if (origem == j_.lbTabelas && j_.lbTabelas->currentItem()) {
        IncluiTabelaNoFrom(Tabela());
    }
}

void AuxiliosConsulta::SoltaEmTabela(int linha) {
    const QListWidgetItem* coluna = j_.lbColunas->currentItem();
    if (!coluna || linha < 0 || linha >= j_.lbTabelas->count()) return;
    const std::string t1 = Tabela();
    const std::string c1 = DeQString(coluna->text());
    j_.lbTabelas->setCurrentRow(linha);
    j_.lbTabelasClick();
    const int c = ColunaDaJuncao(Entradas(j_.lbColunas), c1);
    if (c < 0) return;
    j_.lbColunas->clearSelection();
    j_.lbColunas->setCurrentRow(c);
    const std::string t2 = Tabela();
    const std::string condicao = CondicaoJuncao(t1, c1, t2, DeQString(j_.lbColunas->item(c)->text()));
    IncluiTabelaNoFrom(t1);
    IncluiTabelaNoFrom(t2);
    const std::string nova = LinhaJuncao(j_.LinhasSQL(), condicao);
    const QString atual = j_.Memo1->text();
    j_.Memo1->append((atual.isEmpty() || atual.endsWith(QLatin1Char('\n')) ? QString() : QStringLiteral("\n")) +
                     ParaQString(nova));
}

void AuxiliosConsulta::ProcuraNaLista(QListWidget* lista) {
    if (lista->count() == 0 || !PerguntaBusca) return;
    const auto resposta = PerguntaBusca();
    if (!resposta) return;
    const auto achados = ProcuraItens(Entradas(lista), *resposta);
    if (achados.empty()) return;
    if (lista == j_.lbTabelas) {
        lista->setCurrentRow(achados[0]);
        j_.lbTabelasClick();
        return;
    }
    for (int i : achados)
        lista->item(i)->setSelected(true);
    lista->scrollToItem(lista->item(achados[0]));
}

void AuxiliosConsulta::bOQBClick() {
    if (!Construtor) return;
    if (auto linhas = Construtor(DeQString(j_.cbDataBase->currentText()))) j_.DefineLinhasSQL(*linhas);
    // File tables came with their extension; the SQL names them without it.
    std::string texto;
    const auto linhas = j_.LinhasSQL();
    for (std::size_t i = 0; i < linhas.size(); ++i)
        texto += (i ? "\n" : "") + linhas[i];
    const std::string sem = SubstituiTodos(texto, ".dbf", "");
    if (sem != texto) j_.DefineLinhasSQL(SeparaLinhas(sem));
}

bool AuxiliosConsulta::Procura(const std::string& texto, const OpcoesProcura& o) {
    if (texto.empty()) return false;
    const bool achou =
        j_.Memo1->findFirst(ParaQString(texto), false, o.maiusculas, o.palavraInteira, false, !o.paraCima);
    if (!achou) MensagensAtuais().Mostra(MensagemNaoEncontrada(texto));
    return achou;
}

bool AuxiliosConsulta::Substitui(const std::string& texto, const std::string& novo, const OpcoesProcura& o,
                                 bool todas) {
    if (texto.empty()) return false;
    QsciScintilla* m = j_.Memo1;
    const QString alvo = ParaQString(texto);
    const Qt::CaseSensitivity cs = o.maiusculas ? Qt::CaseSensitive : Qt::CaseInsensitive;
    bool fez = false;
    if (m->hasSelectedText() && m->selectedText().compare(alvo, cs) == 0) {
        m->replaceSelectedText(ParaQString(novo));
        fez = true;
    }
    auto proxima = [&] { return m->findFirst(alvo, false, o.maiusculas, o.palavraInteira, false, !o.paraCima); };
    if (!todas) {
        if (proxima()) return true;
        MensagensAtuais().Mostra(MensagemNaoEncontrada(texto));
        return fez;
    }
    // Each search starts after the last replacement, so a new text holding the old one cannot loop.
    while (proxima()) {
        m->replaceSelectedText(ParaQString(novo));
        fez = true;
    }
    if (!fez) MensagensAtuais().Mostra(MensagemNaoEncontrada(texto));
    return fez;
}

void AuxiliosConsulta::MostraProcura(bool substituir) {
    if (!procura_) procura_ = new DialogoProcura(*this, &j_);
    procura_->Modo(substituir);
    if (j_.Memo1->hasSelectedText()) procura_->texto->setText(j_.Memo1->selectedText());
    procura_->show();
    procura_->raise();
    procura_->activateWindow();
}

bool AuxiliosConsulta::eventFilter(QObject* objeto, QEvent* evento) {
    const bool editor = objeto == j_.Memo1->viewport();
    const bool tabelas = objeto == j_.lbTabelas->viewport();
    const bool colunas = objeto == j_.lbColunas->viewport();
    switch (evento->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove: {
        auto* d = static_cast<QDragMoveEvent*>(evento);
        QObject* origem = d->source();
        if (editor && (origem == j_.lbColunas || origem == j_.lbTabelas)) {
            d->acceptProposedAction();
            return true;
        }
        if (tabelas) {
            // Only a column onto a table other than its own.
            const QListWidgetItem* alvo = j_.lbTabelas->itemAt(d->position().toPoint());
            const bool aceita = origem == j_.lbColunas &&
                                (evento->type() == QEvent::DragEnter || (alvo && alvo != j_.lbTabelas->currentItem()));
            if (aceita)
                d->acceptProposedAction();
            else
                d->ignore();
            return true;
        }
        return false;
    }
    case QEvent::Drop: {
        auto* d = static_cast<QDropEvent*>(evento);
        QObject* origem = d->source();
        if (editor && (origem == j_.lbColunas || origem == j_.lbTabelas)) {
            d->acceptProposedAction();
            SoltaNoEditor(static_cast<QListWidget*>(origem));
            return true;
        }
        if (tabelas) {
            const QListWidgetItem* alvo = j_.lbTabelas->itemAt(d->position().toPoint());
            if (origem == j_.lbColunas && alvo && alvo != j_.lbTabelas->currentItem()) {
                d->acceptProposedAction();
                SoltaEmTabela(j_.lbTabelas->row(alvo));
            } else {
                d->ignore();
            }
            return true;
        }
        return false;
    }
    case QEvent::MouseButtonPress:
        if ((tabelas || colunas) && static_cast<QMouseEvent*>(evento)->button() == Qt::RightButton) {
            ProcuraNaLista(tabelas ? j_.lbTabelas : j_.lbColunas);
            return true;
        }
        return false;
    default:
        return false;
    }
}

AuxiliosConsulta* LigaAuxiliosSQL(TfQuery& janela, MotorBD& motor) {
    if (auto* a = janela.findChild<AuxiliosConsulta*>(QStringLiteral("AuxiliosConsulta"), Qt::FindDirectChildrenOnly))
        return a;
    return new AuxiliosConsulta(janela, motor);
}

} // namespace dorvan

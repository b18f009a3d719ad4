#include "table/ui/TInfo.h"

#include "platform/Arquivos.h"
#include "platform/Mensagens.h"
#include "platform/Texto1252.h"
#include "platform/ui/Janelas.h"

#include <QFileDialog>
#include <QFontDatabase>
#include <QKeyEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QPushButton>
#include <QTextBlock>
#include <QVBoxLayout>

namespace dorvan {

TInfo* Info = nullptr;

namespace {
constexpr int kLarguraBotao = 90;
constexpr int kAlturaPainel = 40;
} // namespace

TInfo::TInfo(QWidget* pai) : QDialog(pai, JanelaAuxiliar) {
    setObjectName(QStringLiteral("Info"));
    setWindowTitle(QStringLiteral("Info"));
    Memo = new QPlainTextEdit(this);
    Memo->setObjectName(QStringLiteral("Memo"));
    UsaFonteFixa(Memo);
    Memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo->setLineWrapMode(QPlainTextEdit::NoWrap);

    painel_ = new QWidget(this);
    painel_->setFixedHeight(kAlturaPainel);
    auto botao = [this](const char* texto, const char* dica) {
        auto* b = new QPushButton(QString::fromUtf8(texto), painel_);
        b->setToolTip(QString::fromUtf8(dica));
        b->setFixedWidth(kLarguraBotao);
        b->setAutoDefault(false);
        return b;
    };
    bCopiar = botao("&Copiar", "Copia tudo para o clipboard");
    bSalvar = botao("&Salvar", "Salva em um arquivo");
    bImprimir = botao("&Imprimir", "Imprime resultados");
    bFechar = botao("&Fechar", "Fecha esta janela");
    connect(bCopiar, &QPushButton::clicked, this, &TInfo::Copiar);
    connect(bSalvar, &QPushButton::clicked, this, &TInfo::Salvar);
    connect(bImprimir, &QPushButton::clicked, this, &TInfo::Imprimir);
    connect(bFechar, &QPushButton::clicked, this, &QDialog::close);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(Memo, 1);
    layout->addWidget(painel_);

    PerguntaArquivo = [this] {
        QString nome = QFileDialog::getSaveFileName(this, QString(), QString(), QStringLiteral("Arquivos text (*.txt)"));
        return nome.toStdString();
    };
    resize(600, 420);
}

void TInfo::Limpa() {
    Memo->clear();
    // A caption set for earlier text (a file's structure) would name the wrong thing.
    setWindowTitle(QStringLiteral("Info"));
}

void TInfo::AcrescentaLinha(const std::string& linha) { Memo->appendPlainText(ParaQString(linha)); }

std::vector<std::string> TInfo::Linhas() const {
    std::vector<std::string> linhas;
    if (Memo->document()->isEmpty()) return linhas;
    for (QTextBlock b = Memo->document()->begin(); b.isValid(); b = b.next()) linhas.push_back(DeQString(b.text()));
    return linhas;
}

void TInfo::Copiar() {
    if (!Memo->textCursor().hasSelection()) Memo->selectAll();
    Memo->copy();
}

void TInfo::Salvar() {
    std::string nome = PerguntaArquivo ? PerguntaArquivo() : std::string();
    if (nome.empty()) return;
    std::string texto;
    for (const auto& l : Linhas()) texto += l + "\r\n";
    GravaArquivoInteiro(nome, texto);
    if (isModal()) accept();
}

void TInfo::Imprimir() {
    if (Memo->document()->isEmpty()) return;
    QPrinter impressora;
    if (!ImprimeEm(impressora)) MensagensAtuais().Mostra("Erro na Impress\xE3o.");
}

bool TInfo::ImprimeEm(QPrinter& impressora) {
    if (!impressora.isValid()) return false;
    QPainter p;
    if (!p.begin(&impressora)) return false;
    QFont fonte = FonteFixa(10);
    p.setFont(fonte);
    const int altura = p.fontMetrics().lineSpacing();
    const int fimPagina = p.viewport().height();
    int y = p.fontMetrics().ascent();
    for (const auto& linha : Linhas()) {
        if (y > fimPagina) {
            if (!impressora.newPage()) return false;
            y = p.fontMetrics().ascent();
        }
        p.drawText(0, y, ParaQString(linha));
        y += altura;
    }
    return p.end();
}

void TInfo::resizeEvent(QResizeEvent* e) {
    QDialog::resizeEvent(e);
    PosicionaBotoes();
}

void TInfo::PosicionaBotoes() {
    // Four buttons, five equal gaps.
    const int w = kLarguraBotao;
    const int g = (width() - 4 * w) / 5;
    const int y = (kAlturaPainel - bCopiar->sizeHint().height()) / 2;
    bCopiar->move(g, y);
    bSalvar->move(2 * g + w, y);
    bImprimir->move(3 * g + 2 * w, y);
    bFechar->move(4 * g + 3 * w, y);
}

void TInfo::keyPressEvent(QKeyEvent* e) {
    if (e->key() == Qt::Key_Escape) {
        Salvar();
        return;
    }
    QDialog::keyPressEvent(e);
}

} // namespace dorvan

#include "platform/ui/TSimNao.h"

#include "platform/Texto1252.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <memory>

namespace dorvan {

TSimNao* SimNao = nullptr;

TSimNao::TSimNao(QWidget* pai) : QDialog(pai) {
    setObjectName(QStringLiteral("SimNao"));
    Mensagem = new QLabel(this);
    Mensagem->setObjectName(QStringLiteral("Mensagem"));
    Mensagem->setAlignment(Qt::AlignCenter);
    Mensagem->setWordWrap(true);
    Mensagem->setMinimumWidth(280);
    bSim = new QPushButton(QStringLiteral("&Sim"), this);
    bNao = new QPushButton(QStringLiteral("&Não"), this);
    bSim->setObjectName(QStringLiteral("bSim"));
    bNao->setObjectName(QStringLiteral("bNao"));
    connect(bSim, &QPushButton::clicked, this, &QDialog::accept);
    connect(bNao, &QPushButton::clicked, this, &QDialog::reject);
    auto* botoes = new QHBoxLayout;
    botoes->addStretch();
    botoes->addWidget(bSim);
    botoes->addWidget(bNao);
    botoes->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Mensagem, 1);
    layout->addLayout(botoes);
}

void TSimNao::keyPressEvent(QKeyEvent* e) {
    // The buttons' letters answer alone too, as they do with Alt.
    if (!(e->modifiers() & (Qt::ControlModifier | Qt::MetaModifier))) {
        if (e->key() == Qt::Key_S) {
            bSim->click();
            return;
        }
        if (e->key() == Qt::Key_N) {
            bNao->click();
            return;
        }
    }
    QDialog::keyPressEvent(e);
}

bool TSimNao::Pergunta(const std::string& titulo, const std::string& mensagem) {
    setWindowTitle(ParaQString(titulo.empty() ? std::string("Sim ou N\xE3o?") : titulo));
    Mensagem->setText(ParaQString(mensagem));
    bSim->setDefault(true);
    bSim->setFocus();
    return exec() == QDialog::Accepted;
}

bool SimOuNao(const std::string& titulo, const std::string& mensagem) {
    if (SimNao) return SimNao->Pergunta(titulo, mensagem);
    TSimNao janela(QApplication::activeWindow());
    return janela.Pergunta(titulo, mensagem);
}

} // namespace dorvan

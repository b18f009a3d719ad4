#include "platform/ui/TSimNao.h"

#include "platform/ui/Janelas.h"
#include "support/DirigeJanelas.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

namespace dorvan {
namespace {

struct Visto {
    QString titulo, texto;
    bool simComFoco = false;
    bool fechou = true; // the key closed the box
};

// Answers the box that shows with `tecla` (or a click on the named button) and records what it showed.
void Responde(Visto& visto, const char* botao, Qt::Key tecla = Qt::Key_unknown) {
    teste::QuandoModal([&visto, botao, tecla](QWidget* w) {
        auto* j = qobject_cast<TSimNao*>(w);
        ASSERT_NE(j, nullptr);
        visto.titulo = j->windowTitle();
        visto.texto = j->Mensagem->text();
        visto.simComFoco = j->bSim->hasFocus() || j->focusWidget() == j->bSim;
        // A key goes where the keyboard is: the focused button. A box the key did not
        // close is closed here, so the test fails rather than waits.
        if (tecla != Qt::Key_unknown) {
            QTest::keyClick(j->focusWidget() ? j->focusWidget() : j, tecla);
            QApplication::processEvents();
            visto.fechou = !j->isVisible();
            if (j->isVisible()) j->reject();
        } else {
            j->findChild<QPushButton*>(botao)->click();
        }
    });
}

TEST(TSimNao, AnswersYesOnlyForSimAndTakesEscForNo) {
    struct Caso {
        const char* titulo;
        const char* botao;
        Qt::Key tecla;
        bool resposta;
        QString legenda;
    } casos[] = {
        {"", "bSim", Qt::Key_unknown, true, QStringLiteral("Sim ou Não?")},
        {"Aten\xE7\xE3o!", "bNao", Qt::Key_unknown, false, QStringLiteral("Atenção!")},
        {"", nullptr, Qt::Key_Escape, false, QStringLiteral("Sim ou Não?")},
        {"Sair", nullptr, Qt::Key_Return, true, QStringLiteral("Sair")},
        // The letters of the buttons answer without Alt too (with Alt they are the
        // buttons' own shortcuts).
        {"", nullptr, Qt::Key_S, true, QStringLiteral("Sim ou Não?")},
        {"", nullptr, Qt::Key_N, false, QStringLiteral("Sim ou Não?")},
    };
    for (const auto& c : casos) {
        Visto visto;
        Responde(visto, c.botao, c.tecla);
        EXPECT_EQ(SimOuNao(c.titulo, "Quer mesmo remover o Banco de dados Vendas"), c.resposta)
            << c.titulo << " key " << c.tecla;
        EXPECT_EQ(visto.titulo, c.legenda);
        EXPECT_EQ(visto.texto, QStringLiteral("Quer mesmo remover o Banco de dados Vendas"));
        EXPECT_TRUE(visto.simComFoco);
        EXPECT_TRUE(visto.fechou) << "key " << c.tecla << " left the box open";
    }
}

TEST(TSimNao, TheQtMessagesAskThroughIt) {
    TSimNao janela;
    SimNao = &janela;
    Visto visto;
    Responde(visto, "bSim");
    MensagensQt mensagens;
    EXPECT_TRUE(mensagens.SimOuNao("", "Salvar?"));
    EXPECT_EQ(visto.titulo, QStringLiteral("Sim ou Não?"));
    EXPECT_EQ(janela.bNao->text(), QStringLiteral("&Não"));
    SimNao = nullptr;
}

} // namespace
} // namespace dorvan

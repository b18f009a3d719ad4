#include "data/ui/TfComprime.h"

#include "data/ArquivosDBFTeste.h"
#include "platform/Mensagens.h"
#include "support/ApoioTeste.h"

#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <gtest/gtest.h>

namespace dorvan {
namespace {

namespace fs = std::filesystem;

QStringList Itens(const QListWidget* l) {
    QStringList r;
    for (int i = 0; i < l->count(); ++i)
        r << l->item(i)->text();
    return r;
}

void SelecionaTodos(QListWidget* l) {
    for (int i = 0; i < l->count(); ++i)
        l->item(i)->setSelected(true);
}

TEST(TfComprime, CompressAbortCheckAndRemoveDrivenThroughTheWindow) {
    teste::PastaTemporaria pasta;
    fs::create_directory(pasta / "dbf");
    fs::create_directory(pasta / "dbc");
    for (const char* n : {"a", "b", "c"}) {
        std::vector<std::string> regs;
        for (int i = 0; i < 2000; ++i)
            regs.push_back(std::string(n) + std::to_string(i));
        pasta.Grava(std::string("dbf/") + n + ".dbf", teste::MontaDBF({{"X", 'C', 10}}, regs));
    }
    MensagensRoteiro msg;
    UsaMensagens usa(msg);

    TfComprime janela;
    EXPECT_EQ(janela.windowTitle(), QStringLiteral("Comprime e Expande DBFs"));
    janela.DefineDiretorios(pasta / "dbf", pasta / "dbc");
    janela.show();
    EXPECT_EQ(Itens(janela.DBFList), (QStringList{"a.dbf", "b.dbf", "c.dbf"}));
    EXPECT_EQ(janela.DBCList->count(), 0);
    EXPECT_TRUE(janela.bAborta->isHidden());

    // "&Aborta" is pressed while b.dbf is under way: b is finished, c is not begun.
    struct Visto {
        bool comprimeDesligado = false, abortaVisivel = false, gaugeVisivel = false;
    } visto;
    QTimer vigia;
    vigia.setInterval(0);
    QObject::connect(&vigia, &QTimer::timeout, [&] {
        if (janela.Label3->text() != QStringLiteral("Comprimindo b.dbf") || !janela.bAborta->isEnabled()) return;
        visto = {!janela.bComprime->isEnabled(), janela.bAborta->isVisible(), janela.Gauge1->isVisible()};
        QTest::mouseClick(janela.bAborta, Qt::LeftButton);
    });
    vigia.start();
    SelecionaTodos(janela.DBFList);
    QTest::mouseClick(janela.bComprime, Qt::LeftButton);
    vigia.stop();

    EXPECT_TRUE(visto.comprimeDesligado);
    EXPECT_TRUE(visto.abortaVisivel);
    EXPECT_TRUE(visto.gaugeVisivel);
    EXPECT_EQ(Itens(janela.DBCList), (QStringList{"a.dbc", "b.dbc"}));
    EXPECT_FALSE(fs::exists(pasta / "dbc/c.dbc"));
    EXPECT_TRUE(janela.bComprime->isEnabled());
    EXPECT_TRUE(janela.bAborta->isHidden());
    EXPECT_TRUE(janela.Gauge1->isHidden());
    EXPECT_TRUE(janela.Label3->text().isEmpty());
    EXPECT_FALSE(janela.Lote().AbortoPedido());

    // The CRC check of both lists nothing on the DBF side and writes nothing.
    fs::remove(pasta / "dbf/a.dbf");
    janela.DefineDiretorios(pasta / "dbf", pasta / "dbc");
    SelecionaTodos(janela.DBCList);
    QTest::mouseClick(janela.bTestaCRC, Qt::LeftButton);
    EXPECT_EQ(Itens(janela.DBFList), (QStringList{"b.dbf", "c.dbf"}));
    EXPECT_FALSE(fs::exists(pasta / "dbf/a.dbf"));
    EXPECT_TRUE(msg.Textos().empty());

    // A double click expands; "Rem &DBF" erases b (compressed and checked here)
    // without asking, and keeps c after the question answered No.
    emit janela.DBCList->itemDoubleClicked(janela.DBCList->item(0));
    EXPECT_EQ(Itens(janela.DBFList), (QStringList{"b.dbf", "c.dbf", "a.dbf"}));
    EXPECT_TRUE(fs::exists(pasta / "dbf/a.dbf"));
    janela.DBFList->item(0)->setSelected(true);
    janela.DBFList->item(1)->setSelected(true);
    msg.Responde("1");
    QTest::mouseClick(janela.bRemove, Qt::LeftButton);
    EXPECT_EQ(Itens(janela.DBFList), (QStringList{"c.dbf", "a.dbf"}));
    EXPECT_FALSE(fs::exists(pasta / "dbf/b.dbf"));
    EXPECT_TRUE(fs::exists(pasta / "dbf/c.dbf"));
    EXPECT_EQ(msg.Textos(), (std::vector<std::string>{
                                "Aten\xE7\xE3o! c.dbf n\xE3o foi comprimido ainda! Deseja comprimi-lo agora?"}));
}

} // namespace
} // namespace dorvan

// The assembled program as a whole: nothing left unwired, Qt's own texts in
// Portuguese, the shared windows stacked with the main window, the run log modal
// after a table is opened.
#include "app/ui/ProgramaMontado.h"

#include "data/ui/TfComprime.h"
#include "maps/ui/TMapa.h"
#include "platform/Erros.h"
#include "platform/ui/TSimNao.h"
#include "table/LogExecucao.h"
#include "table/ui/TEscolhe_Coluna.h"
#include "table/ui/TFEscolheDiretorio.h"
#include "table/ui/TInfo.h"
#include "table/ui/TLog.h"
#include "tabulation/ui/TTabula.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QCoreApplication>
#include <QFileDialog>
#include <cerrno>
#include <stdexcept>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

using namespace dorvan;
using namespace dorvan::teste;
using ::testing::Contains;
using ::testing::HasSubstr;
using ::testing::IsEmpty;

TEST(Montagem, LeavesNoHookOrCommandOfTheMainWindowUnset) {
    TForm1& f = Principal();
    EXPECT_THAT(f.GanchosFaltando(), IsEmpty());

    // The check sees a hook the assembly would have forgotten.
    const EscolheCamposDBF campos = std::exchange(f.EscolheCampos, nullptr);
    const auto mostraLog = std::exchange(Ganchos().MostraLog, nullptr);
    EXPECT_THAT(f.GanchosFaltando(), Contains("EscolheCampos"));
    EXPECT_THAT(f.GanchosFaltando(), Contains("Ganchos().MostraLog"));
    f.EscolheCampos = campos;
    Ganchos().MostraLog = mostraLog;
    EXPECT_THAT(f.GanchosFaltando(), IsEmpty());
}

TEST(Montagem, LeavesNoHookOfAnyWindowUnset) {
    EXPECT_THAT(Programa().GanchosFaltando(), IsEmpty());
    ASSERT_NE(Tabula, nullptr);
    ASSERT_NE(Mapa, nullptr);

    // The check sees a hook of the map window the assembly would have forgotten.
    const auto soltar = std::exchange(Mapa->AoSoltar, nullptr);
    EXPECT_THAT(Programa().GanchosFaltando(), Contains("TMapa::AoSoltar"));
    Mapa->AoSoltar = soltar;
    EXPECT_THAT(Programa().GanchosFaltando(), IsEmpty());
}

TEST(Montagem, AStartUpErrorIsShownAndEndsTheProgramWithAStatus) {
    Programa();
    Msgs().textos.clear();
    EXPECT_EQ(ExecutaPrograma([] { return 3; }), 3);
    EXPECT_EQ(ExecutaPrograma([]() -> int { throw ErroES::DoSistema("/tmp/Dorvan.ini", EACCES); }), 70);
    ASSERT_EQ(Msgs().textos.size(), 1u);
    EXPECT_THAT(Msgs().textos[0], HasSubstr("N\xE3o foi poss\xEDvel iniciar o Dorvan"));
    EXPECT_THAT(Msgs().textos[0], HasSubstr("/tmp/Dorvan.ini"));
    EXPECT_EQ(ExecutaPrograma([]() -> int { throw std::logic_error("Montagem incompleta: X"); }), 70);
    Msgs().textos.clear();
}

TEST(Montagem, QtsOwnTextsArePortuguese) {
    Programa();
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("Cancelar"));
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Save"), QStringLiteral("Salvar"));

    // The file dialog of "Abrir tabela", as the user sees it.
    Prepara(Estado::SemTabela);
    QStringList botoes;
    const Efeito e = Dispara(Principal().Acao(QStringLiteral("Abrir1")), [&botoes](QWidget* w) {
        for (QAbstractButton* b : w->findChildren<QAbstractButton*>())
            if (b->isVisible() && !b->text().isEmpty()) botoes << b->text().remove(QLatin1Char('&'));
        static_cast<QFileDialog*>(w)->reject();
    });
    ASSERT_THAT(e.dialogos, Contains(HasSubstr("QFileDialog \"Abrir tabela\"")));
    EXPECT_TRUE(botoes.contains(QStringLiteral("Cancelar"))) << botoes.join(QLatin1Char(',')).toStdString();
    EXPECT_TRUE(botoes.contains(QStringLiteral("Abrir"))) << botoes.join(QLatin1Char(',')).toStdString();
    EXPECT_FALSE(botoes.contains(QStringLiteral("Cancel")));
}

TEST(Montagem, SharedWindowsBelongToTheMainWindowAndNoneStaysAboveADialog) {
    TForm1& f = Principal();
    const std::vector<QWidget*> janelas = {Log, Info, SimNao, Escolhe_Coluna, FEscolheDiretorio, fComprime};
    for (QWidget* w : janelas) {
        ASSERT_NE(w, nullptr);
        EXPECT_EQ(w->parentWidget(), &f) << w->objectName().toStdString();
        EXPECT_FALSE(w->windowFlags() & Qt::WindowStaysOnTopHint) << w->objectName().toStdString();
        // A dialog of the main window, so the window manager keeps it above that window.
        EXPECT_EQ(w->windowType(), Qt::Dialog) << w->objectName().toStdString();
    }

    // The log left open by a tabulation, then "Imprimir": the print dialog belongs to
    // the main window, and the log cannot cover it.
    Prepara(Estado::ComTabela);
    LogAtual().DefineLinhas({"Arquivos: DOSP2020.DBC"});
    Log->show();
    QWidget* dono = nullptr;
    const Efeito e = Dispara(f.Acao(QStringLiteral("Imprime1")), [&dono](QWidget* w) {
        dono = w->parentWidget() ? w->parentWidget()->window() : nullptr;
        w->close();
    });
    ASSERT_FALSE(e.dialogos.empty()) << e.Descreve();
    EXPECT_EQ(dono, &f) << e.Descreve();
    Log->hide();

    // Nor does any other window of the program: the chart and the DBF browser opened
    // from the main window, and whatever else exists by now.
    for (const char* acao : {"Mostrargrfico1", "VerDBF1"}) {
        std::vector<QWidget*> janelasAbertas;
        Prepara(Estado::ComTabela);
        QAction* a = f.Acao(QString::fromLatin1(acao));
        a->trigger();
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->isVisible() && w != &f) janelasAbertas.push_back(w);
        EXPECT_FALSE(janelasAbertas.empty()) << acao;
        for (QWidget* w : janelasAbertas) {
            EXPECT_EQ(w->parentWidget(), &f) << acao;
            EXPECT_EQ(w->windowType(), Qt::Dialog) << acao;
            w->close();
        }
    }
    for (QWidget* w : QApplication::topLevelWidgets())
        EXPECT_FALSE(w->windowFlags() & Qt::WindowStaysOnTopHint) << w->metaObject()->className();
}

TEST(Montagem, OpeningATableWithARunLogShowsTheLogModally) {
    const std::string tab = Pasta().Grava("comlog.tab", "Titulo1=Casos\r\n"
                                                        "Arquivos: DOSP2020.DBC\r\n"
                                                        "\"Regi\xE3o\";\"Casos\"\r\n"
                                                        "\"Norte\";10\r\n"
                                                        "\"Sul\";20\r\n"
                                                        "\"Total\";30\r\n");
    Prepara(Estado::SemTabela);
    LogAtual().DefineMostraAoAbrir(true);
    bool logModal = false;
    const Efeito e = Dispara(Principal().Acao(QStringLiteral("Abrir1")), [&](QWidget* w) {
        if (auto* d = qobject_cast<QFileDialog*>(w)) return RespostaArquivo(tab)(d);
        if (w == Log) logModal = true;
        w->close();
    });
    EXPECT_EQ(Principal().Tabela().NumLinhas, 2);
    EXPECT_TRUE(logModal) << e.Descreve();
    EXPECT_THAT(e.janelas, IsEmpty()) << "the log must not stay open behind the program";
}

TEST(Montagem, OpeningATableWithARunLogClosesTheLogLeftOpenEvenWhenNotToShowIt) {
    const std::string tab = Pasta().Grava("outrolog.tab", "Titulo1=Casos\r\n"
                                                          "Arquivos: DOSP2021.DBC\r\n"
                                                          "\"Regi\xE3o\";\"Casos\"\r\n"
                                                          "\"Norte\";10\r\n"
                                                          "\"Sul\";20\r\n"
                                                          "\"Total\";30\r\n");
    Prepara(Estado::ComTabela);
    LogAtual().DefineLinhas({"Arquivos: DOSP2020.DBC"});
    Log->show(); // left open by a tabulation, with the old table's log
    LogAtual().DefineMostraAoAbrir(false);
    const Efeito e = Dispara(Principal().Acao(QStringLiteral("Abrir1")), [&](QWidget* w) {
        if (auto* d = qobject_cast<QFileDialog*>(w)) return RespostaArquivo(tab)(d);
        w->close();
    });
    const bool aberto = Log->isVisible();
    Log->hide();
    LogAtual().DefineMostraAoAbrir(true);
    EXPECT_EQ(Principal().Tabela().NumLinhas, 2) << e.Descreve();
    EXPECT_EQ(Principal().LinhasLog(), (std::vector<std::string>{"Arquivos: DOSP2021.DBC"}));
    EXPECT_FALSE(aberto) << "the old log stayed open over the new table";
    EXPECT_EQ(e.dialogos.size(), 1u) << e.Descreve();
}

TEST(Montagem, KeysAndButtonsFindEveryItemAsItsMenuShowsIt) {
    // A shortcut or a tool button reaches an item without opening its menu: the item
    // must already be as the menu shows it, in every table state and after each.
    std::vector<QAction*> itens;
    for (const char* menu : {"Arquivo1", "Editar1", "Operaes1", "Estatstica1", "Quadros1", "Grafico1", "Ajuda1"})
        for (QAction* a : AcoesDoMenu(menu))
            itens.push_back(a);
    for (Estado estado : {Estado::SemTabela, Estado::ComTabela, Estado::UmaColuna, Estado::SemTabela}) {
        Prepara(estado);
        std::vector<std::string> antes;
        for (QAction* a : itens)
            antes.push_back(a->objectName().toStdString() + (a->isEnabled() ? " enabled" : " disabled"));
        for (QAction* a : itens)
            AbreMenusDe(a);
        for (std::size_t i = 0; i < itens.size(); ++i)
            EXPECT_EQ(antes[i], itens[i]->objectName().toStdString() +
                                    (itens[i]->isEnabled() ? " enabled" : " disabled"))
                << NomeEstado(estado);
    }
    Prepara(Estado::SemTabela);
}

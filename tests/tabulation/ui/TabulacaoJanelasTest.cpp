// The tabulation dialog, the open-DEF dialog, the field chooser and the CNV link
// dialog, driven offscreen.
#include "tabulation/ApoioTabulacao.h"
#include "table/Configuracao.h"
#include "table/LogExecucao.h"
#include "table/Utilidades.h"
#include "table/ui/TForm1.h"
#include "tabulation/ui/TAbreDEF.h"
#include "tabulation/ui/TDualListDlg.h"
#include "tabulation/ui/TTabula.h"
#include "tabulation/ui/TfLigaCNV.h"

#include "support/DirigeJanelas.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTreeView>
#include <filesystem>
#include <stdexcept>
#include <gtest/gtest.h>

namespace dorvan::teste {
namespace {

// The dialog's links to the browser and to the SQL window, doing nothing.
LigacoesTabula Ligacoes() {
    return {.AbreNoBrowser = [](const std::string&) {}, .ImportaDados = [](const std::string&, const std::string&) {}};
}

// A fresh dialog of the program, as the assembly builds it.
void NovaTabula() {
    delete Tabula;
    Tabula = new TTabula(Ligacoes());
}

// "E", "S" and "C" for "E&xecutar", "Sai&r" and "&Cancelar" when enabled, "-" when not.
std::string EstadoDosBotoes(const TTabula& t) {
    return std::string(t.bExecute->isEnabled() ? "E" : "-") + (t.bSair->isEnabled() ? "S" : "-") +
           (t.bCancelar->isEnabled() ? "C" : "-");
}

// Notes each message with the dialog's buttons as they are while it is shown.
struct AnotaBotoes : MensagensRoteiro {
    explicit AnotaBotoes(const TTabula& t) : janela(t) {}
    void Mostra(const std::string& texto) override {
        vistos.push_back(texto + " " + EstadoDosBotoes(janela));
        MensagensRoteiro::Mostra(texto);
    }
    const TTabula& janela;
    std::vector<std::string> vistos;
};

class JanelaTabula : public TabulacaoTeste {
protected:
    void SetUp() override {
        TabulacaoTeste::SetUp();
        GravaDados("A.DBF", RegistrosA());
        GravaDados("B.DBF", RegistrosA());
        if (!Tabula) NovaTabula();
    }
    static QStringList Textos(QListWidget* l) {
        QStringList r;
        for (int i = 0; i < l->count(); ++i) r << l->item(i)->text();
        return r;
    }
};

TEST_F(JanelaTabula, ChoicesInTheDialogRunIntoTheResultsTableAndSurviveTheSameDef) {
    TTabula janela(Ligacoes());
    janela.CarregaDEF(arquivoDef);
    EXPECT_EQ(janela.windowTitle().toStdString(), arquivoDef);
    EXPECT_EQ(Textos(janela.ListArquivos), (QStringList{"A.DBF", "B.DBF"}));
    EXPECT_EQ(janela.ListIncr->item(0)->text(), QString::fromUtf8("Freq\u00FC\u00EAncia        "));
    EXPECT_TRUE(janela.ListIncr->item(0)->isSelected());
    EXPECT_EQ(janela.ListColunas->item(0)->text(), QString::fromUtf8("N\u00E3o ativa"));
    EXPECT_TRUE(janela.bCancelar->isEnabled() == false);

    janela.ListLinha->setCurrentRow(Item(janela.Def().ListLinha, "Sexo"));
    janela.ListColunas->setCurrentRow(Item(janela.Def().ListColunas, "Faixa etaria"));
    janela.ListArquivos->item(1)->setSelected(true);
    janela.ListInicial->setCurrentRow(Item(janela.Def().ListInicial, "Faixa etaria"));
    janela.bInclui->click();
    ASSERT_EQ(janela.ListSelecao->count(), 1);
    EXPECT_EQ(Textos(janela.ListCategSel), (QStringList{"0-19", "20-59", "60+"}));
    janela.ListCategSel->item(1)->setSelected(true);
    janela.ListCategSel->item(2)->setSelected(true);
    janela.bExecute->click();
    EXPECT_EQ(janela.UltimoResultado().Fim, FimTabulacao::Pronta);
    EXPECT_EQ(janela.UltimoResultado().RegistrosLidos, 10);
    const TabelaResultados& tab = TabelaAtual();
    ASSERT_EQ(tab.NumLinhas, 2);
    ASSERT_EQ(tab.NumColunas(), 3); // 20-59, 60+ and Total
    EXPECT_EQ(tab.NomeColuna(3), "Total");
    EXPECT_EQ(tab.Dado(1, 1), 2);
    EXPECT_EQ(tab.Dado(3, 2), 4);
    EXPECT_TRUE(janela.bExecute->isEnabled());
    EXPECT_FALSE(janela.bCancelar->isEnabled());

    // The same DEF again keeps the active selection and its marks.
    janela.CarregaDEF(arquivoDef);
    EXPECT_EQ(janela.ListSelecao->count(), 1);
    janela.ListSelecao->setCurrentRow(0);
    janela.ListSelecaoClick();
    EXPECT_FALSE(janela.ListCategSel->item(0)->isSelected());
    EXPECT_TRUE(janela.ListCategSel->item(2)->isSelected());
    janela.bExclui->click();
    EXPECT_EQ(janela.ListSelecao->count(), 0);
    EXPECT_EQ(janela.ListInicial->count(), 3);
}

TEST_F(JanelaTabula, SearchesByRightButtonAndInTheCategoryList) {
    TTabula janela(Ligacoes());
    janela.CarregaDEF(arquivoDef);
    janela.Procura(janela.ListLinha, QStringLiteral("faixa"));
    EXPECT_EQ(janela.ListLinha->currentRow(), Item(janela.Def().ListLinha, "Faixa etaria"));
    janela.ListIncr->clearSelection();
    janela.Procura(janela.ListIncr, QStringLiteral("a"));
    EXPECT_TRUE(janela.ListIncr->item(1)->isSelected()); // "Valor"
    EXPECT_TRUE(janela.ListIncr->item(2)->isSelected()); // "Dias"
    janela.ListInicial->setCurrentRow(Item(janela.Def().ListInicial, "Sexo"));
    janela.bInclui->click();
    EXPECT_TRUE(janela.FindDialog1Find(QStringLiteral("FEMI"), true, false));
    EXPECT_EQ(janela.ListCategSel->currentRow(), 1);
    EXPECT_FALSE(janela.FindDialog1Find(QStringLiteral("masc"), true, false)); // above the current line
    EXPECT_TRUE(janela.FindDialog1Find(QStringLiteral("masc"), false, false));
    EXPECT_EQ(janela.ListCategSel->currentRow(), 0);
    EXPECT_FALSE(janela.FindDialog1Find(QStringLiteral("FEMI"), true, true)); // case told apart
    janela.bLocalizar->click();
    ASSERT_NE(janela.FindDialog1, nullptr);
    janela.FindDialog1->findChild<QLineEdit*>(QStringLiteral("Texto"))->setText(QStringLiteral("fem"));
    for (auto* b : janela.FindDialog1->findChildren<QPushButton*>())
        if (b->text().startsWith(QStringLiteral("Localizar"))) b->click();
    EXPECT_EQ(janela.ListCategSel->currentRow(), 1);
    janela.reject();
    EXPECT_FALSE(janela.FindDialog1->isVisible());
    EXPECT_FALSE(janela.FindDialog1Find(QStringLiteral("xyz"), true, false));
    EXPECT_EQ(msgs.Textos().back(), "\"xyz\" n\xE3o encontrado!");
}

TEST_F(JanelaTabula, HelpButtonOpensAnHtmlHelpBesideTheDefAndExplainsAnHlpOne) {
    std::string aberto;
    DefineAbridorDocumentos([&](const std::string& a) {
        aberto = a;
        return 33;
    });
    pasta.Grava("obitos.htm", "<html></html>");
    pasta.Grava("obitos.hlp", "?");
    GravaDef({";Obitos de teste", "?obitos.htm", "LSexo,SEXO,SEXO.CNV", "Adados/*.*"});
    {
        TTabula janela(Ligacoes());
        janela.CarregaDEF(arquivoDef);
        EXPECT_TRUE(janela.bAjuda->isVisibleTo(&janela));
        // Opened from elsewhere: the name is taken in the DEF's folder, not in the current one.
        const QString antes = QDir::currentPath();
        QDir::setCurrent(QDir::tempPath());
        janela.bAjuda->click();
        QDir::setCurrent(antes);
        EXPECT_EQ(std::filesystem::path(aberto), pasta.Caminho() / "obitos.htm");
        EXPECT_TRUE(msgs.Textos().empty());
    }
    aberto.clear();
    GravaDef({";Obitos de teste", "Hobitos.hlp", "LSexo,SEXO,SEXO.CNV", "Adados/*.*"});
    {
        TTabula janela(Ligacoes());
        janela.CarregaDEF(arquivoDef);
        janela.bAjuda->click();
        EXPECT_TRUE(aberto.empty());
        ASSERT_EQ(msgs.Textos().size(), 1u);
        EXPECT_EQ(msgs.Textos()[0], "O arquivo de ajuda " + (pasta.Caminho() / "obitos.hlp").string() +
                                        " est\xE1 no formato .hlp, que n\xE3o tem visualizador neste sistema. "
                                        "Use uma ajuda em HTML (.htm).");
    }
    DefineAbridorDocumentos([](const std::string&) { return 33; });
}

TEST_F(JanelaTabula, CommandOpensTheDialogAndReturnsTheTable) {
    bool vista = false;
    QuandoModal([&](QWidget* w) {
        auto* j = qobject_cast<TTabula*>(w);
        ASSERT_NE(j, nullptr);
        vista = true;
        j->bExecute->click();
    });
    EXPECT_TRUE(AbreTabulacao(arquivoDef));
    EXPECT_TRUE(vista);
    EXPECT_TRUE(TabelaAtual().Modificada);
    EXPECT_EQ(TabelaAtual().NumColunas(), 1);
    // "Sai&r" leaves without a table.
    QuandoModal([](QWidget* w) { qobject_cast<TTabula*>(w)->bSair->click(); });
    EXPECT_FALSE(AbreTabulacao(arquivoDef));
    delete Tabula;
    Tabula = nullptr;
}

TEST_F(JanelaTabula, TheFirstOpenDefDialogStartsInTheDataFolder) {
    NovaTabula();
    PastaTemporaria dados;
    dados.Grava("outro.def", ";Outro\r\nLX,X,X.CNV\r\n");
    const std::string antes = ConfiguracaoAtual().DirDados;
    ConfiguracaoAtual().DirDados = dados.Caminho().string() + "/";
    std::string vista;
    int arquivos = -1;
    QuandoModal([&](QWidget* w) {
        auto* d = qobject_cast<TAbreDEF*>(w);
        ASSERT_NE(d, nullptr);
        vista = d->Pasta();
        arquivos = d->FileListBox1->count();
        d->bSair->click();
    });
    EXPECT_FALSE(ComandoTabulacao());
    ConfiguracaoAtual().DirDados = antes;
    std::error_code e;
    EXPECT_TRUE(std::filesystem::equivalent(vista, dados.Caminho(), e)) << vista;
    EXPECT_EQ(arquivos, 1);
}

// The open table stays through a file that is no DEF, a dialog left with "Sai&r"
// and a refused replacement; a run replaces it only once its own table is ready.
TEST_F(JanelaTabula, TheOpenTableStaysUntilARunHasItsReplacement) {
    NovaTabula();
    TabelaResultados& atual = TabelaAtual();
    atual.AlocaLinhas(2, 2);
    atual.Rotulo(1) = "Velha";
    AcrescentaColuna(atual, "V", 0);
    LogAtual().DefineLinhas({"log da velha"});
    auto velha = [] { return TabelaAtual().NumLinhas == 2 && TabelaAtual().Rotulo(1) == "Velha"; };
    int chamadas = 0;
    bool velhaAoSubstituir = false;
    bool aceita = true;
    auto antes = [&] {
        ++chamadas;
        velhaAoSubstituir = velha();
        return aceita;
    };

    const std::string lixo = pasta.Grava("lixo.def", "isto nao e um arquivo de definicao\r\n");
    EXPECT_FALSE(AbreTabulacao(lixo, nullptr, antes));
    EXPECT_EQ(chamadas, 0);
    EXPECT_TRUE(velha());
    EXPECT_EQ(LogAtual().Linhas(), std::vector<std::string>{"log da velha"});

    QuandoModal([](QWidget* w) { qobject_cast<TTabula*>(w)->bSair->click(); });
    EXPECT_FALSE(AbreTabulacao(arquivoDef, nullptr, antes));
    EXPECT_EQ(chamadas, 0);
    EXPECT_TRUE(velha());

    aceita = false; // the user cancelled the save of the open table
    QuandoModal([](QWidget* w) {
        auto* j = qobject_cast<TTabula*>(w);
        j->bExecute->click();
        EXPECT_TRUE(j->isVisible());
        j->bSair->click();
    });
    EXPECT_FALSE(AbreTabulacao(arquivoDef, nullptr, antes));
    EXPECT_EQ(chamadas, 1);
    EXPECT_TRUE(velha());

    aceita = true;
    QuandoModal([](QWidget* w) { qobject_cast<TTabula*>(w)->bExecute->click(); });
    EXPECT_TRUE(AbreTabulacao(arquivoDef, nullptr, antes));
    EXPECT_EQ(chamadas, 2);
    EXPECT_TRUE(velhaAoSubstituir);
    EXPECT_FALSE(velha());
    EXPECT_EQ(TabelaAtual().NumColunas(), 1);
    EXPECT_EQ(LogAtual().Linhas().front(), "[op\xE7\xF5"
                                           "es]");
    TabelaAtual() = TabelaResultados();
    LogAtual().Limpa();
    delete Tabula;
    Tabula = nullptr;
}

TEST_F(JanelaTabula, TheChosenFixedFontReachesTheLists) {
    TabelaResultados tabela;
    Configuracao cfg;
    TForm1 form(tabela, cfg);
    TTabula antes(Ligacoes());
    cfg.FonteFixa = "Mono Teste";
    form.AplicaFonteFixa();
    TTabula depois(Ligacoes());
    for (TTabula* j : {&antes, &depois}) {
        for (QListWidget* l :
             {j->ListLinha, j->ListColunas, j->ListIncr, j->ListInicial, j->ListSelecao, j->ListArquivos})
            EXPECT_EQ(l->font().family(), QStringLiteral("Mono Teste")) << l->objectName().toStdString();
        EXPECT_NE(j->ListCategSel->font().family(), QStringLiteral("Mono Teste"));
    }
    cfg.FonteFixa = "Courier New";
    form.AplicaFonteFixa();
}

TEST_F(JanelaTabula, RecordExportGoesThroughTheFieldChooser) {
    std::string aberto;
    LigacoesTabula ligacoes = Ligacoes();
    ligacoes.AbreNoBrowser = [&](const std::string& n) { aberto = n; };
    TTabula janela(ligacoes);
    janela.CarregaDEF(arquivoDef);
    janela.ListLinha->setCurrentRow(0);
    janela.cbGrava->setChecked(true);
    const std::string saida = pasta / "saida.dbf";
    janela.PerguntaArquivoSaida = [&](std::string& n) {
        n = saida;
        return true;
    };
    QuandoModal([](QWidget* w) {
        auto* d = qobject_cast<TDualListDlg*>(w);
        ASSERT_NE(d, nullptr);
        d->SrcList->item(3)->setSelected(true); // UF
        d->IncludeBtn->click();
        d->OKBtn->click();
    });
    janela.bExecute->click();
    EXPECT_EQ(aberto, saida);
    EXPECT_EQ(janela.UltimoResultado().RegistrosExportados, 5);
    EXPECT_FALSE(janela.cbGrava->isChecked());
}

// "E&xecutar" and "Sai&r" stay on and "&Cancelar" off until the files are read:
// while a check's message is shown, while the export's file is asked for, and again
// when the cancel is reported.
TEST_F(JanelaTabula, ButtonsSwitchOnlyWhileTheFilesAreRead) {
    TTabula janela(Ligacoes());
    janela.Threads = 1;
    janela.CarregaDEF(arquivoDef);
    auto estado = [&janela] { return EstadoDosBotoes(janela); };
    AnotaBotoes anota(janela);
    UsaMensagens usa(anota);

    janela.ListLinha->setCurrentRow(0);
    janela.ListArquivos->clearSelection();
    janela.bExecute->click(); // no file chosen
    janela.ListArquivos->item(0)->setSelected(true);
    janela.cbGrava->setChecked(true);
    std::string aoPerguntar;
    janela.PerguntaArquivoSaida = [&](std::string&) {
        aoPerguntar = estado();
        return false; // no export: the run goes on
    };
    std::string aoLer;
    QTimer::singleShot(0, &janela, [&] { aoLer = estado(); });
    janela.bExecute->click();
    EXPECT_EQ(aoPerguntar, "ES-");
    EXPECT_EQ(aoLer, "--C");
    EXPECT_EQ(janela.UltimoResultado().Fim, FimTabulacao::Pronta);
    EXPECT_EQ(anota.vistos, std::vector<std::string>{"Nenhum arquivo selecionado! ES-"});
    EXPECT_EQ(estado(), "ES-");
}

// Without the browser the export would open nowhere; without the import,
// "Importa dados" would have nothing to run: the dialog is not built.
TEST_F(JanelaTabula, ADialogWithoutItsLinksIsRefused) {
    LigacoesTabula semBrowser = Ligacoes();
    semBrowser.AbreNoBrowser = nullptr;
    EXPECT_THROW(TTabula janela(semBrowser), std::invalid_argument);
    LigacoesTabula semImportacao = Ligacoes();
    semImportacao.ImportaDados = nullptr;
    EXPECT_THROW(TTabula janela(semImportacao), std::invalid_argument);
    // Nor does the command build a dialog of its own without them.
    delete Tabula;
    Tabula = nullptr;
    EXPECT_THROW(AbreTabulacao(arquivoDef), std::logic_error);
    EXPECT_EQ(Tabula, nullptr);
}

TEST_F(JanelaTabula, AWrittenExportIsUntickedAlsoWhenEveryRowWasSuppressed) {
    TTabula janela(Ligacoes());
    janela.CarregaDEF(arquivoDef);
    janela.ListLinha->setCurrentRow(0);
    janela.cbSupLin->setChecked(true);
    janela.cbGrava->setChecked(true);
    const std::string saida = pasta / "vazia.dbf";
    janela.PerguntaArquivoSaida = [&](std::string& n) {
        n = saida;
        return true;
    };
    // Men of 60 or more: no record passes both selections.
    janela.ListInicial->setCurrentRow(Item(janela.Def().ListInicial, "Sexo"));
    janela.bInclui->click();
    janela.ListCategSel->item(0)->setSelected(true);
    janela.ListCategSelExit();
    janela.ListInicial->setCurrentRow(Item(janela.Def().ListInicial, "Faixa etaria"));
    janela.bInclui->click();
    janela.ListCategSel->item(2)->setSelected(true);
    QuandoModal([](QWidget* w) {
        auto* d = qobject_cast<TDualListDlg*>(w);
        ASSERT_NE(d, nullptr);
        d->SrcList->item(0)->setSelected(true);
        d->IncludeBtn->click();
        d->OKBtn->click();
    });
    janela.bExecute->click();
    EXPECT_EQ(janela.UltimoResultado().Fim, FimTabulacao::Suprimida);
    EXPECT_EQ(janela.UltimoResultado().ArquivoExportado, saida);
    EXPECT_EQ(janela.UltimoResultado().RegistrosExportados, 0);
    EXPECT_FALSE(janela.cbGrava->isChecked());
}

// Esc and the close box act as "&Cancelar" while a run goes on: the file being read
// is finished, the later ones are skipped, and the table read so far is shown.
TEST_F(JanelaTabula, EscOrClosingDuringARunCancelsIt) {
    std::vector<Reg> muitos;
    for (int i = 0; i < 40000; ++i) muitos.push_back(RegistrosA()[static_cast<std::size_t>(i % 6)]);
    for (int f = 0; f < 6; ++f) GravaDados("G" + std::to_string(f) + ".DBF", muitos);
    for (int modo = 0; modo < 2; ++modo) {
        TTabula janela(Ligacoes());
        janela.Threads = 1;
        janela.CarregaDEF(arquivoDef);
        janela.show();
        janela.ListLinha->setCurrentRow(0);
        janela.ListArquivos->clearSelection();
        for (int i = 0; i < janela.ListArquivos->count(); ++i)
            if (janela.ListArquivos->item(i)->text().startsWith(QLatin1Char('G'))) janela.ListArquivos->item(i)->setSelected(true);
        QTimer::singleShot(0, &janela, [&janela, modo] {
            if (modo == 0)
                QTest::keyClick(&janela, Qt::Key_Escape);
            else
                janela.close();
        });
        AnotaBotoes anota(janela);
        UsaMensagens usa(anota);
        janela.bExecute->click();
        EXPECT_TRUE(janela.UltimoResultado().Cancelada) << modo;
        EXPECT_LT(janela.UltimoResultado().RegistrosLidos, 6 * 40000 * 5 / 6) << modo;
        // The cancel is told with the dialog ready for the next run.
        EXPECT_EQ(anota.vistos, std::vector<std::string>{"Tabula\xE7\xE3o cancelada ES-"});
    }
}

TEST(TDualListDlg, MovedItemsArriveLastFirstAndButtonsFollowTheLists) {
    TDualListDlg d;
    for (const char* n : {"A", "B", "C", "D", "E"}) d.SrcList->addItem(QString::fromLatin1(n));
    d.SetButtons();
    EXPECT_FALSE(d.ExcludeBtn->isEnabled());
    d.SrcList->item(1)->setSelected(true);
    d.SrcList->item(3)->setSelected(true);
    d.IncludeBtn->click();
    ASSERT_EQ(d.DstList->count(), 2);
    EXPECT_EQ(d.DstList->item(0)->text(), "D");
    EXPECT_EQ(d.DstList->item(1)->text(), "B");
    EXPECT_TRUE(d.SrcList->item(1)->isSelected()); // the remembered position: now "C"
    EXPECT_TRUE(d.ExcludeBtn->isEnabled());
    d.IncAllBtn->click();
    EXPECT_EQ(d.SrcList->count(), 0);
    EXPECT_FALSE(d.IncludeBtn->isEnabled());
    d.ExAllBtn->click();
    EXPECT_EQ(d.SrcList->count(), 5);
    EXPECT_EQ(d.SrcList->item(0)->text(), "D");
}

TEST(TAbreDEF, ShowsTheTitleOfTheSelectedDef) {
    PastaTemporaria pasta;
    pasta.Grava("a.def", ";Casos por municipio\r\nLX,X,X.CNV\r\n");
    pasta.Grava("b.DEF", "Sem ponto e virgula\r\n");
    pasta.Grava("c.def", "\r\nLX,X,X.CNV\r\n");
    pasta.Grava("d.txt", "x");
    TAbreDEF d;
    d.DefinePasta(pasta.Caminho().string());
    ASSERT_EQ(d.FileListBox1->count(), 3);
    d.FileListBox1->setCurrentRow(0);
    EXPECT_EQ(d.TituloDEF->text(), "Casos por municipio");
    d.FileListBox1->setCurrentRow(1);
    EXPECT_EQ(d.TituloDEF->text(), "Sem ponto e virgula");
    d.FileListBox1->setCurrentRow(2);
    EXPECT_EQ(d.TituloDEF->text(), "");
    EXPECT_EQ(d.ArquivoEscolhido(), pasta / "c.def");
}

// The folders load one level at a time after the dialog opens: the chosen folder
// must still be in view once its parents and their other folders are listed.
TEST(TAbreDEF, TheChosenFolderIsInViewOnceTheFoldersAreListed) {
    PastaTemporaria pasta;
    for (int i = 0; i < 60; ++i) std::filesystem::create_directories(pasta.Caminho() / ("p" + std::to_string(100 + i)) / "x");
    const std::string escolhida = (pasta.Caminho() / "p159" / "defs").string();
    std::filesystem::create_directories(escolhida);
    pasta.Grava("p159/defs/a.def", ";A\r\n");
    TAbreDEF d;
    d.show();
    d.DefinePasta(escolhida);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&d));
    QTreeView* arvore = d.DirectoryListBox1;
    const QModelIndex atual = arvore->currentIndex();
    ASSERT_TRUE(atual.isValid());
    auto naVista = [&] { return arvore->viewport()->rect().contains(arvore->visualRect(arvore->currentIndex())); };
    // Wait for the listing of the chosen folder's parent (its 60 folders) to settle.
    const auto* modelo = arvore->model();
    for (int i = 0; i < 100 && modelo->rowCount(atual.parent().parent()) < 60; ++i) QTest::qWait(50);
    QTest::qWait(300);
    ASSERT_EQ(modelo->rowCount(atual.parent().parent()), 60);
    EXPECT_TRUE(naVista()) << arvore->visualRect(arvore->currentIndex()).y() << " of "
                           << arvore->viewport()->height();
    EXPECT_EQ(d.FileListBox1->count(), 1);
}

TEST(TfLigaCNV, ClickProposesTheDescription) {
    TfLigaCNV d;
    d.lbCNV->addItem(QStringLiteral("faixa_etaria.cnv"));
    d.lbCNV->setCurrentRow(0);
    d.lbCNVClick();
    EXPECT_EQ(d.edNomeCNV->text(), "faixa_etaria.cnv");
    EXPECT_EQ(d.edDescr->text(), "Faixa etaria");
    EXPECT_EQ(d.edInicio->text(), "1");
}

} // namespace
} // namespace dorvan::teste

// The scheme chooser driven offscreen: the list and details, the example data
// and a real run of R through the main window's command.
#include "analysis/ExecucaoR.h"
#include "analysis/ui/ComandosR.h"
#include "analysis/ui/TFormR.h"
#include "platform/Mensagens.h"
#include "platform/Processos.h"
#include "platform/Texto1252.h"
#include "support/ApoioTeste.h"
#include "support/DirigeJanelas.h"
#include "table/ui/TForm1.h"
#include "table/ui/TInfo.h"

#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <filesystem>
#include <gtest/gtest.h>

using namespace dorvan;
namespace fs = std::filesystem;

namespace {

class JanelaR : public ::testing::Test {
protected:
    void SetUp() override {
        antes = PastaAtual();
        cfg.DirPrograma = biblioteca.Caminho().string() + "/";
        cfg.DirRX = cfg.DirPrograma;
        cfg.DirDados = dados.Caminho().string() + "/";
        cfg.DirTrabalho = trabalho.Caminho().string() + "/";
        cfg.ArquivoIni = biblioteca / "Dorvan.ini";
        const std::string rscript = AchaNoPath("Rscript");
        if (!rscript.empty()) cfg.DirR = fs::path(rscript).parent_path().string() + "/";
        janela = std::make_unique<TForm1>(tabela, cfg);
        janela->resize(900, 600);
        janela->show();
        LigaComandosR(*janela);
        MostraGraficoR() = [this](const std::string& g) { graficos.push_back(g); };
    }
    // "Programa R" from the main window, the first scheme of the list run with OK.
    void RodaOPrimeiroEsquema() {
        teste::QuandoModal([](QWidget* w) {
            auto* f = qobject_cast<TFormR*>(w);
            ASSERT_TRUE(f);
            f->ListProg->setCurrentRow(0);
            f->bOK->click();
        });
        ProgramaRClick(*janela);
    }
    void TearDown() override {
        tabela.Modificada = false;
        janela.reset();
        MudaPastaAtual(antes);
    }

    teste::PastaTemporaria biblioteca, dados, trabalho;
    Configuracao cfg;
    TabelaResultados tabela;
    std::unique_ptr<TForm1> janela;
    MensagensRoteiro msgs;
    UsaMensagens usa{msgs};
    std::vector<std::string> graficos;
    std::string antes;
};

TEST_F(JanelaR, ChooserListsSchemesAndShowsTheDetailsOfTheSelectedOne) {
    biblioteca.Grava("b.rx", "<titulo>Regress\xE3o</titulo><autor>Ana</autor><versao>2</versao>"
                             "<email>a@b</email><descricao>Linha 1\nLinha 2</descricao>");
    biblioteca.Grava("a.rx", "<titulo>Anova</titulo><exemplo>Titulo1=x</exemplo>");
    biblioteca.Grava("z.rx", "<autor>sem titulo</autor>");
    ASSERT_TRUE(FormR);
    FormR->show();
    EXPECT_EQ(DeQString(FormR->windowTitle()), "R em " + cfg.DirR + " e Esquemas de an\xE1lise em " + cfg.DirRX);
    ASSERT_EQ(FormR->ListProg->count(), 2);
    EXPECT_EQ(FormR->ListProg->item(0)->text(), QStringLiteral("Anova [a.rx]"));
    EXPECT_EQ(DeQString(FormR->ListProg->item(1)->text()), "Regress\xE3o [b.rx]");
    EXPECT_EQ(FormR->ListProg->currentRow(), 0);
    EXPECT_TRUE(FormR->bExemplo->isVisible());
    EXPECT_EQ(FormR->lautor->text(), QStringLiteral("Autor: "));

    FormR->ListProg->setCurrentRow(1);
    EXPECT_FALSE(FormR->bExemplo->isVisible());
    EXPECT_EQ(FormR->lautor->text(), QStringLiteral("Autor: Ana"));
    EXPECT_EQ(FormR->lEmail->text(), QStringLiteral("a@b"));
    EXPECT_EQ(DeQString(FormR->lVersao->text()), "Vers\xE3o: 2");
    EXPECT_EQ(FormR->mDescri->toPlainText(), QStringLiteral("Linha 1\nLinha 2"));
    EXPECT_EQ(FormR->mDescri->textCursor().position(), 0);

    FormR->resize(700, 600);
    EXPECT_EQ(FormR->mDescri->height(), FormR->height() - 272);
    FormR->hide();
}

TEST_F(JanelaR, LibraryFolderChangeRebuildsTheList) {
    teste::PastaTemporaria outra;
    outra.Grava("x.rx", "<titulo>Outra</titulo>");
    std::string pergunta;
    FormR->EscolheBiblioteca = [&](const std::string& p, const std::string&) {
        pergunta = p;
        return std::optional<std::string>(outra.Caminho().string());
    };
    FormR->show();
    EXPECT_EQ(FormR->ListProg->count(), 0);
    FormR->bAbreBiblio->click();
    EXPECT_EQ(pergunta, "Biblioteca de esquemas de an\xE1lise ");
    EXPECT_EQ(cfg.DirRX, outra.Caminho().string() + "/");
    ASSERT_EQ(FormR->ListProg->count(), 1);
    EXPECT_EQ(FormR->ListProg->item(0)->text(), QStringLiteral("Outra [x.rx]"));
    FormR->hide();
}

TEST_F(JanelaR, ExampleButtonReplacesTheResultsTable) {
    biblioteca.Grava("e.rx", "<titulo>Ex</titulo><exemplo>Titulo1=Exemplo\nTitulo2=\nRodape=\nNomemapa=\n"
                             "\"\",\"v\"\n\"a\",1\n\"b\",2</exemplo>");
    teste::QuandoModal([](QWidget* w) {
        auto* f = qobject_cast<TFormR*>(w);
        ASSERT_TRUE(f);
        f->bExemplo->click();
    });
    ProgramaRClick(*janela);
    EXPECT_EQ(tabela.Titulo1, "Exemplo");
    EXPECT_EQ(tabela.NumLinhas, 2);
    EXPECT_TRUE(tabela.Modificada);
    EXPECT_FALSE(fs::exists(trabalho / "dorvan.out"));
    EXPECT_TRUE(msgs.Textos().empty());
}

TEST_F(JanelaR, RunThroughTheMainWindowShowsOutputPlotsAndTheReturnedTable) {
    if (cfg.DirR.empty()) GTEST_SKIP() << "R is not installed (r-base-core)";
    biblioteca.Grava("r.rx", "<titulo>Roda</titulo><script>print(\"ola\")\ngrafico.dorvan()\nplot(1:3)\n"
                             "carrega.dorvan(data.frame(x=c(1.5,2), row.names=c(\"a\",\"b\")))</script>");
    biblioteca.Grava("tmp.rx", "<titulo>Temp</titulo>");
    RodaOPrimeiroEsquema();
    TInfo& info = FormR->JanelaSaida();
    const std::vector<std::string> linhas = info.Linhas();
    ASSERT_EQ(linhas.size(), 4u);
    EXPECT_EQ(linhas[0], "[1] \"ola\"");
    EXPECT_EQ(linhas[3].rfind("Executado em ", 0), 0u);
    EXPECT_TRUE(info.isVisible());
    EXPECT_EQ(graficos, std::vector<std::string>{cfg.DirDados + "dorvan01.svg"});
    EXPECT_FALSE(fs::exists(biblioteca / "tmp.rx"));
    EXPECT_EQ(tabela.NumLinhas, 2);
    EXPECT_EQ(tabela.Rotulo(2), "b");
    EXPECT_EQ(tabela.Dado(1, 1), 1.5);
    EXPECT_FALSE(fs::exists(dados / "dorvan.out"));
    info.hide();
}

// The text viewer shows R's output under its own caption, not under the one the
// browser's structure report left on it.
TEST_F(JanelaR, OutputOfARunTakesTheViewersOwnCaption) {
    if (cfg.DirR.empty()) GTEST_SKIP() << "R is not installed (r-base-core)";
    biblioteca.Grava("r.rx", "<titulo>Roda</titulo><script>print(\"ola\")</script>");
    TInfo& info = FormR->JanelaSaida();
    info.setWindowTitle(QString::fromLatin1("Informa\xE7\xE3o de dados.dbf"));
    RodaOPrimeiroEsquema();
    EXPECT_TRUE(info.isVisible());
    EXPECT_EQ(info.windowTitle(), QStringLiteral("Info"));
    info.hide();
}

TEST_F(JanelaR, InteractiveCommandWritesTheSessionStartupFile) {
    MudaPastaAtual(cfg.DirTrabalho);
    AchaProgramaSessaoR() = [](const std::string&) { return std::string(); };
    tabela.AlocaLinhas(2, 2);
    AcrescentaColuna(tabela, "x", 0);
    AbreRClick(*janela);
    const std::string perfil = trabalho.Le(".Rprofile");
    EXPECT_NE(perfil.find(".First = function()"), std::string::npos);
    EXPECT_TRUE(fs::exists(trabalho / "dorvan.in"));
    // Without a terminal program the session cannot start, and the user is told.
    EXPECT_EQ(msgs.Textos(), std::vector<std::string>{"Terminal para a sess\xE3o do R n\xE3o encontrado"});
}

} // namespace

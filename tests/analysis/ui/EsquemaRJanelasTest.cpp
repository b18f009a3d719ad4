// The scheme editor and the R plot viewer driven offscreen: plot buttons, picture
// size, saving and printing; the editor's new/save cycle, status line, entity
// commands, find and replace, and a test run through real R.
#include "analysis/EsquemaR.h"
#include "analysis/ExecucaoR.h"
#include "analysis/ui/ComandosEsquemaR.h"
#include "analysis/ui/ComandosR.h"
#include "analysis/ui/TFCriaRScript.h"
#include "analysis/ui/TFormR.h"
#include "analysis/ui/TRGrafico.h"
#include "platform/Arquivos.h"
#include "platform/Erros.h"
#include "platform/Mensagens.h"
#include "platform/Processos.h"
#include "platform/Texto1252.h"
#include "support/ApoioTeste.h"
#include "support/DirigeJanelas.h"
#include "platform/Ini.h"
#include "table/Configuracao.h"
#include "table/ui/TForm1.h"
#include "table/ui/TInfo.h"
#include "table/ui/TLog.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QImage>
#include <QMimeData>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QRadioButton>
#include <QTimer>
#include <Qsci/qscilexerxml.h>
#include <Qsci/qsciscintilla.h>
#include <filesystem>
#include <gtest/gtest.h>

using namespace dorvan;
namespace fs = std::filesystem;

namespace {

std::string Svg(int lado) {
    const std::string n = std::to_string(lado);
    return "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" + n + "\" height=\"" + n + "\" viewBox=\"0 0 " + n +
           " " + n + "\"><rect width=\"" + n + "\" height=\"" + n + "\" fill=\"red\"/></svg>";
}

class JanelasEsquemaR : public ::testing::Test {
protected:
    void SetUp() override {
        antes = PastaAtual();
        MudaPastaAtual(dados.Caminho().string());
        cfg.DirPrograma = programa.Caminho().string() + "/";
        cfg.DirRX = biblioteca.Caminho().string() + "/";
        cfg.DirDados = dados.Caminho().string() + "/";
        cfg.DirTrabalho = dados.Caminho().string() + "/";
        cfg.ArquivoIni = programa / "Dorvan.ini";
        const std::string rscript = AchaNoPath("Rscript");
        if (!rscript.empty()) cfg.DirR = fs::path(rscript).parent_path().string() + "/";
        janela = std::make_unique<TForm1>(tabela, cfg);
        janela->resize(900, 600);
        LigaComandosR(*janela);
        LigaComandosEsquemaR(*janela);
        ASSERT_TRUE(RGrafico);
        ASSERT_TRUE(FCriaRScript);
    }
    void TearDown() override {
        tabela.Modificada = false;
        janela.reset();
        MudaPastaAtual(antes);
    }

    teste::PastaTemporaria programa, biblioteca, dados;
    Configuracao cfg;
    TabelaResultados tabela;
    std::unique_ptr<TForm1> janela;
    MensagensRoteiro msgs;
    UsaMensagens usa{msgs};
    std::string antes;
};

TEST_F(JanelasEsquemaR, PlotButtonsFollowThePlotsOfTheRun) {
    dados.Grava("dorvan01.svg", Svg(40));
    RGrafico->CarregaFigura(dados / "dorvan01.svg");
    RGrafico->show();
    for (QAction* b : RGrafico->sb)
        EXPECT_FALSE(b->isVisible()) << "a single plot shows no button";
    EXPECT_FALSE(RGrafico->bMais->isVisible());
    RGrafico->Sair1Click();

    dados.Grava("dorvan02.svg", Svg(50));
    dados.Grava("dorvan03.svg", Svg(60));
    RGrafico->show();
    EXPECT_TRUE(RGrafico->sb[0]->isVisible());
    EXPECT_FALSE(RGrafico->sb[0]->isEnabled());
    EXPECT_TRUE(RGrafico->sb[1]->isVisible());
    EXPECT_TRUE(RGrafico->sb[2]->isVisible());
    for (size_t i = 3; i < 9; ++i)
        EXPECT_FALSE(RGrafico->sb[i]->isVisible());

    RGrafico->sb[2]->trigger();
    EXPECT_FALSE(RGrafico->sb[2]->isEnabled());
    EXPECT_TRUE(RGrafico->sb[0]->isEnabled());
    EXPECT_EQ(RGrafico->Image1->Figura()->Tamanho(), QSize(60, 60));

    // A plot file gone since: the error tells, the picture and buttons stay.
    fs::remove(dados / "dorvan02.svg");
    EXPECT_THROW(RGrafico->sb01Click(1), ErroES);
    EXPECT_EQ(RGrafico->Image1->Figura()->Tamanho(), QSize(60, 60));
    EXPECT_FALSE(RGrafico->sb[2]->isEnabled());
    RGrafico->Sair1Click();
    EXPECT_FALSE(RGrafico->isVisible());
    EXPECT_TRUE(RGrafico->sb[2]->isEnabled());
}

TEST_F(JanelasEsquemaR, OriginalSizeSaveAndPrint) {
    dados.Grava("dorvan01.svg", Svg(70));
    RGrafico->CarregaFigura(dados / "dorvan01.svg");
    RGrafico->show();
    RGrafico->bStretch->trigger();
    EXPECT_FALSE(cfg.RGraficoStretch);
    EXPECT_EQ(RGrafico->Image1->size(), QSize(70, 70));
    RGrafico->bStretch->trigger();
    EXPECT_TRUE(cfg.RGraficoStretch);
    EXPECT_EQ(RGrafico->centralWidget(), RGrafico->Image1);

    // Saved under a metafile name, the vector picture keeps its bytes as SVG.
    RGrafico->EscolheSalvar = [this] { return dados / "copia.wmf"; };
    RGrafico->bSalvar->trigger();
    EXPECT_EQ(dados.Le("copia.svg"), Svg(70));

    // A file that is no picture leaves the one on show.
    dados.Grava("lixo.wmf", "\x01\x02 not a picture");
    RGrafico->EscolheAbrir = [this] { return dados / "lixo.wmf"; };
    EXPECT_THROW(RGrafico->Abrir1Click(), ErroES);
    EXPECT_EQ(RGrafico->Image1->Figura()->Tamanho(), QSize(70, 70));

    QPrinter impressora(QPrinter::HighResolution);
    impressora.setOutputFormat(QPrinter::PdfFormat);
    impressora.setOutputFileName(QString::fromStdString(dados / "grafico.pdf"));
    RGrafico->ImprimeEm(impressora);
    const std::string pdf = dados.Le("grafico.pdf");
    EXPECT_EQ(pdf.substr(0, 5), "%PDF-");
    std::string info;
    if (teste::Executa("command -v pdfinfo >/dev/null") == 0) {
        EXPECT_EQ(teste::Executa("pdfinfo '" + (dados / "grafico.pdf") + "'", &info), 0);
        const size_t pag = info.find("Pages:");
        ASSERT_NE(pag, std::string::npos) << info;
        EXPECT_EQ(info.substr(info.find_first_not_of(' ', pag + 6), 2), "1\n") << info;
    }
}

TEST_F(JanelasEsquemaR, MainWindowOpensAnyPictureInTheViewer) {
    dados.Grava("outro.svg", Svg(33));
    RGrafico->EscolheAbrir = [this] { return dados / "outro.svg"; };
    janela->Acao(QStringLiteral("VerMetafile"))->trigger();
    EXPECT_TRUE(RGrafico->isVisible());
    EXPECT_EQ(RGrafico->Image1->Figura()->Tamanho(), QSize(33, 33));
}

TEST_F(JanelasEsquemaR, NewSchemeStartsFromTheModelWithTheCaretBeforeTheScriptEnd) {
    programa.Grava("modelo.rx", "<titulo></titulo>\n<script>\nx <- 1\n</script>\n");
    TFCriaRScript& e = *FCriaRScript;
    e.NomeSalvar = "velho.rx";
    e.bNovo->trigger();
    EXPECT_EQ(DeQString(e.windowTitle()), "Editar esquema de an\xE1lise");
    int linha = 0, indice = 0;
    e.SynEdit1->getCursorPosition(&linha, &indice);
    EXPECT_EQ(linha, 2);
    EXPECT_EQ(indice, 6);
    EXPECT_FALSE(e.SynEdit1->hasSelectedText());
    EXPECT_EQ(e.Painel[0]->text(), QStringLiteral("   3:   7"));
    EXPECT_EQ(DeQString(e.Painel[1]->text()), "N\xE3o modificado");
    EXPECT_EQ(e.Painel[2]->text(), QStringLiteral("Insere"));

    e.SynEdit1->insert(QStringLiteral("\ny <- 2"));
    EXPECT_EQ(e.Painel[1]->text(), QStringLiteral("Modificado"));

    std::vector<std::string> sugestoes;
    e.EscolheSalvar = [&](const std::string& s) {
        sugestoes.push_back(s);
        return biblioteca / "novo.rx";
    };
    e.bSalvar->trigger();
    ASSERT_EQ(sugestoes.size(), 1u);
    EXPECT_EQ(sugestoes[0], "") << "after New the save dialog starts with no file name";
    EXPECT_EQ(e.windowTitle().toStdString(), biblioteca / "novo.rx");
    EXPECT_EQ(biblioteca.Le("novo.rx"), "<titulo></titulo>\n<script>\nx <- 1\ny <- 2\n</script>\n");
    EXPECT_EQ(DeQString(e.Painel[1]->text()), "N\xE3o modificado");

    // A missing model fails and leaves the text.
    fs::remove(programa / "modelo.rx");
    EXPECT_THROW(e.Novoscript1Click(), ErroES);
    EXPECT_NE(e.Texto().find("y <- 2"), std::string::npos);
}

TEST_F(JanelasEsquemaR, NewSchemeBesideTheBuiltProgramIsTheShippedModel) {
    // The folder of build/bin/dorvan, as scripts/run.sh starts it.
    cfg.DirPrograma = std::string(DORVAN_BINARY_DIR) + "/bin/";
    TFCriaRScript& e = *FCriaRScript;
    e.bNovo->trigger();
    const std::string modelo = LeArquivoInteiro(cfg.DirPrograma + "modelo.rx");
    EXPECT_EQ(e.Texto(), modelo);
    // Every element a scheme may hold, a title left to fill (so the model is not
    // listed as a scheme of the library) and the caret inside the script.
    for (const char* elemento : {"titulo", "autor", "email", "versao", "descricao", "exemplo", "script", "colsel",
                                 "colsel2", "parametro", "parametro2"})
        EXPECT_NE(modelo.find(std::string("<") + elemento + ">"), std::string::npos) << elemento;
    EXPECT_EQ(LeEsquemaR(cfg.DirPrograma + "modelo.rx").titulo, "");
    int linha = 0, indice = 0;
    e.SynEdit1->getCursorPosition(&linha, &indice);
    EXPECT_EQ(e.SynEdit1->text(linha + 1).trimmed(), QStringLiteral("</script>"));
    EXPECT_TRUE(msgs.Textos().empty());
    if (cfg.DirR.empty()) return;
    // Filled in and run as it stands, the new scheme goes through R without errors.
    e.SynEdit1->insert(QStringLiteral("cat(\"novo esquema\\n\")"));
    e.bExecuta->trigger();
    const std::vector<std::string> linhas = FormR->JanelaSaida().Linhas();
    ASSERT_FALSE(linhas.empty());
    EXPECT_EQ(linhas[0], "novo esquema");
    FormR->JanelaSaida().hide();
}

TEST_F(JanelasEsquemaR, EntityCommandsConvertOnlyTheScriptAndSwitchHighlighter) {
    TFCriaRScript& e = *FCriaRScript;
    e.DefineTexto("<titulo>A & B</titulo>\n<script>\nif (a < b) print(\"\xE9\")\n</script>\n");
    EXPECT_TRUE(e.RealceGeral());
    e.CharparaEntity1->trigger();
    EXPECT_EQ(e.Texto(), "<titulo>A & B</titulo>\n<script>\nif (a &lt; b) print(&quot;\xE9&quot;)\n</script>\n");
    EXPECT_EQ(e.SynEdit1->lexer(), e.SynXMLSyn1);
    e.EntityToChar1->trigger();
    EXPECT_EQ(e.Texto(), "<titulo>A & B</titulo>\n<script>\nif (a < b) print(\"\xE9\")\n</script>\n");
    EXPECT_TRUE(e.RealceGeral());
    e.SynEdit1->undo();
    EXPECT_NE(e.Texto().find("&lt;"), std::string::npos) << "the conversion is one undoable step";

    EXPECT_TRUE(RealceEsquemaR::EhPalavraChave("<titulo>"));
    EXPECT_TRUE(RealceEsquemaR::EhPalavraChave("</RSCRIPT>"));
    EXPECT_TRUE(RealceEsquemaR::EhPalavraChave("colsel2"));
    EXPECT_FALSE(RealceEsquemaR::EhPalavraChave("<tituloX>"));
}

TEST_F(JanelasEsquemaR, FindAndReplace) {
    TFCriaRScript& e = *FCriaRScript;
    e.DefineTexto("aa Ab aa ab");
    e.SynEdit1->setCursorPosition(0, 0);
    DialogoBusca& f = *e.FindDialog1;
    f.Texto->setText(QStringLiteral("zz"));
    msgs.Responde("0");
    e.FindDialog1Find();
    ASSERT_EQ(msgs.Registros().size(), 1u);
    EXPECT_EQ(msgs.Registros()[0].tipo, "Confirma");
    EXPECT_EQ(msgs.Registros()[0].texto, "Seq\xFC\xEAncia 'zz' n\xE3o encontrada!");
    EXPECT_EQ(msgs.Registros()[0].botoes, std::vector<std::string>{"&Sim"});
    EXPECT_EQ(e.Texto(), "aa Ab aa ab");

    // Replace all: the matching selection first, then every later one, no message at the end.
    DialogoBusca& r = *e.ReplaceDialog1;
    r.Texto->setText(QStringLiteral("ab"));
    r.Substituto->setText(QStringLiteral("XY"));
    r.Maiusculas->setChecked(false);
    e.SynEdit1->setSelection(0, 3, 0, 5); // "Ab"
    r.SubstituirTodas = true;
    e.ReplaceDialog1Replace();
    EXPECT_EQ(e.Texto(), "aa XY aa XY");
    EXPECT_EQ(msgs.Registros().size(), 1u);

    // Match case: a selection differing in case is not replaced, the next exact one is found.
    e.DefineTexto("Ab ab");
    e.SynEdit1->setSelection(0, 0, 0, 2);
    r.Maiusculas->setChecked(true);
    r.SubstituirTodas = false;
    e.ReplaceDialog1Replace();
    EXPECT_EQ(e.Texto(), "Ab ab");
    EXPECT_EQ(e.SynEdit1->selectedText(), QStringLiteral("ab"));
}

TEST_F(JanelasEsquemaR, TestRunGoesThroughRAndLeavesNoTemporaryScheme) {
    if (cfg.DirR.empty()) GTEST_SKIP() << "R is not installed";
    TFCriaRScript& e = *FCriaRScript;
    e.DefineTexto("<titulo>Teste</titulo>\n<script>\ncat(\"ola\\n\")\ngrafico.dorvan()\nplot(1:3)\ndev.off()\n"
                  "carrega.dorvan(data.frame(a=c(1,2),b=c(3,4)))\n</script>\n");
    teste::QuandoModal([](QWidget* w) {
        if (FCriaRScript && w == FCriaRScript) FCriaRScript->Executa1Click();
    });
    janela->Acao(QStringLiteral("Criaresquemadeanlise1"))->trigger();
    EXPECT_FALSE(fs::exists(biblioteca / "tmp.rx"));
    EXPECT_TRUE(RGrafico->isVisible());
    ASSERT_TRUE(RGrafico->Image1->Figura());
    EXPECT_EQ(RGrafico->Image1->Figura()->Tipo(), TipoFiguraR::Vetorial);
    EXPECT_EQ(tabela.NumLinhas, 2);
    EXPECT_FALSE(fs::exists(dados / "dorvan.out"));
}

TEST_F(JanelasEsquemaR, CancelledRunAlsoRemovesTheTemporaryScheme) {
    TFCriaRScript& e = *FCriaRScript;
    e.DefineTexto("<titulo>T</titulo><parametro>Valor?</parametro><script>x</script>");
    ASSERT_TRUE(FormR);
    FormR->Perguntas.Parametro = [](const std::string&, const std::string&) { return std::optional<std::string>(); };
    e.Executa1Click();
    EXPECT_FALSE(fs::exists(biblioteca / "tmp.rx"));
}

TEST_F(JanelasEsquemaR, ViewerStartsFromItsSettingsAndCopiesToTheClipboard) {
    cfg.RGrafico = Limites{30, 40, 300, 320};
    cfg.RGraficoStretch = false;
    TRGrafico v(cfg);
    EXPECT_FALSE(v.Image1->Stretch);
    EXPECT_EQ(v.geometry().size(), QSize(300, 320));
    dados.Grava("a.svg", Svg(20));
    v.CarregaFigura(dados / "a.svg");
    EXPECT_EQ(v.Image1->size(), QSize(20, 20));

    v.bCopiaBitMap->trigger();
    const QImage copia = QApplication::clipboard()->image();
    EXPECT_EQ(copia.size(), QSize(20, 20));
    EXPECT_EQ(copia.pixelColor(10, 10), QColor(Qt::red));
    v.bClipBoard->trigger();
    const QMimeData* m = QApplication::clipboard()->mimeData();
    ASSERT_TRUE(m);
    EXPECT_EQ(m->data(QStringLiteral("image/svg+xml")).toStdString(), Svg(20));
}

} // namespace

namespace {

TEST_F(JanelasEsquemaR, TheChosenFixedFontReachesEveryFixedPitchText) {
    TLog log;
    TInfo info;
    cfg.FonteFixa = "Mono Teste";
    janela->AplicaFonteFixa();
    const QString fonte = QStringLiteral("Mono Teste");
    EXPECT_EQ(log.LogMemo->font().family(), fonte);
    EXPECT_EQ(info.Memo->font().family(), fonte);
    ASSERT_NE(FCriaRScript->SynEdit1->lexer(), nullptr);
    EXPECT_EQ(FCriaRScript->SynEdit1->lexer()->defaultFont().family(), fonte);
    // A window built afterwards starts with it.
    TLog depois;
    EXPECT_EQ(depois.LogMemo->font().family(), fonte);
    cfg.FonteFixa = "Courier New";
    janela->AplicaFonteFixa();
    EXPECT_EQ(log.LogMemo->font().family(), QStringLiteral("Courier New"));
}

TEST_F(JanelasEsquemaR, PlotWindowBoundsGoBackToTheSettings) {
    RGrafico->show();
    RGrafico->setGeometry(33, 44, 500, 420);
    QApplication::processEvents();
    ASSERT_TRUE(SalvaConfiguracao(cfg));
    ArquivoIni ini(cfg.ArquivoIni);
    ini.Le();
    EXPECT_EQ(ini.LeInteiro("RGrafico", "Left", 0), 33);
    EXPECT_EQ(ini.LeInteiro("RGrafico", "Top", 0), 44);
    EXPECT_EQ(ini.LeInteiro("RGrafico", "Width", 0), 500);
    EXPECT_EQ(ini.LeInteiro("RGrafico", "Height", 0), 420);
    RGrafico->close();
}

} // namespace

// The editor's test run is given when it is built: an editor without one is refused
// instead of saving "tmp.rx" and running nothing.
TEST(TFCriaRScriptMontagem, AnEditorWithoutItsRunIsRefused) {
    Configuracao cfg;
    EXPECT_THROW(TFCriaRScript(cfg, {}), std::invalid_argument);
    int rodou = 0;
    TFCriaRScript e(cfg, [&] { ++rodou; });
    EXPECT_EQ(rodou, 0);
}

// The print dialog on a PDF printer: pages and their texts as a PDF reader sees
// them, the titles edited in the dialog, bad page numbers, and the main window's
// print and spreadsheet commands.
#include "../Fixture.h"
#include "output/XLSWrite.h"
#include "output/ui/ComandosImpressao.h"
#include "output/ui/TfImprime.h"
#include "platform/ArquivoComposto.h"
#include "platform/Mensagens.h"
#include "platform/ui/Impressora.h"
#include "support/DirigeJanelas.h"
#include "table/Configuracao.h"
#include "table/Utilidades.h"
#include "table/ui/TForm1.h"

#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <stdexcept>

namespace dorvan {
namespace {

std::string Comando(const std::string& c) {
    std::string saida;
    EXPECT_EQ(teste::Executa(c, &saida), 0) << c;
    return saida;
}

int PaginasPDF(const std::string& pdf) {
    const std::string info = Comando("pdfinfo '" + pdf + "'");
    const auto p = info.find("Pages:");
    return p == std::string::npos ? -1 : std::atoi(info.c_str() + p + 6);
}

std::string TextoPagina(const std::string& pdf, int pagina) {
    const std::string n = std::to_string(pagina);
    return Comando("pdftotext -layout -f " + n + " -l " + n + " '" + pdf + "' -");
}

// A table of 120 rows and 25 wide columns: more than one block and one strip on A4.
TabelaResultados TabelaGrande() {
    TabelaResultados t;
    t.AlocaLinhas(120, 120);
    t.DefineNomeColuna(0, "Munic\xEDpio");
    for (int r = 1; r <= 120; ++r) t.Rotulo(r) = "Lugar " + std::to_string(r);
    for (int c = 1; c <= 25; ++c) {
        AcrescentaColuna(t, "Coluna" + std::to_string(c), 0);
        for (int r = 1; r <= 120; ++r) t.Dado(c, r) = r * 1000 + c;
        CalculaTotal(t, c);
    }
    t.Titulo1 = "Tabela grande";
    t.Rodape = "Fonte: teste";
    AcrescentaNota(t, 3, 2, "nota da terceira linha");
    return t;
}

class Impressao : public ::testing::Test {
protected:
    void SetUp() override {
        QPrinter& imp = ImpressoraAtual();
        imp.setOutputFormat(QPrinter::PdfFormat);
        imp.setPageSize(QPageSize(QPageSize::A4));
        imp.setPageOrientation(QPageLayout::Portrait);
        imp.setOutputFileName(QString::fromStdString(pasta / "saida.pdf"));
    }
    // Back to the printer as it was, so a later test in this program finds it unset.
    void TearDown() override { ImpressoraAtual().setOutputFileName(QString()); }
    teste::PastaTemporaria pasta;
};

TEST_F(Impressao, PrintsBlocksAndStripsInOrderWithTotalsOnTheLastBlockAndNotes) {
    TabelaResultados t = TabelaGrande();
    TfImprime d(t);
    d.FormShow();
    const ImpressaoTabela* l = d.Layout();
    ASSERT_NE(l, nullptr);
    ASSERT_GE(l->NumFaixas(), 2);
    ASSERT_GE(l->PaginasVerticais, 2);
    const int total = l->TotalPaginas();
    EXPECT_EQ(d.edInic->text(), QStringLiteral("1"));
    EXPECT_EQ(d.edFinal->text(), QString::number(total));
    EXPECT_EQ(DeQString(d.LMsg->text()),
              "Largura do texto ocupar\xE1 " + std::to_string(l->NumFaixas()) + " p\xE1ginas");
    EXPECT_TRUE(d.cbNotas->isVisibleTo(&d));
    d.cbNotas->setChecked(true);
    d.bImprimeClick();
    EXPECT_TRUE(d.LMsg->text().isEmpty());

    const std::string pdf = pasta / "saida.pdf";
    ASSERT_EQ(PaginasPDF(pdf), total + 1);
    const int faixas = l->NumFaixas();
    for (int p = 1; p <= total; ++p) {
        SCOPED_TRACE(p);
        const std::string texto = TextoPagina(pdf, p);
        EXPECT_NE(texto.find("Tabela grande"), std::string::npos);
        EXPECT_NE(texto.find("Fonte: teste"), std::string::npos);
        EXPECT_NE(texto.find("P\xC3\xA1gina " + std::to_string(p) + " de " + std::to_string(total)), std::string::npos);
        EXPECT_NE(texto.find("Munic\xC3\xADpio"), std::string::npos); // the label column on every page
        const int bloco = (p - 1) / faixas + 1;
        const int primeira = (bloco - 1) * l->LinhasPorPagina + 1;
        EXPECT_NE(texto.find("Lugar " + std::to_string(primeira) + " "), std::string::npos);
        EXPECT_EQ(texto.find("Total") != std::string::npos, bloco == l->PaginasVerticais);
        const int strip = (p - 1) % faixas;
        EXPECT_NE(texto.find("Coluna" + std::to_string(l->Faixas[static_cast<std::size_t>(strip)].Primeira)),
                  std::string::npos);
    }
    const std::string notas = TextoPagina(pdf, total + 1);
    EXPECT_NE(notas.find("Notas T\xC3\xA9" "cnicas"), std::string::npos);
    EXPECT_NE(notas.find("1 - nota da terceira linha"), std::string::npos);
}

TEST_F(Impressao, OnePageTableShowsNoPageNumberAndPrintsTheChosenRangeOnly) {
    TabelaResultados t = teste::TabelaExemplo();
    TfImprime d(t);
    d.FormShow();
    EXPECT_EQ(DeQString(d.LMsg->text()), "Largura do texto ocupar\xE1 1 p\xE1gina");
    d.cbData->setChecked(true);
    d.bImprimeClick();
    ASSERT_EQ(PaginasPDF(pasta / "saida.pdf"), 1);
    const std::string texto = TextoPagina(pasta / "saida.pdf", 1);
    EXPECT_EQ(texto.find("P\xC3\xA1gina"), std::string::npos);
    EXPECT_NE(texto.find("Popula\xC3\xA7\xC3\xA3o residente"), std::string::npos);
    EXPECT_NE(texto.find("14 Sul"), std::string::npos);

    TabelaResultados g = TabelaGrande();
    TfImprime d2(g);
    d2.FormShow();
    d2.edInic->setText(QStringLiteral("2"));
    d2.edFinal->setText(QStringLiteral("3"));
    d2.bImprimeClick();
    EXPECT_EQ(PaginasPDF(pasta / "saida.pdf"), 2);
    EXPECT_NE(TextoPagina(pasta / "saida.pdf", 1).find("P\xC3\xA1gina 2 de"), std::string::npos);
}

TEST_F(Impressao, EditedTitlesChangeTheTableAndBadPageNumbersStopBeforePrinting) {
    TabelaResultados t = teste::TabelaExemplo();
    t.Modificada = false;
    TfImprime d(t);
    d.FormShow();
    EXPECT_EQ(d.edTitulo1->maxLength(), 80);
    d.edTitulo2->setText(QStringLiteral("Outro subt\u00EDtulo"));
    d.edTitulo2Exit();
    EXPECT_EQ(t.Titulo2, "Outro subt\xEDtulo");
    EXPECT_TRUE(t.Modificada);
    t.Modificada = false;
    d.edTitulo1Exit(); // unchanged: stays unmodified
    EXPECT_FALSE(t.Modificada);

    d.edFinal->setText(QStringLiteral("dois"));
    try {
        d.bImprimeClick();
        ADD_FAILURE() << "no error";
    } catch (const std::runtime_error& e) {
        EXPECT_EQ(std::string(e.what()), "'dois' is not a valid integer value");
    }
    EXPECT_FALSE(std::filesystem::exists(pasta / "saida.pdf"));
}

TEST_F(Impressao, MainWindowCommandsShowTheDialogAndWriteTheWorkbook) {
    TabelaResultados tabela = teste::TabelaExemplo();
    Configuracao cfg;
    cfg.DirPrograma = pasta.Caminho().string() + "/";
    cfg.DirTrabalho = cfg.DirPrograma;
    cfg.ArquivoIni = pasta / "Dorvan.ini";
    std::string aberto;
    DefineAbridorDocumentos([&aberto](const std::string& a) {
        aberto = a;
        return 33;
    });
    {
        TForm1 janela(tabela, cfg);
        LigaComandosImpressao(janela);
        janela.MostraTabela();
        std::string vista;
        teste::QuandoModal([&vista](QWidget* w) {
            vista = DeQString(w->windowTitle());
            w->findChild<QPushButton*>(QStringLiteral("bSair"))->click();
        });
        janela.Acao(QStringLiteral("Imprime1"))->trigger();
        EXPECT_EQ(vista, "Imprime");

        janela.Acao(QStringLiteral("bOpenOffice"))->trigger();
        EXPECT_EQ(aberto, pasta / "tabela.xls");
        EXPECT_NO_THROW(LeFluxoComposto(pasta.Le("tabela.xls"), "Workbook"));
        tabela.Modificada = false;
    }
    DefineAbridorDocumentos(nullptr);
}

// The machine has no printer installed (as CI): Qt starts the printer as a PDF
// writer with no file, and the job must go to a file the user names.
TEST(ImpressaoSemImpressora, OkAsksForThePdfFileTellsWhereItWentAndAsksAgainNextTime) {
    if (!QPrinterInfo::availablePrinters().isEmpty()) GTEST_SKIP() << "a printer is installed here";
    ASSERT_TRUE(SemImpressora(ImpressoraAtual()));
    teste::PastaTemporaria pasta;
    MensagensRoteiro roteiro;
    UsaMensagens usa(roteiro);
    TabelaResultados tabela = teste::TabelaExemplo();
    Configuracao cfg;
    cfg.DirPrograma = pasta.Caminho().string() + "/";
    cfg.ArquivoIni = pasta / "Dorvan.ini";
    const std::string pdf = pasta / "tabela impressa.pdf";
    std::string titulo;
    bool perguntou = false, abertoAposCancelar = false, abertoAposImprimir = true;
    {
        TForm1 janela(tabela, cfg);
        LigaComandosImpressao(janela);
        janela.MostraTabela();
        teste::QuandoModal([&](QWidget* w) {
            auto* ok = w->findChild<QPushButton*>(QStringLiteral("bImprime"));
            try {
                teste::RespondeArquivo("", &titulo, &perguntou); // cancelled: nothing printed
                ok->click();
                abertoAposCancelar = w->isVisible();
                teste::RespondeArquivo(pdf);
                ok->click();
                abertoAposImprimir = w->isVisible();
            } catch (const std::exception& e) {
                ADD_FAILURE() << e.what();
            }
            if (w->isVisible()) static_cast<QDialog*>(w)->reject();
        });
        janela.Acao(QStringLiteral("Imprime1"))->trigger();
        tabela.Modificada = false;
    }
    EXPECT_TRUE(perguntou);
    EXPECT_EQ(titulo, "N\xC3\xA3o h\xC3\xA1 impressora instalada: salvar a impress\xC3\xA3o em arquivo PDF");
    EXPECT_TRUE(abertoAposCancelar) << "a cancelled file leaves the dialog open";
    EXPECT_FALSE(abertoAposImprimir);
    ASSERT_EQ(PaginasPDF(pdf), 1);
    EXPECT_NE(TextoPagina(pdf, 1).find("Popula\xC3\xA7\xC3\xA3o residente"), std::string::npos);
    EXPECT_EQ(roteiro.Textos(),
              std::vector<std::string>{"N\xE3o h\xE1 impressora instalada: a impress\xE3o foi gravada no arquivo PDF " +
                                       DeUtf8(pdf)});
    EXPECT_TRUE(SemImpressora(ImpressoraAtual())) << "the next print asks for its file again";
}

} // namespace
} // namespace dorvan

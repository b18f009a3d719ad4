#include "table/LogExecucao.h"
#include "table/ui/TEscolhe_Coluna.h"
#include "table/ui/TFEscolheDiretorio.h"
#include "table/ui/TInfo.h"
#include "table/ui/TLog.h"

#include "platform/Mensagens.h"
#include "support/ApoioTeste.h"
#include "support/DirigeJanelas.h"

#include <QCheckBox>
#include <QClipboard>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QPushButton>
#include <QTest>
#include <filesystem>
#include <gtest/gtest.h>

namespace dorvan {
namespace {

const std::vector<std::string> kTitulos = {"Casos", "\xD3" "bitos", "Popula\xE7\xE3o", "Taxa"};

struct Visto {
    QString legenda, pergunta;
    QAbstractItemView::SelectionMode modo = QAbstractItemView::NoSelection;
    int linhas = 0;
    int marcadosAntes = -1;
};

// Marks the given rows (0-based) of the chooser that shows, then closes it with botao.
void Escolhe(Visto& visto, std::vector<int> linhas, const char* botao) {
    teste::QuandoModal([&visto, linhas, botao](QWidget* w) {
        auto* j = qobject_cast<TEscolhe_Coluna*>(w);
        ASSERT_NE(j, nullptr);
        visto.legenda = j->windowTitle();
        visto.pergunta = j->Label1->text();
        visto.modo = j->ListBox1->selectionMode();
        visto.linhas = j->ListBox1->count();
        visto.marcadosAntes = static_cast<int>(j->ListBox1->selectedItems().size());
        for (int l : linhas) j->ListBox1->item(l)->setSelected(true);
        if (std::string(botao) == "duplo") {
            emit j->ListBox1->itemDoubleClicked(j->ListBox1->item(linhas.front()));
        } else {
            (std::string(botao) == "OK" ? j->bOK : j->bCancela)->click();
        }
    });
}

TEST(EscolheColuna, AsksOnlyWhenThereIsAChoiceAndCancelMeansNone) {
    EXPECT_EQ(EscolheColuna("Qual?", {}), 0);
    EXPECT_EQ(EscolheColuna("Qual?", {"Casos"}), 1);

    Visto visto;
    Escolhe(visto, {2}, "OK");
    EXPECT_EQ(EscolheColuna("Coluna a ordenar?", kTitulos), 3);
    EXPECT_EQ(visto.legenda, QStringLiteral("Escolhe Coluna"));
    EXPECT_EQ(visto.pergunta, QStringLiteral("Coluna a ordenar?"));
    EXPECT_EQ(visto.modo, QAbstractItemView::SingleSelection);
    EXPECT_EQ(visto.linhas, 4);

    Escolhe(visto, {1}, "duplo");
    EXPECT_EQ(EscolheColuna("Coluna?", kTitulos), 2);
    Escolhe(visto, {1}, "Cancela");
    EXPECT_EQ(EscolheColuna("Coluna?", kTitulos), 0);
    Escolhe(visto, {}, "OK");
    EXPECT_EQ(EscolheColuna("Coluna?", kTitulos), 0);
}

TEST(MarcaColunas, MarksInListOrderAndACancelledWindowMarksNothing) {
    TEscolhe_Coluna janela;
    Escolhe_Coluna = &janela; // the one window, reused between calls
    EXPECT_TRUE(MarcaColunas("Eliminar coluna", {}).empty());

    Visto visto;
    Escolhe(visto, {3, 1}, "OK");
    EXPECT_EQ(MarcaColunas("Eliminar colunas", kTitulos), (std::vector<int>{2, 4}));
    EXPECT_EQ(visto.legenda, QStringLiteral("Marque Colunas"));
    EXPECT_EQ(visto.modo, QAbstractItemView::MultiSelection);

    Escolhe(visto, {1, 3}, "Cancela");
    EXPECT_TRUE(MarcaColunas("Eliminar colunas", kTitulos).empty());

    // Nothing stays marked from the last use; the single choice comes back afterwards.
    Escolhe(visto, {0}, "OK");
    EXPECT_EQ(MarcaCamposDBF({"CODMUN", "SEXO", "IDADE"}, "Campos a exportar"), std::vector<int>{1});
    EXPECT_EQ(visto.marcadosAntes, 0);
    EXPECT_EQ(visto.linhas, 3);
    Escolhe(visto, {0}, "OK");
    EXPECT_EQ(EscolheColuna("Coluna?", kTitulos), 1);
    EXPECT_EQ(visto.modo, QAbstractItemView::SingleSelection);
    EXPECT_EQ(visto.marcadosAntes, 0);
    Escolhe_Coluna = nullptr;
}

TEST(TLog, ShowsAndEditsTheRunLogAndCopiesIt) {
    LogExecucao log;
    log.Acrescenta("Tabula\xE7\xE3o de 3 arquivos");
    log.Acrescenta("Registros lidos: 120");
    TLog janela(nullptr, &log);
    EXPECT_EQ(janela.windowTitle(), QStringLiteral("Log"));
    // Above its parent window only (a dialog of it, for the window manager): a dialog
    // opened while it shows is never behind it.
    EXPECT_FALSE(janela.windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_EQ(janela.windowType(), Qt::Dialog);
    EXPECT_EQ(janela.bFecha->text(), QStringLiteral("Fecha&r"));
    EXPECT_EQ(janela.LogMemo->toPlainText(), QStringLiteral("Tabulação de 3 arquivos\nRegistros lidos: 120"));

    log.Acrescenta("fim");
    EXPECT_TRUE(janela.LogMemo->toPlainText().endsWith(QStringLiteral("\nfim")));
    janela.LogMemo->setPlainText(QStringLiteral("editado à mão"));
    EXPECT_EQ(log.Linhas(), std::vector<std::string>{"editado \xE0 m\xE3o"});

    janela.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&janela));
    EXPECT_EQ(QApplication::focusWidget(), janela.LogMemo);
    janela.CheckBox1->setChecked(true);
    EXPECT_TRUE(log.MostraAoAbrir());

    QApplication::clipboard()->clear();
    janela.bCopia->click();
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("editado à mão"));
    QTextCursor c = janela.LogMemo->textCursor();
    c.setPosition(0);
    c.setPosition(7, QTextCursor::KeepAnchor);
    janela.LogMemo->setTextCursor(c);
    janela.CopiaParaClipboard();
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("editado"));
    janela.bFecha->click();
    EXPECT_FALSE(janela.isVisible());
}

// A table whose text before the header was one line of megabytes: the window
// shows the line cut, with its length, and an edit elsewhere keeps it whole.
TEST(TLog, AMultiMegabyteLineShowsCutWithItsLength) {
    LogExecucao log;
    const std::string longa(3 * 1024 * 1024, 'A');
    log.DefineLinhas({"Arquivo lido", longa, "fim"});
    TLog janela(nullptr, &log);
    janela.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&janela));
    const QStringList linhas = janela.LogMemo->toPlainText().split(QLatin1Char('\n'));
    ASSERT_EQ(linhas.size(), 3);
    EXPECT_EQ(linhas[0], QStringLiteral("Arquivo lido"));
    EXPECT_LT(linhas[1].size(), 2000);
    EXPECT_TRUE(linhas[1].startsWith(QString(200, QLatin1Char('A'))));
    EXPECT_TRUE(linhas[1].endsWith(QStringLiteral("(linha cortada: 3145728 caracteres)")))
        << linhas[1].right(60).toStdString();

    QTextCursor c = janela.LogMemo->textCursor();
    c.movePosition(QTextCursor::End);
    janela.LogMemo->setTextCursor(c);
    QTest::keyClicks(janela.LogMemo, QStringLiteral("!"));
    EXPECT_EQ(log.Linhas(), (std::vector<std::string>{"Arquivo lido", longa, "fim!"}));
    janela.close();
}

TEST(TInfo, SavesPrintsCopiesAndSpacesItsButtons) {
    teste::PastaTemporaria pasta;
    TInfo janela;
    EXPECT_EQ(janela.windowTitle(), QStringLiteral("Info"));
    EXPECT_EQ(janela.bSalvar->toolTip(), QStringLiteral("Salva em um arquivo"));
    EXPECT_EQ(janela.bImprimir->toolTip(), QStringLiteral("Imprime resultados"));
    janela.AcrescentaLinha("M\xE9" "dia      12,5");
    janela.AcrescentaLinha("Desvio    1,2");
    std::string arquivo = pasta / "resultado.txt";
    janela.PerguntaArquivo = [&] { return arquivo; };
    janela.bSalvar->click();
    EXPECT_EQ(pasta.Le("resultado.txt"), "M\xE9" "dia      12,5\r\nDesvio    1,2\r\n");

    // Modal, the save also closes it; Esc saves too.
    std::filesystem::remove(arquivo);
    teste::QuandoModal([](QWidget* w) { QTest::keyClick(w, Qt::Key_Escape); });
    EXPECT_EQ(janela.exec(), QDialog::Accepted);
    EXPECT_TRUE(std::filesystem::exists(arquivo));

    QApplication::clipboard()->clear();
    janela.bCopiar->click();
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("Média      12,5\nDesvio    1,2"));

    QPrinter pdf(QPrinter::HighResolution);
    pdf.setOutputFormat(QPrinter::PdfFormat);
    pdf.setOutputFileName(QString::fromStdString(pasta / "info.pdf"));
    EXPECT_TRUE(janela.ImprimeEm(pdf));
    EXPECT_EQ(pasta.Le("info.pdf").substr(0, 5), "%PDF-");

    // No printer at all gives the printing error, and an empty memo prints nothing.
    MensagensRoteiro roteiro;
    UsaMensagens usa(roteiro);
    QPrinter padrao;
    if (!padrao.isValid()) {
        janela.Imprimir();
        EXPECT_EQ(roteiro.Textos(), std::vector<std::string>{"Erro na Impress\xE3o."});
    }
    roteiro.Limpa();
    janela.Limpa();
    janela.Imprimir();
    EXPECT_TRUE(roteiro.Registros().empty());
    EXPECT_TRUE(janela.Linhas().empty());

    janela.resize(600, 300);
    janela.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&janela));
    const int w = janela.bCopiar->width(), g = (janela.width() - 4 * w) / 5;
    EXPECT_EQ(janela.bCopiar->x(), g);
    EXPECT_EQ(janela.bSalvar->x(), 2 * g + w);
    EXPECT_EQ(janela.bImprimir->x(), 3 * g + 2 * w);
    EXPECT_EQ(janela.bFechar->x(), 4 * g + 3 * w);
    janela.bFechar->click();
    EXPECT_FALSE(janela.isVisible());
}

TEST(TFEscolheDiretorio, TakesTheFolderFromTheEditAndCancelMeansNone) {
    teste::PastaTemporaria pasta;
    std::filesystem::create_directories(pasta.Caminho() / "dados");
    pasta.Grava("dados/sim.dbf", "x");
    const QString dados = QString::fromStdString(pasta / "dados");

    QString legenda, rotulo, inicial;
    teste::QuandoModal([&](QWidget* w) {
        auto* j = qobject_cast<TFEscolheDiretorio*>(w);
        ASSERT_NE(j, nullptr);
        legenda = j->windowTitle();
        rotulo = j->Label1->text();
        inicial = j->edNomeDir->text();
        j->EscolheDrive(0);
        EXPECT_EQ(j->edNomeDir->text(), QDir::rootPath());
        j->EscolheDiretorioAtual(dados);
        j->bOK->click();
    });
    auto r = EscolheDiretorio("Diret\xF3rio do Banco de dados Vendas?", pasta.Caminho().string(), "*.dbf;*.db");
    ASSERT_TRUE(r);
    EXPECT_EQ(*r, dados.toStdString());
    EXPECT_EQ(legenda, QStringLiteral("Escolha um diretório"));
    EXPECT_EQ(rotulo, QStringLiteral("Diretório do Banco de dados Vendas?"));
    EXPECT_EQ(inicial, QString::fromStdString(pasta.Caminho().string()));

    teste::QuandoModal([&](QWidget* w) {
        auto* j = qobject_cast<TFEscolheDiretorio*>(w);
        j->edNomeDir->setText(QStringLiteral("/digitado/pelo/usuario"));
        j->bOK->click();
    });
    EXPECT_EQ(EscolheDiretorio("?", pasta.Caminho().string()), std::optional<std::string>("/digitado/pelo/usuario"));

    teste::QuandoModal([&](QWidget* w) { qobject_cast<TFEscolheDiretorio*>(w)->bCancel->click(); });
    EXPECT_FALSE(EscolheDiretorio("?", pasta.Caminho().string()));
}

} // namespace
} // namespace dorvan

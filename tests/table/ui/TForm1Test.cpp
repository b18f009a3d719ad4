// The main window driven offscreen: a tabulation, edits and notes, a save, a
// reopen, closing a table and leaving.
#include "platform/Mensagens.h"
#include "platform/Texto1252.h"
#include "support/ApoioTeste.h"
#include "support/DirigeJanelas.h"
#include "support/VerificaGrade.h"
#include "table/LogExecucao.h"
#include "table/ui/ComandosImportacao.h"
#include "table/ui/GradeFixa.h"
#include "table/ui/ModeloTabela.h"
#include "table/ui/TForm1.h"
#include "table/ui/TLocaliza.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QScrollBar>
#include <QTableView>
#include <QTest>
#include <filesystem>
#include <gtest/gtest.h>

using namespace dorvan;

namespace {

// What a tabulation run leaves: three regions by two columns.
void TabulacaoFicticia(TForm1& f) {
    if (!f.FechaTabela()) return;
    TabelaResultados& t = f.Tabela();
    t.AlocaLinhas(3, 3);
    t.DefineNomeColuna(0, "Regi\xE3o");
    AcrescentaColuna(t, "Casos", 0);
    AcrescentaColuna(t, "\xD3" "bitos", 1);
    const char* rotulos[] = {"11 Norte", "12 Nordeste", "13 Sudeste"};
    for (int r = 1; r <= 3; ++r) {
        t.Rotulo(r) = rotulos[r - 1];
        t.Dado(1, r) = r * 10;
        t.Dado(2, r) = -r * 1.5;
    }
    CalculaTotal(t, 1);
    CalculaTotal(t, 2);
    t.Titulo1 = "Casos por regi\xE3o";
    DetectaCodigo(t);
    LogAtual().DefineLinhas({"Arquivos: teste.dbc"});
    f.MostraTabela();
    t.Modificada = true;
}

class JanelaPrincipal : public ::testing::Test {
protected:
    void SetUp() override {
        cfg.DirPrograma = pasta.Caminho().string() + "/";
        cfg.ArquivoIni = pasta / "Dorvan.ini";
        janela = std::make_unique<TForm1>(tabela, cfg);
        janela->EscolheArquivoSalvar = [this](const QString&) { return salvarComo; };
        janela->EscolheArquivoAbrir = [this](const QString&) { return abrir; };
        janela->AoSair = [this] { saiu = true; };
        janela->resize(1000, 700);
        janela->show();
        janela->Inicia({});
        Ganchos().Tabula = TabulacaoFicticia;
    }
    void TearDown() override {
        Ganchos().Tabula = nullptr;
        msgs.Limpa();
        tabela.Modificada = false;
        janela.reset();
    }
    QString Celula(int g, int c) const { return janela->Modelo->data(janela->Modelo->index(g, c), Qt::DisplayRole).toString(); }
    // The view that shows grid cell (g, c): titles and totals stay on top, the
    // labels at the left.
    QTableView* Vista(int g, int c) const {
        GradeFixa* grade = janela->StringGrid1;
        if (g <= 1) return c == 0 ? grade->Canto() : grade->Topo();
        return c == 0 ? grade->Esquerda() : grade;
    }
    void Clica(int g, int c, Qt::MouseButton botao) const {
        QTableView* v = Vista(g, c);
        janela->StringGrid1->scrollTo(janela->Modelo->index(std::max(g, 2), std::max(c, 1)));
        QRect r = v->visualRect(janela->Modelo->index(g, c));
        ASSERT_FALSE(r.isEmpty());
        QTest::mouseClick(v->viewport(), botao, {}, r.center());
    }
    bool Habilitado(const char* nome) const { return janela->Acao(QString::fromLatin1(nome))->isEnabled(); }

    teste::PastaTemporaria pasta;
    MensagensRoteiro msgs;
    UsaMensagens usa{msgs};
    TabelaResultados tabela;
    Configuracao cfg;
    std::unique_ptr<TForm1> janela;
    std::string salvarComo, abrir;
    bool saiu = false;
};

} // namespace

TEST_F(JanelaPrincipal, TabulacaoEdicaoNotaSalvarEReabrir) {
    EXPECT_EQ(janela->windowTitle(), QStringLiteral("Dorvan32"));
    EXPECT_FALSE(janela->StringGrid1->isVisible());
    EXPECT_FALSE(Habilitado("Salvar1"));
    EXPECT_FALSE(janela->Panel2->isVisible());

    janela->Acao(QStringLiteral("SpeedButton10"))->trigger();
    ASSERT_TRUE(janela->StringGrid1->isVisible());
    EXPECT_EQ(janela->Modelo->rowCount(), 5);
    EXPECT_EQ(janela->Modelo->columnCount(), 3);
    EXPECT_EQ(Celula(0, 2), ParaQString("\xD3" "bitos"));
    EXPECT_EQ(Celula(1, 0), QStringLiteral("Total"));
    EXPECT_EQ(Celula(1, 1), QStringLiteral("60"));
    EXPECT_EQ(Celula(2, 0), QStringLiteral("11 Norte"));
    EXPECT_EQ(Celula(3, 2), QStringLiteral("-3.0"));
    EXPECT_EQ(janela->Modelo->data(janela->Modelo->index(3, 2), Qt::ForegroundRole).value<QBrush>().color(),
              QColor(Qt::red));
    EXPECT_FALSE(janela->Modelo->flags(janela->Modelo->index(1, 1)) & Qt::ItemIsEditable);
    EXPECT_TRUE(Habilitado("Salvar1"));
    EXPECT_TRUE(Habilitado("Divide1"));
    EXPECT_TRUE(Habilitado("bMapa"));
    EXPECT_EQ(janela->Painel[2]->text(), QStringLiteral("Linhas:3"));
    EXPECT_EQ(janela->Painel[3]->text(), QStringLiteral("Chave:2"));
    EXPECT_EQ(janela->edTitulo->text(), ParaQString("Casos por regi\xE3o"));

    // A typed value is stored, recomputes the total and marks the table.
    tabela.Modificada = false;
    ASSERT_TRUE(janela->Modelo->setData(janela->Modelo->index(3, 1), QStringLiteral("1,234"), Qt::EditRole));
    EXPECT_DOUBLE_EQ(tabela.Dado(1, 2), 1234);
    EXPECT_EQ(Celula(1, 1), QStringLiteral("1,274"));
    EXPECT_TRUE(tabela.Modificada);

    // Titles typed in the edits.
    janela->edTitulo->clear();
    QTest::keyClicks(janela->edTitulo, QStringLiteral("Novo"));
    EXPECT_EQ(tabela.Titulo1, "Novo");
    EXPECT_EQ(janela->windowTitle(), QStringLiteral("Novo"));
    QTest::keyClicks(janela->edRodape, QStringLiteral("Fonte"));
    EXPECT_EQ(tabela.Rodape, "Fonte");

    // Right button: a note on a data cell, the column dialog on a title, nothing on the totals.
    int perguntas = 0;
    janela->PerguntaNota = [&](int numero, const std::string& padrao) {
        ++perguntas;
        EXPECT_EQ(numero, 1);
        EXPECT_EQ(padrao, "");
        return std::optional<std::string>("nota t\xE9" "cnica");
    };
    janela->PerguntaAtributos = [&](std::int32_t c, const AtributosColuna& a) {
        ++perguntas;
        EXPECT_EQ(c, 1);
        AtributosColuna n = a;
        n.tipoTotal = TipoTotal::Maximo;
        n.titulo = "Casos novos";
        return std::optional<AtributosColuna>(n);
    };
    Clica(1, 1, Qt::RightButton);
    EXPECT_EQ(perguntas, 0);
    Clica(4, 2, Qt::RightButton);
    ASSERT_EQ(tabela.NumNotas(), 1);
    EXPECT_EQ(tabela.Notas(1).Linha, 3);
    EXPECT_EQ(tabela.Notas(1).Coluna, 2);
    EXPECT_TRUE(janela->Modelo->data(janela->Modelo->index(4, 2), ModeloTabela::PapelNota).toBool());
    Clica(0, 1, Qt::RightButton);
    EXPECT_EQ(perguntas, 2);
    EXPECT_EQ(tabela.NomeColuna(1), "Casos novos");
    EXPECT_DOUBLE_EQ(tabela.Coluna(1).Total, 1234);

    // Saved as .tab, closed, opened again.
    salvarComo = pasta / "quadro.tab";
    janela->Acao(QStringLiteral("Salvar1"))->trigger();
    ASSERT_TRUE(std::filesystem::exists(salvarComo));
    EXPECT_FALSE(tabela.Modificada);
    janela->Acao(QStringLiteral("Nova1"))->trigger();
    EXPECT_EQ(tabela.NumLinhas, 0);
    EXPECT_EQ(janela->windowTitle(), QStringLiteral("Dorvan"));
    EXPECT_FALSE(janela->StringGrid1->isVisible());
    EXPECT_EQ(janela->Painel[0]->text(), QStringLiteral("Arquivo:"));

    abrir = salvarComo;
    int logsMostrados = 0;
    Ganchos().MostraLog = [&](TForm1&, bool modal) {
        EXPECT_TRUE(modal);
        ++logsMostrados;
    };
    janela->Acao(QStringLiteral("SpeedButton1"))->trigger();
    Ganchos().MostraLog = nullptr;
    EXPECT_EQ(logsMostrados, 1);
    ASSERT_EQ(tabela.NumLinhas, 3);
    EXPECT_TRUE(janela->StringGrid1->isVisible());
    EXPECT_EQ(tabela.Titulo1, "Novo");
    EXPECT_EQ(tabela.Rodape, "Fonte");
    EXPECT_DOUBLE_EQ(tabela.Dado(1, 2), 1234);
    EXPECT_EQ(tabela.Coluna(1).TipoTotal, TipoTotal::PreCalculado); // the maximum differs from the sum
    EXPECT_EQ(tabela.NumNotas(), 1);
    EXPECT_EQ(janela->LinhasLog(), (std::vector<std::string>{"Arquivos: teste.dbc"}));
    EXPECT_EQ(cfg.DirSalva, pasta.Caminho().string() + "/");
    EXPECT_TRUE(msgs.Textos().empty());
}

TEST_F(JanelaPrincipal, CliqueNoTituloOrdenaEEditarSegueALinhaMostrada) {
    janela->Acao(QStringLiteral("Tabula1"))->trigger();
    // Values -1.5, -3, -4.5: the first click shows the largest first, the next reverses.
    Clica(0, 2, Qt::LeftButton);
    EXPECT_EQ(tabela.ColunaOrdem, 2);
    EXPECT_EQ(Celula(2, 0), QStringLiteral("11 Norte"));
    Clica(0, 2, Qt::LeftButton);
    EXPECT_EQ(Celula(2, 0), QStringLiteral("13 Sudeste"));
    janela->Modelo->setData(janela->Modelo->index(2, 0), QStringLiteral("13 Rond\u00F4nia"), Qt::EditRole);
    EXPECT_EQ(tabela.Rotulo(3), "13 Rond\xF4nia");
    EXPECT_EQ(tabela.Rotulo(1), "11 Norte");
}

TEST_F(JanelaPrincipal, SairPerguntaECancelarMantemAJanelaAberta) {
    janela->Acao(QStringLiteral("Tabula1"))->trigger();
    msgs.Responde("2"); // &Cancela
    janela->Acao(QStringLiteral("Sair1"))->trigger();
    EXPECT_TRUE(janela->isVisible());
    EXPECT_FALSE(saiu);
    msgs.Responde("0"); // &Sim, then the save dialog is cancelled
    janela->close();
    EXPECT_TRUE(janela->isVisible());
    EXPECT_EQ(tabela.NumLinhas, 3);
    EXPECT_FALSE(std::filesystem::exists(pasta / "Dorvan.ini"));

    msgs.Responde("1"); // &Não
    janela->close();
    EXPECT_FALSE(janela->isVisible());
    EXPECT_TRUE(saiu);
    EXPECT_TRUE(std::filesystem::exists(pasta / "Dorvan.ini"));
    ASSERT_EQ(msgs.Registros().size(), 3u);
    for (const auto& r : msgs.Registros()) EXPECT_EQ(r.texto, "Salvar a tabela atual?");
}

TEST_F(JanelaPrincipal, FecharComDialogoCanceladoNaoPerdeATabela) {
    janela->Acao(QStringLiteral("Tabula1"))->trigger();
    msgs.Responde("S");
    janela->Acao(QStringLiteral("Nova1"))->trigger();
    EXPECT_EQ(tabela.NumLinhas, 3);
    EXPECT_TRUE(janela->StringGrid1->isVisible());
    msgs.Responde("N");
    janela->Acao(QStringLiteral("Nova1"))->trigger();
    EXPECT_EQ(tabela.NumLinhas, 0);
    EXPECT_EQ(msgs.Textos(), (std::vector<std::string>{"Salvar Tabela Atual?", "Salvar Tabela Atual?"}));
}

TEST_F(JanelaPrincipal, UmaColunaDesabilitaOperacoesDeDuas) {
    Ganchos().Tabula = [](TForm1& f) {
        f.FechaTabela();
        TabelaResultados& t = f.Tabela();
        t.AlocaLinhas(2, 2);
        AcrescentaColuna(t, "A", 0);
        f.MostraTabela();
    };
    janela->Acao(QStringLiteral("Tabula1"))->trigger();
    for (const char* n : {"Divide1", "bTranspoe", "Scater1", "SpeedButton13", "Trocarlinhas"}) EXPECT_FALSE(Habilitado(n)) << n;
    for (const char* n : {"Acumula1", "bLinhas", "Total1", "Ordenar1"}) EXPECT_TRUE(Habilitado(n)) << n;
}

TEST_F(JanelaPrincipal, SemTabulacaoInstaladaDizQueNaoHa) {
    Ganchos().Tabula = nullptr;
    janela->Acao(QStringLiteral("Tabula1"))->trigger();
    EXPECT_EQ(msgs.Textos(),
              (std::vector<std::string>{"A tabula\xE7\xE3o ainda n\xE3o est\xE1 dispon\xEDvel nesta vers\xE3o."}));
}

TEST_F(JanelaPrincipal, LinhaDeComandoAbreUmaTabela) {
    pasta.Grava("a.TAB", "\"L\";\"A\"\r\n\"x\";1\r\n\"y\";2\r\n\"Total\";3\r\n");
    TabelaResultados outra;
    TForm1 f(outra, cfg);
    f.Inicia({pasta / "a.TAB"});
    EXPECT_EQ(outra.NumLinhas, 2);
    EXPECT_EQ(f.Modelo->rowCount(), 4);
}

TEST_F(JanelaPrincipal, LinhaDeComandoMostraOLogAoLadoDaJanela) {
    pasta.Grava("l.tab", "Arquivos: A.DBC\r\n\"L\";\"A\"\r\n\"x\";1\r\n\"y\";2\r\n\"Total\";3\r\n");
    std::vector<bool> modos;
    Ganchos().MostraLog = [&](TForm1&, bool modal) { modos.push_back(modal); };
    for (bool mostra : {false, true}) {
        cfg.MostraLog = mostra;
        TabelaResultados outra;
        TForm1 f(outra, cfg);
        f.Inicia({pasta / "l.tab"});
        EXPECT_EQ(outra.NumLinhas, 2);
    }
    Ganchos().MostraLog = nullptr;
    EXPECT_EQ(modos, (std::vector<bool>{false})) << "shown once, and not modal";
}

// The model forms cells on demand: a producer's largest table and a wide one
// show without building any per-cell storage.
TEST_F(JanelaPrincipal, GradeGrandeSemCopiarCelulas) {
    Ganchos().Tabula = [](TForm1& f) {
        f.FechaTabela();
        TabelaResultados& t = f.Tabela();
        t.AlocaLinhas(MaxLinhasTabela, MaxLinhasTabela);
        AcrescentaColuna(t, "A", 0);
        for (int r = 1; r <= MaxLinhasTabela; ++r) t.Dado(1, r) = r;
        f.MostraTabela();
    };
    janela->Acao(QStringLiteral("Tabula1"))->trigger();
    EXPECT_EQ(janela->Modelo->rowCount(), MaxLinhasTabela + 2);
    janela->StringGrid1->scrollToBottom();
    EXPECT_EQ(Celula(MaxLinhasTabela + 1, 1), QStringLiteral("199,001"));

    Ganchos().Tabula = [](TForm1& f) {
        f.FechaTabela();
        TabelaResultados& t = f.Tabela();
        t.AlocaLinhas(3, 3);
        for (int c = 1; c <= MaxColunas; ++c) AcrescentaColuna(t, "C" + std::to_string(c), 0);
        f.MostraTabela();
        f.AjustaRolagem();
    };
    janela->Acao(QStringLiteral("Tabula1"))->trigger();
    EXPECT_EQ(janela->Modelo->columnCount(), MaxColunas + 1);
    EXPECT_EQ(Celula(0, MaxColunas), QStringLiteral("C6000"));
}

// A table wider and taller than the window: the fixed rows and the label column
// must stay put whatever moves the focus, the current cell or the rows.
TEST_F(JanelaPrincipal, AreasFixasNaoRolamComFocoCliqueOrdemLocalizarEDialogo) {
    LigaComandosImportacao(*janela, [](const TabelaResultados&, const std::string&) {});
    Ganchos().Tabula = [](TForm1& f) {
        f.FechaTabela();
        TabelaResultados& t = f.Tabela();
        t.AlocaLinhas(80, 80);
        t.DefineNomeColuna(0, "Munic\xEDpio");
        for (int c = 1; c <= 25; ++c)
            AcrescentaColuna(t, "Coluna " + std::to_string(c), 0);
        for (int r = 1; r <= 80; ++r) {
            t.Rotulo(r) = std::to_string(10 + r) + " Norte " + std::to_string(r);
            for (int c = 1; c <= 25; ++c)
                t.Dado(c, r) = (r * 37 + c * 11) % 97;
        }
        for (int c = 1; c <= 25; ++c)
            CalculaTotal(t, c);
        DetectaCodigo(t);
        f.MostraTabela();
    };
    janela->Acao(QStringLiteral("Tabula1"))->trigger();
    GradeFixa& grade = *janela->StringGrid1;
    EXPECT_TRUE(teste::VerificaAreasFixas(grade)) << "shown";

    // The window manager hands the focus to the grid.
    janela->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(janela.get()));
    grade.setFocus();
    EXPECT_TRUE(grade.hasFocus());
    EXPECT_TRUE(teste::VerificaAreasFixas(grade)) << "after the focus";

    // A click on a cell far right and down.
    grade.horizontalScrollBar()->setValue(grade.horizontalScrollBar()->maximum() / 2);
    grade.verticalScrollBar()->setValue(grade.verticalScrollBar()->maximum() / 2);
    const QModelIndex meio = grade.indexAt(grade.viewport()->rect().center());
    ASSERT_TRUE(meio.isValid());
    QTest::mouseClick(grade.viewport(), Qt::LeftButton, {}, grade.visualRect(meio).center());
    EXPECT_EQ(grade.currentIndex(), meio);
    EXPECT_TRUE(teste::VerificaAreasFixas(grade)) << "after a cell click";

    // A click on the title of the column under the pointer sorts by it.
    const QRect titulo = grade.Topo()->visualRect(janela->Modelo->index(0, meio.column()));
    QTest::mouseClick(grade.Topo()->viewport(), Qt::LeftButton, {}, titulo.center());
    EXPECT_EQ(tabela.ColunaOrdem, meio.column());
    EXPECT_TRUE(teste::VerificaAreasFixas(grade)) << "after a sort";

    // Find brings a row near the end to the top.
    emit janela->findChild<QMenu*>(QStringLiteral("Editar1"))->aboutToShow();
    janela->Acao(QStringLiteral("Localizar1"))->trigger();
    TLocaliza& busca = JanelaLocaliza(*janela);
    busca.edTexto->setText(QStringLiteral("Norte 40"));
    busca.bLocaliza->click();
    EXPECT_EQ(tabela.ColunaOrdem, 0);
    EXPECT_TRUE(msgs.Textos().empty());
    EXPECT_EQ(grade.currentIndex().row(), 41);
    EXPECT_EQ(grade.rowAt(0), 41);
    busca.close();
    EXPECT_TRUE(teste::VerificaAreasFixas(grade)) << "after find";

    // A modal dialog over the window, opened and closed: the focus comes back.
    grade.setFocus();
    teste::QuandoModal([](QWidget* w) { w->close(); });
    janela->Sobre1Click();
    QApplication::processEvents();
    EXPECT_TRUE(teste::VerificaAreasFixas(grade)) << "after a dialog";
    // The column attributes dialog, cancelled.
    teste::QuandoModal([](QWidget* w) { w->close(); });
    const QRect outro = grade.Topo()->visualRect(janela->Modelo->index(0, grade.columnAt(0) + 1));
    QTest::mouseClick(grade.Topo()->viewport(), Qt::RightButton, {}, outro.center());
    QApplication::processEvents();
    EXPECT_TRUE(teste::VerificaAreasFixas(grade)) << "after the column dialog";

    // The keyboard walks the cells; the margins follow only along their own axis.
    for (int k = 0; k < 12; ++k)
        QTest::keyClick(&grade, Qt::Key_Right);
    for (int k = 0; k < 12; ++k)
        QTest::keyClick(&grade, Qt::Key_Down);
    QTest::keyClick(&grade, Qt::Key_Home, Qt::ControlModifier);
    EXPECT_TRUE(teste::VerificaAreasFixas(grade)) << "after keys";
}

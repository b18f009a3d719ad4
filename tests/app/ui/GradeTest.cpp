// The main window's grid in the assembled program: whatever the user does to the
// table, the title and totals rows and the label column stay in place, and the
// labels show from their first character.
#include "app/ui/ProgramaMontado.h"

#include "maps/ui/TEscolheNome.h"
#include "platform/db/BancoDados.h"
#include "query/ui/TfQuery.h"
#include "support/DirigeJanelas.h"
#include "support/VerificaGrade.h"
#include "table/LogExecucao.h"
#include "table/ui/ComandosImportacao.h"
#include "table/ui/GradeFixa.h"
#include "table/ui/ModeloTabela.h"
#include "table/ui/TLocaliza.h"
#include "table/ui/TLog.h"

#include <QApplication>
#include <QFileDialog>
#include <QImage>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <string>
#include <vector>

using namespace dorvan;
using namespace dorvan::teste;

namespace {

GradeFixa& Grade() { return *Principal().StringGrid1; }

// The label column is as wide as its area, and each label beside a visible row is
// there, drawn from the column's left edge, with room at least for its first two
// characters (a collapsed column has none).
::testing::AssertionResult RotulosDesdeOInicio() {
    QApplication::processEvents();
    GradeFixa& g = Grade();
    QTableView* esq = g.Esquerda();
    const int largura = esq->columnWidth(0);
    if (esq->width() != largura || esq->geometry().left() != g.viewport()->geometry().left() - largura)
        return ::testing::AssertionFailure() << "the label column is " << largura << " px wide, its area "
                                             << esq->width() << " px at x " << esq->geometry().left();
    int vistas = 0;
    for (int y = 0; y < esq->viewport()->height(); y += esq->verticalHeader()->defaultSectionSize()) {
        const int linha = esq->rowAt(y);
        if (linha < 2) continue;
        const QModelIndex i = g.model()->index(linha, 0);
        const QString texto = i.data().toString();
        if (texto.trimmed().isEmpty()) return ::testing::AssertionFailure() << "row " << linha << " has no label";
        const QFont fonte = qvariant_cast<QFont>(i.data(Qt::FontRole));
        const int precisa = QFontMetrics(fonte).horizontalAdvance(texto.trimmed().left(2));
        if (largura < precisa + 4)
            return ::testing::AssertionFailure() << "the label column (" << largura << " px) cuts \""
                                                 << texto.toStdString() << "\" (" << precisa << " px for its start)";
        if (esq->visualRect(i).left() != 0)
            return ::testing::AssertionFailure()
                   << "\"" << texto.toStdString() << "\" starts at x " << esq->visualRect(i).left();
        ++vistas;
    }
    if (vistas == 0) return ::testing::AssertionFailure() << "no label is visible";
    return ::testing::AssertionSuccess();
}

// Both checks of the grid after a step.
void Confere(const char* passo) {
    SCOPED_TRACE(passo);
    ASSERT_TRUE(Grade().isVisible()) << "the grid is hidden";
    EXPECT_TRUE(VerificaAreasFixas(Grade()));
    EXPECT_TRUE(RotulosDesdeOInicio());
}

// A click on the first value cell shown, as a user starts on a new table.
void ClicaValor(const char* passo) {
    GradeFixa& g = Grade();
    const QModelIndex i = g.indexAt(QPoint(1, 1));
    ASSERT_TRUE(i.isValid()) << passo;
    QTest::mouseClick(g.viewport(), Qt::LeftButton, {}, g.visualRect(i).center());
    EXPECT_EQ(g.currentIndex(), i) << passo;
    Confere(passo);
}

// A table taller and wider than the window, in the table file format.
std::string TabelaGrande() {
    std::string s = "Titulo1=Casos por munic\xEDpio\r\n\"Munic\xEDpio\"";
    for (int c = 1; c <= 25; ++c)
        s += ";\"Coluna " + std::to_string(c) + "\"";
    s += "\r\n";
    for (int r = 1; r <= 80; ++r) {
        s += "\"" + std::to_string(110000 + r) + " Cidade " + std::to_string(r) + "\"";
        for (int c = 1; c <= 25; ++c)
            s += ";" + std::to_string((r * 37 + c * 11) % 97);
        s += "\r\n";
    }
    return s;
}

void AbreTabelaGrande() {
    Prepara(Estado::SemTabela);
    const std::string tab = Pasta().Grava("grande.tab", TabelaGrande());
    const Efeito e = Dispara(Principal().Acao(QStringLiteral("Abrir1")), RespostaArquivo(tab));
    ASSERT_EQ(Principal().Tabela().NumLinhas, 80) << e.Descreve();
    ASSERT_EQ(Principal().Tabela().NumColunas(), 25);
}

} // namespace

TEST(GradePrincipal, FixedAreasStayThroughFocusClickSortFindAndDialogs) {
    ASSERT_NO_FATAL_FAILURE(AbreTabelaGrande());
    GradeFixa& g = Grade();
    TForm1& f = Principal();
    Confere("opened");
    ASSERT_GT(g.horizontalScrollBar()->maximum(), 0) << "the table must scroll sideways";
    ASSERT_GT(g.verticalScrollBar()->maximum(), 0) << "the table must scroll down";

    f.activateWindow();
    g.setFocus();
    QApplication::processEvents();
    Confere("focus");

    g.horizontalScrollBar()->setValue(g.horizontalScrollBar()->maximum() / 2);
    g.verticalScrollBar()->setValue(g.verticalScrollBar()->maximum() / 2);
    const QModelIndex meio = g.indexAt(g.viewport()->rect().center());
    ASSERT_TRUE(meio.isValid());
    QTest::mouseClick(g.viewport(), Qt::LeftButton, {}, g.visualRect(meio).center());
    EXPECT_EQ(g.currentIndex(), meio);
    Confere("cell clicked");

    const QRect titulo = g.Topo()->visualRect(f.Modelo->index(0, meio.column()));
    QTest::mouseClick(g.Topo()->viewport(), Qt::LeftButton, {}, titulo.center());
    EXPECT_EQ(f.Tabela().ColunaOrdem, meio.column());
    Confere("sorted");

    emit f.findChild<QMenu*>(QStringLiteral("Editar1"))->aboutToShow();
    f.Acao(QStringLiteral("Localizar1"))->trigger();
    TLocaliza& busca = JanelaLocaliza(f);
    busca.edTexto->setText(QStringLiteral("Cidade 40"));
    busca.bLocaliza->click();
    EXPECT_EQ(g.rowAt(0), 41) << "the row found goes to the top";
    busca.close();
    Confere("found");

    std::string dialogo;
    teste::QuandoModal([&dialogo](QWidget* w) {
        dialogo = w->windowTitle().toStdString();
        w->close();
    });
    const QRect outro = g.Topo()->visualRect(f.Modelo->index(0, g.columnAt(0) + 1));
    QTest::mouseClick(g.Topo()->viewport(), Qt::RightButton, {}, outro.center());
    QApplication::processEvents();
    EXPECT_THAT(dialogo, ::testing::StartsWith("Atributos da coluna"));
    Confere("column dialog cancelled");
    Prepara(Estado::SemTabela);
}

TEST(GradePrincipal, FixedAreasStayAfterADbfOpenedThroughAbrirTabela) {
    ASSERT_NO_FATAL_FAILURE(AbreTabelaGrande());
    Grade().verticalScrollBar()->setValue(Grade().verticalScrollBar()->maximum());
    const std::string dbf = Amostra() + "/LOCOCOR.DBF";
    const Efeito e = Dispara(Principal().Acao(QStringLiteral("Abrir1")), [&](QWidget* w) {
        if (auto* d = qobject_cast<QFileDialog*>(w)) return RespostaArquivo(dbf)(d);
        auto* escolhe = qobject_cast<TEscolheNome*>(w);
        if (!escolhe) return;
        escolhe->lbNome->setCurrentRow(escolhe->lbNome->count() - 1);
        escolhe->OK->click();
    });
    ASSERT_GT(Principal().Tabela().NumLinhas, 0) << e.Descreve();
    Confere("dbf opened");
    ClicaValor("dbf: value clicked");
    Prepara(Estado::SemTabela);
}

TEST(GradePrincipal, FixedAreasStayAfterATabulationAndItsLogClosed) {
    ASSERT_NO_FATAL_FAILURE(AbreTabelaGrande());
    Principal().Tabela().Modificada = false;
    LogAtual().DefineMostraAoAbrir(true);
    bool rodou = false;
    const Efeito e = TabulaAmostra({}, nullptr, &rodou);
    ASSERT_TRUE(rodou) << e.Descreve();
    ASSERT_GT(Principal().Tabela().NumLinhas, 0) << e.Descreve();
    Confere("tabulated");
    ASSERT_NE(Log, nullptr);
    if (!Log->isVisible()) Log->showNormal();
    Log->bFecha->click();
    QApplication::processEvents();
    EXPECT_FALSE(Log->isVisible());
    Principal().activateWindow();
    Confere("log closed");
    ClicaValor("tabulation: value clicked");
    Prepara(Estado::SemTabela);
}

// Runs "SELECT uf, casos, obitos FROM casos ORDER BY uf" through "Consulta SQL" over a
// database holding these rows (SQL values), from a wide table scrolled to its end.
void ConsultaUF(const std::string& linhas) {
    ASSERT_NO_FATAL_FAILURE(AbreTabelaGrande());
    Grade().verticalScrollBar()->setValue(Grade().verticalScrollBar()->maximum());
    Grade().horizontalScrollBar()->setValue(Grade().horizontalScrollBar()->maximum());
    Principal().Tabela().Modificada = false;
    const std::string banco = Pasta() / "banco-grade";
    std::filesystem::create_directories(banco);
    ASSERT_EQ(Executa("sqlite3 '" + banco +
                      "/dorvan.sqlite' \"CREATE TABLE IF NOT EXISTS casos (uf TEXT, casos INTEGER, obitos INTEGER);"
                      "DELETE FROM casos; INSERT INTO casos VALUES " +
                      linhas + ";\""),
              0);
    if (!MotorAtual().AliasExiste("Grade"))
        MotorAtual().DefineAlias({"Grade", DriverSQLite, banco + "/dorvan.sqlite", "", 0, "", ""});
    const std::string sql = Pasta().Grava("casos-uf.sql", "#Casos por UF\r\n"
                                                          "#Grade\r\n"
                                                          "#\r\n"
                                                          "SELECT uf, casos, obitos FROM casos ORDER BY uf\r\n");
    ASSERT_TRUE(Principal().Acao(QStringLiteral("SQL1"))->isVisible()) << "the database engine did not start";
    const Efeito e = Dispara(Principal().Acao(QStringLiteral("SQL1")), [&](QWidget* w) {
        if (auto* d = qobject_cast<QFileDialog*>(w)) return RespostaArquivo(sql)(d);
        auto* q = qobject_cast<TfQuery*>(w);
        if (!q) return;
        q->CarregaAliases();
        if (!q->bAbrir->isVisible()) q->bSQL->click();
        q->bAbrir->click();
        q->bExecute->click();
    });
    ASSERT_GT(Principal().Tabela().NumLinhas, 0) << e.Descreve();
    ASSERT_EQ(Principal().Tabela().NumColunas(), 2);
}

// The labels beside the visible rows, as the model gives them.
QStringList RotulosVisiveis() {
    QStringList rotulos;
    QTableView* esq = Grade().Esquerda();
    for (int g = 2; g < Principal().Modelo->rowCount(); ++g) {
        const QModelIndex i = Principal().Modelo->index(g, 0);
        if (esq->visualRect(i).intersects(esq->viewport()->rect())) rotulos << i.data().toString();
    }
    return rotulos;
}

TEST(GradePrincipal, FixedAreasAndLabelsShowAfterAQueryIntoTheTable) {
    ASSERT_NO_FATAL_FAILURE(ConsultaUF("('RN', 30, 3), ('SP', 70, 7), ('PE', 50, 5)"));
    EXPECT_EQ(Principal().Tabela().NumLinhas, 3);
    Confere("query run");
    EXPECT_THAT(RotulosVisiveis(),
                ::testing::ElementsAre(QStringLiteral("PE"), QStringLiteral("RN"), QStringLiteral("SP")));
    ClicaValor("query: value clicked");
    Prepara(Estado::SemTabela);
}

// The label column is as wide as the longest label in capitals "B", but some capitals
// are wider: a label that does not fit is cut at the column's edge, never shortened
// to its first letter and an ellipsis, which would draw "RN10" and "RJ10" alike.
TEST(GradePrincipal, LabelsWiderThanTheirColumnShowTheirFirstCharactersApart) {
    ASSERT_NO_FATAL_FAILURE(ConsultaUF("('RN10', 30, 3), ('RJ10', 70, 7), ('RS10', 50, 5), ('MW10', 20, 2)"));
    Confere("query run");
    ASSERT_THAT(RotulosVisiveis(), ::testing::ElementsAre(QStringLiteral("MW10"), QStringLiteral("RJ10"),
                                                          QStringLiteral("RN10"), QStringLiteral("RS10")));
    QTableView* esq = Grade().Esquerda();
    const QImage tela = esq->viewport()->grab().toImage();
    std::vector<QImage> celulas;
    for (int g = 2; g < 6; ++g)
        celulas.push_back(tela.copy(esq->visualRect(Principal().Modelo->index(g, 0))));
    for (std::size_t a = 0; a < celulas.size(); ++a)
        for (std::size_t b = a + 1; b < celulas.size(); ++b)
            EXPECT_NE(celulas[a], celulas[b]) << "labels of rows " << a + 2 << " and " << b + 2 << " look alike";
    Prepara(Estado::SemTabela);
}

namespace {

// The editor open in the grid, if any: the widget that has the keyboard.
QLineEdit* EditorAberto() {
    QApplication::processEvents();
    return qobject_cast<QLineEdit*>(QApplication::focusWidget());
}

// Clicks the cell (g, c) where the grid shows it: a title in the top rows, a label at the left.
void ClicaCelula(int g, int c) {
    GradeFixa& grade = Grade();
    QTableView* v = g < 2 ? (c == 0 ? grade.Canto() : grade.Topo()) : (c == 0 ? grade.Esquerda() : &grade);
    const QModelIndex i = Principal().Modelo->index(g, c);
    QTest::mouseClick(v->viewport(), Qt::LeftButton, {}, v->visualRect(i).center());
    QApplication::processEvents();
}

void Tecla(Qt::Key k, Qt::KeyboardModifiers m = {}) {
    QWidget* alvo = QApplication::focusWidget() ? QApplication::focusWidget() : &Grade();
    QTest::keyClick(alvo, k, m);
    QApplication::processEvents();
}

// Types the text key by key into whatever has the keyboard, as a user does.
void Digita(const QString& texto) {
    for (QChar ch : texto) {
        QWidget* alvo = QApplication::focusWidget() ? QApplication::focusWidget() : &Grade();
        QTest::keyClick(alvo, ch.toLatin1());
        QApplication::processEvents();
    }
}

} // namespace

// A label or a title is typed into where it stands, as a double click edits it: the
// text shows while it is typed, Escape leaves the cell as it was, Enter stores it.
TEST(GradePrincipal, TypingIntoALabelOrATitleShowsTheTextInThatCell) {
    Prepara(Estado::ComTabela);
    TForm1& f = Principal();
    GradeFixa& g = Grade();
    f.activateWindow();
    g.setFocus();
    const std::string rotulo = f.Tabela().Rotulo(LinhaReal(f.Tabela(), 3));

    ClicaCelula(3, 0);
    ASSERT_EQ(g.currentIndex(), f.Modelo->index(3, 0));
    Digita(QStringLiteral("Xy"));
    QLineEdit* ed = EditorAberto();
    ASSERT_NE(ed, nullptr) << "no editor took the keys";
    EXPECT_TRUE(ed->isVisible());
    EXPECT_EQ(ed->parentWidget(), g.Esquerda()->viewport()) << "the editor is not where the label is shown";
    EXPECT_TRUE(ed->geometry().intersects(g.Esquerda()->visualRect(f.Modelo->index(3, 0))));
    EXPECT_EQ(ed->text(), QStringLiteral("Xy"));
    Tecla(Qt::Key_Escape);
    EXPECT_EQ(f.Tabela().Rotulo(LinhaReal(f.Tabela(), 3)), rotulo) << "Escape stored the text";
    EXPECT_NE(EditorAberto(), ed);

    ClicaCelula(0, 2);
    Digita(QStringLiteral("Novo"));
    ed = EditorAberto();
    ASSERT_NE(ed, nullptr) << "no editor took the keys";
    EXPECT_EQ(ed->parentWidget(), g.Topo()->viewport()) << "the editor is not where the title is shown";
    EXPECT_EQ(ed->text(), QStringLiteral("Novo"));
    Tecla(Qt::Key_Return);
    EXPECT_EQ(f.Tabela().NomeColuna(2), "Novo");
    Prepara(Estado::SemTabela);
}

// The arrow keys move from a label or a title as from any other cell.
TEST(GradePrincipal, ArrowKeysMoveFromALabelOrATitleAsFromAnyCell) {
    Prepara(Estado::ComTabela);
    TForm1& f = Principal();
    GradeFixa& g = Grade();
    f.activateWindow();
    g.setFocus();
    struct Passo {
        Qt::Key tecla;
        int linha, coluna;
    };
    ClicaCelula(3, 0);
    for (const Passo& p : {Passo{Qt::Key_Down, 4, 0}, Passo{Qt::Key_Up, 3, 0}, Passo{Qt::Key_Up, 2, 0},
                           Passo{Qt::Key_Right, 2, 1}, Passo{Qt::Key_Left, 2, 0}, Passo{Qt::Key_Up, 1, 0},
                           Passo{Qt::Key_Up, 0, 0}, Passo{Qt::Key_Right, 0, 1}, Passo{Qt::Key_Right, 0, 2},
                           Passo{Qt::Key_Down, 1, 2}, Passo{Qt::Key_Down, 2, 2}, Passo{Qt::Key_Left, 2, 1}}) {
        Tecla(p.tecla);
        EXPECT_EQ(g.currentIndex(), f.Modelo->index(p.linha, p.coluna))
            << "key " << p.tecla << " should reach (" << p.linha << ", " << p.coluna << ")";
    }
    Prepara(Estado::SemTabela);
}

// A title click sorts and shows the table from its top row, and Find then searches
// from there: no match above the rows on screen is skipped.
TEST(GradePrincipal, SortingByATitleShowsTheTopRowAndFindStartsThere) {
    ASSERT_NO_FATAL_FAILURE(AbreTabelaGrande());
    TForm1& f = Principal();
    GradeFixa& g = Grade();
    f.activateWindow();
    g.setFocus();
    ClicaValor("value clicked");
    QTest::keyClick(&g, Qt::Key_End, Qt::ControlModifier);
    QApplication::processEvents();
    ASSERT_EQ(g.verticalScrollBar()->value(), g.verticalScrollBar()->maximum());
    ASSERT_GT(g.verticalScrollBar()->value(), 0);
    const int coluna = g.columnAt(0);
    const QRect titulo = g.Topo()->visualRect(f.Modelo->index(0, coluna));
    QTest::mouseClick(g.Topo()->viewport(), Qt::LeftButton, {}, titulo.center());
    QApplication::processEvents();
    ASSERT_EQ(f.Tabela().ColunaOrdem, coluna);
    EXPECT_EQ(g.rowAt(0), 2) << "the largest values are out of view";

    QTest::keyClick(&g, Qt::Key_End, Qt::ControlModifier);
    QApplication::processEvents();
    f.Acao(QStringLiteral("Localizar1"))->trigger();
    QApplication::processEvents();
    EXPECT_EQ(g.rowAt(0), 2) << "back in natural order, the table shows from its top";
    TLocaliza& busca = JanelaLocaliza(f);
    busca.edTexto->setText(QStringLiteral("Cidade 10"));
    Msgs().textos.clear();
    busca.bLocaliza->click();
    EXPECT_EQ(g.currentIndex().row(), 11) << "\"Cidade 10\" skipped";
    EXPECT_THAT(Msgs().textos, ::testing::IsEmpty());
    busca.close();
    Prepara(Estado::SemTabela);
}

// A column dragged narrower than its title stays as narrow as it was dragged.
TEST(GradePrincipal, AColumnDraggedNarrowerThanItsTitleKeepsTheDraggedWidth) {
    Prepara(Estado::ComTabela);
    GradeFixa& g = Grade();
    QTableView* topo = g.Topo();
    const int c = 2;
    const int antes = topo->columnWidth(c);
    ASSERT_GT(antes, 30);
    const QRect r = topo->visualRect(Principal().Modelo->index(0, c));
    const QPoint borda(r.right(), r.center().y());
    QTest::mousePress(topo->viewport(), Qt::LeftButton, {}, borda);
    for (int dx = 4; dx <= antes - 20; dx += 4)
        QTest::mouseMove(topo->viewport(), borda - QPoint(dx, 0));
    const int arrastada = topo->columnWidth(c);
    ASSERT_LT(arrastada, antes - 10) << "the border did not follow the mouse";
    QTest::mouseRelease(topo->viewport(), Qt::LeftButton, {}, borda - QPoint(antes - 20, 0));
    QApplication::processEvents();
    // It holds as dragged, to the width of a digit (the column's width is kept in digits).
    const int digito = QFontMetrics(QFont(QStringLiteral("Arial"), 8)).horizontalAdvance(QLatin1Char('0'));
    EXPECT_NEAR(topo->columnWidth(c), arrastada, digito);
    EXPECT_EQ(g.columnWidth(c), topo->columnWidth(c));
    EXPECT_LT(topo->columnWidth(c), antes - 10);
    Prepara(Estado::SemTabela);
}

// The SQL window as the main window opens it: a saved query opened and run through
// "Consulta SQL".
#include "app/ui/ProgramaMontado.h"

#include "data/LeDBF32.h"
#include "platform/db/BancoDados.h"
#include "query/ui/TfBrowse.h"
#include "query/ui/TfQuery.h"
#include "table/ui/TInfo.h"
#include "table/ui/GradeFixa.h"

#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <filesystem>
#include <QPushButton>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

using namespace dorvan;
using namespace dorvan::teste;

namespace {

// A standard alias the user made over a folder holding a DBF file of two regions.
void AliasDeCasos(const char* pasta, const char* alias) {
    const std::string banco = Pasta() / pasta;
    std::filesystem::create_directories(banco);
    {
        dbfRecord h;
        CreateDBF(h, banco + "/CASOS.DBF", {{"REGIAO", 'C', 12, 0, 0}, {"OBITOS", 'N', 3, 0, 0}}, 3);
        for (const char* r : {" 11 Norte      3", " 12 Nordeste   7"})
            AppendDBF(h, r);
        CloseDBF(h);
    }
    if (!MotorAtual().AliasExiste(alias)) MotorAtual().AdicionaAliasPadrao(alias, banco);
}

} // namespace

TEST(ConsultaSQL, ASavedQueryOpenedInTheSqlWindowRunsIntoTheTable) {
    Prepara(Estado::SemTabela);
    AliasDeCasos("banco", "Amostra");
    const std::string sql = Pasta().Grava("obitos.sql", "#\xD3"
                                                        "bitos por regi\xE3o\r\n"
                                                        "#Amostra\r\n"
                                                        "#\r\n"
                                                        "SELECT regiao, obitos FROM casos\r\n");
    ASSERT_TRUE(Principal().Acao(QStringLiteral("SQL1"))->isVisible()) << "the database engine did not start";
    bool abriu = false;
    const Efeito e = Dispara(Principal().Acao(QStringLiteral("SQL1")), [&](QWidget* w) {
        if (auto* d = qobject_cast<QFileDialog*>(w)) return RespostaArquivo(sql)(d);
        auto* q = qobject_cast<TfQuery*>(w);
        if (!q) return;
        q->CarregaAliases();                           // as the alias editor leaves it
        if (!q->bAbrir->isVisible()) q->bSQL->click(); // "Modo Programador" shows "Abrir"
        q->bAbrir->click();
        abriu = q->Memo1 && q->windowTitle() == QString::fromStdString(sql);
        q->bExecute->click();
    });
    EXPECT_TRUE(abriu) << e.Descreve();
    const TabelaResultados& t = Principal().Tabela();
    EXPECT_EQ(t.NumLinhas, 2) << e.Descreve();
    EXPECT_EQ(t.NumColunas(), 1);
    EXPECT_TRUE(Principal().StringGrid1->isVisible());
    Prepara(Estado::SemTabela);
}

// "Salvar DBF" from the SQL window, which is modal: the browser opens in front with
// the file written, and takes input until it is closed; then the SQL window does again.
TEST(ConsultaSQL, TheBrowserOpenedBySalvarDBFComesInFrontOfTheSqlWindow) {
    Prepara(Estado::SemTabela);
    AliasDeCasos("banco_dbf", "Gravados");
    ASSERT_TRUE(Principal().Acao(QStringLiteral("SQL1"))->isVisible()) << "the database engine did not start";
    const std::string dbf = Pasta() / "gravado.dbf";
    bool naFrente = false, mostrou = false, voltou = false, infoNaFrente = false;
    const Efeito e = Dispara(Principal().Acao(QStringLiteral("SQL1")), [&](QWidget* w) {
        auto* q = qobject_cast<TfQuery*>(w);
        if (!q) return;
        q->CarregaAliases();
        q->cbDataBase->setEditText(QStringLiteral("Gravados"));
        q->cbDataBaseClick();
        q->DefineLinhasSQL({"select regiao, obitos from casos"});
        q->EscolheArquivoDBF = [&] { return dbf; };
        q->bDBF->click();
        ASSERT_TRUE(fBrowse);
        mostrou = fBrowse->isVisible() && fBrowse->Dbf.Nome == dbf;
        naFrente = QApplication::activeModalWidget() == fBrowse;
        // What the browser shows of the file comes in front of it in turn.
        fBrowse->InformacaoClick();
        infoNaFrente = Info && Info->isVisible() && QApplication::activeModalWidget() == Info &&
                       Info->windowTitle().startsWith(QStringLiteral("Informa"));
        if (Info) Info->close();
        naFrente = naFrente && QApplication::activeModalWidget() == fBrowse;
        fBrowse->close();
        voltou = QApplication::activeModalWidget() == q;
    });
    EXPECT_TRUE(mostrou) << e.Descreve();
    EXPECT_TRUE(naFrente) << e.Descreve();
    EXPECT_TRUE(infoNaFrente) << e.Descreve();
    EXPECT_TRUE(voltou) << e.Descreve();
    Prepara(Estado::SemTabela);
}

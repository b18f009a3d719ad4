// The "Arquivo" and "Ajuda" menus: every item in every table state, and the files a
// user opens through them.
#include "app/ui/ProgramaMontado.h"

#include "maps/ui/TEscolheNome.h"
#include "table/ui/GradeFixa.h"

#include <QCheckBox>
#include <QFileDialog>
#include <QListWidget>
#include <QPushButton>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

using namespace dorvan;
using namespace dorvan::teste;
using ::testing::IsEmpty;

TEST(MenuArquivo, EveryItemDoesSomethingInEveryTableState) {
    // "Nova" with no table leaves the empty window it finds.
    EXPECT_THAT(AcoesSemEfeito(AcoesDoMenu("Arquivo1"), {"Nova1 (sem tabela)"}), IsEmpty());
}

TEST(MenuAjuda, EveryItemDoesSomethingInEveryTableState) {
    EXPECT_THAT(AcoesSemEfeito(AcoesDoMenu("Ajuda1")), IsEmpty());
}

TEST(MenuArquivo, AbrirTabelaReadsATabFile) {
    const std::string tab = Pasta().Grava("casos.tab", "Titulo1=Casos por regi\xE3o\r\n"
                                                       "\"Regi\xE3o\";\"Casos\";\"\xD3"
                                                       "bitos\"\r\n"
                                                       "\"11 Norte\";10;1\r\n"
                                                       "\"12 Nordeste\";20;2\r\n"
                                                       "\"13 Sudeste\";30;3\r\n"
                                                       "\"Total\";60;6\r\n");
    Prepara(Estado::SemTabela);
    const Efeito e = Dispara(Principal().Acao(QStringLiteral("Abrir1")), RespostaArquivo(tab));
    const TabelaResultados& t = Principal().Tabela();
    EXPECT_EQ(t.NumLinhas, 3) << e.Descreve();
    EXPECT_EQ(t.NumColunas(), 2);
    EXPECT_EQ(t.Titulo1, "Casos por regi\xE3o");
    EXPECT_TRUE(Principal().StringGrid1->isVisible());
}

TEST(MenuArquivo, AbrirTabelaWithADbfAsksForTheCodeAndNameFields) {
    const std::string dbf = Amostra() + "/LOCOCOR.DBF";
    Prepara(Estado::SemTabela);
    QStringList campos;
    bool numericosVisivel = false;
    const Efeito e = Dispara(Principal().Acao(QStringLiteral("Abrir1")), [&](QWidget* w) {
        if (auto* d = qobject_cast<QFileDialog*>(w)) return RespostaArquivo(dbf)(d);
        auto* escolhe = qobject_cast<TEscolheNome*>(w);
        if (!escolhe) return;
        for (int i = 0; i < escolhe->lbGeo->count(); ++i)
            campos << escolhe->lbGeo->item(i)->text();
        numericosVisivel = escolhe->cbNumeros->isVisible();
        escolhe->lbNome->setCurrentRow(escolhe->lbNome->count() - 1);
        escolhe->OK->click();
    });
    ASSERT_THAT(e.dialogos, ::testing::Contains(::testing::HasSubstr("TEscolheNome")))
        << "the field chooser never showed: " << e.Descreve();
    EXPECT_GE(campos.size(), 2) << campos.join(QLatin1Char(',')).toStdString();
    EXPECT_TRUE(numericosVisivel);
    EXPECT_FALSE(EscolheNomeForm()->cbNumeros->isVisible()) << "hidden again for the map importers";
    EXPECT_EQ(EscolheNomeForm()->parentWidget(), &Principal()) << "opens in front of the main window";
    const TabelaResultados& t = Principal().Tabela();
    EXPECT_GT(t.NumLinhas, 0) << e.Descreve();
    EXPECT_TRUE(t.MostraCodigo) << "code and name from two fields";
    EXPECT_TRUE(Principal().StringGrid1->isVisible());
}

TEST(MenuArquivo, AbrirTabelaWithADbfCancelledInTheFieldChooserReadsNothing) {
    const std::string dbf = Amostra() + "/LOCOCOR.DBF";
    Prepara(Estado::SemTabela);
    const Efeito e = Dispara(Principal().Acao(QStringLiteral("Abrir1")), [&](QWidget* w) {
        if (auto* d = qobject_cast<QFileDialog*>(w)) return RespostaArquivo(dbf)(d);
        if (auto* escolhe = qobject_cast<TEscolheNome*>(w)) escolhe->Cancela->click();
    });
    EXPECT_EQ(e.dialogos.size(), 2u) << e.Descreve();
    EXPECT_EQ(Principal().Tabela().NumLinhas, 0);
}

TEST(MenuArquivo, ExecutarTabulacaoRunsTheDefChosenInTheOpenDefDialog) {
    Prepara(Estado::SemTabela);
    bool escolheu = false, rodou = false;
    const Efeito e = TabulaAmostra({}, &escolheu, &rodou);
    EXPECT_TRUE(escolheu) << e.Descreve();
    EXPECT_TRUE(rodou) << e.Descreve();
    const TabelaResultados& t = Principal().Tabela();
    EXPECT_GT(t.NumLinhas, 0) << e.Descreve();
    EXPECT_GE(t.NumColunas(), 1);
    EXPECT_TRUE(Principal().StringGrid1->isVisible());
    Prepara(Estado::SemTabela);
}

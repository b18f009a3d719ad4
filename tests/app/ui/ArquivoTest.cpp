// The "Arquivo" and "Ajuda" menus: every item in every table state, and the files a
// user opens through them.
#include "app/ui/ProgramaMontado.h"

#include "maps/ui/TEscolheNome.h"
#include "table/Configuracao.h"
#include "table/ui/GradeFixa.h"

#include <QCheckBox>
#include <QFileDialog>
#include <QListWidget>
#include <QPushButton>
#include <filesystem>
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

// A file that holds no table leaves the caption as it was.
TEST(MenuArquivo, AbrirTabelaOfAFileThatIsNoTableLeavesTheCaption) {
    const std::string prn = Pasta().Grava("linha.prn", "\"Regi\xE3o\";\"Casos\"\r\n");
    Prepara(Estado::SemTabela);
    ASSERT_EQ(Principal().windowTitle(), QStringLiteral("Dorvan"));
    const Efeito e = Dispara(Principal().Acao(QStringLiteral("Abrir1")), RespostaArquivo(prn));
    EXPECT_EQ(Principal().Tabela().NumLinhas, 0) << e.Descreve();
    EXPECT_EQ(Principal().windowTitle(), QStringLiteral("Dorvan"));
}

// The open dialog starts on the tables of the three text kinds together.
TEST(MenuArquivo, AbrirTabelaStartsOnTheFilterOfTheThreeTableKinds) {
    Prepara(Estado::SemTabela);
    std::string filtro;
    Dispara(Principal().Acao(QStringLiteral("Abrir1")), [&filtro](QWidget* w) {
        auto* d = qobject_cast<QFileDialog*>(w);
        if (!d) return;
        filtro = d->selectedNameFilter().toStdString();
        d->reject();
    });
    EXPECT_THAT(filtro, ::testing::HasSubstr("*.tab;*.prn;*.csv"));
}

// A table named on the command line is opened where it is; the folder the save dialog
// starts in stays the one the settings gave.
TEST(LinhaDeComando, ATableOpenedFromTheCommandLineLeavesTheSaveFolder) {
    const std::string tab = Pasta().Grava("linha-comando/t1.tab", "\"Regi\xE3o\";\"Casos\"\r\n"
                                                                  "\"11 Norte\";10\r\n"
                                                                  "\"12 Nordeste\";20\r\n");
    Prepara(Estado::SemTabela);
    Configuracao& cfg = Principal().Config();
    const std::string antes = cfg.DirSalva;
    std::filesystem::create_directories(Pasta() / "salva");
    const std::string salva = Pasta() / "salva/";
    cfg.DirSalva = salva;
    const std::filesystem::path atual = std::filesystem::current_path();
    std::filesystem::current_path(Pasta() / "linha-comando");
    Principal().Inicia({"t1.tab"});
    std::filesystem::current_path(atual);
    EXPECT_EQ(Principal().Tabela().NumLinhas, 2);
    EXPECT_EQ(cfg.DirSalva, salva);
    cfg.DirSalva = antes;
    Prepara(Estado::SemTabela);
}

// With no mail program "Enviar para ..." says so instead of doing nothing.
TEST(MenuArquivo, EnviarParaWithNoMailProgramTellsTheUser) {
    Prepara(Estado::ComTabela);
    DefineConsultaAssociacao([](const std::string&) { return std::string(); });
    const Efeito e = Dispara(Principal().Acao(QStringLiteral("EnviarPara")));
    DefineConsultaAssociacao({});
    EXPECT_THAT(e.documentos, IsEmpty());
    ASSERT_EQ(e.mensagens.size(), 1u) << e.Descreve();
    EXPECT_THAT(e.mensagens[0], ::testing::HasSubstr("e-mail"));
    Prepara(Estado::SemTabela);
}

// The "Quadro" and "Operações" commands as the window shows them: what the grid and
// the caption hold while and after a command reshapes the table.
#include "app/ui/ProgramaMontado.h"

#include "analysis/ExecucaoR.h"
#include "analysis/ui/ComandosR.h"
#include "platform/Mensagens.h"
#include "table/ui/GradeFixa.h"
#include "table/ui/TEscolhe_Coluna.h"

#include <QApplication>
#include <QHeaderView>
#include <QInputDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <gmock/gmock.h>
#include <fstream>
#include <gtest/gtest.h>

using namespace dorvan;
using namespace dorvan::teste;

namespace {

// Answers every number with 0 and records how many grid rows the window showed when
// the question on the removed rows came.
class MensagensSupressao : public MensagensCancela {
public:
    int linhasNaGrade = -1;
    std::string pergunta;
    bool SimOuNao(const std::string&, const std::string& texto) override {
        pergunta = texto;
        linhasNaGrade = Principal().StringGrid1->verticalHeader()->count();
        return false;
    }
    bool PerguntaNumero(const std::string&, const std::string&, std::string& resposta) override {
        resposta = "0";
        return true;
    }
};

} // namespace

// The rows left are shown before the user is asked about an aggregate of the others.
TEST(MenuQuadro, SuppressingRowsShowsTheReducedTableBeforeAskingForTheAggregate) {
    Prepara(Estado::ComTabela);
    TabelaResultados& t = Principal().Tabela();
    t.Dado(1, 2) = 0;
    t.Dado(1, 4) = 0;
    CalculaTotal(t, 1);
    Principal().MostraTabela();
    MensagensSupressao m;
    UsaMensagens usa(m);
    // The column chooser comes twice: column 1, then the criterion "Igual a".
    const auto primeiro = [](QWidget* w) {
        auto* d = qobject_cast<TEscolhe_Coluna*>(w);
        if (!d) {
            w->close();
            return;
        }
        d->ListBox1->setCurrentRow(0);
        d->bOK->click();
    };
    QuandoModal([primeiro](QWidget* w) {
        primeiro(w);
        QuandoModal(primeiro);
    });
    Principal().Acao(QStringLiteral("SupLinhas1"))->trigger();
    QApplication::processEvents();
    ASSERT_EQ(t.NumLinhas, 2);
    EXPECT_EQ(m.pergunta, "Criar linha com o agregado das linhas eliminadas");
    EXPECT_EQ(m.linhasNaGrade, 2 + 2) << "the grid still showed the rows removed";
    Prepara(Estado::SemTabela);
}

// The transposed table and one that comes back from R show their title in the caption.
TEST(MenuQuadro, TheCaptionShowsTheTitleOfATransposedTableAndOfOneFromR) {
    Prepara(Estado::ComTabela);
    const Efeito e = Dispara(Principal().Acao(QStringLiteral("bTranspoe")));
    ASSERT_EQ(Principal().Tabela().NumLinhas, 3) << e.Descreve();
    EXPECT_EQ(Principal().Tabela().Titulo1, "Casos por regi\xE3o");
    EXPECT_EQ(Principal().windowTitle(), QStringLiteral("Casos por região"));

    Prepara(Estado::SemTabela);
    const std::string pasta = PastaAtual();
    std::ofstream(pasta + RetornoR, std::ios::binary) << "Titulo1=Modelo ajustado\r\n"
                                                         "\"Regi\xE3o\";\"Ajuste\"\r\n"
                                                         "\"11 Norte\";1,5\r\n"
                                                         "\"12 Nordeste\";2,5\r\n";
    ASSERT_TRUE(HaRetornoR(pasta)) << pasta;
    CarregaTabelaDoR(Principal(), true);
    ASSERT_EQ(Principal().Tabela().NumLinhas, 2);
    EXPECT_EQ(Principal().windowTitle(), QStringLiteral("Modelo ajustado"));
    Prepara(Estado::SemTabela);
}

// The expression box of "Nova coluna" takes no more than 255 characters.
TEST(MenuOperacoes, TheNewColumnExpressionTakesAtMost255Characters) {
    Prepara(Estado::ComTabela);
    int tamanho = -1;
    Dispara(Principal().Acao(QStringLiteral("NovaColuna")), [&tamanho](QWidget* w) {
        auto* d = qobject_cast<QInputDialog*>(w);
        if (!d) return;
        auto* ed = d->findChild<QLineEdit*>();
        ASSERT_NE(ed, nullptr);
        ed->selectAll();
        QString formula = QStringLiteral("C1");
        while (formula.size() < 299)
            formula += QStringLiteral("+C1");
        QTest::keyClicks(ed, formula.left(299));
        tamanho = static_cast<int>(ed->text().size());
        d->reject();
    });
    EXPECT_EQ(tamanho, 255);
    Prepara(Estado::SemTabela);
}

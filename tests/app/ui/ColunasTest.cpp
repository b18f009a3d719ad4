// The menus that work on the table's columns and rows: "Operações", "Estatísticas"
// (or "Análise com R" where R is found) and "Quadro".
#include "app/ui/ProgramaMontado.h"

#include <QAction>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

using namespace dorvan::teste;
using ::testing::IsEmpty;

TEST(MenuOperacoes, EveryItemDoesSomethingInEveryTableState) {
    EXPECT_THAT(AcoesSemEfeito(AcoesDoMenu("Operaes1")), IsEmpty());
}

TEST(MenuEstatisticas, EveryItemDoesSomethingInEveryTableState) {
    std::vector<QAction*> acoes = AcoesDoMenu("Estatstica1");
    if (QAction* r = Principal().Acao(QStringLiteral("AnaliseComR")); r->isVisible()) acoes.push_back(r);
    EXPECT_FALSE(acoes.empty());
    EXPECT_THAT(AcoesSemEfeito(acoes), IsEmpty());
}

TEST(MenuQuadro, EveryItemDoesSomethingInEveryTableState) {
    EXPECT_THAT(AcoesSemEfeito(AcoesDoMenu("Quadros1")), IsEmpty());
}

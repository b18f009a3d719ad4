// The "Gráfico" menu, maps included: every item in every table state.
#include "app/ui/ProgramaMontado.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using namespace dorvan::teste;
using ::testing::IsEmpty;

TEST(MenuGrafico, EveryItemDoesSomethingInEveryTableState) {
    EXPECT_THAT(AcoesSemEfeito(AcoesDoMenu("Grafico1")), IsEmpty());
}

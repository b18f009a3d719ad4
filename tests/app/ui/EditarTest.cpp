// The "Editar" menu: every item in every table state.
#include "app/ui/ProgramaMontado.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using namespace dorvan::teste;
using ::testing::IsEmpty;

TEST(MenuEditar, EveryItemDoesSomethingInEveryTableState) {
    EXPECT_THAT(AcoesSemEfeito(AcoesDoMenu("Editar1")), IsEmpty());
}

// The tool bar: every button in every table state.
#include "app/ui/ProgramaMontado.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using namespace dorvan::teste;
using ::testing::IsEmpty;

TEST(BarraDeFerramentas, EveryButtonDoesSomethingInEveryTableState) {
    // "Nova" with no table leaves the empty window it finds.
    EXPECT_THAT(AcoesSemEfeito(AcoesDaBarra(), {"SpeedButton4 (sem tabela)"}), IsEmpty());
}

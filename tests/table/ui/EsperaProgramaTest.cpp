#include "table/Utilidades.h"

#include <QTimer>
#include <gtest/gtest.h>

namespace dorvan {
namespace {

TEST(ExecutaPrograma, WindowEventsKeepRunningWhileAProgramIsWaitedFor) {
    bool disparou = false;
    QTimer::singleShot(30, [&] { disparou = true; });
    EXPECT_EQ(ExecutaPrograma("sleep", {"0.3"}, SW_ESCONDIDA, true), 0);
    EXPECT_TRUE(disparou);
}

} // namespace
} // namespace dorvan

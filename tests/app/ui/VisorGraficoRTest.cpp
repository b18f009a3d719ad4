// The R plot viewer as a run leaves its plots: the buttons it shows.
#include "app/ui/ProgramaMontado.h"

#include "analysis/ExecucaoR.h"
#include "analysis/ui/TFormR.h"
#include "analysis/ui/TRGrafico.h"

#include <QAction>
#include <QToolBar>
#include <QToolButton>
#include <gtest/gtest.h>

using namespace dorvan;
using namespace dorvan::teste;

namespace {

TEST(VisorGraficoR, MoreButtonShowsItsTextAndNewPlotsRefreshTheButtons) {
    Principal(); // the program and its viewer
    PastaTemporaria pasta;
    const std::string antes = PastaAtual();
    MudaPastaAtual(pasta.Caminho().string());
    const std::string svg = "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"40\" height=\"40\"><rect "
                            "width=\"40\" height=\"40\" fill=\"red\"/></svg>";
    pasta.Grava("dorvan01.svg", svg);
    pasta.Grava("dorvan02.svg", svg);
    ASSERT_TRUE(MostraGraficoR());
    MostraGraficoR()(pasta / "dorvan01.svg");
    ASSERT_TRUE(RGrafico && RGrafico->isVisible());
    EXPECT_TRUE(RGrafico->sb[1]->isVisible());
    EXPECT_FALSE(RGrafico->sb[2]->isVisible());

    // A new run leaves more plots while the viewer is still open.
    for (const char* n : {"dorvan03.svg", "dorvan04.svg", "dorvan05.svg", "dorvan06.svg", "dorvan07.svg",
                          "dorvan08.svg", "dorvan09.svg", "dorvan10.svg"})
        pasta.Grava(n, svg);
    MostraGraficoR()(pasta / "dorvan01.svg");
    EXPECT_TRUE(RGrafico->sb[2]->isVisible());
    EXPECT_TRUE(RGrafico->sb[8]->isVisible());
    ASSERT_TRUE(RGrafico->bMais->isVisible());
    auto* botao = qobject_cast<QToolButton*>(RGrafico->Panel1->widgetForAction(RGrafico->bMais));
    ASSERT_NE(botao, nullptr);
    EXPECT_EQ(botao->text(), QStringLiteral("..."));
    EXPECT_EQ(botao->toolTip(), QString::fromUtf8("Ver demais gráficos"));
    RGrafico->Sair1Click();
    MudaPastaAtual(antes);
}

} // namespace

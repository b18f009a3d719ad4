// The chart window's own dialogs, opened from its buttons and its series list, measured
// as the user reads them.
#include "app/ui/ProgramaMontado.h"
#include "app/ui/TextosInteiros.h"

#include "analysis/ui/TFChart.h"

#include <QAbstractButton>
#include <QAction>
#include <QDialog>
#include <QListWidget>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

using namespace dorvan;
using namespace dorvan::teste;
using ::testing::IsEmpty;

TEST(TextosInteiros, TheChartsAxisAndSeriesDialogsShowTheirCaptionsWhole) {
    Prepara(Estado::ComTabela);
    Achados a;
    QWidget* grafico = nullptr;
    // The column chooser is answered with every column; then the chart is shown.
    const auto todas = [](QWidget* w) {
        for (QListWidget* l : w->findChildren<QListWidget*>())
            for (int i = 0; i < l->count(); ++i) {
                l->item(i)->setCheckState(Qt::Checked);
                l->item(i)->setSelected(true);
            }
        if (auto* d = qobject_cast<QDialog*>(w)) d->accept();
    };
    Dispara(Principal().Acao(QStringLiteral("Linhas1")), todas);
    Dispara(Principal().Acao(QStringLiteral("Mostrargrfico1")), {}, [&](QWidget* w) {
        auto* g = dynamic_cast<TFChart*>(w);
        if (!g) return;
        grafico = g;
        for (const char* eixo : {"bEixoEsq", "bEixoInf", "bEixoDir"}) {
            auto* b = g->findChild<QAbstractButton*>(QString::fromLatin1(eixo));
            ASSERT_NE(b, nullptr) << eixo;
            MedeModal(a, eixo, [b] { b->click(); });
        }
        a.Mede(g, "chart window");
        ASSERT_FALSE(g->Modelo.Series.empty());
        MedeModal(a, "series", [g] { g->StringGrid1MouseDown(0); });
    });
    EXPECT_NE(grafico, nullptr);
    Prepara(Estado::SemTabela);
    EXPECT_THAT(a.faltas, IsEmpty());
}


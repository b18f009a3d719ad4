#include "maps/ui/TFEscala.h"

#include "platform/Mensagens.h"
#include "platform/Texto1252.h"
#include "support/DirigeJanelas.h"
#include "table/OperacoesColunas.h"
#include "table/TabelaTeste.h"
#include "support/ApoioTeste.h"
#include "table/ui/TEscolhe_Coluna.h"
#include "table/ui/TForm1.h"

#include <QAbstractButton>
#include <QChart>
#include <QChartView>
#include <QLineSeries>
#include <QAction>
#include <QButtonGroup>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QTimer>
#include <gtest/gtest.h>

namespace dorvan {
namespace {

using teste::MontaTabela;
using teste::RotulosExibidos;

TabelaResultados Tabela() {
    TabelaResultados t = MontaTabela({"a", "b", "c", "d"}, {{"Casos", {30, 10, 40, 20}, 0}, {"Taxa", {2, 4, 1, 3}, 1}});
    t.DefineNomeColuna(0, "Lugar");
    return t;
}

// The labels the cumulative line shows, in class order.
QStringList RotulosDoAcumulado(TFEscala& j) { return j.RotulosAcumulado(); }

TEST(TFEscala, CumulativePercentagesShowInTheSixTwoPattern) {
    // Three rows: the cumulative shares are thirds, which a raw value shows with many decimals.
    TabelaResultados t = MontaTabela({"a", "b", "c"}, {{"Casos", {1, 2, 3}, 0}});
    EstadoEscala e;
    OrdemAnterior o;
    ASSERT_TRUE(PreparaHistograma(t, 1, e, o));
    t.NumClasses = 3;
    CalculaLimitesClasses(t, e.Modo);
    TFEscala j(t, e);
    j.show();
    const QStringList rotulos = RotulosDoAcumulado(j);
    ASSERT_EQ(rotulos.size(), 3);
    EXPECT_EQ(rotulos[0], ParaQString(FormataPercentual(100.0 / 3)));
    EXPECT_EQ(rotulos[1], ParaQString(FormataPercentual(200.0 / 3)));
    EXPECT_EQ(rotulos[2], ParaQString(FormataPercentual(100)));
    // Six places and two decimals, whatever the decimal separator.
    EXPECT_EQ(rotulos[0].size(), 7);
    EXPECT_TRUE(rotulos[0].endsWith(QStringLiteral("33%")));
    EXPECT_EQ(rotulos[2].trimmed().size(), 7);
    j.accept();
    TerminaHistograma(t, o);
}

TEST(TFEscala, HandlersDriveTheClassesAndTheChartFollows) {
    TabelaResultados t = Tabela();
    EstadoEscala e;
    OrdemAnterior o;
    ASSERT_TRUE(PreparaHistograma(t, 1, e, o));
    TFEscala j(t, e);
    j.show();
    EXPECT_EQ(j.windowTitle(), QString::fromUtf8("Freqüência de Lugar por classes de Casos"));
    EXPECT_EQ(j.SpinEdit1->value(), 5);
    EXPECT_EQ(t.NumClasses, 5); // showing changed nothing
    EXPECT_EQ(j.Contagem().Barras.size(), 5u);
    EXPECT_FALSE(j.GridFaixas->isVisible());
    EXPECT_TRUE(j.Timer1->isActive());

    j.SpinEdit1->setValue(2);
    EXPECT_EQ(t.NumClasses, 2);
    ASSERT_EQ(j.Contagem().Barras.size(), 2u);
    EXPECT_EQ(j.Contagem().Barras[0].Contagem, 2); // 10, 20 up to 25
    EXPECT_EQ(j.GridFaixas->rowCount(), 3);

    j.Modos->button(static_cast<int>(ModoClasses::Manual))->click();
    EXPECT_EQ(e.Modo, ModoClasses::Manual);
    EXPECT_TRUE(j.GridFaixas->isVisible());
    j.GridFaixas->item(1, 0)->setText(QStringLiteral("35"));
    EXPECT_DOUBLE_EQ(t.Classe[1], 35);
    EXPECT_EQ(j.Contagem().Barras[0].Contagem, 2); // the chart waits for the pause
    EXPECT_TRUE(j.Timer1->isActive());
    j.Timer1Timer();
    EXPECT_EQ(j.Contagem().Barras[0].Contagem, 3);
    EXPECT_EQ(j.GridFaixas->item(1, 0)->text().trimmed(), QStringLiteral("35"));

    MensagensRoteiro roteiro;
    UsaMensagens usa(roteiro);
    j.Chart1ClickSeries(1);
    ASSERT_EQ(roteiro.Textos().size(), 1u);
    EXPECT_EQ(roteiro.Textos()[0].substr(0, 2), "1 ");
    j.accept();
    TerminaHistograma(t, o);
    EXPECT_EQ(t.ColunaOrdem, 0);
}

TEST(TFEscala, HistogramCommandAsksTheColumnAndPutsTheOrderBack) {
    TabelaResultados t = Tabela();
    OrdenaPorColuna(t, 2);
    const auto antes = RotulosExibidos(t);
    TEscolhe_Coluna escolhe;
    Escolhe_Coluna = &escolhe;
    QString legenda;
    teste::QuandoModal([&legenda](QWidget* w) {
        auto* c = qobject_cast<TEscolhe_Coluna*>(w);
        ASSERT_NE(c, nullptr);
        c->ListBox1->item(0)->setSelected(true);
        teste::QuandoModal([&legenda](QWidget* w2) {
            legenda = w2->windowTitle();
            auto* escala = qobject_cast<TFEscala*>(w2);
            ASSERT_NE(escala, nullptr);
            escala->OK->click();
        });
        c->bOK->click();
    });
    EXPECT_TRUE(Histograma1Click(t));
    Escolhe_Coluna = nullptr;
    EXPECT_EQ(legenda, QString::fromUtf8("Freqüência de Lugar por classes de Casos"));
    EXPECT_EQ(t.ColunaMapa, 1);
    EXPECT_FALSE(t.SemClasses);
    EXPECT_EQ(t.ColunaOrdem, 2);
    EXPECT_EQ(RotulosExibidos(t), antes);
}

TEST(TFEscala, MainWindowMenuItemOpensTheHistogram) {
    teste::PastaTemporaria pasta;
    Configuracao cfg;
    cfg.DirPrograma = pasta.Caminho().string() + "/";
    cfg.ArquivoIni = pasta / "Dorvan.ini";
    TabelaResultados t = MontaTabela({"a", "b"}, {{"Casos", {3, 1}, 0}});
    TForm1 f(t, cfg);
    f.show();
    f.MostraTabela();
    InstalaHistograma(f);
    bool abriu = false;
    teste::QuandoModal([&abriu](QWidget* w) {
        auto* escala = qobject_cast<TFEscala*>(w);
        ASSERT_NE(escala, nullptr);
        abriu = true;
        escala->OK->click();
    });
    ASSERT_NE(f.Acao(QStringLiteral("Histograma1")), nullptr);
    f.Acao(QStringLiteral("Histograma1"))->trigger();
    EXPECT_TRUE(abriu);
    EXPECT_EQ(t.ColunaMapa, 1); // one column: no question asked
    EXPECT_FALSE(t.SemClasses);
}

} // namespace
} // namespace dorvan

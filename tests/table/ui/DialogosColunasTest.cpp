#include "table/ui/TfIndic.h"
#include "table/ui/TfTipoTot.h"

#include "platform/Texto1252.h"
#include "support/DirigeJanelas.h"
#include "table/TabelaTeste.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>
#include <QtTest/QTest>
#include <gtest/gtest.h>

#include <functional>

namespace dorvan {
namespace {

using teste::MontaTabela;
using teste::Valores;

// Runs acao on the first modal dialog that opens. A failed check inside acao
// leaves the dialog open; it is closed then so the test ends.
void QuandoAbrir(std::function<void(QWidget*)> acao) {
    teste::QuandoModal([acao](QWidget* w) {
        acao(w);
        if (w->isVisible()) QTimer::singleShot(0, w, &QWidget::close);
    });
}

void Clica(QListWidget* lista, int linha) {
    QListWidgetItem* item = lista->item(linha);
    ASSERT_NE(item, nullptr);
    QTest::mouseClick(lista->viewport(), Qt::LeftButton, {}, lista->visualItemRect(item).center());
}

TEST(TfIndic, ClicksProposeTheTitleAndOkAddsTheIndicator) {
    TabelaResultados t = MontaTabela({"A", "B"}, {{"Obitos", {5, 0}}, {"Populacao", {1000, 0}}});
    QuandoAbrir([](QWidget* w) {
        auto* janela = qobject_cast<TfIndic*>(w);
        ASSERT_NE(janela, nullptr);
        EXPECT_EQ(janela->windowTitle(), "Calcula Indicador");
        std::vector<std::string> rotulos;
        for (const QLabel* l : janela->findChildren<QLabel*>())
            rotulos.push_back(DeQString(l->text()));
        EXPECT_EQ(rotulos, (std::vector<std::string>{"Numerador", "Denominador", "T\xEDtulo da coluna"}));
        EXPECT_EQ(janela->Numerador(), 1);
        EXPECT_EQ(janela->Denominador(), 1);
        Clica(janela->lbDenominador, 1);
        EXPECT_EQ(janela->edTitulo->text(), "Obitos/Populacao por 1");
        janela->rgEscala->button(3)->click();
        EXPECT_EQ(DeQString(janela->edTitulo->text()), "Obitos/Populacao por 1.000");
        janela->rgDecimais->button(2)->click();
        janela->bOK->click();
    });
    ASSERT_TRUE(Indicador1Click(t));
    ASSERT_EQ(t.NumColunas(), 3);
    EXPECT_EQ(t.NomeColuna(3), "Obitos/Populacao por 1.000");
    EXPECT_EQ(t.Coluna(3).Decimais, 2);
    EXPECT_EQ(Valores(t, 3), (std::vector<double>{5, 0}));
    EXPECT_EQ(t.Coluna(3).Total, 5);
    EXPECT_EQ(t.Coluna(3).TipoTotal, TipoTotal::PreCalculado);

    // The next use starts from the last scale, decimals and title; Cancela adds nothing.
    QuandoAbrir([](QWidget* w) {
        auto* janela = qobject_cast<TfIndic*>(w);
        ASSERT_NE(janela, nullptr);
        EXPECT_EQ(janela->Escala(), 3);
        EXPECT_EQ(janela->Decimais(), 2);
        EXPECT_EQ(DeQString(janela->edTitulo->text()), "Obitos/Populacao por 1.000");
        // Choosing with the keys proposes the title as a click does.
        QTest::keyClick(janela->lbNumerador, Qt::Key_Down);
        EXPECT_EQ(DeQString(janela->edTitulo->text()), "Populacao/Obitos por 1.000");
        janela->bCancela->click();
    });
    EXPECT_FALSE(Indicador1Click(t));
    EXPECT_EQ(t.NumColunas(), 3);
}

TEST(TfTipoTot, OpensOnTheFirstKindAndAppliesTheChosenOne) {
    TabelaResultados t = MontaTabela({"A", "B", "C"}, {{"x", {1, 5, 3}}, {"y", {2, 2, 9}}});
    t.Coluna(2).TipoTotal = TipoTotal::Media;
    QuandoAbrir([](QWidget* w) {
        auto* janela = qobject_cast<TfTipoTot*>(w);
        ASSERT_NE(janela, nullptr);
        EXPECT_EQ(janela->windowTitle(), "Tipo de Total");
        EXPECT_EQ(janela->Tipo(), TipoTotal::Media);
        EXPECT_EQ(DeQString(janela->rgTipoTotal->button(8)->text()), "Pr\xE9 Calculado");
        janela->rgTipoTotal->button(7)->click();
        janela->bOK->click();
    });
    ASSERT_TRUE(Tipodetotal1Click(t, {2, 1}));
    EXPECT_EQ(t.Coluna(1).TipoTotal, TipoTotal::Maximo);
    EXPECT_EQ(t.Coluna(2).TipoTotal, TipoTotal::Maximo);
    EXPECT_EQ(t.Coluna(1).Total, 5);
    EXPECT_EQ(t.Coluna(2).Total, 9);
    EXPECT_TRUE(t.Modificada);

    QuandoAbrir([](QWidget* w) {
        auto* janela = qobject_cast<TfTipoTot*>(w);
        ASSERT_NE(janela, nullptr);
        janela->bCancela->click();
    });
    t.Modificada = false;
    EXPECT_FALSE(Tipodetotal1Click(t, {1}));
    EXPECT_FALSE(t.Modificada);
}

} // namespace
} // namespace dorvan

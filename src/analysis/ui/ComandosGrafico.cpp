#include "analysis/ui/ComandosGrafico.h"

#include "analysis/ui/TFChart.h"
#include "table/ui/TForm1.h"

#include <QAction>
#include <QMenu>

namespace dorvan {

TFChart* LigaComandosGrafico(TForm1& f) {
    auto* janela = new TFChart(f.Tabela(), &f);
    TForm1* j = &f;
    if (auto* menu = f.findChild<QMenu*>(QStringLiteral("Grafico1")))
        QObject::connect(menu, &QMenu::aboutToShow, &f, [j] { j->HabilitaComandos(); });
    auto mostra = [janela] {
        janela->show();
        janela->raise();
    };
    f.DefineComando(QStringLiteral("Linhas1Click"), [janela] { janela->bLineClick(); });
    f.DefineComando(QStringLiteral("Barras1Click"), [janela] { janela->bBarClick(); });
    f.DefineComando(QStringLiteral("bBarraHorizClick"), [janela] { janela->bBarraHorizClick(); });
    f.DefineComando(QStringLiteral("Setores1Click"), [janela] { janela->bPieClick(); });
    f.DefineComando(QStringLiteral("bAreaClick"), [janela] { janela->bAreaClick(); });
    f.DefineComando(QStringLiteral("Scater1Click"), [janela, mostra] {
        janela->bScatterClick();
        mostra();
    });
    f.DefineComando(QStringLiteral("Bolhas1Click"), [janela, mostra] {
        janela->bBubbleClick();
        mostra();
    });
    f.DefineComando(QStringLiteral("Setas1Click"), [janela, mostra] {
        janela->bSetasClick();
        mostra();
    });
    f.DefineComando(QStringLiteral("Graficovazio1Click"), [janela, mostra] {
        // Not the window's own button: the chart is cleared and the window stays.
        if (!janela->Modelo.Series.empty()) janela->bSairClick(false);
        mostra();
    });
    f.DefineComando(QStringLiteral("Mostrargrfico1Click"), mostra);
    f.DefineComando(QStringLiteral("TChart1Click"), mostra);
    return janela;
}

} // namespace dorvan

#include "analysis/ui/ComandosEsquemaR.h"

#include "analysis/EditorEsquemaR.h"
#include "analysis/ui/ComandosR.h"
#include "analysis/ui/TFCriaRScript.h"
#include "analysis/ui/TFormR.h"
#include "analysis/ui/TRGrafico.h"
#include "platform/Texto1252.h"
#include "table/ui/TForm1.h"

#include <QListWidget>
#include <QSignalBlocker>

namespace dorvan {

namespace {

// Runs the editor's test scheme through the chooser without showing it.
void RodaEsquemaTeste(TForm1& f) {
    if (!FormR) FormR = new TFormR(f.Tabela(), f.Config(), &f);
    {
        const QSignalBlocker bloqueio(FormR->ListProg);
        FormR->ListProg->clear();
        FormR->ListProg->addItem(ParaQString(ItemTesteEsquemaR));
        FormR->ListProg->setCurrentRow(0);
    }
    FormR->ListProgDblClick();
}

} // namespace

void Criaresquemadeanlise1Click(TForm1& f) {
    if (!FCriaRScript) return;
    FCriaRScript->exec();
    // A test run that called carrega.dorvan left its table; the log shows whenever it has lines.
    CarregaTabelaDoR(f, false);
}

void VerMetafileClick(TForm1&) {
    if (!RGrafico) return;
    const std::string arquivo = RGrafico->EscolheAbrir ? RGrafico->EscolheAbrir() : std::string();
    if (arquivo.empty()) return;
    RGrafico->CarregaFigura(arquivo);
    RGrafico->show();
    RGrafico->raise();
}

void LigaComandosEsquemaR(TForm1& f) {
    Configuracao& cfg = f.Config();
    if (!RGrafico) RGrafico = new TRGrafico(cfg, &f);
    TForm1* j = &f;
    if (!FCriaRScript)
        FCriaRScript = new TFCriaRScript(
            cfg, [j] { RodaEsquemaTeste(*j); }, &f);
    // The plots of a run show here instead of in the desktop's picture program.
    MostraGraficoR() = [](const std::string& primeiro) {
        if (!RGrafico) return;
        RGrafico->CarregaFigura(primeiro);
        // A viewer left open gets no show event: the new run's plot buttons are set here.
        if (RGrafico->isVisible()) RGrafico->FormShow();
        RGrafico->show();
        RGrafico->raise();
    };
    f.DefineComando(QStringLiteral("Criaresquemadeanlise1Click"), [j] { Criaresquemadeanlise1Click(*j); });
    f.DefineComando(QStringLiteral("VerMetafileClick"), [j] { VerMetafileClick(*j); });
}

} // namespace dorvan

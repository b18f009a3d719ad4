#include "query/ui/ComandosBrowse.h"

#include "analysis/ExecucaoR.h"
#include "platform/ui/Janelas.h"
#include "query/NavegaDBF.h"

#include "query/ui/TfBrowse.h"
#include "table/Configuracao.h"
#include "table/Inicio.h"
#include "table/ui/TForm1.h"

#include <QAction>

namespace dorvan {

void RegistraBrowse(InicioPrograma& inicio, Configuracao& cfg) {
    // The browser comes after the main window in the start-up order and belongs to it.
    inicio.RegistraJanela("TfBrowse", [&cfg] {
        if (!Form1) return;
        fBrowse = new TfBrowse(cfg, AnaliseComRDoBrowse(*Form1, cfg), Form1);
        fBrowse->MostraR(cfg.TemR);
        fBrowse->MostraUXT(cfg.TemUXT);
        LigaComandosBrowse(*Form1);
    });
}

void LigaComandosBrowse(TForm1& f) {
    f.DefineComando(QStringLiteral("SpeedButton15Click"), [] {
        if (fBrowse) MostraNaFrente(*fBrowse);
    });
    Ganchos().MostraDBF = [](TForm1&, const std::string& arquivo) { MostraNoBrowse(arquivo); };
}

std::function<void(TfBrowse&)> AnaliseComRDoBrowse(TForm1& f, Configuracao& cfg) {
    TForm1* j = &f;
    return [j, &cfg](TfBrowse& b) {
        // The scheme runner reads the file's fields and its CSV copy instead of the table.
        DadosBrowseR dados;
        dados.ArquivoDBF = b.Dbf.Nome;
        for (const CampoDBF& c : b.Dbf.Campos)
            dados.Campos.push_back(c.Nome);
        dados.GravaCSV = [b = &b, &cfg] { GravaCSVDBF(b->Dbf, cfg.DBFcomCP850); };
        TabelaDoBrowse() = std::move(dados);
        if (QAction* a = j->Acao(QStringLiteral("AnaliseComR"))) a->trigger();
    };
}

void MostraNoBrowse(const std::string& arquivo) {
    if (!fBrowse) return;
    fBrowse->NomeArquivo = arquivo;
    fBrowse->bAbrirClick(false);
    // Over the SQL window, whose "Salvar DBF" opens the file here, it comes modal.
    MostraNaFrente(*fBrowse);
}

} // namespace dorvan

#include "output/ui/ComandosSaida.h"

#include "output/GravaCNV.h"
#include "output/GravaDBF.h"
#include "output/GravaPalm.h"
#include "output/GravaSQL.h"
#include "output/GravaTexto.h"
#include "output/GravaXML.h"
#include "output/XLSWrite.h"
#include "output/ui/Exportacoes.h"
#include "platform/Arquivos.h"
#include "platform/ui/Janelas.h"
#include "table/LogExecucao.h"
#include "table/TabelaArquivo.h"
#include "table/Utilidades.h"
#include "table/ui/TForm1.h"

#include <QFileDialog>
#include <QFileInfo>

namespace dorvan {

void RegistraGravadoresSaida(Configuracao& cfg) {
    auto sempre = [](auto f) {
        return [f](TabelaResultados& t, const std::string& a) {
            f(t, a);
            return true;
        };
    };
    auto csv = sempre([](const TabelaResultados& t, const std::string& a) { GravaCSV(t, a); });
    RegistraGravador(".PRN", csv);
    RegistraGravador(".CSV", csv);
    RegistraGravador(
        ".XML", sempre([](const TabelaResultados& t, const std::string& a) { GravaXML(t, a, LogAtual().Linhas()); }));
    RegistraGravador(".XLS", sempre([](const TabelaResultados& t, const std::string& a) { SalvaXLS(t, a); }));
    RegistraGravador(".HTM", sempre([](const TabelaResultados& t, const std::string& a) { GravaHTML(t, a); }));
    RegistraGravador(".SQL", [](TabelaResultados& t, const std::string& a) { return GravaSQL(t, a); });
    RegistraGravador(".CNV", [](TabelaResultados& t, const std::string& a) { return GravaCNV(t, a); });
    RegistraGravador(".DBF",
                     [&cfg](TabelaResultados& t, const std::string& a) { return GravaDBF(t, a, cfg.DBFcomCP850); });
    // The converter may carry the Windows suffix; a missing one is reported by the writer.
    RegistraGravador(".PDB", [&cfg](TabelaResultados& t, const std::string& a) {
        return GravaPalmNaJanela(t, a, AchaConversorPalm(cfg.DirPrograma));
    });
    RegistraGravador(
        ".SPR", sempre([](const TabelaResultados& t, const std::string& a) { GravaSPRINGPerguntando(Form1, t, a); }));
}

std::function<std::string(TForm1&)>& EscolheArquivoPDB() {
    static std::function<std::string(TForm1&)> escolhe = [](TForm1& f) {
        QFileDialog d(&f, QStringLiteral("Salvar no Palm (Pilot-DB)"), QString::fromStdString(f.Config().DirSalva));
        d.setAcceptMode(QFileDialog::AcceptSave);
        d.setNameFilter(QStringLiteral("MobileDB (*.pdb)"));
        d.setDefaultSuffix(QStringLiteral("pdb"));
        if (d.exec() != QDialog::Accepted || d.selectedFiles().isEmpty()) return std::string();
        return d.selectedFiles().first().toStdString();
    };
    return escolhe;
}

void LigaComandosSaida(TForm1& f) {
    TForm1* j = &f;
    f.DefineComando(QStringLiteral("bHTMLClick"), [j] {
        TabelaResultados& t = j->Tabela();
        if (t.NumLinhas <= 0) return;
        const std::string pasta = j->Config().DirTrabalho.empty() ? PastaDaExecucao() : j->Config().DirTrabalho;
        const std::string arquivo = pasta + "tabela.htm";
        {
            CursorOcupado ocupado;
            GravaHTML(t, arquivo);
        }
        ExploreWeb(arquivo);
    });
    f.DefineComando(QStringLiteral("bPalmClick"), [j] {
        TabelaResultados& t = j->Tabela();
        if (t.NumLinhas <= 0) return;
        const std::string arquivo = EscolheArquivoPDB() ? EscolheArquivoPDB()(*j) : std::string();
        if (arquivo.empty()) return;
        if (GravaMobileDBNaJanela(t, arquivo, AchaConversorPalm(j->Config().DirPrograma))) ExploreWeb(arquivo);
    });
}

} // namespace dorvan

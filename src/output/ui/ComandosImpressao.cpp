#include "output/ui/ComandosImpressao.h"

#include "output/XLSWrite.h"
#include "output/ui/TfImprime.h"
#include "platform/Arquivos.h"
#include "platform/Texto1252.h"
#include "platform/ui/Janelas.h"
#include "table/Utilidades.h"
#include "table/ui/TForm1.h"

#include <QLineEdit>
#include <memory>

namespace dorvan {

void LigaComandosImpressao(TForm1& f) {
    TForm1* j = &f;
    f.DefineComando(QStringLiteral("Imprime1Click"), [j] {
        TabelaResultados& t = j->Tabela();
        if (t.NumLinhas <= 0) return;
        TfImprime fImprime(t, j);
        fImprime.exec();
        // Titles edited in the dialog show in the main window too.
        j->edTitulo->setText(ParaQString(t.Titulo1));
        j->edSubTitulo->setText(ParaQString(t.Titulo2));
        j->edRodape->setText(ParaQString(t.Rodape));
        j->HabilitaComandos();
    });
    f.DefineComando(QStringLiteral("bOpenOfficeClick"), [j] {
        TabelaResultados& t = j->Tabela();
        if (t.NumLinhas <= 0) return;
        const std::string pasta = j->Config().DirTrabalho.empty() ? PastaDaExecucao() : j->Config().DirTrabalho;
        const std::string arquivo = pasta + "tabela.xls";
        {
            CursorOcupado ocupado;
            SalvaXLS(t, arquivo);
        }
        // The desktop starts the program registered for the workbook type.
        ExploreWeb(arquivo);
    });
}

} // namespace dorvan

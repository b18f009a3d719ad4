#include "query/ui/ComandosConsulta.h"

#include "platform/Erros.h"
#include "platform/Mensagens.h"
#include "platform/Texto1252.h"
#include "platform/db/BancoDados.h"
#include "query/ConfiguracaoConsulta.h"
#include "query/ui/TFVerTabela.h"
#include "query/ui/TfQuery.h"
#include "table/Configuracao.h"
#include "table/Inicio.h"
#include "table/ui/GradeFixa.h"
#include "table/ui/TForm1.h"

#include <QAction>

namespace dorvan {

namespace {

// The SQL window belongs to the main window, which outlives every use of it.
void CriaConsulta(TForm1& f) {
    if (fQuery) return;
    fQuery = new TfQuery(f.Tabela(), f.Config(), MotorAtual(), &f);
}

void MostraComandosSQL(TForm1& f) {
    for (const char* nome : {"bSQL", "SQL1"})
        if (QAction* a = f.Acao(QString::fromLatin1(nome))) a->setVisible(true);
}

void MostraResultado(TForm1& f) {
    f.MostraTabela();
    f.StringGrid1->show();
    f.StringGrid1->setFocus();
}

} // namespace

void RegistraConsulta(InicioPrograma& inicio, Configuracao& cfg) {
    // The viewer comes in the program's window order; the main window exists by then.
    inicio.RegistraJanela("TFVerTabela", [] {
        if (!Form1) return;
        FVerTabela = new TFVerTabela(Form1);
        LigaComandosConsulta(*Form1);
    });
    inicio.RegistraSQL(
        [&cfg] {
            cfg.SQLDisponivel = true;
            LeLimitesConsulta(cfg);
            if (Form1) CriaConsulta(*Form1);
        },
        [] {
            if (Form1) MostraComandosSQL(*Form1);
        });
}

void LigaComandosConsulta(TForm1& f) {
    TForm1* j = &f;
    f.DefineComando(QStringLiteral("SQL1Click"), [j] { SQL1Click(*j); });
    f.DefineComando(QStringLiteral("InstalarBDE1Click"), [j] { InstalarBDE1Click(*j); });
    Ganchos().AbreSQL = [](TForm1& form, const std::string& arquivo) { AbreSQLLinhaComando(form, arquivo); };
}

void SQL1Click(TForm1& f) {
    if (!fQuery) return;
    TabelaResultados& t = f.Tabela();
    // A save the user cancelled keeps the table, and the query does not run over it.
    if (t.NumLinhas > 0 && !f.FechaTabela()) return;
    if (fQuery->exec() != QDialog::Accepted) return;
    MostraResultado(f);
    f.setWindowTitle(ParaQString(t.Titulo1));
    t.Modificada = true;
}

void AbreSQLLinhaComando(TForm1& f, const std::string& arquivo) {
    if (!fQuery) return;
    try {
        fQuery->AbreQuery(arquivo);
    } catch (const std::exception&) {
        MensagensAtuais().Mostra(TextoDoErroParaUsuario(std::current_exception()));
        return;
    }
    fQuery->setResult(QDialog::Rejected);
    fQuery->bExecuteClick();
    if (fQuery->result() == QDialog::Accepted) MostraResultado(f);
}

void InstalarBDE1Click(TForm1& f) {
    if (MotorAtual().Inicia() != 0) return;
    f.Config().SQLDisponivel = true;
    CriaConsulta(f);
    MostraComandosSQL(f);
    if (QAction* a = f.Acao(QStringLiteral("InstalarBDE1"))) a->setVisible(false);
}

} // namespace dorvan

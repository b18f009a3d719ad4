#include "analysis/ui/ComandosR.h"

#include "analysis/ExecucaoR.h"
#include "analysis/ui/TFormR.h"
#include "platform/Mensagens.h"
#include "platform/Processos.h"
#include "table/LogExecucao.h"
#include "table/Utilidades.h"
#include "table/ui/GradeFixa.h"
#include "table/ui/TForm1.h"

namespace dorvan {

void CarregaTabelaDoR(TForm1& f, bool comCaixaLog) {
    const std::string pasta = PastaAtual();
    if (!HaRetornoR(pasta)) return;
    TabelaResultados& t = f.Tabela();
    // The current table may hold unsaved work: it is offered for saving first.
    if (t.NumLinhas > 0 && !f.FechaTabela()) return;
    LeituraTabela leitura;
    if (!CarregaRetornoR(t, pasta, leitura)) {
        f.MostraTabela();
        return;
    }
    LogAtual().DefineLinhas(leitura.log);
    f.MostraTabela();
    f.MostraTituloDaTabela();
    f.StringGrid1->show();
    t.Modificada = true;
    const bool mostraLog = !comCaixaLog || LogAtual().MostraAoAbrir();
    if (mostraLog && !LogAtual().Linhas().empty() && Ganchos().MostraLog) Ganchos().MostraLog(f, true);
}

void ProgramaRClick(TForm1& f) {
    if (!FormR) FormR = new TFormR(f.Tabela(), f.Config(), &f);
    PreparaRetornoR(FormR->Ambiente());
    FormR->exec();
    TabelaDoBrowse().reset();
    CarregaTabelaDoR(f, true);
}

std::function<std::string(const std::string&)>& AchaProgramaSessaoR() {
    static std::function<std::string(const std::string&)> acha = [](const std::string& p) { return AchaNoPath(p); };
    return acha;
}

void AbreRClick(TForm1& f) {
    if (!FormR) FormR = new TFormR(f.Tabela(), f.Config(), &f);
    const AmbienteR amb = FormR->Ambiente();
    const std::string pasta = PastaAtual();
    GravaPerfilR(pasta, ComporPerfilInterativoR(f.Tabela(), amb, pasta));
    const auto comando = ComandoSessaoR(amb, AchaProgramaSessaoR());
    if (!comando) {
        MensagensAtuais().Mostra("Terminal para a sess\xE3o do R n\xE3o encontrado");
        return;
    }
    ExecutaPrograma(comando->programa, comando->argumentos, SW_NORMAL, false);
}

void LigaComandosR(TForm1& f) {
    if (!FormR) FormR = new TFormR(f.Tabela(), f.Config(), &f);
    TForm1* j = &f;
    f.DefineComando(QStringLiteral("ProgramaRClick"), [j] { ProgramaRClick(*j); });
    f.DefineComando(QStringLiteral("AbreRClick"), [j] { AbreRClick(*j); });
}

} // namespace dorvan

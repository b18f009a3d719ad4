// Dorvan: the windowed program.
#include "analysis/ui/ComandosGrafico.h"
#include "analysis/ui/ComandosEsquemaR.h"
#include "analysis/ui/ComandosR.h"
#include "data/ui/TfComprime.h"
#include "maps/ui/TEscolheNome.h"
#include "maps/ui/TFEscala.h"
#include "maps/ui/TMapa.h"
#include "maps/ui/TfSetas.h"
#include "output/GravaTexto.h"
#include "output/ui/ComandosImpressao.h"
#include "output/ui/ComandosSaida.h"
#include "platform/Processos.h"
#include "platform/db/BancoDados.h"
#include "platform/ui/Janelas.h"
#include "platform/ui/TSimNao.h"
#include "query/ui/ComandosBrowse.h"
#include "query/ui/ComandosConsulta.h"
#include "table/Configuracao.h"
#include "table/Inicio.h"
#include "table/LogExecucao.h"
#include "table/TabelaArquivo.h"
#include "table/Utilidades.h"
#include "table/ui/ComandosImportacao.h"
#include "table/ui/TEscolhe_Coluna.h"
#include "table/ui/TFEscolheDiretorio.h"
#include "table/ui/TForm1.h"
#include "table/ui/TInfo.h"
#include "table/ui/TLog.h"
#include "tabulation/ui/TFFazDef.h"
#include "tabulation/ui/TTabula.h"

#include "platform/Arquivos.h"

#include <QTimer>
#include <cstdlib>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace {

// Creates a window once into its process-wide variable; the owner keeps it for the whole run.
template <typename T>
std::function<void()> Cria(std::unique_ptr<T>& dono, T*& global, QWidget* pai = nullptr) {
    return [&dono, &global, pai] {
        dono = std::make_unique<T>(pai);
        global = dono.get();
    };
}

} // namespace

int main(int argc, char** argv) {
    dorvan::Aplicacao app(argc, argv);
    QApplication::setApplicationName(QString::fromLatin1(dorvan::TituloAplicacao));
    app.setProperty("ArquivoAjuda", QString::fromLatin1(dorvan::ArquivoAjuda));
    dorvan::MensagensQt mensagens;
    dorvan::DefineMensagens(&mensagens);
    dorvan::DefineAbridorDocumentos([](const std::string& a) { return dorvan::AbreDocumento(a) ? 33 : 31; });

    dorvan::Configuracao& cfg = dorvan::ConfiguracaoAtual();
    dorvan::IniciaConfiguracao(cfg, QCoreApplication::applicationFilePath().toStdString(),
                               [](const std::string& p) { return dorvan::AchaNoPath(p); });
    dorvan::RegistraGravadoresSaida(cfg);

    std::unique_ptr<dorvan::TForm1> form1;
    std::unique_ptr<dorvan::TEscolhe_Coluna> escolheColuna;
    std::unique_ptr<dorvan::TInfo> info;
    std::unique_ptr<dorvan::TLog> log;
    std::unique_ptr<dorvan::TSimNao> simNao;
    std::unique_ptr<dorvan::TFEscolheDiretorio> escolheDiretorio;
    std::unique_ptr<dorvan::TfComprime> comprime;

    // Every window of the program is registered here in any order; the start-up
    // creates them in the program's fixed order. The SQL window and its commands
    // register with RegistraSQL.
    dorvan::InicioPrograma inicio;
    inicio.RegistraJanela("TForm1", [&] { form1 = std::make_unique<dorvan::TForm1>(dorvan::TabelaAtual(), cfg); });
    inicio.RegistraJanela("TEscolhe_Coluna", Cria(escolheColuna, dorvan::Escolhe_Coluna));
    inicio.RegistraJanela("TInfo", Cria(info, dorvan::Info));
    inicio.RegistraJanela("TLog", Cria(log, dorvan::Log));
    inicio.RegistraJanela("TSimNao", Cria(simNao, dorvan::SimNao));
    inicio.RegistraJanela("TFEscolheDiretorio", Cria(escolheDiretorio, dorvan::FEscolheDiretorio));
    inicio.RegistraJanela("TfComprime", Cria(comprime, dorvan::fComprime));
    dorvan::RegistraEditorDEF(inicio, form1);
    inicio.RegistraMotor([] { return dorvan::MotorAtual().Inicia(); });
    dorvan::RegistraConsulta(inicio, cfg);
    dorvan::RegistraBrowse(inicio, cfg);
    inicio.Executa();

    // "Executar tabulação": a DEF given on the command line opens at once, otherwise
    // the open-DEF dialog asks for one. The current table stays until a run has its
    // replacement ready; then it is closed (asking to save) and the new one shown.
    std::string defInicial;
    {
        std::vector<std::string> argumentos;
        const QStringList args = QCoreApplication::arguments();
        for (qsizetype i = 1; i < args.size(); ++i) argumentos.push_back(args[i].toStdString());
        const dorvan::ComandoInicial cmd = dorvan::InterpretaLinhaComando(argumentos, cfg.SQLDisponivel);
        if (cmd.tipo == dorvan::ComandoInicial::Tipo::DEF) defInicial = cmd.arquivo;
    }
    dorvan::Ganchos().Tabula = [&defInicial](dorvan::TForm1& f) {
        auto fecha = [&f] {
            dorvan::TabelaResultados& t = dorvan::TabelaAtual();
            if (t.NumLinhas <= 0) return true;
            const std::string t1 = t.Titulo1, t2 = t.Titulo2;
            if (!f.FechaTabela()) return false;
            t.Titulo1 = t1;
            t.Titulo2 = t2;
            return true;
        };
        // The tabulation's record export can be opened in the DBF browser.
        if (!dorvan::Tabula) dorvan::Tabula = new dorvan::TTabula(&f);
        dorvan::Tabula->AbreNoBrowser = dorvan::MostraNoBrowse;
        const std::string def = std::exchange(defInicial, std::string());
        const bool rodou = def.empty() ? dorvan::ComandoTabulacao(&f, fecha) : dorvan::AbreTabulacao(def, &f, fecha);
        if (!rodou) return;
        f.MostraTabela();
        f.show();
        f.activateWindow();
    };
    // A table opened with a run log shows it (not modal), as the log window's box says.
    dorvan::Ganchos().MostraLog = [](dorvan::TForm1&) {
        if (dorvan::Log) dorvan::Log->show();
    };
    dorvan::LigaComandosSaida(*form1);
    dorvan::LigaComandosImportacao(*form1, dorvan::GravaTextoTab);
    dorvan::LigaComandosImpressao(*form1);
    dorvan::LigaComandosGrafico(*form1);
    dorvan::LigaEscolheNome();
    dorvan::LigaComandosR(*form1);
    dorvan::LigaComandosEsquemaR(*form1);
    form1->AoSair = [] { QCoreApplication::quit(); };
    dorvan::InstalaHistograma(*form1);
    dorvan::LigaComandosMapa(*form1);
    dorvan::LigaComandosSetas(*form1);
    form1->DefineComando(QStringLiteral("ComprimeExpandeDBF1Click"), [] { dorvan::fComprime->exec(); });
    form1->showMaximized();
    std::vector<std::string> argumentos;
    const QStringList args = QCoreApplication::arguments();
    for (qsizetype i = 1; i < args.size(); ++i) argumentos.push_back(args[i].toStdString());
    form1->Inicia(argumentos);

    // For the smoke test and screenshots: close by itself after a while.
    if (const char* ms = std::getenv("DORVAN_FECHAR_APOS_MS"))
        QTimer::singleShot(std::atoi(ms), form1.get(), &QMainWindow::close);
    int r = app.exec();

    // Connections go before the application object that loaded their drivers.
    dorvan::MotorAtual().Encerra();
    dorvan::Escolhe_Coluna = nullptr;
    dorvan::Info = nullptr;
    dorvan::Log = nullptr;
    dorvan::SimNao = nullptr;
    dorvan::FEscolheDiretorio = nullptr;
    dorvan::fComprime = nullptr;
    form1.reset();
    dorvan::DefineMensagens(nullptr);
    return r;
}

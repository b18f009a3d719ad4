// Dorvan: the windowed program.
#include "analysis/ui/ComandosR.h"
#include "output/ui/ComandosSaida.h"
#include "platform/Processos.h"
#include "platform/db/BancoDados.h"
#include "platform/ui/Janelas.h"
#include "platform/ui/TSimNao.h"
#include "table/Configuracao.h"
#include "table/Inicio.h"
#include "table/LogExecucao.h"
#include "table/TabelaArquivo.h"
#include "table/Utilidades.h"
#include "table/ui/TEscolhe_Coluna.h"
#include "table/ui/TFEscolheDiretorio.h"
#include "table/ui/TForm1.h"
#include "table/ui/TInfo.h"
#include "table/ui/TLog.h"

#include <QTimer>
#include <cstdlib>
#include <memory>
#include <string>
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
    inicio.RegistraMotor([] { return dorvan::MotorAtual().Inicia(); });
    inicio.Executa();

    // A table opened with a run log shows it (not modal), as the log window's box says.
    dorvan::Ganchos().MostraLog = [](dorvan::TForm1&) {
        if (dorvan::Log) dorvan::Log->show();
    };
    dorvan::LigaComandosSaida(*form1);
    dorvan::LigaComandosR(*form1);
    form1->AoSair = [] { QCoreApplication::quit(); };
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
    form1.reset();
    dorvan::DefineMensagens(nullptr);
    return r;
}

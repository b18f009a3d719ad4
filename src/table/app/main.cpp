// Dorvan: the windowed program.
#include "platform/db/BancoDados.h"
#include "platform/ui/Janelas.h"
#include "platform/ui/TSimNao.h"
#include "table/Inicio.h"
#include "table/Utilidades.h"
#include "table/ui/TEscolhe_Coluna.h"
#include "table/ui/TFEscolheDiretorio.h"
#include "table/ui/TInfo.h"
#include "table/ui/TLog.h"
#include "tabulation/ui/TTabula.h"

#include "platform/Arquivos.h"

#include <QMainWindow>
#include <QTimer>
#include <cstdlib>
#include <memory>

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

    std::unique_ptr<QMainWindow> form1;
    std::unique_ptr<dorvan::TEscolhe_Coluna> escolheColuna;
    std::unique_ptr<dorvan::TInfo> info;
    std::unique_ptr<dorvan::TLog> log;
    std::unique_ptr<dorvan::TSimNao> simNao;
    std::unique_ptr<dorvan::TFEscolheDiretorio> escolheDiretorio;

    // Every window of the program is registered here in any order; the start-up
    // creates them in the program's fixed order. The SQL window and its commands
    // register with RegistraSQL.
    dorvan::InicioPrograma inicio;
    inicio.RegistraJanela("TForm1", [&] {
        form1 = std::make_unique<QMainWindow>();
        form1->setWindowTitle(QString::fromLatin1(dorvan::TituloAplicacao));
        form1->resize(800, 600);
    });
    inicio.RegistraJanela("TEscolhe_Coluna", Cria(escolheColuna, dorvan::Escolhe_Coluna));
    inicio.RegistraJanela("TInfo", Cria(info, dorvan::Info));
    inicio.RegistraJanela("TLog", Cria(log, dorvan::Log));
    inicio.RegistraJanela("TSimNao", Cria(simNao, dorvan::SimNao));
    inicio.RegistraJanela("TFEscolheDiretorio", Cria(escolheDiretorio, dorvan::FEscolheDiretorio));
    inicio.RegistraMotor([] { return dorvan::MotorAtual().Inicia(); });
    inicio.Executa();

    form1->show();
    // A DEF given on the command line opens the tabulation dialog.
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (arg.size() > 4 && dorvan::MaiusculasAscii(arg.substr(arg.size() - 4)) == ".DEF") {
            QTimer::singleShot(0, form1.get(), [arg, &form1] { dorvan::AbreTabulacao(arg, form1.get()); });
            break;
        }
    }
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
    return r;
}

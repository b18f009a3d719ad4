// Dorvan: the windowed program.
#include "platform/Processos.h"
#include "platform/ui/Janelas.h"
#include "table/Configuracao.h"
#include "table/ui/TForm1.h"

#include <QTimer>
#include <cstdlib>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    dorvan::Aplicacao app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Dorvan32"));
    dorvan::MensagensQt mensagens;
    dorvan::DefineMensagens(&mensagens);

    dorvan::Configuracao& cfg = dorvan::ConfiguracaoAtual();
    dorvan::IniciaConfiguracao(cfg, QCoreApplication::applicationFilePath().toStdString(),
                               [](const std::string& p) { return dorvan::AchaNoPath(p); });

    dorvan::TForm1 form1(dorvan::TabelaAtual(), cfg);
    form1.AoSair = [] { QCoreApplication::quit(); };
    form1.showMaximized();

    std::vector<std::string> argumentos;
    const QStringList args = QCoreApplication::arguments();
    for (qsizetype i = 1; i < args.size(); ++i) argumentos.push_back(args[i].toStdString());
    form1.Inicia(argumentos);

    // For the smoke test and screenshots: close by itself after a while.
    if (const char* ms = std::getenv("DORVAN_FECHAR_APOS_MS"))
        QTimer::singleShot(std::atoi(ms), &form1, &QMainWindow::close);
    int r = app.exec();
    dorvan::DefineMensagens(nullptr);
    return r;
}

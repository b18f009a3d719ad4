// Dorvan: the windowed program.
#include "app/Montagem.h"
#include "platform/Arquivos.h"
#include "platform/ui/Janelas.h"
#include "table/ui/TForm1.h"

#include <QTimer>
#include <cstdlib>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    // Interrupted (SIGTERM, SIGINT), the program leaves neither half-written files
    // nor its private folder behind.
    dorvan::RemoveTemporariosAoInterromper();
    dorvan::Aplicacao app(argc, argv);
    dorvan::MensagensQt mensagens;
    dorvan::DefineMensagens(&mensagens);
    std::vector<std::string> argumentos;
    const QStringList args = QCoreApplication::arguments();
    for (qsizetype i = 1; i < args.size(); ++i)
        argumentos.push_back(args[i].toStdString());
    const int r = dorvan::ExecutaPrograma([&] {
        dorvan::Montagem programa(QCoreApplication::applicationFilePath().toStdString(), argumentos);
        programa.Mostra();
        // For the smoke test and screenshots: close by itself after a while.
        if (const char* ms = std::getenv("DORVAN_FECHAR_APOS_MS"))
            QTimer::singleShot(std::atoi(ms), &programa.Principal(), &QMainWindow::close);
        return app.exec();
    });
    dorvan::DefineMensagens(nullptr);
    return r;
}

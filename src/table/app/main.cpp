// Dorvan: the windowed program.
#include "platform/ui/Janelas.h"

#include <QMainWindow>
#include <QTimer>
#include <cstdlib>

int main(int argc, char** argv) {
    dorvan::Aplicacao app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Dorvan32"));
    dorvan::MensagensQt mensagens;
    dorvan::DefineMensagens(&mensagens);

    QMainWindow janela;
    janela.setWindowTitle(QStringLiteral("Dorvan32"));
    janela.resize(800, 600);
    janela.show();
    // For the smoke test and screenshots: close by itself after a while.
    if (const char* ms = std::getenv("DORVAN_FECHAR_APOS_MS"))
        QTimer::singleShot(std::atoi(ms), &janela, &QMainWindow::close);
    return app.exec();
}

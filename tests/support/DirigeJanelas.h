#pragma once
// Drives a modal window from a window test: acao runs on it as soon as it shows.
#include <QApplication>
#include <QTimer>
#include <QWidget>

namespace dorvan::teste {

template <typename F>
void QuandoModal(F acao, int tentativas = 500) {
    QTimer::singleShot(5, [acao, tentativas]() mutable {
        QWidget* w = QApplication::activeModalWidget();
        if (!w || !w->isVisible()) {
            if (tentativas > 0) QuandoModal(acao, tentativas - 1);
            return;
        }
        acao(w);
    });
}

} // namespace dorvan::teste

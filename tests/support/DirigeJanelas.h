#pragma once
// Drives a modal window from a window test: acao runs on it as soon as it shows.
#include <QApplication>
#include <QFileDialog>
#include <QTimer>
#include <QWidget>

#include <string>

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

// Answers the next file dialog with a name (empty: cancels it). *titulo gets the
// dialog's caption; *visto tells whether the dialog showed at all.
inline void RespondeArquivo(const std::string& nome, std::string* titulo = nullptr, bool* visto = nullptr) {
    QuandoModal([nome, titulo, visto](QWidget* w) {
        auto* d = qobject_cast<QFileDialog*>(w);
        if (!d) return;
        if (visto) *visto = true;
        if (titulo) *titulo = d->windowTitle().toStdString();
        if (nome.empty()) {
            d->reject();
            return;
        }
        d->selectFile(QString::fromStdString(nome));
        static_cast<QDialog*>(d)->accept();
    });
}

} // namespace dorvan::teste

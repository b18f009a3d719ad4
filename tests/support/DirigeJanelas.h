#pragma once
// Drives a modal window from a window test: acao runs on it as soon as it shows.
#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QTimer>
#include <QWidget>
#include <gtest/gtest.h>

#include <functional>
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

// The answer a file dialog gets: the name typed into its name box, as a user types it
// (selectFile leaves a focused box alone), then accepted; an empty name cancels it.
// *titulo gets the dialog's caption; *visto tells whether a file dialog came at all.
inline std::function<void(QWidget*)> RespostaArquivo(const std::string& nome, std::string* titulo = nullptr,
                                                     bool* visto = nullptr) {
    return [nome, titulo, visto](QWidget* w) {
        auto* d = qobject_cast<QFileDialog*>(w);
        if (!d) return;
        if (visto) *visto = true;
        if (titulo) *titulo = d->windowTitle().toStdString();
        if (nome.empty()) {
            d->reject();
            return;
        }
        auto* caixa = d->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        ASSERT_NE(caixa, nullptr);
        caixa->setText(QString::fromStdString(nome));
        QMetaObject::invokeMethod(d, "accept");
    };
}

// Answers the next file dialog as RespostaArquivo does.
inline void RespondeArquivo(const std::string& nome, std::string* titulo = nullptr, bool* visto = nullptr) {
    QuandoModal(RespostaArquivo(nome, titulo, visto));
}

} // namespace dorvan::teste

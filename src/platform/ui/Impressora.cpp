#include "platform/ui/Impressora.h"

#include "platform/Mensagens.h"
#include "platform/Texto1252.h"

#include <QApplication>
#include <QFileDialog>
#include <QPrinter>

namespace dorvan {

bool SemImpressora(const QPrinter& p) {
    return p.outputFormat() == QPrinter::PdfFormat && p.outputFileName().isEmpty();
}

DestinoImpressao::DestinoImpressao(QPrinter& p, QWidget* pai) : p_(p) {
    if (!SemImpressora(p)) return;
    QFileDialog d(pai, ParaQString("N\xE3o h\xE1 impressora instalada: salvar a impress\xE3o em arquivo PDF"));
    d.setObjectName(QStringLiteral("SalvaPDF"));
    d.setAcceptMode(QFileDialog::AcceptSave);
    d.setNameFilter(QStringLiteral("Documento PDF (*.pdf)"));
    d.setDefaultSuffix(QStringLiteral("pdf"));
    const bool aceito = d.exec() == QDialog::Accepted && !d.selectedFiles().isEmpty();
    // The window printing is active again at once: messages about the job are its
    // boxes, not boxes hidden behind it until the window manager catches up.
    if (pai && pai->window()->isVisible()) QApplication::setActiveWindow(pai->window());
    if (!aceito) {
        pronto_ = false;
        return;
    }
    arquivo_ = d.selectedFiles().first();
    p_.setOutputFormat(QPrinter::PdfFormat);
    p_.setOutputFileName(arquivo_);
}

DestinoImpressao::~DestinoImpressao() {
    if (!arquivo_.isEmpty()) p_.setOutputFileName(QString());
}

std::string DestinoImpressao::Falha(const std::string& problemaImpressora) const {
    if (arquivo_.isEmpty()) return problemaImpressora;
    return "N\xE3o foi poss\xEDvel gravar o arquivo PDF " + DeUtf8(arquivo_.toStdString());
}

void DestinoImpressao::Concluido() const {
    if (arquivo_.isEmpty()) return;
    MensagensAtuais().Mostra("N\xE3o h\xE1 impressora instalada: a impress\xE3o foi gravada no arquivo PDF " +
                             DeUtf8(arquivo_.toStdString()));
}

} // namespace dorvan

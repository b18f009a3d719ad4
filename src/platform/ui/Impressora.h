#pragma once
// Where a print job goes. A machine with no printer installed (a common desktop,
// and CI) gets every printer as a PDF writer without a file; the job then goes to a
// PDF file the user names, asked at every print, and the user is told where it went.
#include <QString>
#include <string>

class QPrinter;
class QWidget;

namespace dorvan {

// True when the printer has no device to print on: a PDF writer with no file named.
bool SemImpressora(const QPrinter& p);

// For the life of one job: asks for the PDF file when there is no printer, and
// forgets it afterwards so the next print asks again.
class DestinoImpressao {
public:
    DestinoImpressao(QPrinter& p, QWidget* pai);
    ~DestinoImpressao();
    DestinoImpressao(const DestinoImpressao&) = delete;
    DestinoImpressao& operator=(const DestinoImpressao&) = delete;

    // False when a file was needed and the user cancelled: print nothing.
    bool Pronto() const { return pronto_; }
    // Why the job could not start: the file that could not be written, or
    // `problemaImpressora` when the job was for a printer.
    std::string Falha(const std::string& problemaImpressora) const;
    // After the job: tells the user the file it was written to (nothing for a printer).
    void Concluido() const;

private:
    QPrinter& p_;
    QString arquivo_; // the PDF file asked for; empty when printing on a printer
    bool pronto_ = true;
};

} // namespace dorvan

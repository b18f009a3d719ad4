#pragma once
// The text viewer for results of statistics and analyses: callers fill the memo
// with lines and show it; the text can be copied, saved and printed.
#include <QDialog>
#include <functional>
#include <string>
#include <vector>

class QPlainTextEdit;
class QPrinter;
class QPushButton;

namespace dorvan {

class TInfo : public QDialog {
    Q_OBJECT
public:
    explicit TInfo(QWidget* pai = nullptr);

    // Empties the text and gives back the caption "Info"; callers that name what
    // they show set their caption after it.
    void Limpa();
    void AcrescentaLinha(const std::string& linha);
    std::vector<std::string> Linhas() const;

    void Copiar();
    void Salvar();
    void Imprimir();
    // Prints every line in order as plain text; false on a printer error.
    bool ImprimeEm(QPrinter& impressora);

    // Asks the name of the file Salvar writes (a save dialog; tests replace it).
    std::function<std::string()> PerguntaArquivo;

    QPlainTextEdit* Memo;
    QPushButton* bCopiar;
    QPushButton* bSalvar;
    QPushButton* bImprimir;
    QPushButton* bFechar;

protected:
    void resizeEvent(QResizeEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;

private:
    void PosicionaBotoes();
    QWidget* painel_;
};

extern TInfo* Info;

} // namespace dorvan

#pragma once
// The scheme chooser ("Esquemas de análise"): lists the analysis schemes of the
// library folder, shows the details of the one selected, runs it in R (showing
// what R printed and drew), writes its example data, and changes the library.
#include "analysis/ExecucaoR.h"
#include "table/Configuracao.h"

#include <QDialog>
#include <functional>
#include <optional>
#include <string>

class QLabel;
class QListWidget;
class QPlainTextEdit;
class QPushButton;

namespace dorvan {

class TInfo;

class TFormR : public QDialog {
    Q_OBJECT
public:
    TFormR(TabelaResultados& t, Configuracao& cfg, QWidget* pai = nullptr);
    ~TFormR() override;

    void FormShow();
    void ListProgClick();
    // Runs the selected scheme; also the run entry of the scheme editor, which
    // fills the list with its one item and calls this without showing the form.
    void ListProgDblClick();
    void bAbreBiblioClick();
    void bExemploClick();

    // The settings of a run, taken from the program's settings.
    AmbienteR Ambiente() const;
    // The window R's printed output goes to (the program's Info, or one of its own).
    TInfo& JanelaSaida();

    // Where the run asks the user; tests answer them directly.
    PerguntasR Perguntas;
    std::function<std::optional<std::string>(const std::string& pergunta, const std::string& inicial)> EscolheBiblioteca;

    QListWidget* ListProg;
    QLabel* lautor;
    QLabel* lEmail;
    QLabel* lVersao;
    QPlainTextEdit* mDescri;
    QPushButton* bOK;
    QPushButton* bAbreBiblio;
    QPushButton* bExemplo;
    QPushButton* BitBtn1;

protected:
    void showEvent(QShowEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;

private:
    PerguntasR PerguntasPadrao();
    std::string ArquivoSelecionado() const;

    TabelaResultados& t_;
    Configuracao& cfg_;
    TInfo* saida_ = nullptr;
};

// The chooser of the program (created by LigaComandosR).
extern TFormR* FormR;

// The plot viewer: shows the first plot of a run (full file name) and offers the
// others. Unset, the desktop's program for the picture opens it.
std::function<void(const std::string& primeiroGrafico)>& MostraGraficoR();

} // namespace dorvan

#pragma once
// The tabulation dialog "Tabula": shows the lists of the DEF in use, gathers the
// user's choices and runs the tabulation (ExecutaTabulacao) over the chosen files.
// The dialog lives for the whole program, so a re-run of the same DEF keeps the
// choices, the active selections and their marked categories.
#include "tabulation/ExecutaTabulacao.h"

#include <QDialog>
#include <functional>
#include <memory>
#include <string>

class QButtonGroup;
class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;
class QStatusBar;
class QTimer;

namespace dorvan {

class ProgressoJanela;
class TDualListDlg;

// What the dialog needs from rooms built elsewhere; both are required.
struct LigacoesTabula {
    // The DBF browser that opens the record export.
    std::function<void(const std::string&)> AbreNoBrowser;
    // "Importa dados": the DEF's query file run into the DBF the user named.
    std::function<void(const std::string& consulta, const std::string& dbf)> ImportaDados;
};

class TTabula : public QDialog, public InterfaceTabulacao {
    Q_OBJECT
public:
    // Throws std::invalid_argument when a link of `ligacoes` is empty.
    explicit TTabula(LigacoesTabula ligacoes, QWidget* pai = nullptr, DefTabulacao* def = nullptr);
    ~TTabula() override;

    // Reads the DEF when it is not the one in use and fills the lists from it.
    // Throws ErroES when the file cannot be read.
    void CarregaDEF(const std::string& arquivo, bool sqlDisponivel = false);
    DefTabulacao& Def() { return *def_; }

    void ListaArquivos();
    void SelecionaClick();
    void DeSelecionaClick();
    void ListSelecaoClick();
    void ListCategSelExit();
    void NaoClassificadoClick();
    void ExecuteClick();
    void bCancelarClick();
    void bAjudaClick();
    void bLocalizarClick();
    // The right-button search: highlights (single choice) or selects (multiple
    // choice) the items containing `texto`, ignoring accents and case.
    void Procura(QListWidget* lista, const QString& texto);
    // Finds `texto` in the category list from the current line down (or up); shows
    // "\"<text>\" não encontrado!" when no line has it.
    bool FindDialog1Find(const QString& texto, bool paraBaixo, bool diferenciaMaiusculas);

    bool Rodando() const { return rodando_; }
    const ResultadoTabulacao& UltimoResultado() const { return resultado_; }
    // The options the widgets hold now.
    OpcoesTabulacao Opcoes() const;

    // InterfaceTabulacao: the save dialog, the field chooser, the browser.
    bool EscolheArquivoExportacao(std::string& nome) override;
    bool EscolheCampos(const std::vector<std::string>& campos, std::vector<std::string>& escolhidos) override;
    void MostraExportacao(const std::string& nome) override;
    void ComecaLeitura() override;
    void TerminaLeitura() override;

    // The answer of the export's save dialog (tests); unset, the dialog asks.
    std::function<bool(std::string&)> PerguntaArquivoSaida;
    // Set by the tabulation command for one showing: runs when a run has its table
    // ready, before that table takes the place of the open one (the main window
    // offers to save and closes its table there); false keeps the open table.
    std::function<bool()> AntesDeSubstituir;
    int Threads = 0;

    QListWidget* ListLinha;
    QListWidget* ListColunas;
    QListWidget* ListIncr;
    QListWidget* ListInicial;
    QListWidget* ListSelecao;
    QListWidget* ListCategSel;
    QListWidget* ListArquivos;
    QLineEdit* EspecArquivos;
    QPushButton* bInclui;
    QPushButton* bExclui;
    QPushButton* bLocalizar;
    QPushButton* bConsultaSQL;
    QCheckBox* cbSupLin;
    QCheckBox* cbSupCol;
    QCheckBox* ckTestaCRC;
    QCheckBox* cbGrava;
    QRadioButton* rbIgnorar;
    QRadioButton* rbIncluir;
    QRadioButton* rbDiscriminar;
    QButtonGroup* NaoClassificado;
    QPushButton* bExecute;
    QPushButton* bCancelar;
    QPushButton* bSair;
    QPushButton* bAjuda;
    QStatusBar* StatusBar1;
    QLabel* Painel[3];
    QTimer* Timer1;
    TDualListDlg* Escolhedor;
    QDialog* FindDialog1 = nullptr; // created on the first "&Localizar categoria"

public slots:
    void reject() override;

protected:
    void closeEvent(QCloseEvent* e) override;
    bool eventFilter(QObject* objeto, QEvent* evento) override;

private:
    void PreencheListas();
    void MostraCategorias(int selecao);
    void Timer1Timer();
    void Botoes(bool rodando);

    LigacoesTabula ligacoes_;
    std::unique_ptr<DefTabulacao> proprio_;
    DefTabulacao* def_;
    bool ocupado_ = false; // "E&xecutar" is being handled (checks and questions included)
    bool rodando_ = false; // the files are being read
    bool preenchendo_ = false;
    int ticks_ = 0;
    ProgressoJanela* progresso_ = nullptr;
    ResultadoTabulacao resultado_;
};

// The dialog of the program (built by the program's assembly, kept until exit).
extern TTabula* Tabula;

// The tabulation command from a DEF path (Tabula must exist): reads the DEF (the same path keeps the
// choices), shows the dialog and returns true when a run left a table in
// TabelaAtual(). A file without row variables opens nothing and the open table
// stays. antesDeSubstituir runs once a run's table is ready, before it replaces the
// open one (the main window offers to save and closes its table there); false from
// it keeps the open table and drops the new one.
bool AbreTabulacao(const std::string& arquivoDef, QWidget* pai = nullptr,
                   const std::function<bool()>& antesDeSubstituir = {});

// The command "E&xecutar tabulação": asks for the DEF with the open-DEF dialog first,
// starting in the DEF folder in use or, before the first DEF, in the data folder.
bool ComandoTabulacao(QWidget* pai = nullptr, const std::function<bool()>& antesDeSubstituir = {});

} // namespace dorvan

#pragma once
// The SQL query window: saved queries listed from the data folder for the user,
// and for the programmer the aliases, their tables and columns and the SQL editor.
// A SELECT fills the results table and closes the window with OK; other
// statements run and the window stays.
#include <QDialog>
#include <functional>
#include <optional>
#include <string>
#include <vector>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QWidget;
class QsciScintilla;

namespace dorvan {

class MotorBD;
class TabelaResultados;
struct Configuracao;
struct IndiceBD;
struct ConsultaSalva;
class LexerSQLDorvan;
class TfCase;

class TfQuery : public QDialog {
    Q_OBJECT
public:
    TfQuery(TabelaResultados& t, Configuracao& cfg, MotorBD& motor, QWidget* pai = nullptr);
    ~TfQuery() override;

    void AbreQuery(const std::string& arquivo);
    void AbreQueryXML(const std::string& arquivo);
    void bExecuteClick();
    void bSQLClick();
    void FormActivate(); // the query list, again
    void lbConsultasClick();
    void bSalvarClick();
    void bAbrirClick();
    void bNovoClick();
    void cbDataBaseClick();
    void lbTabelasClick();
    void bVisualizaClick();
    void bNovoAliasClick();
    void bRemoveAliasClick();
    void bBDEClick();
    // "Salvar &DBF": the SELECT written into a DBF, then shown in the browser.
    void bDBFClick();
    // The tabulation's "Importa dados": the query file loaded (".SQL" or the .xml
    // form) and its SELECT written into dbf. True when the file was written; errors
    // are shown.
    bool ImportaConsulta(const std::string& consulta, const std::string& dbf);
    // "Lote": a text file of query-to-DBF orders.
    void bLoteClick();
    // "cnv": CASE code from a conversion table, through the TfCase dialog.
    void bCaseClick();
    // Fills the alias box from the engine (FormCreate, after alias changes).
    void CarregaAliases();

    // The editor's text as 1252 lines, and back.
    std::vector<std::string> LinhasSQL() const;
    void DefineLinhasSQL(const std::vector<std::string>& linhas);

    bool ModoProgramador() const;
    // True while a query is being written into a DBF: the commands that would start
    // another run are disabled, and closing the window stops the writing.
    bool Gravando() const { return gravacoes_ > 0; }
    void reject() override;
    std::string DriverAtual;
    std::string SeparadorInsercao = " ";
    std::string TabelaEscolhida;        // the table whose columns are listed
    std::vector<IndiceBD> IndicesTabela; // its index definitions

    // Where the window asks the user; tests answer them directly. Empty = cancelled.
    std::function<std::string()> EscolheArquivoSalvar;
    std::function<std::string()> EscolheArquivoAbrir;
    std::function<std::optional<std::string>(const std::string& nome)> PerguntaParametro;
    std::function<std::string()> EscolheArquivoDBF;  // the DBF a query is written into
    std::function<std::string()> EscolheArquivoLote; // a batch file
    // A batch's "INFORME" question (caption "Entre com o parâmetro").
    std::function<std::optional<std::string>(const std::string& nome)> PerguntaInforme;
    std::function<std::optional<std::string>(const std::string& pergunta, const std::string& inicial)> EscolhePasta;
    std::function<void(MotorBD&)> AdministraBancos; // the alias editor
    // Shows the dataset viewer over the chosen table.
    std::function<void(const std::string& alias, const std::string& tabela, bool podeAlterar)> VerTabela;

    QWidget* Panel2;
    QListWidget* lbConsultas;
    QPushButton* bSQL;
    QPushButton* bDBF;
    QPushButton* bNovo;
    QPushButton* bAbrir;
    QPushButton* bSalvar;
    QPushButton* bExecute;
    QPushButton* bCancela;
    QWidget* Panel1;
    QComboBox* cbDataBase;
    QPushButton* bNovoAlias;
    QPushButton* bRemoveAlias;
    QPushButton* bBDE;
    QPushButton* bLote;
    QLineEdit* edParam;
    QLabel* Label2;
    QListWidget* lbTabelas;
    QLabel* Label3;
    QListWidget* lbColunas;
    QPushButton* bAgrupa;
    QPushButton* bSoma;
    QPushButton* bCase;
    QPushButton* bOQB;
    QPushButton* bVisualiza;
    QLineEdit* edTitulo;
    QCheckBox* cbQualifica;
    QLabel* Label4;
    QsciScintilla* Memo1;
    TfCase* fCase = nullptr; // created at its first use

protected:
    void showEvent(QShowEvent* e) override;
    void hideEvent(QHideEvent* e) override;

private:
    void ClearLabel4();
    void MostraConsulta(const ConsultaSalva& c); // editor, title, alias, parameter
    bool AbrePorExtensao(const std::string& arquivo); // ".SQL" or the .xml form; errors shown
    void LimpaColunas(); // no table chosen: its columns, indexes and buttons go
    void MostraErro(const std::exception& e);
    std::string Alias() const;
    std::string PastaDados() const;
    bool GravaDBF(const std::string& arquivo, const std::string& valor);
    void GuardaPastaDados(const std::string& arquivo);
    void MarcaGravacao(bool comeca);
    // A writing marked for as long as it lives.
    class Gravacao {
    public:
        explicit Gravacao(TfQuery& j) : j_(j) { j_.MarcaGravacao(true); }
        ~Gravacao() { j_.MarcaGravacao(false); }
        Gravacao(const Gravacao&) = delete;
        Gravacao& operator=(const Gravacao&) = delete;

    private:
        TfQuery& j_;
    };

    TabelaResultados& t_;
    Configuracao& cfg_;
    MotorBD& motor_;
    LexerSQLDorvan* lexer_;
    int gravacoes_ = 0;
    bool cancelaGravacao_ = false;
};

// The window once created (null before, and when the engine did not start).
extern TfQuery* fQuery;

} // namespace dorvan

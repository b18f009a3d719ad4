#pragma once
// The main window: the one results table in its grid, every command of the
// program in the menu and the toolbar, titles above and the footer below.
// Commands of other rooms attach to their menu item by name (DefineComando);
// the tabulation, the SQL window and the DBF browser through Ganchos().
#include "table/Configuracao.h"
#include "table/EdicaoGrade.h"
#include "table/TabelaArquivo.h"

#include <QMainWindow>
#include <QString>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

class QAction;
class QLabel;
class QLineEdit;
class QMenu;
class QTableView;
class QToolBar;
class QWidget;

namespace dorvan {

class GradeFixa;
class ModeloTabela;
class TForm1;

// Filled at start-up by the rooms that own these commands.
struct GanchosForm1 {
    std::function<void(TForm1&)> Tabula;                        // "Executar tabulação"
    std::function<void(TForm1&, const std::string&)> AbreSQL;   // a .sql on the command line
    std::function<void(TForm1&, const std::string&)> MostraDBF; // a .dbf on the command line
    // The run log window, after a table with log lines was opened and "MostraLog" is
    // on: modal over the window, or left open beside it (a table named on the command line).
    std::function<void(TForm1&, bool modal)> MostraLog;
    // Closes the run log window (a table with its own log was opened).
    std::function<void(TForm1&)> FechaLog;
};
GanchosForm1& Ganchos();

class TForm1 : public QMainWindow {
public:
    TForm1(TabelaResultados& t, Configuracao& cfg, QWidget* pai = nullptr);
    ~TForm1() override;

    // Start-up once the window is shown: commands shown by what was found beside
    // the program, then the file named on the command line.
    void Inicia(const std::vector<std::string>& argumentos);

    void HabilitaComandos();
    void MostraTabela();
    void MostraNovaColuna();
    void AjustaRolagem();
    // Offers to save, then empties the table and the window. False when the
    // user cancelled the save: the table stays.
    bool FechaTabela();
    // Reads a table file (.tab, .prn, .csv) or a DBF by its extension and shows it.
    bool AbreArquivo(const std::string& arquivo);
    // Every cell is drawn again (after an operation changed values in place).
    void AtualizaGrade();
    // Orders the rows by column c (0: natural order) and shows them from the top row.
    void OrdenaPor(std::int32_t c);
    // The caption shows the table's title, as reading a table file sets it.
    void MostraTituloDaTabela();
    // Width in pixels of grid column c from its printed width and its title.
    int LarguraNaGrade(int c) const;
    // Column c was dragged to `largura` pixels: its printed width follows.
    void RedimensionaColuna(int c, int largura);
    // Moves table column de to position para with its width in the grid.
    void MoveColunaDaTabela(int de, int para);

    void Abrir1Click();
    void Salvar1Click();
    void Nova1Click() { FechaTabela(); }
    void Tabula1Click();
    void Sair1Click();
    void ExtensaoTAB1Click();
    void EnviarParaClick();
    void Ajuda2Click();
    void Novidades1Click();
    void Sobre1Click();
    void EscolheFontfixa1Click();
    void CodePageClick();
    void AplicaFonteFixa();

    // The action of a menu item or tool button by its name ("Abrir1", "SpeedButton2").
    QAction* Acao(const QString& nome) const;
    // Attaches a command to every item and button whose handler has this name
    // ("Indicador1Click").
    void DefineComando(const QString& manipulador, std::function<void()> f);

    // The run log kept with the table (the program's LogAtual()).
    const std::vector<std::string>& LinhasLog() const;
    TabelaResultados& Tabela() { return t_; }
    Configuracao& Config() { return cfg_; }

    // Where the window asks the user; tests answer them directly.
    std::function<std::string(const QString& titulo)> EscolheArquivoAbrir;  // empty = cancelled
    std::function<std::string(const QString& titulo)> EscolheArquivoSalvar; // empty = cancelled
    std::function<std::optional<std::string>(int numero, const std::string& padrao)> PerguntaNota;
    std::function<std::optional<AtributosColuna>(std::int32_t c, const AtributosColuna&)> PerguntaAtributos;
    EscolheCamposDBF EscolheCampos;
    std::function<void()> AoSair; // the application ends

    // What the program's assembly left unset, by name: a hook above or of Ganchos()
    // with no default, or a menu item or button whose handler has no command. The
    // assembly refuses to start with any, so no command can silently do nothing.
    std::vector<std::string> GanchosFaltando() const;

    QToolBar* Panel1;
    QWidget* Panel2;
    QLineEdit* edTitulo;
    QLineEdit* edSubTitulo;
    GradeFixa* StringGrid1;
    QWidget* Panel3;
    QLineEdit* edRodape;
    QLabel* Painel[4];
    ModeloTabela* Modelo;
    QMenu* Estatisticas;
    QMenu* Avancado;

protected:
    void closeEvent(QCloseEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    bool eventFilter(QObject* o, QEvent* e) override;

private:
    void CriaMenus();
    void CriaBarra();
    QAction* NovaAcao(const QString& nome, const QString& texto, const QString& manipulador);
    void Executa(const QString& manipulador);
    void Habilita(std::initializer_list<const char*> nomes, bool sim);
    void MostraArquivoNoPainel(const std::string& arquivo);
    void EditaNotaDaCelula(int g, int c);
    void EditaColuna(int c);
    std::string EscolheSalvarComo();

    TabelaResultados& t_;
    Configuracao& cfg_;
    std::map<QString, QAction*> acoes_;
    std::map<QString, std::function<void()>> comandos_;
    bool ordenacaoArmada_ = false;
};

// The main window once created (null before and after).
extern TForm1* Form1;

} // namespace dorvan

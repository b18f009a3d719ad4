#pragma once
// The DBF browser: one dBase III file in a grid, each row read from the file when
// it is drawn; its menus write the file out, copy its structure and append records
// to it. The work itself is NavegaDBF's; this window asks and shows.
#include "query/DosCommand.h"
#include "query/NavegaDBF.h"

#include <QAbstractTableModel>
#include <QDateTime>
#include <QMainWindow>
#include <functional>
#include <optional>
#include <string>

class QAction;
class QLabel;
class QMenu;
class QTableView;
class QTimer;
class QToolBar;

namespace dorvan {

struct Configuracao;

// The grid's rows drawn on demand from the browser's file.
class ModeloBrowse : public QAbstractTableModel {
public:
    ModeloBrowse(dbfRecord& dbf, bool DBFcomCP850, QObject* pai = nullptr)
        : QAbstractTableModel(pai), dbf_(dbf), cp850_(DBFcomCP850) {}
    int rowCount(const QModelIndex& pai = {}) const override;
    int columnCount(const QModelIndex& pai = {}) const override;
    QVariant data(const QModelIndex& indice, int papel) const override;
    QVariant headerData(int secao, Qt::Orientation o, int papel) const override;
    // Follows the file: new records become new rows, a new file a new grid.
    void Acompanha();
    void Reinicia();
    void DefineCP850(bool sim) { cp850_ = sim; }

private:
    bool Aberto() const { return dbf_.Estado != 0; }
    dbfRecord& dbf_;
    int linhas_ = 0;
    int colunas_ = 0;
    bool cp850_;
};

class TfBrowse : public QMainWindow {
public:
    // analiseComR, "Análise com &R": the analysis room runs its scheme on the file
    // this browser shows. Required: std::invalid_argument when empty.
    TfBrowse(Configuracao& cfg, std::function<void(TfBrowse&)> analiseComR, QWidget* pai = nullptr);
    ~TfBrowse() override;

    // The file on show; closed (Estado 0) while nothing is shown.
    dbfRecord Dbf;
    // The open dialog's file name: callers that open a file set it and call bAbrirClick(false).
    std::string NomeArquivo;
    // perguntar: the dialog is shown first (the open button and menu item).
    void bAbrirClick(bool perguntar);
    void bSairClick(bool fechaJanela);
    void InformacaoClick();
    void Salvarcomocsv1Click();
    void bXMLClick();
    void bComprimeClick();
    void bSQLClick();
    void bCNVClick();
    void Copiaestrutura1Click();
    void Append1Click();
    void AppendarSDF1Click();
    void dearquivoDBF1Click();
    void AppendardeXML1Click();
    void XML2Click();
    void ConfigurarprocessadorXSLT1Click();
    void bRClick();
    void Timer1Timer();

    // The commands found at start-up: R and the uxt converter.
    void MostraR(bool sim);
    void MostraUXT(bool sim);
    // The XSLT item's caption for the current processor.
    void AtualizaLegendaXSLT();

    // Where the window asks the user; tests answer them directly. Empty = cancelled.
    std::function<std::string(const QString& titulo, const QString& filtro, const std::string& inicio)> EscolheAbrir;
    std::function<std::string(const QString& titulo, const QString& filtro)> EscolheSalvar;
    std::function<std::optional<std::string>(const QString& titulo, const QString& pergunta, const QString& padrao)>
        PerguntaTexto;
    // Starts R on the ".Rprofile" of the current folder; false when it could not.
    std::function<bool()> IniciaR;

    QTableView* DrawGrid1;
    ModeloBrowse* Modelo;
    QToolBar* Barra;
    QLabel* Painel[2];
    QTimer* Timer1;
    TDosCommand DosCommand1;
    TDosCommand DosCommand2;
    QMenu* Arquivo1;
    QMenu* Adiciona1;
    QAction* AnlisecomR1;

    QAction* Acao(const char* nome) const;
    // The record count into its panel, the file panel narrowed to what is left.
    void MostraContagem(const QString& texto);
    // The first panel takes the width the count's panel leaves.
    void AjustaPaineis();

protected:
    void closeEvent(QCloseEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;

private:
    bool Aberto() const { return Dbf.Estado != 0; }
    QAction* NovaAcao(const char* nome, const char* texto, std::function<void()> f);
    void HabilitaBotoes(bool sim);
    void AjustaColunaZero();
    void AtualizaStatus();
    void FimAcrescimo();
    void ComecaAcrescimo();
    void AcrescimoDeTexto(const std::function<void(const EventosAcrescimo&)>& trabalho);
    bool PerguntaXMLEFolha(std::string& xml, std::string& folha);
    void TerminaXSLT(bool relerTemp);
    void FalhaAoIniciar(const std::string& motivo);
    void PorNoInfo(const std::string& linha);
    void MostraInfo();

    Configuracao& cfg_;
    std::function<void(TfBrowse&)> analiseComR_;
    bool fonteDefinida_ = false;
    bool cursorOcupado_ = false;
    QDateTime inicioXSLT_;
};

extern TfBrowse* fBrowse;

} // namespace dorvan

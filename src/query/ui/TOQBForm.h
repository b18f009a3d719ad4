#pragma once
// The visual query builder: tables dropped from a list onto a work area, fields
// dragged onto other fields to join them, ticked fields in a grid of columns with
// their show, sort, function and grouping. OK generates the SQL and keeps the
// model silently as "modelo.qb" in the current folder.
#include "query/ModeloConstrutor.h"

#include <QDialog>
#include <QFrame>
#include <QListWidget>
#include <QTableWidget>
#include <functional>
#include <optional>
#include <string>
#include <vector>

class QLabel;
class QScrollArea;
class QSplitter;
class QTabWidget;
class QToolButton;

namespace dorvan {

class MotorBD;
class TOQBForm;

// The field list of a table panel: "*" first; fields used by a link are bold.
class TOQBLbx : public QListWidget {
    Q_OBJECT
public:
    TOQBLbx(TOQBForm& form, std::string tabela, QWidget* pai);
    const std::string& Tabela() const { return tabela_; }

protected:
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void dragEnterEvent(QDragEnterEvent* e) override;
    void dragMoveEvent(QDragMoveEvent* e) override;
    void dropEvent(QDropEvent* e) override;
    void contextMenuEvent(QContextMenuEvent* e) override;

private:
    TOQBForm& form_;
    std::string tabela_;
    QPoint inicioArrasto_;
    int linhaArrasto_ = -1;
};

// A table on the work area: title, close and unlink buttons, the field list.
class TOQBTable : public QFrame {
    Q_OBJECT
public:
    TOQBTable(TOQBForm& form, const TabelaModelo& t, QWidget* area);
    const std::string& Tabela() const { return tabela_; }
    TOQBLbx* Lista() const { return lista_; }
    // Middle of a field's row in the area's coordinates.
    int MeioDaLinha(int campo) const;

protected:
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void contextMenuEvent(QContextMenuEvent* e) override;

private:
    TOQBForm& form_;
    std::string tabela_;
    QLabel* titulo_;
    TOQBLbx* lista_;
    QPoint pega_;
    bool movendo_ = false;
};

// The grey work area; draws the links and takes tables dropped from the list.
class TOQBArea : public QWidget {
    Q_OBJECT
public:
    TOQBArea(TOQBForm& form, QWidget* pai);
    // The 15 by 15 region that opens a link's popup.
    QRect RegiaoLigacao(int ligacao) const;
    // The link whose region holds the point, or -1.
    int LigacaoEm(const QPoint& p) const;
    void MenuLigacao(int ligacao, const QPoint& global);

protected:
    void paintEvent(QPaintEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void dragEnterEvent(QDragEnterEvent* e) override;
    void dragMoveEvent(QDragMoveEvent* e) override;
    void dropEvent(QDropEvent* e) override;

private:
    // The link's path: the rows' points and the horizontal run between them.
    std::vector<QPoint> Caminho(int ligacao) const;
    TOQBForm& form_;
};

// The grid of selected columns; column 0 holds the row titles.
class TOQBGrid : public QTableWidget {
    Q_OBJECT
public:
    TOQBGrid(TOQBForm& form, QWidget* pai);
    void Preenche(const ModeloConstrutor& m);

protected:
    void dragEnterEvent(QDragEnterEvent* e) override;
    void dragMoveEvent(QDragMoveEvent* e) override;
    void dropEvent(QDropEvent* e) override;
    void contextMenuEvent(QContextMenuEvent* e) override;

private:
    TOQBForm& form_;
};

class TOQBForm : public QDialog {
    Q_OBJECT
public:
    TOQBForm(MotorBD& motor, QWidget* pai = nullptr);
    ~TOQBForm() override;

    // Sets the database, reads its tables into the list and sets the caption;
    // engine errors are swallowed (the list stays empty).
    void DefineBanco(const std::string& banco);
    // The database dialog; false when cancelled.
    bool EscolheBanco();
    // Places a table read from the engine; false (after a message) when it is
    // there already or its fields cannot be read.
    bool InsereTabela(const std::string& nome, const QPoint& posicao);
    // Shows the model again: panels, ticks, bold fields, links and grid.
    void Atualiza();
    void AbreModelo(const std::string& arquivo);
    void SalvaModelo(const std::string& arquivo);

    void btnDBClick();
    void btnOpenClick();
    void btnSaveClick();
    void btnReloadClick();
    void btnNewClick();
    void btnOKClick();
    // The link options dialog; true when the link changed.
    bool OpcoesLigacao(int ligacao);

    TOQBTable* Painel(const std::string& tabela) const;

    ModeloConstrutor modelo;
    std::vector<std::string> LinhasSQL; // the SQL of the last OK

    // Where the window asks; tests answer directly. Empty = cancelled.
    std::function<std::string()> EscolheArquivoAbrir;
    std::function<std::string()> EscolheArquivoSalvar;
    std::function<bool(LigacaoModelo&)> EditaLigacao;
    std::function<bool(std::string& banco, bool& sistema)> DialogoBanco;

    QToolButton* btnDB;
    QToolButton* btnOpen;
    QToolButton* btnSave;
    QToolButton* btnResults;
    QToolButton* btnSaveResults;
    QToolButton* btnReload;
    QToolButton* btnNew;
    QToolButton* btnPages;
    QToolButton* btnTables;
    QToolButton* btnOK;
    QToolButton* btnCancel;
    QScrollArea* rolagem;
    TOQBArea* area;
    QListWidget* QBTables;
    QTabWidget* paginas;
    TOQBGrid* grade;

protected:
    void resizeEvent(QResizeEvent* e) override;

private:
    friend class TOQBArea;
    std::optional<std::vector<std::string>> LeCampos(const std::string& tabela, bool avisa);
    void AplicaJanela();
    void GuardaJanela();

    MotorBD& motor_;
    QSplitter* vertical_;
    QSplitter* horizontal_;
    std::vector<TOQBTable*> paineis_;
};

// Runs the builder on the alias (asking for a database when empty): the SQL
// lines on OK, empty when cancelled, when no SQL was generated, or when a
// builder is open already.
std::optional<std::vector<std::string>> ExecutaConstrutor(MotorBD& motor, const std::string& alias, QWidget* pai);

// The mime type of a field dragged from a table panel: "<table>\t<field index>".
inline constexpr const char* MimeCampoConstrutor = "application/x-dorvan-campo-construtor";

} // namespace dorvan

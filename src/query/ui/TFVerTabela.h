#pragma once
// The dataset viewer: a database table in a grid, browsed read-only until the
// user asks to change it; the navigator then offers insert, delete, edit, post,
// cancel and refresh.
#include <QDialog>
#include <array>
#include <functional>
#include <string>

class QPushButton;
class QSqlTableModel;
class QTableView;
class QToolButton;
class QWidget;

namespace dorvan {

class MotorBD;

class TFVerTabela : public QDialog {
    Q_OBJECT
public:
    enum Botao { Primeiro, Anterior, Proximo, Ultimo, Insere, Remove, Altera, Efetiva, Cancela, Atualiza, NumBotoes };

    explicit TFVerTabela(QWidget* pai = nullptr);
    ~TFVerTabela() override;

    // The table to show (not owned); aoFechar releases it when the viewer closes.
    void DefineModelo(QSqlTableModel* modelo, std::function<void()> aoFechar);
    void sbAlteraClick();
    // Before a navigator button acts: insert and edit make the grid writable, any other read-only.
    void DBNavigator1BeforeAction(Botao b);
    // A navigator button pressed: DBNavigator1BeforeAction, then its action.
    void Navega(Botao b);
    bool GradeEditavel() const;
    // All ten buttons are shown (changing), not only the browsing ones.
    bool TodosBotoes() const;

    QTableView* DBGrid1;
    QWidget* DBNavigator1;
    std::array<QToolButton*, NumBotoes> Botoes;
    QToolButton* sbAltera;
    QPushButton* bFechar;

    void done(int r) override; // FormClose

private:
    void MostraBotoes(bool todos);
    void Posta(); // pending changes go to the database; a refusal is shown
    QSqlTableModel* modelo_ = nullptr;
    std::function<void()> aoFechar_;
};

// The viewer created at start-up (null before).
extern TFVerTabela* FVerTabela;

// Opens the table, captions the viewer "<alias>:<table>", offers changing only
// when podeAlterar, and shows it modally. Engine errors are shown.
void MostraVerTabela(MotorBD& motor, const std::string& alias, const std::string& tabela, bool podeAlterar,
                     QWidget* pai);

} // namespace dorvan

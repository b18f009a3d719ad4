#pragma once
// Our own alias editor, where the engine's administrator program used to be:
// driver, database, host, port, user and options of each alias, with a
// connection test. The caller restarts the engine after it closes.
#include <QDialog>

class QComboBox;
class QLineEdit;
class QListWidget;
class QPushButton;
class QSpinBox;

namespace dorvan {

class MotorBD;
struct Alias;

class TEditaAliases : public QDialog {
    Q_OBJECT
public:
    explicit TEditaAliases(MotorBD& motor, QWidget* pai = nullptr);

    void Novo();
    // Saves the alias in the form into the aliases file; false (after a message) when refused.
    bool Grava();
    void Remove();
    // Tries the connection in the form and shows the outcome.
    void TestaConexao();

    QListWidget* listaAliases;
    QLineEdit* edNome;
    QComboBox* cbDriver;
    QLineEdit* edBanco;
    QLineEdit* edHost;
    QSpinBox* sePorta;
    QLineEdit* edUsuario;
    QLineEdit* edOpcoes;
    QPushButton* bNovo;
    QPushButton* bGrava;
    QPushButton* bRemove;
    QPushButton* bTesta;
    QPushButton* bFecha;

private:
    void Recarrega(const QString& selecionar = {});
    void MostraAlias(const QString& nome);
    Alias DoFormulario() const;
    MotorBD& motor_;
};

// Shows the editor modally over the engine's aliases.
void EditaAliases(MotorBD& motor);

} // namespace dorvan

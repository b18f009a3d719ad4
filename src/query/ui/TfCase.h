#pragma once
// The CASE generator's dialog: which expression, which conversion table, and what
// to generate (CASE lines, aggregate columns or a WHERE condition). The SQL window
// reads the choices and writes the code into its editor.
#include "query/ConsultaDBF.h"

#include <QDialog>
#include <functional>
#include <string>

class QCheckBox;
class QGroupBox;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;

namespace dorvan {

class TfCase : public QDialog {
public:
    explicit TfCase(QWidget* pai = nullptr);

    void bCNVClick();
    // Loads a conversion table into the list, its first category line selected.
    void CarregaCNV(const std::string& arquivo);
    void rColunaClick();
    void rgContaClick();
    void bEditarCNVClick();

    GerarPara Gerar() const;
    NaoClassificados NClassificados() const;
    void DefineNClassificados(NaoClassificados n);

    // Where the dialog asks the user; tests answer directly. Empty = cancelled.
    std::function<std::string()> EscolheCNV;
    // Opens the conversion table in its editor.
    std::function<void(const std::string& arquivo)> EditaCNV;

    QLineEdit* edExp;
    QLineEdit* edCNV;
    QPushButton* bCNV;
    QGroupBox* rColuna;
    QRadioButton* rLinhas;
    QRadioButton* rColunas;
    QRadioButton* rSelecao;
    QGroupBox* rgConta;
    QRadioButton* rContagem;
    QRadioButton* rSoma;
    QCheckBox* ckGroupBy;
    QGroupBox* rgNClassificados;
    QRadioButton* rIgnorar;
    QRadioButton* rIncluir;
    QRadioButton* rDiscriminar;
    QListWidget* ListBox1;
    QListWidget* lbCNV;
    QPushButton* bOK;
    QPushButton* bCancel;
    QPushButton* bEditarCNV;
};

} // namespace dorvan

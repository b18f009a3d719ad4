#pragma once
// "Liga CNV à coluna:": links one DBF field to a conversion table for the DEF
// generator; clicking a table proposes a description from its name.
#include <QDialog>

class QCheckBox;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace dorvan {

class TfLigaCNV : public QDialog {
    Q_OBJECT
public:
    explicit TfLigaCNV(QWidget* pai = nullptr);

    void lbCNVClick();

    QLineEdit* edDescr;
    QLineEdit* edNomeCNV;
    QLineEdit* edInicio;
    QListWidget* lbCNV;
    QCheckBox* cbxLinhas;
    QCheckBox* cbxColunas;
    QCheckBox* cbxSelecao;
    QCheckBox* cbxQuadro;
    QPushButton* bOK;
    QPushButton* bCancela;
};

extern TfLigaCNV* fLigaCNV;

} // namespace dorvan

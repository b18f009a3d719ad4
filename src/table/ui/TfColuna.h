#pragma once
// "Atributos da coluna": title, width, decimals, the column's note and its total kind.
#include "table/EdicaoGrade.h"

#include <QDialog>

class QButtonGroup;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;

namespace dorvan {

class TfColuna : public QDialog {
public:
    explicit TfColuna(QWidget* pai = nullptr);

    // Fills the dialog for column c (0: no decimals, no total kind).
    void Carrega(std::int32_t c, const AtributosColuna& a);
    AtributosColuna Resultado() const;

    QLineEdit* edTitulo;
    QSpinBox* spLargura;
    QLabel* Label3;
    QSpinBox* spDecimais;
    QLineEdit* edNota;
    QGroupBox* rgTipoTotal;
    QButtonGroup* grupoTotal;
    QPushButton* bOK;
    QPushButton* bCancel;

protected:
    void showEvent(QShowEvent* e) override;
};

} // namespace dorvan

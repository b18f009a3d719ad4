#pragma once
// "Calcula Indicador": numerator and denominator columns, a power-of-ten scale,
// decimals and the new column's title, which follows every click in the lists
// or the scale. The scale, decimals and title are kept from one use to the next.
#include "table/TabelaResultados.h"

#include <QDialog>
#include <cstdint>
#include <string>

class QButtonGroup;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace dorvan {

class TfIndic : public QDialog {
    Q_OBJECT
public:
    explicit TfIndic(QWidget* pai = nullptr);

    // Lists the titles of columns 1..NumColunas in both lists, first items current;
    // the scale, decimals and title come from the last use.
    void Prepara(const TabelaResultados& t);

    std::int32_t Numerador() const;   // column number, 0 when none
    std::int32_t Denominador() const; // column number, 0 when none
    std::int32_t Escala() const;      // 0..6: multiply by 10^Escala
    std::int32_t Decimais() const;    // 0..4
    std::string Titulo() const;

    QListWidget* lbNumerador;
    QListWidget* lbDenominador;
    QButtonGroup* rgEscala;
    QButtonGroup* rgDecimais;
    QLineEdit* edTitulo;
    QPushButton* bOK;
    QPushButton* bCancela;

public slots:
    // Any click in a list or in the scale proposes numerator/denominator + scale.
    void lbNumeradorClick();

protected:
    void done(int resultado) override;

private:
    const TabelaResultados* tabela_ = nullptr;
};

// The "Calcular indicador" command: the dialog, then the new column. False when
// cancelled or when no column was added.
bool Indicador1Click(TabelaResultados& t, QWidget* pai = nullptr);

} // namespace dorvan

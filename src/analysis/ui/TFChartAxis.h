#pragma once
// The options of one chart axis: grid, scale kind and direction, labels, title
// and its font, and whether the scale must reach zero.
#include "analysis/Grafico.h"

#include <QDialog>
#include <QFont>

class QCheckBox;
class QLineEdit;
class QPushButton;

namespace dorvan {

class TFChartAxis : public QDialog {
public:
    explicit TFChartAxis(QWidget* pai = nullptr);

    void Mostra(const OpcoesEixo& o);
    OpcoesEixo Opcoes() const;
    void bFontClick();

    QCheckBox* cbGrade;
    QCheckBox* cbLog;
    QCheckBox* cbInv;
    QCheckBox* cbTextos;
    QLineEdit* edTitulo;
    QPushButton* bFont;
    QCheckBox* cbMostraZero;
    QPushButton* bOK;
    QFont Fonte; // the font dialog's font

private:
    FonteGrafico fonteOriginal_;
    bool fonteEscolhida_ = false;
};

// Conversions between the chart's fonts and Qt's; an unnamed font is the default.
QFont ParaQFont(const FonteGrafico& f, const QFont& padrao);
FonteGrafico DeQFont(const QFont& f);

} // namespace dorvan

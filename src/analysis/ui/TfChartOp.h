#pragma once
// The options of one chart series: vertical axis, marks, and the controls of its
// kind (bars, areas, markers, line width and steps), plus its colour.
#include "analysis/Grafico.h"

#include <QDialog>
#include <QGroupBox>

class QButtonGroup;
class QCheckBox;
class QFrame;
class QLabel;
class QPushButton;
class QSpinBox;

namespace dorvan {

// A captioned list of exclusive choices whose item index is the chosen one.
class RadioGroup : public QGroupBox {
public:
    RadioGroup(const QString& nome, const char* titulo1252, std::initializer_list<const char*> itens1252, QWidget* pai);
    int ItemIndex() const;
    void DefineItemIndex(int i);
    int Itens() const;

private:
    QButtonGroup* grupo_;
};

class TfChartOp : public QDialog {
public:
    explicit TfChartOp(QWidget* pai = nullptr);

    // Fills the controls from the options and shows only the kind's groups.
    void Mostra(const OpcoesSerie& o, const ControlesSerie& c);
    OpcoesSerie Opcoes() const;

    void cbMarcadorClick();
    void bCorClick();
    // The colour shown in Panel1 (0x00BBGGRR).
    void DefineCor(std::uint32_t cor);

    RadioGroup* RadioGroup1; // bar position
    RadioGroup* RadioGroup2; // bar style
    RadioGroup* RadioGroup3; // vertical axis
    RadioGroup* RadioGroup4; // mark contents
    RadioGroup* RadioGroup5; // area position
    RadioGroup* RadioGroup6; // marker shape
    QCheckBox* cbEtiqueta;
    QCheckBox* cbJuntas;
    QCheckBox* cbMarcador;
    QLabel* lLargLin;
    QSpinBox* seLargLin;
    QCheckBox* cbDegrau;
    QPushButton* bCor;
    QFrame* Panel1;
    QPushButton* bOK;

private:
    std::uint32_t cor_ = 0;
};

} // namespace dorvan

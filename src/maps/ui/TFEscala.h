#pragma once
// The class dialog ("Escala do mapa temático"): a bar per class with the cumulative
// share on a right axis, the class method, the class count and, in "Manual", the
// upper limits to type. Every decision is taken by the logic in maps/Escala.h.
#include "maps/Escala.h"

#include <QDialog>
#include <QStringList>

class QButtonGroup;
class QGroupBox;
class QLabel;
class QPushButton;
class QSpinBox;
class QTableWidget;
class QTimer;

namespace dorvan {

class TForm1;

class TFEscala : public QDialog {
    Q_OBJECT
public:
    TFEscala(TabelaResultados& t, EstadoEscala& e, QWidget* pai = nullptr);

    // What the chart shows now (the last ContaClasses).
    const ContagemClasses& Contagem() const { return contagem_; }
    // The cumulative shares written over the line's points, in class order.
    QStringList RotulosAcumulado() const;

    void ContaClasses(); // chart and limits grid from the current classes
    void RadioGroup1Click();
    void SpinEdit1Change();
    void GridFaixasSetEditText(int linha, const QString& texto);
    void Timer1Timer();
    void Chart1ClickSeries(int classe); // 0-based bar

    QWidget* Chart1;
    QGroupBox* RadioGroup1;
    QButtonGroup* Modos; // ids are ModoClasses values
    QLabel* Label1;
    QSpinBox* SpinEdit1;
    QTableWidget* GridFaixas;
    QPushButton* OK;
    QTimer* Timer1;

protected:
    void showEvent(QShowEvent* e) override;
    void done(int r) override;

private:
    void PreencheGradeFaixas();
    void MostraGrade();

    TabelaResultados& t_;
    EstadoEscala& e_;
    ContagemClasses contagem_;
    bool preenchendo_ = false; // the grid is being filled, not typed in
};

// The dialog's state kept between shows (its method survives like the window).
EstadoEscala& EstadoEscalaAtual();

// Shows the class dialog modally for t's mapped column.
void MostraEscala(TabelaResultados& t, QWidget* pai = nullptr);

// "Histograma": asks the column when there are several ("Gerar histograma da
// coluna"), prepares the classes, shows the dialog and puts the order back.
// False when cancelled.
bool Histograma1Click(TabelaResultados& t, QWidget* pai = nullptr);

// Attaches the histogram to the main window's "Histograma" item.
void InstalaHistograma(TForm1& f);

} // namespace dorvan

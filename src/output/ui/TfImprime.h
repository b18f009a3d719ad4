#pragma once
// "Imprime": prints the results table on the current printer, cut into pages of
// row blocks and column strips (the layout of ImpressaoTabela), with the titles,
// footer, date and notes page the user asks for.
#include "output/ImpressaoTabela.h"
#include "table/TabelaResultados.h"

#include <QDialog>
#include <QFont>
#include <memory>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPainter;
class QPrinter;
class QPushButton;

namespace dorvan {

// The program's current printer (its settings last for the whole run).
QPrinter& ImpressoraAtual();

// Measures texts with a font on a paint device (the printer).
class MedidaQt : public MedidaTexto {
public:
    MedidaQt(const QFont& base, QPaintDevice* dispositivo) : base_(base), dispositivo_(dispositivo) {}
    int Largura(const std::string& texto, double escala = 1, bool negrito = false) const override;
    int Altura(double escala = 1) const override;
    QFont Fonte(double escala, bool negrito) const;

private:
    QFont base_;
    QPaintDevice* dispositivo_;
};

// Draws the elements of one page.
void DesenhaPagina(QPainter& p, const PaginaImpressa& pagina, const MedidaQt& medida);

class TfImprime : public QDialog {
public:
    explicit TfImprime(TabelaResultados& t, QWidget* pai = nullptr);
    ~TfImprime() override;

    QLineEdit* edTitulo1;
    QLineEdit* edTitulo2;
    QLineEdit* edRodape;
    QLineEdit* edInic;
    QLineEdit* edFinal;
    QCheckBox* cbNotas;
    QCheckBox* cbData;
    QLabel* LMsg;
    QPushButton* bImprime;
    QPushButton* bSair;
    QPushButton* bSetUp;
    QPushButton* bFontes;
    QFont FontDialog1; // the font chosen for printing

    void FormShow();
    void CalculaPaginas();
    void edTitulo1Exit();
    void edTitulo2Exit();
    void edRodapeExit();
    void bFontesClick();
    void bSetUpClick();
    // Prints the range of pages; false when the user cancelled the choice of a PDF
    // file (no printer installed). Page numbers that are not whole numbers throw
    // before anything is printed.
    bool bImprimeClick();

    const ImpressaoTabela* Layout() const { return layout_.get(); }

protected:
    void showEvent(QShowEvent* e) override;

private:
    TabelaResultados& t_;
    std::unique_ptr<MedidaQt> medida_;
    std::unique_ptr<ImpressaoTabela> layout_;
};

} // namespace dorvan

#pragma once
// The layer dialog: active, names, outline only, colour from a 4 × 4 grid and the
// line width or point radius, with a preview circle. "&Remover" closes it with 3.
#include "maps/Camadas.h"

#include <QDialog>

class QCheckBox;
class QLabel;
class QPushButton;
class QSpinBox;
class QTableWidget;

namespace dorvan {

inline constexpr int ResultadoRemover = 3;

class TfCamada : public QDialog {
public:
    explicit TfCamada(QWidget* pai = nullptr);

    // Fills the controls from a layer (the caption is its file); Ativa from `ativa`.
    void Carrega(const CamadaDoMapa& c, bool removivel);
    // The controls into a layer (file name and Ativa untouched).
    void Aplica(CamadaDoMapa& c) const;

    std::uint32_t Cor() const { return cor_; }
    void dgCorSelectCell(int linha, int coluna);

    QCheckBox* cbAtiva;
    QCheckBox* cbLegenda;
    QCheckBox* cbTransparente;
    QTableWidget* dgCor;
    QLabel* lRaio;
    QSpinBox* SpinEdit1;
    QPushButton* bOK;
    QPushButton* bRemover;

protected:
    void paintEvent(QPaintEvent* e) override;

private:
    std::uint32_t cor_ = CorPreta;
};

} // namespace dorvan

#pragma once
// "Seleção das setas de fluxo": chooses the flow table and the filter that decides
// which flows become arrows, previewing how many arrows the filter keeps half a
// second after the last change.
#include "maps/FluxoMapa.h"

#include <QColor>
#include <QDialog>
#include <QPoint>
#include <functional>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;

namespace dorvan {

class TMapa;

class TfSetas : public QDialog {
public:
    explicit TfSetas(TMapa& mapa, QWidget* pai = nullptr);

    void RestartTimer(); // every edit and "Dominante" come here
    void bAbreDBFClick();
    void chkLarguraClick();
    void bCorClick();
    void Timer1Timer();

    // The filter the fields describe now (the window's percentage is the preview's).
    ConfiguracaoSetas Filtro() const;
    PreviaSetas Previa; // the last preview
    QColor Cor;         // the arrow colour the dialog holds

    QLineEdit* edNomeDBF = nullptr;
    QPushButton* bAbreDBF = nullptr;
    QCheckBox* chkDominante = nullptr;
    QLineEdit* edFluxo = nullptr;
    QLineEdit* edDistancia = nullptr;
    QLineEdit* edPercent = nullptr;
    QLineEdit* edLargura = nullptr;
    QCheckBox* chkLargura = nullptr;
    QPushButton* bCor = nullptr;
    QCheckBox* cbSetor = nullptr;
    QLabel* lNumSetas = nullptr;
    QLabel* lFluxoTotal = nullptr;
    QLabel* lMaiorFluxo = nullptr;
    QPushButton* OK = nullptr;
    QPushButton* Cancela = nullptr;
    QTimer* Timer1 = nullptr;

protected:
    void showEvent(QShowEvent* e) override;

private:
    void PintaBotaoCor();
    TMapa& mapa_;
};

// The window's one instance (created by LigaComandosSetas).
extern TfSetas* fSetas;

// The map-window commands of flows, distances, selection, class summary, 3D hand-over
// and base-map export.
class TForm1;
void TabeladeFluxo1Click(TForm1& f, TMapa& m);
void bSetasClick(TMapa& m);
void Distancia1Click(TMapa& m);
void Selecionar1Click(TForm1& f, TMapa& m);
void InformaClick(TForm1& f, TMapa& m);
void b3DClick(TForm1& f);
void Exportarmapabase1Click(TMapa& m);
// The distance mode's click: the column from the released pixel. False when not armed.
bool SoltaDistancia(TForm1& f, TMapa& m, QPoint p);
extern bool ModoDistancia;

// Where these commands ask the user; tests answer them directly.
struct PerguntasSetas {
    // A save dialog: title, filter ("Texto|*.a|..."), filter index (1-based), preset name.
    // The default extension follows the chosen filter. Empty = cancelled.
    std::function<std::string(const std::string& titulo, const std::string& filtro, int indice,
                              const std::string& inicial)>
        SalvaArquivo;
};
PerguntasSetas& PerguntasDasSetas();

void LigaComandosSetas(TForm1& f);

} // namespace dorvan

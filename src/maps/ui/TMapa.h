#pragma once
// The map window: one column of the results table as a thematic map, with the
// class legend, zoom, pan, names, values and seat marks, and a click that tells
// what lies under the cursor. The figures come from maps/DesenhoMapa.h; this window
// paints them, keeps the identification picture and turns mouse and menu actions
// into calls of the logic.
#include "maps/DesenhoMapa.h"
#include "maps/FluxoMapa.h"
#include "maps/MapaTabela.h"

#include <QColor>
#include <QImage>
#include <QMainWindow>
#include <QPoint>
#include <functional>
#include <map>
#include <optional>

class QAction;
class QComboBox;
class QLabel;
class QMenu;
class QSpinBox;
class QTableWidget;
class QTimer;
class QToolButton;

namespace dorvan {

struct Configuracao;
class TForm1;

// Where the window asks the user; tests answer these directly.
struct PerguntasMapa {
    // An open dialog: title, filter ("Texto|*.a|..."), filter index (1-based), folder.
    // Empty = cancelled.
    std::function<std::string(const std::string& titulo, const std::string& filtro, int indice,
                              const std::string& pasta)>
        AbreArquivo;
    // The colour dialog: the colour chosen, or nothing when cancelled.
    std::function<std::optional<QColor>(const QColor& atual)> EscolheCor;
};
PerguntasMapa& PerguntasDoMapa();

// What the layers part gives the map window it is built with (LigaCamadasMapa).
struct LigacoesCamadas {
    std::function<void()> RemoveCamadas;                        // all overlay layers off
    std::function<void(const Identificado&)> MostraPontoCamada; // right click on a layer point or flow
};

class TMapa : public QMainWindow {
public:
    TMapa(TabelaResultados& t, Configuracao& cfg, QWidget* pai = nullptr);
    ~TMapa() override;

    // ---- commands ----
    void Button1Click(); // repaint now
    void Button2Click(); // next palette
    void Button3Click(); // the class dialog
    void IntervalosIguais1Click();
    void IgualFrequencia1Click();
    void ZoomClick();
    void ZoomOutClick();
    void bPanClick();
    void BLegendaClick();
    void bValorClick();
    void bMostraSedeClick();
    void bBordaPretaClick();
    void PegaLegendaDoMapa1Click();
    void BTrocaMapaClick();
    void bTerraViewClick();
    void BSairClick();
    // BSairClick without closing: display flags, zoom and row keys back to their start.
    void Reinicia();
    // Items of other parts of the map window attach here by handler name.
    void DefineComando(const QString& manipulador, std::function<void()> f);
    QAction* Acao(const QString& nome) const;
    TabelaResultados& Tabela() { return t_; }
    Configuracao& Config() { return cfg_; }

    // Restarts the 900 ms timer; only the last of a burst of changes repaints.
    void PedeRedesenho();
    void Timer1Timer();
    // The full redraw into the picture and the identification picture.
    void DesenhaMapa();
    // Legend texts of the classes into StringGrid1.
    void EscreveLegenda();
    // Redraws once the events now pending are handled (several requests, one redraw).
    void Repinta();

    // ---- state ----
    bool MapaAberto = false;
    VistaMapa Vista;
    bool ModoZoom = false, ModoPan = false, ModoSelecao = false;
    OpcoesMapa Opcoes;
    std::int32_t ColunaSelecao = 0; // the "Selecionada" column of the selection mode
    std::int32_t ColunaCirculo = 0; // cbCirculos: 0 = "Não ativo"
    QColor CorCirculo;
    CamadasMapa Camadas;                                        // layers, flows and circles of the other parts
    ConfiguracaoSetas Fluxos;                                   // the flow arrows' settings
    std::function<bool(QPoint)> AoSoltar; // a left release another part's mode takes (true = taken)

    // The client area: the map, Panel1 at its right and the status bar at its bottom.
    QWidget* Cliente = nullptr;
    const QImage& Imagem() const { return imagem_; }
    const QImage& BitmapIdentificacao() const { return identificacao_; }

    QWidget* Panel1 = nullptr;
    QToolButton* Zoom = nullptr;
    QToolButton* ZoomOut = nullptr;
    QToolButton* bPan = nullptr;
    QToolButton* bTerraView = nullptr;
    QToolButton* b3D = nullptr;
    QComboBox* cbCirculos = nullptr;
    QSpinBox* SpinEdit1 = nullptr;
    QToolButton* bCorBolota = nullptr;
    QTableWidget* StringGrid1 = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Status[3] = {};
    QTimer* Timer1 = nullptr;

    // Mouse actions in client coordinates (the window's handlers and the tests).
    void MouseDown(Qt::MouseButton b, QPoint p);
    void MouseMove(QPoint p, bool esquerdoPreso);
    void MouseUp(Qt::MouseButton b, QPoint p);
    void MouseNoPainel();

protected:
    void showEvent(QShowEvent* e) override;
    bool eventFilter(QObject* o, QEvent* e) override;

private:
    friend class ClienteMapa;
    void CriaMenus();
    void CriaPainel();
    QAction* NovaAcao(QMenu* menu, const QString& nome, const QString& texto, const QString& manipulador);
    QToolButton* NovoBotao(const QString& nome, const QString& dica, const QString& manipulador);
    void Executa(const QString& manipulador);
    void Redimensionado();
    void DesenhaCaixas();
    void MostraAviso(const std::string& texto);
    void LimpaPosicao();
    void AtualizaChecks();
    void MudaModoClasses(ModoClasses modo);

    TabelaResultados& t_;
    Configuracao& cfg_;
    QImage imagem_;
    QImage identificacao_;
    std::map<QString, QAction*> acoes_;
    std::map<QString, std::function<void()>> comandos_;
    bool botaoPreso_ = false;
    QPoint inicio_;
    std::optional<QPoint> arrasto_; // the cursor while dragging a zoom or pan outline
    bool repintaPendente_ = false;
    bool avisoDoDesenho_ = false; // a redraw's message is up
    std::string dirTerraView_;
    LigacoesCamadas ligacoesCamadas_;
};

// The map window once created (null before).
extern TMapa* Mapa;

// Main-window commands of the map.
// Both take the foreign maps of the open dialog too, converted into a .MAP beside them.
void Mapa1Click(TForm1& f);            // open the map for a column
void CriarLinhadeMAP1Click(TForm1& f); // a map read as a table

// Attaches the map commands to the main window and creates the map window.
void LigaComandosMapa(TForm1& f);

} // namespace dorvan

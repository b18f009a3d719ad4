#pragma once
// "Grafico do R": shows the plots an R run left ("dorvan01.svg", ...), steps
// through them with the plot buttons, prints, copies, saves and opens pictures.
// The picture is SVG (R's vector plots) or a bitmap.
#include "analysis/VisorGraficoR.h"
#include "table/Configuracao.h"

#include <QByteArray>
#include <QImage>
#include <QMainWindow>
#include <QWidget>
#include <array>
#include <functional>
#include <memory>
#include <string>

class QAction;
class QMenu;
class QPainter;
class QPrinter;
class QSvgRenderer;
class QToolBar;
class QToolButton;

namespace dorvan {

// A picture as loaded: its bytes, its kind and what draws it.
class FiguraR {
public:
    FiguraR();
    ~FiguraR();
    // Reads a picture file; throws ErroES when it cannot be read or is no picture.
    static std::unique_ptr<FiguraR> Carrega(const std::string& arquivo);
    bool Vazia() const { return tipo_ == TipoFiguraR::Nenhum; }
    TipoFiguraR Tipo() const { return tipo_; }
    QSize Tamanho() const;
    // Draws the picture stretched into r.
    void Desenha(QPainter& p, const QRectF& r) const;
    // Writes the picture: the SVG bytes unchanged, a bitmap as PNG. Throws ErroES.
    void Grava(const std::string& arquivo) const;
    const QByteArray& Dados() const { return dados_; }

private:
    TipoFiguraR tipo_ = TipoFiguraR::Nenhum;
    QByteArray dados_;
    std::unique_ptr<QSvgRenderer> svg_;
    QImage imagem_;
};

// The picture control: draws the picture stretched over the control or at its size.
class ImagemR : public QWidget {
public:
    explicit ImagemR(QWidget* pai = nullptr);
    void DefineFigura(std::unique_ptr<FiguraR> f);
    const FiguraR* Figura() const { return figura_.get(); }
    bool Stretch = true;

protected:
    void paintEvent(QPaintEvent* e) override;

private:
    std::unique_ptr<FiguraR> figura_;
};

class TRGrafico : public QMainWindow {
public:
    explicit TRGrafico(Configuracao& cfg, QWidget* pai = nullptr);
    ~TRGrafico() override;

    // ---- handlers ----
    void FormShow();
    void sb01Click(int indice); // 0 for "01" ... 8 for "09"
    void Abrir1Click();         // also bOpen and bMais
    void bSalvarClick();
    void bImprimeClick();
    void bClipBoardClick();
    void bCopiaBitMapClick();
    void bStretchClick();
    void Sair1Click();

    // ---- used by the handlers, the R run and tests ----
    // Loads a picture file; the window stays as it was when it fails (ErroES).
    void CarregaFigura(const std::string& arquivo);
    // Prints the picture on a printer already set up (one page).
    void ImprimeEm(QPrinter& impressora);
    // Where plot files are looked for: the current folder, with a trailing '/'.
    static std::string PastaGraficos();

    // Where the window asks the user; tests answer them directly. Empty = cancelled.
    std::function<std::string()> EscolheAbrir;
    std::function<std::string()> EscolheSalvar;
    // Sets up the printer for a print; false = cancelled.
    std::function<bool(QPrinter&)> PreparaImpressora;

    // ---- window parts ----
    QToolBar* Panel1;
    ImagemR* Image1;
    QAction *bSair, *bClipBoard, *bStretch, *bSalvar, *bImprime, *bOpen, *bMais;
    std::array<QAction*, 9> sb{};
    QAction *Abrir1, *Salvarcomo1, *Imprimir1, *Sair1, *CopiaMetafile1, *bCopiaBitMap;

protected:
    void showEvent(QShowEvent* e) override;
    void moveEvent(QMoveEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;

private:
    void HabilitaTodos();
    void AjustaImagem();
    void GuardaLimites();

    Configuracao& cfg_;
    bool iniciado_ = false;
};

extern TRGrafico* RGrafico;

} // namespace dorvan

#pragma once
// A table view whose first rows and first column stay in place while the rest
// scrolls: three views over the same model sit in the margins of the main one
// (titles and totals on top, the labels at the left, the corner between), and
// the main one hides those rows and that column. Hiding three sections costs
// nothing however large the table is.
//
// The margin views share the main view's selection, but never scroll by
// themselves: their offsets are the main view's on the axis they follow and 0 on
// the other, whatever changes the current cell or the focus. In the fixed rows
// the mouse resizes a column by its right border and moves a column by its title.
#include <QTableView>
#include <functional>

class QRubberBand;

namespace dorvan {

class GradeFixa : public QTableView {
public:
    // Called when a border drag ends (column c is now `largura` pixels wide on
    // screen) and when a title drag ends (column `de` goes to position `para`,
    // both >= 1).
    using Redimensiona = std::function<void(int c, int largura)>;
    using Move = std::function<void(int de, int para)>;
    GradeFixa(Redimensiona aoRedimensionar, Move aoMover, QWidget* pai = nullptr);

    void setModel(QAbstractItemModel* modelo) override;

    // Freezes the first `linhas` rows and `colunas` columns (0 or 1), again after
    // every model reset.
    void DefineFixas(int linhas, int colunas);
    // Width of column c in every view.
    void DefineLargura(int c, int largura);
    // Default row height in every view.
    void DefineAlturaLinhas(int altura);

    QTableView* Topo() const { return topo_; }
    QTableView* Esquerda() const { return esquerda_; }
    QTableView* Canto() const { return canto_; }
    // The view that owns this viewport (this one or an overlay), or null.
    QTableView* DonoDoViewport(const QObject* viewport) const;

    // A column border or title is being dragged: the button-up that ends it is
    // no click.
    bool Arrastando() const { return arraste_ == Arraste::Largura || arraste_ == Arraste::Posicao; }

    // A title or a label lies in a margin: only the other axis follows it.
    void scrollTo(const QModelIndex& i, ScrollHint dica = EnsureVisible) override;

protected:
    void resizeEvent(QResizeEvent* e) override;
    void updateGeometries() override;
    bool eventFilter(QObject* o, QEvent* e) override;
    // Titles and labels are typed into where they show, in their margin.
    using QTableView::edit;
    bool edit(const QModelIndex& i, EditTrigger gatilho, QEvent* e) override;
    // The margins are cells like any other: an arrow key steps into and out of them.
    QModelIndex moveCursor(CursorAction acao, Qt::KeyboardModifiers modificadores) override;

private:
    enum class Arraste { Nenhum, Armado, Largura, Posicao };

    QTableView* NovaSobreposta();
    // The margin view that shows cell i, or null for a cell of this view.
    QTableView* MargemDe(const QModelIndex& i) const;
    void Posiciona();
    // Puts every margin view back on the main view's offsets.
    void Alinha();
    int AlturaFixa() const;
    int LarguraFixa() const;
    // The column whose right border is under x in view v's viewport, or -1.
    int BordaEm(QTableView* v, int x) const;
    // The column position a title dropped at x in the top view goes to.
    int DestinoEm(int x) const;
    void MostraDestino(int para);

    Redimensiona aoRedimensionar_;
    Move aoMover_;
    QTableView* topo_ = nullptr;
    QTableView* esquerda_ = nullptr;
    QTableView* canto_ = nullptr;
    QRubberBand* marcaDestino_ = nullptr;
    int linhas_ = 0, colunas_ = 0;
    bool posicionando_ = false, alinhando_ = false;

    Arraste arraste_ = Arraste::Nenhum;
    int colunaArrastada_ = -1, larguraInicial_ = 0;
    QPoint inicioArraste_;
};

} // namespace dorvan

#include "table/ui/GradeFixa.h"

#include "table/ui/ModeloTabela.h"

#include <QApplication>
#include <QHeaderView>
#include <QMouseEvent>
#include <QRubberBand>
#include <QScrollBar>
#include <QWheelEvent>

namespace dorvan {

namespace {

// A margin view: its offsets belong to the main view, so it never scrolls to a
// cell (the shared selection would otherwise pull it along to every current
// cell), never takes the focus, and hands the wheel to the main view.
class VistaFixa : public QTableView {
public:
    VistaFixa(QTableView* principal, QWidget* pai) : QTableView(pai), principal_(principal) {}

    void scrollTo(const QModelIndex&, ScrollHint) override {}

    // The main view's keys reach a title or a label here, where it is drawn.
    bool Edita(const QModelIndex& i, EditTrigger gatilho, QEvent* e) { return QTableView::edit(i, gatilho, e); }

protected:
    void wheelEvent(QWheelEvent* e) override { QCoreApplication::sendEvent(principal_->viewport(), e); }
    // The keyboard goes back to the main view once the cell is typed.
    void closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint dica) override {
        const bool tinhaFoco = editor && editor->hasFocus();
        QTableView::closeEditor(editor, dica);
        if (tinhaFoco) principal_->setFocus();
    }

private:
    QTableView* principal_;
};

// Narrowest column a border drag leaves.
constexpr int LarguraMinima = 8;
// Pixels on each side of a border that grab it.
constexpr int FolgaBorda = 3;

} // namespace

GradeFixa::GradeFixa(Redimensiona aoRedimensionar, Move aoMover, QWidget* pai)
    : QTableView(pai), aoRedimensionar_(std::move(aoRedimensionar)), aoMover_(std::move(aoMover)) {
    setHorizontalScrollMode(ScrollPerPixel);
    setVerticalScrollMode(ScrollPerPixel);
    horizontalHeader()->hide();
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    topo_ = NovaSobreposta();
    esquerda_ = NovaSobreposta();
    canto_ = NovaSobreposta();
    for (QScrollBar* b : {horizontalScrollBar(), verticalScrollBar()})
        connect(b, &QScrollBar::valueChanged, this, [this] { Alinha(); });
    for (QTableView* v : {topo_, esquerda_, canto_})
        for (QScrollBar* b : {v->horizontalScrollBar(), v->verticalScrollBar()}) {
            connect(b, &QScrollBar::valueChanged, this, [this] { Alinha(); });
            connect(b, &QScrollBar::rangeChanged, this, [this] { Alinha(); });
        }
    // Borders and titles are dragged in the fixed rows.
    topo_->viewport()->installEventFilter(this);
    canto_->viewport()->installEventFilter(this);
    marcaDestino_ = new QRubberBand(QRubberBand::Line, topo_->viewport());
    marcaDestino_->hide();
}

QTableView* GradeFixa::NovaSobreposta() {
    auto* v = new VistaFixa(this, this);
    v->setFrameShape(QFrame::NoFrame);
    v->setFocusPolicy(Qt::NoFocus);
    v->setAutoScroll(false);
    v->horizontalHeader()->hide();
    v->verticalHeader()->hide();
    v->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    v->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    v->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    v->setHorizontalScrollMode(ScrollPerPixel);
    v->setVerticalScrollMode(ScrollPerPixel);
    v->setItemDelegate(new DelegadoGrade(v));
    v->setMouseTracking(true);
    v->hide();
    return v;
}

void GradeFixa::setModel(QAbstractItemModel* modelo) {
    QTableView::setModel(modelo);
    for (QTableView* v : {topo_, esquerda_, canto_}) {
        v->setModel(modelo);
        v->setSelectionModel(selectionModel());
        v->setEditTriggers(editTriggers());
        v->setSelectionMode(selectionMode());
        v->setFont(font());
    }
}

QTableView* GradeFixa::DonoDoViewport(const QObject* viewport) const {
    for (QTableView* v : {static_cast<QTableView*>(const_cast<GradeFixa*>(this)), topo_, esquerda_, canto_})
        if (v->viewport() == viewport) return v;
    return nullptr;
}

void GradeFixa::DefineFixas(int linhas, int colunas) {
    const int nl = model() ? model()->rowCount() : 0, nc = model() ? model()->columnCount() : 0;
    linhas_ = std::min(linhas, nl);
    colunas_ = std::min(colunas, nc);
    for (int g = 0; g < 2 && g < nl; ++g) {
        setRowHidden(g, g < linhas_);
        esquerda_->setRowHidden(g, g < linhas_);
    }
    if (nc > 0) {
        setColumnHidden(0, colunas_ > 0);
        topo_->setColumnHidden(0, colunas_ > 0);
    }
    for (QTableView* v : {topo_, esquerda_, canto_})
        v->setFont(font());
    Posiciona();
}

void GradeFixa::DefineLargura(int c, int largura) {
    setColumnWidth(c, largura);
    for (QTableView* v : {topo_, esquerda_, canto_})
        v->setColumnWidth(c, largura);
    Posiciona();
}

void GradeFixa::DefineAlturaLinhas(int altura) {
    verticalHeader()->setDefaultSectionSize(altura);
    for (QTableView* v : {topo_, esquerda_, canto_})
        v->verticalHeader()->setDefaultSectionSize(altura);
    Posiciona();
}

QTableView* GradeFixa::MargemDe(const QModelIndex& i) const {
    if (!i.isValid()) return nullptr;
    const bool linha = i.row() < linhas_, coluna = i.column() < colunas_;
    return linha && coluna ? canto_ : linha ? topo_ : coluna ? esquerda_ : nullptr;
}

bool GradeFixa::edit(const QModelIndex& i, EditTrigger gatilho, QEvent* e) {
    // This view hides the margins' cells: an editor opened here would not show.
    if (QTableView* margem = MargemDe(i)) return static_cast<VistaFixa*>(margem)->Edita(i, gatilho, e);
    return QTableView::edit(i, gatilho, e);
}

QModelIndex GradeFixa::moveCursor(CursorAction acao, Qt::KeyboardModifiers modificadores) {
    const QModelIndex atual = currentIndex();
    if (!atual.isValid() || !model()) return QTableView::moveCursor(acao, modificadores);
    int g = atual.row(), c = atual.column();
    switch (acao) {
    case MoveUp:
        g = std::max(0, g - 1);
        break;
    case MoveDown:
        g = std::min(model()->rowCount() - 1, g + 1);
        break;
    case MoveLeft:
        c = std::max(0, c - 1);
        break;
    case MoveRight:
        c = std::min(model()->columnCount() - 1, c + 1);
        break;
    default:
        return QTableView::moveCursor(acao, modificadores);
    }
    return model()->index(g, c);
}

void GradeFixa::scrollTo(const QModelIndex& i, ScrollHint dica) {
    if (!MargemDe(i)) {
        QTableView::scrollTo(i, dica);
        return;
    }
    // Brings [inicio, inicio + tamanho) of the viewport into view along one bar.
    auto mostra = [](QScrollBar* barra, int inicio, int tamanho, int visivel) {
        if (inicio < 0)
            barra->setValue(barra->value() + inicio);
        else if (inicio + tamanho > visivel)
            barra->setValue(barra->value() + std::min(inicio, inicio + tamanho - visivel));
    };
    if (i.column() >= colunas_)
        mostra(horizontalScrollBar(), columnViewportPosition(i.column()), columnWidth(i.column()),
               viewport()->width());
    if (i.row() >= linhas_)
        mostra(verticalScrollBar(), rowViewportPosition(i.row()), rowHeight(i.row()), viewport()->height());
}

int GradeFixa::AlturaFixa() const {
    int h = 0;
    for (int g = 0; g < linhas_; ++g)
        h += topo_->rowHeight(g);
    return h;
}

int GradeFixa::LarguraFixa() const { return colunas_ > 0 ? esquerda_->columnWidth(0) : 0; }

void GradeFixa::resizeEvent(QResizeEvent* e) {
    QTableView::resizeEvent(e);
    Posiciona();
}

void GradeFixa::updateGeometries() {
    QTableView::updateGeometries();
    // The base class gives the margins to its own headers, hidden here: the fixed
    // areas take them back at once, also while they are being placed.
    const QMargins margens(LarguraFixa(), AlturaFixa(), 0, 0);
    if (viewportMargins() != margens) setViewportMargins(margens);
    Posiciona();
}

void GradeFixa::Posiciona() {
    if (!topo_ || !esquerda_ || !canto_ || posicionando_) return;
    posicionando_ = true;
    const int alt = AlturaFixa(), larg = LarguraFixa();
    if (viewportMargins() != QMargins(larg, alt, 0, 0)) setViewportMargins(larg, alt, 0, 0);
    const QRect vp = viewport()->geometry();
    const bool temModelo = model() && model()->rowCount() > 0;
    topo_->setVisible(temModelo && alt > 0);
    esquerda_->setVisible(temModelo && larg > 0);
    canto_->setVisible(temModelo && alt > 0 && larg > 0);
    topo_->setGeometry(vp.left(), vp.top() - alt, vp.width(), alt);
    esquerda_->setGeometry(vp.left() - larg, vp.top(), larg, vp.height());
    canto_->setGeometry(vp.left() - larg, vp.top() - alt, larg, alt);
    posicionando_ = false;
    Alinha();
}

void GradeFixa::Alinha() {
    if (!topo_ || !esquerda_ || !canto_ || alinhando_) return;
    alinhando_ = true;
    const int h = horizontalScrollBar()->value(), v = verticalScrollBar()->value();
    topo_->horizontalScrollBar()->setValue(h);
    topo_->verticalScrollBar()->setValue(0);
    esquerda_->horizontalScrollBar()->setValue(0);
    esquerda_->verticalScrollBar()->setValue(v);
    canto_->horizontalScrollBar()->setValue(0);
    canto_->verticalScrollBar()->setValue(0);
    alinhando_ = false;
}

int GradeFixa::BordaEm(QTableView* v, int x) const {
    const int c = v->columnAt(x);
    if (c < 0) return -1;
    const int esq = v->columnViewportPosition(c), dir = esq + v->columnWidth(c);
    if (dir - x <= FolgaBorda) return c;
    if (x - esq < FolgaBorda) return v->columnAt(esq - 1);
    return -1;
}

int GradeFixa::DestinoEm(int x) const {
    const int n = model() ? model()->columnCount() : 0;
    int c = topo_->columnAt(x);
    if (c < 0) c = x < 0 ? topo_->columnAt(0) : n - 1;
    return std::clamp(c, 1, std::max(1, n - 1));
}

void GradeFixa::MostraDestino(int para) {
    // The line stands where the column will be: before the target when it moves
    // left, after it when it moves right.
    const int esq = topo_->columnViewportPosition(para);
    const int x = para > colunaArrastada_ ? esq + topo_->columnWidth(para) : esq;
    marcaDestino_->setGeometry(x - 1, 0, 3, topo_->viewport()->height());
    marcaDestino_->show();
}

bool GradeFixa::eventFilter(QObject* o, QEvent* e) {
    QTableView* v = o == topo_->viewport() ? topo_ : o == canto_->viewport() ? canto_ : nullptr;
    if (!v || (e->type() != QEvent::MouseButtonPress && e->type() != QEvent::MouseMove &&
               e->type() != QEvent::MouseButtonRelease))
        return QTableView::eventFilter(o, e);
    auto* m = static_cast<QMouseEvent*>(e);
    // Positions in the view's own viewport: neither view moves while one of its
    // columns is dragged (the corner holds only the label column).
    const QPoint p = m->position().toPoint();

    if (e->type() == QEvent::MouseButtonPress) {
        if (m->button() != Qt::LeftButton) return false;
        const int borda = BordaEm(v, p.x());
        if (borda >= 0) {
            arraste_ = Arraste::Largura;
            colunaArrastada_ = borda;
            larguraInicial_ = esquerda_->columnWidth(borda); // the main view hides column 0
            inicioArraste_ = p;
            return true; // no selection under a border
        }
        const QModelIndex i = v->indexAt(p);
        if (v == topo_ && i.isValid() && i.row() == 0 && i.column() >= 1) {
            arraste_ = Arraste::Armado;
            colunaArrastada_ = i.column();
            inicioArraste_ = p;
        }
        return false;
    }

    if (e->type() == QEvent::MouseMove) {
        switch (arraste_) {
        case Arraste::Nenhum:
            if (m->buttons() == Qt::NoButton) {
                if (BordaEm(v, p.x()) >= 0)
                    v->viewport()->setCursor(Qt::SplitHCursor);
                else
                    v->viewport()->unsetCursor();
            }
            return false;
        case Arraste::Largura:
            DefineLargura(colunaArrastada_, std::max(LarguraMinima, larguraInicial_ + p.x() - inicioArraste_.x()));
            return true;
        case Arraste::Armado:
            if ((p - inicioArraste_).manhattanLength() < QApplication::startDragDistance()) return false;
            arraste_ = Arraste::Posicao;
            [[fallthrough]];
        case Arraste::Posicao:
            MostraDestino(DestinoEm(p.x()));
            return true;
        }
        return false;
    }

    // Button up.
    if (m->button() != Qt::LeftButton) return false;
    const Arraste era = arraste_;
    arraste_ = Arraste::Nenhum;
    marcaDestino_->hide();
    if (era == Arraste::Largura) {
        // A border pressed and let go where it was changes nothing.
        const int largura = esquerda_->columnWidth(colunaArrastada_);
        if (largura != larguraInicial_) aoRedimensionar_(colunaArrastada_, largura);
        return true;
    }
    if (era == Arraste::Posicao) {
        const int para = DestinoEm(p.x());
        if (para != colunaArrastada_) aoMover_(colunaArrastada_, para);
        return true;
    }
    return false;
}

} // namespace dorvan

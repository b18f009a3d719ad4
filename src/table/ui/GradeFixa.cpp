#include "table/ui/GradeFixa.h"

#include "table/ui/ModeloTabela.h"

#include <QHeaderView>
#include <QScrollBar>

namespace dorvan {

GradeFixa::GradeFixa(QWidget* pai) : QTableView(pai) {
    setHorizontalScrollMode(ScrollPerPixel);
    setVerticalScrollMode(ScrollPerPixel);
    horizontalHeader()->hide();
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    topo_ = NovaSobreposta();
    esquerda_ = NovaSobreposta();
    canto_ = NovaSobreposta();
    connect(horizontalScrollBar(), &QScrollBar::valueChanged, topo_->horizontalScrollBar(), &QScrollBar::setValue);
    connect(verticalScrollBar(), &QScrollBar::valueChanged, esquerda_->verticalScrollBar(), &QScrollBar::setValue);
}

QTableView* GradeFixa::NovaSobreposta() {
    auto* v = new QTableView(this);
    v->setFrameShape(QFrame::NoFrame);
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
    for (QTableView* v : {topo_, esquerda_, canto_}) v->setFont(font());
    Posiciona();
}

void GradeFixa::DefineLargura(int c, int largura) {
    setColumnWidth(c, largura);
    for (QTableView* v : {topo_, esquerda_, canto_}) v->setColumnWidth(c, largura);
    Posiciona();
}

void GradeFixa::DefineAlturaLinhas(int altura) {
    verticalHeader()->setDefaultSectionSize(altura);
    for (QTableView* v : {topo_, esquerda_, canto_}) v->verticalHeader()->setDefaultSectionSize(altura);
    Posiciona();
}

int GradeFixa::AlturaFixa() const {
    int h = 0;
    for (int g = 0; g < linhas_; ++g) h += topo_->rowHeight(g);
    return h;
}

int GradeFixa::LarguraFixa() const { return colunas_ > 0 ? esquerda_->columnWidth(0) : 0; }

void GradeFixa::resizeEvent(QResizeEvent* e) {
    QTableView::resizeEvent(e);
    Posiciona();
}

void GradeFixa::updateGeometries() {
    QTableView::updateGeometries();
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
    topo_->horizontalScrollBar()->setValue(horizontalScrollBar()->value());
    esquerda_->verticalScrollBar()->setValue(verticalScrollBar()->value());
    posicionando_ = false;
}

} // namespace dorvan

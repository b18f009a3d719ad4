#pragma once
// Checks the main grid's fixed areas as a user sees them: the top rows show the
// column titles and the totals, the left column the row labels from their first
// character, the corner the label title and "Total", each lined up with the
// scrolling part. Call it after anything that moves the focus, the current cell
// or the rows: a click, a sort, a find, a dialog closed over the window.
//
// Two looks at the same thing: the margin views' scroll offsets and visible
// indexes, and a picture of the grid (QWidget::grab) whose margin areas must equal
// what a plain view over the same model draws at the right offsets.
#include "table/ui/GradeFixa.h"

#include <QAbstractItemModel>
#include <QHeaderView>
#include <QApplication>
#include <QImage>
#include <QScrollBar>
#include <QTableView>
#include <gtest/gtest.h>
#include <memory>
#include <sstream>
#include <string>

namespace dorvan::teste {

namespace detalhe {

// What a margin view should draw: a plain view configured like it, at the given
// offsets, painted in the same window so it takes the same palette.
inline QImage DesenhoEsperado(const QTableView& sobreposta, int dx, int dy) {
    auto ref = std::make_unique<QTableView>(sobreposta.window());
    QAbstractItemModel* m = sobreposta.model();
    ref->setModel(m);
    ref->setSelectionModel(sobreposta.selectionModel());
    ref->setItemDelegate(sobreposta.itemDelegate());
    ref->setFont(sobreposta.font());
    ref->setFrameShape(QFrame::NoFrame);
    ref->setFocusPolicy(Qt::NoFocus);
    ref->horizontalHeader()->hide();
    ref->verticalHeader()->hide();
    ref->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    ref->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    ref->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    ref->setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    ref->verticalHeader()->setDefaultSectionSize(sobreposta.verticalHeader()->defaultSectionSize());
    for (int g = 0; g < std::min(2, m->rowCount()); ++g)
        ref->setRowHidden(g, sobreposta.isRowHidden(g));
    for (int c = 0; c < m->columnCount(); ++c) {
        ref->setColumnHidden(c, sobreposta.isColumnHidden(c));
        ref->setColumnWidth(c, sobreposta.columnWidth(c));
    }
    ref->setGeometry(QRect(QPoint(0, 0), sobreposta.size()));
    ref->lower();
    ref->show();
    ref->doItemsLayout();
    ref->horizontalScrollBar()->setValue(dx);
    ref->verticalScrollBar()->setValue(dy);
    QImage imagem = ref->grab().toImage().convertToFormat(QImage::Format_RGB32);
    ref->setItemDelegate(nullptr); // the delegate belongs to the margin view
    return imagem;
}

} // namespace detalhe

// Succeeds when the fixed rows show titles and totals and the fixed column shows
// the labels from their first character, by offsets, indexes and picture;
// otherwise says what is wrong. The grid must show a table of at least one data
// row and one value column.
inline ::testing::AssertionResult VerificaAreasFixas(GradeFixa& grade) {
    QApplication::processEvents();
    const QAbstractItemModel* m = grade.model();
    if (!m || m->rowCount() < 3 || m->columnCount() < 2)
        return ::testing::AssertionFailure() << "the grid shows no table";
    QTableView *topo = grade.Topo(), *esq = grade.Esquerda(), *canto = grade.Canto();
    if (!grade.isVisible() || !topo->isVisible() || !esq->isVisible() || !canto->isVisible())
        return ::testing::AssertionFailure() << "the grid or a fixed area is hidden";

    std::ostringstream erros;
    auto confere = [&](bool certo, const std::string& oque) {
        if (!certo) erros << oque << "; ";
    };
    const int dx = grade.horizontalScrollBar()->value(), dy = grade.verticalScrollBar()->value();

    // Offsets: each margin view follows the main view on one axis and stays at 0 on the other.
    confere(topo->verticalScrollBar()->value() == 0,
            "titles/totals scrolled down by " + std::to_string(topo->verticalScrollBar()->value()) + " px");
    confere(topo->horizontalScrollBar()->value() == dx, "titles/totals at x offset " +
                                                            std::to_string(topo->horizontalScrollBar()->value()) +
                                                            ", values at " + std::to_string(dx));
    confere(esq->horizontalScrollBar()->value() == 0,
            "labels scrolled sideways by " + std::to_string(esq->horizontalScrollBar()->value()) + " px");
    confere(esq->verticalScrollBar()->value() == dy, "labels at y offset " +
                                                         std::to_string(esq->verticalScrollBar()->value()) +
                                                         ", rows at " + std::to_string(dy));
    confere(canto->horizontalScrollBar()->value() == 0 && canto->verticalScrollBar()->value() == 0,
            "the corner scrolled");

    // Visible indexes.
    confere(topo->rowAt(0) == 0 && topo->rowAt(topo->rowViewportPosition(0) + topo->rowHeight(0)) == 1,
            "the top rows are not the titles and the totals");
    confere(canto->indexAt(QPoint(0, 0)) == m->index(0, 0) &&
                canto->indexAt(QPoint(canto->width() - 1, canto->height() - 1)) == m->index(1, 0),
            "the corner is not the label title and \"Total\"");
    confere(esq->columnAt(0) == 0 && esq->columnViewportPosition(0) == 0,
            "the labels do not start at their first character");
    confere(esq->rowAt(0) == grade.rowAt(0), "the labels are not beside their rows");
    const int primeira = grade.columnAt(0);
    confere(primeira >= 1 && topo->columnAt(0) == primeira &&
                topo->columnViewportPosition(primeira) == grade.columnViewportPosition(primeira),
            "the titles are not above their columns");

    // The picture.
    const QImage tela = grade.grab().toImage().convertToFormat(QImage::Format_RGB32);
    struct Area {
        const char* nome;
        QTableView* vista;
        int dx, dy;
    };
    for (const Area& a :
         {Area{"titles/totals", topo, dx, 0}, Area{"labels", esq, 0, dy}, Area{"corner", canto, 0, 0}}) {
        const QImage mostrada = tela.copy(a.vista->geometry());
        const QImage esperada = detalhe::DesenhoEsperado(*a.vista, a.dx, a.dy);
        confere(mostrada == esperada,
                std::string("the picture of the ") + a.nome + " differs from what they must show");
    }

    const std::string e = erros.str();
    if (e.empty()) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << e;
}

} // namespace dorvan::teste

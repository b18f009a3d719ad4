#pragma once
// The grid's view of the results table: nothing is copied, every cell is formed
// when the view asks for it, so 199001 rows and thousands of columns cost no
// more than the cells on screen. Model row g is grid row g (0 titles, 1 totals,
// 2.. data in display order), model column c the table column c (0 the labels).
#include "table/TabelaResultados.h"

#include <QAbstractTableModel>
#include <QStyledItemDelegate>
#include <functional>

namespace dorvan {

class ModeloTabela : public QAbstractTableModel {
public:
    // True for a cell that has a note (drawn with a red mark).
    static constexpr int PapelNota = Qt::UserRole + 1;

    explicit ModeloTabela(TabelaResultados& t, QObject* pai = nullptr);

    int rowCount(const QModelIndex& pai = {}) const override;
    int columnCount(const QModelIndex& pai = {}) const override;
    QVariant data(const QModelIndex& i, int papel) const override;
    bool setData(const QModelIndex& i, const QVariant& valor, int papel) override;
    Qt::ItemFlags flags(const QModelIndex& i) const override;

    // The table changed shape or content: the view asks again for everything.
    void Recarrega();
    // A column was appended to the table (the others keep their widths).
    void ColunaAcrescentada();
    // Called after an edit was stored (the window marks the table modified).
    std::function<void()> AoEditar;

private:
    TabelaResultados& t_;
    bool vazia_ = true;
};

// Draws the cell as usual (a label too wide for its column cut at the edge), then
// the note mark in its corner.
class DelegadoGrade : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* p, const QStyleOptionViewItem& opcao, const QModelIndex& i) const override;

protected:
    void initStyleOption(QStyleOptionViewItem* o, const QModelIndex& i) const override;
};

} // namespace dorvan

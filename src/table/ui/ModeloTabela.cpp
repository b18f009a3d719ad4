#include "table/ui/ModeloTabela.h"

#include "platform/Numeros.h"
#include "platform/Texto1252.h"
#include "table/EdicaoGrade.h"
#include "table/TabelaArquivo.h"

#include <QApplication>
#include <QBrush>
#include <QFont>
#include <QPainter>
#include <QPalette>

namespace dorvan {

ModeloTabela::ModeloTabela(TabelaResultados& t, QObject* pai) : QAbstractTableModel(pai), t_(t) {}

int ModeloTabela::rowCount(const QModelIndex& pai) const {
    return pai.isValid() || vazia_ ? 0 : t_.NumLinhas + 2;
}

int ModeloTabela::columnCount(const QModelIndex& pai) const {
    return pai.isValid() || vazia_ ? 0 : t_.NumColunas() + 1;
}

void ModeloTabela::Recarrega() {
    beginResetModel();
    vazia_ = t_.NumLinhas <= 0;
    endResetModel();
}

void ModeloTabela::ColunaAcrescentada() {
    if (vazia_ || t_.NumColunas() < 1) {
        Recarrega();
        return;
    }
    beginInsertColumns(QModelIndex(), t_.NumColunas(), t_.NumColunas());
    endInsertColumns();
}

QVariant ModeloTabela::data(const QModelIndex& i, int papel) const {
    const int g = i.row(), c = i.column();
    if (!i.isValid() || vazia_ || g >= rowCount() || c >= columnCount()) return {};
    switch (papel) {
    case Qt::DisplayRole:
    case Qt::EditRole: {
        if (g == 0) return ParaQString(t_.NomeColuna(c));
        if (g == 1) {
            if (c == 0) return QStringLiteral("Total");
            const ColunaResultados& col = t_.Coluna(c);
            if (col.TipoTotal == TipoTotal::SemTotal) return QString();
            return NumeroUsuario(col.Total, col.Decimais);
        }
        const std::int32_t r = LinhaReal(t_, g);
        if (r < 1 || r > t_.NumLinhas) return {};
        if (c == 0) return ParaQString(papel == Qt::EditRole ? t_.Rotulo(r) : RotuloMostrado(t_, r));
        return NumeroUsuario(t_.Dado(c, r), t_.Coluna(c).Decimais);
    }
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(Qt::Alignment((c == 0 ? Qt::AlignLeft : Qt::AlignRight) | Qt::AlignTop));
    case Qt::FontRole: {
        QFont f(QStringLiteral("Arial"), 8);
        f.setBold(g <= 1);
        return f;
    }
    case Qt::ForegroundRole:
        if (g >= 2 && c > 0) {
            const std::int32_t r = LinhaReal(t_, g);
            if (r >= 1 && r <= t_.NumLinhas && t_.Dado(c, r) < 0) return QBrush(Qt::red);
        }
        return QBrush(Qt::black);
    case Qt::BackgroundRole:
        if (g <= 1 || (c == 0 && t_.NumColunas() > 0)) return QApplication::palette().brush(QPalette::Button);
        return {};
    case PapelNota: {
        std::int32_t n = 0;
        return AchaNota(t_, LinhaReal(t_, g), c, n);
    }
    default:
        return {};
    }
}

bool ModeloTabela::setData(const QModelIndex& i, const QVariant& valor, int papel) {
    if (!i.isValid() || papel != Qt::EditRole) return false;
    if (!EditaCelula(t_, i.row(), i.column(), DeQString(valor.toString()), MarcaDecimalLocal())) return false;
    // The column's total and, for a title, the whole column may change.
    emit dataChanged(index(0, i.column()), index(std::min(rowCount() - 1, std::max(1, i.row())), i.column()));
    if (AoEditar) AoEditar();
    return true;
}

Qt::ItemFlags ModeloTabela::flags(const QModelIndex& i) const {
    if (!i.isValid()) return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (i.row() != 1) f |= Qt::ItemIsEditable;
    return f;
}

void DelegadoGrade::initStyleOption(QStyleOptionViewItem* o, const QModelIndex& i) const {
    QStyledItemDelegate::initStyleOption(o, i);
    // A label wider than its column is cut at the edge: an ellipsis would leave only
    // its first letter, and "RN10" and "RS10" would look alike.
    if (i.column() == 0) o->textElideMode = Qt::ElideNone;
    if (o->state & QStyle::State_Selected) {
        // Selected cells are yellow and keep the cell's own text colour.
        o->state &= ~QStyle::State_Selected;
        o->backgroundBrush = QBrush(Qt::yellow);
    }
}

void DelegadoGrade::paint(QPainter* p, const QStyleOptionViewItem& opcao, const QModelIndex& i) const {
    QStyledItemDelegate::paint(p, opcao, i);
    if (i.data(ModeloTabela::PapelNota).toBool()) {
        p->save();
        p->setPen(Qt::red);
        p->drawRect(QRect(opcao.rect.left() + 1, opcao.rect.top() + 1, 3, 3));
        p->restore();
    }
}

} // namespace dorvan

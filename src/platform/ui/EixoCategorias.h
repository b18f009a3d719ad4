#pragma once
// Category labels a user can read: level when each fits the room of its category,
// else upright, in a smaller type when the room needs it, and only every k-th one
// when not even the smallest type fits. A label shows whole or not at all.
#include <QStringList>

class QBarCategoryAxis;
class QChart;

namespace dorvan {

// Distinct texts for a category axis (the chart library merges equal ones): a
// repeated text gets invisible tails.
QStringList RotulosUnicos(const QStringList& textos);

// How labels stand along an axis.
struct ArranjoRotulos {
    int Angulo = 0;  // 0 level, -90 upright
    int Passo = 1;   // every Passo-th label shows
    int Tamanho = 0; // type size in pixels
    bool operator==(const ArranjoRotulos&) const = default;
};
// For labels whose widest is `largura` and whose height is `altura` pixels in type
// of `tamanho` pixels, `espaco` pixels apart along the axis. horizontal: the axis
// lies along the bottom (its labels side by side), else labels stand one above the other.
ArranjoRotulos ArranjaRotulos(double largura, double altura, int tamanho, double espaco, bool horizontal);

// The smallest type labels are shrunk to before they are thinned out.
inline constexpr int MenorTamanhoRotulo = 9;

// Gives eixo the texts and keeps them arranged to the room each category has as
// the chart's plot area changes.
void MostraRotulosCategorias(QChart* c, QBarCategoryAxis* eixo, const QStringList& textos, bool horizontal);

} // namespace dorvan

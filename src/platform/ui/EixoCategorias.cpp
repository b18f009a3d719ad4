#include "platform/ui/EixoCategorias.h"

#include <QBarCategoryAxis>
#include <QChart>
#include <QFontInfo>
#include <QGraphicsTextItem>
#include <QTextDocument>
#include <QSet>
#include <algorithm>
#include <cmath>

namespace dorvan {

namespace {

// The chart library keeps this much room around a label.
constexpr double Folga = 8;

// Tails that tell equal texts apart, and the texts of thinned-out labels: both draw nothing.
const QChar Cauda(0x200B);
const QChar Oculto(0x200C);

} // namespace

QStringList RotulosUnicos(const QStringList& textos) {
    QStringList r;
    QSet<QString> vistos;
    for (QString q : textos) {
        while (vistos.contains(q))
            q += Cauda;
        vistos.insert(q);
        r << q;
    }
    return r;
}

ArranjoRotulos ArranjaRotulos(double largura, double altura, int tamanho, double espaco, bool horizontal) {
    ArranjoRotulos a;
    a.Tamanho = tamanho;
    if (!(espaco > 0) || !(altura > 0) || tamanho <= 0) return a;
    if (horizontal && largura + Folga <= espaco) return a;
    if (horizontal) a.Angulo = -90;
    // Across the axis a label takes its height in one category's room; a taller one
    // the library hides, and the first and the last would stand past the axis' ends.
    if (altura <= espaco) return a;
    const int menor = std::min(tamanho, MenorTamanhoRotulo);
    a.Tamanho = std::max(menor, static_cast<int>(std::floor(tamanho * espaco / altura)));
    const double alturaNova = altura * a.Tamanho / tamanho;
    if (alturaNova <= espaco) return a;
    a.Passo = static_cast<int>(std::ceil(alturaNova / espaco));
    return a;
}

void MostraRotulosCategorias(QChart* c, QBarCategoryAxis* eixo, const QStringList& textos, bool horizontal) {
    eixo->setCategories(RotulosUnicos(textos));
    // The arrangement keeps labels apart; the library would cut upright ones to the
    // width of one category.
    eixo->setTruncateLabels(false);
    const QFont base = eixo->labelsFont();
    auto ajusta = [eixo, textos, horizontal, base](const QRectF& area) {
        if (textos.isEmpty() || area.width() < 1 || area.height() < 1) return;
        // Measured as the library measures its labels: as rich text with a small margin.
        QGraphicsTextItem medida;
        medida.document()->setDocumentMargin(4);
        medida.setFont(base);
        double largura = 0, altura = 0;
        for (const QString& t : textos) {
            medida.setHtml(t.toHtmlEscaped());
            largura = std::max(largura, medida.boundingRect().width());
            altura = std::max(altura, medida.boundingRect().height());
        }
        const double espaco = (horizontal ? area.width() : area.height()) / static_cast<double>(textos.size());
        const int tamanho = QFontInfo(base).pixelSize();
        const ArranjoRotulos a = ArranjaRotulos(largura, altura, tamanho, espaco, horizontal);
        const QVariant atual = eixo->property("ArranjoRotulos");
        const QList<QVariant> codigo = {a.Angulo, a.Passo, a.Tamanho};
        if (atual.isValid() && atual.toList() == codigo) return;
        eixo->setProperty("ArranjoRotulos", codigo);
        QStringList mostrados;
        int ocultos = 0;
        // A thinned label is thicker than its category's room (taller than its row,
        // or, upright, wider than its column), so at the first and the last category
        // it would pass the axis' ends and the library would leave it out; the shown
        // ones start a category in and stop a category short.
        const qsizetype inicio = a.Passo > 1 ? 1 : 0;
        // A thinned-out label is lines of nothing: the library, which writes labels
        // as rich text, finds it too tall for its room and leaves it out, so it
        // crowds out none of the labels shown.
        for (qsizetype i = 0; i < textos.size(); ++i)
            mostrados << (i >= inicio && i + inicio < textos.size() && (i - inicio) % a.Passo == 0
                              ? textos[i]
                              : QString(++ocultos, Oculto) + QStringLiteral("<br><br><br><br>"));
        QFont fonte = base;
        if (a.Tamanho != tamanho) fonte.setPixelSize(a.Tamanho);
        eixo->setLabelsFont(fonte);
        eixo->setLabelsAngle(a.Angulo);
        eixo->setCategories(RotulosUnicos(mostrados));
    };
    QObject::connect(c, &QChart::plotAreaChanged, eixo, ajusta);
    ajusta(c->plotArea());
}

} // namespace dorvan

#include "platform/ui/Medidas.h"

#include <QApplication>
#include <QEvent>
#include <QFontMetrics>
#include <QVariant>
#include <algorithm>
#include <utility>

namespace dorvan {

PainelStatus::PainelStatus(int larguraMinima, QWidget* pai) : QLabel(pai), larguraMinima_(larguraMinima) {
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);
}

QSize PainelStatus::sizeHint() const {
    const QSize s = QLabel::sizeHint();
    return {std::max(larguraMinima_, s.width()), s.height()};
}

int LarguraDoTitulo(const QWidget* janela) {
    QFont f = janela->font();
    f.setBold(true);
    // The icon, the three buttons and the bar's own margins, as a stacking window
    // manager's default theme draws them.
    constexpr int Decoracao = 120;
    return QFontMetrics(f).horizontalAdvance(janela->windowTitle()) + Decoracao;
}

namespace {

constexpr const char* LarguraDeixada = "dorvanLarguraAoTitulo";

class AlargaAoTitulo : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* o, QEvent* e) override {
        if (e->type() != QEvent::Show && e->type() != QEvent::WindowTitleChange) return false;
        auto* w = qobject_cast<QWidget*>(o);
        if (!w || !w->isWindow() || w->windowTitle().isEmpty()) return false;
        const Qt::WindowType tipo = w->windowType();
        if (tipo != Qt::Window && tipo != Qt::Dialog) return false;
        // A window narrower than it was last left here was narrowed by the user: its width
        // is theirs from then on. One grown since (by its own layout) is fitted again.
        const QVariant deixada = w->property(LarguraDeixada);
        if (deixada.isValid() && w->width() < deixada.toInt()) return false;
        const int precisa = std::min(LarguraDoTitulo(w), MaiorLarguraPorTitulo);
        // The frame the window manager adds on each side is not the window's own.
        const int moldura = w->frameGeometry().width() - w->width();
        const int largura = precisa - std::max(0, moldura);
        if (w->width() < largura) {
            // A window of fixed size stays fixed, at the new width.
            const bool fixa = w->minimumWidth() == w->maximumWidth();
            if (w->maximumWidth() < largura) w->setMaximumWidth(largura);
            if (fixa) w->setMinimumWidth(largura);
            w->resize(largura, w->height());
        }
        // The width asked for: a shown window takes it when the window manager answers.
        w->setProperty(LarguraDeixada, std::max(w->width(), largura));
        return false;
    }
};

} // namespace

void AlargaJanelasAoTitulo(QApplication& app) {
    static bool instalado = false;
    if (std::exchange(instalado, true)) return;
    app.installEventFilter(new AlargaAoTitulo(&app));
}

} // namespace dorvan

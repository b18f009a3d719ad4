#pragma once
// Room for texts whatever the desktop's font: status panels that grow with what they
// say, and windows wide enough for their own title.
#include <QLabel>

class QApplication;

namespace dorvan {

// A status-bar panel at least `larguraMinima` pixels wide that widens to its text, so
// a count it shows is never cut.
class PainelStatus : public QLabel {
public:
    explicit PainelStatus(int larguraMinima, QWidget* pai = nullptr);
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

private:
    int larguraMinima_;
};

// The width a window needs for its title beside the window manager's icon and buttons
// (the title bar's bold face is taken as the window's own font in bold).
int LarguraDoTitulo(const QWidget* janela);

// From now on every window shown, and every window whose title changes, grows to its
// title's width (up to MaiorLarguraPorTitulo; a longer title is the window manager's
// to shorten).
inline constexpr int MaiorLarguraPorTitulo = 640;
void AlargaJanelasAoTitulo(QApplication& app);

} // namespace dorvan

#pragma once
// The find box of the main window: the text, the match-case option and the
// direction (down by default). It stays open beside the grid; each press of
// "Localizar próxima" is one search request.
#include <QDialog>
#include <functional>
#include <string>

class QCheckBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace dorvan {

class TLocaliza : public QDialog {
    Q_OBJECT
public:
    explicit TLocaliza(QWidget* pai = nullptr);

    std::string Texto() const; // 1252
    bool DiferenciaMaiusculas() const;
    bool ParaBaixo() const;

    // Runs on every search request.
    std::function<void()> AoLocalizar;

    QLineEdit* edTexto;
    QCheckBox* cbMaiusculas;
    QRadioButton* rbAcima;
    QRadioButton* rbAbaixo;
    QPushButton* bLocaliza;
    QPushButton* bCancela;
};

} // namespace dorvan

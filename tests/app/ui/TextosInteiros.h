#pragma once
// What a user reads in a window, measured with each widget's own font: every text
// that is wider (or taller) than the room it is drawn in, every button that shows
// nothing, every grid without scroll bars that hides some of its cells.
#include <functional>
#include <set>
#include <string>
#include <vector>

class QWidget;

namespace dorvan::teste {

// One line per fault: "Class name \"text\": needs N pixels, has M". A text cut on
// purpose ends with an ellipsis and shows whole in its tooltip; that is no fault,
// unless what was cut is a number.
std::vector<std::string> TextosCortados(QWidget* janela);

// The window's title in its title bar, beside the window's buttons.
std::vector<std::string> TituloCortado(QWidget* janela);

// The faults of the program's windows (Qt's own file, colour, font, printer and message
// dialogs lay themselves out), each once, under where the window was opened from.
struct Achados {
    std::set<std::string> vistos;
    std::vector<std::string> faltas;
    void Mede(QWidget* janela, const std::string& onde);
};

// Runs abre, which opens a dialog modally; the dialog is measured and closed.
void MedeModal(Achados& a, const std::string& onde, const std::function<void()>& abre);

// Closes a dialog as its cancel button does, any other window as its close box does.
void Fecha(QWidget* w);

} // namespace dorvan::teste

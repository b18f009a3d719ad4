#pragma once
// The commands of the "Operações", "Quadro" and "Estatísticas" menus attached to
// the main window: each asks through the column choosers and input boxes, calls
// the table logic, then shows the result in the grid or in the information window.
#include <optional>
#include <string>

class QWidget;

namespace dorvan {

class TForm1;
class TInfo;

// Attaches every command by its handler name and the menus' opening states.
void LigaComandosTabela(TForm1& f);

// An input box with its own caption, taking at most `maximo` characters; nullopt
// when cancelled. 1252 text.
std::optional<std::string> PerguntaTexto(QWidget* pai, const std::string& titulo, const std::string& pergunta,
                                         const std::string& padrao, int maximo = 32767);

// The information window of the program, or one owned by f when none was created.
TInfo& JanelaInfo(TForm1& f);

} // namespace dorvan

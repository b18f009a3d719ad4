#pragma once
// The DBF browser in the program: created at start-up in the window order, shown
// by the main window's "&Ver arquivo .DBF" and by a .dbf named on the command line.
#include <functional>
#include <string>

namespace dorvan {

class InicioPrograma;
class TfBrowse;
class TForm1;
struct Configuracao;

// Registers the browser with the start-up; its main-window commands are attached
// once it exists.
void RegistraBrowse(InicioPrograma& inicio, Configuracao& cfg);

// Attaches "SpeedButton15Click" and the command-line .dbf hook to f.
void LigaComandosBrowse(TForm1& f);

// The browser's "Análise com &R": f's scheme runner over the file the browser shows
// (the browser names it while the command runs).
std::function<void(TfBrowse&)> AnaliseComRDoBrowse(TForm1& f, Configuracao& cfg);

// Opens a file in the browser and shows it (command line, tabulation, SQL window).
void MostraNoBrowse(const std::string& arquivo);

} // namespace dorvan

#pragma once
// The main window's "Gráfico" menu and chart buttons, attached to the chart window.
namespace dorvan {

class TForm1;
class TFChart;

// Creates the chart window (owned by the main window) and attaches the chart
// commands and the menu's enabling by the number of columns. Returns the window.
TFChart* LigaComandosGrafico(TForm1& f);

} // namespace dorvan

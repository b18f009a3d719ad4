#pragma once
// The main window's commands of the scheme editor and the plot viewer:
// "Criar esquema de análise" runs the editor and loads a table a test run
// returned; "Ver &Windows Metafile" opens a picture in the viewer, which also
// shows the plots of every R run.

namespace dorvan {

class TForm1;

// Creates the editor (FCriaRScript) and the viewer (RGrafico) and attaches both
// commands by their handler names.
void LigaComandosEsquemaR(TForm1& f);

void Criaresquemadeanlise1Click(TForm1& f);
void VerMetafileClick(TForm1& f);

} // namespace dorvan

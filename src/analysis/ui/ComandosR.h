#pragma once
// The R commands of the main window: "Análise com &R" runs the scheme chooser and
// loads the table R returns; "Abre R em uma &janela separada" starts an R session
// with the table loaded.
#include "table/TabelaArquivo.h"

#include <functional>
#include <string>

namespace dorvan {

class TForm1;

// Creates the chooser (FormR) and attaches both commands by their handler names.
void LigaComandosR(TForm1& f);

// Runs the chooser modally (the DBF browser calls this too, after setting
// TabelaDoBrowse) and loads the returned table.
void ProgramaRClick(TForm1& f);

// Loads a "dorvan.out" found in the current folder as the results table; the
// scheme editor calls this after its own window. comCaixaLog: the log window shows
// only when its "Mostra log ao abrir tabela" box is ticked.
void CarregaTabelaDoR(TForm1& f, bool comCaixaLog);

// Finds the terminal programs the session runs in (AchaNoPath unless replaced).
std::function<std::string(const std::string&)>& AchaProgramaSessaoR();

// Writes the session's ".Rprofile" in the current folder and starts R in a terminal.
void AbreRClick(TForm1& f);

} // namespace dorvan

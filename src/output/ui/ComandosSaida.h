#pragma once
// The exports as the main window reaches them: the writer of every file type of
// "Salvar como" (by extension), and the toolbar buttons that write the table to a
// file and open it with the desktop's program for that type.
#include "table/Configuracao.h"

#include <functional>
#include <string>

namespace dorvan {

class TForm1;

// Registers with SalvaComo the writers of every type the save dialog offers.
void RegistraGravadoresSaida(Configuracao& cfg);

// "Ver esta tabela em HTML" and "Salvar no Palm (Pilot-DB)".
void LigaComandosSaida(TForm1& f);

// The handheld file chosen for "Salvar no Palm"; empty when cancelled. A save
// dialog on the MobileDB type unless replaced (tests).
std::function<std::string(TForm1&)>& EscolheArquivoPDB();

} // namespace dorvan

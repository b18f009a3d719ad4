#pragma once
// The SQL window in the program: created at start-up only when the database
// engine started, reached from the main window's "Consulta S&QL" and from a .sql
// file named on the command line.
#include <string>

namespace dorvan {

class InicioPrograma;
class TForm1;
struct Configuracao;

// Registers the dataset viewer and the SQL window with the start-up; the main
// window's SQL commands are attached once it exists.
void RegistraConsulta(InicioPrograma& inicio, Configuracao& cfg);

// Attaches "SQL1Click", "InstalarBDE1Click" and the command-line hook to f.
void LigaComandosConsulta(TForm1& f);

// "Consulta S&QL": closes a table with rows, shows the SQL window and, on OK,
// the table it filled.
void SQL1Click(TForm1& f);
// A .sql file on the command line: loaded, run, and its table shown.
void AbreSQLLinhaComando(TForm1& f, const std::string& arquivo);
// "Instalar BDE standard ": starts the engine; when it starts, the SQL window appears.
void InstalarBDE1Click(TForm1& f);

} // namespace dorvan

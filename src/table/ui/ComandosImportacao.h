#pragma once
// The main window's commands that bring data in (merge a table, DBF fields, rows
// from a DBF, copy and paste) and the "Editar" menu (find, log, DOS accents).
#include "table/ImportacaoTabela.h"

#include <QString>
#include <functional>
#include <string>

namespace dorvan {

class TForm1;
class TLocaliza;

// Where these commands ask for a file; tests answer them directly.
struct EscolhasImportacao {
    // (window, caption, Qt name filter) -> chosen file, empty when cancelled.
    std::function<std::string(TForm1&, const QString&, const QString&)> Arquivo;
};
EscolhasImportacao& Escolhas();

// Attaches the commands by their handler names and the "Editar" menu's opening
// state. gravaTextoTab writes the TAB-separated text the clipboard copy carries.
void LigaComandosImportacao(TForm1& f, GravadorTexto gravaTextoTab);

// The find box of f (created on first use).
TLocaliza& JanelaLocaliza(TForm1& f);

} // namespace dorvan

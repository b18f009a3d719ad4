#pragma once
// The SQL window's bounds in "Dorvan.ini": read only once the engine has started,
// which happens after the rest of the settings were read.
#include "table/Configuracao.h"

namespace dorvan {

// Reads [fQuery] Top, Left, Width and Height into cfg.FQuery from the settings
// file start-up read (cfg.ArquivoIni, else the one beside the program). Keys that
// are missing, and a file that cannot be read, leave the design bounds.
void LeLimitesConsulta(Configuracao& cfg);

} // namespace dorvan

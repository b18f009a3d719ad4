#pragma once
// The run log's opening (the options and the active selections) and its closing
// lines (records read, elapsed time, cancel).
#include "platform/Mensagens.h"
#include "table/LogExecucao.h"
#include "tabulation/CarregaDimensoes.h"

namespace dorvan::tabulacao {

// Clears the log and writes "[opções]" up to "[Arquivos]".
void IniciaLog(LogExecucao& log, const DefTabulacao& def, const OpcoesTabulacao& op, const FormaTabela& f,
               int numSelecoes);

// The closing lines; a cancelled run also tells the user.
void EncerraLog(LogExecucao& log, std::int64_t registros, long long msDecorridos, bool cancelada, Mensagens& msg);

} // namespace dorvan::tabulacao

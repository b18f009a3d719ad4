#pragma once
// The record export of a run ("&Salvar registros"): a DBF that receives a copy of
// every record that passed the selections, in reading order.
#include "data/LeDBF32.h"
#include "platform/Mensagens.h"
#include "table/LogExecucao.h"
#include "tabulation/ExecutaTabulacao.h"

#include <cstdint>
#include <vector>

namespace dorvan::tabulacao {

struct Exportacao {
    dbfRecord arquivo;            // the export DBF, open while `ativa`
    bool ativa = false;           // records are being exported
    std::vector<CampoDBF> campos; // the output fields as created
    void Fecha();                 // a run that ends early: drops the unfinished file
};

// Asks for the export file and its fields and creates the file; without an answer,
// or when the name is one of the run's own input files, the run goes on without export.
void PreparaExportacao(const DefTabulacao& def, const OpcoesTabulacao& op, InterfaceTabulacao& ui, Mensagens& msg,
                       Exportacao& exp);

// Appends `n` records of exp's record length, laid out one after another.
void GravaExportados(Exportacao& exp, const std::vector<char>& registros, std::int64_t n);

// Closes the export, logs it and shows it; the file's name goes into res.
void ConcluiExportacao(Exportacao& exp, LogExecucao& log, InterfaceTabulacao& ui, ResultadoTabulacao& res);

} // namespace dorvan::tabulacao

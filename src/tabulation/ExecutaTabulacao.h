#pragma once
// The tabulation run: reads every chosen DBF or DBC file once, keeps the records
// that pass the active selections, classifies each by row and column and adds it
// into a fresh results table, which is then finished (totals, dropped rows and
// columns, subtotal rows, the "Total" column, widths, code prefix, map name).
//
// No window is opened here. Messages go through MensagensAtuais() on the calling
// thread, progress and cancel through Progresso, and the two questions of the record
// export (file name, fields) through InterfaceTabulacao.
//
// Files are read on worker threads, but everything they produce (cells, new rows,
// exported records, messages, log lines) is merged on the calling thread in file
// order, so the table, the log and the export are those of a one-thread run in
// file order. Cancel takes effect after the file the merge is waiting for.
#include "platform/Progresso.h"
#include "tabulation/Utabula.h"

#include <cstdint>
#include <string>
#include <vector>

namespace dorvan {

class TabelaResultados;
class LogExecucao;

struct OpcoesTabulacao {
    std::string Legenda;               // the dialog's caption (the DEF path), logged as "DEF="
    int Linha = -1;                    // highlighted item of ListLinha; -1 none
    int Coluna = 0;                    // highlighted item of ListColunas; 0 "Não ativa"
    std::vector<int> Incrementos{0};   // selected items of ListIncr, ascending (the frequency by default)
    std::vector<std::string> Arquivos; // selected items of the file list, in list order
    int ModoNaoClassificados = 0;      // 0 Ignorar, 1 Incluir, 2 Discriminar
    bool SupLinhas = false;            // "Sup linhas zeradas"
    bool SupColunas = true;            // "Sup colunas zeradas"
    bool TestaCRC = false;             // "&Testar CRC"
    bool SalvaRegistros = false;       // "&Salvar registros"
    int Threads = 0;                   // files read at once; 0 = one per core
};

// The run's questions to the user, answered by the dialog (or a test script).
class InterfaceTabulacao {
public:
    virtual ~InterfaceTabulacao() = default;
    // The export file's name (save dialog); false when the user cancels.
    virtual bool EscolheArquivoExportacao(std::string& /*nome*/) { return false; }
    // The export fields among `campos` (field chooser), in the chosen order; false = cancel.
    virtual bool EscolheCampos(const std::vector<std::string>& /*campos*/, std::vector<std::string>& /*escolhidos*/) {
        return false;
    }
    // The export file is written and closed: show it.
    virtual void MostraExportacao(const std::string& /*nome*/) {}
    // The checks passed, the export and the dimensions are ready: the files are read
    // from now on (the run can be cancelled, the elapsed time counts from here).
    virtual void ComecaLeitura() {}
    // The files are read (all, or up to a cancel or a file that failed); what follows
    // finishes the table and may show the cancel message.
    virtual void TerminaLeitura() {}
};

enum class FimTabulacao {
    Verificacao, // a check failed: nothing changed
    Dimensao,    // the row or column table did not load: no file read
    Pronta,      // the table is ready (also after a cancel or a file error)
    Suprimida,   // every row was suppressed: "Todas as linhas foram suprimidas..."
};

struct ResultadoTabulacao {
    FimTabulacao Fim = FimTabulacao::Verificacao;
    std::int64_t RegistrosLidos = 0; // records read (deleted ones not counted)
    bool Cancelada = false;          // stopped by the user or by a file that could not be read
    std::string ArquivoExportado;    // the export DBF written, when any
    std::int64_t RegistrosExportados = 0;
};

// The whole run of "E&xecutar" over the definition's lists and the active
// selections already loaded in def (their marks are the user's choice).
ResultadoTabulacao ExecutaTabulacao(DefTabulacao& def, const OpcoesTabulacao& op, TabelaResultados& t,
                                    LogExecucao& log, InterfaceTabulacao& ui, Progresso& progresso);

// What the user is told when the reading of `arquivo` broke off (a CRC or stream
// error): none of its records are in the table, which holds `completos`, the files
// read in full before it.
std::string TextoArquivoLidoEmParte(const std::string& arquivo, const std::vector<std::string>& completos);

// "m:ss" as the status bar shows the elapsed time, from milliseconds since the start
// (the display changes on timer ticks 1, 6, 11... of 200 ms).
std::string TextoTempoDecorrido(long long ms);

} // namespace dorvan

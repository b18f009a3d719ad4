#pragma once
// Running an analysis scheme in R and taking back what it produced.
//
// A run writes the R code ".Rprofile" (the titles, the data, the user's choices, two
// helper functions and the scheme's code) and the table "dorvan.in" into a private
// folder of its own, and runs R's batch program on that code in the current folder,
// so that a scheme reads and writes the user's files by relative names there. R
// leaves there its plots ("dorvan01.svg", ... or, from an R without the svglite
// package, "dorvan01.png", ...) and, when the code called carrega.dorvan, a new
// results table ("dorvan.out"); what the code printed goes to the private folder's
// "script.out". The private folder goes with the run, so no start-up file stays
// where a later R session would read it. The interactive variant writes a
// ".Rprofile" that loads the table when an R session starts.
//
// Text is 1252. R reads its code as UTF-8 here, and its files as Latin-1 (the first
// line of every generated file says so), so every byte of the table, the titles and
// the printed output comes back as it went.
#include "analysis/EsquemaR.h"
#include "analysis/LiteralR.h"
#include "analysis/PerfilR.h"
#include "analysis/VisorGraficoR.h"
#include "platform/Arquivos.h"
#include "table/TabelaArquivo.h"
#include "table/TabelaResultados.h"

#include <QTime>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace dorvan {

// File names of the exchange, in the run's private folder (the code, the table
// and the output) or in the current folder (the plots and the returned table).
inline constexpr const char* EntradaR = "dorvan.in";
inline constexpr const char* SaidaScriptR = "script.out";
inline constexpr const char* RetornoR = "dorvan.out";
inline constexpr const char* EsquemaTemporarioR = "tmp.rx"; // in the library folder
// What the output says when R has no svglite package and the plots are bitmaps.
inline constexpr const char* AvisoGraficosPNG = "Pacote svglite do R ausente: gr\xE1"
                                                "ficos gravados como PNG.";
// The plots: "dorvan01.svg", ... (see VisorGraficoR.h).
// R's batch program and its session, looked for in the R folder.
inline constexpr const char* ProgramaLoteR = "Rscript";
inline constexpr const char* ProgramaSessaoR = "R";

// The settings a run uses; folders end with '/' (or are empty).
struct AmbienteR {
    std::string DirPrograma; // "autoexec.r" and "menu.r" of the installation
    std::string DirRX;       // the scheme library
    std::string DirR;        // where R's programs are
    std::string DirDados;    // the folder a scheme runs in
    std::string DirTrabalho; // the folder the returned table comes back to
};

// The DBF open in the browser, when it and not the results table feeds the run.
struct DadosBrowseR {
    std::string ArquivoDBF;          // system file name
    std::vector<std::string> Campos; // field names, in file order, for the marking
    // Writes the DBF as "<name>.csv" beside it (the browser's CSV save).
    std::function<void()> GravaCSV;
};

// Set by the browser before it opens the chooser; cleared after every modal run.
std::optional<DadosBrowseR>& TabelaDoBrowse();

// The questions of a run; every one answers nullopt when cancelled.
struct PerguntasR {
    // Columns of the results table (or fields of the browser's DBF when camposDBF),
    // 1-based, in list order.
    std::function<std::optional<std::vector<std::int32_t>>(const std::string& pergunta, bool camposDBF)> Marca;
    // A typed value; titulo is "Entre parametro" or "Entre parametro2".
    std::function<std::optional<std::string>(const std::string& titulo, const std::string& pergunta)> Parametro;
};

// The code of a batch run (1252 text, lines ended by "\n"), asking the questions
// the scheme names; nullopt when one was cancelled. The table's data go to
// "dorvan.in" in pasta (more than one row), or the browser writes its CSV, before
// the first question, as the data line needs them. The code names "dorvan.in" and
// "script.out" of pasta by full path, the plots and "dorvan.out" by bare name.
std::optional<std::string> ComporPerfilR(const EsquemaR& esquema, TabelaResultados& t, const AmbienteR& amb,
                                         const std::string& pasta, const DadosBrowseR* browse,
                                         const PerguntasR& perguntas);

// The code of the interactive session (1252); writes "dorvan.in" in pasta when
// the table has more than one row.
std::string ComporPerfilInterativoR(const TabelaResultados& t, const AmbienteR& amb, const std::string& pasta);


// The current folder with a trailing '/'.
std::string PastaAtual();
// Makes pasta current when it names an existing folder; false (nothing changes) otherwise.
bool MudaPastaAtual(const std::string& pasta);

// A run made ready: ".Rprofile" (and "dorvan.in") written into the run's private
// folder, the plots of the last run removed from the current folder, the clock
// started.
struct PreparoR {
    std::string pasta;                      // the current folder: R works here and leaves its plots and table
    QTime inicio;                           // taken once the questions were answered
    std::shared_ptr<PastaPrivada> privada; // the run's own files; none: they are in pasta
    // The folder of the run's own files, with a trailing '/'.
    const std::string& PastaDoR() const { return privada ? privada->Caminho() : pasta; }
};

// Makes DirDados current (when it exists), reads the scheme DirRX + nome and
// writes ".Rprofile" into a new private folder. nullopt when a question was
// cancelled: nothing is left then. Throws ErroES when the scheme cannot be read.
std::optional<PreparoR> PreparaExecucaoR(const std::string& nomeEsquema, TabelaResultados& t, const AmbienteR& amb,
                                         const DadosBrowseR* browse, const PerguntasR& perguntas);

// Runs R's batch program on the run's ".Rprofile" (in PastaDoR), with pasta as
// R's working folder, and waits for it, calling enquantoEspera meanwhile. False
// when the program is not in DirR or did not start. R's exit code is not looked
// at: what it printed tells.
bool RodaLoteR(const AmbienteR& amb, const PreparoR& preparo, const std::function<void()>& enquantoEspera = {});

// What a run left.
struct ResultadoR {
    std::vector<std::string> linhas; // "script.out", then the timing lines when mostrar
    bool mostrar = false;            // the output has more than 2 characters
    std::string primeiroGrafico;     // full name of plot 01 in the current folder, when there is one
    long long milissegundos = 0;
};

// Removes the library's "tmp.rx", reads "script.out" of the run (ErroES when
// there is none) and looks for the first plot in the current folder. Output of
// more than 2 characters gets two empty lines and "Executado em <n> milisegundos".
ResultadoR ColheResultadoR(const PreparoR& preparo, const AmbienteR& amb, const QTime& fim = QTime::currentTime());

// ---- the returned table -------------------------------------------------------

// Makes DirTrabalho current and removes a "dorvan.out" left there; returns the
// folder the returned table is looked for in.
std::string PreparaRetornoR(const AmbienteR& amb);
// True when R (or the example button) left a table in pasta.
bool HaRetornoR(const std::string& pasta);
// Reads "dorvan.out" of pasta into t and removes the file. True when the table
// then has rows; t is marked modified.
bool CarregaRetornoR(TabelaResultados& t, const std::string& pasta, LeituraTabela& leitura);

// ---- the interactive session ---------------------------------------------------

struct ComandoR {
    std::string programa;
    std::vector<std::string> argumentos;
};
using AchaProgramaR = std::function<std::string(const std::string&)>;
// R's session runs in a terminal window: the first terminal program found
// ("x-terminal-emulator", "xterm", "konsole") starting DirR + "R". nullopt when R
// is not in DirR or no terminal program was found.
std::optional<ComandoR> ComandoSessaoR(const AmbienteR& amb, const AchaProgramaR& acha);

} // namespace dorvan

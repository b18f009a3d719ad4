#pragma once
// The tabulation definition (DEF file) and the choices built on it: the lists the
// tabulation dialog shows, the active selections with their marked categories,
// the DEF's title, footer, help and data-file wildcard. The dialog keeps one
// DefTabulacao for the life of the program, so a re-run of the same DEF keeps
// everything the user chose.
//
// DEF format, in short: lines of at most 255 characters; the first character,
// upper-cased, is the directive and the rest its argument; other lines are ignored.
//   ;  title (first one only)          ? H  help file
//   A  "<wildcard>[,<query file>]"     L D  row variable      C  column variable
//   S  selection variable              T    row and column    X  row, column, selection
//   I E  increment "<label>,<field>"   G    text appended to the frequency item
//   R  footer ("PERIODO" in it asks for the data files' period)
//   Q  written by the DEF generator, read by nobody
#include "tabulation/Utab.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace dorvan {

// The frequency item of the increment list and the "no column" item, as shown.
inline constexpr char ItemFrequencia[] = "Freq\xFC\xEAncia        ";
inline constexpr char ItemNaoAtiva[] = "N\xE3o ativa";
// Active selections a run can hold (dimensions 2..51).
inline constexpr int MaxSelecoes = 50;
// Names the file list can hold.
inline constexpr int MaxArquivosLista = 5000;

struct DefTabulacao {
    // ---- the DEF in use ----
    std::string ArquivoDEF; // path of the DEF in use
    std::string UltimoDEF;  // the last DEF read (a different path reads again)
    std::string PastaDEF;   // its folder, with the trailing '/'

    // ---- what the DEF gave ----
    std::string Titulo1;          // first ';' line, at most 80 characters
    bool TituloLido = false;      // a ';' line was met (an empty first title stays empty)
    std::string Rodape;           // the DEF's own footer (never the period added by a run)
    bool TemPeriodo = false;      // the footer asks for the period of the data files
    std::string AjudaDEF;         // help file for the "&Ajuda" button
    bool AjudaVisivel = false;    // that file exists
    std::string EspecArquivos;    // wildcard of the data files, as written
    std::string ArquivoConsulta;  // query file (wildcard folder + name)
    bool FlagConsulta = false;    // "Importa dados" is offered

    // ---- the dialog's lists (items as FormataTitulo makes them) ----
    std::vector<std::string> ListLinha;
    std::vector<std::string> ListColunas{ItemNaoAtiva};
    std::vector<std::string> ListIncr{ItemFrequencia};
    std::vector<std::string> ListInicial; // available selections
    std::vector<std::string> ListSelecao; // active selections, in order

    // 0 the row, 1 the column, 2.. the active selections in the order of ListSelecao.
    std::array<TDimensao, 2 + MaxSelecoes> Dimensoes;
    // Selections loaded by the run or the dialog (freed by LiberaSelecao).
    std::int32_t NumSelecoes = 0;

    TDimensao& Selecao(int i) { return Dimensoes[static_cast<std::size_t>(2 + i)]; }
    const TDimensao& Selecao(int i) const { return Dimensoes[static_cast<std::size_t>(2 + i)]; }
};

// The program's one definition, kept by the tabulation dialog.
DefTabulacao& DefAtual();

// Reads the DEF `arquivo` into def when it differs from the last DEF read (the
// same path keeps lists, selections and marks). Sets the folder variables and
// DirTabelas. sqlDisponivel says whether the main window offers SQL queries.
// Throws ErroES when the file cannot be read. Returns true when it was read anew.
bool LeDEF(DefTabulacao& def, const std::string& arquivo, bool sqlDisponivel = false);

// A name of the DEF (help file, query file) as a path: a relative one is taken in
// the DEF's folder.
std::string NaPastaDEF(const DefTabulacao& def, const std::string& nome);

// Applies one DEF line (without its line end) to def.
void AplicaLinhaDEF(DefTabulacao& def, std::string_view linha, bool sqlDisponivel);

// The lines of a text file (DEF, list file), each cut to `limite` characters. A line
// ends at CR LF, LF or a lone CR.
std::vector<std::string> LinhasDoTexto(std::string_view texto, std::size_t limite);

// Frees the loaded selection dimensions; NumSelecoes := 0.
void LiberaSelecao(DefTabulacao& def);

// Moves ListInicial[i] to the end of the active selections and loads its table.
// On failure (message shown) the item goes back to the end of ListInicial.
// Returns the new item's index in ListSelecao, or -1.
int Seleciona(DefTabulacao& def, int i);

// Returns ListSelecao[i] to the available selections and frees its dimension.
void DeSeleciona(DefTabulacao& def, int i);

// ---- data files ----

// The folder of the wildcard, resolved against the DEF folder and ignoring case,
// with a trailing '/' (empty text for the current folder).
std::string PastaDaCuringa(const DefTabulacao& def);

// Files matching the wildcard, upper-cased, in ascending byte order, without folder.
std::vector<std::string> ListaArquivosDEF(const DefTabulacao& def);

// The real name on disk of `nome` inside `pasta` (case ignored); `pasta` + `nome`
// when no such file exists.
std::string NomeReal(const std::string& pasta, const std::string& nome);

// ---- period of the data files ----

// The digits of a text, in order.
std::string SoDigitos(std::string_view nome);

// The period text of the data files from their digit texts ("1998-2000",
// "Jan-Mar/2005", "Nov/2004,Fev/2005"). Periods whose month is not 1..12 are left out.
std::string TextoPeriodo(const std::vector<std::string>& digitos);

// ---- the CNV link dialog ----

// The description proposed for a table file: the name before its first '.', at
// most 18 characters, in lower case (accented capitals too), its first letter raised,
// and every '_' after the first character a blank ("faixa_etaria.cnv" -> "Faixa etaria").
std::string DescricaoDaTabela(const std::string& nome);

// ---- map file of a row table ----

// The map of a row table: "UF.CNV" -> brasil.map, MUNICxx -> xx.map, MICROxx ->
// xxmic.map, MESOxx -> xxmeso.map, RSAUDxx -> xxreg.map, all in pastaMapas;
// any other name leaves `atual`.
std::string NomeMapaDaTabela(const std::string& arquivoTabela, const std::string& pastaMapas,
                             const std::string& atual);

// Folder of the map files ("[Diretorios] Mapas" of the settings), set by its owner.
extern std::string DirMapas;

} // namespace dorvan

#pragma once
// The program's own .tab file and every separated text table (.prn, .csv, the
// clipboard, R's result): a block of keyed header lines (titles, footer, notes,
// map legend, run log) in front of a semicolon-separated table. Also the save-as
// dispatch by extension and a DBF read as a table.
//
// Text is 1252; file names are the system's own (UTF-8). The run log lives beside
// the table, so readers and writers take it as a list of lines.
#include "table/TabelaResultados.h"

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace dorvan {

// Writes the table as a .tab file (an existing file is replaced only once the new
// one is complete) and sets Modificada false. Throws ErroES.
//
// Nothing is written that the reader would take for something else: ';', TAB and
// line breaks are dropped from titles, notes and the map name ("Titulo1=a;b" would
// otherwise be the header), '"' becomes '\'' in column titles, a log line that
// starts like a keyed line (or with '"', or is empty) goes out behind "Log=", and a
// note whose row or column does not fit the fixed columns of a "Nota" line is
// written as "NotaPos=<n>,<row>,<column>,<text>".
void GravaTab(TabelaResultados& t, const std::string& arquivo, const std::vector<std::string>& log);

// The bytes GravaTab writes (for tests and the clipboard).
std::string TextoTab(const TabelaResultados& t, const std::vector<std::string>& log);

struct LeituraTabela {
    bool aberto = false;    // the file could be opened
    bool tabela = false;    // a table was read (NumLinhas > 0 afterwards)
    bool naoCabe = false;   // refused: the table would not fit in memory (the user was told)
    std::string dirMapas;   // folder of the map named in the file, when one was
    std::vector<std::string> log; // the run log lines found in the file
};

// The locale's decimal separator (QLocale default), for TAB-separated tables.
char MarcaDecimalLocal();

// Reads a separated text table into t, freeing what t held. Never trusts the file:
// counts, note positions, class counts and palette indexes out of range are
// clamped or dropped, any line length is fine, and a keyed line that does not
// parse is kept as a log line. A missing or unreadable file shows
// "Arquivo <name> não encontrado " and leaves the table empty.
// marcaDecimalTab is the decimal mark of TAB-separated files (the locale's).
LeituraTabela LeTabela(TabelaResultados& t, const std::string& arquivo, char marcaDecimalTab = MarcaDecimalLocal());

// Same, from text already in memory (the clipboard, tests); nome goes into Titulo1.
LeituraTabela LeTabelaDeTexto(TabelaResultados& t, const std::string& texto, const std::string& nome,
                              char marcaDecimalTab = MarcaDecimalLocal());

// A writer of one file type: (table, file name); false when it did not write
// (it has told the user why).
using GravadorTabela = std::function<bool(TabelaResultados&, const std::string&)>;
// Registers the writer of an extension (".CSV", ".XLS", ...; any case). The export
// rooms register theirs at start-up; ".TAB" is built in.
void RegistraGravador(const std::string& extensao, GravadorTabela gravador);

// Saves by the file's extension. ".CNV" and ".SPR" need a code in the labels
// ("Precisa de chave nas linhas para gerar .CNV" / "... tabela SPRING"). An
// extension with no writer says so and changes nothing. When a writer ran:
// ArquivoAtual := arquivo, dirSalva := its folder, true. Writers' errors propagate.
bool SalvaComo(TabelaResultados& t, const std::string& arquivo, const std::vector<std::string>& log,
               std::string& dirSalva);

// A DBF field's text with its NUL bytes (the padding some writers leave) read as
// blanks, so labels made of it are trimmed like any other.
std::string NulosComoBrancos(std::string_view campo);

// The choice of the code and name field chooser for a DBF.
struct EscolhaCamposDBF {
    int campoCodigo = 1; // 1-based field numbers
    int campoNome = 1;
    bool apenasNumericos = false;
};
// Gets the field names; nullopt = not confirmed.
using EscolheCamposDBF = std::function<std::optional<EscolhaCamposDBF>(const std::vector<std::string>&)>;

// Reads a DBF as a table: one row per record (deleted ones too, at most
// MaxLinhasTabela), one column per field (only numeric ones when asked). False when
// the file did not open, the choice was not confirmed or the table would not fit in
// memory (MensagemNaoCabe); the table is then left as the caller freed it.
bool LeDBFComoTabela(TabelaResultados& t, const std::string& arquivo, const EscolheCamposDBF& escolhe,
                     bool dbfComCP850);

// The value columns a separated table really fills: the last one that has a title
// in the header line linhas[cabecalho] or a non-blank field in one of the next
// maxLinhas lines holding sep, at most maxColunas. A trailing run of untitled,
// unfilled fields holds nothing, so a header of thousands of empty fields over
// one-value rows is a table of one column.
std::int32_t ColunasPreenchidas(const std::vector<std::string_view>& linhas, std::size_t cabecalho, char sep,
                                long long maxLinhas, std::int32_t maxColunas);

// What the user is told when a table read from nome would not fit in memory.
std::string MensagemNaoCabe(const std::string& nome, long long linhas, long long colunas);

// The extension of a file name in upper case with its dot (".TAB"), or empty.
std::string ExtensaoMaiuscula(const std::string& arquivo);
// The folder of a file name with a trailing '/', or empty.
std::string DiretorioDe(const std::string& arquivo);

// The lines of a text file's bytes: LF or CR LF ends a line, and a last line holding
// only the old editors' end-of-file mark (0x1A) is no line. The views point into texto.
std::vector<std::string_view> QuebraLinhas(std::string_view texto);

} // namespace dorvan

#pragma once
// Bringing outside data into the results table: another text table merged column
// by column with rows matched by their code, numeric DBF fields summed per row
// code, rows built from a DBF's key and description, and the text that goes to and
// comes from the clipboard. No window here: choices come through callbacks,
// messages through MensagensAtuais().
#include "data/Index.h"
#include "table/TabelaArquivo.h"
#include "table/TabelaResultados.h"

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace dorvan {

// The key a row is matched by in a merge: the label cut to tamCodigo characters
// (the whole label with SemCodigo or 0), without accents and upper-cased. "Total"
// (exact case) is keyed "TOTAL" whatever the code length.
std::string ChaveLinha(std::string_view rotulo, std::int32_t tamCodigo);

// Appends the columns of a separated text table (TAB, "," or ";", found as the
// table reader finds them) to t, each of its rows stored at the row its label's key
// has in chaves (keys by t.TamCodigo). The last row labelled "Total" holds the
// totals; a table without one gets its columns summed. Rows whose key is missing
// are rejected: "Linha não encontrada:" + label (the first few), then "Rejeitado 1
// registro" or "Rejeitados <n> registros". A trailing "DUMMY" column is dropped.
// Only the columns the text fills are added (ColunasPreenchidas); when they would
// not fit in memory, MensagemNaoCabe names nome and nothing is added.
// Returns the number of columns added (0 for text with no separator).
std::int32_t IncluiTextoTabela(TabelaResultados& t, const TIndice& chaves, std::string_view texto,
                               const std::string& nome, char marcaDecimalTab = MarcaDecimalLocal());
// The same from a file; throws ErroES when it cannot be read.
std::int32_t IncluiArquivoTabela(TabelaResultados& t, const TIndice& chaves, const std::string& arquivo,
                                 char marcaDecimalTab = MarcaDecimalLocal());

// Merges a text table into a table already closed by the caller: `aberta` is the
// table as it was before closing (its columns come first, its rows keep their
// order), `texto` the table read from `nome` (its rows not in `aberta` follow in
// its order; asked "Novas linhas foram adicionadas. Reordenar as linhas?" to sort
// all rows by code). t gets aberta's titles, code length and map name, and is
// left modified. A text whose table would not fit in memory is refused with
// MensagemNaoCabe and t gets `aberta` back unchanged. `aberta` may not be t.
void JuntaTabelas(TabelaResultados& t, const TabelaResultados& aberta, const std::string& texto,
                  const std::string& nome, char marcaDecimalTab = MarcaDecimalLocal());

// The whole command on one table: reads arquivo (a missing file says "Arquivo
// <name> não encontrado " and leaves t alone), closes t without asking and merges.
// False when the file could not be read.
bool IncluiTabela(TabelaResultados& t, const std::string& arquivo, char marcaDecimalTab = MarcaDecimalLocal());
// The text of a table to be merged; a file that cannot be read says "Arquivo
// <name> não encontrado " and gives nullopt.
std::optional<std::string> LeTextoParaIncluir(const std::string& arquivo);

// ---- DBF fields and rows -------------------------------------------------------

// Picks one field (1-based) among the field names under a label; 0 = cancelled.
using EscolheCampo = std::function<int(const std::vector<std::string>& nomes, const std::string& rotulo)>;
// Marks fields (1-based, in list order) under a label; none = nothing marked.
using MarcaCampos = std::function<std::vector<int>(const std::vector<std::string>& nomes, const std::string& rotulo)>;

// Adds the marked fields of a DBF or DBC as columns of t (field name, field
// decimals), summing each record's values into the row whose label begins with the
// record's key ("chave das linhas", then "campos a incluir"). Deleted records are
// not counted. Records with no row: " Registros rejeitados = <n>". None marked:
// " Nenhum campo foi marcado ". Columns that would not fit in memory are refused
// (MensagemNaoCabe). A scan that fails midway takes its columns back.
// aCadaMil runs every 1000 records (the window lets itself repaint). True when
// columns were added (t is then modified).
bool IncluiCamposDBF(TabelaResultados& t, const std::string& arquivo, const EscolheCampo& escolhe,
                     const MarcaCampos& marca, bool dbfComCP850, const std::function<void()>& aCadaMil = {});

// Builds the rows of t from a DBF or DBC: label = key field + " " + description
// (the key alone when both are the same field), code length = the key's width, no
// columns. More than MaxLinhasTabela records: " Num Regs > 199001 " and t stays.
// fecha closes the current table once the choices are made (false: nothing done).
bool CriaLinhasDBF(TabelaResultados& t, const std::string& arquivo, const EscolheCampo& escolhe,
                   const std::function<bool()>& fecha, bool dbfComCP850);

// ---- clipboard -------------------------------------------------------------------

// Writes the table as TAB-separated text into a file (the exports' GravaTextoTab).
using GravadorTexto = std::function<void(const TabelaResultados&, const std::string&)>;

// The table as TAB-separated text for the clipboard, lines ended by "\n": what
// grava writes, passed through pastaTrabalho + "ClipBoard.prn" (a private
// temporary file when pastaTrabalho is empty), which is deleted. Throws ErroES.
std::string TextoParaCopiar(const TabelaResultados& t, const std::string& pastaTrabalho, const GravadorTexto& grava);

// Pastes clipboard text: merged into t when it has rows (`aberta` is the table
// before the caller closed it; see JuntaTabelas), else read as a new table. nome is
// the name the text stands for (it titles a table without "Titulo1="). When t ends
// without rows: "Conteúdo do ClipBoard não é uma tabela válida" and false.
bool ColaTexto(TabelaResultados& t, const TabelaResultados* aberta, const std::string& texto, const std::string& nome,
               char marcaDecimalTab = MarcaDecimalLocal());

} // namespace dorvan

#pragma once
// The logic of the DEF and CNV editor: the field list of a data file, the
// generators that write a DEF or one CNV per field, and the CNV tools (renumbering,
// several codes per line, one code per line), the case commands and the printed
// page layout. Text is code page 1252 bytes; columns are counted in bytes.
#include "data/LeDBF32.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace dorvan {

// The column ruler of CNV lines: "sssnnnn  ", 50 'd', a blank, 180 'c'.
const std::string& ReguaCNV();
// The ruler from the editor's first visible column (0-based) on.
std::string ReguaVisivel(int primeiraColuna);

// The field list item: name padded to 11, type, length in three digits, decimals
// ("NOME       C 040 0").
std::string ItemCampo(const CampoDBF& c);
// The field name of a field list item (its first 10 characters, trailing blanks removed).
std::string NomeDoItem(std::string_view item);

// The fields of a DBF or DBC file, in header order. When the file cannot be opened
// the reader has shown why and the result is empty.
std::optional<std::vector<CampoDBF>> CamposDoArquivo(const std::string& arquivo);

// Status line panel 1: "%4d:%4d" of the caret line and column.
std::string TextoPosicao(int linha, int coluna);

// ---- DEF generator ----

// What the CNV link dialog gives for one field.
struct LigacaoCNV {
    std::string descricao;
    std::string nomeCNV;
    std::string inicio = "1";
    bool linhas = true;
    bool colunas = true;
    bool selecao = true;
    bool quadro = false;
};

// Asks the link of one field: called with the field name and the proposal filled
// in (description = field name, CNV name proposed from the list); false = cancelled.
using PerguntaLigacao = std::function<bool(const std::string& campo, LigacaoCNV& ligacao)>;

// The DEF lines for the ticked fields of arquivoDBF: title, data-file line, one
// increment per numeric field, then the variables of each character, date or logical
// field that the user links to a CNV. cnvDisponiveis are the CNV names offered.
// Empty when the DBF cannot be opened (the reader has shown why).
std::vector<std::string> GeraDEF(const std::string& arquivoDBF, const std::vector<std::string>& camposMarcados,
                                 const std::vector<std::string>& cnvDisponiveis, const PerguntaLigacao& pergunta);

// The DEF name proposed for a DBF: its path with the extension ".DEF".
std::string NomeDEFdoDBF(const std::string& arquivoDBF);

// ---- CNV generator ----

// The loader reads a CNV's category count from four characters: a generated
// table holds at most 9999 categories.
inline constexpr std::int32_t CapacidadeCNVGerado = 9999;

struct ResultadoCNV {
    std::vector<std::string> arquivos; // files written, in field order
    // Values left out: a ';' in them would turn the rest of their line into a comment, a line feed would end it.
    std::vector<std::string> recusados;
};

// The lines of a CNV listing these distinct values (in key order) of a field of that width.
std::vector<std::string> LinhasCNVGerado(const std::vector<std::string>& valores, int larguraCampo);

// Writes "<field>.cnv" (lower case) in the DBF's folder for every ticked field of
// type C, D or L, with its distinct values. Values beyond CapacidadeCNVGerado (the
// first ones met are kept) are left out, with one message per field saying how many:
// "<campo>.cnv: no máximo 9999 categorias; <n> valores do campo <CAMPO> ficaram de
// fora." (MensagemCNVCheio). A DBC is read
// through its codec. Throws ErroES when a file cannot be written; nothing is written
// when the file cannot be opened or a DBC is damaged (the reader has said why).
ResultadoCNV GeraCNVs(const std::string& arquivoDBF, const std::vector<std::string>& camposMarcados);
std::string MensagemCNVCheio(const std::string& arquivoCNV, const std::string& campo, long long deixados);

// ---- CNV tools (they change the lines in place) ----

// Renumbers the categories: a new number at every non-blank label that differs from
// the line above; the header's count becomes the last number.
void NumeraCNV(std::vector<std::string>& linhas);

// Several codes of one category on one line, up to 240 characters. A category column
// that is not an integer throws ErroFatal and leaves the lines as they were.
void CompactaCNV(std::vector<std::string>& linhas);

// One code per line.
void ExpandeCNV(std::vector<std::string>& linhas);

// ---- text commands ----

// The manner of proper names: "JOSÉ DA SILVA E SOUZA" -> "José da Silva e Souza".
std::string NomeProprio(std::string_view s);

// The lines sent to the printer: three empty lines, then the text with a form feed
// line and three empty lines before every later page of linhasPorPagina lines.
std::vector<std::string> LinhasImpressao(const std::vector<std::string>& linhas, int linhasPorPagina);

// Splits text into lines (CR LF, LF or CR ends); a final line end gives no empty line.
std::vector<std::string> DivideLinhas(std::string_view texto);
// Joins lines, each ended by CR LF.
std::string JuntaLinhas(const std::vector<std::string>& linhas);

} // namespace dorvan

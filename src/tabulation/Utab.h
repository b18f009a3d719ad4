#pragma once
// Dimensions of a tabulation: one variable (row, column or selection) names a data
// field, where its code starts, and a conversion table that turns codes into
// numbered categories with labels. Tables are text (.CNV) or DBF files. This unit
// loads them (LeDimensao) and classifies field values (Categoria).
//
// Text is code page 1252 bytes; columns of CNV lines are counted in bytes.
//
// CNV format, in short. From the first ';' a line is a comment. The first non-empty
// line is the header "<N> <width> [L|F]" (each item read from its first four
// characters). Later lines, trailing blanks dropped, empty ones skipped, blanks in
// columns 1-7 read as '0':
//   columns 1-3   value kept in Valores[k] (not an integer -> -1)
//   columns 4-7   category number k, 1..N
//   columns 10-59 label of k (a non-empty label replaces an earlier one)
//   column 61 on  modes 0/1: codes of <width> characters, "a,b,c-d" (a blank ends
//                 the list); mode 2: the upper bound of k (<width> characters)
// Mode: two header items and width 1..4 -> 0 (direct table), width 5 or more or a
// third item "L" -> 1 (sorted key table with ranges), third item "F" -> 2 (bounds).
#include "data/Index.h"
#include "platform/Mensagens.h"
#include "platform/Texto.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace dorvan {

struct dbfRecord;

// Capacity of the row and selection dimensions, and of the column dimension
// (the `maximo` of LeDimensao; N must stay below it).
inline constexpr std::int32_t MaximoLinhas = 199001;
inline constexpr std::int32_t MaximoColunas = 6000;
// Rows LinhasExtras adds while unclassified codes are to be listed one by one.
inline constexpr std::int32_t LinhasDiscriminadas = 16381;
// What CodigoParaNumero gives for a code that can never be in a direct table (a
// first character among "[\]^_`"): above every table's last entry.
inline constexpr std::uint16_t CodigoForaDaTabela = 0xFFFF;

struct TDimensao {
    std::string Titulo;              // label of the variable (columns 1-19 of the line, trimmed)
    std::string Campo;               // data field name, upper case (at most 10 characters)
    std::uint16_t Inicio = 1;        // 1-based position in the field value where the code starts
    std::string ArquivoTabela;       // path of the conversion table as it was found
    std::int32_t NumCategorias = 0;  // N; 0 = nothing loaded
    std::uint16_t CompCodigo = 0;    // code width in bytes
    std::uint16_t LarguraRotulo = 0; // longest category label, at least 18
    // Label of category k at [k], k = 1..N; [0] and [N+1] stay empty.
    std::vector<std::string> NomesCategoria;
    // Mode 0: category of each code number, 27 x 10^(CompCodigo-1) entries, N+1 where
    // no line named it. 32-bit entries: N+1 may pass 65535 even when few codes exist.
    std::vector<std::int32_t> Direta;
    // Selection marks: [k-1] is 1 when category k is marked; N+1 bytes.
    std::vector<std::uint8_t> Marcadas;
    // Mode 2: upper bound of category k at [k]; NaN for a category no line bounded,
    // which then never matches.
    std::vector<double> Limites;
    // The number in columns 1-3 of k's table line at [k] (-1 when not numeric; 0 by
    // default); [0] unused. Room for N + 1 + LinhasExtras categories: the run adds
    // rows for unlisted codes and sums subtotal rows through it.
    std::vector<std::int32_t> Valores;
    std::uint8_t Ativa = 0;     // the column dimension is in use (set by the run)
    std::uint8_t Modo = 0;      // 0 direct table, 1 sorted key table, 2 numeric upper bounds
    std::uint16_t NumCampo = 0; // 1-based number of Campo in the open data file; 0 = not found
    std::uint16_t TamCampo = 0; // width of that field (mode 2 reads no byte beyond it); 0 = unknown
    TIndice Indice;             // mode 1: code or code range -> category number

    // Mode-2 values that were not numbers, gathered by Categoria so that a file of
    // millions of records shows one message (AvisaValoresInvalidos), not millions.
    mutable std::int64_t ValoresInvalidos = 0;
    mutable std::string PrimeiroInvalido;
};

// ---- Unit variables ----

// The last loader error, empty when none. LeDimensao empties it on entry.
extern std::string ErroTabela;
// Folder where tables are looked for when the name as written does not exist (the DEF's folder).
extern std::string DirTabelas;
// 16381 while unclassified codes are listed one by one ("&Discriminar"), else 0.
// Widens Valores and the mode-1 key table of every table loaded afterwards.
extern std::int32_t LinhasExtras;
// Labels of DBF tables whose language byte is 0 are taken as DOS code page 850
// while this is on. Mirrors the program-wide DBF_CP850 setting; its owner copies it here.
extern bool TabelasDBFcomCP850;
// Where messages that summarise repeated warnings are also written (the run log);
// none by default.
extern std::function<void(const std::string&)> RegistraLogTabelas;

// ---- Loading ----

// Loads the dimension of one dialog line (columns 1-19 the title, column 20 on
// "<field>,<start>,<table>" for a CNV table or
// "<field>,<label field>,<table DBF>[,<key field>,<equivalence DBF>]" for a DBF
// table). The table is found ignoring the case of letters, '\' read as '/', first
// as written, then in DirTabelas. N must not exceed maximo - 1. True on success; on
// failure the message is in ErroTabela and has been shown (MostraErroTab). The
// record is released first, so a failed load leaves nothing to free. An unreadable
// file throws ErroES.
bool LeDimensao(std::string_view linha, std::int32_t maximo, TDimensao& d);

// A CNV file as every reader of it takes it: the header (the first line that is
// neither blank nor a comment) read into its items, and the lines after it with
// their comments and trailing blanks removed, empty ones left out.
struct TextoCNV {
    std::int64_t NumCategorias = 0; // N, the header's first item
    std::uint16_t CompCodigo = 0;   // the code width, its second item
    std::uint8_t Modo = 0;          // as TDimensao::Modo, from the width and the third item
    std::vector<std::string> Linhas;
    // The file's line (counted from 0) that holds Linhas[0]; the file's line count
    // when there is none. A list of the whole file starts there.
    std::size_t LinhaPrimeiraCategoria = 0;
};
// False when the header is wrong: ErroTabela holds why (not shown). An unreadable
// file throws ErroES.
bool LeTextoCNV(const std::string& arquivo, TextoCNV& t);

// Frees labels and arrays; N becomes 0. Nothing happens when N is 0.
void LiberaDimensao(TDimensao& d);

// ---- Classification ----

// Category 1..N+1 of a raw field value (N+1 = unclassified). The code is the
// CompCodigo bytes of valor from Inicio. Mode 0 reads the direct table at
// CodigoParaNumero(code), mode 1 finds the code (or a range holding it) in Indice,
// mode 2 reads the whole value (the field's own bytes only, when TamCampo is known)
// as a number and takes the first category whose bound is not below it. A mode-2
// value that is not a number is counted for AvisaValoresInvalidos and classified
// by the number read so far.
std::int32_t Categoria(std::string_view valor, const TDimensao& d);

// Shows, once, the count of mode-2 values Categoria found not numeric, with the
// first of them ("<valor>:Valor Inválido em <Campo>"), writes it to the run log and
// resets the count. Does nothing when there were none. The run calls it per file.
void AvisaValoresInvalidos(const TDimensao& d);

// Sets NumCampo (and TamCampo) to the field of the open data file named Campo,
// ignoring case, the last match winning. None: NumCampo 0, ErroTabela :=
// "<Campo> nao encontrado em <file name>", shown; returns false.
bool AchaCampoDim(TDimensao& d, const dbfRecord& arquivo);

// "<campo> nao encontrado em <file name without folder>".
std::string CampoNaoEncontrado(const std::string& campo, const std::string& arquivo);

// Where the code text of d lies in the records of `arquivo`: `tamanho` bytes from the
// field's offset `desloc` (the field, extended to Inicio + CompCodigo - 1 bytes when
// shorter), of which the first `existe` are inside the record. NumCampo must be valid.
struct ExtensaoCodigo {
    std::size_t desloc = 0, tamanho = 0, existe = 0;
};
ExtensaoCodigo ExtensaoDaDimensao(const TDimensao& d, const dbfRecord& arquivo);

// The code text of d in the current record of `arquivo`: the field's bytes, extended
// over the bytes that follow when Inicio + CompCodigo - 1 passes the field, but never
// beyond the record. Empty when NumCampo is 0.
std::string_view TextoDaDimensao(const TDimensao& d, const dbfRecord& arquivo);

// The number of a code for the direct table, changing the text in place: a first
// blank turns every blank into '0'; a first letter A-Z (either case) weighs its
// position (A = 1) x 10^(length - 1) and is removed; the rest is read as an integer,
// non-digits read as '0'. So with width 3: "123" -> 123, "A05" -> 105, "Z99" -> 2699,
// " 7 " -> 70, "1X3" -> 103. A sign in front is the number's ("+5" -> 5, "-1" -> -1,
// as 16 bits 65535, outside every table); elsewhere it reads as '0' ("1-" -> 10,
// "0-1" -> 1, "-" -> 0). A first character among "[\]^_`" gives CodigoForaDaTabela.
std::uint16_t CodigoParaNumero(std::string& codigo);

// Inner step of the mode-0 reader: the number of the compCodigo bytes of linha from
// posicao (0-based), which then moves past them.
std::uint16_t ProximoCodigo(std::string_view linha, std::size_t& posicao, std::size_t compCodigo);

// While one is alive, the refusals of a full key table ("Entradas excede máximo
// <n>"), which would come once per code, are counted instead of shown; Conclui shows
// the first with the count, once, and writes it to the run log. Other messages pass
// through. The loaders use it; so may the run while it adds unlisted codes.
class AgrupaRecusasIndice : public Mensagens {
public:
    AgrupaRecusasIndice();
    AgrupaRecusasIndice(const AgrupaRecusasIndice&) = delete;
    AgrupaRecusasIndice& operator=(const AgrupaRecusasIndice&) = delete;

    void Conclui();
    std::int64_t Recusas() const { return recusas_; }

    void Mostra(const std::string& texto) override;
    int Confirma(const std::string& titulo, const std::string& texto, const std::vector<std::string>& botoes) override;
    bool SimOuNao(const std::string& titulo, const std::string& texto) override;
    std::string EntraTexto(const std::string& pergunta, const std::string& padrao) override;
    bool PerguntaNumero(const std::string& pergunta, const std::string& padrao, std::string& resposta) override;

private:
    Mensagens& anterior_;
    UsaMensagens uso_;
    std::int64_t recusas_ = 0;
    std::string primeira_;
};

// ---- Small text routines ----

// From a DEF item "<letter><label>,<table>": the label (2nd character up to the first
// ',', at most 18 characters, trimmed) padded with blanks to 19 characters, followed
// by everything after the first ',' with every blank removed. Without a ',' the
// label is 19 blanks followed by the whole item without blanks.
std::string FormataTitulo(std::string_view item);

// item := the text of s before its first ',' (all of s when none); s := what follows
// that ',' (empty when none), cut to limite characters.
void CortaItem(std::string& s, std::size_t limite, std::string& item);

std::string TiraEspacos(std::string_view s);    // every blank removed

// Shows ErroTabela in a message box.
void MostraErroTab();

} // namespace dorvan

#pragma once
// A SELECT written into a new dBase III file, the batches of such orders, and the
// CASE condition of a conversion-table line for the SQL editor.
#include "data/LeDBF32.h"
#include "platform/db/BancoDados.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace dorvan {

// The limits of the field table and of the record buffer.
inline constexpr int MaxCamposConsultaDBF = 255;
inline constexpr int MaxRegistroConsultaDBF = 4000;
// The widest field a value may get; longer texts are cut.
inline constexpr int MaxTamanhoCampoConsulta = 254;
// The most decimals a number field gets; further digits are rounded away.
inline constexpr int MaxDecimaisConsulta = 15;

// A result column's DBF name: accents removed, upper case, anything but 0-9 and
// A-Z as "_", at most 10 characters.
std::string NomeCampoConsulta(std::string_view nome);

// What the rows of one result column held: the field is sized from it.
struct PerfilColuna {
    std::int64_t valores = 0;     // values that are not null
    std::size_t maiorTexto = 0;   // the longest value's text, in bytes
    bool numeros = true;          // every value a plain decimal number
    bool vieramComoNumero = true; // every value came from the engine as a number
    int digitosInteiros = 0;      // the widest integer part, sign included
    int decimais = 0;             // the most digits after the point
    bool datas = true;            // every value a real date (yyyy-mm-dd or yyyymmdd); false from the
                                  // start where no date field can come of the column
};
// Takes one value (its text and the kind the engine gave it) into the profile.
void ObservaValor(PerfilColuna& p, const std::string& texto, TipoCampo tipoValor);

// The DBF field for a result column (name, type, length, decimals), from the
// engine's column and what its values held.
CampoDBF CampoDaConsulta(const CampoBD& c, const PerfilColuna& p);

// The text a value takes in the field; *cortado tells that it had to lose
// characters or digits to fit.
std::string ValorParaCampo(const CampoDBF& f, const std::string& texto, bool& cortado);

struct ApoioGravaDBF {
    // Asks the parameter's value when the order gives none; nullopt = cancelled.
    std::function<std::optional<std::string>(const std::string& nome)> PerguntaParametro;
    // The window's status line (Label4).
    std::function<void(const std::string&)> Mostra;
    // Called for every row received and written, with the rows received so far,
    // so the window can keep painting and counting.
    std::function<void(std::int64_t recebidos)> Eventos;
    // True when the user asked to stop; checked between rows.
    std::function<bool()> Cancelado;
    // Safe mode: the query runs where the engine refuses every write.
    bool ModoSeguro = true;
};

// Runs the SELECT of linhas on alias and writes its rows into arquivo. parametro is
// the parameter's name (blank: none) and valor its value (empty: asked). The rows
// are received first, so that every field fits its values, and the file is
// written under a temporary name that takes the final one only when complete: a
// cancelled or failed run leaves any earlier file of that name as it was. True
// when the file was written; false when no row came, the user cancelled or the
// result does not fit a DBF (the status line or a message says which). Engine and
// file errors are thrown.
bool GravaConsultaDBF(MotorBD& motor, const std::string& alias, const std::string& arquivo,
                      const std::string& parametro, const std::vector<std::string>& linhas, const std::string& valor,
                      const ApoioGravaDBF& apoio);

std::string TextoRecebidos(std::int64_t n, const std::string& arquivo);
// "Executado em <m> minutos e <s> segundos".
std::string TextoExecutadoMinutos(std::int64_t segundos);

struct ApoioLote {
    // "CONECTA <alias>": the alias becomes current.
    std::function<void(const std::string& alias)> Conecta;
    // "INFORME <name>": the value asked (caption "Entre com o parâmetro"); nullopt stops the batch.
    std::function<std::optional<std::string>(const std::string& nome)> Pergunta;
    // One order: the query file loaded, then written into the DBF with that value.
    std::function<bool(const std::string& consulta, const std::string& dbf, const std::string& valor)> Executa;
};

// Runs a batch file line by line; returns "<count> arquivos gravados em <m>:<s> minutos".
std::string ExecutaLote(const std::string& arquivo, const ApoioLote& apoio);

// The SQL condition of one conversion-table line for expressao, codes of width largura.
std::string CondicaoCNV(const std::string& linha, int largura, const std::string& expressao);

} // namespace dorvan

namespace dorvan {

// A conversion table as the CASE generator takes it from the tabulation's reader:
// the header's two numbers and the lines that are neither blank nor comments.
// A wrong header throws std::runtime_error with the reader's message.
struct TabelaCNVCase {
    int numCategorias = 0;
    int largura = 0;
    std::vector<std::string> linhas;
};
TabelaCNVCase LeCNVParaCase(const std::string& arquivo);

// The label of a conversion-table line: columns 10 to 59, trimmed.
std::string RotuloCNV(const std::string& linha);

enum class GerarPara { Linhas, Colunas, Selecao };
enum class NaoClassificados { Ignorar, Incluir, Discriminar };

struct PedidoCase {
    std::string expressao;  // edExp
    bool contagem = true;   // "Contagem" or "Soma de ..."
    std::string colunaSoma; // the column summed ("Soma de ...")
    bool groupBy = true;    // ckGroupBy
    NaoClassificados naoClassificados = NaoClassificados::Incluir;
    std::string colunaJanela; // the column chosen in the SQL window ("Discriminar")
    std::string tabela;       // the table chosen in the SQL window
    bool oracle = false;      // the alias's dialect repeats the CASE in "group by"
    std::string arquivoCNV;   // the conversion table's file name
};

// "Linhas": the lines appended to the editor (after "select" alone when grouping
// replaces the text), and the index of the line the caret goes to (-1: none).
struct CaseEmLinhas {
    bool substituiEditor = false;
    std::vector<std::string> linhas;
    int linhaCursor = -1;
};
CaseEmLinhas CaseLinhas(const TabelaCNVCase& cnv, const PedidoCase& p);
// "Colunas": the text inserted at the caret, one aggregate per line.
std::string CaseColunas(const TabelaCNVCase& cnv, const PedidoCase& p);
// "Seleção": the editor's text with the condition of one line put in the WHERE
// clause; when there is none, posCursor gets "where" + the condition.
std::string CaseSelecao(const std::string& texto, std::size_t posCursor, const std::string& linhaCNV, int largura,
                        const std::string& expressao);

} // namespace dorvan

#pragma once
// The commands of the "Operações" and "Quadro" menus that change the results
// table in memory: arithmetic between columns, derived columns, column
// attributes, deleting and moving columns, ordering, suppressing rows and
// transposing. The window gathers the columns and the dialog choices and passes
// them in; the typed numbers and texts a command needs halfway are asked here,
// through MensagensAtuais(). Every command that changes the table sets Modificada.
#include "table/TabelaResultados.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace dorvan {

// ---- input routines -----------------------------------------------------------

// A text asked in the box captioned "Entra Msg"; the default when cancelled.
std::string EntraTexto(const std::string& pergunta, const std::string& padrao);

// Reads a typed number: blanks and '.' (thousands) are dropped and ',' is the
// decimal mark, whatever the locale, so "1.234,5" is 1234.5 with 1 decimal.
// False for anything that is not a finite number.
bool LeNumeroDigitado(std::string_view resposta, double& valor, std::int32_t& decimais);

// The default text offered for a number: shortest form with ',' as decimal mark,
// so that accepting it as it stands reads back the same value.
std::string NumeroParaDigitar(double valor);

// Asks a number in the box captioned "Entre um número" with valor as default.
// False when cancelled or when the answer is no number (the command then ends);
// valor and decimais change only on true.
bool EntraNumero(const std::string& pergunta, double& valor, std::int32_t& decimais);

// ---- new columns ----------------------------------------------------------------
// Each appends one column (title, decimals, values, total, total kind and width as
// the command fixes them) and returns true; false with the table unchanged when a
// column number is out of range, nothing is marked, or the table already has
// MaxColunas columns. A zero denominator gives 0, never an infinity.

bool Divide(TabelaResultados& t, std::int32_t numerador, std::int32_t denominador); // "Quociente"
bool Multiplica(TabelaResultados& t, std::int32_t fator1, std::int32_t fator2);     // "Produto"
bool Subtrai(TabelaResultados& t, std::int32_t minuendo, std::int32_t subtraendo);  // "Diferença"
bool SomaColunas(TabelaResultados& t, const std::vector<std::int32_t>& colunas);    // "Soma"
bool MinimoColunas(TabelaResultados& t, const std::vector<std::int32_t>& colunas);  // "Menor"
bool MaximoColunas(TabelaResultados& t, const std::vector<std::int32_t>& colunas);  // "Maior"
bool Percentagem(TabelaResultados& t, std::int32_t a);                              // "%" + title
bool Acumula(TabelaResultados& t, std::int32_t a);                                  // "A." + title, in display order
bool Inteiro(TabelaResultados& t, std::int32_t a);                                  // "Int." + title
bool Absoluto(TabelaResultados& t, std::int32_t a);                                 // "Abs." + title
bool Sequencia(TabelaResultados& t);                                                // "Seqüência", display positions
// One "Z" + title column per marked column; returns how many were added.
std::int32_t Normaliza(TabelaResultados& t, const std::vector<std::int32_t>& colunas);

// Scale items of the indicator dialog: index i multiplies by 10^i.
inline constexpr std::int32_t NumEscalas = 7;
extern const std::array<std::string, NumEscalas> EscalasIndicador; // " por 1" ... " por 1.000.000"
// numerator title + "/" + denominator title + scale item, as the dialog proposes.
std::string TituloIndicador(const TabelaResultados& t, std::int32_t numerador, std::int32_t denominador,
                            std::int32_t escala);
// 10^escala × num / den (0 where den is 0), with the given title and decimals.
bool Indicador(TabelaResultados& t, std::int32_t numerador, std::int32_t denominador, std::int32_t escala,
               std::int32_t decimais, std::string_view titulo);

// ---- column attributes ------------------------------------------------------------

// Multiplies column a and its total by f; the title gets "*" + f. A computed total
// kind is recomputed from the new values (a product or a negative factor does not
// scale it by f); a fixed one is multiplied.
void MultiplicaColunaPorFator(TabelaResultados& t, std::int32_t a, double f);
// Asks "multiplicar <title> por" (default 1) and multiplies; false when cancelled.
bool MultiplicaPorFator(TabelaResultados& t, std::int32_t a);

// CalculaTotal of each listed column.
void RecalculaTotais(TabelaResultados& t, const std::vector<std::int32_t>& colunas);

// Asks "Número de decimais " (default: decimals of the first column) and gives
// every listed column that many decimals (rounded, 0..10) with a width to fit.
bool DefineDecimais(TabelaResultados& t, const std::vector<std::int32_t>& colunas);
// Asks "Nova Largura " (default: width of the first column) and gives every listed
// column (0 = the label column) that width, rounded, 1..100.
bool DefineLarguras(TabelaResultados& t, const std::vector<std::int32_t>& colunas);
// Gives column c (0 = the label column) the printed width `caracteres`, rounded, 1..100.
void DefineLargura(TabelaResultados& t, std::int32_t c, double caracteres);
// Gives each listed column the total kind and recomputes its total.
void DefineTipoTotal(TabelaResultados& t, const std::vector<std::int32_t>& colunas, TipoTotal tipo);
// Asks "Edite o titulo da Coluna" with the title of c (0..NumColunas) as default.
bool EditaTituloColuna(TabelaResultados& t, std::int32_t c);

enum class Cabecalho { Titulo1, Titulo2, Rodape };
inline constexpr std::size_t MaxCabecalho = 80;
// Stores a header or footer text typed by the user (at most 80 characters).
void DefineCabecalho(TabelaResultados& t, Cabecalho qual, std::string_view texto);

// Shows or hides the row code in front of the labels; the label column's width
// follows. Nothing when the labels carry no code.
void AlternaMostraCodigo(TabelaResultados& t);
// Caption of the row-code item of the "Quadro" menu: empty (item hidden) when the
// labels carry no code, "Esconder C&have" while the code is shown, else "Mostrar C&have".
std::string TextoMostrarChave(const TabelaResultados& t);
// Asks "Comprimento da chave de comparação" and sets TamCodigo (0..255).
bool FixaComprimentoChave(TabelaResultados& t);

// ---- deleting, moving and ordering --------------------------------------------------

// Deletes the listed columns with their notes; the others close up keeping notes,
// total kinds, the ordering and the mapped column. When the ordering column goes,
// the rows go back to their natural order. False when none was valid.
bool EliminaColunasMarcadas(TabelaResultados& t, const std::vector<std::int32_t>& colunas);
// Moves column de to position para; those between shift one place toward de.
bool MoveColunaPara(TabelaResultados& t, std::int32_t de, std::int32_t para);

// A click on the title of column c (0 = labels): the same column again reverses
// the direction; another column sorts ascending and shows the largest first;
// the label column gives the natural order.
void OrdenaTabela(TabelaResultados& t, std::int32_t c);

// ---- suppressing rows ---------------------------------------------------------------

enum class CriterioSupressao { IgualA = 0, MaiorQue = 1, MenorQue = 2, DiferenteDe = 3 };
// Items of the criterion list, in the order of the enumeration.
extern const std::array<std::string, 4> NomesCriterios;

enum class ResultadoSupressao {
    Cancelada,   // nothing changed
    Feita,       // rows removed (possibly none), rows remain
    TabelaVazia, // every row was removed: the caller closes the table
};

// Removes the rows whose value in column c meets the criterion against x; the
// others move up keeping labels, values and notes. Totals are left as they were.
ResultadoSupressao SuprimeLinhas(TabelaResultados& t, std::int32_t c, CriterioSupressao criterio, double x);
// After a suppression that left rows of the linhasAntes there were: asks "Criar linha
// com o agregado das linhas eliminadas" and, on yes, appends the row (label asked,
// "Outras") holding each column's total minus the sum of the kept rows. True when
// a row was appended.
bool AgregaLinhasEliminadas(TabelaResultados& t, std::int32_t linhasAntes);
// The command: asks "Entre Valor para comparar com <title>" (default 0), then the above.
ResultadoSupressao SuprimeLinhasPergunta(TabelaResultados& t, std::int32_t c, CriterioSupressao criterio);

// ---- transposing ---------------------------------------------------------------------

// Rows become columns and columns rows, in memory: the label-column title stays,
// the row labels become column titles and the column titles row labels; every
// column takes the table's largest decimals and the sum as its total. Notes,
// total kinds and the map settings are not carried over. Refused with a message
// when there are 6000 rows or more; false (nothing changes) also for an empty table.
bool Transpoe(TabelaResultados& t);

} // namespace dorvan

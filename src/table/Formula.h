#pragma once
// Calculated columns: a column computed row by row from an arithmetic expression
// over the existing columns and constants ("Taxa=C2/C1*1000").
//
// The language: column references "C<n>" (or a column title written without
// blanks, any case), constants with '.' or ',' as decimal mark, the operators
// + - * / ^ (levels 4, 5, 6; ^ groups from the right), the functions LN and EXP
// (level 6, before their argument) and parentheses. x / 0 is 0, x ^ y is
// exp(y ln x) and 0 for x <= 0, LN of a value <= 0 is 0: no cell ever holds an
// infinity or an undefined value.
//
// The expression goes to postfix form once (PosFixa), is checked and rewritten
// with column numbers (ValidaExpressao), and the compiled steps are evaluated
// for every row and once over the column totals.
#include "table/TabelaResultados.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace dorvan {

// The postfix text of an expression, each token followed by one blank. nullopt
// for a ")" that closes no "(": no postfix form exists for it. An unclosed "("
// stays in the text, where the check refuses it.
std::optional<std::string> PosFixa(std::string_view expressao);

// One step of a checked expression.
struct PassoFormula {
    enum class Tipo : std::uint8_t { Constante, Coluna, Soma, Subtracao, Produto, Divisao, Potencia, Ln, Exp };
    Tipo tipo = Tipo::Constante;
    double valor = 0;        // Constante
    std::int32_t coluna = 0; // Coluna: 1..the number of columns the expression may use
};
using Formula = std::vector<PassoFormula>;

// Checks a postfix text against columns 1..numColunas of t: titles become "C<n>",
// every token must be a column, a constant, an operator or a function, and every
// operator must find its operands, leaving exactly one value. On success nova is
// the rewritten postfix text, formula its compiled steps and decimais the
// largest decimals of the columns and constants used. On failure the reason is
// shown through MensagensAtuais() and false returned.
bool ValidaExpressao(const TabelaResultados& t, std::int32_t numColunas, const std::string& posfixa,
                     std::int32_t& decimais, std::string& nova, Formula& formula);

// Evaluates compiled steps; valor(n) gives the operand of column n. The result is
// always a finite number.
double AvaliaFormula(const Formula& formula, const std::function<double(std::int32_t)>& valor);

// Appends the column of an expression: title = the expression, decimals from the
// check, every row evaluated, the total = the expression over the totals, width 13.
// False, with the table as before, when the expression is refused (the reason was
// shown) or the column limit is reached (no message).
bool ColunaDeExpressao(TabelaResultados& t, std::string_view expressao);

// The "Nova coluna" command with the user's answer: "title=expression" or just the
// expression. A kept column gets the total kind "Pré Calculado" and, when given,
// the title before the "=".
bool NovaColuna(TabelaResultados& t, std::string_view resposta);

} // namespace dorvan

#pragma once
// Every writer and reader of numbers goes through here, so no output depends on
// the process locale (QApplication sets it from the environment).
#include <QString>
#include <optional>
#include <string>
#include <string_view>

namespace dorvan {

// More decimals than any double has; larger requests are cut to this.
constexpr int kMaxDecimais = 400;

// Machine form: '.' as decimal mark, no grouping, exactly `decimais` decimals
// (at most kMaxDecimais), ties rounded away from zero, never "-0". Not-finite
// values give "0".
std::string NumeroMaquina(double valor, int decimais);

// Shortest machine form that reads back to the same double ("1.5", "1234", "0.1").
std::string NumeroCurto(double valor);

// Same as NumeroMaquina but with ',' as the decimal mark (the table file's values).
std::string NumeroVirgula(double valor, int decimais);

// The user's form: the locale's grouping and decimal mark, fixed decimals.
QString NumeroUsuario(double valor, int decimais);

// Reads a number in machine form: optional sign, digits, '.', digits, optional
// exponent. The whole text must be the number (blanks around it allowed).
std::optional<double> LeNumeroMaquina(std::string_view texto);

// Reads the longest numeric prefix after leading blanks; blank text is 0.
// Used for fields and increments whose tail may hold anything.
double LePrefixoNumerico(std::string_view texto);

// Rounds the decimal digits inteira.fracao (no sign) half away from zero to `decimais`
// places: fracao ends with exactly that many digits, and a carry may lengthen inteira.
void ArredondaDigitos(std::string& inteira, std::string& fracao, std::size_t decimais);

// Rounds the decimal text of a number half away from zero to `decimais` places.
// Exposed for the table and export writers that build their own separators.
std::string ArredondaDecimal(double valor, int decimais);

// Appends NumeroMaquina(valor, decimais) to destino with `marca` as the decimal
// mark; a whole number goes in without a string of its own (tables of counts).
void AcrescentaNumero(std::string& destino, double valor, int decimais, char marca);

} // namespace dorvan

#pragma once
// What every table export shares: a line writer that replaces the target only
// when the whole file is written, the number forms, and the code/name split of
// a row label.
#include "platform/Arquivos.h"
#include "table/TabelaResultados.h"

#include <memory>
#include <string>
#include <string_view>

namespace dorvan {

// Writes lines of code page 1252 text, each ended by CR LF (the line end of the
// files users exchange with this program). The target is replaced by Fim(); an
// error before that leaves an existing file as it was. Write errors throw ErroES.
class SaidaTexto {
public:
    explicit SaidaTexto(const std::string& arquivo);
    ~SaidaTexto();
    SaidaTexto(const SaidaTexto&) = delete;
    SaidaTexto& operator=(const SaidaTexto&) = delete;

    void Escreve(std::string_view texto);
    void Linha(std::string_view texto = {});
    void Fim();

private:
    void Descarrega();
    std::unique_ptr<GravacaoSegura> arquivo_;
    std::string buffer_;
};

// Fixed point with `decimais` decimals, '.' as the mark, no grouping.
// Not-finite values give `ausente` (each format has its own empty value).
std::string NumeroPlano(double valor, int decimais, std::string_view ausente);

// The locale's fixed form: decimal mark `marca`, no grouping, `decimais`
// decimals; a value with more than `digitos` integer digits is written in
// exponent form with that many significant digits.
std::string NumeroFixoLocal(double valor, int decimais, int digitos, std::string_view marca);

// The decimal mark of the user's locale (QLocale's default).
std::string MarcaDecimalLocal();

// Code and name of a row label when labels carry a code (TamCodigo <> SemCodigo):
// the first TamCodigo characters, and what follows the separating blank.
std::string CodigoDoRotulo(const TabelaResultados& t, const std::string& rotulo);
std::string NomeDoRotulo(const TabelaResultados& t, const std::string& rotulo);

// The text without every occurrence of c.
std::string SemCaractere(std::string_view s, char c);
// Line breaks and other control characters become blanks, so a label cannot
// split a line of a line-oriented file.
std::string UmaLinha(std::string_view s);

} // namespace dorvan

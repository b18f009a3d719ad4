#pragma once
// What every table export shares: a line writer that replaces the target only
// when the whole file is written, the number forms, and the code/name split of
// a row label.
#include "platform/Arquivos.h"
#include "table/TabelaResultados.h"

#include <functional>
#include <memory>
#include <string>
#include <string_view>

namespace dorvan {

// Writes lines of code page 1252 text, each ended by CR LF (the line end of the
// files users exchange with this program); a NUL byte is written as a blank. The target is replaced by Fim(); an
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
    void Acrescenta(std::string_view texto);
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

// `sep` and the value of each column of row r (the totals for LinhaTotais),
// in the form forma(value, column) gives.
template <class Forma>
std::string Valores(const TabelaResultados& t, std::int32_t r, std::string_view sep, Forma forma) {
    std::string s;
    s.reserve(static_cast<std::size_t>(t.NumColunas()) * (sep.size() + 3));
    for (std::int32_t c = 1; c <= t.NumColunas(); ++c) {
        const ColunaResultados& col = t.Coluna(c);
        s += sep;
        s += forma(r == LinhaTotais ? col.Total : t.Dado(c, r), col);
    }
    return s;
}

// The text without every occurrence of c.
std::string SemCaractere(std::string_view s, char c);
// Line breaks and other control characters become blanks, so a label cannot
// split a line of a line-oriented file.
std::string UmaLinha(std::string_view s);
// The text on one line, without its double quotes, between double quotes.
std::string EntreAspas(std::string_view s);

// A name for another program from a title already free of accents: every
// character but letters, digits and '_' becomes '_', an empty result gives
// `padrao`, `antesDeDigito` goes before a leading digit, and the whole is cut
// to `maximo` characters.
std::string Identificador(std::string_view titulo, char antesDeDigito, std::size_t maximo, std::string_view padrao);

// A name not yet taken: `nome` itself, or nome cut and followed by sufixo(2),
// sufixo(3) ... so the whole keeps within `maximo` characters. `toma` records a
// name and says whether it was still free.
std::string NomeUnico(const std::string& nome, std::size_t maximo, std::string (*sufixo)(std::int32_t),
                      const std::function<bool(const std::string&)>& toma);
// "_2", "_3" ...: the suffix of a repeated name where digits may stand.
std::string SufixoNumerico(std::int32_t k);

} // namespace dorvan

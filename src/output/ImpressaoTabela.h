#pragma once
// Printing the results table: the table is cut into blocks of rows and strips of
// columns, each block-strip pair one page, the label column repeated on each. This
// part computes what goes where on every page, in printer units; the window layer
// only draws the elements it returns.
#include "table/TabelaResultados.h"

#include <string>
#include <vector>

namespace dorvan {

// Text measurement on the printer with its current font. `escala` multiplies the
// base size (2 and 1.5 for the titles, 0.5 for note marks).
class MedidaTexto {
public:
    virtual ~MedidaTexto() = default;
    virtual int Largura(const std::string& texto1252, double escala = 1, bool negrito = false) const = 0;
    virtual int Altura(double escala = 1) const = 0; // height of a line ("A")
};

// One thing drawn on a page. Texts: the text's left edge x and top y; with
// `recorta`, nothing outside the box (caixaX, y, caixaLargura, altura) shows.
// Rules: a line at y from x to x + largura.
struct ElementoPagina {
    enum class Tipo { Texto, Regua };
    Tipo tipo = Tipo::Texto;
    int x = 0, y = 0, largura = 0, altura = 0;
    std::string texto;
    double escala = 1;
    bool negrito = false;
    bool recorta = false;
    int caixaX = 0, caixaLargura = 0;
};
using PaginaImpressa = std::vector<ElementoPagina>;

// The column strips: columns Primeira..Ultima print side by side on one page.
struct FaixaColunas {
    std::int32_t Primeira = 1, Ultima = 0;
};

class ImpressaoTabela {
public:
    ImpressaoTabela(const TabelaResultados& t, const MedidaTexto& medida, int larguraPagina, int alturaPagina);

    // Lays the table out on the page (CalculaPaginas).
    void CalculaPaginas();

    int LarguraPagina, AlturaPagina;
    int MargemX = 0, MargemY = 0;
    int LinhasPorPagina = 1;
    int PaginasVerticais = 0;
    int LarguraRotulo = 0;
    std::vector<int> LarguraColuna; // [c], c = 1..NumColunas; [0] unused
    std::vector<FaixaColunas> Faixas;
    int NumFaixas() const { return static_cast<int>(Faixas.size()); }
    int TotalPaginas() const { return PaginasVerticais * NumFaixas(); }

    // "Largura do texto ocupará <n> página" (+ "s" for more than one).
    std::string MensagemFaixas() const;

    // Row block and strip of page p (1-based): the strips of a block on consecutive pages.
    int BlocoDaPagina(int p) const;
    int FaixaDaPagina(int p) const;

    // The elements of page p. `data`: the date printed in the footer (empty: none).
    // Pages before the first, or before CalculaPaginas, are blank.
    PaginaImpressa MontaPagina(int p, const std::string& data) const;
    // The page of technical notes after the pages.
    PaginaImpressa MontaNotas() const;

    // Texts of the cells: the title row (linha 0), the totals row (LinhaTotais)
    // and display row k (1..NumLinhas). Leading blanks removed.
    std::string TextoCelula(std::int32_t linha, std::int32_t coluna) const;

private:
    int Cabecalho(PaginaImpressa& pg) const; // returns the y below it
    void Rodape(PaginaImpressa& pg, int yRodape, int p, const std::string& data) const;
    void Celula(PaginaImpressa& pg, int x, int largura, int y, std::int32_t linha, std::int32_t coluna) const;
    std::string Valor(double v, const ColunaResultados& c) const;

    const TabelaResultados& t_;
    const MedidaTexto& m_;
    int h_ = 1, w0_ = 1;
};

// The value in the locale's grouped fixed form with the column's decimals,
// padded with blanks in front to at least `largura` characters.
std::string NumeroImpresso(double valor, int decimais, int largura);

} // namespace dorvan

#include "output/ImpressaoTabela.h"

#include "platform/Numeros.h"
#include "platform/Texto.h"
#include "platform/Texto1252.h"

#include <algorithm>

namespace dorvan {

namespace {

// A rule across the page between margens, under the titles and over the footer.
void Regua(PaginaImpressa& pg, int y, int margem, int larguraPagina) {
    ElementoPagina regua;
    regua.tipo = ElementoPagina::Tipo::Regua;
    regua.x = margem;
    regua.largura = larguraPagina - 2 * margem;
    regua.y = y;
    pg.push_back(regua);
}

bool TemTotais(const TabelaResultados& t) {
    for (std::int32_t c = 1; c <= t.NumColunas(); ++c)
        if (t.Coluna(c).TipoTotal != TipoTotal::SemTotal) return true;
    return false;
}

} // namespace

std::string NumeroImpresso(double valor, int decimais, int largura) {
    std::string s = DeQString(NumeroUsuario(valor, decimais));
    if (largura > 0 && s.size() < static_cast<std::size_t>(largura))
        s.insert(0, static_cast<std::size_t>(largura) - s.size(), ' ');
    return s;
}

ImpressaoTabela::ImpressaoTabela(const TabelaResultados& t, const MedidaTexto& medida, int larguraPagina,
                                 int alturaPagina)
    : LarguraPagina(larguraPagina), AlturaPagina(alturaPagina), t_(t), m_(medida) {}

std::string ImpressaoTabela::Valor(double v, const ColunaResultados& c) const {
    return NumeroImpresso(v, c.Decimais, c.Largura);
}

void ImpressaoTabela::CalculaPaginas() {
    MargemX = LarguraPagina / 20;
    MargemY = AlturaPagina / 20;
    h_ = std::max(1, m_.Altura());
    w0_ = std::max(1, m_.Largura("0"));
    // A font too large for the page still prints one row per page rather than
    // dividing by zero rows.
    LinhasPorPagina = std::max(1, (AlturaPagina - 4 * h_ - 2 * MargemY) / h_ - 2);
    PaginasVerticais = t_.NumLinhas / LinhasPorPagina + (t_.NumLinhas % LinhasPorPagina != 0 ? 1 : 0);

    LarguraRotulo = m_.Largura(t_.NomeColuna(0));
    for (std::int32_t r = 1; r <= t_.NumLinhas; ++r) LarguraRotulo = std::max(LarguraRotulo, m_.Largura(t_.Rotulo(r)));

    const std::int32_t n = t_.NumColunas();
    LarguraColuna.assign(static_cast<std::size_t>(n) + 1, 0);
    for (std::int32_t c = 1; c <= n; ++c) {
        const ColunaResultados& col = t_.Coluna(c);
        LarguraColuna[static_cast<std::size_t>(c)] =
            std::max(m_.Largura(col.NomeColuna + "0"), m_.Largura(Valor(col.Total, col)));
    }

    Faixas.clear();
    if (n == 0) Faixas.push_back({1, 0}); // labels only: one strip of no columns
    std::int32_t c = 1;
    while (c <= n) {
        FaixaColunas f;
        f.Primeira = c;
        int espaco = LarguraPagina - 2 * MargemX - LarguraRotulo - w0_;
        const int primeira = LarguraColuna[static_cast<std::size_t>(c)];
        if (primeira > espaco) {
            // The label column gives up what the column lacks, for the rest of the layout
            // (never below nothing: a column wider than the page is clipped instead).
            LarguraRotulo = std::max(0, LarguraRotulo - (primeira - espaco + 1));
            espaco = primeira + 1;
        }
        // Every strip takes at least its first column, so the layout always ends.
        do {
            espaco -= LarguraColuna[static_cast<std::size_t>(c)] + w0_;
            ++c;
        } while (c <= n && LarguraColuna[static_cast<std::size_t>(c)] < espaco);
        f.Ultima = c - 1;
        Faixas.push_back(f);
    }
}

std::string ImpressaoTabela::MensagemFaixas() const {
    return "Largura do texto ocupar\xE1 " + std::to_string(NumFaixas()) + " p\xE1gina" + (NumFaixas() > 1 ? "s" : "");
}

int ImpressaoTabela::BlocoDaPagina(int p) const {
    return NumFaixas() <= 1 ? p : (p - 1) / NumFaixas() + 1;
}

int ImpressaoTabela::FaixaDaPagina(int p) const {
    if (NumFaixas() <= 1) return 1;
    const int s = p % NumFaixas();
    return s == 0 ? NumFaixas() : s;
}

std::string ImpressaoTabela::TextoCelula(std::int32_t linha, std::int32_t coluna) const {
    std::string s;
    if (linha == 0) {
        s = t_.NomeColuna(coluna);
    } else if (linha == LinhaTotais) {
        if (coluna == 0) s = TemTotais(t_) ? "Total" : "";
        else if (t_.Coluna(coluna).TipoTotal != TipoTotal::SemTotal) s = Valor(t_.Coluna(coluna).Total, t_.Coluna(coluna));
    } else {
        const std::int32_t r = LinhaReal(t_, linha + 1);
        if (r <= 0) return {};
        if (coluna == 0) {
            const std::string& rot = t_.Rotulo(r);
            if (t_.TamCodigo == SemCodigo || t_.MostraCodigo) s = rot;
            else if (rot.size() > static_cast<std::size_t>(t_.TamCodigo) + 1) s = rot.substr(static_cast<std::size_t>(t_.TamCodigo) + 1);
        } else {
            s = Valor(t_.Dado(coluna, r), t_.Coluna(coluna));
        }
    }
    return TiraBrancosEsq(s, EEspaco);
}

void ImpressaoTabela::Celula(PaginaImpressa& pg, int x, int largura, int y, std::int32_t linha,
                             std::int32_t coluna) const {
    const std::string texto = TextoCelula(linha, coluna);
    const bool direita = coluna != 0;
    const int w = m_.Largura(texto);
    ElementoPagina e;
    e.texto = texto;
    e.y = y;
    e.altura = h_;
    e.recorta = true;
    e.caixaX = x;
    e.caixaLargura = largura;
    e.x = direita ? x + largura - 3 - w : x + 3;
    if (!texto.empty()) pg.push_back(e);

    // The note mark: its number, bold and small, beside the text.
    std::int32_t nota = 0;
    if (linha == LinhaTotais) return;
    const std::int32_t linhaNota = linha == 0 ? 0 : LinhaReal(t_, linha + 1);
    if (!AchaNota(t_, linhaNota, coluna, nota)) return;
    ElementoPagina marca = e;
    marca.texto = std::to_string(nota);
    marca.escala = 0.5;
    marca.negrito = true;
    const int wm = m_.Largura(marca.texto, 0.5, true);
    marca.x = direita ? e.x - wm : e.x + w;
    pg.push_back(marca);
}

int ImpressaoTabela::Cabecalho(PaginaImpressa& pg) const {
    int y = MargemY;
    auto Centrado = [&](const std::string& s, double escala) {
        ElementoPagina e;
        e.texto = s;
        e.escala = escala;
        e.y = y;
        e.altura = m_.Altura(escala);
        e.x = (LarguraPagina - m_.Largura(s, escala)) / 2;
        if (!s.empty()) pg.push_back(e);
        y += e.altura;
    };
    Centrado(t_.Titulo1, 2);
    if (!t_.Titulo2.empty()) Centrado(t_.Titulo2, 1.5);
    y += h_ / 2;
    Regua(pg, y, MargemX, LarguraPagina);
    return y + h_ / 2;
}

void ImpressaoTabela::Rodape(PaginaImpressa& pg, int yRodape, int p, const std::string& data) const {
    Regua(pg, yRodape, MargemX, LarguraPagina);
    const int y = yRodape + w0_ / 2;
    auto Texto = [&](const std::string& s, int x) {
        ElementoPagina e;
        e.texto = s;
        e.x = x;
        e.y = y;
        e.altura = h_;
        if (!s.empty()) pg.push_back(e);
    };
    Texto(t_.Rodape, MargemX);
    if (!data.empty()) Texto(data, LarguraPagina * 2 / 3);
    if (TotalPaginas() > 1) {
        const std::string s = "P\xE1gina " + std::to_string(p) + " de " + std::to_string(TotalPaginas());
        Texto(s, LarguraPagina - MargemX - m_.Largura(s));
    }
}

PaginaImpressa ImpressaoTabela::MontaPagina(int p, const std::string& data) const {
    PaginaImpressa pg;
    // A page the layout does not have (a typed range, or no layout yet) is blank
    // rather than a strip number outside the strips.
    if (p < 1 || Faixas.empty()) return pg;
    const int b = BlocoDaPagina(p);
    const FaixaColunas& f = Faixas[static_cast<std::size_t>(FaixaDaPagina(p) - 1)];
    const std::int32_t primeira = (b - 1) * LinhasPorPagina + 1;
    const std::int32_t ultima = std::min(b * LinhasPorPagina, t_.NumLinhas);

    int yRodape = AlturaPagina - MargemY;
    int y = Cabecalho(pg);
    std::vector<std::pair<std::int32_t, int>> colunas; // column and its x
    int x = MargemX + LarguraRotulo + w0_;
    for (std::int32_t c = f.Primeira; c <= f.Ultima; ++c) {
        colunas.emplace_back(c, x);
        x += LarguraColuna[static_cast<std::size_t>(c)] + w0_;
    }
    auto Linha = [&](std::int32_t linha) {
        Celula(pg, MargemX, LarguraRotulo, y, linha, 0);
        for (const auto& [c, xc] : colunas) Celula(pg, xc, LarguraColuna[static_cast<std::size_t>(c)], y, linha, c);
        y += h_;
    };
    Linha(0);
    y += h_ / 3;
    for (std::int32_t k = primeira; k <= ultima; ++k) Linha(k);
    if (b == PaginasVerticais) {
        y += h_ + h_ / 2;
        Linha(LinhaTotais);
        if (y > yRodape) yRodape = y + h_ / 2;
    }
    Rodape(pg, yRodape, p, data);
    return pg;
}

PaginaImpressa ImpressaoTabela::MontaNotas() const {
    PaginaImpressa pg;
    int y = Cabecalho(pg);
    auto Texto = [&](const std::string& s) {
        ElementoPagina e;
        e.texto = s;
        e.x = MargemX;
        e.y = y;
        e.altura = h_;
        pg.push_back(e);
        y += h_;
    };
    Texto("Notas T\xE9"
          "cnicas");
    for (std::int32_t n = 1; n <= t_.NumNotas(); ++n) Texto(std::to_string(n) + " - " + t_.Notas(n).Texto);
    return pg;
}

} // namespace dorvan

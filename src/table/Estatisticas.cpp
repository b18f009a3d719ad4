#include "table/Estatisticas.h"

#include "platform/Numeros.h"
#include "platform/Texto1252.h"

#include <QLocale>

#include <algorithm>
#include <charconv>
#include <limits>
#include <cmath>

namespace dorvan {

const std::string TextoIndefinido = "indefinido";

namespace {

bool ColunaValida(const TabelaResultados& t, std::int32_t c) { return c >= 1 && c <= t.NumColunas(); }

std::string ADireita(std::string s, std::int32_t largura) {
    if (static_cast<std::int32_t>(s.size()) < largura)
        s.insert(0, static_cast<std::size_t>(largura - static_cast<std::int32_t>(s.size())), ' ');
    return s;
}

// A grouped fixed-point number right-aligned in `largura` characters.
std::string FormatoN(double v, std::int32_t largura, std::int32_t decimais) {
    if (!std::isfinite(v)) return ADireita(TextoIndefinido, largura);
    return ADireita(DeQString(NumeroUsuario(v, decimais)), largura);
}

// The label padded to 23 characters and a TAB.
std::string Rotulo(const std::string& texto) {
    std::string s = texto;
    if (s.size() < 23) s.append(23 - s.size(), ' ');
    return s + '\t';
}

double Valor(const ColunaResultados& col, std::int32_t r) { return col.Dados[static_cast<std::size_t>(r)]; }

double Soma(const TabelaResultados& t, const ColunaResultados& col) {
    double s = 0;
    for (std::int32_t r = 1; r <= t.NumLinhas; ++r)
        s += Valor(col, r);
    return s;
}

double Media(const TabelaResultados& t, const ColunaResultados& col) {
    return t.NumLinhas < 1 ? 0.0 : Soma(t, col) / t.NumLinhas;
}

// Centred sums of squares and products of two columns.
struct Momentos {
    double mx = 0, my = 0, sxx = 0, syy = 0, sxy = 0;
};

Momentos Centrados(const TabelaResultados& t, const ColunaResultados& x, const ColunaResultados& y) {
    Momentos m;
    m.mx = Media(t, x);
    m.my = Media(t, y);
    for (std::int32_t r = 1; r <= t.NumLinhas; ++r) {
        const double dx = Valor(x, r) - m.mx;
        const double dy = Valor(y, r) - m.my;
        m.sxx += dx * dx;
        m.syy += dy * dy;
        m.sxy += dx * dy;
    }
    return m;
}

std::optional<double> R(const Momentos& m) {
    if (!(m.sxx > 0) || !(m.syy > 0)) return std::nullopt;
    const double r = m.sxy / (std::sqrt(m.sxx) * std::sqrt(m.syy));
    if (!std::isfinite(r)) return std::nullopt;
    return std::clamp(r, -1.0, 1.0);
}

std::string Curto(const std::optional<double>& v) { return v ? NumeroCurtoLocal(*v) : TextoIndefinido; }

} // namespace

std::string NumeroCurtoLocal(double valor) {
    if (!std::isfinite(valor)) return TextoIndefinido;
    if (valor == 0) return "0";
    char buf[64];
    auto fim = std::to_chars(buf, buf + sizeof buf, valor, std::chars_format::general, 15).ptr;
    std::string s(buf, fim);
    // Exponents as "1E20" and "1,5E-7": capital E, no plus sign, no leading zeros.
    if (auto e = s.find('e'); e != std::string::npos) {
        std::string mantissa = s.substr(0, e);
        std::string expoente = s.substr(e + 1);
        bool negativo = !expoente.empty() && expoente[0] == '-';
        if (!expoente.empty() && (expoente[0] == '-' || expoente[0] == '+')) expoente.erase(0, 1);
        expoente.erase(0, std::min(expoente.find_first_not_of('0'), expoente.size() - 1));
        s = mantissa + "E" + (negativo ? "-" : "") + expoente;
    }
    if (auto p = s.find('.'); p != std::string::npos) s.replace(p, 1, DeQString(QLocale().decimalPoint()));
    if (auto m = s.find('-'); m == 0) s.replace(0, 1, DeQString(QLocale().negativeSign()));
    return s;
}

SomasColuna SomasCentradas(const TabelaResultados& t, const ColunaResultados& col) {
    SomasColuna s;
    s.soma = Soma(t, col);
    s.media = t.NumLinhas < 1 ? 0.0 : s.soma / t.NumLinhas;
    for (std::int32_t r = 1; r <= t.NumLinhas; ++r) {
        const double d = Valor(col, r) - s.media;
        s.quadrados += d * d;
    }
    return s;
}

std::vector<std::string> EstatisticasColuna(const TabelaResultados& t, std::int32_t c) {
    std::vector<std::string> linhas;
    if (!ColunaValida(t, c)) return linhas;
    const ColunaResultados& col = t.Coluna(c);
    const std::int32_t n = t.NumLinhas;
    const std::int32_t d = col.Decimais;

    std::int32_t zeros = 0;
    for (std::int32_t r = 1; r <= n; ++r)
        if (Valor(col, r) == 0) ++zeros;
    const auto [soma, media, q] = SomasCentradas(t, col);
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double variancia = n > 0 ? q / n : nan;
    const double varianciaAmostra = n > 1 ? q / (n - 1) : nan;

    // Median and extremes from a sorted copy: the grid's order stays as it is.
    std::vector<double> ordenados(col.Dados.begin() + 1, col.Dados.begin() + 1 + n);
    std::sort(ordenados.begin(), ordenados.end());
    double mediana = nan, minimo = nan, maximo = nan;
    if (n > 0) {
        const auto meio = static_cast<std::size_t>(n / 2);
        mediana = n % 2 ? ordenados[meio] : (ordenados[meio - 1] + ordenados[meio]) / 2;
        minimo = ordenados.front();
        maximo = ordenados.back();
    }

    const std::int32_t w = std::max(LarguraValor(d, varianciaAmostra), LarguraValor(d, soma)) + 1;
    auto numero = [&](const char* rotulo, double v) { linhas.push_back(Rotulo(rotulo) + FormatoN(v, w, d)); };

    linhas.push_back("Estat\xEDsticas da coluna " + col.NomeColuna);
    linhas.emplace_back();
    linhas.push_back(Rotulo("Contagem") + ADireita(std::to_string(n), w));
    if (n > 0) {
        if (zeros > 0) linhas.push_back(Rotulo("Valores zerados") + ADireita(std::to_string(zeros), w));
        numero("Soma", soma);
        numero("M\xE9"
               "dia",
               media);
        numero("Mediana", mediana);
        numero("M\xEDnimo", minimo);
        numero("M\xE1ximo", maximo);
        numero("Amplitude de varia\xE7\xE3o", maximo - minimo);
        numero("Vari\xE2ncia", variancia);
        numero("Desvio padr\xE3o", std::sqrt(variancia));
        numero("Vari\xE2ncia     (amostra)", varianciaAmostra);
        numero("Desvio padr\xE3o (amostra)", std::sqrt(varianciaAmostra));
        if (media > 0)
            linhas.push_back(Rotulo("Coeficiente de varia\xE7\xE3o") +
                             FormatoN(std::sqrt(varianciaAmostra) / media, w, 4));
    }
    linhas.emplace_back();
    linhas.emplace_back();
    return linhas;
}

std::vector<std::string> Descritivas(const TabelaResultados& t, const std::vector<std::int32_t>& colunas) {
    std::vector<std::string> linhas;
    for (std::int32_t c : colunas) {
        auto l = EstatisticasColuna(t, c);
        linhas.insert(linhas.end(), l.begin(), l.end());
    }
    return linhas;
}

std::optional<double> CoeficienteCorrelacao(const TabelaResultados& t, std::int32_t a, std::int32_t b) {
    if (!ColunaValida(t, a) || !ColunaValida(t, b)) return std::nullopt;
    return R(Centrados(t, t.Coluna(a), t.Coluna(b)));
}

std::vector<std::string> Correlacao(const TabelaResultados& t, std::int32_t a, std::int32_t b) {
    if (!ColunaValida(t, a) || !ColunaValida(t, b)) return {};
    std::string cabeca =
        "Coeficiente de correla\xE7\xE3o de Pearson entre as colunas " + t.NomeColuna(a) + " e " + t.NomeColuna(b);
    if (cabeca.size() > 177) cabeca.resize(177);
    return {cabeca, "R = " + Curto(CoeficienteCorrelacao(t, a, b))};
}

std::optional<AjusteLinear> AjustaReta(const TabelaResultados& t, std::int32_t x, std::int32_t y) {
    if (!ColunaValida(t, x) || !ColunaValida(t, y)) return std::nullopt;
    const ColunaResultados& cx = t.Coluna(x);
    const ColunaResultados& cy = t.Coluna(y);
    const Momentos m = Centrados(t, cx, cy);
    if (!(m.sxx > 0)) return std::nullopt;
    AjusteLinear aj;
    aj.angular = m.sxy / m.sxx;
    aj.linear = m.my - m.mx * aj.angular;
    if (!std::isfinite(aj.angular) || !std::isfinite(aj.linear)) return std::nullopt;
    aj.correlacao = R(m);
    if (t.NumLinhas > 2) {
        // Residuals taken one by one: the difference of large sums could go negative.
        double sse = 0;
        for (std::int32_t r = 1; r <= t.NumLinhas; ++r) {
            const double e = (Valor(cy, r) - m.my) - aj.angular * (Valor(cx, r) - m.mx);
            sse += e * e;
        }
        aj.erroPadrao = std::sqrt(sse / (t.NumLinhas - 2));
    }
    return aj;
}

bool Regressao(TabelaResultados& t, std::int32_t x, std::int32_t y, std::vector<std::string>& linhas) {
    if (!ColunaValida(t, x) || !ColunaValida(t, y)) return false;
    const std::string tituloX = t.NomeColuna(x);
    const std::string tituloY = t.NomeColuna(y);
    linhas.push_back("Regress\xE3o Linear Simples de " + tituloY + " segundo " + tituloX);
    linhas.emplace_back();
    const auto aj = AjustaReta(t, x, y);
    if (!aj) {
        linhas.push_back("Regress\xE3o indefinida: a vari\xE1vel independente n\xE3o varia.");
        return false;
    }
    const std::string a = NumeroCurtoLocal(aj->linear);
    const std::string b = NumeroCurtoLocal(aj->angular);
    std::optional<double> r2;
    if (aj->correlacao) r2 = *aj->correlacao * *aj->correlacao;
    linhas.push_back("Coeficiente linear    = " + a);
    linhas.push_back("Coeficiente angular   = " + b);
    linhas.emplace_back();
    linhas.push_back("Coeficiente de correla\xE7\xE3o    = " + Curto(aj->correlacao));
    linhas.push_back("Coeficiente de determina\xE7\xE3o  = " + Curto(r2));
    linhas.push_back("Erro padr\xE3o da estimativa    = " + Curto(aj->erroPadrao));
    linhas.emplace_back();
    linhas.push_back("Equa\xE7\xE3o de regress\xE3o");
    linhas.push_back("Est_" + tituloY + " = " + a + " + " + b + " * " + tituloX);

    const std::int32_t decimais = t.Coluna(y).Decimais;
    if (!AcrescentaColuna(t, "Estim_" + tituloY, decimais)) return false;
    ColunaResultados& col = t.Coluna(t.NumColunas());
    const ColunaResultados& cx = t.Coluna(x);
    double soma = 0;
    for (std::int32_t r = 1; r <= t.NumLinhas; ++r) {
        double v = aj->linear + aj->angular * Valor(cx, r);
        if (!std::isfinite(v)) v = 0;
        col.Dados[static_cast<std::size_t>(r)] = v;
        soma += v;
    }
    col.Total = std::isfinite(soma) ? soma : 0.0;
    t.Modificada = true;
    return true;
}

std::vector<std::string> DescritivasMarcadas(const TabelaResultados& t, const std::vector<std::int32_t>& marcadas) {
    if (t.NumColunas() == 1) return EstatisticasColuna(t, 1);
    return Descritivas(t, marcadas);
}

std::vector<std::string> CorrelacaoMarcadas(const TabelaResultados& t, const std::vector<std::int32_t>& marcadas) {
    if (t.NumColunas() == 2) return Correlacao(t, 1, 2);
    if (marcadas.size() < 2) return {};
    return Correlacao(t, marcadas[0], marcadas[1]);
}

bool PrecisaMarcar(const TabelaResultados& t, bool duas) { return t.NumColunas() != (duas ? 2 : 1); }

} // namespace dorvan

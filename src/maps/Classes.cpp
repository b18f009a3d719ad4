#include "maps/Classes.h"

#include "platform/Numeros.h"
#include "platform/Texto.h"
#include "platform/Texto1252.h"

#include <algorithm>
#include <cmath>

namespace dorvan {

namespace {

using Rampa = std::array<std::uint32_t, CoresPorPaleta>;

constexpr Rampa Converte(Rampa rgb) {
    for (auto& c : rgb)
        c = CorDeRGB(c);
    return rgb;
}

// Written as red-green-blue; kept in the stored form.
constexpr std::array<Rampa, NumPaletas> Paletas = {{
    Converte({0xFFFF00, 0x00FF00, 0xC0C0C0, 0xFF00FF, 0xFF0000, 0x808080, 0x008080, 0x008000, 0x800080, 0x0000FF}),
    Converte({0xFA0000, 0xEB0000, 0xDC0000, 0xCD0000, 0xBE0000, 0xAF0000, 0xA00000, 0x910000, 0x820000, 0x730000}),
    Converte({0x730000, 0x820000, 0x910000, 0xA00000, 0xAF0000, 0xBE0000, 0xCD0000, 0xDC0000, 0xEB0000, 0xFA0000}),
    Converte({0xD8FFF8, 0xC5FFEB, 0x9FFFDF, 0x66FFCC, 0x66E5C5, 0x66CCBF, 0x66B2B8, 0x6699B2, 0x6666A5, 0x663399}),
    Converte({0x663399, 0x6666A5, 0x6699B2, 0x66B2B8, 0x66CCBF, 0x66E5C5, 0x66FFCC, 0x9FFFDF, 0xC5FFEB, 0xD8FFF8}),
    Converte({0xFFFFB2, 0xFFFF79, 0xDFE58C, 0xBFD67F, 0x9FB272, 0x7F9966, 0x5F7F59, 0x3F664C, 0x1F4C3F, 0x003333}),
    Converte({0x003333, 0x1F4C3F, 0x3F664C, 0x5F7F59, 0x7F9966, 0x9FB272, 0xBFD67F, 0xDFE58C, 0xFFFF79, 0xFFFFB2}),
    Converte({0xFFFFB2, 0xFFFF79, 0xFFE040, 0xFFC200, 0xFF9933, 0xFF6633, 0xCC6633, 0xCC3300, 0x990000, 0x663300}),
    Converte({0x663300, 0x990000, 0xCC3300, 0xCC6633, 0xFF6633, 0xFF9933, 0xFFC200, 0xFFE040, 0xFFFF79, 0xFFFFB2}),
    Converte({0xFFDFDF, 0xFFBFBF, 0xFF9F9F, 0xFF7F7F, 0xFF5F5F, 0xFF3F3F, 0xFF0000, 0xDF0000, 0xBF0000, 0x9F0000}),
    Converte({0x9F0000, 0xBF0000, 0xDF0000, 0xFF0000, 0xFF3F3F, 0xFF5F5F, 0xFF7F7F, 0xFF9F9F, 0xFFBFBF, 0xFFDFDF}),
    Converte({0xDFDFFF, 0xBFBFFF, 0x9F9FFF, 0x7F7FFF, 0x5F5FFF, 0x3F3FFF, 0x0000FF, 0x0000DF, 0x0000BF, 0x00009F}),
    Converte({0x00009F, 0x0000BF, 0x0000DF, 0x0000FF, 0x3F3FFF, 0x5F5FFF, 0x7F7FFF, 0x9F9FFF, 0xBFBFFF, 0xDFDFFF}),
    Converte({0xDFF2E5, 0xBFE5CC, 0x9FD8B2, 0x7FCC99, 0x5FBF7F, 0x3FB266, 0x009933, 0x007226, 0x004C19, 0x003913}),
    Converte({0x003913, 0x004C19, 0x007226, 0x009933, 0x3FB266, 0x5FBF7F, 0x7FCC99, 0x9FD8B2, 0xBFE5CC, 0xDFF2E5}),
    Converte({0xF0F0F0, 0xE0E0E0, 0xD0D0D0, 0xC0C0C0, 0xB0B0B0, 0xA0A0A0, 0x909090, 0x808080, 0x707070, 0x606060}),
    Converte({0x606060, 0x707070, 0x808080, 0x909090, 0xA0A0A0, 0xB0B0B0, 0xC0C0C0, 0xD0D0D0, 0xE0E0E0, 0xF0F0F0}),
}};

// The class count the arrays can hold, whatever a file put in NumClasses.
std::int32_t Classes(const TabelaResultados& t) { return std::clamp(t.NumClasses, 0, MaxClasses); }

bool ColunaMapaValida(const TabelaResultados& t) { return t.ColunaMapa >= 1 && t.ColunaMapa <= t.NumColunas(); }

std::int32_t DecimaisMapa(const TabelaResultados& t) {
    return ColunaMapaValida(t) ? std::clamp(t.Coluna(t.ColunaMapa).Decimais, 0, 15) : 0;
}

std::string ADireita(std::string s, std::int32_t largura) {
    if (static_cast<std::int32_t>(s.size()) < largura)
        s.insert(0, static_cast<std::size_t>(largura - static_cast<std::int32_t>(s.size())), ' ');
    return s;
}

// The values of the mapped column over the data rows, ascending.
std::vector<double> ValoresOrdenados(const TabelaResultados& t) {
    std::vector<double> v;
    if (!ColunaMapaValida(t)) return v;
    const auto& dados = t.Coluna(t.ColunaMapa).Dados;
    const std::int32_t n = std::min(t.NumLinhas, t.CapLinhas());
    v.reserve(static_cast<std::size_t>(std::max(n, 0)));
    for (std::int32_t r = 1; r <= n; ++r)
        v.push_back(dados[static_cast<std::size_t>(r)]);
    std::sort(v.begin(), v.end(), [](double a, double b) {
        if (std::isnan(a)) return false;
        return std::isnan(b) || a < b;
    });
    return v;
}

} // namespace

const std::array<std::uint32_t, CoresPorPaleta>& Paleta(std::int32_t tipo) {
    if (tipo < 0 || tipo >= NumPaletas) tipo = 0;
    return Paletas[static_cast<std::size_t>(tipo)];
}

void MontaPaleta(TabelaResultados& t, std::int32_t tipo) {
    const Rampa& rampa = Paleta(tipo);
    for (std::int32_t i = 1; i <= CoresPorPaleta; ++i)
        t.Cor[static_cast<std::size_t>(i)] = rampa[static_cast<std::size_t>(i - 1)];
    const std::int32_t n = Classes(t);
    if (n < 2) return;
    // Read from the ramp, not from Cor, so no entry is read after it was replaced.
    for (std::int32_t i = 2; i <= n - 1; ++i)
        t.Cor[static_cast<std::size_t>(i)] = rampa[static_cast<std::size_t>(i * (CoresPorPaleta / n) - 1)];
    t.Cor[static_cast<std::size_t>(n)] = rampa[CoresPorPaleta - 1];
}

void CorNormal(TabelaResultados& t) {
    const Rampa& rampa = Paleta(PaletaNormal);
    for (std::int32_t i = 1; i <= CoresPorPaleta; ++i)
        t.Cor[static_cast<std::size_t>(i)] = rampa[static_cast<std::size_t>(i - 1)];
    t.IndCor = PaletaNormal;
}

void ProximaPaleta(TabelaResultados& t) {
    t.IndCor = (t.IndCor > NumPaletas - 2 || t.IndCor < 0) ? 0 : t.IndCor + 1;
    MontaPaleta(t, t.IndCor);
}

void CalculaExtremos(TabelaResultados& t) {
    t.Classe[0] = LimiteInferiorClasses;
    t.MaximoMapa = t.MinimoMapa = 0;
    if (!ColunaMapaValida(t)) return;
    const auto& dados = t.Coluna(t.ColunaMapa).Dados;
    const std::int32_t n = std::min(t.NumLinhas, t.CapLinhas());
    bool primeiro = true;
    for (std::int32_t r = 1; r <= n; ++r) {
        const auto v = static_cast<float>(dados[static_cast<std::size_t>(r)]);
        if (std::isnan(v)) continue;
        if (primeiro || v > t.MaximoMapa) t.MaximoMapa = v;
        if (primeiro || v < t.MinimoMapa) t.MinimoMapa = v;
        primeiro = false;
    }
}

void CalculaLimitesClasses(TabelaResultados& t, ModoClasses modo) {
    const std::int32_t n = Classes(t);
    t.Classe[0] = LimiteInferiorClasses;
    if (n < 1) return;
    double d = 0.4;
    for (std::int32_t i = 0; i < DecimaisMapa(t); ++i)
        d /= 10;
    t.Classe[static_cast<std::size_t>(n)] = static_cast<double>(t.MaximoMapa) + d;

    if (modo == ModoClasses::IgualFrequencia) {
        const std::vector<double> v = ValoresOrdenados(t);
        const auto passo = static_cast<std::int32_t>(v.size()) / n;
        for (std::int32_t i = 1; i <= n - 1; ++i) {
            const std::int32_t pos = i * passo; // 1-based; 0 when there are fewer rows than classes
            t.Classe[static_cast<std::size_t>(i)] =
                v.empty() ? static_cast<double>(t.MinimoMapa) : v[static_cast<std::size_t>(std::max(pos, 1) - 1)];
        }
    } else if (modo == ModoClasses::IgualValor) {
        const double passo = (static_cast<double>(t.MaximoMapa) - static_cast<double>(t.MinimoMapa)) / n;
        for (std::int32_t i = 1; i <= n - 1; ++i)
            t.Classe[static_cast<std::size_t>(i)] = static_cast<double>(t.MinimoMapa) + passo * i;
    }
}

std::uint32_t CorDaClasse(const TabelaResultados& t, double v) {
    const std::int32_t n = Classes(t);
    for (std::int32_t k = 1; k <= n; ++k)
        if (t.Classe[static_cast<std::size_t>(k - 1)] < v && v <= t.Classe[static_cast<std::size_t>(k)])
            return t.Cor[static_cast<std::size_t>(k)];
    return CorBranca;
}

std::string FormataLimite(const TabelaResultados& t, double limite) {
    const std::int32_t largura = LarguraValor(0, t.MaximoMapa);
    if (!std::isfinite(limite)) return ADireita(NumeroMaquina(limite, 0), largura);
    return ADireita(DeQString(NumeroUsuario(limite, DecimaisMapa(t))), largura);
}

std::string FormataPercentual(double p) {
    if (!std::isfinite(p)) p = 0;
    return ADireita(DeQString(NumeroUsuario(p, 2)), 6) + "%";
}

ContagemClasses ContaClasses(const TabelaResultados& t, ModoClasses modo) {
    ContagemClasses r;
    r.LarguraBarra = modo == ModoClasses::IgualValor ? 100 : 70;
    const std::int32_t n = Classes(t);
    std::vector<std::int32_t> contagem(static_cast<std::size_t>(n) + 1, 0);
    if (ColunaMapaValida(t)) {
        const auto& dados = t.Coluna(t.ColunaMapa).Dados;
        const std::int32_t linhas = std::min(t.NumLinhas, t.CapLinhas());
        for (std::int32_t l = 1; l <= linhas; ++l) {
            const double v = dados[static_cast<std::size_t>(l)];
            // Only the first matching class counts the value, as its colour does, so
            // limits typed out of order never push the cumulative line past 100 %.
            for (std::int32_t k = 1; k <= n; ++k)
                if (t.Classe[static_cast<std::size_t>(k - 1)] < v && v <= t.Classe[static_cast<std::size_t>(k)]) {
                    ++contagem[static_cast<std::size_t>(k)];
                    break;
                }
        }
    }
    std::int32_t acumulado = 0;
    for (std::int32_t k = 1; k <= n; ++k) {
        BarraClasse b;
        b.Contagem = contagem[static_cast<std::size_t>(k)];
        acumulado += b.Contagem;
        b.Rotulo = FormataLimite(t, t.Classe[static_cast<std::size_t>(k)]);
        b.Cor = t.Cor[static_cast<std::size_t>(k)];
        b.Acumulado = t.NumLinhas > 0 ? acumulado * 100.0 / t.NumLinhas : 0.0;
        b.RotuloAcumulado = FormataPercentual(b.Acumulado);
        r.Barras.push_back(std::move(b));
    }
    return r;
}

std::vector<std::string> PreencheGradeFaixas(const TabelaResultados& t) {
    std::vector<std::string> linhas{"Limite Superior"};
    for (std::int32_t k = 1; k <= Classes(t); ++k)
        linhas.push_back(FormataLimite(t, t.Classe[static_cast<std::size_t>(k)]));
    return linhas;
}

std::vector<std::string> EscreveLegendaDasClasses(const TabelaResultados& t) {
    std::vector<std::string> linhas{ColunaMapaValida(t) ? t.NomeColuna(t.ColunaMapa) : std::string()};
    const std::int32_t n = Classes(t);
    auto limite = [&](std::int32_t k) {
        return TiraBrancos(FormataLimite(t, t.Classe[static_cast<std::size_t>(k)]), EEspaco);
    };
    if (n >= 1) linhas.push_back("at\xE9 " + limite(1));
    for (std::int32_t k = 2; k <= n; ++k)
        linhas.push_back(limite(k - 1) + " --| " + limite(k));
    return linhas;
}

std::vector<CaixaLegenda> CaixasLegenda(const TabelaResultados& t, std::int32_t larguraCliente, bool ampliado) {
    std::vector<CaixaLegenda> caixas;
    const std::int32_t n = Classes(t);
    const std::int32_t ultima = ampliado ? n : MaxClasses;
    for (std::int32_t k = 1; k <= ultima; ++k) {
        CaixaLegenda c{k, larguraCliente - 150, 17 * k + 10, larguraCliente - 130, 17 * k + 22, CorBranca, CorBranca};
        if (k <= n) {
            c.Cor = t.Cor[static_cast<std::size_t>(k)];
            c.Caneta = CorPreta;
        }
        caixas.push_back(c);
    }
    return caixas;
}

std::int32_t ClasseNaLegenda(const TabelaResultados& t, std::int32_t larguraCliente, std::int32_t x, std::int32_t y) {
    for (const CaixaLegenda& c : CaixasLegenda(t, larguraCliente, true))
        if (x >= c.X1 && x <= c.X2 && y >= c.Y1 && y <= c.Y2) return c.Classe;
    return 0;
}

} // namespace dorvan

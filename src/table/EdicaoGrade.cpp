#include "table/EdicaoGrade.h"

#include "platform/Numeros.h"

#include <algorithm>
#include <cmath>

namespace dorvan {

namespace {
constexpr std::size_t MaxTextoNotaDigitada = 80;
}

std::string RotuloMostrado(const TabelaResultados& t, std::int32_t linha) {
    if (linha < 1 || linha > t.CapLinhas()) return {};
    const std::string& r = t.Rotulo(linha);
    if (t.TamCodigo == SemCodigo || t.MostraCodigo) return r;
    std::size_t inicio = static_cast<std::size_t>(t.TamCodigo) + 1;
    return inicio < r.size() ? r.substr(inicio) : std::string();
}

bool EditaCelula(TabelaResultados& t, std::int32_t g, std::int32_t c, const std::string& texto, char marcaDecimal) {
    if (c < 0 || c > t.NumColunas() || g < 0 || g == 1 || g > t.NumLinhas + 1) return false;
    if (g == 0) {
        t.DefineNomeColuna(c, texto);
    } else {
        const std::int32_t r = LinhaReal(t, g);
        if (r < 1 || r > t.NumLinhas) return false;
        if (c == 0) {
            t.Rotulo(r) = texto;
        } else {
            std::string f;
            for (char ch : texto)
                if ((ch >= '0' && ch <= '9') || ch == marcaDecimal || (ch == '-' && f.empty())) f += ch == marcaDecimal ? '.' : ch;
            if (f.empty() || f == "-") return false;
            double v;
            if (auto n = LeNumeroMaquina(f))
                v = *n;
            else
                v = LePrefixoNumerico(f);
            if (!std::isfinite(v)) return false;
            t.Dado(c, r) = v;
            CalculaTotal(t, c);
        }
    }
    t.Modificada = true;
    return true;
}

std::string TextoNota(const TabelaResultados& t, std::int32_t linha, std::int32_t coluna) {
    std::int32_t n = 0;
    return AchaNota(t, linha, coluna, n) ? t.Notas(n).Texto : std::string();
}

bool EditaNota(TabelaResultados& t, std::int32_t linha, std::int32_t coluna, const std::string& texto) {
    const std::string cortado = texto.substr(0, std::min(texto.size(), MaxTextoNotaDigitada));
    std::int32_t n = 0;
    if (AchaNota(t, linha, coluna, n)) {
        if (cortado.empty())
            ApagaNota(t, n);
        else if (t.Notas(n).Texto == cortado)
            return false;
        else
            t.Notas(n).Texto = cortado;
    } else {
        if (cortado.empty() || AcrescentaNota(t, linha, coluna, cortado) == 0) return false;
    }
    t.Modificada = true;
    return true;
}

AtributosColuna AtributosDe(const TabelaResultados& t, std::int32_t c) {
    const ColunaResultados& col = t.Coluna(c);
    return {col.NomeColuna, col.Largura, col.Decimais, col.TipoTotal, TextoNota(t, 0, c)};
}

void AplicaAtributos(TabelaResultados& t, std::int32_t c, const AtributosColuna& a) {
    t.DefineNomeColuna(c, a.titulo);
    ColunaResultados& col = t.Coluna(c);
    col.Largura = std::clamp(a.largura, 1, 100);
    if (c > 0) {
        col.Decimais = std::clamp(a.decimais, 0, 10);
        col.TipoTotal = a.tipoTotal;
        CalculaTotal(t, c);
    }
    EditaNota(t, 0, c, a.nota);
    t.Modificada = true;
}

} // namespace dorvan

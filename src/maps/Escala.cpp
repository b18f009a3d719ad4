#include "maps/Escala.h"

#include "platform/Numeros.h"
#include "table/OperacoesColunas.h"

#include <algorithm>

namespace dorvan {

namespace {

bool ColunaValida(const TabelaResultados& t, std::int32_t c) { return c >= 1 && c <= t.NumColunas(); }

} // namespace

std::string AbreEscala(TabelaResultados& t, EstadoEscala& e) {
    e.ColunaLembrada = t.ColunaOrdem;
    if (t.ColunaOrdem != t.ColunaMapa && ColunaValida(t, t.ColunaMapa)) OrdenaPorColuna(t, t.ColunaMapa);
    const std::string mapa = ColunaValida(t, t.ColunaMapa) ? t.NomeColuna(t.ColunaMapa) : std::string();
    return "Freq\xFC\xEAncia de " + t.NomeColuna(0) + " por classes de " + mapa;
}

void FechaEscala(TabelaResultados& t, const EstadoEscala& e) {
    if (e.ColunaLembrada != t.ColunaMapa && e.ColunaLembrada >= 0 && e.ColunaLembrada <= t.NumColunas())
        OrdenaPorColuna(t, e.ColunaLembrada);
}

void MudaModoEscala(TabelaResultados& t, EstadoEscala& e, ModoClasses modo) {
    e.Modo = modo;
    CalculaLimitesClasses(t, e.Modo);
}

void MudaNumClassesEscala(TabelaResultados& t, const EstadoEscala& e, std::int32_t n) {
    t.NumClasses = std::clamp(n, 2, MaxClasses);
    CalculaLimitesClasses(t, e.Modo);
    MontaPaleta(t, t.IndCor);
}

std::string LimpaLimiteDigitado(const std::string& texto, char separadorDecimal) {
    std::string s;
    for (char c : texto) {
        if ((c >= '0' && c <= '9') || c == separadorDecimal) {
            s += c;
        } else if (c == '-' && s.empty()) {
            s += c; // only a minus in front survives
        }
    }
    return s;
}

bool EditaLimiteEscala(TabelaResultados& t, EstadoEscala& e, std::int32_t linha, const std::string& texto,
                       char separadorDecimal) {
    e.Modo = ModoClasses::Manual;
    if (linha < 1 || linha > std::clamp(t.NumClasses, 0, MaxClasses)) return false;
    std::string s = LimpaLimiteDigitado(texto, separadorDecimal);
    if (s.empty() || s == "-") return false;
    std::replace(s.begin(), s.end(), separadorDecimal, '.');
    // "1,2,3" or a lone separator is no number: the limit stays as it was.
    const auto v = LeNumeroMaquina(s);
    if (!v) return false;
    t.Classe[static_cast<std::size_t>(linha)] = *v;
    return true;
}

std::string TextoCliqueBarra(const TabelaResultados& t, std::int32_t contagem) {
    const double p = t.NumLinhas > 0 ? contagem * 100.0 / t.NumLinhas : 0.0;
    return std::to_string(contagem) + " " + FormataPercentual(p);
}

void DaClassesIniciais(TabelaResultados& t, EstadoEscala& e) {
    if (!t.SemClasses && t.NumClasses >= 2 && t.NumClasses <= MaxClasses) return;
    t.IndCor = PaletaNormal;
    e.Modo = ModoClasses::IgualValor;
    t.NumClasses = ClassesIniciais;
    MontaPaleta(t, PaletaNormal);
    // The limits read the column's values in ascending order themselves, so the
    // display order need not change for them.
    CalculaLimitesClasses(t, e.Modo);
    t.SemClasses = false;
}

std::int32_t ColunaSemPerguntar(const TabelaResultados& t) { return t.NumColunas() == 1 ? 1 : 0; }

bool PreparaHistograma(TabelaResultados& t, std::int32_t coluna, EstadoEscala& e, OrdemAnterior& ordem) {
    if (!ColunaValida(t, coluna)) return false;
    t.ColunaMapa = coluna;
    ordem = OrdemAnterior{};
    if (t.ColunaOrdem != coluna) {
        ordem.Reordenou = true;
        ordem.Coluna = t.ColunaOrdem;
        ordem.Decrescente = t.OrdemDecrescente;
        ordem.Ordem.assign(t.Ordem().begin(), t.Ordem().end());
        OrdenaTabela(t, coluna);
    }
    CalculaExtremos(t);
    DaClassesIniciais(t, e);
    return true;
}

void TerminaHistograma(TabelaResultados& t, const OrdemAnterior& ordem) {
    if (!ordem.Reordenou) return;
    auto atual = t.Ordem();
    if (ordem.Ordem.size() == atual.size()) {
        std::copy(ordem.Ordem.begin(), ordem.Ordem.end(), atual.begin());
        t.ColunaOrdem = ordem.Coluna >= 0 && ordem.Coluna <= t.NumColunas() ? ordem.Coluna : 0;
    } else {
        OrdenaPorColuna(t, ordem.Coluna >= 0 && ordem.Coluna <= t.NumColunas() ? ordem.Coluna : 0);
    }
    t.OrdemDecrescente = ordem.Decrescente;
}

} // namespace dorvan

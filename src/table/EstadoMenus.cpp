#include "table/EstadoMenus.h"

#include "table/OperacoesColunas.h"

#include <algorithm>

namespace dorvan {

EstadoMenus EstadoDosMenus(const TabelaResultados& t) {
    EstadoMenus e;
    e.descritivas = e.histograma = t.NumColunas() >= 1;
    e.correlacao = e.regressao = t.NumColunas() >= 2;
    e.textoMostraChave = TextoMostrarChave(t);
    e.mostraChave = !e.textoMostraChave.empty();
    e.fixaChave = e.sequencia = t.NumLinhas > 0;
    struct Limiar {
        const char* item;
        int colunas;
    };
    constexpr Limiar Limiares[] = {{"Graficovazio1", 0}, {"Linhas1", 0}, {"Barras1", 0}, {"BarrasHorizontais1", 0},
                                   {"Setores1", 0},      {"Areas1", 0},  {"Mapa1", 0},   {"Scater1", 1},
                                   {"Setas1", 1},        {"Bolhas1", 2}};
    for (const Limiar& l : Limiares)
        e.grafico.emplace_back(l.item, t.NumColunas() > l.colunas);
    return e;
}

std::string_view RespostaExpressao(std::string_view resposta) { return resposta.substr(0, MaxExpressao); }

std::string TituloJanelaCabecalho(const TabelaResultados& t) { return "Dorvan : " + t.Titulo1; }

std::vector<int> LargurasAposMover(std::vector<int> larguras, std::int32_t de, std::int32_t para) {
    const auto n = static_cast<std::int32_t>(larguras.size());
    if (de < 1 || para < 1 || de > n || para > n || de == para) return larguras;
    auto i = larguras.begin();
    if (de < para)
        std::rotate(i + (de - 1), i + de, i + para);
    else
        std::rotate(i + (para - 1), i + (de - 1), i + de);
    return larguras;
}

bool TransposicaoRecusada(const TabelaResultados& t) {
    return t.NumLinhas >= MaxColunas || t.NumLinhas < 1 || t.NumColunas() < 1;
}

} // namespace dorvan

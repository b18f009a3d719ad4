#pragma once
// What the main window's menus show when they open, and the small decisions of
// its commands that do not need a window, so tests reach them without one.
#include "table/TabelaResultados.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace dorvan {

struct EstadoMenus {
    // "Estatísticas": descriptive statistics and the histogram need a column,
    // correlation and regression two.
    bool descritivas = false, histograma = false, correlacao = false, regressao = false;
    // "Quadro": the row-code item only when the labels carry a code, with its caption.
    bool mostraChave = false;
    std::string textoMostraChave;
    bool fixaChave = false; // "Fixar comprimento da Chave": with rows
    // "Operações": "Seqüência" with rows.
    bool sequencia = false;
    // "Gráfico": each item by its name, enabled when the table has more columns
    // than the item needs to exceed (none for most, one for points and arrows,
    // two for bubbles).
    std::vector<std::pair<const char*, bool>> grafico;
};
EstadoMenus EstadoDosMenus(const TabelaResultados& t);

// The longest expression "Nova coluna" takes.
inline constexpr std::size_t MaxExpressao = 255;
// The answer typed in "Nova coluna", cut to what the command takes.
std::string_view RespostaExpressao(std::string_view resposta);

// Window caption after "Cabeçalho1": "Dorvan : " + the title.
std::string TituloJanelaCabecalho(const TabelaResultados& t);

// The grid's pixel widths of columns 1..n after the menu moved column de to
// para: they shift with their columns, the moved one keeps its own.
std::vector<int> LargurasAposMover(std::vector<int> larguras, std::int32_t de, std::int32_t para);

// Whether transposing would be refused (too many rows, or nothing to transpose):
// the window then leaves the table as it is, without offering to save it.
bool TransposicaoRecusada(const TabelaResultados& t);

} // namespace dorvan

#include "table/EdicaoTabela.h"

#include "data/UConvert.h"

#include <algorithm>
#include <array>

namespace dorvan {

namespace {

std::string ParaComparar(std::string_view s, bool diferenciaMaiusculas) {
    return diferenciaMaiusculas ? TiraAcentos(s) : MaiusculasSemAcento(s);
}

} // namespace

bool RotuloContem(std::string_view rotulo, std::string_view texto, bool diferenciaMaiusculas) {
    if (texto.empty()) return false;
    return ParaComparar(rotulo, diferenciaMaiusculas).find(ParaComparar(texto, diferenciaMaiusculas)) !=
           std::string::npos;
}

std::int32_t LocalizaRotulo(const TabelaResultados& t, std::string_view texto, bool diferenciaMaiusculas,
                            bool paraBaixo, std::int32_t inicio) {
    if (texto.empty()) return 0;
    const std::string procurado = ParaComparar(texto, diferenciaMaiusculas);
    const std::int32_t ultima = t.NumLinhas + 1;
    auto achou = [&](std::int32_t g) {
        const std::int32_t r = LinhaReal(t, g);
        return r >= 1 && ParaComparar(t.Rotulo(r), diferenciaMaiusculas).find(procurado) != std::string::npos;
    };
    if (paraBaixo) {
        for (std::int32_t g = std::max(inicio, 2); g <= ultima; ++g)
            if (achou(g)) return g;
    } else {
        for (std::int32_t g = std::min(inicio, ultima); g >= 2; --g)
            if (achou(g)) return g;
    }
    return 0;
}

std::int32_t LocalizaDesdeOTopo(const TabelaResultados& t, std::string_view texto, bool diferenciaMaiusculas,
                                bool paraBaixo, std::int32_t topo) {
    return LocalizaRotulo(t, texto, diferenciaMaiusculas, paraBaixo, paraBaixo ? topo + 1 : topo - 1);
}

std::string MensagemNaoEncontrado(std::string_view texto) {
    return "\"" + std::string(texto) + "\" n\xE3o encontrado!";
}

void ConverteRotulosDOS(TabelaResultados& t) {
    for (std::int32_t r = 1; r <= t.NumLinhas; ++r) t.Rotulo(r) = OemParaAnsi(t.Rotulo(r));
}

std::string ExtensaoDoTipoSalvar(int indice) {
    static const std::array<const char*, 11> extensoes = {"prn", "htm", "tab", "cnv", "",   "dbf",
                                                          "xls", "sql", "csv", "xml", "pdb"};
    if (indice < 1 || indice > static_cast<int>(extensoes.size())) return {};
    return extensoes[static_cast<std::size_t>(indice - 1)];
}

} // namespace dorvan

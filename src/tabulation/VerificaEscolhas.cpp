#include "tabulation/VerificaEscolhas.h"

#include <algorithm>

namespace dorvan::tabulacao {

bool VerificaEscolhas(const DefTabulacao& def, const OpcoesTabulacao& op, Mensagens& msg, Escolhas& e) {
    std::vector<int>& incr = e.incrementos;
    for (int i : op.Incrementos)
        if (i >= 0 && i < static_cast<int>(def.ListIncr.size())) incr.push_back(i);
    const bool temColuna = op.Coluna > 0 && op.Coluna < static_cast<int>(def.ListColunas.size());
    e.temColuna = temColuna;
    if (op.Arquivos.empty()) {
        msg.Mostra("Nenhum arquivo selecionado!");
        return false;
    }
    if (op.Linha < 0 || op.Linha >= static_cast<int>(def.ListLinha.size())) {
        msg.Mostra("Linha n\xE3o Selecionada");
        return false;
    }
    if (incr.size() > 1 && temColuna) {
        msg.Mostra("M\xFAltiplas colunas \xE9 incompat\xEDvel com m\xFAltiplos incrementos");
        return false;
    }
    if (incr.size() > 255) {
        msg.Mostra("Numero de incrementos selecionados excede 255");
        return false;
    }
    const int numSel = static_cast<int>(std::min<std::size_t>(def.ListSelecao.size(), MaxSelecoes));
    for (int s = 0; s < numSel; ++s) {
        const TDimensao& d = def.Selecao(s);
        bool algum =
            d.NumCategorias > 0 && std::any_of(d.Marcadas.begin(), d.Marcadas.end(), [](auto m) { return m != 0; });
        if (!algum) {
            msg.Mostra("Nenhuma categoria selecionada em " +
                       def.ListSelecao[static_cast<std::size_t>(s)].substr(0, 18));
            return false;
        }
    }
    e.numSelecoes = numSel;
    return true;
}

} // namespace dorvan::tabulacao

#include "tabulation/Classificador.h"

namespace dorvan::tabulacao {

Vista VistaCampo(const CampoDBF& c) {
    Vista v;
    v.desloc = c.Deslocamento;
    v.tam = v.existe = c.Tamanho;
    return v;
}

Vista VistaDe(const TDimensao& d, const dbfRecord& h) {
    const ExtensaoCodigo e = ExtensaoDaDimensao(d, h);
    Vista v;
    v.desloc = static_cast<std::uint32_t>(e.desloc);
    v.tam = static_cast<std::uint32_t>(e.tamanho);
    v.existe = static_cast<std::uint32_t>(e.existe);
    if (v.existe < v.tam) v.extensao.assign(e.tamanho, ' ');
    return v;
}

} // namespace dorvan::tabulacao

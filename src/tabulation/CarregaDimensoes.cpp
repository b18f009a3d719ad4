#include "tabulation/CarregaDimensoes.h"

#include "platform/Arquivos.h"

#include <algorithm>

namespace dorvan::tabulacao {

namespace {

std::string TituloItem(const std::string& item) { return TiraBrancosDir(item.substr(0, 18)); }

// Cells from which the columns are added during the reading (64 MB).
constexpr std::int64_t kCelulasAdiadas = std::int64_t{1} << 23;

} // namespace

std::int32_t ColunasDaTabela(const TabelaResultados& t, const FormaTabela& f) {
    const auto adiadas = static_cast<std::int64_t>(f.colunasAdiadas.size());
    return t.NumColunas() + static_cast<std::int32_t>(std::min<std::int64_t>(adiadas, MaxColunas - t.NumColunas()));
}

bool CarregaDimensoes(DefTabulacao& def, const OpcoesTabulacao& op, const Escolhas& e, TabelaResultados& t,
                      FormaTabela& f) {
    const int modo = std::clamp(op.ModoNaoClassificados, 0, 2);
    f.modo = modo;
    LinhasExtras = modo == 2 ? LinhasDiscriminadas : 0;
    TDimensao& dLinha = def.Dimensoes[0];
    TDimensao& dColuna = def.Dimensoes[1];
    f.linha = &dLinha;
    const bool temColuna = e.temColuna;
    f.temColuna = temColuna;
    if (temColuna) f.coluna = &dColuna;
    LiberaDimensao(dLinha);
    LiberaDimensao(dColuna);
    if (!LeDimensao(def.ListLinha[static_cast<std::size_t>(op.Linha)], MaximoLinhas, dLinha)) return false;
    const std::int32_t N = dLinha.NumCategorias;
    const std::int32_t cap = modo == 2 ? N + 1 + LinhasDiscriminadas : N + 1;
    f.N = N;
    f.cap = cap;
    t.AlocaLinhas(cap, N);
    t.Coluna(0).NomeColuna = dLinha.Titulo.substr(0, MaxTituloColuna);
    t.ColunaOrdem = 0;
    t.OrdemDecrescente = false;
    for (std::int32_t k = 1; k <= N; ++k)
        t.Rotulo(k) = dLinha.NomesCategoria[static_cast<std::size_t>(k)];
    t.Rotulo(cap) = kNaoClassificados;

    std::vector<std::string>& titulosIncr = f.titulosIncr;
    std::vector<std::string>& camposIncr = f.camposIncr;
    for (int i : e.incrementos) {
        const std::string& item = def.ListIncr[static_cast<std::size_t>(i)];
        titulosIncr.push_back(TituloItem(item));
        // Item 0 is the frequency whatever "G" lines appended to its text.
        if (i == 0 || item == ItemFrequencia) {
            camposIncr.emplace_back();
        } else {
            std::string campo = MaiusculasAscii(TiraBrancos(item.size() > 18 ? item.substr(18) : std::string()));
            campo = campo.substr(0, campo.find(','));
            camposIncr.push_back(campo.substr(0, 10));
        }
        if (!temColuna) AcrescentaColuna(t, titulosIncr.back(), 0);
    }
    if (temColuna) {
        if (!LeDimensao(def.ListColunas[static_cast<std::size_t>(op.Coluna)], MaximoColunas, dColuna)) {
            LiberaDimensao(dLinha);
            LiberaTabela(t);
            return false;
        }
        dColuna.Ativa = 1;
        // A wide table's cells (hundreds of megabytes) are laid out during the reading.
        const bool adia = static_cast<std::int64_t>(cap) * dColuna.NumCategorias >= kCelulasAdiadas;
        for (std::int32_t k = 1; k <= dColuna.NumCategorias; ++k)
            if (adia)
                f.colunasAdiadas.push_back(dColuna.NomesCategoria[static_cast<std::size_t>(k)]);
            else
                AcrescentaColuna(t, dColuna.NomesCategoria[static_cast<std::size_t>(k)], 0);
    } else if (e.incrementos.empty()) {
        AcrescentaColuna(t, "Freq\xFC\xEAncia", 0);
    }
    def.NumSelecoes = e.numSelecoes;

    // Titles.
    std::string titulo2;
    for (const auto& ti : titulosIncr)
        titulo2 += (titulo2.empty() ? "" : " ") + ti;
    if (temColuna) titulo2 += " por " + dColuna.Titulo;
    titulo2 += " segundo " + dLinha.Titulo;
    t.Titulo1 = def.Titulo1;
    t.Titulo2 = titulo2.substr(0, 80);
    t.Rodape = def.Rodape;
    return true;
}

} // namespace dorvan::tabulacao

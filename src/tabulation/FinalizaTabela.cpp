#include "tabulation/FinalizaTabela.h"

#include <algorithm>
#include <vector>

namespace dorvan::tabulacao {

void FinalizaTabela(TabelaResultados& t, const FormaTabela& f, const OpcoesTabulacao& op, LogExecucao& log) {
    const TDimensao& dLinha = *f.linha;
    const std::int32_t N = f.N;
    // Column totals: rows with a negative value stay out.
    for (std::int32_t c = 1; c <= t.NumColunas(); ++c) {
        double total = 0;
        for (std::int32_t k = 1; k <= N; ++k)
            if (dLinha.Valores[static_cast<std::size_t>(k)] >= 0) total += t.Dado(c, k);
        for (std::int32_t k = N + 1; k <= t.NumLinhas; ++k)
            total += t.Dado(c, k);
        t.Coluna(c).Total = total;
    }
    // Empty columns.
    if (f.temColuna && op.SupColunas) {
        std::vector<std::int32_t> vazias;
        for (std::int32_t c = 1; c <= t.NumColunas(); ++c)
            if (t.Coluna(c).Total == 0) vazias.push_back(c);
        EliminaColunas(t, vazias);
        if (t.NumColunas() == 0) log.Acrescenta("NENHUM REGISTRO SELECIONADO");
    }
    // Subtotal rows, from the last up so chains pass their sums on.
    for (std::int32_t k = N; k >= 1; --k) {
        std::int32_t alvo = dLinha.Valores[static_cast<std::size_t>(k)];
        if (alvo <= 0) continue;
        if (alvo > N || alvo == k) {
            log.Acrescenta("Linha " + std::to_string(k) + ": subtotal na linha " + std::to_string(alvo) + " ignorado");
            continue;
        }
        for (std::int32_t c = 1; c <= t.NumColunas(); ++c)
            t.Dado(c, alvo) += t.Dado(c, k);
    }
    // The "Total" column.
    const std::int32_t nc = t.NumColunas();
    if (f.temColuna && nc > 1 && AcrescentaColuna(t, "Total", t.Coluna(1).Decimais)) {
        double total = 0;
        for (std::int32_t c = 1; c <= nc; ++c)
            total += t.Coluna(c).Total;
        // Column by column: the cells of a column lie together, and each row still adds
        // its cells from the first column on.
        const std::int32_t cap = t.CapLinhas();
        std::vector<double> soma(static_cast<std::size_t>(cap) + 1, 0.0);
        for (std::int32_t c = 1; c <= nc; ++c)
            for (std::int32_t k = 1; k <= cap; ++k)
                soma[static_cast<std::size_t>(k)] += t.Dado(c, k);
        for (std::int32_t k = 1; k <= cap; ++k)
            t.Dado(nc + 1, k) = soma[static_cast<std::size_t>(k)];
        t.Coluna(nc + 1).Total = total;
    }
    // Empty rows.
    if (op.SupLinhas) {
        std::vector<char> algum(static_cast<std::size_t>(t.NumLinhas) + 1, 0);
        for (std::int32_t c = 1; c <= t.NumColunas(); ++c)
            for (std::int32_t k = 1; k <= t.NumLinhas; ++k)
                if (t.Dado(c, k) != 0) algum[static_cast<std::size_t>(k)] = 1;
        std::vector<std::int32_t> manter;
        for (std::int32_t k = 1; k <= t.NumLinhas; ++k)
            if (algum[static_cast<std::size_t>(k)]) manter.push_back(k);
        MantemLinhas(t, manter);
    }
    // Widths, code prefix, map.
    std::int32_t larg0 = static_cast<std::int32_t>(t.NomeColuna(0).size()) + 1;
    for (std::int32_t k = 1; k <= t.NumLinhas; ++k)
        larg0 = std::max(larg0, static_cast<std::int32_t>(t.Rotulo(k).size()));
    t.Coluna(0).Largura = larg0;
    for (std::int32_t c = 1; c <= t.NumColunas(); ++c) {
        ColunaResultados& col = t.Coluna(c);
        col.Largura =
            std::max(static_cast<std::int32_t>(col.NomeColuna.size()) + 1, LarguraValor(col.Decimais, col.Total));
    }
    DetectaCodigo(t);
    if (t.TamCodigo != SemCodigo) t.MostraCodigo = true;
    t.NomeMapa = NomeMapaDaTabela(dLinha.ArquivoTabela, DirMapas, t.NomeMapa);
}

} // namespace dorvan::tabulacao

#include "tabulation/FinalizaTabela.h"

#include <algorithm>
#include <vector>

namespace dorvan::tabulacao {

namespace {

// Column totals (rows with a negative value stay out) and, on the same pass over
// the cells, each row's sum across all columns into `soma` (when asked). Four
// columns go at a time, each still adding its rows in order, as do the row sums
// their columns.
void SomaColunas(TabelaResultados& t, const TDimensao& dLinha, std::int32_t N, std::vector<double>* soma) {
    const std::int32_t nc = t.NumColunas(), cap = t.CapLinhas(), nl = t.NumLinhas;
    std::vector<char> entra(static_cast<std::size_t>(N) + 1, 0);
    for (std::int32_t k = 1; k <= N; ++k)
        entra[static_cast<std::size_t>(k)] = dLinha.Valores[static_cast<std::size_t>(k)] >= 0;
    if (soma) soma->assign(static_cast<std::size_t>(cap) + 1, 0.0);
    std::int32_t c = 1;
    for (; c + 3 <= nc; c += 4) {
        const double* d0 = t.Coluna(c).Dados.data();
        const double* d1 = t.Coluna(c + 1).Dados.data();
        const double* d2 = t.Coluna(c + 2).Dados.data();
        const double* d3 = t.Coluna(c + 3).Dados.data();
        double t0 = 0, t1 = 0, t2 = 0, t3 = 0;
        for (std::int32_t k = 1; k <= N; ++k)
            if (entra[static_cast<std::size_t>(k)]) {
                t0 += d0[k];
                t1 += d1[k];
                t2 += d2[k];
                t3 += d3[k];
            }
        for (std::int32_t k = N + 1; k <= nl; ++k) {
            t0 += d0[k];
            t1 += d1[k];
            t2 += d2[k];
            t3 += d3[k];
        }
        t.Coluna(c).Total = t0;
        t.Coluna(c + 1).Total = t1;
        t.Coluna(c + 2).Total = t2;
        t.Coluna(c + 3).Total = t3;
        if (soma) {
            double* s = soma->data();
            for (std::int32_t k = 1; k <= cap; ++k)
                s[k] = (((s[k] + d0[k]) + d1[k]) + d2[k]) + d3[k];
        }
    }
    for (; c <= nc; ++c) {
        const double* d = t.Coluna(c).Dados.data();
        double total = 0;
        for (std::int32_t k = 1; k <= N; ++k)
            if (entra[static_cast<std::size_t>(k)]) total += d[k];
        for (std::int32_t k = N + 1; k <= nl; ++k)
            total += d[k];
        t.Coluna(c).Total = total;
        if (soma)
            for (std::int32_t k = 1; k <= cap; ++k)
                (*soma)[static_cast<std::size_t>(k)] += d[k];
    }
}

} // namespace

void FinalizaTabela(TabelaResultados& t, const FormaTabela& f, const OpcoesTabulacao& op, LogExecucao& log) {
    const TDimensao& dLinha = *f.linha;
    const std::int32_t N = f.N;
    // Column totals, and the row sums the "Total" column takes when nothing below
    // changes the cells first.
    std::vector<double> somaLinhas;
    bool somaValida = f.temColuna && t.NumColunas() > 1;
    SomaColunas(t, dLinha, N, somaValida ? &somaLinhas : nullptr);
    // Empty columns.
    if (f.temColuna && op.SupColunas) {
        std::vector<std::int32_t> vazias;
        for (std::int32_t c = 1; c <= t.NumColunas(); ++c)
            if (t.Coluna(c).Total == 0) vazias.push_back(c);
        // A column of zeros adds nothing to a row sum (which never holds -0, starting
        // from +0): only a column whose cells cancel out changes the sums.
        for (std::int32_t c : vazias)
            for (double v : t.Coluna(c).Dados)
                if (v != 0) somaValida = false;
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
        somaValida = false;
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
        if (!somaValida) {
            somaLinhas.assign(static_cast<std::size_t>(cap) + 1, 0.0);
            for (std::int32_t c = 1; c <= nc; ++c)
                for (std::int32_t k = 1; k <= cap; ++k)
                    somaLinhas[static_cast<std::size_t>(k)] += t.Dado(c, k);
        }
        for (std::int32_t k = 1; k <= cap; ++k)
            t.Dado(nc + 1, k) = somaLinhas[static_cast<std::size_t>(k)];
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

#pragma once
// Small results tables built in code for the table tests.
#include "table/TabelaResultados.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace dorvan::teste {

struct ColunaTeste {
    std::string titulo;
    std::vector<double> valores;
    std::int32_t decimais = 0;
};

// Labels and columns; every total is the sum of its column (kind "Soma").
inline TabelaResultados MontaTabela(const std::vector<std::string>& rotulos, const std::vector<ColunaTeste>& colunas) {
    TabelaResultados t;
    auto n = static_cast<std::int32_t>(rotulos.size());
    t.AlocaLinhas(n, n);
    for (std::int32_t r = 1; r <= n; ++r)
        t.Rotulo(r) = rotulos[static_cast<std::size_t>(r - 1)];
    for (const ColunaTeste& c : colunas) {
        EXPECT_TRUE(AcrescentaColuna(t, c.titulo, c.decimais));
        std::int32_t k = t.NumColunas();
        for (std::int32_t r = 1; r <= n && r <= static_cast<std::int32_t>(c.valores.size()); ++r)
            t.Dado(k, r) = c.valores[static_cast<std::size_t>(r - 1)];
        CalculaTotal(t, k);
    }
    return t;
}

// Values of column c in data order.
inline std::vector<double> Valores(const TabelaResultados& t, std::int32_t c) {
    std::vector<double> v;
    for (std::int32_t r = 1; r <= t.NumLinhas; ++r)
        v.push_back(t.Dado(c, r));
    return v;
}

inline std::vector<std::string> Titulos(const TabelaResultados& t) {
    std::vector<std::string> r;
    for (std::int32_t c = 1; c <= t.NumColunas(); ++c)
        r.push_back(t.NomeColuna(c));
    return r;
}

inline std::vector<std::string> Rotulos(const TabelaResultados& t) {
    std::vector<std::string> r;
    for (std::int32_t k = 1; k <= t.NumLinhas; ++k)
        r.push_back(t.Rotulo(k));
    return r;
}

// Labels as the grid shows them, top row first.
inline std::vector<std::string> RotulosExibidos(const TabelaResultados& t) {
    std::vector<std::string> r;
    for (std::int32_t g = 2; g <= t.NumLinhas + 1; ++g)
        r.push_back(t.Rotulo(LinhaReal(t, g)));
    return r;
}

// Notes as "row,column:text".
inline std::vector<std::string> NotasDe(const TabelaResultados& t) {
    std::vector<std::string> r;
    for (std::int32_t n = 1; n <= t.NumNotas(); ++n)
        r.push_back(std::to_string(t.Notas(n).Linha) + "," + std::to_string(t.Notas(n).Coluna) + ":" +
                    t.Notas(n).Texto);
    return r;
}

} // namespace dorvan::teste

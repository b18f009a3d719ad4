#pragma once
// The table every export test writes: labels with a code, accents, the signs
// " ' , ; & < and a 1252-only byte, notes on titles, cells and totals, a run log,
// a descending order and zeros.
#include "platform/Texto1252.h"
#include "support/ApoioTeste.h"
#include "table/TabelaResultados.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace dorvan::teste {

inline TabelaResultados TabelaExemplo() {
    TabelaResultados t;
    t.AlocaLinhas(4, 4);
    t.Rotulo(1) = "11 Norte \"grande\", 'amaz\xF4nia'";
    t.Rotulo(2) = "12 Nordeste; & <sert\xE3o>";
    t.Rotulo(3) = "13 S\xE3o Paulo \x80 euro";
    t.Rotulo(4) = "14 Sul";
    t.DefineNomeColuna(0, "Regi\xE3o");
    t.Coluna(0).Largura = 20;
    const std::vector<std::tuple<std::string, int, std::vector<double>>> colunas = {
        {"Popula\xE7\xE3o", 0, {1000, 25000, 0, 123456789}},
        {"Taxa/100 mil", 2, {1.5, -2.25, 0, 10.125}},
        {"1991", 0, {3, 0, 7, 0}},
    };
    for (const auto& [titulo, decimais, valores] : colunas) {
        EXPECT_TRUE(AcrescentaColuna(t, titulo, decimais));
        for (std::int32_t r = 1; r <= 4; ++r)
            t.Dado(t.NumColunas(), r) = valores[static_cast<std::size_t>(r - 1)];
        CalculaTotal(t, t.NumColunas());
    }
    DetectaCodigo(t);
    EXPECT_EQ(t.TamCodigo, 2);
    t.Titulo1 = "Popula\xE7\xE3o residente";
    t.Titulo2 = "Brasil & regi\xF5"
                "es <2020>";
    t.Rodape = "Fonte: \"IBGE\"; 2020";
    t.NomeMapa = "mapas\\regiao.map";
    AcrescentaNota(t, 0, 1, "Fonte; censo");
    AcrescentaNota(t, 2, 2, "Estimativa & <corrigida>");
    AcrescentaNota(t, LinhaTotais, 1, "total");
    OrdenaPorColuna(t, 1);
    t.OrdemDecrescente = true;
    return t;
}

inline const std::vector<std::string> LogExemplo = {"Tabula\xE7\xE3o de teste", "linha <2> & fim"};

// Joins CR LF ended lines.
inline std::string Linhas(const std::vector<std::string>& linhas) {
    std::string r;
    for (const auto& l : linhas)
        r += l + "\r\n";
    return r;
}

// Runs an R script and returns what it printed; the test fails when R fails.
inline std::string RodaR(const PastaTemporaria& pasta, const std::string& script) {
    const std::string arq = pasta.Grava("teste.R", script);
    std::string saida;
    const int rc = Executa("cd '" + pasta.Caminho().string() + "' && Rscript --vanilla '" + arq + "' 2>&1", &saida);
    EXPECT_EQ(rc, 0) << saida;
    return saida;
}

} // namespace dorvan::teste

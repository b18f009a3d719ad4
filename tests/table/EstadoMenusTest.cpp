#include "table/EstadoMenus.h"

#include "table/TabelaTeste.h"

#include <gtest/gtest.h>

namespace dorvan {
namespace {

using teste::MontaTabela;

TEST(EstadoDosMenus, StatisticsNeedColumnsAndTheKeyItemNeedsACode) {
    struct Caso {
        std::vector<std::string> rotulos;
        std::vector<teste::ColunaTeste> colunas;
        bool descritivas, correlacao, mostraChave;
        std::string texto;
    };
    const std::vector<Caso> casos = {
        {{"a", "b"}, {}, false, false, false, ""},
        {{"a", "b"}, {{"X", {1, 2}}}, true, false, false, ""},
        {{"11 a", "12 b"}, {{"X", {1, 2}}, {"Y", {3, 4}}}, true, true, true, "Esconder C&have"},
    };
    for (const Caso& c : casos) {
        TabelaResultados t = MontaTabela(c.rotulos, c.colunas);
        DetectaCodigo(t);
        const EstadoMenus e = EstadoDosMenus(t);
        EXPECT_EQ(e.descritivas, c.descritivas);
        EXPECT_EQ(e.histograma, c.descritivas);
        EXPECT_EQ(e.correlacao, c.correlacao);
        EXPECT_EQ(e.regressao, c.correlacao);
        EXPECT_EQ(e.mostraChave, c.mostraChave);
        EXPECT_EQ(e.textoMostraChave, c.texto);
        EXPECT_TRUE(e.sequencia);
        EXPECT_TRUE(e.fixaChave);
    }
    EXPECT_FALSE(EstadoDosMenus(TabelaResultados{}).sequencia);
}

TEST(LargurasAposMover, WidthsFollowTheirColumns) {
    const std::vector<int> l{10, 20, 30, 40, 50};
    EXPECT_EQ(LargurasAposMover(l, 5, 2), (std::vector<int>{10, 50, 20, 30, 40}));
    EXPECT_EQ(LargurasAposMover(l, 1, 4), (std::vector<int>{20, 30, 40, 10, 50}));
    EXPECT_EQ(LargurasAposMover(l, 3, 3), l);
    EXPECT_EQ(LargurasAposMover(l, 0, 3), l);
    EXPECT_EQ(LargurasAposMover(l, 2, 6), l);
}

TEST(TransposicaoRecusada, OnlyTablesWithRowsAndColumnsBelowTheColumnLimit) {
    TabelaResultados t = MontaTabela({"a"}, {{"X", {1}}});
    EXPECT_FALSE(TransposicaoRecusada(t));
    t.DefineCapLinhas(MaxColunas);
    t.NumLinhas = MaxColunas - 1;
    EXPECT_FALSE(TransposicaoRecusada(t));
    t.NumLinhas = MaxColunas;
    EXPECT_TRUE(TransposicaoRecusada(t));
    EXPECT_TRUE(TransposicaoRecusada(MontaTabela({"a"}, {})));
}

TEST(RespostaExpressao, CutTo255Characters) {
    const std::string longa(300, '1');
    EXPECT_EQ(RespostaExpressao(longa).size(), MaxExpressao);
    EXPECT_EQ(RespostaExpressao("C1+C2"), "C1+C2");
}

} // namespace
} // namespace dorvan

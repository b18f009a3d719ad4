#include "table/Formula.h"

#include "platform/Mensagens.h"
#include "table/TabelaTeste.h"

#include <gtest/gtest.h>

#include <cmath>

namespace dorvan {
namespace {

using teste::MontaTabela;
using teste::Valores;

// Pop (0 decimals), Obitos (1), and a title with a blank (2).
TabelaResultados TabelaBase() {
    return MontaTabela({"A", "B", "C"},
                       {{"Pop", {100, 200, 0}, 0}, {"Obitos", {5, 10, 3}, 1}, {"Taxa bruta", {2, 8, 1}, 2}});
}

TEST(Formula, PostfixOrderFollowsLevelsAndGrouping) {
    struct Caso {
        const char* expressao;
        const char* posfixa;
    } casos[] = {
        {"C2/C1*1000", "C2 C1 / 1000 * "},
        {"2^3^2", "2 3 2 ^ ^ "},   // ^ groups from the right
        {"8-3-2", "8 3 - 2 - "},   // - from the left
        {"LN EXP 2", "2 EXP LN "}, // two functions in a row do not pop each other
        {"LN C1+2", "C1 LN 2 + "},
        {"-C1", "C1 - "},      // a leading minus is an operator
        {"C1 -C2", "C1 -C2 "}, // a minus after a blank sticks to what follows
        {"c1-c2", "C1 C2 - "},
        {"2*-3", "2 -3 * "},
        {"(C1+C2)*C3", "C1 C2 + C3 * "},
        {"(C1", "C1 ( "}, // the check refuses the stray "("
        {"", ""},
    };
    for (const Caso& c : casos) {
        auto p = PosFixa(c.expressao);
        ASSERT_TRUE(p.has_value()) << c.expressao;
        EXPECT_EQ(*p, c.posfixa) << c.expressao;
    }
    EXPECT_FALSE(PosFixa(")").has_value());
    EXPECT_FALSE(PosFixa("C1)+(C2").has_value());
}

TEST(Formula, ColumnValuesTotalsAndDecimals) {
    struct Caso {
        const char* resposta;
        std::vector<double> valores;
        double total;
        std::int32_t decimais;
    } casos[] = {
        {"C2/C1*1000", {50, 50, 0}, 18.0 / 300 * 1000, 1}, // zero divisor gives 0; total over the totals
        {"2^3^2", {512, 512, 512}, 512, 0},
        {"8-3-2", {3, 3, 3}, 3, 0},
        {"0-C1", {-100, -200, 0}, -300, 0},
        {"C1 - C2", {95, 190, -3}, 282, 1},
        {"C1-C2", {95, 190, -3}, 282, 1},
        {"C1*2,5", {250, 500, 0}, 750, 1},
        {"C1*2.5", {250, 500, 0}, 750, 1},
        {"obitos/POP", {0.05, 0.05, 0}, 0.06, 1}, // titles without blanks, any case
        {"C3*2", {4, 16, 2}, 22, 2},
        {"LN 0", {0, 0, 0}, 0, 0},
        {"LN(C2-C2-1)", {0, 0, 0}, 0, 1}, // logarithm of a negative value
        {"(0-8)^0,5", {0, 0, 0}, 0, 1},   // x^y is 0 for x <= 0
        {"C2^2", {25, 100, 9}, 18 * 18, 1},
        {"EXP 1000", {0, 0, 0}, 0, 0}, // overflow never reaches a cell
        {"1.234,5", {1234.5, 1234.5, 1234.5}, 1234.5, 1},
        {"(C1+C2)*2", {210, 420, 6}, 636, 1},
        // Cases where a skipped guard would still leave a finite, wrong value.
        {"C2/C1+1", {1.05, 1.05, 1}, 1.06, 1},
        {"LN 0+5", {5, 5, 5}, 5, 0},
        {"EXP(LN(0-1))", {1, 1, 1}, 1, 0},
        {"(0-2)^2", {0, 0, 0}, 0, 0},
        {"0^0", {0, 0, 0}, 0, 0},
    };
    for (const Caso& c : casos) {
        TabelaResultados t = TabelaBase();
        MensagensRoteiro m;
        UsaMensagens usa(m);
        ASSERT_TRUE(NovaColuna(t, c.resposta)) << c.resposta;
        EXPECT_TRUE(m.Textos().empty()) << c.resposta;
        ASSERT_EQ(t.NumColunas(), 4);
        const ColunaResultados& col = t.Coluna(4);
        EXPECT_EQ(col.NomeColuna, c.resposta);
        EXPECT_EQ(col.Decimais, c.decimais) << c.resposta;
        EXPECT_EQ(col.TipoTotal, TipoTotal::PreCalculado);
        EXPECT_EQ(col.Largura, 13);
        EXPECT_TRUE(t.Modificada);
        std::vector<double> v = Valores(t, 4);
        for (std::size_t i = 0; i < v.size(); ++i)
            EXPECT_NEAR(v[i], c.valores[i], 1e-9) << c.resposta << " row " << i + 1;
        EXPECT_NEAR(col.Total, c.total, 1e-9) << c.resposta;
    }
}

TEST(Formula, TitleBeforeTheEqualsSign) {
    TabelaResultados t = TabelaBase();
    ASSERT_TRUE(NovaColuna(t, "Taxa=C2/C1*1000"));
    EXPECT_EQ(t.NomeColuna(4), "Taxa");
    EXPECT_EQ(Valores(t, 4), (std::vector<double>{50, 50, 0}));
    ASSERT_TRUE(NovaColuna(t, " Dobro = C1*2"));
    EXPECT_EQ(t.NomeColuna(5), "Dobro");
    // The new column can be named by its title in the next expression.
    ASSERT_TRUE(NovaColuna(t, "taxa+dobro"));
    EXPECT_EQ(Valores(t, 6), (std::vector<double>{250, 450, 0}));
}

TEST(Formula, AccentedTitlesMatchInAnyCase) {
    TabelaResultados t = MontaTabela({"A"}, {{"\xD3"
                                              "bitos",
                                              {4}}});
    ASSERT_TRUE(NovaColuna(t, "\xF3"
                              "bitos*2"));
    EXPECT_EQ(t.Dado(2, 1), 8);
}

TEST(Formula, LnOfExpIsTheArgument) {
    TabelaResultados t = TabelaBase();
    ASSERT_TRUE(NovaColuna(t, "LN EXP 2"));
    EXPECT_NEAR(t.Dado(4, 1), 2, 1e-12);
}

TEST(Formula, MalformedExpressionsAreRefusedWithTheirMessage) {
    struct Caso {
        const char* expressao;
        std::string mensagem;
    } casos[] = {
        {"", "Express\xE3o vazia"},
        {"()", "Express\xE3o vazia"},
        {")", ") n\xE3o identificado"},
        {"C1)", ") n\xE3o identificado"},
        {"(C1", "( n\xE3o identificado"},
        {"LN", "Fun\xE7\xE3o LN necessita de um operando!"},
        {"exp", "Fun\xE7\xE3o EXP necessita de um operando!"},
        {"C1 C2", "Falta operador na express\xE3o"},
        {"C99", "C99 n\xE3o identificado"},
        {"C4", "C4 n\xE3o identificado"}, // the new column itself
        {"C0", "C0 n\xE3o identificado"},
        {"xyz*2", "XYZ n\xE3o identificado"},
        {"Taxa bruta", "TAXA n\xE3o identificado"}, // a title with a blank is two words
        {"-C1", "Opera\xE7\xE3o - necessita de dois operandos!"},
        {"C1+", "Opera\xE7\xE3o + necessita de dois operandos!"},
        {"C1 -C2", "-C2 n\xE3o identificado"},
        {"1,2,3", "1,2,3 n\xE3o identificado"},
        {"1E999", "1E999 n\xE3o identificado"},
    };
    for (const Caso& c : casos) {
        TabelaResultados t = TabelaBase();
        MensagensRoteiro m;
        UsaMensagens usa(m);
        EXPECT_FALSE(NovaColuna(t, c.expressao)) << c.expressao;
        EXPECT_EQ(m.Textos(), std::vector<std::string>{c.mensagem}) << c.expressao;
        EXPECT_EQ(t.NumColunas(), 3) << c.expressao;
        EXPECT_FALSE(t.Modificada) << c.expressao;
    }
}

TEST(Formula, ColumnLimitAddsNothingSilently) {
    TabelaResultados t = TabelaBase();
    while (t.NumColunas() < MaxColunas)
        ASSERT_TRUE(AcrescentaColuna(t, "x", 0));
    MensagensRoteiro m;
    UsaMensagens usa(m);
    EXPECT_FALSE(NovaColuna(t, "C1*2"));
    EXPECT_TRUE(m.Textos().empty());
    EXPECT_EQ(t.NumColunas(), MaxColunas);
}

TEST(Formula, CheckRewritesTitlesAsColumnNumbers) {
    TabelaResultados t = TabelaBase();
    auto p = PosFixa("obitos/pop*1000");
    ASSERT_TRUE(p);
    std::int32_t decimais = -1;
    std::string nova;
    Formula f;
    ASSERT_TRUE(ValidaExpressao(t, 3, *p, decimais, nova, f));
    EXPECT_EQ(nova, "C2 C1 / 1000 * ");
    EXPECT_EQ(decimais, 1);
    EXPECT_DOUBLE_EQ(AvaliaFormula(f, [](std::int32_t n) { return n == 1 ? 4.0 : 2.0; }), 500);
}

} // namespace
} // namespace dorvan

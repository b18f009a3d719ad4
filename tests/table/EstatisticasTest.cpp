#include "table/Estatisticas.h"

#include "table/OperacoesColunas.h"
#include "table/TabelaTeste.h"

#include <QLocale>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace dorvan {
namespace {

using teste::MontaTabela;
using teste::Valores;

// Keeps a default locale for one test.
class UsaLocale {
public:
    explicit UsaLocale(const QLocale& l) { QLocale::setDefault(l); }
    ~UsaLocale() { QLocale::setDefault(anterior_); }

private:
    QLocale anterior_;
};

std::string Linha(const std::string& rotulo, const std::string& valor) {
    std::string s = rotulo;
    s.resize(23, ' ');
    return s + '\t' + valor;
}

// Reference figures computed by R 4 for these data:
//   x <- c(1.5, 2, 3.75, 4, 5.25, 6.75, 7, 8.125)
//   y <- c(2.3, 2.9, 5.1, 4.8, 7.2, 8.9, 8.1, 10.4)
//   f <- lm(y ~ x); coef(f); cor(x, y); cor(x, y)^2; summary(f)$sigma
//   var(y); var(y) * 7 / 8; fitted(f)
const std::vector<double> X = {1.5, 2, 3.75, 4, 5.25, 6.75, 7, 8.125};
const std::vector<double> Y = {2.3, 2.9, 5.1, 4.8, 7.2, 8.9, 8.1, 10.4};
constexpr double RIntercepto = 0.48029122925838241;
constexpr double RInclinacao = 1.194988147646461;
constexpr double RCorrelacao = 0.99012126173634463;
constexpr double RDeterminacao = 0.98034011294237111;
constexpr double RErroPadrao = 0.43897102846701619;
constexpr double RVarianciaAmostra = 8.401250000000001;
constexpr double RVariancia = 7.3510937500000004;
const std::vector<double> RAjustados = {2.2727734507280726, 2.870267524551303,  4.9614967829326115, 5.2602438198442263,
                                        6.7539790044023027, 8.5464612258719956, 8.8452082627836095, 10.189569928885879};

std::vector<double> Desloca(std::vector<double> v, double d) {
    for (double& x : v)
        x += d;
    return v;
}

TEST(Estatisticas, DescriptiveLinesOfOneToFour) {
    UsaLocale pt(QLocale(QLocale::Portuguese, QLocale::Brazil));
    TabelaResultados t = MontaTabela({"a", "b", "c", "d"}, {{"Valor", {3, 1, 4, 2}, 4}});
    std::vector<std::string> esperadas = {
        "Estat\xEDsticas da coluna Valor",
        "",
        Linha("Contagem", "        4"),
        Linha("Soma", "  10,0000"),
        Linha("M\xE9"
              "dia",
              "   2,5000"),
        Linha("Mediana", "   2,5000"),
        Linha("M\xEDnimo", "   1,0000"),
        Linha("M\xE1ximo", "   4,0000"),
        Linha("Amplitude de varia\xE7\xE3o", "   3,0000"),
        Linha("Vari\xE2ncia", "   1,2500"),
        Linha("Desvio padr\xE3o", "   1,1180"),
        Linha("Vari\xE2ncia     (amostra)", "   1,6667"),
        Linha("Desvio padr\xE3o (amostra)", "   1,2910"),
        Linha("Coeficiente de varia\xE7\xE3o", "   0,5164"),
        "",
        "",
    };
    EXPECT_EQ(EstatisticasColuna(t, 1), esperadas);
    EXPECT_EQ(esperadas[2].substr(0, 24), "Contagem" + std::string(15, ' ') + "\t");
}

TEST(Estatisticas, ZerosLineAndNoVariationCoefficientForNonPositiveMean) {
    UsaLocale pt(QLocale(QLocale::Portuguese, QLocale::Brazil));
    TabelaResultados t = MontaTabela({"a", "b", "c"}, {{"V", {-2000, 0, 500}, 0}});
    auto linhas = EstatisticasColuna(t, 1);
    // sample variance 1 750 000: w = LarguraValor(0, 1750000) + 1 = 11
    EXPECT_EQ(linhas[3], Linha("Valores zerados", "          1"));
    EXPECT_EQ(linhas[4], Linha("Soma", "     -1.500"));
    EXPECT_EQ(linhas[7], Linha("M\xEDnimo", "     -2.000"));
    EXPECT_EQ(linhas[12], Linha("Vari\xE2ncia     (amostra)", "  1.750.000"));
    for (const std::string& l : linhas)
        EXPECT_EQ(l.find("Coeficiente"), std::string::npos);
    EXPECT_EQ(linhas.size(), 16u);
}

TEST(Estatisticas, SampleAndPopulationVarianceMatchR) {
    QLocale semGrupos = QLocale::c();
    semGrupos.setNumberOptions(QLocale::OmitGroupSeparator);
    UsaLocale c(semGrupos);
    for (double desvio : {0.0, 1e8}) {
        TabelaResultados t = MontaTabela({"1", "2", "3", "4", "5", "6", "7", "8"}, {{"Y", Desloca(Y, desvio), 6}});
        auto linhas = EstatisticasColuna(t, 1);
        auto valor = [&](std::size_t i) { return std::stod(linhas[i].substr(24)); };
        EXPECT_NEAR(valor(9), RVariancia, 1e-6) << desvio;
        EXPECT_NEAR(valor(11), RVarianciaAmostra, 1e-6) << desvio;
        EXPECT_NEAR(valor(12), std::sqrt(RVarianciaAmostra), 1e-6) << desvio;
        EXPECT_NEAR(valor(5), 6.15 + desvio, 1e-6) << desvio; // median
    }
}

TEST(Estatisticas, RegressionMatchesR) {
    TabelaResultados t = MontaTabela({"1", "2", "3", "4", "5", "6", "7", "8"}, {{"X", X, 3}, {"Y", Y, 1}});
    auto aj = AjustaReta(t, 1, 2);
    ASSERT_TRUE(aj);
    EXPECT_NEAR(aj->linear, RIntercepto, 1e-13);
    EXPECT_NEAR(aj->angular, RInclinacao, 1e-13);
    ASSERT_TRUE(aj->correlacao && aj->erroPadrao);
    EXPECT_NEAR(*aj->correlacao, RCorrelacao, 1e-13);
    EXPECT_NEAR(*aj->correlacao * *aj->correlacao, RDeterminacao, 1e-13);
    EXPECT_NEAR(*aj->erroPadrao, RErroPadrao, 1e-13);

    std::vector<std::string> linhas;
    ASSERT_TRUE(Regressao(t, 1, 2, linhas));
    ASSERT_EQ(linhas.size(), 11u);
    EXPECT_EQ(linhas[0], "Regress\xE3o Linear Simples de Y segundo X");
    // The fifteenth digit of the intercept sits on a rounding edge.
    EXPECT_EQ(linhas[2].substr(0, 40), "Coeficiente linear    = 0.48029122925838");
    EXPECT_EQ(linhas[3], "Coeficiente angular   = 1.19498814764646");
    EXPECT_EQ(linhas[5], "Coeficiente de correla\xE7\xE3o    = 0.990121261736345");
    EXPECT_EQ(linhas[6], "Coeficiente de determina\xE7\xE3o  = 0.980340112942371");
    EXPECT_EQ(linhas[7], "Erro padr\xE3o da estimativa    = 0.438971028467016");
    EXPECT_EQ(linhas[9], "Equa\xE7\xE3o de regress\xE3o");
    EXPECT_EQ(linhas[10], "Est_Y = " + linhas[2].substr(24) + " + 1.19498814764646 * X");

    ASSERT_EQ(t.NumColunas(), 3);
    const ColunaResultados& col = t.Coluna(3);
    EXPECT_EQ(col.NomeColuna, "Estim_Y");
    EXPECT_EQ(col.Decimais, 1);
    EXPECT_EQ(col.TipoTotal, TipoTotal::Soma);
    EXPECT_EQ(col.Largura, 13);
    double soma = 0;
    for (std::size_t i = 0; i < RAjustados.size(); ++i) {
        EXPECT_NEAR(t.Dado(3, static_cast<std::int32_t>(i + 1)), RAjustados[i], 1e-12);
        soma += RAjustados[i];
    }
    EXPECT_NEAR(col.Total, soma, 1e-11);
    EXPECT_TRUE(t.Modificada);
}

TEST(Estatisticas, OffsetDataGivesTheSameCorrelationAndSlope) {
    // x + 1e8 is exact for these x; one-pass sums would lose every digit of the spread.
    TabelaResultados t =
        MontaTabela({"1", "2", "3", "4", "5", "6", "7", "8"}, {{"X", Desloca(X, 1e8), 3}, {"Y", Y, 1}});
    auto r = CoeficienteCorrelacao(t, 1, 2);
    ASSERT_TRUE(r);
    EXPECT_NEAR(*r, RCorrelacao, 1e-12);
    auto aj = AjustaReta(t, 1, 2);
    ASSERT_TRUE(aj && aj->erroPadrao);
    EXPECT_NEAR(aj->angular, RInclinacao, 1e-12);
    EXPECT_NEAR(aj->linear, RIntercepto - 1e8 * RInclinacao, 1e-4);
    EXPECT_NEAR(*aj->erroPadrao, RErroPadrao, 1e-9);

    TabelaResultados u =
        MontaTabela({"1", "2", "3", "4", "5", "6", "7", "8"}, {{"X", Desloca(X, 1e8), 3}, {"Y", Desloca(X, -3e8), 1}});
    EXPECT_EQ(CoeficienteCorrelacao(u, 1, 2), 1.0);
}

TEST(Estatisticas, CorrelationLines) {
    TabelaResultados t = MontaTabela({"1", "2", "3", "4", "5", "6", "7", "8"},
                                     {{"X", X, 3}, {"Y", Y, 1}, {"K", std::vector<double>(8, 5.0), 0}});
    EXPECT_EQ(Correlacao(t, 1, 2),
              (std::vector<std::string>{"Coeficiente de correla\xE7\xE3o de Pearson entre as colunas X e Y",
                                        "R = 0.990121261736345"}));
    EXPECT_EQ(Correlacao(t, 1, 3)[1], "R = indefinido");
}

TEST(Estatisticas, RegressionOfTwoXPlusOne) {
    TabelaResultados t = MontaTabela({"a", "b", "c", "d"}, {{"X", {1, 2, 3, 4}, 0}, {"Y", {3, 5, 7, 9}, 0}});
    std::vector<std::string> linhas;
    ASSERT_TRUE(Regressao(t, 1, 2, linhas));
    EXPECT_EQ(linhas[2], "Coeficiente linear    = 1");
    EXPECT_EQ(linhas[3], "Coeficiente angular   = 2");
    EXPECT_EQ(linhas[5], "Coeficiente de correla\xE7\xE3o    = 1");
    EXPECT_EQ(linhas[6], "Coeficiente de determina\xE7\xE3o  = 1");
    EXPECT_EQ(linhas[7], "Erro padr\xE3o da estimativa    = 0");
    EXPECT_EQ(linhas[10], "Est_Y = 1 + 2 * X");
    EXPECT_EQ(Valores(t, 3), Valores(t, 2));
    EXPECT_EQ(t.Coluna(3).Total, 24);
}

TEST(Estatisticas, DegenerateRegressions) {
    // Constant x: no line exists, no column is added.
    TabelaResultados t = MontaTabela({"a", "b", "c"}, {{"X", {2, 2, 2}}, {"Y", {1, 2, 3}}});
    std::vector<std::string> linhas;
    EXPECT_FALSE(Regressao(t, 1, 2, linhas));
    EXPECT_EQ(linhas, (std::vector<std::string>{"Regress\xE3o Linear Simples de Y segundo X", "",
                                                "Regress\xE3o indefinida: a vari\xE1vel independente n\xE3o varia."}));
    EXPECT_EQ(t.NumColunas(), 2);
    EXPECT_FALSE(t.Modificada);

    // Two rows: a line but no standard error; constant y: no correlation.
    TabelaResultados u = MontaTabela({"a", "b"}, {{"X", {1, 2}}, {"Y", {4, 4}}});
    linhas.clear();
    ASSERT_TRUE(Regressao(u, 1, 2, linhas));
    EXPECT_EQ(linhas[2], "Coeficiente linear    = 4");
    EXPECT_EQ(linhas[3], "Coeficiente angular   = 0");
    EXPECT_EQ(linhas[5], "Coeficiente de correla\xE7\xE3o    = indefinido");
    EXPECT_EQ(linhas[7], "Erro padr\xE3o da estimativa    = indefinido");

    // One row: sample figures are shown as undefined, never as a bare infinity.
    TabelaResultados v = MontaTabela({"a"}, {{"X", {5}, 1}});
    auto e = EstatisticasColuna(v, 1);
    EXPECT_EQ(e[11].substr(24), "indefinido");
    EXPECT_EQ(e[12].substr(24), "indefinido");
}

TEST(Estatisticas, StatisticsNeverTouchTheDisplayOrder) {
    TabelaResultados t = MontaTabela({"a", "b", "c", "d", "e"}, {{"X", {3, 1, 3, 2, 3}}, {"Y", {5, 4, 3, 2, 1}}});
    OrdenaTabela(t, 1); // ties in X: the order among them must survive
    OrdenaTabela(t, 1);
    std::vector<std::int32_t> antes;
    for (std::int32_t k = 1; k <= t.NumLinhas; ++k)
        antes.push_back(t.Ordem(k));
    Descritivas(t, {1, 2});
    Correlacao(t, 1, 2);
    std::vector<std::string> linhas;
    Regressao(t, 2, 1, linhas);
    for (std::int32_t k = 1; k <= t.NumLinhas; ++k)
        EXPECT_EQ(t.Ordem(k), antes[static_cast<std::size_t>(k - 1)]);
    EXPECT_FALSE(t.OrdemDecrescente);
    EXPECT_EQ(t.ColunaOrdem, 1);
}

TEST(Estatisticas, MenuCommandsPickTheirColumns) {
    TabelaResultados uma = MontaTabela({"a", "b"}, {{"X", {1, 2}}});
    EXPECT_FALSE(PrecisaMarcar(uma, false));
    EXPECT_EQ(DescritivasMarcadas(uma, {})[0], "Estat\xEDsticas da coluna X");

    TabelaResultados duas = MontaTabela({"a", "b"}, {{"X", {1, 2}}, {"Y", {2, 1}}});
    EXPECT_FALSE(PrecisaMarcar(duas, true));
    EXPECT_EQ(CorrelacaoMarcadas(duas, {}).back(), "R = -1");

    TabelaResultados tres = MontaTabela({"a", "b", "c"}, {{"X", {1, 2, 3}}, {"Y", {3, 1, 2}}, {"Z", {2, 4, 6}}});
    EXPECT_TRUE(PrecisaMarcar(tres, false));
    EXPECT_TRUE(PrecisaMarcar(tres, true));
    auto d = DescritivasMarcadas(tres, {3, 1});
    EXPECT_EQ(d[0], "Estat\xEDsticas da coluna Z");
    EXPECT_EQ(std::count(d.begin(), d.end(), "Estat\xEDsticas da coluna X"), 1);
    EXPECT_EQ(CorrelacaoMarcadas(tres, {1, 3, 2}).back(), "R = 1");
    EXPECT_TRUE(CorrelacaoMarcadas(tres, {2}).empty());
}

TEST(Estatisticas, ShortestNumberForm) {
    EXPECT_EQ(NumeroCurtoLocal(0.1 + 0.2), "0.3");
    EXPECT_EQ(NumeroCurtoLocal(1.0 / 3), "0.333333333333333");
    EXPECT_EQ(NumeroCurtoLocal(1e20), "1E20");
    EXPECT_EQ(NumeroCurtoLocal(1.5e-7), "1.5E-7");
    EXPECT_EQ(NumeroCurtoLocal(-2), "-2");
    EXPECT_EQ(NumeroCurtoLocal(123456789), "123456789");
    EXPECT_EQ(NumeroCurtoLocal(std::nan("")), "indefinido");
    UsaLocale pt(QLocale(QLocale::Portuguese, QLocale::Brazil));
    EXPECT_EQ(NumeroCurtoLocal(-0.5), "-0,5");
}

} // namespace
} // namespace dorvan

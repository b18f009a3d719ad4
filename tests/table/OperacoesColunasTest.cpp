#include "table/OperacoesColunas.h"

#include "platform/Mensagens.h"
#include "table/TabelaTeste.h"

#include <QLocale>
#include <gtest/gtest.h>

#include <cmath>
#include <functional>

namespace dorvan {
namespace {

using teste::MontaTabela;
using teste::NotasDe;
using teste::Rotulos;
using teste::RotulosExibidos;
using teste::Titulos;
using teste::Valores;

// Pop (0 decimals, total 60), Casos (2 decimals, total 7), Saldo (1 decimal, total 4).
TabelaResultados TabelaBase() {
    return MontaTabela({"A", "B", "C", "D"},
                       {{"Pop", {10, 20, 0, 30}, 0}, {"Casos", {1, 4, 2, 0}, 2}, {"Saldo", {-1.5, 2.7, -0.2, 3}, 1}});
}

void EsperaValores(const std::vector<double>& obtidos, const std::vector<double>& esperados, const std::string& caso) {
    ASSERT_EQ(obtidos.size(), esperados.size()) << caso;
    for (std::size_t i = 0; i < obtidos.size(); ++i)
        EXPECT_NEAR(obtidos[i], esperados[i], 1e-9) << caso << " row " << i + 1;
}

TEST(OperacoesColunas, NewColumnCommandsSetTitleDecimalsValuesTotalKindAndWidth) {
    struct Caso {
        std::string nome;
        std::function<bool(TabelaResultados&)> comando;
        std::string titulo;
        std::int32_t decimais;
        std::vector<double> valores;
        double total;
        TipoTotal tipo;
        std::int32_t largura;
    } casos[] = {
        {"Divide",
         [](auto& t) { return Divide(t, 1, 2); },
         "Quociente",
         2,
         {10, 5, 0, 0},
         60.0 / 7,
         TipoTotal::PreCalculado,
         10},
        {"Multiplica",
         [](auto& t) { return Multiplica(t, 1, 2); },
         "Produto",
         2,
         {10, 80, 0, 0},
         420,
         TipoTotal::PreCalculado,
         8},
        {"Subtrai",
         [](auto& t) { return Subtrai(t, 1, 2); },
         "Diferen\xE7"
         "a",
         2,
         {9, 16, -2, 30},
         53,
         TipoTotal::Soma,
         10},
        {"Soma",
         [](auto& t) {
             return SomaColunas(t, {1, 2});
         },
         "Soma",
         2,
         {11, 24, 2, 30},
         67,
         TipoTotal::Soma,
         6},
        {"Soma (last marked decides decimals)",
         [](auto& t) {
             return SomaColunas(t, {2, 1});
         },
         "Soma",
         0,
         {11, 24, 2, 30},
         67,
         TipoTotal::Soma,
         5},
        {"Minimo",
         [](auto& t) {
             return MinimoColunas(t, {1, 2, 3});
         },
         "Menor",
         1,
         {-1.5, 2.7, -0.2, 0},
         1,
         TipoTotal::Soma,
         6},
        {"Maximo",
         [](auto& t) {
             return MaximoColunas(t, {3, 1});
         },
         "Maior",
         0,
         {10, 20, 0, 30},
         60,
         TipoTotal::Soma,
         6},
        {"Percentagem",
         [](auto& t) { return Percentagem(t, 1); },
         "%Pop",
         2,
         {100.0 / 6, 100.0 / 3, 0, 50},
         100,
         TipoTotal::Soma,
         8},
        {"Acumula",
         [](auto& t) { return Acumula(t, 1); },
         "A.Pop",
         0,
         {10, 30, 30, 60},
         60,
         TipoTotal::PreCalculado,
         6},
        {"Inteiro", [](auto& t) { return Inteiro(t, 3); }, "Int.Saldo", 0, {-1, 2, 0, 3}, 4, TipoTotal::Soma, 10},
        {"Absoluto",
         [](auto& t) { return Absoluto(t, 3); },
         "Abs.Saldo",
         1,
         {1.5, 2.7, 0.2, 3},
         7.4,
         TipoTotal::Soma,
         10},
        {"Sequencia",
         [](auto& t) { return Sequencia(t); },
         "Seq\xFC\xEAncia",
         0,
         {1, 2, 3, 4},
         4,
         TipoTotal::PreCalculado,
         13},
        {"Indicador",
         [](auto& t) { return Indicador(t, 2, 1, 3, 1, "Casos/Pop por 1.000"); },
         "Casos/Pop por 1.000",
         1,
         {100, 200, 0, 0},
         7000.0 / 60,
         TipoTotal::PreCalculado,
         20},
    };
    for (const Caso& c : casos) {
        TabelaResultados t = TabelaBase();
        ASSERT_TRUE(c.comando(t)) << c.nome;
        ASSERT_EQ(t.NumColunas(), 4) << c.nome;
        const ColunaResultados& col = t.Coluna(4);
        EXPECT_EQ(col.NomeColuna, c.titulo) << c.nome;
        EXPECT_EQ(col.Decimais, c.decimais) << c.nome;
        EsperaValores(Valores(t, 4), c.valores, c.nome);
        EXPECT_NEAR(col.Total, c.total, 1e-9) << c.nome;
        EXPECT_EQ(col.TipoTotal, c.tipo) << c.nome;
        EXPECT_EQ(col.Largura, c.largura) << c.nome;
        EXPECT_TRUE(t.Modificada) << c.nome;
    }
}

TEST(OperacoesColunas, ZeroDenominatorsGiveZeroNeverInfinity) {
    TabelaResultados t = MontaTabela({"A", "B"}, {{"Num", {3, 4}}, {"Zero", {0, 0}}});
    ASSERT_TRUE(Divide(t, 1, 2));
    EXPECT_EQ(Valores(t, 3), (std::vector<double>{0, 0}));
    EXPECT_EQ(t.Coluna(3).Total, 0);
    ASSERT_TRUE(Percentagem(t, 2));
    EXPECT_EQ(Valores(t, 4), (std::vector<double>{0, 0}));
    EXPECT_EQ(t.Coluna(4).Total, 0);
    ASSERT_TRUE(Indicador(t, 1, 2, 6, 0, "x"));
    EXPECT_EQ(Valores(t, 5), (std::vector<double>{0, 0}));
    EXPECT_EQ(t.Coluna(5).Total, 0);
    ASSERT_EQ(Normaliza(t, {2}), 1); // no spread: every score is 0
    EXPECT_EQ(Valores(t, 6), (std::vector<double>{0, 0}));
}

TEST(OperacoesColunas, DisplayOrderDrivesRunningSumAndSequence) {
    TabelaResultados t = TabelaBase();
    OrdenaTabela(t, 1); // largest Pop first: D, B, A, C
    ASSERT_EQ(RotulosExibidos(t), (std::vector<std::string>{"D", "B", "A", "C"}));
    ASSERT_TRUE(Acumula(t, 1));
    EXPECT_EQ(Valores(t, 4), (std::vector<double>{60, 50, 60, 30}));
    ASSERT_TRUE(Sequencia(t));
    EXPECT_EQ(Valores(t, 5), (std::vector<double>{3, 2, 4, 1}));
}

TEST(OperacoesColunas, NormalisingTwoColumnsAppendsTwoZColumns) {
    TabelaResultados t = TabelaBase();
    ASSERT_EQ(Normaliza(t, {1, 2}), 2);
    EXPECT_EQ(Titulos(t), (std::vector<std::string>{"Pop", "Casos", "Saldo", "ZPop", "ZCasos"}));
    // Pop: mean 15, sample deviation sqrt(500 / 3).
    const double s = std::sqrt(500.0 / 3);
    EsperaValores(Valores(t, 4), {-5 / s, 5 / s, -15 / s, 15 / s}, "ZPop");
    for (std::int32_t c : {4, 5}) {
        EXPECT_EQ(t.Coluna(c).Decimais, 3);
        EXPECT_EQ(t.Coluna(c).Total, 0);
        EXPECT_EQ(t.Coluna(c).TipoTotal, TipoTotal::Soma);
        EXPECT_EQ(t.Coluna(c).Largura, 8);
    }
}

TEST(OperacoesColunas, RefusedCommandsLeaveTheTableUnchanged) {
    TabelaResultados t = TabelaBase();
    EXPECT_FALSE(Divide(t, 1, 9));
    EXPECT_FALSE(Multiplica(t, 0, 1));
    EXPECT_FALSE(SomaColunas(t, {}));
    EXPECT_FALSE(MinimoColunas(t, {1, 7}));
    EXPECT_FALSE(Percentagem(t, 4));
    EXPECT_FALSE(Indicador(t, 1, 2, 7, 0, "x"));
    EXPECT_EQ(t.NumColunas(), 3);
    EXPECT_FALSE(t.Modificada);

    while (t.NumColunas() < MaxColunas)
        ASSERT_TRUE(AcrescentaColuna(t, "x", 0));
    t.Modificada = false;
    EXPECT_FALSE(Divide(t, 1, 2));
    EXPECT_FALSE(Sequencia(t));
    EXPECT_EQ(Normaliza(t, {1}), 0);
    EXPECT_EQ(t.NumColunas(), MaxColunas);
    EXPECT_FALSE(t.Modificada);

    TabelaResultados vazia = MontaTabela({}, {{"x", {}}});
    EXPECT_FALSE(Sequencia(vazia));
}

TEST(OperacoesColunas, IndicatorTitleJoinsTitlesAndScale) {
    TabelaResultados t = MontaTabela({"A"}, {{"Obitos", {1}}, {"Populacao", {2}}});
    EXPECT_EQ(TituloIndicador(t, 1, 2, 3), "Obitos/Populacao por 1.000");
    EXPECT_EQ(TituloIndicador(t, 2, 1, 0), "Populacao/Obitos por 1");
    EXPECT_EQ(TituloIndicador(t, 2, 1, 6), "Populacao/Obitos por 1.000.000");
}

TEST(OperacoesColunas, TypedNumbersUseCommaAsDecimalMark) {
    struct Caso {
        const char* resposta;
        bool valido;
        double valor;
        std::int32_t decimais;
    } casos[] = {
        {"1.234,5", true, 1234.5, 1}, {"  7 ", true, 7, 0},   {"-0,25", true, -0.25, 2}, {"1.000.000", true, 1e6, 0},
        {"3,", true, 3, 0},           {"", false, 0, 0},      {"abc", false, 0, 0},      {"1,2,3", false, 0, 0},
        {"1e999", false, 0, 0},       {"12abc", false, 0, 0}, {"inf", false, 0, 0},
    };
    for (const Caso& c : casos) {
        double v = -99;
        std::int32_t d = -99;
        EXPECT_EQ(LeNumeroDigitado(c.resposta, v, d), c.valido) << c.resposta;
        if (c.valido) {
            EXPECT_DOUBLE_EQ(v, c.valor) << c.resposta;
            EXPECT_EQ(d, c.decimais) << c.resposta;
        } else {
            EXPECT_EQ(v, -99) << c.resposta;
        }
    }
    // The default offered reads back as the same value.
    EXPECT_EQ(NumeroParaDigitar(1.5), "1,5");
    EXPECT_EQ(NumeroParaDigitar(1234), "1234");
    double v = 0;
    std::int32_t d = 0;
    ASSERT_TRUE(LeNumeroDigitado(NumeroParaDigitar(0.1), v, d));
    EXPECT_EQ(v, 0.1);
}

TEST(OperacoesColunas, EntraNumeroEndsTheCommandOnCancelOrNonsense) {
    MensagensRoteiro m;
    UsaMensagens usa(m);
    TabelaResultados t = TabelaBase();
    m.Cancela();
    EXPECT_FALSE(MultiplicaPorFator(t, 1));
    m.Responde("dois");
    EXPECT_FALSE(MultiplicaPorFator(t, 1));
    EXPECT_EQ(Valores(t, 1), (std::vector<double>{10, 20, 0, 30}));
    EXPECT_EQ(t.NomeColuna(1), "Pop");
    EXPECT_FALSE(t.Modificada);
    ASSERT_EQ(m.Registros().size(), 2u);
    EXPECT_EQ(m.Registros()[0].titulo, "Entre um n\xFAmero");
    EXPECT_EQ(m.Registros()[0].texto, "multiplicar Pop por");
    EXPECT_EQ(m.Registros()[0].padrao, "1");
}

TEST(OperacoesColunas, MultiplyingByAFactorKeepsTotalsConsistent) {
    MensagensRoteiro m;
    UsaMensagens usa(m);
    TabelaResultados t = TabelaBase();
    m.Responde("2,5");
    ASSERT_TRUE(MultiplicaPorFator(t, 1));
    EXPECT_EQ(Valores(t, 1), (std::vector<double>{25, 50, 0, 75}));
    EXPECT_EQ(t.Coluna(1).Total, 150);
    EXPECT_EQ(t.NomeColuna(1), "Pop*2.5");
    EXPECT_EQ(t.Coluna(1).Largura, 8);
    EXPECT_TRUE(t.Modificada);

    // A product or a maximum does not scale by the factor: it is recomputed.
    TabelaResultados p = MontaTabela({"A", "B", "C"}, {{"P", {1, 2, 3}}, {"M", {1, 5, 3}}, {"F", {1, 1, 1}}});
    DefineTipoTotal(p, {1}, TipoTotal::Produto);
    DefineTipoTotal(p, {2}, TipoTotal::Maximo);
    p.Coluna(3).TipoTotal = TipoTotal::PreCalculado;
    p.Coluna(3).Total = 10;
    MultiplicaColunaPorFator(p, 1, 2);
    EXPECT_EQ(p.Coluna(1).Total, 48);
    MultiplicaColunaPorFator(p, 2, -1);
    EXPECT_EQ(p.Coluna(2).Total, -1);
    MultiplicaColunaPorFator(p, 3, 3);
    EXPECT_EQ(p.Coluna(3).Total, 30);
    EXPECT_EQ(p.NomeColuna(2), "M*-1");
}

// The factor in the title is written as the other short numbers the user reads: with
// the locale's decimal mark.
TEST(OperacoesColunas, TheFactorInTheTitleHasTheLocalesDecimalMark) {
    const QLocale antes;
    QLocale::setDefault(QLocale(QStringLiteral("pt_BR")));
    MensagensRoteiro m;
    UsaMensagens usa(m);
    TabelaResultados t = MontaTabela({"A", "B"}, {{"Taxa", {1, 2}}});
    m.Responde("-2,5");
    ASSERT_TRUE(MultiplicaPorFator(t, 1));
    QLocale::setDefault(antes);
    EXPECT_EQ(t.NomeColuna(1), "Taxa*-2,5");
    EXPECT_EQ(Valores(t, 1), (std::vector<double>{-2.5, -5}));
}

TEST(OperacoesColunas, DecimalsAndWidthsAreRoundedAndClamped) {
    struct Caso {
        const char* resposta;
        std::int32_t decimais;
        std::int32_t largura;
    } casos[] = {{"3", 3, 3}, {"2,6", 3, 3}, {"25", 10, 25}, {"-3", 0, 1}, {"500", 10, 100}, {"0", 0, 1}};
    for (const Caso& c : casos) {
        MensagensRoteiro m;
        UsaMensagens usa(m);
        TabelaResultados t = TabelaBase();
        m.Responde(c.resposta);
        ASSERT_TRUE(DefineDecimais(t, {2, 3})) << c.resposta;
        EXPECT_EQ(t.Coluna(2).Decimais, c.decimais) << c.resposta;
        EXPECT_EQ(t.Coluna(3).Decimais, c.decimais) << c.resposta;
        EXPECT_EQ(t.Coluna(2).Largura, std::max(LarguraValor(c.decimais, 7), 6)) << c.resposta;
        m.Responde(c.resposta);
        ASSERT_TRUE(DefineLarguras(t, {0, 1})) << c.resposta;
        EXPECT_EQ(t.Coluna(0).Largura, c.largura) << c.resposta;
        EXPECT_EQ(t.Coluna(1).Largura, c.largura) << c.resposta;
        EXPECT_EQ(m.Registros()[0].texto, "N\xFAmero de decimais ");
        EXPECT_EQ(m.Registros()[0].padrao, "2");
        EXPECT_EQ(m.Registros()[1].texto, "Nova Largura ");
        EXPECT_TRUE(t.Modificada);
    }
}

TEST(OperacoesColunas, TotalKindTitleAndHeaders) {
    MensagensRoteiro m;
    UsaMensagens usa(m);
    TabelaResultados t = TabelaBase();
    DefineTipoTotal(t, {1, 2}, TipoTotal::Maximo);
    EXPECT_EQ(t.Coluna(1).Total, 30);
    EXPECT_EQ(t.Coluna(2).Total, 4);
    EXPECT_EQ(t.Coluna(2).TipoTotal, TipoTotal::Maximo);
    EXPECT_TRUE(t.Modificada);

    t.Dado(1, 1) = 100;
    RecalculaTotais(t, {1});
    EXPECT_EQ(t.Coluna(1).Total, 100);

    m.Responde("Popula\xE7\xE3o residente em 2010");
    ASSERT_TRUE(EditaTituloColuna(t, 1));
    EXPECT_EQ(m.Registros().back().texto, "Edite o titulo da Coluna");
    EXPECT_EQ(m.Registros().back().padrao, "Pop");
    EXPECT_EQ(t.NomeColuna(1), "Popula\xE7\xE3o residente em 2010");
    EXPECT_EQ(t.Coluna(1).Largura, 28);

    DefineCabecalho(t, Cabecalho::Titulo1, std::string(90, 'x'));
    DefineCabecalho(t, Cabecalho::Rodape, "Fonte: teste");
    EXPECT_EQ(t.Titulo1, std::string(80, 'x'));
    EXPECT_EQ(t.Rodape, "Fonte: teste");
}

TEST(OperacoesColunas, RowCodeShownHiddenAndFixed) {
    MensagensRoteiro m;
    UsaMensagens usa(m);
    TabelaResultados t = MontaTabela({"11 Norte", "12 Nordeste", "13 Sudeste"}, {{"x", {1, 2, 3}}});
    DetectaCodigo(t);
    ASSERT_EQ(t.TamCodigo, 2);
    t.MostraCodigo = true;
    t.Coluna(0).Largura = 20;
    EXPECT_EQ(TextoMostrarChave(t), "Esconder C&have");
    AlternaMostraCodigo(t);
    EXPECT_FALSE(t.MostraCodigo);
    EXPECT_EQ(TextoMostrarChave(t), "Mostrar C&have");
    EXPECT_EQ(t.Coluna(0).Largura, 17);
    AlternaMostraCodigo(t);
    EXPECT_TRUE(t.MostraCodigo);
    EXPECT_EQ(t.Coluna(0).Largura, 20);

    for (auto [resposta, tam] : {std::pair{"3,9", 3}, {"-5", 0}, {"999", 255}}) {
        m.Responde(resposta);
        ASSERT_TRUE(FixaComprimentoChave(t));
        EXPECT_EQ(t.TamCodigo, tam) << resposta;
    }
    EXPECT_EQ(m.Registros()[0].texto, "Comprimento da chave de compara\xE7\xE3o");
    EXPECT_EQ(m.Registros()[0].padrao, "2");

    TabelaResultados semCodigo = MontaTabela({"Norte", "Sul"}, {{"x", {1, 2}}});
    DetectaCodigo(semCodigo);
    semCodigo.Coluna(0).Largura = 9;
    EXPECT_EQ(TextoMostrarChave(semCodigo), "");
    AlternaMostraCodigo(semCodigo);
    EXPECT_EQ(semCodigo.Coluna(0).Largura, 9);
}

// Five columns c1..c5 with a note on each (row 1) and on the labels, and a total
// kind of their own.
TabelaResultados CincoColunas() {
    TabelaResultados t =
        MontaTabela({"A", "B"}, {{"c1", {1, 2}}, {"c2", {3, 4}}, {"c3", {5, 6}}, {"c4", {7, 8}}, {"c5", {9, 10}}});
    for (std::int32_t c = 0; c <= 5; ++c)
        AcrescentaNota(t, 1, c, "n" + std::to_string(c));
    AcrescentaNota(t, 0, 4, "titulo4");
    for (std::int32_t c = 1; c <= 5; ++c)
        t.Coluna(c).TipoTotal = static_cast<TipoTotal>(c + 2);
    return t;
}

TEST(OperacoesColunas, DeletingColumnsRenumbersNotesAndKeepsTotalKinds) {
    TabelaResultados t = CincoColunas();
    t.ColunaOrdem = 3;
    t.ColunaMapa = 5;
    ASSERT_TRUE(EliminaColunasMarcadas(t, {2, 4}));
    EXPECT_EQ(Titulos(t), (std::vector<std::string>{"c1", "c3", "c5"}));
    EXPECT_EQ(Valores(t, 2), (std::vector<double>{5, 6}));
    EXPECT_EQ(NotasDe(t), (std::vector<std::string>{"1,0:n0", "1,1:n1", "1,2:n3", "1,3:n5"}));
    EXPECT_EQ(t.Coluna(1).TipoTotal, TipoTotal::Media);
    EXPECT_EQ(t.Coluna(2).TipoTotal, TipoTotal::Final);
    EXPECT_EQ(t.Coluna(3).TipoTotal, TipoTotal::Maximo);
    EXPECT_EQ(t.ColunaOrdem, 2);
    EXPECT_EQ(t.ColunaMapa, 3);
    EXPECT_TRUE(t.Modificada);

    // Deleting the ordering column brings back the natural order.
    OrdenaTabela(t, 1);
    ASSERT_EQ(RotulosExibidos(t), (std::vector<std::string>{"B", "A"}));
    ASSERT_TRUE(EliminaColunasMarcadas(t, {1}));
    EXPECT_EQ(t.ColunaOrdem, 0);
    EXPECT_FALSE(t.OrdemDecrescente);
    EXPECT_EQ(RotulosExibidos(t), (std::vector<std::string>{"A", "B"}));

    t.Modificada = false;
    EXPECT_FALSE(EliminaColunasMarcadas(t, {}));
    EXPECT_FALSE(EliminaColunasMarcadas(t, {0, 9}));
    EXPECT_FALSE(t.Modificada);
}

TEST(OperacoesColunas, MovingAColumnShiftsTheOnesBetween) {
    TabelaResultados t = CincoColunas();
    t.ColunaMapa = 2;
    ASSERT_TRUE(MoveColunaPara(t, 5, 2));
    EXPECT_EQ(Titulos(t), (std::vector<std::string>{"c1", "c5", "c2", "c3", "c4"}));
    EXPECT_EQ(NotasDe(t),
              (std::vector<std::string>{"1,0:n0", "1,1:n1", "1,3:n2", "1,4:n3", "1,5:n4", "1,2:n5", "0,5:titulo4"}));
    EXPECT_EQ(t.Coluna(2).TipoTotal, TipoTotal::Maximo);
    EXPECT_EQ(t.Coluna(3).TipoTotal, TipoTotal::Inicial);
    EXPECT_EQ(Valores(t, 2), (std::vector<double>{9, 10}));
    EXPECT_EQ(t.ColunaMapa, 3);
    EXPECT_TRUE(t.Modificada);
    ASSERT_TRUE(MoveColunaPara(t, 2, 5));
    EXPECT_EQ(Titulos(t), (std::vector<std::string>{"c1", "c2", "c3", "c4", "c5"}));
    EXPECT_FALSE(MoveColunaPara(t, 0, 2));
    EXPECT_FALSE(MoveColunaPara(t, 1, 6));
}

TEST(OperacoesColunas, ClickingATitleSortsThenReverses) {
    TabelaResultados t = TabelaBase();
    // A fresh table is ordered by its labels: the first click shows them reversed.
    OrdenaTabela(t, 0);
    EXPECT_EQ(RotulosExibidos(t), (std::vector<std::string>{"D", "C", "B", "A"}));
    OrdenaTabela(t, 1);
    EXPECT_EQ(RotulosExibidos(t), (std::vector<std::string>{"D", "B", "A", "C"})); // largest first
    EXPECT_EQ(t.ColunaOrdem, 1);
    OrdenaTabela(t, 1);
    EXPECT_EQ(RotulosExibidos(t), (std::vector<std::string>{"C", "A", "B", "D"})); // then smallest first
    OrdenaTabela(t, 2);
    EXPECT_EQ(RotulosExibidos(t), (std::vector<std::string>{"B", "C", "A", "D"}));
    t.ColunaOrdem = 2;
    OrdenaTabela(t, 0);
    EXPECT_EQ(RotulosExibidos(t), (std::vector<std::string>{"A", "B", "C", "D"}));
    EXPECT_FALSE(t.OrdemDecrescente);
    EXPECT_FALSE(t.Modificada);
}

TEST(OperacoesColunas, SuppressingZeroRowsWithAnOthersRow) {
    MensagensRoteiro m;
    UsaMensagens usa(m);
    TabelaResultados t = TabelaBase();
    AcrescentaNota(t, 2, 1, "em B");
    AcrescentaNota(t, 3, 1, "em C");
    AcrescentaNota(t, 4, 2, "em D");
    OrdenaTabela(t, 1);
    m.Responde("0");
    m.Responde("S");
    m.Responde("Outras");
    EXPECT_EQ(SuprimeLinhasPergunta(t, 1, CriterioSupressao::IgualA), ResultadoSupressao::Feita);
    // The rows kept are there before the question on the others comes.
    EXPECT_EQ(Rotulos(t), (std::vector<std::string>{"A", "B", "D"}));
    EXPECT_EQ(m.Registros().size(), 1u);
    EXPECT_TRUE(AgregaLinhasEliminadas(t, 4));
    EXPECT_EQ(Rotulos(t), (std::vector<std::string>{"A", "B", "D", "Outras"}));
    EXPECT_EQ(Valores(t, 1), (std::vector<double>{10, 20, 30, 0}));
    EsperaValores(Valores(t, 2), {1, 4, 0, 2}, "Casos");
    EsperaValores(Valores(t, 3), {-1.5, 2.7, 3, -0.2}, "Saldo");
    // The column sums equal the totals again, and the totals were left alone.
    for (std::int32_t c = 1; c <= 3; ++c) {
        double s = 0;
        for (double v : Valores(t, c))
            s += v;
        EXPECT_NEAR(s, t.Coluna(c).Total, 1e-12);
    }
    EXPECT_EQ(t.Coluna(2).Total, 7);
    EXPECT_EQ(NotasDe(t), (std::vector<std::string>{"2,1:em B", "3,2:em D"}));
    EXPECT_EQ(RotulosExibidos(t), (std::vector<std::string>{"A", "B", "D", "Outras"}));
    EXPECT_EQ(t.ColunaOrdem, 0);
    EXPECT_TRUE(t.Modificada);
    EXPECT_EQ(m.Registros()[0].texto, "Entre Valor para comparar com Pop");
    EXPECT_EQ(m.Registros()[1].titulo, "Aten\xE7\xE3o!");
    EXPECT_EQ(m.Registros()[1].texto, "Criar linha com o agregado das linhas eliminadas");
    EXPECT_EQ(m.Registros()[2].texto, "Entre com a descri\xE7\xE3o da linha");
    EXPECT_EQ(m.Registros()[2].padrao, "Outras");
}

TEST(OperacoesColunas, SuppressionCriteria) {
    struct Caso {
        CriterioSupressao criterio;
        double x;
        std::vector<std::string> ficam;
    } casos[] = {
        {CriterioSupressao::IgualA, 20, {"A", "C", "D"}},
        {CriterioSupressao::MaiorQue, 10, {"A", "C"}},
        {CriterioSupressao::MenorQue, 10, {"A", "B", "D"}},
        {CriterioSupressao::DiferenteDe, 10, {"A"}},
    };
    for (const Caso& c : casos) {
        MensagensRoteiro m;
        UsaMensagens usa(m);
        TabelaResultados t = TabelaBase();
        m.Responde("N");
        EXPECT_EQ(SuprimeLinhas(t, 1, c.criterio, c.x), ResultadoSupressao::Feita);
        EXPECT_EQ(Rotulos(t), c.ficam);
        EXPECT_EQ(t.NumLinhas, static_cast<std::int32_t>(c.ficam.size()));
        EXPECT_FALSE(AgregaLinhasEliminadas(t, 4));
        EXPECT_EQ(t.NumLinhas, static_cast<std::int32_t>(c.ficam.size()));
        EXPECT_EQ(m.RespostasRestantes(), 0u);
    }
    EXPECT_EQ(NomesCriterios[1], "Maior que");
}

TEST(OperacoesColunas, SuppressingNothingOrEverything) {
    MensagensRoteiro m;
    UsaMensagens usa(m);
    TabelaResultados t = TabelaBase();
    // Nothing removed: no question, nothing changed.
    EXPECT_EQ(SuprimeLinhas(t, 1, CriterioSupressao::IgualA, 99), ResultadoSupressao::Feita);
    EXPECT_EQ(t.NumLinhas, 4);
    EXPECT_FALSE(AgregaLinhasEliminadas(t, 4));
    EXPECT_FALSE(t.Modificada);
    EXPECT_TRUE(m.Registros().empty());
    // Every row removed: the caller closes the table.
    EXPECT_EQ(SuprimeLinhas(t, 1, CriterioSupressao::MaiorQue, -1), ResultadoSupressao::TabelaVazia);
    EXPECT_EQ(t.NumLinhas, 0);
    EXPECT_TRUE(m.Registros().empty());

    TabelaResultados u = TabelaBase();
    m.Cancela();
    EXPECT_EQ(SuprimeLinhasPergunta(u, 1, CriterioSupressao::IgualA), ResultadoSupressao::Cancelada);
    EXPECT_EQ(u.NumLinhas, 4);
    EXPECT_EQ(SuprimeLinhas(u, 7, CriterioSupressao::IgualA, 0), ResultadoSupressao::Cancelada);
}

TEST(OperacoesColunas, TransposingTwiceGivesBackTheTable) {
    TabelaResultados t = MontaTabela({"1; um, \"a\"", "2\tdois", "3 tr\xEAs"},
                                     {{"x, primeira", {1.25, 2, 3}, 2}, {"y;segunda", {4, 5.5, 6}, 2}});
    t.DefineNomeColuna(0, "Regi\xE3o");
    t.Titulo1 = "T\xEDtulo, com; separadores";
    t.Titulo2 = "Segundo";
    t.Rodape = "Fonte\tteste";
    const TabelaResultados original = t;
    AcrescentaNota(t, 1, 1, "some");

    ASSERT_TRUE(Transpoe(t));
    EXPECT_EQ(t.NumLinhas, 2);
    EXPECT_EQ(t.NumColunas(), 3);
    EXPECT_EQ(t.NomeColuna(0), "Regi\xE3o");
    EXPECT_EQ(Titulos(t), Rotulos(original));
    EXPECT_EQ(Rotulos(t), Titulos(original));
    EXPECT_EQ(Valores(t, 2), (std::vector<double>{2, 5.5}));
    EXPECT_EQ(t.Coluna(1).Total, 5.25);
    EXPECT_EQ(t.NumNotas(), 0);
    EXPECT_TRUE(t.Modificada);
    EXPECT_EQ(t.Titulo1, original.Titulo1);

    ASSERT_TRUE(Transpoe(t));
    EXPECT_EQ(t.NumLinhas, original.NumLinhas);
    EXPECT_EQ(Titulos(t), Titulos(original));
    EXPECT_EQ(Rotulos(t), Rotulos(original));
    EXPECT_EQ(t.NomeColuna(0), original.NomeColuna(0));
    for (std::int32_t c = 1; c <= original.NumColunas(); ++c) {
        EXPECT_EQ(Valores(t, c), Valores(original, c));
        EXPECT_EQ(t.Coluna(c).Total, original.Coluna(c).Total);
        EXPECT_EQ(t.Coluna(c).Decimais, original.Coluna(c).Decimais);
        EXPECT_EQ(t.Coluna(c).TipoTotal, original.Coluna(c).TipoTotal);
    }
    EXPECT_EQ(t.Titulo1, original.Titulo1);
    EXPECT_EQ(t.Titulo2, original.Titulo2);
    EXPECT_EQ(t.Rodape, original.Rodape);
}

TEST(OperacoesColunas, TransposeTakesTheLargestDecimalsAndFindsCodes) {
    TabelaResultados t = MontaTabela({"A", "B"}, {{"11 Norte", {1, 2}, 0}, {"12 Sul", {3, 4}, 3}});
    OrdenaTabela(t, 1);
    t.NomeMapa = "mapa.map";
    t.SemClasses = false;
    ASSERT_TRUE(Transpoe(t));
    EXPECT_EQ(t.Coluna(1).Decimais, 3);
    EXPECT_EQ(t.Coluna(2).Decimais, 3);
    EXPECT_EQ(t.TamCodigo, 2);
    EXPECT_TRUE(t.MostraCodigo);
    EXPECT_EQ(t.ColunaOrdem, 0);
    EXPECT_FALSE(t.OrdemDecrescente);
    EXPECT_TRUE(t.NomeMapa.empty());
    EXPECT_TRUE(t.SemClasses);
    EXPECT_EQ(t.Coluna(0).Largura, 8);
    EXPECT_EQ(t.Coluna(1).Largura, std::max(LarguraValor(3, 4), 2));
}

TEST(OperacoesColunas, TransposeRowLimit) {
    MensagensRoteiro m;
    UsaMensagens usa(m);
    TabelaResultados t;
    t.AlocaLinhas(6000, 6000);
    ASSERT_TRUE(AcrescentaColuna(t, "x", 0));
    EXPECT_FALSE(Transpoe(t));
    EXPECT_EQ(m.Textos(),
              std::vector<std::string>{"N\xFAmero de linhas do quadro excede o m\xE1ximo permitido de colunas: 6000"});
    EXPECT_EQ(t.NumLinhas, 6000);
    EXPECT_FALSE(t.Modificada);

    t.NumLinhas = 5999;
    t.Dado(1, 5999) = 7;
    ASSERT_TRUE(Transpoe(t));
    EXPECT_EQ(t.NumColunas(), 5999);
    EXPECT_EQ(t.NumLinhas, 1);
    EXPECT_EQ(t.Dado(5999, 1), 7);
}

} // namespace
} // namespace dorvan

#include "table/TabelaResultados.h"

#include "platform/Mensagens.h"
#include "table/TabelaTeste.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <random>

namespace dorvan {
namespace {

using teste::MontaTabela;
using teste::NotasDe;
using teste::Titulos;

TEST(TabelaResultados, NewColumnsAndTheColumnLimit) {
    TabelaResultados t;
    t.AlocaLinhas(3, 2);
    ASSERT_TRUE(AcrescentaColuna(t, std::string(70, 'x'), 2));
    const ColunaResultados& c = t.Coluna(1);
    EXPECT_EQ(c.NomeColuna, std::string(60, 'x'));
    EXPECT_EQ(c.Decimais, 2);
    EXPECT_EQ(c.Largura, 13);
    EXPECT_EQ(c.Total, 0);
    EXPECT_EQ(c.TipoTotal, TipoTotal::Soma);
    EXPECT_EQ(c.Dados, std::vector<double>(4, 0.0)); // rows 1..CapLinhas and the unused slot 0

    ColunaResultados& primeira = t.Coluna(1); // stays valid while columns are added
    while (t.NumColunas() < MaxColunas)
        ASSERT_TRUE(AcrescentaColuna(t, "c", 0));
    primeira.Total = 5;
    EXPECT_EQ(t.Coluna(1).Total, 5);
    EXPECT_FALSE(AcrescentaColuna(t, "demais", 0));
    EXPECT_EQ(t.NumColunas(), 6000);
    EXPECT_EQ(t.NomeColuna(6000), "c");
}

TEST(TabelaResultados, TotalKindsFollowTheDisplayOrderWhereTheyShould) {
    TabelaResultados t = MontaTabela({"a", "b", "c", "d"}, {{"v", {4, -2, 8, 0.5}}});
    // Display order 3, 1, 4, 2: the first shown row holds 8, the last -2.
    t.Ordem(1) = 3;
    t.Ordem(2) = 1;
    t.Ordem(3) = 4;
    t.Ordem(4) = 2;
    t.OrdemDecrescente = true; // Inicial and Final read Ordem as stored
    struct Caso {
        TipoTotal tipo;
        double total;
    } casos[] = {
        {TipoTotal::SemTotal, 99}, {TipoTotal::Soma, 10.5}, {TipoTotal::Produto, -32},
        {TipoTotal::Media, 2.625}, {TipoTotal::Inicial, 8}, {TipoTotal::Final, -2},
        {TipoTotal::Minimo, -2},   {TipoTotal::Maximo, 8},  {TipoTotal::PreCalculado, 99},
    };
    for (const Caso& c : casos) {
        SCOPED_TRACE(static_cast<int>(c.tipo));
        t.Coluna(1).TipoTotal = c.tipo;
        t.Coluna(1).Total = 99;
        CalculaTotal(t, 1);
        EXPECT_DOUBLE_EQ(t.Coluna(1).Total, c.total);
    }

    TabelaResultados media = MontaTabela({"a", "b", "c", "d"}, {{"v", {1, 2, 3, 6}}});
    media.Coluna(1).TipoTotal = TipoTotal::Media;
    CalculaTotal(media, 1);
    EXPECT_EQ(media.Coluna(1).Total, 3);
}

TEST(TabelaResultados, TotalsOfATableWithoutRowsAreZero) {
    TabelaResultados t;
    t.AlocaLinhas(5, 0); // rows allocated, none in use
    ASSERT_TRUE(AcrescentaColuna(t, "v", 0));
    t.Dado(1, 1) = 7;
    for (int k = 1; k <= 7; ++k) {
        SCOPED_TRACE(k);
        t.Coluna(1).TipoTotal = TipoTotalDeNumero(k);
        t.Coluna(1).Total = 99;
        CalculaTotal(t, 1);
        EXPECT_EQ(t.Coluna(1).Total, 0);
    }
    t.Coluna(1).TipoTotal = TipoTotal::PreCalculado;
    t.Coluna(1).Total = 99;
    CalculaTotal(t, 1);
    EXPECT_EQ(t.Coluna(1).Total, 99);
}

TEST(TabelaResultados, TotalsNeverHoldAnInfinityAndOtherColumnsAreLeftAlone) {
    TabelaResultados t = MontaTabela({"a", "b", "c"}, {{"v", {1e200, 1e200, -1e200}}, {"w", {1e308, 1e308, 1}}});
    struct Caso {
        std::int32_t coluna;
        TipoTotal tipo;
        double total;
    } casos[] = {
        {1, TipoTotal::Produto, 0},
        {2, TipoTotal::Soma, 0},
        {2, TipoTotal::Media, 0},
        {2, TipoTotal::Maximo, 1e308},
    };
    for (const Caso& c : casos) {
        SCOPED_TRACE(static_cast<int>(c.tipo));
        t.Coluna(c.coluna).TipoTotal = c.tipo;
        t.Coluna(c.coluna).Total = 99;
        CalculaTotal(t, c.coluna);
        EXPECT_EQ(t.Coluna(c.coluna).Total, c.total);
    }
    CalculaTotal(t, 3);
    CalculaTotal(t, 0);
    CalculaTotal(t, -1);
    EXPECT_EQ(t.NumColunas(), 2);
}

TEST(TabelaResultados, CodeDetection) {
    struct Caso {
        std::vector<std::string> rotulos;
        std::int32_t tam;
    } casos[] = {
        {{"11 Norte", "12 Nordeste", "13 Sudeste"}, 2},
        {{"Norte", "Sul"}, 255},
        {{"1 A", "10 B"}, 255},             // no blank at position 2 of the second label
        {{"RO 1", "RO 2"}, 255},            // first and last share the prefix
        {{" Norte", "2 Sul"}, 255},         // a blank first
        {{"11 Norte", "1", "13 Sul"}, 255}, // a label shorter than the code
        {{"11 Norte", "12", "13 Sul"}, 2},  // a label that is only the code
        {{"11 Norte"}, 255},                // one row is its own first and last
        {{}, 255},
    };
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.rotulos.empty() ? std::string("vazia") : c.rotulos[0]);
        TabelaResultados t = MontaTabela(c.rotulos, {});
        t.TamCodigo = 7;
        DetectaCodigo(t);
        EXPECT_EQ(t.TamCodigo, c.tam);
    }
}

TEST(TabelaResultados, ValueWidth) {
    struct Caso {
        std::int32_t decimais;
        double valor;
        std::int32_t largura;
    } casos[] = {
        {0, 1234, 6},
        {2, 5, 5},
        {0, 0.5, 2},
        {0, 0, 2},
        {0, 999, 5},
        {0, 1000, 6},
        {3, 1e6, 14},
        {0, -1234, 6},
        {1, -0.25, 4},
        {0, std::numeric_limits<double>::infinity(), 5},
        {0, -std::numeric_limits<double>::infinity(), 5},
        {2, std::numeric_limits<double>::quiet_NaN(), 8},
    };
    for (const Caso& c : casos)
        EXPECT_EQ(LarguraValor(c.decimais, c.valor), c.largura) << c.valor;
}

TEST(TabelaResultados, GridRowsToDataRows) {
    TabelaResultados t = MontaTabela({"a", "b", "c"}, {});
    t.Ordem(1) = 2;
    t.Ordem(2) = 3;
    t.Ordem(3) = 1;
    EXPECT_EQ(LinhaReal(t, 0), 0);
    EXPECT_EQ(LinhaReal(t, 1), LinhaTotais);
    EXPECT_EQ(LinhaReal(t, 2), 2);
    EXPECT_EQ(LinhaReal(t, 4), 1);
    EXPECT_EQ(LinhaReal(t, 5), 0); // past the data
    t.OrdemDecrescente = true;
    EXPECT_EQ(LinhaReal(t, 2), 1); // Ordem(NumLinhas)
    EXPECT_EQ(LinhaReal(t, 4), 2);
}

TEST(TabelaResultados, NotesAreFoundAddedAndDeletedInOrder) {
    MensagensRoteiro msgs;
    UsaMensagens usa(msgs);
    TabelaResultados t = MontaTabela({"a", "b"}, {{"v", {1, 2}}});
    std::int32_t n = -1;
    EXPECT_FALSE(AchaNota(t, 1, 1, n));
    EXPECT_EQ(n, 0);
    EXPECT_EQ(AcrescentaNota(t, 1, 1, "primeira"), 1);
    EXPECT_EQ(AcrescentaNota(t, LinhaTotais, 1, "do total"), 2);
    EXPECT_EQ(AcrescentaNota(t, 1, 1, "repetida"), 3);
    EXPECT_EQ(AcrescentaNota(t, 0, 0, std::string(90, 'n')), 4);
    EXPECT_EQ(t.Notas(4).Texto.size(), MaxTextoNota);
    EXPECT_TRUE(AchaNota(t, 1, 1, n));
    EXPECT_EQ(n, 1);
    EXPECT_TRUE(AchaNota(t, LinhaTotais, 1, n));
    EXPECT_EQ(n, 2);
    EXPECT_FALSE(AchaNota(t, 2, 1, n)); // the last data row does not share the totals' notes
    ApagaNota(t, 1);
    EXPECT_TRUE(AchaNota(t, 1, 1, n));
    EXPECT_EQ(n, 2);
    EXPECT_EQ(t.Notas(2).Texto, "repetida");

    while (t.NumNotas() < MaxNotas)
        ASSERT_GT(AcrescentaNota(t, 2, 0, "x"), 0);
    EXPECT_TRUE(msgs.Textos().empty());
    EXPECT_EQ(AcrescentaNota(t, 2, 1, "demais"), 0);
    EXPECT_EQ(t.NumNotas(), 100);
    EXPECT_EQ(msgs.Textos(), (std::vector<std::string>{"M\xE1ximo de notas foi atingido."}));
    EXPECT_FALSE(t.DefineNumNotas(101));
    EXPECT_EQ(t.NumNotas(), 100);
}

TEST(TabelaResultados, RemovingTheLastColumnTakesOnlyItsNotes) {
    TabelaResultados t = MontaTabela({"a", "b"}, {{"x", {1, 2}}, {"y", {3, 4}}, {"z", {5, 6}}});
    AcrescentaNota(t, 1, 2, "y1");
    AcrescentaNota(t, 1, 3, "z1");
    AcrescentaNota(t, 2, 3, "z2"); // two adjacent notes of the last column
    AcrescentaNota(t, 0, 3, "z0");
    AcrescentaNota(t, 0, 0, "rotulos");
    AcrescentaNota(t, 2, 1, "x2");
    RemoveUltimaColuna(t);
    EXPECT_EQ(t.NumColunas(), 2);
    EXPECT_EQ(NotasDe(t), (std::vector<std::string>{"1,2:y1", "0,0:rotulos", "2,1:x2"}));
    EXPECT_EQ(t.Dado(2, 2), 4);

    // Erasing the last column through the general helper keeps the other notes on their cells.
    EliminaColuna(t, 2);
    EXPECT_EQ(NotasDe(t), (std::vector<std::string>{"0,0:rotulos", "2,1:x2"}));
    EXPECT_EQ(Titulos(t), (std::vector<std::string>{"x"}));
}

TEST(TabelaResultados, RemovingTheOrderingOrMappedColumnLeavesNoNumberBehind) {
    TabelaResultados t = MontaTabela({"a", "b", "c"}, {{"x", {1, 2, 3}}, {"y", {3, 1, 2}}});
    OrdenaPorColuna(t, 2);
    t.OrdemDecrescente = true;
    t.ColunaMapa = 2;
    RemoveUltimaColuna(t);
    EXPECT_EQ(t.ColunaOrdem, 0);
    EXPECT_EQ(t.ColunaMapa, 0);
    EXPECT_FALSE(t.OrdemDecrescente);
    for (std::int32_t k = 1; k <= 3; ++k)
        EXPECT_EQ(t.Ordem(k), k);

    // A column that stays keeps the order and its direction.
    TabelaResultados u = MontaTabela({"a", "b", "c"}, {{"x", {1, 2, 3}}, {"y", {3, 1, 2}}});
    OrdenaPorColuna(u, 2);
    u.OrdemDecrescente = true;
    EliminaColuna(u, 1);
    EXPECT_EQ(u.ColunaOrdem, 1);
    EXPECT_TRUE(u.OrdemDecrescente);
    EXPECT_EQ(u.Ordem(1), 2);
}

TEST(TabelaResultados, ErasingColumnsClosesUpWithEveryAttributeAndNote) {
    TabelaResultados t = MontaTabela({"a", "b"}, {{"p", {1, 2}}, {"q", {3, 4}}, {"r", {5, 6}}, {"s", {7, 8}}});
    t.Coluna(3).Decimais = 3;
    t.Coluna(3).Largura = 20;
    t.Coluna(3).TipoTotal = TipoTotal::Maximo;
    t.Coluna(3).Total = 6;
    AcrescentaNota(t, 1, 1, "p");
    AcrescentaNota(t, 1, 2, "q");
    AcrescentaNota(t, 2, 3, "r");
    AcrescentaNota(t, LinhaTotais, 4, "s");
    t.ColunaOrdem = 3;
    t.ColunaMapa = 2;
    EliminaColunas(t, {2, 1, 2, 99});
    EXPECT_EQ(Titulos(t), (std::vector<std::string>{"r", "s"}));
    EXPECT_EQ(t.Coluna(1).Decimais, 3);
    EXPECT_EQ(t.Coluna(1).Largura, 20);
    EXPECT_EQ(t.Coluna(1).TipoTotal, TipoTotal::Maximo);
    EXPECT_EQ(t.Coluna(1).Total, 6);
    EXPECT_EQ(t.Dado(1, 2), 6);
    EXPECT_EQ(t.Dado(2, 1), 7);
    EXPECT_EQ(NotasDe(t), (std::vector<std::string>{"2,1:r", "-1,2:s"}));
    EXPECT_EQ(t.ColunaOrdem, 1);
    EXPECT_EQ(t.ColunaMapa, 0); // its column is gone
}

TEST(TabelaResultados, PermutingAndMovingColumnsCarriesNotes) {
    TabelaResultados t = MontaTabela({"a"}, {{"p", {1}}, {"q", {2}}, {"r", {3}}, {"s", {4}}});
    AcrescentaNota(t, 1, 1, "p");
    AcrescentaNota(t, 0, 4, "s");
    AcrescentaNota(t, 1, 0, "rotulo");
    t.ColunaOrdem = 4;
    PermutaColunas(t, {4, 3, 1, 2});
    EXPECT_EQ(Titulos(t), (std::vector<std::string>{"s", "r", "p", "q"}));
    EXPECT_EQ(t.Dado(1, 1), 4);
    EXPECT_EQ(NotasDe(t), (std::vector<std::string>{"1,3:p", "0,1:s", "1,0:rotulo"}));
    EXPECT_EQ(t.ColunaOrdem, 1);

    PermutaColunas(t, {1, 1, 2, 3}); // not a permutation: nothing moves
    PermutaColunas(t, {1, 2, 3});
    EXPECT_EQ(Titulos(t), (std::vector<std::string>{"s", "r", "p", "q"}));

    MoveColuna(t, 1, 4);
    EXPECT_EQ(Titulos(t), (std::vector<std::string>{"r", "p", "q", "s"}));
    EXPECT_EQ(NotasDe(t), (std::vector<std::string>{"1,2:p", "0,4:s", "1,0:rotulo"}));
    MoveColuna(t, 3, 1);
    EXPECT_EQ(Titulos(t), (std::vector<std::string>{"q", "r", "p", "s"}));
    EXPECT_EQ(NotasDe(t), (std::vector<std::string>{"1,3:p", "0,4:s", "1,0:rotulo"}));
}

TEST(TabelaResultados, KeptRowsMoveUpWithLabelsCellsAndNotes) {
    TabelaResultados t = MontaTabela({"a", "b", "c", "d"}, {{"v", {1, 2, 3, 4}}});
    AcrescentaNota(t, 2, 1, "b");
    AcrescentaNota(t, 3, 0, "c");
    AcrescentaNota(t, 4, 1, "d");
    AcrescentaNota(t, 0, 1, "titulo");
    t.OrdemDecrescente = true;
    t.ColunaOrdem = 1;
    MantemLinhas(t, {1, 3, 4});
    EXPECT_EQ(t.NumLinhas, 3);
    EXPECT_EQ(t.Rotulo(2), "c");
    EXPECT_EQ(t.Dado(1, 3), 4);
    EXPECT_EQ(t.Rotulo(4), "");
    EXPECT_EQ(t.Dado(1, 4), 0);
    EXPECT_EQ(NotasDe(t), (std::vector<std::string>{"2,0:c", "3,1:d", "0,1:titulo"}));
    EXPECT_FALSE(t.OrdemDecrescente);
    EXPECT_EQ(t.ColunaOrdem, 0);
    EXPECT_EQ(t.Ordem(3), 3);
}

TEST(TabelaResultados, FreeingAndResizing) {
    TabelaResultados t = MontaTabela({"a", "b"}, {{"v", {1, 2}}});
    t.DefineNomeColuna(0, "Regi\xE3o");
    AcrescentaNota(t, 1, 1, "n");
    TabelaResultados copia = t; // a deep copy
    copia.Dado(1, 1) = 9;
    copia.Coluna(0).NomeColuna = "outra";
    EXPECT_EQ(t.Dado(1, 1), 1);
    EXPECT_EQ(copia.NumNotas(), 1);
    t.DefineCapLinhas(4);
    EXPECT_EQ(t.CapLinhas(), 4);
    EXPECT_EQ(t.Dado(1, 2), 2);
    EXPECT_EQ(t.Dado(1, 4), 0);
    EXPECT_EQ(t.Ordem(4), 4);
    EXPECT_EQ(t.NumLinhas, 2);
    LiberaTabela(t);
    EXPECT_EQ(t.NumLinhas, 0);
    EXPECT_EQ(t.NumColunas(), 0);
    EXPECT_EQ(t.CapLinhas(), 0);
    EXPECT_EQ(t.NumNotas(), 0);
    EXPECT_EQ(t.NomeColuna(0), "Regi\xE3o");
    EXPECT_EQ(t.Classe[0], -1e20);
}

// The values of indice[1..n] in order.
std::vector<double> Sequencia(const std::vector<double>& valores, const std::vector<std::int32_t>& indice) {
    std::vector<double> r;
    for (std::size_t k = 1; k < indice.size(); ++k)
        r.push_back(valores[static_cast<std::size_t>(indice[k])]);
    return r;
}

TEST(OrdenaIndice, SortsRowNumbersByValueWithNaNLast) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    std::mt19937 gerador(3);
    for (int rodada = 0; rodada < 300; ++rodada) {
        SCOPED_TRACE(rodada);
        auto n = static_cast<std::size_t>(gerador() % 40);
        std::vector<double> valores(n + 1, 0.0);
        for (std::size_t r = 1; r <= n; ++r) {
            switch (gerador() % 6) {
            case 0:
                valores[r] = nan;
                break;
            case 1:
                valores[r] = -inf;
                break;
            case 2:
                valores[r] = 5;
                break;
            default:
                valores[r] = static_cast<double>(static_cast<int>(gerador() % 21) - 10) / 2;
            }
        }
        std::vector<std::int32_t> indice(n + 1, 0);
        for (std::size_t k = 1; k <= n; ++k)
            indice[k] = static_cast<std::int32_t>(k);
        std::shuffle(indice.begin() + 1, indice.end(), gerador);
        OrdenaIndice(valores, indice, 1, static_cast<std::int32_t>(n));

        std::vector<std::int32_t> linhas(indice.begin() + 1, indice.end());
        std::sort(linhas.begin(), linhas.end());
        for (std::size_t k = 0; k < n; ++k)
            ASSERT_EQ(linhas[k], static_cast<std::int32_t>(k + 1));
        std::vector<double> seq = Sequencia(valores, indice);
        auto primeiroNaN = std::find_if(seq.begin(), seq.end(), [](double v) { return std::isnan(v); });
        EXPECT_TRUE(std::all_of(primeiroNaN, seq.end(), [](double v) { return std::isnan(v); }));
        EXPECT_TRUE(std::is_sorted(seq.begin(), primeiroNaN));
    }
}

TEST(OrdenaIndice, SortsOnlyTheGivenPartAndLongAdversarialRuns) {
    std::vector<double> valores = {0, 5, 4, 3, 2, 1};
    std::vector<std::int32_t> indice = {0, 1, 2, 3, 4, 5};
    OrdenaIndice(valores, indice, 2, 4);
    EXPECT_EQ(indice, (std::vector<std::int32_t>{0, 1, 4, 3, 2, 5}));

    // A long run of equal values and a sawtooth: both finish and come out sorted.
    const std::size_t n = 200000;
    std::vector<double> grande(n + 1);
    for (std::size_t r = 1; r <= n; ++r)
        grande[r] = r % 2 ? 1.0 : static_cast<double>(r % 1000);
    std::vector<std::int32_t> ordem(n + 1);
    for (std::size_t k = 0; k <= n; ++k)
        ordem[k] = static_cast<std::int32_t>(k);
    OrdenaIndice(grande, ordem, 1, static_cast<std::int32_t>(n));
    std::vector<double> seq = Sequencia(grande, ordem);
    EXPECT_TRUE(std::is_sorted(seq.begin(), seq.end()));
}

TEST(TabelaResultados, OrderingByColumnAndBackToNatural) {
    TabelaResultados t = MontaTabela({"a", "b", "c"}, {{"v", {3, 1, 2}}});
    t.OrdemDecrescente = true;
    OrdenaPorColuna(t, 1);
    EXPECT_EQ(t.ColunaOrdem, 1);
    EXPECT_EQ(t.Ordem(1), 2);
    EXPECT_EQ(t.Ordem(2), 3);
    EXPECT_EQ(t.Ordem(3), 1);
    EXPECT_TRUE(t.OrdemDecrescente);
    EXPECT_EQ(LinhaReal(t, 2), 1); // largest first
    OrdenaPorColuna(t, 0);
    EXPECT_EQ(t.ColunaOrdem, 0);
    EXPECT_EQ(t.Ordem(1), 1);
    EXPECT_EQ(t.Ordem(3), 3);
}

} // namespace
} // namespace dorvan

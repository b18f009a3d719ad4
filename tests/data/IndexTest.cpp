#include "data/Index.h"

#include "platform/Mensagens.h"

#include <gtest/gtest.h>

#include <map>
#include <random>

namespace dorvan {
namespace {

std::vector<std::string> Chaves(const TIndice& t) {
    std::vector<std::string> r;
    for (std::int32_t k = 1; k <= t.Quantidade(); ++k)
        r.push_back(t.Chave(k));
    return r;
}

TEST(TIndice, KeysOutOfOrderAreStoredAscending) {
    TIndice t;
    CriaIndice(t, 10);
    EXPECT_TRUE(InsereIndice(t, "10", 1));
    EXPECT_TRUE(InsereIndice(t, "20", 2));
    EXPECT_TRUE(InsereIndice(t, "15", 3));
    EXPECT_EQ(Chaves(t), (std::vector<std::string>{"10", "15", "20"}));
    EXPECT_EQ(ValorIndice(t, "15"), 3);
    EXPECT_EQ(ValorIndice(t, "20"), 2);
}

TEST(TIndice, ComparisonIsByUnsignedBytes) {
    TIndice t;
    CriaIndice(t, 10);
    for (const char* k : {"a", "9", "\xE7", "Z", "10", "ab", "\x80", "z"})
        InsereIndice(t, k, 1);
    EXPECT_EQ(Chaves(t), (std::vector<std::string>{"10", "9", "Z", "a", "ab", "z", "\x80", "\xE7"}));
}

TEST(TIndice, SearchReportsPositionAndValue) {
    TIndice t;
    CriaIndice(t, 10);
    std::int32_t p = -1, v = -1;
    EXPECT_FALSE(BuscaIndice(t, "x", p, v)); // empty: the sentinel
    EXPECT_EQ(p, 0);
    EXPECT_EQ(v, 0);
    EXPECT_EQ(ValorIndice(t, "x"), 0);

    InsereIndice(t, "b", 5);
    InsereIndice(t, "d", 6);
    struct Caso {
        const char* chave;
        bool achou;
        std::int32_t posicao, valor;
    } casos[] = {{"a", false, 1, 5}, {"b", true, 1, 5}, {"c", false, 2, 6}, {"d", true, 2, 6}, {"e", false, 2, 6}};
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.chave);
        EXPECT_EQ(BuscaIndice(t, c.chave, p, v), c.achou);
        EXPECT_EQ(p, c.posicao);
        EXPECT_EQ(v, c.valor);
    }
    EXPECT_EQ(ValorIndice(t, "e"), 0); // above every key
    EXPECT_EQ(ValorIndice(t, "a"), 0);
}

TEST(TIndice, ExistingKeyGetsNewValueAndReportsFalse) {
    TIndice t;
    CriaIndice(t, 3);
    InsereIndice(t, "a", 1);
    InsereIndice(t, "b", 2);
    EXPECT_FALSE(InsereIndice(t, "a", 9)); // in the middle
    EXPECT_FALSE(InsereIndice(t, "b", 8)); // the last key
    EXPECT_EQ(t.Quantidade(), 2);
    EXPECT_EQ(ValorIndice(t, "a"), 9);
    EXPECT_EQ(ValorIndice(t, "b"), 8);
}

TEST(TIndice, RangesGiveTheirValueBetweenBounds) {
    TIndice t;
    CriaIndice(t, 10);
    InsereFaixa(t, "100", "199", 7);
    struct Caso {
        const char* chave;
        std::int32_t valor;
    };
    for (Caso c : {Caso{"150", 7}, {"100", 7}, {"199", 7}, {"1000", 7}, {"200", 0}, {"099", 0}, {"1", 0}}) {
        SCOPED_TRACE(c.chave);
        EXPECT_EQ(ValorIndice(t, c.chave), c.valor);
    }

    // A single key inside the range keeps its own value; the range stays whole around it.
    EXPECT_TRUE(InsereIndice(t, "150", 3));
    for (Caso c : {Caso{"150", 3}, {"120", 7}, {"180", 7}, {"100", 7}, {"199", 7}, {"200", 0}}) {
        SCOPED_TRACE(c.chave);
        EXPECT_EQ(ValorIndice(t, c.chave), c.valor);
    }
}

TEST(TIndice, RangesOfBytesAboveAsciiAndSingleKeyRanges) {
    TIndice t;
    CriaIndice(t, 10);
    InsereFaixa(t, "\xC0", "\xDD", 4); // accented capitals
    InsereFaixa(t, "m", "m", 2);       // equal bounds tag one key both ways
    InsereIndice(t, "\xE7", 5);
    EXPECT_EQ(ValorIndice(t, "\xC7"), 4);
    EXPECT_EQ(ValorIndice(t, "\xC0\xFF"), 4);
    EXPECT_EQ(ValorIndice(t, "\xDE"), 0);
    EXPECT_EQ(ValorIndice(t, "Z"), 0);
    EXPECT_EQ(ValorIndice(t, "m"), 2);
    EXPECT_EQ(ValorIndice(t, "ma"), 0);
    EXPECT_EQ(ValorIndice(t, "\xE7"), 5);
    EXPECT_EQ(ValorIndice(t, "\xE8"), 0);
}

TEST(TIndice, FullIndexRefusesWithMessageAndStaysUnchanged) {
    MensagensRoteiro msgs;
    UsaMensagens usa(msgs);
    TIndice t;
    CriaIndice(t, 2);
    InsereIndice(t, "a", 1);
    InsereIndice(t, "c", 3);
    EXPECT_FALSE(InsereIndice(t, "b", 2)); // would go in the middle
    EXPECT_FALSE(InsereIndice(t, "d", 4)); // would be appended
    EXPECT_FALSE(InsereIndice(t, "c", 7)); // an existing key is still updated
    EXPECT_EQ(msgs.Textos(), (std::vector<std::string>{"Entradas excede m\xE1ximo 2", "Entradas excede m\xE1ximo 2"}));
    EXPECT_EQ(Chaves(t), (std::vector<std::string>{"a", "c"}));
    EXPECT_EQ(ValorIndice(t, "c"), 7);
}

TEST(TIndice, RefusedRangeBoundTagsNoNeighbour) {
    MensagensRoteiro msgs;
    UsaMensagens usa(msgs);
    TIndice t;
    CriaIndice(t, 3);
    InsereIndice(t, "a", 1);
    InsereIndice(t, "m", 2);
    InsereFaixa(t, "c", "x", 9); // "c" fits, "x" does not
    ASSERT_EQ(msgs.Textos().size(), 1u);
    EXPECT_EQ(Chaves(t), (std::vector<std::string>{"a", "c", "m"}));
    EXPECT_EQ(t.Item(3).FimFaixa, 0); // "m" must not close the range
    EXPECT_EQ(ValorIndice(t, "e"), 0);
    EXPECT_EQ(ValorIndice(t, "c"), 9);

    // Both bounds refused: nothing is tagged at all.
    InsereFaixa(t, "b", "d", 4);
    for (std::int32_t k = 0; k <= t.Quantidade(); ++k) {
        EXPECT_NE(t.Item(k).InicioFaixa, 4);
        EXPECT_NE(t.Item(k).FimFaixa, 4);
    }
}

TEST(TIndice, RandomInsertionsMatchAnOrderedMap) {
    TIndice t;
    CriaIndice(t, 5000);
    std::map<std::string, std::int32_t> esperado;
    std::mt19937 gerador(7);
    for (int i = 0; i < 5000; ++i) {
        std::string chave;
        int tamanho = 1 + static_cast<int>(gerador() % 4);
        for (int j = 0; j < tamanho; ++j)
            chave += static_cast<char>("09AZaz\x80\xE7\xFF"[gerador() % 9]);
        auto valor = static_cast<std::int32_t>(gerador() % 1000) + 1;
        bool novo = !esperado.contains(chave);
        EXPECT_EQ(InsereIndice(t, chave, valor), novo);
        esperado[chave] = valor;
    }
    ASSERT_EQ(t.Quantidade(), static_cast<std::int32_t>(esperado.size()));
    std::int32_t k = 1;
    for (const auto& [chave, valor] : esperado) {
        EXPECT_EQ(t.Chave(k), chave);
        EXPECT_EQ(t.Valor(k), valor);
        EXPECT_EQ(ValorIndice(t, chave), valor);
        ++k;
    }
}

// The builder ends where InsereIndice and InsereFaixa called in the same order
// end: keys, values, range tags (a key that came inside a range carries it, one
// that came before it does not), and the refusals of a full index.
TEST(MontaIndice, EndsAsTheSameInsertionsOneByOne) {
    for (std::uint32_t semente = 1; semente <= 20; ++semente) {
        std::mt19937 gerador(semente);
        const std::int32_t capacidade = semente % 4 == 0 ? 40 : 400;
        MensagensRoteiro msgsUm, msgsMonta;
        TIndice umAUm, montado;
        CriaIndice(umAUm, capacidade);
        MontaIndice monta(capacidade);
        auto chave = [&] {
            std::string c;
            for (int j = 0; j < 2; ++j) c += static_cast<char>("0123456789"[gerador() % 10]);
            return c;
        };
        for (int i = 0; i < 150; ++i) {
            const auto valor = static_cast<std::int32_t>(gerador() % 9) + 1;
            std::string baixo = chave(), alto = chave();
            if (alto < baixo) std::swap(baixo, alto);
            if (gerador() % 3 == 0) {
                {
                    UsaMensagens usa(msgsUm);
                    InsereFaixa(umAUm, baixo, alto, valor);
                }
                UsaMensagens usa(msgsMonta);
                monta.InsereFaixa(baixo, alto, valor);
            } else {
                bool a, b;
                {
                    UsaMensagens usa(msgsUm);
                    a = InsereIndice(umAUm, baixo, valor);
                }
                {
                    UsaMensagens usa(msgsMonta);
                    b = monta.Insere(baixo, valor);
                }
                EXPECT_EQ(a, b);
            }
        }
        std::int32_t v = 0;
        EXPECT_EQ(monta.Busca(umAUm.Chave(1), v), true);
        EXPECT_EQ(v, umAUm.Valor(1));
        monta.Conclui(montado);
        EXPECT_EQ(msgsMonta.Textos(), msgsUm.Textos()) << semente;
        EXPECT_EQ(montado.Capacidade(), capacidade);
        ASSERT_EQ(montado.Quantidade(), umAUm.Quantidade()) << semente;
        for (std::int32_t k = 1; k <= umAUm.Quantidade(); ++k) {
            EXPECT_EQ(montado.Chave(k), umAUm.Chave(k));
            EXPECT_EQ(montado.Item(k).Valor, umAUm.Item(k).Valor);
            EXPECT_EQ(montado.Item(k).InicioFaixa, umAUm.Item(k).InicioFaixa) << semente << " " << k;
            EXPECT_EQ(montado.Item(k).FimFaixa, umAUm.Item(k).FimFaixa) << semente << " " << k;
        }
        for (int n = 0; n < 100; ++n) {
            const std::string c = std::to_string(n / 10) + std::to_string(n % 10) + (n % 2 ? "5" : "");
            EXPECT_EQ(ValorIndice(montado, c), ValorIndice(umAUm, c)) << c;
        }
    }
}

TEST(TIndice, ValuesCanBeRenumberedInKeyOrderAndIndexFreed) {
    TIndice t;
    CriaIndice(t, 5);
    InsereIndice(t, "b", 1);
    InsereIndice(t, "a", 2);
    InsereIndice(t, "c", 3);
    for (std::int32_t k = 1; k <= t.Quantidade(); ++k)
        t.DefineValor(k, k);
    EXPECT_EQ(ValorIndice(t, "a"), 1);
    EXPECT_EQ(ValorIndice(t, "b"), 2);
    EXPECT_EQ(ValorIndice(t, "c"), 3);
    LiberaIndice(t);
    EXPECT_EQ(t.Quantidade(), 0);
    EXPECT_EQ(t.Capacidade(), 0);
    EXPECT_EQ(ValorIndice(t, "a"), 0);
    CriaIndice(t, 1);
    EXPECT_TRUE(InsereIndice(t, "z", 4));
    EXPECT_EQ(ValorIndice(t, "z"), 4);
}

} // namespace
} // namespace dorvan

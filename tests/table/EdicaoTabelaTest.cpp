// The "Editar" menu's table work: finding labels, DOS accents, save extensions.
#include "platform/Mensagens.h"
#include "table/EdicaoTabela.h"
#include "table/OperacoesColunas.h"
#include "table/TabelaTeste.h"

#include <gtest/gtest.h>

using namespace dorvan;

namespace {

TEST(Localiza, AccentsNeverMatterCaseOnlyWhenAsked) {
    struct Caso {
        const char* procura;
        bool maiusculas;
        bool acha;
    } casos[] = {
        {"sao", false, true}, {"S\xC3O", false, true}, {"Sao", true, true},
        {"sao", true, false}, {"paulo", false, true},  {"", false, false},
    };
    for (const Caso& c : casos) EXPECT_EQ(RotuloContem("S\xE3o Paulo", c.procura, c.maiusculas), c.acha) << c.procura;
}

TEST(Localiza, SearchRunsFromTheStartRowInItsDirection) {
    TabelaResultados t = teste::MontaTabela({"Acre", "Bahia", "Acre do Sul", "Par\xE1"}, {{"V", {1, 3, 2, 4}}});
    // Grid rows 2..5 hold data rows 1..4.
    EXPECT_EQ(LocalizaRotulo(t, "acre", false, true, 2), 2);
    EXPECT_EQ(LocalizaRotulo(t, "acre", false, true, 3), 4);
    EXPECT_EQ(LocalizaRotulo(t, "acre", false, true, 5), 0);
    EXPECT_EQ(LocalizaRotulo(t, "acre", false, false, 3), 2);
    EXPECT_EQ(LocalizaRotulo(t, "acre", false, false, 1), 0);
    EXPECT_EQ(LocalizaRotulo(t, "para", false, false, 99), 5);
    // Ordered by a column (largest first), grid rows follow the order.
    OrdenaTabela(t, 1);
    EXPECT_EQ(LocalizaRotulo(t, "par", false, true, 2), 2);
    EXPECT_EQ(LocalizaRotulo(t, "acre", false, true, 2), 4);
    EXPECT_EQ(MensagemNaoEncontrado("xyz"), "\"xyz\" n\xE3o encontrado!");
}

TEST(Localiza, FindStartsBesideTheTopRowNotOnIt) {
    TabelaResultados t = teste::MontaTabela({"Acre", "Bahia", "Acre do Sul", "Par\xE1"}, {{"V", {1, 3, 2, 4}}});
    EXPECT_EQ(LocalizaDesdeOTopo(t, "acre", false, true, 2), 4);  // down from grid row 3
    EXPECT_EQ(LocalizaDesdeOTopo(t, "acre", false, true, 4), 0);  // past the last match
    EXPECT_EQ(LocalizaDesdeOTopo(t, "acre", false, false, 4), 2); // up from grid row 3
    EXPECT_EQ(LocalizaDesdeOTopo(t, "bahia", false, false, 3), 0);
}

TEST(ConverteDOS, OnlyLabelsChangeAndTheTableIsNotModified) {
    TabelaResultados t = teste::MontaTabela({"S\xC6o Jos\x82", "Rio"}, {{"V", {1, 2}}});
    t.DefineNomeColuna(0, "\xC6");
    t.Modificada = false;
    ConverteRotulosDOS(t);
    EXPECT_EQ(teste::Rotulos(t), (std::vector<std::string>{"S\xE3o Jos\xE9", "Rio"}));
    EXPECT_EQ(t.NomeColuna(0), "\xC6");
    EXPECT_FALSE(t.Modificada);
}

TEST(TipoSalvar, EachFileTypeAddsItsExtensionAndSpringNone) {
    const char* esperadas[] = {"", "prn", "htm", "tab", "cnv", "", "dbf", "xls", "sql", "csv", "xml", "pdb", ""};
    for (int i = 0; i <= 12; ++i) EXPECT_EQ(ExtensaoDoTipoSalvar(i), esperadas[i]) << i;
}

} // namespace

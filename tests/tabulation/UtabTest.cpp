// Code numbers of the direct table and the small text routines of the dimension unit.
#include "tabulation/Utab.h"

#include <gtest/gtest.h>

namespace dorvan {
namespace {

TEST(CodigoParaNumero, NumberedRule) {
    struct Caso {
        const char* codigo;
        std::uint16_t numero;
        const char* depois; // the text as the routine leaves it
    } casos[] = {
        {"123", 123, "123"},    {"A05", 105, "05"},  {"a05", 105, "05"},  {"Z99", 2699, "99"},
        {" 7 ", 70, "070"},     {"1X3", 103, "103"}, {"A", 1, ""},        {"Z", 26, ""},
        {"B1", 21, "1"},        {"AB1", 101, "01"},  {"0000", 0, "0000"}, {"9999", 9999, "9999"},
        {"Z999", 26999, "999"}, {"", 0, ""},         {"   ", 0, "000"},   {" A1", 1, "001"},
    };
    for (const auto& c : casos) {
        std::string s = c.codigo;
        EXPECT_EQ(CodigoParaNumero(s), c.numero) << c.codigo;
        EXPECT_EQ(s, c.depois) << c.codigo;
    }
}

TEST(CodigoParaNumero, ASignInFrontIsTheNumbersAndAnywhereElseReadsAsZero) {
    struct Caso {
        const char* codigo;
        std::uint16_t numero;
    } casos[] = {
        {"1-", 10}, {"0-1", 1}, {"+5", 5}, {"-", 0},   {"+", 0},    {"-0", 0},   {"+05", 5},
        {"-1", 65535}, {"-05", 65531}, {"A-1", 99}, {" -1", 1}, {"1+2", 102}, {"--1", 1},
    };
    for (const auto& c : casos) {
        std::string s = c.codigo;
        EXPECT_EQ(CodigoParaNumero(s), c.numero) << c.codigo;
    }
}

TEST(CodigoParaNumero, CharactersBetweenZAndLowerCaseAAreOutsideEveryTable) {
    for (const char* c : {"[05", "\\05", "]05", "^05", "_05", "`05"}) {
        std::string s = c;
        EXPECT_EQ(CodigoParaNumero(s), CodigoForaDaTabela) << c;
    }
}

TEST(FormataTitulo, LabelPaddedThenSpecificationWithoutBlanks) {
    struct Caso {
        const char* item;
        const char* resultado;
    } casos[] = {
        {"LSexo,SEXO,1,sexo.cnv", "Sexo               SEXO,1,sexo.cnv"},
        {"L  Faixa et\xE1ria   , IDADE , 1 , idade.cnv", "Faixa et\xE1ria       IDADE,1,idade.cnv"},
        {"LUm rotulo longo demais para caber,X,1,t.cnv", "Um rotulo longo de X,1,t.cnv"},
        {"LSem especificacao", "                   LSemespecificacao"},
        {"L,X", "                   X"},
    };
    for (const auto& c : casos)
        EXPECT_EQ(FormataTitulo(c.item), c.resultado) << c.item;
}

TEST(CortaItem, TakesUpToTheCommaAndCutsTheRest) {
    std::string s = "A,BCDEF,G";
    std::string item;
    CortaItem(s, 3, item);
    EXPECT_EQ(item, "A");
    EXPECT_EQ(s, "BCD");
    CortaItem(s, 10, item);
    EXPECT_EQ(item, "BCD");
    EXPECT_EQ(s, "");
    s = "X,";
    CortaItem(s, 10, item);
    EXPECT_EQ(item, "X");
    EXPECT_EQ(s, "");
}

} // namespace
} // namespace dorvan

#include "platform/Numeros.h"

#include <QLocale>
#include <gtest/gtest.h>

#include <clocale>
#include <cstdio>
#include <cmath>
#include <limits>

namespace dorvan {
namespace {

// Runs the body under the C locale and under Brazilian Portuguese, where the
// C library and Qt both write a decimal comma.
class NumerosEmDuasLocalidades : public ::testing::TestWithParam<const char*> {
protected:
    void SetUp() override {
        anterior_ = QLocale();
        const char* nome = GetParam();
        // A missing locale would silently test C twice; scripts/setup.sh generates it.
        ASSERT_NE(std::setlocale(LC_ALL, nome), nullptr) << nome << " is not installed";
        QLocale::setDefault(QLocale(QString::fromLatin1(nome[0] == 'C' ? "C" : "pt_BR")));
    }
    void TearDown() override {
        std::setlocale(LC_ALL, "C");
        QLocale::setDefault(anterior_);
    }
    QLocale anterior_;
};

TEST_P(NumerosEmDuasLocalidades, TheCLibraryReallyChangesItsDecimalMark) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.1f", 1.5);
    EXPECT_STREQ(buf, GetParam()[0] == 'C' ? "1.5" : "1,5");
}

TEST_P(NumerosEmDuasLocalidades, MachineFormIgnoresTheLocale) {
    struct Caso {
        double valor;
        int decimais;
        const char* esperado;
    } casos[] = {
        {1234.5, 2, "1234.50"},
        {0.125, 2, "0.13"},
        {-0.125, 2, "-0.13"},
        {2.5, 0, "3"},
        {-2.5, 0, "-3"},
        {-0.001, 2, "0.00"},
        {-0.0, 0, "0"},
        {9.995, 2, "10.00"},
        {999.5, 0, "1000"},
        {1e15, 0, "1000000000000000"},
        {0.1 + 0.2, 3, "0.300"},
        {std::numeric_limits<double>::quiet_NaN(), 1, "0.0"},
        {std::numeric_limits<double>::infinity(), 0, "0"},
        // Whole numbers on both sides of the largest written without rounding.
        {-0.0, 2, "0.00"},
        {-7, 3, "-7.000"},
        {42, 0, "42"},
        {999999999999999.0, 1, "999999999999999.0"},
        {-999999999999999.0, 0, "-999999999999999"},
        {-1e15, 2, "-1000000000000000.00"},
        {123456789012345678.0, 0, "123456789012345680"},
    };
    for (const auto& c : casos)
        EXPECT_EQ(NumeroMaquina(c.valor, c.decimais), c.esperado) << c.valor;
    // Appended in place, with either mark, the same text.
    for (const auto& c : casos)
        for (int decimais : {c.decimais, -1, 1'000'000'000}) {
            std::string ponto = "x", virgula = "y";
            AcrescentaNumero(ponto, c.valor, decimais, '.');
            AcrescentaNumero(virgula, c.valor, decimais, ',');
            EXPECT_EQ(ponto, "x" + NumeroMaquina(c.valor, decimais)) << c.valor;
            EXPECT_EQ(virgula, "y" + NumeroVirgula(c.valor, decimais)) << c.valor;
        }
    EXPECT_EQ(NumeroVirgula(-1234.567, 2), "-1234,57");
    EXPECT_EQ(NumeroMaquina(1.5, 1'000'000'000), "1.5" + std::string(kMaxDecimais - 1, '0'));
    EXPECT_EQ(NumeroMaquina(5e-324, 324), "0." + std::string(323, '0') + "5");
    EXPECT_EQ(NumeroCurto(1.5), "1.5");
    EXPECT_EQ(NumeroCurto(0.1), "0.1");
    EXPECT_EQ(NumeroCurto(-0.0), "0");
    EXPECT_EQ(NumeroCurto(1e20), "100000000000000000000");
}

TEST_P(NumerosEmDuasLocalidades, ReadingIgnoresTheLocale) {
    EXPECT_EQ(LeNumeroMaquina(" 12.5 "), 12.5);
    EXPECT_EQ(LeNumeroMaquina("+3"), 3.0);
    EXPECT_EQ(LeNumeroMaquina("-1e3"), -1000.0);
    EXPECT_FALSE(LeNumeroMaquina("12,5").has_value());
    EXPECT_FALSE(LeNumeroMaquina("").has_value());
    EXPECT_FALSE(LeNumeroMaquina("1.2.3").has_value());
    EXPECT_EQ(LePrefixoNumerico("  42abc"), 42.0);
    EXPECT_EQ(LePrefixoNumerico("   "), 0.0);
    EXPECT_EQ(LePrefixoNumerico("3.25xyz"), 3.25);
    EXPECT_EQ(LePrefixoNumerico("x3"), 0.0);
    // Words the C++ reader would take as numbers are not numbers in our files.
    for (const char* palavra : {"nan", "inf", "-inf", "infinity", "+-3", "-", "+", ".", "e5"}) {
        EXPECT_FALSE(LeNumeroMaquina(palavra).has_value()) << palavra;
        EXPECT_EQ(LePrefixoNumerico(palavra), 0.0) << palavra;
    }
    EXPECT_EQ(LeNumeroMaquina("-.5"), -0.5);
    EXPECT_EQ(LePrefixoNumerico("-0"), 0.0);
    EXPECT_FALSE(std::signbit(LePrefixoNumerico("-0")));
}

// Qt's C locale writes no group separator.
TEST_P(NumerosEmDuasLocalidades, UserFormFollowsQtLocale) {
    bool brasil = GetParam()[0] != 'C';
    EXPECT_EQ(NumeroUsuario(1234567.891, 2).toStdString(), brasil ? "1.234.567,89" : "1234567.89");
    EXPECT_EQ(NumeroUsuario(-0.004, 2).toStdString(), brasil ? "0,00" : "0.00");
    EXPECT_EQ(NumeroUsuario(-1000, 0).toStdString(), brasil ? "-1.000" : "-1000");
}

INSTANTIATE_TEST_SUITE_P(Locais, NumerosEmDuasLocalidades, ::testing::Values("C", "pt_BR.UTF-8"));

} // namespace
} // namespace dorvan

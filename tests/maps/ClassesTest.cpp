#include "maps/Classes.h"

#include "table/TabelaTeste.h"

#include <QLocale>
#include <gtest/gtest.h>

#include <cmath>
#include <sstream>

namespace dorvan {
namespace {

using teste::MontaTabela;

class UsaLocale {
public:
    explicit UsaLocale(const QLocale& l) { QLocale::setDefault(l); }
    ~UsaLocale() { QLocale::setDefault(anterior_); }

private:
    QLocale anterior_;
};

// A one-column table mapped on that column, with its extremes taken.
TabelaResultados Mapeada(const std::vector<double>& valores, std::int32_t decimais, std::int32_t classes) {
    std::vector<std::string> rotulos;
    for (std::size_t i = 0; i < valores.size(); ++i)
        rotulos.push_back("L" + std::to_string(i + 1));
    TabelaResultados t = MontaTabela(rotulos, {{"Pop", valores, decimais}});
    t.ColunaMapa = 1;
    t.NumClasses = classes;
    CalculaExtremos(t);
    return t;
}

// The palettes as red-green-blue hexadecimal, one line each, 0 to 16.
const char* const PaletasRGB = R"(
FFFF00 00FF00 C0C0C0 FF00FF FF0000 808080 008080 008000 800080 0000FF
FA0000 EB0000 DC0000 CD0000 BE0000 AF0000 A00000 910000 820000 730000
730000 820000 910000 A00000 AF0000 BE0000 CD0000 DC0000 EB0000 FA0000
D8FFF8 C5FFEB 9FFFDF 66FFCC 66E5C5 66CCBF 66B2B8 6699B2 6666A5 663399
663399 6666A5 6699B2 66B2B8 66CCBF 66E5C5 66FFCC 9FFFDF C5FFEB D8FFF8
FFFFB2 FFFF79 DFE58C BFD67F 9FB272 7F9966 5F7F59 3F664C 1F4C3F 003333
003333 1F4C3F 3F664C 5F7F59 7F9966 9FB272 BFD67F DFE58C FFFF79 FFFFB2
FFFFB2 FFFF79 FFE040 FFC200 FF9933 FF6633 CC6633 CC3300 990000 663300
663300 990000 CC3300 CC6633 FF6633 FF9933 FFC200 FFE040 FFFF79 FFFFB2
FFDFDF FFBFBF FF9F9F FF7F7F FF5F5F FF3F3F FF0000 DF0000 BF0000 9F0000
9F0000 BF0000 DF0000 FF0000 FF3F3F FF5F5F FF7F7F FF9F9F FFBFBF FFDFDF
DFDFFF BFBFFF 9F9FFF 7F7FFF 5F5FFF 3F3FFF 0000FF 0000DF 0000BF 00009F
00009F 0000BF 0000DF 0000FF 3F3FFF 5F5FFF 7F7FFF 9F9FFF BFBFFF DFDFFF
DFF2E5 BFE5CC 9FD8B2 7FCC99 5FBF7F 3FB266 009933 007226 004C19 003913
003913 004C19 007226 009933 3FB266 5FBF7F 7FCC99 9FD8B2 BFE5CC DFF2E5
F0F0F0 E0E0E0 D0D0D0 C0C0C0 B0B0B0 A0A0A0 909090 808080 707070 606060
606060 707070 808080 909090 A0A0A0 B0B0B0 C0C0C0 D0D0D0 E0E0E0 F0F0F0
)";

TEST(Classes, PalettesHoldTheirColoursInStoredForm) {
    std::istringstream in(PaletasRGB);
    for (std::int32_t tipo = 0; tipo < NumPaletas; ++tipo)
        for (std::size_t i = 0; i < 10; ++i) {
            std::string hex;
            in >> hex;
            const auto rgb = static_cast<std::uint32_t>(std::stoul(hex, nullptr, 16));
            const std::uint32_t bgr = ((rgb & 0xFF) << 16) | (rgb & 0xFF00) | (rgb >> 16);
            EXPECT_EQ(Paleta(tipo)[i], bgr) << "palette " << tipo << " entry " << i + 1;
        }
    EXPECT_EQ(Paleta(0)[0], 0x0000FFFFu); // yellow
    EXPECT_EQ(Paleta(0)[9], 0x00FF0000u); // blue
    EXPECT_EQ(Paleta(2)[0], 0x00000073u); // dark red, 115
    EXPECT_EQ(Paleta(17), Paleta(0));
    EXPECT_EQ(Paleta(-1), Paleta(0));
    EXPECT_EQ(RGBDeCor(CorDeRGB(0x123456)), 0x123456u);
}

TEST(Classes, RampIsThinnedOverItsWholeLength) {
    struct Caso {
        std::int32_t classes;
        std::vector<std::size_t> entradas; // 1-based ramp entries for Cor[1..n]
    } casos[] = {
        {2, {1, 10}},          {3, {1, 6, 10}},          {4, {1, 4, 6, 10}},
        {5, {1, 4, 6, 8, 10}}, {6, {1, 2, 3, 4, 5, 10}}, {10, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10}},
    };
    for (const Caso& c : casos)
        for (std::int32_t tipo : {3, 8}) {
            SCOPED_TRACE("classes " + std::to_string(c.classes) + " palette " + std::to_string(tipo));
            TabelaResultados t;
            t.NumClasses = c.classes;
            MontaPaleta(t, tipo);
            for (std::size_t k = 1; k <= c.entradas.size(); ++k)
                EXPECT_EQ(t.Cor[k], Paleta(tipo)[c.entradas[k - 1] - 1]) << "Cor " << k;
        }
    TabelaResultados t;
    t.NumClasses = 2;
    MontaPaleta(t, 40); // above 16 acts as 0
    EXPECT_EQ(t.Cor[1], CorDeRGB(0xFFFF00));
    EXPECT_EQ(t.Cor[2], CorDeRGB(0x0000FF));
}

TEST(Classes, DefaultAndNextPalette) {
    TabelaResultados t;
    t.NumClasses = 5;
    CorNormal(t);
    EXPECT_EQ(t.IndCor, 3);
    for (std::size_t k = 1; k <= 10; ++k)
        EXPECT_EQ(t.Cor[k], Paleta(3)[k - 1]);
    ProximaPaleta(t);
    EXPECT_EQ(t.IndCor, 4);
    EXPECT_EQ(t.Cor[2], Paleta(4)[3]);
    t.IndCor = 15;
    ProximaPaleta(t);
    EXPECT_EQ(t.IndCor, 16);
    ProximaPaleta(t);
    EXPECT_EQ(t.IndCor, 0);
    EXPECT_EQ(t.Cor[5], Paleta(0)[9]);
}

TEST(Classes, LimitsForEachMethod) {
    // Data order differs from value order: equal frequency must read sorted values.
    const std::vector<double> v = {5, 1, 9, 3, 7, 2, 10, 4, 8, 6};
    struct Caso {
        const char* nome;
        ModoClasses modo;
        std::int32_t decimais;
        std::vector<double> limites; // Classe[1..5]
    } casos[] = {
        {"equal value", ModoClasses::IgualValor, 2, {1 + 1.8, 1 + 1.8 * 2, 1 + 1.8 * 3, 1 + 1.8 * 4, 10.004}},
        {"equal frequency: positions 2, 4, 6, 8", ModoClasses::IgualFrequencia, 2, {2, 4, 6, 8, 10.004}},
        {"no decimals add 0.4", ModoClasses::IgualFrequencia, 0, {2, 4, 6, 8, 10.4}},
        {"manual keeps typed limits but not the last", ModoClasses::Manual, 1, {3, 5, 7, 9, 10.04}},
    };
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.nome);
        TabelaResultados t = Mapeada(v, c.decimais, 5);
        EXPECT_EQ(t.MaximoMapa, 10);
        EXPECT_EQ(t.MinimoMapa, 1);
        t.Classe = {0, 3, 5, 7, 9, 99};
        CalculaLimitesClasses(t, c.modo);
        EXPECT_EQ(t.Classe[0], -1e20);
        for (std::size_t k = 1; k <= 5; ++k)
            EXPECT_DOUBLE_EQ(t.Classe[k], c.limites[k - 1]) << "Classe " << k;
    }
}

TEST(Classes, DegenerateColumns) {
    {
        SCOPED_TRACE("all values equal: every limit but the last is that value");
        TabelaResultados t = Mapeada({4, 4, 4}, 0, 5);
        CalculaLimitesClasses(t, ModoClasses::IgualValor);
        for (std::size_t k = 1; k <= 4; ++k)
            EXPECT_EQ(t.Classe[k], 4);
        EXPECT_DOUBLE_EQ(t.Classe[5], 4.4);
        const ContagemClasses c = ContaClasses(t, ModoClasses::IgualValor);
        ASSERT_EQ(c.Barras.size(), 5u);
        EXPECT_EQ(c.Barras[0].Contagem, 3);
        for (std::size_t k = 1; k < 5; ++k)
            EXPECT_EQ(c.Barras[k].Contagem, 0);
    }
    {
        SCOPED_TRACE("fewer rows than classes: equal frequency uses the smallest value");
        TabelaResultados t = Mapeada({7, 3, 5}, 0, 5);
        CalculaLimitesClasses(t, ModoClasses::IgualFrequencia);
        for (std::size_t k = 1; k <= 4; ++k)
            EXPECT_EQ(t.Classe[k], 3);
        EXPECT_DOUBLE_EQ(t.Classe[5], 7.4);
    }
    {
        SCOPED_TRACE("no rows");
        TabelaResultados t = Mapeada({}, 0, 3);
        CalculaLimitesClasses(t, ModoClasses::IgualFrequencia);
        EXPECT_DOUBLE_EQ(t.Classe[3], 0.4);
        const ContagemClasses c = ContaClasses(t, ModoClasses::IgualFrequencia);
        EXPECT_EQ(c.Barras[2].Acumulado, 0);
    }
}

TEST(Classes, ValueOnALimitBelongsToTheClassBelow) {
    TabelaResultados t = Mapeada({5, 1, 9, 3, 7, 2, 10, 4, 8, 6}, 2, 5);
    MontaPaleta(t, 0);
    CalculaLimitesClasses(t, ModoClasses::IgualFrequencia); // 2, 4, 6, 8, 10.004
    struct Caso {
        double v;
        std::uint32_t cor;
    } casos[] = {
        {-5, t.Cor[1]}, {2, t.Cor[1]},      {2.0001, t.Cor[2]}, {8, t.Cor[4]},
        {10, t.Cor[5]}, {10.004, t.Cor[5]}, {10.01, CorBranca}, {std::nan(""), CorBranca},
    };
    for (const Caso& c : casos)
        EXPECT_EQ(CorDaClasse(t, c.v), c.cor) << c.v;
    t.NumClasses = 0;
    EXPECT_EQ(CorDaClasse(t, 5), CorBranca);
}

TEST(Classes, LimitsOutOfOrderGiveTheFirstMatchingClass) {
    TabelaResultados t = Mapeada({1, 2, 3}, 0, 3);
    MontaPaleta(t, 0);
    t.Classe = {-1e20, 5, 2, 3.4};
    EXPECT_EQ(CorDaClasse(t, 3), t.Cor[1]);
    const ContagemClasses c = ContaClasses(t, ModoClasses::Manual);
    EXPECT_EQ(c.Barras[0].Contagem, 3);
    EXPECT_EQ(c.Barras[1].Contagem, 0); // (5, 2] holds nothing
    EXPECT_EQ(c.Barras[2].Contagem, 0); // 3 lies in (2, 3.4] but was counted in class 1
    EXPECT_EQ(c.Barras[2].Acumulado, 100);
}

TEST(Classes, CountsAndLabelsOfTheClassChart) {
    UsaLocale pt(QLocale(QLocale::Portuguese, QLocale::Brazil));
    TabelaResultados t = Mapeada({1, 1, 1, 2, 10}, 1, 3);
    MontaPaleta(t, 3);
    CalculaLimitesClasses(t, ModoClasses::IgualValor); // 4, 7, 10.04
    const ContagemClasses c = ContaClasses(t, ModoClasses::IgualValor);
    EXPECT_EQ(c.LarguraBarra, 100);
    ASSERT_EQ(c.Barras.size(), 3u);
    const std::vector<std::int32_t> contagens = {4, 0, 1};
    const std::vector<std::string> rotulos = {"4,0", "7,0", "10,0"};
    const std::vector<std::string> acumulados = {" 80,00%", " 80,00%", "100,00%"};
    for (std::size_t k = 0; k < 3; ++k) {
        EXPECT_EQ(c.Barras[k].Contagem, contagens[k]);
        EXPECT_EQ(c.Barras[k].Rotulo, rotulos[k]);
        EXPECT_EQ(c.Barras[k].RotuloAcumulado, acumulados[k]);
        EXPECT_EQ(c.Barras[k].Cor, t.Cor[k + 1]);
    }
    EXPECT_EQ(ContaClasses(t, ModoClasses::IgualFrequencia).LarguraBarra, 70);
}

TEST(Classes, LimitsGridAndLegendTexts) {
    UsaLocale pt(QLocale(QLocale::Portuguese, QLocale::Brazil));
    TabelaResultados t = Mapeada({1500, 20000}, 0, 2);
    CalculaLimitesClasses(t, ModoClasses::IgualValor); // 10750, 20000.4
    // Width LarguraValor(0, 20000) = 7: the limits are right-aligned in the grid.
    EXPECT_EQ(PreencheGradeFaixas(t), (std::vector<std::string>{"Limite Superior", " 10.750", " 20.000"}));
    EXPECT_EQ(EscreveLegendaDasClasses(t), (std::vector<std::string>{"Pop", "at\xE9 10.750", "10.750 --| 20.000"}));
}

TEST(Classes, LegendBoxes) {
    TabelaResultados t;
    t.NumClasses = 3;
    MontaPaleta(t, 0);
    const auto todas = CaixasLegenda(t, 800, false);
    ASSERT_EQ(todas.size(), 10u); // not zoomed: the places of a larger legend are wiped
    EXPECT_EQ(todas[0].X1, 650);
    EXPECT_EQ(todas[0].Y1, 27);
    EXPECT_EQ(todas[0].X2, 670);
    EXPECT_EQ(todas[0].Y2, 39);
    EXPECT_EQ(todas[0].Cor, t.Cor[1]);
    EXPECT_EQ(todas[0].Caneta, CorPreta);
    EXPECT_EQ(todas[3].Y1, 78);
    EXPECT_EQ(todas[3].Cor, CorBranca);
    EXPECT_EQ(todas[3].Caneta, CorBranca);
    EXPECT_EQ(CaixasLegenda(t, 800, true).size(), 3u);
    EXPECT_EQ(ClasseNaLegenda(t, 800, 660, 45), 2);
    EXPECT_EQ(ClasseNaLegenda(t, 800, 660, 41), 0); // between boxes
    EXPECT_EQ(ClasseNaLegenda(t, 800, 660, 80), 0); // beyond the classes
}

} // namespace
} // namespace dorvan

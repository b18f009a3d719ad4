#include "maps/Escala.h"

#include "table/OperacoesColunas.h"
#include "table/TabelaTeste.h"

#include <QLocale>
#include <gtest/gtest.h>

namespace dorvan {
namespace {

using teste::MontaTabela;
using teste::RotulosExibidos;

class UsaLocale {
public:
    explicit UsaLocale(const QLocale& l) { QLocale::setDefault(l); }
    ~UsaLocale() { QLocale::setDefault(anterior_); }

private:
    QLocale anterior_;
};

TabelaResultados DuasColunas() {
    TabelaResultados t = MontaTabela({"a", "b", "c", "d"}, {{"Casos", {30, 10, 40, 20}, 0}, {"Taxa", {2, 4, 1, 3}, 1}});
    t.DefineNomeColuna(0, "Munic\xEDpio");
    return t;
}

TEST(Escala, ShowOrdersByTheMappedColumnAndCloseRestores) {
    TabelaResultados t = DuasColunas();
    OrdenaPorColuna(t, 1);
    t.OrdemDecrescente = true;
    t.ColunaMapa = 2;
    EstadoEscala e;
    EXPECT_EQ(AbreEscala(t, e), "Freq\xFC\xEAncia de Munic\xEDpio por classes de Taxa");
    EXPECT_EQ(t.ColunaOrdem, 2);
    EXPECT_EQ(RotulosExibidos(t), (std::vector<std::string>{"b", "d", "a", "c"})); // direction untouched
    FechaEscala(t, e);
    EXPECT_EQ(t.ColunaOrdem, 1);
    EXPECT_TRUE(t.OrdemDecrescente);
    EXPECT_EQ(RotulosExibidos(t), (std::vector<std::string>{"c", "a", "d", "b"}));
}

TEST(Escala, ClassCountChangeRecomputesLimitsAndColours) {
    TabelaResultados t = DuasColunas();
    t.ColunaMapa = 1;
    CalculaExtremos(t);
    t.IndCor = 7;
    EstadoEscala e;
    MudaNumClassesEscala(t, e, 2);
    EXPECT_EQ(t.NumClasses, 2);
    EXPECT_DOUBLE_EQ(t.Classe[1], 25);
    EXPECT_DOUBLE_EQ(t.Classe[2], 40.4);
    EXPECT_EQ(t.Cor[2], Paleta(7)[9]);
    MudaNumClassesEscala(t, e, 12);
    EXPECT_EQ(t.NumClasses, 10);
    MudaModoEscala(t, e, ModoClasses::IgualFrequencia);
    EXPECT_EQ(e.Modo, ModoClasses::IgualFrequencia);
    EXPECT_EQ(t.Classe[9], 10); // 4 rows for 10 classes: position 0 takes the smallest value
}

TEST(Escala, TypedLimitsAreCleanedBeforeConversion) {
    struct Caso {
        const char* texto;
        bool muda;
        double valor;
    } casos[] = {
        {"12,5", true, 12.5}, {"1a2,5 ", true, 12.5}, {"-3", true, -3},      {"--4", true, -4},
        {"5-2", true, 52},    {"-", false, 0},        {"", false, 0},        {"abc", false, 0},
        {"1,2,3", false, 0},  {",", false, 0},        {"7.000", true, 7000},
    };
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.texto);
        TabelaResultados t = DuasColunas();
        t.NumClasses = 3;
        t.Classe[2] = 99;
        EstadoEscala e;
        EXPECT_EQ(EditaLimiteEscala(t, e, 2, c.texto, ','), c.muda);
        EXPECT_EQ(e.Modo, ModoClasses::Manual);
        EXPECT_DOUBLE_EQ(t.Classe[2], c.muda ? c.valor : 99);
    }
    TabelaResultados t = DuasColunas();
    t.NumClasses = 3;
    EstadoEscala e;
    EXPECT_FALSE(EditaLimiteEscala(t, e, 0, "5", ',')); // the title row
    EXPECT_FALSE(EditaLimiteEscala(t, e, 4, "5", ',')); // beyond the classes
    EXPECT_EQ(LimpaLimiteDigitado("-1.5-", '.'), "-1.5");
}

TEST(Escala, ClickOnABarShowsCountAndShare) {
    UsaLocale pt(QLocale(QLocale::Portuguese, QLocale::Brazil));
    TabelaResultados t = DuasColunas();
    EXPECT_EQ(TextoCliqueBarra(t, 1), "1  25,00%");
    EXPECT_EQ(TextoCliqueBarra(t, 4), "4 100,00%");
}

TEST(Histograma, FirstHistogramSetsDefaultClassesAndRestoresTheOrder) {
    TabelaResultados t = DuasColunas();
    OrdenaPorColuna(t, 2);
    t.OrdemDecrescente = false;
    const auto antes = RotulosExibidos(t);
    EXPECT_EQ(ColunaSemPerguntar(t), 0);
    EstadoEscala e;
    e.Modo = ModoClasses::Manual;
    OrdemAnterior o;
    ASSERT_TRUE(PreparaHistograma(t, 1, e, o));
    EXPECT_EQ(t.ColunaMapa, 1);
    EXPECT_EQ(t.ColunaOrdem, 1);
    EXPECT_EQ(t.MaximoMapa, 40);
    EXPECT_EQ(t.MinimoMapa, 10);
    EXPECT_EQ(t.Classe[0], -1e20);
    EXPECT_EQ(t.IndCor, 3);
    EXPECT_EQ(t.NumClasses, 5);
    EXPECT_EQ(e.Modo, ModoClasses::IgualValor);
    EXPECT_FALSE(t.SemClasses);
    EXPECT_DOUBLE_EQ(t.Classe[1], 16);
    EXPECT_DOUBLE_EQ(t.Classe[5], 40.4);
    EXPECT_EQ(t.Cor[2], Paleta(3)[3]);
    TerminaHistograma(t, o);
    EXPECT_EQ(t.ColunaOrdem, 2);
    EXPECT_FALSE(t.OrdemDecrescente); // the direction comes back too
    EXPECT_EQ(RotulosExibidos(t), antes);
}

TEST(Histograma, LaterHistogramKeepsClassesAndOrderingColumn) {
    TabelaResultados t = DuasColunas();
    OrdenaTabela(t, 2);
    OrdenaTabela(t, 2); // second click: ascending display
    const auto antes = RotulosExibidos(t);
    t.SemClasses = false;
    t.NumClasses = 3;
    t.IndCor = 9;
    t.Classe = {0, 1.5, 2.5, 9};
    EstadoEscala e;
    e.Modo = ModoClasses::Manual;
    OrdemAnterior o;
    ASSERT_TRUE(PreparaHistograma(t, 2, e, o));
    EXPECT_FALSE(o.Reordenou);
    EXPECT_EQ(t.NumClasses, 3);
    EXPECT_EQ(t.IndCor, 9);
    EXPECT_EQ(t.Classe[2], 2.5);
    EXPECT_EQ(e.Modo, ModoClasses::Manual);
    TerminaHistograma(t, o);
    EXPECT_EQ(t.ColunaOrdem, 2);
    EXPECT_FALSE(t.OrdemDecrescente);
    EXPECT_EQ(RotulosExibidos(t), antes);
}

TEST(Histograma, OneColumnNeedsNoQuestionAndBadColumnsChangeNothing) {
    TabelaResultados t = MontaTabela({"a"}, {{"X", {1}, 0}});
    EXPECT_EQ(ColunaSemPerguntar(t), 1);
    EstadoEscala e;
    OrdemAnterior o;
    EXPECT_FALSE(PreparaHistograma(t, 0, e, o)); // cancelled choice
    EXPECT_FALSE(PreparaHistograma(t, 2, e, o));
    EXPECT_TRUE(t.SemClasses);
    EXPECT_EQ(t.ColunaMapa, 0);
}

} // namespace
} // namespace dorvan

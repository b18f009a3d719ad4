// The chart model built from the results table: which series each command adds,
// in what order, with which labels and colours, and what the option dialogs and
// the clear step change.
#include "analysis/Grafico.h"
#include "table/TabelaTeste.h"

#include <gtest/gtest.h>

using namespace dorvan;
using teste::MontaTabela;

namespace {

TabelaResultados Tabela() {
    // Casos, Obitos, Raio over three rows; the display order differs from storage.
    TabelaResultados t = MontaTabela({"11 Norte", "22 Sul", "33 Leste"},
                                     {{"Casos", {30, 10, 20}}, {"Obitos", {3, 1, 2}, 1}, {"Raio", {5, 5, 5}}});
    OrdenaPorColuna(t, 1);
    t.OrdemDecrescente = true;
    return t;
}

std::vector<double> Ys(const SerieGrafico& s) {
    std::vector<double> r;
    for (const PontoGrafico& p : s.Pontos)
        r.push_back(p.Y);
    return r;
}
std::vector<std::string> Textos(const SerieGrafico& s) {
    std::vector<std::string> r;
    for (const PontoGrafico& p : s.Pontos)
        r.push_back(p.Texto);
    return r;
}

} // namespace

TEST(Grafico, ColumnSeriesFollowStorageOrderWithoutTotalsAndTakeTheHeader) {
    const TabelaResultados t = Tabela();
    ASSERT_NE(t.Ordem(1), 1); // the grid shows another order
    for (TipoSerie tipo : {TipoSerie::Linha, TipoSerie::Barra, TipoSerie::BarraHorizontal, TipoSerie::Area}) {
        ModeloGrafico m;
        EXPECT_EQ(AcrescentaSeries(m, t, tipo, {2, 1}), 2);
        ASSERT_EQ(m.Series.size(), 2u);
        EXPECT_EQ(m.Series[0].Tipo, tipo);
        EXPECT_EQ(m.Series[0].Titulo, "Obitos");
        EXPECT_EQ(m.Series[1].Titulo, "Casos");
        EXPECT_EQ(Ys(m.Series[1]), (std::vector<double>{30, 10, 20})); // no total (60) among them
        EXPECT_EQ(Textos(m.Series[1]), (std::vector<std::string>{"11 Norte", "22 Sul", "33 Leste"}));
        EXPECT_EQ(m.Series[1].Pontos[2].X, 2);
        EXPECT_NE(m.Series[0].Cor, m.Series[1].Cor);
        EXPECT_EQ(m.Series[0].Pontos[0].Cor, CorAutomatica);
    }
}

TEST(Grafico, NoMarkedColumnAddsNothingAndKeepsTheGrids) {
    const TabelaResultados t = Tabela();
    ModeloGrafico m;
    EXPECT_EQ(AcrescentaSeries(m, t, TipoSerie::Barra, {}), 0);
    EXPECT_TRUE(m.Series.empty());
    EXPECT_TRUE(m.Inferior.Grade);
    EXPECT_FALSE(AcrescentaSetor(m, t, 0));
    EXPECT_FALSE(AcrescentaPontos(m, t, 1, 0));
    EXPECT_FALSE(AcrescentaBolhas(m, t, 1, 2, 0));
    EXPECT_FALSE(AcrescentaSetas(m, t, 0, 2));
    EXPECT_TRUE(m.Series.empty());
    EXPECT_TRUE(m.Inferior.Titulo.empty());
}

TEST(Grafico, BarsAddedToLinesKeepThemAndHideTheBottomGridUntilCleared) {
    const TabelaResultados t = Tabela();
    ModeloGrafico m;
    AcrescentaSeries(m, t, TipoSerie::Linha, {1});
    AcrescentaSeries(m, t, TipoSerie::Barra, {2});
    ASSERT_EQ(m.Series.size(), 2u);
    EXPECT_EQ(m.Series[0].Tipo, TipoSerie::Linha);
    EXPECT_FALSE(m.Inferior.Grade);
    EXPECT_TRUE(m.Esquerdo.Grade);
    AcrescentaSeries(m, t, TipoSerie::Linha, {3});
    EXPECT_FALSE(m.Inferior.Grade);
    AcrescentaSeries(m, t, TipoSerie::BarraHorizontal, {3});
    EXPECT_FALSE(m.Esquerdo.Grade);
    EXPECT_FALSE(m.Direito.Grade);
    LimpaGrafico(m);
    EXPECT_TRUE(m.Series.empty());
    EXPECT_TRUE(m.Inferior.Grade && m.Esquerdo.Grade && m.Direito.Grade);
}

TEST(Grafico, EmptyTableGivesEmptySeriesThatStillCount) {
    TabelaResultados t = MontaTabela({}, {{"Casos", {}}});
    ModeloGrafico m;
    EXPECT_EQ(AcrescentaSeries(m, t, TipoSerie::Linha, {1}), 1);
    ASSERT_EQ(m.Series.size(), 1u);
    EXPECT_EQ(m.Series[0].Titulo, "Casos");
    EXPECT_TRUE(m.Series[0].Pontos.empty());
    EXPECT_FALSE(FaixaDados(m, QualEixo::Esquerdo));
}

TEST(Grafico, ScatterTakesOrdenadasAsHorizontalAndNamesBothHeaders) {
    const TabelaResultados t = Tabela();
    ModeloGrafico m;
    ASSERT_TRUE(AcrescentaPontos(m, t, 1, 2));
    const SerieGrafico& s = m.Series[0];
    EXPECT_EQ(s.Titulo, "Casos + Obitos");
    EXPECT_EQ(m.Inferior.Titulo, "Casos");
    EXPECT_EQ(m.Esquerdo.Titulo, "Obitos");
    EXPECT_EQ(m.Inferior.Rotulos, EstiloRotulos::Valor);
    EXPECT_EQ(s.Pontos[0].X, 30);
    EXPECT_EQ(s.Pontos[0].Y, 3);
    EXPECT_EQ(s.Pontos[1].Texto, "22 Sul");

    ASSERT_TRUE(AcrescentaBolhas(m, t, 2, 1, 3));
    EXPECT_EQ(m.Series[1].Tipo, TipoSerie::Bolha);
    EXPECT_EQ(m.Series[1].Titulo, "Obitos + Casos");
    EXPECT_EQ(m.Inferior.Titulo, "Obitos");
    EXPECT_EQ(m.Series[1].Pontos[2].X, 2);
    EXPECT_EQ(m.Series[1].Pontos[2].Raio, 5);
}

TEST(Grafico, ScatterAfterOtherSeriesLeavesTheBottomLabelsAlone) {
    const TabelaResultados t = Tabela();
    ModeloGrafico m;
    AcrescentaSeries(m, t, TipoSerie::Linha, {1});
    AcrescentaPontos(m, t, 1, 2);
    EXPECT_EQ(m.Inferior.Rotulos, EstiloRotulos::Automatico);
    EXPECT_TRUE(InferiorComTextos(m));
}

TEST(Grafico, ArrowsRunPerRowBlueLeftwardsRedOtherwise) {
    TabelaResultados t = MontaTabela({"A", "B", "C"}, {{"Casos", {5, 1, 4}}, {"Obitos", {2, 3, 4}}});
    ModeloGrafico m;
    ASSERT_TRUE(AcrescentaSetas(m, t, 1, 2));
    const SerieGrafico& s = m.Series[0];
    EXPECT_EQ(s.Titulo, "Casos --> Obitos");
    EXPECT_EQ(s.LarguraSeta, 32);
    EXPECT_EQ(s.AlturaSeta, 24);
    EXPECT_EQ(m.Inferior.Rotulos, EstiloRotulos::Valor);
    EXPECT_EQ(m.Esquerdo.Rotulos, EstiloRotulos::Texto);
    EXPECT_TRUE(EsquerdoComTextos(m));
    ASSERT_EQ(s.Pontos.size(), 3u);
    const struct {
        double x, xfim, y;
        std::uint32_t cor;
    } esperado[] = {{5, 2, 1, CorAzul}, {1, 3, 2, CorVermelha}, {4, 4, 3, CorVermelha}};
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(s.Pontos[i].X, esperado[i].x);
        EXPECT_EQ(s.Pontos[i].XFim, esperado[i].xfim);
        EXPECT_EQ(s.Pontos[i].Y, esperado[i].y);
        EXPECT_EQ(s.Pontos[i].Cor, esperado[i].cor) << i;
    }
    EXPECT_EQ(FaixaDados(m, QualEixo::Inferior), (std::pair<double, double>{1, 5}));
    LimpaGrafico(m);
    EXPECT_EQ(m.Inferior.Rotulos, EstiloRotulos::Automatico);
    EXPECT_EQ(m.Esquerdo.Rotulos, EstiloRotulos::Automatico);
}

TEST(Grafico, ClearEmptiesTitlesAndShowsLabels) {
    const TabelaResultados t = Tabela();
    ModeloGrafico m;
    AcrescentaPontos(m, t, 1, 2);
    m.Esquerdo.MostraRotulos = false;
    m.Direito.Titulo = "x";
    m.Esquerdo.Logaritmico = true;
    LimpaGrafico(m);
    for (QualEixo e : {QualEixo::Esquerdo, QualEixo::Inferior, QualEixo::Direito}) {
        EXPECT_TRUE(m.Eixo(e).Titulo.empty());
        EXPECT_TRUE(m.Eixo(e).MostraRotulos);
    }
    EXPECT_TRUE(m.Esquerdo.Logaritmico); // other axis options survive
}

TEST(Grafico, ThreeDMakesLinePensOneWideAndTwoDTwo) {
    const TabelaResultados t = Tabela();
    ModeloGrafico m;
    AcrescentaSeries(m, t, TipoSerie::Linha, {1});
    AcrescentaSeries(m, t, TipoSerie::Barra, {2});
    EXPECT_EQ(m.Series[0].LarguraLinha, 2);
    Define3D(m, true);
    EXPECT_EQ(m.Series[0].LarguraLinha, 1);
    AcrescentaSeries(m, t, TipoSerie::Linha, {2});
    EXPECT_EQ(m.Series[2].LarguraLinha, 1);
    Define3D(m, false);
    EXPECT_EQ(m.Series[0].LarguraLinha, 2);
    EXPECT_EQ(m.Series[2].LarguraLinha, 2);
}

TEST(Grafico, SeriesDialogShowsAndWritesOnlyTheKindsControls) {
    struct Caso {
        TipoSerie tipo;
        ControlesSerie controles;
    } casos[] = {
        {TipoSerie::Linha, {false, false, true, true}},
        {TipoSerie::Barra, {true, false, false, false}},
        {TipoSerie::BarraHorizontal, {true, false, false, false}},
        {TipoSerie::Area, {false, true, false, false}},
        {TipoSerie::Setor, {false, false, false, false}},
        {TipoSerie::Ponto, {false, false, true, false}},
        {TipoSerie::Bolha, {false, false, true, false}},
        {TipoSerie::Seta, {false, false, true, false}},
    };
    for (const Caso& c : casos) {
        const ControlesSerie got = ControlesDaSerie(c.tipo);
        EXPECT_EQ(got.Barras, c.controles.Barras);
        EXPECT_EQ(got.Area, c.controles.Area);
        EXPECT_EQ(got.Marcador, c.controles.Marcador);
        EXPECT_EQ(got.Linha, c.controles.Linha);

        SerieGrafico s;
        s.Tipo = c.tipo;
        s.Titulo = "Casos";
        OpcoesSerie o = OpcoesDaSerie(s);
        o.EixoDireito = true;
        o.Etiquetas = true;
        o.Etiqueta = 4;
        o.MultiBarra = 2;
        o.EstiloBarra = 6;
        o.BarrasJuntas = true;
        o.MultiArea = 1;
        o.Marcador = true;
        o.EstiloMarcador = 8;
        o.LarguraLinha = 12;
        o.Degraus = true;
        o.Cor = 0x00123456;
        AplicaOpcoesSerie(s, o);
        EXPECT_TRUE(s.EixoDireito);
        EXPECT_EQ(s.Etiqueta, EstiloEtiqueta::DescricaoValor);
        EXPECT_EQ(s.Cor, 0x00123456u);
        EXPECT_EQ(s.LarguraBarra, c.controles.Barras ? 100 : 70);
        EXPECT_EQ(s.MultiBarra, c.controles.Barras ? MultiBarra::Empilhadas : MultiBarra::LadoALado);
        EXPECT_EQ(s.MultiArea, c.controles.Area ? MultiArea::Empilhadas : MultiArea::Nenhuma);
        EXPECT_EQ(s.Marcador, c.controles.Marcador);
        EXPECT_EQ(s.LarguraLinha, c.controles.Linha ? 9 : 2); // the spin edit's range
        EXPECT_EQ(s.Degraus, c.controles.Linha);
        EXPECT_EQ(TituloDialogoSerie(s), "S\xE9rie: Casos");
    }
}

TEST(Grafico, BarsNotJoinedGoBackToSeventyPercent) {
    SerieGrafico s;
    s.Tipo = TipoSerie::Barra;
    s.LarguraBarra = 100;
    OpcoesSerie o = OpcoesDaSerie(s);
    EXPECT_TRUE(o.BarrasJuntas);
    o.BarrasJuntas = false;
    AplicaOpcoesSerie(s, o);
    EXPECT_EQ(s.LarguraBarra, 70);
}

TEST(Grafico, BarAndAreaStackingIsSharedBySeriesOfTheKind) {
    const TabelaResultados t = Tabela();
    ModeloGrafico m;
    AcrescentaSeries(m, t, TipoSerie::Barra, {1, 2});
    AcrescentaSeries(m, t, TipoSerie::BarraHorizontal, {1});
    AcrescentaSeries(m, t, TipoSerie::Area, {1, 2});
    OpcoesSerie o = OpcoesDaSerie(m.Series[1]);
    o.MultiBarra = static_cast<int>(MultiBarra::Empilhadas100);
    o.Cor = 0x00010203;
    AplicaOpcoesSerie(m, 1, o);
    EXPECT_EQ(m.Series[0].MultiBarra, MultiBarra::Empilhadas100);
    EXPECT_EQ(m.Series[2].MultiBarra, MultiBarra::LadoALado); // horizontal bars stack on their own
    EXPECT_NE(m.Series[0].Cor, 0x00010203u);                  // the colour is the series' own
    o = OpcoesDaSerie(m.Series[4]);
    o.MultiArea = static_cast<int>(MultiArea::Empilhadas);
    AplicaOpcoesSerie(m, 4, o);
    EXPECT_EQ(m.Series[3].MultiArea, MultiArea::Empilhadas);
    AplicaOpcoesSerie(m, 9, o); // no such series: nothing
}

TEST(Grafico, ShowZeroWidensTheRangeToZeroOnTheSideItLacks) {
    struct Caso {
        std::vector<double> valores;
        bool mostraZero;
        bool automatico;
        std::pair<double, double> faixa;
    } casos[] = {
        {{3, 5, 9}, true, false, {0, 9}},
        {{-3, -5, -9}, true, false, {-9, 0}},
        {{-3, 5}, true, true, {-3, 5}}, // already spans 0: left as it was
        {{3, 5, 9}, false, true, {3, 9}},
    };
    for (const Caso& c : casos) {
        TabelaResultados t = MontaTabela(std::vector<std::string>(c.valores.size(), "r"), {{"v", c.valores}});
        ModeloGrafico m;
        AcrescentaSeries(m, t, TipoSerie::Linha, {1});
        OpcoesEixo o = OpcoesDoEixo(m.Esquerdo);
        EXPECT_FALSE(o.MostraZero);
        o.MostraZero = c.mostraZero;
        o.Titulo = "Casos";
        o.Fonte.Nome = "Arial";
        AplicaOpcoesEixo(m, QualEixo::Esquerdo, o);
        EXPECT_EQ(m.Esquerdo.Automatico, c.automatico);
        EXPECT_EQ(FaixaEixo(m, QualEixo::Esquerdo), c.faixa);
        EXPECT_EQ(m.Esquerdo.Titulo, "Casos");
        EXPECT_EQ(m.Esquerdo.FonteRotulos.Nome, "Arial");
        EXPECT_EQ(OpcoesDoEixo(m.Esquerdo).MostraZero, !c.automatico);
        // Unticking makes the axis automatic again.
        o.MostraZero = false;
        AplicaOpcoesEixo(m, QualEixo::Esquerdo, o);
        EXPECT_TRUE(m.Esquerdo.Automatico);
    }
}

TEST(Grafico, StackedBarsAndAreasSpanTheirSums) {
    TabelaResultados t = MontaTabela({"a", "b"}, {{"x", {1, 2}}, {"y", {3, 4}}});
    ModeloGrafico m;
    AcrescentaSeries(m, t, TipoSerie::Barra, {1, 2});
    EXPECT_EQ(FaixaDados(m, QualEixo::Esquerdo), (std::pair<double, double>{0, 4}));
    m.Series[0].MultiBarra = MultiBarra::Empilhadas;
    EXPECT_EQ(FaixaDados(m, QualEixo::Esquerdo), (std::pair<double, double>{0, 6}));
    m.Series[0].MultiBarra = MultiBarra::Empilhadas100;
    EXPECT_EQ(FaixaDados(m, QualEixo::Esquerdo), (std::pair<double, double>{0, 100}));
    EXPECT_EQ(FaixaDados(m, QualEixo::Inferior), (std::pair<double, double>{0, 1}));

    ModeloGrafico a;
    AcrescentaSeries(a, t, TipoSerie::Area, {1, 2});
    for (SerieGrafico& s : a.Series)
        s.MultiArea = MultiArea::Empilhadas;
    EXPECT_EQ(LimitesArea(a, 1).first, (std::vector<double>{1, 2}));
    EXPECT_EQ(LimitesArea(a, 1).second, (std::vector<double>{4, 6}));
    for (SerieGrafico& s : a.Series)
        s.MultiArea = MultiArea::Empilhadas100;
    EXPECT_EQ(LimitesArea(a, 0).second[0], 25);
    EXPECT_DOUBLE_EQ(LimitesArea(a, 0).second[1], 100.0 / 3);
    EXPECT_EQ(LimitesArea(a, 1).second, (std::vector<double>{100, 100}));
    a.Series[1].EixoDireito = true; // another axis: a stack of its own
    EXPECT_EQ(LimitesArea(a, 1).first, (std::vector<double>{0, 0}));
}

TEST(Grafico, MarksFollowTheirStyle) {
    TabelaResultados t = MontaTabela({"Norte", "Sul"}, {{"Casos", {30, 10}}});
    ModeloGrafico m;
    AcrescentaSetor(m, t, 1);
    SerieGrafico& s = m.Series[0];
    const struct {
        EstiloEtiqueta estilo;
        std::string texto;
    } casos[] = {
        {EstiloEtiqueta::Descricao, "Sul"},
        {EstiloEtiqueta::Legenda, "Sul"},
        {EstiloEtiqueta::ValorX, "1"},
    };
    for (const auto& c : casos) {
        s.Etiqueta = c.estilo;
        EXPECT_EQ(TextoEtiqueta(s, 1), c.texto);
    }
    s.Etiqueta = EstiloEtiqueta::DescricaoPercentagem;
    const std::string pct = TextoEtiqueta(s, 1);
    EXPECT_EQ(pct.substr(0, 6), "Sul 25");
    EXPECT_EQ(pct.substr(pct.size() - 2), " %");
    s.Etiqueta = EstiloEtiqueta::PercentagemTotal;
    EXPECT_NE(TextoEtiqueta(s, 0).find(" de 40"), std::string::npos);
    EXPECT_EQ(TextoEtiqueta(s, 5), "");
}

TEST(Grafico, PictureNamesPickTheFormatAndRefuseOthers) {
    const std::string erro = "Extens\xE3o do arquivo deve ser .emf, .bmp ou .wmf";
    const struct {
        const char* nome;
        FormatoImagem formato;
        const char* escrito;
    } casos[] = {
        {"/t/graf.emf", FormatoImagem::Metafile, "/t/graf.svg"},
        {"/t/graf.WMF", FormatoImagem::Metafile, "/t/graf.svg"},
        {"/t/graf.Bmp", FormatoImagem::Bitmap, "/t/graf.png"},
        {"/t/graf.png", FormatoImagem::Bitmap, "/t/graf.png"},
        {"/t/graf.svg", FormatoImagem::Metafile, "/t/graf.svg"},
        {"/t/graf.jpg", FormatoImagem::Nenhum, ""},
        {"/t/graf", FormatoImagem::Nenhum, ""},
        {"/t/a.b/graf", FormatoImagem::Nenhum, ""},
    };
    for (const auto& c : casos) {
        EXPECT_EQ(FormatoPorNome(c.nome), c.formato) << c.nome;
        EXPECT_EQ(ConfereExtensaoImagem(c.nome), c.formato == FormatoImagem::Nenhum ? erro : "") << c.nome;
        EXPECT_EQ(ArquivoImagem(c.nome), c.escrito) << c.nome;
    }
}

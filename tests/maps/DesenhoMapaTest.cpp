#include "maps/DesenhoMapa.h"

#include "maps/ApoioMapas.h"
#include "maps/MapaTabela.h"
#include "support/ApoioTeste.h"
#include "table/TabelaTeste.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace dorvan {
namespace {

using teste::MontaTabela;
using teste::PastaTemporaria;
using teste::Quadrado;

// Areas "01" and "02" side by side in 0..100 × 0..50, an unmatched area, a road and a town.
std::vector<RegistroMapa> Registros() {
    RegistroMapa linha;
    linha.Tipo = TipoLinha;
    linha.Codigo = "R1";
    linha.Pontos = {{0, 0}, {100, 50}};
    RegistroMapa ponto;
    ponto.Tipo = TipoPonto;
    ponto.Codigo = "02";
    ponto.Nome = "Vila";
    ponto.RotuloX = 75;
    ponto.RotuloY = 10;
    ponto.Pontos = {{75, 10}};
    return {Quadrado("01", "Norte", 0, 0, 50), Quadrado("02", "Sul", 50, 0, 50), Quadrado("99", "Fora", 40, 40, 10),
            linha, ponto};
}

TabelaResultados Tabela() {
    TabelaResultados t = MontaTabela({"01 Norte", "02 Sul"}, {{"Casos", {10, 50}, 0}, {"Raio", {7, 9}, 0}});
    t.DefineNomeColuna(0, "Lugar");
    t.TamCodigo = 2;
    t.MostraCodigo = false;
    EstadoEscala e;
    EXPECT_TRUE(PreparaMapaColuna(t, 1, e));
    MontaIndiceLinhas(t);
    return t;
}

constexpr std::int32_t Largura = 680, Altura = 519; // drawing area 520 × 500

TEST(VistaMapa, FitsTheWiderSideAndInvertsExactlyAtTheCorners) {
    struct Caso {
        CabecalhoMapa c;
        float escala;
        std::int32_t lado, topo;
        PontoTela cantoSuperiorEsquerdo;
    };
    const Caso casos[] = {
        // 2:1 is wider than 520:500: the width sets the scale, centred vertically.
        {{100, 100, 50, 0, 0}, 100, 500, (519 - 250) / 2 + 5, {20, 139}},
        // A tall map: the height sets the scale, top margin 5.
        {{100, 10, 100, 0, 0}, 100, 480, 5, {20, 5}},
        // A map with no height (one horizontal line) is wide.
        {{100, 100, 7, 0, 7}, 100, 500, 259 + 5 - 0 / 2, {20, 264}},
    };
    for (const Caso& k : casos) {
        VistaMapa v;
        AjustaVista(v, k.c, Largura, Altura);
        EXPECT_FLOAT_EQ(v.EscalaMapa, k.escala);
        EXPECT_EQ(v.LadoMapa, k.lado);
        EXPECT_EQ(v.TopoMapa, k.topo);
        EXPECT_EQ(GeoParaTela(v, k.c.MinX, k.c.MaxY), k.cantoSuperiorEsquerdo);
        EXPECT_NEAR(TelaParaLon(v, k.cantoSuperiorEsquerdo.X), k.c.MinX, 1e-4);
        EXPECT_NEAR(TelaParaLat(v, k.cantoSuperiorEsquerdo.Y), k.c.MaxY, 1e-4);
    }
    VistaMapa v;
    AjustaVista(v, {100, 100, 50, 0, 0}, Largura, Altura);
    EXPECT_EQ(GeoParaTela(v, 100, 0), (PontoTela{520, 389}));
    const JanelaMapa j = JanelaVisivel(v, Largura, Altura);
    EXPECT_NEAR(j.MinX, -4, 1e-4); // 20 pixels left of the map = 4 units
    EXPECT_NEAR(j.MaxY, 50 + 139 / 5.0, 1e-4);
}

TEST(VistaMapa, ZoomRectangleIsTheSameFromEitherCornerAndPanMovesIt) {
    const CabecalhoMapa c{100, 100, 50, 0, 0};
    VistaMapa a, b;
    AjustaVista(a, c, Largura, Altura);
    AjustaVista(b, c, Largura, Altura);
    ASSERT_TRUE(ZoomRetangulo(a, {70, 189}, {170, 239}));
    ASSERT_TRUE(ZoomRetangulo(b, {170, 239}, {70, 189}));
    EXPECT_FLOAT_EQ(a.JanelaZoom.MinX, b.JanelaZoom.MinX);
    EXPECT_FLOAT_EQ(a.JanelaZoom.MaxY, b.JanelaZoom.MaxY);
    // x 70..170 is 10..30 units; y 189..239 lies 150..200 pixels above the bottom row 389.
    EXPECT_NEAR(a.JanelaZoom.MinX, 10, 1e-4);
    EXPECT_NEAR(a.JanelaZoom.MaxX, 30, 1e-4);
    EXPECT_NEAR(a.JanelaZoom.MinY, 30, 1e-4);
    EXPECT_NEAR(a.JanelaZoom.MaxY, 40, 1e-4);
    EXPECT_TRUE(a.EmZoom);

    VistaMapa semTamanho;
    AjustaVista(semTamanho, c, Largura, Altura);
    EXPECT_FALSE(ZoomRetangulo(semTamanho, {70, 189}, {70, 239}));
    EXPECT_FALSE(ZoomRetangulo(semTamanho, {70, 189}, {170, 189}));
    EXPECT_FALSE(semTamanho.EmZoom);

    AjustaVista(a, c, Largura, Altura); // the zoomed bounds are fitted now
    EXPECT_FLOAT_EQ(a.MinX, a.JanelaZoom.MinX);
    const float lado = static_cast<float>(a.LadoMapa), escala = a.EscalaMapa;
    const JanelaMapa antes = a.JanelaZoom;
    DeslocaVista(a, {100, 100}, {90, 120}); // dragged left and down: the view moves right and up
    EXPECT_NEAR(a.JanelaZoom.MinX - antes.MinX, 10 / lado * escala, 1e-4);
    EXPECT_NEAR(a.JanelaZoom.MaxY - antes.MaxY, 20 / lado * escala, 1e-4);
}

std::vector<PrimitivaMapa> DoTipo(const DesenhoMapa& d, FiguraMapa f) {
    std::vector<PrimitivaMapa> r;
    std::copy_if(d.Figuras.begin(), d.Figuras.end(), std::back_inserter(r),
                 [f](const PrimitivaMapa& p) { return p.Figura == f; });
    return r;
}

TEST(DesenhaMapa, AreasTakeTheirRowsClassColourAndIdentifyTheirRow) {
    PastaTemporaria pasta;
    const std::string mapa = pasta / "base.map";
    GravaMapa(mapa, Registros());
    const TabelaResultados t = Tabela();
    const std::uint32_t cor10 = CorDaClasse(t, 10), cor50 = CorDaClasse(t, 50);
    ASSERT_NE(cor10, cor50);

    for (bool bordas : {true, false}) {
        OpcoesMapa o;
        o.BordasPretas = bordas;
        VistaMapa v;
        const DesenhoMapa d = ColetaDesenho(t, mapa, o, v, Largura, Altura);
        ASSERT_EQ(d.Problema, "");
        ASSERT_FALSE(d.Figuras.empty());
        EXPECT_EQ(d.Figuras[0].Figura, FiguraMapa::Preenche);
        EXPECT_EQ(d.Figuras[0].Identificacao, IdentificacaoVazia);

        const auto poligonos = DoTipo(d, FiguraMapa::Poligono);
        ASSERT_EQ(poligonos.size(), 3u);
        EXPECT_EQ(poligonos[0].Pontos.size(), 4u); // the closing vertex is not repeated
        EXPECT_EQ(poligonos[0].Pontos[0], (PontoTela{20, 389}));
        struct Esperado {
            std::uint32_t cor;
            std::int64_t id;
        };
        const Esperado esperados[] = {{cor10, 1}, {cor50, 2}, {CorBranca, 0}};
        for (std::size_t i = 0; i < 3; ++i) {
            EXPECT_EQ(poligonos[i].Preenchimento, esperados[i].cor) << i;
            EXPECT_EQ(poligonos[i].Caneta, bordas ? CorPreta : esperados[i].cor) << i;
            EXPECT_EQ(poligonos[i].Identificacao, esperados[i].id) << i;
        }
        const auto linhas = DoTipo(d, FiguraMapa::Linha);
        ASSERT_EQ(linhas.size(), 1u);
        EXPECT_FALSE(linhas[0].ComPreenchimento);
        EXPECT_EQ(linhas[0].Identificacao, SemIdentificacao);
        const auto circulos = DoTipo(d, FiguraMapa::Circulo);
        ASSERT_EQ(circulos.size(), 1u);
        EXPECT_EQ(circulos[0].Raio, 2);
        EXPECT_EQ(circulos[0].Identificacao, 2);
        EXPECT_EQ(circulos[0].Pontos[0], GeoParaTela(v, 75, 10));
        EXPECT_TRUE(DoTipo(d, FiguraMapa::Texto).empty());

        // The legend boxes come last: five classes, then the erased places of 6..10.
        const auto caixas = DoTipo(d, FiguraMapa::Retangulo);
        ASSERT_EQ(caixas.size(), 10u);
        EXPECT_EQ(d.Figuras.back().Figura, FiguraMapa::Retangulo);
        EXPECT_EQ(caixas[0].Pontos[0], (PontoTela{Largura - 150, 27}));
        EXPECT_EQ(caixas[0].Preenchimento, t.Cor[1]);
        EXPECT_EQ(caixas[9].Caneta, CorBranca);
    }
}

TEST(DesenhaMapa, RingsOfOneRecordAreFilledOneByOne) {
    PastaTemporaria pasta;
    const std::string mapa = pasta / "aneis.map";
    RegistroMapa r;
    r.Codigo = "01";
    // P, A, B, C, P, W, D, E, W, P: the rings P-A-B-C and W-D-E-W.
    r.Pontos = {{0, 0}, {10, 0}, {10, 10}, {0, 10}, {0, 0}, {20, 20}, {30, 20}, {30, 30}, {20, 20}, {0, 0}};
    GravaMapa(mapa, {r});
    const TabelaResultados t = Tabela();
    VistaMapa v;
    const auto poligonos = DoTipo(ColetaDesenho(t, mapa, {}, v, Largura, Altura), FiguraMapa::Poligono);
    ASSERT_EQ(poligonos.size(), 2u);
    EXPECT_EQ(poligonos[0].Pontos.size(), 4u);
    EXPECT_EQ(poligonos[1].Pontos.size(), 4u);
    EXPECT_EQ(poligonos[1].Pontos[0], GeoParaTela(v, 20, 20));
    EXPECT_EQ(poligonos[1].Identificacao, 1);
}

TEST(DesenhaMapa, ZoomSkipsRecordsOutsideTheViewAndFillsTheInsideOfOneArea) {
    PastaTemporaria pasta;
    const std::string mapa = pasta / "base.map";
    GravaMapa(mapa, Registros());
    const TabelaResultados t = Tabela();

    // Around the town only: the two areas, the unmatched one and the road keep no vertex in view.
    VistaMapa v;
    v.EmZoom = true;
    v.JanelaZoom = {76, 11, 74, 9};
    OpcoesMapa o;
    o.LinhaDoZoom = 2;
    DesenhoMapa d = ColetaDesenho(t, mapa, o, v, Largura, Altura);
    EXPECT_TRUE(DoTipo(d, FiguraMapa::Poligono).empty());
    EXPECT_TRUE(DoTipo(d, FiguraMapa::Linha).empty());
    EXPECT_EQ(DoTipo(d, FiguraMapa::Circulo).size(), 1u);
    auto cheios = DoTipo(d, FiguraMapa::Preenche);
    ASSERT_EQ(cheios.size(), 2u); // the background, then the whole area of row 2
    EXPECT_EQ(cheios[1].Preenchimento, CorDaClasse(t, 50));
    EXPECT_EQ(cheios[1].Identificacao, 2);
    // Only the legend boxes of the classes in use while zoomed.
    EXPECT_EQ(DoTipo(d, FiguraMapa::Retangulo).size(), 5u);

    // A row under the release point outside the table paints nothing more.
    o.LinhaDoZoom = 3;
    d = ColetaDesenho(t, mapa, o, v, Largura, Altura);
    EXPECT_EQ(DoTipo(d, FiguraMapa::Preenche).size(), 1u);

    // A view that holds a ring's vertex draws the ring and no whole fill.
    v.JanelaZoom = {52, 52, 48, 48};
    o.LinhaDoZoom = 1;
    d = ColetaDesenho(t, mapa, o, v, Largura, Altura);
    EXPECT_FALSE(DoTipo(d, FiguraMapa::Poligono).empty());
    EXPECT_EQ(DoTipo(d, FiguraMapa::Preenche).size(), 1u);
}

TEST(DesenhaMapa, UnusableHeadersStopWithTheirMessage) {
    PastaTemporaria pasta;
    CabecalhoMapa velho;
    velho.Versao = 99;
    velho.MaxX = velho.MaxY = 1;
    const std::string versao = pasta.Grava("velho.map", BytesCabecalho(velho));
    CabecalhoMapa ponto;
    ponto.MaxX = ponto.MinX = 3;
    ponto.MaxY = ponto.MinY = 4;
    const std::string unico = pasta.Grava("ponto.map", BytesCabecalho(ponto));
    const TabelaResultados t = Tabela();
    VistaMapa v;
    DesenhoMapa d = ColetaDesenho(t, versao, {}, v, Largura, Altura);
    EXPECT_EQ(d.Problema, versao + " n\xE3o \xE9 um arquivo de mapa do Dorvan.");
    EXPECT_TRUE(d.Figuras.empty());
    d = ColetaDesenho(t, unico, {}, v, Largura, Altura);
    EXPECT_EQ(d.Problema, "N\xE3o \xE9 poss\xEDvel mapear um \xFAnico ponto.");
    EXPECT_TRUE(d.Figuras.empty());
}

TEST(EscreveRotulos, NamesValuesAndSeatMarksFollowTheMenuChoices) {
    PastaTemporaria pasta;
    const std::string mapa = pasta / "base.map";
    GravaMapa(mapa, Registros());
    TabelaResultados t = Tabela();
    t.DefineNomeColuna(2, "raio"); // found in any case

    struct Caso {
        OpcoesMapa o;
        std::vector<std::string> textos;
        std::vector<std::int32_t> raios;
    };
    OpcoesMapa nomes;
    nomes.MostraLegendas = true;
    OpcoesMapa doMapa = nomes;
    doMapa.PegaLegendaDoMapa = true;
    OpcoesMapa valores;
    valores.MostraValores = true;
    OpcoesMapa sede;
    sede.MostraSede = true;
    sede.MostraLegendas = true;
    const Caso casos[] = {
        // Row labels without their code; unmatched records get no text.
        {nomes, {"Norte", "Sul", "Sul"}, {}},
        {doMapa, {"Norte", "Sul", "Fora", "Vila"}, {}},
        {valores, {"  10", "  50", "  50"}, {}}, // a blank, then the value in 3 places
        // Radius from the "RAIO" column for matched records, 2 for the others.
        {sede, {"Norte", "Sul", "Sul"}, {7, 9, 2, 2, 9}},
    };
    for (const Caso& k : casos) {
        VistaMapa v;
        const DesenhoMapa d = ColetaDesenho(t, mapa, k.o, v, Largura, Altura);
        std::vector<std::string> textos;
        for (const PrimitivaMapa& p : DoTipo(d, FiguraMapa::Texto))
            textos.push_back(p.Texto);
        EXPECT_EQ(textos, k.textos);
        std::vector<std::int32_t> raios;
        for (const PrimitivaMapa& p : DoTipo(d, FiguraMapa::Circulo))
            if (p.Preenchimento == 0x0000FF) raios.push_back(p.Raio);
        EXPECT_EQ(raios, k.raios);
    }

    // A point's name sits above its seat mark; an area's stays centred.
    VistaMapa v;
    const auto textos = DoTipo(ColetaDesenho(t, mapa, sede, v, Largura, Altura), FiguraMapa::Texto);
    ASSERT_EQ(textos.size(), 3u);
    EXPECT_EQ(textos[0].Alinhamento, AlinhaTexto::Centro);
    EXPECT_EQ(textos[2].Alinhamento, AlinhaTexto::Acima);
    EXPECT_EQ(textos[2].Pontos[0], GeoParaTela(v, 75, 10));
}

TEST(ClasseDoCliqueLegenda, OnlyTheBoxesInUseAnswer) {
    TabelaResultados t = Tabela();
    ASSERT_EQ(t.NumClasses, 5);
    struct Caso {
        std::int32_t x, y, classe;
    };
    const Caso casos[] = {
        {Largura - 140, 28, 1},          {Largura - 140, 43, 1},          {Largura - 140, 44, 2},
        {Largura - 140, 5 * 17 + 21, 5}, {Largura - 140, 5 * 17 + 22, 0}, {Largura - 140, 27, 0},
        {Largura - 150, 30, 0},          {Largura - 120, 30, 0},
    };
    for (const Caso& k : casos)
        EXPECT_EQ(ClasseDoCliqueLegenda(t, Largura, k.x, k.y), k.classe) << k.x << "," << k.y;
}

} // namespace
} // namespace dorvan

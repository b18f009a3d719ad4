#include "maps/ImpressaoMapa.h"

#include "data/LeDBF32.h"
#include "maps/Escala.h"
#include "maps/MapaTabela.h"
#include "platform/Mensagens.h"
#include "support/ApoioTeste.h"
#include "table/TabelaTeste.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace dorvan {
namespace {

using teste::PastaTemporaria;

RegistroMapa Area(const std::string& codigo, float x, float y, float lado, std::uint8_t tipo = TipoPoligono) {
    RegistroMapa r;
    r.Tipo = tipo;
    r.Codigo = codigo;
    r.Nome = "N" + codigo;
    r.RotuloX = x + lado / 2;
    r.RotuloY = y + lado / 2;
    r.Pontos = {{x, y}, {x + lado, y}, {x + lado, y + lado}, {x, y + lado}, {x, y}};
    return r;
}

TabelaResultados Tabela() {
    TabelaResultados t = teste::MontaTabela({"01 Norte", "02 Sul"}, {{"Casos", {10, 50}, 0}});
    t.DefineNomeColuna(0, "Lugar");
    t.TamCodigo = 2;
    t.MostraCodigo = false;
    EstadoEscala e;
    EXPECT_TRUE(PreparaMapaColuna(t, 1, e));
    MontaIndiceLinhas(t);
    return t;
}

std::int32_t Mede(const std::string& s, std::int32_t) { return static_cast<std::int32_t>(s.size()) * 10; }

struct Papel {
    std::string problema;
    std::vector<PrimitivaMapa> figuras;
    std::vector<std::string> avisos;
};

Papel Imprime(const TabelaResultados& t, const std::string& mapa, const OpcoesMapa& o, const VistaMapa& v,
              const CamadasDoMapa& c = {}) {
    Papel p;
    p.problema = DesenhaMapaPapel(
        t, mapa, o, v, c, {1000, 800}, Mede, [&p](const PrimitivaMapa& f) { p.figuras.push_back(f); },
        [&p](const std::string& s) { p.avisos.push_back(s); });
    return p;
}

TEST(PapelDoMapa, WideAndTallMapsFitTheSquareOffsetByTwoMargins) {
    // Page height 800: side 560, margin 80, offset 160.
    struct Caso {
        double minX, minY, maxX, maxY;
        double x, y;
        PontoTela esperado;
    };
    const Caso casos[] = {
        {0, 0, 200, 100, 0, 100, {160, 160}},  // wide: the top-left corner
        {0, 0, 200, 100, 200, 0, {720, 440}},  // wide: the width takes the whole side
        {0, 0, 100, 200, 100, 0, {440, 720}},  // tall: the height takes the whole side
        {-10, 5, 90, 105, 40, 55, {440, 440}}, // square: the middle
    };
    for (const Caso& k : casos) {
        const TransformacaoPapel p = TransformacaoDoPapel(k.minX, k.minY, k.maxX, k.maxY, 800);
        EXPECT_EQ(p.Lado, 560);
        EXPECT_EQ(p.Margem, 80);
        EXPECT_EQ(GeoParaPapel(p, k.x, k.y), k.esperado);
    }
}

TEST(PapelDoMapa, AreasLayersTitlesAndLegend) {
    PastaTemporaria pasta;
    const std::string mapa = pasta / "base.map";
    RegistroMapa sede;
    sede.Tipo = TipoPonto;
    sede.Codigo = "02";
    sede.RotuloX = 150;
    sede.RotuloY = 50;
    sede.Pontos = {{150, 50}};
    GravaMapa(mapa, {Area("01", 0, 0, 100), Area("02", 100, 0, 100), sede});
    TabelaResultados t = Tabela();
    t.Titulo1 = "T\xEDtulo";
    OpcoesMapa o;
    o.MostraSede = true;
    o.MostraLegendas = true;
    VistaMapa v;

    // A DBF layer with shortened field names is refused on paper.
    dbfRecord h;
    CreateDBF(h, pasta / "pts.dbf", {{"LAT", 'N', 5}, {"LONG", 'N', 5}}, 0);
    CloseDBF(h);
    dbfRecord h2;
    CreateDBF(h2, pasta / "ok.dbf", {{"LATITUDE", 'N', 5}, {"LONGITUDE", 'N', 5}}, 0);
    std::string reg(h2.TamRegistro, ' ');
    PutFieldDBF(h2, 1, "100", reg.data());
    PutFieldDBF(h2, 2, "0", reg.data());
    AppendDBF(h2, reg.data());
    CloseDBF(h2);
    CamadasDoMapa c;
    CamadaDoMapa l;
    l.ArquivoCamada = pasta / "pts.dbf";
    c.Adiciona(l);
    l.ArquivoCamada = pasta / "ok.dbf";
    l.LarguraCamada = 2;
    c.Adiciona(l);

    const Papel p = Imprime(t, mapa, o, v, c);
    ASSERT_EQ(p.problema, "");
    ASSERT_EQ(p.avisos.size(), 1u);
    EXPECT_EQ(p.avisos[0], pasta / "pts.dbf" + " n\xE3o cont\xE9m os campos LATITUDE e/ou LONGITUDE");

    ASSERT_GE(p.figuras.size(), 3u);
    EXPECT_EQ(p.figuras[0].Figura, FiguraMapa::Poligono);
    EXPECT_EQ(p.figuras[0].Preenchimento, CorDaClasse(t, 10));
    EXPECT_EQ(p.figuras[0].Pontos[0], (PontoTela{160, 440}));
    EXPECT_EQ(p.figuras[1].Preenchimento, CorDaClasse(t, 50));
    EXPECT_EQ(p.figuras[2].Raio, RaioPontoMapa);
    // The DBF point: radius 3 × width, at (0, 100) = the top-left corner.
    auto ponto = std::find_if(p.figuras.begin(), p.figuras.end(),
                              [](const PrimitivaMapa& f) { return f.Figura == FiguraMapa::Circulo && f.Raio == 6; });
    ASSERT_NE(ponto, p.figuras.end());
    EXPECT_EQ(ponto->Pontos[0], (PontoTela{160, 160}));
    // Seat mark: hollow, black, radius 4, at the point's label; names at 8 points.
    auto marca = std::find_if(p.figuras.begin(), p.figuras.end(),
                              [](const PrimitivaMapa& f) { return f.Figura == FiguraMapa::Circulo && f.Raio == 4; });
    ASSERT_NE(marca, p.figuras.end());
    EXPECT_FALSE(marca->ComPreenchimento);
    EXPECT_EQ(marca->Pontos[0], (PontoTela{580, 300}));
    auto nome = std::find_if(p.figuras.begin(), p.figuras.end(), [](const PrimitivaMapa& f) {
        return f.Figura == FiguraMapa::Texto && f.Texto == "Norte";
    });
    ASSERT_NE(nome, p.figuras.end());
    EXPECT_EQ(nome->TamanhoFonte, 8);
    EXPECT_EQ(nome->Pontos[0], (PontoTela{300, 300}));

    // Title 16 points at the middle of the page, M/2 from the top; no subtitle or footer.
    std::vector<PrimitivaMapa> textos;
    std::copy_if(p.figuras.begin(), p.figuras.end(), std::back_inserter(textos),
                 [](const PrimitivaMapa& f) { return f.Figura == FiguraMapa::Texto && f.TamanhoFonte != 8; });
    ASSERT_EQ(textos.size(), 1u);
    EXPECT_EQ(textos[0].Texto, "T\xEDtulo");
    EXPECT_EQ(textos[0].TamanhoFonte, 16);
    EXPECT_EQ(textos[0].Pontos[0], (PontoTela{500, 40}));
    t.Titulo2 = "Sub";
    t.Rodape = "Fonte";
    const Papel q = Imprime(t, mapa, OpcoesMapa{}, v);
    std::vector<PrimitivaMapa> t2;
    std::copy_if(q.figuras.begin(), q.figuras.end(), std::back_inserter(t2), [](const PrimitivaMapa& f) {
        return f.Figura == FiguraMapa::Texto && (f.TamanhoFonte != 8 || f.Texto == "Fonte");
    });
    ASSERT_EQ(t2.size(), 3u);
    EXPECT_EQ(t2[2].TamanhoFonte, 8);
    EXPECT_EQ(t2[1].Pontos[0], (PontoTela{500, 80}));
    EXPECT_EQ(t2[2].Pontos[0], (PontoTela{160, 760}));

    // Legend: boxes 50 apart from 2M + 50, at x0 = width − M − w − 120.
    const std::vector<std::string> legenda = EscreveLegendaDasClasses(t);
    std::int32_t w = 0;
    for (std::size_t k = 0; k <= static_cast<std::size_t>(t.NumClasses) && k < legenda.size(); ++k)
        w = std::max(w, Mede(legenda[k], 8));
    std::vector<PrimitivaMapa> caixas;
    std::copy_if(q.figuras.begin(), q.figuras.end(), std::back_inserter(caixas),
                 [](const PrimitivaMapa& f) { return f.Figura == FiguraMapa::Retangulo; });
    ASSERT_EQ(caixas.size(), static_cast<std::size_t>(t.NumClasses));
    EXPECT_EQ(caixas[0].Pontos[0], (PontoTela{1000 - 80 - w - 120, 210}));
    EXPECT_EQ(caixas[0].Pontos[1], (PontoTela{1000 - 80 - w - 70, 250}));
    EXPECT_EQ(caixas[0].Preenchimento, t.Cor[1]);
}

// Marks and the legend have one physical size: pixels of a 300 dpi printer.
TEST(PapelDoMapa, MarksAndLegendKeepTheirSizeAtAnyResolution) {
    PastaTemporaria pasta;
    const std::string mapa = pasta / "base.map";
    RegistroMapa sede = Area("02", 100, 0, 1, TipoPonto);
    sede.Pontos = {{150, 50}};
    GravaMapa(mapa, {Area("01", 0, 0, 100), sede});
    const TabelaResultados t = Tabela();
    OpcoesMapa o;
    o.MostraSede = true;
    for (const std::int32_t dpi : {300, 600, 1200}) {
        SCOPED_TRACE(dpi);
        const std::int32_t f = dpi / 300;
        std::vector<PrimitivaMapa> figuras;
        ASSERT_EQ(DesenhaMapaPapel(t, mapa, o, VistaMapa{}, {}, {1000 * f, 800 * f, dpi}, Mede,
                                   [&](const PrimitivaMapa& p) { figuras.push_back(p); }, {}),
                  "");
        std::vector<std::int32_t> raios;
        std::vector<PrimitivaMapa> caixas, textos;
        for (const PrimitivaMapa& p : figuras) {
            if (p.Figura == FiguraMapa::Circulo) raios.push_back(p.Raio);
            if (p.Figura == FiguraMapa::Retangulo) caixas.push_back(p);
            if (p.Figura == FiguraMapa::Texto && p.Pontos[0].X > 500 * f) textos.push_back(p);
        }
        EXPECT_EQ(raios, (std::vector<std::int32_t>{2 * f, 4 * f})); // the point, then its seat mark
        ASSERT_EQ(caixas.size(), static_cast<std::size_t>(t.NumClasses));
        ASSERT_EQ(textos.size(), static_cast<std::size_t>(t.NumClasses + 1));
        const std::int32_t x0 = caixas[0].Pontos[0].X;
        EXPECT_EQ(textos[0].Pontos[0].Y, 160 * f - 30 * f); // the title, 30 above 2M
        for (std::size_t k = 0; k < caixas.size(); ++k) {
            EXPECT_EQ(caixas[k].Pontos[0], (PontoTela{x0, 160 * f + 50 * f * static_cast<std::int32_t>(k + 1)}));
            EXPECT_EQ(caixas[k].Pontos[1].X - x0, 50 * f);
            EXPECT_EQ(caixas[k].Pontos[1].Y - caixas[k].Pontos[0].Y, 40 * f);
            EXPECT_EQ(textos[k + 1].Pontos[0], (PontoTela{x0 + 80 * f, caixas[k].Pontos[0].Y}));
        }
    }
}

TEST(PapelDoMapa, BadVersionStopsBeforeAnyFigureAndZoomSetsTheBounds) {
    PastaTemporaria pasta;
    CabecalhoMapa c{99, 10, 10, 0, 0};
    const std::string ruim = pasta.Grava("v.map", BytesCabecalho(c) + BytesRegistro(Area("01", 0, 0, 1)));
    const TabelaResultados t = Tabela();
    Papel p = Imprime(t, ruim, OpcoesMapa{}, VistaMapa{});
    EXPECT_EQ(p.problema, "Vers\xE3o inv\xE1lida do arquivo de mapas :99");
    EXPECT_TRUE(p.figuras.empty());

    const std::string mapa = pasta / "z.map";
    GravaMapa(mapa, {Area("01", 0, 0, 100)});
    VistaMapa v;
    v.EmZoom = true;
    v.JanelaZoom = {50, 100, 0, 50}; // MaxX, MaxY, MinX, MinY
    p = Imprime(t, mapa, OpcoesMapa{}, v);
    ASSERT_EQ(p.problema, "");
    // The zoom window's top-left corner lands at 2M; records are not clipped.
    EXPECT_EQ(p.figuras[0].Pontos[0], (PontoTela{160, 160 + 2 * 560}));
}

TEST(PicturesDoMapa, LegendPictureBitmapTextsAndNames) {
    EXPECT_EQ(NomeLegendaMetafile("/d/mapa", ".svg"), "/d/mapa_esc.svg");
    EXPECT_EQ(NomeLegendaMetafile("/d/a.b.svg", ".svg"), "/d/a_esc.svg");
    EXPECT_EQ(NomeLegendaMetafile("x.svg", ".svg"), "x_esc.svg");

    const TabelaResultados t = Tabela();
    const std::vector<std::string> legenda = EscreveLegendaDasClasses(t);
    const LegendaImagem l = LegendaMetafile(t, Mede);
    std::int32_t w = Mede(legenda[0], 0) - 20;
    for (std::int32_t k = 1; k <= t.NumClasses; ++k)
        w = std::max(w, Mede(legenda[static_cast<std::size_t>(k)], 0));
    EXPECT_EQ(l.Largura, w + 29);
    EXPECT_EQ(l.Altura, 20 * t.NumClasses + 20);
    ASSERT_EQ(l.Figuras.size(), static_cast<std::size_t>(1 + 2 * t.NumClasses));
    EXPECT_EQ(l.Figuras[0].Pontos[0], (PontoTela{5, 2}));
    EXPECT_EQ(l.Figuras[1].Pontos[0], (PontoTela{5, 20}));
    EXPECT_EQ(l.Figuras[1].Pontos[1], (PontoTela{20, 35}));
    EXPECT_EQ(l.Figuras[2].Pontos[0], (PontoTela{25, 22}));

    const auto b = TextosLegendaBitmap(t, 700);
    ASSERT_EQ(b.size(), static_cast<std::size_t>(1 + t.NumClasses));
    EXPECT_EQ(b[0].Pontos[0], (PontoTela{550, 10}));
    EXPECT_EQ(b[2].Pontos[0], (PontoTela{580, 44}));
}

TEST(PicturesDoMapa, MetafileIsTheScreenWithoutLegendBoxesOrIdentification) {
    PastaTemporaria pasta;
    const std::string mapa = pasta / "m.map";
    GravaMapa(mapa, {Area("01", 0, 0, 100), Area("02", 100, 0, 100)});
    const TabelaResultados t = Tabela();
    struct Caso {
        bool zoom;
        JanelaMapa janela;
        std::int32_t linhaDoZoom;
        std::size_t preenchimentosNaTela; // background, and the whole area inside one area
    };
    const Caso casos[] = {
        {false, {}, 0, 1},
        {true, {150, 100, 50, 0}, 0, 1}, // across both areas: the same picture as the screen
        {true, {30, 30, 20, 20}, 1, 2},  // inside area 01: no whole-area fill in the picture
    };
    for (const Caso& k : casos) {
        OpcoesMapa o;
        o.LinhaDoZoom = k.linhaDoZoom;
        VistaMapa v1, v2;
        v1.EmZoom = v2.EmZoom = k.zoom;
        v1.JanelaZoom = v2.JanelaZoom = k.janela;
        const DesenhoMapa tela = ColetaDesenho(t, mapa, o, v1, 680, 519);
        std::vector<PrimitivaMapa> meta;
        DesenhaMetafile(t, mapa, o, v2, 680, 519, [&](const PrimitivaMapa& f) { meta.push_back(f); }, {});
        std::vector<PrimitivaMapa> esperado;
        std::size_t preenchimentos = 0;
        for (const PrimitivaMapa& f : tela.Figuras) {
            if (f.Figura == FiguraMapa::Preenche && ++preenchimentos > 1) continue;
            if (f.Figura != FiguraMapa::Retangulo) esperado.push_back(f);
        }
        EXPECT_EQ(preenchimentos, k.preenchimentosNaTela);
        ASSERT_EQ(meta.size(), esperado.size());
        for (std::size_t i = 0; i < meta.size(); ++i) {
            EXPECT_EQ(meta[i].Pontos, esperado[i].Pontos);
            EXPECT_EQ(meta[i].Preenchimento, esperado[i].Preenchimento);
            EXPECT_EQ(meta[i].Identificacao, SemIdentificacao);
        }
    }
}

} // namespace
} // namespace dorvan

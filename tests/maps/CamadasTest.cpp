#include "maps/Camadas.h"

#include "data/LeDBF32.h"
#include "maps/MapaTabela.h"
#include "platform/Mensagens.h"
#include "support/ApoioTeste.h"
#include "table/TabelaTeste.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

namespace dorvan {
namespace {

using teste::PastaTemporaria;
using Linhas = std::vector<std::string>;

CampoDBF Campo(const std::string& nome, char tipo, int tam, int dec = 0) {
    CampoDBF c;
    c.Nome = nome;
    c.Tipo = tipo;
    c.Tamanho = static_cast<std::uint8_t>(tam);
    c.Decimais = static_cast<std::uint8_t>(dec);
    return c;
}

std::string GravaDBF(const std::string& nome, const std::vector<CampoDBF>& campos, const std::vector<Linhas>& regs,
                     std::uint8_t idioma = 0) {
    dbfRecord h;
    CreateDBF(h, nome, campos, idioma);
    std::string reg(h.TamRegistro, ' ');
    for (const Linhas& l : regs) {
        std::fill(reg.begin(), reg.end(), ' ');
        for (std::size_t i = 0; i < l.size(); ++i)
            PutFieldDBF(h, static_cast<int>(i + 1), l[i], reg.data());
        AppendDBF(h, reg.data());
    }
    CloseDBF(h);
    return nome;
}

// A 100 × 100 view: map unit = pixel, origin at (20, 5 + 100).
VistaMapa Vista() {
    VistaMapa v;
    v.EscalaMapa = 100;
    v.LadoMapa = 100;
    v.TopoMapa = 5;
    v.MinX = 0;
    v.MinY = 0;
    v.MaxX = 100;
    v.MaxY = 100;
    return v;
}

std::vector<PrimitivaMapa> Coleta(const std::function<void(const DestinoDesenho&)>& f) {
    std::vector<PrimitivaMapa> r;
    f([&r](const PrimitivaMapa& p) { r.push_back(p); });
    return r;
}

TEST(ListaCamadas, NineAtMostAndRemovalMovesTheLaterOnesDown) {
    CamadasDoMapa c;
    for (int k = 1; k <= 9; ++k) {
        CamadaDoMapa n;
        n.ArquivoCamada = "/m/c" + std::to_string(k) + ".map";
        n.CorCamada = static_cast<std::uint32_t>(k);
        n.Ativa = k != 3;
        EXPECT_TRUE(c.Adiciona(n));
    }
    EXPECT_FALSE(c.Adiciona({}));
    EXPECT_EQ(c.NumCamadas(), 9);
    EXPECT_TRUE(c.Camada(3).Ativa) << "a new layer is always active";
    c.Camada(4).Ativa = false;
    c.Remove(2);
    EXPECT_EQ(c.NumCamadas(), 8);
    EXPECT_EQ(c.Camada(2).ArquivoCamada, "/m/c3.map");
    EXPECT_EQ(c.Camada(3).CorCamada, 4u);
    EXPECT_FALSE(c.Camada(3).Ativa) << "the check moves with the layer";
    EXPECT_EQ(RotuloCamada(3, c.Camada(3).ArquivoCamada), "&3 c4.map");

    CamadaDoMapa longa;
    longa.ArquivoCamada = std::string(200, 'a') + ".dbf";
    CamadasDoMapa d;
    d.Adiciona(longa);
    EXPECT_EQ(d.Camada(1).ArquivoCamada.size(), MaxArquivoCamada);
}

TEST(ListaCamadas, KindByUpperCasedExtensionAndGridColours) {
    EXPECT_EQ(TipoDaCamada("/a/b.Map"), TipoCamada::Mapa);
    EXPECT_EQ(TipoDaCamada("b.DBF"), TipoCamada::DBF);
    EXPECT_EQ(TipoDaCamada("x.gpx"), TipoCamada::GPX);
    EXPECT_EQ(TipoDaCamada("x.shp"), TipoCamada::Outro);
    EXPECT_EQ(TipoDaCamada("/pasta.map/semext"), TipoCamada::Outro);
    EXPECT_EQ(CoresCamada[0], 0x00FFFF00u); // 00FFFF (cyan) stored as BBGGRR
    EXPECT_EQ(CoresCamada[1], 0x00FF0000u); // 0000FF
    EXPECT_EQ(CoresCamada[2], CoresCamada[4]);
    EXPECT_EQ(CoresCamada[12], 0x000000FFu); // FF0000 red
}

TEST(CamadaDBF, CoordinateFieldNamesRadiusStyleAndIdentification) {
    PastaTemporaria pasta;
    MensagensRoteiro m;
    UsaMensagens usa(m);
    const std::string bom =
        GravaDBF(pasta / "bom.dbf",
                 {Campo("LAT", 'C', 10), Campo("LONG", 'C', 10), Campo("RAIO", 'N', 3), Campo("NOME", 'C', 8)},
                 {{"50", "10", "10",
                   "Pra\x87"
                   "a"},
                  {" 2 5,5", "30", "", "B"}},
                 2);
    CamadaDoMapa c;
    c.ArquivoCamada = bom;
    c.CorCamada = 0x0000FF;
    c.LarguraCamada = 2;
    c.ComLegenda = true;
    const VistaMapa v = Vista();
    std::vector<std::string> avisos;
    auto aviso = [&avisos](const std::string& s) { avisos.push_back(s); };
    auto f = Coleta([&](const DestinoDesenho& d) { DesenhaCamadaDBF(v, c, 3, false, d, aviso); });
    ASSERT_EQ(f.size(), 4u);
    EXPECT_TRUE(avisos.empty());
    // RAIO 10 wins over the width; radius 4 or more gets a white outline.
    EXPECT_EQ(f[0].Figura, FiguraMapa::Circulo);
    EXPECT_EQ(f[0].Raio, 10);
    EXPECT_EQ(f[0].Pontos[0], (PontoTela{30, 55}));
    EXPECT_EQ(f[0].Caneta, CorBranca);
    EXPECT_EQ(f[0].Preenchimento, 0x0000FFu);
    EXPECT_EQ(f[0].Identificacao, 3 * 200000 + 1);
    // The name from code page 850 (language byte 2), above the point.
    EXPECT_EQ(f[1].Texto, "Pra\xE7"
                          "a");
    EXPECT_EQ(f[1].Alinhamento, AlinhaTexto::Acima);
    // Blank RAIO reads 0; the comma-decimal latitude with blanks inside is read.
    EXPECT_EQ(f[2].Raio, 0);
    EXPECT_EQ(f[2].Pontos[0], (PontoTela{50, 79}));
    EXPECT_EQ(f[2].Caneta, 0x0000FFu) << "a small point is outlined in the layer colour";
    EXPECT_EQ(f[2].Identificacao, 3 * 200000 + 2);

    // Without RAIO the width is the radius; transparent: no fill, pen in the colour.
    const std::string xy = GravaDBF(pasta / "xy.dbf", {Campo("X", 'N', 5), Campo("Y", 'N', 5)}, {{"1", "2"}});
    c.ArquivoCamada = xy;
    c.Transparente = true;
    c.LarguraCamada = 6;
    f = Coleta([&](const DestinoDesenho& d) { DesenhaCamadaDBF(v, c, 1, false, d, aviso); });
    ASSERT_EQ(f.size(), 1u);
    EXPECT_EQ(f[0].Raio, 6);
    EXPECT_FALSE(f[0].ComPreenchimento);
    EXPECT_EQ(f[0].Caneta, 0x0000FFu);

    // "LA" and "LO" are too short.
    const std::string curto = GravaDBF(pasta / "curto.dbf", {Campo("LA", 'N', 5), Campo("LO", 'N', 5)}, {{"1", "2"}});
    c.ArquivoCamada = curto;
    f = Coleta([&](const DestinoDesenho& d) { DesenhaCamadaDBF(v, c, 1, false, d, aviso); });
    EXPECT_TRUE(f.empty());
    ASSERT_EQ(avisos.size(), 1u);
    EXPECT_EQ(avisos[0], curto + " n\xE3o cont\xE9m os campos LATITUDE e/ou LONGITUDE");
}

TEST(CamadaDBF, ThePickedRecordIsToldByItsFirstFifteenFields) {
    PastaTemporaria pasta;
    std::vector<CampoDBF> campos;
    Linhas valores;
    for (int i = 1; i <= 16; ++i) {
        campos.push_back(Campo("Campo" + std::to_string(i), 'C', 8));
        valores.push_back("  v" + std::to_string(i));
    }
    const std::string nome = GravaDBF(pasta / "Pontos.DBF", campos, {Linhas(16, "x"), valores});
    std::string esperado = "Pontos.DBF\n======";
    for (int i = 1; i <= 15; ++i)
        esperado += "\ncampo" + std::to_string(i) + ": v" + std::to_string(i);
    EXPECT_EQ(InformacaoDoPonto(nome, 2, false), esperado);
    // A record the file no longer has tells nothing; a vanished file is an error.
    EXPECT_EQ(InformacaoDoPonto(nome, 3, false), "");
    EXPECT_THROW(InformacaoDoPonto(pasta / "falta.dbf", 1, false), std::exception);
}

TEST(CamadaGPX, OneLineWithSeveralWaypointsDrawsThemAll) {
    PastaTemporaria pasta;
    const std::string gpx =
        pasta.Grava("w.gpx", "<?xml version=\"1.0\"?><gpx><wpt lat=\"10.5\" lon=\"20\"><name>Um</name></wpt>"
                             "<wpt lon=\"40\" lat=\"60\"><name>Dois</name></wpt><wpt lat=\"0\" lon=\"0\"></wpt></gpx>");
    CamadaDoMapa c;
    c.ArquivoCamada = gpx;
    c.LarguraCamada = 5;
    c.ComLegenda = true;
    const VistaMapa v = Vista();
    auto f = Coleta([&](const DestinoDesenho& d) { DesenhaCamadaGPX(v, c, d); });
    ASSERT_EQ(f.size(), 6u);
    EXPECT_EQ(f[0].Pontos[0], (PontoTela{40, 94}));
    EXPECT_EQ(f[0].Raio, 5);
    EXPECT_EQ(f[0].Identificacao, SemIdentificacao) << "waypoints are not picked";
    EXPECT_EQ(f[1].Texto, "Um");
    EXPECT_EQ(f[2].Pontos[0], (PontoTela{60, 45}));
    EXPECT_EQ(f[3].Texto, "Dois");
    EXPECT_EQ(f[4].Pontos[0], (PontoTela{20, 105}));
}

// The file is read at the first drawing only: the redraws (every 900 ms, every
// zoom) draw the same waypoints without reading it again.
TEST(CamadaGPX, ReadOnceForEveryRedraw) {
    PastaTemporaria pasta;
    std::string texto = "<gpx></wpt>";
    for (int i = 0; i < 2000; ++i)
        texto += "<wpt lat=\"" + std::to_string(i % 90) + "\" lon=\"" + std::to_string(i % 180) + "\"><name>P" +
                 std::to_string(i) + "</name></wpt>\n";
    const std::string gpx = pasta.Grava("muitos.gpx", texto);
    CamadaDoMapa c;
    c.ArquivoCamada = gpx;
    c.ComLegenda = true;
    const VistaMapa v = Vista();
    auto primeira = Coleta([&](const DestinoDesenho& d) { DesenhaCamadaGPX(v, c, d); });
    ASSERT_EQ(primeira.size(), 4000u);
    EXPECT_EQ(primeira[1].Texto, "P0");
    EXPECT_EQ(primeira[3999].Texto, "P1999");
    std::filesystem::remove(gpx);
    const CamadaDoMapa copia = c;
    auto segunda = Coleta([&](const DestinoDesenho& d) { DesenhaCamadaGPX(v, copia, d); });
    ASSERT_EQ(segunda.size(), primeira.size());
    for (std::size_t i = 0; i < segunda.size(); ++i) {
        EXPECT_EQ(segunda[i].Texto, primeira[i].Texto);
        EXPECT_EQ(segunda[i].Pontos, primeira[i].Pontos);
    }
}

TEST(CamadaMapa, StyleLabelsAndZoomClipping) {
    PastaTemporaria pasta;
    RegistroMapa area;
    area.Tipo = TipoPoligono;
    area.Nome = "Area";
    area.RotuloX = 5;
    area.RotuloY = 5;
    area.Pontos = {{0, 0}, {10, 0}, {10, 10}, {0, 0}};
    RegistroMapa ponto;
    ponto.Tipo = TipoPonto;
    ponto.Nome = "P";
    ponto.RotuloX = 90;
    ponto.RotuloY = 90;
    ponto.Pontos = {{90, 90}};
    const std::string nome = pasta / "c.map";
    GravaMapa(nome, {area, ponto});
    CamadaDoMapa c;
    c.ArquivoCamada = nome;
    c.CorCamada = 0x00FF00;
    c.LarguraCamada = 3;
    c.Transparente = true;
    c.ComLegenda = true;
    VistaMapa v = Vista();
    auto f = Coleta([&](const DestinoDesenho& d) { DesenhaCamadaMapa(v, c, nullptr, d); });
    ASSERT_EQ(f.size(), 4u);
    EXPECT_EQ(f[0].Figura, FiguraMapa::Poligono);
    EXPECT_FALSE(f[0].ComPreenchimento);
    EXPECT_EQ(f[0].LarguraCaneta, 3);
    EXPECT_EQ(f[0].Caneta, 0x00FF00u);
    EXPECT_EQ(f[1].Alinhamento, AlinhaTexto::Centro); // area name centred
    EXPECT_EQ(f[2].Raio, 3);                          // point radius = width
    EXPECT_EQ(f[3].Alinhamento, AlinhaTexto::Acima);  // point name above

    v.EmZoom = true;
    const JanelaMapa j{100, 100, 50, 50};
    f = Coleta([&](const DestinoDesenho& d) { DesenhaCamadaMapa(v, c, &j, d); });
    ASSERT_EQ(f.size(), 2u) << "only the point lies in the zoom window";
    EXPECT_EQ(f[0].Figura, FiguraMapa::Circulo);
}

TEST(CamadasAtivas, AVanishedFileIsReportedAndTheOthersDrawn) {
    PastaTemporaria pasta;
    MensagensRoteiro m;
    UsaMensagens usa(m);
    CamadasDoMapa lista;
    CamadaDoMapa sumiu;
    sumiu.ArquivoCamada = pasta / "sumiu.map";
    lista.Adiciona(sumiu);
    CamadaDoMapa inativa;
    inativa.ArquivoCamada = pasta.Grava("a.gpx", "<wpt lat=\"1\" lon=\"1\"></wpt>");
    lista.Adiciona(inativa);
    lista.Camada(2).Ativa = false;
    lista.Adiciona(inativa);
    std::vector<std::string> avisos;
    auto f = Coleta([&](const DestinoDesenho& d) {
        DesenhaCamadas(Vista(), lista, nullptr, false, d, [&](const std::string& s) { avisos.push_back(s); });
    });
    EXPECT_EQ(f.size(), 1u);
    EXPECT_EQ(avisos.size(), 1u);
}

TEST(CirculosProporcionais, RadiusOrderAndSkippedRows) {
    EXPECT_EQ(RaioCirculo(0, 100, 25), 0);
    EXPECT_EQ(RaioCirculo(0.0001, 100, 25), 3);
    EXPECT_EQ(RaioCirculo(100, 100, 25), 25);
    EXPECT_EQ(RaioCirculo(-25, 100, 25), 13);
    EXPECT_EQ(RaioCirculo(5, 0, 25), 3) << "a largest value of 0 does not divide by zero";

    PastaTemporaria pasta;
    auto area = [](const std::string& cod, float x) {
        RegistroMapa r;
        r.Codigo = cod;
        r.RotuloX = x;
        r.RotuloY = 50;
        r.Pontos = {{x, 40}, {x + 5, 40}, {x, 45}, {x, 40}};
        return r;
    };
    const std::string nome = pasta / "b.map";
    GravaMapa(nome, {area("01", 10), area("02", 30), area("02", 60)});
    TabelaResultados t = teste::MontaTabela({"01 A", "02 B", "03 C"}, {{"V", {4, 100, 50}, 0}});
    t.TamCodigo = 2;
    MontaIndiceLinhas(t);
    auto f = Coleta([&](const DestinoDesenho& d) { DesenhaCirculos(t, nome, 1, 0x0080FF, 20, Vista(), d); });
    ASSERT_EQ(f.size(), 2u) << "row 03 has no label point";
    EXPECT_EQ(f[0].Raio, 20);
    EXPECT_EQ(f[0].Pontos[0], (PontoTela{80, 55})) << "a later record of the row replaces its label point";
    EXPECT_EQ(f[1].Raio, 4);
    EXPECT_EQ(f[1].Caneta, CorBranca);
    EXPECT_EQ(f[1].Preenchimento, 0x0080FFu);
}

TEST(SetasDeFluxo, FiltersWidthsIdentificationAndPies) {
    PastaTemporaria pasta;
    const std::string arq = GravaDBF(pasta / "f.dbf",
                                     {Campo("X1", 'N', 8, 2), Campo("Y1", 'N', 8, 2), Campo("X2", 'N', 8, 2),
                                      Campo("Y2", 'N', 8, 2), Campo("TIPO", 'N', 2), Campo("FLUXO", 'N', 6),
                                      Campo("TOT1", 'N', 6), Campo("TOT2", 'N', 6), Campo("DISTANCIA", 'N', 6)},
                                     {{"0", "0", "50", "50", "1", "30", "100", "400", "10"},
                                      {"10", "10", "50", "50", "2", "5", "100", "400", "10"},
                                      {"50", "50", "50", "50", "0", "100", "400", "400", "0"},
                                      {"0", "0", "0", "0", "1", "0", "0", "0", "0"}});
    ConfiguracaoSetas o;
    o.MostraSetas = true;
    o.ArquivoFluxo = arq;
    o.DivisorLargura = 10;
    o.FluxoMinimo = 1;
    o.Dominante = true;
    o.Setor = true;
    std::vector<std::string> avisos;
    auto f = Coleta([&](const DestinoDesenho& d) {
        DesenhaSetas(Vista(), o, 0, d, [&](const std::string& s) { avisos.push_back(s); });
    });
    // Record 0 (dominant, enough flow), then the pie of record 2 (TIPO 0).
    ASSERT_GE(f.size(), 3u);
    EXPECT_EQ(f[0].Figura, FiguraMapa::Linha);
    EXPECT_EQ(f[0].LarguraCaneta, 3); // round((30 - 1) / 10)
    EXPECT_EQ(f[0].Identificacao, 2000001);
    EXPECT_EQ(f[1].Figura, FiguraMapa::Circulo);
    EXPECT_EQ(f[1].Raio, 25);
    EXPECT_EQ(f[1].Caneta, 0x00FF0000u);
    EXPECT_EQ(f[2].Figura, FiguraMapa::Poligono);
    EXPECT_EQ(f.size(), 3u);

    const std::string ruim = GravaDBF(pasta / "r.dbf", {Campo("X1", 'N', 4)}, {{"1"}});
    o.ArquivoFluxo = ruim;
    f = Coleta([&](const DestinoDesenho& d) {
        DesenhaSetas(Vista(), o, 0, d, [&](const std::string& s) { avisos.push_back(s); });
    });
    EXPECT_TRUE(f.empty());
    ASSERT_EQ(avisos.size(), 1u);
    EXPECT_EQ(avisos[0], ruim + " n\xE3o cont\xE9m pelo menos um dos campos X1,Y1,X2,Y2,Tipo,Fluxo ou Distancia");
}

} // namespace
} // namespace dorvan

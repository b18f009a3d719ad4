#include "maps/ArquivoMapa.h"

#include "data/Index.h"
#include "platform/Erros.h"
#include "support/ApoioTeste.h"

#include <gtest/gtest.h>

#include <bit>
#include <string>

namespace dorvan {
namespace {

using teste::PastaTemporaria;

// Little-endian bytes built by hand, independently of the writer under test.
std::string I16(std::uint16_t v) { return {static_cast<char>(v & 0xFF), static_cast<char>(v >> 8)}; }
std::string F32(float f) {
    const auto u = std::bit_cast<std::uint32_t>(f);
    return {static_cast<char>(u & 0xFF), static_cast<char>((u >> 8) & 0xFF), static_cast<char>((u >> 16) & 0xFF),
            static_cast<char>(u >> 24)};
}
std::string Cabecalho(float maxX, float maxY, float minX, float minY, std::uint16_t versao = 100) {
    return I16(versao) + F32(maxX) + F32(maxY) + F32(minX) + F32(minY);
}
// A record with the given text fields as raw bytes (length byte included).
std::string Registro(char tipo, const std::string& codigo11, const std::string& nome26, float rx, float ry,
                     std::uint16_t n, const std::vector<PontoMapa>& pontos) {
    std::string s(1, tipo);
    s += codigo11;
    s += nome26;
    s += F32(rx) + F32(ry) + I16(n);
    for (const PontoMapa& p : pontos)
        s += F32(p.X) + F32(p.Y);
    return s;
}
std::string Texto(const std::string& t, std::size_t largura, char enchimento = '\0') {
    std::string s(1, static_cast<char>(t.size()));
    s += t;
    s.append(largura - t.size(), enchimento);
    return s;
}

TEST(ArquivoMapa, FixedLayoutIsLittleEndianWithoutPadding) {
    // 100 = 64 00; 10.0f = 00 00 20 41; -1.5f = 00 00 C0 BF.
    EXPECT_EQ(BytesCabecalho({100, 10.0f, 2.0f, -1.5f, 0.0f}), std::string("\x64\x00"
                                                                           "\x00\x00\x20\x41"
                                                                           "\x00\x00\x00\x40"
                                                                           "\x00\x00\xC0\xBF"
                                                                           "\x00\x00\x00\x00",
                                                                           18));
    RegistroMapa r;
    r.Tipo = 3;
    r.Codigo = "123";
    r.Nome = "S\xE3o Jos\xE9";
    r.RotuloX = 1;
    r.RotuloY = 2;
    r.Pontos = {{-1.5f, 10}};
    const std::string b = BytesRegistro(r);
    ASSERT_EQ(b.size(), 48u + 8u);
    EXPECT_EQ(b, Registro(3, Texto("123", 10), Texto("S\xE3o Jos\xE9", 25), 1, 2, 1, r.Pontos));
    EXPECT_EQ(b.substr(46, 2), std::string("\x01\x00", 2));
}

TEST(ArquivoMapa, HandBuiltFileReadsFieldByField) {
    PastaTemporaria pasta;
    // Unused text bytes hold rubbish and a name keeps its blanks: nothing is trimmed.
    const std::string bytes = Cabecalho(50, 40, -10, -20) +
                              Registro(0, Texto("AB ", 10, 'x'), Texto(" Vila  ", 25, '#'), 3.5f, 4.5f, 4,
                                       {{0, 0}, {10, 0}, {10, 10}, {0, 0}}) +
                              Registro(7, Texto("", 10), Texto("", 25), 0, 0, 1, {{1, 1}});
    const std::string nome = pasta.Grava("base.map", bytes);
    Mapa m = LeMapa(nome);
    EXPECT_EQ(m.Cabecalho.Versao, 100);
    EXPECT_EQ(m.Cabecalho.MaxX, 50);
    EXPECT_EQ(m.Cabecalho.MaxY, 40);
    EXPECT_EQ(m.Cabecalho.MinX, -10);
    EXPECT_EQ(m.Cabecalho.MinY, -20);
    ASSERT_EQ(m.Registros.size(), 2u);
    const RegistroMapa& r = m.Registros[0];
    EXPECT_EQ(r.Tipo, 0);
    EXPECT_EQ(r.Codigo, "AB ");
    EXPECT_EQ(r.Nome, " Vila  ");
    EXPECT_EQ(r.RotuloX, 3.5f);
    EXPECT_EQ(r.RotuloY, 4.5f);
    EXPECT_EQ(r.Pontos, (std::vector<PontoMapa>{{0, 0}, {10, 0}, {10, 10}, {0, 0}}));
    EXPECT_EQ(m.Registros[1].Tipo, 7); // kinds above 3 are delivered; the callers skip them
    EXPECT_EQ(m.Registros[1].Pontos.size(), 1u);
}

TEST(ArquivoMapa, LengthByteBeyondTheFieldReadsTheWholeField) {
    PastaTemporaria pasta;
    std::string codigo = "\xFF"
                         "0123456789";
    std::string nome = "\x40" + std::string(25, 'N');
    const std::string arq = pasta.Grava("a.map", Cabecalho(1, 1, 0, 0) + Registro(0, codigo, nome, 0, 0, 1, {{0, 0}}));
    Mapa m = LeMapa(arq);
    ASSERT_EQ(m.Registros.size(), 1u);
    EXPECT_EQ(m.Registros[0].Codigo, "0123456789");
    EXPECT_EQ(m.Registros[0].Nome, std::string(25, 'N'));
}

TEST(ArquivoMapa, WriterWidensRunningBoundsAndRewritesTheHeader) {
    PastaTemporaria pasta;
    RegistroMapa area{0, "01", "Norte", 1, 1, {{0, 0}, {4, 0}, {4, 3}, {0, 0}}};
    RegistroMapa linha{2, "02", "Rio", 0, 0, {{-2, 5}, {1, 7}}};
    RegistroMapa ponto{3, "0123456789AB", std::string(30, 'z'), 9, 9, {{6, -1}}};
    GravaMapa(pasta / "m.map", {area, linha, ponto});
    const std::string bytes = pasta.Le("m.map");
    RegistroMapa pontoCortado = ponto;
    pontoCortado.Codigo = "0123456789";
    pontoCortado.Nome = std::string(25, 'z');
    EXPECT_EQ(bytes,
              Cabecalho(6, 7, -2, -1) + BytesRegistro(area) + BytesRegistro(linha) + BytesRegistro(pontoCortado));
    EXPECT_EQ(bytes.size(), 18u + (48 + 32) + (48 + 16) + (48 + 8));

    Mapa m = LeMapa(pasta / "m.map");
    ASSERT_EQ(m.Registros.size(), 3u);
    EXPECT_EQ(m.Registros[1].Nome, "Rio");
    EXPECT_EQ(m.Registros[1].Pontos, linha.Pontos);
    EXPECT_EQ(m.Registros[2].Codigo, "0123456789");
}

TEST(ArquivoMapa, WriterWithSourceBoundsWritesTheHeaderOnce) {
    PastaTemporaria pasta;
    GravadorMapa g(pasta / "f.map", CabecalhoMapa{55, 100, 200, 300, 400});
    EXPECT_TRUE(g.Grava({0, "1", "a", 0, 0, {{1000, 1000}}}));
    g.Fecha();
    Mapa m = LeMapa(pasta / "f.map");
    EXPECT_EQ(m.Cabecalho.Versao, 100); // a writer never writes another version
    EXPECT_EQ(m.Cabecalho.MaxX, 100);   // not widened to the vertex at 1000
    EXPECT_EQ(m.Cabecalho.MinY, 400);
}

TEST(ArquivoMapa, WriterCapsVerticesAndRefusesEmptyRecords) {
    PastaTemporaria pasta;
    RegistroMapa grande{2, "g", "grande", 0, 0, {}};
    for (int i = 0; i < 40000; ++i)
        grande.Pontos.push_back({static_cast<float>(i), 0});
    GravadorMapa g(pasta / "g.map");
    EXPECT_TRUE(g.Grava(grande));
    EXPECT_FALSE(g.Grava({0, "v", "vazio", 0, 0, {}}));
    EXPECT_EQ(g.NumRegistros(), 1);
    g.Fecha();
    Mapa m = LeMapa(pasta / "g.map");
    ASSERT_EQ(m.Registros.size(), 1u);
    EXPECT_EQ(m.Registros[0].Pontos.size(), 32766u);
    EXPECT_EQ(m.Cabecalho.MaxX, 32765); // the bounds cover only what was written
}

TEST(ArquivoMapa, HeaderOnlyMapHasNoRecords) {
    PastaTemporaria pasta;
    GravaMapa(pasta / "vazio.map", {});
    EXPECT_EQ(pasta.Le("vazio.map"), Cabecalho(-1e20f, -1e20f, 1e20f, 1e20f));
    EXPECT_TRUE(LeMapa(pasta / "vazio.map").Registros.empty());
}

TEST(ArquivoMapa, AbandonedWriterLeavesTheOldFile) {
    PastaTemporaria pasta;
    const std::string nome = pasta.Grava("velho.map", "antigo");
    {
        GravadorMapa g(nome);
        g.Grava({0, "1", "a", 0, 0, {{1, 1}}});
    }
    EXPECT_EQ(pasta.Le("velho.map"), "antigo");
}

TEST(ArquivoMapa, DamagedFilesNameTheFileAndTheOffset) {
    const std::string cab = Cabecalho(1, 1, 0, 0);
    const std::string bom = Registro(0, Texto("1", 10), Texto("a", 25), 0, 0, 2, {{0, 0}, {1, 1}}); // 64 bytes
    auto comPontos = [](std::uint16_t n) { return Registro(0, Texto("1", 10), Texto("a", 25), 0, 0, n, {}); };
    struct Caso {
        const char* nome;
        std::string bytes;
        std::size_t registrosAntes;
        const char* texto;
    } casos[] = {
        {"header cut short", cab.substr(0, 10), 0,
         "danificado no byte 0: cabe\xE7"
         "alho incompleto"},
        {"empty file", "", 0,
         "danificado no byte 0: cabe\xE7"
         "alho incompleto"},
        {"fixed part cut short", cab + bom.substr(0, 30), 0, "danificado no byte 18: registro incompleto"},
        {"vertices cut short", cab + bom.substr(0, 60), 0, "danificado no byte 18: registro incompleto"},
        {"second record cut", cab + bom + bom.substr(0, 50), 1, "danificado no byte 82: registro incompleto"},
        {"zero vertices", cab + comPontos(0), 0, "danificado no byte 64: n\xFAmero de pontos inv\xE1lido (0)"},
        {"negative count", cab + comPontos(0xFFFB), 0, "danificado no byte 64: n\xFAmero de pontos inv\xE1lido (-5)"},
        {"count above the cap", cab + bom + comPontos(32767) + std::string(32767 * 8, '\0'), 1,
         "danificado no byte 128: n\xFAmero de pontos inv\xE1lido (32767)"},
        {"count larger than the file", cab + comPontos(32766), 0, "danificado no byte 18: registro incompleto"},
    };
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.nome);
        PastaTemporaria pasta;
        const std::string arq = pasta.Grava("ruim.map", c.bytes);
        std::size_t lidos = 0;
        try {
            LeitorMapa leitor(arq);
            RegistroMapa r;
            while (leitor.Proximo(r))
                ++lidos;
            ADD_FAILURE() << "no error";
        } catch (const ErroES& e) {
            EXPECT_EQ(e.Arquivo(), arq);
            EXPECT_EQ(e.Motivo(), std::string("arquivo de mapa ") + c.texto);
            EXPECT_NE(std::string(e.what()).find(arq), std::string::npos);
        }
        EXPECT_EQ(lidos, c.registrosAntes);
    }
}

TEST(ArquivoMapa, MissingFileIsAnInputOutputError) {
    PastaTemporaria pasta;
    EXPECT_THROW(LeMapa(pasta / "nada.map"), ErroES);
}

TEST(ArquivoMapa, HeaderProblemsStopTheDrawingWithTheirTexts) {
    EXPECT_EQ(ProblemaCabecalhoTela("x.map", {99, 1, 1, 0, 0}), "x.map n\xE3o \xE9 um arquivo de mapa do Dorvan.");
    EXPECT_EQ(ProblemaCabecalhoImpressora({99, 1, 1, 0, 0}), "Vers\xE3o inv\xE1lida do arquivo de mapas :99");
    EXPECT_EQ(ProblemaCabecalhoTela("x.map", {100, 3, 4, 3, 4}), "N\xE3o \xE9 poss\xEDvel mapear um \xFAnico ponto.");
    EXPECT_EQ(ProblemaCabecalhoImpressora({100, 3, 4, 3, 4}), "N\xE3o \xE9 poss\xEDvel mapear um \xFAnico ponto.");
    // One range zero is a line of features, still drawable.
    EXPECT_EQ(ProblemaCabecalhoTela("x.map", {100, 3, 5, 3, 4}), "");
    EXPECT_EQ(ProblemaCabecalhoImpressora({100, 3, 5, 3, 4}), "");
}

TEST(ArquivoMapa, GeographicWhenBoundsFitDegrees) {
    EXPECT_TRUE(MapaGeografico({100, 180, 90, -180, -90}));
    EXPECT_TRUE(MapaGeografico({100, -34, -5, -74, -34}));
    EXPECT_FALSE(MapaGeografico({100, 181, 10, 0, 0}));
    EXPECT_FALSE(MapaGeografico({100, 10, 10, 0, -90.5f}));
    EXPECT_FALSE(MapaGeografico({100, 700000, 9000000, 200000, 7000000}));
}

TEST(ArquivoMapa, RingsEndAtAReturnToTheFirstVertexOrAtTheLast) {
    const PontoMapa P{0, 0}, A{1, 0}, B{1, 1}, C{0, 1}, W{5, 5}, D{6, 5}, E{6, 6};
    struct Caso {
        const char* nome;
        std::vector<PontoMapa> pontos;
        std::vector<AnelMapa> aneis;
    } casos[] = {
        {"closed ring drops the closing vertex", {P, A, B, C, P}, {{0, 4}}},
        {"open ring still drops the last vertex", {P, A, B, C}, {{0, 3}}},
        {"two rings separated by a return to the first vertex", {P, A, B, C, P, W, D, E, W, P}, {{0, 4}, {5, 4}}},
        {"a single vertex draws nothing", {P}, {}},
        {"a return right after a return makes no empty ring", {P, A, B, P, P}, {{0, 3}}},
    };
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.nome);
        RegistroMapa r;
        r.Pontos = c.pontos;
        EXPECT_EQ(AneisDoRegistro(r), c.aneis);
    }
}

TEST(ArquivoMapa, ZoomWindowKeepsRecordsWithAVertexInsideInclusive) {
    RegistroMapa r;
    r.Pontos = {{0, 0}, {10, 0}, {10, 10}};
    EXPECT_TRUE(RegistroNaJanela(r, 10, 10, 20, 20)); // corner on the window's edge
    EXPECT_TRUE(RegistroNaJanela(r, -5, -5, 1, 1));
    // The window inside the polygon but no vertex in it: skipped whole.
    EXPECT_FALSE(RegistroNaJanela(r, 6, 2, 8, 3));
}

TEST(ArquivoMapa, RecordsMatchRowsByCodeThenByPlainCapitalName) {
    TIndice ind;
    CriaIndice(ind, 10);
    InsereIndice(ind, "3550308", 1);
    InsereIndice(ind, "SAO JOSE", 2);
    InsereIndice(ind, "Santos", 3);
    struct Caso {
        const char* nome;
        std::string codigo, nomeReg;
        std::int32_t linha;
    } casos[] = {
        {"code exactly as stored", "3550308", "Outro", 1},
        {"accented name against plain capitals", "999", "S\xE3o Jos\xE9", 2},
        {"a code wins over a name", "3550308", "S\xC3O JOS\xC9", 1},
        {"names are upper-cased before lookup", "x", "Santos", 0},
        {"codes are not trimmed", "3550308 ", "", 0},
        {"no match", "1", "Nenhum", 0},
    };
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.nome);
        RegistroMapa r;
        r.Codigo = c.codigo;
        r.Nome = c.nomeReg;
        EXPECT_EQ(LinhaDoRegistro(ind, r), c.linha);
    }
}

TEST(ArquivoMapa, InteriorPointIsTheMiddleOfTheWidestSpanOnTheMeanLine) {
    struct Caso {
        const char* nome;
        std::vector<PontoMapa> pontos;
        PontoMapa esperado;
    } casos[] = {
        // Mean Y (0+0+10+10+0)/5 = 4; the line cuts x = 10 and x = 0.
        {"closed square", {{0, 0}, {10, 0}, {10, 10}, {0, 10}, {0, 0}}, {5, 4}},
        // A U: mean Y 44/8 = 5.5 crosses at 0, 5, 25, 30; two spans of width 5: the first wins.
        {"equal spans keep the first",
         {{0, 0}, {30, 0}, {30, 10}, {25, 10}, {25, 2}, {5, 2}, {5, 10}, {0, 10}},
         {2.5f, 5.5f}},
        // Right arm 7 wide: (25 + 32) / 2.
        {"a strictly wider span replaces",
         {{0, 0}, {32, 0}, {32, 10}, {25, 10}, {25, 2}, {5, 2}, {5, 10}, {0, 10}},
         {28.5f, 5.5f}},
        // Every vertex on the mean line: no crossing, the bounding box's centre.
        {"no crossing", {{0, 1}, {5, 1}, {10, 1}}, {5, 1}},
    };
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.nome);
        RegistroMapa r;
        r.Pontos = c.pontos;
        const PontoMapa p = PontoInterno(r);
        EXPECT_FLOAT_EQ(p.X, c.esperado.X);
        EXPECT_FLOAT_EQ(p.Y, c.esperado.Y);
    }
}

TEST(ArquivoMapa, InteriorPointOfAComb) {
    // 300 teeth cross the mean line 600 times; only the first 100 crossings count,
    // in vertex order: the teeth between x = 0 and x = 50, each 0.5 wide.
    RegistroMapa r;
    for (int i = 0; i < 300; ++i) {
        r.Pontos.push_back({static_cast<float>(i), 0});
        r.Pontos.push_back({static_cast<float>(i), 10});
        r.Pontos.push_back({i + 0.5f, 10});
        r.Pontos.push_back({i + 0.5f, 0});
    }
    const PontoMapa p = PontoInterno(r);
    EXPECT_FLOAT_EQ(p.Y, 5);
    EXPECT_FLOAT_EQ(p.X, 0.25f); // all teeth equally wide: the middle of the first
}

} // namespace
} // namespace dorvan

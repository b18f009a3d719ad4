#include "maps/ExportaMapa.h"

#include "platform/Arquivos.h"
#include "platform/Erros.h"
#include "support/ApoioTeste.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace dorvan {
namespace {

using teste::PastaTemporaria;

RegistroMapa Reg(std::uint8_t tipo, const std::string& codigo, const std::string& nome, std::vector<PontoMapa> p,
                 float rx = 0, float ry = 0) {
    RegistroMapa r;
    r.Tipo = tipo;
    r.Codigo = codigo;
    r.Nome = nome;
    r.RotuloX = rx;
    r.RotuloY = ry;
    r.Pontos = std::move(p);
    return r;
}

// A square, then a record of two rings as the .MIF importer leaves it: ring 1 closed
// on vertex 1, ring 2 closed on its own start, then a copy of vertex 1 as separator.
const RegistroMapa Quadrado = Reg(0, "01", "Alfa", {{0, 0}, {1, 0}, {1, 1}, {0, 0}}, 0.5f, 0.25f);
const RegistroMapa DoisAneis =
    Reg(1, "02", "Beta", {{2, 2}, {3, 2}, {3, 3}, {2, 2}, {5, 5}, {6, 5}, {6, 6}, {5, 5}, {2, 2}}, 2.5f, 2.25f);

std::string Exporta(void (*f)(const std::string&, const std::string&), const std::vector<RegistroMapa>& regs,
                    const PastaTemporaria& pasta, const std::string& saida) {
    const std::string mapa = pasta / "teste.map";
    GravaMapa(mapa, regs);
    f(mapa, pasta / saida);
    return LeArquivoInteiro(pasta / saida);
}

TEST(AneisExportacao, RingsSplitAtReturnsToTheFirstVertex) {
    struct Caso {
        std::vector<PontoMapa> pontos;
        std::vector<AnelMapa> esperado;
    };
    const Caso casos[] = {
        {Quadrado.Pontos, {{0, 4}}},                                  // one ring: all n vertices
        {DoisAneis.Pontos, {{0, 4}, {4, 4}}},                         // separator dropped
        {{{0, 0}, {1, 1}, {2, 0}}, {{0, 3}}},                         // no return at all: whole
        {{{0, 0}, {1, 0}, {0, 0}, {5, 5}, {6, 5}}, {{0, 3}, {3, 2}}}, // last ring unclosed keeps its end
        {{{0, 0}}, {{0, 1}}},                                         // a point
    };
    for (const Caso& c : casos) {
        RegistroMapa r;
        r.Pontos = c.pontos;
        EXPECT_EQ(AneisExportacao(r), c.esperado);
    }
}

TEST(ExportaBNA, HeaderHoldsCodeNameLineMarkAndCountThenVerticesUnsplit) {
    PastaTemporaria pasta;
    const std::string s = Exporta(
        ExportaBNA, {Quadrado, Reg(2, "03", "Rio", {{0, 0}, {1.5f, -2}}), Reg(3, "04", "P", {{7, 8}})}, pasta, "s.bna");
    EXPECT_EQ(s, "\"01\",\"Alfa\",4\r\n0.00000,0.00000\r\n1.00000,0.00000\r\n1.00000,1.00000\r\n0.00000,0.00000\r\n"
                 "\"03\",\"Rio\",-2\r\n0.00000,0.00000\r\n1.50000,-2.00000\r\n"
                 "\"04\",\"P\",1\r\n7.00000,8.00000\r\n");
}

TEST(ExportaBND, EveryRingIsARecordWithTheNameCutTo20) {
    PastaTemporaria pasta;
    RegistroMapa longo = Quadrado;
    longo.Nome = "Um nome bem maior que vinte";
    const std::string s = Exporta(ExportaBND, {longo, DoisAneis}, pasta, "s.bnd");
    EXPECT_EQ(s, "\"_CORNERS\",2\r\n0.00000,0.00000\r\n6.00000,6.00000\r\n"
                 "\"Um nome bem maior qu\",4\r\n0.00000,0.00000\r\n1.00000,0.00000\r\n1.00000,1.00000\r\n"
                 "0.00000,0.00000\r\n"
                 "\"Beta\",4\r\n2.00000,2.00000\r\n3.00000,2.00000\r\n3.00000,3.00000\r\n2.00000,2.00000\r\n"
                 "\"Beta\",4\r\n5.00000,5.00000\r\n6.00000,5.00000\r\n6.00000,6.00000\r\n5.00000,5.00000\r\n");
}

TEST(ExportaXY, HeaderThenNameOnTheFirstVertexOfEachRing) {
    PastaTemporaria pasta;
    const std::string mapa = pasta / "teste.map";
    const std::string s = Exporta(ExportaXY, {DoisAneis}, pasta, "s.xy");
    EXPECT_EQ(s, "! Map Maker \"XY\" file\r\n! generated from " + mapa + " by Dorvan\r\n! " + std::string(73, '-') +
                     "\r\n! Each pair of numbers is a simple XY coordinate.\r\nDECIMAL DEGREES\r\n"
                     "Beta,2.000000,2.000000\r\n3.000000,2.000000\r\n3.000000,3.000000\r\n2.000000,2.000000\r\n"
                     "Beta,5.000000,5.000000\r\n6.000000,5.000000\r\n6.000000,6.000000\r\n5.000000,5.000000\r\n");
}

TEST(ExportaMME, SimpleComplexAndPointObjects) {
    PastaTemporaria pasta;
    const std::string s = Exporta(ExportaMME, {Quadrado, DoisAneis, Reg(3, "04", "P", {{7, 8}})}, pasta, "s.mme");
    EXPECT_EQ(s,
              "[header]\r\nobjects=3\r\nmin x=0.000000\r\nmin y=0.000000\r\nmax x=7.000000\r\nmax y=8.000000\r\n"
              "units=degrees\r\n"
              "\r\n[object 1]\r\ntype=polygon\r\nid=01\r\nname=Alfa\r\nstyle=0\r\ncoordinates=4\r\n"
              "1=0.000000,0.000000\r\n2=1.000000,0.000000\r\n3=1.000000,1.000000\r\n4=0.000000,0.000000\r\n"
              "\r\n[object 2]\r\ntype=complex polygon\r\nloops=2\r\nid=02\r\nname=Beta\r\nstyle=0\r\n"
              "\r\n[object 2-loop 1]\r\ncoordinates=4\r\n"
              "1=2.000000,2.000000\r\n2=3.000000,2.000000\r\n3=3.000000,3.000000\r\n4=2.000000,2.000000\r\n"
              "\r\n[object 2-loop 2]\r\ncoordinates=4\r\n"
              "1=5.000000,5.000000\r\n2=6.000000,5.000000\r\n3=6.000000,6.000000\r\n4=5.000000,5.000000\r\n"
              "\r\n[object 3]\r\ntype=point\r\nid=04\r\nname=P\r\nstyle=0\r\ncoordinates=1\r\n1=7.000000,8.000000\r\n");
}

TEST(ExportaMME, UnitsAreMetresBeyondDegreeBounds) {
    const struct {
        float x, y;
        const char* unidade;
    } casos[] = {{180, 90, "units=degrees"}, {181, 0, "units=metres"}, {0, -91, "units=metres"}};
    for (const auto& c : casos) {
        PastaTemporaria pasta;
        const std::string s = Exporta(ExportaMME, {Reg(0, "1", "A", {{0, 0}, {c.x, c.y}, {0, 0}})}, pasta, "s.mme");
        EXPECT_NE(s.find(std::string("\r\n") + c.unidade + "\r\n"), std::string::npos) << c.x << "," << c.y;
    }
}

TEST(ExportaMapaBase, ExtensionChoosesTheWriterAnyCase) {
    PastaTemporaria pasta;
    const std::string mapa = pasta / "teste.map";
    GravaMapa(mapa, {Quadrado});
    for (const char* nome : {"a.BNA", "b.bnd", "c.Xy", "d.mme", "e.r"}) {
        EXPECT_TRUE(ExportaMapaBase(mapa, pasta / nome)) << nome;
        EXPECT_FALSE(LeArquivoInteiro(pasta / nome).empty()) << nome;
    }
    EXPECT_FALSE(ExportaMapaBase(mapa, pasta / "f.txt"));
    EXPECT_FALSE(std::filesystem::exists(pasta / "f.txt"));
    EXPECT_THROW(ExportaBNA(pasta / "falta.map", pasta / "g.bna"), ErroES);
    EXPECT_FALSE(std::filesystem::exists(pasta / "g.bna"));
    EXPECT_EQ(ExtensaoDoFiltroExporta(1), "r");
    EXPECT_EQ(ExtensaoDoFiltroExporta(2), "bnd");
    EXPECT_EQ(ExtensaoDoFiltroExporta(3), "bna");
    EXPECT_EQ(ExtensaoDoFiltroExporta(4), "mme");
}

// R itself reads the polylist: rings apart by NA, codes, names, limits and label points.
TEST(ExportaR, RReadsThePolylist) {
    if (teste::Executa("Rscript --version >/dev/null 2>&1") != 0) GTEST_SKIP() << "R not installed";
    PastaTemporaria pasta;
    std::vector<RegistroMapa> regs{Quadrado, DoisAneis,
                                   Reg(0, "05", "Sem \"fim\"", {{0, 0}, {1, 0}, {0, 0}, {4, 4}, {5, 4}})};
    // Enough vertices to break lines inside a coordinate.
    std::vector<PontoMapa> muitos;
    for (int i = 0; i < 14; ++i)
        muitos.push_back({static_cast<float>(i), static_cast<float>(i * i % 7)});
    muitos.push_back(muitos[0]);
    regs.push_back(Reg(2, "06", "Longo", muitos, 3, 4));
    Exporta(ExportaR, regs, pasta, "s.r");
    const std::string script = pasta / "t.R";
    GravaArquivoInteiro(
        script,
        "source('" + (pasta / "s.r") +
            "')\n"
            "p <- get('teste.map')\n"
            "cat(class(p), length(p), '\\n')\n"
            "for (m in p) cat(dim(m), '|', paste(m[,1], collapse=' '), '|', paste(m[,2], collapse=' '), '\\n')\n"
            "cat(attr(p,'region.id'), '\\n')\n"
            "cat(attr(p,'region.name'), sep='/'); cat('\\n')\n"
            "cat(unlist(attr(p,'maplim')), '\\n')\n"
            "cat(attr(p,'centroid')$x, '|', attr(p,'centroid')$y, '\\n')\n"
            "cat(attr(p,'sede'), '\\n')\n");
    std::string saida;
    ASSERT_EQ(teste::Executa("Rscript --vanilla '" + script + "' 2>&1", &saida), 0) << saida;
    EXPECT_EQ(saida, "polylist 4 \n"
                     "4 2 | 0 1 1 0 | 0 0 1 0 \n"
                     "9 2 | 2 3 3 2 NA 5 6 6 5 | 2 2 3 2 NA 5 5 6 5 \n"
                     "6 2 | 0 1 0 NA 4 5 | 0 0 0 NA 4 4 \n"
                     "15 2 | 0 1 2 3 4 5 6 7 8 9 10 11 12 13 0 | 0 1 4 2 2 4 1 0 1 4 2 2 4 1 0 \n"
                     "01 02 05 06 \n"
                     "Alfa/Beta/Sem \"fim\"/Longo\n"
                     "0 13 0 6 \n"
                     "0.5 2.5 0 3 | 0.25 2.25 0 4 \n"
                     "TRUE \n");
}

} // namespace
} // namespace dorvan

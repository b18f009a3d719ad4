#include "maps/Importadores.h"

#include "platform/Erros.h"
#include "platform/Mensagens.h"
#include "platform/Texto.h"
#include "support/ApoioTeste.h"
#include "ApoioImportadores.h"

#include <gtest/gtest.h>

#include <bit>
#include <filesystem>
#include <string>

namespace dorvan {
namespace {

using teste::PastaTemporaria;

std::string F32(float f) {
    const auto u = std::bit_cast<std::uint32_t>(f);
    return {static_cast<char>(u & 0xFF), static_cast<char>((u >> 8) & 0xFF), static_cast<char>((u >> 16) & 0xFF),
            static_cast<char>(u >> 24)};
}

// A chooser that keeps what it was offered and answers with fixed selections.
struct EscolhaGravada {
    std::vector<std::string> candidatos;
    EscolhaCampos padrao{-9, -9};
    std::optional<EscolhaCampos> resposta;
    EscolheNomeFn Fn() {
        return [this](const std::vector<std::string>& c, EscolhaCampos p) {
            candidatos = c;
            padrao = p;
            return resposta ? *resposta : p;
        };
    }
};

std::vector<PontoMapa> P(std::initializer_list<PontoMapa> l) { return l; }

TEST(AparaBrancos, RemovesLeadingAndTrailingBlanksOnly) {
    EXPECT_EQ(TiraBrancos("  a b  ", EEspaco), "a b");
    EXPECT_EQ(TiraBrancos("   ", EEspaco), "");
    EXPECT_EQ(TiraBrancos("\tx ", EEspaco), "\tx");
}

TEST(ImportaMapa, OutputNameAndDispatchByUpperCasedExtension) {
    EXPECT_EQ(NomeMapaSaida("/a/b/estados.bna"), "/a/b/estados.MAP");
    EXPECT_TRUE(MapaEstrangeiro("x.e00"));
    EXPECT_TRUE(MapaEstrangeiro("x.Shp"));
    EXPECT_FALSE(MapaEstrangeiro("x.map"));
    EXPECT_EQ(ImportaMapaEstrangeiro("/a/b/x.MAP"), "/a/b/x.MAP");
}

TEST(ImportaBND, TextFormKeepsCornerBoundsAndWritesPointsAndPolygons) {
    PastaTemporaria pasta;
    const std::string nome =
        pasta.Grava("m.bnd", "\"_CORNERS\",2\r\n-10,-20\r\n30,40\r\n"
                             "\"Vila\",1\r\n1.5,2.5\r\n"
                             "\"Um nome muito comprido de mais\",4\r\n0,0\r\n4,0\r\n4,4\r\n0,0\r\n");
    ASSERT_EQ(ImportaBND(nome), pasta / "m.MAP");
    const Mapa m = LeMapa(pasta / "m.MAP");
    EXPECT_EQ(m.Cabecalho.MinX, -10);
    EXPECT_EQ(m.Cabecalho.MinY, -20);
    EXPECT_EQ(m.Cabecalho.MaxX, 30);
    EXPECT_EQ(m.Cabecalho.MaxY, 40);
    ASSERT_EQ(m.Registros.size(), 2u);
    EXPECT_EQ(m.Registros[0].Tipo, TipoPonto);
    EXPECT_EQ(m.Registros[0].Codigo, "Vila");
    EXPECT_EQ(m.Registros[0].RotuloX, 1.5f);
    EXPECT_EQ(m.Registros[1].Tipo, TipoPoligono);
    EXPECT_EQ(m.Registros[1].Codigo, "Um nome mu");
    EXPECT_EQ(m.Registros[1].Nome, "Um nome muito comprido de");
    EXPECT_EQ(m.Registros[1].Pontos.size(), 4u);
}

TEST(ImportaBND, OtherFirstLineIsRefusedWithoutOutput) {
    PastaTemporaria pasta;
    MensagensRoteiro msg;
    UsaMensagens usa(msg);
    EXPECT_EQ(ImportaBND(pasta.Grava("m.bnd", "\"_CORNERS\",3\n")), "");
    EXPECT_EQ(msg.Textos(),
              std::vector<std::string>{"Falta \"_CORNERS\": Use o EpiMap para ler e salvar este arquivo."});
    EXPECT_FALSE(std::filesystem::exists(pasta / "m.MAP"));
}

TEST(ImportaBND, BadCountOrMissingVerticesNameFileAndLine) {
    PastaTemporaria pasta;
    for (const std::string& corpo : {std::string("\"_CORNERS\",2\n0,0\n1,1\n\"A\",x\n"),
                                     std::string("\"_CORNERS\",2\n0,0\n1,1\n\"A\",3\n0,0\n")}) {
        const std::string nome = pasta.Grava("m.bnd", corpo);
        try {
            ImportaBND(nome);
            ADD_FAILURE() << "accepted " << corpo;
        } catch (const ErroES& e) {
            EXPECT_EQ(e.Arquivo(), nome);
            EXPECT_NE(e.Motivo().find("linha "), std::string::npos) << e.Motivo();
        }
    }
}

std::string RegistroBND(const std::string& nome, std::vector<PontoMapa> v) {
    std::string s(40, '\0');
    s[0] = static_cast<char>(v.size() & 0xFF);
    s[1] = static_cast<char>(v.size() >> 8);
    std::string n = nome;
    n.resize(20, ' ');
    s.replace(4, 20, n);
    for (const PontoMapa& p : v)
        s += F32(p.X) + F32(p.Y);
    return s;
}

TEST(ImportaBND, BinaryFormCornersWidenBoundsButAreNotWritten) {
    PastaTemporaria pasta;
    std::string b = " Epi Map Boundary\r\n";
    b.resize(22, '\0');
    b += RegistroBND("Lago", {{1, 1}, {2, 1}, {2, 2}, {1, 1}});
    b += RegistroBND("_CORNERS", {{-50, -60}, {70, 80}});
    b += RegistroBND("Poco", {{3, 4}});
    const std::string nome = pasta.Grava("b.bnd", b);
    ASSERT_EQ(ImportaBND(nome), pasta / "b.MAP");
    const Mapa m = LeMapa(pasta / "b.MAP");
    EXPECT_EQ(m.Cabecalho.MinX, -50);
    EXPECT_EQ(m.Cabecalho.MinY, -60);
    EXPECT_EQ(m.Cabecalho.MaxX, 70);
    EXPECT_EQ(m.Cabecalho.MaxY, 80);
    ASSERT_EQ(m.Registros.size(), 2u);
    EXPECT_EQ(m.Registros[0].Nome, "Lago");
    EXPECT_EQ(m.Registros[0].Tipo, TipoPoligono);
    EXPECT_EQ(m.Registros[1].Tipo, TipoPonto);
    EXPECT_EQ(m.Registros[1].Pontos, P({{3, 4}}));

    // A record cut short names its byte offset.
    pasta.Grava("b.bnd", b.substr(0, b.size() - 3));
    try {
        ImportaBND(nome);
        ADD_FAILURE();
    } catch (const ErroES& e) {
        EXPECT_NE(e.Motivo().find("byte " + std::to_string(b.size() - 48)), std::string::npos) << e.Motivo();
    }
}

TEST(ImportaWPT, HemispheresAndDegreeWidths) {
    PastaTemporaria pasta;
    const std::string nome = pasta.Grava("w.wpt", "H  SOFTWARE\n\n"
                                                  "W  ABC123 S2330.5000 O04630.2500 extra\n"
                                                  "W  NORTE1 N0130.0000 E01015.0000\n"
                                                  "X  ignorada\n");
    ASSERT_EQ(ImportaWPT(nome), pasta / "w.MAP");
    const Mapa m = LeMapa(pasta / "w.MAP");
    ASSERT_EQ(m.Registros.size(), 2u);
    const RegistroMapa& a = m.Registros[0];
    EXPECT_EQ(a.Codigo, "ABC123");
    EXPECT_EQ(a.Nome, "ABC123");
    EXPECT_EQ(a.Tipo, TipoPonto);
    EXPECT_NEAR(a.Pontos[0].X, -46.504166, 1e-5);
    EXPECT_NEAR(a.Pontos[0].Y, -23.508333, 1e-5);
    EXPECT_EQ(a.RotuloX, a.Pontos[0].X);
    EXPECT_NEAR(m.Registros[1].Pontos[0].X, 10.25, 1e-5);
    EXPECT_NEAR(m.Registros[1].Pontos[0].Y, 1.5, 1e-5);
    EXPECT_NEAR(m.Cabecalho.MinX, -46.504166, 1e-5);
    EXPECT_NEAR(m.Cabecalho.MaxY, 1.5, 1e-5);
}

TEST(ImportaXY, KindsFromClosureAndCount) {
    PastaTemporaria pasta;
    const std::string nome = pasta.Grava("x.xy", "! comentario\n!outro\nunidades\n"
                                                 "Area,0,0\n4,0\n4,4\n0,0\n"
                                                 "1,1\n2,1\n1,1\n" // another ring under the same name
                                                 "Linha,0,0\n4,0\n4,4\n"
                                                 "Ponto,7,8\n"
                                                 "linha ignorada\n");
    ImportaXY(nome);
    const Mapa m = LeMapa(pasta / "x.MAP");
    ASSERT_EQ(m.Registros.size(), 4u);
    EXPECT_EQ(m.Registros[0].Tipo, TipoPoligono);
    EXPECT_EQ(m.Registros[0].Pontos.size(), 4u);
    EXPECT_EQ(m.Registros[1].Tipo, TipoPoligono);
    EXPECT_EQ(m.Registros[1].Nome, "Area");
    EXPECT_EQ(m.Registros[1].Pontos, P({{1, 1}, {2, 1}, {1, 1}}));
    EXPECT_EQ(m.Registros[2].Tipo, TipoLinha);
    EXPECT_EQ(m.Registros[2].RotuloX, 0); // vertex 3 div 2 = 1
    EXPECT_EQ(m.Registros[3].Tipo, TipoPonto);
    EXPECT_EQ(m.Registros[3].RotuloY, 8);
    EXPECT_EQ(m.Cabecalho.MaxX, 7);
}

TEST(ImportaMME, HeaderBoundsRunningCodesAndLoopSeparators) {
    PastaTemporaria pasta;
    const std::string nome =
        pasta.Grava("e.mme", "[header]\nmax x=10\nmin x=-10\nmax y=20\nmin y=-20\n"
                             "[object 1]\ntype=polygon\nid=SAO\nname=SAO PAULO\n"
                             "[object 1-loop 1]\n1=0,0\n2=4,0\n3=4,4\n"
                             "[object 1-loop 2]\n4=0,0\n"
                             "[object 1-loop 3]\n5=1,1\n"
                             "[object 2]\ntype=line\nid=RIO\nname=RIO\n1=0,0\n2=1,1\n3=2,2\n4=3,3\n"
                             "[object 3]\ntype=point\nid=X9\nname=Outra\n1=5,5\n"
                             "[object 4]\ntype=text\nid=T\nname=Nada\n1=5,5\n"
                             "[object 5]\nname=Sem tipo\n1=6,6\n");
    ImportaMME(nome);
    const Mapa m = LeMapa(pasta / "e.MAP");
    EXPECT_EQ(m.Cabecalho.MaxX, 10);
    EXPECT_EQ(m.Cabecalho.MinY, -20);
    ASSERT_EQ(m.Registros.size(), 3u);
    EXPECT_EQ(m.Registros[0].Codigo, "1001");
    EXPECT_EQ(m.Registros[0].Nome, "SAO PAULO");
    EXPECT_EQ(m.Registros[0].Pontos, P({{0, 0}, {4, 0}, {4, 4}, {0, 0}, {0, 0}, {1, 1}}));
    EXPECT_EQ(m.Registros[1].Codigo, "1002");
    EXPECT_EQ(m.Registros[1].Tipo, TipoLinha);
    EXPECT_EQ(m.Registros[1].RotuloX, 1); // vertex 2 of 4
    EXPECT_EQ(m.Registros[2].Codigo, "X9");
    EXPECT_EQ(m.Registros[2].Tipo, TipoPonto);
    EXPECT_EQ(m.Registros[2].RotuloX, 5);
}

TEST(ImportaBNA, CountsGiveKindsAndOversizedRecordsAreDropped) {
    PastaTemporaria pasta;
    std::string corpo = "\"C1\",\"Linha\",-5\n0,0\n1,0\n2,0\n3,0\n4,0\n"
                        "\"C2\",\"Ponto\",1\n9,9\n";
    corpo += "\"C3\",\"Enorme\",40000\n";
    for (int i = 0; i < 40000; ++i)
        corpo += "1,1\n";
    corpo += "\"C4\",\"Enorme ao contrario\",-40000\n";
    for (int i = 0; i < 40000; ++i)
        corpo += "1,1\n";
    corpo += "\"C5\",\"Area\",3\n0,0\n5,0\n5,5\n";
    const std::string nome = pasta.Grava("a.bna", corpo);
    MensagensRoteiro msg;
    UsaMensagens usa(msg);
    EscolhaGravada esc;
    ImportaBNA(nome, esc.Fn());
    EXPECT_EQ(esc.candidatos, (std::vector<std::string>{"\"C1\"", "\"Linha\""}));
    EXPECT_EQ(esc.padrao, (EscolhaCampos{0, 1}));
    EXPECT_EQ(msg.Textos(),
              (std::vector<std::string>{"Pol\xEDgono Enorme excede 32766 pontos: Suprimido",
                                        "Pol\xEDgono Enorme ao contrario excede 32766 pontos: Suprimido"}));
    const Mapa m = LeMapa(pasta / "a.MAP");
    ASSERT_EQ(m.Registros.size(), 3u);
    EXPECT_EQ(m.Registros[0].Tipo, TipoLinha);
    EXPECT_EQ(m.Registros[0].Codigo, "C1");
    EXPECT_EQ(m.Registros[0].Nome, "Linha");
    EXPECT_EQ(m.Registros[0].Pontos.size(), 5u);
    EXPECT_EQ(m.Registros[0].RotuloX, 1); // vertex 2
    EXPECT_EQ(m.Registros[1].Tipo, TipoPonto);
    EXPECT_EQ(m.Registros[2].Tipo, TipoPoligono);
    EXPECT_EQ(m.Cabecalho.MaxX, 9);
}

TEST(ImportaBNA, ChosenFieldsAndLongNameInMessage) {
    PastaTemporaria pasta;
    const std::string nome = pasta.Grava("a.bna", "\"C1\",\"Um nome bem comprido que passa\",\"x\",40000\n");
    MensagensRoteiro msg;
    UsaMensagens usa(msg);
    EscolhaGravada esc;
    esc.resposta = EscolhaCampos{2, 0};
    try {
        ImportaBNA(nome, esc.Fn());
        ADD_FAILURE();
    } catch (const ErroES& e) {
        EXPECT_NE(e.Motivo().find("linha 2"), std::string::npos) << e.Motivo();
    }
    // The text before the name is cut to 34 characters.
    EXPECT_EQ(msg.Textos(), std::vector<std::string>{"Pol\xEDgono C1 excede 32766 pontos: Suprimido"});

    pasta.Grava("b.bna", "\"C1\",\"Nome\",\"x\",1\n1,2\n");
    ImportaBNA(pasta / "b.bna", esc.Fn());
    const Mapa m = LeMapa(pasta / "b.MAP");
    ASSERT_EQ(m.Registros.size(), 1u);
    EXPECT_EQ(m.Registros[0].Codigo, "x");
    EXPECT_EQ(m.Registros[0].Nome, "C1");

    pasta.Grava("c.bna", "\"Um nome bem comprido que passa de 34\",40000\n");
    msg.Limpa();
    try {
        ImportaBNA(pasta / "c.bna");
    } catch (const ErroES&) {
    }
    EXPECT_EQ(msg.Textos(),
              std::vector<std::string>{"Pol\xEDgono Um nome bem comprido que  excede 32766 pontos: Suprimido"});
}

TEST(ImportaMIF, ObjectsWithAttributesFromTheMidFile) {
    PastaTemporaria pasta;
    pasta.Grava("m.mif", "Version 300\nCharset \"WindowsLatin1\"\nDelimiter \";\"\nColumns 3\n"
                         "  Nome Char(20)\n  Geocodigo Char(7)\n  Pop Integer\nData\n\n"
                         "Region 2\n  4\n0 0\n4 0\n4 4\n0 0\n  3\n1 1\n2 1\n1 1\n"
                         "    Pen (1,2,0)\n    Center 2 2.5\n"
                         "Point 7 8\n"
                         "Line 0 0 2 4\n"
                         "Pline 5\n0 0\n1 0\n2 0\n3 0\n4 0\n"
                         "Text\n    \"Rio Grande do Norte\"\n  3 3 4 4\n"
                         "Pline Multiple 2\n");
    pasta.Grava("M.MID", "\"Sao Paulo\";\"3550308\";1\n\"Ponto\";\"2\";2\n\"Linha\";\"3\";3\n"
                         "\"Polilinha\";\"4\";4\n\"Texto\";\"5\";5\n\"Multipla\";\"6\";6\n\"Sobra\";\"7\";7\n");
    EscolhaGravada esc;
    ImportaMIF(pasta / "m.mif", esc.Fn());
    EXPECT_EQ(esc.candidatos, (std::vector<std::string>{"Nome", "Geocodigo", "Pop"}));
    EXPECT_EQ(esc.padrao, (EscolhaCampos{1, 0}));
    const Mapa m = LeMapa(pasta / "m.MAP");
    ASSERT_EQ(m.Registros.size(), 5u);
    const RegistroMapa& reg = m.Registros[0];
    EXPECT_EQ(reg.Codigo, "3550308");
    EXPECT_EQ(reg.Nome, "Sao Paulo");
    EXPECT_EQ(reg.Tipo, TipoPoligono);
    EXPECT_EQ(reg.Pontos, P({{0, 0}, {4, 0}, {4, 4}, {0, 0}, {1, 1}, {2, 1}, {1, 1}, {0, 0}}));
    EXPECT_EQ(reg.RotuloX, 2);
    EXPECT_EQ(reg.RotuloY, 2.5f);
    EXPECT_EQ(m.Registros[1].Tipo, TipoPonto);
    EXPECT_EQ(m.Registros[1].Pontos, P({{7, 8}}));
    EXPECT_EQ(m.Registros[2].Tipo, TipoLinha);
    EXPECT_EQ(m.Registros[2].RotuloX, 1);
    EXPECT_EQ(m.Registros[2].RotuloY, 2);
    EXPECT_EQ(m.Registros[3].Tipo, TipoLinha);
    EXPECT_EQ(m.Registros[3].RotuloX, 1); // vertex 5 div 2 = 2
    EXPECT_EQ(m.Registros[4].Nome, "Rio Grande do Norte");
    EXPECT_EQ(m.Registros[4].Codigo, "Rio Grande");
    EXPECT_EQ(m.Registros[4].Pontos, P({{3, 3}}));
}

// An object line of many thousand words (and a long Center clause) is read whole.
TEST(ImportaMIF, LongObjectLinesAreReadWhole) {
    PastaTemporaria pasta;
    std::string mais;
    for (int i = 0; i < 20000; ++i) mais += " 9";
    pasta.Grava("m.mif", "Columns 1\n  Nome Char(5)\nData\nPoint 7 8" + mais + "\nRegion 1" + mais +
                             "\n 3\n0 0\n4 0\n0 0\n Center 1 2" + mais + "\n");
    pasta.Grava("m.mid", "A\nB\n");
    ImportaMIF(pasta / "m.mif");
    const Mapa m = LeMapa(pasta / "m.MAP");
    ASSERT_EQ(m.Registros.size(), 2u);
    EXPECT_EQ(m.Registros[0].Pontos, P({{7, 8}}));
    EXPECT_EQ(m.Registros[1].Pontos.size(), 3u);
    EXPECT_EQ(m.Registros[1].RotuloX, 1);
    EXPECT_EQ(m.Registros[1].RotuloY, 2);
}

TEST(ImportaMIF, RegionWithoutCenterIsLabelledInsideAndMissingMidIsAnError) {
    PastaTemporaria pasta;
    pasta.Grava("m.mif", "Columns 1\n  Nome Char(5)\nDATA\nRegion 1\n 4\n0 0\n4 0\n4 4\n0 0\nPoint 1 1\n");
    EXPECT_THROW(ImportaMIF(pasta / "m.mif"), ErroES);
    pasta.Grava("m.mid", "A\nB\n");
    ImportaMIF(pasta / "m.mif");
    const Mapa m = LeMapa(pasta / "m.MAP");
    ASSERT_EQ(m.Registros.size(), 2u); // the point after the region is not swallowed
    EXPECT_EQ(m.Registros[0].Codigo, "A");
    EXPECT_GT(m.Registros[0].RotuloX, 0);
    EXPECT_LT(m.Registros[0].RotuloX, 4);
    EXPECT_EQ(m.Registros[1].Nome, "B");
}

TEST(ImportaTextos, DamagedFilesEndWithAnErrorOrAMap) {
    PastaTemporaria pasta;
    using teste::ImportaDanificados;
    ImportaDanificados(pasta, "a.bnd", "\"_CORNERS\",2\n0,0\n9,9\n\"A\",1\n1,2\n\"B\",3\n0,0\n4,0\n4,4\n",
                       [](const std::string& a) { return ImportaBND(a); });
    std::string b = " Epi Map Boundary\r\n";
    b.resize(22, '\0');
    b += RegistroBND("Lago", {{1, 1}, {2, 1}, {2, 2}, {1, 1}}) + RegistroBND("_CORNERS", {{-5, -6}, {7, 8}});
    ImportaDanificados(pasta, "b.bnd", b, [](const std::string& a) { return ImportaBND(a); });
    ImportaDanificados(pasta, "w.wpt", "W  ABC123 S2330.5000 O04630.2500 x\nW  B N1.5 E2\nW\n",
                       [](const std::string& a) { return ImportaWPT(a); });
    ImportaDanificados(pasta, "x.xy", "!c\nu\nA,0,0\n1,0\n1,1\n0,0\nB,5,5\n6,6\n",
                       [](const std::string& a) { return ImportaXY(a); });
    ImportaDanificados(pasta, "e.mme",
                       "max x=9\n[object 1]\ntype=polygon\nid=1\nname=A\n1=0,0\n2=1,1\n"
                       "[object 1-loop 3]\n3=2,2\n[object 2]\ntype=point\n1=3,3\n",
                       [](const std::string& a) { return ImportaMME(a); });
    ImportaDanificados(pasta, "a.bna", "\"A\",\"B\",-3\n0,0\n1,1\n2,2\n\"C\",\"D\",1\n5,5\n",
                       [](const std::string& a) { return ImportaBNA(a); });
    pasta.Grava("m.mid", "\"A\",1\n\"B\",2\n\"C\",3\n\"D\",4\n");
    ImportaDanificados(pasta, "m.mif",
                       "Delimiter \",\"\nColumns 2\n  Nome Char(5)\n  Cod Integer\nData\n"
                       "Region 2\n 3\n0 0\n4 0\n4 4\n 2\n1 1\n2 2\n Center 1 1\n"
                       "Pline 2\n0 0\n1 1\nText\n \"T\"\n1 1\nLine 0 0 1 1\n",
                       [](const std::string& a) { return ImportaMIF(a); });
}

} // namespace
} // namespace dorvan

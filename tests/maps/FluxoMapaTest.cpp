#include "maps/FluxoMapa.h"

#include "data/LeDBF32.h"
#include "platform/Erros.h"
#include "platform/Mensagens.h"
#include "support/ApoioTeste.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace dorvan {
namespace {

using teste::PastaTemporaria;

RegistroMapa Area(const std::string& codigo, const std::string& nome, float x, float y) {
    RegistroMapa r;
    r.Codigo = codigo;
    r.Nome = nome;
    r.RotuloX = x;
    r.RotuloY = y;
    r.Pontos = {{x - 1, y - 1}, {x + 1, y - 1}, {x + 1, y + 1}, {x - 1, y - 1}};
    return r;
}

// Reference distances on this ellipsoid (a = 6378160 m, f = 0.00335284784326514)
// computed independently with GeographicLib's GeodSolve -i -e 6378160 0.00335284784326514.
TEST(TBearing, InverseMatchesIndependentGeodesics) {
    const struct {
        double lat1, lon1, lat2, lon2, metros;
    } casos[] = {
        {-23.55, -46.633, -22.9068, -43.1729, 361221.793243},
        {-30, -51, 5, -60, 3990342.090116},
        {10, 20, 10, 20.5, 54819.874534},
    };
    for (const auto& c : casos) {
        TBearing b;
        ASSERT_TRUE(b.Inverse({c.lat1, c.lon1}, {c.lat2, c.lon2}));
        EXPECT_NEAR(static_cast<double>(b.Distancia), c.metros, 0.01) << c.lat1 << " " << c.lon1;
        EXPECT_LT(b.Iteracoes, TBearing::MaxIteracoes);
    }
    TBearing b;
    ASSERT_TRUE(b.Inverse({-15.5, -47.9}, {-15.5, -47.9}));
    EXPECT_NEAR(static_cast<double>(b.Distancia), 0.0, 1e-3);
}

TEST(DistanciaGeodesica, CentralAngleInDegrees) {
    EXPECT_NEAR(DistanciaGeodesica(0, 0, 1, 0), 1.0, 1e-8);
    EXPECT_NEAR(DistanciaGeodesica(10, 0, 10, 90), 90.0, 1e-7);
    EXPECT_NEAR(DistanciaGeodesica(0, 0, 180, 0), 180.0, 1e-6);
    EXPECT_NEAR(DistanciaGeodesica(-46.6, -23.5, -46.6, -23.5), 0.0, 1e-12);
}

// Three origins A, B, C with destinations titled A, B, C and a total column.
TabelaResultados Matriz() {
    TabelaResultados t;
    t.AlocaLinhas(3, 3);
    for (const char* titulo : {"A", "B", "C", "Total"})
        AcrescentaColuna(t, titulo, 0);
    t.Coluna(0).Largura = 5;
    const double m[3][4] = {{5, 7, 7, 19}, {2, 9, 0, 11}, {0, 4, 3, 7}};
    for (int r = 0; r < 3; ++r) {
        t.Rotulo(r + 1) = std::string(1, static_cast<char>('A' + r));
        for (int c = 0; c < 4; ++c)
            t.Dado(c + 1, r + 1) = m[r][c];
    }
    for (int c = 1; c <= 4; ++c)
        CalculaTotal(t, c);
    t.TamCodigo = 1;
    return t;
}

struct LinhaFluxo {
    std::string de, para, fluxo, x1, y1, x2, y2, dist, tipo, tot1, tot2;
    bool operator==(const LinhaFluxo&) const = default;
};
std::vector<LinhaFluxo> LeFluxo(const std::string& arquivo) {
    dbfRecord h;
    OpenDBF(h, arquivo, true);
    EXPECT_EQ(h.Idioma, 0);
    std::vector<LinhaFluxo> v;
    for (std::int64_t n = 1; n <= h.NumRegs; ++n) {
        readDBF(h, n);
        std::string f[11];
        for (int i = 0; i < 11; ++i)
            f[i] = GetFieldDBF(h, i + 1);
        v.push_back({f[0], f[1], f[2], f[3], f[4], f[5], f[6], f[7], f[8], f[9], f[10]});
    }
    CloseDBF(h);
    return v;
}

TEST(GravaTabelaFluxo, DiagonalInternalLargestDominantTiesBothAndTotalNeverADestination) {
    PastaTemporaria pasta;
    // A plane map (bounds beyond 180): A and B known, C absent.
    GravaMapa(pasta / "m.map", {Area("A", "Um", 0, 0), Area("B", "Dois", 300, 400)});
    const TabelaResultados t = Matriz();
    EXPECT_EQ(GravaTabelaFluxo(t, pasta / "m.map", pasta / "f.dbf"), 7);
    dbfRecord h;
    OpenDBF(h, pasta / "f.dbf", true);
    const std::vector<CampoDBF> campos = CamposFluxo(t);
    ASSERT_EQ(h.NumCampos, 11);
    for (int i = 0; i < 11; ++i) {
        EXPECT_EQ(h.Campos[static_cast<std::size_t>(i)].Nome, campos[static_cast<std::size_t>(i)].Nome);
        EXPECT_EQ(h.Campos[static_cast<std::size_t>(i)].Tamanho, campos[static_cast<std::size_t>(i)].Tamanho);
    }
    EXPECT_EQ(h.Campos[0].Tamanho, 5);
    CloseDBF(h);
    const std::string z = "           0", a0 = "    0.000000", b300 = "  300.000000", b400 = "  400.000000";
    const std::vector<LinhaFluxo> esperado{
        {"A    ", "A    ", "         5", a0, a0, a0, a0, "         0", "0", "        19", "         7"},
        {"A    ", "B    ", "         7", a0, a0, b300, b400, "       500", "1", "        19", "        20"},
        {"A    ", "C    ", "         7", a0, a0, z, z, "         0", "1", "        19", "        10"},
        {"B    ", "A    ", "         2", b300, b400, a0, a0, "       500", "1", "        11", "         7"},
        {"B    ", "B    ", "         9", b300, b400, b300, b400, "         0", "0", "        11", "        20"},
        {"C    ", "B    ", "         4", z, z, b300, b400, "         0", "1", "         7", "        20"},
        {"C    ", "C    ", "         3", z, z, z, z, "         0", "0", "         7", "        10"},
    };
    EXPECT_EQ(LeFluxo(pasta / "f.dbf"), esperado);
}

TEST(GravaTabelaFluxo, GeographicDistanceIsDegreesTimes111111Truncated) {
    PastaTemporaria pasta;
    GravaMapa(pasta / "g.map", {Area("A", "Um", -50, -10), Area("B", "Dois", -50, -11)});
    TabelaResultados t;
    t.AlocaLinhas(1, 1);
    AcrescentaColuna(t, "B", 0);
    AcrescentaColuna(t, "Total", 0);
    t.Rotulo(1) = "A";
    t.Dado(1, 1) = 2.5;
    t.Dado(2, 1) = 2.5;
    const std::vector<LinhaFluxo> v = (GravaTabelaFluxo(t, pasta / "g.map", pasta / "f.dbf"), LeFluxo(pasta / "f.dbf"));
    ASSERT_EQ(v.size(), 1u);
    const double graus = DistanciaGeodesica(-50, -11, -50, -10);
    EXPECT_EQ(v[0].dist, std::string(10 - std::to_string(static_cast<long>(graus * 111111)).size(), ' ') +
                             std::to_string(static_cast<long>(graus * 111111)));
    EXPECT_EQ(v[0].fluxo, "       2.5");
    EXPECT_EQ(v[0].x1, "  -50.000000");
}

void GravaFluxoManual(const std::string& nome, const std::vector<std::array<const char*, 4>>& regs) {
    dbfRecord h;
    CreateDBF(h, nome,
              {{"TIPO", 'N', 1, 0, 0}, {"FLUXO", 'N', 10, 0, 0}, {"DISTANCIA", 'N', 10, 0, 0}, {"TOT1", 'N', 10, 0, 0}},
              0);
    std::vector<char> b(h.TamRegistro);
    for (const auto& r : regs) {
        std::fill(b.begin(), b.end(), ' ');
        for (int i = 0; i < 4; ++i)
            PutFieldDBF(h, i + 1, r[static_cast<std::size_t>(i)], b.data());
        AppendDBF(h, b.data());
    }
    CloseDBF(h);
}

TEST(ContaSetas, FilterByDominanceFlowDistanceAndShareOfOrigin) {
    PastaTemporaria pasta;
    const std::string f = pasta / "f.dbf";
    GravaFluxoManual(f, {{"0", "50", "0", "100"},
                         {"1", "30", "900", "100"},
                         {"2", "20", "500", "100"},
                         {"1", "5", "10", "100"},
                         {"1", "8", "2000", "0"}});
    struct Caso {
        bool dominante;
        std::int32_t fluxo, distancia;
        float percentual;
        std::int64_t n, total, maior;
    };
    const Caso casos[] = {
        {true, 1, 1, 0, 3, 43, 30},   // TIPO 0 and 2 left out
        {false, 1, 1, 0, 4, 63, 30},  // distance 0 below the minimum 1
        {false, 1, 0, 0, 5, 113, 50}, // everything
        {true, 6, 1, 0, 2, 38, 30},   // flow below 6
        {true, 1, 600, 0, 2, 38, 30}, // distance below 600
        {true, 1, 1, 10, 1, 30, 30},  // 5 % and a zero total fail 10 %
    };
    for (const Caso& c : casos) {
        ConfiguracaoSetas cfg;
        cfg.Dominante = c.dominante;
        cfg.FluxoMinimo = c.fluxo;
        cfg.DistanciaMinima = c.distancia;
        cfg.PercentualMinimo = c.percentual;
        const PreviaSetas p = ContaSetas(f, cfg);
        EXPECT_TRUE(p.CamposOk);
        EXPECT_EQ(p.NumSetas, c.n);
        EXPECT_EQ(p.FluxoTotal, c.total);
        EXPECT_EQ(p.MaiorFluxo, c.maior);
    }
}

TEST(ContaSetas, MissingFieldsAndBadNumbers) {
    PastaTemporaria pasta;
    {
        dbfRecord h;
        CreateDBF(h, pasta / "x.dbf", {{"TIPO", 'N', 1, 0, 0}, {"FLUXO", 'N', 10, 0, 0}}, 0);
        CloseDBF(h);
    }
    MensagensRoteiro roteiro;
    UsaMensagens usa(roteiro);
    EXPECT_FALSE(ContaSetas(pasta / "x.dbf", {}).CamposOk);
    EXPECT_EQ(roteiro.Textos(),
              std::vector<std::string>{pasta / "x.dbf" + " n\xE3o cont\xE9m os campos Tipo, Fluxo, Distancia ou Tot1"});
    GravaFluxoManual(pasta / "y.dbf", {{"1", "1.5", "3", "4"}});
    EXPECT_THROW(ContaSetas(pasta / "y.dbf", {}), ErroES);
}

TEST(ColunaDistancias, GeographicAndPlaneDistancesToEachRowsLabelPoint) {
    for (const bool geografico : {true, false}) {
        PastaTemporaria pasta;
        const float escala = geografico ? 1.0f : 1000.0f;
        GravaMapa(pasta / "m.map",
                  {Area("01", "Um", -47 * escala, -15 * escala),
                   Area("02", "S\xE3o Jos\xE9", -46 * escala, -16 * escala), Area("09", "Fora", 0, 0)});
        TabelaResultados t;
        t.AlocaLinhas(3, 3);
        AcrescentaColuna(t, "V", 0);
        t.Rotulo(1) = "01 Um";
        t.Rotulo(2) = "SAO JOSE";
        t.Rotulo(3) = "77 Nenhum";
        t.IndiceLinhas = {};
        CriaIndice(t.IndiceLinhas, 10);
        InsereIndice(t.IndiceLinhas, "01", 1);
        InsereIndice(t.IndiceLinhas, "SAO JOSE", 2);
        InsereIndice(t.IndiceLinhas, "77", 3);
        ASSERT_TRUE(ColunaDistancias(t, pasta / "m.map", -47 * escala, -16 * escala));
        ASSERT_EQ(t.NumColunas(), 2);
        EXPECT_EQ(t.NomeColuna(2), "Distancias");
        EXPECT_EQ(t.Coluna(2).Largura, 10);
        EXPECT_EQ(t.Coluna(2).TipoTotal, TipoTotal::SemTotal);
        EXPECT_EQ(t.Coluna(2).Decimais, 0);
        if (geografico) {
            TBearing b;
            b.Inverse({-16, -47}, {-15, -47});
            EXPECT_NEAR(t.Dado(2, 1), static_cast<double>(b.Distancia), 1e-6);
            EXPECT_NEAR(t.Dado(2, 1), 110700, 300); // about one degree of latitude
        } else {
            EXPECT_DOUBLE_EQ(t.Dado(2, 1), 1000);
            EXPECT_DOUBLE_EQ(t.Dado(2, 2), 1000);
        }
        EXPECT_GT(t.Dado(2, 2), 0);
        EXPECT_EQ(t.Dado(2, 3), 0); // no record for this row
    }
}

TEST(ColunaDeSelecao, FindsAnExistingColumnInAnyCaseElseAddsOne) {
    TabelaResultados t;
    t.AlocaLinhas(2, 2);
    AcrescentaColuna(t, "V", 0);
    EXPECT_EQ(ColunaDeSelecao(t), 2);
    EXPECT_EQ(t.NomeColuna(2), "Selecionada");
    EXPECT_EQ(t.Coluna(2).Largura, 6);
    EXPECT_EQ(ColunaDeSelecao(t), 2);
    t.DefineNomeColuna(2, "sElEcIoNaDa");
    EXPECT_EQ(ColunaDeSelecao(t), 2);
    EXPECT_EQ(t.NumColunas(), 2);
}

TEST(ResumoClasses, FrequencyAndSumsPerClass) {
    TabelaResultados t;
    t.AlocaLinhas(4, 4);
    AcrescentaColuna(t, "Pop", 0);
    AcrescentaColuna(t, "Taxa", 1);
    t.Coluna(2).TipoTotal = TipoTotal::Media;
    const double pop[] = {10, 20, 30, 40}, taxa[] = {1, 2, 3, 4};
    for (int r = 1; r <= 4; ++r) {
        t.Dado(1, r) = pop[r - 1];
        t.Dado(2, r) = taxa[r - 1];
    }
    t.ColunaMapa = 2;
    t.NumClasses = 2;
    t.Classe[0] = -1e20;
    t.Classe[1] = 2;
    t.Classe[2] = 4;
    const std::vector<std::string> l = ResumoClasses(t);
    ASSERT_EQ(l.size(), 5u);
    EXPECT_EQ(l[0], "Classes de Taxa");
    EXPECT_EQ(l[1], "");
    EXPECT_EQ(l[2], "N\xBA  Limite Superior Freq" + std::string(10, ' ') + "Pop");
    EXPECT_EQ(l[3].substr(0, 2), " 1");
    EXPECT_EQ(l[3].size(), 2u + 17 + 5 + 13);
    EXPECT_EQ(l[3].substr(19, 5), "    2");
    EXPECT_EQ(l[4].substr(19, 5), "    2");
    EXPECT_NE(l[3].find("2.0"), std::string::npos);
}

} // namespace
} // namespace dorvan

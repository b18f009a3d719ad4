#include "maps/MapaTabela.h"

#include "maps/DesenhoMapa.h"
#include "platform/Erros.h"
#include "platform/Mensagens.h"
#include "support/ApoioTeste.h"
#include "table/TabelaTeste.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace dorvan {
namespace {

using teste::MontaTabela;
using teste::PastaTemporaria;

TEST(ChaveDoRotulo, CodeLengthTwentyFiveCharactersCapitalsWithoutAccents) {
    struct Caso {
        std::string rotulo;
        std::int32_t tamCodigo;
        std::string chave;
    };
    const Caso casos[] = {
        {"3550308 S\xE3o Paulo", 7, "3550308"},
        {"12", 7, "12"}, // shorter than the code: the whole label
        {"S\xE3o Jos\xE9 do Rio Preto e arredores", SemCodigo, "SAO JOSE DO RIO PRETO E A"},
        {"a\xE7ude", SemCodigo, "ACUDE"},
        {"", 7, ""},
    };
    for (const Caso& k : casos)
        EXPECT_EQ(ChaveDoRotulo(k.rotulo, k.tamCodigo), k.chave) << k.rotulo;
}

TEST(MontaIndiceLinhas, EmptyLabelsGetNoKeyAndARepeatedKeyKeepsTheLaterRow) {
    TabelaResultados t = MontaTabela({"01 Norte", "", "02 Sul", "01 Outro"}, {{"v", {1, 2, 3, 4}, 0}});
    t.TamCodigo = 2;
    MontaIndiceLinhas(t);
    EXPECT_EQ(t.IndiceLinhas.Quantidade(), 2);
    EXPECT_EQ(ValorIndice(t.IndiceLinhas, "01"), 4);
    EXPECT_EQ(ValorIndice(t.IndiceLinhas, "02"), 3);
    // Records match by code, else by name in capitals without accents.
    RegistroMapa r;
    r.Codigo = "02";
    EXPECT_EQ(LinhaDoRegistro(t.IndiceLinhas, r), 3);

    TabelaResultados n = MontaTabela({"Ch\xE3", "Serra"}, {{"v", {1, 2}, 0}});
    MontaIndiceLinhas(n);
    r.Codigo = "77";
    r.Nome = "Ch\xE3";
    EXPECT_EQ(LinhaDoRegistro(n.IndiceLinhas, r), 1);
}

TEST(PreparaMapaColuna, ATableWithoutClassesGetsFiveEqualStepsAndKeepsItsOrder) {
    TabelaResultados t = MontaTabela({"a", "b", "c"}, {{"x", {5, 1, 3}, 0}, {"y", {10, 30, 20}, 0}});
    OrdenaPorColuna(t, 1);
    const std::vector<std::int32_t> ordem{t.Ordem(1), t.Ordem(2), t.Ordem(3)};
    EstadoEscala e;
    e.Modo = ModoClasses::IgualFrequencia;
    ASSERT_TRUE(PreparaMapaColuna(t, 2, e));
    EXPECT_EQ(t.ColunaMapa, 2);
    EXPECT_FLOAT_EQ(t.MaximoMapa, 30);
    EXPECT_FLOAT_EQ(t.MinimoMapa, 10);
    EXPECT_EQ(t.NumClasses, 5);
    EXPECT_EQ(t.IndCor, 3);
    EXPECT_EQ(e.Modo, ModoClasses::IgualValor);
    EXPECT_DOUBLE_EQ(t.Classe[0], -1e20);
    EXPECT_DOUBLE_EQ(t.Classe[1], 14);
    EXPECT_FALSE(t.SemClasses);
    EXPECT_EQ(t.ColunaOrdem, 1);
    EXPECT_EQ((std::vector<std::int32_t>{t.Ordem(1), t.Ordem(2), t.Ordem(3)}), ordem);

    // Classes already made stay as they are for the same column...
    t.NumClasses = 3;
    t.IndCor = 7;
    t.Classe[1] = 12;
    ASSERT_TRUE(PreparaMapaColuna(t, 2, e));
    EXPECT_EQ(t.NumClasses, 3);
    EXPECT_EQ(t.IndCor, 7);
    EXPECT_DOUBLE_EQ(t.Classe[1], 12);
    // ...and another column gets its own, as a first map does: the limits of column
    // 2 (10..30) would leave every value of column 1 (1..5) out of every class.
    e.Modo = ModoClasses::Manual;
    ASSERT_TRUE(PreparaMapaColuna(t, 1, e));
    EXPECT_EQ(t.NumClasses, 5);
    EXPECT_EQ(t.IndCor, 3);
    EXPECT_EQ(e.Modo, ModoClasses::IgualValor);
    EXPECT_FLOAT_EQ(t.MaximoMapa, 5);
    EXPECT_DOUBLE_EQ(t.Classe[1], 1.8);
    EXPECT_DOUBLE_EQ(t.Classe[5], 5.4);
    for (const double v : {1.0, 3.0, 5.0})
        EXPECT_NE(CorDaClasse(t, v), CorBranca) << v;
    EXPECT_FALSE(PreparaMapaColuna(t, 3, e));
    EXPECT_EQ(t.ColunaMapa, 1);

    // A class count no map can use (a damaged table file) is made again, as the
    // histogram does, rather than leaving every area white.
    for (const std::int32_t n : {0, 1, 11}) {
        t.NumClasses = n;
        ASSERT_TRUE(PreparaMapaColuna(t, 2, e));
        EXPECT_EQ(t.NumClasses, 5) << n;
        EXPECT_DOUBLE_EQ(t.Classe[5], 30.4) << n;
    }
}

TEST(LegendaJanelaMapa, OpeningAndResizedCaptions) {
    TabelaResultados t = MontaTabela({"a"}, {{"Casos", {1}, 0}});
    t.Titulo1 = "Dengue";
    t.ColunaMapa = 1;
    EXPECT_EQ(LegendaJanelaMapa(t), "Mapa: Dengue : Casos");
    EXPECT_EQ(LegendaRedimensionada(800, 619, "Mapa: Dengue : Casos"), "Mapa(800X600): Dengue : Casos");
    EXPECT_EQ(LegendaRedimensionada(640, 499, "Mapa(800X600): Dengue : Casos"), "Mapa(640X480): Dengue : Casos");
    EXPECT_EQ(LegendaRedimensionada(640, 499, "Mapa"), "Mapa(640X480)");
}

RegistroMapa Registro(std::uint8_t tipo, const std::string& codigo, const std::string& nome) {
    RegistroMapa r;
    r.Tipo = tipo;
    r.Codigo = codigo;
    r.Nome = nome;
    r.Pontos = {{0, 0}, {1, 1}};
    return r;
}

TEST(TabelaDoMapa, OneRowPerDistinctLabelInByteOrder) {
    PastaTemporaria pasta;
    const std::string mapa = pasta / "Estados.map";
    GravaMapa(mapa, {Registro(0, "35", "S\xE3o Paulo"), Registro(0, "33", "Rio"), Registro(1, "35", "S\xE3o Paulo"),
                     Registro(7, "99", "Nada"), Registro(3, "310", "Belo")});

    RotulosDoMapa com = LeRotulosDoMapa(mapa, true);
    EXPECT_EQ(com.Rotulos, (std::vector<std::string>{"310 Belo", "33 Rio", "35 S\xE3o Paulo"}));
    EXPECT_EQ(com.TamCodigo, 3);
    TabelaResultados t = MontaTabela({"velha"}, {{"a", {1}, 0}, {"b", {2}, 0}});
    PreencheTabelaDoMapa(t, com, mapa);
    EXPECT_EQ(t.NumLinhas, 3);
    EXPECT_EQ(t.CapLinhas(), 3);
    EXPECT_EQ(t.Rotulo(2), "33 Rio");
    EXPECT_EQ(t.NumColunas(), 1);
    EXPECT_EQ(t.NomeColuna(1), "Selecionada");
    EXPECT_EQ(t.Coluna(1).Decimais, 0);
    EXPECT_EQ(t.Dado(1, 3), 0);
    EXPECT_EQ(t.NomeColuna(0), "Estados.map");
    EXPECT_EQ(t.Coluna(0).Largura, 3 + 25);
    EXPECT_EQ(t.TamCodigo, 3);
    EXPECT_TRUE(t.MostraCodigo);
    EXPECT_EQ(t.Ordem(3), 3);
    EXPECT_EQ(t.ColunaOrdem, 0);

    RotulosDoMapa sem = LeRotulosDoMapa(mapa, false);
    EXPECT_EQ(sem.Rotulos, (std::vector<std::string>{"Belo", "Rio", "S\xE3o Paulo"}));
    PreencheTabelaDoMapa(t, sem, mapa);
    EXPECT_EQ(t.TamCodigo, SemCodigo);
    EXPECT_FALSE(t.MostraCodigo);
    EXPECT_EQ(RotuloSemCodigo(t, 3), "S\xE3o Paulo");

    // A damaged map throws before anything is given up.
    const std::string cortado = pasta.Grava("cortado.map", BytesCabecalho({}) + std::string(20, '\0'));
    EXPECT_THROW(LeRotulosDoMapa(cortado, true), ErroES);
}

TEST(TabelaDoMapa, LabelsPastTheLimitAreDroppedWithAMessage) {
    PastaTemporaria pasta;
    const std::string mapa = pasta / "grande.map";
    {
        GravadorMapa g(mapa);
        RegistroMapa r = Registro(0, "", "");
        char codigo[16];
        for (std::int32_t i = 0; i < MaxLinhasMapa + 2; ++i) {
            std::snprintf(codigo, sizeof codigo, "%07d", i);
            r.Codigo = codigo;
            g.Grava(r);
        }
        g.Fecha();
    }
    MensagensRoteiro roteiro;
    UsaMensagens usa(roteiro);
    const RotulosDoMapa r = LeRotulosDoMapa(mapa, true);
    EXPECT_EQ(r.Rotulos.size(), static_cast<std::size_t>(MaxLinhasMapa));
    EXPECT_EQ(r.Rotulos.back(), "0199000 ");
    EXPECT_EQ(roteiro.Textos(), (std::vector<std::string>{"Mais de 199001 linhas: excedente ignorado"}));
}

TEST(TextosDoMapa, LabelsValuesAndTheAreaMessage) {
    TabelaResultados t = MontaTabela({"35 S\xE3o Paulo", "33 Rio"}, {{"Casos", {12, 7}, 0}, {"Taxa", {1.5, 0.25}, 2}});
    t.DefineNomeColuna(0, "UF");
    t.TamCodigo = 2;
    t.Coluna(1).Largura = 4;
    t.Coluna(2).Largura = 6;
    t.ColunaMapa = 2;
    t.MaximoMapa = 1.5;
    t.MostraCodigo = true;
    EXPECT_EQ(RotuloSemCodigo(t, 1), "35 S\xE3o Paulo");
    t.MostraCodigo = false;
    EXPECT_EQ(RotuloSemCodigo(t, 1), "S\xE3o Paulo");
    EXPECT_EQ(RotuloSemCodigo(t, 3), "");
    EXPECT_EQ(ValorFormatado(t, 2), "0.25"); // LarguraValor(0, 1.5) is 2: no padding
    EXPECT_EQ(InformacaoDaLinha(t, 1), "UF\nNome: 35 S\xE3o Paulo\nCasos:   12\nTaxa:   1.50");
    EXPECT_EQ(ColunaRaio(t), 0);
}

TEST(Identifica, PixelValuesTellRowsLayerPointsAndFlows) {
    struct Caso {
        std::uint32_t valor;
        Identificado::Tipo tipo;
        std::int32_t linha, camada, registro;
    };
    const std::int32_t numLinhas = 300;
    const Caso casos[] = {
        {0, Identificado::Tipo::Nada, 0, 0, 0},
        {0xFFFFFF, Identificado::Tipo::Nada, 0, 0, 0},
        {0xFFFFFFFF, Identificado::Tipo::Nada, 0, 0, 0}, // opaque white as a picture holds it
        {1, Identificado::Tipo::Linha, 1, 0, 0},
        {300, Identificado::Tipo::Linha, 300, 0, 0},
        {301, Identificado::Tipo::Nada, 0, 0, 0},
        {200000, Identificado::Tipo::Nada, 0, 0, 0},
        {400017, Identificado::Tipo::PontoCamada, 0, 2, 17},
        {2000000, Identificado::Tipo::PontoCamada, 0, 10, 0},
        {2000001, Identificado::Tipo::Fluxo, 0, 0, 1},
        {2000045, Identificado::Tipo::Fluxo, 0, 0, 45},
    };
    for (const Caso& k : casos) {
        const Identificado i = Identifica(k.valor, numLinhas);
        EXPECT_EQ(i.tipo, k.tipo) << k.valor;
        EXPECT_EQ(i.Linha, k.linha) << k.valor;
        EXPECT_EQ(i.Camada, k.camada) << k.valor;
        EXPECT_EQ(i.Registro, k.registro) << k.valor;
    }
}

TEST(AlternaSelecao, ZeroBecomesOneAndAnythingElseZero) {
    TabelaResultados t = MontaTabela({"a", "b"}, {{"Selecionada", {0, 3}, 0}});
    EXPECT_TRUE(AlternaSelecao(t, 1, 1));
    EXPECT_TRUE(AlternaSelecao(t, 1, 2));
    EXPECT_EQ(t.Dado(1, 1), 1);
    EXPECT_EQ(t.Dado(1, 2), 0);
    EXPECT_TRUE(t.Modificada);
    EXPECT_FALSE(AlternaSelecao(t, 1, 3));
    EXPECT_FALSE(AlternaSelecao(t, 0, 1));
}

TEST(TerraView, DatabaseAndLayerFromTheMapName) {
    struct Caso {
        std::string mapa, banco, camada;
    };
    const Caso casos[] = {
        {"/d/mapas/SPmunic.map", "/d/mapas/SP.mdb", "munic"}, {"/d/mapas/brasil.map", "/d/mapas/br.mdb", "uf"},
        {"/d/mapas/BRASIL.MAP", "/d/mapas/BR.mdb", "uf"},     {"/d/mapas/RJ.map", "/d/mapas/RJ.mdb", "munic"},
        {"/d/mapas/R.map", "/d/mapas/R.mdb", "munic"},        {"MGmeso.map", "MG.mdb", "meso"},
    };
    for (const Caso& k : casos) {
        const NomesTerraView n = NomesParaTerraView(k.mapa);
        EXPECT_EQ(n.Banco, k.banco) << k.mapa;
        EXPECT_EQ(n.Camada, k.camada) << k.mapa;
    }
    EXPECT_EQ(ArgumentosTerraView("/t/tabela.dbf", {"/d/SP.mdb", "munic"}),
              (std::vector<std::string>{"dorvan", "/t/tabela.dbf", "/d/SP.mdb", "munic"}));
    EXPECT_EQ(ProgramaTerraView("/opt/tv"), "/opt/tv/terraview");
    EXPECT_EQ(ProgramaTerraView("/opt/tv/"), "/opt/tv/terraview");
    EXPECT_EQ(ProgramaTerraView(""), "");
}

} // namespace
} // namespace dorvan

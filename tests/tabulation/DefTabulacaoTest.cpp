// The DEF reader, the selection lists, the file list, period texts and map names.
#include "ApoioDimensao.h"
#include "tabulation/Utabula.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace dorvan::teste {
namespace {

class DefTeste : public DimensaoTeste {
protected:
    std::string GravaDef(const std::string& nome, const std::vector<std::string>& linhas) {
        std::string t;
        for (const auto& l : linhas) t += l + "\r\n";
        return pasta.Grava(nome, t);
    }
    DefTabulacao def;
};

TEST_F(DefTeste, EveryDirectiveLandsInItsList) {
    pasta.Grava("ajuda.htm", "x");
    std::string arq = GravaDef("t.def", {";Casos por municipio", ";Segundo titulo ignorado", "",
                                          "LMunicipio,MUNIC,1,MUNIC.CNV", "lIdade, IDADE ,IDADE.CNV",
                                          "DSexo,SEXO,SEXO.CNV", "CAno,ANO,ANO.CNV", "SRaca,RACA,RACA.CNV",
                                          "TCausa,CAUSA,1,CAUSA.CNV", "XUF,UF,UF.CNV", "IValor pago,VALOR",
                                          "EDias,DIAS", "G (obitos)", "G!", "QQuadro,X,X.CNV",
                                          " LComentario,X,X.CNV", "*LComentario", "Hajuda.htm",
                                          "ADO*.DBC", "RFonte: teste - per\xEDodo"});
    ASSERT_TRUE(LeDEF(def, arq));
    EXPECT_EQ(def.Titulo1, "Casos por municipio");
    EXPECT_EQ(def.ListLinha, (std::vector<std::string>{
                                 "Municipio          MUNIC,1,MUNIC.CNV", "Idade              IDADE,IDADE.CNV",
                                 "Sexo               SEXO,SEXO.CNV", "Causa              CAUSA,1,CAUSA.CNV",
                                 "UF                 UF,UF.CNV"}));
    EXPECT_EQ(def.ListColunas, (std::vector<std::string>{"N\xE3o ativa", "Ano                ANO,ANO.CNV",
                                                         "Causa              CAUSA,1,CAUSA.CNV",
                                                         "UF                 UF,UF.CNV"}));
    EXPECT_EQ(def.ListInicial,
              (std::vector<std::string>{"Raca               RACA,RACA.CNV", "UF                 UF,UF.CNV"}));
    EXPECT_EQ(def.ListIncr, (std::vector<std::string>{"Freq\xFC\xEAncia         (obitos)!",
                                                      "Valor pago         VALOR", "Dias               DIAS"}));
    EXPECT_EQ(def.EspecArquivos, "DO*.DBC");
    EXPECT_EQ(def.Rodape, "Fonte: teste - per\xEDodo");
    EXPECT_TRUE(def.TemPeriodo);
    EXPECT_TRUE(def.AjudaVisivel);
    EXPECT_FALSE(def.FlagConsulta);
    EXPECT_EQ(def.PastaDEF, pasta.Caminho().string() + "/");
    EXPECT_EQ(DirTabelas, pasta.Caminho().string());
}

TEST_F(DefTeste, OnlyTheFirstTitleLineCountsEvenWhenEmpty) {
    ASSERT_TRUE(LeDEF(def, GravaDef("a.def", {";", ";Segundo", "LL,L,S.CNV"})));
    EXPECT_EQ(def.Titulo1, "");
    ASSERT_TRUE(LeDEF(def, GravaDef("b.def", {"LL,L,S.CNV", ";Primeiro", ";Segundo"})));
    EXPECT_EQ(def.Titulo1, "Primeiro");
}

// The dialog makes the DEF's folder current; a DEF named relative to the folder the
// program started in must still find its tables and data afterwards.
TEST(LeDEF, ARelativeNameGivesAnAbsoluteFolder) {
    PastaTemporaria pasta;
    pasta.Grava("sub/r.def", "L Municipio,MUNIC,1,MUNIC.CNV\r\n");
    const auto antes = std::filesystem::current_path();
    std::filesystem::current_path(pasta.Caminho());
    DefTabulacao def;
    LeDEF(def, "sub/r.def", false);
    std::filesystem::current_path(antes);
    EXPECT_EQ(def.PastaDEF, pasta.Caminho().string() + "/sub/");
    EXPECT_EQ(DirTabelas, pasta.Caminho().string() + "/sub");
}

TEST_F(DefTeste, FormattedItemsWithAndWithoutStartLoadTheSameTable) {
    GravaCnv("T.CNV", {"2 1", LinhaCNV("", "1", "Um", "1"), LinhaCNV("", "2", "Dois", "2")});
    TDimensao a, b;
    ASSERT_TRUE(LeDimensao(FormataTitulo("LVar,CAMPO,1,T.CNV"), MaximoLinhas, a));
    ASSERT_TRUE(LeDimensao(FormataTitulo("LVar,CAMPO,T.CNV"), MaximoLinhas, b));
    EXPECT_EQ(a.Inicio, b.Inicio);
    EXPECT_EQ(a.NumCategorias, b.NumCategorias);
    EXPECT_EQ(a.ArquivoTabela, b.ArquivoTabela);
    EXPECT_EQ(Categoria("2", a), Categoria("2", b));
}

TEST_F(DefTeste, SameDefKeepsSelectionsAnotherClearsThem) {
    GravaCnv("S.CNV", {"3 1", LinhaCNV("", "1", "A", "1"), LinhaCNV("", "2", "B", "2"), LinhaCNV("", "3", "C", "3")});
    std::string d1 = GravaDef("a.def", {"LLinha,L,S.CNV", "SSel,S,S.CNV", "SOutra,S,S.CNV", "RFonte: teste"});
    std::string d2 = GravaDef("b.def", {"LLinha,L,S.CNV"});
    ASSERT_TRUE(LeDEF(def, d1));
    EXPECT_FALSE(def.TemPeriodo);
    ASSERT_EQ(Seleciona(def, 1), 0);
    EXPECT_EQ(def.ListSelecao, std::vector<std::string>{"Outra              S,S.CNV"});
    EXPECT_EQ(def.ListInicial, std::vector<std::string>{"Sel                S,S.CNV"});
    def.Selecao(0).Marcadas[1] = 1;
    EXPECT_FALSE(LeDEF(def, d1)); // same path: nothing read again
    EXPECT_EQ(def.Selecao(0).Marcadas[1], 1);
    EXPECT_EQ(def.NumSelecoes, 1);
    ASSERT_TRUE(LeDEF(def, d2));
    EXPECT_TRUE(def.ListSelecao.empty());
    EXPECT_EQ(def.NumSelecoes, 0);
    EXPECT_EQ(def.Selecao(0).NumCategorias, 0);
}

TEST_F(DefTeste, SelectionThatFailsToLoadGoesBackAndExcludeShiftsTheOthers) {
    GravaCnv("S.CNV", {"2 1", LinhaCNV("", "1", "A", "1"), LinhaCNV("", "2", "B", "2")});
    std::string d = GravaDef("a.def", {"LL,L,S.CNV", "SFalta,S,NAOHA.CNV", "SPrim,S,S.CNV", "SSeg,T,S.CNV"});
    ASSERT_TRUE(LeDEF(def, d));
    EXPECT_EQ(Seleciona(def, 0), -1);
    EXPECT_EQ(msgs.Textos().back(), "NAOHA.CNV: Tabela de conversao nao encontrada");
    EXPECT_EQ(def.ListInicial.back(), "Falta              S,NAOHA.CNV");
    ASSERT_EQ(Seleciona(def, 0), 0); // Prim
    ASSERT_EQ(Seleciona(def, 0), 1); // Seg
    def.Selecao(1).Marcadas[0] = 1;
    DeSeleciona(def, 0);
    ASSERT_EQ(def.ListSelecao, std::vector<std::string>{"Seg                T,S.CNV"});
    EXPECT_EQ(def.Selecao(0).Campo, "T");
    EXPECT_EQ(def.Selecao(0).Marcadas[0], 1);
    EXPECT_EQ(def.Selecao(1).NumCategorias, 0);
    EXPECT_EQ(def.NumSelecoes, 1);
}

TEST_F(DefTeste, QueryFileNeedsSqlAndAnExistingFile) {
    std::filesystem::create_directories(pasta.Caminho() / "dados");
    pasta.Grava("dados/busca.sql", "select 1");
    std::string d = GravaDef("a.def", {"LL,L,S.CNV", "Adados/DO*.DBC , busca.sql"});
    ASSERT_TRUE(LeDEF(def, d, true));
    EXPECT_EQ(def.EspecArquivos, "dados/DO*.DBC");
    EXPECT_EQ(def.ArquivoConsulta, "dados/busca.sql");
    EXPECT_TRUE(def.FlagConsulta);
    def.UltimoDEF.clear();
    ASSERT_TRUE(LeDEF(def, d, false));
    EXPECT_FALSE(def.FlagConsulta);
}

TEST_F(DefTeste, FileListIsUpperCasedSortedAndOpensByRealName) {
    std::filesystem::create_directories(pasta.Caminho() / "Dados");
    pasta.Grava("Dados/dobr99.dbc", "x");
    pasta.Grava("Dados/DOBR98.dbc", "x");
    pasta.Grava("Dados/outro.txt", "x");
    std::string d = GravaDef("a.def", {"LL,L,S.CNV", "Adados\\do*.DBC"});
    ASSERT_TRUE(LeDEF(def, d));
    EXPECT_EQ(ListaArquivosDEF(def), (std::vector<std::string>{"DOBR98.DBC", "DOBR99.DBC"}));
    std::string pastaDados = PastaDaCuringa(def);
    EXPECT_EQ(pastaDados, pasta.Caminho().string() + "/Dados/");
    EXPECT_EQ(NomeReal(pastaDados, "DOBR99.DBC"), pasta.Caminho().string() + "/Dados/dobr99.dbc");
}

TEST(TextoPeriodo, JoinsYearsAndMonthsIntoRanges) {
    struct Caso {
        std::vector<std::string> digitos;
        std::string texto;
    };
    const Caso casos[] = {
        {{"98", "99", "00"}, "1998-2000"},
        {{"0501", "0502", "0503"}, "Jan-Mar/2005"},
        {{"0411", "0502"}, "Nov/2004,Fev/2005"},
        {{"0412", "0501"}, "Dez/2004-Jan/2005"},
        {{"2001"}, "Jan/2020"},
        {{"98", "00"}, "1998,2000"},
        {{"0503"}, "Mar/2005"},
        {{"0513", "0501"}, "Jan/2005"}, // month 13 is left out
        {{"05", "0699"}, "2005"},
        {{}, ""},
    };
    for (const auto& c : casos) EXPECT_EQ(TextoPeriodo(c.digitos), c.texto) << c.texto;
    EXPECT_EQ(SoDigitos("/dados2/DOBR0501.DBC"), "20501");
}

TEST(LinhasDoTexto, EndsLinesAtCrLfLfOrALoneCrAndCutsThem) {
    EXPECT_EQ(LinhasDoTexto("a\r\nb\nc\rd", 255), (std::vector<std::string>{"a", "b", "c", "d"}));
    EXPECT_EQ(LinhasDoTexto("\r\n\r\nx\r\n", 255), (std::vector<std::string>{"", "", "x"}));
    EXPECT_EQ(LinhasDoTexto(std::string(300, 'x') + "\ny", 255),
              (std::vector<std::string>{std::string(255, 'x'), "y"}));
}

TEST(DescricaoDaTabela, ProposesALabelFromTheFileName) {
    EXPECT_EQ(DescricaoDaTabela("faixa_etaria.cnv"), "Faixa etaria");
    EXPECT_EQ(DescricaoDaTabela("\xC9POCA_DO_ANO.CNV"), "\xC9poca do ano");
    EXPECT_EQ(DescricaoDaTabela("_X.CNV"), "_x");
    EXPECT_EQ(DescricaoDaTabela("MUNICIPIOS_DE_RESIDENCIA.CNV"), "Municipios de resi");
}

TEST(NomeMapa, FollowsTheRowTable) {
    EXPECT_EQ(NomeMapaDaTabela("/x/UF.CNV", "/mapas", "a.map"), "/mapas/brasil.map");
    EXPECT_EQ(NomeMapaDaTabela("/x/MUNICSP.CNV", "/mapas/", "a.map"), "/mapas/SP.map");
    EXPECT_EQ(NomeMapaDaTabela("municrj.cnv", "", "a.map"), "rj.map");
    EXPECT_EQ(NomeMapaDaTabela("MICROmg.cnv", "m", ""), "m/mgmic.map");
    EXPECT_EQ(NomeMapaDaTabela("MESOBA.CNV", "m", ""), "m/BAmeso.map");
    EXPECT_EQ(NomeMapaDaTabela("RSAUDPR.CNV", "m", ""), "m/PRreg.map");
    EXPECT_EQ(NomeMapaDaTabela("SEXO.CNV", "m", "antes.map"), "antes.map");
}

} // namespace
} // namespace dorvan::teste

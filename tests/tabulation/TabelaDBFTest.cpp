// DBF files as conversion tables, with and without an equivalence DBF.
#include "data/ArquivosDBFTeste.h"
#include "data/LeDBF32.h"
#include "tabulation/ApoioDimensao.h"

namespace dorvan::teste {
namespace {

class TabelaDBF : public DimensaoTeste {
protected:
    // UF (2) and NOME (12); the third record repeats a key, the fourth is deleted.
    std::string Ufs(std::uint8_t idioma = 0) {
        OpcoesDBF o;
        o.idioma = idioma;
        return pasta.Grava("ufs.dbf", MontaDBF({{"UF", 'C', 2}, {"NOME", 'C', 12}},
                                               {"35S\x8Eo Paulo", "33Rio", "35Outro",
                                                std::string("*43Sul") + std::string(9, ' '), "31Minas"},
                                               o));
    }
};

TEST_F(TabelaDBF, KeysByFieldNameLabelsByFieldName) {
    std::string nome = Ufs(3);
    ASSERT_TRUE(Carrega("UF,NOME,ufs.dbf")) << ErroTabela;
    EXPECT_EQ(d.Modo, 1);
    EXPECT_EQ(d.Inicio, 1);
    EXPECT_EQ(d.CompCodigo, 2);
    EXPECT_EQ(d.ArquivoTabela, nome);
    // Duplicate key: the first record's label stays; deleted records count too.
    EXPECT_EQ(d.NumCategorias, 4);
    EXPECT_EQ(d.NomesCategoria[1], "35 S\x8Eo Paulo"); // language byte 3: no conversion
    EXPECT_EQ(d.NomesCategoria[2], "33 Rio");
    EXPECT_EQ(d.NomesCategoria[3], "43 Sul");
    EXPECT_EQ(d.NomesCategoria[4], "31 Minas");
    EXPECT_EQ(Categoria("35", d), 1);
    EXPECT_EQ(Categoria("43", d), 3);
    EXPECT_EQ(Categoria("31", d), 4);
    EXPECT_EQ(Categoria("99", d), 5);
    EXPECT_EQ(d.Valores.size(), 6u);
    EXPECT_EQ(d.Valores[2], 0);
    EXPECT_EQ(d.LarguraRotulo, 18);
    EXPECT_EQ(d.Marcadas.size(), 5u);
}

TEST_F(TabelaDBF, LabelFieldByNumberAndTheKeyAsItsOwnLabel) {
    Ufs(3);
    ASSERT_TRUE(Carrega("UF,2,ufs.dbf")) << ErroTabela;
    EXPECT_EQ(d.NomesCategoria[2], "33 Rio");
    // Label field 1 is the key field: the label is the key alone.
    ASSERT_TRUE(Carrega("UF,1,ufs.dbf"));
    EXPECT_EQ(d.NomesCategoria[2], "33");
    // An unknown key field name takes the first field; a start that is a file name
    // takes label field 1.
    ASSERT_TRUE(Carrega("XX,ufs.dbf"));
    EXPECT_EQ(d.NomesCategoria[2], "33");
    EXPECT_EQ(d.Campo, "XX");
}

TEST_F(TabelaDBF, DosCodePageLabelsByLanguageByte) {
    struct Caso {
        std::uint8_t idioma;
        bool ajuste;
        std::string rotulo;
    } casos[] = {
        {2, false, "35 S\xC4o Paulo"}, {0x25, false, "35 S\xC4o Paulo"}, {0, true, "35 S\xC4o Paulo"},
        {0, false, "35 S\x8Eo Paulo"}, {3, true, "35 S\x8Eo Paulo"},     {0x57, true, "35 S\x8Eo Paulo"},
    };
    for (const auto& c : casos) {
        SCOPED_TRACE(static_cast<int>(c.idioma));
        Ufs(c.idioma);
        TabelasDBFcomCP850 = c.ajuste;
        ASSERT_TRUE(Carrega("UF,NOME,ufs.dbf"));
        EXPECT_EQ(d.NomesCategoria[1], c.rotulo);
    }
}

TEST_F(TabelaDBF, EquivalenceDbfMapsDataCodesThroughTableKeys) {
    // Table: region code -> region name. Equivalence: municipality code -> region code.
    pasta.Grava("reg.dbf", MontaDBF({{"REGIAO", 'C', 3}, {"NOME", 'C', 10}}, {"R01Norte", "R02Sul", "R01Repetida"}));
    pasta.Grava("mun.dbf", MontaDBF({{"MUNIC", 'C', 6}, {"REGIAO", 'C', 3}},
                                    {"110001R01", "430001R02", "430002R02", "110001R02", "999999R77"}));
    LinhasExtras = LinhasDiscriminadas;
    ASSERT_TRUE(Carrega("MUNIC,NOME,REG.DBF,REGIAO,MUN.DBF")) << ErroTabela;
    EXPECT_EQ(d.CompCodigo, 6);
    EXPECT_EQ(d.NumCategorias, 2);
    EXPECT_EQ(d.NomesCategoria[1], "R01 Norte");
    EXPECT_EQ(Categoria("110001", d), 1); // the first mapping of a data code wins
    EXPECT_EQ(Categoria("430002", d), 2);
    EXPECT_EQ(Categoria("999999", d), 3); // its region is not in the table
    EXPECT_EQ(d.Indice.Quantidade(), 3);
    EXPECT_EQ(d.Indice.Capacidade(), 5 + 2 + LinhasDiscriminadas);
    EXPECT_EQ(d.Valores.size(), 2u + LinhasDiscriminadas + 2u);
}

TEST_F(TabelaDBF, LoaderMessages) {
    Ufs();
    pasta.Grava("mun.dbf", MontaDBF({{"MUNIC", 'C', 6}, {"REG", 'C', 2}}, {"110001R1"}));
    const std::string ufs = (pasta.Caminho() / "ufs.dbf").string();
    const std::string mun = (pasta.Caminho() / "mun.dbf").string();
    struct Caso {
        std::string espec;
        std::int32_t maximo;
        std::string mensagem;
    } casos[] = {
        {"UF,NOME,ufs.dbf", 4, ufs + ": NumRegs = 5 > Max = 3"},
        {"UF,3,ufs.dbf", MaximoLinhas, ufs + ": Campo do rotulo 3 nao existe na tabela (2 campos)"},
        {"UF,0,ufs.dbf", MaximoLinhas, ufs + ": Campo do rotulo 0 nao existe na tabela (2 campos)"},
        {"MUNIC,NOME,ufs.dbf,UF,falta.dbf", MaximoLinhas, "FALTA.DBF: arquivo nao encontrado"},
        {"MUNIC,NOME,ufs.dbf,UF,mun.dbf", MaximoLinhas,
         mun + ": campo chave UF nao encontrado na tabela de equivalencia"},
        {"MUNIC,NOME,ufs.dbf,,mun.dbf", MaximoLinhas,
         mun + ": campo chave (sem nome) nao encontrado na tabela de equivalencia"},
    };
    for (const auto& c : casos) {
        SCOPED_TRACE(c.espec);
        msgs.Limpa();
        EXPECT_FALSE(Carrega(c.espec, c.maximo));
        EXPECT_EQ(ErroTabela, c.mensagem);
        EXPECT_EQ(msgs.Textos(), std::vector<std::string>{c.mensagem});
        EXPECT_EQ(d.NumCategorias, 0);
    }
}

TEST_F(TabelaDBF, DamagedTableFailsWithTheReadersOwnMessage) {
    std::string ruim = pasta.Grava("ruim.dbf", "not a dbf");
    EXPECT_FALSE(Carrega("UF,NOME,ruim.dbf"));
    EXPECT_EQ(ErroTabela, ruim + ": Tabela de conversao nao pode ser aberta");
    ASSERT_EQ(msgs.Textos().size(), 1u);
    EXPECT_NE(msgs.Textos()[0], ErroTabela); // OpenDBF said why; not shown twice
}

TEST_F(TabelaDBF, TableWithoutRecordsIsALoadError) {
    std::string vazia = pasta.Grava("vazia.dbf", MontaDBF({{"UF", 'C', 2}}, {}));
    EXPECT_FALSE(Carrega("UF,1,vazia.dbf"));
    EXPECT_EQ(ErroTabela, vazia + ": Tabela de conversao vazia");
}

TEST_F(TabelaDBF, FullKeyTableRefusalsAreShownOnceWithTheirCount) {
    TIndice t;
    CriaIndice(t, 1);
    {
        AgrupaRecusasIndice agrupa;
        InsereIndice(t, "a", 1);
        InsereIndice(t, "b", 2);
        MensagensAtuais().Mostra("outra mensagem");
        InsereIndice(t, "c", 3);
        EXPECT_EQ(agrupa.Recusas(), 2);
        agrupa.Conclui();
    }
    const std::string esperado = "Entradas excede m\xE1ximo 1 (2 entradas recusadas)";
    EXPECT_EQ(msgs.Textos(), (std::vector<std::string>{"outra mensagem", esperado}));
    EXPECT_EQ(log, std::vector<std::string>{esperado});
    InsereIndice(t, "d", 4); // shown as usual once the guard is gone
    EXPECT_EQ(msgs.Textos().back(), "Entradas excede m\xE1ximo 1");
}

// ---- Binding to the data file ----

TEST_F(TabelaDBF, FieldOfTheDataFileAndTheCodeTextOfTheLastField) {
    GravaCnv("t.cnv", {"2 3", LinhaCNV("", "1", "Um", "001"), LinhaCNV("", "2", "Dois", "X02")});
    std::string dados = pasta.Grava(
        "dados.dbf", MontaDBF({{"IDADE", 'N', 3}, {"cod", 'C', 4}, {"COD", 'C', 2}}, {"  7ABCDX0", " 42ZZZZ00"}));
    dbfRecord h;
    OpenDBF(h, dados, true);
    ASSERT_EQ(h.Estado, 1);

    ASSERT_TRUE(Carrega("COD,2,t.cnv"));
    ASSERT_TRUE(AchaCampoDim(d, h));
    EXPECT_EQ(d.NumCampo, 3); // the last of the names that match ignoring case
    EXPECT_EQ(d.TamCampo, 2);
    readDBF(h, 1);
    // The code reaches past the field, but not past the record: "X0" from position 2.
    EXPECT_EQ(TextoDaDimensao(d, h), "X0");
    EXPECT_EQ(Categoria(TextoDaDimensao(d, h), d), 3);

    ASSERT_TRUE(Carrega("IDADE,2,t.cnv"));
    ASSERT_TRUE(AchaCampoDim(d, h));
    readDBF(h, 2);
    EXPECT_EQ(TextoDaDimensao(d, h), " 42Z"); // a short field extended over the next one

    ASSERT_TRUE(Carrega("SEXO,1,t.cnv"));
    EXPECT_FALSE(AchaCampoDim(d, h));
    EXPECT_EQ(d.NumCampo, 0);
    EXPECT_EQ(ErroTabela, "SEXO nao encontrado em dados.dbf");
    EXPECT_EQ(msgs.Textos().back(), "SEXO nao encontrado em dados.dbf");
    EXPECT_EQ(TextoDaDimensao(d, h), "");
    CloseDBF(h);
}

TEST_F(TabelaDBF, BoundsReadOnlyTheirOwnFieldBytes) {
    GravaCnv("t.cnv", {"2 3 F", LinhaCNV("", "1", "Menor", " 99"), LinhaCNV("", "2", "Maior", "999")});
    std::string dados = pasta.Grava("dados.dbf", MontaDBF({{"IDADE", 'C', 2}, {"RESTO", 'C', 3}}, {"50123"}));
    dbfRecord h;
    OpenDBF(h, dados, true);
    ASSERT_TRUE(Carrega("IDADE,1,t.cnv"));
    ASSERT_TRUE(AchaCampoDim(d, h));
    readDBF(h, 1);
    EXPECT_EQ(TextoDaDimensao(d, h), "501");           // code text of width 3
    EXPECT_EQ(Categoria(TextoDaDimensao(d, h), d), 1); // 50, not 501
    AvisaValoresInvalidos(d);
    EXPECT_TRUE(msgs.Textos().empty());
    CloseDBF(h);
}

} // namespace
} // namespace dorvan::teste

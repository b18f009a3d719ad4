// The DEF and CNV editor's logic: field items, the generators (checked by loading
// their files back with the DEF reader and the table loader), and the CNV tools.
#include "data/LeDBF32.h"
#include "data/UConvert.h"
#include "data/Ucomprim.h"
#include "platform/Arquivos.h"
#include "platform/Erros.h"
#include "platform/Mensagens.h"
#include "support/ApoioTeste.h"
#include "tabulation/FazDef.h"
#include "tabulation/Utab.h"
#include "tabulation/Utabula.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>

namespace dorvan {
namespace {

using Linhas = std::vector<std::string>;

// Writes a DBF through the data layer; records are given field by field.
std::string GravaDBF(const std::string& nome, const std::vector<CampoDBF>& campos, const std::vector<Linhas>& regs,
                     const std::vector<bool>& apagados = {}) {
    dbfRecord h;
    CreateDBF(h, nome, campos, 0);
    std::string reg(h.TamRegistro, ' ');
    for (std::size_t r = 0; r < regs.size(); ++r) {
        std::fill(reg.begin(), reg.end(), ' ');
        if (r < apagados.size() && apagados[r]) reg[0] = '*';
        for (std::size_t i = 0; i < regs[r].size(); ++i)
            PutFieldDBF(h, static_cast<int>(i + 1), regs[r][i], reg.data());
        AppendDBF(h, reg.data());
    }
    CloseDBF(h);
    return nome;
}

CampoDBF Campo(const std::string& nome, char tipo, int tam, int dec = 0) {
    CampoDBF c;
    c.Nome = nome;
    c.Tipo = tipo;
    c.Tamanho = static_cast<std::uint8_t>(tam);
    c.Decimais = static_cast<std::uint8_t>(dec);
    return c;
}

// One CNV data line: category k in columns 1-7, label from 10, codes from 61.
std::string Cat(int k, const std::string& rotulo, const std::string& codigos = {}) {
    std::string s = std::to_string(k);
    s.insert(0, 7 - s.size(), ' ');
    std::string r = rotulo;
    r.resize(51, ' ');
    return s + "  " + r + codigos;
}

// A dimension line: the title in columns 1-19, then the field and table.
std::string Dim(std::string titulo, const std::string& resto) {
    titulo.resize(19, ' ');
    return titulo + resto;
}

class FazDefTeste : public ::testing::Test {
protected:
    void SetUp() override { cwd = std::filesystem::current_path(); }
    void TearDown() override {
        std::filesystem::current_path(cwd);
        DirTabelas.clear();
    }
    std::filesystem::path cwd;
    teste::PastaTemporaria pasta;
    MensagensRoteiro msgs;
    UsaMensagens uso{msgs};
};

TEST(FazDef, FieldItemsRulerAndCaretText) {
    struct Caso {
        CampoDBF campo;
        std::string item;
    } casos[] = {{Campo("NOME", 'C', 40), "NOME       C 040 0"},
                 {Campo("VALOR_PAGO", 'N', 12, 2), "VALOR_PAGO N 012 2"},
                 {Campo("DT", 'D', 8), "DT         D 008 0"},
                 {Campo("TEXTO", 'C', 254), "TEXTO      C 254 0"}};
    for (const auto& c : casos) {
        EXPECT_EQ(ItemCampo(c.campo), c.item);
        EXPECT_EQ(NomeDoItem(c.item), c.campo.Nome);
    }
    const std::string& r = ReguaCNV();
    ASSERT_EQ(r.size(), 240u);
    EXPECT_EQ(r.substr(0, 10), "sssnnnn  d");
    EXPECT_EQ(r.substr(58, 3), "d c");
    EXPECT_EQ(ReguaVisivel(9), r.substr(9));
    EXPECT_EQ(ReguaVisivel(300), "");
    EXPECT_EQ(TextoPosicao(12, 5), "  12:   5");
}

TEST_F(FazDefTeste, DefForNumericAndLinkedFieldsLoadsBack) {
    const std::string dbf =
        GravaDBF(pasta / "DADOS.DBF", {Campo("NOME", 'C', 40), Campo("IDADE", 'N', 3), Campo("SEXO", 'C', 1)},
                 {{"ANA", "30", "F"}, {"JOAO", "41", "M"}});
    Linhas perguntas;
    auto pergunta = [&](const std::string& campo, LigacaoCNV& l) {
        perguntas.push_back(campo + "|" + l.descricao + "|" + l.nomeCNV + "|" + l.inicio);
        if (campo == "NOME") return false;
        EXPECT_TRUE(l.linhas && l.colunas && l.selecao && !l.quadro);
        l.quadro = true;
        return true;
    };
    const Linhas def = GeraDEF(dbf, {"NOME", "IDADE", "SEXO"}, {"idade.cnv", "SEXO.CNV"}, pergunta);
    const std::string corpo = "SEXO," + std::string(14, ' ') + "SEXO      ,1,sexo.cnv";
    EXPECT_EQ(def, (Linhas{";Defini\xE7\xF5"
                           "es para tabular o arquivo DADOS.DBF",
                           "Adados.dbf", "IIdade," + std::string(13, ' ') + "IDADE", "L" + corpo, "C" + corpo,
                           "S" + corpo, "Q" + corpo}));
    EXPECT_EQ(perguntas, (Linhas{"NOME|NOME||1", "SEXO|SEXO|SEXO.CNV|1"}));

    // The DEF and the CNV it names are read back by the tabulation's own readers.
    pasta.Grava("sexo.cnv", JuntaLinhas({"2 1", Cat(1, "Feminino", "F"), Cat(2, "Masculino", "M")}));
    const std::string arq = NomeDEFdoDBF(dbf);
    EXPECT_EQ(arq, pasta / "DADOS.DEF");
    GravaArquivoInteiro(arq, JuntaLinhas(def));
    DefTabulacao d;
    ASSERT_TRUE(LeDEF(d, arq));
    EXPECT_EQ(d.Titulo1, "Defini\xE7\xF5"
                         "es para tabular o arquivo DADOS.DBF");
    ASSERT_EQ(d.ListLinha.size(), 1u);
    EXPECT_EQ(d.ListColunas.size(), 2u);
    EXPECT_EQ(d.ListInicial.size(), 1u);
    ASSERT_EQ(d.ListIncr.size(), 2u);
    EXPECT_EQ(ListaArquivosDEF(d), Linhas{"DADOS.DBF"});
    TDimensao dim;
    ASSERT_TRUE(LeDimensao(d.ListLinha[0], MaximoLinhas, dim)) << ErroTabela;
    EXPECT_EQ(dim.Campo, "SEXO");
    EXPECT_EQ(Categoria("M", dim), 2);
    LiberaDimensao(dim);
    EXPECT_TRUE(msgs.Textos().empty());
}

TEST_F(FazDefTeste, DefLinksOnlyTickedFieldsAndSkipsEmptyCnvNames) {
    const std::string dbf = GravaDBF(pasta / "x.dbf",
                                     {Campo("UF", 'C', 2), Campo("DATA_OBITO", 'D', 8), Campo("VALOR_PAGO", 'N', 9, 2),
                                      Campo("DIAS", 'N', 3), Campo("VIVO", 'L', 1), Campo("OBS", 'M', 10)},
                                     {});
    auto pergunta = [](const std::string& campo, LigacaoCNV& l) {
        if (campo == "VIVO") return true; // OK with no CNV name: nothing written
        l.descricao = "Data do obito por extenso";
        l.nomeCNV = "Ano.CNV";
        l.inicio = "1";
        l.colunas = l.selecao = false;
        return true;
    };
    const Linhas def = GeraDEF(dbf, {"data_obito", "VALOR_PAGO", "VIVO", "OBS"}, {}, pergunta);
    EXPECT_EQ(def, (Linhas{";Defini\xE7\xF5"
                           "es para tabular o arquivo x.dbf",
                           "Ax.dbf", "IValor pago," + std::string(8, ' ') + "VALOR_PAGO",
                           "LData do obito por extenso,DATA_OBITO,1,ano.cnv"}));
    EXPECT_TRUE(GeraDEF(pasta / "falta.dbf", {}, {}, pergunta).empty());
    EXPECT_FALSE(msgs.Textos().empty()); // the reader said why
}

TEST_F(FazDefTeste, CnvPerFieldWithBlankValuesLoadsBack) {
    const std::string longo(60, 'x');
    const std::string dbf =
        GravaDBF(pasta / "Obitos.dbf",
                 {Campo("SEXO", 'C', 1), Campo("IDADE", 'N', 3), Campo("NOME", 'C', 60), Campo("CAUSA", 'C', 4)},
                 {{"M", "1", longo, "A1"},
                  {"F", "2", "ANA", "B;2"},
                  {"M", "3", "ANA", "A1"},
                  {"", "4", "", "C3"},
                  {"X", "5", "ZE", "A1"}},
                 {false, false, false, false, true});
    const ResultadoCNV r = GeraCNVs(dbf, {"SEXO", "IDADE", "CAUSA"});
    EXPECT_EQ(r.arquivos, (Linhas{pasta / "sexo.cnv", pasta / "causa.cnv"}));
    EXPECT_EQ(r.recusados, Linhas{"B;2 "});
    EXPECT_FALSE(std::filesystem::exists(pasta / "nome.cnv"));

    // Deleted records count; a blank value ends its line with ',' to keep its blank.
    const std::string pad50(50, ' ');
    EXPECT_EQ(pasta.Le("sexo.cnv"), JuntaLinhas({"4 1 L", "      1   " + pad50 + " ,", "      2  F" + pad50 + "F",
                                                 "      3  M" + pad50 + "M", "      4  X" + pad50 + "X"}));
    EXPECT_EQ(pasta.Le("causa.cnv"), JuntaLinhas({"2 4 L", "      1  A1  " + std::string(47, ' ') + "A1  ,",
                                                  "      2  C3  " + std::string(47, ' ') + "C3  ,"}));

    DirTabelas = pasta.Caminho().string();
    TDimensao d;
    ASSERT_TRUE(LeDimensao(Dim("Sexo", "SEXO,1," + pasta / "sexo.cnv"), MaximoLinhas, d)) << ErroTabela;
    EXPECT_EQ(d.NumCategorias, 4);
    EXPECT_EQ(Categoria(" ", d), 1);
    EXPECT_EQ(Categoria("M", d), 3);
    EXPECT_EQ(Categoria("Z", d), 5);
    LiberaDimensao(d);
    ASSERT_TRUE(LeDimensao(Dim("Causa", "CAUSA,1,causa.cnv"), MaximoLinhas, d)) << ErroTabela;
    EXPECT_EQ(Categoria("C3  ", d), 2);
    LiberaDimensao(d);

    // A long field's values are cut to 50 characters.
    GeraCNVs(dbf, {"NOME"});
    const Linhas nome = DivideLinhas(pasta.Le("nome.cnv"));
    ASSERT_EQ(nome.size(), 5u);
    EXPECT_EQ(nome[0], "4 50 L");
    EXPECT_EQ(nome[4], "      4  " + std::string(50, 'x') + " " + std::string(50, 'x'));
    EXPECT_TRUE(msgs.Textos().empty());
}

// Values ending in control characters (NUL padding, a TAB) still load back, each in
// its own category; a value holding a line break cannot be a CNV line and is left out.
TEST_F(FazDefTeste, CnvValuesWithControlCharactersLoadBack) {
    const std::string dbf = GravaDBF(pasta / "Ctl.dbf", {Campo("COD", 'C', 2)},
                                     {{std::string("A\0", 2)}, {"A\t"}, {"AB"}, {"A\n"}, {std::string("\0\0", 2)}});
    const ResultadoCNV r = GeraCNVs(dbf, {"COD"});
    ASSERT_EQ(r.arquivos, Linhas{pasta / "cod.cnv"});
    EXPECT_EQ(r.recusados, Linhas{"A\n"});
    DirTabelas = pasta.Caminho().string();
    TDimensao d;
    ASSERT_TRUE(LeDimensao(Dim("Cod", "COD,1,cod.cnv"), MaximoLinhas, d)) << ErroTabela;
    EXPECT_EQ(d.NumCategorias, 4);
    std::set<std::int32_t> categorias;
    for (const std::string& v : {std::string("A\0", 2), std::string("A\t"), std::string("AB"), std::string("\0\0", 2)})
        categorias.insert(Categoria(v, d));
    EXPECT_EQ(categorias, (std::set<std::int32_t>{1, 2, 3, 4}));
    LiberaDimensao(d);
}

// A field name is a file name here: one that would leave the DBF's folder (or name no
// file) gets no table, and the user is told.
TEST_F(FazDefTeste, CnvOfAFieldWhoseNameIsAPathIsNotWritten) {
    const std::string dentro = pasta / "dados";
    std::filesystem::create_directory(dentro);
    const std::string dbf =
        GravaDBF(dentro + "/Nomes.dbf", {Campo("../FORA", 'C', 2), Campo("BOM", 'C', 2)}, {{"AB", "CD"}});
    const ResultadoCNV r = GeraCNVs(dbf, {"../FORA", "BOM"});
    EXPECT_EQ(r.arquivos, Linhas{dentro + "/bom.cnv"});
    EXPECT_FALSE(std::filesystem::exists(pasta / "fora.cnv"));
    ASSERT_EQ(msgs.Textos().size(), 1u);
    EXPECT_NE(msgs.Textos()[0].find("../FORA"), std::string::npos) << msgs.Textos()[0];
}

TEST_F(FazDefTeste, GeneratedCodesWithCommasSurviveTheCnvToolsAndLoad) {
    const std::string dbf = GravaDBF(pasta / "c.dbf", {Campo("COD", 'C', 3)}, {{"A,B"}, {"C D"}, {"A,"}});
    GeraCNVs(dbf, {"COD"});
    Linhas l = DivideLinhas(pasta.Le("cod.cnv"));
    const Linhas gerado = l;
    ExpandeCNV(l);
    EXPECT_EQ(l, gerado);
    CompactaCNV(l);
    EXPECT_EQ(l, gerado);
    DirTabelas = pasta.Caminho().string();
    TDimensao d;
    ASSERT_TRUE(LeDimensao(Dim("Cod", "COD,1,cod.cnv"), MaximoLinhas, d)) << ErroTabela;
    EXPECT_EQ(Categoria("A, ", d), 1);
    EXPECT_EQ(Categoria("A,B", d), 2);
    EXPECT_EQ(Categoria("C D", d), 3);
    LiberaDimensao(d);
}

TEST_F(FazDefTeste, CnvFromACompressedFileReadsItsRecords) {
    const std::string dbf = GravaDBF(pasta / "uf.dbf", {Campo("UF", 'C', 2)}, {{"35"}, {"33"}, {"35"}, {"11"}});
    ASSERT_TRUE(ComprimeDBF(dbf, pasta / "UF.DBC", SemProgresso()).Ok());
    std::filesystem::remove(dbf);
    auto campos = CamposDoArquivo(pasta / "UF.DBC");
    ASSERT_TRUE(campos);
    EXPECT_EQ(ItemCampo(campos->at(0)), "UF         C 002 0");
    GeraCNVs(pasta / "UF.DBC", {"UF"});
    const std::string p48(48, ' ');
    EXPECT_EQ(pasta.Le("uf.cnv"), JuntaLinhas({"3 2 L", "      1  11" + p48 + " 11", "      2  33" + p48 + " 33",
                                               "      3  35" + p48 + " 35"}));

    // A damaged stream writes nothing.
    std::string bytes = pasta.Le("UF.DBC");
    bytes.resize(bytes.size() - 3);
    bytes[bytes.size() - 2] ^= 0x55;
    pasta.Grava("RUIM.DBC", bytes);
    std::filesystem::remove(pasta / "uf.cnv");
    EXPECT_TRUE(GeraCNVs(pasta / "RUIM.DBC", {"UF"}).arquivos.empty());
    EXPECT_FALSE(std::filesystem::exists(pasta / "uf.cnv"));
    EXPECT_FALSE(msgs.Textos().empty());
}

// The loader reads the category count from four characters: a field of 10,000 or
// more distinct values gives a table of the first 9999, which loads back, and one
// message says how many distinct values were left out (repeats are not counted).
TEST_F(FazDefTeste, CnvGeneratorStopsAt9999CategoriesAndSaysHowManyWereLeftOut) {
    std::vector<Linhas> regs;
    for (int i = 0; i < 10005; ++i)
        regs.push_back({std::to_string(200000 - i)});
    regs.push_back({"199999"});
    regs.push_back({"189996"}); // left out, and already counted
    const std::string dbf = GravaDBF(pasta / "grande.dbf", {Campo("COD", 'C', 6)}, regs);
    GeraCNVs(dbf, {"COD"});
    EXPECT_EQ(msgs.Textos(), Linhas{"cod.cnv: no m\xE1ximo 9999 categorias; 6 valores do campo COD ficaram de fora."});
    const Linhas l = DivideLinhas(pasta.Le("cod.cnv"));
    ASSERT_EQ(l.size(), 10000u);
    EXPECT_EQ(l[0], "9999 6 L");

    DirTabelas = pasta.Caminho().string();
    TDimensao d;
    ASSERT_TRUE(LeDimensao(Dim("Cod", "COD,1,cod.cnv"), MaximoLinhas, d)) << ErroTabela;
    EXPECT_EQ(d.NumCategorias, 9999);
    EXPECT_EQ(Categoria("190002", d), 1);
    EXPECT_EQ(Categoria("200000", d), 9999);
    EXPECT_EQ(Categoria("190001", d), 10000); // left out: unclassified
    LiberaDimensao(d);
}

TEST(FazDef, RenumberingFollowsLabels) {
    Linhas l{";tabela de teste", "  9 1 L", Cat(7, "A", "1"), Cat(7, "A", "2"), Cat(0, "B", "3"), "; meio",
             Cat(0, "", "4"),    "",        Cat(5, "C", "5")};
    NumeraCNV(l);
    EXPECT_EQ(l, (Linhas{";tabela de teste", "3 1 L", Cat(1, "A", "1"), Cat(1, "A", "2"), Cat(2, "B", "3"), "; meio",
                         Cat(2, "", "4"), "", Cat(3, "C", "5")}));
    Linhas so{";nada"};
    NumeraCNV(so);
    EXPECT_EQ(so, Linhas{";nada"});
}

TEST(FazDef, MergingJoinsCodesOfOneCategoryUpTo240Characters) {
    const std::string c50(50, 'a');
    Linhas l{" 3 2 L ",      Cat(1, "Um", "01"),  Cat(1, "", "02,"),      Cat(1, "", "03 ;nota"),
             "; comentario", Cat(1, "", "04"),    Cat(2, "Dois", "05 ,"), Cat(2, "", "06"),
             "   ",          Cat(3, "Tres", c50), Cat(3, "", c50),        Cat(3, "", c50),
             Cat(3, "", c50)};
    CompactaCNV(l);
    const std::string tres = Cat(3, "Tres", c50 + "," + c50 + "," + c50); // 60 + 152 = 212 < 241
    EXPECT_EQ(l, (Linhas{"3 2 L", Cat(1, "Um", "01,02,03"), "; comentario", Cat(1, "", "04"), Cat(2, "Dois", "05 ,06"),
                         tres, Cat(3, "", c50)}));

    // Splitting gives one code per line with the same first 60 columns, and back.
    Linhas e = l;
    ExpandeCNV(e);
    EXPECT_EQ(e[1], Cat(1, "Um", "01"));
    EXPECT_EQ(e[2], Cat(1, "Um", "02"));
    EXPECT_EQ(e[3], Cat(1, "Um", "03"));
    EXPECT_EQ(e[6], Cat(2, "Dois", "05 ,"));
    EXPECT_EQ(e[7], Cat(2, "Dois", "06"));
    CompactaCNV(e);
    EXPECT_EQ(e, l);

    Linhas ruim{"2 2", Cat(1, "Um", "01"), "      x  Dois" + std::string(47, ' ') + "02", Cat(2, "", "03")};
    const Linhas antes = ruim;
    try {
        CompactaCNV(ruim);
        FAIL() << "no error";
    } catch (const ErroFatal& e) {
        EXPECT_STREQ(e.what(), "'   x' n\xE3o \xE9 um valor inteiro v\xE1lido");
    }
    EXPECT_EQ(ruim, antes);
}

TEST(FazDef, SplittingOneCodePerLine) {
    Linhas l{"2 2", Cat(1, "Um", "01,02,03"), Cat(2, "Dois"), Cat(3, "Tres", "04,,05"), ";fim"};
    ExpandeCNV(l);
    EXPECT_EQ(l, (Linhas{"2 2", Cat(1, "Um", "01"), Cat(1, "Um", "02"), Cat(1, "Um", "03"), "      2  Dois",
                         Cat(3, "Tres", "04"), ";fim"}));
}

TEST(FazDef, SplittingFixedWidthCodesKeepsCommasInsideThem) {
    // Width 5 codes are read five characters at a time, so a ',' inside one is part of it.
    Linhas l{"2 5 L", Cat(1, "Um", "AB,CD,EF GH,XY-ZZ-XY-ZZ"), Cat(2, "Dois", "12345,6")};
    ExpandeCNV(l);
    EXPECT_EQ(l, (Linhas{"2 5 L", Cat(1, "Um", "AB,CD"), Cat(1, "Um", "EF GH"), Cat(1, "Um", "XY-ZZ-XY-ZZ"),
                         Cat(2, "Dois", "12345"), Cat(2, "Dois", "6")}));
    // Codes that do not follow the form are split at every ','.
    Linhas c{"1 3 L", Cat(1, "Um", "1,22,333")};
    ExpandeCNV(c);
    EXPECT_EQ(c, (Linhas{"1 3 L", Cat(1, "Um", "1"), Cat(1, "Um", "22"), Cat(1, "Um", "333")}));
}

TEST(FazDef, CaseCommands) {
    struct Caso {
        std::string entrada, proprio;
    } casos[] = {
        {"JOS\xC9 DA SILVA E SOUZA", "Jos\xE9 da Silva e Souza"},
        {"maria das dores dos anjos", "Maria das Dores dos Anjos"},
        {"E AGORA OU NUNCA", "E Agora ou Nunca"},
        {"IR \xC0 PRAIA AO SOL", "Ir \xE0 Praia ao Sol"},
        {"ANA D'\xC1VILA DE", "Ana d'\xC1vila De"},
        {"RUA 25 DE MAR\xC7O", "Rua 25 de Mar\xE7o"},
        {"", ""},
    };
    for (const auto& c : casos)
        EXPECT_EQ(NomeProprio(c.entrada), c.proprio) << c.entrada;
    EXPECT_EQ(ParaMaiusculas("a\xE7\xE3o x"), "A\xC7\xC3O X");
    EXPECT_EQ(ParaMinusculas("A\xC7\xC3O X"), "a\xE7\xE3o x");
}

TEST(FazDef, PrintedPagesHoldOneLineMoreOnTheFirst) {
    const Linhas l{"a", "b", "c", "d", "e", "f"};
    EXPECT_EQ(LinhasImpressao(l, 2),
              (Linhas{"", "", "", "a", "b", "c", "\f", "", "", "", "d", "e", "\f", "", "", "", "f"}));
    EXPECT_EQ(LinhasImpressao({}, 5), (Linhas{"", "", ""}));
    EXPECT_EQ(LinhasImpressao(l, 0).size(), 9u);
}

TEST(FazDef, LinesSplitOnAnyLineEnd) {
    EXPECT_EQ(DivideLinhas("a\r\nb\nc\rd\r\n"), (Linhas{"a", "b", "c", "d"}));
    EXPECT_EQ(DivideLinhas("a\r\n\r\nb"), (Linhas{"a", "", "b"}));
    EXPECT_TRUE(DivideLinhas("").empty());
    EXPECT_EQ(JuntaLinhas({"a", ""}), "a\r\n\r\n");
}

} // namespace
} // namespace dorvan

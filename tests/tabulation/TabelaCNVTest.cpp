// Text conversion tables: header modes, columns, codes, labels and loader messages.
#include "tabulation/ApoioDimensao.h"

#include <cmath>

namespace dorvan::teste {
namespace {

using TabelaCNV = DimensaoTeste;

TEST_F(TabelaCNV, DirectTableOfWidthOneAndTheSameFileAsKeyTable) {
    GravaCnv("dir.cnv", {"2 1", LinhaCNV("", "1", "Um", "1"), LinhaCNV("", "2", "Dois", "2")});
    GravaCnv("chave.cnv", {"2 1 L", LinhaCNV("", "1", "Um", "1"), LinhaCNV("", "2", "Dois", "2")});
    for (const char* tabela : {"dir.cnv", "chave.cnv"}) {
        SCOPED_TRACE(tabela);
        ASSERT_TRUE(Carrega(std::string("SEXO,1,") + tabela));
        EXPECT_EQ(d.Modo, tabela[0] == 'd' ? 0 : 1);
        if (d.Modo == 0) {
            EXPECT_EQ(d.Direta.size(), 27u);
        }
        EXPECT_EQ(d.NumCategorias, 2);
        EXPECT_EQ(Categoria("1", d), 1);
        EXPECT_EQ(Categoria("2", d), 2);
        for (const char* outro : {"0", "3", "9", " "})
            EXPECT_EQ(Categoria(outro, d), 3) << outro;
        EXPECT_EQ(d.NomesCategoria[1], "Um");
        EXPECT_EQ(d.Campo, "SEXO");
        EXPECT_EQ(d.Titulo, "Variavel");
        EXPECT_EQ(d.Marcadas.size(), 3u);
        EXPECT_TRUE(msgs.Textos().empty());
    }
}

TEST_F(TabelaCNV, HeaderChoosesTheMode) {
    struct Caso {
        const char* cabecalho;
        int modo;
        std::size_t direta; // entries of the direct table
    } casos[] = {
        {"3 1", 0, 27},     {"3 2", 0, 270},     {"3 4", 0, 27000}, {"3 5", 1, 0},
        {"3 2 L", 1, 0},    {"3 2 lista", 1, 0}, {"3 2 F", 2, 0},   {"  3   2   f  ; bounds", 2, 0},
        {"00030002", 0, 0}, // one item: no width
    };
    for (const auto& c : casos) {
        SCOPED_TRACE(c.cabecalho);
        GravaCnv("t.cnv", {c.cabecalho});
        bool ok = Carrega("X,1,t.cnv");
        if (std::string(c.cabecalho) == "00030002") {
            EXPECT_FALSE(ok);
            continue;
        }
        ASSERT_TRUE(ok) << ErroTabela;
        EXPECT_EQ(d.Modo, c.modo);
        EXPECT_EQ(d.Direta.size(), c.direta);
        EXPECT_EQ(d.NumCategorias, 3);
    }
}

TEST_F(TabelaCNV, HeaderItemsAreReadFromTheirFirstFourCharacters) {
    GravaCnv("t.cnv", {"123456 0002", LinhaCNV("", "1234", "Ultima", "99")});
    ASSERT_TRUE(Carrega("X,1,t.cnv")) << ErroTabela;
    EXPECT_EQ(d.NumCategorias, 1234);
    EXPECT_EQ(d.CompCodigo, 2);
    EXPECT_EQ(Categoria("99", d), 1234);
}

TEST_F(TabelaCNV, LoaderMessages) {
    const std::string t = (pasta.Caminho() / "t.cnv").string();
    struct Caso {
        std::vector<std::string> linhas;
        std::int32_t maximo;
        std::string mensagem;
    } casos[] = {
        {{"; only a comment", "   "}, MaximoLinhas, t + ": Falta cabecalho (numero de categorias e largura do codigo)"},
        {{"5"}, MaximoLinhas, t + ": Falta largura do codigo"},
        {{"0 2"}, MaximoLinhas, t + ": Numero de categorias nao valido"},
        {{"-3 2"}, MaximoLinhas, t + ": Numero de categorias nao valido"},
        {{"X 2"}, MaximoLinhas, t + ": Numero de categorias nao valido"},
        {{"5 0"}, MaximoLinhas, t + ": Comprimento do codigo nao valido"},
        {{"5 -1"}, MaximoLinhas, t + ": Comprimento do codigo nao valido"},
        {{"5 2 Q"}, MaximoLinhas, t + ": terceiro parametro <> \"L\" ou \"F\" = Q"},
        {{"5 2 XYZW9"}, MaximoLinhas, t + ": terceiro parametro <> \"L\" ou \"F\" = XYZW"},
        {{"6000 2"}, MaximoColunas, t + ": Numero de categorias = 6000 > m\xE1ximo desta dimens\xE3o que \xE9 5999"},
        {{"5 2", LinhaCNV("", "6", "Seis", "01")}, MaximoLinhas, t + " : Indice nao valido na linha 6"},
        {{"5 2", LinhaCNV("", "0", "Zero", "01")}, MaximoLinhas, t + " : Indice nao valido na linha 0"},
        {{"5 2", "   1x"}, MaximoLinhas, t + " : Indice nao valido na linha 1x"},
        {{"5 2 L", LinhaCNV("", "2", "Dois", "0")}, MaximoLinhas, t + " : Codigo nao valido na linha 2"},
        {{"5 2 L", LinhaCNV("", "3", "Sem codigo")}, MaximoLinhas, t + " : Codigo nao valido na linha 3"},
        {{"5 3 F", LinhaCNV("", "4", "Curta", "9")}, MaximoLinhas, t + " : Codigo nao valido na linha 4"},
        {{"5 3 F", LinhaCNV("", "4", "Letra", "1x5")}, MaximoLinhas, t + " : Valor num\xE9rico nao valido na linha 4"},
    };
    for (const auto& c : casos) {
        SCOPED_TRACE(c.mensagem);
        GravaCnv("t.cnv", c.linhas);
        msgs.Limpa();
        EXPECT_FALSE(Carrega("X,1,t.cnv", c.maximo));
        EXPECT_EQ(ErroTabela, c.mensagem);
        EXPECT_EQ(msgs.Textos(), std::vector<std::string>{c.mensagem});
        EXPECT_EQ(d.NumCategorias, 0);
        EXPECT_TRUE(d.NomesCategoria.empty() && d.Direta.empty() && d.Valores.empty());
    }
}

TEST_F(TabelaCNV, MissingTableAndUnknownExtension) {
    EXPECT_FALSE(Carrega("X,1,nada.cnv"));
    EXPECT_EQ(ErroTabela, "NADA.CNV: Tabela de conversao nao encontrada");
    std::string txt = pasta.Grava("t.txt", "2 1\r\n");
    EXPECT_FALSE(Carrega("X,1,t.txt"));
    EXPECT_EQ(ErroTabela, txt + ": Tabela de conversao deve ser .CNV ou .DBF");
    EXPECT_EQ(msgs.Textos().size(), 2u);
    // A good load empties the error of the last one.
    GravaCnv("t.cnv", {"2 1"});
    EXPECT_TRUE(Carrega("X,1,t.cnv"));
    EXPECT_EQ(ErroTabela, "");
}

TEST_F(TabelaCNV, CodesRangesAndTheBlankThatEndsTheList) {
    GravaCnv("t.cnv",
             {"3 2", LinhaCNV("", "1", "Baixos", "01-05,07 09"), LinhaCNV("", "2", "Altos", "20-29,31-30,33")});
    ASSERT_TRUE(Carrega("X,1,t.cnv")) << ErroTabela;
    for (const char* c : {"01", "02", "05", "07"})
        EXPECT_EQ(Categoria(c, d), 1) << c;
    for (const char* c : {"00", "06", "08", "09", "30", "31", "32"})
        EXPECT_EQ(Categoria(c, d), 4) << c;
    for (const char* c : {"20", "25", "29", "33"})
        EXPECT_EQ(Categoria(c, d), 2) << c;
}

TEST_F(TabelaCNV, KeyTableCodesAndRanges) {
    GravaCnv("t.cnv", {"3 3 L", LinhaCNV("", "1", "Faixa", "100-199"), LinhaCNV("", "2", "Dentro", "150,210 220"),
                       LinhaCNV("", "3", "Errada", "400-300")});
    ASSERT_TRUE(Carrega("X,1,t.cnv")) << ErroTabela;
    EXPECT_EQ(Categoria("100", d), 1);
    EXPECT_EQ(Categoria("120", d), 1);
    EXPECT_EQ(Categoria("199", d), 1);
    EXPECT_EQ(Categoria("150", d), 2);
    EXPECT_EQ(Categoria("180", d), 1);
    EXPECT_EQ(Categoria("210", d), 2);
    EXPECT_EQ(Categoria("220", d), 4);
    EXPECT_EQ(Categoria("099", d), 4);
    EXPECT_EQ(Categoria("200", d), 4);
    // A range written the wrong way round stores nothing.
    EXPECT_EQ(Categoria("350", d), 4);
    EXPECT_EQ(Categoria("300", d), 4);
}

// Codes in descending order (the order that made every insertion shift the whole
// key table) give the same categories as in ascending order, ranges included.
TEST_F(TabelaCNV, KeyTableCodesInAnyOrderGiveTheSameCategories) {
    for (const bool descendente : {false, true}) {
        std::vector<std::string> linhas = {"3 5 L"};
        for (int i = 0; i < 3000; ++i) {
            const int n = descendente ? 99999 - i : 97000 + i;
            linhas.push_back(LinhaCNV("", n % 2 ? "1" : "2", n % 2 ? "Impar" : "Par", std::to_string(n)));
        }
        linhas.push_back(LinhaCNV("", "3", "Faixa", "10000-19999"));
        linhas.push_back(LinhaCNV("", "1", "", "15000,12000"));
        GravaCnv("t.cnv", linhas);
        ASSERT_TRUE(Carrega("X,1,t.cnv")) << ErroTabela;
        EXPECT_EQ(d.Indice.Quantidade(), 3004);
        EXPECT_EQ(Categoria("97001", d), 1) << descendente;
        EXPECT_EQ(Categoria("99998", d), 2) << descendente;
        EXPECT_EQ(Categoria("96999", d), 4) << descendente;
        EXPECT_EQ(Categoria("11000", d), 3) << descendente;
        EXPECT_EQ(Categoria("12000", d), 1) << descendente;
        EXPECT_EQ(Categoria("13000", d), 3) << descendente; // the range stays whole around 12000 and 15000
        EXPECT_EQ(Categoria("19999", d), 3) << descendente;
    }
}

TEST_F(TabelaCNV, KeyTableCapacityCountsCodesAndLinhasExtras) {
    std::vector<std::string> linhas = {"10 5"};
    std::string codigos;
    for (int i = 0; i < 10; ++i) {
        std::string c = "C000" + std::to_string(i);
        linhas.push_back(LinhaCNV("", std::to_string(i + 1), "Cod " + std::to_string(i), c));
    }
    GravaCnv("t.cnv", linhas);
    LinhasExtras = LinhasDiscriminadas;
    ASSERT_TRUE(Carrega("X,1,t.cnv")) << ErroTabela;
    EXPECT_EQ(d.Indice.Capacidade(), 10 + 16381);
    EXPECT_EQ(d.Valores.size(), 10u + 16381u + 2u);
    EXPECT_EQ(Categoria("C0007", d), 8);
    LinhasExtras = 0;
    ASSERT_TRUE(Carrega("X,1,t.cnv"));
    EXPECT_EQ(d.Indice.Capacidade(), 10);
}

TEST_F(TabelaCNV, LabelsAndValuesWhenSeveralLinesCarryOneCategory) {
    GravaCnv("t.cnv", {
                          "4 2",
                          LinhaCNV("", "1", "Primeiro", "01"),
                          LinhaCNV("  3", "1", "", "02"), // blank label keeps "Primeiro"
                          LinhaCNV("", "2", "Antigo", "03"),
                          LinhaCNV("-1", "2", "Novo", "04"), // a later label wins; "-1 " reads "-10"
                          LinhaCNV("ab", "3", "", "05"),     // no label at all; value not a number
                          LinhaCNV("  7", "   4", "Total geral de todas as categorias", ""),
                      });
    ASSERT_TRUE(Carrega("X,1,t.cnv")) << ErroTabela;
    EXPECT_EQ(d.NomesCategoria[1], "Primeiro");
    EXPECT_EQ(d.NomesCategoria[2], "Novo");
    EXPECT_EQ(d.NomesCategoria[3], "");
    EXPECT_EQ(d.NomesCategoria[4], "Total geral de todas as categorias");
    EXPECT_EQ(d.NomesCategoria.size(), 6u);
    EXPECT_EQ(d.Valores[1], 3);
    EXPECT_EQ(d.Valores[2], -10);
    EXPECT_EQ(d.Valores[3], -1);
    EXPECT_EQ(d.Valores[4], 7);
    EXPECT_EQ(d.LarguraRotulo, 34);
    EXPECT_EQ(Categoria("02", d), 1);
    EXPECT_EQ(Categoria("04", d), 2);
}

TEST_F(TabelaCNV, BlanksInTheFirstSevenColumnsAreZeros) {
    // "  5" in columns 1-3 is 005; " 1 2" in columns 4-7 is 0102 = 102.
    std::string linha = "  5 1 2  Cento e dois";
    linha.resize(60, ' ');
    linha += "AB";
    GravaCnv("t.cnv", {"200 2 L", linha, "       Zero"});
    EXPECT_FALSE(Carrega("X,1,t.cnv"));
    EXPECT_EQ(ErroTabela, (pasta.Caminho() / "t.cnv").string() + " : Indice nao valido na linha 0");
    GravaCnv("t.cnv", {"200 2 L", linha});
    ASSERT_TRUE(Carrega("X,1,t.cnv")) << ErroTabela;
    EXPECT_EQ(d.Valores[102], 5);
    EXPECT_EQ(Categoria("AB", d), 102);
    EXPECT_EQ(d.NomesCategoria[102], "Cento e dois");
}

TEST_F(TabelaCNV, CommentsBlankLinesAndLineEnds) {
    std::string texto = "; table of sexes\r\n\r\n   ; still nothing\n  2 1 ; N and width\r\n" +
                        LinhaCNV("", "1", "Masc", "1 ; ignored") + "\r\n" + "\r\n" + LinhaCNV("", "2", "Fem", "2;3") +
                        "   \n" + "; 3 only in a comment\n" + LinhaCNV("", "2", "", "4") + "\x1A";
    pasta.Grava("t.cnv", texto);
    ASSERT_TRUE(Carrega("X,1,t.cnv")) << ErroTabela;
    EXPECT_EQ(d.NomesCategoria[1], "Masc");
    EXPECT_EQ(d.NomesCategoria[2], "Fem");
    EXPECT_EQ(Categoria("1", d), 1);
    EXPECT_EQ(Categoria("2", d), 2);
    EXPECT_EQ(Categoria("3", d), 3);
    EXPECT_EQ(Categoria("4", d), 2);
}

TEST_F(TabelaCNV, AccentedLabelsKeepTheirColumns) {
    GravaCnv("t.cnv",
             {"2 1", LinhaCNV("", "1", "Regi\xE3o Nordeste \xE7\xE1", "1"), LinhaCNV("", "2", "\xC1gua", "2")});
    ASSERT_TRUE(Carrega("X,1,t.cnv")) << ErroTabela;
    EXPECT_EQ(d.NomesCategoria[1], "Regi\xE3o Nordeste \xE7\xE1");
    EXPECT_EQ(d.NomesCategoria[2], "\xC1gua");
    EXPECT_EQ(Categoria("2", d), 2);
}

TEST_F(TabelaCNV, NumericBounds) {
    GravaCnv("t.cnv", {"4 8 F", LinhaCNV("", "1", "Ate 10", "      10"), LinhaCNV("", "2", "Ate 20", "    20.0"),
                       LinhaCNV("", "4", "Ate 30", "     3e1")});
    ASSERT_TRUE(Carrega("IDADE,1,t.cnv")) << ErroTabela;
    EXPECT_EQ(d.Modo, 2);
    struct {
        const char* valor;
        int k;
    } casos[] = {{"10", 1}, {"-3", 1}, {"10.5", 2}, {" 20 ", 2}, {"25", 4}, {"30", 4}, {"31", 5}, {"1e9", 5}};
    for (const auto& c : casos)
        EXPECT_EQ(Categoria(c.valor, d), c.k) << c.valor;
    // Category 3 has no bound and never matches; nothing was shown.
    EXPECT_TRUE(std::isnan(d.Limites[3]));
    EXPECT_TRUE(msgs.Textos().empty());
}

TEST_F(TabelaCNV, InvalidNumbersAreShownOnceWithTheirCount) {
    GravaCnv("t.cnv", {"2 3 F", LinhaCNV("", "1", "Baixo", " 10"), LinhaCNV("", "2", "Alto", "100")});
    ASSERT_TRUE(Carrega("PESO,1,t.cnv"));
    EXPECT_EQ(Categoria("12kg", d), 2); // the number read so far
    EXPECT_EQ(Categoria("abc", d), 1);  // nothing read: 0
    EXPECT_EQ(Categoria("   ", d), 1);
    EXPECT_TRUE(msgs.Textos().empty());
    AvisaValoresInvalidos(d);
    const std::string esperado = "12kg:Valor Inv\xE1lido em PESO (3 valores inv\xE1lidos)";
    EXPECT_EQ(msgs.Textos(), std::vector<std::string>{esperado});
    EXPECT_EQ(log, std::vector<std::string>{esperado});
    AvisaValoresInvalidos(d); // counted afresh: nothing more
    Categoria("x", d);
    AvisaValoresInvalidos(d);
    EXPECT_EQ(msgs.Textos().back(), "x:Valor Inv\xE1lido em PESO");
    EXPECT_EQ(msgs.Textos().size(), 2u);
}

TEST_F(TabelaCNV, StartBeyondOneAndTheDefaultStart) {
    GravaCnv("t.cnv", {"2 2", LinhaCNV("", "1", "Um", "01"), LinhaCNV("", "2", "Dois", "02")});
    ASSERT_TRUE(Carrega("CODIGO,3,t.cnv"));
    EXPECT_EQ(d.Inicio, 3);
    EXPECT_EQ(Categoria("XX01", d), 1);
    EXPECT_EQ(Categoria("0102", d), 2);
    EXPECT_EQ(Categoria("01", d), 3); // nothing from position 3: no code
    ASSERT_TRUE(Carrega("CODIGO,t.cnv"));
    EXPECT_EQ(d.Inicio, 1);
    EXPECT_EQ(Categoria("0102", d), 1);
    ASSERT_TRUE(Carrega("codigo , x , t.cnv"));
    EXPECT_EQ(d.Inicio, 1);
    EXPECT_EQ(d.Campo, "CODIGO");
}

TEST_F(TabelaCNV, TableFoundInTheDefFolderWhateverTheCase) {
    std::filesystem::create_directory(pasta.Caminho() / "Tabelas");
    std::string real = pasta.Grava("Tabelas/Sexo.Cnv", "2 1\r\n" + LinhaCNV("", "1", "M", "1") + "\r\n");
    ASSERT_TRUE(Carrega("SEXO,1,tabelas\\sexo.cnv")) << ErroTabela;
    EXPECT_EQ(d.ArquivoTabela, real);
    // The same file named in full is used as written.
    ASSERT_TRUE(Carrega("SEXO,1," + real));
    EXPECT_EQ(d.ArquivoTabela, real);
    // Messages name the path used.
    pasta.Grava("Tabelas/Ruim.cnv", "x\r\n");
    EXPECT_FALSE(Carrega("SEXO,1,TABELAS/RUIM.CNV"));
    EXPECT_EQ(ErroTabela, (pasta.Caminho() / "Tabelas/Ruim.cnv").string() + ": Falta largura do codigo");
}

TEST_F(TabelaCNV, SignsCountAsTheNumberTheyReadAsAndCharactersPastZAreUnclassified) {
    GravaCnv("t.cnv", {"3 3", LinhaCNV("", "1", "Zero", "000"), LinhaCNV("", "2", "Cinco", "005"),
                       LinhaCNV("", "3", "Z", "Z99")});
    ASSERT_TRUE(Carrega("X,1,t.cnv"));
    EXPECT_EQ(d.Direta.size(), 2700u);
    for (const char* c : {"-05", "-1 ", "+5 ", "[05", "`05", "_00"})
        EXPECT_EQ(Categoria(c, d), 4) << c;
    for (const char* c : {"-00", "-  ", "---", "+0 "})
        EXPECT_EQ(Categoria(c, d), 1) << c;
    for (const char* c : {"+05", "0-5"})
        EXPECT_EQ(Categoria(c, d), 2) << c;
    EXPECT_EQ(Categoria("  5", d), 2);
    EXPECT_EQ(Categoria("z99", d), 3);
    EXPECT_EQ(Categoria("0x5", d), 2);
}

TEST_F(TabelaCNV, LiberaDimensaoEmptiesTheRecord) {
    GravaCnv("t.cnv", {"2 5", LinhaCNV("", "1", "Um", "00001")});
    ASSERT_TRUE(Carrega("X,1,t.cnv"));
    TDimensao copia = d; // records are copied by value when selections move
    LiberaDimensao(d);
    EXPECT_EQ(d.NumCategorias, 0);
    EXPECT_TRUE(d.NomesCategoria.empty());
    EXPECT_EQ(d.Indice.Quantidade(), 0);
    EXPECT_EQ(Categoria("00001", copia), 1);
    LiberaDimensao(d); // twice is harmless
}

} // namespace
} // namespace dorvan::teste

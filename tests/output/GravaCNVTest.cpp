#include "output/GravaCNV.h"

#include "Fixture.h"
#include "platform/Mensagens.h"
#include "tabulation/Utab.h"

#include <filesystem>
#include <map>
#include <sstream>

namespace dorvan {
namespace {

using teste::Linhas;
using teste::PastaTemporaria;
using teste::TabelaExemplo;

// A category line: number in 7 characters, two blanks, name in 51, code.
std::string LinhaCNV(int i, const std::string& nome, const std::string& codigo) {
    std::string n = std::to_string(i);
    return std::string(7 - n.size(), ' ') + n + "  " + nome + std::string(51 - nome.size(), ' ') + codigo;
}

TEST(GravaCNV, WritesTheHeaderAndOneCategoryPerRowWithTheCodeInColumn61) {
    PastaTemporaria p;
    ASSERT_TRUE(GravaCNV(TabelaExemplo(), p / "regiao.cnv"));
    const std::string s = p.Le("regiao.cnv");
    EXPECT_EQ(s, Linhas({
                     "4 2",
                     LinhaCNV(1, "11 Norte \"grande\", 'amaz\xF4nia'", "11"),
                     LinhaCNV(2, "12 Nordeste & <sert\xE3o>", "12"), // ';' would start a comment
                     LinhaCNV(3, "13 S\xE3o Paulo \x80 euro", "13"),
                     LinhaCNV(4, "14 Sul", "14"),
                 }));
    EXPECT_EQ(s.substr(s.find("\r\n") + 2 + 60, 2), "11");
}

TEST(GravaCNV, WithoutMostraCodigoOnlyTheNameAndLongNamesAreCutTo50) {
    PastaTemporaria p;
    TabelaResultados t = TabelaExemplo();
    t.MostraCodigo = false;
    t.Rotulo(4) = "14 " + std::string(60, 'n');
    ASSERT_TRUE(GravaCNV(t, p / "r.cnv"));
    const std::string s = p.Le("r.cnv");
    EXPECT_NE(s.find("\r\n" + LinhaCNV(1, "Norte \"grande\", 'amaz\xF4nia'", "11") + "\r\n"), std::string::npos);
    EXPECT_NE(s.find("\r\n" + LinhaCNV(4, std::string(50, 'n'), "14") + "\r\n"), std::string::npos);
}

// Reads a conversion table back the way the tabulation's loader does: comments
// from ';' dropped, the category in columns 4-7, the label in 10-59 and codes of
// the header's width from column 61. Gives code -> (category, label).
std::map<std::string, std::pair<int, std::string>> LeCNV(const std::string& conteudo) {
    std::istringstream in(conteudo);
    std::string linha;
    int largura = 0, n = 0;
    std::map<std::string, std::pair<int, std::string>> r;
    while (std::getline(in, linha)) {
        if (!linha.empty() && linha.back() == '\r') linha.pop_back();
        linha = linha.substr(0, linha.find(';'));
        linha.erase(linha.find_last_not_of(' ') + 1);
        if (linha.empty()) continue;
        if (largura == 0) {
            std::istringstream h(linha);
            h >> n >> largura;
            continue;
        }
        std::string k = linha.substr(3, 4);
        for (char& c : k)
            if (c == ' ') c = '0';
        std::string rotulo = linha.substr(9, 50);
        rotulo.erase(rotulo.find_last_not_of(' ') + 1);
        EXPECT_GE(linha.size(), 60u + static_cast<std::size_t>(largura)) << linha;
        r[linha.substr(60, static_cast<std::size_t>(largura))] = {std::stoi(k), rotulo};
    }
    EXPECT_EQ(static_cast<int>(r.size()), n);
    return r;
}

TEST(GravaCNV, LoadsBackWithEveryCodeInItsCategory) {
    PastaTemporaria p;
    TabelaResultados t = TabelaExemplo();
    t.Rotulo(2) = "12 Nordeste;;; com ponto e v\xEDrgula";
    ASSERT_TRUE(GravaCNV(t, p / "r.cnv"));
    const auto lido = LeCNV(p.Le("r.cnv"));
    for (std::int32_t r = 1; r <= t.NumLinhas; ++r) {
        const std::string codigo = t.Rotulo(r).substr(0, 2);
        ASSERT_EQ(lido.count(codigo), 1u) << codigo;
        EXPECT_EQ(lido.at(codigo).first, r);
        std::string nome = t.Rotulo(r);
        std::erase(nome, ';');
        EXPECT_EQ(lido.at(codigo).second, nome);
    }
}

// The tabulation's own loader takes the written table: every code of the table
// classifies into its row's category, under that row's label.
TEST(GravaCNV, TheTabulationLoaderClassifiesEveryCodeIntoItsRow) {
    PastaTemporaria p;
    TabelaResultados t = TabelaExemplo();
    ASSERT_TRUE(GravaCNV(t, p / "r.cnv"));
    MensagensRoteiro m;
    UsaMensagens usa(m);
    TDimensao d;
    const std::string titulo = "Regiao" + std::string(13, ' ');
    ASSERT_TRUE(LeDimensao(titulo + "REGIAO,1," + (p / "r.cnv"), MaximoLinhas, d)) << ErroTabela;
    EXPECT_TRUE(m.Registros().empty());
    ASSERT_EQ(d.NumCategorias, t.NumLinhas);
    for (std::int32_t r = 1; r <= t.NumLinhas; ++r) {
        const std::string codigo = t.Rotulo(r).substr(0, 2);
        EXPECT_EQ(Categoria(codigo, d), r) << codigo;
        std::string nome = t.Rotulo(r).substr(0, 50);
        std::erase(nome, ';'); // it would start a comment
        EXPECT_EQ(d.NomesCategoria[static_cast<std::size_t>(r)], nome) << r;
    }
    EXPECT_EQ(Categoria("99", d), t.NumLinhas + 1);
    LiberaDimensao(d);
}

TEST(GravaCNV, TablesTheLoaderCannotReadAreRefusedWithAMessage) {
    struct Caso {
        const char* nome;
        void (*prepara)(TabelaResultados&);
        const char* mensagem;
    };
    const Caso casos[] = {
        {"sem c\xF3"
         "digo",
         [](TabelaResultados& t) { t.TamCodigo = SemCodigo; }, "Precisa de chave nas linhas para gerar .CNV"},
        {"10000 linhas",
         [](TabelaResultados& t) {
             t.AlocaLinhas(10000, 10000);
             for (std::int32_t r = 1; r <= 10000; ++r)
                 t.Rotulo(r) = std::to_string(10000 + r) + " x";
             t.TamCodigo = 5;
         },
         "A tabela tem 10000 linhas; um arquivo .CNV comporta no m\xE1ximo 9999."},
        {"c\xF3"
         "digo com ;",
         [](TabelaResultados& t) { t.Rotulo(3) = "1; Sudeste"; },
         "O c\xF3"
         "digo \"1;\" da linha 3 tem ';' ou ',' e n\xE3o pode ir para um arquivo .CNV."},
    };
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.nome);
        PastaTemporaria p;
        TabelaResultados t = TabelaExemplo();
        c.prepara(t);
        MensagensRoteiro m;
        UsaMensagens usa(m);
        EXPECT_FALSE(GravaCNV(t, p / "r.cnv"));
        EXPECT_EQ(m.Textos(), std::vector<std::string>{c.mensagem});
        EXPECT_TRUE(std::filesystem::is_empty(p.Caminho()));
    }
}

// Every CNV the export writes loads back in the tabulation, each row's code
// classifying into that row; what it cannot write so is refused with a message
// and no file.
TEST(GravaCNV, EveryFileWrittenLoadsBackOrNoneIsWritten) {
    struct Caso {
        const char* nome;
        std::int32_t tamCodigo;
        std::vector<std::string> rotulos;
    };
    const Caso casos[] = {
        {"c\xF3" "digo com branco no fim", 2, {"1  um", "10 dez", "2  dois"}},
        {"c\xF3" "digo com branco no meio", 3, {"1 2 um", "102 dois", "1 3 tres"}},
        {"c\xF3" "digo com branco no come\xE7o", 2, {" 7 sete", "07 zero sete", "70 setenta"}},
        {"letras depois do come\xE7o", 2, {"AB a", "A0 b", "ab c"}},
        {"r\xF3tulo mais curto que o c\xF3" "digo", 3, {"12", "123 x", "1"}},
        {"c\xF3" "digo longo", 6, {"355030 S\xE3o Paulo", "35503  sem d\xEDgito", "3550 1 meio"}},
    };
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.nome);
        PastaTemporaria p;
        TabelaResultados t;
        t.AlocaLinhas(static_cast<std::int32_t>(c.rotulos.size()), static_cast<std::int32_t>(c.rotulos.size()));
        t.DefineNomeColuna(0, "Local");
        for (std::size_t r = 0; r < c.rotulos.size(); ++r)
            t.Rotulo(static_cast<std::int32_t>(r) + 1) = c.rotulos[r];
        ASSERT_TRUE(AcrescentaColuna(t, "Casos", 0));
        t.TamCodigo = c.tamCodigo;
        MensagensRoteiro m;
        UsaMensagens usa(m);
        if (!GravaCNV(t, p / "r.cnv")) {
            EXPECT_EQ(m.Textos().size(), 1u);
            EXPECT_TRUE(std::filesystem::is_empty(p.Caminho()));
            continue;
        }
        EXPECT_TRUE(m.Textos().empty());
        TDimensao d;
        ASSERT_TRUE(LeDimensao("Local              REGIAO,1," + (p / "r.cnv"), MaximoLinhas, d)) << ErroTabela;
        ASSERT_EQ(d.NumCategorias, t.NumLinhas);
        for (std::int32_t r = 1; r <= t.NumLinhas; ++r) {
            std::string codigo = t.Rotulo(r).substr(0, static_cast<std::size_t>(c.tamCodigo));
            codigo.resize(static_cast<std::size_t>(c.tamCodigo), ' ');
            EXPECT_EQ(Categoria(codigo, d), r) << '"' << codigo << '"';
        }
        LiberaDimensao(d);
    }
    // A table of no rows is refused rather than written with a header the loader refuses.
    PastaTemporaria p;
    TabelaResultados vazia = TabelaExemplo();
    vazia.NumLinhas = 0;
    MensagensRoteiro m;
    UsaMensagens usa(m);
    EXPECT_FALSE(GravaCNV(vazia, p / "v.cnv"));
    EXPECT_EQ(m.Textos().size(), 1u);
}

TEST(GravaSPRING, WritesTheHeaderFieldsAndRowsWithCommasRemoved) {
    PastaTemporaria p;
    GravaSPRING(TabelaExemplo(), p / "regiao_tab.spr", "Regioes");
    EXPECT_EQ(p.Le("regiao_tab.spr"), Linhas({
                                          "TABLE",
                                          "INFO",
                                          "// Popula\xE7\xE3o residente",
                                          "// Brasil & regi\xF5"
                                          "es <2020>",
                                          "// Fonte: \"IBGE\"; 2020",
                                          "// mapas\\regiao.map",
                                          "SEPARATOR ,",
                                          "UNFORMATED",
                                          "DATABASE Dorvan",
                                          "CATEGORY_OBJ Regioes",
                                          "T_KEY,TEXT,32,0",
                                          "T_NAME,TEXT,32,0",
                                          "REGIAO,CHAR,20,0",
                                          "POPULACA,FLOAT,13,0",
                                          "TAXAMIL,FLOAT,13,2",
                                          "COLC,FLOAT,13,0",
                                          "INFO_END",
                                          "11,11,Norte \"grande\" 'amaz\xF4nia',1000,1.50,3",
                                          "12,12,Nordeste; & <sert\xE3o>,25000,-2.25,0",
                                          "13,13,S\xE3o Paulo \x80 euro,0,0.00,7",
                                          "14,14,Sul,123456789,10.13,0",
                                          "END",
                                          "END",
                                      }));
}

TEST(GravaSPRING, FieldNamesAreDistinctLettersOfAtMostEightCharacters) {
    PastaTemporaria p;
    TabelaResultados t = TabelaExemplo();
    t.DefineNomeColuna(0, "T_key");
    t.DefineNomeColuna(1, "Popula\xE7\xE3o total");
    t.DefineNomeColuna(2, "Populacao urbana");
    t.DefineNomeColuna(3, "2000");
    GravaSPRING(t, p / "t.spr", CategoriaPadraoSPRING(t));
    const std::string s = p.Le("t.spr");
    EXPECT_NE(s.find("CATEGORY_OBJ T_key\r\n"), std::string::npos);
    EXPECT_NE(s.find("T_KEY,TEXT,32,0\r\nT_NAME,TEXT,32,0\r\nT_KEYB,CHAR,20,0\r\nPOPULACA,FLOAT,13,0\r\n"
                     "POPULACB,FLOAT,13,2\r\nCOLC,FLOAT,13,0\r\nINFO_END\r\n"),
              std::string::npos)
        << s;
    EXPECT_EQ(NomeCampoSPRING("_a1b"), "AB");
    EXPECT_EQ(NomeCampoSPRING("\xC1rea colhida"), "AREACOLH");
}

} // namespace
} // namespace dorvan

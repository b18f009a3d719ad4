#include "output/GravaDBF.h"

#include "Fixture.h"
#include "platform/Erros.h"
#include "platform/Mensagens.h"

#include <filesystem>
#include <limits>

namespace dorvan {
namespace {

using teste::PastaTemporaria;
using teste::TabelaExemplo;

std::string Campos(const std::vector<CampoDBF>& campos) {
    std::string r;
    for (const CampoDBF& c : campos)
        r += c.Nome + " " + c.Tipo + std::to_string(c.Tamanho) + "." + std::to_string(c.Decimais) + ";";
    return r;
}

TEST(GravaDBF, FieldsHoldTheCodeTheLongestLabelAndTheWidestValue) {
    TabelaResultados t = TabelaExemplo();
    t.Coluna(1).Largura = 5; // narrower than 123456789
    std::string erro;
    EXPECT_EQ(Campos(CamposParaDBF(t, erro)), "CODIGO C2.0;REGIAO C26.0;POPULACAO N9.0;TAXA_100_M N13.2;X1991 N13.0;");
    EXPECT_EQ(erro, "");

    t.TamCodigo = SemCodigo;
    t.DefineNomeColuna(0, "Codigo");
    t.DefineNomeColuna(2, "C\xF3"
                          "digo");
    t.DefineNomeColuna(3, "");
    t.Coluna(2).Decimais = 40;
    EXPECT_EQ(Campos(CamposParaDBF(t, erro)), "CODIGO C29.0;POPULACAO N9.0;CODIGO_2 N18.15;COLUNA3 N13.0;");
}

TEST(GravaDBF, ANumericFieldIsRefusedOnlyForAValueNoFieldCanHold) {
    TabelaResultados t = TabelaExemplo();
    t.Coluna(1).Largura = 300; // a shown width beyond a field's: the field takes what it can
    t.Coluna(2).Largura = -4;
    std::string erro;
    EXPECT_EQ(Campos(CamposParaDBF(t, erro)), "CODIGO C2.0;REGIAO C26.0;POPULACAO N255.0;TAXA_100_M N5.2;X1991 N13.0;");
    EXPECT_EQ(erro, "");

    t.Dado(3, 2) = -1e300;
    EXPECT_TRUE(CamposParaDBF(t, erro).empty());
    EXPECT_EQ(erro, "A coluna 1991 tem valores grandes demais para um campo num\xE9rico de DBF.");
    PastaTemporaria p;
    MensagensRoteiro m;
    UsaMensagens usa(m);
    EXPECT_FALSE(GravaDBF(t, p / "t.dbf", false));
    EXPECT_EQ(m.Textos(), std::vector<std::string>{erro});
    EXPECT_TRUE(std::filesystem::is_empty(p.Caminho()));
}

// Reads the DBF in R and prints names, stored types, labels decoded by the
// language byte, and column sums.
const char* LeituraR = R"(
    library(foreign)
    x <- read.dbf("t.dbf", as.is = TRUE)
    con <- file("t.dbf", "rb"); h <- readBin(con, "raw", 32); close(con)
    enc <- if (as.integer(h[30]) == 2) "CP850" else "CP1252"
    writeLines(paste(names(x), collapse = "|"))
    writeLines(paste(attr(x, "data_types"), collapse = "|"))
    writeLines(paste(x[[1]], collapse = "|"))
    writeLines(iconv(x[[2]], enc, "UTF-8"))
    writeLines(sprintf("%.2f", colSums(x[sapply(x, is.numeric)], na.rm = TRUE)))
    writeLines(paste(which(is.na(x[[4]])), collapse = ","))
)";

TEST(GravaDBF, RReadsNamesTypesValuesAndAccentsByTheLanguageByte) {
    for (bool cp850 : {true, false}) {
        SCOPED_TRACE(cp850 ? "850" : "1252");
        PastaTemporaria p;
        TabelaResultados t = TabelaExemplo();
        t.Dado(2, 3) = std::numeric_limits<double>::quiet_NaN(); // stays blank: missing in R
        ASSERT_TRUE(GravaDBF(t, p / "t.dbf", cp850));
        EXPECT_EQ(static_cast<unsigned char>(p.Le("t.dbf")[29]), cp850 ? 2 : 3);
        const std::string saida = teste::RodaR(p, LeituraR);
        std::string esperado = "CODIGO|REGIAO|POPULACAO|TAXA_100_M|X1991\nC|C|N|N|N\n11|12|13|14\n";
        for (std::int32_t r = 1; r <= 4; ++r)
            esperado += ParaUtf8(t.Rotulo(r).substr(3)) + "\n";
        esperado += "123482789.00\n9.38\n10.00\n3\n";
        // Code page 850 has no euro sign: that one byte cannot survive the DOS labels.
        if (cp850) {
            const std::string euro = ParaUtf8("\x80");
            esperado.replace(esperado.find(euro), euro.size(), "\xC3\x87");
        }
        EXPECT_EQ(saida, esperado);
    }
}

TEST(GravaDBF, MoreFieldsThanADBFHoldsAreRefusedBeforeAnyFileIsWritten) {
    TabelaResultados t = TabelaExemplo();
    while (t.NumColunas() < 254)
        AcrescentaColuna(t, "c", 0);
    PastaTemporaria p;
    p.Grava("t.dbf", "antigo");
    MensagensRoteiro m;
    UsaMensagens usa(m);
    EXPECT_FALSE(GravaDBF(t, p / "t.dbf", true));
    EXPECT_EQ(m.Textos(),
              std::vector<std::string>{"A tabela precisaria de 256 campos; um arquivo DBF comporta no m\xE1ximo 255."});
    EXPECT_TRUE(p.Le("t.dbf") == "antigo");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(p.Caminho()), {}), 1);

    RemoveUltimaColuna(t); // 255 fields fit
    m.Limpa();
    EXPECT_TRUE(GravaDBF(t, p / "t.dbf", true));
    EXPECT_TRUE(m.Textos().empty());
    dbfRecord h;
    OpenDBF(h, p / "t.dbf");
    EXPECT_EQ(h.NumCampos, 255);
    EXPECT_EQ(h.NumRegs, 4);
    EXPECT_EQ(h.Campo(255).Nome, "C_250");
    CloseDBF(h);
}

} // namespace
} // namespace dorvan

namespace dorvan {
namespace {

// A full disk during a DBF export: the message names the file the user chose, and
// nothing stays on the disk, not even a hidden temporary.
TEST(GravaDBF, AFullDiskNamesTheChosenFileAndLeavesNothing) {
    teste::DiscoPequeno disco(64 * 1024);
    DORVAN_PULA_SEM_DISCO(disco);
    // Enough rows for far more than the disk holds.
    TabelaResultados grande;
    grande.AlocaLinhas(20000, 20000);
    grande.DefineNomeColuna(0, "Nome");
    AcrescentaColuna(grande, "Valor", 2);
    for (std::int32_t r = 1; r <= grande.NumLinhas; ++r) {
        grande.Rotulo(r) = "Linha numero " + std::to_string(r) + " de uma tabela grande";
        grande.Dado(1, r) = r * 1.5;
    }
    const std::string alvo = disco / "alvo.dbf";
    try {
        GravaDBF(grande, alvo, false);
        ADD_FAILURE() << "a full disk went unnoticed";
    } catch (const ErroES& e) {
        EXPECT_STREQ(e.what(), ("Erro de E/S em " + alvo + ": disco cheio").c_str());
    }
    EXPECT_EQ(disco.Nomes(), std::vector<std::string>{});
}

} // namespace
} // namespace dorvan

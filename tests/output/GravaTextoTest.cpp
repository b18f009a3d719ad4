#include "output/GravaTexto.h"

#include "output/SaidaTexto.h"

#include "Fixture.h"
#include "platform/Erros.h"

#include <QLocale>
#include <cmath>
#include <limits>

namespace dorvan {
namespace {

using teste::Linhas;
using teste::PastaTemporaria;
using teste::TabelaExemplo;

TEST(GravaCSV, WritesQuotedTitlesAndLabelsPlainValuesAndTotalsInStoredOrder) {
    PastaTemporaria p;
    GravaCSV(TabelaExemplo(), p / "tabela.csv");
    EXPECT_EQ(p.Le("tabela.csv"), Linhas({
                                      "\"Regi\xE3o\",\"Popula\xE7\xE3o\",\"Taxa/100 mil\",\"1991\"",
                                      "\"11 Norte \"\"grande\"\", 'amaz\xF4nia'\",1000,1.50,3",
                                      "\"12 Nordeste; & <sert\xE3o>\",25000,-2.25,0",
                                      "\"13 S\xE3o Paulo \x80 euro\",0,0.00,7",
                                      "\"14 Sul\",123456789,10.13,0",
                                      "\"Total\",123482789,9.38,10",
                                  }));
}

TEST(GravaCSV, ReadByRWithEqualFieldCountsQuotesAndAccentsIntact) {
    PastaTemporaria p;
    const TabelaResultados t = TabelaExemplo();
    GravaCSV(t, p / "tabela.csv");
    const std::string saida = teste::RodaR(p, R"(
        n <- count.fields("tabela.csv", sep = ",", quote = "\"", comment.char = "")
        x <- read.csv("tabela.csv", fileEncoding = "CP1252", check.names = FALSE, stringsAsFactors = FALSE)
        writeLines(paste("campos", paste(unique(n), collapse = ",")))
        writeLines(paste(names(x), collapse = "|"))
        writeLines(x[[1]])
        dados <- x[-nrow(x), -1]
        writeLines(sprintf("%.2f", colSums(dados)))
        writeLines(sprintf("%.2f", unlist(x[nrow(x), -1])))
    )");
    std::string esperado = "campos 4\n" + ParaUtf8("Regi\xE3o|Popula\xE7\xE3o|Taxa/100 mil|1991") + "\n";
    for (std::int32_t r = 1; r <= t.NumLinhas; ++r)
        esperado += ParaUtf8(t.Rotulo(r)) + "\n";
    esperado += "Total\n123482789.00\n9.38\n10.00\n123482789.00\n9.38\n10.00\n";
    EXPECT_EQ(saida, esperado);
}

TEST(GravaTabelaR, ReadTableGivesDimensionsTitlesRowNamesAndSums) {
    PastaTemporaria p;
    TabelaResultados t = TabelaExemplo();
    t.DefineNomeColuna(2, "Taxa \"bruta\"");
    GravaTabelaR(t, p / "dorvan.in");
    EXPECT_EQ(p.Le("dorvan.in"), Linhas({
                                     "\"Popula\xE7\xE3o\" \"Taxa bruta\" \"1991\"",
                                     "\"11 Norte grande, 'amaz\xF4nia'\" 1000 1.50 3",
                                     "\"12 Nordeste; & <sert\xE3o>\" 25000 -2.25 0",
                                     "\"13 S\xE3o Paulo \x80 euro\" 0 0.00 7",
                                     "\"14 Sul\" 123456789 10.13 0",
                                 }));
    const std::string saida = teste::RodaR(p, R"(
        x <- read.table("dorvan.in", check.names = FALSE, fileEncoding = "CP1252")
        writeLines(paste(dim(x), collapse = "x"))
        writeLines(paste(names(x), collapse = "|"))
        writeLines(rownames(x))
        writeLines(sprintf("%.2f", colSums(x)))
    )");
    EXPECT_EQ(saida, "4x3\n" +
                         ParaUtf8("Popula\xE7\xE3o|Taxa bruta|1991\n11 Norte grande, 'amaz\xF4nia'\n"
                                  "12 Nordeste; & <sert\xE3o>\n13 S\xE3o Paulo \x80 euro\n14 Sul\n") +
                         "123482789.00\n9.38\n10.00\n");
}

TEST(GravaTabelaR, ABackslashEndingATitleOrLabelDoesNotEscapeItsClosingQuote) {
    PastaTemporaria p;
    TabelaResultados t = TabelaExemplo();
    t.DefineNomeColuna(3, "1991\\\\");
    t.Rotulo(2) = "12 C:\\dados\\";
    t.Rotulo(4) = "\\";
    GravaTabelaR(t, p / "dorvan.in");
    const std::string s = p.Le("dorvan.in");
    EXPECT_NE(s.find(" \"1991\"\r\n\"11 "), std::string::npos) << s;
    EXPECT_NE(s.find("\r\n\"12 C:\\dados\" 25000 "), std::string::npos) << s;
    EXPECT_NE(s.find("\r\n\"\" 123456789 "), std::string::npos) << s;
    const std::string saida = teste::RodaR(p, R"(
        x <- read.table("dorvan.in", check.names = FALSE, fileEncoding = "CP1252")
        writeLines(paste(dim(x), collapse = "x"))
        writeLines(names(x)[3])
        writeLines(rownames(x)[c(2, 4)])
    )");
    EXPECT_EQ(saida, "4x3\n1991\n12 C:\\dados\n\n");
}

TEST(GravaTextoTab, UsesTabsTheLocaleDecimalMarkAndADummyColumnWhenThereAreNone) {
    PastaTemporaria p;
    QLocale anterior;
    QLocale::setDefault(QLocale(QLocale::Portuguese, QLocale::Brazil));
    TabelaResultados t = TabelaExemplo();
    GravaTextoTab(t, p / "ClipBoard.prn");
    EXPECT_EQ(p.Le("ClipBoard.prn"), Linhas({
                                         "\"Regi\xE3o\"\t\"Popula\xE7\xE3o\"\t\"Taxa/100 mil\"\t\"1991\"",
                                         "\"11 Norte grande, 'amaz\xF4nia'\"\t1000\t1,50\t3",
                                         "\"12 Nordeste; & <sert\xE3o>\"\t25000\t-2,25\t0",
                                         "\"13 S\xE3o Paulo \x80 euro\"\t0\t0,00\t7",
                                         "\"14 Sul\"\t123456789\t10,13\t0",
                                         "\"Total\"\t123482789\t9,38\t10",
                                     }));
    while (t.NumColunas() > 0)
        RemoveUltimaColuna(t);
    GravaTextoTab(t, p / "vazia.prn");
    QLocale::setDefault(anterior);
    EXPECT_EQ(p.Le("vazia.prn"), Linhas({
                                     "\"Regi\xE3o\";\"DUMMY\"",
                                     "\"11 Norte grande, 'amaz\xF4nia'\";0",
                                     "\"12 Nordeste; & <sert\xE3o>\";0",
                                     "\"13 S\xE3o Paulo \x80 euro\";0",
                                     "\"14 Sul\";0",
                                     "\"Total\";0",
                                 }));
}

TEST(GravaTexto, ValuesThatAreNotNumbersBecomeTheFormatsMissingValue) {
    PastaTemporaria p;
    TabelaResultados t = TabelaExemplo();
    t.Dado(1, 1) = std::numeric_limits<double>::quiet_NaN();
    t.Dado(2, 2) = std::numeric_limits<double>::infinity();
    t.Coluna(3).Total = -std::numeric_limits<double>::infinity();
    GravaCSV(t, p / "t.csv");
    GravaTabelaR(t, p / "t.in");
    GravaTextoTab(t, p / "t.prn");
    EXPECT_NE(p.Le("t.csv").find("'amaz\xF4nia'\",,1.50,3\r\n"), std::string::npos);
    EXPECT_NE(p.Le("t.csv").find("\"Total\",123482789,9.38,\r\n"), std::string::npos);
    EXPECT_NE(p.Le("t.in").find("'amaz\xF4nia'\" NA 1.50 3\r\n"), std::string::npos);
    EXPECT_NE(p.Le("t.in").find("25000 NA 0\r\n"), std::string::npos);
    for (const char* arq : {"t.csv", "t.in", "t.prn"}) {
        const std::string s = p.Le(arq);
        for (const char* proibido : {"nan", "inf", "NaN", "Inf"})
            EXPECT_EQ(s.find(proibido), std::string::npos) << arq << ": " << proibido;
    }
}

TEST(GravaTexto, AnUnwritableTargetThrowsAndAnExistingFileIsReplaced) {
    PastaTemporaria p;
    EXPECT_THROW(GravaCSV(TabelaExemplo(), p / "falta/t.csv"), ErroES);
    p.Grava("t.csv", "antigo");
    GravaCSV(TabelaExemplo(), p / "t.csv");
    EXPECT_NE(p.Le("t.csv"), "antigo");
}

} // namespace
} // namespace dorvan

namespace dorvan {
namespace {

TEST(NumeroFixoLocal, FixedDecimalsWithTheGivenMarkAndExponentBeyondTheDigits) {
    struct Caso {
        double valor;
        int decimais, digitos;
        const char* esperado;
    } casos[] = {
        {1234.5, 2, 20, "1234,50"},
        {-0.004, 2, 20, "0,00"}, // no "-0"
        {2.5, 0, 20, "3"},       // ties away from zero
        {1e25, 0, 20, "1,00000000000000E+25"},
        {123456789012345678.0, 1, 15, "1,23456789012346E+17"},
    };
    for (const Caso& c : casos)
        EXPECT_EQ(NumeroFixoLocal(c.valor, c.decimais, c.digitos, ","), c.esperado) << c.valor;
}

} // namespace
} // namespace dorvan

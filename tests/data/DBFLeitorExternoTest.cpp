// Our DBF files against an outside dBASE reader and writer (R's foreign package).
#include "data/LeDBF32.h"

#include "platform/Numeros.h"
#include "platform/Processos.h"
#include "support/ApoioTeste.h"

#include <gtest/gtest.h>

namespace dorvan {
namespace {

using teste::PastaTemporaria;

std::string R(const std::string& expressao) {
    std::string saida;
    int rc = teste::Executa("Rscript --vanilla -e '" + expressao + "' 2>&1", &saida);
    EXPECT_EQ(rc, 0) << saida;
    return saida;
}

TEST(DBFLeitorExterno, FileWrittenByRIsReadFieldByField) {
    ASSERT_FALSE(AchaNoPath("Rscript").empty()) << "R is listed in scripts/packages.txt";
    PastaTemporaria pasta;
    auto nome = pasta / "r.dbf";
    R("library(foreign); d <- data.frame(NOME=c(\"Ana\",\"Beatriz\",\"Caio\"), IDADE=c(34L,NA,7L), "
      "PESO=c(70.5,-3.25,0), VIVO=c(TRUE,FALSE,TRUE), NASC=as.Date(c(\"1990-01-31\",\"2001-12-01\",\"2024-02-29\")), "
      "stringsAsFactors=FALSE); write.dbf(d, \"" +
      nome + "\")");
    dbfRecord h;
    OpenDBF(h, nome);
    ASSERT_EQ(h.Estado, 1);
    ASSERT_EQ(h.NumRegs, 3);
    ASSERT_EQ(h.NumCampos, 5);
    const char* nomes[] = {"NOME", "IDADE", "PESO", "VIVO", "NASC"};
    const char tipos[] = {'C', 'N', 'N', 'L', 'D'};
    for (int i = 1; i <= 5; ++i) {
        EXPECT_EQ(h.Campo(i).Nome, nomes[i - 1]);
        EXPECT_EQ(h.Campo(i).Tipo, tipos[i - 1]);
    }
    auto apara = [](std::string s) {
        while (!s.empty() && s.back() == ' ')
            s.pop_back();
        while (!s.empty() && s.front() == ' ')
            s.erase(0, 1);
        return s;
    };
    readDBF(h, 2);
    EXPECT_EQ(apara(GetFieldDBF(h, 1)), "Beatriz");
    EXPECT_EQ(GetFieldDBF(h, 2), std::string(h.Campo(2).Tamanho, '*')); // R's missing number
    EXPECT_EQ(LeNumeroMaquina(GetFieldDBF(h, 3)), -3.25);
    EXPECT_EQ(GetFieldDBF(h, 4), "F");
    EXPECT_EQ(GetFieldDBF(h, 5), "20011201");
    readDBF(h, 3);
    EXPECT_EQ(apara(GetFieldDBF(h, 1)), "Caio");
    EXPECT_EQ(apara(GetFieldDBF(h, 2)), "7");
    EXPECT_EQ(GetFieldDBF(h, 5), "20240229");
}

TEST(DBFLeitorExterno, FileWeWriteIsReadByR) {
    PastaTemporaria pasta;
    auto nome = pasta / "nosso.dbf";
    {
        dbfRecord h;
        CreateDBF(h, nome,
                  {{"CODMUN", 'C', 6}, {"OBITOS", 'N', 6, 0}, {"TAXA", 'N', 8, 2}, {"DATA", 'D', 8}, {"OK", 'L', 1}},
                  3);
        std::string reg(h.TamRegistro, ' ');
        const char* linhas[][5] = {{"355030", "123", "45.67", "20240131", "T"},
                                   {"330455", "0", "-1.50", "19991231", "F"},
                                   {"AB C", "999999", "0.00", "20000229", "T"}};
        for (auto& l : linhas) {
            for (int i = 0; i < 5; ++i)
                PutFieldDBF(h, i + 1, l[i], reg.data());
            AppendDBF(h, reg.data());
        }
        CloseDBF(h);
    }
    std::string saida = R("library(foreign); d <- read.dbf(\"" + nome +
                          "\", as.is=TRUE); cat(nrow(d), ncol(d), names(d), \"\\n\"); "
                          "for (i in 1:nrow(d)) cat(d$CODMUN[i], d$OBITOS[i], format(d$TAXA[i], nsmall=2), "
                          "format(d$DATA[i]), d$OK[i], \"\\n\", sep=\"|\")");
    EXPECT_EQ(saida, "3 5 CODMUN OBITOS TAXA DATA OK \n"
                     "355030|123|45.67|2024-01-31|TRUE|\n"
                     "330455|0|-1.50|1999-12-31|FALSE|\n"
                     "AB C|999999|0.00|2000-02-29|TRUE|\n");
}

} // namespace
} // namespace dorvan

// Cells that are not numbers cannot enter the table, but a writer must never
// put "nan" or "inf" into a file another program will read.
#include "Fixture.h"
#include "output/GravaCNV.h"
#include "output/GravaDBF.h"
#include "output/GravaPalm.h"
#include "output/GravaSQL.h"
#include "output/GravaTexto.h"
#include "output/GravaXML.h"

#include <filesystem>
#include <limits>
#include <regex>

namespace dorvan {
namespace {

TEST(Exportacoes, ValuesThatAreNotNumbersNeverReachAFile) {
    teste::PastaTemporaria p;
    TabelaResultados t = teste::TabelaExemplo();
    t.Dado(1, 1) = std::numeric_limits<double>::quiet_NaN();
    t.Dado(2, 2) = std::numeric_limits<double>::infinity();
    t.Dado(3, 3) = -std::numeric_limits<double>::infinity();
    t.Coluna(1).Total = std::numeric_limits<double>::quiet_NaN();
    t.Coluna(2).Total = std::numeric_limits<double>::infinity();

    GravaCSV(t, p / "t.csv");
    GravaTabelaR(t, p / "t.in");
    GravaTextoTab(t, p / "t.prn");
    GravaXML(t, p / "t.xml");
    GravaHTML(t, p / "t.htm");
    GravaSQL(t, p / "t.sql");
    ASSERT_TRUE(GravaDBF(t, p / "t.dbf", false));
    ASSERT_TRUE(GravaCNV(t, p / "t.cnv"));
    GravaSPRING(t, p / "t_tab.spr", "x");
    GravaDadosPalm(t, p / "palm.txt", false);
    GravaDadosPalm(t, p / "mdb.txt", true);

    // The words as a number would print them ("INFO" of the SPRING header is no number).
    const std::regex palavra("(^|[^a-z])(nan|inf)([^a-z]|$)", std::regex::icase);
    ASSERT_TRUE(std::regex_search(std::string("1,-inf\r\n"), palavra));
    int arquivos = 0;
    for (const auto& e : std::filesystem::directory_iterator(p.Caminho())) {
        const std::string s = p.Le(e.path().filename().string());
        EXPECT_FALSE(std::regex_search(s, palavra)) << e.path();
        ++arquivos;
    }
    EXPECT_EQ(arquivos, 11);
    EXPECT_NE(p.Le("t.xml").find("<Popula\xE7\xE3o></Popula\xE7\xE3o>"), std::string::npos);
    EXPECT_NE(p.Le("t.sql").find("''amaz\xF4nia''',NULL,1.50,3);"), std::string::npos);
    EXPECT_NE(p.Le("t_tab.spr").find("13,13,S\xE3o Paulo \x80 euro,0,0.00,\r\n"), std::string::npos);
}

} // namespace
} // namespace dorvan

#include "output/GravaPalm.h"

#include "Fixture.h"
#include "platform/Mensagens.h"

#include <QLocale>
#include <filesystem>
#include <sstream>

namespace dorvan {
namespace {

using teste::Linhas;
using teste::PastaTemporaria;
using teste::TabelaExemplo;

TEST(GravaPalm, DescribesTheFieldsForEachKindOfDatabase) {
    const TabelaResultados t = TabelaExemplo();
    EXPECT_EQ(DescricaoPalm(t, "uma tabela com nome bem comprido demais", false),
              Linhas({
                  "title \"uma tabela com nome bem comprid\"",
                  "field \"Regi\xE3o\" string",
                  "field \"Popula\xE7\xE3o\" integer",
                  "field \"Taxa/100 mil\" float",
                  "field \"1991\" integer",
                  "view \"Todos\" \"Regi\xE3o\" 100 \"Popula\xE7\xE3o\" 40 \"Taxa/100 mil\" 40 \"1991\" 40 ",
                  "option backup on",
                  "option read-only off",
                  "option copy-prevention off",
                  "option find off",
              }));
    EXPECT_EQ(DescricaoPalm(t, "t", true),
              Linhas({
                  "title \"t\"",
                  "field \"Regi\xE3o\" string",
                  "field \"Popula\xE7\xE3o\" string",
                  "field \"Taxa/100 mil\" string",
                  "field \"1991\" string",
                  "view \"Todos\" \"Regi\xE3o\" 100 \"Popula\xE7\xE3o\" 40 \"Taxa/100 mil\" 40 \"1991\" 40 ",
                  "option find off",
              }));
}

TEST(GravaPalm, DataHaveAPointForPalmAndTheLocaleMarkForMobileDB) {
    PastaTemporaria p;
    QLocale::setDefault(QLocale(QLocale::Portuguese, QLocale::Brazil));
    const TabelaResultados t = TabelaExemplo();
    GravaDadosPalm(t, p / "palm.txt", false);
    GravaDadosPalm(t, p / "mdb.txt", true);
    QLocale::setDefault(QLocale::c());
    EXPECT_EQ(p.Le("palm.txt"), Linhas({
                                    "\"11 Norte grande, 'amaz\xF4nia'\",\"1000\",\"1.50\",\"3\"",
                                    "\"12 Nordeste; & <sert\xE3o>\",\"25000\",\"-2.25\",\"0\"",
                                    "\"13 S\xE3o Paulo \x80 euro\",\"0\",\"0.00\",\"7\"",
                                    "\"14 Sul\",\"123456789\",\"10.13\",\"0\"",
                                }));
    EXPECT_NE(p.Le("mdb.txt").find("\"12 Nordeste; & <sert\xE3o>\",\"25000\",\"-2,25\",\"0\"\r\n"), std::string::npos);
}

TEST(GravaPalm, WithoutTheConverterItSaysSoAndWritesNothing) {
    PastaTemporaria p;
    MensagensRoteiro m;
    UsaMensagens usa(m);
    EXPECT_EQ(AchaConversorPalm(p.Caminho().string()), "");
    EXPECT_FALSE(GravaPalm(TabelaExemplo(), p / "t.pdb", ""));
    EXPECT_FALSE(GravaMobileDB(TabelaExemplo(), p / "t.pdb", p / "csv2pdb"));
    EXPECT_EQ(m.Textos(),
              (std::vector<std::string>{"Conversor para Palm (csv2pdb) n\xE3o encontrado",
                                        "Conversor para Palm (csv2pdb) n\xE3o encontrado: " + (p / "csv2pdb")}));
    EXPECT_TRUE(std::filesystem::is_empty(p.Caminho()));
}

// A stand-in converter: records its arguments, takes a moment, and writes the
// description and data it was given into the target, then ends with `codigo`.
std::string Conversor(const PastaTemporaria& p, int codigo, const std::string& pasta = "bin") {
    const std::string nome =
        p.Grava(pasta + "/CSV2PDB.EXE", "#!/bin/sh\n"
                                        "printf '%s\\n' \"$@\" > \"$(dirname \"$0\")/args.txt\"\n"
                                        "sleep 0.3\n"
                                        "n=$#\n"
                                        "eval \"ifo=\\${$((n-2))}; txt=\\${$((n-1))}; alvo=\\${$n}\"\n"
                                        "cat \"$ifo\" \"$txt\" > \"$alvo\" || exit 9\n"
                                        "exit " +
                                            std::to_string(codigo) + "\n");
    std::filesystem::permissions(nome, std::filesystem::perms::owner_all);
    return nome;
}

TEST(GravaPalm, RunsTheConverterWithAnArgumentListAndWaitsBeforeRemovingItsInputs) {
    for (bool mobileDB : {false, true}) {
        SCOPED_TRACE(mobileDB ? "MobileDB" : "Palm");
        PastaTemporaria p;
        const std::string conversor = Conversor(p, 0);
        EXPECT_EQ(AchaConversorPalm(p / "bin"), conversor);
        const TabelaResultados t = TabelaExemplo();
        MensagensRoteiro m;
        UsaMensagens usa(m);
        int esperas = 0;
        const std::string alvo = p / "minha tabela.pdb";
        EXPECT_TRUE(mobileDB ? GravaMobileDB(t, alvo, conversor, [&] { ++esperas; })
                             : GravaPalm(t, alvo, conversor, [&] { ++esperas; }));
        EXPECT_TRUE(m.Textos().empty());
        EXPECT_GT(esperas, 0);

        std::vector<std::string> args;
        std::istringstream in(p.Le("bin/args.txt"));
        for (std::string a; std::getline(in, a);)
            args.push_back(a);
        ASSERT_EQ(args.size(), mobileDB ? 5u : 4u);
        std::size_t i = 0;
        if (mobileDB) {
            EXPECT_EQ(args[i++], "--type=mdb");
        }
        EXPECT_EQ(args[i++], "-i");
        const std::string ifo = args[i++], txt = args[i++];
        EXPECT_EQ(std::filesystem::path(ifo).filename(), "minha tabela.ifo");
        EXPECT_EQ(std::filesystem::path(txt).filename(), "minha tabela.txt");
        EXPECT_EQ(args[i], alvo);
        EXPECT_FALSE(std::filesystem::exists(ifo));
        EXPECT_FALSE(std::filesystem::exists(txt));
        EXPECT_FALSE(std::filesystem::exists(std::filesystem::path(ifo).parent_path()));
        EXPECT_EQ(p.Le("minha tabela.pdb").substr(0, 27), "title \"minha tabela\"\r\nfield");
    }
}

TEST(GravaPalm, AConverterThatFailsIsNotReportedAsSaved) {
    PastaTemporaria p;
    const std::string conversor = Conversor(p, 3);
    MensagensRoteiro m;
    UsaMensagens usa(m);
    EXPECT_FALSE(GravaPalm(TabelaExemplo(), p / "t.pdb", conversor));
    EXPECT_EQ(m.Textos(), std::vector<std::string>{"O conversor " + conversor + " terminou com erro 3; " +
                                                   (p / "t.pdb") + " n\xE3o foi gravado."});
}

TEST(GravaPalm, FileNamesReachTheDescriptionAndTheMessagesAs1252Text) {
    PastaTemporaria p;
    const std::string conversor = Conversor(p, 3, "conversor \xC3\xA0"); // the system's UTF-8 names
    const std::string alvo = p / "regi\xC3\xB5"
                                 "es.pdb";
    MensagensRoteiro m;
    UsaMensagens usa(m);
    EXPECT_FALSE(GravaPalm(TabelaExemplo(), alvo, conversor));
    ASSERT_EQ(m.Textos(), std::vector<std::string>{"O conversor " + DeUtf8(conversor) + " terminou com erro 3; " +
                                                   DeUtf8(alvo) + " n\xE3o foi gravado."});
    EXPECT_NE(m.Textos()[0].find("conversor \xE0/CSV2PDB.EXE"), std::string::npos);
    EXPECT_NE(m.Textos()[0].find("regi\xF5"
                                 "es.pdb n\xE3o"),
              std::string::npos);
    EXPECT_EQ(p.Le("regi\xC3\xB5"
                   "es.pdb")
                  .substr(0, 22),
              "title \"regi\xF5"
              "es\"\r\nfield");
}

// The program's folder may be the current one: the converter found there is the
// one run, not a program of that name on the search path.
TEST(GravaPalm, AConverterFoundInTheCurrentFolderIsTheOneRun) {
    PastaTemporaria p;
    Conversor(p, 0);
    const std::filesystem::path antes = std::filesystem::current_path();
    std::filesystem::current_path(p / "bin");
    const std::string conversor = AchaConversorPalm("");
    MensagensRoteiro m;
    UsaMensagens usa(m);
    const bool gravou = GravaPalm(TabelaExemplo(), p / "t.pdb", conversor);
    std::filesystem::current_path(antes);
    EXPECT_EQ(conversor, "CSV2PDB.EXE");
    EXPECT_TRUE(gravou);
    EXPECT_TRUE(m.Textos().empty());
    EXPECT_EQ(p.Le("t.pdb").substr(0, 9), "title \"t\"");
}

} // namespace
} // namespace dorvan

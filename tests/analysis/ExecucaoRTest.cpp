#include "analysis/ExecucaoR.h"

#include "../support/ApoioTeste.h"
#include "../table/TabelaTeste.h"
#include "platform/Arquivos.h"
#include "platform/Erros.h"
#include "platform/Processos.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

namespace dorvan {
namespace {

const char* const FuncoesR =
    "grafico.dorvan = function(fundo=\"white\", largura=7){\n"
    "  library(graphics);\n"
    "  if (requireNamespace(\"svglite\", quietly=TRUE)) {\n"
    "    svglite::svglite(\"dorvan%02d.svg\", width=largura, height=largura, bg=fundo)\n"
    "  } else {\n"
    "    png(\"dorvan%02d.png\", width=largura, height=largura, units=\"in\", res=96, bg=fundo)\n"
    "    cat(\"Pacote svglite do R ausente: gr\xE1"
    "ficos gravados como PNG.\", \"\\n\", sep=\"\")\n"
    "  }\n"
    "  par(bg=fundo)\n"
    "}\n"
    "carrega.dorvan = function(tabela) {\n"
    "  zz = file(\"dorvan.out\",\"w\");\n"
    "  cat(\"Titulo1=\",titulo,\"\\n\",file=zz);\n"
    "  cat(\"Titulo2=\",subtitulo,\"\\n\",file=zz);\n"
    "  cat(\"Rodape=\",rodape,\"\\n\",file=zz);\n"
    "  cat(\"Nomemapa=\",nomemapa,\"\\n\",file=zz);\n"
    "  close(zz);\n"
    "  write.table(tabela,\"dorvan.out\",sep=\",\", col.names=NA, append=TRUE)\n"
    "}\n";

std::string ComBarra(const teste::PastaTemporaria& p) { return p.Caminho().string() + "/"; }

TabelaResultados TabelaExemplo() {
    TabelaResultados t =
        teste::MontaTabela({"Bel\xE9m", "S\xE3o Paulo", "Natal"},
                           {{"Popula\xE7\xE3o", {1.5, 3, 4.25}, 2}, {"Ano", {2000, 2001, 2002}}, {"Taxa", {1, 2, 3}}});
    t.Titulo1 = "T1";
    return t;
}

// Answers the questions from lists and records them.
struct Respostas {
    std::vector<std::optional<std::vector<std::int32_t>>> marcas;
    std::vector<std::optional<std::string>> valores;
    std::vector<std::string> perguntas;
    PerguntasR Perguntas() {
        PerguntasR p;
        p.Marca = [this](const std::string& pergunta, bool camposDBF) {
            perguntas.push_back((camposDBF ? "DBF:" : "Colunas:") + pergunta);
            auto r = marcas.front();
            marcas.erase(marcas.begin());
            return r;
        };
        p.Parametro = [this](const std::string& titulo, const std::string& pergunta) {
            perguntas.push_back(titulo + ":" + pergunta);
            auto r = valores.front();
            valores.erase(valores.begin());
            return r;
        };
        return p;
    }
};

AmbienteR Ambiente(const teste::PastaTemporaria& programa) {
    AmbienteR a;
    a.DirPrograma = ComBarra(programa);
    a.DirRX = ComBarra(programa);
    return a;
}

TEST(PerfilR, BatchFileHoldsTitlesDataChoicesHelpersAndDecodedCode) {
    teste::PastaTemporaria prog, dados;
    TabelaResultados t = TabelaExemplo();
    t.Titulo2 = "C:\\dados\\x";
    t.Rodape = "diz \"oi\"";
    const EsquemaR e = EsquemaDeTexto("<titulo>T</titulo><colsel>Escolha</colsel><parametro>Valor?</parametro>"
                                      "<parametro2>Outro?</parametro2>"
                                      "<script>x &lt;- tabela[,colsel]\n  print(x &gt; 1)</script>");
    Respostas r;
    r.marcas = {std::vector<std::int32_t>{1, 3}};
    r.valores = {std::string("a\\b"), std::string("")};
    const auto perfil = ComporPerfilR(e, t, Ambiente(prog), ComBarra(dados), nullptr, r.Perguntas());
    ASSERT_TRUE(perfil);
    // The run's own files by full path: R works in another folder.
    const std::string d = ComBarra(dados);
    EXPECT_EQ(*perfil, std::string("options(encoding=\"latin1\")\n"
                                   "sink(\"") +
                           d +
                           "script.out\")\n"
                           "titulo=\"T1\"\n"
                           "subtitulo=\"C:/dados/x\"\n"
                           "rodape=\"diz \\\"oi\\\"\"\n"
                           "nomemapa=\"\"\n"
                           "tabela = read.table(\"" +
                           d +
                           "dorvan.in\",check.names=FALSE)\n"
                           "colsel=c(1,3)\n"
                           "parametro=\"a\\\\b\"\n"
                           "parametro2=\"\"\n" +
                           FuncoesR + "x <- tabela[,colsel]\n  print(x > 1)\nq()\n");
    EXPECT_EQ(r.perguntas,
              (std::vector<std::string>{"Colunas:Escolha", "Entre parametro:Valor?", "Entre parametro2:Outro?"}));
    EXPECT_TRUE(fs::exists(dados / "dorvan.in"));
}

TEST(PerfilR, AutoexecOfTheInstallationIsSourcedFirst) {
    teste::PastaTemporaria prog, dados;
    prog.Grava("autoexec.r", "x=1\n");
    TabelaResultados t;
    const auto perfil = ComporPerfilR(EsquemaR{}, t, Ambiente(prog), ComBarra(dados), nullptr, {});
    ASSERT_TRUE(perfil);
    EXPECT_EQ(perfil->substr(0, perfil->find("sink")),
              "options(encoding=\"latin1\")\nsource(\"" + ComBarra(prog) + "autoexec.r\")\n");
}

TEST(PerfilR, ColumnChoices) {
    struct Caso {
        const char* nome;
        int colunas;
        std::optional<std::vector<std::int32_t>> resposta; // what the chooser answers, when asked
        bool pergunta;
        std::optional<std::string> linha; // nullopt: the run is cancelled
    } casos[] = {
        {"one column needs no question", 1, {}, false, "colsel=1\n"},
        {"no column writes nothing", 0, {}, false, ""},
        {"three marks", 7, std::vector<std::int32_t>{2, 5, 7}, true, "colsel=c(2,5,7)\n"},
        {"one mark", 4, std::vector<std::int32_t>{3}, true, "colsel=c(3)\n"},
        {"OK with nothing marked", 4, std::vector<std::int32_t>{}, true, ""},
        {"cancelled", 4, std::nullopt, true, std::nullopt},
    };
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.nome);
        teste::PastaTemporaria prog, dados;
        TabelaResultados t;
        t.AlocaLinhas(1, 1);
        for (int k = 0; k < c.colunas; ++k)
            AcrescentaColuna(t, "c" + std::to_string(k), 0);
        Respostas r;
        r.marcas = {c.resposta};
        const auto perfil = ComporPerfilR(EsquemaDeTexto("<colsel>Qual?</colsel>"), t, Ambiente(prog),
                                          ComBarra(dados), nullptr, r.Perguntas());
        EXPECT_EQ(r.perguntas.size(), c.pergunta ? 1u : 0u);
        ASSERT_EQ(perfil.has_value(), c.linha.has_value());
        if (!perfil) continue;
        const std::size_t i = perfil->find("nomemapa=\"\"\n") + 12;
        EXPECT_EQ(perfil->substr(i, perfil->find("grafico.dorvan") - i), *c.linha);
    }
}

TEST(PerfilR, TableOfOneRowIsNotHandedToR) {
    teste::PastaTemporaria prog, dados;
    TabelaResultados t = teste::MontaTabela({"a"}, {{"x", {1}}});
    const auto perfil = ComporPerfilR(EsquemaR{}, t, Ambiente(prog), ComBarra(dados), nullptr, {});
    ASSERT_TRUE(perfil);
    EXPECT_EQ(perfil->find("tabela = "), std::string::npos);
    EXPECT_FALSE(fs::exists(dados / "dorvan.in"));
}

TEST(PerfilR, BrowserDataComeAsItsCsvAndFieldsAreAlwaysMarked) {
    teste::PastaTemporaria prog, dados;
    TabelaResultados t = teste::MontaTabela({"a"}, {{"x", {1}}}); // one column: ignored with browser data
    bool gravou = false;
    DadosBrowseR b{"/dados/Mun.DBF", {"COD", "NOME"}, [&] { gravou = true; }};
    Respostas r;
    r.marcas = {std::vector<std::int32_t>{2}, std::nullopt};
    auto perfil = ComporPerfilR(EsquemaDeTexto("<colsel>Campo?</colsel>"), t, Ambiente(prog), ComBarra(dados), &b,
                                r.Perguntas());
    ASSERT_TRUE(perfil);
    EXPECT_TRUE(gravou);
    EXPECT_NE(perfil->find("\ntabela = read.csv(\"/dados/Mun.csv\",check.names=FALSE)\ncolsel=c(2)\n"),
              std::string::npos);
    EXPECT_EQ(r.perguntas, std::vector<std::string>{"DBF:Campo?"});
    // Cancelling the field marking ends the run.
    EXPECT_FALSE(ComporPerfilR(EsquemaDeTexto("<colsel>Campo?</colsel>"), t, Ambiente(prog), ComBarra(dados), &b,
                               r.Perguntas()));
}

TEST(PerfilR, InteractiveFileWithAndWithoutData) {
    teste::PastaTemporaria prog, dados;
    const std::string p = ComBarra(prog);
    TabelaResultados um = teste::MontaTabela({"a"}, {{"x", {1}}});
    EXPECT_EQ(ComporPerfilInterativoR(um, Ambiente(prog), ComBarra(dados)),
              "options(encoding=\"latin1\")\ndirdorvan <<- \"" + p + "\";\n");
    EXPECT_FALSE(fs::exists(dados / "dorvan.in"));

    prog.Grava("autoexec.r", "");
    prog.Grava("menu.r", "");
    TabelaResultados t = TabelaExemplo();
    t.Titulo2 = "C:\\x";
    t.NomeMapa = "C:\\mapas\\br.map";
    EXPECT_EQ(ComporPerfilInterativoR(t, Ambiente(prog), ComBarra(dados)),
              "options(encoding=\"latin1\")\n"
              "source(\"" + p + "autoexec.r\")\n"
              "library(utils)\n"
              ".First = function() {tabela <<- read.table(\"dorvan.in\",check.names=FALSE);\n"
              "titulo <<- \"T1\";\n"
              "subtitulo <<- \"C:\\\\x\";\n"
              "rodape <<- \"\";\n"
              "nomemapa <<- \"C:/mapas/br.map\";\n"
              " cat(\"\\n   Dados carregados em \\\"tabela\\\"!\\n\\n\")}\n"
              "dirdorvan <<- \"" + p + "\";\n"
              "source(\"" + p + "menu.r\")\n");
    EXPECT_TRUE(fs::exists(dados / "dorvan.in"));
}

TEST(PerfilR, StartupFileIsWrittenAsUtf8AndReplacesOtherLetterCases) {
    teste::PastaTemporaria d;
    d.Grava(".RProfile", "velho");
    GravaPerfilR(ComBarra(d), "titulo=\"Popula\xE7\xE3o \x80\"\n");
    EXPECT_FALSE(fs::exists(d / ".RProfile"));
    EXPECT_EQ(d.Le(".Rprofile"), "titulo=\"Popula\xC3\xA7\xC3\xA3o \xC2\x80\"\n");
}

TEST(ExecucaoR, CancelledQuestionWritesNothingAndLeavesEarlierFiles) {
    teste::PastaTemporaria prog, dados;
    prog.Grava("q.rx", "<titulo>Q</titulo><parametro>Valor?</parametro>");
    dados.Grava(".Rprofile", "anterior");
    dados.Grava("dorvan01.svg", "x");
    AmbienteR a = Ambiente(prog);
    a.DirDados = ComBarra(dados);
    TabelaResultados t;
    Respostas r;
    r.valores = {std::nullopt};
    const std::string antes = PastaAtual();
    EXPECT_FALSE(PreparaExecucaoR("q.rx", t, a, nullptr, r.Perguntas()));
    EXPECT_EQ(PastaAtual(), ComBarra(dados)); // the scheme's folder became current
    EXPECT_EQ(dados.Le(".Rprofile"), "anterior");
    EXPECT_TRUE(fs::exists(dados / "dorvan01.svg"));
    MudaPastaAtual(antes);
}

TEST(ExecucaoR, PreparationRemovesLastRunsPlotsAndOutput) {
    teste::PastaTemporaria prog, dados;
    prog.Grava("s.rx", "<titulo>S</titulo><script>print(1)</script>");
    for (const char* n : {"dorvan01.svg", "dorvan12.png", "dorvan1.svg"})
        dados.Grava(n, "x");
    AmbienteR a = Ambiente(prog);
    a.DirDados = ComBarra(dados);
    TabelaResultados t;
    const std::string antes = PastaAtual();
    auto preparo = PreparaExecucaoR("s.rx", t, a, nullptr, {});
    MudaPastaAtual(antes);
    ASSERT_TRUE(preparo);
    EXPECT_EQ(preparo->pasta, ComBarra(dados));
    EXPECT_FALSE(fs::exists(dados / "dorvan01.svg"));
    EXPECT_FALSE(fs::exists(dados / "dorvan12.png"));
    EXPECT_TRUE(fs::exists(dados / "dorvan1.svg"));
    // R's start-up file goes to the run's own folder, not to the current one.
    const std::string privada = preparo->PastaDoR();
    ASSERT_NE(privada, preparo->pasta);
    EXPECT_FALSE(fs::exists(dados / ".Rprofile"));
    EXPECT_NE(LeArquivoInteiro(privada + ".Rprofile").find("print(1)\nq()\n"), std::string::npos);
    // The run's folder goes with the run.
    preparo.reset();
    EXPECT_FALSE(fs::exists(privada));
}

TEST(ExecucaoR, MissingSchemeFailsWithFileError) {
    teste::PastaTemporaria prog;
    TabelaResultados t;
    EXPECT_THROW(PreparaExecucaoR("nada.rx", t, Ambiente(prog), nullptr, {}), ErroES);
}

TEST(ExecucaoR, OutputIsShownOnlyAboveTwoCharactersAndGetsTheTiming) {
    struct Caso {
        std::string saida;
        std::vector<std::string> linhas;
        bool mostrar;
    } casos[] = {
        {"", {}, false},
        {"\n", {""}, false},
        {"a\n", {"a", "", "", "Executado em 1500 milisegundos"}, true},
        {"x = 1\r\ny\n", {"x = 1", "y", "", "", "Executado em 1500 milisegundos"}, true},
    };
    for (const Caso& c : casos) {
        teste::PastaTemporaria prog, dados;
        prog.Grava("tmp.rx", "x");
        dados.Grava("script.out", c.saida);
        PreparoR p{ComBarra(dados), QTime(10, 0, 0, 0), nullptr};
        const ResultadoR r = ColheResultadoR(p, Ambiente(prog), QTime(10, 0, 1, 500));
        EXPECT_EQ(r.linhas, c.linhas) << c.saida;
        EXPECT_EQ(r.mostrar, c.mostrar);
        EXPECT_FALSE(fs::exists(prog / "tmp.rx"));
        EXPECT_EQ(r.primeiroGrafico, "");
    }
}

TEST(ExecucaoR, WithoutOutputTheCollectionFailsButStillRemovesTheTestScheme) {
    teste::PastaTemporaria prog, dados;
    prog.Grava("tmp.rx", "x");
    EXPECT_THROW(ColheResultadoR(PreparoR{ComBarra(dados), QTime::currentTime(), nullptr}, Ambiente(prog)), ErroES);
    EXPECT_FALSE(fs::exists(prog / "tmp.rx"));
}

TEST(ExecucaoR, MissingBatchProgramIsNotStarted) {
    teste::PastaTemporaria prog, dados;
    AmbienteR a = Ambiente(prog);
    a.DirR = ComBarra(prog);
    EXPECT_FALSE(RodaLoteR(a, PreparoR{ComBarra(dados), QTime(), nullptr}));
}

TEST(RetornoR, ExampleTableReplacesTheResultsTableAndItsFileGoes) {
    teste::PastaTemporaria trab;
    trab.Grava("dorvan.out", "velho");
    AmbienteR a;
    a.DirTrabalho = ComBarra(trab);
    const std::string antes = PastaAtual();
    const std::string pasta = PreparaRetornoR(a);
    MudaPastaAtual(antes);
    EXPECT_EQ(pasta, ComBarra(trab));
    EXPECT_FALSE(HaRetornoR(pasta));

    GravaExemploR(EsquemaDeTexto("<exemplo>Titulo1=Exemplo\nTitulo2=\nRodape=\nNomemapa=\n"
                                 "\"\",\"x\",\"y\"\n\"a\",1,2\n\"b\",3,4.5</exemplo>"),
                  pasta);
    ASSERT_TRUE(HaRetornoR(pasta));
    TabelaResultados t = TabelaExemplo();
    LeituraTabela l;
    EXPECT_TRUE(CarregaRetornoR(t, pasta, l));
    EXPECT_FALSE(HaRetornoR(pasta));
    EXPECT_TRUE(t.Modificada);
    EXPECT_EQ(t.ArquivoAtual, "");
    EXPECT_EQ(t.Titulo1, "Exemplo");
    EXPECT_EQ(teste::Rotulos(t), (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(teste::Titulos(t), (std::vector<std::string>{"x", "y"}));
    EXPECT_EQ(teste::Valores(t, 2), (std::vector<double>{2, 4.5}));
    // No file: the table stays as it was.
    EXPECT_FALSE(CarregaRetornoR(t, pasta, l));
    EXPECT_EQ(t.NumLinhas, 2);
}

TEST(SessaoR, RunsInATerminalWhenRAndATerminalAreThere) {
    teste::PastaTemporaria dirR;
    AmbienteR a;
    a.DirR = ComBarra(dirR);
    auto acha = [](const std::string& p) { return p == "xterm" ? "/bin/xterm" : std::string(); };
    EXPECT_FALSE(ComandoSessaoR(a, acha)); // no R
    dirR.Grava("R", "");
    const auto c = ComandoSessaoR(a, acha);
    ASSERT_TRUE(c);
    EXPECT_EQ(c->programa, "/bin/xterm");
    EXPECT_EQ(c->argumentos, (std::vector<std::string>{"-e", ComBarra(dirR) + "R"}));
    EXPECT_FALSE(ComandoSessaoR(a, [](const std::string&) { return std::string(); }));
}

} // namespace
} // namespace dorvan

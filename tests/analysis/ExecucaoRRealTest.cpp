// Runs of real R on schemes written here: what R reads of our files and what we
// read of R's decide whether the exchange works at all.
#include "analysis/ExecucaoR.h"

#include "../support/ApoioTeste.h"
#include "../table/TabelaTeste.h"
#include "platform/Arquivos.h"
#include "platform/Processos.h"
#include "table/TabelaArquivo.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>

namespace fs = std::filesystem;

namespace dorvan {
namespace {

std::string ComBarra(const teste::PastaTemporaria& p) { return p.Caminho().string() + "/"; }

class RReal : public ::testing::Test {
protected:
    void SetUp() override {
        const std::string rscript = AchaNoPath("Rscript");
        if (rscript.empty()) GTEST_SKIP() << "R is not installed (r-base-core)";
        amb.DirR = fs::path(rscript).parent_path().string() + "/";
        amb.DirPrograma = ComBarra(prog);
        amb.DirRX = ComBarra(prog);
        amb.DirDados = ComBarra(dados);
        antes = PastaAtual();
    }
    void TearDown() override {
        if (!antes.empty()) MudaPastaAtual(antes);
    }

    // Prepares and runs a scheme; the results of the run.
    ResultadoR Roda(const std::string& esquema, TabelaResultados& t, const PerguntasR& perguntas = {}) {
        prog.Grava("teste.rx", esquema);
        const auto preparo = PreparaExecucaoR("teste.rx", t, amb, nullptr, perguntas);
        EXPECT_TRUE(preparo);
        if (!preparo) return {};
        EXPECT_TRUE(RodaLoteR(amb, *preparo));
        return ColheResultadoR(*preparo, amb);
    }

    teste::PastaTemporaria prog, dados;
    AmbienteR amb;
    std::string antes;
};

TEST_F(RReal, SchemeReadsTheTableAndChoicesPrintsPlotsAndReturnsATable) {
    TabelaResultados t = teste::MontaTabela(
        {"Bel\xE9m", "S\xE3o Paulo", "Natal"},
        {{"Popula\xE7\xE3o", {1.5, 3, 4.25}, 2}, {"Ano", {2000, 2001, 2002}}, {"Taxa \x80", {1, 2, 3}}});
    t.Titulo1 = "T\xEDtulo";
    t.Titulo2 = "dir\\sub";
    dados.Grava("dorvan07.svg", "plot of an earlier run");
    PerguntasR p;
    p.Marca = [](const std::string&, bool) { return std::optional<std::vector<std::int32_t>>({1, 3}); };
    p.Parametro = [](const std::string&, const std::string&) { return std::optional<std::string>("2"); };
    const ResultadoR r = Roda("<titulo>Teste</titulo><colsel>Colunas?</colsel><parametro>Fator?</parametro>\n"
                              "<script>\n"
                              "f &lt;- as.numeric(parametro)\n"
                              "cat(\"Colunas:\", colsel, \"\\n\")\n"
                              "cat(titulo, subtitulo, \"\\n\")\n"
                              "print(rownames(tabela))\n"
                              "grafico.dorvan()\n"
                              "plot(tabela[,1])\n"
                              "plot(tabela[,2])\n"
                              "carrega.dorvan(tabela[, colsel, drop=FALSE] * f)\n"
                              "</script>",
                              t, p);
    ASSERT_TRUE(r.mostrar);
    ASSERT_GE(r.linhas.size(), 6u);
    EXPECT_EQ(r.linhas[0], "Colunas: 1 3 ");
    EXPECT_EQ(r.linhas[1], "T\xEDtulo dir/sub ");
    EXPECT_EQ(r.linhas[2], "[1] \"Bel\xE9m\"     \"S\xE3o Paulo\" \"Natal\"    ");
    EXPECT_EQ(r.linhas[r.linhas.size() - 2], "");
    EXPECT_EQ(r.linhas.back().rfind("Executado em ", 0), 0u);
    EXPECT_EQ(r.primeiroGrafico, ComBarra(dados) + "dorvan01.svg");
    EXPECT_TRUE(fs::exists(dados / "dorvan02.svg"));
    EXPECT_FALSE(fs::exists(dados / "dorvan07.svg"));

    ASSERT_TRUE(HaRetornoR(ComBarra(dados)));
    TabelaResultados volta;
    LeituraTabela l;
    ASSERT_TRUE(CarregaRetornoR(volta, ComBarra(dados), l));
    EXPECT_EQ(volta.Titulo1, "T\xEDtulo");
    EXPECT_EQ(volta.Titulo2, "dir/sub");
    EXPECT_EQ(teste::Rotulos(volta), teste::Rotulos(t));
    EXPECT_EQ(teste::Titulos(volta), (std::vector<std::string>{"Popula\xE7\xE3o", "Taxa \x80"}));
    EXPECT_EQ(teste::Valores(volta, 1), (std::vector<double>{3, 6, 8.5}));
    EXPECT_EQ(teste::Valores(volta, 2), (std::vector<double>{2, 4, 6}));
}

// The keyed lines of R's table are never its header, whatever a title holds: a
// footer with commas and semicolons comes back as the footer, and the table as it went.
TEST_F(RReal, ReturnedTableWithCommasAndSemicolonsInTheTitles) {
    TabelaResultados t = teste::MontaTabela({"Norte", "Sul"}, {{"Casos", {3, 4}}, {"\xD3" "bitos", {1, 2}}});
    t.Titulo1 = "Casos, \xF3" "bitos; 2019";
    t.Titulo2 = "Regi\xE3o; UF, munic\xEDpio";
    t.Rodape = "Fonte: SIM. Per\xEDodo Jan/2019,Mar/2019; revisado";
    const ResultadoR r = Roda("<titulo>Teste</titulo><script>\ncarrega.dorvan(tabela)\n</script>", t);
    TabelaResultados volta;
    LeituraTabela l;
    ASSERT_TRUE(CarregaRetornoR(volta, ComBarra(dados), l));
    EXPECT_EQ(volta.Titulo1, t.Titulo1);
    EXPECT_EQ(volta.Titulo2, t.Titulo2);
    EXPECT_EQ(volta.Rodape, t.Rodape);
    EXPECT_EQ(volta.NomeColuna(0), "");
    EXPECT_EQ(teste::Rotulos(volta), teste::Rotulos(t));
    EXPECT_EQ(teste::Titulos(volta), teste::Titulos(t));
    EXPECT_EQ(teste::Valores(volta, 1), (std::vector<double>{3, 4}));
    EXPECT_EQ(teste::Valores(volta, 2), (std::vector<double>{1, 2}));
}

TEST_F(RReal, ErrorInsideRShowsWhatWasPrintedBeforeIt) {
    TabelaResultados t;
    const ResultadoR r = Roda("<titulo>Erro</titulo><script>print(\"antes\")\nstop(\"falhou\")\n"
                              "print(\"depois\")</script>",
                              t);
    ASSERT_EQ(r.linhas.size(), 4u);
    EXPECT_EQ(r.linhas[0], "[1] \"antes\"");
    EXPECT_FALSE(HaRetornoR(ComBarra(dados)));
}

TEST_F(RReal, SchemeThatPrintsNothingShowsNoOutputAndLeavesNoPlots) {
    TabelaResultados t;
    dados.Grava("dorvan01.svg", "old");
    const ResultadoR r = Roda("<titulo>Nada</titulo><script>x &lt;- 1</script>", t);
    EXPECT_FALSE(r.mostrar);
    EXPECT_TRUE(r.linhas.empty());
    EXPECT_EQ(r.primeiroGrafico, "");
    EXPECT_FALSE(fs::exists(dados / "dorvan01.svg"));
}

// The system's temporary folder, for as long as the object lives, is a folder of
// our own, so that what a run leaves there shows.
class TemporariaDoSistema {
public:
    TemporariaDoSistema() {
        const char* v = std::getenv("TMPDIR");
        havia_ = v != nullptr;
        if (havia_) antes_ = v;
        setenv("TMPDIR", pasta.Caminho().c_str(), 1);
    }
    ~TemporariaDoSistema() {
        if (havia_)
            setenv("TMPDIR", antes_.c_str(), 1);
        else
            unsetenv("TMPDIR");
    }
    teste::PastaTemporaria pasta;

private:
    bool havia_ = false;
    std::string antes_;
};

std::vector<std::string> Conteudo(const fs::path& pasta) {
    std::vector<std::string> nomes;
    for (const auto& e : fs::directory_iterator(pasta))
        nomes.push_back(e.path().filename().string());
    std::sort(nomes.begin(), nomes.end());
    return nomes;
}

TEST_F(RReal, BatchWorksInTheUsersFolderAndLeavesItsOwnFilesNowhere) {
    TemporariaDoSistema sistema;
    TabelaResultados t = teste::MontaTabela({"a", "b"}, {{"x", {1, 2}}});
    dados.Grava("entrada.csv", "a,b\n1,2\n3,4\n");
    std::string pastaPrivada;
    {
        prog.Grava("p.rx", "<titulo>P</titulo><script>cat(getwd(), \"\\n\")\n"
                           "e &lt;- read.csv(\"entrada.csv\")\n"
                           "print(sum(e$b))\n"
                           "write.csv(e * 2, \"saida.csv\", row.names=FALSE)\n"
                           "pdf(\"figura.pdf\"); plot(1:3); invisible(dev.off())\n"
                           "grafico.dorvan()\nplot(1:2)\n"
                           "carrega.dorvan(tabela)</script>");
        const auto preparo = PreparaExecucaoR("p.rx", t, amb, nullptr, {});
        ASSERT_TRUE(preparo);
        pastaPrivada = preparo->PastaDoR();
        EXPECT_EQ(fs::path(pastaPrivada).parent_path().parent_path(), sistema.pasta.Caminho());
        ASSERT_TRUE(RodaLoteR(amb, *preparo));
        const ResultadoR r = ColheResultadoR(*preparo, amb);
        ASSERT_GE(r.linhas.size(), 2u);
        // R works in the scheme's folder: files there are read and written by name.
        EXPECT_EQ(fs::path(r.linhas[0].substr(0, r.linhas[0].find_last_not_of(' ') + 1)), dados.Caminho());
        EXPECT_EQ(r.linhas[1], "[1] 6");
        EXPECT_EQ(r.primeiroGrafico, ComBarra(dados) + "dorvan01.svg");
    }
    // What the scheme wrote stays; the run's own files went with its folder.
    EXPECT_EQ(dados.Le("saida.csv"), "\"a\",\"b\"\n2,4\n6,8\n");
    EXPECT_TRUE(fs::exists(dados / "figura.pdf"));
    EXPECT_TRUE(HaRetornoR(ComBarra(dados)));
    EXPECT_FALSE(fs::exists(pastaPrivada));
    EXPECT_EQ(Conteudo(dados.Caminho()),
              (std::vector<std::string>{"dorvan.out", "dorvan01.svg", "entrada.csv", "figura.pdf", "saida.csv"}));
    EXPECT_EQ(Conteudo(sistema.pasta.Caminho()), std::vector<std::string>{});
    // A later R session started in that folder finds nothing of the run.
    std::string saida;
    const std::string comando = "cd '" + ComBarra(dados) + "' && '" + amb.DirR +
                                "Rscript' -e 'cat(exists(\"carrega.dorvan\"), exists(\"tabela\"), getwd())' 2>&1";
    ASSERT_EQ(teste::Executa(comando, &saida), 0) << saida;
    EXPECT_EQ(saida, "FALSE FALSE " + dados.Caminho().string());
}

TEST_F(RReal, PlotsKeepTheirTextAsTextTitleAndAxisNumbers) {
    TabelaResultados t;
    const ResultadoR r = Roda("<titulo>G</titulo><script>grafico.dorvan()\n"
                              "plot(c(10, 20, 30), main=\"Obitos por ano\")</script>",
                              t);
    ASSERT_EQ(r.primeiroGrafico, ComBarra(dados) + "dorvan01.svg");
    const std::string svg = dados.Le("dorvan01.svg");
    EXPECT_NE(svg.find(">Obitos por ano</text>"), std::string::npos);
    for (const char* numero : {">10</text>", ">20</text>", ">30</text>", ">1.0</text>", ">3.0</text>"})
        EXPECT_NE(svg.find(numero), std::string::npos) << numero;
    EXPECT_FALSE(r.mostrar); // nothing printed: no note about the plots
}

TEST_F(RReal, WithoutSvgliteThePlotsAreBitmapsAndTheOutputSaysSo) {
    // An R whose site library lacks the package: the site library is an empty folder.
    teste::PastaTemporaria vazia;
    const char* antes = std::getenv("R_LIBS_SITE");
    const std::string guardado = antes ? antes : "";
    setenv("R_LIBS_SITE", vazia.Caminho().c_str(), 1);
    TabelaResultados t;
    dados.Grava("dorvan02.svg", "plot of an earlier run");
    const ResultadoR r = Roda("<titulo>G</titulo><script>grafico.dorvan()\nplot(1:3, main=\"Sem svglite\")\n"
                              "plot(3:1)</script>",
                              t);
    if (antes)
        setenv("R_LIBS_SITE", guardado.c_str(), 1);
    else
        unsetenv("R_LIBS_SITE");
    ASSERT_TRUE(r.mostrar);
    EXPECT_EQ(r.linhas[0], AvisoGraficosPNG);
    EXPECT_EQ(r.primeiroGrafico, ComBarra(dados) + "dorvan01.png");
    EXPECT_EQ(dados.Le("dorvan01.png").substr(1, 3), "PNG");
    EXPECT_TRUE(fs::exists(dados / "dorvan02.png"));
    EXPECT_FALSE(fs::exists(dados / "dorvan02.svg"));
    const BotoesGraficoR b = EstadoBotoesGraficoR(ComBarra(dados));
    EXPECT_TRUE(b.visivel[0] && b.visivel[1]);
    EXPECT_EQ(ArquivoGraficoR(ComBarra(dados), "02"), ComBarra(dados) + "dorvan02.png");
}

// The schemes shipped with the program, as the build copies them beside it.
TEST_F(RReal, ShippedSchemesRunOnATabulatedTableAndOnTheirOwnExamples) {
    const fs::path fontes = fs::path(DORVAN_SOURCE_DIR) / "src/analysis/esquemas";
    const fs::path instalados = fs::path(DORVAN_BINARY_DIR) / "bin";
    std::vector<std::string> nomes;
    for (const auto& e : fs::directory_iterator(fontes))
        nomes.push_back(e.path().filename().string());
    std::sort(nomes.begin(), nomes.end());
    ASSERT_EQ(nomes, (std::vector<std::string>{"frequencias.rx", "grafico_barras.rx", "modelo.rx", "regressao.rx"}));
    // The library lists the examples, not the template a new scheme starts from.
    const std::vector<std::string> lista = ListaEsquemasR(instalados.string() + "/");
    EXPECT_EQ(lista.size(), 3u);
    for (const std::string& nome : lista)
        EXPECT_EQ(nome.find("[modelo.rx]"), std::string::npos);

    PerguntasR p;
    // The response of the regression is the second column, every other choice both.
    p.Marca = [](const std::string& pergunta, bool) {
        return std::optional<std::vector<std::int32_t>>(
            pergunta.find("(Y)") != std::string::npos ? std::vector<std::int32_t>{2} : std::vector<std::int32_t>{1, 2});
    };
    struct Esperado {
        const char* arquivo;
        int graficos;
        bool retorna;
    } esperados[] = {{"frequencias.rx", 0, true},
                     {"grafico_barras.rx", 1, false},
                     {"regressao.rx", 2, false},
                     {"modelo.rx", 0, false}};
    for (const Esperado& e : esperados) {
        SCOPED_TRACE(e.arquivo);
        ASSERT_EQ(LeArquivoInteiro((instalados / e.arquivo).string()), LeArquivoInteiro((fontes / e.arquivo).string()));
        const EsquemaR esquema = LeEsquemaR((instalados / e.arquivo).string());
        // A tabulation by municipality and sex, and the scheme's own example table.
        std::vector<TabelaResultados> tabelas;
        tabelas.push_back(teste::MontaTabela(
            {"110001 Munic\xEDpio 001-RO", "110002 Munic\xEDpio 002-RO", "120001 Munic\xEDpio 001-AC",
             "130001 Munic\xEDpio 001-AM", "130002 Munic\xEDpio 002-AM"},
            {{"Masculino", {31, 12, 44, 27, 9}}, {"Feminino", {25, 10, 30, 22, 11}}, {"Total", {56, 22, 74, 49, 20}}}));
        tabelas.back().Titulo1 = "\xD3"
                                 "bitos por munic\xEDpio e sexo";
        if (!esquema.exemplo.empty()) {
            GravaExemploR(esquema, ComBarra(dados));
            TabelaResultados exemplo;
            LeituraTabela l;
            ASSERT_TRUE(CarregaRetornoR(exemplo, ComBarra(dados), l));
            tabelas.push_back(exemplo);
        }
        for (TabelaResultados& t : tabelas) {
            const std::int32_t linhas = t.NumLinhas;
            const ResultadoR r = Roda(LeArquivoInteiro((instalados / e.arquivo).string()), t, p);
            std::string saida;
            for (const std::string& l : r.linhas)
                saida += l + "\n";
            for (const char* erro : {"Error in", "Erro em", "Warning", "Aviso"})
                EXPECT_EQ(saida.find(erro), std::string::npos) << erro << "\n" << saida;
            EXPECT_EQ(r.mostrar, e.graficos > 0 || e.retorna || std::string(e.arquivo) == "regressao.rx") << saida;
            for (int g = 1; g <= 3; ++g) {
                const std::string legenda = "0" + std::to_string(g);
                EXPECT_EQ(!ArquivoGraficoR(ComBarra(dados), legenda).empty(), g <= e.graficos) << legenda;
            }
            TabelaResultados volta;
            LeituraTabela l;
            EXPECT_EQ(CarregaRetornoR(volta, ComBarra(dados), l), e.retorna);
            if (e.retorna) {
                EXPECT_EQ(volta.NumLinhas, linhas);
                EXPECT_EQ(volta.NumColunas(), 4);
                EXPECT_EQ(volta.NomeColuna(3), "% Masculino");
            }
        }
    }
}

TEST_F(RReal, InteractiveStartupLoadsTheTableAndTitlesUnchanged) {
    TabelaResultados t = teste::MontaTabela({"Bel\xE9m", "Natal"}, {{"x", {1, 2}}, {"y y", {3, 4}}});
    t.Titulo1 = "C:\\dados\\\"a\"";
    t.NomeMapa = "m\\br.map";
    prog.Grava("menu.r", "menu <- \"carregado\"\n");
    GravaPerfilR(ComBarra(dados), ComporPerfilInterativoR(t, amb, ComBarra(dados)));
    // A real session start: R reads the folder's ".Rprofile", attaches its packages
    // and calls .First; then it takes commands from its input.
    dados.Grava("comandos.r", "cat(titulo, nomemapa, menu, nrow(tabela), names(tabela)[2], rownames(tabela)[1],"
                              " sep=\"|\", file=\"saida.txt\")\n");
    const std::string comando =
        "cd '" + ComBarra(dados) + "' && '" + amb.DirR + "R' --no-save --quiet < comandos.r > sessao.log 2>&1";
    ASSERT_EQ(teste::Executa(comando), 0) << dados.Le("sessao.log");
    EXPECT_NE(dados.Le("sessao.log").find("Dados carregados em \"tabela\"!"), std::string::npos);
    EXPECT_EQ(dados.Le("saida.txt"), "C:\\dados\\\"a\"|m/br.map|carregado|2|y y|Bel\xE9m");
}

} // namespace
} // namespace dorvan

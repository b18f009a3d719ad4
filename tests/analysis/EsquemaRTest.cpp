#include "analysis/EsquemaR.h"

#include "../support/ApoioTeste.h"
#include "platform/Erros.h"

#include <gtest/gtest.h>

namespace dorvan {
namespace {

TEST(EsquemaR, ElementsAreTrimmedMissingOnesEmptyAndOutsideTextIgnored) {
    const EsquemaR e = EsquemaDeTexto("lixo antes\n<titulo>  M\xE9" "dia \r\n</titulo><autor>Ana</autor>\n"
                                      "<versao>1.2</versao><script>\n x &lt;- 1\n</script> e depois");
    EXPECT_EQ(e.titulo, "M\xE9" "dia");
    EXPECT_EQ(e.autor, "Ana");
    EXPECT_EQ(e.versao, "1.2");
    // Entities stay until the code is written out.
    EXPECT_EQ(e.script, "x &lt;- 1");
    EXPECT_EQ(e.email, "");
    EXPECT_EQ(e.exemplo, "");
    EXPECT_EQ(e.colsel, "");
    EXPECT_EQ(e.parametro2, "");
}

TEST(EsquemaR, UnreadableSchemeFileFailsWithFileError) {
    teste::PastaTemporaria p;
    EXPECT_THROW(LeEsquemaR(p / "nao-existe.rx"), ErroES);
}

TEST(EsquemaR, LibraryListsTitledSchemesInAlphabeticalOrderOfTheWholeItem) {
    teste::PastaTemporaria p;
    p.Grava("b.rx", "<titulo>Regress\xE3o</titulo>");
    p.Grava("a.rx", "<titulo>Regress\xE3o</titulo>");
    p.Grava("c.RX", "<titulo>anova</titulo>");
    p.Grava("semtitulo.rx", "<autor>x</autor>");
    p.Grava("vazio.rx", "<titulo>  </titulo>");
    p.Grava("outro.txt", "<titulo>Texto</titulo>");
    const std::vector<std::string> esperado = {"anova [c.RX]", "Regress\xE3o [a.rx]", "Regress\xE3o [b.rx]"};
    EXPECT_EQ(ListaEsquemasR(p.Caminho().string() + "/"), esperado);
}

TEST(EsquemaR, FileNameOfAnItem) {
    struct Caso {
        std::string item, arquivo;
    } casos[] = {
        {"Regress\xE3o [reg.rx]", "reg.rx"},
        {"Temporario[tmp.rx]", "tmp.rx"},     // the editor's item has no blank
        {"Com [colchete] [x.rx]", "colchete] [x.rx"}, // from the first '['
        {"Sem colchete", ""},
        {"Fim [", ""},
    };
    for (const Caso& c : casos)
        EXPECT_EQ(ArquivoDoItemR(c.item), c.arquivo) << c.item;
}

TEST(EsquemaR, DetailsShownForAScheme) {
    EsquemaR e;
    e.autor = "Ana";
    e.email = "ana@x";
    e.versao = "2";
    e.descricao = "Faz\r\ntudo";
    DetalhesEsquemaR d = DetalhesDe(e);
    EXPECT_EQ(d.autor, "Autor: Ana");
    EXPECT_EQ(d.email, "ana@x");
    EXPECT_EQ(d.versao, "Vers\xE3o: 2");
    EXPECT_EQ(d.descricao, "Faz\r\ntudo");
    EXPECT_FALSE(d.temExemplo);
    e.exemplo = "Titulo1=x";
    EXPECT_TRUE(DetalhesDe(e).temExemplo);
    EXPECT_EQ(TituloFormR("/usr/bin/", "/rx/"), "R em /usr/bin/ e Esquemas de an\xE1lise em /rx/");
}

TEST(EsquemaR, ExampleDataGoOutUnchangedWithoutFinalLineBreak) {
    teste::PastaTemporaria p;
    const EsquemaR e = EsquemaDeTexto("<exemplo>\nTitulo1=A &amp; B\n,\"x\"\n\"l1\",1\n</exemplo>");
    GravaExemploR(e, p.Caminho().string() + "/");
    EXPECT_EQ(p.Le("dorvan.out"), "Titulo1=A &amp; B\n,\"x\"\n\"l1\",1");
}

} // namespace
} // namespace dorvan

#include "analysis/EditorEsquemaR.h"
#include "analysis/VisorGraficoR.h"
#include "support/ApoioTeste.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace dorvan;

TEST(EditorEsquemaR, CursorFicaAntesDoFimDoScript) {
    struct Caso {
        std::string texto;
        std::optional<std::size_t> esperado;
    } casos[] = {
        {"<script>\nx <- 1\n</script>", 15}, // end of the last code line
        {"<script>\r\nx\r\n</script>", 11},  // before the whole CR LF
        {"<script>x</script>", 8},           // before the last code character
        {"</script>", 0},
        {"<titulo>Sem script</titulo>", std::nullopt},
    };
    for (const Caso& c : casos)
        EXPECT_EQ(PosicaoCursorEsquema(c.texto), c.esperado) << c.texto;
}

TEST(EditorEsquemaR, EntidadesSoDentroDoScript) {
    const std::string texto = "<titulo>A & B</titulo>\n<script>\nif (a < b & c > \"d\") x\n</script>\n<x>&</x>";
    const auto ida = ConverteScript(texto, ConversaoEntidades::ParaEntidades);
    ASSERT_TRUE(ida);
    EXPECT_EQ(*ida,
              "<titulo>A & B</titulo>\n<script>\nif (a &lt; b &amp; c &gt; &quot;d&quot;) x\n</script>\n<x>&</x>");
    const auto volta = ConverteScript(*ida, ConversaoEntidades::ParaCaracteres);
    ASSERT_TRUE(volta);
    EXPECT_EQ(*volta, texto);
    // Without both tags the text is left alone.
    EXPECT_FALSE(ConverteScript("<script> a < b", ConversaoEntidades::ParaEntidades));
    EXPECT_FALSE(ConverteScript("a < b </script>", ConversaoEntidades::ParaEntidades));
    EXPECT_FALSE(ConverteScript("</script><script>a<b", ConversaoEntidades::ParaEntidades));
}

TEST(EditorEsquemaR, LinhaDeEstado) {
    EXPECT_EQ(TextoPosicaoEditor(12, 5), "  12:   5");
    EXPECT_EQ(TextoPosicaoEditor(12345, 1), "12345:   1");
    EXPECT_EQ(TextoModificado(true), "Modificado");
    EXPECT_EQ(TextoModificado(false), "N\xE3o modificado");
    EXPECT_EQ(TextoModoInsercao(true), "Insere");
    EXPECT_EQ(TextoModoInsercao(false), "Substitue");
    EXPECT_EQ(MensagemNaoEncontrada("abc"), "Seq\xFC\xEAncia 'abc' n\xE3o encontrada!");
}

TEST(EditorEsquemaR, EsquemaDeTesteSubstituiOAnterior) {
    teste::PastaTemporaria p;
    p.Grava("tmp.rx", "velho velho velho");
    const std::string dir = p.Caminho().string() + "/";
    EXPECT_EQ(GravaEsquemaTeste(dir, "<titulo>T</titulo>"), dir + "tmp.rx");
    EXPECT_EQ(p.Le("tmp.rx"), "<titulo>T</titulo>");
}

TEST(EditorEsquemaR, AjudaDoRNaPastaDeInstalacao) {
    teste::PastaTemporaria p;
    std::filesystem::create_directories(p.Caminho() / "R/bin");
    std::filesystem::create_directories(p.Caminho() / "R/doc/html");
    const std::string dirR = p.Caminho().string() + "/R/bin/";
    // Not installed: the page is still named, for the browser to complain about.
    if (!std::filesystem::exists("/usr/share/R/doc/html/index.html")) {
        EXPECT_EQ(PaginaAjudaR(dirR), p.Caminho().string() + "/R/doc/html/rwin.html");
    }
    p.Grava("R/doc/html/index.html", "x");
    EXPECT_EQ(PaginaAjudaR(dirR), p.Caminho().string() + "/R/doc/html/index.html");
    p.Grava("R/doc/html/rwin.html", "x");
    EXPECT_EQ(PaginaAjudaR(dirR), p.Caminho().string() + "/R/doc/html/rwin.html");
}

TEST(VisorGraficoR, BotoesPelosGraficosDaPasta) {
    teste::PastaTemporaria p;
    const std::string dir = p.Caminho().string() + "/";
    auto b = EstadoBotoesGraficoR(dir);
    for (bool v : b.visivel)
        EXPECT_FALSE(v);
    EXPECT_FALSE(b.mais);

    p.Grava("dorvan01.svg", "<svg/>");
    b = EstadoBotoesGraficoR(dir);
    for (bool v : b.visivel)
        EXPECT_FALSE(v) << "a single plot shows no button";

    p.Grava("dorvan02.svg", "<svg/>");
    b = EstadoBotoesGraficoR(dir);
    EXPECT_TRUE(b.visivel[0]);
    EXPECT_TRUE(b.visivel[1]);
    EXPECT_FALSE(b.ativo[0]);
    EXPECT_TRUE(b.ativo[1]);
    for (std::size_t i = 2; i < 9; ++i)
        EXPECT_FALSE(b.visivel[i]);
    EXPECT_FALSE(b.mais);

    p.Grava("DORVAN05.SVG", "<svg/>");
    p.Grava("dorvan10.svg", "<svg/>");
    b = EstadoBotoesGraficoR(dir);
    EXPECT_TRUE(b.visivel[4]);
    EXPECT_FALSE(b.visivel[2]);
    EXPECT_TRUE(b.mais);
    EXPECT_EQ(ArquivoGraficoR(dir, "05"), dir + "DORVAN05.SVG");
    EXPECT_EQ(ArquivoGraficoR(dir, "03"), "");
    // A bitmap plot stands in for a vector one of the same number.
    p.Grava("dorvan03.png", "png");
    EXPECT_EQ(ArquivoGraficoR(dir, "03"), dir + "dorvan03.png");
    EXPECT_TRUE(EstadoBotoesGraficoR(dir).visivel[2]);
}

TEST(VisorGraficoR, QuadroDeImpressaoCentrado) {
    struct Caso {
        int w, h;
        QuadroImpressao q;
    } casos[] = {
        {3000, 2000, {550, 50, 1900}},
        {2000, 3000, {50, 550, 1900}},
        {1000, 1000, {50, 50, 900}},
        {80, 60, {40, 30, 0}}, // a page smaller than the margin prints nothing
    };
    for (const Caso& c : casos) {
        const QuadroImpressao q = QuadroImpressaoGrafico(c.w, c.h);
        EXPECT_EQ(q.esquerda, c.q.esquerda) << c.w << "x" << c.h;
        EXPECT_EQ(q.topo, c.q.topo) << c.w << "x" << c.h;
        EXPECT_EQ(q.lado, c.q.lado) << c.w << "x" << c.h;
    }
}

TEST(VisorGraficoR, NomeAoSalvarSegueOConteudo) {
    struct Caso {
        std::string escolhido;
        TipoFiguraR tipo;
        std::string esperado;
    } casos[] = {
        {"/t/a.wmf", TipoFiguraR::Vetorial, "/t/a.svg"}, {"/t/a.SVG", TipoFiguraR::Vetorial, "/t/a.SVG"},
        {"/t/a", TipoFiguraR::Vetorial, "/t/a.svg"},     {"/t/a.wmf", TipoFiguraR::Bitmap, "/t/a.png"},
        {"/t/a.v1", TipoFiguraR::Bitmap, "/t/a.v1.png"},
    };
    for (const Caso& c : casos)
        EXPECT_EQ(NomeParaSalvar(c.escolhido, c.tipo), c.esperado) << c.escolhido;
    EXPECT_EQ(TipoFiguraPorNome("x.EMF"), TipoFiguraR::Vetorial);
    EXPECT_EQ(TipoFiguraPorNome("x.png"), TipoFiguraR::Bitmap);
    EXPECT_EQ(TipoFiguraPorNome("x.txt"), TipoFiguraR::Nenhum);
}

namespace dorvan {
namespace {

TEST(VisorGraficoR, SvgliteShapesGetTheirSheetDefaultsAsAttributes) {
    const std::string svglite = "<svg class='svglite' width='504.00pt' height='504.00pt' viewBox='0 0 504.00 360.00'>"
                                "<defs><style>.svglite line {stroke: #000000;}</style></defs>"
                                "<rect width='100%' height='100%' style='stroke: none; fill: #FFFFFF;'/>"
                                "<line x1='1'/><polyline points='1,2'/>\n<rect width='1' style='fill: #FFFFFF;'/>"
                                "<circle r='2'/><text x='3'>path</text><pathx/></svg>";
    const std::string r = SvgParaDesenho(svglite);
    const std::string padrao = " fill='none' stroke='#000000' stroke-linecap='round' stroke-linejoin='round'"
                               " stroke-miterlimit='10'";
    EXPECT_NE(r.find("<line" + padrao + " x1='1'/>"), std::string::npos);
    EXPECT_NE(r.find("<polyline" + padrao + " points"), std::string::npos);
    EXPECT_NE(r.find("<rect" + padrao + " width='1' style='fill: #FFFFFF;'/>"), std::string::npos);
    EXPECT_NE(r.find("<circle" + padrao + " r='2'/>"), std::string::npos);
    EXPECT_NE(r.find("<text x='3'>path</text><pathx/>"), std::string::npos);
    // The background covers the picture in its own units.
    EXPECT_NE(r.find("<rect" + padrao + " width='504.00' height='360.00' style='stroke: none; fill: #FFFFFF;'/>"),
              std::string::npos);
    // Any other picture is left as it is.
    const std::string outro = "<svg><line x1='1'/></svg>";
    EXPECT_EQ(SvgParaDesenho(outro), outro);
}

} // namespace
} // namespace dorvan

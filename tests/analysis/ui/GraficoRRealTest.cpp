// Plots made by real R, drawn as the viewer draws them: the title, the axis numbers
// and the lines must show, not only be in the file.
#include "analysis/ExecucaoR.h"
#include "analysis/ui/TRGrafico.h"
#include "platform/Processos.h"
#include "support/ApoioTeste.h"

#include <QColor>
#include <QImage>
#include <QPainter>
#include <QPoint>
#include <filesystem>
#include <gtest/gtest.h>

using namespace dorvan;
namespace fs = std::filesystem;

namespace {

// Dark pixels in the rectangle [x0, x1) x [y0, y1).
int Escuros(const QImage& img, int x0, int y0, int x1, int y1) {
    int n = 0;
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x)
            if (qGray(img.pixel(x, y)) < 128) ++n;
    return n;
}

TEST(GraficoRReal, TitleAxisNumbersAndLinesShowInTheDrawnPlot) {
    const std::string rscript = AchaNoPath("Rscript");
    if (rscript.empty()) GTEST_SKIP() << "R is not installed (r-base-core)";
    teste::PastaTemporaria prog, dados;
    AmbienteR amb;
    amb.DirR = fs::path(rscript).parent_path().string() + "/";
    amb.DirPrograma = amb.DirRX = prog.Caminho().string() + "/";
    amb.DirDados = dados.Caminho().string() + "/";
    const std::string antes = PastaAtual();
    // A plot of 7 x 7 inches is 504 x 504 points: the image maps one point to a pixel.
    prog.Grava("g.rx", "<titulo>G</titulo><script>grafico.dorvan()\n"
                       "plot(c(10, 20, 30), main=\"OBITOS POR ANO\", xlab=\"\", ylab=\"\")</script>");
    TabelaResultados t;
    std::string primeiro;
    {
        const auto preparo = PreparaExecucaoR("g.rx", t, amb, nullptr, {});
        ASSERT_TRUE(preparo);
        ASSERT_TRUE(RodaLoteR(amb, *preparo));
        primeiro = ColheResultadoR(*preparo, amb).primeiroGrafico;
    }
    MudaPastaAtual(antes);
    ASSERT_FALSE(primeiro.empty());
    const auto figura = FiguraR::Carrega(primeiro);
    ASSERT_EQ(figura->Tipo(), TipoFiguraR::Vetorial);
    // On the viewer's grey, so that the picture's own white background shows.
    QImage img(504, 504, QImage::Format_RGB32);
    img.fill(QColor(128, 128, 128));
    {
        QPainter p(&img);
        figura->Desenha(p, QRectF(0, 0, 504, 504));
    }
    // The background is white to the corners.
    for (const QPoint canto : {QPoint(2, 2), QPoint(501, 2), QPoint(2, 501), QPoint(501, 501), QPoint(250, 250)})
        EXPECT_EQ(img.pixel(canto), qRgb(255, 255, 255)) << canto.x() << "," << canto.y();
    // The title above the plot box, centred.
    EXPECT_GT(Escuros(img, 150, 20, 354, 55), 150);
    // The numbers under the x axis (1.0 ... 3.0) and left of the y axis.
    EXPECT_GT(Escuros(img, 60, 440, 474, 470), 60);
    EXPECT_GT(Escuros(img, 30, 60, 50, 430), 60);
    // The plot box: its left side is a line the height of the box.
    EXPECT_GT(Escuros(img, 57, 100, 62, 400), 250);
}

} // namespace

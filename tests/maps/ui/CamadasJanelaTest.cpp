#include "maps/ui/ComandosCamadas.h"

#include "data/LeDBF32.h"
#include "maps/Escala.h"
#include "maps/MapaTabela.h"
#include "maps/ui/PintaMapa.h"
#include "maps/ui/TFEscala.h"
#include "maps/ui/TMapa.h"
#include "maps/ui/TfCamada.h"
#include "platform/Mensagens.h"
#include "platform/Texto1252.h"
#include "platform/ui/Impressora.h"
#include "maps/ApoioMapas.h"
#include "support/ApoioTeste.h"
#include "support/DirigeJanelas.h"
#include "table/Configuracao.h"
#include "table/TabelaTeste.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QImage>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QSpinBox>
#include <gtest/gtest.h>

#include <filesystem>

namespace dorvan {
namespace {

using teste::PastaTemporaria;

RegistroMapa Quadrado(const std::string& codigo, float x, float y, float lado) {
    return teste::Quadrado(codigo, "N" + codigo, x, y, lado);
}

// The answers the commands get, restored after each test.
struct Respostas {
    PerguntasCamadas antes = PerguntasDasCamadas();
    std::string arquivo;       // the open dialog's answer
    std::string salvo;         // the save dialog's answer
    std::string inicialPedido; // what the open dialog was started on
    std::function<int(TfCamada&)> dialogo = [](TfCamada&) { return int(QDialog::Accepted); };
    Respostas() {
        PerguntasDasCamadas().AbreCamada = [this](const std::string&, const std::string&, const std::string& i) {
            inicialPedido = i;
            return arquivo;
        };
        PerguntasDasCamadas().MostraDialogo = [this](TfCamada& d) { return dialogo(d); };
        PerguntasDasCamadas().SalvaArquivo = [this](const std::string&, int, const std::string&, const std::string&) {
            return salvo;
        };
    }
    ~Respostas() { PerguntasDasCamadas() = antes; }
};

struct Cenario {
    PastaTemporaria pasta;
    std::string mapa = pasta / "ufbase.map";
    TabelaResultados t;
    Configuracao cfg;
    std::unique_ptr<TMapa> janela;
    Respostas r;

    Cenario() {
        GravaMapa(mapa, {Quadrado("01", 0, 0, 50), Quadrado("02", 50, 0, 50)});
        janela = std::make_unique<TMapa>(t, cfg);
        t = teste::MontaTabela({"01 Norte", "02 Sul"}, {{"Casos", {10, 50}, 0}});
        t.DefineNomeColuna(0, "Lugar");
        t.TamCodigo = 2;
        t.NomeMapa = mapa;
        t.Titulo1 = "Casos por lugar";
        EXPECT_TRUE(PreparaMapaColuna(t, 1, EstadoEscalaAtual()));
        MontaIndiceLinhas(t);
        janela->resize(700, 600);
        janela->show();
        QApplication::processEvents();
        janela->DesenhaMapa();
    }
    QAction* Item(int k) const { return janela->Acao(QStringLiteral("Camada") + QString::number(k)); }
    std::string Pontos(const std::string& nome, double lat, double lon, const std::string& raio) {
        dbfRecord h;
        CreateDBF(h, pasta / nome, {{"LATITUDE", 'C', 10}, {"LONGITUDE", 'C', 10}, {"RAIO", 'N', 3}}, 0);
        std::string reg(h.TamRegistro, ' ');
        PutFieldDBF(h, 1, std::to_string(lat), reg.data());
        PutFieldDBF(h, 2, std::to_string(lon), reg.data());
        PutFieldDBF(h, 3, raio, reg.data());
        AppendDBF(h, reg.data());
        CloseDBF(h);
        return pasta / nome;
    }
};

TEST(CamadasJanela, AddingTenthRefusedAndRemovingRenumbersTheItems) {
    Cenario c;
    MensagensRoteiro roteiro;
    UsaMensagens usa(roteiro);
    bool transparenteNoDialogo = false, removerHabilitado = true;
    c.r.dialogo = [&](TfCamada& d) {
        transparenteNoDialogo = d.cbTransparente->isChecked();
        removerHabilitado = d.bRemover->isEnabled();
        return int(QDialog::Accepted);
    };
    for (int k = 1; k <= 9; ++k) {
        c.r.arquivo = c.pasta / ("c" + std::to_string(k) + (k == 1 ? ".map" : ".gpx"));
        c.janela->Acao(QStringLiteral("AdicionaCamada1"))->trigger();
        if (k == 1) {
            EXPECT_TRUE(transparenteNoDialogo) << "a .MAP layer starts as outline only";
            EXPECT_EQ(c.r.inicialPedido, c.pasta / "uf*.map");
        }
        if (k == 2) {
            EXPECT_FALSE(transparenteNoDialogo);
        }
        EXPECT_FALSE(removerHabilitado);
    }
    EXPECT_EQ(CamadasDaJanela(*c.janela).NumCamadas(), 9);
    EXPECT_EQ(c.Item(9)->text(), QStringLiteral("&9 c9.gpx"));
    EXPECT_TRUE(c.Item(9)->isVisible());
    EXPECT_TRUE(c.Item(9)->isChecked());
    c.janela->Acao(QStringLiteral("AdicionaCamada1"))->trigger();
    EXPECT_EQ(CamadasDaJanela(*c.janela).NumCamadas(), 9);

    // Layer 4 off through its dialog, then layer 2 removed.
    c.r.dialogo = [](TfCamada& d) {
        EXPECT_TRUE(d.bRemover->isEnabled());
        d.cbAtiva->setChecked(false);
        d.SpinEdit1->setValue(7);
        d.dgCorSelectCell(3, 0);
        return int(QDialog::Accepted);
    };
    c.janela->Acao(QStringLiteral("Camada4"))->trigger();
    EXPECT_FALSE(c.Item(4)->isChecked());
    EXPECT_EQ(CamadasDaJanela(*c.janela).Camada(4).LarguraCamada, 7);
    EXPECT_EQ(CamadasDaJanela(*c.janela).Camada(4).CorCamada, 0x000000FFu);
    c.r.dialogo = [](TfCamada&) { return ResultadoRemover; };
    c.janela->Acao(QStringLiteral("Camada2"))->trigger();
    EXPECT_EQ(c.Item(2)->text(), QStringLiteral("&2 c3.gpx"));
    EXPECT_TRUE(c.Item(2)->isChecked());
    EXPECT_EQ(c.Item(3)->text(), QStringLiteral("&3 c4.gpx"));
    EXPECT_FALSE(c.Item(3)->isChecked());
    EXPECT_FALSE(c.Item(9)->isVisible());
    // Cancel changes nothing.
    c.r.dialogo = [](TfCamada& d) {
        d.cbAtiva->setChecked(false);
        return int(QDialog::Rejected);
    };
    c.janela->Acao(QStringLiteral("Camada1"))->trigger();
    EXPECT_TRUE(c.Item(1)->isChecked());
    EXPECT_EQ(roteiro.Textos(), (std::vector<std::string>{"Somente nove camadas por mapa"}));
}

TEST(CamadasJanela, PointsAreDrawnPickedAndAVanishedLayerToldOnce) {
    Cenario c;
    MensagensRoteiro roteiro;
    UsaMensagens usa(roteiro);
    c.r.arquivo = c.Pontos("p.dbf", 25, 25, "10");
    c.r.dialogo = [](TfCamada& d) {
        d.dgCorSelectCell(3, 0); // red
        return int(QDialog::Accepted);
    };
    PoeCamadaClick(*c.janela);
    c.janela->DesenhaMapa();
    const PontoTela p = GeoParaTela(c.janela->Vista, 25, 25);
    EXPECT_EQ(c.janela->Imagem().pixelColor(p.X + 3, p.Y), QColor(Qt::red));
    EXPECT_EQ(ValorIdentificacao(c.janela->BitmapIdentificacao(), p.X + 3, p.Y), 200001u);
    // Radius 10 whatever the width: white ring at 10, the area's colour beyond.
    EXPECT_EQ(c.janela->Imagem().pixelColor(p.X + 14, p.Y), CorQt(CorDaClasse(c.t, 10)));
    // A right click on the point tells its record.
    c.janela->MouseDown(Qt::RightButton, {p.X + 3, p.Y});
    EXPECT_EQ(roteiro.Textos(),
              (std::vector<std::string>{"p.dbf\n======\nlatitude: 25.000000\nlongitude: 25.000000\nraio: 10"}));
    roteiro.Limpa();

    std::filesystem::remove(c.pasta / "p.dbf");
    c.janela->DesenhaMapa();
    c.janela->DesenhaMapa();
    EXPECT_EQ(roteiro.Textos().size(), 1u);
    EXPECT_EQ(c.janela->Imagem().pixelColor(p.X + 3, p.Y), CorQt(CorDaClasse(c.t, 10))) << "the map is still drawn";
}

TEST(CamadasJanela, ProportionalCirclesFollowTheChosenColumn) {
    Cenario c;
    c.janela->ColunaCirculo = 1;
    c.janela->CorCirculo = QColor(255, 128, 0);
    c.janela->SpinEdit1->setValue(20);
    c.janela->DesenhaMapa();
    const PontoTela sul = GeoParaTela(c.janela->Vista, 75, 25);
    EXPECT_EQ(c.janela->Imagem().pixelColor(sul.X + 5, sul.Y), QColor(255, 128, 0));
}

TEST(CamadasJanela, FlowLinesAreDrawnInTheFlowColourAndPicked) {
    Cenario c;
    dbfRecord h;
    CreateDBF(h, c.pasta / "fluxo.dbf",
              {{"X1", 'N', 6},
               {"Y1", 'N', 6},
               {"X2", 'N', 6},
               {"Y2", 'N', 6},
               {"TIPO", 'N', 2},
               {"FLUXO", 'N', 6},
               {"TOT1", 'N', 6},
               {"TOT2", 'N', 6},
               {"DISTANCIA", 'N', 6}},
              0);
    std::string reg(h.TamRegistro, ' ');
    const char* valores[] = {"10", "25", "90", "25", "1", "50", "100", "100", "80"};
    for (int i = 0; i < 9; ++i)
        PutFieldDBF(h, i + 1, valores[i], reg.data());
    AppendDBF(h, reg.data());
    CloseDBF(h);
    ConfiguracaoSetas& o = c.janela->Fluxos;
    o.MostraSetas = true;
    o.ArquivoFluxo = c.pasta / "fluxo.dbf";
    o.DivisorLargura = 10; // width 5
    c.janela->DesenhaMapa();
    const PontoTela meio = GeoParaTela(c.janela->Vista, 30, 25);
    EXPECT_EQ(c.janela->Imagem().pixelColor(meio.X, meio.Y + 1), QColor(Qt::red));
    EXPECT_EQ(ValorIdentificacao(c.janela->BitmapIdentificacao(), meio.X, meio.Y + 1), 2000001u);
    {
        // A right click on the line tells its flow record.
        MensagensRoteiro roteiro;
        UsaMensagens usa(roteiro);
        c.janela->MouseDown(Qt::RightButton, {meio.X, meio.Y + 1});
        EXPECT_EQ(roteiro.Textos(), (std::vector<std::string>{"fluxo.dbf\n======\nx1: 10\ny1: 25\nx2: 90\ny2: "
                                                              "25\ntipo: 1\nfluxo: 50\ntot1: 100\ntot2: "
                                                              "100\ndistancia: 80"}));
    }
    o.Cor = 0x00FF0000;
    c.janela->hide();
    c.janela->show();
    EXPECT_EQ(o.Cor, 0x000000FFu) << "red again at every show";
    o.MostraSetas = false;
}

TEST(TfCamada, PreviewCircleFollowsColourWidthAndFill) {
    TfCamada d;
    CamadaDoMapa c;
    c.ArquivoCamada = "/mapas/rios.map";
    c.LarguraCamada = 10;
    d.Carrega(c, false);
    EXPECT_EQ(d.windowTitle(), QStringLiteral("/mapas/rios.map"));
    EXPECT_FALSE(d.bRemover->isEnabled());
    d.dgCorSelectCell(3, 0);
    EXPECT_EQ(d.Cor(), 0x000000FFu);
    QImage img = d.grab().toImage();
    EXPECT_EQ(img.pixelColor(258, 80), QColor(Qt::red));
    EXPECT_NE(img.pixelColor(258 + 14, 80), QColor(Qt::red));
    d.cbTransparente->setChecked(true);
    d.SpinEdit1->setValue(20);
    img = d.grab().toImage();
    EXPECT_NE(img.pixelColor(258, 80), QColor(Qt::red)) << "outline only";
    EXPECT_EQ(img.pixelColor(258 + 20, 80), QColor(Qt::red));
    CamadaDoMapa fora;
    d.Aplica(fora);
    EXPECT_TRUE(fora.Transparente);
    EXPECT_EQ(fora.LarguraCamada, 20);
    EXPECT_EQ(fora.CorCamada, 0x000000FFu);
}

std::string Comando(const std::string& linha) {
    std::string saida;
    teste::Executa(linha, &saida);
    return saida;
}

TEST(CamadasJanela, PrintedPageIsOneLandscapePageWithTheTitleAndABadVersionPrintsNothing) {
    Cenario c;
    MensagensRoteiro roteiro;
    UsaMensagens usa(roteiro);
    QPrinter& p = ImpressoraDoMapa();
    p.setOutputFormat(QPrinter::PdfFormat);
    const std::string pdf = c.pasta / "mapa.pdf";
    p.setOutputFileName(QString::fromStdString(pdf));
    c.janela->Acao(QStringLiteral("Imprimir1"))->trigger();
    ASSERT_TRUE(std::filesystem::exists(pdf));
    const std::string info = Comando("pdfinfo '" + pdf + "'");
    const auto paginas = info.find("Pages:");
    ASSERT_NE(paginas, std::string::npos) << info;
    EXPECT_EQ(std::stoi(info.substr(paginas + 6)), 1) << info;
    const auto tamanho = info.find("Page size:");
    ASSERT_NE(tamanho, std::string::npos);
    double w = 0, h = 0;
    ASSERT_EQ(std::sscanf(info.c_str() + tamanho, "Page size: %lf x %lf", &w, &h), 2);
    EXPECT_GT(w, h) << "landscape";
    EXPECT_NE(Comando("pdftotext '" + pdf + "' -").find("Casos por lugar"), std::string::npos);
    EXPECT_TRUE(roteiro.Textos().empty());

    std::filesystem::remove(pdf);
    CabecalhoMapa velho;
    velho.Versao = 7;
    c.t.NomeMapa = c.pasta.Grava("velho.map", BytesCabecalho(velho));
    ImprimeMapa(*c.janela);
    EXPECT_FALSE(std::filesystem::exists(pdf));
    EXPECT_EQ(roteiro.Textos(), (std::vector<std::string>{"Vers\xE3o inv\xE1lida do arquivo de mapas :7"}));
    p.setOutputFileName(QString()); // the printer as it was, for the tests after this one
}

// No printer is installed here (as in CI): the map goes to a PDF file the user names,
// and its legend keeps the size it has on a 300 dpi printer while the job runs at 1200.
TEST(CamadasJanela, WithNoPrinterTheMapGoesToTheNamedPdfWithAReadableLegend) {
    if (!QPrinterInfo::availablePrinters().isEmpty()) GTEST_SKIP() << "a printer is installed here";
    Cenario c;
    ASSERT_TRUE(SemImpressora(ImpressoraDoMapa()));
    MensagensRoteiro roteiro;
    UsaMensagens usa(roteiro);
    const std::string pdf = c.pasta / "mapa impresso.pdf";
    std::string titulo;
    teste::RespondeArquivo(pdf, &titulo);
    c.janela->Acao(QStringLiteral("Imprimir1"))->trigger();
    EXPECT_EQ(titulo, "N\xC3\xA3o h\xC3\xA1 impressora instalada: salvar a impress\xC3\xA3o em arquivo PDF");
    EXPECT_EQ(roteiro.Textos(),
              std::vector<std::string>{"N\xE3o h\xE1 impressora instalada: a impress\xE3o foi gravada no arquivo PDF " +
                                       DeUtf8(pdf)});
    ASSERT_TRUE(std::filesystem::exists(pdf));
    EXPECT_TRUE(SemImpressora(ImpressoraDoMapa())) << "the next print asks for its file again";

    // At 150 dpi a box of 50 × 40 pixels of a 300 dpi printer is 25 × 20. The map
    // square ends before 3/4 of the landscape page; the legend lies beyond.
    ASSERT_EQ(teste::Executa("pdftoppm -r 150 -png -singlefile '" + pdf + "' '" + c.pasta / "pagina" + "'"), 0);
    const QImage pagina(QString::fromStdString(c.pasta / "pagina.png"));
    ASSERT_FALSE(pagina.isNull());
    const int corte = pagina.width() * 3 / 4;
    ASSERT_GE(c.t.NumClasses, 2);
    for (int k = 1; k <= c.t.NumClasses; ++k) {
        SCOPED_TRACE(k);
        const QRgb cor = CorQt(c.t.Cor[static_cast<std::size_t>(k)]).rgb();
        QRect caixa;
        for (int y = 0; y < pagina.height(); ++y)
            for (int x = corte; x < pagina.width(); ++x)
                if ((pagina.pixel(x, y) & 0xFFFFFFu) == (cor & 0xFFFFFFu)) caixa |= QRect(x, y, 1, 1);
        EXPECT_NEAR(caixa.width(), 25, 2);
        EXPECT_NEAR(caixa.height(), 20, 2);
    }

    double largura = 0;
    std::vector<teste::PalavraPDF> legenda;
    for (const teste::PalavraPDF& p : teste::PalavrasPDF(pdf, &largura))
        if (p.x0 > largura * 3 / 4) legenda.push_back(p);
    ASSERT_GT(largura, 0);
    EXPECT_TRUE(
        std::any_of(legenda.begin(), legenda.end(), [](const teste::PalavraPDF& p) { return p.texto == "Casos"; }));
    EXPECT_GE(legenda.size(), static_cast<std::size_t>(c.t.NumClasses + 1));
    for (std::size_t i = 0; i < legenda.size(); ++i)
        for (std::size_t j = i + 1; j < legenda.size(); ++j) {
            const teste::PalavraPDF &a = legenda[i], &b = legenda[j];
            EXPECT_FALSE(a.x0 < b.x1 && b.x0 < a.x1 && a.y0 < b.y1 && b.y0 < a.y1)
                << "'" << a.texto << "' overprints '" << b.texto << "'";
        }
}

TEST(CamadasJanela, PicturesAreWrittenAsSvgAndPng) {
    Cenario c;
    c.r.salvo = c.pasta / "figura"; // no extension
    c.janela->Acao(QStringLiteral("GravarMetaFile1"))->trigger();
    const std::string mapa = c.pasta / "figura.svg", legenda = c.pasta / "figura_esc.svg";
    ASSERT_TRUE(std::filesystem::exists(mapa));
    ASSERT_TRUE(std::filesystem::exists(legenda));
    EXPECT_EQ(teste::Executa("xmllint --noout '" + mapa + "' 2>/dev/null"), 0);
    EXPECT_EQ(teste::Executa("xmllint --noout '" + legenda + "' 2>/dev/null"), 0);
    const std::string svg = c.pasta.Le("figura.svg");
    const int w = c.janela->Cliente->width() - c.janela->Panel1->width();
    const int h = c.janela->Cliente->height() - 19;
    EXPECT_NE(svg.find("viewBox=\"0 0 " + std::to_string(w) + " " + std::to_string(h) + "\""), std::string::npos);
    EXPECT_NE(c.pasta.Le("figura_esc.svg").find("Casos"), std::string::npos);

    c.r.salvo = c.pasta / "figura.png";
    c.janela->Acao(QStringLiteral("SalvarBitmap1"))->trigger();
    const std::string tipo = Comando("file -b '" + c.r.salvo + "'");
    EXPECT_NE(tipo.find("PNG image data, " + std::to_string(c.janela->Cliente->width()) + " x " +
                        std::to_string(c.janela->Cliente->height() - 19)),
              std::string::npos)
        << tipo;
    c.r.salvo.clear(); // cancel writes nothing
    c.janela->Acao(QStringLiteral("SalvarBitmap1"))->trigger();
}

// A picture is named by what it holds, whatever extension was typed: the vector
// pictures are SVG, the bitmap PNG.
TEST(CamadasJanela, PicturesAreNamedByWhatTheyHold) {
    Cenario c;
    namespace fs = std::filesystem;
    c.r.salvo = c.pasta / "mapa.wmf";
    c.janela->Acao(QStringLiteral("GravarMetaFile1"))->trigger();
    EXPECT_FALSE(fs::exists(c.pasta / "mapa.wmf"));
    ASSERT_TRUE(fs::exists(c.pasta / "mapa.svg"));
    EXPECT_TRUE(fs::exists(c.pasta / "mapa_esc.svg"));
    EXPECT_EQ(teste::Executa("xmllint --noout '" + c.pasta / "mapa.svg" + "' 2>/dev/null"), 0);

    c.r.salvo = c.pasta / "foto.bmp";
    c.janela->Acao(QStringLiteral("SalvarBitmap1"))->trigger();
    EXPECT_FALSE(fs::exists(c.pasta / "foto.bmp"));
    EXPECT_NE(Comando("file -b '" + c.pasta / "foto.png" + "'").find("PNG image data"), std::string::npos);

    // A picture that cannot be written names the file it tried.
    MensagensRoteiro roteiro;
    UsaMensagens usa(roteiro);
    c.r.salvo = c.pasta / "falta/foto.bmp";
    c.janela->Acao(QStringLiteral("SalvarBitmap1"))->trigger();
    ASSERT_EQ(roteiro.Textos().size(), 1u);
    EXPECT_NE(roteiro.Textos()[0].find(c.pasta / "falta/foto.png"), std::string::npos) << roteiro.Textos()[0];
}

} // namespace
} // namespace dorvan

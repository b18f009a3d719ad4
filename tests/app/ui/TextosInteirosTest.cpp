// Every window the program opens, at the size it opens at, measured as the user reads
// it with the desktop's default fonts: no caption, label, button, group, tab, status
// panel or header text is wider than its room, no button is drawn empty, and a grid
// without scroll bars shows all of its cells.
#include "app/ui/ProgramaMontado.h"
#include "app/ui/TextosInteiros.h"

#include "analysis/ui/TRGrafico.h"
#include "maps/Camadas.h"
#include "maps/Classes.h"
#include "maps/ui/PintaMapa.h"
#include "maps/ui/TMapa.h"
#include "maps/ui/TfCamada.h"
#include "platform/ui/Medidas.h"
#include "platform/db/BancoDados.h"
#include "platform/db/ui/TEditaAliases.h"
#include "platform/ui/DialogoBusca.h"
#include "query/ui/TOQBForm.h"
#include "query/ui/TfBrowse.h"
#include "query/ui/TfQuery.h"
#include "table/TabelaResultados.h"
#include "table/ui/GradeFixa.h"
#include "table/ui/TEscolhe_Coluna.h"
#include "table/Configuracao.h"
#include "tabulation/ui/TAbreDEF.h"
#include "tabulation/ui/TDualListDlg.h"
#include "tabulation/ui/TFFazDef.h"
#include "tabulation/ui/TfLigaCNV.h"
#include "tabulation/ui/TTabula.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QFontInfo>
#include <QFontMetrics>
#include <QAbstractItemModel>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QMenu>
#include <QStatusBar>
#include <QAbstractButton>
#include <QImage>
#include <QTest>
#include <QTableWidget>
#include <QStyle>
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <set>

using namespace dorvan;
using namespace dorvan::teste;
using ::testing::IsEmpty;

TEST(TextosInteiros, TheChecksFontIsTheDesktopsDefault) {
    Programa();
    // Debian's default sans-serif face; another one would measure another window.
    EXPECT_EQ(QFontInfo(QApplication::font()).family(), QStringLiteral("DejaVu Sans"));
}

TEST(TextosInteiros, TheCheckFindsACutTextAndACutNumberButNotATextShortenedWithItsHint) {
    Programa();
    QWidget janela;
    janela.resize(400, 200);
    auto* rotulo = new QLabel(QStringLiteral("Largura da linha ou raio do círculo"), &janela);
    rotulo->setGeometry(10, 10, 60, 20);
    auto* botao = new QPushButton(QStringLiteral("Ver demais gráficos"), &janela);
    botao->setGeometry(10, 40, 50, 25);
    auto* numero = new QLabel(QStringLiteral("Linhas:1990…"), &janela);
    numero->setToolTip(QStringLiteral("Linhas:199001"));
    numero->setGeometry(10, 70, 300, 20);
    auto* nome = new QLabel(QStringLiteral("tabela_com_um_nome…"), &janela);
    nome->setToolTip(QStringLiteral("tabela_com_um_nome_comprido.tab"));
    nome->setGeometry(10, 100, 300, 20);
    janela.show();
    const std::vector<std::string> f = TextosCortados(&janela);
    const auto acha = [&f](const char* texto) {
        return std::any_of(f.begin(), f.end(), [texto](const std::string& s) { return s.find(texto) != s.npos; });
    };
    EXPECT_TRUE(acha("raio do c")) << ::testing::PrintToString(f);
    EXPECT_TRUE(acha("Ver demais")) << ::testing::PrintToString(f);
    EXPECT_TRUE(acha("Linhas:1990")) << ::testing::PrintToString(f);
    EXPECT_FALSE(acha("tabela_com_um_nome")) << ::testing::PrintToString(f);
}

TEST(TextosInteiros, AWindowGrowsToItsTitleUntilItsWidthIsTheUsers) {
    Programa();
    AlargaJanelasAoTitulo(*qApp);
    const QString longo = QStringLiteral("Opções de conexão com o banco de dados da tabulação");
    const auto precisa = [](const QWidget& w) { return std::min(LarguraDoTitulo(&w), MaiorLarguraPorTitulo); };

    // Shown with a short title at the given width, resized to `depois`, then titled long.
    const auto intitula = [&longo](QWidget& w, int largura, int depois) {
        w.resize(largura, 100);
        w.setWindowTitle(QStringLiteral("Curto"));
        w.show();
        EXPECT_EQ(w.width(), largura);
        w.resize(depois, 100);
        w.setWindowTitle(longo);
    };
    // Given a longer title, as shown or grown by its own contents: it grows; a fixed one stays fixed.
    QWidget livre, crescida;
    intitula(livre, 200, 200);
    EXPECT_GE(livre.frameGeometry().width(), precisa(livre));
    intitula(crescida, 200, 240);
    EXPECT_GE(crescida.frameGeometry().width(), precisa(crescida));
    QWidget fixa;
    fixa.setFixedSize(150, 100);
    fixa.setWindowTitle(longo);
    fixa.show();
    EXPECT_GE(fixa.frameGeometry().width(), precisa(fixa));
    EXPECT_EQ(fixa.minimumWidth(), fixa.maximumWidth());

    // Narrowed after it was shown: neither a new title nor showing it again undoes that.
    QWidget estreitada;
    intitula(estreitada, 300, 180);
    EXPECT_EQ(estreitada.width(), 180);
    estreitada.hide();
    estreitada.show();
    EXPECT_EQ(estreitada.width(), 180);
}

TEST(TextosInteiros, TheMainWindowsStatusPanelsShowTheirNumbersWhole) {
    Prepara(Estado::ComTabela);
    TForm1& f = Principal();
    TabelaResultados& t = f.Tabela();
    t.AlocaLinhas(199001, 199001);
    for (std::int32_t r = 1; r <= t.NumLinhas; ++r)
        t.Rotulo(r) = "1234567890 Munic\xEDpio";
    t.TamCodigo = 10;
    f.MostraTabela();
    QApplication::processEvents();
    std::vector<std::string> textos;
    for (QLabel* l : f.statusBar()->findChildren<QLabel*>())
        textos.push_back(l->text().toStdString());
    EXPECT_THAT(textos, ::testing::Contains("Linhas:199001"));
    EXPECT_THAT(textos, ::testing::Contains("Chave:10"));
    EXPECT_THAT(TextosCortados(&f), IsEmpty());
    Prepara(Estado::SemTabela);
}

TEST(TextosInteiros, AFileNameTooLongForItsPanelEndsInAnEllipsisAndShowsWholeInTheHint) {
    Prepara(Estado::SemTabela);
    TForm1& f = Principal();
    const std::string nome = "Obitos por municipio de residencia, faixa etaria e sexo, revisao final de 2020.tab";
    const std::string arquivo = Pasta().Grava(nome, "Titulo1=Casos\r\n"
                                                   "\"Regi\xE3o\";\"Casos\"\r\n"
                                                   "\"Norte\";10\r\n"
                                                   "\"Total\";10\r\n");
    ASSERT_TRUE(f.AbreArquivo(arquivo));
    QApplication::processEvents();
    QLabel* painel = f.statusBar()->findChild<QLabel*>(QStringLiteral("Painel0"));
    ASSERT_NE(painel, nullptr);
    EXPECT_THAT(TextosCortados(&f), IsEmpty());
    EXPECT_EQ(painel->toolTip().toStdString(), arquivo);
    Prepara(Estado::SemTabela);
}

TEST(TextosInteiros, TheGridShowsEveryNumberWholeWhenItsTotalIsNotTheWidest) {
    Prepara(Estado::SemTabela);
    TForm1& f = Principal();
    // Values wider than the total the file brings, and a negative one.
    const std::string arquivo = Pasta().Grava("valores.tab", "Titulo1=Valores\r\n"
                                                             "\"Regi\xE3o\";\"Valor\"\r\n"
                                                             "\"Norte\";98765432,12\r\n"
                                                             "\"Sul\";-98765432,12\r\n"
                                                             "\"Total\";0\r\n");
    ASSERT_TRUE(f.AbreArquivo(arquivo));
    QApplication::processEvents();
    const QAbstractItemModel* m = f.StringGrid1->model();
    for (int g = 1; g < m->rowCount(); ++g)
        for (int c = 1; c < m->columnCount(); ++c) {
            const QModelIndex i = m->index(g, c);
            const QString texto = m->data(i).toString();
            const QFont fonte = m->data(i, Qt::FontRole).value<QFont>();
            // Laid out inside the cell (the column less its grid line) less the style's
            // focus margin and a pixel on each side.
            const int margem = f.StringGrid1->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr,
                                                                    f.StringGrid1) + 1;
            const int sala = f.StringGrid1->columnWidth(c) - 1 - 2 * margem;
            EXPECT_LE(std::ceil(QFontMetricsF(fonte).horizontalAdvance(texto)), sala)
                << texto.toStdString() << " in column " << c;
        }
    Prepara(Estado::SemTabela);
}

TEST(TextosInteiros, EveryWindowOpenedFromTheMainWindowShowsItsTextsWhole) {
    Achados a;
    a.Mede(&Principal(), "main window");
    std::vector<QAction*> acoes;
    for (const char* menu : {"Arquivo1", "Editar1", "Operaes1", "Estatstica1", "Quadros1", "Grafico1", "Ajuda1"})
        for (QAction* x : AcoesDoMenu(menu))
            acoes.push_back(x);
    for (QAction* x : AcoesDaBarra())
        acoes.push_back(x);
    // Leaving would end the program under test.
    std::erase_if(acoes, [](QAction* x) { return x->objectName() == u"Sair1" || x->objectName() == u"SpeedButton3"; });
    bool consultaVista = false;
    for (Estado estado : {Estado::ComTabela, Estado::SemTabela}) {
        for (QAction* x : acoes) {
            Prepara(estado);
            AbreMenusDe(x);
            if (!x->isVisible() || !x->isEnabled()) continue;
            const std::string onde = x->objectName().toStdString() + " (" + NomeEstado(estado) + ")";
            Dispara(
                x,
                [&](QWidget* w) {
                    a.Mede(w, onde);
                    // A column chooser is answered with its first column, so the
                    // window the command shows next is measured too.
                    if (auto* e = qobject_cast<TEscolhe_Coluna*>(w); e && e->ListBox1->count() > 0) {
                        QListWidgetItem* i = e->ListBox1->item(0);
                        if (i->flags() & Qt::ItemIsUserCheckable) i->setCheckState(Qt::Checked);
                        e->ListBox1->setCurrentItem(i);
                        e->bOK->click();
                        return;
                    }
                    // The SQL window's own dialogs come up over it, and reach this too.
                    auto* q = dynamic_cast<TfQuery*>(w);
                    if (q && !consultaVista) {
                        consultaVista = true;
                        for (QPushButton* b : {q->bNovoAlias, q->bCase, q->bOQB, q->bLote})
                            if (b->isVisible() && b->isEnabled()) b->click();
                    }
                    Fecha(w);
                },
                [&](QWidget* w) { a.Mede(w, onde); });
        }
    }
    EXPECT_TRUE(consultaVista);
    Prepara(Estado::SemTabela);
    EXPECT_THAT(a.faltas, IsEmpty());
}

TEST(TextosInteiros, TheMapLegendShowsTheElevenRowsOfTenClassesAndTheLayerDialogItsColours) {
    Prepara(Estado::UmaColuna);
    TForm1& f = Principal();
    TabelaResultados& t = f.Tabela();
    t.NomeMapa = Amostra() + "/brasil.map";
    Dispara(f.Acao(QStringLiteral("Mapa1")), {}, [](QWidget*) {});
    ASSERT_NE(Mapa, nullptr);
    Mapa1Click(f);
    ASSERT_TRUE(Mapa->isVisible());
    t.NumClasses = 10;
    CalculaLimitesClasses(t, ModoClasses::IgualValor);
    Mapa->EscreveLegenda();
    QApplication::processEvents();
    QTableWidget* legenda = Mapa->StringGrid1;
    ASSERT_EQ(legenda->rowCount(), 11);
    // Every row of the legend in view, the title's and the ten classes'.
    const int ultima = legenda->rowViewportPosition(10) + legenda->rowHeight(10);
    EXPECT_LE(ultima, legenda->viewport()->height());
    EXPECT_EQ(legenda->rowViewportPosition(0), 0);
    Achados a;
    a.Mede(Mapa, "map window");

    // The layer dialog: the 4 x 4 colour grid whole, and a chosen cell in its own colour.
    TfCamada d(Mapa);
    CamadaDoMapa c;
    c.ArquivoCamada = "rios.map";
    d.Carrega(c, true);
    d.show();
    QApplication::processEvents();
    a.Mede(&d, "layer dialog");
    const QRect celula = d.dgCor->visualRect(d.dgCor->model()->index(1, 2));
    QTest::mouseClick(d.dgCor->viewport(), Qt::LeftButton, {}, celula.center());
    QApplication::processEvents();
    EXPECT_EQ(d.Cor(), CoresCamada[6]);
    const QImage imagem = d.dgCor->viewport()->grab().toImage();
    // The style may shade the current cell a little; a selection colour is far off.
    const QColor visto = imagem.pixelColor(celula.center()), proprio = CorQt(CoresCamada[6]);
    EXPECT_LE(std::abs(visto.red() - proprio.red()) + std::abs(visto.green() - proprio.green()) +
                  std::abs(visto.blue() - proprio.blue()),
              48)
        << visto.name().toStdString() << " instead of " << proprio.name().toStdString();
    d.close();
    Mapa->close();
    Prepara(Estado::SemTabela);
    EXPECT_THAT(a.faltas, IsEmpty());
}

TEST(TextosInteiros, TheQueryBuildersLinkDialogShowsItsCaptionWhole) {
    Programa();
    Achados a;
    TOQBForm construtor(MotorAtual(), &Principal());
    LigacaoModelo l;
    MedeModal(a, "link", [&] { construtor.EditaLigacao(l); });
    EXPECT_THAT(a.faltas, IsEmpty());
}

TEST(TextosInteiros, TheRPlotViewerShowsEveryButton) {
    Programa();
    Achados a;
    TRGrafico visor(ConfiguracaoAtual(), &Principal());
    visor.show();
    visor.bMais->setVisible(true);
    QApplication::processEvents();
    a.Mede(&visor, "R plot viewer");
    visor.close();
    EXPECT_THAT(a.faltas, IsEmpty());
}

TEST(TextosInteiros, TheDbfBrowsersCountIsWhole) {
    Programa();
    ASSERT_NE(fBrowse, nullptr);
    fBrowse->show();
    fBrowse->MostraContagem(QStringLiteral("Reg:1500000"));
    QApplication::processEvents();
    Achados a;
    a.Mede(fBrowse, "browser");
    fBrowse->close();
    EXPECT_THAT(a.faltas, IsEmpty());
}

TEST(TextosInteiros, TheTabulationDialogAndEveryDialogOfTheMapWindowShowTheirTextsWhole) {
    Achados a;
    // The tabulation dialog, after the sample's DEF is chosen.
    Prepara(Estado::SemTabela);
    const std::string pasta = Amostra();
    bool tabulacao = false;
    Dispara(Principal().Acao(QStringLiteral("Tabula1")), [&](QWidget* w) {
        a.Mede(w, "Tabula1");
        if (auto* abre = qobject_cast<TAbreDEF*>(w)) {
            abre->DefinePasta(pasta);
            const auto itens = abre->FileListBox1->findItems(QStringLiteral("obitos.def"), Qt::MatchFixedString);
            ASSERT_EQ(itens.size(), 1);
            abre->FileListBox1->setCurrentItem(itens.front());
            abre->bOK->click();
            return;
        }
        tabulacao = tabulacao || qobject_cast<TTabula*>(w);
        Fecha(w);
    });
    EXPECT_TRUE(tabulacao);

    // The map window's every command, from its menus and its buttons.
    Prepara(Estado::UmaColuna);
    TForm1& f = Principal();
    f.Tabela().NomeMapa = Amostra() + "/brasil.map";
    Mapa1Click(f);
    ASSERT_TRUE(Mapa && Mapa->isVisible());
    std::vector<QAction*> acoes;
    for (QAction* x : Mapa->findChildren<QAction*>())
        if (!x->objectName().isEmpty() && x->objectName() != u"Retornar1" && x->objectName() != u"BSair")
            acoes.push_back(x);
    ASSERT_FALSE(acoes.empty());
    for (QAction* x : acoes) {
        if (!Mapa->isVisible()) {
            f.Tabela().NomeMapa = Amostra() + "/brasil.map";
            Mapa1Click(f);
        }
        if (!x->isVisible() || !x->isEnabled()) continue;
        const std::string onde = "map " + x->objectName().toStdString();
        Dispara(
            x,
            [&](QWidget* w) {
                a.Mede(w, onde);
                Fecha(w);
            },
            [&](QWidget* w) { a.Mede(w, onde); });
    }
    a.Mede(Mapa, "map window");
    Mapa->close();
    Prepara(Estado::SemTabela);
    EXPECT_THAT(a.faltas, IsEmpty());
}

// The windows opened from inside other windows: the DEF editor's search boxes and its
// link of a field to a CNV (titled with the longest field names a DBF has), the
// tabulation's field chooser and the SQL window's database editor.
TEST(TextosInteiros, TheDialogsOpenedFromInsideOtherWindowsShowTheirTextsWhole) {
    Programa();
    Achados a;
    TFFazDef editor(&Principal());
    editor.show();
    QApplication::processEvents();
    a.Mede(&editor, "DEF editor");
    editor.Localizar1Click();
    QApplication::processEvents();
    a.Mede(editor.FindDialog1, "DEF editor, Localizar");
    editor.FindDialog1->close();
    editor.Substituir1Click();
    QApplication::processEvents();
    a.Mede(editor.ReplaceDialog1, "DEF editor, Substituir");
    editor.ReplaceDialog1->close();

    TfLigaCNV liga(&editor);
    liga.setWindowTitle(QString::fromUtf8("Liga CNV à coluna: CODMUNRES_"));
    for (const char* cnv : {"MUNICBR.CNV", "CID10_CAPITULOS.CNV", "FAIXA_ETARIA.CNV"})
        liga.lbCNV->addItem(QString::fromLatin1(cnv));
    liga.show();
    QApplication::processEvents();
    a.Mede(&liga, "DEF editor, link");
    liga.close();
    editor.close();

    TDualListDlg escolhe(&Principal());
    std::vector<std::string> escolhidos;
    MedeModal(a, "field chooser", [&] { escolhe.Escolhe({"CODMUNRES", "DTOBITO", "CAUSABAS", "IDADE"}, escolhidos); });

    TEditaAliases bancos(MotorAtual(), &Principal());
    bancos.show();
    QApplication::processEvents();
    a.Mede(&bancos, "database editor");
    bancos.close();
    EXPECT_THAT(a.faltas, IsEmpty());
}

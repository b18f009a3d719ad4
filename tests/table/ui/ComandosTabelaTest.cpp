// The table commands driven from the main window offscreen: choosers answered
// or cancelled, the input boxes, statistics in the information window, and the
// save-as writers and output buttons the window reaches.
#include "output/ui/ComandosSaida.h"
#include "platform/Mensagens.h"
#include "platform/Texto1252.h"
#include "support/ApoioTeste.h"
#include "support/DirigeJanelas.h"
#include "support/VerificaGrade.h"
#include "table/Estatisticas.h"
#include "table/TabelaTeste.h"
#include "table/Utilidades.h"
#include "table/ui/ComandosTabela.h"
#include "table/ui/GradeFixa.h"
#include "table/ui/ModeloTabela.h"
#include "table/ui/TEscolhe_Coluna.h"
#include "table/ui/TForm1.h"
#include "table/ui/TInfo.h"
#include "platform/ui/Janelas.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <filesystem>
#include <gtest/gtest.h>
#include <memory>

using namespace dorvan;

namespace {

// What a chooser showed.
struct Escolha {
    std::string titulo, pergunta;
    std::vector<std::string> itens;
    std::vector<int> preSelecionadas; // 0-based rows
};

// One answer to a chooser: the rows (0-based) selected before OK, or Cancela.
struct Resposta {
    std::vector<int> linhas;
    bool ok = true;
};
Resposta Marca(std::vector<int> linhas) { return {std::move(linhas), true}; }
Resposta Cancela() { return {{}, false}; }

// Answers the next choosers in order, recording what each showed. Only as many
// answers as the command opens choosers, so nothing is left waiting.
void RespondeEscolhas(std::vector<Resposta> respostas, std::shared_ptr<std::vector<Escolha>> vistas) {
    if (respostas.empty()) return;
    teste::QuandoModal([respostas, vistas](QWidget* w) mutable {
        auto* j = qobject_cast<TEscolhe_Coluna*>(w);
        if (!j) {
            ADD_FAILURE() << "not a chooser: " << w->windowTitle().toStdString();
            w->close();
            return;
        }
        Escolha e{DeQString(j->windowTitle()), DeQString(j->Label1->text()), {}, {}};
        for (int i = 0; i < j->ListBox1->count(); ++i) {
            e.itens.push_back(DeQString(j->ListBox1->item(i)->text()));
            if (j->ListBox1->item(i)->isSelected()) e.preSelecionadas.push_back(i);
        }
        vistas->push_back(e);
        Resposta r = respostas.front();
        respostas.erase(respostas.begin());
        RespondeEscolhas(respostas, vistas);
        j->ListBox1->clearSelection();
        for (int l : r.linhas)
            j->ListBox1->item(l)->setSelected(true);
        (r.ok ? j->bOK : j->bCancela)->click();
    });
}

// Answers the next input box with a text, or cancels it; records caption, prompt, default.
struct Entrada {
    std::string titulo, pergunta, padrao;
};
void RespondeEntrada(std::shared_ptr<Entrada> vista, std::optional<std::string> texto) {
    teste::QuandoModal([vista, texto](QWidget* w) {
        auto* d = qobject_cast<QInputDialog*>(w);
        if (!d) {
            ADD_FAILURE() << "not an input box";
            w->close();
            return;
        }
        *vista = {DeQString(d->windowTitle()), DeQString(d->labelText()), DeQString(d->textValue())};
        if (!texto) {
            d->reject();
            return;
        }
        d->setTextValue(ParaQString(*texto));
        d->accept();
    });
}

class Comandos : public ::testing::Test {
protected:
    void SetUp() override {
        cfg.DirPrograma = pasta.Caminho().string() + "/";
        cfg.DirTrabalho = cfg.DirPrograma;
        cfg.ArquivoIni = pasta / "Dorvan.ini";
        janela = std::make_unique<TForm1>(tabela, cfg);
        janela->EscolheArquivoSalvar = [this](const QString&) { return salvarComo; };
        janela->resize(1000, 700);
        janela->show();
        janela->Inicia({});
    }
    void TearDown() override {
        tabela.Modificada = false;
        janela.reset();
    }
    // Population, deaths and a column of zeros, in three regions with codes.
    void Mostra() {
        tabela = teste::MontaTabela({"11 Norte", "12 Nordeste", "13 Sul"},
                                    {{"Pop", {100, 200, 0}}, {"Obitos", {5, 4, 3}}, {"Zeros", {0, 0, 0}}});
        tabela.DefineNomeColuna(0, "Regi\xE3o");
        DetectaCodigo(tabela);
        tabela.Modificada = false;
        janela->MostraTabela();
    }
    void Dispara(const char* acao) { janela->Acao(QString::fromLatin1(acao))->trigger(); }
    QString Celula(int g, int c) const {
        return janela->Modelo->data(janela->Modelo->index(g, c), Qt::DisplayRole).toString();
    }

    teste::PastaTemporaria pasta;
    MensagensRoteiro msgs;
    UsaMensagens usa{msgs};
    TabelaResultados tabela;
    Configuracao cfg;
    std::unique_ptr<TForm1> janela;
    std::string salvarComo;
    std::shared_ptr<std::vector<Escolha>> vistas = std::make_shared<std::vector<Escolha>>();
};

TEST_F(Comandos, DividirAsksNumeratorThenDenominatorAndShowsTheQuotient) {
    Mostra();
    RespondeEscolhas({Marca({1}), Marca({0})}, vistas);
    Dispara("Divide1");
    ASSERT_EQ(vistas->size(), 2u);
    const std::vector<std::string> titulos{"Pop", "Obitos", "Zeros"};
    EXPECT_EQ((*vistas)[0].titulo, "Escolhe Coluna");
    EXPECT_EQ((*vistas)[0].pergunta, "Numerador");
    EXPECT_EQ((*vistas)[0].itens, titulos);
    EXPECT_EQ((*vistas)[1].pergunta, "Denominador");

    ASSERT_EQ(tabela.NumColunas(), 4);
    EXPECT_EQ(tabela.NomeColuna(4), "Quociente");
    EXPECT_EQ(teste::Valores(tabela, 4), (std::vector<double>{0.05, 0.02, 0})); // a zero denominator gives 0
    EXPECT_DOUBLE_EQ(tabela.Coluna(4).Total, 0.04);
    EXPECT_EQ(tabela.Coluna(4).TipoTotal, TipoTotal::PreCalculado);
    EXPECT_EQ(janela->Modelo->columnCount(), 5);
    EXPECT_EQ(Celula(0, 4), QStringLiteral("Quociente"));
    EXPECT_TRUE(tabela.Modificada);

    // Cancelling the second question ends the command with nothing added.
    tabela.Modificada = false;
    RespondeEscolhas({Marca({1}), Cancela()}, vistas);
    Dispara("Divide1");
    EXPECT_EQ(tabela.NumColunas(), 4);
    EXPECT_FALSE(tabela.Modificada);
    EXPECT_TRUE(msgs.Textos().empty());
}

TEST_F(Comandos, EliminarColunaCancelledChangesNothingAndOkDeletes) {
    Mostra();
    RespondeEscolhas({Cancela()}, vistas);
    Dispara("EliminaColuna1");
    ASSERT_EQ(vistas->size(), 1u);
    EXPECT_EQ((*vistas)[0].titulo, "Marque Colunas");
    EXPECT_EQ((*vistas)[0].pergunta, "Colunas a eliminar");
    EXPECT_EQ(tabela.NumColunas(), 3);
    EXPECT_FALSE(tabela.Modificada);

    RespondeEscolhas({Marca({0, 2})}, vistas);
    Dispara("EliminaColuna1");
    ASSERT_EQ(tabela.NumColunas(), 1);
    EXPECT_EQ(tabela.NomeColuna(1), "Obitos");
    EXPECT_EQ(tabela.Selecionadas, (std::vector<std::int32_t>{1, 3}));
    EXPECT_EQ(janela->Modelo->columnCount(), 2);
    EXPECT_EQ(Celula(0, 1), QStringLiteral("Obitos"));
    EXPECT_TRUE(tabela.Modificada);
    // One column left: the two-column commands are off.
    EXPECT_FALSE(janela->Acao(QStringLiteral("Divide1"))->isEnabled());
}

TEST_F(Comandos, NovaColunaTakesTitleAndExpressionAndRefusesUnknownWords) {
    Mostra();
    auto vista = std::make_shared<Entrada>();
    RespondeEntrada(vista, std::string("Taxa=C2/C1*1000"));
    Dispara("NovaColuna");
    EXPECT_EQ(vista->titulo, "Nova coluna");
    EXPECT_EQ(vista->pergunta, "Entre express\xE3o");
    EXPECT_EQ(vista->padrao, "0");
    ASSERT_EQ(tabela.NumColunas(), 4);
    EXPECT_EQ(tabela.NomeColuna(4), "Taxa");
    EXPECT_EQ(teste::Valores(tabela, 4), (std::vector<double>{50, 20, 0}));
    EXPECT_DOUBLE_EQ(tabela.Coluna(4).Total, 40);
    EXPECT_EQ(tabela.Coluna(4).TipoTotal, TipoTotal::PreCalculado);
    EXPECT_EQ(janela->Modelo->columnCount(), 5);

    RespondeEntrada(vista, std::string("C9*2"));
    Dispara("NovaColuna");
    EXPECT_EQ(tabela.NumColunas(), 4);
    EXPECT_EQ(msgs.Textos(), (std::vector<std::string>{"C9 n\xE3o identificado"}));

    RespondeEntrada(vista, std::nullopt);
    Dispara("NovaColuna");
    EXPECT_EQ(tabela.NumColunas(), 4);
    EXPECT_EQ(janela->Modelo->columnCount(), 5);
}

TEST_F(Comandos, EstatisticasGoToTheInformationWindow) {
    Mostra();
    RespondeEscolhas({Marca({1})}, vistas);
    Dispara("Descritivas");
    ASSERT_EQ(vistas->size(), 1u);
    EXPECT_EQ((*vistas)[0].pergunta, " Calcular estat\xEDsticas da coluna ");
    TInfo& info = JanelaInfo(*janela);
    EXPECT_TRUE(info.isVisible());
    EXPECT_FALSE(info.isModal());
    EXPECT_EQ(DeQString(info.windowTitle()), "Estat\xEDsticas");
    EXPECT_EQ(info.Linhas(), EstatisticasColuna(tabela, 2));
    EXPECT_EQ(info.Linhas().front(), "Estat\xEDsticas da coluna Obitos");

    // Regression of deaths on population: a fitted column and its text.
    RespondeEscolhas({Marca({0}), Marca({1})}, vistas);
    Dispara("Regressao1");
    ASSERT_EQ(vistas->size(), 3u);
    EXPECT_EQ((*vistas)[1].pergunta, "Vari\xE1vel independente");
    EXPECT_EQ((*vistas)[2].pergunta, "Vari\xE1vel dependente");
    EXPECT_EQ(DeQString(info.windowTitle()), "Regress\xE3o");
    EXPECT_EQ(info.Linhas().front(), "Regress\xE3o Linear Simples de Obitos segundo Pop");
    ASSERT_EQ(tabela.NumColunas(), 4);
    EXPECT_EQ(tabela.NomeColuna(4), "Estim_Obitos");
    EXPECT_EQ(janela->Modelo->columnCount(), 5);

    // A cancelled marking leaves the window as it was.
    RespondeEscolhas({Cancela()}, vistas);
    Dispara("Correlacao1");
    EXPECT_EQ((*vistas)[3].pergunta, "Escolha duas colunas");
    EXPECT_EQ(DeQString(info.windowTitle()), "Regress\xE3o");
}

// The viewer is one window for every caller: shown once over a modal dialog (the
// browser's structure report over the SQL window) it was modal there, and must not
// stay so and block the main window when the statistics show it later.
TEST_F(Comandos, TheViewerLeftModalOverADialogShowsTheStatisticsNotModal) {
    Mostra();
    TInfo& info = JanelaInfo(*janela);
    {
        QDialog dialogo(janela.get());
        dialogo.setModal(true);
        dialogo.show();
        MostraNaFrente(info);
        EXPECT_TRUE(info.isModal());
        info.hide();
    }
    RespondeEscolhas({Marca({1})}, vistas);
    Dispara("Descritivas");
    EXPECT_TRUE(info.isVisible());
    EXPECT_FALSE(info.isModal());
    EXPECT_NE(QApplication::activeModalWidget(), &info);
}

TEST_F(Comandos, MenusShowWhatTheTableAllows) {
    Mostra();
    QMenu* quadro = janela->findChild<QMenu*>(QStringLiteral("Quadros1"));
    ASSERT_NE(quadro, nullptr);
    emit quadro->aboutToShow();
    QAction* chave = janela->Acao(QStringLiteral("MostrarChave1"));
    EXPECT_TRUE(chave->isVisible());
    EXPECT_EQ(chave->text(), QStringLiteral("Esconder C&have"));
    Dispara("MostrarChave1");
    EXPECT_FALSE(tabela.MostraCodigo);
    EXPECT_EQ(Celula(2, 0), QStringLiteral("Norte"));
    emit quadro->aboutToShow();
    EXPECT_EQ(chave->text(), QStringLiteral("Mostrar C&have"));

    RespondeEscolhas({Marca({1, 2})}, vistas);
    Dispara("EliminaColuna1");
    QMenu* estatisticas = janela->findChild<QMenu*>(QStringLiteral("Estatstica1"));
    ASSERT_NE(estatisticas, nullptr);
    emit estatisticas->aboutToShow();
    EXPECT_TRUE(janela->Acao(QStringLiteral("Descritivas"))->isEnabled());
    EXPECT_FALSE(janela->Acao(QStringLiteral("Correlacao1"))->isEnabled());
    EXPECT_FALSE(janela->Acao(QStringLiteral("Regressao1"))->isEnabled());
}

TEST_F(Comandos, OrdenarOffersTheLabelColumnFirstAndCancelKeepsTheOrder) {
    Mostra();
    RespondeEscolhas({Cancela()}, vistas);
    Dispara("Ordenar1");
    ASSERT_EQ(vistas->size(), 1u);
    EXPECT_EQ((*vistas)[0].pergunta, "Ordenar por");
    EXPECT_EQ((*vistas)[0].itens, (std::vector<std::string>{"Regi\xE3o", "Pop", "Obitos", "Zeros"}));
    EXPECT_EQ((*vistas)[0].preSelecionadas, (std::vector<int>{0}));
    EXPECT_EQ(tabela.ColunaOrdem, 0);
    EXPECT_FALSE(tabela.OrdemDecrescente);

    RespondeEscolhas({Marca({1})}, vistas);
    Dispara("Ordenar1");
    EXPECT_EQ(tabela.ColunaOrdem, 1);
    EXPECT_EQ(Celula(2, 0), QStringLiteral("12 Nordeste")); // largest first
}

TEST_F(Comandos, SuprimirLinhasAggregatesTheRemovedRows) {
    Mostra();
    RespondeEscolhas({Marca({0}), Marca({0})}, vistas); // Pop, "Igual a"
    msgs.Responde("0");
    msgs.Responde("S");
    msgs.Responde("Outras");
    Dispara("SupLinhas1");
    ASSERT_EQ(vistas->size(), 2u);
    EXPECT_EQ((*vistas)[0].pergunta, "Suprime/agrega linha se coluna");
    EXPECT_EQ((*vistas)[1].titulo, "Escolha");
    EXPECT_EQ((*vistas)[1].pergunta, "Crit\xE9rio de compara\xE7\xE3o");
    EXPECT_EQ((*vistas)[1].itens, (std::vector<std::string>{"Igual a", "Maior que", "Menor que", "Diferente de"}));
    EXPECT_EQ((*vistas)[1].preSelecionadas, (std::vector<int>{0}));
    ASSERT_EQ(tabela.NumLinhas, 3);
    EXPECT_EQ(tabela.Rotulo(3), "Outras");
    EXPECT_EQ(teste::Valores(tabela, 2), (std::vector<double>{5, 4, 3}));
    EXPECT_EQ(janela->Modelo->rowCount(), 5);
    EXPECT_EQ(msgs.RespostasRestantes(), 0u);

    // Removing every row closes the table without asking to save it.
    RespondeEscolhas({Marca({1}), Marca({1})}, vistas); // Obitos, "Maior que"
    msgs.Responde("-1");
    Dispara("SupLinhas1");
    EXPECT_EQ(tabela.NumLinhas, 0);
    EXPECT_EQ(tabela.NumColunas(), 0);
    EXPECT_FALSE(janela->StringGrid1->isVisible());
    EXPECT_EQ(janela->windowTitle(), QStringLiteral("Dorvan"));
    EXPECT_EQ(msgs.Registros().back().tipo, "PerguntaNumero");
}

TEST_F(Comandos, TransporOffersToSaveAModifiedTableFirst) {
    Mostra();
    tabela.Modificada = true;
    msgs.Responde("N");
    Dispara("bTranspoe");
    EXPECT_EQ(msgs.Textos(), (std::vector<std::string>{"Salvar Tabela Atual?"}));
    ASSERT_EQ(tabela.NumLinhas, 3);
    ASSERT_EQ(tabela.NumColunas(), 3);
    EXPECT_EQ(tabela.NomeColuna(1), "11 Norte");
    EXPECT_EQ(tabela.Rotulo(2), "Obitos");
    EXPECT_TRUE(janela->StringGrid1->isVisible());
    EXPECT_EQ(Celula(0, 3), QStringLiteral("13 Sul"));
}

TEST_F(Comandos, CabecalhoSetsTheTitleAndTheCaption) {
    Mostra();
    auto vista = std::make_shared<Entrada>();
    RespondeEntrada(vista, std::string("Casos de 2024"));
    Dispara("Cabealho11");
    EXPECT_EQ(vista->titulo, "Entre Texto");
    EXPECT_EQ(vista->pergunta, "Cabe\xE7"
                               "alho1");
    EXPECT_EQ(tabela.Titulo1, "Casos de 2024");
    EXPECT_EQ(janela->windowTitle(), QStringLiteral("Dorvan : Casos de 2024"));
    EXPECT_EQ(janela->edTitulo->text(), QStringLiteral("Casos de 2024"));
    EXPECT_TRUE(tabela.Modificada);
}

TEST_F(Comandos, SalvarComoReachesTheWriterOfEachTypeOfTheDialog) {
    RegistraGravadoresSaida(cfg);
    Mostra();
    salvarComo = pasta / "quadro.csv";
    Dispara("SpeedButton2");
    EXPECT_EQ(pasta.Le("quadro.csv"), "\"Regi\xE3o\",\"Pop\",\"Obitos\",\"Zeros\"\r\n"
                                      "\"11 Norte\",100,5,0\r\n"
                                      "\"12 Nordeste\",200,4,0\r\n"
                                      "\"13 Sul\",0,3,0\r\n"
                                      "\"Total\",300,12,0\r\n");
    EXPECT_EQ(tabela.ArquivoAtual, salvarComo);

    for (const char* nome : {"q.prn", "q.htm", "q.tab", "q.cnv", "q.dbf", "q.sql", "q.xml"}) {
        salvarComo = pasta / nome;
        Dispara("Salvar1");
        EXPECT_TRUE(std::filesystem::exists(salvarComo)) << nome;
    }
    auto vista = std::make_shared<Entrada>();
    RespondeEntrada(vista, std::string("Regioes"));
    salvarComo = pasta / "q_tab.spr";
    Dispara("Salvar1");
    EXPECT_EQ(vista->titulo, "Categoria de objeto para o SPRING");
    EXPECT_NE(pasta.Le("q_tab.spr").find("CATEGORY_OBJ Regioes\r\n"), std::string::npos);
    EXPECT_EQ(pasta.Le("q.prn"), pasta.Le("quadro.csv"));
    EXPECT_TRUE(msgs.Textos().empty());
}

TEST_F(Comandos, VerEmHTMLWritesTheWorkPageAndOpensIt) {
    Mostra();
    std::string aberto;
    DefineAbridorDocumentos([&](const std::string& a) {
        aberto = a;
        return 33;
    });
    LigaComandosSaida(*janela);
    Dispara("bHTML");
    DefineAbridorDocumentos([](const std::string&) { return 33; });
    EXPECT_EQ(std::filesystem::path(aberto), std::filesystem::path(pasta / "tabela.htm"));
    EXPECT_NE(pasta.Le("tabela.htm").find("<h1 align=\"center\">"), std::string::npos);
    EXPECT_TRUE(msgs.Textos().empty());
}

TEST_F(Comandos, SalvarNoPalmRunsTheConverterOnTheChosenFileAndOpensIt) {
    Mostra();
    // A stand-in converter beside the program: copies its description and data into the target.
    const std::string conversor = pasta.Grava("csv2pdb", "#!/bin/sh\n"
                                                         "n=$#\n"
                                                         "eval \"ifo=\\${$((n-2))}; txt=\\${$((n-1))}; alvo=\\${$n}\"\n"
                                                         "cat \"$ifo\" \"$txt\" > \"$alvo\"\n");
    std::filesystem::permissions(conversor, std::filesystem::perms::owner_all);
    std::string aberto;
    DefineAbridorDocumentos([&](const std::string& a) {
        aberto = a;
        return 33;
    });
    const std::string alvo = pasta / "regioes.pdb";
    int perguntas = 0;
    const auto anterior = EscolheArquivoPDB();
    EscolheArquivoPDB() = [&](TForm1&) { return ++perguntas == 1 ? std::string() : alvo; };
    LigaComandosSaida(*janela);
    Dispara("bPalm"); // cancelled: nothing written
    EXPECT_FALSE(std::filesystem::exists(alvo));
    Dispara("bPalm");
    EscolheArquivoPDB() = anterior;
    DefineAbridorDocumentos([](const std::string&) { return 33; });
    ASSERT_TRUE(std::filesystem::exists(alvo));
    const std::string escrito = pasta.Le("regioes.pdb");
    EXPECT_NE(escrito.find("title \"regioes\"\r\n"), std::string::npos);
    EXPECT_NE(escrito.find("\"11 Norte\",\"100\",\"5\",\"0\"\r\n"), std::string::npos);
    EXPECT_EQ(std::filesystem::path(aberto), std::filesystem::path(alvo));
    EXPECT_TRUE(msgs.Textos().empty());
}

} // namespace

namespace {

// A drag with the left button, in small steps as a hand moves.
void Arrasta(QWidget* w, QPoint de, QPoint para) {
    QTest::mousePress(w, Qt::LeftButton, {}, de);
    for (int k = 1; k <= 10; ++k)
        QTest::mouseMove(w, de + (para - de) * k / 10);
    QTest::mouseRelease(w, Qt::LeftButton, {}, para);
}

// Everything the column commands may change, as one comparable text.
std::vector<std::string> Foto(const TabelaResultados& t, const GradeFixa& g) {
    std::vector<std::string> f;
    for (std::int32_t c = 0; c <= t.NumColunas(); ++c) {
        const ColunaResultados& col = t.Coluna(c);
        std::string linha = t.NomeColuna(c) + " largura " + std::to_string(col.Largura) + " na grade " +
                            std::to_string(g.Esquerda()->columnWidth(c));
        if (c > 0) {
            linha += " total " + std::to_string(col.Total) + " tipo " +
                     std::to_string(static_cast<int>(col.TipoTotal)) + " dec " + std::to_string(col.Decimais) +
                     " dados";
            for (std::int32_t r = 1; r <= t.NumLinhas; ++r)
                linha += " " + std::to_string(t.Dado(c, r));
        }
        f.push_back(linha);
    }
    for (std::int32_t n = 1; n <= t.NumNotas(); ++n)
        f.push_back("nota " + std::to_string(t.Notas(n).Linha) + "," + std::to_string(t.Notas(n).Coluna) + " " +
                    t.Notas(n).Texto);
    f.push_back(std::string("ordem ") + std::to_string(t.ColunaOrdem) + (t.Modificada ? " modificada" : ""));
    return f;
}

} // namespace

// Dragging a column's right border in the title rows gives the column the
// printed width the width command would give for the dragged size; the label
// column's border is in the corner. The button-up is no click on the title.
TEST_F(Comandos, ArrastarABordaMudaALarguraComoOComandoLargura) {
    for (int c : {2, 0}) {
        Mostra();
        GradeFixa& g = *janela->StringGrid1;
        QTableView* v = c == 0 ? g.Canto() : g.Topo();
        const std::int32_t antes = tabela.Coluna(c).Largura;
        const int borda = v->columnViewportPosition(c) + v->columnWidth(c) - 1;
        // A border pressed and let go in place changes nothing and sorts nothing.
        QTest::mouseClick(v->viewport(), Qt::LeftButton, {}, QPoint(borda, 4));
        EXPECT_EQ(tabela.Coluna(c).Largura, antes) << c;
        EXPECT_FALSE(tabela.Modificada) << c;
        EXPECT_EQ(tabela.ColunaOrdem, 0) << c;
        QTest::qWait(QApplication::doubleClickInterval() + 50); // the drag is no double click
        Arrasta(v->viewport(), QPoint(borda, 4), QPoint(borda + 60, 4));
        EXPECT_TRUE(teste::VerificaAreasFixas(g)) << c;
        EXPECT_EQ(tabela.ColunaOrdem, 0) << c;
        EXPECT_GT(tabela.Coluna(c).Largura, antes) << c;
        const int naGrade = g.Esquerda()->columnWidth(c);
        EXPECT_EQ(naGrade, v->columnWidth(c)) << c;
        EXPECT_NEAR(naGrade, borda + 61 - v->columnViewportPosition(c), 8) << c;
        const std::vector<std::string> arrastada = Foto(tabela, g);
        const std::int32_t largura = tabela.Coluna(c).Largura;

        // The same table, and the width command with that width.
        Mostra();
        RespondeEscolhas({Marca({c})}, vistas);
        msgs.Responde(std::to_string(largura));
        Dispara("LarguraCol1");
        EXPECT_EQ(msgs.RespostasRestantes(), 0u);
        EXPECT_EQ(Foto(tabela, g), arrastada) << c;
    }
}

// Dragging a title onto another column moves the column there with its title,
// total, total kind, notes and width, as the move command does, and sorts nothing.
TEST_F(Comandos, ArrastarOTituloMoveAColunaComoOComandoMover) {
    auto prepara = [this] {
        Mostra();
        tabela.Coluna(1).TipoTotal = TipoTotal::Maximo;
        CalculaTotal(tabela, 1);
        AcrescentaNota(tabela, 2, 1, "nota do valor");
        AcrescentaNota(tabela, 0, 1, "nota do titulo");
        AcrescentaNota(tabela, 1, 3, "nota da coluna de zeros");
        janela->StringGrid1->DefineLargura(1, 150);
        janela->AtualizaGrade();
    };
    prepara();
    GradeFixa& g = *janela->StringGrid1;
    QTableView* topo = g.Topo();
    const QPoint de = topo->visualRect(janela->Modelo->index(0, 1)).center();
    const QPoint para = topo->visualRect(janela->Modelo->index(0, 3)).center();
    Arrasta(topo->viewport(), de, para);
    EXPECT_EQ(tabela.ColunaOrdem, 0);
    EXPECT_EQ(tabela.NomeColuna(3), "Pop");
    EXPECT_EQ(Celula(0, 3), QStringLiteral("Pop"));
    EXPECT_EQ(g.columnWidth(3), 150);
    const std::vector<std::string> arrastada = Foto(tabela, g);

    prepara();
    RespondeEscolhas({Marca({0}), Marca({2})}, vistas);
    Dispara("MoveColuna1");
    EXPECT_EQ(Foto(tabela, g), arrastada);

    // A title clicked without moving still sorts.
    QTest::mouseClick(topo->viewport(), Qt::LeftButton, {}, topo->visualRect(janela->Modelo->index(0, 2)).center());
    EXPECT_EQ(tabela.ColunaOrdem, 2);
}

// The import, clipboard and "Editar" commands driven from the main window offscreen.
#include "data/ArquivosDBFTeste.h"
#include "output/GravaTexto.h"
#include "platform/Mensagens.h"
#include "platform/Texto1252.h"
#include "support/ApoioTeste.h"
#include "support/DirigeJanelas.h"
#include "table/OperacoesColunas.h"
#include "table/TabelaTeste.h"
#include "table/ui/ComandosImportacao.h"
#include "table/ui/GradeFixa.h"
#include "table/ui/ModeloTabela.h"
#include "table/ui/TEscolhe_Coluna.h"
#include "table/ui/TForm1.h"
#include "table/ui/TLocaliza.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <gtest/gtest.h>
#include <memory>

using namespace dorvan;

namespace {

struct Vista {
    std::string titulo, rotulo;
    std::vector<std::string> itens;
};

// Answers the next choosers in order (0-based rows), recording what they showed.
void Responde(std::vector<std::vector<int>> respostas, std::shared_ptr<std::vector<Vista>> vistas) {
    if (respostas.empty()) return;
    teste::QuandoModal([respostas, vistas](QWidget* w) mutable {
        auto* j = qobject_cast<TEscolhe_Coluna*>(w);
        if (!j) {
            ADD_FAILURE() << "not a chooser";
            w->close();
            return;
        }
        Vista v{DeQString(j->windowTitle()), DeQString(j->Label1->text()), {}};
        for (int i = 0; i < j->ListBox1->count(); ++i) v.itens.push_back(DeQString(j->ListBox1->item(i)->text()));
        vistas->push_back(v);
        const std::vector<int> linhas = respostas.front();
        respostas.erase(respostas.begin());
        Responde(respostas, vistas);
        for (int l : linhas) j->ListBox1->item(l)->setSelected(true);
        j->bOK->click();
    });
}

class Importacao : public ::testing::Test {
protected:
    void SetUp() override {
        cfg.DirPrograma = pasta.Caminho().string() + "/";
        cfg.DirTrabalho = cfg.DirPrograma;
        cfg.ArquivoIni = pasta / "Dorvan.ini";
        janela = std::make_unique<TForm1>(tabela, cfg);
        LigaComandosImportacao(*janela, GravaTextoTab);
        Escolhas().Arquivo = [this](TForm1&, const QString& titulo, const QString&) {
            titulos.push_back(titulo.toStdString());
            return arquivo;
        };
        janela->resize(1000, 700);
        janela->show();
        janela->Inicia({});
    }
    void TearDown() override {
        tabela.Modificada = false;
        janela.reset();
    }
    void Mostra() {
        tabela = teste::MontaTabela({"12 Nordeste", "11 Norte", "35 S\xE3o Paulo"}, {{"Pop", {200, 100, 300}}});
        tabela.TamCodigo = 2;
        tabela.Modificada = true;
        janela->MostraTabela();
    }
    void Dispara(const char* acao) { janela->Acao(QString::fromLatin1(acao))->trigger(); }

    teste::PastaTemporaria pasta;
    MensagensRoteiro msgs;
    UsaMensagens usa{msgs};
    TabelaResultados tabela;
    Configuracao cfg;
    std::unique_ptr<TForm1> janela;
    std::string arquivo;
    std::vector<std::string> titulos;
};

TEST_F(Importacao, IncluirTabelaMergesWithoutTheSaveQuestionAndShowsTheGrid) {
    Mostra();
    arquivo = pasta.Grava("o.tab", "\"R\";\"Obitos\"\r\n\"13 Sul\";3\r\n\"11 Norte\";1\r\n\"Total\";4\r\n");
    msgs.Responde("S");
    Dispara("IncluiPRN1");
    EXPECT_EQ(titulos, (std::vector<std::string>{"Incluir tabela"}));
    // Only the reordering question: the open table was not offered for saving.
    ASSERT_EQ(msgs.Registros().size(), 1u);
    EXPECT_EQ(msgs.Registros()[0].texto, "Novas linhas foram adicionadas. Reordenar as linhas?");
    EXPECT_EQ(teste::Rotulos(tabela), (std::vector<std::string>{"11 Norte", "12 Nordeste", "13 Sul", "35 S\xE3o Paulo"}));
    EXPECT_EQ(teste::Valores(tabela, 2), (std::vector<double>{1, 0, 3, 0}));
    EXPECT_TRUE(tabela.Modificada);
    EXPECT_TRUE(janela->StringGrid1->isVisible());
    EXPECT_EQ(janela->Modelo->rowCount(), 6);

    // A cancelled file choice does nothing.
    arquivo.clear();
    Dispara("IncluiPRN1");
    EXPECT_EQ(tabela.NumColunas(), 2);
}

TEST_F(Importacao, IncluirDadosDeDBFAsksKeyThenFieldsInTheFieldDialog) {
    Mostra();
    arquivo = pasta.Grava("c.dbf", teste::MontaDBF({{"UF", 'C', 2}, {"CASOS", 'N', 4}},
                                                   {"11   2", "11   3", "35  10", "99   1"}));
    auto vistas = std::make_shared<std::vector<Vista>>();
    Responde({{0}, {1}}, vistas);
    Dispara("IncluiDBF1");
    EXPECT_EQ(titulos, (std::vector<std::string>{"Abrir arquivo .DBF"}));
    ASSERT_EQ(vistas->size(), 2u);
    EXPECT_EQ((*vistas)[0].titulo, "Campos do DBF");
    EXPECT_EQ((*vistas)[0].rotulo, "chave das linhas");
    EXPECT_EQ((*vistas)[0].itens, (std::vector<std::string>{"UF", "CASOS"}));
    EXPECT_EQ((*vistas)[1].rotulo, "campos a incluir");
    EXPECT_EQ(teste::Valores(tabela, 2), (std::vector<double>{0, 5, 10}));
    EXPECT_EQ(msgs.Textos(), (std::vector<std::string>{" Registros rejeitados = 1"}));
    EXPECT_EQ(janela->Modelo->columnCount(), 3);
}

TEST_F(Importacao, CriarLinhasDeDBFOffersToSaveTheOpenTableFirst) {
    Mostra();
    arquivo = pasta.Grava("m.dbf", teste::MontaDBF({{"COD", 'C', 2}, {"NOME", 'C', 6}}, {"11Norte ", "12Sul   "}));
    auto vistas = std::make_shared<std::vector<Vista>>();
    Responde({{0}, {1}}, vistas);
    msgs.Responde("N"); // "Salvar Tabela Atual?"
    Dispara("OpLinhas");
    ASSERT_EQ(vistas->size(), 2u);
    EXPECT_EQ((*vistas)[1].rotulo, "descri\xE7\xE3o das linhas");
    EXPECT_EQ(msgs.Textos(), (std::vector<std::string>{"Salvar Tabela Atual?"}));
    EXPECT_EQ(teste::Rotulos(tabela), (std::vector<std::string>{"11 Norte", "12 Sul"}));
    EXPECT_EQ(tabela.NumColunas(), 0);
    EXPECT_TRUE(janela->StringGrid1->isVisible());
}

TEST_F(Importacao, CopyThenPasteIntoAnEmptyWindowRebuildsTheTable) {
    Mostra();
    Dispara("bCopiar");
    const QString copiado = QApplication::clipboard()->text();
    EXPECT_TRUE(copiado.startsWith(QStringLiteral("\"\"\t\"Pop\"\n")));
    EXPECT_FALSE(std::filesystem::exists(pasta / "ClipBoard.prn"));
    const std::vector<std::string> rotulos = teste::Rotulos(tabela);

    tabela.Modificada = false;
    Dispara("Nova1");
    ASSERT_EQ(tabela.NumLinhas, 0);
    EXPECT_TRUE(janela->Acao(QStringLiteral("SpeedButton5"))->isEnabled());
    Dispara("SpeedButton5");
    EXPECT_EQ(teste::Rotulos(tabela), rotulos);
    EXPECT_EQ(teste::Valores(tabela, 1), (std::vector<double>{200, 100, 300}));
    EXPECT_TRUE(janela->StringGrid1->isVisible());
    EXPECT_FALSE(std::filesystem::exists(pasta / "clipbord.prn"));

    // Pasted again into the open table: merged, so the column comes twice.
    msgs.Responde("N");
    Dispara("Colar1");
    EXPECT_EQ(teste::Titulos(tabela), (std::vector<std::string>{"Pop", "Pop"}));
    EXPECT_TRUE(msgs.Registros().empty());
}

TEST_F(Importacao, PastingTextThatIsNoTableSaysSo) {
    QApplication::clipboard()->setText(QStringLiteral("uma frase"));
    Dispara("Colar1");
    EXPECT_EQ(msgs.Textos(), (std::vector<std::string>{"Conte\xFA" "do do ClipBoard n\xE3o \xE9 uma tabela v\xE1lida"}));
    EXPECT_EQ(tabela.NumLinhas, 0);
    EXPECT_FALSE(janela->StringGrid1->isVisible());
}

TEST_F(Importacao, EditarMenuEnablesByRowsAndClipboard) {
    QMenu* editar = janela->findChild<QMenu*>(QStringLiteral("Editar1"));
    ASSERT_NE(editar, nullptr);
    QApplication::clipboard()->clear();
    cfg.DBFcomCP850 = false;
    emit editar->aboutToShow();
    EXPECT_FALSE(janela->Acao(QStringLiteral("Copiar1"))->isEnabled());
    EXPECT_FALSE(janela->Acao(QStringLiteral("Localizar1"))->isEnabled());
    EXPECT_FALSE(janela->Acao(QStringLiteral("Colar1"))->isEnabled());
    EXPECT_FALSE(janela->Acao(QStringLiteral("CodePage"))->isChecked());

    Mostra();
    QApplication::clipboard()->setText(QStringLiteral("x"));
    cfg.DBFcomCP850 = true;
    emit editar->aboutToShow();
    EXPECT_TRUE(janela->Acao(QStringLiteral("Copiar1"))->isEnabled());
    EXPECT_TRUE(janela->Acao(QStringLiteral("Localizar1"))->isEnabled());
    EXPECT_TRUE(janela->Acao(QStringLiteral("Colar1"))->isEnabled());
    EXPECT_TRUE(janela->Acao(QStringLiteral("CodePage"))->isChecked());
}

TEST_F(Importacao, FindRestoresNaturalOrderAndWalksThroughTheMatches) {
    tabela = teste::MontaTabela({"S\xE3o Jos\xE9", "Acre", "Sao Paulo", "Bahia"}, {{"V", {1, 4, 2, 3}}});
    janela->MostraTabela();
    OrdenaTabela(tabela, 1);
    ASSERT_NE(tabela.ColunaOrdem, 0);
    Dispara("Localizar1");
    EXPECT_EQ(tabela.ColunaOrdem, 0);
    EXPECT_EQ(teste::RotulosExibidos(tabela), (std::vector<std::string>{"S\xE3o Jos\xE9", "Acre", "Sao Paulo", "Bahia"}));

    TLocaliza& busca = JanelaLocaliza(*janela);
    EXPECT_TRUE(busca.isVisible());
    EXPECT_TRUE(busca.rbAbaixo->isChecked());
    busca.edTexto->setText(QStringLiteral("sao"));
    // Down starts just below the top row, so the first row is passed over.
    busca.bLocaliza->click();
    EXPECT_EQ(janela->StringGrid1->currentIndex().row(), 4);
    busca.bLocaliza->click();
    EXPECT_EQ(msgs.Textos(), (std::vector<std::string>{"\"sao\" n\xE3o encontrado!"}));
    EXPECT_EQ(janela->StringGrid1->currentIndex().row(), 4);

    busca.rbAcima->setChecked(true);
    busca.bLocaliza->click();
    EXPECT_EQ(janela->StringGrid1->currentIndex().row(), 2);

    msgs.Limpa();
    busca.cbMaiusculas->setChecked(true);
    busca.rbAbaixo->setChecked(true);
    busca.bLocaliza->click();
    EXPECT_EQ(janela->StringGrid1->currentIndex().row(), 2);
    EXPECT_EQ(msgs.Textos(), (std::vector<std::string>{"\"sao\" n\xE3o encontrado!"}));
    busca.close();
}

TEST_F(Importacao, DOSAccentConversionTouchesOnlyLabels) {
    tabela = teste::MontaTabela({"S\xC6o Jos\x82"}, {{"V", {1}}});
    tabela.Modificada = false;
    janela->MostraTabela();
    Dispara("CP850");
    EXPECT_EQ(tabela.Rotulo(1), "S\xE3o Jos\xE9");
    EXPECT_FALSE(tabela.Modificada);
    EXPECT_EQ(janela->Modelo->data(janela->Modelo->index(2, 0), Qt::DisplayRole).toString(),
              ParaQString("S\xE3o Jos\xE9"));
}

TEST_F(Importacao, SaveDialogAddsTheTypesExtensionButNoneForSpring) {
    struct Caso {
        const char* filtro; // the start of the file type's name
        const char* esperado;
    } casos[] = {{"Tabela SPRING", "dados"}, {"Comma Separated", "dados.csv"}, {"Tabela do Dorvan", "dados.tab"}};
    for (const Caso& c : casos) {
        teste::QuandoModal([this, c](QWidget* w) {
            auto* d = qobject_cast<QFileDialog*>(w);
            if (!d) {
                ADD_FAILURE() << "not a file dialog";
                w->close();
                return;
            }
            for (const QString& f : d->nameFilters())
                if (f.startsWith(QString::fromLatin1(c.filtro))) d->selectNameFilter(f);
            // Typed into the name box: selectFile leaves the box alone when it has the focus.
            auto* caixa = d->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
            ASSERT_NE(caixa, nullptr);
            caixa->setText(QString::fromStdString(pasta / "dados"));
            QMetaObject::invokeMethod(d, "accept");
        });
        EXPECT_EQ(janela->EscolheArquivoSalvar(QStringLiteral("Salvar")), pasta / c.esperado) << c.filtro;
    }
}

} // namespace

// The SQL window's composing aids and the visual query builder, driven offscreen
// over a standard alias whose database the sqlite3 program builds.
#include "platform/Mensagens.h"
#include "platform/Texto1252.h"
#include "platform/db/BancoDados.h"
#include "query/ui/AuxiliosConsulta.h"
#include "query/ui/TOQBForm.h"
#include "query/ui/TfQuery.h"
#include "support/ApoioTeste.h"
#include "support/DirigeJanelas.h"
#include "table/Configuracao.h"
#include "table/TabelaResultados.h"

#include <Qsci/qsciscintilla.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTableWidget>
#include <QToolButton>
#include <filesystem>
#include <gtest/gtest.h>

using namespace dorvan;

namespace {

using Linhas = std::vector<std::string>;

class Auxilios : public ::testing::Test {
protected:
    void SetUp() override {
        cwd = std::filesystem::current_path();
        std::filesystem::current_path(pasta.Caminho());
        ASSERT_EQ(teste::Executa("sqlite3 '" + (pasta / "dorvan.sqlite") +
                                 "' \"CREATE TABLE casos (municipio TEXT, mun INTEGER, obitos INTEGER, taxa REAL);"
                                 "CREATE TABLE mun (mun INTEGER, nome TEXT, popula\xC3\xA7\xC3\xA3o INTEGER);"
                                 "INSERT INTO casos VALUES ('350010 Adamantina', 1, 3, 1.5);"
                                 "INSERT INTO casos VALUES ('350020 Adolfo', 2, 7, 0.25);"
                                 "INSERT INTO mun VALUES (1, 'Adamantina', 100), (2, 'Adolfo', 50);\""),
                  0);
        ASSERT_EQ(motor.Inicia(), 0);
        motor.DefineAlias({"Saude", DriverSQLite, pasta / "dorvan.sqlite", "", 0, "", ""});
        cfg.DirDados = pasta.Caminho().string() + "/";
        janela = std::make_unique<TfQuery>(tabela, cfg, motor);
        aux = janela->findChild<AuxiliosConsulta*>();
        ASSERT_TRUE(aux);
        janela->show();
        janela->bSQLClick();
        janela->cbDataBase->setEditText(QStringLiteral("Saude"));
        janela->cbDataBaseClick();
    }
    void TearDown() override {
        janela.reset();
        std::filesystem::current_path(cwd);
    }
    void EscolheTabela(const char* nome) {
        auto achados = janela->lbTabelas->findItems(QString::fromLatin1(nome), Qt::MatchExactly);
        ASSERT_EQ(achados.size(), 1);
        janela->lbTabelas->setCurrentItem(achados[0]);
        janela->lbTabelasClick();
    }
    void Seleciona(std::initializer_list<int> linhas) {
        janela->lbColunas->clearSelection();
        for (int l : linhas)
            janela->lbColunas->item(l)->setSelected(true);
        janela->lbColunas->setCurrentRow(*linhas.begin(), QItemSelectionModel::NoUpdate);
    }
    Linhas Selecionadas() {
        Linhas r;
        for (auto* i : janela->lbColunas->selectedItems())
            r.push_back(DeQString(i->text()));
        return r;
    }

    std::filesystem::path cwd;
    teste::PastaTemporaria pasta;
    MotorBD motor{pasta / "Aliases.ini"};
    MensagensRoteiro msg;
    UsaMensagens usa{msg};
    TabelaResultados tabela;
    Configuracao cfg;
    std::unique_ptr<TfQuery> janela;
    AuxiliosConsulta* aux = nullptr;
};

TEST_F(Auxilios, DoubleClicksInsertNamesWithTheRightSeparator) {
    EscolheTabela("casos");
    janela->bNovoClick();
    janela->lbColunas->setCurrentRow(0);
    aux->lbColunasDblClick();
    janela->lbColunas->setCurrentRow(2);
    aux->lbColunasDblClick();
    EXPECT_EQ(janela->LinhasSQL(), Linhas{"select  municipio, obitos"});
    janela->cbQualifica->setChecked(true);
    aux->lbColunasDblClick();
    aux->lbTabelasDblClick();
    EXPECT_EQ(janela->LinhasSQL(), Linhas{"select  municipio, obitos, casos.obitos, casos"});
    // A new query starts again with one blank.
    janela->bNovoClick();
    aux->lbTabelasDblClick();
    EXPECT_EQ(janela->LinhasSQL(), Linhas{"select  casos"});
}

TEST_F(Auxilios, SumsAndGroupingWriteRunnableSQL) {
    EscolheTabela("casos");
    janela->bNovoClick();
    Seleciona({2, 3});
    janela->bSoma->click();
    EXPECT_EQ(janela->LinhasSQL(), (Linhas{"select  sum(obitos), sum(taxa)", "from casos"}));
    int linha = -1, coluna = -1;
    janela->Memo1->getCursorPosition(&linha, &coluna);
    EXPECT_EQ(linha, 0);
    EXPECT_EQ(coluna, 30);
    // A second sum keeps the FROM line as it is.
    janela->bSoma->click();
    EXPECT_EQ(janela->LinhasSQL()[1], "from casos");

    Seleciona({0});
    janela->bAgrupa->click();
    EXPECT_EQ(janela->LinhasSQL(),
              (Linhas{"select", "  municipio,", "  count(*)", "from casos", "group by  municipio"}));
    janela->Memo1->getCursorPosition(&linha, &coluna);
    EXPECT_EQ(linha, 2);
    janela->bExecuteClick();
    EXPECT_EQ(janela->result(), QDialog::Accepted);
    EXPECT_TRUE(msg.Textos().empty());
    EXPECT_EQ(tabela.NumLinhas, 2);
}

TEST_F(Auxilios, DroppingColumnsAndTablesAndJoiningByDrag) {
    EscolheTabela("casos");
    janela->bNovoClick();
    Seleciona({0, 2});
    aux->SoltaNoEditor(janela->lbColunas);
    EXPECT_EQ(janela->LinhasSQL(), (Linhas{"select municipio, obitos", "from casos"}));
    aux->SoltaNoEditor(janela->lbColunas);
    EXPECT_EQ(janela->LinhasSQL()[0], "select municipio, obitos, municipio, obitos");

    janela->DefineLinhasSQL({"select nome, obitos"});
    janela->lbColunas->setCurrentRow(1); // casos.mun onto the table mun
    aux->SoltaEmTabela(1);
    EXPECT_EQ(aux->Tabela(), "mun");
    EXPECT_EQ(Selecionadas(), Linhas{"mun"});
    EXPECT_EQ(janela->LinhasSQL(), (Linhas{"select nome, obitos", "from casos, mun", "where casos.mun = mun.mun"}));
    // A second join goes on with "and".
    janela->lbColunas->setCurrentRow(1); // mun.nome onto casos: no such column, the first is taken
    aux->SoltaEmTabela(0);
    EXPECT_EQ(janela->LinhasSQL().back(), "  and mun.nome = casos.municipio");
    janela->DefineLinhasSQL({"select nome, obitos", "from casos, mun", "where casos.mun = mun.mun"});
    janela->bExecuteClick();
    EXPECT_EQ(janela->result(), QDialog::Accepted);
    EXPECT_TRUE(msg.Textos().empty());
    EXPECT_EQ(tabela.Rotulo(1), "Adamantina");
}

TEST_F(Auxilios, ListSearchIgnoresAccentsAndAnEmptyListAsksNothing) {
    EscolheTabela("mun");
    std::vector<std::string> respostas = {"POPULACAO", "nada", "mu"};
    aux->PerguntaBusca = [&]() -> std::optional<std::string> {
        auto r = respostas.front();
        respostas.erase(respostas.begin());
        return r;
    };
    aux->ProcuraNaLista(janela->lbColunas);
    EXPECT_EQ(Selecionadas(), Linhas{"popula\xE7\xE3o"});
    aux->ProcuraNaLista(janela->lbColunas);
    EXPECT_EQ(Selecionadas(), Linhas{"popula\xE7\xE3o"});
    aux->ProcuraNaLista(janela->lbTabelas);
    EXPECT_EQ(aux->Tabela(), "mun");
    EXPECT_EQ(janela->Label3->text(), QStringLiteral("Colunas em mun : 3"));
    janela->lbColunas->clear();
    aux->ProcuraNaLista(janela->lbColunas);
    EXPECT_TRUE(respostas.empty());
}

TEST_F(Auxilios, FindAndReplaceFollowTheDialogsOptions) {
    janela->DefineLinhasSQL({"select Obitos, obitos", "from casos where obitos > 1"});
    janela->Memo1->setCursorPosition(0, 0);
    EXPECT_TRUE(aux->Procura("obitos", {true, false, false}));
    int l = -1, c = -1, l2 = -1, c2 = -1;
    janela->Memo1->getSelection(&l, &c, &l2, &c2);
    EXPECT_EQ(c, 15);
    EXPECT_FALSE(aux->Procura("xyz", {}));
    EXPECT_EQ(msg.Textos(), Linhas{"Seq\xFC\xEAncia 'xyz' n\xE3o encontrada!"});

    janela->Memo1->setCursorPosition(0, 0);
    EXPECT_TRUE(aux->Substitui("obitos", "mortes", {}, true));
    EXPECT_EQ(janela->LinhasSQL(), (Linhas{"select mortes, mortes", "from casos where mortes > 1"}));
    // Whole word only: "caso" is not part of "casos".
    janela->Memo1->setCursorPosition(0, 0);
    msg.Limpa();
    EXPECT_FALSE(aux->Substitui("caso", "x", {false, true, false}, true));
    EXPECT_EQ(msg.Textos(), Linhas{"Seq\xFC\xEAncia 'caso' n\xE3o encontrada!"});
    // One replace: the selected match goes, the next is selected.
    janela->Memo1->setCursorPosition(0, 0);
    ASSERT_TRUE(aux->Procura("mortes", {}));
    EXPECT_TRUE(aux->Substitui("MORTES", "a", {}, false));
    EXPECT_EQ(janela->LinhasSQL()[0], "select a, mortes");
    EXPECT_EQ(DeQString(janela->Memo1->selectedText()), "mortes");
}

TEST_F(Auxilios, TheReplaceDialogReplacesAllAndCloses) {
    janela->DefineLinhasSQL({"select a, a", "from t"});
    janela->Memo1->setCursorPosition(0, 0);
    aux->MostraProcura(true);
    auto* d = janela->findChild<QDialog*>(QStringLiteral("DialogoProcura"));
    ASSERT_TRUE(d);
    EXPECT_EQ(d->windowTitle(), QStringLiteral("Substituir"));
    d->findChild<QLineEdit*>(QStringLiteral("edProcura"))->setText(QStringLiteral("a"));
    d->findChild<QLineEdit*>(QStringLiteral("edSubstitui"))->setText(QStringLiteral("b"));
    for (auto* b : d->findChildren<QPushButton*>())
        if (b->text() == QStringLiteral("Substituir todas")) b->click();
    EXPECT_FALSE(d->isVisible());
    EXPECT_EQ(janela->LinhasSQL(), (Linhas{"select b, b", "from t"}));
    aux->MostraProcura(false);
    EXPECT_EQ(d->windowTitle(), QStringLiteral("Localizar"));
    EXPECT_TRUE(d->findChild<QLineEdit*>(QStringLiteral("edSubstitui"))->isHidden());
    d->hide();
}

TEST_F(Auxilios, TheBuilderWritesItsSQLIntoTheEditorAndKeepsTheModel) {
    bool viu = false;
    teste::QuandoModal([&](QWidget* w) {
        auto* f = qobject_cast<TOQBForm*>(w);
        ASSERT_TRUE(f);
        viu = true;
        EXPECT_EQ(f->windowTitle(), QStringLiteral("Construtor Visual de Consultas SQL [Saude]"));
        EXPECT_EQ(f->QBTables->count(), 2);
        EXPECT_TRUE(f->btnReload->isHidden());
        EXPECT_TRUE(f->btnResults->isHidden());
        ASSERT_TRUE(f->InsereTabela("casos", QPoint(10, 10)));
        ASSERT_TRUE(f->InsereTabela("mun", QPoint(300, 10)));
        EXPECT_FALSE(f->InsereTabela("mun", QPoint(300, 200)));
        EXPECT_FALSE(f->InsereTabela("nenhuma", QPoint(0, 200)));
        ASSERT_TRUE(f->Painel("casos"));
        EXPECT_EQ(f->Painel("casos")->Lista()->count(), 5);
        f->modelo.MarcaCampo("mun", 2, true);
        f->modelo.MarcaCampo("casos", 3, true);
        f->modelo.colunas[1].funcao = "Sum";
        f->modelo.colunas[0].agrupa = "Group";
        ASSERT_TRUE(f->modelo.Liga("casos", 2, "mun", 1));
        f->Atualiza();
        EXPECT_TRUE(f->Painel("mun")->Lista()->item(1)->font().bold());
        EXPECT_EQ(f->grade->columnCount(), 3);
        EXPECT_EQ(f->grade->item(0, 1)->text(), QStringLiteral("nome"));
        EXPECT_EQ(f->grade->item(4, 2)->text(), QStringLiteral("Sum"));
        EXPECT_TRUE(f->area->RegiaoLigacao(0).isValid());
        f->btnOK->click();
    });
    janela->bOQB->click();
    ASSERT_TRUE(viu);
    ASSERT_EQ(msg.Textos().size(), 2u);
    EXPECT_EQ(msg.Textos()[0], "Esta tabela j\xE1 foi inserida!");
    EXPECT_EQ(janela->LinhasSQL(), (Linhas{"SELECT ", "  mun.nome, ", "  SUM(casos.obitos)", "FROM  casos, mun",
                                           "WHERE  ", "  casos.mun=mun.mun", "GROUP BY  mun.nome"}));
    ASSERT_TRUE(std::filesystem::exists(pasta / "modelo.qb"));
    msg.Limpa();
    janela->bExecuteClick();
    EXPECT_TRUE(msg.Textos().empty());
    EXPECT_EQ(tabela.NumLinhas, 2);

    // The next builder offers the previous model, and cancelling leaves the editor alone.
    bool viu2 = false;
    teste::QuandoModal([&](QWidget* w) {
        auto* f = qobject_cast<TOQBForm*>(w);
        ASSERT_TRUE(f);
        viu2 = true;
        EXPECT_FALSE(f->btnReload->isHidden());
        f->btnReloadClick();
        EXPECT_EQ(f->modelo.tabelas.size(), 2u);
        EXPECT_EQ(f->modelo.colunas.size(), 2u);
        EXPECT_EQ(f->modelo.ligacoes.size(), 1u);
        EXPECT_TRUE(f->Painel("mun"));
        EXPECT_TRUE(f->Painel("mun")->Lista()->item(2)->checkState() == Qt::Checked);
        f->btnNewClick();
        EXPECT_TRUE(f->modelo.tabelas.empty());
        f->btnCancel->click();
    });
    janela->bOQB->click();
    ASSERT_TRUE(viu2);
    EXPECT_EQ(janela->LinhasSQL().size(), 7u);

    // OK with no columns says so and keeps the editor's text.
    teste::QuandoModal([&](QWidget* w) {
        auto* f = qobject_cast<TOQBForm*>(w);
        ASSERT_TRUE(f);
        f->btnOKClick();
    });
    msg.Limpa();
    janela->bOQB->click();
    EXPECT_EQ(msg.Textos(), Linhas{"N\xE3o h\xE1 colunas selecionadas!"});
    EXPECT_EQ(janela->LinhasSQL().size(), 7u);
}

} // namespace

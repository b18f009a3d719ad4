// The SQL window and the dataset viewer driven offscreen over a standard alias
// whose database the sqlite3 program builds.
#include "data/LeDBF32.h"
#include "data/TabelasDBF.h"
#include "platform/Mensagens.h"
#include "platform/Texto1252.h"
#include "platform/db/BancoDados.h"
#include "query/BancoPadrao.h"
#include "query/ui/ComandosConsulta.h"
#include "query/ui/TFVerTabela.h"
#include "query/ui/TfQuery.h"
#include "support/ApoioTeste.h"
#include "support/DirigeJanelas.h"
#include "table/Configuracao.h"
#include "table/Inicio.h"
#include "table/TabelaResultados.h"
#include "table/ui/GradeFixa.h"
#include "table/ui/TForm1.h"

#include <Qsci/qsciscintilla.h>

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSqlTableModel>
#include <QTest>
#include <QTableView>
#include <QToolButton>
#include <filesystem>
#include <gtest/gtest.h>

using namespace dorvan;

namespace {

using Linhas = std::vector<std::string>;

class JanelaConsulta : public ::testing::Test {
protected:
    void SetUp() override {
        cwd = std::filesystem::current_path();
        Sqlite(pasta / "dorvan.sqlite", "CREATE TABLE casos (municipio TEXT, obitos INTEGER, taxa REAL);"
                                        "CREATE INDEX i_ob ON casos (obitos);"
                                        "INSERT INTO casos VALUES ('350010 Adamantina', 3, 1.5);"
                                        "INSERT INTO casos VALUES ('350020 Adolfo', 7, 0.25);"
                                        "CREATE TABLE log (n INTEGER);");
        std::filesystem::create_directory(pasta / "consultas");
        ASSERT_EQ(motor.Inicia(), 0);
        motor.DefineAlias({"Saude", DriverSQLite, pasta / "dorvan.sqlite", "", 0, "", ""});
        motor.DefineAlias({"Arquivo", "SQLITE", pasta / "dorvan.sqlite", "", 0, "", ""});
        cfg.DirDados = pasta / "consultas/";
        janela = std::make_unique<TfQuery>(tabela, cfg, motor);
    }
    void TearDown() override {
        janela.reset();
        std::filesystem::current_path(cwd);
    }
    static void Sqlite(const std::string& banco, const std::string& sql, std::string* saida = nullptr) {
        ASSERT_EQ(teste::Executa("sqlite3 '" + banco + "' \"" + sql + "\"", saida), 0) << sql;
    }
    Linhas Itens(QListWidget* l) {
        Linhas r;
        for (int i = 0; i < l->count(); ++i) r.push_back(DeQString(l->item(i)->text()));
        return r;
    }
    void EscolheAlias(const char* nome) {
        janela->cbDataBase->setEditText(QString::fromLatin1(nome));
        janela->cbDataBaseClick();
    }
    void EscolheTabela(const char* nome) {
        auto achados = janela->lbTabelas->findItems(QString::fromLatin1(nome), Qt::MatchExactly);
        ASSERT_EQ(achados.size(), 1);
        janela->lbTabelas->setCurrentItem(achados[0]);
        janela->lbTabelasClick();
    }

    std::filesystem::path cwd;
    teste::PastaTemporaria pasta;
    MotorBD motor{pasta / "Aliases.ini"};
    MensagensRoteiro msg;
    UsaMensagens usa{msg};
    TabelaResultados tabela;
    Configuracao cfg;
    std::unique_ptr<TfQuery> janela;
};

TEST_F(JanelaConsulta, StartsInUserModeAndTheProgrammerButtonSwitchesBothWays) {
    janela->show();
    EXPECT_EQ(janela->windowTitle(), QStringLiteral("Consulta SQL"));
    EXPECT_TRUE(janela->Panel1->isHidden());
    EXPECT_TRUE(janela->bNovo->isHidden());
    EXPECT_TRUE(janela->bSalvar->isHidden());
    EXPECT_FALSE(janela->bRemoveAlias->isEnabled());
    for (QPushButton* b : {janela->bAgrupa, janela->bSoma, janela->bCase, janela->bOQB, janela->bVisualiza})
        EXPECT_FALSE(b->isEnabled()) << b->objectName().toStdString();
    EXPECT_EQ(Itens(janela->lbConsultas), Linhas{});
    EXPECT_EQ(janela->cbDataBase->count(), 2);

    janela->bSQLClick();
    EXPECT_FALSE(janela->Panel1->isHidden());
    EXPECT_EQ(DeQString(janela->bSQL->text()), "Modo &Usu\xE1rio");
    EXPECT_EQ(janela->bSQL->toolTip(), QStringLiteral("Retorna ao modo do usuario da consulta"));
    EXPECT_EQ(janela->Panel2->height(), 137);
    for (QPushButton* b : {janela->bAbrir, janela->bNovo, janela->bSalvar}) EXPECT_FALSE(b->isHidden());

    janela->bSQLClick();
    EXPECT_TRUE(janela->Panel1->isHidden());
    EXPECT_EQ(janela->bSQL->text(), QStringLiteral("Modo &Programador"));
    EXPECT_EQ(janela->bSQL->toolTip(), QStringLiteral("Entra no modo do programador em SQL"));
    EXPECT_TRUE(janela->bNovo->isHidden());
    EXPECT_TRUE(janela->bSalvar->isHidden());
    EXPECT_FALSE(janela->bAbrir->isHidden());
}

TEST_F(JanelaConsulta, AListedQueryLoadsOnClickAndRunsIntoTheTable) {
    pasta.Grava("consultas/obitos.sql", "#\xD3" "bitos por munic\xEDpio\r\n#Saude\r\n#\r\n"
                                        "select municipio, obitos\r\nfrom casos\r\n");
    pasta.Grava("consultas/nada.sql", "select 1\r\n");
    janela->show();
    ASSERT_EQ(Itens(janela->lbConsultas), Linhas{"\xD3" "bitos por munic\xEDpio [obitos.sql]"});
    EXPECT_EQ(std::filesystem::current_path(), std::filesystem::path(pasta / "consultas"));
    janela->lbConsultas->setCurrentRow(0);
    janela->lbConsultasClick();
    EXPECT_EQ(janela->LinhasSQL(), (Linhas{"select municipio, obitos", "from casos"}));
    EXPECT_EQ(DeQString(janela->edTitulo->text()), "\xD3" "bitos por munic\xEDpio");
    EXPECT_EQ(janela->cbDataBase->currentText(), QStringLiteral("Saude"));
    EXPECT_EQ(janela->DriverAtual, "SQLITE");
    EXPECT_EQ(janela->Label2->text(), QStringLiteral("Tabelas em Saude (SQLITE): 2"));
    EXPECT_EQ(Itens(janela->lbTabelas), (Linhas{"casos", "log"}));
    EXPECT_FALSE(janela->bRemoveAlias->isEnabled());
    EXPECT_TRUE(janela->bOQB->isEnabled());
    EXPECT_EQ(janela->windowTitle().toStdString(), pasta / "consultas/obitos.sql");

    janela->bExecuteClick();
    EXPECT_EQ(janela->result(), QDialog::Accepted);
    EXPECT_TRUE(msg.Textos().empty());
    ASSERT_EQ(tabela.NumLinhas, 2);
    EXPECT_EQ(tabela.Rotulo(2), "350020 Adolfo");
    EXPECT_EQ(tabela.Coluna(1).Total, 10);
    EXPECT_EQ(tabela.Titulo1, "\xD3" "bitos por munic\xEDpio");
    EXPECT_EQ(tabela.Rodape.rfind("Executado sobre Saude em ", 0), 0u);
}

TEST_F(JanelaConsulta, StatementsKeepTheWindowOpenAndRefreshTheTables) {
    janela->show();
    janela->bSQLClick();
    EscolheAlias("Saude");
    cfg.ModoSeguro = false;
    janela->DefineLinhasSQL({"create table nova (a integer);", "insert into nova values (1)"});
    janela->bExecuteClick();
    EXPECT_TRUE(janela->isVisible());
    EXPECT_NE(janela->result(), QDialog::Accepted);
    EXPECT_EQ(Itens(janela->lbTabelas), (Linhas{"casos", "log", "nova"}));

    // Safe mode keeps statements off any alias but a STANDARD one.
    cfg.ModoSeguro = true;
    EscolheAlias("Arquivo");
    EXPECT_FALSE(janela->bRemoveAlias->isEnabled());
    janela->DefineLinhasSQL({"drop table nova"});
    janela->bExecuteClick();
    EXPECT_EQ(msg.Textos(), Linhas{"Comando SELECT obrigat\xF3rio na primeira linha!"});
    msg.Limpa();

    // An engine error is shown and the window stays usable.
    janela->DefineLinhasSQL({"select * from nenhuma"});
    janela->bExecuteClick();
    ASSERT_EQ(msg.Textos().size(), 1u);
    EXPECT_NE(msg.Textos()[0].find("nenhuma"), std::string::npos);
    EXPECT_TRUE(janela->isEnabled());
}

TEST_F(JanelaConsulta, ChoosingATableListsItsColumnsAndEnablesTheSideButtons) {
    janela->show();
    janela->bSQLClick();
    EscolheAlias("Saude");
    EscolheTabela("casos");
    EXPECT_EQ(Itens(janela->lbColunas), (Linhas{"municipio", "obitos", "taxa"}));
    EXPECT_EQ(janela->Label3->text(), QStringLiteral("Colunas em casos : 3"));
    EXPECT_EQ(janela->TabelaEscolhida, "casos");
    ASSERT_EQ(janela->IndicesTabela.size(), 1u);
    EXPECT_EQ(janela->IndicesTabela[0].campos, "obitos");
    for (QPushButton* b : {janela->bAgrupa, janela->bSoma, janela->bVisualiza}) EXPECT_TRUE(b->isEnabled());
    EXPECT_TRUE(janela->bCase->isEnabled());
    EscolheAlias("Arquivo");
    EXPECT_EQ(Itens(janela->lbColunas), Linhas{});
    EXPECT_FALSE(janela->bVisualiza->isEnabled());
    EXPECT_EQ(janela->Label3->text(), QStringLiteral("Colunas:"));
    EscolheTabela("casos");
    EXPECT_TRUE(janela->bCase->isEnabled());
}

TEST_F(JanelaConsulta, SavingWritesByExtensionRebuildsTheListAndOpeningReadsBack) {
    janela->show();
    janela->bSQLClick();
    EscolheAlias("Saude");
    janela->bNovoClick();
    EXPECT_EQ(janela->LinhasSQL(), Linhas{"select "});
    int linha = -1, coluna = -1;
    janela->Memo1->getCursorPosition(&linha, &coluna);
    EXPECT_EQ(coluna, 7);
    janela->DefineLinhasSQL({"select municipio, taxa", "from casos where obitos > :minimo"});
    janela->edTitulo->setText(QStringLiteral("Taxas"));
    janela->edParam->setText(QStringLiteral("minimo"));

    const std::string outra = pasta / "outra";
    std::filesystem::create_directory(outra);
    std::string destino = outra + "/taxas.xml";
    janela->EscolheArquivoSalvar = [&] { return destino; };
    janela->bSalvarClick();
    EXPECT_EQ(cfg.DirDados, outra + "/");
    EXPECT_EQ(Itens(janela->lbConsultas), Linhas{"Taxas [taxas.xml]"});
    EXPECT_NE(pasta.Le("outra/taxas.xml").find("<Param>minimo</Param>"), std::string::npos);

    destino = outra + "/taxas.txt";
    janela->bSalvarClick();
    EXPECT_FALSE(std::filesystem::exists(destino));

    janela->bNovoClick();
    EXPECT_TRUE(janela->edTitulo->text().isEmpty());
    EXPECT_TRUE(janela->edParam->text().isEmpty());
    janela->EscolheArquivoAbrir = [&] { return outra + "/taxas.xml"; };
    janela->bAbrirClick();
    EXPECT_EQ(janela->LinhasSQL(), (Linhas{"select municipio, taxa", "from casos where obitos > :minimo"}));
    EXPECT_EQ(janela->edParam->text(), QStringLiteral("minimo"));

    // Running asks the parameter by its name and names it in the subtitle.
    std::vector<std::string> perguntas;
    janela->PerguntaParametro = [&](const std::string& nome) -> std::optional<std::string> {
        perguntas.push_back(nome);
        return std::string("5");
    };
    janela->bExecuteClick();
    EXPECT_EQ(perguntas, Linhas{"minimo"});
    ASSERT_EQ(tabela.NumLinhas, 1);
    EXPECT_EQ(tabela.Titulo2, "minimo = 5");
}

TEST_F(JanelaConsulta, TheParameterQuestionAnswersWhileTheWindowWaitsForTheRun) {
    QWidget dono;
    auto filha = std::make_unique<TfQuery>(tabela, cfg, motor, &dono);
    filha->show();
    filha->cbDataBase->setEditText(QStringLiteral("Saude"));
    filha->DefineLinhasSQL({"select municipio, obitos from casos where obitos = :n"});
    filha->edParam->setText(QStringLiteral("n"));
    QString titulo, rotulo;
    teste::QuandoModal([&](QWidget* w) {
        auto* d = qobject_cast<QInputDialog*>(w);
        ASSERT_TRUE(d);
        titulo = d->windowTitle();
        rotulo = d->labelText();
        EXPECT_TRUE(d->isEnabled());
        d->setTextValue(QStringLiteral("7"));
        d->accept();
    });
    filha->bExecuteClick();
    EXPECT_EQ(DeQString(titulo), "Entre valor do par\xE2metro");
    EXPECT_EQ(rotulo, QStringLiteral("n"));
    EXPECT_EQ(filha->result(), QDialog::Accepted);
    ASSERT_EQ(tabela.NumLinhas, 1);
    EXPECT_EQ(tabela.Titulo2, "n = 7");
}

TEST_F(JanelaConsulta, AliasesAreAddedAndRemovedAndTheFileKeepsThem) {
    janela->show();
    janela->bSQLClick();
    const std::string nova = pasta / "novo";
    std::filesystem::create_directory(nova);
    std::vector<std::string> perguntas;
    janela->EscolhePasta = [&](const std::string& pergunta, const std::string&) -> std::optional<std::string> {
        perguntas.push_back(pergunta);
        return nova;
    };
    janela->cbDataBase->setEditText(QString());
    janela->bNovoAliasClick();
    janela->cbDataBase->setEditText(QStringLiteral("Saude"));
    janela->bNovoAliasClick();
    EXPECT_EQ(msg.Textos(),
              (Linhas{"Primeiro entre com o nome do Banco de dados ser adicionado!", "Saude j\xE1 existe!"}));
    EXPECT_TRUE(perguntas.empty());

    janela->cbDataBase->setEditText(QStringLiteral("Novo"));
    janela->bNovoAliasClick();
    EXPECT_EQ(perguntas, Linhas{"Diret\xF3rio do Banco de dados Novo?"});
    EXPECT_TRUE(motor.AliasExiste("Novo"));
    EXPECT_EQ(janela->cbDataBase->count(), 3);
    EXPECT_EQ(janela->Label2->text(), QStringLiteral("Tabelas em Novo (STANDARD): 0"));
    EXPECT_NE(pasta.Le("Aliases.ini").find("[Novo]"), std::string::npos);

    msg.Limpa();
    msg.Responde("N");
    janela->bRemoveAliasClick();
    EXPECT_TRUE(motor.AliasExiste("Novo"));
    msg.Responde("S");
    janela->bRemoveAliasClick();
    EXPECT_EQ(msg.Registros().back().titulo, "Aten\xE7\xE3o!");
    EXPECT_EQ(msg.Registros().back().texto, "Quer mesmo remover o Banco de dados Novo");
    EXPECT_FALSE(motor.AliasExiste("Novo"));
    EXPECT_EQ(pasta.Le("Aliases.ini").find("[Novo]"), std::string::npos);
    EXPECT_TRUE(janela->cbDataBase->currentText().isEmpty());
    EXPECT_FALSE(janela->bRemoveAlias->isEnabled());
    EXPECT_EQ(janela->Label2->text(), QStringLiteral("Tabelas:"));
}

TEST_F(JanelaConsulta, TheViewerBrowsesThenChangesAndAlwaysReopensBrowsing) {
    TFVerTabela viewer;
    FVerTabela = &viewer;
    janela->show();
    janela->bSQLClick();
    EscolheAlias("Saude");
    EscolheTabela("casos");
    cfg.ModoSeguro = false;
    bool olhou = false;
    teste::QuandoModal([&](QWidget* w) {
        auto* v = qobject_cast<TFVerTabela*>(w);
        ASSERT_TRUE(v);
        olhou = true;
        EXPECT_EQ(v->windowTitle(), QStringLiteral("Saude:casos"));
        EXPECT_FALSE(v->sbAltera->isHidden()); // out of safe mode the table may be changed
        EXPECT_FALSE(v->GradeEditavel());
        EXPECT_EQ(v->DBGrid1->model()->rowCount(), 2);
        Linhas visiveis;
        for (QToolButton* b : v->Botoes)
            if (!b->isHidden()) visiveis.push_back(DeQString(b->toolTip()));
        EXPECT_EQ(visiveis, (Linhas{"Primeiro registro", "Registro anterior", "Pr\xF3ximo registro",
                                    "\xDAltimo registro", "Atualiza os dados"}));
        v->sbAlteraClick();
        EXPECT_TRUE(v->TodosBotoes());
        v->Navega(TFVerTabela::Ultimo);
        v->Navega(TFVerTabela::Altera);
        EXPECT_TRUE(v->GradeEditavel());
        auto* m = qobject_cast<QSqlTableModel*>(v->DBGrid1->model());
        ASSERT_TRUE(m);
        m->setData(m->index(1, 1), 70);
        v->Navega(TFVerTabela::Efetiva);
        EXPECT_FALSE(v->GradeEditavel());
        v->bFechar->click();
    });
    janela->bVisualizaClick();
    EXPECT_TRUE(olhou);
    std::string s;
    Sqlite(pasta / "dorvan.sqlite", "select obitos from casos where municipio = '350020 Adolfo'", &s);
    EXPECT_EQ(s, "70\n");
    // Closed while changing: the next opening browses, without the refresh button.
    EXPECT_FALSE(viewer.TodosBotoes());
    Linhas visiveis;
    for (QToolButton* b : viewer.Botoes)
        if (!b->isHidden()) visiveis.push_back(DeQString(b->toolTip()));
    EXPECT_EQ(visiveis.size(), 4u);

    // Safe mode offers no changes on an alias that is not STANDARD.
    cfg.ModoSeguro = true;
    EscolheAlias("Arquivo");
    EscolheTabela("casos");
    bool olhou2 = false;
    teste::QuandoModal([&](QWidget* w) {
        auto* v = qobject_cast<TFVerTabela*>(w);
        ASSERT_TRUE(v);
        olhou2 = true;
        EXPECT_TRUE(v->sbAltera->isHidden());
        v->reject();
    });
    janela->bVisualizaClick();
    EXPECT_TRUE(olhou2);
    FVerTabela = nullptr;
}

// A STANDARD alias over a folder of DBF files: its files are the tables, with their
// fields as columns; the viewer browses them and a change is refused with a message.
TEST_F(JanelaConsulta, AStandardAliasShowsTheFolderFilesAndTheViewerBrowsesThem) {
    std::filesystem::create_directory(pasta / "dbf");
    {
        dbfRecord h;
        CreateDBF(h, pasta / "dbf/OBITOS.DBF", {{"UF", 'C', 2, 0, 0}, {"IDADE", 'N', 3, 0, 0}}, 3);
        for (const char* r : {" SP 30", "*SP 35", " RJ 50"})
            AppendDBF(h, r);
        CloseDBF(h);
    }
    const std::string antes = pasta.Le("dbf/OBITOS.DBF");
    motor.DefineFontePadrao(FonteArquivosDBF([] { return false; }));
    motor.AdicionaAliasPadrao("Dbf", pasta / "dbf");
    TFVerTabela viewer;
    FVerTabela = &viewer;
    janela->show();
    janela->bSQLClick();
    EscolheAlias("Dbf");
    EXPECT_EQ(janela->Label2->text(), QStringLiteral("Tabelas em Dbf (STANDARD): 1"));
    EXPECT_EQ(Itens(janela->lbTabelas), Linhas{"OBITOS"});
    EXPECT_TRUE(janela->bRemoveAlias->isEnabled());
    EscolheTabela("OBITOS");
    EXPECT_EQ(Itens(janela->lbColunas), (Linhas{"UF", "IDADE"}));
    for (QPushButton* b : {janela->bAgrupa, janela->bSoma, janela->bVisualiza, janela->bCase})
        EXPECT_TRUE(b->isEnabled()) << b->objectName().toStdString();
    bool olhou = false;
    teste::QuandoModal([&](QWidget* w) {
        auto* v = qobject_cast<TFVerTabela*>(w);
        ASSERT_TRUE(v);
        olhou = true;
        EXPECT_EQ(v->windowTitle(), QStringLiteral("Dbf:OBITOS"));
        EXPECT_EQ(v->DBGrid1->model()->rowCount(), 2); // the deleted record is left out
        EXPECT_EQ(v->DBGrid1->model()->index(1, 1).data().toInt(), 50);
        v->sbAlteraClick();
        v->Navega(TFVerTabela::Altera);
        v->DBGrid1->model()->setData(v->DBGrid1->model()->index(1, 1), 70);
        v->Navega(TFVerTabela::Efetiva);
        v->bFechar->click();
    });
    janela->bVisualizaClick();
    EXPECT_TRUE(olhou);
    // Refused when posted (and again when the viewer closes with the change pending).
    ASSERT_FALSE(msg.Textos().empty());
    for (const auto& t : msg.Textos())
        EXPECT_NE(t.find(MensagemSomenteLeitura("OBITOS")), std::string::npos) << t;
    msg.Limpa();
    EXPECT_EQ(pasta.Le("dbf/OBITOS.DBF"), antes);
    FVerTabela = nullptr;

    // A GROUP BY over the file fills the results table.
    janela->DefineLinhasSQL({"select uf, count(*) from obitos group by uf"});
    janela->bExecuteClick();
    EXPECT_EQ(janela->result(), QDialog::Accepted);
    ASSERT_EQ(tabela.NumLinhas, 2);
    EXPECT_EQ(tabela.Rotulo(1), "RJ");
    EXPECT_EQ(tabela.Coluna(1).Total, 2);
}

TEST_F(JanelaConsulta, TheViewerInsertsAndRemovesRecordsOnlyWhenConfirmed) {
    TFVerTabela v;
    QSqlTableModel* m = motor.CriaModelo("Saude", "casos");
    bool fechou = false;
    v.DefineModelo(m, [&] {
        fechou = true;
        motor.LiberaModelo(m);
    });
    v.show();
    v.sbAlteraClick();
    v.Navega(TFVerTabela::Ultimo);
    v.Navega(TFVerTabela::Insere);
    EXPECT_TRUE(v.GradeEditavel());
    const int nova = v.DBGrid1->currentIndex().row();
    EXPECT_EQ(nova, 2);
    m->setData(m->index(nova, 0), QStringLiteral("350030 Aguai"));
    m->setData(m->index(nova, 1), 1);
    v.Navega(TFVerTabela::Efetiva);
    std::string s;
    Sqlite(pasta / "dorvan.sqlite", "select count(*) from casos", &s);
    EXPECT_EQ(s, "3\n");

    v.Navega(TFVerTabela::Primeiro);
    msg.Responde("N");
    v.Navega(TFVerTabela::Remove);
    msg.Responde("S");
    v.Navega(TFVerTabela::Remove);
    EXPECT_FALSE(v.GradeEditavel());
    EXPECT_EQ(msg.RespostasRestantes(), 0u);
    Sqlite(pasta / "dorvan.sqlite", "select group_concat(municipio) from casos", &s);
    EXPECT_EQ(s, "350020 Adolfo,350030 Aguai\n");
    v.reject();
    EXPECT_TRUE(fechou);
    EXPECT_EQ(v.DBGrid1->model(), nullptr);
}

TEST_F(JanelaConsulta, TheAliasEditorIsFollowedByAnEngineRestartOverWhatItSaved) {
    janela->show();
    janela->bSQLClick();
    janela->AdministraBancos = [&](MotorBD& m) {
        EXPECT_EQ(&m, &motor);
        ConfiguracaoAliases arquivo(pasta / "Aliases.ini");
        arquivo.Define({"Outro", "SQLITE", pasta / "dorvan.sqlite", "", 0, "", ""});
        arquivo.Grava();
    };
    janela->bBDEClick();
    EXPECT_TRUE(motor.Iniciado());
    ASSERT_EQ(janela->cbDataBase->count(), 1);
    EXPECT_EQ(janela->cbDataBase->itemText(0), QStringLiteral("Outro"));
}

class ConsultaNaJanelaPrincipal : public JanelaConsulta {
protected:
    void SetUp() override {
        JanelaConsulta::SetUp();
        cfg.DirPrograma = pasta.Caminho().string() + "/";
        cfg.ArquivoIni = pasta / "Dorvan.ini";
        janela.reset();
        form = std::make_unique<TForm1>(tabela, cfg);
        form->show();
        form->Inicia({});
        fQuery = new TfQuery(tabela, cfg, motor, form.get());
        LigaComandosConsulta(*form);
    }
    void TearDown() override {
        form.reset();
        EXPECT_EQ(fQuery, nullptr); // went with the main window
        JanelaConsulta::TearDown();
    }
    std::unique_ptr<TForm1> form;
};

TEST_F(ConsultaNaJanelaPrincipal, TheMenuCommandShowsTheWindowAndThenTheTableItFilled) {
    teste::QuandoModal([](QWidget* w) {
        auto* q = qobject_cast<TfQuery*>(w);
        ASSERT_TRUE(q);
        q->cbDataBase->setEditText(QStringLiteral("Saude"));
        q->DefineLinhasSQL({"select municipio, obitos, taxa from casos"});
        q->edTitulo->setText(QStringLiteral("Casos SQL"));
        q->bExecute->click();
    });
    form->Acao(QStringLiteral("SQL1"))->trigger();
    ASSERT_EQ(tabela.NumLinhas, 2);
    EXPECT_TRUE(tabela.Modificada);
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Casos SQL"));
    EXPECT_TRUE(form->StringGrid1->isVisible());

    // Cancelling the save of the modified table keeps it, and the window does not open.
    msg.Responde("S"); // "Salvar Tabela Atual?": yes, then the save dialog is cancelled
    form->EscolheArquivoSalvar = [](const QString&) { return std::string(); };
    bool abriu = false;
    teste::QuandoModal([&](QWidget* w) {
        if (qobject_cast<TfQuery*>(w)) abriu = true;
        w->close();
    }, 20);
    form->Acao(QStringLiteral("SQL1"))->trigger();
    QTest::qWait(200);
    EXPECT_FALSE(abriu);
    EXPECT_EQ(msg.RespostasRestantes(), 0u);
    EXPECT_EQ(tabela.NumLinhas, 2);
}

TEST_F(ConsultaNaJanelaPrincipal, ASqlFileOnTheCommandLineRunsAndShowsItsTable) {
    const std::string arquivo = pasta.Grava("taxas.sql", "#Taxas\n#Saude\n#\nselect municipio, taxa from casos\n");
    Ganchos().AbreSQL(*form, arquivo);
    ASSERT_EQ(tabela.NumLinhas, 2);
    EXPECT_EQ(tabela.Coluna(1).Total, 1.75);
    EXPECT_EQ(tabela.Titulo1, "Taxas");
    EXPECT_TRUE(form->StringGrid1->isVisible());
}

TEST(InicioConsulta, TheSqlWindowExistsOnlyWhenTheEngineStarted) {
    for (int motorResponde : {0, 1}) {
        TabelaResultados tabela;
        Configuracao cfg;
        std::unique_ptr<TForm1> form;
        InicioPrograma inicio;
        inicio.RegistraJanela("TForm1", [&] { form = std::make_unique<TForm1>(tabela, cfg); });
        inicio.RegistraMotor([motorResponde] { return motorResponde; });
        RegistraConsulta(inicio, cfg);
        EXPECT_EQ(inicio.Executa(), motorResponde == 0);
        form->Inicia({});
        const bool sql = motorResponde == 0;
        EXPECT_EQ(fQuery != nullptr, sql);
        EXPECT_NE(FVerTabela, nullptr);
        EXPECT_EQ(cfg.SQLDisponivel, sql);
        EXPECT_EQ(form->Acao(QStringLiteral("bSQL"))->isVisible(), sql);
        EXPECT_EQ(form->Acao(QStringLiteral("SQL1"))->isVisible(), sql);
        EXPECT_EQ(inicio.Criadas().back(), sql ? "TfQuery" : "TFVerTabela");
        if (sql) {
            // Its bounds go back to the settings when it hides.
            fQuery->show();
            fQuery->setGeometry(30, 40, 700, 500);
            fQuery->hide();
            EXPECT_EQ(cfg.FQuery.Width, 700);
            EXPECT_EQ(cfg.FQuery.Height, 500);
        }
        form.reset();
        EXPECT_EQ(fQuery, nullptr);
        EXPECT_EQ(FVerTabela, nullptr);
    }
}

} // namespace

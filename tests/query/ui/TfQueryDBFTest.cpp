// The SQL window's query-to-DBF and batch buttons, over a standard alias whose
// database the sqlite3 program builds; a written file opens in the browser.
#include "data/LeDBF32.h"
#include "platform/Mensagens.h"
#include "platform/db/BancoDados.h"
#include "query/NavegaDBF.h"
#include "query/ui/TfBrowse.h"
#include "query/ui/TfCase.h"
#include "query/ui/TfQuery.h"
#include "support/ApoioTeste.h"
#include "support/DirigeJanelas.h"
#include "table/Configuracao.h"
#include "table/TabelaResultados.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>
#include <Qsci/qsciscintilla.h>
#include <QLabel>
#include <QPushButton>
#include <filesystem>
#include <gtest/gtest.h>

namespace dorvan {
namespace {

class QueryParaDBF : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(teste::Executa("sqlite3 '" + (pasta / "dorvan.sqlite") +
                                 "' \"CREATE TABLE casos (uf TEXT, obitos INTEGER);"
                                 "INSERT INTO casos VALUES ('SP', 3);INSERT INTO casos VALUES ('RJ', 7);\""),
                  0);
        ASSERT_EQ(motor.Inicia(), 0);
        motor.DefineAlias({"Saude", DriverSQLite, pasta / "dorvan.sqlite", "", 0, "", ""});
        janela = std::make_unique<TfQuery>(tabela, cfg, motor);
        browse = std::make_unique<TfBrowse>(cfg, [](TfBrowse&) {});
        fBrowse = browse.get();
        janela->cbDataBase->setEditText(QStringLiteral("Saude"));
        janela->cbDataBaseClick();
    }
    void TearDown() override {
        browse.reset();
        janela.reset();
    }
    // The table "casos" and its column "uf" chosen, as the CASE generator wants them.
    void EscolheCasosUF() {
        auto achados = janela->lbTabelas->findItems(QStringLiteral("casos"), Qt::MatchExactly);
        ASSERT_EQ(achados.size(), 1);
        janela->lbTabelas->setCurrentItem(achados[0]);
        janela->lbTabelasClick();
        auto colunas = janela->lbColunas->findItems(QStringLiteral("uf"), Qt::MatchExactly);
        ASSERT_EQ(colunas.size(), 1);
        janela->lbColunas->setCurrentItem(colunas[0]);
    }
    // A two-region CNV with `antes` before its header and `entre` after it.
    std::string GravaRegiaoCNV(const std::string& antes = "", const std::string& entre = "") {
        std::string l1 = "      1  Sudeste", l2 = "      2  Sul";
        l1.resize(60, ' ');
        l2.resize(60, ' ');
        return pasta.Grava("regiao.cnv", antes + "2 2\r\n" + entre + l1 + "SP,RJ\r\n" + l2 + "PR\r\n");
    }
    long Registros(const std::string& dbf) {
        dbfRecord h;
        OpenDBF(h, dbf, true);
        return h.Estado ? static_cast<long>(h.NumRegs) : -1;
    }

    teste::PastaTemporaria pasta;
    MotorBD motor{pasta / "Aliases.ini"};
    TabelaResultados tabela;
    Configuracao cfg;
    std::unique_ptr<TfQuery> janela;
    std::unique_ptr<TfBrowse> browse;
};

TEST_F(QueryParaDBF, SelectGravadoEmDBFAbreNoBrowser) {
    janela->DefineLinhasSQL({"select uf, obitos from casos"});
    janela->EscolheArquivoDBF = [&] { return pasta / "casos.dbf"; };
    janela->bDBF->click();
    EXPECT_EQ(Registros(pasta / "casos.dbf"), 2);
    EXPECT_EQ(janela->Label4->text(), "Executado em 0 minutos e 0 segundos");
    EXPECT_EQ(browse->Dbf.Nome, pasta / "casos.dbf");
    EXPECT_TRUE(browse->isVisible());
}

// A message box keeps the window's events running while it is up: the count of
// records received must not take the place of the completion text meanwhile.
class MensagemQueEspera : public MensagensRoteiro {
public:
    void Mostra(const std::string& texto) override {
        MensagensRoteiro::Mostra(texto);
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < 700)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    }
};

TEST_F(QueryParaDBF, AvisoDeCortadosDeixaOTextoDeConclusao) {
    janela->DefineLinhasSQL({"select uf, printf('%.300c', 'x') as longo from casos"});
    janela->EscolheArquivoDBF = [&] { return pasta / "cortados.dbf"; };
    MensagemQueEspera m;
    UsaMensagens usa(m);
    janela->bDBF->click();
    ASSERT_EQ(m.Textos().size(), 1u);
    EXPECT_NE(m.Textos()[0].find("cortados"), std::string::npos) << m.Textos()[0];
    EXPECT_EQ(janela->Label4->text(), "Executado em 0 minutos e 0 segundos");
}

TEST_F(QueryParaDBF, PedidosRecusadosComMensagem) {
    MensagensRoteiro msgs;
    UsaMensagens usa(msgs);
    int dialogos = 0;
    janela->EscolheArquivoDBF = [&] {
        ++dialogos;
        return std::string();
    };
    janela->DefineLinhasSQL({"   "});
    janela->bDBFClick();
    janela->DefineLinhasSQL({"update casos set obitos = 0"});
    janela->bDBFClick();
    janela->cbDataBase->setEditText(QStringLiteral("Nenhum"));
    janela->bDBFClick();
    EXPECT_EQ(msgs.Textos(), (std::vector<std::string>{"Entre com o texto do SQL na janela inferior!",
                                                       "Comando SELECT obrigat\xF3rio na primeira linha!",
                                                       "Nenhum n\xE3o \xE9 um banco de dados v\xE1lido!"}));
    EXPECT_EQ(dialogos, 0);
}

TEST_F(QueryParaDBF, LoteGravaUmArquivoPorOrdem) {
    pasta.Grava("uf.sql", "#Casos\n#Saude\n#uf\nselect obitos from casos where uf = :uf\n");
    const std::string lote = pasta.Grava("lote.txt", "CONECTA Saude\n"
                                                     "DIR=" +
                                                         pasta.Caminho().string() +
                                                         "\n"
                                                         "DIR/uf.sql, DIR/sp.dbf, SP\n"
                                                         "INFORME ESTADO\n"
                                                         "DIR/uf.sql, DIR/ESTADO.dbf, ESTADO\n");
    janela->EscolheArquivoLote = [&] { return lote; };
    janela->PerguntaInforme = [](const std::string& n) {
        EXPECT_EQ(n, "ESTADO");
        return std::optional<std::string>("RJ");
    };
    janela->bLote->click();
    EXPECT_EQ(Registros(pasta / "sp.dbf"), 1);
    EXPECT_EQ(Registros(pasta / "RJ.dbf"), 1);
    EXPECT_EQ(janela->Label4->text(), "2 arquivos gravados em 0:0 minutos");
}

TEST_F(QueryParaDBF, CaseDeTabelaDeConversaoNoEditor) {
    const std::string cnv = GravaRegiaoCNV();
    EscolheCasosUF();

    auto dirige = [&](std::function<void(TfCase&)> escolhe) {
        teste::QuandoModal([cnv, escolhe](QWidget* w) {
            auto* c = dynamic_cast<TfCase*>(w);
            ASSERT_NE(c, nullptr);
            EXPECT_EQ(c->edExp->text(), "uf");
            EXPECT_TRUE(c->rIncluir->isChecked());
            c->EscolheCNV = [cnv] { return cnv; };
            c->bCNV->click();
            EXPECT_EQ(c->lbCNV->currentRow(), 1);
            escolhe(*c);
            c->bOK->click();
        });
        janela->bCaseClick();
    };
    dirige([](TfCase& c) { c.rLinhas->setChecked(true); });
    EXPECT_EQ(janela->Memo1->text().toStdString(), "select\n"
                                                   "  case\n"
                                                   "    when uf in('SP','RJ') then 'Sudeste'\n"
                                                   "    when uf = 'PR' then 'Sul'\n"
                                                   "    else '~ N\xC3\xA3o classificado'\n"
                                                   "  end as \"regiao\",\n"
                                                   "  count(*) as Total\n"
                                                   "from casos\n"
                                                   "group by 1\n"
                                                   "order by 1");

    janela->DefineLinhasSQL({"select * from casos where obitos > 1"});
    dirige([](TfCase& c) {
        c.rSelecao->setChecked(true);
        c.lbCNV->setCurrentRow(2);
    });
    EXPECT_EQ(janela->Memo1->text().toStdString(), "select * from casos where ( uf = 'PR' )\n  and obitos > 1");
}

// A CNV may open with comments before its header: the line "Sele\xE7\xE3o" takes when
// the user picks none is the first category, never the header or a comment.
TEST_F(QueryParaDBF, CaseSelecaoPartsFromTheFirstCategoryOfACnvThatOpensWithComments) {
    const std::string cnv = GravaRegiaoCNV("; Regi\xF5"
                                           "es\r\n\r\n",
                                           "; por estado\r\n\r\n");
    EscolheCasosUF();
    janela->DefineLinhasSQL({"select * from casos where obitos > 1"});
    teste::QuandoModal([cnv](QWidget* w) {
        auto* c = dynamic_cast<TfCase*>(w);
        ASSERT_NE(c, nullptr);
        c->EscolheCNV = [cnv] { return cnv; };
        c->bCNV->click();
        EXPECT_EQ(c->lbCNV->count(), 7);
        EXPECT_EQ(c->lbCNV->currentRow(), 5);
        c->rSelecao->setChecked(true);
        c->bOK->click();
    });
    janela->bCaseClick();
    EXPECT_EQ(janela->Memo1->text().toStdString(), "select * from casos where ( uf in('SP','RJ') )\n  and obitos > 1");
}

// The window's safe mode reaches the query: the engine refuses the write and the
// window shows the engine's message; no file is left.
TEST_F(QueryParaDBF, ModoSeguroDaConfiguracaoDeixaOBancoRecusarGravacoes) {
    janela->EscolheArquivoDBF = [&] { return pasta / "apagados.dbf"; };
    janela->DefineLinhasSQL({"with sp as (select 'SP') delete from casos where uf in sp returning uf -- select"});
    {
        MensagensRoteiro msgs;
        UsaMensagens usa(msgs);
        janela->bDBFClick();
        ASSERT_EQ(msgs.Textos().size(), 1u);
        EXPECT_NE(msgs.Textos()[0].find("readonly"), std::string::npos) << msgs.Textos()[0];
    }
    EXPECT_FALSE(std::filesystem::exists(pasta / "apagados.dbf"));
    std::string n;
    ASSERT_EQ(teste::Executa("sqlite3 '" + (pasta / "dorvan.sqlite") + "' 'select count(*) from casos'", &n), 0);
    EXPECT_EQ(n, "2\n");

    cfg.ModoSeguro = false;
    janela->bDBFClick();
    EXPECT_EQ(Registros(pasta / "apagados.dbf"), 1);
    ASSERT_EQ(teste::Executa("sqlite3 '" + (pasta / "dorvan.sqlite") + "' 'select count(*) from casos'", &n), 0);
    EXPECT_EQ(n, "1\n");
}

// A long result, written while the window's events run.
const std::vector<std::string> SerieLonga = {
    "select x, 'linha ' || x as texto from (with recursive s(x) as (select 1 union all select x + 1 from s "
    "where x < 300000) select x from s)"};

// Posted now, f runs when the window lets its events through: during a write, that
// is first at the first row, whatever the speed of the machine.
template <class F> void NaGravacao(TfQuery& janela, F f) {
    QMetaObject::invokeMethod(&janela, f, Qt::QueuedConnection);
}

TEST_F(QueryParaDBF, SegundoPedidoDuranteAGravacaoNaoComecaEOPrimeiroArquivoFicaCompleto) {
    janela->show();
    janela->bSQLClick(); // the programmer's panel, with its table list
    janela->DefineLinhasSQL(SerieLonga);
    std::vector<std::string> escolhidos;
    janela->EscolheArquivoDBF = [&] {
        const std::string nome = pasta / ("saida" + std::to_string(escolhidos.size() + 1) + ".dbf");
        escolhidos.push_back(nome);
        return nome;
    };
    int visualizados = 0;
    janela->VerTabela = [&](const std::string&, const std::string&, bool) { ++visualizados; };
    auto casos = janela->lbTabelas->findItems(QStringLiteral("casos"), Qt::MatchExactly);
    ASSERT_EQ(casos.size(), 1);
    janela->lbTabelas->setCurrentItem(casos[0]);
    janela->lbTabelasClick();
    ASSERT_TRUE(janela->bVisualiza->isEnabled());
    // While the first file is written, every command that runs a statement on the
    // connection is off, and pressing "Salvar DBF" again starts nothing.
    std::vector<bool> habilitados;
    bool gravando = false;
    const std::initializer_list<QWidget*> comandos{janela->bDBF,        janela->bLote,        janela->bExecute,
                                                   janela->lbConsultas, janela->bAbrir,       janela->cbDataBase,
                                                   janela->lbTabelas,   janela->bVisualiza,   janela->bOQB,
                                                   janela->bNovoAlias,  janela->bRemoveAlias, janela->bBDE};
    NaGravacao(*janela, [&] {
        gravando = janela->Gravando();
        for (QWidget* w : comandos)
            habilitados.push_back(w->isEnabled());
        janela->bDBF->click();
        janela->bLote->click();
        janela->bVisualiza->click();
    });
    janela->bDBF->click();
    EXPECT_TRUE(gravando);
    EXPECT_EQ(habilitados, std::vector<bool>(comandos.size(), false));
    EXPECT_EQ(escolhidos.size(), 1u);
    EXPECT_EQ(visualizados, 0);
    EXPECT_EQ(Registros(pasta / "saida1.dbf"), 300000);
    EXPECT_FALSE(janela->Gravando());
    // Back as they were.
    for (QWidget* w : std::initializer_list<QWidget*>{janela->bDBF, janela->bLote, janela->bExecute, janela->cbDataBase,
                                                      janela->lbTabelas, janela->bVisualiza, janela->bOQB})
        EXPECT_TRUE(w->isEnabled()) << w->objectName().toStdString();
    EXPECT_FALSE(janela->bRemoveAlias->isEnabled()); // only STANDARD aliases are removed here
}

TEST_F(QueryParaDBF, RetornarDuranteAGravacaoCancelaSemDeixarArquivo) {
    janela->show();
    janela->DefineLinhasSQL(SerieLonga);
    janela->EscolheArquivoDBF = [&] { return pasta / "cancelada.dbf"; };
    NaGravacao(*janela, [&] { janela->bCancela->click(); });
    janela->bDBF->click();
    EXPECT_FALSE(std::filesystem::exists(pasta / "cancelada.dbf"));
    EXPECT_EQ(janela->Label4->text(), QString::fromUtf8("Grava\xC3\xA7\xC3\xA3o cancelada."));
    // The window stays; only the writing stopped.
    EXPECT_TRUE(janela->isVisible());
    EXPECT_FALSE(browse->isVisible());
    for (const auto& e : std::filesystem::directory_iterator(pasta.Caminho()))
        EXPECT_EQ(e.path().extension(), ".sqlite") << e.path();
}

TEST_F(QueryParaDBF, RetornarDuranteUmLoteParaAsOrdensQueFaltam) {
    std::string sql;
    for (const auto& l : SerieLonga)
        sql += l + "\n";
    pasta.Grava("longa.sql", "#Longa\n#Saude\n#\n" + sql);
    const std::string dir = pasta.Caminho().string();
    const std::string lote = pasta.Grava("lote.txt", "CONECTA Saude\n" + dir + "/longa.sql, " + dir + "/um.dbf\n" +
                                                         dir + "/longa.sql, " + dir + "/dois.dbf\n");
    janela->EscolheArquivoLote = [&] { return lote; };
    NaGravacao(*janela, [&] { janela->bCancela->click(); });
    janela->bLote->click();
    EXPECT_FALSE(std::filesystem::exists(pasta / "um.dbf"));
    EXPECT_FALSE(std::filesystem::exists(pasta / "dois.dbf"));
    EXPECT_EQ(janela->Label4->text(), "0 arquivos gravados em 0:0 minutos");
    EXPECT_TRUE(janela->bLote->isEnabled());
}

} // namespace
} // namespace dorvan

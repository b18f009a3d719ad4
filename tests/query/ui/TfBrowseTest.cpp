// The DBF browser driven offscreen: opening and closing a file, the structure
// report, appends through the window and through the real xsltproc, and the
// main window's commands that reach it.
#include "query/ui/TfBrowse.h"

#include "data/ArquivosDBFTeste.h"
#include "data/Ucomprim.h"
#include "platform/Erros.h"
#include "platform/Ini.h"
#include "platform/Mensagens.h"
#include "platform/Processos.h"
#include "query/ui/ComandosBrowse.h"
#include "support/ApoioTeste.h"
#include "table/Configuracao.h"
#include "table/TabelaResultados.h"
#include "table/ui/TForm1.h"
#include "table/ui/TInfo.h"

#include <QAction>
#include <QDir>
#include <QMenu>
#include <QLabel>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <stdexcept>
#include <gtest/gtest.h>

namespace dorvan {
namespace {

using teste::MontaDBF;

class JanelaBrowse : public ::testing::Test {
protected:
    void SetUp() override {
        nome = pasta.Grava("dados.dbf", MontaDBF({{"NOME", 'C', 4}, {"N", 'N', 3}},
                                                 {"Ana   1", "*Bia   2", "Ca\x87\x61  3"}, Idioma(2)));
        Info = &info;
        janela = std::make_unique<TfBrowse>(cfg, [](TfBrowse&) {});
        fBrowse = janela.get();
        janela->NomeArquivo = nome;
    }
    void TearDown() override {
        janela.reset();
        Info = nullptr;
    }
    static teste::OpcoesDBF Idioma(std::uint8_t i) {
        teste::OpcoesDBF o;
        o.idioma = i;
        return o;
    }
    QString Texto(int r, int c, int papel = Qt::DisplayRole) const {
        return janela->Modelo->data(janela->Modelo->index(r, c), papel).toString();
    }

    teste::PastaTemporaria pasta;
    std::string nome;
    Configuracao cfg;
    TInfo info;
    std::unique_ptr<TfBrowse> janela;
};

TEST_F(JanelaBrowse, AbrirMostraOArquivoEFecharLimpa) {
    janela->bAbrirClick(false);
    ASSERT_EQ(janela->Dbf.Estado, 1);
    EXPECT_TRUE(janela->Dbf.SomenteLeitura);
    EXPECT_FALSE(janela->DrawGrid1->isHidden());
    EXPECT_EQ(janela->windowTitle().toStdString(), nome);
    EXPECT_EQ(janela->Modelo->rowCount(), 3);
    EXPECT_EQ(janela->Modelo->columnCount(), 3);
    EXPECT_EQ(janela->Modelo->headerData(0, Qt::Horizontal, Qt::DisplayRole).toString(), "Reg");
    EXPECT_EQ(janela->Modelo->headerData(2, Qt::Horizontal, Qt::DisplayRole).toString(), "N");
    EXPECT_EQ(Texto(0, 0), "1");
    EXPECT_EQ(Texto(2, 1), QString::fromUtf8("Ca\xC3\xA7"
                                             "a")); // the DOS file's text, shown converted
    EXPECT_EQ(janela->Modelo->data(janela->Modelo->index(1, 1), Qt::ForegroundRole).value<QColor>(), QColor(Qt::red));
    EXPECT_EQ(janela->Modelo->data(janela->Modelo->index(0, 1), Qt::ForegroundRole).value<QColor>(), QColor(Qt::black));
    EXPECT_EQ(janela->Modelo->data(janela->Modelo->index(0, 2), Qt::TextAlignmentRole).toInt(),
              int(Qt::AlignRight | Qt::AlignVCenter));
    EXPECT_EQ(janela->Painel[1]->text(), "Reg:3");
    EXPECT_TRUE(janela->Acao("bCSV")->isEnabled());
    EXPECT_EQ(janela->Acao("bCSV")->toolTip().toStdString(), "Cria arquivo CSV " + (pasta / "dados.csv"));
    EXPECT_EQ(janela->Acao("bCNV")->toolTip().toStdString(),
              "Usa as duas primeiras colunas para criar " + (pasta / "dados.cnv"));

    janela->show();
    janela->Acao("bSair")->trigger();
    EXPECT_EQ(janela->Dbf.Estado, 0);
    EXPECT_TRUE(janela->DrawGrid1->isHidden());
    EXPECT_FALSE(janela->isVisible());
    EXPECT_FALSE(janela->Acao("bCSV")->isEnabled());
    EXPECT_EQ(janela->Acao("bSQL")->toolTip(), "Cria arquivo SQL ANSI (data ISO 8601)");
    EXPECT_EQ(janela->Acao("bComprime")->toolTip(), "Comprime o arquivo DBC");
    EXPECT_EQ(janela->Painel[1]->text(), "Reg:");
}

TEST_F(JanelaBrowse, EstruturaNoVisualizadorEExportacoesAoLado) {
    janela->bAbrirClick(false);
    janela->Acao("bInfo")->trigger();
    ASSERT_GE(info.Linhas().size(), 3u);
    EXPECT_EQ(info.Linhas()[0], "Informa\xE7\xE3o de " + nome);
    EXPECT_EQ(info.Linhas()[2], "Language driver  = 2");
    EXPECT_EQ(info.windowTitle(), QString::fromUtf8("Informa\xC3\xA7\xC3\xA3o de ") + QString::fromStdString(nome));
    for (const char* b : {"bCSV", "bXML", "bSQL", "bCNV", "bComprime"})
        janela->Acao(b)->trigger();
    for (const char* ext : {"csv", "xml", "sql", "cnv", "dbc"})
        EXPECT_TRUE(std::filesystem::exists(pasta / (std::string("dados.") + ext))) << ext;
    EXPECT_EQ(pasta.Le("dados.csv"), "\"NOME\",\"N\"\r\n\"Ana\",1\r\n\"Ca\xE7"
                                     "a\",3\r\n");
}

TEST_F(JanelaBrowse, AcrescimoDeTextoDelimitadoVoltaALeituraComAGradeAtualizada) {
    janela->bAbrirClick(false);
    const std::string txt = pasta.Grava("novo.txt", "Dani;4\nEli;5\n");
    janela->EscolheAbrir = [&](const QString&, const QString& filtro, const std::string&) {
        EXPECT_EQ(filtro, "Arquivo texto (*.txt *.log)");
        return txt;
    };
    janela->PerguntaTexto = [](const QString& titulo, const QString& pergunta, const QString& padrao) {
        EXPECT_EQ(titulo, "Entre com o separador");
        EXPECT_EQ(pergunta, "Caractere que separa os campos");
        EXPECT_EQ(padrao, "|");
        return std::optional<std::string>(";x");
    };
    janela->Acao("Append1")->trigger();
    EXPECT_EQ(janela->Dbf.Estado, 1);
    EXPECT_TRUE(janela->Dbf.SomenteLeitura);
    EXPECT_EQ(janela->Dbf.NumRegs, 5);
    EXPECT_FALSE(janela->Timer1->isActive());
    EXPECT_EQ(janela->Modelo->rowCount(), 5);
    EXPECT_EQ(Texto(4, 1), "Eli ");
    EXPECT_EQ(janela->Painel[1]->text(), "Reg:5");
}

TEST_F(JanelaBrowse, DBCMostraOsRegistrosExpandidosERecusaGravacoesComAviso) {
    ComprimeDBF(nome, pasta / "dados.dbc", SemProgresso());
    const std::string dbc = pasta.Le("dados.dbc");
    janela->NomeArquivo = pasta / "dados.dbc";
    janela->bAbrirClick(false);
    ASSERT_EQ(janela->Dbf.Estado, 1);
    EXPECT_EQ(janela->Modelo->rowCount(), 3);
    EXPECT_EQ(Texto(2, 1), QString::fromUtf8("Ca\xC3\xA7"
                                             "a"));
    EXPECT_EQ(janela->Modelo->data(janela->Modelo->index(1, 1), Qt::ForegroundRole).value<QColor>(), QColor(Qt::red));
    EXPECT_EQ(janela->Painel[1]->text(), "Reg:3");

    MensagensRoteiro msgs;
    UsaMensagens usa(msgs);
    bool perguntou = false;
    janela->EscolheAbrir = [&](const QString&, const QString&, const std::string&) {
        perguntou = true;
        return std::string();
    };
    for (const char* acao : {"Append1", "AppendarSDF1", "dearquivoDBF1", "bComprime"})
        janela->Acao(acao)->trigger();
    EXPECT_FALSE(perguntou);
    ASSERT_EQ(msgs.Textos().size(), 4u);
    EXPECT_EQ(msgs.Textos()[3], "O arquivo dados.dbc j\xE1 \xE9 comprimido (DBC).");
    EXPECT_EQ(janela->Dbf.Estado, 1);
    janela->Acao("bCSV")->trigger();
    EXPECT_EQ(pasta.Le("dados.csv"), "\"NOME\",\"N\"\r\n\"Ana\",1\r\n\"Ca\xE7"
                                     "a\",3\r\n");
    EXPECT_EQ(pasta.Le("dados.dbc"), dbc);
}

TEST_F(JanelaBrowse, AcrescimoComTextoInexistenteMantemOArquivoEmLeitura) {
    janela->bAbrirClick(false);
    janela->EscolheAbrir = [&](const QString&, const QString&, const std::string&) { return pasta / "falta.txt"; };
    EXPECT_THROW(janela->AppendarSDF1Click(), ErroES);
    EXPECT_EQ(janela->Dbf.Estado, 1);
    EXPECT_TRUE(janela->Dbf.SomenteLeitura);
    EXPECT_FALSE(janela->Timer1->isActive());
}

TEST_F(JanelaBrowse, XSLTAcrescentaLinhasComBarraEMostraAsOutrasNoVisualizador) {
    cfg.ProgramaXSLT = AchaNoPath("xsltproc");
    ASSERT_FALSE(cfg.ProgramaXSLT.empty()) << "xsltproc is needed";
    const std::string xml = pasta.Grava("p.xml", "<r><p n=\"Gil\" v=\"7\"/><p n=\"Hu\" v=\"8\"/></r>");
    const std::string xsl = pasta.Grava(
        "f.xsl",
        "<xsl:stylesheet version=\"1.0\" xmlns:xsl=\"http://www.w3.org/1999/XSL/Transform\">"
        "<xsl:output method=\"text\"/>"
        "<xsl:template match=\"/\">inicio<xsl:text>&#10;</xsl:text><xsl:for-each select=\"//p\"><xsl:value-of "
        "select=\"@n\"/>|"
        "<xsl:value-of select=\"@v\"/><xsl:text>&#10;</xsl:text></xsl:for-each></xsl:template></xsl:stylesheet>");
    janela->bAbrirClick(false);
    int pergunta = 0;
    janela->EscolheAbrir = [&](const QString&, const QString&, const std::string&) {
        return ++pergunta == 1 ? xml : xsl;
    };
    janela->AtualizaLegendaXSLT();
    EXPECT_EQ(janela->Acao("AppendardeXML1")->text(), "Via &XSLT usando xsltproc");
    janela->Acao("AppendardeXML1")->trigger();
    EXPECT_EQ(janela->Painel[0]->text(), "Aplicando f.xsl em p.xml com xsltproc");
    QTRY_VERIFY_WITH_TIMEOUT(!janela->DosCommand1.Executando(), 10000);
    EXPECT_EQ(janela->Dbf.NumRegs, 5);
    EXPECT_TRUE(janela->Dbf.SomenteLeitura);
    EXPECT_EQ(Texto(3, 1), "Gil ");
    EXPECT_EQ(Texto(4, 2), "  8");
    ASSERT_EQ(info.Linhas().size(), 2u);
    EXPECT_EQ(info.Linhas()[0], "inicio");
    EXPECT_EQ(info.Linhas()[1].rfind("Executado em ", 0), 0u);
    EXPECT_TRUE(janela->Painel[0]->text().isEmpty());
    EXPECT_FALSE(janela->Timer1->isActive());
}

TEST_F(JanelaBrowse, ProcessadorQueNaoIniciaAvisaEDevolveOArquivoALeitura) {
    MensagensRoteiro msgs;
    UsaMensagens usa(msgs);
    cfg.ProgramaXSLT = pasta / "nao-existe";
    janela->bAbrirClick(false);
    janela->EscolheAbrir = [&](const QString&, const QString&, const std::string&) { return pasta / "x.xml"; };
    janela->AppendardeXML1Click();
    ASSERT_EQ(msgs.Textos().size(), 1u);
    EXPECT_EQ(msgs.Textos()[0],
              pasta / "nao-existe" + " " + pasta / "x.xml" + " " + pasta / "x.xml" + " doesn't exist.");
    EXPECT_EQ(janela->Dbf.Estado, 1);
    EXPECT_TRUE(janela->Dbf.SomenteLeitura);
    EXPECT_FALSE(janela->Timer1->isActive());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(JanelaBrowse, EscolherUmJarFazOComandoJavaEALegenda) {
    cfg.ProgramaXSLT = "java -jar /opt/velho.jar";
    std::string inicio;
    janela->EscolheAbrir = [&](const QString&, const QString&, const std::string& i) {
        inicio = i;
        return std::string("/opt/proc/Saxon.JAR");
    };
    janela->ConfigurarprocessadorXSLT1Click();
    EXPECT_EQ(inicio, "/opt/velho.jar");
    EXPECT_EQ(cfg.ProgramaXSLT, "java -jar /opt/proc/Saxon.JAR");
    EXPECT_EQ(janela->Acao("AppendardeXML1")->text(), "Via XSLT usando Saxon.JAR");
}

TEST_F(JanelaBrowse, OProcessadorEscolhidoPeloUsuarioEGravadoMesmoComUmAchadoNoPath) {
    // Found on the PATH at start: used, not written.
    cfg.ProgramaXSLT = "/usr/bin/xsltproc";
    cfg.XSLTDoPath = true;
    janela->EscolheAbrir = [](const QString&, const QString&, const std::string&) {
        return std::string("/opt/proc/Saxon.jar");
    };
    janela->ConfigurarprocessadorXSLT1Click();
    ArquivoIni ini;
    GravaConfiguracao(cfg, ini);
    EXPECT_EQ(ini.LeTexto("Opcoes", "XSLT", ""), "java -jar /opt/proc/Saxon.jar");
}

TEST_F(JanelaBrowse, BotaoDaJanelaPrincipalELinhaDeComandoAbremOBrowser) {
    TabelaResultados tabela;
    TForm1 form(tabela, cfg);
    // The browser as the program builds it, after the main window.
    janela = std::make_unique<TfBrowse>(cfg, AnaliseComRDoBrowse(form, cfg));
    fBrowse = janela.get();
    LigaComandosBrowse(form);
    form.Acao(QStringLiteral("SpeedButton15"))->trigger();
    EXPECT_TRUE(janela->isVisible());
    janela->hide();
    ASSERT_TRUE(Ganchos().MostraDBF);
    Ganchos().MostraDBF(form, nome);
    EXPECT_TRUE(janela->isVisible());
    EXPECT_EQ(janela->Dbf.Nome, nome);
    EXPECT_EQ(janela->Modelo->rowCount(), 3);
    // The browser's R analysis runs the main window's scheme command.
    int analises = 0;
    form.DefineComando(QStringLiteral("ProgramaRClick"), [&] { ++analises; });
    janela->AnlisecomR1->trigger();
    EXPECT_EQ(analises, 1);
    Ganchos().MostraDBF = nullptr;
}

// Without the analysis, "Análise com &R" would do nothing: the browser is not built.
TEST(MontagemBrowse, UmBrowserSemAAnaliseComREhRecusado) {
    Configuracao cfg;
    EXPECT_THROW(TfBrowse janela(cfg, {}), std::invalid_argument);
}

TEST_F(JanelaBrowse, FecharDuranteOXSLTParaOProcessadorSemReabrirOArquivo) {
    const std::string lento = pasta.Grava("lento.sh", "#!/bin/sh\nsleep 20\n");
    std::filesystem::permissions(lento, std::filesystem::perms::owner_all);
    cfg.ProgramaXSLT = lento;
    janela->bAbrirClick(false);
    janela->EscolheAbrir = [&](const QString&, const QString&, const std::string&) { return pasta / "x.xml"; };
    janela->AppendardeXML1Click();
    ASSERT_TRUE(janela->DosCommand1.Executando());
    EXPECT_FALSE(janela->Dbf.SomenteLeitura);
    janela->bSairClick(false);
    QTRY_VERIFY_WITH_TIMEOUT(!janela->DosCommand1.Executando(), 10000);
    EXPECT_EQ(janela->Dbf.Estado, 0);
    EXPECT_EQ(janela->Painel[1]->text(), "Reg:");
    EXPECT_TRUE(info.Linhas().empty());
    EXPECT_FALSE(janela->Timer1->isActive());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(JanelaBrowse, MenusHabilitamItensSoComArquivoAberto) {
    cfg.ProgramaXSLT.clear();
    emit janela->Arquivo1->aboutToShow();
    emit janela->Adiciona1->aboutToShow();
    EXPECT_TRUE(janela->Acao("Abrir1")->isEnabled());
    EXPECT_FALSE(janela->Acao("Salvarcomocsv1")->isEnabled());
    EXPECT_FALSE(janela->Acao("Append1")->isEnabled());
    EXPECT_FALSE(janela->Acao("AppendardeXML1")->isVisible());
    janela->bAbrirClick(false);
    cfg.ProgramaXSLT = "/usr/bin/xsltproc";
    emit janela->Arquivo1->aboutToShow();
    emit janela->Adiciona1->aboutToShow();
    EXPECT_TRUE(janela->Acao("Salvarcomocsv1")->isEnabled());
    EXPECT_TRUE(janela->Acao("Append1")->isEnabled());
    EXPECT_TRUE(janela->Acao("AppendardeXML1")->isVisible());
}

TEST_F(JanelaBrowse, RRecebeOCSVPeloRprofileDaPastaAtual) {
    const QString antes = QDir::currentPath();
    QDir::setCurrent(QString::fromStdString(pasta.Caminho().string()));
    cfg.DirPrograma = pasta / "prog/";
    int inicios = 0;
    janela->IniciaR = [&] { return ++inicios > 0; };
    janela->MostraR(true);
    janela->bAbrirClick(false);
    janela->Acao("bR")->trigger();
    QDir::setCurrent(antes);
    EXPECT_EQ(inicios, 1);
    EXPECT_TRUE(std::filesystem::exists(pasta / "dados.csv"));
    const std::string perfil = pasta.Le(".Rprofile");
    EXPECT_NE(perfil.find("read.csv(\"" + (pasta / "dados.csv") + "\""), std::string::npos) << perfil;
    EXPECT_NE(perfil.find("dirdorvan <<- \"" + (pasta / "prog/") + "\";"), std::string::npos) << perfil;
}

} // namespace
} // namespace dorvan

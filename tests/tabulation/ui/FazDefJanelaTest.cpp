// The DEF and CNV editor window, driven offscreen: opening files from the list,
// the generators with their dialogs, the CNV tools, drops, find and replace.
#include "data/LeDBF32.h"
#include "platform/Erros.h"
#include "platform/Mensagens.h"
#include "platform/Texto1252.h"
#include "support/ApoioTeste.h"
#include "support/DirigeJanelas.h"
#include "table/Configuracao.h"
#include "table/Inicio.h"
#include "table/TabelaResultados.h"
#include "table/ui/TForm1.h"
#include "tabulation/FazDef.h"
#include "tabulation/ui/TFFazDef.h"
#include "tabulation/ui/TfLigaCNV.h"

#include <QAction>
#include <QCheckBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPrinter>
#include <QRadioButton>
#include <gtest/gtest.h>

#include <filesystem>

namespace dorvan {
namespace {

using Linhas = std::vector<std::string>;

std::string Cat(int k, const std::string& rotulo, const std::string& codigos = {}) {
    std::string s = std::to_string(k);
    s.insert(0, 7 - s.size(), ' ');
    std::string r = rotulo;
    r.resize(51, ' ');
    return s + "  " + r + codigos;
}

class JanelaFazDef : public ::testing::Test {
protected:
    void SetUp() override {
        std::vector<CampoDBF> campos(3);
        campos[0].Nome = "NOME", campos[0].Tipo = 'C', campos[0].Tamanho = 10;
        campos[1].Nome = "IDADE", campos[1].Tipo = 'N', campos[1].Tamanho = 3;
        campos[2].Nome = "SEXO", campos[2].Tipo = 'C', campos[2].Tamanho = 1;
        dbfRecord h;
        CreateDBF(h, pasta / "DADOS.DBF", campos, 0);
        for (const char* r : {" ANA        30F", " JOAO       41M"})
            AppendDBF(h, r);
        CloseDBF(h);
        pasta.Grava("sexo.cnv", JuntaLinhas({"2 1", Cat(1, "Feminino", "F"), Cat(2, "Masculino", "M")}));
        pasta.Grava("t.def", JuntaLinhas({";Teste", "LSexo,SEXO,1,sexo.cnv"}));
        pasta.Grava("nota.txt", "x");
        janela.MostraDiretorio(QString::fromStdString(pasta.Caminho().string()));
    }
    void Abre(const char* nome) { janela.AbreArquivo(QString::fromStdString(pasta / nome)); }
    static QStringList Textos(QListWidget* l) {
        QStringList r;
        for (int i = 0; i < l->count(); ++i)
            r << l->item(i)->text();
        return r;
    }
    Linhas Texto() const { return janela.LinhasTexto(); }

    teste::PastaTemporaria pasta;
    MensagensRoteiro msgs;
    UsaMensagens uso{msgs};
    TFFazDef janela;
};

TEST_F(JanelaFazDef, ToolButtonsHaveTheirHints) {
    const std::pair<QAction*, const char*> dicas[] = {
        {janela.bAbrir, "Abrir arquivo ..."},
        {janela.bAcentos, "Converte acentos do DOS"},
        {janela.Salvar, "Salvar arquivo..."},
        {janela.bImprime, "Imprime"},
        {janela.bFullScreen, "Editar em tela cheia"},
        {janela.bInvSel, "Inverte sele\u00E7\u00E3o"},
        {janela.bAutoDEF, "Gera DEF autom\u00E1ticamente para os campos selecionados"},
        {janela.bAutoCNV, "Gera CNV atom\u00E1ticamente para os campos selecionados"},
        {janela.NumeraCNV, "Numera CNV"},
        {janela.bCompacta, "V\u00E1rios c\u00F3digos na mesma linha do CNV"},
        {janela.bExpande, "Um c\u00F3digo por linha do CNV"},
        {janela.Sair, "Retorna \u00E0 janela principal"},
    };
    for (const auto& [acao, dica] : dicas) EXPECT_EQ(acao->toolTip().toStdString(), dica);
}

TEST_F(JanelaFazDef, OpeningFromTheListSetsFieldsRulerAndCommands) {
    EXPECT_EQ(Textos(janela.FileListBox1), (QStringList{"DADOS.DBF", "sexo.cnv", "t.def"}));
    EXPECT_FALSE(janela.bAutoDEF->isEnabled());
    EXPECT_FALSE(janela.Salvar->isEnabled());
    EXPECT_TRUE(janela.bAbrir->isEnabled() && janela.bFullScreen->isEnabled() && janela.Sair->isEnabled());
    EXPECT_TRUE(janela.UmCodigo1->isEnabled() && janela.VariosCodigos1->isEnabled());

    janela.FileListBox1->setCurrentRow(0);
    janela.FileListBox1DblClick();
    EXPECT_EQ(Textos(janela.CheckListBox1),
              (QStringList{"NOME       C 010 0", "IDADE      N 003 0", "SEXO       C 001 0"}));
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(janela.CheckListBox1->item(i)->checkState(), Qt::Checked);
    EXPECT_EQ(janela.LDBF->text().toStdString(), pasta / "DADOS.DBF");
    EXPECT_TRUE(janela.bAutoDEF->isEnabled() && janela.bAutoCNV->isEnabled() && janela.GeraDEF1->isEnabled());

    Abre("sexo.cnv");
    EXPECT_EQ(janela.windowTitle().toStdString(), pasta / "sexo.cnv");
    EXPECT_FALSE(janela.Regua->isHidden());
    EXPECT_TRUE(janela.NumeraCNV->isEnabled() && janela.NumeraCNV1->isEnabled() && janela.Salvar->isEnabled());
    EXPECT_EQ(janela.FiltroSalvar(), 1);
    EXPECT_EQ(janela.Regua->text().toStdString(), ReguaCNV());
    EXPECT_EQ(janela.Painel[1]->text(), QStringLiteral("N\u00E3o modificado"));
    EXPECT_EQ(Texto()[1], Cat(1, "Feminino", "F"));

    janela.Memo1->setCursorPosition(1, 4);
    janela.Memo1->insert(QStringLiteral("x"));
    EXPECT_EQ(janela.Painel[0]->text(), QStringLiteral("   2:   5"));
    EXPECT_EQ(janela.Painel[1]->text(), QStringLiteral("Modificado"));
    EXPECT_EQ(janela.Painel[2]->text(), QStringLiteral("Insere"));

    // A modified text asks before another file replaces it; "No" keeps the file on disk as it was.
    msgs.Responde("1");
    Abre("t.def");
    ASSERT_EQ(msgs.Textos().size(), 1u);
    EXPECT_EQ(msgs.Textos()[0], pasta / "sexo.cnv" + " foi modificado! Salvar?");
    EXPECT_EQ(pasta.Le("sexo.cnv"), JuntaLinhas({"2 1", Cat(1, "Feminino", "F"), Cat(2, "Masculino", "M")}));
    EXPECT_TRUE(janela.Regua->isHidden());
    EXPECT_FALSE(janela.NumeraCNV->isEnabled() || janela.UmCodigo1->isEnabled());
    EXPECT_EQ(janela.FiltroSalvar(), 2);
    EXPECT_EQ(Texto(), (Linhas{";Teste", "LSexo,SEXO,1,sexo.cnv"}));

    // "Yes" writes the text under its file name first.
    janela.Memo1->setCursorPosition(0, 6);
    janela.Memo1->insert(QStringLiteral("!"));
    msgs.Responde("0");
    Abre("sexo.cnv");
    EXPECT_EQ(pasta.Le("t.def"), JuntaLinhas({";Teste!", "LSexo,SEXO,1,sexo.cnv"}));
}

TEST_F(JanelaFazDef, DroppedFieldsAndFilesGoInAtTheCaret) {
    Abre("DADOS.DBF");
    Abre("t.def");
    janela.Memo1->setCursorPosition(1, 0);
    janela.CheckListBox1->setCurrentRow(1);
    EXPECT_TRUE(janela.Memo1DragDrop(janela.CheckListBox1));
    janela.FileListBox1->setCurrentRow(1);
    EXPECT_TRUE(janela.Memo1DragDrop(janela.FileListBox1));
    EXPECT_FALSE(janela.Memo1DragDrop(janela.Edit1));
    EXPECT_EQ(Texto()[1], ",IDADE,sexo.cnvLSexo,SEXO,1,sexo.cnv");
}

TEST_F(JanelaFazDef, CnvToolsChangeTheTextUndoably) {
    Abre("sexo.cnv");
    janela.TrocaTexto({"9 1", Cat(5, "A", "1"), Cat(5, "A", "2"), Cat(5, "B", "3")});
    janela.NumeraCNVClick();
    EXPECT_FALSE(janela.Memo1->isHidden());
    EXPECT_EQ(Texto(), (Linhas{"2 1", Cat(1, "A", "1"), Cat(1, "A", "2"), Cat(2, "B", "3")}));
    janela.bCompactaClick();
    EXPECT_EQ(Texto(), (Linhas{"2 1", Cat(1, "A", "1,2"), Cat(2, "B", "3")}));
    janela.bExpandeClick();
    EXPECT_EQ(Texto(), (Linhas{"2 1", Cat(1, "A", "1"), Cat(1, "A", "2"), Cat(2, "B", "3")}));
    janela.Desfazer1Click();
    EXPECT_EQ(Texto(), (Linhas{"2 1", Cat(1, "A", "1,2"), Cat(2, "B", "3")}));

    const Linhas ruim{"2 1", "      x  A"};
    janela.TrocaTexto(ruim);
    EXPECT_THROW(janela.bCompactaClick(), ErroFatal);
    EXPECT_EQ(Texto(), ruim);

    janela.TrocaTexto({"\x82"
                       "a"}); // DOS e-acute
    janela.bAcentosClick();
    EXPECT_EQ(Texto(), Linhas{"\xE9"
                              "a"});
    EXPECT_FALSE(janela.bAcentos->isEnabled());
}

TEST_F(JanelaFazDef, CaseCommandsWorkOnTheSelection) {
    janela.TrocaTexto({"x JOS\xC9 DA SILVA y"});
    janela.Memo1->setSelection(0, 2, 0, 16); // byte offsets: the accented letter takes two
    janela.Proprio1Click();
    EXPECT_EQ(Texto(), Linhas{"x Jos\xE9 da Silva y"});
    janela.Maiusculas1Click();
    EXPECT_EQ(Texto(), Linhas{"x JOS\xC9 DA SILVA y"});
    janela.Memo1->setSelection(0, 0, 0, 1);
    janela.Minusculas1Click();
    janela.Editar1Click();
    EXPECT_TRUE(janela.Proprio1->isEnabled());
    janela.Memo1->setCursorPosition(0, 0);
    janela.Editar1Click();
    EXPECT_FALSE(janela.Proprio1->isEnabled() || janela.Copiar1->isEnabled());
    EXPECT_TRUE(janela.Desfazer1->isEnabled());
}

TEST_F(JanelaFazDef, CaseCommandsKeepAColumnBlockInPlace) {
    janela.TrocaTexto({"abc def", "ghi jkl", "mno"});
    janela.SelecaoPorColunas1->setChecked(true);
    janela.SelecaoPorColunas1Click();
    // Columns 2-3 of the first two lines.
    janela.Memo1->SendScintilla(QsciScintillaBase::SCI_SETRECTANGULARSELECTIONANCHOR, 1L);
    janela.Memo1->SendScintilla(QsciScintillaBase::SCI_SETRECTANGULARSELECTIONCARET,
                                janela.Memo1->positionFromLineIndex(1, 3));
    janela.Maiusculas1Click();
    EXPECT_EQ(Texto(), (Linhas{"aBC def", "gHI jkl", "mno"}));
}

TEST_F(JanelaFazDef, FindAndReplaceInBothDirections) {
    janela.TrocaTexto({"abc ABC abcd abc"});
    janela.Memo1->setCursorPosition(0, 0);
    DialogoBusca& f = *janela.FindDialog1;
    f.Texto->setText(QStringLiteral("abc"));
    f.Maiusculas->setChecked(true);
    f.PalavraInteira->setChecked(true);
    janela.FindDialog1Find();
    int l0, i0, l1, i1;
    janela.Memo1->getSelection(&l0, &i0, &l1, &i1);
    EXPECT_EQ(i0, 0);
    janela.FindDialog1Find();
    janela.Memo1->getSelection(&l0, &i0, &l1, &i1);
    EXPECT_EQ(i0, 13);
    f.ParaCima->setChecked(true);
    janela.FindDialog1Find();
    janela.Memo1->getSelection(&l0, &i0, &l1, &i1);
    EXPECT_EQ(i0, 0);
    janela.FindDialog1Find();
    EXPECT_EQ(msgs.Textos(), Linhas{"Seq\xFC\xEAncia 'abc' n\xE3o encontrada!"});

    // Replace all, the replacement holding the searched text, downwards and upwards.
    DialogoBusca& r = *janela.ReplaceDialog1;
    r.Texto->setText(QStringLiteral("abc"));
    r.Substituto->setText(QStringLiteral("xabcx"));
    r.SubstituirTodas = true;
    janela.Memo1->setCursorPosition(0, 0);
    janela.ReplaceDialog1Replace();
    EXPECT_EQ(Texto(), Linhas{"xabcx xabcx xabcxd xabcx"});
    janela.TrocaTexto({"abc ABC abc"});
    janela.Memo1->setCursorPosition(0, 11);
    r.ParaCima->setChecked(true);
    r.Maiusculas->setChecked(true);
    janela.ReplaceDialog1Replace();
    EXPECT_EQ(Texto(), Linhas{"xabcx ABC xabcx"});
    EXPECT_EQ(msgs.Textos().size(), 1u);

    // A single replace takes the selection when it matches and selects the next one.
    r.SubstituirTodas = false;
    r.ParaBaixo->setChecked(true);
    r.Maiusculas->setChecked(false);
    r.Substituto->setText(QStringLiteral("-"));
    janela.TrocaTexto({"abc ABC"});
    janela.Memo1->setSelection(0, 0, 0, 3);
    janela.ReplaceDialog1Replace();
    EXPECT_EQ(Texto(), Linhas{"- ABC"});
    EXPECT_EQ(janela.Memo1->selectedText(), QStringLiteral("ABC"));
}

TEST_F(JanelaFazDef, DefGeneratorAsksEachLinkThenSaves) {
    Abre("DADOS.DBF");
    janela.CheckListBox1->item(0)->setCheckState(Qt::Unchecked); // NOME
    std::vector<QString> titulos;
    teste::QuandoModal([&](QWidget* w) {
        auto* liga = qobject_cast<TfLigaCNV*>(w);
        ASSERT_NE(liga, nullptr);
        titulos.push_back(liga->windowTitle());
        EXPECT_EQ(liga->edNomeCNV->text(), QStringLiteral("sexo.cnv"));
        EXPECT_EQ(liga->lbCNV->count(), 1);
        liga->edDescr->setText(QStringLiteral("Sexo"));
        liga->cbxQuadro->setChecked(true);
        teste::QuandoModal([&](QWidget* s) {
            auto* dlg = qobject_cast<QFileDialog*>(s);
            ASSERT_NE(dlg, nullptr);
            titulos.push_back(dlg->objectName());
            static_cast<QDialog*>(dlg)->accept();
        });
        liga->accept();
    });
    janela.bAutoDEFClick();
    EXPECT_EQ(titulos,
              (std::vector<QString>{QStringLiteral("Liga CNV \u00E0 coluna: SEXO"), QStringLiteral("SaveDialog1")}));
    const std::string corpo = "Sexo," + std::string(14, ' ') + "SEXO      ,1,sexo.cnv";
    const Linhas esperado{";Defini\xE7\xF5"
                          "es para tabular o arquivo DADOS.DBF",
                          "Adados.dbf",
                          "IIdade," + std::string(13, ' ') + "IDADE",
                          "L" + corpo,
                          "C" + corpo,
                          "S" + corpo,
                          "Q" + corpo};
    EXPECT_EQ(Texto(), esperado);
    EXPECT_EQ(pasta.Le("DADOS.DEF"), JuntaLinhas(esperado));
    EXPECT_EQ(janela.windowTitle().toStdString(), pasta / "DADOS.DEF");
    EXPECT_TRUE(Textos(janela.FileListBox1).contains(QStringLiteral("DADOS.DEF")));
    EXPECT_FALSE(janela.Memo1->isModified());
}

TEST_F(JanelaFazDef, CnvGeneratorWritesTheTickedFieldsAndRefreshesTheList) {
    Abre("DADOS.DBF");
    janela.bInvSelClick();
    janela.CheckListBox1->item(0)->setCheckState(Qt::Checked);
    janela.bAutoCNVClick();
    EXPECT_TRUE(Textos(janela.FileListBox1).contains(QStringLiteral("nome.cnv")));
    EXPECT_EQ(DivideLinhas(pasta.Le("nome.cnv"))[0], "2 10 L");
    EXPECT_EQ(DivideLinhas(pasta.Le("sexo.cnv"))[0], "2 1"); // SEXO was not ticked
    EXPECT_TRUE(msgs.Textos().empty());
}

TEST_F(JanelaFazDef, PrintingFullScreenAndOptions) {
    Linhas muitas;
    for (int i = 0; i < 300; ++i)
        muitas.push_back("linha " + std::to_string(i));
    janela.TrocaTexto(muitas);
    QPrinter impressora(QPrinter::HighResolution);
    impressora.setOutputFormat(QPrinter::PdfFormat);
    impressora.setOutputFileName(QString::fromStdString(pasta / "saida.pdf"));
    janela.ImprimeEm(impressora);
    EXPECT_GT(std::filesystem::file_size(pasta / "saida.pdf"), 1000u);

    janela.bFullScreenClick();
    EXPECT_TRUE(janela.Panel1->isHidden());
    EXPECT_EQ(janela.bFullScreen->toolTip(), QStringLiteral("Mostrar arquivos e campos do DBF"));
    janela.bFullScreenClick();
    EXPECT_FALSE(janela.Panel1->isHidden());
    EXPECT_EQ(janela.bFullScreen->toolTip(), QStringLiteral("Editar em tela cheia"));

    janela.MostraEspacos1->setChecked(true);
    janela.MostraEspacos1Click();
    EXPECT_EQ(janela.Memo1->whitespaceVisibility(), QsciScintilla::WsVisible);
    janela.SelecaoPorColunas1->setChecked(true);
    janela.SelecaoPorColunas1Click();
    EXPECT_EQ(janela.Memo1->SendScintilla(QsciScintillaBase::SCI_GETSELECTIONMODE),
              QsciScintillaBase::SC_SEL_RECTANGLE);
}

TEST(EditorDEF, StartUpCreatesItAndTheMainWindowMenuOpensIt) {
    teste::PastaTemporaria pasta;
    Configuracao cfg;
    cfg.DirPrograma = pasta.Caminho().string() + "/";
    cfg.ArquivoIni = pasta / "Dorvan.ini";
    TabelaResultados t;
    std::unique_ptr<TForm1> form1;
    InicioPrograma inicio;
    inicio.RegistraJanela("TForm1", [&] { form1 = std::make_unique<TForm1>(t, cfg); });
    RegistraEditorDEF(inicio, form1);
    inicio.Executa();
    ASSERT_NE(FFazDef, nullptr);
    ASSERT_NE(fLigaCNV, nullptr);
    bool abriu = false;
    teste::QuandoModal([&abriu](QWidget* w) {
        abriu = w == FFazDef;
        w->close();
    });
    ASSERT_NE(form1->Acao(QStringLiteral("Definio1")), nullptr);
    form1->Acao(QStringLiteral("Definio1"))->trigger();
    EXPECT_TRUE(abriu);
    form1.reset();
    EXPECT_EQ(FFazDef, nullptr);
    EXPECT_EQ(fLigaCNV, nullptr);
}

} // namespace
} // namespace dorvan

#pragma once
// "Editar esquema de análise": writes and tests analysis schemes (.rx) in a text
// editor with syntax colouring. The decisions live in analysis/EditorEsquemaR.h;
// a test run goes through the scheme chooser's run.
#include "platform/ui/DialogoBusca.h"
#include <QDialog>
#include <QString>
#include <Qsci/qscilexercustom.h>
#include <functional>
#include <memory>
#include <string>

class QAction;
class QCheckBox;
class QLabel;
class QLineEdit;
class QMenu;
class QMenuBar;
class QRadioButton;
class QStatusBar;
class QToolBar;
class QsciLexerXML;
class QsciScintilla;

namespace dorvan {

struct Configuracao;

// The general highlighter: the scheme's element names in blue, comments ('#' to
// the end of the line) in navy; a word is any run of printable characters, and a
// tag such as "<titulo>" counts as its element's word.
class RealceEsquemaR : public QsciLexerCustom {
public:
    explicit RealceEsquemaR(QObject* pai = nullptr);
    const char* language() const override { return "Esquema"; }
    QString description(int estilo) const override;
    QColor defaultColor(int estilo) const override;
    void styleText(int inicio, int fim) override;
    enum Estilo { Normal = 0, PalavraChave = 1, Comentario = 2 };
    // The element names it colours.
    static bool EhPalavraChave(const std::string& palavra);
};

// Find and replace box of the editor (the replace box shows its extra parts).
class TFCriaRScript : public QDialog {
public:
    // Folders come from cfg as they stand at each use: the library (DirRX), R (DirR),
    // the program's. rodaEsquema runs the scheme written as "tmp.rx" in the library
    // folder (the chooser's run); it is required.
    TFCriaRScript(const Configuracao& cfg, std::function<void()> rodaEsquema, QWidget* pai = nullptr);
    ~TFCriaRScript() override;

    // ---- handlers ----
    void Abrir1Click();
    void Novoscript1Click();
    void Salvar1Click();
    void Retorna1Click();
    void Executa1Click();
    void CharparaEntity1Click();
    void EntityToChar1Click();
    void SpeedButton1Click(); // the XML highlighter
    void SynEdit1StatusChange();
    void Localizar1Click();
    void FindDialog1Find();
    void Substituir1Click();
    void ReplaceDialog1Find();
    void ReplaceDialog1Replace();
    void Editar1Click();
    void Desfazer1Click();
    void Refazer1Click();
    void Copiar1Click();
    void Cortar1Click();
    void Colar1Click();
    void Ajuda1Click();

    // ---- used by the handlers and by tests ----
    // Loads a scheme file into the editor and places the caret (ErroES when unreadable;
    // the editor then stays as it was).
    void CarregaArquivo(const std::string& arquivo);
    // Writes the editor's text to a file (ErroES).
    void GravaArquivo(const std::string& arquivo);
    // The editor's text as 1252 bytes, and its replacement.
    std::string Texto() const;
    void DefineTexto(const std::string& texto1252);
    // The general highlighter is on (false: the XML one).
    bool RealceGeral() const;

    // Where the window asks the user; tests answer them directly. Empty = cancelled.
    // sugestao is the dialog's file name ("" after New).
    std::function<std::string(const std::string& sugestao)> EscolheAbrir;
    std::function<std::string(const std::string& sugestao)> EscolheSalvar;

    // ---- window parts ----
    QMenuBar* MainMenu1;
    QToolBar* Panel1;
    QAction *bAbrir, *bNovo, *bSalvar, *bExecuta, *bRetorna, *SpeedButton1;
    QAction *Abrir1, *Novoscript1, *Salvar1, *Retorna1;
    QMenu* Editar1;
    QAction *Desfazer1, *Refazer1, *Copiar1, *Cortar1, *Colar1, *CharparaEntity1, *EntityToChar1, *Localizar1,
        *Substituir1, *Executa1, *Ajuda1;
    QsciScintilla* SynEdit1;
    RealceEsquemaR* SynGeneralSyn1;
    QsciLexerXML* SynXMLSyn1;
    QStatusBar* StatusBar1;
    QLabel* Painel[3];
    DialogoBusca* FindDialog1;
    DialogoBusca* ReplaceDialog1;
    // The file names the dialogs start with.
    std::string NomeAbrir, NomeSalvar;

private:
    void PosicionaCursor();
    bool Localiza(const DialogoBusca& d, bool avisa);
    std::unique_ptr<BuscaNoEditor> busca_;
    const Configuracao& cfg_;
    const std::function<void()> rodaEsquema_;
    void Converte(bool paraEntidades);
    int Posicao(std::size_t deslocamento) const; // editor position of a 1252 byte offset
};

extern TFCriaRScript* FCriaRScript;

} // namespace dorvan

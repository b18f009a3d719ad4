#pragma once
// The find and replace box of the text editors (DEF/CNV editor, analysis-scheme
// editor): the window only gathers the choices; each editor does the search.
#include <QCheckBox>
#include <QDialog>
#include <QLineEdit>
#include <QRadioButton>
#include <functional>
#include <initializer_list>
#include <string>

class QAction;

class QsciScintilla;

namespace dorvan {

class DialogoBusca : public QDialog {
public:
    DialogoBusca(bool substituir, QWidget* pai);
    QLineEdit* Texto;
    QLineEdit* Substituto = nullptr;
    QCheckBox* Maiusculas;
    QCheckBox* PalavraInteira;
    QRadioButton* ParaCima;
    QRadioButton* ParaBaixo;
    bool SubstituirTodas = false; // the last replace was "Substituir todas"
    std::function<void()> AoLocalizar;
    std::function<void()> AoSubstituir;
};

// The editor's selection, asked of the editor itself: the widget's own flag follows
// the selection only after a repaint.
bool TemSelecaoNoEditor(QsciScintilla& editor);
QString TextoSelecionadoNoEditor(QsciScintilla& editor);

// Finds the box's text in the editor from the selection (or the caret), in the box's
// direction and with its case and whole-word choices; selects it and returns true.
bool LocalizaNoEditor(QsciScintilla& editor, const DialogoBusca& d);

// "Substituir" and "Substituir todas" of the box: a selection equal to the searched
// text is replaced, then the next one is found with localiza (its argument says
// whether a miss is reported); replacing all is one undo step. Going up, the search
// restarts before the replaced text, so a replacement holding the searched text is
// never found again.
void SubstituiNoEditor(QsciScintilla& editor, DialogoBusca& d, const std::function<bool(bool avisa)>& localiza);

// The find and replace boxes of one editor window, made over `pai`: their buttons
// search `editor`, and a miss (when the caller says to report it) goes to
// naoEncontrada with the searched text (1252); each window tells it its own way.
class BuscaNoEditor {
public:
    BuscaNoEditor(QsciScintilla& editor, QWidget* pai, std::function<void(const std::string&)> naoEncontrada);
    DialogoBusca* const Localizar;
    DialogoBusca* const Substituir;
    void MostraLocalizar() const;
    void MostraSubstituir() const;
    bool Localiza(const DialogoBusca& d, bool avisa) const;
    void SubstituiSelecao() const; // the replace box's "Substituir" and "Substituir todas"

private:
    QsciScintilla& editor_;
    std::function<void(const std::string&)> naoEncontrada_;
};

// The edit menu as it opens: undo and redo as the editor allows, the actions that
// need a selection by whether there is one, paste by whether the clipboard has text.
void HabilitaMenuEditar(QsciScintilla& editor, QAction* desfazer, QAction* refazer,
                        std::initializer_list<QAction*> comSelecao, QAction* colar);

} // namespace dorvan

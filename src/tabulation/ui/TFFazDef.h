#pragma once
// "Editar arquivo de definição (.DEF) ou Tabela de conversão de códigos (.CNV)":
// a text editor for DEF and CNV files with a file browser, the field list of a
// DBF, the DEF and CNV generators and the CNV tools. The work is done by
// tabulation/FazDef.h; this window gathers the choices and shows the text.
#include "platform/ui/DialogoBusca.h"
#include <QDialog>
#include <QString>
#include <Qsci/qsciscintilla.h>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class QAction;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QMenuBar;
class QPrinter;
class QRadioButton;
class QStatusBar;
class QToolBar;
class QWidget;

namespace dorvan {

class InicioPrograma;
class TForm1;

// The editor: accepts drops of field names and file names from the window's lists.
class EditorDefCnv : public QsciScintilla {
public:
    explicit EditorDefCnv(QWidget* pai = nullptr);
    // Decides on a drop coming from `origem`; true when it was taken.
    std::function<bool(QObject* origem)> AoSoltar;

protected:
    void dragEnterEvent(QDragEnterEvent* e) override;
    void dragMoveEvent(QDragMoveEvent* e) override;
    void dropEvent(QDropEvent* e) override;
};

// The find and replace box (one class for both; the replace box shows its extra parts).

class TFFazDef : public QDialog {
public:
    explicit TFFazDef(QWidget* pai = nullptr);
    ~TFFazDef() override;

    // ---- handlers ----
    void FormResize();
    void DriveComboBox1Change();
    void DirectoryListBox1Change();
    void FileListBox1DblClick();
    void Abrir1Click();
    void SalvarClick();
    void SairClick();
    bool Memo1DragDrop(QObject* origem);
    void Memo1StatusChange();
    void NumeraCNVClick();
    void bAcentosClick();
    void bImprimeClick();
    void bAutoDEFClick();
    void bAutoCNVClick();
    void bInvSelClick();
    void bCompactaClick();
    void bExpandeClick();
    void bFullScreenClick();
    void SaveDialog1TypeChange(int filtro);
    void SelecaoPorColunas1Click();
    void MostraEspacos1Click();
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
    void Selecionartudo1Click();
    void Maiusculas1Click();
    void Minusculas1Click();
    void Proprio1Click();
    void Ajuda1Click();

    // ---- used by the handlers and by tests ----
    // Shows this folder in the directory and file lists.
    void MostraDiretorio(const QString& pasta);
    QString Diretorio() const { return diretorio_; }
    // Opens a file as a double click on the file list does (the file must be listed or a full path).
    void AbreArquivo(const QString& caminho);
    // Writes the editor's text to a file: caption and lists follow it.
    void GravaEm(const QString& caminho);
    // Prints the editor's lines on a printer already set up.
    void ImprimeEm(QPrinter& impressora);
    // The editor's text as 1252 lines, and its replacement (undoable).
    std::vector<std::string> LinhasTexto() const;
    void TrocaTexto(const std::vector<std::string>& linhas);
    // The current file: the caption when a file was opened or saved, else empty.
    QString ArquivoAtual() const { return arquivo_; }
    int FiltroSalvar() const { return filtroSalvar_; }

    // ---- window parts (names as the design has them) ----
    QMenuBar* MainMenu1;
    QToolBar* ToolBar1;
    QAction *bAbrir, *bAcentos, *Salvar, *bImprime, *bFullScreen, *bInvSel, *bAutoDEF, *bAutoCNV, *NumeraCNV,
        *bCompacta, *bExpande, *Sair;
    QMenu* Editar1;
    QAction *Abrir1, *Salvar1, *Imprimir1, *Retornar1;
    QAction *Desfazer1, *Refazer1, *Copiar1, *Cortar1, *Colar1, *Localizar1, *Substituir1, *Selecionartudo1,
        *Maiusculas1, *Minusculas1, *Proprio1, *ConverteAcentuacao1;
    QAction *MostraEspacos1, *SelecaoPorColunas1;
    QAction *GeraDEF1, *GeraCNV1, *InverteSelecao1, *NumeraCNV1, *UmCodigo1, *VariosCodigos1, *Ajuda1;
    QWidget* Panel1;
    QComboBox* DriveComboBox1;
    QListWidget* DirectoryListBox1;
    QLabel* LDiretorio;
    QListWidget* FileListBox1;
    QLabel* LDBF;
    QListWidget* CheckListBox1;
    QLineEdit* Edit1;
    QLabel* Regua;
    EditorDefCnv* Memo1;
    QStatusBar* StatusBar1;
    QLabel* Painel[3];
    DialogoBusca* FindDialog1;
    DialogoBusca* ReplaceDialog1;

    // Sets the fixed-pitch font of the editor and the ruler.
    void DefineFonte(const QString& fonte);

protected:
    void resizeEvent(QResizeEvent* e) override;

private:
    void Habilita(std::initializer_list<QAction*> acoes, bool sim);
    void CarregaTexto(const QString& caminho);
    bool Localiza(const DialogoBusca& d, bool avisa);
    std::unique_ptr<BuscaNoEditor> busca_;
    void TrocaSelecao(const std::function<std::string(std::string_view)>& f);
    void AplicaLinhas(const std::function<void(std::vector<std::string>&)>& f);
    std::vector<std::string> CamposMarcados() const;
    std::vector<std::string> ArquivosCNVListados() const;

    QString diretorio_;
    QString arquivo_;
    QString dbf_;
    int filtroSalvar_ = 1;
};

extern TFFazDef* FFazDef;

// Registers the editor and its CNV link dialog with the start-up and, once the main
// window exists, attaches "&Editar arquivo DEF ou CNV" and the fixed font to it.
void RegistraEditorDEF(InicioPrograma& inicio, std::unique_ptr<TForm1>& form1);

} // namespace dorvan

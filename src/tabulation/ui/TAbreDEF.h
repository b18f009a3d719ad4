#pragma once
// "Executa Tabulação - Abre arquivo de definição": picks the DEF to run and shows
// the title of the one selected (its first line, without the leading ';').
#include <QDialog>
#include <string>

class QComboBox;
class QFileSystemModel;
class QLabel;
class QListWidget;
class QPushButton;
class QTreeView;

namespace dorvan {

class TAbreDEF : public QDialog {
    Q_OBJECT
public:
    explicit TAbreDEF(QWidget* pai = nullptr);

    // Shows `pasta` (drive and folder) and its DEF files.
    void DefinePasta(const std::string& pasta);
    const std::string& Pasta() const { return pasta_; }
    // The path of the selected file; empty when none.
    std::string ArquivoEscolhido() const;

    void DriveComboBox1Change();
    void DirectoryListBox1Change();
    void FileListBox1Click();
    void FileListBox1Change();
    // Right button: asks for a name and selects that file when the list has it.
    void FileListBox1MouseDown();

    QComboBox* DriveComboBox1;
    QTreeView* DirectoryListBox1;
    QListWidget* FileListBox1;
    QLabel* TituloDEF;
    QPushButton* bOK;
    QPushButton* bSair;

protected:
    bool eventFilter(QObject* objeto, QEvent* evento) override;
    void showEvent(QShowEvent* e) override;

private:
    // Scrolls the folder tree to the folder shown, while it is the current one.
    void MostraPastaEscolhida();

    QFileSystemModel* pastas_;
    std::string pasta_;
    bool segue_ = false; // the tree keeps the chosen folder in view as it is listed
};

// The first line of a DEF without its leading ';' (an empty text when none).
std::string TituloDoDEF(const std::string& arquivo);

} // namespace dorvan

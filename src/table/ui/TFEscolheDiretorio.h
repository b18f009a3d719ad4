#pragma once
// The folder chooser: drives, a folder tree and the files of the chosen folder;
// the chosen folder's path goes into edNomeDir, where the user may also type.
#include <QDialog>
#include <optional>
#include <string>

class QComboBox;
class QFileSystemModel;
class QLabel;
class QLineEdit;
class QListView;
class QPushButton;
class QTreeView;

namespace dorvan {

class TFEscolheDiretorio : public QDialog {
    Q_OBJECT
public:
    explicit TFEscolheDiretorio(QWidget* pai = nullptr);

    // Moves the tree to the drive (mount point) shown at index i of DriveComboBox1.
    void EscolheDrive(int i);
    // Shows pasta's files and puts its path into edNomeDir. pasta is a system file name.
    void EscolheDiretorioAtual(const QString& pasta);
    // Which files the file list shows ("*.dbf;*.db"); all when empty.
    void DefineMascara(const std::string& mascara);

    QLabel* Label1;
    QLineEdit* edNomeDir;
    QTreeView* DirectoryListBox1;
    QListView* FileListBox1;
    QComboBox* DriveComboBox1;
    QPushButton* bOK;
    QPushButton* bCancel;

private:
    QFileSystemModel* pastas_;
    QFileSystemModel* arquivos_;
};

extern TFEscolheDiretorio* FEscolheDiretorio;

// Shows the chooser with the label pergunta, starting at inicial; the folder typed
// or chosen (system file name), or nothing when cancelled or left empty.
std::optional<std::string> EscolheDiretorio(const std::string& pergunta, const std::string& inicial,
                                            const std::string& mascara = {});

} // namespace dorvan

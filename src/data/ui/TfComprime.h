#pragma once
// The compress-and-expand window: the DBF folder on the left, the DBC folder on
// the right, the commands between them and the progress of the file under way.
// The work itself is CompressaoLote's; this window gathers the choices and shows
// the progress.
#include "data/CompressaoLote.h"
#include "platform/ui/Janelas.h"

#include <QDialog>
#include <memory>
#include <string>

class QComboBox;
class QFileSystemModel;
class QLabel;
class QListWidget;
class QListWidgetItem;
class QProgressBar;
class QPushButton;
class QTimer;
class QTreeView;

namespace dorvan {

class TfComprime : public QDialog {
    Q_OBJECT
public:
    explicit TfComprime(QWidget* pai = nullptr);
    ~TfComprime() override;

    // The folders the window lists and that its compressions read and write
    // (system file names). Callers outside the window set them before Comprime/Expande.
    void DefineDiretorios(const std::string& dirDBF, const std::string& dirDBC);
    // One file, with this window's progress: DirDBF/nome into the DBC folder, and back.
    bool Comprime(const std::string& nome);
    bool Expande(const std::string& nome);

    CompressaoLote& Lote() { return lote_; }

    QLabel* Label1;
    QLabel* Label2;
    QComboBox* DBFDrive;
    QTreeView* DBFDir;
    QListWidget* DBFList;
    QPushButton* bComprime;
    QPushButton* bRemove;
    QPushButton* bExpande;
    QPushButton* bTestaCRC;
    QListWidget* DBCList;
    QTreeView* DBCDir;
    QComboBox* DBCDrive;
    QLabel* Label3;
    QProgressBar* Gauge1;
    QPushButton* bAborta;
    QPushButton* bSair;
    QTimer* Timer1;

protected:
    void showEvent(QShowEvent* e) override;

private:
    class Travada;
    void ComandoLote(void (CompressaoLote::*comando)(Progresso&));
    void MostraListas();
    void PegaMarcas();
    void MostraArquivo(const std::string& texto);
    void EscolheDrive(QComboBox* drive, QTreeView* arvore, bool ladoDBF);
    void EscolhePasta(QTreeView* arvore, const QString& pasta, bool ladoDBF);

    CompressaoLote lote_;
    std::unique_ptr<ProgressoJanela> progresso_;
    QFileSystemModel* pastas_;
    std::uint64_t feito_ = 0;
    std::uint64_t total_ = 0;
    bool mostrandoListas_ = false;
};

extern TfComprime* fComprime;

} // namespace dorvan

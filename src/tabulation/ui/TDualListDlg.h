#pragma once
// The field chooser "Escolhe Campos": moves names between an input and an output
// list. The record export of the tabulation chooses its fields here.
#include <QDialog>
#include <string>
#include <vector>

class QListWidget;
class QPushButton;

namespace dorvan {

class TDualListDlg : public QDialog {
    Q_OBJECT
public:
    explicit TDualListDlg(QWidget* pai = nullptr);

    // Fills the input list, empties the output list, shows the dialog; on OK with at
    // least one name true and the output names in order.
    bool Escolhe(const std::vector<std::string>& campos, std::vector<std::string>& escolhidos);

    void IncludeBtnClick();
    void ExcludeBtnClick();
    void IncAllBtnClick();
    void ExcAllBtnClick();
    // Moves the selected items of `lista` to the end of `destino`, last one first.
    void MoveSelected(QListWidget* lista, QListWidget* destino);
    void SetButtons();
    static int GetFirstSelection(QListWidget* lista);
    // Selects item `indice` of `lista` (its last when past the end, none when empty).
    void SetItem(QListWidget* lista, int indice);

    QListWidget* SrcList;
    QListWidget* DstList;
    QPushButton* IncludeBtn;
    QPushButton* IncAllBtn;
    QPushButton* ExcludeBtn;
    QPushButton* ExAllBtn;
    QPushButton* OKBtn;
    QPushButton* CancelBtn;
};

extern TDualListDlg* DualListDlg;

} // namespace dorvan

#pragma once
// The column chooser: one column, or several columns or DBF fields marked. The
// routines take what they list; cancelling always means "no choice".
#include <QDialog>
#include <string>
#include <vector>

class QLabel;
class QListWidget;
class QPushButton;

namespace dorvan {

class TEscolhe_Coluna : public QDialog {
    Q_OBJECT
public:
    explicit TEscolhe_Coluna(QWidget* pai = nullptr);

    // Fills the list and shows it modally; true when OK closed it.
    bool Mostra(const std::string& titulo, const std::string& pergunta, const std::vector<std::string>& itens,
                bool varios);
    // 1-based numbers of the selected entries, in list order.
    std::vector<int> Marcados() const;

    QLabel* Label1;
    QListWidget* ListBox1;
    QPushButton* bOK;
    QPushButton* bCancela;

protected:
    void showEvent(QShowEvent* e) override;
};

extern TEscolhe_Coluna* Escolhe_Coluna;

// The chosen column (1-based) among titulos; with 0 or 1 columns their count at once,
// without asking; 0 when cancelled or nothing was chosen.
int EscolheColuna(const std::string& pergunta, const std::vector<std::string>& titulos);

// The columns marked (1-based, in list order); none when there are no columns or
// the window was cancelled.
std::vector<int> MarcaColunas(const std::string& pergunta, const std::vector<std::string>& titulos);

// As MarcaColunas, over the field names of a DBF file.
std::vector<int> MarcaCamposDBF(const std::vector<std::string>& nomesCampos, const std::string& pergunta);

} // namespace dorvan

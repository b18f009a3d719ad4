#pragma once
// "Tipo de Total": the nine ways a column's total is formed.
#include "table/TabelaResultados.h"

#include <QDialog>
#include <vector>

class QButtonGroup;
class QPushButton;

namespace dorvan {

class TfTipoTot : public QDialog {
    Q_OBJECT
public:
    explicit TfTipoTot(QWidget* pai = nullptr);

    void DefineTipo(TipoTotal tipo);
    TipoTotal Tipo() const;

    QButtonGroup* rgTipoTotal; // button ids are the kinds' values
    QPushButton* bOK;
    QPushButton* bCancela;
};

// The "Tipo de total" command for the marked columns: the dialog opens on the
// first one's kind; OK gives every marked column the chosen kind and recomputes
// its total. False when cancelled or nothing was marked.
bool Tipodetotal1Click(TabelaResultados& t, const std::vector<std::int32_t>& colunas, QWidget* pai = nullptr);

} // namespace dorvan

#pragma once
// "Escolhe nome e código": two lists of the same candidate fields, the one on the
// left picking the field that becomes each record's code, the other its name.
#include "maps/Importadores.h"
#include "table/TabelaArquivo.h"

#include <optional>

#include <QDialog>

class QCheckBox;
class QLabel;
class QListWidget;
class QPushButton;

namespace dorvan {

class TEscolheNome : public QDialog {
    Q_OBJECT
public:
    explicit TEscolheNome(QWidget* pai = nullptr);

    // Fills both lists, selects the defaults and shows the form modally. The
    // selections are taken as they stand when it closes, whichever button closed it.
    EscolhaCampos Escolhe(const std::vector<std::string>& candidatos, EscolhaCampos padrao);
    // A DBF opened as a table: every field in both lists, the first ones selected,
    // "Incluir apenas campos numéricos" shown while the form is up. nullopt when
    // not confirmed with OK.
    std::optional<EscolhaCamposDBF> EscolheCamposDBF(const std::vector<std::string>& campos);

    QLabel* Label1;
    QLabel* Label2;
    QListWidget* lbGeo;
    QListWidget* lbNome;
    QCheckBox* cbNumeros; // used when a DBF is opened as a table; hidden for maps
    QPushButton* OK;
    QPushButton* Cancela;

private:
    // Both lists hold the names given, the rows geo and nome selected.
    void PreencheListas(const std::vector<std::string>& nomes, int geo, int nome);
};

// The form the importers and "Abrir tabela" use (created on first use, parented to
// the main window when there is one, else to the active window).
TEscolheNome* EscolheNomeForm();

// Makes the importers ask through the form.
void LigaEscolheNome();

// Converts a foreign map with the hourglass shown while it runs; the name of the
// .MAP to open, "" when the file was refused, any other name unchanged.
std::string ImportaMapaComJanela(const std::string& arquivo);

} // namespace dorvan

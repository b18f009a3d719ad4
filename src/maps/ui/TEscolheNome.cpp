#include "maps/ui/TEscolheNome.h"

#include "maps/ui/TMapa.h"
#include "platform/Texto1252.h"
#include "table/ui/TForm1.h"

#include <QApplication>
#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QPointer>

namespace dorvan {

TEscolheNome::TEscolheNome(QWidget* pai) : QDialog(pai) {
    setObjectName("EscolheNome");
    setWindowTitle(ParaQString("Escolhe nome e c\xF3"
                               "digo"));
    auto* grade = new QGridLayout(this);
    Label1 = new QLabel(ParaQString("C\xF3"
                                    "digo"),
                        this);
    Label2 = new QLabel(ParaQString("Nome"), this);
    lbGeo = new QListWidget(this);
    lbGeo->setObjectName("lbGeo");
    lbNome = new QListWidget(this);
    lbNome->setObjectName("lbNome");
    cbNumeros = new QCheckBox(ParaQString("Incluir apenas campos num\xE9ricos"), this);
    cbNumeros->setObjectName("cbNumeros");
    cbNumeros->setVisible(false);
    OK = new QPushButton(ParaQString("OK"), this);
    OK->setObjectName("OK");
    OK->setDefault(true);
    Cancela = new QPushButton(ParaQString("Cancela"), this);
    Cancela->setObjectName("Cancela");
    grade->addWidget(Label1, 0, 0);
    grade->addWidget(Label2, 0, 1);
    grade->addWidget(lbGeo, 1, 0);
    grade->addWidget(lbNome, 1, 1);
    grade->addWidget(cbNumeros, 2, 0, 1, 2);
    auto* botoes = new QHBoxLayout;
    botoes->addStretch();
    botoes->addWidget(OK);
    botoes->addWidget(Cancela);
    grade->addLayout(botoes, 3, 0, 1, 2);
    connect(OK, &QPushButton::clicked, this, &QDialog::accept);
    connect(Cancela, &QPushButton::clicked, this, &QDialog::reject);
    connect(lbGeo, &QListWidget::itemDoubleClicked, this, [this] { lbNome->setFocus(); });
    connect(lbNome, &QListWidget::itemDoubleClicked, this, &QDialog::accept);
}

void TEscolheNome::PreencheListas(const std::vector<std::string>& nomes, int geo, int nome) {
    lbGeo->clear();
    lbNome->clear();
    for (const std::string& c : nomes) {
        lbGeo->addItem(ParaQString(c));
        lbNome->addItem(ParaQString(c));
    }
    lbGeo->setCurrentRow(geo);
    lbNome->setCurrentRow(nome);
}

EscolhaCampos TEscolheNome::Escolhe(const std::vector<std::string>& candidatos, EscolhaCampos padrao) {
    PreencheListas(candidatos, padrao.Codigo, padrao.Nome);
    exec();
    return {lbGeo->currentRow(), lbNome->currentRow()};
}

std::optional<EscolhaCamposDBF> TEscolheNome::EscolheCamposDBF(const std::vector<std::string>& campos) {
    PreencheListas(campos, 0, 0);
    cbNumeros->setVisible(true);
    const int r = exec();
    cbNumeros->setVisible(false);
    if (r != QDialog::Accepted || lbGeo->currentRow() < 0 || lbNome->currentRow() < 0) return std::nullopt;
    EscolhaCamposDBF e;
    e.campoCodigo = lbGeo->currentRow() + 1;
    e.campoNome = lbNome->currentRow() + 1;
    e.apenasNumericos = cbNumeros->isChecked();
    return e;
}

TEscolheNome* EscolheNomeForm() {
    static QPointer<TEscolheNome> forma;
    // It belongs to the main window, so it opens in front of it and of the windows
    // beside it (a map, a chart) whichever of them asked first.
    if (!forma) forma = new TEscolheNome(Form1 ? static_cast<QWidget*>(Form1) : QApplication::activeWindow());
    return forma;
}

void LigaEscolheNome() {
    DefineEscolheNome([](const std::vector<std::string>& candidatos, EscolhaCampos padrao) {
        // The importer runs under the hourglass; the choice needs the ordinary pointer.
        const bool espera = QApplication::overrideCursor() != nullptr;
        if (espera) QApplication::restoreOverrideCursor();
        const EscolhaCampos e = EscolheNomeForm()->Escolhe(candidatos, padrao);
        if (espera) QApplication::setOverrideCursor(Qt::WaitCursor);
        return e;
    });
}

std::string ImportaMapaComJanela(const std::string& arquivo) {
    if (!MapaEstrangeiro(arquivo)) return arquivo;
    const SinaisImportacao sinais = SinaisDoImportador(arquivo);
    if (sinais.Legenda && Mapa) Mapa->setWindowTitle(QString::fromStdString(arquivo));
    if (sinais.Ampulheta) QApplication::setOverrideCursor(Qt::WaitCursor);
    struct Restaura {
        bool ampulheta;
        ~Restaura() {
            if (ampulheta) QApplication::restoreOverrideCursor();
        }
    } restaura{sinais.Ampulheta};
    return ImportaMapaEstrangeiro(arquivo);
}

} // namespace dorvan

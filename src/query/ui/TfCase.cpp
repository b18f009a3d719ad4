#include "query/ui/TfCase.h"

#include "platform/Arquivos.h"
#include "platform/Texto1252.h"
#include "platform/ui/Janelas.h"
#include "tabulation/Utab.h"

#include <QCheckBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace dorvan {

namespace {

QString Q(const std::string& texto1252) { return ParaQString(texto1252); }

QGroupBox* Grupo(QWidget* pai, const char* titulo, std::initializer_list<QRadioButton**> botoes,
                 std::initializer_list<const char*> textos) {
    auto* g = new QGroupBox(Q(titulo), pai);
    auto* l = new QVBoxLayout(g);
    auto t = textos.begin();
    for (QRadioButton** b : botoes) {
        *b = new QRadioButton(Q(*t++), g);
        l->addWidget(*b);
    }
    return g;
}

} // namespace

TfCase::TfCase(QWidget* pai) : QDialog(pai) {
    setObjectName(QStringLiteral("fCase"));
    setWindowTitle(Q("Gera c\xF3"
                     "digo SQL a partir de tabela de convers\xE3o (.CNV)"));
    edExp = new QLineEdit(this);
    edCNV = new QLineEdit(this);
    bCNV = new QPushButton(QStringLiteral("..."), this);
    rColuna = Grupo(this, "Gerar para ...", {&rLinhas, &rColunas, &rSelecao}, {"Linhas", "Colunas", "Sele\xE7\xE3o"});
    rgConta = Grupo(this, "Tipo de agrega\xE7\xE3o", {&rContagem, &rSoma}, {"Contagem", "Soma de ..."});
    rgNClassificados = Grupo(this, "N\xE3o classificados", {&rIgnorar, &rIncluir, &rDiscriminar},
                             {"Ignorar", "Incluir", "Discriminar"});
    ckGroupBy = new QCheckBox(QStringLiteral("group by"), this);
    ckGroupBy->setChecked(true);
    rLinhas->setChecked(true);
    rContagem->setChecked(true);
    rIncluir->setChecked(true);
    ListBox1 = new QListWidget(this);
    lbCNV = new QListWidget(this);
    lbCNV->setFont(QFont(QStringLiteral("Courier New"), 8));
    bOK = new QPushButton(QStringLiteral("OK"), this);
    bOK->setEnabled(false);
    bOK->setDefault(true);
    bCancel = new QPushButton(QStringLiteral("Cancel"), this);
    bEditarCNV = new QPushButton(QStringLiteral("Editar CNV"), this);
    bEditarCNV->setEnabled(false);

    auto* g = new QGridLayout(this);
    g->addWidget(new QLabel(Q("Express\xE3o"), this), 0, 0);
    g->addWidget(edExp, 0, 1, 1, 2);
    g->addWidget(new QLabel(Q("Tabela de convers\xE3o de c\xF3"
                              "digo"),
                            this),
                 1, 0);
    g->addWidget(edCNV, 1, 1);
    g->addWidget(bCNV, 1, 2);
    auto* opcoes = new QHBoxLayout;
    for (QWidget* w : std::initializer_list<QWidget*>{rColuna, rgConta, rgNClassificados})
        opcoes->addWidget(w);
    auto* ladoDireito = new QVBoxLayout;
    ladoDireito->addWidget(ckGroupBy);
    ladoDireito->addWidget(ListBox1);
    opcoes->addLayout(ladoDireito);
    g->addLayout(opcoes, 2, 0, 1, 3);
    g->addWidget(lbCNV, 3, 0, 1, 3);
    auto* botoes = new QHBoxLayout;
    botoes->addStretch();
    for (QPushButton* b : {bOK, bCancel, bEditarCNV})
        botoes->addWidget(b);
    g->addLayout(botoes, 4, 0, 1, 3);

    connect(bCNV, &QPushButton::clicked, this, [this] { bCNVClick(); });
    for (QRadioButton* r : {rLinhas, rColunas, rSelecao})
        connect(r, &QRadioButton::toggled, this, [this] { rColunaClick(); });
    for (QRadioButton* r : {rContagem, rSoma})
        connect(r, &QRadioButton::toggled, this, [this] { rgContaClick(); });
    connect(bOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(bCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(bEditarCNV, &QPushButton::clicked, this, [this] { bEditarCNVClick(); });

    EscolheCNV = [this] {
        return QFileDialog::getOpenFileName(this, QString(), edCNV->text(), Q("Tabelas de convers\xE3o  (*.cnv)"))
            .toStdString();
    };
    EditaCNV = [](const std::string& arquivo) { AbreDocumento(arquivo); };
    rColunaClick();
}

void TfCase::bCNVClick() {
    const std::string arquivo = EscolheCNV ? EscolheCNV() : std::string();
    if (arquivo.empty()) return;
    CarregaCNV(arquivo);
}

void TfCase::CarregaCNV(const std::string& arquivo) {
    edCNV->setText(QString::fromStdString(arquivo));
    lbCNV->clear();
    const std::string texto = LeArquivoInteiro(arquivo);
    std::size_t p = 0;
    while (p < texto.size()) {
        std::size_t fim = texto.find('\n', p);
        std::string linha = texto.substr(p, fim == std::string::npos ? std::string::npos : fim - p);
        if (!linha.empty() && linha.back() == '\r') linha.pop_back();
        lbCNV->addItem(Q(linha));
        if (fim == std::string::npos) break;
        p = fim + 1;
    }
    // Comments may come before the header: the line offered is the first category's.
    TextoCNV cnv;
    const std::size_t inicial = LeTextoCNV(arquivo, cnv) ? cnv.LinhaPrimeiraCategoria : 1;
    if (inicial < static_cast<std::size_t>(lbCNV->count())) lbCNV->setCurrentRow(static_cast<int>(inicial));
    bOK->setEnabled(true);
    bEditarCNV->setEnabled(true);
}

void TfCase::rColunaClick() {
    rgConta->setEnabled(rColunas->isChecked());
    ckGroupBy->setEnabled(rLinhas->isChecked());
    rgNClassificados->setEnabled(rLinhas->isChecked());
    rgContaClick();
}

void TfCase::rgContaClick() { ListBox1->setVisible(rColunas->isChecked() && rSoma->isChecked()); }

void TfCase::bEditarCNVClick() {
    if (EditaCNV && !edCNV->text().isEmpty()) EditaCNV(edCNV->text().toStdString());
}

GerarPara TfCase::Gerar() const {
    if (rColunas->isChecked()) return GerarPara::Colunas;
    if (rSelecao->isChecked()) return GerarPara::Selecao;
    return GerarPara::Linhas;
}

NaoClassificados TfCase::NClassificados() const {
    if (rIgnorar->isChecked()) return NaoClassificados::Ignorar;
    if (rDiscriminar->isChecked()) return NaoClassificados::Discriminar;
    return NaoClassificados::Incluir;
}

void TfCase::DefineNClassificados(NaoClassificados n) {
    (n == NaoClassificados::Ignorar       ? rIgnorar
     : n == NaoClassificados::Discriminar ? rDiscriminar
                                          : rIncluir)
        ->setChecked(true);
}

} // namespace dorvan

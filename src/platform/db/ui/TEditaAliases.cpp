#include "platform/Erros.h"
#include "platform/db/ui/TEditaAliases.h"

#include "platform/Mensagens.h"
#include "platform/Texto1252.h"
#include "platform/db/BancoDados.h"

#include <QApplication>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace dorvan {

TEditaAliases::TEditaAliases(MotorBD& motor, QWidget* pai) : QDialog(pai), motor_(motor) {
    setObjectName(QStringLiteral("EditaAliases"));
    setWindowTitle(ParaQString("Bancos de dados"));
    listaAliases = new QListWidget(this);
    edNome = new QLineEdit(this);
    cbDriver = new QComboBox(this);
    for (const auto& d : DriversDisponiveis()) cbDriver->addItem(QString::fromStdString(d));
    edBanco = new QLineEdit(this);
    edHost = new QLineEdit(this);
    sePorta = new QSpinBox(this);
    sePorta->setRange(0, 65535);
    sePorta->setSpecialValueText(ParaQString("padr\xE3o"));
    edUsuario = new QLineEdit(this);
    edOpcoes = new QLineEdit(this);
    bNovo = new QPushButton(QStringLiteral("&Novo"), this);
    bGrava = new QPushButton(QStringLiteral("&Grava"), this);
    bRemove = new QPushButton(QStringLiteral("&Remove"), this);
    bTesta = new QPushButton(ParaQString("&Testar conex\xE3o"), this);
    bFecha = new QPushButton(QStringLiteral("&Fecha"), this);

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Nome:"), edNome);
    form->addRow(QStringLiteral("Driver:"), cbDriver);
    form->addRow(QStringLiteral("Banco de dados:"), edBanco);
    form->addRow(QStringLiteral("Host:"), edHost);
    form->addRow(QStringLiteral("Porta:"), sePorta);
    form->addRow(ParaQString("Usu\xE1rio:"), edUsuario);
    form->addRow(ParaQString("Op\xE7\xF5" "es:"), edOpcoes);
    auto* direita = new QVBoxLayout;
    direita->addLayout(form);
    direita->addStretch();
    auto* botoes = new QHBoxLayout;
    for (QPushButton* b : {bNovo, bGrava, bRemove, bTesta}) botoes->addWidget(b);
    botoes->addStretch();
    botoes->addWidget(bFecha);
    auto* meio = new QHBoxLayout;
    meio->addWidget(listaAliases, 1);
    meio->addLayout(direita, 2);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(meio, 1);
    layout->addLayout(botoes);
    resize(620, 340);

    connect(bNovo, &QPushButton::clicked, this, &TEditaAliases::Novo);
    connect(bGrava, &QPushButton::clicked, this, &TEditaAliases::Grava);
    connect(bRemove, &QPushButton::clicked, this, &TEditaAliases::Remove);
    connect(bTesta, &QPushButton::clicked, this, &TEditaAliases::TestaConexao);
    connect(bFecha, &QPushButton::clicked, this, &QDialog::accept);
    connect(listaAliases, &QListWidget::currentTextChanged, this, &TEditaAliases::MostraAlias);
    Recarrega();
}

void TEditaAliases::Recarrega(const QString& selecionar) {
    listaAliases->clear();
    for (const auto& n : motor_.NomesAliases()) listaAliases->addItem(ParaQString(n));
    auto achados = listaAliases->findItems(selecionar, Qt::MatchFixedString);
    if (!achados.isEmpty())
        listaAliases->setCurrentItem(achados.front());
    else if (listaAliases->count() > 0)
        listaAliases->setCurrentRow(0);
    else
        Novo();
}

void TEditaAliases::MostraAlias(const QString& nome) {
    auto a = motor_.Aliases().Acha(DeQString(nome));
    if (!a) return;
    edNome->setText(ParaQString(a->nome));
    // A driver whose plugin is missing here is still the alias's: shown and kept as it is.
    const QString driver = QString::fromStdString(a->driver);
    if (cbDriver->findText(driver) < 0) cbDriver->addItem(driver);
    cbDriver->setCurrentText(driver);
    edBanco->setText(QString::fromStdString(a->banco));
    edHost->setText(QString::fromStdString(a->host));
    sePorta->setValue(a->porta);
    edUsuario->setText(QString::fromStdString(a->usuario));
    edOpcoes->setText(QString::fromStdString(a->opcoes));
}

void TEditaAliases::Novo() {
    listaAliases->setCurrentRow(-1);
    for (QLineEdit* e : {edNome, edBanco, edHost, edUsuario, edOpcoes}) e->clear();
    cbDriver->setCurrentIndex(0);
    sePorta->setValue(0);
    edNome->setFocus();
}

Alias TEditaAliases::DoFormulario() const {
    Alias a;
    a.nome = DeQString(edNome->text().trimmed());
    a.driver = cbDriver->currentText().toStdString();
    a.banco = edBanco->text().trimmed().toStdString();
    a.host = edHost->text().trimmed().toStdString();
    a.porta = sePorta->value();
    a.usuario = edUsuario->text().trimmed().toStdString();
    a.opcoes = edOpcoes->text().trimmed().toStdString();
    return a;
}

bool TEditaAliases::Grava() {
    Alias a = DoFormulario();
    try {
        motor_.DefineAlias(a);
        motor_.GravaConfiguracao();
    } catch (const std::exception&) {
        MensagensAtuais().Mostra(TextoDoErroParaUsuario(std::current_exception()));
        return false;
    }
    Recarrega(ParaQString(a.nome));
    return true;
}

void TEditaAliases::Remove() {
    std::string nome = DeQString(edNome->text().trimmed());
    if (!motor_.AliasExiste(nome)) return;
    if (!MensagensAtuais().SimOuNao("Aten\xE7\xE3o!", "Quer mesmo remover o Banco de dados " + nome)) return;
    motor_.ApagaAlias(nome);
    motor_.GravaConfiguracao();
    Recarrega();
}

void TEditaAliases::TestaConexao() {
    std::string erro = motor_.TestaConexao(DoFormulario());
    MensagensAtuais().Mostra(erro.empty() ? std::string("Conex\xE3o bem sucedida.") : erro);
}

void EditaAliases(MotorBD& motor) {
    TEditaAliases janela(motor, QApplication::activeWindow());
    janela.exec();
}

} // namespace dorvan

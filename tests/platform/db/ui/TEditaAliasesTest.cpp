#include "platform/db/ui/TEditaAliases.h"

#include "platform/Mensagens.h"
#include "platform/db/BancoDados.h"
#include "support/ApoioTeste.h"

#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <filesystem>
#include <gtest/gtest.h>

namespace dorvan {
namespace {

TEST(TEditaAliases, EditsTestsAndRemovesAliasesInTheFile) {
    teste::PastaTemporaria pasta;
    std::filesystem::create_directories(pasta.Caminho() / "banco");
    MotorBD motor(pasta / "Aliases.ini");
    ASSERT_EQ(motor.Inicia(), 0);
    MensagensRoteiro roteiro;
    UsaMensagens usa(roteiro);

    TEditaAliases janela(motor);
    EXPECT_EQ(janela.listaAliases->count(), 0);
    EXPECT_EQ(janela.bTesta->text(), QStringLiteral("&Testar conexão"));
    EXPECT_EQ(janela.cbDriver->itemText(0), QStringLiteral("STANDARD"));
    EXPECT_NE(janela.cbDriver->findText(QStringLiteral("POSTGRESQL")), -1);

    janela.edNome->setText(QStringLiteral("Saúde"));
    janela.cbDriver->setCurrentText(QStringLiteral("STANDARD"));
    janela.edBanco->setText(QString::fromStdString(pasta / "banco"));
    janela.bTesta->click();
    janela.bGrava->click();
    janela.Novo();
    janela.edNome->setText(QStringLiteral("vendas"));
    janela.cbDriver->setCurrentText(QStringLiteral("POSTGRESQL"));
    janela.edBanco->setText(QStringLiteral("loja"));
    janela.edHost->setText(QStringLiteral("db.exemplo"));
    janela.sePorta->setValue(5433);
    janela.edUsuario->setText(QStringLiteral("ana"));
    EXPECT_TRUE(janela.Grava());
    janela.Novo();
    janela.edNome->setText(QStringLiteral("mau[nome]"));
    EXPECT_FALSE(janela.Grava());
    janela.Novo();
    janela.edNome->setText(QStringLiteral("falta"));
    janela.cbDriver->setCurrentText(QStringLiteral("STANDARD"));
    janela.edBanco->setText(QString::fromStdString(pasta / "nao_existe"));
    janela.bTesta->click();

    ASSERT_EQ(roteiro.Textos().size(), 3u);
    EXPECT_EQ(roteiro.Textos()[0], "Conex\xE3o bem sucedida.");
    EXPECT_EQ(roteiro.Textos()[1], "Nome de banco de dados inv\xE1lido: \"mau[nome]\"");
    EXPECT_EQ(roteiro.Textos()[2], "Diret\xF3rio n\xE3o encontrado: " + (pasta / "nao_existe"));

    MotorBD lido(pasta / "Aliases.ini");
    ASSERT_EQ(lido.Inicia(), 0);
    EXPECT_EQ(lido.NomesAliases(), (std::vector<std::string>{"Sa\xFA" "de", "vendas"}));
    EXPECT_EQ(lido.Aliases().Acha("VENDAS")->porta, 5433);

    // Choosing an alias in the list shows it; removing asks first.
    janela.listaAliases->setCurrentRow(1);
    EXPECT_EQ(janela.edHost->text(), QStringLiteral("db.exemplo"));
    roteiro.Limpa();
    roteiro.Responde("N");
    janela.bRemove->click();
    EXPECT_TRUE(motor.AliasExiste("vendas"));
    roteiro.Responde("S");
    janela.bRemove->click();
    EXPECT_FALSE(motor.AliasExiste("vendas"));
    ASSERT_EQ(roteiro.Registros().size(), 2u);
    EXPECT_EQ(roteiro.Registros()[0].titulo, "Aten\xE7\xE3o!");
    EXPECT_EQ(roteiro.Registros()[0].texto, "Quer mesmo remover o Banco de dados vendas");
    EXPECT_EQ(janela.listaAliases->count(), 1);
    motor.Encerra();
}

TEST(TEditaAliases, AnAliasOfADriverNotInstalledHereKeepsItsDriver) {
    teste::PastaTemporaria pasta;
    pasta.Grava("Aliases.ini", "[Banco]\r\nDRIVER=POSTGRESQL\r\nDATABASE=loja\r\n"
                               "[Fonte]\r\nDRIVER=ODBC\r\nDATABASE=planilhas\r\n"
                               "[Velho]\r\nDRIVER=ORACLE\r\nDATABASE=orcl\r\n");
    MotorBD motor(pasta / "Aliases.ini");
    ASSERT_EQ(motor.Inicia(), 0);
    MensagensRoteiro roteiro;
    UsaMensagens usa(roteiro);
    TEditaAliases janela(motor);
    ASSERT_EQ(janela.listaAliases->count(), 3);

    janela.listaAliases->setCurrentRow(1);
    EXPECT_EQ(janela.cbDriver->currentText(), QStringLiteral("ODBC"));
    janela.edBanco->setText(QStringLiteral("planilhas2"));
    EXPECT_TRUE(janela.Grava());
    janela.listaAliases->setCurrentRow(0);
    EXPECT_EQ(janela.cbDriver->currentText(), QStringLiteral("POSTGRESQL"));
    janela.listaAliases->setCurrentRow(2);
    EXPECT_EQ(janela.cbDriver->currentText(), QStringLiteral("ORACLE"));
    // This build cannot handle it: saving is refused rather than turning it into another driver.
    EXPECT_FALSE(janela.Grava());
    EXPECT_EQ(roteiro.Textos(), std::vector<std::string>{"Driver desconhecido: ORACLE"});

    MotorBD lido(pasta / "Aliases.ini");
    ASSERT_EQ(lido.Inicia(), 0);
    EXPECT_EQ(lido.NomeDriverAlias("Fonte"), "ODBC");
    EXPECT_EQ(lido.Aliases().Acha("Fonte")->banco, "planilhas2");
    EXPECT_EQ(lido.NomeDriverAlias("Velho"), "ORACLE");
    motor.Encerra();
}

} // namespace
} // namespace dorvan

// The tabulation dialog as the program opens it: "Importa dados" of a DEF whose data
// files come from a saved query.
#include "app/ui/ProgramaMontado.h"

#include "platform/db/BancoDados.h"
#include "tabulation/ui/TTabula.h"

#include <QAction>
#include <QFileDialog>
#include <QListWidget>
#include <QPushButton>
#include <filesystem>
#include <gtest/gtest.h>

using namespace dorvan;
using namespace dorvan::teste;

TEST(Tabulacao, ImportaDadosWritesTheDefsQueryIntoTheNamedFileAndListsIt) {
    Prepara(Estado::SemTabela);
    ASSERT_TRUE(Principal().Acao(QStringLiteral("SQL1"))->isVisible()) << "the database engine did not start";
    const std::string banco = Pasta() / "banco-tabulacao";
    std::filesystem::create_directories(banco);
    ASSERT_EQ(Executa("sqlite3 '" + banco +
                      "/dorvan.sqlite' \"CREATE TABLE casos (regiao TEXT, obitos INTEGER);"
                      "INSERT INTO casos VALUES ('11', 3); INSERT INTO casos VALUES ('12', 7);\""),
              0);
    if (!MotorAtual().AliasExiste("Tabulacao"))
        MotorAtual().DefineAlias({"Tabulacao", DriverSQLite, banco + "/dorvan.sqlite", "", 0, "", ""});
    const std::string pasta = Pasta() / "def-consulta";
    std::filesystem::create_directories(pasta);
    Pasta().Grava("def-consulta/casos.sql", "#Casos\r\n#Tabulacao\r\n#\r\nSELECT regiao, obitos FROM casos\r\n");
    const std::string def = Pasta().Grava("def-consulta/casos.def", ";Casos por regi\xE3o\r\n"
                                                                    "Adados*.dbf,casos.sql\r\n"
                                                                    "LRegi\xE3o,REGIAO,1,regiao.cnv\r\n");
    const std::string dbf = pasta + "/dados2020.dbf";

    QAction tabula;
    QObject::connect(&tabula, &QAction::triggered, [&def] { AbreTabulacao(def, &Principal()); });
    bool visivel = false;
    QStringList listados;
    const Efeito e = Dispara(&tabula, [&](QWidget* w) {
        if (auto* d = qobject_cast<QFileDialog*>(w)) return RespostaArquivo(dbf)(d);
        auto* t = qobject_cast<TTabula*>(w);
        if (!t) return;
        visivel = t->bConsultaSQL->isVisible();
        if (visivel) t->bConsultaSQL->click();
        for (int i = 0; i < t->ListArquivos->count(); ++i)
            listados << t->ListArquivos->item(i)->text();
        t->reject();
    });
    ASSERT_TRUE(visivel) << "\"Importa dados\" is offered with the DEF's query; " << e.Descreve();
    EXPECT_TRUE(std::filesystem::exists(dbf)) << e.Descreve();
    EXPECT_EQ(listados, QStringList{QStringLiteral("DADOS2020.DBF")}) << e.Descreve();
}

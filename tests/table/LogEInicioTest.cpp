#include "table/Inicio.h"
#include "table/LogExecucao.h"

#include <gtest/gtest.h>
#include <stdexcept>

namespace dorvan {
namespace {

TEST(LogExecucao, TextRoundTripsAndEveryChangeIsAnnounced) {
    LogExecucao log;
    int mudancas = 0;
    log.DefineAoMudar([&] { ++mudancas; });
    log.Acrescenta("Tabula\xE7\xE3o iniciada");
    log.Acrescenta("");
    log.Acrescenta("fim");
    EXPECT_EQ(log.Texto(), "Tabula\xE7\xE3o iniciada\r\n\r\nfim");
    LogExecucao outro;
    outro.DefineTexto(log.Texto());
    EXPECT_EQ(outro.Linhas(), log.Linhas());
    outro.DefineTexto("a\nb\rc\r\n");
    EXPECT_EQ(outro.Linhas(), (std::vector<std::string>{"a", "b", "c", ""}));
    outro.DefineTexto("");
    EXPECT_TRUE(outro.Linhas().empty());
    log.Limpa();
    EXPECT_EQ(mudancas, 4);
    EXPECT_FALSE(log.MostraAoAbrir());
}

// A window shows a long line cut with its length; what comes back from it
// unchanged keeps the whole line, an edited line is taken as typed.
TEST(LogExecucao, LongLinesShowCutAndComeBackWhole) {
    LogExecucao log;
    const std::string longa(5000, 'x');
    log.DefineLinhas({"antes", longa, "depois"});
    const std::string mostrado = log.TextoMostrado(10);
    EXPECT_EQ(mostrado, "antes\r\nxxxxxxxxxx ... (linha cortada: 5000 caracteres)\r\ndepois");
    log.DefineTextoMostrado("ANTES\nxxxxxxxxxx ... (linha cortada: 5000 caracteres)\ndepois\nnova", 10);
    EXPECT_EQ(log.Linhas(), (std::vector<std::string>{"ANTES", longa, "depois", "nova"}));
    log.DefineTextoMostrado("ANTES\nxxxx", 10);
    EXPECT_EQ(log.Linhas(), (std::vector<std::string>{"ANTES", "xxxx"}));
}

TEST(InicioPrograma, CreatesWindowsOnceInTheFixedOrderThenTheEngineThenSQL) {
    std::vector<std::string> eventos;
    InicioPrograma inicio;
    // Registered out of order on purpose: creation follows the program's order.
    for (const char* nome : {"TSimNao", "TLog", "TForm1", "TFEscolheDiretorio", "TInfo", "TEscolhe_Coluna"})
        inicio.RegistraJanela(nome, [&eventos, nome] { eventos.push_back(nome); });
    inicio.RegistraMotor([&] {
        eventos.push_back("motor");
        return 0;
    });
    inicio.RegistraSQL([&] { eventos.push_back("TfQuery"); }, [&] { eventos.push_back("bSQL"); });
    EXPECT_TRUE(inicio.Executa());
    EXPECT_EQ(eventos, (std::vector<std::string>{"TForm1", "TEscolhe_Coluna", "TInfo", "TLog", "TSimNao",
                                                 "TFEscolheDiretorio", "motor", "TfQuery", "bSQL"}));
    EXPECT_TRUE(inicio.Executa());
    EXPECT_EQ(eventos.size(), 9u); // nothing created twice
    EXPECT_EQ(inicio.Criadas().back(), "TfQuery");
}

TEST(InicioPrograma, WithoutTheEngineThereIsNoSQLWindowAndNoComplaint) {
    for (int resultado : {1, -1, 99}) {
        bool sql = false;
        InicioPrograma inicio;
        inicio.RegistraJanela("TForm1", [] {});
        inicio.RegistraMotor([resultado]() -> int {
            if (resultado == 99) throw std::runtime_error("sem motor");
            return resultado;
        });
        inicio.RegistraSQL([&] { sql = true; }, [&] { sql = true; });
        EXPECT_FALSE(inicio.Executa());
        EXPECT_FALSE(sql);
        EXPECT_EQ(inicio.Criadas(), std::vector<std::string>{"TForm1"});
    }
}

TEST(InicioPrograma, RefusesUnknownAndRepeatedWindows) {
    InicioPrograma inicio;
    EXPECT_THROW(inicio.RegistraJanela("TQualquer", [] {}), std::invalid_argument);
    inicio.RegistraJanela("TLog", [] {});
    EXPECT_THROW(inicio.RegistraJanela("TLog", [] {}), std::invalid_argument);
    EXPECT_EQ(OrdemJanelas().size(), 32u);
    EXPECT_EQ(OrdemJanelas().front(), "TForm1");
    EXPECT_EQ(OrdemJanelas().back(), "TfLigaCNV");
}

} // namespace
} // namespace dorvan

#include "query/ConfiguracaoConsulta.h"

#include "support/ApoioTeste.h"

#include <gtest/gtest.h>

namespace dorvan {
namespace {

TEST(LeLimitesConsulta, ReadsTheWindowBoundsOnceTheEngineStartedAndKeepsDefaultsOtherwise) {
    teste::PastaTemporaria pasta;
    Configuracao cfg;
    cfg.DirPrograma = pasta.Caminho().string() + "/";
    cfg.ArquivoIni = pasta / "usuario.ini"; // not written yet: the one beside the program counts
    const Limites projeto = cfg.FQuery;
    LeLimitesConsulta(cfg);
    EXPECT_EQ(cfg.FQuery.Width, projeto.Width);

    pasta.Grava("Dorvan.ini", "[fQuery]\r\nTop=5\r\nWidth=999\r\n");
    LeLimitesConsulta(cfg);
    EXPECT_EQ(cfg.FQuery.Top, 5);
    EXPECT_EQ(cfg.FQuery.Width, 999);
    EXPECT_EQ(cfg.FQuery.Left, projeto.Left);
    EXPECT_EQ(cfg.FQuery.Height, projeto.Height);

    pasta.Grava("usuario.ini", "[FQUERY]\r\nHeight=321\r\n");
    LeLimitesConsulta(cfg);
    EXPECT_EQ(cfg.FQuery.Height, 321);
    EXPECT_EQ(cfg.FQuery.Width, 999); // not in this file: what was there stays
}

} // namespace
} // namespace dorvan

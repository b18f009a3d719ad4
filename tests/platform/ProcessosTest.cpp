#include "platform/Processos.h"

#include "support/ApoioTeste.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <filesystem>
#include <thread>

namespace fs = std::filesystem;

namespace dorvan {
namespace {

// Names a shell would split, glob, expand or unquote: each must reach the
// program as one argument, byte for byte.
const std::vector<std::string> kNomesPerigosos = {
    "com brancos.dbf", "aspas \"duplas\".tab", "aspa 'simples'", "$HOME", "*.dbc", "a;b", "`x`", "barra\\invertida",
};

TEST(ExecutaComArgumentos, PassesEachArgumentWhole) {
    teste::PastaTemporaria pasta;
    auto r = ExecutaComArgumentos("touch", kNomesPerigosos, true, pasta.Caminho().string());
    ASSERT_TRUE(r.iniciou) << r.erro;
    EXPECT_EQ(r.codigoSaida, 0);
    for (const auto& n : kNomesPerigosos) EXPECT_TRUE(fs::exists(pasta.Caminho() / n)) << n;
    EXPECT_EQ(std::distance(fs::directory_iterator(pasta.Caminho()), fs::directory_iterator()),
              static_cast<long>(kNomesPerigosos.size()));
}

TEST(ExecutaComArgumentos, ReportsExitCodesAndStartFailures) {
    teste::PastaTemporaria pasta;
    const std::string naoExecutavel = pasta.Grava("dados.txt", "#!/bin/sh\n");
    struct Caso {
        std::string programa;
        std::vector<std::string> argumentos;
        bool iniciou;
        int codigoSaida, codigoErro;
    } casos[] = {
        {"true", {}, true, 0, 0},
        {"false", {}, true, 1, 0},
        {"sh", {"-c", "exit 7"}, true, 7, 0},
        {"sh", {"-c", "kill -9 $$"}, true, -1, 0},
        {"programa-que-nao-existe", {}, false, -1, ENOENT},
        {"/nao/existe/programa", {}, false, -1, ENOENT},
        {naoExecutavel, {}, false, -1, EACCES},
    };
    for (const auto& c : casos) {
        auto r = ExecutaComArgumentos(c.programa, c.argumentos, true);
        EXPECT_EQ(r.iniciou, c.iniciou) << c.programa;
        EXPECT_EQ(r.codigoSaida, c.codigoSaida) << c.programa;
        EXPECT_EQ(r.codigoErro, c.codigoErro) << c.programa;
        EXPECT_EQ(r.erro.empty(), c.iniciou) << c.programa;
    }
    auto r = ExecutaComArgumentos("true", {}, true, "/pasta/que/nao/existe");
    EXPECT_FALSE(r.iniciou);
    EXPECT_EQ(r.codigoErro, ENOENT);
}

TEST(ExecutaComArgumentos, KeepsCallingBackWhileWaiting) {
    int chamadas = 0;
    auto r = ExecutaComArgumentos("sleep", {"0.3"}, true, {}, [&] { ++chamadas; });
    EXPECT_EQ(r.codigoSaida, 0);
    EXPECT_GE(chamadas, 1);

    // An exception from the callback passes; the program still gets reaped.
    EXPECT_THROW(ExecutaComArgumentos("sleep", {"0.2"}, true, {}, [] { throw 1; }), int);
}

TEST(ExecutaComArgumentos, StartsWithoutWaitingAndInheritsNoOtherFiles) {
    teste::PastaTemporaria pasta;
    // The child lists its open descriptors: only 0, 1 and 2 (and the one ls opens itself).
    std::string saida = pasta / "fds.txt";
    auto r = ExecutaComArgumentos("sh", {"-c", "ls /proc/self/fd > \"$1\"; echo fim > \"$1.ok\"", "sh", saida}, false);
    ASSERT_TRUE(r.iniciou);
    EXPECT_EQ(r.codigoSaida, -1);
    for (int i = 0; i < 1000 && !fs::exists(saida + ".ok"); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    ASSERT_TRUE(fs::exists(saida + ".ok"));
    std::string fds = pasta.Le("fds.txt");
    EXPECT_TRUE(fds == "0\n1\n2\n" || fds == "0\n1\n2\n3\n") << fds;
}

TEST(AchaNoPath, FindsProgramsOnThePath) {
    EXPECT_EQ(AchaNoPath("sh").substr(0, 1), "/");
    EXPECT_EQ(AchaNoPath("programa-que-nao-existe"), "");
}

} // namespace
} // namespace dorvan

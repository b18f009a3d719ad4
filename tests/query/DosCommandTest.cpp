#include "query/DosCommand.h"

#include "support/ApoioTeste.h"

#include <QCoreApplication>
#include <QThread>
#include <gtest/gtest.h>

#include <chrono>
#include <signal.h>
#include <thread>

namespace dorvan {
namespace {

using namespace std::chrono_literals;

struct Evento {
    std::string linha;
    int tipo; // 0, 1; -1 for OnTerminated
    bool operator==(const Evento&) const = default;
};

std::ostream& operator<<(std::ostream& o, const Evento& e) { return o << "{\"" << e.linha << "\", " << e.tipo << "}"; }

// A runner that records its events and checks they arrive on this thread.
struct Gravador {
    TDosCommand cmd;
    std::vector<Evento> eventos;
    bool foraDaThread = false;

    Gravador() {
        teste::GaranteAplicacao();
        QThread* dono = QThread::currentThread();
        cmd.OnNewLine = [this, dono](TDosCommand& s, const std::string& l, int t) {
            foraDaThread |= QThread::currentThread() != dono || &s != &cmd;
            eventos.push_back({l, t});
        };
        cmd.OnTerminated = [this, dono](TDosCommand& s) {
            foraDaThread |= QThread::currentThread() != dono || &s != &cmd;
            eventos.push_back({"", -1});
        };
    }
    // Runs the window side until the end event has been delivered (or a long time passed).
    bool EsperaFim(std::chrono::seconds limite = 20s) {
        auto fim = std::chrono::steady_clock::now() + limite;
        while (cmd.Executando() && std::chrono::steady_clock::now() < fim) {
            QCoreApplication::processEvents();
            std::this_thread::sleep_for(2ms);
        }
        return !cmd.Executando();
    }
    void Roda(std::vector<std::string> linha) {
        cmd.CommandLine = std::move(linha);
        cmd.Execute();
        ASSERT_TRUE(EsperaFim());
    }
};

std::vector<std::string> Sh(const std::string& script) { return {"sh", "-c", script}; }

TEST(TDosCommand, OneReadOfLetterCrLfLetterGivesALineThenAPartialThenTheRestAtTheEnd) {
    Gravador g;
    g.Roda(Sh("printf 'a\\r\\nb'"));
    EXPECT_EQ(g.eventos, (std::vector<Evento>{{"a", 0}, {"b", 1}, {"b", 0}, {"", -1}}));
    EXPECT_EQ(g.cmd.Output(), (std::vector<std::string>{"a", "b"}));
    EXPECT_FALSE(g.foraDaThread);
}

TEST(TDosCommand, LineEndsAreCrLfCrOrLfAndNulBytesAreDropped) {
    struct Caso {
        const char* script;
        std::vector<std::string> linhas;
    };
    const Caso casos[] = {
        {"printf 'x\\ry\\r'", {"x", "y"}},
        {"printf 'x\\r\\ny\\r\\n'", {"x", "y"}},
        {"printf 'x\\n\\ny\\n'", {"x", "", "y"}},
        {"printf 'x\\r\\r\\n'", {"x", ""}},
        {"printf 'a\\000b\\n'", {"ab"}},
        // CR at the end of one write and LF at the start of the next are one line end.
        {"printf 'x\\r'; sleep 0.2; printf '\\ny\\n'", {"x", "y"}},
        // Standard error comes through the same pipe.
        {"echo out; echo err >&2", {"out", "err"}},
    };
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.script);
        Gravador g;
        g.Roda(Sh(c.script));
        EXPECT_EQ(g.cmd.Output(), c.linhas);
        EXPECT_EQ(g.eventos.back(), (Evento{"", -1}));
    }
}

TEST(TDosCommand, ManyLinesArriveInOrderAndAReRunStartsAFreshList) {
    Gravador g;
    g.Roda({"seq", "1", "5000"});
    ASSERT_EQ(g.cmd.Output().size(), 5000u);
    for (int i = 0; i < 5000; ++i)
        ASSERT_EQ(g.cmd.Output()[static_cast<std::size_t>(i)], std::to_string(i + 1));
    EXPECT_FALSE(g.foraDaThread);

    g.eventos.clear();
    g.Roda(Sh("echo de novo"));
    EXPECT_EQ(g.cmd.Output(), (std::vector<std::string>{"de novo"}));
    EXPECT_EQ(g.eventos, (std::vector<Evento>{{"de novo", 0}, {"", -1}}));
}

TEST(TDosCommand, AnAbsentProgramThrowsAndProducesNoEvents) {
    Gravador g;
    g.cmd.CommandLine = {"/nada/aqui/programa", "-x", "arq.xml"};
    try {
        g.cmd.Execute();
        ADD_FAILURE() << "no error";
    } catch (const TCreateProcessError& e) {
        EXPECT_STREQ(e.what(), "/nada/aqui/programa -x arq.xml doesn't exist.");
    }
    EXPECT_FALSE(g.cmd.Executando());
    for (int i = 0; i < 20; ++i) {
        QCoreApplication::processEvents();
        std::this_thread::sleep_for(2ms);
    }
    EXPECT_TRUE(g.eventos.empty());

    g.cmd.CommandLine.clear();
    g.cmd.Execute(); // nothing to run: nothing happens
    EXPECT_FALSE(g.cmd.Executando());
}

TEST(TDosCommand, ArgumentsReachTheProgramUnchanged) {
    Gravador g;
    g.Roda({"printf", "%s|%s\\n", "a b; rm -rf x", "$(echo n\xC3\xA3o)"});
    EXPECT_EQ(g.cmd.Output(), (std::vector<std::string>{"a b; rm -rf x|$(echo n\xC3\xA3o)"}));
}

TEST(TDosCommand, WithoutLimitsTheRunLastsAsLongAsTheProgram) {
    Gravador g;
    g.Roda(Sh("echo a; sleep 1.5; echo b"));
    EXPECT_EQ(g.cmd.Output(), (std::vector<std::string>{"a", "b"}));
}

TEST(TDosCommand, APassedLimitEndsTheRunAndStopsTheProgram) {
    Gravador g;
    g.cmd.MaxTimeAfterLastOutput = 1;
    g.Roda(Sh("echo a; printf 'meia'; sleep 60; echo b"));
    EXPECT_EQ(g.eventos, (std::vector<Evento>{{"a", 0}, {"meia", 1}, {"meia", 0}, {"", -1}}));
}

TEST(TDosCommand, TerminateKillsTheProgramAndStillDeliversTheEnd) {
    Gravador g;
    g.cmd.CommandLine = Sh("printf 'parcial'; sleep 60");
    g.cmd.Execute();
    auto limite = std::chrono::steady_clock::now() + 20s;
    while (g.eventos.empty() && std::chrono::steady_clock::now() < limite) {
        QCoreApplication::processEvents();
        std::this_thread::sleep_for(2ms);
    }
    g.cmd.Terminate();
    ASSERT_TRUE(g.EsperaFim());
    EXPECT_EQ(g.eventos, (std::vector<Evento>{{"parcial", 1}, {"parcial", 0}, {"", -1}}));
}

TEST(TDosCommand, QueuedInputIsSentAndCanBeEchoed) {
    Gravador g;
    g.cmd.InputToOutput = true;
    g.cmd.CommandLine = Sh("read x; echo \"got $x\"");
    g.cmd.Execute();
    g.cmd.EnviaEntrada("_ola");
    ASSERT_TRUE(g.EsperaFim());
    EXPECT_EQ(g.eventos, (std::vector<Evento>{{"ola", 0}, {"got ola", 0}, {"", -1}}));
    EXPECT_EQ(g.cmd.Output(), (std::vector<std::string>{"got ola"}));
}

TEST(TDosCommand, DestroyingARunningRunnerStopsTheProgram) {
    teste::GaranteAplicacao();
    auto cmd = std::make_unique<TDosCommand>();
    bool chamou = false;
    cmd->OnTerminated = [&](TDosCommand&) { chamou = true; };
    cmd->CommandLine = Sh("sleep 60");
    cmd->Execute();
    cmd.reset();
    QCoreApplication::processEvents();
    EXPECT_FALSE(chamou);
}

} // namespace
} // namespace dorvan

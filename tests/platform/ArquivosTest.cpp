#include "platform/Arquivos.h"

#include "platform/Erros.h"
#include "support/ApoioTeste.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace dorvan {
namespace {

std::vector<std::string> Conteudo(const teste::PastaTemporaria& pasta) {
    std::vector<std::string> nomes;
    for (const auto& e : fs::directory_iterator(pasta.Caminho())) nomes.push_back(e.path().filename().string());
    std::sort(nomes.begin(), nomes.end());
    return nomes;
}

TEST(ResolveNome, FindsFilesWhateverTheCaseAndTheSlashes) {
    teste::PastaTemporaria pasta;
    pasta.Grava("Dados/SIH/RDSP0801.dbc", "x");
    pasta.Grava("Dados/cnv/Sexo.CNV", "x");
    pasta.Grava("Dados/cnv/sexo.cnv", "y"); // two names differing only in case
    pasta.Grava("Dados/cnv/IDADE.cnv", "x");
    const std::string raiz = pasta.Caminho().string();
    struct Caso {
        std::string pedido, esperado;
    } casos[] = {
        {raiz + "/dados/sih/rdsp0801.DBC", raiz + "/Dados/SIH/RDSP0801.dbc"},
        {raiz + "\\DADOS\\Sih\\Rdsp0801.Dbc", raiz + "/Dados/SIH/RDSP0801.dbc"},
        {raiz + "/Dados/cnv/idade.CNV", raiz + "/Dados/cnv/IDADE.cnv"},
        {raiz + "/Dados/cnv/sexo.cnv", raiz + "/Dados/cnv/sexo.cnv"},     // the exact name wins
        {raiz + "/Dados/CNV/SEXO.CNV", raiz + "/Dados/cnv/Sexo.CNV"},     // else always the same one
        {raiz + "/dados/sih/../CNV/idade.cnv", raiz + "/Dados/SIH/../cnv/IDADE.cnv"},
        {raiz + "/dados/sih", raiz + "/Dados/SIH"},
        {raiz + "/dados/falta.dbc", ""},
        {raiz + "/dados/sih/rdsp0801.dbc/x", ""},
        {"", ""},
    };
    for (const auto& c : casos) EXPECT_EQ(ResolveNome(c.pedido), c.esperado) << c.pedido;

    // Relative names resolve from the current folder and stay relative.
    auto antes = fs::current_path();
    fs::current_path(pasta.Caminho());
    EXPECT_EQ(ResolveNome("DADOS\\sih\\rdsp0801.dbc"), "Dados/SIH/RDSP0801.dbc");
    fs::current_path(antes);
}

TEST(CasaCuringa, MatchesStarsAndQuestionMarksIgnoringCase) {
    struct Caso {
        const char *padrao, *nome;
        bool casa;
    } casos[] = {
        {"*.dbc", "RDSP0801.DBC", true}, {"RD??08*.DB?", "rdsp0801.dbf", true}, {"RD??08*.DB?", "rdsp0801.db", false},
        {"*", "", true},                 {"*", "qualquer", true},                {"", "", true},
        {"", "a", false},                {"a*b*c", "aXXbYYbZZc", true},         {"a*b*c", "aXXbYYbZZ", false},
        {"*.*", "semponto", true},      {"????", "abc", false},                {"*a", "banana", true},
        {"**x", "x", true},              {"DADOS.*", "dados", true},            {"DADOS.*", "dadosx", false},
        {"DADOS.*", "dados.dbf", true},              {"PA*", "pa\xC7O", true},              {"\xE7*", "\xC7", false},
    };
    for (const auto& c : casos) EXPECT_EQ(CasaCuringa(c.padrao, c.nome), c.casa) << c.padrao << " " << c.nome;
}

TEST(ListaArquivos, ListsMatchingRegularFilesByNameIgnoringCase) {
    teste::PastaTemporaria pasta;
    for (const char* n : {"rdsp0802.dbc", "RDSP0801.DBC", "Rdsp0803.dbc", "rdsp0801.dbc", "rdsp.txt", "b.DBC"})
        pasta.Grava(n, "x");
    fs::create_directory(pasta.Caminho() / "pasta.dbc");
    EXPECT_EQ(ListaArquivos(pasta.Caminho().string(), "*.DBC"),
              (std::vector<std::string>{"b.DBC", "RDSP0801.DBC", "rdsp0801.dbc", "rdsp0802.dbc", "Rdsp0803.dbc"}));
    EXPECT_EQ(ListaArquivos(pasta.Caminho().string(), "rdsp080?.dbc").size(), 4u);
    EXPECT_TRUE(ListaArquivos((pasta.Caminho() / "falta").string(), "*").empty());
}

TEST(GravacaoSegura, ReplacesTheFileOnlyWhenConfirmed) {
    teste::PastaTemporaria pasta;
    const std::string nome = pasta.Grava("TABELA.TAB", "antigo");
    ::chmod(nome.c_str(), 0640);

    { // abandoned: dropped without Confirma, as when an exception passes
        GravacaoSegura g(nome);
        g.Escreve("novo pela metade");
        EXPECT_EQ(Conteudo(pasta), std::vector<std::string>{"TABELA.TAB"}); // the new file has no name yet
    }
    EXPECT_EQ(pasta.Le("TABELA.TAB"), "antigo");
    EXPECT_EQ(Conteudo(pasta), std::vector<std::string>{"TABELA.TAB"});

    GravaArquivoInteiro(nome, std::string("novo\0com nulo", 13));
    EXPECT_EQ(pasta.Le("TABELA.TAB"), std::string("novo\0com nulo", 13));
    EXPECT_EQ(Conteudo(pasta), std::vector<std::string>{"TABELA.TAB"});
    struct stat st;
    ASSERT_EQ(::stat(nome.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u) << "a replaced file keeps its permissions";

    GravacaoSegura g(nome);
    g.Escreve("x");
    g.Abandona();
    EXPECT_THROW(g.Escreve("y"), ErroES);
    EXPECT_THROW(g.Confirma(), ErroES);
    EXPECT_EQ(pasta.Le("TABELA.TAB"), std::string("novo\0com nulo", 13));
}

TEST(GravacaoSegura, WritesThroughASymbolicLink) {
    teste::PastaTemporaria pasta;
    pasta.Grava("config/Dorvan.ini", "antigo");
    fs::create_symlink("config/Dorvan.ini", pasta.Caminho() / "Dorvan.ini");
    GravaArquivoInteiro(pasta / "Dorvan.ini", "novo");
    EXPECT_TRUE(fs::is_symlink(pasta.Caminho() / "Dorvan.ini"));
    EXPECT_EQ(pasta.Le("config/Dorvan.ini"), "novo");
}

// A disk that fills up mid-write: the file size limit makes the writes fail for real.
TEST(GravacaoSegura, AFailedWriteKeepsTheOldFileAndLeavesNoTemporary) {
    teste::PastaTemporaria pasta;
    const std::string nome = pasta.Grava("saida.csv", "antigo");
    const std::string grande(1 << 20, 'z');

    rlimit antes;
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &antes), 0);
    auto sinalAntes = std::signal(SIGXFSZ, SIG_IGN);
    rlimit pequeno = antes;
    pequeno.rlim_cur = 4096;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &pequeno), 0);
    std::string mensagem;
    try {
        GravaArquivoInteiro(nome, grande);
    } catch (const ErroES& e) {
        mensagem = e.what();
        EXPECT_EQ(e.Arquivo(), nome);
    }
    setrlimit(RLIMIT_FSIZE, &antes);
    std::signal(SIGXFSZ, sinalAntes);

    EXPECT_NE(mensagem.find(nome), std::string::npos) << mensagem;
    EXPECT_EQ(pasta.Le("saida.csv"), "antigo");
    EXPECT_EQ(Conteudo(pasta), std::vector<std::string>{"saida.csv"});
}

// Writes into a read-only folder; as root (CI) the check runs in a child that
// gives up root first, since root may write anywhere.
std::string GravaComoUsuarioComum(const std::string& nome) {
    if (geteuid() != 0) {
        try {
            GravaArquivoInteiro(nome, "novo");
        } catch (const ErroES& e) {
            return e.what();
        }
        return "gravou";
    }
    int canal[2];
    if (pipe(canal) != 0) return "pipe";
    pid_t pid = fork();
    if (pid == 0) {
        close(canal[0]);
        std::string r = "gravou";
        if (setgid(65534) != 0 || setuid(65534) != 0) {
            r = "setuid";
        } else {
            try {
                GravaArquivoInteiro(nome, "novo");
            } catch (const ErroES& e) {
                r = e.what();
            }
        }
        ssize_t n = write(canal[1], r.data(), r.size());
        _exit(n == static_cast<ssize_t>(r.size()) ? 0 : 1);
    }
    close(canal[1]);
    std::string r;
    char buf[512];
    ssize_t n;
    while ((n = read(canal[0], buf, sizeof buf)) > 0) r.append(buf, static_cast<size_t>(n));
    close(canal[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    return r;
}

TEST(GravacaoSegura, AReadOnlyFolderGivesAnErrorNamingTheFile) {
    teste::PastaTemporaria pasta;
    const std::string nome = pasta.Grava("Dorvan.ini", "[Opcoes]\r\n");
    ::chmod(pasta.Caminho().c_str(), 0555);
    const std::string mensagem = GravaComoUsuarioComum(nome);
    ::chmod(pasta.Caminho().c_str(), 0755);
    EXPECT_EQ(mensagem, "Erro de E/S em " + nome + ": acesso negado");
    EXPECT_EQ(pasta.Le("Dorvan.ini"), "[Opcoes]\r\n");
    EXPECT_EQ(Conteudo(pasta), std::vector<std::string>{"Dorvan.ini"});
}

TEST(PastaPrivada, MakesAFolderOfItsOwnAndRemovesItWithItsFiles) {
    teste::PastaTemporaria base;
    std::string caminho;
    {
        const PastaPrivada a(base.Caminho().string(), "dorvanX-");
        const PastaPrivada b(base.Caminho().string() + "/", "dorvanX-");
        caminho = a.Caminho();
        EXPECT_NE(a.Caminho(), b.Caminho());
        EXPECT_EQ(caminho.rfind(base.Caminho().string() + "/dorvanX-", 0), 0u) << caminho;
        EXPECT_EQ(caminho.size(), base.Caminho().string().size() + 16) << caminho;
        EXPECT_EQ(b.Caminho().size(), caminho.size()) << b.Caminho();
        EXPECT_TRUE(fs::is_directory(caminho));
        GravaArquivoInteiro(a / "x.txt", "abc");
        EXPECT_EQ(LeArquivoInteiro(caminho + "x.txt"), "abc");
    }
    EXPECT_FALSE(fs::exists(caminho));
    EXPECT_TRUE(fs::is_empty(base.Caminho()));
    const std::string sem = base / "nao-existe";
    EXPECT_THROW(PastaPrivada(sem, "dorvanX-"), ErroES);
}

// A folder taken away meanwhile (a cleaner of old temporary files) may come back as
// someone's link to another folder: removing ours must not empty that one.
TEST(PastaPrivada, ALinkPutInItsPlaceIsRemovedNotFollowed) {
    teste::PastaTemporaria base;
    const std::string alheia = base / "alheia";
    fs::create_directories(alheia);
    GravaArquivoInteiro(alheia + "/dados.txt", "dados do usuario");
    std::string caminho;
    {
        const PastaPrivada a(base.Caminho().string(), "dorvanX-");
        caminho = a.Caminho();
        fs::remove_all(caminho);
        fs::create_directory_symlink(alheia, caminho.substr(0, caminho.size() - 1));
    }
    EXPECT_EQ(LeArquivoInteiro(alheia + "/dados.txt"), "dados do usuario");
    EXPECT_FALSE(fs::exists(fs::symlink_status(caminho.substr(0, caminho.size() - 1))));
}

TEST(LeArquivoInteiro, ReadsBytesAndNamesAMissingFile) {
    teste::PastaTemporaria pasta;
    std::string bytes;
    for (int i = 0; i < 70000; ++i) bytes.push_back(static_cast<char>(i * 7));
    EXPECT_EQ(LeArquivoInteiro(pasta.Grava("a.bin", bytes)), bytes);
    try {
        LeArquivoInteiro(pasta / "falta.bin");
        FAIL();
    } catch (const ErroES& e) {
        EXPECT_EQ(e.Arquivo(), pasta / "falta.bin");
        EXPECT_STREQ(e.what(), ("Erro de E/S em " + (pasta / "falta.bin") + ": arquivo n\xE3o encontrado").c_str());
    }
    EXPECT_EQ(BarrasNormais("C:\\DADOS\\sih/x.dbc"), "C:/DADOS/sih/x.dbc");
}

} // namespace
} // namespace dorvan

namespace dorvan {
namespace {

// In a shared folder another user may plant a link under a name we are about to
// write: the link is replaced, what it points to is left alone.
TEST(GravacaoSegura, ALinkOfAnotherUserIsReplacedNotFollowed) {
    if (::geteuid() != 0) GTEST_SKIP() << "giving a link to another user needs root";
    teste::PastaTemporaria pasta;
    const std::string vitima = pasta.Grava("vitima.txt", "dados do usuario");
    const std::string ligacao = pasta / "ClipBoard.prn";
    fs::create_symlink(vitima, ligacao);
    ASSERT_EQ(::lchown(ligacao.c_str(), 12345, 12345), 0);
    GravaArquivoInteiro(ligacao, "tabela");
    EXPECT_FALSE(fs::is_symlink(ligacao));
    EXPECT_EQ(pasta.Le("ClipBoard.prn"), "tabela");
    EXPECT_EQ(pasta.Le("vitima.txt"), "dados do usuario");
}

TEST(PastaDaExecucao, OneFolderOfTheUserOnlyForTheWholeRun) {
    // Gone when the program ends.
    std::string pasta;
    int p[2];
    ASSERT_EQ(::pipe(p), 0);
    const pid_t filho = ::fork();
    if (filho == 0) {
        const std::string c = PastaDaExecucao();
        GravaArquivoInteiro(c + "tabela.htm", "x");
        (void)!::write(p[1], c.data(), c.size());
        std::exit(0);
    }
    ::close(p[1]);
    char buf[4096];
    ssize_t n;
    while ((n = ::read(p[0], buf, sizeof buf)) > 0)
        pasta.append(buf, static_cast<std::size_t>(n));
    ::close(p[0]);
    int estado = 0;
    ASSERT_EQ(::waitpid(filho, &estado, 0), filho);
    ASSERT_FALSE(pasta.empty());
    EXPECT_FALSE(fs::exists(pasta));

    const std::string a = PastaDaExecucao();
    EXPECT_EQ(a, PastaDaExecucao());
    EXPECT_EQ(a.back(), '/');
    struct stat st {};
    ASSERT_EQ(::lstat(a.c_str(), &st), 0);
    EXPECT_TRUE(S_ISDIR(st.st_mode));
    EXPECT_EQ(st.st_mode & 0777, 0700u);
    EXPECT_EQ(st.st_uid, ::geteuid());
}

TEST(GravacaoSegura, AnInterruptedProcessLeavesNoTemporary) {
    for (int sinal : {SIGINT, SIGTERM}) {
        teste::PastaTemporaria pasta;
        pasta.Grava("x.dbc", "antigo");
        const pid_t filho = ::fork();
        if (filho == 0) {
            RemoveTemporariosAoInterromper();
            GravacaoSegura g(pasta / "x.dbc");
            g.Escreve("metade");
            std::fflush(g.Arquivo());
            ::raise(sinal);
            std::_Exit(3);
        }
        int estado = 0;
        ASSERT_EQ(::waitpid(filho, &estado, 0), filho);
        EXPECT_TRUE(WIFSIGNALED(estado) && WTERMSIG(estado) == sinal) << estado;
        EXPECT_EQ(Conteudo(pasta), std::vector<std::string>{"x.dbc"});
        EXPECT_EQ(pasta.Le("x.dbc"), "antigo");
    }
}

// kill -9 gives no chance to clean up: still no temporary may be left, and the old
// file stays whole.
TEST(GravacaoSegura, AKilledWriterLeavesNoTemporary) {
    for (bool existe : {true, false}) {
        teste::PastaTemporaria pasta;
        if (existe) pasta.Grava("t.tab", "antigo");
        const bool morto = teste::MataDuranteTrabalho([&](int avisa) {
            GravacaoSegura g(pasta / "t.tab");
            g.Escreve("metade");
            std::fflush(g.Arquivo());
            if (::write(avisa, "x", 1) != 1) return;
            ::pause();
        });
        ASSERT_TRUE(morto);
        const std::vector<std::string> ficam = existe ? std::vector<std::string>{"t.tab"} : std::vector<std::string>{};
        EXPECT_EQ(Conteudo(pasta), ficam);
        if (existe) {
            EXPECT_EQ(pasta.Le("t.tab"), "antigo");
        }
    }
}

// The user's protection holds for the administrator too, who could write anything.
TEST(GravacaoSegura, AFileMadeReadOnlyIsRefusedAndKept) {
    teste::PastaTemporaria pasta;
    const std::string nome = pasta.Grava("x.dbc", "antigo");
    ::chmod(nome.c_str(), 0444);
    try {
        GravaArquivoInteiro(nome, "novo");
        ADD_FAILURE() << "replaced a read-only file";
    } catch (const ErroES& e) {
        EXPECT_EQ(e.Arquivo(), nome);
    }
    EXPECT_EQ(pasta.Le("x.dbc"), "antigo");
    EXPECT_EQ(Conteudo(pasta), std::vector<std::string>{"x.dbc"});
    ::chmod(nome.c_str(), 0644);
    GravaArquivoInteiro(nome, "novo");
    EXPECT_EQ(pasta.Le("x.dbc"), "novo");
}

TEST(PastaDaExecucao, RemovedWithItsFilesWhenTheRunIsInterrupted) {
    for (int sinal : {SIGINT, SIGTERM}) {
        int canal[2];
        ASSERT_EQ(::pipe(canal), 0);
        const pid_t filho = ::fork();
        if (filho == 0) {
            ::close(canal[0]);
            RemoveTemporariosAoInterromper();
            const std::string p = PastaDaExecucao();
            GravaArquivoInteiro(p + "clipboard.tab", "tabela");
            fs::create_directories(p + "r/saida");
            GravaArquivoInteiro(p + "r/saida/grafico.png", "png");
            const std::string nome = p + "\n";
            if (::write(canal[1], nome.data(), nome.size()) < 0) std::_Exit(4);
            ::raise(sinal);
            std::_Exit(3);
        }
        ::close(canal[1]);
        std::string pasta;
        char c;
        while (::read(canal[0], &c, 1) == 1 && c != '\n') pasta += c;
        ::close(canal[0]);
        int estado = 0;
        ASSERT_EQ(::waitpid(filho, &estado, 0), filho);
        EXPECT_TRUE(WIFSIGNALED(estado) && WTERMSIG(estado) == sinal) << estado;
        ASSERT_FALSE(pasta.empty());
        EXPECT_FALSE(fs::exists(fs::symlink_status(pasta.substr(0, pasta.size() - 1)))) << pasta;
    }
}

TEST(TrocaExtensao, ReplacesOnlyTheExtensionOfTheFileName) {
    EXPECT_EQ(TrocaExtensao("DADOS.DBF", ".dbc"), "DADOS.dbc");
    EXPECT_EQ(TrocaExtensao("a.b.dbf", ".csv"), "a.b.csv");
    EXPECT_EQ(TrocaExtensao("sem", ".csv"), "sem.csv");
    EXPECT_EQ(TrocaExtensao("pasta.v2/sem", ".csv"), "pasta.v2/sem.csv");
    EXPECT_EQ(TrocaExtensao("pasta.v2/x.dbf", ".sql"), "pasta.v2/x.sql");
}

TEST(NomeDeSaida, AnExistingFileOfAnotherCaseIsTheOneReplaced) {
    teste::PastaTemporaria pasta;
    pasta.Grava("X.DBC", "");
    EXPECT_EQ(NomeDeSaida(pasta.Caminho().string(), "X.dbc"), "X.DBC");
    EXPECT_EQ(NomeDeSaida(pasta.Caminho().string(), "Y.dbc"), "Y.dbc");
}

} // namespace
} // namespace dorvan

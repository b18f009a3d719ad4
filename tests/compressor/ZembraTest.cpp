#include "compressor/Zembra.h"

#include "platform/Numeros.h"
#include "support/ApoioTeste.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace dorvan {
namespace {

using teste::PastaTemporaria;
namespace fs = std::filesystem;

const std::string ZEMBRA = DORVAN_BINARY_DIR "/bin/zembra";
const std::string BANNER = "Kalvero Zembra 1.0: Comprime arquivos DBF e Expande arquivos DBC\n";
const std::string CABECA =
    std::string(71, '-') + "\n                regs       bytes arquivo\n" + std::string(71, '-') + "\n";

// A small DBF: one 10-byte text field, n records of repetitive text (11 bytes each).
std::string DBF(int n) {
    std::string s(65, '\0');
    s[0] = 0x03;
    s[1] = 24;
    s[2] = 1;
    s[3] = 2;
    s[4] = static_cast<char>(n);
    s[8] = 65;
    s[10] = 11;
    s.replace(32, 4, "NOME");
    s[43] = 'C';
    s[48] = 10;
    s[64] = 0x0D;
    for (int i = 0; i < n; ++i)
        s += " REGISTRO" + std::to_string(i % 10) + " ";
    return s + '\x1A';
}

// What a terminal shows: each backspace takes back the character before it.
std::string NaTela(const std::string& s) {
    std::string r;
    for (char c : s) {
        if (c == '\b') {
            if (!r.empty() && r.back() != '\n') r.pop_back();
        } else {
            r += c;
        }
    }
    return r;
}

int Roda(const PastaTemporaria& pasta, const std::string& argumentos, std::string* saida) {
    return teste::Executa("cd '" + pasta.Caminho().string() + "' && '" + ZEMBRA + "' " + argumentos + " 2>&1", saida);
}

std::string Num(std::uint64_t v, std::size_t largura) {
    std::string s = std::to_string(v);
    return std::string(largura > s.size() ? largura - s.size() : 0, ' ') + s;
}

std::string Pct(double v, std::size_t largura) {
    std::string s = NumeroMaquina(v, 2);
    return std::string(largura > s.size() ? largura - s.size() : 0, ' ') + s;
}

TEST(Zembra, CompressesIntoANewFolderThenExpandsAndTests) {
    PastaTemporaria pasta;
    std::string a = DBF(3), b = DBF(200);
    pasta.Grava("A.DBF", a);
    pasta.Grava("b.dbf", b);
    std::string saida;
    ASSERT_EQ(Roda(pasta, "A.DBF b.dbf saida/comp", &saida), 0) << saida;
    auto tamA = fs::file_size(pasta / "saida/comp/A.dbc"), tamB = fs::file_size(pasta / "saida/comp/b.dbc");
    EXPECT_EQ(NaTela(saida), BANNER + "Criando diret\xC3\xB3rio saida/comp\n" + CABECA + "DBF ==> DBC        3" +
                                 Num(a.size(), 12) + " A.DBF " + Pct(tamA * 100.0 / a.size(), 6) + "% OK\n" +
                                 "DBF ==> DBC      200" + Num(b.size(), 12) + " b.dbf " +
                                 Pct(tamB * 100.0 / b.size(), 6) + "% OK\n");
    // Progress overwrites itself: the raw text carries the backspaces.
    EXPECT_NE(saida.find(" ......\b\b\b\b\b\b"), std::string::npos);

    ASSERT_EQ(Roda(pasta, "'SAIDA/Comp/*.DBC' volta", &saida), 0) << saida; // folder and pattern ignore case
    EXPECT_EQ(pasta.Le("volta/A.dbf"), a);
    EXPECT_EQ(pasta.Le("volta/b.dbf"), b);
    EXPECT_EQ(NaTela(saida), BANNER + "Criando diret\xC3\xB3rio volta\n" + CABECA + "DBC ==> DBF        3" +
                                 Num(tamA, 12) + " A.dbc " + Pct(a.size() * 100.0 / tamA, 7) + "% OK\n" +
                                 "DBC ==> DBF      200" + Num(tamB, 12) + " b.dbc " + Pct(b.size() * 100.0 / tamB, 7) +
                                 "% OK\n");

    // -t writes nothing at all.
    fs::remove_all(pasta / "volta");
    ASSERT_EQ(Roda(pasta, "saida/comp/A.dbc -T", &saida), 0) << saida;
    EXPECT_EQ(NaTela(saida), BANNER + CABECA + "DBC ==> DBF        3" + Num(tamA, 12) + " A.dbc  CRC OK\n");
    EXPECT_FALSE(fs::exists(pasta / "volta"));
    EXPECT_FALSE(fs::exists(pasta / "A.dbf"));
}

TEST(Zembra, ExitCodesAndFailureLines) {
    PastaTemporaria pasta;
    std::string saida;
    pasta.Grava("ok.dbf", DBF(20));
    ASSERT_EQ(Roda(pasta, "ok.dbf", &saida), 0) << saida;
    // A pattern matching both kinds converts each in its own direction, once.
    fs::create_directory(pasta / "mix");
    fs::rename(pasta / "ok.dbc", pasta / "mix/ok2.dbc");
    fs::copy_file(pasta / "ok.dbf", pasta / "mix/ok1.dbf");
    ASSERT_EQ(Roda(pasta, "'mix/*.db?' mix", &saida), 0) << saida;
    std::string tela = NaTela(saida);
    EXPECT_NE(tela.find("DBC ==> DBF       20"), std::string::npos);
    EXPECT_NE(tela.find("DBF ==> DBC       20"), std::string::npos);
    EXPECT_EQ(std::count(tela.begin(), tela.end(), '\n'), 6) << tela; // banner, head, two files
    EXPECT_TRUE(fs::exists(pasta / "mix/ok1.dbc"));
    EXPECT_TRUE(fs::exists(pasta / "mix/ok2.dbf"));
    // With -t the same pattern only checks the DBC files: no DBF is compressed.
    ASSERT_EQ(Roda(pasta, "'mix/*.db?' -t", &saida), 0) << saida;
    tela = NaTela(saida);
    EXPECT_EQ(tela.find("DBF ==> DBC"), std::string::npos) << tela;
    EXPECT_NE(tela.find(" ok1.dbc  CRC OK\n"), std::string::npos) << tela;
    EXPECT_NE(tela.find(" ok2.dbc  CRC OK\n"), std::string::npos) << tela;
    EXPECT_FALSE(fs::exists(pasta / "ok1.dbc"));
    EXPECT_FALSE(fs::exists(pasta / "ok2.dbc"));

    // A CRC mismatch: exit 1, its line, no output.
    std::string dbc = pasta.Le("mix/ok1.dbc");
    dbc[65] = static_cast<char>(dbc[65] ^ 0x40);
    pasta.Grava("ruim.dbc", dbc);
    EXPECT_EQ(Roda(pasta, "ruim.dbc", &saida), 1);
    EXPECT_NE(NaTela(saida).find(" ruim.dbc "), std::string::npos);
    EXPECT_NE(NaTela(saida).find("% Erro de CRC: expansao cancelada\n"), std::string::npos) << NaTela(saida);
    EXPECT_FALSE(fs::exists(pasta / "ruim.dbf"));
    EXPECT_EQ(Roda(pasta, "ruim.dbc -t", &saida), 1);
    EXPECT_NE(NaTela(saida).find("  CRC Erro de CRC: expansao cancelada\n"), std::string::npos) << NaTela(saida);

    // A damaged stream with a good CRC field cannot happen by chance; a cut file is both.
    pasta.Grava("curto.dbc", dbc.substr(0, 80));
    EXPECT_EQ(Roda(pasta, "curto.dbc", &saida), 1);
    EXPECT_FALSE(fs::exists(pasta / "curto.dbf"));

    // Nothing found: its line and exit 2.
    EXPECT_EQ(Roda(pasta, "'nada*.dbf'", &saida), 2);
    EXPECT_EQ(saida, BANNER + CABECA + "Arquivo nada*.dbf nao encontrado.\n");

    // An output folder that cannot be made is an input/output error.
    pasta.Grava("arquivo", "x");
    EXPECT_EQ(Roda(pasta, "ok.dbf arquivo/sub", &saida), 2);
}

// As on the system the files come from, X.dbc and X.DBC are one file: the old one
// is overwritten, never joined by a second.
TEST(Zembra, AnOutputOfAnotherCaseIsOverwritten) {
    PastaTemporaria pasta;
    const std::string dbf = DBF(30);
    pasta.Grava("X.DBF", dbf);
    pasta.Grava("X.DBC", "velho");
    pasta.Grava("saida/x.dbf", "velho");
    std::string saida;
    ASSERT_EQ(Roda(pasta, "X.DBF", &saida), 0) << saida;
    std::vector<std::string> nomes;
    for (const auto& e : fs::directory_iterator(pasta.Caminho()))
        nomes.push_back(e.path().filename().string());
    std::sort(nomes.begin(), nomes.end());
    EXPECT_EQ(nomes, (std::vector<std::string>{"X.DBC", "X.DBF", "saida"}));
    EXPECT_NE(pasta.Le("X.DBC"), "velho");
    ASSERT_EQ(Roda(pasta, "X.DBC saida", &saida), 0) << saida;
    EXPECT_EQ(pasta.Le("saida/x.dbf"), dbf);
    EXPECT_FALSE(fs::exists(pasta / "saida/X.dbf"));
}

// However short a cut DBC is, it is one file's failure: the walk goes on.
TEST(Zembra, ACutDbcIsAFileErrorWhateverItsLength) {
    PastaTemporaria pasta;
    pasta.Grava("b.dbf", DBF(20));
    std::string saida;
    ASSERT_EQ(Roda(pasta, "b.dbf", &saida), 0) << saida;
    const std::string dbc = pasta.Le("b.dbc");
    for (std::size_t corte : {0, 7, 20, 40, 70}) {
        SCOPED_TRACE(corte);
        pasta.Grava("a.dbc", dbc.substr(0, corte));
        EXPECT_EQ(Roda(pasta, "'*.dbc'", &saida), 1) << saida;
        const std::string tela = NaTela(saida);
        const std::size_t linha = tela.find(" a.dbc ");
        ASSERT_NE(linha, std::string::npos) << tela;
        EXPECT_EQ(tela.substr(tela.find('%', linha)),
                  "% Erro de CRC: expansao cancelada\n" + tela.substr(tela.find("DBC ==> DBF", linha)))
            << tela;
        EXPECT_NE(tela.find(" b.dbc "), std::string::npos) << tela;
        EXPECT_FALSE(fs::exists(pasta / "a.dbf"));
        EXPECT_EQ(pasta.Le("b.dbf"), DBF(20));
    }
}

// Interrupted mid-file, Zembra leaves no half-written temporary beside its outputs.
TEST(Zembra, AnInterruptedRunLeavesNoTemporary) {
    PastaTemporaria pasta;
    {
        std::string s = DBF(0);
        s.pop_back();
        std::uint32_t x = 12345;
        std::string reg(11, ' ');
        const std::uint32_t n = 4'000'000;
        s.reserve(s.size() + 11u * n + 1);
        for (std::uint32_t i = 0; i < n; ++i) {
            for (std::size_t k = 1; k < reg.size(); ++k) {
                x = x * 1103515245u + 12345u;
                reg[k] = static_cast<char>('A' + ((x >> 16) % 26));
            }
            s += reg;
        }
        s[4] = static_cast<char>(n & 0xFF);
        s[5] = static_cast<char>((n >> 8) & 0xFF);
        s[6] = static_cast<char>((n >> 16) & 0xFF);
        pasta.Grava("grande.dbf", s + '\x1A');
    }
    pasta.Grava("grande.dbc", "anterior");
    // kill -9 included: no chance to clean up, and still nothing may be left.
    for (int sinal : {SIGINT, SIGTERM, SIGKILL}) {
        SCOPED_TRACE(sinal);
        const pid_t filho = ::fork();
        if (filho == 0) {
            if (::chdir(pasta.Caminho().c_str()) != 0) std::_Exit(9);
            const int nulo = ::open("/dev/null", O_WRONLY);
            ::dup2(nulo, 1);
            ::execl(ZEMBRA.c_str(), "zembra", "grande.dbf", static_cast<char*>(nullptr));
            std::_Exit(9);
        }
        auto temporarios = [&] {
            int n = 0;
            for (const auto& e : fs::directory_iterator(pasta.Caminho()))
                if (e.path().filename().string().rfind(".grande.dbc.", 0) == 0) ++n;
            return n;
        };
        // The output is being written once the run holds a file of the folder open
        // besides its input (with or without a name).
        auto escrevendo = [&] {
            std::error_code ec;
            for (const auto& e : fs::directory_iterator("/proc/" + std::to_string(filho) + "/fd", ec)) {
                std::error_code ec2;
                const std::string alvo = fs::read_symlink(e.path(), ec2).string();
                if (!ec2 && alvo.rfind(pasta.Caminho().string() + "/", 0) == 0 && alvo.find("grande.dbf") == std::string::npos)
                    return true;
            }
            return false;
        };
        bool visto = false;
        for (int i = 0; i < 20000 && !visto; ++i) {
            visto = escrevendo();
            if (!visto) ::usleep(500);
        }
        ::usleep(20000);
        ::kill(filho, sinal);
        int estado = 0;
        ASSERT_EQ(::waitpid(filho, &estado, 0), filho);
        if (!visto || !WIFSIGNALED(estado)) GTEST_SKIP() << "the run ended before it could be interrupted";
        EXPECT_EQ(WTERMSIG(estado), sinal);
        EXPECT_EQ(temporarios(), 0);
        EXPECT_EQ(pasta.Le("grande.dbc"), "anterior");
    }
}

TEST(Zembra, InProcessRunWritesUtf8Usage) {
    std::FILE* f = std::tmpfile();
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(zembra::Executa({}, f, f), 0);
    std::rewind(f);
    char buf[512] = {};
    std::size_t n = std::fread(buf, 1, sizeof buf, f);
    std::fclose(f);
    EXPECT_EQ(std::string(buf, n), BANNER + "Sintaxe:\nZembra <Especifica\xC3\xA7"
                                            "ao de arquivos> [<Diret\xC3\xB3rio de sa\xC3\xAD"
                                            "da>|-t]\n"
                                            "Op\xC3\xA7"
                                            "ao -t: Testa integridade do CRC em arquivos DBC, sem expandi-los \n");
}

} // namespace
} // namespace dorvan

namespace dorvan {
namespace {

// A DBF whose header counts more records than its data holds (cut short, or shrunk
// while read) would give a DBC that promises records its stream lacks.
TEST(Zembra, ADbfShortOfItsHeaderCountFailsAndWritesNoDbc) {
    PastaTemporaria pasta;
    std::string curto = DBF(5);
    curto.resize(curto.size() - 1 - 2 * 11); // two records and the end byte gone
    pasta.Grava("curto.dbf", curto);
    pasta.Grava("inteiro.dbf", DBF(5));
    std::string out;
    EXPECT_EQ(Roda(pasta, "curto.dbf", &out), 1);
    EXPECT_NE(out.find("Erro na compressao dos dados no arquivo curto.dbf!\n"), std::string::npos) << out;
    EXPECT_EQ(out.find(" OK"), std::string::npos) << out;
    EXPECT_FALSE(fs::exists(pasta / "curto.dbc"));
    EXPECT_EQ(Roda(pasta, "inteiro.dbf", &out), 0) << out;
    EXPECT_TRUE(fs::exists(pasta / "inteiro.dbc"));
}

// 'x.*' over X.DBF and an older X.DBC: expanding one over the other would lose the
// newer records. A file that is an input of the run is never its output.
TEST(Zembra, AnOutputThatIsAnInputOfTheRunIsSkipped) {
    PastaTemporaria pasta;
    pasta.Grava("X.DBF", DBF(3));
    std::string out;
    ASSERT_EQ(Roda(pasta, "X.DBF", &out), 0) << out;
    const std::string velho = pasta.Le("X.dbc");
    pasta.Grava("X.DBF", DBF(7)); // newer data since
    EXPECT_EQ(Roda(pasta, "'X.*'", &out), 1);
    EXPECT_EQ(pasta.Le("X.DBF"), DBF(7));
    EXPECT_EQ(pasta.Le("X.dbc"), velho);
    EXPECT_EQ(out.find(" OK"), std::string::npos) << out;
    EXPECT_NE(out.find("X.DBF"), std::string::npos) << out;
    EXPECT_NE(out.find("X.dbc"), std::string::npos) << out;
    // Into another folder nothing is an input: both are converted.
    EXPECT_EQ(Roda(pasta, "'X.*' saida", &out), 0) << out;
    EXPECT_EQ(pasta.Le("saida/X.dbf"), DBF(3));
}

TEST(Zembra, AReadOnlyOutputIsRefusedAndKept) {
    PastaTemporaria pasta;
    pasta.Grava("x.dbf", DBF(3));
    const std::string dbc = pasta.Grava("x.dbc", "protegido");
    ::chmod(dbc.c_str(), 0444);
    std::string out;
    EXPECT_EQ(Roda(pasta, "x.dbf", &out), 2);
    EXPECT_EQ(pasta.Le("x.dbc"), "protegido");
    EXPECT_NE(out.find("x.dbc"), std::string::npos) << out;
    std::vector<std::string> nomes;
    for (const auto& e : fs::directory_iterator(pasta.Caminho()))
        nomes.push_back(e.path().filename().string());
    std::sort(nomes.begin(), nomes.end());
    EXPECT_EQ(nomes, (std::vector<std::string>{"x.dbc", "x.dbf"}));
}

// A full disk: the message is Portuguese, names the output the user asked for, and
// no temporary stays on the disk.
TEST(Zembra, AFullDiskSaysSoInPortugueseAndLeavesNothing) {
    teste::DiscoPequeno disco(64 * 1024);
    DORVAN_PULA_SEM_DISCO(disco);
    PastaTemporaria pasta;
    std::string grande = DBF(0);
    grande.pop_back();
    std::uint32_t x = 7;
    const std::uint32_t n = 60000;
    for (std::uint32_t i = 0; i < n; ++i) {
        std::string reg(11, ' ');
        for (std::size_t k = 1; k < reg.size(); ++k) {
            x = x * 1103515245u + 12345u;
            reg[k] = static_cast<char>('A' + ((x >> 16) % 26));
        }
        grande += reg;
    }
    grande[4] = static_cast<char>(n & 0xFF);
    grande[5] = static_cast<char>((n >> 8) & 0xFF);
    pasta.Grava("grande.dbf", grande + '\x1A');
    std::string out;
    EXPECT_EQ(Roda(pasta, "grande.dbf '" + disco.Caminho().string() + "'", &out), 2);
    EXPECT_NE(out.find("Erro de E/S em " + (disco / "grande.dbc") + ": disco cheio\n"), std::string::npos) << out;
    EXPECT_EQ(disco.Nomes(), std::vector<std::string>{});
}

} // namespace
} // namespace dorvan

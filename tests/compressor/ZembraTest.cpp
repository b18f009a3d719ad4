#include "compressor/Zembra.h"

#include "platform/Numeros.h"
#include "support/ApoioTeste.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace dorvan {
namespace {

using teste::PastaTemporaria;
namespace fs = std::filesystem;

const std::string ZEMBRA = DORVAN_BINARY_DIR "/bin/zembra";
const std::string BANNER = "Kalvero Zembra 1.0: Comprime arquivos DBF e Expande arquivos DBC\n";
const std::string CABECA =
    std::string(71, '-') + "\n                regs       bytes arquivo\n" + std::string(71, '-') + "\n";

// A small DBF: one 10-byte text field, n records of repetitive text.
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
        s += " REGISTRO" + std::to_string(i % 10);
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

#include "data/LeDBF32.h"

#include "data/ArquivosDBFTeste.h"
#include "platform/Erros.h"
#include "platform/Mensagens.h"
#include "support/ApoioTeste.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <random>
#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace dorvan {
namespace {

using teste::CampoBruto;
using teste::MontaDBF;
using teste::OpcoesDBF;
using teste::PastaTemporaria;

std::string Rec(const dbfRecord& h) { return std::string(h.RegistroAtual, h.TamRegistro); }

TEST(OpenDBF, FieldCountFollowsTheHeaderLengthForEachVersion) {
    struct Caso {
        std::uint8_t versao;
        int campos;
        int extras;
        int esperado;
        bool terminador = true;
    } casos[] = {
        // Without a terminator the header length alone decides.
        {0x30, 2, 0, 2, false},
        {0x03, 2, 0, 2, false},
        {0x03, 1, 0, 1},
        {0x03, 3, 0, 3},
        {0x83, 2, 0, 2},
        {0x30, 1, 0, 1},
        {0x30, 4, 0, 4},
        // Padding after the terminator does not turn into fields.
        {0x03, 2, 64, 2},
        {0x03, 0, 0, 0},
        {0x30, 3, 32, 3},
    };
    PastaTemporaria pasta;
    for (const auto& c : casos) {
        std::vector<CampoBruto> campos;
        for (int i = 0; i < c.campos; ++i)
            campos.push_back({"F" + std::to_string(i), 'C', 3});
        OpcoesDBF o;
        o.versao = c.versao;
        o.bytesExtrasCabecalho = c.extras;
        o.terminador = c.terminador;
        std::string bytes = MontaDBF(campos, {}, o);
        auto nome = pasta.Grava("v.dbf", bytes);
        dbfRecord h;
        OpenDBF(h, nome);
        ASSERT_EQ(h.Estado, 1);
        EXPECT_EQ(h.NumCampos, c.esperado) << "version " << int(c.versao) << " fields " << c.campos;
        EXPECT_EQ(h.TamCabecalho, static_cast<int>(bytes.size()) - 1);
        EXPECT_EQ(h.ComMemo, c.versao == 0x83);
        for (int i = 1; i <= h.NumCampos; ++i) {
            EXPECT_EQ(h.Campo(i).Nome, "F" + std::to_string(i - 1));
            EXPECT_EQ(h.Campo(i).Deslocamento, 1 + 3 * (i - 1));
        }
        CloseDBF(h);
    }
}

TEST(OpenDBF, YearByteReadsIntoFourDigits) {
    struct Caso {
        std::uint8_t ano;
        const char* data;
    } casos[] = {{5, "20050307"},  {105, "20050307"}, {99, "19990307"},
                 {50, "20500307"}, {51, "19510307"},  {0, "20000307"}};
    PastaTemporaria pasta;
    for (const auto& c : casos) {
        OpcoesDBF o;
        o.ano = c.ano;
        auto nome = pasta.Grava("d.dbf", MontaDBF({{"A", 'C', 1}}, {}, o));
        dbfRecord h;
        OpenDBF(h, nome);
        EXPECT_EQ(h.Data, c.data) << int(c.ano);
    }
}

TEST(OpenDBF, LoadsHeaderValuesFieldsAndRecords) {
    PastaTemporaria pasta;
    OpcoesDBF o;
    o.idioma = 0x25;
    auto nome = pasta.Grava("x.dbf", MontaDBF({{"CODIGO", 'C', 6}, {"VALOR", 'N', 8, 2}, {"NASC", 'D', 8}},
                                              {"ABC123   12.5020240101", "*DEF456   -3.0019991231"}, o));
    dbfRecord h;
    OpenDBF(h, nome);
    ASSERT_EQ(h.Estado, 1);
    EXPECT_EQ(h.Nome, nome);
    EXPECT_EQ(h.NumRegs, 2);
    EXPECT_EQ(h.TamRegistro, 23);
    EXPECT_EQ(h.Idioma, 0x25);
    EXPECT_EQ(h.Campo(2).Tipo, 'N');
    EXPECT_EQ(h.Campo(2).Decimais, 2);
    EXPECT_EQ(h.Campo(3).Deslocamento, 15);
    readDBF(h, 1);
    EXPECT_EQ(h.NumRegAtual, 1);
    EXPECT_EQ(h.RegistroAtual[0], ' ');
    EXPECT_EQ(GetFieldDBF(h, 1), "ABC123");
    EXPECT_EQ(GetFieldDBF(h, 2), "   12.50");
    readDBF(h, 2);
    // A deleted record is delivered like the others: the flag is the caller's business.
    EXPECT_EQ(h.RegistroAtual[0], '*');
    EXPECT_EQ(GetFieldDBF(h, 1), "DEF456");
    EXPECT_EQ(GetFieldDBF(h, 3), "19991231");
    CloseDBF(h);
    EXPECT_EQ(h.Estado, 0);
}

TEST(OpenDBF, LanguageByteTellsWhetherTextIsCodePage850) {
    struct Caso {
        std::uint8_t idioma;
        bool ajuste, esperado;
    } casos[] = {{2, false, true},  {0x25, false, true}, {0, true, true},
                 {0, false, false}, {3, true, false},    {0x57, true, false}};
    for (const auto& c : casos) {
        dbfRecord h;
        h.Idioma = c.idioma;
        EXPECT_EQ(TextoEmCP850(h, c.ajuste), c.esperado) << int(c.idioma) << " " << c.ajuste;
    }
}

TEST(OpenDBF, NameIsFoundIgnoringCase) {
    PastaTemporaria pasta;
    pasta.Grava("DOBR2301.DBF", MontaDBF({{"A", 'C', 1}}, {"x"}));
    dbfRecord h;
    OpenDBF(h, pasta / "dobr2301.dbf");
    EXPECT_EQ(h.Estado, 1);
    EXPECT_EQ(h.NumRegs, 1);
}

TEST(OpenDBF, RefusedFilesShowTheirMessageAndLeaveTheHandleClosed) {
    PastaTemporaria pasta;
    OpcoesDBF cabCurto;
    cabCurto.tamCabecalho = 20;
    OpcoesDBF cabLongo;
    cabLongo.tamCabecalho = 5000;
    OpcoesDBF regZero;
    regZero.tamRegistro = 0;
    OpcoesDBF campoFora;
    campoFora.tamRegistro = 4; // field of 5 bytes at offset 1
    struct Caso {
        const char* arquivo;
        std::string bytes;
        const char* fim;
    } casos[] = {
        {"curto.dbf", MontaDBF({{"A", 'C', 5}}, {"x"}, cabCurto),
         " Cabe\xE7"
         "alho inv\xE1lido!"},
        {"longo.dbf", MontaDBF({{"A", 'C', 5}}, {"x"}, cabLongo),
         " Cabe\xE7"
         "alho inv\xE1lido!"},
        {"zero.dbf", MontaDBF({{"A", 'C', 5}}, {"x"}, regZero),
         " Cabe\xE7"
         "alho inv\xE1lido!"},
        {"fora.dbf", MontaDBF({{"A", 'C', 5}}, {}, campoFora),
         " Cabe\xE7"
         "alho inv\xE1lido!"},
        {"minimo.dbf", std::string(10, '\x03'),
         " Cabe\xE7"
         "alho inv\xE1lido!"},
        {"vazio.dbf", std::string(),
         " Cabe\xE7"
         "alho inv\xE1lido!"},
    };
    for (const auto& c : casos) {
        auto nome = pasta.Grava(c.arquivo, c.bytes);
        MensagensRoteiro m;
        UsaMensagens usa(m);
        dbfRecord h;
        OpenDBF(h, nome);
        EXPECT_EQ(h.Estado, 0) << c.arquivo;
        EXPECT_EQ(m.Textos(), std::vector<std::string>{"OpenDBF:" + nome + c.fim}) << c.arquivo;
    }
    MensagensRoteiro m;
    UsaMensagens usa(m);
    dbfRecord h;
    OpenDBF(h, pasta / "nada.dbf");
    EXPECT_EQ(h.Estado, 0);
    OpenDBF(h, pasta.Caminho().string());
    EXPECT_EQ(h.Estado, 0);
    EXPECT_EQ(m.Textos(), (std::vector<std::string>{"OpenDBF:" + (pasta / "nada.dbf") + " Arquivo n\xE3o encontrado!",
                                                    "OpenDBF:" + pasta.Caminho().string() + " Acesso negado!"}));
}

TEST(OpenDBF, HeaderCountingMoreRecordsThanTheFileHoldsEndsAtTheLastWholeRecord) {
    PastaTemporaria pasta;
    OpcoesDBF o;
    o.contagem = 10;
    o.fimArquivo = false;
    std::string bytes = MontaDBF({{"A", 'C', 4}}, {"r001", "r002", "r003"}, o) + " r0"; // half a fourth record
    auto nome = pasta.Grava("t.dbf", bytes);
    dbfRecord h;
    OpenDBF(h, nome);
    EXPECT_EQ(h.NumRegs, 3);
    readDBF(h, 3);
    EXPECT_EQ(GetFieldDBF(h, 1), "r003");
    EXPECT_THROW(readDBF(h, 4), ErroFatal);
}

TEST(OpenDBF, DbcNameKeepsTheHeaderCount) {
    PastaTemporaria pasta;
    OpcoesDBF o;
    o.contagem = 1000;
    auto nome = pasta.Grava("c.dbc", MontaDBF({{"A", 'C', 4}}, {}, o) + std::string("\0\0\0\0\0\x06", 6));
    dbfRecord h;
    OpenDBF(h, nome);
    EXPECT_EQ(h.Estado, 1);
    EXPECT_EQ(h.NumRegs, 1000);
}

TEST(FieldDBF, MatchesIgnoringCaseAndTheLastOfSeveralWins) {
    PastaTemporaria pasta;
    auto nome = pasta.Grava("f.dbf", MontaDBF({{"cod", 'C', 2}, {"COD", 'C', 2}, {"NOME", 'C', 2}}, {}));
    dbfRecord h;
    OpenDBF(h, nome);
    EXPECT_EQ(FieldDBF(h, "Cod"), 2);
    EXPECT_EQ(FieldDBF(h, "nome"), 3);
    EXPECT_EQ(FieldDBF(h, "NOM"), 0);
    EXPECT_EQ(FieldDBF(h, ""), 0);
}

TEST(PutFieldDBF, AlignsCutsAndMarksOverflow) {
    PastaTemporaria pasta;
    dbfRecord h;
    CreateDBF(h, pasta / "p.dbf", {{"N5", 'N', 5}, {"C4", 'C', 4}, {"N4", 'N', 4}, {"D8", 'D', 8}}, 3);
    struct Caso {
        int campo;
        std::string valor;
        std::string esperado;
    } casos[] = {
        {1, " 12 ", "   12"},  {1, "\t-1.5\r\n", " -1.5"}, {1, "12345", "12345"},
        {1, "", "     "},      {2, "ABCDEFG", "ABCD"},     {2, " ab", " ab "},
        {3, "123456", "****"}, {3, "-100", "-100"},        {4, "20240131", "20240131"},
    };
    for (const auto& c : casos) {
        std::string reg(h.TamRegistro, '#');
        PutFieldDBF(h, c.campo, c.valor, reg.data());
        const CampoDBF& f = h.Campo(c.campo);
        EXPECT_EQ(reg.substr(f.Deslocamento, f.Tamanho), c.esperado) << c.campo << " '" << c.valor << "'";
        // Nothing outside the field moves.
        std::string resto = reg;
        resto.erase(f.Deslocamento, f.Tamanho);
        EXPECT_EQ(resto, std::string(h.TamRegistro - f.Tamanho, '#'));
    }
    // An empty view with no data behind it blanks the field (the sanitizers watch the copy).
    for (int campo : {1, 2}) {
        std::string reg(h.TamRegistro, '#');
        PutFieldDBF(h, campo, std::string_view(), reg.data());
        EXPECT_EQ(reg.substr(h.Campo(campo).Deslocamento, h.Campo(campo).Tamanho),
                  std::string(h.Campo(campo).Tamanho, ' '));
    }
    std::string reg(h.TamRegistro, '#');
    PutFieldDBF(h, 0, "x", reg.data());
    PutFieldDBF(h, 5, "x", reg.data());
    EXPECT_EQ(reg, std::string(h.TamRegistro, '#'));
    CloseDBF(h);
}

TEST(CreateDBF, EmptyFileIsHeaderDescriptorsTerminatorAndEndByte) {
    PastaTemporaria pasta;
    auto nome = pasta / "novo.dbf";
    dbfRecord h;
    CreateDBF(h, nome, {{"CODIGO_LONGO_DEMAIS", 'C', 6, 0, 99}, {"VALOR", 'N', 10, 2, 0}}, 2);
    EXPECT_EQ(h.Estado, 3);
    EXPECT_EQ(h.TamCabecalho, 97);
    EXPECT_EQ(h.TamRegistro, 17);
    EXPECT_EQ(h.Campo(1).Nome, "CODIGO_LON");
    EXPECT_EQ(h.Campo(1).Deslocamento, 1);
    EXPECT_EQ(h.Campo(2).Deslocamento, 7);
    EXPECT_EQ(h.Data, DataDeHoje());
    CloseDBF(h);

    std::string data = DataDeHoje();
    int ano = std::stoi(data.substr(0, 4)), mes = std::stoi(data.substr(4, 2)), dia = std::stoi(data.substr(6, 2));
    std::string esperado(97, '\0');
    esperado[0] = 0x03;
    esperado[1] = static_cast<char>(ano % 100);
    esperado[2] = static_cast<char>(mes);
    esperado[3] = static_cast<char>(dia);
    esperado[8] = 97;
    esperado[10] = 17;
    esperado[29] = 2;
    esperado.replace(32, 10, "CODIGO_LON");
    esperado[43] = 'C';
    esperado[48] = 6;
    esperado.replace(64, 5, "VALOR");
    esperado[75] = 'N';
    esperado[80] = 10;
    esperado[81] = 2;
    esperado[96] = 0x0D;
    esperado += '\x1A';
    EXPECT_EQ(pasta.Le("novo.dbf"), esperado);
}

TEST(AppendDBF, FileIsCompleteAndRecordsReadBack) {
    PastaTemporaria pasta;
    auto nome = pasta / "a.dbf";
    dbfRecord h;
    CreateDBF(h, nome, {{"A", 'C', 3}, {"N", 'N', 4}}, 3);
    std::string reg(h.TamRegistro, ' ');
    for (int i = 1; i <= 3; ++i) {
        PutFieldDBF(h, 1, "r" + std::to_string(i), reg.data());
        PutFieldDBF(h, 2, std::to_string(i * 10), reg.data());
        AppendDBF(h, reg.data());
    }
    // Reading through the handle sees what was appended.
    readDBF(h, 2);
    EXPECT_EQ(Rec(h), " r2   20");
    DescarregaDBF(h);
    // A new file takes its name only when complete.
    EXPECT_FALSE(std::filesystem::exists(nome));
    CloseDBF(h);
    EXPECT_EQ(pasta.Le("a.dbf").substr(97), " r1   10 r2   20 r3   30\x1A");

    // Appending to a file opened for reading extends it.
    OpenDBF(h, nome);
    ASSERT_EQ(h.NumRegs, 3);
    readDBF(h, 3);
    PutFieldDBF(h, 1, "r4", reg.data());
    AppendDBF(h, reg.data());
    EXPECT_EQ(h.Estado, 3);
    readDBF(h, 4);
    EXPECT_EQ(GetFieldDBF(h, 1), "r4 ");
    CloseDBF(h);
    std::string fim = pasta.Le("a.dbf");
    EXPECT_EQ(fim.size(), 97u + 4 * 8 + 1);
    EXPECT_EQ(fim[4], 4);
    EXPECT_EQ(fim.back(), '\x1A');
}

TEST(AppendDBF, ManyRecordsCrossTheWriteBufferAndTheReadBlock) {
    PastaTemporaria pasta;
    auto nome = pasta / "m.dbf";
    const int n = 30000; // 3 MB of 100-byte records: several read blocks and write flushes
    {
        dbfRecord h;
        CreateDBF(h, nome, {{"NUM", 'N', 9}, {"RESTO", 'C', 90}}, 0);
        std::string reg(h.TamRegistro, ' ');
        for (int i = 1; i <= n; ++i) {
            PutFieldDBF(h, 1, std::to_string(i), reg.data());
            PutFieldDBF(h, 2, std::string(static_cast<std::size_t>(i % 90), 'x'), reg.data());
            AppendDBF(h, reg.data());
        }
        CloseDBF(h);
    }
    EXPECT_EQ(std::filesystem::file_size(nome), 97u + 100u * n + 1);
    dbfRecord h;
    OpenDBF(h, nome);
    ASSERT_EQ(h.NumRegs, n);
    const std::int64_t porBloco = TAM_BLOCO_DBF / 100;
    for (int i = 1; i <= n; ++i) {
        readDBF(h, i);
        ASSERT_EQ(GetFieldDBF(h, 1), std::string(9 - std::to_string(i).size(), ' ') + std::to_string(i));
        ASSERT_EQ(h.BlocoAtual, (i - 1) / porBloco);
    }
    // Going back works after going forward.
    readDBF(h, 1);
    EXPECT_EQ(GetFieldDBF(h, 1), "        1");
}

TEST(readDBF, RecordsLongerThanTheOldBlockAreRead) {
    PastaTemporaria pasta;
    std::vector<CampoBruto> campos;
    for (int i = 0; i < 40; ++i)
        campos.push_back({"C" + std::to_string(i), 'C', 250});
    std::string r1(10000, 'a'), r2(10000, 'b');
    auto nome = pasta.Grava("longo.dbf", MontaDBF(campos, {r1, r2}));
    dbfRecord h;
    OpenDBF(h, nome);
    ASSERT_EQ(h.TamRegistro, 10001);
    readDBF(h, 2);
    EXPECT_EQ(GetFieldDBF(h, 40), std::string(250, 'b'));
    readDBF(h, 1);
    EXPECT_EQ(GetFieldDBF(h, 1), std::string(250, 'a'));
}

TEST(DBFHandle, MisuseThrowsTheMessageAsFatal) {
    PastaTemporaria pasta;
    auto nome = pasta.Grava("u.dbf", MontaDBF({{"A", 'C', 1}}, {"x", "y"}));
    dbfRecord h;
    h.Nome = "fechado.dbf";
    auto mensagem = [](auto&& f) {
        try {
            f();
        } catch (const ErroFatal& e) {
            return std::string(e.what());
        }
        return std::string("(nada)");
    };
    char reg[2] = {' ', 'z'};
    EXPECT_EQ(mensagem([&] { CloseDBF(h); }), "CloseDBF:fechado.dbf n\xE3o aberto!");
    EXPECT_EQ(mensagem([&] { readDBF(h, 1); }), "readDBF:fechado.dbf n\xE3o aberto!");
    EXPECT_EQ(mensagem([&] { AppendDBF(h, reg); }), "AppendDBF:fechado.dbf n\xE3o aberto!");
    OpenDBF(h, nome);
    EXPECT_EQ(mensagem([&] { readDBF(h, 0); }), "readDBF:" + nome + " N\xFAmero de Reg inv\xE1lido = 0");
    EXPECT_EQ(mensagem([&] { readDBF(h, 3); }), "readDBF:" + nome + " N\xFAmero de Reg inv\xE1lido = 3");
    dbfRecord c;
    EXPECT_EQ(mensagem([&] {
                  CreateDBF(c, pasta / "nao/existe/x.dbf", {{"A", 'C', 1}}, 0);
              }),
              "CreateDBF:" + (pasta / "nao/existe/x.dbf") + " n\xE3o realizado!");
    EXPECT_EQ(c.Estado, 0);
}

TEST(OpenDBF, ReadOnlyFileOpensForReading) {
    PastaTemporaria pasta;
    auto nome = pasta.Grava("ro.dbf", MontaDBF({{"A", 'C', 1}}, {"x"}));
    dbfRecord h;
    if (geteuid() != 0) {
        ::chmod(nome.c_str(), 0444);
        OpenDBF(h, nome);
        EXPECT_EQ(h.Estado, 1);
        EXPECT_TRUE(h.SomenteLeitura);
        CloseDBF(h);
    }
    OpenDBF(h, nome, true);
    ASSERT_EQ(h.Estado, 1);
    readDBF(h, 1);
    EXPECT_EQ(GetFieldDBF(h, 1), "x");
    // Writing to it is an input/output error, not silence.
    EXPECT_THROW(AppendDBF(h, h.RegistroAtual), ErroES);
    EXPECT_EQ(h.NumRegs, 1);
    CloseDBF(h);
    EXPECT_EQ(h.Estado, 0);
}

TEST(CloseDBF, FileOnlyReadIsLeftUntouched) {
    PastaTemporaria pasta;
    std::string bytes = MontaDBF({{"A", 'C', 2}}, {"ab", "cd"});
    auto nome = pasta.Grava("r.dbf", bytes);
    {
        dbfRecord h;
        OpenDBF(h, nome);
        readDBF(h, 2);
        CloseDBF(h);
    }
    EXPECT_EQ(pasta.Le("r.dbf"), bytes);
}

} // namespace
} // namespace dorvan

namespace dorvan {
namespace {

TEST(DBFHandle, RecordsBeyondFourGigabytesAreReadAndAppended) {
    teste::PastaTemporaria pasta;
    auto nome = pasta / "grande.dbf";
    const std::int64_t n = 5'000'000; // 1000-byte records: 5 GB, sparse on disk
    std::string cab = teste::MontaDBF({{"A", 'C', 250}, {"B", 'C', 250}, {"C", 'C', 250}, {"D", 'C', 249}}, {}, [] {
        teste::OpcoesDBF o;
        o.contagem = 5'000'000;
        o.fimArquivo = false;
        return o;
    }());
    const std::int64_t tamCab = static_cast<std::int64_t>(cab.size());
    pasta.Grava("grande.dbf", cab);
    ASSERT_EQ(::truncate(nome.c_str(), tamCab + n * 1000), 0);
    const std::int64_t marcados[] = {1, 2'147'484, 4'294'968, n};
    {
        FILE* f = std::fopen(nome.c_str(), "r+b");
        ASSERT_NE(f, nullptr);
        for (std::int64_t r : marcados) {
            std::string reg = " registro " + std::to_string(r);
            reg.resize(1000, '.');
            ASSERT_EQ(fseeko(f, tamCab + (r - 1) * 1000, SEEK_SET), 0);
            std::fwrite(reg.data(), 1, reg.size(), f);
        }
        std::fclose(f);
    }
    dbfRecord h;
    OpenDBF(h, nome);
    ASSERT_EQ(h.NumRegs, n);
    for (std::int64_t r : marcados) {
        readDBF(h, r);
        EXPECT_EQ(GetFieldDBF(h, 1).substr(0, 9 + std::to_string(r).size()), "registro " + std::to_string(r));
    }
    std::string novo(1000, 'z');
    novo[0] = ' ';
    AppendDBF(h, novo.data());
    CloseDBF(h);
    EXPECT_EQ(std::filesystem::file_size(nome), static_cast<std::uintmax_t>(tamCab + (n + 1) * 1000 + 1));
    OpenDBF(h, nome);
    ASSERT_EQ(h.NumRegs, n + 1);
    readDBF(h, n + 1);
    EXPECT_EQ(Rec(h), novo);
}

} // namespace
} // namespace dorvan

namespace dorvan {
namespace {

TEST(OpenDBF, DamagedHeadersNeverLeadOutsideTheRecord) {
    teste::PastaTemporaria pasta;
    std::string bom = teste::MontaDBF({{"A", 'C', 5}, {"B", 'N', 7, 2}, {"C", 'D', 8}},
                                      {"abcde   1.5020240101", "fghij  -2.0019991231", "klmno 100.0020000229"});
    std::mt19937 g(7);
    MensagensRoteiro m;
    UsaMensagens usa(m);
    for (int i = 0; i < 3000; ++i) {
        std::string s = bom;
        int trocas = 1 + static_cast<int>(g() % 4);
        for (int t = 0; t < trocas; ++t)
            s[g() % 129] = static_cast<char>(g());
        if (i % 5 == 0) s.resize(g() % s.size());
        auto nome = pasta.Grava("f.dbf", s);
        dbfRecord h;
        OpenDBF(h, nome);
        if (h.Estado != 1) continue;
        std::size_t bytes = 0;
        for (std::int64_t r = 1; r <= h.NumRegs; ++r) {
            readDBF(h, r);
            for (int c = 1; c <= h.NumCampos; ++c)
                bytes += GetFieldDBF(h, c).size();
        }
        EXPECT_LE(static_cast<std::uint64_t>(h.TamCabecalho) + static_cast<std::uint64_t>(h.NumRegs) * h.TamRegistro,
                  s.size());
        (void)bytes;
    }
}

} // namespace
} // namespace dorvan

namespace dorvan {
namespace {

// A flush refused by the system (disk full, file-size limit) leaves the pending
// records as they were: the next flush writes them in place, none shifted by a byte.
TEST(AppendDBF, AFailedFlushLeavesThePendingRecordsIntact) {
    teste::PastaTemporaria pasta;
    auto nome = pasta / "l.dbf";
    dbfRecord h;
    CreateDBF(h, nome, {{"A", 'C', 3}}, 3);
    const auto tamCab = static_cast<rlim_t>(h.TamCabecalho);
    AppendDBF(h, " ab1");

    // Writes past the header now fail with EFBIG instead of ending the process.
    auto anterior = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limite{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &limite), 0);
    rlimit curto = limite;
    curto.rlim_cur = tamCab;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &curto), 0);
    EXPECT_THROW(DescarregaDBF(h), ErroES);
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &limite), 0);
    std::signal(SIGXFSZ, anterior);

    AppendDBF(h, " ab2");
    CloseDBF(h);
    OpenDBF(h, nome);
    ASSERT_EQ(h.NumRegs, 2);
    readDBF(h, 1);
    EXPECT_EQ(Rec(h), " ab1");
    readDBF(h, 2);
    EXPECT_EQ(Rec(h), " ab2");
    CloseDBF(h);
    EXPECT_EQ(pasta.Le("l.dbf").substr(tamCab), " ab1 ab2\x1A");
}

} // namespace
} // namespace dorvan

namespace dorvan {
namespace {

// A field of width 0 has no bytes of its own: its readers would look at the next
// field's first byte, or past the record for the last field.
TEST(OpenDBF, FieldsOfWidthZeroAreLeftOutWithAMessage) {
    teste::PastaTemporaria pasta;
    auto nome = pasta.Grava("z.dbf", teste::MontaDBF({{"A", 'C', 3}, {"MEIO", 'C', 0}, {"B", 'N', 2}, {"FIM", 'L', 0}},
                                                     {"abc12", "def34"}));
    MensagensRoteiro m;
    UsaMensagens usa(m);
    dbfRecord h;
    OpenDBF(h, nome);
    ASSERT_EQ(h.Estado, 1);
    ASSERT_EQ(h.NumCampos, 2);
    EXPECT_EQ(h.Campo(1).Nome, "A");
    EXPECT_EQ(h.Campo(2).Nome, "B");
    EXPECT_EQ(h.Campo(2).Deslocamento, 4);
    readDBF(h, 2);
    EXPECT_EQ(GetFieldDBF(h, 2), "34");
    EXPECT_EQ(m.Textos(), (std::vector<std::string>{"OpenDBF:" + nome + " Campo MEIO de tamanho zero ignorado!",
                                                    "OpenDBF:" + nome + " Campo FIM de tamanho zero ignorado!"}));
}

TEST(ExigeTodosOsRegistros, AFileCutShortIsAnErrorForCallersThatNeedEveryRecord) {
    teste::PastaTemporaria pasta;
    teste::OpcoesDBF o;
    o.contagem = 10;
    auto nome = pasta.Grava("t.dbf", teste::MontaDBF({{"A", 'C', 4}}, {"r001", "r002", "r003"}, o) + " r0");
    dbfRecord h;
    OpenDBF(h, nome);
    EXPECT_EQ(h.NumRegs, 3);
    EXPECT_EQ(h.RegsNoCabecalho, 10);
    try {
        ExigeTodosOsRegistros(h);
        ADD_FAILURE() << "no error";
    } catch (const ErroES& e) {
        EXPECT_EQ(e.Arquivo(), nome);
        EXPECT_EQ(e.Motivo(), "arquivo incompleto: 3 de 10 registros");
    }
    OpenDBF(h, pasta.Grava("u.dbf", teste::MontaDBF({{"A", 'C', 4}}, {"r001"})));
    EXPECT_NO_THROW(ExigeTodosOsRegistros(h));
}

// Replacing a file: until CloseDBF the old one is what others see, and a writer
// that never gets there (killed, or dropped after an error) leaves it as it was.
TEST(CreateDBF, AnExistingFileIsReplacedOnlyWhenTheNewOneIsClosed) {
    teste::PastaTemporaria pasta;
    const std::string antigo = teste::MontaDBF({{"VELHO", 'C', 5}}, {"aaaaa", "bbbbb"});
    auto nome = pasta.Grava("r.dbf", antigo);
    auto semTemporarios = [&] {
        for (const auto& e : std::filesystem::directory_iterator(pasta.Caminho()))
            if (e.path().filename() != "r.dbf") return false;
        return true;
    };
    {
        dbfRecord h;
        CreateDBF(h, nome, {{"NOVO", 'C', 2}}, 3);
        for (int i = 0; i < 100000; ++i)
            AppendDBF(h, " zz");
        DescarregaDBF(h);
        readDBF(h, 100000);
        EXPECT_EQ(GetFieldDBF(h, 1), "zz");
        EXPECT_EQ(pasta.Le("r.dbf"), antigo);
    }
    EXPECT_EQ(pasta.Le("r.dbf"), antigo);
    EXPECT_TRUE(semTemporarios());

    ::chmod(nome.c_str(), 0640);
    dbfRecord h;
    CreateDBF(h, nome, {{"NOVO", 'C', 2}}, 3);
    AppendDBF(h, " zz");
    EXPECT_EQ(pasta.Le("r.dbf"), antigo);
    CloseDBF(h);
    EXPECT_TRUE(semTemporarios());
    struct stat st {};
    ASSERT_EQ(::stat(nome.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
    OpenDBF(h, nome);
    ASSERT_EQ(h.NumRegs, 1);
    EXPECT_EQ(h.Campo(1).Nome, "NOVO");
}

// A file the user made read-only is protected from being written over: it is not
// replaced behind the permission either.
TEST(CreateDBF, AReadOnlyFileIsNotReplaced) {
    const std::string antigo = teste::MontaDBF({{"VELHO", 'C', 5}}, {"aaaaa"});
    auto cenario = [&](const std::string& pasta) {
        const std::string nome = pasta + "/ro.dbf";
        GravaArquivoInteiro(nome, antigo);
        ::chmod(nome.c_str(), 0444);
        dbfRecord h;
        bool recusado = false;
        try {
            CreateDBF(h, nome, {{"NOVO", 'C', 2}}, 3);
            AppendDBF(h, " zz");
            CloseDBF(h);
        } catch (const ErroFatal&) {
            recusado = true;
        }
        int arquivos = 0;
        for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(pasta))
            ++arquivos;
        return recusado && LeArquivoInteiro(nome) == antigo && arquivos == 1;
    };
    if (::geteuid() != 0) {
        teste::PastaTemporaria pasta;
        EXPECT_TRUE(cenario(pasta.Caminho().string()));
        return;
    }
    // The superuser writes anything: the case is played by an ordinary user in a folder of theirs.
    std::string modelo = "/tmp/dorvan-ro-XXXXXX";
    ASSERT_NE(::mkdtemp(modelo.data()), nullptr);
    const std::string pasta = modelo;
    ASSERT_EQ(::chown(pasta.c_str(), 65534, 65534), 0);
    const pid_t filho = ::fork();
    if (filho == 0) {
        if (::setgid(65534) != 0 || ::setuid(65534) != 0) std::_Exit(2);
        std::_Exit(cenario(pasta) ? 0 : 1);
    }
    int estado = -1;
    ASSERT_EQ(::waitpid(filho, &estado, 0), filho);
    std::filesystem::remove_all(pasta);
    ASSERT_TRUE(WIFEXITED(estado));
    EXPECT_EQ(WEXITSTATUS(estado), 0);
}

} // namespace
} // namespace dorvan

namespace dorvan {
namespace {

std::vector<std::string> NomesEm(const std::filesystem::path& pasta) {
    std::vector<std::string> n;
    for (const auto& e : std::filesystem::directory_iterator(pasta))
        n.push_back(e.path().filename().string());
    std::sort(n.begin(), n.end());
    return n;
}

// An export killed half-way must not leave a file that looks like a DBF but holds
// part of the records, nor a hidden temporary.
TEST(CreateDBF, ANewFileKilledWhileWrittenLeavesNothing) {
    PastaTemporaria pasta;
    const std::string nome = pasta / "exporta.dbf";
    const std::string antigo = teste::MontaDBF({{"VELHO", 'C', 5}}, {"aaaaa", "bbbbb"});
    for (bool existe : {false, true}) {
        if (existe) GravaArquivoInteiro(nome, antigo);
        const bool morto = teste::MataDuranteTrabalho(
            [&](int avisa) {
                dbfRecord h;
                CreateDBF(h, nome, {{"COD", 'C', 8}, {"VALOR", 'N', 10}}, 3);
                std::string reg(h.TamRegistro, ' ');
                for (std::int64_t i = 1;; ++i) {
                    AppendDBF(h, reg.data());
                    if (i % 50000 == 0) {
                        DescarregaDBF(h);
                        if (::write(avisa, "x", 1) != 1) return;
                    }
                }
            },
            20);
        ASSERT_TRUE(morto);
        if (existe) {
            EXPECT_EQ(NomesEm(pasta.Caminho()), std::vector<std::string>{"exporta.dbf"});
            EXPECT_EQ(LeArquivoInteiro(nome), antigo);
        } else {
            EXPECT_EQ(NomesEm(pasta.Caminho()), std::vector<std::string>{});
        }
    }
    // Written to the end, it is there complete.
    dbfRecord h;
    CreateDBF(h, nome, {{"A", 'C', 1}}, 3);
    AppendDBF(h, " a");
    EXPECT_EQ(LeArquivoInteiro(nome), antigo);
    CloseDBF(h);
    OpenDBF(h, nome);
    EXPECT_EQ(h.NumRegs, 1);
}

// A full disk: the error names the file the user chose, and nothing is left under
// that name or under a hidden one.
TEST(CreateDBF, AFullDiskLeavesNothingAndNamesTheChosenFile) {
    teste::DiscoPequeno disco(1 << 20);
    DORVAN_PULA_SEM_DISCO(disco);
    const std::string nome = disco / "alvo.dbf";
    std::string mensagem;
    {
        dbfRecord h;
        CreateDBF(h, nome, {{"COD", 'C', 100}}, 3);
        std::string reg(h.TamRegistro, 'x');
        try {
            for (int i = 0; i < 100000; ++i)
                AppendDBF(h, reg.data());
            CloseDBF(h);
        } catch (const ErroES& e) {
            mensagem = e.what();
        }
    }
    EXPECT_EQ(mensagem, "Erro de E/S em " + nome + ": disco cheio");
    EXPECT_EQ(disco.Nomes(), std::vector<std::string>{});
}

TEST(AbandonaDBF, AFileBeingCreatedNeverTakesItsName) {
    PastaTemporaria pasta;
    const std::string antigo = teste::MontaDBF({{"VELHO", 'C', 5}}, {"aaaaa"});
    const std::string existente = pasta.Grava("e.dbf", antigo);
    dbfRecord a, b;
    CreateDBF(a, pasta / "novo.dbf", {{"A", 'C', 1}}, 3);
    CreateDBF(b, existente, {{"A", 'C', 1}}, 3);
    AppendDBF(a, " a");
    AppendDBF(b, " b");
    AbandonaDBF(a);
    AbandonaDBF(b);
    EXPECT_EQ(a.Estado, 0);
    EXPECT_EQ(NomesEm(pasta.Caminho()), std::vector<std::string>{"e.dbf"});
    EXPECT_EQ(LeArquivoInteiro(existente), antigo);
}

} // namespace
} // namespace dorvan

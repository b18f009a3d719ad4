#include "data/Ucomprim.h"

#include "data/ArquivosDBFTeste.h"
#include "platform/Erros.h"
#include "platform/Mensagens.h"
#include "support/ApoioTeste.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <thread>

namespace dorvan {
namespace {

using teste::CampoBruto;
using teste::MontaDBF;
using teste::OpcoesDBF;
using teste::PastaTemporaria;
namespace fs = std::filesystem;

// Plain bitwise CRC-32, written apart from the codec's table version.
std::uint32_t Crc32Simples(const std::string& s) {
    std::uint32_t c = 0xFFFFFFFFu;
    for (unsigned char b : s) {
        c ^= b;
        for (int k = 0; k < 8; ++k)
            c = (c >> 1) ^ (0xEDB88320u & (0u - (c & 1u)));
    }
    return ~c;
}

// Fields filling tamRegistro - 1 bytes, in pieces of at most 250.
std::vector<CampoBruto> CamposPara(int tamRegistro) {
    std::vector<CampoBruto> campos;
    int resta = tamRegistro - 1;
    for (int i = 0; resta > 0; ++i) {
        int t = std::min(resta, 250);
        campos.push_back({"C" + std::to_string(i), 'C', t});
        resta -= t;
    }
    return campos;
}

// Records of repetitive, health-data-like text with some noise, so both long
// matches and literals occur.
std::vector<std::string> RegistrosPara(int tamRegistro, int n, unsigned semente) {
    std::mt19937 g(semente);
    std::vector<std::string> regs;
    const char* palavras[] = {"355030", "MASCULINO", "FEMININO", "20240131", "A09", "J189", "   ", "0001"};
    for (int i = 0; i < n; ++i) {
        std::string r(1, g() % 7 == 0 ? '*' : ' ');
        while (static_cast<int>(r.size()) < tamRegistro) {
            if (g() % 4 == 0)
                r += static_cast<char>(g() & 0xFF);
            else
                r += palavras[g() % 8];
        }
        r.resize(static_cast<std::size_t>(tamRegistro));
        regs.push_back(r);
    }
    return regs;
}

std::vector<std::string> Varre(const std::string& nome, bool checaCRC, bool* resultado = nullptr) {
    dbfRecord h;
    OpenDBF(h, nome);
    EXPECT_EQ(h.Estado, 1) << nome;
    std::vector<std::string> regs;
    std::int64_t esperado = 0;
    bool r = ScanDBF(
        h,
        [&](dbfRecord& x) {
            regs.emplace_back(x.RegistroAtual, x.TamRegistro);
            EXPECT_EQ(x.NumRegAtual, ++esperado);
        },
        checaCRC);
    if (resultado) *resultado = r;
    return regs;
}

TEST(Ucomprim, CompressThenExpandGivesTheSameBytesAndBothScansAgree) {
    struct Caso {
        int tamRegistro;
        int registros;
    } casos[] = {{1, 0}, {1, 5000}, {100, 0}, {100, 3000}, {4097, 40}, {8002, 30}, {65535, 3}, {37, 20000}};
    for (const auto& c : casos) {
        PastaTemporaria pasta;
        auto regs = RegistrosPara(c.tamRegistro, c.registros, static_cast<unsigned>(c.tamRegistro + c.registros));
        std::string dbf = MontaDBF(CamposPara(c.tamRegistro), regs);
        auto origem = pasta.Grava("dados.dbf", dbf);
        MensagensRoteiro m;
        UsaMensagens usa(m);
        ResultadoCodec rc = ComprimeDBF(origem, pasta / "dados.dbc", SemProgresso());
        ASSERT_TRUE(rc.Ok()) << c.tamRegistro;
        EXPECT_EQ(rc.numRegs, c.registros);
        EXPECT_EQ(rc.bytesEntrada, dbf.size());
        std::string dbc = pasta.Le("dados.dbc");
        EXPECT_EQ(rc.bytesSaida, dbc.size());

        // Header unchanged, then the ordinary CRC-32 of the whole source file.
        const std::size_t tamCab = dbf.size() - 1 - static_cast<std::size_t>(c.tamRegistro) * regs.size();
        EXPECT_EQ(dbc.substr(0, tamCab), dbf.substr(0, tamCab));
        std::uint32_t crc = Crc32Simples(dbf);
        EXPECT_EQ(dbc.substr(tamCab, 4), std::string({static_cast<char>(crc), static_cast<char>(crc >> 8),
                                                      static_cast<char>(crc >> 16), static_cast<char>(crc >> 24)}));
        EXPECT_EQ(dbc.substr(tamCab + 4, 2), std::string("\x00\x06", 2)); // binary, dictionary 4096

        ResultadoCodec re = ExpandeDBC(pasta / "dados.dbc", pasta / "volta.dbf", SemProgresso());
        EXPECT_TRUE(re.Ok());
        EXPECT_EQ(re.bytesSaida, dbf.size());
        EXPECT_EQ(pasta.Le("volta.dbf"), dbf) << c.tamRegistro << " x " << c.registros;

        bool okDbf = false, okDbc = false;
        auto viaDbf = Varre(origem, true, &okDbf);
        auto viaDbc = Varre(pasta / "dados.dbc", true, &okDbc);
        EXPECT_TRUE(okDbf);
        EXPECT_TRUE(okDbc);
        EXPECT_EQ(viaDbf, regs);
        EXPECT_EQ(viaDbc, regs);
        EXPECT_TRUE(m.Textos().empty());
    }
}

TEST(Ucomprim, StreamOfTheOriginalLibraryWithSmallDictionaryIsReadThroughTheDbcLayer) {
    // Known answer: 00 04 82 24 25 8F 80 7F (dictionary 1024) expands to AIAIAIAIAIAIA.
    PastaTemporaria pasta;
    OpcoesDBF o;
    o.contagem = 3;
    o.fimArquivo = false;
    std::string cab = MontaDBF({{"X", 'C', 3}}, {}, o);
    const std::string dados = "AIAIAIAIAIAIA";
    std::uint32_t crc = Crc32Simples(cab + dados);
    std::string dbc = cab +
                      std::string({static_cast<char>(crc), static_cast<char>(crc >> 8), static_cast<char>(crc >> 16),
                                   static_cast<char>(crc >> 24)}) +
                      std::string("\x00\x04\x82\x24\x25\x8F\x80\x7F", 8);
    pasta.Grava("k.dbc", dbc);
    ResultadoCodec r = ExpandeDBC(pasta / "k.dbc", pasta / "k.dbf", SemProgresso());
    EXPECT_TRUE(r.Ok());
    EXPECT_EQ(pasta.Le("k.dbf"), cab + dados);
    EXPECT_EQ(Varre(pasta / "k.dbc", true), (std::vector<std::string>{"AIAI", "AIAI", "AIAI"}));
}

TEST(Ucomprim, EmptyDbfExpandsToHeaderAndEndByte) {
    PastaTemporaria pasta;
    std::string dbf = MontaDBF({{"A", 'C', 3}}, {});
    ASSERT_TRUE(ComprimeDBF(pasta.Grava("v.dbf", dbf), pasta / "v.dbc", SemProgresso()).Ok());
    fs::remove(pasta / "v.dbf");
    ASSERT_TRUE(ExpandeDBC(pasta / "v.dbc", pasta / "v.dbf", SemProgresso()).Ok());
    EXPECT_EQ(pasta.Le("v.dbf"), dbf);
    EXPECT_EQ(dbf.back(), '\x1A');
}

std::string ComprimidoDe(const PastaTemporaria& pasta, const std::string& dbf, const std::string& nome) {
    auto origem = pasta.Grava("origem.tmp", dbf);
    EXPECT_TRUE(ComprimeDBF(origem, pasta / nome, SemProgresso()).Ok());
    fs::remove(origem);
    return pasta.Le(nome);
}

TEST(Ucomprim, CrcMismatchShowsItsMessageAndLeavesNoOutput) {
    PastaTemporaria pasta;
    std::string dbf = MontaDBF({{"A", 'C', 10}}, RegistrosPara(11, 50, 1));
    std::string dbc = ComprimidoDe(pasta, dbf, "x.dbc");
    const std::size_t tamCab = 65;
    dbc[tamCab] = static_cast<char>(dbc[tamCab] ^ 0x01);
    pasta.Grava("x.dbc", dbc);
    pasta.Grava("x.dbf", "um arquivo bom de antes");

    MensagensRoteiro m;
    UsaMensagens usa(m);
    ResultadoCodec r = ExpandeDBC(pasta / "x.dbc", pasta / "x.dbf", SemProgresso());
    EXPECT_FALSE(r.crcConfere);
    EXPECT_EQ(r.codigo, 0u);
    EXPECT_EQ(m.Textos(), std::vector<std::string>{"Erro de CRC no arquivo x.dbc: expans\xE3o cancelada"});
    EXPECT_EQ(pasta.Le("x.dbf"), "um arquivo bom de antes");

    // Testing only writes nothing and still finds the mismatch.
    fs::remove(pasta / "x.dbf");
    m.Limpa();
    r = ExpandeDBC(pasta / "x.dbc", "", SemProgresso());
    EXPECT_FALSE(r.crcConfere);
    EXPECT_EQ(m.Textos().size(), 1u);
    std::vector<std::string> arquivos;
    for (auto& e : fs::directory_iterator(pasta.Caminho()))
        arquivos.push_back(e.path().filename().string());
    EXPECT_EQ(arquivos, std::vector<std::string>{"x.dbc"});

    // The scan reports the mismatch only when asked to check.
    m.Limpa();
    bool ok = true;
    auto regs = Varre(pasta / "x.dbc", true, &ok);
    EXPECT_FALSE(ok);
    EXPECT_EQ(regs.size(), 50u);
    EXPECT_EQ(m.Textos(), std::vector<std::string>{"Erro de CRC em " + (pasta / "x.dbc")});
    m.Limpa();
    Varre(pasta / "x.dbc", false, &ok);
    EXPECT_TRUE(ok);
    EXPECT_TRUE(m.Textos().empty());
}

TEST(Ucomprim, DamagedStreamGivesBothMessagesInOrder) {
    PastaTemporaria pasta;
    std::string dbf = MontaDBF({{"A", 'C', 10}}, RegistrosPara(11, 500, 2));
    std::string dbc = ComprimidoDe(pasta, dbf, "y.dbc");
    pasta.Grava("y.dbc", dbc.substr(0, dbc.size() / 2));
    MensagensRoteiro m;
    UsaMensagens usa(m);
    ResultadoCodec r = ExpandeDBC(pasta / "y.dbc", pasta / "y.dbf", SemProgresso());
    EXPECT_EQ(r.codigo, 3u);
    EXPECT_EQ(m.Textos(), (std::vector<std::string>{"Erro de CRC no arquivo y.dbc: expans\xE3o cancelada",
                                                    "Erro na expans\xE3o do arquivo comprimido !"}));
    EXPECT_FALSE(fs::exists(pasta / "y.dbf"));
    m.Limpa();
    bool ok = true;
    Varre(pasta / "y.dbc", true, &ok);
    EXPECT_FALSE(ok);
    EXPECT_EQ(m.Textos(),
              (std::vector<std::string>{"Compr: Dados inv\xE1lidos", "Erro de CRC em " + (pasta / "y.dbc")}));
}

TEST(Ucomprim, TruncatedAndBitFlippedFilesFailCleanly) {
    PastaTemporaria pasta;
    std::string dbf = MontaDBF(CamposPara(60), RegistrosPara(60, 300, 3));
    std::string dbc = ComprimidoDe(pasta, dbf, "z.dbc");
    MensagensRoteiro m;
    UsaMensagens usa(m);
    auto confere = [&](const std::string& estragado, const std::string& rotulo) {
        pasta.Grava("z.dbc", estragado);
        ResultadoCodec r;
        try {
            r = ExpandeDBC(pasta / "z.dbc", pasta / "z.dbf", SemProgresso());
        } catch (const ErroES&) {
            // Cut before the header's own 32 bytes: not a DBC at all.
            EXPECT_LT(estragado.size(), 32u) << rotulo;
            return;
        }
        if (r.Ok())
            EXPECT_EQ(pasta.Le("z.dbf"), dbf) << rotulo;
        else
            EXPECT_FALSE(fs::exists(pasta / "z.dbf")) << rotulo;
        fs::remove(pasta / "z.dbf");
        dbfRecord h;
        OpenDBF(h, pasta / "z.dbc");
        if (h.Estado == 1)
            ScanDBF(
                h, [](dbfRecord&) {}, true);
    };
    for (std::size_t n = 0; n < dbc.size(); n += (n < 200 ? 1 : 37)) {
        confere(dbc.substr(0, n), "cut at " + std::to_string(n));
    }
    std::mt19937 g(42);
    for (int i = 0; i < 400; ++i) {
        std::string s = dbc;
        std::size_t pos = 65 + g() % (s.size() - 65);
        s[pos] = static_cast<char>(s[pos] ^ (1 << (g() % 8)));
        if (i % 3 == 0) s[65 + g() % (s.size() - 65)] = static_cast<char>(g());
        confere(s, "flip at " + std::to_string(pos));
    }
}

TEST(ScanDBF, KindFollowsTheLastLetterOfTheName) {
    PastaTemporaria pasta;
    std::string dbf = MontaDBF({{"A", 'C', 2}}, {"ab", "cd"});
    pasta.Grava("M.DBF", dbf);
    pasta.Grava("m.dat", dbf);
    EXPECT_EQ(Varre(pasta / "M.DBF", false), (std::vector<std::string>{" ab", " cd"}));
    bool ok = true;
    EXPECT_TRUE(Varre(pasta / "m.dat", true, &ok).empty());
    EXPECT_FALSE(ok);
}

TEST(ScanDBF, StopsAtTheEndOfFileByteAndIgnoresTheHeaderCount) {
    PastaTemporaria pasta;
    OpcoesDBF o;
    o.contagem = 1;
    o.fimArquivo = false;
    // Three records, the end byte, then stale bytes of a fourth.
    std::string dbf = MontaDBF({{"A", 'C', 3}}, {"r01", "r02", "r03"}, o) + "\x1A" + "r04";
    ComprimidoDe(pasta, dbf, "s.dbc");
    EXPECT_EQ(Varre(pasta / "s.dbc", true), (std::vector<std::string>{" r01", " r02", " r03"}));
}

// The header's records are all delivered, a first byte of 0x1A or not: the DBF scan
// and the DBC scan of the same data give the same records.
TEST(ScanDBF, ARecordOfTheCountBeginningWithTheEndByteIsDelivered) {
    PastaTemporaria pasta;
    const std::vector<std::string> regs{" r01", "\x1Ar02", " r03"};
    const std::string dbf = MontaDBF({{"A", 'C', 3}}, regs);
    pasta.Grava("s.dbf", dbf);
    ComprimidoDe(pasta, dbf, "s.dbc");
    EXPECT_EQ(Varre(pasta / "s.dbf", true), regs);
    EXPECT_EQ(Varre(pasta / "s.dbc", true), regs);
    // Every chunk size cuts the same records.
    std::string fluxo;
    for (const auto& r : regs)
        fluxo += r;
    fluxo += "\x1A";
    for (std::size_t tam : {1, 3, 4, 5, 13}) {
        std::vector<std::string> vistos;
        CortaRegistros c(4, 3, [&](char* r) { vistos.emplace_back(r, 4); });
        for (std::size_t p = 0; p < fluxo.size(); p += tam) {
            std::string pedaco = fluxo.substr(p, tam);
            c.Pedaco(pedaco.data(), pedaco.size());
        }
        EXPECT_EQ(vistos, regs) << tam;
    }
}

TEST(ScanDBF, HeaderLongerThanTheCodecWorkBufferIsHandled) {
    PastaTemporaria pasta;
    std::vector<CampoBruto> campos;
    for (int i = 0; i < 600; ++i)
        campos.push_back({"F" + std::to_string(i), 'C', 1});
    auto regs = RegistrosPara(601, 10, 9);
    std::string dbf = MontaDBF(campos, regs);
    ComprimidoDe(pasta, dbf, "h.dbc");
    dbfRecord h;
    OpenDBF(h, pasta / "h.dbc");
    ASSERT_EQ(h.TamCabecalho, 32 + 600 * 32 + 1);
    EXPECT_EQ(Varre(pasta / "h.dbc", true), regs);
}

TEST(ScanDBF, ScansOnTwoThreadsKeepTheirOwnState) {
    PastaTemporaria pasta;
    auto a = RegistrosPara(100, 5000, 5), b = RegistrosPara(77, 7000, 6);
    ComprimidoDe(pasta, MontaDBF(CamposPara(100), a), "a.dbc");
    ComprimidoDe(pasta, MontaDBF(CamposPara(77), b), "b.dbc");
    std::vector<std::string> ra, rb;
    std::thread t([&] { ra = Varre(pasta / "a.dbc", true); });
    rb = Varre(pasta / "b.dbc", true);
    t.join();
    EXPECT_EQ(ra, a);
    EXPECT_EQ(rb, b);
}

TEST(CortaRegistros, ChunksOfAnySizeGiveRecordsInStreamOrder) {
    std::string fluxo;
    for (int i = 0; i < 40; ++i)
        fluxo += "R" + std::string(1, static_cast<char>('a' + i % 26)) + std::to_string(1000 + i);
    // 40 records of 6 bytes, then a record-sized piece that begins with the end
    // byte and stale bytes after it: nothing from there on is a record.
    fluxo += std::string("\x1A"
                         "zzzzzRz9999",
                         12);
    for (std::size_t tamPedaco : {1, 2, 5, 6, 7, 12, 13, 100, 4096}) {
        std::vector<std::string> regs;
        CortaRegistros c(6, 0, [&](char* r) { regs.emplace_back(r, 6); });
        for (std::size_t p = 0; p < fluxo.size(); p += tamPedaco) {
            std::string pedaco = fluxo.substr(p, tamPedaco);
            c.Pedaco(pedaco.data(), pedaco.size());
            pedaco.assign(pedaco.size(), '#'); // the chunk's memory is reused after the call
        }
        ASSERT_EQ(regs.size(), 40u) << tamPedaco;
        for (int i = 0; i < 40; ++i)
            EXPECT_EQ(regs[static_cast<std::size_t>(i)], fluxo.substr(static_cast<std::size_t>(6 * i), 6)) << tamPedaco;
        EXPECT_TRUE(c.Terminou());
    }
    // L = 100, chunks of 4096: 40 records and 96 bytes kept; then the record completed
    // by the next chunk's first 4 bytes comes before the 40 that follow it.
    {
        std::string dados;
        for (int i = 0; i < 81; ++i)
            dados += std::string(100, static_cast<char>('0' + i % 64));
        std::vector<std::string> regs;
        std::vector<std::size_t> aposPedaco;
        CortaRegistros c100(100, 0, [&](char* r) { regs.emplace_back(r, 100); });
        for (std::size_t p = 0; p < dados.size(); p += 4096) {
            std::string pedaco = dados.substr(p, 4096);
            c100.Pedaco(pedaco.data(), pedaco.size());
            aposPedaco.push_back(regs.size());
        }
        EXPECT_EQ(aposPedaco, (std::vector<std::size_t>{40, 81}));
        for (int i = 0; i < 81; ++i)
            EXPECT_EQ(regs[static_cast<std::size_t>(i)], dados.substr(static_cast<std::size_t>(100 * i), 100));
    }
    // A record ending exactly at a chunk boundary after a carry still keeps the next tail.
    std::vector<std::string> regs;
    CortaRegistros c(4, 0, [&](char* r) { regs.emplace_back(r, 4); });
    std::string p1 = "aaaab", p2 = "bbbccccd", p3 = "ddd";
    c.Pedaco(p1.data(), p1.size());
    c.Pedaco(p2.data(), p2.size());
    c.Pedaco(p3.data(), p3.size());
    EXPECT_EQ(regs, (std::vector<std::string>{"aaaa", "bbbb", "cccc", "dddd"}));
    EXPECT_FALSE(c.Terminou());
}

TEST(Ucomprim, NonDbfInputIsAnInputOutputErrorAndWritesNothing) {
    PastaTemporaria pasta;
    pasta.Grava("lixo.dbf", "curto");
    EXPECT_THROW(ComprimeDBF(pasta / "lixo.dbf", pasta / "lixo.dbc", SemProgresso()), ErroES);
    EXPECT_THROW(ComprimeDBF(pasta / "falta.dbf", pasta / "falta.dbc", SemProgresso()), ErroES);
    EXPECT_FALSE(fs::exists(pasta / "lixo.dbc"));
    EXPECT_FALSE(fs::exists(pasta / "falta.dbc"));
}

} // namespace
} // namespace dorvan

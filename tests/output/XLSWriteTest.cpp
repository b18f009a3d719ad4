// The workbook writer: the record stream inside the compound file, the shared
// strings with their CONTINUE records, the sheet offsets, the error texts, and a
// real spreadsheet program reading back the table's values.
#include "Fixture.h"
#include "output/GravaDBF.h"
#include "output/GravaTexto.h"
#include "output/XLSWrite.h"
#include "table/TabelaArquivo.h"
#include "platform/ArquivoComposto.h"
#include "platform/Arquivos.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <sys/stat.h>
#include <map>
#include <string>
#include <vector>

namespace dorvan {
using namespace std::string_literals;
namespace {

using teste::PastaTemporaria;

struct Registro {
    std::uint16_t id;
    std::string dados;
    std::size_t pos;
};

std::uint16_t L16(const std::string& s, std::size_t p) {
    return static_cast<std::uint16_t>(static_cast<unsigned char>(s[p]) | (static_cast<unsigned char>(s[p + 1]) << 8));
}
std::uint32_t L32(const std::string& s, std::size_t p) { return L16(s, p) | (std::uint32_t{L16(s, p + 2)} << 16); }
double LDouble(const std::string& s, std::size_t p) {
    double d;
    std::memcpy(&d, s.data() + p, 8);
    return d;
}

std::vector<Registro> Registros(const std::string& fluxo) {
    std::vector<Registro> r;
    for (std::size_t p = 0; p < fluxo.size();) {
        EXPECT_LE(p + 4, fluxo.size());
        const std::uint16_t tam = L16(fluxo, p + 2);
        EXPECT_LE(p + 4 + tam, fluxo.size());
        r.push_back({L16(fluxo, p), fluxo.substr(p + 4, tam), p});
        p += 4 + tam;
    }
    return r;
}

// The shared strings as UTF-16 code units turned back into bytes (every test text is Latin-1
// or a single wide character noted as '?'), read across CONTINUE records.
struct TextosLidos {
    std::uint32_t total = 0, unicos = 0;
    std::vector<std::u16string> textos;
    std::vector<std::size_t> tamanhos; // record sizes, SST first
};
TextosLidos LeSST(const std::vector<Registro>& regs) {
    TextosLidos t;
    std::size_t i = 0;
    while (i < regs.size() && regs[i].id != 0x00FC) ++i;
    EXPECT_LT(i, regs.size());
    if (i >= regs.size()) return t;
    std::vector<std::string> partes{regs[i].dados};
    for (std::size_t k = i + 1; k < regs.size() && regs[k].id == 0x003C; ++k) partes.push_back(regs[k].dados);
    for (const auto& p : partes) t.tamanhos.push_back(p.size());
    t.total = L32(partes[0], 0);
    t.unicos = L32(partes[0], 4);
    std::size_t parte = 0, pos = 8;
    for (std::uint32_t n = 0; n < t.unicos; ++n) {
        if (pos >= partes[parte].size()) ++parte, pos = 0;
        const std::string& d = partes[parte];
        const std::uint16_t cars = L16(d, pos);
        bool largo = d[pos + 2] & 1;
        pos += 3;
        std::u16string s;
        while (s.size() < cars) {
            if (pos >= partes[parte].size()) { // continuation: flags byte first
                ++parte;
                pos = 0;
                largo = partes[parte][0] & 1;
                pos = 1;
            }
            const std::string& q = partes[parte];
            if (largo) s += static_cast<char16_t>(L16(q, pos)), pos += 2;
            else s += static_cast<char16_t>(static_cast<unsigned char>(q[pos])), pos += 1;
        }
        t.textos.push_back(s);
    }
    return t;
}

std::u16string U(const std::string& latin1) {
    std::u16string s;
    for (char c : latin1) s += static_cast<char16_t>(static_cast<unsigned char>(c));
    return s;
}

std::vector<Registro> LeWorkbook(const std::string& arquivo) {
    return Registros(LeFluxoComposto(LeArquivoInteiro(arquivo), "Workbook"));
}

TEST(XLSWrite, TableBecomesCellsWithSharedStringsAndSheetOffset) {
    PastaTemporaria pasta;
    TabelaResultados t = teste::TabelaExemplo();
    t.Rotulo(4) = t.Rotulo(1); // a repeated label shares one entry
    TXLSWrite w;
    ConfiguraXLSWrite1(w);
    SalvaXLS(w, t, pasta / "t.xls");
    EXPECT_FALSE(w.FileIsOpen());
    const auto regs = LeWorkbook(pasta / "t.xls");
    ASSERT_GE(regs.size(), 2u);
    EXPECT_EQ(regs[0].id, 0x0809);
    EXPECT_EQ(L16(regs[0].dados, 2), 0x0005);

    // The sheet's offset points at its BOF, after the strings were inserted.
    std::size_t sheets = 0;
    for (const auto& r : regs)
        if (r.id == 0x0085) {
            ++sheets;
            const std::uint32_t off = L32(r.dados, 0);
            const auto bof = std::find_if(regs.begin(), regs.end(), [&](const Registro& x) { return x.pos == off; });
            ASSERT_NE(bof, regs.end());
            EXPECT_EQ(bof->id, 0x0809);
            EXPECT_EQ(L16(bof->dados, 2), 0x0010);
            EXPECT_EQ(r.dados.substr(6), "\x06\x00Sheet1"s);
        }
    EXPECT_EQ(sheets, 1u);
    EXPECT_EQ(regs.back().id, 0x000A);

    const TextosLidos sst = LeSST(regs);
    // Titles (2), label title, 3 column titles, 3 distinct labels, "Total", footer.
    EXPECT_EQ(sst.unicos, 11u);
    EXPECT_EQ(sst.total, sst.unicos);
    std::map<std::pair<int, int>, std::u16string> textos;
    std::map<std::pair<int, int>, std::pair<double, int>> numeros;
    for (const auto& r : regs) {
        if (r.id == 0x00FD) textos[{L16(r.dados, 0), L16(r.dados, 2)}] = sst.textos.at(L32(r.dados, 6));
        if (r.id == 0x00FD) {
            EXPECT_EQ(L16(r.dados, 4), L16(r.dados, 2) == 0 ? 16 : 17) << "XF of a text cell";
        }
        if (r.id == 0x0203) numeros[{L16(r.dados, 0), L16(r.dados, 2)}] = {LDouble(r.dados, 6), L16(r.dados, 4)};
    }
    EXPECT_EQ(textos[std::make_pair(0, 0)], U(t.Titulo1));
    EXPECT_EQ(textos[std::make_pair(1, 0)], U(t.Titulo2));
    EXPECT_EQ(textos[std::make_pair(2, 0)], U("Regi\xE3o"));
    EXPECT_EQ(textos[std::make_pair(2, 2)], U("Taxa/100 mil"));
    EXPECT_EQ(textos[std::make_pair(3, 0)], U(t.Rotulo(1))); // stored order, not display order
    EXPECT_EQ(textos[std::make_pair(6, 0)], U(t.Rotulo(1)));
    // The 1252 euro sign is a wide character, not the C1 control of the same byte.
    EXPECT_NE(textos[std::make_pair(5, 0)].find(u'\u20AC'), std::u16string::npos);
    EXPECT_EQ(textos[std::make_pair(7, 0)], u"Total");
    EXPECT_EQ(textos[std::make_pair(9, 0)], U(t.Rodape));
    EXPECT_EQ(numeros[std::make_pair(3, 1)], std::make_pair(1000.0, 18)); // Num0D
    EXPECT_EQ(numeros[std::make_pair(4, 2)], std::make_pair(-2.25, 20));  // Num2D
    EXPECT_EQ(numeros[std::make_pair(7, 1)].first, t.Coluna(1).Total);
    // Formats of the user patterns: 59 + position.
    bool achou = false;
    for (const auto& r : regs)
        if (r.id == 0x041E && L16(r.dados, 0) == 63) achou = r.dados.substr(5) == "#,##0.00;[red]-#,##0.00";
    EXPECT_TRUE(achou);
}

TEST(XLSWrite, LongStringTablesUseContinueRecordsSplittingOnlyHugeEntries) {
    PastaTemporaria pasta;
    TXLSWrite w;
    ConfiguraXLSWrite1(w);
    w.FileName = pasta / "s.xls";
    w.OpenFile();
    std::vector<std::string> esperados;
    for (int i = 0; i < 300; ++i) {
        esperados.push_back(std::string(50 + i % 7, static_cast<char>('a' + i % 26)) + std::to_string(i));
        w.WriteString(0, i, esperados.back(), 0);
    }
    esperados.push_back(std::string(20000, 'z')); // larger than a record
    w.WriteString(1, 0, esperados.back(), 0);
    esperados.push_back(std::string(9000, 'y') + "\x80"); // larger and wide
    w.WriteString(1, 1, esperados.back(), 0);
    w.WriteString(2, 0, "", 0); // nothing
    w.CloseFile();
    const auto regs = LeWorkbook(pasta / "s.xls");
    const TextosLidos sst = LeSST(regs);
    ASSERT_EQ(sst.unicos, esperados.size());
    for (std::size_t i = 0; i + 1 < esperados.size(); ++i) EXPECT_EQ(sst.textos[i], U(esperados[i])) << i;
    EXPECT_EQ(sst.textos.back(), U(std::string(9000, 'y')) + u"\u20AC");
    EXPECT_GE(sst.tamanhos.size(), 6u);
    for (std::size_t tam : sst.tamanhos) EXPECT_LE(tam, 8224u);
    // Until the huge entries, each record holds whole entries: the second one begins with a length.
    EXPECT_EQ(L16(regs[std::find_if(regs.begin(), regs.end(), [](auto& r) { return r.id == 0x003C; }) - regs.begin()].dados, 0) > 0, true);
    for (const auto& r : regs) EXPECT_FALSE(r.id == 0x00FD && L16(r.dados, 2) == 2) << "empty text wrote a cell";
}

TEST(XLSWrite, ErrorsCarryTheirMessages) {
    PastaTemporaria pasta;
    auto Mensagem = [](auto&& f) {
        try {
            f();
        } catch (const ErroXLS& e) {
            return std::string(e.what());
        }
        return std::string("(nada)");
    };
    TXLSWrite w;
    EXPECT_EQ(Mensagem([&] { w.WriteNumber(0, 0, 1, -1); }), "Can not write cells when file is closed");
    EXPECT_EQ(Mensagem([&] { w.NextSheet(); }), "Call to NextSheet without OpenFile");
    w.DefineXLSVersion(TXLSVersion::xls97);
    EXPECT_EQ(Mensagem([&] { w.OpenFile(); }), "Filename is missing");
    w.Sheets = {"A", ""};
    w.FileName = pasta / "e.xls";
    EXPECT_EQ(Mensagem([&] { w.OpenFile(); }), "Sheet Name is missing");
    w.Sheets = {"A"};
    w.OpenFile();
    EXPECT_EQ(Mensagem([&] { w.OpenFile(); }), "File is allready open");
    EXPECT_EQ(Mensagem([&] { w.NextSheet(); }), "Sheet index out of range");
    EXPECT_EQ(Mensagem([&] { w.DefineXLSVersion(TXLSVersion::xls50); }),
              "Version can not be changed while file is open");
    EXPECT_EQ(Mensagem([&] { w.WriteString(3, 7, std::string(32768, 'x'), 0); }),
              "Cell R7,C3: String length more than 32767 bytes");
    w.OnWriteData = [](TXLSWrite&, std::uint16_t&, std::uint16_t& n, std::vector<std::uint8_t>&) { n = 9000; };
    EXPECT_EQ(Mensagem([&] { w.WriteNumber(0, 0, 1, -1); }), "Data size to large, max 8224 bytes");
    w.OnWriteData = nullptr;
    w.CloseFile();
    w.CloseFile(); // closed: nothing
    EXPECT_FALSE(w.FileIsOpen());
}

TEST(XLSWrite, FailedSaveLeavesWriterReadyAndOldFileIntact) {
    PastaTemporaria pasta;
    const std::string arq = pasta.Grava("v.xls", "antigo");
    TabelaResultados t = teste::TabelaExemplo();
    t.Rotulo(2) = std::string(40000, 'x');
    TXLSWrite w;
    ConfiguraXLSWrite1(w);
    EXPECT_THROW(SalvaXLS(w, t, arq), ErroXLS);
    EXPECT_FALSE(w.FileIsOpen());
    EXPECT_EQ(pasta.Le("v.xls"), "antigo");
    t.Rotulo(2) = "ok";
    SalvaXLS(w, t, arq);
    EXPECT_NO_THROW(LeWorkbook(arq));
    // More columns than a sheet holds: refused before any file is made.
    for (int c = t.NumColunas(); c < 256; ++c) AcrescentaColuna(t, "c", 0);
    EXPECT_THROW(SalvaXLS(w, t, pasta / "grande.xls"), ErroXLS);
    EXPECT_FALSE(std::filesystem::exists(pasta / "grande.xls"));
}

// Each substream (the globals, then every sheet) is a BOF .. EOF pair, and the
// shared strings stay inside the globals.
// A table the sheet cannot hold is refused in Portuguese, with its size, the
// sheet's limits and the formats that hold it (DBF only while its fields fit).
TEST(XLSWrite, ATooLargeTableIsRefusedWithTheLimitsAndTheFormatsThatHoldIt) {
    PastaTemporaria pasta;
    TXLSWrite w;
    ConfiguraXLSWrite1(w);
    struct Caso {
        std::int32_t colunas, linhas;
        std::string mensagem;
    } casos[] = {
        {256, 3,
         "A tabela tem 256 colunas e 3 linhas; uma planilha do Excel comporta no m\xE1ximo 255 colunas e 65530 "
         "linhas. Salve-a como CSV (.csv), que comporta a tabela inteira."},
        {2, 65531,
         "A tabela tem 2 colunas e 65531 linhas; uma planilha do Excel comporta no m\xE1ximo 255 colunas e 65530 "
         "linhas. Salve-a como CSV (.csv) ou DBF (.dbf), que comportam a tabela inteira."},
    };
    for (const Caso& c : casos) {
        TabelaResultados t;
        t.AlocaLinhas(c.linhas, c.linhas);
        for (std::int32_t k = 0; k < c.colunas; ++k) AcrescentaColuna(t, "c" + std::to_string(k), 0);
        try {
            SalvaXLS(w, t, pasta / "grande.xls");
            ADD_FAILURE() << "not refused";
        } catch (const ErroXLS& e) {
            EXPECT_EQ(e.what(), c.mensagem);
        }
        EXPECT_FALSE(std::filesystem::exists(pasta / "grande.xls"));
    }
    // At either limit it is written.
    TabelaResultados larga, longa;
    larga.AlocaLinhas(1, 1);
    for (std::int32_t k = 0; k < MaxColunasXLS; ++k) AcrescentaColuna(larga, "c", 0);
    longa.AlocaLinhas(MaxLinhasXLS, MaxLinhasXLS);
    AcrescentaColuna(longa, "c", 0);
    EXPECT_NO_THROW(SalvaXLS(w, larga, pasta / "larga.xls"));
    EXPECT_NO_THROW(SalvaXLS(w, longa, pasta / "longa.xls"));
}

TEST(XLSWrite, GlobalsAndEverySheetEndWithTheirOwnEOF) {
    PastaTemporaria pasta;
    TXLSWrite w;
    ConfiguraXLSWrite1(w);
    w.Sheets = {"Um", "Dois"};
    w.FileName = pasta / "f.xls";
    w.OpenFile();
    w.WriteString(0, 0, "texto", 0);
    w.NextSheet();
    w.WriteNumber(1, 1, 2.5, 2);
    w.CloseFile();
    const auto regs = LeWorkbook(pasta / "f.xls");
    std::vector<std::uint16_t> limites; // BOF types and EOFs in stream order
    for (const auto& r : regs)
        if (r.id == 0x0809) limites.push_back(L16(r.dados, 2));
        else if (r.id == 0x000A) limites.push_back(0);
    EXPECT_EQ(limites, (std::vector<std::uint16_t>{0x0005, 0, 0x0010, 0, 0x0010, 0}));
    std::size_t sst = 0, eofGlobais = 0;
    for (std::size_t i = 0; i < regs.size(); ++i) {
        if (regs[i].id == 0x00FC) sst = i;
        if (regs[i].id == 0x000A && eofGlobais == 0) eofGlobais = i;
    }
    EXPECT_LT(sst, eofGlobais);
    for (const auto& r : regs)
        if (r.id == 0x0085) {
            const std::uint32_t off = L32(r.dados, 0);
            const auto i = std::find_if(regs.begin(), regs.end(), [&](const Registro& x) { return x.pos == off; });
            ASSERT_NE(i, regs.end());
            ASSERT_NE(i, regs.begin());
            EXPECT_EQ(i->id, 0x0809);
            EXPECT_EQ(std::prev(i)->id, 0x000A) << "a sheet begins right after an EOF";
        }
}

// A refused second open leaves the open file's used range (DIMENSIONS) as it was.
TEST(XLSWrite, RefusedSecondOpenKeepsTheUsedRange) {
    PastaTemporaria pasta;
    TXLSWrite w;
    ConfiguraXLSWrite1(w);
    w.FileName = pasta / "d.xls";
    w.OpenFile();
    w.WriteNumber(3, 10, 1, -1);
    EXPECT_THROW(w.OpenFile(), ErroXLS);
    w.WriteNumber(1, 2, 1, -1);
    w.CloseFile();
    for (const auto& r : LeWorkbook(pasta / "d.xls"))
        if (r.id == 0x0200) {
            EXPECT_EQ(L32(r.dados, 0), 2u);
            EXPECT_EQ(L32(r.dados, 4), 11u);
            EXPECT_EQ(L16(r.dados, 8), 1u);
            EXPECT_EQ(L16(r.dados, 10), 4u);
        }
}

// Borders: thin lines on the chosen sides; the diagonal is its own flag, not a
// change of the bottom line's style.
TEST(XLSWrite, DiagonalBorderSetsItsFlagOnly) {
    PastaTemporaria pasta;
    TXLSWrite w;
    w.DefineXLSVersion(TXLSVersion::xls97);
    w.AdicionaFormato().Border = cbDiag;
    w.AdicionaFormato().Border = cbLeft | cbBottom;
    w.FileName = pasta / "b.xls";
    w.OpenFile();
    w.CloseFile();
    std::vector<std::string> xfs;
    for (const auto& r : LeWorkbook(pasta / "b.xls"))
        if (r.id == 0x00E0) xfs.push_back(r.dados);
    ASSERT_EQ(xfs.size(), 18u);
    const std::uint32_t diag = L32(xfs[16], 10), lados = L32(xfs[17], 10);
    EXPECT_EQ(diag & 0xFFFFu, 0u) << "no side line";
    EXPECT_EQ(diag >> 30, 1u) << "top-left to bottom-right";
    EXPECT_EQ(lados & 0xFFFFu, 0x1001u);
    EXPECT_EQ(lados >> 30, 0u);
    EXPECT_EQ(static_cast<unsigned char>(xfs[16][9]) & 0x20, 0x20) << "border used";
}

// A real spreadsheet program reads the workbook: the values of the table come back.
TEST(XLSWrite, SpreadsheetProgramReadsTheTable) {
    std::string saida;
    if (teste::Executa("command -v soffice >/dev/null 2>&1") != 0) {
        // CI installs it: there a missing program must not pass as a skip.
        if (std::getenv("DORVAN_EXIGE_LIBREOFFICE")) FAIL() << "soffice required but not installed";
        GTEST_SKIP() << "soffice not installed";
    }
    PastaTemporaria pasta;
    TabelaResultados t = teste::TabelaExemplo();
    SalvaXLS(XLSWrite1(), t, pasta / "tabela.xls");
    const std::string cmd = "cd '" + pasta.Caminho().string() + "' && HOME='" + pasta.Caminho().string() +
                            "' timeout 120 soffice --headless --norestore '-env:UserInstallation=file://" +
                            pasta.Caminho().string() +
                            "/perfil' --convert-to 'csv:Text - txt - csv (StarCalc):44,34,76,1,,1033' tabela.xls "
                            ">/dev/null 2>&1";
    ASSERT_EQ(teste::Executa(cmd), 0);
    const std::string csv = pasta.Le("tabela.csv");
    // Numbers come back in the cells' format: 1,000 and grouping per the user pattern.
    EXPECT_NE(csv.find("Popula\xC3\xA7\xC3\xA3o residente"), std::string::npos) << csv;
    EXPECT_NE(csv.find("Regi\xC3\xA3o,Popula\xC3\xA7\xC3\xA3o,Taxa/100 mil,1991"), std::string::npos) << csv;
    EXPECT_NE(csv.find("\"11 Norte \"\"grande\"\", 'amaz\xC3\xB4nia'\",\"1,000\",1.50,3"), std::string::npos) << csv;
    EXPECT_NE(csv.find("13 S\xC3\xA3o Paulo \xE2\x82\xAC euro,0,0.00,7"), std::string::npos) << csv;
    EXPECT_NE(csv.find("14 Sul,\"123,456,789\",10.13,0"), std::string::npos) << csv;
    EXPECT_NE(csv.find("Total,\"123,482,789\",9.38,10"), std::string::npos) << csv;
    EXPECT_NE(csv.find("Fonte: \"\"IBGE\"\"; 2020"), std::string::npos) << csv;

    // Strings spread over CONTINUE records: every label still reads back.
    TabelaResultados g;
    g.AlocaLinhas(1500, 1500);
    AcrescentaColuna(g, "V", 0);
    for (int r = 1; r <= 1500; ++r) {
        g.Rotulo(r) = "Munic\xEDpio n\xFAmero " + std::to_string(r);
        g.Dado(1, r) = r;
    }
    SalvaXLS(XLSWrite1(), g, pasta / "tabela.xls");
    ASSERT_EQ(teste::Executa(cmd), 0);
    const std::string csv2 = pasta.Le("tabela.csv");
    for (int r : {1, 400, 777, 1500})
        EXPECT_NE(csv2.find("Munic\xC3\xADpio n\xC3\xBAmero " + std::to_string(r) + "," +
                               (r == 1500 ? std::string("\"1,500\"") : std::to_string(r)) + "\n"),
                  std::string::npos)
            << r;

    // Entries larger than a record, split across CONTINUE records, one of them wide.
    TXLSWrite w;
    ConfiguraXLSWrite1(w);
    w.FileName = pasta / "tabela.xls";
    w.OpenFile();
    w.WriteString(0, 0, std::string(9000, 'a') + "fim", 0);
    w.WriteString(0, 1, std::string(8300, 'b') + "\x80" + "fim", 0);
    w.WriteString(0, 2, "depois", 0);
    w.CloseFile();
    ASSERT_EQ(teste::Executa(cmd), 0);
    const std::string csv3 = pasta.Le("tabela.csv");
    EXPECT_EQ(csv3, std::string(9000, 'a') + "fim\n" + std::string(8300, 'b') + "\xE2\x82\xAC" + "fim\ndepois\n");
}

} // namespace
} // namespace dorvan

namespace dorvan {
namespace {

// Saves over a file the user made read-only are refused, the administrator's too:
// the message names the file and the file stays as it was.
TEST(Salvamentos, AReadOnlyFileIsRefusedByEveryWriter) {
    teste::PastaTemporaria pasta;
    TabelaResultados t = teste::TabelaExemplo();
    struct Caso {
        const char* nome;
        std::function<void(const std::string&)> grava;
    } casos[] = {
        {"t.xls", [&](const std::string& a) { TXLSWrite w; SalvaXLS(w, t, a); }},
        {"t.csv", [&](const std::string& a) { GravaCSV(t, a); }},
        {"t.tab", [&](const std::string& a) { GravaTab(t, a, {}); }},
        {"t.dbf", [&](const std::string& a) { GravaDBF(t, a, false); }},
    };
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.nome);
        const std::string arquivo = pasta.Grava(c.nome, "protegido");
        ::chmod(arquivo.c_str(), 0444);
        EXPECT_ANY_THROW(c.grava(arquivo));
        EXPECT_EQ(pasta.Le(c.nome), "protegido");
    }
    std::size_t n = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(pasta.Caminho()))
        ++n;
    EXPECT_EQ(n, 4u);
}

} // namespace
} // namespace dorvan

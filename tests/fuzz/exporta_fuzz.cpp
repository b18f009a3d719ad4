// A table read from a table file and written in every export the outside world
// reads back: the SQL script run in SQLite, the XML parsed, the DBF and the CNV
// loaded again. A script SQLite refuses, XML that is not well formed, or a DBF that
// lost rows is a fault of the writer.
#include "ApoioFuzz.h"
#include "data/LeDBF32.h"
#include "output/GravaCNV.h"
#include "output/GravaDBF.h"
#include "output/GravaPalm.h"
#include "output/GravaSQL.h"
#include "output/GravaTexto.h"
#include "output/GravaXML.h"
#include "output/XLSWrite.h"
#include "platform/Arquivos.h"
#include "table/TabelaArquivo.h"
#include "table/TabelaResultados.h"
#include "tabulation/Utab.h"

#include <QByteArray>
#include <QXmlStreamReader>
#include <cstdio>
#include <sqlite3.h>

using namespace dorvan;

namespace {
[[noreturn]] void Falha(const char* motivo, const std::string& detalhe) {
    std::fprintf(stderr, "%s\n%s\n", motivo, detalhe.c_str());
    std::abort();
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* dados, std::size_t tamanho) {
    fuzz::Prepara();
    const std::string texto(fuzz::Texto(dados, tamanho));
    TabelaResultados t;
    bool lida = false;
    fuzz::Tenta([&] { lida = LeTabelaDeTexto(t, texto, "x.tab").tabela; });
    if (!lida) return 0;
    const std::string pasta = fuzz::Pasta().string() + "/";

    fuzz::Tenta([&] {
        GravaSQL(t, pasta + "x.sql");
        const std::string script = LeArquivoInteiro(pasta + "x.sql");
        sqlite3* bd = nullptr;
        if (sqlite3_open(":memory:", &bd) != SQLITE_OK) std::abort();
        char* erro = nullptr;
        const int r = sqlite3_exec(bd, script.c_str(), nullptr, nullptr, &erro);
        const std::string mensagem = erro ? erro : "";
        sqlite3_free(erro);
        sqlite3_close(bd);
        if (r != SQLITE_OK) Falha("SQLite refused the script", mensagem + "\n" + script);
    });

    fuzz::Tenta([&] {
        GravaXML(t, pasta + "x.xml");
        const std::string xml = LeArquivoInteiro(pasta + "x.xml");
        QXmlStreamReader leitor(QByteArray::fromRawData(xml.data(), static_cast<qsizetype>(xml.size())));
        while (!leitor.atEnd())
            leitor.readNext();
        if (leitor.hasError()) Falha("XML not well formed", leitor.errorString().toStdString() + "\n" + xml);
    });

    fuzz::Tenta([&] {
        if (!GravaDBF(t, pasta + "x.dbf", dados[0] & 1)) return;
        dbfRecord h;
        OpenDBF(h, pasta + "x.dbf", true);
        if (h.Estado == 0) Falha("the DBF written does not open", "");
        if (h.NumRegs != t.NumLinhas) Falha("the DBF lost rows", std::to_string(h.NumRegs));
        for (std::int64_t n = 1; n <= h.NumRegs; ++n)
            readDBF(h, n);
        CloseDBF(h);
    });

    // The separated texts read back as tables of the same rows; the others are
    // written through (the workbook, the page, the GIS table, the handheld data).
    fuzz::Tenta([&] {
        GravaCSV(t, pasta + "x.csv");
        GravaTextoTab(t, pasta + "x.prn");
        GravaTabelaR(t, pasta + "x.txt");
        for (const char* nome : {"x.csv", "x.prn"}) {
            TabelaResultados volta;
            const LeituraTabela l = LeTabela(volta, pasta + nome);
            if (l.tabela && volta.NumLinhas != t.NumLinhas)
                Falha("a separated text lost rows", nome + (": " + std::to_string(volta.NumLinhas)));
        }
        GravaHTML(t, pasta + "x.htm");
        GravaSPRING(t, pasta + "x.spr", CategoriaPadraoSPRING(t));
        GravaDadosPalm(t, pasta + "x.pdb.csv", dados[0] & 2);
        try {
            SalvaXLS(t, pasta + "x.xls");
        } catch (const ErroXLS&) {
            // a table over the sheet's limits, refused with its message
        }
    });

    fuzz::Tenta([&] {
        if (!GravaCNV(t, pasta + "x.cnv")) return;
        DirTabelas = fuzz::Pasta().string();
        TDimensao d;
        if (LeDimensao("Variavel           X,1,x.cnv", MaximoLinhas, d))
            for (std::int32_t r = 1; r <= t.NumLinhas && r <= 50; ++r)
                Categoria(t.Rotulo(r), d);
        LiberaDimensao(d);
    });
    return 0;
}

// A table file (.tab and the other separated text tables) read into a results table
// and saved again: the saved text reads back with the same rows and columns, and
// from then on saving and reading change nothing. (The first save may still differ
// from the input: a table without a title, or with an empty one, reads back titled
// by its file name.)
#include "ApoioFuzz.h"
#include "table/TabelaArquivo.h"
#include "table/TabelaResultados.h"

#include <cstdio>

using namespace dorvan;

namespace {
[[noreturn]] void Falha(const char* motivo, const std::string& antes, const std::string& depois) {
    std::fprintf(stderr, "%s\nsaved:\n%s\nread back and saved again:\n%s\n", motivo, antes.c_str(), depois.c_str());
    std::abort();
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* dados, std::size_t tamanho) {
    if (tamanho < 1) return 0;
    fuzz::Prepara();
    // The first byte picks the decimal mark of TAB-separated tables.
    const char marca = dados[0] & 1 ? ',' : '.';
    const std::string texto(fuzz::Texto(dados + 1, tamanho - 1));
    fuzz::Tenta([&] {
        TabelaResultados t;
        const LeituraTabela l = LeTabelaDeTexto(t, texto, "x.tab", marca);
        if (!l.tabela) return;
        const std::string salvo = TextoTab(t, l.log);
        TabelaResultados t2;
        const LeituraTabela l2 = LeTabelaDeTexto(t2, salvo, "x.tab", marca);
        const std::string salvo2 = l2.tabela ? TextoTab(t2, l2.log) : std::string();
        if (!l2.tabela || t2.NumLinhas != t.NumLinhas || t2.NumColunas() != t.NumColunas())
            Falha("rows or columns changed", salvo, salvo2);
        // A table read always has a first title (its file's name when the file gives none).
        if (t.Titulo1.empty() || t2.Titulo1.empty()) Falha("the first title went missing", salvo, salvo2);
        TabelaResultados t3;
        const LeituraTabela l3 = LeTabelaDeTexto(t3, salvo2, "x.tab", marca);
        const std::string salvo3 = l3.tabela ? TextoTab(t3, l3.log) : std::string();
        if (salvo3 != salvo2) Falha("saving again changed the text", salvo2, salvo3);
    });
    return 0;
}

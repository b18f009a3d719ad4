// A table file (.tab and the other separated text tables) read into a results table
// and saved again: the saved text must read back to the same table.
#include "ApoioFuzz.h"
#include "table/TabelaArquivo.h"
#include "table/TabelaResultados.h"

using namespace dorvan;

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
        TabelaResultados de_novo;
        const LeituraTabela l2 = LeTabelaDeTexto(de_novo, salvo, "x.tab", marca);
        if (!l2.tabela || TextoTab(de_novo, l2.log) != salvo) std::abort();
    });
    return 0;
}

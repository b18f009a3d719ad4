// A query-builder model file read, its SQL made, and the model written again: what
// is written reads back to the same text.
#include "ApoioFuzz.h"
#include "query/ModeloConstrutor.h"

#include <cstdio>

using namespace dorvan;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* dados, std::size_t tamanho) {
    fuzz::Prepara();
    const std::string texto(fuzz::Texto(dados, tamanho));
    // Every table but "sumiu" opens, with the same few fields.
    const LeCamposTabela campos = [](const std::string&, const std::string& tabela)
        -> std::optional<std::vector<std::string>> {
        if (tabela == "sumiu") return std::nullopt;
        return std::vector<std::string>{"id", "nome", "valor"};
    };
    fuzz::Tenta([&] {
        const auto m = LeTextoModelo(texto, "x.qb", campos);
        if (!m) return;
        GeraSQL(*m);
        const std::string escrito = TextoModelo(*m);
        const auto m2 = LeTextoModelo(escrito, "x.qb", campos);
        if (!m2 || TextoModelo(*m2) != escrito) {
            std::fprintf(stderr, "written:\n%s\nread back and written again:\n%s\n", escrito.c_str(),
                         m2 ? TextoModelo(*m2).c_str() : "(nothing)");
            std::abort();
        }
    });
    return 0;
}

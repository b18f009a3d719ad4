// libFuzzer target for the DBC codec (built with the others, see CMakeLists.txt here).
// Any input is expanded as a stream (it must stay in bounds), and compressed then
// expanded again (it must come back unchanged). The first byte picks the chunk sizes.
#include "platform/Compressao.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

using namespace dorvan::compressao;

namespace {
struct Canal {
    const unsigned char* dados;
    std::size_t tamanho, pos = 0;
    unsigned passo;
    std::string saida;
};
unsigned Le(char* buffer, unsigned* tamanho, void* param) {
    auto* c = static_cast<Canal*>(param);
    std::size_t n = std::min<std::size_t>({*tamanho, c->passo, c->tamanho - c->pos});
    std::memcpy(buffer, c->dados + c->pos, n);
    c->pos += n;
    return static_cast<unsigned>(n);
}
void Grava(char* buffer, unsigned* tamanho, void* param) { static_cast<Canal*>(param)->saida.append(buffer, *tamanho); }
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* dados, std::size_t tamanho) {
    if (tamanho == 0) return 0;
    unsigned passo = 1u + dados[0] * 37u;
    ++dados;
    --tamanho;
    std::vector<char> trabalho(TAM_TRABALHO_IMPLODE);

    Canal bruto{dados, tamanho, 0, passo, {}};
    explode(Le, Grava, trabalho.data(), &bruto);

    Canal c{dados, tamanho, 0, passo, {}};
    unsigned tipo = CMP_BINARIO, dic = 1024u << (passo % 3);
    if (implode(Le, Grava, trabalho.data(), &c, &tipo, &dic) != CMP_OK) std::abort();
    Canal e{reinterpret_cast<const unsigned char*>(c.saida.data()), c.saida.size(), 0, passo, {}};
    if (explode(Le, Grava, trabalho.data(), &e) != CMP_OK) std::abort();
    if (e.saida != std::string(reinterpret_cast<const char*>(dados), tamanho)) std::abort();
    return 0;
}

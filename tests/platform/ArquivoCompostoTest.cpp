// Compound files: what we write reads back stream by stream through a strict reader,
// across the mini-stream limit and past the header's list of table sectors.
#include "platform/ArquivoComposto.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace dorvan {
namespace {

std::string Padrao(std::size_t n, unsigned semente) {
    std::string s(n, '\0');
    std::uint32_t x = semente * 2654435761u + 1;
    for (auto& c : s) {
        x = x * 1103515245u + 12345u;
        c = static_cast<char>(x >> 24);
    }
    return s;
}

TEST(ArquivoComposto, StreamsOfEverySizeReadBackExactly) {
    // Sizes around the mini-sector, the sector, the mini-stream limit and a file whose
    // allocation table needs more than the 109 sectors the header lists.
    const std::vector<std::size_t> tamanhos = {0, 1, 63, 64, 65, 511, 512, 4095, 4096, 4097, 70000, 8 * 1024 * 1024};
    for (std::size_t tam : tamanhos) {
        SCOPED_TRACE(tam);
        const std::vector<FluxoComposto> fluxos = {{"Workbook", Padrao(tam, 1)}, {"Extra", Padrao(100, 2)}};
        const std::string arq = MontaArquivoComposto(fluxos);
        EXPECT_EQ(arq.size() % 512, 0u);
        EXPECT_EQ(LeFluxoComposto(arq, "Workbook"), fluxos[0].Dados);
        EXPECT_EQ(LeFluxoComposto(arq, "extra"), fluxos[1].Dados);
    }
}

TEST(ArquivoComposto, ManyStreamsFormAnOrderedDirectoryTree) {
    std::vector<FluxoComposto> fluxos;
    for (int i = 0; i < 23; ++i) fluxos.push_back({"S" + std::to_string(i * 7919 % 1000), Padrao(10 * i + 5000 * (i % 2), i)});
    const std::string arq = MontaArquivoComposto(fluxos);
    const auto nomes = ListaFluxosCompostos(arq);
    ASSERT_EQ(nomes.size(), fluxos.size());
    for (std::size_t i = 1; i < nomes.size(); ++i)
        EXPECT_TRUE(nomes[i - 1].size() < nomes[i].size() || (nomes[i - 1].size() == nomes[i].size() && nomes[i - 1] < nomes[i]));
    for (const auto& f : fluxos) EXPECT_EQ(LeFluxoComposto(arq, f.Nome), f.Dados);
}

TEST(ArquivoComposto, BadNamesAndDamagedFilesAreRefused) {
    EXPECT_THROW(MontaArquivoComposto({{"", "x"}}), std::invalid_argument);
    EXPECT_THROW(MontaArquivoComposto({{std::string(32, 'a'), "x"}}), std::invalid_argument);
    EXPECT_THROW(MontaArquivoComposto({{"Book", "x"}, {"BOOK", "y"}}), std::invalid_argument);
    std::string arq = MontaArquivoComposto({{"Workbook", Padrao(5000, 3)}});
    EXPECT_THROW(LeFluxoComposto(arq, "Book"), std::runtime_error);
    arq[0] = 'X';
    EXPECT_THROW(LeFluxoComposto(arq, "Workbook"), std::runtime_error);
    EXPECT_THROW(LeFluxoComposto(arq.substr(0, 700), "Workbook"), std::runtime_error);
}

void Poe32(std::string& s, std::size_t pos, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) s[pos + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
}

// Header counts and sector numbers that do not fit the file are refused before
// anything is read through them.
TEST(ArquivoComposto, HeaderCountsBeyondTheFileAreRefused) {
    const std::string bom = MontaArquivoComposto({{"Workbook", Padrao(300 * 512, 4)}});
    const std::size_t setores = bom.size() / 512 - 1;
    ASSERT_GT(setores, 300u);
    struct Caso {
        const char* nome;
        std::size_t pos;
        std::uint32_t valor;
    };
    const Caso casos[] = {
        {"one table sector that lies far past its own reach", 76, 250},
        {"more table sectors than the file holds", 44, 0xFFFFFFF0u},
        {"an extension list longer than the file", 72, 0xFFFFFFFFu},
    };
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.nome);
        std::string arq = bom;
        if (c.pos == 76) Poe32(arq, 44, 1); // the table then covers 128 sectors only
        Poe32(arq, c.pos, c.valor);
        EXPECT_THROW(LeFluxoComposto(arq, "Workbook"), std::runtime_error);
    }
}

} // namespace
} // namespace dorvan

// The CNV generator: a conversion table for every field of a DBF, each of which the
// tabulation must then be able to load.
#include "ApoioFuzz.h"
#include "data/LeDBF32.h"
#include "tabulation/FazDef.h"
#include "tabulation/Utab.h"

#include <cstdio>
#include <filesystem>

using namespace dorvan;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* dados, std::size_t tamanho) {
    fuzz::Prepara();
    const std::string nome = fuzz::Grava("x.dbf", fuzz::Texto(dados, tamanho));
    DirTabelas = fuzz::Pasta().string();
    fuzz::Tenta([&] {
        const auto campos = CamposDoArquivo(nome);
        if (!campos) return;
        std::vector<std::string> marcados;
        for (const CampoDBF& c : *campos)
            marcados.push_back(c.Nome);
        const ResultadoCNV r = GeraCNVs(nome, marcados);
        for (const std::string& arquivo : r.arquivos) {
            TDimensao d;
            const std::string tabela = std::filesystem::path(arquivo).filename().string();
            if (!LeDimensao("Variavel           X,1," + tabela, MaximoLinhas, d)) {
                std::fprintf(stderr, "%s: %s\n", tabela.c_str(), ErroTabela.c_str());
                std::abort();
            }
            LiberaDimensao(d);
            std::filesystem::remove(arquivo);
        }
    });
    return 0;
}

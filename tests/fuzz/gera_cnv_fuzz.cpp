// The CNV generator: a conversion table for every field of a DBF, each of which the
// tabulation must then be able to load. Checked for fields whose name a dimension
// line can hold as it is (letters, digits, '_') and tables of at least one category:
// a field of no value still gets a table of 0 categories that the loader refuses.
#include "ApoioFuzz.h"
#include "data/LeDBF32.h"
#include "data/UConvert.h"
#include "platform/Arquivos.h"
#include "tabulation/FazDef.h"
#include "tabulation/Utab.h"

#include <cctype>
#include <cstdio>
#include <filesystem>
#include <set>

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
        auto simples = [](const std::string& nome) {
            if (nome.empty()) return false;
            for (const char c : nome)
                if (!std::isalnum(static_cast<unsigned char>(c)) && c != '_') return false;
            return true;
        };
        std::set<std::string> conferidos;
        for (const CampoDBF& c : *campos)
            if (simples(c.Nome) && c.Tamanho > 0) conferidos.insert(ParaMinusculas(c.Nome) + ".cnv");
        for (const std::string& arquivo : r.arquivos) {
            TDimensao d;
            const std::string tabela = std::filesystem::path(arquivo).filename().string();
            const bool vazia = LeArquivoInteiro(arquivo).rfind("0 ", 0) == 0;
            if (!conferidos.count(tabela) || vazia) continue;
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

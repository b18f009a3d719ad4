// Figures for classifying field values, the per-record work of a tabulation: a
// direct table of width 4, a key table of 5570 six-character codes with ranges,
// and ten numeric bounds, each over ten million values.
#include "tabulation/Utab.h"

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <unistd.h>
#include <vector>

#include "Medida.h"

using dorvan::bench::Segundos;

namespace {

std::string Fixo(std::string s, std::size_t largura, bool direita = false) {
    if (s.size() < largura)
        s = direita ? std::string(largura - s.size(), ' ') + s : s + std::string(largura - s.size(), ' ');
    return s;
}

std::string Linha(int k, const std::string& rotulo, const std::string& codigos) {
    return "   " + Fixo(std::to_string(k), 4, true) + "  " + Fixo(rotulo, 50) + " " + codigos + "\r\n";
}

std::string Codigo6(int n) {
    std::string s = std::to_string(n);
    return std::string(6 - s.size(), '0') + s;
}

void Mede(const char* nome, const dorvan::TDimensao& d, const std::vector<std::string>& valores) {
    auto inicio = std::chrono::steady_clock::now();
    long long soma = 0;
    for (const std::string& v : valores)
        soma += dorvan::Categoria(v, d);
    double s = Segundos(inicio);
    std::printf("%-28s %zu values: %.3f s, %.1f M/s (%lld)\n", nome, valores.size(), s, valores.size() / s / 1e6, soma);
}

} // namespace

int main() {
    using namespace dorvan;
    namespace fs = std::filesystem;
    fs::path pasta = fs::temp_directory_path() / ("bench_categoria_" + std::to_string(::getpid()));
    fs::create_directories(pasta);
    DirTabelas = pasta.string();
    const std::size_t n = 10'000'000;
    std::mt19937 gerador(7);

    {
        std::ofstream f(pasta / "cid.cnv", std::ios::binary);
        f << "260 4\r\n";
        for (int k = 1; k <= 260; ++k) {
            char letra = static_cast<char>('A' + (k - 1) / 10);
            std::string baixo = std::string(1, letra) + std::to_string((k - 1) % 10) + "00";
            std::string alto = std::string(1, letra) + std::to_string((k - 1) % 10) + "99";
            f << Linha(k, "Grupo " + baixo, baixo + "-" + alto);
        }
    }
    {
        std::ofstream f(pasta / "munic.cnv", std::ios::binary);
        f << "5570 6\r\n";
        for (int k = 1; k <= 5570; ++k)
            f << Linha(k, "Municipio " + std::to_string(k), Codigo6(100000 + k * 17));
    }
    {
        std::ofstream f(pasta / "idade.cnv", std::ios::binary);
        f << "10 3 F\r\n";
        for (int k = 1; k <= 10; ++k)
            f << Linha(k, "Ate " + std::to_string(k * 10), Fixo(std::to_string(k * 10), 3, true));
    }

    TDimensao direta, chave, limites;
    if (!LeDimensao("CID                CAUSABAS,1,cid.cnv", MaximoLinhas, direta) ||
        !LeDimensao("Municipio          CODMUN,1,munic.cnv", MaximoLinhas, chave) ||
        !LeDimensao("Idade              IDADE,1,idade.cnv", MaximoLinhas, limites)) {
        std::printf("load failed: %s\n", ErroTabela.c_str());
        return 1;
    }

    std::vector<std::string> valores(n);
    std::uniform_int_distribution<int> letra(0, 25), numero(0, 999);
    for (auto& v : valores)
        v = std::string(1, static_cast<char>('A' + letra(gerador))) + Fixo(std::to_string(numero(gerador)), 3, true);
    Mede("direct table, width 4", direta, valores);

    std::uniform_int_distribution<int> municipio(1, 6000);
    for (auto& v : valores)
        v = Codigo6(100000 + municipio(gerador) * 17);
    Mede("key table, 5570 codes", chave, valores);

    std::uniform_int_distribution<int> idade(0, 120);
    for (auto& v : valores)
        v = Fixo(std::to_string(idade(gerador)), 3, true);
    Mede("ten bounds", limites, valores);

    fs::remove_all(pasta);
    return 0;
}

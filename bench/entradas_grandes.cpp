// Figures for inputs whose reading used to grow with the square of their size: a
// conversion table of 400,000 codes in descending order, a map interchange file
// with an 800 KB object line, and a settings file of 40,000 keys. Built from the
// same inputs every run; the machine's load is printed beside each figure.
#include "maps/Importadores.h"
#include "platform/Ini.h"
#include "tabulation/Utab.h"

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

#include "Medida.h"

using dorvan::bench::Segundos;

namespace {

std::string Carga() {
    std::ifstream f("/proc/loadavg");
    std::string um;
    f >> um;
    return um.empty() ? "?" : um;
}

void Grava(const std::filesystem::path& p, const std::string& texto) {
    std::ofstream f(p, std::ios::binary);
    f << texto;
}

} // namespace

int main() {
    using namespace dorvan;
    namespace fs = std::filesystem;
    const fs::path pasta = fs::temp_directory_path() / ("dorvan-bench-entradas-" + std::to_string(::getpid()));
    fs::create_directories(pasta);

    // A key table of one category, one code per line, codes descending.
    {
        const int n = 400000;
        std::string cnv = "1 6 L\r\n";
        std::string rotulo = "Codigos";
        rotulo.resize(50, ' ');
        for (int i = 0; i < n; ++i) cnv += "      1  " + rotulo + " " + std::to_string(999999 - i) + "\r\n";
        Grava(pasta / "desc.cnv", cnv);
        DirTabelas = pasta.string();
        std::string linha = "Codigo";
        linha.resize(19, ' ');
        linha += "COD,1,desc.cnv";
        TDimensao d;
        const auto inicio = std::chrono::steady_clock::now();
        const bool ok = LeDimensao(linha, 10000, d);
        const double s = Segundos(inicio);
        std::printf("CNV: %d codes in descending order: %.3f s (ok %d, %d keys; load %s)\n", n, s, ok ? 1 : 0,
                    d.Indice.Quantidade(), Carga().c_str());
        LiberaDimensao(d);
    }

    // One polyline whose object line holds 400,000 words (800 KB).
    {
        std::string linha = "Pline 2";
        while (linha.size() < 800000) linha += " 1";
        Grava(pasta / "longa.mif", "Columns 1\n  Nome Char(5)\nData\n" + linha + "\n0 0\n1 1\n");
        Grava(pasta / "longa.mid", "A\n");
        const auto inicio = std::chrono::steady_clock::now();
        ImportaMIF((pasta / "longa.mif").string());
        const double s = Segundos(inicio);
        std::printf("MIF: one object line of %zu bytes: %.3f s (load %s)\n", linha.size(), s, Carga().c_str());
    }

    // A settings file of 40,000 keys in one section.
    {
        const int n = 40000;
        std::string texto = "[Opcoes]\r\n";
        for (int i = 0; i < n; ++i) texto += "Chave" + std::to_string(i) + "=" + std::to_string(i) + "\r\n";
        ArquivoIni ini;
        const auto inicio = std::chrono::steady_clock::now();
        ini.LeTexto(texto);
        long long soma = 0;
        for (int i = 0; i < n; i += 100) soma += ini.LeInteiro("opcoes", "CHAVE" + std::to_string(i), 0);
        const double s = Segundos(inicio);
        std::printf("INI: %d keys read, %d looked up: %.3f s (sum %lld; load %s)\n", n, n / 100, s, soma,
                    Carga().c_str());
    }

    fs::remove_all(pasta);
    return 0;
}

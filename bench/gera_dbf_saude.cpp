// Writes a synthetic public-health record file and its compressed copy:
//   bench_gera_dbf_saude <folder> [records=2000000] [municipalities=500] [files=1]
// gives <folder>/OBITOS.dbf (100-byte records, about 200 MB for 2 million) and
// <folder>/OBITOS.dbc; with several files the records are split into OBITOS01.dbf,
// OBITOS01.dbc, OBITOS02... Also obitos.def (rows and columns: municipality of
// residence, municipality of occurrence, sex) and its tables: MUNIC.CNV has 5,570
// municipalities, the ones the records use among them. The folder must be outside
// the source tree.
#include "data/LeDBF32.h"
#include "data/Ucomprim.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

using namespace dorvan;

namespace {

std::string Zeros(unsigned v, int largura) {
    std::string s = std::to_string(v);
    return std::string(static_cast<std::size_t>(std::max(0, largura - static_cast<int>(s.size()))), '0') + s;
}

double Segundos(std::chrono::steady_clock::duration d) { return std::chrono::duration<double>(d).count(); }

// 5,570 municipalities in the table the DEF names, whatever number the records use.
constexpr unsigned kMunicipiosCNV = 5570;

// One category line of a CNV: number, label, codes from column 61.
std::string LinhaCNV(unsigned k, const std::string& rotulo, const std::string& codigos) {
    std::string n = std::to_string(k);
    std::string r = rotulo;
    r.resize(50, ' ');
    return std::string(3, ' ') + std::string(4 - std::min<std::size_t>(4, n.size()), ' ') + n + "  " + r + " " +
           codigos;
}

void GravaTexto(const std::string& nome, const std::vector<std::string>& linhas) {
    std::FILE* f = std::fopen(nome.c_str(), "wb");
    if (!f) throw std::runtime_error("cannot write " + nome);
    for (const auto& l : linhas)
        std::fprintf(f, "%s\r\n", l.c_str());
    std::fclose(f);
}

// MUNIC.CNV (the records' municipalities first, then other codes up to 5,570),
// SEXO.CNV and obitos.def over OBITOS*.DB?.
void GravaTabelasEDef(const std::string& pasta, const std::vector<unsigned>& usados) {
    std::vector<unsigned> codigos = usados;
    std::sort(codigos.begin(), codigos.end());
    codigos.erase(std::unique(codigos.begin(), codigos.end()), codigos.end());
    std::vector<unsigned> todos = codigos;
    for (unsigned c = 100000; todos.size() < kMunicipiosCNV; ++c)
        if (!std::binary_search(codigos.begin(), codigos.end(), c)) todos.push_back(c);
    std::vector<std::string> munic{"; Munic\xEDpios (c\xF3"
                                   "digos sint\xE9ticos)",
                                   std::to_string(kMunicipiosCNV) + " 6 L"};
    unsigned k = 0;
    for (unsigned c : todos) {
        ++k;
        munic.push_back(LinhaCNV(k, std::to_string(c) + " Munic\xEDpio " + std::to_string(k), std::to_string(c)));
    }
    GravaTexto(pasta + "/MUNIC.CNV", munic);
    GravaTexto(pasta + "/SEXO.CNV", {"2 1", LinhaCNV(1, "Masculino", "1"), LinhaCNV(2, "Feminino", "2")});
    GravaTexto(pasta + "/obitos.def", {";\xD3"
                                       "bitos sint\xE9ticos",
                                       "AOBITOS*.DB?", "TMun resid\xEAncia,CODMUNRES,1,MUNIC.CNV",
                                       "TMun ocorr\xEAncia,CODMUNOCOR,1,MUNIC.CNV", "TSexo,SEXO,1,SEXO.CNV"});
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s <folder> [records=2000000]\n", argv[0]);
        return 2;
    }
    const std::string pasta = argv[1];
    const long n = argc > 2 ? std::strtol(argv[2], nullptr, 10) : 2000000;
    const unsigned nMunicipios = argc > 3 ? static_cast<unsigned>(std::strtoul(argv[3], nullptr, 10)) : 500;
    const int nArquivos = argc > 4 ? std::max(1, std::atoi(argv[4])) : 1;
    if (nMunicipios < 1 || nMunicipios > kMunicipiosCNV) {
        std::fprintf(stderr, "municipalities: 1 to %u\n", kMunicipiosCNV);
        return 2;
    }
    std::filesystem::create_directories(pasta);

    const std::vector<CampoDBF> campos = {
        {"DTOBITO", 'D', 8},   {"HORAOBITO", 'C', 4}, {"DTNASC", 'D', 8},     {"SEXO", 'C', 1},
        {"IDADE", 'C', 3},     {"RACACOR", 'C', 1},   {"ESTCIV", 'C', 1},     {"ESC", 'C', 1},
        {"OCUP", 'C', 6},      {"CODMUNRES", 'C', 6}, {"CODMUNOCOR", 'C', 6}, {"LOCOCOR", 'C', 1},
        {"CODESTAB", 'C', 7},  {"CAUSABAS", 'C', 4},  {"LINHAA", 'C', 16},    {"LINHAB", 'C', 16},
        {"ASSISTMED", 'C', 1}, {"NECROPSIA", 'C', 1}, {"PESO", 'N', 5},       {"IDADEMAE", 'N', 2},
        {"CIRCOBITO", 'C', 1},
    };
    static const char* causas[] = {"I219", "I64 ", "J189", "E149", "I10 ", "C349", "X959", "V892", "R99 ",
                                   "J449", "I500", "K746", "A419", "P073", "C509", "N179", "G309", "I679"};
    std::mt19937_64 g(20261209);
    std::vector<unsigned> municipios(nMunicipios);
    if (nMunicipios == 500) {
        for (auto& m : municipios)
            m = 110000 + static_cast<unsigned>(g() % 420000);
    } else {
        // Distinct codes spread over the same range.
        for (unsigned i = 0; i < nMunicipios; ++i)
            municipios[i] = 110000 + i * (420000 / kMunicipiosCNV);
    }
    auto municipio = [&] {
        return municipios[std::min<std::size_t>(g() % nMunicipios, g() % nMunicipios)]; // skewed to small indices
    };
    GravaTabelasEDef(pasta, municipios);

    auto gravaArquivo = [&](const std::string& dbf, const std::string& dbc, long n) {
        auto t0 = std::chrono::steady_clock::now();
        {
            dbfRecord h;
            CreateDBF(h, dbf, campos, 3);
            std::string r(h.TamRegistro, ' ');
            for (long i = 0; i < n; ++i) {
                unsigned ano = 2015 + static_cast<unsigned>(g() % 5), mes = 1 + static_cast<unsigned>(g() % 12),
                         dia = 1 + static_cast<unsigned>(g() % 28);
                unsigned idade = static_cast<unsigned>(std::min<std::uint64_t>(g() % 100, g() % 110));
                r[0] = (g() % 500 == 0) ? '*' : ' ';
                PutFieldDBF(h, 1, Zeros(ano, 4) + Zeros(mes, 2) + Zeros(dia, 2), r.data());
                PutFieldDBF(h, 2,
                            g() % 4
                                ? Zeros(static_cast<unsigned>(g() % 24), 2) + Zeros(static_cast<unsigned>(g() % 60), 2)
                                : "",
                            r.data());
                PutFieldDBF(h, 3,
                            Zeros(ano - idade, 4) + Zeros(1 + static_cast<unsigned>(g() % 12), 2) +
                                Zeros(1 + static_cast<unsigned>(g() % 28), 2),
                            r.data());
                PutFieldDBF(h, 4, std::string(1, "12"[g() % 2]), r.data());
                PutFieldDBF(h, 5, "4" + Zeros(idade, 2), r.data());
                PutFieldDBF(h, 6, std::to_string(1 + g() % 5), r.data());
                PutFieldDBF(h, 7, std::to_string(1 + g() % 5), r.data());
                PutFieldDBF(h, 8, std::to_string(1 + g() % 5), r.data());
                PutFieldDBF(h, 9, g() % 3 ? Zeros(static_cast<unsigned>(g() % 999999), 6) : "", r.data());
                unsigned res = municipio();
                PutFieldDBF(h, 10, std::to_string(res), r.data());
                PutFieldDBF(h, 11, std::to_string(g() % 4 ? res : municipio()), r.data());
                PutFieldDBF(h, 12, std::to_string(1 + g() % 4), r.data());
                PutFieldDBF(h, 13, g() % 2 ? Zeros(static_cast<unsigned>(g() % 9999999), 7) : "", r.data());
                const char* causa = causas[std::min<std::size_t>(g() % 18, g() % 18)];
                PutFieldDBF(h, 14, causa, r.data());
                PutFieldDBF(h, 15, g() % 2 ? std::string("*") + causas[g() % 18] : "", r.data());
                PutFieldDBF(h, 16, g() % 3 ? std::string("*") + causas[g() % 18] + "*" + causas[g() % 18] : "",
                            r.data());
                PutFieldDBF(h, 17, std::to_string(1 + g() % 2), r.data());
                PutFieldDBF(h, 18, std::to_string(1 + g() % 2), r.data());
                PutFieldDBF(h, 19, idade == 0 ? std::to_string(500 + g() % 3500) : "", r.data());
                PutFieldDBF(h, 20, idade == 0 ? std::to_string(15 + g() % 30) : "", r.data());
                PutFieldDBF(h, 21, g() % 10 ? "" : std::to_string(1 + g() % 4), r.data());
                AppendDBF(h, r.data());
            }
            CloseDBF(h);
        }
        double sEscrita = Segundos(std::chrono::steady_clock::now() - t0);
        auto tamDbf = std::filesystem::file_size(dbf);
        std::printf("wrote %s: %ld records, %ju bytes in %.2f s (%.0f MB/s)\n", dbf.c_str(), n,
                    static_cast<std::uintmax_t>(tamDbf), sEscrita, tamDbf / 1e6 / sEscrita);

        t0 = std::chrono::steady_clock::now();
        ResultadoCodec r = ComprimeDBF(dbf, dbc, SemProgresso(), false);
        double sComp = Segundos(std::chrono::steady_clock::now() - t0);
        std::printf("compressed %s: result %u, %ju bytes (%.2f%%) in %.2f s (%.1f MB/s of input)\n", dbc.c_str(),
                    r.codigo, static_cast<std::uintmax_t>(r.bytesSaida), 100.0 * r.bytesSaida / tamDbf, sComp,
                    tamDbf / 1e6 / sComp);
        return r.Ok();
    };
    bool ok = true;
    for (int arquivo = 1; arquivo <= nArquivos; ++arquivo) {
        const std::string base =
            pasta + "/OBITOS" + (nArquivos > 1 ? Zeros(static_cast<unsigned>(arquivo), 2) : std::string());
        const std::string dbf = base + ".dbf", dbc = base + ".dbc";
        const long registros = n / nArquivos + (arquivo <= n % nArquivos ? 1 : 0);
        ok = gravaArquivo(dbf, dbc, registros) && ok;
    }
    return ok ? 0 : 1;
}

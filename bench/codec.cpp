// Speed and size of the DBC codec on synthetic death-certificate-like records.
//   bench_codec [megabytes=200] [--guloso [megabytes=16]] [--outros]
// Prints explode and implode throughput (MB/s of uncompressed data, processor time of one core) and the
// compressed size; --guloso also codes a prefix with a plain greedy longest-match
// search over the whole window, the size the encoder must not exceed; --outros
// repeats the figures on random bytes, a three-letter alphabet, zeros and text.
#include "platform/Compressao.h"

#include <algorithm>
#include <cctype>
#include <ctime>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <vector>

using namespace dorvan::compressao;

namespace {

// Fixed-width records: dates, codes, ages, sex, municipality codes, cause codes with
// blanks, the way public-health files lay them out (deletion flag first).
std::string GeraRegistros(std::size_t bytes) {
    std::mt19937_64 g(20261209);
    auto zipf = [&](unsigned n) { // small codes far more common than large ones
        double u = std::uniform_real_distribution<double>(0, 1)(g);
        return static_cast<unsigned>(std::pow(static_cast<double>(n), u)) - 1;
    };
    static const char* causas[] = {"I219", "I64 ", "J189", "E149", "I10 ", "C349", "X959", "V892", "R99 ",
                                   "J449", "I500", "K746", "A419", "P073", "C509", "N179", "G309", "I679"};
    std::string s;
    s.reserve(bytes + 512);
    char r[512];
    std::vector<unsigned> municipios(400);
    for (auto& m : municipios)
        m = 110000 + static_cast<unsigned>(g() % 420000);
    while (s.size() < bytes) {
        unsigned dia = 1 + g() % 28, mes = 1 + g() % 12, ano = 2015 + g() % 5;
        unsigned nasc = 1920 + g() % 95;
        unsigned res = municipios[zipf(400)], ocor = g() % 4 ? res : municipios[zipf(400)];
        const char* basica = causas[zipf(18)];
        const char* linhaA = causas[zipf(18)];
        bool temB = g() % 2, temOcup = g() % 3 == 0;
        int n = std::snprintf(
            r, sizeof r,
            " %c%02u%02u%04u%02u%02u%04u4%02u%c%c%c%06u%06u%c%s%-6s%-12s%-12s%-24s%-8s%s%s%c%c  %02u%c%04u%-10s",
            "12"[g() % 2], dia, mes, ano, 1 + unsigned(g() % 28), 1 + unsigned(g() % 12), nasc, unsigned(g() % 99),
            "12"[g() % 2], "12345"[zipf(5)], "1234589"[zipf(7)], res, ocor, "123459"[zipf(6)],
            temOcup ? "715210" : "      ", g() % 5 ? "" : "99", (std::string("*") + linhaA).c_str(),
            temB ? (std::string("*") + causas[zipf(18)]).c_str() : "",
            (std::string("*") + basica + (g() % 4 ? "" : "*R99 ")).c_str(), "", basica, g() % 7 ? "    " : "X599",
            "SN"[g() % 2], "129"[zipf(3)], unsigned(g() % 60), "MF"[g() % 2], unsigned(g() % 9999),
            g() % 10 ? "" : "OBS TEXTO");
        s.append(r, static_cast<std::size_t>(n));
    }
    s.resize(bytes);
    return s;
}

struct Fonte {
    const std::string* dados = nullptr;
    std::size_t pos = 0;
    std::string saida;
    std::size_t contados = 0;
    bool guarda = true;
};

unsigned Le(char* buffer, unsigned* tamanho, void* param) {
    auto* f = static_cast<Fonte*>(param);
    std::size_t n = std::min<std::size_t>(*tamanho, f->dados->size() - f->pos);
    std::memcpy(buffer, f->dados->data() + f->pos, n);
    f->pos += n;
    return static_cast<unsigned>(n);
}

void Grava(char* buffer, unsigned* tamanho, void* param) {
    auto* f = static_cast<Fonte*>(param);
    if (f->guarda)
        f->saida.append(buffer, *tamanho);
    else if (*tamanho)
        f->contados += static_cast<unsigned char>(buffer[*tamanho - 1]) + *tamanho;
}

// Processor time of this thread: the figure for one core, whatever else the machine runs.
struct Relogio {
    static double Agora() {
        timespec t;
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
        return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
    }
};

// The bar for the encoder: at every position the longest match over the whole window
// (nearest among equals), length 2 only within 256 bytes, literal otherwise.
std::size_t TamanhoGuloso(const std::string& d) {
    const unsigned char* p = reinterpret_cast<const unsigned char*>(d.data());
    const int n = static_cast<int>(d.size());
    std::vector<int> cabeca(1 << 24, -1), anterior(d.size(), -1), cabeca2(1 << 16, -1);
    auto bitsDist = [](unsigned s) {
        return s == 0 ? 2u : s <= 2 ? 4u : s <= 6 ? 5u : s <= 21 ? 6u : s <= 47 ? 7u : 8u;
    };
    auto bitsComp = [](unsigned c) {
        static const unsigned base[16] = {2, 3, 4, 5, 6, 7, 8, 9, 10, 12, 16, 24, 40, 72, 136, 264};
        static const unsigned bits[16] = {3, 2, 3, 3, 4, 4, 4, 5, 6, 7, 8, 10, 11, 12, 14, 15};
        unsigned s = 15;
        while (base[s] > c)
            --s;
        return bits[s];
    };
    auto insere = [&](int i) {
        if (i + 2 < n) {
            unsigned h = p[i] | (p[i + 1] << 8) | (p[i + 2] << 16);
            anterior[i] = cabeca[h];
            cabeca[h] = i;
        }
        if (i + 1 < n) cabeca2[p[i] | (p[i + 1] << 8)] = i;
    };
    std::size_t bits = 16;
    int i = 0;
    while (i < n) {
        int maxComp = std::min(518, n - i), melhor = 0, dist = 0;
        if (maxComp >= 3) {
            unsigned h = p[i] | (p[i + 1] << 8) | (p[i + 2] << 16);
            for (int c = cabeca[h]; c >= 0 && i - c <= 4096; c = anterior[c]) {
                int k = 3;
                while (k < maxComp && p[c + k] == p[i + k])
                    ++k;
                if (k > melhor) melhor = k, dist = i - c;
                if (k == maxComp) break;
            }
        }
        if (melhor < 2 && maxComp >= 2) {
            int c = cabeca2[p[i] | (p[i + 1] << 8)];
            if (c >= 0 && i - c <= 256) melhor = 2, dist = i - c;
        }
        if (melhor >= 2) {
            unsigned baixos = melhor == 2 ? 2 : 6;
            bits += 1 + bitsComp(static_cast<unsigned>(melhor)) + bitsDist(static_cast<unsigned>(dist - 1) >> baixos) +
                    baixos;
            for (int k = 0; k < melhor; ++k)
                insere(i + k);
            i += melhor;
        } else {
            bits += 9;
            insere(i++);
        }
    }
    bits += 16;
    return (bits + 7) / 8;
}

} // namespace

int main(int argc, char** argv) {
    std::size_t mb = 200, mbGuloso = 0;
    bool outros = false;
    for (int a = 1; a < argc; ++a) {
        if (std::strcmp(argv[a], "--outros") == 0) {
            outros = true;
        } else if (std::strcmp(argv[a], "--guloso") == 0) {
            mbGuloso = 16;
            if (a + 1 < argc && std::isdigit(static_cast<unsigned char>(argv[a + 1][0])))
                mbGuloso = std::strtoul(argv[++a], nullptr, 10);
        } else {
            mb = std::strtoul(argv[a], nullptr, 10);
        }
    }
    std::string dados = GeraRegistros(mb << 20);
    std::printf("data: %zu bytes of records\n", dados.size());

    std::vector<char> trabalhoI(TAM_TRABALHO_IMPLODE), trabalhoE(TAM_TRABALHO_EXPLODE);
    unsigned tipo = CMP_BINARIO, dic = 4096;
    Fonte fi;
    unsigned r = 0;
    double si = 1e9;
    for (int vez = 0; vez < 3; ++vez) {
        fi = Fonte();
        fi.dados = &dados;
        double t0 = Relogio::Agora();
        r = implode(Le, Grava, trabalhoI.data(), &fi, &tipo, &dic);
        si = std::min(si, Relogio::Agora() - t0);
    }
    std::printf("implode: result %u, %zu -> %zu bytes (%.2f%%), %.1f MB/s (best of 3)\n", r, dados.size(),
                fi.saida.size(), 100.0 * fi.saida.size() / dados.size(), dados.size() / 1e6 / si);

    std::string fluxo = std::move(fi.saida);
    double melhor = 1e9;
    for (int vez = 0; vez < 5; ++vez) {
        Fonte fe;
        fe.dados = &fluxo;
        fe.guarda = vez > 0;
        double t1 = Relogio::Agora();
        r = explode(Le, Grava, trabalhoE.data(), &fe);
        melhor = std::min(melhor, (Relogio::Agora() - t1));
        if (vez > 0 && (r != CMP_OK || fe.saida != dados)) {
            std::printf("explode: round trip FAILED (result %u)\n", r);
            return 1;
        }
    }
    std::printf("explode: %.1f MB/s of output (best of 5; round trip checked)\n", dados.size() / 1e6 / melhor);

    unsigned n = static_cast<unsigned>(std::min<std::size_t>(dados.size(), 1u << 30));
    std::uint32_t crc = 0xFFFFFFFFu;
    double t2 = Relogio::Agora();
    crc = ~crc32(dados.data(), &n, &crc);
    std::printf("crc32: %.0f MB/s (%08X)\n", n / 1e6 / (Relogio::Agora() - t2), crc);

    if (mbGuloso) {
        std::string parte = dados.substr(0, std::min(dados.size(), mbGuloso << 20));
        Fonte fp;
        fp.dados = &parte;
        implode(Le, Grava, trabalhoI.data(), &fp, &tipo, &dic);
        double t3 = Relogio::Agora();
        std::size_t guloso = TamanhoGuloso(parte);
        std::printf("first %zu bytes: implode %zu bytes, greedy whole-window %zu bytes (%.1f s), ratio %.4f\n",
                    parte.size(), fp.saida.size(), guloso, (Relogio::Agora() - t3),
                    double(fp.saida.size()) / double(guloso));
    }
    if (outros) {
        // Inputs unlike records: speed must hold up and size stay within the greedy bar.
        std::mt19937 g(7);
        std::string aleatorio(32 << 20, '\0'), tres(32 << 20, '\0'), texto;
        for (auto& c : aleatorio)
            c = static_cast<char>(g());
        for (auto& c : tres)
            c = "abc"[g() % 3];
        while (texto.size() < (32u << 20))
            texto += "o rato roeu a roupa do rei de roma " + std::to_string(g() % 1000) + "; ";
        struct Caso {
            const char* nome;
            std::string d;
        } casos[] = {{"random bytes", std::move(aleatorio)},
                     {"three letters", std::move(tres)},
                     {"zeros", std::string(32 << 20, '\0')},
                     {"repeated text", std::move(texto)}};
        for (auto& c : casos) {
            Fonte f;
            f.dados = &c.d;
            double t = Relogio::Agora();
            implode(Le, Grava, trabalhoI.data(), &f, &tipo, &dic);
            double sc = (Relogio::Agora() - t);
            Fonte fe;
            fe.dados = &f.saida;
            fe.guarda = false;
            t = Relogio::Agora();
            explode(Le, Grava, trabalhoE.data(), &fe);
            double se = (Relogio::Agora() - t);
            std::string parte = c.d.substr(0, 4 << 20);
            Fonte fp;
            fp.dados = &parte;
            implode(Le, Grava, trabalhoI.data(), &fp, &tipo, &dic);
            std::printf("%-14s implode %.1f MB/s, explode %.1f MB/s, size %.2f%%, first 4 MB vs greedy %.4f\n", c.nome,
                        c.d.size() / 1e6 / sc, c.d.size() / 1e6 / se, 100.0 * f.saida.size() / c.d.size(),
                        double(fp.saida.size()) / double(TamanhoGuloso(parte)));
        }
    }
    return 0;
}

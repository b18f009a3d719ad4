// Full scans of a DBF and of its DBC through ScanDBF, with peak memory:
//   bench_varre_dbf <file.dbf> [file.dbc]
// Each scan runs three times; the best run is reported (page cache warm). Records
// are touched (a byte of each is summed) so the scan cannot be skipped.
#include "data/LeDBF32.h"
#include "data/Ucomprim.h"
#include "platform/Arquivos.h"
#include "platform/Compressao.h"
#include "Medida.h"

#include <chrono>
#include <cstdio>
#include <cstring>
#include <vector>
#include <filesystem>
#include <string>

using namespace dorvan;
using dorvan::bench::PicoMemoriaKB;

namespace {

void Varre(const std::string& nome, bool checaCRC, const char* rotulo) {
    double melhor = 1e30;
    std::int64_t regs = 0;
    std::uint64_t soma = 0;
    std::uint64_t bytes = 0;
    bool ok = true;
    for (int vez = 0; vez < 3; ++vez) {
        dbfRecord h;
        OpenDBF(h, nome, true);
        if (h.Estado != 1) return;
        regs = 0;
        soma = 0;
        auto t0 = std::chrono::steady_clock::now();
        ok = ScanDBF(
            h,
            [&](dbfRecord& x) {
                ++regs;
                soma += static_cast<unsigned char>(x.RegistroAtual[x.TamRegistro - 1]);
            },
            checaCRC);
        double s = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
        melhor = std::min(melhor, s);
        bytes = static_cast<std::uint64_t>(regs) * h.TamRegistro;
    }
    std::printf("%-22s %s: %lld records in %.3f s = %.1f M records/s, %.0f MB/s of records (ok %d, sum %llu), "
                "peak memory %ld kB\n",
                rotulo, nome.c_str(), static_cast<long long>(regs), melhor, regs / 1e6 / melhor, bytes / 1e6 / melhor,
                ok ? 1 : 0, static_cast<unsigned long long>(soma), PicoMemoriaKB());
}

// The codec alone, from memory to nowhere: the speed the DBC scan is measured against.
struct Memoria {
    const std::string* dados;
    std::size_t pos = 0;
    std::uint64_t saida = 0;
};
unsigned LeMemoria(char* b, unsigned* t, void* p) {
    auto* m = static_cast<Memoria*>(p);
    std::size_t n = std::min<std::size_t>(*t, m->dados->size() - m->pos);
    std::memcpy(b, m->dados->data() + m->pos, n);
    m->pos += n;
    return static_cast<unsigned>(n);
}
void GravaNada(char*, unsigned* t, void* p) { static_cast<Memoria*>(p)->saida += *t; }

void SoExplode(const std::string& nome) {
    dbfRecord h;
    OpenDBF(h, nome, true);
    if (h.Estado != 1) return;
    std::string fluxo = LeArquivoInteiro(nome).substr(static_cast<std::size_t>(h.TamCabecalho) + 4);
    std::vector<char> trabalho(compressao::TAM_TRABALHO_EXPLODE);
    double melhor = 1e30;
    std::uint64_t saida = 0;
    for (int vez = 0; vez < 3; ++vez) {
        Memoria m{&fluxo};
        auto t0 = std::chrono::steady_clock::now();
        compressao::explode(LeMemoria, GravaNada, trabalho.data(), &m);
        melhor = std::min(melhor, std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count());
        saida = m.saida;
    }
    std::printf("%-22s %s: %llu bytes out in %.3f s = %.0f MB/s\n", "explode from memory", nome.c_str(),
                static_cast<unsigned long long>(saida), melhor, saida / 1e6 / melhor);
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s <file.dbf> [file.dbc]\n", argv[0]);
        return 2;
    }
    std::printf("start: peak memory %ld kB\n", PicoMemoriaKB());
    Varre(argv[1], false, "DBF scan");
    if (argc > 2) {
        Varre(argv[2], false, "DBC scan");
        Varre(argv[2], true, "DBC scan + CRC");
        SoExplode(argv[2]); // last: it holds the whole stream in memory
    }
    return 0;
}

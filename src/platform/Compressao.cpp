#include "platform/Compressao.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <memory>

#include <libdeflate.h>

namespace dorvan::compressao {
namespace {

// ---------------------------------------------------------------------------
// Code tables. Codes are kept as the integer read least-significant bit first, so
// that a code is put into (or matched against) the bit buffer as it stands.

constexpr unsigned COMP_FIM = 519; // the length that marks the end of the stream
constexpr unsigned COMP_MAX = 518;
constexpr unsigned HISTORICO = 4096; // the largest dictionary

struct SimboloComprimento {
    std::uint8_t codigo;
    std::uint8_t bitsCodigo;
    std::uint8_t bitsExtra;
    std::uint16_t base;
};
constexpr std::array<SimboloComprimento, 16> SIMBOLOS_COMP{{
    {0x05, 3, 0, 2},
    {0x03, 2, 0, 3},
    {0x01, 3, 0, 4},
    {0x06, 3, 0, 5},
    {0x0A, 4, 0, 6},
    {0x02, 4, 0, 7},
    {0x0C, 4, 0, 8},
    {0x14, 5, 0, 9},
    {0x04, 5, 1, 10},
    {0x18, 5, 2, 12},
    {0x08, 5, 3, 16},
    {0x30, 6, 4, 24},
    {0x10, 6, 5, 40},
    {0x20, 6, 6, 72},
    {0x40, 7, 7, 136},
    {0x00, 7, 8, 264},
}};

constexpr std::array<std::uint8_t, 64> CODIGOS_DIST{
    0x03, 0x0D, 0x05, 0x19, 0x09, 0x11, 0x01, 0x3E, 0x1E, 0x2E, 0x0E, 0x36, 0x16, 0x26, 0x06, 0x3A,
    0x1A, 0x2A, 0x0A, 0x32, 0x12, 0x22, 0x42, 0x02, 0x7C, 0x3C, 0x5C, 0x1C, 0x6C, 0x2C, 0x4C, 0x0C,
    0x74, 0x34, 0x54, 0x14, 0x64, 0x24, 0x44, 0x04, 0x78, 0x38, 0x58, 0x18, 0x68, 0x28, 0x48, 0x08,
    0xF0, 0x70, 0xB0, 0x30, 0xD0, 0x50, 0x90, 0x10, 0xE0, 0x60, 0xA0, 0x20, 0xC0, 0x40, 0x80, 0x00};

constexpr unsigned BitsDist(unsigned simbolo) {
    return simbolo == 0 ? 2 : simbolo <= 2 ? 4 : simbolo <= 6 ? 5 : simbolo <= 21 ? 6 : simbolo <= 47 ? 7 : 8;
}

// Decoding: the next 7 bits give the length symbol, the next 8 the distance symbol.
struct EntradaComp {
    std::uint8_t bitsCodigo;
    std::uint8_t bitsExtra;
    std::uint16_t base;
};
struct EntradaDist {
    std::uint8_t bits;
    std::uint8_t simbolo;
};

constexpr auto TABELA_COMP = [] {
    std::array<EntradaComp, 128> t{};
    for (const auto& s : SIMBOLOS_COMP)
        for (unsigned i = 0; i < 128; ++i)
            if ((i & ((1u << s.bitsCodigo) - 1)) == s.codigo) t[i] = {s.bitsCodigo, s.bitsExtra, s.base};
    return t;
}();

constexpr auto TABELA_DIST = [] {
    std::array<EntradaDist, 256> t{};
    for (unsigned s = 0; s < 64; ++s)
        for (unsigned i = 0; i < 256; ++i)
            if ((i & ((1u << BitsDist(s)) - 1)) == CODIGOS_DIST[s])
                t[i] = {static_cast<std::uint8_t>(BitsDist(s)), static_cast<std::uint8_t>(s)};
    return t;
}();

// Encoding of each length 2..519, flag bit included: bits to put and how many.
struct CodigoComp {
    std::uint32_t bits;
    std::uint32_t n;
};
constexpr auto CODIGOS_COMP = [] {
    std::array<CodigoComp, COMP_FIM + 1> t{};
    for (const auto& s : SIMBOLOS_COMP)
        for (unsigned e = 0; e < (1u << s.bitsExtra); ++e) {
            unsigned comp = s.base + e;
            if (comp > COMP_FIM) continue;
            t[comp] = {1u | (unsigned(s.codigo) << 1) | (e << (1 + s.bitsCodigo)), 1u + s.bitsCodigo + s.bitsExtra};
        }
    return t;
}();

// Short lengths in one look-up: the 8 bits after the flag give the length and the bits
// its code and extra bits take, for lengths 2 to 23 (the common ones). Bits 0: a
// longer length, decoded through TABELA_COMP.
struct EntradaCurta {
    std::uint8_t bits;
    std::uint16_t comp;
};
constexpr auto TABELA_CURTA = [] {
    std::array<EntradaCurta, 256> t{};
    for (const auto& s : SIMBOLOS_COMP) {
        const unsigned n = s.bitsCodigo + s.bitsExtra;
        if (n > 8) continue;
        for (unsigned i = 0; i < 256; ++i)
            if ((i & ((1u << s.bitsCodigo) - 1)) == s.codigo)
                t[i] = {static_cast<std::uint8_t>(n),
                        static_cast<std::uint16_t>(s.base + ((i >> s.bitsCodigo) & ((1u << s.bitsExtra) - 1)))};
    }
    return t;
}();

static_assert(TABELA_COMP[0x05].base == 2 && TABELA_COMP[0x7F].base == 3);
static_assert(TABELA_CURTA[0x05].comp == 2 && TABELA_CURTA[0x7F].comp == 3 && TABELA_CURTA[0x00].bits == 0);
static_assert(CODIGOS_COMP[COMP_FIM].n == 16 && CODIGOS_COMP[2].n == 4);

// Bit buffers and the CRC load several bytes at once in the machine's order.
static_assert(std::endian::native == std::endian::little);

inline std::uint64_t Le64(const unsigned char* p) {
    std::uint64_t v;
    std::memcpy(&v, p, 8);
    return v;
}

// Calls the read routine once; false when the caller asked to stop.
inline bool Leia(FuncLeitura ler, void* param, unsigned char* destino, unsigned pedido, unsigned& lidos) {
    unsigned tamanho = pedido;
    lidos = ler(reinterpret_cast<char*>(destino), &tamanho, param);
    return lidos <= pedido;
}

// ---------------------------------------------------------------------------
// Expansion

// A short length as one stream decodes it: the bits the flag, code and extra bits take
// (0 for a longer length), the length and the low distance bits that follow.
struct EntradaCopia {
    std::uint16_t comp;
    std::uint8_t bits;
    std::uint8_t baixos;
};

// Copies from fewer than eight bytes back: where the second four bytes of the copy
// are found (already written), and the source of its ninth byte, a whole number of
// periods and at least eight bytes behind it.
struct SaltoPadrao {
    std::uint8_t meio;
    std::uint8_t fim;
};
constexpr std::array<SaltoPadrao, 8> SALTO_PADRAO = [] {
    std::array<SaltoPadrao, 8> t{};
    for (unsigned d = 1; d < 8; ++d)
        t[d] = {static_cast<std::uint8_t>(4 % d), static_cast<std::uint8_t>(8 % d)};
    return t;
}();

constexpr unsigned TAM_ENTRADA = 8192;          // input block kept in the caller's work buffer
constexpr unsigned FOLGA_SAIDA = COMP_MAX + 64; // room for one copy and its rounded-up tail

class Expansor {
public:
    Expansor(FuncLeitura ler, FuncEscrita gravar, unsigned char* entrada, void* param)
        : ler_(ler), gravar_(gravar), param_(param), entrada_(entrada),
          saida_(new unsigned char[HISTORICO + TAM_BLOCO_EXPLODE + FOLGA_SAIDA]) {}

    unsigned Executa();

private:
    // Input state; the hot loop keeps its own copy in registers and hands it here
    // only when the input block runs low.
    struct Leitor {
        const unsigned char* p;
        const unsigned char* fim;
        std::uint64_t bits; // bits above nbits are zero or the bits the next load puts there
        int nbits;
    };
    bool RecarregaDevagar(Leitor& l);
    void Descarrega(unsigned n) {
        unsigned tamanho = n;
        gravar_(reinterpret_cast<char*>(saida_.get() + HISTORICO), &tamanho, param_);
    }

    FuncLeitura ler_;
    FuncEscrita gravar_;
    void* param_;
    unsigned char* entrada_;
    bool acabou_ = false;
    std::unique_ptr<unsigned char[]> saida_;
};

// Tops the bit buffer up to at least 56 bits while input lasts.
inline bool Recarrega(auto& l, auto&& devagar) {
    if (l.fim - l.p >= 8) {
        l.bits |= Le64(l.p) << l.nbits;
        l.p += (63 - l.nbits) >> 3;
        l.nbits |= 56;
        return true;
    }
    return devagar();
}

bool Expansor::RecarregaDevagar(Leitor& l) {
    if (!acabou_) {
        std::size_t resta = static_cast<std::size_t>(l.fim - l.p);
        std::memmove(entrada_, l.p, resta);
        l.p = entrada_;
        l.fim = entrada_ + resta;
        while (!acabou_ && l.fim - l.p < static_cast<std::ptrdiff_t>(TAM_ENTRADA / 2)) {
            unsigned lidos;
            unsigned pedido = TAM_ENTRADA - static_cast<unsigned>(l.fim - entrada_);
            if (!Leia(ler_, param_, entrada_ + (l.fim - entrada_), pedido, lidos)) return false;
            if (lidos == 0) acabou_ = true;
            l.fim += lidos;
        }
        if (l.fim - l.p >= 8) return Recarrega(l, [] { return false; });
    }
    while (l.nbits <= 56 && l.p < l.fim) {
        l.bits |= std::uint64_t(*l.p++) << l.nbits;
        l.nbits += 8;
    }
    return true;
}

unsigned Expansor::Executa() {
    // Header: literal mode and dictionary size.
    unsigned char cabecalho[2];
    unsigned obtidos = 0;
    while (obtidos < 2) {
        unsigned lidos;
        if (!Leia(ler_, param_, cabecalho + obtidos, 2 - obtidos, lidos)) return CMP_ABORTADO;
        if (lidos == 0) return CMP_DADOS_INVALIDOS;
        obtidos += lidos;
    }
    if (cabecalho[0] > CMP_ASCII) return CMP_MODO_INVALIDO;
    if (cabecalho[1] < 4 || cabecalho[1] > 6) return CMP_DICIONARIO_INVALIDO;
    // Literal codes of the text mode are not known to this codec.
    if (cabecalho[0] != CMP_BINARIO) return CMP_MODO_INVALIDO;
    const unsigned bitsDist = cabecalho[1];
    // Length-2 copies carry two low distance bits, the others the dictionary's.
    EntradaCopia copias[256];
    for (unsigned i = 0; i < 256; ++i) {
        const EntradaCurta c = TABELA_CURTA[i];
        copias[i] = {c.comp, static_cast<std::uint8_t>(c.bits ? c.bits + 1 : 0),
                     static_cast<std::uint8_t>(c.comp == 2 ? 2 : bitsDist)};
    }

    unsigned char* const base = saida_.get();
    unsigned char* const bloco = base + HISTORICO;
    unsigned char* const limite = bloco + TAM_BLOCO_EXPLODE;
    unsigned char* s = bloco;
    unsigned char* valido = bloco; // start of the bytes a copy may reach

    Leitor l{entrada_, entrada_, 0, 0};
    auto devagar = [&] { return RecarregaDevagar(l); };
    for (;;) {
        if (!Recarrega(l, devagar)) return CMP_ABORTADO;
        std::uint64_t b = l.bits;
        int nbits = l.nbits;
        if (!(b & 1)) {
            // Literals, as many as the bit buffer holds (at most seven: the block has room).
            do {
                *s++ = static_cast<unsigned char>(b >> 1);
                b >>= 9;
                nbits -= 9;
            } while (nbits >= 9 && !(b & 1));
            l.bits = b;
            l.nbits = nbits;
            if (nbits < 0) return CMP_DADOS_INVALIDOS;
        } else {
            unsigned comp, baixos;
            const EntradaCopia c = copias[(b >> 1) & 0xFF];
            if (c.bits) [[likely]] {
                comp = c.comp;
                baixos = c.baixos;
                b >>= c.bits;
                nbits -= c.bits;
            } else {
                b >>= 1;
                const EntradaComp ec = TABELA_COMP[b & 0x7F];
                b >>= ec.bitsCodigo;
                comp = ec.base + static_cast<unsigned>(b & ((1u << ec.bitsExtra) - 1));
                b >>= ec.bitsExtra;
                nbits -= 1 + ec.bitsCodigo + ec.bitsExtra;
                if (comp == COMP_FIM) {
                    if (nbits < 0) return CMP_DADOS_INVALIDOS;
                    break;
                }
                baixos = bitsDist;
            }
            const EntradaDist ed = TABELA_DIST[b & 0xFF];
            const unsigned dist =
                ((unsigned(ed.simbolo) << baixos) | static_cast<unsigned>((b >> ed.bits) & ((1u << baixos) - 1))) + 1;
            b >>= ed.bits + baixos;
            nbits -= ed.bits + static_cast<int>(baixos);
            l.bits = b;
            l.nbits = nbits;
            if (nbits < 0) return CMP_DADOS_INVALIDOS;
            if (dist > static_cast<unsigned>(s - valido)) return CMP_DADOS_INVALIDOS;
            const unsigned char* o = s - dist;
            // Whole blocks at a time, running past the end into the buffer's spare room;
            // a block only reads bytes already written. The first 32 bytes go without
            // a test: most copies are no longer.
            if (dist >= 16) {
                std::memcpy(s, o, 16);
                std::memcpy(s + 16, o + 16, 16);
                for (unsigned i = 32; i < comp; i += 16)
                    std::memcpy(s + i, o + i, 16);
            } else {
                if (dist >= 8) {
                    std::memcpy(s, o, 8);
                    o += 8;
                } else {
                    // A short pattern: four bytes one by one, four more from where the
                    // pattern repeats, then a source a whole number of periods but at
                    // least eight bytes behind.
                    s[0] = o[0];
                    s[1] = o[1];
                    s[2] = o[2];
                    s[3] = o[3];
                    std::memcpy(s + 4, o + SALTO_PADRAO[dist].meio, 4);
                    o += SALTO_PADRAO[dist].fim;
                }
                // o is now the source of s + 8.
                std::memcpy(s + 8, o, 8);
                std::memcpy(s + 16, o + 8, 8);
                std::memcpy(s + 24, o + 16, 8);
                for (unsigned i = 32; i < comp; i += 8)
                    std::memcpy(s + i, o + i - 8, 8);
            }
            s += comp;
        }
        if (s >= limite) {
            Descarrega(TAM_BLOCO_EXPLODE);
            // Keep the last dictionary's worth of output (and what ran past the block).
            std::size_t manter = static_cast<std::size_t>(s - (limite - HISTORICO));
            std::memmove(base, limite - HISTORICO, manter);
            s = base + manter;
            valido = base;
        }
    }
    if (s > bloco) Descarrega(static_cast<unsigned>(s - bloco));
    return CMP_OK;
}

// ---------------------------------------------------------------------------
// Compression

constexpr unsigned BLOCO_LEITURA = 262144; // bytes slid out of the window at a time (a multiple of CICLO)
constexpr unsigned ADIANTE = COMP_MAX + 8; // look-ahead kept while input lasts
constexpr unsigned CAP_JANELA = HISTORICO + BLOCO_LEITURA + 2 * ADIANTE;
constexpr unsigned CICLO = 8192; // chain slots, more than the dictionary
constexpr unsigned BITS_HASH2 = 13;
constexpr unsigned BITS_HASH3 = 14;
constexpr unsigned BITS_HASH = 15;
constexpr unsigned COMP_HASH = 4; // bytes hashed for the match chains
constexpr int NADA = -(1 << 30);
constexpr unsigned COMP_BOM = 128; // a match this long is taken at once
constexpr unsigned CORTE = 256;    // chain links followed per search, against pathological input
constexpr unsigned TAM_SAIDA = 65536;

struct Casamento {
    unsigned comp = 0;
    unsigned dist = 0;
};

inline std::uint32_t Le32(const unsigned char* p) {
    std::uint32_t v;
    std::memcpy(&v, p, 4);
    return v;
}

inline unsigned Compara(const unsigned char* a, const unsigned char* b, unsigned limite) {
    unsigned k = 0;
    while (k + 8 <= limite) {
        std::uint64_t x = Le64(a + k) ^ Le64(b + k);
        if (x) return k + (static_cast<unsigned>(__builtin_ctzll(x)) >> 3);
        k += 8;
    }
    while (k < limite && a[k] == b[k])
        ++k;
    return k;
}

class Compressor {
public:
    Compressor(FuncLeitura ler, FuncEscrita gravar, void* param, unsigned tamDicionario)
        : ler_(ler), gravar_(gravar), param_(param), janelaMax_(tamDicionario), bitsDist_(tamDicionario == 1024   ? 4
                                                                                          : tamDicionario == 2048 ? 5
                                                                                                                  : 6) {
        std::fill(std::begin(cabeca3_), std::end(cabeca3_), NADA);
        std::fill(std::begin(cabecaLonga_), std::end(cabecaLonga_), NADA);
        std::fill(std::begin(cabeca2_), std::end(cabeca2_), NADA);
        std::fill(std::begin(anterior_), std::end(anterior_), NADA);
        std::fill(std::begin(cabecaCorrida_), std::end(cabecaCorrida_), NADA);
        std::fill(std::begin(cabecaByte_), std::end(cabecaByte_), NADA);
        std::fill(std::begin(fimDeCorrida_), std::end(fimDeCorrida_), FimDeCorrida{NADA, NADA, 0, NADA, NADA});
    }

    unsigned Executa();

private:
    bool Abastece();
    void Desliza();
    Casamento Procura(int pos) const;
    Casamento ProcuraNaCorrida(int pos) const;
    [[gnu::always_inline]] void Insere(int pos) {
        const unsigned char* c = janela_ + pos;
        cabeca2_[Hash2(c)] = pos; // the window keeps spare bytes past the end
        cabeca3_[Hash3(c)] = pos;
        std::uint32_t h = HashLongo(c);
        anterior_[static_cast<unsigned>(pos) & (CICLO - 1)] = cabecaLonga_[h];
        cabecaLonga_[h] = pos;
        if (c[0] != ultimo_) {
            FimDaCorrida(pos);
        } else {
            ++corrida_;
        }
    }
    // Where a run of three or more ends, notes it on the chains of run ends.
    [[gnu::noinline]] void FimDaCorrida(int pos) {
        const unsigned char* c = janela_ + pos;
        if (corrida_ >= 3) {
            unsigned slot = static_cast<unsigned>(pos) & (CICLO - 1);
            unsigned chave = (static_cast<unsigned>(ultimo_) << 8) | c[0];
            int q = cabecaCorrida_[chave], qb = cabecaByte_[ultimo_];
            fimDeCorrida_[slot] = {q, qb, corrida_, Salta(pos, q, corrida_, &FimDeCorrida::saltoCorrida),
                                   Salta(pos, qb, corrida_, &FimDeCorrida::saltoByte)};
            cabecaCorrida_[chave] = pos;
            cabecaByte_[ultimo_] = pos;
        }
        ultimo_ = c[0];
        corrida_ = 1;
    }
    static std::uint32_t Hash2(const unsigned char* c) {
        return ((c[0] | (unsigned(c[1]) << 8)) * 2654435761u) >> (32 - BITS_HASH2);
    }
    static std::uint32_t Hash3(const unsigned char* c) {
        return ((c[0] | (unsigned(c[1]) << 8) | (unsigned(c[2]) << 16)) * 2654435761u) >> (32 - BITS_HASH3);
    }
    static std::uint32_t HashLongo(const unsigned char* c) {
        return static_cast<std::uint32_t>(((Le64(c) << (64 - 8 * COMP_HASH)) * 0x9E3779B185EBCA87ull) >>
                                          (64 - BITS_HASH));
    }
    unsigned Custo(unsigned comp, unsigned dist) const {
        unsigned bitsBaixos = comp == 2 ? 2 : bitsDist_;
        return CODIGOS_COMP[comp].n + BitsDist((dist - 1) >> bitsBaixos) + bitsBaixos;
    }

    void Poe(std::uint32_t v, unsigned n) {
        acumulador_ |= std::uint64_t(v) << nacum_;
        nacum_ += n;
        if (nacum_ >= 32) {
            std::uint32_t w = static_cast<std::uint32_t>(acumulador_);
            std::memcpy(saida_ + nsaida_, &w, 4);
            nsaida_ += 4;
            acumulador_ >>= 32;
            nacum_ -= 32;
            if (nsaida_ > TAM_SAIDA - 8) Esvazia();
        }
    }
    void Esvazia() {
        if (nsaida_ == 0) return;
        unsigned tamanho = nsaida_;
        gravar_(reinterpret_cast<char*>(saida_), &tamanho, param_);
        nsaida_ = 0;
    }
    void Literal(unsigned char c) { Poe(unsigned(c) << 1, 9); }
    void Copia(unsigned comp, unsigned dist) {
        Poe(CODIGOS_COMP[comp].bits, CODIGOS_COMP[comp].n);
        unsigned bitsBaixos = comp == 2 ? 2 : bitsDist_;
        unsigned d = dist - 1;
        unsigned simbolo = d >> bitsBaixos;
        Poe(CODIGOS_DIST[simbolo] | ((d & ((1u << bitsBaixos) - 1)) << BitsDist(simbolo)),
            BitsDist(simbolo) + bitsBaixos);
    }

    FuncLeitura ler_;
    FuncEscrita gravar_;
    void* param_;
    const unsigned janelaMax_;
    const unsigned bitsDist_;
    bool acabou_ = false;
    int fim_ = 0; // bytes held in janela_

    std::uint64_t acumulador_ = 0;
    unsigned nacum_ = 0;
    unsigned nsaida_ = 0;

    unsigned char janela_[CAP_JANELA + 16] = {};
    unsigned char saida_[TAM_SAIDA];
    int cabeca3_[1u << BITS_HASH3];
    int cabecaLonga_[1u << BITS_HASH];
    int cabeca2_[1u << BITS_HASH2];
    int anterior_[CICLO];
    int cabecaCorrida_[65536]; // run ends by run byte and the byte after
    int cabecaByte_[256];      // run ends by run byte alone
    struct FimDeCorrida {
        int anterior;     // previous run end of the same byte and following byte
        int anteriorByte; // previous run end of the same byte
        unsigned corrida; // length of the run before this position
        // The nearest older run end on each chain whose run is at least as long: a
        // search for runs of k or more skips from a shorter one straight there.
        int saltoCorrida;
        int saltoByte;
    };
    // Where the skip from a new run end of length r goes, starting the look at q.
    int Salta(int pos, int q, unsigned r, int FimDeCorrida::*salto) const {
        for (unsigned corte = CORTE; corte-- && pos - q < static_cast<int>(janelaMax_);) {
            const FimDeCorrida& f = fimDeCorrida_[static_cast<unsigned>(q) & (CICLO - 1)];
            if (f.corrida >= r) return q;
            q = f.*salto;
        }
        return NADA;
    }
    FimDeCorrida fimDeCorrida_[CICLO];
    int ultimo_ = -1; // byte and length of the run that ends at the last position put in the chains
    unsigned corrida_ = 0;
};

bool Compressor::Abastece() {
    while (!acabou_ && fim_ < static_cast<int>(CAP_JANELA)) {
        unsigned lidos;
        if (!Leia(ler_, param_, janela_ + fim_, CAP_JANELA - static_cast<unsigned>(fim_), lidos)) return false;
        if (lidos == 0) acabou_ = true;
        fim_ += static_cast<int>(lidos);
    }
    // Hashing at the last bytes reads a little past the data: keep it defined.
    std::memset(janela_ + fim_, 0, 8);
    return true;
}

void Compressor::Desliza() {
    constexpr int d = static_cast<int>(BLOCO_LEITURA);
    std::memmove(janela_, janela_ + d, static_cast<std::size_t>(fim_ - d));
    fim_ -= d;
    auto rebaixa = [](int& v) { v = std::max(v - d, NADA); };
    for (int& v : cabeca3_)
        rebaixa(v);
    for (int& v : cabecaLonga_)
        rebaixa(v);
    for (int& v : cabeca2_)
        rebaixa(v);
    for (int& v : anterior_)
        rebaixa(v);
    for (int& v : cabecaCorrida_)
        rebaixa(v);
    for (int& v : cabecaByte_)
        rebaixa(v);
    for (auto& f : fimDeCorrida_) {
        rebaixa(f.anterior);
        rebaixa(f.anteriorByte);
        rebaixa(f.saltoCorrida);
        rebaixa(f.saltoByte);
    }
}

// The longest match at pos within the dictionary (the nearest among equals, being
// the cheapest to code), following at most CORTE links of a chain.
Casamento Compressor::Procura(int pos) const {
    const unsigned char* c = janela_ + pos;
    const unsigned disponivel = static_cast<unsigned>(fim_ - pos);
    Casamento melhor;
    if (disponivel < 2) return melhor;
    if (disponivel >= 3) {
        const unsigned limite = std::min(disponivel, COMP_MAX);
        unsigned corte = CORTE;
        if (c[0] == c[1] && c[1] == c[2]) return ProcuraNaCorrida(pos);
        unsigned maior = 2;
        int cand = cabecaLonga_[HashLongo(c)];
        while (corte--) {
            unsigned delta = static_cast<unsigned>(pos - cand);
            if (delta > janelaMax_) break;
            const unsigned char* o = janela_ + cand;
            // Only a candidate that also matches the four bytes ending one past the best can beat it.
            if (maior >= 3 ? Le32(o + maior - 3) == Le32(c + maior - 3) : ((Le32(o) ^ Le32(c)) & 0xFFFFFF) == 0) {
                unsigned comp = Compara(o, c, limite);
                if (comp > maior) {
                    maior = comp;
                    melhor = {comp, delta};
                    if (comp >= COMP_BOM || comp == limite) break;
                }
            }
            cand = anterior_[static_cast<unsigned>(cand) & (CICLO - 1)];
        }
        if (maior < COMP_HASH) {
            // Shorter than the chains' key: the nearest place sharing three bytes.
            cand = cabeca3_[Hash3(c)];
            unsigned delta = static_cast<unsigned>(pos - cand);
            if (delta <= janelaMax_) {
                unsigned comp = Compara(janela_ + cand, c, limite);
                if (comp > maior) melhor = {comp, delta};
            }
        }
        if (melhor.comp) return melhor;
    }
    int cand = cabeca2_[Hash2(c)];
    if (pos - cand <= 256 && janela_[cand] == c[0] && janela_[cand + 1] == c[1])
        melhor = {2, static_cast<unsigned>(pos - cand)};
    return melhor;
}

// Inside a run of one byte the chains are long and all alike. A match longer than the
// rest of the run (k bytes) must come from an earlier run of the same byte that ends
// at least k bytes long and is followed by what follows this run: those are found on
// a chain of run ends keyed by the byte and the three bytes after the run.
Casamento Compressor::ProcuraNaCorrida(int pos) const {
    const unsigned char* c = janela_ + pos;
    const unsigned limite = std::min(static_cast<unsigned>(fim_ - pos), COMP_MAX);
    const unsigned char b = c[0];
    unsigned k = 3;
    while (k < limite && c[k] == b)
        ++k;
    Casamento melhor;
    if (pos > 0 && janela_[pos - 1] == b) {
        melhor = {k, 1};
    } else {
        // The run starts here: the nearest earlier run at least as long (which may go
        // on), or failing that the longest shorter one.
        unsigned corte = CORTE;
        for (int q = cabecaByte_[b]; corte--;) {
            if (static_cast<unsigned>(pos - q) > janelaMax_) break;
            const FimDeCorrida& f = fimDeCorrida_[static_cast<unsigned>(q) & (CICLO - 1)];
            unsigned r = std::min(f.corrida, k);
            unsigned delta = static_cast<unsigned>(pos - q) + r;
            if (delta <= janelaMax_ && r > melhor.comp) {
                melhor = {r, delta};
                if (r == k) {
                    melhor.comp += Compara(janela_ + q, c + k, limite - k);
                    break;
                }
            }
            q = f.saltoByte; // the runs in between are shorter and farther
        }
    }
    if (k >= limite || melhor.comp >= limite) return melhor;
    unsigned corte = CORTE;
    for (int q = cabecaCorrida_[(unsigned(b) << 8) | c[k]]; corte--;) {
        unsigned delta = static_cast<unsigned>(pos - q) + k;
        if (delta > janelaMax_) break;
        const FimDeCorrida& f = fimDeCorrida_[static_cast<unsigned>(q) & (CICLO - 1)];
        if (f.corrida < k) {
            q = f.saltoCorrida;
            continue;
        }
        // Only one that also matches where the best so far stops can beat it.
        if (melhor.comp < k || janela_[q + (melhor.comp - k)] == c[melhor.comp]) {
            unsigned comp = k + Compara(janela_ + q, c + k, limite - k);
            if (comp > melhor.comp) {
                melhor = {comp, delta};
                if (comp >= COMP_BOM || comp == limite) break;
            }
        }
        q = f.anterior;
    }
    return melhor;
}

unsigned Compressor::Executa() {
    // Header, then tokens.
    Poe(CMP_BINARIO, 8);
    Poe(bitsDist_, 8);
    if (!Abastece()) return CMP_ABORTADO;

    int pos = 0;
    Casamento pendente; // a match found at pos-1, held to see whether pos does better
    while (pos < fim_) {
        if (!acabou_ && fim_ - pos < static_cast<int>(ADIANTE)) {
            if (pos >= static_cast<int>(HISTORICO + BLOCO_LEITURA)) {
                Desliza();
                pos -= static_cast<int>(BLOCO_LEITURA);
            }
            if (!Abastece()) return CMP_ABORTADO;
            continue;
        }
        Casamento atual = Procura(pos);
        Insere(pos);
        if (atual.comp < 2 || (atual.comp == 2 && atual.dist > 256)) atual = {};
        if (pendente.comp) {
            // Lazy step: a literal now and the next match, or the held match?
            unsigned custoPendente = Custo(pendente.comp, pendente.dist);
            bool adia = false;
            if (atual.comp > pendente.comp) {
                unsigned custoAtual = 9 + Custo(atual.comp, atual.dist);
                // Fewer bits per byte covered wins.
                adia = custoAtual * pendente.comp < custoPendente * (atual.comp + 1);
            }
            if (adia) {
                Literal(janela_[pos - 1]);
                pendente = atual;
                ++pos;
                continue;
            }
            Copia(pendente.comp, pendente.dist);
            int fimCopia = pos - 1 + static_cast<int>(pendente.comp);
            for (++pos; pos < fimCopia; ++pos)
                Insere(pos);
            pendente = {};
            continue;
        }
        if (atual.comp >= COMP_BOM) {
            Copia(atual.comp, atual.dist);
            int fimCopia = pos + static_cast<int>(atual.comp);
            for (++pos; pos < fimCopia; ++pos)
                Insere(pos);
            continue;
        }
        if (atual.comp >= 2) {
            pendente = atual;
        } else {
            Literal(janela_[pos]);
        }
        ++pos;
    }
    if (pendente.comp) Copia(pendente.comp, pendente.dist);
    Poe(CODIGOS_COMP[COMP_FIM].bits, CODIGOS_COMP[COMP_FIM].n);
    // Zero bits up to the byte boundary.
    while (nacum_ > 0) {
        saida_[nsaida_++] = static_cast<unsigned char>(acumulador_);
        acumulador_ >>= 8;
        nacum_ = nacum_ > 8 ? nacum_ - 8 : 0;
    }
    Esvazia();
    return CMP_OK;
}

} // namespace

unsigned implode(FuncLeitura ler, FuncEscrita gravar, char* trabalho, void* param, unsigned* tipo,
                 unsigned* tamDicionario) {
    (void)trabalho; // the windows live in the codec's own memory
    if (!tipo || *tipo != CMP_BINARIO) return CMP_MODO_INVALIDO;
    if (!tamDicionario || (*tamDicionario != 1024 && *tamDicionario != 2048 && *tamDicionario != 4096))
        return CMP_DICIONARIO_INVALIDO;
    if (!ler || !gravar) return CMP_ABORTADO;
    auto compressor = std::make_unique<Compressor>(ler, gravar, param, *tamDicionario);
    return compressor->Executa();
}

unsigned explode(FuncLeitura ler, FuncEscrita gravar, char* trabalho, void* param) {
    if (!ler || !gravar || !trabalho) return CMP_ABORTADO;
    static_assert(TAM_ENTRADA <= TAM_TRABALHO_EXPLODE);
    Expansor expansor(ler, gravar, reinterpret_cast<unsigned char*>(trabalho), param);
    return expansor.Executa();
}

std::uint32_t crc32(const char* buffer, unsigned* tamanho, std::uint32_t* crc) {
    // The library takes and returns the complemented value that callers here keep bare.
    return ~static_cast<std::uint32_t>(libdeflate_crc32(~*crc, buffer, *tamanho));
}

} // namespace dorvan::compressao

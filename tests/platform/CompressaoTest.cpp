// The DBC codec against hand-assembled streams (written with this file's own code
// tables), a strict reader of what the encoder writes, and round trips.
#include "platform/Compressao.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

namespace dorvan::compressao {
namespace {

using Bytes = std::string;

// ---------------------------------------------------------------------------
// Code tables as the stream format states them: length codes in the order their
// bits are read, distance codes as the integer read least-significant bit first.
const char* const CODIGO_COMP[16] = {"101",   "11",    "100",   "011",    "0101",   "0100",   "0011",    "00101",
                                     "00100", "00011", "00010", "000011", "000010", "000001", "0000001", "0000000"};
const unsigned BASE_COMP[16] = {2, 3, 4, 5, 6, 7, 8, 9, 10, 12, 16, 24, 40, 72, 136, 264};
const unsigned EXTRA_COMP[16] = {0, 0, 0, 0, 0, 0, 0, 0, 1, 2, 3, 4, 5, 6, 7, 8};
const unsigned CODIGO_DIST[64] = {0x03, 0x0D, 0x05, 0x19, 0x09, 0x11, 0x01, 0x3E, 0x1E, 0x2E, 0x0E, 0x36, 0x16,
                                  0x26, 0x06, 0x3A, 0x1A, 0x2A, 0x0A, 0x32, 0x12, 0x22, 0x42, 0x02, 0x7C, 0x3C,
                                  0x5C, 0x1C, 0x6C, 0x2C, 0x4C, 0x0C, 0x74, 0x34, 0x54, 0x14, 0x64, 0x24, 0x44,
                                  0x04, 0x78, 0x38, 0x58, 0x18, 0x68, 0x28, 0x48, 0x08, 0xF0, 0x70, 0xB0, 0x30,
                                  0xD0, 0x50, 0x90, 0x10, 0xE0, 0x60, 0xA0, 0x20, 0xC0, 0x40, 0x80, 0x00};
unsigned TamDist(unsigned s) {
    if (s == 0) return 2;
    if (s <= 2) return 4;
    if (s <= 6) return 5;
    if (s <= 21) return 6;
    if (s <= 47) return 7;
    return 8;
}

unsigned SimboloDoComprimento(unsigned comp) {
    unsigned s = 15;
    while (BASE_COMP[s] > comp)
        --s;
    return s;
}

// Writes a stream bit by bit and keeps the bytes it should expand to.
class Montador {
public:
    Montador(unsigned char modo, unsigned char bitsDicionario) : bitsDic_(bitsDicionario) {
        bytes_ += static_cast<char>(modo);
        bytes_ += static_cast<char>(bitsDicionario);
    }
    void Bits(unsigned valor, unsigned n) {
        for (unsigned i = 0; i < n; ++i)
            Bit((valor >> i) & 1);
    }
    void Literal(unsigned char c) {
        Bit(0);
        Bits(c, 8);
        esperado_ += static_cast<char>(c);
    }
    void Copia(unsigned comp, unsigned dist) {
        CodigoComprimento(comp);
        unsigned baixos = comp == 2 ? 2 : bitsDic_;
        unsigned s = (dist - 1) >> baixos;
        Bits(CODIGO_DIST[s], TamDist(s));
        Bits((dist - 1) & ((1u << baixos) - 1), baixos);
        for (unsigned i = 0; i < comp; ++i)
            esperado_ += esperado_[esperado_.size() - dist];
    }
    void Fim() {
        CodigoComprimento(519);
        while (nbit_ != 0)
            Bit(0);
    }
    const Bytes& Fluxo() const { return bytes_; }
    const Bytes& Esperado() const { return esperado_; }

private:
    void Bit(unsigned b) {
        if (nbit_ == 0) bytes_ += '\0';
        if (b) bytes_.back() = static_cast<char>(bytes_.back() | (1 << nbit_));
        nbit_ = (nbit_ + 1) & 7;
    }
    void CodigoComprimento(unsigned comp) {
        Bit(1);
        unsigned s = SimboloDoComprimento(comp);
        for (const char* p = CODIGO_COMP[s]; *p; ++p)
            Bit(*p == '1');
        Bits(comp - BASE_COMP[s], EXTRA_COMP[s]);
    }
    unsigned bitsDic_;
    unsigned nbit_ = 0;
    Bytes bytes_;
    Bytes esperado_;
};

// ---------------------------------------------------------------------------
// Callbacks over strings, cut into chunks of a chosen size.

struct Canal {
    const Bytes* entrada = nullptr;
    std::size_t lidos = 0;
    unsigned passoLeitura = 1u << 30;
    Bytes saida;
    std::vector<unsigned> blocos;
    std::size_t abortaApos = SIZE_MAX; // read asks to stop once this many bytes were handed
};

unsigned LeCanal(char* buffer, unsigned* tamanho, void* param) {
    auto* c = static_cast<Canal*>(param);
    if (c->lidos >= c->abortaApos) return CMP_LEITURA_ABORTA;
    std::size_t n = std::min<std::size_t>({*tamanho, c->passoLeitura, c->entrada->size() - c->lidos});
    std::memcpy(buffer, c->entrada->data() + c->lidos, n);
    c->lidos += n;
    return static_cast<unsigned>(n);
}

void GravaCanal(char* buffer, unsigned* tamanho, void* param) {
    auto* c = static_cast<Canal*>(param);
    c->saida.append(buffer, *tamanho);
    c->blocos.push_back(*tamanho);
}

struct Expandido {
    unsigned resultado;
    Bytes saida;
    std::vector<unsigned> blocos;
};

Expandido Expande(const Bytes& fluxo, unsigned passo = 1u << 30) {
    Canal c;
    c.entrada = &fluxo;
    c.passoLeitura = passo;
    std::vector<char> trabalho(TAM_TRABALHO_EXPLODE);
    unsigned r = explode(LeCanal, GravaCanal, trabalho.data(), &c);
    return {r, c.saida, c.blocos};
}

Bytes Comprime(const Bytes& dados, unsigned dicionario = 4096, unsigned passo = 1u << 30) {
    Canal c;
    c.entrada = &dados;
    c.passoLeitura = passo;
    std::vector<char> trabalho(TAM_TRABALHO_IMPLODE);
    unsigned tipo = CMP_BINARIO;
    unsigned r = implode(LeCanal, GravaCanal, trabalho.data(), &c, &tipo, &dicionario);
    EXPECT_EQ(r, CMP_OK);
    EXPECT_EQ(c.lidos, dados.size());
    return c.saida;
}

// ---------------------------------------------------------------------------
// A strict reader of encoder output: every token the original reader accepts and
// nothing else, the end code, zero padding and no bytes after it.

struct Verificacao {
    bool ok = false;
    std::string erro;
    Bytes saida;
};

Verificacao Verifica(const Bytes& fluxo, unsigned dicionarioEsperado) {
    Verificacao v;
    std::size_t bit = 16;
    auto leBit = [&](unsigned& b) {
        if (bit >= fluxo.size() * 8) return false;
        b = (static_cast<unsigned char>(fluxo[bit / 8]) >> (bit % 8)) & 1;
        ++bit;
        return true;
    };
    auto leBits = [&](unsigned n, unsigned& valor) {
        valor = 0;
        for (unsigned i = 0; i < n; ++i) {
            unsigned b;
            if (!leBit(b)) return false;
            valor |= b << i;
        }
        return true;
    };
    if (fluxo.size() < 2) return v.erro = "short header", v;
    if (fluxo[0] != 0) return v.erro = "mode byte", v;
    unsigned bitsDic = static_cast<unsigned char>(fluxo[1]);
    if ((64u << bitsDic) != dicionarioEsperado) return v.erro = "dictionary byte", v;
    for (;;) {
        unsigned flag;
        if (!leBit(flag)) return v.erro = "ran out before the end code", v;
        if (flag == 0) {
            unsigned c;
            if (!leBits(8, c)) return v.erro = "cut literal", v;
            v.saida += static_cast<char>(c);
            continue;
        }
        std::string codigo;
        int simbolo = -1;
        while (simbolo < 0 && codigo.size() < 7) {
            unsigned b;
            if (!leBit(b)) return v.erro = "cut length code", v;
            codigo += b ? '1' : '0';
            for (int s = 0; s < 16; ++s)
                if (codigo == CODIGO_COMP[s]) simbolo = s;
        }
        if (simbolo < 0) return v.erro = "bad length code", v;
        unsigned extra;
        if (!leBits(EXTRA_COMP[simbolo], extra)) return v.erro = "cut length bits", v;
        unsigned comp = BASE_COMP[simbolo] + extra;
        if (comp == 519) break;
        unsigned codigoDist = 0, n = 0;
        int sd = -1;
        while (sd < 0 && n < 8) {
            unsigned b;
            if (!leBit(b)) return v.erro = "cut distance code", v;
            codigoDist |= b << n++;
            for (int s = 0; s < 64; ++s)
                if (TamDist(s) == n && CODIGO_DIST[s] == codigoDist) sd = s;
        }
        if (sd < 0) return v.erro = "bad distance code", v;
        unsigned baixos = comp == 2 ? 2 : bitsDic, valorBaixo;
        if (!leBits(baixos, valorBaixo)) return v.erro = "cut distance bits", v;
        unsigned dist = ((unsigned(sd) << baixos) | valorBaixo) + 1;
        if (comp == 2 && dist > 256) return v.erro = "length 2 beyond 256", v;
        if (dist > dicionarioEsperado) return v.erro = "distance beyond the dictionary", v;
        if (dist > v.saida.size()) return v.erro = "distance before the start", v;
        for (unsigned i = 0; i < comp; ++i)
            v.saida += v.saida[v.saida.size() - dist];
    }
    while (bit % 8) {
        unsigned b = 0;
        leBit(b);
        if (b) return v.erro = "padding not zero", v;
    }
    if (bit / 8 != fluxo.size()) return v.erro = "bytes after the end", v;
    v.ok = true;
    return v;
}

Bytes Aleatorio(std::size_t n, unsigned semente, unsigned alfabeto = 256) {
    std::mt19937 g(semente);
    Bytes s(n, '\0');
    for (auto& c : s)
        c = static_cast<char>(g() % alfabeto);
    return s;
}

// Records of fixed-width fields, like the data files the codec is made for.
Bytes Registros(std::size_t n, unsigned semente) {
    std::mt19937 g(semente);
    Bytes s;
    char linha[64];
    while (s.size() < n) {
        std::snprintf(linha, sizeof linha, " 2019%02u%02u%06u%c%03u%s%c%02u  ", unsigned(g() % 12 + 1),
                      unsigned(g() % 28 + 1), unsigned(g() % 40 + 350000), g() % 2 ? '1' : '2', unsigned(g() % 99),
                      g() % 3 ? "I21 " : "    ", char('A' + g() % 26), unsigned(g() % 90));
        s += linha;
    }
    s.resize(n);
    return s;
}

// Runs of many different bytes and lengths, each followed by a few other bytes.
Bytes Corridas(std::size_t n, unsigned semente) {
    std::mt19937 g(semente);
    Bytes s;
    while (s.size() < n) {
        s.append(1 + g() % 40, static_cast<char>("  0 *AZ\xFF\x00"[g() % 9]));
        for (unsigned i = g() % 4; i > 0; --i)
            s += static_cast<char>(g() % 256);
    }
    s.resize(n);
    return s;
}

// ---------------------------------------------------------------------------

TEST(Explode, KnownStreamExpandsToAiai) {
    auto r = Expande(Bytes("\x00\x04\x82\x24\x25\x8F\x80\x7F", 8));
    EXPECT_EQ(r.resultado, CMP_OK);
    EXPECT_EQ(r.saida, "AIAIAIAIAIAIA");
}

TEST(Explode, EveryLengthAtEachDictionarySize) {
    for (unsigned char bitsDic : {4, 5, 6}) {
        Montador m(0, bitsDic);
        for (unsigned i = 0; i < 300; ++i)
            m.Literal(static_cast<unsigned char>(i * 7 + i / 11));
        for (unsigned comp = 2; comp <= 518; ++comp)
            m.Copia(comp, 1 + (comp * 37) % (comp == 2 ? 256 : 300));
        m.Fim();
        auto r = Expande(m.Fluxo());
        EXPECT_EQ(r.resultado, CMP_OK) << int(bitsDic);
        EXPECT_EQ(r.saida, m.Esperado()) << int(bitsDic);
    }
}

TEST(Explode, EveryDistanceSymbolAndLowBitsAtEachDictionarySize) {
    for (unsigned char bitsDic : {4, 5, 6}) {
        unsigned dicionario = 64u << bitsDic;
        Montador m(0, bitsDic);
        Bytes semente = Aleatorio(dicionario, bitsDic);
        for (char c : semente)
            m.Literal(static_cast<unsigned char>(c));
        for (unsigned s = 0; s < 64; ++s) {
            // Lowest, highest and one middle value of the low bits, long and length-2 copies.
            for (unsigned baixo : {0u, (1u << bitsDic) - 1, 5u % (1u << bitsDic)})
                m.Copia(3 + s % 9, (s << bitsDic) + baixo + 1);
            for (unsigned baixo : {0u, 1u, 2u, 3u})
                m.Copia(2, (s << 2) + baixo + 1);
        }
        m.Copia(518, dicionario); // the farthest copy the dictionary allows
        m.Fim();
        auto r = Expande(m.Fluxo());
        EXPECT_EQ(r.resultado, CMP_OK) << int(bitsDic);
        EXPECT_EQ(r.saida, m.Esperado()) << int(bitsDic);
    }
}

TEST(Explode, OverlappingCopiesRepeatTheirOwnOutput) {
    for (unsigned dist = 1; dist <= 40; ++dist) {
        Montador m(0, 6);
        for (unsigned i = 0; i < dist; ++i)
            m.Literal(static_cast<unsigned char>('a' + i));
        for (unsigned comp : {2u, 3u, 4u, 5u, 8u, 9u, 17u, 518u, 100u, 31u, 32u, 33u, 40u})
            m.Copia(comp, dist);
        m.Fim();
        auto r = Expande(m.Fluxo());
        EXPECT_EQ(r.resultado, CMP_OK) << dist;
        EXPECT_EQ(r.saida, m.Esperado()) << dist;
    }
}

TEST(Explode, OutputComesInFullChunksAndCopiesReachAcrossThem) {
    Montador m(0, 6);
    Bytes semente = Aleatorio(4096, 9);
    for (char c : semente)
        m.Literal(static_cast<unsigned char>(c));
    std::mt19937 g(3);
    while (m.Esperado().size() < 3 * TAM_BLOCO_EXPLODE + 1000) {
        if (g() % 4 == 0)
            m.Literal(static_cast<unsigned char>(g()));
        else
            m.Copia(3 + g() % 516, 1 + g() % 4096);
    }
    m.Fim();
    for (unsigned passo : {1u, 7u, 4096u, 1u << 30}) {
        auto r = Expande(m.Fluxo(), passo);
        ASSERT_EQ(r.resultado, CMP_OK);
        EXPECT_EQ(r.saida, m.Esperado());
        for (std::size_t i = 0; i + 1 < r.blocos.size(); ++i)
            EXPECT_EQ(r.blocos[i], TAM_BLOCO_EXPLODE);
        EXPECT_GT(r.blocos.back(), 0u);
    }
}

TEST(Explode, BadHeadersAndDamagedStreams) {
    Montador foraDoInicio(0, 6);
    foraDoInicio.Literal('x');
    foraDoInicio.Copia(3, 2); // reaches before the first byte
    foraDoInicio.Fim();
    Montador curtoDois(0, 6);
    for (int i = 0; i < 300; ++i)
        curtoDois.Literal('y');
    curtoDois.Fim();
    struct Caso {
        const char* nome;
        Bytes fluxo;
        unsigned resultado;
    } casos[] = {
        {"empty input", Bytes(), CMP_DADOS_INVALIDOS},
        {"one byte", Bytes("\x00", 1), CMP_DADOS_INVALIDOS},
        {"header only", Bytes("\x00\x06", 2), CMP_DADOS_INVALIDOS},
        {"dictionary byte 3", Bytes("\x00\x03\x00\x00", 4), CMP_DICIONARIO_INVALIDO},
        {"dictionary byte 7", Bytes("\x00\x07\x00\x00", 4), CMP_DICIONARIO_INVALIDO},
        {"text literal mode", Bytes("\x01\x06\x00\x00", 4), CMP_MODO_INVALIDO},
        {"mode byte 2", Bytes("\x02\x06\x00\x00", 4), CMP_MODO_INVALIDO},
        {"copy before the start", foraDoInicio.Fluxo(), CMP_DADOS_INVALIDOS},
        {"known stream cut before its end code", Bytes("\x00\x04\x82\x24\x25\x8F\x80", 7), CMP_DADOS_INVALIDOS},
        {"literals without end code", curtoDois.Fluxo().substr(0, curtoDois.Fluxo().size() - 2), CMP_DADOS_INVALIDOS},
    };
    for (const auto& c : casos)
        EXPECT_EQ(Expande(c.fluxo).resultado, c.resultado) << c.nome;
}

TEST(Explode, BytesAfterTheEndCodeAreIgnored) {
    Bytes fluxo("\x00\x04\x82\x24\x25\x8F\x80\x7F", 8);
    Bytes comResto = fluxo + "garbage";
    Canal c;
    c.entrada = &comResto;
    c.passoLeitura = 1;
    std::vector<char> trabalho(TAM_TRABALHO_EXPLODE);
    EXPECT_EQ(explode(LeCanal, GravaCanal, trabalho.data(), &c), CMP_OK);
    EXPECT_EQ(c.saida, "AIAIAIAIAIAIA");
}

TEST(Explode, ReadRoutineCanAbort) {
    Bytes dados = Registros(300000, 5);
    Bytes fluxo = Comprime(dados);
    for (std::size_t apos : {std::size_t(0), std::size_t(1), fluxo.size() / 2}) {
        Canal c;
        c.entrada = &fluxo;
        c.passoLeitura = 1000;
        c.abortaApos = apos;
        std::vector<char> trabalho(TAM_TRABALHO_EXPLODE);
        EXPECT_EQ(explode(LeCanal, GravaCanal, trabalho.data(), &c), CMP_ABORTADO) << apos;
        EXPECT_EQ(c.saida, dados.substr(0, c.saida.size()));
    }
}

TEST(Explode, TruncatedStreamsFailAndDamagedOnesStayInBounds) {
    Bytes dados = Registros(20000, 8) + Aleatorio(3000, 4);
    Bytes fluxo = Comprime(dados);
    for (std::size_t n = 0; n < fluxo.size(); n += (n < 64 ? 1 : 97))
        EXPECT_NE(Expande(fluxo.substr(0, n)).resultado, CMP_OK) << n;
    EXPECT_EQ(Expande(fluxo.substr(0, fluxo.size() - 1)).resultado, CMP_DADOS_INVALIDOS);
    std::mt19937 g(11);
    for (int i = 0; i < 400; ++i) {
        Bytes estragado = fluxo;
        for (int k = 0; k < 1 + i % 4; ++k)
            estragado[2 + g() % (estragado.size() - 2)] ^= char(1 << (g() % 8));
        auto r = Expande(estragado, 1 + g() % 5000);
        if (r.resultado == CMP_OK) {
            EXPECT_LE(r.saida.size(), 519 * estragado.size() * 8);
        }
    }
}

TEST(Implode, RejectsOtherModesAndDictionaries) {
    Bytes vazio;
    struct Caso {
        unsigned tipo, dicionario, resultado;
    } casos[] = {{CMP_ASCII, 4096, CMP_MODO_INVALIDO},
                 {7, 4096, CMP_MODO_INVALIDO},
                 {CMP_BINARIO, 512, CMP_DICIONARIO_INVALIDO},
                 {CMP_BINARIO, 4095, CMP_DICIONARIO_INVALIDO},
                 {CMP_BINARIO, 8192, CMP_DICIONARIO_INVALIDO}};
    for (auto c : casos) {
        Canal canal;
        canal.entrada = &vazio;
        std::vector<char> trabalho(TAM_TRABALHO_IMPLODE);
        EXPECT_EQ(implode(LeCanal, GravaCanal, trabalho.data(), &canal, &c.tipo, &c.dicionario), c.resultado);
        EXPECT_TRUE(canal.saida.empty());
    }
}

TEST(Implode, ReadRoutineCanAbort) {
    Bytes dados = Registros(200000, 1);
    Canal c;
    c.entrada = &dados;
    c.passoLeitura = 777;
    c.abortaApos = 100000;
    std::vector<char> trabalho(TAM_TRABALHO_IMPLODE);
    unsigned tipo = CMP_BINARIO, dicionario = 4096;
    EXPECT_EQ(implode(LeCanal, GravaCanal, trabalho.data(), &c, &tipo, &dicionario), CMP_ABORTADO);
}

TEST(Implode, EmptyInputIsHeaderAndEndCode) {
    EXPECT_EQ(Comprime(Bytes()), Bytes("\x00\x06\x01\xFF", 4));
    EXPECT_EQ(Comprime(Bytes(), 1024), Bytes("\x00\x04\x01\xFF", 4));
}

TEST(Implode, RoundTripsKeepEveryRuleOfTheStream) {
    struct Caso {
        const char* nome;
        Bytes dados;
    } casos[] = {
        {"empty", Bytes()},
        {"one byte", Bytes("Z")},
        {"two bytes", Bytes("ZZ")},
        {"incompressible", Aleatorio(70000, 1)},
        {"all blanks", Bytes(200000, ' ')},
        {"4095 records", Registros(4095, 2)},
        {"4096 records", Registros(4096, 3)},
        {"4097 records", Registros(4097, 4)},
        {"small alphabet", Aleatorio(150000, 5, 3)},
        {"runs of many bytes", Corridas(150000, 13)},
        {"long records", Registros(300000, 6)},
        {"period 4097",
         [] {
             Bytes b = Aleatorio(4097, 7);
             return b + b + b;
         }()},
        {"period 257",
         [] {
             Bytes b = Aleatorio(257, 8, 4);
             return b + b + b + b;
         }()},
    };
    for (const auto& c : casos)
        for (unsigned dicionario : {1024u, 2048u, 4096u})
            for (unsigned passo : {1u, 333u, 1u << 30}) {
                if (passo == 1 && c.dados.size() > 10000 && dicionario != 4096) continue;
                Bytes fluxo = Comprime(c.dados, dicionario, passo);
                Verificacao v = Verifica(fluxo, dicionario);
                EXPECT_TRUE(v.ok) << c.nome << " " << dicionario << " " << passo << ": " << v.erro;
                EXPECT_TRUE(v.saida == c.dados) << c.nome << " " << dicionario << " " << passo;
                auto r = Expande(fluxo, passo == 1 ? 1 : 4099);
                EXPECT_EQ(r.resultado, CMP_OK) << c.nome;
                EXPECT_TRUE(r.saida == c.dados) << c.nome << " " << dicionario << " " << passo;
            }
}

TEST(Implode, CompressesWhatRepeats) {
    EXPECT_LT(Comprime(Bytes(200000, ' ')).size(), 200000u / 518 * 3 + 10); // one 24-bit copy per 518 bytes
    Bytes registros = Registros(400000, 9);
    EXPECT_LT(Comprime(registros).size(), registros.size() / 2);
    Bytes ruido = Aleatorio(100000, 2);
    EXPECT_LT(Comprime(ruido).size(), ruido.size() * 9 / 8 + 100);
}

TEST(Codec, TwoCodecsRunAtOnceOnTwoThreads) {
    std::vector<Bytes> dados{Registros(500000, 21), Corridas(400000, 22), Aleatorio(300000, 23, 5),
                             Registros(450000, 24)};
    std::vector<int> certo(dados.size(), 0);
    std::vector<std::thread> fios;
    for (std::size_t i = 0; i < dados.size(); ++i)
        fios.emplace_back([&, i] {
            Canal c;
            c.entrada = &dados[i];
            c.passoLeitura = 1000 + 17 * static_cast<unsigned>(i);
            std::vector<char> trabalho(TAM_TRABALHO_IMPLODE);
            unsigned tipo = CMP_BINARIO, dicionario = 4096;
            if (implode(LeCanal, GravaCanal, trabalho.data(), &c, &tipo, &dicionario) != CMP_OK) return;
            Canal e;
            e.entrada = &c.saida;
            if (explode(LeCanal, GravaCanal, trabalho.data(), &e) != CMP_OK) return;
            certo[i] = e.saida == dados[i];
        });
    for (auto& f : fios)
        f.join();
    for (std::size_t i = 0; i < dados.size(); ++i)
        EXPECT_TRUE(certo[i]) << i;
}

void GravaFalha(char*, unsigned*, void*) { throw std::runtime_error("disco cheio"); }

TEST(Codec, WriteErrorsReachTheCaller) {
    Bytes dados = Registros(200000, 30);
    Bytes fluxo = Comprime(dados);
    std::vector<char> trabalho(TAM_TRABALHO_IMPLODE);
    Canal c;
    c.entrada = &dados;
    unsigned tipo = CMP_BINARIO, dicionario = 4096;
    EXPECT_THROW(implode(LeCanal, GravaFalha, trabalho.data(), &c, &tipo, &dicionario), std::runtime_error);
    Canal e;
    e.entrada = &fluxo;
    EXPECT_THROW(explode(LeCanal, GravaFalha, trabalho.data(), &e), std::runtime_error);
}

TEST(Crc32, StandardCheckValueAndSplitUpdates) {
    auto lento = [](const Bytes& s, std::uint32_t c) {
        for (unsigned char b : s) {
            c ^= b;
            for (int k = 0; k < 8; ++k)
                c = (c & 1) ? (c >> 1) ^ 0xEDB88320u : c >> 1;
        }
        return c;
    };
    auto crc = [](const Bytes& s, std::uint32_t c) {
        unsigned n = static_cast<unsigned>(s.size());
        return crc32(s.data(), &n, &c);
    };
    EXPECT_EQ(~crc("123456789", 0xFFFFFFFFu), 0xCBF43926u);
    Bytes dados = Aleatorio(1000, 12);
    for (std::size_t n : {0, 1, 7, 8, 9, 15, 16, 17, 100, 1000}) {
        Bytes parte = dados.substr(0, n);
        EXPECT_EQ(crc(parte, 0xFFFFFFFFu), lento(parte, 0xFFFFFFFFu)) << n;
        std::size_t meio = n / 3;
        EXPECT_EQ(crc(parte.substr(meio), crc(parte.substr(0, meio), 0xFFFFFFFFu)), lento(parte, 0xFFFFFFFFu));
    }
    // Long buffers at every alignment, split anywhere: the wide paths and their tails.
    auto crcEm = [](const char* p, std::size_t tamanho, std::uint32_t c) {
        unsigned n = static_cast<unsigned>(tamanho);
        return crc32(p, &n, &c);
    };
    Bytes longo = Aleatorio(70000, 13);
    for (std::size_t inicio : {0, 1, 3, 7, 15, 33}) {
        for (std::size_t n : {63, 64, 65, 255, 256, 4095, 4096, 4097, 69000}) {
            const char* p = longo.data() + inicio;
            const std::uint32_t esperado = lento(longo.substr(inicio, n), 0xFFFFFFFFu);
            EXPECT_EQ(crcEm(p, n, 0xFFFFFFFFu), esperado) << inicio << " " << n;
            for (std::size_t corte : {std::size_t{1}, n / 3 + inicio, n - 1})
                EXPECT_EQ(crcEm(p + corte, n - corte, crcEm(p, corte, 0xFFFFFFFFu)), esperado) << n << " " << corte;
        }
    }
    std::uint32_t inicial = 0x12345678u;
    unsigned n = 3;
    crc32("abc", &n, &inicial);
    EXPECT_EQ(inicial, 0x12345678u); // the running value is returned, not stored
}

} // namespace
} // namespace dorvan::compressao

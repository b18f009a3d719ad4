#include "maps/ArquivoMapa.h"

#include "data/UConvert.h"
#include "platform/Arquivos.h"
#include "platform/Erros.h"

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cstring>

namespace dorvan {

namespace {

void PoeI16(std::string& s, std::int16_t v) {
    auto u = static_cast<std::uint16_t>(v);
    s += static_cast<char>(u & 0xFF);
    s += static_cast<char>(u >> 8);
}

void PoeF32(std::string& s, float v) {
    auto u = std::bit_cast<std::uint32_t>(v);
    for (int i = 0; i < 4; ++i)
        s += static_cast<char>((u >> (8 * i)) & 0xFF);
}

// A length byte and `largura` bytes, the unused ones zero.
void PoeTexto(std::string& s, const std::string& texto, std::size_t largura) {
    std::size_t n = std::min(texto.size(), largura);
    s += static_cast<char>(n);
    s.append(texto, 0, n);
    s.append(largura - n, '\0');
}

std::int16_t TiraI16(const unsigned char* p) { return static_cast<std::int16_t>(p[0] | (p[1] << 8)); }

float TiraF32(const unsigned char* p) {
    std::uint32_t u = static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
                      (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
    return std::bit_cast<float>(u);
}

// A length byte above the field's width reads as the whole field.
std::string TiraTexto(const unsigned char* p, std::size_t largura) {
    std::size_t n = std::min<std::size_t>(p[0], largura);
    return std::string(reinterpret_cast<const char*>(p + 1), n);
}

CabecalhoMapa CabecalhoDeBytes(const unsigned char* p) {
    CabecalhoMapa c;
    c.Versao = TiraI16(p);
    c.MaxX = TiraF32(p + 2);
    c.MaxY = TiraF32(p + 6);
    c.MinX = TiraF32(p + 10);
    c.MinY = TiraF32(p + 14);
    return c;
}

std::size_t NumPontosGravados(const RegistroMapa& r) {
    return std::min(r.Pontos.size(), static_cast<std::size_t>(MaxPontosMapa));
}

} // namespace

std::string BytesCabecalho(const CabecalhoMapa& c) {
    std::string s;
    s.reserve(TamCabecalhoMapa);
    PoeI16(s, c.Versao);
    PoeF32(s, c.MaxX);
    PoeF32(s, c.MaxY);
    PoeF32(s, c.MinX);
    PoeF32(s, c.MinY);
    return s;
}

std::string BytesRegistro(const RegistroMapa& r) {
    const std::size_t n = NumPontosGravados(r);
    std::string s;
    s.reserve(TamFixoRegistro + 8 * n);
    s += static_cast<char>(r.Tipo);
    PoeTexto(s, r.Codigo, MaxCodigoMapa);
    PoeTexto(s, r.Nome, MaxNomeMapa);
    PoeF32(s, r.RotuloX);
    PoeF32(s, r.RotuloY);
    PoeI16(s, static_cast<std::int16_t>(n));
    for (std::size_t i = 0; i < n; ++i) {
        PoeF32(s, r.Pontos[i].X);
        PoeF32(s, r.Pontos[i].Y);
    }
    return s;
}

// ---- reading ----------------------------------------------------------------------

LeitorMapa::LeitorMapa(const std::string& nome) : nome_(nome) {
    // The buffer first: once the file is open nothing may throw before it is closed.
    buffer_.resize(TamFixoRegistro + 8 * static_cast<std::size_t>(MaxPontosMapa));
    arquivo_ = std::fopen(nome.c_str(), "rb");
    if (!arquivo_) throw ErroES::DoSistema(nome, errno);
    unsigned char b[TamCabecalhoMapa];
    if (std::fread(b, 1, sizeof b, arquivo_) != sizeof b) {
        int e = std::ferror(arquivo_) ? errno : 0;
        std::fclose(arquivo_);
        arquivo_ = nullptr;
        if (e) throw ErroES::DoSistema(nome, e);
        Danificado(0, "cabe\xE7"
                      "alho incompleto");
    }
    cabecalho_ = CabecalhoDeBytes(b);
    posicao_ = TamCabecalhoMapa;
}

LeitorMapa::~LeitorMapa() {
    if (arquivo_) std::fclose(arquivo_);
}

void LeitorMapa::Danificado(std::uint64_t posicao, const std::string& motivo) const {
    throw ErroES(nome_, "arquivo de mapa danificado no byte " + std::to_string(posicao) + ": " + motivo);
}

bool LeitorMapa::Proximo(RegistroMapa& r) {
    if (!arquivo_) return false;
    posicaoRegistro_ = posicao_;
    // Reads land in the one buffer sized for the largest record a valid count allows,
    // so no count in the file can make a read overrun it.
    auto le = [&](unsigned char* destino, std::size_t n) {
        const std::size_t lidos = std::fread(destino, 1, n, arquivo_);
        if (lidos != n && std::ferror(arquivo_)) throw ErroES::DoSistema(nome_, errno);
        posicao_ += lidos;
        return lidos;
    };
    unsigned char* b = buffer_.data();
    const std::size_t lidos = le(b, TamFixoRegistro);
    if (lidos == 0) {
        std::fclose(arquivo_);
        arquivo_ = nullptr;
        return false;
    }
    if (lidos != TamFixoRegistro) Danificado(posicaoRegistro_, "registro incompleto");
    const std::int16_t n = TiraI16(b + 46);
    if (n < 1 || n > MaxPontosMapa)
        Danificado(posicaoRegistro_ + 46, "n\xFAmero de pontos inv\xE1lido (" + std::to_string(n) + ")");
    const auto bytesPontos = static_cast<std::size_t>(n) * 8;
    if (le(b + TamFixoRegistro, bytesPontos) != bytesPontos) Danificado(posicaoRegistro_, "registro incompleto");

    r.Tipo = b[0];
    r.Codigo = TiraTexto(b + 1, MaxCodigoMapa);
    r.Nome = TiraTexto(b + 12, MaxNomeMapa);
    r.RotuloX = TiraF32(b + 38);
    r.RotuloY = TiraF32(b + 42);
    r.Pontos.resize(static_cast<std::size_t>(n));
    const unsigned char* p = b + TamFixoRegistro;
    for (auto& ponto : r.Pontos) {
        ponto.X = TiraF32(p);
        ponto.Y = TiraF32(p + 4);
        p += 8;
    }
    return true;
}

Mapa LeMapa(const std::string& nome) {
    LeitorMapa leitor(nome);
    Mapa m;
    m.Cabecalho = leitor.Cabecalho();
    RegistroMapa r;
    while (leitor.Proximo(r))
        m.Registros.push_back(r);
    return m;
}

// ---- writing ----------------------------------------------------------------------

GravadorMapa::GravadorMapa(const std::string& nome, std::optional<CabecalhoMapa> limites)
    : saida_(std::make_unique<GravacaoSegura>(nome)) {
    if (limites) {
        cabecalho_ = *limites;
        cabecalho_.Versao = VersaoMapa;
        limitesCorrentes_ = false;
    } else {
        cabecalho_.MaxX = cabecalho_.MaxY = -1e20f;
        cabecalho_.MinX = cabecalho_.MinY = 1e20f;
    }
    saida_->Escreve(BytesCabecalho(cabecalho_));
}

GravadorMapa::~GravadorMapa() = default;

bool GravadorMapa::Grava(const RegistroMapa& r) {
    if (r.Pontos.empty()) return false;
    saida_->Escreve(BytesRegistro(r));
    if (limitesCorrentes_) {
        const std::size_t n = NumPontosGravados(r);
        for (std::size_t i = 0; i < n; ++i) {
            const PontoMapa& p = r.Pontos[i];
            cabecalho_.MaxX = std::max(cabecalho_.MaxX, p.X);
            cabecalho_.MaxY = std::max(cabecalho_.MaxY, p.Y);
            cabecalho_.MinX = std::min(cabecalho_.MinX, p.X);
            cabecalho_.MinY = std::min(cabecalho_.MinY, p.Y);
        }
    }
    ++registros_;
    return true;
}

void GravadorMapa::Fecha() {
    if (limitesCorrentes_) {
        std::FILE* f = saida_->Arquivo();
        const std::string b = BytesCabecalho(cabecalho_);
        if (std::fseek(f, 0, SEEK_SET) != 0) throw ErroES::DoSistema(saida_->Destino(), errno);
        saida_->Escreve(b);
        if (std::fseek(f, 0, SEEK_END) != 0) throw ErroES::DoSistema(saida_->Destino(), errno);
    }
    saida_->Confirma();
}

void GravaMapa(const std::string& nome, const std::vector<RegistroMapa>& registros) {
    GravadorMapa g(nome);
    for (const RegistroMapa& r : registros)
        g.Grava(r);
    g.Fecha();
}

// ---- checks and geometry ---------------------------------------------------------

std::string ProblemaCabecalhoTela(const std::string& nome, const CabecalhoMapa& c) {
    if (c.Versao != VersaoMapa) return nome + " n\xE3o \xE9 um arquivo de mapa do Dorvan.";
    if (c.MaxX - c.MinX == 0 && c.MaxY - c.MinY == 0) return "N\xE3o \xE9 poss\xEDvel mapear um \xFAnico ponto.";
    return {};
}

std::string ProblemaCabecalhoImpressora(const CabecalhoMapa& c) {
    if (c.Versao != VersaoMapa) return "Vers\xE3o inv\xE1lida do arquivo de mapas :" + std::to_string(c.Versao);
    if (c.MaxX - c.MinX == 0 && c.MaxY - c.MinY == 0) return "N\xE3o \xE9 poss\xEDvel mapear um \xFAnico ponto.";
    return {};
}

bool MapaGeografico(const CabecalhoMapa& c) {
    auto dentro = [](float v, float limite) { return v >= -limite && v <= limite; };
    return dentro(c.MinX, 180) && dentro(c.MaxX, 180) && dentro(c.MinY, 90) && dentro(c.MaxY, 90);
}

std::vector<AnelMapa> AneisDoRegistro(const RegistroMapa& r) {
    std::vector<AnelMapa> aneis;
    const auto n = static_cast<std::int32_t>(r.Pontos.size());
    std::int32_t inicio = 0;
    for (std::int32_t i = 0; i < n; ++i) {
        const bool volta = i > 0 && r.Pontos[static_cast<std::size_t>(i)] == r.Pontos[0];
        if (volta || i == n - 1) {
            if (i > inicio) aneis.push_back({inicio, i - inicio});
            inicio = i + 1;
        }
    }
    return aneis;
}

bool RegistroNaJanela(const RegistroMapa& r, float minX, float minY, float maxX, float maxY) {
    return std::any_of(r.Pontos.begin(), r.Pontos.end(),
                       [&](const PontoMapa& p) { return p.X >= minX && p.X <= maxX && p.Y >= minY && p.Y <= maxY; });
}

std::int32_t LinhaDoRegistro(const TIndice& indice, const RegistroMapa& r) {
    std::int32_t posicao = 0, valor = 0;
    if (BuscaIndice(indice, r.Codigo, posicao, valor)) return valor;
    if (BuscaIndice(indice, MaiusculasSemAcento(r.Nome), posicao, valor)) return valor;
    return 0;
}

PontoMapa PontoInterno(const RegistroMapa& r) {
    const auto& v = r.Pontos;
    const std::size_t n = v.size();
    if (n == 0) return {r.RotuloX, r.RotuloY};
    float soma = 0;
    for (const PontoMapa& p : v)
        soma += p.Y;
    const float yMedio = soma / static_cast<float>(n);

    std::vector<float> c;
    c.reserve(MaxCruzamentos);
    for (std::size_t i = 0; i < n && c.size() < static_cast<std::size_t>(MaxCruzamentos); ++i) {
        const PontoMapa& a = v[i];
        const PontoMapa& b = v[(i + 1) % n];
        const float d1 = a.Y - yMedio;
        const float d2 = b.Y - yMedio;
        if ((d1 >= 0) != (d2 >= 0)) c.push_back(a.X + (b.X - a.X) * (yMedio - a.Y) / (b.Y - a.Y));
    }
    std::sort(c.begin(), c.end());

    bool achou = false;
    float melhor = 0, x = 0;
    for (std::size_t m = 1; m < c.size(); m += 2) {
        const float largura = c[m] - c[m - 1];
        if (!achou || largura > melhor) {
            achou = true;
            melhor = largura;
            x = (c[m - 1] + c[m]) / 2;
        }
    }
    if (achou) return {x, yMedio};

    float minX = v[0].X, maxX = v[0].X, minY = v[0].Y, maxY = v[0].Y;
    for (const PontoMapa& p : v) {
        minX = std::min(minX, p.X);
        maxX = std::max(maxX, p.X);
        minY = std::min(minY, p.Y);
        maxY = std::max(maxY, p.Y);
    }
    return {(minX + maxX) / 2, (minY + maxY) / 2};
}

} // namespace dorvan

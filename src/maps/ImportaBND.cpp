// Boundary files (.BND) in their text form ("_CORNERS" lines, then named records)
// and their binary form (a 22-byte header, then 40-byte record headers and floats).
#include "maps/ImportaComum.h"

#include "platform/Arquivos.h"
#include "platform/Erros.h"
#include "platform/Mensagens.h"
#include "platform/Texto.h"

#include <algorithm>
#include <cstring>

namespace dorvan {

using namespace importa;

namespace {

float F32(const unsigned char* p) {
    std::uint32_t u = p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
    float f;
    std::memcpy(&f, &u, 4);
    return f;
}

std::string ImportaBNDTexto(LinhasTexto& l) {
    const PontoMapa minimo = PontoVirgula(l.Exige("os limites"));
    const PontoMapa maximo = PontoVirgula(l.Exige("os limites"));
    CabecalhoMapa c;
    c.MinX = minimo.X;
    c.MinY = minimo.Y;
    c.MaxX = maximo.X;
    c.MaxY = maximo.Y;
    const std::string saida = NomeMapaSaida(l.Nome());
    GravadorMapa g(saida, c);
    std::string linha;
    RegistroMapa r;
    while (l.Le(linha)) {
        if (TiraBrancos(linha, EEspaco).empty()) continue;
        std::string resto = linha, nome;
        const std::size_t v = resto.find(',');
        nome = resto.substr(0, v);
        resto = v == std::string::npos ? std::string() : resto.substr(v + 1);
        const std::size_t v2 = resto.find(',');
        const long long n = Inteiro(resto.substr(0, v2), l);
        if (n < 0) l.Falha("n\xFAmero de pontos negativo");
        r = RegistroMapa{};
        r.Nome = TiraAspas(nome);
        r.Codigo = r.Nome;
        for (long long i = 0; i < n; ++i)
            Acrescenta(r, PontoVirgula(l.Exige("um ponto")));
        if (n > MaxPontosMapa) AvisaTruncado(r.Nome, n);
        TipoPelaContagem(r, TipoPoligono);
        RotuloPelasRegras(r);
        CortaTextos(r);
        g.Grava(r);
    }
    g.Fecha();
    return saida;
}

std::string ImportaBNDBinario(const std::string& arquivo) {
    const std::string dados = LeArquivoInteiro(arquivo);
    const auto* b = reinterpret_cast<const unsigned char*>(dados.data());
    const std::size_t tam = dados.size();
    auto falha = [&](std::size_t pos, const std::string& motivo) {
        throw ErroES(arquivo, "byte " + std::to_string(pos) + ": " + motivo);
    };
    // Every record widens the bounds, the unwritten "_CORNERS" one too, so the
    // records are gathered before the header is known.
    CabecalhoMapa c;
    c.MaxX = c.MaxY = -1e20f;
    c.MinX = c.MinY = 1e20f;
    std::vector<RegistroMapa> registros;
    std::size_t pos = 22;
    while (pos < tam) {
        if (tam - pos < 40) falha(pos, "registro incompleto");
        const std::size_t n = b[pos] | (b[pos + 1] << 8);
        std::string nome(reinterpret_cast<const char*>(b + pos + 4), 20);
        while (!nome.empty() && (nome.back() == ' ' || nome.back() == '\0'))
            nome.pop_back();
        const std::size_t inicio = pos;
        pos += 40;
        if ((tam - pos) / 8 < n) falha(inicio, "registro incompleto");
        RegistroMapa r;
        r.Nome = nome;
        r.Codigo = nome;
        for (std::size_t i = 0; i < n; ++i, pos += 8) {
            const PontoMapa p{F32(b + pos), F32(b + pos + 4)};
            if (!Acrescenta(r, p)) continue;
            c.MaxX = std::max(c.MaxX, p.X);
            c.MaxY = std::max(c.MaxY, p.Y);
            c.MinX = std::min(c.MinX, p.X);
            c.MinY = std::min(c.MinY, p.Y);
        }
        if (nome == "_CORNERS") continue;
        if (n > static_cast<std::size_t>(MaxPontosMapa)) AvisaTruncado(nome, static_cast<long long>(n));
        TipoPelaContagem(r, TipoPoligono);
        RotuloPelasRegras(r);
        CortaTextos(r);
        registros.push_back(std::move(r));
    }
    const std::string saida = NomeMapaSaida(arquivo);
    GravadorMapa g(saida, c);
    for (const RegistroMapa& r : registros)
        g.Grava(r);
    g.Fecha();
    return saida;
}

} // namespace

std::string ImportaBND(const std::string& arquivo) {
    LinhasTexto l(arquivo);
    std::string primeira;
    l.Le(primeira);
    if (primeira.size() >= 17 && primeira.compare(1, 16, "Epi Map Boundary") == 0) return ImportaBNDBinario(arquivo);
    if (primeira != "\"_CORNERS\",2") {
        MensagensAtuais().Mostra("Falta \"_CORNERS\": Use o EpiMap para ler e salvar este arquivo.");
        return {};
    }
    return ImportaBNDTexto(l);
}

} // namespace dorvan

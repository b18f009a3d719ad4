#include "maps/FluxoMapa.h"

#include "data/Index.h"
#include "data/UConvert.h"
#include "platform/Arquivos.h"
#include "platform/Erros.h"
#include "platform/Mensagens.h"
#include "platform/Numeros.h"
#include "platform/Texto1252.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <filesystem>

namespace dorvan {

namespace {

namespace fs = std::filesystem;

// "%w.dN": grouped fixed-point, right-aligned in w characters.
std::string FormatoN(double v, std::int32_t largura, std::int32_t decimais) {
    std::string s = DeQString(NumeroUsuario(v, std::clamp(decimais, 0, 15)));
    if (static_cast<std::int32_t>(s.size()) < largura) s.insert(0, static_cast<std::size_t>(largura) - s.size(), ' ');
    return s;
}

std::string ADireita(const std::string& s, std::int32_t largura) {
    if (static_cast<std::int32_t>(s.size()) >= largura) return s;
    return std::string(static_cast<std::size_t>(largura) - s.size(), ' ') + s;
}

} // namespace

// ---- geodesics --------------------------------------------------------------------------

bool TBearing::Inverse(const Ponto& ponto1, const Ponto& ponto2) {
    using std::atan, std::atan2, std::cos, std::sin, std::sqrt, std::tan, std::fabs;
    const long double f = Achatamento;
    const long double phi1 = ponto1.first * GrausParaRadianos, phi2 = ponto2.first * GrausParaRadianos;
    const long double L = (ponto2.second - ponto1.second) * GrausParaRadianos;
    U1 = atan((1 - f) * tan(phi1));
    U2 = atan((1 - f) * tan(phi2));
    SinU1 = sin(U1) + Deslocamento;
    CosU1 = cos(U1) + Deslocamento;
    SinU2 = sin(U2);
    CosU2 = cos(U2);
    Lambda = L;
    Iteracoes = 0;
    do {
        ++Iteracoes;
        LambdaAnterior = Lambda;
        const long double a = CosU2 * sin(Lambda);
        const long double b = CosU1 * SinU2 - SinU1 * CosU2 * cos(Lambda);
        SinSigma = sqrt(a * a + b * b);
        CosSigma = SinU1 * SinU2 + CosU1 * CosU2 * cos(Lambda);
        Sigma = atan2(SinSigma, CosSigma);
        SinAlfa = CosU1 * CosU2 * sin(Lambda) / SinSigma;
        Cos2Alfa = 1 - SinAlfa * SinAlfa;
        Cos2SigmaM = fabs(Cos2Alfa) > MinCos2Alfa ? CosSigma - 2 * SinU1 * SinU2 / Cos2Alfa : 0;
        C = f / 16 * Cos2Alfa * (4 + f * (4 - 3 * Cos2Alfa));
        Lambda = L + (1 - C) * f * SinAlfa *
                         (Sigma + C * SinSigma * (Cos2SigmaM + C * CosSigma * (2 * Cos2SigmaM * Cos2SigmaM - 1)));
        if (!std::isfinite(Lambda)) return false;
    } while (Iteracoes < MaxIteracoes && fabs(Lambda - LambdaAnterior) > Tolerancia);
    Cos2SigmaM2 = Cos2SigmaM * Cos2SigmaM;
    U2Quadrado = Cos2Alfa * Excentricidade2;
    A = 1 + U2Quadrado / 16384 * (4096 + U2Quadrado * (-768 + U2Quadrado * (320 - 175 * U2Quadrado)));
    B = U2Quadrado / 1024 * (256 + U2Quadrado * (-128 + U2Quadrado * (74 - 47 * U2Quadrado)));
    DeltaSigma = B * SinSigma *
                 (Cos2SigmaM + B / 4 *
                                   (CosSigma * (2 * Cos2SigmaM2 - 1) -
                                    B / 6 * Cos2SigmaM * (4 * SinSigma * SinSigma - 3) * (4 * Cos2SigmaM2 - 3)));
    const long double d = SemiEixoMenor * A * (Sigma - DeltaSigma);
    if (!std::isfinite(d)) return false;
    Distancia = d;
    return true;
}

double DistanciaGeodesica(double lon1, double lat1, double lon2, double lat2) {
    constexpr double pi = 3.141592654;
    const double r = pi / 180;
    lon1 *= r, lat1 *= r, lon2 *= r, lat2 *= r;
    const double s1 = std::sin((lat1 - lat2) / 2), s2 = std::sin((lon1 - lon2) / 2);
    const double h = s1 * s1 + std::cos(lat2) * std::cos(lat1) * s2 * s2;
    return 2 * std::asin(std::min(std::sqrt(h), 1.0)) * 180 / pi;
}

// ---- flow table -------------------------------------------------------------------------------

std::vector<CampoDBF> CamposFluxo(const TabelaResultados& t) {
    const auto largura = static_cast<std::uint8_t>(std::clamp(t.Coluna(0).Largura, 1, 254));
    return {
        {"DE", 'C', largura, 0, 0}, {"PARA", 'C', largura, 0, 0}, {"FLUXO", 'N', 10, 0, 0},
        {"X1", 'N', 12, 6, 0},      {"Y1", 'N', 12, 6, 0},        {"X2", 'N', 12, 6, 0},
        {"Y2", 'N', 12, 6, 0},      {"DISTANCIA", 'N', 10, 0, 0}, {"TIPO", 'N', 1, 0, 0},
        {"TOT1", 'N', 10, 0, 0},    {"TOT2", 'N', 10, 0, 0},
    };
}

std::int64_t GravaTabelaFluxo(const TabelaResultados& t, const std::string& nomeMapa, const std::string& arquivo) {
    const Mapa mapa = LeMapa(nomeMapa);
    const bool geografico = MapaGeografico(mapa.Cabecalho);
    TIndice codigos;
    CriaIndice(codigos, MaxRegistrosFluxo);
    std::vector<PontoMapa> rotulos(1);
    for (const RegistroMapa& r : mapa.Registros) {
        if (rotulos.size() > static_cast<std::size_t>(MaxRegistrosFluxo)) break;
        rotulos.push_back({r.RotuloX, r.RotuloY});
        InsereIndice(codigos, r.Codigo, static_cast<std::int32_t>(rotulos.size() - 1));
    }
    auto ponto = [&](const std::string& rotulo) -> const PontoMapa* {
        const std::string chave = t.TamCodigo >= 0
                                      ? rotulo.substr(0, std::min(rotulo.size(), static_cast<std::size_t>(t.TamCodigo)))
                                      : rotulo;
        std::int32_t posicao = 0, valor = 0;
        if (!BuscaIndice(codigos, chave, posicao, valor) || valor < 1) return nullptr;
        return &rotulos[static_cast<std::size_t>(valor)];
    };

    dbfRecord dbf;
    CreateDBF(dbf, arquivo, CamposFluxo(t), 0);
    std::vector<char> buffer(dbf.TamRegistro);
    const std::int32_t colunas = t.NumColunas();
    // Each destination column's point, looked up once for all rows.
    std::vector<const PontoMapa*> destinos(static_cast<std::size_t>(std::max(colunas, 1)), nullptr);
    for (std::int32_t c = 1; c < colunas; ++c)
        destinos[static_cast<std::size_t>(c)] = ponto(t.NomeColuna(c));
    std::int64_t gravados = 0;
    for (std::int32_t r = 1; r <= t.NumLinhas; ++r) {
        const std::string& origem = t.Rotulo(r);
        double dominante = 0;
        for (std::int32_t c = 1; c < colunas; ++c)
            if (t.NomeColuna(c) != origem && t.Dado(c, r) > dominante) dominante = t.Dado(c, r);
        const PontoMapa* p1 = ponto(origem);
        for (std::int32_t c = 1; c < colunas; ++c) {
            const double valor = t.Dado(c, r);
            if (valor == 0) continue;
            std::fill(buffer.begin(), buffer.end(), ' ');
            char* b = buffer.data();
            const std::string& destino = t.NomeColuna(c);
            PutFieldDBF(dbf, 1, origem, b);
            PutFieldDBF(dbf, 2, destino, b);
            PutFieldDBF(dbf, 3, NumeroCurto(valor), b);
            const PontoMapa* p2 = destinos[static_cast<std::size_t>(c)];
            PutFieldDBF(dbf, 4, p1 ? NumeroMaquina(p1->X, 6) : "0", b);
            PutFieldDBF(dbf, 5, p1 ? NumeroMaquina(p1->Y, 6) : "0", b);
            PutFieldDBF(dbf, 6, p2 ? NumeroMaquina(p2->X, 6) : "0", b);
            PutFieldDBF(dbf, 7, p2 ? NumeroMaquina(p2->Y, 6) : "0", b);
            // Without both ends there is no distance to tell.
            double distancia = 0;
            if (p1 && p2) {
                const double x1 = p1->X, y1 = p1->Y, x2 = p2->X, y2 = p2->Y;
                distancia = geografico ? DistanciaGeodesica(x2, y2, x1, y1) * MetrosPorGrau
                                       : std::sqrt((x1 - x2) * (x1 - x2) + (y1 - y2) * (y1 - y2));
            }
            PutFieldDBF(dbf, 8, NumeroMaquina(std::trunc(distancia), 0), b);
            const char* tipo = destino == origem ? "0" : valor == dominante ? "1" : "2";
            PutFieldDBF(dbf, 9, tipo, b);
            PutFieldDBF(dbf, 10, NumeroCurto(colunas >= 1 ? t.Dado(colunas, r) : 0), b);
            PutFieldDBF(dbf, 11, NumeroCurto(t.Coluna(c).Total), b);
            AppendDBF(dbf, b);
            ++gravados;
        }
    }
    CloseDBF(dbf);
    LiberaIndice(codigos);
    return gravados;
}

// ---- arrows' filter ------------------------------------------------------------------------

bool SetaPassa(const ConfiguracaoSetas& c, std::int64_t tipo, std::int64_t fluxo, std::int64_t distancia,
               std::int64_t tot1) {
    if (c.Dominante && tipo != 1) return false;
    if (distancia < c.DistanciaMinima || fluxo < c.FluxoMinimo) return false;
    const double percentual = tot1 != 0 ? static_cast<double>(fluxo) * 100.0 / static_cast<double>(tot1) : 0.0;
    return percentual >= static_cast<double>(c.PercentualMinimo);
}

PreviaSetas ContaSetas(const std::string& arquivo, const ConfiguracaoSetas& c) {
    PreviaSetas p;
    dbfRecord dbf;
    OpenDBF(dbf, arquivo, true);
    if (dbf.Estado == 0) return p;
    const int fTipo = FieldDBF(dbf, "TIPO"), fFluxo = FieldDBF(dbf, "FLUXO"), fDist = FieldDBF(dbf, "DISTANCIA"),
              fTot1 = FieldDBF(dbf, "TOT1");
    if (fTipo == 0 || fFluxo == 0 || fDist == 0 || fTot1 == 0) {
        CloseDBF(dbf);
        MensagensAtuais().Mostra(arquivo + " n\xE3o cont\xE9m os campos Tipo, Fluxo, Distancia ou Tot1");
        return p;
    }
    p.CamposOk = true;
    for (std::int64_t n = 1; n <= dbf.NumRegs; ++n) {
        readDBF(dbf, n);
        auto inteiro = [&](int campo) -> std::int64_t {
            std::string_view v = VistaCampoDBF(dbf, campo);
            while (!v.empty() && v.front() == ' ')
                v.remove_prefix(1);
            while (!v.empty() && v.back() == ' ')
                v.remove_suffix(1);
            std::int64_t x = 0;
            const char* inicio = v.data();
            if (!v.empty() && v.front() == '+') ++inicio;
            const auto [fim, erro] = std::from_chars(inicio, v.data() + v.size(), x);
            if (v.empty() || erro != std::errc() || fim != v.data() + v.size())
                throw ErroES(arquivo, "'" + std::string(v) + "' n\xE3o \xE9 um valor inteiro v\xE1lido (registro " +
                                          std::to_string(n) + ", campo " + dbf.Campo(campo).Nome + ")");
            return x;
        };
        const std::int64_t tipo = inteiro(fTipo), fluxo = inteiro(fFluxo), distancia = inteiro(fDist),
                           tot1 = inteiro(fTot1);
        if (!SetaPassa(c, tipo, fluxo, distancia, tot1)) continue;
        ++p.NumSetas;
        p.FluxoTotal += fluxo;
        p.MaiorFluxo = std::max(p.MaiorFluxo, fluxo);
    }
    CloseDBF(dbf);
    return p;
}

// ---- distance and selection columns ---------------------------------------------------------

bool ColunaDistancias(TabelaResultados& t, const std::string& nomeMapa, double x, double y) {
    const Mapa mapa = LeMapa(nomeMapa);
    if (!AcrescentaColuna(t, TituloDistancias, 0)) return false;
    const std::int32_t coluna = t.NumColunas();
    t.Coluna(coluna).Largura = 10;
    t.Coluna(coluna).TipoTotal = TipoTotal::SemTotal;
    const bool geografico = MapaGeografico(mapa.Cabecalho);
    TBearing geodesica;
    for (const RegistroMapa& r : mapa.Registros) {
        const std::int32_t linha = LinhaDoRegistro(t.IndiceLinhas, r);
        if (linha < 1 || linha > t.NumLinhas) continue;
        double d = 0;
        if (geografico) {
            // A failed computation leaves 0 rather than the previous area's distance.
            if (geodesica.Inverse({y, x}, {r.RotuloY, r.RotuloX})) d = static_cast<double>(geodesica.Distancia);
        } else {
            d = std::sqrt((x - r.RotuloX) * (x - r.RotuloX) + (y - r.RotuloY) * (y - r.RotuloY));
        }
        t.Dado(coluna, linha) = d;
    }
    t.Modificada = true;
    return true;
}

std::int32_t ColunaDeSelecao(TabelaResultados& t) {
    for (std::int32_t c = 1; c <= t.NumColunas(); ++c)
        if (MaiusculasAscii(t.NomeColuna(c)) == "SELECIONADA") return c;
    if (!AcrescentaColuna(t, "Selecionada", 0)) return 0;
    t.Coluna(t.NumColunas()).Largura = 6;
    return t.NumColunas();
}

// ---- class summary and the 3D tool ------------------------------------------------------------

std::vector<std::string> ResumoClasses(const TabelaResultados& t) {
    std::vector<std::string> linhas;
    const std::int32_t cm = t.ColunaMapa;
    const bool valida = cm >= 1 && cm <= t.NumColunas();
    linhas.push_back(("Classes de " + (valida ? t.NomeColuna(cm) : std::string())).substr(0, 71));
    linhas.emplace_back();
    std::vector<std::int32_t> somadas;
    std::string cabecalho = "N\xBA  Limite Superior Freq";
    for (std::int32_t c = 1; c <= t.NumColunas(); ++c) {
        if (t.Coluna(c).TipoTotal != TipoTotal::Soma) continue;
        somadas.push_back(c);
        cabecalho += ADireita(t.NomeColuna(c), t.Coluna(c).Largura);
    }
    linhas.push_back(cabecalho);
    if (!valida) return linhas;
    const std::int32_t decimais = t.Coluna(cm).Decimais;
    const std::int32_t classes = std::clamp(t.NumClasses, 0, MaxClasses);
    for (std::int32_t k = 1; k <= classes; ++k) {
        const double baixo = t.Classe[static_cast<std::size_t>(k - 1)], alto = t.Classe[static_cast<std::size_t>(k)];
        std::int64_t freq = 0;
        std::vector<double> somas(somadas.size(), 0.0);
        for (std::int32_t r = 1; r <= t.NumLinhas; ++r) {
            const double v = t.Dado(cm, r);
            if (!(baixo < v && v <= alto)) continue;
            ++freq;
            for (std::size_t i = 0; i < somadas.size(); ++i)
                somas[i] += t.Dado(somadas[i], r);
        }
        char k2[16], f5[32];
        std::snprintf(k2, sizeof k2, "%2d", k);
        std::snprintf(f5, sizeof f5, "%5lld", static_cast<long long>(freq));
        std::string linha = std::string(k2) + FormatoN(alto, 17, decimais) + f5;
        for (std::size_t i = 0; i < somadas.size(); ++i)
            linha += FormatoN(somas[i], t.Coluna(somadas[i]).Largura, t.Coluna(somadas[i]).Decimais);
        linhas.push_back(linha);
    }
    return linhas;
}

std::string Programa3D(const std::string& dirPrograma) {
    std::error_code ec;
    for (const char* nome : {"Zintorel.exe", "Zintorel"}) {
        const std::string p = dirPrograma + nome;
        if (fs::is_regular_file(p, ec)) return p;
    }
    return {};
}

std::vector<std::string> Argumentos3D() { return {std::string("-f=") + ArquivoTabela3D}; }

} // namespace dorvan

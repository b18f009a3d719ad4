#include "maps/Camadas.h"

#include "data/LeDBF32.h"
#include "platform/Arquivos.h"
#include "platform/Erros.h"
#include "data/LeXML.h"
#include "data/UConvert.h"
#include "maps/MapaTabela.h"
#include "platform/Numeros.h"
#include "platform/Texto.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <numbers>
#include <utility>

namespace dorvan {

const std::array<std::uint32_t, 16> CoresCamada = {
    // the grid row by row, stored as 0x00BBGGRR (grey appears twice)
    0xFFFF00, 0xFF0000, 0x808080, 0xFF00FF, //
    0x808080, 0x008000, 0x00FF00, 0xFFFFFF, //
    0x000080, 0x800000, 0x000000, 0x800080, //
    0x0000FF, 0xC0C0C0, 0x808000, 0x00FFFF,
};

namespace {

std::int32_t Arredonda(double v) {
    if (std::isnan(v)) return 0;
    return static_cast<std::int32_t>(std::lround(std::clamp(v, -1.0e9, 1.0e9)));
}

// A name of at least three letters that begins `palavra` ("LAT" .. "LATITUDE").
bool Abreviacao(const std::string& nome, std::string_view palavra) {
    return nome.size() >= 3 && nome.size() <= palavra.size() && palavra.substr(0, nome.size()) == nome;
}

// The style of a point of a DBF or GPX layer.
void EstiloPonto(PrimitivaMapa& f, const CamadaDoMapa& c, std::int32_t raio) {
    f.Figura = FiguraMapa::Circulo;
    f.Raio = raio;
    f.Preenchimento = c.CorCamada;
    if (c.Transparente) {
        f.ComPreenchimento = false;
        f.Caneta = c.CorCamada;
    } else {
        f.ComPreenchimento = true;
        // A large point gets a white ring so neighbours of the same colour stay apart.
        f.Caneta = raio < 4 ? c.CorCamada : CorBranca;
    }
}

} // namespace

void AbreCamadaDBF(dbfRecord& h, const std::string& nome) {
    const std::string achado = ResolveNome(nome);
    if (achado.empty()) throw ErroES::DoSistema(nome, ENOENT);
    OpenDBF(h, achado, true);
}

DBFAberto::~DBFAberto() {
    if (h.Estado != 0) {
        try {
            CloseDBF(h);
        } catch (...) {
        }
    }
}

TipoCamada TipoDaCamada(const std::string& arquivo) {
    const std::size_t ponto = arquivo.find_last_of('.');
    const std::size_t barra = arquivo.find_last_of('/');
    if (ponto == std::string::npos || (barra != std::string::npos && ponto < barra)) return TipoCamada::Outro;
    const std::string ext = MaiusculasAscii(arquivo.substr(ponto));
    if (ext == ".MAP") return TipoCamada::Mapa;
    if (ext == ".DBF") return TipoCamada::DBF;
    if (ext == ".GPX") return TipoCamada::GPX;
    return TipoCamada::Outro;
}

std::string RotuloCamada(std::int32_t k, const std::string& arquivo) {
    const std::size_t barra = arquivo.find_last_of('/');
    return "&" + std::to_string(k) + " " + (barra == std::string::npos ? arquivo : arquivo.substr(barra + 1));
}

bool CamadasDoMapa::Adiciona(CamadaDoMapa c) {
    if (NumCamadas() >= MaxCamadas) return false;
    if (c.ArquivoCamada.size() > MaxArquivoCamada) c.ArquivoCamada.resize(MaxArquivoCamada);
    c.LarguraCamada = std::clamp(c.LarguraCamada, 1, 99);
    c.Ativa = true;
    lista_.push_back(std::move(c));
    return true;
}

void CamadasDoMapa::Remove(std::int32_t k) {
    if (k < 1 || k > NumCamadas()) return;
    lista_.erase(lista_.begin() + (k - 1));
}

std::string InformacaoDoPonto(const std::string& arquivo, std::int64_t registro, bool dbfComCP850) {
    DBFAberto d;
    AbreCamadaDBF(d.h, arquivo);
    if (d.h.Estado == 0 || registro < 1 || registro > d.h.NumRegs) return {};
    readDBF(d.h, registro);
    const bool cp850 = TextoEmCP850(d.h, dbfComCP850);
    const std::size_t barra = arquivo.find_last_of('/');
    std::string s = (barra == std::string::npos ? arquivo : arquivo.substr(barra + 1)) + "\n======";
    for (int i = 1; i <= std::min(15, d.h.NumCampos); ++i) {
        std::string nome = TiraBrancos(d.h.Campo(i).Nome);
        for (char& c : nome)
            if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        std::string valor = TiraBrancos(VistaCampoDBF(d.h, i));
        if (cp850) valor = OemParaAnsi(valor);
        s += "\n" + nome + ": " + valor;
    }
    return s;
}

std::optional<double> NumeroDaCamada(std::string_view campo) {
    std::string s;
    for (char c : campo)
        if (c != ' ') s += c;
    if (auto v = LeNumeroMaquina(s)) return v;
    std::replace(s.begin(), s.end(), ',', '.');
    return LeNumeroMaquina(s);
}

void DesenhaCamadaMapa(const VistaMapa& v, const CamadaDoMapa& c, const JanelaMapa* janela,
                       const DestinoDesenho& destino) {
    LeitorMapa leitor(c.ArquivoCamada);
    const TransformaPonto naTela = [&v](double x, double y) { return GeoParaTela(v, x, y); };
    RegistroMapa r;
    PrimitivaMapa f;
    f.Caneta = c.CorCamada;
    f.Preenchimento = c.CorCamada;
    f.ComPreenchimento = !c.Transparente;
    f.LarguraCaneta = c.LarguraCamada;
    while (leitor.Proximo(r)) {
        if (r.Tipo > TipoPonto || r.Pontos.empty()) continue;
        if (v.EmZoom && janela && !RegistroNaJanela(r, janela->MinX, janela->MinY, janela->MaxX, janela->MaxY))
            continue;
        DesenhaForma(r, f, c.LarguraCamada, naTela, destino, destino);
        if (c.ComLegenda && !r.Nome.empty()) {
            PrimitivaMapa t = TextoMapa(r.Nome, GeoParaTela(v, r.RotuloX, r.RotuloY), 0, AlinhaTexto::Acima);
            if (r.Tipo == TipoPoligono) t.Alinhamento = AlinhaTexto::Centro;
            destino(t);
        }
    }
}

void DesenhaCamadaDBF(const VistaMapa& v, const CamadaDoMapa& c, std::int32_t k, bool dbfComCP850,
                      const DestinoDesenho& destino, const AvisoCamada& aviso) {
    DBFAberto d;
    AbreCamadaDBF(d.h, c.ArquivoCamada);
    if (d.h.Estado == 0) return; // OpenDBF has said why
    int lat = 0, lon = 0, raio = 0, nome = 0;
    for (int i = 1; i <= d.h.NumCampos; ++i) {
        const std::string n = MaiusculasAscii(TiraBrancos(d.h.Campo(i).Nome));
        if (n == "Y" || Abreviacao(n, "LATITUDE")) lat = i;
        if (n == "X" || Abreviacao(n, "LONGITUDE")) lon = i;
        if (n == "RAIO") raio = i;
        if (n == "NOME") nome = i;
    }
    if (lat == 0 || lon == 0) {
        if (aviso) aviso(c.ArquivoCamada + SemLatLon);
        return;
    }
    const bool cp850 = TextoEmCP850(d.h, dbfComCP850);
    PrimitivaMapa f;
    for (std::int64_t n = 1; n <= d.h.NumRegs; ++n) {
        readDBF(d.h, n);
        const double y = NumeroDaCamada(VistaCampoDBF(d.h, lat)).value_or(0);
        const double x = NumeroDaCamada(VistaCampoDBF(d.h, lon)).value_or(0);
        std::int32_t r = c.LarguraCamada;
        if (raio > 0) r = std::clamp(Arredonda(LePrefixoNumerico(TiraBrancos(VistaCampoDBF(d.h, raio)))), 0, 100000);
        const PontoTela p = GeoParaTela(v, x, y);
        EstiloPonto(f, c, r);
        f.Pontos.assign(1, p);
        f.Identificacao = static_cast<std::int64_t>(k) * PassoIdentificacaoCamada + n;
        destino(f);
        if (c.ComLegenda && nome > 0) {
            std::string s = TiraBrancos(VistaCampoDBF(d.h, nome));
            if (cp850) s = OemParaAnsi(s);
            destino(TextoMapa(std::move(s), p, 0, AlinhaTexto::Acima));
        }
    }
}

std::vector<PontoGPX> LeCamadaGPX(const std::string& texto) {
    std::vector<PontoGPX> pontos;
    std::size_t pos = 0;
    for (;;) {
        const std::size_t inicio = texto.find("<wpt", pos);
        const std::size_t fim = texto.find("</wpt>", pos);
        if (inicio == std::string::npos || fim == std::string::npos) break;
        // An end tag before the start tag: go past it and look again.
        std::string elemento = fim > inicio ? texto.substr(inicio + 4, fim - inicio - 4) : std::string();
        pos = fim + 6;
        if (elemento.empty()) continue;
        PontoGPX p;
        std::vector<std::string> atributos;
        LeAtributos(elemento, atributos);
        p.Nome = TextoDaTag("name", elemento);
        for (const std::string& a : atributos) {
            const std::size_t igual = a.find('=');
            if (igual == std::string::npos) continue;
            const std::string nome = a.substr(0, igual);
            const double valor = NumeroDaCamada(a.substr(igual + 1)).value_or(0);
            if (nome == "lat") p.Lat = valor;
            if (nome == "lon") p.Lon = valor;
        }
        pontos.push_back(std::move(p));
    }
    return pontos;
}

void DesenhaCamadaGPX(const VistaMapa& v, const CamadaDoMapa& c, const DestinoDesenho& destino) {
    if (!c.PontosGPX)
        c.PontosGPX = std::make_shared<const std::vector<PontoGPX>>(LeCamadaGPX(LeArquivoTexto(c.ArquivoCamada)));
    PrimitivaMapa f;
    for (const PontoGPX& g : *c.PontosGPX) {
        const PontoTela p = GeoParaTela(v, g.Lon, g.Lat);
        EstiloPonto(f, c, c.LarguraCamada);
        f.Pontos.assign(1, p);
        destino(f);
        if (c.ComLegenda) destino(TextoMapa(g.Nome, p, 0, AlinhaTexto::Acima));
    }
}

void DesenhaCamadas(const VistaMapa& v, const CamadasDoMapa& camadas, const JanelaMapa* janela, bool dbfComCP850,
                    const DestinoDesenho& destino, const AvisoCamada& aviso) {
    for (std::int32_t k = 1; k <= camadas.NumCamadas(); ++k) {
        const CamadaDoMapa& c = camadas.Camada(k);
        if (!c.Ativa) continue;
        try {
            switch (TipoDaCamada(c.ArquivoCamada)) {
            case TipoCamada::Mapa:
                DesenhaCamadaMapa(v, c, janela, destino);
                break;
            case TipoCamada::DBF:
                DesenhaCamadaDBF(v, c, k, dbfComCP850, destino, aviso);
                break;
            case TipoCamada::GPX:
                DesenhaCamadaGPX(v, c, destino);
                break;
            case TipoCamada::Outro:
                break;
            }
        } catch (const std::exception& e) {
            if (aviso) aviso(e.what());
        }
    }
}

std::int32_t RaioCirculo(double v, double maior, std::int32_t raioMaximo) {
    if (!(std::abs(v) > 0)) return 0;
    const double m = std::sqrt(std::abs(maior));
    if (!(m > 0)) return 3;
    return std::max(3, Arredonda(std::sqrt(std::abs(v)) * raioMaximo / m));
}

void DesenhaCirculos(const TabelaResultados& t, const std::string& nomeMapa, std::int32_t coluna, std::uint32_t cor,
                     std::int32_t raioMaximo, const VistaMapa& v, const DestinoDesenho& destino) {
    if (coluna < 1 || coluna > t.NumColunas() || t.NumLinhas <= 0) return;
    std::vector<std::pair<float, float>> rotulo(static_cast<std::size_t>(t.NumLinhas) + 1, {0.0f, 0.0f});
    {
        LeitorMapa leitor(nomeMapa);
        RegistroMapa r;
        while (leitor.Proximo(r)) {
            const std::int32_t linha = LinhaDoRegistro(t.IndiceLinhas, r);
            if (linha >= 1 && linha <= t.NumLinhas) rotulo[static_cast<std::size_t>(linha)] = {r.RotuloX, r.RotuloY};
        }
    }
    double maior = -1e10;
    std::vector<std::int32_t> linhas;
    for (std::int32_t i = 1; i <= t.NumLinhas; ++i) {
        maior = std::max(maior, t.Dado(coluna, i));
        linhas.push_back(i);
    }
    // Largest first, so the small circles stay on top.
    std::stable_sort(linhas.begin(), linhas.end(),
                     [&](std::int32_t a, std::int32_t b) { return t.Dado(coluna, a) > t.Dado(coluna, b); });
    PrimitivaMapa f;
    f.Figura = FiguraMapa::Circulo;
    f.Preenchimento = cor;
    f.Caneta = CorBranca;
    for (std::int32_t i : linhas) {
        const auto [x, y] = rotulo[static_cast<std::size_t>(i)];
        if (x == 0 && y == 0) continue;
        f.Raio = RaioCirculo(t.Dado(coluna, i), maior, raioMaximo);
        f.Pontos.assign(1, GeoParaTela(v, x, y));
        destino(f);
    }
}

void DesenhaSetas(const VistaMapa& v, const ConfiguracaoSetas& o, std::int32_t indCor, const DestinoDesenho& destino,
                  const AvisoCamada& aviso) {
    if (!o.MostraSetas) return;
    DBFAberto d;
    AbreCamadaDBF(d.h, o.ArquivoFluxo);
    if (d.h.Estado == 0) return; // OpenDBF has said why
    const char* nomes[] = {"X1", "Y1", "X2", "Y2", "TIPO", "FLUXO", "TOT1", "TOT2", "DISTANCIA"};
    int campo[9] = {};
    for (int i = 1; i <= d.h.NumCampos; ++i) {
        const std::string n = MaiusculasAscii(TiraBrancos(d.h.Campo(i).Nome));
        for (int j = 0; j < 9; ++j)
            if (n == nomes[j]) campo[j] = i;
    }
    if (!campo[0] || !campo[1] || !campo[2] || !campo[3]) {
        if (aviso) aviso(o.ArquivoFluxo + SemCamposFluxo);
        return;
    }
    struct Local {
        double X2, Y2, Fluxo, Tot2;
    };
    std::vector<Local> locais;
    double maiorTot2 = 0;
    PrimitivaMapa f;
    f.Figura = FiguraMapa::Linha;
    f.Caneta = o.Cor;
    f.ComPreenchimento = false;
    for (std::int64_t i = 0; i < d.h.NumRegs; ++i) {
        readDBF(d.h, i + 1);
        double val[9] = {};
        for (int j = 0; j < 9; ++j)
            if (campo[j]) val[j] = NumeroDaCamada(VistaCampoDBF(d.h, campo[j])).value_or(0);
        const double tipo = val[4], fluxo = val[5], tot1 = val[6], tot2 = val[7], dist = val[8];
        maiorTot2 = std::max(maiorTot2, tot2);
        if (tipo == 0) locais.push_back({val[2], val[3], fluxo, tot2});
        f.LarguraCaneta = o.DivisorLargura < 1 ? 1 : std::max(1, Arredonda((fluxo - o.FluxoMinimo) / o.DivisorLargura));
        // A zero total cannot pass a percentage filter rather than divide by zero.
        const bool percentual = tot1 != 0 ? fluxo * 100 / tot1 >= o.PercentualMinimo : o.PercentualMinimo <= 0;
        if ((tipo == 1 || !o.Dominante) && dist >= o.DistanciaMinima && fluxo >= o.FluxoMinimo && percentual) {
            f.Pontos = {GeoParaTela(v, val[0], val[1]), GeoParaTela(v, val[2], val[3])};
            f.Identificacao = BaseIdentificacaoFluxo + i;
            destino(f);
        }
    }
    if (!o.Setor || !(maiorTot2 > 0)) return;
    std::stable_sort(locais.begin(), locais.end(), [](const Local& a, const Local& b) { return a.Tot2 > b.Tot2; });
    for (const Local& l : locais) {
        if (!(l.Tot2 > 0)) continue;
        const std::int32_t h = std::max(7, Arredonda(std::sqrt(l.Tot2) * 25 / std::sqrt(maiorTot2)));
        const PontoTela c = GeoParaTela(v, l.X2, l.Y2);
        PrimitivaMapa disco;
        disco.Figura = FiguraMapa::Circulo;
        disco.Raio = h;
        disco.Pontos.assign(1, c);
        disco.Preenchimento = CorBranca;
        disco.Caneta = indCor > 14 ? 0x808080u : 0x00FF0000u; // grey or blue
        destino(disco);
        const double a = (l.Tot2 - l.Fluxo) / l.Tot2 * 2 * std::numbers::pi;
        if (!(a > 0)) continue;
        if (a <= std::numbers::pi / 2 && std::trunc(std::sin(a) * h) == 0) continue;
        // Counter-clockwise from the 3 o'clock radius (screen y grows downwards).
        PrimitivaMapa fatia;
        fatia.Figura = FiguraMapa::Poligono;
        fatia.Preenchimento = o.Cor;
        fatia.Caneta = disco.Caneta;
        fatia.Pontos.push_back(c);
        const int passos = std::max(2, static_cast<int>(a / (2 * std::numbers::pi) * 64));
        for (int s = 0; s <= passos; ++s) {
            const double t = a * s / passos;
            fatia.Pontos.push_back({c.X + Arredonda(std::cos(t) * h), c.Y - Arredonda(std::sin(t) * h)});
        }
        destino(fatia);
    }
}

} // namespace dorvan

#include "maps/ImpressaoMapa.h"

#include "data/LeDBF32.h"
#include "platform/Arquivos.h"
#include "platform/Erros.h"
#include "maps/MapaTabela.h"
#include "platform/Numeros.h"
#include "platform/Texto.h"

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <cmath>

namespace dorvan {

namespace {

std::int32_t Trunca(double v) {
    if (std::isnan(v)) return 0;
    return static_cast<std::int32_t>(std::clamp(v, -2.0e9, 2.0e9));
}

// The screen transform of the page: GeoParaTela puts x at +20, the page at +2M.
VistaMapa VistaDoPapel(const TransformacaoPapel& p) {
    VistaMapa v;
    v.EscalaMapa = static_cast<float>(p.Escala);
    v.LadoMapa = p.Lado;
    v.TopoMapa = 2 * p.Margem;
    v.MinX = static_cast<float>(p.MinX);
    v.MaxY = static_cast<float>(p.MaxY);
    return v;
}

constexpr std::int32_t TamanhoFontePapel = 10; // points: names of .MAP and GPX layers on paper

// Marks and the legend are laid out in pixels of a 300 dpi printer; other devices
// get the same physical size.
class PixelsPapel {
public:
    explicit PixelsPapel(std::int32_t resolucao) : fator_(resolucao > 0 ? resolucao / 300.0 : 1.0) {}
    std::int32_t operator()(std::int32_t pixels300) const {
        return static_cast<std::int32_t>(std::lround(pixels300 * fator_));
    }

private:
    double fator_;
};

} // namespace

TransformacaoPapel TransformacaoDoPapel(double minX, double minY, double maxX, double maxY, std::int32_t alturaPagina) {
    TransformacaoPapel p;
    const double rangeX = maxX - minX, rangeY = maxY - minY;
    p.Escala = rangeX > rangeY ? rangeX : rangeY;
    p.Lado = alturaPagina * 7 / 10;
    p.Margem = alturaPagina / 10;
    p.MinX = minX;
    p.MaxY = maxY;
    return p;
}

PontoTela GeoParaPapel(const TransformacaoPapel& p, double x, double y) {
    if (p.Escala == 0) return {2 * p.Margem, 2 * p.Margem};
    return {Trunca((x - p.MinX) / p.Escala * p.Lado + 2 * p.Margem),
            Trunca((p.MaxY - y) / p.Escala * p.Lado + 2 * p.Margem)};
}

void ImprimeCamadaDBF(const VistaMapa& v, std::int32_t deslocaX, const CamadaDoMapa& c, const DestinoDesenho& destino,
                      const AvisoCamada& aviso) {
    DBFAberto d;
    AbreCamadaDBF(d.h, c.ArquivoCamada);
    if (d.h.Estado == 0) return; // OpenDBF has said why
    int lat = 0, lon = 0, raio = 0;
    for (int i = 1; i <= d.h.NumCampos; ++i) {
        const std::string n = MaiusculasAscii(TiraBrancos(d.h.Campo(i).Nome));
        if (n == "LATITUDE") lat = i;
        if (n == "LONGITUDE") lon = i;
        if (n == "RAIO") raio = i;
    }
    if (lat == 0 || lon == 0) {
        if (aviso) aviso(c.ArquivoCamada + SemLatLon);
        return;
    }
    PrimitivaMapa f;
    f.Figura = FiguraMapa::Circulo;
    f.Caneta = c.CorCamada;
    f.Preenchimento = c.CorCamada;
    f.ComPreenchimento = !c.Transparente;
    for (std::int64_t n = 1; n <= d.h.NumRegs; ++n) {
        readDBF(d.h, n);
        const double y = NumeroDaCamada(VistaCampoDBF(d.h, lat)).value_or(0);
        const double x = NumeroDaCamada(VistaCampoDBF(d.h, lon)).value_or(0);
        std::int32_t r = 3 * c.LarguraCamada;
        if (raio > 0)
            r = std::clamp(
                static_cast<std::int32_t>(std::lround(LePrefixoNumerico(TiraBrancos(VistaCampoDBF(d.h, raio))))), 0,
                100000);
        PontoTela p = GeoParaTela(v, x, y);
        p.X += deslocaX;
        f.Raio = r;
        f.Pontos.assign(1, p);
        destino(f);
    }
}

std::string DesenhaMapaPapel(const TabelaResultados& t, const std::string& nomeMapa, const OpcoesMapa& o,
                             const VistaMapa& vista, const CamadasDoMapa& camadas, const PaginaMapa& pagina,
                             const MedeTexto& mede, const DestinoDesenho& destino, const AvisoCamada& aviso) {
    const PixelsPapel px(pagina.Resolucao);
    // Marks are sized in the pixels of a 300 dpi page; each keeps that size on paper.
    auto papel = [&](PrimitivaMapa f) {
        if (f.Figura == FiguraMapa::Circulo) f.Raio = px(f.Raio);
        destino(f);
    };
    TransformacaoPapel tp;
    {
        LeitorMapa leitor(nomeMapa);
        const CabecalhoMapa& c = leitor.Cabecalho();
        if (c.Versao != VersaoMapa) return ProblemaCabecalhoImpressora(c);
        if (vista.EmZoom)
            tp = TransformacaoDoPapel(vista.JanelaZoom.MinX, vista.JanelaZoom.MinY, vista.JanelaZoom.MaxX,
                                      vista.JanelaZoom.MaxY, pagina.Altura);
        else
            tp = TransformacaoDoPapel(c.MinX, c.MinY, c.MaxX, c.MaxY, pagina.Altura);
        if (tp.Escala == 0) return ProblemaCabecalhoImpressora(CabecalhoMapa{});

        const TransformaPonto noPapel = [&tp](double x, double y) { return GeoParaPapel(tp, x, y); };
        RegistroMapa r;
        PrimitivaMapa f;
        while (leitor.Proximo(r)) {
            if (r.Tipo > TipoPonto || r.Pontos.empty()) continue;
            const std::int32_t linha = LinhaDoRegistro(t.IndiceLinhas, r);
            f.Preenchimento = CorBranca;
            if (linha >= 1 && linha <= t.NumLinhas && t.ColunaMapa >= 1 && t.ColunaMapa <= t.NumColunas())
                f.Preenchimento = CorDaClasse(t, t.Dado(t.ColunaMapa, linha));
            f.Caneta = o.BordasPretas ? CorPreta : f.Preenchimento;
            f.ComPreenchimento = true;
            DesenhaForma(r, f, RaioPontoMapa, noPapel, destino, papel);
        }
    }

    // Layers and labels go through the screen's placement rules on a view whose x
    // lands 20 pixels from the left; the page wants 2M.
    const VistaMapa v = VistaDoPapel(tp);
    const std::int32_t dx = 2 * tp.Margem - 20;
    auto desloca = [dx](PrimitivaMapa& f) {
        for (PontoTela& p : f.Pontos)
            p.X += dx;
        f.Identificacao = SemIdentificacao;
    };
    for (std::int32_t k = 1; k <= camadas.NumCamadas(); ++k) {
        const CamadaDoMapa& c = camadas.Camada(k);
        if (!c.Ativa) continue;
        try {
            switch (TipoDaCamada(c.ArquivoCamada)) {
            case TipoCamada::DBF:
                ImprimeCamadaDBF(v, dx, c, papel, aviso);
                break;
            case TipoCamada::Mapa:
                DesenhaCamadaMapa(v, c, nullptr, [&](const PrimitivaMapa& p) {
                    PrimitivaMapa f = p;
                    desloca(f);
                    f.LarguraCaneta = 1; // paper keeps its pen width
                    if (f.Figura == FiguraMapa::Circulo) f.Raio = RaioPontoMapa;
                    // Screen label sizes are pixels, far too small at a printer's resolution.
                    if (f.Figura == FiguraMapa::Texto) f.TamanhoFonte = TamanhoFontePapel;
                    papel(f);
                });
                break;
            case TipoCamada::GPX:
                DesenhaCamadaGPX(v, c, [&](const PrimitivaMapa& p) {
                    PrimitivaMapa f = p;
                    desloca(f);
                    if (f.Figura == FiguraMapa::Texto) f.TamanhoFonte = TamanhoFontePapel;
                    papel(f);
                });
                break;
            case TipoCamada::Outro:
                break;
            }
        } catch (const std::exception& e) {
            if (aviso) aviso(e.what());
        }
    }

    if (o.MostraLegendas || o.MostraValores || o.MostraSede) {
        EscreveRotulos(t, nomeMapa, o, v, [&](const PrimitivaMapa& p) {
            PrimitivaMapa f = p;
            desloca(f);
            if (f.Figura == FiguraMapa::Texto) {
                f.TamanhoFonte = 8;
                destino(f);
            }
        });
        // Seat marks after the texts, hollow and of one size on paper.
        if (o.MostraSede) {
            LeitorMapa leitor(nomeMapa);
            RegistroMapa r;
            PrimitivaMapa sede;
            sede.Figura = FiguraMapa::Circulo;
            sede.Raio = 4;
            sede.ComPreenchimento = false;
            sede.Caneta = CorPreta;
            while (leitor.Proximo(r)) {
                if (r.Tipo == TipoPoligono) continue;
                PontoTela p = GeoParaTela(v, r.RotuloX, r.RotuloY);
                p.X += dx;
                sede.Pontos.assign(1, p);
                papel(sede);
            }
        }
    }

    const std::int32_t m = tp.Margem;
    destino(TextoMapa(t.Titulo1, {pagina.Largura / 2, m / 2}, 16, AlinhaTexto::Topo));
    if (!t.Titulo2.empty()) destino(TextoMapa(t.Titulo2, {pagina.Largura / 2, m}, 12, AlinhaTexto::Topo));
    if (!t.Rodape.empty()) destino(TextoMapa(t.Rodape, {2 * m, pagina.Altura - m / 2}, 8, AlinhaTexto::Canto));

    const std::vector<std::string> legenda = EscreveLegendaDasClasses(t);
    const std::int32_t n = std::clamp(t.NumClasses, 0, MaxClasses);
    std::int32_t w = 0;
    for (std::size_t k = 0; k < legenda.size() && k <= static_cast<std::size_t>(n); ++k)
        w = std::max(w, mede(legenda[k], 8));
    const std::int32_t x0 = pagina.Largura - m - w - px(120);
    if (!legenda.empty()) destino(TextoMapa(legenda[0], {x0, 2 * m - px(30)}, 8, AlinhaTexto::Canto));
    for (std::int32_t k = 1; k <= n; ++k) {
        const std::int32_t y = px(50 * k) + 2 * m;
        PrimitivaMapa caixa;
        caixa.Figura = FiguraMapa::Retangulo;
        caixa.Pontos = {{x0, y}, {x0 + px(50), y + px(40)}};
        caixa.Preenchimento = t.Cor[static_cast<std::size_t>(k)];
        caixa.Caneta = CorPreta;
        destino(caixa);
        if (static_cast<std::size_t>(k) < legenda.size())
            destino(TextoMapa(legenda[static_cast<std::size_t>(k)], {pagina.Largura - m - w - px(40), y}, 8,
                              AlinhaTexto::Canto));
    }
    return {};
}

LegendaImagem LegendaMetafile(const TabelaResultados& t, const MedeTexto& mede) {
    LegendaImagem l;
    const std::vector<std::string> legenda = EscreveLegendaDasClasses(t);
    const std::int32_t n = std::clamp(t.NumClasses, 0, MaxClasses);
    std::int32_t w = legenda.empty() ? -20 : mede(legenda[0], 0) - 20;
    for (std::int32_t k = 1; k <= n && static_cast<std::size_t>(k) < legenda.size(); ++k)
        w = std::max(w, mede(legenda[static_cast<std::size_t>(k)], 0));
    l.Largura = std::max(1, w + 29);
    l.Altura = 20 * n + 20;
    if (!legenda.empty()) l.Figuras.push_back(TextoMapa(legenda[0], {5, 2}, 0, AlinhaTexto::Canto));
    for (std::int32_t k = 1; k <= n; ++k) {
        PrimitivaMapa caixa;
        caixa.Figura = FiguraMapa::Retangulo;
        caixa.Pontos = {{5, 20 * k}, {20, 20 * k + 15}};
        caixa.Preenchimento = t.Cor[static_cast<std::size_t>(k)];
        caixa.Caneta = CorPreta;
        l.Figuras.push_back(caixa);
        if (static_cast<std::size_t>(k) < legenda.size())
            l.Figuras.push_back(
                TextoMapa(legenda[static_cast<std::size_t>(k)], {25, 20 * k + 2}, 0, AlinhaTexto::Canto));
    }
    return l;
}

std::string DesenhaMetafile(const TabelaResultados& t, const std::string& nomeMapa, const OpcoesMapa& o, VistaMapa& v,
                            std::int32_t largura, std::int32_t altura, const DestinoDesenho& destino,
                            const CamadasMapa& extras) {
    bool fundo = true;
    return DesenhaMapa(
        t, nomeMapa, o, v, largura, altura,
        [&](const PrimitivaMapa& p) {
            // The legend boxes are the only rectangles; the only fill after the
            // background is the whole area of a zoom into one area.
            if (p.Figura == FiguraMapa::Retangulo) return;
            if (p.Figura == FiguraMapa::Preenche && !fundo) return;
            if (p.Figura == FiguraMapa::Preenche) fundo = false;
            PrimitivaMapa f = p;
            f.Identificacao = SemIdentificacao;
            destino(f);
        },
        extras);
}

std::string NomeDaImagem(const std::string& escolhido, const std::string& extensao) {
    return std::filesystem::path(escolhido).replace_extension(extensao).string();
}

std::string NomeLegendaMetafile(const std::string& escolhido, const std::string& extensao) {
    const std::size_t barra = escolhido.find_last_of('/');
    const std::string pasta = barra == std::string::npos ? std::string() : escolhido.substr(0, barra + 1);
    std::string nome = barra == std::string::npos ? escolhido : escolhido.substr(barra + 1);
    const std::size_t ponto = nome.find('.');
    if (ponto != std::string::npos) nome.resize(ponto);
    return pasta + nome + "_esc" + extensao;
}

std::vector<PrimitivaMapa> TextosLegendaBitmap(const TabelaResultados& t, std::int32_t larguraCliente) {
    std::vector<PrimitivaMapa> r;
    const std::vector<std::string> legenda = EscreveLegendaDasClasses(t);
    const std::int32_t n = std::clamp(t.NumClasses, 0, MaxClasses);
    if (!legenda.empty()) r.push_back(TextoMapa(legenda[0], {larguraCliente - 150, 10}, 8, AlinhaTexto::Canto));
    for (std::int32_t k = 1; k <= n && static_cast<std::size_t>(k) < legenda.size(); ++k)
        r.push_back(TextoMapa(legenda[static_cast<std::size_t>(k)], {larguraCliente - 120, 17 * (k - 1) + 27}, 8,
                              AlinhaTexto::Canto));
    return r;
}

} // namespace dorvan

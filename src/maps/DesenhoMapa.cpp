#include "maps/DesenhoMapa.h"

#include "maps/MapaTabela.h"

#include <algorithm>
#include <cmath>

namespace dorvan {

namespace {

// Truncation towards zero that cannot overflow: figures far outside the window
// still land outside it, and a NaN lands at 0.
std::int32_t Trunca(double v) {
    if (std::isnan(v)) return 0;
    return static_cast<std::int32_t>(std::clamp(v, -2.0e9, 2.0e9));
}

bool ColunaMapaValida(const TabelaResultados& t) { return t.ColunaMapa >= 1 && t.ColunaMapa <= t.NumColunas(); }

// The row of a record, or 0; an index left from another table cannot point past it.
std::int32_t LinhaValida(const TabelaResultados& t, const RegistroMapa& r) {
    const std::int32_t linha = LinhaDoRegistro(t.IndiceLinhas, r);
    return linha >= 1 && linha <= t.NumLinhas ? linha : 0;
}

std::uint32_t CorDaLinha(const TabelaResultados& t, std::int32_t linha) {
    if (linha <= 0 || !ColunaMapaValida(t)) return CorBranca;
    return CorDaClasse(t, t.Dado(t.ColunaMapa, linha));
}

constexpr std::uint32_t CorVermelha = 0x000000FF; // stored form

} // namespace

void AjustaVista(VistaMapa& v, const CabecalhoMapa& c, std::int32_t largura, std::int32_t altura) {
    if (v.EmZoom) {
        v.MinX = v.JanelaZoom.MinX;
        v.MinY = v.JanelaZoom.MinY;
        v.MaxX = v.JanelaZoom.MaxX;
        v.MaxY = v.JanelaZoom.MaxY;
    } else {
        v.MinX = c.MinX;
        v.MinY = c.MinY;
        v.MaxX = c.MaxX;
        v.MaxY = c.MaxY;
    }
    const double rangeX = static_cast<double>(v.MaxX) - v.MinX;
    const double rangeY = static_cast<double>(v.MaxY) - v.MinY;
    const double w = largura - 160.0;
    const double h = altura - static_cast<double>(AlturaStatus);
    // Wider than the drawing area: the width sets the scale. A map with no height
    // counts as wide, one with no width as tall.
    bool larga;
    if (rangeY == 0)
        larga = rangeX != 0;
    else if (h == 0)
        larga = false;
    else
        larga = rangeX / rangeY > w / h;
    if (larga) {
        v.EscalaMapa = static_cast<float>(rangeX);
        v.LadoMapa = std::max(1, largura - 180);
        v.TopoMapa = (altura - Trunca(rangeY / rangeX * v.LadoMapa)) / 2 + 5;
    } else {
        v.EscalaMapa = static_cast<float>(rangeY);
        v.LadoMapa = std::max(1, altura - 39);
        v.TopoMapa = 5;
    }
}

PontoTela GeoParaTela(const VistaMapa& v, double x, double y) {
    if (v.EscalaMapa == 0) return {20, v.TopoMapa};
    return {Trunca((x - v.MinX) / v.EscalaMapa * v.LadoMapa + 20),
            Trunca((v.MaxY - y) / v.EscalaMapa * v.LadoMapa + v.TopoMapa)};
}

PrimitivaMapa TextoMapa(std::string s, PontoTela p, std::int32_t pontos, AlinhaTexto a) {
    PrimitivaMapa f;
    f.Figura = FiguraMapa::Texto;
    f.ComPreenchimento = false;
    f.Caneta = CorPreta;
    f.Texto = std::move(s);
    f.Pontos.assign(1, p);
    f.TamanhoFonte = pontos;
    f.Alinhamento = a;
    return f;
}

std::int32_t DesenhaForma(const RegistroMapa& r, PrimitivaMapa& f, std::int32_t raioPonto,
                          const TransformaPonto& transforma, const DestinoDesenho& destino,
                          const DestinoDesenho& destinoPonto) {
    if (r.Tipo == TipoLinha) {
        f.Figura = FiguraMapa::Linha;
        f.Pontos.clear();
        for (const PontoMapa& p : r.Pontos)
            f.Pontos.push_back(transforma(p.X, p.Y));
        destino(f);
        return 0;
    }
    if (r.Tipo == TipoPonto) {
        f.Figura = FiguraMapa::Circulo;
        f.Raio = raioPonto;
        f.Pontos.assign(1, transforma(r.Pontos[0].X, r.Pontos[0].Y));
        destinoPonto(f);
        return 0;
    }
    f.Figura = FiguraMapa::Poligono;
    std::int32_t aneis = 0;
    for (const AnelMapa& a : AneisDoRegistro(r)) {
        f.Pontos.clear();
        for (std::int32_t i = a.Inicio; i < a.Inicio + a.Quantidade; ++i) {
            const PontoMapa& p = r.Pontos[static_cast<std::size_t>(i)];
            f.Pontos.push_back(transforma(p.X, p.Y));
        }
        destino(f);
        ++aneis;
    }
    return aneis;
}

double TelaParaLon(const VistaMapa& v, std::int32_t x) {
    return (x - 20.0) / std::max(1, v.LadoMapa) * v.EscalaMapa + v.MinX;
}

double TelaParaLat(const VistaMapa& v, std::int32_t y) {
    return v.MaxY - (static_cast<double>(y) - v.TopoMapa) / std::max(1, v.LadoMapa) * v.EscalaMapa;
}

JanelaMapa JanelaVisivel(const VistaMapa& v, std::int32_t largura, std::int32_t altura) {
    JanelaMapa j;
    j.MinX = static_cast<float>(TelaParaLon(v, 0));
    j.MaxX = static_cast<float>(TelaParaLon(v, largura));
    j.MaxY = static_cast<float>(TelaParaLat(v, 0));
    j.MinY = static_cast<float>(TelaParaLat(v, altura));
    return j;
}

bool ZoomRetangulo(VistaMapa& v, PontoTela a, PontoTela b) {
    if (a.X == b.X || a.Y == b.Y || v.EscalaMapa == 0) return false;
    const double x1 = std::min(a.X, b.X), x2 = std::max(a.X, b.X);
    const double y1 = std::min(a.Y, b.Y), y2 = std::max(a.Y, b.Y);
    const double lado = std::max(1, v.LadoMapa);
    const double escala = v.EscalaMapa;
    const double rangeY = static_cast<double>(v.MaxY) - v.MinY;
    // Measured up from the screen row of the current bottom bound.
    const double baseY = std::abs(Trunca(rangeY / escala * lado) + v.TopoMapa);
    JanelaMapa j;
    j.MinX = static_cast<float>((x1 - 20) / lado * escala + v.MinX);
    j.MaxX = static_cast<float>(j.MinX + (x2 - x1) / lado * escala);
    j.MinY = static_cast<float>((baseY - y2) / lado * escala + v.MinY);
    j.MaxY = static_cast<float>(j.MinY + (y2 - y1) / lado * escala);
    // A rectangle finer than a float can tell apart would leave a view of no size.
    if (!(j.MaxX > j.MinX) || !(j.MaxY > j.MinY)) return false;
    v.JanelaZoom = j;
    v.EmZoom = true;
    return true;
}

void DeslocaVista(VistaMapa& v, PontoTela de, PontoTela para) {
    if (!v.EmZoom) return;
    const double lado = std::max(1, v.LadoMapa);
    const auto dx = static_cast<float>((de.X - para.X) / lado * v.EscalaMapa);
    const auto dy = static_cast<float>((para.Y - de.Y) / lado * v.EscalaMapa);
    v.JanelaZoom.MinX += dx;
    v.JanelaZoom.MaxX += dx;
    v.JanelaZoom.MinY += dy;
    v.JanelaZoom.MaxY += dy;
}

std::string DesenhaMapa(const TabelaResultados& t, const std::string& nomeMapa, const OpcoesMapa& o, VistaMapa& v,
                        std::int32_t largura, std::int32_t altura, const DestinoDesenho& destino,
                        const CamadasMapa& camadas) {
    bool anelDesenhado = false;
    {
        LeitorMapa leitor(nomeMapa);
        std::string problema = ProblemaCabecalhoTela(nomeMapa, leitor.Cabecalho());
        if (!problema.empty()) return problema;
        AjustaVista(v, leitor.Cabecalho(), largura, altura);
        if (v.EscalaMapa == 0) return ProblemaCabecalhoTela(nomeMapa, CabecalhoMapa{});

        PrimitivaMapa fundo;
        fundo.Figura = FiguraMapa::Preenche;
        fundo.Preenchimento = CorBranca;
        fundo.Caneta = CorBranca;
        fundo.Identificacao = IdentificacaoVazia;
        destino(fundo);

        const JanelaMapa janela = JanelaVisivel(v, largura, altura);
        const TransformaPonto naTela = [&v](double x, double y) { return GeoParaTela(v, x, y); };
        RegistroMapa r;
        PrimitivaMapa f; // reused: its point list keeps its room between records
        while (leitor.Proximo(r)) {
            if (r.Tipo > TipoPonto || r.Pontos.empty()) continue;
            if (v.EmZoom && !RegistroNaJanela(r, janela.MinX, janela.MinY, janela.MaxX, janela.MaxY)) continue;
            const std::int32_t linha = LinhaValida(t, r);
            f.Preenchimento = CorDaLinha(t, linha);
            f.Caneta = o.BordasPretas ? CorPreta : f.Preenchimento;
            f.ComPreenchimento = true;
            f.Identificacao = linha;
            f.Texto.clear();
            if (r.Tipo == TipoLinha) {
                f.ComPreenchimento = false;
                f.Identificacao = SemIdentificacao;
            }
            if (DesenhaForma(r, f, RaioPontoMapa, naTela, destino, destino) > 0) anelDesenhado = true;
        }
    }

    // Zoomed into the inside of one area: no ring crosses the view, so paint it all.
    if (v.EmZoom && !anelDesenhado && o.LinhaDoZoom > 0 && o.LinhaDoZoom <= t.NumLinhas) {
        PrimitivaMapa tudo;
        tudo.Figura = FiguraMapa::Preenche;
        tudo.Preenchimento = CorDaLinha(t, o.LinhaDoZoom);
        tudo.Caneta = tudo.Preenchimento;
        tudo.Identificacao = o.LinhaDoZoom;
        destino(tudo);
    }

    if (camadas.Camadas) camadas.Camadas(v, destino);
    if (o.MostraLegendas || o.MostraValores || o.MostraSede) EscreveRotulos(t, nomeMapa, o, v, destino);
    if (camadas.Setas) camadas.Setas(v, destino);
    if (camadas.Circulos) camadas.Circulos(v, destino);

    for (const CaixaLegenda& c : CaixasLegenda(t, largura, v.EmZoom)) {
        PrimitivaMapa caixa;
        caixa.Figura = FiguraMapa::Retangulo;
        caixa.Pontos = {{c.X1, c.Y1}, {c.X2, c.Y2}};
        caixa.Preenchimento = c.Cor;
        caixa.Caneta = c.Caneta;
        destino(caixa);
    }
    return {};
}

void EscreveRotulos(const TabelaResultados& t, const std::string& nomeMapa, const OpcoesMapa& o, const VistaMapa& v,
                    const DestinoDesenho& destino) {
    const std::int32_t raio = ColunaRaio(t);
    LeitorMapa leitor(nomeMapa);
    RegistroMapa r;
    PrimitivaMapa sede;
    sede.Figura = FiguraMapa::Circulo;
    sede.Preenchimento = CorVermelha;
    sede.Caneta = CorVermelha;
    PrimitivaMapa texto;
    texto.Figura = FiguraMapa::Texto;
    texto.ComPreenchimento = false;
    texto.Caneta = CorPreta;
    while (leitor.Proximo(r)) {
        const PontoTela p = GeoParaTela(v, r.RotuloX, r.RotuloY);
        std::string s;
        if (o.MostraLegendas && o.PegaLegendaDoMapa) s = r.Nome;
        const std::int32_t linha = LinhaValida(t, r);
        if (linha > 0) {
            if (o.MostraLegendas && !o.PegaLegendaDoMapa) s = RotuloSemCodigo(t, linha);
            if (o.MostraValores) s += " " + ValorFormatado(t, linha);
        }
        if (o.MostraSede) {
            std::int32_t rs = RaioPontoMapa;
            if (raio > 0 && linha > 0) rs = std::clamp(Trunca(t.Dado(raio, linha)), 0, 100000);
            sede.Raio = rs;
            sede.Pontos.assign(1, p);
            destino(sede);
        }
        if (!s.empty()) {
            texto.Texto = std::move(s);
            texto.Pontos.assign(1, p);
            texto.Alinhamento = r.Tipo != TipoPoligono && o.MostraSede ? AlinhaTexto::Acima : AlinhaTexto::Centro;
            destino(texto);
        }
    }
}

std::int32_t ClasseDoCliqueLegenda(const TabelaResultados& t, std::int32_t largura, std::int32_t x, std::int32_t y) {
    const std::int32_t n = std::clamp(t.NumClasses, 0, MaxClasses);
    if (!(x > largura - 150 && x < largura - 120 && y > 27 && y < n * 17 + 22)) return 0;
    return std::clamp((y - 10) / 17, 1, n);
}

DesenhoMapa ColetaDesenho(const TabelaResultados& t, const std::string& nomeMapa, const OpcoesMapa& o, VistaMapa& v,
                          std::int32_t largura, std::int32_t altura) {
    DesenhoMapa d;
    d.Problema =
        DesenhaMapa(t, nomeMapa, o, v, largura, altura, [&d](const PrimitivaMapa& p) { d.Figuras.push_back(p); });
    return d;
}

} // namespace dorvan

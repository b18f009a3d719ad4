#include "analysis/Grafico.h"

#include "maps/ImpressaoMapa.h"
#include "platform/Numeros.h"
#include "platform/Texto1252.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <filesystem>
#include <map>

namespace dorvan {

namespace {

template <typename E> E Limita(int i, int n) { return static_cast<E>(std::clamp(i, 0, n - 1)); }

std::string Numero(double v, int decimais) { return DeQString(NumeroUsuario(v, std::clamp(decimais, 0, 15))); }

// Widens [lo, hi] to take v.
void Inclui(std::optional<std::pair<double, double>>& f, double v) {
    if (!std::isfinite(v)) return;
    if (!f)
        f = std::pair{v, v};
    else
        f = std::pair{std::min(f->first, v), std::max(f->second, v)};
}

// The value of a point as its marks and stacks see it.
double Valor(const SerieGrafico& s, const PontoGrafico& p) { return s.Tipo == TipoSerie::Seta ? p.XFim : p.Y; }

// Bars are drawn in groups: one per direction and vertical axis, stacked by the
// mode of the group's first series.
MultiBarra ModoDoGrupo(const ModeloGrafico& m, const SerieGrafico& s) {
    for (const SerieGrafico& o : m.Series)
        if (o.Tipo == s.Tipo && o.EixoDireito == s.EixoDireito) return o.MultiBarra;
    return s.MultiBarra;
}

// Stacked extent of a bar group at each position: sums of positive and negative values.
void IncluiBarras(const ModeloGrafico& m, TipoSerie tipo, bool direito, std::optional<std::pair<double, double>>& f) {
    const SerieGrafico* primeira = nullptr;
    std::vector<double> pos, neg;
    for (const SerieGrafico& s : m.Series) {
        if (s.Tipo != tipo || s.EixoDireito != direito) continue;
        if (!primeira) primeira = &s;
        if (pos.size() < s.Pontos.size()) {
            pos.resize(s.Pontos.size(), 0);
            neg.resize(s.Pontos.size(), 0);
        }
        for (std::size_t i = 0; i < s.Pontos.size(); ++i) {
            const double y = s.Pontos[i].Y;
            if (!std::isfinite(y)) continue;
            (y >= 0 ? pos[i] : neg[i]) += y;
        }
    }
    if (!primeira) return;
    const MultiBarra modo = ModoDoGrupo(m, *primeira);
    bool algum = false;
    for (const SerieGrafico& s : m.Series)
        if (s.Tipo == tipo && s.EixoDireito == direito && !s.Pontos.empty()) algum = true;
    if (!algum) return;
    Inclui(f, 0); // bars stand on zero
    if (modo == MultiBarra::Empilhadas100) {
        for (std::size_t i = 0; i < pos.size(); ++i) {
            if (pos[i] > 0) Inclui(f, 100);
            if (neg[i] < 0) Inclui(f, -100);
        }
        return;
    }
    for (const SerieGrafico& s : m.Series) {
        if (s.Tipo != tipo || s.EixoDireito != direito) continue;
        for (const PontoGrafico& p : s.Pontos)
            Inclui(f, p.Y);
    }
    if (modo == MultiBarra::Empilhadas)
        for (std::size_t i = 0; i < pos.size(); ++i) {
            Inclui(f, pos[i]);
            Inclui(f, neg[i]);
        }
}

} // namespace

bool DerivadaDePonto(TipoSerie tipo) {
    return tipo == TipoSerie::Ponto || tipo == TipoSerie::Bolha || tipo == TipoSerie::Seta;
}

bool SerieDeCategorias(TipoSerie tipo) {
    return tipo == TipoSerie::Linha || tipo == TipoSerie::Barra || tipo == TipoSerie::BarraHorizontal ||
           tipo == TipoSerie::Area;
}

std::uint32_t CorDaPaleta(std::size_t i) {
    // Strong, distinct colours first; as 0x00BBGGRR.
    static constexpr std::array<std::uint32_t, 12> paleta = {0x000000FF, 0x0000FF00, 0x0000FFFF, 0x00FF0000,
                                                             0x00FF00FF, 0x00808000, 0x00000080, 0x00008000,
                                                             0x00800080, 0x00808080, 0x00008080, 0x00800000};
    return paleta[i % paleta.size()];
}

// ---- adding series ------------------------------------------------------------------

SerieGrafico& NovaSerie(ModeloGrafico& m, TipoSerie tipo) {
    SerieGrafico s;
    s.Tipo = tipo;
    s.Cor = CorDaPaleta(m.Series.size());
    s.LarguraLinha = m.TresD ? 1 : 2;
    m.Series.push_back(std::move(s));
    return m.Series.back();
}

void CarregaSerie(ModeloGrafico& m, const TabelaResultados& t, std::int32_t c) {
    if (m.Series.empty() || c < 1 || c > t.NumColunas()) return;
    SerieGrafico& s = m.Series.back();
    s.Pontos.clear();
    s.Titulo = t.NomeColuna(c);
    s.Decimais = t.Coluna(c).Decimais;
    // Storage order on purpose: a chart keeps the rows as the table was built.
    for (std::int32_t r = 1; r <= t.NumLinhas; ++r) {
        PontoGrafico p;
        p.X = r - 1;
        p.Y = t.Dado(c, r);
        p.Texto = t.Rotulo(r);
        s.Pontos.push_back(std::move(p));
    }
}

int AcrescentaSeries(ModeloGrafico& m, const TabelaResultados& t, TipoSerie tipo,
                     const std::vector<std::int32_t>& colunas) {
    std::vector<std::int32_t> validas;
    for (std::int32_t c : colunas)
        if (c >= 1 && c <= t.NumColunas()) validas.push_back(c);
    if (validas.empty()) return 0;
    if (tipo == TipoSerie::Barra) m.Inferior.Grade = false;
    if (tipo == TipoSerie::BarraHorizontal) m.Esquerdo.Grade = m.Direito.Grade = false;
    for (std::int32_t c : validas) {
        NovaSerie(m, tipo);
        CarregaSerie(m, t, c);
    }
    return static_cast<int>(validas.size());
}

bool AcrescentaSetor(ModeloGrafico& m, const TabelaResultados& t, std::int32_t c) {
    if (c < 1 || c > t.NumColunas()) return false;
    NovaSerie(m, TipoSerie::Setor);
    CarregaSerie(m, t, c);
    return true;
}

namespace {

bool Valida(const TabelaResultados& t, std::initializer_list<std::int32_t> cs) {
    return std::all_of(cs.begin(), cs.end(), [&](std::int32_t c) { return c >= 1 && c <= t.NumColunas(); });
}

SerieGrafico& SerieXY(ModeloGrafico& m, const TabelaResultados& t, TipoSerie tipo, std::int32_t cx, std::int32_t cy,
                      std::int32_t cr) {
    const bool primeira = m.Series.empty();
    SerieGrafico& s = NovaSerie(m, tipo);
    if (primeira) m.Inferior.Rotulos = EstiloRotulos::Valor;
    m.Inferior.Titulo = t.NomeColuna(cx);
    m.Esquerdo.Titulo = t.NomeColuna(cy);
    s.Titulo = t.NomeColuna(cx) + " + " + t.NomeColuna(cy);
    s.Decimais = t.Coluna(cy).Decimais;
    s.Marcador = true;
    s.FormaMarcador = tipo == TipoSerie::Bolha ? EstiloMarcador::Circulo : EstiloMarcador::Retangulo;
    for (std::int32_t r = 1; r <= t.NumLinhas; ++r) {
        PontoGrafico p;
        p.X = t.Dado(cx, r);
        p.Y = t.Dado(cy, r);
        if (cr > 0) p.Raio = t.Dado(cr, r);
        p.Texto = t.Rotulo(r);
        s.Pontos.push_back(std::move(p));
    }
    return s;
}

} // namespace

bool AcrescentaPontos(ModeloGrafico& m, const TabelaResultados& t, std::int32_t cx, std::int32_t cy) {
    if (!Valida(t, {cx, cy})) return false;
    SerieXY(m, t, TipoSerie::Ponto, cx, cy, 0);
    return true;
}

bool AcrescentaBolhas(ModeloGrafico& m, const TabelaResultados& t, std::int32_t cx, std::int32_t cy, std::int32_t cr) {
    if (!Valida(t, {cx, cy, cr})) return false;
    SerieXY(m, t, TipoSerie::Bolha, cx, cy, cr);
    return true;
}

bool AcrescentaSetas(ModeloGrafico& m, const TabelaResultados& t, std::int32_t cInicio, std::int32_t cFim) {
    if (!Valida(t, {cInicio, cFim})) return false;
    const bool primeira = m.Series.empty();
    SerieGrafico& s = NovaSerie(m, TipoSerie::Seta);
    s.LarguraSeta = 32;
    s.AlturaSeta = 24;
    if (primeira) {
        m.Inferior.Rotulos = EstiloRotulos::Valor;
        m.Esquerdo.Rotulos = EstiloRotulos::Texto;
    }
    s.Titulo = t.NomeColuna(cInicio) + " --> " + t.NomeColuna(cFim);
    s.Decimais = t.Coluna(cFim).Decimais;
    for (std::int32_t r = 1; r <= t.NumLinhas; ++r) {
        PontoGrafico p;
        p.X = t.Dado(cInicio, r);
        p.XFim = t.Dado(cFim, r);
        p.Y = r;
        p.Texto = t.Rotulo(r);
        p.Cor = p.X > p.XFim ? CorAzul : CorVermelha;
        s.Pontos.push_back(std::move(p));
    }
    return true;
}

void LimpaGrafico(ModeloGrafico& m) {
    m.Inferior.Rotulos = EstiloRotulos::Automatico;
    m.Esquerdo.Rotulos = EstiloRotulos::Automatico;
    m.Series.clear();
    for (EixoGrafico* e : {&m.Esquerdo, &m.Direito, &m.Inferior}) {
        e->Grade = true;
        e->Titulo.clear();
        e->MostraRotulos = true;
    }
}

void Define3D(ModeloGrafico& m, bool tresD) {
    m.TresD = tresD;
    for (SerieGrafico& s : m.Series)
        if (s.Tipo == TipoSerie::Linha) s.LarguraLinha = tresD ? 1 : 2;
}

// ---- options dialogs ------------------------------------------------------------------

ControlesSerie ControlesDaSerie(TipoSerie tipo) {
    ControlesSerie c;
    c.Barras = tipo == TipoSerie::Barra || tipo == TipoSerie::BarraHorizontal;
    c.Area = tipo == TipoSerie::Area;
    c.Marcador = DerivadaDePonto(tipo) || tipo == TipoSerie::Linha;
    c.Linha = tipo == TipoSerie::Linha;
    return c;
}

OpcoesSerie OpcoesDaSerie(const SerieGrafico& s) {
    OpcoesSerie o;
    o.EixoDireito = s.EixoDireito;
    o.Etiquetas = s.Etiquetas;
    o.Etiqueta = static_cast<int>(s.Etiqueta);
    o.MultiBarra = static_cast<int>(s.MultiBarra);
    o.EstiloBarra = static_cast<int>(s.EstiloBarra);
    o.BarrasJuntas = s.LarguraBarra == 100;
    o.MultiArea = static_cast<int>(s.MultiArea);
    o.Marcador = s.Marcador;
    o.EstiloMarcador = static_cast<int>(s.FormaMarcador);
    o.LarguraLinha = s.LarguraLinha;
    o.Degraus = s.Degraus;
    o.Cor = s.Cor;
    return o;
}

void AplicaOpcoesSerie(SerieGrafico& s, const OpcoesSerie& o) {
    const ControlesSerie c = ControlesDaSerie(s.Tipo);
    s.EixoDireito = o.EixoDireito;
    s.Etiquetas = o.Etiquetas;
    s.Etiqueta = Limita<EstiloEtiqueta>(o.Etiqueta, NumEstilosEtiqueta);
    if (c.Barras) {
        s.MultiBarra = Limita<MultiBarra>(o.MultiBarra, 4);
        s.EstiloBarra = Limita<EstiloBarra>(o.EstiloBarra, 7);
        s.LarguraBarra = o.BarrasJuntas ? 100 : 70;
    }
    if (c.Area) s.MultiArea = Limita<MultiArea>(o.MultiArea, 3);
    if (c.Marcador) {
        s.FormaMarcador = Limita<EstiloMarcador>(o.EstiloMarcador, 9);
        s.Marcador = o.Marcador;
    }
    if (c.Linha) {
        s.LarguraLinha = std::clamp(o.LarguraLinha, 1, 9);
        s.Degraus = o.Degraus;
    }
    s.Cor = o.Cor & 0x00FFFFFF;
}

void AplicaOpcoesSerie(ModeloGrafico& m, std::size_t k, const OpcoesSerie& o) {
    if (k >= m.Series.size()) return;
    SerieGrafico& s = m.Series[k];
    AplicaOpcoesSerie(s, o);
    for (SerieGrafico& outra : m.Series) {
        if (outra.Tipo != s.Tipo) continue;
        if (ControlesDaSerie(s.Tipo).Barras) outra.MultiBarra = s.MultiBarra;
        if (s.Tipo == TipoSerie::Area) outra.MultiArea = s.MultiArea;
    }
}

std::string TituloDialogoSerie(const SerieGrafico& s) { return "S\xE9rie: " + s.Titulo; }

OpcoesEixo OpcoesDoEixo(const EixoGrafico& e) {
    OpcoesEixo o;
    o.Grade = e.Grade;
    o.Logaritmico = e.Logaritmico;
    o.Invertido = e.Invertido;
    o.MostraRotulos = e.MostraRotulos;
    o.Titulo = e.Titulo;
    o.Fonte = e.FonteTitulo;
    o.MostraZero = !e.Automatico;
    return o;
}

void AplicaOpcoesEixo(ModeloGrafico& m, QualEixo qual, const OpcoesEixo& o) {
    // The range is judged as the axis showed it before this change.
    const auto faixa = FaixaEixo(m, qual);
    EixoGrafico& e = m.Eixo(qual);
    e.Grade = o.Grade;
    e.Logaritmico = o.Logaritmico;
    e.Invertido = o.Invertido;
    e.MostraRotulos = o.MostraRotulos;
    e.Titulo = o.Titulo;
    e.FonteTitulo = e.FonteRotulos = o.Fonte;
    if (!o.MostraZero) {
        e.Automatico = e.MinimoAutomatico = e.MaximoAutomatico = true;
        return;
    }
    if (!faixa) return;
    if (faixa->first > 0) {
        e.Automatico = false;
        e.MaximoAutomatico = true;
        e.MinimoAutomatico = false;
        e.Minimo = 0;
    } else if (faixa->second < 0) {
        e.Automatico = false;
        e.MinimoAutomatico = true;
        e.MaximoAutomatico = false;
        e.Maximo = 0;
    }
}

const char* NomeEixo(QualEixo e) {
    switch (e) {
    case QualEixo::Esquerdo:
        return "Eixo da esquerda";
    case QualEixo::Inferior:
        return "Eixo inferior";
    case QualEixo::Direito:
        return "Eixo da direita";
    }
    return "";
}

// ---- drawing helpers ------------------------------------------------------------------

std::pair<std::vector<double>, std::vector<double>> LimitesArea(const ModeloGrafico& m, std::size_t k) {
    const SerieGrafico& s = m.Series.at(k);
    const std::size_t n = s.Pontos.size();
    std::vector<double> baixo(n, 0), alto(n, 0);
    auto y = [](const SerieGrafico& o, std::size_t i) {
        return i < o.Pontos.size() && std::isfinite(o.Pontos[i].Y) ? o.Pontos[i].Y : 0.0;
    };
    auto mesmaPilha = [&](const SerieGrafico& o) {
        return o.Tipo == TipoSerie::Area && o.EixoDireito == s.EixoDireito && o.MultiArea == s.MultiArea;
    };
    if (s.Tipo != TipoSerie::Area || s.MultiArea == MultiArea::Nenhuma) {
        for (std::size_t i = 0; i < n; ++i)
            alto[i] = s.Pontos[i].Y;
        return {baixo, alto};
    }
    for (std::size_t j = 0; j < k; ++j)
        if (mesmaPilha(m.Series[j]))
            for (std::size_t i = 0; i < n; ++i)
                baixo[i] += y(m.Series[j], i);
    for (std::size_t i = 0; i < n; ++i)
        alto[i] = baixo[i] + y(s, i);
    if (s.MultiArea == MultiArea::Empilhadas100) {
        for (std::size_t i = 0; i < n; ++i) {
            double soma = 0;
            for (const SerieGrafico& o : m.Series)
                if (mesmaPilha(o)) soma += y(o, i);
            baixo[i] = soma != 0 ? baixo[i] / soma * 100 : 0;
            alto[i] = soma != 0 ? alto[i] / soma * 100 : 0;
        }
    }
    return {baixo, alto};
}

std::optional<std::pair<double, double>> FaixaDados(const ModeloGrafico& m, QualEixo e) {
    std::optional<std::pair<double, double>> f;
    if (e == QualEixo::Inferior) {
        for (const SerieGrafico& s : m.Series) {
            if (s.Pontos.empty() || s.Tipo == TipoSerie::Setor || s.Tipo == TipoSerie::BarraHorizontal) continue;
            if (SerieDeCategorias(s.Tipo)) {
                Inclui(f, 0);
                Inclui(f, static_cast<double>(s.Pontos.size() - 1));
                continue;
            }
            for (const PontoGrafico& p : s.Pontos) {
                Inclui(f, p.X);
                if (s.Tipo == TipoSerie::Seta) Inclui(f, p.XFim);
            }
        }
        IncluiBarras(m, TipoSerie::BarraHorizontal, false, f);
        IncluiBarras(m, TipoSerie::BarraHorizontal, true, f);
        return f;
    }
    const bool direito = e == QualEixo::Direito;
    for (std::size_t k = 0; k < m.Series.size(); ++k) {
        const SerieGrafico& s = m.Series[k];
        if (s.Pontos.empty() || s.Tipo == TipoSerie::Setor || s.EixoDireito != direito || s.Tipo == TipoSerie::Barra)
            continue;
        if (s.Tipo == TipoSerie::BarraHorizontal) {
            Inclui(f, 0);
            Inclui(f, static_cast<double>(s.Pontos.size() - 1));
        } else if (s.Tipo == TipoSerie::Area) {
            const auto [baixo, alto] = LimitesArea(m, k);
            for (std::size_t i = 0; i < baixo.size(); ++i) {
                Inclui(f, baixo[i]);
                Inclui(f, alto[i]);
            }
        } else {
            for (const PontoGrafico& p : s.Pontos) {
                if (s.Tipo == TipoSerie::Bolha) {
                    Inclui(f, p.Y - std::fabs(p.Raio));
                    Inclui(f, p.Y + std::fabs(p.Raio));
                } else {
                    Inclui(f, p.Y);
                }
            }
        }
    }
    IncluiBarras(m, TipoSerie::Barra, direito, f);
    return f;
}

std::optional<std::pair<double, double>> FaixaEixo(const ModeloGrafico& m, QualEixo e) {
    auto f = FaixaDados(m, e);
    const EixoGrafico& eixo = m.Eixo(e);
    if (!f || eixo.Automatico) return f;
    if (!eixo.MinimoAutomatico) f->first = eixo.Minimo;
    if (!eixo.MaximoAutomatico) f->second = eixo.Maximo;
    if (f->first > f->second) std::swap(f->first, f->second);
    return f;
}

std::string TextoEtiqueta(const SerieGrafico& s, std::size_t i) {
    if (i >= s.Pontos.size()) return {};
    const PontoGrafico& p = s.Pontos[i];
    double total = 0;
    for (const PontoGrafico& q : s.Pontos) {
        const double v = Valor(s, q);
        if (std::isfinite(v)) total += std::fabs(v);
    }
    const double v = Valor(s, p);
    const std::string valor = Numero(v, s.Decimais);
    const std::string pct = Numero(total != 0 ? std::fabs(v) / total * 100 : 0, 2) + " %";
    const std::string deTotal = pct + " de " + Numero(total, s.Decimais);
    switch (s.Etiqueta) {
    case EstiloEtiqueta::Valor:
        return valor;
    case EstiloEtiqueta::Percentagem:
        return pct;
    case EstiloEtiqueta::Descricao:
    case EstiloEtiqueta::Legenda:
        return p.Texto;
    case EstiloEtiqueta::DescricaoPercentagem:
        return p.Texto + " " + pct;
    case EstiloEtiqueta::DescricaoValor:
        return p.Texto + " " + valor;
    case EstiloEtiqueta::PercentagemTotal:
        return deTotal;
    case EstiloEtiqueta::DescricaoPercentagemTotal:
        return p.Texto + " " + deTotal;
    case EstiloEtiqueta::ValorX:
        return Numero(p.X, s.Decimais);
    }
    return valor;
}

bool InferiorComTextos(const ModeloGrafico& m) {
    if (m.Inferior.Rotulos == EstiloRotulos::Valor) return false;
    return std::any_of(m.Series.begin(), m.Series.end(), [](const SerieGrafico& s) {
        return SerieDeCategorias(s.Tipo) && s.Tipo != TipoSerie::BarraHorizontal;
    });
}

bool EsquerdoComTextos(const ModeloGrafico& m) {
    if (m.Esquerdo.Rotulos == EstiloRotulos::Valor) return false;
    for (const SerieGrafico& s : m.Series) {
        if (s.Tipo == TipoSerie::BarraHorizontal) return true;
        if (s.Tipo == TipoSerie::Seta && m.Esquerdo.Rotulos == EstiloRotulos::Texto) return true;
    }
    return false;
}

std::vector<std::string> TextosCategorias(const ModeloGrafico& m) {
    for (const SerieGrafico& s : m.Series)
        if (SerieDeCategorias(s.Tipo)) {
            std::vector<std::string> r;
            for (const PontoGrafico& p : s.Pontos)
                r.push_back(p.Texto);
            return r;
        }
    return {};
}

// ---- pictures -----------------------------------------------------------------------------

namespace {
std::string ExtensaoMaiuscula(const std::string& arquivo) {
    std::string ext = std::filesystem::path(arquivo).extension().string();
    for (char& ch : ext)
        ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
    return ext;
}
} // namespace

FormatoImagem FormatoPorNome(const std::string& arquivo) {
    const std::string ext = ExtensaoMaiuscula(arquivo);
    if (ext == ".EMF" || ext == ".WMF" || ext == ".SVG") return FormatoImagem::Metafile;
    if (ext == ".BMP" || ext == ".PNG") return FormatoImagem::Bitmap;
    return FormatoImagem::Nenhum;
}

std::string ConfereExtensaoImagem(const std::string& arquivo) {
    if (FormatoPorNome(arquivo) != FormatoImagem::Nenhum) return {};
    return "Extens\xE3o do arquivo deve ser .emf, .bmp ou .wmf";
}

std::string ArquivoImagem(const std::string& arquivo) {
    switch (FormatoPorNome(arquivo)) {
    case FormatoImagem::Metafile:
        return NomeDaImagem(arquivo, ".svg");
    case FormatoImagem::Bitmap:
        return NomeDaImagem(arquivo, ".png");
    case FormatoImagem::Nenhum:
        break;
    }
    return {};
}

} // namespace dorvan

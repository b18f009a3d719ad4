#include "maps/ui/PintaMapa.h"

#include "platform/Texto1252.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPolygon>

#include <algorithm>

namespace dorvan {

namespace {

QColor CorDeIdentificacao(std::int64_t valor) {
    return QColor::fromRgb(0xFF000000u | (static_cast<std::uint32_t>(valor) & 0x00FFFFFFu));
}

QPolygon Poligono(const std::vector<PontoTela>& pontos) {
    QPolygon p(static_cast<int>(pontos.size()));
    for (std::size_t i = 0; i < pontos.size(); ++i)
        p.setPoint(static_cast<int>(i), pontos[i].X, pontos[i].Y);
    return p;
}

// Pen and brush of a figure on one canvas; the identification canvas keeps a black
// pen of width 1, so outlines read as nothing there.
void Estilo(QPainter& p, const PrimitivaMapa& f, bool identificacao) {
    if (identificacao) {
        // Lines keep their width there: a thick flow line is picked along all of it.
        p.setPen(f.Figura == FiguraMapa::Linha ? QPen(CorDeIdentificacao(f.Identificacao), std::max(1, f.LarguraCaneta))
                                               : QPen(Qt::black, 1));
        p.setBrush(CorDeIdentificacao(f.Identificacao));
    } else {
        p.setPen(QPen(CorQt(f.Caneta), std::max(1, f.LarguraCaneta)));
        p.setBrush(f.ComPreenchimento ? QBrush(CorQt(f.Preenchimento)) : QBrush(Qt::NoBrush));
    }
}

void Pinta(QPainter& p, const PrimitivaMapa& f, bool identificacao) {
    switch (f.Figura) {
    case FiguraMapa::Preenche: {
        const QColor c = identificacao ? CorDeIdentificacao(f.Identificacao) : CorQt(f.Preenchimento);
        if (p.device()) p.fillRect(QRect(0, 0, p.device()->width(), p.device()->height()), c);
        return;
    }
    case FiguraMapa::Poligono:
        if (f.Pontos.empty()) return;
        Estilo(p, f, identificacao);
        p.drawPolygon(Poligono(f.Pontos), Qt::OddEvenFill);
        return;
    case FiguraMapa::Linha:
        if (f.Pontos.empty()) return;
        Estilo(p, f, identificacao);
        p.drawPolyline(Poligono(f.Pontos));
        return;
    case FiguraMapa::Circulo:
        if (f.Pontos.empty()) return;
        Estilo(p, f, identificacao);
        p.drawEllipse(QPoint(f.Pontos[0].X, f.Pontos[0].Y), f.Raio, f.Raio);
        return;
    case FiguraMapa::Retangulo: {
        if (f.Pontos.size() < 2) return;
        Estilo(p, f, identificacao);
        // The second corner is outside the box, as the outline is drawn inside it.
        p.drawRect(QRect(QPoint(f.Pontos[0].X, f.Pontos[0].Y), QPoint(f.Pontos[1].X - 1, f.Pontos[1].Y - 1)));
        return;
    }
    case FiguraMapa::Texto: {
        if (f.Pontos.empty() || identificacao) return;
        if (f.TamanhoFonte > 0) {
            QFont fonte = FonteRotulosMapa();
            fonte.setPointSize(f.TamanhoFonte);
            p.setFont(fonte);
        } else {
            p.setFont(FonteRotulosMapa());
        }
        p.setPen(CorQt(f.Caneta));
        p.setBrush(Qt::NoBrush);
        const QString texto = ParaQString(f.Texto);
        // Measured on the device painted: a printer's pixels are not the screen's.
        const QFontMetrics m = p.device() ? QFontMetrics(p.font(), p.device()) : QFontMetrics(p.font());
        const int largura = m.horizontalAdvance(texto);
        const int altura = m.height();
        const int x = f.Alinhamento == AlinhaTexto::Canto ? f.Pontos[0].X : f.Pontos[0].X - largura / 2;
        int y = f.Pontos[0].Y - altura / 2;
        if (f.Alinhamento == AlinhaTexto::Acima) y = f.Pontos[0].Y - altura;
        if (f.Alinhamento == AlinhaTexto::Canto || f.Alinhamento == AlinhaTexto::Topo) y = f.Pontos[0].Y;
        p.drawText(QRect(x, y, largura + 1, altura), Qt::AlignLeft | Qt::AlignTop | Qt::TextDontClip, texto);
        return;
    }
    }
}

} // namespace

QColor CorQt(std::uint32_t cor) { return QColor(cor & 0xFF, (cor >> 8) & 0xFF, (cor >> 16) & 0xFF); }

std::uint32_t CorArmazenada(const QColor& c) {
    return static_cast<std::uint32_t>(c.red()) | (static_cast<std::uint32_t>(c.green()) << 8) |
           (static_cast<std::uint32_t>(c.blue()) << 16);
}

std::uint32_t ValorIdentificacao(const QImage& identificacao, int x, int y) {
    if (!identificacao.valid(x, y)) return IdentificacaoVazia;
    return identificacao.pixel(x, y) & 0x00FFFFFFu;
}

QFont FonteRotulosMapa() {
    QFont f(QStringLiteral("Arial"));
    f.setPixelSize(11);
    f.setStyle(QFont::StyleNormal);
    f.setBold(false);
    return f;
}

void PintaFiguraMapa(QPainter& visivel, QPainter* identificacao, const PrimitivaMapa& f) {
    Pinta(visivel, f, false);
    if (identificacao && f.Identificacao != SemIdentificacao) Pinta(*identificacao, f, true);
}

} // namespace dorvan

#include "app/ui/TextosInteiros.h"

#include "support/DirigeJanelas.h"

#include <QAbstractButton>
#include <QDialog>
#include <QAbstractItemView>
#include <QCheckBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOption>
#include <QTabBar>
#include <QTableView>
#include <QTextDocument>
#include <QToolButton>
#include <algorithm>
#include <cmath>

namespace dorvan::teste {

namespace {

std::string Nome(const QWidget* w) {
    return std::string(w->metaObject()->className()) + " " + w->objectName().toStdString();
}

// The text as drawn: a single "&" marks the shortcut and is not drawn.
QString SemAtalho(QString s) {
    s.replace(QStringLiteral("&&"), QStringLiteral("\x01"));
    s.remove(QLatin1Char('&'));
    s.replace(QLatin1Char('\x01'), QLatin1Char('&'));
    return s;
}

int LarguraTexto(const QFontMetrics& fm, const QString& s) {
    int w = 0;
    for (const QString& linha : s.split(QLatin1Char('\n')))
        w = std::max(w, fm.horizontalAdvance(linha));
    return w;
}

bool Reticencias(const QString& s) { return s.endsWith(QChar(0x2026)) || s.endsWith(QStringLiteral("...")); }

enum class Corte { Nenhum, ComAviso, NoNumero };

// A text cut on purpose: an ellipsis and the whole text in the tooltip; a fault still
// when the cut fell inside a number (a number is never cut).
Corte CorteDe(const QWidget* w, const QString& texto) {
    if (!Reticencias(texto)) return Corte::Nenhum;
    QString inicio = texto;
    inicio.chop(texto.endsWith(QChar(0x2026)) ? 1 : 3);
    const QString dica = w->toolTip();
    if (dica.isEmpty() || dica == texto || !dica.contains(inicio.trimmed())) return Corte::Nenhum;
    const qsizetype corte = dica.indexOf(inicio) + inicio.size();
    const bool noNumero = !inicio.isEmpty() && inicio.back().isDigit() && corte < dica.size() && dica.at(corte).isDigit();
    return noNumero ? Corte::NoNumero : Corte::ComAviso;
}

// True when the text needs no measuring: cut on purpose, or cut in a number (a fault).
bool CortadoComAviso(std::vector<std::string>& f, const QWidget* w, const QString& texto) {
    const Corte c = CorteDe(w, texto);
    if (c == Corte::NoNumero)
        f.push_back(Nome(w) + " \"" + texto.toStdString() + "\": a number cut, whole \"" +
                    w->toolTip().toStdString() + "\"");
    return c != Corte::Nenhum;
}

void Falta(std::vector<std::string>& f, const QWidget* w, const QString& texto, int precisa, int tem,
           const char* medida = "pixels wide") {
    f.push_back(Nome(w) + " \"" + texto.toStdString() + "\": needs " + std::to_string(precisa) + " " + medida +
                ", has " + std::to_string(tem));
}

void MedeRotulo(std::vector<std::string>& f, QLabel* l) {
    if (l->text().isEmpty() || !l->pixmap().isNull()) return;
    const QRect r = l->contentsRect().adjusted(l->margin(), l->margin(), -l->margin(), -l->margin());
    const bool rico = l->textFormat() == Qt::RichText ||
                      (l->textFormat() == Qt::AutoText && Qt::mightBeRichText(l->text()));
    QString texto = rico ? QString() : l->text();
    if (!rico && l->buddy()) texto = SemAtalho(texto);
    const QFontMetrics fm(l->font());
    if (rico) {
        QTextDocument d;
        d.setDefaultFont(l->font());
        d.setHtml(l->text());
        d.setDocumentMargin(0);
        if (l->wordWrap()) d.setTextWidth(r.width());
        texto = d.toPlainText();
        const int largura = static_cast<int>(std::ceil(d.idealWidth()));
        const int altura = static_cast<int>(std::ceil(d.size().height()));
        if (!l->wordWrap() && largura > r.width()) Falta(f, l, texto, largura, r.width());
        if (altura > r.height() + 2) Falta(f, l, texto, altura, r.height(), "pixels high");
        return;
    }
    if (CortadoComAviso(f, l, texto)) return;
    if (l->wordWrap()) {
        const QRect preciso = fm.boundingRect(QRect(0, 0, r.width(), 100000), Qt::TextWordWrap, texto);
        if (preciso.width() > r.width()) Falta(f, l, texto, preciso.width(), r.width());
        if (preciso.height() > r.height() + 2) Falta(f, l, texto, preciso.height(), r.height(), "pixels high");
        return;
    }
    const int largura = LarguraTexto(fm, texto) + l->indent() * (l->indent() > 0);
    if (largura > r.width()) Falta(f, l, texto, largura, r.width());
    const int altura = fm.height() * static_cast<int>(texto.count(QLatin1Char('\n')) + 1);
    // The descent of a line may touch the border; a line that loses more is cut.
    if (altura > r.height() + 2) Falta(f, l, texto, altura, r.height(), "pixels high");
}

void MedeBotao(std::vector<std::string>& f, QAbstractButton* b) {
    const bool soIcone = qobject_cast<QToolButton*>(b) &&
                         static_cast<QToolButton*>(b)->toolButtonStyle() == Qt::ToolButtonIconOnly &&
                         !b->icon().isNull();
    const QString texto = SemAtalho(b->text());
    const bool mostraTexto = !texto.isEmpty() && !soIcone;
    if (!mostraTexto && b->icon().isNull() && !qobject_cast<QCheckBox*>(b) && !qobject_cast<QRadioButton*>(b)) {
        // An arrow button draws its own sign.
        auto* t = qobject_cast<QToolButton*>(b);
        if (!t || t->arrowType() == Qt::NoArrow)
            f.push_back(Nome(b) + " \"" + b->toolTip().toStdString() + "\": shows nothing");
        return;
    }
    if (!mostraTexto || CortadoComAviso(f, b, texto)) return;
    const QFontMetrics fm(b->font());
    const int largura = LarguraTexto(fm, texto);
    int sala = 0;
    if (qobject_cast<QCheckBox*>(b) || qobject_cast<QRadioButton*>(b)) {
        QStyleOptionButton o;
        o.initFrom(b);
        o.text = b->text();
        const auto e = qobject_cast<QCheckBox*>(b) ? QStyle::SE_CheckBoxContents : QStyle::SE_RadioButtonContents;
        sala = b->style()->subElementRect(e, &o, b).width();
        // The label is drawn after the indicator with a small gap.
        sala -= 2;
    } else if (auto* p = qobject_cast<QPushButton*>(b)) {
        QStyleOptionButton o;
        o.initFrom(p);
        o.text = p->text();
        o.icon = p->icon();
        o.iconSize = p->iconSize();
        sala = p->style()->subElementRect(QStyle::SE_PushButtonContents, &o, p).width();
        if (!p->icon().isNull()) sala -= p->iconSize().width() + 4;
    } else {
        auto* t = static_cast<QToolButton*>(b);
        const int margem = b->style()->pixelMetric(QStyle::PM_ButtonMargin, nullptr, b);
        sala = b->width() - margem;
        if (!b->icon().isNull() && t->toolButtonStyle() == Qt::ToolButtonTextBesideIcon)
            sala -= t->iconSize().width() + 4;
    }
    if (largura > sala) Falta(f, b, texto, largura, sala);
    const int altura = fm.height();
    if (altura > b->height()) Falta(f, b, texto, altura, b->height(), "pixels high");
}

void MedeGrupo(std::vector<std::string>& f, QGroupBox* g) {
    const QString texto = SemAtalho(g->title());
    if (texto.isEmpty()) return;
    QStyleOptionGroupBox o;
    o.initFrom(g);
    o.text = g->title();
    o.lineWidth = 1;
    o.midLineWidth = 0;
    o.textAlignment = g->alignment();
    o.subControls = QStyle::SC_GroupBoxFrame | QStyle::SC_GroupBoxLabel;
    if (g->isCheckable()) o.subControls |= QStyle::SC_GroupBoxCheckBox;
    o.features = g->isFlat() ? QStyleOptionFrame::Flat : QStyleOptionFrame::None;
    const QRect rotulo = g->style()->subControlRect(QStyle::CC_GroupBox, &o, QStyle::SC_GroupBoxLabel, g);
    const int largura = QFontMetrics(g->font()).horizontalAdvance(texto);
    const int sala = g->width() - rotulo.left() - 2;
    if (largura > sala) Falta(f, g, texto, largura, sala);
}

void MedeAbas(std::vector<std::string>& f, QTabBar* t) {
    const QFontMetrics fm(t->font());
    for (int i = 0; i < t->count(); ++i) {
        if (!t->isTabVisible(i)) continue;
        const QString texto = SemAtalho(t->tabText(i));
        const QRect r = t->tabRect(i);
        const int largura = fm.horizontalAdvance(texto);
        const int sala = std::min(r.right(), t->width() - 1) - std::max(r.left(), 0) + 1 -
                         2 * t->style()->pixelMetric(QStyle::PM_TabBarTabHSpace, nullptr, t) / 3;
        if (largura > sala && !Reticencias(texto)) Falta(f, t, texto, largura, sala);
    }
}

// Header texts, and the cells of a grid with no scroll bars: all in view.
void MedeGrade(std::vector<std::string>& f, QAbstractItemView* v) {
    QAbstractItemModel* m = v->model();
    if (!m) return;
    for (QHeaderView* h : v->findChildren<QHeaderView*>(Qt::FindDirectChildrenOnly)) {
        if (!h->isVisible()) continue;
        const int n = h->count();
        const int margem = h->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, h);
        for (int s = 0; s < n; ++s) {
            if (h->isSectionHidden(s)) continue;
            const QString texto = m->headerData(s, h->orientation(), Qt::DisplayRole).toString();
            if (texto.isEmpty()) continue;
            QFont fonte = h->font();
            const QVariant fv = m->headerData(s, h->orientation(), Qt::FontRole);
            if (fv.canConvert<QFont>()) fonte = fv.value<QFont>();
            const QFontMetrics fm(fonte);
            const int largura = LarguraTexto(fm, texto) + 2 * margem;
            const int sala = h->orientation() == Qt::Horizontal ? h->sectionSize(s) : h->width();
            if (largura > sala) Falta(f, h, texto, largura, sala);
        }
    }
    auto* tabela = qobject_cast<QTableView*>(v);
    // The frozen margins of a grid scroll with the grid they lie over.
    if (!tabela || qobject_cast<QAbstractItemView*>(v->parentWidget())) return;
    // Each axis without a scroll bar: from the first section's start to the last one's end.
    for (const QHeaderView* h : {tabela->horizontalHeader(), tabela->verticalHeader()}) {
        const bool horizontal = h->orientation() == Qt::Horizontal;
        const auto politica = horizontal ? v->horizontalScrollBarPolicy() : v->verticalScrollBarPolicy();
        if (politica != Qt::ScrollBarAlwaysOff || h->count() == 0) continue;
        const int ultima = h->count() - 1;
        const int inicio = h->sectionViewportPosition(0);
        const int precisa = h->sectionViewportPosition(ultima) + h->sectionSize(ultima) - inicio;
        const int tem = horizontal ? v->viewport()->width() : v->viewport()->height();
        if (inicio != 0 || precisa > tem)
            f.push_back(Nome(v) + ": " + std::to_string(h->count()) + (horizontal ? " columns" : " rows") +
                        " need " + std::to_string(precisa) + " pixels, has " + std::to_string(tem));
    }
}

} // namespace

std::vector<std::string> TextosCortados(QWidget* janela) {
    std::vector<std::string> f;
    QList<QWidget*> ws = janela->findChildren<QWidget*>();
    ws.prepend(janela);
    for (QWidget* w : ws) {
        if (w != janela && !w->isVisibleTo(janela)) continue;
        if (w->window() != janela) continue; // a window of its own is measured as such
        if (auto* l = qobject_cast<QLabel*>(w))
            MedeRotulo(f, l);
        else if (auto* b = qobject_cast<QAbstractButton*>(w)) {
            // The tab bar's scroll arrows and the like belong to their widget.
            if (!qobject_cast<QTabBar*>(w->parentWidget())) MedeBotao(f, b);
        } else if (auto* g = qobject_cast<QGroupBox*>(w))
            MedeGrupo(f, g);
        else if (auto* t = qobject_cast<QTabBar*>(w))
            MedeAbas(f, t);
        else if (auto* v = qobject_cast<QAbstractItemView*>(w))
            MedeGrade(f, v);
    }
    return f;
}

std::vector<std::string> TituloCortado(QWidget* janela) {
    // The window manager's title is bold, in the desktop's font, beside the window's
    // icon and its three buttons.
    QFont fonte = janela->font();
    fonte.setBold(true);
    const QString titulo = janela->windowTitle();
    if (titulo.isEmpty()) return {};
    // Measured on the desktop's title bars: the text needs about 110 pixels beside it.
    const int largura = QFontMetrics(fonte).horizontalAdvance(titulo) + 115;
    if (largura <= janela->frameGeometry().width()) return {};
    return {Nome(janela) + " title \"" + titulo.toStdString() + "\": needs " + std::to_string(largura) +
            " pixels wide, has " + std::to_string(janela->frameGeometry().width())};
}

namespace {

std::string Titulo(QWidget* w) {
    return std::string(w->metaObject()->className()) + " \"" + w->windowTitle().toStdString() + "\"";
}

bool DoPrograma(QWidget* w) {
    const std::string c = w->metaObject()->className();
    return c.rfind("dorvan::", 0) == 0 || c == "QDialog" || c == "QMainWindow" || c == "QWidget";
}

} // namespace

void Achados::Mede(QWidget* janela, const std::string& onde) {
    if (!DoPrograma(janela)) return;
    std::vector<std::string> f = TextosCortados(janela);
    const std::vector<std::string> t = TituloCortado(janela);
    f.insert(f.end(), t.begin(), t.end());
    for (const std::string& s : f)
        if (vistos.insert(Titulo(janela) + s).second) faltas.push_back(onde + ": " + Titulo(janela) + ": " + s);
}

void Fecha(QWidget* w) {
    if (auto* d = qobject_cast<QDialog*>(w))
        d->reject();
    else
        w->close();
}

void MedeModal(Achados& a, const std::string& onde, const std::function<void()>& abre) {
    bool visto = false;
    QuandoModal([&](QWidget* w) {
        visto = true;
        a.Mede(w, onde);
        Fecha(w);
    });
    abre();
    EXPECT_TRUE(visto) << onde << ": no dialog came up";
}

} // namespace dorvan::teste

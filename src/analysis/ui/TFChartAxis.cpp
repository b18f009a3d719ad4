#include "analysis/ui/TFChartAxis.h"

#include "platform/Texto1252.h"

#include <QCheckBox>
#include <QFontDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace dorvan {

QFont ParaQFont(const FonteGrafico& f, const QFont& padrao) {
    QFont q = padrao;
    if (!f.Nome.empty()) q.setFamily(ParaQString(f.Nome));
    if (f.Tamanho > 0) q.setPointSize(f.Tamanho);
    q.setBold(f.Negrito);
    q.setItalic(f.Italico);
    return q;
}

FonteGrafico DeQFont(const QFont& f) {
    FonteGrafico r;
    r.Nome = DeQString(f.family());
    r.Tamanho = std::max(0, f.pointSize());
    r.Negrito = f.bold();
    r.Italico = f.italic();
    return r;
}

TFChartAxis::TFChartAxis(QWidget* pai) : QDialog(pai) {
    setObjectName(QStringLiteral("FChartAxis"));
    auto* v = new QVBoxLayout(this);
    auto caixa = [&](const char* nome, const char* texto) {
        auto* c = new QCheckBox(ParaQString(texto), this);
        c->setObjectName(QString::fromLatin1(nome));
        v->addWidget(c);
        return c;
    };
    cbGrade = caixa("cbGrade", "&Grade vis\xEDvel");
    cbLog = caixa("cbLog", "Escala &Logar\xEDtmica");
    cbInv = caixa("cbInv", "Escala &Inversa");
    cbTextos = caixa("cbTextos", "&Mostrar escala");
    v->addWidget(new QLabel(ParaQString("T\xEDtulo da escala"), this));
    edTitulo = new QLineEdit(this);
    edTitulo->setObjectName(QStringLiteral("edTitulo"));
    v->addWidget(edTitulo);
    bFont = new QPushButton(QStringLiteral("&Fonte da escala"), this);
    bFont->setObjectName(QStringLiteral("bFont"));
    v->addWidget(bFont);
    cbMostraZero = caixa("cbMostraZero", "Mostrar &Zero");
    bOK = new QPushButton(QStringLiteral("OK"), this);
    bOK->setObjectName(QStringLiteral("bOK"));
    bOK->setDefault(true);
    v->addWidget(bOK);
    connect(bFont, &QPushButton::clicked, this, [this] { bFontClick(); });
    connect(bOK, &QPushButton::clicked, this, &QDialog::accept);
}

void TFChartAxis::Mostra(const OpcoesEixo& o) {
    cbGrade->setChecked(o.Grade);
    cbLog->setChecked(o.Logaritmico);
    cbInv->setChecked(o.Invertido);
    cbTextos->setChecked(o.MostraRotulos);
    edTitulo->setText(ParaQString(o.Titulo));
    fonteOriginal_ = o.Fonte;
    fonteEscolhida_ = false;
    Fonte = ParaQFont(o.Fonte, font());
    cbMostraZero->setChecked(o.MostraZero);
}

OpcoesEixo TFChartAxis::Opcoes() const {
    OpcoesEixo o;
    o.Grade = cbGrade->isChecked();
    o.Logaritmico = cbLog->isChecked();
    o.Invertido = cbInv->isChecked();
    o.MostraRotulos = cbTextos->isChecked();
    o.Titulo = DeQString(edTitulo->text());
    // An untouched font stays as it was (a default font keeps following the window's).
    o.Fonte = fonteEscolhida_ ? DeQFont(Fonte) : fonteOriginal_;
    o.MostraZero = cbMostraZero->isChecked();
    return o;
}

void TFChartAxis::bFontClick() {
    bool ok = false;
    const QFont f = QFontDialog::getFont(&ok, Fonte, this);
    if (!ok) return;
    Fonte = f;
    fonteEscolhida_ = true;
}

} // namespace dorvan

#include "output/ui/TfImprime.h"

#include "platform/Texto1252.h"
#include "platform/ui/Impressora.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QDate>
#include <QFontDialog>
#include <QFontMetrics>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QVBoxLayout>
#include <stdexcept>

namespace dorvan {

QPrinter& ImpressoraAtual() {
    static QPrinter impressora(QPrinter::HighResolution);
    return impressora;
}

QFont MedidaQt::Fonte(double escala, bool negrito) const {
    QFont f = base_;
    const double pontos = base_.pointSizeF() > 0 ? base_.pointSizeF() : 10;
    f.setPointSizeF(pontos * escala);
    if (negrito) f.setBold(true);
    return f;
}

int MedidaQt::Largura(const std::string& texto, double escala, bool negrito) const {
    return QFontMetrics(Fonte(escala, negrito), dispositivo_).horizontalAdvance(ParaQString(texto));
}

int MedidaQt::Altura(double escala) const { return QFontMetrics(Fonte(escala, false), dispositivo_).height(); }

void DesenhaPagina(QPainter& p, const PaginaImpressa& pagina, const MedidaQt& medida) {
    for (const ElementoPagina& e : pagina) {
        if (e.tipo == ElementoPagina::Tipo::Regua) {
            p.setPen(QPen(Qt::black, 0));
            p.drawLine(e.x, e.y, e.x + e.largura, e.y);
            continue;
        }
        p.setFont(medida.Fonte(e.escala, e.negrito));
        if (e.recorta) p.setClipRect(QRect(e.caixaX, e.y, e.caixaLargura, e.altura));
        const QString texto = ParaQString(e.texto);
        const int largura = QFontMetrics(p.font(), p.device()).horizontalAdvance(texto) + 2;
        p.drawText(QRect(e.x, e.y, largura, std::max(e.altura, 1)), Qt::AlignLeft | Qt::AlignTop | Qt::TextDontClip,
                   texto);
        if (e.recorta) p.setClipping(false);
    }
}

namespace {
QString Q(const char* texto1252) { return ParaQString(texto1252); }

int Inteiro(QLineEdit* ed) {
    bool ok = false;
    const int n = ed->text().trimmed().toInt(&ok);
    if (!ok) throw std::runtime_error("'" + DeQString(ed->text()) + "' is not a valid integer value");
    return n;
}
} // namespace

TfImprime::TfImprime(TabelaResultados& t, QWidget* pai) : QDialog(pai), t_(t) {
    setObjectName(QStringLiteral("fImprime"));
    setWindowTitle(QStringLiteral("Imprime"));
    setProperty("ContextoAjuda", 9);
    FontDialog1 = QFont(QStringLiteral("Arial Narrow"), 10);

    auto Edita = [this](const char* nome, int maximo) {
        auto* e = new QLineEdit(this);
        e->setObjectName(QString::fromLatin1(nome));
        if (maximo > 0) e->setMaxLength(maximo);
        return e;
    };
    edTitulo1 = Edita("edTitulo1", 80);
    edTitulo2 = Edita("edTitulo2", 80);
    edRodape = Edita("edRodape", 80);
    edInic = Edita("edInic", 0);
    edFinal = Edita("edFinal", 0);
    cbNotas = new QCheckBox(QStringLiteral(" Imprime notas"), this);
    cbNotas->setObjectName(QStringLiteral("cbNotas"));
    cbData = new QCheckBox(QStringLiteral(" Imprime  data"), this);
    cbData->setObjectName(QStringLiteral("cbData"));
    LMsg = new QLabel(this);
    LMsg->setObjectName(QStringLiteral("LMsg"));
    LMsg->setStyleSheet(QStringLiteral("color: red"));
    auto Botao = [this](const char* nome, const char* texto) {
        auto* b = new QPushButton(QString::fromLatin1(texto), this);
        b->setObjectName(QString::fromLatin1(nome));
        return b;
    };
    bImprime = Botao("bImprime", "&OK");
    bImprime->setDefault(true);
    bSair = Botao("bSair", "Sai&r");
    bSetUp = Botao("bSetUp", "&SetUp");
    bFontes = Botao("bFontes", "&Fontes");

    auto* grade = new QGridLayout;
    grade->addWidget(new QLabel(Q("Cabe\xE7" "alho1"), this), 0, 0);
    grade->addWidget(edTitulo1, 0, 1, 1, 3);
    grade->addWidget(new QLabel(Q("Cabe\xE7" "alho2"), this), 1, 0);
    grade->addWidget(edTitulo2, 1, 1, 1, 3);
    grade->addWidget(new QLabel(Q("Rodap\xE9"), this), 2, 0);
    grade->addWidget(edRodape, 2, 1, 1, 3);
    grade->addWidget(new QLabel(Q("P\xE1gina inicial"), this), 3, 0);
    grade->addWidget(edInic, 3, 1);
    grade->addWidget(new QLabel(Q("P\xE1gina final"), this), 3, 2);
    grade->addWidget(edFinal, 3, 3);
    grade->addWidget(cbNotas, 4, 1);
    grade->addWidget(cbData, 4, 3);
    auto* botoes = new QHBoxLayout;
    for (QPushButton* b : {bImprime, bSair, bSetUp, bFontes}) botoes->addWidget(b);
    auto* tudo = new QVBoxLayout(this);
    tudo->addLayout(grade);
    tudo->addWidget(LMsg);
    tudo->addLayout(botoes);

    connect(edTitulo1, &QLineEdit::editingFinished, this, [this] { edTitulo1Exit(); });
    connect(edTitulo2, &QLineEdit::editingFinished, this, [this] { edTitulo2Exit(); });
    connect(edRodape, &QLineEdit::editingFinished, this, [this] { edRodapeExit(); });
    connect(bFontes, &QPushButton::clicked, this, [this] { bFontesClick(); });
    connect(bSetUp, &QPushButton::clicked, this, [this] { bSetUpClick(); });
    connect(bSair, &QPushButton::clicked, this, &QDialog::reject);
    connect(bImprime, &QPushButton::clicked, this, [this] {
        if (bImprimeClick()) accept();
    });
}

TfImprime::~TfImprime() = default;

void TfImprime::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    FormShow();
}

void TfImprime::FormShow() {
    edTitulo1->setText(ParaQString(t_.Titulo1));
    edTitulo2->setText(ParaQString(t_.Titulo2));
    edRodape->setText(ParaQString(t_.Rodape));
    cbNotas->setChecked(false);
    cbNotas->setVisible(t_.NumNotas() > 0);
    CalculaPaginas();
}

void TfImprime::CalculaPaginas() {
    QPrinter& impressora = ImpressoraAtual();
    medida_ = std::make_unique<MedidaQt>(FontDialog1, &impressora);
    layout_ = std::make_unique<ImpressaoTabela>(t_, *medida_, impressora.width(), impressora.height());
    layout_->CalculaPaginas();
    edInic->setText(QStringLiteral("1"));
    edFinal->setText(QString::number(layout_->TotalPaginas()));
    LMsg->setText(ParaQString(layout_->MensagemFaixas()));
}

namespace {
void TrocaTitulo(TabelaResultados& t, std::string& titulo, QLineEdit* ed) {
    const std::string novo = DeQString(ed->text()).substr(0, 80);
    if (DeQString(ed->text()) == titulo) return;
    titulo = novo;
    t.Modificada = true;
}
} // namespace

void TfImprime::edTitulo1Exit() { TrocaTitulo(t_, t_.Titulo1, edTitulo1); }
void TfImprime::edTitulo2Exit() { TrocaTitulo(t_, t_.Titulo2, edTitulo2); }
void TfImprime::edRodapeExit() { TrocaTitulo(t_, t_.Rodape, edRodape); }

void TfImprime::bFontesClick() {
    bool ok = false;
    const QFont f = QFontDialog::getFont(&ok, FontDialog1, this, QString(), QFontDialog::ScalableFonts);
    if (ok) FontDialog1 = f;
    CalculaPaginas();
}

void TfImprime::bSetUpClick() {
    QPrintDialog dialogo(&ImpressoraAtual(), this);
    dialogo.exec();
    CalculaPaginas();
}

bool TfImprime::bImprimeClick() {
    // The titles typed last count even when the edit kept the focus.
    edTitulo1Exit();
    edTitulo2Exit();
    edRodapeExit();
    const int inicio = Inteiro(edInic);
    const int fim = Inteiro(edFinal);
    if (!layout_) CalculaPaginas();
    // Pages outside the layout hold no rows; the range keeps to the pages there are.
    const int primeira = std::max(1, inicio);
    const int ultima = std::min(fim, layout_->TotalPaginas());
    const std::string data =
        cbData->isChecked() ? DeQString(QLocale().toString(QDate::currentDate(), QLocale::ShortFormat)) : std::string();

    QPrinter& impressora = ImpressoraAtual();
    const DestinoImpressao destino(impressora, this);
    if (!destino.Pronto()) return false;
    QPainter p;
    if (!p.begin(&impressora))
        throw std::runtime_error(destino.Falha("A impressora selecionada n\xE3o \xE9 v\xE1lida"));
    bool primeiraFolha = true;
    for (int pg = primeira; pg <= ultima; ++pg) {
        LMsg->setText(ParaQString("Imprimindo p\xE1gina " + std::to_string(pg)));
        QCoreApplication::processEvents();
        if (!primeiraFolha) impressora.newPage();
        primeiraFolha = false;
        DesenhaPagina(p, layout_->MontaPagina(pg, data), *medida_);
    }
    if (cbNotas->isChecked()) {
        if (!primeiraFolha) impressora.newPage();
        DesenhaPagina(p, layout_->MontaNotas(), *medida_);
    }
    p.end();
    LMsg->clear();
    destino.Concluido();
    return true;
}

} // namespace dorvan

#include "analysis/ui/TRGrafico.h"

#include "platform/Arquivos.h"
#include "platform/Erros.h"
#include "platform/Texto1252.h"

#include <QAction>
#include <QApplication>
#include <QBuffer>
#include <QClipboard>
#include <QFileDialog>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QMoveEvent>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QResizeEvent>
#include <QStyle>
#include <QSvgRenderer>
#include <QToolBar>
#include <filesystem>
#include <system_error>

namespace dorvan {

TRGrafico* RGrafico = nullptr;

// ---- the picture ----

FiguraR::FiguraR() = default;
FiguraR::~FiguraR() = default;

std::unique_ptr<FiguraR> FiguraR::Carrega(const std::string& arquivo) {
    auto f = std::make_unique<FiguraR>();
    const std::string bytes = LeArquivoInteiro(arquivo);
    f->dados_ = QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size()));
    // The content decides, whatever the name says: a ".wmf" chosen here may hold SVG.
    auto svg = std::make_unique<QSvgRenderer>();
    const std::string desenho = SvgParaDesenho(bytes);
    if (svg->load(QByteArray(desenho.data(), static_cast<qsizetype>(desenho.size()))) && svg->isValid()) {
        f->svg_ = std::move(svg);
        f->tipo_ = TipoFiguraR::Vetorial;
        return f;
    }
    if (f->imagem_.loadFromData(f->dados_) && !f->imagem_.isNull()) {
        f->tipo_ = TipoFiguraR::Bitmap;
        return f;
    }
    throw ErroES(arquivo, "formato de figura desconhecido");
}

QSize FiguraR::Tamanho() const {
    if (svg_) return svg_->defaultSize();
    return imagem_.size();
}

void FiguraR::Desenha(QPainter& p, const QRectF& r) const {
    if (svg_)
        svg_->render(&p, r);
    else if (!imagem_.isNull())
        p.drawImage(r, imagem_);
}

void FiguraR::Grava(const std::string& arquivo) const {
    if (tipo_ == TipoFiguraR::Vetorial) {
        GravaArquivoInteiro(arquivo, std::string_view(dados_.constData(), static_cast<size_t>(dados_.size())));
        return;
    }
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    imagem_.save(&buffer, "PNG");
    GravaArquivoInteiro(arquivo, std::string_view(png.constData(), static_cast<size_t>(png.size())));
}

// ---- the picture control ----

ImagemR::ImagemR(QWidget* pai) : QWidget(pai) {
    setObjectName(QStringLiteral("Image1"));
    setAutoFillBackground(true);
}

void ImagemR::DefineFigura(std::unique_ptr<FiguraR> f) {
    figura_ = std::move(f);
    update();
}

void ImagemR::paintEvent(QPaintEvent*) {
    if (!figura_) return;
    QPainter p(this);
    // Stretched, the picture fills the control; otherwise the control has its size.
    figura_->Desenha(p, QRectF(rect()));
}

// ---- the window ----

namespace {

QAction* Botao(QWidget* dono, const char* nome, const QString& texto, const QString& dica) {
    auto* a = new QAction(texto, dono);
    a->setObjectName(QString::fromLatin1(nome));
    a->setToolTip(dica);
    return a;
}

} // namespace

TRGrafico::TRGrafico(Configuracao& cfg, QWidget* pai) : QMainWindow(pai), cfg_(cfg) {
    setObjectName(QStringLiteral("RGrafico"));
    setWindowTitle(QStringLiteral("Grafico do R"));
    resize(491, 554);
    const QStyle* st = style();

    bSair = Botao(this, "bSair", QStringLiteral("Sair"), QStringLiteral("Fecha a janela"));
    bSair->setIcon(st->standardIcon(QStyle::SP_DialogCloseButton));
    bClipBoard = Botao(this, "bClipBoard", QStringLiteral("Copiar"), QStringLiteral("Copia Metafile para o ClipBoard"));
    bStretch = Botao(this, "bStretch", QStringLiteral("Tamanho"), QStringLiteral("Tamanho original"));
    bSalvar = Botao(this, "bSalvar", QStringLiteral("Salvar"), QStringLiteral("Salva como Windows Metafile"));
    bSalvar->setIcon(st->standardIcon(QStyle::SP_DialogSaveButton));
    bImprime = Botao(this, "bImprime", QStringLiteral("Imprime"), QStringLiteral("Imprime"));
    bOpen = Botao(this, "bOpen", QStringLiteral("Abrir"), QStringLiteral("Abre Windows Metafile"));
    bOpen->setIcon(st->standardIcon(QStyle::SP_DialogOpenButton));
    Panel1 = new QToolBar(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setMovable(false);
    addToolBar(Panel1);
    for (QAction* a : {bSair, bClipBoard, bStretch, bSalvar, bImprime, bOpen})
        Panel1->addAction(a);
    Panel1->addSeparator();
    for (int i = 0; i < 9; ++i) {
        const QString legenda = QStringLiteral("%1").arg(i + 1, 2, 10, QLatin1Char('0'));
        sb[static_cast<size_t>(i)] = Botao(this, ("sb" + legenda.toStdString()).c_str(), legenda, legenda);
        Panel1->addAction(sb[static_cast<size_t>(i)]);
        connect(sb[static_cast<size_t>(i)], &QAction::triggered, this, [this, i] { sb01Click(i); });
    }
    bMais = Botao(this, "bMais", QStringLiteral("..."),
                  ParaQString("Ver demais gr\xE1"
                              "ficos"));
    // A tool button shows the icon text, which leaves out a closing "...".
    bMais->setIconText(QStringLiteral("..."));
    Panel1->addAction(bMais);

    QMenu* arquivo = menuBar()->addMenu(QStringLiteral("&Arquivo"));
    Abrir1 = arquivo->addAction(QStringLiteral("&Abrir"));
    Salvarcomo1 = arquivo->addAction(QStringLiteral("&Salvar como..."));
    Imprimir1 = arquivo->addAction(QStringLiteral("&Imprimir"));
    Sair1 = arquivo->addAction(QStringLiteral("Sai&r"));
    QMenu* editar = menuBar()->addMenu(QStringLiteral("&Editar"));
    CopiaMetafile1 = editar->addAction(QStringLiteral("Copia para ClipBoard como &Metafile"));
    bCopiaBitMap = editar->addAction(QStringLiteral("Copia para ClipBoard como &BitMap"));
    bCopiaBitMap->setObjectName(QStringLiteral("bCopiaBitMap"));

    Image1 = new ImagemR(this);
    setCentralWidget(Image1);

    connect(bSair, &QAction::triggered, this, &TRGrafico::Sair1Click);
    connect(Sair1, &QAction::triggered, this, &TRGrafico::Sair1Click);
    connect(bClipBoard, &QAction::triggered, this, &TRGrafico::bClipBoardClick);
    // The metafile item does what the tool button does.
    connect(CopiaMetafile1, &QAction::triggered, this, &TRGrafico::bClipBoardClick);
    connect(bCopiaBitMap, &QAction::triggered, this, &TRGrafico::bCopiaBitMapClick);
    connect(bStretch, &QAction::triggered, this, &TRGrafico::bStretchClick);
    connect(bSalvar, &QAction::triggered, this, &TRGrafico::bSalvarClick);
    connect(Salvarcomo1, &QAction::triggered, this, &TRGrafico::bSalvarClick);
    connect(bImprime, &QAction::triggered, this, &TRGrafico::bImprimeClick);
    connect(Imprimir1, &QAction::triggered, this, &TRGrafico::bImprimeClick);
    for (QAction* a : {bOpen, bMais, Abrir1})
        connect(a, &QAction::triggered, this, &TRGrafico::Abrir1Click);

    EscolheAbrir = [this] {
        QFileDialog d(this, QStringLiteral("Abre Windows Metafile"));
        d.setNameFilter(QStringLiteral("Windows Metafile (*.svg *.wmf *.emf *.png)"));
        d.setFileMode(QFileDialog::ExistingFile);
        d.setDirectory(QString::fromStdString(PastaGraficos()));
        if (d.exec() != QDialog::Accepted || d.selectedFiles().isEmpty()) return std::string();
        return d.selectedFiles().first().toStdString();
    };
    EscolheSalvar = [this] {
        QFileDialog d(this, QStringLiteral("Salva como Windows Metafile"));
        d.setAcceptMode(QFileDialog::AcceptSave);
        const bool vetor = !Image1->Figura() || Image1->Figura()->Tipo() == TipoFiguraR::Vetorial;
        d.setNameFilter(vetor ? QStringLiteral("Windows Meta File (*.svg)") : QStringLiteral("Figura (*.png)"));
        d.setDefaultSuffix(vetor ? QStringLiteral("svg") : QStringLiteral("png"));
        if (d.exec() != QDialog::Accepted || d.selectedFiles().isEmpty()) return std::string();
        return d.selectedFiles().first().toStdString();
    };
    PreparaImpressora = [this](QPrinter& p) {
        QPrintDialog d(&p, this);
        return d.exec() == QDialog::Accepted;
    };

    // Position, size and stretch as the settings keep them.
    const Limites& l = cfg_.RGrafico;
    if (l.Width > 0 && l.Height > 0) setGeometry(l.Left, l.Top, l.Width, l.Height);
    Image1->Stretch = true;
    if (!cfg_.RGraficoStretch) bStretchClick();
    iniciado_ = true;
}

TRGrafico::~TRGrafico() {
    if (RGrafico == this) RGrafico = nullptr;
}

std::string TRGrafico::PastaGraficos() {
    std::error_code e;
    std::string p = std::filesystem::current_path(e).string();
    if (p.empty() || p.back() != '/') p += '/';
    return p;
}

void TRGrafico::showEvent(QShowEvent* e) {
    QMainWindow::showEvent(e);
    FormShow();
}

void TRGrafico::GuardaLimites() {
    if (!iniciado_) return;
    const QRect g = geometry();
    cfg_.RGrafico = Limites{g.top(), g.left(), g.width(), g.height()};
}

void TRGrafico::moveEvent(QMoveEvent* e) {
    QMainWindow::moveEvent(e);
    GuardaLimites();
}

void TRGrafico::resizeEvent(QResizeEvent* e) {
    QMainWindow::resizeEvent(e);
    GuardaLimites();
}

void TRGrafico::FormShow() {
    const BotoesGraficoR b = EstadoBotoesGraficoR(PastaGraficos());
    for (size_t i = 0; i < 9; ++i) {
        sb[i]->setVisible(b.visivel[i]);
        sb[i]->setEnabled(b.ativo[i]);
    }
    bMais->setVisible(b.mais);
}

void TRGrafico::HabilitaTodos() {
    for (QAction* a : {bSair, bClipBoard, bStretch, bSalvar, bImprime, bOpen, bMais})
        a->setEnabled(true);
    for (QAction* a : sb)
        a->setEnabled(true);
}

void TRGrafico::sb01Click(int indice) {
    QAction* botao = sb[static_cast<size_t>(indice)];
    // The picture changes first: a missing plot leaves the buttons as they were.
    const std::string legenda = botao->text().toStdString();
    std::string arquivo = ArquivoGraficoR(PastaGraficos(), legenda);
    if (arquivo.empty()) arquivo = NomeGraficoR(PastaGraficos(), legenda); // its error names it
    CarregaFigura(arquivo);
    HabilitaTodos();
    botao->setEnabled(false);
}

void TRGrafico::CarregaFigura(const std::string& arquivo) {
    Image1->DefineFigura(FiguraR::Carrega(arquivo));
    AjustaImagem();
}

void TRGrafico::Abrir1Click() {
    const std::string arquivo = EscolheAbrir ? EscolheAbrir() : std::string();
    if (arquivo.empty()) return;
    CarregaFigura(arquivo);
}

void TRGrafico::bSalvarClick() {
    const FiguraR* f = Image1->Figura();
    if (!f) return;
    const std::string escolhido = EscolheSalvar ? EscolheSalvar() : std::string();
    if (escolhido.empty()) return;
    f->Grava(NomeParaSalvar(escolhido, f->Tipo()));
}

void TRGrafico::ImprimeEm(QPrinter& impressora) {
    QPainter p;
    if (!p.begin(&impressora))
        throw ErroES(impressora.outputFileName().toStdString(), "impressora n\xE3o dispon\xEDvel");
    const QRect pagina = impressora.pageLayout().paintRectPixels(impressora.resolution());
    const QuadroImpressao q = QuadroImpressaoGrafico(pagina.width(), pagina.height());
    if (const FiguraR* f = Image1->Figura()) f->Desenha(p, QRectF(q.esquerda, q.topo, q.lado, q.lado));
    p.end();
}

void TRGrafico::bImprimeClick() {
    QPrinter impressora(QPrinter::HighResolution);
    if (PreparaImpressora && !PreparaImpressora(impressora)) return;
    ImprimeEm(impressora);
}

void TRGrafico::bClipBoardClick() {
    const FiguraR* f = Image1->Figura();
    if (!f) return;
    auto* dados = new QMimeData;
    if (f->Tipo() == TipoFiguraR::Vetorial) dados->setData(QStringLiteral("image/svg+xml"), f->Dados());
    // Programs that take no vector picture get it drawn at its own size.
    QSize s = f->Tamanho();
    if (s.isEmpty()) s = Image1->size();
    QImage imagem(s, QImage::Format_ARGB32);
    imagem.fill(Qt::white);
    {
        QPainter p(&imagem);
        f->Desenha(p, QRectF(QPointF(0, 0), QSizeF(s)));
    }
    dados->setImageData(imagem);
    QApplication::clipboard()->setMimeData(dados);
}

void TRGrafico::bCopiaBitMapClick() {
    const FiguraR* f = Image1->Figura();
    QImage imagem(Image1->size(), QImage::Format_RGB32);
    imagem.fill(Qt::white);
    if (f) {
        QPainter p(&imagem);
        f->Desenha(p, QRectF(imagem.rect()));
    }
    QApplication::clipboard()->setImage(imagem);
}

void TRGrafico::AjustaImagem() {
    if (Image1->Stretch) {
        if (centralWidget() != Image1) setCentralWidget(Image1);
        return;
    }
    // At its own size the picture sits in the corner below the tool bar.
    if (centralWidget() == Image1) {
        takeCentralWidget();
        Image1->setParent(this);
        Image1->show();
    }
    const FiguraR* f = Image1->Figura();
    const QSize s = f ? f->Tamanho() : QSize(0, 0);
    Image1->setGeometry(0, menuBar()->height() + Panel1->height(), s.width(), s.height());
    Image1->update();
}

void TRGrafico::bStretchClick() {
    Image1->Stretch = !Image1->Stretch;
    cfg_.RGraficoStretch = Image1->Stretch;
    AjustaImagem();
}

void TRGrafico::Sair1Click() {
    close();
    HabilitaTodos();
}

} // namespace dorvan

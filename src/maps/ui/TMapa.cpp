#include "maps/ui/TMapa.h"

#include "maps/ui/ComandosCamadas.h"
#include "maps/ui/PintaMapa.h"
#include "maps/ui/TEscolheNome.h"
#include "maps/Importadores.h"
#include "platform/ui/Janelas.h"
#include "maps/ui/TFEscala.h"
#include "output/GravaDBF.h"
#include "platform/Arquivos.h"
#include "platform/Erros.h"
#include "platform/Ini.h"
#include "platform/Mensagens.h"
#include "platform/Numeros.h"
#include "platform/Processos.h"
#include "platform/Texto1252.h"
#include "table/Configuracao.h"
#include "table/ui/EscolhaTabela.h"
#include "table/ui/TForm1.h"

#include <QAction>
#include <QApplication>
#include <QColorDialog>
#include <QComboBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPainter>
#include <QSpinBox>
#include <QTableWidget>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

#include <QShowEvent>

#include <algorithm>
#include <filesystem>

namespace dorvan {

TMapa* Mapa = nullptr;

namespace {

namespace fs = std::filesystem;

const char* const NaoDisponivel = "Comando ainda n\xE3o dispon\xEDvel nesta vers\xE3o.";
const char* const FiltroOpenMapa =
    "Mapa do Dorvan (map)|*.map|ARC/INFO Export (e00)|*.e00|ArcView Shapefile (shp)|*.shp|Atlas-GIS (bna)|*.bna|"
    "EpiMap Boundary File (bnd)|*.bnd|MapInfo (mif/mid)|*.mif|Map Maker Export (mme) |*.mme|Garmin PCX5 (wpt)|*.wpt";
const char* const FiltroBaseMapa = "Mapas do Dorvan|*.map|Arquivo dBase III +|*.dbf|WayPoints de GPS|*.gpx|"
                                   "Todos formatos suportados|*.map;*.dbf;*.gpx";
constexpr int LarguraPainel = 115;

std::string PastaDe(const std::string& arquivo) {
    const fs::path p = fs::absolute(fs::path(arquivo)).parent_path();
    std::string s = p.string();
    if (s.empty() || s.back() != '/') s += '/';
    return s;
}

QString Coordenada(double v) {
    // Fixed with 5 decimals and the locale's decimal mark, without grouping.
    QString s = QString::fromStdString(NumeroMaquina(v, 5));
    return s.replace(QLatin1Char('.'), QLocale().decimalPoint());
}

} // namespace

PerguntasMapa& PerguntasDoMapa() {
    static PerguntasMapa p{
        [](const std::string& titulo, const std::string& filtro, int indice, const std::string& pasta) {
            QFileDialog d(QApplication::activeWindow(), ParaQString(titulo), QString::fromStdString(pasta));
            d.setFileMode(QFileDialog::ExistingFile);
            const QStringList filtros = FiltrosQt(filtro);
            d.setNameFilters(filtros);
            if (indice >= 1 && indice <= filtros.size()) d.selectNameFilter(filtros[indice - 1]);
            if (d.exec() != QDialog::Accepted || d.selectedFiles().isEmpty()) return std::string();
            return d.selectedFiles().first().toStdString();
        },
        [](const QColor& atual) -> std::optional<QColor> {
            const QColor c = QColorDialog::getColor(atual, QApplication::activeWindow());
            if (!c.isValid()) return std::nullopt;
            return c;
        }};
    return p;
}

// The client area: paints the last redraw and the drag outline, passes the mouse on.
class ClienteMapa : public QWidget {
public:
    explicit ClienteMapa(TMapa& m) : QWidget(&m), m_(m) {
        setMouseTracking(true);
        setAttribute(Qt::WA_OpaquePaintEvent);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.fillRect(rect(), Qt::white);
        p.drawImage(0, 0, m_.imagem_);
        if (!m_.arrasto_) return;
        p.setPen(QPen(Qt::black, 1, Qt::DotLine));
        p.setBrush(Qt::NoBrush);
        const QPoint a = m_.inicio_, b = *m_.arrasto_;
        if (m_.ModoZoom) {
            p.drawRect(QRect(a, b).normalized());
        } else if (m_.ModoPan) {
            const QPoint d = b - a;
            p.drawRect(QRect(d.x(), d.y(), width() - m_.Panel1->width(), height()));
            p.drawLine(a, b);
        }
    }
    void resizeEvent(QResizeEvent*) override { m_.Redimensionado(); }
    void mousePressEvent(QMouseEvent* e) override { m_.MouseDown(e->button(), e->position().toPoint()); }
    void mouseMoveEvent(QMouseEvent* e) override {
        m_.MouseMove(e->position().toPoint(), (e->buttons() & Qt::LeftButton) != 0);
    }
    void mouseReleaseEvent(QMouseEvent* e) override { m_.MouseUp(e->button(), e->position().toPoint()); }

private:
    TMapa& m_;
};

TMapa::TMapa(TabelaResultados& t, Configuracao& cfg, QWidget* pai)
    : QMainWindow(pai, JanelaAuxiliar), t_(t), cfg_(cfg) {
    setObjectName(QStringLiteral("Mapa"));
    setWindowTitle(QStringLiteral("Mapa"));
    Cliente = new ClienteMapa(*this);
    setCentralWidget(Cliente);
    Timer1 = new QTimer(this);
    Timer1->setSingleShot(true);
    Timer1->setInterval(IntervaloRedesenhoMs);
    connect(Timer1, &QTimer::timeout, this, [this] { Timer1Timer(); });

    const std::pair<const char*, void (TMapa::*)()> proprios[] = {
        {"Button1Click", &TMapa::Button1Click},
        {"Button2Click", &TMapa::Button2Click},
        {"Button3Click", &TMapa::Button3Click},
        {"IntervalosIguais1Click", &TMapa::IntervalosIguais1Click},
        {"IgualFrequencia1Click", &TMapa::IgualFrequencia1Click},
        {"ZoomClick", &TMapa::ZoomClick},
        {"ZoomOutClick", &TMapa::ZoomOutClick},
        {"bPanClick", &TMapa::bPanClick},
        {"BLegendaClick", &TMapa::BLegendaClick},
        {"bValorClick", &TMapa::bValorClick},
        {"bMostraSedeClick", &TMapa::bMostraSedeClick},
        {"bBordaPretaClick", &TMapa::bBordaPretaClick},
        {"PegaLegendaDoMapa1Click", &TMapa::PegaLegendaDoMapa1Click},
        {"BTrocaMapaClick", &TMapa::BTrocaMapaClick},
        {"bTerraViewClick", &TMapa::bTerraViewClick},
        {"BSairClick", &TMapa::BSairClick},
    };
    for (const auto& [nome, metodo] : proprios)
        comandos_[QString::fromLatin1(nome)] = [this, m = metodo] { (this->*m)(); };

    CriaMenus();
    CriaPainel();
    ligacoesCamadas_ = LigaCamadasMapa(*this);

    try {
        ArquivoIni ini(cfg_.ArquivoIni);
        if (!cfg_.ArquivoIni.empty()) ini.Le();
        dirTerraView_ = ini.LeTexto(SecaoTerraView, ChaveTerraView, "");
    } catch (const std::exception&) {
        dirTerraView_.clear(); // unreadable settings: the button stays hidden
    }
    bTerraView->setVisible(!dirTerraView_.empty());

    // FormCreate: display flags off, black borders, no zoom; "Igual freqüência" checked.
    Opcoes = OpcoesMapa{};
    t_.SemClasses = true;
    CorNormal(t_);
    Acao(QStringLiteral("IgualFrequencia1"))->setChecked(true);
    LimpaPosicao();
    AtualizaChecks();
    resize(800, 600);
}

TMapa::~TMapa() {
    if (Mapa == this) Mapa = nullptr;
}

QAction* TMapa::NovaAcao(QMenu* menu, const QString& nome, const QString& texto, const QString& manipulador) {
    auto* a = new QAction(texto, this);
    a->setObjectName(nome);
    connect(a, &QAction::triggered, this, [this, manipulador] { Executa(manipulador); });
    if (menu) menu->addAction(a);
    acoes_[nome] = a;
    return a;
}

QToolButton* TMapa::NovoBotao(const QString& nome, const QString& dica, const QString& manipulador) {
    auto* b = new QToolButton(Panel1);
    QAction* a = NovaAcao(nullptr, nome, dica, manipulador);
    a->setToolTip(dica);
    b->setDefaultAction(a);
    b->setObjectName(nome);
    b->setFixedSize(34, 26);
    b->setToolButtonStyle(Qt::ToolButtonTextOnly);
    return b;
}

QAction* TMapa::Acao(const QString& nome) const {
    auto i = acoes_.find(nome);
    return i == acoes_.end() ? nullptr : i->second;
}

void TMapa::DefineComando(const QString& manipulador, std::function<void()> f) {
    comandos_[manipulador] = std::move(f);
}

void TMapa::Executa(const QString& manipulador) {
    // What a command of this window says opens in front of it.
    MensagensSobre sobre(this);
    auto i = comandos_.find(manipulador);
    if (i != comandos_.end() && i->second) {
        i->second();
        return;
    }
    MensagensAtuais().Mostra(NaoDisponivel);
}

void TMapa::CriaMenus() {
    auto u = [](const char* utf8) { return QString::fromUtf8(utf8); };
    QMenu* mapa = menuBar()->addMenu(u("&Mapa"));
    connect(mapa, &QMenu::aboutToShow, this, [this] { AtualizaChecks(); });
    NovaAcao(mapa, u("Repinta1"), u("&Repinta o mapa"), u("Button1Click"));
    NovaAcao(mapa, u("MudaPaleta1"), u("Muda paleta de &cores"), u("Button2Click"));
    NovaAcao(mapa, u("EditarClasses1"), u("&Editar classes do mapa"), u("Button3Click"));
    NovaAcao(mapa, u("IntervalosIguais1"), u("Classes de intervalos &iguais"), u("IntervalosIguais1Click"))
        ->setCheckable(true);
    NovaAcao(mapa, u("IgualFrequencia1"), u("Classes de igual &freqüência"), u("IgualFrequencia1Click"))
        ->setCheckable(true);
    mapa->addSeparator();
    NovaAcao(mapa, u("ZoomIn1"), u("&Zoom in"), u("ZoomClick"));
    NovaAcao(mapa, u("ZoomOut1"), u("Zoom &out"), u("ZoomOutClick"))->setEnabled(false);
    mapa->addSeparator();
    NovaAcao(mapa, u("MostrarLegendas1"), u("Mostrar &legendas"), u("BLegendaClick"))->setCheckable(true);
    NovaAcao(mapa, u("MostrarValores1"), u("Mostrar &valores"), u("bValorClick"))->setCheckable(true);
    NovaAcao(mapa, u("MostrarSede1"), u("Mostrar &sede"), u("bMostraSedeClick"))->setCheckable(true);
    NovaAcao(mapa, u("Bordas1"), u("&Bordas"), u("bBordaPretaClick"))->setCheckable(true);
    NovaAcao(mapa, u("PegaLegendaDoMapa1"), u("Pega legendas do .&map"), u("PegaLegendaDoMapa1Click"))
        ->setCheckable(true);
    mapa->addSeparator();
    NovaAcao(mapa, u("AbrirNovoMapa1"), u("&Abrir novo mapa base"), u("BTrocaMapaClick"));
    NovaAcao(mapa, u("ExportarMapa1"), u("&Exportar mapa base"), u("ExportarMapaBase1Click"));
    NovaAcao(mapa, u("Imprimir1"), u("&Imprimir mapa"), u("ImprimeClick"));
    NovaAcao(mapa, u("ConfigurarImpressora1"), u("Con&figurar Impressora"), u("ConfigurarImpressora1Click"));
    NovaAcao(mapa, u("Copiar1"), u("&Copiar para clipboard"), u("CopiaClick"))->setShortcut(QKeySequence::Copy);
    NovaAcao(mapa, u("SalvarBitmap1"), u("&Salvar bitmap"), u("GravarClick"));
    NovaAcao(mapa, u("GravarMetaFile1"), u("Gravar &MetaFile"), u("GravaMetaFileClick"));
    mapa->addSeparator();
    NovaAcao(mapa, u("Retornar1"), u("&Retornar"), u("BSairClick"));

    QMenu* ferramentas = menuBar()->addMenu(u("&Ferramentas"));
    NovaAcao(ferramentas, u("GerarColunaDistancias1"), u("&Gerar coluna de distancias"),
             u("GerarColunaDistancias1Click"));
    NovaAcao(ferramentas, u("SelecionarAreas1"), u("&Selecionar áreas"), u("SelecionarAreas1Click"));
    NovaAcao(ferramentas, u("Informacao1"), u("&Informação"), u("Informacao1Click"));
    NovaAcao(ferramentas, u("GravarFluxo1"), u("Gravar tabela de &Fluxo"), u("GravarFluxo1Click"));

    QMenu* camadas = menuBar()->addMenu(u("&Camadas"));
    camadas->setObjectName(u("Camadas1"));
    NovaAcao(camadas, u("AdicionaCamada1"), u("&Adiciona nova camada"), u("PoeCamadaClick"));
    camadas->addSeparator();
    for (int k = 1; k <= 9; ++k) {
        QAction* a = NovaAcao(camadas, u("Camada") + QString::number(k), u("Camada ") + QString::number(k),
                              u("Camada") + QString::number(k) + u("Click"));
        a->setCheckable(true);
        a->setVisible(false);
    }
}

void TMapa::CriaPainel() {
    auto u = [](const char* utf8) { return QString::fromUtf8(utf8); };
    Panel1 = new QWidget(Cliente);
    Panel1->setObjectName(u("Panel1"));
    Panel1->setAutoFillBackground(true);
    Panel1->setMouseTracking(true);
    Panel1->installEventFilter(this);
    auto* coluna = new QVBoxLayout(Panel1);
    coluna->setContentsMargins(4, 4, 4, 4);
    coluna->setSpacing(3);
    auto* grade = new QGridLayout;
    grade->setSpacing(2);
    struct Botao {
        const char *nome, *dica, *manipulador, *texto;
    };
    const Botao botoes[] = {
        {"Redesenha", "Redesenha", "Button1Click", "R"},
        {"Cores", "Muda paleta de cores", "Button2Click", "Cor"},
        {"Classes", "Classes do mapa", "Button3Click", "Cl"},
        {"Zoom", "Zoom In", "ZoomClick", "+"},
        {"ZoomOut", "Zoom Out", "ZoomOutClick", "-"},
        {"bPan", "Move mapa", "bPanClick", "Mv"},
        {"BLegenda", "Legenda", "BLegendaClick", "Lg"},
        {"bValor", "Valor", "bValorClick", "Vl"},
        {"bMostraSede", "Sede", "bMostraSedeClick", "Sd"},
        {"bBordaPreta", "Borda", "bBordaPretaClick", "Bd"},
        {"PoeCamada", "Nova camada", "PoeCamadaClick", "Cm"},
        {"BTrocaMapa", "Troca mapa base", "BTrocaMapaClick", "Tr"},
        {"Imprime", "Imprime", "ImprimeClick", "Im"},
        {"Copia", "Copia para ClipBoard", "CopiaClick", "Cp"},
        {"Gravar", "Gravar  .BMP", "GravarClick", "Bmp"},
        {"GravaMetaFile", "Gravar  .WMF", "GravaMetaFileClick", "Wmf"},
        {"bSetas", "Adiciona setas de fluxo", "bSetasClick", "Fx"},
        {"b3D", "3D", "b3DClick", "3D"},
        {"bTerraView", "Abre este mapa no TerraView", "bTerraViewClick", "TV"},
        {"BSair", "Retornar", "BSairClick", "Sai"},
    };
    int i = 0;
    for (const Botao& b : botoes) {
        QToolButton* botao = NovoBotao(u(b.nome), u(b.dica), u(b.manipulador));
        botao->defaultAction()->setText(u(b.texto));
        botao->defaultAction()->setToolTip(u(b.dica));
        grade->addWidget(botao, i / 3, i % 3);
        ++i;
    }
    coluna->addLayout(grade);
    Zoom = Panel1->findChild<QToolButton*>(u("Zoom"));
    ZoomOut = Panel1->findChild<QToolButton*>(u("ZoomOut"));
    bPan = Panel1->findChild<QToolButton*>(u("bPan"));
    bTerraView = Panel1->findChild<QToolButton*>(u("bTerraView"));
    b3D = Panel1->findChild<QToolButton*>(u("b3D"));
    Acao(u("ZoomOut"))->setEnabled(false);
    Acao(u("bPan"))->setEnabled(false);

    cbCirculos = new QComboBox(Panel1);
    cbCirculos->setObjectName(u("cbCirculos"));
    cbCirculos->setToolTip(u("Adiciona ao mapa círculos de tamanho proporcional a variável escolhida"));
    coluna->addWidget(cbCirculos);
    connect(cbCirculos, &QComboBox::activated, this, [this](int indice) {
        ColunaCirculo = std::max(0, indice);
        SpinEdit1->setVisible(ColunaCirculo > 0);
        bCorBolota->setVisible(ColunaCirculo > 0);
        PedeRedesenho();
    });
    auto* linha = new QHBoxLayout;
    SpinEdit1 = new QSpinBox(Panel1);
    SpinEdit1->setObjectName(u("SpinEdit1"));
    SpinEdit1->setToolTip(u("Altera o raio do maior círculo"));
    SpinEdit1->setRange(1, 999);
    connect(SpinEdit1, &QSpinBox::valueChanged, this, [this] { PedeRedesenho(); });
    bCorBolota = new QToolButton(Panel1);
    bCorBolota->setObjectName(u("bCorBolota"));
    bCorBolota->setToolTip(u("Altera a cor do círculo"));
    bCorBolota->setText(u("Cor"));
    connect(bCorBolota, &QToolButton::clicked, this, [this] {
        if (auto c = PerguntasDoMapa().EscolheCor(CorCirculo)) {
            CorCirculo = *c;
            PedeRedesenho();
        }
    });
    linha->addWidget(SpinEdit1);
    linha->addWidget(bCorBolota);
    coluna->addLayout(linha);

    StringGrid1 = new QTableWidget(Panel1);
    StringGrid1->setObjectName(u("StringGrid1"));
    StringGrid1->setFixedSize(97, 193);
    StringGrid1->setColumnCount(1);
    StringGrid1->horizontalHeader()->hide();
    StringGrid1->verticalHeader()->hide();
    // Rows of 16 pixels whatever the font, so the 11 rows of ten classes fit.
    StringGrid1->verticalHeader()->setMinimumSectionSize(1);
    StringGrid1->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    StringGrid1->verticalHeader()->setDefaultSectionSize(16);
    StringGrid1->horizontalHeader()->setStretchLastSection(true);
    StringGrid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    StringGrid1->setFont(QFont(u("Arial"), 7));
    coluna->addWidget(StringGrid1);
    Label1 = new QLabel(u("Lo:"), Panel1);
    Label2 = new QLabel(u("La:"), Panel1);
    coluna->addWidget(Label1);
    coluna->addWidget(Label2);
    coluna->addStretch();

    const int larguras[3] = {250, 150, 100};
    for (int k = 0; k < 3; ++k) {
        Status[k] = new QLabel(Cliente);
        Status[k]->setFrameShape(QFrame::Panel);
        Status[k]->setFrameShadow(QFrame::Sunken);
        Status[k]->setAutoFillBackground(true);
        Status[k]->setFixedWidth(larguras[k]);
    }
}

bool TMapa::eventFilter(QObject* o, QEvent* e) {
    if (o == Panel1 && e->type() == QEvent::MouseMove) MouseNoPainel();
    return QMainWindow::eventFilter(o, e);
}

void TMapa::AtualizaChecks() {
    Acao(QStringLiteral("MostrarLegendas1"))->setChecked(Opcoes.MostraLegendas);
    Acao(QStringLiteral("MostrarValores1"))->setChecked(Opcoes.MostraValores);
    Acao(QStringLiteral("MostrarSede1"))->setChecked(Opcoes.MostraSede);
    Acao(QStringLiteral("Bordas1"))->setChecked(Opcoes.BordasPretas);
    Acao(QStringLiteral("PegaLegendaDoMapa1"))->setChecked(Opcoes.PegaLegendaDoMapa);
}

void TMapa::LimpaPosicao() {
    Label1->clear();
    Label2->clear();
    Status[0]->clear();
    Status[1]->clear();
}

void TMapa::MostraAviso(const std::string& texto) {
    MensagensSobre sobre(this);
    MensagensAtuais().Mostra(texto);
}

// ---- drawing -----------------------------------------------------------------------------

void TMapa::PedeRedesenho() { Timer1->start(IntervaloRedesenhoMs); }

void TMapa::Timer1Timer() {
    Timer1->stop();
    DesenhaMapa();
}

void TMapa::Repinta() {
    if (repintaPendente_) return;
    repintaPendente_ = true;
    QTimer::singleShot(0, this, [this] {
        repintaPendente_ = false;
        if (isVisible()) DesenhaMapa();
    });
}

void TMapa::DesenhaMapa() {
    Timer1->stop();
    const int w = std::max(1, Cliente->width()), h = std::max(1, Cliente->height());
    imagem_ = QImage(w, h, QImage::Format_RGB32);
    imagem_.fill(Qt::white);
    identificacao_ = QImage(w, h, QImage::Format_RGB32);
    identificacao_.fill(Qt::white);
    std::string problema;
    if (!t_.NomeMapa.empty()) {
        QPainter pv(&imagem_);
        QPainter pi(&identificacao_);
        try {
            problema = dorvan::DesenhaMapa(
                t_, t_.NomeMapa, Opcoes, Vista, w, h,
                [&pv, &pi](const PrimitivaMapa& f) { PintaFiguraMapa(pv, &pi, f); }, Camadas);
        } catch (const std::exception&) {
            problema = TextoDoErroParaUsuario(std::current_exception());
        }
    }
    if (!problema.empty()) {
        // The window stays open and empty. A redraw asked for while the message is up
        // (the window shown or resized behind it) has nothing new to say.
        imagem_.fill(Qt::white);
        identificacao_.fill(Qt::white);
        if (!avisoDoDesenho_) {
            avisoDoDesenho_ = true;
            struct Fim {
                bool& b;
                ~Fim() { b = false; }
            } fim{avisoDoDesenho_};
            MostraAviso(problema);
        }
    }
    Cliente->update();
}

void TMapa::DesenhaCaixas() {
    if (imagem_.isNull()) return;
    QPainter p(&imagem_);
    for (const CaixaLegenda& c : CaixasLegenda(t_, Cliente->width(), Vista.EmZoom)) {
        PrimitivaMapa f;
        f.Figura = FiguraMapa::Retangulo;
        f.Pontos = {{c.X1, c.Y1}, {c.X2, c.Y2}};
        f.Preenchimento = c.Cor;
        f.Caneta = c.Caneta;
        PintaFiguraMapa(p, nullptr, f);
    }
    Cliente->update();
}

void TMapa::EscreveLegenda() {
    const std::vector<std::string> linhas = EscreveLegendaDasClasses(t_);
    StringGrid1->setRowCount(static_cast<int>(linhas.size()));
    for (std::size_t i = 0; i < linhas.size(); ++i)
        StringGrid1->setItem(static_cast<int>(i), 0, new QTableWidgetItem(ParaQString(linhas[i])));
}

void TMapa::Redimensionado() {
    if (!Panel1) return; // a resize while the window is still being built
    const int w = Cliente->width(), h = Cliente->height();
    Panel1->setGeometry(w - LarguraPainel, 0, LarguraPainel, std::max(0, h - AlturaStatus));
    int x = 0;
    for (QLabel* s : Status) {
        s->setGeometry(x, h - AlturaStatus, s->width(), AlturaStatus);
        x += s->width();
    }
    identificacao_ = QImage(std::max(1, w), std::max(1, h), QImage::Format_RGB32);
    identificacao_.fill(Qt::white);
    setWindowTitle(ParaQString(LegendaRedimensionada(w, h, DeQString(windowTitle()))));
    Repinta();
}

void TMapa::showEvent(QShowEvent* e) {
    QMainWindow::showEvent(e);
    if (e->spontaneous()) return;
    std::error_code ec;
    b3D->setVisible(fs::is_regular_file(cfg_.DirPrograma + "Zintorel.exe", ec) ||
                    fs::is_regular_file(cfg_.DirPrograma + "Zintorel", ec));
    cbCirculos->clear();
    cbCirculos->addItem(QString::fromUtf8("Não ativo"));
    for (std::int32_t c = 1; c <= t_.NumColunas(); ++c)
        cbCirculos->addItem(ParaQString(t_.NomeColuna(c)));
    cbCirculos->setCurrentIndex(0);
    ColunaCirculo = 0;
    CorCirculo = QColor(255, 128, 0);
    SpinEdit1->blockSignals(true);
    SpinEdit1->setValue(25);
    SpinEdit1->blockSignals(false);
    SpinEdit1->hide();
    bCorBolota->hide();
    Repinta();
}

// ---- commands ------------------------------------------------------------------------------

void TMapa::Button1Click() { DesenhaMapa(); }

void TMapa::Button2Click() {
    ProximaPaleta(t_);
    DesenhaCaixas();
    PedeRedesenho();
}

void TMapa::Button3Click() {
    Timer1->setInterval(IntervaloRedesenhoMs);
    MostraEscala(t_, this);
    MontaPaleta(t_, t_.IndCor);
    EscreveLegenda();
    DesenhaCaixas();
    PedeRedesenho();
}

void TMapa::MudaModoClasses(ModoClasses modo) {
    Acao(QStringLiteral("IntervalosIguais1"))->setChecked(modo == ModoClasses::IgualValor);
    Acao(QStringLiteral("IgualFrequencia1"))->setChecked(modo == ModoClasses::IgualFrequencia);
    MudaModoEscala(t_, EstadoEscalaAtual(), modo);
    Button3Click();
}

void TMapa::IntervalosIguais1Click() { MudaModoClasses(ModoClasses::IgualValor); }
void TMapa::IgualFrequencia1Click() { MudaModoClasses(ModoClasses::IgualFrequencia); }

void TMapa::ZoomClick() {
    ModoZoom = true;
    Cliente->setCursor(Qt::CrossCursor);
}

void TMapa::ZoomOutClick() {
    Vista.EmZoom = false;
    ModoZoom = false;
    for (const char* nome : {"ZoomOut", "ZoomOut1", "bPan"})
        Acao(QString::fromLatin1(nome))->setEnabled(false);
    Acao(QStringLiteral("Zoom"))->setEnabled(true);
    Cliente->unsetCursor();
    Repinta();
}

void TMapa::bPanClick() {
    if (!Vista.EmZoom) return;
    ModoPan = true;
    Cliente->setCursor(Qt::OpenHandCursor);
}

void TMapa::BLegendaClick() {
    Opcoes.MostraLegendas = !Opcoes.MostraLegendas;
    AtualizaChecks();
    PedeRedesenho();
}

void TMapa::bValorClick() {
    Opcoes.MostraValores = !Opcoes.MostraValores;
    AtualizaChecks();
    PedeRedesenho();
}

void TMapa::bMostraSedeClick() {
    Opcoes.MostraSede = !Opcoes.MostraSede;
    AtualizaChecks();
    PedeRedesenho();
}

void TMapa::bBordaPretaClick() {
    Opcoes.BordasPretas = !Opcoes.BordasPretas;
    AtualizaChecks();
    PedeRedesenho();
}

void TMapa::PegaLegendaDoMapa1Click() {
    Opcoes.PegaLegendaDoMapa = !Opcoes.PegaLegendaDoMapa;
    AtualizaChecks();
    if (Opcoes.MostraLegendas) DesenhaMapa();
}

void TMapa::BTrocaMapaClick() {
    const std::string nome = PerguntasDoMapa().AbreArquivo("Abrir", FiltroBaseMapa, 1, cfg_.DirMapas);
    if (!nome.empty()) {
        t_.NomeMapa = nome;
        cfg_.DirMapas = PastaDe(nome);
        // A zoom window of the previous map would show an unrelated part of this one.
        if (Vista.EmZoom) ZoomOutClick();
    }
    ligacoesCamadas_.RemoveCamadas();
    for (int k = 1; k <= 9; ++k) {
        QAction* a = Acao(QStringLiteral("Camada") + QString::number(k));
        a->setChecked(false);
        a->setVisible(false);
    }
    Repinta();
}

void TMapa::bTerraViewClick() {
    const std::string programa = ProgramaTerraView(dirTerraView_);
    const std::string achado = programa.empty() ? std::string() : ResolveNome(programa);
    std::error_code ec;
    if (achado.empty() || !fs::is_regular_file(achado, ec)) {
        MostraAviso("TerraView n\xE3o encontrado" + (programa.empty() ? std::string() : ": " + DeUtf8(programa)));
        return;
    }
    NomesTerraView n = NomesParaTerraView(t_.NomeMapa);
    const std::string banco = ResolveNome(n.Banco);
    if (banco.empty()) {
        n.Banco = PerguntasDoMapa().AbreArquivo("Escolha o Banco de dados do TerraView",
                                                "Banco TerraView em Access|*.mdb", 1, PastaDe(t_.NomeMapa));
        if (n.Banco.empty()) return;
    } else {
        n.Banco = banco;
    }
    const std::string tabela = cfg_.DirTrabalho + "tabela.dbf";
    try {
        if (!GravaDBF(t_, tabela, cfg_.DBFcomCP850)) return;
    } catch (const std::exception&) {
        MostraAviso(TextoDoErroParaUsuario(std::current_exception()));
        return;
    }
    const ResultadoPrograma r = ExecutaComArgumentos(achado, ArgumentosTerraView(tabela, n), false);
    if (!r.iniciou) MostraAviso("N\xE3o foi poss\xEDvel executar " + DeUtf8(achado) + ": " + DeUtf8(r.erro));
}

void TMapa::BSairClick() {
    Reinicia();
    close();
}

void TMapa::Reinicia() {
    Timer1->stop(); // a pending redraw belongs to the map being left
    ligacoesCamadas_.RemoveCamadas();
    Fluxos.MostraSetas = false;
    Opcoes.MostraLegendas = Opcoes.MostraValores = Opcoes.MostraSede = false;
    Opcoes.BordasPretas = true;
    if (Vista.EmZoom) ZoomOutClick();
    Vista.EmZoom = false;
    ModoZoom = ModoPan = ModoSelecao = false;
    LimpaPosicao();
    Status[2]->clear();
    AtualizaChecks();
    MapaAberto = false;
    LiberaIndice(t_.IndiceLinhas);
}

// ---- mouse -----------------------------------------------------------------------------------

void TMapa::MouseDown(Qt::MouseButton b, QPoint p) {
    MensagensSobre sobre(this);
    if (b == Qt::LeftButton) {
        if (ModoZoom || ModoPan) inicio_ = p;
        botaoPreso_ = true;
        if (ModoSelecao) {
            const Identificado id = Identifica(ValorIdentificacao(identificacao_, p.x(), p.y()), t_.NumLinhas);
            if (id.tipo == Identificado::Tipo::Linha && AlternaSelecao(t_, ColunaSelecao, id.Linha)) {
                if (Form1) Form1->AtualizaGrade();
                PedeRedesenho();
            }
        }
        return;
    }
    if (b != Qt::RightButton) return;
    const int w = Cliente->width();
    if (const std::int32_t k = ClasseDoCliqueLegenda(t_, w, p.x(), p.y()); k > 0) {
        if (auto c = PerguntasDoMapa().EscolheCor(CorQt(t_.Cor[static_cast<std::size_t>(k)]))) {
            t_.Cor[static_cast<std::size_t>(k)] = CorArmazenada(*c);
            DesenhaMapa();
        }
        return;
    }
    if (p.x() > w - 150 && p.y() < std::clamp(t_.NumClasses, 0, MaxClasses) * 17 + 22) return;
    const Identificado id = Identifica(ValorIdentificacao(identificacao_, p.x(), p.y()), t_.NumLinhas);
    if (id.tipo == Identificado::Tipo::Linha)
        MostraAviso(InformacaoDaLinha(t_, id.Linha));
    else if (id.tipo != Identificado::Tipo::Nada)
        ligacoesCamadas_.MostraPontoCamada(id);
}

void TMapa::MouseMove(QPoint p, bool esquerdoPreso) {
    const Identificado id = Identifica(ValorIdentificacao(identificacao_, p.x(), p.y()), t_.NumLinhas);
    if (id.tipo == Identificado::Tipo::Linha) {
        Status[0]->setText(ParaQString(RotuloSemCodigo(t_, id.Linha)));
        Status[1]->setText(ParaQString(ValorFormatado(t_, id.Linha)));
        Status[2]->setText(ColunaCirculo > 0 ? ParaQString(ValorDaColuna(t_, ColunaCirculo, id.Linha)) : QString());
    } else {
        for (QLabel* s : Status)
            s->clear();
    }
    if (esquerdoPreso && botaoPreso_) {
        Label1->setText(QStringLiteral("Lon. ") + Coordenada(TelaParaLon(Vista, p.x())));
        Label2->setText(QStringLiteral("Lat.  ") + Coordenada(TelaParaLat(Vista, p.y())));
        if (ModoZoom || ModoPan) {
            arrasto_ = p;
            Cliente->update();
        }
    }
}

void TMapa::MouseNoPainel() { LimpaPosicao(); }

void TMapa::MouseUp(Qt::MouseButton b, QPoint p) {
    if (b != Qt::LeftButton) return;
    if (botaoPreso_) LimpaPosicao();
    botaoPreso_ = false;
    arrasto_.reset();
    if (AoSoltar && AoSoltar(p)) return;
    if (ModoZoom) {
        const std::uint32_t v = ValorIdentificacao(identificacao_, p.x(), p.y());
        if (!ZoomRetangulo(Vista, {inicio_.x(), inicio_.y()}, {p.x(), p.y()})) {
            Cliente->update();
            return;
        }
        Opcoes.LinhaDoZoom = static_cast<std::int32_t>(v);
        ModoZoom = false;
        for (const char* nome : {"ZoomOut", "ZoomOut1", "bPan"})
            Acao(QString::fromLatin1(nome))->setEnabled(true);
        Cliente->unsetCursor();
        Repinta();
    } else if (ModoPan) {
        DeslocaVista(Vista, {inicio_.x(), inicio_.y()}, {p.x(), p.y()});
        ModoPan = false;
        Cliente->unsetCursor();
        Repinta();
    }
    Cliente->update();
}

// ---- main-window commands -------------------------------------------------------------------

namespace {

// The .MAP a chosen file stands for: a foreign map is first converted into a .MAP beside
// it (any other name comes back as it is). Empty when the file was refused or could not
// be read (its message was shown).
std::string MapaConvertido(const std::string& nome) {
    try {
        return ImportaMapaComJanela(nome);
    } catch (const std::exception&) {
        MensagensAtuais().Mostra(TextoDoErroParaUsuario(std::current_exception()));
        return std::string();
    }
}

} // namespace

void Mapa1Click(TForm1& f) {
    TMapa* m = Mapa;
    if (!m) return;
    MensagensSobre sobre(&f);
    TabelaResultados& t = f.Tabela();
    Configuracao& cfg = f.Config();
    // A table closed since the map was opened (SemClasses is set again) would be shown
    // through the keys of the old one: build everything again for the new table.
    if (m->MapaAberto && !t.SemClasses) {
        m->showMaximized();
        m->raise();
        return;
    }
    if (m->MapaAberto) m->Reinicia();
    const std::string existente = t.NomeMapa.empty() ? std::string() : ResolveNome(t.NomeMapa);
    std::error_code ec;
    if (existente.empty() || !fs::is_regular_file(existente, ec)) {
        const std::string nome =
            PerguntasDoMapa().AbreArquivo("Abrir arquivo de mapa", FiltroOpenMapa, 1, cfg.DirMapas);
        if (nome.empty()) return;
        t.NomeMapa = nome;
        cfg.DirMapas = PastaDe(nome);
    } else {
        t.NomeMapa = existente;
    }
    // The open dialog offers the foreign maps too: the window shows the .MAP made of one.
    t.NomeMapa = MapaConvertido(t.NomeMapa);
    if (t.NomeMapa.empty()) return;
    const std::int32_t coluna = t.NumColunas() < 2 ? 1 : EscolheColuna(t, PerguntaColunaMapa);
    if (coluna == 0) return;
    if (!PreparaMapaColuna(t, coluna, EstadoEscalaAtual())) return;
    m->setWindowTitle(ParaQString(LegendaJanelaMapa(t)));
    MontaIndiceLinhas(t);
    m->EscreveLegenda();
    m->MapaAberto = true;
    m->showMaximized();
    m->Repinta();
    f.HabilitaComandos();
}

void CriarLinhadeMAP1Click(TForm1& f) {
    MensagensSobre sobre(&f);
    TabelaResultados& t = f.Tabela();
    Configuracao& cfg = f.Config();
    std::string nome = PerguntasDoMapa().AbreArquivo("Abrir arquivo de mapa", FiltroOpenMapa, 1, cfg.DirMapas);
    if (nome.empty()) return;
    cfg.DirMapas = PastaDe(nome);
    bool mostraCodigo = true;
    const std::string extensao = MaiusculasAscii(fs::path(nome).extension().string());
    if (extensao == ".MAP") {
        mostraCodigo = MensagensAtuais().SimOuNao("", PerguntaMostraCodigo);
    } else {
        // Their codes are made from the names: the names alone are the labels.
        if (extensao == ".BND" || extensao == ".XY") mostraCodigo = false;
        nome = MapaConvertido(nome);
    }
    if (nome.empty()) return;

    RotulosDoMapa rotulos;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    try {
        rotulos = LeRotulosDoMapa(nome, mostraCodigo);
    } catch (const std::exception&) {
        QApplication::restoreOverrideCursor();
        MensagensAtuais().Mostra(TextoDoErroParaUsuario(std::current_exception()));
        return;
    }
    QApplication::restoreOverrideCursor();
    // The map window shows the table that is about to go.
    if (Mapa && Mapa->MapaAberto) Mapa->BSairClick();
    if (!f.FechaTabela()) return;
    PreencheTabelaDoMapa(t, rotulos, nome);
    t.NomeMapa = nome;
    f.MostraTabela();
}

void LigaComandosMapa(TForm1& f) {
    if (!Mapa) Mapa = new TMapa(f.Tabela(), f.Config(), &f);
    f.DefineComando(QStringLiteral("Mapa1Click"), [&f] { Mapa1Click(f); });
    f.DefineComando(QStringLiteral("CriarLinhadeMAP1Click"), [&f] { CriarLinhadeMAP1Click(f); });
}

} // namespace dorvan

#include "analysis/ui/TFCriaRScript.h"

#include "analysis/EditorEsquemaR.h"
#include "data/LeXML.h"
#include "platform/Arquivos.h"
#include "platform/Erros.h"
#include "platform/Mensagens.h"
#include "platform/Texto1252.h"
#include "platform/ui/Janelas.h"
#include "table/Configuracao.h"
#include "table/Utilidades.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QFileDialog>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QStyle>
#include <QToolBar>
#include <QVBoxLayout>
#include <Qsci/qscilexerxml.h>
#include <Qsci/qsciscintilla.h>
#include <array>
#include <cctype>
#include <cstdio>
#include <stdexcept>

namespace dorvan {

TFCriaRScript* FCriaRScript = nullptr;

namespace {

const char* const TituloEditor = "Editar esquema de an\xE1lise";

QString Q(const char* texto1252) { return ParaQString(texto1252); }

QAction* Acao(QWidget* dono, const char* nome, const QString& texto, const char* dica1252) {
    auto* a = new QAction(texto, dono);
    a->setObjectName(QString::fromLatin1(nome));
    a->setToolTip(Q(dica1252));
    return a;
}

} // namespace

// ---- the general highlighter ----

RealceEsquemaR::RealceEsquemaR(QObject* pai) : QsciLexerCustom(pai) {}

QString RealceEsquemaR::description(int estilo) const {
    switch (estilo) {
    case Normal:
        return QStringLiteral("Texto");
    case PalavraChave:
        return QStringLiteral("Palavra-chave");
    case Comentario:
        return QStringLiteral("Coment\u00E1rio");
    default:
        return {};
    }
}

QColor RealceEsquemaR::defaultColor(int estilo) const {
    switch (estilo) {
    case PalavraChave:
        return QColor(0x00, 0x00, 0xFF);
    case Comentario:
        return QColor(0x00, 0x00, 0x80);
    default:
        return QColor(0, 0, 0);
    }
}

bool RealceEsquemaR::EhPalavraChave(const std::string& palavra) {
    static const std::array<const char*, 16> chaves = {
        "AUTOR",      "COLSEL", "COLSEL2", "DESCRICAO", "EMAIL",     "EXEMPLO", "NOMEMAPA", "PARAMETRO",
        "PARAMETRO2", "RODAPE", "RSCRIPT", "SCRIPT",    "SUBTITULO", "TABELA",  "TITULO",   "VERSAO"};
    std::string p = palavra;
    // "<titulo>" and "</titulo>" count as the element's name.
    if (p.size() > 2 && p.front() == '<' && p.back() == '>') {
        p = p.substr(1, p.size() - 2);
        if (!p.empty() && p.front() == '/') p.erase(0, 1);
    }
    for (char& c : p)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    for (const char* k : chaves)
        if (p == k) return true;
    return false;
}

void RealceEsquemaR::styleText(int inicio, int fim) {
    QsciScintilla* ed = editor();
    if (!ed || fim <= inicio) return;
    // Styling restarts at a line start, so a comment is always seen from its '#'.
    const int linha = static_cast<int>(ed->SendScintilla(QsciScintillaBase::SCI_LINEFROMPOSITION, inicio));
    inicio = static_cast<int>(ed->SendScintilla(QsciScintillaBase::SCI_POSITIONFROMLINE, linha));
    QByteArray bytes(fim - inicio + 1, '\0');
    ed->SendScintilla(QsciScintillaBase::SCI_GETTEXTRANGE, inicio, fim, bytes.data());
    bytes.truncate(fim - inicio);
    startStyling(inicio);
    int i = 0;
    const int n = static_cast<int>(bytes.size());
    auto brancoOuControle = [](unsigned char c) { return c <= ' '; };
    while (i < n) {
        const unsigned char c = static_cast<unsigned char>(bytes[i]);
        if (brancoOuControle(c)) {
            int j = i;
            while (j < n && brancoOuControle(static_cast<unsigned char>(bytes[j])))
                ++j;
            setStyling(j - i, Normal);
            i = j;
            continue;
        }
        if (c == '#') {
            int j = i;
            while (j < n && bytes[j] != '\n' && bytes[j] != '\r')
                ++j;
            setStyling(j - i, Comentario);
            i = j;
            continue;
        }
        int j = i;
        while (j < n && !brancoOuControle(static_cast<unsigned char>(bytes[j])))
            ++j;
        const std::string palavra(bytes.constData() + i, static_cast<size_t>(j - i));
        setStyling(j - i, EhPalavraChave(palavra) ? PalavraChave : Normal);
        i = j;
    }
}

// ---- the window ----

TFCriaRScript::TFCriaRScript(const Configuracao& cfg, std::function<void()> rodaEsquema, QWidget* pai)
    : QDialog(pai), cfg_(cfg), rodaEsquema_(std::move(rodaEsquema)) {
    if (!rodaEsquema_) throw std::invalid_argument("TFCriaRScript: the scheme run is required");
    setObjectName(QStringLiteral("FCriaRScript"));
    setWindowTitle(Q(TituloEditor));
    resize(544, 480);
    const QStyle* st = style();

    MainMenu1 = new QMenuBar(this);
    QMenu* arquivo = MainMenu1->addMenu(QStringLiteral("&Arquivo"));
    Abrir1 = arquivo->addAction(QStringLiteral("&Abrir"));
    Novoscript1 = arquivo->addAction(QStringLiteral("&Novo script"));
    Salvar1 = arquivo->addAction(QStringLiteral("&Salvar"));
    Retorna1 = arquivo->addAction(QStringLiteral("&Retorna"));
    Editar1 = MainMenu1->addMenu(QStringLiteral("&Editar"));
    Desfazer1 = Editar1->addAction(QStringLiteral("Desfazer"));
    Desfazer1->setShortcut(QKeySequence(QStringLiteral("Ctrl+Z")));
    Refazer1 = Editar1->addAction(QStringLiteral("Refazer"));
    Copiar1 = Editar1->addAction(QStringLiteral("Copiar"));
    Copiar1->setShortcut(QKeySequence(QStringLiteral("Ctrl+C")));
    Cortar1 = Editar1->addAction(QStringLiteral("Cortar"));
    Cortar1->setShortcut(QKeySequence(QStringLiteral("Ctrl+X")));
    Colar1 = Editar1->addAction(QStringLiteral("Colar"));
    Colar1->setShortcut(QKeySequence(QStringLiteral("Ctrl+V")));
    Editar1->addSeparator();
    CharparaEntity1 = Editar1->addAction(QStringLiteral("Char para &XML entity"));
    EntityToChar1 = Editar1->addAction(QStringLiteral("XML entity para &Char"));
    Editar1->addSeparator();
    Localizar1 = Editar1->addAction(QStringLiteral("&Localizar"));
    Localizar1->setShortcut(QKeySequence(QStringLiteral("Ctrl+F")));
    Substituir1 = Editar1->addAction(QStringLiteral("&Substituir"));
    Substituir1->setShortcut(QKeySequence(QStringLiteral("Ctrl+R")));
    Executa1 = MainMenu1->addAction(QStringLiteral("E&xecuta"));
    Ajuda1 = MainMenu1->addAction(QStringLiteral("Ajuda sobre &R "));
    // The editor's own keys (copy, paste, undo) must not be taken by the menu.
    for (QAction* a : {Desfazer1, Copiar1, Cortar1, Colar1})
        a->setShortcutContext(Qt::WidgetShortcut);

    Panel1 = new QToolBar(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    bAbrir = Acao(this, "bAbrir", QStringLiteral("Abrir"), "Abrir esquema de an\xE1lise");
    bAbrir->setIcon(st->standardIcon(QStyle::SP_DialogOpenButton));
    bNovo = Acao(this, "bNovo", QStringLiteral("Novo"), "Criar novo esquema de an\xE1lise");
    bNovo->setIcon(st->standardIcon(QStyle::SP_FileIcon));
    bSalvar = Acao(this, "bSalvar", QStringLiteral("Salvar"), "Salvar esquema de an\xE1lise");
    bSalvar->setIcon(st->standardIcon(QStyle::SP_DialogSaveButton));
    bExecuta = Acao(this, "bExecuta", QStringLiteral("Executar"), "Executar esquema de an\xE1lise");
    bExecuta->setIcon(st->standardIcon(QStyle::SP_MediaPlay));
    SpeedButton1 = Acao(this, "SpeedButton1", QStringLiteral("XML"), "XML");
    bRetorna = Acao(this, "bRetorna", QStringLiteral("Retorna"), "Retorna");
    bRetorna->setIcon(st->standardIcon(QStyle::SP_DialogCloseButton));
    for (QAction* a : {bAbrir, bNovo, bSalvar, bExecuta, SpeedButton1, bRetorna})
        Panel1->addAction(a);

    SynEdit1 = new QsciScintilla(this);
    SynEdit1->setObjectName(QStringLiteral("SynEdit1"));
    SynEdit1->setUtf8(true);
    SynEdit1->setMarginType(0, QsciScintilla::NumberMargin);
    SynEdit1->setMarginsFont(QFont(QStringLiteral("Terminal")));
    SynEdit1->setMarginWidth(0, QStringLiteral("00000"));
    SynGeneralSyn1 = new RealceEsquemaR(this);
    SynXMLSyn1 = new QsciLexerXML(this);
    SynXMLSyn1->setColor(QColor(0x00, 0x00, 0xFF), QsciLexerHTML::Tag);
    SynEdit1->setLexer(SynGeneralSyn1);
    UsaFonteFixa(SynEdit1, [this](const QFont& f) {
        for (QsciLexer* lx : {static_cast<QsciLexer*>(SynGeneralSyn1), static_cast<QsciLexer*>(SynXMLSyn1)}) {
            lx->setDefaultFont(f);
            lx->setFont(f, -1);
        }
    });

    StatusBar1 = new QStatusBar(this);
    StatusBar1->setSizeGripEnabled(false);
    const int larguras[3] = {80, 100, 50};
    for (int i = 0; i < 3; ++i) {
        Painel[i] = new QLabel(this);
        Painel[i]->setMinimumWidth(larguras[i]);
        StatusBar1->addWidget(Painel[i]);
    }

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->setMenuBar(MainMenu1);
    layout->addWidget(Panel1);
    layout->addWidget(SynEdit1, 1);
    layout->addWidget(StatusBar1);

    busca_ = std::make_unique<BuscaNoEditor>(*SynEdit1, this, [](const std::string& texto) {
        MensagensAtuais().Confirma("", MensagemNaoEncontrada(texto), {"&Sim"});
    });
    FindDialog1 = busca_->Localizar;
    ReplaceDialog1 = busca_->Substituir;

    connect(Abrir1, &QAction::triggered, this, &TFCriaRScript::Abrir1Click);
    connect(bAbrir, &QAction::triggered, this, &TFCriaRScript::Abrir1Click);
    connect(Novoscript1, &QAction::triggered, this, &TFCriaRScript::Novoscript1Click);
    connect(bNovo, &QAction::triggered, this, &TFCriaRScript::Novoscript1Click);
    connect(Salvar1, &QAction::triggered, this, &TFCriaRScript::Salvar1Click);
    connect(bSalvar, &QAction::triggered, this, &TFCriaRScript::Salvar1Click);
    connect(Retorna1, &QAction::triggered, this, &TFCriaRScript::Retorna1Click);
    connect(bRetorna, &QAction::triggered, this, &TFCriaRScript::Retorna1Click);
    connect(Executa1, &QAction::triggered, this, &TFCriaRScript::Executa1Click);
    connect(bExecuta, &QAction::triggered, this, &TFCriaRScript::Executa1Click);
    connect(SpeedButton1, &QAction::triggered, this, &TFCriaRScript::SpeedButton1Click);
    connect(CharparaEntity1, &QAction::triggered, this, &TFCriaRScript::CharparaEntity1Click);
    connect(EntityToChar1, &QAction::triggered, this, &TFCriaRScript::EntityToChar1Click);
    connect(Localizar1, &QAction::triggered, this, &TFCriaRScript::Localizar1Click);
    connect(Substituir1, &QAction::triggered, this, &TFCriaRScript::Substituir1Click);
    connect(Editar1, &QMenu::aboutToShow, this, &TFCriaRScript::Editar1Click);
    connect(Desfazer1, &QAction::triggered, this, &TFCriaRScript::Desfazer1Click);
    connect(Refazer1, &QAction::triggered, this, &TFCriaRScript::Refazer1Click);
    connect(Copiar1, &QAction::triggered, this, &TFCriaRScript::Copiar1Click);
    connect(Cortar1, &QAction::triggered, this, &TFCriaRScript::Cortar1Click);
    connect(Colar1, &QAction::triggered, this, &TFCriaRScript::Colar1Click);
    connect(Ajuda1, &QAction::triggered, this, &TFCriaRScript::Ajuda1Click);
    connect(SynEdit1, &QsciScintilla::cursorPositionChanged, this, [this](int, int) { SynEdit1StatusChange(); });
    connect(SynEdit1, &QsciScintilla::modificationChanged, this, [this](bool) { SynEdit1StatusChange(); });
    connect(SynEdit1, &QsciScintillaBase::SCN_UPDATEUI, this, [this](int) { SynEdit1StatusChange(); });

    // Neither dialog changes the current folder (the run's files are named relative to it).
    auto dialogo = [this](bool salvar, const std::string& sugestao) {
        QFileDialog d(this, salvar ? QStringLiteral("Salvar") : QStringLiteral("Abrir"));
        d.setNameFilter(Q("Esquema de an\xE1lise (*.rx)"));
        if (salvar) {
            d.setAcceptMode(QFileDialog::AcceptSave);
            d.setDefaultSuffix(QStringLiteral("rx"));
        } else {
            d.setFileMode(QFileDialog::ExistingFile);
        }
        if (!sugestao.empty())
            d.selectFile(QString::fromStdString(sugestao));
        else
            d.setDirectory(QString::fromStdString(cfg_.DirRX));
        if (d.exec() != QDialog::Accepted || d.selectedFiles().isEmpty()) return std::string();
        return d.selectedFiles().first().toStdString();
    };
    EscolheAbrir = [dialogo](const std::string& s) { return dialogo(false, s); };
    EscolheSalvar = [dialogo](const std::string& s) { return dialogo(true, s); };

    SynEdit1StatusChange();
}

TFCriaRScript::~TFCriaRScript() {
    if (FCriaRScript == this) FCriaRScript = nullptr;
}

std::string TFCriaRScript::Texto() const { return DeQString(SynEdit1->text()); }

void TFCriaRScript::DefineTexto(const std::string& texto1252) { SynEdit1->setText(ParaQString(texto1252)); }

bool TFCriaRScript::RealceGeral() const { return SynEdit1->lexer() == SynGeneralSyn1; }

int TFCriaRScript::Posicao(std::size_t deslocamento) const {
    const std::string texto = Texto();
    return static_cast<int>(ParaQString(std::string_view(texto).substr(0, deslocamento)).toUtf8().size());
}

void TFCriaRScript::PosicionaCursor() {
    if (const auto p = PosicaoCursorEsquema(Texto())) {
        const int pos = Posicao(*p);
        SynEdit1->SendScintilla(QsciScintillaBase::SCI_SETSEL, pos, pos);
        SynEdit1->ensureCursorVisible();
        // A window not shown yet has no width: scrolling sideways for the caret
        // would hide the start of every line.
        if (!SynEdit1->isVisible()) SynEdit1->SendScintilla(QsciScintillaBase::SCI_SETXOFFSET, 0);
    }
    SynEdit1->setModified(false);
    SynEdit1StatusChange();
}

void TFCriaRScript::CarregaArquivo(const std::string& arquivo) {
    // Read first: an unreadable file leaves the editor as it was.
    const std::string texto = LeArquivoTexto(arquivo);
    DefineTexto(texto);
    PosicionaCursor();
}

void TFCriaRScript::GravaArquivo(const std::string& arquivo) { GravaArquivoInteiro(arquivo, Texto()); }

void TFCriaRScript::Abrir1Click() {
    const std::string arquivo = EscolheAbrir ? EscolheAbrir(NomeAbrir) : std::string();
    if (arquivo.empty()) return;
    CarregaArquivo(arquivo);
    NomeAbrir = arquivo;
    setWindowTitle(QString::fromStdString(arquivo));
}

void TFCriaRScript::Novoscript1Click() {
    CarregaArquivo(cfg_.DirPrograma + ModeloEsquemaR);
    setWindowTitle(Q(TituloEditor));
    NomeAbrir.clear();
    NomeSalvar.clear();
}

void TFCriaRScript::Salvar1Click() {
    const std::string arquivo = EscolheSalvar ? EscolheSalvar(NomeSalvar) : std::string();
    if (arquivo.empty()) return;
    GravaArquivo(arquivo);
    NomeSalvar = arquivo;
    setWindowTitle(QString::fromStdString(arquivo));
    SynEdit1->setModified(false);
}

void TFCriaRScript::Retorna1Click() { reject(); }

void TFCriaRScript::Executa1Click() {
    const std::string arquivo = GravaEsquemaTeste(cfg_.DirRX, Texto());
    // The test scheme goes away whatever happens in the run (a cancelled question,
    // an error): it must never be listed in the library as a scheme of its own.
    struct Remove {
        std::string arquivo;
        ~Remove() { std::remove(arquivo.c_str()); }
    } remove{arquivo};
    rodaEsquema_();
    accept();
}

void TFCriaRScript::Converte(bool paraEntidades) {
    const std::string texto = Texto();
    const auto t = TrechoDoScript(texto);
    // Without both tags there is nothing to convert and the text stays as it is.
    if (!t) return;
    const std::string_view parte = std::string_view(texto).substr(t->inicio, t->tamanho);
    const std::string novo = paraEntidades ? FazEntidadesXML(parte) : DesfazEntidadesXML(parte);
    SynEdit1->SendScintilla(QsciScintillaBase::SCI_SETSEL, Posicao(t->inicio), Posicao(t->inicio + t->tamanho));
    SynEdit1->replaceSelectedText(ParaQString(novo));
    SynEdit1->setLexer(paraEntidades ? static_cast<QsciLexer*>(SynXMLSyn1) : SynGeneralSyn1);
}

void TFCriaRScript::CharparaEntity1Click() { Converte(true); }
void TFCriaRScript::EntityToChar1Click() { Converte(false); }
void TFCriaRScript::SpeedButton1Click() { SynEdit1->setLexer(SynXMLSyn1); }

void TFCriaRScript::SynEdit1StatusChange() {
    const long pos = SynEdit1->SendScintilla(QsciScintillaBase::SCI_GETCURRENTPOS);
    const int linha = static_cast<int>(SynEdit1->SendScintilla(QsciScintillaBase::SCI_LINEFROMPOSITION, pos));
    const int coluna = static_cast<int>(SynEdit1->SendScintilla(QsciScintillaBase::SCI_GETCOLUMN, pos));
    Painel[0]->setText(ParaQString(TextoPosicaoEditor(linha + 1, coluna + 1)));
    Painel[1]->setText(ParaQString(TextoModificado(SynEdit1->isModified())));
    Painel[2]->setText(ParaQString(TextoModoInsercao(!SynEdit1->overwriteMode())));
}

// ---- find and replace ----

void TFCriaRScript::Localizar1Click() { busca_->MostraLocalizar(); }
void TFCriaRScript::Substituir1Click() { busca_->MostraSubstituir(); }
bool TFCriaRScript::Localiza(const DialogoBusca& d, bool avisa) { return busca_->Localiza(d, avisa); }
void TFCriaRScript::FindDialog1Find() { Localiza(*FindDialog1, true); }
void TFCriaRScript::ReplaceDialog1Find() { Localiza(*ReplaceDialog1, true); }
void TFCriaRScript::ReplaceDialog1Replace() { busca_->SubstituiSelecao(); }

// ---- edit menu ----

void TFCriaRScript::Editar1Click() { HabilitaMenuEditar(*SynEdit1, Desfazer1, Refazer1, {Cortar1, Copiar1}, Colar1); }

void TFCriaRScript::Desfazer1Click() { SynEdit1->undo(); }
void TFCriaRScript::Refazer1Click() { SynEdit1->redo(); }
void TFCriaRScript::Copiar1Click() { SynEdit1->copy(); }
void TFCriaRScript::Cortar1Click() { SynEdit1->cut(); }
void TFCriaRScript::Colar1Click() { SynEdit1->paste(); }

void TFCriaRScript::Ajuda1Click() { ExploreWeb(PaginaAjudaR(cfg_.DirR)); }

} // namespace dorvan

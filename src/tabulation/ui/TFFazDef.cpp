#include "tabulation/ui/TFFazDef.h"

#include "data/UConvert.h"
#include "platform/Arquivos.h"
#include "platform/Mensagens.h"
#include "platform/Texto1252.h"
#include "platform/ui/Janelas.h"
#include "table/Configuracao.h"
#include "table/Inicio.h"
#include "table/Utilidades.h"
#include "table/ui/TForm1.h"
#include "tabulation/FazDef.h"
#include "tabulation/ui/TfLigaCNV.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QStatusBar>
#include <QStyle>
#include <QToolBar>
#include <QVBoxLayout>
#include <Qsci/qscilexercustom.h>

#include <algorithm>

namespace dorvan {

TFFazDef* FFazDef = nullptr;

namespace {

const char* const Titulo = "Editar arquivo de defini\xE7\xE3o (.DEF) ou Tabela de convers\xE3o de c\xF3"
                           "digos (.CNV)";

QString Q(const char* texto1252) { return ParaQString(texto1252); }

// Colours for DEF and CNV text: comments, the directive letter or category
// number, and the codes of a CNV line.
class RealceDefCnv : public QsciLexerCustom {
public:
    enum Estilo { Normal = 0, Comentario = 1, Chave = 2, Codigos = 3 };
    explicit RealceDefCnv(QObject* pai) : QsciLexerCustom(pai) {
        setColor(QColor(0x00, 0x00, 0x80), Comentario);
        setColor(QColor(0x00, 0x00, 0xFF), Chave);
        setColor(QColor(0x80, 0x00, 0x00), Codigos);
    }
    bool cnv = false;
    const char* language() const override { return "DEF/CNV"; }
    QString description(int estilo) const override {
        switch (estilo) {
        case Normal:
            return QStringLiteral("Normal");
        case Comentario:
            return QStringLiteral("Coment\u00E1rio");
        case Chave:
            return QStringLiteral("Chave");
        case Codigos:
            return QStringLiteral("C\u00F3digos");
        default:
            return {};
        }
    }
    void styleText(int inicio, int fim) override {
        QsciScintilla* ed = editor();
        if (!ed || fim <= inicio) return;
        const int l0 = static_cast<int>(ed->SendScintilla(QsciScintillaBase::SCI_LINEFROMPOSITION, inicio));
        const int l1 = static_cast<int>(ed->SendScintilla(QsciScintillaBase::SCI_LINEFROMPOSITION, fim));
        for (int l = l0; l <= l1; ++l) {
            const QString texto = ed->text(l);
            const int pos = static_cast<int>(ed->SendScintilla(QsciScintillaBase::SCI_POSITIONFROMLINE, l));
            const int total = static_cast<int>(texto.toUtf8().size());
            if (total == 0) continue;
            startStyling(pos);
            auto bytes = [&texto](int chars) { return static_cast<int>(texto.left(chars).toUtf8().size()); };
            if (texto.startsWith(QLatin1Char(';'))) {
                setStyling(total, Comentario);
            } else if (cnv) {
                const int a = bytes(7), b = bytes(60);
                setStyling(a, Chave);
                setStyling(b - a, Normal);
                setStyling(total - b, Codigos);
            } else {
                const int a = bytes(1);
                setStyling(a, QStringLiteral("AILCSTXEGRQ?H").contains(texto.left(1).toUpper()) ? Chave : Normal);
                setStyling(total - a, Normal);
            }
        }
    }
};

QAction* Acao(QObject* pai, const char* nome, const QString& texto, const QString& dica = {}) {
    auto* a = new QAction(texto, pai);
    a->setObjectName(QString::fromLatin1(nome));
    if (!dica.isEmpty()) {
        a->setToolTip(dica);
        a->setStatusTip(dica);
    }
    return a;
}

} // namespace

// ---- the editor ----

EditorDefCnv::EditorDefCnv(QWidget* pai) : QsciScintilla(pai) { setAcceptDrops(true); }

void EditorDefCnv::dragEnterEvent(QDragEnterEvent* e) {
    if (AoSoltar && qobject_cast<QListWidget*>(e->source()))
        e->acceptProposedAction();
    else
        QsciScintilla::dragEnterEvent(e);
}

void EditorDefCnv::dragMoveEvent(QDragMoveEvent* e) {
    if (AoSoltar && qobject_cast<QListWidget*>(e->source()))
        e->acceptProposedAction();
    else
        QsciScintilla::dragMoveEvent(e);
}

void EditorDefCnv::dropEvent(QDropEvent* e) {
    QObject* origem = e->source();
    // The lists sit inside a view; the drag starts from the list widget itself.
    if (AoSoltar && qobject_cast<QListWidget*>(origem) && AoSoltar(origem)) {
        e->acceptProposedAction();
        return;
    }
    QsciScintilla::dropEvent(e);
}


// ---- the window ----

TFFazDef::TFFazDef(QWidget* pai) : QDialog(pai) {
    setObjectName(QStringLiteral("FFazDef"));
    setWindowTitle(Q(Titulo));
    resize(800, 600);
    const QStyle* st = style();

    // Tool bar.
    ToolBar1 = new QToolBar(this);
    ToolBar1->setObjectName(QStringLiteral("ToolBar1"));
    bAbrir = Acao(this, "bAbrir", QStringLiteral("Abrir"), QStringLiteral("Abrir arquivo ..."));
    bAbrir->setIcon(st->standardIcon(QStyle::SP_DialogOpenButton));
    bAcentos = Acao(this, "bAcentos", QStringLiteral("Acentos"), QStringLiteral("Converte acentos do DOS"));
    Salvar = Acao(this, "Salvar", QStringLiteral("Salvar"), QStringLiteral("Salvar arquivo..."));
    Salvar->setIcon(st->standardIcon(QStyle::SP_DialogSaveButton));
    bImprime = Acao(this, "bImprime", QStringLiteral("Imprime"), QStringLiteral("Imprime"));
    bFullScreen = Acao(this, "bFullScreen", QStringLiteral("Tela cheia"), QStringLiteral("Editar em tela cheia"));
    bFullScreen->setIcon(st->standardIcon(QStyle::SP_TitleBarMaxButton));
    bInvSel = Acao(this, "bInvSel", QStringLiteral("Inverte"), QStringLiteral("Inverte sele\u00E7\u00E3o"));
    bAutoDEF = Acao(this, "bAutoDEF", QStringLiteral("DEF"),
                    QStringLiteral("Gera DEF autom\u00E1ticamente para os campos selecionados"));
    bAutoCNV = Acao(this, "bAutoCNV", QStringLiteral("CNV"),
                    QStringLiteral("Gera CNV atom\u00E1ticamente para os campos selecionados"));
    NumeraCNV = Acao(this, "NumeraCNV", QStringLiteral("Numera"), QStringLiteral("Numera CNV"));
    bCompacta = Acao(this, "bCompacta", QStringLiteral("Compacta"),
                     QStringLiteral("V\u00E1rios c\u00F3digos na mesma linha do CNV"));
    bExpande = Acao(this, "bExpande", QStringLiteral("Expande"), QStringLiteral("Um c\u00F3digo por linha do CNV"));
    Sair = Acao(this, "Sair", QStringLiteral("Sair"), QStringLiteral("Retorna \u00E0 janela principal"));
    Sair->setIcon(st->standardIcon(QStyle::SP_DialogCloseButton));
    for (QAction* a : {bAbrir, bAcentos, Salvar, bImprime, bFullScreen, bInvSel, bAutoDEF, bAutoCNV, NumeraCNV,
                       bCompacta, bExpande, Sair})
        ToolBar1->addAction(a);
    Habilita({bAcentos, Salvar, bImprime, bInvSel, bAutoDEF, bAutoCNV, NumeraCNV, bCompacta, bExpande}, false);

    // Menus.
    MainMenu1 = new QMenuBar(this);
    QMenu* arquivo = MainMenu1->addMenu(QStringLiteral("&Arquivo"));
    Abrir1 = arquivo->addAction(QStringLiteral("&Abrir"));
    Salvar1 = arquivo->addAction(QStringLiteral("&Salvar"));
    Imprimir1 = arquivo->addAction(QStringLiteral("&Imprimir"));
    Retornar1 = arquivo->addAction(QStringLiteral("&Retornar"));
    Editar1 = MainMenu1->addMenu(QStringLiteral("&Editar"));
    Editar1->setObjectName(QStringLiteral("Editar1"));
    Desfazer1 = Editar1->addAction(QStringLiteral("Desfazer"));
    Desfazer1->setShortcut(QKeySequence(QStringLiteral("Ctrl+Z")));
    Refazer1 = Editar1->addAction(QStringLiteral("Refazer"));
    Refazer1->setShortcut(QKeySequence(QStringLiteral("Ctrl+Shift+Z")));
    Copiar1 = Editar1->addAction(QStringLiteral("Copiar"));
    Copiar1->setShortcut(QKeySequence(QStringLiteral("Ctrl+C")));
    Cortar1 = Editar1->addAction(QStringLiteral("Cortar"));
    Cortar1->setShortcut(QKeySequence(QStringLiteral("Ctrl+X")));
    Colar1 = Editar1->addAction(QStringLiteral("Colar"));
    Colar1->setShortcut(QKeySequence(QStringLiteral("Ctrl+V")));
    Localizar1 = Editar1->addAction(QStringLiteral("Localizar"));
    Localizar1->setShortcut(QKeySequence(QStringLiteral("Ctrl+F")));
    Substituir1 = Editar1->addAction(QStringLiteral("Substituir"));
    Substituir1->setShortcut(QKeySequence(QStringLiteral("Ctrl+R")));
    Selecionartudo1 = Editar1->addAction(QStringLiteral("Selecionar tudo"));
    Selecionartudo1->setShortcut(QKeySequence(QStringLiteral("Ctrl+A")));
    Maiusculas1 = Editar1->addAction(QStringLiteral("Mai\u00FAsculas"));
    Maiusculas1->setStatusTip(QStringLiteral("Converte para letras mai\u00FAsculas o texto selecionado"));
    Minusculas1 = Editar1->addAction(QStringLiteral("Min\u00FAsculas"));
    Minusculas1->setStatusTip(QStringLiteral("Converte para letras min\u00FAsculas o texto selecionado"));
    Proprio1 = Editar1->addAction(QStringLiteral("Pr\u00F3prio"));
    Proprio1->setStatusTip(QStringLiteral("D\u00E1 grafia de nomes pr\u00F3prios ao texto selecionado"));
    ConverteAcentuacao1 = Editar1->addAction(QStringLiteral("Converte acentua\u00E7\u00E3o do DOS"));
    QMenu* opcoes = MainMenu1->addMenu(QStringLiteral("&Op\u00E7\u00F5es"));
    MostraEspacos1 = opcoes->addAction(QStringLiteral("Mostra espa\u00E7os"));
    MostraEspacos1->setCheckable(true);
    SelecaoPorColunas1 = opcoes->addAction(QStringLiteral("Sele\u00E7\u00E3o por &colunas"));
    SelecaoPorColunas1->setCheckable(true);
    QMenu* ferramentas = MainMenu1->addMenu(QStringLiteral("&Ferramentas"));
    GeraDEF1 = ferramentas->addAction(QStringLiteral("Gera &DEF"));
    GeraCNV1 = ferramentas->addAction(QStringLiteral("Gera &CNV"));
    InverteSelecao1 = ferramentas->addAction(QStringLiteral("&Inverte Sele\u00E7\u00E3o"));
    NumeraCNV1 = ferramentas->addAction(QStringLiteral("&Numera CNV"));
    UmCodigo1 = ferramentas->addAction(QStringLiteral("&Um c\u00F3digo por linha"));
    VariosCodigos1 = ferramentas->addAction(QStringLiteral("&V\u00E1rios c\u00F3digos por linha"));
    Habilita({GeraDEF1, GeraCNV1, InverteSelecao1, NumeraCNV1}, false);
    Ajuda1 = MainMenu1->addAction(QStringLiteral("Ajuda"));
    for (QAction* a : {Desfazer1, Refazer1, Copiar1, Cortar1, Colar1, Localizar1, Substituir1, Selecionartudo1})
        a->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    addActions(Editar1->actions());

    // Top panel: folders, files and the DBF's fields.
    Panel1 = new QWidget(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    DriveComboBox1 = new QComboBox(Panel1);
    for (const QFileInfo& d : QDir::drives())
        DriveComboBox1->addItem(d.absoluteFilePath());
    DirectoryListBox1 = new QListWidget(Panel1);
    LDiretorio = new QLabel(Panel1);
    FileListBox1 = new QListWidget(Panel1);
    FileListBox1->setObjectName(QStringLiteral("FileListBox1"));
    LDBF = new QLabel(QStringLiteral("Campos do DBF"), Panel1);
    CheckListBox1 = new QListWidget(Panel1);
    CheckListBox1->setObjectName(QStringLiteral("CheckListBox1"));
    for (QListWidget* l : {FileListBox1, CheckListBox1}) {
        l->setDragEnabled(true);
        l->setDragDropMode(QAbstractItemView::DragOnly);
    }
    Edit1 = new QLineEdit(Panel1);
    auto* colDir = new QVBoxLayout;
    colDir->addWidget(new QLabel(QStringLiteral("Escolha diret\u00F3rio:"), Panel1));
    colDir->addWidget(DriveComboBox1);
    colDir->addWidget(LDiretorio);
    colDir->addWidget(DirectoryListBox1, 1);
    auto* colArq = new QVBoxLayout;
    colArq->addWidget(new QLabel(QStringLiteral("*.cnv;*.db?;*.def"), Panel1));
    colArq->addWidget(FileListBox1, 1);
    auto* colCampos = new QVBoxLayout;
    colCampos->addWidget(LDBF);
    colCampos->addWidget(CheckListBox1, 1);
    colCampos->addWidget(Edit1);
    auto* lPainel = new QHBoxLayout(Panel1);
    lPainel->setContentsMargins(0, 0, 0, 0);
    lPainel->addLayout(colDir, 1);
    lPainel->addLayout(colArq, 1);
    lPainel->addLayout(colCampos, 1);
    Panel1->setMaximumHeight(220);

    Regua = new QLabel(this);
    Regua->setObjectName(QStringLiteral("Regua"));
    Regua->setVisible(false);
    Regua->setTextFormat(Qt::PlainText);

    Memo1 = new EditorDefCnv(this);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setUtf8(true);
    Memo1->setEolMode(QsciScintilla::EolWindows);
    Memo1->setMarginLineNumbers(0, true);
    Memo1->setMarginWidth(0, QStringLiteral("000000"));
    Memo1->setLexer(new RealceDefCnv(Memo1));
    Memo1->AoSoltar = [this](QObject* origem) { return Memo1DragDrop(origem); };

    StatusBar1 = new QStatusBar(this);
    for (int i = 0; i < 3; ++i) {
        Painel[i] = new QLabel(StatusBar1);
        StatusBar1->addWidget(Painel[i], i == 2 ? 1 : 0);
    }
    Painel[0]->setMinimumWidth(80);
    Painel[1]->setMinimumWidth(100);

    busca_ = std::make_unique<BuscaNoEditor>(
        *Memo1, this, [](const std::string& texto) { MensagensAtuais().Mostra(MensagemNaoEncontrada(texto)); });
    FindDialog1 = busca_->Localizar;
    ReplaceDialog1 = busca_->Substituir;

    auto* layout = new QVBoxLayout(this);
    layout->setMenuBar(MainMenu1);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->setSpacing(2);
    layout->addWidget(ToolBar1);
    layout->addWidget(Panel1);
    layout->addWidget(Regua);
    layout->addWidget(Memo1, 1);
    layout->addWidget(StatusBar1);

    // Wiring.
    connect(bAbrir, &QAction::triggered, this, &TFFazDef::Abrir1Click);
    connect(Abrir1, &QAction::triggered, this, &TFFazDef::Abrir1Click);
    connect(Salvar, &QAction::triggered, this, &TFFazDef::SalvarClick);
    connect(Salvar1, &QAction::triggered, this, &TFFazDef::SalvarClick);
    connect(bImprime, &QAction::triggered, this, &TFFazDef::bImprimeClick);
    connect(Imprimir1, &QAction::triggered, this, &TFFazDef::bImprimeClick);
    connect(Sair, &QAction::triggered, this, &TFFazDef::SairClick);
    connect(Retornar1, &QAction::triggered, this, &TFFazDef::SairClick);
    connect(bAcentos, &QAction::triggered, this, &TFFazDef::bAcentosClick);
    connect(ConverteAcentuacao1, &QAction::triggered, this, &TFFazDef::bAcentosClick);
    connect(bFullScreen, &QAction::triggered, this, &TFFazDef::bFullScreenClick);
    connect(bInvSel, &QAction::triggered, this, &TFFazDef::bInvSelClick);
    connect(InverteSelecao1, &QAction::triggered, this, &TFFazDef::bInvSelClick);
    connect(bAutoDEF, &QAction::triggered, this, &TFFazDef::bAutoDEFClick);
    connect(GeraDEF1, &QAction::triggered, this, &TFFazDef::bAutoDEFClick);
    connect(bAutoCNV, &QAction::triggered, this, &TFFazDef::bAutoCNVClick);
    connect(GeraCNV1, &QAction::triggered, this, &TFFazDef::bAutoCNVClick);
    connect(NumeraCNV, &QAction::triggered, this, &TFFazDef::NumeraCNVClick);
    connect(NumeraCNV1, &QAction::triggered, this, &TFFazDef::NumeraCNVClick);
    connect(bCompacta, &QAction::triggered, this, &TFFazDef::bCompactaClick);
    connect(VariosCodigos1, &QAction::triggered, this, &TFFazDef::bCompactaClick);
    connect(bExpande, &QAction::triggered, this, &TFFazDef::bExpandeClick);
    connect(UmCodigo1, &QAction::triggered, this, &TFFazDef::bExpandeClick);
    connect(Desfazer1, &QAction::triggered, this, &TFFazDef::Desfazer1Click);
    connect(Refazer1, &QAction::triggered, this, &TFFazDef::Refazer1Click);
    connect(Copiar1, &QAction::triggered, this, &TFFazDef::Copiar1Click);
    connect(Cortar1, &QAction::triggered, this, &TFFazDef::Cortar1Click);
    connect(Colar1, &QAction::triggered, this, &TFFazDef::Colar1Click);
    connect(Localizar1, &QAction::triggered, this, &TFFazDef::Localizar1Click);
    connect(Substituir1, &QAction::triggered, this, &TFFazDef::Substituir1Click);
    connect(Selecionartudo1, &QAction::triggered, this, &TFFazDef::Selecionartudo1Click);
    connect(Maiusculas1, &QAction::triggered, this, &TFFazDef::Maiusculas1Click);
    connect(Minusculas1, &QAction::triggered, this, &TFFazDef::Minusculas1Click);
    connect(Proprio1, &QAction::triggered, this, &TFFazDef::Proprio1Click);
    connect(MostraEspacos1, &QAction::triggered, this, &TFFazDef::MostraEspacos1Click);
    connect(SelecaoPorColunas1, &QAction::triggered, this, &TFFazDef::SelecaoPorColunas1Click);
    connect(Ajuda1, &QAction::triggered, this, &TFFazDef::Ajuda1Click);
    connect(Editar1, &QMenu::aboutToShow, this, &TFFazDef::Editar1Click);
    connect(DriveComboBox1, &QComboBox::activated, this, [this](int) { DriveComboBox1Change(); });
    // Activating a folder enters it; the file list follows the folder shown.
    connect(DirectoryListBox1, &QListWidget::itemActivated, this, [this](QListWidgetItem* it) {
        if (it) MostraDiretorio(QDir::cleanPath(QDir(diretorio_).absoluteFilePath(it->text())));
    });
    connect(FileListBox1, &QListWidget::itemActivated, this, [this](QListWidgetItem*) { FileListBox1DblClick(); });
    connect(Memo1, &QsciScintillaBase::SCN_UPDATEUI, this, [this](int) { Memo1StatusChange(); });
    connect(Memo1, &QsciScintilla::modificationChanged, this, [this](bool) { Memo1StatusChange(); });
    connect(Memo1, &QsciScintilla::cursorPositionChanged, this, [this](int, int) { Memo1StatusChange(); });
    connect(Memo1, &QsciScintilla::textChanged, this, &TFFazDef::Memo1StatusChange);

    UsaFonteFixa(Memo1, [this](const QFont& f) { DefineFonte(f.family()); });
    MostraDiretorio(QDir::currentPath());
    Memo1StatusChange();
}

TFFazDef::~TFFazDef() {
    if (FFazDef == this) FFazDef = nullptr;
}

void TFFazDef::DefineFonte(const QString& fonte) {
    QFont f(fonte, 10);
    f.setStyleHint(QFont::TypeWriter);
    f.setFixedPitch(true);
    if (QsciLexer* lx = Memo1->lexer()) {
        lx->setDefaultFont(f);
        lx->setFont(f, -1);
    }
    Memo1->setMarginsFont(f);
    Regua->setFont(f);
    FormResize();
}

void TFFazDef::Habilita(std::initializer_list<QAction*> acoes, bool sim) {
    for (QAction* a : acoes)
        a->setEnabled(sim);
}

void TFFazDef::resizeEvent(QResizeEvent* e) {
    QDialog::resizeEvent(e);
    FormResize();
}

void TFFazDef::FormResize() {
    Regua->setFixedWidth(std::max(0, Panel1->width() - 8));
    // The ruler starts where the text does, after the line-number margin.
    int margem = 0;
    for (int i = 0; i < 5; ++i)
        margem += Memo1->marginWidth(i);
    margem += static_cast<int>(Memo1->SendScintilla(QsciScintillaBase::SCI_GETMARGINLEFT));
    Regua->setIndent(margem + Memo1->frameWidth());
}

// ---- folders and files ----

void TFFazDef::MostraDiretorio(const QString& pasta) {
    QDir d(pasta);
    diretorio_ = d.absolutePath();
    LDiretorio->setText(diretorio_);
    DirectoryListBox1->clear();
    if (!d.isRoot()) DirectoryListBox1->addItem(QStringLiteral(".."));
    for (const QString& s : d.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase))
        DirectoryListBox1->addItem(s);
    DirectoryListBox1Change();
}

void TFFazDef::DriveComboBox1Change() {
    if (DriveComboBox1->currentIndex() >= 0) MostraDiretorio(DriveComboBox1->currentText());
}

void TFFazDef::DirectoryListBox1Change() {
    FileListBox1->clear();
    std::vector<std::string> nomes;
    for (const char* m : {"*.cnv", "*.db?", "*.def"})
        for (std::string& n : ListaArquivos(diretorio_.toStdString(), m))
            nomes.push_back(std::move(n));
    std::sort(nomes.begin(), nomes.end());
    nomes.erase(std::unique(nomes.begin(), nomes.end()), nomes.end());
    for (const std::string& n : nomes)
        FileListBox1->addItem(QString::fromStdString(n));
}

void TFFazDef::FileListBox1DblClick() {
    QListWidgetItem* it = FileListBox1->currentItem();
    if (!it) return;
    AbreArquivo(QDir(diretorio_).absoluteFilePath(it->text()));
}

void TFFazDef::CarregaTexto(const QString& caminho) {
    const std::string bytes = LeArquivoInteiro(caminho.toStdString());
    Memo1->setText(ParaQString(bytes));
    Memo1->setModified(false);
}

void TFFazDef::AbreArquivo(const QString& caminho) {
    const QString ext = QFileInfo(caminho).suffix().toUpper();
    if (ext == QLatin1String("DBF") || ext == QLatin1String("DBC")) {
        auto campos = CamposDoArquivo(caminho.toStdString());
        if (!campos) return;
        CheckListBox1->clear();
        for (const CampoDBF& c : *campos) {
            auto* item = new QListWidgetItem(ParaQString(ItemCampo(c)), CheckListBox1);
            item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
            item->setCheckState(Qt::Checked);
        }
        Habilita({bAutoDEF, bAutoCNV, bInvSel, GeraDEF1, GeraCNV1, InverteSelecao1}, true);
        dbf_ = caminho;
        LDBF->setText(caminho);
        return;
    }
    if (Memo1->isModified()) {
        const int r = MensagensAtuais().Confirma("Aviso", DeQString(windowTitle()) + " foi modificado! Salvar?",
                                                 {"&Sim", "&N\xE3o"});
        if (r == 0) {
            // A text that never had a file asks for a name instead of taking the caption as one.
            if (arquivo_.isEmpty())
                SalvarClick();
            else
                GravaEm(arquivo_);
        }
    }
    CarregaTexto(caminho);
    arquivo_ = caminho;
    setWindowTitle(caminho);
    Habilita({Salvar, bAcentos, bImprime, Salvar1, Imprimir1, ConverteAcentuacao1}, true);
    const bool cnv = ext == QLatin1String("CNV");
    Regua->setVisible(cnv);
    Habilita({NumeraCNV, bCompacta, bExpande, NumeraCNV1, VariosCodigos1, UmCodigo1}, cnv);
    filtroSalvar_ = cnv ? 1 : 2;
    if (auto* lx = dynamic_cast<RealceDefCnv*>(Memo1->lexer())) {
        lx->cnv = cnv;
        Memo1->recolor();
    }
    Memo1StatusChange();
}

void TFFazDef::Abrir1Click() {
    QFileDialog dlg(this, QStringLiteral("Abrir"), diretorio_,
                    QStringLiteral("Tabela de convers\u00E3o (*.cnv);;Arquivo de defini\u00E7\u00E3o (*.def);;"
                                   "Arquivo bBaseIII+ (*.dbf)"));
    dlg.setObjectName(QStringLiteral("OpenDialog1"));
    dlg.setOption(QFileDialog::DontUseNativeDialog);
    dlg.setFileMode(QFileDialog::ExistingFile);
    if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty()) return;
    const QFileInfo fi(dlg.selectedFiles().first());
    MostraDiretorio(fi.absolutePath());
    const auto achados = FileListBox1->findItems(fi.fileName(), Qt::MatchFixedString | Qt::MatchCaseSensitive);
    if (!achados.isEmpty()) FileListBox1->setCurrentItem(achados.first());
    AbreArquivo(fi.absoluteFilePath());
}

void TFFazDef::SaveDialog1TypeChange(int filtro) { filtroSalvar_ = filtro; }

void TFFazDef::SalvarClick() {
    static const QStringList filtros{QStringLiteral("Tabelas de convers\u00E3o (*.cnv)"),
                                     QStringLiteral("Arquivos de defini\u00E7\u00E3o (*.def)")};
    QFileDialog dlg(this, QStringLiteral("Salvar"), diretorio_);
    dlg.setObjectName(QStringLiteral("SaveDialog1"));
    dlg.setOption(QFileDialog::DontUseNativeDialog);
    dlg.setAcceptMode(QFileDialog::AcceptSave);
    dlg.setNameFilters(filtros);
    const int filtro = std::clamp(filtroSalvar_, 1, 2);
    dlg.selectNameFilter(filtros[filtro - 1]);
    dlg.setDefaultSuffix(filtro == 1 ? QStringLiteral("cnv") : QStringLiteral("def"));
    connect(&dlg, &QFileDialog::filterSelected, &dlg, [this, &dlg](const QString& f) {
        SaveDialog1TypeChange(static_cast<int>(filtros.indexOf(f)) + 1);
        dlg.setDefaultSuffix(filtroSalvar_ == 1 ? QStringLiteral("cnv") : QStringLiteral("def"));
    });
    if (!arquivo_.isEmpty()) dlg.selectFile(arquivo_);
    if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty()) return;
    GravaEm(dlg.selectedFiles().first());
}

void TFFazDef::GravaEm(const QString& caminho) {
    GravaArquivoInteiro(caminho.toStdString(), JuntaLinhas(LinhasTexto()));
    arquivo_ = QFileInfo(caminho).absoluteFilePath();
    setWindowTitle(arquivo_);
    Memo1->setModified(false);
    const QFileInfo fi(arquivo_);
    MostraDiretorio(fi.absolutePath());
    const auto achados = FileListBox1->findItems(fi.fileName(), Qt::MatchFixedString | Qt::MatchCaseSensitive);
    if (!achados.isEmpty()) FileListBox1->setCurrentItem(achados.first());
    Memo1StatusChange();
}

void TFFazDef::SairClick() { close(); }

// ---- editor ----

std::vector<std::string> TFFazDef::LinhasTexto() const { return DivideLinhas(DeQString(Memo1->text())); }

void TFFazDef::TrocaTexto(const std::vector<std::string>& linhas) {
    Memo1->beginUndoAction();
    Memo1->selectAll(true);
    Memo1->replaceSelectedText(ParaQString(JuntaLinhas(linhas)));
    Memo1->endUndoAction();
    Memo1->setCursorPosition(0, 0);
}

void TFFazDef::AplicaLinhas(const std::function<void(std::vector<std::string>&)>& f) {
    std::vector<std::string> linhas = LinhasTexto();
    f(linhas);
    TrocaTexto(linhas);
}

bool TFFazDef::Memo1DragDrop(QObject* origem) {
    QListWidgetItem* it = nullptr;
    QString texto;
    if (origem == CheckListBox1 && (it = CheckListBox1->currentItem()))
        texto = QStringLiteral(",") + ParaQString(NomeDoItem(DeQString(it->text())));
    else if (origem == FileListBox1 && (it = FileListBox1->currentItem()))
        texto = QStringLiteral(",") + it->text();
    else
        return false;
    Memo1->replaceSelectedText(texto);
    Memo1->setFocus();
    return true;
}

void TFFazDef::Memo1StatusChange() {
    int linha = 0, indice = 0;
    Memo1->getCursorPosition(&linha, &indice);
    const long pos = Memo1->SendScintilla(QsciScintillaBase::SCI_GETCURRENTPOS);
    const int coluna = static_cast<int>(Memo1->SendScintilla(QsciScintillaBase::SCI_GETCOLUMN, pos));
    Painel[0]->setText(ParaQString(TextoPosicao(linha + 1, coluna + 1)));
    Painel[1]->setText(Memo1->isModified() ? QStringLiteral("Modificado") : QStringLiteral("N\u00E3o modificado"));
    Painel[2]->setText(Memo1->overwriteMode() ? QStringLiteral("Substitue") : QStringLiteral("Insere"));
    const long largura = Memo1->SendScintilla(QsciScintillaBase::SCI_TEXTWIDTH, QsciScintillaBase::STYLE_DEFAULT, " ");
    const long x = Memo1->SendScintilla(QsciScintillaBase::SCI_GETXOFFSET);
    Regua->setText(ParaQString(ReguaVisivel(largura > 0 ? static_cast<int>(x / largura) : 0)));
}

void TFFazDef::NumeraCNVClick() {
    Memo1->hide();
    struct Mostra {
        QWidget* w;
        ~Mostra() { w->show(); }
    } volta{Memo1};
    AplicaLinhas([](std::vector<std::string>& l) { dorvan::NumeraCNV(l); });
}

void TFFazDef::bCompactaClick() {
    CursorOcupado ocupado;
    AplicaLinhas([](std::vector<std::string>& l) { CompactaCNV(l); });
}

void TFFazDef::bExpandeClick() {
    CursorOcupado ocupado;
    AplicaLinhas([](std::vector<std::string>& l) { ExpandeCNV(l); });
}

void TFFazDef::bAcentosClick() {
    AplicaLinhas([](std::vector<std::string>& linhas) {
        for (std::string& l : linhas)
            l = OemParaAnsi(l);
    });
    Habilita({bAcentos}, false);
}

void TFFazDef::TrocaSelecao(const std::function<std::string(std::string_view)>& f) {
    if (!TemSelecaoNoEditor(*Memo1)) return;
    int l0 = 0, i0 = 0, l1 = 0, i1 = 0;
    Memo1->getSelection(&l0, &i0, &l1, &i1);
    const bool retangular = Memo1->SendScintilla(QsciScintillaBase::SCI_SELECTIONISRECTANGLE) != 0;
    const QString novo = ParaQString(f(DeQString(TextoSelecionadoNoEditor(*Memo1))));
    if (retangular) {
        // A column block is changed line by line so every piece stays in its place.
        const QStringList partes = novo.split(QRegularExpression(QStringLiteral("\r\n|\n")));
        Memo1->beginUndoAction();
        const long n = Memo1->SendScintilla(QsciScintillaBase::SCI_GETSELECTIONS);
        for (long s = 0; s < n && s < partes.size(); ++s) {
            const long a = Memo1->SendScintilla(QsciScintillaBase::SCI_GETSELECTIONNSTART, s);
            const long b = Memo1->SendScintilla(QsciScintillaBase::SCI_GETSELECTIONNEND, s);
            Memo1->SendScintilla(QsciScintillaBase::SCI_SETTARGETSTART, a);
            Memo1->SendScintilla(QsciScintillaBase::SCI_SETTARGETEND, b);
            const QByteArray bytes = partes[static_cast<int>(s)].toUtf8();
            Memo1->SendScintilla(QsciScintillaBase::SCI_REPLACETARGET, static_cast<unsigned long>(bytes.size()),
                                 bytes.constData());
        }
        Memo1->endUndoAction();
        return;
    }
    Memo1->replaceSelectedText(novo);
    Memo1->setSelection(l0, i0, l1, i1);
}

void TFFazDef::Maiusculas1Click() {
    TrocaSelecao([](std::string_view s) { return ParaMaiusculas(s); });
}
void TFFazDef::Minusculas1Click() {
    TrocaSelecao([](std::string_view s) { return ParaMinusculas(s); });
}
void TFFazDef::Proprio1Click() {
    CursorOcupado ocupado;
    TrocaSelecao([](std::string_view s) { return NomeProprio(s); });
}

void TFFazDef::ImprimeEm(QPrinter& impressora) {
    QPainter p;
    if (!p.begin(&impressora)) return;
    QFont fonte = Memo1->lexer() ? Memo1->lexer()->defaultFont() : Memo1->font();
    p.setFont(fonte);
    const QFontMetrics fm(fonte, &impressora);
    const int altura = std::max(1, fm.height());
    const int pagina = impressora.pageLayout().paintRectPixels(impressora.resolution()).height();
    const int porPagina = pagina / std::max(1, fm.boundingRect(QStringLiteral("A")).height()) - 10;
    int y = 0;
    for (const std::string& l : LinhasImpressao(LinhasTexto(), porPagina)) {
        if (l == "\f" || y + altura > pagina) {
            impressora.newPage();
            y = 0;
            if (l == "\f") continue;
        }
        p.drawText(0, y + fm.ascent(), ParaQString(l));
        y += altura;
    }
    p.end();
}

void TFFazDef::bImprimeClick() {
    QPrinter impressora;
    QPrintDialog dlg(&impressora, this);
    if (dlg.exec() != QDialog::Accepted) return;
    ImprimeEm(impressora);
}

// ---- generators ----

std::vector<std::string> TFFazDef::CamposMarcados() const {
    std::vector<std::string> r;
    for (int i = 0; i < CheckListBox1->count(); ++i)
        if (CheckListBox1->item(i)->checkState() == Qt::Checked)
            r.push_back(NomeDoItem(DeQString(CheckListBox1->item(i)->text())));
    return r;
}

std::vector<std::string> TFFazDef::ArquivosCNVListados() const {
    std::vector<std::string> r;
    for (int i = 0; i < FileListBox1->count(); ++i) {
        const QString n = FileListBox1->item(i)->text();
        if (QFileInfo(n).suffix().toUpper() == QLatin1String("CNV")) r.push_back(DeQString(n));
    }
    return r;
}

void TFFazDef::bAutoDEFClick() {
    if (dbf_.isEmpty()) return;
    setWindowTitle(QString::fromStdString(NomeDEFdoDBF(dbf_.toStdString())));
    arquivo_ = windowTitle();
    filtroSalvar_ = 2;
    std::unique_ptr<TfLigaCNV> propria;
    TfLigaCNV* liga = fLigaCNV;
    if (!liga) {
        propria = std::make_unique<TfLigaCNV>(this);
        liga = propria.get();
    }
    const std::vector<std::string> cnvs = ArquivosCNVListados();
    liga->lbCNV->clear();
    for (const std::string& c : cnvs)
        liga->lbCNV->addItem(ParaQString(c));
    auto pergunta = [liga](const std::string& campo, LigacaoCNV& l) {
        liga->cbxLinhas->setChecked(l.linhas);
        liga->cbxColunas->setChecked(l.colunas);
        liga->cbxSelecao->setChecked(l.selecao);
        liga->cbxQuadro->setChecked(l.quadro);
        liga->edDescr->setText(ParaQString(l.descricao));
        liga->edNomeCNV->setText(ParaQString(l.nomeCNV));
        liga->edInicio->setText(ParaQString(l.inicio));
        liga->setWindowTitle(ParaQString("Liga CNV \xE0 coluna: " + campo));
        if (liga->exec() != QDialog::Accepted) return false;
        l.descricao = DeQString(liga->edDescr->text());
        l.nomeCNV = DeQString(liga->edNomeCNV->text());
        l.inicio = DeQString(liga->edInicio->text());
        l.linhas = liga->cbxLinhas->isChecked();
        l.colunas = liga->cbxColunas->isChecked();
        l.selecao = liga->cbxSelecao->isChecked();
        l.quadro = liga->cbxQuadro->isChecked();
        return true;
    };
    const std::vector<std::string> def = GeraDEF(dbf_.toStdString(), CamposMarcados(), cnvs, pergunta);
    Memo1->setText(ParaQString(JuntaLinhas(def)));
    if (auto* lx = dynamic_cast<RealceDefCnv*>(Memo1->lexer())) {
        lx->cnv = false;
        Memo1->recolor();
    }
    Regua->setVisible(false);
    Habilita({Salvar, Salvar1}, true);
    SalvarClick();
    MostraDiretorio(diretorio_);
}

void TFFazDef::bAutoCNVClick() {
    if (dbf_.isEmpty()) return;
    ResultadoCNV r;
    {
        CursorOcupado ocupado;
        r = GeraCNVs(dbf_.toStdString(), CamposMarcados());
        MostraDiretorio(diretorio_);
    }
    if (!r.recusados.empty()) {
        std::string texto = "Valores com ';' ficaram fora das tabelas:";
        for (const std::string& v : r.recusados)
            texto += "\n" + v;
        MensagensAtuais().Mostra(texto);
    }
}

void TFFazDef::bInvSelClick() {
    for (int i = 0; i < CheckListBox1->count(); ++i) {
        QListWidgetItem* it = CheckListBox1->item(i);
        it->setCheckState(it->checkState() == Qt::Checked ? Qt::Unchecked : Qt::Checked);
    }
}

void TFFazDef::bFullScreenClick() {
    const bool mostra = !Panel1->isVisibleTo(this);
    Panel1->setVisible(mostra);
    bFullScreen->setIcon(
        style()->standardIcon(mostra ? QStyle::SP_TitleBarMaxButton : QStyle::SP_TitleBarNormalButton));
    bFullScreen->setToolTip(mostra ? QStringLiteral("Editar em tela cheia")
                                   : QStringLiteral("Mostrar arquivos e campos do DBF"));
}

void TFFazDef::SelecaoPorColunas1Click() {
    Memo1->SendScintilla(QsciScintillaBase::SCI_SETSELECTIONMODE, SelecaoPorColunas1->isChecked()
                                                                      ? QsciScintillaBase::SC_SEL_RECTANGLE
                                                                      : QsciScintillaBase::SC_SEL_STREAM);
}

void TFFazDef::MostraEspacos1Click() {
    Memo1->setWhitespaceVisibility(MostraEspacos1->isChecked() ? QsciScintilla::WsVisible : QsciScintilla::WsInvisible);
}

// ---- find and replace ----

void TFFazDef::Localizar1Click() { busca_->MostraLocalizar(); }
void TFFazDef::Substituir1Click() { busca_->MostraSubstituir(); }
bool TFFazDef::Localiza(const DialogoBusca& d, bool avisa) { return busca_->Localiza(d, avisa); }
void TFFazDef::FindDialog1Find() { Localiza(*FindDialog1, true); }
void TFFazDef::ReplaceDialog1Find() { Localiza(*ReplaceDialog1, true); }
void TFFazDef::ReplaceDialog1Replace() { busca_->SubstituiSelecao(); }

// ---- edit menu ----

void TFFazDef::Editar1Click() {
    HabilitaMenuEditar(*Memo1, Desfazer1, Refazer1, {Cortar1, Copiar1, Maiusculas1, Minusculas1, Proprio1}, Colar1);
}

void TFFazDef::Desfazer1Click() { Memo1->undo(); }
void TFFazDef::Refazer1Click() { Memo1->redo(); }
void TFFazDef::Copiar1Click() { Memo1->copy(); }
void TFFazDef::Cortar1Click() { Memo1->cut(); }
void TFFazDef::Colar1Click() { Memo1->paste(); }
void TFFazDef::Selecionartudo1Click() { Memo1->selectAll(true); }

void TFFazDef::Ajuda1Click() { ExploreWeb(ConfiguracaoAtual().DirPrograma + "DEFCNV.htm"); }

// ---- start-up ----

void RegistraEditorDEF(InicioPrograma& inicio, std::unique_ptr<TForm1>& form1) {
    inicio.RegistraJanela("TFFazDef", [&form1] {
        FFazDef = new TFFazDef(form1.get());
        if (!form1) return;
        form1->DefineComando(QStringLiteral("Definio1Click"), [] {
            if (FFazDef) FFazDef->exec();
        });
    });
    inicio.RegistraJanela("TfLigaCNV", [&form1] {
        fLigaCNV = new TfLigaCNV(form1.get());
        QObject::connect(fLigaCNV, &QObject::destroyed, [] { fLigaCNV = nullptr; });
    });
}

} // namespace dorvan

#include "table/ui/TForm1.h"

#include "platform/Arquivos.h"
#include "platform/Mensagens.h"
#include "platform/Numeros.h"
#include "platform/Texto1252.h"
#include "platform/ui/Janelas.h"
#include "platform/ui/Medidas.h"
#include "table/EdicaoTabela.h"
#include "table/EstadoMenus.h"
#include "table/LogExecucao.h"
#include "table/OperacoesColunas.h"
#include "table/Utilidades.h"
#include "table/ui/ComandosTabela.h"
#include "table/ui/GradeFixa.h"
#include "table/ui/ModeloTabela.h"
#include "table/ui/TfColuna.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDialog>
#include <QFontMetrics>
#include <cmath>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QMouseEvent>
#include <QScrollBar>
#include <QStatusBar>
#include <QTableView>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <filesystem>

namespace dorvan {

TForm1* Form1 = nullptr;

GanchosForm1& Ganchos() {
    static GanchosForm1 g;
    return g;
}

namespace {

QString Q(const char* texto1252) { return ParaQString(texto1252); }

// The grid's font; its titles and totals are bold.
QFont FonteGrade(bool negrito = false) {
    QFont f(QStringLiteral("Arial"), 8);
    f.setBold(negrito);
    return f;
}

const char* const FiltroAbrir = "Textos separado por v\xEDrgulas |*.prn|Tabela do Dorvan|*.tab|Arquivos dBase III+|*.dbf|"
                                "Comma Separated Values|*.csv";
// The name the open dialog starts with: the three table kinds at once.
const char* const NomeInicialAbrir = "*.tab;*.prn;*.csv";
const char* const FiltroSalvar =
    "Texto separado por v\xEDrgulas|*.prn|Documento HTML|*.htm|Tabela do Dorvan |*.tab|Tabela de convers\xE3o|*.cnv|"
    "Tabela SPRING|*_tab.spr|Arquivo dBase III plus|*.dbf|Planilha Excel|*.xls|SQL script|*.sql|"
    "Comma Separated Values|*.csv|Documento XML|*.xml";

// "Name|*.ext|Name|*.ext" as Qt filters, and each filter's extension.
QStringList FiltrosQt(const char* filtro, QStringList* extensoes = nullptr) {
    const QStringList partes = Q(filtro).split(QLatin1Char('|'));
    QStringList r;
    for (int i = 0; i + 1 < partes.size(); i += 2) {
        r << partes[i].trimmed() + QStringLiteral(" (") + partes[i + 1] + QStringLiteral(")");
        if (extensoes) *extensoes << partes[i + 1].mid(partes[i + 1].lastIndexOf(QLatin1Char('.')));
    }
    return r;
}

struct Item {
    const char* nome;
    const char* texto; // 1252
    const char* manipulador;
    const char* atalho = nullptr;
    bool oculto = false;
};

} // namespace

TForm1::TForm1(TabelaResultados& t, Configuracao& cfg, QWidget* pai) : QMainWindow(pai), t_(t), cfg_(cfg) {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Dorvan32"));
    resize(900, 650);

    CriaMenus();
    CriaBarra();

    auto* centro = new QWidget(this);
    auto* v = new QVBoxLayout(centro);
    v->setContentsMargins(0, 0, 0, 0);
    v->setSpacing(2);

    Panel2 = new QWidget(centro);
    Panel2->setObjectName(QStringLiteral("Panel2"));
    auto* h2 = new QHBoxLayout(Panel2);
    h2->setContentsMargins(4, 2, 4, 2);
    edTitulo = new QLineEdit(Panel2);
    edTitulo->setObjectName(QStringLiteral("edTitulo"));
    edSubTitulo = new QLineEdit(Panel2);
    edSubTitulo->setObjectName(QStringLiteral("edSubTitulo"));
    for (QLineEdit* e : {edTitulo, edSubTitulo}) e->setMaxLength(80);
    h2->addWidget(new QLabel(Q("T\xEDtulo"), Panel2));
    h2->addWidget(edTitulo, 1);
    h2->addWidget(new QLabel(Q("Subt\xEDtulo"), Panel2));
    h2->addWidget(edSubTitulo, 1);
    v->addWidget(Panel2);

    Modelo = new ModeloTabela(t_, this);
    Modelo->AoEditar = [this] {
        // A changed cell can change the column's total and the window's state.
        HabilitaComandos();
    };
    StringGrid1 = new GradeFixa([this](int c, int largura) { RedimensionaColuna(c, largura); },
                                [this](int de, int para) { MoveColunaDaTabela(de, para); }, centro);
    StringGrid1->setObjectName(QStringLiteral("StringGrid1"));
    StringGrid1->setSelectionMode(QAbstractItemView::ContiguousSelection);
    StringGrid1->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                                 QAbstractItemView::AnyKeyPressed);
    StringGrid1->setFont(FonteGrade());
    StringGrid1->setModel(Modelo);
    StringGrid1->setItemDelegate(new DelegadoGrade(StringGrid1));
    StringGrid1->DefineAlturaLinhas(18);
    StringGrid1->setMouseTracking(true);
    for (QTableView* vista : {static_cast<QTableView*>(StringGrid1), StringGrid1->Topo(), StringGrid1->Esquerda(),
                              StringGrid1->Canto()})
        vista->viewport()->installEventFilter(this);
    StringGrid1->hide();
    v->addWidget(StringGrid1, 1);

    Panel3 = new QWidget(centro);
    Panel3->setObjectName(QStringLiteral("Panel3"));
    auto* h3 = new QHBoxLayout(Panel3);
    h3->setContentsMargins(4, 2, 4, 2);
    edRodape = new QLineEdit(Panel3);
    edRodape->setObjectName(QStringLiteral("edRodape"));
    edRodape->setMaxLength(80);
    h3->addWidget(new QLabel(Q("Rodap\xE9"), Panel3));
    h3->addWidget(edRodape, 1);
    v->addWidget(Panel3);
    setCentralWidget(centro);

    for (QLineEdit* e : {edTitulo, edSubTitulo, edRodape}) e->setFixedHeight(std::max(18, e->sizeHint().height()));
    connect(edTitulo, &QLineEdit::textEdited, this, [this](const QString& s) {
        t_.Titulo1 = DeQString(s.left(80));
        setWindowTitle(ParaQString(t_.Titulo1));
        t_.Modificada = true;
    });
    connect(edSubTitulo, &QLineEdit::textEdited, this, [this](const QString& s) {
        t_.Titulo2 = DeQString(s.left(80));
        t_.Modificada = true;
    });
    connect(edRodape, &QLineEdit::textEdited, this, [this](const QString& s) {
        t_.Rodape = DeQString(s.left(80));
        t_.Modificada = true;
    });

    const char* paineis[4] = {"Arquivo", "Notas", "Linhas", "Chave"};
    const int larguras[4] = {250, 200, 80, 50};
    // The file and notes panels share the window's width; the counts widen to their text.
    for (int k = 0; k < 4; ++k) {
        Painel[k] = k < 2 ? new QLabel(this) : new PainelStatus(larguras[k], this);
        Painel[k]->setText(QString::fromLatin1(paineis[k]));
        Painel[k]->setObjectName(QStringLiteral("Painel%1").arg(k));
        if (k < 2) Painel[k]->setFixedWidth(larguras[k]);
        statusBar()->addWidget(Painel[k]);
    }
    statusBar()->setObjectName(QStringLiteral("StatusBar1"));
    connect(QApplication::clipboard(), &QClipboard::dataChanged, this, [this] { HabilitaComandos(); });

    // Commands of this window; the others come from their rooms.
    comandos_[QStringLiteral("Abrir1Click")] = [this] { Abrir1Click(); };
    comandos_[QStringLiteral("Salvar1Click")] = [this] { Salvar1Click(); };
    comandos_[QStringLiteral("Nova1Click")] = [this] { Nova1Click(); };
    comandos_[QStringLiteral("Tabula1Click")] = [this] { Tabula1Click(); };
    comandos_[QStringLiteral("Sair1Click")] = [this] { Sair1Click(); };
    comandos_[QStringLiteral("ExtensaoTAB1Click")] = [this] { ExtensaoTAB1Click(); };
    comandos_[QStringLiteral("EnviarParaClick")] = [this] { EnviarParaClick(); };
    comandos_[QStringLiteral("Ajuda2Click")] = [this] { Ajuda2Click(); };
    comandos_[QStringLiteral("Novidades1Click")] = [this] { Novidades1Click(); };
    comandos_[QStringLiteral("Sobre1Click")] = [this] { Sobre1Click(); };
    comandos_[QStringLiteral("EscolheFontfixa1Click")] = [this] { EscolheFontfixa1Click(); };
    comandos_[QStringLiteral("CodePageClick")] = [this] { CodePageClick(); };
    // The table operations, statistics and their menus.
    LigaComandosTabela(*this);

    // The file dialogs; tests answer through these hooks instead.
    EscolheArquivoAbrir = [this](const QString& titulo) {
        QFileDialog d(this, titulo, QString::fromStdString(cfg_.DirSalva));
        // The dialog has no name box that filters; the starting name becomes the first filter.
        const QString inicial = QString::fromLatin1(NomeInicialAbrir);
        QStringList filtros = FiltrosQt(FiltroAbrir);
        filtros.prepend(inicial + QStringLiteral(" (") + QString(inicial).replace(QLatin1Char(';'), QLatin1Char(' ')) +
                        QStringLiteral(")"));
        d.setNameFilters(filtros);
        d.selectNameFilter(filtros.first());
        d.setFileMode(QFileDialog::ExistingFile);
        return d.exec() == QDialog::Accepted && !d.selectedFiles().isEmpty() ? d.selectedFiles().first().toStdString()
                                                                             : std::string();
    };
    EscolheArquivoSalvar = [this](const QString& titulo) {
        QStringList filtros = FiltrosQt(FiltroSalvar);
        // The handheld database type is offered when its converter is beside the program.
        std::error_code e;
        if (std::filesystem::is_regular_file(cfg_.DirPrograma + "csv2pdb", e)) {
            filtros << QStringLiteral("MobileDB (*.pdb)");
        }
        QFileDialog d(this, titulo, QString::fromStdString(cfg_.DirSalva));
        d.setAcceptMode(QFileDialog::AcceptSave);
        d.setNameFilters(filtros);
        d.selectNameFilter(filtros.value(2));
        if (d.exec() != QDialog::Accepted || d.selectedFiles().isEmpty()) return std::string();
        QString nome = d.selectedFiles().first();
        // A name without extension takes the one of the chosen file type (none for SPRING).
        const std::string padrao = ExtensaoDoTipoSalvar(static_cast<int>(filtros.indexOf(d.selectedNameFilter())) + 1);
        if (QFileInfo(nome).suffix().isEmpty() && !padrao.empty())
            nome += QStringLiteral(".") + QString::fromStdString(padrao);
        return nome.toStdString();
    };

    HabilitaComandos();
    Form1 = this;
}

const std::vector<std::string>& TForm1::LinhasLog() const { return LogAtual().Linhas(); }

TForm1::~TForm1() {
    if (Form1 == this) Form1 = nullptr;
}

QAction* TForm1::NovaAcao(const QString& nome, const QString& texto, const QString& manipulador) {
    auto* a = new QAction(texto, this);
    a->setObjectName(nome);
    a->setProperty("manipulador", manipulador);
    connect(a, &QAction::triggered, this, [this, manipulador] { Executa(manipulador); });
    acoes_[nome] = a;
    return a;
}

void TForm1::Executa(const QString& manipulador) {
    auto c = comandos_.find(manipulador);
    if (c != comandos_.end() && c->second) {
        c->second();
        return;
    }
    MensagensAtuais().Mostra("Comando ainda n\xE3o dispon\xEDvel nesta vers\xE3o.");
}

std::vector<std::string> TForm1::GanchosFaltando() const {
    std::vector<std::string> faltam;
    auto exige = [&faltam](bool definido, const char* nome) {
        if (!definido) faltam.emplace_back(nome);
    };
    exige(static_cast<bool>(EscolheArquivoAbrir), "EscolheArquivoAbrir");
    exige(static_cast<bool>(EscolheArquivoSalvar), "EscolheArquivoSalvar");
    exige(static_cast<bool>(EscolheCampos), "EscolheCampos");
    exige(static_cast<bool>(AoSair), "AoSair");
    const GanchosForm1& g = Ganchos();
    exige(static_cast<bool>(g.Tabula), "Ganchos().Tabula");
    exige(static_cast<bool>(g.AbreSQL), "Ganchos().AbreSQL");
    exige(static_cast<bool>(g.MostraDBF), "Ganchos().MostraDBF");
    exige(static_cast<bool>(g.MostraLog), "Ganchos().MostraLog");
    exige(static_cast<bool>(g.FechaLog), "Ganchos().FechaLog");
    for (const auto& [nome, acao] : acoes_) {
        const QString m = acao->property("manipulador").toString();
        auto c = comandos_.find(m);
        if (c == comandos_.end() || !c->second)
            faltam.push_back("comando " + m.toStdString() + " (" + nome.toStdString() + ")");
    }
    return faltam;
}

void TForm1::DefineComando(const QString& manipulador, std::function<void()> f) { comandos_[manipulador] = std::move(f); }

QAction* TForm1::Acao(const QString& nome) const {
    auto a = acoes_.find(nome);
    return a == acoes_.end() ? nullptr : a->second;
}

void TForm1::CriaMenus() {
    auto menu = [this](const char* titulo, const char* nome, std::initializer_list<Item> itens) {
        QMenu* m = menuBar()->addMenu(Q(titulo));
        m->setObjectName(QString::fromLatin1(nome));
        for (const Item& i : itens) {
            QAction* a = NovaAcao(QString::fromLatin1(i.nome), Q(i.texto), QString::fromLatin1(i.manipulador));
            if (i.atalho) a->setShortcut(QKeySequence(QString::fromLatin1(i.atalho)));
            a->setVisible(!i.oculto);
            m->addAction(a);
        }
        return m;
    };
    QMenu* arquivo = menu("&Arquivo", "Arquivo1",
                         {{"Abrir1", "&Abrir tabela", "Abrir1Click"},
                          {"CriarLinhadeMAP1", "Abrir/importar &mapa", "CriarLinhadeMAP1Click"},
                          {"Nova1", "&Nova", "Nova1Click"},
                          {"Salvar1", "&Salvar como", "Salvar1Click"},
                          {"EnviarPara", "&Enviar para ...", "EnviarParaClick"},
                          {"IncluiPRN1", "Incluir &tabela", "IncluiPRN1Click"},
                          {"IncluiDBF1", "Incluir dados de &DBF", "IncluiDBF1Click"},
                          {"Tabula1", "E&xecutar tabula\xE7\xE3o", "Tabula1Click"},
                          {"Imprime1", "&Imprimir", "Imprime1Click"},
                          {"VerDBF1", "&Ver arquivo .DBF", "SpeedButton15Click"},
                          {"VerMetafile", "Ver &Windows Metafile", "VerMetafileClick"},
                          {"AbreR", "Abre R em uma &janela separada", "AbreRClick", nullptr, true},
                          {"Criaresquemadeanlise1", "Criar esquema de an\xE1lise", "Criaresquemadeanlise1Click",
                           "Ctrl+R", true},
                          {"ComprimeExpandeDBF1", "&Comprime/Expande .DBF", "ComprimeExpandeDBF1Click"},
                          {"SQL1", "Consulta S&QL", "SQL1Click", "Ctrl+Q", true},
                          {"InstalarBDE1", "Instalar BDE standard ", "InstalarBDE1Click", nullptr, true},
                          {"ExtensaoTAB1", "Associar &extens\xE3o .TAB", "ExtensaoTAB1Click"}});
    Avancado = arquivo->addMenu(Q("A&van\xE7" "ado..."));
    Avancado->setObjectName(QStringLiteral("Avancado1"));
    Avancado->addAction(NovaAcao(QStringLiteral("OpLinhas"), Q("Criar &Linhas de DBF"), QStringLiteral("OpLinhasClick")));
    Avancado->addAction(
        NovaAcao(QStringLiteral("CP850"), Q("&Converte acentua\xE7\xE3o do DOS"), QStringLiteral("Converte1Click")));
    Avancado->menuAction()->setVisible(false);
    arquivo->addAction(NovaAcao(QStringLiteral("Sair1"), Q("Sai&r"), QStringLiteral("Sair1Click")));

    menu("&Editar", "Editar1",
         {{"Copiar1", "Co&piar", "Copiar1Click"},
          {"Colar1", "Co&lar", "Colar1Click"},
          {"Localizar1", "Locali&zar", "Localizar1Click", "Ctrl+F"},
          {"CodePage", "DBF com &acentua\xE7\xE3o para DOS", "CodePageClick"},
          {"EscolheFontfixa1", "Escolhe Font fixa", "EscolheFontfixa1Click"},
          {"EditarLog1", "Editar Log", "EditarLog1Click", "Ctrl+L"},
          {"Definio1", "&Editar arquivo DEF ou CNV", "Definio1Click"}});
    Acao(QStringLiteral("CodePage"))->setCheckable(true);

    menu("&Opera\xE7\xF5" "es", "Operaes1",
         {{"Indicador1", "&Calcular indicador", "Indicador1Click"},
          {"Divide1", "/ &Dividir", "Divide1Click"},
          {"Soma1", "+ &Somar", "Soma1Click"},
          {"Mltiplica1", "* &Multiplicar", "Multiplica1Click"},
          {"Subtrai1", "- S&ubtrair", "Subtrai1Click"},
          {"Minimo1", "M\xEDnim&o", "Minimo1Click"},
          {"Maximo1", "M\xE1&ximo", "Maximo1Click"},
          {"Fator1", "Multiplicar por &fator", "Fator1Click"},
          {"percentagem1", "&%percentagem", "percentagem1Click"},
          {"Acumula1", "&Acumular", "Acumula1Click"},
          {"Normalizar1", "Normali&zar", "Normalizar1Click"},
          {"Absoluto1", "A&bsoluto", "Absoluto1Click"},
          {"Inteiro1", "&Inteiro", "Inteiro1Click"},
          {"Seqncia1", "&Seq\xFC\xEAncia", "Seqncia1Click"},
          {"Total1", "Recalcula &total", "Total1Click"},
          {"NovaColuna", "&Nova coluna", "NovaColunaClick", "Ctrl+N"}});

    QAction* r = NovaAcao(QStringLiteral("AnaliseComR"), Q("An\xE1lise com &R"), QStringLiteral("ProgramaRClick"));
    r->setVisible(false);
    menuBar()->addAction(r);

    Estatisticas = menu("E&stat\xEDsticas", "Estatstica1",
                        {{"Descritivas", "&Descritivas de coluna", "Descritivas"},
                         {"Correlacao1", "&Coeficiente de correla\xE7\xE3o", "Correlacao1Click"},
                         {"Regressao1", "Regress\xE3o linear &simples", "Regressao1Click"},
                         {"Histograma1", "&Histograma", "Histograma1Click"}});

    menu("&Quadro", "Quadros1",
         {{"Ordenar1", "&Ordenar", "Ordenar1Click"},
          {"Ttulo1", "&Cabec das colunas", "Ttulo1Click"},
          {"LarguraCol1", "&Largura das colunas", "LarguraCol1Click"},
          {"Decimais1", "&Decimais", "Decimais1Click"},
          {"Tipodetotal1", "&Tipo de total", "Tipodetotal1Click"},
          {"EliminaColuna1", "&Eliminar coluna", "EliminaColuna1Click"},
          {"MoveColuna1", "&Mover colunas", "MoveColuna1Click"},
          {"SupLinhas1", "&Suprimir/agregar linhas", "SupLinhas1Click"},
          {"Trocarlinhas", "Trocar as linhas pelas colunas", "bTranspoeClick"},
          {"MostrarChave1", "Mostrar c&have", "MostrarChave1Click"},
          {"ComprChave", "Fi&xar comprimento da Chave", "ComprChaveClick"},
          {"Cabealho11", "Cabe\xE7" "alho&1", "Cabealho11Click"},
          {"Cabealho21", "Cabe\xE7" "alho&2", "Cabealho21Click"},
          {"mRodape", "&Rodap\xE9", "mRodapeClick"}});

    menu("&Gr\xE1" "fico", "Grafico1",
         {{"Mostrargrfico1", "Mostrar &Form", "Mostrargrfico1Click"},
          {"Graficovazio1", "&Gr\xE1" "fico novo", "Graficovazio1Click"},
          {"Linhas1", "&Linhas", "Linhas1Click"},
          {"Barras1", "&Barras", "Barras1Click"},
          {"BarrasHorizontais1", "Barras &horizontais", "bBarraHorizClick"},
          {"Setores1", "&Setores", "Setores1Click"},
          {"Areas1", "&Areas", "bAreaClick"},
          {"Scater1", "&Pontos", "Scater1Click"},
          {"Bolhas1", "B&olhas", "Bolhas1Click"},
          {"Setas1", "S&etas", "Setas1Click"},
          {"Mapa1", "&Mapa", "Mapa1Click"}});

    menu("Aj&uda", "Ajuda1",
         {{"Ajuda2", "&Ajuda", "Ajuda2Click"},
          {"Novidades1", "Novidades vers\xE3o 3.0", "Novidades1Click"},
          {"Sobre1", "&Sobre", "Sobre1Click"}});
}

void TForm1::CriaBarra() {
    Panel1 = addToolBar(QStringLiteral("Panel1"));
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setMovable(false);
    Panel1->setIconSize(QSize(25, 25));
    struct Botao {
        const char* nome;
        const char* dica;     // 1252
        const char* rotulo;   // the short text on the button
        const char* manipulador;
        bool oculto = false;
    };
    const Botao botoes[] = {
        {"SpeedButton4", " Nova tabela", "Nova", "Nova1Click"},
        {"SpeedButton1", "Abrir tabela", "Abrir", "Abrir1Click"},
        {"SpeedButton2", "Salvar", "Salvar", "Salvar1Click"},
        {"SpeedButton10", "Executar tabula\xE7\xE3o", "Tabular", "Tabula1Click"},
        {"bCopiar", "Copiar para ClipBoard", "Copiar", "Copiar1Click"},
        {"SpeedButton5", "Colar do ClipBoard", "Colar", "Colar1Click"},
        {"SpeedButton11", "Incluir tabela", "Incluir", "IncluiPRN1Click"},
        {"bTranspoe", "Troca as linhas pelas colunas", "Transp", "bTranspoeClick"},
        {"SpeedButton14", "Calcula indicador", "Ind", "Indicador1Click"},
        {"SpeedButton15", "Mostra DBF", "DBF", "SpeedButton15Click"},
        {"bHTML", "Ver esta tabela em HTML", "HTML", "bHTMLClick"},
        {"SpeedButton12", "Imprimir", "Impr", "Imprime1Click"},
        {"bLinhas", "Gr\xE1" "fico de Linhas", "Lin", "Linhas1Click"},
        {"bBarra", "Gr\xE1" "fico de Barras", "Bar", "Barras1Click"},
        {"bBarraHoriz", "Gr\xE1" "fico de barras horizontais", "BarH", "bBarraHorizClick"},
        {"bPie", "Gr\xE1" "fico de Setores", "Set", "Setores1Click"},
        {"bArea", "Gr\xE1" "fico de \xE1rea", "\xC1rea", "bAreaClick"},
        {"SpeedButton13", "Gr\xE1" "fico de Pontos", "Pts", "Scater1Click"},
        {"bMapa", "Mapa", "Mapa", "Mapa1Click"},
        {"bSQL", "Consulta SQL", "SQL", "SQL1Click", true},
        {"BotaoR", "Abrir R em janela separada", "R", "AbreRClick", true},
        {"bPalm", "Salvar no Palm (Pilot-DB)", "Palm", "bPalmClick"},
        {"bOpenOffice", "Abrir esta tabela na planilha padr\xE3o", "Plan", "bOpenOfficeClick"},
        {"SpeedButton3", "Sair", "Sair", "Sair1Click"},
    };
    for (const Botao& b : botoes) {
        QAction* a = NovaAcao(QString::fromLatin1(b.nome), Q(b.rotulo), QString::fromLatin1(b.manipulador));
        a->setToolTip(Q(b.dica));
        a->setVisible(!b.oculto);
        Panel1->addAction(a);
    }
}

void TForm1::Habilita(std::initializer_list<const char*> nomes, bool sim) {
    for (const char* n : nomes)
        if (QAction* a = Acao(QString::fromLatin1(n))) a->setEnabled(sim);
}

void TForm1::HabilitaComandos() {
    const bool linhas = t_.NumLinhas > 0;
    Habilita({"Salvar1", "IncluiPRN1", "IncluiDBF1", "Imprime1", "SpeedButton2", "SpeedButton11", "SpeedButton12",
              "NovaColuna", "CP850", "Ttulo1", "LarguraCol1", "bCopiar", "bPalm", "EditarLog1", "bHTML", "bOpenOffice"},
             linhas);
    // Menu items whose tool button the list above disables, and others that need rows:
    // with no table they would do nothing at all.
    Habilita({"Copiar1", "Localizar1", "MostrarChave1"}, linhas);
    Panel2->setVisible(linhas);
    Panel3->setVisible(linhas);
    Habilita({"Divide1", "Mltiplica1", "Soma1", "Subtrai1", "Minimo1", "Maximo1", "MoveColuna1", "SpeedButton13", "Indicador1", "SpeedButton14", "bTranspoe", "Trocarlinhas"},
             t_.NumColunas() >= 2);
    Habilita({"bLinhas", "bBarra", "bPie", "bMapa", "bBarraHoriz", "bArea", "Acumula1", "Fator1",
              "percentagem1", "Normalizar1", "Inteiro1", "Total1", "Ordenar1", "Decimais1", "EliminaColuna1",
              "SupLinhas1", "Tipodetotal1", "Absoluto1"},
             t_.NumColunas() > 0);
    // Every item as its menu shows it when opened: a shortcut or a tool button reaches
    // the item without opening the menu.
    const EstadoMenus e = EstadoDosMenus(t_);
    Habilita({"Descritivas"}, e.descritivas);
    Habilita({"Histograma1"}, e.histograma);
    Habilita({"Correlacao1"}, e.correlacao);
    Habilita({"Regressao1"}, e.regressao);
    Habilita({"ComprChave"}, e.fixaChave);
    Habilita({"Seqncia1"}, e.sequencia);
    if (QAction* a = Acao(QStringLiteral("MostrarChave1"))) {
        a->setVisible(e.mostraChave);
        if (e.mostraChave) a->setText(ParaQString(e.textoMostraChave));
    }
    for (const auto& [item, sim] : e.grafico)
        Habilita({item}, sim);
    const QMimeData* m = QApplication::clipboard()->mimeData();
    Habilita({"SpeedButton5", "Colar1"}, m && m->hasText());
}

namespace {

QFontMetrics MetricaGrade() { return QFontMetrics(FonteGrade()); }

// The character a column's printed width is counted in: labels in letters, values in digits.
int LarguraDoCaractere(const QFontMetrics& fm, int c) {
    return fm.horizontalAdvance(c == 0 ? QLatin1Char('B') : QLatin1Char('0'));
}

// Room a value's text takes in a cell: its laid-out width, the style's margin on each
// side (3 pixels) and the grid line.
int LarguraDoValor(bool negrito, double valor, int decimais) {
    const double texto = QFontMetricsF(FonteGrade(negrito)).horizontalAdvance(NumeroUsuario(valor, decimais));
    return static_cast<int>(std::ceil(texto)) + 2 * 3 + 1;
}

// The column's printed width on screen, widened where a value would not fit: a number
// is never cut. The widest text is the largest or the smallest value, or the total in bold.
int LarguraDaColuna(const QFontMetrics& fm, const TabelaResultados& t, int c) {
    const ColunaResultados& col = t.Coluna(c);
    int largura = std::max(LarguraDoCaractere(fm, c) * col.Largura + 5,
                           fm.horizontalAdvance(ParaQString(col.NomeColuna)) + 18);
    if (c == 0 || t.NumLinhas < 1) return largura;
    double menor = t.Dado(c, 1), maior = menor;
    for (std::int32_t r = 2; r <= t.NumLinhas; ++r) {
        menor = std::min(menor, t.Dado(c, r));
        maior = std::max(maior, t.Dado(c, r));
    }
    for (double v : {menor, maior})
        largura = std::max(largura, LarguraDoValor(false, v, col.Decimais));
    if (col.TipoTotal != TipoTotal::SemTotal) largura = std::max(largura, LarguraDoValor(true, col.Total, col.Decimais));
    return largura;
}

} // namespace

int TForm1::LarguraNaGrade(int c) const { return LarguraDaColuna(MetricaGrade(), t_, c); }

void TForm1::RedimensionaColuna(int c, int largura) {
    if (c < 0 || c > t_.NumColunas()) return;
    // The printed width follows what the user dragged, in the column's characters,
    // as the width command would store it; the grid then shows that width.
    const QFontMetrics fm = MetricaGrade();
    DefineLargura(t_, c, static_cast<double>(largura - 5) / LarguraDoCaractere(fm, c));
    // Narrower than its title too: what was dragged holds, to the character.
    StringGrid1->DefineLargura(c, LarguraDoCaractere(fm, c) * t_.Coluna(c).Largura + 5);
}

void TForm1::MoveColunaDaTabela(int de, int para) {
    std::vector<int> larguras;
    for (std::int32_t c = 1; c <= t_.NumColunas(); ++c)
        larguras.push_back(StringGrid1->columnWidth(c));
    if (!MoveColunaPara(t_, de, para)) return;
    larguras = LargurasAposMover(std::move(larguras), de, para);
    for (std::size_t k = 0; k < larguras.size(); ++k)
        StringGrid1->DefineLargura(static_cast<int>(k) + 1, larguras[k]);
    AtualizaGrade();
}

void TForm1::MostraTabela() {
    Modelo->Recarrega();
    const QFontMetrics fm = MetricaGrade();
    StringGrid1->DefineFixas(2, t_.NumColunas() > 0 ? 1 : 0);
    for (std::int32_t c = 0; c <= t_.NumColunas(); ++c)
        StringGrid1->DefineLargura(c, LarguraDaColuna(fm, t_, c));
    StringGrid1->DefineAlturaLinhas(fm.height() + 4);
    HabilitaComandos();
    StringGrid1->horizontalScrollBar()->setValue(0);
    Painel[2]->setText(QStringLiteral("Linhas:") + QString::number(t_.NumLinhas));
    Painel[3]->setText(QStringLiteral("Chave:") + QString::number(t_.TamCodigo == SemCodigo ? 0 : t_.TamCodigo));
    edTitulo->setText(ParaQString(t_.Titulo1));
    edSubTitulo->setText(ParaQString(t_.Titulo2));
    edRodape->setText(ParaQString(t_.Rodape));
    if (t_.NumLinhas > 0) StringGrid1->show();
}

void TForm1::AtualizaGrade() {
    if (Modelo->rowCount() > 0)
        emit Modelo->dataChanged(Modelo->index(0, 0), Modelo->index(Modelo->rowCount() - 1, Modelo->columnCount() - 1));
    for (QTableView* vista : {static_cast<QTableView*>(StringGrid1), StringGrid1->Topo(), StringGrid1->Esquerda(),
                              StringGrid1->Canto()})
        vista->viewport()->update();
}

void TForm1::OrdenaPor(std::int32_t c) {
    OrdenaTabela(t_, c);
    StringGrid1->scrollToTop();
    AtualizaGrade();
}

void TForm1::MostraTituloDaTabela() { setWindowTitle(ParaQString(t_.Titulo1)); }

void TForm1::MostraNovaColuna() {
    if (t_.NumColunas() == 1) {
        MostraTabela();
        return;
    }
    Modelo->ColunaAcrescentada();
    StringGrid1->DefineLargura(t_.NumColunas(), LarguraNaGrade(t_.NumColunas()));
    AjustaRolagem();
    HabilitaComandos();
    t_.Modificada = true;
    StringGrid1->setFocus();
}

void TForm1::AjustaRolagem() {
    // The last column comes into view; the frozen label column stays where it is.
    if (t_.NumColunas() < 1 || Modelo->rowCount() < 3) return;
    const QModelIndex atual = StringGrid1->currentIndex();
    StringGrid1->scrollTo(Modelo->index(std::max(2, atual.isValid() ? atual.row() : 2), t_.NumColunas()));
}

bool TForm1::FechaTabela() {
    if (!dorvan::FechaTabela(t_, LogAtual().Linhas(), cfg_.DirSalva, [this] { return EscolheSalvarComo(); })) return false;
    LogAtual().Limpa();
    setWindowTitle(QStringLiteral("Dorvan"));
    Painel[0]->setText(QStringLiteral("Arquivo:"));
    Painel[1]->setText(QStringLiteral("Notas:"));
    Painel[2]->setText(QStringLiteral("Linhas:"));
    Painel[3]->setText(QStringLiteral("Chave:"));
    statusBar()->setToolTip(QString());
    Painel[0]->setToolTip(QString());
    edTitulo->clear();
    edSubTitulo->clear();
    edRodape->clear();
    Modelo->Recarrega();
    HabilitaComandos();
    StringGrid1->hide();
    return true;
}

void TForm1::MostraArquivoNoPainel(const std::string& arquivo) {
    const QString nome = QString::fromStdString(arquivo);
    // A panel too narrow for the whole path shows the file name, shortened with an
    // ellipsis when even that is too wide; the path goes to the hint.
    const QFontMetrics fm(Painel[0]->font());
    const int sala = Painel[0]->contentsRect().width();
    if (fm.horizontalAdvance(nome) > sala) {
        Painel[0]->setText(fm.elidedText(QFileInfo(nome).fileName(), Qt::ElideRight, sala));
        Painel[0]->setToolTip(nome);
        statusBar()->setToolTip(nome);
    } else {
        Painel[0]->setText(nome);
        Painel[0]->setToolTip(QString());
    }
}

bool TForm1::AbreArquivo(const std::string& arquivo) {
    CursorOcupado ocupado;
    StringGrid1->hide();
    const std::string ext = ExtensaoMaiuscula(arquivo);
    if (ext == ".TAB" || ext == ".PRN" || ext == ".CSV") {
        LeituraTabela r = LeTabela(t_, arquivo);
        LogAtual().DefineLinhas(r.log);
        if (!r.dirMapas.empty()) cfg_.DirMapas = r.dirMapas;
        if (r.tabela) MostraTituloDaTabela();
    } else if (ext == ".DBF") {
        LeDBFComoTabela(t_, arquivo, EscolheCampos, cfg_.DBFcomCP850);
    } else {
        return false;
    }
    MostraArquivoNoPainel(arquivo);
    if (t_.NumLinhas <= 0) {
        HabilitaComandos();
        return false;
    }
    MostraTabela();
    StringGrid1->show();
    StringGrid1->setFocus();
    t_.Modificada = false;
    return true;
}

void TForm1::Abrir1Click() {
    if (t_.NumLinhas > 0 && !FechaTabela()) return;
    const std::string arquivo = EscolheArquivoAbrir ? EscolheArquivoAbrir(QStringLiteral("Abrir tabela")) : std::string();
    if (arquivo.empty()) return;
    std::error_code e;
    if (!std::filesystem::is_regular_file(arquivo, e)) {
        MensagensAtuais().Mostra("Arquivo n\xE3o existe!");
        return;
    }
    if (!AbreArquivo(arquivo)) return;
    // The next save starts where the user opened from (a table named on the command line does not move it).
    cfg_.DirSalva = DiretorioDe(std::filesystem::absolute(arquivo).string());
    if (LogAtual().Linhas().empty()) return;
    // A log window still open shows another table's log: it goes either way.
    if (Ganchos().FechaLog) Ganchos().FechaLog(*this);
    if (LogAtual().MostraAoAbrir() && Ganchos().MostraLog) Ganchos().MostraLog(*this, true);
}

void TForm1::Salvar1Click() {
    if (t_.NumLinhas <= 0) return;
    const std::string arquivo = EscolheSalvarComo();
    if (arquivo.empty()) return;
    CursorOcupado ocupado;
    if (SalvaComo(t_, arquivo, LogAtual().Linhas(), cfg_.DirSalva)) MostraArquivoNoPainel(arquivo);
}

std::string TForm1::EscolheSalvarComo() {
    return EscolheArquivoSalvar ? EscolheArquivoSalvar(QStringLiteral("Salvar tabela atual como")) : std::string();
}

void TForm1::Tabula1Click() {
    if (Ganchos().Tabula) {
        Ganchos().Tabula(*this);
        return;
    }
    MensagensAtuais().Mostra("A tabula\xE7\xE3o ainda n\xE3o est\xE1 dispon\xEDvel nesta vers\xE3o.");
}

void TForm1::Sair1Click() { close(); }

void TForm1::closeEvent(QCloseEvent* e) {
    if (!PodeSair(t_, LogAtual().Linhas(), cfg_.DirSalva, [this] { return EscolheSalvarComo(); })) {
        e->ignore();
        return;
    }
    cfg_.MostraLog = LogAtual().MostraAoAbrir();
    SalvaConfiguracao(cfg_);
    e->accept();
    if (AoSair) AoSair();
}

void TForm1::resizeEvent(QResizeEvent* e) {
    QMainWindow::resizeEvent(e);
    const int metade = (width() - 160) / 2;
    Painel[0]->setFixedWidth(std::max(10, metade));
    Painel[1]->setFixedWidth(std::max(10, metade));
}

bool TForm1::eventFilter(QObject* o, QEvent* e) {
    QTableView* vista = StringGrid1->DonoDoViewport(o);
    if (!vista) return QMainWindow::eventFilter(o, e);
    if (e->type() == QEvent::MouseButtonPress || e->type() == QEvent::MouseButtonRelease ||
        e->type() == QEvent::MouseMove) {
        auto* m = static_cast<QMouseEvent*>(e);
        const QModelIndex i = vista->indexAt(m->position().toPoint());
        const int g = i.isValid() ? i.row() : -1, c = i.isValid() ? i.column() : -1;
        if (e->type() == QEvent::MouseMove) {
            std::string nota = g >= 0 ? TextoNota(t_, LinhaReal(t_, g), c) : std::string();
            Painel[1]->setText(ParaQString(nota));
            return false;
        }
        if (e->type() == QEvent::MouseButtonPress) {
            if (m->button() == Qt::LeftButton && g == 0) ordenacaoArmada_ = true;
            if (m->button() == Qt::RightButton && g >= 0) {
                if (g >= 2)
                    EditaNotaDaCelula(g, c);
                else if (g == 0)
                    EditaColuna(c);
                return true;
            }
            return false;
        }
        // A border or title drag that ends here is no click on the title.
        if (StringGrid1->Arrastando()) ordenacaoArmada_ = false;
        if (m->button() == Qt::LeftButton && g == 0 && ordenacaoArmada_) {
            OrdenaPor(c);
            ordenacaoArmada_ = false;
        }
        AtualizaGrade();
    }
    return false;
}

void TForm1::EditaNotaDaCelula(int g, int c) {
    const std::int32_t r = LinhaReal(t_, g);
    std::int32_t n = 0;
    const bool existe = AchaNota(t_, r, c, n);
    if (!existe && t_.NumNotas() >= MaxNotas) {
        MensagensAtuais().Mostra("M\xE1ximo de notas foi atingido.");
        return;
    }
    const int numero = existe ? n : t_.NumNotas() + 1;
    std::optional<std::string> texto;
    if (PerguntaNota) {
        texto = PerguntaNota(numero, TextoNota(t_, r, c));
    } else {
        bool ok = false;
        QString s = QInputDialog::getText(this, Q("Entre o texto da Nota T\xE9" "cnica"),
                                          QStringLiteral("Nota ") + QString::number(numero), QLineEdit::Normal,
                                          ParaQString(TextoNota(t_, r, c)), &ok);
        if (ok) texto = DeQString(s);
    }
    if (texto && EditaNota(t_, r, c, *texto)) AtualizaGrade();
}

void TForm1::EditaColuna(int c) {
    std::optional<AtributosColuna> a;
    if (PerguntaAtributos) {
        a = PerguntaAtributos(c, AtributosDe(t_, c));
    } else {
        TfColuna dialogo(this);
        dialogo.Carrega(c, AtributosDe(t_, c));
        if (dialogo.exec() == QDialog::Accepted) a = dialogo.Resultado();
    }
    if (!a) return;
    AplicaAtributos(t_, c, *a);
    MostraTabela();
}

void TForm1::ExtensaoTAB1Click() { ExtensaoTAB(cfg_.CaminhoPrograma); }

void TForm1::EnviarParaClick() {
    // The desktop's opener takes a mail address without complaint even when no mail
    // program is there to show the message.
    if (ProgramaDoEsquema("mailto").empty()) {
        MensagensAtuais().Mostra("Nenhum programa de e-mail foi encontrado para enviar a mensagem.");
        return;
    }
    ExploreWeb(EnderecoEnviarPara(cfg_.EnderecoSuporte, t_.Titulo1));
}

void TForm1::Ajuda2Click() {
    const std::string ajuda = cfg_.DirPrograma + "Dorvan32.htm";
    std::error_code e;
    if (std::filesystem::is_regular_file(ajuda, e))
        ExploreWeb(ajuda);
    else
        MensagensAtuais().Mostra("Arquivo de ajuda " + DeUtf8(ajuda) + " n\xE3o encontrado");
}

void TForm1::Novidades1Click() { ExploreWeb(cfg_.DirPrograma + "DocDorvan.htm"); }

void TForm1::Sobre1Click() {
    QMessageBox sobre(QMessageBox::Information, QStringLiteral("Dorvan"),
                      Q("Dorvan32\nTabula\xE7\xE3o de arquivos de dados de sa\xFA" "de"), QMessageBox::Ok, this);
    sobre.exec();
}

void TForm1::EscolheFontfixa1Click() {
    bool ok = false;
    QFont f = QFontDialog::getFont(&ok, QFont(ParaQString(cfg_.FonteFixa)), this, QString(),
                                   QFontDialog::MonospacedFonts);
    if (!ok) return;
    cfg_.FonteFixa = DeQString(f.family()).substr(0, 255);
    AplicaFonteFixa();
}

void TForm1::AplicaFonteFixa() { DefineFonteFixa(ParaQString(cfg_.FonteFixa)); }

void TForm1::CodePageClick() {
    cfg_.DBFcomCP850 = !cfg_.DBFcomCP850;
    Acao(QStringLiteral("CodePage"))->setChecked(cfg_.DBFcomCP850);
}

void TForm1::Inicia(const std::vector<std::string>& argumentos) {
    Acao(QStringLiteral("bPalm"))->setVisible(cfg_.TemPalm);
    if (cfg_.TemR) {
        Estatisticas->menuAction()->setVisible(false);
        for (const char* n : {"AnaliseComR", "BotaoR", "AbreR", "Criaresquemadeanlise1"})
            Acao(QString::fromLatin1(n))->setVisible(true);
    }
    Acao(QStringLiteral("bOpenOffice"))->setVisible(cfg_.TemPlanilha);
    Acao(QStringLiteral("Novidades1"))->setVisible(cfg_.TemNovidades);
    Acao(QStringLiteral("bSQL"))->setVisible(cfg_.SQLDisponivel);
    Acao(QStringLiteral("SQL1"))->setVisible(cfg_.SQLDisponivel);
    Acao(QStringLiteral("CodePage"))->setChecked(cfg_.DBFcomCP850);
    LogAtual().DefineMostraAoAbrir(cfg_.MostraLog);
    AplicaFonteFixa();
    HabilitaComandos();

    const ComandoInicial cmd = InterpretaLinhaComando(argumentos, cfg_.SQLDisponivel);
    switch (cmd.tipo) {
    case ComandoInicial::Tipo::Tabela:
        if (AbreArquivo(cmd.arquivo) && LogAtual().MostraAoAbrir() && !LogAtual().Linhas().empty() &&
            Ganchos().MostraLog)
            Ganchos().MostraLog(*this, false);
        break;
    case ComandoInicial::Tipo::DEF:
        cfg_.DirDados = DiretorioDe(std::filesystem::absolute(cmd.arquivo).string());
        cfg_.ArquivoDEF = cmd.arquivo;
        Tabula1Click();
        break;
    case ComandoInicial::Tipo::SQL:
        if (Ganchos().AbreSQL) Ganchos().AbreSQL(*this, cmd.arquivo);
        break;
    case ComandoInicial::Tipo::DBF:
        if (Ganchos().MostraDBF) Ganchos().MostraDBF(*this, cmd.arquivo);
        break;
    case ComandoInicial::Tipo::Nenhum:
        break;
    }
}

} // namespace dorvan

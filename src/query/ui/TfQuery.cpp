#include "query/ui/TfQuery.h"

#include "platform/Arquivos.h"
#include "platform/Erros.h"
#include "platform/Mensagens.h"
#include "platform/Texto1252.h"
#include "platform/db/BancoDados.h"
#include "platform/db/ui/TEditaAliases.h"
#include "platform/ui/Janelas.h"
#include "query/ArquivoConsulta.h"
#include "query/ConsultaDBF.h"
#include "query/ui/ComandosBrowse.h"
#include "query/ui/TfCase.h"
#include "query/ExecutaConsulta.h"
#include "query/ui/AuxiliosConsulta.h"
#include "query/ui/TFVerTabela.h"
#include "table/Configuracao.h"
#include "table/TabelaArquivo.h"
#include "table/TabelaResultados.h"
#include "table/ui/TFEscolheDiretorio.h"

#include <Qsci/qscilexersql.h>
#include <Qsci/qsciscintilla.h>

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QStyledItemDelegate>
#include <QTimer>
#include <QVBoxLayout>
#include <filesystem>

namespace dorvan {

TfQuery* fQuery = nullptr;

namespace {

QString Q(const std::string& texto1252) { return ParaQString(texto1252); }

// Words every dialect shares, then each one's own.
const char* const PalavrasSQL =
    "add all alter and any as asc avg between by case cast char character check coalesce column commit constraint "
    "count create cross current_date current_time current_timestamp date decimal default delete desc distinct "
    "double drop else end escape exists false float foreign from full grant group having in index inner insert "
    "integer intersect into is join key left like max min natural not null numeric on or order outer primary "
    "real references revoke right rollback select set smallint sum table then to true union unique update using "
    "values varchar view when where with";

const char* PalavrasDoDialeto(DialetoRealce d) {
    switch (d) {
    case DialetoRealce::InterBase6: return "blob computed containing domain generator gen_id segment starting";
    case DialetoRealce::Oracle: return "connect decode dual minus nvl number prior rownum sequence start sysdate varchar2";
    case DialetoRealce::MySQL: return "auto_increment describe engine ifnull limit replace show unsigned";
    case DialetoRealce::SQLite: return "attach autoincrement detach glob ifnull limit pragma rowid vacuum without";
    case DialetoRealce::Firebird: return "first gen_id generator recreate rows skip";
    case DialetoRealce::Ingres: return "integer4 modify";
    case DialetoRealce::Sybase: return "convert datetime go identity isnull top";
    case DialetoRealce::PostgreSQL: return "ilike limit offset returning serial";
    }
    return "";
}

// A column drawn with "> " when an index of its table holds it, else with three blanks.
class DesenhoColunas : public QStyledItemDelegate {
public:
    DesenhoColunas(TfQuery* janela) : QStyledItemDelegate(janela), janela_(janela) {}

protected:
    void initStyleOption(QStyleOptionViewItem* opcao, const QModelIndex& indice) const override {
        QStyledItemDelegate::initStyleOption(opcao, indice);
        const bool indexada = ColunaIndexada(DeQString(opcao->text), janela_->IndicesTabela);
        opcao->text = (indexada ? QStringLiteral("> ") : QStringLiteral("   ")) + opcao->text;
    }

private:
    TfQuery* janela_;
};

} // namespace

// The SQL highlighting with the keywords of the alias's dialect and its tables.
class LexerSQLDorvan : public QsciLexerSQL {
public:
    explicit LexerSQLDorvan(QObject* pai) : QsciLexerSQL(pai) { DefineDialeto(DialetoRealce::InterBase6); }
    void DefineDialeto(DialetoRealce d) {
        dialeto_ = d;
        palavras_ = QByteArray(PalavrasSQL) + ' ' + PalavrasDoDialeto(d);
    }
    void DefineTabelas(const std::vector<std::string>& tabelas) {
        tabelas_.clear();
        for (const auto& t : tabelas) tabelas_ += ParaQString(t).toLower().toUtf8() + ' ';
    }
    DialetoRealce Dialeto() const { return dialeto_; }
    const char* keywords(int conjunto) const override {
        if (conjunto == 1) return palavras_.constData();
        if (conjunto == 5) return tabelas_.constData();
        return QsciLexerSQL::keywords(conjunto);
    }

private:
    DialetoRealce dialeto_ = DialetoRealce::InterBase6;
    QByteArray palavras_;
    QByteArray tabelas_;
};

TfQuery::TfQuery(TabelaResultados& t, Configuracao& cfg, MotorBD& motor, QWidget* pai)
    : QDialog(pai), t_(t), cfg_(cfg), motor_(motor) {
    setObjectName(QStringLiteral("fQuery"));
    setWindowTitle(QStringLiteral("Consulta SQL"));
    setSizeGripEnabled(true);

    auto botao = [this](const char* nome, const char* texto, const char* dica = nullptr) {
        auto* b = new QPushButton(Q(texto), this);
        b->setObjectName(QString::fromLatin1(nome));
        b->setAutoDefault(false);
        if (dica) b->setToolTip(Q(dica));
        return b;
    };

    // The top panel: saved queries and the commands on them.
    Panel2 = new QWidget(this);
    Panel2->setObjectName(QStringLiteral("Panel2"));
    lbConsultas = new QListWidget(Panel2);
    lbConsultas->setObjectName(QStringLiteral("lbConsultas"));
    bSQL = botao("bSQL", "Modo &Programador", "Entra no modo do programador em SQL");
    bDBF = botao("bDBF", "Salvar &DBF", "Executar a consulta SQL e salvar resultado em um arquivo DBF");
    bNovo = botao("bNovo", "&Novo SQL");
    bAbrir = botao("bAbrir", "&Abrir SQL");
    bSalvar = botao("bSalvar", "&Salvar SQL");
    bExecute = botao("bExecute", "E&xecutar", "Executar a consulta SQL e colocar o resultado no quadro do Dorvan");
    bCancela = botao("bCancela", "&Retorna");
    bNovo->hide();
    bSalvar->hide();
    auto* grade = new QGridLayout;
    grade->addWidget(bExecute, 0, 0);
    grade->addWidget(bCancela, 0, 1);
    grade->addWidget(bDBF, 1, 0);
    grade->addWidget(bAbrir, 1, 1);
    grade->addWidget(bSalvar, 2, 0);
    grade->addWidget(bNovo, 2, 1);
    grade->addWidget(bSQL, 3, 0, 1, 2);
    grade->setRowStretch(4, 1);
    auto* topo = new QHBoxLayout(Panel2);
    topo->setContentsMargins(4, 4, 4, 4);
    topo->addWidget(lbConsultas, 1);
    topo->addLayout(grade);

    // The programmer's panel.
    Panel1 = new QWidget(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    cbDataBase = new QComboBox(Panel1);
    cbDataBase->setObjectName(QStringLiteral("cbDataBase"));
    cbDataBase->setEditable(true);
    cbDataBase->setInsertPolicy(QComboBox::NoInsert);
    cbDataBase->setMaxVisibleItems(20);
    cbDataBase->setMinimumContentsLength(16);
    bNovoAlias = botao("bNovoAlias", "Adiciona", "Adiciona Banco de Dados STANDARD (dBase, FoxPro ou Paradox)");
    bRemoveAlias = botao("bRemoveAlias", "Remove", "Remove Banco de Dados STANDARD da lista");
    bRemoveAlias->setEnabled(false);
    bBDE = botao("bBDE", "BDE", "Criar, alterar e remover bancos de dados n\xE3o STANDARD.");
    bLote = botao("bLote", "Lote");
    edParam = new QLineEdit(Panel1);
    edParam->setObjectName(QStringLiteral("edParam"));
    auto* linha1 = new QHBoxLayout;
    linha1->addWidget(new QLabel(QStringLiteral("Banco de dados:"), Panel1));
    linha1->addWidget(cbDataBase, 1);
    for (QPushButton* b : {bNovoAlias, bRemoveAlias, bBDE, bLote}) linha1->addWidget(b);
    linha1->addWidget(new QLabel(Q("Par\xE2metro"), Panel1));
    linha1->addWidget(edParam);

    Label2 = new QLabel(QStringLiteral("Tabelas:"), Panel1);
    Label2->setObjectName(QStringLiteral("Label2"));
    lbTabelas = new QListWidget(Panel1);
    lbTabelas->setObjectName(QStringLiteral("lbTabelas"));
    QPalette vermelho = lbTabelas->palette();
    vermelho.setColor(QPalette::Text, Qt::red);
    lbTabelas->setPalette(vermelho);
    Label3 = new QLabel(QStringLiteral("Colunas:"), Panel1);
    Label3->setObjectName(QStringLiteral("Label3"));
    lbColunas = new QListWidget(Panel1);
    lbColunas->setObjectName(QStringLiteral("lbColunas"));
    lbColunas->setSelectionMode(QAbstractItemView::ExtendedSelection);
    lbColunas->setItemDelegate(new DesenhoColunas(this));
    bAgrupa = botao("bAgrupa", "G", "Gera SQL para Agrupar pelas colunas selecionadas");
    bSoma = botao("bSoma", "\xA7", "Incluir soma dos campos selecionados");
    bCase = botao("bCase", "cnv", "Gera c\xF3" "digo SQL a partir de .CNV");
    bOQB = botao("bOQB", "cvc", "Gera SQL via Construtor Visual de Consultas");
    bVisualiza = botao("bVisualiza", "Ver", "Visualiza dados da tabela");
    for (QPushButton* b : {bAgrupa, bSoma, bCase, bOQB, bVisualiza}) {
        b->setEnabled(false);
        b->setFixedWidth(28);
    }
    auto* listaTabelas = new QVBoxLayout;
    listaTabelas->addWidget(Label2);
    listaTabelas->addWidget(lbTabelas);
    auto* listaColunas = new QVBoxLayout;
    listaColunas->addWidget(Label3);
    listaColunas->addWidget(lbColunas);
    auto* lado = new QVBoxLayout;
    for (QPushButton* b : {bAgrupa, bSoma, bCase, bOQB, bVisualiza}) lado->addWidget(b);
    lado->addStretch();
    auto* listas = new QHBoxLayout;
    listas->addLayout(listaTabelas, 1);
    listas->addLayout(listaColunas, 1);
    listas->addLayout(lado);

    edTitulo = new QLineEdit(Panel1);
    edTitulo->setObjectName(QStringLiteral("edTitulo"));
    edTitulo->setMaxLength(80);
    cbQualifica = new QCheckBox(QStringLiteral("Qualifica nome da coluna"), Panel1);
    cbQualifica->setObjectName(QStringLiteral("cbQualifica"));
    auto* linha3 = new QHBoxLayout;
    linha3->addWidget(new QLabel(QStringLiteral("Titulo:"), Panel1));
    linha3->addWidget(edTitulo, 1);
    linha3->addWidget(cbQualifica);
    Label4 = new QLabel(Panel1);
    Label4->setObjectName(QStringLiteral("Label4"));
    QPalette status = Label4->palette();
    status.setColor(QPalette::WindowText, Qt::red);
    Label4->setPalette(status);

    Memo1 = new QsciScintilla(Panel1);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setUtf8(true);
    Memo1->setEolMode(QsciScintilla::EolUnix);
    QFont fonte(QStringLiteral("Courier New"), 10);
    fonte.setStyleHint(QFont::Monospace);
    lexer_ = new LexerSQLDorvan(Memo1);
    lexer_->setDefaultFont(fonte);
    lexer_->setFont(fonte);
    Memo1->setLexer(lexer_);
    Memo1->setMarginType(0, QsciScintilla::NumberMargin);
    Memo1->setMarginWidth(0, QStringLiteral("00000"));
    Memo1->setMarginLineNumbers(0, true);
    Memo1->setMinimumHeight(120);

    auto* programador = new QVBoxLayout(Panel1);
    programador->setContentsMargins(4, 0, 4, 4);
    programador->addLayout(linha1);
    programador->addLayout(listas, 2);
    programador->addLayout(linha3);
    programador->addWidget(Label4);
    programador->addWidget(Memo1, 3);

    auto* tudo = new QVBoxLayout(this);
    tudo->setContentsMargins(0, 0, 0, 0);
    tudo->addWidget(Panel2, 1);
    tudo->addWidget(Panel1, 3);

    connect(lbConsultas, &QListWidget::itemClicked, this, [this] { lbConsultasClick(); });
    connect(lbConsultas, &QListWidget::itemDoubleClicked, this, [this] { bExecuteClick(); });
    connect(bSQL, &QPushButton::clicked, this, [this] { bSQLClick(); });
    connect(bNovo, &QPushButton::clicked, this, [this] { bNovoClick(); });
    connect(bAbrir, &QPushButton::clicked, this, [this] { bAbrirClick(); });
    connect(bSalvar, &QPushButton::clicked, this, [this] { bSalvarClick(); });
    connect(bExecute, &QPushButton::clicked, this, [this] { bExecuteClick(); });
    connect(bCancela, &QPushButton::clicked, this, &QDialog::reject);
    connect(cbDataBase, &QComboBox::activated, this, [this] { cbDataBaseClick(); });
    connect(lbTabelas, &QListWidget::itemClicked, this, [this] { lbTabelasClick(); });
    connect(bNovoAlias, &QPushButton::clicked, this, [this] { bNovoAliasClick(); });
    connect(bRemoveAlias, &QPushButton::clicked, this, [this] { bRemoveAliasClick(); });
    connect(bBDE, &QPushButton::clicked, this, [this] { bBDEClick(); });
    connect(bVisualiza, &QPushButton::clicked, this, [this] { bVisualizaClick(); });
    connect(bDBF, &QPushButton::clicked, this, [this] { bDBFClick(); });
    connect(bLote, &QPushButton::clicked, this, [this] { bLoteClick(); });
    connect(bCase, &QPushButton::clicked, this, [this] { bCaseClick(); });
    // bOQB, bAgrupa and bSoma are connected by the composing aids (LigaAuxiliosSQL).

    EscolheArquivoSalvar = [this] {
        QFileDialog d(this, QString(), QString::fromStdString(PastaDados()));
        d.setAcceptMode(QFileDialog::AcceptSave);
        const QStringList filtros = {QStringLiteral("Arquivo XML (*.xml)"), QStringLiteral("Arquivo SQL (*.sql)"),
                                     QStringLiteral("Script de R (*.r)")};
        const QStringList extensoes = {QStringLiteral("xml"), QStringLiteral("sql"), QStringLiteral("r")};
        d.setNameFilters(filtros);
        d.setDefaultSuffix(extensoes[0]);
        connect(&d, &QFileDialog::filterSelected, &d,
                [&](const QString& f) { d.setDefaultSuffix(extensoes.value(filtros.indexOf(f), extensoes[0])); });
        if (d.exec() != QDialog::Accepted || d.selectedFiles().isEmpty()) return std::string();
        return d.selectedFiles().first().toStdString();
    };
    EscolheArquivoAbrir = [this] {
        QFileDialog d(this, QString(), QString::fromStdString(PastaDados()));
        d.setFileMode(QFileDialog::ExistingFile);
        const QStringList filtros = {QStringLiteral("Arquivo XML (*.xml)"), QStringLiteral("Arquivo SQL (*.sql)")};
        d.setNameFilters(filtros);
        d.selectNameFilter(filtros[1]);
        if (d.exec() != QDialog::Accepted || d.selectedFiles().isEmpty()) return std::string();
        return d.selectedFiles().first().toStdString();
    };
    PerguntaParametro = [this](const std::string& nome) -> std::optional<std::string> {
        bool ok = false;
        QString v = QInputDialog::getText(this, Q("Entre valor do par\xE2metro"), Q(nome), QLineEdit::Normal,
                                          QString(), &ok);
        if (!ok) return std::nullopt;
        return DeQString(v);
    };
    EscolheArquivoDBF = [this] {
        QFileDialog d(this, QString(), QString::fromStdString(PastaDados()));
        d.setAcceptMode(QFileDialog::AcceptSave);
        d.setNameFilter(QStringLiteral("Arquivos do dBaseIII+ (*.dbf)"));
        d.setDefaultSuffix(QStringLiteral("dbf"));
        if (d.exec() != QDialog::Accepted || d.selectedFiles().isEmpty()) return std::string();
        return d.selectedFiles().first().toStdString();
    };
    EscolheArquivoLote = [this] {
        return QFileDialog::getOpenFileName(this, QStringLiteral("Arquivos com lotes de consultas SQL"),
                                            QString::fromStdString(PastaDados()),
                                            QStringLiteral("Arquivos de texto (*.txt)"))
            .toStdString();
    };
    PerguntaInforme = [this](const std::string& nome) -> std::optional<std::string> {
        bool ok = false;
        QString v =
            QInputDialog::getText(this, Q("Entre com o par\xE2metro"), Q(nome), QLineEdit::Normal, QString(), &ok);
        if (!ok) return std::nullopt;
        return DeQString(v);
    };
    EscolhePasta = [](const std::string& pergunta, const std::string& inicial) {
        return EscolheDiretorio(pergunta, inicial, "*.dbf;*.db");
    };
    AdministraBancos = [](MotorBD& m) { EditaAliases(m); };
    VerTabela = [this](const std::string& alias, const std::string& tabela, bool podeAlterar) {
        MostraVerTabela(motor_, alias, tabela, podeAlterar, this);
    };

    // FormCreate: the aliases, in user mode.
    setGeometry(cfg_.FQuery.Left, cfg_.FQuery.Top, cfg_.FQuery.Width, cfg_.FQuery.Height);
    CarregaAliases();
    cbDataBase->setCurrentIndex(-1);
    Panel1->hide();
    LigaAuxiliosSQL(*this, motor_);
}

TfQuery::~TfQuery() {
    if (fQuery == this) fQuery = nullptr;
}

bool TfQuery::ModoProgramador() const { return !Panel1->isHidden(); }

std::string TfQuery::Alias() const { return DeQString(cbDataBase->currentText()); }

std::string TfQuery::PastaDados() const { return cfg_.DirDados; }

void TfQuery::GuardaPastaDados(const std::string& arquivo) {
    std::error_code e;
    std::string pasta = std::filesystem::absolute(arquivo, e).parent_path().string();
    if (!pasta.empty() && pasta.back() != '/') pasta += '/';
    cfg_.DirDados = pasta;
}

void TfQuery::ClearLabel4() { Label4->clear(); }

void TfQuery::MostraErro(const std::exception&) { MensagensAtuais().Mostra(TextoDoErroParaUsuario(std::current_exception())); }

std::vector<std::string> TfQuery::LinhasSQL() const { return SeparaLinhas(DeQString(Memo1->text())); }

void TfQuery::DefineLinhasSQL(const std::vector<std::string>& linhas) {
    std::string texto;
    for (std::size_t i = 0; i < linhas.size(); ++i) texto += (i ? "\n" : "") + linhas[i];
    Memo1->setText(Q(texto));
}

void TfQuery::CarregaAliases() {
    const QString atual = cbDataBase->currentText();
    cbDataBase->clear();
    for (const auto& nome : motor_.NomesAliases()) cbDataBase->addItem(Q(nome));
    cbDataBase->setEditText(atual);
}

void TfQuery::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    FormActivate();
}

void TfQuery::hideEvent(QHideEvent* e) {
    // The bounds go back to the settings, written at exit.
    const QRect g = geometry();
    cfg_.FQuery = {g.top(), g.left(), g.width(), g.height()};
    QDialog::hideEvent(e);
}

void TfQuery::FormActivate() {
    lbConsultas->clear();
    SeparadorInsercao = " ";
    // The data folder is the current one, as the other rooms expect after a query.
    std::error_code e;
    if (!cfg_.DirDados.empty()) std::filesystem::current_path(cfg_.DirDados, e);
    const std::string pasta = cfg_.DirDados.empty() ? std::filesystem::current_path(e).string() : cfg_.DirDados;
    for (const auto& item : ListaConsultas(pasta)) {
        auto* i = new QListWidgetItem(Q(item.entrada), lbConsultas);
        i->setData(Qt::UserRole, QString::fromStdString((std::filesystem::path(pasta) / item.arquivo).string()));
    }
    lbConsultas->setFocus();
}

bool TfQuery::AbrePorExtensao(const std::string& arquivo) {
    try {
        if (ExtensaoMaiuscula(arquivo) == ".SQL")
            AbreQuery(arquivo);
        else
            AbreQueryXML(arquivo);
    } catch (const std::exception& e) {
        MostraErro(e);
        return false;
    }
    return true;
}

void TfQuery::lbConsultasClick() {
    QListWidgetItem* i = lbConsultas->currentItem();
    if (!i) return;
    // The file name is kept with the entry, so a title holding " [" cannot mislead.
    AbrePorExtensao(i->data(Qt::UserRole).toString().toStdString());
    ClearLabel4();
}

void TfQuery::MostraConsulta(const ConsultaSalva& c) {
    DefineLinhasSQL(c.linhas);
    edTitulo->setText(Q(c.titulo));
    if (!c.alias.empty()) cbDataBase->setEditText(Q(c.alias));
    edParam->setText(Q(c.parametro));
}

void TfQuery::AbreQuery(const std::string& arquivo) {
    MostraConsulta(LeConsultaSQL(arquivo));
    if (!cbDataBase->currentText().isEmpty()) cbDataBaseClick();
    setWindowTitle(QString::fromStdString(arquivo));
}

void TfQuery::AbreQueryXML(const std::string& arquivo) {
    MostraConsulta(LeConsultaXML(arquivo));
    cbDataBaseClick();
    if (ModoProgramador()) {
        Memo1->setCursorPosition(0, 0);
        lbConsultas->setFocus();
    }
    setWindowTitle(QString::fromStdString(arquivo));
    for (QPushButton* b : {bSalvar, bExecute, bDBF}) b->setEnabled(true);
}

void TfQuery::bSQLClick() {
    if (bSQL->text() == Q("Modo &Programador")) {
        if (cbDataBase->count() == 0) {
            CarregaAliases();
            if (cbDataBase->count() > 0) cbDataBase->setCurrentIndex(0);
        }
        Panel1->show();
        Panel2->setFixedHeight(137);
        bSQL->setText(Q("Modo &Usu\xE1rio"));
        bSQL->setToolTip(Q("Retorna ao modo do usuario da consulta"));
        for (QPushButton* b : {bAbrir, bNovo, bSalvar}) b->show();
    } else {
        Panel1->hide();
        Panel2->setMinimumHeight(0);
        Panel2->setMaximumHeight(QWIDGETSIZE_MAX);
        bSQL->setText(Q("Modo &Programador"));
        bSQL->setToolTip(Q("Entra no modo do programador em SQL"));
        bNovo->hide();
        bSalvar->hide();
    }
}

void TfQuery::bSalvarClick() {
    const std::string arquivo = EscolheArquivoSalvar ? EscolheArquivoSalvar() : std::string();
    if (arquivo.empty()) return;
    ConsultaSalva c{DeQString(edTitulo->text()), Alias(), DeQString(edParam->text()), LinhasSQL()};
    try {
        GravaConsultaPorExtensao(arquivo, c, DriverAtual);
    } catch (const std::exception& e) {
        MostraErro(e);
        return;
    }
    GuardaPastaDados(arquivo);
    FormActivate();
}

void TfQuery::bAbrirClick() {
    const std::string arquivo = EscolheArquivoAbrir ? EscolheArquivoAbrir() : std::string();
    if (arquivo.empty() || !AbrePorExtensao(arquivo)) return;
    if (ModoProgramador()) Memo1->setFocus();
    GuardaPastaDados(arquivo);
    FormActivate();
}

void TfQuery::bNovoClick() {
    Memo1->setText(QStringLiteral("select "));
    Memo1->setCursorPosition(0, 7);
    SeparadorInsercao = " ";
    setWindowTitle(QString());
    edTitulo->clear();
    edParam->clear();
    ClearLabel4();
}

void TfQuery::MarcaGravacao(bool comeca) {
    // A batch writes one file after another: the commands come back after the last.
    if (comeca ? gravacoes_++ > 0 : --gravacoes_ > 0) return;
    if (comeca) cancelaGravacao_ = false;
    // Off too is everything else that runs a statement on the connection while the
    // rows still come (the alias box, the table list, the viewer, the builder, a
    // query file opened): the programmer's panel as a whole, so the states its
    // commands get meanwhile come back with it.
    for (QWidget* w : std::initializer_list<QWidget*>{bDBF, bExecute, lbConsultas, bAbrir, Panel1})
        w->setEnabled(!comeca);
}

void TfQuery::reject() {
    // "Retorna", Esc or the close box while a file is written stop the writing.
    if (Gravando()) {
        cancelaGravacao_ = true;
        return;
    }
    QDialog::reject();
}

bool TfQuery::GravaDBF(const std::string& arquivo, const std::string& valor) {
    const Gravacao gravacao(*this);
    ApoioGravaDBF apoio;
    apoio.PerguntaParametro = PerguntaParametro;
    // Every 500 ms the status line counts the records received so far.
    QTimer contagem;
    contagem.setInterval(500);
    // What the run shows last (done, nothing selected, cancelled) stays: a message
    // box after it, which keeps events running, must not bring the count back.
    apoio.Mostra = [this, &contagem](const std::string& t) {
        contagem.stop();
        Label4->setText(Q(t));
    };
    apoio.ModoSeguro = cfg_.ModoSeguro;
    apoio.Cancelado = [this] { return cancelaGravacao_; };
    std::int64_t recebidos = 0;
    QElapsedTimer relogio;
    // Events run at the first row and every 50 ms after it.
    apoio.Eventos = [&relogio, &recebidos](std::int64_t n) {
        recebidos = n;
        if (relogio.isValid() && relogio.elapsed() < 50) return;
        relogio.start();
        QCoreApplication::processEvents();
    };
    connect(&contagem, &QTimer::timeout, this,
            [this, arquivo, &recebidos] { Label4->setText(Q(TextoRecebidos(recebidos, arquivo))); });
    contagem.start();
    CursorOcupado ocupado;
    return GravaConsultaDBF(motor_, Alias(), arquivo, DeQString(edParam->text()), LinhasSQL(), valor, apoio);
}

void TfQuery::bDBFClick() {
    ClearLabel4();
    const std::string alias = Alias();
    if (!motor_.AliasExiste(alias)) {
        MensagensAtuais().Mostra(alias + " n\xE3o \xE9 um banco de dados v\xE1lido!");
        return;
    }
    const std::vector<std::string> linhas = LinhasSQL();
    if (std::all_of(linhas.begin(), linhas.end(),
                    [](const std::string& l) { return l.find_first_not_of(" \t") == std::string::npos; })) {
        MensagensAtuais().Mostra("Entre com o texto do SQL na janela inferior!");
        return;
    }
    if (!PrimeiraLinhaSelect(linhas)) {
        MensagensAtuais().Mostra("Comando SELECT obrigat\xF3rio na primeira linha!");
        return;
    }
    const std::string arquivo = EscolheArquivoDBF ? EscolheArquivoDBF() : std::string();
    if (arquivo.empty()) return;
    bool gravou = false;
    try {
        gravou = GravaDBF(arquivo, {});
    } catch (const std::exception& e) {
        MostraErro(e);
        return;
    }
    if (gravou) MostraNoBrowse(arquivo);
}

bool TfQuery::ImportaConsulta(const std::string& consulta, const std::string& dbf) {
    if (!AbrePorExtensao(consulta)) return false;
    try {
        return GravaDBF(dbf, {});
    } catch (const std::exception& e) {
        MostraErro(e);
        return false;
    }
}

void TfQuery::bLoteClick() {
    const std::string arquivo = EscolheArquivoLote ? EscolheArquivoLote() : std::string();
    if (arquivo.empty()) return;
    // The whole batch is one run: commands stay off from its first order to its
    // last, and Retorna stops the orders still to come too.
    const Gravacao gravacao(*this);
    ApoioLote apoio;
    apoio.Conecta = [this](const std::string& alias) {
        cbDataBase->setEditText(Q(alias));
        cbDataBaseClick();
    };
    apoio.Pergunta = PerguntaInforme;
    apoio.Executa = [this](const std::string& consulta, const std::string& dbf, const std::string& valor) {
        AbreQuery(consulta);
        return GravaDBF(dbf, valor);
    };
    try {
        Label4->setText(Q(ExecutaLote(arquivo, apoio)));
    } catch (const std::exception& e) {
        MostraErro(e);
    }
}

void TfQuery::bCaseClick() {
    if (!fCase) fCase = new TfCase(this);
    TfCase& c = *fCase;
    const QListWidgetItem* atual = lbColunas->currentItem();
    const std::string coluna = atual ? DeQString(atual->text()) : std::string();
    c.edExp->setText(Q(coluna));
    c.ListBox1->clear();
    for (int i = 0; i < lbColunas->count(); ++i) c.ListBox1->addItem(lbColunas->item(i)->text());
    c.DefineNClassificados(lexer_->Dialeto() == DialetoRealce::Ingres ? NaoClassificados::Discriminar
                                                                      : NaoClassificados::Incluir);
    c.rColunaClick();
    if (c.exec() != QDialog::Accepted || c.edCNV->text().isEmpty()) return;

    TabelaCNVCase cnv;
    try {
        cnv = LeCNVParaCase(c.edCNV->text().toStdString());
    } catch (const std::exception& e) {
        MostraErro(e);
        return;
    }
    PedidoCase p;
    p.expressao = DeQString(c.edExp->text());
    p.contagem = c.rContagem->isChecked();
    if (const QListWidgetItem* soma = c.ListBox1->currentItem()) p.colunaSoma = DeQString(soma->text());
    p.groupBy = c.ckGroupBy->isChecked();
    p.naoClassificados = c.NClassificados();
    p.colunaJanela = coluna;
    p.tabela = TabelaEscolhida;
    p.oracle = lexer_->Dialeto() == DialetoRealce::Oracle;
    p.arquivoCNV = c.edCNV->text().toStdString();
    switch (c.Gerar()) {
    case GerarPara::Linhas: {
        const CaseEmLinhas r = CaseLinhas(cnv, p);
        std::vector<std::string> linhas = r.substituiEditor ? std::vector<std::string>{"select"} : LinhasSQL();
        const int base = static_cast<int>(linhas.size());
        linhas.insert(linhas.end(), r.linhas.begin(), r.linhas.end());
        DefineLinhasSQL(linhas);
        if (r.linhaCursor >= 0) Memo1->setCursorPosition(base + r.linhaCursor, 0);
        break;
    }
    case GerarPara::Colunas: Memo1->insert(Q(CaseColunas(cnv, p))); break;
    case GerarPara::Selecao: {
        const QListWidgetItem* l = c.lbCNV->currentItem();
        if (!l) return;
        int linha = 0, indice = 0;
        Memo1->getCursorPosition(&linha, &indice);
        const QString texto = Memo1->text();
        const long bytes = Memo1->positionFromLineIndex(linha, indice);
        const std::string antes = DeQString(QString::fromUtf8(texto.toUtf8().left(bytes)));
        Memo1->setText(Q(CaseSelecao(DeQString(texto), antes.size(), DeQString(l->text()), cnv.largura, p.expressao)));
        break;
    }
    }
    Memo1->setFocus();
}

void TfQuery::LimpaColunas() {
    lbColunas->clear();
    TabelaEscolhida.clear();
    IndicesTabela.clear();
    for (QPushButton* b : {bAgrupa, bSoma, bCase, bVisualiza}) b->setEnabled(false);
    Label3->setText(QStringLiteral("Colunas:"));
}

void TfQuery::cbDataBaseClick() {
    LimpaColunas();
    const std::string alias = Alias();
    if (!motor_.AliasExiste(alias)) {
        // A name typed that is no alias: nothing to list.
        DriverAtual.clear();
        lbTabelas->clear();
        Label2->setText(QStringLiteral("Tabelas:"));
        bRemoveAlias->setEnabled(false);
        return;
    }
    DriverAtual = motor_.NomeDriverAlias(alias);
    bRemoveAlias->setEnabled(DriverAtual == DriverPadrao);
    lexer_->DefineDialeto(DialetoDeRealce(DriverAtual));
    bOQB->setEnabled(true);
    lbTabelas->clear();
    std::vector<std::string> tabelas;
    try {
        CursorOcupado ocupado;
        tabelas = motor_.NomesTabelas(alias, "*.*", true, false);
    } catch (const std::exception& e) {
        MostraErro(e);
    }
    for (const auto& t : tabelas) lbTabelas->addItem(Q(t));
    Label2->setText(Q("Tabelas em " + alias + " (" + DriverAtual + "): " + std::to_string(tabelas.size())));
    lexer_->DefineTabelas(tabelas);
    Memo1->setLexer(lexer_); // the editor takes the new word lists
}

void TfQuery::lbTabelasClick() {
    QListWidgetItem* item = lbTabelas->currentItem();
    if (!item) return;
    const std::string alias = Alias();
    TabelaEscolhida = DeQString(item->text());
    IndicesTabela.clear();
    try {
        IndicesTabela = motor_.Indices(alias, TabelaEscolhida);
    } catch (const std::exception&) {
        MensagensAtuais().Mostra("Erro ao recuperar os \xEDndices da tabela " + TabelaEscolhida);
    }
    lbColunas->clear();
    std::vector<std::string> campos;
    try {
        campos = motor_.NomesCampos(alias, TabelaEscolhida);
    } catch (const std::exception& e) {
        MostraErro(e);
    }
    for (const auto& c : campos) lbColunas->addItem(Q(c));
    Label3->setText(Q("Colunas em " + TabelaEscolhida + " : " + std::to_string(campos.size())));
    for (QPushButton* b : {bAgrupa, bSoma, bVisualiza}) b->setEnabled(true);
    bCase->setEnabled(GeraCaseNoDriver(DriverAtual));
}

void TfQuery::bVisualizaClick() {
    if (TabelaEscolhida.empty() || !VerTabela) return;
    VerTabela(Alias(), TabelaEscolhida, DriverAtual == DriverPadrao || !cfg_.ModoSeguro);
}

void TfQuery::bExecuteClick() {
    ClearLabel4();
    PedidoConsulta p{Alias(), LinhasSQL(), DeQString(edParam->text()), DeQString(edTitulo->text()), cfg_.ModoSeguro};
    DesfechoConsulta d = DesfechoConsulta::Recusada;
    {
        // Rows are read with the window's events running: no second run may start meanwhile.
        CursorOcupado ocupado;
        const bool habilitada = isEnabled();
        setEnabled(false);
        ProgressoJanela progresso;
        try {
            d = ExecutaConsulta(motor_, p, t_, PerguntaParametro, progresso, QDateTime::currentDateTime());
        } catch (const std::exception& e) {
            setEnabled(habilitada);
            MostraErro(e);
            return;
        }
        setEnabled(habilitada);
    }
    if (d == DesfechoConsulta::Tabela)
        accept();
    else if (d == DesfechoConsulta::Comandos)
        cbDataBaseClick();
}

void TfQuery::bNovoAliasClick() {
    const std::string nome = Alias();
    if (std::string recusa = RecusaNovoAlias(motor_, nome); !recusa.empty()) {
        MensagensAtuais().Mostra(recusa);
        return;
    }
    const auto pasta = EscolhePasta ? EscolhePasta("Diret\xF3rio do Banco de dados " + nome + "?", cfg_.DirDados)
                                    : std::nullopt;
    if (!pasta) return;
    try {
        motor_.AdicionaAliasPadrao(nome, *pasta);
        CarregaAliases();
        cbDataBase->setEditText(Q(nome));
        cbDataBaseClick();
        motor_.GravaConfiguracao();
    } catch (const std::exception& e) {
        MostraErro(e);
    }
}

void TfQuery::bRemoveAliasClick() {
    const std::string nome = Alias();
    if (!MensagensAtuais().SimOuNao("Aten\xE7\xE3o!", "Quer mesmo remover o Banco de dados " + nome)) return;
    motor_.ApagaAlias(nome);
    cbDataBase->setEditText(QString());
    CarregaAliases();
    lbTabelas->clear();
    LimpaColunas();
    Label2->setText(QStringLiteral("Tabelas:"));
    try {
        motor_.GravaConfiguracao();
    } catch (const std::exception& e) {
        MostraErro(e);
    }
    bRemoveAlias->setEnabled(false);
    cbDataBase->setEditText(QString());
}

void TfQuery::bBDEClick() {
    CursorOcupado ocupado;
    if (AdministraBancos) AdministraBancos(motor_);
    // The engine starts again over what the editor saved.
    motor_.Encerra();
    motor_.Inicia();
    CarregaAliases();
}

} // namespace dorvan

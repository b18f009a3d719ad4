#include "query/ui/TfBrowse.h"

#include "data/UConvert.h"
#include "data/ui/TfComprime.h"
#include "data/Ucomprim.h"
#include "platform/Erros.h"
#include "platform/Mensagens.h"
#include "platform/Processos.h"
#include "platform/Texto1252.h"
#include "platform/ui/Janelas.h"
#include "platform/ui/Medidas.h"
#include "table/Configuracao.h"
#include "table/ui/TInfo.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QHeaderView>
#include <QInputDialog>
#include <QLabel>
#include <QMenuBar>
#include <QStatusBar>
#include <QTableView>
#include <QTimer>
#include <QToolBar>

#include <filesystem>
#include <stdexcept>
#include <utility>

namespace dorvan {

TfBrowse* fBrowse = nullptr;

namespace {

QString Q(const std::string& texto1252) { return ParaQString(texto1252); }

// The dialogs take and give system file names (UTF-8 on this system).
QString Arq(const std::string& nome) { return QString::fromStdString(nome); }

} // namespace

// ---- the grid's model ----------------------------------------------------------

int ModeloBrowse::rowCount(const QModelIndex& pai) const { return pai.isValid() ? 0 : linhas_; }
int ModeloBrowse::columnCount(const QModelIndex& pai) const { return pai.isValid() ? 0 : colunas_; }

QVariant ModeloBrowse::data(const QModelIndex& indice, int papel) const {
    if (!indice.isValid() || !Aberto()) return {};
    const std::int64_t r = indice.row() + 1;
    const int c = indice.column();
    if (r > dbf_.NumRegs || c > dbf_.NumCampos) return {};
    switch (papel) {
    case Qt::DisplayRole:
        if (c == 0) return QString::number(r);
        readDBF(dbf_, r);
        return Q(TextoCampo(dbf_, c, cp850_));
    case Qt::ForegroundRole:
        readDBF(dbf_, r);
        return QColor(dbf_.RegistroAtual[0] == '*' ? Qt::red : Qt::black);
    case Qt::TextAlignmentRole:
        if (c == 0 || dbf_.Campo(c).Tipo == 'N') return int(Qt::AlignRight | Qt::AlignVCenter);
        return int(Qt::AlignLeft | Qt::AlignVCenter);
    default:
        return {};
    }
}

QVariant ModeloBrowse::headerData(int secao, Qt::Orientation o, int papel) const {
    if (papel != Qt::DisplayRole || o != Qt::Horizontal || !Aberto()) return {};
    if (secao == 0) return QStringLiteral("Reg");
    if (secao > dbf_.NumCampos) return {};
    return Q(dbf_.Campo(secao).Nome);
}

void ModeloBrowse::Acompanha() {
    const int n = Aberto() ? static_cast<int>(std::min<std::int64_t>(dbf_.NumRegs, INT32_MAX - 1)) : 0;
    if (n > linhas_) {
        beginInsertRows({}, linhas_, n - 1);
        linhas_ = n;
        endInsertRows();
    } else if (n < linhas_) {
        Reinicia();
    } else if (n > 0) {
        emit dataChanged(index(0, 0), index(n - 1, colunas_ - 1));
    }
}

void ModeloBrowse::Reinicia() {
    beginResetModel();
    linhas_ = Aberto() ? static_cast<int>(std::min<std::int64_t>(dbf_.NumRegs, INT32_MAX - 1)) : 0;
    colunas_ = Aberto() ? dbf_.NumCampos + 1 : 0;
    endResetModel();
}

// ---- the window ------------------------------------------------------------------

TfBrowse::TfBrowse(Configuracao& cfg, std::function<void(TfBrowse&)> analiseComR, QWidget* pai)
    : QMainWindow(pai, JanelaAuxiliar), cfg_(cfg), analiseComR_(std::move(analiseComR)) {
    if (!analiseComR_) throw std::invalid_argument("TfBrowse: the R analysis is required");
    setObjectName(QStringLiteral("fBrowse"));
    setWindowTitle(QStringLiteral("DBF"));
    resize(640, 420);

    Modelo = new ModeloBrowse(Dbf, cfg.DBFcomCP850, this);
    DrawGrid1 = new QTableView(this);
    DrawGrid1->setObjectName(QStringLiteral("DrawGrid1"));
    DrawGrid1->setModel(Modelo);
    DrawGrid1->verticalHeader()->hide();
    DrawGrid1->setSelectionBehavior(QAbstractItemView::SelectRows);
    DrawGrid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    QPalette p = DrawGrid1->palette();
    p.setColor(QPalette::Highlight, Qt::yellow);
    p.setColor(QPalette::HighlightedText, Qt::black);
    DrawGrid1->setPalette(p);
    DrawGrid1->hide();
    setCentralWidget(DrawGrid1);

    Timer1 = new QTimer(this);
    Timer1->setInterval(200);
    connect(Timer1, &QTimer::timeout, this, [this] { Timer1Timer(); });

    // Menus and tool buttons; each action is named after its control.
    Arquivo1 = menuBar()->addMenu(QStringLiteral("&Arquivo"));
    Arquivo1->addAction(NovaAcao("Abrir1", "&Abrir", [this] { bAbrirClick(true); }));
    Arquivo1->addAction(NovaAcao("Informacao1", "&Informa\xE7\xE3o", [this] { InformacaoClick(); }));
    Arquivo1->addAction(NovaAcao("Copiaestrutura1", "Copia &estrutura", [this] { Copiaestrutura1Click(); }));
    Arquivo1->addAction(NovaAcao("Salvarcomocsv1", "Salvar como &CSV", [this] { Salvarcomocsv1Click(); }));
    Arquivo1->addAction(NovaAcao("SalvarcomoXML1", "Salvar como &XML", [this] { bXMLClick(); }));
    Arquivo1->addAction(NovaAcao("ComprimiremDBC1", "Comprimir em &DBC", [this] { bComprimeClick(); }));
    Arquivo1->addAction(NovaAcao("SalvacomoSQL1", "Salva como &SQL", [this] { bSQLClick(); }));
    Arquivo1->addAction(NovaAcao("Retornar1", "&Retornar", [this] { bSairClick(true); }));
    Adiciona1 = menuBar()->addMenu(QStringLiteral("A&diciona registros"));
    Adiciona1->addAction(NovaAcao("dearquivoDBF1", "de arquivo D&BF", [this] { dearquivoDBF1Click(); }));
    Adiciona1->addAction(NovaAcao("Append1", "de texto &delimitado", [this] { Append1Click(); }));
    Adiciona1->addAction(NovaAcao("AppendarSDF1", "de texto &SDF", [this] { AppendarSDF1Click(); }));
    Adiciona1->addAction(NovaAcao("AppendardeXML1", "Via &XSLT usando", [this] { AppendardeXML1Click(); }));
    Adiciona1->addAction(
        NovaAcao("XML2", (std::string("Via XSLT usando ") + ProgramaUXT).c_str(), [this] { XML2Click(); }));
    Adiciona1->addAction(NovaAcao("ConfigurarprocessadorXSLT1", "Configurar processador XSLT",
                                  [this] { ConfigurarprocessadorXSLT1Click(); }));
    // A menu-bar item without a menu: choosing it runs the analysis at once.
    AnlisecomR1 = NovaAcao("AnlisecomR1", "An\xE1lise com &R", [this] {
        if (Aberto()) analiseComR_(*this);
    });
    menuBar()->addAction(AnlisecomR1);
    Acao("XML2")->setVisible(false);

    auto habilitaItens = [this](QMenu* m) {
        for (QAction* a : m->actions()) {
            const QString n = a->objectName();
            if (n != QLatin1String("Abrir1") && n != QLatin1String("ConfigurarprocessadorXSLT1") &&
                n != QLatin1String("Retornar1"))
                a->setEnabled(Aberto());
        }
        Acao("AppendardeXML1")->setVisible(!cfg_.ProgramaXSLT.empty());
    };
    connect(Arquivo1, &QMenu::aboutToShow, this, [this, habilitaItens] { habilitaItens(Arquivo1); });
    connect(Adiciona1, &QMenu::aboutToShow, this, [this, habilitaItens] { habilitaItens(Adiciona1); });

    Barra = addToolBar(QStringLiteral("Barra"));
    Barra->setObjectName(QStringLiteral("ToolBar1"));
    auto botao = [this](const char* nome, const char* texto, const char* dica, std::function<void()> f) {
        QAction* a = NovaAcao(nome, texto, std::move(f));
        a->setToolTip(Q(dica));
        Barra->addAction(a);
        return a;
    };
    botao("SpeedButton1", "Abrir", "Abrir arquivo", [this] { bAbrirClick(true); });
    botao("bSair", "Sair", "Fecha arquivo e retorna ao Dorvan", [this] { bSairClick(true); });
    botao("bCSV", "CSV", "csv", [this] { Salvarcomocsv1Click(); });
    botao("bInfo", "Info", "Mostra estrutura", [this] { InformacaoClick(); });
    botao("bXML", "XML", "xml", [this] { bXMLClick(); });
    botao("bComprime", "DBC", "dbc", [this] { bComprimeClick(); });
    botao("bSQL", "SQL", "sql", [this] { bSQLClick(); });
    botao("bR", "R", "Transfere o DBF e abre no R em janela separada", [this] { bRClick(); })->setVisible(false);
    botao("bCNV", "CNV", "cnv", [this] { bCNVClick(); });
    AnlisecomR1->setVisible(false);

    // The count's panel widens to the count; the first panel takes what is left.
    Painel[0] = new QLabel(this);
    Painel[1] = new PainelStatus(60, this);
    for (QLabel* p : Painel)
        statusBar()->addWidget(p);
    MostraContagem(QStringLiteral("Reg:"));
    HabilitaBotoes(false);

    DosCommand1.OnNewLine = [this](TDosCommand&, const std::string& linha, int tipo) {
        if (tipo != 0) return;
        if (LinhaDeRegistro(linha)) {
            if (Aberto()) AcrescentaLinhaSeparada(Dbf, linha, '|');
        } else {
            PorNoInfo(linha);
        }
    };
    DosCommand1.OnTerminated = [this](TDosCommand&) { TerminaXSLT(false); };
    DosCommand2.OnTerminated = [this](TDosCommand&) { TerminaXSLT(true); };

    EscolheAbrir = [this](const QString& titulo, const QString& filtro, const std::string& inicio) {
        return QFileDialog::getOpenFileName(this, titulo, Arq(inicio), filtro).toStdString();
    };
    EscolheSalvar = [this](const QString& titulo, const QString& filtro) {
        return QFileDialog::getSaveFileName(this, titulo, {}, filtro).toStdString();
    };
    PerguntaTexto = [this](const QString& titulo, const QString& pergunta,
                           const QString& padrao) -> std::optional<std::string> {
        bool ok = false;
        const QString r = QInputDialog::getText(this, titulo, pergunta, QLineEdit::Normal, padrao, &ok);
        if (!ok) return std::nullopt;
        return DeQString(r);
    };
    IniciaR = [] {
        // R is a console program here: it runs in a terminal window of its own.
        const std::string r = AchaNoPath("R");
        const std::string terminal = AchaNoPath("x-terminal-emulator");
        if (r.empty() || terminal.empty()) return false;
        return ExecutaComArgumentos(terminal, {"-e", r}, false, QDir::currentPath().toStdString()).iniciou;
    };
    AtualizaLegendaXSLT();
}

TfBrowse::~TfBrowse() {
    if (fBrowse == this) fBrowse = nullptr;
    if (cursorOcupado_) QApplication::restoreOverrideCursor();
    if (Aberto()) CloseDBF(Dbf);
}

QAction* TfBrowse::NovaAcao(const char* nome, const char* texto, std::function<void()> f) {
    auto* a = new QAction(Q(texto), this);
    a->setObjectName(QString::fromLatin1(nome));
    connect(a, &QAction::triggered, this, [f = std::move(f)] { f(); });
    return a;
}

QAction* TfBrowse::Acao(const char* nome) const { return findChild<QAction*>(QString::fromLatin1(nome)); }

void TfBrowse::MostraR(bool sim) {
    Acao("bR")->setVisible(sim);
    AnlisecomR1->setVisible(sim);
}

void TfBrowse::MostraUXT(bool sim) { Acao("XML2")->setVisible(sim); }

void TfBrowse::AtualizaLegendaXSLT() {
    QAction* a = Acao("AppendardeXML1");
    a->setText(cfg_.ProgramaXSLT.empty()
                   ? QStringLiteral("Via &XSLT usando")
                   : Arq("Via &XSLT usando " + NomeSemPasta(ArquivoDoProgramaXSLT(cfg_.ProgramaXSLT))));
    a->setVisible(!cfg_.ProgramaXSLT.empty());
}

void TfBrowse::HabilitaBotoes(bool sim) {
    for (const char* n : {"bInfo", "bCSV", "bXML", "bComprime", "bSQL", "bCNV", "bR"})
        Acao(n)->setEnabled(sim);
    AnlisecomR1->setEnabled(sim);
}

void TfBrowse::AtualizaStatus() { MostraContagem(QStringLiteral("Reg:") + QString::number(Dbf.NumRegs)); }

void TfBrowse::MostraContagem(const QString& texto) {
    Painel[1]->setText(texto);
    AjustaPaineis();
}

void TfBrowse::AjustaPaineis() { Painel[0]->setFixedWidth(std::max(0, width() - 40 - Painel[1]->sizeHint().width())); }

void TfBrowse::AjustaColunaZero() {
    const QFontMetrics fm(DrawGrid1->font());
    const int w = std::max(fm.horizontalAdvance(QString::number(Dbf.NumRegs)) + 6,
                           fm.horizontalAdvance(QStringLiteral("Rec")) + 4);
    DrawGrid1->setColumnWidth(0, w + 6);
}

void TfBrowse::bAbrirClick(bool perguntar) {
    if (perguntar) {
        const std::string nome =
            EscolheAbrir(QStringLiteral("Abrir"), QStringLiteral("dBase III plus (*.dbf *.dbc)"), {});
        if (nome.empty()) return;
        NomeArquivo = nome;
    }
    if (Aberto())
        CloseDBF(Dbf);
    else if (!fonteDefinida_) {
        QFont f(QStringLiteral("Arial"));
        f.setPointSize(8);
        DrawGrid1->setFont(f);
        fonteDefinida_ = true;
    }
    setWindowTitle(Arq(NomeArquivo));
    if (!AbreParaLeitura(Dbf, NomeArquivo)) {
        Modelo->Reinicia();
        DrawGrid1->hide();
        HabilitaBotoes(false);
        return;
    }
    Modelo->Reinicia();
    const QFontMetrics fm(DrawGrid1->font());
    DrawGrid1->verticalHeader()->setDefaultSectionSize(fm.height() + 4);
    AjustaColunaZero();
    for (int i = 1; i <= Dbf.NumCampos; ++i) {
        const CampoDBF& c = Dbf.Campo(i);
        DrawGrid1->setColumnWidth(
            i,
            std::max(fm.horizontalAdvance(QLatin1Char('0')) * c.Tamanho + 6, fm.horizontalAdvance(Q(c.Nome)) + 6) + 6);
    }
    DrawGrid1->show();
    HabilitaBotoes(true);
    struct Dica {
        const char* botao;
        const char* texto;
        const char* ext;
    };
    for (const Dica& d :
         {Dica{"bCSV", "Cria arquivo CSV ", ".csv"}, Dica{"bXML", "Cria arquivo XML ", ".xml"},
          Dica{"bComprime", "Cria arquivo comprimido ", ".dbc"}, Dica{"bSQL", "Cria arquivo SQL ANSI ", ".sql"},
          Dica{"bCNV", "Usa as duas primeiras colunas para criar ", ".cnv"}})
        Acao(d.botao)->setToolTip(Q(d.texto) + Arq(NomeSaida(NomeArquivo, d.ext)));
    AtualizaStatus();
    DrawGrid1->setFocus();
}

void TfBrowse::bSairClick(bool fechaJanela) {
    if (DosCommand1.Executando()) DosCommand1.Terminate();
    if (DosCommand2.Executando()) DosCommand2.Terminate();
    Timer1->stop();
    if (Aberto()) CloseDBF(Dbf);
    Modelo->Reinicia();
    DrawGrid1->hide();
    HabilitaBotoes(false);
    Acao("bCSV")->setToolTip(QStringLiteral("Cria arquivo CSV"));
    Acao("bCNV")->setToolTip(QStringLiteral("Cria arquivo CNV"));
    Acao("bXML")->setToolTip(QStringLiteral("Cria arquivo XML"));
    Acao("bComprime")->setToolTip(QStringLiteral("Comprime o arquivo DBC"));
    Acao("bSQL")->setToolTip(QStringLiteral("Cria arquivo SQL ANSI (data ISO 8601)"));
    MostraContagem(QStringLiteral("Reg:"));
    if (fechaJanela) hide();
}

void TfBrowse::closeEvent(QCloseEvent* e) {
    bSairClick(false);
    QMainWindow::closeEvent(e);
}

void TfBrowse::resizeEvent(QResizeEvent* e) {
    QMainWindow::resizeEvent(e);
    AjustaPaineis();
}

void TfBrowse::Timer1Timer() {
    AtualizaStatus();
    Modelo->Acompanha();
    AjustaColunaZero();
}

void TfBrowse::PorNoInfo(const std::string& linha) {
    if (Info) Info->AcrescentaLinha(linha);
}

void TfBrowse::MostraInfo() {
    if (Info) MostraNaFrente(*Info);
}

void TfBrowse::InformacaoClick() {
    if (!Aberto() || !Info) return;
    std::error_code ec;
    const auto tamanho = std::filesystem::file_size(Dbf.Nome, ec);
    Info->Limpa();
    Info->setWindowTitle(Q("Informa\xE7\xE3o de ") + Arq(Dbf.Nome));
    for (const auto& l : InformacaoDBF(Dbf, ec ? 0 : tamanho))
        Info->AcrescentaLinha(l);
    MostraNaFrente(*Info);
}

void TfBrowse::Salvarcomocsv1Click() {
    if (!Aberto()) return;
    CursorOcupado ocupado;
    GravaCSVDBF(Dbf, cfg_.DBFcomCP850);
}

void TfBrowse::bXMLClick() {
    if (!Aberto()) return;
    CursorOcupado ocupado;
    GravaXMLDBF(Dbf, cfg_.DBFcomCP850);
}

void TfBrowse::bSQLClick() {
    if (!Aberto()) return;
    CursorOcupado ocupado;
    GravaSQLDBF(Dbf, cfg_.DBFcomCP850);
}

void TfBrowse::bCNVClick() {
    if (!Aberto()) return;
    CursorOcupado ocupado;
    GravaCNVDBF(Dbf);
}

void TfBrowse::bComprimeClick() {
    if (!Aberto()) return;
    if (!PodeComprimir(Dbf)) return;
    const QFileInfo fi(Arq(Dbf.Nome));
    const std::string pasta = fi.absolutePath().toStdString();
    const std::string nome = fi.fileName().toStdString();
    if (fComprime) {
        fComprime->Lote().MudaDirDBF(pasta);
        fComprime->Lote().MudaDirDBC(pasta);
        fComprime->DefineDiretorios(pasta, pasta);
        fComprime->Comprime(nome);
    } else {
        CursorOcupado ocupado;
        ComprimeDBF(Dbf.Nome, NomeSaida(Dbf.Nome, ".dbc"), SemProgresso());
    }
}

void TfBrowse::Copiaestrutura1Click() {
    if (!Aberto()) return;
    std::string nome =
        EscolheSalvar(QStringLiteral("Salvar estrutura no arquivo..."), QStringLiteral("dBase III plus (*.dbf)"));
    if (nome.empty()) return;
    if (QFileInfo(Arq(nome)).suffix().isEmpty()) nome += ".dbf";
    CopiaEstrutura(Dbf, nome);
}

void TfBrowse::ComecaAcrescimo() {
    Reabre(Dbf, true);
    Timer1->start();
}

void TfBrowse::FimAcrescimo() {
    Timer1->stop();
    // A run stopped by closing the file ends here too: nothing is reopened then.
    if (Aberto()) {
        try {
            Reabre(Dbf, false);
        } catch (...) {
            // The file could not be opened again: nothing is left on show.
            Modelo->Reinicia();
            DrawGrid1->hide();
            HabilitaBotoes(false);
            throw;
        }
    }
    Modelo->Acompanha();
    AjustaColunaZero();
    AtualizaStatus();
}

void TfBrowse::AcrescimoDeTexto(const std::function<void(const EventosAcrescimo&)>& trabalho) {
    CursorOcupado ocupado;
    ComecaAcrescimo();
    const EventosAcrescimo eventos = [] { QCoreApplication::processEvents(); };
    try {
        trabalho(eventos);
    } catch (...) {
        // What was appended stays; the file goes back to browsing before the error shows.
        FimAcrescimo();
        throw;
    }
    FimAcrescimo();
}

void TfBrowse::Append1Click() {
    if (!Aberto()) return;
    if (!PodeAcrescentar(Dbf)) return;
    const std::string texto = EscolheAbrir(QStringLiteral("Abrir"), QStringLiteral("Arquivo texto (*.txt *.log)"), {});
    if (texto.empty()) return;
    const auto sep = PerguntaTexto(QStringLiteral("Entre com o separador"),
                                   QStringLiteral("Caractere que separa os campos"), QStringLiteral("|"));
    if (!sep || sep->empty()) return;
    AcrescimoDeTexto([&](const EventosAcrescimo& ev) { AcrescentaDelimitado(Dbf, texto, (*sep)[0], ev); });
}

void TfBrowse::AppendarSDF1Click() {
    if (!Aberto()) return;
    if (!PodeAcrescentar(Dbf)) return;
    const std::string texto = EscolheAbrir(QStringLiteral("Abrir"), QStringLiteral("Arquivo texto (*.txt *.log)"), {});
    if (texto.empty()) return;
    AcrescimoDeTexto([&](const EventosAcrescimo& ev) { AcrescentaSDF(Dbf, texto, ev); });
}

void TfBrowse::dearquivoDBF1Click() {
    if (!Aberto()) return;
    if (!PodeAcrescentar(Dbf)) return;
    const std::string outro = EscolheAbrir(QStringLiteral("Abrir"), QStringLiteral("Arquivos dBaseIII+ (*.dbf)"), {});
    if (outro.empty()) return;
    AcrescimoDeTexto([&](const EventosAcrescimo& ev) { AcrescentaDeDBF(Dbf, outro, ev); });
}

bool TfBrowse::PerguntaXMLEFolha(std::string& xml, std::string& folha) {
    xml = EscolheAbrir(QStringLiteral("Escolha o arquivo XML..."),
                       QStringLiteral("Arquivo XML (*.xml *.gpx);;Qualquer arquivo (*)"), {});
    if (xml.empty()) return false;
    folha = EscolheAbrir(QStringLiteral("Escolha a folha de estilo a ser aplicada"),
                         QStringLiteral("Folha de estilo XSLT (*.xsl)"), {});
    return !folha.empty();
}

void TfBrowse::FalhaAoIniciar(const std::string& motivo) {
    // Without a run there is no end event: the file goes back to browsing here.
    Painel[0]->clear();
    if (cursorOcupado_) {
        QApplication::restoreOverrideCursor();
        cursorOcupado_ = false;
    }
    FimAcrescimo();
    MensagensAtuais().Mostra(motivo);
}

void TfBrowse::AppendardeXML1Click() {
    if (!Aberto() || cfg_.ProgramaXSLT.empty() || DosCommand1.Executando() || DosCommand2.Executando()) return;
    if (!PodeAcrescentar(Dbf)) return;
    std::string xml, folha;
    if (!PerguntaXMLEFolha(xml, folha)) return;
    inicioXSLT_ = QDateTime::currentDateTime();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    cursorOcupado_ = true;
    try {
        Reabre(Dbf, true);
    } catch (...) {
        QApplication::restoreOverrideCursor();
        cursorOcupado_ = false;
        throw;
    }
    if (Info) Info->Limpa();
    Timer1->start();
    DosCommand1.CommandLine = ComandoXSLT(cfg_.ProgramaXSLT, xml, folha);
    Painel[0]->setText(Arq("Aplicando " + NomeSemPasta(folha) + " em " + NomeSemPasta(xml) + " com " +
                           NomeSemPasta(ArquivoDoProgramaXSLT(cfg_.ProgramaXSLT))));
    try {
        DosCommand1.Execute();
    } catch (const TCreateProcessError& e) {
        FalhaAoIniciar(e.what());
    }
}

void TfBrowse::XML2Click() {
    if (!Aberto() || DosCommand1.Executando() || DosCommand2.Executando()) return;
    if (!PodeAcrescentar(Dbf)) return;
    std::string xml, folha;
    if (!PerguntaXMLEFolha(xml, folha)) return;
    inicioXSLT_ = QDateTime::currentDateTime();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    cursorOcupado_ = true;
    if (Info) Info->Limpa();
    Timer1->start();
    std::error_code ec;
    std::filesystem::remove("temp.txt", ec);
    DosCommand2.CommandLine = ComandoUXT(cfg_.DirPrograma, xml, folha);
    Painel[0]->setText(Arq("Aplicando " + NomeSemPasta(folha) + " em " + NomeSemPasta(xml) + " com " + ProgramaUXT));
    try {
        DosCommand2.Execute();
    } catch (const TCreateProcessError& e) {
        Painel[0]->clear();
        Timer1->stop();
        QApplication::restoreOverrideCursor();
        cursorOcupado_ = false;
        MensagensAtuais().Mostra(e.what());
    }
}

void TfBrowse::TerminaXSLT(bool relerTemp) {
    struct Restaura {
        TfBrowse* j;
        ~Restaura() {
            j->Painel[0]->clear();
            if (j->cursorOcupado_) {
                QApplication::restoreOverrideCursor();
                j->cursorOcupado_ = false;
            }
        }
    } restaura{this};
    if (!Aberto()) {
        // The file was closed while the program ran: nothing to append or to report.
        Timer1->stop();
        return;
    }
    if (relerTemp) {
        const EventosAcrescimo eventos = [] { QCoreApplication::processEvents(); };
        Reabre(Dbf, true);
        try {
            if (std::filesystem::exists("temp.txt")) AcrescentaLinhasArquivo(Dbf, "temp.txt", eventos);
        } catch (...) {
            FimAcrescimo();
            throw;
        }
    }
    FimAcrescimo();
    PorNoInfo(TextoExecutadoEm(inicioXSLT_.secsTo(QDateTime::currentDateTime())));
    MostraInfo();
}

void TfBrowse::ConfigurarprocessadorXSLT1Click() {
    const std::string nome =
        EscolheAbrir(QStringLiteral("Abrir"),
                     QStringLiteral("Execut\u00E1vel (*.exe *);;Arquivo de lote (*.bat *.sh);;Arquivo JAR (*.jar)"),
                     ArquivoDoProgramaXSLT(cfg_.ProgramaXSLT));
    if (nome.empty()) return;
    cfg_.ProgramaXSLT = ProgramaXSLTDoArquivo(nome);
    cfg_.XSLTDoPath = false; // the user's choice is kept in the settings
    AtualizaLegendaXSLT();
    Acao("AppendardeXML1")->setText(Arq(LegendaXSLT(cfg_.ProgramaXSLT)));
}

void TfBrowse::bRClick() {
    if (!Aberto()) return;
    std::string csv;
    {
        CursorOcupado ocupado;
        csv = GravaCSVDBF(Dbf, cfg_.DBFcomCP850);
    }
    const std::string absoluto = std::filesystem::absolute(csv).string();
    GravaRprofile(QDir::currentPath().toStdString(), cfg_.DirPrograma, absoluto);
    if (IniciaR && !IniciaR()) MensagensAtuais().Mostra("N\xE3o foi poss\xEDvel iniciar o R.");
}

} // namespace dorvan

#include "tabulation/ui/TTabula.h"

#include "data/UConvert.h"
#include "platform/Erros.h"
#include "platform/Arquivos.h"
#include "platform/Mensagens.h"
#include "platform/Texto1252.h"
#include "platform/ui/Janelas.h"
#include "table/Configuracao.h"
#include "table/LogExecucao.h"
#include "table/TabelaResultados.h"
#include "table/Utilidades.h"
#include "table/ui/TLog.h"
#include "tabulation/ui/TAbreDEF.h"
#include "tabulation/ui/TDualListDlg.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDir>
#include <QFileDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QTimer>
#include <QVBoxLayout>
#include <stdexcept>
#include <utility>

namespace dorvan {

TTabula* Tabula = nullptr;

namespace {

QListWidget* NovaLista(QWidget* pai, const char* nome, bool varios, bool fixa = true) {
    auto* l = new QListWidget(pai);
    l->setObjectName(QString::fromLatin1(nome));
    l->setSelectionMode(varios ? QAbstractItemView::MultiSelection : QAbstractItemView::SingleSelection);
    if (fixa) UsaFonteFixa(l);
    return l;
}

QWidget* Titulado(QWidget* pai, const QString& titulo, QWidget* w) {
    auto* caixa = new QWidget(pai);
    auto* v = new QVBoxLayout(caixa);
    v->setContentsMargins(0, 0, 0, 0);
    v->addWidget(new QLabel(titulo, caixa));
    v->addWidget(w, 1);
    return caixa;
}

// Text compared without accents, upper-cased.
std::string Comparavel(const QString& s) { return MaiusculasSemAcento(TiraAcentos(DeQString(s))); }

} // namespace

TTabula::TTabula(LigacoesTabula ligacoes, QWidget* pai, DefTabulacao* def)
    : QDialog(pai), ligacoes_(std::move(ligacoes)) {
    if (!ligacoes_.AbreNoBrowser) throw std::invalid_argument("TTabula: the DBF browser link is required");
    if (!ligacoes_.ImportaDados) throw std::invalid_argument("TTabula: the data import link is required");
    if (!def) {
        proprio_ = std::make_unique<DefTabulacao>();
        def = proprio_.get();
    }
    def_ = def;
    setObjectName(QStringLiteral("Tabula"));
    setWindowTitle(QStringLiteral("Tabula"));
    setFont(QFont(QStringLiteral("Arial")));

    ListLinha = NovaLista(this, "ListLinha", false);
    ListColunas = NovaLista(this, "ListColunas", false);
    ListIncr = NovaLista(this, "ListIncr", true);
    ListInicial = NovaLista(this, "ListInicial", false);
    ListSelecao = NovaLista(this, "ListSelecao", false);
    ListCategSel = NovaLista(this, "ListCategSel", true, false);
    ListArquivos = NovaLista(this, "ListArquivos", true);
    EspecArquivos = new QLineEdit(this);
    EspecArquivos->setObjectName(QStringLiteral("EspecArquivos"));

    bInclui = new QPushButton(QStringLiteral("&Inclui"), this);
    bInclui->setToolTip(QStringLiteral("Inclui a sele\u00E7\u00E3o dispon\u00EDvel marcada entre as sele\u00E7\u00F5es ativas"));
    bExclui = new QPushButton(QStringLiteral("&Exclui"), this);
    bExclui->setToolTip(QStringLiteral("Exclui o item marcado das sele\u00E7\u00F5es ativas"));
    bLocalizar = new QPushButton(QStringLiteral("&Localizar categoria"), this);
    bConsultaSQL = new QPushButton(QStringLiteral("Importa dados"), this);
    bConsultaSQL->setToolTip(
        QStringLiteral("Conecta-se ao banco de dados criando uma c\u00F3pia atualizada para an\u00E1lise"));
    bConsultaSQL->setVisible(false);

    cbSupLin = new QCheckBox(QStringLiteral("Sup linhas zeradas"), this);
    cbSupCol = new QCheckBox(QStringLiteral("Sup colunas zeradas"), this);
    cbSupCol->setChecked(true);
    ckTestaCRC = new QCheckBox(QStringLiteral("&Testar CRC"), this);
    ckTestaCRC->setToolTip(QStringLiteral("Testar integridade da compress\u00E3o de cada arquivo"));
    cbGrava = new QCheckBox(QStringLiteral("&Salvar registros"), this);
    cbGrava->setToolTip(QStringLiteral("Gravar DBF com os registros selecionados"));

    auto* grupo = new QGroupBox(QStringLiteral("N\u00E3o Classificados"), this);
    grupo->setToolTip(QStringLiteral(
        "Como tratar os registros cujos c\u00F3digos n\u00E3o estejam previstos na tabela de convers\u00E3o"));
    rbIgnorar = new QRadioButton(QStringLiteral("&Ignorar"), grupo);
    rbIncluir = new QRadioButton(QStringLiteral("In&cluir"), grupo);
    rbDiscriminar = new QRadioButton(QStringLiteral("&Discriminar"), grupo);
    rbIgnorar->setChecked(true);
    NaoClassificado = new QButtonGroup(this);
    NaoClassificado->addButton(rbIgnorar, 0);
    NaoClassificado->addButton(rbIncluir, 1);
    NaoClassificado->addButton(rbDiscriminar, 2);
    auto* vg = new QVBoxLayout(grupo);
    for (auto* r : {rbIgnorar, rbIncluir, rbDiscriminar}) vg->addWidget(r);

    bExecute = new QPushButton(QStringLiteral("E&xecutar"), this);
    bExecute->setToolTip(QStringLiteral("Executar tabula\u00E7\u00E3o "));
    bCancelar = new QPushButton(QStringLiteral("&Cancelar"), this);
    bCancelar->setToolTip(QStringLiteral("Cancelar a tabula\u00E7\u00E3o ao fim deste arquivo"));
    bCancelar->setEnabled(false);
    bSair = new QPushButton(QStringLiteral("Sai&r"), this);
    bSair->setToolTip(QStringLiteral("Sair para a janela principal"));
    bAjuda = new QPushButton(QStringLiteral("&Ajuda"), this);
    bAjuda->setToolTip(QStringLiteral("Ajuda sobre o arquivo de defini\u00E7\u00E3o"));
    bAjuda->setVisible(false);
    bExecute->setDefault(true);

    StatusBar1 = new QStatusBar(this);
    StatusBar1->setSizeGripEnabled(false);
    for (int i = 0; i < 3; ++i) {
        Painel[i] = new QLabel(this);
        StatusBar1->addWidget(Painel[i], i == 1 ? 1 : 0);
    }
    Timer1 = new QTimer(this);
    Timer1->setInterval(200);
    Escolhedor = new TDualListDlg(this);

    connect(bInclui, &QPushButton::clicked, this, &TTabula::SelecionaClick);
    connect(ListInicial, &QListWidget::itemDoubleClicked, this, &TTabula::SelecionaClick);
    connect(bExclui, &QPushButton::clicked, this, &TTabula::DeSelecionaClick);
    connect(ListSelecao, &QListWidget::currentRowChanged, this, &TTabula::ListSelecaoClick);
    // Marks follow every change of the category list, so a run started straight
    // from it sees what the user sees.
    connect(ListCategSel, &QListWidget::itemSelectionChanged, this, &TTabula::ListCategSelExit);
    connect(bLocalizar, &QPushButton::clicked, this, &TTabula::bLocalizarClick);
    connect(EspecArquivos, &QLineEdit::textChanged, this, &TTabula::ListaArquivos);
    connect(NaoClassificado, &QButtonGroup::idClicked, this, &TTabula::NaoClassificadoClick);
    connect(bExecute, &QPushButton::clicked, this, &TTabula::ExecuteClick);
    connect(bCancelar, &QPushButton::clicked, this, &TTabula::bCancelarClick);
    connect(bSair, &QPushButton::clicked, this, &TTabula::reject);
    connect(bAjuda, &QPushButton::clicked, this, &TTabula::bAjudaClick);
    connect(Timer1, &QTimer::timeout, this, &TTabula::Timer1Timer);
    connect(bConsultaSQL, &QPushButton::clicked, this, [this] {
        QString nome = QFileDialog::getSaveFileName(this, QString(), ParaQString(EspecArquivos->text().toStdString()),
                                                    QStringLiteral("dBase III plus (*.dbf)"));
        if (nome.isEmpty()) return;
        ligacoes_.ImportaDados(NaPastaDEF(*def_, def_->ArquivoConsulta), nome.toStdString());
        ListaArquivos();
    });
    for (auto* l : {ListLinha, ListIncr, ListSelecao, ListArquivos, ListColunas, ListInicial})
        l->viewport()->installEventFilter(this);

    auto* grade = new QGridLayout;
    grade->addWidget(Titulado(this, QStringLiteral("Linhas"), ListLinha), 0, 0);
    grade->addWidget(Titulado(this, QStringLiteral("Colunas"), ListColunas), 0, 1);
    grade->addWidget(Titulado(this, QStringLiteral("Incremento"), ListIncr), 0, 2);
    auto* arquivos = new QWidget(this);
    auto* va = new QVBoxLayout(arquivos);
    va->setContentsMargins(0, 0, 0, 0);
    va->addWidget(new QLabel(QStringLiteral("Arquivos"), arquivos));
    va->addWidget(EspecArquivos);
    va->addWidget(bConsultaSQL);
    va->addWidget(ListArquivos, 1);
    grade->addWidget(arquivos, 0, 3, 2, 1);
    grade->addWidget(Titulado(this, QStringLiteral("Sele\u00E7\u00F5es dispon\u00EDveis"), ListInicial), 1, 0);
    auto* ativas = new QWidget(this);
    auto* vs = new QVBoxLayout(ativas);
    vs->setContentsMargins(0, 0, 0, 0);
    vs->addWidget(new QLabel(QStringLiteral("Sele\u00E7\u00F5es ativas"), ativas));
    vs->addWidget(ListSelecao, 1);
    auto* hs = new QHBoxLayout;
    hs->addWidget(bInclui);
    hs->addWidget(bExclui);
    vs->addLayout(hs);
    grade->addWidget(ativas, 1, 1);
    auto* categorias = new QWidget(this);
    auto* vc = new QVBoxLayout(categorias);
    vc->setContentsMargins(0, 0, 0, 0);
    vc->addWidget(new QLabel(QStringLiteral("Categorias Selecionadas"), categorias));
    vc->addWidget(ListCategSel, 1);
    vc->addWidget(bLocalizar);
    grade->addWidget(categorias, 1, 2);
    auto* opcoes = new QHBoxLayout;
    auto* caixas = new QVBoxLayout;
    for (auto* c : {cbSupLin, cbSupCol, ckTestaCRC, cbGrava}) caixas->addWidget(c);
    opcoes->addLayout(caixas);
    opcoes->addWidget(grupo);
    opcoes->addStretch();
    for (auto* b : {bExecute, bCancelar, bSair, bAjuda}) opcoes->addWidget(b);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grade, 1);
    layout->addLayout(opcoes);
    layout->addWidget(StatusBar1);
    resize(760, 520);
}

TTabula::~TTabula() = default;

void TTabula::CarregaDEF(const std::string& arquivo, bool sqlDisponivel) {
    // The run log stays with the open table until a run replaces both.
    if (LeDEF(*def_, arquivo, sqlDisponivel)) PreencheListas();
    setWindowTitle(QString::fromStdString(arquivo));
}

void TTabula::PreencheListas() {
    preenchendo_ = true;
    auto enche = [](QListWidget* l, const std::vector<std::string>& itens) {
        l->clear();
        for (const auto& i : itens) l->addItem(ParaQString(i));
    };
    enche(ListLinha, def_->ListLinha);
    enche(ListColunas, def_->ListColunas);
    enche(ListIncr, def_->ListIncr);
    enche(ListInicial, def_->ListInicial);
    enche(ListSelecao, def_->ListSelecao);
    ListCategSel->clear();
    bAjuda->setVisible(def_->AjudaVisivel);
    bConsultaSQL->setVisible(def_->FlagConsulta);
    ListIncr->item(0)->setSelected(true);
    {
        QSignalBlocker b(EspecArquivos);
        EspecArquivos->setText(ParaQString(def_->EspecArquivos));
    }
    preenchendo_ = false;
    ListaArquivos();
    if (ListLinha->count() > 0) ListLinha->setCurrentRow(0);
    if (ListColunas->count() > 0) ListColunas->setCurrentRow(0);
}

void TTabula::ListaArquivos() {
    ListArquivos->clear();
    def_->EspecArquivos = DeQString(EspecArquivos->text());
    std::vector<std::string> nomes;
    try {
        nomes = ListaArquivosDEF(*def_);
    } catch (const std::exception&) {
        MensagensAtuais().Mostra("Nada encontrado em " + def_->EspecArquivos);
        return;
    }
    for (const auto& n : nomes) ListArquivos->addItem(QString::fromStdString(n));
    if (ListArquivos->count() > 0) ListArquivos->item(0)->setSelected(true);
}

void TTabula::MostraCategorias(int s) {
    preenchendo_ = true;
    ListCategSel->clear();
    if (s >= 0 && s < def_->NumSelecoes) {
        const TDimensao& d = def_->Selecao(s);
        for (std::int32_t k = 1; k <= d.NumCategorias; ++k) {
            ListCategSel->addItem(ParaQString(d.NomesCategoria[static_cast<std::size_t>(k)]));
            if (d.Marcadas[static_cast<std::size_t>(k - 1)]) ListCategSel->item(k - 1)->setSelected(true);
        }
    }
    preenchendo_ = false;
}

void TTabula::SelecionaClick() {
    int i = ListInicial->currentRow();
    if (i < 0 || ocupado_) return;
    int pos = Seleciona(*def_, i);
    preenchendo_ = true;
    ListInicial->clear();
    for (const auto& s : def_->ListInicial) ListInicial->addItem(ParaQString(s));
    ListSelecao->clear();
    for (const auto& s : def_->ListSelecao) ListSelecao->addItem(ParaQString(s));
    preenchendo_ = false;
    if (pos >= 0) {
        ListSelecao->setCurrentRow(pos);
        MostraCategorias(pos);
    }
}

void TTabula::DeSelecionaClick() {
    int i = ListSelecao->currentRow();
    if (i < 0 || ocupado_) return;
    DeSeleciona(*def_, i);
    preenchendo_ = true;
    ListInicial->addItem(ParaQString(def_->ListInicial.back()));
    delete ListSelecao->takeItem(i);
    ListCategSel->clear();
    preenchendo_ = false;
    if (ListSelecao->count() > 0) {
        ListSelecao->setCurrentRow(ListSelecao->count() - 1);
        MostraCategorias(ListSelecao->count() - 1);
    }
}

void TTabula::ListSelecaoClick() {
    if (preenchendo_) return;
    MostraCategorias(ListSelecao->currentRow());
}

void TTabula::ListCategSelExit() {
    // During a run the workers read the marks: they change only between runs.
    if (preenchendo_ || ocupado_) return;
    int s = ListSelecao->currentRow();
    if (s < 0 || s >= def_->NumSelecoes) return;
    TDimensao& d = def_->Selecao(s);
    for (int k = 1; k <= d.NumCategorias && k <= ListCategSel->count(); ++k)
        d.Marcadas[static_cast<std::size_t>(k - 1)] = ListCategSel->item(k - 1)->isSelected() ? 1 : 0;
}

void TTabula::NaoClassificadoClick() {
    LinhasExtras = NaoClassificado->checkedId() == 2 ? LinhasDiscriminadas : 0;
}

OpcoesTabulacao TTabula::Opcoes() const {
    OpcoesTabulacao op;
    op.Legenda = windowTitle().toStdString();
    op.Linha = ListLinha->currentItem() && ListLinha->currentItem()->isSelected() ? ListLinha->currentRow()
                                                                                   : ListLinha->currentRow();
    op.Coluna = std::max(0, ListColunas->currentRow());
    op.Incrementos.clear();
    for (int i = 0; i < ListIncr->count(); ++i)
        if (ListIncr->item(i)->isSelected()) op.Incrementos.push_back(i);
    for (int i = 0; i < ListArquivos->count(); ++i)
        if (ListArquivos->item(i)->isSelected()) op.Arquivos.push_back(ListArquivos->item(i)->text().toStdString());
    op.ModoNaoClassificados = std::max(0, NaoClassificado->checkedId());
    op.SupLinhas = cbSupLin->isChecked();
    op.SupColunas = cbSupCol->isChecked();
    op.TestaCRC = ckTestaCRC->isChecked();
    op.SalvaRegistros = cbGrava->isChecked();
    op.Threads = Threads;
    return op;
}

void TTabula::Botoes(bool rodando) {
    bExecute->setEnabled(!rodando);
    bSair->setEnabled(!rodando);
    bCancelar->setEnabled(rodando);
}

void TTabula::ExecuteClick() {
    if (ocupado_) return;
    ListCategSelExit();
    OpcoesTabulacao op = Opcoes();
    ProgressoJanela progresso([this](std::uint64_t feito, std::uint64_t, const std::string& arquivo) {
        Painel[0]->setText(QString::number(feito));
        Painel[1]->setText(QString::fromStdString(arquivo));
        if (isMinimized()) setWindowTitle(QString::number(feito));
    });
    progresso_ = &progresso;
    ocupado_ = true;
    // The run fills a table of its own: the open one stays until this one is ready.
    TabelaResultados nova;
    LogExecucao logNovo;
    {
        struct Fim {
            TTabula* t;
            ~Fim() {
                t->Timer1->stop();
                t->ocupado_ = false;
                t->rodando_ = false;
                t->progresso_ = nullptr;
                t->Botoes(false);
                t->Painel[0]->clear();
                t->Painel[1]->clear();
                t->setWindowTitle(QString::fromStdString(t->def_->ArquivoDEF));
            }
        } fim{this};
        resultado_ = ExecutaTabulacao(*def_, op, nova, logNovo, *this, progresso);
    }
    // A written export unticks "&Salvar registros" also when every row was suppressed.
    if (!resultado_.ArquivoExportado.empty()) cbGrava->setChecked(false);
    if (resultado_.Fim != FimTabulacao::Pronta) return;
    if (AntesDeSubstituir && !AntesDeSubstituir()) return;
    TabelaAtual() = std::move(nova);
    LogAtual().DefineLinhas(logNovo.Linhas());
    QTimer::singleShot(0, this, [this] { done(QDialog::Accepted); });
}

void TTabula::ComecaLeitura() {
    rodando_ = true;
    ticks_ = 0;
    Painel[2]->setText(QStringLiteral("0:00"));
    Botoes(true);
    Timer1->start();
}

void TTabula::TerminaLeitura() {
    Timer1->stop();
    rodando_ = false;
    Botoes(false);
}

void TTabula::bCancelarClick() {
    if (progresso_) progresso_->Cancela();
    bCancelar->setEnabled(false);
}

void TTabula::reject() {
    // Closing or Esc during a run cancels it after the current file.
    if (rodando_) {
        bCancelarClick();
        return;
    }
    if (FindDialog1) FindDialog1->close();
    QDialog::reject();
}

void TTabula::closeEvent(QCloseEvent* e) {
    if (rodando_) {
        bCancelarClick();
        e->ignore();
        return;
    }
    if (FindDialog1) FindDialog1->close();
    QDialog::closeEvent(e);
}

void TTabula::Timer1Timer() {
    ++ticks_;
    if (ticks_ % 5 == 1) {
        int seg = (ticks_ / 5) % 60;
        Painel[2]->setText(QStringLiteral("%1:%2").arg(ticks_ / 300).arg(seg, 2, 10, QLatin1Char('0')));
    }
}

void TTabula::bAjudaClick() {
    const std::string ajuda = NaPastaDEF(*def_, def_->AjudaDEF);
    std::string ext = ParaMinusculas(ajuda.substr(std::min(ajuda.size(), ajuda.find_last_of('.'))));
    if (ext == ".htm" || ext == ".html")
        ExploreWeb(ajuda);
    else if (ext == ".hlp")
        MensagensAtuais().Mostra("O arquivo de ajuda " + ajuda +
                                 " est\xE1 no formato .hlp, que n\xE3o tem visualizador neste sistema. "
                                 "Use uma ajuda em HTML (.htm).");
}

void TTabula::bLocalizarClick() {
    if (!FindDialog1) {
        // The platform's find box: text, case option and direction (down by default).
        FindDialog1 = new QDialog(this);
        FindDialog1->setObjectName(QStringLiteral("FindDialog1"));
        FindDialog1->setWindowTitle(QStringLiteral("Localizar"));
        auto* texto = new QLineEdit(FindDialog1);
        texto->setObjectName(QStringLiteral("Texto"));
        auto* caso = new QCheckBox(QStringLiteral("Diferenciar mai\u00FAsculas de min\u00FAsculas"), FindDialog1);
        auto* acima = new QRadioButton(QStringLiteral("Acima"), FindDialog1);
        auto* abaixo = new QRadioButton(QStringLiteral("Abaixo"), FindDialog1);
        abaixo->setChecked(true);
        auto* proxima = new QPushButton(QStringLiteral("Localizar pr\u00F3xima"), FindDialog1);
        auto* fecha = new QPushButton(QStringLiteral("Cancelar"), FindDialog1);
        proxima->setDefault(true);
        auto* grade = new QGridLayout(FindDialog1);
        grade->addWidget(new QLabel(QStringLiteral("Localizar:"), FindDialog1), 0, 0);
        grade->addWidget(texto, 0, 1, 1, 2);
        grade->addWidget(proxima, 0, 3);
        grade->addWidget(caso, 1, 0, 1, 2);
        grade->addWidget(acima, 1, 2);
        grade->addWidget(abaixo, 2, 2);
        grade->addWidget(fecha, 1, 3);
        connect(proxima, &QPushButton::clicked, FindDialog1, [this, texto, caso, abaixo] {
            if (!texto->text().isEmpty()) FindDialog1Find(texto->text(), abaixo->isChecked(), caso->isChecked());
        });
        connect(fecha, &QPushButton::clicked, FindDialog1, &QDialog::close);
    }
    FindDialog1->show();
    FindDialog1->raise();
}

bool TTabula::FindDialog1Find(const QString& texto, bool paraBaixo, bool diferenciaMaiusculas) {
    auto prepara = [diferenciaMaiusculas](const QString& s) {
        std::string t = TiraAcentos(DeQString(s));
        return diferenciaMaiusculas ? t : MaiusculasSemAcento(t);
    };
    const std::string procurado = prepara(texto);
    const int n = ListCategSel->count();
    int atual = ListCategSel->currentRow();
    for (int i = paraBaixo ? atual + 1 : atual - 1; i >= 0 && i < n; i += paraBaixo ? 1 : -1) {
        if (prepara(ListCategSel->item(i)->text()).find(procurado) != std::string::npos) {
            ListCategSel->setCurrentRow(i, QItemSelectionModel::NoUpdate);
            return true;
        }
    }
    MensagensAtuais().Mostra("\"" + DeQString(texto) + "\" n\xE3o encontrado!");
    return false;
}

void TTabula::Procura(QListWidget* lista, const QString& texto) {
    const std::string procurado = Comparavel(texto);
    const bool varios = lista->selectionMode() == QAbstractItemView::MultiSelection;
    for (int i = 0; i < lista->count(); ++i) {
        if (Comparavel(lista->item(i)->text()).find(procurado) == std::string::npos) continue;
        if (!varios) {
            lista->setCurrentRow(i);
            break;
        }
        lista->item(i)->setSelected(true);
        lista->setCurrentRow(i, QItemSelectionModel::NoUpdate);
    }
    lista->setFocus();
}

bool TTabula::eventFilter(QObject* objeto, QEvent* evento) {
    if (evento->type() == QEvent::MouseButtonPress && static_cast<QMouseEvent*>(evento)->button() == Qt::RightButton) {
        for (auto* l : {ListLinha, ListIncr, ListSelecao, ListArquivos, ListColunas, ListInicial}) {
            if (objeto != l->viewport() || l->count() == 0) continue;
            if (l->currentRow() < 0) l->setCurrentRow(0);
            QString atual = ParaQString(TiraBrancosDir(DeQString(l->currentItem()->text()).substr(0, 18)));
            bool ok = false;
            QString texto = QInputDialog::getText(this, QStringLiteral("Escolha item"),
                                                  QStringLiteral("Entre descri\u00E7\u00E3o"), QLineEdit::Normal, atual, &ok);
            if (ok) Procura(l, texto);
            return true;
        }
    }
    return QDialog::eventFilter(objeto, evento);
}

bool TTabula::EscolheArquivoExportacao(std::string& nome) {
    if (PerguntaArquivoSaida) return PerguntaArquivoSaida(nome);
    QString n = QFileDialog::getSaveFileName(this, QString(), QString(), QStringLiteral("dBase III plus (*.dbf)"));
    if (n.isEmpty()) return false;
    if (!n.endsWith(QStringLiteral(".dbf"), Qt::CaseInsensitive)) n += QStringLiteral(".dbf");
    nome = n.toStdString();
    return true;
}

bool TTabula::EscolheCampos(const std::vector<std::string>& campos, std::vector<std::string>& escolhidos) {
    return Escolhedor->Escolhe(campos, escolhidos);
}

void TTabula::MostraExportacao(const std::string& nome) { ligacoes_.AbreNoBrowser(nome); }

bool AbreTabulacao(const std::string& arquivoDef, QWidget* pai, const std::function<bool()>& antesDeSubstituir) {
    if (!Tabula) throw std::logic_error("AbreTabulacao: the tabulation dialog was not built");
    try {
        Tabula->CarregaDEF(arquivoDef, ConfiguracaoAtual().SQLDisponivel);
    } catch (const std::exception&) {
        MensagensAtuais().Mostra(TextoDoErroParaUsuario(std::current_exception()));
        return false;
    }
    if (!Tabula->Def().PastaDEF.empty()) QDir::setCurrent(QString::fromStdString(Tabula->Def().PastaDEF));
    if (Tabula->ListLinha->count() == 0) return false;
    auto titulo = [pai] {
        if (pai && !Tabula->Def().Titulo1.empty())
            pai->window()->setWindowTitle(ParaQString(("Dorvan: " + Tabula->Def().Titulo1).substr(0, 88)));
    };
    titulo();
    Tabula->setWindowState(Qt::WindowNoState);
    Tabula->AntesDeSubstituir = antesDeSubstituir;
    const int fim = Tabula->exec();
    Tabula->AntesDeSubstituir = nullptr;
    if (fim != QDialog::Accepted) return false;
    titulo(); // closing the replaced table reset the caption
    TabelaAtual().Modificada = true;
    if (Log && LogAtual().MostraAoAbrir()) {
        Log->showNormal();
        Log->raise();
    }
    return true;
}

bool ComandoTabulacao(QWidget* pai, const std::function<bool()>& antesDeSubstituir) {
    TAbreDEF abre(pai);
    // The folder of the DEF in use; before the first one, the data folder of the settings.
    if (Tabula && !Tabula->Def().PastaDEF.empty())
        abre.DefinePasta(Tabula->Def().PastaDEF);
    else if (!ConfiguracaoAtual().DirDados.empty())
        abre.DefinePasta(ConfiguracaoAtual().DirDados);
    if (abre.exec() != QDialog::Accepted) return false;
    std::string arquivo = abre.ArquivoEscolhido();
    if (arquivo.empty() || ResolveNome(arquivo).empty()) return false;
    return AbreTabulacao(arquivo, pai, antesDeSubstituir);
}

} // namespace dorvan

#include "analysis/ui/TFormR.h"

#include "analysis/EsquemaR.h"
#include "platform/Texto1252.h"
#include "platform/ui/Janelas.h"
#include "table/Utilidades.h"
#include "table/ui/ComandosTabela.h"
#include "table/ui/EscolhaTabela.h"
#include "table/ui/TEscolhe_Coluna.h"
#include "table/ui/TFEscolheDiretorio.h"
#include "table/ui/TInfo.h"

#include <QApplication>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QResizeEvent>
#include <QScreen>
#include <QTextCursor>

namespace dorvan {

TFormR* FormR = nullptr;

std::function<void(const std::string&)>& MostraGraficoR() {
    static std::function<void(const std::string&)> mostra = [](const std::string& arquivo) { ExploreWeb(arquivo); };
    return mostra;
}

namespace {

// The description box starts here and fills the form below it.
constexpr int TopoDescricao = 272;

} // namespace

TFormR::TFormR(TabelaResultados& t, Configuracao& cfg, QWidget* pai) : QDialog(pai), t_(t), cfg_(cfg) {
    setObjectName(QStringLiteral("FormR"));
    setWindowTitle(ParaQString("Esquemas de an\xE1lise"));
    resize(645, 474);

    ListProg = new QListWidget(this);
    ListProg->setGeometry(8, 8, 629, 160);
    lautor = new QLabel(this);
    lautor->setGeometry(8, 176, 629, 18);
    lEmail = new QLabel(this);
    lEmail->setGeometry(8, 196, 629, 18);
    lVersao = new QLabel(this);
    lVersao->setGeometry(8, 216, 629, 18);

    bOK = new QPushButton(QStringLiteral("E&xecuta"), this);
    bOK->setGeometry(8, 238, 100, 28);
    bOK->setDefault(true);
    bAbreBiblio = new QPushButton(QStringLiteral("&Biblioteca"), this);
    bAbreBiblio->setGeometry(116, 238, 100, 28);
    bExemplo = new QPushButton(QStringLiteral("Dados de exemplo"), this);
    bExemplo->setGeometry(224, 238, 140, 28);
    bExemplo->setToolTip(ParaQString("Abrir dados de exemplo para este esquema de an\xE1lise"));
    BitBtn1 = new QPushButton(QStringLiteral("&Retorna"), this);
    BitBtn1->setGeometry(537, 238, 100, 28);

    mDescri = new QPlainTextEdit(this);
    mDescri->setReadOnly(true);
    mDescri->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    mDescri->setGeometry(0, TopoDescricao, width(), height() - TopoDescricao);

    connect(ListProg, &QListWidget::currentRowChanged, this, [this](int) { ListProgClick(); });
    connect(ListProg, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem*) { ListProgDblClick(); });
    connect(bOK, &QPushButton::clicked, this, [this] {
        ListProgDblClick();
        // The button closes the form with its result even when the run was cancelled.
        if (isVisible()) accept();
    });
    connect(bAbreBiblio, &QPushButton::clicked, this, [this] { bAbreBiblioClick(); });
    connect(bExemplo, &QPushButton::clicked, this, [this] { bExemploClick(); });
    connect(BitBtn1, &QPushButton::clicked, this, &QDialog::reject);

    Perguntas = PerguntasPadrao();
    EscolheBiblioteca = [](const std::string& pergunta, const std::string& inicial) {
        return EscolheDiretorio(pergunta, inicial, "*.rx");
    };
}

TFormR::~TFormR() {
    if (FormR == this) FormR = nullptr;
}

PerguntasR TFormR::PerguntasPadrao() {
    PerguntasR p;
    p.Marca = [this](const std::string& pergunta, bool camposDBF) -> std::optional<std::vector<std::int32_t>> {
        const auto& browse = TabelaDoBrowse();
        const std::vector<std::string> itens =
            camposDBF ? (browse ? browse->Campos : std::vector<std::string>{}) : TitulosColunas(t_);
        auto marca = [&](TEscolhe_Coluna& j) -> std::optional<std::vector<std::int32_t>> {
            // Cancel and "OK with nothing marked" differ here: only the first ends the run.
            if (!j.Mostra("Marque Colunas", pergunta, itens, true)) return std::nullopt;
            std::vector<std::int32_t> r;
            for (int m : j.Marcados()) r.push_back(m);
            if (!camposDBF) t_.Selecionadas = r;
            return r;
        };
        if (Escolhe_Coluna) return marca(*Escolhe_Coluna);
        TEscolhe_Coluna janela(this);
        return marca(janela);
    };
    p.Parametro = [this](const std::string& titulo, const std::string& pergunta) {
        return PerguntaTexto(this, titulo, pergunta, "");
    };
    return p;
}

AmbienteR TFormR::Ambiente() const {
    AmbienteR a;
    a.DirPrograma = cfg_.DirPrograma;
    a.DirRX = cfg_.DirRX;
    a.DirR = cfg_.DirR;
    a.DirDados = cfg_.DirDados;
    a.DirTrabalho = cfg_.DirTrabalho;
    return a;
}

TInfo& TFormR::JanelaSaida() {
    if (Info) return *Info;
    if (!saida_) saida_ = new TInfo(parentWidget() ? parentWidget() : this);
    return *saida_;
}

void TFormR::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    if (const QScreen* tela = screen()) move(tela->availableGeometry().center() - rect().center());
    FormShow();
}

void TFormR::resizeEvent(QResizeEvent* e) {
    QDialog::resizeEvent(e);
    mDescri->setGeometry(0, TopoDescricao, width(), height() - TopoDescricao);
    BitBtn1->move(width() - 108, BitBtn1->y());
    ListProg->resize(width() - 16, ListProg->height());
}

void TFormR::FormShow() {
    setWindowTitle(ParaQString(TituloFormR(cfg_.DirR, cfg_.DirRX)));
    const QSignalBlocker bloqueio(ListProg);
    ListProg->clear();
    for (const std::string& item : ListaEsquemasR(cfg_.DirRX)) ListProg->addItem(ParaQString(item));
    if (ListProg->count() > 0) ListProg->setCurrentRow(0);
    ListProg->setFocus();
    ListProgClick();
}

std::string TFormR::ArquivoSelecionado() const {
    const QListWidgetItem* item = ListProg->currentItem();
    if (!item) return {};
    return ArquivoDoItemR(DeQString(item->text()));
}

void TFormR::ListProgClick() {
    if (ListProg->count() == 0 || !ListProg->currentItem()) return;
    const DetalhesEsquemaR d = DetalhesDe(LeEsquemaR(cfg_.DirRX + ParaUtf8(ArquivoSelecionado())));
    lautor->setText(ParaQString(d.autor));
    lEmail->setText(ParaQString(d.email));
    lVersao->setText(ParaQString(d.versao));
    bExemplo->setVisible(d.temExemplo);
    mDescri->clear();
    mDescri->appendPlainText(ParaQString(d.descricao));
    // The top of the description shows.
    QTextCursor cursor = mDescri->textCursor();
    cursor.setPosition(0);
    mDescri->setTextCursor(cursor);
    ListProg->setFocus();
}

void TFormR::ListProgDblClick() {
    // Nothing to run: an empty list (or no selection) writes nothing.
    const std::string nome = ArquivoSelecionado();
    if (nome.empty()) return;
    const AmbienteR amb = Ambiente();
    auto& browse = TabelaDoBrowse();
    const auto preparo = PreparaExecucaoR(nome, t_, amb, browse ? &*browse : nullptr, Perguntas);
    if (!preparo) return;
    {
        CursorOcupado ocupado;
        RodaLoteR(amb, *preparo, [] { QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents); });
    }
    const ResultadoR r = ColheResultadoR(*preparo, amb);
    TInfo& info = JanelaSaida();
    info.Limpa();
    for (const std::string& linha : r.linhas) info.AcrescentaLinha(linha);
    if (!r.primeiroGrafico.empty() && MostraGraficoR()) MostraGraficoR()(r.primeiroGrafico);
    if (isVisible()) reject();
    if (r.mostrar) {
        MostraNaFrente(info);
        info.Memo->setFocus();
    }
}

void TFormR::bAbreBiblioClick() {
    const std::string inicial = DiretorioExiste(cfg_.DirRX) ? cfg_.DirRX : cfg_.DirPrograma;
    const auto pasta = EscolheBiblioteca ? EscolheBiblioteca("Biblioteca de esquemas de an\xE1lise ", inicial)
                                         : std::nullopt;
    if (!pasta) return;
    cfg_.DirRX = *pasta;
    if (cfg_.DirRX.empty() || cfg_.DirRX.back() != '/') cfg_.DirRX += '/';
    FormShow();
}

void TFormR::bExemploClick() {
    const std::string nome = ArquivoSelecionado();
    if (nome.empty()) return;
    GravaExemploR(LeEsquemaR(cfg_.DirRX + ParaUtf8(nome)), PastaAtual());
    accept();
}

} // namespace dorvan

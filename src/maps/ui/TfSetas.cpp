#include "maps/ui/TfSetas.h"

#include "maps/ui/ComandosCamadas.h"

#include "maps/ExportaMapa.h"
#include "maps/ui/PintaMapa.h"
#include "maps/ui/TMapa.h"
#include "platform/Erros.h"
#include "platform/Mensagens.h"
#include "platform/Numeros.h"
#include "platform/Processos.h"
#include "platform/Texto1252.h"
#include "platform/ui/Janelas.h"
#include "table/Configuracao.h"
#include "table/TabelaArquivo.h"
#include "table/ui/ComandosTabela.h"
#include "table/ui/TForm1.h"
#include "table/ui/TInfo.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>
#include <cmath>
#include <filesystem>

namespace dorvan {

TfSetas* fSetas = nullptr;
bool ModoDistancia = false;

namespace {

namespace fs = std::filesystem;

constexpr const char* FiltroDBF = "Arquivo dBaseIII+|*.dbf";

QString U(const char* utf8) { return QString::fromUtf8(utf8); }

std::string Pasta(const std::string& arquivo) {
    return arquivo.empty() ? std::string() : fs::path(arquivo).parent_path().string();
}

std::int32_t Inteiro(const QLineEdit* e) {
    const double v = LePrefixoNumerico(DeQString(e->text()));
    return static_cast<std::int32_t>(std::clamp(std::trunc(v), -2e9, 2e9));
}

} // namespace

PerguntasSetas& PerguntasDasSetas() {
    static PerguntasSetas p{
        [](const std::string& titulo, const std::string& filtro, int indice, const std::string& inicial) {
            QFileDialog d(QApplication::activeWindow(), ParaQString(titulo));
            d.setAcceptMode(QFileDialog::AcceptSave);
            const QStringList filtros = FiltrosQt(filtro);
            d.setNameFilters(filtros);
            auto sufixo = [&d, filtros](const QString& f) {
                const qsizetype i = filtros.indexOf(f);
                if (i < 0) return;
                const QString padrao = f.section(QStringLiteral("*."), 1).section(QLatin1Char(')'), 0, 0);
                d.setDefaultSuffix(padrao);
            };
            QObject::connect(&d, &QFileDialog::filterSelected, &d, sufixo);
            if (indice >= 1 && indice <= filtros.size()) {
                d.selectNameFilter(filtros[indice - 1]);
                sufixo(filtros[indice - 1]);
            }
            if (!inicial.empty()) d.selectFile(QString::fromStdString(inicial));
            if (d.exec() != QDialog::Accepted || d.selectedFiles().isEmpty()) return std::string();
            return d.selectedFiles().first().toStdString();
        }};
    return p;
}

// ---- the dialog ------------------------------------------------------------------------------

TfSetas::TfSetas(TMapa& mapa, QWidget* pai) : QDialog(pai), mapa_(mapa) {
    setObjectName(QStringLiteral("fSetas"));
    setWindowTitle(U("Seleção das setas de fluxo"));
    auto* coluna = new QVBoxLayout(this);
    auto* linhaArquivo = new QHBoxLayout;
    edNomeDBF = new QLineEdit(this);
    edNomeDBF->setObjectName(QStringLiteral("edNomeDBF"));
    bAbreDBF = new QPushButton(QStringLiteral("..."), this);
    bAbreDBF->setObjectName(QStringLiteral("bAbreDBF"));
    linhaArquivo->addWidget(edNomeDBF);
    linhaArquivo->addWidget(bAbreDBF);
    coluna->addLayout(linhaArquivo);

    auto* grade = new QGridLayout;
    auto edit = [this](const char* nome, const char* texto) {
        auto* e = new QLineEdit(QString::fromLatin1(texto), this);
        e->setObjectName(QString::fromLatin1(nome));
        connect(e, &QLineEdit::textChanged, this, [this] { RestartTimer(); });
        return e;
    };
    chkDominante = new QCheckBox(QStringLiteral("Dominante"), this);
    chkDominante->setObjectName(QStringLiteral("chkDominante"));
    chkDominante->setChecked(true);
    edFluxo = edit("edFluxo", "1");
    edDistancia = edit("edDistancia", "1");
    edPercent = edit("edPercent", "0");
    edLargura = edit("edLargura", "0");
    chkLargura = new QCheckBox(QStringLiteral("Largura proporcional ao fluxo"), this);
    chkLargura->setObjectName(QStringLiteral("chkLargura"));
    grade->addWidget(chkDominante, 0, 0, 1, 2);
    grade->addWidget(new QLabel(U("Absoluto"), this), 1, 1);
    grade->addWidget(new QLabel(U("% na origem"), this), 1, 2);
    grade->addWidget(new QLabel(U("Fluxo mínimo"), this), 2, 0);
    grade->addWidget(edFluxo, 2, 1);
    grade->addWidget(edPercent, 2, 2);
    grade->addWidget(new QLabel(U("Distância mínima (m)"), this), 3, 0);
    grade->addWidget(edDistancia, 3, 1);
    grade->addWidget(chkLargura, 4, 0, 1, 3);
    grade->addWidget(new QLabel(U("+1 pixel de largura a cada"), this), 5, 0);
    grade->addWidget(edLargura, 5, 1);
    bCor = new QPushButton(this);
    bCor->setObjectName(QStringLiteral("bCor"));
    grade->addWidget(bCor, 6, 0);
    cbSetor = new QCheckBox(U("Gráfico externos / locais"), this);
    cbSetor->setObjectName(QStringLiteral("cbSetor"));
    grade->addWidget(cbSetor, 6, 1, 1, 2);
    coluna->addLayout(grade);

    lNumSetas = new QLabel(U("Número de setas"), this);
    lFluxoTotal = new QLabel(U("Fluxo Total"), this);
    lMaiorFluxo = new QLabel(U("Maior Fluxo"), this);
    lNumSetas->setObjectName(QStringLiteral("lNumSetas"));
    lFluxoTotal->setObjectName(QStringLiteral("lFluxoTotal"));
    lMaiorFluxo->setObjectName(QStringLiteral("lMaiorFluxo"));
    for (QLabel* l : {lNumSetas, lFluxoTotal, lMaiorFluxo})
        coluna->addWidget(l);

    auto* botoes = new QHBoxLayout;
    OK = new QPushButton(QStringLiteral("OK"), this);
    OK->setObjectName(QStringLiteral("OK"));
    OK->setDefault(true);
    Cancela = new QPushButton(QStringLiteral("Cancela"), this);
    Cancela->setObjectName(QStringLiteral("Cancela"));
    botoes->addStretch();
    botoes->addWidget(OK);
    botoes->addWidget(Cancela);
    coluna->addLayout(botoes);

    Timer1 = new QTimer(this);
    Timer1->setSingleShot(true);
    Timer1->setInterval(500);
    connect(Timer1, &QTimer::timeout, this, [this] { Timer1Timer(); });
    connect(chkDominante, &QCheckBox::clicked, this, [this] { RestartTimer(); });
    connect(bAbreDBF, &QPushButton::clicked, this, [this] { bAbreDBFClick(); });
    connect(chkLargura, &QCheckBox::clicked, this, [this] { chkLarguraClick(); });
    connect(bCor, &QPushButton::clicked, this, [this] { bCorClick(); });
    connect(OK, &QPushButton::clicked, this, &QDialog::accept);
    connect(Cancela, &QPushButton::clicked, this, &QDialog::reject);
    PintaBotaoCor();
}

void TfSetas::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    PintaBotaoCor();
    RestartTimer();
}

void TfSetas::RestartTimer() { Timer1->start(); }

void TfSetas::PintaBotaoCor() { bCor->setStyleSheet(QStringLiteral("background-color: %1").arg(Cor.name())); }

ConfiguracaoSetas TfSetas::Filtro() const {
    ConfiguracaoSetas c = mapa_.Fluxos;
    c.ArquivoFluxo = edNomeDBF->text().toStdString();
    c.Dominante = chkDominante->isChecked();
    c.FluxoMinimo = Inteiro(edFluxo);
    c.DistanciaMinima = Inteiro(edDistancia);
    c.DivisorLargura = Inteiro(edLargura);
    c.Setor = cbSetor->isChecked();
    return c;
}

void TfSetas::Timer1Timer() {
    Timer1->stop();
    const std::string arquivo = edNomeDBF->text().toStdString();
    if (edDistancia->text().trimmed().isEmpty()) edDistancia->setText(QStringLiteral("1"));
    if (edFluxo->text().trimmed().isEmpty()) edFluxo->setText(QStringLiteral("1"));
    if (edPercent->text().trimmed().isEmpty()) edPercent->setText(QStringLiteral("0"));
    if (edLargura->text().trimmed().isEmpty()) edLargura->setText(QStringLiteral("0"));
    Timer1->stop(); // the texts just set restarted it
    mapa_.Fluxos.PercentualMinimo = static_cast<float>(LePrefixoNumerico(DeQString(edPercent->text())));
    try {
        const PreviaSetas p = ContaSetas(arquivo, Filtro());
        if (!p.CamposOk) return;
        Previa = p;
    } catch (const std::exception&) {
        MensagensAtuais().Mostra(TextoDoErroParaUsuario(std::current_exception()));
        return;
    }
    lNumSetas->setText(ParaQString("N\xFAmero de setas = " + std::to_string(Previa.NumSetas)));
    lFluxoTotal->setText(ParaQString("Fluxo Total = " + std::to_string(Previa.FluxoTotal)));
    lMaiorFluxo->setText(ParaQString("Maior Fluxo = " + std::to_string(Previa.MaiorFluxo)));
}

void TfSetas::bAbreDBFClick() {
    const std::string nome =
        PerguntasDoMapa().AbreArquivo("Abrir", FiltroDBF, 1, Pasta(edNomeDBF->text().toStdString()));
    if (nome.empty()) return;
    edNomeDBF->setText(QString::fromStdString(nome));
    RestartTimer();
}

void TfSetas::chkLarguraClick() {
    const std::int64_t largura = chkLargura->isChecked() ? std::max<std::int64_t>(Previa.MaiorFluxo / 10, 1) : 0;
    edLargura->setText(QString::number(largura));
}

void TfSetas::bCorClick() {
    if (auto c = PerguntasDoMapa().EscolheCor(Cor)) {
        Cor = *c;
        PintaBotaoCor();
    }
}

// ---- the commands ------------------------------------------------------------------------------

void bSetasClick(TMapa& m) {
    TfSetas& d = *fSetas;
    std::error_code ec;
    const std::string atual = d.edNomeDBF->text().toStdString();
    if (atual.empty() || !fs::is_regular_file(atual, ec)) {
        const std::string nome = PerguntasDoMapa().AbreArquivo("Abrir", FiltroDBF, 1, Pasta(TabelaAtual().NomeMapa));
        if (nome.empty()) return;
        d.edNomeDBF->setText(QString::fromStdString(nome));
    }
    d.Cor = CorQt(m.Fluxos.Cor);
    if (d.exec() == QDialog::Accepted) {
        const float percentual = m.Fluxos.PercentualMinimo;
        m.Fluxos = d.Filtro();
        m.Fluxos.PercentualMinimo = percentual;
        m.Fluxos.Cor = CorArmazenada(d.Cor);
        m.Fluxos.MostraSetas = true;
    } else {
        m.Fluxos.MostraSetas = false;
    }
    d.Timer1->stop();
    m.Repinta();
}

void TabeladeFluxo1Click(TForm1& f, TMapa& m) {
    const std::string nome = PerguntasDasSetas().SalvaArquivo("Gravar tabela de fluxo", FiltroDBF, 1, "*.dbf");
    if (nome.empty()) return;
    try {
        CursorOcupado ocupado;
        GravaTabelaFluxo(f.Tabela(), f.Tabela().NomeMapa, nome);
    } catch (const std::exception&) {
        MensagensAtuais().Mostra(TextoDoErroParaUsuario(std::current_exception()));
        return;
    }
    m.Opcoes.MostraSede = true;
    if (QAction* a = m.Acao(QStringLiteral("MostrarSede1"))) a->setChecked(true);
    fSetas->edNomeDBF->setText(QString::fromStdString(nome));
    bSetasClick(m);
}

void Distancia1Click(TMapa& m) {
    ModoDistancia = true;
    m.Cliente->setCursor(Qt::CrossCursor);
}

bool SoltaDistancia(TForm1& f, TMapa& m, QPoint p) {
    if (!ModoDistancia) return false;
    ModoDistancia = false;
    m.Cliente->unsetCursor();
    TabelaResultados& t = f.Tabela();
    try {
        CursorOcupado ocupado;
        if (!ColunaDistancias(t, t.NomeMapa, TelaParaLon(m.Vista, p.x()), TelaParaLat(m.Vista, p.y()))) return true;
    } catch (const std::exception&) {
        MensagensAtuais().Mostra(TextoDoErroParaUsuario(std::current_exception()));
        return true;
    }
    f.MostraNovaColuna();
    return true;
}

void Selecionar1Click(TForm1& f, TMapa& m) {
    QAction* item = m.Acao(QStringLiteral("SelecionarAreas1"));
    if (item) item->setCheckable(true);
    if (m.ModoSelecao) {
        m.ModoSelecao = false;
        if (item) item->setChecked(false);
        m.Cliente->unsetCursor();
        return;
    }
    const std::int32_t antes = f.Tabela().NumColunas();
    const std::int32_t c = ColunaDeSelecao(f.Tabela());
    if (c == 0) {
        if (item) item->setChecked(false);
        return;
    }
    m.ColunaSelecao = c;
    m.ModoSelecao = true;
    if (item) item->setChecked(true);
    m.Cliente->setCursor(Qt::CrossCursor);
    if (f.Tabela().NumColunas() != antes) f.MostraNovaColuna();
}

void InformaClick(TForm1& f, TMapa&) {
    TInfo& info = JanelaInfo(f);
    info.Limpa();
    for (const std::string& l : ResumoClasses(f.Tabela()))
        info.AcrescentaLinha(l);
    MostraNaFrente(info);
}

void b3DClick(TForm1& f) {
    const std::string programa = Programa3D(f.Config().DirPrograma);
    if (programa.empty()) {
        MensagensAtuais().Mostra("Zintorel n\xE3o encontrado: " + DeUtf8(f.Config().DirPrograma + "Zintorel.exe"));
        return;
    }
    try {
        GravaTab(f.Tabela(), ArquivoTabela3D, f.LinhasLog());
    } catch (const std::exception&) {
        MensagensAtuais().Mostra(TextoDoErroParaUsuario(std::current_exception()));
        return;
    }
    const ResultadoPrograma r = ExecutaComArgumentos(programa, Argumentos3D(), false);
    (void)r; // started without waiting and without checking, as the tool is on its own
}

void Exportarmapabase1Click(TMapa&) {
    const std::string nome =
        PerguntasDasSetas().SalvaArquivo("Exportar mapa base", FiltroExportaMapa, IndiceFiltroExportaMapa, "");
    if (nome.empty()) return;
    try {
        CursorOcupado ocupado;
        ExportaMapaBase(TabelaAtual().NomeMapa, nome);
    } catch (const std::exception&) {
        MensagensAtuais().Mostra(TextoDoErroParaUsuario(std::current_exception()));
    }
}

void LigaComandosSetas(TForm1& f) {
    if (!Mapa) LigaComandosMapa(f);
    TMapa& m = *Mapa;
    if (!fSetas) {
        fSetas = new TfSetas(m, &m);
        QObject::connect(fSetas, &QObject::destroyed, [] { fSetas = nullptr; });
    }
    m.Fluxos.Cor = CorArmazenada(QColor(Qt::red));
    m.DefineComando(QStringLiteral("ExportarMapaBase1Click"), [&m] { Exportarmapabase1Click(m); });
    m.DefineComando(QStringLiteral("GravarFluxo1Click"), [&f, &m] { TabeladeFluxo1Click(f, m); });
    m.DefineComando(QStringLiteral("bSetasClick"), [&m] { bSetasClick(m); });
    m.DefineComando(QStringLiteral("GerarColunaDistancias1Click"), [&m] { Distancia1Click(m); });
    m.DefineComando(QStringLiteral("SelecionarAreas1Click"), [&f, &m] { Selecionar1Click(f, m); });
    m.DefineComando(QStringLiteral("Informacao1Click"), [&f, &m] { InformaClick(f, m); });
    m.DefineComando(QStringLiteral("b3DClick"), [&f] { b3DClick(f); });
    m.AoSoltar = [&f, &m](QPoint p) { return SoltaDistancia(f, m, p); };
}

} // namespace dorvan

#include "maps/ui/ComandosCamadas.h"

#include "maps/ImpressaoMapa.h"
#include "maps/ui/PintaMapa.h"
#include "maps/ui/TMapa.h"
#include "maps/ui/TfCamada.h"
#include "platform/Erros.h"
#include "platform/Mensagens.h"
#include "platform/Texto1252.h"
#include "platform/ui/Janelas.h"
#include "platform/ui/Impressora.h"
#include "table/Configuracao.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QEvent>
#include <QClipboard>
#include <QFileDialog>
#include <QFontMetrics>
#include <QPageSetupDialog>
#include <QPainter>
#include <QPrinter>
#include <QSpinBox>
#include <QSvgGenerator>

#include <map>
#include <set>

namespace dorvan {

namespace {

const char* const FiltroCamada = "Mapas do Dorvan|*.map|Arquivo dBase III +|*.dbf|WayPoints de GPS|*.gpx|"
                                 "Todos formatos suportados|*.map;*.dbf;*.gpx";
// Pictures are PNG and the vector pictures SVG on this platform.
const char* const FiltroImagens = "Imagem PNG|*.png|Imagem SVG|*.svg";

constexpr std::uint32_t CorVermelhaFluxo = 0x000000FF;

struct EstadoJanela {
    CamadasDoMapa Lista;
    std::set<std::string> Avisados; // layer problems already reported
};

std::map<const TMapa*, EstadoJanela>& Estados() {
    static std::map<const TMapa*, EstadoJanela> e;
    return e;
}

EstadoJanela& Estado(TMapa& m) { return Estados()[&m]; }

std::string SemPasta(const std::string& nome) {
    const std::size_t barra = nome.find_last_of('/');
    return barra == std::string::npos ? nome : nome.substr(barra + 1);
}

std::string Pasta(const std::string& nome) {
    const std::size_t barra = nome.find_last_of('/');
    return barra == std::string::npos ? std::string() : nome.substr(0, barra + 1);
}

QAction* ItemCamada(TMapa& m, int k) { return m.Acao(QStringLiteral("Camada") + QString::number(k)); }

// A layer problem is told once; the next change of the layers may tell it again.
void Avisa(TMapa& m, const std::string& texto) {
    if (Estado(m).Avisados.insert(texto).second) MensagensAtuais().Mostra(texto);
}

// The menu items follow the list: caption, check and visibility.
void AtualizaItens(TMapa& m) {
    const CamadasDoMapa& l = Estado(m).Lista;
    for (int k = 1; k <= MaxCamadas; ++k) {
        QAction* a = ItemCamada(m, k);
        if (!a) continue;
        if (k <= l.NumCamadas()) {
            a->setText(ParaQString(RotuloCamada(k, l.Camada(k).ArquivoCamada)));
            a->setChecked(l.Camada(k).Ativa);
            a->setVisible(true);
        } else {
            a->setChecked(false);
            a->setVisible(false);
        }
    }
}

void PintaTodas(QPainter& p, const std::vector<PrimitivaMapa>& figuras) {
    for (const PrimitivaMapa& f : figuras)
        PintaFiguraMapa(p, nullptr, f);
}

// The window's picture with the legend texts beside its boxes, without the status bar.
QImage BitmapDaJanela(TMapa& m, const TabelaResultados& t) {
    const int w = m.Cliente->width(), h = std::max(1, m.Cliente->height() - AlturaStatus);
    QImage b(w, h, QImage::Format_RGB32);
    b.fill(Qt::white);
    QPainter p(&b);
    p.drawImage(0, 0, m.Imagem());
    PintaTodas(p, TextosLegendaBitmap(t, w));
    return b;
}

} // namespace

PerguntasCamadas& PerguntasDasCamadas() {
    static PerguntasCamadas p{
        [](const std::string& titulo, const std::string& filtro, const std::string& inicial) {
            QFileDialog d(QApplication::activeWindow(), ParaQString(titulo), QString::fromStdString(Pasta(inicial)));
            d.setFileMode(QFileDialog::ExistingFile);
            d.setNameFilters(FiltrosQt(filtro));
            d.selectFile(QString::fromStdString(SemPasta(inicial)));
            if (d.exec() != QDialog::Accepted || d.selectedFiles().isEmpty()) return std::string();
            return d.selectedFiles().first().toStdString();
        },
        [](TfCamada& d) { return d.exec(); },
        [](const std::string& filtro, int indice, const std::string& sufixo, const std::string& inicial) {
            QFileDialog d(QApplication::activeWindow(), QString(), QString::fromStdString(inicial));
            d.setAcceptMode(QFileDialog::AcceptSave);
            const QStringList filtros = FiltrosQt(filtro);
            d.setNameFilters(filtros);
            if (indice >= 1 && indice <= filtros.size()) d.selectNameFilter(filtros[indice - 1]);
            d.setDefaultSuffix(QString::fromStdString(sufixo));
            if (d.exec() != QDialog::Accepted || d.selectedFiles().isEmpty()) return std::string();
            return d.selectedFiles().first().toStdString();
        },
        [](QPrinter& p) {
            QPageSetupDialog d(&p, QApplication::activeWindow());
            return d.exec() == QDialog::Accepted;
        }};
    return p;
}

QPrinter& ImpressoraDoMapa() {
    // Never destroyed: a printer torn down after the application object may call into
    // print plugins already gone.
    static QPrinter* p = new QPrinter(QPrinter::HighResolution);
    return *p;
}

CamadasDoMapa& CamadasDaJanela(TMapa& m) { return Estado(m).Lista; }

void PoeCamadaClick(TMapa& m) {
    EstadoJanela& e = Estado(m);
    if (e.Lista.NumCamadas() >= MaxCamadas) {
        MensagensAtuais().Mostra(NoveCamadas);
        return;
    }
    const std::string base = m.Tabela().NomeMapa;
    const std::string inicial = Pasta(base) + SemPasta(base).substr(0, 2) + "*.map";
    const std::string arquivo = PerguntasDasCamadas().AbreCamada("Abrir", FiltroCamada, inicial);
    if (arquivo.empty()) return;
    CamadaDoMapa c;
    c.ArquivoCamada = arquivo;
    c.CorCamada = CorPreta;
    c.LarguraCamada = 2;
    c.Transparente = TipoDaCamada(arquivo) == TipoCamada::Mapa;
    TfCamada d(&m);
    d.Carrega(c, false);
    if (PerguntasDasCamadas().MostraDialogo(d) == QDialog::Accepted) {
        d.Aplica(c); // "Ativa" is not read: a new layer is always active
        e.Lista.Adiciona(c);
        e.Avisados.clear();
        AtualizaItens(m);
    }
    m.Repinta();
}

void CamadaClick(TMapa& m, int k) {
    EstadoJanela& e = Estado(m);
    if (k < 1 || k > e.Lista.NumCamadas()) return;
    QAction* item = ItemCamada(m, k);
    CamadaDoMapa c = e.Lista.Camada(k);
    // A checkable item flips on its own when chosen; the dialog shows the check as it was.
    c.Ativa = e.Lista.Camada(k).Ativa;
    TfCamada d(&m);
    d.Carrega(c, true);
    const int r = PerguntasDasCamadas().MostraDialogo(d);
    if (r == QDialog::Accepted) {
        d.Aplica(e.Lista.Camada(k));
        e.Lista.Camada(k).Ativa = d.cbAtiva->isChecked();
    } else if (r == ResultadoRemover) {
        e.Lista.Remove(k);
    }
    e.Avisados.clear();
    AtualizaItens(m);
    if (item) item->setChecked(k <= e.Lista.NumCamadas() && e.Lista.Camada(k).Ativa);
    m.Repinta();
}

void ImprimeMapa(TMapa& m) {
    const TabelaResultados& t = m.Tabela();
    if (t.NomeMapa.empty()) return;
    QPrinter& impressora = ImpressoraDoMapa();
    impressora.setPageOrientation(QPageLayout::Landscape);
    try {
        {
            // A bad version is told before the job starts, so no page is left behind.
            LeitorMapa leitor(t.NomeMapa);
            const std::string problema = ProblemaCabecalhoImpressora(leitor.Cabecalho());
            if (!problema.empty()) {
                MensagensAtuais().Mostra(problema);
                return;
            }
        }
        const DestinoImpressao destino(impressora, &m);
        if (!destino.Pronto()) return;
        QPainter p;
        if (!p.begin(&impressora)) {
            MensagensAtuais().Mostra(destino.Falha("N\xE3o foi poss\xEDvel iniciar a impress\xE3o."));
            return;
        }
        QFont fonte(QStringLiteral("System"));
        p.setFont(fonte);
        const MedeTexto mede = [&impressora](const std::string& s, std::int32_t pontos) {
            QFont f = FonteRotulosMapa();
            if (pontos > 0) f.setPointSize(pontos);
            return static_cast<std::int32_t>(QFontMetrics(f, &impressora).horizontalAdvance(ParaQString(s)));
        };
        const PaginaMapa pagina{p.device()->width(), p.device()->height(), impressora.resolution()};
        std::vector<std::string> avisos;
        const std::string problema = DesenhaMapaPapel(
            t, t.NomeMapa, m.Opcoes, m.Vista, Estado(m).Lista, pagina, mede,
            [&p](const PrimitivaMapa& f) { PintaFiguraMapa(p, nullptr, f); },
            [&avisos](const std::string& s) { avisos.push_back(s); });
        p.end();
        for (const std::string& s : avisos)
            MensagensAtuais().Mostra(s);
        if (!problema.empty())
            MensagensAtuais().Mostra(problema);
        else
            destino.Concluido();
    } catch (const std::exception&) {
        MensagensAtuais().Mostra(TextoDoErroParaUsuario(std::current_exception()));
    }
}

void ConfigurarImpressora1Click(TMapa&) { PerguntasDasCamadas().ConfiguraImpressora(ImpressoraDoMapa()); }

void CopiaClick(TMapa& m) { QApplication::clipboard()->setImage(BitmapDaJanela(m, m.Tabela())); }

void GravarClick(TMapa& m) {
    const QImage b = BitmapDaJanela(m, m.Tabela());
    const std::string escolhido = PerguntasDasCamadas().SalvaArquivo(FiltroImagens, 1, "png", "*.png");
    if (escolhido.empty()) return;
    const std::string nome = NomeDaImagem(escolhido, ".png");
    if (!b.save(QString::fromStdString(nome), "PNG"))
        MensagensAtuais().Mostra("N\xE3o foi poss\xEDvel gravar " + DeUtf8(nome));
    m.Repinta();
}

void GravaMetaFileClick(TMapa& m) {
    const TabelaResultados& t = m.Tabela();
    const std::string escolhido = PerguntasDasCamadas().SalvaArquivo(FiltroImagens, 2, "svg", "");
    if (escolhido.empty() || t.NomeMapa.empty()) return;
    const std::string nome = NomeDaImagem(escolhido, ".svg");
    const std::string legenda = NomeLegendaMetafile(nome, ".svg");

    const QFont fonte = FonteRotulosMapa();
    const MedeTexto mede = [&fonte](const std::string& s, std::int32_t) {
        return static_cast<std::int32_t>(QFontMetrics(fonte).horizontalAdvance(ParaQString(s)));
    };
    try {
        const int w = std::max(1, m.Cliente->width() - m.Panel1->width());
        const int h = std::max(1, m.Cliente->height() - AlturaStatus);
        QSvgGenerator mapa;
        mapa.setFileName(QString::fromStdString(nome));
        mapa.setSize(QSize(w, h));
        mapa.setViewBox(QRect(0, 0, w, h));
        mapa.setTitle(ParaQString(t.Titulo1));
        std::string problema;
        {
            QPainter p(&mapa);
            VistaMapa v = m.Vista;
            problema = DesenhaMetafile(
                t, t.NomeMapa, m.Opcoes, v, m.Cliente->width(), m.Cliente->height(),
                [&p](const PrimitivaMapa& f) { PintaFiguraMapa(p, nullptr, f); }, m.Camadas);
        }
        if (!problema.empty()) MensagensAtuais().Mostra(problema);

        const LegendaImagem l = LegendaMetafile(t, mede);
        QSvgGenerator g;
        g.setFileName(QString::fromStdString(legenda));
        g.setSize(QSize(l.Largura, l.Altura));
        g.setViewBox(QRect(0, 0, l.Largura, l.Altura));
        QPainter p(&g);
        PintaTodas(p, l.Figuras);
    } catch (const std::exception&) {
        MensagensAtuais().Mostra(TextoDoErroParaUsuario(std::current_exception()));
    }
    m.Repinta();
}

namespace {

// Every show of the map window starts the flows in red again.
class AoMostrar : public QObject {
public:
    explicit AoMostrar(TMapa& m) : QObject(&m), m_(m) {}
    bool eventFilter(QObject* o, QEvent* e) override {
        if (o == &m_ && e->type() == QEvent::Show && !e->spontaneous()) m_.Fluxos.Cor = CorVermelhaFluxo;
        return false;
    }

private:
    TMapa& m_;
};

} // namespace

LigacoesCamadas LigaCamadasMapa(TMapa& m) {
    TMapa* j = &m;
    m.installEventFilter(new AoMostrar(m));
    QObject::connect(&m, &QObject::destroyed, [j] { Estados().erase(j); });
    Estado(m);
    m.DefineComando(QStringLiteral("PoeCamadaClick"), [j] { PoeCamadaClick(*j); });
    for (int k = 1; k <= MaxCamadas; ++k)
        m.DefineComando(QStringLiteral("Camada%1Click").arg(k), [j, k] { CamadaClick(*j, k); });
    m.DefineComando(QStringLiteral("ImprimeClick"), [j] { ImprimeMapa(*j); });
    m.DefineComando(QStringLiteral("ConfigurarImpressora1Click"), [j] { ConfigurarImpressora1Click(*j); });
    m.DefineComando(QStringLiteral("CopiaClick"), [j] { CopiaClick(*j); });
    m.DefineComando(QStringLiteral("GravarClick"), [j] { GravarClick(*j); });
    m.DefineComando(QStringLiteral("GravaMetaFileClick"), [j] { GravaMetaFileClick(*j); });

    m.Camadas.Camadas = [j](const VistaMapa& v, const DestinoDesenho& destino) {
        const JanelaMapa janela = JanelaVisivel(v, j->Cliente->width(), j->Cliente->height());
        DesenhaCamadas(v, Estado(*j).Lista, &janela, j->Config().DBFcomCP850, destino,
                       [j](const std::string& s) { Avisa(*j, s); });
    };
    m.Camadas.Setas = [j](const VistaMapa& v, const DestinoDesenho& destino) {
        try {
            // The disc outline follows the palette in use.
            DesenhaSetas(v, j->Fluxos, j->Tabela().IndCor, destino, [j](const std::string& s) { Avisa(*j, s); });
        } catch (const std::exception&) {
            Avisa(*j, TextoDoErroParaUsuario(std::current_exception()));
        }
    };
    m.Camadas.Circulos = [j](const VistaMapa& v, const DestinoDesenho& destino) {
        if (j->ColunaCirculo <= 0) return;
        DesenhaCirculos(j->Tabela(), j->Tabela().NomeMapa, j->ColunaCirculo, CorArmazenada(j->CorCirculo),
                        j->SpinEdit1->value(), v, destino);
    };
    LigacoesCamadas ligacoes;
    // A right click on a point of a DBF layer or on a flow line tells its record.
    ligacoes.MostraPontoCamada = [j](const Identificado& id) {
        std::string arquivo;
        if (id.tipo == Identificado::Tipo::Fluxo)
            arquivo = j->Fluxos.ArquivoFluxo;
        else if (id.Camada >= 1 && id.Camada <= Estado(*j).Lista.NumCamadas())
            arquivo = Estado(*j).Lista.Camada(id.Camada).ArquivoCamada;
        if (arquivo.empty()) return;
        try {
            const std::string texto = InformacaoDoPonto(arquivo, id.Registro, j->Config().DBFcomCP850);
            if (!texto.empty()) MensagensAtuais().Mostra(texto);
        } catch (const std::exception&) {
            MensagensAtuais().Mostra(TextoDoErroParaUsuario(std::current_exception()));
        }
    };
    ligacoes.RemoveCamadas = [j] {
        Estado(*j).Lista.Limpa();
        Estado(*j).Avisados.clear();
        AtualizaItens(*j);
    };
    return ligacoes;
}

} // namespace dorvan

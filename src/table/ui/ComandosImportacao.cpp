#include "table/ui/ComandosImportacao.h"

#include "platform/Arquivos.h"
#include "platform/Mensagens.h"
#include "platform/Texto1252.h"
#include "platform/ui/Janelas.h"
#include "table/EdicaoTabela.h"
#include "table/LogExecucao.h"
#include "table/OperacoesColunas.h"
#include "table/Utilidades.h"
#include "table/ui/GradeFixa.h"
#include "table/ui/ModeloTabela.h"
#include "table/ui/TEscolhe_Coluna.h"
#include "table/ui/TForm1.h"
#include "table/ui/TLocaliza.h"
#include "table/ui/TLog.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QFileDialog>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <memory>

namespace dorvan {

EscolhasImportacao& Escolhas() {
    static EscolhasImportacao e{[](TForm1& f, const QString& titulo, const QString& filtro) {
        QFileDialog d(&f, titulo, QString::fromStdString(f.Config().DirSalva));
        d.setNameFilter(filtro);
        d.setFileMode(QFileDialog::ExistingFile);
        if (d.exec() != QDialog::Accepted || d.selectedFiles().isEmpty()) return std::string();
        return d.selectedFiles().first().toStdString();
    }};
    return e;
}

namespace {

const char* const TituloCamposDBF = "Campos do DBF";

// The column chooser of the program (or one for this call) over DBF field names.
template <typename F>
auto ComEscolhe(F f) {
    if (Escolhe_Coluna) return f(*Escolhe_Coluna);
    TEscolhe_Coluna janela(QApplication::activeWindow());
    return f(janela);
}

int EscolheCampoDBF(const std::vector<std::string>& nomes, const std::string& rotulo) {
    return ComEscolhe([&](TEscolhe_Coluna& j) {
        if (!j.Mostra(TituloCamposDBF, rotulo, nomes, false)) return 0;
        const auto m = j.Marcados();
        return m.empty() ? 0 : m.front();
    });
}

std::vector<int> MarcaCamposDoDBF(const std::vector<std::string>& nomes, const std::string& rotulo) {
    return ComEscolhe([&](TEscolhe_Coluna& j) {
        if (!j.Mostra(TituloCamposDBF, rotulo, nomes, true)) return std::vector<int>{};
        return j.Marcados();
    });
}

bool ClipboardTemTexto() {
    const QMimeData* m = QApplication::clipboard()->mimeData();
    return m && m->hasText();
}

// The table the merge replaces: kept aside, then the window closed without a question.
TabelaResultados FechaGuardando(TForm1& f) {
    TabelaResultados aberta = f.Tabela();
    f.Tabela().Modificada = false;
    f.FechaTabela();
    return aberta;
}

void MostraComGrade(TForm1& f) {
    f.MostraTabela();
    f.setWindowTitle(ParaQString(f.Tabela().Titulo1));
    if (f.Tabela().NumLinhas > 0) {
        f.StringGrid1->show();
        f.StringGrid1->setFocus();
    }
}

// Pending paint events run while a long scan goes on; clicks wait, so no other
// command can reach the table halfway.
void Repinta() { QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents); }

void LigaImportacao(TForm1& f, GravadorTexto grava) {
    TForm1* j = &f;
    auto define = [j](const char* manipulador, std::function<void()> comando) {
        j->DefineComando(QString::fromLatin1(manipulador), std::move(comando));
    };
    define("IncluiPRN1Click", [j] {
        const std::string arquivo =
            Escolhas().Arquivo(*j, QStringLiteral("Incluir tabela"), QStringLiteral("Tabelas (*.prn *.tab)"));
        if (arquivo.empty()) return;
        CursorOcupado ocupado;
        const auto texto = LeTextoParaIncluir(arquivo);
        if (!texto) return;
        const TabelaResultados aberta = FechaGuardando(*j);
        JuntaTabelas(j->Tabela(), aberta, *texto, arquivo);
        MostraComGrade(*j);
    });
    define("IncluiDBF1Click", [j] {
        const std::string arquivo = Escolhas().Arquivo(*j, QStringLiteral("Abrir arquivo .DBF"),
                                                       QStringLiteral("Arquivos dBase (*.dbf *.dbc)"));
        if (arquivo.empty()) return;
        IncluiCamposDBF(j->Tabela(), arquivo, EscolheCampoDBF, MarcaCamposDoDBF, j->Config().DBFcomCP850, Repinta);
        j->MostraTabela();
    });
    define("OpLinhasClick", [j] {
        const std::string arquivo = Escolhas().Arquivo(*j, QStringLiteral("Abrir arquivo .DBF"),
                                                       QStringLiteral("Arquivos dBase III+ (*.dbf)"));
        if (arquivo.empty()) return;
        if (!CriaLinhasDBF(j->Tabela(), arquivo, EscolheCampoDBF, [j] { return j->FechaTabela(); },
                           j->Config().DBFcomCP850))
            return;
        MostraComGrade(*j);
    });
    define("Copiar1Click", [j, grava] {
        if (j->Tabela().NumLinhas <= 0) return;
        {
            CursorOcupado ocupado;
            const std::string texto = TextoParaCopiar(j->Tabela(), j->Config().DirTrabalho, grava);
            QApplication::clipboard()->setText(ParaQString(texto));
        }
        j->HabilitaComandos();
    });
    define("Colar1Click", [j] {
        if (!ClipboardTemTexto()) return;
        const std::string texto = DeQString(QApplication::clipboard()->text());
        const std::string pasta = j->Config().DirTrabalho.empty() ? PastaDaExecucao() : j->Config().DirTrabalho;
        TabelaResultados& t = j->Tabela();
        bool ok;
        if (t.NumLinhas > 0) {
            const TabelaResultados aberta = FechaGuardando(*j);
            ok = ColaTexto(t, &aberta, texto, pasta + "clipbord.prn");
        } else {
            j->FechaTabela();
            ok = ColaTexto(t, nullptr, texto, pasta + "clipbord.prn");
        }
        if (ok)
            MostraComGrade(*j);
        else
            j->HabilitaComandos();
    });
}

void LigaEditar(TForm1& f) {
    TForm1* j = &f;
    auto define = [j](const char* manipulador, std::function<void()> comando) {
        j->DefineComando(QString::fromLatin1(manipulador), std::move(comando));
    };
    // The grid row of the last match: a repeated search goes on past it.
    auto ultima = std::make_shared<int>(0);
    TLocaliza& busca = JanelaLocaliza(f);
    busca.AoLocalizar = [j, ultima] {
        TLocaliza& b = JanelaLocaliza(*j);
        TabelaResultados& t = j->Tabela();
        GradeFixa* g = j->StringGrid1;
        const bool baixo = b.ParaBaixo();
        // The top row is where the last match was put; a grid too short to scroll
        // it there keeps it selected instead.
        int topo = std::max(2, g->rowAt(0));
        if (*ultima >= 2 && g->currentIndex().isValid() && g->currentIndex().row() == *ultima) topo = *ultima;
        const std::string texto = b.Texto();
        const std::int32_t achada = LocalizaDesdeOTopo(t, texto, b.DiferenciaMaiusculas(), baixo, topo);
        if (achada == 0) {
            MensagensAtuais().Mostra(MensagemNaoEncontrado(texto));
            return;
        }
        *ultima = achada;
        const QModelIndex i = j->Modelo->index(achada, t.NumColunas() > 0 ? 1 : 0);
        g->setCurrentIndex(i);
        g->scrollTo(i, QAbstractItemView::PositionAtTop);
    };
    define("Localizar1Click", [j, ultima] {
        TabelaResultados& t = j->Tabela();
        if (t.ColunaOrdem != 0) j->OrdenaPor(0);
        *ultima = 0;
        TLocaliza& b = JanelaLocaliza(*j);
        b.show();
        b.raise();
        b.activateWindow();
        b.edTexto->setFocus();
    });
    define("EditarLog1Click", [j] {
        if (Log) {
            Log->exec();
            return;
        }
        TLog janela(j);
        janela.exec();
    });
    define("Converte1Click", [j] {
        ConverteRotulosDOS(j->Tabela());
        j->AtualizaGrade();
    });
    if (QMenu* m = f.findChild<QMenu*>(QStringLiteral("Editar1")))
        QObject::connect(m, &QMenu::aboutToShow, j, [j] {
            j->HabilitaComandos();
            if (QAction* a = j->Acao(QStringLiteral("CodePage"))) a->setChecked(j->Config().DBFcomCP850);
        });
}

} // namespace

TLocaliza& JanelaLocaliza(TForm1& f) {
    if (auto* b = f.findChild<TLocaliza*>()) return *b;
    return *new TLocaliza(&f);
}

void LigaComandosImportacao(TForm1& f, GravadorTexto gravaTextoTab) {
    LigaImportacao(f, std::move(gravaTextoTab));
    LigaEditar(f);
}

} // namespace dorvan

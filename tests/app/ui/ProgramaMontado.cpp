#include "app/ui/ProgramaMontado.h"

#include "analysis/ui/ComandosR.h"
#include "table/LogExecucao.h"
#include "table/TabelaResultados.h"
#include "table/Utilidades.h"
#include "table/ui/GradeFixa.h"
#include "table/ui/ModeloTabela.h"
#include "tabulation/ui/TAbreDEF.h"
#include "tabulation/ui/TTabula.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDialog>
#include <QFileDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <QToolBar>
#include <filesystem>
#include <gtest/gtest.h>
#include <map>
#include <memory>
#include <set>
#include <sstream>

namespace dorvan::teste {

namespace {

std::unique_ptr<Montagem>& Instancia() {
    static std::unique_ptr<Montagem> m;
    return m;
}

// The program goes before the application object, as in main().
class Ambiente : public ::testing::Environment {
public:
    void TearDown() override {
        Instancia().reset();
        DefineMensagens(nullptr);
    }
};
[[maybe_unused]] const auto* const ambiente = ::testing::AddGlobalTestEnvironment(new Ambiente);

// Everything a command may change in the table, as text.
std::string Retrato(const TabelaResultados& t) {
    std::ostringstream s;
    s << t.NumLinhas << '|' << t.NumColunas() << '|' << t.Titulo1 << '|' << t.Titulo2 << '|' << t.Rodape << '|'
      << t.TamCodigo << t.MostraCodigo << t.ColunaOrdem << t.OrdemDecrescente << '|' << t.NumNotas() << '|'
      << t.NomeMapa << t.ColunaMapa << t.NumClasses << t.SemClasses << '\n';
    for (std::int32_t c = 0; c <= t.NumColunas(); ++c) {
        const ColunaResultados& col = t.Coluna(c);
        s << col.NomeColuna << ';' << col.Decimais << ';' << col.Largura << ';' << col.Total << '\n';
    }
    for (std::int32_t r = 1; r <= t.NumLinhas; ++r) {
        s << t.Ordem(r) << ' ' << t.Rotulo(r);
        for (std::int32_t c = 1; c <= t.NumColunas(); ++c)
            s << ';' << t.Dado(c, r);
        s << '\n';
    }
    return s.str();
}

// The files of the program's folder with their times: a command may write one.
std::map<std::string, std::filesystem::file_time_type> Arquivos() {
    std::map<std::string, std::filesystem::file_time_type> a;
    std::error_code e;
    for (const auto& f : std::filesystem::recursive_directory_iterator(Pasta().Caminho(), e))
        if (f.is_regular_file(e)) a[f.path().string()] = f.last_write_time(e);
    return a;
}

std::string Nome(QWidget* w) {
    return std::string(w->metaObject()->className()) + " \"" + w->windowTitle().toStdString() + "\"";
}

std::set<QWidget*> JanelasVisiveis() {
    std::set<QWidget*> v;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->isVisible() && w != &Principal()) v.insert(w);
    return v;
}

void Fecha(QWidget* w) {
    if (auto* d = qobject_cast<QDialog*>(w))
        d->reject();
    else
        w->close();
}

} // namespace

Montagem& Programa() {
    std::unique_ptr<Montagem>& m = Instancia();
    if (!m) {
        // What the program keeps for the user (desktop associations, aliases) stays
        // in the test's folder.
        qputenv("XDG_DATA_HOME", QByteArray::fromStdString(Pasta() / "dados-usuario"));
        qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString(Pasta() / "config-usuario"));
        qputenv("DORVAN_ALIASES", QByteArray::fromStdString(Pasta() / "Aliases.ini"));
        // So is what commands write in the current folder (the R session's files).
        std::filesystem::create_directories(Pasta() / "atual");
        std::filesystem::current_path(Pasta() / "atual");
        DefineMensagens(&Msgs());
        // The help pages beside the program, as the build installs them.
        for (const char* pagina : {"Dorvan32.htm", "DEFCNV.htm", "DocDorvan.htm"})
            std::filesystem::copy_file(std::filesystem::path(DORVAN_BINARY_DIR) / "bin" / pagina, Pasta() / pagina,
                                       std::filesystem::copy_options::overwrite_existing);
        m = std::make_unique<Montagem>(Pasta() / "dorvan", std::vector<std::string>{});
        // What would leave the program for the desktop is recorded instead.
        DefineAbridorDocumentos([](const std::string& d) {
            DocumentosAbertos().push_back(d);
            return 33;
        });
        AchaProgramaSessaoR() = [](const std::string&) { return std::string(); };
        m->Principal().resize(1000, 700);
        m->Mostra();
    }
    return *m;
}

TForm1& Principal() { return Programa().Principal(); }

MensagensCancela& Msgs() {
    static MensagensCancela m;
    return m;
}

const PastaTemporaria& Pasta() {
    static PastaTemporaria p;
    return p;
}

std::vector<std::string>& DocumentosAbertos() {
    static std::vector<std::string> d;
    return d;
}

const char* NomeEstado(Estado e) {
    switch (e) {
    case Estado::SemTabela:
        return "sem tabela";
    case Estado::ComTabela:
        return "com tabela";
    case Estado::UmaColuna:
        return "uma coluna";
    }
    return "";
}

void Prepara(Estado e) {
    TForm1& f = Principal();
    TabelaResultados& t = f.Tabela();
    t.Modificada = false;
    f.FechaTabela();
    LogAtual().Limpa();
    if (e != Estado::SemTabela) {
        const int colunas = e == Estado::UmaColuna ? 1 : 3;
        t.AlocaLinhas(4, 4);
        t.DefineNomeColuna(0, "Regi\xE3o");
        const char* rotulos[] = {"11 Norte", "12 Nordeste", "13 Sudeste", "14 Sul"};
        for (int c = 1; c <= colunas; ++c)
            AcrescentaColuna(t, "Coluna " + std::to_string(c), c - 1);
        for (int r = 1; r <= 4; ++r) {
            t.Rotulo(r) = rotulos[r - 1];
            for (int c = 1; c <= colunas; ++c)
                t.Dado(c, r) = r * 10 + c * 3.5;
        }
        for (int c = 1; c <= colunas; ++c)
            CalculaTotal(t, c);
        t.Titulo1 = "Casos por regi\xE3o";
        DetectaCodigo(t);
        f.MostraTabela();
        f.StringGrid1->setCurrentIndex(f.Modelo->index(2, 1));
        t.Modificada = false;
    }
    f.HabilitaComandos();
    Msgs().textos.clear();
}

bool Efeito::Algum() const {
    return !dialogos.empty() || !janelas.empty() || !mensagens.empty() || !documentos.empty() || tabelaMudou ||
           marcaMudou || areaTransferencia || arquivos || saiu;
}

std::string Efeito::Descreve() const {
    std::string s;
    for (const auto& d : dialogos)
        s += "dialog " + d + "; ";
    for (const auto& j : janelas)
        s += "window " + j + "; ";
    for (const auto& m : mensagens)
        s += "message \"" + m + "\"; ";
    for (const auto& d : documentos)
        s += "document " + d + "; ";
    if (tabelaMudou) s += "table changed; ";
    if (marcaMudou) s += "check mark changed; ";
    if (areaTransferencia) s += "clipboard written; ";
    if (arquivos) s += "file written; ";
    if (saiu) s += "main window closed; ";
    return s.empty() ? "nothing" : s;
}

Efeito Dispara(QAction* a, const std::function<void(QWidget*)>& acaoNoDialogo,
               const std::function<void(QWidget*)>& aoDeixarAberta) {
    TForm1& f = Principal();
    const std::string antes = Retrato(f.Tabela());
    const std::set<QWidget*> janelasAntes = JanelasVisiveis();
    const auto arquivosAntes = Arquivos();
    const size_t msgsAntes = Msgs().textos.size();
    const size_t docsAntes = DocumentosAbertos().size();
    const bool marcada = a->isChecked();
    const QString marcaArea = QStringLiteral("-- antes --");
    QApplication::clipboard()->setText(marcaArea);

    Efeito e;
    // Each dialog is recorded once and handed to acaoNoDialogo, which runs after the
    // watch returns, so a dialog it opens in turn is watched too. One still up a
    // while later (or at once, with no acaoNoDialogo) is closed.
    std::map<QWidget*, int> vistos;
    QObject contexto;
    QTimer vigia;
    vigia.setInterval(10);
    QObject::connect(&vigia, &QTimer::timeout, [&] {
        QWidget* w = QApplication::activeModalWidget();
        if (!w || !w->isVisible()) return;
        int& vezes = vistos[w];
        if (vezes++ == 0) {
            e.dialogos.push_back(Nome(w));
            if (acaoNoDialogo) {
                QTimer::singleShot(0, &contexto, [&acaoNoDialogo, p = QPointer<QWidget>(w)] {
                    if (p) acaoNoDialogo(p);
                });
                return;
            }
        }
        if (acaoNoDialogo && vezes < 100) return;
        if (vezes > 150) {
            w->hide();
            return;
        }
        Fecha(w);
    });
    const bool visivel = f.isVisible();
    vigia.start();
    a->trigger();
    QApplication::processEvents();
    vigia.stop();

    for (QWidget* w : JanelasVisiveis())
        if (!janelasAntes.count(w)) {
            e.janelas.push_back(Nome(w));
            if (aoDeixarAberta) aoDeixarAberta(w);
            w->close();
        }
    QApplication::processEvents();
    e.mensagens.assign(Msgs().textos.begin() + static_cast<std::ptrdiff_t>(msgsAntes), Msgs().textos.end());
    e.documentos.assign(DocumentosAbertos().begin() + static_cast<std::ptrdiff_t>(docsAntes),
                        DocumentosAbertos().end());
    // Leaving closes the main window; the next command needs it again.
    e.saiu = visivel && !f.isVisible();
    if (e.saiu) f.show();
    e.tabelaMudou = Retrato(f.Tabela()) != antes;
    e.marcaMudou = a->isChecked() != marcada;
    e.areaTransferencia = QApplication::clipboard()->text() != marcaArea;
    e.arquivos = Arquivos() != arquivosAntes;
    return e;
}

std::vector<QAction*> AcoesDoMenu(const char* menu) {
    std::vector<QAction*> acoes;
    QMenu* m = Principal().findChild<QMenu*>(QString::fromLatin1(menu));
    if (!m || !m->menuAction()->isVisible()) return acoes;
    std::function<void(QMenu*)> junta = [&](QMenu* menu) {
        for (QAction* a : menu->actions()) {
            if (!a->isVisible() || a->isSeparator()) continue;
            if (a->menu())
                junta(a->menu());
            else
                acoes.push_back(a);
        }
    };
    junta(m);
    return acoes;
}

std::vector<QAction*> AcoesDaBarra() {
    std::vector<QAction*> acoes;
    for (QAction* a : Principal().Panel1->actions())
        if (a->isVisible() && !a->isSeparator()) acoes.push_back(a);
    return acoes;
}

void AbreMenusDe(QAction* a) {
    std::vector<QMenu*> menus;
    for (QAction* atual = a; atual;) {
        QMenu* dono = nullptr;
        for (QObject* o : atual->associatedObjects())
            if (auto* m = qobject_cast<QMenu*>(o)) dono = m;
        if (!dono) break;
        menus.insert(menus.begin(), dono);
        atual = dono->menuAction();
    }
    for (QMenu* m : menus)
        emit m->aboutToShow();
}

std::vector<std::string> AcoesSemEfeito(const std::vector<QAction*>& acoes, const std::set<std::string>& jaFeito) {
    std::vector<std::string> falhas;
    for (Estado estado : {Estado::SemTabela, Estado::ComTabela, Estado::UmaColuna}) {
        for (QAction* a : acoes) {
            Prepara(estado);
            AbreMenusDe(a);
            if (!a->isVisible() || !a->isEnabled()) continue;
            const Efeito e = Dispara(a);
            const std::string nome = a->objectName().toStdString() + " (" + NomeEstado(estado) + ")";
            if (!e.Algum() && !jaFeito.count(nome)) falhas.push_back(nome + ": did nothing");
            for (const std::string& m : e.mensagens)
                if (m.find("ainda n\xE3o dispon\xEDvel") != std::string::npos) falhas.push_back(nome + ": " + m);
        }
    }
    Prepara(Estado::SemTabela);
    return falhas;
}

const std::string& Amostra() {
    static const std::string pasta = [] {
        const std::string p = Pasta() / "amostra";
        const std::string cmd = std::string(DORVAN_BINARY_DIR) + "/bin/dorvan_gera_amostra " + p + " 50 1 > /dev/null";
        EXPECT_EQ(Executa(cmd), 0) << cmd;
        return p;
    }();
    return pasta;
}

Efeito TabulaAmostra(const std::function<void(TTabula&)>& escolhas, bool* escolheu, bool* rodou) {
    const std::string pasta = Amostra();
    return Dispara(Principal().Acao(QStringLiteral("Tabula1")), [&](QWidget* w) {
        if (auto* abre = qobject_cast<TAbreDEF*>(w)) {
            abre->DefinePasta(pasta);
            const auto itens = abre->FileListBox1->findItems(QStringLiteral("obitos.def"), Qt::MatchFixedString);
            ASSERT_EQ(itens.size(), 1);
            abre->FileListBox1->setCurrentItem(itens.front());
            if (escolheu) *escolheu = true;
            abre->bOK->click();
        } else if (auto* tabula = qobject_cast<TTabula*>(w)) {
            if (escolhas) escolhas(*tabula);
            if (rodou) *rodou = true;
            tabula->bExecute->click();
        }
    });
}

} // namespace dorvan::teste

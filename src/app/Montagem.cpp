// The program's assembly: every window, command and hook of every room.
#include "app/Montagem.h"

#include "analysis/ui/ComandosEsquemaR.h"
#include "analysis/ui/ComandosGrafico.h"
#include "analysis/ui/ComandosR.h"
#include "analysis/ui/TFCriaRScript.h"
#include "data/ui/TfComprime.h"
#include "maps/ui/TEscolheNome.h"
#include "maps/ui/TFEscala.h"
#include "maps/ui/TMapa.h"
#include "maps/ui/TfSetas.h"
#include "output/GravaTexto.h"
#include "output/ui/ComandosImpressao.h"
#include "output/ui/ComandosSaida.h"
#include "platform/Erros.h"
#include "platform/Arquivos.h"
#include "platform/Mensagens.h"
#include "platform/Processos.h"
#include "platform/db/BancoDados.h"
#include "platform/ui/Janelas.h"
#include "platform/ui/Medidas.h"
#include "platform/ui/TSimNao.h"
#include "query/BancoPadrao.h"
#include "query/ui/ComandosBrowse.h"
#include "query/ui/ComandosConsulta.h"
#include "query/ui/TfBrowse.h"
#include "query/ui/TfQuery.h"
#include "table/Configuracao.h"
#include "table/Inicio.h"
#include "table/LogExecucao.h"
#include "table/TabelaArquivo.h"
#include "table/Utilidades.h"
#include "table/ui/ComandosImportacao.h"
#include "table/ui/TEscolhe_Coluna.h"
#include "table/ui/TFEscolheDiretorio.h"
#include "table/ui/TForm1.h"
#include "table/ui/TInfo.h"
#include "table/ui/TLog.h"
#include "tabulation/ui/TFFazDef.h"
#include "tabulation/ui/TTabula.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QTranslator>
#include <cstdio>
#include <stdexcept>
#include <utility>

namespace dorvan {

namespace {

// Creates a window once into its process-wide variable; the owner keeps it for the whole
// run. It belongs to the main window, so it and the dialogs opened over it stack with it.
template <typename T>
std::function<void()> Cria(std::unique_ptr<T>& dono, T*& global, const std::unique_ptr<TForm1>& principal) {
    return [&dono, &global, &principal] {
        dono = std::make_unique<T>(principal.get());
        global = dono.get();
    };
}

// The whole interface is Portuguese, whatever the user's language: Qt's own texts
// (file dialogs, standard buttons, printer messages) too.
std::unique_ptr<QTranslator> TraducaoQt() {
    auto t = std::make_unique<QTranslator>();
    if (!t->load(QStringLiteral("qt_pt_BR"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        qWarning("Dorvan: Qt's Portuguese translation was not found; its own texts stay in English");
        return nullptr;
    }
    QCoreApplication::installTranslator(t.get());
    return t;
}

} // namespace

struct Montagem::Janelas {
    std::unique_ptr<QTranslator> traducao;
    std::vector<std::string> argumentos;
    std::string defInicial;
    std::unique_ptr<TForm1> form1;
    std::unique_ptr<TEscolhe_Coluna> escolheColuna;
    std::unique_ptr<TInfo> info;
    std::unique_ptr<TLog> log;
    std::unique_ptr<TSimNao> simNao;
    std::unique_ptr<TFEscolheDiretorio> escolheDiretorio;
    std::unique_ptr<TfComprime> comprime;
};

Montagem::Montagem(const std::string& caminhoPrograma, std::vector<std::string> argumentos)
    : j_(std::make_unique<Janelas>()) {
    j_->traducao = TraducaoQt();
    AlargaJanelasAoTitulo(*qApp);
    j_->argumentos = std::move(argumentos);
    QApplication::setApplicationName(QString::fromLatin1(TituloAplicacao));
    qApp->setProperty("ArquivoAjuda", QString::fromLatin1(ArquivoAjuda));
    DefineAbridorDocumentos([](const std::string& a) { return AbreDocumento(a) ? 33 : 31; });

    Configuracao& cfg = ConfiguracaoAtual();
    IniciaConfiguracao(cfg, caminhoPrograma, [](const std::string& p) { return AchaNoPath(p); });
    RegistraGravadoresSaida(cfg);

    Janelas& j = *j_;
    // Every window of the program is registered here in any order; the start-up
    // creates them in the program's fixed order. The SQL window and its commands
    // register with RegistraSQL.
    InicioPrograma inicio;
    inicio.RegistraJanela("TForm1", [&] { j.form1 = std::make_unique<TForm1>(TabelaAtual(), cfg); });
    inicio.RegistraJanela("TEscolhe_Coluna", Cria(j.escolheColuna, Escolhe_Coluna, j.form1));
    inicio.RegistraJanela("TInfo", Cria(j.info, Info, j.form1));
    inicio.RegistraJanela("TLog", Cria(j.log, Log, j.form1));
    inicio.RegistraJanela("TSimNao", Cria(j.simNao, SimNao, j.form1));
    inicio.RegistraJanela("TFEscolheDiretorio", Cria(j.escolheDiretorio, FEscolheDiretorio, j.form1));
    inicio.RegistraJanela("TfComprime", Cria(j.comprime, fComprime, j.form1));
    RegistraEditorDEF(inicio, j.form1);
    MotorAtual().DefineFontePadrao(FonteArquivosDBF([&cfg] { return cfg.DBFcomCP850; }));
    inicio.RegistraMotor([] { return MotorAtual().Inicia(); });
    RegistraConsulta(inicio, cfg);
    RegistraBrowse(inicio, cfg);
    inicio.Executa();

    // "Executar tabulação": a DEF given on the command line opens at once, otherwise
    // the open-DEF dialog asks for one. The current table stays until a run has its
    // replacement ready; then it is closed (asking to save) and the new one shown.
    {
        const ComandoInicial cmd = InterpretaLinhaComando(j.argumentos, cfg.SQLDisponivel);
        if (cmd.tipo == ComandoInicial::Tipo::DEF) j.defInicial = cmd.arquivo;
    }
    Ganchos().Tabula = [&j](TForm1& f) {
        auto fecha = [&f] {
            TabelaResultados& t = TabelaAtual();
            if (t.NumLinhas <= 0) return true;
            const std::string t1 = t.Titulo1, t2 = t.Titulo2;
            if (!f.FechaTabela()) return false;
            t.Titulo1 = t1;
            t.Titulo2 = t2;
            return true;
        };
        const std::string def = std::exchange(j.defInicial, std::string());
        const bool rodou = def.empty() ? ComandoTabulacao(&f, fecha) : AbreTabulacao(def, &f, fecha);
        if (!rodou) return;
        f.MostraTabela();
        f.show();
        f.activateWindow();
    };
    // A table opened with a run log shows it when the log window's box says so.
    Ganchos().MostraLog = [](TForm1&, bool modal) {
        if (!Log) return;
        if (!modal) {
            Log->show();
            Log->raise();
            return;
        }
        // A window already up cannot turn modal.
        Log->close();
        Log->exec();
    };
    Ganchos().FechaLog = [](TForm1&) {
        if (Log) Log->close();
    };
    TForm1& form1 = *j.form1;
    // The tabulation dialog: its record export opens in the DBF browser, and
    // "Importa dados" (offered only when the SQL window exists) runs the DEF's query
    // into the DBF the user named.
    Tabula = new TTabula({.AbreNoBrowser = MostraNoBrowse,
                          .ImportaDados =
                              [](const std::string& consulta, const std::string& dbf) {
                                  if (fQuery) fQuery->ImportaConsulta(consulta, dbf);
                              }},
                         &form1);
    LigaComandosSaida(form1);
    LigaComandosImportacao(form1, GravaTextoTab);
    LigaComandosImpressao(form1);
    LigaComandosGrafico(form1);
    LigaEscolheNome();
    LigaComandosR(form1);
    LigaComandosEsquemaR(form1);
    form1.AoSair = [] { QCoreApplication::quit(); };
    // "Abrir tabela" with a DBF: the code and name fields of its labels.
    form1.EscolheCampos = [](const std::vector<std::string>& campos) {
        return EscolheNomeForm()->EscolheCamposDBF(campos);
    };
    InstalaHistograma(form1);
    LigaComandosMapa(form1);
    LigaComandosSetas(form1);
    form1.DefineComando(QStringLiteral("ComprimeExpandeDBF1Click"), [] { fComprime->exec(); });

    // No command or question of any window may be left without its answer.
    const std::vector<std::string> faltam = GanchosFaltando();
    if (!faltam.empty()) {
        std::string lista;
        for (const std::string& f : faltam)
            lista += (lista.empty() ? "" : ", ") + f;
        Desmonta();
        throw std::logic_error("Montagem incompleta: " + lista);
    }
}

std::vector<std::string> Montagem::GanchosFaltando() const {
    std::vector<std::string> faltam = j_->form1->GanchosFaltando();
    auto exige = [&faltam](bool ligado, const char* nome) {
        if (!ligado) faltam.push_back(nome);
    };
    exige(Mapa && Mapa->AoSoltar, "TMapa::AoSoltar");
    return faltam;
}

Montagem::~Montagem() { Desmonta(); }

void Montagem::Desmonta() {
    if (!j_->form1) return;
    // Connections go before the application object that loaded their drivers.
    MotorAtual().Encerra();
    // The shared windows belong to the main window: they go first.
    Escolhe_Coluna = nullptr;
    Info = nullptr;
    Log = nullptr;
    SimNao = nullptr;
    FEscolheDiretorio = nullptr;
    fComprime = nullptr;
    j_->escolheColuna.reset();
    j_->info.reset();
    j_->log.reset();
    j_->simNao.reset();
    j_->escolheDiretorio.reset();
    j_->comprime.reset();
    Tabula = nullptr;
    j_->form1.reset();
    if (j_->traducao) QCoreApplication::removeTranslator(j_->traducao.get());
}

TForm1& Montagem::Principal() { return *j_->form1; }

int ExecutaPrograma(const std::function<int()>& programa) {
    try {
        return programa();
    } catch (const std::exception& e) {
        // An incomplete assembly, unreadable settings, a window that cannot be built:
        // said to the user instead of running half built.
        std::fprintf(stderr, "dorvan: %s\n", e.what());
        MensagensAtuais().Mostra(std::string("N\xE3o foi poss\xEDvel iniciar o Dorvan:\n") +
                                 TextoDoErroParaUsuario(std::current_exception()));
        return 70;
    }
}

void Montagem::Mostra() {
    j_->form1->showMaximized();
    j_->form1->Inicia(j_->argumentos);
}

} // namespace dorvan

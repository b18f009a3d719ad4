// The tabulation run, as its steps: check the choices, prepare the record export,
// load the dimensions and shape the table, read the files (worker threads tabulate,
// the calling thread merges in file order), then finish the table.
#include "tabulation/ExecutaTabulacao.h"

#include "platform/Mensagens.h"
#include "table/LogExecucao.h"
#include "table/TabelaResultados.h"
#include "tabulation/CarregaDimensoes.h"
#include "tabulation/ExecucaoArquivos.h"
#include "tabulation/ExportacaoRegistros.h"
#include "tabulation/FinalizaTabela.h"
#include "tabulation/JuntaResultados.h"
#include "tabulation/LogTabulacao.h"
#include "tabulation/RoteiroArquivos.h"
#include "tabulation/TabulaArquivo.h"
#include "tabulation/VerificaEscolhas.h"

#include <algorithm>
#include <chrono>
#include <functional>
#include <thread>

namespace dorvan {

namespace {

using namespace tabulacao;
using Relogio = std::chrono::steady_clock;

long long MsDesde(Relogio::time_point inicio) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(Relogio::now() - inicio).count();
}

// What every worker needs, fixed for the run.
Configuracao ConfiguraLeitura(DefTabulacao& def, const OpcoesTabulacao& op, const FormaTabela& f, int numSelecoes,
                              const TabelaResultados& t, const Exportacao& exp) {
    Configuracao cfg;
    cfg.linha = f.linha;
    cfg.coluna = f.temColuna ? f.coluna : nullptr;
    for (int s = 0; s < numSelecoes; ++s)
        cfg.selecoes.push_back(&def.Selecao(s));
    cfg.camposIncr = f.camposIncr;
    cfg.modo = f.modo;
    cfg.discrimina = f.modo == 2 && f.linha->Modo == 1;
    cfg.ncol = ColunasDaTabela(t, f);
    cfg.testaCRC = op.TestaCRC;
    cfg.temPeriodo = def.TemPeriodo;
    cfg.exporta = exp.ativa;
    cfg.camposExportacao = exp.campos;
    cfg.tamRegExportacao = exp.ativa ? exp.arquivo.TamRegistro : 0;
    return cfg;
}

// Files read at once. Each file keeps only the cells it touches, so the count
// does not depend on the table's size.
int NumeroDeFios(const OpcoesTabulacao& op) {
    return op.Threads > 0 ? op.Threads : static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
}

// The file loop: every step of the selected items, merged in order, until the end,
// a stop or a cancel.
void LeArquivos(const DefTabulacao& def, const OpcoesTabulacao& op, const Configuracao& cfg, int threads,
                Progresso& progresso, Mensagens& msg, LogExecucao& log, Juncao& juncao) {
    // Lines the dimension code logs during the run go to this run's log.
    std::function<void(const std::string&)> registraAnterior = RegistraLogTabelas;
    RegistraLogTabelas = [&log](const std::string& s) { log.Acrescenta(s); };
    struct Restaura {
        std::function<void(const std::string&)>& anterior;
        ~Restaura() { RegistraLogTabelas = anterior; }
    } restaura{registraAnterior};
    MensagensPorFio porFio(msg);
    UsaMensagens uso(porFio);
    Execucao execucao(cfg, threads, progresso, [&juncao] { return juncao.RegistrosJuntados(); });
    const AplicaPasso aplica = [&juncao](const Passo& p, ResultadoArquivo* r) { return juncao.Aplica(p, r); };
    Roteiro roteiro(def, op.Arquivos);
    while (true) {
        std::vector<Passo> passos = roteiro.Proximos();
        if (passos.empty()) break;
        if (!execucao.Executa(passos, aplica, std::string())) {
            if (!juncao.Abortou()) juncao.Aborta(); // cancelled
            break;
        }
    }
}

} // namespace

std::string TextoArquivoLidoEmParte(const std::string& arquivo, const std::vector<std::string>& completos) {
    std::string texto = "Os registros de " + arquivo + " ficaram fora da tabela";
    if (completos.empty()) return texto + "; nenhum arquivo foi lido por inteiro";
    texto += ", que cont\xE9m apenas os arquivos lidos por inteiro: ";
    for (std::size_t i = 0; i < completos.size(); ++i)
        texto += (i ? ", " : "") + completos[i];
    return texto;
}

std::string TextoTempoDecorrido(long long ms) {
    long long ticks = ms / 200;
    long long mostrado = ticks >= 1 ? ticks - ((ticks - 1) % 5) : 0; // ticks 1, 6, 11, ...
    if (mostrado == 0) return "0:00";
    long long seg = (mostrado / 5) % 60;
    return std::to_string(mostrado / 300) + ":" + (seg < 10 ? "0" : "") + std::to_string(seg);
}

ResultadoTabulacao ExecutaTabulacao(DefTabulacao& def, const OpcoesTabulacao& op, TabelaResultados& t, LogExecucao& log,
                                    InterfaceTabulacao& ui, Progresso& progresso) {
    ResultadoTabulacao res;
    Mensagens& msg = MensagensAtuais();

    Escolhas escolhas;
    if (!VerificaEscolhas(def, op, msg, escolhas)) return res;

    Exportacao exportacao;
    if (op.SalvaRegistros) PreparaExportacao(def, op, ui, msg, exportacao);

    FormaTabela forma;
    if (!CarregaDimensoes(def, op, escolhas, t, forma)) {
        exportacao.Fecha();
        res.Fim = FimTabulacao::Dimensao;
        return res;
    }
    IniciaLog(log, def, op, forma, escolhas.numSelecoes);

    const Configuracao cfg = ConfiguraLeitura(def, op, forma, escolhas.numSelecoes, t, exportacao);
    Juncao juncao(t, forma, cfg, log, msg, exportacao, res);
    // The time of the questions before (messages, the export's dialogs) is the user's.
    ui.ComecaLeitura();
    const auto inicio = Relogio::now();
    try {
        LeArquivos(def, op, cfg, NumeroDeFios(op), progresso, msg, log, juncao);
    } catch (...) {
        exportacao.Fecha();
        LiberaDimensao(def.Dimensoes[0]);
        LiberaDimensao(def.Dimensoes[1]);
        throw;
    }
    ui.TerminaLeitura();
    juncao.Conclui(def);

    res.Cancelada = juncao.Abortou();
    EncerraLog(log, res.RegistrosLidos, MsDesde(inicio), res.Cancelada, msg);
    if (exportacao.ativa) ConcluiExportacao(exportacao, log, ui, res);

    FinalizaTabela(t, forma, op, log);

    LiberaDimensao(def.Dimensoes[0]);
    LiberaDimensao(def.Dimensoes[1]);
    if (t.NumLinhas > 0) {
        res.Fim = FimTabulacao::Pronta;
    } else {
        msg.Mostra("Todas as linhas foram suprimidas por conter zeros!");
        res.Fim = FimTabulacao::Suprimida;
    }
    return res;
}

} // namespace dorvan

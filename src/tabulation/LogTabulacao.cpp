#include "tabulation/LogTabulacao.h"

namespace dorvan::tabulacao {

namespace {

// The selection lines of the log: "<title>: a,b,c", wrapped before 80 characters.
void LogaSelecao(LogExecucao& log, const TDimensao& d) {
    std::string linha = d.Titulo + ":";
    bool primeiro = true;
    for (std::int32_t k = 1; k <= d.NumCategorias; ++k) {
        if (!d.Marcadas[static_cast<std::size_t>(k - 1)]) continue;
        const std::string& rotulo = d.NomesCategoria[static_cast<std::size_t>(k)];
        std::string sep = primeiro ? " " : ",";
        if (!primeiro && linha.size() + sep.size() + rotulo.size() > 80) {
            log.Acrescenta(linha + sep);
            linha = "    " + rotulo;
        } else {
            linha += sep + rotulo;
        }
        primeiro = false;
    }
    log.Acrescenta(linha);
}

} // namespace

void IniciaLog(LogExecucao& log, const DefTabulacao& def, const OpcoesTabulacao& op, const FormaTabela& f,
               int numSelecoes) {
    log.Limpa();
    log.Acrescenta("[op\xE7\xF5"
                   "es]");
    log.Acrescenta("DEF=" + op.Legenda);
    log.Acrescenta("Linha=" + f.linha->Titulo);
    if (f.temColuna) log.Acrescenta("Coluna=" + f.coluna->Titulo);
    for (const auto& ti : f.titulosIncr)
        log.Acrescenta("Incremento=" + ti);
    if (numSelecoes > 0) {
        log.Acrescenta("[Sele\xE7\xF5"
                       "es_ativas]");
        for (int s = 0; s < numSelecoes; ++s)
            LogaSelecao(log, def.Selecao(s));
    }
    log.Acrescenta("[Arquivos]");
}

void EncerraLog(LogExecucao& log, std::int64_t registros, long long msDecorridos, bool cancelada, Mensagens& msg) {
    log.Acrescenta("Registros_Processados= " + std::to_string(registros));
    log.Acrescenta("Tempo_Decorrido= " + TextoTempoDecorrido(msDecorridos));
    if (cancelada) {
        msg.Mostra("Tabula\xE7\xE3o cancelada");
        log.Acrescenta("TABULA\xC7\xC3O CANCELADA");
    }
}

} // namespace dorvan::tabulacao

#pragma once
// The merge: each file's result, in file order, goes into the table, the log, the
// export and the user's messages, as a one-thread run in file order would put it.
#include "platform/Mensagens.h"
#include "table/LogExecucao.h"
#include "table/TabelaResultados.h"
#include "tabulation/CarregaDimensoes.h"
#include "tabulation/ExportacaoRegistros.h"
#include "tabulation/RoteiroArquivos.h"
#include "tabulation/TabulaArquivo.h"

#include <cstdint>
#include <exception>
#include <string>
#include <thread>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace dorvan::tabulacao {

class Juncao {
public:
    Juncao(TabelaResultados& t, const FormaTabela& f, const Configuracao& cfg, LogExecucao& log, Mensagens& msg,
           Exportacao& exp, ResultadoTabulacao& res)
        : t_(t), f_(f), cfg_(cfg), log_(log), msg_(msg), exp_(exp), res_(res) {
        AcrescentaColunasAdiadas();
    }
    ~Juncao();
    Juncao(const Juncao&) = delete;
    Juncao& operator=(const Juncao&) = delete;

    // One step of the file loop, with its file's result (null for other steps);
    // false stops the loop.
    bool Aplica(const Passo& p, ResultadoArquivo* r);

    // The run stopped: by a file that could not be read, a list that could not be
    // opened, or the user.
    bool Abortou() const { return aborta_; }
    void Aborta() { aborta_ = true; }
    // Records of the files merged so far (deleted ones not counted).
    std::int64_t RegistrosJuntados() const { return res_.RegistrosLidos; }

    // After the loop: the codes left without a row of their own, and the period footer.
    void Conclui(const DefTabulacao& def);

private:
    // Adds the deferred columns on a thread of its own while the files are read.
    void AcrescentaColunasAdiadas();
    // Waits for the deferred columns (before the table is touched).
    void EsperaColunas();

    // Adds r's cells to the table; `globais` are the table rows of r's new codes.
    void SomaCelulas(const ResultadoArquivo& r, const std::vector<std::int32_t>& globais);

    TabelaResultados& t_;
    const FormaTabela& f_;
    const Configuracao& cfg_;
    LogExecucao& log_;
    Mensagens& msg_;
    Exportacao& exp_;
    ResultadoTabulacao& res_;

    std::vector<std::string> periodos_;
    std::unordered_map<std::string, std::int32_t> linhasNovas_; // Discriminar: code -> row
    // Discriminar: distinct codes that found no row of their own (one log line says how many).
    std::unordered_set<std::string> codigosSemLinha_;
    std::int32_t colunaNaoClass_ = 0;
    std::vector<std::string> completos_; // files read in full, in order
    bool aborta_ = false;
    std::thread colunas_;
    std::exception_ptr erroColunas_;
};

} // namespace dorvan::tabulacao

#pragma once
// Reading and classifying the records of one data file, on a worker thread. What
// a file's tabulation produces is kept in a ResultadoArquivo for the merge, which
// adds it to the table on the calling thread in file order.
#include "data/LeDBF32.h"
#include "platform/Mensagens.h"
#include "tabulation/CelulasArquivo.h"
#include "tabulation/Utabula.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace dorvan::tabulacao {

// What a file's tabulation hands to the merge, in the order it happened.
struct Evento {
    enum Tipo { Mostra, Log, ValoresInvalidos } tipo;
    std::string texto;         // message or log line; ValoresInvalidos: the first value
    std::string campo;         // ValoresInvalidos: the dimension's field
    std::int64_t contagem = 0; // ValoresInvalidos: how many
};

// Messages of the data layer raised on a worker thread are kept for the merge, so
// they reach the user from the window thread and in file order.
class MensagensPorFio : public Mensagens {
public:
    explicit MensagensPorFio(Mensagens& destino) : destino_(destino) {}
    static inline thread_local std::vector<Evento>* coleta = nullptr;

    void Mostra(const std::string& texto) override {
        if (coleta)
            coleta->push_back({Evento::Mostra, texto, {}, 0});
        else
            destino_.Mostra(texto);
    }
    int Confirma(const std::string& titulo, const std::string& texto, const std::vector<std::string>& botoes) override {
        if (coleta) {
            Mostra(texto);
            return botoes.empty() ? 0 : static_cast<int>(botoes.size()) - 1;
        }
        return destino_.Confirma(titulo, texto, botoes);
    }
    bool SimOuNao(const std::string& titulo, const std::string& texto) override {
        if (coleta) {
            Mostra(texto);
            return false;
        }
        return destino_.SimOuNao(titulo, texto);
    }
    std::string EntraTexto(const std::string& pergunta, const std::string& padrao) override {
        return coleta ? padrao : destino_.EntraTexto(pergunta, padrao);
    }
    bool PerguntaNumero(const std::string& pergunta, const std::string& padrao, std::string& resposta) override {
        return coleta ? false : destino_.PerguntaNumero(pergunta, padrao, resposta);
    }

private:
    Mensagens& destino_;
};
struct ResultadoArquivo {
    std::vector<Evento> eventos;
    bool aberto = false;
    bool aborta = false;
    bool varreu = false; // the scan ran (cells below are meaningful)
    std::int64_t registros = 0;
    // Local rows: 1..N as the row categories, N+1 the unclassified row (Incluir),
    // N+2.. the new codes of this file in order of first encounter (Discriminar).
    // Local columns 1..ncol, ncol+1 the unclassified column. Cell index: row * (ncol + 2)
    // + column; only the cells the file's records touched are there.
    CelulasArquivo celulas;
    std::vector<std::string> novos;
    bool viuNaoClassLinha = false;
    bool viuNaoClassColuna = false;
    std::vector<int> decimaisIncr; // -1: no field
    std::vector<char> exportados;
    std::int64_t numExportados = 0;
};

// Everything a worker needs, fixed for the run.
struct Configuracao {
    const TDimensao* linha = nullptr;
    const TDimensao* coluna = nullptr; // null: no column variable
    std::vector<const TDimensao*> selecoes;
    std::vector<std::string> camposIncr; // empty: frequency
    int modo = 0;
    bool discrimina = false; // Discriminar on a key-table row
    int ncol = 1;            // value columns before any unclassified one
    bool testaCRC = false;
    bool temPeriodo = false; // the footer asks for the period of the files
    // Export: output fields (names) and a field layout for PutFieldDBF.
    bool exporta = false;
    std::vector<CampoDBF> camposExportacao;
    std::uint16_t tamRegExportacao = 0;
};

// Stops a file that the merge will never use.
struct Interrompido {};

// Tabulates one file at a time on a worker thread. It keeps its own copies of the
// dimensions: Categoria counts odd values in them and each file binds their fields.
class Trabalhador {
public:
    explicit Trabalhador(const Configuracao& cfg);

    void Tabula(const std::string& caminho, ResultadoArquivo& r, const std::function<bool()>& parar,
                std::atomic<std::int64_t>& contador);

    // Expand DBC files on a thread of their own (cores are left over).
    bool paralelo_ = false;

private:
    void TabulaArquivo(const std::string& caminho, ResultadoArquivo& r, const std::function<bool()>& parar,
                       std::atomic<std::int64_t>& contador);
    template <typename Processa> bool VarreEmParalelo(dbfRecord& h, Processa& processa, ResultadoArquivo& r);

    const Configuracao& cfg_;
    TDimensao linha_, coluna_;
    std::vector<TDimensao> selecoes_;
    dbfRecord modelo_;
};

} // namespace dorvan::tabulacao

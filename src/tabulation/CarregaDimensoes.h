#pragma once
// Loading the row and column dimensions and shaping the new results table: rows
// and their labels, one column per column category or per increment, the titles.
#include "table/TabelaResultados.h"
#include "tabulation/ExecutaTabulacao.h"
#include "tabulation/VerificaEscolhas.h"

#include <cstdint>
#include <string>
#include <vector>

namespace dorvan::tabulacao {

inline const std::string kNaoClassificados = "N\xE3o classificados";

// The table's shape, shared by the steps that follow.
struct FormaTabela {
    int modo = 0;                // 0 Ignorar, 1 Incluir, 2 Discriminar
    TDimensao* linha = nullptr;  // the row dimension (loaded)
    TDimensao* coluna = nullptr; // the column dimension, loaded when `temColuna`
    bool temColuna = false;
    std::int32_t N = 0;                   // row categories
    std::int32_t cap = 0;                 // rows the table has room for; the last is "Não classificados"
    std::vector<std::string> titulosIncr; // per increment: its title
    std::vector<std::string> camposIncr;  // per increment: its field, empty for the frequency
    // Titles of the columns the merge adds to the table while the files are read
    // (those of a wide table, whose cells take long to lay out); the rest are in t.
    std::vector<std::string> colunasAdiadas;
};

// Columns the table has once the deferred ones are added.
std::int32_t ColunasDaTabela(const TabelaResultados& t, const FormaTabela& f);

// Loads the dimensions into def.Dimensoes and shapes t. False when a dimension did
// not load (the table is left empty, the dimensions freed).
bool CarregaDimensoes(DefTabulacao& def, const OpcoesTabulacao& op, const Escolhas& e, TabelaResultados& t,
                      FormaTabela& f);

} // namespace dorvan::tabulacao

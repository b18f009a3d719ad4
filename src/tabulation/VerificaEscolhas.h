#pragma once
// The first step of a run: the user's choices are checked before anything changes.
#include "platform/Mensagens.h"
#include "tabulation/ExecutaTabulacao.h"

#include <vector>

namespace dorvan::tabulacao {

// The choices once checked.
struct Escolhas {
    std::vector<int> incrementos; // the selected increments that exist, ascending
    bool temColuna = false;       // a column variable other than "Não ativa"
    int numSelecoes = 0;          // active selections
};

// Checks the choices in order; the first that fails is shown and the answer is false.
bool VerificaEscolhas(const DefTabulacao& def, const OpcoesTabulacao& op, Mensagens& msg, Escolhas& e);

} // namespace dorvan::tabulacao

#pragma once
// Builds CNV lines and dimension lines for the dimension tests, and keeps the
// unit's variables and the messages of each test apart.
#include "platform/Mensagens.h"
#include "support/ApoioTeste.h"
#include "tabulation/Utab.h"

#include <gtest/gtest.h>

#include <string>

namespace dorvan::teste {

// One category line: columns 1-3 the value, 4-7 k right-aligned, 10-59 the label,
// 61 on the codes (or the bound).
inline std::string LinhaCNV(const std::string& valor, const std::string& k, const std::string& rotulo,
                            const std::string& codigos = {}) {
    std::string s = valor;
    s.resize(3, ' ');
    s += std::string(4 - std::min<std::size_t>(4, k.size()), ' ') + k;
    s += "  ";
    std::string r = rotulo;
    r.resize(50, ' ');
    s += r;
    s += ' ';
    s += codigos;
    return s;
}

// A dimension line as the dialog stores it: title in columns 1-19, then the spec.
inline std::string LinhaDim(const std::string& titulo, const std::string& especificacao) {
    std::string s = titulo;
    s.resize(19, ' ');
    return s + especificacao;
}

class DimensaoTeste : public ::testing::Test {
protected:
    void SetUp() override {
        DirTabelas = pasta.Caminho().string();
        LinhasExtras = 0;
        TabelasDBFcomCP850 = true;
        RegistraLogTabelas = [this](const std::string& s) { log.push_back(s); };
    }
    void TearDown() override {
        DirTabelas.clear();
        LinhasExtras = 0;
        TabelasDBFcomCP850 = true;
        RegistraLogTabelas = nullptr;
    }

    // Writes a CNV file from lines joined by CR LF.
    std::string GravaCnv(const std::string& nome, const std::vector<std::string>& linhas) {
        std::string t;
        for (const auto& l : linhas)
            t += l + "\r\n";
        return pasta.Grava(nome, t);
    }

    bool Carrega(const std::string& especificacao, std::int32_t maximo = MaximoLinhas) {
        return LeDimensao(LinhaDim("Variavel", especificacao), maximo, d);
    }

    PastaTemporaria pasta;
    MensagensRoteiro msgs;
    UsaMensagens uso{msgs};
    std::vector<std::string> log;
    TDimensao d;
};

} // namespace dorvan::teste

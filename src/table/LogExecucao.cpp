#include "table/LogExecucao.h"

#include <unordered_map>

namespace dorvan {

void LogExecucao::Mudou() {
    if (aoMudar_) aoMudar_();
}

void LogExecucao::Acrescenta(const std::string& linha) {
    linhas_.push_back(linha);
    Mudou();
}

void LogExecucao::DefineLinhas(std::vector<std::string> linhas) {
    linhas_ = std::move(linhas);
    Mudou();
}

void LogExecucao::Limpa() {
    linhas_.clear();
    Mudou();
}

std::string LogExecucao::Texto() const {
    std::string t;
    for (std::size_t i = 0; i < linhas_.size(); ++i) {
        if (i) t += "\r\n";
        t += linhas_[i];
    }
    return t;
}

void LogExecucao::DefineTexto(const std::string& texto) {
    // The inverse of Texto(): n line ends part n + 1 lines.
    std::vector<std::string> linhas;
    std::string atual;
    for (std::size_t i = 0; i < texto.size(); ++i) {
        char c = texto[i];
        if (c == '\r' || c == '\n') {
            if (c == '\r' && i + 1 < texto.size() && texto[i + 1] == '\n') ++i;
            linhas.push_back(std::move(atual));
            atual.clear();
        } else {
            atual.push_back(c);
        }
    }
    if (!texto.empty()) linhas.push_back(std::move(atual));
    DefineLinhas(std::move(linhas));
}

std::string LinhaCortada(const std::string& linha, std::size_t limite) {
    if (linha.size() <= limite) return linha;
    return linha.substr(0, limite) + " ... (linha cortada: " + std::to_string(linha.size()) + " caracteres)";
}

std::string LogExecucao::TextoMostrado(std::size_t limite) const {
    std::string t;
    for (std::size_t i = 0; i < linhas_.size(); ++i) {
        if (i) t += "\r\n";
        t += LinhaCortada(linhas_[i], limite);
    }
    return t;
}

void LogExecucao::DefineTextoMostrado(const std::string& texto, std::size_t limite) {
    std::unordered_map<std::string, std::string> inteiras; // as shown -> whole line
    for (const std::string& l : linhas_)
        if (l.size() > limite) inteiras.emplace(LinhaCortada(l, limite), l);
    if (inteiras.empty()) {
        DefineTexto(texto);
        return;
    }
    LogExecucao novo;
    novo.DefineTexto(texto);
    std::vector<std::string> linhas = std::move(novo.linhas_);
    for (std::string& l : linhas)
        if (auto i = inteiras.find(l); i != inteiras.end()) l = i->second;
    DefineLinhas(std::move(linhas));
}

LogExecucao& LogAtual() {
    static LogExecucao log;
    return log;
}

} // namespace dorvan

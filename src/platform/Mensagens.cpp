#include "platform/Mensagens.h"

#include "platform/Erros.h"
#include "platform/Texto1252.h"

#include <charconv>
#include <cstdio>
#include <iostream>
#include <unistd.h>

namespace dorvan {

namespace {

MensagensConsole& Console() {
    static MensagensConsole console;
    return console;
}

Mensagens* g_atual = nullptr;

bool LeLinha(std::string& linha) {
    if (!isatty(STDIN_FILENO)) return false;
    std::string utf8;
    if (!std::getline(std::cin, utf8)) return false;
    linha = DeUtf8(utf8);
    return true;
}

} // namespace

Mensagens& MensagensAtuais() { return g_atual ? *g_atual : Console(); }
void DefineMensagens(Mensagens* m) { g_atual = m; }

UsaMensagens::UsaMensagens(Mensagens& m) : anterior_(g_atual) { g_atual = &m; }
UsaMensagens::~UsaMensagens() { g_atual = anterior_; }

void MensagensConsole::Mostra(const std::string& texto) {
    std::fputs((ParaUtf8(texto) + "\n").c_str(), stdout);
    std::fflush(stdout);
}

int MensagensConsole::Confirma(const std::string& titulo, const std::string& texto,
                               const std::vector<std::string>& botoes) {
    std::string linha = titulo.empty() ? texto : titulo + ": " + texto;
    for (size_t i = 0; i < botoes.size(); ++i) linha += " [" + std::to_string(i + 1) + "] " + botoes[i];
    Mostra(linha);
    std::string resposta;
    if (LeLinha(resposta)) {
        int n = std::atoi(resposta.c_str());
        if (n >= 1 && static_cast<size_t>(n) <= botoes.size()) return n - 1;
    }
    return botoes.empty() ? 0 : static_cast<int>(botoes.size()) - 1;
}

bool MensagensConsole::SimOuNao(const std::string& titulo, const std::string& texto) {
    Mostra((titulo.empty() ? std::string("Sim ou N\xE3o?") : titulo) + " " + texto + " (S/N)");
    std::string resposta;
    return LeLinha(resposta) && !resposta.empty() && (resposta[0] == 'S' || resposta[0] == 's');
}

std::string MensagensConsole::EntraTexto(const std::string& pergunta, const std::string& padrao) {
    Mostra(pergunta + " [" + padrao + "]");
    std::string resposta;
    return LeLinha(resposta) ? resposta : padrao;
}

bool MensagensConsole::PerguntaNumero(const std::string& pergunta, const std::string& padrao, std::string& resposta) {
    Mostra(pergunta + " [" + padrao + "]");
    if (!LeLinha(resposta)) return false;
    if (resposta.empty()) resposta = padrao;
    return true;
}

void MensagensRoteiro::Responde(const std::string& resposta) { respostas_.push_back({false, resposta}); }
void MensagensRoteiro::Cancela() { respostas_.push_back({true, {}}); }

std::vector<std::string> MensagensRoteiro::Textos() const {
    std::vector<std::string> t;
    for (const auto& r : registros_) t.push_back(r.texto);
    return t;
}

MensagensRoteiro::Resposta MensagensRoteiro::Proxima(const std::string& pergunta) {
    if (proxima_ >= respostas_.size()) throw ErroFatal("Sem resposta no roteiro para: " + pergunta);
    return respostas_[proxima_++];
}

void MensagensRoteiro::Mostra(const std::string& texto) { registros_.push_back({"Mostra", "", texto, {}, {}}); }

int MensagensRoteiro::Confirma(const std::string& titulo, const std::string& texto,
                               const std::vector<std::string>& botoes) {
    registros_.push_back({"Confirma", titulo, texto, botoes, {}});
    Resposta r = Proxima(texto);
    if (r.cancela) return botoes.empty() ? 0 : static_cast<int>(botoes.size()) - 1;
    int n = -1;
    auto fim = r.texto.data() + r.texto.size();
    auto lido = std::from_chars(r.texto.data(), fim, n);
    if (lido.ec != std::errc() || lido.ptr != fim || n < 0 || static_cast<size_t>(n) >= botoes.size())
        throw ErroFatal("Resposta do roteiro fora dos botoes: " + r.texto + " para: " + texto);
    return n;
}

bool MensagensRoteiro::SimOuNao(const std::string& titulo, const std::string& texto) {
    registros_.push_back(
        {"SimOuNao", titulo.empty() ? std::string("Sim ou N\xE3o?") : titulo, texto, {"&Sim", "&N\xE3o"}, {}});
    Resposta r = Proxima(texto);
    return !r.cancela && !r.texto.empty() && (r.texto[0] == 'S' || r.texto[0] == 's');
}

std::string MensagensRoteiro::EntraTexto(const std::string& pergunta, const std::string& padrao) {
    registros_.push_back({"EntraTexto", "Entra Msg", pergunta, {}, padrao});
    Resposta r = Proxima(pergunta);
    return r.cancela ? padrao : r.texto;
}

bool MensagensRoteiro::PerguntaNumero(const std::string& pergunta, const std::string& padrao, std::string& resposta) {
    registros_.push_back({"PerguntaNumero", "Entre um n\xFAmero", pergunta, {}, padrao});
    Resposta r = Proxima(pergunta);
    if (r.cancela) return false;
    resposta = r.texto;
    return true;
}

} // namespace dorvan

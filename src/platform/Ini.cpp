#include "platform/Ini.h"

#include "platform/Arquivos.h"
#include "platform/Texto.h"

#include <charconv>
#include <filesystem>

namespace dorvan {

namespace {

// A line read without its '\n' may still end in the CR of a CR LF file.
std::string Apara(const std::string& s) {
    return TiraBrancosDir(TiraBrancosEsq(s, EEspacoOuTab), [](char c) { return EEspacoOuTab(c) || c == '\r'; });
}

} // namespace

std::string* ArquivoIni::Secao::Valor(const std::string& chave) {
    auto p = posicao.find(MaiusculasAscii(chave));
    return p == posicao.end() ? nullptr : &valores[p->second].second;
}

const std::string* ArquivoIni::Secao::Valor(const std::string& chave) const {
    auto p = posicao.find(MaiusculasAscii(chave));
    return p == posicao.end() ? nullptr : &valores[p->second].second;
}

void ArquivoIni::Secao::Grava(const std::string& chave, const std::string& valor) {
    auto [p, nova] = posicao.try_emplace(MaiusculasAscii(chave), valores.size());
    if (nova)
        valores.emplace_back(chave, valor);
    else
        valores[p->second].second = valor;
}

void ArquivoIni::Le() {
    std::error_code ec;
    if (!std::filesystem::exists(nome_, ec)) {
        secoes_.clear();
        posicaoSecao_.clear();
        return;
    }
    LeTexto(LeArquivoInteiro(nome_));
}

void ArquivoIni::LeTexto(const std::string& texto) {
    secoes_.clear();
    posicaoSecao_.clear();
    Secao* atual = nullptr;
    size_t pos = 0;
    while (pos <= texto.size()) {
        size_t fim = texto.find('\n', pos);
        if (fim == std::string::npos) fim = texto.size();
        std::string linha = Apara(texto.substr(pos, fim - pos));
        pos = fim + 1;
        if (linha.empty() || linha[0] == ';') continue;
        if (linha.front() == '[' && linha.back() == ']') {
            atual = &AchaOuCria(Apara(linha.substr(1, linha.size() - 2)));
            continue;
        }
        size_t igual = linha.find('=');
        if (igual == std::string::npos || !atual) continue;
        atual->Grava(Apara(linha.substr(0, igual)), linha.substr(igual + 1));
    }
}

std::string ArquivoIni::Texto() const {
    std::string t;
    for (size_t i = 0; i < secoes_.size(); ++i) {
        if (i > 0) t += "\r\n";
        t += "[" + secoes_[i].nome + "]\r\n";
        for (const auto& kv : secoes_[i].valores) t += kv.first + "=" + kv.second + "\r\n";
    }
    return t;
}

void ArquivoIni::Grava() const { GravaArquivoInteiro(nome_, Texto()); }

const ArquivoIni::Secao* ArquivoIni::Acha(const std::string& secao) const {
    auto p = posicaoSecao_.find(MaiusculasAscii(secao));
    return p == posicaoSecao_.end() ? nullptr : &secoes_[p->second];
}

ArquivoIni::Secao& ArquivoIni::AchaOuCria(const std::string& secao) {
    auto [p, nova] = posicaoSecao_.try_emplace(MaiusculasAscii(secao), secoes_.size());
    if (nova) secoes_.push_back({secao, {}, {}});
    return secoes_[p->second];
}

bool ArquivoIni::Existe(const std::string& secao, const std::string& chave) const {
    const Secao* s = Acha(secao);
    return s && s->Valor(chave);
}

std::string ArquivoIni::LeTexto(const std::string& secao, const std::string& chave, const std::string& padrao) const {
    const Secao* s = Acha(secao);
    const std::string* v = s ? s->Valor(chave) : nullptr;
    return v ? *v : padrao;
}

int ArquivoIni::LeInteiro(const std::string& secao, const std::string& chave, int padrao) const {
    std::string v = Apara(LeTexto(secao, chave, ""));
    if (v.empty()) return padrao;
    // Not strtol: out-of-range values must fall back to the default, not wrap.
    const char* inicio = v.data() + (v[0] == '+' ? 1 : 0);
    int n = 0;
    auto r = std::from_chars(inicio, v.data() + v.size(), n);
    return (r.ec == std::errc() && r.ptr == v.data() + v.size()) ? n : padrao;
}

bool ArquivoIni::LeBooleano(const std::string& secao, const std::string& chave, bool padrao) const {
    std::string v = MaiusculasAscii(Apara(LeTexto(secao, chave, "")));
    if (v.empty()) return padrao;
    if (v == "1" || v == "TRUE" || v == "YES") return true;
    if (v == "0" || v == "FALSE" || v == "NO") return false;
    return padrao;
}

void ArquivoIni::GravaTexto(const std::string& secao, const std::string& chave, const std::string& valor) {
    AchaOuCria(secao).Grava(chave, valor);
}

void ArquivoIni::GravaInteiro(const std::string& secao, const std::string& chave, int valor) {
    char buf[16];
    auto r = std::to_chars(buf, buf + sizeof buf, valor);
    GravaTexto(secao, chave, std::string(buf, r.ptr));
}

void ArquivoIni::GravaBooleano(const std::string& secao, const std::string& chave, bool valor) {
    GravaTexto(secao, chave, valor ? "1" : "0");
}

void ArquivoIni::ApagaChave(const std::string& secao, const std::string& chave) {
    auto ps = posicaoSecao_.find(MaiusculasAscii(secao));
    if (ps == posicaoSecao_.end()) return;
    Secao& s = secoes_[ps->second];
    auto p = s.posicao.find(MaiusculasAscii(chave));
    if (p == s.posicao.end()) return;
    const std::size_t i = p->second;
    s.valores.erase(s.valores.begin() + static_cast<std::ptrdiff_t>(i));
    s.posicao.erase(p);
    for (auto& [nome, k] : s.posicao)
        if (k > i) --k;
}

std::vector<std::string> ArquivoIni::Secoes() const {
    std::vector<std::string> r;
    for (const auto& s : secoes_) r.push_back(s.nome);
    return r;
}

std::vector<std::string> ArquivoIni::Chaves(const std::string& secao) const {
    std::vector<std::string> r;
    if (const Secao* s = Acha(secao))
        for (const auto& kv : s->valores) r.push_back(kv.first);
    return r;
}

} // namespace dorvan

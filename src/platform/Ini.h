#pragma once
// The settings file: sections and keys keep the order they were read or first
// written in, booleans are written as 1/0, and the file is written safely.
#include <cstddef>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

namespace dorvan {

class ArquivoIni {
public:
    ArquivoIni() = default;
    explicit ArquivoIni(std::string nome) : nome_(std::move(nome)) {}

    // Reads the file; a missing file is an empty one. Throws ErroES on read errors.
    void Le();
    void LeTexto(const std::string& texto);
    // Writes every section in order, CR LF lines, through a temporary file.
    void Grava() const;
    std::string Texto() const;

    const std::string& Nome() const { return nome_; }
    void DefineNome(std::string nome) { nome_ = std::move(nome); }

    // Section and key names match ignoring ASCII case, like the original files.
    std::string LeTexto(const std::string& secao, const std::string& chave, const std::string& padrao) const;
    int LeInteiro(const std::string& secao, const std::string& chave, int padrao) const;
    bool LeBooleano(const std::string& secao, const std::string& chave, bool padrao) const;
    bool Existe(const std::string& secao, const std::string& chave) const;

    void GravaTexto(const std::string& secao, const std::string& chave, const std::string& valor);
    void GravaInteiro(const std::string& secao, const std::string& chave, int valor);
    void GravaBooleano(const std::string& secao, const std::string& chave, bool valor);
    void ApagaChave(const std::string& secao, const std::string& chave);

    std::vector<std::string> Secoes() const;
    std::vector<std::string> Chaves(const std::string& secao) const;

private:
    // Names are found through indexes by their upper-case form, so a file of many
    // keys reads in linear time; the vectors keep the order.
    struct Secao {
        std::string nome;
        std::vector<std::pair<std::string, std::string>> valores;
        std::unordered_map<std::string, std::size_t> posicao; // upper-case key -> index in valores
        std::string* Valor(const std::string& chave);
        const std::string* Valor(const std::string& chave) const;
        void Grava(const std::string& chave, const std::string& valor);
    };
    const Secao* Acha(const std::string& secao) const;
    Secao& AchaOuCria(const std::string& secao);

    std::string nome_;
    std::vector<Secao> secoes_;
    std::unordered_map<std::string, std::size_t> posicaoSecao_; // upper-case name -> index in secoes_
};

} // namespace dorvan

#pragma once
// What every fuzz target shares. The readers take files, so each input is written
// to a folder of this process (removed at exit) under the name the reader expects.
// Questions get their default answer and messages are counted, not shown. Only the
// system's own errors (ErroES, ErroFatal) are an accepted end of a damaged input:
// any other exception escapes and libFuzzer reports it, like a crash.
#include "platform/Erros.h"
#include "platform/Mensagens.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <unistd.h>

namespace dorvan::fuzz {

class MensagensMudas : public Mensagens {
public:
    void Mostra(const std::string&) override { ++mostradas; }
    int Confirma(const std::string&, const std::string&, const std::vector<std::string>& botoes) override {
        return botoes.empty() ? 0 : static_cast<int>(botoes.size()) - 1;
    }
    bool SimOuNao(const std::string&, const std::string&) override { return false; }
    std::string EntraTexto(const std::string&, const std::string& padrao) override { return padrao; }
    bool PerguntaNumero(const std::string&, const std::string&, std::string&) override { return false; }
    long mostradas = 0;
};

// The folder of this process, made on first use.
inline const std::filesystem::path& Pasta() {
    static const std::filesystem::path pasta = [] {
        std::string modelo = (std::filesystem::temp_directory_path() / "dorvan-fuzz-XXXXXX").string();
        if (!mkdtemp(modelo.data())) std::abort();
        static std::filesystem::path removida;
        removida = modelo;
        std::atexit([] {
            std::error_code ec;
            std::filesystem::remove_all(removida, ec);
        });
        return std::filesystem::path(modelo);
    }();
    return pasta;
}

// Installs the silent messages once; call at the start of every input.
inline MensagensMudas& Prepara() {
    static MensagensMudas mudas;
    static UsaMensagens usa(mudas);
    return mudas;
}

// Writes bytes as Pasta()/nome and returns the full name.
inline std::string Grava(const std::string& nome, std::string_view bytes) {
    const std::string caminho = (Pasta() / nome).string();
    std::ofstream f(caminho, std::ios::binary | std::ios::trunc);
    f.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!f) std::abort();
    return caminho;
}

inline std::string_view Texto(const std::uint8_t* dados, std::size_t tamanho) {
    return {reinterpret_cast<const char*>(dados), tamanho};
}

// Splits an input made of several files: a 4-byte little-endian length, that many
// bytes (the first file), and the rest (the second). A short input gives empty parts.
inline std::pair<std::string_view, std::string_view> DuasPartes(std::string_view s) {
    if (s.size() < 4) return {{}, {}};
    std::size_t n = 0;
    for (int i = 3; i >= 0; --i)
        n = n * 256 + static_cast<unsigned char>(s[static_cast<std::size_t>(i)]);
    s.remove_prefix(4);
    n = std::min(n, s.size());
    return {s.substr(0, n), s.substr(n)};
}

// Runs a reader: ErroES and ErroFatal end it normally.
template <class F> void Tenta(F&& f) {
    try {
        f();
    } catch (const ErroES&) {
    } catch (const ErroFatal&) {
    }
}

} // namespace dorvan::fuzz

#pragma once
// Builds small DBF files byte by byte, independently of the reader under test.
#include <cstdint>
#include <string>
#include <vector>

namespace dorvan::teste {

struct CampoBruto {
    std::string nome;
    char tipo;
    int tamanho;
    int decimais = 0;
};

struct OpcoesDBF {
    std::uint8_t versao = 0x03;
    std::uint8_t ano = 24, mes = 3, dia = 7;
    std::uint8_t idioma = 0;
    int bytesExtrasCabecalho = 0; // after the 0x0D terminator
    long contagem = -1;           // record count in the header; -1: the real one
    int tamCabecalho = -1;        // -1: computed
    int tamRegistro = -1;         // -1: computed
    bool fimArquivo = true;       // trailing 0x1A
    bool terminador = true;       // 0x0D after the descriptors
};

inline void Poe16(std::string& s, std::size_t pos, unsigned v) {
    s[pos] = static_cast<char>(v & 0xFF);
    s[pos + 1] = static_cast<char>((v >> 8) & 0xFF);
}

inline void Poe32(std::string& s, std::size_t pos, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        s[pos + static_cast<std::size_t>(i)] = static_cast<char>((v >> (8 * i)) & 0xFF);
}

// Header, descriptors, terminator, records (each given without its deletion flag
// unless it already has the full record length), and 0x1A.
inline std::string MontaDBF(const std::vector<CampoBruto>& campos, const std::vector<std::string>& registros,
                            const OpcoesDBF& o = {}) {
    int tamReg = 1;
    for (const auto& c : campos)
        tamReg += c.tamanho;
    int extras = o.bytesExtrasCabecalho + (o.versao == 0x30 ? 263 : 0);
    int tamCab = 32 + 32 * static_cast<int>(campos.size()) + 1 + extras;
    std::string s(static_cast<std::size_t>(tamCab), '\0');
    s[0] = static_cast<char>(o.versao);
    s[1] = static_cast<char>(o.ano);
    s[2] = static_cast<char>(o.mes);
    s[3] = static_cast<char>(o.dia);
    Poe32(s, 4, static_cast<std::uint32_t>(o.contagem < 0 ? static_cast<long>(registros.size()) : o.contagem));
    Poe16(s, 8, static_cast<unsigned>(o.tamCabecalho < 0 ? tamCab : o.tamCabecalho));
    Poe16(s, 10, static_cast<unsigned>(o.tamRegistro < 0 ? tamReg : o.tamRegistro));
    s[29] = static_cast<char>(o.idioma);
    for (std::size_t i = 0; i < campos.size(); ++i) {
        std::size_t d = 32 + 32 * i;
        for (std::size_t j = 0; j < campos[i].nome.size() && j < 10; ++j)
            s[d + j] = campos[i].nome[j];
        s[d + 11] = campos[i].tipo;
        s[d + 16] = static_cast<char>(campos[i].tamanho);
        s[d + 17] = static_cast<char>(campos[i].decimais);
    }
    s[32 + 32 * campos.size()] = o.terminador ? '\x0D' : '\0';
    for (const auto& r : registros) {
        if (static_cast<int>(r.size()) == tamReg)
            s += r;
        else
            s += " " + r +
                 std::string(static_cast<std::size_t>(std::max(0, tamReg - 1 - static_cast<int>(r.size()))), ' ');
    }
    if (o.fimArquivo) s += '\x1A';
    return s;
}

} // namespace dorvan::teste

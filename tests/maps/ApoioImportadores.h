#pragma once
// Damaged copies of a valid foreign map: each import must end normally or with
// ErroES naming the file, never read outside its input.
#include "maps/Importadores.h"
#include "platform/Erros.h"
#include "platform/Mensagens.h"
#include "support/ApoioTeste.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <string>

namespace dorvan::teste {

// With DORVAN_SEMENTES set to a folder, the valid file is also written there, as
// the fuzz target of its importer takes it (tests/fuzz/sementes/<extension>/): a
// shapefile as its length (4 bytes, little-endian), itself, then its .DBF.
inline void GuardaSemente(const PastaTemporaria& pasta, const std::string& nome, const std::string& bytes) {
    const char* destino = std::getenv("DORVAN_SEMENTES");
    if (!destino) return;
    const std::filesystem::path n(nome);
    std::string ext = n.extension().string().substr(1);
    std::string conteudo = bytes;
    if (ext == "shp") {
        std::string tamanho(4, '\0');
        for (std::size_t i = 0; i < 4; ++i)
            tamanho[i] = static_cast<char>((bytes.size() >> (8 * i)) & 0xFF);
        conteudo = tamanho + bytes + pasta.Le(n.stem().string() + ".dbf");
    }
    const std::filesystem::path pastaSemente = std::filesystem::path(destino) / ext;
    std::filesystem::create_directories(pastaSemente);
    std::ofstream(pastaSemente / n, std::ios::binary) << conteudo;
}

inline void ImportaDanificados(const PastaTemporaria& pasta, const std::string& nome, const std::string& bytes,
                               const std::function<std::string(const std::string&)>& importa, int vezes = 25) {
    GuardaSemente(pasta, nome, bytes);
    MensagensRoteiro msg;
    UsaMensagens usa(msg);
    std::mt19937 gerador(12345);
    auto tenta = [&](const std::string& copia, const char* como) {
        const std::string arquivo = pasta.Grava(nome, copia);
        try {
            importa(arquivo);
        } catch (const ErroES& e) {
            EXPECT_FALSE(e.Motivo().empty());
        } catch (const std::exception& e) {
            ADD_FAILURE() << como << " " << copia.size() << ": " << e.what();
        }
        msg.Limpa();
    };
    for (int i = 0; i < vezes; ++i) {
        const std::size_t corte = std::uniform_int_distribution<std::size_t>(0, bytes.size())(gerador);
        tenta(bytes.substr(0, corte), "cut at");
        std::string mudado = bytes;
        for (int k = 0; k < 3 && !mudado.empty(); ++k) {
            const std::size_t pos = std::uniform_int_distribution<std::size_t>(0, mudado.size() - 1)(gerador);
            const char trocas[] = {'\0', '\xFF', '9', '-', ',', ' ', '\n', '"', '7'};
            mudado[pos] = trocas[std::uniform_int_distribution<int>(0, 8)(gerador)];
        }
        tenta(mudado, "changed");
    }
}

} // namespace dorvan::teste

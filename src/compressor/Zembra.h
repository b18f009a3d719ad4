#pragma once
// Zembra: compresses every named .DBF into a .DBC, expands every .DBC into a .DBF,
// or with -t only checks each .DBC against its CRC.
#include <cstdio>
#include <string>
#include <vector>

namespace dorvan::zembra {

// Exit codes: every file done; a file failed its CRC or its stream; usage or
// input/output error.
constexpr int SAIDA_OK = 0, SAIDA_FALHA_ARQUIVO = 1, SAIDA_ERRO = 2;

// Runs the program with its arguments (without the program's own name). The
// console text goes to `saida` in UTF-8, input/output errors to `erros`.
int Executa(const std::vector<std::string>& argumentos, std::FILE* saida, std::FILE* erros);

} // namespace dorvan::zembra

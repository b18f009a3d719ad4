// Zembra: compresses DBF files into DBC files, expands DBC files, tests their CRC.
#include "compressor/Zembra.h"
#include "platform/Arquivos.h"

#include <cstdio>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    // An interrupted run leaves no half-written output behind.
    dorvan::RemoveTemporariosAoInterromper();
    std::vector<std::string> argumentos(argv + 1, argv + argc);
    return dorvan::zembra::Executa(argumentos, stdout, stderr);
}

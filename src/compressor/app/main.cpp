// Zembra: compresses DBF files into DBC files, expands DBC files, tests their CRC.
#include <cstdio>

int main(int argc, char**) {
    std::fputs("Kalvero Zembra 1.0: Comprime arquivos DBF e Expande arquivos DBC\n", stdout);
    if (argc < 2) {
        std::fputs("Sintaxe:\n"
                   "Zembra <Especificaçao de arquivos> [<Diretório de saída>|-t]\n"
                   "Opçao -t: Testa integridade do CRC em arquivos DBC, sem expandi-los \n",
                   stdout);
        return 0;
    }
    return 2;
}

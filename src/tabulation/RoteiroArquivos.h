#pragma once
// Planning the files of a run: the selected items (data files and list files)
// expanded into the steps of the file loop.
#include "tabulation/Utabula.h"

#include <string>
#include <vector>

namespace dorvan::tabulacao {

// The steps of the file loop: log lines, files and pauses of list files.
struct Passo {
    enum Tipo { Log, Arquivo, Pausa, Mensagem } tipo;
    std::string texto; // log line, file path, or the pause's / message's text
    // A file as the DEF or the list file names it: the wildcard's folder as written
    // there, then the file name. Its digits give the period, so the folders above
    // it, wherever the program is installed, never change the period.
    std::string comoEscrito = {};
};

// Expands the selected items into steps, one pause at a time: the files matched
// after a "PAUS" line are looked for only after the user answered it.
class Roteiro {
public:
    Roteiro(const DefTabulacao& def, const std::vector<std::string>& itens);

    // The steps up to and including the next pause (or to the end). Empty at the end.
    std::vector<Passo> Proximos();

    static std::vector<std::string> Linhas(const std::string& texto);

    // The files a list line names, in name order, each by its real name on disk.
    std::vector<std::string> ArquivosDaLinha(const std::string& linha) const;

private:
    const DefTabulacao& def_;
    const std::vector<std::string>& itens_;
    std::string pasta_;
    std::size_t item_ = 0;
    bool listaAberta_ = false;
    std::vector<std::string> linhasLista_;
    std::size_t linha_ = 0;
};

// An item of the file list that is a data file itself (".DBC" or ".DBF"), not a list file.
bool EArquivoDados(const std::string& nome);

// The file name without its folder.
std::string SemPasta(const std::string& caminho);

} // namespace dorvan::tabulacao

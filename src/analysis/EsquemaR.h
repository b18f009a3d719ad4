#pragma once
// Analysis schemes (".rx"): small tagged text files holding a title, the notes
// shown to the user, optional example data, the prompts of the run and the R code.
// They live in one library folder; the chooser lists them by title.
#include <string>
#include <vector>

namespace dorvan {

// The elements of a scheme, as read (trimmed, 1252 text). A missing element is empty.
struct EsquemaR {
    std::string titulo;     // listed only when not empty
    std::string autor;
    std::string email;
    std::string versao;
    std::string descricao;
    std::string exemplo;    // a table in the form of "dorvan.out"
    std::string script;     // R code with its XML entities still in it
    std::string colsel;     // prompt of the first column choice
    std::string colsel2;    // prompt of the second
    std::string parametro;  // prompt of the first typed value
    std::string parametro2; // prompt of the second
};

// The elements of a scheme text.
EsquemaR EsquemaDeTexto(const std::string& texto);
// Reads a scheme file (system file name). Throws ErroES.
EsquemaR LeEsquemaR(const std::string& arquivo);

// Items of the chooser for every "*.rx" file in pasta with a title:
// "<titulo> [<file name>]", in alphabetical order of the whole item (letters
// compared without case, then byte order). A file that cannot be read is left out.
std::vector<std::string> ListaEsquemasR(const std::string& pasta);

// The file name an item names: the text after its first '[' less the last
// character (the closing ']'); empty when there is no '['.
std::string ArquivoDoItemR(const std::string& item);

// What the chooser shows of a scheme.
struct DetalhesEsquemaR {
    std::string autor;     // "Autor: <autor>"
    std::string email;
    std::string versao;    // "Versão: <versao>"
    std::string descricao;
    bool temExemplo = false; // the "Dados de exemplo" button shows
};
DetalhesEsquemaR DetalhesDe(const EsquemaR& e);

// Caption of the chooser: "R em <dirR> e Esquemas de análise em <dirRX>".
std::string TituloFormR(const std::string& dirR, const std::string& dirRX);

// Writes the scheme's example text unchanged (no entity decoding, no final line
// break) as "dorvan.out" in pasta, for the returned-table step to load. Throws ErroES.
void GravaExemploR(const EsquemaR& e, const std::string& pasta);

} // namespace dorvan

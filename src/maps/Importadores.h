#pragma once
// Converters from other mapping programs' files into .MAP files. Each reads the
// input named, writes "<input without extension>.MAP" beside it and returns that
// name; a refused file returns "" and writes nothing. A damaged input throws ErroES
// naming the file and the line (text formats) or byte offset (binary formats); the
// .MAP written so far is dropped and an older one of that name stays as it was.
#include "maps/ArquivoMapa.h"

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace dorvan {

// The fields chosen for the code and the name of every record, as indexes into the
// candidate list (-1: none selected, giving empty text).
struct EscolhaCampos {
    int Codigo = 0;
    int Nome = 0;
    bool operator==(const EscolhaCampos&) const = default;
};

// Shows the candidates (the same list for code and name) with the defaults
// selected and returns the selections as they stand when the chooser closes.
using EscolheNomeFn = std::function<EscolhaCampos(const std::vector<std::string>& candidatos, EscolhaCampos padrao)>;

// The chooser importers use when the caller gives none; without one set, the
// defaults are taken as they are. nullptr-like (empty) function resets it.
void DefineEscolheNome(EscolheNomeFn f);
EscolhaCampos EscolheNome(const std::vector<std::string>& candidatos, EscolhaCampos padrao);

// The default name pair: the first candidate and the second (the first again when
// there is only one), in the order the caller gives them.
EscolhaCampos PadraoDoisPrimeiros(std::size_t candidatos, bool nomePrimeiro);

// The output name: the input with its extension replaced by ".MAP".
std::string NomeMapaSaida(const std::string& entrada);

std::string ImportaBND(const std::string& arquivo);
std::string ImportaWPT(const std::string& arquivo);
std::string ImportaXY(const std::string& arquivo);
std::string ImportaMME(const std::string& arquivo);
std::string ImportaBNA(const std::string& arquivo, const EscolheNomeFn& escolhe = {});
std::string ImportaMIF(const std::string& arquivo, const EscolheNomeFn& escolhe = {});
std::string ImportaE00(const std::string& arquivo, const EscolheNomeFn& escolhe = {});
std::string ImportaSHP(const std::string& arquivo, const EscolheNomeFn& escolhe = {});

// True when the upper-cased extension is one of .BND .WPT .XY .MME .BNA .MIF .E00 .SHP.
bool MapaEstrangeiro(const std::string& arquivo);
// What the map window shows while a foreign map converts: the input file's name as
// its caption, the hourglass. Each importer has its own; other files have neither.
struct SinaisImportacao {
    bool Legenda = false;
    bool Ampulheta = false;
};
SinaisImportacao SinaisDoImportador(const std::string& arquivo);
// Converts a foreign map by its extension and returns the name of the .MAP to open
// ("" when refused); any other file name comes back unchanged.
std::string ImportaMapaEstrangeiro(const std::string& arquivo, const EscolheNomeFn& escolhe = {});

} // namespace dorvan

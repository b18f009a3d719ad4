#pragma once
// Handheld databases (.PDB). The table is written as a description (.ifo) and a
// comma-separated text (.txt) that the outside converter csv2pdb turns into the
// database. The converter is not part of this system: when the settings name
// none that exists, the export says so and writes nothing.
#include "table/TabelaResultados.h"

#include <functional>
#include <string>

namespace dorvan {

// The converter in the program's folder ("csv2pdb", or "csv2pdb.exe"), or empty.
std::string AchaConversorPalm(const std::string& dirPrograma);

// The two inputs of the converter, as GravaPalm and GravaMobileDB write them.
// `titulo` is the database title (the target's name without extension).
// `mobileDB`: every field a string and values in the user's locale.
std::string DescricaoPalm(const TabelaResultados& t, const std::string& titulo, bool mobileDB);
void GravaDadosPalm(const TabelaResultados& t, const std::string& arquivo, bool mobileDB);

// Writes the .ifo and .txt into a private temporary folder, runs the converter
// with the argument list  -i <ifo> <txt> <arquivo>  (MobileDB: --type=mdb first),
// waits for its end (calling enquantoEspera now and then, so a window can keep
// painting) and removes the temporaries. True only when the converter ran and
// ended with code 0; otherwise a message says what went wrong.
bool GravaPalm(const TabelaResultados& t, const std::string& arquivo, const std::string& conversor,
               const std::function<void()>& enquantoEspera = {});
bool GravaMobileDB(const TabelaResultados& t, const std::string& arquivo, const std::string& conversor,
                   const std::function<void()>& enquantoEspera = {});

} // namespace dorvan

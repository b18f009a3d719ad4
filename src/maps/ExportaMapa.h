#pragma once
// The base map (.MAP) written in the text formats of other map programs, so the same
// boundaries can be used elsewhere: BNA, BND, Map Maker Export (MME), Map Maker XY
// and R source building a polylist. Only geometry, codes, names and label points go
// out; the results table plays no part.
#include "maps/ArquivoMapa.h"

#include <string>
#include <vector>

namespace dorvan {

// The save dialog of "&Exportar mapa base".
inline constexpr const char* FiltroExportaMapa =
    "R source - polylist (r)|*.r|Epimap 2 (bnd)|*.bnd|Atlas GIS (bna)|*.bna|Map Maker Export (mme)|*.mme";
inline constexpr int IndiceFiltroExportaMapa = 3;
// The default extension of filter 1..4 ("bna" for anything else).
std::string ExtensaoDoFiltroExporta(int indice);

// The rings a multi-ring record is written as (BND, XY, MME): ring 1 runs to the
// first return to vertex 1, that return included; every later ring runs up to the
// vertex before the next return to vertex 1, which only separates rings. A last ring
// that stops at the final vertex without returning keeps that vertex. A record with
// no return to vertex 1 is one ring of all its vertices. Empty rings are left out.
std::vector<AnelMapa> AneisExportacao(const RegistroMapa& r);

// Each writer reads `mapa` from its start and writes `saida` (replaced only when the
// whole file was written). Read and write errors throw ErroES.
void ExportaBNA(const std::string& mapa, const std::string& saida);
void ExportaBND(const std::string& mapa, const std::string& saida);
void ExportaXY(const std::string& mapa, const std::string& saida);
void ExportaMME(const std::string& mapa, const std::string& saida);
void ExportaR(const std::string& mapa, const std::string& saida);

// The writer chosen by the upper-cased extension of `saida` (.BNA, .BND, .XY, .MME,
// .R). False, and nothing written, for any other extension.
bool ExportaMapaBase(const std::string& mapa, const std::string& saida);

} // namespace dorvan

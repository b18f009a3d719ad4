#pragma once
// The map window's dealings with the results table, apart from the window: the
// row keys that match map records to rows, the classes a newly mapped column gets,
// a map read as a table (one row per area), the texts of the status bar and of a
// click on an area, area selection, and the command line handed to the outside GIS.
#include "maps/ArquivoMapa.h"
#include "maps/Escala.h"
#include "table/TabelaResultados.h"

#include <cstdint>
#include <string>
#include <vector>

namespace dorvan {

// ---- opening the map for a column ------------------------------------------------

inline constexpr const char* PerguntaColunaMapa = "Mapear coluna";
inline constexpr std::size_t MaxChaveLinha = 25;

// The key of a row label: its first min(25, TamCodigo, length) characters without
// accents, in capitals. Empty labels give an empty key (no key).
std::string ChaveDoRotulo(const std::string& rotulo, std::int32_t tamCodigo);
// The row-key table in t.IndiceLinhas: every row with a label, a repeated key
// keeping the later row.
void MontaIndiceLinhas(TabelaResultados& t);

// Steps before the first drawing of column `coluna`: ColunaMapa, the extremes,
// Classe[0]; a table without usable classes, or mapped until now by another column,
// gets palette 3, "Igual valor" (also the class dialog's mode in e), five classes
// and their limits. The display order is
// left as it was. False, and nothing changed, for a column outside 1..NumColunas.
bool PreparaMapaColuna(TabelaResultados& t, std::int32_t coluna, EstadoEscala& e);

// "Mapa: " + Titulo1 + " : " + the title of ColunaMapa.
std::string LegendaJanelaMapa(const TabelaResultados& t);
// After a resize: "Mapa(" + largura + "X" + (altura − 19) + ")" followed by the
// previous caption from its first ':' on (nothing when it has none).
std::string LegendaRedimensionada(std::int32_t largura, std::int32_t altura, const std::string& anterior);

// ---- a map read as a table -----------------------------------------------------

inline constexpr std::int32_t MaxLinhasMapa = 199001;
inline constexpr const char* PerguntaMostraCodigo = "Mostrar o c\xF3"
                                                    "digo da \xE1rea?";
inline constexpr const char* TituloColunaSelecao = "Selecionada";

// The distinct labels of a map's records (kinds 0..3) in byte order, read before
// the current table is given up, so a damaged map costs nothing.
struct RotulosDoMapa {
    std::vector<std::string> Rotulos;
    std::int32_t TamCodigo = SemCodigo;   // length of the code of the last labelled record
    std::int32_t LarguraCodigoUltimo = 0; // length of the code of the last record read
    bool ComCodigo = true;
};
// label = Codigo + " " + Nome with codes, else Nome. Past MaxLinhasMapa labels shows
// "Mais de 199001 linhas: excedente ignorado" and keeps the first ones.
// Throws ErroES for a file that cannot be read or is damaged.
RotulosDoMapa LeRotulosDoMapa(const std::string& nomeMapa, bool comCodigo);

// Fills the (already closed) table: one row per label, natural order, the label
// column titled by the file name (without folder, 60 characters) and as wide as the
// last code + 25, one column "Selecionada" of zeros; TamCodigo and MostraCodigo as
// the labels were made.
void PreencheTabelaDoMapa(TabelaResultados& t, const RotulosDoMapa& r, const std::string& nomeMapa);

// ---- status bar, clicks, selection --------------------------------------------

// The row label, without its code and blank when the labels carry a code that is not shown.
std::string RotuloSemCodigo(const TabelaResultados& t, std::int32_t linha);
// The mapped value of a row: grouped, the column's decimals, right-aligned to the
// width of the largest value.
std::string ValorFormatado(const TabelaResultados& t, std::int32_t linha);
// A cell as "%<Largura>.<Decimais>N" of its column: grouped, right-aligned.
std::string ValorDaColuna(const TabelaResultados& t, std::int32_t coluna, std::int32_t linha);

// What a pixel of the identification picture stands for.
struct Identificado {
    enum class Tipo { Nada, Linha, PontoCamada, Fluxo } tipo = Tipo::Nada;
    std::int32_t Linha = 0;    // Tipo::Linha: the row
    std::int32_t Camada = 0;   // Tipo::PontoCamada: the layer (1..)
    std::int32_t Registro = 0; // PontoCamada: DBF record; Fluxo: the flow record
};
Identificado Identifica(std::uint32_t valor, std::int32_t numLinhas);

// The message of a right click on an area: the label column's title, "Nome: " and
// the label, then the first 15 columns as "title: value".
std::string InformacaoDaLinha(const TabelaResultados& t, std::int32_t linha);

// A left click in selection mode: the row's cell in `coluna` becomes 1 when it was
// 0, else 0. False when the row or the column is not in the table.
bool AlternaSelecao(TabelaResultados& t, std::int32_t coluna, std::int32_t linha);

// The column titled "RAIO" (upper-cased), searched from the last; 0 when none.
std::int32_t ColunaRaio(const TabelaResultados& t);

// ---- the outside GIS ---------------------------------------------------------------

// Database and layer named after the map: the map's folder + its first two
// characters + ".mdb", and the rest of its name ("munic" when empty, "uf" for "asil").
struct NomesTerraView {
    std::string Banco;
    std::string Camada;
};
NomesTerraView NomesParaTerraView(const std::string& nomeMapa);
// The arguments after the program: "dorvan", the table written for it, the database, the layer.
std::vector<std::string> ArgumentosTerraView(const std::string& tabela, const NomesTerraView& n);
// The program in the install folder named by the settings ([TerraView] installDirectory).
std::string ProgramaTerraView(const std::string& dirInstalacao);
inline constexpr const char* SecaoTerraView = "TerraView";
inline constexpr const char* ChaveTerraView = "installDirectory";

} // namespace dorvan

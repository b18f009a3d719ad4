#pragma once
// Saved queries: the .sql and .xml query files, the R script made from a query,
// and the list of saved queries of a folder. Text is 1252 bytes; lines are written
// with CR LF and read with either line end.
#include <optional>
#include <string>
#include <vector>

namespace dorvan {

// What a query file keeps.
struct ConsultaSalva {
    std::string titulo;
    std::string alias;     // the database alias; empty = keep the one chosen
    std::string parametro; // the name of the one text parameter; empty = none
    std::vector<std::string> linhas; // the SQL text
};

// Splits text into lines at CR LF, LF or CR; a final line end adds no empty line.
std::vector<std::string> SeparaLinhas(const std::string& texto);

// .sql: "#title", "#alias", "#parameter" (always all three), then the SQL lines.
void GravaConsultaSQL(const std::string& arquivo, const ConsultaSalva& c);
// Up to three leading lines are header lines, each only while it begins with '#':
// title, alias, parameter, in that order. A file without header gives empty fields.
ConsultaSalva LeConsultaSQL(const std::string& arquivo);

// .xml: the query's elements one per line; the parameter only when not blank.
// Texts go as they are, without entities.
void GravaConsultaXML(const std::string& arquivo, const ConsultaSalva& c);
ConsultaSalva LeConsultaXML(const std::string& arquivo);

// The R script that runs the query through an ODBC connection named like the alias.
// Warns (without stopping) about a parameter and about an alias that is not ODBC.
void GravaScriptR(const std::string& arquivo, const ConsultaSalva& c, const std::string& driver);

// Writes by the extension of arquivo in any case: ".SQL", ".XML" or ".R". False,
// and nothing written, for any other extension.
bool GravaConsultaPorExtensao(const std::string& arquivo, const ConsultaSalva& c, const std::string& driver);
// ".SQL" reads the .sql form; any other extension the .xml form.
ConsultaSalva LeConsultaPorExtensao(const std::string& arquivo);

// One saved query of a folder's list.
struct ItemConsulta {
    std::string entrada; // "<title> [<file name>]", as the list shows it
    std::string arquivo; // the file name, without folder
};
// The queries of a folder ("" = the current one): files matching "*.??l" whose
// title is not empty, sorted by their entries ignoring case. Unreadable files are
// left out.
std::vector<ItemConsulta> ListaConsultas(const std::string& pasta);

// The title a query file shows in the list (empty = not listed).
std::string TituloDoArquivo(const std::string& arquivo);

} // namespace dorvan

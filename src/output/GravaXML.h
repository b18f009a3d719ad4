#pragma once
// The XML document and the XHTML page of the results table.
//
// Both are code page 1252 text. The XML declares ISO-8859-1, so the bytes where
// the two code pages differ (0x80-0x9F) are written as character references, and
// '&', '<' and '>' in texts are escaped so every title, label and note reads back
// exactly. Write errors throw ErroES and leave an existing file as it was.
#include "table/TabelaResultados.h"

#include <string>
#include <string_view>
#include <vector>

namespace dorvan {

// Element name for a column title: "_" in front when the title does not begin
// with a letter, blanks and "+./:<>" turned into "_", and anything else that
// cannot stand in an XML name also "_". Accented letters and digits stay.
std::string NomeTagXML(std::string_view nome);

// Element text: '&', '<', '>' escaped, 0x80-0x9F as character references,
// control characters as blanks.
std::string TextoXML(std::string_view s);

// Writes the table as XML: titles, the run log (its lines as given), the notes
// and one <Linha> per row in stored order.
void GravaXML(const TabelaResultados& t, const std::string& arquivo, const std::vector<std::string>& log = {});

// Writes the table as an XHTML page in display order, totals first. The files
// "inicio.htm" and "termino.htm" of `pastaModelos` (the current folder when empty),
// when present, are copied in at the top and at the bottom of the body.
void GravaHTML(const TabelaResultados& t, const std::string& arquivo, const std::string& pastaModelos = {});

} // namespace dorvan

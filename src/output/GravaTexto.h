#pragma once
// Separated-text exports of the results table: comma-separated values (.CSV and
// .PRN), the blank-separated input of R's read.table ("dorvan.in"), and the
// TAB-separated text of the clipboard copy. Rows go in stored order; text is
// code page 1252. Write errors throw ErroES and leave an existing file as it was.
#include "table/TabelaResultados.h"

#include <string>

namespace dorvan {

// Titles and labels in double quotes (inner quotes doubled), values with a
// decimal point, and a last line "Total" with the column totals.
void GravaCSV(const TabelaResultados& t, const std::string& arquivo);

// Header of the column titles only, so read.table takes the first field of each
// line as the row name. Double quotes are dropped from titles and labels; values
// that are not numbers are written NA.
void GravaTabelaR(const TabelaResultados& t, const std::string& arquivo);

// TAB-separated, values in the user's locale (for pasting into a spreadsheet);
// a table without columns gets a DUMMY column of zeros.
void GravaTextoTab(const TabelaResultados& t, const std::string& arquivo);

} // namespace dorvan

#pragma once
// Text written into R code: the run's profile, the DBF browser's and the saved
// query's R scripts.
#include <string>

namespace dorvan {

// An R string literal holding texto as it is: '\', '"' and line breaks escaped.
std::string LiteralR(const std::string& texto);

} // namespace dorvan

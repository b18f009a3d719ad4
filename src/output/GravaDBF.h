#pragma once
// The results table as a dBase III file: an optional CODIGO field, the label
// field and one numeric field per column, one record per row in stored order.
#include "data/LeDBF32.h"
#include "table/TabelaResultados.h"

#include <string>
#include <vector>

namespace dorvan {

// Fields a DBF may have here (the descriptor count the header allows).
inline constexpr std::int32_t MaxCamposDBF = 255;

// The fields GravaDBF creates: names from the titles (accents removed, upper
// case, other characters "_", "X" before a leading digit, 10 characters,
// repeated names numbered), the
// label field as wide as the longest label, each numeric field as wide as its
// widest value. Empty when the table cannot be written; `erro` then says why.
std::vector<CampoDBF> CamposParaDBF(const TabelaResultados& t, std::string& erro);

// Writes the DBF; labels go in code page 850 with language byte 2 when comCP850
// is set, else as they are with byte 3. A table that does not fit a DBF is
// refused with a message before anything is written, and false comes back.
// I/O errors throw; an existing file is replaced only when the new one is complete.
bool GravaDBF(const TabelaResultados& t, const std::string& arquivo, bool comCP850);

} // namespace dorvan

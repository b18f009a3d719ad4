#pragma once
// The start-up file R reads in its folder, as every caller that starts R writes it.
#include <string>

namespace dorvan {

inline constexpr const char* PerfilR = ".Rprofile";

// Its first line: R reads the code in the session's UTF-8 (GravaPerfilR writes it
// so) and every file through a Latin-1 connection, which gives back the 1252 bytes
// of the files exchanged.
inline constexpr const char* LinhaCodificacaoR = "options(encoding=\"latin1\")";

// Writes a composed file as ".Rprofile" in pasta (ending in '/'), replacing any
// earlier one (in any letter case). Throws ErroES.
void GravaPerfilR(const std::string& pasta, const std::string& codigo1252);

} // namespace dorvan

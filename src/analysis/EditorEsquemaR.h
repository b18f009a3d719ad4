#pragma once
// The logic of the analysis-scheme editor: where the caret goes in a loaded
// scheme, which part of the text the entity commands convert, the status line,
// the file a test run writes and R's help page. Text is 1252 bytes; positions are
// byte offsets into the editor's text.
#include "table/Utilidades.h"
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace dorvan {

// The scheme a run of the editor writes into the library folder.
inline constexpr const char* ArquivoTesteEsquemaR = "tmp.rx";
// The item the chooser gets for it.
inline constexpr const char* ItemTesteEsquemaR = "Temporario[tmp.rx]";
// A new scheme starts as a copy of this file in the program folder.
inline constexpr const char* ModeloEsquemaR = "modelo.rx";

// Where the caret goes after a scheme is loaded: one character before the first
// "</script>", so that typing continues the script (a line break right before the
// tag is stepped over whole). nullopt when the text has no "</script>".
std::optional<std::size_t> PosicaoCursorEsquema(std::string_view texto);

// The part of the text between "<script>" and the following "</script>": start and
// length. nullopt when either is missing.
struct Trecho {
    std::size_t inicio = 0;
    std::size_t tamanho = 0;
};
std::optional<Trecho> TrechoDoScript(std::string_view texto);

// The text with the script part passed through conversao; nullopt (nothing to do)
// when there is no script part.
enum class ConversaoEntidades { ParaEntidades, ParaCaracteres };
std::optional<std::string> ConverteScript(std::string_view texto, ConversaoEntidades conversao);

// Status line panels: "%4d:%4d" of the caret line and column (1-based), the
// modified flag and the insert mode.
std::string TextoPosicaoEditor(int linha, int coluna);
std::string TextoModificado(bool modificado);
std::string TextoModoInsercao(bool insere);

// Writes the lines of the editor as the test scheme in the library folder (which
// ends with '/'), replacing an earlier one; returns its file name. Throws ErroES.
std::string GravaEsquemaTeste(const std::string& dirRX, const std::string& texto);

// R's help page: the installation folder (DirR less its final "bin/") +
// "doc/html/rwin.html"; where that page is not installed, R's HTML index in the
// same folder or in the shared documentation folder, when one of those exists.
std::string PaginaAjudaR(const std::string& dirR);

} // namespace dorvan

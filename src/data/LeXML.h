#pragma once
// Small tagged text files (analysis schemes, query files, GPX layers) are read
// without a general XML parser: the whole file becomes one text, an element's
// content is found by plain search, the name="value" attributes at the start of
// a tag are listed, and the four basic entities are turned into characters and back.
// Their exact rules are part of the file formats that use them.
#include <string>
#include <string_view>
#include <vector>

namespace dorvan {

// The whole file, byte for byte (no line-end or code-page handling). Throws ErroES.
std::string LeArquivoTexto(const std::string& nome);

// The text between the first "<tag>" and the first "</tag>", with blanks and
// control characters trimmed at both ends; empty when either is missing or the
// closing one comes first. Case matters; a start tag with attributes does not
// match; nesting and entities are not interpreted.
std::string TextoDaTag(std::string_view tag, std::string_view texto);

// Reads the name="value" attributes at the start of s (after leading blanks) into
// lista as "name=value" lines, removing them from s. True when the attributes end
// at a '>', which then begins s. Values are quoted with one character on each side
// and hold no blank and no '>'. False with no '>' in s (s unchanged but for the
// leading blanks), with s beginning with '>' (that '>' removed), and at a malformed
// attribute (what was read so far stays in lista and removed from s).
bool LeAtributos(std::string& s, std::vector<std::string>& lista);

// "&amp;", "&quot;", "&lt;" and "&gt;" become their characters; anything else is copied.
std::string DesfazEntidadesXML(std::string_view s);

// '"', '<', '>' and '&' become entities, except an '&' that already begins "&amp;".
std::string FazEntidadesXML(std::string_view s);

} // namespace dorvan

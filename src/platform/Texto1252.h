#pragma once
// Text inside the system is Windows code page 1252 bytes held in std::string.
// These are the only conversions to and from Unicode: Qt's QString at the window
// boundary, UTF-8 for the console and for file names.
#include <QString>
#include <string>
#include <string_view>

namespace dorvan {

// Unicode code point of each 1252 byte. The five bytes the code page leaves
// undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) map to the C1 control of the same value,
// so every byte survives a round trip.
char32_t CodigoUnicode1252(unsigned char byte);

// The 1252 byte of a code point, or '?' when the code page has none.
char ByteDe1252(char32_t codigo);

QString ParaQString(std::string_view texto1252);
std::string DeQString(const QString& texto);

std::string ParaUtf8(std::string_view texto1252);
std::string DeUtf8(std::string_view utf8);

} // namespace dorvan

#include "analysis/LiteralR.h"

namespace dorvan {

std::string LiteralR(const std::string& texto) {
    std::string r = "\"";
    for (char c : texto) {
        switch (c) {
        case '\\':
            r += "\\\\";
            break;
        case '"':
            r += "\\\"";
            break;
        case '\n':
            r += "\\n";
            break;
        case '\r':
            r += "\\r";
            break;
        default:
            r += c;
        }
    }
    return r + "\"";
}

} // namespace dorvan

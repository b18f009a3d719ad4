#include "data/LeXML.h"

#include "platform/Arquivos.h"
#include "platform/Texto.h"

namespace dorvan {

std::string LeArquivoTexto(const std::string& nome) { return LeArquivoInteiro(nome); }

std::string TextoDaTag(std::string_view tag, std::string_view texto) {
    std::string abre = "<" + std::string(tag) + ">";
    std::string fecha = "</" + std::string(tag) + ">";
    std::size_t i = texto.find(abre);
    std::size_t f = texto.find(fecha);
    if (i == std::string_view::npos || f == std::string_view::npos) return {};
    i += abre.size();
    // The closing marker before the end of the opening one gives nothing.
    if (f < i) return {};
    return TiraBrancos(texto.substr(i, f - i));
}

bool LeAtributos(std::string& s, std::vector<std::string>& lista) {
    lista.clear();
    s = TiraBrancosEsq(s, EEspaco);
    if (s.find('>') == std::string::npos) return false;
    if (s[0] == '>') {
        s.erase(0, 1);
        return false;
    }
    for (;;) {
        std::size_t e = s.find('=');
        std::size_t g = s.find('>');
        if (e == std::string::npos || g == std::string::npos || g < e) return false;
        std::size_t b = s.find(' ');
        if (b != std::string::npos && b <= g) g = b;
        // The attribute must hold at least an opening and a closing quote after
        // the '='; anything shorter would make the deletions below reach the name
        // or the '=' itself.
        if (g < e + 3) return false;
        s.erase(g - 1, 1); // closing quote
        s.erase(e + 1, 1); // opening quote
        std::size_t tamanho = g - 2;
        lista.push_back(s.substr(0, tamanho));
        s.erase(0, tamanho);
        s = TiraBrancosEsq(s, EEspaco);
        if (!s.empty() && s[0] == '>') return true;
    }
}

std::string DesfazEntidadesXML(std::string_view s) {
    static constexpr std::pair<std::string_view, char> entidades[] = {
        {"&amp;", '&'}, {"&quot;", '"'}, {"&lt;", '<'}, {"&gt;", '>'}};
    std::string r;
    r.reserve(s.size());
    for (std::size_t i = 0; i < s.size();) {
        bool trocou = false;
        if (s[i] == '&') {
            for (auto [nome, c] : entidades) {
                if (s.substr(i, nome.size()) == nome) {
                    r += c;
                    i += nome.size();
                    trocou = true;
                    break;
                }
            }
        }
        if (!trocou) r += s[i++];
    }
    return r;
}

std::string FazEntidadesXML(std::string_view s) {
    std::string r;
    r.reserve(s.size() + s.size() / 8);
    for (std::size_t i = 0; i < s.size(); ++i) {
        switch (s[i]) {
        case '"':
            r += "&quot;";
            break;
        case '<':
            r += "&lt;";
            break;
        case '>':
            r += "&gt;";
            break;
        case '&':
            r += s.substr(i, 5) == "&amp;" ? "&" : "&amp;";
            break;
        default:
            r += s[i];
        }
    }
    return r;
}

} // namespace dorvan

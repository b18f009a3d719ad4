#include "analysis/EditorEsquemaR.h"

#include "data/LeXML.h"
#include "platform/Arquivos.h"

#include <cstdio>
#include <filesystem>
#include <system_error>

namespace dorvan {

namespace {

constexpr std::string_view AbreScript = "<script>";
constexpr std::string_view FechaScript = "</script>";

std::string AlinhaQuatro(int n) {
    std::string s = std::to_string(n);
    if (s.size() < 4) s.insert(0, 4 - s.size(), ' ');
    return s;
}

bool Existe(const std::string& arquivo) {
    std::error_code e;
    return std::filesystem::is_regular_file(arquivo, e);
}

} // namespace

std::optional<std::size_t> PosicaoCursorEsquema(std::string_view texto) {
    const std::size_t p = texto.find(FechaScript);
    if (p == std::string_view::npos) return std::nullopt;
    if (p == 0) return 0;
    std::size_t c = p - 1;
    // Between CR and LF is no place for a caret: the break is stepped over whole.
    if (texto[c] == '\n' && c > 0 && texto[c - 1] == '\r') --c;
    return c;
}

std::optional<Trecho> TrechoDoScript(std::string_view texto) {
    const std::size_t a = texto.find(AbreScript);
    if (a == std::string_view::npos) return std::nullopt;
    const std::size_t inicio = a + AbreScript.size();
    const std::size_t f = texto.find(FechaScript, inicio);
    if (f == std::string_view::npos) return std::nullopt;
    return Trecho{inicio, f - inicio};
}

std::optional<std::string> ConverteScript(std::string_view texto, ConversaoEntidades conversao) {
    const auto t = TrechoDoScript(texto);
    if (!t) return std::nullopt;
    const std::string_view parte = texto.substr(t->inicio, t->tamanho);
    std::string r(texto.substr(0, t->inicio));
    r += conversao == ConversaoEntidades::ParaEntidades ? FazEntidadesXML(parte) : DesfazEntidadesXML(parte);
    r += texto.substr(t->inicio + t->tamanho);
    return r;
}

std::string TextoPosicaoEditor(int linha, int coluna) { return AlinhaQuatro(linha) + ":" + AlinhaQuatro(coluna); }
std::string TextoModificado(bool modificado) { return modificado ? "Modificado" : "N\xE3o modificado"; }
std::string TextoModoInsercao(bool insere) { return insere ? "Insere" : "Substitue"; }

std::string GravaEsquemaTeste(const std::string& dirRX, const std::string& texto) {
    const std::string arquivo = dirRX + ArquivoTesteEsquemaR;
    GravaArquivoInteiro(arquivo, texto);
    return arquivo;
}

std::string PaginaAjudaR(const std::string& dirR) {
    std::string home = dirR;
    // "<R>/bin/" less the four characters before the final '/' leaves "<R>/".
    if (home.size() >= 5 && home.back() == '/') home.erase(home.size() - 5, 4);
    const std::string pagina = home + "doc/html/rwin.html";
    if (Existe(pagina)) return pagina;
    // Where R is installed as a system package, its documents live apart from it.
    for (const std::string& outra : {home + "doc/html/index.html", std::string("/usr/share/R/doc/html/index.html")})
        if (Existe(outra)) return outra;
    return pagina;
}

} // namespace dorvan

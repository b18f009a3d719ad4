#include "output/GravaXML.h"

#include "data/UConvert.h"
#include "output/SaidaTexto.h"
#include "platform/Numeros.h"
#include "platform/Texto1252.h"

#include <cmath>

namespace dorvan {

namespace {

// Read as ISO-8859-1, the bytes that may begin an XML name (':' left out: it
// would make a namespace prefix).
bool InicioNomeXML(unsigned char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_' || (c >= 0xC0 && c <= 0xD6) ||
           (c >= 0xD8 && c <= 0xF6) || c >= 0xF8;
}

bool ParteNomeXML(unsigned char c) {
    return InicioNomeXML(c) || (c >= '0' && c <= '9') || c == '-' || c == '.' || c == 0xB7;
}

// Characters a title may hold that the element names always turn into "_".
bool TrocadoNoNome(char c) { return c == ' ' || c == '+' || c == '.' || c == '/' || c == ':' || c == '<' || c == '>'; }

} // namespace

std::string NomeTagXML(std::string_view nome) {
    if (nome.empty()) return "_";
    std::string r;
    std::size_t i = 0;
    const auto primeiro = static_cast<unsigned char>(nome[0]);
    if (primeiro >= 'A' && primeiro <= 'z' && InicioNomeXML(primeiro)) {
        r += nome[0];
        i = 1;
    } else {
        r += '_';
    }
    for (; i < nome.size(); ++i) {
        const char c = nome[i];
        r += (TrocadoNoNome(c) || !ParteNomeXML(static_cast<unsigned char>(c))) ? '_' : c;
    }
    return r;
}

namespace {

// Markup text: '&', '<' and '>' escaped, control characters but TAB as blanks;
// with `referencias`, the bytes 0x80-0x9F as character references.
std::string Escapa(std::string_view s, bool referencias) {
    std::string r;
    r.reserve(s.size());
    for (char c : s) {
        const auto b = static_cast<unsigned char>(c);
        if (c == '&')
            r += "&amp;";
        else if (c == '<')
            r += "&lt;";
        else if (c == '>')
            r += "&gt;";
        else if (referencias && b >= 0x80 && b <= 0x9F)
            r += "&#" + std::to_string(static_cast<std::uint32_t>(CodigoUnicode1252(b))) + ";";
        else if (b < 0x20 && c != '\t')
            r += ' ';
        else
            r += c;
    }
    return r;
}

} // namespace

std::string TextoXML(std::string_view s) { return Escapa(s, true); }

void GravaXML(const TabelaResultados& t, const std::string& arquivo, const std::vector<std::string>& log) {
    SaidaTexto s(arquivo);
    s.Linha("<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>");
    s.Linha("<Tabela>");
    s.Linha("  <Titulo1>" + TextoXML(t.Titulo1) + "</Titulo1>");
    s.Linha("  <Titulo2>" + TextoXML(t.Titulo2) + "</Titulo2>");
    s.Linha("  <Rodape>" + TextoXML(t.Rodape) + "</Rodape>");
    s.Linha("  <NomeMapa>" + TextoXML(t.NomeMapa) + "</NomeMapa>");
    if (!log.empty()) {
        s.Linha("<Log>");
        for (const std::string& l : log)
            s.Linha(TextoXML(l));
        s.Linha("</Log>");
    }
    for (std::int32_t k = 1; k <= t.NumNotas(); ++k) {
        const Nota& n = t.Notas(k);
        s.Linha("  <Nota Numero=\"" + std::to_string(k) + "\" Linha=\"" + std::to_string(n.Linha) + "\" Coluna=\"" +
                std::to_string(n.Coluna) + "\">" + TextoXML(SemCaractere(n.Texto, ';')) + "</Nota>");
    }
    std::vector<std::string> tags;
    for (std::int32_t c = 1; c <= t.NumColunas(); ++c)
        tags.push_back(NomeTagXML(t.NomeColuna(c)));
    const bool comCodigo = t.TamCodigo != SemCodigo;
    for (std::int32_t r = 1; r <= t.NumLinhas; ++r) {
        s.Linha("  <Linha>");
        const std::string& rotulo = t.Rotulo(r);
        if (comCodigo) {
            s.Linha("    <Codigo>" + TextoXML(CodigoDoRotulo(t, rotulo)) + "</Codigo>");
            s.Linha("    <Nome>" + TextoXML(NomeDoRotulo(t, rotulo)) + "</Nome>");
        } else {
            s.Linha("    <Nome>" + TextoXML(rotulo) + "</Nome>");
        }
        for (std::int32_t c = 1; c <= t.NumColunas(); ++c) {
            const std::string& tag = tags[static_cast<std::size_t>(c - 1)];
            s.Linha("    <" + tag + ">" + NumeroPlano(t.Dado(c, r), t.Coluna(c).Decimais, "") + "</" + tag + ">");
        }
        s.Linha("  </Linha>");
    }
    s.Linha("</Tabela>");
    s.Fim();
}

// ---- XHTML ------------------------------------------------------------------

namespace {

// Page text: markup characters escaped, accented letters as named entities
// (the page declares code page 1252, so 0x80-0x9F stand as they are).
std::string TextoHTML(std::string_view s) { return ParaHTML(Escapa(s, false)); }

// Zero shows as "-", other values in the user's grouped form.
std::string ValorHTML(double v, const ColunaResultados& c) {
    if (!std::isfinite(v)) return {};
    if (v == 0) return "-";
    return DeQString(NumeroUsuario(v, c.Decimais));
}

std::string MarcaNota(const TabelaResultados& t, std::int32_t linha, std::int32_t coluna) {
    std::int32_t n = 0;
    if (!AchaNota(t, linha, coluna, n)) return {};
    const std::string k = std::to_string(n);
    return "<a href=\"#" + k + "\"><font size=\"-2\">(" + k + ")</font></a>";
}

// Copies the lines of a page fragment the user keeps beside the pages; a missing
// file adds nothing.
void CopiaModelo(SaidaTexto& s, const std::string& pasta, const char* nome, std::size_t maximo) {
    const std::string achado = ResolveNome((pasta.empty() ? std::string(".") : pasta) + "/" + nome);
    if (achado.empty()) return;
    const std::string conteudo = LeArquivoInteiro(achado);
    std::size_t i = 0;
    while (i < conteudo.size()) {
        std::size_t f = conteudo.find('\n', i);
        std::size_t fim = f == std::string::npos ? conteudo.size() : f;
        std::string_view linha(conteudo.data() + i, fim - i);
        if (!linha.empty() && linha.back() == '\r') linha.remove_suffix(1);
        s.Linha(linha.substr(0, maximo));
        i = f == std::string::npos ? conteudo.size() : f + 1;
    }
}

} // namespace

void GravaHTML(const TabelaResultados& t, const std::string& arquivo, const std::string& pastaModelos) {
    Rastro("HTML");
    SaidaTexto s(arquivo);
    s.Linha("<!DOCTYPE html PUBLIC \"-//W3C//DTD XHTML 1.0 Transitional//EN\" "
            "\"http://www.w3.org/TR/xhtml1/DTD/xhtml1-transitional.dtd\">");
    s.Linha("<html>");
    s.Linha("<head>");
    s.Linha("<title>" + TextoHTML(t.Titulo1) + "</title>");
    s.Linha("<meta http-equiv=\"Content-Type\" content=\"text/html; charset=windows-1252\" />");
    s.Linha("</head>");
    s.Linha("<body bgcolor=\"#FFFFFF\">");
    CopiaModelo(s, pastaModelos, "inicio.htm", 255);
    s.Linha("<center>");
    s.Linha("<h1 align=\"center\">");
    s.Linha(TextoHTML(t.Titulo1));
    s.Linha("</h1>");
    s.Linha("<h2 align=\"center\">");
    s.Linha(TextoHTML(t.Titulo2));
    s.Linha("</h2>");
    s.Linha();
    s.Linha("<table width=100%>");

    s.Linha("<tr align=\"right\" bgcolor=\"#C0C0C0\">");
    std::string linha = "<th align=\"left\">" + TextoHTML(t.NomeColuna(0)) + "</th>";
    for (std::int32_t c = 1; c <= t.NumColunas(); ++c)
        linha += "<td>" + MarcaNota(t, 0, c) + TextoHTML(t.NomeColuna(c)) + "</td>";
    s.Linha(linha);
    s.Linha("</tr>");

    s.Linha("<tr align=\"right\">");
    linha = "<th align=\"left\"> TOTAL </th>";
    for (std::int32_t c = 1; c <= t.NumColunas(); ++c)
        linha += "<td>" + MarcaNota(t, LinhaTotais, c) + ValorHTML(t.Coluna(c).Total, t.Coluna(c)) + "</td>";
    s.Linha(linha);
    s.Linha("</tr>");

    for (std::int32_t k = 1; k <= t.NumLinhas; ++k) {
        const std::int32_t r = t.OrdemDecrescente ? t.Ordem(t.NumLinhas - k + 1) : t.Ordem(k);
        s.Linha("<tr align=\"right\">");
        linha = "<th align=\"left\">" + TextoHTML(t.Rotulo(r)) + MarcaNota(t, r, 0) + "</th>";
        for (std::int32_t c = 1; c <= t.NumColunas(); ++c)
            linha += "<td>" + MarcaNota(t, r, c) + ValorHTML(t.Dado(c, r), t.Coluna(c)) + "</td>";
        s.Linha(linha);
        s.Linha("</tr>");
    }
    s.Linha("</table>");
    s.Linha("</center>");
    s.Linha("<p />");
    if (!t.Rodape.empty()) s.Linha(TextoHTML(t.Rodape) + "<p />");
    s.Linha("<font size=\"-1\">");
    for (std::int32_t k = 1; k <= t.NumNotas(); ++k) {
        const std::string n = std::to_string(k);
        s.Linha("<a name=\"" + n + "\">(" + n + ")</a>" + TextoHTML(t.Notas(k).Texto) + "<br />");
    }
    s.Linha("</font>");
    CopiaModelo(s, pastaModelos, "termino.htm", std::string::npos);
    s.Linha("</body>");
    s.Linha("</html>");
    s.Fim();
}

} // namespace dorvan

#include "query/ArquivoConsulta.h"

#include "analysis/LiteralR.h"
#include "data/LeXML.h"
#include "platform/Arquivos.h"
#include "platform/Erros.h"
#include "platform/Mensagens.h"
#include "platform/Texto.h"
#include "platform/Texto1252.h"

#include <QString>
#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <fstream>

namespace dorvan {

namespace {

constexpr const char* FimLinha = "\r\n";

std::string Junta(const std::vector<std::string>& linhas) {
    std::string r;
    for (std::size_t i = 0; i < linhas.size(); ++i) {
        if (i) r += FimLinha;
        r += linhas[i];
    }
    return r;
}

// The first n lines of a file, without reading the rest.
std::vector<std::string> PrimeirasLinhas(const std::string& arquivo, int n) {
    std::ifstream f(arquivo, std::ios::binary);
    if (!f) throw ErroES::DoSistema(arquivo, errno);
    std::vector<std::string> r;
    std::string l;
    while (static_cast<int>(r.size()) < n && std::getline(f, l)) {
        if (!l.empty() && l.back() == '\r') l.pop_back();
        r.push_back(l);
    }
    return r;
}

} // namespace

std::vector<std::string> SeparaLinhas(const std::string& texto) {
    std::vector<std::string> r;
    std::string l;
    for (std::size_t i = 0; i < texto.size(); ++i) {
        char c = texto[i];
        if (c == '\r' || c == '\n') {
            if (c == '\r' && i + 1 < texto.size() && texto[i + 1] == '\n') ++i;
            r.push_back(std::move(l));
            l.clear();
        } else {
            l += c;
        }
    }
    if (!l.empty()) r.push_back(std::move(l));
    return r;
}

void GravaConsultaSQL(const std::string& arquivo, const ConsultaSalva& c) {
    std::string s = "#" + c.titulo + FimLinha + "#" + c.alias + FimLinha + "#" + c.parametro + FimLinha;
    for (const auto& l : c.linhas) s += l + FimLinha;
    GravaArquivoInteiro(arquivo, s);
}

ConsultaSalva LeConsultaSQL(const std::string& arquivo) {
    std::vector<std::string> linhas = SeparaLinhas(LeArquivoInteiro(arquivo));
    ConsultaSalva c;
    std::string* campos[] = {&c.titulo, &c.alias, &c.parametro};
    std::size_t cabecalho = 0;
    while (cabecalho < 3 && cabecalho < linhas.size() && !linhas[cabecalho].empty() && linhas[cabecalho][0] == '#') {
        *campos[cabecalho] = linhas[cabecalho].substr(1);
        ++cabecalho;
    }
    c.linhas.assign(linhas.begin() + static_cast<std::ptrdiff_t>(cabecalho), linhas.end());
    return c;
}

void GravaConsultaXML(const std::string& arquivo, const ConsultaSalva& c) {
    std::string s = std::string("<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>") + FimLinha + "<Consulta>" + FimLinha +
                    "<Titulo>" + c.titulo + "</Titulo>" + FimLinha + "<Database>" + c.alias + "</Database>" + FimLinha +
                    "<SQL>" + Junta(c.linhas) + FimLinha + "</SQL>" + FimLinha;
    if (!TiraBrancos(c.parametro).empty()) s += "<Param>" + c.parametro + "</Param>" + FimLinha;
    s += std::string("</Consulta>") + FimLinha;
    GravaArquivoInteiro(arquivo, s);
}

ConsultaSalva LeConsultaXML(const std::string& arquivo) {
    const std::string texto = LeArquivoTexto(arquivo);
    ConsultaSalva c;
    c.titulo = TextoDaTag("Titulo", texto);
    c.parametro = TextoDaTag("Param", texto);
    c.alias = TextoDaTag("Database", texto);
    c.linhas = SeparaLinhas(TextoDaTag("SQL", texto));
    return c;
}

void GravaScriptR(const std::string& arquivo, const ConsultaSalva& c, const std::string& driver) {
    if (!TiraBrancos(c.parametro).empty())
        MensagensAtuais().Mostra(c.parametro + ": Par\xE2metro de texto n\xE3o suportado por RODBC");
    if (driver.find("ODBC") == std::string::npos)
        MensagensAtuais().Mostra("Driver=" + driver + " :Somente \"Alias\" do tipo ODBC podem ser acessados pelo R");
    // R reads a double quote as the end of the query text; SQL takes single quotes alike.
    std::string sql;
    for (char ch : Junta(c.linhas)) {
        if (ch == '"')
            sql += '\'';
        else if (ch == '\\')
            sql += "\\\\";
        else
            sql += ch;
    }
    std::string s;
    auto linha = [&](const std::string& l) { s += l + FimLinha; };
    linha("library(RODBC)");
    linha("titulo=" + LiteralR(TiraBrancos(c.titulo)));
    linha("rodape=" + LiteralR("Executado sobre " + c.alias));
    linha("db = odbcConnect(" + LiteralR(c.alias) + ")");
    linha("tabela = sqlQuery(db,\"" + sql + "\")");
    linha("odbcClose(db)");
    linha("rownames(tabela) = tabela[,1]");
    linha("tabela=tabela[2:length(tabela)]");
    // R reads its scripts as UTF-8.
    GravaArquivoInteiro(arquivo, ParaUtf8(s));
}

bool GravaConsultaPorExtensao(const std::string& arquivo, const ConsultaSalva& c, const std::string& driver) {
    const std::string ext = MaiusculasAscii(std::filesystem::path(arquivo).extension().string());
    if (ext == ".SQL")
        GravaConsultaSQL(arquivo, c);
    else if (ext == ".XML")
        GravaConsultaXML(arquivo, c);
    else if (ext == ".R")
        GravaScriptR(arquivo, c, driver);
    else
        return false;
    return true;
}

ConsultaSalva LeConsultaPorExtensao(const std::string& arquivo) {
    const std::string ext = MaiusculasAscii(std::filesystem::path(arquivo).extension().string());
    return ext == ".SQL" ? LeConsultaSQL(arquivo) : LeConsultaXML(arquivo);
}

std::string TituloDoArquivo(const std::string& arquivo) {
    const std::string ext = MaiusculasAscii(std::filesystem::path(arquivo).extension().string());
    if (ext == ".SQL") {
        auto l = PrimeirasLinhas(arquivo, 1);
        return !l.empty() && !l[0].empty() && l[0][0] == '#' ? l[0].substr(1) : std::string();
    }
    if (ext == ".XML") {
        auto l = PrimeirasLinhas(arquivo, 3);
        return l.size() == 3 ? TextoDaTag("Titulo", l[2]) : std::string();
    }
    return {};
}

std::vector<ItemConsulta> ListaConsultas(const std::string& pasta) {
    std::vector<ItemConsulta> r;
    for (const auto& nome : ListaArquivos(pasta, "*.??l")) {
        std::string titulo;
        try {
            titulo = TituloDoArquivo((std::filesystem::path(pasta.empty() ? "." : pasta) / nome).string());
        } catch (const ErroES&) {
            continue;
        }
        if (titulo.empty()) continue;
        r.push_back({titulo + " [" + DeUtf8(nome) + "]", nome});
    }
    std::stable_sort(r.begin(), r.end(), [](const ItemConsulta& a, const ItemConsulta& b) {
        return ParaQString(a.entrada).compare(ParaQString(b.entrada), Qt::CaseInsensitive) < 0;
    });
    return r;
}

} // namespace dorvan

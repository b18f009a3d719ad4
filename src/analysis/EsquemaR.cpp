#include "analysis/EsquemaR.h"

#include "data/LeXML.h"
#include "data/UConvert.h"
#include "platform/Arquivos.h"
#include "platform/Erros.h"
#include "platform/Texto1252.h"

#include <algorithm>

namespace dorvan {

EsquemaR EsquemaDeTexto(const std::string& texto) {
    EsquemaR e;
    e.titulo = TextoDaTag("titulo", texto);
    e.autor = TextoDaTag("autor", texto);
    e.email = TextoDaTag("email", texto);
    e.versao = TextoDaTag("versao", texto);
    e.descricao = TextoDaTag("descricao", texto);
    e.exemplo = TextoDaTag("exemplo", texto);
    e.script = TextoDaTag("script", texto);
    e.colsel = TextoDaTag("colsel", texto);
    e.colsel2 = TextoDaTag("colsel2", texto);
    e.parametro = TextoDaTag("parametro", texto);
    e.parametro2 = TextoDaTag("parametro2", texto);
    return e;
}

EsquemaR LeEsquemaR(const std::string& arquivo) { return EsquemaDeTexto(LeArquivoTexto(arquivo)); }

std::vector<std::string> ListaEsquemasR(const std::string& pasta) {
    std::vector<std::string> itens;
    for (const std::string& nome : ListaArquivos(pasta, "*.rx")) {
        std::string titulo;
        try {
            titulo = LeEsquemaR(pasta + nome).titulo;
        } catch (const ErroES&) {
            // One unreadable file must not hide the rest of the library.
            continue;
        }
        if (!titulo.empty()) itens.push_back(titulo + " [" + DeUtf8(nome) + "]");
    }
    std::stable_sort(itens.begin(), itens.end(), [](const std::string& a, const std::string& b) {
        const std::string ma = ParaMinusculas(a), mb = ParaMinusculas(b);
        return ma != mb ? ma < mb : a < b;
    });
    return itens;
}

std::string ArquivoDoItemR(const std::string& item) {
    const std::size_t i = item.find('[');
    if (i == std::string::npos || i + 1 >= item.size()) return {};
    return item.substr(i + 1, item.size() - i - 2);
}

DetalhesEsquemaR DetalhesDe(const EsquemaR& e) {
    DetalhesEsquemaR d;
    d.autor = "Autor: " + e.autor;
    d.email = e.email;
    d.versao = "Vers\xE3o: " + e.versao;
    d.descricao = e.descricao;
    d.temExemplo = !e.exemplo.empty();
    return d;
}

std::string TituloFormR(const std::string& dirR, const std::string& dirRX) {
    return "R em " + DeUtf8(dirR) + " e Esquemas de an\xE1lise em " + DeUtf8(dirRX);
}

void GravaExemploR(const EsquemaR& e, const std::string& pasta) {
    GravaArquivoInteiro(pasta + "dorvan.out", e.exemplo);
}

} // namespace dorvan

#include "analysis/VisorGraficoR.h"

#include "platform/Arquivos.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <sstream>
#include <string_view>
#include <system_error>

namespace dorvan {

namespace {

constexpr const char* ExtensoesGrafico[] = {".svg", ".png"};

bool ExisteGrafico(const std::string& pasta, int n) {
    char legenda[8];
    std::snprintf(legenda, sizeof legenda, "%02d", n);
    return !ArquivoGraficoR(pasta, legenda).empty();
}

std::string ExtensaoMaiuscula(const std::string& arquivo) {
    return MaiusculasAscii(std::filesystem::path(arquivo).extension().string());
}

} // namespace

std::string NomeGraficoR(const std::string& pasta, const std::string& legenda, const char* extensao) {
    return pasta + "dorvan" + legenda + extensao;
}

std::string ArquivoGraficoR(const std::string& pasta, const std::string& legenda) {
    for (const char* ext : ExtensoesGrafico) {
        const std::string nome = ResolveNome(NomeGraficoR(pasta, legenda, ext));
        if (!nome.empty()) return nome;
    }
    return {};
}

std::vector<std::string> GraficosR(const std::string& pasta) {
    std::vector<std::string> r;
    for (const char* ext : ExtensoesGrafico)
        for (std::string& nome : ListaArquivos(pasta, std::string("dorvan??") + ext))
            r.push_back(std::move(nome));
    return r;
}

std::string SvgParaDesenho(const std::string& svg) {
    // Only svglite's pictures lean on their style sheet for these defaults.
    if (svg.find("class='svglite'") == std::string::npos && svg.find("class=\"svglite\"") == std::string::npos)
        return svg;
    static constexpr std::string_view Formas[] = {"line", "polyline", "polygon", "path", "rect", "circle"};
    // The background is a rectangle of 100 % of the picture, a size the renderer
    // does not take: it gets the picture's own width and height.
    std::string fundo = "width='100%' height='100%'";
    const std::size_t vb = svg.find("viewBox='");
    if (vb != std::string::npos) {
        std::istringstream caixa(svg.substr(vb + 9, svg.find('\'', vb + 9) - (vb + 9)));
        std::string x, y, largura, altura;
        if (caixa >> x >> y >> largura >> altura) fundo = "width='" + largura + "' height='" + altura + "'";
    }
    static constexpr std::string_view Padrao = " fill='none' stroke='#000000' stroke-linecap='round'"
                                               " stroke-linejoin='round' stroke-miterlimit='10'";
    std::string r;
    r.reserve(svg.size() + svg.size() / 4);
    std::size_t i = 0;
    while (i < svg.size()) {
        const std::size_t lt = svg.find('<', i);
        if (lt == std::string::npos) break;
        r.append(svg, i, lt + 1 - i);
        i = lt + 1;
        for (std::string_view forma : Formas) {
            const std::size_t fim = i + forma.size();
            if (svg.compare(i, forma.size(), forma) == 0 && fim < svg.size() &&
                (svg[fim] == ' ' || svg[fim] == '/' || svg[fim] == '>' || svg[fim] == '\n')) {
                r.append(forma);
                r.append(Padrao);
                i = fim;
                break;
            }
        }
    }
    r.append(svg, i, std::string::npos);
    for (std::size_t p = r.find("width='100%' height='100%'"); p != std::string::npos;
         p = r.find("width='100%' height='100%'", p + fundo.size()))
        r.replace(p, 26, fundo);
    return r;
}

BotoesGraficoR EstadoBotoesGraficoR(const std::string& pasta) {
    BotoesGraficoR b;
    b.ativo.fill(true);
    if (ExisteGrafico(pasta, 2)) {
        b.visivel[0] = b.visivel[1] = true;
        b.ativo[0] = false;
    }
    for (int n = 3; n <= 9; ++n)
        b.visivel[static_cast<std::size_t>(n - 1)] = ExisteGrafico(pasta, n);
    b.mais = ExisteGrafico(pasta, 10);
    return b;
}

QuadroImpressao QuadroImpressaoGrafico(int larguraPagina, int alturaPagina) {
    QuadroImpressao q;
    q.lado = std::max(0, std::min(larguraPagina, alturaPagina) - 100);
    q.esquerda = (larguraPagina - q.lado) / 2;
    q.topo = (alturaPagina - q.lado) / 2;
    return q;
}

TipoFiguraR TipoFiguraPorNome(const std::string& arquivo) {
    const std::string ext = ExtensaoMaiuscula(arquivo);
    if (ext == ".SVG" || ext == ".WMF" || ext == ".EMF") return TipoFiguraR::Vetorial;
    if (ext == ".PNG" || ext == ".BMP") return TipoFiguraR::Bitmap;
    return TipoFiguraR::Nenhum;
}

std::string NomeParaSalvar(const std::string& escolhido, TipoFiguraR tipo) {
    if (escolhido.empty() || tipo == TipoFiguraR::Nenhum) return escolhido;
    const char* ext = tipo == TipoFiguraR::Vetorial ? ".svg" : ".png";
    if (ExtensaoMaiuscula(escolhido) == MaiusculasAscii(ext)) return escolhido;
    std::filesystem::path p(escolhido);
    // Metafile names stand for the vector picture; any other extension is kept and
    // the right one added, so nothing typed is lost.
    const std::string atual = ExtensaoMaiuscula(escolhido);
    if (atual == ".WMF" || atual == ".EMF" || atual == ".SVG" || atual == ".PNG" || atual == ".BMP")
        p.replace_extension(ext);
    else
        p += ext;
    return p.string();
}

} // namespace dorvan

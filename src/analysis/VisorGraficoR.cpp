#include "analysis/VisorGraficoR.h"

#include "platform/Arquivos.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <system_error>

namespace dorvan {

namespace {

bool ExisteGrafico(const std::string& pasta, int n) {
    char legenda[8];
    std::snprintf(legenda, sizeof legenda, "%02d", n);
    return !ResolveNome(pasta + ArquivoGraficoR(legenda)).empty();
}

std::string ExtensaoMaiuscula(const std::string& arquivo) {
    return MaiusculasAscii(std::filesystem::path(arquivo).extension().string());
}

} // namespace

std::string ArquivoGraficoR(const std::string& legenda) { return "dorvan" + legenda + ".svg"; }

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

#include "maps/ExportaMapa.h"

#include "data/UConvert.h"
#include "platform/Arquivos.h"
#include "platform/Numeros.h"

#include <cmath>
#include <filesystem>

namespace dorvan {

namespace {

namespace fs = std::filesystem;

constexpr const char* FimLinha = "\r\n";

// Text gathered in memory and handed to the safe writer in large pieces.
class SaidaMapa {
public:
    explicit SaidaMapa(const std::string& nome) : arquivo_(nome) {}
    ~SaidaMapa() {
        if (!confirmado_) arquivo_.Abandona();
    }
    SaidaMapa& operator<<(std::string_view s) {
        buffer_.append(s);
        if (buffer_.size() >= (1u << 16)) Descarrega();
        return *this;
    }
    void Linha(std::string_view s = {}) {
        *this << s;
        *this << FimLinha;
    }
    void Confirma() {
        Descarrega();
        arquivo_.Confirma();
        confirmado_ = true;
    }

private:
    void Descarrega() {
        arquivo_.Escreve(buffer_);
        buffer_.clear();
    }
    GravacaoSegura arquivo_;
    std::string buffer_;
    bool confirmado_ = false;
};

std::string N(float v, int decimais) { return NumeroMaquina(static_cast<double>(v), decimais); }

std::string XY(const PontoMapa& p, int decimais) { return N(p.X, decimais) + "," + N(p.Y, decimais); }

std::string Aspas(const std::string& s) { return "\"" + s + "\""; }

// R string literal: quotes and backslashes escaped so the source always parses.
std::string AspasR(const std::string& s) {
    std::string r = "\"";
    for (char c : s) {
        if (c == '"' || c == '\\') r += '\\';
        r += c;
    }
    return r + "\"";
}

} // namespace

std::string ExtensaoDoFiltroExporta(int indice) {
    switch (indice) {
    case 1:
        return "r";
    case 2:
        return "bnd";
    case 4:
        return "mme";
    default:
        return "bna";
    }
}

std::vector<AnelMapa> AneisExportacao(const RegistroMapa& r) {
    const auto& v = r.Pontos;
    const auto n = static_cast<std::int32_t>(v.size());
    std::vector<AnelMapa> aneis;
    if (n == 0) return aneis;
    std::int32_t inicio = 0;
    bool primeiro = true;
    for (std::int32_t j = 1; j < n; ++j) {
        if (!(v[static_cast<std::size_t>(j)] == v[0])) continue;
        // Ring 1 keeps its closing copy of vertex 1; later rings end before it.
        const std::int32_t fim = primeiro ? j + 1 : j;
        if (fim > inicio) aneis.push_back({inicio, fim - inicio});
        inicio = j + 1;
        primeiro = false;
    }
    if (primeiro) return {{0, n}};
    if (inicio < n) aneis.push_back({inicio, n - inicio});
    return aneis;
}

void ExportaBNA(const std::string& mapa, const std::string& saida) {
    LeitorMapa leitor(mapa);
    SaidaMapa s(saida);
    RegistroMapa r;
    while (leitor.Proximo(r)) {
        s << Aspas(r.Codigo) << "," << Aspas(r.Nome) << ",";
        if (r.Tipo == TipoLinha) s << "-";
        s.Linha(std::to_string(r.Pontos.size()));
        for (const PontoMapa& p : r.Pontos)
            s.Linha(XY(p, 5));
    }
    s.Confirma();
}

void ExportaBND(const std::string& mapa, const std::string& saida) {
    LeitorMapa leitor(mapa);
    SaidaMapa s(saida);
    const CabecalhoMapa& c = leitor.Cabecalho();
    s.Linha("\"_CORNERS\",2");
    s.Linha(N(c.MinX, 5) + "," + N(c.MinY, 5));
    s.Linha(N(c.MaxX, 5) + "," + N(c.MaxY, 5));
    RegistroMapa r;
    while (leitor.Proximo(r)) {
        const std::string nome = Aspas(r.Nome.substr(0, 20));
        for (const AnelMapa& a : AneisExportacao(r)) {
            s.Linha(nome + "," + std::to_string(a.Quantidade));
            for (std::int32_t j = a.Inicio; j < a.Inicio + a.Quantidade; ++j)
                s.Linha(XY(r.Pontos[static_cast<std::size_t>(j)], 5));
        }
    }
    s.Confirma();
}

void ExportaXY(const std::string& mapa, const std::string& saida) {
    LeitorMapa leitor(mapa);
    SaidaMapa s(saida);
    s.Linha("! Map Maker \"XY\" file");
    s.Linha("! generated from " + mapa + " by Dorvan");
    s.Linha("! " + std::string(73, '-'));
    s.Linha("! Each pair of numbers is a simple XY coordinate.");
    s.Linha("DECIMAL DEGREES");
    RegistroMapa r;
    while (leitor.Proximo(r)) {
        for (const AnelMapa& a : AneisExportacao(r)) {
            for (std::int32_t j = a.Inicio; j < a.Inicio + a.Quantidade; ++j) {
                if (j == a.Inicio) s << r.Nome << ",";
                s.Linha(XY(r.Pontos[static_cast<std::size_t>(j)], 6));
            }
        }
    }
    s.Confirma();
}

void ExportaMME(const std::string& mapa, const std::string& saida) {
    std::int64_t registros = 0;
    {
        LeitorMapa contagem(mapa);
        RegistroMapa r;
        while (contagem.Proximo(r))
            ++registros;
    }
    LeitorMapa leitor(mapa);
    SaidaMapa s(saida);
    const CabecalhoMapa& c = leitor.Cabecalho();
    s.Linha("[header]");
    s.Linha("objects=" + std::to_string(registros));
    s.Linha("min x=" + N(c.MinX, 6));
    s.Linha("min y=" + N(c.MinY, 6));
    s.Linha("max x=" + N(c.MaxX, 6));
    s.Linha("max y=" + N(c.MaxY, 6));
    s.Linha(MapaGeografico(c) ? "units=degrees" : "units=metres");
    auto vertices = [&s](const RegistroMapa& r, std::int32_t inicio, std::int32_t quantidade) {
        s.Linha("coordinates=" + std::to_string(quantidade));
        for (std::int32_t j = 0; j < quantidade; ++j)
            s.Linha(std::to_string(j + 1) + "=" + XY(r.Pontos[static_cast<std::size_t>(inicio + j)], 6));
    };
    RegistroMapa r;
    std::int64_t k = 0;
    while (leitor.Proximo(r)) {
        ++k;
        const std::vector<AnelMapa> aneis = AneisExportacao(r);
        s.Linha();
        s.Linha("[object " + std::to_string(k) + "]");
        if (aneis.size() <= 1 || r.Tipo == TipoLinha || r.Tipo == TipoPonto) {
            s.Linha(r.Tipo == TipoLinha ? "type=line" : r.Tipo == TipoPonto ? "type=point" : "type=polygon");
            s.Linha("id=" + r.Codigo);
            s.Linha("name=" + r.Nome);
            s.Linha("style=0");
            vertices(r, 0, static_cast<std::int32_t>(r.Pontos.size()));
            continue;
        }
        s.Linha("type=complex polygon");
        s.Linha("loops=" + std::to_string(aneis.size()));
        s.Linha("id=" + r.Codigo);
        s.Linha("name=" + r.Nome);
        s.Linha("style=0");
        for (std::size_t m = 0; m < aneis.size(); ++m) {
            s.Linha();
            s.Linha("[object " + std::to_string(k) + "-loop " + std::to_string(m + 1) + "]");
            vertices(r, aneis[m].Inicio, aneis[m].Quantidade);
        }
    }
    s.Confirma();
}

void ExportaR(const std::string& mapa, const std::string& saida) {
    LeitorMapa leitor(mapa);
    SaidaMapa s(saida);
    const CabecalhoMapa c = leitor.Cabecalho();
    s.Linha("\"" + ParaMinusculas(fs::path(mapa).filename().string()) + "\" <- structure(list(");
    std::vector<std::string> codigos, nomes;
    std::vector<PontoMapa> rotulos;
    bool sede = false;
    RegistroMapa r;
    bool primeiroRegistro = true;
    while (leitor.Proximo(r)) {
        codigos.push_back(r.Codigo);
        nomes.push_back(r.Nome);
        rotulos.push_back({r.RotuloX, r.RotuloY});
        sede = sede || r.Tipo == TipoPoligono2;
        const auto& v = r.Pontos;
        const std::size_t n = v.size();
        // Ring ends become NA so R draws the rings apart; the copy of vertex 1 that
        // closes the last ring is not needed then.
        bool fimDeAnel = false;
        for (std::size_t j = 1; j + 1 < n; ++j)
            if (v[j] == v[0]) fimDeAnel = true;
        const std::size_t m = n + (fimDeAnel && !(v[n - 1] == v[0]) ? 1 : 0);
        if (!primeiroRegistro) s.Linha(",");
        primeiroRegistro = false;
        s << "structure(c(";
        bool primeiroValor = true;
        for (int coord = 0; coord < 2; ++coord) {
            bool visto = false;
            for (std::size_t j = 0; j < n; ++j) {
                std::string valores;
                auto acrescenta = [&](const std::string& x) {
                    if (!primeiroValor) valores += ",";
                    valores += x;
                    primeiroValor = false;
                };
                const std::string valor = N(coord == 0 ? v[j].X : v[j].Y, 5);
                if (j != 0 && j + 1 != n && v[j] == v[0]) {
                    if (!visto) acrescenta(valor);
                    acrescenta("NA");
                    visto = true;
                } else if (j + 1 == n && n > 1) {
                    if (!(visto && v[j] == v[0])) acrescenta(valor);
                } else {
                    acrescenta(valor);
                }
                s << valores;
                if ((j + 1) % 6 == 0 && j + 1 < n) s << FimLinha;
            }
        }
        s << "), .Dim = c(" << std::to_string(m) << ", 2))";
    }
    s.Linha();
    s << "), region.id = c(";
    for (std::size_t i = 0; i < codigos.size(); ++i) {
        if (i > 0) s << (i % 4 == 0 ? std::string(",") + FimLinha : std::string(", "));
        s << AspasR(codigos[i]);
    }
    s.Linha(")");
    s << ", class = \"polylist\", maplim = structure(list(x = c(" << N(c.MinX, 5) << ", " << N(c.MaxX, 5) << "), y = c("
      << N(c.MinY, 5) << ", " << N(c.MaxY, 5) << ")))";
    s.Linha();
    auto lista = [&](bool x) {
        for (std::size_t i = 0; i < rotulos.size(); ++i) {
            if (i > 0) s << ",";
            if (i == 1 || (i > 1 && i % 6 == 1)) s << FimLinha;
            s << N(x ? rotulos[i].X : rotulos[i].Y, 5);
        }
    };
    s << ", centroid = structure(list(x = c(";
    lista(true);
    s << "), y = c(";
    lista(false);
    s.Linha(")))");
    s << ", region.name = c(";
    for (std::size_t i = 0; i < nomes.size(); ++i) {
        if (i > 0) s << (i % 3 == 0 ? std::string(",") + FimLinha : std::string(", "));
        s << AspasR(nomes[i]);
    }
    s.Linha(")");
    s.Linha(sede ? ", sede = TRUE" : ", sede = FALSE");
    s.Linha(")");
    s.Confirma();
}

bool ExportaMapaBase(const std::string& mapa, const std::string& saida) {
    const std::string ext = MaiusculasAscii(fs::path(saida).extension().string());
    if (ext == ".BNA")
        ExportaBNA(mapa, saida);
    else if (ext == ".BND")
        ExportaBND(mapa, saida);
    else if (ext == ".XY")
        ExportaXY(mapa, saida);
    else if (ext == ".MME")
        ExportaMME(mapa, saida);
    else if (ext == ".R")
        ExportaR(mapa, saida);
    else
        return false;
    return true;
}

} // namespace dorvan

// Shapefiles: the geometry (.SHP) record by record beside the rows of its .DBF.
// Every part of a polyline or polygon becomes one record with the row's code and name.
#include "maps/ImportaComum.h"

#include "data/Binario.h"
#include "data/LeDBF32.h"
#include "data/UConvert.h"
#include "platform/Arquivos.h"
#include "platform/Erros.h"
#include "platform/Mensagens.h"
#include "table/Configuracao.h"

#include <cerrno>
#include <cstring>
#include <filesystem>

namespace dorvan {

using namespace importa;

namespace {

std::int32_t I32(const unsigned char* p) { return static_cast<std::int32_t>(Le32(p)); }

std::int32_t I32Grande(const unsigned char* p) {
    return static_cast<std::int32_t>((static_cast<std::uint32_t>(p[0]) << 24) | (p[1] << 16) | (p[2] << 8) | p[3]);
}

double F64(const unsigned char* p) {
    std::uint64_t u = 0;
    for (int i = 7; i >= 0; --i)
        u = (u << 8) | p[i];
    double d;
    std::memcpy(&d, &u, 8);
    return d;
}

std::string SemBrancosFinais(std::string s) {
    while (!s.empty() && s.back() == ' ')
        s.pop_back();
    return s;
}

// Closes the attribute file on every way out.
struct FechaDBF {
    dbfRecord& h;
    ~FechaDBF() {
        if (h.Estado != 0) try {
                CloseDBF(h);
            } catch (...) {
            }
    }
};

} // namespace

std::string ImportaSHP(const std::string& arquivo, const EscolheNomeFn& escolhe) {
    const std::string dados = LeArquivoInteiro(arquivo);
    const auto* b = reinterpret_cast<const unsigned char*>(dados.data());
    const std::size_t tam = dados.size();
    auto falha = [&](std::size_t pos, const std::string& motivo) {
        throw ErroES(arquivo, "byte " + std::to_string(pos) + ": " + motivo);
    };
    if (tam < 100)
        falha(tam, "cabe\xE7"
                   "alho incompleto");
    const std::int32_t tipoArquivo = I32(b + 32);
    if (tipoArquivo != 1 && tipoArquivo != 3 && tipoArquivo != 5) {
        MensagensAtuais().Mostra("ShapeType=" + std::to_string(tipoArquivo) + ": n\xE3o suportado pelo Dorvan");
        return {};
    }
    const std::string nomeDbf = Companheiro(arquivo, ".DBF");
    if (!std::filesystem::exists(nomeDbf)) throw ErroES::DoSistema(nomeDbf, ENOENT);
    dbfRecord h;
    OpenDBF(h, nomeDbf, true);
    if (h.Estado == 0) throw ErroES(nomeDbf, "n\xE3o pode ser aberto");
    FechaDBF fecha{h};
    // Rows pair with shapes one by one: a DBF cut short would end the map early
    // with no word said.
    ExigeTodosOsRegistros(h);

    CabecalhoMapa c;
    c.MinX = static_cast<float>(F64(b + 36));
    c.MinY = static_cast<float>(F64(b + 44));
    c.MaxX = static_cast<float>(F64(b + 52));
    c.MaxY = static_cast<float>(F64(b + 60));

    std::vector<std::string> candidatos;
    for (const CampoDBF& campo : h.Campos)
        candidatos.push_back(campo.Nome);
    const EscolhaCampos e = Escolhe(escolhe, candidatos, PadraoDoisPrimeiros(candidatos.size(), false));
    bool separa = false;
    if (e.Codigo == e.Nome && e.Codigo >= 0 && static_cast<std::size_t>(e.Codigo) < candidatos.size())
        separa = MensagensAtuais().SimOuNao("&Aten\xE7\xE3o: separa at\xE9 o primeiro espa\xE7o!",
                                            "Extrair geoc\xF3"
                                            "digo de conte\xFA"
                                            "do do campo " +
                                                candidatos[static_cast<std::size_t>(e.Codigo)] + "?");
    const bool cp850 = TextoEmCP850(h, ConfiguracaoAtual().DBFcomCP850);
    auto campo = [&](int i) {
        return i >= 0 && i < h.NumCampos ? SemBrancosFinais(GetFieldDBF(h, i + 1)) : std::string();
    };

    const std::string saida = NomeMapaSaida(arquivo);
    GravadorMapa g(saida, c);
    std::size_t pos = 100;
    for (std::int64_t reg = 1; reg <= h.NumRegs; ++reg) {
        readDBF(h, reg);
        RegistroMapa r;
        if (separa) {
            const std::string t = campo(e.Codigo);
            const std::size_t branco = t.find(' ');
            if (branco == std::string::npos) {
                r.Nome = t;
            } else {
                r.Codigo = t.substr(0, branco + 1);
                r.Nome = t.substr(branco + 1);
            }
        } else {
            std::string codigo = campo(e.Codigo);
            if (codigo.size() > 10) codigo.erase(0, 7);
            r.Codigo = codigo;
            r.Nome = campo(e.Nome);
        }
        CortaTextos(r);
        if (cp850) r.Nome = OemParaAnsi(r.Nome);

        const std::size_t inicio = pos;
        if (tam - pos < 12) falha(pos, "registro incompleto");
        const std::int64_t conteudo = 2 * static_cast<std::int64_t>(I32Grande(b + pos + 4));
        if (conteudo < 4 || static_cast<std::uint64_t>(conteudo) > tam - pos - 8) falha(pos, "registro incompleto");
        const std::size_t fimRegistro = pos + 8 + static_cast<std::size_t>(conteudo);
        const std::int32_t tipo = I32(b + pos + 8);
        pos = fimRegistro; // the next record, whatever this one holds
        const unsigned char* p = b + inicio + 12;
        const std::size_t disponivel = fimRegistro - inicio - 12;
        if (tipo == 1) {
            if (disponivel < 16) falha(inicio, "registro incompleto");
            r.Tipo = TipoPonto;
            r.Pontos.push_back({static_cast<float>(F64(p)), static_cast<float>(F64(p + 8))});
            RotuloPelasRegras(r);
            g.Grava(r);
            continue;
        }
        if (tipo != 3 && tipo != 5) continue;
        if (disponivel < 40) falha(inicio, "registro incompleto");
        r.RotuloX = static_cast<float>((F64(p) + F64(p + 16)) / 2);
        r.RotuloY = static_cast<float>((F64(p + 8) + F64(p + 24)) / 2);
        const std::int32_t partes = I32(p + 32);
        const std::int32_t numPontos = I32(p + 36);
        if (partes < 0 || numPontos < 0) falha(inicio, "contagem negativa");
        if (partes > 1500) MensagensAtuais().Mostra("Parts=" + std::to_string(partes));
        const std::size_t bytes = 40 + 4 * static_cast<std::size_t>(partes) + 16 * static_cast<std::size_t>(numPontos);
        if (bytes > disponivel) falha(inicio, "registro incompleto");
        const unsigned char* inicios = p + 40;
        const unsigned char* pontos = inicios + 4 * static_cast<std::size_t>(partes);
        r.Tipo = tipo == 3 ? TipoLinha : TipoPoligono;
        for (std::int32_t k = 0; k < partes; ++k) {
            const std::int32_t de = I32(inicios + 4 * k);
            const std::int32_t ate = k + 1 < partes ? I32(inicios + 4 * (k + 1)) : numPontos;
            if (de < 0 || ate < de || ate > numPontos) falha(inicio, "partes fora de ordem");
            const std::int32_t n = ate - de;
            if (n > MaxPontosMapa)
                MensagensAtuais().Mostra((r.Nome + ":").substr(0, 26) + std::to_string(k + 1) + "=" +
                                         std::to_string(n) + " truncado");
            r.Pontos.clear();
            for (std::int32_t i = de; i < ate && i - de < MaxPontosMapa; ++i) {
                const unsigned char* q = pontos + 16 * static_cast<std::size_t>(i);
                r.Pontos.push_back({static_cast<float>(F64(q)), static_cast<float>(F64(q + 8))});
            }
            g.Grava(r);
        }
    }
    g.Fecha();
    return saida;
}

} // namespace dorvan

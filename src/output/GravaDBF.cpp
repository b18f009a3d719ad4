#include "output/GravaDBF.h"

#include "data/UConvert.h"
#include "output/SaidaTexto.h"
#include "platform/Arquivos.h"
#include "platform/Erros.h"
#include "platform/Mensagens.h"
#include "platform/Texto1252.h"

#include <algorithm>
#include <cmath>
#include <set>

namespace dorvan {

namespace {

constexpr std::size_t MaxNomeCampo = 10;
constexpr std::int32_t MaxLarguraCampo = 255;
constexpr std::int32_t MaxLarguraTexto = 254;
// Decimals a numeric field keeps (the usual limit of dBase readers).
constexpr std::int32_t MaxDecimaisDBF = 15;

std::string NomeCampo(const std::string& titulo, std::set<std::string>& usados, const std::string& padrao) {
    // dBase names begin with a letter; readers rename "1991" on their own otherwise.
    const std::string nome = Identificador(MaiusculasSemAcento(titulo), 'X', MaxNomeCampo, padrao);
    // A second field of the same name could not be told apart by name.
    return NomeUnico(nome, MaxNomeCampo, SufixoNumerico,
                     [&usados](const std::string& n) { return usados.insert(n).second; });
}

std::int32_t DecimaisDBF(const ColunaResultados& c) { return std::clamp(c.Decimais, 0, MaxDecimaisDBF); }

bool ComCodigo(const TabelaResultados& t) { return t.TamCodigo != SemCodigo; }

// The text of a row's label that goes into the label field.
std::string TextoRotulo(const TabelaResultados& t, std::int32_t r) {
    return ComCodigo(t) ? NomeDoRotulo(t, t.Rotulo(r)) : t.Rotulo(r);
}

} // namespace

std::vector<CampoDBF> CamposParaDBF(const TabelaResultados& t, std::string& erro) {
    erro.clear();
    const std::int32_t numCampos = t.NumColunas() + 1 + (ComCodigo(t) ? 1 : 0);
    if (numCampos > MaxCamposDBF) {
        erro = "A tabela precisaria de " + std::to_string(numCampos) +
               " campos; um arquivo DBF comporta no m\xE1ximo " + std::to_string(MaxCamposDBF) + ".";
        return {};
    }
    std::vector<CampoDBF> campos;
    std::set<std::string> usados;
    if (ComCodigo(t)) {
        CampoDBF c;
        c.Nome = NomeCampo("CODIGO", usados, "CODIGO");
        c.Tipo = 'C';
        c.Tamanho = static_cast<std::uint8_t>(std::clamp(t.TamCodigo, 1, MaxLarguraTexto));
        campos.push_back(c);
    }
    // Wide enough for every label, so no label comes back cut.
    std::size_t largura = static_cast<std::size_t>(std::max(1, t.Coluna(0).Largura));
    for (std::int32_t r = 1; r <= t.NumLinhas; ++r)
        largura = std::max(largura, TextoRotulo(t, r).size());
    CampoDBF rotulo;
    rotulo.Nome = NomeCampo(t.NomeColuna(0), usados, "ROTULO");
    rotulo.Tipo = 'C';
    rotulo.Tamanho = static_cast<std::uint8_t>(std::min<std::size_t>(largura, MaxLarguraTexto));
    campos.push_back(rotulo);

    for (std::int32_t c = 1; c <= t.NumColunas(); ++c) {
        const ColunaResultados& col = t.Coluna(c);
        const std::int32_t d = DecimaisDBF(col);
        // The shown width as far as a field holds it (a wide column is no reason to
        // refuse), and wide enough for the widest value, so no number is cut or starred.
        std::int32_t w = std::max({std::min(col.Largura, MaxLarguraCampo), 1, d > 0 ? d + 2 : 1});
        for (std::int32_t r = 1; r <= t.NumLinhas; ++r)
            w = std::max(w,
                         static_cast<std::int32_t>(NumeroPlano(col.Dados[static_cast<std::size_t>(r)], d, "").size()));
        if (w > MaxLarguraCampo) {
            erro = "A coluna " + col.NomeColuna + " tem valores grandes demais para um campo num\xE9rico de DBF.";
            return {};
        }
        CampoDBF campo;
        campo.Nome = NomeCampo(col.NomeColuna, usados, "COLUNA" + std::to_string(c));
        campo.Tipo = 'N';
        campo.Tamanho = static_cast<std::uint8_t>(w);
        campo.Decimais = static_cast<std::uint8_t>(d);
        campos.push_back(campo);
    }
    return campos;
}

bool GravaDBF(const TabelaResultados& t, const std::string& arquivo, bool comCP850) {
    std::string erro;
    const std::vector<CampoDBF> campos = CamposParaDBF(t, erro);
    if (campos.empty()) {
        MensagensAtuais().Mostra(erro);
        return false;
    }
    // The file takes its name only when complete (CloseDBF); a failure on the way
    // leaves what was there.
    dbfRecord dbf;
    CreateDBF(dbf, arquivo, campos, comCP850 ? 2 : 3);
    std::vector<char> registro(dbf.TamRegistro);
    const int primeiroValor = ComCodigo(t) ? 3 : 2;
    for (std::int32_t r = 1; r <= t.NumLinhas; ++r) {
        std::fill(registro.begin(), registro.end(), ' ');
        const std::string& rotulo = t.Rotulo(r);
        const std::string texto = comCP850 ? AnsiParaOem(rotulo) : rotulo;
        if (ComCodigo(t)) {
            PutFieldDBF(dbf, 1, CodigoDoRotulo(t, texto), registro.data());
            PutFieldDBF(dbf, 2, NomeDoRotulo(t, texto), registro.data());
        } else {
            PutFieldDBF(dbf, 1, texto, registro.data());
        }
        for (std::int32_t c = 1; c <= t.NumColunas(); ++c) {
            const ColunaResultados& col = t.Coluna(c);
            // A value that is not a number stays blank, which readers take as missing.
            PutFieldDBF(dbf, primeiroValor + c - 1,
                        NumeroPlano(col.Dados[static_cast<std::size_t>(r)], DecimaisDBF(col), ""), registro.data());
        }
        AppendDBF(dbf, registro.data());
    }
    CloseDBF(dbf);
    return true;
}

} // namespace dorvan

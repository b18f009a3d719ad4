#include "output/GravaCNV.h"

#include "data/UConvert.h"
#include "output/SaidaTexto.h"
#include "platform/Mensagens.h"

#include <algorithm>

#include <set>
#include <vector>

namespace dorvan {

namespace {

constexpr std::size_t LarguraNomeCNV = 50;
constexpr std::size_t MaxNomeSPRING = 8;

// 1 -> "A", 26 -> "Z", 27 -> "AA": numbers for names that may hold letters only.
std::string NumeroEmLetras(std::int32_t n) {
    std::string r;
    while (n > 0) {
        --n;
        r.insert(r.begin(), static_cast<char>('A' + n % 26));
        n /= 26;
    }
    return r;
}

std::string CampoUnico(const std::string& nome, std::set<std::string>& usados) {
    return NomeUnico(nome, MaxNomeSPRING, NumeroEmLetras,
                     [&usados](const std::string& n) { return usados.insert(n).second; });
}

} // namespace

bool GravaCNV(const TabelaResultados& t, const std::string& arquivo) {
    if (t.TamCodigo == SemCodigo) {
        MensagensAtuais().Mostra("Precisa de chave nas linhas para gerar .CNV");
        return false;
    }
    if (t.NumLinhas < 1) {
        // The loader refuses a table of no categories.
        MensagensAtuais().Mostra("A tabela n\xE3o tem linhas: n\xE3o h\xE1 categorias para um arquivo .CNV.");
        return false;
    }
    if (t.NumLinhas > MaxLinhasCNV) {
        MensagensAtuais().Mostra("A tabela tem " + std::to_string(t.NumLinhas) +
                                 " linhas; um arquivo .CNV comporta no m\xE1ximo " + std::to_string(MaxLinhasCNV) +
                                 ".");
        return false;
    }
    for (std::int32_t r = 1; r <= t.NumLinhas; ++r) {
        const std::string codigo = CodigoDoRotulo(t, t.Rotulo(r));
        // ';' would start a comment and ',' separate codes: the loader would read another code.
        if (codigo.find_first_of(";,") != std::string::npos) {
            MensagensAtuais().Mostra("O c\xF3"
                                     "digo \"" +
                                     codigo + "\" da linha " + std::to_string(r) +
                                     " tem ';' ou ',' e n\xE3o pode ir para um arquivo .CNV.");
            return false;
        }
    }
    const auto largura = static_cast<std::size_t>(std::max(t.TamCodigo, 1));
    // Every code as wide as the header says, blanks included.
    auto codigoDaLinha = [&t, largura](std::int32_t r) {
        std::string c = UmaLinha(CodigoDoRotulo(t, t.Rotulo(r)));
        c.resize(largura, ' ');
        return c;
    };
    // Codes up to four characters go to a table indexed by their number, which
    // only digits give one to one; others are looked up as written ("L").
    bool soDigitos = true;
    for (std::int32_t r = 1; r <= t.NumLinhas && soDigitos; ++r) {
        const std::string c = codigoDaLinha(r);
        soDigitos = std::all_of(c.begin(), c.end(), [](char ch) { return ch >= '0' && ch <= '9'; });
    }
    SaidaTexto s(arquivo);
    s.Linha(std::to_string(t.NumLinhas) + " " + std::to_string(t.TamCodigo) +
            (largura <= 4 && !soDigitos ? " L" : ""));
    for (std::int32_t r = 1; r <= t.NumLinhas; ++r) {
        const std::string& rotulo = t.Rotulo(r);
        std::string codigo = codigoDaLinha(r);
        std::string nome = NomeDoRotulo(t, rotulo);
        if (t.MostraCodigo) nome = UmaLinha(CodigoDoRotulo(t, rotulo)) + " " + nome;
        nome = SemCaractere(UmaLinha(nome), ';');
        if (nome.size() > LarguraNomeCNV) nome.resize(LarguraNomeCNV);
        nome.resize(LarguraNomeCNV + 1, ' ');
        std::string numero = std::to_string(r);
        // The loader drops trailing blanks: a ',' keeps those of the code.
        if (codigo.back() == ' ') codigo += ',';
        s.Linha(std::string(7 - numero.size(), ' ') + numero + "  " + nome + codigo);
    }
    s.Fim();
    return true;
}

std::string CategoriaPadraoSPRING(const TabelaResultados& t) { return t.NomeColuna(0); }

std::string NomeCampoSPRING(std::string_view titulo) {
    std::string r;
    for (char c : MaiusculasSemAcento(titulo))
        if ((c >= 'A' && c <= 'Z') || (c == '_' && !r.empty())) r += c;
    if (r.size() > MaxNomeSPRING) r.resize(MaxNomeSPRING);
    return r;
}

void GravaSPRING(const TabelaResultados& t, const std::string& arquivo, const std::string& categoria) {
    std::set<std::string> usados = {"T_KEY", "T_NAME"};
    // Titles made only of digits (years) would give no name at all.
    auto nome = [&usados](const std::string& titulo, const std::string& padrao) {
        std::string n = NomeCampoSPRING(titulo);
        return CampoUnico(n.empty() ? padrao : n, usados);
    };
    SaidaTexto s(arquivo);
    s.Linha("TABLE");
    s.Linha("INFO");
    s.Linha("// " + UmaLinha(t.Titulo1));
    s.Linha("// " + UmaLinha(t.Titulo2));
    s.Linha("// " + UmaLinha(t.Rodape));
    s.Linha("// " + UmaLinha(t.NomeMapa));
    s.Linha("SEPARATOR ,");
    s.Linha("UNFORMATED");
    s.Linha("DATABASE Dorvan");
    s.Linha("CATEGORY_OBJ " + UmaLinha(categoria));
    s.Linha("T_KEY,TEXT,32,0");
    s.Linha("T_NAME,TEXT,32,0");
    s.Linha(nome(t.NomeColuna(0), "NOME") + ",CHAR," + std::to_string(t.Coluna(0).Largura) + ",0");
    for (std::int32_t c = 1; c <= t.NumColunas(); ++c) {
        const ColunaResultados& col = t.Coluna(c);
        s.Linha(nome(col.NomeColuna, "COL" + NumeroEmLetras(c)) + ",FLOAT," + std::to_string(col.Largura) + "," +
                std::to_string(col.Decimais));
    }
    s.Linha("INFO_END");
    for (std::int32_t r = 1; r <= t.NumLinhas; ++r) {
        const std::string rotulo = UmaLinha(SemCaractere(t.Rotulo(r), ','));
        const std::string codigo = CodigoDoRotulo(t, rotulo);
        s.Linha(
            codigo + "," + codigo + "," + NomeDoRotulo(t, rotulo) +
            Valores(t, r, ",", [](double v, const ColunaResultados& col) { return NumeroPlano(v, col.Decimais, ""); }));
    }
    s.Linha("END");
    s.Linha("END");
    s.Fim();
}

} // namespace dorvan

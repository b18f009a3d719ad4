#include "query/AuxiliosSQL.h"

#include "data/UConvert.h"

namespace dorvan {

namespace {

bool LetraDeNome(char c) {
    const auto u = static_cast<unsigned char>(c);
    return (u >= '0' && u <= '9') || (u >= 'A' && u <= 'Z') || (u >= 'a' && u <= 'z') || u == '_' || u >= 0xC0;
}

// True when palavra occurs in texto with no name character on either side.
bool TemPalavra(const std::string& texto, const std::string& palavra) {
    if (palavra.empty()) return false;
    for (std::size_t p = texto.find(palavra); p != std::string::npos; p = texto.find(palavra, p + 1)) {
        const bool antes = p == 0 || !LetraDeNome(texto[p - 1]);
        const std::size_t f = p + palavra.size();
        const bool depois = f >= texto.size() || !LetraDeNome(texto[f]);
        if (antes && depois) return true;
    }
    return false;
}

// Line of the first occurrence of the lower-case word, or -1.
int LinhaCom(const std::vector<std::string>& linhas, const std::string& palavra) {
    // Searched in the whole text: an occurrence may span a line end.
    std::string texto;
    std::vector<std::size_t> inicio;
    for (const auto& l : linhas) {
        inicio.push_back(texto.size());
        texto += ParaMinusculas(l) + "\n";
    }
    const std::size_t p = texto.find(palavra);
    if (p == std::string::npos) return -1;
    int n = 0;
    for (std::size_t i = 0; i < inicio.size(); ++i)
        if (inicio[i] <= p) n = static_cast<int>(i);
    return n;
}

} // namespace

std::string TiraExtensaoDBF(const std::string& entrada) {
    if (entrada.size() >= 4 && MaiusculasSemAcento(entrada.substr(entrada.size() - 4)) == ".DBF")
        return entrada.substr(0, entrada.size() - 4);
    return entrada;
}

EdicaoLinha IncluiTabelaNoFrom(const std::vector<std::string>& linhas, const std::string& tabela) {
    const int n = LinhaCom(linhas, "from ");
    if (n < 0) return {true, true, 0, "from " + tabela};
    const std::string& linha = linhas[static_cast<std::size_t>(n)];
    if (TemPalavra(ParaMinusculas(linha), ParaMinusculas(tabela))) return {};
    return {true, false, n, ", " + tabela};
}

void AplicaEdicao(std::vector<std::string>& linhas, const EdicaoLinha& e) {
    if (!e.muda) return;
    if (e.novaLinha)
        linhas.push_back(e.texto);
    else if (e.linha >= 0 && e.linha < static_cast<int>(linhas.size()))
        linhas[static_cast<std::size_t>(e.linha)] += e.texto;
}

std::string NomeColuna(const std::string& tabela, const std::string& coluna, bool qualifica) {
    return qualifica ? tabela + "." + coluna : coluna;
}

std::string TextoSoma(const std::vector<std::string>& colunas) {
    std::string r;
    for (std::size_t i = 0; i < colunas.size(); ++i)
        r += (i ? ", sum(" : "sum(") + colunas[i] + ")";
    return r;
}

std::vector<std::string> TextoAgrupa(const std::string& tabela, const std::vector<std::string>& colunas) {
    std::string lista;
    for (std::size_t i = 0; i < colunas.size(); ++i)
        lista += (i ? ", " : "") + colunas[i];
    return {"select", "  " + lista + ",", "  count(*)", "from " + tabela, "group by  " + lista};
}

std::string TextoColunasSoltas(const std::vector<std::string>& linhas, const std::vector<std::string>& colunas) {
    std::string r = !linhas.empty() && linhas[0] == "select " ? "" : ", ";
    for (std::size_t i = 0; i < colunas.size(); ++i)
        r += (i ? ", " : "") + colunas[i];
    return r;
}

std::string CondicaoJuncao(const std::string& t1, const std::string& c1, const std::string& t2, const std::string& c2) {
    return " " + t1 + "." + c1 + " = " + t2 + "." + c2;
}

std::string LinhaJuncao(const std::vector<std::string>& linhas, const std::string& condicao) {
    return (LinhaCom(linhas, "where ") >= 0 ? "  and" : "where") + condicao;
}

int ColunaDaJuncao(const std::vector<std::string>& colunas, const std::string& nome) {
    if (colunas.empty()) return -1;
    const std::string alvo = MaiusculasSemAcento(nome);
    for (std::size_t i = 0; i < colunas.size(); ++i)
        if (MaiusculasSemAcento(colunas[i]) == alvo) return static_cast<int>(i);
    return 0;
}

std::vector<int> ProcuraItens(const std::vector<std::string>& itens, const std::string& resposta) {
    std::vector<int> r;
    const std::string alvo = MaiusculasSemAcento(resposta);
    for (std::size_t i = 0; i < itens.size(); ++i)
        if (MaiusculasSemAcento(itens[i]).find(alvo) != std::string::npos) r.push_back(static_cast<int>(i));
    return r;
}

} // namespace dorvan

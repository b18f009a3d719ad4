#include "output/GravaSQL.h"

#include "data/UConvert.h"
#include "output/SaidaTexto.h"
#include "platform/Mensagens.h"
#include "platform/Texto.h"
#include "platform/Texto1252.h"

#include <algorithm>
#include <iterator>
#include <cmath>
#include <filesystem>
#include <set>

namespace dorvan {

namespace {

// Words SQLite or PostgreSQL refuse as a bare column or table name.
// clang-format off
constexpr std::string_view Reservadas[] = {
    "abort", "add", "all", "alter", "analyse", "analyze", "and", "any", "array", "as", "asc", "asymmetric",
    "authorization", "autoincrement", "between", "binary", "both", "by", "case", "cast", "check", "collate",
    "column", "commit", "concurrently", "constraint", "create", "cross", "current_catalog", "current_date",
    "current_role", "current_schema", "current_time", "current_timestamp", "current_user", "default", "deferrable",
    "delete", "desc", "distinct", "do", "drop", "else", "end", "escape", "except", "exists", "false", "fetch", "for",
    "foreign", "freeze", "from", "full", "grant", "group", "having", "ilike", "in", "index", "initially", "inner",
    "insert", "intersect", "into", "is", "isnull", "join", "lateral", "leading", "left", "like", "limit",
    "localtime", "localtimestamp", "natural", "not", "notnull", "null", "offset", "on", "only", "or", "order",
    "outer", "overlaps", "placing", "primary", "references", "returning", "right", "select", "session_user", "set",
    "similar", "some", "symmetric", "table", "tablesample", "then", "to", "trailing", "transaction", "true",
    "union", "unique", "update", "user", "using", "values", "variadic", "verbose", "when", "where", "window", "with",
};
// clang-format on

bool Reservada(const std::string& nome) {
    return std::find(std::begin(Reservadas), std::end(Reservadas), MinusculasAscii(nome)) != std::end(Reservadas);
}

// PostgreSQL keeps this many bytes of a name.
constexpr std::size_t MaxNomeSQL = 63;

// Adds "_2", "_3" ... to a name already taken (ignoring case, as PostgreSQL
// folds unquoted names) and records it.
std::string Unico(const std::string& nome, std::set<std::string>& usados) {
    return NomeUnico(nome, MaxNomeSQL, SufixoNumerico,
                     [&usados](const std::string& n) { return usados.insert(MinusculasAscii(n)).second; });
}

// Digits of a plain number (sign and point left out).
std::int32_t Digitos(const std::string& numero) {
    return static_cast<std::int32_t>(
        std::count_if(numero.begin(), numero.end(), [](char c) { return c >= '0' && c <= '9'; }));
}

// Decimals a NUMERIC column keeps; more would only write noise.
constexpr std::int32_t MaxDecimaisSQL = 30;
// Largest precision PostgreSQL accepts for NUMERIC.
constexpr std::int32_t MaxPrecisaoSQL = 1000;

std::int32_t DecimaisSQL(const ColunaResultados& c) { return std::clamp(c.Decimais, 0, MaxDecimaisSQL); }

} // namespace

std::string NomeSQL(std::string_view titulo, std::string_view padrao) {
    std::string r = Identificador(TiraAcentos(titulo), '_', MaxNomeSQL, padrao);
    if (Reservada(r)) r += '_';
    return r;
}

NomesSQL NomesParaSQL(const TabelaResultados& t, const std::string& arquivo) {
    NomesSQL n;
    // File names are the system's (UTF-8); the name is cleaned as 1252 text.
    std::string base = DeUtf8(std::filesystem::path(arquivo).filename().string());
    base = base.substr(0, base.find('.'));
    n.Tabela = NomeSQL(base, "tabela");
    std::set<std::string> usados;
    n.Rotulo = Unico(NomeSQL(ParaMinusculas(t.NomeColuna(0)), "rotulo"), usados);
    for (std::int32_t c = 1; c <= t.NumColunas(); ++c)
        n.Colunas.push_back(Unico(NomeSQL(t.NomeColuna(c), "coluna" + std::to_string(c)), usados));
    return n;
}

bool GravaSQL(const TabelaResultados& t, const std::string& arquivo) {
    // The label column counts too.
    const std::int32_t colunas = t.NumColunas() + 1;
    if (colunas > MaxColunasSQL) {
        MensagensAtuais().Mostra("A tabela tem " + std::to_string(colunas) +
                                 " colunas; um script SQL comporta no m\xE1ximo " + std::to_string(MaxColunasSQL) +
                                 " (o limite do PostgreSQL). Salve-a como CSV (.csv), que comporta a tabela inteira.");
        return false;
    }
    const NomesSQL nomes = NomesParaSQL(t, arquivo);
    SaidaTexto s(arquivo);
    s.Linha("CREATE TABLE " + nomes.Tabela + " (");

    // The label column holds the longest label (PostgreSQL refuses longer text).
    std::size_t larguraRotulo = static_cast<std::size_t>(std::max(1, t.Coluna(0).Largura));
    for (std::int32_t r = 1; r <= t.NumLinhas; ++r)
        larguraRotulo = std::max(larguraRotulo, t.Rotulo(r).size());
    std::string linha = "  " + nomes.Rotulo + " CHAR(" + std::to_string(larguraRotulo) + ")";
    if (t.NumColunas() == 0) {
        s.Linha(linha + ");");
    } else {
        s.Linha(linha + ",");
    }

    for (std::int32_t c = 1; c <= t.NumColunas(); ++c) {
        const ColunaResultados& col = t.Coluna(c);
        const std::int32_t d = DecimaisSQL(col);
        // Precision enough for every value, so no row is refused as an overflow.
        std::int32_t precisao = std::max({col.Largura, d + 1, 1});
        for (std::int32_t r = 1; r <= t.NumLinhas; ++r)
            if (std::isfinite(col.Dados[static_cast<std::size_t>(r)]))
                precisao = std::max(precisao, Digitos(NumeroPlano(col.Dados[static_cast<std::size_t>(r)], d, "")));
        precisao = std::min(precisao, MaxPrecisaoSQL);
        linha = "  " + nomes.Colunas[static_cast<std::size_t>(c - 1)] + " Numeric(" + std::to_string(precisao) + "," +
                std::to_string(d) + ")";
        s.Linha(linha + (c < t.NumColunas() ? "," : ");"));
    }

    const std::string inicio = "INSERT INTO " + nomes.Tabela + " VALUES('";
    for (std::int32_t r = 1; r <= t.NumLinhas; ++r) {
        linha = inicio;
        for (char ch : t.Rotulo(r)) {
            // A zero byte ends the script for the programs that run it.
            if (ch == '\0') continue;
            if (ch == '\'') linha += '\'';
            linha += ch;
        }
        linha += '\'';
        linha += Valores(
            t, r, ",", [](double v, const ColunaResultados& col) { return NumeroPlano(v, DecimaisSQL(col), "NULL"); });
        s.Linha(linha + ");");
    }
    s.Fim();
    return true;
}

} // namespace dorvan

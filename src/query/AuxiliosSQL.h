#pragma once
// What the SQL window's composing aids write into the editor: names, sums, the
// GROUP BY skeleton, tables added to FROM and joins, and the search in the table
// and column lists. The window applies these edits at its caret; the decisions
// live here. Text is 1252.
#include "table/Utilidades.h"
#include <string>
#include <vector>

namespace dorvan {

// The table name of a list entry: a trailing ".DBF" (any case) removed.
std::string TiraExtensaoDBF(const std::string& entrada);

// An edit of the editor's text: a line appended at the end, or text appended to
// the end of an existing line.
struct EdicaoLinha {
    bool muda = false;     // false: nothing to do
    bool novaLinha = true; // true: texto is a new last line
    int linha = 0;         // otherwise the line that gets texto at its end
    std::string texto;
};

// Adds a table to FROM: with no "from " in the text (any case) a line
// "from <table>" is appended; otherwise the line holding the first "from " gets
// ", <table>" unless the table is already named there as a whole word.
EdicaoLinha IncluiTabelaNoFrom(const std::vector<std::string>& linhas, const std::string& tabela);
// Applies an edit to the lines (what the window does to its editor).
void AplicaEdicao(std::vector<std::string>& linhas, const EdicaoLinha& e);

// "<table>." before the column when qualified.
std::string NomeColuna(const std::string& tabela, const std::string& coluna, bool qualifica);
// "sum(<c1>), sum(<c2>)".
std::string TextoSoma(const std::vector<std::string>& colunas);
// The editor's text of "Agrupar": select, the columns, count(*), from, group by.
std::vector<std::string> TextoAgrupa(const std::string& tabela, const std::vector<std::string>& colunas);
// The line of TextoAgrupa where the caret goes ("  count(*)").
inline constexpr int LinhaContagemAgrupa = 2;
// Columns dropped on the editor: joined by ", ", preceded by ", " unless the
// first line is exactly "select ".
std::string TextoColunasSoltas(const std::vector<std::string>& linhas, const std::vector<std::string>& colunas);

// " <t1>.<c1> = <t2>.<c2>".
std::string CondicaoJuncao(const std::string& t1, const std::string& c1, const std::string& t2, const std::string& c2);
// The line a join adds: "where<cond>", or "  and<cond>" when the text holds "where " (any case).
std::string LinhaJuncao(const std::vector<std::string>& linhas, const std::string& condicao);
// The column of the other table that a dragged column joins: the one of the same
// name (ignoring case), else the first; -1 for an empty list.
int ColunaDaJuncao(const std::vector<std::string>& colunas, const std::string& nome);

// The entries holding the answer, both without accents and in capitals, in list order.
std::vector<int> ProcuraItens(const std::vector<std::string>& itens, const std::string& resposta);

} // namespace dorvan

#pragma once
// The visual query builder's model: the tables placed on the work area with their
// ticked fields, the links between fields, and the grid of selected columns. The
// window edits it through these operations and shows it; the SQL is generated
// from it and it is kept in ".qb" model files. Names are 1252 text.
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace dorvan {

// Operators of a link by index, as they enter the SQL.
inline constexpr const char* OperadoresLigacao[6] = {"=", "<", ">", "<=", ">=", "<>"};
// Join types by index: 0 Inner (a WHERE condition), 1-3 outer joins in FROM.
inline constexpr const char* TiposLigacao[4] = {"Inner", "Left Outer", "Right Outer", "Full Outer"};

struct TabelaModelo {
    std::string nome;
    int topo = 0; // position on the work area, pixels
    int esquerda = 0;
    std::vector<std::string> campos; // "*" first, then the table's fields
    std::vector<bool> marcados;      // one per entry of campos
};

struct LigacaoModelo {
    std::string tabela1;
    int campo1 = 0; // index in tabela1's field list ("*" is 0)
    std::string tabela2;
    int campo2 = 0;
    int operador = 0; // index in OperadoresLigacao
    int tipo = 0;     // index in TiposLigacao
};

// One grid column; each text is the grid cell as shown.
struct ColunaModelo {
    std::string campo;
    std::string tabela;
    std::string mostra = "Show"; // "Show" or ""
    std::string ordem;           // "", "Asc" or "Desc"
    std::string funcao;          // "", "Avg", "Count", "Max", "Min" or "Sum"
    std::string agrupa;          // "Group" or ""
};

class ModeloConstrutor {
public:
    // Window and panes, kept in the model file.
    bool maximizada = false;
    int topo = 100, esquerda = 100, altura = 480, largura = 640;
    bool tabelasVisiveis = true;
    int larguraTabelas = 140;
    bool colunasVisiveis = true;
    int alturaColunas = 130;
    // The database (alias) and whether its system tables are listed.
    std::string banco;
    bool tabelasSistema = false;

    std::vector<TabelaModelo> tabelas;
    std::vector<LigacaoModelo> ligacoes;
    std::vector<ColunaModelo> colunas;

    // "Novo Modelo": no tables, links or columns.
    void Limpa();

    // Index of the table on the area, or -1.
    int AchaTabela(const std::string& nome) const;
    // Places a table ("*" is put before its fields). False, after "Esta tabela já
    // foi inserida!", when it is on the area already.
    bool InsereTabela(const std::string& nome, const std::vector<std::string>& campos, int topo = 0, int esquerda = 0);
    // Removes the table with its links and its grid columns.
    void RemoveTabela(const std::string& nome);

    // Ticking appends a grid column; unticking removes the columns of that field of that table.
    void MarcaCampo(const std::string& tabela, int campo, bool marcado);
    // A field dropped on the grid: ticked, and its column put at posicao (later ones move right).
    void InsereColuna(int posicao, const std::string& tabela, int campo);
    // Every field but "*" ticked (columns appended for the newly ticked ones).
    void SelecionaTodos(const std::string& tabela);
    // Every field unticked and the table's columns removed.
    void DeselecionaTodos(const std::string& tabela);
    // The grid's "Remove": the column goes; its field is unticked when no other
    // column shows that field of that table.
    void RemoveColuna(int posicao);

    // Links field campo1 of tabela1 to field campo2 of tabela2 with '=' Inner.
    // False for "*" or a field outside the lists; false after "Estas tabelas já
    // estão conectadas!" for a pair of fields already linked in either direction.
    bool Liga(const std::string& tabela1, int campo1, const std::string& tabela2, int campo2);
    void Desliga(int ligacao);
    // True when a link uses that field (it is drawn bold).
    bool CampoLigado(const std::string& tabela, int campo) const;
    // "<table 1> :: <table 2>".
    std::string NomeLigacao(int ligacao) const;
    // The field name a link end points to, or empty.
    std::string NomeCampo(const std::string& tabela, int campo) const;

private:
    void AcrescentaColuna(const TabelaModelo& t, int campo);
};

// One alias per table: its first letter; a letter seen again gets 2, 3, ... (c, c2, c3).
std::vector<std::string> GeraApelidos(const std::vector<std::string>& tabelas);

// The SQL of the model as lines. Empty, after "Não há colunas selecionadas!", when
// no grid column is shown. With apelidos (one per table of the area, same order)
// tables enter FROM as "<name> <alias>" and columns by their alias.
std::optional<std::vector<std::string>> GeraSQL(const ModeloConstrutor& m,
                                                const std::vector<std::string>* apelidos = nullptr);

// The model file text, lines ended by CR LF.
std::string TextoModelo(const ModeloConstrutor& m);
void GravaModelo(const std::string& arquivo, const ModeloConstrutor& m); // throws ErroES

// Reads the fields ("*" not included) of a table of a database; empty optional
// when it cannot be opened.
using LeCamposTabela =
    std::function<std::optional<std::vector<std::string>>(const std::string& banco, const std::string& tabela)>;
// Reads a model file; the tables' fields come again from the database through
// leCampos (a table that cannot be opened is left out, with its links and
// columns). Empty, after "Arquivo <file> não contém modelo de consulta!", for a
// file that is no model; throws ErroES when it cannot be read.
std::optional<ModeloConstrutor> LeModelo(const std::string& arquivo, const LeCamposTabela& leCampos);
std::optional<ModeloConstrutor> LeTextoModelo(const std::string& texto, const std::string& arquivo,
                                              const LeCamposTabela& leCampos);

// The model OK keeps silently in the current folder.
inline constexpr const char* ArquivoModeloAnterior = "modelo.qb";

} // namespace dorvan

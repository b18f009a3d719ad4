#pragma once
// Running the SQL window's text on a database alias: a SELECT on the first line
// fills the results table, anything else runs statement by statement. Also the
// decisions the window takes from an alias's driver, and the checks of its alias
// commands. Messages go through MensagensAtuais(); engine errors arrive as ErroBD.
#include "platform/Progresso.h"
#include "platform/db/BancoDados.h"
#include "table/TabelaResultados.h"

#include <QDateTime>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace dorvan {

// The highlighting dialect of the SQL editor, from the alias's driver.
enum class DialetoRealce { InterBase6, Oracle, MySQL, SQLite, Firebird, Ingres, Sybase, PostgreSQL };
// "STANDARD": InterBase 6; else the first part found in the upper-cased name:
// ORACLE, MYSQL, SQLITE, FIREBIRD, INTRBASE, then POSTGRES before GRES (Ingres);
// none: Sybase.
DialetoRealce DialetoDeRealce(const std::string& driver);
// The dialects the CASE generator writes for.
bool GeraCaseNoDialeto(DialetoRealce d);
// The same for an alias's driver: a STANDARD alias runs on SQLite, whose SQL has CASE,
// whatever dialect it is highlighted in.
bool GeraCaseNoDriver(const std::string& driver);

// True when the upper-cased first line holds "SELECT".
bool PrimeiraLinhaSelect(const std::vector<std::string>& linhas);

// Statements of the text: non-blank lines are collected; a line holding ';', or
// the last line, ends a statement; statements without lines are dropped.
std::vector<std::vector<std::string>> SeparaComandos(const std::vector<std::string>& linhas);

// "<n>" characters after the first ',' of the general 15-digit text of valor
// with a decimal comma ("70,25" gives 2, "1E20" gives 0).
std::int32_t DecimaisDoTexto(double valor);

struct PedidoConsulta {
    std::string alias;
    std::vector<std::string> linhas; // the editor's text
    std::string parametro;           // the parameter's name as typed; blank = none
    std::string titulo;              // the table's title
    bool modoSeguro = true;
};

enum class DesfechoConsulta {
    Recusada,  // a message said why; nothing ran
    Cancelada, // the user cancelled the parameter's value
    Tabela,    // the results table was filled: the window closes with OK
    Comandos,  // statements ran: the window stays open
};

// Asks the parameter's value (caption "Entre valor do parâmetro", prompt its name).
using PerguntaParametro = std::function<std::optional<std::string>(const std::string& nome)>;

// Runs the request. The table is filled only from a result that opened; an error
// while reading leaves it empty. agora gives the footer's date and time.
DesfechoConsulta ExecutaConsulta(MotorBD& motor, const PedidoConsulta& pedido, TabelaResultados& t,
                                 const PerguntaParametro& pergunta, Progresso& progresso, const QDateTime& agora);

// Fills the results table from an open query positioned on its first row.
// False (after the message) for a result that cannot make a table.
bool PreencheTabela(ConsultaBD& q, TabelaResultados& t, Progresso& progresso);

// The message that refuses a new standard alias of that name, or empty.
std::string RecusaNovoAlias(const MotorBD& motor, const std::string& nome);

// True when the column name is one of the fields of an index ("a;b").
bool ColunaIndexada(const std::string& coluna, const std::vector<IndiceBD>& indices);

} // namespace dorvan

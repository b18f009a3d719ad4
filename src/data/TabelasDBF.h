#pragma once
// The DBF and DBC files of a folder as tables of an SQLite connection: a virtual-table
// module of our own reads their records through this layer, in large sequential
// blocks (a DBC is expanded as a stream), with memory that does not grow with the
// file. An '=' on a column (a join's inner table, a WHERE) reads only the matching
// records through an index of that column, built on first use by one pass (a DBC is
// then expanded once into the run's folder) and kept until the file changes; it
// costs 12 bytes per record. Deleted records are left out. Columns follow the field
// types: C text, N with decimals and F real, N without decimals integer, D date text
// "YYYY-MM-DD", L boolean (1/0); blanks are NULL. Text comes out as UTF-8, from 850 or 1252 as the
// file's language byte says. The files are only read: a statement that would change
// one is refused, and nothing is ever written into the folder.
#include <functional>
#include <string>
#include <vector>

struct sqlite3;

namespace dorvan {

// One table of a folder: its SQL name and its file.
struct TabelaDeArquivo {
    std::string nome;    // the file name without its extension (a DBC whose DBF is also there: "<name>_DBC")
    std::string arquivo; // the full path
};

// The tables of a folder, sorted by name: every *.dbf and *.dbc file (any case).
// Names that SQL would take for the same (case ignored) are kept once.
std::vector<TabelaDeArquivo> TabelasDaPasta(const std::string& pasta);

// Records the tables' cursors have read so far in this process, all connections
// together (deleted ones too; not the pass that builds an index): how much of the
// files the queries had to go through.
std::int64_t RegistrosVisitadosDBF();

// The message a statement that changes a table of files gets.
std::string MensagemSomenteLeitura(const std::string& tabela);

// Makes the connection see the folder's tables (also those that appeared since the
// last call; those whose file is gone are dropped). dbfComCP850 answers whether a
// file with language byte 0 holds 850 text. Afterwards the connection may create,
// attach or drop nothing, so no file can be made through it. Returns an error text,
// empty when it worked.
std::string PreparaTabelasDBF(sqlite3* db, const std::string& pasta, std::function<bool()> dbfComCP850);

} // namespace dorvan

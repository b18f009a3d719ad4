#pragma once
// The results table: the one table of numbers the whole program works on. The
// tabulation, the table readers, merges, SQL results and maps fill it; the main
// window shows it; column operations, statistics, maps, charts and every export
// read and extend it.
//
// Rows and columns are numbered from 1 as the users and the files number them:
// column 0 is the label column, rows 1..NumLinhas are the data rows. Each column
// keeps its attributes and cells together (ColunaResultados), so moving or erasing
// columns cannot leave a title, a total kind or a note behind.
#include "data/Index.h"

#include <array>
#include <cassert>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace dorvan {

inline constexpr std::int32_t MaxColunas = 6000;        // value columns
inline constexpr std::int32_t MaxNotas = 100;           // cell notes
inline constexpr std::size_t MaxTituloColuna = 60;      // characters of a column title
inline constexpr std::size_t MaxTituloTabela = 83;      // characters of Titulo1, Titulo2, Rodape
inline constexpr std::size_t MaxTextoNota = 83;         // characters of a note
inline constexpr std::int32_t MaxLinhasTabela = 199001; // rows a producer may create
inline constexpr std::int32_t LarguraInicial = 13;      // printed width of a new column
inline constexpr std::int32_t SemCodigo = 255;          // TamCodigo when labels carry no code
inline constexpr std::int32_t MaxClasses = 10;          // map classes
// Row number of the totals row (grid row 1) for LinhaReal and notes: a row of its
// own, so a note there never shares a number with a data row.
inline constexpr std::int32_t LinhaTotais = -1;

// How a column's total is formed; the value is what files store.
enum class TipoTotal : std::uint8_t {
    SemTotal = 0,     // left as it is
    Soma = 1,         // sum of the data rows (new columns get this)
    Produto = 2,      // product of the data rows, starting from 1
    Media = 3,        // sum divided by NumLinhas
    Inicial = 4,      // value of the row at display position 1 (Ordem(1))
    Final = 5,        // value of the row at display position NumLinhas
    Minimo = 6,       // smallest value, scanning from row 1
    Maximo = 7,       // largest value, scanning from row 1
    PreCalculado = 8, // left as it is (a total read from a file)
};
inline constexpr int NumTiposTotal = 9;

// The item of the total-kind dialog ("Sem Total", "Soma", "Produto", "Média", ...)
// as 1252 text. Values outside 0..8 give an empty text.
const std::string& NomeTipoTotal(TipoTotal tipo);
// The kind stored under a number in a file; numbers outside 0..8 give Soma.
TipoTotal TipoTotalDeNumero(int numero);

// A cell note. Linha: data row, 0 = the title row, LinhaTotais = the totals row.
// Coluna: 0 = the label column.
struct Nota {
    std::int32_t Linha = 0;
    std::int32_t Coluna = 0;
    std::string Texto; // at most MaxTextoNota characters
};

// One column with everything that belongs to it.
struct ColunaResultados {
    std::string NomeColuna;                // title, at most MaxTituloColuna characters
    std::int32_t Decimais = 0;             // decimals shown
    std::int32_t Largura = LarguraInicial; // printed width in characters
    double Total = 0;                      // the totals row (not used for column 0)
    ::dorvan::TipoTotal TipoTotal = ::dorvan::TipoTotal::Soma;
    // Cells by row number: Dados[r] for r = 1..CapLinhas; Dados[0] is unused and
    // holds 0. Empty for column 0. Keep the size: the table sets it.
    std::vector<double> Dados;
};

class TabelaResultados {
public:
    TabelaResultados();
    TabelaResultados(const TabelaResultados& outra);
    TabelaResultados& operator=(const TabelaResultados& outra);
    TabelaResultados(TabelaResultados&&) noexcept = default;
    TabelaResultados& operator=(TabelaResultados&&) noexcept = default;

    // ---- rows and columns -------------------------------------------------
    // Number of data rows; never above CapLinhas(). Producers set it directly.
    std::int32_t NumLinhas = 0;

    std::int32_t NumColunas() const { return static_cast<std::int32_t>(colunas_.size()) - 1; }
    // Rows allocated in every column and in the label and order arrays.
    std::int32_t CapLinhas() const { return static_cast<std::int32_t>(rotulos_.size()) - 1; }

    // Column c = 0..NumColunas() (0: the label column, whose Dados stay empty).
    // A reference stays valid while columns are added, until that column is
    // removed or the columns are moved.
    ColunaResultados& Coluna(std::int32_t c) { return *colunas_[Indice(c, NumColunas())]; }
    const ColunaResultados& Coluna(std::int32_t c) const { return *colunas_[Indice(c, NumColunas())]; }

    // Shorthands for column c = 1..NumColunas() and row r = 1..CapLinhas().
    double& Dado(std::int32_t c, std::int32_t r) { return Coluna(Indice1(c)).Dados[Indice(r, CapLinhas())]; }
    double Dado(std::int32_t c, std::int32_t r) const { return Coluna(Indice1(c)).Dados[Indice(r, CapLinhas())]; }
    const std::string& NomeColuna(std::int32_t c) const { return Coluna(c).NomeColuna; }
    // Sets a column title, cut to MaxTituloColuna characters.
    void DefineNomeColuna(std::int32_t c, std::string_view titulo);

    // Label of row r = 1..CapLinhas() (empty = none).
    std::string& Rotulo(std::int32_t r) { return rotulos_[Indice(r, CapLinhas())]; }
    const std::string& Rotulo(std::int32_t r) const { return rotulos_[Indice(r, CapLinhas())]; }

    // Display order: position k = 1..CapLinhas() holds a data row number.
    std::int32_t& Ordem(std::int32_t k) { return ordem_[Indice(k, CapLinhas())]; }
    std::int32_t Ordem(std::int32_t k) const { return ordem_[Indice(k, CapLinhas())]; }
    // The whole order array, indexed by position (element 0 unused), for OrdenaIndice.
    std::span<std::int32_t> Ordem() { return ordem_; }

    // Frees the table (LiberaTabela) and allocates capLinhas empty rows with the
    // order 1, 2, 3 ... and no columns; NumLinhas := numLinhas (at most capLinhas).
    // Producers then add their columns with AcrescentaColuna.
    void AlocaLinhas(std::int32_t capLinhas, std::int32_t numLinhas);
    // Changes the allocated rows keeping what fits: new rows are empty, with zero
    // cells and the order position k holding row k. NumLinhas is cut to the new size.
    void DefineCapLinhas(std::int32_t capLinhas);

    bool OrdemDecrescente = false;      // display Ordem from its end
    std::int32_t ColunaOrdem = 0;       // column the rows are ordered by; 0 = natural order
    std::int32_t TamCodigo = SemCodigo; // length of the code that begins every label
    bool MostraCodigo = true;           // writers put the code in front of the name

    // ---- titles -------------------------------------------------------------
    // At most MaxTituloTabela characters each; callers cut what they store.
    std::string Titulo1, Titulo2, Rodape;

    // ---- notes (numbered 1..NumNotas()) -------------------------------------
    std::int32_t NumNotas() const { return static_cast<std::int32_t>(notas_.size()); }
    Nota& Notas(std::int32_t n) { return notas_[Indice(n - 1, NumNotas() - 1)]; }
    const Nota& Notas(std::int32_t n) const { return notas_[Indice(n - 1, NumNotas() - 1)]; }
    // Table readers: sets the number of notes (new ones empty); above MaxNotas it
    // keeps MaxNotas and returns false.
    bool DefineNumNotas(std::int32_t n);

    // ---- state ----------------------------------------------------------------
    bool Modificada = false;  // changed since it was last read or saved
    std::string ArquivoAtual; // the file the table was read from or saved to
    // Columns (or DBF fields) marked in the last marking dialog, in list order.
    std::vector<std::int32_t> Selecionadas;
    std::int32_t NumSelecionadas() const { return static_cast<std::int32_t>(Selecionadas.size()); }

    // ---- map settings kept with the table --------------------------------------
    std::string NomeMapa;                            // the .MAP file
    std::int32_t ColunaMapa = 0;                     // the mapped column
    std::int32_t NumClasses = 0;                     // at most MaxClasses
    std::int32_t IndCor = 0;                         // colour ramp 0..16
    bool SemClasses = true;                          // classes not yet computed
    std::array<std::uint32_t, MaxClasses + 1> Cor{}; // [1..10], colours as 0x00BBGGRR
    std::array<double, MaxClasses + 1> Classe{};     // [0..10] class upper limits, [0] = -1e20
    float MaximoMapa = 0, MinimoMapa = 0;

    // Row-code index built by the table merges and the map, read by the map window.
    TIndice IndiceLinhas;

private:
    friend bool AcrescentaColuna(TabelaResultados& t, std::string_view titulo, std::int32_t decimais);
    friend void RemoveUltimaColuna(TabelaResultados& t);
    friend void LiberaTabela(TabelaResultados& t);
    friend void ApagaNota(TabelaResultados& t, std::int32_t n);
    friend std::int32_t AcrescentaNota(TabelaResultados& t, std::int32_t linha, std::int32_t coluna,
                                       std::string_view texto);
    friend void PermutaColunas(TabelaResultados& t, const std::vector<std::int32_t>& novaOrdem);
    friend void EliminaColunas(TabelaResultados& t, std::vector<std::int32_t> colunas);
    friend void MantemLinhas(TabelaResultados& t, const std::vector<std::int32_t>& linhas);

    // Checks a number against its bound in debug builds.
    static std::size_t Indice(std::int32_t i, std::int32_t maximo) {
        assert(i >= 0 && i <= maximo);
        (void)maximo;
        return static_cast<std::size_t>(i);
    }
    static std::int32_t Indice1(std::int32_t c) {
        assert(c >= 1);
        return c;
    }

    // [0] = the label column. Held by pointer so references to a column survive
    // the addition of others.
    std::vector<std::unique_ptr<ColunaResultados>> colunas_;
    std::vector<std::string> rotulos_; // [0] unused
    std::vector<std::int32_t> ordem_;  // [0] unused
    std::vector<Nota> notas_;
};

// The table the windows show. Logic that works on "the" table takes a reference;
// only the window layer and start-up reach for this.
TabelaResultados& TabelaAtual();

// ---- core operations ------------------------------------------------------------

// Adds a column of CapLinhas() zeros: title cut to 60 characters, Total 0, the
// given decimals, width 13, total kind Soma. False (nothing changes) at MaxColunas.
bool AcrescentaColuna(TabelaResultados& t, std::string_view titulo, std::int32_t decimais);

// Whether rows x columns cells can be allocated: within a fixed ceiling of
// MaxBytesCelulas and within half the machine's memory, so a table read from a
// file never drives the process into the system's out-of-memory killer.
inline constexpr std::int64_t MaxBytesCelulas = std::int64_t{4} << 30;
bool CabeNaMemoria(std::int64_t linhas, std::int64_t colunas);

// Whether a text table writer ends its header with an extra "DUMMY" column of
// zeros: the readers drop one trailing column titled "DUMMY" (it stands for "no
// columns"), so it is written when there are none and when the last real column
// is itself titled "DUMMY", which then reads back.
bool ComColunaDUMMY(const TabelaResultados& t);

// Drops the last column and every note on it, as EliminaColunas does.
void RemoveUltimaColuna(TabelaResultados& t);

// Releases rows, labels, columns 1.. and notes: NumLinhas, NumColunas, CapLinhas
// and NumNotas become 0. Titles, the label column's attributes and the settings stay.
void LiberaTabela(TabelaResultados& t);

// Sets Coluna(c).Total by its kind. With no rows every computed kind gives 0, and
// so does a total past the range of a double. Columns outside 1..NumColunas() are
// left alone.
void CalculaTotal(TabelaResultados& t, std::int32_t c);

// Sorts indice[inicio..fim] (data row numbers) into ascending order of
// valores[indice[k]]; valores is indexed by row number (element 0 unused), as
// Coluna(c).Dados is. NaN values go last; equal values end in no defined order.
void OrdenaIndice(std::span<const double> valores, std::span<std::int32_t> indice, std::int32_t inicio,
                  std::int32_t fim);

// c > 0: sorts the display order by column c ascending; c = 0: natural order.
// Sets ColunaOrdem; leaves OrdemDecrescente alone.
void OrdenaPorColuna(TabelaResultados& t, std::int32_t c);

// The data row shown at grid row g: 0 for the title row, LinhaTotais for the
// totals row (g = 1), Ordem(g - 1) from g = 2 on (counted from the end with
// OrdemDecrescente). Grid rows beyond the data give 0.
std::int32_t LinhaReal(const TabelaResultados& t, std::int32_t g);

// The first note on (linha, coluna): true and its number; else false and 0.
bool AchaNota(const TabelaResultados& t, std::int32_t linha, std::int32_t coluna, std::int32_t& numero);

// Deletes note n (1..NumNotas()); later notes move down one number.
void ApagaNota(TabelaResultados& t, std::int32_t n);

// Adds a note (text cut to MaxTextoNota) and returns its number. At MaxNotas it
// shows "Máximo de notas foi atingido." and returns 0.
std::int32_t AcrescentaNota(TabelaResultados& t, std::int32_t linha, std::int32_t coluna, std::string_view texto);

// Sets TamCodigo from the row labels: the length of a code that every label
// begins with, followed by a blank, or SemCodigo.
void DetectaCodigo(TabelaResultados& t);

// Width in characters of a value shown with `decimais` decimals.
std::int32_t LarguraValor(std::int32_t decimais, double valor);

// Hook that operations call with their name; does nothing.
inline void Rastro(std::string_view) {}

// ---- column and row moves (notes follow their cells) --------------------------

// Reorders columns 1..NumColunas(): new column i is old column novaOrdem[i - 1].
// novaOrdem must be a permutation of 1..NumColunas() (otherwise nothing happens).
// Notes, ColunaOrdem and ColunaMapa follow their columns.
void PermutaColunas(TabelaResultados& t, const std::vector<std::int32_t>& novaOrdem);

// Moves column de to position para (both 1-based), the ones between shifting one place.
void MoveColuna(TabelaResultados& t, std::int32_t de, std::int32_t para);

// Erases the listed columns (repeats and numbers outside 1..NumColunas() ignored)
// with their notes; the rest close up in order and their notes take the new numbers.
// ColunaOrdem and ColunaMapa follow their column, or become 0 when it was erased;
// the rows then go back to their natural order, not descending.
void EliminaColunas(TabelaResultados& t, std::vector<std::int32_t> colunas);
inline void EliminaColuna(TabelaResultados& t, std::int32_t c) { EliminaColunas(t, {c}); }

// Keeps only the listed data rows (ascending, within 1..NumLinhas), moved up in
// that order into rows 1, 2, ...: labels, cells and notes go with them; notes of
// dropped rows are deleted. NumLinhas := the count kept; the display order becomes
// natural (Ordem k = k, ColunaOrdem 0, not descending).
void MantemLinhas(TabelaResultados& t, const std::vector<std::int32_t>& linhas);

} // namespace dorvan

#pragma once
// What the class dialog (TFEscala) decides, apart from its widgets: ordering the
// table by the mapped column while it is open, changing the mode, the class count
// and typed limits, and the texts it shows. Also the histogram command of the
// statistics menu, which prepares the class state and opens that dialog.
#include "maps/Classes.h"
#include "table/TabelaResultados.h"

#include <cstdint>
#include <string>
#include <vector>

namespace dorvan {

inline constexpr std::int32_t IntervaloEscalaMs = 1000; // chart follows typing after this pause

// The dialog's own state between its handlers.
struct EstadoEscala {
    ModoClasses Modo = ModoClasses::IgualValor; // "Classes de ", default "Igual valor"
    std::int32_t ColunaLembrada = 0;            // the table's ordering column at FormShow
};

// FormShow: remembers the ordering column and orders the table by ColunaMapa when it
// differs (ascending, direction untouched). Returns the caption "Freqüência de " +
// label column title + " por classes de " + title of ColunaMapa.
std::string AbreEscala(TabelaResultados& t, EstadoEscala& e);
// FormClose: orders the table by the remembered column again when it differed.
void FechaEscala(TabelaResultados& t, const EstadoEscala& e);

// RadioGroup1Click: the new mode and its limits (the window then shows ContaClasses).
void MudaModoEscala(TabelaResultados& t, EstadoEscala& e, ModoClasses modo);
// SpinEdit1Change: NumClasses := n (kept within 2..10), its limits and colours.
void MudaNumClassesEscala(TabelaResultados& t, const EstadoEscala& e, std::int32_t n);

// A typed limit reduced to digits, the decimal separator and one leading minus.
std::string LimpaLimiteDigitado(const std::string& texto, char separadorDecimal);
// GridFaixasSetEditText on grid row `linha` (1..NumClasses): the limit becomes the
// typed value unless the cleaned text is empty, "-" or not a number (then the limit
// stays); the mode becomes "Manual" either way. True when the limit changed.
bool EditaLimiteEscala(TabelaResultados& t, EstadoEscala& e, std::int32_t linha, const std::string& texto,
                       char separadorDecimal);

// Chart1ClickSeries on a bar: the count, a blank and its share of the rows ("%6.2N%").
std::string TextoCliqueBarra(const TabelaResultados& t, std::int32_t contagem);

// The classes of a table that brought none (or a class count outside 2..10):
// palette 3, mode "Igual valor" (also the dialog's), five classes and their limits;
// SemClasses goes off. A table with usable classes keeps them. The map and the
// histogram both call it once the extremes are known.
void DaClassesIniciais(TabelaResultados& t, EstadoEscala& e);

// ---- the histogram command ----------------------------------------------------------------

// The column the histogram uses without asking: 1 when the table has one column,
// 0 when the user must choose ("Gerar histograma da coluna").
std::int32_t ColunaSemPerguntar(const TabelaResultados& t);
inline const char* const PerguntaHistograma = "Gerar histograma da coluna";

// What the histogram changed in the display order, to undo after the dialog.
struct OrdemAnterior {
    bool Reordenou = false;
    std::int32_t Coluna = 0;
    bool Decrescente = false;
    std::vector<std::int32_t> Ordem; // positions 1..NumLinhas, so ties come back in place
};

// Steps before the dialog: ColunaMapa := coluna, the table ordered by it when it is
// not the ordering column, MaximoMapa/MinimoMapa, Classe[0]; for a table without
// classes (or with a class count outside 2..10) palette 3, mode "Igual valor",
// five classes and their limits. False (nothing changed) for a column outside
// 1..NumColunas.
bool PreparaHistograma(TabelaResultados& t, std::int32_t coluna, EstadoEscala& e, OrdemAnterior& ordem);
// After the dialog: the previous display order, ordering column and direction come back.
void TerminaHistograma(TabelaResultados& t, const OrdemAnterior& ordem);

} // namespace dorvan

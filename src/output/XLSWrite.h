#pragma once
// The workbook writer: a results table written as a spreadsheet workbook (the
// version 8 record stream "Workbook" inside a compound file). The writer is a
// small cell-by-cell interface: open, write numbers and texts into cells, close.
#include "platform/Arquivos.h"
#include "table/TabelaResultados.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <unordered_map>
#include <vector>

namespace dorvan {

// Every failure of the writer, with its English message.
class ErroXLS : public std::runtime_error {
public:
    explicit ErroXLS(const std::string& m) : std::runtime_error(m) {}
};

enum class TXLSVersion { xls40, xls50, xls97 };

// The 65 colours by ordinal: xcBlack = 0, xc1 .. xc38, xcWhite = 39, xc40 .. xc63, xcNoColor = 64.
enum class TExcelColor : std::uint8_t { xcBlack = 0, xcWhite = 39, xcNoColor = 64 };
// The palette index written for a colour.
int IndiceCor(TExcelColor cor);

enum TExcelFontStyle : std::uint8_t { xfsBold = 1, xfsItalic = 2, xfsStrikeOut = 4 };
enum class TExcelSubSuperScript : std::uint8_t { xssNone, xssSuperscript, xssSubscript };
enum class TExcelUnderline : std::uint8_t { xulNone, xulSingle, xulDouble, xulSingleAccount, xulDoubleAccount };

struct TExcelFont {
    std::string Name = "Arial"; // 1252 text
    int Size = 10;              // points
    std::uint8_t Style = 0;     // TExcelFontStyle bits
    TExcelColor Color = TExcelColor::xcBlack;
    std::uint8_t Charset = 0;
    TExcelSubSuperScript SubSuperScript = TExcelSubSuperScript::xssNone;
    TExcelUnderline Underline = TExcelUnderline::xulNone;
    bool operator==(const TExcelFont&) const = default;
};

// The distinct fonts of all cell formats; a font's number is its position.
class TFontList {
public:
    int Adiciona(const TExcelFont& f); // position of an equal font, appended when new
    const TExcelFont& Fonte(int i) const; // "Font index out of range"
    int Conta() const { return static_cast<int>(fontes_.size()); }
    void Limpa() { fontes_.clear(); }

private:
    std::vector<TExcelFont> fontes_;
};

enum class TTextFormat {
    tfGeneral, tf2Dec, tf0Dec1000, tf2Dec1000, tfPercent, tfCurrency0Dec, tfCurrency2Dec,
    tfDate, tfTime, tfText, tfUser
};
enum class TCellHorizAlign { chaGeneral, chaLeft, chaCenter, chaRight, chaFill, chaJustify, chaCenterAcross };
enum class TCellVertAlign { cvaTop, cvaCenter, cvaBottom, cvaJustify };
enum TCellProtection : std::uint8_t { cpLocked = 1, cpHidden = 2 };
enum TCellBorder : std::uint8_t { cbLeft = 1, cbTop = 2, cbRight = 4, cbBottom = 8, cbDiag = 16 };

struct TCellFormat {
    std::string Name;
    TExcelFont Font;
    TTextFormat TextFormat = TTextFormat::tfGeneral;
    std::string TextFormatUser;
    bool WrapText = false;
    TExcelColor CellColor = TExcelColor::xcNoColor;
    std::uint8_t Protection = 0; // TCellProtection bits
    TCellHorizAlign HorizAlignment = TCellHorizAlign::chaGeneral;
    TCellVertAlign VertAlignment = TCellVertAlign::cvaBottom;
    std::uint8_t Border = 0; // TCellBorder bits
};

enum TSheetOption : std::uint8_t { soGridlines = 1, soRowColHeadings = 2, soProtected = 4 };
enum TPageSetupOption : std::uint8_t {
    psoLeftToRight = 1, psoPortrait = 2, psoNoColor = 8, psoDraftQuality = 16, psoPrintNotes = 32
};

struct TPageSetup {
    int Copies = 0;
    std::uint8_t Options = psoPortrait;
    int ScalingFactor = 46;
    int StartingPage = 1;
    double HeaderMargin = 0, FooterMargin = 0;
    double MarginLeft = -1, MarginRight = -1, MarginTop = -1, MarginBottom = -1; // inches; negative: not written
};

// The writer. Rows and columns count from 0.
class TXLSWrite {
public:
    TXLSWrite();
    ~TXLSWrite(); // closes an open file (errors of that close are swallowed)
    TXLSWrite(const TXLSWrite&) = delete;
    TXLSWrite& operator=(const TXLSWrite&) = delete;

    std::string FileName;
    std::vector<std::string> Sheets{"Sheet1"};
    TExcelFont Font;
    std::uint8_t Options = soGridlines | soRowColHeadings;
    bool RecalcFormulas = true;
    bool WriteGlobalData = false;
    std::string StrTRUE = "TRUE", StrFALSE = "FALSE";
    TPageSetup PageSetup;
    int ReservedExtnamesSize = 256;
    char FuncArgSeparator = ';';
    // Called before every record is written: identifier, length and the record buffer
    // (MaxBuffsize bytes), each of which it may change.
    std::function<void(TXLSWrite&, std::uint16_t& id, std::uint16_t& tamanho, std::vector<std::uint8_t>& buffer)>
        OnWriteData;

    // A new format: Arial 10, general, no colour, named "Format " + its position.
    TCellFormat& AdicionaFormato();
    std::vector<TCellFormat>& Formats() { return formatos_; }

    TXLSVersion XLSVersion() const { return versao_; }
    void DefineXLSVersion(TXLSVersion v); // "Version can not be changed while file is open"
    int CurrSheetIndex() const { return folhaAtual_; }
    bool FileIsOpen() const { return aberto_; }
    int MaxBuffsize() const { return versao_ == TXLSVersion::xls97 ? 8224 : 2080; }

    void OpenFile();
    void NextSheet();
    void CloseFile();
    // Closes without writing: the file being written is removed, an older one stays.
    void Abandona();
    void WriteNumber(int coluna, int linha, double valor, int formato);
    void WriteString(int coluna, int linha, const std::string& texto, int formato); // texto in 1252
    void SetColWidth(int primeira, int ultima, int largura, int formato);

private:
    void Registro(std::uint16_t id, std::vector<std::uint8_t> dados);
    void GravaGlobais();
    void IniciaFolha();
    void TerminaFolha();
    void ExigeAberto() const;
    void MarcaUso(int coluna, int linha);
    std::uint32_t IndiceTexto(const std::string& texto);
    std::string MontaTextosCompartilhados() const;
    void Limpa();

    TXLSVersion versao_ = TXLSVersion::xls50;
    std::vector<TCellFormat> formatos_;
    TFontList fontes_;
    bool aberto_ = false;
    std::unique_ptr<GravacaoSegura> saida_;
    std::string fluxo_; // the record stream, written to the file at CloseFile
    int folhaAtual_ = -1;
    std::vector<std::size_t> posOffsetFolha_; // BOUNDSHEET offset fields
    std::size_t posTextos_ = 0;               // where the shared strings go
    std::size_t posDimensoes_ = 0;            // DIMENSIONS of the current sheet
    int linhaMin_ = -1, linhaMax_ = -1, colunaMin_ = -1, colunaMax_ = -1;
    std::vector<std::string> textos_;
    std::unordered_map<std::string, std::uint32_t> indiceTextos_;
};

// The window's writer with its seven formats ("Format 0", "Format 1", "Num0D" ..
// "Num4D"), version 97 and ";" as argument separator.
void ConfiguraXLSWrite1(TXLSWrite& w);
TXLSWrite& XLSWrite1();

// The most a workbook sheet takes of a table: one sheet column goes to the labels,
// and five rows to the titles, the column titles and the totals.
inline constexpr std::int32_t MaxColunasXLS = 255;
inline constexpr std::int32_t MaxLinhasXLS = 65530;

// Why a table larger than that is refused, in the user's words: its size, the
// sheet's limits and the formats that take the whole table (CSV always, DBF when
// its fields fit).
std::string MensagemXLSGrande(const TabelaResultados& t);

// Writes the results table as a workbook: titles, column titles, widths, rows in
// stored order, totals and the footer. Throws ErroXLS or ErroES; a table over the
// sheet's limits throws ErroXLS(MensagemXLSGrande) before any file is made.
void SalvaXLS(TXLSWrite& w, const TabelaResultados& t, const std::string& arquivo);
inline void SalvaXLS(const TabelaResultados& t, const std::string& arquivo) { SalvaXLS(XLSWrite1(), t, arquivo); }

} // namespace dorvan

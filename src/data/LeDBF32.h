#pragma once
// dBASE III record files (.DBF): one handle per open file, records delivered through
// a block cache, fields read and written as fixed-width text. The same open also
// reads the header of a compressed .DBC, whose first bytes are the DBF header.
// Nothing here converts characters or skips deleted records: that is the caller's.
#include "platform/Arquivos.h"

#include <cassert>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace dorvan {

// One field descriptor as this layer keeps it (also the input of CreateDBF).
struct CampoDBF {
    std::string Nome;               // at most 10 characters, as stored
    char Tipo = 'C';                // 'C', 'N', 'D', 'L', 'F', 'M' ... as stored
    std::uint8_t Tamanho = 0;       // width in bytes
    std::uint8_t Decimais = 0;      // decimal places
    std::uint16_t Deslocamento = 0; // position in the record; byte 0 is the deletion flag
};

// The 32-byte file header as it lies on disk (little-endian numbers).
struct CabecalhoDBFDisco {
    std::uint8_t versao;          // 0x03; 0x83 with memo; 0x30 carries 263 more header bytes
    std::uint8_t ano, mes, dia;   // last update: year (1900 + byte, or 2000 + byte up to 50), month, day
    std::uint8_t numRegs[4];      // record count
    std::uint8_t tamCabecalho[2]; // header length in bytes
    std::uint8_t tamRegistro[2];  // record length in bytes, deletion flag included
    std::uint8_t reservado1[17];
    std::uint8_t idioma; // language driver
    std::uint8_t reservado2[2];
};
static_assert(sizeof(CabecalhoDBFDisco) == 32);

// One 32-byte field descriptor as it lies on disk.
struct DescritorCampoDisco {
    char nome[11]; // zero-padded name; byte 10 always zero
    char tipo;     // field type letter
    std::uint8_t reservado1[4];
    std::uint8_t tamanho;  // width in bytes
    std::uint8_t decimais; // decimal places
    std::uint8_t reservado2[14];
};
static_assert(sizeof(DescritorCampoDisco) == 32);

// The numbers of a header's first 32 bytes (on disk as CabecalhoDBFDisco).
struct CabecalhoDBF {
    std::uint8_t Versao = 0;
    std::uint8_t Ano = 0, Mes = 0, Dia = 0; // as stored: the year byte counts from 1900 (or 2000 up to 50)
    std::int64_t NumRegs = 0;
    int TamCabecalho = 0;
    int TamRegistro = 0;
    std::uint8_t Idioma = 0;
};
CabecalhoDBF DecodificaCabecalhoDBF(const char* primeiros32);

// The whole header of an open DBF or DBC (TamCabecalho bytes: the 32 fixed ones, the
// field descriptors, the terminator). Empty when the file is shorter than 32 bytes,
// its header length is below 32, or the file is shorter than that length.
std::vector<char> LeCabecalhoDBF(int fd, std::uint64_t tamanhoArquivo, const std::string& nome);

// Bytes read from the file at a time by the record cache: large sequential reads
// keep a full scan at page-cache speed. Always holds at least one record.
constexpr std::size_t TAM_BLOCO_DBF = 1u << 20;
// Appended records are gathered up to this size and written in one go.
constexpr std::size_t TAM_BUFFER_ACRESCIMO = 1u << 18;

// The handle of one DBF (or DBC) file. The caller owns it; it cannot be copied
// (it holds an open file), and a handle dropped while open closes its file.
struct dbfRecord {
    std::string Nome;              // the file name as given to OpenDBF or CreateDBF
    std::uint8_t Estado = 0;       // 0 closed, 1 open for reading, 3 written
    bool ComMemo = false;          // version byte 0x83
    std::string Data;              // last update, "YYYYMMDD"
    std::int64_t NumRegs = 0;      // record count: whole records in the file, at most what the header says
    std::int64_t RegsNoCabecalho = 0; // the count the header gives (more than NumRegs in a file cut short)
    int TamCabecalho = 0;          // header length in bytes
    std::uint16_t TamRegistro = 0; // record length in bytes, deletion flag included
    int NumCampos = 0;             // number of fields
    std::vector<CampoDBF> Campos;  // the fields, Campos[0] is field number 1 (see Campo)
    std::uint8_t Idioma = 0;       // header byte 29
    char* RegistroAtual = nullptr; // current record, deletion flag first ('*' deleted, ' ' live)
    std::int64_t NumRegAtual = 0;  // 1-based number of the current record
    std::vector<char> Bloco;       // block cache
    std::int64_t BlocoAtual = -1;  // 0-based number of the block held in Bloco; -1 none
    std::size_t BytesNoBloco = 0;  // bytes of Bloco actually read from the file
    int Arquivo = -1;              // file descriptor
    bool SomenteLeitura = false;   // the file could only be opened for reading
    std::vector<char> Acrescimos;  // appended records not yet written
    std::int64_t RegsGravados = 0; // records already on disk (NumRegs minus pending appends)
    // A file being created: written without its name, which it takes at CloseDBF;
    // none while reading or appending.
    std::unique_ptr<GravacaoSegura> Substituicao;

    dbfRecord() = default;
    ~dbfRecord();
    dbfRecord(const dbfRecord&) = delete;
    dbfRecord& operator=(const dbfRecord&) = delete;
    dbfRecord(dbfRecord&& outro) noexcept;
    dbfRecord& operator=(dbfRecord&& outro) noexcept;

    // Field number i, counted from 1 (checked in debug builds: a 0 from FieldDBF
    // that nobody tested would otherwise read before the list).
    const CampoDBF& Campo(int i) const {
        assert(i >= 1 && i <= static_cast<int>(Campos.size()));
        return Campos[static_cast<std::size_t>(i - 1)];
    }
};

// Opens an existing DBF or DBC and loads the handle. A missing file, a refused open
// or a damaged header shows a message and leaves Estado 0: callers test Estado.
// A field of width 0 holds nothing and would make its readers look past its
// place: it is left out of Campos, with a message.
// A file that can only be read opens for reading; somenteLeitura asks for that.
void OpenDBF(dbfRecord& h, const std::string& nome, bool somenteLeitura = false);

// Throws ErroES when the file holds fewer whole records than its header counts.
// Readers that skip the missing tail (NumRegs) suit most callers; one that must
// have every record, or its output would be silently incomplete, calls this.
void ExigeTodosOsRegistros(const dbfRecord& h);

// Drops a file being created (CreateDBF) without giving it its name: what was
// there before stays. Any other open handle is simply released.
void AbandonaDBF(dbfRecord& h);

// Closes the file; after writes fixes the end-of-file byte, the count and the date.
// Throws ErroFatal on a closed handle.
void CloseDBF(dbfRecord& h);

// Makes record n (1-based) current. Throws ErroFatal on a closed handle or a record
// number out of range.
void readDBF(dbfRecord& h, std::int64_t n);

// The 1-based number of the field of that name (ASCII case ignored; the last of
// several wins), or 0.
int FieldDBF(const dbfRecord& h, std::string_view nome);

// The raw bytes of field i of the current record, exactly the field width long.
std::string GetFieldDBF(const dbfRecord& h, int i);
// The same bytes without copying; valid until the next readDBF.
inline std::string_view VistaCampoDBF(const dbfRecord& h, int i) {
    const CampoDBF& c = h.Campo(i);
    return std::string_view(h.RegistroAtual + c.Deslocamento, c.Tamanho);
}

// Writes valor into field i of a record buffer of TamRegistro bytes. 'N' fields are
// right-aligned (a number wider than the field becomes asterisks); others are
// left-aligned and cut at the width. i out of range does nothing.
void PutFieldDBF(const dbfRecord& h, int i, std::string_view valor, char* registro);

// Appends one record of TamRegistro bytes. Throws ErroFatal on a closed handle.
void AppendDBF(dbfRecord& h, const char* registro);

// Writes the appended records still held in memory, with the end-of-file byte and
// the count, so the file on disk is a complete DBF. Done by readDBF and CloseDBF.
void DescarregaDBF(dbfRecord& h);

// Creates a DBF with these fields and language byte; the handle is left in Estado 3
// ready for AppendDBF. Throws ErroFatal when it cannot be created or the file there
// is read-only. The file appears under its name only when CloseDBF has completed
// it: until then an existing file of that name stays as it was, and a run killed
// meanwhile, or a handle dropped without CloseDBF, leaves neither a partial file
// nor a temporary.
void CreateDBF(dbfRecord& h, const std::string& nome, const std::vector<CampoDBF>& campos, std::uint8_t idioma);

// Whether the text fields of this file are DOS code page 850 (to be turned into
// 1252 by the caller): language byte 2 or 0x25, or 0 when the DBF_CP850 setting is on.
inline bool TextoEmCP850(const dbfRecord& h, bool DBFcomCP850) {
    return h.Idioma == 2 || h.Idioma == 0x25 || (h.Idioma == 0 && DBFcomCP850);
}

// Today's date as "YYYYMMDD".
std::string DataDeHoje();

} // namespace dorvan

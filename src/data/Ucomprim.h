#pragma once
// Compressed record files (.DBC) and the record scan of DBF and DBC files.
//
// A DBC is the DBF header unchanged, a 4-byte CRC, then the compressed stream of
// everything after the header (records and the final 0x1A):
//
//   offset 0                TamCabecalho bytes  the DBF header, field descriptors, 0x0D
//   offset TamCabecalho     4 bytes             CRC-32 (little-endian) of header + data
//   offset TamCabecalho + 4 to end of file      the compressed stream (dictionary 4096)
//
// Every operation keeps its own state, so several may run at once.
#include "data/LeDBF32.h"
#include "platform/Progresso.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace dorvan {

// What one compression or expansion did.
struct ResultadoCodec {
    unsigned codigo = 0;            // the codec's result: 0 done, 1..4 its errors
    bool crcConfere = true;         // expansion: the stored CRC equals the data's
    std::int64_t numRegs = 0;       // record count in the header
    std::uint64_t bytesEntrada = 0; // size of the input file
    std::uint64_t bytesSaida = 0;   // size of the output (also when it was discarded)
    // Compression: the data read held every record the header counts (a file that
    // shrank while read would give a DBC promising records its stream lacks).
    bool completo = true;
    bool Ok() const { return codigo == 0 && crcConfere && completo; }
};

// Compresses the DBF `entrada` into the DBC `saida` (overwritten). The output takes
// its name only on success: the codec done and every record the header counts
// read (else `completo` is false and the failure is shown as a codec failure). Progress reports
// input bytes read with the text "Comprimindo " + name. With avisa, a codec failure
// is shown through MensagensAtuais(). Throws ErroES on input/output errors and when
// the input has no DBF header.
ResultadoCodec ComprimeDBF(const std::string& entrada, const std::string& saida, Progresso& progresso,
                           bool avisa = true);

// Expands the DBC `entrada` into the DBF `saida`, or, with `saida` empty, only checks
// its CRC and writes nothing. A CRC mismatch or a damaged stream leaves no output
// (an existing file of that name stays as it was). Progress reports input bytes read
// with the text "Expandindo " + name. With avisa, failures are shown through
// MensagensAtuais(). Throws ErroES on input/output errors.
ResultadoCodec ExpandeDBC(const std::string& entrada, const std::string& saida, Progresso& progresso,
                          bool avisa = true);

// Calls `rotina` once per record of the open handle, in file order, with
// RegistroAtual on the record (deletion flag first; valid only during the call) and
// NumRegAtual counting from 1. The kind follows the last letter of Nome: 'F' reads
// the DBF through readDBF; 'C' expands the DBC as a stream, delivering the records
// the header counts whatever their first byte, and after them stopping at one that
// begins with 0x1A; with checaCRC it compares the CRC. Any other name reads
// nothing. False after a codec error or a CRC mismatch (both shown) or a name of
// another kind. Exceptions thrown by rotina reach the caller.
bool ScanDBF(dbfRecord& h, const std::function<void(dbfRecord&)>& rotina, bool checaCRC);

// Cuts a byte stream handed over in chunks of any size into records of
// tamRegistro bytes and hands each to `entrega` in stream order: whole records in
// place, a record split between chunks from a buffer of its own. The first
// `contados` records (the header's count) are all delivered, whatever their first
// byte; after them a record whose first byte is the end-of-file byte 0x1A ends it.
class CortaRegistros {
public:
    CortaRegistros(std::size_t tamRegistro, std::int64_t contados, std::function<void(char*)> entrega);
    void Pedaco(char* p, std::size_t s);
    bool Terminou() const { return terminou_; }

private:
    void Entrega(char* registro);
    std::size_t L_;
    std::function<void(char*)> entrega_;
    std::vector<char> resto_; // a record begun at the end of one chunk
    std::size_t falta_ = 0;   // bytes still missing from it
    std::int64_t contados_;   // records delivered whatever their first byte
    std::int64_t entregues_ = 0;
    bool terminou_ = false;
};

// The message the scan shows for a codec result (1 to 4).
std::string MensagemCodec(unsigned codigo);

} // namespace dorvan

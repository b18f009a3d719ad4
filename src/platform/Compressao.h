#pragma once
// The DBC codec: an LZ77 coder with fixed prefix codes (binary literal mode,
// dictionary of 1024, 2048 or 4096 bytes), plus the CRC-32 table update that the
// DBC files carry. Same calls, callbacks, result codes and work-buffer sizes as the
// library the files were first written with, so every caller keeps its shape.
//
// Nothing is kept between calls and nothing is shared: two codecs may run at once on
// two threads. Each call takes heap memory of its own for its windows and search
// tables (about 1 MB for implode, 70 KB for explode); explode reads its input through
// the caller's work buffer, implode does not need it.
#include <cstdint>

namespace dorvan::compressao {

constexpr unsigned TAM_TRABALHO_IMPLODE = 36312; // work buffer the caller gives implode
constexpr unsigned TAM_TRABALHO_EXPLODE = 12596; // work buffer the caller gives explode

enum Resultado : unsigned {
    CMP_OK = 0,
    CMP_DICIONARIO_INVALIDO = 1,
    CMP_MODO_INVALIDO = 2,
    CMP_DADOS_INVALIDOS = 3,
    CMP_ABORTADO = 4
};

constexpr unsigned CMP_BINARIO = 0, CMP_ASCII = 1;

// read: asked for up to *tamanho bytes, returns how many it placed (0 = end of input).
// To stop the codec, return CMP_LEITURA_ABORTA (any count larger than asked does the
// same): implode and explode then return CMP_ABORTADO at once, without writing more.
using FuncLeitura = unsigned (*)(char* buffer, unsigned* tamanho, void* param);
// write: handed *tamanho bytes (never 0). An exception thrown here (a write error,
// say) leaves the codec cleanly and reaches the caller.
using FuncEscrita = void (*)(char* buffer, unsigned* tamanho, void* param);

constexpr unsigned CMP_LEITURA_ABORTA = 0xFFFFFFFFu;

// explode hands its output to write in chunks of exactly this many bytes, except
// the last one, which is shorter (and not empty). Being at least as large as the
// longest DBF record, a record never straddles more than two chunks.
constexpr unsigned TAM_BLOCO_EXPLODE = 65536;

// Compresses everything read supplies and passes the stream to write. *tipo must be
// CMP_BINARIO (CMP_ASCII gives CMP_MODO_INVALIDO); *tamDicionario 1024, 2048 or 4096
// (anything else gives CMP_DICIONARIO_INVALIDO). trabalho: TAM_TRABALHO_IMPLODE bytes.
unsigned implode(FuncLeitura ler, FuncEscrita gravar, char* trabalho, void* param, unsigned* tipo,
                 unsigned* tamDicionario);

// Expands one stream. Returns CMP_OK only after the end code; a stream that ends
// before it, or whose copies reach before the start of the output, is
// CMP_DADOS_INVALIDOS. Input is read ahead in blocks, so bytes after the end code may
// have been asked for; they are ignored. trabalho: TAM_TRABALHO_EXPLODE bytes.
unsigned explode(FuncLeitura ler, FuncEscrita gravar, char* trabalho, void* param);

// Bare update of the reflected CRC-32 (0xEDB88320): the caller starts *crc at
// 0xFFFFFFFF and complements the final value. Returns the new value (not stored).
std::uint32_t crc32(const char* buffer, unsigned* tamanho, std::uint32_t* crc);

} // namespace dorvan::compressao

#pragma once
// The base-map file (.MAP): an 18-byte header with the bounding box, then records
// back to back until the end of the file (no count). Every reader goes through
// LeitorMapa, which checks each record against the file's length before using it,
// so a damaged file ends the pass with an error naming the file and the offset.
#include "data/Index.h"

#include <cstdint>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace dorvan {

class GravacaoSegura;

inline constexpr std::int16_t VersaoMapa = 100;
inline constexpr std::size_t TamCabecalhoMapa = 18;  // bytes of the header
inline constexpr std::size_t TamFixoRegistro = 48;   // bytes of a record before its vertices
inline constexpr std::int32_t MaxPontosMapa = 32766; // vertices of one record
inline constexpr std::size_t MaxCodigoMapa = 10;     // characters of Codigo
inline constexpr std::size_t MaxNomeMapa = 25;       // characters of Nome
inline constexpr std::int32_t MaxCruzamentos = 100;  // crossings PontoInterno keeps

// Record kinds; values above 3 are kept as read and draw nothing.
inline constexpr std::uint8_t TipoPoligono = 0;
inline constexpr std::uint8_t TipoPoligono2 = 1; // drawn exactly like TipoPoligono
inline constexpr std::uint8_t TipoLinha = 2;
inline constexpr std::uint8_t TipoPonto = 3;

// The header at offset 0 (little-endian, no padding):
struct CabecalhoMapa {
    std::int16_t Versao = VersaoMapa; // offset 0, i16: always 100
    float MaxX = 0;                   // offset 2, f32: largest X of all vertices (map units)
    float MaxY = 0;                   // offset 6, f32: largest Y
    float MinX = 0;                   // offset 10, f32: smallest X
    float MinY = 0;                   // offset 14, f32: smallest Y
};

struct PontoMapa {
    float X = 0; // map units; for geographic maps longitude in degrees
    float Y = 0; // grows northwards
    bool operator==(const PontoMapa&) const = default;
};

// One record (48 + 8·n bytes on disk):
struct RegistroMapa {
    std::uint8_t Tipo = TipoPoligono; // offset 0, byte: 0/1 area, 2 line, 3 point
    std::string Codigo;               // offset 1, length byte + 10 bytes (1252 text, never trimmed)
    std::string Nome;                 // offset 12, length byte + 25 bytes
    float RotuloX = 0;                // offset 38, f32: label point X
    float RotuloY = 0;                // offset 42, f32: label point Y
    std::vector<PontoMapa> Pontos;    // offset 46 i16 count n (1..32766), then n × (f32 X, f32 Y)
};

// The 18 bytes of a header and the bytes of a record as the file holds them.
// A record's Codigo and Nome are cut to their widths, its vertices to MaxPontosMapa;
// unused text bytes are zero.
std::string BytesCabecalho(const CabecalhoMapa& c);
std::string BytesRegistro(const RegistroMapa& r);

// Reads a .MAP file one record at a time (every redraw reads the whole file).
// Throws ErroES when the file cannot be opened or read, and when it is damaged:
// a header shorter than 18 bytes, a record cut short, or a vertex count outside
// 1..32766; the message names the file and the byte offset of the fault.
class LeitorMapa {
public:
    explicit LeitorMapa(const std::string& nome);
    ~LeitorMapa();
    LeitorMapa(const LeitorMapa&) = delete;
    LeitorMapa& operator=(const LeitorMapa&) = delete;

    const CabecalhoMapa& Cabecalho() const { return cabecalho_; }
    // The next record into r; false at the end of the file.
    bool Proximo(RegistroMapa& r);
    // Offset of the record Proximo returned last.
    std::uint64_t PosicaoRegistro() const { return posicaoRegistro_; }

private:
    [[noreturn]] void Danificado(std::uint64_t posicao, const std::string& motivo) const;
    std::string nome_;
    std::FILE* arquivo_ = nullptr;
    std::uint64_t posicao_ = 0;
    std::uint64_t posicaoRegistro_ = 0;
    CabecalhoMapa cabecalho_;
    std::vector<unsigned char> buffer_;
};

struct Mapa {
    CabecalhoMapa Cabecalho;
    std::vector<RegistroMapa> Registros;
};
// The whole file at once (the exporters, the distance tools and the tests).
Mapa LeMapa(const std::string& nome);

// Writes a .MAP file through a temporary file that replaces the target only on
// Fecha(). With running bounds (no limites given) the header starts at −1e20/+1e20,
// widens over every vertex written and is rewritten at offset 0 by Fecha();
// with fixed bounds (the importers that copy them from their source) the header is
// written once as given.
class GravadorMapa {
public:
    explicit GravadorMapa(const std::string& nome, std::optional<CabecalhoMapa> limites = std::nullopt);
    ~GravadorMapa();
    GravadorMapa(const GravadorMapa&) = delete;
    GravadorMapa& operator=(const GravadorMapa&) = delete;

    // Writes one record, its vertices capped at MaxPontosMapa. A record without
    // vertices cannot be read back and is not written (false).
    bool Grava(const RegistroMapa& r);
    const CabecalhoMapa& Cabecalho() const { return cabecalho_; }
    std::int64_t NumRegistros() const { return registros_; }
    // Rewrites the running bounds and puts the file in place. Throws ErroES.
    void Fecha();

private:
    std::unique_ptr<GravacaoSegura> saida_;
    CabecalhoMapa cabecalho_;
    bool limitesCorrentes_ = true;
    std::int64_t registros_ = 0;
};

// Writes a whole map with running bounds.
void GravaMapa(const std::string& nome, const std::vector<RegistroMapa>& registros);

// The texts that stop a drawing before it starts, or empty when the header is
// usable. The screen: "<nome> não é um arquivo de mapa do Dorvan." or "Não é
// possível mapear um único ponto."; the printer: "Versão inválida do arquivo de
// mapas :<versao>" or the single-point text.
std::string ProblemaCabecalhoTela(const std::string& nome, const CabecalhoMapa& c);
std::string ProblemaCabecalhoImpressora(const CabecalhoMapa& c);

// Bounds within ±180 in X and ±90 in Y: X longitude, Y latitude in degrees.
bool MapaGeografico(const CabecalhoMapa& c);

// One closed ring of an area record: vertices [Inicio, Inicio + Quantidade) (0-based).
struct AnelMapa {
    std::int32_t Inicio = 0;
    std::int32_t Quantidade = 0;
    bool operator==(const AnelMapa&) const = default;
};
// The rings of an area record: a ring ends at a return to the record's first
// vertex or at the last vertex, which is not part of it. Empty rings are left out.
std::vector<AnelMapa> AneisDoRegistro(const RegistroMapa& r);

// A zoomed view draws a record only when one of its vertices lies in the window
// (bounds inclusive).
bool RegistroNaJanela(const RegistroMapa& r, float minX, float minY, float maxX, float maxY);

// The 1-based table row of a record: its Codigo exactly as stored in the row-key
// index, else its Nome without accents in capitals; 0 when neither is found.
std::int32_t LinhaDoRegistro(const TIndice& indice, const RegistroMapa& r);

// The interior label point of an area record: the middle of the widest span the
// mean-Y line cuts through it. Crossings past the first MaxCruzamentos are
// ignored; with no span (every vertex on one side of the line) the centre of the
// record's bounding box.
PontoMapa PontoInterno(const RegistroMapa& r);

} // namespace dorvan

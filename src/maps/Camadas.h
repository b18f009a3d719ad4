#pragma once
// What the map draws over its coloured base: up to nine overlay layers (other .MAP
// files, DBF files of points, GPX waypoints), origin-destination flow lines and
// proportional circles of a second column. Each drawing step reads its file again
// and sends figures through the same DestinoDesenho as the base map, so the screen,
// the picture files and the paper share one set of rules.
#include "data/LeDBF32.h"
#include "maps/DesenhoMapa.h"
#include "maps/FluxoMapa.h"

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace dorvan {

inline constexpr std::int32_t MaxCamadas = 9;
inline constexpr std::size_t MaxArquivoCamada = 128;
inline constexpr std::int32_t PassoIdentificacaoCamada = 200000; // DBF point k, record n: k·200000 + n
inline constexpr std::int64_t BaseIdentificacaoFluxo = 2000001;  // flow record i (0-based): 2000001 + i

inline constexpr const char* NoveCamadas = "Somente nove camadas por mapa";
inline constexpr const char* SemLatLon = " n\xE3o cont\xE9m os campos LATITUDE e/ou LONGITUDE";
inline constexpr const char* SemCamposFluxo =
    " n\xE3o cont\xE9m pelo menos um dos campos X1,Y1,X2,Y2,Tipo,Fluxo ou Distancia";

// The 16 colours of the layer dialog's 4 × 4 grid, row by row (stored form).
extern const std::array<std::uint32_t, 16> CoresCamada;

enum class TipoCamada { Mapa, DBF, GPX, Outro };

// One waypoint of a GPX layer.
struct PontoGPX {
    double Lat = 0, Lon = 0;
    std::string Nome; // the name element's text
};
// The waypoints of a GPX text, in file order, in one pass over it.
std::vector<PontoGPX> LeCamadaGPX(const std::string& texto);

struct CamadaDoMapa {
    std::string ArquivoCamada; // full name, at most 128 characters
    std::uint32_t CorCamada = CorPreta;
    bool ComLegenda = false;
    bool Transparente = false;
    std::int32_t LarguraCamada = 2; // 1..99
    bool Ativa = true;              // the check of its menu item
    // A GPX layer's waypoints, read from its file at the first drawing and kept for
    // every redraw after it (shared by the copies of the layer).
    mutable std::shared_ptr<const std::vector<PontoGPX>> PontosGPX;
};

// The kind of a layer file by its upper-cased extension.
TipoCamada TipoDaCamada(const std::string& arquivo);
// "&k name-without-folder", the caption of layer k's menu item.
std::string RotuloCamada(std::int32_t k, const std::string& arquivo);

// CamadasDoMapa: entries 1..NumCamadas() kept as a vector (index 0 = layer 1).
class CamadasDoMapa {
public:
    std::int32_t NumCamadas() const { return static_cast<std::int32_t>(lista_.size()); }
    // Layer k (1-based).
    CamadaDoMapa& Camada(std::int32_t k) { return lista_.at(static_cast<std::size_t>(k - 1)); }
    const CamadaDoMapa& Camada(std::int32_t k) const { return lista_.at(static_cast<std::size_t>(k - 1)); }
    // Appends an active layer (its file name cut to 128 characters); false with nine already.
    bool Adiciona(CamadaDoMapa c);
    // Removes layer k; the later ones move down a place with everything they carry.
    void Remove(std::int32_t k);
    void Limpa() { lista_.clear(); }

private:
    std::vector<CamadaDoMapa> lista_;
};

// A layer's DBF, closed on every way out.
struct DBFAberto {
    dbfRecord h;
    DBFAberto() = default;
    DBFAberto(const DBFAberto&) = delete;
    DBFAberto& operator=(const DBFAberto&) = delete;
    ~DBFAberto();
};
// Opens a layer's DBF into h. A vanished file is an error of the redraw (ErroES, told
// once by the window), not the open routine's own message at every repaint.
void AbreCamadaDBF(dbfRecord& h, const std::string& nome);

// Where a layer step reports a file that lacks its fields (the rest of the map is still drawn).
using AvisoCamada = std::function<void(const std::string&)>;

// The three overlay kinds on the screen (or any view through GeoParaTela).
// Only the .MAP overlay skips records outside a zoom window. A missing file throws ErroES.
void DesenhaCamadaMapa(const VistaMapa& v, const CamadaDoMapa& c, const JanelaMapa* janela,
                       const DestinoDesenho& destino);
// k = the layer number, for the identification value of its points.
void DesenhaCamadaDBF(const VistaMapa& v, const CamadaDoMapa& c, std::int32_t k, bool dbfComCP850,
                      const DestinoDesenho& destino, const AvisoCamada& aviso);
void DesenhaCamadaGPX(const VistaMapa& v, const CamadaDoMapa& c, const DestinoDesenho& destino);

// Every active layer in order, by kind. A layer whose file cannot be read is skipped
// and reported once through `aviso`; the other layers are still drawn.
void DesenhaCamadas(const VistaMapa& v, const CamadasDoMapa& camadas, const JanelaMapa* janela, bool dbfComCP850,
                    const DestinoDesenho& destino, const AvisoCamada& aviso);

// The message of a right click on a point of a DBF layer or on a flow line: the
// file's name without folder, "======", then "field: value" for the first 15 fields
// of record `registro` (names in lower case, values trimmed). Empty when the file has
// no such record; a missing file throws ErroES.
std::string InformacaoDoPonto(const std::string& arquivo, std::int64_t registro, bool dbfComCP850);

// A number of a DBF text field: blanks removed, read with '.' as the decimal point,
// else with ','; nothing when neither reads.
std::optional<double> NumeroDaCamada(std::string_view campo);

// The radius of a proportional circle for |v| against the largest value M.
std::int32_t RaioCirculo(double v, double maior, std::int32_t raioMaximo);

// Proportional circles of column `coluna`: at each matched row's label point, largest first.
void DesenhaCirculos(const TabelaResultados& t, const std::string& nomeMapa, std::int32_t coluna, std::uint32_t cor,
                     std::int32_t raioMaximo, const VistaMapa& v, const DestinoDesenho& destino);

// The flow lines and pies of the map window's flow settings (the flow dialog's);
// indCor: the palette in use, whose last ones outline the discs in grey.
void DesenhaSetas(const VistaMapa& v, const ConfiguracaoSetas& o, std::int32_t indCor, const DestinoDesenho& destino,
                  const AvisoCamada& aviso);

} // namespace dorvan

#pragma once
// Relations between areas of the map: the flow table (an origin-destination matrix
// written as a DBF with both ends' label points and their distance), the preview of
// the arrows a filter keeps, the distance column from a clicked point (geodesic on
// longitude/latitude maps), the selection column, the class summary and the table
// handed to the outside 3D tool.
#include "data/LeDBF32.h"
#include "maps/ArquivoMapa.h"
#include "table/TabelaResultados.h"

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace dorvan {

// Geodesic distance on the ellipsoid of b = 6356775 m, f = 1/298.25 (Vincenty's
// inverse method). Created for one distance column; Distancia keeps the last result.
class TBearing {
public:
    using Ponto = std::pair<long double, long double>; // (latitude, longitude) in degrees

    static constexpr long double SemiEixoMenor = 6356775.0L;
    static constexpr long double Achatamento = 0.00335284784326514L;
    static constexpr long double Excentricidade2 = 0.00673957185227455L; // (a² − b²) / b²
    static constexpr long double GrausParaRadianos = 0.017453292519943295L;
    static constexpr long double Tolerancia = 1e-12L;
    static constexpr int MaxIteracoes = 100;
    static constexpr long double MinCos2Alfa = 1e-50L;
    static constexpr long double Deslocamento = 1e-15L; // keeps sin σ away from 0 for equal points

    // Distance in metres into Distancia. When the computation fails (a value that is
    // not finite), Distancia keeps what it held and the result is false.
    bool Inverse(const Ponto& ponto1, const Ponto& ponto2);

    long double Distancia = 0;
    // The intermediate values of the last computation.
    long double U1 = 0, U2 = 0, SinU1 = 0, CosU1 = 0, SinU2 = 0, CosU2 = 0;
    long double Lambda = 0, LambdaAnterior = 0, Sigma = 0, SinSigma = 0, CosSigma = 0;
    long double SinAlfa = 0, Cos2Alfa = 0, Cos2SigmaM = 0, Cos2SigmaM2 = 0;
    long double U2Quadrado = 0, A = 0, B = 0, DeltaSigma = 0, C = 0;
    int Iteracoes = 0;
};

// Central angle in degrees between two points in degrees (haversine form).
double DistanciaGeodesica(double lon1, double lat1, double lon2, double lat2);

// Metres per degree of great circle in the flow table.
inline constexpr double MetrosPorGrau = 111111.0;
inline constexpr std::int32_t MaxRegistrosFluxo = 10000; // map codes the flow table looks up

// ---- flow table ----------------------------------------------------------------------

// The 11 fields of the flow table: DE and PARA as wide as the label column (1..254).
std::vector<CampoDBF> CamposFluxo(const TabelaResultados& t);

// Writes the results table, read as an origin-destination matrix (the last column is
// the row total and never a destination), as the flow DBF `arquivo` with the label
// points of both ends from `nomeMapa`. A flow whose end has no map record gets "0"
// coordinates and distance 0. Returns the records written. Throws ErroES / ErroFatal.
std::int64_t GravaTabelaFluxo(const TabelaResultados& t, const std::string& nomeMapa, const std::string& arquivo);

// ---- the arrows' filter ------------------------------------------------------------

// The flow settings of the map window (read by the arrow drawing).
struct ConfiguracaoSetas {
    bool MostraSetas = false;
    std::string ArquivoFluxo; // the flow DBF
    bool Dominante = true;
    std::int32_t FluxoMinimo = 1;
    std::int32_t DistanciaMinima = 1;
    std::int32_t DivisorLargura = 0; // +1 pixel of width per this flow; 0 = fixed width
    float PercentualMinimo = 0;      // of the origin's total
    std::uint32_t Cor = 0;           // 0x00BBGGRR
    bool Setor = false;              // "Gráfico externos / locais"
};

struct PreviaSetas {
    bool CamposOk = false;
    std::int64_t NumSetas = 0;
    std::int64_t FluxoTotal = 0;
    std::int64_t MaiorFluxo = 0;
};

// Whether one flow passes the filter (TOT1 of 0 counts as a share of 0 %).
bool SetaPassa(const ConfiguracaoSetas& c, std::int64_t tipo, std::int64_t fluxo, std::int64_t distancia,
               std::int64_t tot1);

// Counts the arrows of `arquivo` that pass the filter. A file without the fields TIPO,
// FLUXO, DISTANCIA or TOT1 shows "<file> não contém os campos Tipo, Fluxo, Distancia
// ou Tot1" and returns CamposOk false. A value that is not an integer throws ErroES
// naming the file, the record and the field. A file that cannot be opened: CamposOk false.
PreviaSetas ContaSetas(const std::string& arquivo, const ConfiguracaoSetas& c);

// ---- distance and selection columns ----------------------------------------------------

inline constexpr const char* TituloDistancias = "Distancias";
// Appends "Distancias" (0 decimals, width 10, no total) with each row's distance
// from (x, y) to its record's label point: metres on a geographic map, map units
// otherwise. Rows are found through t.IndiceLinhas. False when the column was refused.
bool ColunaDistancias(TabelaResultados& t, const std::string& nomeMapa, double x, double y);

// The column marked by the selection mode: the first titled "SELECIONADA" in any
// case, else a new "Selecionada" (0 decimals, width 6). 0 when none can be added.
std::int32_t ColunaDeSelecao(TabelaResultados& t);

// ---- class summary and the 3D tool --------------------------------------------------

// The lines of "&Informação": the mapped column's title, the header and one line
// per class with its upper limit, frequency and the sums of the summed columns.
std::vector<std::string> ResumoClasses(const TabelaResultados& t);

inline constexpr const char* ArquivoTabela3D = "temp.tab";
// The outside 3D tool in the program folder ("Zintorel.exe", else "Zintorel"); empty when absent.
std::string Programa3D(const std::string& dirPrograma);
std::vector<std::string> Argumentos3D();

} // namespace dorvan

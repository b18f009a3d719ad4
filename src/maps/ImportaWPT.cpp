// Waypoint files (.WPT): one point per line that starts with W, in degrees and
// decimal minutes with a hemisphere letter.
#include "maps/ImportaComum.h"

#include "platform/Numeros.h"

namespace dorvan {

using namespace importa;

namespace {

std::string Trecho(const std::string& s, std::size_t inicio, std::size_t n = std::string::npos) {
    return inicio < s.size() ? s.substr(inicio, n) : std::string();
}

// "S2330.5000": hemisphere, degrees (two digits when the point is 6th, else three), minutes.
float CoordenadaGrau(const std::string& t) {
    if (t.empty()) return 0;
    const bool doisDigitos = t.size() > 5 && t[5] == '.';
    const std::size_t g = doisDigitos ? 2 : 3;
    const double graus = LePrefixoNumerico(Trecho(t, 1, g));
    const double minutos = LePrefixoNumerico(Trecho(t, 1 + g));
    double v = graus + minutos / 60;
    const char h = t[0];
    if (h == '-' || h == 'O' || h == 'S' || h == 'W') v = -v;
    return static_cast<float>(v);
}

} // namespace

std::string ImportaWPT(const std::string& arquivo) {
    LinhasTexto l(arquivo);
    const std::string saida = NomeMapaSaida(arquivo);
    GravadorMapa g(saida);
    std::string linha;
    while (l.Le(linha)) {
        if (linha.empty() || linha[0] != 'W') continue;
        RegistroMapa r;
        r.Codigo = r.Nome = Trecho(linha, 3, 6);
        std::string resto = Trecho(linha, 10);
        std::size_t b = resto.find(' ');
        const std::string latitude = resto.substr(0, b);
        resto = b == std::string::npos ? std::string() : resto.substr(b + 1);
        const std::string longitude = resto.substr(0, resto.find(' '));
        r.Tipo = TipoPonto;
        r.Pontos.push_back({CoordenadaGrau(longitude), CoordenadaGrau(latitude)});
        RotuloPelasRegras(r);
        g.Grava(r);
    }
    g.Fecha();
    return saida;
}

} // namespace dorvan

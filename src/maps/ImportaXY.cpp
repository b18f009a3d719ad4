// "XY" text files: comment lines with '!', a unit line, then "name,x,y" starting a
// record and "x,y" continuing it; a return to the first vertex closes a polygon.
#include "maps/ImportaComum.h"

#include <algorithm>

namespace dorvan {

using namespace importa;

std::string ImportaXY(const std::string& arquivo) {
    LinhasTexto l(arquivo);
    const std::string saida = NomeMapaSaida(arquivo);
    GravadorMapa g(saida);
    std::string linha;
    while (l.Le(linha) && !linha.empty() && linha[0] == '!') {
    }
    // linha is now the unit line (or the file ended).
    RegistroMapa r;
    long long lidos = 0; // vertices given, beyond those a record holds too
    auto grava = [&] {
        if (lidos > MaxPontosMapa) AvisaTruncado(r.Nome, lidos);
        const auto& v = r.Pontos;
        if (v.size() == 1)
            r.Tipo = TipoPonto;
        else
            r.Tipo = v.back() == v.front() ? TipoPoligono : TipoLinha;
        RotuloPelasRegras(r);
        CortaTextos(r);
        g.Grava(r);
        r.Pontos.clear();
        lidos = 0;
    };
    while (l.Le(linha)) {
        const auto virgulas = std::count(linha.begin(), linha.end(), ',');
        if (virgulas == 2) {
            if (!r.Pontos.empty()) grava();
            const std::size_t v = linha.find(',');
            r.Nome = linha.substr(0, v);
            r.Codigo = r.Nome;
            r.Pontos.push_back(PontoVirgula(linha.substr(v + 1)));
            lidos = 1;
        } else if (virgulas == 1) {
            const PontoMapa p = PontoVirgula(linha);
            ++lidos;
            Acrescenta(r, p);
            if (r.Pontos.size() > 1 && p == r.Pontos.front()) grava();
        }
    }
    if (!r.Pontos.empty()) grava();
    g.Fecha();
    return saida;
}

} // namespace dorvan

#pragma once
// Small map records the map tests build their maps from.
#include "maps/ArquivoMapa.h"

#include <string>

namespace dorvan::teste {

// A square area with its lower left corner at (x, y), labelled at its centre.
inline RegistroMapa Quadrado(const std::string& codigo, const std::string& nome, float x, float y, float lado) {
    RegistroMapa r;
    r.Codigo = codigo;
    r.Nome = nome;
    r.RotuloX = x + lado / 2;
    r.RotuloY = y + lado / 2;
    r.Pontos = {{x, y}, {x + lado, y}, {x + lado, y + lado}, {x, y + lado}, {x, y}};
    return r;
}

} // namespace dorvan::teste

#pragma once
// Paints the figures of a map redraw with QPainter: into the picture the user sees
// and, for figures that carry an identification value, into the identification
// picture that a click reads back (one value per pixel, no smoothing).
#include "maps/DesenhoMapa.h"

#include <QColor>
#include <QFont>
#include <QImage>

class QPainter;

namespace dorvan {

// A stored colour (0x00BBGGRR) as Qt's colour, and back.
QColor CorQt(std::uint32_t cor);
std::uint32_t CorArmazenada(const QColor& c);

// The identification value of a pixel of the identification picture.
std::uint32_t ValorIdentificacao(const QImage& identificacao, int x, int y);

// The font of names and values on the map: Arial, 11 pixels, black.
QFont FonteRotulosMapa();

// Paints one figure; identificacao may be null (pictures that are not on the screen).
void PintaFiguraMapa(QPainter& visivel, QPainter* identificacao, const PrimitivaMapa& f);

} // namespace dorvan

// Canvas text for Qt code inside the platform: the vector pictures draw text exactly as the
// raster canvas does.
#pragma once

#include "platform/Graphics.h"

#include <QPainter>
#include <QPainterPath>
#include <QRect>
#include <QString>

namespace QtCanvas {

// Whether a GUI application runs: text and pictures need its fonts.
bool HaveGuiApplication();

// Draws Text in the canvas font of Font with the top-left of its cell at the painter's origin, in
// Color (0x00BBGGRR, resolved). Returns the box of the cell and the glyphs in painter coordinates.
QRect DrawCellText(QPainter& Painter, const TFont& Font, TColor Color, const QString& Text);
// The outlines of the glyphs that DrawCellText draws, for pictures that carry no fonts.
QPainterPath CellTextPath(const TFont& Font, const QString& Text);

}  // namespace QtCanvas

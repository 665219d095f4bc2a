// The colours of the dependencies: ten pairs of a strong and a pale colour, chosen by a
// dependency's position in the list.
#pragma once

#include "platform/Graphics.h"

struct TPaletteEntry {
    TColor Strong;
    TColor Pale;
};

inline constexpr int PaletteSize = 10;
extern const TPaletteEntry Palette[PaletteSize];

// The strong colour of entry Position mod 10 when Strong is set, its pale colour otherwise.
TColor PaletteColor(unsigned Position, bool Strong);

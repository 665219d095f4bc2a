#include "project/Palette.h"

const TPaletteEntry Palette[PaletteSize] = {
    {RGB(0, 0, 0), RGB(235, 235, 235)},
    {RGB(255, 0, 0), RGB(255, 235, 235)},
    {RGB(0, 255, 0), RGB(235, 255, 235)},
    {RGB(0, 0, 255), RGB(235, 235, 255)},
    {RGB(255, 255, 0), RGB(255, 255, 235)},
    {RGB(0, 255, 255), RGB(235, 255, 255)},
    {RGB(255, 0, 255), RGB(255, 235, 235)},
    {RGB(192, 0, 0), RGB(192, 235, 235)},
    {RGB(0, 192, 0), RGB(235, 192, 235)},
    {RGB(192, 0, 192), RGB(192, 235, 192)},
};

TColor PaletteColor(unsigned Position, bool Strong)
{
    const TPaletteEntry& e = Palette[Position % PaletteSize];
    return Strong ? e.Strong : e.Pale;
}

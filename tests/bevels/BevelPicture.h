// Pixel pictures for the bevel tests: a bitmap region rendered as rows of characters, one per
// pixel, so that a painted frame can be compared with a drawing in the test.
#pragma once

#include "platform/Graphics.h"

#include <map>
#include <string>

namespace bevel_test {

inline constexpr TColor Lo = clRed;      // 'L'
inline constexpr TColor Hi = clBlue;     // 'H'
inline constexpr TColor Dk = clGreen;    // 'D'
inline constexpr TColor Lt = clYellow;   // 'T'
inline constexpr TColor Bg = clSilver;   // 'b'

// Rows of the region (0, 0, Width, Height) of the canvas, '\n' after each; white is '.', the
// colours above their letters, anything else '?'.
inline std::string Picture(TCanvas* Canvas, int Width, int Height)
{
    const std::map<TColor, char> legend{{clWhite, '.'}, {Lo, 'L'}, {Hi, 'H'},
                                        {Dk, 'D'},      {Lt, 'T'}, {Bg, 'b'}};
    std::string s;
    for (int y = 0; y < Height; ++y) {
        for (int x = 0; x < Width; ++x) {
            const auto it = legend.find(ColorToRGB(Canvas->GetPixel(x, y)));
            s += it == legend.end() ? '?' : it->second;
        }
        s += '\n';
    }
    return s;
}

// Joins picture rows given one per argument.
template <typename... Rows>
std::string Pic(Rows... rows)
{
    return ((std::string(rows) + "\n") + ...);
}

} // namespace bevel_test

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace km740 {

// Window positions and sizes of the forms are in twips; the program draws
// them at 15 twips to a pixel.
constexpr int kTwipsPerPixel = 15;
constexpr int twipsToPixels(int twips)
{
    return (twips + kTwipsPerPixel / 2) / kTwipsPerPixel;
}

} // namespace km740

// The enumerations that configure the dot-matrix LCD (TLCDLabel): character set, dot size,
// dot shape and border. Kept apart so toolkit-free code can use them.
#pragma once

namespace korv::controls {

enum class TDotMatrix { mat5x7, mat5x8, mat7x9, mat9x12, Hitachi, Hitachi2, dos5x7, CustomFont };

// The n-th value (from 1) draws every dot as n x n pixels; pixCustom uses PixelWidth x PixelHeight.
enum class TPixelSize {
    pix1x1,
    pix2x2,
    pix3x3,
    pix4x4,
    pix5x5,
    pix6x6,
    pix7x7,
    pix8x8,
    pix9x9,
    pix10x10,
    pix11x11,
    pix12x12,
    pix13x13,
    pix14x14,
    pix15x15,
    pix16x16,
    pixCustom
};

enum class TPixelShape { spSquare, spShaped, spRound };

enum class TMyBorder { frRaised, frLowered, frSingle, frNone };

} // namespace korv::controls

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QImage>
#include <QRgb>
#include <QSize>

#include "raster/texture_decoder.h"

namespace vc::gui {

// The two greys of the checkerboard that shows through where a texture is transparent, in squares
// of kCheckerSquare pixels starting with the light one at the top left.
constexpr QRgb kCheckerLight = 0xFFCCCCCC;
constexpr QRgb kCheckerDark = 0xFF999999;
constexpr int kCheckerSquare = 8;

// The decoded texture as an image with its alpha (premultiplied), fitted into box keeping its
// aspect; a picture smaller than the box keeps its own size.
QImage FittedPicture(const DecodedTexture& texture, QSize box);
QImage FittedPicture(const QImage& picture, QSize box);
// The picture as a box shows it: fitted, and a picture that fits the box more than once enlarged
// as many whole times as fit, each pixel a square.
QImage ShownPicture(const QImage& picture, QSize box);

// The picture drawn over the checkerboard: opaque, with the board showing through its alpha.
QImage OverCheckerboard(const QImage& picture);

// The picture's alpha as a greyscale image: black where transparent, white where opaque.
QImage AlphaAsGrey(const QImage& picture);

}  // namespace vc::gui

// SPDX-License-Identifier: GPL-3.0-or-later
#include "rw/native_picture.h"

#include "io/error.h"
#include "rw/txd_format.h"

namespace vc {

DecodedTexture DecodeTexture(std::span<const uint8_t> file, const TxdTexture& texture) {
    if (!texture.Format || texture.LevelPixels.empty()) {
        throw Error(ErrorKind::Malformed, texture.Problem);
    }
    const ByteRange picture = texture.LevelPixels[0];
    return DecodeLevel({.Format = *texture.Format,
                        .Width = texture.Width,
                        .Height = texture.Height,
                        .Pixels = file.subspan(picture.Offset, picture.Size),
                        .Palette = file.subspan(texture.Palette.Offset, texture.Palette.Size),
                        .PaletteAlpha = (texture.RasterFormat & kRasterPixelFormat) == kRasterC8888});
}

}  // namespace vc

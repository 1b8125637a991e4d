// SPDX-License-Identifier: GPL-3.0-or-later
#include "texture_picture.h"

#include <QPainter>
#include <algorithm>
#include <cstring>

namespace vc::gui {

QImage FittedPicture(const DecodedTexture& texture, QSize box) {
    // A view of the decoded bytes, copied once by the conversion.
    const QImage rgba(texture.Rgba.data(), texture.Width, texture.Height, 4 * texture.Width, QImage::Format_RGBA8888);
    return FittedPicture(rgba.convertToFormat(QImage::Format_RGBA8888_Premultiplied), box);
}

QImage ShownPicture(const QImage& picture, QSize box) {
    if (picture.isNull()) {
        return picture;
    }
    const QImage fitted = FittedPicture(picture, box);
    // Each pixel a square, so that small textures and pixel art stay sharp.
    const int times = std::min(box.width() / fitted.width(), box.height() / fitted.height());
    return times > 1 ? fitted.scaled(fitted.size() * times, Qt::IgnoreAspectRatio, Qt::FastTransformation) : fitted;
}

QImage FittedPicture(const QImage& picture, QSize box) {
    if (picture.width() <= box.width() && picture.height() <= box.height()) {
        return picture;
    }
    // Premultiplied, so that smoothing does not bleed the colour of transparent pixels.
    return picture.convertToFormat(QImage::Format_RGBA8888_Premultiplied)
        .scaled(box, Qt::KeepAspectRatio, Qt::SmoothTransformation);
}

QImage OverCheckerboard(const QImage& picture) {
    QImage board(picture.size(), QImage::Format_RGB32);
    for (int y = 0; y < board.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(board.scanLine(y));
        for (int x = 0; x < board.width(); ++x) {
            const bool light = (x / kCheckerSquare + y / kCheckerSquare) % 2 == 0;
            row[x] = light ? kCheckerLight : kCheckerDark;
        }
    }
    QPainter painter(&board);
    painter.drawImage(0, 0, picture);
    return board;
}

QImage AlphaAsGrey(const QImage& picture) {
    const QImage alpha = picture.convertToFormat(QImage::Format_Alpha8);
    QImage grey(alpha.size(), QImage::Format_Grayscale8);
    for (int y = 0; y < alpha.height(); ++y) {
        std::memcpy(grey.scanLine(y), alpha.constScanLine(y), static_cast<size_t>(alpha.width()));
    }
    return grey;
}

}  // namespace vc::gui

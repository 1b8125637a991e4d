// SPDX-License-Identifier: GPL-3.0-or-later
#include "raster/raster_encoding.h"

#include <array>
#include <stdexcept>
#include <string>

#include "pixels/channel_widening.h"

namespace vc {

namespace {

// For each byte, the code of the given bits whose widened value lies nearest (the lower on a tie).
template <unsigned Bits>
constexpr std::array<uint8_t, 256> NearestCodes() {
    std::array<uint8_t, 256> codes{};
    for (unsigned value = 0; value < 256; ++value) {
        unsigned best = 0;
        for (unsigned code = 1; code < (1u << Bits); ++code) {
            const auto distance = [&](unsigned c) {
                const unsigned widened = WidenChannel(c, Bits);
                return widened > value ? widened - value : value - widened;
            };
            if (distance(code) < distance(best)) {
                best = code;
            }
        }
        codes[value] = static_cast<uint8_t>(best);
    }
    return codes;
}

constexpr std::array<uint8_t, 256> kCode4 = NearestCodes<4>();
constexpr std::array<uint8_t, 256> kCode5 = NearestCodes<5>();
constexpr std::array<uint8_t, 256> kCode6 = NearestCodes<6>();

uint16_t SixteenBits(TextureFormat format, const uint8_t* bgra) {
    const uint8_t blue = bgra[0];
    const uint8_t green = bgra[1];
    const uint8_t red = bgra[2];
    const uint8_t alpha = bgra[3];
    switch (format) {
        case TextureFormat::C565:
            return static_cast<uint16_t>(kCode5[red] << 11 | kCode6[green] << 5 | kCode5[blue]);
        case TextureFormat::C1555:
            return static_cast<uint16_t>((alpha >= 128) << 15 | kCode5[red] << 10 | kCode5[green] << 5 | kCode5[blue]);
        case TextureFormat::C555:
            return static_cast<uint16_t>(kCode5[red] << 10 | kCode5[green] << 5 | kCode5[blue]);
        default:  // 4444
            return static_cast<uint16_t>(kCode4[alpha] << 12 | kCode4[red] << 8 | kCode4[green] << 4 | kCode4[blue]);
    }
}

}  // namespace

std::vector<uint8_t> EncodeLevel(const PixelLevel& level, TextureFormat format) {
    CheckPixelLevel(level);
    std::vector<uint8_t> bytes = level.Bgra;
    switch (format) {
        case TextureFormat::C8888:
            return bytes;
        case TextureFormat::C888:
            for (size_t i = 3; i < bytes.size(); i += 4) {
                bytes[i] = 255;
            }
            return bytes;
        case TextureFormat::C565:
        case TextureFormat::C1555:
        case TextureFormat::C4444:
        case TextureFormat::C555:
            bytes.resize(level.Bgra.size() / 2);
            for (size_t i = 0; i < bytes.size(); i += 2) {
                const uint16_t value = SixteenBits(format, level.Bgra.data() + 2 * i);
                bytes[i] = static_cast<uint8_t>(value);
                bytes[i + 1] = static_cast<uint8_t>(value >> 8);
            }
            return bytes;
        default:
            throw std::invalid_argument("EncodeLevel: " + std::string(TextureFormatName(format)) +
                                        " is not stored as whole pixels of their own");
    }
}

}  // namespace vc

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "io/byte_source.h"
#include "io/core_share.h"
#include "io/ordered_work.h"
#include "ops/txd_verdict.h"
#include "rw/game_target.h"
#include "rw/txd_reader.h"

namespace vc {

// Where extraction hands the files it makes, each named as a file of the target folder.
class ExtractionSink {
  public:
    virtual ~ExtractionSink() = default;
    virtual void Write(std::string_view fileName, std::span<const uint8_t> bytes) = 0;
};

// What became of one texture of the dictionary.
struct ExtractedTexture {
    std::string Name;
    uint16_t Width = 0;
    uint16_t Height = 0;
    std::string Format;  // "PAL8", "DXT1", ...
    uint8_t Levels = 0;
    std::string ImageFile;  // empty when the texture could not be extracted
    std::string MaskName;   // empty when the texture has no alpha
    std::string MaskFile;
    std::string Problem;  // why the texture could not be extracted
};

struct ExtractionResult {
    uint32_t VersionStamp = 0;  // the dictionary's, which the list keeps
    // San Andreas for a dictionary of Direct3D 9 natives, which the list keeps too; none for
    // Direct3D 8 ones, the default.
    std::optional<Game> Target;
    std::vector<ExtractedTexture> Textures;
    std::string ListFile;  // empty when no texture could be extracted
    size_t Failed = 0;
    // Set when the dictionary breaks off after some textures: those before the break are here.
    std::optional<TxdDamage> Damage;
    // What the game its natives and stamp are for will make of it, as verify judges it.
    Verdict Judgement;
};

// Where and why a dictionary is damaged, in words for its user.
std::string DamageText(std::string_view dictionaryName, const TxdDamage& damage);

// Told of each texture in turn once the ones before it are written: how many are done, how many
// there are, and its name.
using ExtractionProgress = std::function<void(size_t done, size_t total, std::string_view name)>;

// Takes a dictionary apart into the product's own terms: one image per texture (a bitmap with the
// palette's exact colours for paletted textures, 4-bit for PAL4, or a 24-bit one, for textures of
// one level; a DDS file with the exact levels otherwise; 4-bit bitmaps of each level of a PAL4
// texture), a greyscale mask for every texture in a bitmap with alpha (alpha flag set, or some
// pixel less than opaque), and the texture list "<listBaseName>.txt" naming them in dictionary
// order by their paths in folder, with the dictionary's version stamp and the fields each texture
// needs kept. Built again with that stamp and default options, the list gives every texture native
// byte for byte. File names come from the texture names but never leave the folder; the list keeps
// the real names, also one the dictionary holds twice. Throws an Error when the dictionary does
// not start as one; one that breaks off later gives the textures before the break (perhaps none)
// and says where it broke. A texture that cannot be decoded is reported and left out.
// Textures are decoded and encoded on up to jobs threads; the sink and progress are called on the
// calling thread only, and the files, names and calls are the same for any number of jobs.
ExtractionResult ExtractTxd(std::span<const uint8_t> file, std::string_view listBaseName, std::string_view folder,
                            ExtractionSink& sink, const ExtractionProgress& progress = {},
                            unsigned jobs = DefaultJobCount());
// The same, reading the dictionary one texture at a time: memory follows the textures being
// worked on, not the dictionary. With cores, each texture is taken apart on one of them, which the
// rest of the program shares.
ExtractionResult ExtractTxd(const ByteSource& file, std::string_view listBaseName, std::string_view folder,
                            ExtractionSink& sink, const ExtractionProgress& progress = {},
                            unsigned jobs = DefaultJobCount(), CoreShare* cores = nullptr);

}  // namespace vc

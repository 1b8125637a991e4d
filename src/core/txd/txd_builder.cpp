#include "txd/txd_builder.h"

#include <algorithm>
#include <array>
#include <limits>
#include <string>

#include "io/byte_reader.h"
#include "io/byte_writer.h"
#include "io/code_page.h"
#include "io/error.h"
#include "txd/grey_level.h"
#include "txd/txd_format.h"

namespace vc {

namespace {

constexpr uint64_t kClosingExtensionSize = kChunkHeaderSize + kCreatorText.size();

// Empties both conversion slots however the build ends.
class SlotRelease {
  public:
    explicit SlotRelease(ImageIntake& intake) : m_intake(intake) {}
    SlotRelease(const SlotRelease&) = delete;
    SlotRelease& operator=(const SlotRelease&) = delete;
    ~SlotRelease() { m_intake.ReleaseBuffers(); }

  private:
    ImageIntake& m_intake;
};

// Reads the entry's images into the slots; false when the entry is to be left out.
bool LoadEntryImages(ImageIntake& intake, const TTexFile& entry, bool pwr2lmt, TImageInfo& colour, TImageInfo& alpha) {
    if (!intake.ReadImageFile(entry.TexPath, kColourSlot, true, pwr2lmt, colour)) {
        return false;
    }
    if (!entry.HasAlpha) {
        return true;
    }
    return intake.ReadImageFile(entry.AlphaPath, kAlphaSlot, true, pwr2lmt, alpha) &&
           entry.TexName != entry.AlphaName && CheckAlphaFit(colour, alpha) == AlphaFit::Fits;
}

std::array<uint8_t, 256> PaletteGreyLevels(const ConversionSlot& slot) {
    std::array<uint8_t, 256> levels{};
    for (size_t i = 0; i < levels.size(); ++i) {
        levels[i] = GreyLevel(LoadU32(&slot.PaletteBuf[4 * i]), ColourOrder::Palette);
    }
    return levels;
}

// An 8-bit texture takes its alpha from the alpha image's palette only: entry i of that palette
// gives the alpha of every pixel of colour index i.
void MergePaletteAlpha(ConversionSlot& colour, const ConversionSlot& alpha) {
    const std::array<uint8_t, 256> levels = PaletteGreyLevels(alpha);
    for (size_t i = 0; i < levels.size(); ++i) {
        colour.PaletteBuf[4 * i + 3] = levels[i];
    }
}

void MergePixelAlpha(ConversionSlot& colour, const ConversionSlot& alpha, uint8_t alphaDepth) {
    uint8_t* pixel = colour.PixelBuf.data();
    const size_t pixelCount = colour.PixelBuf.size() / 4;
    if (alphaDepth == 8) {
        const std::array<uint8_t, 256> levels = PaletteGreyLevels(alpha);
        for (size_t k = 0; k < pixelCount; ++k) {
            pixel[4 * k + 3] = levels[alpha.IndexBuf[k]];
        }
    } else {
        for (size_t k = 0; k < pixelCount; ++k) {
            pixel[4 * k + 3] = GreyLevel(LoadU32(&alpha.PixelBuf[4 * k]), ColourOrder::Pixel);
        }
    }
}

void WriteHeader(ByteSink& out, ChunkType type, uint64_t size, uint32_t stamp) {
    out.Append(MakeChunkHeader(type, static_cast<uint32_t>(size), stamp));
}

// Refuses a texture that would carry the dictionary past what its 32-bit size field can hold.
void CheckRoomFor(uint64_t dictionarySize, const TextureNativeSizes& sizes, const TTexFile& entry) {
    const uint64_t sizeField =
        dictionarySize + kChunkHeaderSize + sizes.Content + kClosingExtensionSize - kChunkHeaderSize;
    if (sizeField > std::numeric_limits<uint32_t>::max()) {
        throw Error(ErrorKind::Write, "The texture dictionary would exceed 4 GiB with \"" + entry.TexName +
                                          "\", more than its size fields can hold; nothing was written.");
    }
}

const std::vector<uint8_t>& PixelData(const ConversionSlot& slot, uint8_t depth) {
    return depth == 8 ? slot.IndexBuf : slot.PixelBuf;
}

// The pixel data must be exactly as long as the size fields written before it say, and an alpha
// image merged pixel by pixel must have as many pixels as the colour image.
void CheckPixelLengths(const TTexFile& entry, const ImageIntake& intake, const TImageInfo& colour,
                       const TImageInfo& alpha, uint64_t rasterSize) {
    const std::string texture = "Texture \"" + entry.TexName + "\": ";
    const size_t found = PixelData(intake.Slots[kColourSlot], colour.Depth).size();
    if (found != rasterSize) {
        throw Error(ErrorKind::Malformed, texture + "its image has " + std::to_string(found) +
                                              " bytes of pixel data but the texture's size fields say " +
                                              std::to_string(rasterSize) + "; nothing was written.");
    }
    if (entry.HasAlpha && colour.Depth == 32) {
        const uint64_t expected = uint64_t{colour.Width} * colour.Height * (alpha.Depth == 8 ? 1 : 4);
        const size_t alphaFound = PixelData(intake.Slots[kAlphaSlot], alpha.Depth).size();
        if (alphaFound != expected) {
            throw Error(ErrorKind::Malformed, texture + "its alpha image has " + std::to_string(alphaFound) +
                                                  " bytes of pixel data but " + std::to_string(expected) +
                                                  " were expected; nothing was written.");
        }
    }
}

// The texture's fields up to its palette.
std::vector<uint8_t> TextureFields(const TTexFile& entry, const TImageInfo& colour, const TextureNativeSizes& sizes,
                                   uint32_t stamp, uint32_t flag) {
    ByteWriter fields;
    WriteHeader(fields, ChunkType::TextureNative, sizes.Content, stamp);
    WriteHeader(fields, ChunkType::Data, sizes.DataContent, stamp);
    fields.U32(kPlatformId);
    fields.U32(flag);
    fields.FixedText(Utf8ToWindows1252(entry.TexName), kNameFieldSize);
    fields.FixedText(Utf8ToWindows1252(entry.AlphaName), kNameFieldSize);
    fields.U32(RasterFormat(colour.Depth, entry.HasAlpha));
    fields.U32(entry.HasAlpha ? 1 : 0);
    fields.U16(colour.Width);
    fields.U16(colour.Height);
    fields.U8(colour.Depth);
    fields.U8(1);  // levels: no mipmaps
    fields.U8(4);  // raster type
    fields.U8(0);  // no compression
    return fields.Take();
}

}  // namespace

void WriteTextureNative(ByteSink& out, const TTexFile& entry, ImageIntake& intake, const TImageInfo& colour,
                        const TImageInfo& alpha, uint32_t stamp, uint32_t flag) {
    const TextureNativeSizes sizes = TextureNativeSizesFor(colour.Width, colour.Height, colour.Depth);
    CheckRoomFor(out.Size(), sizes, entry);
    CheckPixelLengths(entry, intake, colour, alpha, sizes.Raster);
    out.Append(TextureFields(entry, colour, sizes, stamp, flag));

    ConversionSlot& colourSlot = intake.Slots[kColourSlot];
    const ConversionSlot& alphaSlot = intake.Slots[kAlphaSlot];
    if (colour.Depth == 8) {
        if (entry.HasAlpha) {
            MergePaletteAlpha(colourSlot, alphaSlot);
        }
        out.Append(colourSlot.PaletteBuf);
    } else if (entry.HasAlpha) {
        MergePixelAlpha(colourSlot, alphaSlot, alpha.Depth);
    }
    out.Append(LittleEndianU32(static_cast<uint32_t>(sizes.Raster)));
    out.Append(PixelData(colourSlot, colour.Depth));
    WriteHeader(out, ChunkType::Extension, 0, stamp);
}

namespace {

// The size the dictionary will have if every image is as it was last read; reserving it saves
// copying hundreds of megabytes while the buffer grows.
uint64_t ExpectedSize(const TextureList& list) {
    uint64_t size = 2 * kChunkHeaderSize + 4 + kClosingExtensionSize;
    for (const TTexFile& entry : list) {
        if (entry.TexInfo.Depth == 8 || entry.TexInfo.Depth == 32) {
            size += kChunkHeaderSize +
                    TextureNativeSizesFor(entry.TexInfo.Width, entry.TexInfo.Height, entry.TexInfo.Depth).Content;
        }
    }
    return std::min<uint64_t>(size, std::numeric_limits<uint32_t>::max());
}

}  // namespace

BuildResult BuildTxdInto(ByteSink& out, Workspace& workspace, const TxdOptions& options,
                         const BuildProgress& progress) {
    BuildResult result;
    result.Total = workspace.TexList.size();
    if (workspace.TexList.empty()) {
        return result;
    }
    SlotRelease release(workspace.Intake);
    const uint32_t stamp = VersionStamp(options.VersionIndex);
    const uint32_t flag = TextureFlag(options.FlagIndex);

    // Both sizes are patched once every texture is written.
    WriteHeader(out, ChunkType::TextureDictionary, 0, stamp);
    WriteHeader(out, ChunkType::Data, 4, stamp);
    out.Append(LittleEndianU32(0));
    for (size_t index = 0; index < workspace.TexList.size(); ++index) {
        TTexFile& entry = workspace.TexList[index];
        if (progress) {
            progress(index, result.Total, entry.TexName);
        }
        TImageInfo colour;
        TImageInfo alpha;
        if (!LoadEntryImages(workspace.Intake, entry, options.pwr2lmt, colour, alpha)) {
            continue;
        }
        entry.TexInfo = colour;
        if (entry.HasAlpha) {
            entry.AlphaInfo = alpha;
        } else {
            entry.AlphaName.clear();
        }
        WriteTextureNative(out, entry, workspace.Intake, colour, alpha, stamp, flag);
        ++result.Written;
    }
    out.PatchU32(kTextureCountOffset, result.Written);
    WriteHeader(out, ChunkType::Extension, kCreatorText.size(), stamp);
    out.Append({reinterpret_cast<const uint8_t*>(kCreatorText.data()), kCreatorText.size()});
    out.PatchU32(kDictionarySizeOffset, static_cast<uint32_t>(out.Size() - kChunkHeaderSize));
    result.Size = out.Size();
    return result;
}

BuildResult BuildTxd(Workspace& workspace, const TxdOptions& options, const BuildProgress& progress) {
    ByteWriter out;
    out.Reserve(ExpectedSize(workspace.TexList));
    BuildResult result = BuildTxdInto(out, workspace, options, progress);
    result.Bytes = out.Take();
    return result;
}

}  // namespace vc

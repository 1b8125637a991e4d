// SPDX-License-Identifier: GPL-3.0-or-later
#include "ops/txd_builder.h"

#include <algorithm>
#include <limits>
#include <string>

#include "io/byte_writer.h"
#include "io/core_share.h"
#include "io/error.h"
#include "io/file_names.h"
#include "io/ordered_work.h"
#include "io/work_pool.h"
#include "ops/image_reading.h"
#include "ops/written_names.h"
#include "rw/texture_native.h"
#include "rw/txd_format.h"
#include "rw/txd_writer.h"

namespace vc {

namespace {

// Empties both conversion slots however an entry's preparation ends, so that a worker holds no
// pixels between entries.
class SlotRelease {
  public:
    explicit SlotRelease(ImageIntake& intake) : m_intake(intake) {}
    SlotRelease(const SlotRelease&) = delete;
    SlotRelease& operator=(const SlotRelease&) = delete;
    ~SlotRelease() { m_intake.ReleaseBuffers(); }

  private:
    ImageIntake& m_intake;
};

// The format "as image": 8-bit paletted images stay paletted, 32-bit ones keep their alpha byte
// only when the texture has alpha, and images stored ready for a texture keep their format.
TextureFormat FormatAsImage(const TImageInfo& colour, bool hasAlpha) {
    if (colour.StoredFormat) {
        return *colour.StoredFormat;
    }
    if (colour.Depth == 8) {
        return TextureFormat::Pal8;
    }
    return hasAlpha ? TextureFormat::C8888 : TextureFormat::C888;
}

// A kept raster format stands only for the kind of raster it was kept for. Its mipmap bit must say
// whether the texture has levels, unless the word was kept for this very level count (other writers
// set the bit on one level, or leave it off a chain); its palette bits and its pixel format,
// where that decides the layout (a palette's entries do not follow it), must be the format's. A DXT
// layout follows the compression byte alone, so any word stands for it. A texture whose format or
// levels were changed since gets its own.
bool SameRasterKind(uint32_t kept, uint32_t derived, TextureFormat format, bool levelsAsKept) {
    if (!levelsAsKept && (kept & kRasterMipmap) != (derived & kRasterMipmap)) {
        return false;
    }
    if (CompressionOf(format) != 0) {
        return true;
    }
    constexpr uint32_t kPalette = kRasterPal8 | kRasterPal4;
    if ((kept & kPalette) != (derived & kPalette)) {
        return false;
    }
    return IsPaletted(format) || (kept & kRasterPixelFormat) == (derived & kRasterPixelFormat);
}

// A kept raster format that still fits a raster of format with levels.
std::optional<uint32_t> KeptRasterFormat(const TextureOutput& output, TextureFormat format, size_t levels) {
    // Whether the texture has alpha changes no bits SameRasterKind compares.
    const bool levelsAsKept = output.RasterLevels == levels;
    if (output.RasterFormat &&
        SameRasterKind(*output.RasterFormat, RasterFormatOf(format, false, levels), format, levelsAsKept)) {
        return output.RasterFormat;
    }
    return std::nullopt;
}

}  // namespace

bool StoresAlpha(const TTexFile& entry, TextureFormat format, size_t levels) {
    if (format == TextureFormat::Dxt1) {
        const std::optional<uint32_t> kept = KeptRasterFormat(entry.Output, format, levels);
        return !kept || (*kept & kRasterPixelFormat) != kRasterC565;
    }
    return CarriesAlpha(format);
}

TextureFields FieldsFor(const TTexFile& entry, const TImageInfo& colour, TextureFormat format, size_t levels,
                        uint32_t buildFlag) {
    const TextureOutput& output = entry.Output;
    const bool storesAlpha = StoresAlpha(entry, format, levels);
    TextureFields fields;
    fields.Name = entry.TexName;
    // A format without alpha never claims it: the games would draw the texture blended.
    fields.AlphaFlag = output.AlphaFlag.value_or(storesAlpha && (entry.HasAlpha || colour.HasAlpha));
    // An image's own alpha is named after the texture, as a list import names an unnamed mask.
    const std::string maskName = !storesAlpha       ? ""
                                 : entry.HasAlpha   ? entry.AlphaName
                                 : fields.AlphaFlag ? entry.TexName + "a"
                                                    : "";
    fields.MaskName = output.MaskName.value_or(maskName);
    fields.Flags = output.Flags.value_or(levels > 1 ? MipmapFlag(buildFlag) : buildFlag);
    fields.RasterFormat =
        KeptRasterFormat(output, format, levels).value_or(RasterFormatOf(format, fields.AlphaFlag, levels));
    // A kept depth, surface format or Direct3D 9 flags byte stands only for the format it was kept with.
    if (output.Format == format) {
        fields.Depth = output.Depth.value_or(0);
        fields.D3dFormat = output.D3dFormat;
        fields.D3d9Flags = output.D3d9Flags;
    }
    fields.Extension = output.Extension;
    return fields;
}

std::string MaskNameWritten(const TTexFile& entry) {
    const RasterChoice choice = ChoiceFor(entry, entry.TexInfo);
    return FieldsFor(entry, entry.TexInfo, choice.Format, choice.Mipmaps ? 2 : 1, 0).MaskName;
}

RasterChoice ChoiceFor(const TTexFile& entry, const TImageInfo& colour) {
    const bool hasAlpha = entry.Output.AlphaFlag.value_or(entry.HasAlpha || colour.HasAlpha);
    const TextureFormat format = entry.Output.Format.value_or(FormatAsImage(colour, hasAlpha));
    // The levels as the entry asks for them: a DDS file's own levels are only known once it is read.
    const size_t levels = entry.Output.Mipmaps ? 2 : 1;
    return {.Format = format, .Mipmaps = entry.Output.Mipmaps, .Opaque = !StoresAlpha(entry, format, levels)};
}

namespace {

// The target game's platform, stamp and device id, or Direct3D 8 natives with the chosen stamp; a
// kept stamp replaces either's.
DictionaryForm FormFor(const TxdOptions& options) {
    DictionaryForm form{.Stamp = VersionStamp(options.VersionIndex)};
    if (options.Target) {
        const GameTarget& target = TargetOf(*options.Target);
        form = {.Platform = target.Platform, .Stamp = target.Stamp, .DeviceId = target.DeviceId};
    }
    form.Stamp = options.KeptStamp.value_or(form.Stamp);
    return form;
}

// The size the dictionary will have if every image is as it was last read; reserving it saves
// copying hundreds of megabytes while the buffer grows.
uint64_t ExpectedSize(const TextureList& list) {
    uint64_t size = DictionaryOverhead();
    for (const TTexFile& entry : list) {
        if (entry.TexInfo.Depth == 8 || entry.TexInfo.Depth == 32) {
            size += kChunkHeaderSize +
                    TextureNativeSizesFor(entry.TexInfo.Width, entry.TexInfo.Height, entry.TexInfo.Depth).Content;
        }
    }
    return std::min<uint64_t>(size, std::numeric_limits<uint32_t>::max());
}

// One entry made ready on a worker: its images read and its texture native assembled, waiting to
// be written in list order.
struct PreparedTexture {
    bool Accepted = false;  // false when intake or the alpha checks leave the entry out
    std::string Problems;   // the problem blocks intake wrote for the entry
    TImageInfo Colour;
    TImageInfo Alpha;
    TextureFields Fields;
    TextureRaster Raster;
};

// Reads only the entry and uses only the worker's own intake, so entries can be prepared side by
// side; their DXT levels share the build's pool.
PreparedTexture PrepareTexture(ImageIntake& intake, const TTexFile& entry, const TxdOptions& options,
                               uint32_t buildFlag, WorkPool& dxtPool) {
    const SlotRelease release(intake);
    PreparedTexture prepared;
    intake.ProblemText.clear();
    prepared.Accepted = LoadEntryImages(intake, entry, options.pwr2lmt, prepared.Colour, prepared.Alpha);
    prepared.Problems = std::move(intake.ProblemText);
    if (!prepared.Accepted) {
        return prepared;
    }
    RasterChoice choice = ChoiceFor(entry, prepared.Colour);
    choice.Dxt = options.Dxt;
    choice.DxtPool = &dxtPool;
    choice.FillSmallBlockLevels = options.Target == Game::SanAndreas;
    if (entry.HasAlpha && choice.Opaque) {
        prepared.Problems += "\r\n\r\n=> \"" + std::string(FileNamePart(entry.TexPath)) + "\":\r\n\t" +
                             std::string(TextureFormatName(choice.Format)) +
                             " has no alpha channel: its alpha image is not written.";
    }
    prepared.Raster = AssembleRaster(intake, entry, prepared.Colour, prepared.Alpha, choice);
    prepared.Fields = FieldsFor(entry, prepared.Colour, choice.Format, prepared.Raster.Levels.size(), buildFlag);
    return prepared;
}

}  // namespace

BuildResult BuildTxdInto(ByteSink& out, Workspace& workspace, const TxdOptions& options,
                         const BuildProgress& progress) {
    BuildResult result;
    TextureList& list = workspace.TexList;
    result.Total = list.size();
    if (list.empty()) {
        return result;
    }
    if (list.size() > kMaxTextures) {
        throw Error(ErrorKind::Limit, "The list has " + std::to_string(list.size()) + " textures, more than the " +
                                          std::to_string(kMaxTextures) +
                                          " a texture dictionary can hold; nothing was written.");
    }
    const uint32_t flag = TextureFlag(options.FlagIndex);
    std::vector<ImageIntake> intakes = WorkerIntakes(workspace.Intake, workspace.Jobs);
    const auto jobs = static_cast<unsigned>(intakes.size());
    // One pool for the whole build: the workers' DXT levels share its threads, so that the last
    // large texture does not keep one core busy alone, and the threads are started once. Workers
    // and helpers share the build's cores: helpers compute only on the cores workers leave.
    CoreShare ownCores(jobs);
    CoreShare* const cores = workspace.Cores != nullptr ? workspace.Cores : &ownCores;
    WorkPool dxtPool(jobs - 1, cores);

    const DictionaryForm form = FormFor(options);
    TxdWriter dictionary(out, form);
    TxdJudge judge(options.Target.value_or(GuessedGame(form.Platform, form.Stamp)), !options.Target, form.Stamp);
    WrittenNames names;
    RunInOrder(
        list.size(), jobs,
        [&](unsigned worker, size_t index) {
            const CoreShare::Held core(cores);
            return PrepareTexture(intakes[worker], list[index], options, flag, dxtPool);
        },
        [&](size_t index, PreparedTexture prepared) {
            workspace.Intake.ProblemText += prepared.Problems;
            TTexFile& entry = list[index];
            if (prepared.Accepted && names.Admit(entry, prepared.Fields, workspace.Intake.ProblemText)) {
                entry.TexInfo = prepared.Colour;
                if (entry.HasAlpha) {
                    entry.AlphaInfo = prepared.Alpha;
                } else {
                    entry.AlphaName.clear();
                }
                dictionary.Add(prepared.Fields, prepared.Raster);
                // Judged as written: names cut to their fields (each cut is noted among the problems).
                NativeHeader header = NativeHeaderFor(form.Platform, prepared.Fields, prepared.Raster);
                header.Name = NameAsWritten(header.Name);
                header.MaskName = NameAsWritten(header.MaskName);
                const std::vector<std::span<const uint8_t>> levels(prepared.Raster.Levels.begin(),
                                                                   prepared.Raster.Levels.end());
                judge.Add({.Header = header, .Format = prepared.Raster.Format, .Levels = levels});
                result.Names.push_back(header.Name);
                result.Entries.push_back(index);
            }
        },
        [&](size_t index) {
            if (progress) {
                progress(index, result.Total, list[index].TexName);
            }
        });
    result.Size = dictionary.Finish();
    result.Judgement = judge.Take();
    result.Written = dictionary.Count();
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

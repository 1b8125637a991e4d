// SPDX-License-Identifier: GPL-3.0-or-later
#include "ops/txd_verdict.h"

#include <algorithm>
#include <unordered_set>

#include "io/code_page.h"
#include "io/file_names.h"
#include "raster/texture_decoder.h"
#include "rw/native_picture.h"
#include "rw/txd_format.h"
#include "rw/version_stamp.h"

namespace vc {

namespace {

// What a texture rule looks at: the texture's fields, format, levels and whether its picture is
// translucent, and the game.
struct TextureCheck {
    const NativeHeader& Texture;
    std::optional<TextureFormat> Format;
    std::span<const std::span<const uint8_t>> Levels;
    std::optional<bool> Translucent;
    const GameTarget& Target;
};

struct TextureRule {
    std::string_view Name;
    Severity Level;
    // The reason the texture breaks the rule, or nothing when it keeps it.
    std::optional<std::string> (*Broken)(const TextureCheck& check);
};

std::string Sides(uint32_t width, uint32_t height) {
    return std::to_string(width) + " × " + std::to_string(height);
}

bool IsPowerOfTwo(uint32_t side) {
    return side != 0 && (side & (side - 1)) == 0;
}

bool IsDxt(const TextureCheck& check) {
    return check.Format && IsBlockCompressed(*check.Format);
}

uint32_t FilterMode(const NativeHeader& texture) {
    return texture.Flags & 0xFF;
}

bool FiltersBetweenLevels(const NativeHeader& texture) {
    return FilterMode(texture) >= static_cast<uint32_t>(TextureFilter::MipNearest);
}

// A name field the writer filled to its last byte holds no end, and the game reads on.
bool FillsItsField(std::string_view name) {
    return Utf8ToWindows1252(name).size() >= kNameFieldSize;
}

// The levels whose smaller side is below 4 that do not hold, in each block, the first block of the
// last level whose smaller side is at least 4: the levels San Andreas draws black.
std::vector<std::string> UnfilledSmallLevels(const TextureCheck& check) {
    const NativeHeader& texture = check.Texture;
    const size_t blockSize = LevelSize(*check.Format, 4, 4);
    std::optional<std::span<const uint8_t>> reference;
    std::vector<std::string> unfilled;
    for (uint32_t level = 0; level < check.Levels.size(); ++level) {
        const uint32_t width = LevelSide(texture.Width, level);
        const uint32_t height = LevelSide(texture.Height, level);
        const std::span<const uint8_t> pixels = check.Levels[level];
        if (std::min(width, height) >= 4) {
            reference = pixels.first(std::min(blockSize, pixels.size()));
            continue;
        }
        if (!reference) {
            continue;  // a picture below 4 × 4 has no level to fill from (see "dxt-side")
        }
        bool filled = true;
        for (size_t block = 0; filled && block + blockSize <= pixels.size(); block += blockSize) {
            filled = std::ranges::equal(pixels.subspan(block, blockSize), *reference);
        }
        if (!filled) {
            unfilled.push_back(Sides(width, height));
        }
    }
    return unfilled;
}

std::string Joined(const std::vector<std::string>& parts) {
    std::string text;
    for (const std::string& part : parts) {
        text += (text.empty() ? "" : ", ") + part;
    }
    return text;
}

std::string_view PlatformName(uint32_t platform) {
    return platform == static_cast<uint32_t>(TxdPlatform::Direct3D9) ? "Direct3D 9" : "Direct3D 8";
}

// clang-format off
const TextureRule kTextureRules[] = {
    {"platform", Severity::WillNotLoad, [](const TextureCheck& check) -> std::optional<std::string> {
        if (check.Texture.Platform == static_cast<uint32_t>(check.Target.Platform)) {
            return std::nullopt;
        }
        return std::string(check.Target.Name) + " reads only " +
               std::string(PlatformName(static_cast<uint32_t>(check.Target.Platform))) +
               " textures; this one is of platform " + std::to_string(check.Texture.Platform) + ".";
    }},
    {"name-length", Severity::WillNotLoad, [](const TextureCheck& check) -> std::optional<std::string> {
        if (!FillsItsField(check.Texture.Name)) {
            return std::nullopt;
        }
        return "Its name fills all 32 bytes of its field with no end; the game reads on into the mask name "
               "and never finds the texture a model asks for. Names hold at most 31 bytes.";
    }},
    {"mask-name-length", Severity::WorthKnowing, [](const TextureCheck& check) -> std::optional<std::string> {
        if (!FillsItsField(check.Texture.MaskName)) {
            return std::nullopt;
        }
        return "Its mask name fills all 32 bytes of its field with no end; mask names hold at most 31 bytes.";
    }},
    {"power-of-two", Severity::WillLookWrong, [](const TextureCheck& check) -> std::optional<std::string> {
        if (IsPowerOfTwo(check.Texture.Width) && IsPowerOfTwo(check.Texture.Height)) {
            return std::nullopt;
        }
        return "Its sides, " + Sides(check.Texture.Width, check.Texture.Height) +
               ", are not powers of two; graphics cards of the game's time refuse such textures, and the "
               "game draws them white.";
    }},
    {"dxt-side", Severity::WillNotLoad, [](const TextureCheck& check) -> std::optional<std::string> {
        if (!IsDxt(check) || (check.Texture.Width % 4 == 0 && check.Texture.Height % 4 == 0)) {
            return std::nullopt;
        }
        return "It is DXT compressed at " + Sides(check.Texture.Width, check.Texture.Height) +
               "; Direct3D makes compressed textures only of sides that are multiples of 4.";
    }},
    {"level-count", Severity::WillNotLoad, [](const TextureCheck& check) -> std::optional<std::string> {
        const uint32_t most = FullChainLevels(check.Texture.Width, check.Texture.Height);
        if (check.Texture.Levels <= most) {
            return std::nullopt;
        }
        return "It has " + std::to_string(check.Texture.Levels) + " levels; a texture of " +
               Sides(check.Texture.Width, check.Texture.Height) + " has at most " + std::to_string(most) + ".";
    }},
    {"small-dxt-levels", Severity::WillLookWrong, [](const TextureCheck& check) -> std::optional<std::string> {
        if (check.Target.Id != Game::SanAndreas || !IsDxt(check)) {
            return std::nullopt;
        }
        const std::vector<std::string> unfilled = UnfilledSmallLevels(check);
        if (unfilled.empty()) {
            return std::nullopt;
        }
        return "Its compressed levels below 4 × 4 (" + Joined(unfilled) +
               ") are not filled from the 4 × 4 level; San Andreas draws them black from afar "
               "(the \"black roads\").";
    }},
    {"mipmaps-unused", Severity::WorthKnowing, [](const TextureCheck& check) -> std::optional<std::string> {
        if (check.Texture.Levels <= 1 || FiltersBetweenLevels(check.Texture)) {
            return std::nullopt;
        }
        return "It stores " + std::to_string(check.Texture.Levels) + " levels, but its filter mode (" +
               std::to_string(FilterMode(check.Texture)) + ") never uses them: they only take memory.";
    }},
    {"mipmaps-missing", Severity::WorthKnowing, [](const TextureCheck& check) -> std::optional<std::string> {
        if (check.Texture.Levels > 1 || !FiltersBetweenLevels(check.Texture)) {
            return std::nullopt;
        }
        return "Its filter mode (" + std::to_string(FilterMode(check.Texture)) +
               ") chooses between levels, but it has only one, so it is filtered as if it had none; with "
               "levels it would shimmer less from afar.";
    }},
    {"vice-city-mipmaps", Severity::WorthKnowing, [](const TextureCheck& check) -> std::optional<std::string> {
        if (check.Target.Id != Game::ViceCity || check.Texture.Levels <= 1) {
            return std::nullopt;
        }
        return "Vice City draws only the first of its " + std::to_string(check.Texture.Levels) +
               " levels unless a mipmap fix is installed.";
    }},
    {"palette-on-today's-cards", Severity::WorthKnowing, [](const TextureCheck& check) -> std::optional<std::string> {
        if (check.Target.Id != Game::SanAndreas || !check.Format || !IsPaletted(*check.Format)) {
            return std::nullopt;
        }
        return "It is paletted; today's graphics cards have no paletted textures, so the game turns it into "
               "32-bit colour as it loads, at four times the memory.";
    }},
    {"alpha-without-channel", Severity::WillLookWrong, [](const TextureCheck& check) -> std::optional<std::string> {
        if (check.Texture.AlphaFlag == 0 || !check.Format || CarriesAlpha(*check.Format)) {
            return std::nullopt;
        }
        return "Its alpha flag is set, but " + std::string(TextureFormatName(*check.Format)) +
               " holds no alpha: the game draws it blended, and it sorts wrongly with what lies behind it.";
    }},
    {"alpha-ignored", Severity::WillLookWrong, [](const TextureCheck& check) -> std::optional<std::string> {
        if (check.Texture.AlphaFlag != 0 || !check.Translucent.value_or(false)) {
            return std::nullopt;
        }
        return "Its pixels are partly transparent, but its alpha flag is clear: the game draws it solid.";
    }},
    {"alpha-unused", Severity::WorthKnowing, [](const TextureCheck& check) -> std::optional<std::string> {
        if (check.Texture.AlphaFlag == 0 || !check.Translucent || !CarriesAlpha(*check.Format) ||
            *check.Translucent) {
            return std::nullopt;
        }
        return "Its alpha flag is set, but every pixel is opaque: the game draws it blended, which costs speed "
               "and may sort it wrongly.";
    }},
    {"mipmap-bit-without-levels", Severity::WillLookWrong, [](const TextureCheck& check) -> std::optional<std::string> {
        if ((check.Texture.RasterFormat & kRasterMipmap) == 0 || check.Texture.Levels > 1) {
            return std::nullopt;
        }
        return "Its raster format says it has levels below its picture, but it stores none: the game makes "
               "levels it never fills.";
    }},
    {"levels-without-mipmap-bit", Severity::WorthKnowing, [](const TextureCheck& check) -> std::optional<std::string> {
        if ((check.Texture.RasterFormat & kRasterMipmap) != 0 || check.Texture.Levels <= 1) {
            return std::nullopt;
        }
        return "It stores " + std::to_string(check.Texture.Levels) +
               " levels, but its raster format does not say so: the game loads only the first.";
    }},
};
// clang-format on

std::vector<Finding> DictionaryFindings(uint32_t stamp, const GameTarget& target) {
    std::vector<Finding> findings;
    const RenderWareVersion stamped = DecodeVersionStamp(stamp);
    const RenderWareVersion game = DecodeVersionStamp(target.Stamp);
    const auto versionOrder = [](const RenderWareVersion& version) {
        return std::tuple(version.Major, version.Minor, version.Revision, version.Binary);
    };
    if (versionOrder(stamped) > versionOrder(game)) {
        findings.push_back({.Rule = "stamp",
                            .Level = Severity::WillNotLoad,
                            .Reason = "The dictionary is stamped RenderWare " + VersionText(stamped) + ", newer than " +
                                      std::string(target.Name) + "'s " + VersionText(game) + ": the game refuses it."});
    }
    return findings;
}

std::string DamageReason(const TxdDamage& damage) {
    const std::string where = damage.Texture >= damage.Count ? "after its last texture"
                                                             : "at texture " + std::to_string(damage.Texture + 1) +
                                                                   " of " + std::to_string(damage.Count);
    return "The dictionary breaks off " + where + " (" + damage.Detail + "); the game stops reading there.";
}

}  // namespace

std::string_view SeverityText(Severity severity) {
    switch (severity) {
        case Severity::WillNotLoad:
            return "will not load";
        case Severity::WillLookWrong:
            return "will look wrong";
        case Severity::WorthKnowing:
            break;
    }
    return "worth knowing";
}

std::string FindingText(const Finding& finding, std::string_view subject) {
    return std::string(subject) + ": " + std::string(SeverityText(finding.Level)) + ": " + finding.Reason + " [" +
           std::string(finding.Rule) + "]";
}

bool Verdict::Fails() const {
    return std::ranges::any_of(Findings,
                               [](const Finding& finding) { return finding.Level != Severity::WorthKnowing; });
}

std::string Verdict::FailingHeading() const {
    return std::string(TargetOf(Target).Name) + " will not take every texture as written:";
}

Game GuessedGame(TxdPlatform platform, uint32_t stamp) {
    const RenderWareVersion version = DecodeVersionStamp(stamp);
    if (platform == TxdPlatform::Direct3D9 || version.Minor >= 6) {
        return Game::SanAndreas;
    }
    return version.Minor >= 4 ? Game::ViceCity : Game::Gta3;
}

Game GuessedGame(const TxdContents& contents) {
    return GuessedGame(HoldsDirect3d9(contents) ? TxdPlatform::Direct3D9 : TxdPlatform::Direct3D8,
                       contents.VersionStamp);
}

TxdJudge::TxdJudge(Game game, bool guessed, uint32_t stamp)
    : m_verdict{.Target = game, .Guessed = guessed, .Findings = DictionaryFindings(stamp, TargetOf(game))} {}

void TxdJudge::Damaged(const TxdDamage& damage) {
    m_verdict.Findings.push_back({.Rule = "damaged", .Level = Severity::WillNotLoad, .Reason = DamageReason(damage)});
}

void TxdJudge::Add(const JudgedTexture& texture) {
    const size_t index = m_count++;
    const TextureCheck check{texture.Header, texture.Format, texture.Levels, texture.Translucent,
                             TargetOf(m_verdict.Target)};
    std::vector<Finding>& findings = m_verdict.Findings;
    const size_t before = findings.size();
    if (!m_names.insert(LowerAscii(texture.Header.Name)).second) {
        findings.push_back({index, "duplicate-name", Severity::WillLookWrong,
                            "A texture before it has the same name, ignoring case as the games do: the game uses "
                            "that one, and never this."});
    }
    for (const TextureRule& rule : kTextureRules) {
        if (std::optional<std::string> reason = rule.Broken(check)) {
            findings.push_back({index, rule.Name, rule.Level, std::move(*reason)});
        }
    }
    // Content that cannot be read will not load; a rule that already says why is enough.
    const bool explained = std::any_of(findings.begin() + static_cast<ptrdiff_t>(before), findings.end(),
                                       [](const Finding& finding) { return finding.Level == Severity::WillNotLoad; });
    if (!texture.Format && !explained) {
        findings.push_back({index, "unreadable", Severity::WillNotLoad,
                            "Its content cannot be read: " + std::string(texture.Problem)});
    }
}

void TxdJudge::AddRead(std::span<const uint8_t> file, const TxdTexture& texture, std::optional<bool> translucent) {
    std::vector<std::span<const uint8_t>> levels;
    if (texture.Format) {
        for (const ByteRange& level : texture.LevelPixels) {
            levels.push_back(BytesOf(file, level));
        }
    }
    Add({texture, texture.Format, levels, translucent, texture.Problem});
}

Verdict VerifyTxd(std::span<const uint8_t> file, const TxdContents& contents, std::optional<Game> game) {
    TxdJudge judge(game.value_or(GuessedGame(contents)), !game, contents.VersionStamp);
    if (contents.Damage) {
        judge.Damaged(*contents.Damage);
    }
    for (const TxdTexture& texture : contents.Textures) {
        judge.AddRead(file, texture,
                      texture.Format ? std::optional(AnyTranslucent(DecodeTexture(file, texture))) : std::nullopt);
    }
    return judge.Take();
}

}  // namespace vc

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <unordered_set>
#include <utility>
#include <vector>

#include "raster/texture_decoder.h"
#include "rw/game_target.h"
#include "rw/txd_reader.h"

namespace vc {

// How badly a broken rule shows in the game.
enum class Severity {
    WillNotLoad,    // the game refuses the dictionary, or finds no texture where a model asks for one
    WillLookWrong,  // the texture loads, but is drawn white, black, solid or blended where it should not be
    WorthKnowing,   // the texture looks right, at a cost or only with a fix installed
};

// "will not load", "will look wrong", "worth knowing".
std::string_view SeverityText(Severity severity);

// One rule a texture, or the dictionary as a whole, breaks.
struct Finding {
    std::optional<size_t> Texture;  // counted from 0 in the dictionary; none for the whole dictionary
    std::string_view Rule;          // its short name, as the README lists the rules
    Severity Level = Severity::WorthKnowing;
    std::string Reason;  // in a modder's words

    bool operator==(const Finding&) const = default;
};

// "road: will look wrong: Its compressed levels … [small-dxt-levels]" for the subject "road".
std::string FindingText(const Finding& finding, std::string_view subject);
// The subject of a finding of the whole dictionary.
constexpr std::string_view kWholeDictionary = "the dictionary";

struct Verdict {
    Game Target = Game::Gta3;
    bool Guessed = false;  // the game was told by the stamp and platform, not given
    std::vector<Finding> Findings;

    // True when something will not load or will look wrong.
    bool Fails() const;
    // "San Andreas will not take every texture as written:", the words above the failing findings.
    std::string FailingHeading() const;
    bool operator==(const Verdict&) const = default;
};

// The game a dictionary is for by its natives and stamp: San Andreas for Direct3D 9 natives or a
// 3.6 stamp, Vice City for a 3.4 stamp, GTA III otherwise.
Game GuessedGame(TxdPlatform platform, uint32_t stamp);
Game GuessedGame(const TxdContents& contents);

// One texture as the rules see it: its fields, its format and its levels' bytes when its content
// could be read (else why not), and whether any pixel of its picture is translucent where it was
// decoded; without that the rules of its pixels are left out.
struct JudgedTexture {
    const NativeHeader& Header;
    std::optional<TextureFormat> Format;
    std::span<const std::span<const uint8_t>> Levels;
    std::optional<bool> Translucent;
    std::string_view Problem;
};

// Judges a dictionary texture by texture, as a reader reads them or a build writes them, so that
// neither needs the whole dictionary at once: the stamp's findings first, then each texture's.
class TxdJudge {
  public:
    TxdJudge(Game game, bool guessed, uint32_t stamp);

    void Damaged(const TxdDamage& damage);
    void Add(const JudgedTexture& texture);
    // A texture as the reader read it from file, with whether its picture is translucent where it
    // was decoded (AnyTranslucent, worked out where the picture is, so that a worker can).
    void AddRead(std::span<const uint8_t> file, const TxdTexture& texture, std::optional<bool> translucent);
    Verdict Take() { return std::move(m_verdict); }

  private:
    Verdict m_verdict;
    std::unordered_set<std::string> m_names;  // as the games compare them, ignoring case
    size_t m_count = 0;
};

// Checks every texture ReadTxd or ReadTxdUpToDamage read from file (the same bytes) by the game's
// rules, in dictionary order, the dictionary's own findings (its stamp, where it breaks off) first.
// A texture whose content could not be read will not load, and is checked by its fields alone.
Verdict VerifyTxd(std::span<const uint8_t> file, const TxdContents& contents, std::optional<Game> game);

}  // namespace vc

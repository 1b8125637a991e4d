#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

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

struct Verdict {
    Game Target = Game::Gta3;
    bool Guessed = false;  // the game was told by the stamp and platform, not given
    std::vector<Finding> Findings;

    // True when something will not load or will look wrong.
    bool Fails() const;
};

// The game a dictionary is for by its natives and stamp: San Andreas for Direct3D 9 natives or a
// 3.6 stamp, Vice City for a 3.4 stamp, GTA III otherwise.
Game GuessedGame(const TxdContents& contents);

// Checks every texture ReadTxd or ReadTxdUpToDamage read from file (the same bytes) by the game's
// rules, in dictionary order, the dictionary's own findings (its stamp, where it breaks off) first.
// A texture whose content could not be read will not load, and is checked by its fields alone.
Verdict VerifyTxd(std::span<const uint8_t> file, const TxdContents& contents, std::optional<Game> game);

}  // namespace vc

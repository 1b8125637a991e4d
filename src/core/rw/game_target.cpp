// SPDX-License-Identifier: GPL-3.0-or-later
#include "rw/game_target.h"

#include <algorithm>

#include "io/file_names.h"

namespace vc {

const GameTarget& TargetOf(Game game) {
    return *std::ranges::find(kGameTargets, game, &GameTarget::Id);
}

std::optional<Game> GameNamed(std::string_view key) {
    const std::string lower = LowerAscii(key);
    const auto found = std::ranges::find(kGameTargets, lower, &GameTarget::Key);
    return found != kGameTargets.end() ? std::optional(found->Id) : std::nullopt;
}

}  // namespace vc

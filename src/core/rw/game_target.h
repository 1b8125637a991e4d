// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

#include "raster/texture_format.h"

namespace vc {

// The PC games a dictionary is written for.
enum class Game { Gta3, ViceCity, SanAndreas };

// What a game's own dictionaries are: the platform of their texture natives, their version stamp
// and the device id of the dictionary's data (RenderWare before 3.6 held a 32-bit count there).
struct GameTarget {
    Game Id;
    std::string_view Key;   // "iii", "vc", "sa": the command line's and the list file's name
    std::string_view Name;  // "GTA III", as the window names it
    TxdPlatform Platform;
    uint32_t Stamp;
    uint16_t DeviceId;
};

// clang-format off
constexpr std::array<GameTarget, 3> kGameTargets = {{
    {Game::Gta3,       "iii", "GTA III",     TxdPlatform::Direct3D8, 0x0C02FFFF, 0},
    {Game::ViceCity,   "vc",  "Vice City",   TxdPlatform::Direct3D8, 0x1003FFFF, 0},
    {Game::SanAndreas, "sa",  "San Andreas", TxdPlatform::Direct3D9, 0x1803FFFF, 2},
}};
// clang-format on

const GameTarget& TargetOf(Game game);
// The game of a key as GameTarget names it, in any letter case.
std::optional<Game> GameNamed(std::string_view key);

}  // namespace vc

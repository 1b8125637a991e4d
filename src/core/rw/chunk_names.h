// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>

namespace vc {

// True for the chunk types whose content the walk reads as child chunks (a Data chunk is read so
// only at the top level).
bool IsContainerChunk(uint32_t type);

// The name a chunk type has in the chunk log: "Clump [16]", "UNKNOWN [99]".
std::string ChunkTypeName(uint32_t type);

// The prefix of a log line at the given depth: "  :  " once per level above, then "  :. ".
std::string LogIndent(int depth);

}  // namespace vc

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <limits>
#include <random>
#include <span>
#include <vector>

#include "io/error.h"

namespace vc::test {

// How reading damaged copies of a file ended: a result, or an Error.
struct DamageOutcome {
    size_t Read = 0;
    size_t Refused = 0;
};

// Reads rounds damaged copies of a file. Each copy has one to maxChanges bytes changed, within its
// first reach bytes three times in four and anywhere otherwise, and one copy in five is cut short.
// Any exception other than an Error ends the test.
inline DamageOutcome ReadDamagedCopies(std::mt19937& random, std::span<const uint8_t> original, int rounds,
                                       int maxChanges, const std::function<void(std::span<const uint8_t>)>& read,
                                       size_t reach = std::numeric_limits<size_t>::max()) {
    DamageOutcome outcome;
    for (int round = 0; round < rounds; ++round) {
        std::vector<uint8_t> file(original.begin(), original.end());
        const int changes = 1 + static_cast<int>(random() % static_cast<unsigned>(maxChanges));
        for (int i = 0; i < changes; ++i) {
            const size_t limit = random() % 4 == 0 ? file.size() : std::min(file.size(), reach);
            file[random() % limit] = static_cast<uint8_t>(random());
        }
        if (random() % 5 == 0) {
            file.resize(random() % file.size());
        }
        try {
            read(file);
            ++outcome.Read;
        } catch (const Error&) {
            ++outcome.Refused;
        }
    }
    return outcome;
}

}  // namespace vc::test

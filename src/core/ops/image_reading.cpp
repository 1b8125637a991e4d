// SPDX-License-Identifier: GPL-3.0-or-later
#include "ops/image_reading.h"

#include <algorithm>

namespace vc {

ImageReading ReadImageInfo(ImageIntake& intake, std::string_view path, size_t slot, IntakeRules rules) {
    ImageReading reading;
    const size_t reported = intake.ProblemText.size();
    try {
        reading.Accepted = intake.ReadImageFile(path, slot, false, rules, reading.Info);
    } catch (...) {
        reading.Failure = std::current_exception();
    }
    reading.Problems = intake.ProblemText.substr(reported);
    intake.ProblemText.resize(reported);
    return reading;
}

bool TakeReading(const ImageReading& reading, std::string& report, TImageInfo& info) {
    if (reading.Failure) {
        std::rethrow_exception(reading.Failure);
    }
    report += reading.Problems;
    info = reading.Info;
    return reading.Accepted;
}

std::vector<ImageIntake> WorkerIntakes(const ImageIntake& model, unsigned jobs) {
    std::vector<ImageIntake> intakes(std::max(1u, jobs));
    for (ImageIntake& intake : intakes) {
        intake.VerifyData = model.VerifyData;
    }
    return intakes;
}

}  // namespace vc

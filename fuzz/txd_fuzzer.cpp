// SPDX-License-Identifier: GPL-3.0-or-later
#include <set>
#include <string>

#include "io/error.h"
#include "ops/txd_extraction.h"
#include "ops/txd_verdict.h"

namespace {

// Takes the files extraction makes, in memory, and checks that no name could leave the folder.
class NameCheckingSink final : public vc::ExtractionSink {
  public:
    void Write(std::string_view fileName, std::span<const uint8_t>) override {
        if (fileName.empty() || fileName.find_first_of("/\\:") != std::string_view::npos || fileName == "." ||
            fileName == ".." || !m_names.insert(std::string(fileName)).second) {
            __builtin_trap();
        }
    }

  private:
    std::set<std::string> m_names;
};

}  // namespace

// Reads a dictionary, decodes every texture that was read and takes the dictionary apart into
// bitmaps, masks and a list, all in memory, and words where it broke off; then judges it for every
// game, whose verdict gives each finding a reason. A texture's problem and a broken dictionary are
// the expected outcomes of bad input. One job, so that an input runs without starting threads.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::span<const uint8_t> file(data, size);
    NameCheckingSink sink;
    try {
        const vc::ExtractionResult result = vc::ExtractTxd(file, "fuzz", "/extracted", sink, {}, 1);
        if (result.Damage && vc::DamageText("fuzz.txd", *result.Damage).empty()) {
            __builtin_trap();
        }
        const vc::TxdContents contents = vc::ReadTxdUpToDamage(file);
        for (const vc::GameTarget& target : vc::kGameTargets) {
            for (const vc::Finding& finding : vc::VerifyTxd(file, contents, target.Id).Findings) {
                if (finding.Reason.empty() || (finding.Texture && *finding.Texture >= contents.Textures.size())) {
                    __builtin_trap();
                }
            }
        }
    } catch (const vc::Error&) {
    }
    return 0;
}

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "io/number_format.h"

namespace vc {

// Who the log's first line says made it, as the first version fixed it.
constexpr std::string_view kChunkLogMaker = "Vellumcraft 1.1";

// The chunk log of a model check: a header, one line per chunk read and per name taken, and the
// appendix line. Lines end with CR LF; the text is collected whole and written in one piece.
class ChunkLog {
  public:
    ChunkLog(std::string_view dateTimeText, std::string_view modelPath, uint64_t modelSize, const NumberFormat& format);

    // remark, when given, follows the line: the walk says so when it does not descend.
    void ChunkLine(int depth, uint32_t type, uint32_t size, uint64_t payloadOffset, bool stampDiffers,
                   std::string_view remark = {});
    void NameLine(int depth, std::string_view name);
    void NoteLine(int depth, std::string_view note);
    void AppendixLine(int64_t bytesAfterWalk);

    const std::string& Text() const { return m_text; }
    // Writes the log in Windows-1252, replacing the file as a whole.
    void Save(std::string_view path) const;

  private:
    void Line(std::string_view text);

    std::string m_text;
};

}  // namespace vc

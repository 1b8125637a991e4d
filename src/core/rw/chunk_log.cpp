// SPDX-License-Identifier: GPL-3.0-or-later
#include "rw/chunk_log.h"

#include "io/atomic_file.h"
#include "io/code_page.h"
#include "io/file_names.h"
#include "rw/chunk_names.h"

namespace vc {

namespace {

std::string UpperAscii(std::string_view text) {
    std::string upper(text);
    for (char& c : upper) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        }
    }
    return upper;
}

}  // namespace

ChunkLog::ChunkLog(std::string_view dateTimeText, std::string_view modelPath, uint64_t modelSize,
                   const NumberFormat& format) {
    Line("Created on " + std::string(dateTimeText) + " by " + std::string(kChunkLogMaker));
    Line("");
    Line(UpperAscii(FileNamePart(modelPath)) + " (" + std::to_string(modelSize) + " Bytes / " +
         FormatHundredths(KilobyteHundredths(modelSize), false, 1, format) + " KB)");
    Line("  :");
}

void ChunkLog::ChunkLine(int depth, uint32_t type, uint32_t size, uint64_t payloadOffset, bool stampDiffers,
                         std::string_view remark) {
    Line(LogIndent(depth) + ChunkTypeName(type) + " (size: " + std::to_string(size) +
         "; offset: " + std::to_string(payloadOffset) + ")" + (stampDiffers ? " - ERROR!" : "") + std::string(remark));
}

void ChunkLog::NameLine(int depth, std::string_view name) {
    Line(LogIndent(depth + 1) + "> " + std::string(name));
}

void ChunkLog::NoteLine(int depth, std::string_view note) {
    Line(LogIndent(depth) + std::string(note));
}

void ChunkLog::AppendixLine(int64_t bytesAfterWalk) {
    Line("  :. Appendix (size: " + std::to_string(bytesAfterWalk) + ")");
}

void ChunkLog::Line(std::string_view text) {
    m_text += text;
    m_text += "\r\n";
}

void ChunkLog::Save(std::string_view path) const {
    const std::string bytes = Utf8ToWindows1252(m_text);
    WriteFileAtomically(path, {reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()});
}

}  // namespace vc

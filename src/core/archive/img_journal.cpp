// SPDX-License-Identifier: GPL-3.0-or-later
#include "archive/img_journal.h"

#include <algorithm>
#include <filesystem>

#include "io/atomic_file.h"
#include "io/byte_reader.h"
#include "io/error.h"
#include "io/file_io.h"
#include "io/file_names.h"
#include "io/native_file.h"

namespace vc {

namespace {

constexpr std::string_view kMagic = "VCJRNL01";

// FNV-1a: enough to tell a journal that lost its end from a whole one.
uint64_t Checksum(std::span<const uint8_t> bytes) {
    uint64_t hash = 0xCBF29CE484222325;
    for (const uint8_t byte : bytes) {
        hash = (hash ^ byte) * 0x100000001B3;
    }
    return hash;
}

// Lays the journal out in a buffer sized beforehand, written in place (GCC for Windows misreads
// growing appends in a loop as overflows).
class JournalBytes {
  public:
    explicit JournalBytes(size_t size) : m_bytes(size) {}
    void Put(std::span<const uint8_t> bytes) {
        std::copy(bytes.begin(), bytes.end(), m_bytes.begin() + static_cast<ptrdiff_t>(m_at));
        m_at += bytes.size();
    }
    void Put(std::string_view text) {
        PutNumber(text.size(), 4);
        Put({reinterpret_cast<const uint8_t*>(text.data()), text.size()});
    }
    void PutNumber(uint64_t value, size_t bytes) {
        for (size_t i = 0; i < bytes; ++i) {
            m_bytes[m_at++] = static_cast<uint8_t>(value >> (8 * i));
        }
    }
    std::vector<uint8_t>& Bytes() { return m_bytes; }

  private:
    std::vector<uint8_t> m_bytes;
    size_t m_at = 0;
};

std::string TakeText(ByteReader& in) {
    const std::span<const uint8_t> bytes = in.Bytes(in.U32());
    return {reinterpret_cast<const char*>(bytes.data()), bytes.size()};
}

uint64_t TakeU64(ByteReader& in) {
    const uint64_t low = in.U32();
    return low | uint64_t{in.U32()} << 32;
}

bool IsNameInFolder(std::string_view name) {
    return !name.empty() && name != "." && name != ".." && FileNamePart(name) == name;
}

std::string InFolderOf(std::string_view imgPath, std::string_view name) {
    return FromFsPath(ToFsPath(imgPath).parent_path() / ToFsPath(name));
}

}  // namespace

std::string JournalPath(std::string_view imgPath) {
    return std::string(imgPath) + ".journal";
}

void WriteJournal(std::string_view imgPath, const std::vector<JournalStep>& steps) {
    size_t size = kMagic.size() + 4 + 8;
    for (const JournalStep& step : steps) {
        size += 1 + 8 + 4 + step.From.size() + 4 + step.To.size() + 8 + step.Bytes.size();
    }
    JournalBytes out(size);
    out.Put({reinterpret_cast<const uint8_t*>(kMagic.data()), kMagic.size()});
    out.PutNumber(steps.size(), 4);
    for (const JournalStep& step : steps) {
        out.PutNumber(static_cast<uint8_t>(step.What), 1);
        out.PutNumber(step.Offset, 8);
        out.Put(std::string_view(step.From));
        out.Put(std::string_view(step.To));
        out.PutNumber(step.Bytes.size(), 8);
        out.Put(std::span<const uint8_t>(step.Bytes));
    }
    std::vector<uint8_t>& bytes = out.Bytes();
    out.PutNumber(Checksum(std::span(bytes).first(size - 8)), 8);
    // New beside the archive, yet on disk before the archive changes: a crash must find it whole.
    WriteFileAtomically(JournalPath(imgPath), bytes, Flush::Always);
}

std::optional<std::vector<JournalStep>> ReadJournal(std::string_view imgPath) {
    const std::string path = JournalPath(imgPath);
    if (!IsExistingFile(path)) {
        return std::nullopt;
    }
    const std::vector<uint8_t> bytes = ReadWholeFile(path);
    if (bytes.size() < kMagic.size() + 12 ||
        std::string_view(reinterpret_cast<const char*>(bytes.data()), kMagic.size()) != kMagic) {
        return std::nullopt;
    }
    const std::span<const uint8_t> body(bytes.data(), bytes.size() - 8);
    ByteReader tail(std::span<const uint8_t>(bytes).last(8), "journal");
    if (TakeU64(tail) != Checksum(body)) {
        return std::nullopt;
    }
    try {
        ByteReader in(body, "journal");
        in.Skip(kMagic.size());
        // Each step takes at least its kind, offset and three lengths.
        constexpr size_t kSmallestStep = 1 + 8 + 4 + 4 + 8;
        const uint32_t count = in.U32();
        if (count > in.Remaining() / kSmallestStep) {
            return std::nullopt;
        }
        std::vector<JournalStep> steps(count);
        for (JournalStep& step : steps) {
            const uint8_t kind = in.U8();
            if (kind < 1 || kind > 3) {
                return std::nullopt;
            }
            step.What = static_cast<JournalStep::Kind>(kind);
            step.Offset = TakeU64(in);
            step.From = TakeText(in);
            step.To = TakeText(in);
            const std::span<const uint8_t> content = in.Bytes(static_cast<size_t>(TakeU64(in)));
            step.Bytes.assign(content.begin(), content.end());
            // The files a step names stay inside the archive's folder.
            if (step.What != JournalStep::Kind::WriteImg &&
                (!IsNameInFolder(step.To) || (step.What == JournalStep::Kind::Rename && !IsNameInFolder(step.From)))) {
                return std::nullopt;
            }
        }
        return steps;
    } catch (const Error&) {
        return std::nullopt;
    }
}

void CarryOutJournal(std::string_view imgPath, const std::vector<JournalStep>& steps, const CrashPoint& crashPoint) {
    // The ".img" stays open while steps write into it, and is flushed once, before another file
    // changes and before the journal goes: until then a crash has the journal carried out again.
    std::optional<NativeFile> img;
    const auto settle = [&] {
        if (img) {
            img->FlushToDisk();
            img->Close();
            img.reset();
        }
    };
    for (size_t i = 0; i < steps.size(); ++i) {
        const JournalStep& step = steps[i];
        switch (step.What) {
            case JournalStep::Kind::WriteImg:
                if (!img) {
                    img.emplace(NativeFile::OpenForUpdate(imgPath));
                }
                img->WriteAt(step.Offset, step.Bytes);
                break;
            case JournalStep::Kind::ReplaceDir:
                // Named in the step: a ".dir" lost since (a replacement cut short where replacing is
                // not one step, a tool that removed it) is made anew rather than looked for.
                settle();
                WriteFileAtomically(InFolderOf(imgPath, step.To), step.Bytes);
                break;
            case JournalStep::Kind::Rename: {
                settle();
                const std::string from = InFolderOf(imgPath, step.From);
                if (IsExistingFile(from)) {
                    const std::string to = InFolderOf(imgPath, step.To);
                    if (const int failure = RenameOnto(from, to); failure != 0) {
                        throw Error(ErrorKind::Write, "Cannot rename " + from + " onto " + to + ": " +
                                                          std::error_code(failure, std::generic_category()).message());
                    }
                }
                break;
            }
        }
        if (crashPoint) {
            crashPoint("step " + std::to_string(i + 1) + " of the journal carried out");
        }
    }
    settle();
    RemoveFile(JournalPath(imgPath));
}

bool CompleteJournal(std::string_view imgPath) {
    if (!IsExistingFile(JournalPath(imgPath))) {
        return false;
    }
    if (const std::optional<std::vector<JournalStep>> steps = ReadJournal(imgPath)) {
        CarryOutJournal(imgPath, *steps);
        return true;
    }
    RemoveFile(JournalPath(imgPath));
    return false;
}

}  // namespace vc

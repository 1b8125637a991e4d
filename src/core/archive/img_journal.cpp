#include "archive/img_journal.h"

#include <filesystem>

#include "io/atomic_file.h"
#include "io/byte_reader.h"
#include "io/byte_writer.h"
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

void PutText(ByteWriter& out, std::string_view text) {
    out.U32(static_cast<uint32_t>(text.size()));
    out.Append({reinterpret_cast<const uint8_t*>(text.data()), text.size()});
}

std::string TakeText(ByteReader& in) {
    const std::span<const uint8_t> bytes = in.Bytes(in.U32());
    return {reinterpret_cast<const char*>(bytes.data()), bytes.size()};
}

uint64_t TakeU64(ByteReader& in) {
    const uint64_t low = in.U32();
    return low | uint64_t{in.U32()} << 32;
}

void PutU64(ByteWriter& out, uint64_t value) {
    out.U32(static_cast<uint32_t>(value));
    out.U32(static_cast<uint32_t>(value >> 32));
}

std::string InFolderOf(std::string_view imgPath, std::string_view name) {
    return FromFsPath(ToFsPath(imgPath).parent_path() / ToFsPath(name));
}

}  // namespace

std::string JournalPath(std::string_view imgPath) {
    return std::string(imgPath) + ".journal";
}

void WriteJournal(std::string_view imgPath, const std::vector<JournalStep>& steps) {
    ByteWriter out;
    out.Append({reinterpret_cast<const uint8_t*>(kMagic.data()), kMagic.size()});
    out.U32(static_cast<uint32_t>(steps.size()));
    for (const JournalStep& step : steps) {
        out.U8(static_cast<uint8_t>(step.What));
        PutU64(out, step.Offset);
        PutText(out, step.From);
        PutText(out, step.To);
        PutU64(out, step.Bytes.size());
        out.Append(step.Bytes);
    }
    std::vector<uint8_t> bytes = out.Take();
    const uint64_t checksum = Checksum(bytes);
    for (size_t i = 0; i < 8; ++i) {
        bytes.push_back(static_cast<uint8_t>(checksum >> (8 * i)));
    }
    WriteFileAtomically(JournalPath(imgPath), bytes);
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
            // A rename stays inside the archive's folder.
            if (step.What == JournalStep::Kind::Rename &&
                (FileNamePart(step.From) != step.From || FileNamePart(step.To) != step.To)) {
                return std::nullopt;
            }
        }
        return steps;
    } catch (const Error&) {
        return std::nullopt;
    }
}

void CarryOutJournal(std::string_view imgPath, std::string_view dirPath, const std::vector<JournalStep>& steps,
                     const CrashPoint& crashPoint) {
    for (size_t i = 0; i < steps.size(); ++i) {
        const JournalStep& step = steps[i];
        switch (step.What) {
            case JournalStep::Kind::WriteImg: {
                NativeFile img = NativeFile::OpenForUpdate(imgPath);
                img.WriteAt(step.Offset, step.Bytes);
                img.FlushToDisk();
                img.Close();
                break;
            }
            case JournalStep::Kind::ReplaceDir:
                WriteFileAtomically(dirPath, step.Bytes);
                break;
            case JournalStep::Kind::Rename: {
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
    RemoveFile(JournalPath(imgPath));
}

bool CompleteJournal(std::string_view imgPath, std::string_view dirPath) {
    if (!IsExistingFile(JournalPath(imgPath))) {
        return false;
    }
    if (const std::optional<std::vector<JournalStep>> steps = ReadJournal(imgPath)) {
        CarryOutJournal(imgPath, dirPath, *steps);
        return true;
    }
    RemoveFile(JournalPath(imgPath));
    return false;
}

}  // namespace vc

// SPDX-License-Identifier: GPL-3.0-or-later
#include "archive/img_writer.h"

#include <algorithm>
#include <iterator>
#include <optional>

#include "archive/img_archive.h"
#include "io/code_page.h"
#include "io/error.h"
#include "io/file_io.h"
#include "io/file_names.h"
#include "io/native_file.h"
#include "io/safe_file_names.h"

namespace vc {

namespace {

// A record's name field ends with a zero.
constexpr size_t kLongestName = kImgNameSize - 1;

uint64_t SectorsFor(uint64_t size) {
    return (size + kImgSector - 1) / kImgSector;
}

std::vector<uint8_t> Padded(std::span<const uint8_t> bytes, uint64_t sectors) {
    std::vector<uint8_t> padded(bytes.begin(), bytes.end());
    padded.resize(sectors * kImgSector, 0);
    return padded;
}

[[noreturn]] void Refuse(const ImgArchive& archive, const std::string& why) {
    throw Error(ErrorKind::Write, std::string(archive.Name()) + ": " + why + "; nothing was changed");
}

void CheckFile(const ImgArchive& archive, const ImgFileToPut& file) {
    const bool plain = !file.Name.empty() && SafeFileName(file.Name) == file.Name && FitsWindows1252(file.Name);
    if (!plain || Utf8ToWindows1252(file.Name).size() > kLongestName) {
        Refuse(archive, "\"" + file.Name + "\" cannot name an entry (a plain file name of at most 23 characters)");
    }
    if (file.Bytes.empty()) {
        Refuse(archive, "\"" + file.Name + "\" is empty");
    }
    if (SectorsFor(file.Bytes.size()) > (archive.Directory().Version == ImgVersion::V2 ? 0xFFFFu : 0xFFFFFFFFu)) {
        Refuse(archive, "\"" + file.Name + "\" is larger than an entry can be");
    }
}

// The directory as it will be: entries, their records, and the steps that change the archive in
// place, written first into the journal.
struct Plan {
    ImgVersion Version;
    std::vector<ImgEntry> Entries;
    std::vector<ImgRecordBytes> Records;
    std::vector<JournalStep> Steps;

    // The entry a file of that name takes the place of: the good one, else the first bad one of
    // the name, which nothing can read and which would make a new entry a repeated, bad, name.
    std::optional<size_t> Find(std::string_view name) const {
        if (const std::optional<size_t> good = FindImgEntry(Entries, name)) {
            return good;
        }
        const auto bad = std::find_if(Entries.begin(), Entries.end(), [&](const ImgEntry& entry) {
            return LowerAscii(entry.Name) == LowerAscii(name);
        });
        return bad == Entries.end() ? std::nullopt : std::optional(static_cast<size_t>(bad - Entries.begin()));
    }
    void Place(size_t index, uint32_t offset, uint32_t sectors) {
        Entries[index].Offset = offset;
        Entries[index].Sectors = sectors;
        Entries[index].Problem.clear();
        Records[index] = EncodeImgRecord(Version, Entries[index]);
    }
};

// Appends whole sectors after the archive's last one, or after a directory that will be larger.
class Appender {
  public:
    Appender(NativeFile& img, uint64_t firstFree) : m_img(img), m_next(firstFree) {}
    bool Appended() const { return m_appended; }
    uint32_t Append(std::span<const uint8_t> bytes) {
        m_appended = true;
        const uint64_t at = m_next;
        const uint64_t sectors = SectorsFor(bytes.size());
        m_img.WriteAt(at * kImgSector, Padded(bytes, sectors));
        m_next += sectors;
        if (m_next > 0xFFFFFFFF) {
            throw Error(ErrorKind::Limit, "the archive would grow past what its directory can point at");
        }
        return static_cast<uint32_t>(at);
    }

  private:
    NativeFile& m_img;
    uint64_t m_next;
    bool m_appended = false;
};

// The directory's own step: the whole ".dir" of version 1 (dirPath); for version 2 the records at
// the start of the ".img", the rest of the directory's sectors zero.
JournalStep DirectoryStep(const Plan& plan, std::string_view dirPath) {
    const std::vector<uint8_t> bytes = EncodeImgDirectory(plan.Version, plan.Records);
    if (plan.Version == ImgVersion::V1) {
        return {.What = JournalStep::Kind::ReplaceDir, .Bytes = bytes, .To = std::string(FileNamePart(dirPath))};
    }
    return {.What = JournalStep::Kind::WriteImg, .Offset = 0, .Bytes = Padded(bytes, SectorsFor(bytes.size()))};
}

// appended: whether data went after the archive's end, which must be on disk before the journal
// that points at it.
void Commit(const ImgArchive& archive, NativeFile& img, bool appended, Plan& plan, const CrashPoint& crashPoint) {
    if (appended) {
        img.FlushToDisk();
    }
    img.Close();
    if (crashPoint) {
        crashPoint("new data written at the end");
    }
    plan.Steps.push_back(DirectoryStep(plan, archive.DirPath()));
    WriteJournal(archive.ImgPath(), plan.Steps);
    if (crashPoint) {
        crashPoint("journal written");
    }
    CarryOutJournal(archive.ImgPath(), plan.Steps, crashPoint);
}

}  // namespace

void PutImgEntries(std::string_view archivePath, const std::vector<ImgFileToPut>& files, const CrashPoint& crashPoint) {
    const ImgArchive archive = ImgArchive::Open(archivePath);
    const ImgDirectory& directory = archive.Directory();
    if (!directory.Damage.empty()) {
        Refuse(archive, directory.Damage);
    }
    for (const ImgFileToPut& file : files) {
        CheckFile(archive, file);
    }
    Plan plan{directory.Version, directory.Entries, directory.Records, {}};
    // The entries there will be: a version 2 directory may outgrow its sectors.
    std::vector<std::string> added;
    for (const ImgFileToPut& file : files) {
        if (!plan.Find(file.Name) && std::none_of(added.begin(), added.end(), [&](const std::string& name) {
                return LowerAscii(name) == LowerAscii(file.Name);
            })) {
            added.push_back(file.Name);
        }
    }
    const uint64_t directorySectors =
        plan.Version == ImgVersion::V2 ? ImgDirectorySectors(plan.Entries.size() + added.size()) : 0;
    NativeFile img = NativeFile::OpenForUpdate(archive.ImgPath());
    Appender appender(img, std::max(SectorsFor(img.Size()), directorySectors));
    // Entries in the way of the directory move to the end; the old directory still points at their
    // old place until the new one is written.
    for (size_t i = 0; i < plan.Entries.size(); ++i) {
        const ImgEntry& entry = plan.Entries[i];
        if (entry.Problem.empty() && entry.Offset < directorySectors) {
            plan.Place(i, appender.Append(archive.Read(entry)), entry.Sectors);
        }
    }
    for (const ImgFileToPut& file : files) {
        const auto sectors = static_cast<uint32_t>(SectorsFor(file.Bytes.size()));
        std::optional<size_t> index = plan.Find(file.Name);
        if (index && plan.Entries[*index].Problem.empty() && sectors <= plan.Entries[*index].Sectors) {
            // In place, through the journal: a crash never leaves the entry half written.
            plan.Steps.push_back({.What = JournalStep::Kind::WriteImg,
                                  .Offset = plan.Entries[*index].ByteOffset(),
                                  .Bytes = Padded(file.Bytes, sectors)});
            plan.Place(*index, plan.Entries[*index].Offset, sectors);
            continue;
        }
        if (!index) {
            index = plan.Entries.size();
            plan.Entries.push_back({.Name = file.Name});
            plan.Records.emplace_back();
        }
        plan.Place(*index, appender.Append(file.Bytes), sectors);
    }
    Commit(archive, img, appender.Appended(), plan, crashPoint);
}

void RemoveImgEntries(std::string_view archivePath, const std::vector<std::string>& names,
                      const CrashPoint& crashPoint) {
    const ImgArchive archive = ImgArchive::Open(archivePath);
    const ImgDirectory& directory = archive.Directory();
    if (!directory.Damage.empty()) {
        Refuse(archive, directory.Damage);
    }
    Plan plan{directory.Version, {}, {}, {}};
    std::vector<bool> removed(names.size(), false);
    for (size_t i = 0; i < directory.Entries.size(); ++i) {
        bool named = false;
        for (size_t n = 0; n < names.size(); ++n) {
            if (LowerAscii(names[n]) == LowerAscii(directory.Entries[i].Name)) {
                named = removed[n] = true;
            }
        }
        if (!named) {
            plan.Entries.push_back(directory.Entries[i]);
            plan.Records.push_back(directory.Records[i]);
        }
    }
    for (size_t n = 0; n < names.size(); ++n) {
        if (!removed[n]) {
            Refuse(archive, "it holds no entry \"" + names[n] + "\"");
        }
    }
    NativeFile img = NativeFile::OpenForUpdate(archive.ImgPath());
    Commit(archive, img, false, plan, crashPoint);
}

size_t RebuildImgArchive(std::string_view archivePath, const CrashPoint& crashPoint) {
    // Closed before the new archive takes the old one's place: Windows replaces no file that is open.
    std::optional<ImgArchive> archive(ImgArchive::Open(archivePath));
    const ImgDirectory& directory = archive->Directory();
    std::vector<ImgEntry> kept;
    std::copy_if(directory.Entries.begin(), directory.Entries.end(), std::back_inserter(kept),
                 [](const ImgEntry& entry) { return entry.Problem.empty(); });
    Plan plan{directory.Version, kept, std::vector<ImgRecordBytes>(kept.size()), {}};
    uint64_t next = plan.Version == ImgVersion::V2 ? ImgDirectorySectors(kept.size()) : 0;
    for (size_t i = 0; i < kept.size(); ++i) {
        plan.Place(i, static_cast<uint32_t>(next), kept[i].Sectors);
        next += kept[i].Sectors;
    }
    // Written beside the archive and not removed once the journal names it: after a crash the next
    // opening puts it in place.
    const std::string imgPath = archive->ImgPath();
    std::string rebuiltPath = imgPath + ".rebuild-XXXXXX";
    {
        NativeFile rebuilt = NativeFile::CreateUnique(rebuiltPath, imgPath);
        try {
            uint64_t at = 0;
            const auto write = [&](std::span<const uint8_t> bytes) {
                rebuilt.WriteAt(at, bytes);
                at += bytes.size();
            };
            if (plan.Version == ImgVersion::V2) {
                write(DirectoryStep(plan, archive->DirPath()).Bytes);
            }
            for (const ImgEntry& entry : kept) {
                write(Padded(archive->Read(entry), entry.Sectors));
            }
            rebuilt.TakeAccessFor(imgPath);
            rebuilt.FlushToDisk();
            rebuilt.Close();
        } catch (...) {
            RemoveFile(rebuiltPath);
            throw;
        }
    }
    if (crashPoint) {
        crashPoint("new archive written beside the old");
    }
    // The new ".img" takes the old one's place, and a version 1 ".dir" its own, as one change.
    plan.Steps.push_back({.What = JournalStep::Kind::Rename,
                          .From = std::string(FileNamePart(rebuiltPath)),
                          .To = std::string(FileNamePart(imgPath))});
    if (plan.Version == ImgVersion::V1) {
        plan.Steps.push_back(DirectoryStep(plan, archive->DirPath()));
    }
    try {
        WriteJournal(imgPath, plan.Steps);
    } catch (...) {
        RemoveFile(rebuiltPath);
        throw;
    }
    if (crashPoint) {
        crashPoint("journal written");
    }
    const size_t dropped = directory.Entries.size() - kept.size();
    archive.reset();
    CarryOutJournal(imgPath, plan.Steps, crashPoint);
    return dropped;
}

}  // namespace vc

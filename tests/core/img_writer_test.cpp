// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "archive/img_archive.h"
#include "archive/img_journal.h"
#include "archive/img_writer.h"
#include "img_files.h"
#include "io/file_io.h"
#include "io/file_names.h"
#include "temp_dir.h"
#include "thrown_error.h"

namespace vc {
namespace {

using test::Bytes;
using Contents = std::map<std::string, Bytes>;  // by lower-case name: each entry's bytes, padded

constexpr ImgVersion kVersions[] = {ImgVersion::V1, ImgVersion::V2};

Bytes Filled(size_t size, uint8_t value) {
    return Bytes(size, value);
}

Bytes PaddedToSectors(Bytes bytes) {
    bytes.resize((bytes.size() + kImgSector - 1) / kImgSector * kImgSector, 0);
    return bytes;
}

// What an archive gives: every good entry's bytes by its lower-case name.
Contents ContentsOf(const std::string& path) {
    const ImgArchive archive = ImgArchive::Open(path);
    Contents contents;
    for (const ImgEntry& entry : archive.Directory().Entries) {
        EXPECT_EQ(entry.Problem, "") << entry.Name;
        contents[LowerAscii(entry.Name)] = archive.Read(entry);
    }
    return contents;
}

// An archive of the files in a folder of its own, as the version keeps it.
struct ArchiveOnDisk {
    test::TempDir Folder;
    std::string Img;

    ArchiveOnDisk(ImgVersion version, const std::vector<test::ImgFile>& files) {
        const test::ImgFiles made = test::MakeImgArchive(version, files);
        Img = Folder.Write("gta3.img", made.Img);
        if (version == ImgVersion::V1) {
            Folder.Write("gta3.dir", made.Dir);
        }
    }
    // What else lies in the folder besides the archive's own files.
    std::vector<std::string> Leftovers() const {
        std::vector<std::string> names;
        for (const auto& file : std::filesystem::directory_iterator(Folder.Path())) {
            const std::string name = FromFsPath(file.path().filename());
            if (name != "gta3.img" && name != "gta3.dir") {
                names.push_back(name);
            }
        }
        return names;
    }
};

std::vector<test::ImgFile> ThreeFiles() {
    return {{"car.txd", Filled(3000, 1)}, {"car.dff", Filled(5000, 2)}, {"bus.txd", Filled(100, 3)}};
}

Contents Expected(const std::vector<test::ImgFile>& files) {
    Contents contents;
    for (const test::ImgFile& file : files) {
        contents[LowerAscii(file.Name)] = PaddedToSectors(file.Content);
    }
    return contents;
}

// One change to an archive, and what the archive gives after it.
struct Change {
    const char* Name;
    std::vector<test::ImgFile> Before;
    std::function<void(const std::string& img, const CrashPoint&)> Make;
    std::vector<test::ImgFile> After;
};

std::vector<Change> Changes() {
    std::vector<test::ImgFile> many;  // enough entries that one more outgrows a one-sector directory
    for (int i = 0; i < 63; ++i) {
        many.push_back({"e" + std::to_string(i) + ".txd", Filled(10 + i, static_cast<uint8_t>(i))});
    }
    std::vector<test::ImgFile> manyAfter = many;
    manyAfter.push_back({"new.txd", Filled(4000, 0xEE)});
    const auto put = [](std::vector<ImgFileToPut> files) {
        return [files](const std::string& img, const CrashPoint& crash) { PutImgEntries(img, files, crash); };
    };
    return {
        {"a smaller replacement, in place",
         ThreeFiles(),
         put({{"CAR.TXD", Filled(10, 9)}}),
         {{"car.txd", Filled(10, 9)}, {"car.dff", Filled(5000, 2)}, {"bus.txd", Filled(100, 3)}}},
        {"a larger replacement, at the end",
         ThreeFiles(),
         put({{"bus.txd", Filled(7000, 8)}}),
         {{"car.txd", Filled(3000, 1)}, {"car.dff", Filled(5000, 2)}, {"bus.txd", Filled(7000, 8)}}},
        {"a new entry and a replacement",
         ThreeFiles(),
         put({{"van.dff", Filled(2049, 7)}, {"car.dff", Filled(1, 6)}}),
         {{"car.txd", Filled(3000, 1)},
          {"car.dff", Filled(1, 6)},
          {"bus.txd", Filled(100, 3)},
          {"van.dff", Filled(2049, 7)}}},
        {"a new entry the directory grows for", many, put({{"new.txd", Filled(4000, 0xEE)}}), manyAfter},
        {"a removal",
         ThreeFiles(),
         [](const std::string& img, const CrashPoint& crash) { RemoveImgEntries(img, {"CAR.dff"}, crash); },
         {{"car.txd", Filled(3000, 1)}, {"bus.txd", Filled(100, 3)}}},
        {"a rebuild", ThreeFiles(),
         [](const std::string& img, const CrashPoint& crash) { EXPECT_EQ(RebuildImgArchive(img, crash), 0u); },
         ThreeFiles()},
    };
}

TEST(ImgWriter, EachChangeGivesTheArchiveItPromises) {
    for (const ImgVersion version : kVersions) {
        for (const Change& change : Changes()) {
            SCOPED_TRACE(std::string(change.Name) + (version == ImgVersion::V2 ? " (version 2)" : " (version 1)"));
            if (version == ImgVersion::V1 && std::string_view(change.Name).find("grows") != std::string_view::npos) {
                continue;  // a ".dir" has no sectors to outgrow
            }
            ArchiveOnDisk archive(version, change.Before);
            change.Make(archive.Img, {});
            EXPECT_EQ(ContentsOf(archive.Img), Expected(change.After));
            EXPECT_EQ(archive.Leftovers(), std::vector<std::string>{});
        }
    }
}

// A crash between any two writes, however the change goes, leaves the archive as it was or as it
// will be once the next opening completes the journal; never a third way.
TEST(ImgWriter, ACrashAtAnyPointLeavesTheOldArchiveOrTheNew) {
    struct Crash {};
    for (const ImgVersion version : kVersions) {
        for (const Change& change : Changes()) {
            const std::string trace = std::string(change.Name) + (version == ImgVersion::V2 ? " (2)" : " (1)");
            std::vector<std::string> points;
            {
                ArchiveOnDisk archive(version, change.Before);
                change.Make(archive.Img, [&](std::string_view point) { points.emplace_back(point); });
            }
            ASSERT_GE(points.size(), 3u) << trace;
            // A ".dir" lost after the crash (a replacement cut short where replacing is not one
            // step) is made anew by the journal.
            for (const bool dirLost : {false, true}) {
                for (size_t stop = 0; stop < points.size(); ++stop) {
                    const bool journalled = points[stop] != "new data written at the end" &&
                                            points[stop] != "new archive written beside the old";
                    if (dirLost && (version == ImgVersion::V2 || !journalled)) {
                        continue;
                    }
                    SCOPED_TRACE(trace + ", stopped after: " + points[stop] + (dirLost ? ", .dir lost" : ""));
                    ArchiveOnDisk archive(version, change.Before);
                    size_t reached = 0;
                    EXPECT_THROW(change.Make(archive.Img,
                                             [&](std::string_view) {
                                                 if (reached++ == stop) {
                                                     throw Crash{};
                                                 }
                                             }),
                                 Crash);
                    if (dirLost) {
                        std::filesystem::remove(archive.Folder.File("gta3.dir"));
                    }
                    EXPECT_EQ(ContentsOf(archive.Img), Expected(journalled ? change.After : change.Before));
                    EXPECT_FALSE(IsExistingFile(JournalPath(archive.Img)));
                }
            }
        }
    }
}

// A journal that does not read whole was never begun on: it is removed and the archive stays.
TEST(ImgWriter, AJournalThatDoesNotReadWholeIsDropped) {
    for (const size_t cut : {size_t{1}, size_t{9}, size_t{30}}) {
        ArchiveOnDisk archive(ImgVersion::V2, ThreeFiles());
        WriteJournal(archive.Img, {{.What = JournalStep::Kind::WriteImg, .Offset = 0, .Bytes = Bytes(2048, 0xFF)}});
        Bytes journal = test::ReadBytes(JournalPath(archive.Img));
        journal.resize(journal.size() - cut);
        archive.Folder.Write("gta3.img.journal", journal);
        EXPECT_EQ(ContentsOf(archive.Img), Expected(ThreeFiles())) << cut;
        EXPECT_FALSE(IsExistingFile(JournalPath(archive.Img)));
    }
    // Files named outside the archive's folder, or not named at all.
    using Kind = JournalStep::Kind;
    const JournalStep strays[] = {
        {.What = Kind::Rename, .From = "../gta3.img", .To = "x"},
        {.What = Kind::Rename, .From = "x", .To = "sub/gta3.img"},
        {.What = Kind::Rename, .From = "", .To = "gta3.img"},
        {.What = Kind::ReplaceDir, .To = "../gta3.dir"},
        {.What = Kind::ReplaceDir, .To = ".."},
        {.What = Kind::ReplaceDir, .To = ""},
    };
    ArchiveOnDisk archive(ImgVersion::V2, ThreeFiles());
    for (const JournalStep& stray : strays) {
        WriteJournal(archive.Img, {stray});
        EXPECT_EQ(ReadJournal(archive.Img), std::nullopt) << stray.From << " " << stray.To;
    }
    WriteJournal(archive.Img, {{.What = Kind::ReplaceDir, .To = "gta3.dir"}});
    EXPECT_NE(ReadJournal(archive.Img), std::nullopt);
}

TEST(ImgWriter, BadNamesEmptyFilesAndMissingEntriesChangeNothing) {
    ArchiveOnDisk archive(ImgVersion::V2, ThreeFiles());
    const Bytes before = test::ReadBytes(archive.Img);
    const struct {
        std::function<void()> Change;
        const char* Message;
    } cases[] = {
        {[&] {
             PutImgEntries(archive.Img, {{"../up.txd", Bytes(1)}});
         },
         "\"../up.txd\" cannot name an entry"},
        {[&] {
             PutImgEntries(archive.Img, {{"a_name_of_24_characters.", Bytes(1)}});
         },
         "cannot name an entry"},
        {[&] {
             PutImgEntries(archive.Img, {{"ok.txd", Bytes(1)}, {"empty.txd", {}}});
         },
         "\"empty.txd\" is empty"},
        {[&] {
             RemoveImgEntries(archive.Img, {"car.txd", "none.txd"});
         },
         "holds no entry \"none.txd\""},
    };
    for (const auto& c : cases) {
        const std::string message = test::ErrorText(c.Change);
        EXPECT_NE(message.find(c.Message), std::string::npos) << message;
        EXPECT_NE(message.find("nothing was changed"), std::string::npos) << message;
        EXPECT_EQ(test::ReadBytes(archive.Img), before);
    }
}

// A file put under the name of a bad entry (here one past the archive's end) takes that entry's
// place: a new record beside it would repeat its name and be bad in turn.
TEST(ImgWriter, APutTakesThePlaceOfABadEntryOfItsName) {
    for (const ImgVersion version : kVersions) {
        SCOPED_TRACE(version == ImgVersion::V2 ? "version 2" : "version 1");
        const uint32_t first = version == ImgVersion::V2 ? 1 : 0;
        const std::vector<test::ImgRecord> records = {{"bus.txd", first, 1}, {"car.txd", 400, 1}};
        Bytes img = version == ImgVersion::V2 ? test::ImgDirectoryBytes(version, records) : Bytes{};
        img.resize((first + 1) * kImgSector, 3);
        test::TempDir folder;
        const std::string path = folder.Write("gta3.img", img);
        if (version == ImgVersion::V1) {
            folder.Write("gta3.dir", test::ImgDirectoryBytes(version, records));
        }
        ASSERT_NE(ImgArchive::Open(path).Directory().Entries[1].Problem, "");
        PutImgEntries(path, {{"CAR.txd", Filled(10, 5)}});
        EXPECT_EQ(ContentsOf(path), Expected({{"bus.txd", Filled(kImgSector, 3)}, {"car.txd", Filled(10, 5)}}));
    }
}

// A rebuild leaves out bad entries and the space no entry uses.
TEST(ImgWriter, RebuildPacksTheGoodEntries) {
    for (const ImgVersion version : kVersions) {
        ArchiveOnDisk archive(version, ThreeFiles());
        RemoveImgEntries(archive.Img, {"car.txd"});
        PutImgEntries(archive.Img, {{"bus.txd", Filled(9000, 4)}});
        const uint64_t grown = std::filesystem::file_size(ToFsPath(archive.Img));
        EXPECT_EQ(RebuildImgArchive(archive.Img), 0u);
        const uint64_t first = version == ImgVersion::V2 ? kImgSector : 0;
        EXPECT_EQ(std::filesystem::file_size(ToFsPath(archive.Img)), first + (3 + 5) * kImgSector);
        EXPECT_LT(std::filesystem::file_size(ToFsPath(archive.Img)), grown);
        EXPECT_EQ(ContentsOf(archive.Img), Expected({{"car.dff", Filled(5000, 2)}, {"bus.txd", Filled(9000, 4)}}));
    }
}

}  // namespace
}  // namespace vc

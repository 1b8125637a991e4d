// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "archive/archive_address.h"
#include "archive/img_archive.h"
#include "img_files.h"
#include "io/error.h"
#include "temp_dir.h"
#include "thrown_error.h"

namespace vc {
namespace {

using test::Bytes;
using test::ImgRecord;

constexpr ImgVersion kVersions[] = {ImgVersion::V1, ImgVersion::V2};

std::vector<std::string> Problems(const ImgDirectory& directory) {
    std::vector<std::string> problems;
    for (const ImgEntry& entry : directory.Entries) {
        problems.push_back(entry.Problem);
    }
    return problems;
}

// Where a version's first entry may start: after a version 2 directory of a few records.
uint32_t FirstSector(ImgVersion version) {
    return version == ImgVersion::V2 ? 1 : 0;
}

TEST(ImgDirectory, BothVersionsGiveTheirEntriesFoundIgnoringCase) {
    for (const ImgVersion version : kVersions) {
        const uint32_t first = FirstSector(version);
        const std::vector<ImgRecord> records = {
            {"infernus.txd", first, 3}, {"Infernus.dff", first + 3, 1}, {"a_name_of_23_characters", first + 4, 2}};
        const ImgDirectory directory =
            ParseImgDirectory(version, test::ImgDirectoryBytes(version, records), (first + 6) * kImgSector);
        EXPECT_EQ(directory.Version, version);
        EXPECT_EQ(directory.Damage, "");
        ASSERT_EQ(directory.Entries.size(), 3u);
        EXPECT_EQ(directory.Entries[1], (ImgEntry{"Infernus.dff", first + 3, 1, ""}));
        EXPECT_EQ(directory.Entries[2].Name, "a_name_of_23_characters");
        EXPECT_EQ(directory.Entries[0].ByteOffset(), first * kImgSector);
        EXPECT_EQ(directory.Entries[0].ByteSize(), 3 * kImgSector);
        EXPECT_EQ(FindImgEntry(directory.Entries, "INFERNUS.TXD"), 0u);
        EXPECT_EQ(FindImgEntry(directory.Entries, "infernus.dff"), 1u);
        EXPECT_EQ(FindImgEntry(directory.Entries, "infernus"), std::nullopt);
    }
}

// Each hostile record carries its own reason; the good entry beside it stays good, and so do the
// bytes of its name.
TEST(ImgDirectory, HostileRecordsCarryTheirProblemAndLeaveTheOthersGood) {
    // Plain text in the table: GCC for Windows misreads a table of strings as used before it is made.
    const struct {
        const char* Case;
        struct {
            const char* Name;
            uint32_t Offset;  // from the first sector an entry may take; the good entry holds the next
            uint32_t Sectors;
        } Record;
        const char* Problem;
        bool GoodToo = true;  // the good entry stays good
    } cases[] = {
        {"a name with no end",
         {"abcdefghijklmnopqrstuvwx", 2, 1},
         "its name fills all 24 bytes of its field with no end"},
        {"a folder", {"../../autoexec.txd", 2, 1}, "its name is no plain file name"},
        {"a backslash", {"..\\windows.txd", 2, 1}, "its name is no plain file name"},
        {"a drive", {"C:boot.txd", 2, 1}, "its name is no plain file name"},
        {"a device", {"con.txd", 2, 1}, "its name is no plain file name"},
        {"a control character", {"a\nb.txd", 2, 1}, "its name is no plain file name"},
        {"no name", {"", 2, 1}, "it has no name"},
        {"no sectors", {"empty.txd", 2, 0}, "it holds no sectors"},
        {"past the end", {"far.txd", 3, 2}, "lie past the archive's end ("},
        {"far past the end", {"farther.txd", 0xFFFFFFFF, 0xFFFFFFFF}, "lie past the archive's end"},
        {"the same name", {"GOOD.TXD", 2, 1}, "an earlier entry has the same name"},
        {"the good one's sectors", {"overlap.txd", 0, 2}, "it shares sectors with \"good.txd\"", false},
    };
    for (const ImgVersion version : kVersions) {
        for (const auto& c : cases) {
            SCOPED_TRACE(std::string(c.Case) + (version == ImgVersion::V2 ? " (version 2)" : " (version 1)"));
            const uint32_t first = FirstSector(version);
            ImgRecord hostile{c.Record.Name, c.Record.Offset, c.Record.Sectors};
            hostile.Offset += hostile.Offset > 0xFFFF0000 ? 0 : first;
            const ImgDirectory directory =
                ParseImgDirectory(version, test::ImgDirectoryBytes(version, {{"good.txd", first + 1, 1}, hostile}),
                                  (first + 4) * kImgSector);
            ASSERT_EQ(directory.Entries.size(), 2u);
            EXPECT_NE(directory.Entries[1].Problem.find(c.Problem), std::string::npos) << directory.Entries[1].Problem;
            EXPECT_EQ(directory.Entries[0].Problem.empty(), c.GoodToo) << directory.Entries[0].Problem;
            EXPECT_EQ(FindImgEntry(directory.Entries, "good.txd").has_value(), c.GoodToo);
        }
    }
    EXPECT_EQ(
        ParseImgDirectory(ImgVersion::V1, test::ImgDirectoryBytes(ImgVersion::V1, {{"far.txd", 3, 2}}), 4 * kImgSector)
            .Entries[0]
            .Problem,
        "its sectors 3 to 4 lie past the archive's end (it has 4 sectors)");
    // Version 2: an entry inside the directory's own sectors.
    const ImgDirectory inside = ParseImgDirectory(
        ImgVersion::V2, test::ImgDirectoryBytes(ImgVersion::V2, {{"head.txd", 0, 1}}), kImgSector * 2);
    EXPECT_EQ(Problems(inside), std::vector<std::string>{"it starts inside the archive's directory"});
}

// A directory that promises more than it holds gives the entries it holds and says it is cut short.
TEST(ImgDirectory, ADirectoryCutShortGivesWhatItHolds) {
    const std::vector<ImgRecord> two = {{"a.txd", 1, 1}, {"b.txd", 2, 1}};
    const ImgDirectory counted =
        ParseImgDirectory(ImgVersion::V2, test::ImgDirectoryBytes(ImgVersion::V2, two, 1'000'000), 3 * kImgSector);
    EXPECT_EQ(counted.Damage, "its directory promises 1000000 entries but holds only 2 (it is cut short)");
    EXPECT_EQ(counted.Entries.size(), 2u);
    Bytes cut = test::ImgDirectoryBytes(ImgVersion::V1, two);
    cut.resize(40);
    const ImgDirectory partial = ParseImgDirectory(ImgVersion::V1, cut, 3 * kImgSector);
    EXPECT_EQ(partial.Damage, "its directory ends 8 bytes into a record (it is cut short)");
    EXPECT_EQ(Problems(partial), std::vector<std::string>{""});
    EXPECT_EQ(test::ThrownBy([] {
                  ParseImgDirectory(ImgVersion::V2, Bytes{'V', 'E', 'R'}, 0);
              }).Kind,
              ErrorKind::Malformed);
}

TEST(ImgDirectory, PatternsMatchNamesIgnoringCase) {
    const struct {
        const char* Pattern;
        const char* Name;
        bool Matches;
    } cases[] = {
        {"infernus.txd", "INFERNUS.TXD", true},
        {"*.txd", "infernus.txd", true},
        {"*.txd", "infernus.dff", false},
        {"inf?rnus.*", "infernus.dff", true},
        {"?", "", false},
        {"*", "", true},
        {"a*b*c", "aXbYbZc", true},
        {"a*b*c", "aXbYbZ", false},
        {"*a*a*a*a*b", "aaaaaaaaaaaaaaaa", false},
        {"txd", "infernus.txd", false},
        {"**.txd", "a.txd", true},
        {"a.txd*", "a.txd", true},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(MatchesNamePattern(c.Pattern, c.Name), c.Matches) << c.Pattern << " " << c.Name;
    }
}

TEST(ArchiveAddress, OnlyAnArchiveBeforeTheLastColonMakesOne) {
    const struct {
        const char* Path;
        const char* Archive;  // none: a plain path
        const char* Entry;
    } cases[] = {
        {"models/gta3.img:infernus.txd", "models/gta3.img", "infernus.txd"},
        {"C:\\Games\\GTA3.DIR:car.dff", "C:\\Games\\GTA3.DIR", "car.dff"},
        {"C:\\cars.txd", nullptr, nullptr},
        {"gta3.img", nullptr, nullptr},
        {"gta3.img:", nullptr, nullptr},
        {"gta3.img:sub/car.txd", nullptr, nullptr},
        {"notes.txt:car.txd", nullptr, nullptr},
        {".img:car.txd", nullptr, nullptr},
    };
    for (const auto& c : cases) {
        const std::optional<ArchiveAddress> address = ArchiveAddressOf(c.Path);
        ASSERT_EQ(address.has_value(), c.Archive != nullptr) << c.Path;
        if (address) {
            EXPECT_EQ(address->Archive, c.Archive);
            EXPECT_EQ(address->Entry, c.Entry);
            EXPECT_EQ(NamedFileName(c.Path), c.Entry);
        }
    }
    EXPECT_EQ(NamedFileName("models/cars.txd"), "cars.txd");
}

TEST(ArchiveAddress, AnEntryIsReadLikeAFileOrSaysWhyNot) {
    test::TempDir dir;
    const test::ImgFiles files = test::MakeImgArchive(ImgVersion::V2, {{"car.txd", Bytes(10, 7)}});
    const std::string archive = dir.Write("gta3.img", files.Img);
    Bytes expected(kImgSector, 0);  // in place: GCC for Windows misreads a grown vector as overflowing
    std::fill_n(expected.begin(), 10, 7);
    EXPECT_EQ(ReadFileOrEntry(archive + ":CAR.TXD"), expected);
    EXPECT_EQ(ReadFileOrEntry(dir.Write("plain.txd", Bytes(3, 1))), Bytes(3, 1));
    EXPECT_EQ(test::ErrorText([&] { ReadFileOrEntry(archive + ":bus.txd"); }), "gta3.img holds no entry \"bus.txd\"");
    const std::string bad = dir.Write("bad.img", test::ImgDirectoryBytes(ImgVersion::V2, {{"far.txd", 1, 9}}));
    EXPECT_EQ(test::ErrorText([&] { ReadFileOrEntry(bad + ":far.txd"); }),
              "bad.img: \"far.txd\": its sectors 1 to 9 lie past the archive's end (it has 1 sector)");
}

// A batch's reader reads an archive's directory once: entries come from the directory it read, even
// when the file has changed since, as long as their sectors hold them.
TEST(ArchiveAddress, AReaderKeepsTheArchivesItOpened) {
    test::TempDir dir;
    const test::ImgFiles files =
        test::MakeImgArchive(ImgVersion::V2, {{"car.txd", Bytes(10, 7)}, {"bus.txd", Bytes(10, 8)}});
    const std::string archive = dir.Write("gta3.img", files.Img);
    ArchiveReader reader;
    EXPECT_EQ(reader.ExpandPatterns(std::vector<std::string_view>{archive + ":*.TXD", "plain.txd"}),
              (std::vector<std::string>{archive + ":car.txd", archive + ":bus.txd", "plain.txd"}));
    Bytes unreadable = files.Img;
    std::fill_n(unreadable.begin(), kImgSector, 0xFF);  // no directory at all any more
    dir.Write("gta3.img", unreadable);
    EXPECT_EQ(reader.Read(archive + ":bus.txd").front(), 8);
    EXPECT_EQ(test::ErrorText([&] { ReadFileOrEntry(archive + ":bus.txd"); }).find("gta3.img"), 0u);
}

TEST(ImgArchive, OpensEitherVersionByEitherFileAndReadsItsEntries) {
    const Bytes txd(5000, 0x5A);
    const Bytes dff(2048, 0xD0);
    for (const ImgVersion version : kVersions) {
        SCOPED_TRACE(version == ImgVersion::V2 ? "version 2" : "version 1");
        test::TempDir dir;
        test::ImgFiles files = test::MakeImgArchive(version, {{"car.txd", txd}, {"car.dff", dff}});
        // The last entry may end inside an unfilled last sector.
        files.Img.resize(files.Img.size() - 100);
        const std::string img = dir.Write("GTA3.IMG", files.Img);
        std::vector<std::string> names = {img};
        if (version == ImgVersion::V1) {
            names.push_back(dir.Write("gta3.dir", files.Dir));
        }
        for (const std::string& name : names) {
            const ImgArchive archive = ImgArchive::Open(name);
            EXPECT_EQ(archive.ImgPath(), img);
            EXPECT_EQ(archive.Name(), "GTA3.IMG");
            ASSERT_EQ(archive.Directory().Entries.size(), 2u);
            Bytes first = archive.Read(archive.Directory().Entries[0]);
            EXPECT_EQ(first.size(), 3 * kImgSector);
            first.resize(txd.size());
            EXPECT_EQ(first, txd);
            EXPECT_EQ(archive.Read(archive.Directory().Entries[1]), Bytes(dff.begin(), dff.end() - 100));
        }
    }
    test::TempDir dir;
    const std::string lone = dir.WriteText("lone.img", "no directory here");
    EXPECT_EQ(test::ErrorText([&] { ImgArchive::Open(lone); }),
              "lone.img is no IMG archive: it does not start with \"VER2\", and there is no .dir beside it");
    EXPECT_EQ(test::ErrorText([&] { ImgArchive::Open(dir.WriteText("lone2.dir", "")); }),
              "lone2.dir is no IMG archive: there is no .img beside it");
}

}  // namespace
}  // namespace vc

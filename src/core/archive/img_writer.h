// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "archive/img_journal.h"

namespace vc {

// A file to put into an archive as the entry of its name.
struct ImgFileToPut {
    std::string Name;  // a plain file name of at most 23 bytes in Windows-1252
    std::vector<uint8_t> Bytes;
};

// Puts each file into the archive, replacing a good entry of the same name (ignoring case) or
// adding one. Data that fits the sectors its entry had is written there; other data goes after the
// archive's last sector, so that an archive of gigabytes is never rewritten: the bytes written are
// the entries' own, a version 2 directory that grows takes the sectors of the entries after it
// (which move to the end too), and the directory. Every write that changes what the old directory
// points at goes through a journal (img_journal.h), so that a crash at any moment leaves the old
// archive or the new one. Throws an Error naming the archive, and changes nothing, for a name that
// cannot be an entry's, an empty file, or an archive whose directory is cut short.
void PutImgEntries(std::string_view archivePath, const std::vector<ImgFileToPut>& files,
                   const CrashPoint& crashPoint = {});

// Takes the entries of those names out of the directory; their sectors stay unused until the archive
// is rebuilt. Throws an Error, and changes nothing, for a name the archive holds no entry of.
void RemoveImgEntries(std::string_view archivePath, const std::vector<std::string>& names,
                      const CrashPoint& crashPoint = {});

// Writes the archive anew beside itself, its good entries packed one after another in directory
// order, and puts it in the old one's place; bad entries are left out. Returns how many were.
size_t RebuildImgArchive(std::string_view archivePath, const CrashPoint& crashPoint = {});

}  // namespace vc

// SPDX-License-Identifier: GPL-3.0-or-later
#include "ops/folder_contents.h"

#include <algorithm>

#include "io/file_io.h"
#include "io/file_names.h"
#include "io/text_order.h"
#include "texlist/image_kinds.h"

namespace vc {

namespace {

// A text file in a folder is taken for a texture list only when it has the list's section: notes
// and read-me files lying beside the images are left alone.
bool IsTextureList(std::string_view path) {
    constexpr size_t kLooked = 64 * 1024;
    const std::vector<uint8_t> start = ReadFileStart(path, kLooked).Bytes;
    return LowerAscii(std::string(start.begin(), start.end())).find("[txdlist]") != std::string::npos;
}

bool IsAddable(std::string_view path, FolderDictionaries dictionaries) {
    const std::string extension = LowerAscii(FileExtension(path));
    return KindOfExtension(extension) || (extension == ".txt" && IsTextureList(path)) ||
           (dictionaries == FolderDictionaries::Included && extension == ".txd");
}

}  // namespace

std::vector<std::string> ExpandFolders(std::span<const std::string> paths, FolderDictionaries dictionaries) {
    std::vector<std::string> files;
    for (const std::string& path : paths) {
        if (!IsExistingFolder(path)) {
            files.push_back(path);
            continue;
        }
        std::vector<std::string> inside = FilesInFolder(path);
        std::erase_if(inside, [&](const std::string& file) { return !IsAddable(file, dictionaries); });
        if (inside.empty()) {
            files.push_back(path);
            continue;
        }
        std::sort(inside.begin(), inside.end(), [](const std::string& a, const std::string& b) {
            return CaseBlindOrder(FileNamePart(a)) < CaseBlindOrder(FileNamePart(b));
        });
        files.insert(files.end(), inside.begin(), inside.end());
    }
    return files;
}

}  // namespace vc

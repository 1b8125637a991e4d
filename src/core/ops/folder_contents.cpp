#include "ops/folder_contents.h"

#include <algorithm>

#include "io/file_io.h"
#include "io/file_names.h"
#include "io/text_order.h"
#include "texlist/image_kinds.h"

namespace vc {

namespace {

bool IsAddable(std::string_view path, FolderDictionaries dictionaries) {
    const std::string extension = LowerAscii(FileExtension(path));
    return KindOfExtension(extension) || extension == ".txt" ||
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

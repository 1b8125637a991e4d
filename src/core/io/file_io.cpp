// SPDX-License-Identifier: GPL-3.0-or-later
#include "io/file_io.h"

#include <algorithm>
#include <cerrno>
#include <string>

#include "io/error.h"
#include "io/native_file.h"
#include "io/system_error.h"

namespace vc {

std::filesystem::path ToFsPath(std::string_view utf8Path) {
    return std::filesystem::path(std::u8string(utf8Path.begin(), utf8Path.end()));
}

std::string FromFsPath(const std::filesystem::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

namespace {

// Windows takes a path that begins "\\?\" whole, as written; the prefix lifts the old limit of 260
// characters. The standard library's paths take it for a relative name.
bool IsVerbatimPath(std::string_view utf8Path) {
#ifdef _WIN32
    return utf8Path.starts_with("\\\\?\\");
#else
    (void)utf8Path;
    return false;
#endif
}

}  // namespace

std::string AbsolutePath(std::string_view utf8Path) {
    if (IsVerbatimPath(utf8Path)) {
        return std::string(utf8Path);
    }
    return FromFsPath(std::filesystem::absolute(ToFsPath(utf8Path)).lexically_normal());
}

std::string ResolvedAgainst(std::string_view folder, std::string_view utf8Path) {
    if (utf8Path.empty() || IsVerbatimPath(utf8Path) || ToFsPath(utf8Path).is_absolute()) {
        return std::string(utf8Path);
    }
    return FromFsPath((ToFsPath(folder) / ToFsPath(utf8Path)).lexically_normal());
}

bool IsExistingFile(std::string_view utf8Path) {
    std::error_code error;
    return std::filesystem::is_regular_file(ToFsPath(utf8Path), error);
}

bool IsExistingFolder(std::string_view utf8Path) {
    std::error_code error;
    return std::filesystem::is_directory(ToFsPath(utf8Path), error);
}

std::vector<std::string> FilesInFolder(std::string_view utf8Folder) {
    std::vector<std::string> files;
    std::error_code error;
    for (std::filesystem::directory_iterator it(ToFsPath(utf8Folder), error), end; !error && it != end;
         it.increment(error)) {
        std::error_code ignored;
        if (it->is_regular_file(ignored)) {
            files.push_back(FromFsPath(it->path()));
        }
    }
    if (error) {
        throw Error(ErrorKind::Read, "Cannot list folder \"" + std::string(utf8Folder) + "\": " + error.message());
    }
    return files;
}

void CheckReadableFile(std::string_view utf8Path) {
    const FileKind kind = NativeFile::OpenForReading(utf8Path).Kind();
    if (kind != FileKind::Regular) {
        ThrowSystemError(ErrorKind::Read, "Cannot open file", utf8Path, kind == FileKind::Folder ? EISDIR : EINVAL);
    }
}

std::vector<uint8_t> ReadWholeFile(std::string_view utf8Path) {
    NativeFile file = NativeFile::OpenForReading(utf8Path);
    // Read straight into a buffer of the size the file reports; a file that grows meanwhile
    // continues through the overflow chunk.
    std::vector<uint8_t> bytes(static_cast<size_t>(file.Size()));
    size_t filled = 0;
    uint8_t overflow[1 << 16];
    for (;;) {
        const bool full = filled == bytes.size();
        const std::span<uint8_t> target = full ? std::span<uint8_t>(overflow) : std::span(bytes).subspan(filled);
        const size_t count = file.Read(target);
        if (count == 0) {
            bytes.resize(filled);
            return bytes;
        }
        if (full) {
            bytes.insert(bytes.end(), overflow, overflow + count);
        }
        filled += count;
    }
}

FileStart ReadFileStart(std::string_view utf8Path, size_t maxBytes) {
    NativeFile file = NativeFile::OpenForReading(utf8Path);
    FileStart start;
    start.FileSize = file.Size();
    start.Bytes.resize(static_cast<size_t>(std::min<uint64_t>(maxBytes, start.FileSize)));
    size_t filled = 0;
    while (filled < start.Bytes.size()) {
        const size_t count = file.Read(std::span(start.Bytes).subspan(filled));
        if (count == 0) {
            break;  // the file shrank meanwhile
        }
        filled += count;
    }
    start.Bytes.resize(filled);
    return start;
}

}  // namespace vc

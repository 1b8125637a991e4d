#include "io/atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>
#include <filesystem>
#include <stdexcept>

#include "io/file_io.h"

namespace vc {

namespace {

// Linux gives up on a path after this many links; a chain this long is taken for a loop.
constexpr int kMaxLinksFollowed = 40;

// The file a save to utf8Path must replace: the end of the chain of links that starts there, so
// that the links stay links. A relative link is taken relative to the folder that holds it; the
// end of the chain may not exist yet.
std::filesystem::path RealFileOf(std::string_view utf8Path) {
    std::filesystem::path path = ToFsPath(utf8Path);
    for (int followed = 0; followed <= kMaxLinksFollowed; ++followed) {
        std::error_code error;
        if (!std::filesystem::is_symlink(std::filesystem::symlink_status(path, error))) {
            return path;
        }
        const std::filesystem::path target = std::filesystem::read_symlink(path, error);
        if (error) {
            ThrowSystemError(ErrorKind::Write, "Cannot create file", utf8Path, error.value());
        }
        path = target.is_absolute() ? target : path.parent_path() / target;
    }
    ThrowSystemError(ErrorKind::Write, "Cannot create file", utf8Path, ELOOP);
}

mode_t ModeForNewFile(const std::string& target) {
    struct stat existing {};
    if (::stat(target.c_str(), &existing) == 0) {
        return existing.st_mode & 07777;
    }
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

// True when a rename can take the file at path to a file in folder. Two mounts of one file system
// look alike here; their rename fails, and the caller copies instead.
bool OnOneFileSystem(const std::string& path, const std::string& folder) {
    struct stat file {};
    struct stat place {};
    return ::stat(path.c_str(), &file) == 0 && ::stat(folder.empty() ? "." : folder.c_str(), &place) == 0 &&
           file.st_dev == place.st_dev;
}

}  // namespace

AtomicFile::AtomicFile(std::string_view utf8Path)
    : m_utf8Path(utf8Path), m_target(RealFileOf(utf8Path).string()), m_file(m_target + ".tmp-XXXXXX", m_utf8Path) {}

void AtomicFile::Close() {
    m_file.Close(ModeForNewFile(m_target), false);
    m_closed = true;
}

void AtomicFile::Commit() {
    if (!m_closed) {
        m_file.Close(ModeForNewFile(m_target), true);
    }
    if (const int error = m_file.RenameOnto(m_target); error != 0) {
        ThrowSystemError(ErrorKind::Write, "Cannot replace file", m_utf8Path, error);
    }
}

void WriteFileAtomically(std::string_view utf8Path, std::span<const uint8_t> bytes) {
    AtomicFile file(utf8Path);
    file.Append(bytes);
    file.Commit();
}

void PutInPlace(TemporaryFile& file, std::string_view utf8Path, Placement placement) {
    const std::string target = RealFileOf(utf8Path).string();
    if (placement == Placement::RenameWherePossible &&
        OnOneFileSystem(file.Path(), std::filesystem::path(target).parent_path().string())) {
        file.Close(ModeForNewFile(target), true);
        const int error = file.RenameOnto(target);
        if (error == 0) {
            return;
        }
        if (error != EXDEV) {
            ThrowSystemError(ErrorKind::Write, "Cannot replace file", utf8Path, error);
        }
    }
    AtomicFile copy(utf8Path);
    file.CopyTo(copy);
    copy.Commit();
    file.Remove();
}

}  // namespace vc

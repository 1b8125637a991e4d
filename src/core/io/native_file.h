// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace vc {

enum class FileKind { Regular, Folder, Other };

// An open file of the platform (a descriptor on POSIX, a handle on Windows), closed when destroyed.
// Paths are UTF-8. Failures throw an Error that names errorName, the file the user knows of, which
// is not always the one opened (a temporary file is named by its target).
class NativeFile {
  public:
#ifdef _WIN32
    using Handle = void*;
#else
    using Handle = int;
#endif

    // Opens an existing file, or a folder, for reading. An empty errorName names the file itself.
    static NativeFile OpenForReading(std::string_view utf8Path, std::string_view errorName = {});
    // Opens an existing file for reading and writing in place.
    static NativeFile OpenForUpdate(std::string_view utf8Path, std::string_view errorName = {});
    // Creates a new file for writing at pathTemplate, whose last six characters, "XXXXXX", are
    // replaced so that no other file has the name.
    static NativeFile CreateUnique(std::string& pathTemplate, std::string_view errorName = {});

    // No file: what a file is once it is let go.
    NativeFile();
    NativeFile(NativeFile&& other) noexcept;
    NativeFile& operator=(NativeFile&& other) noexcept;
    ~NativeFile();

    FileKind Kind() const;
    uint64_t Size() const;
    // Reads on from where the last read ended: as many bytes as came, 0 at the end of the file.
    size_t Read(std::span<uint8_t> bytes);
    // Reads from offset on: as many bytes as the file holds there, up to the span's size; fewer
    // only at the file's end. Windows moves Read's position too, so a file is read one way only.
    size_t ReadAt(uint64_t offset, std::span<uint8_t> bytes);
    void WriteAt(uint64_t offset, std::span<const uint8_t> bytes);
    // Asks the system to start putting this part of the file on disk, without waiting for it.
    void StartWriteback(uint64_t offset, uint64_t length);
    // Gives a file that is to replace target the access rights it should have there: the target's
    // own when it exists, else those of a new file.
    void TakeAccessFor(const std::string& target);
    // Waits until everything written is on disk.
    void FlushToDisk();
    // Closes now and reports a failure, since a failed close can mean lost data.
    void Close();

  private:
    NativeFile(Handle handle, std::string errorName) : m_handle(handle), m_errorName(std::move(errorName)) {}
    bool IsOpen() const {
        return m_handle != NoHandle();
    }
    // The platform's value for no file, and its close without a report, as a destructor must.
    static Handle NoHandle();
    static void Release(Handle handle);

    Handle m_handle;
    std::string m_errorName;
};

// Renames the file at from onto to, replacing a file there: 0 when done, otherwise the reason as an
// errno value (EXDEV when the two are on different file systems), and nothing has changed.
[[nodiscard]] int RenameOnto(const std::string& from, const std::string& to);

// Removes a file; a file that is already gone is no failure, and others are not reported either,
// since this only cleans up.
void RemoveFile(const std::string& utf8Path);

// False when a rename cannot take the file at utf8Path into folder. True may still meet a rename that
// fails with EXDEV (two mounts of one file system look alike), and the caller copies then.
bool MayRenameInto(const std::string& utf8Path, const std::string& folder);

// True when the folder exists and this program may create files in it.
bool IsWritableFolder(const std::string& utf8Folder);

// A batch of files closed without a flush of their own is put on disk by flushing, once, each file
// system that holds them: targets are the files' paths, names what each is called in an error.
// Where the platform cannot flush a whole file system, each file is flushed as it is closed.
inline constexpr bool kFlushesWholeFileSystems =
#ifdef _WIN32
    false;
#else
    true;
#endif
void FlushFileSystemsOf(std::span<const std::string> targets, std::span<const std::string> names);

}  // namespace vc

#pragma once
#include <QByteArray>
#include <QString>

#include <cstdint>
#include <optional>
#include <utility>

// Files and folders as the operating system keeps them, for the file layer:
// one side per system (posix/, win32/). A failed call returns false, -1 or an
// empty result and leaves errno set (the Windows side maps its own codes onto
// errno's), so a caller names the reason with SystemReason(errno).
namespace platform {

// What identifies a file while it exists: its volume and its number there
// (device and inode).
struct FileId {
    std::uint64_t volume = 0;
    std::uint64_t number = 0;
    bool operator==(const FileId& o) const { return volume == o.volume && number == o.number; }
    bool operator!=(const FileId& o) const { return !(*this == o); }
};

// An open file, closed when the object goes. Files are opened with read and
// write sharing, so that copies of the program on one folder read and write
// the same archive; the descriptors are never inherited by child processes.
class File {
public:
    enum class Access {
        Read,             // an existing file, for reading
        ReadWrite,        // an existing file, for reading and writing
        ReadWriteCreate,  // made empty when missing
    };

    File() = default;
    ~File();
    File(File&& other) noexcept;
    File& operator=(File&& other) noexcept;
    File(const File&) = delete;
    File& operator=(const File&) = delete;

    // Opens path when it names a regular file, directly or through links,
    // or nothing (for ReadWriteCreate). Anything else in its place (a FIFO, a
    // device, a folder, a socket) is never opened for use, so nothing blocks
    // on it or reads it as an endless or empty file: the result is closed and
    // refusal names the file and says what it is. Any other failure: closed,
    // errno set, refusal empty (ENOENT: nothing of that name).
    static File OpenRegular(const QString& path, Access access, QString& refusal);

    bool IsOpen() const { return handle_ != kClosed; }
    // The file's size in bytes; none on failure.
    std::optional<qint64> Size() const;
    std::optional<FileId> Id() const;
    // Reads up to size bytes at offset; fewer only where the file ends.
    // Returns how many, or -1.
    qint64 ReadAt(void* data, qint64 size, qint64 offset) const;
    // Writes all size bytes at offset.
    bool WriteAt(const void* data, qint64 size, qint64 offset);
    // Reads up to size bytes from the current position on; fewer only where
    // the file ends. Returns how many, or -1.
    qint64 Read(void* data, qint64 size);
    // Writes all size bytes at the current position.
    bool Write(const void* data, qint64 size);
    // Back to the first byte.
    bool Rewind();
    // What was written reaches the disk. errno EINVAL: the file system
    // cannot sync (what it has, it keeps).
    bool Sync();
    bool Truncate(qint64 size);
    // Sets the modification time to now.
    bool Touch();
    // Closes it; false when the system reports an error (on a network folder
    // a failed write may show only here).
    bool Close();
    // The system's handle, for the other calls of this layer.
    std::intptr_t Handle() const { return handle_; }

private:
    friend class Folder;
    static constexpr std::intptr_t kClosed = -1;
    // Closes a handle of either kind, as the system closes it.
    static bool CloseHandle(std::intptr_t handle);
    explicit File(std::intptr_t handle) : handle_(handle) {}
    std::intptr_t handle_ = kClosed;
};

// What stands under a name in a folder, links not followed.
struct Entry {
    enum class Kind { Missing, Regular, Link, Folder, Other };
    Kind kind = Kind::Missing;
    FileId id;
    qint64 modifiedNs = 0;     // the modification time, in nanoseconds
    unsigned permissions = 0;  // who may read and write it, as the system keeps them
};

// An open folder, closed when the object goes: files are made, renamed and
// removed by their names in it, so that a link put in place of the folder
// meanwhile redirects nothing.
class Folder {
public:
    Folder() = default;
    ~Folder();
    Folder(Folder&& other) noexcept;
    Folder& operator=(Folder&& other) noexcept;
    Folder(const Folder&) = delete;
    Folder& operator=(const Folder&) = delete;

    // Opens the folder at path, following links on the way.
    static Folder Open(const QString& path);
    // Opens the folder `name` inside this one, making it when it is missing,
    // without following a link that stands under that name (errno ELOOP; a
    // file that is no folder: ENOTDIR).
    Folder Sub(const QString& name) const;
    // The folder above this one; the root's is the root.
    Folder Parent() const;

    bool IsOpen() const { return handle_ != kClosed; }
    // The path it was opened by, for messages.
    const QString& Path() const { return path_; }
    // The full name of name in it, for messages.
    QString Shown(const QString& name) const { return path_ + QLatin1Char('/') + name; }
    std::optional<FileId> Id() const;
    // What stands under name; Kind::Missing with errno set when the look fails.
    Entry Look(const QString& name) const;

    // Makes a new file under name for writing, failing (EEXIST) when anything
    // stands there. `like`, when given, lends the new file its permissions;
    // else it gets those any new file gets.
    File CreateNew(const QString& name, const Entry* like = nullptr) const;
    // Opens what stands under name for writing as it is (a special file such
    // as a pipe), never following a link (ELOOP).
    File OpenForWriting(const QString& name) const;
    // Reads the first `limit` bytes of the regular file under name, never
    // opening anything else, a link included (refusal set as
    // File::OpenRegular sets it, naming Shown(name)). None when it cannot be
    // read (errno set; ENOENT: nothing there).
    std::optional<QByteArray> ReadSmall(const QString& name, qint64 limit, QString& refusal) const;
    // Renames from to to, replacing what stands under to (a link is replaced
    // itself, never followed).
    bool Rename(const QString& from, const QString& to) const;
    // Renames from to to only when nothing at all stands under to, in one
    // step where the file system has one (EEXIST otherwise).
    bool RenameNoReplace(const QString& from, const QString& to) const;
    // A second name for the file under from, failing (EEXIST) when to is taken.
    bool Link(const QString& from, const QString& to) const;
    bool Remove(const QString& name) const;
    // Makes the folder's entries last through a power cut. A file system that
    // cannot sync a folder keeps its entries anyway: that is no failure.
    bool Sync() const;

private:
    static constexpr std::intptr_t kClosed = -1;
    Folder(std::intptr_t handle, QString path) : handle_(handle), path_(std::move(path)) {}
    std::intptr_t handle_ = kClosed;
    QString path_;
};

// The identity of what path names, links followed; none when nothing is
// there.
std::optional<FileId> IdOf(const QString& path);

}  // namespace platform

#include "core/platform/Files.h"

#include "core/platform/win32/Errors.h"

#include <QDir>

#include <windows.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

namespace platform {
namespace {

// Every file is shared for reading, writing and renaming, as copies of the
// program on one folder need; folders are opened without sharing their
// removal, so that a folder in use can be neither renamed nor replaced by a
// junction while the program works in it.
constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
constexpr DWORD kShareFolder = FILE_SHARE_READ | FILE_SHARE_WRITE;

HANDLE H(std::intptr_t handle) { return reinterpret_cast<HANDLE>(handle); }
// The position of a read or write at an offset.
OVERLAPPED At(qint64 offset) {
    OVERLAPPED at {};
    at.Offset = DWORD(offset);
    at.OffsetHigh = DWORD(offset >> 32);
    return at;
}

std::intptr_t Of(HANDLE handle) {
    return handle == INVALID_HANDLE_VALUE ? -1 : reinterpret_cast<std::intptr_t>(handle);
}

// Paths go to Windows as UTF-16, whatever the user's code page.
std::wstring Wide(const QString& path) { return QDir::toNativeSeparators(path).toStdWString(); }

QString Refusal(const QString& path, const QString& what) {
    return QStringLiteral("%1 non è un file ordinario: è %2").arg(path, what);
}

// What a file opened as a regular one turned out to be, if anything else.
QString KindOfOpen(HANDLE file) {
    switch (::GetFileType(file)) {
        case FILE_TYPE_DISK: {
            BY_HANDLE_FILE_INFORMATION info {};
            if (::GetFileInformationByHandle(file, &info) && (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                return QStringLiteral("una cartella");
            return {};
        }
        case FILE_TYPE_PIPE:
            return QStringLiteral("una pipe con nome (FIFO)");
        case FILE_TYPE_CHAR:
            return QStringLiteral("un dispositivo a caratteri");
        default:
            return QStringLiteral("un file speciale");
    }
}

FileId IdOfOpen(HANDLE file, bool& ok) {
    BY_HANDLE_FILE_INFORMATION info {};
    ok = ::GetFileInformationByHandle(file, &info);
    if (!ok) SetErrnoFromLastError();
    return {info.dwVolumeSerialNumber, (std::uint64_t(info.nFileIndexHigh) << 32) | info.nFileIndexLow};
}

// Opens a regular file; `links` false: a reparse point (a symbolic link, a
// junction) under the name is refused rather than followed.
HANDLE OpenRegularHandle(const QString& path, DWORD access, DWORD disposition, bool links, QString& refusal) {
    refusal.clear();
    const std::wstring wide = Wide(path);
    const DWORD attributes = ::GetFileAttributesW(wide.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES) {
        if (!links && (attributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
            refusal = Refusal(path, QStringLiteral("un collegamento simbolico"));
            return INVALID_HANDLE_VALUE;
        }
        if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
            refusal = Refusal(path, QStringLiteral("una cartella"));
            return INVALID_HANDLE_VALUE;
        }
    }
    const DWORD flags = FILE_ATTRIBUTE_NORMAL | (links ? 0 : FILE_FLAG_OPEN_REPARSE_POINT);
    HANDLE file = ::CreateFileW(wide.c_str(), access, kShareAll, nullptr, disposition, flags, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        SetErrnoFromLastError();
        return file;
    }
    if (const QString kind = KindOfOpen(file); !kind.isEmpty()) {
        refusal = Refusal(path, kind);
        ::CloseHandle(file);
        return INVALID_HANDLE_VALUE;
    }
    return file;
}

}  // namespace

bool File::CloseHandle(std::intptr_t handle) {
    if (!::CloseHandle(H(handle))) return SetErrnoFromLastError(), false;
    return true;
}

File File::OpenRegular(const QString& path, Access access, QString& refusal) {
    const DWORD rights = access == Access::Read ? GENERIC_READ : GENERIC_READ | GENERIC_WRITE;
    const DWORD disposition = access == Access::ReadWriteCreate ? OPEN_ALWAYS : OPEN_EXISTING;
    return File(Of(OpenRegularHandle(path, rights, disposition, true, refusal)));
}

std::optional<qint64> File::Size() const {
    LARGE_INTEGER size {};
    if (!::GetFileSizeEx(H(handle_), &size)) return SetErrnoFromLastError(), std::nullopt;
    return qint64(size.QuadPart);
}

std::optional<FileId> File::Id() const {
    bool ok = false;
    const FileId id = IdOfOpen(H(handle_), ok);
    return ok ? std::optional<FileId>(id) : std::nullopt;
}

qint64 File::ReadAt(void* data, qint64 size, qint64 offset) const {
    qint64 done = 0;
    auto* out = static_cast<char*>(data);
    while (done < size) {
        OVERLAPPED at = At(offset + done);
        DWORD n = 0;
        const DWORD piece = DWORD(std::min<qint64>(size - done, 1 << 30));
        if (!::ReadFile(H(handle_), out + done, piece, &n, &at)) {
            if (::GetLastError() == ERROR_HANDLE_EOF) break;
            return SetErrnoFromLastError(), -1;
        }
        if (n == 0) break;
        done += n;
    }
    return done;
}

bool File::WriteAt(const void* data, qint64 size, qint64 offset) {
    qint64 done = 0;
    const auto* in = static_cast<const char*>(data);
    while (done < size) {
        OVERLAPPED at = At(offset + done);
        DWORD n = 0;
        const DWORD piece = DWORD(std::min<qint64>(size - done, 1 << 30));
        if (!::WriteFile(H(handle_), in + done, piece, &n, &at)) return SetErrnoFromLastError(), false;
        if (n == 0) return errno = EIO, false;
        done += n;
    }
    return true;
}

qint64 File::Read(void* data, qint64 size) {
    qint64 done = 0;
    auto* out = static_cast<char*>(data);
    while (done < size) {
        DWORD n = 0;
        const DWORD piece = DWORD(std::min<qint64>(size - done, 1 << 30));
        if (!::ReadFile(H(handle_), out + done, piece, &n, nullptr)) {
            if (::GetLastError() == ERROR_HANDLE_EOF || ::GetLastError() == ERROR_BROKEN_PIPE) break;
            return SetErrnoFromLastError(), -1;
        }
        if (n == 0) break;
        done += n;
    }
    return done;
}

bool File::Write(const void* data, qint64 size) {
    const auto* in = static_cast<const char*>(data);
    while (size > 0) {
        DWORD n = 0;
        const DWORD piece = DWORD(std::min<qint64>(size, 1 << 30));
        if (!::WriteFile(H(handle_), in, piece, &n, nullptr)) return SetErrnoFromLastError(), false;
        if (n == 0) return errno = EIO, false;
        in += n;
        size -= n;
    }
    return true;
}

bool File::Rewind() {
    LARGE_INTEGER zero {};
    if (!::SetFilePointerEx(H(handle_), zero, nullptr, FILE_BEGIN)) return SetErrnoFromLastError(), false;
    return true;
}

bool File::Sync() {
    if (!::FlushFileBuffers(H(handle_))) return SetErrnoFromLastError(), false;
    return true;
}

bool File::Truncate(qint64 size) {
    FILE_END_OF_FILE_INFO end {};
    end.EndOfFile.QuadPart = size;
    if (!::SetFileInformationByHandle(H(handle_), FileEndOfFileInfo, &end, sizeof end))
        return SetErrnoFromLastError(), false;
    return true;
}

bool File::Touch() {
    FILETIME now {};
    ::GetSystemTimeAsFileTime(&now);
    if (!::SetFileTime(H(handle_), nullptr, nullptr, &now)) return SetErrnoFromLastError(), false;
    return true;
}

namespace {

// Opens a folder; `links` false: a reparse point there is refused (ELOOP).
HANDLE OpenFolderHandle(const QString& path, bool links) {
    const std::wstring wide = Wide(path);
    const DWORD attributes = ::GetFileAttributesW(wide.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return SetErrnoFromLastError(), INVALID_HANDLE_VALUE;
    if (!links && (attributes & FILE_ATTRIBUTE_REPARSE_POINT)) return errno = ELOOP, INVALID_HANDLE_VALUE;
    if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) return errno = ENOTDIR, INVALID_HANDLE_VALUE;
    const DWORD flags = FILE_FLAG_BACKUP_SEMANTICS | (links ? 0 : FILE_FLAG_OPEN_REPARSE_POINT);
    HANDLE folder = ::CreateFileW(wide.c_str(), FILE_LIST_DIRECTORY | FILE_READ_ATTRIBUTES, kShareFolder, nullptr,
                                  OPEN_EXISTING, flags, nullptr);
    if (folder == INVALID_HANDLE_VALUE) SetErrnoFromLastError();
    return folder;
}

}  // namespace

Folder Folder::Open(const QString& path) {
    HANDLE folder = OpenFolderHandle(path, true);
    return folder == INVALID_HANDLE_VALUE ? Folder() : Folder(Of(folder), path);
}

Folder Folder::Sub(const QString& name) const {
    if (!IsOpen()) return errno = EBADF, Folder();
    const QString path = Shown(name);
    if (!::CreateDirectoryW(Wide(path).c_str(), nullptr) && ::GetLastError() != ERROR_ALREADY_EXISTS)
        return SetErrnoFromLastError(), Folder();
    HANDLE folder = OpenFolderHandle(path, false);
    return folder == INVALID_HANDLE_VALUE ? Folder() : Folder(Of(folder), path);
}

Folder Folder::Parent() const {
    if (!IsOpen()) return errno = EBADF, Folder();
    const QString path = QDir::cleanPath(path_ + QStringLiteral("/.."));
    HANDLE folder = OpenFolderHandle(path, true);
    return folder == INVALID_HANDLE_VALUE ? Folder() : Folder(Of(folder), path);
}

std::optional<FileId> Folder::Id() const {
    bool ok = false;
    const FileId id = IdOfOpen(H(handle_), ok);
    return ok ? std::optional<FileId>(id) : std::nullopt;
}

Entry Folder::Look(const QString& name) const {
    const std::wstring wide = Wide(Shown(name));
    WIN32_FILE_ATTRIBUTE_DATA data {};
    if (!::GetFileAttributesExW(wide.c_str(), GetFileExInfoStandard, &data)) return SetErrnoFromLastError(), Entry();
    using Kind = Entry::Kind;
    Entry entry;
    entry.kind = (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) ? Kind::Link
                 : (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)   ? Kind::Folder
                                                                         : Kind::Regular;
    // Windows counts in hundreds of nanoseconds.
    entry.modifiedNs =
        qint64((std::uint64_t(data.ftLastWriteTime.dwHighDateTime) << 32) | data.ftLastWriteTime.dwLowDateTime) * 100;
    HANDLE file = ::CreateFileW(wide.c_str(), FILE_READ_ATTRIBUTES, kShareAll, nullptr, OPEN_EXISTING,
                                FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        bool ok = false;
        entry.id = IdOfOpen(file, ok);
        if (entry.kind == Kind::Regular && ::GetFileType(file) != FILE_TYPE_DISK) entry.kind = Kind::Other;
        ::CloseHandle(file);
    }
    return entry;
}

File Folder::CreateNew(const QString& name, const Entry*) const {
    // Windows keeps who may read and write a file in the folder's inherited
    // rights: a new file gets those, whatever the file it replaces had.
    HANDLE file = ::CreateFileW(Wide(Shown(name)).c_str(), GENERIC_READ | GENERIC_WRITE, kShareAll, nullptr,
                                CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) SetErrnoFromLastError();
    return File(Of(file));
}

File Folder::OpenForWriting(const QString& name) const {
    const std::wstring wide = Wide(Shown(name));
    const DWORD attributes = ::GetFileAttributesW(wide.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT))
        return errno = ELOOP, File();
    HANDLE file = ::CreateFileW(wide.c_str(), GENERIC_WRITE, kShareAll, nullptr, OPEN_EXISTING,
                                FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (file == INVALID_HANDLE_VALUE) SetErrnoFromLastError();
    return File(Of(file));
}

std::optional<QByteArray> Folder::ReadSmall(const QString& name, qint64 limit, QString& refusal) const {
    HANDLE handle = OpenRegularHandle(Shown(name), GENERIC_READ, OPEN_EXISTING, false, refusal);
    if (handle == INVALID_HANDLE_VALUE) return std::nullopt;
    File file(Of(handle));
    QByteArray bytes(limit, Qt::Uninitialized);
    const qint64 read = file.Read(bytes.data(), limit);
    if (read < 0) return std::nullopt;
    bytes.truncate(read);
    return bytes;
}

namespace {

// Another copy of the program reading the file, an indexer or a virus scanner
// holds a file open for a moment, and Windows then refuses to replace or
// remove it (ERROR_ACCESS_DENIED, ERROR_SHARING_VIOLATION) where POSIX would
// not mind: such a refusal is tried again for up to two seconds before it is
// reported.
template <class Call>
bool WhenLetGo(Call call) {
    constexpr DWORD kPatience = 2000;  // milliseconds
    DWORD waited = 0;
    for (DWORD pause = 1;; pause = std::min<DWORD>(2 * pause, 100)) {
        if (call()) return true;
        const DWORD error = ::GetLastError();
        if ((error != ERROR_ACCESS_DENIED && error != ERROR_SHARING_VIOLATION) || waited >= kPatience)
            return SetErrnoFromLastError(), false;
        ::Sleep(pause);
        waited += pause;
    }
}

// Replaces `to` the way POSIX does (Windows 10 and later, on NTFS): the name
// passes to the new file even while readers hold the old one open (with
// delete sharing, as every file of this layer is opened). False where the
// system or the file system does not rename so.
bool ReplaceAsPosixDoes(const std::wstring& from, const std::wstring& to) {
    HANDLE file = ::CreateFileW(from.c_str(), DELETE | SYNCHRONIZE, kShareAll, nullptr, OPEN_EXISTING,
                                FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    const DWORD nameBytes = DWORD(to.size() * sizeof(wchar_t));
    std::vector<char> buffer(sizeof(FILE_RENAME_INFO) + nameBytes);
    auto* info = reinterpret_cast<FILE_RENAME_INFO*>(buffer.data());
    info->Flags = FILE_RENAME_FLAG_REPLACE_IF_EXISTS | FILE_RENAME_FLAG_POSIX_SEMANTICS;
    info->RootDirectory = nullptr;
    info->FileNameLength = nameBytes;
    std::memcpy(info->FileName, to.c_str(), nameBytes);
    // FileRenameInfoEx, 22 in Windows' own headers (mingw-w64's leave it out).
    constexpr auto kRenameInfoEx = static_cast<FILE_INFO_BY_HANDLE_CLASS>(22);
    const bool renamed = ::SetFileInformationByHandle(file, kRenameInfoEx, info, DWORD(buffer.size()));
    ::CloseHandle(file);
    return renamed;
}

}  // namespace

// Neither renames what a reparse point under the new name points at, only
// the name itself. Where the POSIX rename is not there, MoveFileExW, tried
// again while a reader holds the old file.
bool Folder::Rename(const QString& from, const QString& to) const {
    const std::wstring source = Wide(Shown(from)), target = Wide(Shown(to));
    if (ReplaceAsPosixDoes(source, target)) return true;
    return WhenLetGo(
        [&] { return ::MoveFileExW(source.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH); });
}

bool Folder::RenameNoReplace(const QString& from, const QString& to) const {
    return WhenLetGo(
        [&] { return ::MoveFileExW(Wide(Shown(from)).c_str(), Wide(Shown(to)).c_str(), MOVEFILE_WRITE_THROUGH); });
}

bool Folder::Link(const QString& from, const QString& to) const {
    if (!::CreateHardLinkW(Wide(Shown(to)).c_str(), Wide(Shown(from)).c_str(), nullptr))
        return SetErrnoFromLastError(), false;
    return true;
}

bool Folder::Remove(const QString& name) const {
    return WhenLetGo([&] { return ::DeleteFileW(Wide(Shown(name)).c_str()); });
}

// NTFS and SMB keep a folder's entries through their own journals once a
// rename with write-through returns: there is nothing more to sync.
bool Folder::Sync() const { return true; }

std::optional<FileId> IdOf(const QString& path) {
    HANDLE file = ::CreateFileW(Wide(path).c_str(), FILE_READ_ATTRIBUTES, kShareAll, nullptr, OPEN_EXISTING,
                                FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE) return SetErrnoFromLastError(), std::nullopt;
    bool ok = false;
    const FileId id = IdOfOpen(file, ok);
    ::CloseHandle(file);
    return ok ? std::optional<FileId>(id) : std::nullopt;
}

}  // namespace platform

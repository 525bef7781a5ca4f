#include "core/platform/Termination.h"

#include "core/platform/win32/Errors.h"

#include <QDir>
#include <QRandomGenerator>

#include <windows.h>

#include <cerrno>
#include <cwchar>
#include <mutex>
#include <stdexcept>

namespace platform {
namespace {

// The files and folders removed when the console is closed or interrupted,
// or the session ends. Windows runs the handler on a thread of its own, so a
// lock keeps it and the makers apart.
constexpr int kEntries = 16;
constexpr int kPath = 32768;

struct Listed {
    bool used = false;
    bool listed = false;
    bool folder = false;
    wchar_t path[kPath] = {};
};

Listed registry[kEntries];
std::mutex registryLock;

void RemoveFolder(const wchar_t* folder) {
    std::wstring pattern = std::wstring(folder) + L"\\*";
    WIN32_FIND_DATAW found {};
    HANDLE search = ::FindFirstFileW(pattern.c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                ::DeleteFileW((std::wstring(folder) + L"\\" + found.cFileName).c_str());
        } while (::FindNextFileW(search, &found));
        ::FindClose(search);
    }
    ::RemoveDirectoryW(folder);
}

BOOL WINAPI RemoveListed(DWORD) {
    std::lock_guard lock(registryLock);
    for (Listed& listed : registry) {
        if (!listed.listed) continue;
        if (listed.folder) RemoveFolder(listed.path);
        else ::DeleteFileW(listed.path);
        listed.listed = false;
    }
    return FALSE;  // then the process ends as it would have
}

void InstallHandler() {
    static const bool installed = ::SetConsoleCtrlHandler(RemoveListed, TRUE);
    (void)installed;
}

}  // namespace

int MakeListed(Made kind, const std::function<bool(QString&)>& make) {
    InstallHandler();
    std::lock_guard lock(registryLock);
    int entry = 0;
    while (entry < kEntries && registry[entry].used) ++entry;
    if (entry == kEntries) throw std::runtime_error("troppi file temporanei aperti insieme");
    QString path;
    const bool made = make(path);
    const int error = errno;
    const std::wstring wide = QDir::toNativeSeparators(path).toStdWString();
    if (!made || wide.size() >= std::size_t(kPath)) {
        errno = made ? ENAMETOOLONG : error;
        if (made) kind == Made::Folder ? ::RemoveDirectoryW(wide.c_str()) : ::DeleteFileW(wide.c_str());
        return -1;
    }
    Listed& listed = registry[entry];
    listed.used = listed.listed = true;
    listed.folder = kind == Made::Folder;
    std::wmemcpy(listed.path, wide.c_str(), wide.size() + 1);
    return entry;
}

void Unlist(int& entry) {
    if (entry >= 0) {
        std::lock_guard lock(registryLock);
        registry[entry] = Listed();
    }
    entry = -1;
}

QString MakePrivateFolder(const QString& parent, const QString& prefix) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        const QString path =
            parent + QLatin1Char('/') + prefix + QString::number(QRandomGenerator::global()->generate64(), 36);
        if (::CreateDirectoryW(QDir::toNativeSeparators(path).toStdWString().c_str(), nullptr)) return path;
        if (::GetLastError() != ERROR_ALREADY_EXISTS) break;
    }
    SetErrnoFromLastError();
    return {};
}

}  // namespace platform

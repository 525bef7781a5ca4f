#include "core/platform/Process.h"

#include <QDir>
#include <QSysInfo>

#include <windows.h>
#include <restartmanager.h>

#include <iterator>
#include <vector>

namespace platform {

bool StandardErrorIsTerminal() {
    HANDLE error = ::GetStdHandle(STD_ERROR_HANDLE);
    DWORD mode = 0;
    return error && error != INVALID_HANDLE_VALUE && ::GetFileType(error) == FILE_TYPE_CHAR &&
           ::GetConsoleMode(error, &mode);
}

// Windows has no signal for a closed pipe: the write fails, and that is told.
void KeepRunningOnClosedPipe() {}

// Windows delivers no asynchronous signals to threads.
void BlockSignalsOnThisThread() {}

QString HostName() { return QSysInfo::machineHostName(); }

QString UserName() {
    wchar_t name[256 + 1] = {};
    DWORD size = DWORD(std::size(name));
    return ::GetUserNameW(name, &size) ? QString::fromWCharArray(name) : QString();
}

long long ProcessId() { return ::GetCurrentProcessId(); }

std::optional<bool> ProcessRuns(long long pid) {
    if (pid <= 0 || pid > 0xffffffffLL) return std::nullopt;
    HANDLE process = ::OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, DWORD(pid));
    if (!process) return ::GetLastError() == ERROR_ACCESS_DENIED;  // another user's: it runs
    const bool running = ::WaitForSingleObject(process, 0) == WAIT_TIMEOUT;
    ::CloseHandle(process);
    return running;
}

// The Restart Manager knows which processes hold a file open.
bool OpenByAnotherProcess(const QString& document) {
    DWORD session = 0;
    WCHAR key[CCH_RM_SESSION_KEY + 1] = {};
    if (::RmStartSession(&session, 0, key) != ERROR_SUCCESS) return false;
    const std::wstring path = QDir::toNativeSeparators(document).toStdWString();
    LPCWSTR files[] = {path.c_str()};
    bool open = false;
    if (::RmRegisterResources(session, 1, files, 0, nullptr, 0, nullptr) == ERROR_SUCCESS) {
        UINT needed = 0, count = 0;
        DWORD reasons = 0;
        DWORD result = ::RmGetList(session, &needed, &count, nullptr, &reasons);
        std::vector<RM_PROCESS_INFO> processes;
        while (result == ERROR_MORE_DATA) {
            processes.resize(needed);
            count = needed;
            result = ::RmGetList(session, &needed, &count, processes.data(), &reasons);
        }
        const DWORD self = ::GetCurrentProcessId();
        for (UINT i = 0; result == ERROR_SUCCESS && i < count; ++i)
            open = open || processes[i].Process.dwProcessId != self;
    }
    ::RmEndSession(session);
    return open;
}

}  // namespace platform

#include "core/platform/Locks.h"

#include "core/platform/win32/Errors.h"

#include <windows.h>

namespace platform {
namespace {

// Windows' locks are mandatory: a lock on the records would stop other copies
// reading them. The lock is one byte far beyond any archive's data, as
// database engines lock, so only writers meet it.
constexpr DWORD kLockOffsetHigh = 0x7fffffff;

OVERLAPPED LockByte() {
    OVERLAPPED at {};
    at.OffsetHigh = kLockOffsetHigh;
    return at;
}

}  // namespace

LockResult SystemLockForWriting(const File& file) {
    OVERLAPPED at = LockByte();
    if (::LockFileEx(reinterpret_cast<HANDLE>(file.Handle()), LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0,
                     1, 0, &at))
        return LockResult::Held;
    switch (::GetLastError()) {
        case ERROR_LOCK_VIOLATION:
        case ERROR_IO_PENDING:
            return LockResult::Busy;
        case ERROR_NOT_SUPPORTED:
        case ERROR_INVALID_FUNCTION:
            return LockResult::Unsupported;
        default:
            SetErrnoFromLastError();
            return LockResult::Failed;
    }
}

void UnlockForWriting(const File& file) {
    OVERLAPPED at = LockByte();
    ::UnlockFileEx(reinterpret_cast<HANDLE>(file.Handle()), 0, 1, 0, &at);
}
}  // namespace platform

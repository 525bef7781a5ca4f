#pragma once
#include "core/platform/Files.h"

// The advisory lock by which copies of the program sharing a folder keep
// their writes of an archive apart. It excludes writers only, never readers:
// on POSIX systems an open-file-description lock on the whole file; on
// Windows, where locks are mandatory, a byte range beyond any data (as
// database engines lock), so that reads of records never meet it.
namespace platform {

enum class LockResult {
    Held,         // this handle holds it
    Busy,         // another handle holds it: try again
    Unsupported,  // the file system keeps no locks (some network mounts)
    Failed,       // any other failure, errno set
};

LockResult TryLockForWriting(const File& file);
void UnlockForWriting(const File& file);
// The system's own call, which TryLockForWriting makes unless a test put in
// another.
LockResult SystemLockForWriting(const File& file);

// How TryLockForWriting asks the system: tests put in a call that answers as
// a file system without locks does. Returns the call it replaces; nullptr
// puts the system's back.
using LockCall = LockResult (*)(const File& file);
LockCall SetLockCall(LockCall call);

}  // namespace platform

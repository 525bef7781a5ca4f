#include "core/platform/Locks.h"

#include <cerrno>
#include <fcntl.h>

namespace platform {
namespace {

// Open-file-description locks belong to the open file, not the process, so
// two handles of one process exclude each other too.
int Lock(const File& file, short type) {
    struct flock lock {};
    lock.l_type = type;
    lock.l_whence = SEEK_SET;
    return ::fcntl(static_cast<int>(file.Handle()), F_OFD_SETLK, &lock);
}

}  // namespace

LockResult SystemLockForWriting(const File& file) {
    if (Lock(file, F_WRLCK) == 0) return LockResult::Held;
    if (errno == EAGAIN || errno == EACCES || errno == EINTR) return LockResult::Busy;
    if (errno == ENOLCK || errno == EINVAL || errno == EOPNOTSUPP || errno == ENOSYS) return LockResult::Unsupported;
    return LockResult::Failed;
}

void UnlockForWriting(const File& file) { Lock(file, F_UNLCK); }

}  // namespace platform

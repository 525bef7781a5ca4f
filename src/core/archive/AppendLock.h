#pragma once
#include "core/platform/Files.h"

#include <QString>

#include <memory>

class LockFile;

// Holds the archive's write lock for its lifetime: every write of an archive,
// an append or a record rewritten in place, holds it, so that copies of the
// program sharing the folder never write over each other. It is the system's
// advisory lock on the archive (platform/Locks.h); where the file system
// keeps none, a lock file beside the archive stands in (its name and
// ".lock"). Throws FileError when another writer keeps it past a moment.
class AppendLock {
public:
    // `archive` is the open archive, `name` its name in `folder`.
    AppendLock(const platform::File& archive, const platform::Folder& folder, const QString& name);
    ~AppendLock();
    AppendLock(const AppendLock&) = delete;
    AppendLock& operator=(const AppendLock&) = delete;

    // Whether the lock still excludes every other writer: an advisory lock
    // always does; a lock file while nobody took it over (its holder was
    // stopped for longer than a stale lock file stands). A holder asks before
    // every write and before any clean-up: one whose lock was taken writes
    // nothing more, since the archive is another's now.
    bool Held() const;

private:
    const platform::File& archive_;
    bool advisory_ = false;
    std::unique_ptr<LockFile> lockFile_;
};

// The failure of a write whose lock was taken over meanwhile.
[[noreturn]] void LostLock(const QString& archive);

#pragma once
#include "core/platform/Files.h"

#include <QString>

#include <optional>

// The rollback journal of a write of many records to an archive: the
// archive's size before it, written and synced beside the archive (its name
// and ".journal") before the first new record, removed once every record is
// synced; that removal is the commit. While it stands, the records past that
// size are not committed: readers leave them out, and whoever takes the
// archive's write lock next cuts the archive back to that size before it
// writes, whatever the records hold (the lock holder judges the journal).
class Journal {
public:
    Journal(const platform::Folder& folder, const QString& archive);

    // The archive's committed size in bytes, when a journal stands; none when
    // there is none, or it is not a journal. Throws FileError when something
    // other than a regular file stands in its place.
    std::optional<qint64> CommittedSize() const;
    // Writes the journal of an archive of `size` bytes whose last whole
    // record hashes to `check`, and syncs it and its folder. Throws FileError.
    void Write(qint64 size, unsigned long long check);
    // Removes the journal, if there is one, and syncs the folder. Throws
    // FileError.
    void Remove();

    // The hash of a record that the journal keeps: FNV-1a.
    static unsigned long long Check(const char* bytes, std::size_t size);

private:
    const platform::Folder& folder_;
    const QString name_;
};

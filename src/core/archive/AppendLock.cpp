#include "core/archive/AppendLock.h"

#include "core/archive/FileError.h"
#include "core/folder/FileAccess.h"
#include "core/platform/Locks.h"
#include "core/platform/Process.h"

#include <QDateTime>

#include <chrono>
#include <condition_variable>
#include <cerrno>
#include <mutex>
#include <optional>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;

// Another copy of the program holds the lock only for the moment of a write:
// a lock still held after this long is stuck, and the write fails rather than
// freeze the window.
constexpr std::chrono::milliseconds kAdvisoryWait{2000};
constexpr std::chrono::milliseconds kPause{1};

[[noreturn]] void Locked() { throw FileError("Archivio bloccato da un altro programma"); }

// The stand-in for the advisory lock on a file system that keeps none: a file
// beside the archive, created only when it does not exist, holding its
// holder's token (machine, process and a stamp), and removed when the write
// is done. While it is held, a heartbeat touches it (its modification time)
// every kBeat, so a holder that writes for seconds keeps it fresh. A lock file
// left by a process that ended without removing it (killed, or its machine
// gone) is stale: one whose holder on this machine no longer runs is taken
// over at once; one from another machine, or without a holder, once it has
// stood untouched for kSilence, many heartbeats long. The one found stale is
// moved aside under a name of this process's own and removed only when it is
// the very one found stale (same file, same holder, same last heartbeat); a
// live one moved by a taker that came late is put back.
constexpr std::chrono::milliseconds kBeat{250};
constexpr std::chrono::milliseconds kSilence{3000};
// How long a write waits for a lock file: longer than the silence, so that a
// stale one from another machine can be taken over.
constexpr std::chrono::milliseconds kLockFileWait{kSilence + std::chrono::milliseconds(3000)};

// "machine pid stamp": unique to one hold of the lock.
QByteArray Token() {
    return platform::HostName().toUtf8() + ' ' + QByteArray::number(platform::ProcessId()) + ' ' +
           QByteArray::number(QDateTime::currentMSecsSinceEpoch()) + '.' +
           QByteArray::number(Clock::now().time_since_epoch().count());
}

}  // namespace

class LockFile {
public:
    LockFile(const platform::Folder& folder, const QString& archive)
        : folder_(folder), name_(archive + QStringLiteral(".lock")), shown_(folder.Shown(name_)), token_(Token()) {
        const Clock::time_point start = Clock::now();
        Seen seen;
        Clock::time_point seenSince = start;
        while (Clock::now() - start < kLockFileWait) {
            platform::File file = folder_.CreateNew(name_);
            if (file.IsOpen()) {
                const bool ok = file.Write(token_.constData(), token_.size()) && file.Sync();
                const int error = errno;
                const std::optional<platform::FileId> id = file.Id();
                if (ok && id) {
                    file_ = std::move(file);
                    id_ = *id;
                    heartbeat_ = std::thread([this] { Beat(); });
                    return;
                }
                file = platform::File();
                folder_.Remove(name_);
                throw FileFailure("scrivere", shown_, SystemReason(id ? error : errno));
            }
            if (errno == EINTR) continue;
            if (errno != EEXIST) throw FileFailure("creare", shown_, SystemReason(errno));
            const std::optional<Seen> now = Look(name_);
            if (!now) continue;  // gone meanwhile: try again at once
            if (!(*now == seen)) {
                seen = *now;
                seenSince = Clock::now();
            }
            const std::optional<bool> running = HolderRuns(seen.token);
            const bool stale =
                running == false || (!running.value_or(false) && Clock::now() - seenSince >= kSilence);
            if (stale && TakeOver(seen)) continue;
            std::this_thread::sleep_for(kPause);
        }
        Locked();
    }
    ~LockFile() {
        {
            std::lock_guard lock(mutex_);
            stopping_ = true;
        }
        stop_.notify_all();
        heartbeat_.join();
        // Removed only while it is still this holder's own.
        if (StillOurs()) folder_.Remove(name_);
    }
    LockFile(const LockFile&) = delete;
    LockFile& operator=(const LockFile&) = delete;

    // Whether the lock file is still this holder's: not taken over meanwhile.
    bool StillOurs() const {
        const std::optional<Seen> now = Look(name_);
        return now && now->id == id_ && now->token == token_;
    }

private:
    // What a waiter sees of a lock file; any change means its holder lives.
    struct Seen {
        platform::FileId id;
        QByteArray token;
        qint64 touched = 0;
        bool operator==(const Seen& o) const { return id == o.id && token == o.token && touched == o.touched; }
    };

    // None when nothing stands there; a lock file that is no regular file
    // (a FIFO put in its place) is refused at once.
    std::optional<Seen> Look(const QString& name) const {
        QString refusal;
        const std::optional<QByteArray> token = folder_.ReadSmall(name, 1024, refusal);
        if (!refusal.isEmpty()) throw FileError(refusal.toStdString());
        const platform::Entry entry = folder_.Look(name);
        if (entry.kind == platform::Entry::Kind::Missing) return std::nullopt;
        return Seen{entry.id, token.value_or(QByteArray()), entry.modifiedNs};
    }

    void Beat() {
        std::unique_lock lock(mutex_);
        while (!stop_.wait_for(lock, kBeat, [this] { return stopping_; })) file_.Touch();
    }

    // Whether the holder named in a lock file runs: unknown for another
    // machine's process or a file without a holder.
    static std::optional<bool> HolderRuns(const QByteArray& token) {
        const QList<QByteArray> parts = token.split(' ');
        if (parts.size() != 3 || QString::fromUtf8(parts[0]) != platform::HostName()) return std::nullopt;
        bool ok = false;
        const long long pid = parts[1].toLongLong(&ok);
        if (!ok) return std::nullopt;
        return platform::ProcessRuns(pid);
    }

    bool TakeOver(const Seen& stale) const {
        const QString aside = name_ + QLatin1Char('.') + QString::number(platform::ProcessId()) + QStringLiteral(".stale");
        if (!folder_.Rename(name_, aside)) return false;
        const std::optional<Seen> moved = Look(aside);
        const bool same = moved && *moved == stale;
        if (!same) folder_.Link(aside, name_);
        folder_.Remove(aside);
        return same;
    }

    const platform::Folder& folder_;
    const QString name_;
    const QString shown_;
    const QByteArray token_;
    platform::File file_;
    platform::FileId id_;
    std::thread heartbeat_;
    std::mutex mutex_;
    std::condition_variable stop_;
    bool stopping_ = false;
};

AppendLock::AppendLock(const platform::File& archive, const platform::Folder& folder, const QString& name)
    : archive_(archive) {
    const Clock::time_point start = Clock::now();
    for (;;) {
        switch (platform::TryLockForWriting(archive_)) {
            case platform::LockResult::Held:
                advisory_ = true;
                return;
            case platform::LockResult::Unsupported:
                lockFile_ = std::make_unique<LockFile>(folder, name);
                return;
            case platform::LockResult::Busy:
                if (Clock::now() - start >= kAdvisoryWait) Locked();
                std::this_thread::sleep_for(kPause);
                break;
            case platform::LockResult::Failed:
                Locked();
        }
    }
}

AppendLock::~AppendLock() {
    if (advisory_) platform::UnlockForWriting(archive_);
}

bool AppendLock::Held() const { return !lockFile_ || lockFile_->StillOurs(); }

void LostLock(const QString& archive) {
    throw FileFailure("scrivere", archive,
                      QStringLiteral("il blocco dell'archivio è passato a un altro programma mentre questo era fermo; "
                                     "nessuna modifica è stata salvata"));
}

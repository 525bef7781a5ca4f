#include "core/archive/RecordFile.h"

#include "core/archive/AppendLock.h"
#include "core/archive/Journal.h"
#include "core/folder/FileAccess.h"

#include <algorithm>
#include <cerrno>
#include <limits>
#include <vector>

RecordFileBase::RecordFileBase(const char* fileName, std::size_t recordSize)
    : fileName_(fileName), recordSize_(recordSize) {}

RecordFileBase::~RecordFileBase() = default;

void RecordFileBase::OpenOrCreate(const QString& folder) { Open(folder, platform::File::Access::ReadWriteCreate); }

void RecordFileBase::OpenForReading(const QString& folder) { Open(folder, platform::File::Access::Read); }

void RecordFileBase::Open(const QString& folder, platform::File::Access access) {
    Close();
    path_ = folder + QLatin1Char('/') + QLatin1String(fileName_);
    QString refusal;
    platform::File file = platform::File::OpenRegular(path_, access, refusal);
    if (!refusal.isEmpty()) throw FileError(refusal.toStdString());
    if (!file.IsOpen()) throw FileFailure("aprire", path_, SystemReason(errno));
    // The journal and the lock file are found beside it, by name in its folder.
    platform::Folder opened = platform::Folder::Open(folder);
    if (!opened.IsOpen()) throw FileFailure("aprire", folder, SystemReason(errno));
    file_ = std::move(file);
    folder_ = std::move(opened);
    position_ = 0;
    written_ = false;
}

void RecordFileBase::Close() {
    if (!file_.IsOpen()) return;
    // On a network folder a write may fail only now: what was written must
    // have reached the file before the command reports success.
    const bool synced = !written_ || file_.Sync();
    const int syncError = errno;
    const bool closed = file_.Close();
    folder_ = platform::Folder();
    if (!closed || !synced) throw FileFailure("scrivere", path_, SystemReason(synced ? errno : syncError));
}

qint64 RecordFileBase::Size() const {
    if (!file_.IsOpen()) throw FileError("Archivio non aperto");
    const std::optional<qint64> size = file_.Size();
    if (!size) throw FileFailure("leggere", path_, SystemReason(errno));
    return *size;
}

long long RecordFileBase::RecordCount() const {
    qint64 size = Size();
    if (const std::optional<qint64> committed = Journal(folder_, QLatin1String(fileName_)).CommittedSize())
        size = std::min(size, *committed);
    return static_cast<long long>(size) / static_cast<long long>(recordSize_);
}

unsigned long long RecordFileBase::LastRecordCheck(qint64 size) const {
    const qint64 record = qint64(recordSize_);
    const qint64 last = size / record * record - record;
    if (last < 0) return 0;
    std::vector<char> bytes(recordSize_);
    if (file_.ReadAt(bytes.data(), record, last) != record) throw FileFailure("leggere", path_, SystemReason(errno));
    return Journal::Check(bytes.data(), recordSize_);
}

void RecordFileBase::RollBackUncommitted() {
    Journal journal(folder_, QLatin1String(fileName_));
    if (const std::optional<qint64> committed = journal.CommittedSize(); committed && *committed < Size()) {
        if (!file_.Truncate(*committed) || !file_.Sync())
            throw FileFailure("ripristinare", path_, SystemReason(errno));
    }
    journal.Remove();
}

void RecordFileBase::Seek(long long index) {
    if (index < 0) throw FileError("Posizione non valida");
    position_ = index;
}

qint64 RecordFileBase::OffsetOf(long long index) const {
    // The record's last byte must have an offset too.
    qint64 offset = 0;
    qint64 end = 0;
    if (__builtin_mul_overflow(index, qint64(recordSize_), &offset) ||
        __builtin_add_overflow(offset, qint64(recordSize_), &end))
        throw FileError("Posizione oltre la fine dell'archivio");
    return offset;
}

void RecordFileBase::ReadBytes(void* record) {
    if (ReadRun(record, recordSize_) < recordSize_) throw FileError("Lettura oltre l'ultima scheda");
    ++position_;
}

void RecordFileBase::ReadManyBytes(long long count, const VisitBytes& visit) {
    // Pieces of 128 KB, which stay in the processor's cache while visited.
    const long long perPiece = std::max<long long>(1, (128 << 10) / static_cast<long long>(recordSize_));
    std::vector<char> piece(static_cast<std::size_t>(std::clamp(count, 0LL, perPiece)) * recordSize_);
    while (count > 0) {
        const std::size_t size = static_cast<std::size_t>(std::min(count, perPiece)) * recordSize_;
        const std::size_t read = ReadRun(piece.data(), size);
        for (std::size_t at = 0; at + recordSize_ <= read; at += recordSize_) {
            ++position_;
            --count;
            visit(piece.data() + at);
        }
        if (read < size) throw FileError("Lettura oltre l'ultima scheda");
    }
}

std::size_t RecordFileBase::ReadRun(void* records, std::size_t size) {
    if (!file_.IsOpen()) throw FileError("Archivio non aperto");
    const qint64 read = file_.ReadAt(records, qint64(size), OffsetOf(position_));
    if (read < 0) throw FileFailure("leggere", path_, SystemReason(errno));
    return std::size_t(read);
}

void RecordFileBase::WriteRun(const void* records, std::size_t size) {
    if (!file_.WriteAt(records, qint64(size), OffsetOf(position_)))
        throw FileFailure("scrivere", path_, SystemReason(errno));
    written_ = true;
}

void RecordFileBase::WriteBytes(const void* record) {
    if (!file_.IsOpen()) throw FileError("Archivio non aperto");
    AppendLock lock(file_, folder_, QLatin1String(fileName_));
    RollBackUncommitted();
    if (position_ > RecordCount()) throw FileError("Scrittura oltre la fine dell'archivio");
    if (!lock.Held()) LostLock(path_);
    WriteRun(record, recordSize_);
    ++position_;
}

void RecordFileBase::AppendBytes(const void* record) {
    if (!file_.IsOpen()) throw FileError("Archivio non aperto");
    AppendLock lock(file_, folder_, QLatin1String(fileName_));
    RollBackUncommitted();
    position_ = RecordCount();
    if (!lock.Held()) LostLock(path_);
    WriteRun(record, recordSize_);
    ++position_;
}

void RecordFileBase::AppendManyBytes(long long count, const FillBytes& fill) {
    if (!file_.IsOpen()) throw FileError("Archivio non aperto");
    AppendLock lock(file_, folder_, QLatin1String(fileName_));
    RollBackUncommitted();
    const qint64 size = Size();
    const long long first = RecordCount();
    if (count <= 0) return;
    // The journal first, then the records in pieces of about a megabyte,
    // synced; removing the journal commits them. Should any step before the
    // commit fail, the file is cut back to its old size while the lock still
    // keeps other writers out; should the process die, whoever takes the
    // lock next cuts it back. Nobody ever finds part of the records. A holder
    // whose lock file was taken over (it was stopped meanwhile) writes and
    // cuts back nothing more: the taker has cut its records back already, and
    // what stands past them now is another's.
    Journal journal(folder_, QLatin1String(fileName_));
    journal.Write(size, LastRecordCheck(size));
    const long long perPiece = std::max<long long>(1, (1 << 20) / static_cast<long long>(recordSize_));
    std::vector<char> piece(static_cast<std::size_t>(std::min(count, perPiece)) * recordSize_);
    try {
        position_ = first;
        for (long long done = 0; done < count;) {
            const long long n = std::min(count - done, perPiece);
            std::fill(piece.begin(), piece.end(), 0);
            for (long long i = 0; i < n; ++i) fill(done + i, piece.data() + i * recordSize_);
            if (!lock.Held()) LostLock(path_);
            WriteRun(piece.data(), static_cast<std::size_t>(n) * recordSize_);
            done += n;
            position_ = first + done;
        }
        if (!file_.Sync()) throw FileFailure("scrivere", path_, SystemReason(errno));
        if (!lock.Held()) LostLock(path_);
        journal.Remove();
    } catch (...) {
        position_ = first;
        if (!lock.Held()) throw;
        // Cut back, then the journal goes: a failure of either leaves the
        // journal, and the next writer cuts back.
        if (file_.Truncate(size) && file_.Sync()) {
            try {
                journal.Remove();
            } catch (const FileError&) {
            }
        }
        throw;
    }
}

#pragma once
#include "core/archive/FileError.h"
#include "core/platform/Files.h"

#include <QString>

#include <cstddef>
#include <functional>
#include <optional>
#include <type_traits>

// A short-lived handle on a file of fixed-size records in the program folder,
// opened with read and write sharing. Every read and write is one read or
// write of whole records at their offset; every write, an append or a record
// rewritten in place, holds the archive's write lock for its moment
// (AppendLock.h) so that copies of the program sharing the folder never write
// over each other's records.
class RecordFileBase {
public:
    RecordFileBase(const char* fileName, std::size_t recordSize);
    ~RecordFileBase();
    RecordFileBase(const RecordFileBase&) = delete;
    RecordFileBase& operator=(const RecordFileBase&) = delete;

    // Opens the file in the folder for reading and writing, creating it empty
    // when it is missing. Throws FileError on any other failure.
    void OpenOrCreate(const QString& folder);
    // Opens an existing file for reading only; never creates or changes it.
    // Throws FileError when it is missing or cannot be read.
    void OpenForReading(const QString& folder);
    // Closes the file; after writes, first makes sure they reached it.
    // Throws FileError when they did not. Destroying an open handle closes it
    // without a check.
    void Close();

    // Whole committed records in the file; trailing bytes of a partial record,
    // and the records of an append of many that has not committed, do not count.
    long long RecordCount() const;
    // Index (from 0) of the record the next read or write touches.
    long long Position() const { return position_; }
    void Seek(long long index);
    bool AtEnd() const { return position_ >= RecordCount(); }

protected:
    void ReadBytes(void* record);
    // Hands record i (from 0) of count, read from the position, to visit; the
    // position is then past it.
    using VisitBytes = std::function<void(const void* record)>;
    void ReadManyBytes(long long count, const VisitBytes& visit);
    void WriteBytes(const void* record);
    void AppendBytes(const void* record);
    // Fills record i (from 0) of count into the buffer given.
    using FillBytes = std::function<void(long long index, void* record)>;
    void AppendManyBytes(long long count, const FillBytes& fill);

private:
    void Open(const QString& folder, platform::File::Access access);
    // The byte offset of record index; throws FileError when it lies beyond
    // what a file offset can hold.
    qint64 OffsetOf(long long index) const;
    // Reads up to size bytes at the position, which stays; fewer only where
    // the file ends. Returns how many.
    std::size_t ReadRun(void* records, std::size_t size);
    // Writes size bytes of whole records at the position, which stays.
    void WriteRun(const void* records, std::size_t size);
    // The file's size in bytes; throws FileError.
    qint64 Size() const;
    // Under the write lock: cuts the archive back to what a journal left by
    // a write that never committed says, then removes the journal.
    void RollBackUncommitted();
    // The check the journal keeps of the last whole record before `size`.
    unsigned long long LastRecordCheck(qint64 size) const;

    const char* fileName_;
    std::size_t recordSize_;
    platform::Folder folder_;
    platform::File file_;
    long long position_ = 0;
    bool written_ = false;
    QString path_;
};

// The typed handle: Record is a trivially copyable array of fields that names
// its file (kFileName) and whose size is the record size on disk.
template <class Record>
class RecordFile : public RecordFileBase {
    static_assert(std::is_trivially_copyable_v<Record>);

public:
    RecordFile() : RecordFileBase(Record::kFileName, sizeof(Record)) {}
    explicit RecordFile(const QString& folder) : RecordFile() { OpenOrCreate(folder); }

    static constexpr std::size_t kRecordSize = sizeof(Record);

    // Fills the record from the bytes at the position and advances by one.
    void Read(Record& record) { ReadBytes(&record); }
    // Reads count records from the position, many at a time, and hands each to
    // visit(record) in file order, the position already past it (so Position()
    // is its number from 1). Throws FileError as Read does where the file has
    // fewer records, after handing over every whole record before the end.
    template <class Visit>
    void ReadMany(long long count, Visit visit) {
        ReadManyBytes(count, [&](const void* record) { visit(*static_cast<const Record*>(record)); });
    }
    // Writes the record at the position (at most the record count) under the
    // write lock, and advances.
    void Write(const Record& record) { WriteBytes(&record); }
    // Writes the record after the last whole record under the append lock; the
    // position is then the new record count, that is the record's number.
    void Append(const Record& record) { AppendBytes(&record); }
    // Appends count records after the last whole record in one hold of the
    // append lock, record i made by fill(i, record): all of them, one after
    // the other, or none, even when the process is killed midway (a rollback
    // journal beside the archive, undone by whoever takes the lock next). The
    // position is then the new record count.
    template <class Fill>
    void AppendMany(long long count, Fill fill) {
        AppendManyBytes(count, [&](long long index, void* record) { fill(index, *static_cast<Record*>(record)); });
    }
};

#pragma once
#include "core/platform/Files.h"

#include <QByteArray>
#include <QIODevice>
#include <QString>

#include <functional>

// Files in the making that a run leaves nowhere: each is listed, from the
// moment it is made, for removal should the process be told to end
// (platform/Termination.h); when the list is full, nothing more is made and
// the maker throws, rather than make a file that an ending would leave behind.

// A private folder in the system's temporary folder for files in the making
// (plain files, no subfolders). It goes with everything in it when the object
// goes, or when the process is told to end.
class ScratchFolder {
public:
    // Throws std::runtime_error when the folder cannot be made.
    ScratchFolder();
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    // The full name of a file in the folder.
    QString File(const QString& name) const;

private:
    int entry_ = -1;
    QString path_;
};

// Where a ReplacingFile's bytes go: a device over the open temporary file,
// buffered, flushed by flush() or by the commit.
class FileDevice : public QIODevice {
public:
    FileDevice() = default;
    void Attach(platform::File* file);
    // Writes out what is buffered; false with errno set when it cannot.
    bool flush();
    bool isSequential() const override { return true; }

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char* data, qint64 size) override;

private:
    platform::File* file_ = nullptr;
    QByteArray buffer_;
};

// A file written whole before it takes the place of another, or its own
// place when there was none. The bytes go to a hidden temporary file beside
// the target (in the same folder, so that taking its place is one rename);
// Commit then flushes, syncs and closes it, every step checked, and renames it
// over the target. Until then the target stays as it was; the temporary file
// goes when the object goes uncommitted, or when the process is told to end.
// The target's folder is opened once, by Open, and every later step works by
// name inside that open folder: a link put in place of the target or of its
// folder meanwhile redirects nothing.
class ReplacingFile {
public:
    // What Commit does with a file that stands under the target's name.
    enum class Existing { Replace, Keep };
    // Says why nothing may be written under `name` in the folder open as
    // `folder` (the place the target resolved to); empty when it may.
    using Guard = std::function<QString(const platform::Folder& folder, const QString& name)>;

    // A target that is a link is followed once, by Open (the file it points
    // at is replaced, the link stays); one that exists and is not a regular
    // file (a pipe, a device) is written to directly and never replaced. The
    // guard, when given, is asked about the place the target resolved to.
    explicit ReplacingFile(QString path, Guard guard = {});
    // The file `name` in the folder open as `folder`, where no link is ever
    // followed: a link under the name is never written through nor
    // replaced (Commit fails with ELOOP's reason). With Existing::Keep, Commit
    // puts the file in place only where nothing at all stands under the name,
    // in one step (EEXIST's reason otherwise).
    ReplacingFile(const platform::Folder& folder, QString name, Existing existing);
    ~ReplacingFile();
    ReplacingFile(const ReplacingFile&) = delete;
    ReplacingFile& operator=(const ReplacingFile&) = delete;

    // Makes the temporary file (or opens the special file). False with
    // Reason() set when it cannot, or when the guard refused (Refused()).
    bool Open();
    // Where the bytes go, once open.
    FileDevice& Device() { return device_; }
    // Puts the written file in place. False with Reason() set when a step
    // before the rename fails; the target is then as it was. Once renamed,
    // the file is in place: a failed sync of its folder is not a failure.
    bool Commit();
    // The system's reason for the last failure, or the guard's refusal.
    QString Reason() const { return reason_; }
    bool Refused() const { return refused_; }

private:
    bool OpenFolder();
    bool PutInPlace();
    bool Fail(int error);
    void Discard();

    QString path_;  // the target as given, links not yet followed
    bool followLinks_ = true;
    Existing existing_ = Existing::Replace;
    Guard guard_;
    const platform::Folder* given_ = nullptr;  // the folder as the caller gave it open, if it did
    platform::Folder opened_;                  // the target's folder, when Open opened it
    const platform::Folder* folder_ = nullptr;  // the one in use
    QString target_;     // the target's name in its folder
    QString temporary_;  // the temporary file's name there; empty when writing the target directly
    platform::File file_;
    int entry_ = -1;
    FileDevice device_;
    QString reason_;
    bool refused_ = false;
};

#pragma once
#include <QByteArray>
#include <QFile>
#include <QString>

// Files in the making that a run leaves nowhere: each is listed, from the
// moment it is made, for a handler of SIGTERM and SIGINT (Ctrl-C) that removes
// it, then ends the process as the signal would have. A process that has its
// own handler for those signals keeps it. The list is short and fixed (the
// handler may run at any moment, so it holds plain buffers); when it is full,
// nothing more is made and the maker throws, rather than make a file that a
// signal would leave behind.

// A private folder in the system's temporary folder for files in the making
// (plain files, no subfolders). It goes with everything in it when the object
// goes, or when a signal ends the process.
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
    int slot_ = -1;
    QString path_;
};

// A file written whole before it takes the place of another, or its own
// place when there was none. The bytes go to a hidden temporary file beside
// the target (in the same folder, so that taking its place is one rename);
// Commit then flushes, syncs and closes it, every step checked, and renames it
// over the target. Until then the target stays as it was; the temporary file
// goes when the object goes uncommitted, or when a signal ends the process.
class ReplacingFile {
public:
    // What Commit does with a file that stands under the target's name.
    enum class Existing { Replace, Keep };

    // A target that is a link is followed (the file it points at is replaced,
    // the link stays); one that exists and is not a regular file (a pipe, a
    // device) is written to directly and never replaced.
    explicit ReplacingFile(QString path);
    // The file `name` in the folder open as `folder` (a descriptor the object
    // copies; `folderPath` is that folder's path), where no link is ever
    // followed: only the temporary file is written, and a link under the name
    // is never written through nor replaced (Commit fails with ELOOP's reason).
    // With Existing::Keep, Commit puts the file in place only where nothing at
    // all stands under the name, in one step (EEXIST's reason otherwise).
    ReplacingFile(int folder, const QString& folderPath, QString name, Existing existing);
    ~ReplacingFile();
    ReplacingFile(const ReplacingFile&) = delete;
    ReplacingFile& operator=(const ReplacingFile&) = delete;

    // Makes the temporary file (or opens the special file). False with
    // Reason() set when it cannot.
    bool Open();
    // Where the bytes go, once open.
    QFile& Device() { return device_; }
    // Puts the written file in place. False with Reason() set when a step
    // before the rename fails; the target is then as it was. Once renamed,
    // the file is in place: a failed sync of its folder is not a failure.
    bool Commit();
    // The system's reason for the last failure.
    QString Reason() const { return reason_; }

private:
    bool OpenFolder();
    bool PutInPlace();
    bool Fail(int error);
    void Discard();

    QString path_;          // the target as given, links not yet followed
    bool followLinks_ = true;
    Existing existing_ = Existing::Replace;
    int given_ = -1;        // the folder as the caller gave it open, if it did
    int folder_ = -1;       // the target's folder, open from Open while the object lives
    QString folderPath_;
    QByteArray target_;     // the target's name in its folder
    QByteArray temporary_;  // the temporary file's name there; empty when writing the target directly
    int fd_ = -1;
    int slot_ = -1;
    QFile device_;
    QString reason_;
};

#pragma once
#include <QString>

// A private folder in the system's temporary folder for files in the making
// (plain files, no subfolders). It goes with everything in it when the object
// goes, and also when the process is ended meanwhile by SIGTERM or SIGINT
// (Ctrl-C): the handler removes the folder's files and the folder, then ends
// the process as the signal would have. A process that has its own handler for
// those signals keeps it.
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

#pragma once
#include <QString>

#include <stdexcept>

// The failure of an operation on an archive file; the caller decides what
// the user is told.
class FileError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// "Impossibile <doing> <file>: <reason>", the failure named with its file and
// the system's reason.
FileError FileFailure(const char* doing, const QString& file, const QString& reason);

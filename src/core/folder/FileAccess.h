#pragma once
#include <QByteArray>
#include <QFileInfo>
#include <QString>

// Low-level access to the files of the program folder, shared by the record
// files, the INI files and the batch tool's output.

// Opens path as open(2) does with flags (close-on-exec added) when it names a
// regular file, directly or through a link, or nothing (for O_CREAT). Anything
// else in its place (a FIFO, a device, a folder, a socket) is not opened for
// use, so nothing ever blocks on it or reads it as an endless or empty file:
// the result is -1 and refusal holds a message naming the file and saying what
// it is. Any other failure gives -1 with errno set and refusal empty (ENOENT:
// nothing of that name).
int OpenRegularFile(const QString& path, int flags, QString& refusal);

// Opens the folder `name` inside the folder `parent`, making it when it is
// missing, without following a link that stands under that name: the
// descriptor (for reading and the *at calls), or -1 with errno set (ELOOP: a
// link stands there; ENOTDIR: something other than a folder).
int OpenSubfolder(const QString& parent, const QString& name);

// True when name names a file in a folder and nothing else: not empty, not
// "." or "..", and without the folder separator of either system ("/", "\\").
bool IsBareName(const QString& name);

// Writes all size bytes to fd, however many calls it takes. False with errno
// set when a write fails.
bool WriteAll(int fd, const char* data, qsizetype size);

// Closes fd; false with errno set when the close reports an error (on a
// network folder a failed write may show only here).
bool CloseChecked(int fd);

// The text of an errno value, in the system's language.
QString SystemReason(int error);

// The file a path names once its links are followed, one after the other (at
// most 40, as the system follows them); the path itself when it is no link.
// The file need not exist: a dangling link gives the file it would create.
QFileInfo FollowLinks(const QString& path);

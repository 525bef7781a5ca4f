#pragma once
#include <QFileInfo>
#include <QString>

// Small rules about the files of the program folder, shared by the file layer
// and the batch tool's output.

// True when name names a file in a folder and nothing else: not empty, not
// "." or "..", and without the folder separator of either system ("/", "\\").
bool IsBareName(const QString& name);

// The text of an errno value, in the system's language.
QString SystemReason(int error);

// The file a path names once its links are followed, one after the other (at
// most 40, as the system follows them); the path itself when it is no link.
// The file need not exist: a dangling link gives the file it would create.
QFileInfo FollowLinks(const QString& path);

#pragma once
#include <QString>

#include <functional>

// Files in the making that a run leaves nowhere: each is listed, from the
// moment it is made, for removal when the process is told to end (on POSIX
// systems SIGTERM, SIGINT and SIGHUP: a closed terminal; on Windows the
// console's close and the session's end), after which the process ends as it
// would have. A process that has its own handler for those keeps it. The list
// is short and fixed (the removal may run at any moment, so it holds plain
// buffers); when it is full, nothing more is made.
namespace platform {

enum class Made { File, Folder };

// Makes a file or folder with `make`, which returns whether it made it and
// fills in its full path, and lists it, with the ending held back so that none
// can end the run in between. Returns the entry, or -1 when make failed
// (errno as make left it). Throws std::runtime_error when the list is full:
// nothing is made.
int MakeListed(Made kind, const std::function<bool(QString& path)>& make);

// Takes an entry off the list (once its file is gone or in place); -1 then.
void Unlist(int& entry);

// Makes a new private folder inside `parent` whose name begins with
// `prefix`; its full path, or an empty text (errno set).
QString MakePrivateFolder(const QString& parent, const QString& prefix);

}  // namespace platform

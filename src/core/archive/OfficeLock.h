#pragma once
#include <QString>

// The lock file that LibreOffice and OpenOffice keep beside a document they
// have open (".~lock.<name>#"): who holds it, and whether it was left behind.
// A crash leaves it in place, and a spreadsheet program that finds it opens
// the document read only; the export refuses to replace a document held so.
namespace office_lock {

// What the lock file says of the one who opened the document. Any field may
// be empty.
struct Holder {
    QString name;   // the user's name as set in the office suite
    QString user;   // the system user
    QString host;   // the computer
    QString since;  // when, as the suite wrote it ("11.12.2026 05:48")
};

enum class State {
    None,      // no lock file
    Stale,     // written by this user on this computer, and no process of this user has the document open
    OpenHere,  // written by this user on this computer, and a process of this user has the document open
    Unsure,    // another computer, another user, or a lock file that cannot be read: only the user can tell
};

struct Lock {
    State state = State::None;
    Holder holder;
};

// The lock file's path for a document.
QString PathFor(const QString& document);

// Reads the lock file of a document and tells whether it is still held.
// Throws FileError when something other than a regular file stands under the
// lock file's name.
Lock Inspect(const QString& document);

// The holder in words: "Mario Rossi (utente mario) sul computer ufficio-2
// dal 11.12.2026 05:48"; the fields the lock left empty are left out.
QString Describe(const Holder& holder);

// Removes the lock file of a document. Returns the system's reason when it
// cannot; an empty text when it is gone (or was never there).
QString Remove(const QString& document);

}  // namespace office_lock

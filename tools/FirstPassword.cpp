// Lays the password file of a new installation into a program folder: the
// first-access password in its stored, enciphered form, written by the
// program's own password code. A folder that already holds a password keeps
// it, so rebuilding never undoes a change of password made there.
#include "core/access/PasswordFile.h"

#include <QDir>

#include <cstdio>
#include <exception>
#include <stdexcept>

int main(int argc, char* argv[]) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s PROGRAM_FOLDER\n", argv[0]);
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    try {
        if (!QDir().mkpath(folder)) throw std::runtime_error("cannot create the folder");
        const ProgramFolder program(folder);
        bool holdsPassword = false;
        try {
            holdsPassword = !ReadStoredPassword(program).isEmpty();
        } catch (const std::exception&) {
            // A damaged file is replaced by a working one.
        }
        if (!holdsPassword) WriteStoredPassword(program, QString::fromLatin1(kFirstAccessPassword));
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s: %s\n", argv[0], e.what());
        return 1;
    }
    return 0;
}

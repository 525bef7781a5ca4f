// Lays the password file of a new installation into a program folder: the
// first-access password in its stored, enciphered form, written by the
// program's own password code.
#include "access/PasswordFile.h"

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
        WriteStoredPassword(ProgramFolder(folder), QString::fromLatin1(kFirstAccessPassword));
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s: %s\n", argv[0], e.what());
        return 1;
    }
    return 0;
}

#pragma once
#include <QDir>
#include <QFile>
#include <QString>

#include <cstring>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace testing_support {

// Something other than a regular file where the program expects one, and the
// word by which a message says what it is.
struct SpecialFile {
    const char* name;
    const char* word;
    bool (*make)(const QString& path);
};

inline bool MakeFifo(const QString& path) { return mkfifo(QFile::encodeName(path).constData(), 0666) == 0; }
inline bool MakeFolder(const QString& path) { return QDir().mkdir(path); }
inline bool MakeLinkToZero(const QString& path) { return QFile::link(QStringLiteral("/dev/zero"), path); }
inline bool MakeSocket(const QString& path) {
    sockaddr_un address {};
    address.sun_family = AF_UNIX;
    const QByteArray native = QFile::encodeName(path);
    if (native.size() >= qsizetype(sizeof address.sun_path)) return false;
    std::memcpy(address.sun_path, native.constData(), size_t(native.size()));
    const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
    const bool bound = fd >= 0 && bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    if (fd >= 0) close(fd);
    return bound;
}

inline constexpr SpecialFile kSpecialFiles[] = {
    {"FIFO", "FIFO", MakeFifo},
    {"Folder", "cartella", MakeFolder},
    {"LinkToDevZero", "dispositivo", MakeLinkToZero},
    {"Socket", "socket", MakeSocket},
};

// Puts the special thing at path, in place of whatever was there.
inline bool PutSpecialFile(const SpecialFile& special, const QString& path) {
    QFile::remove(path);
    QDir().rmdir(path);
    return special.make(path);
}

}  // namespace testing_support

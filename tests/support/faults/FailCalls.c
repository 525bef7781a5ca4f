// A shim for LD_PRELOAD that makes one call of the file layer fail, as a full
// or failing disk or a network folder would, in a process run by a test:
//   VELMORA_FAIL_CALL   write, pwrite, fdatasync, fsync, close, ftruncate,
//                       open (one that may create: open and openat with
//                       O_CREAT), rename (rename, renameat, renameat2), link
//                       (link, linkat), unlink (unlink, unlinkat) or mkdir
//                       (mkdir, mkdirat); a call on a name in a folder given
//                       open counts with the folder's path and the name
//   VELMORA_FAIL_MATCH  the calls counted are those on a file whose path holds
//                       this text
//   VELMORA_FAIL_AT     the counted call that fails, from 1 (0: none, only count)
//   VELMORA_FAIL_COUNT  a file that receives, at exit, how many calls matched
//   VELMORA_NO_LOCKS    when set, every advisory lock on a matching file fails
//                       with ENOLCK, as on a file system that keeps none
// The failing call does nothing and returns -1 with errno EIO (ENOSPC for a
// write or an open that creates), except close, which closes the descriptor and then reports EIO. A
// failing fdatasync, fsync or close of a file written since its last sync
// also loses data, as a network folder does when the server refuses what was
// written: the file's last byte changes, so that a program that goes on as if
// the data were safe leaves a file that is neither old nor new.
#define _GNU_SOURCE
#include <dlfcn.h>
#include <errno.h>
#include <fcntl.h>
#include <stdarg.h>
#include <stdatomic.h>
#include <stdbool.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/types.h>
#include <unistd.h>

static atomic_long matched;
// The descriptors written since their last sync.
static atomic_bool dirty[4096];

static void SetDirty(int fd, int value) {
    if (fd >= 0 && fd < 4096) atomic_store(&dirty[fd], value);
}

static const char* Env(const char* name) {
    const char* value = getenv(name);
    return value ? value : "";
}

static int Matches(const char* path) {
    const char* match = Env("VELMORA_FAIL_MATCH");
    return path && *match && strstr(path, match) != NULL;
}

// The path of `name` in the folder open as `folder` (AT_FDCWD: name alone).
static int AtMatches(int folder, const char* name) {
    if (!name) return 0;
    if (folder == AT_FDCWD || name[0] == '/') return Matches(name);
    char link[64], path[8192];
    snprintf(link, sizeof link, "/proc/self/fd/%d", folder);
    const ssize_t n = readlink(link, path, 4096);
    if (n < 0) return 0;
    snprintf(path + n, sizeof path - (size_t)n, "/%s", name);
    return Matches(path);
}

static int FdMatches(int fd) {
    char link[64], path[4096];
    snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
    const ssize_t n = readlink(link, path, sizeof path - 1);
    if (n < 0) return 0;
    path[n] = '\0';
    return Matches(path);
}

// Whether this call of `call`, on a matching file, is the one to fail.
static int Fails(const char* call, int matches) {
    if (!matches || strcmp(Env("VELMORA_FAIL_CALL"), call) != 0) return 0;
    const long n = atomic_fetch_add(&matched, 1) + 1;
    return n == atol(Env("VELMORA_FAIL_AT"));
}

__attribute__((destructor)) static void Report(void) {
    const char* file = Env("VELMORA_FAIL_COUNT");
    if (!*file) return;
    FILE* out = fopen(file, "w");
    if (!out) return;
    fprintf(out, "%ld\n", atomic_load(&matched));
    fclose(out);
}

#define NEXT(name) ((__typeof__(&name))dlsym(RTLD_NEXT, #name))

// What a failed sync of a written file loses: its last byte is not what was
// written.
static void LoseData(int fd) {
    if (fd < 0 || fd >= 4096 || !atomic_load(&dirty[fd])) return;
    // Through a descriptor of its own: the program's may be open for writing only.
    char link[64];
    snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
    const int file = open(link, O_RDWR | O_CLOEXEC);
    if (file < 0) return;
    const off_t end = lseek(file, 0, SEEK_END);
    unsigned char last;
    if (end > 0 && pread(file, &last, 1, end - 1) == 1) {
        last = (unsigned char)~last;
        NEXT(pwrite)(file, &last, 1, end - 1);
    }
    NEXT(close)(file);
}

ssize_t write(int fd, const void* data, size_t size) {
    const int matches = FdMatches(fd);
    if (Fails("write", matches)) return errno = ENOSPC, -1;
    if (matches) SetDirty(fd, 1);
    return NEXT(write)(fd, data, size);
}

ssize_t pwrite(int fd, const void* data, size_t size, off_t offset) {
    const int matches = FdMatches(fd);
    if (Fails("pwrite", matches)) return errno = ENOSPC, -1;
    if (matches) SetDirty(fd, 1);
    return NEXT(pwrite)(fd, data, size, offset);
}

ssize_t pwrite64(int fd, const void* data, size_t size, off64_t offset) {
    const int matches = FdMatches(fd);
    if (Fails("pwrite", matches)) return errno = ENOSPC, -1;
    if (matches) SetDirty(fd, 1);
    return NEXT(pwrite64)(fd, data, size, offset);
}

int fdatasync(int fd) {
    if (Fails("fdatasync", FdMatches(fd))) return LoseData(fd), errno = EIO, -1;
    SetDirty(fd, 0);
    return NEXT(fdatasync)(fd);
}

int fsync(int fd) {
    if (Fails("fsync", FdMatches(fd))) return LoseData(fd), errno = EIO, -1;
    SetDirty(fd, 0);
    return NEXT(fsync)(fd);
}

int ftruncate(int fd, off_t size) {
    if (Fails("ftruncate", FdMatches(fd))) return errno = EIO, -1;
    return NEXT(ftruncate)(fd, size);
}

int ftruncate64(int fd, off64_t size) {
    if (Fails("ftruncate", FdMatches(fd))) return errno = EIO, -1;
    return NEXT(ftruncate64)(fd, size);
}

int close(int fd) {
    const int fails = Fails("close", FdMatches(fd));
    if (fails) LoseData(fd);
    SetDirty(fd, 0);
    const int result = NEXT(close)(fd);
    if (fails) return errno = EIO, -1;
    return result;
}

int rename(const char* from, const char* to) {
    if (Fails("rename", Matches(from) || Matches(to))) return errno = EIO, -1;
    return NEXT(rename)(from, to);
}

int unlink(const char* path) {
    if (Fails("unlink", Matches(path))) return errno = EIO, -1;
    return NEXT(unlink)(path);
}

int renameat(int fromFolder, const char* from, int toFolder, const char* to) {
    if (Fails("rename", AtMatches(fromFolder, from) || AtMatches(toFolder, to))) return errno = EIO, -1;
    return NEXT(renameat)(fromFolder, from, toFolder, to);
}

int renameat2(int fromFolder, const char* from, int toFolder, const char* to, unsigned flags) {
    if (Fails("rename", AtMatches(fromFolder, from) || AtMatches(toFolder, to))) return errno = EIO, -1;
    return NEXT(renameat2)(fromFolder, from, toFolder, to, flags);
}

int link(const char* from, const char* to) {
    if (Fails("link", Matches(from) || Matches(to))) return errno = EIO, -1;
    return NEXT(link)(from, to);
}

int linkat(int fromFolder, const char* from, int toFolder, const char* to, int flags) {
    if (Fails("link", AtMatches(fromFolder, from) || AtMatches(toFolder, to))) return errno = EIO, -1;
    return NEXT(linkat)(fromFolder, from, toFolder, to, flags);
}

int unlinkat(int folder, const char* name, int flags) {
    if (Fails("unlink", AtMatches(folder, name))) return errno = EIO, -1;
    return NEXT(unlinkat)(folder, name, flags);
}

int mkdir(const char* path, mode_t mode) {
    if (Fails("mkdir", Matches(path))) return errno = EIO, -1;
    return NEXT(mkdir)(path, mode);
}

int mkdirat(int folder, const char* name, mode_t mode) {
    if (Fails("mkdir", AtMatches(folder, name))) return errno = EIO, -1;
    return NEXT(mkdirat)(folder, name, mode);
}

// open and openat, and their 64-bit names: one that may create a file fails
// with ENOSPC, as on a full disk.
static mode_t ModeOf(int flags, va_list list) {
    return (flags & O_CREAT) || (flags & O_TMPFILE) == O_TMPFILE ? va_arg(list, mode_t) : 0;
}

int open(const char* path, int flags, ...) {
    va_list list;
    va_start(list, flags);
    const mode_t mode = ModeOf(flags, list);
    va_end(list);
    if ((flags & O_CREAT) && Fails("open", Matches(path))) return errno = ENOSPC, -1;
    return NEXT(open)(path, flags, mode);
}

int open64(const char* path, int flags, ...) {
    va_list list;
    va_start(list, flags);
    const mode_t mode = ModeOf(flags, list);
    va_end(list);
    if ((flags & O_CREAT) && Fails("open", Matches(path))) return errno = ENOSPC, -1;
    return NEXT(open64)(path, flags, mode);
}

int openat(int folder, const char* name, int flags, ...) {
    va_list list;
    va_start(list, flags);
    const mode_t mode = ModeOf(flags, list);
    va_end(list);
    if ((flags & O_CREAT) && Fails("open", AtMatches(folder, name))) return errno = ENOSPC, -1;
    return NEXT(openat)(folder, name, flags, mode);
}

int openat64(int folder, const char* name, int flags, ...) {
    va_list list;
    va_start(list, flags);
    const mode_t mode = ModeOf(flags, list);
    va_end(list);
    if ((flags & O_CREAT) && Fails("open", AtMatches(folder, name))) return errno = ENOSPC, -1;
    return NEXT(openat64)(folder, name, flags, mode);
}

static int LockCommand(int command) {
    return command == F_SETLK || command == F_SETLKW || command == F_OFD_SETLK || command == F_OFD_SETLKW;
}

// fcntl and its 64-bit name: a lock on a matching file fails when asked to.
static int Fcntl(int (*next)(int, int, ...), int fd, int command, va_list list) {
    void* argument = va_arg(list, void*);
    if (*Env("VELMORA_NO_LOCKS") && LockCommand(command) && FdMatches(fd)) return errno = ENOLCK, -1;
    return next(fd, command, argument);
}

int fcntl(int fd, int command, ...) {
    va_list list;
    va_start(list, command);
    const int result = Fcntl(NEXT(fcntl), fd, command, list);
    va_end(list);
    return result;
}

int fcntl64(int fd, int command, ...) {
    va_list list;
    va_start(list, command);
    const int result = Fcntl(NEXT(fcntl64), fd, command, list);
    va_end(list);
    return result;
}

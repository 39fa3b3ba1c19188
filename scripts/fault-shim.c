// SPDX-License-Identifier: GPL-3.0-or-later
// A preloaded library that makes one folder behave like a full disk, a read-only file system, or
// a file system without O_TMPFILE, switched while the program runs, for scripts/check-saves.
// Needs no privilege (CI runs as root, where permissions block nothing, and may not mount).
// It also swaps a file under the program, for the tests of what it runs:
//   MOORLINE_SWAP_FILE   a file's path, as the program opens it
//   MOORLINE_SWAP_WITH   a file renamed over it after the program has read it ...
//   MOORLINE_SWAP_AFTER  ... this many times (closed it after opening it by that path)
//   MOORLINE_FAULT_DIR   the folder (absolute, no trailing slash)
//   MOORLINE_FAULT_MODE  a file holding the modes, separated by spaces, or nothing
// Only calls on paths in the folder, or on files opened there, are touched:
//   enospc     writes fail with ENOSPC (files can still be made, as on a full disk)
//   erofs      opening for writing, making, linking, renaming and removing fail with EROFS
//   notmpfile  O_TMPFILE fails with EOPNOTSUPP, so QSaveFile names its temporary file at once
//   slow       writes take at most 256 KB at a time, 10 ms each, as on a slow disk: a 10 MB save
//              lasts about 0.4 s, long enough for a kill at a random moment to land in it
#define _GNU_SOURCE
#include <dlfcn.h>
#include <errno.h>
#include <fcntl.h>
#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <sys/uio.h>
#include <unistd.h>

enum mode { PASS = 0, ENOSPC_MODE = 1, EROFS_MODE = 2, NOTMPFILE_MODE = 4, SLOW_MODE = 8 };

// Files opened in the folder, by descriptor; and the file to swap.
static unsigned char tracked[65536];
static unsigned char swapTracked[65536];
static int swapReads;

static int inFolder(const char* path) {
    const char* dir = getenv("MOORLINE_FAULT_DIR");
    if (!dir || !path)
        return 0;
    const size_t n = strlen(dir);
    return strncmp(path, dir, n) == 0 && (path[n] == '/' || path[n] == '\0');
}

// The modes in force, as a set of the flags above.
static int currentMode(void) {
    const char* file = getenv("MOORLINE_FAULT_MODE");
    char text[64] = {0};
    if (!file)
        return PASS;
    // The real open: this runs inside the wrappers.
    static int (*realOpen)(const char*, int, ...);
    if (!realOpen)
        realOpen = (int (*)(const char*, int, ...))dlsym(RTLD_NEXT, "open");
    const int fd = realOpen(file, O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return PASS;
    static ssize_t (*realRead)(int, void*, size_t);
    if (!realRead)
        realRead = (ssize_t(*)(int, void*, size_t))dlsym(RTLD_NEXT, "read");
    realRead(fd, text, sizeof text - 1);
    close(fd);
    int mode = PASS;
    if (strstr(text, "enospc"))
        mode |= ENOSPC_MODE;
    if (strstr(text, "erofs"))
        mode |= EROFS_MODE;
    if (strstr(text, "notmpfile"))
        mode |= NOTMPFILE_MODE;
    if (strstr(text, "slow"))
        mode |= SLOW_MODE;
    return mode;
}

static int fail(int error) {
    errno = error;
    return -1;
}

// Whether an open of `path` with `flags` fails, and how.
static int refusedOpen(const char* path, int flags) {
    if (!inFolder(path))
        return 0;
    const int mode = currentMode();
    const int writing = (flags & (O_WRONLY | O_RDWR | O_CREAT | O_TRUNC)) != 0;
    if ((mode & EROFS_MODE) && writing)
        return EROFS;
    if ((mode & NOTMPFILE_MODE) && (flags & O_TMPFILE) == O_TMPFILE)
        return EOPNOTSUPP;
    return 0;
}

static int isSwapFile(const char* path) {
    const char* file = getenv("MOORLINE_SWAP_FILE");
    return file && path && strcmp(file, path) == 0;
}

static int track(int fd, const char* path) {
    if (fd >= 0 && fd < (int)sizeof tracked) {
        tracked[fd] = (unsigned char)inFolder(path);
        swapTracked[fd] = (unsigned char)isSwapFile(path);
    }
    return fd;
}

// The next definition of `name` (libc's), looked up once.
#define REAL(name)                                                                                 \
    static __typeof__(&name) real_##name;                                                          \
    if (!real_##name)                                                                              \
    real_##name = (__typeof__(&name))dlsym(RTLD_NEXT, #name)

// open, openat and their 64-bit names: PARAMS is the parameter list up to the flags, CALL the
// arguments handed on to the real function.
#define OPEN_WRAPPER(name, PARAMS, CALL)                                                           \
    int name PARAMS {                                                                              \
        REAL(name);                                                                                \
        mode_t mode = 0;                                                                           \
        if ((flags & O_CREAT) || (flags & O_TMPFILE) == O_TMPFILE) {                               \
            va_list args;                                                                          \
            va_start(args, flags);                                                                 \
            mode = va_arg(args, mode_t);                                                           \
            va_end(args);                                                                          \
        }                                                                                          \
        const int error = refusedOpen(path, flags);                                                \
        if (error)                                                                                 \
            return fail(error);                                                                    \
        return track(real_##name CALL, path);                                                      \
    }
OPEN_WRAPPER(open, (const char* path, int flags, ...), (path, flags, mode))
OPEN_WRAPPER(open64, (const char* path, int flags, ...), (path, flags, mode))
OPEN_WRAPPER(openat, (int dirfd, const char* path, int flags, ...), (dirfd, path, flags, mode))
OPEN_WRAPPER(openat64, (int dirfd, const char* path, int flags, ...), (dirfd, path, flags, mode))

int close(int fd) {
    REAL(close);
    REAL(rename);
    int swapNow = 0;
    if (fd >= 0 && fd < (int)sizeof tracked) {
        tracked[fd] = 0;
        if (swapTracked[fd]) {
            const char* after = getenv("MOORLINE_SWAP_AFTER");
            swapNow = after && ++swapReads == atoi(after);
        }
        swapTracked[fd] = 0;
    }
    const int result = real_close(fd);
    if (swapNow)
        real_rename(getenv("MOORLINE_SWAP_WITH"), getenv("MOORLINE_SWAP_FILE"));
    return result;
}

// The modes for a write to `fd`: none for a file outside the folder.
static int writeMode(int fd) {
    return fd >= 0 && fd < (int)sizeof tracked && tracked[fd] ? currentMode() : PASS;
}

static int fullDisk(int fd) {
    return (writeMode(fd) & ENOSPC_MODE) != 0;
}

ssize_t write(int fd, const void* data, size_t size) {
    REAL(write);
    const int mode = writeMode(fd);
    if (mode & ENOSPC_MODE)
        return fail(ENOSPC);
    if (mode & SLOW_MODE) {
        // A short write, as the kernel may make: the writer carries on with the rest.
        const size_t chunk = 256 * 1024;
        usleep(10000);
        return real_write(fd, data, size < chunk ? size : chunk);
    }
    return real_write(fd, data, size);
}

ssize_t writev(int fd, const struct iovec* parts, int count) {
    REAL(writev);
    return fullDisk(fd) ? fail(ENOSPC) : real_writev(fd, parts, count);
}

ssize_t pwrite64(int fd, const void* data, size_t size, off64_t offset) {
    REAL(pwrite64);
    return fullDisk(fd) ? fail(ENOSPC) : real_pwrite64(fd, data, size, offset);
}

static int readOnly(const char* path) {
    return inFolder(path) && (currentMode() & EROFS_MODE);
}

int mkdir(const char* path, mode_t mode) {
    REAL(mkdir);
    struct stat status;
    // As the kernel does: an existing path is EEXIST even on a read-only file system.
    if (readOnly(path))
        return fail(stat(path, &status) == 0 ? EEXIST : EROFS);
    return real_mkdir(path, mode);
}

int rename(const char* from, const char* to) {
    REAL(rename);
    return readOnly(from) || readOnly(to) ? fail(EROFS) : real_rename(from, to);
}

int renameat2(int fromDir, const char* from, int toDir, const char* to, unsigned flags) {
    REAL(renameat2);
    return readOnly(from) || readOnly(to) ? fail(EROFS)
                                          : real_renameat2(fromDir, from, toDir, to, flags);
}

int linkat(int fromDir, const char* from, int toDir, const char* to, int flags) {
    REAL(linkat);
    return readOnly(to) ? fail(EROFS) : real_linkat(fromDir, from, toDir, to, flags);
}

int unlink(const char* path) {
    REAL(unlink);
    return readOnly(path) ? fail(EROFS) : real_unlink(path);
}

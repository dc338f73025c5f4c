/* fileio.cpp -- the safe save (temporary file, flush, rename) and the
 * whole-file load.
 *
 * Keeps only why the last call failed; a save in progress lives in the
 * caller's BrevSave_t. Touches only the target file, its temporary sibling
 * and, to flush the rename, the folder that holds them.
 */
#include "config/fileio.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

constexpr int LINK_HOPS_MAX = 40; /* links followed before giving up, as the kernel does */

/* Why the last save or load failed: the system's error number, or a file
 * that is not a regular one. */
static int LastErrno = 0;
static bool LastNotRegular = false;

/* Records errno (taken at the call) as the reason; returns rc. */
static int failed(int rc, int e)
{
    LastErrno = e;
    LastNotRegular = false;
    return rc;
}

const char *BREVCFG_FileReason()
{
    if (LastNotRegular) return "not a regular file";
    return LastErrno != 0 ? std::strerror(LastErrno) : "";
}

/* Closes a descriptor when it goes out of scope. */
struct FdGuard {
    int fd;
    explicit FdGuard(int f) : fd(f) {}
    ~FdGuard()
    {
        if (fd >= 0) close(fd);
    }
    FdGuard(const FdGuard &) = delete;
    FdGuard &operator=(const FdGuard &) = delete;
};

/* Writes all n bytes, going on after short writes and interruptions. */
static bool writeAll(int fd, const unsigned char *p, std::size_t n)
{
    while (n > 0) {
        const ssize_t w = write(fd, p, n);
        if (w < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        if (w == 0) {
            errno = ENOSPC; /* a write that takes nothing: the disk is full */
            return false;
        }
        p += w;
        n -= static_cast<std::size_t>(w);
    }
    return true;
}

/* Reads exactly n bytes; false when fewer arrive or reading fails. */
static bool readAll(int fd, unsigned char *p, std::size_t n)
{
    while (n > 0) {
        const ssize_t r = read(fd, p, n);
        if (r < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        if (r == 0) {
            errno = EIO; /* fewer bytes than the file's size */
            return false;
        }
        p += r;
        n -= static_cast<std::size_t>(r);
    }
    return true;
}

/* The folder that holds path ("." or "/" where path names no other). */
static void folderOf(const char *path, char (&dir)[BREVCFG_PATH_MAX + 1])
{
    const char *slash = std::strrchr(path, '/');
    if (slash == nullptr) {
        std::strcpy(dir, ".");
    } else if (slash == path) {
        std::strcpy(dir, "/");
    } else {
        const std::size_t len = static_cast<std::size_t>(slash - path);
        std::memcpy(dir, path, len);
        dir[len] = '\0';
    }
}

/* Flushes the folder that holds path, so that a finished rename survives a
 * power loss. A failure here changes nothing the user can act on. */
static void syncFolder(const char *path)
{
    char dir[BREVCFG_PATH_MAX + 1];
    folderOf(path, dir);
    FdGuard d(open(dir, O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (d.fd >= 0) fsync(d.fd);
}

/* The name that saving path finally writes: its links followed, also a last
 * link whose file is not made yet (the file is then made where it points).
 * 0, or -1 with errno set (a loop of links, a name too long). */
static int followLinks(const char *path, char (&out)[BREVCFG_PATH_MAX + 1])
{
    std::snprintf(out, sizeof out, "%s", path);
    for (int hop = 0; hop < LINK_HOPS_MAX; hop++) {
        struct stat st;
        if (lstat(out, &st) != 0 || !S_ISLNK(st.st_mode)) return 0;
        char target[BREVCFG_PATH_MAX + 1];
        const ssize_t n = readlink(out, target, sizeof target - 1);
        if (n < 0) return -1;
        target[n] = '\0';
        char next[BREVCFG_PATH_MAX + 1];
        int len;
        if (target[0] == '/') {
            len = std::snprintf(next, sizeof next, "%s", target);
        } else {
            /* a relative link is read from the folder that holds it */
            char dir[BREVCFG_PATH_MAX + 1];
            folderOf(out, dir);
            len = std::snprintf(next, sizeof next, "%s/%s", dir, target);
        }
        if (len < 0 || static_cast<std::size_t>(len) >= sizeof next) {
            errno = ENAMETOOLONG;
            return -1;
        }
        std::memcpy(out, next, static_cast<std::size_t>(len) + 1);
    }
    errno = ELOOP;
    return -1;
}

/* The permissions a new file gets: those of the file it replaces, or the
 * usual ones for a new file under the process's file-creation mask. */
static mode_t newFileMode(const char *path)
{
    struct stat st;
    if (stat(path, &st) == 0 && S_ISREG(st.st_mode)) return st.st_mode & 07777;
    const mode_t mask = umask(0);
    umask(mask);
    return 0666 & ~mask;
}

/* Puts the finished temporary file in place of the target. */
static int publish(BrevSave_t *s)
{
    if (s->mode != BREVCFG_CREATE_NEW)
        return rename(s->tmp, s->path) == 0 ? BREVCFG_FILE_OK
                                            : failed(BREVCFG_FILE_CANNOT_WRITE, errno);

    if (renameat2(AT_FDCWD, s->tmp, AT_FDCWD, s->path, RENAME_NOREPLACE) == 0)
        return BREVCFG_FILE_OK;
    if (errno == EEXIST) return failed(BREVCFG_FILE_EXISTS, EEXIST);
    if (errno != EINVAL && errno != ENOSYS) return failed(BREVCFG_FILE_CANNOT_WRITE, errno);

    /* A filesystem without the no-replace rename: a hard link fails on an
     * existing name just the same. */
    if (link(s->tmp, s->path) == 0) {
        unlink(s->tmp);
        return BREVCFG_FILE_OK;
    }
    if (errno == EEXIST) return failed(BREVCFG_FILE_EXISTS, EEXIST);
    struct stat st;
    if (lstat(s->path, &st) == 0) return failed(BREVCFG_FILE_EXISTS, EEXIST);
    return rename(s->tmp, s->path) == 0 ? BREVCFG_FILE_OK
                                        : failed(BREVCFG_FILE_CANNOT_WRITE, errno);
}

int BREVCFG_SaveBegin(BrevSave_t *s, const char *path, int mode)
{
    if (s == nullptr) return failed(BREVCFG_FILE_CANNOT_WRITE, EINVAL);
    s->fd = -1;
    if (path == nullptr || path[0] == '\0') return failed(BREVCFG_FILE_CANNOT_WRITE, ENOENT);
    const std::size_t len = std::strlen(path);
    if (len > BREVCFG_PATH_MAX) return failed(BREVCFG_FILE_CANNOT_WRITE, ENAMETOOLONG);
    if (path[len - 1] == '/') return failed(BREVCFG_FILE_CANNOT_WRITE, EISDIR);

    s->mode = (mode == BREVCFG_CREATE_NEW) ? BREVCFG_CREATE_NEW : BREVCFG_REPLACE;
    /* A name that is a link saves into the file the link leads to, as writing
     * through the name does; renaming over the name would replace the link
     * and leave that file as it was. */
    if (followLinks(path, s->path) != 0) return failed(BREVCFG_FILE_CANNOT_WRITE, errno);
    struct stat st;
    /* A folder cannot be saved over: told now, not when the rename fails
     * after a whole read-out. */
    if (stat(s->path, &st) == 0 && S_ISDIR(st.st_mode))
        return failed(BREVCFG_FILE_CANNOT_WRITE, EISDIR);
    if (s->mode == BREVCFG_CREATE_NEW && lstat(s->path, &st) == 0)
        return failed(BREVCFG_FILE_EXISTS, EEXIST);

    char dir[BREVCFG_PATH_MAX + 1];
    folderOf(s->path, dir);
    std::snprintf(s->tmp, sizeof s->tmp, "%s/.brevant-XXXXXX", dir);
    const mode_t perm = newFileMode(s->path);
    s->fd = mkostemp(s->tmp, O_CLOEXEC);
    if (s->fd < 0) return failed(BREVCFG_FILE_CANNOT_WRITE, errno);
    fchmod(s->fd, perm);
    LastErrno = 0;
    LastNotRegular = false;
    return BREVCFG_FILE_OK;
}

void BREVCFG_SaveAbort(BrevSave_t *s)
{
    if (s == nullptr || s->fd < 0) return;
    close(s->fd);
    s->fd = -1;
    unlink(s->tmp);
}

int BREVCFG_SaveCommit(BrevSave_t *s, const void *data, std::size_t n)
{
    if (s == nullptr || s->fd < 0) return failed(BREVCFG_FILE_CANNOT_WRITE, EBADF);
    if (data == nullptr && n > 0) {
        BREVCFG_SaveAbort(s);
        return failed(BREVCFG_FILE_CANNOT_WRITE, EINVAL);
    }
    if (!writeAll(s->fd, static_cast<const unsigned char *>(data), n) || fsync(s->fd) != 0) {
        const int e = errno;
        BREVCFG_SaveAbort(s);
        return failed(BREVCFG_FILE_CANNOT_WRITE, e);
    }
    const int closed = close(s->fd);
    const int closeErr = errno;
    s->fd = -1;
    const int rc = (closed == 0) ? publish(s) : failed(BREVCFG_FILE_CANNOT_WRITE, closeErr);
    if (rc != BREVCFG_FILE_OK) {
        unlink(s->tmp);
        return rc;
    }
    syncFolder(s->path);
    return BREVCFG_FILE_OK;
}

int BREVCFG_SaveBytesFile(const char *path, const void *data, std::size_t n, int mode)
{
    BrevSave_t s;
    const int rc = BREVCFG_SaveBegin(&s, path, mode);
    if (rc != BREVCFG_FILE_OK) return rc;
    return BREVCFG_SaveCommit(&s, data, n);
}

int BREVCFG_LoadWholeFile(const char *path, unsigned char **buf, int *size)
{
    if (buf == nullptr || size == nullptr) return failed(1, EINVAL);
    *buf = nullptr;
    *size = 0;
    if (path == nullptr) return failed(1, ENOENT);

    /* without blocking, so that opening a named pipe does not wait for a
     * writer before it is found not to be a file */
    FdGuard f(open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (f.fd < 0) return failed(1, errno);
    struct stat st;
    if (fstat(f.fd, &st) != 0) return failed(1, errno);
    if (S_ISDIR(st.st_mode)) return failed(1, EISDIR);
    if (!S_ISREG(st.st_mode)) {
        LastErrno = 0;
        LastNotRegular = true;
        return 1;
    }
    if (st.st_size < 0 || st.st_size > INT32_MAX) return failed(1, EFBIG);
    LastErrno = 0;
    LastNotRegular = false;
    if (st.st_size == 0) return 0;

    const std::size_t n = static_cast<std::size_t>(st.st_size);
    auto *p = static_cast<unsigned char *>(std::malloc(n));
    if (p == nullptr) return failed(1, ENOMEM);
    if (!readAll(f.fd, p, n)) {
        const int e = errno;
        std::free(p);
        return failed(1, e);
    }
    *buf = p;
    *size = static_cast<int>(n);
    return 0;
}

void BREVCFG_DeallocFileBuffer(unsigned char *buf)
{
    std::free(buf);
}

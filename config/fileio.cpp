/* fileio.cpp -- the safe save (temporary file, flush, rename) and the
 * whole-file load.
 *
 * Owns no state between calls; a save in progress lives in the caller's
 * BrevSave_t. Touches only the target file, its temporary sibling and, to
 * flush the rename, the folder that holds them.
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
        if (w == 0) return false;
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
        if (r == 0) return false;
        p += r;
        n -= static_cast<std::size_t>(r);
    }
    return true;
}

/* Flushes the folder that holds path, so that a finished rename survives a
 * power loss. A failure here changes nothing the user can act on. */
static void syncFolder(const char *path)
{
    char dir[BREVCFG_PATH_MAX + 1];
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
    FdGuard d(open(dir, O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (d.fd >= 0) fsync(d.fd);
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
        return rename(s->tmp, s->path) == 0 ? BREVCFG_FILE_OK : BREVCFG_FILE_CANNOT_WRITE;

    if (renameat2(AT_FDCWD, s->tmp, AT_FDCWD, s->path, RENAME_NOREPLACE) == 0)
        return BREVCFG_FILE_OK;
    if (errno == EEXIST) return BREVCFG_FILE_EXISTS;
    if (errno != EINVAL && errno != ENOSYS) return BREVCFG_FILE_CANNOT_WRITE;

    /* A filesystem without the no-replace rename: a hard link fails on an
     * existing name just the same. */
    if (link(s->tmp, s->path) == 0) {
        unlink(s->tmp);
        return BREVCFG_FILE_OK;
    }
    if (errno == EEXIST) return BREVCFG_FILE_EXISTS;
    struct stat st;
    if (lstat(s->path, &st) == 0) return BREVCFG_FILE_EXISTS;
    return rename(s->tmp, s->path) == 0 ? BREVCFG_FILE_OK : BREVCFG_FILE_CANNOT_WRITE;
}

int BREVCFG_SaveBegin(BrevSave_t *s, const char *path, int mode)
{
    if (s == nullptr) return BREVCFG_FILE_CANNOT_WRITE;
    s->fd = -1;
    if (path == nullptr || path[0] == '\0') return BREVCFG_FILE_CANNOT_WRITE;
    std::size_t len = std::strlen(path);
    if (len > BREVCFG_PATH_MAX || path[len - 1] == '/') return BREVCFG_FILE_CANNOT_WRITE;

    s->mode = (mode == BREVCFG_CREATE_NEW) ? BREVCFG_CREATE_NEW : BREVCFG_REPLACE;
    struct stat st;
    if (s->mode == BREVCFG_CREATE_NEW && lstat(path, &st) == 0) return BREVCFG_FILE_EXISTS;

    /* A name that is a link saves into the file the link leads to, as writing
     * through the name does; renaming over the name would replace the link
     * and leave that file as it was. */
    char resolved[PATH_MAX];
    if (s->mode == BREVCFG_REPLACE && lstat(path, &st) == 0 && S_ISLNK(st.st_mode) &&
        realpath(path, resolved) != nullptr) {
        path = resolved;
        len = std::strlen(path);
        if (len > BREVCFG_PATH_MAX) return BREVCFG_FILE_CANNOT_WRITE;
    }

    std::memcpy(s->path, path, len + 1);
    std::snprintf(s->tmp, sizeof s->tmp, "%s.tmp-XXXXXX", s->path);
    const mode_t perm = newFileMode(s->path);
    s->fd = mkostemp(s->tmp, O_CLOEXEC);
    if (s->fd < 0) return BREVCFG_FILE_CANNOT_WRITE;
    fchmod(s->fd, perm);
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
    if (s == nullptr || s->fd < 0) return BREVCFG_FILE_CANNOT_WRITE;
    if (data == nullptr && n > 0) {
        BREVCFG_SaveAbort(s);
        return BREVCFG_FILE_CANNOT_WRITE;
    }
    if (!writeAll(s->fd, static_cast<const unsigned char *>(data), n) || fsync(s->fd) != 0) {
        BREVCFG_SaveAbort(s);
        return BREVCFG_FILE_CANNOT_WRITE;
    }
    const int closed = close(s->fd);
    s->fd = -1;
    const int rc = (closed == 0) ? publish(s) : BREVCFG_FILE_CANNOT_WRITE;
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
    if (buf == nullptr || size == nullptr) return 1;
    *buf = nullptr;
    *size = 0;
    if (path == nullptr) return 1;

    /* without blocking, so that a named pipe reads as an empty file instead
     * of waiting for a writer */
    FdGuard f(open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (f.fd < 0) return 1;
    struct stat st;
    if (fstat(f.fd, &st) != 0 || st.st_size < 0 || st.st_size > INT32_MAX) return 1;
    if (st.st_size == 0) return 0;

    const std::size_t n = static_cast<std::size_t>(st.st_size);
    auto *p = static_cast<unsigned char *>(std::malloc(n));
    if (p == nullptr) return 1;
    if (!readAll(f.fd, p, n)) {
        std::free(p);
        return 1;
    }
    *buf = p;
    *size = static_cast<int>(n);
    return 0;
}

void BREVCFG_DeallocFileBuffer(unsigned char *buf)
{
    std::free(buf);
}

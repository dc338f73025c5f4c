/* portname.cpp -- the one mapping from a port number to a device path, and
 * the publishing of a simulator's pseudo-terminal as a COM link.
 *
 * No state: every answer is read from the environment and the file system at
 * the moment of the call. Nothing here opens a device; the port module does.
 */
#include "link/portname.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

constexpr int LINK_LIMIT = 1024; /* highest number a link may carry */

/* The fixed device families, 32 numbers each, in the order a controller is
 * most likely found on: USB adapters first. */
static const char *const fixedFamilies[] = {"/dev/ttyUSB", "/dev/ttyACM", PORTNAME_BUILTIN_FAMILY,
                                            "/dev/rfcomm"};
constexpr int FAMILY_SIZE = 32;

static bool fits(int n, std::size_t len)
{
    return n >= 0 && static_cast<std::size_t>(n) < len;
}

/* A folder of the user's own that nobody else may write into. */
static bool ownedPrivateDir(const char *path)
{
    struct stat st {
    };
    if (lstat(path, &st) != 0) return false;
    return S_ISDIR(st.st_mode) && st.st_uid == getuid() && (st.st_mode & 022) == 0;
}

/* The folder above "ports": $XDG_RUNTIME_DIR/brevant or /tmp/brevant-<uid>.
 * *checked tells whether it must pass ownedPrivateDir before use. */
static int baseFolder(char *out, std::size_t len, bool *checked)
{
    const char *xdg = getenv("XDG_RUNTIME_DIR");
    int n;
    if (xdg && xdg[0] == '/') {
        n = snprintf(out, len, "%s/brevant", xdg);
        *checked = false;
    } else {
        n = snprintf(out, len, "/tmp/brevant-%u", static_cast<unsigned>(getuid()));
        *checked = true;
    }
    return fits(n, len) ? 0 : 1;
}

int PORTNAME_Folder(char *out, std::size_t len)
{
    bool checked = false;
    if (len == 0 || baseFolder(out, len, &checked) != 0) return 1;
    if (checked && !ownedPrivateDir(out)) return 1;
    std::size_t used = strlen(out);
    int n = snprintf(out + used, len - used, "/ports");
    return fits(n, len - used) ? 0 : 1;
}

static int linkPath(int PortNo, char *out, std::size_t len)
{
    if (PortNo < 1 || PortNo > LINK_LIMIT || PORTNAME_Folder(out, len) != 0) return 1;
    std::size_t used = strlen(out);
    int n = snprintf(out + used, len - used, "/COM%d", PortNo);
    return fits(n, len - used) ? 0 : 1;
}

int PORTNAME_FixedDevice(int PortNo, char *out, std::size_t len)
{
    if (PortNo < 1 || PortNo > PORTNAME_FIXED_LAST) return 1;
    int family = (PortNo - 1) / FAMILY_SIZE;
    int n = snprintf(out, len, "%s%d", fixedFamilies[family], (PortNo - 1) % FAMILY_SIZE);
    return fits(n, len) ? 0 : 1;
}

int PORTNAME_Device(int PortNo, char *out, std::size_t len)
{
    struct stat st {
    };
    /* stat follows the link: a stale one (its simulator was killed) names
     * nothing, and must not hide an adapter plugged in since. */
    if (linkPath(PortNo, out, len) == 0 && stat(out, &st) == 0) return 0;
    return PORTNAME_FixedDevice(PortNo, out, len);
}

/* 1 when path is a link whose target no longer exists. */
static bool staleLink(const char *path)
{
    struct stat st {
    };
    if (lstat(path, &st) != 0 || !S_ISLNK(st.st_mode)) return false;
    return stat(path, &st) != 0 && errno == ENOENT;
}

int PORTNAME_IsFree(int PortNo)
{
    char path[4096];
    struct stat st {
    };
    if (linkPath(PortNo, path, sizeof path) == 0 && lstat(path, &st) == 0 && !staleLink(path))
        return 0;
    if (PORTNAME_FixedDevice(PortNo, path, sizeof path) == 0 && stat(path, &st) == 0) return 0;
    return 1;
}

/* mkdir that accepts an existing directory. */
static int makeDir(const char *path)
{
    if (mkdir(path, 0700) == 0) return 0;
    struct stat st {
    };
    return (errno == EEXIST && stat(path, &st) == 0 && S_ISDIR(st.st_mode)) ? 0 : 1;
}

static int makeFolder()
{
    char path[4096];
    bool checked = false;
    if (baseFolder(path, sizeof path, &checked) != 0 || makeDir(path) != 0) return 1;
    if (checked && !ownedPrivateDir(path)) return 1;
    if (PORTNAME_Folder(path, sizeof path) != 0) return 1;
    return makeDir(path);
}

int PORTNAME_Publish(int PortNo, const char *target)
{
    char path[4096];
    if (makeFolder() != 0 || linkPath(PortNo, path, sizeof path) != 0) return 1;
    if (!PORTNAME_IsFree(PortNo)) return 1;
    if (staleLink(path)) unlink(path);
    /* symlink fails when another publisher took the number meanwhile. */
    return symlink(target, path) == 0 ? 0 : 1;
}

int PORTNAME_PublishFirstFree(const char *target)
{
    for (int n = 1; n <= LINK_LIMIT; n++)
        if (PORTNAME_IsFree(n) && PORTNAME_Publish(n, target) == 0) return n;
    return -1;
}

int PORTNAME_Unpublish(int PortNo, const char *target)
{
    char path[4096], dest[4096];
    if (linkPath(PortNo, path, sizeof path) != 0) return 1;
    ssize_t n = readlink(path, dest, sizeof dest - 1);
    if (n < 0) return 1;
    dest[n] = '\0';
    if (strcmp(dest, target) != 0) return 1;
    return unlink(path) == 0 ? 0 : 1;
}

/* settings.cpp -- the settings file (see settings.h): found by the XDG rules,
 * read whole into a fixed buffer, written through the safe save.
 *
 * State: the buffers of the file's text, and why the last write failed.
 * Every call reads the file again, so a choice another run of the program
 * wrote is seen at the next read.
 */
#include "config/settings.h"

#include "config/fileio.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <sys/stat.h>

constexpr const char *FOLDER = "brevant";
constexpr const char *FILE_NAME = "settings";
constexpr std::size_t REASON_LEN = 128;

static char Text[SETTINGS_FILE_MAX + 1];                      /* the file as read */
static char Out[SETTINGS_FILE_MAX + SETTINGS_VALUE_LEN + 64]; /* the file to write */
static char Reason[REASON_LEN];

static int failed(const char *why)
{
    std::snprintf(Reason, sizeof Reason, "%s", why);
    return 1;
}

const char *SETTINGS_Reason()
{
    return Reason;
}

/* The settings folder ($XDG_CONFIG_HOME/brevant); false when there is none. */
static bool folderPath(char *out, std::size_t len)
{
    const char *base = std::getenv("XDG_CONFIG_HOME");
    int n = 0;
    if (base != nullptr && base[0] == '/') {
        n = std::snprintf(out, len, "%s/%s", base, FOLDER);
    } else {
        const char *home = std::getenv("HOME");
        if (home == nullptr || home[0] != '/') return false;
        n = std::snprintf(out, len, "%s/.config/%s", home, FOLDER);
    }
    return n > 0 && static_cast<std::size_t>(n) < len;
}

int SETTINGS_Path(char *out, std::size_t len)
{
    char folder[BREVCFG_PATH_MAX];
    if (!folderPath(folder, sizeof folder)) return 1;
    const int n = std::snprintf(out, len, "%s/%s", folder, FILE_NAME);
    return n > 0 && static_cast<std::size_t>(n) < len ? 0 : 1;
}

/* Reads the file into Text, NUL-terminated; a missing file is an empty one.
 * False, with the reason kept, when there is a file that cannot be had whole. */
static bool loadText(const char *path)
{
    Text[0] = '\0';
    struct stat st {
    };
    if (stat(path, &st) != 0) {
        if (errno == ENOENT) return true;
        return failed(std::strerror(errno)) == 0;
    }
    unsigned char *buf = nullptr;
    int size = 0;
    if (BREVCFG_LoadWholeFile(path, &buf, &size) != 0) return failed(BREVCFG_FileReason()) == 0;
    const bool fits = static_cast<std::size_t>(size) <= SETTINGS_FILE_MAX;
    if (fits && size > 0) std::memcpy(Text, buf, static_cast<std::size_t>(size));
    BREVCFG_DeallocFileBuffer(buf);
    if (!fits) return failed("too large for a settings file") == 0;
    Text[size] = '\0';
    return true;
}

static const char *skipBlanks(const char *p, const char *end)
{
    while (p < end && (*p == ' ' || *p == '\t'))
        p++;
    return p;
}

/* Whether the line from p to end sets key: the key, blanks, '='. Gives where
 * the value begins. */
static bool setsKey(const char *p, const char *end, const char *key, const char **value)
{
    p = skipBlanks(p, end);
    const std::size_t k = std::strlen(key);
    if (static_cast<std::size_t>(end - p) < k || std::strncmp(p, key, k) != 0) return false;
    p = skipBlanks(p + k, end);
    if (p == end || *p != '=') return false;
    *value = p + 1;
    return true;
}

/* The end of the line that starts at p: its '\n' or the text's end. */
static const char *lineEnd(const char *p)
{
    const char *nl = std::strchr(p, '\n');
    return nl != nullptr ? nl : p + std::strlen(p);
}

int SETTINGS_Get(const char *key, char *value, std::size_t len)
{
    if (len == 0) return 1;
    value[0] = '\0';
    char path[BREVCFG_PATH_MAX];
    if (SETTINGS_Path(path, sizeof path) != 0 || !loadText(path)) return 1;
    int found = 1;
    for (const char *p = Text; *p != '\0';) {
        const char *end = lineEnd(p);
        const char *v = nullptr;
        if (setsKey(p, end, key, &v)) {
            v = skipBlanks(v, end);
            const char *e = end;
            while (e > v && (e[-1] == ' ' || e[-1] == '\t' || e[-1] == '\r'))
                e--;
            const std::size_t n = static_cast<std::size_t>(e - v);
            if (n < len) {
                std::memcpy(value, v, n);
                value[n] = '\0';
                found = 0;
            }
        }
        p = *end == '\n' ? end + 1 : end;
    }
    return found;
}

/* Makes a folder unless it is there; false, with the reason, when it cannot. */
static bool makeFolder(const char *path)
{
    if (mkdir(path, 0700) == 0 || errno == EEXIST) return true;
    return failed(std::strerror(errno)) == 0;
}

int SETTINGS_Set(const char *key, const char *value)
{
    Reason[0] = '\0';
    char folder[BREVCFG_PATH_MAX], path[BREVCFG_PATH_MAX];
    if (!folderPath(folder, sizeof folder) || SETTINGS_Path(path, sizeof path) != 0)
        return failed("neither XDG_CONFIG_HOME nor HOME names a folder");
    if (value != nullptr &&
        (std::strchr(value, '\n') != nullptr || std::strlen(value) >= SETTINGS_VALUE_LEN))
        return failed("the value does not fit on one line of the file");
    if (!loadText(path)) return 1;

    /* Every line but the key's as it was, then the key's own. */
    std::size_t n = 0;
    for (const char *p = Text; *p != '\0';) {
        const char *end = lineEnd(p);
        const char *v = nullptr;
        if (!setsKey(p, end, key, &v)) {
            const auto l = static_cast<std::size_t>(end - p);
            std::memcpy(Out + n, p, l);
            n += l;
            Out[n++] = '\n';
        }
        p = *end == '\n' ? end + 1 : end;
    }
    if (value != nullptr) {
        const int w = std::snprintf(Out + n, sizeof Out - n, "%s=%s\n", key, value);
        if (w < 0 || static_cast<std::size_t>(w) >= sizeof Out - n)
            return failed("the key does not fit on one line of the file");
        n += static_cast<std::size_t>(w);
    }

    /* The base folder of the XDG rules, then the program's own in it. */
    char *slash = std::strrchr(folder, '/');
    *slash = '\0';
    const bool base = makeFolder(folder);
    *slash = '/';
    if (!base || !makeFolder(folder)) return 1;
    if (BREVCFG_SaveBytesFile(path, Out, n, BREVCFG_REPLACE) != BREVCFG_FILE_OK)
        return failed(BREVCFG_FileReason());
    return 0;
}

int SETTINGS_ComPort()
{
    char v[SETTINGS_VALUE_LEN];
    if (SETTINGS_Get("com_port", v, sizeof v) != 0) return 0;
    const long n = std::strtol(v, nullptr, 10);
    return n > 0 && n < 100000 ? static_cast<int>(n) : 0;
}

void SETTINGS_RememberComPort(int port)
{
    if (port <= 0 || port == SETTINGS_ComPort()) return;
    char v[16];
    std::snprintf(v, sizeof v, "%d", port);
    SETTINGS_Set("com_port", v);
}

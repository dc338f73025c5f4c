/* prodlog.cpp -- the production record written to its log (see prodlog.h).
 *
 * State: the log's descriptor and format, the configuration file's name and
 * digest, and the line being put together.
 */
#include "ops/prodlog.h"

#include "config/dcss.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

const char PRODLOG_HEADER[] = "time,port,device,kaltro_version,serial,device_id,model,software,"
                              "firmware,file,sha256,config_version,result,reason,differences,"
                              "program_s,verify_s";

/* The longest line: every difference of a 32-row table fits with room. */
constexpr int LINE_MAX = 64 * 1024;
constexpr int NAME_MAX_LEN = 4096;

static int Fd = -1;
static ProdLogFormat_t Format = PRODLOG_CSV;
static char File[NAME_MAX_LEN];
static char Sha[72];
static char Line[LINE_MAX];
static int Len = 0;
static int Key = 0; /* the next column */

static void put(const char *s)
{
    const int n = static_cast<int>(std::strlen(s));
    const int room = LINE_MAX - 2 - Len; /* the newline and the NUL */
    const int take = n < room ? n : room;
    std::memcpy(Line + Len, s, static_cast<std::size_t>(take));
    Len += take;
    Line[Len] = '\0';
}

static void putChar(char c)
{
    const char s[2] = {c, '\0'};
    put(s);
}

/* The key of the next column ("time") from the header. */
static void keyName(int k, char (&name)[32])
{
    const char *p = PRODLOG_HEADER;
    for (int i = 0; i < k; i++)
        p = std::strchr(p, ',') + 1;
    const char *end = std::strchr(p, ',');
    const std::size_t n = end != nullptr ? static_cast<std::size_t>(end - p) : std::strlen(p);
    std::snprintf(name, sizeof name, "%.*s", static_cast<int>(n), p);
}

/* Opens the next column: a comma in CSV, the key in JSON. */
static void column()
{
    if (Format == PRODLOG_JSON) {
        char name[32];
        keyName(Key, name);
        put(Key == 0 ? "{\"" : ", \"");
        put(name);
        put("\": ");
    } else if (Key > 0) {
        putChar(',');
    }
    Key++;
}

/* s as a JSON string. */
static void jsonQuoted(const char *s)
{
    putChar('"');
    for (; *s != '\0'; s++) {
        const auto c = static_cast<unsigned char>(*s);
        if (c == '"' || c == '\\') {
            putChar('\\');
            putChar(*s);
        } else if (c < 0x20) {
            char esc[8];
            std::snprintf(esc, sizeof esc, "\\u%04x", c);
            put(esc);
        } else {
            putChar(*s);
        }
    }
    putChar('"');
}

/* A text value: quoted in JSON; in CSV quoted only when it must be. */
static void text(const char *s)
{
    column();
    if (Format == PRODLOG_JSON) return jsonQuoted(s);
    if (std::strpbrk(s, ",\"\r\n") == nullptr) return put(s);
    putChar('"');
    for (; *s != '\0'; s++) {
        if (*s == '"') putChar('"');
        putChar(*s);
    }
    putChar('"');
}

/* A number, or an empty CSV field and JSON null. */
static void number(const char *digits)
{
    column();
    put(digits != nullptr ? digits : (Format == PRODLOG_JSON ? "null" : ""));
}

static void seconds(unsigned ms)
{
    char s[32];
    std::snprintf(s, sizeof s, "%u.%03u", ms / 1000, ms % 1000);
    number(s);
}

/* Whether the read-back found another configuration version than the one
 * programmed: a difference of its own, before the table's. */
static bool versionDiffers(const ProdRecord_t *rec)
{
    return rec->Result != PROD_WRONG_MODEL && rec->End.Outcome == OPS_DONE &&
           rec->ReadVersion != rec->ConfigVersion;
}

void PRODLOG_Reason(const ProdRecord_t *rec, char *out, int len)
{
    const auto n = static_cast<std::size_t>(len);
    if (rec->Result == PROD_PASS) {
        std::snprintf(out, n, "%s", "");
    } else if (rec->Result == PROD_WRONG_MODEL) {
        std::snprintf(out, n, "the file suits no %ls", DCSS_GetModelName(rec->Model));
    } else if (rec->Result == PROD_FAIL_VERIFY && rec->End.Outcome == OPS_DONE) {
        const int n2 = rec->DiffCount + (versionDiffers(rec) ? 1 : 0);
        std::snprintf(out, n, "%d difference%s", n2, n2 == 1 ? "" : "s");
    } else {
        const char *step = rec->Step != nullptr ? rec->Step : "program";
        if (rec->End.Where >= 0)
            std::snprintf(out, n, "%s: %s at %d", step, OPS_OutcomeName(rec->End.Outcome),
                          rec->End.Where);
        else
            std::snprintf(out, n, "%s: %s", step, OPS_OutcomeName(rec->End.Outcome));
    }
}

/* The differences: one text joined by "; " in CSV, a list of texts in JSON. */
static void differences(const ProdRecord_t *rec)
{
    static char joined[LINE_MAX / 2];
    int used = 0;
    const bool json = Format == PRODLOG_JSON;
    if (json) {
        column();
        putChar('[');
    }
    const bool version = versionDiffers(rec);
    const int count = version ? rec->DiffCount + 1 : rec->DiffCount;
    joined[0] = '\0';
    for (int i = 0; i < count && i <= CMP_DIFF_MAX; i++) {
        char line[CMP_LINE_LEN];
        if (version && i == 0)
            BREVCFG_VersionDiffLine(rec->ConfigVersion, rec->ReadVersion, line);
        else
            BREVCFG_DiffLine(rec->Diffs[version ? i - 1 : i], line);
        if (json) {
            put(i > 0 ? ", " : "");
            jsonQuoted(line);
        } else {
            used += std::snprintf(joined + used, sizeof joined - static_cast<std::size_t>(used),
                                  "%s%s", i > 0 ? "; " : "", line);
            if (used >= static_cast<int>(sizeof joined)) used = sizeof joined - 1;
        }
    }
    if (json)
        putChar(']');
    else
        text(joined);
}

/* Puts rec together as one line in Line. */
static void compose(const ProdRecord_t *rec, const char *port, const char *devicePath)
{
    Len = 0;
    Key = 0;
    Line[0] = '\0';
    char s[64];
    tm utc{};
    gmtime_r(&rec->Time, &utc);
    std::strftime(s, sizeof s, "%Y-%m-%dT%H:%M:%SZ", &utc);
    text(s);
    text(port);
    text(devicePath);
    std::snprintf(s, sizeof s, "%u.%u", rec->KaltroVersion >> 8, rec->KaltroVersion & 0xFF);
    text(s);
    std::snprintf(s, sizeof s, "%u", static_cast<unsigned>(rec->Serial));
    number(rec->HasSerial ? s : nullptr);
    std::snprintf(s, sizeof s, "%d", rec->DeviceID);
    number(s);
    std::snprintf(s, sizeof s, "%ls", DCSS_GetModelName(rec->Model));
    text(s);
    std::snprintf(s, sizeof s, "%d.%d", rec->SWVersion >> 4, rec->SWVersion & 0x0F);
    text(s);
    const std::uint32_t fw = rec->FWVersion;
    std::snprintf(s, sizeof s, "%u.%u.%u.%u", fw >> 24, (fw >> 16) & 0xFF, (fw >> 8) & 0xFF,
                  fw & 0xFF);
    text(s);
    text(File);
    text(Sha);
    std::snprintf(s, sizeof s, "%d.%d", rec->ConfigVersion >> 4, rec->ConfigVersion & 0x0F);
    text(s);
    text(PROD_ResultName(rec->Result));
    char reason[128];
    PRODLOG_Reason(rec, reason, sizeof reason);
    text(reason);
    differences(rec);
    seconds(rec->ProgramMs);
    seconds(rec->VerifyMs);
    if (Format == PRODLOG_JSON) putChar('}');
    Line[Len++] = '\n';
    Line[Len] = '\0';
}

/* Writes Line whole at the end of the log under the file's lock, and
 * flushes it to the disk. */
static int writeLocked(const char *data, int n)
{
    while (flock(Fd, LOCK_EX) != 0)
        if (errno != EINTR) return -1;
    int done = 0;
    while (done < n) {
        const ssize_t w = write(Fd, data + done, static_cast<std::size_t>(n - done));
        if (w < 0 && errno == EINTR) continue;
        if (w <= 0) break;
        done += static_cast<int>(w);
    }
    const int saved = errno;
    const bool ok = done == n && fsync(Fd) == 0;
    const int why = ok ? 0 : (done == n ? errno : saved);
    flock(Fd, LOCK_UN);
    errno = why;
    return ok ? 0 : -1;
}

int PRODLOG_Open(const char *path, ProdLogFormat_t format, const char *file, const char *sha256)
{
    PRODLOG_Close();
    Format = format;
    std::snprintf(File, sizeof File, "%s", file);
    std::snprintf(Sha, sizeof Sha, "%s", sha256);
    Fd = open(path, O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
    if (Fd < 0) return -1;
    if (format != PRODLOG_CSV) return 0;
    /* The header once, by whichever process finds the log empty first. */
    while (flock(Fd, LOCK_EX) != 0)
        if (errno != EINTR) return -1;
    struct stat st {
    };
    int r = fstat(Fd, &st);
    if (r == 0 && st.st_size == 0) {
        char header[sizeof PRODLOG_HEADER + 1];
        std::snprintf(header, sizeof header, "%s\n", PRODLOG_HEADER);
        const auto n = static_cast<ssize_t>(std::strlen(header));
        r = write(Fd, header, static_cast<std::size_t>(n)) == n && fsync(Fd) == 0 ? 0 : -1;
    }
    const int why = errno;
    flock(Fd, LOCK_UN);
    errno = why;
    return r;
}

int PRODLOG_Append(const ProdRecord_t *rec, const char *port, const char *devicePath)
{
    if (Fd < 0) {
        errno = EBADF;
        return -1;
    }
    compose(rec, port, devicePath);
    return writeLocked(Line, Len);
}

void PRODLOG_Close()
{
    if (Fd >= 0) close(Fd);
    Fd = -1;
}

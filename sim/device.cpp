/* device.cpp -- the simulated dCSS device: its identity, versions, options
 * and UB table; the commands the controller relays to it; the configuration
 * images it takes; and the state file that sets it up.
 *
 * State: one SIM_Device, the --no-space session count and the programming
 * commands taken (for a device that drops off). It never writes to
 * the line; the controller turns its answers into "Rx:" lines. The image
 * decoder is written from the image layouts alone, apart from the program's
 * compilers, and the models with their ID bytes are the device's own table,
 * apart from the program's catalogue, so that the tests check the program
 * against the device instead of against itself.
 */
#include "sim/simint.h"

#include "config/limits.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>

constexpr int ACK_OK = 4;      /* "0xE4" */
constexpr int ACK_UNKNOWN = 1; /* a command the device does not know */
constexpr int ACK_BAD_ARGUMENT = 2;
constexpr int ACK_REFUSED = 5;
constexpr int ACK_NO_SPACE = 7;
constexpr int NO_ANSWER = -1;
constexpr int IMAGE_REFUSED = 3;
constexpr int HEADER = 16; /* image header bytes */
constexpr int EN_RECORD = 10, MXL_RECORD = 9;
constexpr int STATE_LINE = 512;

/* The models a device can be, in the catalogue's order (see SIM_Model). */
static const SIM_Model models[] = {
    {"KX-100", 0x47, false, false}, {"KX-101", 0x44, false, false}, {"KX-102", 0x4D, false, false},
    {"KX-103", 0x4E, false, false}, {"KX-104", 0x50, false, true},  {"KX-105", 0x54, false, false},
    {"KX-106", 0x51, false, false}, {"KX-107", 0x27, true, false},  {"KX-108", 0x28, true, false},
    {"KX-109", 0x4F, false, false}, {"KX-110", 0x29, true, false},
};
constexpr int MODEL_COUNT = sizeof models / sizeof models[0];

static SIM_Device dev;
static int activeInSession = 0; /* active bands taken by "entp" since the session began */
static int programmed = 0;      /* programming commands taken since the device went on */

const SIM_Model *SIM_GetModel(int index)
{
    return index >= 0 && index < MODEL_COUNT ? &models[index] : nullptr;
}

static bool enGroup()
{
    return models[dev.model].en;
}

/* The model's default table: n bands at the centres of n equal slots of
 * the L-band. */
static void defaultTable(int n)
{
    constexpr int span = LBAND_MAX - LBAND_MIN;
    std::memset(dev.ub, 0, sizeof dev.ub);
    for (int i = 0; i < n && i < SIM_UB_MAX; i++) {
        SIM_UB &u = dev.ub[i];
        u.used = true;
        u.freq = static_cast<std::uint16_t>(LBAND_MIN + (span * i) / n +
                                            static_cast<int>(span / 2.0 / n + 0.5));
        u.bw = n > 24 ? 36 : 46;
        u.level = enGroup() ? -22 : -21;
    }
}

static int modelIndex(const char *name)
{
    for (int m = 0; m < MODEL_COUNT; m++)
        if (std::strcmp(models[m].name, name) == 0) return m;
    return -1;
}

int SIMDEV_Init(const char *model)
{
    int m = modelIndex(model);
    if (m < 0) return 1;
    std::memset(&dev, 0, sizeof dev);
    dev.model = m;
    dev.id = models[m].id;
    dev.ubs = enGroup() ? 32 : 24;
    dev.sn = 12345678;
    dev.fw = 0x01040200; /* 1.4.2.0 */
    dev.loLow = 9750;
    dev.loHigh = 10600;
    dev.temperature = 38;
    dev.dbase = 0x10;
    dev.sw = 0x21;
    dev.en50494plus = 1;
    dev.wideband = models[m].quattro ? 0 : 1;
    defaultTable(dev.ubs);
    activeInSession = 0;
    programmed = 0;
    return 0;
}

SIM_Device &SIMDEV_State()
{
    return dev;
}

void SIMDEV_NewSession()
{
    activeInSession = 0;
}

int SIMDEV_DropPacket()
{
    return dev.fault == SIM_Fault::DropsOff && !dev.dropped ? dev.faultAfter : 0;
}

void SIMDEV_Drop(const char *when)
{
    if (!dev.dropped) SIMIO_Log("  device dropped off %s (fault)", when);
    dev.dropped = true;
}

/* A faulty device's answer to a command before it is carried out, or 0 to
 * carry it out. */
static int faultFirst(const char *verb, const long *a, int n)
{
    auto is = [verb](const char *v) { return std::strcmp(verb, v) == 0; };
    bool programming =
        is("entp") || is("lnad") || is("lnah") || is("lnaa") || is("legs") || is("lnca");
    int band = is("entp") && n == 10 ? static_cast<int>(a[1]) : -1;
    switch (dev.fault) {
    case SIM_Fault::None: break;
    case SIM_Fault::BandNotStored:
        if (band == dev.faultBand) {
            SIMIO_Log("  band %d not stored (fault)", band);
            return ACK_OK;
        }
        break;
    case SIM_Fault::BandRefused:
        if (band == dev.faultBand) return ACK_REFUSED;
        break;
    case SIM_Fault::DropsOff:
        if (programming && programmed >= dev.faultAfter) SIMDEV_Drop("at a programming command");
        break;
    case SIM_Fault::VersionRefused:
        if (is("lnad")) return ACK_REFUSED;
        break;
    }
    if (dev.dropped) return NO_ANSWER;
    if (programming) programmed++;
    return 0;
}

/* ---- Commands ----------------------------------------------------------------- */

/* Up to max decimal arguments; their count, or -1 when one is not a number. */
static int numbers(const char *args, long *out, int max)
{
    int n = 0;
    const char *p = args;
    while (*p) {
        while (*p == ' ')
            p++;
        if (!*p) break;
        char *end = nullptr;
        long v = strtol(p, &end, 10);
        if (end == p || n == max) return -1;
        out[n++] = v;
        p = end;
        if (*p && *p != ' ') return -1;
    }
    return n;
}

/* Appends a value high byte first; the command's acknowledgement. */
static int put16(std::uint8_t *data, int *count, unsigned v)
{
    data[(*count)++] = static_cast<std::uint8_t>(v >> 8);
    data[(*count)++] = static_cast<std::uint8_t>(v);
    return ACK_OK;
}

static int put32(std::uint8_t *data, int *count, std::uint32_t v)
{
    put16(data, count, v >> 16);
    return put16(data, count, v & 0xFFFF);
}

/* The eight bytes of "lnbg" for band u. */
static void bandBytes(int u, std::uint8_t *data, int *count)
{
    const SIM_UB &b = dev.ub[u];
    if (!b.used) {
        /* An empty slot reads as frequency 4095. */
        const std::uint8_t empty[8] = {
            static_cast<std::uint8_t>(u), 0xFF, 0xF0, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
        std::memcpy(data, empty, 8);
        *count = 8;
        return;
    }
    data[0] = static_cast<std::uint8_t>(((b.feed & 7) << 5) | (u & 0x1F));
    data[1] = static_cast<std::uint8_t>(b.freq >> 4);
    data[2] = static_cast<std::uint8_t>(((b.freq & 0x0F) << 4) | (b.dec & 0x0F));
    data[3] = b.bw;
    data[4] = static_cast<std::uint8_t>(((b.pol & 1) << 7) | ((b.conv >> 8) & 0x7F));
    data[5] = static_cast<std::uint8_t>(b.conv & 0xFF);
    data[6] = static_cast<std::uint8_t>(b.level);
    data[7] = static_cast<std::uint8_t>(b.si & 1);
    *count = 8;
}

/* "entp out ub freq 0 bw level tpfreq tppol feed si" */
static int program(const long *a)
{
    int u = static_cast<int>(a[1]);
    if (u < 0 || u >= SIM_UB_MAX || u >= dev.ubs) return ACK_BAD_ARGUMENT;
    SIM_UB &b = dev.ub[u];
    if (a[2] == 0) {
        b.used = false; /* an inactive band empties its slot */
        return ACK_OK;
    }
    int limit = SIMIO_Options().noSpace;
    if (limit >= 0 && activeInSession >= limit) return ACK_NO_SPACE;
    activeInSession++;
    b.used = true;
    b.freq = static_cast<std::uint16_t>(a[2] & 0x0FFF);
    b.dec = 0;
    b.bw = static_cast<std::uint8_t>(a[4]);
    b.level = static_cast<std::int8_t>(a[5]);
    b.conv = static_cast<std::uint16_t>(a[6] & 0x7FFF);
    b.pol = a[7] ? 1 : 0;
    b.feed = static_cast<std::uint8_t>(a[8] & 7);
    b.si = a[9] ? 1 : 0;
    return ACK_OK;
}

static int set(std::int8_t &option, long value)
{
    option = static_cast<std::int8_t>(value);
    return ACK_OK;
}

int SIMDEV_Command(const char *verb, const char *args, std::uint8_t *data, int *count)
{
    long a[12];
    int n = numbers(args, a, 12);
    *count = 0;
    if (n < 0) return dev.dropped ? NO_ANSWER : ACK_BAD_ARGUMENT;
    if (int early = faultFirst(verb, a, n)) return early;
    auto is = [verb](const char *v) { return std::strcmp(verb, v) == 0; };
    auto one = [&](int v) {
        data[(*count)++] = static_cast<std::uint8_t>(v);
        return ACK_OK;
    };
    if (is("lnbe")) return one(dev.id);
    if (is("lnbd")) return one(dev.dbase);
    if (is("lnbv")) return one(dev.sw);
    if (is("lnbk")) return one(dev.en50494plus);
    if (is("lnab")) return one(dev.wideband);
    if (is("legg")) return one(dev.legacy);
    if (is("lncb")) return one(dev.chain);
    if (is("lnbb")) return one(dev.ubs);
    if (is("lndo")) return one(dev.output);
    if (is("lnbc")) return put16(data, count, static_cast<std::uint16_t>(dev.temperature));
    if (is("lnbm")) return put32(data, count, dev.fw);
    if (is("lnbn")) return put32(data, count, dev.sn);
    if (is("lnbj")) {
        put16(data, count, dev.loLow);
        return put16(data, count, dev.loHigh);
    }
    if (is("lnbg")) {
        if (n != 1 || a[0] < 0 || a[0] >= SIM_UB_MAX || a[0] >= dev.ubs) return ACK_BAD_ARGUMENT;
        bandBytes(static_cast<int>(a[0]), data, count);
        return ACK_OK;
    }
    if (is("entp")) return n == 10 ? program(a) : ACK_BAD_ARGUMENT;
    if (n != 1 && !is("lnca")) return ACK_BAD_ARGUMENT;
    if (is("lnah")) return set(dev.en50494plus, a[0] ? 1 : 0);
    if (is("lnaa")) return set(dev.wideband, a[0] ? 1 : 0);
    if (is("legs")) return (a[0] < 0 || a[0] > 2) ? ACK_BAD_ARGUMENT : set(dev.legacy, a[0]);
    if (is("lnad")) {
        dev.dbase = static_cast<std::uint8_t>(a[0]);
        SIMDEV_NewSession(); /* programming of a new table starts here */
        return ACK_OK;
    }
    if (is("lnca")) {
        /* Chaining on: bit 3 and the 0-based output in bits 0 to 2. */
        if (n != 2) return ACK_BAD_ARGUMENT;
        dev.chain = static_cast<std::int8_t>(a[0] ? (8 | (a[1] & 7)) : 0);
        return ACK_OK;
    }
    if (is("lnbs")) return (a[0] == 2 || a[0] == 4) ? ACK_OK : ACK_BAD_ARGUMENT;
    return ACK_UNKNOWN;
}

/* ---- Images ------------------------------------------------------------------ */

static bool layoutFits(const unsigned char *area, int len, int size, int at, int value)
{
    if (len == 0 || len % size != 0) return false;
    for (int r = 0; r < len; r += size)
        if (area[r + at] != value) return false;
    return true;
}

static void takeEN(const unsigned char *r)
{
    int u = r[1] & 0x1F;
    SIM_UB &b = dev.ub[u];
    int freq = (r[2] << 4) | (r[3] >> 4);
    b = SIM_UB{};
    if (freq == 0) return; /* inactive */
    b.used = true;
    b.freq = static_cast<std::uint16_t>(freq);
    b.dec = r[3] & 0x0F;
    b.si = r[1] >> 7;
    b.bw = r[4];
    b.level = static_cast<std::int8_t>((r[5] & 0x1F) - 32); /* the level modulo 32 */
    b.feed = r[5] >> 5;
    b.pol = r[6] >> 7;
    b.conv = static_cast<std::uint16_t>(((r[6] & 0x7F) << 8) | r[7]);
}

static void takeMxL(const unsigned char *r)
{
    int u = r[7];
    if (u >= SIM_UB_MAX) return;
    SIM_UB &b = dev.ub[u];
    b = SIM_UB{};
    bool inactive = true;
    for (int i = 0; i < 7; i++)
        inactive = inactive && r[i] == 0xFF;
    if (inactive) return;
    b.used = true;
    b.freq = static_cast<std::uint16_t>((r[0] << 4) | (r[1] >> 4));
    b.dec = r[1] & 0x0F;
    b.bw = r[2];
    b.si = r[3] >> 7;
    b.feed = r[3] & 0x07;
    b.pol = r[4] >> 7;
    b.conv = static_cast<std::uint16_t>(((r[4] & 0x7F) << 8) | r[5]);
    b.level = static_cast<std::int8_t>(r[6]);
}

int SIMDEV_TakeImage(const unsigned char *image, int len)
{
    static const unsigned char magic[4] = {0x02, 0x00, '1', '5'};
    if (len < HEADER || std::memcmp(image, magic, 4) != 0 || image[8] != HEADER) return 1;
    int area = (image[6] << 8) | image[7];
    if (HEADER + area > len) return 2;
    const unsigned char *rec = image + HEADER;
    if (SIMXM_Crc16(rec, area) != ((image[4] << 8) | image[5])) return 2;
    bool en = layoutFits(rec, area, EN_RECORD, 0, 0xB0);
    bool mxl = layoutFits(rec, area, MXL_RECORD, 8, 0xFF);
    if (en && mxl) en = enGroup(); /* both fit: the device's own layout wins */
    if (!en && !mxl) return 2;
    if (dev.fault == SIM_Fault::BandRefused) return IMAGE_REFUSED;
    const SIM_UB kept = dev.ub[dev.faultBand];
    for (auto &b : dev.ub)
        b = SIM_UB{};
    for (int r = 0; r < area; r += en ? EN_RECORD : MXL_RECORD)
        en ? takeEN(rec + r) : takeMxL(rec + r);
    if (dev.fault == SIM_Fault::BandNotStored) {
        dev.ub[dev.faultBand] = kept;
        SIMIO_Log("  band %d not stored (fault)", dev.faultBand);
    }
    dev.dbase = image[9];
    return 0;
}

/* ---- State file ---------------------------------------------------------------- */

static void trim(char *s)
{
    std::size_t n = std::strlen(s);
    while (n && std::isspace(static_cast<unsigned char>(s[n - 1])))
        s[--n] = '\0';
    std::size_t i = 0;
    while (s[i] && std::isspace(static_cast<unsigned char>(s[i])))
        i++;
    std::memmove(s, s + i, n - i + 1);
}

/* "ub.N=empty" or "ub.N=freq[.d],bw,level[,tpfreq,pol,feed,si]". */
static int parseBand(const char *key, const char *v)
{
    int u = std::atoi(key + 3);
    if (u < 0 || u >= SIM_UB_MAX) return 1;
    SIM_UB b{};
    if (std::strcmp(v, "empty") == 0) {
        dev.ub[u] = b;
        return 0;
    }
    unsigned f = 0, d = 0, bw = 0, conv = 0, feed = 0, si = 0;
    int level = 0;
    char pol = 'V';
    int got = 0;
    if (std::strchr(v, '.') && std::strchr(v, '.') < std::strchr(v, ','))
        got = std::sscanf(v, "%u.%u,%u,%d,%u,%c,%u,%u", &f, &d, &bw, &level, &conv, &pol, &feed,
                          &si) -
              1;
    else
        got = std::sscanf(v, "%u,%u,%d,%u,%c,%u,%u", &f, &bw, &level, &conv, &pol, &feed, &si);
    if (got < 3 || f > 4095 || d > 9) return 1;
    b.used = true;
    b.freq = static_cast<std::uint16_t>(f);
    b.dec = static_cast<std::uint8_t>(d);
    b.bw = static_cast<std::uint8_t>(bw);
    b.level = static_cast<std::int8_t>(level);
    b.conv = static_cast<std::uint16_t>(conv & 0x7FFF);
    b.pol = (pol == 'H' || pol == 'h') ? 1 : 0;
    b.feed = static_cast<std::uint8_t>(feed & 7);
    b.si = si ? 1 : 0;
    dev.ub[u] = b;
    return 0;
}

static int setKey(const char *key, const char *v, SIM_Kaltro *k)
{
    char *end = nullptr;
    long n = std::strtol(v, &end, 0);
    bool num = end != v && *end == '\0';
    auto is = [key](const char *s) { return std::strcmp(key, s) == 0; };
    unsigned p[4] = {};
    if (std::strncmp(key, "ub.", 3) == 0) return parseBand(key, v);
    if (is("name")) return std::snprintf(k->name, sizeof k->name, "%s", v), 0;
    if (is("volt_reading")) return std::snprintf(k->reading, sizeof k->reading, "%s", v), 0;
    if (is("fw")) {
        if (std::sscanf(v, "%u.%u.%u.%u", &p[0], &p[1], &p[2], &p[3]) != 4) return 1;
        dev.fw = (p[0] & 0xFF) << 24 | (p[1] & 0xFF) << 16 | (p[2] & 0xFF) << 8 | (p[3] & 0xFF);
        return 0;
    }
    if (is("kaltro_sw")) return std::sscanf(v, "%d.%d", &k->swMajor, &k->swMinor) == 2 ? 0 : 1;
    if (!num) return 1;
    if (is("id"))
        dev.id = static_cast<std::uint8_t>(n);
    else if (is("ubs"))
        dev.ubs = static_cast<int>(n & 0xFF);
    else if (is("sn"))
        dev.sn = static_cast<std::uint32_t>(n);
    else if (is("lo_low"))
        dev.loLow = static_cast<std::uint16_t>(n);
    else if (is("lo_high"))
        dev.loHigh = static_cast<std::uint16_t>(n);
    else if (is("temperature"))
        dev.temperature = static_cast<std::int16_t>(n);
    else if (is("dbase"))
        dev.dbase = static_cast<std::uint8_t>(n);
    else if (is("sw"))
        dev.sw = static_cast<std::uint8_t>(n);
    else if (is("en50494plus"))
        dev.en50494plus = static_cast<std::int8_t>(n);
    else if (is("wideband"))
        dev.wideband = static_cast<std::int8_t>(n);
    else if (is("legacy"))
        dev.legacy = static_cast<std::int8_t>(n);
    else if (is("chain"))
        dev.chain = static_cast<std::int8_t>(n);
    else if (is("output"))
        dev.output = static_cast<std::int8_t>(n);
    else if (is("voltage") && n >= 0 && n <= 15)
        k->level = static_cast<int>(n);
    else if (is("tone"))
        k->tone = n ? 1 : 0;
    else if (is("config_type"))
        k->configType = static_cast<int>(n);
    else
        return 1;
    return 0;
}

/* Splits a state line into key and value, both trimmed. False for a blank
 * line or a comment. */
static bool keyValue(char *line, char **key, char **value)
{
    trim(line);
    if (line[0] == '\0' || line[0] == '#') return false;
    char *eq = std::strchr(line, '=');
    *key = line;
    *value = nullptr;
    if (!eq) return true;
    *eq = '\0';
    *value = eq + 1;
    trim(*key);
    trim(*value);
    return true;
}

int SIMDEV_LoadState(const char *path, SIM_Kaltro *kaltro, char *err, std::size_t errLen)
{
    FILE *f = std::fopen(path, "r");
    if (!f) return std::snprintf(err, errLen, "cannot read state file %s", path), 1;
    char line[STATE_LINE];
    char *key = nullptr, *v = nullptr;
    int lineNo = 0, result = 0;
    /* "model" first, wherever it stands: it sets every default. */
    while (result == 0 && std::fgets(line, sizeof line, f)) {
        lineNo++;
        if (!keyValue(line, &key, &v) || std::strcmp(key, "model") != 0) continue;
        if (!v || SIMDEV_Init(v) != 0) {
            std::snprintf(err, errLen, "%s:%d: unknown model", path, lineNo);
            result = 1;
        }
    }
    std::rewind(f);
    lineNo = 0;
    while (result == 0 && std::fgets(line, sizeof line, f)) {
        lineNo++;
        if (!keyValue(line, &key, &v) || std::strcmp(key, "model") == 0) continue;
        if (!v || setKey(key, v, kaltro) != 0) {
            std::snprintf(err, errLen, "%s:%d: cannot use this line", path, lineNo);
            result = 1;
        }
    }
    std::fclose(f);
    return result;
}

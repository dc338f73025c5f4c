/* kaltro.cpp -- the simulated controller: it gathers command lines, answers
 * its own commands, relays the others to the device and prints the device's
 * answer as an "Rx:" line, and hands the line to the XModem receiver after
 * "lnbs", "rest" and "load".
 *
 * State: the controller record (supply level, tone, stored name, type,
 * software version), the line being gathered, the command counts, the moment
 * the device has power, and the numbering of stored images. Every answer
 * starts with the echo of the command line, as the real controller's does.
 */
#include "sim/simint.h"

#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

constexpr int LINE_MAX = 128; /* longest command line taken */
constexpr int REPLY_MAX = 1024;
constexpr int VERB_SLOTS = 64;      /* distinct verbs counted */
constexpr int POWER_LEVEL = 5;      /* the device starts from this supply level up */
constexpr int DEVICE_TAKE_MS = 200; /* the device checks a new image before it answers */
constexpr std::int64_t NS_PER_MS = 1000000;

static SIM_Kaltro kal;
static char line[LINE_MAX];
static char lastLine[LINE_MAX];
static int lineLen = 0;
static bool lineTooLong = false;
static int commands = 0;
static std::int64_t poweredAt = -1; /* -1 unpowered */
static int storedImages = 0;
static struct {
    char verb[SIM_VERB_LEN];
    int count;
} verbs[VERB_SLOTS];

/* A reading per supply level that the program classifies back to the same
 * level (the level's nominal label would not always, e.g. 14.66 V). */
static const char *const readings[16] = {"0.00",  "12.50", "13.10", "13.40", "13.75", "14.05",
                                         "14.40", "15.00", "17.00", "18.20", "18.50", "18.85",
                                         "19.20", "19.50", "19.85", "20.50"};

static const char helpText[] = "Kaltro KX-P2 commands:\r\n"
                               "  gtid            identification\r\n"
                               "  prsw            software version\r\n"
                               "  volt            LNB supply voltage\r\n"
                               "  setv <0-15>     set the LNB supply level\r\n"
                               "  to22 <0|1>      22 kHz tone\r\n"
                               "  lnaw <name>     store the configuration name\r\n"
                               "  lnar            read the configuration name\r\n"
                               "  lnal <type>     configuration type\r\n"
                               "  rest            receive controller software\r\n"
                               "  load            receive a configuration\r\n"
                               "  other commands go to the dCSS device\r\n";

void SIMKAL_Init(const SIM_Kaltro &initial)
{
    kal = initial;
    lineLen = 0;
    lineTooLong = false;
    commands = 0;
    storedImages = 0;
    lastLine[0] = '\0';
    std::memset(verbs, 0, sizeof verbs);
    poweredAt = kal.level >= POWER_LEVEL ? 0 : -1;
    SIMXM_Reset();
}

SIM_Kaltro &SIMKAL_State()
{
    return kal;
}

static void count(const char *verb)
{
    /* A line without a usable verb (too long, or binary bytes left over from
     * an ended transfer) is not counted: an empty name would hold a slot that
     * the next new verb then takes over with this count. */
    if (verb[0] == '\0') return;
    for (auto &v : verbs) {
        if (v.verb[0] == '\0') std::snprintf(v.verb, sizeof v.verb, "%s", verb);
        if (std::strcmp(v.verb, verb) == 0) {
            v.count++;
            return;
        }
    }
}

int SIMKAL_CommandCount(const char *verb)
{
    for (auto &v : verbs)
        if (v.verb[0] && std::strcmp(v.verb, verb) == 0) return v.count;
    return 0;
}

const char *SIMKAL_LastCommand()
{
    return lastLine;
}

static bool refused(const char *verb)
{
    const SIM_Options &o = SIMIO_Options();
    for (int i = 0; i < o.refuseCount; i++)
        if (std::strcmp(o.refuse[i], verb) == 0) return true;
    return false;
}

/* The device has had its supply, and has been on the output, for the power
 * delay. */
static bool devicePowered(std::int64_t now)
{
    return poweredAt >= 0 && now >= poweredAt && now >= SIMSWAP_ReadyAt();
}

/* Echo and answer text, split after the echo. */
static void answer(const char *echo, const char *text)
{
    char out[REPLY_MAX];
    std::size_t len = 0;
    SIMIO_Append(out, sizeof out, &len, "%s\r\n", echo);
    std::size_t split = len;
    SIMIO_Append(out, sizeof out, &len, "%s", text);
    SIMIO_Send(out, len, &split, 1, 0);
}

/* Relays a device command; true when the device accepted it. */
static bool relay(const char *echo, const char *verb, const char *args, std::int64_t now)
{
    const SIM_Options &o = SIMIO_Options();
    if (o.noDevice || !devicePowered(now)) {
        answer(echo, ""); /* the device stays silent */
        return false;
    }
    std::uint8_t data[16];
    int n = 0;
    int ack = refused(verb) ? 5 : SIMDEV_Command(verb, args, data, &n);
    if (ack < 0) {
        answer(echo, ""); /* it has dropped off */
        return false;
    }
    char out[REPLY_MAX];
    std::size_t len = 0;
    SIMIO_Append(out, sizeof out, &len, "%s\r\n", echo);
    std::size_t splits[2] = {len, 0};
    SIMIO_Append(out, sizeof out, &len, "Rx: 0xE%d", ack);
    splits[1] = len;
    for (int i = 0; i < n; i++)
        SIMIO_Append(out, sizeof out, &len, " 0x%02X", data[i]);
    SIMIO_Append(out, sizeof out, &len, "\r\n");
    SIMIO_Send(out, len, splits, 2, o.replyDelayMs);
    return ack == 4;
}

static void setLevel(int level, std::int64_t now)
{
    bool was = kal.level >= POWER_LEVEL;
    kal.level = level;
    if (level < POWER_LEVEL) {
        poweredAt = -1;
    } else if (!was) {
        /* The device starts a moment after its supply comes up. */
        poweredAt = now + SIMIO_Options().powerDelayMs * NS_PER_MS;
        SIMDEV_NewSession();
    }
}

static void handleLine(std::int64_t now)
{
    char verb[SIM_VERB_LEN] = "";
    const char *args = "";
    line[lineLen] = '\0';
    if (lineLen == 0) return; /* a bare return: nothing to say */
    const char *space = std::strchr(line, ' ');
    std::size_t vlen = space ? static_cast<std::size_t>(space - line) : std::strlen(line);
    if (vlen < sizeof verb) {
        std::memcpy(verb, line, vlen);
        verb[vlen] = '\0';
    }
    if (space) args = space + 1;
    count(verb);
    std::memcpy(lastLine, line, sizeof lastLine);
    SIMIO_Log("> %s", line);
    commands++;
    const SIM_Options &o = SIMIO_Options();
    if (o.stopAfter >= 0 && commands > o.stopAfter) {
        SIMIO_Mute();
        return;
    }
    char text[REPLY_MAX];
    auto is = [&verb](const char *v) { return std::strcmp(verb, v) == 0; };
    bool own = is("gtid") || is("prsw") || is("volt") || is("setv") || is("to22") || is("lnaw") ||
               is("lnar") || is("lnal") || is("rest") || is("load") || is("help");
    if (own && refused(verb)) return answer(line, "ERR\r\n");
    int arg = -1;
    std::sscanf(args, "%d", &arg);
    if (is("gtid")) return answer(line, "Kaltro KX-P2 ID 0x54\r\n");
    if (is("prsw")) {
        std::snprintf(text, sizeof text, "Kaltro KX-P2 ver.%d.%d \r\n", kal.swMajor, kal.swMinor);
        return answer(line, text);
    }
    if (is("volt")) {
        const char *r = kal.reading[0] ? kal.reading : readings[kal.level];
        std::snprintf(text, sizeof text, "%sV\r\n", r);
        return answer(line, text);
    }
    if (is("setv")) {
        if (arg < 0 || arg > 15) return answer(line, "ERR\r\n");
        setLevel(arg, now);
        return answer(line, "OK\r\n");
    }
    if (is("to22")) {
        kal.tone = arg > 0 ? 1 : 0;
        return answer(line, "OK\r\n");
    }
    if (is("lnal")) {
        kal.configType = arg;
        return answer(line, "OK\r\n");
    }
    if (is("lnaw")) {
        std::snprintf(kal.name, sizeof kal.name, "%s", args);
        std::snprintf(text, sizeof text, "Name stored: %s\r\n", kal.name);
        return answer(line, text);
    }
    if (is("lnar")) {
        if (!kal.name[0]) return answer(line, "No name stored\r\n");
        std::snprintf(text, sizeof text, "Name stored: %s\r\n", kal.name);
        return answer(line, text);
    }
    if (is("help")) return answer(line, helpText);
    if (is("rest") || is("load")) {
        answer(line, "");
        SIMXM_Begin(is("rest") ? SIM_ImageKind::KaltroSoftware : SIM_ImageKind::KaltroConfig, now);
        return;
    }
    if (relay(line, verb, args, now) && is("lnbs"))
        SIMXM_Begin(SIM_ImageKind::Device, now + o.replyDelayMs * NS_PER_MS);
}

void SIMKAL_Input(unsigned char c, std::int64_t now)
{
    if (SIMXM_Active()) return SIMXM_Input(c, now);
    if (c == '\r') {
        if (!lineTooLong) handleLine(now);
        lineLen = 0;
        lineTooLong = false;
    } else if (c == '\n' || c == '\0') {
        /* line feeds and NULs between commands carry nothing */
    } else if (lineLen < LINE_MAX - 1) {
        line[lineLen++] = static_cast<char>(c);
    } else {
        lineTooLong = true; /* the whole line is dropped at its return */
    }
}

std::int64_t SIMKAL_NextTimer()
{
    return SIMXM_NextTimer();
}

void SIMKAL_Tick(std::int64_t now)
{
    SIMXM_Tick(now);
}

static void store(SIM_ImageKind kind, const unsigned char *image, int len)
{
    const char *dir = SIMIO_Options().store;
    if (!dir[0]) return;
    const char *what = kind == SIM_ImageKind::Device           ? "device"
                       : kind == SIM_ImageKind::KaltroSoftware ? "kaltro-sw"
                                                               : "kaltro-cfg";
    char path[SIM_PATH_LEN + 32];
    std::snprintf(path, sizeof path, "%s/%s-%03d.bin", dir, what, ++storedImages);
    int fd = open(path, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) return SIMIO_Log("! cannot store %s", path);
    for (int done = 0; done < len;) {
        ssize_t n = write(fd, image + done, static_cast<std::size_t>(len - done));
        if (n <= 0) break;
        done += static_cast<int>(n);
    }
    close(fd);
    SIMIO_Log("  stored %s (%d bytes)", path, len);
}

void SIMKAL_TransferEnded(SIM_ImageKind kind, const unsigned char *image, int len,
                          SIM_TransferEnd end)
{
    if (end != SIM_TransferEnd::Done) return;
    store(kind, image, len);
    if (kind != SIM_ImageKind::Device) return;
    /* A device swapped or dropped off meanwhile takes nothing and says
     * nothing; one that drops off took the image no further than this. */
    if (!devicePowered(SIMIO_Now()) || SIMDEV_State().dropped)
        return SIMIO_Log("  no device to take the image");
    if (SIMDEV_DropPacket() > 0) return SIMDEV_Drop("before its verdict");
    /* The device takes the image and then says so on its own line. */
    int verdict = SIMDEV_TakeImage(image, len);
    SIMXM_Transfer().deviceVerdict = verdict;
    if (SIMIO_Options().noVerdict) return SIMIO_Log("  no verdict told (--no-verdict)");
    const char *text = verdict == 2   ? "Rx: 0xE6\r\n"
                       : verdict == 3 ? "Rx: 0xE5\r\n"
                                      : "Rx: 0xE4\r\n";
    SIMIO_Send(text, std::strlen(text), nullptr, 0, DEVICE_TAKE_MS);
}

/* replies.cpp -- reading the Kaltro's and the device's answers out of one
 * read of the reply buffer.
 *
 * Plain functions without state. Every search stops at the count of bytes
 * received; no length is computed that could wrap below zero, and numbers
 * taken from a reply saturate instead of overflowing. Nothing here writes to
 * the port.
 */
#include "link/rs232.h"

#include <cstring>

constexpr std::uint32_t DATA_BYTE_STEP = 5; /* separator, "0x", two digits */
constexpr int VERSION_MAX = 255;            /* a version number is one byte */
constexpr int VOLTAGE_MAX = 1000000;        /* far above the top level's 2000 */
constexpr int UB_EMPTY_FREQ = 4095;         /* all twelve frequency bits set: empty slot */
constexpr int UB_RECORD_BYTES = 8;          /* D1 to D8 of an "lnbg" reply */

/* Upper bound of each supply level's reading, in hundredths of a volt; a
 * reading above the last is level 15. */
static constexpr int levelTop[15] = {800,  1290, 1324, 1359, 1389, 1424, 1459, 1629,
                                     1799, 1835, 1865, 1904, 1937, 1968, 1999};

/* 1 when the text lit stands at pos and ends within n. */
static bool at(const char *buf, std::uint32_t n, std::uint32_t pos, const char *lit)
{
    std::size_t len = strlen(lit);
    return pos <= n && len <= n - pos && std::memcmp(buf + pos, lit, len) == 0;
}

static int hexValue(char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

static bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

/* value * 10 + digit, held at limit. */
static int addDigit(int value, char digit, int limit)
{
    int d = digit - '0';
    if (value > (limit - d) / 10) return limit;
    return value * 10 + d;
}

/* The first "0x" at or after from: its two digits' value, or -1 when there
 * is no "0x" or a digit is missing or not hexadecimal. */
static int firstHexByte(const char *buf, std::uint32_t n, std::uint32_t from)
{
    for (std::uint32_t p = from; p < n; p++) {
        if (!at(buf, n, p, "0x")) continue;
        if (n - p < 4) return -1; /* the digits were not received */
        int hi = hexValue(buf[p + 2]), lo = hexValue(buf[p + 3]);
        return (hi < 0 || lo < 0) ? -1 : hi * 16 + lo;
    }
    return -1;
}

std::uint8_t RS232_GetHexDigit(const char *Buf, std::uint32_t NoBytes)
{
    int v = firstHexByte(Buf, NoBytes, 0);
    return v < 0 ? 0 : static_cast<std::uint8_t>(v);
}

int RS232_FindDeviceReply(const char *Buf, std::uint32_t NoBytes, std::uint32_t *Location)
{
    for (std::uint32_t i = 0; i < NoBytes; i++) {
        if (!at(Buf, NoBytes, i, "Rx:")) continue;
        /* Only the first "Rx:" counts; without "0xE" and its digit the read
         * is dropped and the caller reads again. */
        if (!at(Buf, NoBytes, i + 4, "0xE") || i + 7 >= NoBytes) return RS232_REPLY_NONE;
        if (Location) *Location = i + 8;
        return Buf[i + 7] == '4' ? RS232_REPLY_ACCEPTED : RS232_REPLY_REFUSED;
    }
    return RS232_REPLY_NONE;
}

int RS232_GetDataByte(const char *Buf, std::uint32_t NoBytes, std::uint32_t Location, int Index)
{
    if (Index < 0) return -1;
    std::uint32_t from = Location + DATA_BYTE_STEP * static_cast<std::uint32_t>(Index);
    if (from >= NoBytes) return -1;
    return firstHexByte(Buf, NoBytes, from);
}

int RS232_ParseKaltroSWVer(const char *Buf, std::uint32_t NoBytes)
{
    std::uint32_t p = 0;
    while (p < NoBytes && !at(Buf, NoBytes, p, "ver."))
        p++;
    if (p >= NoBytes) return -1;
    p += 4;
    int major = 0, minor = 0;
    for (; p < NoBytes && Buf[p] != '.'; p++)
        if (isDigit(Buf[p])) major = addDigit(major, Buf[p], VERSION_MAX);
    if (p >= NoBytes) return 0; /* no "." after the major number: no version */
    for (p++; p < NoBytes && Buf[p] != ' '; p++)
        if (isDigit(Buf[p])) minor = addDigit(minor, Buf[p], VERSION_MAX);
    return major * 256 + minor;
}

int RS232_ParseVoltage(const char *Buf, std::uint32_t NoBytes)
{
    std::uint32_t p = 0;
    while (p < NoBytes && !at(Buf, NoBytes, p, "volt"))
        p++;
    while (p < NoBytes && !isDigit(Buf[p]))
        p++;
    int value = 0;
    for (; p < NoBytes && (isDigit(Buf[p]) || Buf[p] == '.'); p++)
        if (Buf[p] != '.') value = addDigit(value, Buf[p], VOLTAGE_MAX);
    return value;
}

int RS232_VoltageLevel(int Value)
{
    for (int level = 0; level < 15; level++)
        if (Value <= levelTop[level]) return level;
    return 15;
}

char *RS232_ParseConfigName(char *Buf, std::uint32_t NoBytes)
{
    static const char marker[] = "Name stored: ";
    for (std::uint32_t p = 0; p < NoBytes && Buf[p] != '\0'; p++) {
        if (!at(Buf, NoBytes, p, marker)) continue;
        std::uint32_t start = p + sizeof marker - 1, end = start;
        while (end < NoBytes && Buf[end] != '\n' && Buf[end] != '\r')
            end++;
        Buf[end] = '\0';
        return Buf + start;
    }
    return nullptr;
}

int RS232_ParseUBRecord(const char *Buf, std::uint32_t NoBytes, std::uint32_t Location,
                        VelnorCfg_t *Cfg)
{
    int d[UB_RECORD_BYTES];
    /* All eight bytes first: a reply cut short must not leave a half-filled
     * record or a row of zeros. */
    for (int i = 0; i < UB_RECORD_BYTES; i++) {
        d[i] = RS232_GetDataByte(Buf, NoBytes, Location, i);
        if (d[i] < 0) return 1;
    }
    int freq = (d[1] << 4) | (d[2] >> 4);
    Cfg->UBNo = static_cast<std::uint8_t>(d[0] & 0x1F);
    if (freq == UB_EMPTY_FREQ) {
        Cfg->Active = 0;
        Cfg->Feed = 0;
        Cfg->UBFreq = 0;
        Cfg->UBFreqDec = 0;
        Cfg->BW = 40;
        Cfg->StaticMode = 0;
        Cfg->ConvFreq = 0;
        Cfg->ConvPol = 'V';
        Cfg->AGCVal = -22;
        return 0;
    }
    Cfg->Feed = static_cast<std::uint8_t>(d[0] >> 5);
    Cfg->UBFreq = static_cast<std::uint16_t>(freq);
    Cfg->UBFreqDec = static_cast<std::uint8_t>(d[2] & 0x0F);
    Cfg->BW = static_cast<std::uint8_t>(d[3]);
    Cfg->ConvPol = (d[4] & 0x80) ? 'H' : 'V';
    Cfg->ConvFreq = static_cast<std::uint16_t>(((d[4] & 0x7F) << 8) | d[5]);
    Cfg->AGCVal = static_cast<std::int8_t>(d[6]);
    Cfg->SpectralInversion = static_cast<std::uint8_t>(d[7] & 0x01);
    Cfg->Active = 1;
    Cfg->StaticMode = Cfg->ConvFreq != 0 ? 1 : 0;
    return 0;
}

void RS232_BuildNameCommand(char (&Cmd)[RS232_NAME_CMD_LEN], const char *Name)
{
    std::size_t n = 0;
    std::memcpy(Cmd, "lnaw ", 5);
    n = 5;
    /* Cut to 43 characters, and never a control character: a carriage return
     * in a name would end the command early and start another one. */
    for (int i = 0; Name && Name[i] != '\0' && i < RS232_NAME_MAX; i++) {
        unsigned char c = static_cast<unsigned char>(Name[i]);
        Cmd[n++] = (c >= 0x20 && c <= 0x7E) ? static_cast<char>(c) : '?';
    }
    Cmd[n++] = '\r';
    Cmd[n] = '\0';
}

/* fuzz_replies.cpp -- libFuzzer target: every parser of the Kaltro's and the
 * device's replies over arbitrary bytes, first directly over one read, then
 * through every command that collects them from the stand-in port
 * (standin.h).
 *
 * For the parsers the input stands as a read leaves it in the reply buffer:
 * at most RS232_BUF_SIZE - 1 bytes, a NUL after the last; it is put at the
 * very end of a buffer of that size, so a parser that runs past the NUL
 * leaves the buffer. (A read drops the line's NUL bytes; here they stay, so
 * the parsers meet them too.) For the commands the same input is the
 * sequence of reads. Besides the sanitizers, it checks the ranges the
 * callers rely on: data bytes 0 to 255 or -1, a band record's fields within
 * their bits (UBNo indexes the status tables) or the record left as it was,
 * supply levels 0 to 15, each getter's limits, and names and commands that
 * end at their line.
 */
#include "fuzz/standin.h"
#include "link/rs232.h"

#include <cstring>

static char reply[RS232_BUF_SIZE];

static void checkRecord(const VelnorCfg_t &c)
{
    STANDIN_Check(c.UBNo < MAX_UB);
    if (c.Active == 0) return; /* an empty slot */
    STANDIN_Check(c.Feed < 8 && c.UBFreq < 4096 && c.UBFreqDec < 16 && c.ConvFreq < 0x8000);
    STANDIN_Check((c.ConvPol == 'H' || c.ConvPol == 'V') && c.SpectralInversion <= 1);
    STANDIN_Check(c.StaticMode == (c.ConvFreq != 0 ? 1 : 0));
}

/* A band record from parse(), or the record untouched when it says 1. */
template <typename F> static void checkBand(F parse)
{
    VelnorCfg_t cfg, before;
    std::memset(&cfg, 0xA5, sizeof cfg);
    std::memcpy(&before, &cfg, sizeof cfg);
    if (parse(&cfg) == 0)
        checkRecord(cfg);
    else
        STANDIN_Check(std::memcmp(&cfg, &before, sizeof cfg) == 0);
}

static bool oneLine(const char *text)
{
    return std::strcspn(text, "\r\n") == std::strlen(text);
}

static void parsers(const std::uint8_t *data, std::size_t size)
{
    if (size >= RS232_BUF_SIZE) return;
    const auto n = static_cast<std::uint32_t>(size);
    char *buf = reply + RS232_BUF_SIZE - 1 - n;
    std::memcpy(buf, data, n);
    buf[n] = '\0';

    RS232_GetHexDigit(buf, n);
    std::uint32_t loc = 0;
    if (RS232_FindDeviceReply(buf, n, &loc) != RS232_REPLY_NONE)
        STANDIN_Check(loc >= 8 && loc <= n);
    for (int i = 0; i < 8; i++) {
        const int d = RS232_GetDataByte(buf, n, loc, i);
        STANDIN_Check(d >= -1 && d <= 255);
    }
    checkBand([&](VelnorCfg_t *c) { return RS232_ParseUBRecord(buf, n, loc, c); });
    const int version = RS232_ParseKaltroSWVer(buf, n);
    STANDIN_Check(version >= -1 && version <= 0xFFFF);
    const int level = RS232_VoltageLevel(RS232_ParseVoltage(buf, n));
    STANDIN_Check(level >= 0 && level <= 15);
    const std::uint8_t answer = RS232_FirstXModemAnswer(buf, n);
    STANDIN_Check(answer == 0 || answer == XM_ACK || answer == XM_NAK || answer == XM_CAN);

    /* The read as a name to store: one command line, whatever it holds. */
    char cmd[RS232_NAME_CMD_LEN];
    RS232_BuildNameCommand(cmd, buf);
    const std::size_t len = std::strlen(cmd);
    STANDIN_Check(len >= 6 && cmd[len - 1] == '\r' && std::strcspn(cmd, "\r\n") == len - 1);
    const char *name = RS232_ParseConfigName(buf, n);
    if (name) STANDIN_Check(name >= buf && name <= buf + n && oneLine(name));
}

static void commands(const std::uint8_t *data, std::size_t size)
{
    STANDIN_SetReads(data, size, 0);
    STANDIN_Check(RS232_KaltroIdentification() <= RS232_FAILED);
    const int level = RS232_GetVoltage();
    STANDIN_Check(level >= 0 && level <= 15);
    RS232_GetKaltroSWVer();
    const char *name = RS232_ReadConfigName();
    if (name) STANDIN_Check(oneLine(name));

    const int id = RS232_GetDeviceID();
    STANDIN_Check(id >= -1 && id <= 255);
    RS232_GetDBaseVersion();
    RS232_GetSWVersion();
    RS232_GetTemperature();
    RS232_GetFWVersion();
    RS232_GetSN();
    RS232_GetUBNumber();
    STANDIN_Check(RS232_GetEN50494Plus() <= 1 && RS232_GetWideBandInfo() <= 1);
    STANDIN_Check(RS232_GetLegacyInfo() <= 2 && RS232_GetChainConnection() <= 15);
    STANDIN_Check(RS232_GetOutputNumber() <= 1);
    int lo = -1, hi = -1;
    if (RS232_GetLOFrequency(&lo, &hi) == RS232_OK)
        STANDIN_Check(lo >= 0 && lo <= 0xFFFF && hi >= 0 && hi <= 0xFFFF);
    else
        STANDIN_Check(lo == 0 && hi == 0);
    checkBand([](VelnorCfg_t *c) { return RS232_ReadBand(c, 3); });

    const std::int8_t en = RS232_ProgramEN5520(0, 3, 1210, 46, -21, 0, 0, 0, 0);
    STANDIN_Check(en >= RS232_EN_ACCEPTED && en <= RS232_EN_REFUSED);
    RS232_SetLegacyInfo(1);
    STANDIN_Check(RS232_GetDrainReply() <= RS232_FAILED);
    STANDIN_Check(RS232_GetOKReply() <= RS232_FAILED);
    /* A port lost on the way is opened again, as before a dialog's next
     * command. */
    if (RS232_PortLost()) RS232_Reconnect();
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    parsers(data, size);
    if (STANDIN_Open()) commands(data, size);
    return 0;
}

/* protocol.cpp -- the command protocol: every Kaltro and device command,
 * how its reply is collected, and the value each operation returns.
 *
 * State: only the device's answer to the last command: to the last drained
 * setter (RS232_GetDrainReply, RS232_GetDrainAnswer) and to the last command
 * sent for a reply (RS232_GetLastAnswer). It writes and reads through the
 * port module and parses with replies.cpp. A command is written exactly
 * once; only reads are repeated. Results are the values the callers rely on:
 * 0 for success and small positive codes for failures, -1 (or 0, per
 * command) from getters without an acceptable reply.
 */
#include "link/rs232.h"

#include <cstdio>
#include <cstring>

constexpr int REPLY_ATTEMPTS = 7;       /* reads a device command waits for its reply */
constexpr unsigned REPLY_PAUSE_MS = 50; /* before each of those reads: the device's turn */
/* Reads of a probe for a device coming on: a prompt device answers in the
 * first; a slower one's answer stays in the line and is found by the next
 * probe, so one read is enough. */
constexpr int PROBE_ATTEMPTS = 1;
constexpr int OK_REPLY_READS = 7;       /* reads that wait for a device's acceptance line */
constexpr int ID_READS = 5;             /* reads that wait for the identification */
constexpr int SWVER_READS = 7;          /* reads that wait for the software version */
constexpr unsigned ID_PAUSE_MS = 50;    /* after the bare carriage return */
constexpr unsigned CLOSE_PAUSE_MS = 5;  /* before the closing read */
constexpr unsigned QUERY_PAUSE_MS = 10; /* before the one read of "volt" and "lnar" */
constexpr unsigned DRAIN_PAUSE_MS = 50; /* before a drain starts reading */
/* A peer that never stops talking would hold a drain forever; this many
 * reads (at most 200 ms each) are enough for any answer of a setter. */
constexpr int DRAIN_READS_MAX = 16;
constexpr std::uint8_t KALTRO_ID = 0x54; /* what the Kaltro answers to "gtid" */
constexpr int CMD_LEN = 64;              /* the longest command, "entp", is 50 */

static int writeText(const char *text)
{
    return WriteABuffer(text, static_cast<std::uint32_t>(strlen(text)));
}

/* The device's answer to the last drained command (RS232_GetDrainAnswer)
 * and to the last RS232_SendCommand (RS232_GetLastAnswer). */
static int lastDrainAnswer = RS232_REPLY_NONE;
static int lastAnswer = RS232_REPLY_NONE;
/* Text of one drain kept for the answer search: a setter's answer is the
 * echo and one "Rx:" line, far shorter. */
constexpr std::uint32_t DRAIN_KEEP = 512;

/* Who answers a drained command: the Kaltro itself in plain text, or the
 * device through it with an "Rx:" line. */
enum Answerer { BY_KALTRO, BY_DEVICE };

/* The device's answer anywhere in text: accepted when any "Rx:" header
 * accepts, refused when a complete header came and none accepts, else
 * none. */
static int answerIn(const char *text, std::uint32_t n)
{
    int found = RS232_REPLY_NONE;
    for (std::uint32_t p = 0; p < n; p++) {
        if (text[p] != 'R') continue;
        const int kind = RS232_FindDeviceReply(text + p, n - p, nullptr);
        if (kind == RS232_REPLY_ACCEPTED) return kind;
        if (kind == RS232_REPLY_REFUSED) found = kind;
    }
    return found;
}

/* Writes a command, then reads away whatever comes back until the line is
 * quiet. The reply decides nothing here; it is only searched for the
 * device's answer afterwards, over all reads together, so a line split by a
 * pause still counts. The Kaltro echoes a relayed command at once, but the
 * device may answer it hundreds of milliseconds later: until a complete
 * header is in, a quiet read does not end the drain of a device command,
 * which waits as RS232_SendCommand does, up to REPLY_ATTEMPTS reads in all,
 * each further one after the device's turn. A prompt device's answer is in
 * before the first quiet read, so its drain reads exactly as before. */
static void drain(const char *command, Answerer by)
{
    char kept[DRAIN_KEEP + 1];
    std::uint32_t n = 0, used = 0;
    /* A command that did not go out gets no answer worth waiting for. */
    const bool waitForDevice = writeText(command) != 0 && by == BY_DEVICE;
    RS232_Pause(DRAIN_PAUSE_MS);
    for (int i = 0; i < DRAIN_READS_MAX; i++) {
        const char *buf = ReadABuffer(&n);
        if (n == 0) {
            if (!waitForDevice || i + 1 >= REPLY_ATTEMPTS || RS232_PortLost() != 0 ||
                answerIn(kept, used) != RS232_REPLY_NONE)
                break;
            RS232_Pause(REPLY_PAUSE_MS);
            continue;
        }
        const std::uint32_t take = n < DRAIN_KEEP - used ? n : DRAIN_KEEP - used;
        std::memcpy(kept + used, buf, take);
        used += take;
    }
    kept[used] = '\0';
    lastDrainAnswer = answerIn(kept, used);
}

/* "<verb> <value>\r", drained. */
static void drainValue(const char *verb, int value, Answerer by)
{
    char cmd[CMD_LEN];
    snprintf(cmd, sizeof cmd, "%s %d\r", verb, value);
    drain(cmd, by);
}

int RS232_GetDrainReply()
{
    return lastDrainAnswer == RS232_REPLY_ACCEPTED ? RS232_OK : RS232_FAILED;
}

int RS232_GetDrainAnswer()
{
    return lastDrainAnswer;
}

int RS232_GetLastAnswer()
{
    return lastAnswer;
}

/* Sends a device command and takes its data bytes D1 .. Dcount. 0 with
 * out[] filled, 1 when the device did not accept or a byte is missing. */
static int deviceBytes(const char *command, int count, int *out)
{
    std::uint32_t n = 0, loc = 0;
    char *reply = RS232_SendCommand(command, &n, &loc);
    if (!reply) return 1;
    for (int i = 0; i < count; i++) {
        out[i] = RS232_GetDataByte(reply, n, loc, i);
        if (out[i] < 0) return 1;
    }
    return 0;
}

/* D1 of a device command as a signed byte, or failure. */
static std::int8_t signedByte(const char *command, std::int8_t failure)
{
    int d = 0;
    if (deviceBytes(command, 1, &d) != 0) return failure;
    return static_cast<std::int8_t>(d);
}

/* D1 .. Dcount high byte first, or failure. */
static int bigEndian(const char *command, int count, int failure)
{
    int d[4] = {};
    if (deviceBytes(command, count, d) != 0) return failure;
    std::uint32_t v = 0;
    for (int i = 0; i < count; i++)
        v = (v << 8) | static_cast<std::uint32_t>(d[i]);
    return static_cast<int>(v);
}

/* ---- Device replies --------------------------------------------------------- */

/* Writes command once and reads up to attempts times for the device's reply
 * (RS232_SendCommand). */
static char *sendCommand(const char *Command, int attempts, std::uint32_t *NoBytes,
                         std::uint32_t *Location)
{
    std::uint32_t loc = 0;
    *NoBytes = 0;
    if (Location) *Location = 0;
    lastAnswer = RS232_REPLY_NONE;
    /* A command that did not go out gets no reply; reading for it would only
     * cost time. */
    if (!writeText(Command)) return nullptr;
    for (int attempt = 0; attempt < attempts; attempt++) {
        RS232_Pause(REPLY_PAUSE_MS);
        char *buf = ReadABuffer(NoBytes);
        int kind = RS232_FindDeviceReply(buf, *NoBytes, &loc);
        if (kind == RS232_REPLY_NONE) continue;
        lastAnswer = kind;
        if (Location) *Location = loc;
        /* A refusal ends the command at once: no further reads. */
        return kind == RS232_REPLY_ACCEPTED ? buf : nullptr;
    }
    return nullptr;
}

char *RS232_SendCommand(const char *Command, std::uint32_t *NoBytes, std::uint32_t *Location)
{
    return sendCommand(Command, REPLY_ATTEMPTS, NoBytes, Location);
}

int RS232_ProbeDeviceID()
{
    std::uint32_t n = 0, loc = 0;
    const char *reply = sendCommand("lnbe\r", PROBE_ATTEMPTS, &n, &loc);
    return reply != nullptr ? RS232_GetDataByte(reply, n, loc, 0) : -1;
}

int RS232_GetOKReply()
{
    int answer = RS232_REPLY_NONE;
    /* All seven reads are made even after a match: the acceptance line may
     * be followed by more of the device's output. */
    for (int i = 0; i < OK_REPLY_READS; i++) {
        std::uint32_t n = 0;
        char *buf = ReadABuffer(&n);
        for (std::uint32_t p = 0; p < n && answer != RS232_REPLY_ACCEPTED; p++) {
            const int kind = RS232_FindDeviceReply(buf + p, n - p, nullptr);
            if (kind != RS232_REPLY_NONE) answer = kind;
        }
    }
    lastAnswer = answer;
    return answer == RS232_REPLY_ACCEPTED ? RS232_OK : RS232_FAILED;
}

/* ---- Kaltro commands --------------------------------------------------------- */

int RS232_KaltroIdentification()
{
    std::uint32_t n = 0;
    writeText("\r");
    ReadABuffer(&n); /* whatever the bare return brings up is discarded */
    RS232_Pause(ID_PAUSE_MS);
    writeText("gtid\r");
    for (int i = 0; i < ID_READS; i++) {
        char *buf = ReadABuffer(&n);
        if (RS232_GetHexDigit(buf, n) == KALTRO_ID) return RS232_OK;
    }
    return RS232_FAILED;
}

void RS232_KaltroClose()
{
    std::uint32_t n = 0;
    writeText("\r");
    RS232_Pause(CLOSE_PAUSE_MS);
    ReadABuffer(&n);
}

std::uint16_t RS232_GetKaltroSWVer()
{
    std::uint32_t n = 0;
    writeText("prsw\r");
    for (int i = 0; i < SWVER_READS; i++) {
        char *buf = ReadABuffer(&n);
        int v = RS232_ParseKaltroSWVer(buf, n);
        if (v >= 0) return static_cast<std::uint16_t>(v);
    }
    return 0;
}

int RS232_GetVoltage()
{
    std::uint32_t n = 0;
    writeText("volt\r");
    RS232_Pause(QUERY_PAUSE_MS);
    char *buf = ReadABuffer(&n);
    if (n == 0) return 0;
    return RS232_VoltageLevel(RS232_ParseVoltage(buf, n));
}

int RS232_SetVoltage(int Voltage)
{
    char cmd[CMD_LEN];
    snprintf(cmd, sizeof cmd, "setv %d\r", Voltage);
    writeText(cmd); /* the Kaltro's answer is left for the next read */
    return 0;
}

void RS232_Set22kHzTone(std::uint8_t Active)
{
    drainValue("to22", Active > 1 ? 1 : Active, BY_KALTRO);
}

void RS232_SetConfigType(std::uint8_t Type)
{
    drainValue("lnal", Type, BY_KALTRO);
}

void RS232_StoreConfigName(const char *Name)
{
    char cmd[RS232_NAME_CMD_LEN];
    RS232_BuildNameCommand(cmd, Name);
    drain(cmd, BY_KALTRO);
}

char *RS232_ReadConfigName()
{
    std::uint32_t n = 0;
    writeText("lnar\r");
    RS232_Pause(QUERY_PAUSE_MS);
    char *buf = ReadABuffer(&n);
    return RS232_ParseConfigName(buf, n);
}

/* ---- Device getters ----------------------------------------------------------- */

int RS232_GetDeviceID()
{
    int d = 0;
    return deviceBytes("lnbe\r", 1, &d) == 0 ? d : -1;
}

std::int8_t RS232_GetDBaseVersion()
{
    return signedByte("lnbd\r", 0);
}

std::int8_t RS232_GetSWVersion()
{
    return signedByte("lnbv\r", 0);
}

int RS232_GetTemperature()
{
    return bigEndian("lnbc\r", 2, 0);
}

int RS232_GetFWVersion()
{
    return bigEndian("lnbm\r", 4, 0);
}

int RS232_GetSN()
{
    return bigEndian("lnbn\r", 4, 0);
}

/* Negative values (0x80 to 0xFF) pass the limits unchanged. */
std::int8_t RS232_GetEN50494Plus()
{
    std::int8_t v = signedByte("lnbk\r", -1);
    return v > 1 ? 1 : v;
}

std::int8_t RS232_GetWideBandInfo()
{
    std::int8_t v = signedByte("lnab\r", -1);
    return v > 1 ? 1 : v;
}

std::int8_t RS232_GetLegacyInfo()
{
    std::int8_t v = signedByte("legg\r", -1);
    return v > 2 ? 0 : v;
}

std::int8_t RS232_GetChainConnection()
{
    std::int8_t v = signedByte("lncb\r", -1);
    return v > 15 ? -1 : v;
}

int RS232_GetLOFrequency(int *LOFreqL, int *LOFreqH)
{
    int d[4] = {};
    if (deviceBytes("lnbj\r", 4, d) != 0) {
        *LOFreqL = 0;
        *LOFreqH = 0;
        return RS232_FAILED;
    }
    *LOFreqL = (d[0] << 8) | d[1];
    *LOFreqH = (d[2] << 8) | d[3];
    return RS232_OK;
}

std::int8_t RS232_GetUBNumber()
{
    return signedByte("lnbb\r", -1);
}

std::int8_t RS232_GetOutputNumber()
{
    std::int8_t v = signedByte("lndo\r", -1);
    return v > 1 ? -1 : v;
}

int RS232_ReadBand(VelnorCfg_t *VelnorCfg, int UBNumber)
{
    char cmd[CMD_LEN];
    std::uint32_t n = 0, loc = 0;
    snprintf(cmd, sizeof cmd, "lnbg %d\r", UBNumber);
    char *reply = RS232_SendCommand(cmd, &n, &loc);
    return reply != nullptr && RS232_ParseUBRecord(reply, n, loc, VelnorCfg) == 0 ? 0 : 1;
}

int RS232_ReadConfig(VelnorCfg_t *VelnorCfg, int UBNumber)
{
    RS232_ReadBand(VelnorCfg, UBNumber);
    return 0;
}

/* ---- Device setters and programming ---------------------------------------------- */

std::int8_t RS232_ProgramEN5520(std::uint8_t OutNo, std::uint8_t UBNumber, std::uint16_t UBFreq,
                                std::uint8_t UB_BW, std::int8_t Level, std::uint16_t TPFreq,
                                std::uint8_t TPPol, std::uint8_t Feed, std::uint8_t SI)
{
    char cmd[CMD_LEN];
    std::uint32_t n = 0, loc = 0;
    snprintf(cmd, sizeof cmd, "entp %u %u %u 0 %u %d %u %u %u %u\r", OutNo, UBNumber, UBFreq, UB_BW,
             Level, TPFreq, TPPol, Feed, SI);
    if (RS232_SendCommand(cmd, &n, &loc)) return RS232_EN_ACCEPTED;
    return loc > 0 ? RS232_EN_REFUSED : RS232_EN_NO_REPLY;
}

void RS232_SetEN50494Plus(std::uint8_t Active)
{
    drainValue("lnah", Active > 1 ? 1 : Active, BY_DEVICE);
}

void RS232_SetInputsType(std::uint8_t Type)
{
    drainValue("lnaa", Type > 1 ? 1 : Type, BY_DEVICE);
}

void RS232_SetLegacyInfo(std::uint8_t Legacy)
{
    drainValue("legs", Legacy > 2 ? 0 : Legacy, BY_DEVICE);
}

void RS232_SetChainConnection(int Active, int Selection)
{
    char cmd[CMD_LEN];
    if (Active == 0)
        snprintf(cmd, sizeof cmd, "lnca 0 0\r");
    else
        snprintf(cmd, sizeof cmd, "lnca 1 %d\r", Selection & 7);
    drain(cmd, BY_DEVICE);
}

void RS232_StoreDBaseVer(std::uint8_t Version)
{
    drainValue("lnad", Version, BY_DEVICE);
}

/* fuzz_xmodem.cpp -- libFuzzer target: the transfer of ops/ (XFEROP_Open,
 * then XFEROP_Operation.Step while a step is due, as brevant-cli runs it)
 * against a Kaltro, a device and a receiver that answer anything, through the
 * stand-in port (standin.h).
 *
 * The input is
 *   byte 0     bits 0-1 the transfer mode (0 to 2; 3 stands for any other);
 *              bit 2 set: the input answers the opening too, else the canned
 *              replies do; bit 3 set: an outcome that lingers gets its
 *              closing step, as a dialog runs it, else it is cancelled at
 *              once, as brevant-cli does
 *   byte 1     bits 0-6 modulo 12, less 1: the model (-1 to 10) of the main
 *              window and, in the canned opening, of the device; bit 7 set:
 *              the canned device is of the next model (10 and -1 go to 0)
 *   bytes 2-3  the image size, high byte first, taken modulo 8193: up to
 *              eight 1024-byte blocks, then the 128-byte ones, and every
 *              remainder between
 *   byte 4     the most bytes one write takes (0: all it is given)
 *   the rest   the reads, as the stand-in takes them: the receiver's answers
 *              after the canned opening, or everything from the read after
 *              the identification's bare return.
 * The canned opening answers the bare return with a quiet line, "gtid" with
 * "0x54", "to22 0" with a quiet line, "lnbe" with the device's ID in
 * "Rx: 0xE4 0x.." (no model: seven quiet reads) and, in mode 0, "lnbs" with
 * "Rx: 0xE4".
 *
 * Time limits run on the real clock (OPS_NowMs), while the stand-in's quiet
 * reads take none, so a quiet receiver would hold a run for the whole limit:
 * the transfer waits without one, as in the windows, and once IDLE_STEPS
 * steps in a row have taken nothing from the input (it is used up, or the
 * port is lost), the receiver has gone quiet for good and the transfer is
 * abandoned (OPS_ABANDON), as brevant-cli abandons one past its limit.
 *
 * Besides the sanitizers, it checks
 * - everything written against the state it was written in: a packet's
 *   header, number and complement, the image bytes from the offset
 *   acknowledged so far, the padding and the CRC; EOT only when nothing
 *   remains; the first packet only after the mode's start command ("lnbs 2",
 *   "lnbs 4" for the EN group, "rest", "load") and, in the canned opening of
 *   mode 0, only to a device of the main window's model;
 * - one outcome a run: Ended at most once, and once when the steps stop by
 *   themselves; no step asked for after it; Linger only after it, and the
 *   closing step then Finishes; a port lost in the steps ends the run by
 *   itself, as line lost (or done, when the device's acceptance came first);
 * - done only after the receiver's ACK of EOT, and in mode 0 only after the
 *   device's acceptance ("Rx:", a character, "0xE4") read after that ACK;
 * - the cancel: it returns the outcome reported (cancelled when none was),
 *   and writes CAN CAN exactly while the Kaltro is receiving (from the start
 *   until it cancels a packet or ACKs EOT), then the closing "\r" unless the
 *   operation closed the exchange itself.
 */
#include "config/dcss.h"
#include "config/velnor.h"
#include "fuzz/standin.h"
#include "link/rs232.h"
#include "ops/xferop.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

/* The largest image: longer ones only repeat the 1024-byte blocks, each
 * costing two CRCs (the sender's and the check's) for nothing new. */
constexpr int IMAGE_MAX = 8192;
constexpr std::size_t HEADER_LEN = 5; /* mode and switches, model, size, write limit */
constexpr unsigned char INPUT_OPENING = 0x04;
constexpr unsigned char CLOSING_STEP = 0x08;
constexpr unsigned char NEXT_MODEL = 0x80;
/* More steps in a row than any that reads nothing new before a wait. */
constexpr int IDLE_STEPS = 8;

static unsigned char imageArea[IMAGE_MAX]; /* an image ends where this ends */
static const unsigned char *image = nullptr;
static int imageSize = 0;
static int mode = 0;
static int windowModel = -1;
static bool startChecked = false; /* the start command was checked at the first packet */
static bool startAllowed = false; /* what the target knows allows the start */

/* The display's side of the run. */
static struct {
    bool stepping; /* the opening is over */
    int ended;
    OpsEnd_t end;
    bool due;
    bool lingering;
    bool finished;
} D;

/* The receiver's side: what was written last, whether its answer has come,
 * and what the reads told. */
enum class Sent { Command, Packet, Eot };
static struct {
    Sent sent;
    char command[16]; /* the last command line, when it fits */
    std::size_t commandLen;
    bool answered;
    bool receiving;
    bool eotAcked;
} Rx;
static std::string afterAck; /* what was read after the ACK of EOT */
static bool cancelling = false;
static std::string cancelWrote;

static void checkPacket(const unsigned char *w, std::size_t len)
{
    const int left = RS232_GetCurrentXModemSize();
    const int block = left > XM_LARGE_ABOVE ? XM_BLOCK_LARGE : XM_BLOCK_SMALL;
    const int count = left < block ? left : block;
    const std::uint8_t number = RS232_GetPacketNumber();
    STANDIN_Check(count > 0 && len == static_cast<std::size_t>(block + 5));
    STANDIN_Check(w[0] == (block == XM_BLOCK_LARGE ? XM_STX : XM_SOH));
    STANDIN_Check(w[1] == number && w[2] == 255 - number);
    STANDIN_Check(std::memcmp(w + 3, image + (imageSize - left), count) == 0);
    for (int i = count; i < block; i++)
        STANDIN_Check(w[3 + i] == XM_PAD);
    const std::uint16_t crc = RS232_CalculateCRC16(w + 3, block);
    STANDIN_Check(w[3 + block] == crc >> 8 && w[4 + block] == (crc & 0xFF));
}

static const char *startCommand()
{
    switch (mode) {
    case XM_TYPE_DEVICE: return DCSS_IsENGroup(windowModel) ? "lnbs 4\r" : "lnbs 2\r";
    case XM_TYPE_KALTRO_SW: return "rest\r";
    case XM_TYPE_KALTRO_CFG: return "load\r";
    default: return nullptr;
    }
}

static void checkWritten(const unsigned char *w, std::size_t len)
{
    if (cancelling) return void(cancelWrote.append(reinterpret_cast<const char *>(w), len));
    Rx.answered = false;
    if (w[0] == XM_EOT) {
        Rx.sent = Sent::Eot;
        return STANDIN_Check(len == 1 && RS232_GetCurrentXModemSize() == 0);
    }
    if (w[0] != XM_SOH && w[0] != XM_STX) {
        Rx.sent = Sent::Command;
        Rx.commandLen = len <= sizeof Rx.command ? len : 0;
        std::memcpy(Rx.command, w, Rx.commandLen);
        return;
    }
    if (!startChecked) {
        const char *start = startCommand();
        STANDIN_Check(startAllowed && start != nullptr && Rx.commandLen == std::strlen(start) &&
                      std::memcmp(Rx.command, start, Rx.commandLen) == 0);
        startChecked = true;
    }
    Rx.sent = Sent::Packet;
    checkPacket(w, len);
}

/* The receiver's answer to a packet or EOT is the first ACK, NAK or CAN of
 * the first read that has one. A CAN after EOT is taken for noise: the
 * transfer waits on for the EOT's answer. */
static void watchRead(const unsigned char *r, std::size_t len)
{
    if (Rx.eotAcked) return void(afterAck.append(reinterpret_cast<const char *>(r), len));
    if (Rx.sent == Sent::Command || Rx.answered) return;
    const unsigned char *c = r;
    while (c < r + len && *c != XM_ACK && *c != XM_NAK && *c != XM_CAN)
        c++;
    if (c == r + len || (Rx.sent == Sent::Eot && *c == XM_CAN)) return;
    Rx.answered = true;
    if (Rx.sent == Sent::Packet && *c == XM_CAN) Rx.receiving = false;
    if (Rx.sent == Sent::Eot && *c == XM_ACK) Rx.receiving = false, Rx.eotAcked = true;
}

static bool acceptedAfterAck()
{
    for (std::size_t p = afterAck.find("Rx:"); p != std::string::npos;
         p = afterAck.find("Rx:", p + 1))
        if (afterAck.compare(p + 4, 4, "0xE4") == 0) return true;
    return false;
}

static void status(void *, int) {}
static void progress(void *, int percent)
{
    STANDIN_Check(percent >= 0 && percent <= 100);
}
static void tick(void *, unsigned)
{
    STANDIN_Check(D.ended == 0);
    D.due = true;
}
static void linger(void *, unsigned)
{
    STANDIN_Check(D.ended == 1);
    D.lingering = true;
}
static void noPause(void *, unsigned) {} /* the stand-in's clock makes pauses free */
static void ended(void *, const OpsEnd_t *end)
{
    STANDIN_Check(D.ended++ == 0);
    D.end = *end;
    /* A device's acceptance read before the port went still counts. */
    if (D.stepping && RS232_PortLost())
        STANDIN_Check(end->Outcome == OPS_LINE_LOST || end->Outcome == OPS_DONE);
}
static void finished(void *)
{
    D.finished = true;
}
static const OpsDisplay_t display = {nullptr, status,  progress, tick,
                                     linger,  noPause, ended,    finished};

/* The canned replies of the opening, as reads. */
static void cannedOpening(int device, std::vector<unsigned char> &out)
{
    auto read = [&](const char *text) {
        out.push_back(static_cast<unsigned char>(std::strlen(text)));
        out.insert(out.end(), text, text + std::strlen(text));
    };
    read("");     /* the bare return */
    read("0x54"); /* "gtid" */
    read("");     /* "to22 0" */
    if (device >= 0) {
        char id[16];
        std::snprintf(id, sizeof id, "Rx: 0xE4 0x%02X", DCSS_GetDeviceID(device));
        read(id);
    } else {
        for (int i = 0; i < 7; i++)
            read("");
    }
    if (mode == XM_TYPE_DEVICE) read("Rx: 0xE4"); /* "lnbs" */
}

/* Fills the image area once, before the first input. */
extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    for (int i = 0; i < IMAGE_MAX; i++)
        imageArea[i] = static_cast<unsigned char>((i * 31) ^ (i >> 8));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size < HEADER_LEN) return 0;
    mode = data[0] & 3;
    const bool inputOpening = (data[0] & INPUT_OPENING) != 0;
    windowModel = (data[1] & 0x7F) % (DCSS_MODEL_COUNT + 1) - 1;
    const int device =
        (data[1] & NEXT_MODEL) != 0 ? (windowModel + 1) % DCSS_MODEL_COUNT : windowModel;
    VelnorData.Model = static_cast<std::int8_t>(windowModel);
    imageSize = (data[2] << 8 | data[3]) % (IMAGE_MAX + 1);
    image = imageArea + IMAGE_MAX - imageSize;

    D = {};
    Rx = {};
    afterAck.clear();
    cancelling = false;
    cancelWrote.clear();
    startChecked = false;
    startAllowed = inputOpening || mode != XM_TYPE_DEVICE || device == windowModel;
    STANDIN_SetWriteCheck(checkWritten);
    STANDIN_SetReadWatch(watchRead);
    if (!STANDIN_Open()) return 0; /* again after a hang-up; it writes only commands */

    static std::vector<unsigned char> reads;
    reads.clear();
    if (!inputOpening) cannedOpening(device, reads);
    reads.insert(reads.end(), data + HEADER_LEN, data + size);
    STANDIN_SetReads(reads.data(), reads.size(), data[4]);

    const XferArgs_t args = {mode, image, imageSize, 0};
    XFEROP_Open(&args, &display);
    Rx.receiving = D.due; /* the transfer started */
    D.stepping = true;
    int idle = 0;
    for (std::size_t left = STANDIN_ReadsLeft(); D.due && idle < IDLE_STEPS;) {
        D.due = false;
        XFEROP_Operation.Step();
        idle = STANDIN_ReadsLeft() == left ? idle + 1 : 0;
        left = STANDIN_ReadsLeft();
    }
    const bool abandoned = D.due;
    STANDIN_Check(abandoned ? RS232_PortLost() == 0 : D.ended == 1);
    if (D.ended == 1 && D.end.Outcome == OPS_DONE) {
        STANDIN_Check(Rx.eotAcked);
        if (mode == XM_TYPE_DEVICE) STANDIN_Check(acceptedAfterAck());
    }
    if (D.lingering && (data[0] & CLOSING_STEP) != 0) {
        XFEROP_Operation.Step();
        STANDIN_Check(D.finished && !D.due);
    }

    std::string want;
    if (RS232_PortLost() == 0) {
        if (Rx.receiving) want = {static_cast<char>(XM_CAN), static_cast<char>(XM_CAN)};
        if (!D.finished) want += '\r';
    }
    cancelling = true;
    const OpsEnd_t end = XFEROP_Operation.Cancel(OPS_ABANDON);
    STANDIN_CheckWritten();
    STANDIN_Check(cancelWrote == want);
    if (D.ended == 1)
        STANDIN_Check(end.Outcome == D.end.Outcome && end.TextId == D.end.TextId &&
                      end.Where == D.end.Where);
    else
        STANDIN_Check(end.Outcome == OPS_CANCELLED);
    return 0;
}

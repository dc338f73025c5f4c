/* xmodemrx.cpp -- the controller's XModem receiver: CRC mode, 128- and
 * 1024-byte blocks.
 *
 * State: the transfer record (kind, size, packets, how it ended), the image
 * gathered so far, the block being gathered and the timers. Steps:
 *
 *   waiting   "C" 100 ms after the start, then every second, ten in all;
 *             SOH/STX -> block; EOT -> ACK, done; CAN -> cancelled
 *   block     header, data, CRC gathered -> check:
 *               bad complement or CRC          NAK
 *               expected number                ACK (or NAK for --nak, CAN for --can-at,
 *                                              nothing from --mute-at on, or from
 *                                              the packet a faulty device drops at)
 *               the previous number again      ACK (our ACK was lost)
 *               any other number               CAN CAN, cancelled
 *             a block that stalls for a second is dropped with a NAK
 *   idle      ten seconds without a byte after the first block abandons it
 *
 * It answers through the line's control-byte queue and reports the end to
 * the controller, which stores the image or hands it to the device.
 */
#include "sim/simint.h"

#include <cstring>

constexpr unsigned char SOH = 0x01, STX = 0x02, EOT = 0x04, ACK = 0x06, NAK = 0x15, CAN = 0x18;
constexpr unsigned char CRC_START = 'C';
constexpr std::int64_t MS = 1000000;
constexpr std::int64_t FIRST_C = 100 * MS;      /* the start answer gets through first */
constexpr std::int64_t C_EVERY = 1000 * MS;     /* the sender may have missed a "C" */
constexpr int C_TRIES = 10;                     /* then the controller gives up */
constexpr std::int64_t BLOCK_STALL = 1000 * MS; /* a block that stops half-way is lost */
constexpr std::int64_t IDLE_LIMIT = 10000 * MS; /* a sender that went away */
constexpr int FRAME_MAX = 3 + 1024 + 2;

enum class Step { Idle, Waiting, Block };

static Step step = Step::Idle;
static SIM_Transfer tr;
static unsigned char image[SIM_IMAGE_MAX];
static unsigned char frame[FRAME_MAX];
static int frameLen = 0, frameNeed = 0;
static std::uint8_t expected = 1;
static int receptions = 0; /* of the expected packet, for --nak */
static int cSent = 0;
static bool anyBlock = false;
static std::int64_t nextC = 0, lastByte = 0;

std::uint16_t SIMXM_Crc16(const unsigned char *p, int len)
{
    std::uint16_t crc = 0;
    for (int i = 0; i < len; i++) {
        crc ^= static_cast<std::uint16_t>(p[i] << 8);
        for (int b = 0; b < 8; b++)
            crc = static_cast<std::uint16_t>(crc & 0x8000 ? (crc << 1) ^ 0x1021 : crc << 1);
    }
    return crc;
}

static void reply(unsigned char c)
{
    SIMIO_SendControl(&c, 1);
}

static void finish(SIM_TransferEnd end)
{
    static const char *const names[] = {"running", "done", "cancelled", "abandoned"};
    step = Step::Idle;
    tr.end = end;
    SIMIO_Log("  transfer %s: %d packets, %d bytes", names[static_cast<int>(end)], tr.packets,
              tr.size);
    SIMKAL_TransferEnded(tr.kind, image, tr.size, end);
}

static void cancel()
{
    static const unsigned char twice[2] = {CAN, CAN};
    SIMIO_SendControl(twice, 2);
    finish(SIM_TransferEnd::Cancelled);
}

static void nak()
{
    tr.naks++;
    reply(NAK);
}

void SIMXM_Reset()
{
    step = Step::Idle;
    tr = SIM_Transfer{};
}

void SIMXM_Begin(SIM_ImageKind kind, std::int64_t now)
{
    tr = SIM_Transfer{};
    tr.kind = kind;
    tr.end = SIM_TransferEnd::Running;
    step = Step::Waiting;
    expected = 1;
    receptions = 0;
    cSent = 0;
    anyBlock = false;
    nextC = now + FIRST_C;
    lastByte = now;
}

bool SIMXM_Active()
{
    return step != Step::Idle;
}

SIM_Transfer &SIMXM_Transfer()
{
    return tr;
}

const unsigned char *SIMXM_Image()
{
    return image;
}

static void checkBlock()
{
    const SIM_Options &o = SIMIO_Options();
    int size = frameNeed - 5;
    std::uint8_t num = frame[1];
    std::uint16_t sent = static_cast<std::uint16_t>((frame[3 + size] << 8) | frame[4 + size]);
    step = Step::Waiting;
    if (static_cast<std::uint8_t>(num + frame[2]) != 255 || SIMXM_Crc16(frame + 3, size) != sent) {
        SIMIO_Log("> block %u: damaged", num);
        return nak();
    }
    if (num == static_cast<std::uint8_t>(expected - 1) && tr.packets > 0) return reply(ACK);
    if (num != expected) {
        SIMIO_Log("> block %u: expected %u", num, expected);
        return cancel();
    }
    const int drop = tr.kind == SIM_ImageKind::Device ? SIMDEV_DropPacket() : 0;
    if (drop > 0 && tr.packets + 1 >= drop) SIMDEV_Drop("during the image");
    if ((o.muteAt > 0 && tr.packets + 1 >= o.muteAt) ||
        (tr.kind == SIM_ImageKind::Device && SIMDEV_State().dropped)) {
        SIMIO_Log("> block %u: not answered", num);
        return; /* a live line that answers nothing */
    }
    if (++receptions <= o.nak) return nak();
    if (o.canAt == tr.packets + 1 || tr.size + size > SIM_IMAGE_MAX) return cancel();
    std::memcpy(image + tr.size, frame + 3, static_cast<std::size_t>(size));
    tr.size += size;
    if (tr.packets < SIM_PACKET_LOG) {
        tr.block[tr.packets] = static_cast<std::uint16_t>(size);
        tr.number[tr.packets] = num;
    }
    tr.packets++;
    SIMIO_Log("> block %u (%d bytes)", num, size);
    expected++;
    receptions = 0;
    reply(ACK);
}

void SIMXM_Input(unsigned char c, std::int64_t now)
{
    lastByte = now;
    if (step == Step::Block) {
        frame[frameLen++] = c;
        if (frameLen == frameNeed) checkBlock();
        return;
    }
    if (c == SOH || c == STX) {
        anyBlock = true;
        step = Step::Block;
        frame[0] = c;
        frameLen = 1;
        frameNeed = 3 + (c == STX ? 1024 : 128) + 2;
    } else if (c == EOT) {
        SIMIO_Log("> EOT");
        reply(ACK);
        finish(SIM_TransferEnd::Done);
    } else if (c == CAN) {
        finish(SIM_TransferEnd::Cancelled);
    }
    /* anything else between blocks is line noise */
}

std::int64_t SIMXM_NextTimer()
{
    switch (step) {
    case Step::Idle: return -1;
    case Step::Block: return lastByte + BLOCK_STALL;
    case Step::Waiting: return anyBlock ? lastByte + IDLE_LIMIT : nextC;
    }
    return -1;
}

void SIMXM_Tick(std::int64_t now)
{
    if (step == Step::Block && now >= lastByte + BLOCK_STALL) {
        SIMIO_Log("> block stalled after %d bytes", frameLen);
        step = Step::Waiting;
        nak();
    } else if (step == Step::Waiting && anyBlock && now >= lastByte + IDLE_LIMIT) {
        finish(SIM_TransferEnd::Abandoned);
    } else if (step == Step::Waiting && !anyBlock && now >= nextC) {
        if (cSent == C_TRIES) return finish(SIM_TransferEnd::Abandoned);
        cSent++;
        nextC = now + C_EVERY;
        reply(CRC_START);
    }
}

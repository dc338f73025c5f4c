/* xmodem.cpp -- the XModem sender: the start command, the framing, the CRC,
 * and the classification of the receiver's answers.
 *
 * State: one transfer at a time -- `XSize` (bytes not yet acknowledged),
 * `XPtr` (offset of the next block), `XPacket` (number of the packet to
 * send, wrapping from 255 to 0) and `PacketSize` (data bytes of the packet
 * built last). The image belongs to the caller and is passed to every packet
 * call. The step-by-step driver, with its NAK counting and retries, is the
 * transfer's step machine in ops/ (run from the dialogs' timers or
 * brevant-cli's loop); each function here is one step of it:
 *
 *   RS232_KaltroDownloadInit   start command ("lnbs 2"/"lnbs 4", "rest", "load")
 *   RS232_GetXModemStarter     wait for the receiver's "C"
 *   RS232_SendXModemPacket     one packet for the current state
 *   RS232_XModemWaitACK        ACK -> RS232_XModemNextPacket; NAK -> same packet
 *   RS232_SendXModemEOT        when RS232_GetCurrentXModemSize is 0
 *
 * Block size: while more than 768 bytes remain a packet is a 1024-byte block,
 * otherwise a 128-byte block; a short block is padded with 0x1A.
 */
#include "link/rs232.h"

#include "config/dcss.h"
#include "config/image.h"

#include <cstring>

constexpr int STARTER_READS = 19; /* reads that wait for the receiver's "C" */

static std::int32_t XSize = 0;
static std::int32_t XPtr = 0;
static std::uint8_t XPacket = 1;
static std::int32_t PacketSize = 0;

std::uint16_t RS232_CalculateCRC16(const unsigned char *Buffer, std::uint16_t Size)
{
    /* the packets carry the same CRC-16 as the configuration image */
    return CalculateCRC16(Buffer, Size);
}

int RS232_KaltroDownloadInit(int Size, int Type, int ModelId)
{
    if (Size <= 0) return XM_EMPTY;
    if (Type == XM_TYPE_DEVICE) {
        /* The EN group's devices take their images with "lnbs 4". */
        const char *start = DCSS_IsENGroup(ModelId) ? "lnbs 4\r" : "lnbs 2\r";
        std::uint32_t n = 0;
        if (!RS232_SendCommand(start, &n, nullptr)) return XM_NO_DEVICE;
    } else if (Type == XM_TYPE_KALTRO_SW) {
        WriteABuffer("rest\r", 5);
    } else if (Type == XM_TYPE_KALTRO_CFG) {
        WriteABuffer("load\r", 5);
    } else {
        return XM_BAD_TYPE;
    }
    XSize = Size;
    XPacket = 1;
    XPtr = 0;
    return XM_STARTED;
}

int RS232_GetXModemStarter()
{
    /* Only CRC mode is offered: a NAK here does not start the transfer. */
    for (int i = 0; i < STARTER_READS; i++) {
        std::uint32_t n = 0;
        char *buf = ReadABuffer(&n);
        if (memchr(buf, XM_CRC_START, n)) return RS232_OK;
    }
    return RS232_FAILED;
}

int RS232_BuildXModemPacket(const unsigned char *Buffer, unsigned char *Frame)
{
    int block = XSize > XM_LARGE_ABOVE ? XM_BLOCK_LARGE : XM_BLOCK_SMALL;
    /* Nothing left (a packet asked for after the last one) sends pure
     * padding rather than copying a negative count. */
    PacketSize = XSize < block ? (XSize > 0 ? XSize : 0) : block;
    std::memset(Frame, XM_PAD, static_cast<std::size_t>(3 + block));
    Frame[0] = block == XM_BLOCK_LARGE ? XM_STX : XM_SOH;
    Frame[1] = XPacket;
    Frame[2] = static_cast<unsigned char>(255 - XPacket);
    if (PacketSize > 0) std::memcpy(Frame + 3, Buffer + XPtr, static_cast<std::size_t>(PacketSize));
    std::uint16_t crc = RS232_CalculateCRC16(Frame + 3, static_cast<std::uint16_t>(block));
    Frame[3 + block] = static_cast<unsigned char>(crc >> 8);
    Frame[4 + block] = static_cast<unsigned char>(crc & 0xFF);
    return 3 + block + 2;
}

int RS232_SendXModemPacket(const unsigned char *Buffer)
{
    unsigned char frame[XM_FRAME_MAX];
    int len = RS232_BuildXModemPacket(Buffer, frame);
    WriteABuffer(reinterpret_cast<const char *>(frame), static_cast<std::uint32_t>(len));
    return 0;
}

std::uint8_t RS232_FirstXModemAnswer(const char *Buf, std::uint32_t NoBytes)
{
    /* Line noise and text are skipped; the first control byte decides. */
    for (std::uint32_t i = 0; i < NoBytes; i++) {
        unsigned char c = static_cast<unsigned char>(Buf[i]);
        if (c == XM_ACK || c == XM_NAK || c == XM_CAN) return c;
    }
    return 0;
}

std::uint8_t RS232_GetXModemReply()
{
    std::uint32_t n = 0;
    char *buf = ReadABuffer(&n);
    return RS232_FirstXModemAnswer(buf, n);
}

int RS232_XModemWaitACK()
{
    switch (RS232_GetXModemReply()) {
    case XM_ACK: return XM_ANSWER_ACK;
    case XM_NAK: return XM_ANSWER_NAK;
    case XM_CAN: return XM_ANSWER_CAN;
    default: return XM_NO_ANSWER;
    }
}

void RS232_XModemNextPacket()
{
    XPtr += PacketSize;
    XSize -= PacketSize;
    XPacket = static_cast<std::uint8_t>(XPacket + 1);
}

int RS232_SendXModemEOT()
{
    const char eot = static_cast<char>(XM_EOT);
    WriteABuffer(&eot, 1);
    return 0;
}

std::uint8_t RS232_GetPacketNumber()
{
    return XPacket;
}

int RS232_GetCurrentXModemSize()
{
    return XSize;
}

/* fuzz_xmodem.cpp -- libFuzzer target: the XModem sender against a receiver
 * that answers anything, through the stand-in port (standin.h).
 *
 * The input is
 *   byte 0     the transfer type (0 to 2; 3 stands for any other)
 *   byte 1     the model index of a device image (-1 to 10)
 *   bytes 2-3  the image size, high byte first, taken modulo 8193: up to
 *              eight 1024-byte blocks, then the 128-byte ones, and every
 *              remainder between
 *   byte 4     the most bytes one write takes (0: all it is given)
 *   the rest   the receiver's reads, as the stand-in takes them.
 * The transfer runs by the sender rules (tests/link/xmodem_drive.h). Besides
 * the sanitizers, it checks everything the sender writes against the state
 * it was written in: a frame's header, number and complement, the image
 * bytes from the offset acknowledged so far, the padding and the CRC; and
 * that EOT goes only when nothing remains.
 */
#include "config/dcss.h"
#include "fuzz/standin.h"
#include "link/rs232.h"
#include "tests/link/xmodem_drive.h"

#include <cstring>

/* The largest image: longer ones only repeat the 1024-byte blocks, each
 * costing two CRCs (the sender's and the check's) for nothing new. */
constexpr int IMAGE_MAX = 8192;
constexpr std::size_t HEADER_LEN = 5; /* type, model, size, write limit */

static unsigned char imageArea[IMAGE_MAX]; /* an image ends where this ends */
static const unsigned char *image = nullptr;
static int imageSize = 0;

static void checkWritten(const unsigned char *w, std::size_t len)
{
    const int left = RS232_GetCurrentXModemSize();
    if (w[0] == XM_EOT) return STANDIN_Check(len == 1 && left == 0);
    if (w[0] != XM_SOH && w[0] != XM_STX) return; /* a command line */
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

/* Fills the image area once, before the first input. */
extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    for (int i = 0; i < IMAGE_MAX; i++)
        imageArea[i] = static_cast<unsigned char>((i * 31) ^ (i >> 8));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size < HEADER_LEN || !STANDIN_Open()) return 0;
    const int type = data[0] % 4;
    const int model = data[1] % (DCSS_MODEL_COUNT + 1) - 1;
    imageSize = (data[2] << 8 | data[3]) % (IMAGE_MAX + 1);
    image = imageArea + IMAGE_MAX - imageSize;
    STANDIN_SetReads(data + HEADER_LEN, size - HEADER_LEN, data[4]);
    STANDIN_SetWriteCheck(checkWritten);

    const DriveResult r = XModemDrive(image, imageSize, type, model);
    if (r.end == DriveEnd::Done) STANDIN_Check(RS232_GetCurrentXModemSize() == 0);
    return 0;
}

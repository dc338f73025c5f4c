/* Reply parsing, packet building and the CRC: the plain functions under the
 * serial commands, fed with reply texts directly. */
#include "link/rs232.h"

#include <cstring>
#include <gtest/gtest.h>
#include <string>
#include <vector>

static std::uint32_t len(const std::string &s)
{
    return static_cast<std::uint32_t>(s.size());
}

TEST(Replies, HexDigitAndDeviceReplyHeader)
{
    EXPECT_EQ(RS232_GetHexDigit("0xg1", 4), 0);
    EXPECT_EQ(RS232_GetHexDigit("0XA1", 4), 0);
    EXPECT_EQ(RS232_GetHexDigit("ID 0xa1", 7), 161);
    EXPECT_EQ(RS232_GetHexDigit("0xa1", 3), 0) << "a digit beyond the count is not there";
    EXPECT_EQ(RS232_GetHexDigit("0x54", 0), 0);

    std::uint32_t loc = 99;
    std::string ok = "lnbe\r\nRx: 0xE4 0x12 0x34\r\n";
    ASSERT_EQ(RS232_FindDeviceReply(ok.data(), len(ok), &loc), RS232_REPLY_ACCEPTED);
    EXPECT_EQ(loc, 14u);
    EXPECT_EQ(RS232_GetDataByte(ok.data(), len(ok), loc, 0), 0x12);
    EXPECT_EQ(RS232_GetDataByte(ok.data(), len(ok), loc, 1), 0x34);
    EXPECT_EQ(RS232_GetDataByte(ok.data(), len(ok), loc, 2), -1) << "no third byte";

    std::string refused = "Rx: 0xE5\r\n";
    EXPECT_EQ(RS232_FindDeviceReply(refused.data(), len(refused), &loc), RS232_REPLY_REFUSED);
    EXPECT_EQ(loc, 8u);
    /* Only the first "Rx:" counts, and it needs "0xE" and a digit. */
    std::string stray = "Rx:#~ Rx: 0xE4 0x01";
    EXPECT_EQ(RS232_FindDeviceReply(stray.data(), len(stray), &loc), RS232_REPLY_NONE);
    EXPECT_EQ(RS232_FindDeviceReply("Rx: 0xE", 7, &loc), RS232_REPLY_NONE);
    EXPECT_EQ(RS232_FindDeviceReply("Rx: 0xE4", 8, nullptr), RS232_REPLY_ACCEPTED);

    std::string cut = "Rx: 0xE4 0x1"; /* the data byte's second digit is still on the way */
    RS232_FindDeviceReply(cut.data(), len(cut), &loc);
    EXPECT_EQ(RS232_GetDataByte(cut.data(), len(cut), loc, 0), -1);
    std::string bad = "Rx: 0xE4 0xZ1";
    EXPECT_EQ(RS232_GetDataByte(bad.data(), len(bad), loc, 0), -1);
}

TEST(Replies, VoltageReadingsAndLevels)
{
    auto volt = [](const std::string &s) { return RS232_ParseVoltage(s.data(), len(s)); };
    EXPECT_EQ(volt("volt\r\n12.95V\r\n"), 1295);
    EXPECT_EQ(RS232_VoltageLevel(1295), 2);
    EXPECT_EQ(RS232_VoltageLevel(volt("volt 20.00")), 15);
    EXPECT_EQ(RS232_VoltageLevel(volt("volt 8.00")), 0);
    EXPECT_EQ(volt("12.95V"), 0) << "no echo, no reading";
    EXPECT_EQ(volt("volt\r\n"), 0) << "the search stops at the end of the read";
    EXPECT_EQ(volt("setv 6\r\nOK\r\nvolt\r\n14.40V"), 1440);
    EXPECT_EQ(volt("volt 99999999999999999999"), 1000000) << "saturates";

    const int bounds[][2] = {{800, 0},   {801, 1},   {1290, 1},  {1291, 2},  {1324, 2},
                             {1325, 3},  {1459, 6},  {1460, 7},  {1629, 7},  {1630, 8},
                             {1968, 13}, {1969, 14}, {1999, 14}, {2000, 15}, {0, 0}};
    for (auto &b : bounds)
        EXPECT_EQ(RS232_VoltageLevel(b[0]), b[1]) << b[0];
}

TEST(Replies, SoftwareVersionAndStoredName)
{
    auto ver = [](const std::string &s) { return RS232_ParseKaltroSWVer(s.data(), len(s)); };
    EXPECT_EQ(ver("prsw\r\nKaltro KX-P2 ver.2.13 \r\n"), 2 * 256 + 13);
    EXPECT_EQ(ver("prsw\r\n"), -1) << "no \"ver.\": read again";
    EXPECT_EQ(ver("ver.2"), 0) << "no dot after the major number";
    EXPECT_EQ(ver("ver.2.13"), 2 * 256 + 13) << "the minor number ends with the read";
    EXPECT_EQ(ver("ver.1000.300 "), 255 * 256 + 255) << "saturates at one byte each";

    char buf[64];
    std::strcpy(buf, "lnar\r\nName stored: Roof A\r\nOK");
    char *name = RS232_ParseConfigName(buf, static_cast<std::uint32_t>(std::strlen(buf)));
    ASSERT_NE(name, nullptr);
    EXPECT_STREQ(name, "Roof A");
    std::strcpy(buf, "Name stored: tail");
    EXPECT_STREQ(RS232_ParseConfigName(buf, 17), "tail");
    std::strcpy(buf, "Name stored: x");
    EXPECT_EQ(RS232_ParseConfigName(buf, 10), nullptr) << "marker cut by the count";
    std::strcpy(buf, "No name stored\r\n");
    EXPECT_EQ(RS232_ParseConfigName(buf, 16), nullptr);
}

TEST(Replies, UBRecordEmptyStaticAndIncomplete)
{
    VelnorCfg_t cfg{};
    std::uint32_t loc = 0;
    std::string empty = "Rx: 0xE4 0x07 0xFF 0xF0 0x11 0x22 0x33 0x44 0x01";
    cfg.SpectralInversion = 1;
    RS232_FindDeviceReply(empty.data(), len(empty), &loc);
    ASSERT_EQ(RS232_ParseUBRecord(empty.data(), len(empty), loc, &cfg), 0);
    EXPECT_EQ(cfg.UBNo, 7);
    EXPECT_EQ(cfg.Active, 0);
    EXPECT_EQ(cfg.UBFreq, 0);
    EXPECT_EQ(cfg.BW, 40);
    EXPECT_EQ(cfg.AGCVal, -22);
    EXPECT_EQ(cfg.ConvPol, 'V');
    EXPECT_EQ(cfg.SpectralInversion, 1) << "an empty slot leaves it as it was";

    /* UB 3 on input 2, 1210.5 MHz, 46 MHz, static 300 MHz horizontal, -21 dBm. */
    std::string st = "Rx: 0xE4 0x43 0x4B 0xA5 0x2E 0x81 0x2C 0xEB 0x01";
    RS232_FindDeviceReply(st.data(), len(st), &loc);
    ASSERT_EQ(RS232_ParseUBRecord(st.data(), len(st), loc, &cfg), 0);
    EXPECT_EQ(cfg.UBNo, 3);
    EXPECT_EQ(cfg.Feed, 2);
    EXPECT_EQ(cfg.UBFreq, 1210);
    EXPECT_EQ(cfg.UBFreqDec, 5);
    EXPECT_EQ(cfg.BW, 46);
    EXPECT_EQ(cfg.ConvPol, 'H');
    EXPECT_EQ(cfg.ConvFreq, 300);
    EXPECT_EQ(cfg.StaticMode, 1);
    EXPECT_EQ(cfg.AGCVal, -21);
    EXPECT_EQ(cfg.Active, 1);

    /* D8 missing: the record stays exactly as it was. */
    VelnorCfg_t before = cfg;
    std::string cut = "Rx: 0xE4 0x05 0x3C 0x90 0x24 0x00 0x00 0xEA";
    RS232_FindDeviceReply(cut.data(), len(cut), &loc);
    EXPECT_EQ(RS232_ParseUBRecord(cut.data(), len(cut), loc, &cfg), 1);
    EXPECT_EQ(std::memcmp(&before, &cfg, sizeof cfg), 0);
}

TEST(Replies, NameCommandIsCutAndCannotEndEarly)
{
    char cmd[RS232_NAME_CMD_LEN];
    RS232_BuildNameCommand(cmd, std::string(60, 'n').c_str());
    EXPECT_EQ(std::string(cmd), "lnaw " + std::string(43, 'n') + "\r");
    RS232_BuildNameCommand(cmd, "a\rb\n\x7F\xC3\xA9z");
    EXPECT_STREQ(cmd, "lnaw a?b????z\r");
    RS232_BuildNameCommand(cmd, "");
    EXPECT_STREQ(cmd, "lnaw \r");
}

TEST(XModemFraming, CrcAndAnswers)
{
    const auto *digits = reinterpret_cast<const unsigned char *>("123456789");
    EXPECT_EQ(RS232_CalculateCRC16(digits, 9), 0x31C3);
    EXPECT_EQ(RS232_CalculateCRC16(digits, 0), 0);
    const char nakAck[] = {'x', 0x15, 0x06};
    EXPECT_EQ(RS232_FirstXModemAnswer(nakAck, 3), XM_NAK);
    const char noise[] = {'C', '~', 0x7F, 0x06};
    EXPECT_EQ(RS232_FirstXModemAnswer(noise, 4), XM_ACK);
    EXPECT_EQ(RS232_FirstXModemAnswer(noise, 3), 0);
}

/* Headers and data counts of every packet of an image of size bytes. */
static std::vector<std::pair<int, int>> packets(int size)
{
    static unsigned char image[4096], frame[XM_FRAME_MAX];
    for (int i = 0; i < size; i++)
        image[i] = static_cast<unsigned char>(i * 7);
    std::vector<std::pair<int, int>> out;
    /* No port is open: the start writes nothing, the state is set all the same. */
    EXPECT_EQ(RS232_KaltroDownloadInit(size, XM_TYPE_KALTRO_CFG, 0), XM_STARTED);
    while (RS232_GetCurrentXModemSize() > 0) {
        int before = RS232_GetCurrentXModemSize();
        int n = RS232_BuildXModemPacket(image, frame);
        int block = n - 5;
        int data = std::min(before, block);
        EXPECT_EQ(frame[1], RS232_GetPacketNumber());
        EXPECT_EQ(frame[2], 255 - frame[1]);
        int off = size - before;
        EXPECT_EQ(std::memcmp(frame + 3, image + off, static_cast<std::size_t>(data)), 0);
        for (int i = 3 + data; i < 3 + block; i++)
            EXPECT_EQ(frame[i], XM_PAD);
        std::uint16_t crc = RS232_CalculateCRC16(frame + 3, static_cast<std::uint16_t>(block));
        EXPECT_EQ(frame[3 + block], crc >> 8);
        EXPECT_EQ(frame[4 + block], crc & 0xFF);
        out.push_back({frame[0], data});
        RS232_XModemNextPacket();
    }
    EXPECT_EQ(RS232_GetCurrentXModemSize(), 0);
    return out;
}

TEST(XModemFraming, BlockSizesAndNumbers)
{
    using P = std::vector<std::pair<int, int>>;
    EXPECT_EQ(packets(100), (P{{1, 100}}));
    EXPECT_EQ(packets(768), P(6, {1, 128}));
    EXPECT_EQ(packets(769), (P{{2, 769}}));
    EXPECT_EQ(packets(1700),
              (P{{2, 1024}, {1, 128}, {1, 128}, {1, 128}, {1, 128}, {1, 128}, {1, 36}}));
    EXPECT_EQ(packets(3000), (P{{2, 1024}, {2, 1024}, {2, 952}}));

    EXPECT_EQ(RS232_KaltroDownloadInit(0, XM_TYPE_KALTRO_SW, 0), XM_EMPTY);
    EXPECT_EQ(RS232_KaltroDownloadInit(-5, XM_TYPE_DEVICE, 3), XM_EMPTY);
    EXPECT_EQ(RS232_KaltroDownloadInit(10, 3, 0), XM_BAD_TYPE);

    /* The 256th packet is numbered 0, its complement 255. */
    static unsigned char big[256 * 1024 + 1], frame[XM_FRAME_MAX];
    ASSERT_EQ(RS232_KaltroDownloadInit(sizeof big, XM_TYPE_KALTRO_SW, 0), XM_STARTED);
    for (int i = 0; i < 255; i++) {
        RS232_BuildXModemPacket(big, frame);
        RS232_XModemNextPacket();
    }
    RS232_BuildXModemPacket(big, frame);
    EXPECT_EQ(frame[1], 0);
    EXPECT_EQ(frame[2], 255);
    EXPECT_EQ(RS232_GetPacketNumber(), 0);
}

/* Device images: known answers, the bit fields, and whole-file loading. */
#include "config/fileio.h"
#include "config/image.h"
#include "tests/support/tempdir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

static std::vector<unsigned char> bytes(const unsigned char *p, int n)
{
    return std::vector<unsigned char>(p, p + n);
}

using V = std::vector<unsigned char>;

TEST(Image, Crc16KnownAnswers)
{
    const char *s = "123456789";
    EXPECT_EQ(CalculateCRC16(reinterpret_cast<const unsigned char *>(s), 9), 0x31C3);
    EXPECT_EQ(CalculateCRC16(reinterpret_cast<const unsigned char *>(s), 0), 0);
    EXPECT_EQ(CalculateCRC16(nullptr, 5), 0);
}

TEST(Image, DefaultTablesGiveTheKnownBytes)
{
    unsigned char buf[1024];
    VelnorData.Model = 0;
    MAIN_InitStruct();
    VelnorData.DBaseVersion = 0x23;
    ASSERT_EQ(BREVCFG_CompileMxL(VelnorCfg, &VelnorData, buf), 232);
    EXPECT_EQ(bytes(buf, 16), (V{0x02, 0x00, 0x31, 0x35, buf[4], buf[5], 0x00, 0xD8, 0x10, 0x23, 0,
                                 0, 0, 0, 0, 0}));
    EXPECT_EQ(buf[4] << 8 | buf[5], CalculateCRC16(buf + 16, 216));
    EXPECT_EQ(bytes(buf + 16, 9), (V{0x3C, 0xF0, 0x2E, 0x00, 0x00, 0x00, 0xEB, 0x00, 0xFF}));
    EXPECT_EQ(buf[16 + 9 * 23 + 7], 23);

    VelnorData.Model = 10;
    MAIN_InitStruct();
    ASSERT_EQ(BREVCFG_CompileEN(VelnorCfg, &VelnorData, buf, 0), 336);
    EXPECT_EQ(buf[6], 0x01);
    EXPECT_EQ(buf[7], 0x40);
    EXPECT_EQ(buf[9], 0x00);
    EXPECT_EQ(buf[4] << 8 | buf[5], CalculateCRC16(buf + 16, 320));
    EXPECT_EQ(bytes(buf + 16, 10), (V{0xB0, 0x00, 0x3C, 0x90, 0x24, 0x0A, 0, 0, 0, 0}));

    /* Compiling again over a dirty buffer gives the same image. */
    unsigned char again[1024];
    std::memset(again, 0xA5, sizeof again);
    ASSERT_EQ(BREVCFG_CompileEN(VelnorCfg, &VelnorData, again, 0), 336);
    EXPECT_EQ(std::memcmp(buf, again, 336), 0);

    EXPECT_EQ(BREVCFG_CompileEN(nullptr, &VelnorData, buf, 0), 0);
    EXPECT_EQ(BREVCFG_CompileMxL(VelnorCfg, &VelnorData, nullptr), 0);
}

static VelnorCfg_t staticRow(char pol)
{
    VelnorCfg_t r{};
    r.Active = 1;
    r.UBNo = 4;
    r.UBFreq = 1500;
    r.BW = 36;
    r.AGCVal = -25;
    r.StaticMode = 1;
    r.ConvFreq = 10750;
    r.ConvPol = pol;
    return r;
}

/* Transponder bytes of a one-row image in each layout. */
static V tpEN(const VelnorCfg_t &r)
{
    unsigned char buf[BREVCFG_IMAGE_MAX];
    VelnorData_t d{};
    d.UBNumber = 1;
    BREVCFG_CompileEN(&r, &d, buf, 0);
    return bytes(buf + 16 + 6, 2);
}
static V tpMxL(VelnorCfg_t r)
{
    unsigned char buf[BREVCFG_IMAGE_MAX];
    VelnorData_t d{};
    d.UBNumber = 1;
    BREVCFG_CompileMxL(&r, &d, buf);
    return bytes(buf + 16 + 4, 2);
}

TEST(Image, RecordFieldsAndPolarity)
{
    EXPECT_EQ(tpEN(staticRow('H')), (V{0xA9, 0xFE}));
    EXPECT_EQ(tpMxL(staticRow('H')), (V{0xA9, 0xFE}));
    EXPECT_EQ(tpEN(staticRow('V')), (V{0x29, 0xFE}));
    EXPECT_EQ(tpMxL(staticRow('V')), (V{0x29, 0xFE}));
    EXPECT_EQ(tpEN(staticRow('R')), (V{0x29, 0xFE}));
    EXPECT_EQ(tpMxL(staticRow('R')), (V{0xA9, 0xFE}));
    EXPECT_EQ(tpEN(staticRow('L')), (V{0x29, 0xFE}));
    EXPECT_EQ(tpMxL(staticRow('L')), (V{0x29, 0xFE}));
    VelnorCfg_t tuned = staticRow('H');
    tuned.StaticMode = 0;
    EXPECT_EQ(tpEN(tuned), (V{0, 0}));
    EXPECT_EQ(tpMxL(tuned), (V{0, 0}));

    /* Inactive rows, spectral inversion, OutNum. */
    VelnorCfg_t t[2] = {staticRow('V'), staticRow('V')};
    t[0].Active = 0;
    t[0].UBNo = 3;
    t[0].UBFreq = 1000; /* stays first when the MxL compiler sorts */
    t[1].SpectralInversion = 1;
    t[1].Feed = 2;
    VelnorData_t d{};
    d.UBNumber = 2;
    unsigned char en[BREVCFG_IMAGE_MAX], mxl[BREVCFG_IMAGE_MAX];
    BREVCFG_CompileEN(t, &d, en, 3);
    EXPECT_EQ(bytes(en + 16, 10), (V{0xB0, 0x63, 0, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(en[26 + 1], 0x80 | 0x60 | 4);
    EXPECT_EQ(en[26 + 5], (2 << 5) | (-25 & 0x1F));
    BREVCFG_CompileMxL(t, &d, mxl);
    EXPECT_EQ(bytes(mxl + 16, 9), (V{0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 3, 0xFF}));
    EXPECT_EQ(bytes(mxl + 25, 9), (V{0x5D, 0xC0, 36, 0x82, 0x29, 0xFE, 0xE7, 4, 0xFF}));

    /* Values never validated stay inside their bit fields. */
    VelnorCfg_t wild = staticRow('V');
    wild.Feed = 0xFF;
    wild.UBFreqDec = 0xFF;
    wild.UBNo = 0xFF;
    wild.SpectralInversion = 2;
    VelnorData_t one{};
    one.UBNumber = 1;
    BREVCFG_CompileEN(&wild, &one, en, 0);
    EXPECT_EQ(en[17], 0x1F);                /* UBNo only, inversion bit clear */
    EXPECT_EQ(en[19], 0xCF);                /* frequency nibble C kept */
    EXPECT_EQ(en[21], 0xE0 | (-25 & 0x1F)); /* level bits kept */
    BREVCFG_CompileMxL(&wild, &one, mxl);
    EXPECT_EQ(mxl[17], 0xCF);
    EXPECT_EQ(mxl[19], 0x80 | 0x7F);
}

TEST(Image, MxLSortsTheRowsInUse)
{
    VelnorCfg_t t[MAX_UB];
    const int freqs[] = {1800, 1000, 1400, 2000};
    for (int i = 0; i < 4; i++) {
        t[i] = staticRow('V');
        t[i].UBFreq = static_cast<std::uint16_t>(freqs[i]);
        t[i].UBNo = static_cast<std::uint8_t>(i);
    }
    t[3].UBFreq = 500; /* beyond the rows in use: stays where it is */
    VelnorData_t d{};
    d.UBNumber = 3;
    unsigned char buf[BREVCFG_IMAGE_MAX];
    EXPECT_EQ(BREVCFG_CompileMxL(t, &d, buf), 16 + 27);
    EXPECT_EQ(t[0].UBNo, 1);
    EXPECT_EQ(t[1].UBNo, 2);
    EXPECT_EQ(t[2].UBNo, 0);
    EXPECT_EQ(t[3].UBFreq, 500);
    EXPECT_EQ(buf[16 + 7], 1);
    EXPECT_EQ(buf[16 + 9 + 7], 2);
}

TEST(Image, WholeFileLoadingAndSaving)
{
    TempDir folder;
    ASSERT_FALSE(folder.path.empty());
    const std::string dir = folder.path;
    const std::string path = dir + "/image.bin";
    const unsigned char data[] = {1, 2, 0, 255, 7};

    EXPECT_EQ(BREVCFG_SaveBytesFile(path.c_str(), data, 5, BREVCFG_REPLACE), BREVCFG_FILE_OK);
    EXPECT_EQ(BREVCFG_SaveBytesFile(path.c_str(), data, 5, BREVCFG_CREATE_NEW),
              BREVCFG_FILE_EXISTS);
    unsigned char *buf = nullptr;
    int size = -1;
    EXPECT_EQ(BREVCFG_LoadWholeFile(path.c_str(), &buf, &size), 0);
    ASSERT_NE(buf, nullptr);
    EXPECT_EQ(bytes(buf, size), bytes(data, 5));
    BREVCFG_DeallocFileBuffer(buf);
    BREVCFG_DeallocFileBuffer(nullptr);

    /* empty file: success, no buffer, size 0 */
    EXPECT_EQ(BREVCFG_SaveBytesFile(path.c_str(), data, 0, BREVCFG_REPLACE), BREVCFG_FILE_OK);
    EXPECT_EQ(BREVCFG_LoadWholeFile(path.c_str(), &buf, &size), 0);
    EXPECT_EQ(buf, nullptr);
    EXPECT_EQ(size, 0);

    EXPECT_EQ(BREVCFG_LoadWholeFile((dir + "/none").c_str(), &buf, &size), 1);
    EXPECT_EQ(buf, nullptr);
    /* a named pipe without a writer is refused at once instead of hanging, as
     * a folder is: neither is a file to read */
    ASSERT_EQ(mkfifo((dir + "/pipe").c_str(), 0600), 0);
    EXPECT_EQ(BREVCFG_LoadWholeFile((dir + "/pipe").c_str(), &buf, &size), 1);
    EXPECT_STREQ(BREVCFG_FileReason(), "not a regular file");
    EXPECT_EQ(BREVCFG_LoadWholeFile(dir.c_str(), &buf, &size), 1);
    EXPECT_STREQ(BREVCFG_FileReason(), std::strerror(EISDIR));
    EXPECT_EQ(size, 0);

    /* larger than a signed 32-bit size: refused before any allocation */
    const std::string huge = dir + "/huge.bin";
    const int fd = open(huge.c_str(), O_CREAT | O_WRONLY, 0600);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(ftruncate(fd, 0x80000000LL), 0); /* sparse: takes no space */
    close(fd);
    size = 5;
    EXPECT_EQ(BREVCFG_LoadWholeFile(huge.c_str(), &buf, &size), 1);
    EXPECT_EQ(buf, nullptr);
    EXPECT_EQ(size, 0);

    /* a file that gives fewer bytes than its size: kernel attribute files
     * report a whole page and deliver a few bytes */
    const char *shortFile = "/sys/kernel/mm/transparent_hugepage/enabled";
    if (access(shortFile, R_OK) == 0) {
        EXPECT_EQ(BREVCFG_LoadWholeFile(shortFile, &buf, &size), 1);
        EXPECT_EQ(buf, nullptr);
    }
}

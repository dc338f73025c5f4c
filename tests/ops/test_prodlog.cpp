/* test_prodlog.cpp -- the production record as it lands in the log: a CSV
 * header written once however often the log is opened, values with commas
 * and quotes kept whole, JSON lines that carry the same record, and the
 * file's digest.
 */
#include "config/sha256.h"
#include "ops/prodlog.h"
#include "tests/support/tempdir.h"

#include <gtest/gtest.h>

namespace
{

ProdRecord_t failedRecord()
{
    ProdRecord_t rec{};
    rec.Time = 1796650000; /* 2026-12-07T13:26:40Z */
    rec.KaltroVersion = 2 << 8 | 13;
    rec.DeviceID = 78;
    rec.Model = 3;
    rec.HasSerial = true;
    rec.Serial = 4000000000u; /* above 2^31 */
    rec.SWVersion = 0x21;
    rec.FWVersion = 0x01040200;
    rec.ConfigVersion = 0x12;
    rec.ReadVersion = 0x12;
    rec.Result = PROD_FAIL_VERIFY;
    rec.End = {OPS_DONE, -1, -1};
    rec.DiffCount = 1;
    rec.Diffs[0] = {22, 22, CMP_LEVEL, -23, -21};
    rec.ProgramMs = 3841;
    rec.VerifyMs = 4730;
    return rec;
}

TEST(ProdLog, CsvAndJsonLinesKeepEveryValueWhole)
{
    TempDir dir;
    const std::string csv = dir.File("line.csv");
    const ProdRecord_t rec = failedRecord();
    for (int open = 0; open < 2; open++) { /* a second run appends under the same header */
        ASSERT_EQ(PRODLOG_Open(csv.c_str(), PRODLOG_CSV, "roof, \"A\".txt", "abc"), 0);
        ASSERT_EQ(PRODLOG_Append(&rec, "COM3", "/dev/ttyUSB0"), 0);
        PRODLOG_Close();
    }
    const std::string line =
        "2026-12-07T13:26:40Z,COM3,/dev/ttyUSB0,2.13,4000000000,78,KX-103,2.1,1.4.2.0,"
        "\"roof, \"\"A\"\".txt\",abc,1.2,fail-verify,1 difference,"
        "\"row 22, UB 22: level -23 dBm in the file, -21 dBm in the device\",3.841,4.730\n";
    EXPECT_EQ(ReadFile(csv), std::string(PRODLOG_HEADER) + "\n" + line + line);

    const std::string json = dir.File("line.json");
    ASSERT_EQ(PRODLOG_Open(json.c_str(), PRODLOG_JSON, "roof, \"A\".txt", "abc"), 0);
    ProdRecord_t lost = rec;
    lost.HasSerial = false;
    lost.Result = PROD_LOST;
    lost.End = {OPS_TIMED_OUT, -1, 2};
    lost.Step = "program";
    lost.DiffCount = 0;
    ASSERT_EQ(PRODLOG_Append(&lost, "COM3", "/dev/ttyUSB0"), 0);
    PRODLOG_Close();
    EXPECT_EQ(ReadFile(json),
              "{\"time\": \"2026-12-07T13:26:40Z\", \"port\": \"COM3\", \"device\": "
              "\"/dev/ttyUSB0\", \"kaltro_version\": \"2.13\", \"serial\": null, \"device_id\": "
              "78, \"model\": \"KX-103\", \"software\": \"2.1\", \"firmware\": \"1.4.2.0\", "
              "\"file\": \"roof, \\\"A\\\".txt\", \"sha256\": \"abc\", \"config_version\": "
              "\"1.2\", \"result\": \"lost\", \"reason\": \"program: timed_out at 2\", "
              "\"differences\": [], \"program_s\": 3.841, \"verify_s\": 4.730}\n");

    /* A log that cannot be made is told before anything is written. */
    EXPECT_EQ(PRODLOG_Open((dir.path + "/no/such/log.csv").c_str(), PRODLOG_CSV, "f", "x"), -1);
}

TEST(ProdLog, Sha256OfAFile)
{
    TempDir dir;
    char hex[SHA256_HEX_LEN];
    ASSERT_EQ(SHA256_File(dir.File("abc", "abc").c_str(), hex), 0);
    EXPECT_STREQ(hex, "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
    /* 64 bytes: the padding takes a block of its own */
    ASSERT_EQ(SHA256_File(dir.File("a64", std::string(64, 'a')).c_str(), hex), 0);
    EXPECT_STREQ(hex, "ffe054fe7ae0cb6dc65c3af9b61d5209f439851db43d0ba5997337df154668eb");
}

} // namespace

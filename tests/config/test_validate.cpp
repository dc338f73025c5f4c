/* Validation rules at their boundaries, the order they are reported in, and
 * the reading of typed numbers. */
#include "config/texts.h"
#include "config/validate.h"

#include <gtest/gtest.h>

#include <climits>
#include <cwchar>

constexpr int MXL = 0; /* a model of the MxL group */
constexpr int EN = 7;  /* a model of the EN group */

static VelnorCfg_t row(int freq, int bw, int level = -22)
{
    VelnorCfg_t r{};
    r.Active = 1;
    r.UBFreq = static_cast<std::uint16_t>(freq);
    r.BW = static_cast<std::uint8_t>(bw);
    r.AGCVal = static_cast<std::int8_t>(level);
    r.ConvFreq = 10750;
    r.ConvPol = 'V';
    return r;
}

/* Status of a table of one row. */
static int alone(const VelnorCfg_t &r, int model = MXL)
{
    return MAIN_RowStatus(&r, 1, 0, model);
}

static bool statusIs(int u, int k)
{
    return std::wcscmp(ErrorText[u], TXT(k)) == 0;
}

TEST(Validate, DefaultTablesAreClean)
{
    for (int model : {MXL, EN}) {
        VelnorData.Model = static_cast<std::int8_t>(model);
        MAIN_InitStruct();
        ConfigOK = 1;
        EXPECT_EQ(MAIN_ValidateTable(), 0);
        EXPECT_EQ(ConfigOK, 0);
        for (int u = 0; u < VelnorData.UBNumber; u++) {
            EXPECT_TRUE(statusIs(u, TX_OK)) << u;
            EXPECT_EQ(BoxColor[u], BOX_GREEN);
        }
    }
}

TEST(Validate, EachRuleAtItsBoundary)
{
    /* L-band: the centre, then the centre with half the bandwidth. */
    EXPECT_EQ(alone(row(949, 24)), TX_ERR_FREQ_LBAND);
    EXPECT_EQ(alone(row(2151, 24)), TX_ERR_FREQ_LBAND);
    EXPECT_EQ(alone(row(950, 24)), TX_ERR_BW_LBAND);
    EXPECT_EQ(alone(row(962, 24)), TX_OK);
    EXPECT_EQ(alone(row(2138, 24)), TX_OK);
    EXPECT_EQ(alone(row(2139, 24)), TX_ERR_BW_LBAND);
    /* an odd bandwidth rounds its half up: 25 -> 13 */
    EXPECT_EQ(alone(row(963, 25)), TX_OK);
    EXPECT_EQ(alone(row(962, 25)), TX_ERR_BW_LBAND);

    /* Bandwidth limits by group. */
    EXPECT_EQ(alone(row(1500, 23)), TX_ERR_BW);
    EXPECT_EQ(alone(row(1500, 23), EN), TX_ERR_BW);
    EXPECT_EQ(alone(row(1500, 81), MXL), TX_OK);
    EXPECT_EQ(alone(row(1500, 81), EN), TX_ERR_BW);
    EXPECT_EQ(alone(row(1500, 82), MXL), TX_OK);
    EXPECT_EQ(alone(row(1500, 83), MXL), TX_ERR_BW);

    /* Output level limits by group. */
    EXPECT_EQ(alone(row(1500, 36, -21), MXL), TX_OK);
    EXPECT_EQ(alone(row(1500, 36, -21), EN), TX_ERR_LEVEL);
    EXPECT_EQ(alone(row(1500, 36, -30), MXL), TX_OK);
    EXPECT_EQ(alone(row(1500, 36, -30), EN), TX_ERR_LEVEL);
    EXPECT_EQ(alone(row(1500, 36, -29), EN), TX_OK);
    EXPECT_EQ(alone(row(1500, 36, -40), MXL), TX_OK);
    EXPECT_EQ(alone(row(1500, 36, -41), MXL), TX_ERR_LEVEL);
    EXPECT_EQ(alone(row(1500, 36, -19), MXL), TX_ERR_LEVEL);

    /* Static transponder inside 10698 .. 12752 with half the bandwidth. */
    VelnorCfg_t s = row(1500, 36);
    s.StaticMode = 1;
    s.ConvFreq = 10700;
    EXPECT_EQ(alone(s), TX_ERR_TPFREQ);
    s.ConvFreq = 10716;
    EXPECT_EQ(alone(s), TX_OK);
    s.ConvFreq = 12734;
    EXPECT_EQ(alone(s), TX_OK);
    s.ConvFreq = 12735;
    EXPECT_EQ(alone(s), TX_ERR_TPFREQ);
    s.StaticMode = 0; /* not static: the transponder is not looked at */
    s.ConvFreq = 10700;
    EXPECT_EQ(alone(s), TX_OK);

    /* The first failing rule is the one reported. */
    EXPECT_EQ(alone(row(949, 100, 0)), TX_ERR_FREQ_LBAND);
    EXPECT_EQ(alone(row(960, 100, 0)), TX_ERR_BW_LBAND);
    EXPECT_EQ(alone(row(1500, 90, 0)), TX_ERR_BW);
    s = row(1500, 36, 0);
    s.StaticMode = 1;
    s.ConvFreq = 0;
    EXPECT_EQ(alone(s), TX_ERR_TPFREQ);

    VelnorCfg_t off = row(5000, 0, 100);
    off.Active = 0;
    EXPECT_EQ(alone(off), TX_UB_INACTIVE);
}

/* Statuses of two rows validated together. */
static void pair(VelnorCfg_t a, VelnorCfg_t b, int expectA, int expectB)
{
    const VelnorCfg_t t[2] = {a, b};
    EXPECT_EQ(MAIN_RowStatus(t, 2, 0, MXL), expectA);
    EXPECT_EQ(MAIN_RowStatus(t, 2, 1, MXL), expectB);
}

TEST(Validate, OverlapAndDuplicate)
{
    pair(row(1000, 36), row(1036, 36), TX_OK, TX_OK); /* edges touch at 1018 */
    pair(row(1000, 36), row(1035, 36), TX_ERR_OVERLAP, TX_ERR_OVERLAP);
    pair(row(1500, 24), row(1500, 24), TX_ERR_DUPLICATE, TX_ERR_DUPLICATE);
    VelnorCfg_t half = row(1500, 24);
    half.UBFreqDec = 5;
    pair(row(1500, 24), half, TX_ERR_OVERLAP, TX_ERR_OVERLAP);
    /* a narrow UB wholly inside a wide one: only the wide one overlaps,
     * unless both share the centre */
    pair(row(1500, 80), row(1510, 24), TX_ERR_OVERLAP, TX_OK);
    pair(row(1500, 80), row(1500, 24), TX_ERR_OVERLAP, TX_ERR_DUPLICATE);

    VelnorCfg_t idle = row(1500, 24);
    idle.Active = 0;
    pair(row(1500, 24), idle, TX_OK, TX_UB_INACTIVE);
    /* a row outside the L-band takes no part in the comparison */
    pair(row(949, 82), row(1000, 24), TX_ERR_FREQ_LBAND, TX_OK);
    /* but a row with its own error does */
    pair(row(1000, 24, 0), row(1010, 24), TX_ERR_LEVEL, TX_ERR_OVERLAP);
}

TEST(Validate, StatusGoesByUBNumberAndStaysInBounds)
{
    VelnorData.Model = MXL;
    MAIN_InitStruct();
    VelnorCfg[0].UBNo = 5; /* rows 0 and 5 swap their numbers */
    VelnorCfg[5].UBNo = 0;
    VelnorCfg[0].AGCVal = 0;
    EXPECT_EQ(MAIN_ValidateTable(), 1);
    EXPECT_TRUE(statusIs(5, TX_ERR_LEVEL));
    EXPECT_EQ(BoxColor[5], BOX_RED);
    EXPECT_TRUE(statusIs(0, TX_OK));
    EXPECT_EQ(BoxColor[0], BOX_GREEN);

    /* Numbers that name no status entry, and a UB count above the table,
     * must not reach outside the 32 entries (the sanitizer watches). */
    VelnorCfg[0].UBNo = 200;
    VelnorData.UBNumber = 100;
    EXPECT_EQ(MAIN_ValidateTable(), 1);
    VelnorCfg[0].AGCVal = -21;
    VelnorData.UBNumber = 24;
    EXPECT_EQ(MAIN_ValidateTable(), 0);
}

TEST(Validate, TypedNumbers)
{
    EXPECT_EQ(MAIN_ReceiveNumber(L"12a34"), 1234);
    EXPECT_EQ(MAIN_ReceiveNumber(L"-25"), -25);
    EXPECT_EQ(MAIN_ReceiveNumber(L"2-5"), -25);
    EXPECT_EQ(MAIN_ReceiveNumber(L"12.7"), 12);
    EXPECT_EQ(MAIN_ReceiveNumber(L"3,9"), 3);
    EXPECT_EQ(MAIN_ReceiveNumber(L""), 0);
    EXPECT_EQ(MAIN_ReceiveNumber(nullptr), 0);
    /* saturates instead of overflowing */
    EXPECT_EQ(MAIN_ReceiveNumber(L"99999999999999999999"), INT32_MAX);
    EXPECT_EQ(MAIN_ReceiveNumber(L"-99999999999999999999"), -INT32_MAX);

    EXPECT_EQ(MAIN_ReceiveNumberFract(L"12.7"), 7);
    EXPECT_EQ(MAIN_ReceiveNumberFract(L"12,75"), 7);
    EXPECT_EQ(MAIN_ReceiveNumberFract(L"12"), 0);
    EXPECT_EQ(MAIN_ReceiveNumberFract(L"12."), 0);
    EXPECT_EQ(MAIN_ReceiveNumberFract(L"1. x5"), 5);

    /* Too large for the field stores the field's largest value, so the row
     * fails validation instead of wrapping into a valid value. */
    VelnorCfg_t r = row(1500, 36);
    r.StaticMode = 1;
    MAIN_StoreNumber(r.ConvFreq, MAIN_ReceiveNumber(L"76286"));
    EXPECT_EQ(r.ConvFreq, 65535);
    EXPECT_EQ(alone(r), TX_ERR_TPFREQ);
    MAIN_StoreNumber(r.BW, 292);
    EXPECT_EQ(r.BW, 255);
    MAIN_StoreNumber(r.AGCVal, -200);
    EXPECT_EQ(r.AGCVal, -128);
    MAIN_StoreNumber(r.UBFreq, -5);
    EXPECT_EQ(r.UBFreq, 0);
    MAIN_StoreNumber(r.UBFreq, 1500);
    EXPECT_EQ(r.UBFreq, 1500);

    /* Configuration version: major 0 when negative or above 15, tested on
     * the whole number (261 would narrow to 5). */
    EXPECT_EQ(MAIN_ReceiveConfigVersion(L"2.3"), 0x23);
    EXPECT_EQ(MAIN_ReceiveConfigVersion(L"15,9"), 0xF9);
    EXPECT_EQ(MAIN_ReceiveConfigVersion(L"16.1"), 0x01);
    EXPECT_EQ(MAIN_ReceiveConfigVersion(L"-1.2"), 0x02);
    EXPECT_EQ(MAIN_ReceiveConfigVersion(L"261.5"), 0x05);
    EXPECT_EQ(MAIN_ReceiveConfigVersion(L""), 0x00);
}

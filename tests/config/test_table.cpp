/* Defaults of the UB table, the frequency sort, the model catalogue, the
 * text table, and the configuration version's byte and text. */
#include "config/dcss.h"
#include "config/texts.h"
#include "config/velnor.h"

#include <gtest/gtest.h>

#include <cwchar>

TEST(Table, DefaultsFollowTheModelGroup)
{
    /* 24 UBs for the MxL group: 975 .. 2125 in steps of 50, 46 MHz, -21 dBm. */
    VelnorCfg[30].UBFreq = 1234; /* beyond the rows in use: must survive */
    VelnorData = VelnorData_t{};
    VelnorData.Model = 3;
    VelnorData.SN = 77;
    VelnorData.DBaseVersion = 0x12;
    MAIN_InitStruct();
    EXPECT_EQ(VelnorData.UBNumber, 24);
    EXPECT_EQ(VelnorData.Model, 3);
    EXPECT_EQ(VelnorData.SN, 0);
    EXPECT_EQ(VelnorData.DBaseVersion, 0);
    for (int i = 0; i < 24; i++) {
        EXPECT_EQ(VelnorCfg[i].UBFreq, 975 + 50 * i);
        EXPECT_EQ(VelnorCfg[i].UBNo, i);
        EXPECT_EQ(VelnorCfg[i].BW, 46);
        EXPECT_EQ(VelnorCfg[i].AGCVal, -21);
        EXPECT_EQ(VelnorCfg[i].ConvPol, 'V');
        EXPECT_EQ(VelnorCfg[i].ConvFreq, 10750);
    }
    EXPECT_EQ(VelnorCfg[30].UBFreq, 1234);

    /* 32 UBs for the EN group: 969, 1006, 1044, 1081 ... 2131, 36 MHz, -22 dBm. */
    VelnorData.Model = 8;
    MAIN_InitStruct();
    EXPECT_EQ(VelnorData.UBNumber, 32);
    const int first[] = {969, 1006, 1044, 1081};
    for (int i = 0; i < 4; i++)
        EXPECT_EQ(VelnorCfg[i].UBFreq, first[i]);
    EXPECT_EQ(VelnorCfg[31].UBFreq, 2131);
    EXPECT_EQ(VelnorCfg[31].BW, 36);
    EXPECT_EQ(VelnorCfg[31].AGCVal, -22);
    EXPECT_EQ(std::wcscmp(ErrorText[31], L"OK"), 0);
    EXPECT_EQ(BoxColor[31], BOX_GREEN);
}

static void setFreqs(VelnorCfg_t *t, std::initializer_list<int> freqs)
{
    int i = 0;
    for (int f : freqs) {
        t[i] = VelnorCfg_t{};
        t[i].UBFreq = static_cast<std::uint16_t>(f);
        t[i].UBNo = static_cast<std::uint8_t>(i);
        i++;
    }
}

TEST(Table, QuickSortKeepsItsOwnOrderForEqualFrequencies)
{
    VelnorCfg_t t[MAX_UB];
    setFreqs(t, {1200, 1000, 1000, 0});
    BREVCFG_quickSort(t, 0, 3);
    const int freq[] = {0, 1000, 1000, 1200};
    const int ub[] = {3, 2, 1, 0}; /* the two 1000 MHz rows change places */
    for (int i = 0; i < 4; i++) {
        EXPECT_EQ(t[i].UBFreq, freq[i]);
        EXPECT_EQ(t[i].UBNo, ub[i]);
    }

    /* One row, an empty range and a reversed range change nothing. */
    setFreqs(t, {1500, 1000});
    BREVCFG_quickSort(t, 0, 0);
    BREVCFG_quickSort(t, 0, -1);
    BREVCFG_quickSort(t, 1, 0);
    EXPECT_EQ(t[0].UBFreq, 1500);
    EXPECT_EQ(t[1].UBFreq, 1000);

    /* Many equal rows and a full table still sort. */
    VelnorCfg_t big[MAX_UB];
    for (int i = 0; i < MAX_UB; i++) {
        big[i] = VelnorCfg_t{};
        big[i].UBFreq = static_cast<std::uint16_t>((i * 7) % 5 * 100);
    }
    BREVCFG_quickSort(big, 0, MAX_UB - 1);
    for (int i = 1; i < MAX_UB; i++)
        EXPECT_LE(big[i - 1].UBFreq, big[i].UBFreq);
}

TEST(Table, CatalogueAndTexts)
{
    /* no name outside the catalogue */
    EXPECT_EQ(DCSS_GetModelName(-1), nullptr);
    EXPECT_EQ(DCSS_GetModelName(11), nullptr);
    EXPECT_EQ(std::wcscmp(DCSS_GetModelName(10), L"KX-110"), 0);
    VelnorData.Model = -1;
    EXPECT_EQ(DCSS_GetUBNumber(), 24);
    /* what the device-ID query gave, a failure included */
    EXPECT_EQ(DCSS_ModelOfDeviceID(0x4E), 3);
    EXPECT_EQ(DCSS_ModelOfDeviceID(-1), -1) << "a failed query names no model";

    for (int k = 0; k < TEXT_COUNT; k++)
        ASSERT_NE(TXT(k), nullptr) << k;
    EXPECT_EQ(std::wcscmp(TXT(TX_FILE_EXISTS), L"File exists!\nDo you want to overwrite it?"), 0);
    EXPECT_EQ(std::wcscmp(TXT(TX_NO_MORE_SPACE), L"No more space for UBs"), 0);
}

TEST(Table, ConfigVersionByteAndText)
{
    /* X.Y is X << 4 | Y; each number has four bits, so 16 has no byte. */
    EXPECT_EQ(MAIN_PackConfigVersion(2, 3), 0x23);
    EXPECT_EQ(MAIN_PackConfigVersion(0, 0), 0x00);
    EXPECT_EQ(MAIN_PackConfigVersion(15, 15), 0xFF);
    EXPECT_EQ(MAIN_PackConfigVersion(16, 0), -1);
    EXPECT_EQ(MAIN_PackConfigVersion(0, 16), -1);
    EXPECT_EQ(MAIN_PackConfigVersion(-1, 2), -1);

    /* Each half in decimal: 0x2A is "2.10"; the longest text fits. */
    const struct {
        std::uint8_t version;
        const wchar_t *text;
    } known[] = {{0x00, L"0.0"}, {0x23, L"2.3"}, {0x2A, L"2.10"}, {0xFF, L"15.15"}};
    for (const auto &k : known) {
        wchar_t text[MAIN_VERSION_TEXT_LEN];
        MAIN_ConfigVersionText(k.version, text);
        EXPECT_STREQ(text, k.text) << static_cast<int>(k.version);
    }
}

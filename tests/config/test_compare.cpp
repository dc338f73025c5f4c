/* test_compare.cpp -- a table against a device's bands: only what the model
 * group's image or commands carry makes a difference. */
#include "config/compare.h"

#include <gtest/gtest.h>

namespace
{

VelnorCfg_t band(int ubNo, int freq)
{
    return {1,   static_cast<std::uint8_t>(ubNo),
            2,   static_cast<std::uint16_t>(freq),
            5,   46,
            0,   0,
            'V', -22,
            0};
}

TEST(Compare, OnlyWhatTheDeviceKeepsCounts)
{
    VelnorCfg_t want[3] = {band(0, 1000), band(1, 1100), band(2, 1200)};
    VelnorCfg_t have[3] = {band(2, 1200), band(0, 1000), band(1, 1100)}; /* any order */
    CmpDiff_t d[CMP_DIFF_MAX];

    /* The tenths are not in "entp", the input of a band without a static
     * transponder not in the MxL image, nothing of an empty band anywhere. */
    have[0].UBFreqDec = 0;
    have[1].Feed = 0;
    want[2].Active = have[0].Active = 0;
    have[0].BW = 70;
    EXPECT_EQ(BREVCFG_CompareStored(want, have, 3, true, d, CMP_DIFF_MAX), 1);
    EXPECT_EQ(d[0].Field, CMP_FEED) << "entp carries the input";
    have[1].Feed = 2;
    EXPECT_EQ(BREVCFG_CompareStored(want, have, 3, true, d, CMP_DIFF_MAX), 0);
    EXPECT_EQ(BREVCFG_CompareStored(want, have, 3, false, d, CMP_DIFF_MAX), 0)
        << "tenths equal in the MxL group here";

    /* What it keeps: a frequency, a level, a static transponder (UB 0), a
     * band in use (UB 2). */
    have[1].UBFreq = 1105;
    have[1].AGCVal = -25;
    want[2].Active = 1;
    want[0].StaticMode = 1;
    want[0].ConvFreq = 11700;
    want[0].ConvPol = 'H';
    ASSERT_EQ(BREVCFG_CompareStored(want, have, 3, false, d, CMP_DIFF_MAX), 6);
    const int fields[6][2] = {{0, CMP_FREQUENCY}, {0, CMP_LEVEL}, {0, CMP_TP_FREQ},
                              {0, CMP_TP_POL},    {0, CMP_FEED},  {2, CMP_ACTIVE}};
    for (int i = 0; i < 6; i++) {
        EXPECT_EQ(d[i].Row, fields[i][0]) << i;
        EXPECT_EQ(d[i].Field, fields[i][1]) << i;
    }
    char text[32];
    BREVCFG_FieldValue(CMP_FREQUENCY, d[0].Want, text, sizeof text);
    EXPECT_STREQ(text, "1000.5 MHz");
    BREVCFG_FieldValue(CMP_FREQUENCY, d[0].Have, text, sizeof text);
    EXPECT_STREQ(text, "1105.5 MHz");
    EXPECT_EQ(BREVCFG_CompareStored(want, have, 3, false, d, 1), 6) << "counts past max";
}

} // namespace

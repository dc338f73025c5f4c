/* editing_test.cpp -- edits in the rows and the side panel go into the table
 * at once, with a validation where a frequency, bandwidth, level or mode
 * changes. */
#include "mainfixture.h"

#include "config/texts.h"

TEST_F(MainWindow, UBFrequencyTypedChosenAndLeft)
{
    open(3);
    WIN_UserType(hUBFreq[3], L"2200");
    EXPECT_EQ(rec(3).UBFreq, 2200);
    EXPECT_EQ(BoxColor[3], BOX_RED);
    EXPECT_EQ(std::wstring(ErrorText[3]), TXT(TX_ERR_FREQ_LBAND));
    EXPECT_EQ(ConfigOK, 1);
    WIN_ProcessEvents(0);
    EXPECT_EQ(WIN_GetPixel(hWnd, 660, 34 * 3 + 45), BOX_RED);

    WIN_UserSelect(hUBFreq[3], 175);
    EXPECT_EQ(rec(3).UBFreq, 950 + 175);
    EXPECT_EQ(BoxColor[3], BOX_GREEN);
    EXPECT_EQ(ConfigOK, 0);

    /* leaving the box, even unchanged, drops the tenths and validates */
    rec(3).UBFreqDec = 5;
    ConfigOK = 1;
    WIN_UserLeave(hUBFreq[3]);
    EXPECT_EQ(rec(3).UBFreqDec, 0);
    EXPECT_EQ(ConfigOK, 0);

    /* a click on the background takes the focus away, which also counts */
    WIN_SetFocus(hUBFreq[3]);
    rec(3).UBFreqDec = 7;
    WIN_UserClickBackground(hWnd);
    EXPECT_EQ(rec(3).UBFreqDec, 0);

    /* the row found is the one numbered 3, wherever the record stands */
    std::swap(VelnorCfg[0], VelnorCfg[3]);
    WIN_UserType(hUBFreq[3], L"1130");
    EXPECT_EQ(VelnorCfg[0].UBFreq, 1130);
    EXPECT_EQ(VelnorCfg[3].UBFreq, 975);
}

TEST_F(MainWindow, BandwidthLevelAndTransponderEdits)
{
    open(3);
    WIN_UserSelect(hBW[10], 10);
    EXPECT_EQ(rec(10).BW, 34);
    WIN_UserType(hBW[10], L"90");
    EXPECT_EQ(rec(10).BW, 90);
    EXPECT_EQ(std::wstring(ErrorText[10]), TXT(TX_ERR_BW));

    WIN_UserSelect(hLevel[1], 0);
    EXPECT_EQ(rec(1).AGCVal, -40);
    WIN_UserSelect(hLevel[1], 20);
    EXPECT_EQ(rec(1).AGCVal, -20);

    WIN_UserClick(hMode[2]);
    WIN_UserSelect(hConvFreq[2], 0);
    EXPECT_EQ(rec(2).ConvFreq, 10700);
    EXPECT_EQ(std::wstring(ErrorText[2]), TXT(TX_ERR_TPFREQ));
    WIN_UserType(hConvFreq[2], L"11000");
    EXPECT_EQ(rec(2).ConvFreq, 11000);
    EXPECT_EQ(BoxColor[2], BOX_GREEN);
    /* too large for the field: stays too large instead of wrapping to 10750 */
    WIN_UserType(hConvFreq[2], L"76286");
    EXPECT_EQ(rec(2).ConvFreq, 65535);
    EXPECT_EQ(std::wstring(ErrorText[2]), TXT(TX_ERR_TPFREQ));
}

TEST_F(MainWindow, PolarityAndInputStoreWithoutValidating)
{
    open(2); /* two-satellite */
    WIN_UserClick(hMode[4]);
    ASSERT_TRUE(WIN_IsWindowEnabled(hConvPol[4]));
    ConfigOK = 7;                   /* a validation would overwrite it */
    WIN_UserSelect(hConvPol[4], 2); /* "R" */
    EXPECT_EQ(rec(4).ConvPol, 'V');
    WIN_UserSelect(hConvPol[4], 3); /* "L" */
    EXPECT_EQ(rec(4).ConvPol, 'H');
    WIN_UserSelect(hConvPol[4], 0);
    EXPECT_EQ(rec(4).ConvPol, 'V');
    WIN_UserSelect(hFeed[4], 6);
    EXPECT_EQ(rec(4).Feed, 6);
    EXPECT_EQ(ConfigOK, 7);
}

TEST_F(MainWindow, StaticModeOffAndOnAndTheInputRule)
{
    open(3); /* one satellite */
    WIN_UserClick(hMode[1]);
    EXPECT_EQ(rec(1).StaticMode, 1);
    EXPECT_EQ(rec(1).ConvFreq, 10750);
    EXPECT_TRUE(WIN_IsWindowEnabled(hConvFreq[1]));
    EXPECT_TRUE(WIN_IsWindowEnabled(hConvPol[1]));
    EXPECT_FALSE(WIN_IsWindowEnabled(hFeed[1]));

    WIN_UserClick(hMode[1]);
    EXPECT_EQ(rec(1).StaticMode, 0);
    EXPECT_EQ(rec(1).ConvFreq, 0);
    EXPECT_FALSE(WIN_IsWindowEnabled(hConvFreq[1]));
    WIN_UserClick(hMode[1]);
    EXPECT_EQ(rec(1).ConvFreq, 10750);

    /* Active off disables the whole row; on again gives Input back only to
     * a two-satellite model */
    WIN_UserClick(hActive[1]);
    EXPECT_EQ(rec(1).Active, 0);
    EXPECT_EQ(std::wstring(ErrorText[1]), TXT(TX_UB_INACTIVE));
    for (HWND h : {hUBFreq[1], hBW[1], hLevel[1], hMode[1], hConvFreq[1], hConvPol[1]})
        EXPECT_FALSE(WIN_IsWindowEnabled(h));
    WIN_UserClick(hActive[1]);
    EXPECT_EQ(rec(1).Active, 1);
    EXPECT_TRUE(WIN_IsWindowEnabled(hConvFreq[1]));
    EXPECT_FALSE(WIN_IsWindowEnabled(hFeed[1]));
}

TEST_F(MainWindow, InputFollowsTheTwoSatelliteModel)
{
    open(6); /* two-satellite */
    WIN_UserClick(hMode[0]);
    EXPECT_TRUE(WIN_IsWindowEnabled(hFeed[0]));
    WIN_UserClick(hActive[0]);
    EXPECT_FALSE(WIN_IsWindowEnabled(hFeed[0]));
    WIN_UserClick(hActive[0]);
    EXPECT_TRUE(WIN_IsWindowEnabled(hFeed[0]));
    /* a row shown from the table follows the same rule */
    rec(5).StaticMode = 1;
    MAIN_DataUpdate(MAIN_FindRow(5));
    EXPECT_TRUE(WIN_IsWindowEnabled(hFeed[5]));
    rec(5).Active = 0;
    MAIN_DataUpdate(MAIN_FindRow(5));
    EXPECT_FALSE(WIN_IsWindowEnabled(hFeed[5]));
    EXPECT_FALSE(WIN_IsWindowEnabled(hUBFreq[5]));
}

TEST_F(MainWindow, SpectralInversionBoxSetsEveryRow)
{
    open(7);
    WIN_UserClick(hInversion);
    EXPECT_EQ(WIN_GetCheck(hInversion), 1);
    for (int r = 0; r < 32; r++)
        EXPECT_EQ(VelnorCfg[r].SpectralInversion, 1) << r;
    WIN_UserClick(hInversion);
    EXPECT_EQ(WIN_GetCheck(hInversion), 0);
    for (int r = 0; r < 32; r++)
        EXPECT_EQ(VelnorCfg[r].SpectralInversion, 0) << r;
}

TEST_F(MainWindow, ConfigVersionFieldIsPacked)
{
    open(3);
    WIN_UserType(hDBase, L"3.7");
    EXPECT_EQ(VelnorData.DBaseVersion, 0x37);
    WIN_UserType(hDBase, L"12,5");
    EXPECT_EQ(VelnorData.DBaseVersion, 0xC5);
    WIN_UserType(hDBase, L"16.2"); /* a major number above 15 counts as 0 */
    EXPECT_EQ(VelnorData.DBaseVersion, 0x02);
}

TEST_F(MainWindow, ShowingARowTheTableCannotNumberDoesNoHarm)
{
    open(3);
    VelnorCfg[0].UBNo = 200; /* a broken table: no row 200 exists */
    MAIN_DataUpdate(0);
    MAIN_Validate(hWnd);
    HDC dc = WIN_GetDC(hWnd);
    MAIN_SetBoxes(dc, 200);
    MAIN_RefreshErrorBoxes(dc, -1);
    WIN_ReleaseDC(hWnd, dc);
    MAIN_Draw(hWnd, 32);
    WIN_UserClick(hActive[0]); /* row 0 has no record now */
    WIN_UserType(hUBFreq[0], L"1000");
    EXPECT_EQ(VelnorCfg[0].UBNo, 200);
    EXPECT_EQ(VelnorCfg[0].UBFreq, 975);
    VelnorCfg[0].UBNo = 0;
}

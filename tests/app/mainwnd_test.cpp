/* mainwnd_test.cpp -- the main window as start-up makes it: rows and side
 * panel, painting, scrolling, the rebuild after a model change, the About
 * shortcut and the end of the program. */
#include "mainfixture.h"

#include "config/dcss.h"
#include "config/resource.h"
#include "config/texts.h"
#include "config/validate.h"

#include <type_traits>

TEST_F(MainWindow, BuildsOneRowPerUBWithTheModelsListsAndPanel)
{
    open(3); /* MxL group, 24 UBs */
    EXPECT_EQ(VelnorData.UBNumber, 24);
    EXPECT_NE(hUBFreq[23], nullptr);
    EXPECT_EQ(hUBFreq[24], nullptr);
    EXPECT_EQ(WIN_ComboGetCount(hUBFreq[0]), 1201);
    EXPECT_EQ(WIN_ComboGetCount(hConvFreq[0]), 2051);
    EXPECT_EQ(WIN_ComboGetCount(hBW[0]), 59);    /* 24 .. 82 */
    EXPECT_EQ(WIN_ComboGetCount(hLevel[0]), 21); /* -40 .. -20 */
    EXPECT_EQ(text(hUBFreq[0]), L"975");
    EXPECT_EQ(text(hUBFreq[23]), L"2125");
    EXPECT_EQ(text(hLevel[5]), L"-21");
    EXPECT_EQ(text(hModel), L"KX-103");
    EXPECT_EQ(text(hDBase), L"0.0");
    EXPECT_EQ(text(hProgram), TXT(TX_PROGRAM));
    EXPECT_EQ(WIN_GetCheck(hActive[7]), 1);
    EXPECT_FALSE(WIN_IsWindowEnabled(hConvFreq[7]));
    EXPECT_FALSE(WIN_IsWindowEnabled(hFeed[7]));

    /* controls at their places: row 2's top is at 68 */
    int x, y, w, h;
    WIN_GetControlRect(hUBFreq[2], &x, &y, &w, &h);
    EXPECT_EQ(x, 99);
    EXPECT_EQ(y, 68 + 35);
    EXPECT_EQ(w, 60);
    WIN_GetControlRect(hMode[2], &x, &y, &w, &h);
    EXPECT_EQ(x, 374);
    EXPECT_EQ(y, 68 + 40);
    WIN_GetControlRect(hGetConfig, &x, &y, &w, &h);
    EXPECT_EQ(x, 891);
    EXPECT_EQ(y, 200);
    EXPECT_EQ(w, 160);

    /* the defaults validate clean once painted: green boxes, blue frames */
    MAIN_Validate(hWnd);
    EXPECT_EQ(ConfigOK, 0);
    EXPECT_EQ(WIN_GetPixel(hWnd, 660, 68 + 45), BOX_GREEN);
    EXPECT_EQ(WIN_GetPixel(hWnd, 5, 68 + 50), FRAME_BLUE);
    EXPECT_EQ(WIN_GetPixel(hWnd, 878, 68 + 50), FRAME_BLUE);
    EXPECT_EQ(WIN_GetPixel(hWnd, 886, 100), FRAME_BLUE);
    EXPECT_EQ(WIN_GetPixel(hWnd, 1055, 100), FRAME_BLUE);
    EXPECT_EQ(WIN_GetPixel(hWnd, 880, 68 + 50), WINDOW_BACKGROUND);
}

TEST_F(MainWindow, EnGroupRowsHaveTheNarrowerRanges)
{
    open(7); /* EN group, 32 UBs */
    EXPECT_EQ(VelnorData.UBNumber, 32);
    EXPECT_NE(hUBFreq[31], nullptr);
    EXPECT_EQ(WIN_ComboGetCount(hBW[31]), 57);   /* 24 .. 80 */
    EXPECT_EQ(WIN_ComboGetCount(hLevel[31]), 8); /* -29 .. -22 */
    EXPECT_EQ(text(hLevel[0]), L"-22");
    EXPECT_EQ(text(hUBFreq[1]), L"1006");
    EXPECT_EQ(text(hBW[1]), L"36");
}

/* A list offers what validation accepts: its first and last entries pass
 * the list's own check, one step beyond either fails it, for both groups. */
TEST_F(MainWindow, ListEndsAreTheLimitsOfValidation)
{
    auto number = [](HWND box, int i) {
        wchar_t t[16] = {};
        WIN_ComboGetItemText(box, i, t, 16);
        return MAIN_ReceiveNumber(t);
    };
    for (int model : {3, 7}) {
        SCOPED_TRACE(model);
        open(model);
        VelnorCfg_t row = rec(0);
        row.UBFreq = 1500; /* alone at mid band: only the value under test fails */
        auto check = [&](HWND box, auto field, int error) {
            const int first = number(box, 0);
            const int last = number(box, WIN_ComboGetCount(box) - 1);
            for (int v : {first, last, first - 1, last + 1}) {
                VelnorCfg_t t = row;
                t.*field = static_cast<std::remove_reference_t<decltype(t.*field)>>(v);
                const int k = MAIN_RowStatus(&t, 1, 0, model);
                if (v >= first && v <= last)
                    EXPECT_NE(k, error) << v;
                else
                    EXPECT_EQ(k, error) << v;
            }
        };
        check(hBW[0], &VelnorCfg_t::BW, TX_ERR_BW);
        check(hLevel[0], &VelnorCfg_t::AGCVal, TX_ERR_LEVEL);
        check(hUBFreq[0], &VelnorCfg_t::UBFreq, TX_ERR_FREQ_LBAND);
        MAINTEST_Close();
    }
}

TEST_F(MainWindow, StatusTextsStartWhereTheirLengthPutsThem)
{
    open(3);
    MAIN_Validate(hWnd);
    WIN_ProcessEvents(0);
    /* "OK": 764 - 7 */
    const int ok = statusTextStart(4);
    EXPECT_GE(ok, 757);
    EXPECT_LE(ok, 759);

    /* "UB inactive", 11 characters: 764 - 38 */
    WIN_UserClick(hActive[4]);
    EXPECT_EQ(std::wstring(ErrorText[4]), TXT(TX_UB_INACTIVE));
    const int inactive = statusTextStart(4);
    EXPECT_GE(inactive, 726);
    EXPECT_LE(inactive, 728);

    /* a repaint draws the same status again */
    WIN_InvalidateRect(hWnd);
    WIN_UpdateWindow(hWnd);
    EXPECT_EQ(statusTextStart(4), inactive);
    EXPECT_EQ(statusTextStart(5), ok);
}

TEST_F(MainWindow, ScrollsByRowsWithinTheTable)
{
    open(7);
    int w, H;
    WIN_GetWindowSize(hWnd, &w, &H);
    ASSERT_EQ(H, 515);

    /* up at the top does nothing */
    WIN_UserScroll(hWnd, SB_LINEUP, 0);
    EXPECT_EQ(OffsetVert, 0);

    for (int i = 0; i < 40; i++)
        WIN_UserWheel(hWnd, -120);
    EXPECT_EQ(OffsetVert, -646); /* 19 rows */
    int x, y, cw, ch;
    WIN_GetControlRect(hUBFreq[0], &x, &y, &cw, &ch);
    EXPECT_EQ(y, 35 - 646);
    WIN_GetControlRect(hProgram, &x, &y, &cw, &ch);
    EXPECT_EQ(y, 80 - 646); /* the side panel moves with the rows */

    /* the position is set from the offset before the move */
    WIN_UserScroll(hWnd, SB_PAGEDOWN, 0);
    EXPECT_EQ(OffsetVert, -646);
    EXPECT_EQ(WIN_GetScrollPos(hWnd), 646 * 100 / (1156 - 515));

    WIN_UserScroll(hWnd, SB_PAGEUP, 0);
    EXPECT_EQ(OffsetVert, -612);
    WIN_UserWheel(hWnd, 120);
    EXPECT_EQ(OffsetVert, -578);

    /* dragging the thumb: one row per message, and only when far enough */
    WIN_UserScroll(hWnd, SB_THUMBTRACK, 0);
    EXPECT_EQ(OffsetVert, -544);
    WIN_UserScroll(hWnd, SB_THUMBTRACK, 85); /* target -544: already there */
    EXPECT_EQ(OffsetVert, -544);
    WIN_UserScroll(hWnd, SB_THUMBTRACK, 100);
    EXPECT_EQ(OffsetVert, -578);
    WIN_UserScroll(hWnd, SB_THUMBPOSITION, 100); /* letting go moves nothing */
    EXPECT_EQ(OffsetVert, -578);

    /* the painting follows the offset: row 20's status box at its new place */
    MAIN_Validate(hWnd);
    WIN_ProcessEvents(0);
    EXPECT_EQ(WIN_GetPixel(hWnd, 660, -578 + 34 * 20 + 45), BOX_GREEN);
}

TEST_F(MainWindow, TwentyFourRowsScrollElevenRows)
{
    open(0);
    for (int i = 0; i < 30; i++)
        WIN_UserScroll(hWnd, SB_LINEDOWN, 0);
    EXPECT_EQ(OffsetVert, -374);
    for (int i = 0; i < 30; i++)
        WIN_UserScroll(hWnd, SB_LINEUP, 0);
    EXPECT_EQ(OffsetVert, 0);
    EXPECT_EQ(WIN_GetScrollPos(hWnd), 0);
}

TEST_F(MainWindow, FocusAndTheFirstErrorBringTheirRowIntoView)
{
    open(7); /* 32 rows, of which about twelve are in view */
    int w = 0, client = 0;
    WIN_GetClientSize(hWnd, &w, &client);
    /* The table scrolls no further than its last row's top in view. */
    const auto inView = [client](int r) {
        const int top = OffsetVert + 34 * (r + 1);
        return top >= 0 && top < client;
    };
    ASSERT_FALSE(inView(31));
    WIN_SetFocus(hUBFreq[31]);
    WIN_ProcessEvents(0);
    EXPECT_TRUE(inView(31)) << OffsetVert;
    EXPECT_GT(WIN_GetScrollPos(hWnd), 0);
    WIN_SetFocus(hBW[2]);
    WIN_ProcessEvents(0);
    EXPECT_TRUE(inView(2)) << OffsetVert;

    /* A faulty row out of view: Program, Save File and Export do nothing but
     * show it. */
    WIN_UserType(hBW[25], L"99");
    for (int id : {IDM_SAVE_FILE, IDM_EXPORT, 0}) {
        for (int i = 0; i < 32; i++)
            WIN_UserScroll(hWnd, SB_LINEUP, 0);
        ASSERT_FALSE(inView(25));
        if (id == 0)
            WIN_UserClick(hProgram);
        else
            ASSERT_TRUE(WIN_UserMenu(hWnd, id));
        EXPECT_TRUE(inView(24)) << id; /* the first faulty row: 24 overlaps 25 */
    }
}

TEST_F(MainWindow, ModelChangeRebuildsOnlyForAnotherUBCount)
{
    open(3);
    rec(2).UBFreq = 1111;
    WIN_SetCheck(hInversion, 0);

    /* 24 to 24: rows, values and lists stay; the label and Input boxes follow */
    WIN_UserClick(hMode[2]);
    EXPECT_FALSE(WIN_IsWindowEnabled(hFeed[2]));
    HWND before = hUBFreq[2];
    VelnorData.Model = 2; /* two-satellite, 24 UBs */
    MAIN_ReDrawUBTable(hWnd, VelnorData.UBNumber);
    EXPECT_EQ(hUBFreq[2], before);
    EXPECT_EQ(rec(2).UBFreq, 1111);
    EXPECT_EQ(text(hModel), L"KX-102");
    EXPECT_TRUE(WIN_IsWindowEnabled(hFeed[2]));
    EXPECT_FALSE(WIN_IsWindowEnabled(hFeed[3]));

    /* 24 to 32: defaults of the new model, with its ranges */
    VelnorData.DBaseVersion = 0x12;
    WIN_SetWindowText(hDBase, L"1.2");
    VelnorData.Model = 8;
    MAIN_ReDrawUBTable(hWnd, 24);
    EXPECT_EQ(VelnorData.UBNumber, 32);
    EXPECT_FALSE(WIN_IsWindow(before));
    EXPECT_NE(hUBFreq[31], nullptr);
    EXPECT_EQ(WIN_ComboGetCount(hLevel[0]), 8);
    EXPECT_EQ(rec(2).UBFreq, 1044);
    EXPECT_EQ(rec(2).StaticMode, 0);
    EXPECT_EQ(text(hModel), L"KX-108");
    EXPECT_EQ(text(hDBase), L"0.0");

    /* 32 back to 24, scrolled to the end: the rows beyond vanish from the
     * screen too, and the new rows sit at the scrolled place */
    for (int i = 0; i < 19; i++)
        WIN_UserWheel(hWnd, -120);
    ASSERT_EQ(OffsetVert, -646);
    VelnorData.Model = 4;
    MAIN_ReDrawUBTable(hWnd, 32);
    EXPECT_EQ(VelnorData.UBNumber, 24);
    EXPECT_EQ(hUBFreq[24], nullptr);
    EXPECT_EQ(WIN_ComboGetCount(hLevel[0]), 21);
    WIN_ProcessEvents(0);
    EXPECT_EQ(WIN_GetPixel(hWnd, 660, -646 + 34 * 26 + 45), WINDOW_BACKGROUND);
    EXPECT_EQ(WIN_GetPixel(hWnd, 660, -646 + 34 * 23 + 45), BOX_GREEN);
    int x, y, w, h;
    WIN_GetControlRect(hUBFreq[23], &x, &y, &w, &h);
    EXPECT_EQ(y, -646 + 34 * 23 + 35);

    /* a model with no name changes nothing */
    HWND kept = hUBFreq[0];
    VelnorData.Model = -1;
    MAIN_ReDrawUBTable(hWnd, 32);
    EXPECT_EQ(hUBFreq[0], kept);
    EXPECT_EQ(text(hModel), L"KX-104");
}

TEST_F(MainWindow, AboutOpensFromTheMenuAndBothShortcuts)
{
    open(3);
    int opened = 0;
    auto closeAbout = [&] {
        WIN_Post([&] {
            HWND dlg = WIN_ActiveDialog();
            if (!dlg) return;
            opened++;
            WIN_UserClick(WIN_GetDlgItem(dlg, IDOK));
        });
    };
    closeAbout();
    WIN_UserKey(hWnd, L'?', true);
    closeAbout();
    WIN_UserKey(hWnd, L'/', true);
    closeAbout();
    EXPECT_TRUE(WIN_UserMenu(hWnd, IDM_ABOUT));
    EXPECT_EQ(opened, 3);
    EXPECT_EQ(WIN_ActiveDialog(), nullptr);

    /* the calculator is reached by no menu item; an unknown command does
     * nothing */
    EXPECT_FALSE(WIN_UserMenu(hWnd, IDM_UB_CALCULATOR));
    WndProc(hWnd, WM_COMMAND, MAKEWPARAM(999, 0), 0);
    EXPECT_NE(hWnd, nullptr);
    EXPECT_EQ(WIN_ActiveDialog(), nullptr);
}

TEST_F(MainWindow, ExitDestroysTheWindowAndEndsTheLoopWithZero)
{
    open(3);
    ASSERT_TRUE(WIN_UserMenu(hWnd, IDM_EXIT));
    EXPECT_EQ(hWnd, nullptr);
    int code = -1;
    EXPECT_TRUE(WIN_TakeQuit(&code));
    EXPECT_EQ(code, 0);

    /* a second window after the first is built afresh */
    open(7);
    EXPECT_NE(hUBFreq[31], nullptr);
    EXPECT_EQ(text(hModel), L"KX-107");
    WIN_UserClose(hWnd);
    WIN_ProcessEvents(0);
    EXPECT_EQ(hWnd, nullptr);
    EXPECT_TRUE(WIN_TakeQuit(&code));
    EXPECT_EQ(code, 0);
}

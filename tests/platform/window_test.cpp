/* window_test.cpp -- top-level windows: messages and their order, sizes,
 * stale handles, the message loop and quitting, timers, scrolling with the
 * scroll bar and the wheel, background clicks, menus, accelerators and the
 * close box. */
#include "tests/platform/recorder.h"

#include <gtest/gtest.h>

namespace
{

class Window : public testing::Test
{
  protected:
    void SetUp() override
    {
        ResetRecord();
        WIN_SetTimeScale(1.0);
    }
    void TearDown() override
    {
        ResetRecord();
        WIN_SetTimeScale(1.0);
    }
};

TEST_F(Window, CreationSizesPaintingAndDestruction)
{
    HWND h = MakeMainLikeWindow();
    ASSERT_NE(h, nullptr);
    ASSERT_FALSE(Received.empty());
    EXPECT_EQ(Received.front().msg, WM_CREATE);
    EXPECT_FALSE(WIN_IsWindowVisible(h));

    int w = 0, ht = 0;
    WIN_GetWindowSize(h, &w, &ht);
    EXPECT_EQ(w, 1091);
    EXPECT_EQ(ht, 515); /* the outer size the table's scrolling limits rest on */
    WIN_GetClientSize(h, &w, &ht);
    EXPECT_EQ(w, 1091 - 16 - 17);
    EXPECT_EQ(ht, 515 - 31 - 8 - 20);

    /* Hidden windows get no WM_PAINT; showing one gives exactly one. */
    WIN_ProcessEvents(10);
    EXPECT_EQ(Count(WM_PAINT), 0);
    WIN_ShowWindow(h, true);
    EXPECT_TRUE(WIN_IsWindowVisible(h));
    ASSERT_TRUE(WaitForPaints(1));
    WIN_ProcessEvents(20);
    EXPECT_EQ(Count(WM_PAINT), 1); /* nothing more without a reason */

    /* An invalidation is delivered by the loop, or at once by UpdateWindow. */
    WIN_InvalidateRect(h);
    EXPECT_TRUE(WaitForPaints(2));
    EXPECT_EQ(Count(WM_PAINT), 2);
    WIN_InvalidateRect(h);
    WIN_UpdateWindow(h);
    EXPECT_EQ(Count(WM_PAINT), 3);
    WIN_ProcessEvents(20);
    EXPECT_EQ(Count(WM_PAINT), 3);

    HWND button =
        WIN_CreateControl(h, WinControl::PushButton, L"Program", CS_TABSTOP, 891, 80, 160, 30, 0);
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(WIN_GetParent(button), h);

    Received.clear();
    WIN_DestroyWindow(h);
    ASSERT_EQ(Received.size(), 1u);
    EXPECT_EQ(Received[0].msg, WM_DESTROY);
    EXPECT_FALSE(WIN_IsWindow(h));
    EXPECT_FALSE(WIN_IsWindow(button));

    /* Stale handles are harmless values. */
    WIN_DestroyWindow(h);
    WIN_SetWindowText(button, L"x");
    WIN_InvalidateRect(h);
    EXPECT_EQ(WIN_GetDC(h), nullptr);
    EXPECT_EQ(WIN_CreateControl(h, WinControl::Static, L"x", 0, 0, 0, 10, 10, 1), nullptr);
    EXPECT_EQ(WIN_GetPixel(h, 1, 1), 0xFFFFFFFFu);
    WIN_ProcessEvents(10);
    EXPECT_EQ(Received.size(), 1u);
}

TEST_F(Window, FixedWindowFrameAndCloseBox)
{
    WIN_WindowDesc d{};
    d.title = L"Start";
    d.proc = RecordingProc;
    d.background = RGB(170, 170, 170);
    d.x = 100;
    d.y = 250;
    d.width = 320;
    d.height = 210;
    d.style = WS_MINIMIZEBOX;
    HWND h = WIN_CreateWindow(&d);
    int w = 0, ht = 0;
    WIN_GetClientSize(h, &w, &ht);
    EXPECT_EQ(w, 314);
    EXPECT_EQ(ht, 181);
    WIN_GetWindowSize(h, &w, &ht);
    EXPECT_EQ(w, 320);
    EXPECT_EQ(ht, 210);

    /* The close box: WM_CLOSE, then the window is destroyed. */
    WIN_ShowWindow(h, true);
    Received.clear();
    WIN_UserClose(h);
    ASSERT_EQ(Received.size(), 2u);
    EXPECT_EQ(Received[0].msg, WM_CLOSE);
    EXPECT_EQ(Received[1].msg, WM_DESTROY);
    EXPECT_FALSE(WIN_IsWindow(h));
}

TEST_F(Window, QuitEndsTheLoopWithItsCode)
{
    /* A quit posted while no loop runs ends the next loop at once. */
    WIN_PostQuitMessage(3);
    EXPECT_EQ(WIN_MessageLoop(), 3);
    int code = -1;
    EXPECT_FALSE(WIN_TakeQuit(&code));

    WIN_PostQuitMessage(5);
    EXPECT_TRUE(WIN_TakeQuit(&code));
    EXPECT_EQ(code, 5);
    EXPECT_FALSE(WIN_TakeQuit(&code));

    /* A window destroyed inside the loop posts its quit, as the program's
     * windows do in WM_DESTROY. */
    HWND h = MakeMainLikeWindow();
    OnMessage = [](HWND win, UINT msg, WPARAM, LPARAM) -> LRESULT {
        if (msg == WM_TIMER) WIN_DestroyWindow(win);
        if (msg == WM_DESTROY) WIN_PostQuitMessage(7);
        return 0;
    };
    WIN_SetTimer(h, 1, 5);
    EXPECT_EQ(WIN_MessageLoop(), 7);
    EXPECT_FALSE(WIN_IsWindow(h));
}

TEST_F(Window, TimersRepeatRestartStopAndNeverTickDuringSleep)
{
    HWND h = MakeMainLikeWindow();
    auto ticks = [](unsigned id) {
        int n = 0;
        for (const Msg &m : Only(WM_TIMER))
            if (m.wp == id) ++n;
        return n;
    };
    WIN_SetTimer(h, 1, 2);
    ASSERT_TRUE(WIN_WaitFor([&] { return ticks(1) >= 3; }, 2000)); /* repeats */

    /* A stopped timer stays stopped. */
    WIN_KillTimer(h, 1);
    int seen = ticks(1);
    WIN_ProcessEvents(30);
    EXPECT_EQ(ticks(1), seen);

    /* Setting a running timer again restarts it with the new period. */
    WIN_SetTimer(h, 2, 10000);
    WIN_SetTimer(h, 2, 2);
    EXPECT_TRUE(WIN_WaitFor([&] { return ticks(2) >= 1; }, 2000));
    WIN_KillTimer(h, 2);

    /* The time scale shortens the periods of the waits under test. */
    WIN_SetTimeScale(0.001);
    WIN_SetTimer(h, 3, 5000);
    EXPECT_TRUE(WIN_WaitFor([&] { return ticks(3) >= 2; }, 2000));
    WIN_KillTimer(h, 3);
    WIN_SetTimeScale(1.0);

    /* A sleep handles no message, however long it blocks. */
    WIN_SetTimer(h, 4, 1);
    int before = ticks(4);
    WIN_Sleep(30);
    EXPECT_EQ(ticks(4), before);

    /* Destroying the window stops its timers. */
    WIN_DestroyWindow(h);
    Received.clear();
    WIN_ProcessEvents(20);
    EXPECT_EQ(Count(WM_TIMER), 0);
}

TEST_F(Window, ScrollBarReportsRequestsAndMovesOnlyWhenTold)
{
    HWND h = MakeMainLikeWindow();
    WIN_ShowWindow(h, true);
    ASSERT_TRUE(WaitForPaints(1));
    Received.clear();

    /* The requests, without the SB_ENDSCROLL of each mouse button release. */
    auto requests = [] {
        std::vector<WPARAM> out;
        for (const Msg &m : Only(WM_VSCROLL))
            if (LOWORD(m.wp) != SB_ENDSCROLL) out.push_back(m.wp);
        return out;
    };
    WIN_UserScroll(h, SB_LINEDOWN, 0);
    WIN_UserScroll(h, SB_PAGEUP, 0);
    WIN_UserScroll(h, SB_PAGEDOWN, 0);
    WIN_UserScroll(h, SB_LINEUP, 0);
    EXPECT_EQ(requests(), (std::vector<WPARAM>{SB_LINEDOWN, SB_PAGEUP, SB_PAGEDOWN, SB_LINEUP}));
    EXPECT_EQ(Count(WM_VSCROLL), 8);
    EXPECT_EQ(WIN_GetScrollPos(h), 0); /* the bar waits for the program */

    WIN_SetScrollPos(h, 40);
    EXPECT_EQ(WIN_GetScrollPos(h), 40);
    WIN_SetScrollPos(h, 140);
    EXPECT_EQ(WIN_GetScrollPos(h), 100);
    WIN_SetScrollPos(h, 40);

    /* Dragging: tracking positions while held, then position and end. */
    Received.clear();
    WIN_UserScroll(h, SB_THUMBTRACK, 70);
    EXPECT_EQ(WIN_GetScrollPos(h), 40);
    WIN_UserScroll(h, SB_THUMBTRACK, 75);
    WIN_UserScroll(h, SB_THUMBPOSITION, 75);
    auto scrolls = Only(WM_VSCROLL);
    ASSERT_EQ(scrolls.size(), 4u);
    EXPECT_EQ(scrolls[0].wp, MAKEWPARAM(SB_THUMBTRACK, 70));
    EXPECT_EQ(scrolls[1].wp, MAKEWPARAM(SB_THUMBTRACK, 75));
    EXPECT_EQ(scrolls[2].wp, MAKEWPARAM(SB_THUMBPOSITION, 75));
    EXPECT_EQ(scrolls[3].wp, MAKEWPARAM(SB_ENDSCROLL, 0));
    EXPECT_EQ(WIN_GetScrollPos(h), 40);

    /* The wheel: one message per notch with its signed distance; parts of
     * a notch are gathered. */
    Received.clear();
    WIN_UserWheel(h, -120);
    WIN_UserWheel(h, 240);
    WIN_UserWheel(h, 60);
    WIN_UserWheel(h, 60);
    auto wheels = Only(WM_MOUSEWHEEL);
    ASSERT_EQ(wheels.size(), 3u);
    EXPECT_EQ(GET_HIWORD_SIGNED(wheels[0].wp), -120);
    EXPECT_EQ(GET_HIWORD_SIGNED(wheels[1].wp), 240);
    EXPECT_EQ(GET_HIWORD_SIGNED(wheels[2].wp), 120);

    /* Over a combo box without the focus, over a disabled control and over
     * the scroll bar, the wheel is the window's. */
    HWND combo = WIN_CreateControl(h, WinControl::ComboList, nullptr, 0, 0, 0, 1000, 400, 0);
    WIN_ComboAddRange(combo, 1, 9, 1);
    WIN_ComboSetCurSel(combo, 0);
    HWND off = WIN_CreateControl(h, WinControl::ComboEdit, nullptr, CS_DISABLED, 0, 60, 80, 200, 0);
    Received.clear();
    WIN_UserWheel(h, -120);
    WIN_UserWheelOver(combo, -120);
    WIN_UserWheelOver(off, 120);
    WIN_UserWheelOver(h, -120);
    wheels = Only(WM_MOUSEWHEEL);
    ASSERT_EQ(wheels.size(), 4u);
    EXPECT_EQ(GET_HIWORD_SIGNED(wheels[2].wp), 120);
    EXPECT_EQ(GET_HIWORD_SIGNED(wheels[3].wp), -120);
    EXPECT_EQ(WIN_ComboGetCurSel(combo), 0);

    /* A click on the background. */
    Received.clear();
    WIN_UserClickBackground(h);
    EXPECT_EQ(Count(WM_LBUTTONUP), 1);
    WIN_DestroyWindow(h);
}

TEST_F(Window, ScrollingMovesControlsAndRepaintsOnlyTheUncoveredStrip)
{
    constexpr COLORREF grey = RGB(170, 170, 170), red = RGB(200, 0, 0), blue = RGB(0, 0, 200);
    HWND h = MakeMainLikeWindow();
    HWND ctl = WIN_CreateControl(h, WinControl::CheckBox, nullptr, 0, 49, 100, 14, 14, 0);
    WIN_ShowWindow(h, true);
    ASSERT_TRUE(WaitForPaints(1));
    int cw = 0, ch = 0;
    WIN_GetClientSize(h, &cw, &ch);

    HDC dc = WIN_GetDC(h);
    WIN_FillRect(dc, 0, 50, 100, 60, red);
    WIN_ReleaseDC(h, dc);

    /* The procedure paints everything blue; only the strip takes it. */
    OnMessage = [](HWND win, UINT msg, WPARAM, LPARAM) -> LRESULT {
        if (msg == WM_PAINT) {
            int w = 0, ht = 0;
            WIN_GetClientSize(win, &w, &ht);
            HDC dc = WIN_BeginPaint(win);
            WIN_FillRect(dc, 0, 0, w, ht, RGB(0, 0, 200));
            WIN_EndPaint(win, dc);
        }
        return 0;
    };
    Received.clear();
    WIN_ScrollWindow(h, -34);
    int x = 0, y = 0;
    WIN_GetControlRect(ctl, &x, &y, nullptr, nullptr);
    EXPECT_EQ(x, 49);
    EXPECT_EQ(y, 66);
    ASSERT_TRUE(WaitForPaints(1));
    WIN_ProcessEvents(20);
    EXPECT_EQ(Count(WM_PAINT), 1);
    EXPECT_EQ(WIN_GetPixel(h, 5, 16), red); /* moved up with the content */
    EXPECT_EQ(WIN_GetPixel(h, 5, 25), red);
    EXPECT_EQ(WIN_GetPixel(h, 5, 26), grey); /* where it came from */
    EXPECT_EQ(WIN_GetPixel(h, 5, 55), grey);
    EXPECT_EQ(WIN_GetPixel(h, 5, ch - 35), grey);
    EXPECT_EQ(WIN_GetPixel(h, 5, ch - 34), blue); /* the uncovered strip */
    EXPECT_EQ(WIN_GetPixel(h, cw - 1, ch - 1), blue);

    WIN_ScrollWindow(h, 34);
    WIN_GetControlRect(ctl, &x, &y, nullptr, nullptr);
    EXPECT_EQ(y, 100);
    ASSERT_TRUE(WaitForPaints(2));
    EXPECT_EQ(WIN_GetPixel(h, 5, 50), red);
    EXPECT_EQ(WIN_GetPixel(h, 5, 33), blue);
    EXPECT_EQ(WIN_GetPixel(h, 5, 34), grey);

    /* An invalidation repaints the whole client area. */
    WIN_InvalidateRect(h);
    ASSERT_TRUE(WaitForPaints(3));
    EXPECT_EQ(WIN_GetPixel(h, 5, 50), blue);
    WIN_DestroyWindow(h);
}

TEST_F(Window, MenuAndAcceleratorsSendTheirCommands)
{
    static const WIN_Accel accels[] = {{L'?', true, 104}, {L'/', true, 104}};
    HWND h = MakeMainLikeWindow();
    WIN_SetAccelerators(h, accels, 2);
    HWND combo =
        WIN_CreateControl(h, WinControl::ComboEdit, nullptr, CS_TABSTOP, 99, 35, 60, 360, 0);
    WIN_ShowWindow(h, true);
    ASSERT_TRUE(WaitForPaints(1));
    Received.clear();

    auto commands = [] {
        std::vector<WPARAM> out;
        for (const Msg &m : Only(WM_COMMAND))
            out.push_back(m.wp);
        return out;
    };
    WIN_UserKey(h, L'?', true);
    WIN_UserKey(h, L'/', true);
    WIN_UserKey(h, L'?', false); /* without Alt no command */
    EXPECT_EQ(commands(), (std::vector<WPARAM>{MAKEWPARAM(104, 1), MAKEWPARAM(104, 1)}));

    /* Also while a combo box has the focus, and the box gets no text. */
    WIN_SetFocus(combo);
    EXPECT_EQ(WIN_GetFocus(), combo);
    Received.clear();
    WIN_UserKey(h, L'?', true);
    EXPECT_EQ(commands(), (std::vector<WPARAM>{MAKEWPARAM(104, 1)}));
    wchar_t text[8];
    EXPECT_EQ(WIN_GetWindowText(combo, text, 8), 0);

    Received.clear();
    EXPECT_TRUE(WIN_UserMenu(h, 112));
    EXPECT_TRUE(WIN_UserMenu(h, 105));
    EXPECT_FALSE(WIN_UserMenu(h, 999));
    auto cmds = Only(WM_COMMAND);
    ASSERT_EQ(cmds.size(), 2u);
    EXPECT_EQ(cmds[0].wp, MAKEWPARAM(112, 0));
    EXPECT_EQ(cmds[0].lp, 0);
    EXPECT_EQ(cmds[1].wp, MAKEWPARAM(105, 0));
    WIN_DestroyWindow(h);
}

} // namespace

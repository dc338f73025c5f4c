/* dialog_test.cpp -- modal dialogs from templates in dialog units, their
 * keys and close box, nesting, and the message boxes and file dialogs with
 * queued answers. */
#include "tests/platform/recorder.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>

namespace
{

class Dialog : public testing::Test
{
  protected:
    void SetUp() override { ResetRecord(); }
    void TearDown() override { ResetRecord(); }
};

/* The read-out dialog's template: 200 x 80 units, 9 points, Cancel. */
const WIN_DlgItem readOutItems[] = {
    {IDCANCEL, WinControl::PushButton, L"Cancel", 0, 75, 60, 50, 14}};
const WIN_DlgTemplate readOut = {200, 80, 9, L"Configuration upload", readOutItems, 1};

/* The device settings dialog's buttons: 8 points, OK the default. */
const WIN_DlgItem settingsItems[] = {
    {10, WinControl::PushButton, L"Read", CS_TABSTOP, 10, 160, 40, 14},
    {11, WinControl::PushButton, L"Program", CS_TABSTOP | CS_DISABLED, 55, 160, 40, 14},
    {IDOK, WinControl::DefPushButton, L"OK", CS_TABSTOP, 100, 160, 40, 14}};
const WIN_DlgTemplate settings = {160, 180, 8, L"dCSS Device Setting", settingsItems, 3};

std::vector<unsigned> commandIds()
{
    std::vector<unsigned> ids;
    for (const Msg &m : Only(WM_COMMAND))
        ids.push_back(LOWORD(m.wp));
    return ids;
}

TEST_F(Dialog, DialogUnitsFollowTheTemplateFont)
{
    WIN_Post([] {
        HWND d = WIN_ActiveDialog();
        ASSERT_NE(d, nullptr);
        int w = 0, h = 0;
        WIN_GetClientSize(d, &w, &h);
        EXPECT_EQ(w, 350); /* 9 points: base units 7 x 14 */
        EXPECT_EQ(h, 140);
        WIN_GetWindowSize(d, &w, &h);
        EXPECT_EQ(w, 356);
        EXPECT_EQ(h, 169);
        int x, y;
        WIN_GetControlRect(WIN_GetDlgItem(d, IDCANCEL), &x, &y, &w, &h);
        EXPECT_EQ(x, 131);
        EXPECT_EQ(y, 105);
        EXPECT_EQ(w, 88);
        EXPECT_EQ(h, 25);
        EXPECT_EQ(WIN_GetPixel(d, 5, 5), WIN_COLOR_DIALOG);
        WIN_EndDialog(d, 42);
    });
    EXPECT_EQ(WIN_DialogBox(nullptr, &readOut, RecordingDlgProc), 42);
    ASSERT_FALSE(Received.empty());
    EXPECT_EQ(Received.front().msg, WM_INITDIALOG);
    EXPECT_EQ(Received.back().msg, WM_DESTROY);
    EXPECT_EQ(WIN_ActiveDialog(), nullptr);

    WIN_Post([] {
        HWND d = WIN_ActiveDialog();
        EXPECT_EQ(WIN_DlgUnitsToPixelsX(d, 160), 240); /* 8 points: 6 x 12 */
        EXPECT_EQ(WIN_DlgUnitsToPixelsY(d, 180), 270);
        WIN_EndDialog(d, IDOK);
    });
    EXPECT_EQ(WIN_DialogBox(nullptr, &settings, RecordingDlgProc), IDOK);
}

TEST_F(Dialog, EscapeEnterAndTheCloseBoxGiveTheirCommands)
{
    OnMessage = [](HWND d, UINT msg, WPARAM wp, LPARAM) -> LRESULT {
        if (msg == WM_COMMAND && LOWORD(wp) == 99) WIN_EndDialog(d, 99);
        return 0;
    };
    WIN_Post([] {
        HWND d = WIN_ActiveDialog();
        WIN_UserKey(d, 27, false);    /* Escape: Cancel */
        WIN_UserKey(d, L'\r', false); /* Enter: the default button */
        WIN_SetFocus(WIN_GetDlgItem(d, 10));
        WIN_UserKey(d, L'\r', false);         /* Enter on a focused button: that one */
        WIN_UserClick(WIN_GetDlgItem(d, 11)); /* disabled: nothing */
        WIN_UserClose(d);                     /* WM_CLOSE unhandled: Cancel */
        WIN_Post([d] {
            /* Ends the dialog through a command of the test's own. */
            RecordingDlgProc(d, WM_COMMAND, MAKEWPARAM(99, 0), 0);
        });
    });
    EXPECT_EQ(WIN_DialogBox(nullptr, &settings, RecordingDlgProc), 99);
    auto closes = Only(WM_CLOSE);
    EXPECT_EQ(closes.size(), 1u);
    EXPECT_EQ(commandIds(), (std::vector<unsigned>{IDCANCEL, IDOK, 10, IDCANCEL, 99}));

    /* A procedure that handles WM_CLOSE gets no Cancel after it. */
    ResetRecord();
    OnMessage = [](HWND d, UINT msg, WPARAM, LPARAM) -> LRESULT {
        if (msg != WM_CLOSE) return 0;
        WIN_EndDialog(d, 7);
        return 1;
    };
    WIN_Post([] { WIN_UserClose(WIN_ActiveDialog()); });
    EXPECT_EQ(WIN_DialogBox(nullptr, &readOut, RecordingDlgProc), 7);
    EXPECT_TRUE(commandIds().empty());
}

TEST_F(Dialog, NestedDialogsTimersAndDrawing)
{
    /* The transfer dialog opened from within another dialog, its timer
     * running in the inner loop, its drawing on its own surface. */
    static HWND outer, inner;
    OnMessage = [](HWND d, UINT msg, WPARAM wp, LPARAM) -> LRESULT {
        if (msg == WM_INITDIALOG && !outer) {
            outer = d;
            WIN_SetTimer(d, 3, 1);
        } else if (msg == WM_INITDIALOG) {
            inner = d;
            WIN_SetTimer(d, 6, 1);
            HWND bar = WIN_CreateControl(d, WinControl::ProgressBar, nullptr, 0, 7, 50, 243, 20, 0);
            WIN_ProgressSetPos(bar, 50);
        } else if (msg == WM_TIMER && d == outer) {
            WIN_KillTimer(d, 3);
            EXPECT_EQ(WIN_DialogBox(d, &readOut, RecordingDlgProc), 2);
            WIN_EndDialog(d, 1);
        } else if (msg == WM_TIMER && d == inner) {
            WIN_KillTimer(d, 6);
            EXPECT_EQ(WIN_ActiveDialog(), inner);
            HDC dc = WIN_GetDC(d);
            WIN_FillRect(dc, 10, 20, 230, 40, WIN_COLOR_MENU);
            WIN_SetTextColor(dc, RGB(0, 119, 0));
            WIN_SetBkMode(dc, TRANSPARENT);
            WIN_TextOut(dc, 10, 20, L"Upload successfully finished!", -1);
            WIN_ReleaseDC(d, dc);
            EXPECT_EQ(WIN_GetPixel(d, 229, 39), WIN_COLOR_MENU);
            WIN_Sleep(1);
            WIN_UserClick(WIN_GetDlgItem(d, IDCANCEL));
        } else if (msg == WM_COMMAND && d == inner && LOWORD(wp) == IDCANCEL) {
            WIN_EndDialog(d, IDCANCEL);
        }
        return 0;
    };
    outer = inner = nullptr;
    EXPECT_EQ(WIN_DialogBox(nullptr, &settings, RecordingDlgProc), 1);
    EXPECT_FALSE(WIN_IsWindow(inner));
    EXPECT_FALSE(WIN_IsWindow(outer));
    EXPECT_EQ(WIN_ActiveDialog(), nullptr);
}

TEST_F(Dialog, PendingPaintComesBeforeEachTimerTick)
{
    /* As on Win32: a dialog is on the screen and painted before its first
     * tick's step blocks, and what a step invalidated is painted before the
     * next tick. (On X11 the display exposes a window some time after it is
     * mapped: the suite runs this case under Xvfb too.) */
    static int ticks;
    static bool onScreen;
    static std::vector<int> paintsBeforeTick;
    OnMessage = [](HWND d, UINT msg, WPARAM, LPARAM) -> LRESULT {
        if (msg == WM_INITDIALOG) {
            /* an opening exchange with the device takes a while */
            WIN_SetTimer(d, 3, 1);
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
        if (msg != WM_TIMER) return 0;
        WIN_KillTimer(d, 3);
        if (ticks == 0) onScreen = WIN_IsOnScreen(d);
        paintsBeforeTick.push_back(Count(WM_PAINT));
        if (++ticks == 3) {
            WIN_EndDialog(d, 1);
            return 0;
        }
        WIN_InvalidateRect(d);
        WIN_SetTimer(d, 3, 0);
        return 0;
    };
    ticks = 0;
    onScreen = false;
    paintsBeforeTick.clear();
    EXPECT_EQ(WIN_DialogBox(nullptr, &readOut, RecordingDlgProc), 1);
    EXPECT_TRUE(onScreen) << "the first tick came before the dialog was on the screen";
    ASSERT_EQ(paintsBeforeTick.size(), 3u);
    EXPECT_GE(paintsBeforeTick[0], 1) << "the dialog was painted before its first tick";
    EXPECT_EQ(paintsBeforeTick[1], paintsBeforeTick[0] + 1);
    EXPECT_EQ(paintsBeforeTick[2], paintsBeforeTick[1] + 1);
}

TEST_F(Dialog, QueuedAnswersStandInForBoxesAndFileDialogs)
{
    WIN_QueueMessageBoxAnswer(IDNO);
    WIN_QueueMessageBoxAnswer(IDYES);
    const wchar_t *question = L"File exists!\nDo you want to overwrite it?";
    EXPECT_EQ(WIN_MessageBox(nullptr, question, L"File Message", MB_YESNO | MB_ICONQUESTION), IDNO);
    EXPECT_EQ(std::wstring(WIN_LastMessageBoxText()), question);
    EXPECT_EQ(WIN_MessageBox(nullptr, L"second", L"File Message", MB_YESNO), IDYES);
    EXPECT_EQ(std::wstring(WIN_LastMessageBoxText()), L"second");
    /* nothing queued: answered OK at once instead of waiting for a click */
    EXPECT_EQ(WIN_MessageBox(nullptr, L"third", L"File Message", MB_OK), IDOK);
    EXPECT_EQ(std::wstring(WIN_LastMessageBoxText()), L"third");

    char path[32];
    WIN_FileDialog fd{nullptr, L"Text", L"*.txt", L"txt", path, sizeof path};
    WIN_QueueFileName("/tmp/config");
    WIN_QueueFileName("/tmp/config.cfg");
    WIN_QueueFileName(nullptr);
    WIN_QueueFileName("/tmp/a-name-far-too-long-for-the-buffer.txt");
    WIN_QueueFileName("/tmp/in");
    ASSERT_TRUE(WIN_GetSaveFileName(&fd));
    EXPECT_EQ(std::string(path), "/tmp/config.txt"); /* the default extension */
    ASSERT_TRUE(WIN_GetSaveFileName(&fd));
    EXPECT_EQ(std::string(path), "/tmp/config.cfg");
    EXPECT_FALSE(WIN_GetSaveFileName(&fd)); /* the user cancels */
    EXPECT_FALSE(WIN_GetOpenFileName(&fd)); /* no cut paths */
    ASSERT_TRUE(WIN_GetOpenFileName(&fd));
    EXPECT_EQ(std::string(path), "/tmp/in");
}

} // namespace

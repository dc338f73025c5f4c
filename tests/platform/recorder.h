/* recorder.h -- a window and dialog procedure for the layer's tests that
 * writes down every message it gets, and helpers to look at what it got. */
#pragma once

#include "platform/testsupport/wintest.h"

#include <functional>
#include <gtest/gtest.h>
#include <vector>

struct Msg {
    HWND win;
    UINT msg;
    WPARAM wp;
    LPARAM lp;
};

/* Every message the two procedures below received, oldest first. */
extern std::vector<Msg> Received;
/* Called after recording, for tests that must act on a message. */
extern std::function<LRESULT(HWND, UINT, WPARAM, LPARAM)> OnMessage;

LRESULT RecordingProc(HWND win, UINT msg, WPARAM wp, LPARAM lp);
INT_PTR RecordingDlgProc(HWND win, UINT msg, WPARAM wp, LPARAM lp);

/* Clears the record and the reaction. */
void ResetRecord();
/* The messages of one kind, in order. */
std::vector<Msg> Only(UINT msg);
/* The notification codes that control ctl sent with WM_COMMAND, in order. */
std::vector<unsigned> Notifications(HWND ctl);
int Count(UINT msg);

/* Generous bound for a message to arrive under the sanitizers. */
constexpr int ARRIVAL_MS = 10000;
/* Handles messages until the procedures above have received n WM_PAINT in
 * all; false when they did not come within ARRIVAL_MS. */
bool WaitForPaints(int n);

/* A sizable 1091 x 515 window with menu, scroll bar and the grey background,
 * like the program's main window, not yet shown. */
HWND MakeMainLikeWindow();

/* A test with a main-like window shown and an empty record. */
class ShownWindow : public testing::Test
{
  protected:
    void SetUp() override
    {
        ResetRecord();
        win = MakeMainLikeWindow();
        WIN_ShowWindow(win, true);
        WaitForPaints(1); /* the first paint is behind the test */
    }
    void TearDown() override
    {
        WIN_DestroyWindow(win);
        ResetRecord();
    }
    HWND win = nullptr;
};

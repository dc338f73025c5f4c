/* mainfixture.h -- a main window made as start-up makes it, for one test. */
#pragma once

#include "app/mainwnd.h"
#include "app/ubtable.h"
#include "config/velnor.h"
#include "platform/testsupport/wintest.h"

#include <cwchar>
#include <gtest/gtest.h>

/* Opens the main window for model index m, as after the start-up window. */
inline void MAINTEST_Open(int m)
{
    VelnorData = VelnorData_t{};
    VelnorData.Model = static_cast<std::int8_t>(m);
    std::wcscpy(szTitle, L"Brevant");
    MyRegisterClass(nullptr);
    ASSERT_EQ(InitInstance(nullptr, 1), 1);
    ASSERT_NE(hWnd, nullptr);
    WIN_ProcessEvents(0);
}

/* Destroys the main window and takes back the quit its destruction posts. */
inline void MAINTEST_Close()
{
    if (hWnd) WIN_DestroyWindow(hWnd);
    int code = -1;
    WIN_TakeQuit(&code);
}

class MainWindow : public testing::Test
{
  protected:
    void open(int m) { MAINTEST_Open(m); }
    void TearDown() override { MAINTEST_Close(); }
    /* The record shown in display row i. */
    static VelnorCfg_t &rec(int i) { return VelnorCfg[MAIN_FindRow(i)]; }
    static std::wstring text(HWND w)
    {
        wchar_t buf[64] = {};
        WIN_GetWindowText(w, buf, 64);
        return buf;
    }
    /* The first column of status box i, left to right, that is not the box's
     * colour: where its text starts. */
    static int statusTextStart(int i)
    {
        const int y0 = OffsetVert + 34 * i;
        int first = 10000;
        for (int y = y0 + 39; y < y0 + 56; y++)
            for (int x = 656; x < 872; x++)
                if (WIN_GetPixel(hWnd, x, y) != BoxColor[i] && x < first) first = x;
        return first;
    }
};

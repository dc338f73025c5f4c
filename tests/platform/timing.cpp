/* timing.cpp -- how long the windowing layer takes to build the main
 * window's table of 32 rows (eight controls per row, each UB frequency list
 * 1,201 items and each TP frequency list 2,051), to destroy it, and to
 * scroll it by a row. Not a test: run it by hand on the offscreen platform;
 * the figures are written down in docs/PERFORMANCE.md. */
#include "platform/testsupport/wintest.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>

namespace
{

constexpr int ROWS = 32;
constexpr int ROUNDS = 5;
HWND rows[ROWS][8];

LRESULT quiet(HWND, UINT, WPARAM, LPARAM)
{
    return 0;
}

HWND combo(HWND win, WinControl kind, unsigned style, int x, int y, int w, int h, HFONT font)
{
    HWND c = WIN_CreateControl(win, kind, nullptr, style, x, y, w, h, 0);
    WIN_SetFont(c, font);
    WIN_ComboSetFieldHeight(c, 16);
    return c;
}

void build(HWND win, HFONT font)
{
    constexpr unsigned list = CS_TABSTOP | CS_VSCROLL;
    for (int r = 0; r < ROWS; ++r) {
        int y0 = 34 * r;
        HWND *row = rows[r];
        row[0] = WIN_CreateControl(win, WinControl::CheckBox, nullptr, 0, 49, y0 + 40, 14, 14, 0);
        row[1] = combo(win, WinControl::ComboEdit, list, 99, y0 + 35, 60, 360, font);
        WIN_ComboLimitText(row[1], 4);
        WIN_ComboAddRange(row[1], 950, 2150, 1);
        row[2] = combo(win, WinControl::ComboEdit, list, 194, y0 + 35, 46, 180, font);
        WIN_ComboLimitText(row[2], 2);
        WIN_ComboAddRange(row[2], 24, 80, 1);
        row[3] = combo(win, WinControl::ComboList, list, 274, y0 + 35, 50, 200, font);
        WIN_ComboAddRange(row[3], -29, -22, 1);
        row[4] = WIN_CreateControl(win, WinControl::CheckBox, nullptr, 0, 374, y0 + 40, 14, 14, 0);
        row[5] = combo(win, WinControl::ComboEdit, list | CS_DISABLED, 434, y0 + 35, 65, 200, font);
        WIN_ComboLimitText(row[5], 5);
        WIN_ComboAddRange(row[5], 10700, 12750, 1);
        row[6] = combo(win, WinControl::ComboList, CS_TABSTOP | CS_DISABLED, 539, y0 + 35, 40, 120,
                       font);
        for (const wchar_t *p : {L"V", L"H", L"R", L"L"})
            WIN_ComboAddString(row[6], p);
        row[7] = combo(win, WinControl::ComboList, CS_TABSTOP | CS_DISABLED, 609, y0 + 35, 35, 160,
                       font);
        WIN_ComboAddRange(row[7], 1, 8, 1);
        for (int c = 1; c < 8; ++c)
            if (c != 4) WIN_ComboSetCurSel(row[c], 0);
    }
    HDC dc = WIN_GetDC(win);
    WIN_SelectFont(dc, font);
    WIN_SetBkColor(dc, RGB(170, 170, 170));
    for (int r = 0; r < ROWS; ++r) {
        int y0 = 34 * r;
        WIN_TextOut(dc, 99, 10, L"UB Frequency", -1);
        WIN_FrameRect(dc, 5, y0 + 30, 879, y0 + 65, RGB(0, 0, 255));
        WIN_FillRect(dc, 654, y0 + 38, 874, y0 + 58, RGB(0, 153, 0));
        WIN_TextOut(dc, 757, y0 + 39, L"OK", -1);
    }
    WIN_ReleaseDC(win, dc);
}

double since(std::chrono::steady_clock::time_point t0)
{
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
}

} // namespace

int main(int argc, char **argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    WIN_Init(argc, argv);
    WIN_WindowDesc d{};
    d.title = L"timing";
    d.proc = quiet;
    d.background = RGB(170, 170, 170);
    d.width = 1091;
    d.height = 515;
    d.style = WS_SIZABLE | WS_VSCROLL;
    HWND win = WIN_CreateWindow(&d);
    WIN_ShowWindow(win, true);
    WIN_ProcessEvents(50);
    HFONT font = WIN_CreateFont(16, 6, FW_MEDIUM, L"Arial");
    for (int round = 0; round < ROUNDS; ++round) {
        auto t0 = std::chrono::steady_clock::now();
        build(win, font);
        double built = since(t0);
        t0 = std::chrono::steady_clock::now();
        for (auto &row : rows)
            for (HWND c : row)
                WIN_DestroyWindow(c);
        WIN_ProcessEvents(0);
        std::printf("round %d: build %.1f ms, destroy %.1f ms\n", round + 1, built, since(t0));
    }
    build(win, font);
    auto t0 = std::chrono::steady_clock::now();
    WIN_ScrollWindow(win, -34);
    WIN_UpdateWindow(win);
    std::printf("scroll by a row with %d controls: %.1f ms\n", ROWS * 8, since(t0));
    return 0;
}

/* draw_test.cpp -- drawing on the backing surface: fills, frames, text in
 * opaque and transparent mode, font cell heights, paint clearing, and a
 * saved image of a window with the program's kinds of controls. */
#include "tests/platform/recorder.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace
{

constexpr COLORREF grey = RGB(170, 170, 170);
constexpr COLORREF green = RGB(0, 153, 0);

using Draw = ShownWindow;

TEST_F(Draw, FillsAndFramesCoverExactlyTheirRectangles)
{
    HDC dc = WIN_GetDC(win);
    ASSERT_NE(dc, nullptr);
    WIN_FillRect(dc, 654, 38, 874, 58, green);
    EXPECT_EQ(WIN_GetPixel(win, 654, 38), green);
    EXPECT_EQ(WIN_GetPixel(win, 873, 57), green);
    EXPECT_EQ(WIN_GetPixel(win, 874, 57), grey); /* right and bottom excluded */
    EXPECT_EQ(WIN_GetPixel(win, 873, 58), grey);
    EXPECT_EQ(WIN_GetPixel(win, 653, 38), grey);

    WIN_FrameRect(dc, 5, 30, 879, 65, RGB(0, 0, 255));
    EXPECT_EQ(WIN_GetPixel(win, 5, 30), RGB(0, 0, 255));
    EXPECT_EQ(WIN_GetPixel(win, 878, 64), RGB(0, 0, 255));
    EXPECT_EQ(WIN_GetPixel(win, 5, 64), RGB(0, 0, 255));
    EXPECT_EQ(WIN_GetPixel(win, 879, 64), grey);
    EXPECT_EQ(WIN_GetPixel(win, 6, 31), grey); /* one pixel wide */
    EXPECT_EQ(WIN_GetPixel(win, 5, 65), grey);

    WIN_FillRect(dc, 10, 10, 10, 20, green); /* empty: nothing */
    EXPECT_EQ(WIN_GetPixel(win, 10, 10), grey);
    WIN_ReleaseDC(win, dc);
    EXPECT_EQ(WIN_GetPixel(win, -1, 0), 0xFFFFFFFFu);

    /* Painting clears to the window's background first. */
    WIN_InvalidateRect(win);
    WIN_UpdateWindow(win);
    EXPECT_EQ(WIN_GetPixel(win, 654, 38), grey);
}

/* The rows in [top, top + 30) whose pixel at x has the colour c. */
static int rowsOf(HWND win, int x, int top, COLORREF c)
{
    int n = 0;
    for (int y = top; y < top + 30; ++y)
        if (WIN_GetPixel(win, x, y) == c) ++n;
    return n;
}

TEST_F(Draw, TextHasItsCellHeightColoursAndTopLeftCorner)
{
    HDC dc = WIN_GetDC(win);
    HFONT font = WIN_CreateFont(16, 6, FW_MEDIUM, L"Arial");
    ASSERT_NE(font, nullptr);
    HFONT old = WIN_SelectFont(dc, font);
    EXPECT_NE(old, nullptr);
    WIN_SetTextColor(dc, RGB(0, 0, 0));
    WIN_SetBkColor(dc, green);
    WIN_SetBkMode(dc, OPAQUE);
    WIN_TextOut(dc, 757, 39, L"OK", -1);
    WIN_TextOut(dc, 400, 39, L"  ", -1);

    /* The opaque background covers the 16-pixel cell from the point. */
    EXPECT_EQ(rowsOf(win, 400, 30, green), 16);
    EXPECT_EQ(WIN_GetPixel(win, 757, 39), green);
    EXPECT_EQ(WIN_GetPixel(win, 757, 38), grey);
    EXPECT_EQ(WIN_GetPixel(win, 757, 55), grey);
    EXPECT_EQ(WIN_GetPixel(win, 756, 45), grey);
    /* The glyphs are dark, inside the cell. */
    int darkest = 255;
    for (int x = 757; x < 780; ++x)
        for (int y = 39; y < 55; ++y)
            darkest = std::min(darkest, GetGValue(WIN_GetPixel(win, x, y)));
    EXPECT_LT(darkest, 60);

    /* Transparent text leaves the background where no glyph is. */
    WIN_SetBkMode(dc, TRANSPARENT);
    WIN_SetTextColor(dc, RGB(255, 255, 255));
    WIN_TextOut(dc, 100, 100, L"No.", 3);
    EXPECT_EQ(WIN_GetPixel(win, 100, 100), grey);
    int light = 0;
    for (int x = 100; x < 120; ++x)
        for (int y = 100; y < 116; ++y)
            light = std::max(light, GetRValue(WIN_GetPixel(win, x, y)));
    EXPECT_GT(light, 230);

    /* The calculator's font: cell 14. */
    HFONT small = WIN_CreateFont(14, 5, FW_MEDIUM, L"Arial");
    WIN_SelectFont(dc, small);
    WIN_SetBkMode(dc, OPAQUE);
    WIN_TextOut(dc, 300, 200, L" V", -1);
    EXPECT_EQ(rowsOf(win, 300, 195, green), 14);
    WIN_SelectFont(dc, old);
    WIN_ReleaseDC(win, dc);
    WIN_DeleteFont(font);
    WIN_DeleteFont(small);
}

/* A row of the program's table with its fonts and sizes, saved as an image
 * to look at. The combo boxes are 22 pixels high with 16-pixel fields. */
TEST_F(Draw, SavedImageOfATableRow)
{
    HFONT font = WIN_CreateFont(16, 6, FW_MEDIUM, L"Arial");
    struct Box {
        WinControl kind;
        int x, w, h, first, last;
    };
    const Box boxes[] = {{WinControl::ComboEdit, 99, 60, 360, 950, 2150},
                         {WinControl::ComboEdit, 194, 46, 180, 24, 82},
                         {WinControl::ComboList, 274, 50, 200, -40, -20},
                         {WinControl::ComboEdit, 434, 65, 200, 10700, 12750},
                         {WinControl::ComboList, 609, 35, 160, 1, 8}};
    for (int row = 0; row < 3; ++row) {
        int y0 = row * 34;
        WIN_CreateControl(win, WinControl::CheckBox, nullptr, 0, 49, y0 + 40, 14, 14, 0);
        for (const Box &b : boxes) {
            HWND c = WIN_CreateControl(win, b.kind, nullptr, CS_TABSTOP | CS_VSCROLL, b.x, y0 + 35,
                                       b.w, b.h, 0);
            WIN_SetFont(c, font);
            WIN_ComboSetFieldHeight(c, 16);
            WIN_ComboAddRange(c, b.first, b.last, 1);
            WIN_ComboSetCurSel(c, row == 1 ? WIN_ComboGetCount(c) - 1 : 0);
            int x, y, w, h;
            WIN_GetControlRect(c, &x, &y, &w, &h);
            EXPECT_EQ(h, 22);
        }
    }
    HWND model =
        WIN_CreateControl(win, WinControl::StaticSunken, L"KX-101", 0, 891, 30, 100, 20, 0);
    WIN_SetFont(model, font);
    HWND button = WIN_CreateControl(win, WinControl::DefPushButton, L"Configuration upload",
                                    CS_TABSTOP, 891, 200, 160, 30, 0);
    WIN_SetFont(button, font);
    HDC dc = WIN_GetDC(win);
    WIN_SelectFont(dc, font);
    WIN_SetBkColor(dc, grey);
    WIN_TextOut(dc, 99, 10, L"UB Frequency", -1);
    WIN_TextOut(dc, 162, 38, L"MHz", -1);
    WIN_FrameRect(dc, 5, 30, 879, 65, RGB(0, 0, 255));
    WIN_SetBkColor(dc, green);
    WIN_FillRect(dc, 654, 38, 874, 58, green);
    WIN_TextOut(dc, 757, 39, L"OK", -1);
    WIN_ReleaseDC(win, dc);

    std::string path = testing::TempDir() + "platform-row.png";
    ASSERT_TRUE(WIN_SaveImage(win, path.c_str()));
    FILE *f = std::fopen(path.c_str(), "rb");
    ASSERT_NE(f, nullptr);
    unsigned char head[8] = {};
    EXPECT_EQ(std::fread(head, 1, 8, f), 8u);
    std::fclose(f);
    EXPECT_EQ(head[1], 'P'); /* a PNG file */
    WIN_DeleteFont(font);
}

} // namespace

/* wintypes.h -- the plain types the windowing layer shares with the logic.
 *
 * Colours, handles and message parameters as the window procedures of the
 * program expect them. Nothing here needs Qt; the logic modules (config, link)
 * may include this header without pulling in the windowing layer itself.
 */
#pragma once

#include <cstdint>

/* A colour value laid out as 0x00BBGGRR. */
using COLORREF = std::uint32_t;

constexpr COLORREF RGB(int r, int g, int b)
{
    return static_cast<COLORREF>((r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16));
}
constexpr int GetRValue(COLORREF c)
{
    return static_cast<int>(c & 0xFF);
}
constexpr int GetGValue(COLORREF c)
{
    return static_cast<int>((c >> 8) & 0xFF);
}
constexpr int GetBValue(COLORREF c)
{
    return static_cast<int>((c >> 16) & 0xFF);
}

/* Opaque handles. A window handle names a top-level window, a dialog or a
 * child control; a drawing context draws into a window's backing surface. */
struct WinWindow;
struct WinDC;
struct WinFont;
using HWND = WinWindow *;
using HDC = WinDC *;
using HFONT = WinFont *;
using HINSTANCE = void *;

using UINT = unsigned int;
using WPARAM = std::uintptr_t;
using LPARAM = std::intptr_t;
using LRESULT = std::intptr_t;
using INT_PTR = std::intptr_t;

constexpr WPARAM MAKEWPARAM(unsigned lo, unsigned hi)
{
    return static_cast<WPARAM>((lo & 0xFFFFu) | ((hi & 0xFFFFu) << 16));
}
constexpr unsigned LOWORD(WPARAM w)
{
    return static_cast<unsigned>(w & 0xFFFFu);
}
constexpr unsigned HIWORD(WPARAM w)
{
    return static_cast<unsigned>((w >> 16) & 0xFFFFu);
}
/* The signed high word, as scroll positions and wheel distances are given. */
constexpr int GET_HIWORD_SIGNED(WPARAM w)
{
    return static_cast<int>(static_cast<std::int16_t>((w >> 16) & 0xFFFFu));
}

/* rsinit.h -- the start-up connection window.
 *
 * Before the main window exists, this window finds the Kaltro on a serial port
 * (one port per tick of timer 1), powers and identifies the dCSS device behind
 * it, and lets the user confirm the model or choose it by hand. It hands two
 * results to start-up: whether the program ends, and the model index. The
 * port it leaves open is the one the rest of the program uses.
 */
#pragma once

#include "platform/wintypes.h"

#include <cstdint>

/* The window's controls: the first button (Cancel while the scan runs, OK
 * after it), Repeat, Exit, and the model selection shown while the device
 * is unknown. */
constexpr int IDC_RS_FIRST = 10;
constexpr int IDC_RS_REPEAT = 11;
constexpr int IDC_RS_EXIT = 12;
constexpr int IDC_RS_MODEL = 1460;

/* Running the window: 1 from RSINIT_Init means the program ends. */
std::int32_t RSINIT_Init(HINSTANCE hInstance, int nCmdShow);
std::int32_t RSINIT_GetModel();
int RSINIT_InitInstanceFirst(HINSTANCE hInstance, int nCmdShow);
LRESULT RSWinProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);

/* Drawing on a context that has the window's font selected: the labels, the
 * port field, the controller and device fields, the model selection. */
void RSINIT_MainText(HDC hdc);
void RSINIT_DrawCOMText(HDC hdc);
void RSINIT_DrawDCSSInfo(HDC hdc, HWND hWnd);
void RSINIT_DrawdCSSSelectBox(HDC hdc, HWND hWnd);

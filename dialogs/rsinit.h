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

/* For the tests: the window and its controls (nullptr while absent), and the
 * text and colour of each field exactly as they are painted. */
enum class RsinitItem { Window, FirstButton, Repeat, Exit, Select };
enum class RsinitField { Port, Controller, Device };
HWND RSINIT_GetHandle(RsinitItem item);
COLORREF RSINIT_GetField(RsinitField field, wchar_t *text, int max);

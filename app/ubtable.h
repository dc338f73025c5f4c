/* ubtable.h -- the UB table view of the main window: one row of controls per
 * UB, the painted headings, frames and status boxes, the side panel's model
 * label, and the moves between a table record and its row.
 *
 * Display row r shows the record whose UBNo is r. Row r's top is at
 * OffsetVert + ROW_HEIGHT * r in client pixels; OffsetVert is the scroll
 * offset, 0 or negative, changed by the window procedure in whole rows.
 */
#pragma once

#include "config/velnor.h"
#include "platform/wintypes.h"

constexpr int ROW_HEIGHT = 34;   /* pixels per table row */
constexpr int TABLE_RIGHT = 891; /* the table ends where the side panel starts */
constexpr int PANEL_X = 891;     /* x of the side panel's controls */
constexpr COLORREF WINDOW_BACKGROUND = RGB(170, 170, 170);
constexpr COLORREF FRAME_BLUE = RGB(0, 0, 255);

/* The row controls, by display row; nullptr where no control exists. */
extern HWND hActive[MAX_UB], hUBFreq[MAX_UB], hBW[MAX_UB], hLevel[MAX_UB];
extern HWND hMode[MAX_UB], hConvFreq[MAX_UB], hConvPol[MAX_UB], hFeed[MAX_UB];
extern HWND hModel; /* the side panel's model-name label */
extern int OffsetVert;

/* Building and painting the table. */
void MAIN_Draw(HWND HWin, int Index);
void MAIN_SetBoxes(HDC hdc, int Number);
void MAIN_RefreshErrorBoxes(HDC hdc, int Number);
void MAIN_ReDrawUBTable(HWND hWindow, int UBNumber);
void MAIN_DestroyWindows(HDC Hdc);
/* Forgets every row control and the model label after the main window and
 * its children are gone, and puts the scroll offset back to 0. */
void MAIN_ForgetWindows();

/* Between a record and its row. */
void MAIN_DataUpdate(int Index);
/* Validates the table, then paints every row's status box into hdc. */
void MAIN_CheckCompatibility(HDC hdc);

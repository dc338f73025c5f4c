/* display.h -- the status line, progress bar and percentage shown by the
 * read-out, transfer and EN programming dialogs.
 *
 * Each of those dialogs owns one Display_t and draws through these
 * functions: the status text at (10, 20) on a transparent background after
 * the rectangle (10, 20)-(230, 40) is erased, the percentage "%u%" in black
 * at (255, 52) after (255, 52)-(285, 72) is erased, both in the system menu
 * colour, and a progress bar of 0 to 100 at (7, 50), 243 by 20 pixels. The
 * text and colour drawn last are kept, so a paint shows them again.
 */
#pragma once

#include "ops/opsdisp.h"
#include "platform/wintypes.h"

constexpr int DISPLAY_TEXT_LEN = 128; /* wide characters of the status text */

/* Colours of the status text. */
constexpr COLORREF DISPLAY_BLACK = RGB(0, 0, 0);   /* progress */
constexpr COLORREF DISPLAY_RED = RGB(170, 0, 0);   /* errors */
constexpr COLORREF DISPLAY_GREEN = RGB(0, 119, 0); /* success */

struct Display_t {
    HWND HWndPB;                          /* the progress bar */
    wchar_t KaltroText[DISPLAY_TEXT_LEN]; /* the status text drawn last */
    COLORREF GColor;                      /* its colour */
    int Percentage;                       /* progress, 0 to 100 */
    int LastPercentage;                   /* progress drawn last; -1 none yet */
};

/* Setting up, when a dialog opens. */
/* No text (black), percentage 0, nothing drawn yet, no bar. */
void DISPLAY_Reset(Display_t *d);
/* Creates the progress bar in dlg. */
void DISPLAY_CreateBar(HWND dlg, Display_t *d);

/* Drawing with a context of the dialog. */
/* Erases the status rectangle, keeps text and colour (nullptr: the kept
 * ones) and draws the text. */
void DISPLAY_Text(HDC hdc, Display_t *d, const wchar_t *text, COLORREF color);
/* Erases the percentage rectangle and draws the number and "%". */
void DISPLAY_Percents(HDC hdc, unsigned percent);

/* Whole steps on the dialog window. */
/* Shows text in color now. */
void DISPLAY_Show(HWND dlg, Display_t *d, const wchar_t *text, COLORREF color);
/* Sets the progress; when it differs from what was drawn last, moves the bar
 * and draws the percentage. */
void DISPLAY_SetProgress(HWND dlg, Display_t *d, int percent);
/* WM_PAINT: the kept text and the current percentage. */
void DISPLAY_Paint(HWND dlg, Display_t *d);
/* WM_COMMAND: OK or Cancel at any time stops the dialog's timer, closes the
 * exchange with the Kaltro and ends the dialog with that id (an exchange
 * under way is simply abandoned). True when the command was one of them. */
bool DISPLAY_EndOnCommand(HWND dlg, unsigned timer, WPARAM wParam);

/* A dialog as the display of a device operation's steps: texts and progress
 * go to Disp, OK is the dialog's button 1, the next step is timer Timer of
 * Dlg, pauses are the layer's sleep, the end is the dialog's. */
struct DisplayShell_t {
    HWND Dlg;
    Display_t *Disp;
    unsigned Timer;
    OpsDisplay_t Ops;
};
/* Fills s for dlg, its display and its timer. */
void DISPLAY_InitShell(DisplayShell_t *s, HWND dlg, Display_t *d, unsigned timer);

/* display.h -- the progress dialogs of the long device operations
 * (read-out, transfer, EN programming): one shell, driven by a small table
 * per operation, that shows the status line, the progress bar and the
 * percentage and runs the operation's steps from its window timer.
 *
 * The status text is drawn at (10, 20) on a transparent background after
 * the rectangle (10, 20)-(230, 40) is erased, the percentage "%u%" in black
 * at (255, 52) after (255, 52)-(285, 72) is erased, both in the system menu
 * colour, and a progress bar of 0 to 100 at (7, 50), 243 by 20 pixels. The
 * text and colour drawn last are kept, so a paint shows them again. Progress
 * texts are black; the outcome's text is green for done, red otherwise, and
 * enables OK.
 */
#pragma once

#include "ops/ops.h"
#include "platform/win.h"

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

/* One operation's progress dialog. */
struct DisplayOp_t {
    int Title;      /* TX_ of the caption */
    int Button;     /* the template's one button, IDOK or IDCANCEL */
    int ButtonText; /* its TX_ */
    unsigned Timer; /* the timer that runs the steps */
    INT_PTR Done;   /* the dialog's result when the operation Finishes by itself */
    /* The operation's opening, given WM_INITDIALOG's parameter (what the
     * dialog's opener handed it) and the dialog as its display. */
    void (*Open)(LPARAM init, const OpsDisplay_t *d);
    const OpsOperation_t *Op;
};

/* The dialog procedure of every progress dialog, for op. OK or Cancel at any
 * time stops the timer and the operation (OPS_CLOSE: the closing "\r"; an
 * exchange under way is simply abandoned) and ends the dialog with that id. */
INT_PTR DISPLAY_Proc(const DisplayOp_t *op, HWND hDlg, UINT message, WPARAM wParam, LPARAM lParam);

/* An operation's pause inside a step (its display's Sleep), slept in short
 * slices: a port that hangs up meanwhile ends it at once. */
void DISPLAY_Pause(unsigned ms);

/* Drawing with a context of the dialog. */
/* Erases the status rectangle, keeps text and colour (nullptr: the kept
 * ones) and draws the text. */
void DISPLAY_Text(HDC hdc, const wchar_t *text, COLORREF color);
/* Erases the percentage rectangle and draws the number and "%". */
void DISPLAY_Percents(HDC hdc, unsigned percent);

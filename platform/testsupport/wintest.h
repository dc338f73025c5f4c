/* wintest.h -- what the test suites need of the windowing layer beyond what
 * the program uses: scale the waits, run the message loop for a while or
 * until something holds, act as the user would, answer message boxes and
 * file dialogs, and look at windows.
 *
 * This is the library brevant_wintest, built apart from the layer; the tests
 * and the benchmarks link it and the program does not. It puts its own
 * entries into the layer's table of the user and the clock (winqt.h), whose
 * real entries the program keeps (real time, every box shown to the user),
 * and looks at windows through the layer's structures. Every action goes
 * through the real Qt widget, so the notifications a test sees are those a
 * user's action causes; an action on a disabled control does nothing.
 */
#pragma once

#include "platform/win.h"

#include <functional>
#include <string>
#include <vector>

/* ---- Time and the message loop -------------------------------------------- */

/* Multiplies every WIN_Sleep and timer period by factor (1 by default). */
void WIN_SetTimeScale(double factor);
/* Handles messages for ms milliseconds of real time. */
void WIN_ProcessEvents(int ms);
/* Handles messages until cond() is true or timeoutMs passed; returns cond(). */
bool WIN_WaitFor(const std::function<bool()> &cond, int timeoutMs);
/* Runs fn from the message loop soon, also inside a modal dialog's loop: a
 * test posts what the user does in a dialog, then opens the dialog (or does
 * what opens it); fn then runs inside the dialog's loop and may wait there
 * with WIN_WaitFor. */
void WIN_Post(std::function<void()> fn);
/* The innermost modal dialog open, or nullptr. */
HWND WIN_ActiveDialog();
/* Consumes a quit posted while no loop ran; true with its code if there was. */
bool WIN_TakeQuit(int *code);

/* ---- The user's actions, with the notifications they cause ---------------- */

void WIN_UserClick(HWND ctl);               /* button or check box */
void WIN_UserSelect(HWND combo, int index); /* CBN_SELCHANGE, CBN_SELENDOK */
/* Selects the whole field and types text over it, one key at a time, so one
 * CBN_EDITCHANGE or EN_CHANGE per key (one for an empty text, which clears). */
void WIN_UserType(HWND ctl, const wchar_t *text);
void WIN_UserLeave(HWND combo); /* CBN_KILLFOCUS */
/* Uses the scroll bar: a click on an arrow or page area gives its request
 * code and SB_ENDSCROLL; SB_THUMBTRACK drags the thumb to pos and holds it;
 * SB_THUMBPOSITION drags it to pos and lets go, which gives SB_THUMBPOSITION
 * and SB_ENDSCROLL. Other codes are sent as they are. */
void WIN_UserScroll(HWND win, unsigned code, int pos);
void WIN_UserWheel(HWND win, int distance); /* WM_MOUSEWHEEL */
/* The wheel turned with the mouse over a child control, or, given a window,
 * over its vertical scroll bar; it travels on from there as a real wheel's. */
void WIN_UserWheelOver(HWND over, int distance);
void WIN_UserKey(HWND win, wchar_t key, bool alt); /* a typed key, accelerators first */
void WIN_UserClose(HWND win);                      /* the caption's close box */
void WIN_UserClickBackground(HWND win);            /* WM_LBUTTONUP on the client area */
/* Chooses the menu item with this command; false when the window has none. */
bool WIN_UserMenu(HWND win, int command);

/* ---- Answers for message boxes and file dialogs ---------------------------- */

/* Answers for the next boxes, in order. In a program that uses these
 * functions no box is shown: one that finds nothing queued is answered IDOK
 * (for a question: not IDYES). */
void WIN_QueueMessageBoxAnswer(int answer);
/* nullptr: the user cancels. A save dialog adds the default extension to a
 * queued name without one, as it does to a typed name. */
void WIN_QueueFileName(const char *path);
/* The text of the last message box shown or answered, empty at first. */
const wchar_t *WIN_LastMessageBoxText();
/* The folder the last file dialog was asked to open in ("" for none). */
const char *WIN_LastFileFolder();
/* How often the bell has rung (WIN_Beep); it is counted, not sounded. */
int WIN_BeepCount();

/* ---- Looking at windows ------------------------------------------------------ */

/* Saves the window, caption and border excluded (menu bar, client area with
 * its controls, and scroll bar included), as a PNG file; true on success. */
bool WIN_SaveImage(HWND win, const char *path);
/* Whether the display has put the window on the screen (exposed it). */
bool WIN_IsOnScreen(HWND win);
/* The colour of one pixel of a window's backing surface (client pixels);
 * 0xFFFFFFFF outside it. Child controls are not on the surface. */
COLORREF WIN_GetPixel(HWND win, int x, int y);
/* Client position of a child control. */
void WIN_GetControlRect(HWND ctl, int *x, int *y, int *w, int *h);
/* The live top-level window (not a dialog) with this title, or nullptr. */
HWND WIN_FindWindow(const wchar_t *title);
/* Whether the part left .. right - 1, top .. bottom - 1 of a window's surface
 * shows text and nothing else, as WIN_TextOut draws it in font and colour ink
 * on the colour of the part's top-left pixel, at any place in the part. An
 * empty text: the part is all one colour. */
bool WIN_ShowsText(HWND win, int left, int top, int right, int bottom, const wchar_t *text,
                   HFONT font, COLORREF ink);
/* The windowing system the windows are on: "xcb", "wayland", "offscreen". */
const char *WIN_PlatformName();
/* The child controls of a window or dialog in the order they were made (a
 * later one lies over an earlier one); stores at most max, returns the count. */
int WIN_GetChildren(HWND win, HWND *out, int max);

/* Whether the text of a control shows whole, in the control's font: item -1
 * its own text, item >= 0 that item of a combo box's list. A button's, a
 * check box's or a sunken label's text must fit on one line inside its frame,
 * a combo box's items in its selection field; a static text, wrapped at its
 * words, must fit its width in no more lines than its height holds (one at
 * least). The room ends where the window's client area ends and where a
 * later control lies over the control, at its right (a static text keeps 3
 * pixels from it) or below its top.
 * *need and *room are pixels of width, or lines for a static text whose
 * words fit but whose lines do not. Other controls have no text that can be
 * cut: true. */
bool WIN_TextFits(HWND ctl, int item, int *need, int *room);

/* ---- What is drawn ------------------------------------------------------------ */

struct WIN_DrawnItem {
    enum Kind { Text, Fill, Frame } kind;
    int left, top, right, bottom; /* a text's cell, as wide as the text is drawn */
    std::wstring text;
};
/* Writes down everything drawn on win's surface from now on (texts, fills,
 * frames), forgetting what was written before; nullptr stops. */
void WIN_WatchDrawing(HWND win);
/* What was drawn on the watched window since, oldest first. */
std::vector<WIN_DrawnItem> WIN_Drawn();

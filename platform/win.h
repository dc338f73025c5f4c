/* win.h -- the windowing layer: what the program's window and dialog
 * procedures expect of their platform, and nothing more.
 *
 * Principles of operation
 *   Every window has a procedure called with (window, message, first
 *   parameter, second parameter). Child controls report to their parent with
 *   WM_COMMAND: MAKEWPARAM(control id, notification code) and the control's
 *   handle as the second parameter. Setting a text, a selection or a check
 *   from code sends no notification; only the user's actions do.
 *
 *   Each top-level window and dialog draws into a backing surface that lasts
 *   as long as the window, so a window that is uncovered is shown again from
 *   that surface without asking its procedure. WM_PAINT is sent when the
 *   window is first shown, after WIN_InvalidateRect, after a resize and after
 *   WIN_ScrollWindow; WIN_BeginPaint clears the surface to the window's
 *   background colour first. After WIN_ScrollWindow only the uncovered strip
 *   waits for repainting: WIN_BeginPaint then clears that strip alone and the
 *   context draws only into it, so a procedure may simply paint everything.
 *   A procedure that ignores WM_PAINT gets the waiting part cleared. A drawing
 *   context from WIN_GetDC draws onto the same surface at any time, and what
 *   it draws shows at once (at the latest when it is released). A new context
 *   draws with the desktop's system font, 16 pixels high and bold, black text
 *   on an opaque white background, until the procedure selects others.
 *
 *   Timers repeat every period until killed; setting a timer that runs
 *   restarts it with the new period. A tick arrives only while a message loop
 *   runs, so a procedure that stops its timer, works and starts it again
 *   never sees two ticks overlap.
 *
 *   Window sizes given to WIN_CreateWindow are outer sizes, caption, frame and
 *   menu included, as the window would have under Windows at 96 dots per
 *   inch; the layer subtracts those fixed frame metrics to find the client
 *   area, and WIN_GetWindowSize adds them back. The metrics, in pixels:
 *     sizable window (WS_SIZABLE)   8 at left, right and bottom, 31 at the top
 *     any other window, and dialogs 3 at left, right and bottom, 26 at the top
 *     a menu bar                    20 more at the top
 *     a vertical scroll bar         17 more at the right
 *   So a sizable window of 1091 x 515 with menu and scroll bar has a client
 *   area of 1058 x 456 and reports 1091 x 515; a fixed one of 320 x 210
 *   without menu has 314 x 181. Positions of child controls are client
 *   pixels; dialog templates are in dialog units of the template's font
 *   ("Liberation Sans" of the template's size in points at 96 dots per inch;
 *   8 points give base units of 6 x 12 pixels, 9 points 7 x 14).
 *
 *   Defaults of the Win32 window procedures that the layer performs itself,
 *   since a procedure's result is not examined except where said: the close
 *   box of a top-level window sends WM_CLOSE and then destroys the window
 *   (with WM_DESTROY); an accelerator sends WM_COMMAND with its command in the
 *   low word, 1 in the high word and no control; a menu item sends its
 *   command with 0 in the high word and no control.
 *
 *   Only this layer includes Qt. Handles stay valid as values for the life of
 *   the process: using the handle of a destroyed window does nothing.
 *
 * Index
 *   application  WIN_Init WIN_MessageLoop WIN_PostQuitMessage WIN_Sleep
 *   windows      WIN_CreateWindow WIN_CreateControl WIN_DestroyWindow ...
 *   dialogs      WIN_DialogBox WIN_EndDialog WIN_GetDlgItem ...
 *   controls     WIN_SetWindowText WIN_SetCheck WIN_Combo* WIN_Progress* ...
 *   timers       WIN_SetTimer WIN_KillTimer
 *   boxes        WIN_MessageBox WIN_GetOpenFileName WIN_GetSaveFileName WIN_Beep
 *   drawing      WIN_GetDC WIN_BeginPaint WIN_TextOut WIN_FillRect ...
 *
 *   What only the tests use (acting as the user, answering boxes, scaling
 *   the waits, looking at windows) is in platform/testsupport/wintest.h, a
 *   library of its own that the program does not link.
 */
#pragma once

#include "platform/wintypes.h"

#include <cstddef>

/* ---- Messages ------------------------------------------------------------ */
constexpr UINT WM_CREATE = 0x0001;
constexpr UINT WM_DESTROY = 0x0002;
constexpr UINT WM_PAINT = 0x000F;
constexpr UINT WM_CLOSE = 0x0010;
constexpr UINT WM_KEYDOWN = 0x0100;
constexpr UINT WM_INITDIALOG = 0x0110;
constexpr UINT WM_COMMAND = 0x0111;
constexpr UINT WM_TIMER = 0x0113;   /* first parameter: the timer id */
constexpr UINT WM_VSCROLL = 0x0115; /* low word: SB_ code; signed high word: position */
constexpr UINT WM_LBUTTONUP = 0x0202;
constexpr UINT WM_MOUSEWHEEL = 0x020A; /* signed high word: distance, 120 a notch */

/* Notification codes (high word of WM_COMMAND's first parameter). */
constexpr unsigned BN_CLICKED = 0;
constexpr unsigned CBN_SELCHANGE = 1;
constexpr unsigned CBN_SETFOCUS = 3;
constexpr unsigned CBN_KILLFOCUS = 4;
constexpr unsigned CBN_EDITCHANGE = 5;
constexpr unsigned CBN_SELENDOK = 9;
constexpr unsigned EN_CHANGE = 0x0300;

/* Scroll request codes. */
constexpr unsigned SB_LINEUP = 0;
constexpr unsigned SB_LINEDOWN = 1;
constexpr unsigned SB_PAGEUP = 2;
constexpr unsigned SB_PAGEDOWN = 3;
constexpr unsigned SB_THUMBPOSITION = 4;
constexpr unsigned SB_THUMBTRACK = 5;
constexpr unsigned SB_ENDSCROLL = 8;

/* Dialog and message box results. */
constexpr int IDOK = 1;
constexpr int IDCANCEL = 2;
constexpr int IDYES = 6;
constexpr int IDNO = 7;

/* Message box kinds. */
constexpr unsigned MB_OK = 0x0;
constexpr unsigned MB_YESNO = 0x4;
constexpr unsigned MB_ICONQUESTION = 0x20;
constexpr unsigned MB_ICONWARNING = 0x30;
constexpr unsigned MB_ICONINFORMATION = 0x40;

/* Background modes of a drawing context. */
constexpr int TRANSPARENT = 1;
constexpr int OPAQUE = 2;

/* Font weights. */
constexpr int FW_NORMAL = 400;
constexpr int FW_MEDIUM = 500;
constexpr int FW_BOLD = 700;

/* Colours of the desktop that dialogs use. */
constexpr COLORREF WIN_COLOR_DIALOG = RGB(240, 240, 240); /* dialog face */
constexpr COLORREF WIN_COLOR_MENU = RGB(240, 240, 240);   /* system menu colour */

using WNDPROC = LRESULT (*)(HWND, UINT, WPARAM, LPARAM);
using DLGPROC = INT_PTR (*)(HWND, UINT, WPARAM, LPARAM);

/* ---- Application ---------------------------------------------------------- */

/* Creates the application object once; later calls do nothing. Returns 0.
 * The application carries the program's name (the X11 window class), its
 * desktop entry's name (the Wayland application id) and its icon. */
int WIN_Init(int argc, char **argv);
/* Asked before WIN_Init: 0 when windows can be opened, an X11 display or a
 * Wayland compositor named in the environment answering (or QT_QPA_PLATFORM
 * choosing a platform that needs none); where only one of the two named
 * answers, Qt is pointed at it. 1 when none is named or none answers, with
 * the one line that says which display could not be reached and what to do
 * in out; creating the application would abort. */
constexpr int WIN_DISPLAY_TEXT_LEN = 1024;
int WIN_CheckDisplay(char *out, std::size_t len);
/* Runs messages until WIN_PostQuitMessage and returns its code. A quit
 * posted while no loop runs ends the next loop at once. */
int WIN_MessageLoop();
void WIN_PostQuitMessage(int code);
/* Blocks the calling thread; no message is handled meanwhile. */
void WIN_Sleep(unsigned ms);
/* The language of the layer's own texts (the buttons of message boxes, the
 * file dialogs) by its code ("de"), where the system has Qt's translations
 * into it; nullptr or "en" for English. */
void WIN_SetLanguage(const char *code);

/* ---- Top-level windows ---------------------------------------------------- */

/* Window styles. */
constexpr unsigned WS_SIZABLE = 0x1;     /* sizing border and maximise box */
constexpr unsigned WS_MINIMIZEBOX = 0x2; /* minimise box */
constexpr unsigned WS_VSCROLL = 0x4;     /* a vertical scroll bar, range 0 to 100 */

struct WIN_MenuItem {
    const wchar_t *text; /* nullptr: separator */
    int command;         /* sent as WM_COMMAND with this id and no control */
};
struct WIN_Menu {
    const wchar_t *title;
    const WIN_MenuItem *items;
    int count;
};
struct WIN_Accel {
    wchar_t key; /* the character typed, such as '?' or '/' */
    bool alt;
    int command;
};

struct WIN_WindowDesc {
    const wchar_t *title;
    WNDPROC proc;
    COLORREF background;
    int x, y, width, height; /* outer, on the screen */
    unsigned style;
    const WIN_Menu *menus; /* the menu bar, or nullptr */
    int menuCount;
    int iconId; /* 0 for none */
};

/* Creates a top-level window and sends it WM_CREATE; it is hidden until
 * WIN_ShowWindow. Returns nullptr when it cannot be made. */
HWND WIN_CreateWindow(const WIN_WindowDesc *desc);
void WIN_SetAccelerators(HWND win, const WIN_Accel *accels, int count);
/* Replaces the menu bar of a window made with one (another language); the
 * client area keeps its size. Items lose their check marks. */
void WIN_SetMenu(HWND win, const WIN_Menu *menus, int count);
/* Puts a check mark at the menu item with this command, or takes it away. */
void WIN_CheckMenuItem(HWND win, int command, bool checked);
void WIN_ShowWindow(HWND win, bool show);
/* Sends WM_DESTROY to a window or dialog's procedure, then removes it with all
 * its children. Safe from inside the window's own procedure. */
void WIN_DestroyWindow(HWND win);
bool WIN_IsWindow(HWND win);
/* Outer size (as created, frame and caption included) and client size. */
void WIN_GetWindowSize(HWND win, int *width, int *height);
void WIN_GetClientSize(HWND win, int *width, int *height);
void WIN_SetScrollPos(HWND win, int pos);
int WIN_GetScrollPos(HWND win);
/* Moves the client content, child controls included, down by dy pixels (up
 * when negative) and sends WM_PAINT for the uncovered strip. */
void WIN_ScrollWindow(HWND win, int dy);

/* ---- Child controls -------------------------------------------------------- */

enum class WinControl {
    PushButton,
    DefPushButton,
    CheckBox,     /* changes only when the program sets it; a click reports BN_CLICKED */
    ComboEdit,    /* editable drop-down combo box */
    ComboList,    /* drop-down list, not editable */
    Static,       /* plain left-aligned text */
    StaticSunken, /* read-only label with a sunken edge */
    Edit,         /* one-line edit field with a border */
    ProgressBar,
    TextBox, /* read-only text of many lines, scrolled when it does not fit; its text is
                the window text, lines parted by '\n' */
};

/* Control styles. */
constexpr unsigned CS_TABSTOP = 0x1;    /* reached with the Tab key */
constexpr unsigned CS_DISABLED = 0x2;   /* created disabled */
constexpr unsigned CS_VSCROLL = 0x4;    /* the drop-down list has a scroll bar */
constexpr unsigned CS_UPPERCASE = 0x8;  /* typed letters become upper case */
constexpr unsigned CS_NOHSCROLL = 0x10; /* an edit field takes only what its width shows */

/* Creates a child at client pixels x, y of size w x h. For a combo box h is
 * the height with the list open; its closed height follows its font or
 * WIN_ComboSetFieldHeight. Returns nullptr when parent is not a window. */
HWND WIN_CreateControl(HWND parent, WinControl kind, const wchar_t *text, unsigned style, int x,
                       int y, int w, int h, int id);
HWND WIN_GetParent(HWND win);
int WIN_GetControlId(HWND ctl);

void WIN_SetWindowText(HWND win, const wchar_t *text);
/* Copies at most max - 1 characters and a terminating NUL; returns the count. */
int WIN_GetWindowText(HWND win, wchar_t *buf, int max);
void WIN_EnableWindow(HWND win, bool enable);
bool WIN_IsWindowEnabled(HWND win);
bool WIN_IsWindowVisible(HWND win);
void WIN_SetFocus(HWND win);
HWND WIN_GetFocus();
void WIN_SetFont(HWND ctl, HFONT font);

/* Check boxes. */
void WIN_SetCheck(HWND ctl, int checked);
int WIN_GetCheck(HWND ctl);

/* Combo boxes and drop-down lists. Indices are 0 based; -1 is no selection. */
int WIN_ComboAddString(HWND ctl, const wchar_t *text); /* index of the new item */
/* Adds the items "%d" of first, first + step, ... up to last, in order. Lists
 * with the same numbers share their items, so long lists cost little. */
void WIN_ComboAddRange(HWND ctl, int first, int last, int step);
/* Removes item index; an index that is not there changes nothing. Returns the
 * count left, or -1 when nothing was removed. */
int WIN_ComboDeleteString(HWND ctl, int index);
void WIN_ComboResetContent(HWND ctl);
int WIN_ComboGetCount(HWND ctl);
/* Selects item index and shows its text; an index without an item leaves the
 * box without a selection and, for an editable box, with an empty text. */
void WIN_ComboSetCurSel(HWND ctl, int index);
int WIN_ComboGetCurSel(HWND ctl);
int WIN_ComboGetItemText(HWND ctl, int index, wchar_t *buf, int max);
void WIN_ComboLimitText(HWND ctl, int chars);       /* typed length of an editable box */
void WIN_ComboSetMinVisible(HWND ctl, int items);   /* items shown with the list open */
void WIN_ComboSetFieldHeight(HWND ctl, int pixels); /* height of the selection field */
void WIN_ComboSetItemHeight(HWND ctl, int pixels);  /* height of a list item */

/* Edit fields. */
void WIN_EditLimitText(HWND ctl, int chars);

/* Progress bars. */
void WIN_ProgressSetRange(HWND ctl, int low, int high);
void WIN_ProgressSetPos(HWND ctl, int pos);
int WIN_ProgressGetPos(HWND ctl);

/* ---- Dialogs ---------------------------------------------------------------- */

struct WIN_DlgItem {
    int id;
    WinControl kind;
    const wchar_t *text; /* nullptr for none */
    unsigned style;
    int x, y, w, h; /* dialog units */
};
struct WIN_DlgTemplate {
    int width, height; /* client size, dialog units */
    int fontSize;      /* points of the dialog font */
    const wchar_t *caption;
    const WIN_DlgItem *items;
    int count;
};

/* Runs a modal dialog: sends WM_INITDIALOG, then runs messages until
 * WIN_EndDialog, and returns the result given there. The Escape key sends
 * WM_COMMAND IDCANCEL; the close box sends WM_CLOSE and, when the procedure
 * returns 0 for it, WM_COMMAND IDCANCEL; Enter sends the default button's id.
 * A procedure returns 1 for a message it handled, else 0. */
INT_PTR WIN_DialogBox(HWND owner, const WIN_DlgTemplate *tmpl, DLGPROC proc);
/* The same with init as WM_INITDIALOG's second parameter: what the dialog
 * works on, handed to it by its opener. */
INT_PTR WIN_DialogBoxParam(HWND owner, const WIN_DlgTemplate *tmpl, DLGPROC proc, LPARAM init);
void WIN_EndDialog(HWND dlg, INT_PTR result);
HWND WIN_GetDlgItem(HWND dlg, int id);
int WIN_DlgUnitsToPixelsX(HWND dlg, int units);
int WIN_DlgUnitsToPixelsY(HWND dlg, int units);

/* ---- Timers ------------------------------------------------------------------ */
void WIN_SetTimer(HWND win, unsigned id, unsigned ms);
void WIN_KillTimer(HWND win, unsigned id);

/* ---- Message boxes and file dialogs -------------------------------------------- */

/* Shows a modal message box; returns IDOK, IDYES or IDNO. A text may hold
 * line breaks. owner may be nullptr. */
int WIN_MessageBox(HWND owner, const wchar_t *text, const wchar_t *caption, unsigned type);

struct WIN_FileDialog {
    HWND owner;
    const wchar_t *filterName; /* "Text" */
    const wchar_t *pattern;    /* "*.txt" */
    const wchar_t *defExt;     /* "txt": added to a name typed without extension */
    char *path;                /* out: the chosen file, UTF-8, NUL-terminated */
    int pathMax;
    const char *folder = nullptr; /* the folder it opens in (UTF-8); nullptr: the last one */
};
/* Open dialog: the folder and the file must exist. Returns true when the
 * user chose a file, false on cancel. */
bool WIN_GetOpenFileName(WIN_FileDialog *fd);
/* Save dialog: the folder must exist; asks nothing about existing files. */
bool WIN_GetSaveFileName(WIN_FileDialog *fd);
/* Rings the system's bell, as MessageBeep does. */
void WIN_Beep();

/* ---- Drawing ----------------------------------------------------------------- */

HDC WIN_GetDC(HWND win);
void WIN_ReleaseDC(HWND win, HDC dc);
HDC WIN_BeginPaint(HWND win);
void WIN_EndPaint(HWND win, HDC dc);
/* Asks for WM_PAINT of the whole client area at the next chance. */
void WIN_InvalidateRect(HWND win);
/* Delivers a pending WM_PAINT now. */
void WIN_UpdateWindow(HWND win);

/* A font by face, cell height and average character width in pixels, and
 * weight. "Arial" is drawn with a face of the same metrics. */
HFONT WIN_CreateFont(int height, int width, int weight, const wchar_t *face);
void WIN_DeleteFont(HFONT font);
/* Selects a font into a context; returns the one selected before. */
HFONT WIN_SelectFont(HDC dc, HFONT font);
void WIN_SetTextColor(HDC dc, COLORREF color);
void WIN_SetBkColor(HDC dc, COLORREF color);
void WIN_SetBkMode(HDC dc, int mode);
/* Text with its top-left corner at x, y; len -1 for a NUL-terminated text. */
void WIN_TextOut(HDC dc, int x, int y, const wchar_t *text, int len);
/* Width in pixels of a text in the context's font, as WIN_TextOut draws it. */
int WIN_GetTextWidth(HDC dc, const wchar_t *text, int len);
/* Rectangles go from left, top up to but not including right, bottom. */
void WIN_FillRect(HDC dc, int left, int top, int right, int bottom, COLORREF color);
void WIN_FrameRect(HDC dc, int left, int top, int right, int bottom, COLORREF color);

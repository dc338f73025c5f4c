/* winqt.h -- what the files of the windowing layer share among themselves:
 * the structures behind the handles, the frame metrics, the helpers that
 * turn Qt events into the messages of win.h, and the table through which the
 * layer reaches the user and the clock, which the test support library
 * (platform/testsupport) fills with its own entries.
 *
 * Only the layer's own .cpp files and its test support include this header;
 * nothing outside platform/ may, since it brings in Qt. Every handle points at a structure that is
 * never freed, so a handle kept after its window is gone is still safe to pass in; the structure is
 * only marked dead and its Qt widgets are deleted.
 */
#pragma once

#include "platform/win.h"

#include <QFont>
#include <QIcon>
#include <QImage>
#include <QPointer>
#include <QRect>
#include <QString>
#include <QWidget>

#include <string>
#include <vector>

class QEventLoop;
class QLineEdit;
class QScrollBar;

namespace winqt
{

/* Frame metrics of Windows at 96 dots per inch, in pixels. The
 * sizes given to WIN_CreateWindow include them; the client area is what is
 * left. The layer draws no frame of its own: on a real desktop the window
 * manager adds its decoration around the client area and the menu bar. */
constexpr int SIZABLE_BORDER = 8;   /* left, right and bottom edge of a sizable window */
constexpr int SIZABLE_CAPTION = 31; /* top edge and caption of a sizable window */
constexpr int FIXED_BORDER = 3;     /* edges of a window or dialog without sizing border */
constexpr int FIXED_CAPTION = 26;   /* top edge and caption of such a window */
constexpr int MENU_BAR = 20;        /* one line of menu bar */
constexpr int SCROLL_BAR = 17;      /* width of a vertical scroll bar */

/* A combo box's closed height is its selection field plus this much edge. */
constexpr int COMBO_EDGE = 6;

enum class Kind { Top, Dialog, Control };

} // namespace winqt

class ClientArea;

/* The structure behind a window handle. */
struct WinWindow {
    using Kind = winqt::Kind;
    Kind kind = Kind::Control;
    bool alive = true;
    HWND parent = nullptr; /* controls: the window or dialog they belong to */
    int id = 0;
    unsigned style = 0;
    std::vector<HWND> children;

    /* Top-level windows and dialogs. */
    WNDPROC proc = nullptr;
    DLGPROC dlgProc = nullptr;
    QPointer<QWidget> frame;     /* the Qt window */
    QPointer<ClientArea> client; /* the client area; the frame itself for a dialog */
    QPointer<QScrollBar> vbar;   /* WS_VSCROLL */
    COLORREF background = 0;
    int ncWidth = 0, ncHeight = 0; /* frame, caption, menu and scroll bar together */
    QImage surface;                /* the backing surface of the client area */
    QRect invalid;                 /* waits for WM_PAINT */
    bool paintPosted = false;      /* a delivery of WM_PAINT is queued */
    bool paintBegun = false;       /* the procedure called WIN_BeginPaint */
    long long screenWait = -1;     /* ms since when a tick waits for the window to be exposed */
    int scrollPos = 0;             /* where the program put the scroll bar */
    int trackPos = 0;              /* last position the user dragged the thumb to */
    int wheelRest = 0;             /* wheel movement short of a whole notch */
    std::vector<WIN_Accel> accels;

    /* Dialogs. */
    QEventLoop *loop = nullptr;
    bool ended = false;
    INT_PTR result = 0;
    int baseX = 0, baseY = 0; /* dialog base units */
    QFont font;               /* the dialog font; for controls, their font */

    /* Controls. */
    WinControl control = WinControl::Static;
    QPointer<QWidget> widget;
    int fieldHeight = 0;        /* combo boxes: selection field set by the program, 0 if none */
    bool sharedList = false;    /* combo boxes: the items belong to a shared range */
    int visibleItems = 0;       /* combo boxes: items shown open as set by the program */
    bool editFinishing = false; /* combo boxes: Qt is handling the end of an edit */
};

namespace winqt
{

inline HWND handle(WinWindow *w)
{
    return w;
}

/* Handles: making them, whether they live, the handle of a Qt object. */
WinWindow *newWindow(Kind kind);
WinWindow *live(HWND h);               /* nullptr when h is null or dead */
WinWindow *liveTop(HWND h);            /* a live top-level window or dialog */
void bindWidget(QObject *obj, HWND h); /* remember h as the handle of obj */
HWND boundHandle(const QObject *obj);  /* the handle of obj or its nearest parent */
void killTimersOf(HWND h);

/* Messages. */
LRESULT send(HWND h, UINT msg, WPARAM wp, LPARAM lp);
void notify(HWND ctl, unsigned code); /* WM_COMMAND from a control to its parent */

/* Conversions. */
QString qstr(const wchar_t *text, int len = -1);
int copyOut(const QString &s, wchar_t *buf, int max); /* as WIN_GetWindowText */
QColor qcolor(COLORREF c);
COLORREF colorref(QRgb rgb);

/* Fonts. */
QFont resolveFont(int height, int width, int weight, const wchar_t *face);
QFont dialogFont(int points);
QFont defaultControlFont();
bool fontValue(HFONT font, QFont *out);

/* The backing surface and WM_PAINT. */
void resizeSurface(WinWindow *w, QSize size);
void invalidate(WinWindow *w, const QRect &r);
void schedulePaint(WinWindow *w); /* queue WM_PAINT if something waits for it */
void deliverPaint(WinWindow *w);
void deliverAllPaints(); /* every pending WM_PAINT now, and on the screen */
void scrollSurface(WinWindow *w, int dy);
void flushPending(); /* show now what was drawn or changed */
void releaseDCsOf(WinWindow *w);

/* The program's icon, for the application and every window class. */
QIcon programIcon();

/* Closing and dialogs. */
void closeBox(WinWindow *w);
void dialogCommand(WinWindow *d, int id);
bool dialogKey(WinWindow *d, int qtKey);
void destroyDialog(WinWindow *d);

/* Controls. */
QWidget *createCombo(WinWindow *c, bool editable, QWidget *parent);
void placeCombo(WinWindow *c, int x, int y, int w, int h);
void fitComboHeight(WinWindow *c);
void setTypingRule(QLineEdit *edit, unsigned style);

/* The loop. */
/* Takes a quit posted while no loop ran: true with its code, once. */
bool takeQuit(int *code);
/* The innermost modal dialog open, or nullptr. */
HWND innermostDialog();

/* The user and the clock. Every message box and file dialog is put to the
 * user, every pause and timer period measured, and the bell rung, through
 * this table. The entries in place at the start are the real ones: a Qt
 * message box, a Qt file dialog, time at its own pace and Qt's beep.
 * Another library may put its own entries in place, keeping the real ones
 * to call. */
struct UserCalls {
    /* The user's answer to a message box of WIN_MessageBox: IDOK, IDYES or
     * IDNO. text is never nullptr. */
    int (*MessageBox)(HWND owner, const wchar_t *text, const wchar_t *caption, unsigned type);
    /* The file the user chose in an open (save false) or save dialog, as a
     * UTF-8 path in *path; false when the user cancelled. */
    bool (*ChooseFile)(const WIN_FileDialog *fd, bool save, std::string *path);
    /* The real milliseconds that ms milliseconds of a WIN_Sleep or a timer
     * period take. */
    double (*Millis)(unsigned ms);
    /* The system's bell of WIN_Beep. */
    void (*Beep)();
};
UserCalls &userCalls(); /* the entries in use */

/* What a test watches being drawn: when set, called with every text (its
 * cell, as wide as it is drawn), fill and frame drawn on a window's surface.
 * Only the test support sets it. */
enum class Drawn { Text, Fill, Frame };
extern void (*drawWatch)(HWND win, Drawn kind, const QRect &r, const QString &text);

} // namespace winqt

/* The client area of a top-level window or dialog: shows the backing surface
 * and reports mouse and wheel actions to the procedure. */
class ClientArea : public QWidget
{
  public:
    ClientArea(HWND h, QWidget *parent, Qt::WindowFlags flags = {});
    HWND hwnd;

  protected:
    void paintEvent(QPaintEvent *e) override;
    void resizeEvent(QResizeEvent *e) override;
    void mouseReleaseEvent(QMouseEvent *e) override;
    void wheelEvent(QWheelEvent *e) override;
    void keyPressEvent(QKeyEvent *e) override;
    void closeEvent(QCloseEvent *e) override;
    void showEvent(QShowEvent *e) override;
};

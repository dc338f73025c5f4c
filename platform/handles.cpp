/* handles.cpp -- the handles of windows, dialogs and controls: making them,
 * telling whether they still live, finding the handle of a Qt object,
 * calling the procedures, and destroying windows with their children.
 *
 * State: every WinWindow ever made, kept for the life of the process so that
 * an old handle stays a harmless value. A destroyed window only keeps its
 * number and parent; its widgets, surface and timers are gone.
 */
#include "platform/winqt.h"

#include <QApplication>
#include <QColor>
#include <QEventLoop>
#include <QVariant>

#include <memory>

using namespace winqt;

namespace
{
std::vector<std::unique_ptr<WinWindow>> *windows;
const char *const HANDLE_PROPERTY = "brevant.hwnd";
} // namespace

/* ---- Handles ------------------------------------------------------------------ */

WinWindow *winqt::newWindow(Kind kind)
{
    WIN_Init(0, nullptr);
    if (!windows) windows = new std::vector<std::unique_ptr<WinWindow>>;
    windows->push_back(std::make_unique<WinWindow>());
    WinWindow *w = windows->back().get();
    w->kind = kind;
    return w;
}

void winqt::deliverAllPaints()
{
    if (!windows) return;
    /* by index: a procedure's WM_PAINT may make windows */
    for (std::size_t i = 0; i < windows->size(); i++)
        if (WinWindow *w = liveTop((*windows)[i].get()); w && !w->invalid.isEmpty())
            deliverPaint(w);
    flushPending();
}

WinWindow *winqt::live(HWND h)
{
    return h && h->alive ? h : nullptr;
}

WinWindow *winqt::liveTop(HWND h)
{
    WinWindow *w = live(h);
    return w && w->kind != Kind::Control && w->client ? w : nullptr;
}

void winqt::bindWidget(QObject *obj, HWND h)
{
    obj->setProperty(HANDLE_PROPERTY, QVariant::fromValue(static_cast<void *>(h)));
}

HWND winqt::boundHandle(const QObject *obj)
{
    for (; obj; obj = obj->parent()) {
        QVariant v = obj->property(HANDLE_PROPERTY);
        if (v.isValid()) return static_cast<HWND>(v.value<void *>());
    }
    return nullptr;
}

/* ---- Messages ------------------------------------------------------------------ */

LRESULT winqt::send(HWND h, UINT msg, WPARAM wp, LPARAM lp)
{
    WinWindow *w = live(h);
    if (!w) return 0;
    if (w->proc) return w->proc(h, msg, wp, lp);
    if (w->dlgProc) return w->dlgProc(h, msg, wp, lp);
    return 0;
}

void winqt::notify(HWND ctl, unsigned code)
{
    WinWindow *c = live(ctl);
    if (!c || !c->parent) return;
    send(c->parent, WM_COMMAND, MAKEWPARAM(static_cast<unsigned>(c->id), code),
         reinterpret_cast<LPARAM>(ctl));
}

/* ---- Conversions ------------------------------------------------------------------ */

QString winqt::qstr(const wchar_t *text, int len)
{
    if (!text) return {};
    return len < 0 ? QString::fromWCharArray(text) : QString::fromWCharArray(text, len);
}

int winqt::copyOut(const QString &s, wchar_t *buf, int max)
{
    if (!buf || max <= 0) return 0;
    std::wstring w = s.toStdWString();
    int n = static_cast<int>(w.size());
    if (n > max - 1) n = max - 1;
    w.copy(buf, static_cast<size_t>(n));
    buf[n] = L'\0';
    return n;
}

QColor winqt::qcolor(COLORREF c)
{
    return QColor(GetRValue(c), GetGValue(c), GetBValue(c));
}

COLORREF winqt::colorref(QRgb rgb)
{
    return RGB(qRed(rgb), qGreen(rgb), qBlue(rgb));
}

/* ---- Destruction ------------------------------------------------------------------ */

/* Marks a window dead before its widgets go, so that the focus moving away
 * from a dying control reports nothing to a procedure. */
static void teardown(WinWindow *w)
{
    HWND h = handle(w);
    w->alive = false;
    killTimersOf(h);
    releaseDCsOf(w);
    for (HWND c : w->children) {
        c->alive = false;
        killTimersOf(c);
    }
    w->children.clear();
    if (w->kind == Kind::Control) {
        if (WinWindow *p = live(w->parent)) std::erase(p->children, h);
        if (w->widget) {
            w->widget->hide();
            w->widget->deleteLater();
        }
        return;
    }
    w->surface = QImage();
    w->accels.clear();
    if (w->kind == Kind::Dialog) {
        /* WIN_DialogBox deletes the widget once its loop has ended. */
        if (!w->ended) {
            w->ended = true;
            w->result = IDCANCEL;
        }
        if (w->loop) w->loop->exit();
        if (w->frame) w->frame->hide();
        return;
    }
    if (w->frame) {
        w->frame->hide();
        w->frame->deleteLater();
    }
}

void WIN_DestroyWindow(HWND h)
{
    WinWindow *w = live(h);
    if (!w) return;
    if (w->kind != Kind::Control) {
        send(h, WM_DESTROY, 0, 0);
        if (!live(h)) return; /* the procedure destroyed it meanwhile */
    }
    teardown(w);
}

void winqt::destroyDialog(WinWindow *d)
{
    if (d->alive) {
        send(handle(d), WM_DESTROY, 0, 0);
        if (d->alive) teardown(d);
    }
    delete d->frame.data();
}

bool WIN_IsWindow(HWND h)
{
    return live(h) != nullptr;
}

HWND WIN_GetParent(HWND h)
{
    WinWindow *w = live(h);
    return w ? w->parent : nullptr;
}

int WIN_GetControlId(HWND h)
{
    WinWindow *w = live(h);
    return w ? w->id : 0;
}

bool WIN_IsWindowVisible(HWND h)
{
    WinWindow *w = live(h);
    if (!w) return false;
    QWidget *q = w->kind == Kind::Control ? w->widget.data() : w->frame.data();
    return q && q->isVisible();
}

void WIN_EnableWindow(HWND h, bool enable)
{
    WinWindow *w = live(h);
    if (!w) return;
    QWidget *q = w->kind == Kind::Control ? w->widget.data() : w->frame.data();
    if (q) q->setEnabled(enable);
}

bool WIN_IsWindowEnabled(HWND h)
{
    WinWindow *w = live(h);
    if (!w) return false;
    QWidget *q = w->kind == Kind::Control ? w->widget.data() : w->frame.data();
    return q && q->isEnabled();
}

void WIN_SetFocus(HWND h)
{
    WinWindow *w = live(h);
    if (!w) return;
    QWidget *q = w->kind == Kind::Control ? w->widget.data() : w->client.data();
    if (q) q->setFocus(Qt::OtherFocusReason);
}

HWND WIN_GetFocus()
{
    QWidget *f = QApplication::focusWidget();
    HWND h = f ? boundHandle(f) : nullptr;
    return live(h) ? h : nullptr;
}

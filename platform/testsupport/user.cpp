/* user.cpp -- the test support's user: clicks, selections, typing, leaving a
 * box, the scroll bar and the wheel, keys, the close box, background clicks
 * and menus; and looking at windows (finding one by its title, pictures,
 * pixels, the text painted on a part of one, control positions, whether the
 * display has put one on the screen).
 * Every action goes through the real Qt widget, so the notifications a test
 * sees are those a user's action causes; an action on a disabled control
 * does nothing, as it would for the user.
 *
 * State: none.
 */
#include "platform/testsupport/wintest.h"
#include "platform/winqt.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenuBar>
#include <QPainter>
#include <QScrollBar>
#include <QWheelEvent>
#include <QWindow>
#include <QtTest/qtestspontaneevent.h>

using namespace winqt;

static QWidget *controlWidget(HWND h)
{
    WinWindow *w = live(h);
    return w && w->kind == Kind::Control ? w->widget.data() : nullptr;
}

bool WIN_IsOnScreen(HWND h)
{
    WinWindow *w = liveTop(h);
    const QWindow *win = w && w->frame ? w->frame->windowHandle() : nullptr;
    return win != nullptr && win->isExposed();
}

void WIN_UserClick(HWND h)
{
    if (auto *b = qobject_cast<QAbstractButton *>(controlWidget(h))) {
        if (b->isEnabled() && b->focusPolicy() != Qt::NoFocus) b->setFocus(Qt::MouseFocusReason);
        b->click();
    }
}

void WIN_UserSelect(HWND h, int index)
{
    auto *cb = qobject_cast<QComboBox *>(controlWidget(h));
    if (!cb || !cb->isEnabled() || index < 0 || index >= cb->count()) return;
    /* What the box does when an item of its open list is clicked. */
    cb->setCurrentIndex(index);
    emit cb->activated(index);
}

/* The Qt key for a typed character. */
static int qtKey(wchar_t ch)
{
    switch (ch) {
    case L'\r':
    case L'\n': return Qt::Key_Return;
    case 27: return Qt::Key_Escape;
    case L'\t': return Qt::Key_Tab;
    case L'\b': return Qt::Key_Backspace;
    }
    if (ch >= L'a' && ch <= L'z') return Qt::Key_A + (ch - L'a');
    if (ch > 0x20 && ch < 0x7F) return ch;
    if (ch == L' ') return Qt::Key_Space;
    return Qt::Key_unknown;
}

static void sendKey(QWidget *to, int key, Qt::KeyboardModifiers mods, const QString &text)
{
    QKeyEvent press(QEvent::KeyPress, key, mods, text);
    QApplication::sendEvent(to, &press);
    QKeyEvent release(QEvent::KeyRelease, key, mods, text);
    QApplication::sendEvent(to, &release);
}

/* Clicks into the field, selects what it holds and types text over it, one
 * key at a time; an empty text deletes the contents. */
void WIN_UserType(HWND h, const wchar_t *text)
{
    QWidget *q = controlWidget(h);
    QLineEdit *edit = qobject_cast<QLineEdit *>(q);
    if (auto *cb = qobject_cast<QComboBox *>(q)) edit = cb->lineEdit();
    if (!edit || !q->isEnabled()) return;
    q->setFocus(Qt::MouseFocusReason);
    edit->selectAll();
    QString s = qstr(text);
    if (s.isEmpty()) sendKey(edit, Qt::Key_Delete, Qt::NoModifier, QString());
    for (QChar ch : s) {
        if (!live(h)) return;
        sendKey(edit, qtKey(ch.unicode()), Qt::NoModifier, ch);
    }
}

/* The user clicks on the window beside the box; a box that did not have the
 * focus is clicked into first. */
void WIN_UserLeave(HWND h)
{
    QWidget *q = controlWidget(h);
    WinWindow *c = live(h);
    if (!q || !c || !q->isEnabled()) return;
    WinWindow *top = liveTop(c->parent);
    if (!q->hasFocus()) q->setFocus(Qt::MouseFocusReason);
    if (q->hasFocus() && top) {
        top->client->setFocus(Qt::MouseFocusReason);
        return;
    }
    /* The window is not active, so the focus cannot move: tell the box. */
    QFocusEvent out(QEvent::FocusOut, Qt::MouseFocusReason);
    QApplication::sendEvent(q, &out);
}

void WIN_UserScroll(HWND h, unsigned code, int pos)
{
    WinWindow *w = liveTop(h);
    if (!w || !w->vbar) return;
    QScrollBar *bar = w->vbar;
    switch (code) {
    case SB_LINEUP: bar->triggerAction(QAbstractSlider::SliderSingleStepSub); break;
    case SB_LINEDOWN: bar->triggerAction(QAbstractSlider::SliderSingleStepAdd); break;
    case SB_PAGEUP: bar->triggerAction(QAbstractSlider::SliderPageStepSub); break;
    case SB_PAGEDOWN: bar->triggerAction(QAbstractSlider::SliderPageStepAdd); break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: {
        /* Dragging the thumb to pos; letting go of it as well for POSITION. */
        bool held = bar->isSliderDown();
        if (!held) bar->setSliderDown(true);
        if (!held || pos != w->trackPos) {
            if (pos != bar->sliderPosition())
                bar->setSliderPosition(pos);
            else
                send(h, WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, static_cast<unsigned>(pos)), 0);
        }
        if (!live(h)) return;
        w->trackPos = pos;
        if (code == SB_THUMBTRACK) return;
        bar->setSliderDown(false);
        break;
    }
    default: send(h, WM_VSCROLL, MAKEWPARAM(code, static_cast<unsigned>(pos)), 0); return;
    }
    /* The mouse button comes up. */
    if (live(h)) send(h, WM_VSCROLL, MAKEWPARAM(SB_ENDSCROLL, 0), 0);
}

void WIN_UserWheel(HWND h, int distance)
{
    WinWindow *w = liveTop(h);
    if (!w) return;
    QPointF at(w->client->width() / 2.0, w->client->height() / 2.0);
    QWheelEvent e(at, w->client->mapToGlobal(at), QPoint(), QPoint(0, distance), Qt::NoButton,
                  Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(w->client, &e);
}

void WIN_UserWheelOver(HWND over, int distance)
{
    WinWindow *w = live(over);
    QWidget *to = !w ? nullptr : w->kind == Kind::Control ? w->widget.data() : w->vbar.data();
    if (!to) return;
    QPointF at(to->width() / 2.0, to->height() / 2.0);
    QWheelEvent e(at, to->mapToGlobal(at), QPoint(), QPoint(0, distance), Qt::NoButton,
                  Qt::NoModifier, Qt::NoScrollPhase, false);
    /* Delivered as the window system delivers it, so that a widget that
     * ignores the wheel passes it to the one below, as for the user. */
    QSpontaneKeyEvent::setSpontaneous(&e);
    qApp->notify(to, &e);
}

void WIN_UserKey(HWND h, wchar_t key, bool alt)
{
    WinWindow *w = liveTop(h);
    if (!w) return;
    QWidget *to = w->frame->focusWidget();
    if (!to) to = w->client;
    sendKey(to, qtKey(key), alt ? Qt::AltModifier : Qt::NoModifier, QString(QChar(key)));
}

void WIN_UserClose(HWND h)
{
    if (WinWindow *w = liveTop(h)) w->frame->close();
}

/* A point of the client area that no child control covers. */
static bool backgroundPoint(QWidget *client, QPoint *at)
{
    for (int y = client->height() - 2; y > 0; y -= 7)
        for (int x = client->width() - 2; x > 0; x -= 7)
            if (!client->childAt(x, y)) {
                *at = QPoint(x, y);
                return true;
            }
    return false;
}

void WIN_UserClickBackground(HWND h)
{
    WinWindow *w = liveTop(h);
    QPoint at;
    if (!w || !backgroundPoint(w->client, &at)) return;
    QPointF global = w->client->mapToGlobal(QPointF(at));
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(at), global, Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QApplication::sendEvent(w->client, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, QPointF(at), global, Qt::LeftButton,
                        Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(w->client, &release);
}

bool WIN_UserMenu(HWND h, int command)
{
    WinWindow *w = liveTop(h);
    QMenuBar *bar = w && w->frame ? w->frame->findChild<QMenuBar *>() : nullptr;
    if (!bar) return false;
    for (QAction *a : bar->findChildren<QAction *>()) {
        if (a->menu() || a->isSeparator() || a->data().toInt() != command) continue;
        if (!a->isEnabled()) return false;
        a->trigger();
        return true;
    }
    return false;
}

/* ---- Looking at windows ------------------------------------------------------------ */

const char *WIN_PlatformName()
{
    WIN_Init(0, nullptr);
    static const QByteArray name = QGuiApplication::platformName().toUtf8();
    return name.constData();
}

bool WIN_SaveImage(HWND h, const char *path)
{
    WinWindow *w = liveTop(h);
    if (!w || !path) return false;
    flushPending();
    return w->frame->grab().save(QString::fromUtf8(path), "PNG");
}

COLORREF WIN_GetPixel(HWND h, int x, int y)
{
    WinWindow *w = liveTop(h);
    if (!w || !w->surface.valid(x, y)) return 0xFFFFFFFF;
    return colorref(w->surface.pixel(x, y));
}

void WIN_GetControlRect(HWND h, int *x, int *y, int *width, int *height)
{
    QWidget *q = controlWidget(h);
    QRect r = q ? q->geometry() : QRect();
    if (x) *x = r.x();
    if (y) *y = r.y();
    if (width) *width = r.width();
    if (height) *height = r.height();
}

HWND WIN_FindWindow(const wchar_t *title)
{
    WIN_Init(0, nullptr);
    const QString wanted = qstr(title);
    for (QWidget *top : QApplication::topLevelWidgets()) {
        WinWindow *w = liveTop(boundHandle(top));
        if (w && w->kind == Kind::Top && w->frame == top && top->windowTitle() == wanted)
            return handle(w);
    }
    return nullptr;
}

/* The part of image that differs from bg, cut to its bounding box; a null
 * image when all of it is bg. */
static QImage inkOf(const QImage &image, QRgb bg)
{
    int left = image.width(), top = image.height(), right = -1, bottom = -1;
    for (int y = 0; y < image.height(); y++)
        for (int x = 0; x < image.width(); x++)
            if (image.pixel(x, y) != bg) {
                left = std::min(left, x);
                right = std::max(right, x);
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
    return right < 0 ? QImage() : image.copy(left, top, right - left + 1, bottom - top + 1);
}

bool WIN_ShowsText(HWND h, int left, int top, int right, int bottom, const wchar_t *text,
                   HFONT font, COLORREF ink)
{
    WinWindow *w = liveTop(h);
    QFont f;
    if (!w || !text || !fontValue(font, &f)) return false;
    const QRect area = QRect(left, top, right - left, bottom - top).intersected(w->surface.rect());
    if (area.isEmpty()) return false;
    const QImage shown = w->surface.copy(area);
    const QRgb bg = shown.pixel(0, 0);

    /* The text alone on the same colour, with room around it, drawn as
     * WIN_TextOut draws it: from a whole pixel, the baseline one ascent
     * below the cell's top. */
    constexpr int ROOM = 4;
    const QString s = qstr(text);
    const QFontMetrics fm(f);
    QImage alone(fm.horizontalAdvance(s) + 2 * ROOM, fm.ascent() + fm.descent() + 2 * ROOM,
                 w->surface.format());
    alone.fill(bg);
    QPainter p(&alone);
    p.setFont(f);
    p.setPen(qcolor(ink));
    p.drawText(ROOM, ROOM + fm.ascent(), s);
    p.end();
    return inkOf(shown, bg) == inkOf(alone, bg);
}

/* window.cpp -- top-level windows: the Qt window with its menu bar, client
 * area and vertical scroll bar, the frame metrics between outer and client
 * sizes, showing, scrolling the client area, the scroll bar's requests, the
 * wheel and mouse, the close box, accelerators and the two icons.
 *
 * State: none of its own; everything sits in each window's WinWindow. The
 * backing surface and WM_PAINT are draw.cpp's; dialogs are dialog.cpp's.
 */
#include "platform/winqt.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QMenuBar>
#include <QPainter>
#include <QScrollBar>
#include <QWheelEvent>

using namespace winqt;

namespace
{

/* The Qt window of a top-level window: menu bar on top, the client area
 * below it and the scroll bar at the right of the client area. */
class TopFrame : public QWidget
{
  public:
    TopFrame(HWND h, Qt::WindowFlags flags) : QWidget(nullptr, flags), hwnd(h) {}
    void layoutParts();
    HWND hwnd;
    QMenuBar *menuBar = nullptr;

  protected:
    void resizeEvent(QResizeEvent *) override { layoutParts(); }
    void closeEvent(QCloseEvent *e) override
    {
        e->ignore();
        if (WinWindow *w = live(hwnd)) closeBox(w);
    }
    /* The wheel over the scroll bar or the menu bar is the window's too. */
    void wheelEvent(QWheelEvent *e) override
    {
        WinWindow *w = live(hwnd);
        if (w && w->client)
            QCoreApplication::sendEvent(w->client, e);
        else
            e->ignore();
    }
};

/* A scroll bar that only reports: the user's actions become WM_VSCROLL
 * requests, and the thumb stays where the program put it. */
class RequestBar : public QScrollBar
{
  public:
    RequestBar(HWND h, QWidget *parent);
    HWND hwnd;

  protected:
    void mouseReleaseEvent(QMouseEvent *e) override
    {
        QScrollBar::mouseReleaseEvent(e);
        if (live(hwnd)) send(hwnd, WM_VSCROLL, MAKEWPARAM(SB_ENDSCROLL, 0), 0);
    }
    void wheelEvent(QWheelEvent *e) override { e->ignore(); } /* passed on to the frame */

  private:
    void action(int a);
    void released();
};

constexpr unsigned SB_TOP = 6;
constexpr unsigned SB_BOTTOM = 7;

} // namespace

/* ---- The scroll bar ------------------------------------------------------------ */

RequestBar::RequestBar(HWND h, QWidget *parent) : QScrollBar(Qt::Vertical, parent), hwnd(h)
{
    setRange(0, 100);
    setPageStep(10);
    setFocusPolicy(Qt::NoFocus);
    connect(this, &QAbstractSlider::actionTriggered, this, [this](int a) { action(a); });
    connect(this, &QAbstractSlider::sliderReleased, this, [this] { released(); });
}

void RequestBar::action(int a)
{
    WinWindow *w = live(hwnd);
    if (!w) return;
    unsigned code;
    int pos = 0;
    switch (a) {
    case SliderSingleStepAdd: code = SB_LINEDOWN; break;
    case SliderSingleStepSub: code = SB_LINEUP; break;
    case SliderPageStepAdd: code = SB_PAGEDOWN; break;
    case SliderPageStepSub: code = SB_PAGEUP; break;
    case SliderToMinimum: code = SB_TOP; break;
    case SliderToMaximum: code = SB_BOTTOM; break;
    case SliderMove:
        if (!isSliderDown()) { /* the thumb snapping back after a drag */
            setSliderPosition(w->scrollPos);
            return;
        }
        code = SB_THUMBTRACK;
        pos = sliderPosition();
        w->trackPos = pos;
        break;
    default: return;
    }
    send(hwnd, WM_VSCROLL, MAKEWPARAM(code, static_cast<unsigned>(pos)), 0);
    if ((w = live(hwnd))) setSliderPosition(w->scrollPos);
}

void RequestBar::released()
{
    WinWindow *w = live(hwnd);
    if (!w) return;
    send(hwnd, WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, static_cast<unsigned>(w->trackPos)), 0);
}

void TopFrame::layoutParts()
{
    WinWindow *w = live(hwnd);
    if (!w || !w->client) return;
    int menuH = menuBar ? menuBar->sizeHint().height() : 0;
    int barW = w->vbar ? SCROLL_BAR : 0;
    if (menuBar) menuBar->setGeometry(0, 0, width(), menuH);
    w->client->setGeometry(0, menuH, width() - barW, height() - menuH);
    if (w->vbar) w->vbar->setGeometry(width() - barW, menuH, barW, height() - menuH);
}

/* ---- The client area --------------------------------------------------------------- */

ClientArea::ClientArea(HWND h, QWidget *parent, Qt::WindowFlags flags)
    : QWidget(parent, flags), hwnd(h)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::NoFocus);
    bindWidget(this, h);
}

void ClientArea::paintEvent(QPaintEvent *e)
{
    WinWindow *w = live(hwnd);
    if (!w) return;
    QPainter p(this);
    p.drawImage(e->rect(), w->surface, e->rect());
}

void ClientArea::resizeEvent(QResizeEvent *)
{
    if (WinWindow *w = live(hwnd)) resizeSurface(w, size());
}

void ClientArea::showEvent(QShowEvent *)
{
    if (WinWindow *w = live(hwnd)) schedulePaint(w);
}

void ClientArea::mouseReleaseEvent(QMouseEvent *e)
{
    if (e->button() != Qt::LeftButton) return;
    QPoint p = e->position().toPoint();
    send(hwnd, WM_LBUTTONUP, 0, static_cast<LPARAM>(MAKEWPARAM(p.x(), p.y())));
}

void ClientArea::wheelEvent(QWheelEvent *e)
{
    /* Fine-grained wheels and touch pads report parts of a notch; they are
     * gathered into whole notches of 120, as a mouse wheel gives them. */
    WinWindow *w = live(hwnd);
    int d = e->angleDelta().y();
    if (!w || d == 0) return;
    if (d % 120 != 0) {
        w->wheelRest += d;
        if (w->wheelRest > -120 && w->wheelRest < 120) return;
        d = w->wheelRest / 120 * 120;
        w->wheelRest -= d;
    }
    QPoint g = e->globalPosition().toPoint();
    send(hwnd, WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<unsigned>(d)),
         static_cast<LPARAM>(MAKEWPARAM(g.x(), g.y())));
}

void ClientArea::keyPressEvent(QKeyEvent *e)
{
    int k = e->key();
    unsigned vk = 0;
    if ((k >= '0' && k <= '9') || (k >= 'A' && k <= 'Z') || k == ' ')
        vk = k;
    else if (k == Qt::Key_Escape)
        vk = 0x1B;
    else if (k == Qt::Key_Return || k == Qt::Key_Enter)
        vk = 0x0D;
    else if (k >= Qt::Key_Left && k <= Qt::Key_Down)
        vk = 0x25 + (k - Qt::Key_Left);
    if (vk) send(hwnd, WM_KEYDOWN, vk, 0);
    QWidget::keyPressEvent(e);
}

void ClientArea::closeEvent(QCloseEvent *e)
{
    e->ignore();
    if (WinWindow *w = live(hwnd)) closeBox(w);
}

/* ---- Icons -------------------------------------------------------------------------- */

/* The program's icon: a dish with its LNB, the cable and the user bands,
 * rendered at build time from packaging/brevant.svg, the drawing the
 * installed icons come from, at each size the resource holds. Both icons of
 * a window class (the large and the small one) are this icon; the desktop
 * picks the size it shows. */
QIcon winqt::programIcon()
{
    static const QIcon icon = [] {
        QIcon i;
        for (const QString &file : QDir(QStringLiteral(":/icon")).entryList())
            i.addFile(QStringLiteral(":/icon/") + file);
        return i;
    }();
    return icon;
}

/* ---- Top-level windows ---------------------------------------------------------------- */

static void buildMenus(TopFrame *f, HWND h, const WIN_Menu *menus, int count)
{
    f->menuBar = new QMenuBar(f);
    for (int m = 0; m < count; ++m) {
        QMenu *menu = f->menuBar->addMenu(qstr(menus[m].title));
        for (int i = 0; i < menus[m].count; ++i) {
            const WIN_MenuItem &item = menus[m].items[i];
            if (!item.text) {
                menu->addSeparator();
                continue;
            }
            QAction *a = menu->addAction(qstr(item.text));
            int cmd = item.command;
            a->setData(cmd);
            QObject::connect(a, &QAction::triggered, [h, cmd] {
                send(h, WM_COMMAND, MAKEWPARAM(static_cast<unsigned>(cmd), 0), 0);
            });
        }
    }
}

/* The frame of a live top-level window that has a menu bar, or nullptr. */
static TopFrame *menuFrame(HWND h)
{
    WinWindow *w = liveTop(h);
    auto *f = w && w->kind == Kind::Top ? static_cast<TopFrame *>(w->frame.data()) : nullptr;
    return f && f->menuBar ? f : nullptr;
}

void WIN_SetMenu(HWND h, const WIN_Menu *menus, int count)
{
    TopFrame *f = menuFrame(h);
    if (!f || !menus || count <= 0) return;
    /* a new bar rather than a cleared one: clearing leaves the old menus behind */
    delete f->menuBar;
    buildMenus(f, h, menus, count);
    f->layoutParts();
    f->menuBar->show();
}

void WIN_CheckMenuItem(HWND h, int command, bool checked)
{
    TopFrame *f = menuFrame(h);
    if (!f) return;
    for (QAction *a : f->menuBar->findChildren<QAction *>()) {
        if (a->menu() || a->isSeparator() || a->data().toInt() != command) continue;
        a->setCheckable(checked || a->isCheckable());
        a->setChecked(checked);
    }
}

HWND WIN_CreateWindow(const WIN_WindowDesc *d)
{
    if (!d || !d->proc) return nullptr;
    WinWindow *w = newWindow(Kind::Top);
    HWND h = handle(w);
    w->proc = d->proc;
    w->style = d->style;
    w->background = d->background;

    bool sizable = d->style & WS_SIZABLE;
    bool menus = d->menus && d->menuCount > 0;
    int border = sizable ? SIZABLE_BORDER : FIXED_BORDER;
    int barW = (d->style & WS_VSCROLL) ? SCROLL_BAR : 0;
    w->ncWidth = 2 * border + barW;
    w->ncHeight = (sizable ? SIZABLE_CAPTION : FIXED_CAPTION) + border + (menus ? MENU_BAR : 0);
    QSize client(std::max(0, d->width - w->ncWidth), std::max(0, d->height - w->ncHeight));

    Qt::WindowFlags flags = Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                            Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    if (d->style & WS_MINIMIZEBOX) flags |= Qt::WindowMinimizeButtonHint;
    if (sizable) flags |= Qt::WindowMaximizeButtonHint;
    auto *f = new TopFrame(h, flags);
    bindWidget(f, h);
    w->frame = f;
    f->setWindowTitle(qstr(d->title));
    if (d->iconId) f->setWindowIcon(programIcon());
    if (menus) buildMenus(f, h, d->menus, d->menuCount);
    w->client = new ClientArea(h, f);
    if (barW) w->vbar = new RequestBar(h, f);

    int menuH = f->menuBar ? f->menuBar->sizeHint().height() : 0;
    QSize outer(client.width() + barW, client.height() + menuH);
    if (sizable)
        f->resize(outer);
    else
        f->setFixedSize(outer);
    /* On Wayland the compositor places windows: this position (and a dialog's
     * centring over its owner) is not applied there, and nothing else depends
     * on it. */
    f->move(d->x, d->y);
    f->layoutParts();
    resizeSurface(w, client);

    if (send(h, WM_CREATE, 0, 0) == -1) {
        WIN_DestroyWindow(h);
        return nullptr;
    }
    return live(h) ? h : nullptr;
}

void WIN_SetAccelerators(HWND h, const WIN_Accel *accels, int count)
{
    WinWindow *w = liveTop(h);
    if (!w) return;
    w->accels.assign(accels, accels + (accels && count > 0 ? count : 0));
}

void WIN_ShowWindow(HWND h, bool show)
{
    WinWindow *w = live(h);
    if (!w) return;
    QWidget *q = w->kind == Kind::Control ? w->widget.data() : w->frame.data();
    if (!q) return;
    /* A window starts with the focus on itself, not on its first control:
     * the keys go to the window until the user clicks a control. */
    if (show && w->kind == Kind::Top && !q->focusWidget()) w->client->setFocus();
    q->setVisible(show);
    if (show && w->kind != Kind::Control) q->activateWindow();
}

void WIN_GetWindowSize(HWND h, int *width, int *height)
{
    int cw = 0, ch = 0;
    WinWindow *w = live(h);
    if (w && w->kind == Kind::Control && w->widget) {
        cw = w->widget->width();
        ch = w->widget->height();
    } else if (w && w->client) {
        cw = w->client->width() + w->ncWidth;
        ch = w->client->height() + w->ncHeight;
    }
    if (width) *width = cw;
    if (height) *height = ch;
}

void WIN_GetClientSize(HWND h, int *width, int *height)
{
    int cw = 0, ch = 0;
    WinWindow *w = live(h);
    QWidget *q = !w ? nullptr : w->kind == Kind::Control ? w->widget.data() : w->client.data();
    if (q) {
        cw = q->width();
        ch = q->height();
    }
    if (width) *width = cw;
    if (height) *height = ch;
}

void WIN_SetScrollPos(HWND h, int pos)
{
    WinWindow *w = liveTop(h);
    if (!w) return;
    w->scrollPos = std::clamp(pos, 0, 100);
    if (w->vbar) {
        QSignalBlocker block(w->vbar);
        w->vbar->setValue(w->scrollPos);
    }
}

int WIN_GetScrollPos(HWND h)
{
    WinWindow *w = liveTop(h);
    return w ? w->scrollPos : 0;
}

void WIN_ScrollWindow(HWND h, int dy)
{
    WinWindow *w = liveTop(h);
    if (!w || dy == 0) return;
    scrollSurface(w, dy);
    w->client->scroll(0, dy); /* moves the child controls with the content */
}

/* The close box: after WM_CLOSE a window is destroyed, as the desktop's
 * default handling does; a dialog gets Cancel when its procedure returns 0
 * for WM_CLOSE. */
void winqt::closeBox(WinWindow *w)
{
    HWND h = handle(w);
    LRESULT r = send(h, WM_CLOSE, 0, 0);
    if (!live(h)) return;
    if (w->kind == Kind::Top)
        WIN_DestroyWindow(h);
    else if (r == 0 && !w->ended)
        dialogCommand(w, IDCANCEL);
}

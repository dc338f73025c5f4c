/* dialog.cpp -- modal dialogs from templates: dialog units from the
 * template's font, the controls of the template, the nested message loop,
 * ending a dialog, and the keys and close box that give Cancel or the
 * default button.
 *
 * State: the stack of dialogs open, innermost last. Each dialog's own state
 * (loop, result, base units, font) is in its WinWindow.
 */
#include "platform/winqt.h"

#include <QApplication>
#include <QEventLoop>
#include <QFontMetrics>
#include <QPushButton>
#include <QScreen>

using namespace winqt;

namespace
{
std::vector<HWND> *openDialogs;
} // namespace

/* Rounds a * b / c to the nearest whole number, as the desktop's MulDiv. */
static int mulDiv(int a, int b, int c)
{
    long long p = static_cast<long long>(a) * b;
    return static_cast<int>(p >= 0 ? (p + c / 2) / c : (p - c / 2) / c);
}

int WIN_DlgUnitsToPixelsX(HWND dlg, int units)
{
    WinWindow *d = live(dlg);
    return d && d->kind == Kind::Dialog ? mulDiv(units, d->baseX, 4) : units;
}

int WIN_DlgUnitsToPixelsY(HWND dlg, int units)
{
    WinWindow *d = live(dlg);
    return d && d->kind == Kind::Dialog ? mulDiv(units, d->baseY, 8) : units;
}

/* The base units of a dialog font: the average width of the 52 letters and
 * the height of the character cell. */
static void baseUnits(WinWindow *d)
{
    QFontMetrics fm(d->font);
    int letters = fm.horizontalAdvance("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    d->baseX = (letters / 26 + 1) / 2;
    d->baseY = fm.ascent() + fm.descent();
}

HWND WIN_GetDlgItem(HWND dlg, int id)
{
    WinWindow *d = live(dlg);
    if (!d || d->kind == Kind::Control) return nullptr;
    for (HWND c : d->children)
        if (c->alive && c->id == id) return c;
    return nullptr;
}

/* A command as its button would give it; a disabled button gives none. */
void winqt::dialogCommand(WinWindow *d, int id)
{
    HWND h = handle(d);
    HWND ctl = WIN_GetDlgItem(h, id);
    if (ctl && !WIN_IsWindowEnabled(ctl)) return;
    send(h, WM_COMMAND, MAKEWPARAM(static_cast<unsigned>(id), BN_CLICKED),
         reinterpret_cast<LPARAM>(ctl));
}

/* Escape is Cancel. Enter is the focused push button, else the default
 * button, else IDOK. */
bool winqt::dialogKey(WinWindow *d, int qtKey)
{
    if (qtKey == Qt::Key_Escape) {
        dialogCommand(d, IDCANCEL);
        return true;
    }
    if (qtKey != Qt::Key_Return && qtKey != Qt::Key_Enter) return false;
    int id = IDOK;
    for (HWND c : d->children)
        if (c->alive && c->control == WinControl::DefPushButton) {
            id = c->id;
            break;
        }
    QWidget *fw = d->frame->focusWidget();
    HWND focus = fw ? boundHandle(fw) : nullptr;
    if (live(focus) && focus->parent == handle(d) &&
        (focus->control == WinControl::PushButton || focus->control == WinControl::DefPushButton))
        id = focus->id;
    dialogCommand(d, id);
    return true;
}

static void placeDialog(QWidget *f, WinWindow *owner)
{
    QRect area = owner && owner->frame ? owner->frame->geometry()
                                       : QApplication::primaryScreen()->availableGeometry();
    QRect r(QPoint(0, 0), f->size());
    r.moveCenter(area.center());
    f->move(r.topLeft());
}

INT_PTR WIN_DialogBox(HWND owner, const WIN_DlgTemplate *t, DLGPROC proc)
{
    return WIN_DialogBoxParam(owner, t, proc, 0);
}

INT_PTR WIN_DialogBoxParam(HWND owner, const WIN_DlgTemplate *t, DLGPROC proc, LPARAM init)
{
    if (!t || !proc) return -1;
    WinWindow *d = newWindow(Kind::Dialog);
    HWND h = handle(d);
    d->dlgProc = proc;
    d->background = WIN_COLOR_DIALOG;
    d->font = dialogFont(t->fontSize > 0 ? t->fontSize : 8);
    baseUnits(d);
    d->ncWidth = 2 * FIXED_BORDER;
    d->ncHeight = FIXED_CAPTION + FIXED_BORDER;

    WinWindow *o = liveTop(owner);
    auto *f = new ClientArea(h, o ? o->frame.data() : nullptr,
                             Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                                 Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    d->frame = f;
    d->client = f;
    f->setWindowModality(Qt::ApplicationModal);
    f->setWindowTitle(qstr(t->caption));
    f->setFont(d->font);
    QSize size(WIN_DlgUnitsToPixelsX(h, t->width), WIN_DlgUnitsToPixelsY(h, t->height));
    f->setFixedSize(size);
    resizeSurface(d, size);

    HWND first = nullptr;
    for (int i = 0; i < t->count; ++i) {
        const WIN_DlgItem &it = t->items[i];
        HWND c = WIN_CreateControl(h, it.kind, it.text, it.style, WIN_DlgUnitsToPixelsX(h, it.x),
                                   WIN_DlgUnitsToPixelsY(h, it.y), WIN_DlgUnitsToPixelsX(h, it.w),
                                   WIN_DlgUnitsToPixelsY(h, it.h), it.id);
        if (!first) first = c;
    }
    placeDialog(f, o);

    if (!openDialogs) openDialogs = new std::vector<HWND>;
    openDialogs->push_back(h);
    send(h, WM_INITDIALOG, reinterpret_cast<WPARAM>(first), init);
    if (live(h) && !d->ended) {
        f->show();
        f->activateWindow();
        QEventLoop loop;
        d->loop = &loop;
        loop.exec(QEventLoop::DialogExec);
        d->loop = nullptr;
    }
    std::erase(*openDialogs, h);
    INT_PTR result = d->result;
    destroyDialog(d);
    return result;
}

void WIN_EndDialog(HWND dlg, INT_PTR result)
{
    WinWindow *d = live(dlg);
    if (!d || d->kind != Kind::Dialog || d->ended) return;
    d->ended = true;
    d->result = result;
    if (d->frame) d->frame->hide();
    if (d->loop) d->loop->exit();
}

HWND winqt::innermostDialog()
{
    return openDialogs && !openDialogs->empty() ? openDialogs->back() : nullptr;
}

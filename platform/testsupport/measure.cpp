/* measure.cpp -- the test support's measures of texts: whether a control's
 * text shows whole in its font and its room, the children of a window, and
 * a record of what is drawn on one window's surface.
 *
 * State: the watched window and what was drawn on it since the watch began.
 */
#include "platform/testsupport/wintest.h"
#include "platform/winqt.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QStyleOptionButton>
#include <QStyleOptionComboBox>

using namespace winqt;

/* A button's text keeps this far from the edge of its contents, so that it
 * never touches the frame. */
constexpr int BUTTON_PAD = 2;

/* A static text cut short by a control beside it keeps this far from it, so
 * that the two do not read as one label. */
constexpr int SIBLING_GAP = 3;

static HWND watched = nullptr;
static std::vector<WIN_DrawnItem> drawn;

int WIN_GetChildren(HWND h, HWND *out, int max)
{
    WinWindow *w = liveTop(h);
    if (!w) return 0;
    int n = 0;
    for (HWND c : w->children) {
        if (!live(c)) continue;
        if (n < max) out[n] = c;
        n++;
    }
    return n;
}

/* The part of control c's rectangle that shows: cut by the client area of
 * its window's client area at the right and by any later sibling lying over
 * it, at its right (with a gap, for a static text) or below its top. */
static QRect visiblePart(WinWindow *c, QWidget *q)
{
    WinWindow *p = liveTop(c->parent);
    QRect r = q->geometry();
    if (!p) return r;
    /* the right edge of the client area cuts; the bottom only hides what
     * the window scrolls into view */
    r.setRight(std::min(r.right(), p->client->width() - 1));
    bool later = false;
    for (HWND s : p->children) {
        WinWindow *sw = live(s);
        if (s == handle(c)) later = true;
        if (!later || !sw || s == handle(c) || !sw->widget || !sw->widget->isVisible()) continue;
        const QRect o = sw->widget->geometry();
        if (!o.intersects(r)) continue;
        if (o.top() > r.top())
            r.setBottom(o.top() - 1);
        else if (o.left() > r.left())
            r.setRight(o.left() - 1 - (c->control == WinControl::Static ? SIBLING_GAP : 0));
    }
    return r;
}

/* Fits on one line: need the text's width, room the given width. An empty
 * text always fits. */
static bool oneLine(const QFontMetrics &fm, const QString &text, int width, int *need, int *room)
{
    if (text.isEmpty()) return true;
    *need = fm.horizontalAdvance(text);
    *room = width;
    return *need <= *room;
}

bool WIN_TextFits(HWND h, int item, int *need, int *room)
{
    int n = 0, r = 0;
    if (!need) need = &n;
    if (!room) room = &r;
    *need = *room = 0;
    WinWindow *c = live(h);
    QWidget *q = c && c->kind == Kind::Control ? c->widget.data() : nullptr;
    if (!q) return true;
    const QRect shown = visiblePart(c, q);
    const int cutRight = q->width() - shown.width(); /* what siblings and the edge take */
    const QFontMetrics fm(q->font());

    if (auto *cb = qobject_cast<QComboBox *>(q)) {
        const QString text = item >= 0 ? cb->itemText(item) : cb->currentText();
        QStyleOptionComboBox opt;
        opt.initFrom(cb);
        opt.editable = cb->isEditable();
        const QRect field = cb->style()->subControlRect(QStyle::CC_ComboBox, &opt,
                                                        QStyle::SC_ComboBoxEditField, cb);
        return oneLine(fm, text, field.width() - cutRight, need, room);
    }
    if (auto *b = qobject_cast<QAbstractButton *>(q)) {
        QStyleOptionButton opt;
        opt.initFrom(b);
        opt.text = b->text();
        const bool check = qobject_cast<QCheckBox *>(b) != nullptr;
        const QRect inside = b->style()->subElementRect(
            check ? QStyle::SE_CheckBoxContents : QStyle::SE_PushButtonContents, &opt, b);
        return oneLine(fm, b->text(), inside.width() - (check ? 0 : 2 * BUTTON_PAD) - cutRight,
                       need, room);
    }
    if (auto *l = qobject_cast<QLabel *>(q)) {
        const QRect inside = l->contentsRect();
        const int width = inside.width() - (l->indent() > 0 ? l->indent() : 0) - cutRight;
        if (!l->wordWrap()) return oneLine(fm, l->text(), width, need, room);
        const QRect wrapped = fm.boundingRect(QRect(0, 0, width, 1 << 20),
                                              Qt::AlignLeft | Qt::TextWordWrap, l->text());
        if (wrapped.width() > width) { /* a word wider than the control */
            *need = wrapped.width();
            *room = width;
            return false;
        }
        const int height = inside.height() - (q->height() - shown.height());
        *need = 1 + (wrapped.height() - fm.height() + fm.lineSpacing() / 2) / fm.lineSpacing();
        *room = std::max(1, height / fm.lineSpacing());
        if (l->text().isEmpty()) *need = 0;
        return *need <= *room;
    }
    return true; /* edit fields hold what the user types; progress bars no text */
}

/* ---- What is drawn -------------------------------------------------------------- */

static void record(HWND win, Drawn kind, const QRect &r, const QString &text)
{
    if (win != watched) return;
    const auto k = kind == Drawn::Text   ? WIN_DrawnItem::Text
                   : kind == Drawn::Fill ? WIN_DrawnItem::Fill
                                         : WIN_DrawnItem::Frame;
    drawn.push_back(
        {k, r.left(), r.top(), r.left() + r.width(), r.top() + r.height(), text.toStdWString()});
}

void WIN_WatchDrawing(HWND win)
{
    watched = win;
    drawn.clear();
    drawWatch = win ? record : nullptr;
}

std::vector<WIN_DrawnItem> WIN_Drawn()
{
    return drawn;
}

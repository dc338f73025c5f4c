/* draw.cpp -- drawing: the backing surface of each window and dialog, the
 * WM_PAINT requests against it, drawing contexts, fonts, text, fills and
 * frames.
 *
 * State: the pools of drawing contexts and fonts (a released context or a
 * deleted font is reused by the next one made), the cache of resolved fonts,
 * and the watch a test may put on what is drawn. Each window's surface and pending repaint live in
 * its WinWindow. Nothing here touches child controls.
 */
#include "platform/winqt.h"

#include <QCoreApplication>
#include <QFontMetrics>
#include <QPainter>

#include <map>
#include <tuple>

using namespace winqt;

struct WinDC {
    bool inUse = false;
    HWND win = nullptr;
    bool clipped = false; /* a paint context draws only into what was invalid */
    QRect clip;
    HFONT font = nullptr;
    QFont qfont;
    int ascent = 0, cell = 0;
    COLORREF text = RGB(0, 0, 0);
    COLORREF bk = RGB(255, 255, 255);
    int mode = OPAQUE;
};

struct WinFont {
    bool inUse = false;
    QFont font;
};

namespace
{
std::vector<WinDC *> *dcs;
std::vector<WinFont *> *fonts;
WinFont *systemFont; /* selected into every new context; never deleted */
using FontKey = std::tuple<int, int, int, QString>;
std::map<FontKey, QFont> *resolved;
} // namespace

void (*winqt::drawWatch)(HWND win, Drawn kind, const QRect &r, const QString &text) = nullptr;

/* ---- Fonts -------------------------------------------------------------------------- */

static QString family(const QString &face)
{
    /* The desktop faces the program names, drawn with metric-compatible ones. */
    static const char *const sansFaces[] = {
        "",      "Arial", "MS Shell Dlg", "MS Shell Dlg 2", "MS Sans Serif", "Microsoft Sans Serif",
        "Tahoma"};
    for (const char *s : sansFaces)
        if (face.compare(QLatin1String(s), Qt::CaseInsensitive) == 0) return "Liberation Sans";
    return face;
}

/* A positive height is the cell height, ascent plus descent: the largest
 * pixel size whose cell fits is used, as Win32 picks a font's size. A
 * negative height is the em size itself. A width other than the face's own
 * average character width narrows or widens the glyphs. */
QFont winqt::resolveFont(int height, int width, int weight, const wchar_t *face)
{
    if (!resolved) resolved = new std::map<FontKey, QFont>;
    QString fam = family(qstr(face));
    FontKey key{height, width, weight, fam};
    auto it = resolved->find(key);
    if (it != resolved->end()) return it->second;

    QFont f(fam);
    f.setWeight(weight >= 600 ? QFont::Bold : QFont::Normal);
    /* Whole-pixel glyph advances, as Win32 measures text at 96 dots per
     * inch: "UB Frequency" in the table font is 91 pixels there and here. */
    f.setHintingPreference(QFont::PreferFullHinting);
    int px = height < 0 ? -height : 12;
    if (height > 0) {
        for (px = height; px > 1; --px) {
            f.setPixelSize(px);
            QFontMetrics fm(f);
            if (fm.ascent() + fm.descent() <= height) break;
        }
    }
    f.setPixelSize(std::max(px, 1));
    if (width > 0) {
        /* The average width by which Win32 measures Arial
         * (904 of 2048 units to the em); Liberation Sans has the same glyph
         * widths but reports another average. */
        double avg =
            fam == "Liberation Sans" ? 904.0 / 2048.0 * px : QFontMetricsF(f).averageCharWidth();
        if (avg > 0 && std::lround(avg) != width)
            f.setStretch(std::clamp(static_cast<int>(std::lround(100.0 * width / avg)), 1, 4000));
    }
    (*resolved)[key] = f;
    return f;
}

QFont winqt::defaultControlFont()
{
    return dialogFont(8);
}

QFont winqt::dialogFont(int points)
{
    /* Points at 96 dots per inch, rounded as the desktop's MulDiv does. */
    int px = (points * 96 + 36) / 72;
    return resolveFont(-std::max(px, 1), 0, FW_NORMAL, L"MS Shell Dlg");
}

HFONT WIN_CreateFont(int height, int width, int weight, const wchar_t *face)
{
    if (!fonts) fonts = new std::vector<WinFont *>;
    WinFont *f = nullptr;
    for (WinFont *old : *fonts)
        if (!old->inUse && old != systemFont) f = old;
    if (!f) {
        f = new WinFont;
        fonts->push_back(f);
    }
    f->inUse = true;
    f->font = resolveFont(height, width, weight, face);
    return f;
}

void WIN_DeleteFont(HFONT font)
{
    if (font && font != systemFont) font->inUse = false;
}

bool winqt::fontValue(HFONT font, QFont *out)
{
    if (!font || !font->inUse) return false;
    *out = font->font;
    return true;
}

/* ---- The backing surface ---------------------------------------------------------------- */

void winqt::resizeSurface(WinWindow *w, QSize size)
{
    if (w->surface.size() == size) return;
    QImage img(size, QImage::Format_RGB32);
    img.fill(qcolor(w->background));
    if (!w->surface.isNull()) {
        QPainter p(&img);
        p.drawImage(0, 0, w->surface);
    }
    w->surface = img;
    /* The whole client area is repainted after a change of size. */
    invalidate(w, QRect(QPoint(0, 0), size));
}

void winqt::schedulePaint(WinWindow *w)
{
    if (w->paintPosted || w->invalid.isEmpty() || !w->frame || !w->frame->isVisible()) return;
    w->paintPosted = true;
    HWND h = handle(w);
    QMetaObject::invokeMethod(
        qApp,
        [h] {
            if (WinWindow *w = live(h)) {
                w->paintPosted = false;
                deliverPaint(w);
            }
        },
        Qt::QueuedConnection);
}

void winqt::invalidate(WinWindow *w, const QRect &r)
{
    QRect part = r.intersected(QRect(QPoint(0, 0), w->surface.size()));
    if (part.isEmpty()) return;
    w->invalid = w->invalid.united(part);
    schedulePaint(w);
}

void winqt::deliverPaint(WinWindow *w)
{
    if (w->invalid.isEmpty() || !w->frame || !w->frame->isVisible()) return;
    HWND h = handle(w);
    w->paintBegun = false;
    send(h, WM_PAINT, 0, 0);
    if (!live(h) || w->paintBegun || w->invalid.isEmpty()) return;
    /* A procedure that does not paint gets the default: the background. */
    QPainter p(&w->surface);
    p.fillRect(w->invalid, qcolor(w->background));
    w->client->update(w->invalid);
    w->invalid = QRect();
}

void winqt::scrollSurface(WinWindow *w, int dy)
{
    QImage &s = w->surface;
    int height = s.height();
    QRect strip = dy > 0 ? QRect(0, 0, s.width(), std::min(dy, height))
                         : QRect(0, std::max(height + dy, 0), s.width(), std::min(-dy, height));
    if (std::abs(dy) < height) {
        QImage moved = s.copy(0, dy > 0 ? 0 : -dy, s.width(), height - std::abs(dy));
        QPainter p(&s);
        p.drawImage(0, dy > 0 ? dy : 0, moved);
    }
    QPainter(&s).fillRect(strip, qcolor(w->background));
    if (!w->invalid.isEmpty()) w->invalid.translate(0, dy);
    invalidate(w, strip);
}

void winqt::flushPending()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::UpdateRequest);
}

/* ---- Drawing contexts --------------------------------------------------------------------- */

static WinDC *makeDC(HWND h)
{
    if (!dcs) dcs = new std::vector<WinDC *>;
    if (!systemFont) {
        /* The desktop's system font: 16 pixels high, bold. */
        systemFont = new WinFont{true, resolveFont(16, 0, FW_BOLD, L"Arial")};
    }
    WinDC *dc = nullptr;
    for (WinDC *old : *dcs)
        if (!old->inUse) dc = old;
    if (!dc) {
        dc = new WinDC;
        dcs->push_back(dc);
    }
    *dc = WinDC{};
    dc->inUse = true;
    dc->win = h;
    WIN_SelectFont(dc, systemFont);
    return dc;
}

/* The window a context draws on, or nullptr when either is gone. */
static WinWindow *target(HDC dc)
{
    if (!dc || !dc->inUse) return nullptr;
    WinWindow *w = liveTop(dc->win);
    return w && !w->surface.isNull() ? w : nullptr;
}

void winqt::releaseDCsOf(WinWindow *w)
{
    if (!dcs) return;
    for (WinDC *dc : *dcs)
        if (dc->win == handle(w)) dc->inUse = false;
}

HDC WIN_GetDC(HWND h)
{
    return liveTop(h) ? makeDC(h) : nullptr;
}

void WIN_ReleaseDC(HWND, HDC dc)
{
    if (!dc || !dc->inUse) return;
    dc->inUse = false;
    if (liveTop(dc->win)) flushPending();
}

HDC WIN_BeginPaint(HWND h)
{
    WinWindow *w = liveTop(h);
    if (!w) return nullptr;
    HDC dc = makeDC(h);
    dc->clipped = true;
    dc->clip = w->invalid;
    if (!w->invalid.isEmpty()) {
        QPainter(&w->surface).fillRect(w->invalid, qcolor(w->background));
        w->client->update(w->invalid);
    }
    w->invalid = QRect();
    w->paintBegun = true;
    return dc;
}

void WIN_EndPaint(HWND h, HDC dc)
{
    WIN_ReleaseDC(h, dc);
}

void WIN_InvalidateRect(HWND h)
{
    if (WinWindow *w = liveTop(h)) invalidate(w, QRect(QPoint(0, 0), w->surface.size()));
}

void WIN_UpdateWindow(HWND h)
{
    if (WinWindow *w = liveTop(h)) deliverPaint(w);
}

HFONT WIN_SelectFont(HDC dc, HFONT font)
{
    if (!dc || !dc->inUse || !font || !font->inUse) return nullptr;
    HFONT old = dc->font;
    dc->font = font;
    dc->qfont = font->font;
    QFontMetrics fm(dc->qfont);
    dc->ascent = fm.ascent();
    dc->cell = fm.ascent() + fm.descent();
    return old;
}

void WIN_SetTextColor(HDC dc, COLORREF color)
{
    if (dc) dc->text = color;
}

void WIN_SetBkColor(HDC dc, COLORREF color)
{
    if (dc) dc->bk = color;
}

void WIN_SetBkMode(HDC dc, int mode)
{
    if (dc && (mode == OPAQUE || mode == TRANSPARENT)) dc->mode = mode;
}

/* Starts a painter on the window's surface, limited to the context's clip. */
static void begin(QPainter &p, WinWindow *w, HDC dc)
{
    p.begin(&w->surface);
    if (dc->clipped) p.setClipRect(dc->clip);
}

static void shown(WinWindow *w, HDC dc, QRect r)
{
    if (dc->clipped) r = r.intersected(dc->clip);
    if (!r.isEmpty()) w->client->update(r);
}

void WIN_TextOut(HDC dc, int x, int y, const wchar_t *text, int len)
{
    WinWindow *w = target(dc);
    if (!w || !text) return;
    QString s = qstr(text, len);
    QPainter p;
    begin(p, w, dc);
    p.setFont(dc->qfont);
    int advance = p.fontMetrics().horizontalAdvance(s);
    QRect cell(x, y, advance, dc->cell);
    if (dc->mode == OPAQUE) p.fillRect(cell, qcolor(dc->bk));
    p.setPen(qcolor(dc->text));
    p.drawText(x, y + dc->ascent, s);
    p.end();
    if (drawWatch) drawWatch(dc->win, Drawn::Text, cell, s);
    shown(w, dc, cell.adjusted(-2, 0, 2, 0)); /* glyphs may overhang their cell a little */
}

int WIN_GetTextWidth(HDC dc, const wchar_t *text, int len)
{
    if (!dc || !text) return 0;
    return QFontMetrics(dc->qfont).horizontalAdvance(qstr(text, len));
}

void WIN_FillRect(HDC dc, int left, int top, int right, int bottom, COLORREF color)
{
    WinWindow *w = target(dc);
    if (!w || right <= left || bottom <= top) return;
    QRect r(left, top, right - left, bottom - top);
    QPainter p;
    begin(p, w, dc);
    p.fillRect(r, qcolor(color));
    p.end();
    shown(w, dc, r);
    if (drawWatch) drawWatch(dc->win, Drawn::Fill, r, QString());
}

void WIN_FrameRect(HDC dc, int left, int top, int right, int bottom, COLORREF color)
{
    WinWindow *w = target(dc);
    if (!w || right <= left || bottom <= top) return;
    QColor c = qcolor(color);
    QPainter p;
    begin(p, w, dc);
    p.fillRect(left, top, right - left, 1, c);
    p.fillRect(left, bottom - 1, right - left, 1, c);
    p.fillRect(left, top, 1, bottom - top, c);
    p.fillRect(right - 1, top, 1, bottom - top, c);
    p.end();
    shown(w, dc, QRect(left, top, right - left, bottom - top));
    if (drawWatch)
        drawWatch(dc->win, Drawn::Frame, QRect(left, top, right - left, bottom - top), {});
}

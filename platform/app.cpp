/* app.cpp -- the application object, message loops, quitting, blocking
 * sleeps, window timers, the language of Qt's own texts, and the keys every
 * window shares: accelerators, and Escape and Enter in dialogs.
 *
 * State: the Qt application (made once, kept for the process), the running
 * message loops, a quit posted while none ran, the timers by (window, id),
 * and the translation of Qt's own texts in use. Pauses and timer periods
 * are measured by the clock of winqt.h's user table (real time; the test
 * support shortens it). Windows themselves live in window.cpp.
 */
#include "platform/winqt.h"

#include <QApplication>
#include <QEventLoop>
#include <QKeyEvent>
#include <QLibraryInfo>
#include <QPalette>
#include <QProxyStyle>
#include <QStyleFactory>
#include <QStyleOptionComplex>
#include <QTimer>
#include <QTranslator>
#include <QWindow>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <thread>

using namespace winqt;

namespace
{

/* Fusion everywhere, whatever the desktop's theme, so that the controls have
 * the same sizes on every machine; drop-down lists open below their box. */
class LayerStyle : public QProxyStyle
{
  public:
    LayerStyle() : QProxyStyle(QStyleFactory::create("Fusion")) {}
    int styleHint(StyleHint hint, const QStyleOption *opt, const QWidget *w,
                  QStyleHintReturn *ret) const override
    {
        if (hint == SH_ComboBox_Popup) return 0;
        return QProxyStyle::styleHint(hint, opt, w, ret);
    }
    /* A combo box's arrow button as wide as a scroll bar (17 pixels) and its
     * text field reaching to 3 pixels from the frame, as the Windows metrics
     * at 96 dots per inch give them, so that the widths the windows give fit
     * their longest item. */
    QRect subControlRect(ComplexControl cc, const QStyleOptionComplex *opt, SubControl sc,
                         const QWidget *w) const override
    {
        if (cc == CC_ComboBox && (sc == SC_ComboBoxArrow || sc == SC_ComboBoxEditField)) {
            const QRect r = opt->rect;
            const QRect arrow(r.right() - COMBO_ARROW, r.top() + 1, COMBO_ARROW, r.height() - 2);
            if (sc == SC_ComboBoxArrow) return visualRect(opt->direction, r, arrow);
            const QRect field(r.left() + 3, r.top() + 2, arrow.left() - r.left() - 4,
                              r.height() - 4);
            return visualRect(opt->direction, r, field);
        }
        return QProxyStyle::subControlRect(cc, opt, sc, w);
    }

  private:
    static constexpr int COMBO_ARROW = 17;
};

struct Timer {
    HWND win;
    unsigned id;
    QTimer *timer;
};

/* Turns key presses into accelerator commands and dialog commands before
 * the focused control sees them. */
class KeyFilter : public QObject
{
  protected:
    bool eventFilter(QObject *obj, QEvent *e) override;
};

int appArgc = 1;
char appName[] = "brevant";
char *defaultArgv[] = {appName, nullptr};

std::vector<QEventLoop *> *loops;
bool quitPending;
int quitCode;
std::vector<Timer> *timers;
QTranslator *qtTexts; /* Qt's own texts in the language in use, or none */

} // namespace

/* An accelerator matches the key typed, by character; Shift is ignored since
 * '?' needs it on most layouts. */
static bool acceleratorKey(WinWindow *top, QKeyEvent *k)
{
    bool alt = k->modifiers() & Qt::AltModifier;
    for (const WIN_Accel &a : top->accels) {
        if (a.alt != alt) continue;
        int want = a.key;
        if (want >= 'a' && want <= 'z') want -= 'a' - 'A';
        bool match = k->key() == want || (!k->text().isEmpty() && k->text()[0] == QChar(a.key));
        if (!match) continue;
        send(handle(top), WM_COMMAND, MAKEWPARAM(a.command, 1), 0);
        return true;
    }
    return false;
}

bool KeyFilter::eventFilter(QObject *obj, QEvent *e)
{
    if (e->type() != QEvent::KeyPress || !obj->isWidgetType()) return false;
    WinWindow *top = liveTop(boundHandle(static_cast<QWidget *>(obj)->window()));
    if (!top) return false;
    auto *k = static_cast<QKeyEvent *>(e);
    if (acceleratorKey(top, k)) return true;
    return top->kind == Kind::Dialog && dialogKey(top, k->key());
}

/* ---- Application ---------------------------------------------------------- */

/* The built-in window icon; a resource in a static library is registered by
 * hand, or the linker drops it. */
static void registerIcon()
{
    Q_INIT_RESOURCE(window_icon);
}

int WIN_Init(int argc, char **argv)
{
    if (QApplication::instance()) return 0;
    registerIcon();
    if (argc > 0 && argv) appArgc = argc;
    /* The X11 window class is the application's name, whatever the program
     * file is called; the desktop entry's StartupWMClass names it. On
     * Wayland the compositor finds the entry (and its icon) by its name. */
    QApplication::setApplicationName(QString::fromLatin1(appName));
    QApplication::setDesktopFileName(QStringLiteral(BREVANT_APP_ID));
    new QApplication(appArgc, argc > 0 && argv ? argv : defaultArgv);
    QApplication::setWindowIcon(programIcon());
    QApplication::setQuitOnLastWindowClosed(false);
    QApplication::setStyle(new LayerStyle);
    QApplication::setPalette(QApplication::style()->standardPalette());
    QFont font("Liberation Sans");
    font.setPixelSize(12); /* the desktop's menu and message font, 9 points */
    QApplication::setFont(font);
    qApp->installEventFilter(new KeyFilter);
    loops = new std::vector<QEventLoop *>;
    timers = new std::vector<Timer>;
    return 0;
}

void WIN_SetLanguage(const char *code)
{
    WIN_Init(0, nullptr);
    if (qtTexts) {
        QCoreApplication::removeTranslator(qtTexts);
        delete qtTexts;
        qtTexts = nullptr;
    }
    if (!code || std::strcmp(code, "en") == 0) return;
    auto *t = new QTranslator;
    if (t->load(QStringLiteral("qtbase_") + QString::fromLatin1(code),
                QLibraryInfo::path(QLibraryInfo::TranslationsPath)) &&
        QCoreApplication::installTranslator(t))
        qtTexts = t;
    else
        delete t;
}

int WIN_MessageLoop()
{
    WIN_Init(0, nullptr);
    int code = 0;
    if (takeQuit(&code)) return code;
    QEventLoop loop;
    loops->push_back(&loop);
    code = loop.exec();
    loops->pop_back();
    return code;
}

void WIN_PostQuitMessage(int code)
{
    if (loops && !loops->empty()) {
        loops->back()->exit(code);
        return;
    }
    quitPending = true;
    quitCode = code;
}

bool winqt::takeQuit(int *code)
{
    if (!quitPending) return false;
    quitPending = false;
    if (code) *code = quitCode;
    return true;
}

void WIN_Sleep(unsigned ms)
{
    /* What was drawn or changed before the pause is shown first: on Win32
     * what a window draws shows at once, and a Sleep does not hide it. */
    flushPending();
    auto wait = std::chrono::duration<double, std::milli>(userCalls().Millis(ms));
    std::this_thread::sleep_for(wait);
}

/* ---- Timers ------------------------------------------------------------------ */

/* A window just shown is on the screen only once the display has exposed
 * it. Its ticks wait for that, up to this long, so that a dialog shows
 * itself and its first text before its first step blocks; a window that is
 * never exposed (minimised, on another desktop) gets its ticks after it. */
constexpr long long SCREEN_WAIT_MS = 500;

static bool waitForScreen(WinWindow *w)
{
    WinWindow *top = w->kind == Kind::Control ? live(w->parent) : w;
    if (!top || !top->frame || !top->frame->isVisible()) return false;
    const QWindow *win = top->frame->windowHandle();
    if (!win || win->isExposed()) {
        top->screenWait = -1;
        return false;
    }
    const long long now = std::chrono::duration_cast<std::chrono::milliseconds>(
                              std::chrono::steady_clock::now().time_since_epoch())
                              .count();
    if (top->screenWait < 0) top->screenWait = now;
    return now - top->screenWait < SCREEN_WAIT_MS;
}

static int scaledPeriod(unsigned ms)
{
    double p = userCalls().Millis(ms);
    return p < 0.5 ? 0 : static_cast<int>(p + 0.5);
}

void WIN_SetTimer(HWND h, unsigned id, unsigned ms)
{
    if (!live(h)) return;
    for (Timer &t : *timers) {
        if (t.win == h && t.id == id) {
            t.timer->start(scaledPeriod(ms));
            return;
        }
    }
    auto *timer = new QTimer(qApp);
    timer->setTimerType(Qt::PreciseTimer);
    QObject::connect(timer, &QTimer::timeout, [h, id, timer] {
        WinWindow *w = live(h);
        if (!w) return timer->stop();
        if (waitForScreen(w)) return; /* the timer fires again */
        /* Win32 hands out pending WM_PAINT before WM_TIMER: what the last
         * step changed is on the screen before this step blocks. */
        deliverAllPaints();
        if (live(h)) send(h, WM_TIMER, id, 0);
    });
    timers->push_back({h, id, timer});
    timer->start(scaledPeriod(ms));
}

void WIN_KillTimer(HWND h, unsigned id)
{
    if (!timers) return;
    for (Timer &t : *timers)
        if (t.win == h && t.id == id) t.timer->stop();
}

/* The timers of a window that is going away; a timer may be the one whose
 * tick is being handled, so it is deleted only once that has returned. */
void winqt::killTimersOf(HWND h)
{
    if (!timers) return;
    std::erase_if(*timers, [h](const Timer &t) {
        if (t.win != h) return false;
        t.timer->stop();
        t.timer->deleteLater();
        return true;
    });
}

/* loop.cpp -- the test support's hold on time and the message loop: the
 * time scale of the waits, running the loop for a while or until something
 * holds, posting what the user does into the next loop, the innermost modal
 * dialog, and a quit posted while no loop ran.
 *
 * State: the time scale, which the clock entry of the layer's user table
 * (winqt.h) applies once a test has set it.
 */
#include "platform/testsupport/wintest.h"
#include "platform/winqt.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

static double timeScale = 1.0;

static double scaledMillis(unsigned ms)
{
    return ms * timeScale;
}

void WIN_SetTimeScale(double factor)
{
    timeScale = factor > 0 ? factor : 1.0;
    winqt::userCalls().Millis = scaledMillis;
}

void WIN_ProcessEvents(int ms)
{
    WIN_Init(0, nullptr);
    QEventLoop loop;
    QTimer::singleShot(ms > 0 ? ms : 0, &loop, &QEventLoop::quit);
    loop.exec();
}

bool WIN_WaitFor(const std::function<bool()> &cond, int timeoutMs)
{
    WIN_Init(0, nullptr);
    if (cond()) return true;
    QElapsedTimer clock;
    clock.start();
    QEventLoop loop;
    QTimer poll; /* looks at the condition every millisecond */
    poll.setTimerType(Qt::PreciseTimer);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (cond() || clock.elapsed() >= timeoutMs) loop.quit();
    });
    poll.start(1);
    loop.exec();
    return cond();
}

void WIN_Post(std::function<void()> fn)
{
    WIN_Init(0, nullptr);
    QMetaObject::invokeMethod(
        qApp, [fn = std::move(fn)] { fn(); }, Qt::QueuedConnection);
}

HWND WIN_ActiveDialog()
{
    return winqt::innermostDialog();
}

bool WIN_TakeQuit(int *code)
{
    return winqt::takeQuit(code);
}

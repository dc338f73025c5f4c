/* recorder.cpp -- the recording procedures of the layer's tests. */
#include "tests/platform/recorder.h"

std::vector<Msg> Received;
std::function<LRESULT(HWND, UINT, WPARAM, LPARAM)> OnMessage;

LRESULT RecordingProc(HWND win, UINT msg, WPARAM wp, LPARAM lp)
{
    Received.push_back({win, msg, wp, lp});
    return OnMessage ? OnMessage(win, msg, wp, lp) : 0;
}

INT_PTR RecordingDlgProc(HWND win, UINT msg, WPARAM wp, LPARAM lp)
{
    Received.push_back({win, msg, wp, lp});
    return OnMessage ? OnMessage(win, msg, wp, lp) : 0;
}

void ResetRecord()
{
    Received.clear();
    OnMessage = nullptr;
}

std::vector<Msg> Only(UINT msg)
{
    std::vector<Msg> out;
    for (const Msg &m : Received)
        if (m.msg == msg) out.push_back(m);
    return out;
}

std::vector<unsigned> Notifications(HWND ctl)
{
    std::vector<unsigned> out;
    for (const Msg &m : Received)
        if (m.msg == WM_COMMAND && m.lp == reinterpret_cast<LPARAM>(ctl))
            out.push_back(HIWORD(m.wp));
    return out;
}

int Count(UINT msg)
{
    return static_cast<int>(Only(msg).size());
}

bool WaitForPaints(int n)
{
    return WIN_WaitFor([n] { return Count(WM_PAINT) >= n; }, ARRIVAL_MS);
}

HWND MakeMainLikeWindow()
{
    static const WIN_MenuItem fileItems[] = {
        {L"Open File...", 112}, {nullptr, 0}, {L"Exit...", 105}};
    static const WIN_MenuItem helpItems[] = {{L"About...", 104}};
    static const WIN_Menu menus[] = {{L"File", fileItems, 3}, {L"Help", helpItems, 1}};
    WIN_WindowDesc d{};
    d.title = L"Test window";
    d.proc = RecordingProc;
    d.background = RGB(170, 170, 170);
    d.x = 10;
    d.y = 50;
    d.width = 1091;
    d.height = 515;
    d.style = WS_SIZABLE | WS_MINIMIZEBOX | WS_VSCROLL;
    d.menus = menus;
    d.menuCount = 2;
    d.iconId = 107;
    return WIN_CreateWindow(&d);
}

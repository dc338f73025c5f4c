/* controls_test.cpp -- child controls: check boxes that do not toggle
 * themselves, combo box notifications and their order, values set by the
 * program that report nothing, shared item ranges, typing rules, edit
 * fields and progress bars. */
#include "tests/platform/recorder.h"

#include <gtest/gtest.h>

#include <string>

namespace
{

class Controls : public ShownWindow
{
  protected:
    std::wstring text(HWND ctl)
    {
        wchar_t buf[64];
        WIN_GetWindowText(ctl, buf, 64);
        return buf;
    }
};

using Codes = std::vector<unsigned>;

TEST_F(Controls, CheckBoxReportsClicksButChangesOnlyWhenSet)
{
    HWND box = WIN_CreateControl(win, WinControl::CheckBox, nullptr, 0, 49, 40, 14, 14, 0);
    HWND other = WIN_CreateControl(win, WinControl::CheckBox, nullptr, 0, 374, 40, 14, 14, 0);
    Received.clear();
    WIN_UserClick(box);
    EXPECT_EQ(Notifications(box), Codes{BN_CLICKED});
    EXPECT_EQ(WIN_GetCheck(box), 0); /* the click alone changes nothing */
    auto cmd = Only(WM_COMMAND).back();
    EXPECT_EQ(LOWORD(cmd.wp), 0u); /* identifier 0; told apart by handle */

    WIN_SetCheck(box, 1);
    EXPECT_EQ(WIN_GetCheck(box), 1);
    EXPECT_EQ(Count(WM_COMMAND), 1); /* setting reports nothing */
    WIN_UserClick(box);
    EXPECT_EQ(WIN_GetCheck(box), 1);
    EXPECT_EQ(Notifications(box).size(), 2u);
    EXPECT_TRUE(Notifications(other).empty());

    WIN_EnableWindow(box, false);
    EXPECT_FALSE(WIN_IsWindowEnabled(box));
    WIN_UserClick(box); /* a disabled box cannot be clicked */
    EXPECT_EQ(Notifications(box).size(), 2u);
}

TEST_F(Controls, ComboNotificationsFollowTheUsersActionsInOrder)
{
    HWND freq = WIN_CreateControl(win, WinControl::ComboEdit, nullptr, CS_TABSTOP | CS_VSCROLL, 99,
                                  35, 60, 360, 0);
    HWND level = WIN_CreateControl(win, WinControl::ComboList, nullptr, CS_TABSTOP | CS_VSCROLL,
                                   274, 35, 50, 200, 0);
    WIN_ComboAddRange(freq, 950, 2150, 1);
    WIN_ComboLimitText(freq, 4);
    WIN_ComboAddRange(level, -40, -20, 1);
    EXPECT_EQ(WIN_ComboGetCurSel(freq), -1); /* a new list has no selection */
    EXPECT_EQ(WIN_ComboGetCurSel(level), -1);
    Received.clear();

    /* Choosing an item: selection change, then selection accepted. */
    WIN_UserSelect(freq, 5);
    EXPECT_EQ(Notifications(freq), (Codes{CBN_SELCHANGE, CBN_SELENDOK}));
    EXPECT_EQ(WIN_ComboGetCurSel(freq), 5);
    EXPECT_EQ(text(freq), L"955");
    WIN_UserSelect(level, 10);
    EXPECT_EQ(Notifications(level), (Codes{CBN_SELCHANGE, CBN_SELENDOK}));
    EXPECT_EQ(text(level), L"-30");

    /* Typing: the box reports the focus it gets, then one edit change per
     * key, limited to four characters. Leaving the box, even with a text
     * that names an item, reports only the loss of focus. */
    Received.clear();
    WIN_UserType(freq, L"22005");
    EXPECT_EQ(text(freq), L"2200");
    Codes typed = Notifications(freq);
    EXPECT_EQ(typed, (Codes{CBN_SETFOCUS, CBN_EDITCHANGE, CBN_EDITCHANGE, CBN_EDITCHANGE,
                            CBN_EDITCHANGE}));
    Received.clear();
    WIN_UserType(freq, L"951");
    WIN_UserLeave(freq);
    EXPECT_EQ(Notifications(freq),
              (Codes{CBN_EDITCHANGE, CBN_EDITCHANGE, CBN_EDITCHANGE, CBN_KILLFOCUS}));
    EXPECT_EQ(text(freq), L"951");

    /* A background click takes the focus away through the procedure, as the
     * main window does on WM_LBUTTONUP. */
    OnMessage = [](HWND w, UINT msg, WPARAM, LPARAM) -> LRESULT {
        if (msg == WM_LBUTTONUP) WIN_SetFocus(w);
        return 0;
    };
    WIN_SetFocus(freq);
    Received.clear();
    WIN_UserClickBackground(win);
    EXPECT_EQ(Notifications(freq), Codes{CBN_KILLFOCUS});

    /* Clicking a control elsewhere also takes the focus away. */
    HWND button =
        WIN_CreateControl(win, WinControl::PushButton, L"Program", CS_TABSTOP, 891, 80, 160, 30, 0);
    WIN_SetFocus(freq);
    Received.clear();
    WIN_UserClick(button);
    EXPECT_EQ(Notifications(freq), Codes{CBN_KILLFOCUS});
    EXPECT_EQ(Notifications(button), Codes{BN_CLICKED});

    /* Disabled boxes take no action. */
    WIN_EnableWindow(freq, false);
    Received.clear();
    WIN_UserType(freq, L"1000");
    WIN_UserSelect(freq, 1);
    EXPECT_TRUE(Notifications(freq).empty());
}

TEST_F(Controls, ValuesSetByTheProgramReportNothing)
{
    HWND freq =
        WIN_CreateControl(win, WinControl::ComboEdit, nullptr, CS_TABSTOP, 99, 35, 60, 360, 0);
    HWND pol =
        WIN_CreateControl(win, WinControl::ComboList, nullptr, CS_TABSTOP, 539, 35, 40, 120, 0);
    HWND box = WIN_CreateControl(win, WinControl::CheckBox, nullptr, 0, 49, 40, 14, 14, 0);
    HWND edit = WIN_CreateControl(win, WinControl::Edit, L"", 0, 10, 300, 100, 20, 139);
    Received.clear();

    WIN_ComboAddRange(freq, 950, 2150, 1);
    for (const wchar_t *p : {L"V", L"H", L"R", L"L"})
        WIN_ComboAddString(pol, p);
    WIN_ComboSetCurSel(freq, 1250); /* 2200: no such item */
    EXPECT_EQ(WIN_ComboGetCurSel(freq), -1);
    EXPECT_EQ(text(freq), L"");
    WIN_ComboSetCurSel(freq, 50);
    EXPECT_EQ(text(freq), L"1000");
    WIN_SetWindowText(freq, L"2200");
    EXPECT_EQ(text(freq), L"2200");
    WIN_ComboSetCurSel(freq, 50); /* the same item again shows its text again */
    EXPECT_EQ(text(freq), L"1000");
    WIN_ComboSetCurSel(pol, 2);
    EXPECT_EQ(text(pol), L"R");
    WIN_ComboDeleteString(pol, 2);
    EXPECT_EQ(WIN_ComboGetCurSel(pol), -1);
    WIN_ComboResetContent(pol);
    WIN_SetCheck(box, 1);
    WIN_SetWindowText(edit, L"name");
    WIN_EnableWindow(freq, false);
    WIN_EnableWindow(freq, true);
    EXPECT_EQ(Count(WM_COMMAND), 0);
    /* The focus moved by the program is reported, as SetFocus is on Win32. */
    WIN_SetFocus(freq);
    WIN_ProcessEvents(10);
    EXPECT_EQ(Notifications(freq), (Codes{CBN_SETFOCUS}));
}

TEST_F(Controls, ItemListsRangesAndSharing)
{
    HWND a = WIN_CreateControl(win, WinControl::ComboEdit, nullptr, 0, 0, 0, 60, 360, 0);
    HWND b = WIN_CreateControl(win, WinControl::ComboEdit, nullptr, 0, 0, 40, 60, 360, 0);
    HWND sr = WIN_CreateControl(win, WinControl::ComboEdit, nullptr, 0, 0, 80, 60, 200, 0);
    WIN_ComboAddRange(a, 10700, 12750, 1);
    WIN_ComboAddRange(b, 10700, 12750, 1);
    WIN_ComboAddRange(sr, 17800, 45000, 100);
    EXPECT_EQ(WIN_ComboGetCount(a), 2051);
    EXPECT_EQ(WIN_ComboGetCount(sr), 273);
    wchar_t buf[16];
    EXPECT_EQ(WIN_ComboGetItemText(sr, 42, buf, 16), 5);
    EXPECT_EQ(std::wstring(buf), L"22000");
    EXPECT_EQ(WIN_ComboGetItemText(sr, 273, buf, 16), -1);
    EXPECT_EQ(WIN_ComboGetItemText(a, 0, buf, 3), 2); /* cut to the buffer */
    EXPECT_EQ(std::wstring(buf), L"10");

    /* Boxes sharing a range keep their own selections, and changing one's
     * items leaves the other's alone. */
    WIN_ComboSetCurSel(a, 3);
    WIN_ComboSetCurSel(b, 7);
    EXPECT_EQ(WIN_ComboAddString(b, L"extra"), 2051);
    EXPECT_EQ(WIN_ComboGetCount(a), 2051);
    EXPECT_EQ(WIN_ComboGetCount(b), 2052);
    EXPECT_EQ(WIN_ComboGetCurSel(b), 7);
    EXPECT_EQ(WIN_ComboDeleteString(a, 5000), -1);
    EXPECT_EQ(WIN_ComboDeleteString(a, 0), 2050);
    EXPECT_EQ(WIN_ComboGetCount(b), 2052);
    EXPECT_EQ(WIN_ComboGetCurSel(a), 2); /* the selected item moved up */
    WIN_ComboResetContent(b);
    EXPECT_EQ(WIN_ComboGetCount(b), 0);
    EXPECT_EQ(WIN_ComboGetCount(a), 2050);

    /* A range added to a list that has items is appended. */
    WIN_ComboAddString(b, L"No");
    WIN_ComboAddRange(b, 1, 8, 1);
    EXPECT_EQ(WIN_ComboGetCount(b), 9);
    WIN_ComboGetItemText(b, 8, buf, 16);
    EXPECT_EQ(std::wstring(buf), L"8");
    WIN_ComboAddRange(b, 5, 1, 1); /* empty range */
    EXPECT_EQ(WIN_ComboGetCount(b), 9);
}

TEST_F(Controls, TypingRulesEditFieldsAndProgressBars)
{
    HWND version = WIN_CreateControl(win, WinControl::ComboEdit, nullptr, CS_TABSTOP | CS_UPPERCASE,
                                     891, 150, 50, 22, 0);
    WIN_ComboLimitText(version, 5);
    Received.clear();
    WIN_UserType(version, L"ab.1xyz");
    EXPECT_EQ(text(version), L"AB.1X");
    EXPECT_EQ(Notifications(version).size(), 6u); /* the focus, then five keys */
    WIN_UserType(version, L"");
    EXPECT_EQ(text(version), L"");

    /* An edit field that does not scroll takes what its width shows. */
    HWND name =
        WIN_CreateControl(win, WinControl::Edit, nullptr, CS_NOHSCROLL, 10, 300, 60, 20, 139);
    Received.clear();
    WIN_UserType(name, L"a configuration name longer than the field");
    std::wstring typed = text(name);
    EXPECT_GT(typed.size(), 3u);
    EXPECT_LT(typed.size(), 20u);
    EXPECT_EQ(Notifications(name).front(), EN_CHANGE);
    EXPECT_EQ(LOWORD(Only(WM_COMMAND).back().wp), 139u);
    WIN_EditLimitText(name, 3);
    WIN_UserType(name, L"abcdef");
    EXPECT_EQ(text(name), L"abc");

    HWND bar = WIN_CreateControl(win, WinControl::ProgressBar, nullptr, 0, 7, 50, 243, 20, 0);
    WIN_ProgressSetRange(bar, 0, 100);
    WIN_ProgressSetPos(bar, 25);
    EXPECT_EQ(WIN_ProgressGetPos(bar), 25);
    WIN_ProgressSetPos(bar, 250);
    EXPECT_EQ(WIN_ProgressGetPos(bar), 100);

    HWND label =
        WIN_CreateControl(win, WinControl::StaticSunken, L"KX-101", 0, 891, 30, 100, 20, 0);
    EXPECT_EQ(text(label), L"KX-101");
    wchar_t small[4];
    EXPECT_EQ(WIN_GetWindowText(label, small, 4), 3);
    EXPECT_EQ(std::wstring(small), L"KX-");
    WIN_ShowWindow(label, false);
    EXPECT_FALSE(WIN_IsWindowVisible(label));
    WIN_DestroyWindow(label);
    EXPECT_FALSE(WIN_IsWindow(label));
    EXPECT_EQ(WIN_GetWindowText(label, small, 4), 0);
}

} // namespace

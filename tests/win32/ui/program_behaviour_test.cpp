// The program's behaviour through its real Windows windows: the clock in both windows, a ring that
// holds input while the windows keep painting, message boxes that leave the clock running, the
// reminder brought back at the ring, typing and odd input, values kept in the registry from one
// start to the next, the end of the session, and the computer's wake that follows the alarm.

#include "ui_fixture.h"

#include <commctrl.h>

#include <string>

#include "fakes/fake_ports.h"

namespace tollvane::win32::testing {
namespace {

class ProgramBehaviour : public UiFixture {
protected:
    // Set Reminder with TEXT in the reminder box, its "Status:" box answered: the button is
    // disabled once the reminder is stored.
    void storeReminder(const wchar_t* text) {
        type(main(), "TxtRem", text);
        WhileLooping closer([&] {
            HWND box = openMessageBox(L"Status:");
            if (box) PostMessageW(box, WM_COMMAND, IDOK, 0);
            return box != nullptr;
        });
        click(main(), "cmdremset");
        ASSERT_TRUE(runUntil([&] { return !main().cmdremset.Enabled; }, 3000));
    }
};

TEST_F(ProgramBehaviour, Clock_BothWindowsShowTheTime_TheSecondsGoOn) {
    ShiftedClock clock(7, 5, 8);
    start(&clock);
    ASSERT_TRUE(runUntil([&] { return !text(main(), "txttimetot").empty(); }, 1000));
    EXPECT_EQ(text(main(), "txttimetot"), L"7:05");
    // The clock-only window exists, hidden, from the first tick on, with the same figures.
    frmclock& clockWindow = desktop->program().frmclock();
    EXPECT_FALSE(clockWindow.Visible);
    EXPECT_EQ(clockWindow.txttimetot.Text, "7:05");
    const std::wstring first = text(main(), "txttimetot2");
    ASSERT_TRUE(runUntil([&] { return text(main(), "txttimetot2") != first; }, 3000));
    chooseMenu(main(), "MnuClock");
    EXPECT_EQ(text(clockWindow, "txttimetot2"), text(main(), "txttimetot2"));
}

// The ring holds the program: a click on Stop made while the tones sound is handled after the
// last one, the windows keep painting meanwhile, and the reminder check runs once it is over.
TEST_F(ProgramBehaviour, Ring_HoldsInputButKeepsPainting_StopHandledAfterTheLastBeep) {
    ShiftedClock clock(7, 29, 59);
    start(&clock);
    type(main(), "TxtTime", L"7:30");
    type(main(), "txtfreq1", L"800");
    type(main(), "txtdura1", L"250");
    type(main(), "txtam", L"3");
    click(main(), "CmdSet");
    ASSERT_FALSE(main().CmdSet.Enabled);

    // During the ring (the program is inside the tick): the user clicks Stop, and part of the
    // window needs painting again.
    HWND stop = control(main(), "CmdReset");
    HWND box = control(main(), "txttimetot");
    bool clicked = false, painted = false, stoppedDuringRing = true, reminderCheckStarted = false;
    WhileLooping duringRing([&] {
        if (!desktop->ringing()) return false;
        RECT dirty;
        if (!clicked) {
            clicked = true;
            reminderCheckStarted = main().Timer2.Enabled;
            PostMessageW(stop, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
            PostMessageW(stop, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
            InvalidateRect(box, nullptr, FALSE);
            return false;
        }
        painted = !GetUpdateRect(box, &dirty, FALSE);
        stoppedDuringRing = main().CmdSet.Enabled;
        return painted;
    });
    ASSERT_TRUE(runUntil([&] { return main().CmdSet.Enabled; }, 5000));
    EXPECT_TRUE(clicked);
    EXPECT_TRUE(painted) << "the window did not paint during the ring";
    EXPECT_FALSE(stoppedDuringRing) << "Stop ran during the ring";
    EXPECT_TRUE(reminderCheckStarted);
    EXPECT_EQ(tone.beeps(), (std::vector<std::pair<int, int>>{{800, 250}, {800, 250}, {800, 250}}));
    // Had Stop run inside the ring, the ring's end would have written "7:30 Has Passed" after it.
    EXPECT_EQ(text(main(), "TxtTime"), L"");
    EXPECT_FALSE(IsWindowEnabled(control(main(), "CmdReset")));
    EXPECT_TRUE(runUntil([&] { return !main().Timer2.Enabled; }, 2000));
}

// Windows announces a resume or a change of the clock to the program's window: the computer's wake
// is armed again (a timer that woke the computer is spent) and the clock goes on.
TEST_F(ProgramBehaviour, AlarmSet_WakeArmed_ResumeAndClockChangeArmItAgain_TheClockGoesOn) {
    fakes::FakeWake recorded;
    wake = &recorded;
    ShiftedClock clock(9, 0, 0);
    start(&clock);
    type(main(), "TxtTime", L"7:30");
    click(main(), "CmdSet");
    ASSERT_TRUE(runUntil([&] { return recorded.armed.has_value(); }));
    const WakeRequest armed = *recorded.armed;
    EXPECT_EQ(armed.reason, "Tollvane: alarm at 7:30");
    const std::pair<UINT, WPARAM> announcements[] = {{WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC},
                                                     {WM_POWERBROADCAST, PBT_APMRESUMESUSPEND},
                                                     {WM_TIMECHANGE, 0}};
    for (const auto& [message, kind] : announcements) {
        const std::size_t calls = recorded.calls.size();
        PostMessageW(desktop->programWindow(), message, kind, 0);
        EXPECT_TRUE(runUntil([&] { return recorded.calls.size() == calls + 1; }, 1000))
            << "message " << message << " (" << kind << ")";
        EXPECT_EQ(recorded.calls.back(), armed);
    }
    const std::wstring seconds = text(main(), "txttimetot2");
    EXPECT_TRUE(runUntil([&] { return text(main(), "txttimetot2") != seconds; }, 2000));
    click(main(), "CmdReset");
    EXPECT_FALSE(recorded.armed);
}

// A message box runs its own loop; the clock goes on inside it, and the handler continues after it.
TEST_F(ProgramBehaviour, MessageBoxOpen_ClockKeepsTicking_HandlerGoesOnAfterIt) {
    start();
    click(main(), "cmdRem");
    std::wstring secondsWhenOpened, secondsLater, boxText;
    int checks = 0;
    WhileLooping closer([&] {
        HWND box = openMessageBox(L"Error");
        if (!box) return false;
        if (secondsWhenOpened.empty()) {
            secondsWhenOpened = text(main(), "txttimetot2");
            boxText = messageBoxText(box);
        }
        secondsLater = text(main(), "txttimetot2");
        if (secondsLater == secondsWhenOpened && ++checks < 150) return false;
        PostMessageW(box, WM_COMMAND, IDOK, 0);
        return true;
    });
    click(main(), "cmdremset");  // with no reminder text: the error box
    ASSERT_TRUE(runUntil([&] { return !secondsLater.empty() && !openMessageBox(L"Error"); }, 5000));
    EXPECT_EQ(boxText, L"You have not specified a reminder!");
    EXPECT_NE(secondsLater, secondsWhenOpened) << "the clock stood still while the box was open";
    EXPECT_TRUE(IsWindowEnabled(control(main(), "cmdremset")));
}

TEST_F(ProgramBehaviour, ReminderStoredForToday_ComesBackAtTheRing_FileGone) {
    ShiftedClock clock(9, 14, 59);
    start(&clock);
    click(main(), "cmdRem");
    ASSERT_NO_FATAL_FAILURE(storeReminder(L"Dentist at 4, don't forget"));
    EXPECT_EQ(text(main(), "TxtRem"), L"");
    const std::string file = desktop->program().ports().files.programDirectory() + "\\reminder.ini";
    ASSERT_TRUE(desktop->program().ports().files.exists(file));

    type(main(), "TxtTime", L"9:15");
    type(main(), "txtdura1", L"50");
    type(main(), "txtfreq1", L"440");
    click(main(), "CmdSet");
    ASSERT_TRUE(
        runUntil([&] { return text(main(), "TxtRem") == L"Dentist at 4, don't forget"; }, 4000));
    EXPECT_EQ(text(main(), "TxtTime"), L"9:15 Has Passed");
    EXPECT_FALSE(desktop->program().ports().files.exists(file));
    EXPECT_EQ(tone.beeps().size(), 1u);
}

// What the user typed, in any script and at any length, is saved in the registry at exit and
// comes back at the next start, armed.
TEST_F(ProgramBehaviour, ValuesTyped_SavedAtExit_RestoredAtTheNextStart) {
    const std::wstring longText(10000, L'9');
    start();
    type(main(), "TxtTime", L"21:45");
    type(main(), "txtfreq1", L"Ünïcödé 日本");
    type(main(), "txtdura1", longText);
    type(main(), "txtam", L"  2 ");
    EXPECT_EQ(main().txtfreq1.Text, "Ünïcödé 日本");  // typing reaches the model
    chooseMenu(main(), "MnuExit");
    EXPECT_TRUE(desktop->program().ended());
    EXPECT_EQ(registryValue("timealarm"), "21:45");
    EXPECT_EQ(registryValue("AlarmMusic"), "Ünïcödé 日本");
    EXPECT_EQ(registryValue("AlarmMusic2").size(), 10000u);
    EXPECT_EQ(registryValue("AlarmMusic3"), "  2 ");
    desktop.reset();

    start();
    EXPECT_EQ(text(main(), "TxtTime"), L"21:45");
    EXPECT_EQ(text(main(), "txtfreq1"), L"Ünïcödé 日本");
    EXPECT_EQ(text(main(), "txtdura1"), longText);
    EXPECT_EQ(text(main(), "txtam"), L"  2 ");
    EXPECT_FALSE(IsWindowEnabled(control(main(), "CmdSet")));
    EXPECT_TRUE(IsWindowEnabled(control(main(), "CmdReset")));
    // Set Reminder turns disabled as soon as the armed window is the active one.
    EXPECT_TRUE(runUntil([&] { return !IsWindowEnabled(control(main(), "cmdremset")); }, 1000));
}

TEST_F(ProgramBehaviour, CloseBoxOfTheMainWindow_SavesAndEnds_EvenInClockView) {
    start();
    type(main(), "txtam", L"4");
    chooseMenu(main(), "MnuClock");
    PostMessageW(view(main()).hwnd(), WM_CLOSE, 0, 0);
    ASSERT_TRUE(runUntil([&] { return desktop->program().ended(); }));
    EXPECT_EQ(registryValue("AlarmMusic3"), "4");
}

// Closing the clock-only window brings the main window back: the program never runs on with no
// window on the screen.
TEST_F(ProgramBehaviour, CloseBoxOfTheClockWindow_MainWindowComesBack) {
    start();
    chooseMenu(main(), "MnuClock");
    frmclock* clock = &desktop->program().frmclock();
    PostMessageW(view(*clock).hwnd(), WM_CLOSE, 0, 0);
    ASSERT_TRUE(runUntil([&] { return IsWindowVisible(view(main()).hwnd()) != FALSE; }));
    EXPECT_FALSE(desktop->program().ended());
    // The next tick makes the clock window again, hidden.
    ASSERT_TRUE(runUntil(
        [&] {
            for (Form* w : desktop->program().loadedWindows())
                if (dynamic_cast<frmclock*>(w)) return true;
            return false;
        },
        1500));
}

// A tick unloads About while About's own window menu (Alt+Space) is open, so that the menu's loop
// runs the tick with About's window procedure beneath it: the window leaves the screen at once
// and is destroyed only once the loop has returned to the program's own, and the program goes on.
TEST_F(ProgramBehaviour, AboutUnloadedInsideItsOwnMenusLoop_HiddenAtOnce_DestroyedAfterTheLoop) {
    start();
    chooseMenu(main(), "MnuAbout");
    const HWND about = view(desktop->program().frmAbout()).hwnd();
    ASSERT_TRUE(IsWindowVisible(about));
    bool asked = false, checked = false, inMenu = false, keptInLoop = false, hiddenInLoop = false;
    auto menuOpen = [] {
        const HWND menu = FindWindowW(L"#32768", nullptr);
        return menu && IsWindowVisible(menu);
    };
    WhileLooping loop([&] {
        if (checked) {
            EndMenu();
            return true;
        }
        if (asked || !menuOpen()) return false;
        asked = true;
        // Two events of the program, as a tick runs them, from the menu's loop: the first unloads
        // About, the second sees what became of its window.
        desktop->dispatch([&] {
            inMenu = menuOpen();
            desktop->program().frmAbout().cmdOK_Click();
        });
        desktop->dispatch([&] {
            checked = true;
            keptInLoop = IsWindow(about) != FALSE;
            hiddenInLoop = !IsWindowVisible(about);
        });
        return false;
    });
    PostMessageW(about, WM_SYSCOMMAND, SC_KEYMENU, VK_SPACE);
    ASSERT_TRUE(runUntil([&] { return !IsWindow(about); }, 5000));
    EXPECT_TRUE(inMenu) << "the unload did not run inside the menu's loop";
    EXPECT_TRUE(keptInLoop) << "About was destroyed inside its own menu's loop";
    EXPECT_TRUE(hiddenInLoop) << "About stayed on the screen";

    const std::wstring second = text(main(), "txttimetot2");
    EXPECT_TRUE(runUntil([&] { return text(main(), "txttimetot2") != second; }, 3000));
    chooseMenu(main(), "MnuAbout");
    EXPECT_TRUE(IsWindowVisible(view(desktop->program().frmAbout()).hwnd()));
}

// A registry that refuses the values: the exit sequence says so, naming where it tried, and the
// program still ends.
TEST_F(ProgramBehaviour, RegistryRefusesTheValues_ClearMessageAtExit_ProgramEnds) {
    // A key that lives only in memory cannot hold a lasting section under it.
    HKEY app = nullptr;
    ASSERT_EQ(
        RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\VB and VBA Program Settings\\Vuvuririvivur",
                        0, nullptr, REG_OPTION_VOLATILE, KEY_ALL_ACCESS, nullptr, &app, nullptr),
        ERROR_SUCCESS);
    RegCloseKey(app);
    start();
    std::wstring message;
    WhileLooping closer([&] {
        HWND box = openMessageBox(L"Error");
        if (!box) return false;
        message = messageBoxText(box);
        PostMessageW(box, WM_COMMAND, IDOK, 0);
        return true;
    });
    chooseMenu(main(), "MnuExit");
    ASSERT_TRUE(runUntil([&] { return desktop->program().ended(); }, 5000));
    EXPECT_EQ(message.rfind(L"Tollvane could not save its settings to HKEY_CURRENT_USER\\Software\\"
                            L"VB and VBA Program Settings:\n",
                            0),
              0u)
        << toUtf8(message);
}

TEST_F(ProgramBehaviour, SessionEnds_ValuesSavedAsFileExitSavesThem) {
    start();
    type(main(), "TxtTime", L"6:15");
    type(main(), "txtfreq1", L"1200");
    runFor(50);
    HWND program = desktop->programWindow();
    EXPECT_EQ(SendMessageW(program, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF), TRUE);
    EXPECT_FALSE(desktop->program().ended());  // asked only: nothing ends yet
    SendMessageW(program, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF);
    EXPECT_TRUE(desktop->program().ended());
    EXPECT_EQ(registryValue("timealarm"), "6:15");
    EXPECT_EQ(registryValue("AlarmMusic"), "1200");
    EXPECT_EQ(registryValue("AlarmMusic3"), "1");
}

// Asked whether the session may end, the program saves the values at once; a logoff that is then
// cancelled ends nothing.
TEST_F(ProgramBehaviour, SessionEndCancelled_ValuesSavedWhenAsked_ProgramGoesOn) {
    start();
    type(main(), "txtdura1", L"333");
    runFor(50);
    HWND program = desktop->programWindow();
    SendMessageW(program, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF);
    EXPECT_EQ(registryValue("AlarmMusic2"), "333");
    SendMessageW(program, WM_ENDSESSION, FALSE, ENDSESSION_LOGOFF);
    runFor(50);
    EXPECT_FALSE(desktop->program().ended());
    EXPECT_TRUE(IsWindowVisible(view(main()).hwnd()));
}

TEST_F(ProgramBehaviour, SecondStart_BringsTheFullViewBack) {
    start();
    chooseMenu(main(), "MnuClock");
    ASSERT_FALSE(IsWindowVisible(view(main()).hwnd()));
    PostMessageW(desktop->programWindow(), Desktop::secondStartMessage(), 0, 0);
    ASSERT_TRUE(runUntil([&] { return IsWindowVisible(view(main()).hwnd()) != FALSE; }));
    EXPECT_FALSE(IsWindowVisible(view(desktop->program().frmclock()).hwnd()));
}

TEST_F(ProgramBehaviour, CalendarPick_ReachesTheModel_TheResetBringsTodayBack) {
    start();
    click(main(), "cmdRem");
    HWND calendar = control(main(), "Calendar1");
    SYSTEMTIME picked{};
    picked.wYear = 2027;
    picked.wMonth = 2;
    picked.wDay = 14;
    MonthCal_SetCurSel(calendar, &picked);
    // Setting the selection by message is not the user's pick; a click is. Tell the window what
    // the control tells it when the user picks a day.
    NMSELCHANGE change{};
    change.nmhdr.hwndFrom = calendar;
    change.nmhdr.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(calendar));
    change.nmhdr.code = MCN_SELCHANGE;
    change.stSelStart = picked;
    change.stSelEnd = picked;
    SendMessageW(view(main()).hwnd(), WM_NOTIFY, change.nmhdr.idFrom,
                 reinterpret_cast<LPARAM>(&change));
    EXPECT_EQ(main().Calendar1.Year(), 2027);
    EXPECT_EQ(main().Calendar1.Month(), 2);
    EXPECT_EQ(main().Calendar1.Day(), 14);
    // The minute's reset puts the model on today, and the control follows it.
    desktop->dispatch([&] { main().Timer3_Timer(); });
    runFor(50);
    SYSTEMTIME shown{}, today{};
    MonthCal_GetCurSel(calendar, &shown);
    GetLocalTime(&today);
    EXPECT_EQ(shown.wYear, today.wYear);
    EXPECT_EQ(shown.wMonth, today.wMonth);
    EXPECT_EQ(shown.wDay, today.wDay);
}

// The arrow above the calendar turns the page and takes the date along: Set Reminder stores the
// date on the page, as on Linux.
TEST_F(ProgramBehaviour, CalendarPageTurned_SetReminderStoresTheDateOnThePage) {
    start();
    click(main(), "cmdRem");
    desktop->dispatch([&] { main().Calendar1.setDate(2027, 1, 31); });
    runFor(50);
    HWND calendar = control(main(), "Calendar1");
    // The next-month arrow, where the control says it is.
    POINT arrow{-1, -1};
    RECT r;
    GetClientRect(calendar, &r);
    for (int y = 0; y < r.bottom && arrow.x < 0; y += 2) {
        for (int x = r.right - 1; x >= 0 && arrow.x < 0; x -= 2) {
            MCHITTESTINFO hit{};
            hit.cbSize = sizeof hit;
            hit.pt = {x, y};
            if (MonthCal_HitTest(calendar, &hit) == MCHT_TITLEBTNNEXT) arrow = hit.pt;
        }
    }
    ASSERT_GE(arrow.x, 0);
    for (int turn = 0; turn < 2; ++turn) {
        SendMessageW(calendar, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(arrow.x, arrow.y));
        SendMessageW(calendar, WM_LBUTTONUP, 0, MAKELPARAM(arrow.x, arrow.y));
    }
    EXPECT_EQ(main().Calendar1.Year(), 2027);
    EXPECT_EQ(main().Calendar1.Month(), 3);
    EXPECT_EQ(main().Calendar1.Day(), 28);  // by February, which has no 31st

    ASSERT_NO_FATAL_FAILURE(storeReminder(L"Dentist"));
    EXPECT_EQ(main().curRemYear, " 2027");
    EXPECT_EQ(main().curRemMonth, " 3");
    EXPECT_EQ(main().curRemDay, " 28");
}

}  // namespace
}  // namespace tollvane::win32::testing

#pragma once
// Steps and checks the core tests share: a desktop started at a moment of 7 December 2026, an
// alarm typed in and armed, values in the settings store, and the windows' common observables.
// Helpers here hold EXPECTs only; a test keeps its own ASSERTs so a failure still stops it.

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <initializer_list>
#include <string>

#include "app/settings_keys.h"
#include "fakes/simulated_desktop.h"

namespace tollvane::coretest {

using fakes::FakeClock;
using fakes::FakeTone;
using fakes::MemoryFileSystem;
using fakes::MemorySettingsStore;
using fakes::ScriptedMessageBox;
using fakes::SimulatedDesktop;
namespace keys = settings_keys;

// Virtual milliseconds of a moment on the given day of December 2026.
inline long long at(int day, int h, int m, int s, int ms = 0) {
    FakeClock c;
    c.set(2026, 12, day, h, m, s, ms);
    return c.ms();
}

// Sets the clock to the given time on 7 December 2026 and starts the program.
inline frmAlarmClock& startAt(SimulatedDesktop& d, int h, int m, int s, int ms = 0) {
    d.clock.set(2026, 12, 7, h, m, s, ms);
    return d.start();
}

// The four alarm boxes as the user types them: time, frequency (Hz), duration (ms), count.
struct Alarm {
    std::string time, freq, dura, count;
};

inline void typeTone(SimulatedDesktop& d, const std::string& freq, const std::string& dura,
                     const std::string& count) {
    d.type(d.main().txtfreq1, freq);
    d.type(d.main().txtdura1, dura);
    d.type(d.main().txtam, count);
}

inline void typeAlarm(SimulatedDesktop& d, const Alarm& a) {
    d.type(d.main().TxtTime, a.time);
    typeTone(d, a.freq, a.dura, a.count);
}

// Types the alarm and presses Set Alarm.
inline void arm(SimulatedDesktop& d, const Alarm& a) {
    typeAlarm(d, a);
    d.click(d.main(), "CmdSet");
}

// Starts the program at the given time on 7 December 2026 and arms the alarm.
inline frmAlarmClock& startArmed(SimulatedDesktop& d, int h, int m, int s, const Alarm& a) {
    frmAlarmClock& w = startAt(d, h, m, s);
    arm(d, a);
    return w;
}

// Types the text in the reminder box and presses Set Reminder.
inline void storeReminder(SimulatedDesktop& d, const std::string& text) {
    d.type(d.main().TxtRem, text);
    d.click(d.main(), "cmdremset");
}

// Arms a short alarm for the given minute (after a Stop if an alarm is set) and runs until the
// reminder check that follows its ring has run.
inline void ringAt(SimulatedDesktop& d, int hour, int minute) {
    if (!d.main().CmdSet.Enabled) d.click(d.main(), "CmdReset");
    char time[16];
    std::snprintf(time, sizeof time, "%d:%02d", hour, minute);
    arm(d, {time, "800", "10", "1"});
    d.runUntil(hour, minute, 1);
}

// The program's last-used values, as start-up reads them and exit writes them.
inline void store(MemorySettingsStore& s, const char* key, const std::string& value) {
    ASSERT_TRUE(s.SaveSetting(keys::kApp, keys::kLastSettings, key, value));
}

inline std::string stored(MemorySettingsStore& s, const char* key) {
    return s.GetSetting(keys::kApp, keys::kLastSettings, key);
}

inline void storeAlarm(MemorySettingsStore& s, const std::string& time, const std::string& freq,
                       const std::string& dura) {
    store(s, keys::kTimeAlarm, time);
    store(s, keys::kAlarmMusic, freq);
    store(s, keys::kAlarmMusic2, dura);
}

inline void storeDate(MemorySettingsStore& s, const char* year, const char* month,
                      const char* day) {
    store(s, keys::kRemYear, year);
    store(s, keys::kRemMonth, month);
    store(s, keys::kRemDay, day);
}

inline void expectStoredDate(MemorySettingsStore& s, const char* year, const char* month,
                             const char* day) {
    EXPECT_EQ(stored(s, keys::kRemYear), year);
    EXPECT_EQ(stored(s, keys::kRemMonth), month);
    EXPECT_EQ(stored(s, keys::kRemDay), day);
}

// The reminder date in force this run (the one exit saves).
inline void setDate(frmAlarmClock& w, const char* year, const char* month, const char* day) {
    w.curRemYear = year;
    w.curRemMonth = month;
    w.curRemDay = day;
}

inline void expectDate(const frmAlarmClock& w, const char* year, const char* month,
                       const char* day) {
    EXPECT_EQ(w.curRemYear, year);
    EXPECT_EQ(w.curRemMonth, month);
    EXPECT_EQ(w.curRemDay, day);
}

// The reminder date restored at start-up.
inline void expectSavedDate(const frmAlarmClock& w, const char* year, const char* month,
                            const char* day) {
    EXPECT_EQ(w.savedRemYear, year);
    EXPECT_EQ(w.savedRemMonth, month);
    EXPECT_EQ(w.savedRemDay, day);
}

inline void pick(frmAlarmClock& w, int year, int month, int day) {
    w.Calendar1.setYear(static_cast<std::int16_t>(year));
    w.Calendar1.setMonth(static_cast<std::int16_t>(month));
    w.Calendar1.setDay(static_cast<std::int16_t>(day));
}

inline void expectCalendarOn(const frmAlarmClock& w, int year, int month, int day) {
    EXPECT_EQ(w.Calendar1.Year(), year);
    EXPECT_EQ(w.Calendar1.Month(), month);
    EXPECT_EQ(w.Calendar1.Day(), day);
}

// No alarm set: Set Alarm and Set Reminder on, Stop off, no alarm time.
inline void expectIdle(const frmAlarmClock& w) {
    EXPECT_TRUE(w.CmdSet.Enabled);
    EXPECT_FALSE(w.CmdReset.Enabled);
    EXPECT_EQ(w.TxtTime.Text, "");
    EXPECT_TRUE(w.cmdremset.Enabled);
}

inline void expectArmed(const frmAlarmClock& w) {
    EXPECT_FALSE(w.CmdSet.Enabled);
    EXPECT_TRUE(w.CmdReset.Enabled);
}

inline void expectBeep(const FakeTone::Beep& b, int frequencyHz, int durationMs) {
    EXPECT_EQ(b.frequencyHz, frequencyHz);
    EXPECT_EQ(b.durationMs, durationMs);
}

// The two clock figures of the main or the clock window: "9:05" and ":07".
template <class Window>
void expectShows(const Window& w, const char* hoursMinutes, const char* seconds) {
    EXPECT_EQ(w.txttimetot.Text, hoursMinutes);
    EXPECT_EQ(w.txttimetot2.Text, seconds);
}

// A message box with the given title whose text contains every fragment.
inline void expectMessage(const ScriptedMessageBox::Shown& m, const std::string& title,
                          std::initializer_list<std::string> fragments) {
    EXPECT_EQ(m.title, title);
    for (const std::string& f : fragments) {
        EXPECT_NE(m.text.find(f), std::string::npos) << "'" << f << "' not in: " << m.text;
    }
}

// For suites whose tests all begin with the program started at the simulated desktop's first
// moment, 9:00 on 7 December 2026 (alias it under the suite's name for TEST_F).
class StartedDesktop : public ::testing::Test {
protected:
    SimulatedDesktop d;
    frmAlarmClock& w = d.start();
};

// How many windows of the given kind are loaded.
template <class Window>
int loadedCount(SimulatedDesktop& d) {
    int n = 0;
    for (Form* w : d.program.loadedWindows()) n += dynamic_cast<Window*>(w) != nullptr;
    return n;
}

}  // namespace tollvane::coretest

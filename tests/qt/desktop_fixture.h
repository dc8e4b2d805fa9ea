#pragma once
// A Desktop on the offscreen platform with its files in a temporary folder, tones that are
// recorded (and take their time on the ring's worker thread), scripted message boxes and, where a
// test needs it, a fixed clock.

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <QTest>
#include <chrono>
#include <mutex>
#include <thread>

#include "fakes/fake_ports.h"
#include "platform/qt/desktop.h"
#include "platform/qt/form_view.h"
#include "windows/frm_alarm_clock.h"

namespace tollvane::testing {

class RecordingTone : public Tone {
public:
    void beep(std::int32_t frequencyHz, std::int32_t durationMs) override {
        std::this_thread::sleep_for(std::chrono::milliseconds(durationMs));
        std::lock_guard lock(m_mutex);
        m_beeps.push_back({frequencyHz, durationMs});
    }
    std::size_t count() {
        std::lock_guard lock(m_mutex);
        return m_beeps.size();
    }

private:
    std::mutex m_mutex;
    std::vector<std::pair<int, int>> m_beeps;
};

class DesktopFixture : public ::testing::Test {
protected:
    Desktop::Options options(Clock* clock = nullptr) {
        Desktop::Options o;
        o.settingsPath = dir.filePath(QStringLiteral("config/Tollvane/settings.ini"));
        o.programDir = dir.filePath(QStringLiteral("bin"));
        o.userDataDir = dir.filePath(QStringLiteral("data"));
        o.browserProgram = dir.filePath(QStringLiteral("bin/no-browser-here"));
        o.autostartDir = dir.filePath(QStringLiteral("config/autostart"));
        o.tone = &tone;
        o.messages = &messages;
        o.clock = clock;
        QDir().mkpath(o.programDir);
        return o;
    }
    void start(Clock* clock = nullptr) {
        desktop = std::make_unique<Desktop>(options(clock));
        desktop->start();
    }
    frmAlarmClock& main() { return desktop->program().frmAlarmClock(); }
    FormView& mainView() { return *desktop->view(main()); }
    QWidget* widget(const char* name) { return mainView().widget(name); }

    QTemporaryDir dir;
    RecordingTone tone;
    fakes::ScriptedMessageBox messages;
    std::unique_ptr<Desktop> desktop;
};

}  // namespace tollvane::testing

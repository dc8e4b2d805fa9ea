// A ring's tones on the worker, with the window thread's wait given as the platform's part: the
// wait ends with its tone, a tone that never ends leaves the ring's later beeps silent, and the
// ring's end reaches the tone after its last beep.

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <utility>
#include <vector>

#include "app/ring_worker.h"

namespace tollvane {
namespace {

using namespace std::chrono_literals;

// A tone that returns only when the test opens its gate.
class GatedTone : public Tone {
public:
    void beep(std::int32_t frequencyHz, std::int32_t durationMs) override {
        std::unique_lock lock(m_mutex);
        beeps.emplace_back(frequencyHz, durationMs);
        m_changed.notify_all();
        m_changed.wait(lock, [this] { return m_open; });
        ++returned;
        m_changed.notify_all();
    }
    void ringEnded() override {
        std::lock_guard lock(m_mutex);
        ringEnds.push_back(returned);
        m_changed.notify_all();
    }
    void open() {
        std::lock_guard lock(m_mutex);
        m_open = true;
        m_changed.notify_all();
    }
    // Waits (at most ten seconds) until `done` holds, under the tone's lock.
    bool until(const std::function<bool()>& done) {
        std::unique_lock lock(m_mutex);
        return m_changed.wait_for(lock, 10s, done);
    }

    std::vector<std::pair<std::int32_t, std::int32_t>> beeps;
    int returned = 0;
    std::vector<int> ringEnds;  // the tones returned at each ring's end

private:
    std::mutex m_mutex;
    std::condition_variable m_changed;
    bool m_open = false;
};

// A wait on a plain thread that records what it was asked to wait for. With `watchdogFires` it
// gives up at once, as the platform's wait does once its time has passed.
class RecordingWait : public RingingTone::Wait {
public:
    void wake() override {
        std::lock_guard lock(m_mutex);
        m_woken = true;
        m_changed.notify_all();
    }
    void wait(const std::function<bool()>& ended, int ms) override {
        waits.push_back(ms);
        if (watchdogFires) {
            endedByTone.push_back(ended());
            return;
        }
        for (;;) {
            if (ended()) break;
            std::unique_lock lock(m_mutex);
            if (!m_changed.wait_for(lock, 10s, [this] { return m_woken; })) break;
            m_woken = false;
        }
        endedByTone.push_back(ended());
    }
    // Waits (at most ten seconds) for a wake that no wait has taken.
    bool untilWoken() {
        std::unique_lock lock(m_mutex);
        return m_changed.wait_for(lock, 10s, [this] { return m_woken; });
    }

    bool watchdogFires = false;
    std::vector<int> waits;
    std::vector<bool> endedByTone;

private:
    std::mutex m_mutex;
    std::condition_variable m_changed;
    bool m_woken = false;
};

struct Ring {
    Ring() {
        auto owned = std::make_unique<RecordingWait>();
        wait = owned.get();
        tone.emplace(std::shared_ptr<Tone>(&backend, [](Tone*) {}), std::move(owned));
    }
    GatedTone backend;
    RecordingWait* wait = nullptr;
    std::optional<RingingTone> tone;
};

constexpr int kMargin = RingWorker::kWatchdogMarginMs;

TEST(RingingTone, ToneEnds_TheWaitEndsWithIt_LongBeepsCutToTheLongest) {
    Ring ring;
    ring.backend.open();
    ring.tone->beep(800, 200);
    ring.tone->beep(440, 70000);
    EXPECT_EQ(ring.backend.beeps, (decltype(ring.backend.beeps){{800, 200}, {440, 60000}}));
    EXPECT_EQ(ring.wait->waits, (std::vector<int>{200 + kMargin, Tone::kLongestMs + kMargin}));
    EXPECT_EQ(ring.wait->endedByTone, (std::vector<bool>{true, true}));
}

TEST(RingingTone, DurationNotAboveZero_NoWaitAndNoTone) {
    Ring ring;
    ring.backend.open();
    ring.tone->beep(800, 0);
    ring.tone->beep(800, -20);
    EXPECT_TRUE(ring.wait->waits.empty());
    ring.tone->ringEnded();
    ASSERT_TRUE(ring.backend.until([&] { return !ring.backend.ringEnds.empty(); }));
    EXPECT_TRUE(ring.backend.beeps.empty());
}

TEST(RingingTone, ToneThatNeverEnds_LaterBeepsAreSilenceOfTheirLength_UntilItReturns) {
    Ring ring;
    ring.wait->watchdogFires = true;
    ring.tone->beep(800, 100);
    ring.tone->beep(900, 300);  // the worker is still inside the first tone
    EXPECT_EQ(ring.wait->waits, (std::vector<int>{100 + kMargin, 300}));
    EXPECT_EQ(ring.wait->endedByTone, (std::vector<bool>{false, false}));

    ring.backend.open();
    ASSERT_TRUE(ring.wait->untilWoken());  // the worker is free again: the next beep plays
    ring.wait->watchdogFires = false;
    ring.tone->beep(1000, 50);
    EXPECT_EQ(ring.backend.beeps, (decltype(ring.backend.beeps){{800, 100}, {1000, 50}}));
    EXPECT_TRUE(ring.wait->endedByTone.back());
}

TEST(RingingTone, RingEnded_ReachesTheToneAfterTheSoundingOneHasReturned) {
    Ring ring;
    ring.wait->watchdogFires = true;
    ring.tone->beep(800, 100);
    ASSERT_TRUE(ring.backend.until([&] { return !ring.backend.beeps.empty(); }));
    ring.tone->ringEnded();
    ring.backend.open();
    ASSERT_TRUE(ring.backend.until([&] { return !ring.backend.ringEnds.empty(); }));
    EXPECT_EQ(ring.backend.ringEnds, (std::vector<int>{1}));
}

}  // namespace
}  // namespace tollvane

// A ring's tone on Windows that never ends while the ring waits for it (a sound driver stuck in
// Beep), and that returns only after the program has dropped the ring.

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <cstring>
#include <memory>
#include <mutex>
#include <new>

#include "platform/win32/tone_wait.h"

namespace tollvane::win32::testing {
namespace {

class HangingTone : public Tone {
public:
    void beep(std::int32_t, std::int32_t) override {
        std::unique_lock lock(m_mutex);
        m_released.wait(lock, [this] { return m_release; });
    }
    void release() {
        std::lock_guard lock(m_mutex);
        m_release = true;
        m_released.notify_all();
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_released;
    bool m_release = false;
};

long long msSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() -
                                                                 start)
        .count();
}

// The watchdog ends the wait, the next beep is silence of its length, the end waits only briefly;
// the tone that returns at last finds the ring's memory as the program left it: the worker writes
// nothing there, and the test sees it.
TEST(StuckTone, ReturnsAfterTheRingWasDropped_TouchesNothingOfIt) {
    auto tone = std::make_shared<HangingTone>();
    const std::weak_ptr<HangingTone> held = tone;
    alignas(RingingTone) unsigned char memory[sizeof(RingingTone)];
    auto* ring = new (memory) RingingTone(tone, std::make_unique<Win32ToneWait>());
    tone.reset();  // the worker holds the tone now

    auto start = std::chrono::steady_clock::now();
    ring->beep(800, 100);
    const long long watched = msSince(start);
    EXPECT_GE(watched, 100 + RingWorker::kWatchdogMarginMs - 20);
    EXPECT_LT(watched, 100 + RingWorker::kWatchdogMarginMs + 3000);
    start = std::chrono::steady_clock::now();
    ring->beep(800, 300);  // the worker is still inside the first tone
    EXPECT_GE(msSince(start), 280);

    start = std::chrono::steady_clock::now();
    ring->~RingingTone();
    EXPECT_LT(msSince(start), RingWorker::kEndWaitMs + 3000);
    std::memset(memory, 0xA5, sizeof memory);

    if (const auto stuck = held.lock()) stuck->release();
    // The worker has left once it lets go of the tone.
    start = std::chrono::steady_clock::now();
    while (!held.expired() && msSince(start) < 10000) Sleep(10);
    EXPECT_TRUE(held.expired()) << "the worker never left its tone";
    for (const unsigned char byte : memory) ASSERT_EQ(byte, 0xA5) << "the worker wrote to the ring";
}

}  // namespace
}  // namespace tollvane::win32::testing

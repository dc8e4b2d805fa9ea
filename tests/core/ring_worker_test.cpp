// What a ring's worker, left behind in a stuck tone, reaches of the application as it goes: a call
// under way holds the going until it has returned, and none runs afterwards.

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "app/ring_worker.h"

namespace tollvane {
namespace {

TEST(ApplicationReach, ClosedWhileTheWorkerRingsTheBell_CloseWaitsForIt_NoBellAfter) {
    ApplicationReach reach;
    std::mutex mutex;
    std::condition_variable changed;
    bool inside = false, letGo = false, closed = false;
    std::thread worker([&] {
        reach.run([&] {
            std::unique_lock lock(mutex);
            inside = true;
            changed.notify_all();
            changed.wait(lock, [&] { return letGo; });
        });
    });
    {
        std::unique_lock lock(mutex);
        changed.wait(lock, [&] { return inside; });
    }
    std::thread going([&] {
        reach.close();
        std::lock_guard lock(mutex);
        closed = true;
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    {
        std::lock_guard lock(mutex);
        EXPECT_FALSE(closed) << "the application went on while the worker was inside it";
        letGo = true;
    }
    changed.notify_all();
    worker.join();
    going.join();
    EXPECT_TRUE(closed);

    bool rang = false;
    EXPECT_FALSE(reach.run([&] { rang = true; }));
    EXPECT_FALSE(rang);
}

}  // namespace
}  // namespace tollvane

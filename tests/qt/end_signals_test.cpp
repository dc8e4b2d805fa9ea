// The program asked to end by a signal: the request reaches the event loop, the handler never
// blocks, and the code it interrupts finds errno as it left it.

#include "platform/qt/end_signals.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QTest>
#include <cerrno>
#include <chrono>
#include <thread>

namespace tollvane {
namespace {

// Runs the event loop until `done` holds or two seconds have passed; whether it holds.
template <class Done>
bool waitFor(Done done) {
    for (int i = 0; i < 200 && !done(); ++i) QTest::qWait(10);
    return done();
}

TEST(EndSignals, SignalsThatComeTogether_EndRequestedOnceInTheEventLoop) {
    int ends = 0;
    EndSignals endSignals([&] { ++ends; });
    raise(SIGTERM);
    raise(SIGHUP);
    EXPECT_EQ(ends, 0);  // nothing runs inside the handler
    EXPECT_TRUE(waitFor([&] { return ends > 0; }));
    QTest::qWait(50);
    EXPECT_EQ(ends, 1);
    raise(SIGINT);
    EXPECT_TRUE(waitFor([&] { return ends == 2; }));
}

// A flood of signals while the event loop is busy fills the handler's socket. The handler must
// neither block there (the loop that would empty it is the one it interrupted) nor leave the
// error of its failed write in errno. A child process takes the flood, so a handler that blocks
// shows as a failure rather than a hang.
TEST(EndSignals, FloodWhileTheLoopIsBusy_HandlerNeitherBlocksNorChangesErrno) {
    int ends = 0;
    EndSignals endSignals([&] { ++ends; });
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        for (int i = 0; i < 20000; ++i) raise(SIGHUP);
        errno = EDOM;
        raise(SIGTERM);
        _exit(errno == EDOM ? 0 : 2);
    }
    int status = 0;
    bool done = false;
    for (int i = 0; i < 200 && !done; ++i) {
        done = waitpid(child, &status, WNOHANG) == child;
        if (!done) std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    if (!done) {
        kill(child, SIGKILL);
        waitpid(child, &status, 0);
    }
    ASSERT_TRUE(done) << "the signal handler blocked";
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "errno was changed by the signal handler";
    // What the child sent reaches this loop, which owns the same socket.
    EXPECT_TRUE(waitFor([&] { return ends > 0; }));
}

}  // namespace
}  // namespace tollvane

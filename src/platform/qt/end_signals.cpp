#include "platform/qt/end_signals.h"

#include <QSocketNotifier>

#if defined(Q_OS_UNIX)
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#endif

namespace tollvane {

#if defined(Q_OS_UNIX)
namespace {
int g_pipe[2] = {-1, -1};

// Only async-signal-safe work here: one byte into the pipe that the event loop watches. The
// write never blocks: with the pipe full, the bytes already in it wake the loop all the same. The
// handler may interrupt code between a failed call and its look at errno, so errno is kept.
void onSignal(int) {
    const int savedErrno = errno;
    const char byte = 1;
    [[maybe_unused]] const auto n = ::write(g_pipe[1], &byte, 1);
    errno = savedErrno;
}
}  // namespace
#endif

EndSignals::EndSignals(std::function<void()> onEnd, QObject* parent)
    : QObject(parent), m_onEnd(std::move(onEnd)) {
#if defined(Q_OS_UNIX)
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, g_pipe) != 0) return;
    m_notifier = new QSocketNotifier(g_pipe[0], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, [this] {
        // Signals that came together are one request: the program ends once.
        char bytes[64];
        while (::read(g_pipe[0], bytes, sizeof bytes) > 0) {
        }
        if (m_onEnd) m_onEnd();
    });
    struct sigaction action {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int sig : {SIGTERM, SIGHUP, SIGINT}) sigaction(sig, &action, nullptr);
#endif
}

EndSignals::~EndSignals() {
#if defined(Q_OS_UNIX)
    struct sigaction action {};
    action.sa_handler = SIG_DFL;
    for (int sig : {SIGTERM, SIGHUP, SIGINT}) sigaction(sig, &action, nullptr);
    delete m_notifier;
    m_notifier = nullptr;
    for (int& fd : g_pipe) {
        if (fd >= 0) ::close(fd);
        fd = -1;
    }
#endif
}

}  // namespace tollvane

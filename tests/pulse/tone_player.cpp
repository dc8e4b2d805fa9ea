// Plays beeps through PulseTone for the null-sink test script and prints how each one went.
//
//   tone_player play FREQ MS COUNT EXPECTED [COMMAND]
//                                             a ring of COUNT beeps; each must end as EXPECTED
//                                             (played, no-server ...); COMMAND, if given, runs
//                                             after the first beep, as a user acting mid-ring
//   tone_player stall PID FREQ MS             the server (process PID) is stopped in the middle of
//                                             a ring and resumed before its last beep
//
// Exit status 0 when every beep ended as expected and within its duration plus a generous bound.

#include <signal.h>
#include <sys/types.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

#include "platform/pulse/pulse_tone.h"

namespace {

using tollvane::PulseTone;
using SteadyClock = std::chrono::steady_clock;
using namespace std::chrono_literals;

// Far beyond the watchdog's own margin: this only proves that a beep ends.
constexpr double kEndBoundMs = 3000;

std::atomic<int> failures{0};

void beepAndCheck(PulseTone& tone, int index, int frequency, int durationMs,
                  PulseTone::Outcome expected) {
    const auto start = SteadyClock::now();
    tone.beep(frequency, durationMs);
    const double elapsedMs =
        std::chrono::duration<double, std::milli>(SteadyClock::now() - start).count();
    const PulseTone::Outcome outcome = tone.lastOutcome();
    const bool ok = outcome == expected && elapsedMs >= durationMs - 1.0 &&
                    elapsedMs <= durationMs + kEndBoundMs;
    std::printf("beep %d: %d Hz %d ms: %s after %.1f ms (overrun %+.1f ms)%s\n", index, frequency,
                durationMs, tollvane::toString(outcome), elapsedMs, elapsedMs - durationMs,
                ok ? "" : "  <-- unexpected");
    std::fflush(stdout);
    if (!ok) ++failures;
}

bool parseOutcome(const std::string& name, PulseTone::Outcome& out) {
    for (auto o : {PulseTone::Outcome::Played, PulseTone::Outcome::NoServer,
                   PulseTone::Outcome::TimedOut, PulseTone::Outcome::Failed}) {
        if (name == tollvane::toString(o)) {
            out = o;
            return true;
        }
    }
    return false;
}

int usage() {
    std::fprintf(stderr,
                 "usage: tone_player play FREQ MS COUNT EXPECTED [COMMAND] | tone_player stall PID "
                 "FREQ MS\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) return usage();
    const std::string mode = argv[1];
    // Built here, beeping on a worker thread, as the program does.
    PulseTone tone("Tollvane tone test", [](const std::string& line) {
        std::printf("logged: %s\n", line.c_str());
        ++failures;
    });

    if (mode == "play" && (argc == 6 || argc == 7)) {
        const int frequency = std::atoi(argv[2]);
        const int duration = std::atoi(argv[3]);
        const int count = std::atoi(argv[4]);
        PulseTone::Outcome expected{};
        if (!parseOutcome(argv[5], expected)) return usage();
        const char* command = argc == 7 ? argv[6] : nullptr;
        std::thread([&] {
            for (int i = 1; i <= count; ++i) {
                beepAndCheck(tone, i, frequency, duration, expected);
                if (i == 1 && command && std::system(command) != 0) ++failures;
            }
            tone.ringEnded();
        }).join();
    } else if (mode == "stall" && argc == 5) {
        const auto pid = static_cast<pid_t>(std::atol(argv[2]));
        const int frequency = std::atoi(argv[3]);
        const int duration = std::atoi(argv[4]);
        std::thread([&] {
            beepAndCheck(tone, 1, frequency, duration, PulseTone::Outcome::Played);
            // Stopped while the second tone plays: the watchdog ends it and drops the connection.
            std::thread stopper([pid, duration] {
                std::this_thread::sleep_for(std::chrono::milliseconds(duration / 3));
                kill(pid, SIGSTOP);
            });
            beepAndCheck(tone, 2, frequency, duration, PulseTone::Outcome::TimedOut);
            stopper.join();
            // Still stopped: the new connection's handshake gets no answer.
            beepAndCheck(tone, 3, frequency, duration, PulseTone::Outcome::NoServer);
            kill(pid, SIGCONT);
            // Back again: the next beep reconnects and sounds.
            beepAndCheck(tone, 4, frequency, duration, PulseTone::Outcome::Played);
            tone.ringEnded();
        }).join();
    } else {
        return usage();
    }
    std::printf("%s\n", failures == 0 ? "all beeps as expected" : "some beeps unexpected");
    return failures == 0 ? 0 : 1;
}

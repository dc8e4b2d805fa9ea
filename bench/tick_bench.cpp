// How soon after each real second the clock's tick runs. In one event loop it runs SecondTimer
// re-armed at each tick (the system backend, and the precise QTimer backend used where there is
// no timerfd) beside a plain repeating 1000 ms QTimer started whenever the program happens to
// start, and prints for each the lag behind the second and the seconds skipped or repeated, judged
// by the second read in the handler.
//
//   tick_bench [--seconds N] [--each]     (default 60 s; --each prints every tick)

#include <QCoreApplication>
#include <QDateTime>
#include <QTimer>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "platform/qt/second_timer.h"

namespace {

using tollvane::SecondTimer;
using tollvane::systemWallClock;
using tollvane::WallTime;

struct Ticks {
    std::string name;
    std::vector<WallTime> at;  // wall clock read first thing in each handler

    void record() { at.push_back(systemWallClock()); }
};

struct Summary {
    double medianMs = 0;
    double p99Ms = 0;
    double maxMs = 0;
    long over3Ms = 0;
    long skipped = 0;
    long repeated = 0;
};

double msIntoSecond(WallTime t) {
    const auto into = t - std::chrono::floor<std::chrono::seconds>(t);
    return std::chrono::duration<double, std::milli>(into).count();
}

// Nearest-rank percentile of sorted values.
double percentile(const std::vector<double>& sorted, double p) {
    const auto rank = static_cast<std::size_t>(std::ceil(p / 100.0 * double(sorted.size())));
    return sorted[std::clamp<std::size_t>(rank, 1, sorted.size()) - 1];
}

Summary summarize(const Ticks& ticks) {
    Summary s;
    if (ticks.at.empty()) return s;
    std::vector<double> lags;
    for (const WallTime t : ticks.at) lags.push_back(msIntoSecond(t));
    std::sort(lags.begin(), lags.end());
    s.medianMs = percentile(lags, 50);
    s.p99Ms = percentile(lags, 99);
    s.maxMs = lags.back();
    s.over3Ms = std::count_if(lags.begin(), lags.end(), [](double ms) { return ms > 3; });
    for (std::size_t i = 1; i < ticks.at.size(); ++i) {
        const auto step = (std::chrono::floor<std::chrono::seconds>(ticks.at[i]) -
                           std::chrono::floor<std::chrono::seconds>(ticks.at[i - 1]))
                              .count();
        if (step <= 0) ++s.repeated;
        if (step > 1) s.skipped += step - 1;
    }
    return s;
}

struct Options {
    int seconds = 60;
    bool each = false;
};

Options parseOptions(int argc, char** argv) {
    Options options;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--seconds") == 0 && i + 1 < argc) {
            options.seconds = std::max(std::atoi(argv[++i]), 2);
        } else if (std::strcmp(argv[i], "--each") == 0) {
            options.each = true;
        } else {
            std::fprintf(stderr, "usage: %s [--seconds N] [--each]\n", argv[0]);
            std::exit(2);
        }
    }
    return options;
}

// The program's pattern: a first shot 100 ms after start, then every tick aims at the next second.
void driveLikeTheClock(SecondTimer& timer, Ticks& ticks) {
    auto first = std::make_shared<bool>(true);
    QObject::connect(&timer, &SecondTimer::timeout, [&timer, &ticks, first] {
        if (*first) {
            *first = false;  // the 100 ms shot is not aimed at a second
        } else {
            ticks.record();
        }
        timer.startAtNextSecond();
    });
    timer.startAfter(100);
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const Options options = parseOptions(argc, argv);
    const int seconds = options.seconds;

    Ticks system{"SecondTimer (system backend)", {}};
    Ticks precise{"SecondTimer (precise QTimer backend)", {}};
    Ticks plain{"plain 1000 ms QTimer", {}};

    SecondTimer systemTimer;
    SecondTimer preciseTimer(tollvane::makePreciseQTimerBackend());
    driveLikeTheClock(systemTimer, system);
    driveLikeTheClock(preciseTimer, precise);

    QTimer plainTimer;
    plainTimer.setInterval(1000);
    QObject::connect(&plainTimer, &QTimer::timeout, [&plain] { plain.record(); });
    const double startOffsetMs = msIntoSecond(systemWallClock());
    plainTimer.start();

    QTimer::singleShot(std::chrono::milliseconds(seconds * 1000 + 500), &app,
                       &QCoreApplication::quit);
    std::printf("tick_bench: %d s; plain QTimer started %.1f ms into a second\n", seconds,
                startOffsetMs);
    std::fflush(stdout);
    app.exec();

    const Ticks* rows[3] = {&system, &precise, &plain};
    Summary figures[3];
    std::printf("\n%-40s %6s %9s %9s %9s %7s %8s %9s\n", "ms after each real second", "ticks",
                "median", "p99", "max", "> 3 ms", "skipped", "repeated");
    for (int i = 0; i < 3; ++i) {
        figures[i] = summarize(*rows[i]);
        std::printf("%-40s %6zu %9.3f %9.3f %9.3f %7ld %8ld %9ld\n", rows[i]->name.c_str(),
                    rows[i]->at.size(), figures[i].medianMs, figures[i].p99Ms, figures[i].maxMs,
                    figures[i].over3Ms, figures[i].skipped, figures[i].repeated);
    }
    for (const Ticks* row : rows) {
        if (!options.each) break;
        std::printf("\n%s, ms after the second:", row->name.c_str());
        for (const WallTime t : row->at) std::printf(" %.3f", msIntoSecond(t));
        std::printf("\n");
    }
    const Summary& ours = figures[0];
    const Summary& theirs = figures[2];
    std::printf("\nratio plain QTimer / SecondTimer (system): median %.0fx, p99 %.0fx, max %.0fx\n",
                theirs.medianMs / ours.medianMs, theirs.p99Ms / ours.p99Ms,
                theirs.maxMs / ours.maxMs);
    std::printf(
        "targets for SecondTimer: median < 1 ms (%s), p99 < 3 ms (%s), "
        "none skipped or repeated (%s)\n",
        ours.medianMs < 1 ? "met" : "MISSED", ours.p99Ms < 3 ? "met" : "MISSED",
        ours.skipped + ours.repeated == 0 ? "met" : "MISSED");
    return 0;
}

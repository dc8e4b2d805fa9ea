#pragma once
// What the program holds against sleep on Linux at one time, as the wake decides it
// (linux_wake.h) and the bus thread carries it out (sleep_guard.h).

#include <QString>

namespace tollvane {

struct SleepHold {
    enum class Kind {
        Nothing,
        // An alarm waits with no kernel wake alarm: the computer is not to fall asleep by itself,
        // and a suspend that the user asks for goes on, logged.
        Waiting,
        // From the wake until the ring has ended: the computer, its screen and its lid held.
        Ringing,
    };
    Kind kind = Kind::Nothing;
    QString reason;  // "Tollvane: alarm at 7:30"
    QString alarm;   // "7:30"
    bool operator==(const SleepHold&) const = default;
};

}  // namespace tollvane

#include "alarm/alarm_wake.h"

#include <chrono>
#include <utility>

#include "alarm/clock_text.h"

namespace tollvane {

namespace {

constexpr long long kMinuteMs = 60LL * 1000;
constexpr long long kHourMs = 60 * kMinuteMs;
constexpr long long kDayMs = 24 * kHourMs;

// The hour and minute of a text that the clock itself shows, as the tick would write it.
std::optional<std::pair<int, int>> shownTime(const std::string& text) {
    const std::size_t colon = text.find(':');
    if (colon != 1 && colon != 2) return std::nullopt;
    if (text.size() != colon + 3) return std::nullopt;
    int hour = 0;
    int minute = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (i == colon) continue;
        const char c = text[i];
        if (c < '0' || c > '9') return std::nullopt;
        int& part = i < colon ? hour : minute;
        part = part * 10 + (c - '0');
    }
    if (hour > 23 || minute > 59) return std::nullopt;
    LocalDateTime t;
    t.hour = hour;
    t.minute = minute;
    if (clockText(t) != text) return std::nullopt;  // "07:30": the clock shows 7:30
    return std::pair{hour, minute};
}

// A local date and time counted as if it were UTC: its difference to the wall clock's moment is
// the zone's offset in force then.
long long asIfUtc(const LocalDateTime& t) {
    using namespace std::chrono;
    const sys_days day{year{t.year} / month{unsigned(t.month)} / std::chrono::day{unsigned(t.day)}};
    return day.time_since_epoch().count() * kDayMs + t.hour * kHourMs + t.minute * kMinuteMs +
           t.second * 1000LL + t.millisecond;
}

}  // namespace

bool isShownClockText(const std::string& text) {
    return shownTime(text).has_value();
}

std::optional<long long> nextShownMinute(const std::string& clockText, const Clock& clock,
                                         long long nowWallMs) {
    const auto time = shownTime(clockText);
    if (!time) return std::nullopt;
    LocalDateTime wanted = clock.at(nowWallMs);
    wanted.hour = time->first;
    wanted.minute = time->second;
    wanted.second = 0;
    wanted.millisecond = 0;
    // The minute begins where the wall clock, moved by the zone's offset in force then, reads the
    // wanted time. About one day at most two offsets are in force, before and after a change of
    // the clocks, so the moment is the wanted time less one of the offsets found half a day
    // either side; reading the clock back at that moment tells whether the clock really shows it.
    // On the day the clocks go back a time comes twice, and the first one still to come counts;
    // on the day they go forward a skipped time is not shown, and the next day's counts.
    for (int days = 0; days <= 2; ++days) {
        const long long local = asIfUtc(wanted) + days * kDayMs;
        std::optional<long long> first;
        for (const long long probe : {local - 14 * kHourMs, local + 14 * kHourMs}) {
            const long long offset = asIfUtc(clock.at(probe)) - probe;
            const long long moment = local - offset;
            const LocalDateTime shown = clock.at(moment);
            const bool showsIt = shown.hour == time->first && shown.minute == time->second;
            if (showsIt && moment + kMinuteMs > nowWallMs && (!first || moment < *first))
                first = moment;
        }
        if (first) return first;
    }
    return std::nullopt;
}

WakeRequest alarmWake(long long minuteStart, const std::string& clockText, long long nowWallMs) {
    const long long wakeAt = minuteStart - kWakeMarginMs;
    return {wakeAt, nowWallMs >= wakeAt, "Tollvane: alarm at " + clockText, clockText};
}

}  // namespace tollvane

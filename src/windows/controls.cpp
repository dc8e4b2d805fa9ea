#include "windows/controls.h"

#include <algorithm>

namespace tollvane {

MonthCalendar::MonthCalendar() = default;

int MonthCalendar::daysInMonth(int year, int month) {
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12) return 31;
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : kDays[month - 1];
}

void MonthCalendar::setYear(std::int16_t year) {
    if (year < 1 || year > 9999) return;
    m_year = year;
    clampDay();
}

void MonthCalendar::setMonth(std::int16_t month) {
    if (month < 1 || month > 12) return;
    m_month = month;
    clampDay();
}

void MonthCalendar::setDay(std::int16_t day) {
    if (day < 1 || day > daysInMonth(m_year, m_month)) return;
    m_day = day;
}

void MonthCalendar::setDate(int year, int month, int day) {
    setYear(static_cast<std::int16_t>(year));
    setMonth(static_cast<std::int16_t>(month));
    setDay(static_cast<std::int16_t>(day));
}

void MonthCalendar::userShows(int pageYear, int pageMonth, int year, int month, int day) {
    if (pageYear < 1 || pageYear > 9999 || pageMonth < 1 || pageMonth > 12) return;
    if (year == pageYear && month == pageMonth) {
        setDate(year, month, day);
        return;
    }
    setDate(pageYear, pageMonth, std::min<int>(m_day, daysInMonth(pageYear, pageMonth)));
}

void MonthCalendar::clampDay() {
    const int last = daysInMonth(m_year, m_month);
    if (m_day > last) m_day = static_cast<std::int16_t>(last);
}

}  // namespace tollvane

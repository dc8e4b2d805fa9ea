#include "windows/controls.h"

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
    turnPageToDate();
}

void MonthCalendar::setMonth(std::int16_t month) {
    if (month < 1 || month > 12) return;
    m_month = month;
    clampDay();
    turnPageToDate();
}

void MonthCalendar::setDay(std::int16_t day) {
    if (day < 1 || day > daysInMonth(m_year, m_month)) return;
    m_day = day;
    turnPageToDate();
}

void MonthCalendar::setDate(int year, int month, int day) {
    setYear(static_cast<std::int16_t>(year));
    setMonth(static_cast<std::int16_t>(month));
    setDay(static_cast<std::int16_t>(day));
}

void MonthCalendar::showPage(int year, int month) {
    if (year < 1 || year > 9999 || month < 1 || month > 12) return;
    m_pageYear = year;
    m_pageMonth = month;
}

void MonthCalendar::turnPageToDate() {
    m_pageYear = m_year;
    m_pageMonth = m_month;
}

void MonthCalendar::clampDay() {
    const int last = daysInMonth(m_year, m_month);
    if (m_day > last) m_day = static_cast<std::int16_t>(last);
}

}  // namespace tollvane

#pragma once
// The controls of the program's windows as plain values. A window's model holds them as named
// members; the Qt layer mirrors them onto widgets and back.

#include <cstdint>
#include <string>

namespace tollvane {

struct TextBox {
    std::string Text;
    bool Enabled = true;
};

struct CommandButton {
    bool Enabled = true;
};

struct Label {
    std::string Caption;
};

struct OptionButton {
    bool Value = false;
};

struct Timer {
    bool Enabled = false;
    int Interval = 0;  // milliseconds; 0 never fires
};

// A month calendar showing one month with one selected day. Year, Month and Day are set one after
// another; a date that does not exist on the way (31 February) is held at the month's last day,
// so that setting Year, Month and Day in turn always ends on the date that was asked for. Values
// outside the calendar's range are ignored.
//
// The calendar also shows one month page, which the user can turn without picking a day. Setting
// the date turns the page to the date's month.
class MonthCalendar {
public:
    MonthCalendar();

    std::int16_t Year() const { return m_year; }
    std::int16_t Month() const { return m_month; }
    std::int16_t Day() const { return m_day; }

    void setYear(std::int16_t year);
    void setMonth(std::int16_t month);
    void setDay(std::int16_t day);
    // Year, Month and Day in turn.
    void setDate(int year, int month, int day);

    // The month page on show, and the user turning it.
    int pageYear() const { return m_pageYear; }
    int pageMonth() const { return m_pageMonth; }
    void showPage(int year, int month);

    static int daysInMonth(int year, int month);

private:
    void clampDay();
    void turnPageToDate();

    std::int16_t m_year = 2000;
    std::int16_t m_month = 1;
    std::int16_t m_day = 1;
    int m_pageYear = 2000;
    int m_pageMonth = 1;
};

// The hidden media player of the main window. It never holds media; Stop tells it to close.
struct MediaPlayer {
    int closeCalls = 0;
    void close() { ++closeCalls; }
};

}  // namespace tollvane

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

// A month calendar showing one month page with one selected day, its date. Year, Month and Day are
// set one after another; a date that does not exist on the way (31 February) is held at the
// month's last day, so that setting Year, Month and Day in turn always ends on the date that was
// asked for. Values outside the calendar's range are ignored.
//
// The page shown is always the date's month: setting the date turns the page to it, and the user
// turning the page takes the date along (userShows), so that the date a reminder is stored for
// and the date the reminder check compares with are on the page the user sees.
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

    // What the user left the calendar control showing: the month page (pageYear, pageMonth) and
    // the day selected on it. A selected day on that page is the date; where the user turned the
    // page away from the date, the date goes with the page by the months turned, its day kept, or
    // the month's last day where that month has fewer days.
    void userShows(int pageYear, int pageMonth, int year, int month, int day);

    static int daysInMonth(int year, int month);

private:
    void clampDay();

    std::int16_t m_year = 2000;
    std::int16_t m_month = 1;
    std::int16_t m_day = 1;
};

// The hidden media player of the main window. It never holds media; Stop tells it to close.
struct MediaPlayer {
    int closeCalls = 0;
    void close() { ++closeCalls; }
};

}  // namespace tollvane

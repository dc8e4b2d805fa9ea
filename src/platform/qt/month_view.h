#pragma once
// The window's month calendar. A digit typed on the calendar opens the toolkit's small typed-date
// box for a moment; the toolkit (Qt 6.4) frees that box's date reader only when the box closes,
// not when the calendar goes, so a calendar destroyed with the box still open would leak it.
// This calendar closes the box, as Esc does, before it goes.

#include <QCalendarWidget>

namespace tollvane {

class MonthView : public QCalendarWidget {
    Q_OBJECT
public:
    explicit MonthView(QWidget* parent = nullptr);
    ~MonthView() override;
    MonthView(const MonthView&) = delete;
    MonthView& operator=(const MonthView&) = delete;

    // Whether the typed-date box is open.
    bool typedDateShown() const;
    // Closes the typed-date box, if open, without taking its date.
    void closeTypedDate();
};

}  // namespace tollvane

#include "platform/qt/month_view.h"

#include <QAbstractItemView>
#include <QCoreApplication>
#include <QFrame>
#include <QKeyEvent>

namespace tollvane {

namespace {

// The typed-date box is the calendar's only child that is a plain frame (the day table is a frame
// too, of a class of its own). Asked whether it is hidden rather than visible: a window that goes
// is hidden before it is destroyed, and the box then counts as not visible while still open.
QFrame* typedDateBox(const QCalendarWidget& calendar) {
    for (QFrame* frame : calendar.findChildren<QFrame*>(Qt::FindDirectChildrenOnly)) {
        if (frame->metaObject() == &QFrame::staticMetaObject && !frame->isHidden()) return frame;
    }
    return nullptr;
}

}  // namespace

MonthView::MonthView(QWidget* parent) : QCalendarWidget(parent) {}

MonthView::~MonthView() {
    closeTypedDate();
}

bool MonthView::typedDateShown() const {
    return typedDateBox(*this) != nullptr;
}

void MonthView::closeTypedDate() {
    // Only while the box is open: otherwise Esc would go on to the window's cancel button.
    if (!typedDateShown()) return;
    auto* days = findChild<QAbstractItemView*>(QString(), Qt::FindDirectChildrenOnly);
    if (!days) return;
    // The typed date reads the day table's keys; Esc there closes the box and frees its reader.
    QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QCoreApplication::sendEvent(days, &esc);
}

}  // namespace tollvane

#include "platform/qt/control_binding.h"

#include <QAbstractButton>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>

#include "platform/qt/display_box.h"
#include "platform/qt/month_view.h"
#include "platform/qt/qstring_of.h"

namespace tollvane {

namespace {

std::function<void()> mirrorButton(QAbstractButton* b, CommandButton* model) {
    return [model, b] { b->setEnabled(model->Enabled); };
}

std::function<void()> bindTextBox(QLineEdit* e, TextBox* model, const WindowEvents& events,
                                  QObject* context) {
    // Typing only fills the model's text: no handler runs.
    QObject::connect(e, &QLineEdit::textEdited, context, [model, events](const QString& t) {
        events.edit([&] { model->Text = t.toStdString(); });
    });
    // Compared with the widget's own text, which the user's typing changes too.
    return [model, e] {
        const QString text = q(model->Text);
        if (e->text() != text) e->setText(text);
        e->setEnabled(model->Enabled);
    };
}

// The clock writes these every second: the text is converted only when it changed.
std::function<void()> mirrorDisplayBox(DisplayBox* box, TextBox* model, std::string shown) {
    return [model, box, shown]() mutable {
        if (model->Text == shown) return;
        shown = model->Text;
        box->setText(q(shown));
    };
}

std::function<void()> mirrorLabel(QLabel* label, Label* model, const QString& controlName) {
    return [model, label, controlName] {
        const QString text = q(model->Caption);
        if (label->text() != text) label->setText(text);
        if (label->accessibleName() == controlName) label->setAccessibleName(text);
    };
}

std::function<void()> bindOption(QRadioButton* radio, OptionButton* model,
                                 const WindowEvents& events, QObject* context) {
    QObject::connect(radio, &QRadioButton::toggled, context, [model, events](bool on) {
        if (on) events.edit([model] { model->Value = true; });
    });
    return [model, radio] { radio->setChecked(model->Value); };
}

std::function<void()> bindCalendar(MonthView* cal, MonthCalendar* model, const WindowEvents& events,
                                   QObject* context) {
    // The page shown is the model's month.
    auto mirror = [model, cal] {
        const QSignalBlocker block(cal);
        const QDate d(model->Year(), model->Month(), model->Day());
        if (cal->selectedDate() != d) cal->setSelectedDate(d);
        if (cal->yearShown() != d.year() || cal->monthShown() != d.month())
            cal->setCurrentPage(d.year(), d.month());
    };
    // Picking a day or turning the page only changes the model's date: no handler runs. A page
    // turned away from the selected day takes the date along, and shows it selected at once.
    QObject::connect(cal, &QCalendarWidget::selectionChanged, context, [model, cal, events] {
        const QDate d = cal->selectedDate();
        events.edit([&] {
            model->userShows(cal->yearShown(), cal->monthShown(), d.year(), d.month(), d.day());
        });
    });
    QObject::connect(cal, &QCalendarWidget::currentPageChanged, context,
                     [model, cal, mirror, events](int year, int month) {
                         const QDate d = cal->selectedDate();
                         events.edit([&] {
                             model->userShows(year, month, d.year(), d.month(), d.day());
                             mirror();
                         });
                     });
    return mirror;
}

}  // namespace

std::function<void()> bindControl(QWidget* widget, const ControlLayout& c, const Binding& binding,
                                  const WindowEvents& events, QObject* context) {
    const ControlRef& ref = binding.value;
    if (auto* button = qobject_cast<QAbstractButton*>(widget);
        button && c.kind == ControlKind::Button) {
        if (binding.click) {
            const std::function<void()> click = binding.click;
            QObject::connect(button, &QAbstractButton::clicked, context,
                             [events, click] { events(click); });
        }
        if (auto* model = std::get_if<CommandButton*>(&ref)) return mirrorButton(button, *model);
        return {};
    }
    if (auto* model = std::get_if<TextBox*>(&ref)) {
        if (auto* box = qobject_cast<DisplayBox*>(widget)) {
            return mirrorDisplayBox(box, *model, c.caption);
        }
        if (auto* edit = qobject_cast<QLineEdit*>(widget))
            return bindTextBox(edit, *model, events, context);
    }
    if (auto* model = std::get_if<Label*>(&ref)) {
        if (auto* label = qobject_cast<QLabel*>(widget))
            return mirrorLabel(label, *model, q(c.name));
    }
    if (auto* model = std::get_if<OptionButton*>(&ref)) {
        if (auto* radio = qobject_cast<QRadioButton*>(widget))
            return bindOption(radio, *model, events, context);
    }
    if (auto* model = std::get_if<MonthCalendar*>(&ref)) {
        if (auto* cal = qobject_cast<MonthView*>(widget))
            return bindCalendar(cal, *model, events, context);
    }
    return {};
}

}  // namespace tollvane

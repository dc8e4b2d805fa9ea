#pragma once
// One renderer for every window: it builds the widgets from a window's layout data, binds each to
// its model value, forwards clicks, menu choices, typing, activation and the close box, and
// mirrors the model back onto the widgets after every event.

#include <QMainWindow>
#include <QPointer>
#include <QPushButton>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "app/running_program.h"
#include "platform/qt/control_binding.h"
#include "windows/form.h"
#include "windows/geometry.h"

namespace tollvane {

class FormView : public QMainWindow, public WindowView {
    Q_OBJECT
public:
    // What the window hands to its model goes through `events`.
    FormView(Form& model, WindowEvents events);

    Form& model() const { return m_model; }
    void mirror(const ViewChanges& changes) override;
    void askForAttention() override;
    void bringToFront(const std::string& activationToken) override;
    // The widget of a control, by its name (the widget's objectName).
    QWidget* widget(const std::string& controlName) const;
    // Pixel size of the client area below the menu bar.
    QSize clientSize() const;
    // The model is going away: from now on the view forwards nothing and reads nothing of it.
    void detach();

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool event(QEvent* event) override;

private:
    class Canvas;
    void build();
    FrameInsets inside() const;

    Form& m_model;
    WindowEvents m_events;
    Canvas* m_canvas = nullptr;
    std::map<std::string, QPointer<QWidget>> m_widgets;
    // One for each control bound to a model value: copies the value onto its widget, which it
    // holds with its own type, so no widget is ever taken for another kind.
    std::vector<std::function<void()>> m_mirrors;
    double m_dpi = 96.0;
    bool m_detached = false;
    QPointer<QPushButton> m_defaultButton;
    QPointer<QPushButton> m_cancelButton;
};

}  // namespace tollvane

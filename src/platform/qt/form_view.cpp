#include "platform/qt/form_view.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenuBar>
#include <QPainter>
#include <QScreen>

#include "platform/qt/menu_bar.h"
#include "platform/qt/theme.h"
#include "platform/qt/wayland_frame.h"
#include "platform/qt/wayland_session.h"
#include "platform/qt/widget_factory.h"
#include "platform/qt/window_geometry.h"
#include "windows/geometry.h"

namespace tollvane {

// The client area: the window's background, with its lines and filled rectangles drawn beneath
// the controls.
class FormView::Canvas : public QWidget {
public:
    explicit Canvas(FormView& view) : QWidget(&view), m_view(view) {}

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        const WindowLayout& l = m_view.m_model.layout();
        p.fillRect(rect(),
                   layoutColour(l.background, palette(), palette().color(QPalette::Window)));
        p.setPen(QPen(Qt::black, 1));
        for (const ControlLayout& c : l.controls) {
            if (c.kind != ControlKind::Shape) continue;
            const PixelRect r = controlRect(c, m_view.m_dpi);
            p.setBrush(layoutColour(c.background, palette(), Qt::white));
            p.drawRect(r.left, r.top, r.width - 1, r.height - 1);
        }
        for (const LineLayout& line : l.lines) {
            p.setPen(QPen(layoutColour(line.colour, palette(), Qt::black), line.widthPx,
                          Qt::SolidLine, Qt::FlatCap));
            const PixelLine ends = lineEnds(line, m_view.m_dpi);
            p.drawLine(ends.from.x, ends.from.y, ends.to.x, ends.to.y);
        }
    }

private:
    FormView& m_view;
};

FormView::FormView(Form& model, WindowEvents events)
    : QMainWindow(nullptr), m_model(model), m_events(std::move(events)) {
    if (QScreen* screen = QGuiApplication::primaryScreen()) m_dpi = screen->logicalDotsPerInch();
    build();
}

QSize FormView::clientSize() const {
    return m_canvas->size();
}

QWidget* FormView::widget(const std::string& controlName) const {
    const auto it = m_widgets.find(controlName);
    return it == m_widgets.end() ? nullptr : it->second.data();
}

void FormView::build() {
    const WindowLayout& l = m_model.layout();
    setObjectName(QString::fromStdString(l.name));
    setWindowTitle(QString::fromStdString(m_model.Caption));
    setAttribute(Qt::WA_QuitOnClose, false);  // the program ends through its own exit sequence

    Qt::WindowFlags flags = Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                            Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    if (l.minimizeButton) flags |= Qt::WindowMinimizeButtonHint;
    if (l.maximizeButton) flags |= Qt::WindowMaximizeButtonHint;
    if (!l.taskbarButton) flags |= Qt::Tool;
    if (l.border == Border::FixedDialog) flags |= Qt::MSWindowsFixedSizeDialogHint;
    setWindowFlags(flags);
    // Where the program draws the window's frame itself, the frame lies in the contents margins.
    WaylandFrame::addWhereWanted(*this);

    m_canvas = new Canvas(*this);
    m_canvas->setObjectName(QStringLiteral("client"));
    setCentralWidget(m_canvas);
    buildMenuBar(menuBar(), l.menus, [this](const std::string& name) {
        if (!m_detached) m_events([this, name] { m_model.Click(name); });
    });

    for (const ControlLayout& c : l.controls) {
        QWidget* w = makeControlWidget(c, l.defaultFont, m_dpi, m_canvas);
        if (!w) continue;
        m_widgets[c.name] = w;
        if (auto* button = qobject_cast<QPushButton*>(w)) {
            if (c.defaultButton) m_defaultButton = button;
            if (c.cancelButton) m_cancelButton = button;
        }
        for (const Binding& b : m_model.bindings()) {
            if (b.name != c.name) continue;
            if (auto mirror = bindControl(w, c, b, m_events, this)) m_mirrors.push_back(mirror);
        }
    }
    // The focus starts on the first widget that takes it.
    QWidget* previous = nullptr;
    for (const ControlLayout* c : l.tabOrder()) {
        QWidget* w = widget(c->name);
        if (!w || w->focusPolicy() == Qt::NoFocus) continue;
        if (previous)
            QWidget::setTabOrder(previous, w);
        else
            w->setFocus(Qt::OtherFocusReason);
        previous = w;
    }
    applyClientSize(*this, m_model, m_dpi, inside());
    placeWindow(*this, l, m_dpi, inside());
}

// The menu bar, and the frame where the program draws one, around the client area.
FrameInsets FormView::inside() const {
    const QMargins frame = contentsMargins();
    const int menuHeight = m_model.layout().menus.empty() ? 0 : menuBar()->sizeHint().height();
    return {frame.left(), frame.top() + menuHeight, frame.right(), frame.bottom()};
}

void FormView::mirror(const ViewChanges& changes) {
    if (changes.caption) setWindowTitle(QString::fromStdString(*changes.caption));
    if (changes.width) applyClientSize(*this, m_model, m_dpi, inside());
    if (changes.controls) {
        for (const auto& mirrorControl : m_mirrors) mirrorControl();
    }
    if (changes.visible) setVisible(*changes.visible);
    // Shown, the window comes up and takes the keyboard, as a window shown on Windows does.
    if (changes.raise || changes.visible == true) {
        if (windowState() & Qt::WindowMinimized)
            setWindowState(windowState() & ~Qt::WindowMinimized);
        raise();
        activateWindow();
    }
}

void FormView::askForAttention() {
    QApplication::alert(this);
}

void FormView::bringToFront(const std::string& activationToken) {
    tollvane::bringToFront(*this, QString::fromStdString(activationToken));
}

void FormView::detach() {
    m_detached = true;
    for (QObject* sender : findChildren<QObject*>())
        QObject::disconnect(sender, nullptr, this, nullptr);
}

void FormView::closeEvent(QCloseEvent* event) {
    // The model decides what the close box does; the window follows the model afterwards.
    event->ignore();
    if (!m_detached) m_events([this] { m_model.Form_Unload(); });
}

// Enter and Esc that no control took press the window's default and cancel buttons.
void FormView::keyPressEvent(QKeyEvent* event) {
    const int key = event->key();
    QPushButton* target = nullptr;
    if ((key == Qt::Key_Return || key == Qt::Key_Enter) && m_defaultButton)
        target = m_defaultButton;
    if (key == Qt::Key_Escape && m_cancelButton) target = m_cancelButton;
    if (target && !m_detached && target->isEnabled() && event->modifiers() == Qt::NoModifier) {
        target->click();
        return;
    }
    QMainWindow::keyPressEvent(event);
}

bool FormView::event(QEvent* event) {
    if (event->type() == QEvent::WindowActivate && !m_detached) {
        m_events([this] { m_model.Form_Activate(); });
    }
    return QMainWindow::event(event);
}

}  // namespace tollvane

#include "platform/qt/form_view.h"

#include "platform/qt/display_box.h"
#include "platform/qt/month_view.h"
#include "platform/qt/program_icon.h"
#include "platform/qt/wayland_frame.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QStyle>
#include <QStyleOption>
#include <algorithm>
#include <cmath>

namespace tollvane {

namespace {

QColor toQColor(const Colour& c, const QPalette& palette, QColor fallback) {
    switch (c.role) {
        case Colour::Role::Default:
            return fallback;
        case Colour::Role::Fixed:
            return QColor(c.red, c.green, c.blue);
        case Colour::Role::Highlight:
            return palette.color(QPalette::Active, QPalette::Highlight);
        case Colour::Role::MenuText:
        case Colour::Role::WindowText:
            return palette.color(QPalette::Active, QPalette::WindowText);
        case Colour::Role::WindowFrame:
            return palette.color(QPalette::Active, QPalette::WindowText);
    }
    return fallback;
}

// Fonts the program's windows name, where the desktop does not have them: "MS Sans Serif" becomes
// a sans of the same widths (so the labels fit their boxes) or else the desktop's own sans, and
// "Comic Sans MS" its free relative Comic Neue.
QFont toQFont(const FontSpec& f) {
    QFont font = QApplication::font();
    const QString family = QString::fromStdString(f.family);
    if (family == QLatin1String("MS Sans Serif")) {
        font.setFamilies({family, QStringLiteral("Liberation Sans"), QStringLiteral("Arial"),
                          QApplication::font().family()});
    } else if (family == QLatin1String("Comic Sans MS")) {
        font.setFamilies({family, QStringLiteral("Comic Neue")});
    } else {
        font.setFamilies({family, QApplication::font().family()});
    }
    font.setPointSizeF(f.pointSize);
    font.setBold(f.bold);
    return font;
}

QString q(const std::string& s) {
    return QString::fromStdString(s);
}

// A button drawn with a picture behind its caption (the About window's OK button).
class PictureButton : public QPushButton {
public:
    PictureButton(const QString& text, QColor background, QWidget* parent)
        : QPushButton(text, parent), m_background(background) {}

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        const QRect r = rect();
        // The picture: a 252 x 256 gradient, cut to the button's size.
        QLinearGradient g(0, 0, 252, 256);
        g.setColorAt(0, QColor(255, 255, 170));
        g.setColorAt(1, QColor(70, 120, 220));
        p.fillRect(r, m_background);
        p.fillRect(r.intersected(QRect(0, 0, 252, 256)), g);
        p.setPen(isDown() ? QColor(255, 255, 255) : QColor(40, 40, 40));
        p.drawRect(r.adjusted(0, 0, -1, -1));
        p.setFont(font());
        p.setPen(QColor(0, 0, 0));
        p.drawText(r.translated(isDown() ? 1 : 0, isDown() ? 1 : 0), Qt::AlignCenter, text());
        if (hasFocus()) {
            p.setPen(Qt::DotLine);
            p.drawRect(r.adjusted(3, 3, -4, -4));
        }
    }

private:
    QColor m_background;
};

}  // namespace

// The client area: the window's background, with its lines and filled rectangles drawn beneath
// the controls.
class FormView::Canvas : public QWidget {
public:
    Canvas(FormView& view) : QWidget(&view), m_view(view) {}

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        const WindowLayout& l = m_view.m_model.layout();
        p.fillRect(rect(), toQColor(l.background, palette(), palette().color(QPalette::Window)));
        for (const ControlLayout& c : l.controls) {
            const QColor colour = toQColor(c.foreground, palette(), Qt::black);
            if (c.kind == ControlKind::Shape) {
                p.setPen(QPen(Qt::black, 1));
                p.setBrush(toQColor(c.background, palette(), Qt::white));
                p.drawRect(m_view.px(c.left), m_view.px(c.top), m_view.px(c.width) - 1,
                           m_view.px(c.height) - 1);
            } else if (c.kind == ControlKind::Line) {
                p.setPen(QPen(colour, c.lineWidthPx, Qt::SolidLine, Qt::FlatCap));
                p.drawLine(m_view.px(c.left), m_view.px(c.top), m_view.px(c.width),
                           m_view.px(c.height));
            }
        }
    }

private:
    FormView& m_view;
};

FormView::FormView(Form& model, std::function<void(std::function<void()>)> dispatch)
    : QMainWindow(nullptr), m_model(model), m_dispatch(std::move(dispatch)) {
    if (QScreen* screen = QGuiApplication::primaryScreen()) m_dpi = screen->logicalDotsPerInch();
    build();
    mirror();
}

int FormView::px(int twips) const {
    return twipsToPixels(twips, m_dpi);
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
    setObjectName(q(l.name));
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
    const QMargins frame = contentsMargins();

    m_canvas = new Canvas(*this);
    m_canvas->setObjectName(QStringLiteral("client"));
    setCentralWidget(m_canvas);
    buildMenus();
    for (const ControlLayout& c : l.controls) {
        if (QWidget* w = makeWidget(c)) m_widgets[c.name] = w;
    }
    applyTabOrder();

    const QSize client(px(l.clientWidth), px(l.clientHeight));
    const int menuHeight =
        menuBar()->isVisible() || !l.menus.empty() ? menuBar()->sizeHint().height() : 0;
    if (l.border == Border::Sizable) {
        resize(client.width() + frame.left() + frame.right(),
               client.height() + menuHeight + frame.top() + frame.bottom());
    } else {
        applyWidth();
    }
    if (l.position) {
        // The client area's top-left corner is placed; the menu bar lies above it.
        const QPoint topLeft(px(l.position->x) - frame.left(),
                             px(l.position->y) - menuHeight - frame.top());
        setGeometry(QRect(topLeft, size()));
    }
}

void FormView::buildMenus() {
    const WindowLayout& l = m_model.layout();
    if (l.menus.empty()) {
        menuBar()->hide();
        return;
    }
    QMenuBar* bar = menuBar();
    bar->setNativeMenuBar(false);
    auto runs = [this](const MenuLayout& item, QAction* action) {
        action->setObjectName(q(item.name));
        const std::string name = item.name;
        connect(action, &QAction::triggered, this,
                [this, name] { m_dispatch([this, name] { m_model.Click(name); }); });
    };
    for (const MenuLayout& top : l.menus) {
        if (top.items.empty()) {
            // An item on the bar itself, with no list: clicking it runs its Click.
            runs(top, bar->addAction(q(top.caption)));
            continue;
        }
        QMenu* menu = bar->addMenu(q(top.caption));
        menu->setObjectName(q(top.name));
        for (const MenuLayout& item : top.items) runs(item, menu->addAction(q(item.caption)));
    }
}

QWidget* FormView::makeWidget(const ControlLayout& c) {
    const QRect geometry(px(c.left), px(c.top), px(c.width), px(c.height));
    const QFont font = toQFont(c.font.family.empty() ? m_model.layout().defaultFont : c.font);
    const ControlRef ref = m_model.control(c.name);
    QWidget* w = nullptr;

    switch (c.kind) {
        case ControlKind::Line:
        case ControlKind::Shape:
        case ControlKind::Hidden:
        case ControlKind::Browser:
            return nullptr;  // drawn by the canvas, or not on the screen at all
        case ControlKind::Button: {
            QPushButton* b =
                c.background.isDefault()
                    ? new QPushButton(q(c.caption), m_canvas)
                    : new PictureButton(q(c.caption), toQColor(c.background, palette(), Qt::gray),
                                        m_canvas);
            b->setAutoDefault(false);
            const std::string name = c.name;
            connect(b, &QPushButton::clicked, this,
                    [this, name] { m_dispatch([this, name] { m_model.Click(name); }); });
            if (c.defaultButton) m_defaultButton = b;
            if (c.cancelButton) m_cancelButton = b;
            if (auto* button = std::get_if<CommandButton*>(&ref)) {
                CommandButton* model = *button;
                m_mirrors.emplace_back([model, b] { b->setEnabled(model->Enabled); });
            }
            w = b;
            break;
        }
        case ControlKind::TextBox: {
            auto* e = new QLineEdit(m_canvas);
            e->setText(q(c.caption));
            if (auto* box = std::get_if<TextBox*>(&ref)) {
                TextBox* model = *box;
                // Typing only fills the model's text: no handler runs.
                connect(e, &QLineEdit::textEdited, this,
                        [model](const QString& t) { model->Text = t.toStdString(); });
                // Compared with the widget's own text, which the user's typing changes too.
                m_mirrors.emplace_back([model, e] {
                    const QString text = q(model->Text);
                    if (e->text() != text) e->setText(text);
                    e->setEnabled(model->Enabled);
                });
            }
            w = e;
            break;
        }
        case ControlKind::DisplayBox: {
            installDisplayBoxAccessibility();
            auto* box = new DisplayBox(m_canvas);
            box->setText(q(c.caption));
            QColor text = toQColor(c.foreground, palette(), Qt::black);
            const QColor base = toQColor(c.background, palette(), Qt::white);
            // The clock window's figures are in the frame colour on black, black on black in
            // common schemes: where text and box are too alike, the figures turn green.
            if (std::abs(text.lightness() - base.lightness()) < 96) text = QColor(0, 192, 0);
            box->setColours(text, base);
            if (auto* display = std::get_if<TextBox*>(&ref)) {
                TextBox* model = *display;
                // The clock writes these every second: the text is converted only when it changed.
                m_mirrors.emplace_back([model, box, shown = c.caption]() mutable {
                    if (model->Text == shown) return;
                    shown = model->Text;
                    box->setText(q(shown));
                });
            }
            w = box;
            break;
        }
        case ControlKind::Label: {
            auto* label = new QLabel(q(c.caption), m_canvas);
            label->setWordWrap(true);
            label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
            label->setAttribute(Qt::WA_TranslucentBackground);
            QPalette pal = label->palette();
            pal.setColor(QPalette::WindowText, toQColor(c.foreground, palette(), Qt::black));
            label->setPalette(pal);
            if (auto* caption = std::get_if<Label*>(&ref)) {
                Label* model = *caption;
                const QString controlName = q(c.name);
                m_mirrors.emplace_back([model, label, controlName] {
                    const QString text = q(model->Caption);
                    if (label->text() != text) label->setText(text);
                    if (label->accessibleName() == controlName) label->setAccessibleName(text);
                });
            }
            w = label;
            break;
        }
        case ControlKind::OptionButton: {
            auto* radio = new QRadioButton(q(c.caption), m_canvas);
            QPalette pal = radio->palette();
            pal.setColor(QPalette::WindowText, toQColor(c.foreground, palette(), Qt::black));
            // A button fills its background in the Button role.
            const QColor background = toQColor(c.background, palette(), Qt::white);
            pal.setColor(QPalette::Window, background);
            pal.setColor(QPalette::Button, background);
            radio->setPalette(pal);
            radio->setAutoFillBackground(true);
            if (auto* option = std::get_if<OptionButton*>(&ref)) {
                OptionButton* model = *option;
                connect(radio, &QRadioButton::toggled, this, [model](bool on) {
                    if (on) model->Value = true;
                });
                m_mirrors.emplace_back([model, radio] { radio->setChecked(model->Value); });
            }
            w = radio;
            break;
        }
        case ControlKind::Calendar: {
            auto* cal = new MonthView(m_canvas);
            cal->setGridVisible(true);
            if (auto* calendar = std::get_if<MonthCalendar*>(&ref)) {
                MonthCalendar* model = *calendar;
                // Picking a date or turning the page only changes the model: no handler runs.
                connect(cal, &QCalendarWidget::selectionChanged, this, [model, cal] {
                    const QDate d = cal->selectedDate();
                    model->setDate(d.year(), d.month(), d.day());
                });
                connect(cal, &QCalendarWidget::currentPageChanged, this,
                        [model](int year, int month) { model->showPage(year, month); });
                m_mirrors.emplace_back([model, cal] {
                    const QSignalBlocker block(cal);
                    const QDate d(model->Year(), model->Month(), model->Day());
                    if (cal->selectedDate() != d) cal->setSelectedDate(d);
                    if (cal->yearShown() != model->pageYear() ||
                        cal->monthShown() != model->pageMonth()) {
                        cal->setCurrentPage(model->pageYear(), model->pageMonth());
                    }
                });
            }
            w = cal;
            break;
        }
        case ControlKind::Picture: {
            auto* picture = new QLabel(m_canvas);
            picture->setPixmap(programIcon().pixmap(geometry.size()));
            picture->setScaledContents(true);
            w = picture;
            break;
        }
    }
    w->setObjectName(q(c.name));
    w->setGeometry(geometry);
    w->setFont(font);
    w->setAccessibleName(q(c.accessibleName.empty() ? c.caption : c.accessibleName));
    if (w->accessibleName().isEmpty()) w->setAccessibleName(q(c.name));
    if (!c.visible) w->hide();
    return w;
}

void FormView::applyTabOrder() {
    std::vector<const ControlLayout*> order;
    for (const ControlLayout& c : m_model.layout().controls) {
        QWidget* w = widget(c.name);
        if (c.tab >= 0 && w && w->focusPolicy() != Qt::NoFocus) order.push_back(&c);
    }
    std::sort(order.begin(), order.end(),
              [](const ControlLayout* a, const ControlLayout* b) { return a->tab < b->tab; });
    for (std::size_t i = 1; i < order.size(); ++i) {
        QWidget::setTabOrder(widget(order[i - 1]->name), widget(order[i]->name));
    }
    if (!order.empty()) widget(order.front()->name)->setFocus(Qt::OtherFocusReason);
}

void FormView::applyWidth() {
    const WindowLayout& l = m_model.layout();
    if (l.border == Border::Sizable || m_appliedWidth == m_model.Width) return;
    m_appliedWidth = m_model.Width;
    // The model's width is the outer width, both borders included; the height never changes.
    const int clientWidth = px(m_model.Width - 2 * l.borderWidth);
    const int menuHeight = l.menus.empty() ? 0 : menuBar()->sizeHint().height();
    const QMargins frame = contentsMargins();
    setFixedSize(clientWidth + frame.left() + frame.right(),
                 px(l.clientHeight) + menuHeight + frame.top() + frame.bottom());
}

void FormView::mirror() {
    if (m_detached) return;
    const QString caption = q(m_model.Caption);
    if (windowTitle() != caption) setWindowTitle(caption);
    applyWidth();
    for (const auto& mirrorControl : m_mirrors) mirrorControl();
    if (m_model.Visible != isVisible()) setVisible(m_model.Visible);
    if (m_model.Visible && m_model.showRequests != m_shownRequests) {
        // Shown again: brought up, even from the taskbar.
        if (windowState() & Qt::WindowMinimized)
            setWindowState(windowState() & ~Qt::WindowMinimized);
        raise();
        activateWindow();
    }
    m_shownRequests = m_model.showRequests;
}

void FormView::detach() {
    m_detached = true;
    for (QObject* sender : findChildren<QObject*>())
        QObject::disconnect(sender, nullptr, this, nullptr);
}

void FormView::closeEvent(QCloseEvent* event) {
    // The model decides what the close box does; the window follows the model afterwards.
    event->ignore();
    if (!m_detached) m_dispatch([this] { m_model.Form_Unload(); });
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
        m_dispatch([this] { m_model.Form_Activate(); });
    }
    return QMainWindow::event(event);
}

}  // namespace tollvane

#include "platform/qt/wayland_frame.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QToolButton>
#include <QWidget>
#include <QWindow>
#include <algorithm>
#include <optional>

#include "platform/qt/wayland_session.h"

namespace tollvane {

namespace {

std::optional<bool> g_wanted;

constexpr char kFrameProperty[] = "tollvane_wayland_frame";
constexpr int kButtonSize = 20;
constexpr int kIconSize = 16;
constexpr int kCornerReach = 16;  // how far along the bottom border a drag takes the corner too

QColor frameColour(const QWidget& w) {
    return w.palette().color(QPalette::Active, QPalette::Window).darker(125);
}

}  // namespace

// The title bar: the window's icon and title, the buttons, and the place to drag the window by.
class WaylandFrame::TitleBar : public QWidget {
public:
    TitleBar(WaylandFrame& frame, QWidget& window) : QWidget(&window), m_frame(frame) {
        setObjectName(QStringLiteral("waylandTitleBar"));
        setAttribute(Qt::WA_OpaquePaintEvent);
        auto* row = new QHBoxLayout(this);
        row->setContentsMargins(kBorder + kIconSize + 8, 2, kBorder + 2, 0);
        row->setSpacing(2);
        row->addStretch();
        m_buttons = row;
    }

    QToolButton* addButton(const char* name, QStyle::StandardPixmap icon, const QString& tip) {
        auto* b = new QToolButton(this);
        b->setObjectName(QLatin1String(name));
        b->setIcon(style()->standardIcon(icon, nullptr, this));
        b->setToolTip(tip);
        b->setAutoRaise(true);
        b->setFixedSize(kButtonSize, kButtonSize);
        // The frame's buttons are the mouse's: they never take the focus from the window's
        // controls, nor a place in their tab order.
        b->setFocusPolicy(Qt::NoFocus);
        m_buttons->addWidget(b);
        return b;
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        const QWidget& w = *window();
        p.fillRect(rect(), frameColour(w));
        const QIcon icon = w.windowIcon();
        const int middle = (height() + kBorder) / 2;
        if (!icon.isNull())
            icon.paint(&p, QRect(kBorder + 4, middle - kIconSize / 2, kIconSize, kIconSize));
        QFont font = p.font();
        font.setBold(true);
        p.setFont(font);
        p.setPen(w.palette().color(w.isActiveWindow() ? QPalette::Active : QPalette::Inactive,
                                   QPalette::WindowText));
        // The title is centred on the window where it fits so, else set between the icon and
        // the buttons, and cut off at its end only where it does not fit there either.
        const int left = kBorder + kIconSize + 8;
        int right = width() - kBorder - 2;
        for (const QObject* child : children()) {
            if (const auto* b = qobject_cast<const QToolButton*>(child); b && b->isVisible())
                right = std::min(right, b->x() - 4);
        }
        const int half = p.fontMetrics().horizontalAdvance(w.windowTitle()) / 2 + 1;
        if (width() / 2 - half >= left && width() / 2 + half <= right) {
            p.drawText(QRect(0, kBorder, width(), height() - kBorder), Qt::AlignCenter,
                       w.windowTitle());
        } else {
            const QRect between(left, kBorder, std::max(right - left, 0), height() - kBorder);
            p.drawText(
                between, Qt::AlignCenter,
                p.fontMetrics().elidedText(w.windowTitle(), Qt::ElideRight, between.width()));
        }
    }

    void mousePressEvent(QMouseEvent* event) override {
        if (event->button() == Qt::LeftButton) {
            // The compositor moves the window: a Wayland client never places itself.
            if (QWindow* handle = window()->windowHandle()) handle->startSystemMove();
        }
        event->accept();
    }

    void mouseDoubleClickEvent(QMouseEvent* event) override {
        if (event->button() == Qt::LeftButton && m_frame.m_maximize &&
            m_frame.m_maximize->isVisible())
            m_frame.toggleMaximized();
        event->accept();
    }

private:
    WaylandFrame& m_frame;
    QHBoxLayout* m_buttons = nullptr;
};

// One side of the border: dragging it resizes a resizable window.
class WaylandFrame::Edge : public QWidget {
public:
    Edge(WaylandFrame& frame, QWidget& window, Qt::Edges edge)
        : QWidget(&window), m_frame(frame), m_edge(edge) {
        setObjectName(edge == Qt::LeftEdge    ? QStringLiteral("waylandLeftEdge")
                      : edge == Qt::RightEdge ? QStringLiteral("waylandRightEdge")
                                              : QStringLiteral("waylandBottomEdge"));
        setAttribute(Qt::WA_OpaquePaintEvent);
        setMouseTracking(true);
    }

    // The edges a drag at `pos` moves: the bottom border takes the corners at its ends.
    Qt::Edges edgesAt(QPoint pos) const {
        if (m_edge != Qt::BottomEdge) return m_edge;
        if (pos.x() < kCornerReach) return Qt::BottomEdge | Qt::LeftEdge;
        if (pos.x() >= width() - kCornerReach) return Qt::BottomEdge | Qt::RightEdge;
        return Qt::BottomEdge;
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.fillRect(rect(), frameColour(*window()));
    }

    void mouseMoveEvent(QMouseEvent* event) override {
        if (!m_frame.resizable()) {
            unsetCursor();
            return;
        }
        const Qt::Edges e = edgesAt(event->position().toPoint());
        if (e == (Qt::BottomEdge | Qt::LeftEdge))
            setCursor(Qt::SizeBDiagCursor);
        else if (e == (Qt::BottomEdge | Qt::RightEdge))
            setCursor(Qt::SizeFDiagCursor);
        else
            setCursor(e == Qt::BottomEdge ? Qt::SizeVerCursor : Qt::SizeHorCursor);
    }

    void mousePressEvent(QMouseEvent* event) override {
        if (event->button() == Qt::LeftButton && m_frame.resizable()) {
            if (QWindow* handle = window()->windowHandle())
                handle->startSystemResize(edgesAt(event->position().toPoint()));
        }
        event->accept();
    }

private:
    WaylandFrame& m_frame;
    Qt::Edges m_edge;
};

bool WaylandFrame::wanted() {
    if (!g_wanted) g_wanted = drawsOwnFrames();
    return *g_wanted;
}

void WaylandFrame::setWanted(bool wanted) {
    g_wanted = wanted;
}

WaylandFrame* WaylandFrame::addWhereWanted(QWidget& window) {
    return wanted() ? add(window) : nullptr;
}

WaylandFrame* WaylandFrame::add(QWidget& window) {
    if (WaylandFrame* existing = of(window)) return existing;
    return new WaylandFrame(window);
}

WaylandFrame* WaylandFrame::of(const QWidget& window) {
    return qobject_cast<WaylandFrame*>(window.property(kFrameProperty).value<QObject*>());
}

WaylandFrame::WaylandFrame(QWidget& window) : QObject(&window), m_window(window) {
    setObjectName(QStringLiteral("waylandFrame"));
    window.setProperty(kFrameProperty, QVariant::fromValue<QObject*>(this));
    m_titleBar = new TitleBar(*this, window);
    const Qt::WindowFlags flags = window.windowFlags();
    if (flags & Qt::WindowMinimizeButtonHint) {
        m_minimize =
            m_titleBar->addButton("minimizeButton", QStyle::SP_TitleBarMinButton, tr("Minimize"));
        connect(m_minimize, &QAbstractButton::clicked, &window, &QWidget::showMinimized);
    }
    if (flags & Qt::WindowMaximizeButtonHint) {
        m_maximize =
            m_titleBar->addButton("maximizeButton", QStyle::SP_TitleBarMaxButton, tr("Maximize"));
        connect(m_maximize, &QAbstractButton::clicked, this, &WaylandFrame::toggleMaximized);
    }
    if (flags & Qt::WindowCloseButtonHint) {
        m_close = m_titleBar->addButton("closeButton", QStyle::SP_TitleBarCloseButton, tr("Close"));
        // As the desktop's close box: the window's close event decides what happens.
        connect(m_close, &QAbstractButton::clicked, &window, &QWidget::close);
    }
    m_left = new Edge(*this, window, Qt::LeftEdge);
    m_right = new Edge(*this, window, Qt::RightEdge);
    m_bottom = new Edge(*this, window, Qt::BottomEdge);
    window.setContentsMargins(kBorder, kTitleHeight, kBorder, kBorder);
    window.installEventFilter(this);
    place();
}

QWidget* WaylandFrame::titleBar() const {
    return m_titleBar;
}

bool WaylandFrame::resizable() const {
    return m_window.minimumSize() != m_window.maximumSize() &&
           !(m_window.windowFlags() & Qt::MSWindowsFixedSizeDialogHint);
}

void WaylandFrame::toggleMaximized() {
    if (m_window.isMaximized())
        m_window.showNormal();
    else if (resizable())
        m_window.showMaximized();
}

void WaylandFrame::place() {
    const int w = m_window.width(), h = m_window.height();
    m_titleBar->setGeometry(0, 0, w, kTitleHeight);
    m_left->setGeometry(0, kTitleHeight, kBorder, std::max(h - kTitleHeight - kBorder, 0));
    m_right->setGeometry(w - kBorder, kTitleHeight, kBorder,
                         std::max(h - kTitleHeight - kBorder, 0));
    m_bottom->setGeometry(0, h - kBorder, w, kBorder);
    if (m_maximize) {
        m_maximize->setIcon(m_window.style()->standardIcon(
            m_window.isMaximized() ? QStyle::SP_TitleBarNormalButton : QStyle::SP_TitleBarMaxButton,
            nullptr, m_titleBar));
        m_maximize->setVisible(resizable());
    }
    for (QWidget* piece : {static_cast<QWidget*>(m_titleBar), static_cast<QWidget*>(m_left),
                           static_cast<QWidget*>(m_right), static_cast<QWidget*>(m_bottom)})
        piece->raise();
}

bool WaylandFrame::eventFilter(QObject* watched, QEvent* event) {
    if (watched == &m_window) {
        switch (event->type()) {
            case QEvent::Resize:
            case QEvent::WindowStateChange:
            case QEvent::Show:
                place();
                break;
            case QEvent::WindowTitleChange:
            case QEvent::WindowIconChange:
            case QEvent::WindowActivate:
            case QEvent::WindowDeactivate:
                m_titleBar->update();
                break;
            default:
                break;
        }
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace tollvane
